#pragma once
// A file written for one test and deleted when the test ends. Its folder is made when missing
// and left in place: another test program may be writing into it at the same time.
#include <vector>

#include "platform/Win32.h"
#include "platform/CString.h"

namespace KOVA::test {

// The bytes of a file; empty when there is none.
std::vector<BYTE> readFile(const CString& path);

class ScratchFile {
public:
    // Writes the bytes to folder + name.
    ScratchFile(const CString& folder, const CString& name, const std::vector<BYTE>& bytes);
    virtual ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    bool written() const { return m_written; }
    const CString& path() const { return m_path; }
    std::vector<BYTE> read() const;
    // Deletes the file now. Test programs run side by side from one folder, and each one that
    // binds a paint manager reads the font files there: such a reader holds a file for a
    // moment (longer in a new Wine prefix, while Wine builds its font cache). Waits that out;
    // false when the file is still there at the deadline.
    bool remove();
    static constexpr DWORD kHeldFileTimeoutMs = 10000;

protected:
    // Makes the folder; the derived class writes path() and records the outcome.
    ScratchFile(const CString& folder, const CString& name);

    CString m_path;
    bool m_written { false };
};

} // namespace KOVA::test
