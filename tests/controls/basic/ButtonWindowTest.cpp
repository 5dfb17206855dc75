// Buttons and menus on real windows: the cursor, focus and groups of a dialog, tips shown while
// hovered, and the menu window's rows, activation and sub-menus.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "ButtonKinds.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "RecordingControl.h"
#include "TestWindow.h"

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
    pumpUntil([&] { return GetActiveWindow() == hwnd(); });
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
        pumpUntil([&] { return tipShown() == step.shown; });
        EXPECT_EQ(step.shown, tipShown());
    }
}

} // namespace

namespace {

constexpr UINT kMenuMessage = WM_APP + 5;
constexpr UINT kSentinel = WM_APP + 9;

// Counts its deaths and notes a sentinel message, so a test knows what the window has seen.
class TrackedMenu : public MenuWnd {
public:
    TrackedMenu(int& deaths) : MenuWnd(nullptr), m_deaths(deaths) {}
    ~TrackedMenu() override { ++m_deaths; }
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == kSentinel) {
            ++sentinels;
            return 0;
        }
        return MenuWnd::OnWindowMessage(msg, wParam, lParam);
    }
    int sentinels { 0 };

private:
    int& m_deaths;
};

struct Posted { WPARAM wParam; LPARAM lParam; };

class Menu : public ::testing::Test {
protected:
    Menu()
    {
        owner.onMessage([this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT&) {
            if (msg == kMenuMessage)
                posted.push_back({ wParam, lParam });
            return msg == kMenuMessage;
        });
    }
    TrackedMenu* open(std::initializer_list<const wchar_t*> titles)
    {
        auto* menu = new TrackedMenu(deaths);
        UINT id = 100;
        for (const wchar_t* title : titles)
            menu->AddMenu(title, ++id, -1, 0, 0);
        return menu;
    }
    HWND show(TrackedMenu* menu)
    {
        EXPECT_EQ(1, menu->Create(owner.hwnd(), CPoint(200, 200), kMenuMessage));
        return menu->GetSafeHwnd();
    }
    // Everything posted to the menu so far has been handled once the sentinel has.
    bool settled(TrackedMenu* menu, HWND window)
    {
        const int seen = menu->sentinels;
        PostMessageW(window, kSentinel, 0, 0);
        const bool done = pumpUntil([&] { return !IsWindow(window) || menu->sentinels > seen; });
        // What the menu posted on the way is queued by now.
        pumpMessages();
        return done;
    }
    void click(HWND window, CPoint pt)
    {
        for (UINT msg : { WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP })
            PostMessageW(window, msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(pt.x, pt.y));
    }
    // Closed from outside, the menu deletes itself.
    bool closed(TrackedMenu* menu)
    {
        menu->CloseWindow();
        return pumpUntil([&] { return deaths == 1; });
    }
    CSize sizeOf(HWND window)
    {
        RECT rect {};
        GetWindowRect(window, &rect);
        return CSize(rect.right - rect.left, rect.bottom - rect.top);
    }

    TestWindow owner { 300, 200, WS_POPUP | WS_VISIBLE };
    std::vector<Posted> posted;
    int deaths { 0 };
};

TEST_F(Menu, ThreeRowsOpenShownAndActiveAndAPlainRowClickClosesIt)
{
    TrackedMenu* menu = open({ L"One", L"Two", L"Three" });
    const HWND window = show(menu);
    ASSERT_TRUE(IsWindow(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(window, GetActiveWindow());
    EXPECT_EQ(CSize(300, 117), sizeOf(window));
    // Rows start 6 px down, 35 px each: the second row's middle.
    click(window, CPoint(150, 6 + 35 + 17));
    ASSERT_TRUE(pumpUntil([&] { return deaths == 1; }));
    EXPECT_FALSE(IsWindow(window));
    ASSERT_EQ(1u, posted.size());
    EXPECT_EQ(0u, posted[0].wParam);
    EXPECT_EQ(102, posted[0].lParam);
}

TEST_F(Menu, ACheckableRowPostsItsCheckBeforeThePressAndStaysOpen)
{
    TrackedMenu* menu = open({ L"One" });
    auto* row = new CheckableMenuItem(menu, 200, CRect(), L"Checkable", 1, 1);
    menu->GetPaintManager()->AppendControl(row, 1);
    row->SetManager(menu->GetPaintManager());
    menu->SetMenuPoint();
    const HWND window = show(menu);
    for (int check : { 0, 1 }) {
        SCOPED_TRACE(check);
        posted.clear();
        click(window, CPoint(150, 6 + 35 + 17));
        ASSERT_TRUE(settled(menu, window));
        ASSERT_TRUE(IsWindow(window)) << "still open";
        ASSERT_EQ(1u, posted.size());
        EXPECT_EQ(static_cast<WPARAM>(check), posted[0].wParam);
        EXPECT_EQ(200, posted[0].lParam);
        EXPECT_EQ(1 - check, row->GetCheck());
    }
    ASSERT_TRUE(closed(menu));
}

TEST_F(Menu, AnotherWindowsActivationClosesItSilently)
{
    TrackedMenu* menu = open({ L"One", L"Two" });
    const HWND window = show(menu);
    SetActiveWindow(owner.hwnd());
    ASSERT_TRUE(pumpUntil([&] { return deaths == 1; }));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(posted.empty());
}

TEST_F(Menu, QueuedChangesFindTheirRowByIdOrCaptionAndShowAtCreate)
{
    TrackedMenu* menu = open({ L"One", L"Two", L"Three", L"Four" });
    menu->SetItemTitle(L"102", L"Second");
    menu->SetItemVisible(L"101", 0);
    menu->SetItemEnable(L"Three", 0);
    menu->SetItemTitle(L"Four", L"Fourth");
    const HWND window = show(menu);
    auto row = [&](UINT id) { return dynamic_cast<MenuItem*>(menu->GetControl(id)); };
    EXPECT_EQ(0, row(101)->IsVisible());
    EXPECT_EQ(CString(L"Second"), row(102)->GetTitle());
    EXPECT_EQ(1, row(102)->IsEnabled()) << "a title change leaves the row enabled";
    EXPECT_EQ(0, row(103)->IsEnabled());
    EXPECT_EQ(CSize(300, 6 + 3 * 35 + 6), sizeOf(window)) << "a hidden row takes no space";
    ASSERT_TRUE(closed(menu));
}

// A row opens no sub-menu itself: asked to, it leaves its sub-menu unmade, its menu open and
// its owner unposted.
TEST_F(Menu, ShowPopupMenuLeavesTheSubMenuToWhoeverSetIt)
{
    TrackedMenu* menu = open({ L"One", L"Two" });
    const HWND window = show(menu);
    int subDeaths = 0;
    auto* subMenu = new TrackedMenu(subDeaths);
    subMenu->AddMenu(L"Inner", 1, -1, 0, 0);
    auto* row = dynamic_cast<MenuItem*>(menu->GetControl(101));
    ASSERT_TRUE(row);
    row->SetPopupMenu(subMenu);
    row->ShowPopupMenu();
    ASSERT_TRUE(settled(menu, window));
    EXPECT_EQ(nullptr, subMenu->GetSafeHwnd());
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(posted.empty());
    EXPECT_EQ(0, row->IsHover());
    row->SetPopupMenu(nullptr);
    delete subMenu;
    ASSERT_TRUE(closed(menu));
}

TEST_F(Menu, ARowGoingAwayClosesItsSubMenuEvenAfterTheSubMenuWentFirst)
{
    for (bool subMenuFirst : { false, true }) {
        SCOPED_TRACE(subMenuFirst);
        int subDeaths = 0;
        auto* subMenu = new TrackedMenu(subDeaths);
        subMenu->AddMenu(L"Inner", 1, -1, 0, 0);
        const HWND subWindow = show(subMenu);
        auto* row = new MenuItem(nullptr, 3, CRect(), L"Outer", 1, 1);
        row->SetPopupMenu(subMenu);
        if (subMenuFirst) {
            subMenu->CloseWindow();
            ASSERT_TRUE(pumpUntil([&] { return subDeaths == 1; }));
        }
        delete row;
        ASSERT_TRUE(pumpUntil([&] { return subDeaths == 1; }));
        EXPECT_FALSE(IsWindow(subWindow));
    }
}

} // namespace
