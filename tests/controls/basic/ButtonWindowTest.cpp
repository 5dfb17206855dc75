#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "ButtonKinds.h"
#include "LibraryHost.h"
#include "PumpUntil.h"
#include "RecordingControl.h"
#include "TestWindow.h"
#include "NotedDialog.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const CRect kButton(20, 20, 120, 50);
const CPoint kInside(70, 35);
const CPoint kElsewhere(300, 150);

class Dialog : public ::testing::Test {
protected:
    int count(UINT code) const
    {
        int n = 0;
        for (const Notification& note : dialog.notes)
            n += note.code == code ? 1 : 0;
        return n;
    }
    bool tipShown()
    {
        PaintManager* manager = dialog.GetPaintManager();
        return manager->GetAirBladder() && IsWindowVisible(manager->GetAirBladder()->GetSafeHwnd());
    }
    HWND hwnd() const { return dialog.GetSafeHwnd(); }

    NotedDialog dialog;
};

// Every button hears every move: a later button in the list must not put the arrow back over
// the hovered one.
TEST_F(Dialog, TheHandShowsOverAnyButtonAndTheArrowOnlyAfterLeavingOne)
{
    ASSERT_TRUE(dialog.create<MButton>(L"MButton", 5, kButton) && dialog.create<MButton>(L"MButton", 6, CRect(20, 80, 120, 110)));
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND), arrow = LoadCursorW(nullptr, IDC_ARROW);
    const struct { CPoint at; HCURSOR expected; } moves[] { { kInside, hand }, { CPoint(70, 95), hand }, { kElsewhere, arrow } };
    for (const auto& move : moves) {
        SendMessageW(hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(move.at.x, move.at.y));
        EXPECT_EQ(move.expected, GetCursor()) << move.at.x << "," << move.at.y;
    }
}

TEST_F(Dialog, APressFocusesATopLevelCheckBoxAndRadiosInTheDialogAreOneGroup)
{
    auto* box = dialog.create<CCheckButton>(L"CCheckButton", 6, kButton);
    auto* first = dialog.create<CRadioButton>(L"CRadioButton", 7, CRect(20, 80, 120, 110));
    auto* second = dialog.create<CRadioButton>(L"CRadioButton", 8, CRect(20, 120, 120, 150));
    ASSERT_TRUE(box && first && second);
    first->SetGroupName(L"g");
    second->SetGroupName(L"g");
    first->SetCheck(1);

    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, kInside);
    ASSERT_TRUE(pumpUntil([&] { return count(2) == 1; }));
    dialog.PostMessageW(WM_KEYDOWN, VK_SPACE, 0);
    ASSERT_TRUE(pumpUntil([&] { return count(7) == 1; }));
    EXPECT_EQ(6u, dialog.notes.back().id);
    EXPECT_EQ(0, dialog.notes.back().lParam) << "the click checked it, Space unchecked it";

    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(70, 135));
    ASSERT_TRUE(pumpUntil([&] { return count(2) == 2; }));
    EXPECT_EQ(1, second->GetCheck());
    EXPECT_EQ(0, first->GetCheck());
}

TEST_F(Dialog, LeavingOneHelpButtonNeverHidesAnothersTip)
{
    dialog.create<CHelpButton>(L"CHelpButton", 11, CRect(20, 20, 40, 40), L"first");
    dialog.create<CHelpButton>(L"CHelpButton", 12, CRect(60, 20, 80, 40), L"second");
    struct Step { const char* name; CPoint at; bool shown; };
    const Step steps[] {
        { "over the first", CPoint(30, 30), true },
        { "over the second", CPoint(70, 30), true },
        { "over neither: the second owns it", CPoint(200, 150), false },
        { "over the first again", CPoint(30, 30), true },
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        dialog.PostMessageW(WM_MOUSEMOVE, 0, MAKELPARAM(step.at.x, step.at.y));
        EXPECT_TRUE(pumpUntil([&] { return tipShown() == step.shown; }));
    }
    // The second button sees a move outside itself: the first one's tip stays.
    auto* second = dynamic_cast<CHelpButton*>(dialog.GetControl(12));
    second->OnMouseMove(0, CPoint(200, 150));
    EXPECT_TRUE(tipShown());
}

BOOL CALLBACK findKeyTip(HWND window, LPARAM result)
{
    wchar_t title[32] {};
    GetWindowTextW(window, title, 32);
    if (std::wstring(title) == L"KeyboardTip Window")
        *reinterpret_cast<HWND*>(result) = window;
    return TRUE;
}

// The key tip of this thread's icon buttons, when one was made.
HWND keyTipWindow()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findKeyTip, reinterpret_cast<LPARAM>(&found));
    return found;
}

TEST_F(Dialog, AnIconButtonShowsItsKeyTipWhileHoveredOnlyWithTipsOn)
{
    auto* quiet = dialog.create<CIconButton>(L"CIconButton", 13, CRect(20, 20, 120, 50), L"quiet");
    quiet->SetTips(L"Q", L"quiet", L"-");
    dialog.PostMessageW(WM_MOUSEMOVE, 0, MAKELPARAM(70, 35));
    ASSERT_TRUE(pumpUntil([&] { return quiet->GetState() == 1; }));
    EXPECT_EQ(nullptr, keyTipWindow()) << "tips off: no bubble is made";
    auto* tipped = dialog.create<CIconButton>(L"CIconButton", 14, CRect(20, 80, 120, 110), L"tipped");
    tipped->SetShowTips(true);
    tipped->SetTips(L"K", L"Key", L"Ctrl+K");
    dialog.PostMessageW(WM_MOUSEMOVE, 0, MAKELPARAM(70, 95));
    ASSERT_TRUE(pumpUntil([&] { return keyTipWindow() && IsWindowVisible(keyTipWindow()); }));
    dialog.PostMessageW(WM_MOUSEMOVE, 0, MAKELPARAM(300, 150));
    EXPECT_TRUE(pumpUntil([&] { return !IsWindowVisible(keyTipWindow()); }));
}

// The real pointer, as a user moves it.
void pointerTo(HWND window, CPoint client, DWORD buttons = 0)
{
    POINT screen { client.x, client.y };
    ClientToScreen(window, &screen);
    INPUT input {};
    input.type = INPUT_MOUSE;
    input.mi.dx = screen.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = screen.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    SendInput(1, &input, sizeof input);
}

TEST_F(Dialog, AnImageButtonShowsItsTitleAsABalloonWhileHovered)
{
    auto* button = dialog.create<CImageButton>(L"CImageButton", 9, kButton, L"Balloon text");
    button->SetAlrBladderMode(AirBladderModeRight);
    // The user works in the dialog.
    SetForegroundWindow(hwnd());
    pointerTo(hwnd(), kElsewhere);
    pumpUntil([&] { return GetActiveWindow() == hwnd(); }, 500);
    struct Step { const char* name; CPoint at; DWORD buttons; bool shown; };
    const Step steps[] {
        { "entering", kInside, 0, true },
        { "pressing", kInside, MOUSEEVENTF_LEFTDOWN, true },
        { "dragged out", kElsewhere, 0, true },
        { "released outside", kElsewhere, MOUSEEVENTF_LEFTUP, true },
        { "back in", kInside, 0, true },
        { "leaving", kElsewhere, 0, false },
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        const std::vector<Notification> before = dialog.notes;
        pointerTo(hwnd(), step.at, step.buttons);
        // Each step is done when the button has seen it.
        pumpUntil([&] {
            const int state = button->GetState();
            switch (step.buttons) {
            case MOUSEEVENTF_LEFTDOWN: return state == 2;
            case MOUSEEVENTF_LEFTUP: return GetCapture() == nullptr && state == 0;
            default: return step.at == kInside ? state == 1 || state == 2 : state == 0 || state == 2;
            }
        });
        pumpUntil([&] { return tipShown() == step.shown; }, 1000);
        EXPECT_EQ(step.shown, tipShown());
    }
}

} // namespace
