#pragma once
// A host dialog for tests that drive controls through a real window: shown without the
// activation (a test program running beside this one may hold it), no move loop on a press,
// and it writes down what its controls report.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "KOVA.h"
#include "PumpUntil.h"
#include "RecordingControl.h"
#include "TestWindow.h"
#include "WindowCapture.h"

namespace KOVA::test {

class NotedDialog : public MDialog {
public:
    explicit NotedDialog(CRect place = CRect(300, 300, 700, 500))
    {
        Create(nullptr, L"values", WS_POPUP, 0, place);
        EnableWndDrag(0);
        ShowWindow(SW_SHOWNOACTIVATE);
    }
    ~NotedDialog() override { DestroyWindow(); }
    LRESULT OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        notes.push_back({ id, code, wParam, lParam });
        return 0;
    }
    template <class T>
    T* create(const wchar_t* className, UINT id, CRect rect, const wchar_t* title = L"")
    {
        return dynamic_cast<T*>(CreateControl(className, id, rect, title, 1, 1));
    }
    // Posts the messages at one point, with the left button held from a press to a release.
    void post(std::initializer_list<UINT> messages, CPoint pt)
    {
        for (UINT msg : messages) {
            held = msg == WM_LBUTTONDOWN || (held && msg != WM_LBUTTONUP);
            PostMessageW(msg, held ? MK_LBUTTON : 0, MAKELPARAM(pt.x, pt.y));
        }
    }

    // Hands control to the dialog's paint manager, as a host does with a control it made.
    template <class T>
    T* adopt(T* control)
    {
        GetPaintManager()->AppendControl(control, 1);
        control->SetManager(GetPaintManager());
        return control;
    }
    // Makes the dialog the foreground window with the keyboard focus: text fields need it, and
    // it is this program's own (each test program runs on a desktop of its own). A dialog that
    // does not get them fails the test: what follows would test nothing.
    void activate()
    {
        const HWND window = GetSafeHwnd();
        const bool active = pumpUntil([&] {
            ::SetForegroundWindow(window);
            ::SetFocus(window);
            return GetForegroundWindow() == window && GetFocus() == window;
        });
        EXPECT_TRUE(active) << "the dialog did not become the foreground window with the focus";
    }
    // Gives control places a host should not give (empty, inside out, far away and larger
    // than any screen), then place; after each, paints the dialog and calls drive.
    template <class Control, class Drive>
    void abuseRect(Control& control, const CRect& place, Drive drive)
    {
        for (const CRect rect : { CRect(), CRect(200, 200, 100, 100), CRect(-40000, -40000, -39000, -39990),
                                  CRect(0, 0, 40000, 40000), place }) {
            control.SetRect(rect);
            shot();
            drive();
        }
    }
    // Posts one WM_CHAR a character and lets them arrive.
    void type(const wchar_t* text)
    {
        for (const wchar_t* c = text; *c; ++c)
            PostMessageW(WM_CHAR, *c, 1);
        pumpMessages();
    }
    int count(UINT code) const
    {
        int n = 0;
        for (const Notification& note : notes)
            n += note.code == code ? 1 : 0;
        return n;
    }
    // The client area as painted now.
    std::unique_ptr<DibCanvas> shot()
    {
        ::InvalidateRect(GetSafeHwnd(), nullptr, FALSE);
        ::UpdateWindow(GetSafeHwnd());
        return captureClient(GetSafeHwnd());
    }

    std::vector<Notification> notes;
    bool held { false };
};

} // namespace KOVA::test
