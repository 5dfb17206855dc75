#pragma once
// What the paint manager asks of the control whose caret it draws on a layered window (the
// windowless rich edit): the control that shows the caret, whose focused flag keeps it
// blinking and whose removal forgets it, and the colour the caret is filled with.
#include "platform/Win32.h"

#include "platform/KovaExport.h"

namespace KOVA {

class MControl;

class KOVA_API CaretOwner {
public:
    // The control itself; asked once, when the caret moves to it.
    virtual MControl* CaretControl() = 0;
    // Asked at every paint of the caret.
    virtual COLORREF CaretColor() const = 0;

protected:
    ~CaretOwner() = default;
};

} // namespace KOVA
