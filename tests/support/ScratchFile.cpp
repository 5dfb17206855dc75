#include "ScratchFile.h"

#include <shlobj.h>

namespace KOVA::test {

ScratchFile::ScratchFile(const CString& folder, const CString& name) : m_path(folder + name)
{
    SHCreateDirectoryExW(nullptr, folder, nullptr);
}

ScratchFile::~ScratchFile()
{
    DeleteFileW(m_path);
}

} // namespace KOVA::test
