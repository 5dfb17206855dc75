#include <gtest/gtest.h>

#include <vector>

#include "ButtonKinds.h"
#include "LibraryHost.h"
#include "PumpUntil.h"
#include "TestWindow.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

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
    EXPECT_EQ(CString(L"Fourth"), row(104)->GetTitle());
    EXPECT_EQ(1, row(104)->IsEnabled());
    EXPECT_EQ(CSize(300, 6 + 3 * 35 + 6), sizeOf(window)) << "a hidden row takes no space";
    ASSERT_TRUE(closed(menu));
}

TEST_F(Menu, ALongCaptionWidensTheMenuAndSeparatorsTakeFourPixels)
{
    TrackedMenu* menu = open({ L"One" });
    const CString title(L"A caption far too long for a menu of three hundred pixels");
    menu->AddMenu(title, 7, CString(), 0, 0);
    menu->AddSeparator(8, CString());
    const Gdiplus::Font font(menu->GetPaintManager()->FindTempFontOrFallback(L"Alibaba-PuHuiTi"), 18.0f,
                             Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    const int width = MRender::GetTextBounds(font, format, title).Width;
    ASSERT_GT(width, 291);
    const HWND window = show(menu);
    EXPECT_EQ(CSize(width + 9, 6 + 2 * 35 + 4 + 6), sizeOf(window));
    EXPECT_EQ(CRect(6, 6 + 2 * 35 + 1, width + 9 - 1, 6 + 2 * 35 + 2), menu->GetControl(8)->GetRect());
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
