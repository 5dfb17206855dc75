#include "lcd/renderer/TemperatureSetting.h"

#include "platform/Win32.h"

#include "framework/Registry.h"
#include "platform/CriticalSection.h"

namespace KOVA {

namespace {

// How old the kept value may grow without a change notification to vouch for it.
constexpr DWORD kMostAgeMs = 1000;

class WatchedSetting {
public:
    WatchedSetting() : m_changed(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
    ~WatchedSetting()
    {
        closeKey();
        if (m_changed)
            ::CloseHandle(m_changed);
    }
    WatchedSetting(const WatchedSetting&) = delete;
    WatchedSetting& operator=(const WatchedSetting&) = delete;

    bool fahrenheit()
    {
        ScopedLock lock(m_lock);
        const DWORD now = ::GetTickCount();
        if (!m_read || now - m_readAt >= kMostAgeMs || (m_key && ::WaitForSingleObject(m_changed, 0) == WAIT_OBJECT_0))
            read(now);
        return m_fahrenheit;
    }

private:
    // Watches before it reads: a change between the two is seen by the next call.
    void read(DWORD now)
    {
        watch();
        CString setting;
        ReadRegString(setting, L"led_cpushowtype");
        m_fahrenheit = _wtoi(setting) == 1;
        m_read = true;
        m_readAt = now;
    }

    // The key is opened afresh every time: the store's key may have been deleted and made again.
    void watch()
    {
        closeKey();
        CString path;
        path.Format(L"SOFTWARE\\%s", static_cast<const wchar_t*>(GetBrandName()));
        if (!m_changed || ::RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_NOTIFY, &m_key) != ERROR_SUCCESS) {
            m_key = nullptr;
            return;
        }
        if (::RegNotifyChangeKeyValue(m_key, FALSE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, m_changed,
                                      TRUE) != ERROR_SUCCESS)
            closeKey();
    }

    void closeKey()
    {
        if (m_key)
            ::RegCloseKey(m_key);
        m_key = nullptr;
    }

    CriticalSection m_lock;
    HANDLE m_changed { nullptr };
    HKEY m_key { nullptr };
    bool m_read { false };
    bool m_fahrenheit { false };
    DWORD m_readAt { 0 };
};

} // namespace

bool ShowsFahrenheit()
{
    static WatchedSetting setting;
    return setting.fahrenheit();
}

} // namespace KOVA
