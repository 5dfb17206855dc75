#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "InkScan.h"
#include "LcdTestKit.h"
#include "PumpUntil.h"
#include "RecordingControl.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr UINT kPickerId = 9;
constexpr DWORD kBackground = 0x202020;
constexpr DWORD kThumbRed = 0xFF0000;
constexpr DWORD kFrameBlue = 0x0000FF;
// Where the pickers stand in the canvas: every hit test must add it.
const CPoint kOrigin(5, 7);

// Hears repaint requests and notifications in the order they come; a repaint request makes the
// requester stale as a window would.
class OrderParent : public RecordingParent {
public:
    LONG OnControlUpdate(CRect rect, int flag, MControl* control) override
    {
        if (flag && control)
            control->SetUpdate(0, 0);
        log += "u";
        return RecordingParent::OnControlUpdate(rect, flag, control);
    }
    LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        log += " n" + std::to_string(code) + ":" + std::to_string(lParam) + " ";
        return RecordingParent::OnBaseMessage(id, code, wParam, lParam);
    }
    std::string log;
};

struct Kind {
    const char* name;
    CSize size;
    int screenType;
    int items;
};
const Kind kTypes { "LEDTypeCtrl", CSize(400, 400), 3, 4 };
const Kind kRoundTypes { "LEDTypeCtrl", CSize(400, 400), 1, 1 };
const Kind kClocks { "ClockTypeCtrl", CSize(300, 400), 3, 1 };

class Pickers : public ::testing::Test {
protected:
    ~Pickers() override { manager.ClearImgResInfo(); }

    template <class T = LcdPickerGrid>
    std::unique_ptr<T> make(const Kind& kind)
    {
        const CRect rect(kOrigin, kind.size);
        if (std::string(kind.name) == "LEDTypeCtrl") {
            auto types = std::make_unique<LEDTypeCtrl>(&parent, kPickerId, rect, 1, 1);
            types->SetLEDScreenType(kind.screenType);
            for (int i = 0; i < kind.items; ++i)
                types->AddItem(L"h2_pick_red.png", 10 + i);
            return std::unique_ptr<T>(dynamic_cast<T*>(types.release()));
        }
        auto clocks = std::make_unique<ClockTypeCtrl>(&parent, kPickerId, rect, 1, 1);
        clocks->SetManager(&manager);
        clocks->SetImage(L"h2_pick_frame.png", 1);
        clocks->SetLEDScreenType(kind.screenType);
        for (int i = 0; i < kind.items; ++i)
            clocks->AddItem(L"Face", L"h2_pick_red.png", i);
        return std::unique_ptr<T>(dynamic_cast<T*>(clocks.release()));
    }
    void paint(MControl& picker)
    {
        canvas.fill(0xFF000000 | kBackground);
        picker.SetUpdate(0, 0);
        picker.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
    }
    // Moves twice (the hover, then the hand), presses and releases at a point of the control.
    void click(MControl& picker, CPoint at)
    {
        at.Offset(kOrigin);
        picker.OnMouseMove(0, at);
        picker.OnMouseMove(0, at);
        picker.OnLButtonDown(MK_LBUTTON, at);
        picker.OnLButtonUp(0, at);
    }
    // The index each click reported, "-" where none.
    std::string clicks(MControl& picker, const std::vector<CPoint>& points)
    {
        std::string heard;
        for (CPoint at : points) {
            parent.notifications.clear();
            click(picker, at);
            heard += parent.notifications.empty() ? "- " : std::to_string(parent.notifications.back().lParam) + " ";
        }
        return heard;
    }

    ScratchStrip red { GetSkinPath(), L"h2_pick_red.png", 40, 40, { 0xFF000000 | kThumbRed } };
    ScratchStrip frame { GetSkinPath(), L"h2_pick_frame.png", 20, 20, { 0xFF000000 | kFrameBlue } };
    PaintManager manager;
    OrderParent parent;
    DibCanvas canvas { 420, 820 };
};

TEST_F(Pickers, CellsStandWhereTheGridLaysThemOutAndAClickReportsTheirIndex)
{
    struct Case {
        Kind kind;
        std::vector<CPoint> points;
        const char* expected;
    };
    const Case cases[] {
        // Cells 113 wide at x = 10, 143, 276; the fourth item starts row two at y = 133.
        { kTypes,
          { { 10, 10 }, { 123, 60 }, { 143, 10 }, { 388, 122 }, { 10, 132 }, { 10, 133 }, { 389, 60 } },
          "0 - 1 2 - 3 - " },
        // 113 × 84 cells on the 4:3 screen: row two at y = 104.
        { { "LEDTypeCtrl", CSize(400, 400), 2, 4 }, { { 10, 93 }, { 10, 94 }, { 10, 104 } }, "0 - 3 " },
        // The bar takes 5 px: cells (295 - 30) / 2 = 132 wide at x = 10 and 152, rows 172 apart;
        // faces from the ninth on all stay on the fifth row. The content fits: a wheel notch
        // moves nothing.
        { { "ClockTypeCtrl", CSize(300, 800), 3, 11 },
          { { 141, 10 }, { 142, 10 }, { 152, 10 }, { 10, 181 }, { 10, 182 }, { 10, 698 }, { 152, 698 }, { 290, 698 },
            { 296, 698 } },
          "0 - 1 - 2 8 9 - 10 " },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind.name);
        auto picker = make(c.kind);
        std::string none;
        for (size_t i = 0; i < c.points.size(); ++i)
            none += "- ";
        EXPECT_EQ(none, clicks(*picker, c.points)) << "nothing has a place before the first paint";
        picker->OnScroll(120, 1, CPoint(100, 100));
        paint(*picker);
        EXPECT_EQ(c.expected, clicks(*picker, c.points));
    }
}

TEST_F(Pickers, APressSelectsAndTheReleaseRepaintsBeforeItReportsTheIndex)
{
    for (const char* name : { "LEDTypeCtrl", "ClockTypeCtrl" }) {
        SCOPED_TRACE(name);
        auto picker = make({ name, CSize(400, 400), 3, 3 });
        paint(*picker);
        const CPoint second = CPoint(210, 20) + kOrigin;
        parent.log.clear();
        picker->OnMouseMove(0, second);
        picker->OnLButtonDown(MK_LBUTTON, second);
        EXPECT_EQ(1, picker->GetSelectItem());
        picker->OnLButtonUp(0, second);
        EXPECT_EQ("uuu n2:1 ", parent.log) << "hover, press, then the release's repaint before its report";
    }
}

TEST_F(Pickers, TheRoundScreenClipsAndOutlinesRoundAndTheClockFaceShowsItsFrameAndCaption)
{
    const DWORD select = Manager::GetSelectColor().GetValue() & 0xFFFFFF;
    struct Probe {
        Kind kind;
        bool hovered;
        CPoint at;
        DWORD expected;
    };
    const Probe probes[] {
        { kRoundTypes, false, { 13, 13 }, kBackground }, { kRoundTypes, false, { 66, 66 }, kThumbRed },
        { kTypes, false, { 13, 13 }, kThumbRed },         { kTypes, true, { 66, 11 }, select },
        { kRoundTypes, true, { 66, 11 }, select },        { kClocks, false, { 14, 60 }, kBackground },
        { kClocks, true, { 14, 60 }, kFrameBlue },        { kClocks, true, { 60, 60 }, kThumbRed },
    };
    for (const Probe& p : probes) {
        SCOPED_TRACE(std::string(p.kind.name) + " at " + std::to_string(p.at.x) + "," + std::to_string(p.at.y));
        auto picker = make(p.kind);
        paint(*picker);
        if (p.hovered) {
            picker->OnMouseMove(0, CPoint(60, 60) + kOrigin);
            paint(*picker);
        }
        EXPECT_TRUE(nearColor(canvas.rgb(p.at.x + kOrigin.x, p.at.y + kOrigin.y), p.expected, 3))
            << std::hex << canvas.rgb(p.at.x + kOrigin.x, p.at.y + kOrigin.y);
    }
    auto clocks = make(kClocks);
    paint(*clocks);
    const CRect band(10 + kOrigin.x, 142 + kOrigin.y, 142 + kOrigin.x, 200 + kOrigin.y);
    EXPECT_TRUE(scanInk(canvas, band, kBackground, 0xFFFFFF, 60).any()) << "the caption under the face";
}

TEST_F(Pickers, TheClockWheelStepsTenRowsWithinItsRangeAndTheBarsMovesRepaint)
{
    auto clocks = make<ClockTypeCtrl>({ "ClockTypeCtrl", CSize(300, 300), 3, 6 });
    clocks->SetControlRect(CRect(kOrigin, CSize(300, 300)));
    CScrollVertical* bar = clocks->GetScrollVertical();
    const struct { UINT down; int position; bool repaint; } notches[] {
        { 0, 0, false }, { 1, 100, true }, { 1, 200, true }, { 1, 300, true }, { 1, 400, true },
        { 1, 500, true }, { 1, 600, true }, { 1, 600, false }, { 0, 500, true },
    };
    for (const auto& notch : notches) {
        parent.updates.clear();
        EXPECT_EQ(1, clocks->OnScroll(120, notch.down, CPoint(100, 100)));
        EXPECT_EQ(notch.position, bar->GetScrollCurrentPos());
        EXPECT_EQ(notch.repaint, !parent.updates.empty()) << "at " << notch.position;
    }
    // At 100 of 600 the grid is 50 px up: the third face's cell now holds y = 140.
    for (int i = 0; i < 4; ++i)
        clocks->OnScroll(120, 0, CPoint(100, 100));
    paint(*clocks);
    EXPECT_EQ("2 ", clicks(*clocks, { CPoint(20, 140) }));

    // A press on the track under the thumb pages the bar: the grid repaints and the parent
    // hears the bar's move.
    parent.notifications.clear();
    parent.updates.clear();
    const CPoint track(bar->GetRect().CenterPoint().x, bar->GetRect().bottom - 2);
    clocks->OnLButtonDown(MK_LBUTTON, track);
    clocks->OnLButtonUp(0, track);
    ASSERT_FALSE(parent.notifications.empty());
    EXPECT_EQ(1u, parent.notifications.front().id);
    EXPECT_EQ(MScroll::kPositionChanged, parent.notifications.front().code);
    EXPECT_FALSE(parent.updates.empty());
}

TEST_F(Pickers, CopiesHoldNoItemsAndBadIndexesChangeNothing)
{
    auto types = make<LEDTypeCtrl>(kTypes);
    auto clocks = make<ClockTypeCtrl>(kClocks);
    EXPECT_EQ(0, types->GetCurrentType()) << "nothing selected is no screen type";
    types->SetSelectItem(5);
    EXPECT_EQ(-1, types->GetSelectItem());
    EXPECT_EQ(0, types->SetItemText(4, L"x"));
    EXPECT_EQ(CString(), clocks->GetItemText(-1));
    types->SetSelectItem(1);
    EXPECT_EQ(11, types->GetCurrentType());

    // The deleted image leaves its cell empty and the item still clickable.
    types->DeleteItemFile(0);
    paint(*types);
    EXPECT_TRUE(nearColor(canvas.rgb(60 + kOrigin.x, 60 + kOrigin.y), kBackground, 0));
    EXPECT_EQ("0 ", clicks(*types, { CPoint(60, 60) }));

    auto typesCopy = std::make_unique<LEDTypeCtrl>(*types);
    auto clocksCopy = std::make_unique<ClockTypeCtrl>(*clocks);
    types.reset();
    clocks.reset();
    EXPECT_EQ(0, typesCopy->GetItemCount());
    EXPECT_EQ(0, clocksCopy->GetItemCount());
    typesCopy->AddItem(L"h2_pick_red.png", 3);
    paint(*typesCopy);
    EXPECT_TRUE(nearColor(canvas.rgb(60 + kOrigin.x, 60 + kOrigin.y), kThumbRed, 3)) << "the copy draws its own items";
}

// A real dialog hears a click on the third cell through posted messages.
class PickerDialog : public LcdDialog {
public:
    LRESULT OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        notes.push_back({ id, code, wParam, lParam });
        return 0;
    }
    std::vector<Notification> notes;
};

TEST(PickerDialogs, APostedMovePressAndReleaseOnCellTwoReachTheHost)
{
    const ScratchStrip red(GetSkinPath(), L"h2_pick_dialog.png", 40, 40, { 0xFFFF0000 });
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    for (const wchar_t* name : { L"LEDTypeCtrl", L"ClockTypeCtrl" }) {
        PickerDialog dialog;
        dialog.open(CRect(300, 100, 720, 700), true);
        // A host builds its pages as panels, whose factory knows the pickers.
        auto* page = new MPanel(&dialog, 20, CRect(0, 0, 420, 600), 1);
        page->SetManager(dialog.GetPaintManager());
        dialog.GetPaintManager()->AppendControl(page, 1);
        auto* picker = dynamic_cast<LcdPickerGrid*>(page->CreateControl(name, 21, CRect(0, 0, 400, 600), L"", 1, 1));
        ASSERT_NE(nullptr, picker);
        for (int i = 0; i < 3; ++i) {
            if (auto* types = dynamic_cast<LEDTypeCtrl*>(picker))
                types->AddItem(L"h2_pick_dialog.png", i + 1);
            else
                static_cast<ClockTypeCtrl*>(picker)->AddItem(L"Face", L"h2_pick_dialog.png", i);
        }
        ::InvalidateRect(dialog.GetSafeHwnd(), nullptr, FALSE);
        dialog.paintNow();
        const LPARAM at = dynamic_cast<LEDTypeCtrl*>(picker) ? MAKELPARAM(290, 60) : MAKELPARAM(60, 250);
        for (UINT msg : { WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP })
            dialog.PostMessageW(msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, at);
        ASSERT_TRUE(pumpUntil([&] { return !dialog.notes.empty(); }));
        const Notification note = dialog.notes.back();
        EXPECT_EQ("21 2 0 2", std::to_string(note.id) + " " + std::to_string(note.code) + " " + std::to_string(note.wParam)
                                  + " " + std::to_string(note.lParam));
        EXPECT_EQ(2, picker->GetSelectItem());
        ::SendMessageW(dialog.GetSafeHwnd(), WM_MOUSEMOVE, 0, at);
        EXPECT_EQ(hand, GetCursor()) << "the hand while the pointer stays on the hovered cell";
        dialog.DestroyWindow();
    }
}

} // namespace
