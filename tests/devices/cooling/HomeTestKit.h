#pragma once
// What the home-page family's tests share: a parent that writes down repaint requests and
// notifications in the order they come (a request makes the requester stale, as a window
// would), a canvas to paint a control into, and moves and clicks through the input entry
// points.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "DibCanvas.h"
#include "LibraryHost.h"
#include "RecordingControl.h"

namespace KOVA::test {

class OrderParent : public RecordingParent {
public:
    LONG OnControlUpdate(CRect rect, int flag, MControl* control) override
    {
        if (flag && control)
            control->SetUpdate(0, 0);
        order += "u";
        return RecordingParent::OnControlUpdate(rect, flag, control);
    }
    LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        order += "n" + std::to_string(code);
        return RecordingParent::OnBaseMessage(id, code, wParam, lParam);
    }
    // The last notification as "code:wParam:lParam", "-" when none came.
    std::string last() const
    {
        if (notifications.empty())
            return "-";
        const Notification& n = notifications.back();
        return std::to_string(n.code) + ":" + std::to_string(n.wParam) + ":" + std::to_string(n.lParam);
    }
    void clear()
    {
        notifications.clear();
        updates.clear();
        order.clear();
    }
    std::string order;
};

constexpr UINT kListId = 9;
constexpr DWORD kBackdrop = 0x202020;

class ListFixture : public ::testing::Test {
protected:
    ~ListFixture() override { manager.ClearImgResInfo(); }

    // A control of the panel factory's constructor form, bound to the manager and placed.
    template <class T>
    std::unique_ptr<T> make(CRect rect)
    {
        auto control = std::make_unique<T>(&parent, kListId, rect, 1, 1);
        control->SetManager(&manager);
        control->SetControlRect(rect);
        return control;
    }
    void paint(MControl& control)
    {
        canvas.fill(0xFF000000 | kBackdrop);
        control.SetUpdate(0, 0);
        control.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
    }
    // Twice over the point (the hover, then the hand), as a pointer arriving does.
    static void hover(MControl& control, CPoint at)
    {
        control.OnMouseMove(0, at);
        control.OnMouseMove(0, at);
    }
    static void click(MControl& control, CPoint at)
    {
        hover(control, at);
        control.OnLButtonDown(MK_LBUTTON, at);
        control.OnLButtonUp(0, at);
    }

    PaintManager manager;
    OrderParent parent;
    DibCanvas canvas { 1600, 900 };
};

} // namespace KOVA::test
