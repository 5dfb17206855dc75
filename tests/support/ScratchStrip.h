#pragma once
// An image strip written as a PNG file for one test: equal frames side by side, each filled
// with its own colour, so a test can tell by one pixel which frame was drawn.
#include <vector>

#include "ScratchFile.h"

namespace KOVA::test {

class ScratchStrip : public ScratchFile {
public:
    // Writes folder + name; folder ends in a backslash. Colours are 0xAARRGGBB, one per frame.
    ScratchStrip(const CString& folder, const CString& name, int frameWidth, int height,
                 const std::vector<DWORD>& frameColors);
};

} // namespace KOVA::test
