#include "TestWindow.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "PumpUntil.h"

namespace KOVA::test {

namespace {
const wchar_t* registerClass()
{
    static const wchar_t* name = [] {
        WNDCLASSW wc {};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KovaTestWindow";
        RegisterClassW(&wc);
        return L"KovaTestWindow";
    }();
    return name;
}
} // namespace

TestWindow::TestWindow(int width, int height, DWORD style)
{
    m_hwnd = CreateWindowExW(0, registerClass(), L"test", style, 0, 0, width, height, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TestWindow::proc));
}

TestWindow::~TestWindow()
{
    destroy();
}

void TestWindow::destroy()
{
    if (m_hwnd && IsWindow(m_hwnd))
        DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
}

LRESULT CALLBACK TestWindow::proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (self && self->m_handler && self->m_handler(msg, wParam, lParam, result))
        return result;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void pumpMessages()
{
    std::vector<std::pair<HWND, WPARAM>> timers;
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < kPumpMessagesMs && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        if (msg.message != WM_TIMER)
            continue;
        const std::pair<HWND, WPARAM> timer { msg.hwnd, msg.wParam };
        if (std::find(timers.begin(), timers.end(), timer) != timers.end())
            return;
        timers.push_back(timer);
    }
}

bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            if (done())
                return true;
        }
        if (done())
            return true;
        const DWORD spent = GetTickCount() - start;
        if (spent >= timeoutMs)
            return false;
        // Wakes for a message, and every few milliseconds besides: a condition another thread
        // fulfils (a fast-timer tick, a worker's result) posts nothing to wake this one.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(timeoutMs - spent, kPumpUntilPollMs), QS_ALLINPUT);
    }
}

bool pollUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    for (const DWORD start = GetTickCount(); !done(); Sleep(1))
        if (GetTickCount() - start > timeoutMs)
            return false;
    return true;
}

} // namespace KOVA::test
