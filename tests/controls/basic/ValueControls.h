#pragma once
// What the tests of the value controls (sliders, spin box, progress, labels) share: controls
// drawn into a canvas with a window's caches under a recording parent, the notifications
// heard as one line, and a real dialog that hears its controls.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ButtonKinds.h"
#include "DibCanvas.h"
#include "KOVA.h"

namespace KOVA::test {

// "id:code:wParam:lParam" per notification, separated by blanks.
inline std::string noteLine(const std::vector<Notification>& notes)
{
    std::string line;
    for (const Notification& note : notes)
        line += (line.empty() ? "" : " ") + std::to_string(note.id) + ":" + std::to_string(note.code) + ":"
                + std::to_string(note.wParam) + ":" + std::to_string(note.lParam);
    return line;
}

class ValueFixture : public ::testing::Test {
protected:
    // A control of class T under the recording parent, attached to the window's caches.
    template <class T, class... Args>
    std::unique_ptr<T> make(Args... args)
    {
        auto control = std::make_unique<T>(&parent, args...);
        control->SetManager(&manager);
        return control;
    }
    // Renders the control again over a fresh background, as a window would.
    void paint(MControl& control, DWORD background = 0xFF000000)
    {
        canvas.fill(background);
        control.SetUpdate(0, 0);
        control.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
    }
    // What the parent heard since the last call.
    std::string heard()
    {
        const std::string line = noteLine(parent.notifications);
        parent.notifications.clear();
        return line;
    }

    PaintManager manager;
    RenderingParent parent;
    DibCanvas canvas { 300, 120 };
};

// A host dialog, shown without activation, that writes down what its controls report.
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

    std::vector<Notification> notes;
    bool held { false };
};

} // namespace KOVA::test
