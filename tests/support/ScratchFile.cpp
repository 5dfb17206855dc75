#include "ScratchFile.h"

#include <shlobj.h>

namespace KOVA::test {

ScratchFile::ScratchFile(const CString& folder, const CString& name) : m_path(folder + name)
{
    SHCreateDirectoryExW(nullptr, folder, nullptr);
}

ScratchFile::ScratchFile(const CString& folder, const CString& name, const std::vector<BYTE>& bytes)
    : ScratchFile(folder, name)
{
    // A reader in another program may still hold a file of this name (see remove).
    HANDLE file = INVALID_HANDLE_VALUE;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < kHeldFileTimeoutMs; Sleep(10)) {
        file = CreateFileW(m_path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() == ERROR_PATH_NOT_FOUND)
            break;
    }
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD count = 0;
    m_written = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) && count == bytes.size();
    CloseHandle(file);
}

ScratchFile::~ScratchFile()
{
    remove();
}

std::vector<BYTE> readFile(const CString& path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::vector<BYTE> bytes(GetFileSize(file, nullptr));
    DWORD count = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr);
    CloseHandle(file);
    bytes.resize(count);
    return bytes;
}

std::vector<BYTE> ScratchFile::read() const
{
    return readFile(m_path);
}

bool ScratchFile::remove()
{
    const DWORD start = GetTickCount();
    while (!DeleteFileW(m_path) && GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_PATH_NOT_FOUND) {
        if (GetTickCount() - start >= kHeldFileTimeoutMs)
            return false;
        Sleep(10);
    }
    return true;
}

} // namespace KOVA::test
