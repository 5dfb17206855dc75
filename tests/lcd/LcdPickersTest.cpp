#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GdiObjectCount.h"
#include "InkScan.h"
#include "LcdTestKit.h"
#include "PumpUntil.h"
#include "RecordingControl.h"
#include "ScratchClip.h"
#include "ScratchFolder.h"
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
const Kind kRoundMedia { "LEDImageCtrl", CSize(420, 400), 1, 1 };

class Pickers : public ::testing::Test {
protected:
    ~Pickers() override { manager.ClearImgResInfo(); }

    template <class T = ItemList>
    std::unique_ptr<T> make(const Kind& kind)
    {
        const CRect rect(kOrigin, kind.size);
        const std::string name = kind.name;
        if (name == "LEDTypeCtrl") {
            auto types = std::make_unique<LEDTypeCtrl>(&parent, kPickerId, rect, 1, 1);
            types->SetLEDScreenType(kind.screenType);
            for (int i = 0; i < kind.items; ++i)
                types->AddItem(L"h2_pick_red.png", 10 + i);
            return std::unique_ptr<T>(dynamic_cast<T*>(types.release()));
        }
        if (name == "LEDImageCtrl") {
            auto media = std::make_unique<LEDImageCtrl>(&parent, kPickerId, rect, 1, 1);
            media->SetLEDScreenType(kind.screenType);
            for (int i = 0; i < kind.items; ++i)
                media->AddItem(red.path(), MediaKindPicture);
            return std::unique_ptr<T>(dynamic_cast<T*>(media.release()));
        }
        if (name == "LEDModeList") {
            auto modes = std::make_unique<LEDModeList>(&parent, kPickerId, rect, 1, 1);
            modes->SetManager(&manager);
            modes->SetControlRect(rect);
            for (int i = 0; i < kind.items; ++i)
                modes->AddItem(L"Row", L"h2_pick_red.png", 10 + i);
            return std::unique_ptr<T>(dynamic_cast<T*>(modes.release()));
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
    std::string clicks(ItemList& picker, const std::vector<CPoint>& points)
    {
        std::string heard;
        for (CPoint at : points) {
            parent.notifications.clear();
            const int selected = picker.GetSelectItem();
            click(picker, at);
            if (parent.notifications.empty()) {
                EXPECT_EQ(selected, picker.GetSelectItem()) << "a release over no item selects nothing";
            }
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
        // Four 100 px cells 5 apart from (2, 2); row two at 2 + 100 + 10 takes every item after
        // the fourth, the 4:3 screen's at 2 + 75 + 10, and there is no third row.
        { { "LEDImageCtrl", CSize(420, 400), 3, 6 },
          { { 2, 2 }, { 102, 2 }, { 107, 2 }, { 212, 2 }, { 317, 2 }, { 2, 111 }, { 2, 112 }, { 107, 112 }, { 212, 112 } },
          "0 - 1 2 3 - 4 5 - " },
        { { "LEDImageCtrl", CSize(420, 400), 2, 10 }, { { 2, 86 }, { 2, 87 }, { 317, 87 }, { 2, 162 } }, "- 4 7 - " },
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
    const std::pair<const char*, CPoint> secondItems[] { { "LEDTypeCtrl", { 210, 20 } }, { "ClockTypeCtrl", { 210, 20 } },
                                                         { "LEDImageCtrl", { 120, 20 } }, { "LEDModeList", { 20, 50 } } };
    for (const auto& [name, at] : secondItems) {
        SCOPED_TRACE(name);
        auto picker = make({ name, CSize(400, 400), 3, 3 });
        paint(*picker);
        const CPoint second = at + kOrigin;
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
        { kRoundMedia, false, { 4, 4 }, kBackground },    { kRoundMedia, false, { 52, 52 }, kThumbRed },
        { kRoundMedia, true, { 52, 3 }, select },
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

    for (const char* name : { "LEDImageCtrl", "LEDModeList" }) {
        auto source = make({ name, CSize(400, 400), 3, 3 });
        EXPECT_EQ(-1, source->GetSelectItem()) << name;
        std::unique_ptr<ItemList> copy;
        if (auto* media = dynamic_cast<LEDImageCtrl*>(source.get()))
            copy = std::make_unique<LEDImageCtrl>(*media);
        else
            copy = std::make_unique<LEDModeList>(*dynamic_cast<LEDModeList*>(source.get()));
        source.reset();
        EXPECT_EQ(0, copy->GetItemCount()) << name;
    }
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

TEST_F(Pickers, MediaThumbnailsAreFirstFramesAndMediaThatDoNotOpenAreLeftOut)
{
    const ScratchFolder folder(L"lcd-lists");
    const ScratchClip mjpg(folder.path(), L"clip.avi", ScratchClip::Mjpg, 25, 5);
    const ScratchClip mp4v(folder.path(), L"clip.mp4", ScratchClip::Mp4v, 25, 5);
    const ScratchTimedGif gif(folder.path(), L"clip.gif", { 5, 5, 5 });
    const ScratchFile empty(folder.path(), L"empty.mp4", {});
    std::vector<BYTE> half = mp4v.read();
    half.resize(half.size() / 2);
    const ScratchFile cut(folder.path(), L"cut.mp4", half);
    const struct { CString path; int kind; int listed; DWORD colour; } rows[] {
        { mjpg.path(), MediaKindVideo, 1, clipColour(0) },    { mp4v.path(), MediaKindVideo, 1, clipColour(0) },
        { gif.path(), MediaKindGif, 1, clipColour(0) },       { folder / L"none.png", MediaKindPicture, 1, kBackground },
        { empty.path(), MediaKindVideo, 0, 0 },               { cut.path(), MediaKindVideo, 0, 0 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.kind);
        auto media = make<LEDImageCtrl>({ "LEDImageCtrl", CSize(420, 400), 3, 0 });
        media->AddItem(row.path, row.kind);
        ASSERT_EQ(row.listed, media->GetItemCount());
        paint(*media);
        if (row.listed) {
            EXPECT_TRUE(nearColor(canvas.rgb(52 + kOrigin.x, 52 + kOrigin.y), row.colour, 16))
                << std::hex << canvas.rgb(52 + kOrigin.x, 52 + kOrigin.y);
        }
    }

    // A missing file changes nothing; a video that does not open leaves the new path without
    // thumbnail; a deleted thumbnail leaves the file on disk.
    auto media = make<LEDImageCtrl>({ "LEDImageCtrl", CSize(420, 400), 3, 2 });
    media->SetItemInfo(0, folder / L"none.png", MediaKindGif);
    media->SetItemInfo(1, empty.path(), MediaKindVideo);
    CString path;
    int kind = 0;
    media->GetItemInfo(1, path, kind);
    EXPECT_TRUE(path == empty.path() && kind == MediaKindVideo);
    paint(*media);
    EXPECT_TRUE(nearColor(canvas.rgb(52 + kOrigin.x, 52 + kOrigin.y), kThumbRed, 3));
    EXPECT_TRUE(nearColor(canvas.rgb(157 + kOrigin.x, 52 + kOrigin.y), kBackground, 0));
    media->DeleteItemFile(0);
    paint(*media);
    EXPECT_TRUE(nearColor(canvas.rgb(52 + kOrigin.x, 52 + kOrigin.y), kBackground, 0));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(red.path()));
}

TEST_F(Pickers, TheModeListPicksTheRowDrawnUnderThePointerWhereverItsBarStands)
{
    EXPECT_FALSE(make<LEDModeList>({ "LEDModeList", CSize(300, 200), 3, 5 })->GetScrollVertical()->IsVisible());
    auto modes = make<LEDModeList>({ "LEDModeList", CSize(300, 200), 3, 7 });
    CScrollVertical* bar = modes->GetScrollVertical();
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(252, bar->GetScrollMaxRange()) << "seven rows of 36 px";
    EXPECT_EQ(1, modes->GetCurLEDMode()) << "no row selected";
    // The rows go up 52 * position / 252 px: a wheel notch (100) takes 20 px of row 0, the
    // bottom 52 px, so that rows 1 to 6 show with 16 px of row 1 hidden.
    const struct { int position; bool wheel; std::vector<CPoint> points; const char* expected; } steps[] {
        { 0, false, { { 10, 5 }, { 10, 35 }, { 10, 36 }, { 10, 199 } }, "0 0 1 5 " },
        { 100, true, { { 10, 5 }, { 10, 15 }, { 10, 16 } }, "0 0 1 " },
        { 252, false, { { 10, 5 }, { 10, 19 }, { 10, 20 }, { 10, 199 } }, "1 1 2 6 " },
        { 252, true, { { 10, 199 } }, "6 " },
    };
    for (const auto& step : steps) {
        if (step.wheel)
            modes->OnScroll(120, 1, CPoint(10, 10) + kOrigin);
        else
            bar->SetScrollCurrentPos(step.position);
        EXPECT_EQ(step.position, bar->GetScrollCurrentPos());
        paint(*modes);
        EXPECT_EQ(step.expected, clicks(*modes, step.points)) << "at " << step.position;
    }
    EXPECT_EQ(16, modes->GetCurLEDMode());
    paint(*modes);
    EXPECT_TRUE(nearColor(canvas.rgb(5 + kOrigin.x, 180 + kOrigin.y), 0x383838, 3)) << "row 6 at 164 to 199";
    EXPECT_TRUE(nearColor(canvas.rgb(5 + kOrigin.x, 160 + kOrigin.y), kBackground, 0));

    modes->ClearList();
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ(0, bar->GetScrollMaxRange());
    EXPECT_EQ(1, modes->GetCurLEDMode());
}

TEST_F(Pickers, HoverRepaintsOfAThumbnailListMakeNoGdiObjects)
{
    auto media = make<LEDImageCtrl>({ "LEDImageCtrl", CSize(420, 400), 1, 20 });
    const auto hoverTwice = [&] {
        for (CPoint at : { CPoint(50, 50), CPoint(150, 50) }) {
            media->OnMouseMove(0, at + kOrigin);
            paint(*media);
        }
    };
    const int steady = warmGdiObjects(hoverTwice);
    if (steady < 0)
        GTEST_SKIP() << "no GDI handle table to count";
    for (int i = 0; i < 500; ++i)
        hoverTwice();
    EXPECT_EQ(steady, gdiObjectsSettled(steady));
}

TEST(RendererAccessors, TheSelectedLayerIsKeptAndBrightnessScalesEveryPixel)
{
    OpenLcd lcd(nullptr, 3, CRect(0, 0, 480, 480), 0, 1);
    EXPECT_EQ(-1, lcd.GetSelectLayer());
    lcd.SetSelectLayer(2);
    EXPECT_EQ(2, lcd.GetSelectLayer());
    const struct { float brightness; int height; DWORD expected; } cases[] {
        { 255.0f, 4, 0x80C0FF }, { 0.0f, 4, 0 }, { 128.0f, 0, 0x80C0FF }, { 128.0f, 4, 0x406080 },
    };
    for (const auto& c : cases) {
        DibCanvas dib(4, 4, 0xFF80C0FF);
        lcd.AdjustBrightness(dib.dc(), c.brightness, 4, c.height);
        EXPECT_EQ(c.expected, dib.rgb(3, 3)) << c.brightness << " over " << c.height << " rows";
    }
    // A copy takes the settings, not the medium or the overlays, and outlives its source.
    auto source = std::make_unique<OpenLcd>(nullptr, 4, CRect(0, 0, 640, 480), 0, 1);
    source->SetLEDScreenType(LEDScreenWide);
    source->giveMedia(new Gdiplus::Bitmap(64, 48, PixelFormat32bppARGB), 1);
    source->AddOverLayerInfo(1, L"text", L"line");
    OpenLcd copy(*source);
    source.reset();
    copy.DrawHideControl();
    EXPECT_EQ(640, decodeFrame(pullFrame(copy)).bgr.cols);
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
    for (const wchar_t* name : { L"LEDTypeCtrl", L"ClockTypeCtrl", L"LEDImageCtrl" }) {
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
            else if (auto* media = dynamic_cast<LEDImageCtrl*>(picker))
                media->AddItem(red.path(), MediaKindPicture);
            else
                static_cast<ClockTypeCtrl*>(picker)->AddItem(L"Face", L"h2_pick_dialog.png", i);
        }
        ::InvalidateRect(dialog.GetSafeHwnd(), nullptr, FALSE);
        dialog.paintNow();
        const LPARAM at = dynamic_cast<ClockTypeCtrl*>(picker) ? MAKELPARAM(60, 250) : MAKELPARAM(290, 60);
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
