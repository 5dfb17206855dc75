#include "ScratchFolder.h"

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
    std::vector<BYTE> bytes;
    HANDLE file = CreateFileW(m_path + below, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD count = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr);
    CloseHandle(file);
    bytes.resize(count);
    return bytes;
}

} // namespace KOVA::test
