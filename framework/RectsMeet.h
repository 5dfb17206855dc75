#pragma once
// Whether two rectangles share a pixel: IntersectRect's answer without its result. Every paint
// and repaint request asks it of every item of a window, and inline it costs a few compares
// where the system call costs a call into user32 and a written rectangle.
#include "platform/Win32.h"

namespace KOVA::detail {

inline bool RectsMeet(const RECT& a, const RECT& b)
{
    return a.left < a.right && a.top < a.bottom && b.left < b.right && b.top < b.bottom && a.left < b.right
        && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace KOVA::detail
