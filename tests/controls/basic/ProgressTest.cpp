#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "ButtonKinds.h"
#include "DibCanvas.h"
#include "InkScan.h"
#include "LibraryHost.h"
#include "NotifyingControl.h"
#include "PumpUntil.h"
#include "ScratchStrip.h"
#include "ValueControls.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kBlack = 0x000000;
constexpr DWORD kWhite = 0xFFFFFF;
constexpr DWORD kRed = 0xFF0000;
constexpr DWORD kGreen = 0x00FF00;
constexpr DWORD kBlue = 0x0000FF;
constexpr DWORD kYellow = 0xFFFF00;
constexpr DWORD kSelected = 0xBD30FF;

// 200 × 20 at (10, 10).
const CRect kBar(10, 10, 210, 30);

class Progress : public ::testing::Test {
protected:
    template <class T>
    std::unique_ptr<T> make(CRect rect)
    {
        auto control = std::make_unique<T>(&parent, 4, rect, 1, 1);
        control->SetManager(&manager);
        return control;
    }
    void paint(MControl& control) { control.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height())); }

    // The skins, written before the window's cache opens them and released by it first.
    const CString skins { GetSkinPath() };
    ScratchStrip strip { skins, L"h1_progress_strip.png", 20, 14, { 0xFFFF0000, 0xFF00FF00 } };
    ScratchStrip back { skins, L"h1_progress_back.png", 40, 10, { 0xFF505050 } };
    // Columns 0-4 red, 5-9 blue, 10-29 green, 30-39 yellow.
    ScratchStrip fore { skins, L"h1_progress_fore.png", 5, 10,
                        { 0xFFFF0000, 0xFF0000FF, 0xFF00FF00, 0xFF00FF00, 0xFF00FF00, 0xFF00FF00, 0xFFFFFF00, 0xFFFFFF00 } };
    PaintManager manager;
    RenderingParent parent;
    DibCanvas canvas { 260, 120, 0xFFFFFFFF };
};

TEST_F(Progress, ValuesStayInTheRangeAndADisabledBarKeepsItsOwn)
{
    auto bar = make<MProgress>(kBar);
    EXPECT_EQ(100, bar->SetProgress(150));
    EXPECT_EQ(100, bar->SetProgress(-5));
    EXPECT_EQ(1, bar->SetRun(1, 40));
    EXPECT_EQ(40, bar->GetProgress());
    EXPECT_EQ(1, bar->SetRun(1, 101)) << "a start past the maximum is not taken";
    EXPECT_EQ(40, bar->GetProgress());
    bar->SetEnabled(0);
    EXPECT_EQ(40, bar->SetProgress(10));
    EXPECT_EQ(1, bar->SetRun(0, 0));
    EXPECT_EQ(1, bar->IsRunning());
}

TEST_F(Progress, TheMarqueeStepsEveryThirdTickAndWrapsAtTheMaximum)
{
    auto bar = make<MProgress>(kBar);
    bar->SetRun(1, 97);
    std::string values, stepped;
    const size_t requests = parent.updates.size();
    for (int tick = 0; tick < 9; ++tick) {
        stepped += std::to_string(bar->OnControlTimer());
        values += std::to_string(bar->GetProgress()) + " ";
    }
    EXPECT_EQ("97 97 98 98 98 99 99 99 0 ", values);
    EXPECT_EQ("001001001", stepped);
    EXPECT_EQ(requests + 3, parent.updates.size());
    EXPECT_EQ(1, parent.updates.back().flag);

    for (auto stop : { +[](MProgress& b) { b.SetRun(0, -1); }, +[](MProgress& b) { b.SetVisible(0); } }) {
        bar->SetRun(1, 0);
        bar->SetVisible(1);
        stop(*bar);
        for (int tick = 0; tick < 6; ++tick)
            EXPECT_EQ(0, bar->OnControlTimer());
        EXPECT_EQ(0, bar->GetProgress());
    }
    // A maximum of 0 keeps the marquee at 0 instead of dividing.
    bar->SetVisible(1);
    bar->SetRun(1, 0);
    bar->SetMaxProgress(0);
    for (int tick = 0; tick < 6; ++tick)
        bar->OnControlTimer();
    EXPECT_EQ(0, bar->GetProgress());
}

TEST_F(Progress, EachLookFillsItsShareOfTheBar)
{
    struct Case {
        const char* name;
        void (*dress)(MProgress&);
        int progress;
        int maximum;
        std::vector<PixelAt> pixels;
    };
    const Case cases[] {
        { "colours", [](MProgress&) {}, 50, 100,
          { { 60, 27, 0xFFE100 }, { 109, 29, 0xFFE100 }, { 110, 27, kWhite }, { 60, 25, kWhite } } },
        { "colours, maximum 0", [](MProgress&) {}, 50, 0, { { 60, 27, kWhite }, { 60, 29, kWhite } } },
        { "strip", [](MProgress& b) { b.SetImage(L"h1_progress_strip.png", 2); }, 50, 100,
          { { 60, 15, kGreen }, { 160, 15, kRed }, { 60, 27, kWhite } } },
        { "images at 5: the left 10 px stretched", [](MProgress& b) {
              b.SetBackGroundImage(CString(L"h1_progress_back.png"));
              b.SetForeGroundImage(CString(L"h1_progress_fore.png"));
          }, 5, 100,
          { { 12, 12, kRed }, { 12, 27, kRed }, { 17, 27, kBlue }, { 21, 20, 0x505050 }, { 150, 20, 0x505050 } } },
        { "images at 50: a nine-grid", [](MProgress& b) {
              b.SetBackGroundImage(CString(L"h1_progress_back.png"));
              b.SetForeGroundImage(CString(L"h1_progress_fore.png"));
          }, 50, 100,
          { { 12, 20, kRed }, { 17, 20, kBlue }, { 60, 20, kGreen }, { 105, 20, kYellow }, { 150, 20, 0x505050 } } },
        { "images, maximum 0", [](MProgress& b) {
              b.SetBackGroundImage(CString(L"h1_progress_back.png"));
              b.SetForeGroundImage(CString(L"h1_progress_fore.png"));
          }, 50, 0, { { 12, 20, 0x505050 }, { 60, 20, 0x505050 } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        canvas.fill(0xFFFFFFFF);
        auto bar = make<MProgress>(kBar);
        c.dress(*bar);
        bar->SetProgress(c.progress);
        bar->SetMaxProgress(c.maximum);
        paint(*bar);
        expectPixels(canvas, c.pixels, 3);
    }
}

TEST_F(Progress, ThePercentSignShowsOnlyAgainstAMaximumOf100)
{
    canvas.fill(0xFF000000);
    // Tall enough to keep the line and the fill at the bottom away from the text.
    auto bar = make<MProgress>(CRect(10, 10, 210, 50));
    bar->SetTitle(L"T");
    bar->SetProgress(42);
    const CRect text(kBar.left + 70, kBar.top, kBar.left + 130, kBar.top + 20);
    paint(*bar);
    EXPECT_FALSE(scanInk(canvas, text, kBlack, kWhite).any()) << "no text until it is asked for";
    bar->EnableShowText(1);
    bar->SetUpdate(0, 0);
    paint(*bar);
    const Ink percent = scanInk(canvas, text, kBlack, kWhite);
    canvas.fill(0xFF000000);
    bar->SetMaxProgress(200);
    bar->SetUpdate(0, 0);
    paint(*bar);
    const Ink plain = scanInk(canvas, text, kBlack, kWhite);
    ASSERT_TRUE(plain.any());
    EXPECT_GT(percent.bounds.Width(), plain.bounds.Width() + 5);
    EXPECT_GT(plain.matching, 10) << "white: the brush, not the grey colour value";
}

// Samples the ring's stroke at an angle measured clockwise from twelve o'clock.
DWORD ringAt(const DibCanvas& canvas, CPoint centre, double degrees)
{
    const double radians = degrees * 3.14159265358979 / 180.0;
    return canvas.rgb(centre.x + static_cast<int>(std::lround(38 * std::sin(radians))),
                      centre.y - static_cast<int>(std::lround(38 * std::cos(radians))));
}

TEST_F(Progress, TheRingFillsClockwiseFromTwelveOClock)
{
    struct Case {
        int progress;
        int maximum;
        std::vector<std::pair<double, DWORD>> stroke;
        bool text;
    };
    constexpr DWORD grey = 0x383838;
    const Case cases[] {
        { 25, 100, { { 10, kSelected }, { 45, kSelected }, { 80, kSelected }, { 100, grey }, { 225, grey }, { 350, grey } }, true },
        { 0, 100, { { 10, grey }, { 45, grey }, { 180, grey } }, false },
        { 75, 100, { { 10, kSelected }, { 260, kSelected }, { 280, grey } }, true },
        { 25, 0, { { 10, grey }, { 45, grey } }, true },
    };
    const CPoint centre(200, 60);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.progress);
        canvas.fill(0xFF000000);
        auto ring = make<CircleProgress>(CRect(140, 0, 260, 120));
        ring->SetProgress(c.progress);
        ring->SetMaxProgress(c.maximum);
        paint(*ring);
        for (const auto& [degrees, colour] : c.stroke)
            EXPECT_TRUE(nearColor(ringAt(canvas, centre, degrees), colour, 6)) << degrees;
        EXPECT_EQ(c.text, scanInk(canvas, CRect(180, 45, 220, 75), kBlack, kWhite).any());
    }
}

// A tick that holds the bar busy until its deletion returns, or until the deadline, and then
// looks whether the bar's child is still there: the last part of a control to go, after the
// bar's own state.
struct HeldTick {
    HANDLE entered { CreateEventW(nullptr, TRUE, FALSE, nullptr) };
    HANDLE deleted { CreateEventW(nullptr, TRUE, FALSE, nullptr) };
    std::atomic<bool> held { false };
    bool deletionReturnedFirst { false };
    int childDeaths { 0 };
    bool childKept { false };
    ~HeldTick()
    {
        CloseHandle(entered);
        CloseHandle(deleted);
    }
};

class HeldProgress : public MProgress {
public:
    HeldProgress(MObject* parent, HeldTick& tick) : MProgress(parent, 4, kBar, 1, 1), m_tick(tick) {}
    int OnControlTimer() override
    {
        if (!m_tick.held.exchange(true)) {
            SetEvent(m_tick.entered);
            m_tick.deletionReturnedFirst = WaitForSingleObject(m_tick.deleted, 300) == WAIT_OBJECT_0;
            m_tick.childKept = m_tick.childDeaths == 0;
        }
        return MProgress::OnControlTimer();
    }

private:
    HeldTick& m_tick;
};

TEST(ProgressTicks, ATickInProgressEndsBeforeAnythingOfTheBarGoes)
{
    NotedDialog dialog;
    HeldTick tick;
    auto* bar = new HeldProgress(&dialog, tick);
    bar->SetManager(dialog.GetPaintManager());
    EventLog log;
    bar->GetControls().push_back(new NotifyingControl(bar, 5, CRect(), log, &tick.childDeaths));
    bar->SetRun(1, 0);
    bar->AddMTimer();
    dialog.SetMTimer(1);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(tick.entered, 3000));
    delete bar;
    SetEvent(tick.deleted);
    dialog.GetPaintManager()->KillMTimer();
    EXPECT_FALSE(tick.deletionReturnedFirst);
    EXPECT_TRUE(tick.childKept);
    EXPECT_EQ(1, tick.childDeaths);
}

TEST(ProgressTicks, TheMarqueeRunsOnTheWindowsFastTimer)
{
    NotedDialog dialog;
    auto* bar = dialog.create<MProgress>(L"MProgress", 4, kBar);
    ASSERT_NE(nullptr, bar);
    bar->SetRun(1, 0);
    bar->AddMTimer();
    dialog.SetMTimer(1);
    EXPECT_TRUE(pumpUntil([&] { return bar->GetProgress() >= 20; }));
    dialog.GetPaintManager()->KillMTimer();
    EXPECT_TRUE(dialog.notes.empty()) << "a bar sends nothing";
}

} // namespace
