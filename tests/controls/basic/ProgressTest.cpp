#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "InkScan.h"
#include "LibraryHost.h"
#include "PumpUntil.h"
#include "ScratchStrip.h"
#include "ValueControls.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kWhite = 0xFFFFFF, kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kGrey = 0x505050;
const CRect kBar(10, 10, 210, 30);

class Progress : public ValueFixture {
protected:
    const CString skins { GetSkinPath() };
    ScratchStrip strip { skins, L"h1_progress_strip.png", 20, 14, { 0xFFFF0000, 0xFF00FF00 } };
    ScratchStrip back { skins, L"h1_progress_back.png", 40, 10, { 0xFF505050 } };
    // Columns 0-4 red, 5-9 blue, 10-29 green, 30-39 yellow.
    ScratchStrip fore { skins, L"h1_progress_fore.png", 5, 10,
                        { 0xFFFF0000, 0xFF0000FF, 0xFF00FF00, 0xFF00FF00, 0xFF00FF00, 0xFF00FF00, 0xFFFFFF00, 0xFFFFFF00 } };
    // The strips go before the fixture's window caches: those let go of the files first.
    void TearDown() override { manager.ClearImgResInfo(); }
};

TEST_F(Progress, TheMarqueeStepsEveryThirdTickAndWrapsAtTheMaximum)
{
    auto bar = make<MProgress>(4u, kBar, 1, 1);
    EXPECT_EQ(100, bar->SetProgress(150));
    bar->SetRun(1, 97);
    std::string values;
    for (int tick = 0; tick < 9; ++tick) {
        values += std::to_string(bar->OnControlTimer());
        values += ":" + std::to_string(bar->GetProgress()) + " ";
    }
    EXPECT_EQ("0:97 0:97 1:98 0:98 0:98 1:99 0:99 0:99 1:0 ", values);
    EXPECT_EQ(1, parent.updates.back().flag);
    // Stopped, hidden, disabled or at a maximum of 0 (which would divide) it stays at 0.
    for (auto stop : { +[](MProgress& b) { b.SetRun(0, -1); }, +[](MProgress& b) { b.SetVisible(0); },
                       +[](MProgress& b) { b.SetMaxProgress(0); } }) {
        bar->SetRun(1, 0);
        stop(*bar);
        for (int tick = 0; tick < 6; ++tick)
            bar->OnControlTimer();
        EXPECT_EQ(0, bar->GetProgress());
        bar->SetVisible(1);
    }
    bar->SetEnabled(0);
    EXPECT_EQ(0, bar->SetProgress(10));
    EXPECT_EQ(1, bar->SetRun(0, 5));
}

TEST_F(Progress, EachLookFillsItsShareOfTheBar)
{
    const struct { const char* name; const wchar_t* strip; bool images; int progress, maximum; std::vector<PixelAt> pixels; } cases[] {
        { "colours", nullptr, false, 50, 100, { { 60, 27, 0xFFE100 }, { 109, 29, 0xFFE100 }, { 110, 27, kWhite } } },
        { "colours, maximum 0", nullptr, false, 50, 0, { { 60, 27, kWhite }, { 60, 29, kWhite } } },
        { "strip", L"h1_progress_strip.png", false, 50, 100, { { 60, 15, kGreen }, { 160, 15, kRed }, { 60, 27, kWhite } } },
        // A fill narrower than the 12-px margins: the image's left 10 px stretched to the height.
        { "images at 5", nullptr, true, 5, 100, { { 12, 12, kRed }, { 12, 27, kRed }, { 17, 27, kBlue }, { 21, 20, kGrey } } },
        { "images at 50", nullptr, true, 50, 100,
          { { 12, 20, kRed }, { 17, 20, kBlue }, { 60, 20, kGreen }, { 105, 20, 0xFFFF00 }, { 150, 20, kGrey } } },
        { "images, maximum 0", nullptr, true, 50, 0, { { 12, 20, kGrey }, { 60, 20, kGrey } } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto bar = make<MProgress>(4u, kBar, 1, 1);
        if (c.strip)
            bar->SetImage(c.strip, 2);
        if (c.images) {
            bar->SetBackGroundImage(CString(L"h1_progress_back.png"));
            bar->SetForeGroundImage(CString(L"h1_progress_fore.png"));
        }
        bar->SetProgress(c.progress);
        bar->SetMaxProgress(c.maximum);
        paint(*bar, 0xFFFFFFFF);
        expectPixels(canvas, c.pixels, 3);
    }
}

// The stroke at an angle measured clockwise from twelve o'clock.
DWORD ringAt(const DibCanvas& canvas, double degrees)
{
    const double radians = degrees * 3.14159265358979 / 180.0;
    return canvas.rgb(200 + static_cast<int>(std::lround(38 * std::sin(radians))),
                      60 - static_cast<int>(std::lround(38 * std::cos(radians))));
}

TEST_F(Progress, TheRingFillsClockwiseFromTwelveOClockAndShowsTheValue)
{
    constexpr DWORD selected = 0xBD30FF, grey = 0x383838;
    const struct { int progress, maximum; std::vector<std::pair<double, DWORD>> stroke; bool text; } cases[] {
        { 25, 100, { { 10, selected }, { 45, selected }, { 80, selected }, { 100, grey }, { 225, grey }, { 350, grey } }, true },
        { 0, 100, { { 10, grey }, { 180, grey } }, false },
        { 75, 100, { { 260, selected }, { 280, grey } }, true },
        { 25, 0, { { 10, grey }, { 45, grey } }, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.progress << " of " << c.maximum);
        auto ring = make<CircleProgress>(4u, CRect(140, 0, 260, 120), 1, 1);
        ring->SetProgress(c.progress);
        ring->SetMaxProgress(c.maximum);
        paint(*ring);
        for (const auto& [degrees, colour] : c.stroke)
            EXPECT_TRUE(nearColor(ringAt(canvas, degrees), colour, 6)) << degrees;
        EXPECT_EQ(c.text, scanInk(canvas, CRect(180, 45, 220, 75), 0, kWhite).any());
    }
}

// A tick that holds the bar until its deletion returns (or a deadline passes), then looks
// whether the bar's child, the last part of a control to go, is still there.
struct HeldTick {
    HANDLE entered { CreateEventW(nullptr, TRUE, FALSE, nullptr) };
    HANDLE deleted { CreateEventW(nullptr, TRUE, FALSE, nullptr) };
    bool deletionReturnedFirst { false };
    int childDeaths { 0 };
    bool childKept { false };
    ~HeldTick() { CloseHandle(entered), CloseHandle(deleted); }
};

// Counts its own end.
class Witness : public MControl {
public:
    Witness(MObject* parent, int& deaths) : MControl(parent, 5, CRect(), 1, 1, 0), m_deaths(deaths) {}
    ~Witness() override { ++m_deaths; }
    void DrawControl(HDC&, CRect) override {}

private:
    int& m_deaths;
};

class HeldProgress : public MProgress {
public:
    HeldProgress(MObject* parent, HeldTick& tick) : MProgress(parent, 4, kBar, 1, 1), m_tick(tick) {}
    int OnControlTimer() override
    {
        if (WaitForSingleObject(m_tick.entered, 0) == WAIT_TIMEOUT) {
            SetEvent(m_tick.entered);
            m_tick.deletionReturnedFirst = WaitForSingleObject(m_tick.deleted, 300) == WAIT_OBJECT_0;
            m_tick.childKept = m_tick.childDeaths == 0;
        }
        return MProgress::OnControlTimer();
    }

private:
    HeldTick& m_tick;
};

TEST(ProgressTicks, TheMarqueeAdvancesOnALiveWindowsFastTimer)
{
    NotedDialog dialog;
    auto* bar = dialog.create<MProgress>(L"MProgress", 4, kBar);
    bar->SetRun(1, 0);
    bar->AddMTimer();
    dialog.SetMTimer(1);
    EXPECT_TRUE(pumpUntil([&] { return bar->GetProgress() >= 20; }));
    dialog.GetPaintManager()->KillMTimer();
}

TEST(ProgressTicks, ATickInProgressEndsBeforeAnythingOfTheBarGoes)
{
    NotedDialog dialog;
    HeldTick tick;
    auto* bar = new HeldProgress(&dialog, tick);
    bar->SetManager(dialog.GetPaintManager());
    bar->GetControls().push_back(new Witness(bar, tick.childDeaths));
    bar->SetRun(1, 0);
    bar->AddMTimer();
    dialog.SetMTimer(1);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(tick.entered, 3000));
    delete bar;
    SetEvent(tick.deleted);
    dialog.GetPaintManager()->KillMTimer();
    EXPECT_FALSE(tick.deletionReturnedFirst);
    EXPECT_TRUE(tick.childKept);
}

} // namespace
