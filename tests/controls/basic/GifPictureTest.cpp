#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ButtonKinds.h"
#include "DibCanvas.h"
#include "LibraryHost.h"
#include "PumpUntil.h"
#include "ScratchGif.h"
#include "ScratchStrip.h"
#include "WindowCapture.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// Colours the GIF palette holds exactly, one per frame.
const std::vector<DWORD> kTen { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF,
                                0xFFFF00FF, 0xFFFFFFFF, 0xFF336699, 0xFF993366, 0xFF669933 };
const std::vector<DWORD> kThree(kTen.begin(), kTen.begin() + 3);
const CRect kPlace(10, 10, 110, 60);
const CPoint kCentre(60, 35);
constexpr int kHidden = -1;

class GifPictures : public ::testing::Test {
public:
    void SetUp() override { ASSERT_TRUE(ten.written() && three.written() && one.written()); }
    template <class T>
    std::unique_ptr<T> make(const wchar_t* file, CRect rect = kPlace)
    {
        auto gif = std::make_unique<T>(&parent, 3, rect, 1, 1);
        gif->SetManager(&manager);
        EXPECT_EQ(1, gif->SetImage(file, 1));
        return gif;
    }
    // The frame the control shows now, kHidden when it is hidden, -2 for no frame's colour.
    int shownFrame(MControl& gif, const std::vector<DWORD>& colours)
    {
        if (!gif.IsVisible())
            return kHidden;
        canvas.fill(0xFF000000);
        gif.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
        const CPoint centre = gif.GetRect().CenterPoint();
        for (size_t frame = 0; frame < colours.size(); ++frame)
            if (nearColor(canvas.rgb(centre.x, centre.y), colours[frame] & 0xFFFFFF, 2))
                return static_cast<int>(frame);
        return -2;
    }

    ScratchGif ten { GetSkinPath(), L"gif_ten.gif", 16, 16, kTen };
    ScratchGif three { GetSkinPath(), L"gif_three.gif", 16, 16, kThree };
    ScratchGif one { GetSkinPath(), L"gif_one.gif", 16, 16, { 0xFF0000FF } };
    PaintManager manager;
    // Declared after the files: the cache lets go of them before they are deleted.
    struct ReleasedImages {
        PaintManager& manager;
        ~ReleasedImages() { manager.ClearImgResInfo(); }
    } released { manager };
    RenderingParent parent;
    DibCanvas canvas { 200, 100, 0xFF000000 };
};

// One frame further on each tick, from the start frame (kept within the frames) to the last;
// the tick after the last hides the control and stops it.
TEST_F(GifPictures, PlaysOnceFromItsStartFrameToTheLastThenHides)
{
    struct Case {
        const wchar_t* file;
        const std::vector<DWORD>* colours;
        int start;
        std::vector<int> shownAfterEachTick; // the first entry before any tick
    };
    const Case cases[] {
        { L"gif_ten.gif", &kTen, 0, { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, kHidden } },
        { L"gif_three.gif", &kThree, 7, { 2, kHidden } },
        { L"gif_three.gif", &kThree, -3, { 0, 1, 2, kHidden } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        auto gif = make<CGifPicture>(c.file);
        ASSERT_EQ(1, gif->SetRunState(1, c.start));
        std::vector<int> shown { shownFrame(*gif, *c.colours) };
        while (shown.size() < c.shownAfterEachTick.size()) {
            gif->OnControlTimer();
            shown.push_back(shownFrame(*gif, *c.colours));
        }
        EXPECT_EQ(c.shownAfterEachTick, shown);
        EXPECT_EQ(1, parent.updates.back().flag) << "the hide repaints the place";
        gif->SetVisible(1);
        gif->OnControlTimer();
        EXPECT_EQ(0, shownFrame(*gif, *c.colours)) << "stopped on the first frame";
    }
}

TEST_F(GifPictures, PicturesOfFewerThanTwoFramesNeverRun)
{
    ScratchStrip still(GetSkinPath(), L"gif_still.png", 16, 16, { 0xFF0000FF });
    for (const wchar_t* file : { L"gif_one.gif", L"gif_still.png" }) {
        auto gif = make<CGifPicture>(file);
        EXPECT_EQ(0, gif->SetRunState(1, 0));
        gif->OnControlTimer();
        EXPECT_EQ(0, shownFrame(*gif, { 0xFF0000FF }));
    }
    auto kept = make<CGifPicture>(L"gif_three.gif");
    EXPECT_EQ(0, kept->SetImage(4242, L"GIF", 1));
    EXPECT_EQ(1, kept->SetRunState(1, 0)) << "a failed load keeps the frames";
    CGifPicture unattached(&parent, 4, kPlace, 1, 1);
    EXPECT_EQ(0, unattached.SetImage(L"gif_ten.gif", 1)) << "the image cache needs a paint manager";
    EXPECT_EQ(0, unattached.SetRunState(1, 0));
    kept.reset();
    manager.ClearImgResInfo();
}

// Stopped, or on a hidden page, it stays on its frame.
TEST_F(GifPictures, TheLooperStepsEveryFifthTickAndWrapsUntilStopped)
{
    auto gif = make<CGifPicture2>(L"gif_three.gif");
    ASSERT_EQ(1, gif->SetRunState(1, 0));
    std::vector<int> shown;
    for (int tick = 1; tick <= 16; ++tick) {
        gif->OnControlTimer();
        shown.push_back(shownFrame(*gif, kThree));
    }
    EXPECT_EQ((std::vector<int> { 0, 0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 0, 0 }), shown);
    ASSERT_EQ(1, gif->SetRunState(0, 1));
    for (int tick = 0; tick < 10; ++tick)
        gif->OnControlTimer();
    EXPECT_EQ(1, shownFrame(*gif, kThree));
    MPanel hiddenPage(&parent, 8, kPlace, 0);
    gif->SetParent(&hiddenPage);
    ASSERT_EQ(1, gif->SetRunState(1, 1));
    for (int tick = 0; tick < 10; ++tick)
        gif->OnControlTimer();
    EXPECT_EQ(1, shownFrame(*gif, kThree));
    gif->SetParent(&parent);
}

// Both draw from the window's cached image; each must select frames in its own copy, and the
// cached image itself stays on its first frame.
TEST_F(GifPictures, PicturesSharingACachedGifEachDrawTheirOwnFrame)
{
    auto playing = make<CGifPicture>(L"gif_three.gif");
    auto still = make<CGifPicture>(L"gif_three.gif", CRect(120, 10, 190, 60));
    ASSERT_EQ(playing->GetImage(), still->GetImage());
    ASSERT_EQ(1, playing->SetRunState(1, 2));
    EXPECT_EQ(2, shownFrame(*playing, kThree));
    EXPECT_EQ(0, shownFrame(*still, kThree));
    playing->SetUpdate(0, 0);
    EXPECT_EQ(2, shownFrame(*playing, kThree));
    {
        Gdiplus::Graphics graphics(canvas.dc());
        graphics.DrawImage(playing->GetImage(), 0, 0, 40, 40);
    }
    EXPECT_TRUE(nearColor(canvas.rgb(20, 20), kThree[0] & 0xFFFFFF, 2));
}

// The window's own fast timer drives both: the one-shot plays through and hides, the looper
// shows its later frames on the window.
TEST_F(GifPictures, BothAnimateOnTheWindowsFastTimer)
{
    MDialog dialog;
    dialog.Create(nullptr, L"gif", WS_POPUP, 0, CRect(30, 30, 250, 130));
    dialog.ShowWindow(SW_SHOWNOACTIVATE);
    auto* once = dynamic_cast<CGifPicture*>(dialog.CreateControl(L"CGifPicture", 1, kPlace, L"", 1, 1));
    auto* loop = dynamic_cast<CGifPicture2*>(dialog.CreateControl(L"CGifPicture2", 2, CRect(120, 10, 200, 60), L"", 1, 1));
    ASSERT_TRUE(once && loop);
    ASSERT_EQ(1, once->SetImage(L"gif_ten.gif", 1));
    ASSERT_EQ(1, loop->SetImage(L"gif_three.gif", 1));
    once->AddMTimer();
    loop->AddMTimer();
    ASSERT_EQ(1, once->SetRunState(1, 0));
    ASSERT_EQ(1, loop->SetRunState(1, 0));
    dialog.SetMTimer(5);
    const HWND window = dialog.GetSafeHwnd();
    auto loopShows = [&](DWORD colour) {
        UpdateWindow(window);
        return nearColor(captureClient(window)->rgb(160, 35), colour & 0xFFFFFF, 2);
    };
    EXPECT_TRUE(pumpUntil([&] { return loopShows(kThree[1]); }, 5000));
    EXPECT_TRUE(pumpUntil([&] { return loopShows(kThree[2]); }, 5000));
    EXPECT_TRUE(pumpUntil([&] { return !once->IsVisible(); }, 5000));
    dialog.GetPaintManager()->KillMTimer();
    dialog.DestroyWindow();
}

} // namespace
