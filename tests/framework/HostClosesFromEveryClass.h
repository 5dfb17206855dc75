#pragma once
// Every class the window and panel factories make, on a real dialog whose host deletes the
// dialog object from the first notification it hears, while presses, releases, drags,
// double clicks, right clicks, the wheel, keys, characters and focus changes arrive as posted
// messages all over the control. The deleted dialog (and the paint manager it holds) is made
// inaccessible, so any use of it after the notification faults; a class run twice leaves the
// GDI objects where its first run left them. Each factory's table is a test program of its own
// (HostClosesFromEvery...ClassTest), which instantiates this for its table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ClosingHost.h"
#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "RecordingControl.h"
#include "TestWindow.h"
#include "framework/ControlFactory.h"

using namespace KOVA;
using namespace KOVA::test;

// Named: the test classes gtest derives from the fixture are not in a header's anonymous namespace.
namespace every_class {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

struct FactoryClass {
    ControlTable table;
    const wchar_t* name;
};

std::vector<FactoryClass> everyClassOf(ControlTable table)
{
    std::vector<FactoryClass> classes;
    for (const wchar_t* name : ControlClassNames(table))
        classes.push_back({ table, name });
    return classes;
}

std::string testName(const ::testing::TestParamInfo<FactoryClass>& info)
{
    std::string name;
    for (const wchar_t* c = info.param.name; *c; ++c)
        name += static_cast<char>(*c);
    return name;
}

const CRect kPlace(10, 10, 250, 200);
// Where the focus goes when it leaves the control: a control that reports nothing.
const CRect kElsewhere(280, 200, 390, 250);
const UINT kKeys[] = { VK_DOWN, VK_UP, VK_LEFT, VK_RIGHT, VK_PRIOR, VK_NEXT, VK_HOME, VK_END,
                       VK_SPACE, VK_RETURN, VK_BACK, VK_DELETE, VK_ESCAPE, 'A' };

class EveryClass : public ::testing::TestWithParam<FactoryClass> {
protected:
    // One host, one control of the class, and input until the host is gone or all of it is in.
    void run()
    {
        ClosingHost::Fate fate;
        ClosingHost* dialog = ClosingHost::make(fate);
        MControl* control = create(*dialog);
        ASSERT_NE(nullptr, control);
        dialog->adopt(new RecordingControl(dialog, 900, kElsewhere, m_log));
        dialog->activate();
        pumpMessages();
        dialog->closeOn(ClosingHost::kAnyCode);
        const HWND window = dialog->GetSafeHwnd();
        for (const CPoint& pt : points()) {
            pressAndWheel(window, pt);
            keys(window);
            focusElsewhere(window);
            pumpMessages();
            if (fate.gone)
                break;
        }
        if (!fate.gone)
            delete dialog;
        pumpMessages();
        m_log.clear();
    }

private:
    MControl* create(ClosingHost& dialog)
    {
        const FactoryClass& param = GetParam();
        if (param.table == ControlTable::Window)
            return dialog.CreateControl(param.name, 7, kPlace, L"title", 1, 1);
        auto* panel = dialog.adopt(new MPanel(&dialog, 90, CRect(0, 0, 260, 260), 1));
        return panel->CreateControl(param.name, 7, kPlace, L"title", 1, 1);
    }
    // A grid over the whole control, from 4 pixels inside its edges: where its parts sit.
    static std::vector<CPoint> points()
    {
        constexpr int kColumns = 6;
        constexpr int kRows = 4;
        std::vector<CPoint> at;
        for (int row = 0; row < kRows; ++row)
            for (int column = 0; column < kColumns; ++column)
                at.emplace_back(kPlace.left + 4 + (kPlace.Width() - 8) * column / (kColumns - 1),
                                kPlace.top + 4 + (kPlace.Height() - 8) * row / (kRows - 1));
        return at;
    }
    static void post(HWND window, UINT msg, WPARAM wParam, CPoint pt)
    {
        PostMessageW(window, msg, wParam, MAKELPARAM(pt.x, pt.y));
    }
    static void pressAndWheel(HWND window, CPoint pt)
    {
        const CPoint dragged(pt.x + 12, pt.y + 6);
        post(window, WM_MOUSEMOVE, 0, pt);
        post(window, WM_LBUTTONDOWN, MK_LBUTTON, pt);
        post(window, WM_MOUSEMOVE, MK_LBUTTON, dragged);
        post(window, WM_LBUTTONUP, 0, dragged);
        post(window, WM_MOUSEMOVE, 0, pt);
        post(window, WM_LBUTTONDBLCLK, MK_LBUTTON, pt);
        post(window, WM_LBUTTONUP, 0, pt);
        post(window, WM_RBUTTONDOWN, MK_RBUTTON, pt);
        post(window, WM_RBUTTONUP, 0, pt);
        POINT screen = pt;
        ClientToScreen(window, &screen);
        for (short delta : { -120, 120 })
            PostMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), MAKELPARAM(screen.x, screen.y));
    }
    // To the dialog, and to a native edit window of the control that holds the keyboard focus.
    static void keys(HWND window)
    {
        HWND focus = GetFocus();
        for (HWND target : { window, focus != window && IsChild(window, focus) ? focus : nullptr }) {
            if (!target)
                continue;
            for (UINT key : kKeys)
                PostMessageW(target, WM_KEYDOWN, key, 1);
            PostMessageW(target, WM_CHAR, L'a', 1);
        }
    }
    static void focusElsewhere(HWND window)
    {
        const CPoint there = kElsewhere.CenterPoint();
        post(window, WM_MOUSEMOVE, 0, there);
        post(window, WM_LBUTTONDOWN, MK_LBUTTON, there);
        post(window, WM_LBUTTONUP, 0, there);
        PostMessageW(window, WM_NCACTIVATE, FALSE, 0);
    }

    EventLog m_log;
};

} // namespace every_class

using namespace every_class;

TEST_P(EveryClass, SurvivesAHostThatDeletesItsDialogFromTheFirstNotificationAndLeavesNoGdiObjects)
{
    // The first run makes what the class keeps for good (cached pictures, fonts). A class that
    // is the first of its kind in the program may fill such caches over two runs (the rich
    // edits do, alone in a program): a third run must then leave the count where the second did.
    run();
    int warm = countGdiObjects();
    run();
    if (warm >= 0 && gdiObjectsSettled(warm) != warm) {
        warm = countGdiObjects();
        run();
    }
    if (warm >= 0) {
        EXPECT_EQ(warm, gdiObjectsSettled(warm));
    }
}
