#pragma once
// Points the user's local application-data folder at a drive that does not exist, so the
// system lookup fails for real; the old value is back when the object goes. The value lies in
// the test program's own registry hive (PrivateUserProfile), so no other program sees it.
#include <windows.h>

namespace KOVA::test {

class UnreachableLocalAppData {
public:
    UnreachableLocalAppData()
    {
        RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &m_key);
        DWORD bytes = sizeof(m_old);
        m_hadValue = RegQueryValueExW(m_key, kValue, nullptr, &m_type, reinterpret_cast<BYTE*>(m_old), &bytes) == ERROR_SUCCESS;
        m_oldBytes = bytes;
        const wchar_t unreachable[] = L"Q:\\no\\such\\drive";
        RegSetValueExW(m_key, kValue, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(unreachable), sizeof(unreachable));
    }
    ~UnreachableLocalAppData()
    {
        if (m_hadValue)
            RegSetValueExW(m_key, kValue, 0, m_type, reinterpret_cast<const BYTE*>(m_old), m_oldBytes);
        else
            RegDeleteValueW(m_key, kValue);
        RegCloseKey(m_key);
    }

private:
    static constexpr const wchar_t* kKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    static constexpr const wchar_t* kValue = L"Local AppData";
    HKEY m_key { nullptr };
    wchar_t m_old[1024] {};
    DWORD m_oldBytes { 0 };
    DWORD m_type { REG_EXPAND_SZ };
    bool m_hadValue { false };
};

} // namespace KOVA::test
