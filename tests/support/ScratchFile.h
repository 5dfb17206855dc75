#pragma once
// A file written for one test and deleted when the test ends. Its folder is made when missing
// and left in place: another test program may be writing into it at the same time.
#include "platform/Win32.h"
#include "platform/CString.h"

namespace KOVA::test {

class ScratchFile {
public:
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    bool written() const { return m_written; }
    const CString& path() const { return m_path; }

protected:
    // Makes the folder; the derived class writes path() and records the outcome.
    ScratchFile(const CString& folder, const CString& name);
    ~ScratchFile();

    CString m_path;
    bool m_written { false };
};

} // namespace KOVA::test
