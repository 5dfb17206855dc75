#pragma once
// The GDI font every text field of this folder types and draws with: the stock GUI font's
// description with the control's face, height and style, so that the native edit window and
// the windowless drawing show the same letters.
#include "platform/Win32.h"

#include <memory>
#include <type_traits>

namespace KOVA {

struct GdiFontDeleter {
    void operator()(HFONT font) const { ::DeleteObject(font); }
};
using OwnedFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiFontDeleter>;

// Style bits as the controls keep them: 1 bold, 2 italic, 4 underline. height is the LOGFONT
// height (negative: character height, positive: cell height). A face longer than the
// description holds is cut and still terminated; a bold face asks for FW_BOLD, never more.
// The height is held within kLargestEditFont pixels either way: the system would rasterise a
// field's glyphs at whatever size it is asked for, taking minutes over one line.
constexpr int kLargestEditFont = 1024;
LOGFONTW EditLogFont(const wchar_t* face, int height, int styleBits);
OwnedFont CreateEditFont(const wchar_t* face, int height, int styleBits);
// The font of a character height of size pixels (any int, INT_MIN included).
OwnedFont CreateEditFontOfSize(const wchar_t* face, int size, int styleBits);

} // namespace KOVA
