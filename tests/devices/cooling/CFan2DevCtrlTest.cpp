// The 18-LED preview and the engine both previews share, driven tick by tick on a pinned clock:
// every effect's bytes against its formula, the buffer places, the layer rules and the faults
// the engine guards against.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "InkScan.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PageEndBuffer.h"
#include "PumpUntil.h"
#include "RecordingControl.h"
#include "ScratchStrip.h"
#include "WindowCapture.h"
#include "framework/AppPaths.h"
#include "framework/MPanel.h"
#include "framework/Manager.h"
#include "devices/cooling/CFan2DevCtrl.h"
#include "platform/TimeSource.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kStart = 1000000;
constexpr int kLeds = 18;
constexpr size_t kBufferBytes = 1728;
constexpr DWORD kRed = 0x0000FF;
constexpr DWORD kBlue = 0xFF0000;
using Buffer = std::array<BYTE, kBufferBytes>;
using Colors = std::vector<DWORD>;

DWORD rgb(int r, int g, int b)
{
    return static_cast<DWORD>(r) | (static_cast<DWORD>(g) << 8) | (static_cast<DWORD>(b) << 16);
}

// The colour wheel as its table gives it, position taken modulo 1530.
DWORD wheel(int position)
{
    const int p = (position % 1530 + 1530) % 1530;
    if (p <= 255) return rgb(255, p, 0);
    if (p <= 510) return rgb(510 - p, 255, 0);
    if (p <= 765) return rgb(0, 255, p - 511);
    if (p <= 1020) return rgb(0, 1020 - p, 255);
    if (p <= 1275) return rgb(p - 1021, 0, 255);
    return rgb(255, 0, 1530 - p);
}

DWORD scaled(DWORD color, int factor)
{
    return rgb((GetRValue(color) * factor) >> 8, (GetGValue(color) * factor) >> 8, (GetBValue(color) * factor) >> 8);
}

// A fan of one slot with LED i at ring position (i + offset) mod 18.
Buffer placed(const Colors& leds, int slot = 0, int offset = 0)
{
    Buffer bytes {};
    for (int i = 0; i < kLeds; ++i) {
        const int ring = (i + offset) % kLeds;
        const size_t at = static_cast<size_t>((slot * kLeds + (28 - ring) % kLeds) * 3);
        bytes[at] = GetRValue(leds[static_cast<size_t>(i)]);
        bytes[at + 1] = GetGValue(leds[static_cast<size_t>(i)]);
        bytes[at + 2] = GetBValue(leds[static_cast<size_t>(i)]);
    }
    return bytes;
}

Colors lit(const std::vector<int>& leds, DWORD color)
{
    Colors colors(kLeds, 0);
    for (int led : leds)
        colors[static_cast<size_t>(led)] = color;
    return colors;
}

class Preview : public ::testing::Test {
protected:
    void SetUp() override
    {
        SYSTEMTIME noon {};
        TimeSource::Pin(kStart, noon);
    }
    void TearDown() override { TimeSource::Unpin(); }

    static Buffer bufferOf(CFan2DevCtrl& fans)
    {
        Buffer bytes {};
        for (int slot = 0; slot < 32; ++slot)
            fans.GetFanColorData(slot, bytes.data() + slot * 54);
        return bytes;
    }
    Buffer buffer() { return bufferOf(preview); }
    // One tick, the clock moved on by ms first.
    int tick(DWORD ms = 1)
    {
        TimeSource::Advance(ms);
        return preview.OnControlTimer();
    }
    void layer(int mode, int direction, DWORD color1, DWORD color2 = 0, int speed = 17)
    {
        preview.AddLightLayer(0, mode, 16, speed, direction, 0, color1, color2, true);
    }

    RecordingParent parent;
    CFan2DevCtrl preview { &parent, 7, CRect(0, 0, 800, 300), 1, 1 };
};

// ---- effects, each step's whole buffer against the effect's formula

struct EffectCase {
    const char* name;
    int mode;
    int direction;
    DWORD color1;
    DWORD color2;
    int steps;
    std::function<Colors(int step)> expected;
};

Colors each(const std::function<DWORD(int led)>& color)
{
    Colors colors;
    for (int i = 0; i < kLeds; ++i)
        colors.push_back(color(i));
    return colors;
}

// The Infinite and RainbowWave levels: lit at step j + 1, rising by rise a step.
DWORD faded(DWORD color, int level)
{
    if (level <= 0) return 0;
    if (level < 255) return scaled(color, level);
    return level <= 1280 ? color : scaled(color, 1536 - level);
}

DWORD dream(int led, int counter)
{
    static const POINT grid[kLeds] = { { 6, 0 }, { 7, 1 }, { 8, 2 }, { 9, 3 }, { 8, 4 }, { 7, 5 }, { 6, 6 },
                                       { 5, 7 }, { 4, 8 }, { 3, 8 }, { 3, 7 }, { 3, 6 }, { 3, 5 }, { 3, 4 },
                                       { 2, 3 }, { 3, 2 }, { 4, 1 }, { 5, 0 } };
    const double angle = std::atan2(grid[led].y - 3.0, grid[led].x - 2.0);
    const int h = (static_cast<int>(angle * 57.295827908797776 + 180) % 360 + counter) % 360;
    const int sector = h / 60;
    const int v = 138;
    const int p = ((256 - 255) * v) >> 8;
    const int t = (((h - 60 * (sector + 1)) * 255 + 15360) * v) / 15360;
    const int q = (((60 * sector - h) * 255 + 15360) * v) / 15360;
    const int rgbs[6][3] = { { v, t, p }, { q, v, p }, { p, v, t }, { p, q, v }, { t, p, v }, { v, p, q } };
    return rgb(rgbs[sector][0], rgbs[sector][1], rgbs[sector][2]);
}

const unsigned kInfiniteStart[] = { 13, 14, 15, 16, 17, 0, 1, 2, 3 };

const EffectCase kEffects[] = {
    // Colours held or switched whole
    { "Static", 24, 2, 0x336699, 0, 3, [](int) { return Colors(kLeds, 0x336699); } },
    { "FrequencyFlashes", 15, 2, kRed, kBlue, 4,
      [](int k) { return Colors(kLeds, k == 1 ? kRed : k == 3 ? kBlue : 0); } },
    { "Breath", 20, 2, rgb(200, 100, 40), 0, 3,
      [](int k) { return Colors(kLeds, rgb(200 + 10 * k, 100 + 5 * k, 40 + 2 * k)); } },
    { "Rainbow", 11, 2, 0, 0, 3,
      [](int k) { return Colors(kLeds, rgb(255, 0, k == 3 ? 4 : k)); } },
    // The wheel spread over the ring
    { "RainbowChannel", 14, 2, 0, 0, 3,
      [](int k) { return each([k](int i) { return wheel(18 * (k - 1) + 170 * i); }); } },
    { "ColorWheel", 19, 2, 0, 0, 3,
      [](int k) { return each([k](int i) { return wheel(18 * (k - 1) + 85 * i); }); } },
    { "RainbowWheel", 21, 2, 0, 0, 3,
      [](int k) { return each([k](int i) { return wheel(30 * (k - 1) + 170 * i); }); } },
    { "DreamSpectrum", 10, 2, 0, 0, 3, [](int k) { return each([k](int i) { return dream(i, k); }); } },
    // Running lights
    { "MarqueeForward", 16, 2, kRed, 0, 3,
      [](int k) { return each([k](int i) { return (i - (k - 1) + kLeds) % 2 == 0 ? kRed : 0; }); } },
    { "MarqueeBackward", 16, 1, kRed, 0, 3,
      [](int k) { return each([k](int i) { return (i + (k - 1)) % 2 == 0 ? kRed : 0; }); } },
    { "Custom1l", 23, 1, kBlue, 0, 11, [](int k) { return k % 11 <= 8 ? lit({ k % 11, 17 - k % 11 }, kBlue) : Colors(kLeds, 0); } },
    { "ColorConvection", 22, 2, kRed, 0, 5,
      [](int k) { return each([k](int i) { return i >= 1 && i <= k ? kRed : 0; }); } },
    { "Sunny", 18, 1, kRed, kBlue, 6,
      [](int k) {
          static const std::vector<std::vector<int>> runs = { { 0 }, { 0, 1 }, { 0, 1, 2 }, { 0, 1, 2, 3 },
                                                                       { 2, 3, 4 }, { 3, 4, 5 } };
          return lit(runs[static_cast<size_t>(k - 1)], kRed);
      } },
    // Levels fading in along a path
    { "RainbowWave", 12, 2, kRed, 0, 4,
      [](int k) { return each([k](int i) { return i < k ? faded(kRed, 1 + 18 * (k - 1 - i)) : 0; }); } },
    { "Infinite", 17, 2, kRed, 0, 4,
      [](int k) {
          Colors colors(kLeds, 0);
          for (int j = 0; j < k; ++j)
              colors[kInfiniteStart[j]] = faded(kRed, 1 + 160 * (k - 1 - j));
          return colors;
      } },
};

TEST_F(Preview, EveryEffectWritesItsFormulaIntoTheBuffer)
{
    for (const EffectCase& effect : kEffects) {
        SCOPED_TRACE(effect.name);
        // A preview of its own: the levels of one preview are shared by all its layers.
        CFan2DevCtrl own(&parent, 8, CRect(0, 0, 800, 300), 1, 1);
        own.AddFan(2, 0, 0, 0, 0, 0, 0);
        own.AddLightLayer(0, effect.mode, 16, 17, effect.direction, 0, effect.color1, effect.color2, true);
        for (int step = 1; step <= effect.steps; ++step) {
            SCOPED_TRACE("step " + std::to_string(step));
            TimeSource::Advance(1);
            ASSERT_EQ(1, own.OnControlTimer());
            EXPECT_EQ(placed(effect.expected(step)), bufferOf(own));
        }
    }
}

TEST_F(Preview, TemperatureBandsFollowTheThresholds)
{
    preview.AddFan(2, 0, 0, 0, 0, 0, 0);
    layer(3, 2, 0);
    preview.SetSensorTemperatureValue(0, 16, 40, 60);
    preview.SetSensorTemperatureColor(0, kRed, 0x00FF00, kBlue);
    const struct { int t; DWORD color; } bands[] = { { 30, kRed }, { 40, 0x00FF00 }, { 50, 0x00FF00 }, { 60, kBlue },
                                                     { 70, kBlue } };
    for (const auto& band : bands) {
        SCOPED_TRACE(band.t);
        preview.SetDevTemperature(0, band.t, 0);
        preview.SetSensorDeviceType(0, 2);
        tick(1000);
        EXPECT_EQ(placed(Colors(kLeds, band.color)), buffer());
    }
}

TEST_F(Preview, SpeedSetsTheStepIntervalInMilliseconds)
{
    const struct { int mode; DWORD interval; } cases[] = { { 11, 10 }, { 16, 100 } };
    for (const auto& speed16 : cases) {
        SCOPED_TRACE(speed16.mode);
        preview.ClearList();
        preview.ClearLightLayer();
        preview.AddFan(2, 0, 0, 0, 0, 0, 0);
        layer(speed16.mode, 2, kRed, 0, 16);
        tick();
        const Buffer first = buffer();
        tick(speed16.interval - 1);
        EXPECT_EQ(first, buffer());
        tick(1);
        EXPECT_NE(first, buffer());
    }
}

TEST_F(Preview, RainbowChannelStepsOncePerTickWhateverTheClock)
{
    preview.AddFan(2, 0, 0, 0, 0, 0, 0);
    layer(14, 2, 0, 0, 1);
    tick(0);
    tick(0);
    EXPECT_EQ(placed(each([](int i) { return wheel(2 + 170 * i); })), buffer());
}

TEST_F(Preview, LayersCombineByOrAndHiddenOrDarkLayersAddNothing)
{
    preview.AddFan(2, 0, 0, 0, 0, 0, 0);
    preview.AddFan(2, 0, 1, 1, 0, 0, 0);
    layer(24, 2, kRed);
    layer(24, 2, kBlue);
    tick();
    Buffer both = placed(Colors(kLeds, kRed | kBlue), 0);
    const Buffer second = placed(Colors(kLeds, kRed | kBlue), 1);
    for (size_t i = 54; i < 108; ++i)
        both[i] = second[i];
    EXPECT_EQ(both, buffer());

    // The blue layer leaves the second fan alone; hiding or darkening it leaves the first red.
    preview.SetSelectDev(1, 2, 0);
    const std::function<void()> darken[] = { [this] { preview.SetShowState(1, false); },
                                             [this] { preview.SetBrightness(1, 0); } };
    for (const auto& dark : darken) {
        preview.SetShowState(1, true);
        preview.SetBrightness(1, 16);
        dark();
        tick();
        Buffer red = placed(Colors(kLeds, kRed), 0);
        const Buffer secondRed = placed(Colors(kLeds, kRed), 1);
        for (size_t i = 54; i < 108; ++i)
            red[i] = secondRed[i];
        EXPECT_EQ(red, buffer());
    }
}

// ---- places in the buffer

TEST_F(Preview, EachFanFillsItsSlotAtItsRingPlaces)
{
    preview.AddFan(2, 2, 1, 0, 0, 0, 0);
    layer(24, 2, 0x030201);
    tick();
    const Buffer bytes = buffer();
    for (size_t i = 0; i < kBufferBytes; ++i)
        EXPECT_EQ(i >= 594 && i <= 647 ? (i % 3 == 0 ? 1 : i % 3 == 1 ? 2 : 3) : 0, bytes[i]) << i;

    // LED 0 of a fan turned by 3 sits at ring position 3, place 7 of its slot.
    preview.ClearList();
    preview.ClearLightLayer();
    preview.AddFan(2, 0, 0, 0, 0, 3, 0);
    layer(99, 2, 0);
    DWORD colors[kLeds] = { kRed };
    preview.SetFanLightEffect(99, colors);
    preview.SetFanLightEffect(99, nullptr);
    tick();
    Buffer expected {};
    expected[7 * 3] = 0xFF;
    EXPECT_EQ(expected, buffer());
    EXPECT_EQ(3, preview.GetFanInfo(0)->leds[0]->ringPos);
}

TEST_F(Preview, SlotsOutsideTheBufferAreNeitherWrittenNorRead)
{
    preview.AddFan(2, 6, 2, 0, 0, 0, 0); // slot 32
    preview.AddFan(2, 6, 1, 1, 0, 0, 0); // slot 31
    layer(24, 2, kRed);
    tick();
    std::array<BYTE, 54> out;
    for (int slot : { -1, 32, 40 }) {
        out.fill(0xAA);
        preview.GetFanColorData(slot, out.data());
        EXPECT_EQ(0xAA, out[0]) << slot;
    }
    preview.GetFanColorData(31, out.data());
    EXPECT_EQ(0xFF, out[0]);
}

// 32 fans are 576 LEDs: the levels and the output reach every one of them, the last included.
TEST_F(Preview, AHostTableIsReadNoFurtherThanTheCountItComesWith)
{
    // Two fans, the table of one: the counted call stops at its end.
    preview.AddFan(2, 0, 0, 0, 0, 0, 0);
    preview.AddFan(2, 0, 1, 1, 0, 0, 0);
    layer(99, 2, 0);
    PageEndBuffer<DWORD> oneFan(kLeds);
    for (size_t i = 0; i < oneFan.size(); ++i)
        oneFan[i] = kRed;
    struct Case {
        int count;
        int lit; // LEDs of the preview that take a colour
    };
    for (const Case& c : { Case { kLeds, kLeds }, Case { 5, 5 }, Case { 0, 0 }, Case { -3, 0 } }) {
        SCOPED_TRACE(c.count);
        preview.SetLightMode(0, 99);
        preview.SetFanLightEffect(99, oneFan.data(), c.count);
        tick();
        const Buffer bytes = buffer();
        int lit = 0;
        for (size_t at = 0; at < kBufferBytes; at += 3)
            lit += bytes[at] == 0xFF;
        EXPECT_EQ(c.lit, lit);
    }
    preview.SetFanLightEffect(99, nullptr, kLeds);
    // The call without a count reads a colour for every LED of both fans.
    PageEndBuffer<DWORD> bothFans(2 * kLeds);
    for (size_t i = 0; i < bothFans.size(); ++i)
        bothFans[i] = kBlue;
    preview.SetFanLightEffect(99, bothFans.data());
    tick();
    EXPECT_EQ(0xFF, buffer()[54 + 2]) << "the second fan's first byte of blue";
}

TEST_F(Preview, MonoSyncBlanksAtOnceWithoutSleepingAndWaitsOutATickHoldingTheLocks)
{
    preview.AddFan(2, 0, 0, 0, 0, 0, 0);
    layer(24, 2, kRed);
    tick();
    // A call that slept its 100 ms would make twenty take two seconds at the least, on any
    // machine; calls that never sleep stay under that however crowded it is.
    constexpr int kCalls = 20;
    const DWORD start = ::GetTickCount();
    for (int call = 0; call < kCalls; ++call)
        preview.SetMonoSyncMode(call % 2);
    EXPECT_LT(::GetTickCount() - start, kCalls * 100u);
    EXPECT_EQ(0u, preview.GetFanInfo(0)->leds[0]->color);
    // A tick in progress (the locks held on another thread) is waited out, not overtaken.
    std::atomic<bool> holding { false };
    std::atomic<bool> released { false };
    std::thread tickInProgress([&] {
        preview.EnterCS();
        holding = true;
        ::Sleep(50);
        preview.GetFanInfo(0)->leds[0]->color = kBlue;
        released = true;
        preview.LeaveCS();
    });
    ASSERT_TRUE(pollUntil([&] { return holding.load(); }));
    preview.SetMonoSyncMode(1);
    EXPECT_TRUE(released.load());
    EXPECT_EQ(0u, preview.GetFanInfo(0)->leds[0]->color);
    tickInProgress.join();
}

// A preview of each kind whose protected members a derived host may call.
class DerivedPreview : public CFan2DevCtrl {
public:
    using CFan2DevCtrl::CFan2DevCtrl;
    void callKeptEffects()
    {
        UpdateRainbow1ChannelEffect();
        UpdateColorWheelEffect();
    }
};

TEST_F(Preview, TheKeptEffectsWithoutALayerDoNothing)
{
    DerivedPreview derived(&parent, 8, CRect(0, 0, 800, 300), 1, 1);
    derived.AddFan(2, 0, 0, 0, 0, 0, 0);
    derived.AddLightLayer(0, 24, 16, 17, 2, 0, kRed, 0, true);
    derived.OnControlTimer();
    derived.callKeptEffects();
    EXPECT_EQ(placed(Colors(kLeds, kRed)), bufferOf(derived));
}

TEST_F(Preview, LevelEffectsReachTheLastOfFiveHundredSeventySixLeds)
{
    for (int mode : { 12, 17 }) {
        SCOPED_TRACE(mode);
        CFan2DevCtrl own(&parent, 8, CRect(0, 0, 800, 300), 1, 1);
        for (int slot = 0; slot < 32; ++slot)
            own.AddFan(2, slot / 5, slot % 5, slot % 8, slot / 8, 0, 0);
        own.AddLightLayer(0, mode, 16, 17, 2, 0, kRed, 0, true);
        bool lastLit = false;
        for (int step = 0; step < 700 && !lastLit; ++step) {
            TimeSource::Advance(1);
            own.OnControlTimer();
            lastLit = own.GetFanInfo(31)->leds[17]->color != 0 || own.GetFanInfo(31)->leds[0]->color != 0;
        }
        EXPECT_EQ(mode == 12, lastLit);
    }
}

TEST_F(Preview, NegativeOffsetsGiveRingPositionsOnTheRing)
{
    preview.AddFan(2, 0, 0, 0, 0, -1, 0);
    preview.AddFan(2, 0, 1, 1, 0, -37, 0);
    EXPECT_EQ(17, preview.GetFanInfo(0)->leds[0]->ringPos);
    EXPECT_EQ(17, preview.GetFanInfo(1)->leds[0]->ringPos);
    EXPECT_EQ(0, preview.GetFanInfo(1)->leds[1]->ringPos);
}

TEST_F(Preview, ColourWheelWrapsEveryFifteenThirtySteps)
{
    for (int p : { 0, 1, 255, 700, 1529 }) {
        EXPECT_EQ(wheel(p), FanPreview::ColorWheelToRGB(p)) << p;
        EXPECT_EQ(wheel(p), FanPreview::ColorWheelToRGB(p + 1530)) << p;
        EXPECT_EQ(wheel(p), FanPreview::ColorWheelToRGB(p + 3060)) << p;
        EXPECT_EQ(wheel(p), FanPreview::ColorWheelToRGB(p - 1530)) << p;
    }
    EXPECT_EQ(rgb(255, 0, 0), FanPreview::ColorWheelToRGB(1530));
}

// A copy has its own locks and no fans, layers or pictures: it ticks nothing and changes
// nothing of the original.
TEST_F(Preview, CopiesTakeTheValuesOnly)
{
    preview.AddFan(2, 0, 0, 0, 0, 0, 0);
    layer(24, 2, kRed);
    tick();
    CFan2DevCtrl copy(preview);
    EXPECT_EQ(0, copy.GetFanDevCount());
    EXPECT_EQ(0, copy.OnControlTimer());
    std::array<BYTE, 54> out;
    out.fill(0xAA);
    copy.GetFanColorData(0, out.data());
    EXPECT_EQ(0xAA, out[0]);
    copy.AddFan(2, 1, 0, 0, 0, 0, 0);
    copy.ClearList();
    EXPECT_EQ(1, preview.GetFanDevCount());
    tick();
    EXPECT_EQ(placed(Colors(kLeds, kRed)), buffer());
}

TEST_F(Preview, ClockIsTheLibrarysMilliseconds)
{
    const unsigned long long before = preview.GetCurMillSeconds();
    TimeSource::Advance(250);
    EXPECT_EQ(before + 250, preview.GetCurMillSeconds());
}

// ---- the tick's gate and its repaint requests

TEST_F(Preview, TickNeedsFansAndLayersAndRepaintsAtMostEvery34Ms)
{
    EXPECT_EQ(0, tick());
    preview.AddFan(2, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(0, tick());
    layer(24, 2, kRed);
    parent.updates.clear();
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(1, tick(1));
    EXPECT_EQ(3u, parent.updates.size());
}

TEST_F(Preview, EighteenLedTickIgnoresTheRunFlag)
{
    preview.AddFan(2, 0, 0, 0, 0, 0, 0);
    layer(24, 2, kRed);
    preview.SetMonoSyncMode(1);
    EXPECT_EQ(1, tick());
    EXPECT_EQ(placed(Colors(kLeds, kRed)), buffer());
}

// ---- layers and the LED copies

TEST_F(Preview, RubberBandPicksTheFirstLayersLeds)
{
    preview.AddFan(2, 0, 0, 0, 0, 0, 0);
    preview.RefreshLedItemRect();
    layer(24, 2, kRed);
    const CRect dot0(preview.GetFanInfo(0)->leds[0]->rect);
    // Pressed left of LED 0, dragged over it only; the band stays active until the release.
    const CPoint start(dot0.left - 2, dot0.top - 2);
    preview.OnControlLButtonDown(MK_LBUTTON, start);
    preview.OnControlMouseMove(MK_LBUTTON, CPoint(start.x + 21, start.y + 7));
    tick();
    EXPECT_EQ(placed(lit({ 0 }, kRed)), buffer());
    preview.OnControlLButtonUp(0, CPoint(start.x + 21, start.y + 7));
    tick();
    EXPECT_EQ(placed(lit({ 0 }, kRed)), buffer());

    // A band under six pixels tall picks nothing.
    preview.OnControlLButtonDown(MK_LBUTTON, start);
    preview.OnControlMouseMove(MK_LBUTTON, CPoint(start.x + 30, start.y + 3));
    tick();
    EXPECT_EQ(placed(Colors(kLeds, 0)), buffer());
}

TEST_F(Preview, ReleaseBesideTheTogglesOnlySelectsTheFan)
{
    preview.AddFan(2, 0, 0, 0, 0, 0, 0);
    preview.RefreshLedItemRect();
    const CRect cell(preview.GetFanInfo(0)->rect);
    // Without a toggle strip the buttons have no width: a release under the cell only selects.
    preview.OnControlLButtonDown(MK_LBUTTON, CPoint(cell.left + 5, cell.bottom + 40));
    preview.OnControlLButtonUp(0, CPoint(cell.left + 5, cell.bottom + 40));
    EXPECT_TRUE(parent.notifications.empty());
    EXPECT_EQ(0, preview.GetSelectDeviceItem());
    EXPECT_FALSE(preview.GetFanInfo(0)->flag);
}

// ---- in a real dialog

// A host that takes the preview off the fast timer and puts it back on every report: were the
// report made holding the preview's locks, the waiting tick would never let go.
class RestartingDialog : public NotedDialog {
public:
    RestartingDialog() : NotedDialog(CRect(200, 200, 600, 500)) {}
    LRESULT OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        NotedDialog::OnMessage(id, code, wParam, lParam);
        if (preview) {
            GetPaintManager()->DeleteFSTimer(preview);
            preview->AddMTimer();
        }
        return 0;
    }
    MControl* preview { nullptr };
};

TEST(PreviewDialog, DirectionTogglesReportDrawTheirFramesAndDotsShowTheirColours)
{
    ScratchStrip toggles(GetSkinPath(), L"fan2_toggle_test.png", 40, 24, { 0xFF0000FF, 0xFF00FF00 });
    RestartingDialog dialog;
    auto* page = new MPanel(&dialog, 20, CRect(0, 0, 400, 300), 1);
    page->SetManager(dialog.GetPaintManager());
    dialog.GetPaintManager()->AppendControl(page, 1);
    auto* preview = dynamic_cast<CFan2DevCtrl*>(page->CreateControl(L"CFan2DevCtrl", 30, CRect(0, 0, 400, 300), L"", 1, 1));
    ASSERT_NE(nullptr, preview);
    ASSERT_EQ(1, preview->SetRotateImage(L"fan2_toggle_test.png"));
    preview->AddFan(2, 0, 0, 0, 0, 0, 0);
    preview->RefreshLedItemRect();
    preview->AddLightLayer(0, 24, 16, 17, 2, 0, kRed, 0, true);
    preview->AddMTimer();
    dialog.SetMTimer(1);
    dialog.preview = preview;

    // One fan at zoom 1: toggles 40 × 24 side by side under the 36-pixel strip, meeting at the
    // cell's centre line.
    const CRect cell(preview->GetFanInfo(0)->rect);
    const CPoint forward(cell.left + 73 - 40 + 3, cell.top + 146 + 2 + 36 + 3);
    const CPoint reverse(cell.left + 73 + 3, forward.y);
    for (int click = 0; click < 21; ++click) {
        dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, click % 2 ? forward : reverse);
        ASSERT_TRUE(pumpUntil([&] { return dialog.notes.size() == static_cast<size_t>(click + 1); })) << click;
        EXPECT_EQ(click % 2 ? "30:2:0:1" : "30:2:0:2", noteLine({ dialog.notes.back() }));
    }
    EXPECT_EQ(1, preview->GetFanInfo(0)->direction);
    ASSERT_TRUE(pollUntil([&] {
        std::array<BYTE, 54> bytes {};
        preview->GetFanColorData(0, bytes.data());
        return bytes[0] == 0xFF;
    }));
    dialog.KillMTimer(0);
    preview->UpdateControl(1, 0);
    ::UpdateWindow(dialog.GetSafeHwnd());
    auto shot = captureClient(dialog.GetSafeHwnd());
    for (int ring = 0; ring < kLeds; ++ring) {
        CRect dot;
        preview->GetLEDItemRect(2, ring, cell.left, cell.top, 1.0, dot);
        EXPECT_TRUE(nearColor(shot->rgb(dot.CenterPoint().x, dot.CenterPoint().y), 0xFF0000, 2)) << ring;
    }
    EXPECT_TRUE(nearColor(shot->rgb(reverse.x, reverse.y), 0x00FF00, 2));
    EXPECT_TRUE(nearColor(shot->rgb(forward.x, forward.y), 0x0000FF, 2));

    // Any language without words of its own writes the Chinese words: ink on the toggles.
    const int language = Manager::GetLanguage();
    Manager::SetLanguage(2052);
    preview->UpdateControl(1, 0);
    ::UpdateWindow(dialog.GetSafeHwnd());
    shot = captureClient(dialog.GetSafeHwnd());
    Manager::SetLanguage(language);
    EXPECT_TRUE(scanInk(*shot, CRect(reverse.x - 3, reverse.y - 3, reverse.x + 37, reverse.y + 21), 0x00FF00, 0xFFFFFF).any());
}

const CRect kBandPlace(100, 0, 400, 250);

// A preview alone in a dialog, its one fan running Static red; a corner of the window is empty.
struct BandDialog {
    BandDialog()
    {
        ::SetCursorPos(0, 0);
        preview = dialog.adopt(new CFan2DevCtrl(&dialog, 30, kBandPlace, 1, 1));
        preview->AddFan(2, 0, 0, 0, 0, 0, 0);
        preview->RefreshLedItemRect();
        preview->AddLightLayer(0, 24, 16, 17, 2, 0, kRed, 0, true);
        pumpUntil([&] { return ::GetUpdateRect(dialog.GetSafeHwnd(), nullptr, FALSE) == FALSE; });
    }
    void send(UINT msg, UINT keys, CPoint at)
    {
        dialog.PostMessageW(msg, keys, MAKELPARAM(at.x, at.y));
        pumpMessages();
        pumpUntil([&] { return ::GetQueueStatus(QS_ALLINPUT | QS_POSTMESSAGE) == 0; }, 500);
    }
    // The LEDs the first layer lights after a tick.
    int litLeds()
    {
        preview->OnControlTimer();
        std::array<BYTE, 54> bytes {};
        preview->GetFanColorData(0, bytes.data());
        int lit = 0;
        for (size_t at = 0; at < bytes.size(); at += 3)
            lit += bytes[at] == 0xFF;
        return lit;
    }
    bool bandShown()
    {
        const auto shot = dialog.shot();
        return scanInk(*shot, kBandPlace, 0x000000, 0x4CFF29).matching > 0;
    }
    NotedDialog dialog { CRect(200, 200, 600, 500) };
    CFan2DevCtrl* preview { nullptr };
};

TEST(PreviewDialog, OnlyABandPressedInsideThePreviewPicksLedsAndItsReleaseEndsIt)
{
    // One fan at zoom 1: its cell at (177, 34); LED 0's dot at (255, 41), 10 pixels a side.
    const CPoint nearLed0(250, 37);
    const CPoint overLed0(272, 45);
    const CPoint emptyCorner(20, 280);
    const CPoint belowPreview(390, 290);
    struct Step {
        UINT msg;
        UINT keys;
        CPoint at;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        int lit;
        bool bandAfter;
    };
    const Case cases[] = {
        { "left press in an empty corner, dragged over the dots",
          { { WM_LBUTTONDOWN, MK_LBUTTON, emptyCorner }, { WM_MOUSEMOVE, MK_LBUTTON, nearLed0 },
            { WM_MOUSEMOVE, MK_LBUTTON, overLed0 }, { WM_MOUSEMOVE, MK_LBUTTON, CPoint(380, 240) } },
          kLeds, false },
        { "right press in an empty corner, dragged over the dots",
          { { WM_RBUTTONDOWN, MK_RBUTTON, emptyCorner }, { WM_MOUSEMOVE, MK_RBUTTON, nearLed0 },
            { WM_MOUSEMOVE, MK_RBUTTON, CPoint(380, 240) }, { WM_RBUTTONUP, 0, CPoint(380, 240) } },
          kLeds, false },
        { "left press inside, dragged out of the preview",
          { { WM_MOUSEMOVE, 0, nearLed0 }, { WM_LBUTTONDOWN, MK_LBUTTON, nearLed0 },
            { WM_MOUSEMOVE, MK_LBUTTON, belowPreview } },
          kLeds, false },
        { "right press inside, dragged over LED 0, released",
          { { WM_MOUSEMOVE, 0, nearLed0 }, { WM_RBUTTONDOWN, MK_RBUTTON, nearLed0 },
            { WM_MOUSEMOVE, MK_RBUTTON, overLed0 }, { WM_RBUTTONUP, 0, overLed0 } },
          1, false },
        { "left press inside, dragged over LED 0, held",
          { { WM_MOUSEMOVE, 0, nearLed0 }, { WM_LBUTTONDOWN, MK_LBUTTON, nearLed0 },
            { WM_MOUSEMOVE, MK_LBUTTON, overLed0 } },
          1, true },
    };
    BandDialog host;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.preview->UpdateLightLayerDevice();
        ASSERT_EQ(kLeds, host.litLeds());
        for (const Step& step : c.steps)
            host.send(step.msg, step.keys, step.at);
        EXPECT_EQ(c.lit, host.litLeds());
        EXPECT_EQ(c.bandAfter, host.bandShown());
        host.send(WM_LBUTTONUP, 0, CPoint(380, 240));
        host.send(WM_MOUSEMOVE, 0, emptyCorner);
    }
}

} // namespace
