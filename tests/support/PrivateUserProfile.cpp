#include "PrivateUserProfile.h"

#include <cwchar>
#include <iterator>

#include "ScratchFolder.h"

namespace KOVA::test {

namespace {

constexpr const wchar_t* kShellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

void setLocalAppData(HKEY hive, const CString& folder)
{
    HKEY shellFolders = nullptr;
    if (RegCreateKeyExW(hive, kShellFolders, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &shellFolders,
                        nullptr) != ERROR_SUCCESS)
        return;
    const wchar_t* path = folder;
    RegSetValueExW(shellFolders, L"Local AppData", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(path),
                   static_cast<DWORD>((wcslen(path) + 1) * sizeof(wchar_t)));
    RegCloseKey(shellFolders);
}

} // namespace

PrivateUserProfile::PrivateUserProfile()
    : m_folder(std::make_unique<ScratchFolder>(L"kova-profile"))
{
    swprintf(m_hiveName, std::size(m_hiveName), L"Software\\KOVA test profiles\\%lu", GetCurrentProcessId());
    if (RegCreateKeyExW(HKEY_CURRENT_USER, m_hiveName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &m_hive, nullptr) != ERROR_SUCCESS)
        return;
    const CString local = m_folder->path() + L"Local";
    CreateDirectoryW(local, nullptr);
    setLocalAppData(m_hive, local);
    SetEnvironmentVariableW(L"LOCALAPPDATA", local);
    RegOverridePredefKey(HKEY_CURRENT_USER, m_hive);
}

PrivateUserProfile::~PrivateUserProfile()
{
    if (!m_hive)
        return;
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegDeleteTreeW(m_hive, nullptr);
    RegCloseKey(m_hive);
    RegDeleteKeyW(HKEY_CURRENT_USER, m_hiveName);
}

} // namespace KOVA::test
