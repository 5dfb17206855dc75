#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "ButtonKinds.h"
#include "NotedDialog.h"
#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "PumpUntil.h"
#include "RecordingControl.h"
#include "ScratchStrip.h"
#include "WindowCapture.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00;
constexpr UINT kTabsId = 9;
const wchar_t* const kStrip = L"h3_tabs_rgb.png";

// The slide's state and the derived looks' images, which only a derived class reaches.
class ProbedTabCtrl : public MTabCtrl {
public:
    using MTabCtrl::MTabCtrl;
    using MTabCtrl::TabSkin;
    int offsetX() const { return m_slideOffsetX; }
    int offsetY() const { return m_slideOffsetY; }
    int sliding() const { return m_run; }
    int loadSkin(TabSkin which, const wchar_t* file) { return LoadTabSkin(which, file); }
};

// Records like a window and lets a case look at the world when a notification arrives.
class HearingParent : public RenderingParent {
public:
    LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        if (onNote)
            onNote();
        return RenderingParent::OnBaseMessage(id, code, wParam, lParam);
    }
    std::function<void()> onNote;
};

CPoint centreOf(const CRect& rect) { return CPoint(rect.left + rect.Width() / 2, rect.top + rect.Height() / 2); }

// A page filled by one colour on its left half and another on its right half.
MControl* twoColourPage(MTabCtrl& tabs, UINT id, CRect rect, COLORREF left, COLORREF right)
{
    auto* page = dynamic_cast<MPanel*>(tabs.CreatePanel(L"MTabLayout", id, rect));
    const int middle = rect.left + rect.Width() / 2;
    auto fill = [&](CRect part, COLORREF colour, UINT partId) {
        static_cast<CArea*>(page->CreateControl(L"CArea", partId, part, L"", 1, 1))->SetTransparent(0, 0, colour);
    };
    fill(CRect(rect.left, rect.top, middle, rect.bottom), left, id * 10 + 1);
    fill(CRect(middle, rect.top, rect.right, rect.bottom), right, id * 10 + 2);
    return page;
}

// Two tabs whose pages are red | blue and green | yellow.
void twoPagedTabs(MTabCtrl& tabs, CRect pageRect, MControl* pages[2])
{
    pages[0] = twoColourPage(tabs, 1, pageRect, RGB(255, 0, 0), RGB(0, 0, 255));
    pages[1] = twoColourPage(tabs, 2, pageRect, RGB(0, 255, 0), RGB(255, 255, 0));
    for (int i = 0; i < 2; ++i)
        tabs.InsertItem(20 + i, L"", kStrip, pages[i], 3, 0);
}

constexpr UINT kBarId = 7;
const wchar_t* const kRedStrip = L"h3_bars_red.png";

// Three one-letter items 100 px wide; a bar class whose AddItem takes a width and a page, or
// a width alone, or neither.
template <class T>
std::unique_ptr<TabBar> threeItems(MObject* parent, CRect rect, MControl* const* pages)
{
    auto bar = std::make_unique<T>(parent, kBarId, rect, 1, 1);
    for (int i = 0; i < 3; ++i) {
        const CString text(static_cast<wchar_t>(L'A' + i));
        MControl* page = pages ? pages[i] : nullptr;
        if constexpr (std::is_same_v<T, CTabCtrl2>)
            bar->AddItem(text, 30 + i, page);
        else if constexpr (std::is_same_v<T, CTabCtrl5>)
            bar->AddItem(text, 30 + i);
        else
            bar->AddItem(text, 30 + i, 100, page);
    }
    return bar;
}

// Each class, where its item h lies, and where its highlight shows against the plain look.
struct BarKind {
    const char* name;
    CRect rect;
    std::unique_ptr<TabBar> (*make)(MObject* parent, CRect rect, MControl* const* pages);
    CPoint (*itemPoint)(int h);
    CPoint probe;
    DWORD plain, highlighted;
};

CPoint inARow(int h) { return CPoint(60 + 100 * h, 30); }

const BarKind kKinds[] {
    { "CTabCtrl2", CRect(10, 10, 410, 130), threeItems<CTabCtrl2>, [](int h) { return CPoint(210, 28 + 36 * h); },
      CPoint(400, 28), 0x000000, 0xFF0000 },
    { "CTabCtrlEx", CRect(10, 10, 410, 50), threeItems<CTabCtrlEx>, inARow, CPoint(19, 28), 0x878787, 0xFF0000 },
    { "CTabCtrl5", CRect(10, 10, 410, 50), threeItems<CTabCtrl5>, inARow, CPoint(40, 44), 0x282828, 0x191919 },
    { "TabCtrl6", CRect(10, 10, 410, 50), threeItems<TabCtrl6>, inARow, CPoint(20, 15), 0x000000, 0x383838 },
};

// A bar of 100 × 40 tabs drawn from a red, green, blue strip, painted the way a window does;
// and the other tab bars, drawn from a plain red strip.
class Tabs : public ::testing::Test {
protected:
    std::unique_ptr<ProbedTabCtrl> make(CRect rect = CRect(10, 10, 310, 210))
    {
        auto tabs = std::make_unique<ProbedTabCtrl>(&parent, kTabsId, rect, 1, 1);
        tabs->SetManager(&manager);
        return tabs;
    }
    // count tabs, each with a page under the bar when pages is set.
    void fill(MTabCtrl& tabs, int count, bool pages = false)
    {
        const CRect rect = tabs.GetRect();
        for (int i = 0; i < count; ++i) {
            MControl* page = pages ? tabs.CreatePanel(L"MTabLayout", 100 + i, CRect(rect.left, rect.top + 40, rect.right, rect.bottom))
                                   : nullptr;
            ASSERT_EQ(1, tabs.InsertItem(20 + i, (L"tab " + std::to_wstring(i)).c_str(), kStrip, page, 3, 0));
        }
    }
    std::unique_ptr<TabBar> makeBar(const BarKind& kind, MControl* const* pages = nullptr)
    {
        auto bar = kind.make(&parent, kind.rect, pages);
        bar->SetManager(&manager);
        bar->SetImage(kRedStrip, 1);
        return bar;
    }
    void paint(MControl& control) { control.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height())); }
    void click(MControl& control, CPoint at)
    {
        control.OnMouseMove(0, at);
        control.OnMouseMove(0, at);
        control.OnLButtonDown(MK_LBUTTON, at);
        control.OnLButtonUp(0, at);
    }
    std::string shownPages(MTabCtrl& tabs)
    {
        std::string shown;
        for (int i = 0; i < tabs.GetItemCount(); ++i)
            shown += std::to_string(tabs.GetItemInfo(i)->page->IsVisible());
        return shown;
    }

    ScratchStrip strip { GetSkinPath(), kStrip, 100, 40, { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF } };
    ScratchStrip redStrip { GetSkinPath(), kRedStrip, 20, 20, { 0xFFFF0000 } };
    PaintManager manager;
    const ReleasedImages released { manager };
    HearingParent parent;
    DibCanvas canvas { 500, 300, 0xFF000000 };
};

TEST_F(Tabs, InsertSizesTheTabFromItsStripAndRefusesFramesBelowOne)
{
    ASSERT_TRUE(strip.written());
    struct Row { int frames, width, result, frameWidth, tabWidth; };
    const Row rows[] { { 3, 0, 1, 100, 100 }, { -1, 0, 1, 100, 100 }, { 1, 0, 1, 300, 300 },
                       { 3, 80, 1, 100, 80 }, { 0, 0, 0, 0, 0 },       { -2, 0, 0, 0, 0 } };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.frames * 1000 + row.width);
        auto tabs = make();
        EXPECT_EQ(row.result, tabs->InsertItem(1, L"A", kStrip, nullptr, row.frames, row.width));
        EXPECT_EQ(row.result, tabs->GetItemCount());
        if (!row.result)
            continue;
        EXPECT_EQ(row.frameWidth, tabs->GetItemInfo(0)->frameWidth);
        EXPECT_EQ(CRect(10, 10, 10 + row.tabWidth, 50), tabs->GetItemInfo(0)->itemRect);
        EXPECT_EQ(40, tabs->GetCtrlHeight()) << "the bar takes the strip's height";
    }
}

// A row's uniform width is the bar's share held at the minimum; a column stacks tabs of the
// bar's height one pixel apart.
TEST_F(Tabs, UniformRowsAndColumnsPlaceEveryTab)
{
    struct Row { TAB_TYPE type; int count; CRect first; CPoint step; };
    const Row rows[] { { TabTypeHorizontal, 2, CRect(10, 0, 130, 40), CPoint(120, 0) },
                       { TabTypeHorizontal, 8, CRect(10, 0, 70, 40), CPoint(60, 0) },
                       { TabTypeVertical, 3, CRect(0, 0, 80, 30), CPoint(0, 31) } };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.type) + " " + std::to_string(row.count));
        auto tabs = make(CRect(0, 0, 400, 200));
        tabs->SetTabType(row.type);
        if (row.type == TabTypeVertical) {
            tabs->SetTabCtrlWidth(80);
            tabs->SetTabCtrlHeight(30);
        } else {
            tabs->SetLeftRightPading(10, 10);
        }
        fill(*tabs, row.count);
        if (row.type == TabTypeVertical)
            tabs->SetItemHeight(50, 0, 1);
        else
            tabs->SetItemWidth(120, 60, 1);
        for (int i = 0; i < row.count; ++i) {
            CRect expected = row.first;
            expected.OffsetRect(row.step.x * i, row.step.y * i);
            EXPECT_EQ(expected, tabs->GetItemInfo(i)->itemRect) << i;
        }
    }
}

TEST_F(Tabs, ARecordStaysWhereItWasWhileTabsAreAdded)
{
    auto tabs = make();
    fill(*tabs, 1);
    TabItemInfo* first = tabs->GetItemInfo(0);
    fill(*tabs, 40);
    first->text = L"kept";
    EXPECT_EQ(first, tabs->GetItemInfo(0));
    EXPECT_EQ(CString(L"kept"), tabs->GetItemInfo(0)->text);
    EXPECT_EQ(nullptr, tabs->GetItemInfo(41));
    EXPECT_EQ(nullptr, tabs->GetItemInfo(-1));
}

TEST_F(Tabs, SelectingReportsBeforeThePagesSwitchAndOnlyOnAChange)
{
    auto tabs = make();
    fill(*tabs, 3, true);
    std::vector<std::string> seen;
    parent.onNote = [&] { seen.push_back(shownPages(*tabs)); };
    struct Step { int index, returned, selected; const char* heard; const char* pages; };
    const Step steps[] { { 1, -1, 1, "9:2:1:0", "010" }, { 2, 1, 2, "9:2:2:0", "001" }, { 2, 2, 2, "", "001" },
                         { -1, 2, 2, "", "001" },          { 3, 2, 2, "", "001" } };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.index);
        parent.notifications.clear();
        seen.clear();
        EXPECT_EQ(step.returned, tabs->SetSelectItem(step.index));
        EXPECT_EQ(step.selected, tabs->GetSelectItem());
        EXPECT_EQ(step.heard, noteLine(parent.notifications));
        for (const std::string& pages : seen)
            EXPECT_NE(step.pages, pages) << "the pages had switched already";
        EXPECT_EQ(step.pages, shownPages(*tabs));
    }
}

// A release over the hovered tab selects it, a press sends nothing; the tooltip shows from
// the second move over one tab.
TEST_F(Tabs, PointerStepsSelectTabsAndShowTheTooltip)
{
    auto tabs = make(CRect(0, 0, 300, 200));
    fill(*tabs, 3);
    enum Act { Move, Down, Up };
    struct Step { Act act; CPoint at; const char* heard; int selected; int tooltip; };
    const Step steps[] {
        { Up, CPoint(150, 20), "", -1, 0 },          { Move, CPoint(150, 20), "", -1, 0 },
        { Move, CPoint(160, 20), "", -1, kTabsId },   { Down, CPoint(150, 20), "", -1, -1 },
        { Up, CPoint(150, 20), "9:2:1:0", 1, -1 },   { Move, CPoint(50, 20), "", 1, 0 },
        { Up, CPoint(150, 20), "", 1, -1 },          { Move, CPoint(150, 20), "", 1, 0 },
        { Move, CPoint(140, 20), "", 1, kTabsId },    { Up, CPoint(150, 20), "", 1, -1 },
        { Move, CPoint(250, 20), "", 1, 0 },         { Up, CPoint(250, 0), "", 1, -1 },
        { Move, CPoint(0, 20), "", 1, -1 },          { Up, CPoint(0, 20), "", 1, -1 },
        { Move, CPoint(10, 20), "", 1, kTabsId },     { Move, CPoint(350, 20), "", 1, 0 },
        { Move, CPoint(250, 20), "", 1, 0 },
        { Up, CPoint(250, 20), "9:2:2:0", 2, -1 },
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        const Step& step = steps[i];
        SCOPED_TRACE(i);
        parent.notifications.clear();
        if (step.act == Move)
            tabs->OnMouseMove(0, step.at);
        else if (step.act == Down)
            tabs->OnLButtonDown(MK_LBUTTON, step.at);
        else
            tabs->OnLButtonUp(0, step.at);
        EXPECT_EQ(step.heard, noteLine(parent.notifications));
        EXPECT_EQ(step.selected, tabs->GetSelectItem());
        if (step.tooltip >= 0) {
            EXPECT_EQ(step.tooltip, manager.GetTooltipCtrlID());
        }
    }
}

TEST_F(Tabs, HidingTheSelectedLastTabKeepsItAndDeletingItMovesSilently)
{
    struct Case { const char* name; std::function<void(MTabCtrl&)> act; int selected, selectedId; };
    const Case cases[] {
        { "hidden", [](MTabCtrl& t) { t.SetItemVisible(3, 0); }, 3, 23 },
        { "deleted", [](MTabCtrl& t) { t.DeleteItem(3); }, 2, 22 },
        { "deleted behind a hidden one", [](MTabCtrl& t) { t.SetItemVisible(2, 0), t.DeleteItem(3); }, 1, 21 },
        { "a tab before it deleted", [](MTabCtrl& t) { t.DeleteItem(1); }, 2, 23 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto tabs = make(CRect(0, 0, 400, 200));
        fill(*tabs, 4, true);
        tabs->SetSelectItem(3);
        parent.notifications.clear();
        c.act(*tabs);
        EXPECT_EQ(c.selected, tabs->GetSelectItem());
        EXPECT_EQ(c.selectedId, tabs->GetItemID(tabs->GetSelectItem()));
        EXPECT_EQ("", noteLine(parent.notifications));
        EXPECT_EQ(1, tabs->GetItemInfo(c.selected)->page->IsVisible()) << "the selected tab's page shows";
    }
}

TEST_F(Tabs, DeletingATabDestroysItsOwnPageAndLeavesTheHostsPage)
{
    EventLog log;
    auto tabs = make();
    RecordingControl hostPage(&parent, 70, CRect(10, 50, 310, 210), log);
    fill(*tabs, 1, true);
    ASSERT_EQ(1, tabs->InsertItem(30, L"host", kStrip, &hostPage, 3, 0));
    const size_t children = tabs->GetControls().size();
    tabs->DeleteItem(1);
    tabs->DeleteItem(0);
    EXPECT_EQ(children - 1, tabs->GetControls().size());
    EXPECT_EQ(0, tabs->GetItemCount());
}

TEST_F(Tabs, ThePagesCodesPassUnchangedAndKeysReachTheSelectedPage)
{
    EventLog log;
    auto tabs = make();
    auto* page = new RecordingControl(tabs.get(), 60, CRect(10, 10, 310, 210), log);
    tabs->GetControls().push_back(page);
    page->keyAnswer = 1;
    ASSERT_EQ(1, tabs->InsertItem(30, L"page", kStrip, page, 3, 0));
    for (const wchar_t* name : { L"MTabLayoutX", L"", static_cast<const wchar_t*>(nullptr) })
        EXPECT_EQ(nullptr, tabs->CreatePanel(name, 61, CRect()));
    tabs->SetSelectItem(0);
    parent.notifications.clear();
    page->SendMessageW(27, 5, -6);
    EXPECT_EQ("60:27:5:-6", noteLine(parent.notifications));
    log.clear();
    EXPECT_EQ(1, tabs->OnKeyDown(VK_RIGHT, 1, 0));
    EXPECT_EQ(1, log.count("key", 60));
    EXPECT_EQ(1, tabs->OnScroll(1, 1, CPoint(50, 20)));
    EXPECT_EQ(1, log.count("wheel", 60));
}

// A look with an extra button on every tab: a 12 × 10 strip of three states.
TEST_F(Tabs, TheExtraButtonFollowsThePointerAndAPressReportsCode9)
{
    ScratchStrip button(GetSkinPath(), L"h3_tabs_button.png", 12, 10, { 0xFFFFFFFF, 0xFFFFFF00, 0xFF00FFFF });
    auto tabs = make(CRect(0, 0, 300, 200));
    ASSERT_EQ(1, tabs->loadSkin(ProbedTabCtrl::TabSkin::ExtraButton, L"h3_tabs_button.png"));
    fill(*tabs, 2);
    ASSERT_EQ(CRect(185, 6, 197, 16), tabs->GetItemInfo(1)->buttonRect) << "3 px inside the right edge, 6 px down";
    tabs->OnMouseMove(0, CPoint(190, 10));
    EXPECT_EQ(1, tabs->GetItemInfo(1)->buttonState);
    paint(*tabs);
    EXPECT_TRUE(nearColor(canvas.rgb(190, 10), kYellow, 2)) << "the hovered button's frame";
    parent.notifications.clear();
    EXPECT_EQ(1, tabs->OnLButtonDown(MK_LBUTTON, CPoint(190, 10)));
    EXPECT_EQ("9:9:1:0", noteLine(parent.notifications));
    paint(*tabs);
    EXPECT_TRUE(nearColor(canvas.rgb(190, 10), 0x00FFFF, 2)) << "pressed";
    tabs->OnMouseMove(0, CPoint(50, 20));
    EXPECT_EQ(0, tabs->GetItemInfo(1)->buttonState);
}

TEST_F(Tabs, ARowShowsFrameOneHoveredOrSelectedAndAColumnFrameTwoSelected)
{
    struct Case { TAB_TYPE type; int hover, select; DWORD shown[3]; };
    const Case cases[] {
        { TabTypeHorizontal, -1, -1, { kRed, kRed, kRed } }, { TabTypeHorizontal, 2, 1, { kRed, kGreen, kGreen } },
        { TabTypeVertical, 2, 1, { kRed, kBlue, kGreen } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.hover) + " " + std::to_string(c.select));
        canvas.fill(0xFF000000);
        auto tabs = make();
        tabs->SetTabType(c.type);
        tabs->SetTabCtrlWidth(100);
        tabs->SetTabCtrlHeight(40);
        fill(*tabs, 3);
        paint(*tabs);
        tabs->SetSelectItem(c.select);
        if (c.hover >= 0)
            tabs->OnMouseMove(0, centreOf(tabs->GetItemInfo(c.hover)->itemRect));
        paint(*tabs);
        for (int i = 0; i < 3; ++i) {
            // A row draws its strips 10 px below the top of the bar.
            CPoint probe = centreOf(tabs->GetItemInfo(i)->itemRect);
            probe.y += c.type == TabTypeHorizontal ? 5 : 0;
            EXPECT_TRUE(nearColor(canvas.rgb(probe.x, probe.y), c.shown[i], 2)) << i << ": " << std::hex << canvas.rgb(probe.x, probe.y);
        }
    }
}

TEST_F(Tabs, HoverAndSelectionOnlyCopyTheCachedBar)
{
    auto tabs = make();
    fill(*tabs, 3);
    paint(*tabs);
    canvas.fill(0xFFFFFFFF);
    tabs->SetSelectItem(1);
    tabs->OnMouseMove(0, CPoint(60, 30));
    EXPECT_EQ(0, parent.updates.back().flag);
    EXPECT_EQ(CRect(10, 10, 310, 50), parent.updates.back().rect) << "a hover repaints the bar alone";
    paint(*tabs);
    EXPECT_EQ(0u, canvas.rgb(60, 12)) << "the bar's background is the one cached at the first paint";
    EXPECT_TRUE(nearColor(canvas.rgb(60, 35), kGreen, 2));
    EXPECT_TRUE(nearColor(canvas.rgb(160, 35), kGreen, 2));
    canvas.fill(0xFFFFFFFF);
    tabs->SetUpdate(0, 0);
    paint(*tabs);
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(60, 12)) << "rebuilt over what is under it now";
}

TEST_F(Tabs, TheSlideStepsATenthOfTheControlUntilThePageIsCovered)
{
    struct Row { TAB_TYPE type; int width, from, to; std::vector<int> offsets; };
    const Row rows[] {
        { TabTypeHorizontal, 300, 0, 1, { 30, 60, 90, 120, 150, 180, 210, 240, 270, 300 } },
        { TabTypeHorizontal, 305, 0, 1, { 30, 60, 90, 120, 150, 180, 210, 240, 270, 300, 330 } },
        { TabTypeHorizontal, 5, 0, 1, { 1, 2, 3, 4, 5 } },
        // A column slides along the control's height, 200 px.
        { TabTypeVertical, 300, 1, 0, { -20, -40, -60, -80, -100, -120, -140, -160, -180, -200 } },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.width) + ": " + std::to_string(row.from) + " to " + std::to_string(row.to));
        auto tabs = make(CRect(0, 0, row.width, 200));
        tabs->SetTabType(row.type);
        tabs->SetTabCtrlHeight(40);
        fill(*tabs, 2, true);
        tabs->EnableAnimateChangeTab(1);
        tabs->SetSelectItem(row.from);
        EXPECT_EQ(0, tabs->sliding()) << "the first selection has no page to leave";
        tabs->SetSelectItem(row.to);
        std::vector<int> offsets;
        auto offset = [&] { return row.type == TabTypeHorizontal ? tabs->offsetX() : tabs->offsetY(); };
        while (tabs->sliding() && offsets.size() < 20) {
            EXPECT_EQ(1, tabs->OnControlTimer());
            offsets.push_back(offset());
        }
        EXPECT_EQ(row.offsets, offsets);
        EXPECT_EQ(0, tabs->OnControlTimer()) << "a stopped slide ignores later ticks";
        EXPECT_EQ(row.offsets.back(), offset());
    }
}

TEST_F(Tabs, ACopyTakesTheTabsValuesWithoutImagesOrPages)
{
    auto tabs = make();
    fill(*tabs, 2, true);
    tabs->SetSelectItem(1);
    auto copy = std::make_unique<MTabCtrl>(*tabs);
    ASSERT_EQ(2, copy->GetItemCount());
    EXPECT_EQ(nullptr, copy->GetItemInfo(0)->image);
    EXPECT_EQ(nullptr, copy->GetItemInfo(0)->page);
    tabs.reset();
    paint(*copy);
    copy->DeleteItem(0);
    EXPECT_EQ(1, copy->GetItemCount());
}

// Every round of the tab control slides to the other page and hovers; every fourth paint of
// a bar follows a hover change and rebuilds its look.
TEST_F(Tabs, GdiObjectsStayFlatOverPaintsAndSlidesOfEveryLook)
{
    auto tabs = make(CRect(0, 0, 300, 240));
    MControl* pages[2] {};
    twoPagedTabs(*tabs, CRect(0, 40, 300, 240), pages);
    tabs->EnableAnimateChangeTab(1);
    std::vector<std::pair<std::string, std::function<void(int)>>> rounds { { "MTabCtrl", [&](int round) {
        tabs->SetSelectItem(round % 2);
        do
            paint(*tabs);
        while (tabs->OnControlTimer());
        for (int i = 0; i < 4; ++i) {
            tabs->OnMouseMove(0, CPoint(50 + 100 * ((round + i) % 3), 20));
            paint(*tabs);
        }
        tabs->SetUpdate(0, 0);
        paint(*tabs);
    } } };
    std::vector<std::unique_ptr<TabBar>> bars;
    for (const BarKind& kind : kKinds) {
        bars.push_back(makeBar(kind));
        rounds.push_back({ kind.name, [&bar = *bars.back(), &kind, this](int round) {
            bar.OnMouseMove(0, kind.itemPoint(round % 3));
            for (int i = 0; i < 4; ++i)
                paint(bar);
        } });
    }
    for (const auto& [name, run] : rounds) {
        SCOPED_TRACE(name);
        int round = 0;
        expectNoGdiGrowth([&] { run(round++); }, 250);
    }
}

// ---- the other tab bars

using Bars = Tabs;

TEST_F(Bars, EveryClickReportsTheClassValuesAndNothingIsClickableBeforeThePaint)
{
    const char* const expected[] { "7:2:0:1 7:2:0:1 7:2:0:2", "7:2:1:1 7:2:1:1 7:2:2:2",
                                   "7:2:1:0 7:2:1:0 7:2:2:0", "7:2:1:0 7:2:1:0 7:2:2:0" };
    for (size_t k = 0; k < std::size(kKinds); ++k) {
        const BarKind& kind = kKinds[k];
        SCOPED_TRACE(kind.name);
        auto bar = makeBar(kind);
        click(*bar, kind.itemPoint(1));
        EXPECT_EQ("", noteLine(parent.notifications)) << "no item has a place before the first paint";
        paint(*bar);
        bar->OnLButtonDown(MK_LBUTTON, kind.itemPoint(1));
        EXPECT_EQ("", noteLine(parent.notifications)) << "a press sends nothing";
        click(*bar, kind.itemPoint(1));
        click(*bar, kind.itemPoint(1));
        paint(*bar);
        click(*bar, kind.itemPoint(2));
        EXPECT_EQ(expected[k], noteLine(parent.notifications));
        EXPECT_EQ(2, bar->GetSelectItem());
        parent.notifications.clear();
    }
}

TEST_F(Bars, EachLookHighlightsTheHoveredAndTheSelectedItem)
{
    for (const BarKind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        auto bar = makeBar(kind);
        struct Stage { const char* name; std::function<void()> act; bool highlighted; };
        const Stage stages[] {
            { "plain", [] {}, false },
            { "hovered", [&] { bar->OnMouseMove(0, kind.itemPoint(0)); }, true },
            { "left", [&] { bar->OnMouseMove(0, CPoint(480, 180)); }, false },
            { "selected", [&] { bar->SetSelectItem(0); }, true },
        };
        for (const Stage& stage : stages) {
            SCOPED_TRACE(stage.name);
            stage.act();
            EXPECT_EQ(1, parent.updates.empty() ? 1 : parent.updates.back().flag) << "every change rebuilds the look";
            // The window draws what lies under the bar before the bar.
            canvas.fill(0xFF000000);
            paint(*bar);
            EXPECT_TRUE(nearColor(canvas.rgb(kind.probe.x, kind.probe.y), stage.highlighted ? kind.highlighted : kind.plain, 2))
                << std::hex << canvas.rgb(kind.probe.x, kind.probe.y);
        }
        parent.updates.clear();
    }
}

TEST_F(Bars, AHighlightedExTabWidensBySixCharactersAndPushesTheNextOnes)
{
    CTabCtrlEx bar(&parent, kBarId, CRect(0, 0, 400, 40), 1, 1);
    bar.SetManager(&manager);
    for (int i = 0; i < 3; ++i)
        bar.AddItem(L"ABCDEF", i, 100, nullptr);
    bar.SetSelectItem(0);
    paint(bar);
    parent.notifications.clear();
    // 115 lies on the widened first item, 135 past it on the second.
    for (int x : { 115, 135 }) {
        click(bar, CPoint(x, 20));
        paint(bar);
    }
    EXPECT_EQ("7:2:1:1", noteLine(parent.notifications));
}

TEST_F(Bars, PagesFollowTheSelectionEvenOneNamingNoItem)
{
    EventLog log;
    for (const BarKind& kind : kKinds) {
        if (std::string(kind.name) == "CTabCtrl5")
            continue;
        SCOPED_TRACE(kind.name);
        RecordingControl first(&parent, 61, CRect(), log), second(&parent, 62, CRect(), log), third(&parent, 63, CRect(), log);
        MControl* const pages[3] { &first, &second, &third };
        auto bar = makeBar(kind, pages);
        struct Step { int select; const char* shown; };
        for (const Step& step : { Step { 1, "010" }, Step { 2, "001" }, Step { 99, "000" }, Step { -1, "000" }, Step { 0, "100" } }) {
            SCOPED_TRACE(step.select);
            bar->SetSelectItem(step.select);
            paint(*bar);
            EXPECT_EQ(step.shown, std::to_string(first.IsVisible()) + std::to_string(second.IsVisible())
                          + std::to_string(third.IsVisible()));
        }
        const size_t requests = parent.updates.size();
        bar->SetSelectItem(0);
        EXPECT_EQ(requests, parent.updates.size()) << "the same selection changes nothing";
        bar->ClearList();
        EXPECT_EQ(-1, bar->GetSelectItem());
        EXPECT_EQ(1, first.IsVisible()) << "clearing leaves the pages alone";
        parent.notifications.clear();
        paint(*bar);
        click(*bar, kind.itemPoint(0));
        EXPECT_EQ("", noteLine(parent.notifications));
    }
}

TEST_F(Bars, ADisabledBarKeepsItsHighlightAndTakesNoClick)
{
    const BarKind& kind = kKinds[3];
    auto bar = makeBar(kind);
    paint(*bar);
    bar->OnMouseMove(0, kind.itemPoint(0));
    bar->SetEnabled(0);
    EXPECT_EQ(0, bar->OnControlMouseMove(0, kind.itemPoint(2)));
    EXPECT_EQ(0, bar->OnControlLButtonUp(0, kind.itemPoint(2)));
    paint(*bar);
    EXPECT_TRUE(nearColor(canvas.rgb(kind.probe.x, kind.probe.y), kind.highlighted, 2));
    EXPECT_EQ("", noteLine(parent.notifications));
    bar->SetEnabled(1);
    click(*bar, kind.itemPoint(2));
    EXPECT_EQ("7:2:2:0", noteLine(parent.notifications));
}

TEST_F(Bars, IdsAndTextsTakeOnlyIndexesOfItems)
{
    CTabCtrlEx bar(&parent, kBarId, CRect(0, 0, 400, 40), 1, 1);
    EXPECT_EQ(0, bar.AddItem(L"a", 41, 100, nullptr));
    EXPECT_EQ(1, bar.AddItem(L"b", 42, 100, nullptr));
    bar.SetItemText(5, L"none");
    bar.SetItemText(-1, L"none");
    const int ids[] { bar.GetItemID(-1), bar.GetItemID(0), bar.GetItemID(1), bar.GetItemID(2) };
    EXPECT_EQ((std::vector<int> { 0, 41, 42, 0 }), std::vector<int>(std::begin(ids), std::end(ids)));
}

TEST_F(Bars, ACopyTakesTheItemsAndALockOfItsOwn)
{
    auto bar = std::make_unique<CTabCtrl5>(&parent, kBarId, CRect(0, 0, 400, 40), 1, 1);
    bar->SetManager(&manager);
    bar->AddItem(L"a", 51);
    bar->AddItem(L"b", 52);
    bar->SetSelectItem(1);
    auto copy = std::make_unique<CTabCtrl5>(*bar);
    copy->AddItem(L"c", 53);
    EXPECT_EQ(0, bar->GetItemID(2));
    bar.reset();
    EXPECT_EQ(52, copy->GetItemID(1));
    EXPECT_EQ(1, copy->GetSelectItem());
    paint(*copy);
    click(*copy, CPoint(250, 20));
    EXPECT_EQ("7:2:2:0", noteLine(parent.notifications));
}

// ---- on a real dialog

// Also counts the window timer's messages.
class TabDialog : public NotedDialog {
public:
    TabDialog() : NotedDialog(CRect(300, 300, 700, 600)) {}
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_TIMER)
            ++timerMessages;
        return MDialog::OnWindowMessage(msg, wParam, lParam);
    }
    std::atomic<long> timerMessages { 0 };
};

// Counts the fast-timer ticks that reach it and the ticks that came on the window's thread.
class TickCounter : public MControl {
public:
    TickCounter(MObject* parent, CRect rect) : MControl(parent, 80, rect, 1, 1, 0) { m_runTimer = 1; }
    ~TickCounter() override { StopFastTimer(); }
    void DrawControl(HDC&, CRect) override {}
    int OnControlTimer() override
    {
        ++ticks;
        guiTicks += GetCurrentThreadId() == m_guiThread ? 1 : 0;
        return 0;
    }
    std::atomic<long> ticks { 0 }, guiTicks { 0 };

private:
    DWORD m_guiThread { GetCurrentThreadId() };
};

class OnADialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        tabs = new ProbedTabCtrl(&dialog, kTabsId, CRect(20, 20, 320, 260), 1, 1);
        tabs->SetManager(dialog.GetPaintManager());
        dialog.GetPaintManager()->AppendControl(tabs, 1);
        twoPagedTabs(*tabs, CRect(20, 60, 320, 260), pages);
    }
    void click(CPoint at) { dialog.post({ WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, at); }
    bool shows(DWORD colour) { return nearColor(captureClient(dialog.GetSafeHwnd())->rgb(100, 150), colour, 2); }

    ScratchStrip strip { GetSkinPath(), kStrip, 100, 40, { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF } };
    TabDialog dialog;
    ProbedTabCtrl* tabs { nullptr };
    MControl* pages[2] {};
};

TEST_F(OnADialog, APostedClickSelectsATabAndItsWindowTimerRunsTheSlideToItsEnd)
{
    click(CPoint(170, 40));
    ASSERT_TRUE(pumpUntil([&] { return !dialog.notes.empty(); }));
    EXPECT_EQ("9:2:1:0", noteLine(dialog.notes));
    ASSERT_TRUE(pumpUntil([&] { return shows(kGreen); }));

    tabs->EnableAnimateChangeTab(1);
    tabs->SetUpdataRect(tabs->GetRect());
    click(CPoint(70, 40));
    ASSERT_TRUE(pumpUntil([&] { return tabs->sliding() && tabs->offsetX() <= -30 && tabs->offsetX() >= -120; }));
    // The old page (green | yellow) moves right; the new one's right half (blue) enters.
    UpdateWindow(dialog.GetSafeHwnd());
    const auto midway = captureClient(dialog.GetSafeHwnd());
    EXPECT_TRUE(nearColor(midway->rgb(22, 150), kBlue, 2));
    EXPECT_TRUE(nearColor(midway->rgb(318, 150), kYellow, 2));
    ASSERT_TRUE(pumpUntil([&] { return !tabs->sliding(); }));
    EXPECT_EQ(-300, tabs->offsetX());
    EXPECT_TRUE(pumpUntil([&] { return shows(kRed); }));
    const long timersAtTheEnd = dialog.timerMessages;
    pumpUntil([] { return false; }, 200);
    EXPECT_EQ(timersAtTheEnd, dialog.timerMessages) << "timer 100 was killed";
}

TEST_F(OnADialog, FastTicksReachThePagesChildrenButNeverStepTheSlide)
{
    auto* counter = new TickCounter(pages[1], CRect(20, 60, 40, 80));
    pages[1]->GetControls().push_back(counter);
    tabs->AddMTimer();
    tabs->SetSelectItem(0);
    tabs->EnableAnimateChangeTab(1);
    tabs->SetSelectItem(1);
    dialog.GetPaintManager()->SetMTimer(1);
    // No message is pumped: the window timer cannot step the slide meanwhile.
    ASSERT_TRUE(pollUntil([&] { return counter->ticks >= 30; }, 5000));
    EXPECT_EQ(0, tabs->offsetX());
    ASSERT_TRUE(pumpUntil([&] { return !tabs->sliding(); }));
    dialog.GetPaintManager()->KillMTimer();
    EXPECT_EQ(300, tabs->offsetX());
    EXPECT_EQ(0, counter->guiTicks) << "the slide's window timer never ticks the pages";
}

} // namespace
