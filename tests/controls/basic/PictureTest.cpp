#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
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

constexpr DWORD kRed = 0xFF0000;
constexpr DWORD kGreen = 0x00FF00;
constexpr DWORD kBlue = 0x0000FF;
constexpr DWORD kYellow = 0xFFFF00;
constexpr DWORD kBlack = 0x000000;
constexpr DWORD kUncovered = 0xF2F2F2;
// The control of every case: 100 × 50 at (10, 10) on a black canvas.
const CRect kPlace(10, 10, 110, 60);

// A 30 × 20 picture of four 15 × 10 quadrants: red, green over blue, yellow.
class ScratchQuadrants : public ScratchFile {
public:
    explicit ScratchQuadrants(const CString& name) : ScratchFile(GetSkinPath(), name)
    {
        const CLSID png = { 0x557cf406, 0x1a04, 0x11d3, { 0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e } };
        Gdiplus::Bitmap picture(30, 20, PixelFormat32bppARGB);
        {
            Gdiplus::Graphics graphics(&picture);
            const DWORD colours[4] { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00 };
            for (int quadrant = 0; quadrant < 4; ++quadrant) {
                Gdiplus::SolidBrush brush { Gdiplus::Color(colours[quadrant]) };
                graphics.FillRectangle(&brush, quadrant % 2 * 15, quadrant / 2 * 10, 15, 10);
            }
        }
        m_written = picture.Save(m_path, &png, nullptr) == Gdiplus::Ok;
    }
};

// The pictures drawn into a canvas the way a window paints them.
class Pictures : public ::testing::Test {
public:
    void SetUp() override { ASSERT_TRUE(quadrants.written()); }
    template <class T>
    std::unique_ptr<T> make(CRect rect = kPlace)
    {
        auto control = std::make_unique<T>(&parent, 7, rect, 1, 1);
        control->SetManager(&manager);
        return control;
    }
    void paint(MControl& control) { control.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height())); }
    // Paints the control's look again from scratch over a black canvas.
    void repaint(MControl& control)
    {
        canvas.fill(0xFF000000);
        control.SetUpdate(0, 0);
        paint(control);
    }
    // Red, green and blue only: GDI copies leave the alpha byte as they please.
    bool showsOnly(DWORD rgb) const
    {
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x)
                if (canvas.rgb(x, y) != rgb)
                    return false;
        return true;
    }
    std::vector<int> codes() const
    {
        std::vector<int> heard;
        for (const Notification& notification : parent.notifications)
            heard.push_back(static_cast<int>(notification.code));
        return heard;
    }

    ScratchQuadrants quadrants { L"picture_quadrants.png" };
    PaintManager manager;
    RenderingParent parent;
    DibCanvas canvas { 320, 100, 0xFF000000 };
};

TEST_F(Pictures, EachShowModeLaysTheFirstFrameOverTheControl)
{
    struct Case {
        const char* what;
        std::function<void(MPicture&)> setUp;
        int frames;
        std::vector<PixelAt> expected;
    };
    const Case cases[] {
        { "natural, top left", [](MPicture& p) { p.SetAlignment(DT_LEFT, DT_TOP); }, 1,
          { { 12, 12, kRed }, { 37, 12, kGreen }, { 12, 27, kBlue }, { 37, 27, kYellow }, { 45, 45, kBlack } } },
        { "natural, bottom right", [](MPicture& p) { p.SetAlignment(DT_RIGHT, DT_BOTTOM); }, 1,
          { { 82, 42, kRed }, { 108, 58, kYellow }, { 12, 12, kBlack } } },
        { "natural, centred", [](MPicture& p) { p.SetAlignment(DT_CENTER, DT_VCENTER); }, 1,
          { { 47, 27, kRed }, { 73, 43, kYellow }, { 43, 27, kBlack } } },
        // 4 × 3 tiles, the last column and row cut to 10 px.
        { "tiled", [](MPicture& p) { p.SetShowMode(ShowModeTile, 0); }, 1,
          { { 12, 12, kRed }, { 35, 15, kGreen }, { 15, 25, kBlue }, { 35, 25, kYellow }, { 42, 32, kRed },
            { 72, 52, kRed }, { 95, 12, kGreen }, { 109, 59, kRed }, { 110, 45, kBlack }, { 60, 60, kBlack } } },
        { "stretched", [](MPicture& p) { p.SetShowMode(ShowModeStretch, 0); }, 1,
          { { 20, 20, kRed }, { 100, 20, kGreen }, { 20, 50, kBlue }, { 100, 50, kYellow } } },
        { "first frame only", [](MPicture& p) { p.SetShowMode(ShowModeStretch, 0); }, 2,
          { { 20, 20, kRed }, { 100, 20, kRed }, { 100, 50, kBlue } } },
        { "nine-grid", [](MPicture& p) { p.SetShowMode(ShowModeNineGrid, 4); }, 1,
          { { 11, 11, kRed }, { 108, 11, kGreen }, { 11, 58, kBlue }, { 108, 58, kYellow } } },
        { "nine-grid with margins", [](MPicture& p) { p.SetShowModeMID(2, 2, 2, 2); }, 1,
          { { 11, 11, kRed }, { 108, 11, kGreen }, { 11, 58, kBlue }, { 108, 58, kYellow } } },
        { "custom source rectangle", [](MPicture& p) {
              p.SetCustomRect(CRect(15, 0, 30, 10));
              p.SetShowMode(ShowModeCustomRect, 0);
          }, 1,
          { { 12, 12, kGreen }, { 105, 50, kGreen }, { 60, 35, kGreen } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto picture = make<MPicture>();
        ASSERT_EQ(1, picture->SetImage(L"picture_quadrants.png", c.frames));
        c.setUp(*picture);
        repaint(*picture);
        expectPixels(canvas, c.expected, 2);
    }
}

TEST_F(Pictures, SetShowModeAnswersOneOnAChangeAndRepaintsWithIt)
{
    auto picture = make<MPicture>();
    struct Call {
        enumShowMode mode;
        int value;
        int answer;
    };
    const Call calls[] { { ShowModeStretch, 6, 1 }, { ShowModeStretch, 6, 0 }, { ShowModeStretch, 9, 0 },
                         { ShowModeNineGrid, 4, 1 }, { ShowModeNineGrid, 4, 0 }, { ShowModeNineGrid, 6, 1 } };
    for (const Call& call : calls) {
        parent.updates.clear();
        EXPECT_EQ(call.answer, picture->SetShowMode(call.mode, call.value));
        EXPECT_EQ(static_cast<size_t>(call.answer), parent.updates.size());
        for (const auto& update : parent.updates)
            EXPECT_EQ(1, update.flag);
    }
    EXPECT_EQ(1, picture->SetShowModeMID(1, 2, 3, 4));
    EXPECT_EQ(1, picture->SetShowModeMID(1, 2, 3, 4));
}

// A frame count below 1 fails before anything changes; a file that does not load leaves no
// picture; a resource that does not load keeps the old one. Each class lets go of the picture
// it replaces (GDI+ holds a picture's file open while the picture lives).
TEST_F(Pictures, ReplacingAPictureReleasesTheOldOneAndFailuresAreReported)
{
    struct Kind {
        const char* name;
        std::function<std::unique_ptr<MControl>(Pictures&)> make;
        std::function<int(MControl&, const wchar_t*, int)> setFile;
        std::function<int(MControl&, UINT, int)> setResource;
    };
    const Kind kinds[] {
        { "MPicture", [](Pictures& f) { return std::unique_ptr<MControl>(f.make<MPicture>()); },
          [](MControl& c, const wchar_t* file, int n) { return dynamic_cast<MPicture&>(c).SetImage(file, n); },
          [](MControl& c, UINT id, int n) { return dynamic_cast<MPicture&>(c).SetImage(id, L"PNG", n); } },
        { "CSliderPicture", [](Pictures& f) { return std::unique_ptr<MControl>(f.make<CSliderPicture>()); },
          [](MControl& c, const wchar_t* file, int n) { return dynamic_cast<CSliderPicture&>(c).SetImage(file, n); },
          [](MControl& c, UINT id, int n) { return dynamic_cast<CSliderPicture&>(c).SetImage(id, L"PNG", n); } },
        { "CPhotoFrame photo", [](Pictures& f) { return std::unique_ptr<MControl>(f.make<CPhotoFrame>()); },
          [](MControl& c, const wchar_t* file, int n) { return dynamic_cast<CPhotoFrame&>(c).SetPhotoFrame(file, n); },
          [](MControl& c, UINT id, int n) { return dynamic_cast<CPhotoFrame&>(c).SetPhotoFrame(id, L"PNG", n); } },
        { "CPhotoFrame frame", [](Pictures& f) { return std::unique_ptr<MControl>(f.make<CPhotoFrame>()); },
          [](MControl& c, const wchar_t* file, int n) { return dynamic_cast<CPhotoFrame&>(c).SetImage(file, n); },
          [](MControl& c, UINT id, int n) { return dynamic_cast<CPhotoFrame&>(c).SetImage(id, L"PNG", n); } },
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        ScratchStrip first(GetSkinPath(), L"picture_first.png", 10, 10, { 0xFFFF0000 });
        ScratchStrip second(GetSkinPath(), L"picture_second.png", 10, 10, { 0xFF00FF00 });
        auto control = kind.make(*this);
        EXPECT_EQ(0, kind.setFile(*control, L"picture_first.png", 0));
        EXPECT_EQ(1, kind.setFile(*control, L"picture_first.png", 1));
        EXPECT_EQ(0, kind.setResource(*control, 4242, 1));
        EXPECT_FALSE(DeleteFileW(first.path())) << "a failed resource load keeps the picture";
        EXPECT_EQ(1, kind.setFile(*control, L"picture_second.png", 1));
        EXPECT_TRUE(first.remove()) << "the replaced picture was not released";
        EXPECT_EQ(0, kind.setFile(*control, L"picture_missing.png", 1));
        EXPECT_TRUE(second.remove()) << "a failed file load still lets go of the old picture";
    }
}

TEST_F(Pictures, WithoutAPictureOrWithEmptyFramesNothingIsDrawn)
{
    const std::function<int(MPicture&)> setUps[] {
        [](MPicture&) { return 1; },
        [](MPicture& p) { return p.SetImage(L"picture_missing.png", 1) == 0 ? 1 : 0; },
        // 30 px cut into 40 frames: each frame is 0 px wide.
        [](MPicture& p) { return p.SetImage(L"picture_quadrants.png", 40); },
    };
    for (const enumShowMode mode : { ShowModeNormal, ShowModeTile, ShowModeStretch, ShowModeNineGrid }) {
        for (const auto& setUp : setUps) {
            SCOPED_TRACE(static_cast<int>(mode));
            auto picture = make<MPicture>();
            ASSERT_EQ(1, setUp(*picture));
            picture->SetShowMode(mode, 4);
            repaint(*picture);
            EXPECT_TRUE(showsOnly(kBlack));
        }
    }
}

// The press machine of the buttons: code 1 on a press inside, code 2 on a release inside
// after it, nothing for a release outside; every look shows the photo under the frame image's
// second strip frame.
TEST_F(Pictures, APhotoFrameReportsPressAndClickAndShowsItsFrameOverThePhoto)
{
    ScratchStrip frame(GetSkinPath(), L"picture_frame.png", 40, 40, { 0xFFFF0000, 0x800000FF });
    auto photo = make<CPhotoFrame>();
    ASSERT_EQ(1, photo->SetPhotoFrame(L"picture_quadrants.png", 1));
    ASSERT_EQ(1, photo->SetImage(L"picture_frame.png", 2));
    photo->SetShowMode(ShowModeStretch, 0);
    const CPoint inside(60, 35), outside(150, 80);
    struct Case {
        const char* what;
        std::vector<std::pair<bool, CPoint>> presses; // (down, point)
        std::vector<int> codes;
        int state;
    };
    const Case cases[] {
        { "click", { { true, inside }, { false, inside } }, { 1, 2 }, 1 },
        { "released outside", { { true, inside }, { false, outside } }, { 1 }, 0 },
        { "released without a press", { { false, inside } }, {}, 1 },
        { "pressed outside", { { true, outside }, { false, inside } }, {}, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        parent.notifications.clear();
        photo->OnMouseMove(0, outside);
        for (const auto& [down, pt] : c.presses)
            down ? photo->OnLButtonDown(MK_LBUTTON, pt) : photo->OnLButtonUp(0, pt);
        EXPECT_EQ(c.codes, codes());
        EXPECT_EQ(c.state, photo->GetState());
        repaint(*photo);
        // Red under half-opaque blue, never the strip's red first frame.
        expectPixels(canvas, { { 20, 20, 0x7F0080 }, { 100, 50, 0x7F7F80 } }, 3);
    }
}

struct Slide {
    SLIDER_MODE mode;
    CRect place;
    int ticks;  // until it stops
    int probe;  // ticks before the pixels are looked at
    std::vector<PixelAt> expected;
};

// The picture, left half red and right half green, slides in from its side: left to right its
// right edge enters first.
TEST_F(Pictures, ASliderPictureStepsAHundredthOfItsSideEachTickThenHides)
{
    const Slide slides[] {
        // 300 px: 3 px a tick; after 50 ticks the picture's right half shows in 150 columns.
        { SliderLeftToRight, CRect(0, 0, 300, 40), 100, 50,
          { { 3, 20, kGreen }, { 147, 20, kGreen }, { 150, 20, kUncovered }, { 299, 20, kUncovered } } },
        { SliderRightToLeft, CRect(0, 0, 300, 40), 100, 25,
          { { 224, 20, kUncovered }, { 226, 20, kRed }, { 299, 20, kRed } } },
        { SliderTopToBottom, CRect(0, 0, 300, 40), 40, 10,
          { { 50, 5, kRed }, { 250, 5, kGreen }, { 50, 10, kUncovered } } },
        // Under 100 px a step is still 1 px, and the slide ends.
        { SliderLeftToRight, CRect(0, 0, 60, 40), 60, 6,
          { { 2, 20, kGreen }, { 6, 20, kUncovered } } },
    };
    for (const Slide& slide : slides) {
        SCOPED_TRACE(slide.place.Width() * 10 + slide.mode);
        ScratchStrip halves(GetSkinPath(), L"picture_halves.png", 10, 10, { 0xFFFF0000, 0xFF00FF00 });
        auto slider = make<CSliderPicture>(slide.place);
        ASSERT_EQ(1, slider->SetImage(L"picture_halves.png", 1));
        slider->SetShowMode(ShowModeStretch, 0);
        EXPECT_EQ(1, slider->SetRun(1, slide.mode));
        int stepped = 0;
        for (int tick = 0; tick < slide.probe; ++tick)
            stepped += slider->OnControlTimer();
        repaint(*slider);
        expectPixels(canvas, slide.expected, 2);
        EXPECT_EQ(1, slider->IsVisible()) << "hidden while sliding";
        for (int tick = slide.probe; tick < slide.ticks + 5; ++tick)
            stepped += slider->OnControlTimer();
        EXPECT_EQ(slide.ticks, stepped);
        parent.updates.clear();
        paint(*slider);
        EXPECT_EQ(0, slider->IsVisible()) << "still shown after its last step";
        ASSERT_EQ(1u, parent.updates.size());
        EXPECT_EQ(1, parent.updates[0].flag);
    }
}

TEST_F(Pictures, ASliderPictureShownWithoutRunningHidesOnItsFirstPaint)
{
    auto slider = make<CSliderPicture>();
    ASSERT_EQ(1, slider->SetImage(L"picture_quadrants.png", 1));
    EXPECT_EQ(0, slider->OnControlTimer());
    slider->SetEnabled(0);
    EXPECT_EQ(0, slider->SetRun(1, SliderLeftToRight)) << "a disabled slider does not start";
    EXPECT_EQ(0, slider->OnControlTimer());
    paint(*slider);
    EXPECT_EQ(0, slider->IsVisible());
}

// The classes of the family by name, from the window's and the panels' factory.
TEST_F(Pictures, BothFactoriesBuildThePicturesTheGifLooperOnlyTheWindows)
{
    struct Row {
        const wchar_t* name;
        bool inPanels;
        bool isA(MControl* c) const
        {
            const std::wstring n = name;
            if (n == L"MPicture") return dynamic_cast<MPicture*>(c) != nullptr;
            if (n == L"CPhotoFrame") return dynamic_cast<CPhotoFrame*>(c) != nullptr;
            if (n == L"CSliderPicture") return dynamic_cast<CSliderPicture*>(c) != nullptr;
            if (n == L"CGifPicture2") return dynamic_cast<CGifPicture2*>(c) != nullptr;
            return dynamic_cast<CGifPicture*>(c) != nullptr && dynamic_cast<CGifPicture2*>(c) == nullptr;
        }
    };
    const Row rows[] { { L"MPicture", true }, { L"CPhotoFrame", true }, { L"CSliderPicture", true },
                       { L"CGifPicture", true }, { L"CGifPicture2", false } };
    MPanel panel(&parent, 1, CRect(0, 0, 200, 100), 1);
    for (const Row& row : rows) {
        SCOPED_TRACE(std::wstring(row.name).size());
        std::unique_ptr<MControl> fromWindow(manager.CreateControl(2, &parent, row.name, 5, kPlace, L"", 1, 0));
        ASSERT_NE(nullptr, fromWindow);
        EXPECT_TRUE(row.isA(fromWindow.get()));
        // The looper is built with form C: enabled whatever it is given.
        EXPECT_EQ(row.inPanels ? 0 : 1, fromWindow->IsEnabled());
        std::unique_ptr<MControl> fromPanel(panel.CreateControl(2, &panel, row.name, 5, kPlace, L"", 1, 0));
        EXPECT_EQ(row.inPanels, fromPanel && row.isA(fromPanel.get()));
    }
}

// Copies take the values (here the show mode) but neither pictures nor a running state: two
// owners would release one image.
TEST_F(Pictures, CopiesTakeValuesAndNeverShareAPicture)
{
    auto original = make<MPicture>();
    ASSERT_EQ(1, original->SetImage(L"picture_quadrants.png", 1));
    original->SetShowMode(ShowModeStretch, 0);
    auto copy = std::make_unique<MPicture>(*original);
    original.reset();
    repaint(*copy);
    EXPECT_TRUE(showsOnly(kBlack));
    ASSERT_EQ(1, copy->SetImage(L"picture_quadrants.png", 1));
    repaint(*copy);
    expectPixels(canvas, { { 20, 20, kRed }, { 100, 50, kYellow } }, 2);

    auto photo = make<CPhotoFrame>();
    ASSERT_EQ(1, photo->SetPhotoFrame(L"picture_quadrants.png", 1));
    auto slider = make<CSliderPicture>();
    ASSERT_EQ(1, slider->SetImage(L"picture_quadrants.png", 1));
    slider->SetRun(1, SliderLeftToRight);
    const CPhotoFrame photoCopy(*photo);
    const CSliderPicture sliderCopy(*slider);
    EXPECT_EQ(0, CSliderPicture(sliderCopy).OnControlTimer()) << "a copy starts still";
    copy.reset();
    photo.reset();
    slider.reset();
    EXPECT_TRUE(quadrants.remove()) << "a copy holds a picture";
}

TEST_F(Pictures, ThousandPaintsOfEachClassLeaveTheGdiObjectCountFlat)
{
    ScratchGif gif(GetSkinPath(), L"picture_count.gif", 20, 20, { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF });
    ASSERT_TRUE(gif.written());
    struct ReleasedImages {
        PaintManager& manager;
        ~ReleasedImages() { manager.ClearImgResInfo(); }
    } released { manager };
    struct Kind {
        const char* name;
        std::function<std::unique_ptr<MControl>(Pictures&)> make;
        // What changes between two paints.
        std::function<void(MControl&, int round)> step;
    };
    const Kind kinds[] {
        { "MPicture",
          [](Pictures& f) {
              auto p = f.make<MPicture>();
              p->SetImage(L"picture_quadrants.png", 1);
              return std::unique_ptr<MControl>(std::move(p));
          },
          [](MControl& c, int round) {
              dynamic_cast<MPicture&>(c).SetShowMode(round % 2 ? ShowModeTile : ShowModeNineGrid, 4);
          } },
        { "CPhotoFrame",
          [](Pictures& f) {
              auto p = f.make<CPhotoFrame>();
              p->SetPhotoFrame(L"picture_quadrants.png", 1);
              p->SetImage(L"picture_quadrants.png", 2);
              return std::unique_ptr<MControl>(std::move(p));
          },
          [](MControl& c, int round) { c.OnMouseMove(0, round % 2 ? CPoint(20, 20) : CPoint(200, 90)); } },
        { "CSliderPicture",
          [](Pictures& f) {
              auto p = f.make<CSliderPicture>();
              p->SetImage(L"picture_quadrants.png", 1);
              p->SetRun(1, SliderLeftToRight);
              return std::unique_ptr<MControl>(std::move(p));
          },
          [](MControl& c, int round) {
              auto& slider = dynamic_cast<CSliderPicture&>(c);
              slider.SetRun(1, static_cast<SLIDER_MODE>(1 + round % 3));
              slider.OnControlTimer();
          } },
        { "CGifPicture",
          [](Pictures& f) {
              auto p = f.make<CGifPicture>();
              p->SetImage(L"picture_count.gif", 1);
              return std::unique_ptr<MControl>(std::move(p));
          },
          [](MControl& c, int round) { dynamic_cast<CGifPicture&>(c).SetRunState(1, round % 3); } },
        { "CGifPicture2",
          [](Pictures& f) {
              auto p = f.make<CGifPicture2>();
              p->SetImage(L"picture_count.gif", 1);
              p->SetRunState(1, 0);
              return std::unique_ptr<MControl>(std::move(p));
          },
          [](MControl& c, int) { c.OnControlTimer(); } },
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        auto control = kind.make(*this);
        // Every tenth paint after a change renders the look again; the others copy it.
        int round = 0;
        auto paintOnce = [&] {
            if (++round % 10 == 0) {
                kind.step(*control, round / 10);
                control->SetUpdate(0, 0);
            }
            paint(*control);
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
