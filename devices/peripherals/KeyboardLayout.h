#pragma once
// The full-size keyboard of the key-function picker: a row of 18 media and web icon keys over
// the 104 keys of a full-size keyboard with its navigation block and keypad, each with its key
// code and its place. Kept once: the picker lays out its items from it, and a host that shows
// the keyboard view over a keyboard picture of its own can place the keys from the same rows.
#include "platform/KovaExport.h"

namespace KOVA {

struct KeyLayoutRow {
    const wchar_t* label;   // empty for an icon key (its label is its tooltip)
    // USB HID keyboard page usages 4 to 101 and the modifiers 224 to 231; the icon keys carry
    // the picker's own codes 232 to 249.
    int code;
    // In pixels from the keyboard's top-left corner.
    int x;
    int y;
    int width;
    int height;
    const wchar_t* icon;    // below the skin folder; null for a key with a label
};

class KOVA_API KeyboardLayout {
public:
    static constexpr int kIconKeyCount = 18;
    static constexpr int kKeyCount = 122;
    // The row of a key, icon keys first, then row by row from Esc; null out of range.
    static const KeyLayoutRow* Row(int index);
};

} // namespace KOVA
