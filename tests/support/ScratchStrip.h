#pragma once
// An image strip written as a PNG file for one test and deleted when the test ends: equal
// frames side by side, each filled with its own colour, so a test can tell by one pixel
// which frame was drawn.
#include <vector>

#include "platform/Win32.h"
#include "platform/CString.h"

namespace KOVA::test {

class ScratchStrip {
public:
    // Writes folder + name; folder ends in a backslash and is made when missing (its parent
    // too). Colours are 0xAARRGGBB, one per frame.
    ScratchStrip(const CString& folder, const CString& name, int frameWidth, int height,
                 const std::vector<DWORD>& frameColors);
    ~ScratchStrip();
    ScratchStrip(const ScratchStrip&) = delete;
    ScratchStrip& operator=(const ScratchStrip&) = delete;

    bool written() const { return m_written; }
    const CString& path() const { return m_path; }

private:
    CString m_path;
    bool m_written { false };
};

} // namespace KOVA::test
