#include "InkScan.h"

#include <algorithm>

namespace KOVA::test {

Ink scanInk(const DibCanvas& canvas, const CRect& area, DWORD background, DWORD expected, int tolerance)
{
    Ink ink;
    const int right = std::min<int>(area.right, canvas.width());
    const int bottom = std::min<int>(area.bottom, canvas.height());
    for (int y = std::max<int>(area.top, 0); y < bottom; ++y)
        for (int x = std::max<int>(area.left, 0); x < right; ++x) {
            const DWORD rgb = canvas.rgb(x, y);
            if (rgb == background)
                continue;
            ++ink.pixels;
            ink.matching += nearColor(rgb, expected, tolerance);
            ink.bounds = CRect(std::min<int>(ink.bounds.left, x), std::min<int>(ink.bounds.top, y),
                               std::max<int>(ink.bounds.right, x), std::max<int>(ink.bounds.bottom, y));
        }
    return ink;
}

} // namespace KOVA::test
