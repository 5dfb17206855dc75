#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "Poisoned.h"
#include "PumpUntil.h"
#include "RecordingControl.h"
#include "ScratchStrip.h"
#include "TestWindow.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr UINT kId = 7;
constexpr DWORD kGround = 0x202020;
constexpr DWORD kGrey = 0x404040;
// The view at (10, 10), 320 wide: the 300-pixel picture is centred 10 pixels in, at its top.
const CRect kPlace(10, 10, 330, 130);
const CPoint kPictureAt(20, 10);
const CRect kKeys[] = { CRect(10, 10, 60, 50), CRect(70, 10, 120, 50), CRect(130, 10, 180, 50) };
constexpr unsigned long kKeyIds[] = { 41, 42, 43 };
// Frame f shows key k at kAlphas[(f + k) % 3].
constexpr BYTE kAlphas[] = { 40, 140, 240 };

CPoint centreOf(int key)
{
    return kKeys[key].CenterPoint() + kPictureAt;
}

// The middle of a key's top edge, where the 2-pixel outline covers the pixel whole.
CPoint topEdgeOf(int key)
{
    return CPoint(kKeys[key].CenterPoint().x, kKeys[key].top) + kPictureAt;
}

DWORD over(DWORD rgb, DWORD ground, int alpha)
{
    DWORD mixed = 0;
    for (int shift : { 0, 8, 16 })
        mixed |= static_cast<DWORD>((channel(rgb, shift) * alpha + channel(ground, shift) * (255 - alpha) + 127) / 255)
            << shift;
    return mixed;
}

std::vector<unsigned char> threeFrames()
{
    std::vector<unsigned char> data;
    for (int frame = 0; frame < 3; ++frame)
        for (int key = 0; key < 3; ++key)
            data.push_back(kAlphas[(frame + key) % 3]);
    return data;
}

// GDI+ holds a picture's file while the image lives: every view reads a file of its own.
CString pictureName()
{
    static int made = 0;
    CString name;
    name.Format(L"kbd_picture_%d.png", made++);
    return name;
}

class Board {
public:
    explicit Board(bool picture = true)
    {
        view = std::make_unique<KeyboardCtrl>(&parent, kId, kPlace, 1);
        view->SetManager(&manager);
        if (picture)
            view->SetKeyboardImage(name);
        view->SetWidthAndHeight(300, 100);
        for (int key = 0; key < 3; ++key)
            view->AddKeyItem(L"K", L"Key", kKeyIds[key], kKeys[key], L"");
    }
    void paint(bool stale = true)
    {
        canvas.fill(0xFF000000 | kGround);
        if (stale)
            view->SetUpdate(0, 0);
        view->Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
    }
    int frameSteps() const
    {
        int steps = 0;
        for (const auto& update : parent.updates)
            steps += update.flag == 0;
        return steps;
    }
    // The alpha the top edge of key shows over the grey picture.
    bool showsAlpha(int key, int alpha) const
    {
        const CPoint at = topEdgeOf(key);
        return nearColor(canvas.rgb(at.x, at.y), over(0x00FFFF, kGrey, alpha), 3);
    }
    void click(CPoint at, bool right = false)
    {
        view->OnMouseMove(0, at);
        if (right) {
            view->OnRButtonDown(MK_RBUTTON, at);
            view->OnRButtonUp(0, at);
        } else {
            view->OnLButtonDown(MK_LBUTTON, at);
            view->OnLButtonUp(0, at);
        }
    }

    const CString name { pictureName() };
    ScratchPng picture { GetSkinPath(), name, 300, 100, { { 0, 0, 300, 100, 0xFF000000 | kGrey } } };
    RecordingParent parent;
    PaintManager manager;
    std::unique_ptr<KeyboardCtrl> view;
    DibCanvas canvas { 340, 140 };
};

TEST(KeyboardLight, FramesStepByTheSpeedAndEachFrameShowsItsAlphas)
{
    struct Case {
        int speed;       // -1: never set
        int ticksPerStep;
    };
    for (const Case& c : { Case { -1, 1 }, Case { 0, 12 }, Case { 3, 3 }, Case { 7, 1 } }) {
        SCOPED_TRACE(c.speed);
        Board board;
        board.view->SetKeyboardCtrlMode(KeyboardCtrl::ModeLight);
        std::vector<unsigned char> data = threeFrames();
        board.view->SetLightModeData(data.data(), static_cast<int>(data.size()));
        if (c.speed >= 0)
            board.view->SetLightSpeed(c.speed);
        board.paint();
        for (int frame : { 0, 1, 2, 0 }) {
            if (board.frameSteps() > 0 || frame != 0) {
                for (int tick = 1; tick < c.ticksPerStep; ++tick)
                    board.view->OnControlTimer();
                const int before = board.frameSteps();
                EXPECT_EQ(1, board.view->OnControlTimer());
                EXPECT_EQ(before + 1, board.frameSteps()) << "one repaint request per frame step";
            }
            board.paint(false);
            for (int key = 0; key < 3; ++key)
                EXPECT_TRUE(board.showsAlpha(key, kAlphas[(frame + key) % 3])) << "frame " << frame << " key " << key;
        }
    }
}

TEST(KeyboardLight, KeptOutlinesMatchStrokedPathsAndTwoViewsDrawAlike)
{
    Board board;
    Board twin;
    std::vector<unsigned char> data = threeFrames();
    for (Board* b : { &board, &twin }) {
        b->view->SetKeyboardCtrlMode(KeyboardCtrl::ModeLight);
        b->view->SetLightModeData(data.data(), static_cast<int>(data.size()));
        b->paint();
        b->view->OnControlTimer();
        b->paint(false);
    }
    // The picture alone: every key at alpha 0.
    Board bare;
    std::vector<unsigned char> dark(3, 0);
    bare.view->SetKeyboardCtrlMode(KeyboardCtrl::ModeLight);
    bare.view->SetLightModeData(dark.data(), 3);
    bare.paint();
    {
        Gdiplus::Graphics graphics(bare.canvas.dc());
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        for (int key = 0; key < 3; ++key) {
            CRect at = kKeys[key];
            at.OffsetRect(kPictureAt.x, kPictureAt.y);
            MRender::DrawRoundRectange(graphics, static_cast<float>(at.left), static_cast<float>(at.top),
                                       static_cast<float>(at.Width()), static_cast<float>(at.Height()), 12.0f,
                                       Gdiplus::Color(kAlphas[(1 + key) % 3], 0, 255, 255), 2.0f, false,
                                       Gdiplus::Color());
        }
    }
    // Every pixel within 2 of the stroked paths, but for the corner pixels this runtime
    // strokes by alpha × coverage (it leaves a pixel out below half of it, and the closing
    // join throws a spur past the corner): at most four a corner, within five pixels of it.
    int farOff = 0;
    int differ = 0;
    std::string first;
    for (int y = 0; y < board.canvas.height(); ++y)
        for (int x = 0; x < board.canvas.width(); ++x) {
            differ += board.canvas.rgb(x, y) != twin.canvas.rgb(x, y);
            if (nearColor(board.canvas.rgb(x, y), bare.canvas.rgb(x, y), 2))
                continue;
            bool nearCorner = false;
            for (const CRect& key : kKeys)
                for (CPoint corner : { key.TopLeft(), key.BottomRight(), CPoint(key.left, key.bottom),
                                       CPoint(key.right, key.top) })
                    nearCorner |= std::abs(corner.x + kPictureAt.x - x) <= 5 && std::abs(corner.y + kPictureAt.y - y) <= 5;
            if (!nearCorner)
                first += std::to_string(x) + "," + std::to_string(y) + " ";
            ++farOff;
        }
    EXPECT_EQ("", first) << "pixels more than 2 off the stroked outlines away from the corners";
    EXPECT_LE(farOff, 4 * 4 * 3);
    EXPECT_EQ(0, differ) << "two views fed alike differ";
    // A rebuild gives the frame step's pixels.
    const DWORD stepped = board.canvas.rgb(topEdgeOf(1).x, topEdgeOf(1).y);
    board.paint(true);
    EXPECT_EQ(stepped, board.canvas.rgb(topEdgeOf(1).x, topEdgeOf(1).y));
}

TEST(KeyboardLight, MissingDataShowsKeysOpaqueAndNeverReadsPastIt)
{
    Board board;
    board.view->SetKeyboardCtrlMode(KeyboardCtrl::ModeLight);
    std::vector<unsigned char> data = threeFrames();
    board.view->SetLightModeData(nullptr, 9);
    board.paint();
    EXPECT_TRUE(board.showsAlpha(0, 255)) << "a null buffer is no data";
    EXPECT_EQ(0, board.view->OnControlTimer()) << "no frames to step";
    // Data cut for three keys, then a fourth key: the frames are read with four keys a frame,
    // and the bytes past the data show at full brightness.
    board.view->SetLightModeData(data.data(), static_cast<int>(data.size()));
    board.view->AddKeyItem(L"X", L"X", 44, CRect(190, 10, 240, 50), L"");
    for (int tick = 0; tick < 4; ++tick) {
        board.view->OnControlTimer();
        board.paint(tick % 2 == 0);
        const size_t byte = static_cast<size_t>((tick + 1) % 3) * 4 + 3;
        const int alpha = byte < data.size() ? data[byte] : 255;
        const CPoint edge = CPoint(215, 10) + kPictureAt;
        EXPECT_TRUE(nearColor(board.canvas.rgb(edge.x, edge.y), over(0x00FFFF, kGrey, alpha), 3)) << tick;
    }
    // No keys: no frames, whatever the length.
    Board empty;
    empty.view->ClearItem();
    empty.view->SetKeyboardCtrlMode(KeyboardCtrl::ModeLight);
    empty.view->SetLightModeData(data.data(), static_cast<int>(data.size()));
    EXPECT_EQ(0, empty.view->OnControlTimer());
}

TEST(KeyboardModes, EachModeDrawsItsOutlinesOrOnlyTheBackground)
{
    struct Case {
        int mode;
        bool picture;
        bool drawsAnything;
    };
    const Case cases[] = { { 99, true, false },  { 105, true, false }, { 101, false, false }, { 102, false, false },
                           { 103, false, false }, { 104, false, false }, { 100, false, true }, { 101, true, true } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        Board board(c.picture);
        board.view->SetKeyboardCtrlMode(c.mode);
        board.paint();
        EXPECT_EQ(!c.drawsAnything, board.canvas.untouchedSinceFill());
    }
    // 100: keys filled blue, no picture.
    Board none(false);
    none.paint();
    EXPECT_TRUE(nearColor(none.canvas.rgb(centreOf(0).x, centreOf(0).y - 15), 0x007ACC, 2));
}

TEST(KeyboardModes, UserLightClicksToggleAndMusicBrightnessRecolours)
{
    Board board;
    board.view->SetKeyboardCtrlMode(KeyboardCtrl::ModeUserLight);
    board.paint();
    const CPoint at = centreOf(1);
    EXPECT_EQ(0x0000E1FFu, board.view->GetKeyColor(42));
    board.click(at);
    EXPECT_EQ(0u, board.view->GetKeyColor(42));
    board.click(at);
    EXPECT_EQ(0x00FFFF00u, board.view->GetKeyColor(42));
    board.paint();
    // 0x00FFFF00 is cyan (red 0, green and blue 255).
    EXPECT_TRUE(board.showsAlpha(1, 255));

    Board music;
    music.view->SetKeyboardCtrlMode(KeyboardCtrl::ModeMusic);
    music.view->SetMusicBrightness(255);
    EXPECT_EQ(0x0000E1FFu, music.view->GetKeyColor(41)) << "the stored brightness again changes nothing";
    music.view->SetMusicBrightness(128);
    for (unsigned long id : kKeyIds)
        EXPECT_EQ(0x00FFFF00u, music.view->GetKeyColor(id));
    music.paint();
    EXPECT_TRUE(music.showsAlpha(0, 128));
    music.view->SetMusicBrightness(256);
    music.paint();
    EXPECT_TRUE(music.showsAlpha(0, 0));
}

TEST(KeyboardKeys, StaleIndexesNameNoKeyAndTheRunFlagHoldsOnlyTheAnimation)
{
    Board board;
    board.view->SetKeyboardCtrlMode(KeyboardCtrl::ModeUserLight);
    board.paint();
    board.click(centreOf(2));
    EXPECT_EQ(43, board.view->GetCurrentKeyValue());
    board.view->ClearItem();
    board.parent.notifications.clear();
    board.view->OnLButtonUp(0, centreOf(2));
    ASSERT_EQ(1u, board.parent.notifications.size());
    EXPECT_EQ(static_cast<UINT>(-1), board.parent.notifications[0].wParam) << "ClearItem forgets the clicked key";
    board.view->AddKeyItem(L"K", L"Key", 41, kKeys[0], L"");
    board.view->SetSelectItem(50);
    board.view->OnLButtonUp(0, centreOf(0));
    EXPECT_EQ(static_cast<UINT>(-1), board.parent.notifications.back().wParam) << "an index past the keys";
    EXPECT_EQ(0x0000E1FFu, board.view->GetKeyColor(41));

    // After a tick, hover changes still repaint in mode 101; they wait for the frames in 102.
    for (int mode : { 101, 102 }) {
        Board ticking;
        std::vector<unsigned char> data = threeFrames();
        ticking.view->SetLightModeData(data.data(), static_cast<int>(data.size()));
        ticking.view->SetKeyboardCtrlMode(mode);
        ticking.view->OnControlTimer();
        ticking.parent.updates.clear();
        ticking.view->OnMouseMove(0, centreOf(0));
        EXPECT_EQ(mode == 101 ? 1u : 0u, ticking.parent.updates.size()) << mode;
    }
}

// ---- a real window

struct Live {
    Live()
    {
        // The real pointer away from the dialog: a move of it, or one Wine makes up when the
        // mouse is taken or given back, would reach the controls between the posted ones.
        ::SetCursorPos(0, 0);
        view = dialog.create<KeyboardCtrl>(L"KeyboardCtrl", kId, kPlace);
        view->SetKeyboardImage(name);
        view->SetWidthAndHeight(300, 100);
        view->SetControlRect(kPlace);
        for (int key = 0; key < 3; ++key)
            view->AddKeyItem(L"K", L"Key", kKeyIds[key], kKeys[key], L"");
        view->SetKeyboardCtrlMode(KeyboardCtrl::ModeCustom);
        pumpUntil([&] { return ::GetUpdateRect(dialog.GetSafeHwnd(), nullptr, FALSE) == FALSE; });
    }
    void post(UINT msg, WPARAM keys, CPoint at)
    {
        dialog.PostMessageW(msg, keys, MAKELPARAM(at.x, at.y));
    }
    std::vector<Notification> settle(size_t count)
    {
        pumpUntil([&] { return dialog.notes.size() >= count; });
        pumpMessages();
        return dialog.notes;
    }
    const CString name { pictureName() };
    ScratchPng picture { GetSkinPath(), name, 300, 100, { { 0, 0, 300, 100, 0xFF000000 | kGrey } } };
    NotedDialog dialog { CRect(300, 300, 700, 500) };
    KeyboardCtrl* view { nullptr };
};

TEST(KeyboardLive, PostedClicksAndBandsReportAndCheckKeys)
{
    Live live;
    ASSERT_TRUE(live.view);
    live.view->EnableFrameSelect(1);
    const CPoint gap(25 + kPictureAt.x, 5 + kPictureAt.y);
    live.post(WM_MOUSEMOVE, 0, centreOf(1));
    live.post(WM_LBUTTONDOWN, MK_LBUTTON, centreOf(1));
    live.post(WM_LBUTTONUP, 0, centreOf(1));
    live.post(WM_MOUSEMOVE, 0, gap);
    live.post(WM_LBUTTONDOWN, MK_LBUTTON, gap);
    live.post(WM_LBUTTONUP, 0, gap);
    std::vector<Notification> notes = live.settle(2);
    EXPECT_EQ("7:2:1:42 7:2:4294967295:0", noteLine(notes));
    EXPECT_EQ(42, live.view->GetCurrentKeyValue()) << "a release off the keys keeps the key value";
    live.post(WM_RBUTTONDOWN, MK_RBUTTON, gap);
    live.post(WM_RBUTTONUP, 0, gap);
    notes = live.settle(3);
    EXPECT_EQ(5u, notes.back().code);
    EXPECT_EQ(static_cast<UINT>(-1), notes.back().wParam);
    EXPECT_EQ(0, live.view->GetCurrentKeyValue());
    // A right drag from above key 0 to below the middle of key 1: the band meets keys 0 and 1.
    const CPoint from(kPictureAt.x + 5, kPictureAt.y + 2);
    const CPoint to(kPictureAt.x + 95, kPictureAt.y + 60);
    live.post(WM_RBUTTONDOWN, MK_RBUTTON, from);
    live.post(WM_MOUSEMOVE, MK_RBUTTON, to);
    pumpUntil([&] { return live.view->GetCheckItemCount() > 0; });
    std::vector<KEY_INFO*> keys = live.view->GetKeyItems();
    EXPECT_EQ(1, keys[0]->check);
    EXPECT_EQ(1, keys[1]->check);
    EXPECT_EQ(0, keys[2]->check);
    live.post(WM_RBUTTONUP, 0, to);
    notes = live.settle(4);
    EXPECT_EQ("7:24:0:0", noteLine({ notes.back() }));
    // A band under 6 pixels high: every key loses its check.
    live.post(WM_RBUTTONDOWN, MK_RBUTTON, from);
    live.post(WM_MOUSEMOVE, MK_RBUTTON, CPoint(from.x + 150, from.y + 3));
    live.post(WM_RBUTTONUP, 0, CPoint(from.x + 150, from.y + 3));
    live.settle(5);
    EXPECT_EQ(0, live.view->GetCheckItemCount());
}

// Counts the repaint requests its child raises, on whatever thread.
class CountingPanel : public MPanel {
public:
    using MPanel::MPanel;
    // Those the tick raises; the window's thread serves each one again later.
    LONG OnControlUpdate(CRect rect, int flag, MControl* control) override
    {
        requests += flag == 0 && !IsOnGuiThread();
        return MPanel::OnControlUpdate(rect, flag, control);
    }
    std::atomic<int> requests { 0 };
};

class CountingKeyboard : public KeyboardCtrl {
public:
    using KeyboardCtrl::KeyboardCtrl;
    int OnControlTimer() override
    {
        ++ticks;
        return KeyboardCtrl::OnControlTimer();
    }
    std::atomic<int> ticks { 0 };
};

// What the window shows at a client point.
DWORD windowPixel(HWND window, CPoint at)
{
    DibCanvas shot(1, 1);
    HDC dc = ::GetDC(window);
    ::BitBlt(shot.dc(), 0, 0, 1, 1, dc, at.x, at.y, SRCCOPY);
    ::ReleaseDC(window, dc);
    return shot.rgb(0, 0);
}

CountingKeyboard* addCounted(CountingPanel& panel, UINT id, int mode, const CString& picture)
{
    auto* view = new CountingKeyboard(&panel, id, kPlace, 1);
    panel.GetControls().push_back(view);
    view->SetManager(panel.GetManager());
    view->SetKeyboardImage(picture);
    view->SetWidthAndHeight(300, 100);
    view->SetControlRect(kPlace);
    for (int key = 0; key < 3; ++key)
        view->AddKeyItem(L"K", L"Key", kKeyIds[key], kKeys[key], L"");
    view->SetKeyboardCtrlMode(mode);
    return view;
}

// A host moves a key through the record it reads: the key is drawn at its new place and a
// click there hits it, while its old place is no key any more.
TEST(KeyboardLive, AKeyMovedThroughItsRecordIsDrawnAndHitAtItsNewPlace)
{
    Live live;
    const CRect moved(200, 50, 260, 90); // clear of the other keys
    live.view->GetKeyItems()[2]->rect = moved;
    // Every key outlined in its own colour: 0x0000E1FF is red 0xFF, green 0xE1, blue 0.
    live.view->SetKeyboardCtrlMode(KeyboardCtrl::ModeUserLight);
    const HWND window = live.dialog.GetSafeHwnd();
    ASSERT_TRUE(pumpUntil([&] { return ::GetUpdateRect(window, nullptr, FALSE) == FALSE; }));
    const CPoint newEdge = CPoint(moved.CenterPoint().x, moved.top) + kPictureAt;
    EXPECT_TRUE(nearColor(windowPixel(window, newEdge), 0xFFE100, 3));
    EXPECT_TRUE(nearColor(windowPixel(window, topEdgeOf(2)), kGrey, 3)) << "nothing left at the old place";
    const struct { CPoint at; const char* heard; } clicks[] = {
        { moved.CenterPoint() + kPictureAt, "7:2:2:43" },
        { centreOf(2), "7:2:4294967295:0" },
    };
    for (const auto& click : clicks) {
        live.dialog.notes.clear();
        live.post(WM_MOUSEMOVE, 0, click.at);
        live.post(WM_LBUTTONDOWN, MK_LBUTTON, click.at);
        live.post(WM_LBUTTONUP, 0, click.at);
        EXPECT_EQ(click.heard, noteLine(live.settle(1)));
    }
}

TEST(KeyboardLive, TheFastTimerAsksOneRepaintPerFrameStepAndNoneWhileHidden)
{
    Live live;
    live.view->SetVisible(0);
    PaintManager* manager = live.dialog.GetPaintManager();
    auto* panel = new CountingPanel(&live.dialog, 60, CRect(0, 0, 400, 200), 1);
    panel->SetManager(manager);
    manager->AppendControl(panel, 1);
    CountingKeyboard* light = addCounted(*panel, 61, KeyboardCtrl::ModeLight, live.name);
    CountingKeyboard* once = addCounted(*panel, 62, KeyboardCtrl::ModeNone, live.name);
    once->SetVisible(0);
    // Attached a second time: it still ticks once a tick.
    light->InitControl(manager);
    std::vector<unsigned char> data = threeFrames();
    light->SetLightModeData(data.data(), static_cast<int>(data.size()));
    light->SetLightSpeed(3);
    auto run = [&](int ticks) {
        const int until = once->ticks + ticks;
        live.dialog.SetMTimer(2);
        EXPECT_TRUE(pumpUntil([&] { return once->ticks >= until; }, 5000));
        manager->KillMTimer();
        pumpMessages();
    };
    run(60);
    EXPECT_NEAR(once->ticks, light->ticks, 1);
    EXPECT_EQ(light->ticks / 3, panel->requests.load());
    light->SetVisible(0);
    const int before = panel->requests;
    run(30);
    EXPECT_EQ(before, panel->requests.load()) << "a hidden view asks for no repaint";
}

TEST(KeyboardLive, EveryAttachLeavesTheOldTickListAndJoinsTheNewOne)
{
    Live live;
    PaintManager* manager = live.dialog.GetPaintManager();
    CountingKeyboard reference(&live.dialog, 70, kPlace, 0);
    reference.SetManager(manager);
    CountingKeyboard view(&live.dialog, 71, kPlace, 0);
    view.SetManager(manager);
    // Ticks of the view beside those of one that stayed attached all along.
    auto ticksOnce = [&] {
        const int viewFrom = view.ticks;
        const int referenceFrom = reference.ticks;
        live.dialog.SetMTimer(2);
        EXPECT_TRUE(pumpUntil([&] { return reference.ticks >= referenceFrom + 30; }, 5000));
        manager->KillMTimer();
        pumpMessages();
        EXPECT_NEAR(reference.ticks - referenceFrom, view.ticks - viewFrom, 1);
    };
    struct Case {
        const char* name;
        std::function<void()> attach;
    };
    const Case cases[] = {
        { "detached, then attached to the same window", [&] {
             view.SetManager(nullptr);
             view.SetManager(manager);
         } },
        { "attached to the same window twice", [&] { view.SetManager(manager); } },
        { "attached to a window whose manager went, then to this one", [&] {
             auto gone = std::make_unique<NoAccessAfterDelete<PaintManager>>();
             view.SetManager(gone.get());
             gone.reset();
             view.SetManager(manager);
         } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.attach();
        ticksOnce();
    }
    view.SetManager(nullptr);
    EXPECT_EQ(0, manager->DeleteFSTimer(&view)) << "detached, the view is on no tick list";
}

TEST(KeyboardLive, TipsOfADetachedViewHideAndANewWindowGetsANewBubble)
{
    auto first = std::make_unique<NotedDialog>(CRect(300, 300, 700, 500));
    // Hidden: the view asks no window for a repaint, only its bubble shows.
    KeyboardCtrl view(first.get(), kId, kPlace, 0);
    view.SetManager(first->GetPaintManager());
    view.AddKeyItem(L"K", L"Key", kKeyIds[0], kKeys[0], L"");
    view.EnableKBTips(true);
    KEY_INFO* key = view.GetKeyItems()[0];
    auto bubble = [] { return ::FindWindowW(nullptr, L"KeyboardTip Window"); };
    view.SetTips(key, kKeys[0], true);
    ASSERT_TRUE(bubble() && ::IsWindowVisible(bubble()));
    view.SetManager(nullptr);
    view.SetTips(key, kKeys[0], true);
    EXPECT_FALSE(::IsWindowVisible(bubble())) << "detached, the view only hides its bubble";
    first.reset();
    EXPECT_EQ(nullptr, bubble()) << "the bubble went with the host's window";
    NotedDialog second(CRect(300, 300, 700, 500));
    view.SetParent(&second);
    view.SetManager(second.GetPaintManager());
    view.SetTips(key, kKeys[0], true);
    const HWND made = bubble();
    ASSERT_TRUE(made);
    EXPECT_TRUE(::IsWindowVisible(made));
    EXPECT_EQ(second.GetSafeHwnd(), ::GetWindow(made, GW_OWNER));
    // Moved to another window that lives, the view's bubble moves with it.
    NotedDialog third(CRect(300, 300, 700, 500));
    view.SetParent(&third);
    view.SetManager(third.GetPaintManager());
    view.SetTips(key, kKeys[0], true);
    EXPECT_FALSE(::IsWindow(made));
    ASSERT_TRUE(bubble());
    EXPECT_EQ(third.GetSafeHwnd(), ::GetWindow(bubble(), GW_OWNER));
    view.SetManager(nullptr);
}

TEST(KeyboardLive, CustomOutlinesFollowThePointerWhileTheTimerRuns)
{
    Live live;
    live.dialog.SetMTimer(2);
    const HWND window = live.dialog.GetSafeHwnd();
    for (int key : { 0, 1, 0 }) {
        live.post(WM_MOUSEMOVE, 0, centreOf(key));
        const CPoint edge = topEdgeOf(key);
        EXPECT_TRUE(pumpUntil([&] { return nearColor(windowPixel(window, edge), 0xCA5100, 3); })) << key;
        const CPoint other = topEdgeOf(1 - key);
        EXPECT_TRUE(nearColor(windowPixel(window, other), kGrey, 3)) << key;
    }
    live.dialog.GetPaintManager()->KillMTimer();
}

TEST(KeyboardLive, TipsShowWithoutTakingTheActivation)
{
    Live live;
    live.view->EnableKBTips(true);
    live.view->SetTipKey(42, L"Volume", L"Up");
    live.post(WM_MOUSEMOVE, 0, centreOf(1));
    live.post(WM_MOUSEMOVE, 0, centreOf(1) + CPoint(1, 0));
    HWND tip = nullptr;
    EXPECT_TRUE(pumpUntil([&] {
        tip = ::FindWindowW(nullptr, L"KeyboardTip Window");
        return tip && ::IsWindowVisible(tip);
    }));
    EXPECT_NE(tip, ::GetActiveWindow());
    live.post(WM_MOUSEMOVE, 0, CPoint(5, 5));
    EXPECT_TRUE(pumpUntil([&] { return !::IsWindowVisible(tip); }));
}

// 1 ms ticks in Light mode while the window's thread changes everything the tick reads.
TEST(KeyboardStress, TheTickRunsBesideEveryChangeForTenSeconds)
{
    Live live;
    PaintManager* manager = live.dialog.GetPaintManager();
    std::vector<unsigned char> data = threeFrames();
    live.dialog.SetMTimer(1);
    const DWORD end = ::GetTickCount() + 10000;
    for (int round = 0; ::GetTickCount() < end; ++round) {
        auto* view = dynamic_cast<KeyboardCtrl*>(manager->CreateControl(nullptr, L"KeyboardCtrl", kId + 1 + round % 2,
                                                                        kPlace, L"", 1, 1));
        ASSERT_TRUE(view);
        view->SetKeyboardImage(live.name);
        view->SetWidthAndHeight(300, 100);
        view->SetKeyboardCtrlMode(KeyboardCtrl::ModeLight);
        view->SetLightSpeed(4);
        for (int step = 0; step < 20; ++step) {
            view->AddKeyItem(L"K", L"Key", step, kKeys[step % 3], L"");
            view->SetLightModeData(data.data(), static_cast<int>(data.size()) - step % 4);
            if (step % 5 == 0)
                view->ClearItem();
            view->SetKeyboardCtrlMode(step % 7 ? KeyboardCtrl::ModeLight : KeyboardCtrl::ModeMusic);
            pumpMessages();
        }
        manager->RemoveControl(view);
    }
    manager->KillMTimer();
    SUCCEED();
}

TEST(KeyboardLeaks, RepaintsOfEveryModeKeepTheGdiObjectCount)
{
    Board board;
    std::vector<unsigned char> data = threeFrames();
    board.view->SetLightModeData(data.data(), static_cast<int>(data.size()));
    int round = 0;
    // Each round repaints every mode once, rebuilt or from the cached picture in turn.
    expectNoGdiGrowth([&] {
        for (int mode = KeyboardCtrl::ModeNone; mode <= KeyboardCtrl::ModeMusic; ++mode) {
            board.view->SetKeyboardCtrlMode(mode);
            board.view->OnControlTimer();
            board.paint(round % 2 == 0);
        }
        ++round;
    }, 200);
}

} // namespace
