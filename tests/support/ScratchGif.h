#pragma once
// A multi-frame GIF written for one test: each frame a solid
// colour, so a test can tell by one pixel which frame was drawn. Written through GDI+'s
// indexed route (no frame delays, which nobody here reads); pick colours the halftone
// palette holds exactly (black, white, the primaries and their pairs).
#include <vector>

#include "ScratchFile.h"

namespace KOVA::test {

class ScratchGif : public ScratchFile {
public:
    // Writes folder + name, making the folder and its missing parents. Colours are
    // 0xAARRGGBB, one per frame.
    ScratchGif(const CString& folder, const CString& name, int width, int height,
               const std::vector<DWORD>& frameColors);
};

} // namespace KOVA::test
