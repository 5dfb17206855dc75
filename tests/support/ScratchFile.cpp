#include "ScratchFile.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include "Narrow.h"


namespace KOVA::test {

ScratchFile::ScratchFile(const CString& folder, const CString& name) : m_path(folder + name)
{
    SHCreateDirectoryExW(nullptr, folder, nullptr);
}

ScratchFile::ScratchFile(const CString& folder, const CString& name, const std::vector<BYTE>& bytes)
    : ScratchFile(folder, name)
{
    HANDLE file = CreateFileW(m_path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "cannot write " << narrow(m_path) << ": error " << GetLastError();
        return;
    }
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
    if (DeleteFileW(m_path) || GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND)
        return true;
    ADD_FAILURE() << "cannot remove " << narrow(m_path) << ": error " << GetLastError()
                  << " (something still holds it)";
    return false;
}

} // namespace KOVA::test
