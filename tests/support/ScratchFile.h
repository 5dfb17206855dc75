#pragma once
// A file written for one test and deleted when the test ends. Its folder is made when missing
// and left in place. Every test program has folders of its own (beside its executable, and in
// the temp folder by its process), so nothing but the program itself can hold the file: one
// that cannot be written or removed at once is the program's own fault and fails its test.
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
    // Deletes the file now; a file that is there and cannot be deleted fails the running test,
    // naming it, and gives false. Release whatever holds it first.
    bool remove();

protected:
    // Makes the folder; the derived class writes path() and records the outcome.
    ScratchFile(const CString& folder, const CString& name);

    CString m_path;
    bool m_written { false };
};

} // namespace KOVA::test
