#pragma once
// A folder of the temp folder for one test program, removed with everything in it when the
// object goes (what cannot be removed fails the test). Named after the program's process, so
// programs run side by side never share one.
#include <vector>

#include "platform/Win32.h"
#include "platform/CString.h"

namespace KOVA::test {

class ScratchFolder {
public:
    // Makes <temp>\<stem>-<process id>\.
    explicit ScratchFolder(const wchar_t* stem);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder, ending in a backslash.
    const CString& path() const { return m_path; }
    CString operator/(const wchar_t* below) const { return m_path + below; }
    // The bytes of a file in it; empty when there is none.
    std::vector<BYTE> read(const wchar_t* below) const;

private:
    CString m_path;
};

} // namespace KOVA::test
