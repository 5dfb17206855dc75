#pragma once
// An image strip written as a PNG file for one test: equal frames side by side, each filled
// with its own colour, so a test can tell by one pixel which frame was drawn.
#include <vector>

#include "ScratchFile.h"

namespace KOVA::test {

// A rectangle of one colour (0xAARRGGBB).
struct FilledRect { int x, y, width, height; DWORD argb; };

// A PNG of a picture made of rectangles painted in order over transparent black.
class ScratchPng : public ScratchFile {
public:
    ScratchPng(const CString& folder, const CString& name, int width, int height, const std::vector<FilledRect>& fills);
};

class ScratchStrip : public ScratchPng {
public:
    // Writes folder + name; folder ends in a backslash. Colours are 0xAARRGGBB, one per frame.
    ScratchStrip(const CString& folder, const CString& name, int frameWidth, int height,
                 const std::vector<DWORD>& frameColors);
};

} // namespace KOVA::test
