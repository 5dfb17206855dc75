#pragma once
// A real top-level window for tests that need one, with a hook for its messages.
#include <functional>

#include "platform/Win32.h"

namespace KOVA::test {

class TestWindow {
public:
    using Handler = std::function<bool(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

    explicit TestWindow(int width = 400, int height = 300, DWORD style = WS_POPUP | WS_VISIBLE);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND hwnd() const { return m_hwnd; }
    void onMessage(Handler handler) { m_handler = std::move(handler); }
    void destroy();

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND m_hwnd { nullptr };
    Handler m_handler;
};

// Dispatches every message waiting for this thread, and what they post in turn. A timer comes
// once: its second WM_TIMER ends the call (a handler that outlasts its period always has the
// next one due), and so does a deadline of kPumpMessagesMs (a message that posts itself again).
void pumpMessages();
constexpr DWORD kPumpMessagesMs = 5000;

} // namespace KOVA::test
