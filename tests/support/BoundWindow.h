#pragma once
// A real window bound to a paint manager, for tests that drive the manager through its window:
// the messages a test chooses go to the manager's OnWindowMessage (and never to DefWindowProc),
// every message the window receives is counted (timers by id), and controls of one recording
// parent join the manager in one call.
#include <functional>
#include <map>

#include "RecordingControl.h"
#include "TestWindow.h"

namespace KOVA::test {

// Hands a control to the paint manager: kind 1 a control, 0 an area.
template <class Control>
Control* adopt(PaintManager& manager, Control* control, int kind = 1)
{
    control->SetManager(&manager);
    manager.AppendControl(control, kind);
    return control;
}

template <class Manager = PaintManager>
class BoundWindow {
public:
    explicit BoundWindow(std::function<bool(UINT)> routed = {}, int width = 400, int height = 300)
        : window(width, height), routed(std::move(routed))
    {
        window.onMessage([this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            ++received[msg];
            if (msg == WM_TIMER)
                ++timerTicks[wParam];
            if (!this->routed || !this->routed(msg))
                return false;
            result = manager.OnWindowMessage(msg, wParam, lParam);
            return true;
        });
        manager.Init(window.hwnd(), nullptr);
        pumpMessages();
    }
    ~BoundWindow()
    {
        window.onMessage({});
        manager.DestroyData();
    }
    BoundWindow(const BoundWindow&) = delete;
    BoundWindow& operator=(const BoundWindow&) = delete;

    RecordingControl* add(UINT id, CRect rect, int kind = 1)
    {
        return adopt(manager, new RecordingControl(&top, id, rect, log), kind);
    }
    // The part of the window waiting to be painted; empty when none.
    CRect invalid() const
    {
        CRect rect;
        return ::GetUpdateRect(window.hwnd(), &rect, FALSE) ? rect : CRect();
    }

    TestWindow window;
    RecordingParent top;
    EventLog log;
    Manager manager;
    std::function<bool(UINT)> routed;
    std::map<UINT, int> received;
    std::map<WPARAM, int> timerTicks;
};

} // namespace KOVA::test
