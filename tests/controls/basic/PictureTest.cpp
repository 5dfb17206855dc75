#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "ButtonKinds.h"
#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "ScratchGif.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00, kBlack = 0, kBare = 0xF2F2F2;
// Every picture but the sliders: 100 × 50 at (10, 10) on a black canvas.
const CRect kPlace(10, 10, 110, 60);

// A 30 × 20 picture of four 15 × 10 quadrants: red, green over blue, yellow.
class ScratchQuadrants : public ScratchFile {
public:
    ScratchQuadrants() : ScratchFile(GetSkinPath(), L"picture_quadrants.png")
    {
        const CLSID png = { 0x557cf406, 0x1a04, 0x11d3, { 0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e } };
        Gdiplus::Bitmap picture(30, 20, PixelFormat32bppARGB);
        Gdiplus::Graphics graphics(&picture);
        const DWORD colours[4] { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00 };
        for (int quadrant = 0; quadrant < 4; ++quadrant) {
            Gdiplus::SolidBrush brush { Gdiplus::Color(colours[quadrant]) };
            graphics.FillRectangle(&brush, quadrant % 2 * 15, quadrant / 2 * 10, 15, 10);
        }
        m_written = picture.Save(m_path, &png, nullptr) == Gdiplus::Ok;
    }
};

class Pictures : public ::testing::Test {
public:
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
    // Renders the control's look again over a black canvas.
    void repaint(MControl& control)
    {
        canvas.fill(0xFF000000);
        control.SetUpdate(0, 0);
        control.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
    }

    ScratchQuadrants quadrants;
    PaintManager manager;
    RenderingParent parent;
    DibCanvas canvas { 320, 100, 0xFF000000 };
};

TEST_F(Pictures, EachShowModeLaysTheFirstFrameOverTheControlAndAnEmptyPictureDrawsNothing)
{
    struct Case {
        const char* what;
        std::function<void(MPicture&)> setUp;
        std::vector<PixelAt> expected;
    };
    const Case cases[] {
        { "natural, top left", [](MPicture& p) { p.SetAlignment(DT_LEFT, DT_TOP); },
          { { 12, 12, kRed }, { 37, 12, kGreen }, { 12, 27, kBlue }, { 37, 27, kYellow }, { 45, 45, kBlack } } },
        { "natural, bottom right", [](MPicture& p) { p.SetAlignment(DT_RIGHT, DT_BOTTOM); },
          { { 82, 42, kRed }, { 108, 58, kYellow }, { 12, 12, kBlack } } },
        { "natural, centred", [](MPicture& p) { p.SetAlignment(DT_CENTER, DT_VCENTER); },
          { { 47, 27, kRed }, { 73, 43, kYellow }, { 43, 27, kBlack } } },
        // 4 × 3 tiles, the last column and row 10 px.
        { "tiled", [](MPicture& p) { p.SetShowMode(ShowModeTile, 0); },
          { { 12, 12, kRed }, { 35, 15, kGreen }, { 15, 25, kBlue }, { 35, 25, kYellow }, { 42, 32, kRed },
            { 72, 52, kRed }, { 95, 12, kGreen }, { 109, 59, kRed }, { 110, 45, kBlack }, { 60, 60, kBlack } } },
        { "stretched", [](MPicture& p) { p.SetShowMode(ShowModeStretch, 0); },
          { { 20, 20, kRed }, { 100, 20, kGreen }, { 20, 50, kBlue }, { 100, 50, kYellow } } },
        { "first frame only", [](MPicture& p) { p.SetImage(L"picture_quadrants.png", 2); p.SetShowMode(ShowModeStretch, 0); },
          { { 20, 20, kRed }, { 100, 20, kRed }, { 100, 50, kBlue } } },
        { "nine-grid", [](MPicture& p) { p.SetShowMode(ShowModeNineGrid, 4); },
          { { 11, 11, kRed }, { 108, 11, kGreen }, { 11, 58, kBlue }, { 108, 58, kYellow } } },
        { "nine-grid, margins", [](MPicture& p) { p.SetShowModeMID(2, 2, 2, 2); },
          { { 11, 11, kRed }, { 108, 11, kGreen }, { 11, 58, kBlue }, { 108, 58, kYellow } } },
        { "custom rectangle", [](MPicture& p) { p.SetCustomRect(CRect(15, 0, 30, 10)); p.SetShowMode(ShowModeCustomRect, 0); },
          { { 12, 12, kGreen }, { 105, 50, kGreen }, { 60, 35, kGreen } } },
        // 30 px cut into 40 frames of no width: nothing to tile.
        { "empty frames", [](MPicture& p) { p.SetImage(L"picture_quadrants.png", 40); p.SetShowMode(ShowModeTile, 0); },
          { { 12, 12, kBlack }, { 60, 35, kBlack } } },
        { "no picture", [](MPicture& p) { p.SetImage(L"picture_missing.png", 1); p.SetShowMode(ShowModeTile, 0); },
          { { 12, 12, kBlack }, { 60, 35, kBlack } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto picture = make<MPicture>();
        c.setUp(*picture);
        repaint(*picture);
        expectPixels(canvas, c.expected, 2);
    }
}

TEST_F(Pictures, SetShowModeAnswersOneOnAChangeAndRepaintsWithIt)
{
    auto picture = make<MPicture>();
    parent.updates.clear();
    std::vector<int> answers;
    const std::pair<enumShowMode, int> calls[] { { ShowModeStretch, 6 }, { ShowModeStretch, 6 }, { ShowModeStretch, 9 },
                                                 { ShowModeNineGrid, 4 }, { ShowModeNineGrid, 4 }, { ShowModeNineGrid, 6 } };
    for (const auto& [mode, value] : calls)
        answers.push_back(picture->SetShowMode(mode, value));
    EXPECT_EQ((std::vector<int> { 1, 0, 0, 1, 0, 1 }), answers);
    EXPECT_EQ(3u, parent.updates.size());
}

// A count below 1 fails at once; a file that does not load leaves no picture, a resource that
// does not load keeps the old one; a replaced picture is released (GDI+ holds a picture's file
// open while the picture lives).
TEST_F(Pictures, ReplacingAPictureReleasesTheOldOneAndFailuresAreReported)
{
    auto picture = make<MPicture>();
    auto slider = make<CSliderPicture>();
    auto photo = make<CPhotoFrame>();
    auto frame = make<CPhotoFrame>();
    using Setter = std::function<int(const wchar_t* file, UINT resource, int frames)>;
    const std::pair<const char*, Setter> setters[] {
        { "MPicture", [&](const wchar_t* f, UINT r, int n) { return f ? picture->SetImage(f, n) : picture->SetImage(r, L"PNG", n); } },
        { "CSliderPicture", [&](const wchar_t* f, UINT r, int n) { return f ? slider->SetImage(f, n) : slider->SetImage(r, L"PNG", n); } },
        { "photo", [&](const wchar_t* f, UINT r, int n) { return f ? photo->SetPhotoFrame(f, n) : photo->SetPhotoFrame(r, L"PNG", n); } },
        { "frame", [&](const wchar_t* f, UINT r, int n) { return f ? frame->SetImage(f, n) : frame->SetImage(r, L"PNG", n); } },
    };
    for (const auto& [what, set] : setters) {
        SCOPED_TRACE(what);
        ScratchStrip first(GetSkinPath(), L"picture_first.png", 10, 10, { 0xFFFF0000 });
        ScratchStrip second(GetSkinPath(), L"picture_second.png", 10, 10, { 0xFF00FF00 });
        const std::vector<int> answers { set(L"picture_first.png", 0, 0), set(L"picture_first.png", 0, 1), set(nullptr, 4242, 1) };
        EXPECT_EQ((std::vector<int> { 0, 1, 0 }), answers);
        EXPECT_FALSE(DeleteFileW(first.path())) << "a failed resource load keeps the picture";
        EXPECT_EQ(1, set(L"picture_second.png", 0, 1));
        EXPECT_TRUE(first.remove()) << "the replaced picture was not released";
        EXPECT_EQ(0, set(L"picture_missing.png", 0, 1));
        EXPECT_TRUE(second.remove()) << "a failed file load still lets go of the old picture";
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
    const std::tuple<CPoint, CPoint, size_t, int> cases[] { { in, in, 2, 1 }, { in, out, 1, 0 }, { out, in, 0, 1 } };
    for (const auto& [down, up, codes, state] : cases) {
        parent.notifications.clear();
        photo->OnMouseMove(0, out);
        photo->OnLButtonDown(MK_LBUTTON, down);
        photo->OnLButtonUp(0, up);
        ASSERT_EQ(codes, parent.notifications.size());
        for (size_t i = 0; i < codes; ++i)
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
    struct Slide {
        int run;
        SLIDER_MODE mode;
        int width, ticks, probe;
        std::vector<PixelAt> expected;
    };
    const Slide slides[] {
        { 1, SliderLeftToRight, 300, 100, 50, { { 3, 20, kGreen }, { 147, 20, kGreen }, { 150, 20, kBare }, { 299, 20, kBare } } },
        { 1, SliderRightToLeft, 300, 100, 25, { { 224, 20, kBare }, { 226, 20, kRed }, { 299, 20, kRed } } },
        { 1, SliderTopToBottom, 300, 40, 10, { { 50, 5, kRed }, { 250, 5, kGreen }, { 50, 10, kBare } } },
        { 1, SliderLeftToRight, 60, 60, 6, { { 2, 20, kGreen }, { 6, 20, kBare } } },
        { 0, SliderLeftToRight, 300, 0, 0, {} },
    };
    for (const Slide& slide : slides) {
        SCOPED_TRACE(slide.width * 10 + slide.mode);
        auto slider = make<CSliderPicture>(L"picture_halves.png", CRect(0, 0, slide.width, 40));
        slider->SetShowMode(ShowModeStretch, 0);
        slider->SetRun(slide.run, slide.mode);
        int stepped = 0;
        for (int tick = 0; tick < slide.ticks + 5; ++tick) {
            stepped += slider->OnControlTimer();
            if (tick + 1 == slide.probe) {
                repaint(*slider);
                expectPixels(canvas, slide.expected, 2);
                EXPECT_EQ(1, slider->IsVisible());
            }
        }
        EXPECT_EQ(slide.ticks, stepped);
        repaint(*slider);
        EXPECT_EQ(0, slider->IsVisible());
        EXPECT_EQ(1, parent.updates.back().flag);
    }
}

TEST_F(Pictures, BothFactoriesBuildThePicturesOnlyTheWindowsTheLooper)
{
    using IsA = bool (*)(MControl*);
    const std::pair<const wchar_t*, IsA> rows[] {
        { L"MPicture", [](MControl* c) { return dynamic_cast<MPicture*>(c) != nullptr; } },
        { L"CPhotoFrame", [](MControl* c) { return dynamic_cast<CPhotoFrame*>(c) != nullptr; } },
        { L"CSliderPicture", [](MControl* c) { return dynamic_cast<CSliderPicture*>(c) != nullptr; } },
        { L"CGifPicture", [](MControl* c) { return dynamic_cast<CGifPicture*>(c) && !dynamic_cast<CGifPicture2*>(c); } },
        { L"CGifPicture2", [](MControl* c) { return dynamic_cast<CGifPicture2*>(c) != nullptr; } },
    };
    MPanel panel(&parent, 1, kPlace, 1);
    for (const auto& [name, isA] : rows) {
        const bool looper = isA == rows[4].second;
        std::unique_ptr<MControl> fromWindow(manager.CreateControl(2, &parent, name, 5, kPlace, L"", 1, 0));
        std::unique_ptr<MControl> fromPanel(panel.CreateControl(2, &panel, name, 5, kPlace, L"", 1, 0));
        EXPECT_TRUE(fromWindow && isA(fromWindow.get()));
        EXPECT_EQ(looper ? 1 : 0, fromWindow ? fromWindow->IsEnabled() : -1) << "the looper is always enabled";
        EXPECT_EQ(!looper, fromPanel && isA(fromPanel.get()));
    }
}

// Copies take the values (here the show mode), never a picture nor a running state.
TEST_F(Pictures, CopiesTakeValuesAndNeverShareAPicture)
{
    auto picture = make<MPicture>();
    picture->SetShowMode(ShowModeStretch, 0);
    auto copy = std::make_unique<MPicture>(*picture);
    picture.reset();
    ASSERT_EQ(1, copy->SetImage(L"picture_quadrants.png", 1));
    repaint(*copy);
    expectPixels(canvas, { { 20, 20, kRed }, { 100, 50, kYellow } }, 2);
    copy.reset();
    auto slider = make<CSliderPicture>();
    slider->SetRun(1, SliderLeftToRight);
    auto photo = make<CPhotoFrame>();
    const CSliderPicture sliderCopy(*slider);
    const CPhotoFrame photoCopy(*photo);
    EXPECT_EQ(0, CSliderPicture(sliderCopy).OnControlTimer()) << "a copy starts still";
    slider.reset();
    photo.reset();
    EXPECT_TRUE(quadrants.remove()) << "a copy holds the picture";
}

TEST_F(Pictures, ThousandPaintsOfEachClassLeaveTheGdiObjectCountFlat)
{
    ScratchGif gif(GetSkinPath(), L"picture_count.gif", 20, 20, { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF });
    const struct Released {
        PaintManager& manager;
        ~Released() { manager.ClearImgResInfo(); }
    } released { manager };
    std::unique_ptr<MControl> controls[] { make<MPicture>(), make<CPhotoFrame>(), make<CSliderPicture>(),
                                           make<CGifPicture>(L"picture_count.gif"), make<CGifPicture2>(L"picture_count.gif") };
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
        const int steady = warmGdiObjects(paintOnce);
        if (steady < 0)
            GTEST_SKIP() << "no GDI handle table";
        for (int i = 0; i < 1000; ++i)
            paintOnce();
        EXPECT_TRUE(control->IsVisible());
        EXPECT_EQ(steady, gdiObjectsSettled(steady));
    }
}

} // namespace
