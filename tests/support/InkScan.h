#pragma once
// What was drawn into an area of a canvas over a known background: where anything else
// landed, and how many of those pixels are close to an expected colour.
#include "platform/Win32.h"

#include "DibCanvas.h"
#include "platform/CRect.h"

namespace KOVA::test {

struct Ink {
    // Inclusive; empty (left > right) when nothing but the background is there.
    CRect bounds { 1 << 20, 1 << 20, -1, -1 };
    int pixels { 0 };
    int matching { 0 };
    bool any() const { return pixels > 0; }
};

// Colours are 0x00RRGGBB; the alpha byte of the canvas is ignored.
Ink scanInk(const DibCanvas& canvas, const CRect& area, DWORD background, DWORD expected, int tolerance = 3);

} // namespace KOVA::test
