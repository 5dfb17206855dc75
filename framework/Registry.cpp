#include "framework/Registry.h"

#include <windows.h>

#include <vector>

namespace KOVA {

namespace {
CString brandKeyPath()
{
    CString path;
    path.Format(L"SOFTWARE\\%s", static_cast<const wchar_t*>(GetBrandName()));
    return path;
}

class RegKey {
public:
    explicit RegKey(HKEY key = nullptr) : m_key(key) {}
    ~RegKey() { if (m_key) RegCloseKey(m_key); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY* out() { return &m_key; }
    HKEY get() const { return m_key; }

private:
    HKEY m_key { nullptr };
};

// The whole value, however long: a text cut at a fixed read window would be a wrong value.
CString queryString(HKEY key, const wchar_t* name)
{
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return CString();
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return CString();
    for (;;) {
        std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
        DWORD bytes = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
        const LONG result = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &bytes);
        if (result == ERROR_SUCCESS)
            return CString(data.data());
        if (result != ERROR_MORE_DATA)
            return CString();
        size = bytes;
    }
}
} // namespace

CString GetBrandName()
{
    return L"BRAVIK";
}

bool ReadRegString(CString& text, CString name)
{
    const CString path = brandKeyPath();
    RegKey key;
    const LONG opened = RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_ALL_ACCESS, key.out());
    if (opened == ERROR_SUCCESS) {
        text = queryString(key.get(), name);
        return true;
    }
    if (opened == ERROR_FILE_NOT_FOUND) {
        RegKey created;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, created.out(), nullptr) == ERROR_SUCCESS)
            text = L"0";
    }
    return false;
}

void WriteRegString(CString name, CString text)
{
    RegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, brandKeyPath(), 0, KEY_ALL_ACCESS, key.out()) != ERROR_SUCCESS)
        return;
    const DWORD bytes = static_cast<DWORD>((text.GetLength() + 1) * sizeof(wchar_t));
    RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(static_cast<const wchar_t*>(text)), bytes);
}

} // namespace KOVA
