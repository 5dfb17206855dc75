#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "ButtonKinds.h"
#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "ScratchGif.h"
#include "ScratchStrip.h"
#include "WindowCapture.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00, kBlack = 0, kBare = 0xF2F2F2;
// Every picture but the sliders: 100 × 50 at (10, 10) on a black canvas.
const CRect kPlace(10, 10, 110, 60);
// Colours the GIF palette holds exactly, one per frame.
const std::vector<DWORD> kTen { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF,
                                0xFFFF00FF, 0xFFFFFFFF, 0xFF336699, 0xFF993366, 0xFF669933 };
constexpr int kHidden = -1;

class Pictures : public ::testing::Test {
public:
    // The image cache lets go of the files before they are deleted.
    ~Pictures() override { manager.ClearImgResInfo(); }
    void SetUp() override { ASSERT_TRUE(quadrants.written() && ten.written() && three.written() && one.written()); }
    template <class T>
    std::unique_ptr<T> make(const wchar_t* file = L"picture_quadrants.png", CRect rect = kPlace)
    {
        auto control = std::make_unique<T>(&parent, 7, rect, 1, 1);
        control->SetManager(&manager);
        if constexpr (std::is_same_v<T, CPhotoFrame>)
            control->SetPhotoFrame(file, 1);
        else
            control->SetImage(file, 1);
        return control;
    }
    // Draws the control over a black canvas; with render, its look is rendered again first.
    void repaint(MControl& control, bool render = true)
    {
        canvas.fill(0xFF000000);
        if (render)
            control.SetUpdate(0, 0);
        control.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
    }
    // Every pixel of the canvas with the control drawn over black.
    std::vector<DWORD> look(MControl& control)
    {
        repaint(control);
        return canvas.rgbPixels();
    }
    // The GIF frame shown by the centre's colour (10 for none), kHidden when hidden.
    int shownFrame(MControl& gif)
    {
        if (!gif.IsVisible())
            return kHidden;
        repaint(gif, false);
        const DWORD centre = canvas.rgb(gif.GetRect().CenterPoint().x, gif.GetRect().CenterPoint().y);
        const auto shown = std::find_if(kTen.begin(), kTen.end(), [&](DWORD c) { return nearColor(centre, c & 0xFFFFFF, 2); });
        return static_cast<int>(shown - kTen.begin());
    }

    // 30 × 20, four 15 × 10 quadrants: red, green over blue, yellow.
    ScratchPng quadrants { GetSkinPath(), L"picture_quadrants.png", 30, 20,
                           { { 0, 0, 15, 10, kTen[0] }, { 15, 0, 15, 10, kTen[1] }, { 0, 10, 15, 10, kTen[2] }, { 15, 10, 15, 10, kTen[3] } } };
    ScratchGif ten { GetSkinPath(), L"gif_ten.gif", 16, 16, kTen };
    ScratchGif three { GetSkinPath(), L"gif_three.gif", 16, 16, { kTen.begin(), kTen.begin() + 3 } };
    ScratchGif one { GetSkinPath(), L"gif_one.gif", 16, 16, { kTen[0] } };
    PaintManager manager;
    RenderingParent parent;
    DibCanvas canvas { 320, 100, 0xFF000000 };
};

TEST_F(Pictures, EachShowModeLaysTheFirstFrameOverTheControlAndAnEmptyPictureDrawsNothing)
{
    const std::vector<PixelAt> corners { { 11, 11, kRed }, { 108, 11, kGreen }, { 11, 58, kBlue }, { 108, 58, kYellow } };
    const std::vector<PixelAt> stretched { { 20, 20, kRed }, { 100, 20, kGreen }, { 20, 50, kBlue }, { 100, 50, kYellow } };
    const std::vector<PixelAt> nothing { { 12, 12, kBlack }, { 60, 35, kBlack } };
    const std::pair<std::function<void(MPicture&)>, std::vector<PixelAt>> cases[] {
        { [](MPicture& p) { p.SetAlignment(DT_LEFT, DT_TOP); },
          { { 12, 12, kRed }, { 37, 12, kGreen }, { 12, 27, kBlue }, { 37, 27, kYellow }, { 45, 45, kBlack } } },
        { [](MPicture& p) { p.SetAlignment(DT_RIGHT, DT_BOTTOM); }, { { 82, 42, kRed }, { 108, 58, kYellow }, { 12, 12, kBlack } } },
        { [](MPicture& p) { p.SetAlignment(DT_CENTER, DT_VCENTER); }, { { 47, 27, kRed }, { 73, 43, kYellow }, { 43, 27, kBlack } } },
        // 4 × 3 tiles, the last column and row 10 px.
        { [](MPicture& p) { p.SetShowMode(ShowModeTile, 0); },
          { { 12, 12, kRed }, { 35, 25, kYellow }, { 109, 59, kRed }, { 110, 45, kBlack }, { 60, 60, kBlack } } },
        { [](MPicture& p) { p.SetShowMode(ShowModeStretch, 0); }, stretched },
        // A copy and an assignment take the show mode, never the picture: each later loads its own.
        { [](MPicture& p) { p.SetShowMode(ShowModeStretch, 0); const MPicture copy(p); p.SetShowMode(ShowModeTile, 0); p = copy;
                            p.SetImage(L"picture_quadrants.png", 1); }, stretched },
        // Of two frames only the first.
        { [](MPicture& p) { p.SetImage(L"picture_quadrants.png", 2); p.SetShowMode(ShowModeStretch, 0); },
          { { 20, 20, kRed }, { 100, 20, kRed }, { 100, 50, kBlue } } },
        { [](MPicture& p) { p.SetShowMode(ShowModeNineGrid, 4); }, corners },
        { [](MPicture& p) { p.SetShowModeMID(2, 2, 2, 2); }, corners },
        { [](MPicture& p) { p.SetCustomRect(CRect(15, 0, 30, 10)); p.SetShowMode(ShowModeCustomRect, 0); },
          { { 12, 12, kGreen }, { 105, 50, kGreen }, { 60, 35, kGreen } } },
        // 30 px cut into 40 frames of no width: nothing to tile. Then no picture at all.
        { [](MPicture& p) { p.SetImage(L"picture_quadrants.png", 40); p.SetShowMode(ShowModeTile, 0); }, nothing },
        { [](MPicture& p) { p.SetImage(L"picture_missing.png", 1); p.SetShowMode(ShowModeTile, 0); }, nothing },
    };
    for (const auto& [setUp, expected] : cases) {
        SCOPED_TRACE(&setUp - &cases[0].first);
        auto picture = make<MPicture>();
        setUp(*picture);
        repaint(*picture);
        expectPixels(canvas, expected, 2);
    }
}

// A count below 1 fails at once; a file that does not load leaves no picture, a resource that
// does not load keeps the old one; a picture once loaded holds no file, and a replacement
// shows at once.
TEST_F(Pictures, ReplacingAPictureShowsTheNewOneAndFailuresAreReported)
{
    auto picture = make<MPicture>();
    auto slider = make<CSliderPicture>();
    auto photo = make<CPhotoFrame>();
    using Setter = std::function<int(const wchar_t* file, UINT resource, int frames)>;
    // The control whose look shows the picture; null where it does not (a still slider hides,
    // the photo frame covers the photo).
    struct Row {
        MControl* shows;
        Setter set;
    };
    const Row rows[] {
        { picture.get(), [&](const wchar_t* f, UINT r, int n) { return f ? picture->SetImage(f, n) : picture->SetImage(r, L"PNG", n); } },
        { nullptr, [&](const wchar_t* f, UINT r, int n) { return f ? slider->SetImage(f, n) : slider->SetImage(r, L"PNG", n); } },
        { photo.get(), [&](const wchar_t* f, UINT r, int n) { return f ? photo->SetPhotoFrame(f, n) : photo->SetPhotoFrame(r, L"PNG", n); } },
        { nullptr, [&](const wchar_t* f, UINT r, int n) { return f ? photo->SetImage(f, n) : photo->SetImage(r, L"PNG", n); } },
    };
    for (const auto& [control, set] : rows) {
        SCOPED_TRACE(&set - &rows[0].set);
        const auto look = [&, control = control] { return control ? this->look(*control) : std::vector<DWORD>(); };
        const auto differs = [&](const std::vector<DWORD>& a, const std::vector<DWORD>& b) { return !control || a != b; };
        ScratchStrip first(GetSkinPath(), L"picture_first.png", 10, 10, { 0xFFFF0000 });
        ScratchStrip second(GetSkinPath(), L"picture_second.png", 10, 10, { 0xFF00FF00 });
        const std::vector<int> answers { set(L"picture_first.png", 0, 0), set(L"picture_first.png", 0, 1) };
        EXPECT_EQ((std::vector<int> { 0, 1 }), answers);
        const std::vector<DWORD> firstLook = look();
        EXPECT_TRUE(first.remove()) << "the shown picture holds its file";
        EXPECT_EQ(0, set(nullptr, 4242, 1));
        EXPECT_TRUE(look() == firstLook) << "a failed resource load keeps the picture";
        // Copies take no picture: neither a second owner nor a clone.
        const MPicture pictureCopy(*picture);
        const CSliderPicture sliderCopy(*slider);
        const CPhotoFrame photoCopy(*photo);
        EXPECT_EQ(1, set(L"picture_second.png", 0, 1));
        const std::vector<DWORD> secondLook = look();
        EXPECT_TRUE(differs(secondLook, firstLook)) << "the replacement does not show";
        EXPECT_EQ(0, set(L"picture_missing.png", 0, 1));
        EXPECT_TRUE(differs(look(), secondLook)) << "a failed file load still lets go of the old picture";
    }
}

// Code 1 on a press inside, code 2 on a release inside after it, nothing for a release
// outside; every look is the photo under the frame image's second strip frame.
TEST_F(Pictures, APhotoFrameReportsPressAndClickAndShowsItsFrameOverThePhoto)
{
    ScratchStrip strip(GetSkinPath(), L"picture_frame.png", 40, 40, { 0xFFFF0000, 0x800000FF });
    auto photo = make<CPhotoFrame>();
    ASSERT_EQ(1, photo->SetImage(L"picture_frame.png", 2));
    photo->SetShowMode(ShowModeStretch, 0);
    const CPoint in(60, 35), out(150, 80);
    for (const auto& [down, up, codes, state] : { std::tuple { in, in, 2u, 1 }, { in, out, 1u, 0 }, { out, in, 0u, 1 } }) {
        parent.notifications.clear();
        photo->OnMouseMove(0, out);
        photo->OnLButtonDown(MK_LBUTTON, down);
        photo->OnLButtonUp(0, up);
        ASSERT_EQ(codes, parent.notifications.size());
        for (UINT i = 0; i < codes; ++i)
            EXPECT_EQ(i + 1, parent.notifications[i].code);
        EXPECT_EQ(state, photo->GetState());
        repaint(*photo);
        // Red and yellow under half-opaque blue, never the strip's red first frame.
        expectPixels(canvas, { { 20, 20, 0x7F0080 }, { 100, 50, 0x7F7F80 } }, 3);
    }
}

// The picture (left half red, right half green) slides in a hundredth of its side a tick, at
// least 1 px; left to right its right edge enters first. Still, it hides on its next paint.
TEST_F(Pictures, ASliderPictureStepsAHundredthOfItsSideEachTickThenHides)
{
    ScratchStrip halves(GetSkinPath(), L"picture_halves.png", 10, 10, { 0xFFFF0000, 0xFF00FF00 });
    struct Slide { int run; SLIDER_MODE mode; int width, ticks, probe; std::vector<PixelAt> expected; };
    const Slide slides[] {
        { 1, SliderLeftToRight, 300, 100, 50, { { 3, 20, kGreen }, { 147, 20, kGreen }, { 150, 20, kBare }, { 299, 20, kBare } } },
        { 1, SliderRightToLeft, 300, 100, 25, { { 224, 20, kBare }, { 226, 20, kRed }, { 299, 20, kRed } } },
        { 1, SliderTopToBottom, 300, 40, 10, { { 50, 5, kRed }, { 250, 5, kGreen }, { 50, 10, kBare } } },
        { 1, SliderLeftToRight, 60, 60, 6, { { 2, 20, kGreen }, { 6, 20, kBare } } },
        { 0, SliderLeftToRight, 300, 0, 0, {} },
    };
    for (const Slide& slide : slides) {
        SCOPED_TRACE(&slide - slides);
        auto slider = make<CSliderPicture>(L"picture_halves.png", CRect(0, 0, slide.width, 40));
        slider->SetShowMode(ShowModeStretch, 0);
        slider->SetRun(slide.run, slide.mode);
        EXPECT_EQ(0, CSliderPicture(*slider).OnControlTimer()) << "a copy starts still";
        int stepped = 0;
        for (int tick = 1; tick <= slide.ticks + 5; ++tick) {
            stepped += slider->OnControlTimer();
            if (tick == slide.probe) {
                repaint(*slider);
                expectPixels(canvas, slide.expected, 2);
                EXPECT_EQ(1, slider->IsVisible());
            }
        }
        EXPECT_EQ(slide.ticks, stepped);
        repaint(*slider);
        EXPECT_FALSE(slider->IsVisible());
        EXPECT_EQ(1, parent.updates.back().flag);
    }
}

// One frame further on each tick from the start frame (kept within the frames): the one-shot
// hides and stops after its last, the looper steps every fifth tick and wraps. Stopped, on a
// hidden page or of fewer than two frames, a GIF stays on its frame; a failed load keeps them.
TEST_F(Pictures, GifsStepOneFrameATickFromTheirStartFrame)
{
    struct Case { bool looper; const wchar_t* file; int run, start, answer; bool onHiddenPage; std::vector<int> shown; };
    // Shown before the first tick, then after each.
    const Case cases[] {
        { false, L"gif_ten.gif", 1, 0, 1, false, { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, kHidden } },
        { false, L"gif_three.gif", 1, 7, 1, false, { 2, kHidden } },
        { false, L"gif_three.gif", 1, -3, 1, false, { 0, 1, 2, kHidden } },
        { false, L"gif_one.gif", 1, 0, 0, false, { 0, 0 } },
        { true, L"gif_three.gif", 1, 0, 1, false, { 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 0, 0 } },
        { true, L"gif_three.gif", 0, 1, 1, false, { 1, 1, 1, 1, 1, 1, 1 } },
        { true, L"gif_three.gif", 1, 1, 1, true, { 1, 1, 1, 1, 1, 1, 1 } },
    };
    MPanel hiddenPage(&parent, 8, kPlace, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        std::unique_ptr<CGifPicture> gif = c.looper ? make<CGifPicture2>(c.file) : make<CGifPicture>(c.file);
        EXPECT_EQ(0, gif->SetImage(4242, L"GIF", 1));
        if (c.onHiddenPage)
            gif->SetParent(&hiddenPage);
        EXPECT_EQ(c.answer, gif->SetRunState(c.run, c.start));
        std::vector<int> shown { shownFrame(*gif) };
        while (shown.size() < c.shown.size()) {
            gif->OnControlTimer();
            shown.push_back(shownFrame(*gif));
        }
        EXPECT_EQ(c.shown, shown);
        Gdiplus::Graphics(canvas.dc()).DrawImage(gif->GetImage(), 0, 0, 8, 8);
        EXPECT_TRUE(nearColor(canvas.rgb(4, 4), kRed, 2)) << "a frame was selected in the shared cached image";
        if (shown.back() == kHidden) {
            EXPECT_EQ(1, parent.updates.back().flag) << "the hide repaints the place";
            gif->SetVisible(1);
            gif->OnControlTimer();
            EXPECT_EQ(0, shownFrame(*gif)) << "stopped on the first frame";
        }
    }
}

// What a subclass that plays frames of its own does: steps the active frame and shows it.
class SteppingGif : public CGifPicture {
public:
    using CGifPicture::CGifPicture;
    void step()
    {
        ActiveNextFrame();
        ShowFrame(m_activeFrame);
    }
};

// The active frame goes one on a step and back to the first past the last, in the picture's
// own image; one of a single frame stays; a shorter image loaded between steps starts it over.
TEST_F(Pictures, ASubclassStepsTheActiveFrameThroughTheFramesOfItsOwnImage)
{
    struct Case { const wchar_t* file; int steps; const wchar_t* then; std::vector<int> shown; };
    const Case cases[] {
        { L"gif_three.gif", 0, nullptr, { 1, 2, 0, 1 } },
        { L"gif_one.gif", 0, nullptr, { 0, 0 } },
        { L"gif_ten.gif", 5, L"gif_three.gif", { 0, 1, 2, 0 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        std::unique_ptr<SteppingGif> gif = make<SteppingGif>(c.file);
        for (int i = 0; i < c.steps; ++i)
            gif->step();
        if (c.then) {
            ASSERT_EQ(1, gif->SetImage(c.then, 1));
        }
        std::vector<int> shown;
        while (shown.size() < c.shown.size()) {
            gif->step();
            shown.push_back(shownFrame(*gif));
        }
        EXPECT_EQ(c.shown, shown);
        Gdiplus::Graphics(canvas.dc()).DrawImage(gif->GetImage(), 0, 0, 8, 8);
        EXPECT_TRUE(nearColor(canvas.rgb(4, 4), kRed, 2)) << "a frame was selected in the shared cached image";
    }
}

// The window's own fast timer drives both: the one-shot plays through and hides, the looper
// shows its later frames on the window.
TEST_F(Pictures, GifsAnimateOnTheWindowsFastTimer)
{
    NotedDialog dialog(CRect(30, 30, 250, 130));
    auto* once = dynamic_cast<CGifPicture*>(dialog.CreateControl(L"CGifPicture", 1, kPlace, L"", 1, 1));
    auto* loop = dynamic_cast<CGifPicture2*>(dialog.CreateControl(L"CGifPicture2", 2, CRect(120, 10, 200, 60), L"", 1, 1));
    ASSERT_TRUE(once && loop);
    for (auto [gif, file] : { std::pair<CGifPicture*, const wchar_t*> { once, L"gif_ten.gif" }, { loop, L"gif_three.gif" } }) {
        ASSERT_EQ(1, gif->SetImage(file, 1));
        gif->AddMTimer();
        ASSERT_EQ(1, gif->SetRunState(1, 0));
    }
    dialog.SetMTimer(5);
    auto loopShows = [&](DWORD colour) {
        UpdateWindow(dialog.GetSafeHwnd());
        return nearColor(captureClient(dialog.GetSafeHwnd())->rgb(160, 35), colour & 0xFFFFFF, 2);
    };
    EXPECT_TRUE(pumpUntil([&] { return loopShows(kTen[1]); }, 5000));
    EXPECT_TRUE(pumpUntil([&] { return loopShows(kTen[2]); }, 5000));
    EXPECT_TRUE(pumpUntil([&] { return !once->IsVisible(); }, 5000));
    dialog.GetPaintManager()->KillMTimer();
}

TEST_F(Pictures, ThousandPaintsOfEachClassLeaveTheGdiObjectCountFlat)
{
    std::unique_ptr<MControl> controls[] { make<MPicture>(), make<CPhotoFrame>(), make<CSliderPicture>(),
                                           make<CGifPicture>(L"gif_three.gif"), make<CGifPicture2>(L"gif_three.gif") };
    dynamic_cast<CSliderPicture&>(*controls[2]).SetRun(1, SliderRightToLeft);
    dynamic_cast<CGifPicture&>(*controls[4]).SetRunState(1, 0);
    for (auto& control : controls) {
        // Every tenth paint follows a change and renders the look again; the others copy it.
        int round = 0;
        auto paintOnce = [&] {
            if (++round % 10 == 0) {
                if (auto* slider = dynamic_cast<CSliderPicture*>(control.get()))
                    slider->SetRun(1, SliderRightToLeft);
                control->OnMouseMove(0, CPoint(round % 20 ? 20 : 200, 20));
                control->OnControlTimer();
                control->SetUpdate(0, 0);
            }
            control->Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
        };
        expectNoGdiGrowth(paintOnce, 1000);
        EXPECT_TRUE(control->IsVisible());
    }
}

} // namespace
