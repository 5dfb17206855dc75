// The video view: clips made by the tests opened, stepped on a pinned clock and read back from
// its drawing; its crop rectangle and frame range edited by messages posted to a real dialog.
#include <atomic>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

#include "GdiObjectCount.h"
#include "framework/AppPaths.h"
#include "lcd/media/VideoClip.h"
#include "LcdTestKit.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "ScratchClip.h"
#include "ScratchFolder.h"
#include "ScratchStrip.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const CRect kPlace(0, 0, 700, 510); // the picture area is 700 × 460 above the play bar

class PeekView : public OpenCVViewCtrl {
public:
    using OpenCVViewCtrl::OpenCVViewCtrl;
    using MediaCropView::ExportScope;
    int current() const { return m_currentFrame; }
    int period() const { return m_framePeriod; }
    std::pair<int, int> range() const { return { m_rangeStart, m_rangeEnd }; }
    CRect crop() const { return CropRect(); }
    float scale() const { return m_cropScale; }
    std::pair<int, int> thumbnails() const { return { ThumbnailCount(), m_thumbnailWidth }; }
    void jump(int frame, int start, int end) { std::tie(m_currentFrame, m_rangeStart, m_rangeEnd) = std::tie(frame, start, end); }
    void place(CRect crop, float scale)
    {
        std::tie(m_cropX, m_cropY, m_cropWidth, m_cropHeight) = std::make_tuple(crop.left, crop.top, crop.Width(), crop.Height());
        m_cropScale = scale;
    }
    // A whole draw onto canvas; the clip frame shown at the picture area's middle, -1 for none.
    int shown(DibCanvas& canvas)
    {
        m_update = 0;
        DrawControl(canvas.dc(), m_rect);
        return clipFrameOf(canvas.rgb(m_rect.left + m_rect.Width() / 2, m_rect.top + m_rect.Height() / 2 - 40));
    }
    int shown()
    {
        DibCanvas canvas(m_rect.right, m_rect.bottom);
        return shown(canvas);
    }
};

struct LcdSize {
    LcdSize(int width, int height) { set(width, height); }
    ~LcdSize() { set(480, 480); }
    static void set(int width, int height) { Manager::SetLedScreenWidth(width), Manager::SetLedScreenHeight(height); }
};

ScratchFile halfOf(const ScratchFile& whole, const CString& folder, const wchar_t* name)
{
    std::vector<BYTE> bytes = whole.read();
    bytes.resize(bytes.size() / 2);
    return ScratchFile(folder, name, bytes);
}

} // namespace

TEST(VideoView, OpensPlayableClipsAndLeavesTheLastOneForOthers)
{
    const ScratchFolder folder(L"video-view");
    const ScratchClip mjpg(folder.path(), L"a.avi", ScratchClip::Mjpg, 25, 12);
    const ScratchClip mp4(folder.path(), L"b.mp4", ScratchClip::Mp4v, 50, 12);
    const ScratchClip noRate(folder.path(), L"c.avi", ScratchClip::Mjpg, 0.5, 12); // reads as 0
    const ScratchClip hugeRate(folder.path(), L"d.avi", ScratchClip::Mjpg, 2000, 12);
    const ScratchClip wide(folder.path(), L"e.avi", ScratchClip::Mjpg, 25, 2, 1936, 16);
    const ScratchClip whole(folder.path(), L"f.avi", ScratchClip::Mjpg, 25, 100);
    const ScratchFile cut = halfOf(whole, folder.path(), L"g.avi");
    const ScratchFile empty(folder.path(), L"h.avi", {});
    const std::string words = "this is a text and not a video\n";
    const ScratchFile text(folder.path(), L"i.mp4", std::vector<BYTE>(words.begin(), words.end()));
    struct Row { const ScratchFile& file; int result, period; };
    const Row rows[] = {
        { mjpg, 1, 40 }, { mp4, 1, 20 }, { noRate, 1, 33 }, { hugeRate, 1, 33 }, { cut, 1, 40 },
        { wide, 10, 0 }, { empty, 0, 0 }, { text, 0, 0 },
    };
    PeekView view(nullptr, 1, kPlace, 1, 1);
    for (const Row& row : rows) {
        ASSERT_TRUE(row.file.written()) << row.file.path();
        ASSERT_EQ(view.SetFileName(mjpg.path(), 1), 1);
        EXPECT_EQ(view.SetFileName(row.file.path(), 1), row.result) << row.file.path();
        if (row.result == 1) {
            EXPECT_EQ(view.period(), row.period) << row.file.path();
            EXPECT_EQ(view.shown(), 0) << row.file.path();
        } else {
            // Closed, with the last clip's range and frames kept: the view shows nothing.
            EXPECT_EQ(view.range(), std::make_pair(0, 12)) << row.file.path();
            EXPECT_EQ(view.shown(), -1) << row.file.path();
        }
    }
}

// The start-up exporter's preview, for its period.
class PreviewPeriod : public LEDImageCtrl2 {
public:
    using LEDImageCtrl2::LEDImageCtrl2;
    int period() const { return m_framePeriod; }
};

// In the view and in the start-up exporter's preview a period is 1000 / the rate with the
// rate's fraction kept: 29.97 frames a second play at 33 ms, not the 34 of 29.
TEST(VideoView, AFractionalRateKeepsItsFractionInTheFramePeriod)
{
    const ScratchFolder folder(L"video-view");
    struct Row { const wchar_t* name; double fps; int period; };
    const Row rows[] = {
        { L"ntsc.mp4", 29.97, 33 }, { L"film.mp4", 23.976, 41 }, { L"ntsc60.mp4", 59.94, 16 },
        { L"half.mp4", 12.5, 80 },  { L"whole.mp4", 24, 41 },
    };
    // Made before the players, gone after them: the captures hold the files they read.
    std::vector<std::unique_ptr<ScratchClip>> clips;
    for (const Row& row : rows)
        clips.push_back(std::make_unique<ScratchClip>(folder.path(), row.name, ScratchClip::Mp4v, row.fps, 4));
    PeekView view(nullptr, 1, kPlace, 1, 1);
    PreviewPeriod preview(nullptr, 2, CRect(0, 0, 480, 480), 1, 1);
    for (size_t i = 0; i < clips.size(); ++i) {
        const ScratchClip& clip = *clips[i];
        SCOPED_TRACE(rows[i].fps);
        ASSERT_TRUE(clip.written());
        ASSERT_EQ(view.SetFileName(clip.path(), 1), 1);
        EXPECT_EQ(view.period(), rows[i].period);
        preview.SetImageFile(clip.path(), MediaKindVideo);
        EXPECT_EQ(preview.period(), rows[i].period);
    }
}

// A rate no clip can have (none, below one frame a second, not a number, endless or past a
// thousand) plays at 30 frames a second, under either rule; a usable one keeps its fraction or
// is cut to whole frames first.
TEST(VideoView, AnUnusableRatePlaysAtThirtyFramesASecondUnderEitherRule)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double endless = std::numeric_limits<double>::infinity();
    const struct { double fps; int exact, wholeFrames; } rows[] = {
        { 0, 33, 33 },      { -25, 33, 33 },     { nan, 33, 33 },   { endless, 33, 33 }, { -endless, 33, 33 },
        { 1e12, 33, 33 },   { 0.5, 33, 33 },     { 1000.5, 33, 33 }, { 1, 1000, 1000 },  { 1000, 1, 1 },
        { 29.97, 33, 34 },  { 23.976, 41, 43 },  { 7.3, 136, 142 },  { 1.9, 526, 1000 },
    };
    for (const auto& row : rows) {
        EXPECT_EQ(VideoClip::PeriodForRate(row.fps), row.exact) << row.fps;
        EXPECT_EQ(VideoClip::PeriodForRate(row.fps, VideoClip::RateRule::WholeFrames), row.wholeFrames) << row.fps;
    }
}

TEST(VideoView, StepsOnTheClockWithinTheRangeEachViewShowingItsOwnFrame)
{
    const ScratchFolder folder(L"video-view");
    const ScratchClip clip(folder.path(), L"steps.avi", ScratchClip::Mjpg, 25, 20);
    PinnedClock clock(100000);
    PeekView first(nullptr, 1, kPlace, 1, 1);
    PeekView second(nullptr, 2, kPlace, 1, 1);
    for (PeekView* view : { &first, &second }) {
        ASSERT_EQ(view->SetFileName(clip.path(), 1), 1);
        EXPECT_EQ(view->shown(), 0);
    }
    struct Step { int jump; DWORD advance; bool draw; int frame; };
    const Step steps[] = {
        { -1, 40, true, 1 },   // one frame period: one frame on
        { -1, 39, true, 1 },   // not due yet
        { -1, 1, false, 2 },   // due, but the paint is merged with the next one
        { -1, 40, true, 3 },   // that paint shows the frame due, not the one after the last read
        { -1, 80, true, 5 },   // two periods: two frames
        { -1, 400, true, 7 },  // far behind: two frames and no catching up...
        { -1, 40, true, 8 },   // ...on from now
        { 9, 80, true, 1 },    // within frames 0 to 10, 9 + 2 wraps to 1
        { 3, 40, true, 4 },    // back within the range after a jump
    };
    for (const Step& step : steps) {
        TimeSource::Advance(step.advance);
        for (PeekView* view : { &first, &second }) {
            if (step.jump >= 0)
                view->jump(step.jump, 0, 10);
            EXPECT_EQ(view->OnControlTimer(), 0);
            EXPECT_EQ(view->current(), step.frame) << step.advance;
            if (step.draw) {
                EXPECT_EQ(view->shown(), step.frame) << step.advance;
            }
        }
    }
}

TEST(VideoView, SideReadsExportsAndCopiesLeaveThePlaybackAlone)
{
    const ScratchFolder folder(L"video-view");
    const ScratchClip clip(folder.path(), L"reads.avi", ScratchClip::Mjpg, 25, 20);
    PinnedClock clock(100000);
    PeekView view(nullptr, 1, kPlace, 1, 1);
    PeekView other(nullptr, 2, kPlace, 1, 1);
    ASSERT_EQ(view.SetFileName(clip.path(), 1), 1);
    ASSERT_EQ(other.SetFileName(clip.path(), 1), 1);
    EXPECT_EQ(view.shown(), 0);
    const auto frameIn = [](const cv::Mat& m) {
        const cv::Vec3b p = m.at<cv::Vec3b>(m.rows / 2, m.cols / 2);
        return clipFrameOf(static_cast<DWORD>(p[2]) << 16 | static_cast<DWORD>(p[1]) << 8 | p[0]);
    };
    cv::Mat out;
    struct Read { int frame, width, result, shows; };
    for (const Read& read : { Read { 7, 8, 1, 7 }, Read { -1, 8, 1, 0 }, Read { 20, 8, 0, -1 }, Read { 3, 0, 0, -1 } }) {
        out.release();
        EXPECT_EQ(view.GetFrameThumbnail(out, read.frame, read.width, 6), read.result) << read.frame;
        if (read.result) {
            EXPECT_EQ(std::make_tuple(out.cols, out.rows, frameIn(out)), std::make_tuple(8, 6, read.shows));
        }
    }
    ASSERT_TRUE(view.CacheNextFrames(5));
    EXPECT_TRUE(view.GetCachedFrame(3, out));
    EXPECT_EQ(frameIn(out), 3);
    EXPECT_FALSE(view.GetCachedFrame(5, out));
    EXPECT_FALSE(other.GetCachedFrame(3, out)); // each view keeps its own cache
    TimeSource::Advance(40);
    view.OnControlTimer();
    EXPECT_EQ(view.shown(), 1);

    // While an export holds the view, a tick on the fast-timer thread returns at once.
    std::atomic<bool> returned { false };
    std::thread tick;
    {
        const PeekView::ExportScope exporting(view, WM_APP);
        TimeSource::Advance(40);
        tick = std::thread([&] {
            view.OnControlTimer();
            returned = true;
        });
        EXPECT_TRUE(pollUntil([&] { return returned.load(); }));
    }
    tick.join();
    EXPECT_EQ(view.current(), 1);

    PeekView copy(view);
    EXPECT_EQ(std::make_pair(copy.crop(), copy.range()), std::make_pair(view.crop(), view.range()));
    EXPECT_EQ(copy.shown(), -1); // no video of its own
}

TEST(VideoView, ThumbnailsSpreadOverTheRangeAlongThePlayBar)
{
    const ScratchFolder folder(L"video-view");
    // Thumbnail probe shows frame shows; 30 of 24 px run past a 700 px view, as they always did.
    struct Row { int frames, count, width, probe, shows; };
    for (const Row& row : { Row { 10, 10, 68, 9, 9 }, Row { 59, 30, 24, 27, 54 }, Row { 1, 1, 680, 0, 0 } }) {
        const ScratchClip clip(folder.path(), L"thumbs.avi", ScratchClip::Mjpg, 25, row.frames);
        PeekView view(nullptr, 1, kPlace, 1, 1);
        ASSERT_EQ(view.SetFileName(clip.path(), 1), 1);
        EXPECT_EQ(view.thumbnails(), std::make_pair(row.count, row.width));
        DibCanvas canvas(kPlace.right, kPlace.bottom);
        view.shown(canvas);
        const auto frameAt = [&](int i) { return clipFrameOf(canvas.rgb(10 + i * row.width + row.width / 2, 482)); };
        EXPECT_EQ(frameAt(0), 0) << row.frames;
        EXPECT_EQ(frameAt(row.probe), row.shows) << row.frames;
    }
}

namespace {

struct Input {
    UINT msg;
    int x, y; // for the wheel: x notches away from the user (negative towards), y unused
};

void post(MDialog& dialog, const std::vector<Input>& input)
{
    for (const Input& in : input) {
        if (in.msg == WM_MOUSEWHEEL) {
            for (int n = 0; n < std::abs(in.x); ++n)
                dialog.PostMessageW(WM_MOUSEWHEEL, MAKEWPARAM(0, in.x > 0 ? WHEEL_DELTA : -WHEEL_DELTA), MAKELPARAM(200, 150));
            continue;
        }
        // A hand moves the pointer onto a place before pressing there.
        if (in.msg == WM_LBUTTONDOWN)
            dialog.PostMessageW(WM_MOUSEMOVE, 0, MAKELPARAM(in.x, in.y));
        const bool held = in.msg == WM_LBUTTONDOWN || in.msg == WM_MOUSEMOVE;
        dialog.PostMessageW(in.msg, held ? MK_LBUTTON : 0, MAKELPARAM(in.x, in.y));
    }
    pumpMessages();
}

PeekView* addView(NotedDialog& dialog)
{
    auto* view = new PeekView(&dialog, 7, kPlace, 1, 1);
    view->SetManager(dialog.GetPaintManager());
    dialog.GetPaintManager()->AppendControl(view, 1);
    // The real pointer, where an earlier test left it over the dialog, would add moves of its
    // own between the posted ones.
    const POINT away { kPlace.right + 100, kPlace.bottom + 100 };
    SetCursorPos(away.x, away.y);
    EXPECT_TRUE(pollUntil([&] {
        pumpMessages();
        POINT at {};
        return GetCursorPos(&at) && at.x == away.x && at.y == away.y;
    }));
    pumpMessages();
    return view;
}

} // namespace

TEST(VideoView, CropRectangleFollowsPostedDragsAndTheWheel)
{
    NotedDialog dialog(kPlace);
    PeekView* view = addView(dialog);
    struct Row { const char* what; int lcdWidth, lcdHeight; CRect from; float scale; std::vector<Input> input; CRect to; float toScale; };
    const Row rows[] = {
        { "right edge 40 px on: as much wider at the LCD aspect, around the old middle", 400, 200, CRect(100, 100, 300, 200), 0.5f,
          { { WM_LBUTTONDOWN, 299, 150 }, { WM_MOUSEMOVE, 339, 150 } }, CRect(100, 90, 340, 210), 0.6f },
        { "moves of 2 px do not move it", 480, 480, CRect(100, 100, 300, 300), 1.0f,
          { { WM_LBUTTONDOWN, 200, 200 }, { WM_MOUSEMOVE, 202, 198 } }, CRect(100, 100, 300, 300), 1.0f },
        { "a move of 3 px does", 480, 480, CRect(100, 100, 300, 300), 1.0f,
          { { WM_LBUTTONDOWN, 200, 200 }, { WM_MOUSEMOVE, 203, 198 } }, CRect(103, 98, 303, 298), 1.0f },
        { "below 50 px: 50 px", 480, 480, CRect(100, 100, 300, 300), 1.0f,
          { { WM_LBUTTONDOWN, 299, 200 }, { WM_MOUSEMOVE, 100, 200 } }, CRect(100, 199, 150, 249), 50 / 480.0f },
        { "past the right edge: cut there, the aspect kept", 400, 200, CRect(500, 100, 660, 180), 0.4f,
          { { WM_LBUTTONDOWN, 652, 140 }, { WM_MOUSEMOVE, 699, 140 } }, CRect(500, 89, 700, 189), 0.5f },
        { "dragged to 240 px, then a notch away: 288 px", 480, 480, CRect(100, 30, 300, 230), 1.0f,
          { { WM_LBUTTONDOWN, 299, 130 }, { WM_MOUSEMOVE, 339, 130 }, { WM_LBUTTONUP, 339, 130 }, { WM_MOUSEWHEEL, 1, 0 } },
          CRect(100, 10, 388, 298), 0.6f },
        { "zoomed towards the user: 0.1 at least", 480, 480, CRect(100, 20, 580, 500), 1.0f,
          { { WM_MOUSEWHEEL, -12, 0 } }, CRect(100, 20, 148, 68), 0.1f },
        { "zoomed away: 2.0 at most", 200, 200, CRect(100, 20, 300, 220), 1.0f,
          { { WM_MOUSEWHEEL, 12, 0 } }, CRect(100, 20, 500, 420), 2.0f },
        { "pushed out at the smallest: taken back no further than 0.1", 480, 480, CRect(660, 20, 756, 116), 0.2f,
          { { WM_MOUSEWHEEL, -1, 0 } }, CRect(660, 20, 708, 68), 0.1f },
    };
    for (const Row& row : rows) {
        const LcdSize lcd(row.lcdWidth, row.lcdHeight);
        view->place(row.from, row.scale);
        post(dialog, row.input);
        post(dialog, { { WM_LBUTTONUP, 0, 0 } });
        EXPECT_EQ(view->crop(), row.to) << row.what;
        EXPECT_NEAR(view->scale(), row.toScale, 1e-4) << row.what;
    }
}

TEST(VideoView, RangeHandlesFollowPostedDragsAndTheShownFrameFollowsTheStart)
{
    const ScratchFolder folder(L"video-view");
    const ScratchClip clip(folder.path(), L"range.avi", ScratchClip::Mjpg, 25, 20);
    const ScratchStrip handle(GetSkinPath(), L"video-view-handle.png", 14, 20, { 0xFF20C020 });
    const ScratchStrip marker(GetSkinPath(), L"video-view-marker.png", 4, 24, { 0xFFC02020 });
    NotedDialog dialog(kPlace);
    PeekView* view = addView(dialog);
    view->SetPlayThumbmage(L"video-view-handle.png");
    view->SetPlayBarImage(L"video-view-marker.png");
    ASSERT_EQ(view->SetFileName(clip.path(), 1), 1);
    // 20 frames along a bar from x 10, 680 px long: a handle of frame f stands at 3 + 34 f.
    struct Row { const char* what; int start, end, pressX, moveX; std::pair<int, int> range; int current; };
    const Row rows[] = {
        { "start past the end: one before it, and shown", 0, 10, 10, 500, { 9, 10 }, 9 },
        { "start within the range, pressed past the marker's width", 0, 10, 14, 120, { 3, 10 }, 3 },
        { "end below the start: one after it", 5, 20, 688, 20, { 5, 6 }, 5 },
        { "end past the last frame: the frame count", 0, 10, 350, 699, { 0, 20 }, 0 },
        { "pressed beside the handles: nothing", 0, 10, 200, 400, { 0, 10 }, 0 },
    };
    for (const Row& row : rows) {
        view->jump(row.start, row.start, row.end);
        view->shown();
        post(dialog, { { WM_LBUTTONDOWN, row.pressX, 480 }, { WM_MOUSEMOVE, row.moveX, 480 }, { WM_LBUTTONUP, row.moveX, 480 } });
        EXPECT_EQ(view->range(), row.range) << row.what;
        EXPECT_EQ(view->current(), row.current) << row.what;
        EXPECT_EQ(view->shown(), row.current) << row.what;
    }
}

TEST(VideoView, DamagedFilesLongPlaybackAndImageSettersLeakNothing)
{
    const ScratchFolder folder(L"video-view");
    const ScratchClip whole(folder.path(), L"whole.avi", ScratchClip::Mjpg, 25, 100);
    const ScratchFile cut = halfOf(whole, folder.path(), L"cut.avi");
    const ScratchFile empty(folder.path(), L"empty.avi", {});
    const ScratchStrip handle(GetSkinPath(), L"video-view-leak.png", 14, 20, { 0xFF20C020 });
    PinnedClock clock(100000);
    PeekView view(nullptr, 1, CRect(0, 0, 240, 200), 1, 1);
    DibCanvas canvas(240, 200);
    std::vector<int> shown;
    const auto round = [&](int steps) {
        for (int i = 0; i < steps; ++i) {
            TimeSource::Advance(40);
            view.OnControlTimer();
            shown.push_back(view.shown(canvas));
        }
    };
    // The cut clip plays what it holds, then starts over.
    ASSERT_EQ(view.SetFileName(cut.path(), 1), 1);
    round(80);
    EXPECT_TRUE(std::all_of(shown.begin(), shown.end(), [](int f) { return f >= 0 && f < 100; }));
    const auto highest = std::max_element(shown.begin(), shown.end());
    EXPECT_GT(*highest, 2);
    EXPECT_NE(std::find(highest, shown.end(), 0), shown.end());

    const auto cycle = [&] {
        view.SetFileName(empty.path(), 1);
        view.SetFileName(cut.path(), 1);
        view.SetPlayThumbmage(L"video-view-leak.png");
        view.SetPlayBarImage(L"video-view-leak.png");
        view.SetPlayBtnImage(L"video-view-leak.png");
        round(50);
    };
    const int before = warmGdiObjects(cycle);
    const long blocks = busyHeapBlocks();
    for (int i = 0; i < 20; ++i)
        cycle();
    EXPECT_EQ(gdiObjectsSettled(before), before);
    EXPECT_LT(busyHeapBlocks() - blocks, 60); // 60 images kept would be several blocks each
}
