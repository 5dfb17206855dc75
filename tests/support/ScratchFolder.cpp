#include "ScratchFolder.h"

#include "ScratchFile.h"

#include <filesystem>

namespace KOVA::test {

ScratchFolder::ScratchFolder(const wchar_t* stem)
{
    wchar_t temp[MAX_PATH] {};
    GetTempPathW(MAX_PATH, temp);
    m_path.Format(L"%s%s-%lu\\", temp, stem, GetCurrentProcessId());
    CreateDirectoryW(m_path, nullptr);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(m_path.GetString()), ignored);
}

std::vector<BYTE> ScratchFolder::read(const wchar_t* below) const
{
    return readFile(m_path + below);
}

} // namespace KOVA::test
