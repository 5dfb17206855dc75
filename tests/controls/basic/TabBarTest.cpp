#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "ButtonKinds.h"
#include "ValueControls.h"
#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "RecordingControl.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

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

class Bars : public ::testing::Test {
protected:
    std::unique_ptr<TabBar> make(const BarKind& kind, MControl* const* pages = nullptr)
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

    ScratchStrip strip { GetSkinPath(), kRedStrip, 20, 20, { 0xFFFF0000 } };
    PaintManager manager;
    const ReleasedImages released { manager };
    RenderingParent parent;
    DibCanvas canvas { 500, 200, 0xFF000000 };
};

TEST_F(Bars, EveryClickReportsTheClassValuesAndNothingIsClickableBeforeThePaint)
{
    const char* const expected[] { "7:2:0:1 7:2:0:1 7:2:0:2", "7:2:1:1 7:2:1:1 7:2:2:2",
                                   "7:2:1:0 7:2:1:0 7:2:2:0", "7:2:1:0 7:2:1:0 7:2:2:0" };
    for (size_t k = 0; k < std::size(kKinds); ++k) {
        const BarKind& kind = kKinds[k];
        SCOPED_TRACE(kind.name);
        auto bar = make(kind);
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
        auto bar = make(kind);
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

TEST_F(Bars, TheBoxesAreAQuarterOfTheBarWhateverTheNumberOfItems)
{
    struct Row { int items, x; const char* heard; };
    const Row rows[] { { 2, 150, "7:2:1:0" }, { 2, 250, "" }, { 6, 350, "7:2:3:0" }, { 6, 399, "7:2:3:0" }, { 6, 410, "" } };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.items * 1000 + row.x);
        CTabCtrl5 boxes(&parent, kBarId, CRect(0, 0, 400, 40), 1, 1);
        boxes.SetManager(&manager);
        for (int i = 0; i < row.items; ++i)
            boxes.AddItem(L"box", i);
        paint(boxes);
        parent.notifications.clear();
        click(boxes, CPoint(row.x, 20));
        EXPECT_EQ(row.heard, noteLine(parent.notifications));
    }
}

TEST_F(Bars, AHighlightedExTabWidensBySixCharactersAndPushesTheNextOnes)
{
    struct Case { const char* name; int selectFirst; std::vector<int> clicks; const char* heard; };
    const Case cases[] { { "nothing highlighted", 0, { 115 }, "7:2:1:1" }, { "the first one selected", 1, { 115, 135 }, "7:2:1:1" } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTabCtrlEx bar(&parent, kBarId, CRect(0, 0, 400, 40), 1, 1);
        bar.SetManager(&manager);
        for (int i = 0; i < 3; ++i)
            bar.AddItem(L"ABCDEF", i, 100, nullptr);
        if (c.selectFirst)
            bar.SetSelectItem(0);
        paint(bar);
        parent.notifications.clear();
        for (int x : c.clicks) {
            click(bar, CPoint(x, 20));
            paint(bar);
        }
        EXPECT_EQ(c.heard, noteLine(parent.notifications));
    }
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
        auto bar = make(kind, pages);
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
    auto bar = make(kind);
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

TEST_F(Bars, TheHandShowsFromTheSecondMoveOverAnItemAndOnlyLeavingPutsTheArrowBack)
{
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND), arrow = LoadCursorW(nullptr, IDC_ARROW);
    const BarKind& kind = kKinds[3];
    auto bar = make(kind);
    paint(*bar);
    struct Move { const char* name; CPoint at; HCURSOR before, after; };
    const Move moves[] {
        { "onto an item", kind.itemPoint(0), hand, arrow },
        { "again", kind.itemPoint(0), arrow, hand },
        { "out of the bar", CPoint(480, 180), hand, arrow },
        { "elsewhere, over another control's hand", CPoint(480, 150), hand, hand },
    };
    for (const Move& move : moves) {
        SCOPED_TRACE(move.name);
        SetCursor(move.before);
        bar->OnMouseMove(0, move.at);
        EXPECT_EQ(move.after, GetCursor());
    }
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

TEST_F(Bars, GdiObjectsStayFlatOverAThousandPaintsOfEachLook)
{
    for (const BarKind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        auto bar = make(kind);
        int step = 0;
        // Every fourth paint follows a hover change and rebuilds the look.
        auto round = [&] {
            if (step % 4 == 0)
                bar->OnMouseMove(0, kind.itemPoint(step / 4 % 3));
            ++step;
            paint(*bar);
        };
        const int steady = warmGdiObjects(round);
        if (steady < 0)
            GTEST_SKIP() << "no GDI handle table";
        for (int i = 0; i < 1000; ++i)
            round();
        EXPECT_EQ(steady, gdiObjectsSettled(steady));
    }
}

} // namespace
