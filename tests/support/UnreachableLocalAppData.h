#pragma once
// Points the user's local application-data folder elsewhere for the object's life: at a folder
// a test names, or at a drive that does not exist, so the system lookup fails for real. The old
// value is back when the object goes. The value lies in the test program's own registry hive
// (PrivateUserProfile), so no other program sees it.
#include <windows.h>

#include <cwchar>

namespace KOVA::test {

class LocalAppDataAt {
public:
    explicit LocalAppDataAt(const wchar_t* folder)
    {
        RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &m_key);
        DWORD bytes = sizeof(m_old);
        m_hadValue = RegQueryValueExW(m_key, kValue, nullptr, &m_type, reinterpret_cast<BYTE*>(m_old), &bytes) == ERROR_SUCCESS;
        m_oldBytes = bytes;
        RegSetValueExW(m_key, kValue, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(folder),
                       static_cast<DWORD>((wcslen(folder) + 1) * sizeof(wchar_t)));
    }
    ~LocalAppDataAt()
    {
        if (m_hadValue)
            RegSetValueExW(m_key, kValue, 0, m_type, reinterpret_cast<const BYTE*>(m_old), m_oldBytes);
        else
            RegDeleteValueW(m_key, kValue);
        RegCloseKey(m_key);
    }
    LocalAppDataAt(const LocalAppDataAt&) = delete;
    LocalAppDataAt& operator=(const LocalAppDataAt&) = delete;

private:
    static constexpr const wchar_t* kKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    static constexpr const wchar_t* kValue = L"Local AppData";
    HKEY m_key { nullptr };
    wchar_t m_old[1024] {};
    DWORD m_oldBytes { 0 };
    DWORD m_type { REG_EXPAND_SZ };
    bool m_hadValue { false };
};

class UnreachableLocalAppData : public LocalAppDataAt {
public:
    UnreachableLocalAppData() : LocalAppDataAt(L"Q:\\no\\such\\drive") {}
};

} // namespace KOVA::test
