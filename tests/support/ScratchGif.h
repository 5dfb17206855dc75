#pragma once
// A multi-frame GIF written for one test and deleted when the test ends: each frame a solid
// colour, so a test can tell by one pixel which frame was drawn. Written through GDI+'s
// indexed route (no frame delays, which nobody here reads); pick colours the halftone
// palette holds exactly (black, white, the primaries and their pairs).
#include <vector>

#include "platform/Win32.h"
#include "platform/CString.h"

namespace KOVA::test {

class ScratchGif {
public:
    // Writes folder + name, making the folder and its missing parents. Colours are
    // 0xAARRGGBB, one per frame.
    ScratchGif(const CString& folder, const CString& name, int width, int height,
               const std::vector<DWORD>& frameColors);
    ~ScratchGif();
    ScratchGif(const ScratchGif&) = delete;
    ScratchGif& operator=(const ScratchGif&) = delete;

    bool written() const { return m_written; }
    const CString& path() const { return m_path; }

private:
    CString m_path;
    bool m_written { false };
};

} // namespace KOVA::test
