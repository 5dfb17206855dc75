// The 8-LED preview: its channel blocks, its run and visibility gate, its rotate buttons, its
// effect variants; and both previews on the live fast timer of a real dialog: repaint pace,
// hidden panels, the minimised window, races against the host, GDI objects.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "RecordingControl.h"
#include "ScratchStrip.h"
#include "TestWindow.h"
#include "WindowCapture.h"
#include "devices/cooling/CFan2DevCtrl.h"
#include "devices/cooling/CFanDevCtrl.h"
#include "framework/AppPaths.h"
#include "framework/MPanel.h"
#include "platform/TimeSource.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kStart = 1000000;
constexpr int kLeds = 8;
constexpr DWORD kRed = 0x0000FF;
using Buffer = std::array<BYTE, 960>;

DWORD rgb(int r, int g, int b)
{
    return static_cast<DWORD>(r) | (static_cast<DWORD>(g) << 8) | (static_cast<DWORD>(b) << 16);
}

Buffer bufferOf(CFanDevCtrl& fans)
{
    Buffer bytes {};
    for (int channel = 0; channel < 10; ++channel)
        fans.GetFanColorData(channel, bytes.data() + channel * 96);
    return bytes;
}

DWORD colorAt(const Buffer& bytes, int unit)
{
    const size_t at = static_cast<size_t>(unit) * 3;
    return rgb(bytes[at], bytes[at + 1], bytes[at + 2]);
}

class ArgbPreview : public ::testing::Test {
protected:
    void SetUp() override
    {
        SYSTEMTIME noon {};
        TimeSource::Pin(kStart, noon);
    }
    void TearDown() override { TimeSource::Unpin(); }
    int tick(DWORD ms = 1)
    {
        TimeSource::Advance(ms);
        return preview.OnControlTimer();
    }
    void layer(int mode, int direction, DWORD color1)
    {
        preview.AddLightLayer(0, mode, 16, 17, direction, 0, color1, 0, true);
    }

    RecordingParent parent;
    CFanDevCtrl preview { &parent, 7, CRect(0, 0, 600, 300), 1, 1 };
};

TEST_F(ArgbPreview, EachFanFillsItsPlaceInItsChannelBlock)
{
    preview.AddFan(2, 1, 2, 0, 0, 0);
    layer(24, 2, 0x030201);
    tick();
    const Buffer bytes = bufferOf(preview);
    for (size_t i = 0; i < bytes.size(); ++i)
        EXPECT_EQ(i >= 144 && i <= 167 ? static_cast<BYTE>(i % 3 + 1) : 0, bytes[i]) << i;
    std::array<BYTE, 96> channel {};
    preview.GetFanColorData(1, channel.data());
    EXPECT_TRUE(std::equal(channel.begin(), channel.end(), bytes.begin() + 96));
    for (int outside : { -1, 10 }) {
        channel.fill(0xAA);
        preview.GetFanColorData(outside, channel.data());
        EXPECT_EQ(0xAA, channel[0]) << outside;
    }
}

TEST_F(ArgbPreview, RingModesPlaceByRingPositionOthersByLedNumber)
{
    preview.AddFan(2, 0, 0, 0, 0, 1);
    // Mode 99 runs no effect: the colours given stay, placed by LED number.
    layer(99, 2, 0);
    DWORD colors[kLeds] = { kRed };
    preview.SetFanLightEffect(99, colors);
    tick();
    EXPECT_EQ(kRed, colorAt(bufferOf(preview), 0));

    preview.ClearLightLayer();
    layer(21, 2, 0);
    preview.RefreshLayerLed();
    tick();
    const Buffer wheel = bufferOf(preview);
    for (int led = 0; led < kLeds; ++led)
        EXPECT_EQ(FanPreview::ColorWheelToRGB(382 * led), colorAt(wheel, (led + 1) % kLeds)) << led;
}

TEST_F(ArgbPreview, TicksOnlyWhileRunningAndShown)
{
    preview.AddFan(2, 0, 0, 0, 0, 0);
    layer(24, 2, kRed);
    const std::function<void(int)> gates[] = { [this](int on) { preview.SetMonoSyncMode(on ? 0 : 1); },
                                               [this](int on) { preview.SetVisible(on); } };
    for (const auto& gate : gates) {
        gate(0);
        EXPECT_EQ(0, tick());
        gate(1);
        EXPECT_EQ(1, tick());
    }
}

TEST_F(ArgbPreview, RotatePicturesAreReadWithoutTheLockTheTickTakes)
{
    ScratchStrip strip(GetSkinPath(), L"argb_rotate_lock.png", 20, 20, { 0xFF0000FF, 0xFF00FF00 });
    // A tick holds the list lock on another thread until the host's calls returned, or gives
    // up after three seconds.
    std::atomic<bool> holding { false };
    std::atomic<bool> hostDone { false };
    std::atomic<bool> gaveUp { false };
    std::thread tick([&] {
        preview.EnterCS();
        holding = true;
        gaveUp = !pollUntil([&] { return hostDone.load(); }, 3000);
        preview.LeaveCS();
    });
    ASSERT_TRUE(pollUntil([&] { return holding.load(); }));
    // A file that does not load fails before any lock is taken.
    EXPECT_EQ(0, preview.SetRotateLeftImage(L"argb_rotate_missing.png"));
    EXPECT_EQ(0, preview.SetRotateRightImage(nullptr));
    hostDone = true;
    tick.join();
    EXPECT_FALSE(gaveUp.load()) << "the host waited for the tick's lock";
    EXPECT_EQ(1, preview.SetRotateLeftImage(L"argb_rotate_lock.png"));
    EXPECT_EQ(1, preview.SetRotateRightImage(L"argb_rotate_lock.png"));
}

TEST_F(ArgbPreview, EightLedVariantsOfTheRunningEffects)
{
    struct Case {
        int mode;
        int direction;
        int steps;
        std::function<bool(int step, int led)> lit;
    };
    const Case cases[] = {
        { 16, 2, 3, [](int k, int led) { return (led - (k - 1) + kLeds) % 2 == 0; } },
        { 23, 1, 6,
          [](int k, int led) {
              const int c = k % 5;
              return led == c || led == (kLeds - c) % kLeds;
          } },
    };
    for (const Case& effect : cases) {
        SCOPED_TRACE(effect.mode);
        CFanDevCtrl own(&parent, 8, CRect(0, 0, 600, 300), 1, 1);
        own.AddFan(2, 0, 0, 0, 0, 0);
        own.AddLightLayer(0, effect.mode, 16, 17, effect.direction, 0, kRed, 0, true);
        for (int step = 1; step <= effect.steps; ++step) {
            TimeSource::Advance(1);
            own.OnControlTimer();
            const Buffer bytes = bufferOf(own);
            for (int led = 0; led < kLeds; ++led)
                EXPECT_EQ(effect.lit(step, led) ? kRed : 0, colorAt(bytes, led)) << step << " " << led;
        }
    }
}

// ---- in a real dialog

class Strips {
public:
    Strips()
        : left(GetSkinPath(), L"fan_rotate_left_test.png", 40, 30, { 0xFF0000FF, 0xFFFF0000 })
        , right(GetSkinPath(), L"fan_rotate_right_test.png", 40, 30, { 0xFF0000FF, 0xFFFFFF00 })
    {
    }
    ScratchStrip left;
    ScratchStrip right;
};

// A panel that counts the repaint requests one child raises on the timer thread (the panel
// hands them on to the window's thread, where they pass it once more).
class CountingPanel : public MPanel {
public:
    CountingPanel(MObject* parent, CRect rect) : MPanel(parent, 20, rect, 1) {}
    LONG OnControlUpdate(CRect rect, int flag, MControl* control) override
    {
        if (watched && control == watched && ::GetCurrentThreadId() != m_guiThread)
            ++requests;
        return MPanel::OnControlUpdate(rect, flag, control);
    }
    MControl* watched { nullptr };
    std::atomic<int> requests { 0 };

private:
    const DWORD m_guiThread { ::GetCurrentThreadId() };
};

template <class Preview>
Preview* onPanel(NotedDialog& dialog, CountingPanel*& panel, const wchar_t* name, CRect rect)
{
    panel = new CountingPanel(&dialog, CRect(0, 0, 400, 300));
    panel->SetManager(dialog.GetPaintManager());
    dialog.GetPaintManager()->AppendControl(panel, 1);
    auto* preview = dynamic_cast<Preview*>(panel->CreateControl(name, 30, rect, L"", 1, 1));
    panel->watched = preview;
    return preview;
}

void paintNow(NotedDialog& dialog, MControl& control)
{
    control.UpdateControl(1, 0);
    ::UpdateWindow(dialog.GetSafeHwnd());
}

TEST(ArgbPreviewWindow, HoveredFanAloneShowsItsRotateButtonsAndTheyTurnTheRing)
{
    Strips strips;
    NotedDialog dialog(CRect(200, 200, 600, 500));
    CountingPanel* panel = nullptr;
    auto* preview = onPanel<CFanDevCtrl>(dialog, panel, L"CFanDevCtrl", CRect(0, 0, 400, 300));
    ASSERT_NE(nullptr, preview);
    ASSERT_EQ(1, preview->SetRotateLeftImage(L"fan_rotate_left_test.png"));
    ASSERT_EQ(1, preview->SetRotateRightImage(L"fan_rotate_right_test.png"));
    preview->AddFan(1, 0, 0, 0, 0, 7);
    preview->AddFan(1, 0, 1, 1, 0, 0);
    preview->RefreshLedItemRect();
    const CRect first(preview->GetFanInfo(0)->rect);
    const CRect second(preview->GetFanInfo(1)->rect);
    // Left button in the cell's bottom-left corner, right button in its bottom-right corner.
    const CPoint leftButton(first.left + 6, first.bottom - 6);
    const CPoint rightButton(second.right - 6, second.bottom - 6);
    dialog.post({ WM_MOUSEMOVE }, leftButton);
    pumpMessages();
    paintNow(dialog, *preview);
    auto shot = captureClient(dialog.GetSafeHwnd());
    EXPECT_TRUE(nearColor(shot->rgb(leftButton.x, leftButton.y), 0xFF0000, 2));
    EXPECT_FALSE(nearColor(shot->rgb(second.left + 6, second.bottom - 6), 0xFF0000, 2));

    dialog.post({ WM_LBUTTONDOWN, WM_LBUTTONUP }, leftButton);
    ASSERT_TRUE(pumpUntil([&] { return dialog.notes.size() == 1; }));
    EXPECT_EQ(0, preview->GetFanInfo(0)->ledOffset);
    EXPECT_EQ(0, preview->GetFanInfo(0)->leds[0]->ringPos);
    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, rightButton);
    ASSERT_TRUE(pumpUntil([&] { return dialog.notes.size() == 2; }));
    EXPECT_EQ(7, preview->GetFanInfo(1)->ledOffset);
    // A release away from every fan still reports.
    dialog.post({ WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(2, 295));
    ASSERT_TRUE(pumpUntil([&] { return dialog.notes.size() == 3; }));
    for (const Notification& note : dialog.notes)
        EXPECT_EQ("30:2:0:0", noteLine({ note }));
}

// The live timer at 1 ms: the buffer moves, repaints come at most every 34 ms, none while the
// panel is hidden or the window minimised.
TEST(PreviewWindow, LiveTimerPacesRepaintsAndStopsThemWhenNotShown)
{
    NotedDialog dialog(CRect(200, 200, 600, 500));
    CountingPanel* panel = nullptr;
    auto* preview = onPanel<CFan2DevCtrl>(dialog, panel, L"CFan2DevCtrl", CRect(0, 0, 400, 300));
    ASSERT_NE(nullptr, preview);
    preview->AddFan(2, 0, 0, 0, 0, 0, 0);
    preview->RefreshLedItemRect();
    preview->AddLightLayer(0, 14, 16, 17, 2, 0, 0, 0, true);
    preview->AddMTimer();
    dialog.SetMTimer(1);
    std::array<BYTE, 54> before {};
    std::array<BYTE, 54> now {};
    ASSERT_TRUE(pollUntil([&] {
        preview->GetFanColorData(0, now.data());
        return now[0] != 0;
    }));
    // Pacing is a most, never a least: however long a crowded machine takes to give a few
    // repaints, they are never closer than the pace. Unpaced, each 1 ms tick would ask for one;
    // the slack is the clocks' milliseconds.
    const DWORD start = ::timeGetTime();
    const int startRequests = panel->requests;
    ASSERT_TRUE(pumpUntil([&] { return panel->requests - startRequests >= 4; }, 10000));
    const DWORD elapsed = ::timeGetTime() - start;
    EXPECT_LE(panel->requests - startRequests, static_cast<int>(elapsed / 30) + 2);
    // Two changes of the buffer seen after a hide: the second was made by a tick that began
    // after the first ended, so after the hide. Every tick from then on sees it.
    auto twoTicksLater = [&] {
        for (int change = 0; change < 2; ++change) {
            std::array<BYTE, 54> seen {};
            preview->GetFanColorData(0, seen.data());
            ASSERT_TRUE(pollUntil([&] {
                preview->GetFanColorData(0, now.data());
                return now != seen;
            }, 10000));
        }
    };
    preview->GetFanColorData(0, before.data());
    const std::function<void(bool)> hide[] = {
        [&](bool hidden) { panel->SetVisible(hidden ? 0 : 1); },
        [&](bool hidden) { ::ShowWindow(dialog.GetSafeHwnd(), hidden ? SW_MINIMIZE : SW_SHOWNOACTIVATE); },
    };
    for (const auto& away : hide) {
        away(true);
        twoTicksLater();
        const int quiet = panel->requests;
        twoTicksLater();
        EXPECT_EQ(quiet, panel->requests);
        EXPECT_NE(before, now);
        before = now;
        away(false);
    }
    dialog.KillMTimer(0);
}

// Ten seconds of host calls against 1 ms ticks and a thread pulling a Static layer's bytes:
// no crash, no deadlock, and the pulled bytes are never black.
TEST(PreviewWindow, HostCallsRaceTheTicksAndThePull)
{
    NotedDialog dialog(CRect(200, 200, 600, 500));
    CountingPanel* panel = nullptr;
    auto* preview = onPanel<CFan2DevCtrl>(dialog, panel, L"CFan2DevCtrl", CRect(0, 0, 400, 300));
    ASSERT_NE(nullptr, preview);
    preview->AddFan(2, 0, 0, 0, 0, 0, 0);
    preview->AddLightLayer(0, 24, 16, 17, 2, 0, kRed, 0, true);
    preview->AddMTimer();
    dialog.SetMTimer(1);
    std::atomic<bool> done { false };
    std::atomic<int> blacks { 0 };
    std::atomic<int> pulls { 0 };
    ASSERT_TRUE(pollUntil([&] {
        std::array<BYTE, 54> bytes {};
        preview->GetFanColorData(0, bytes.data());
        return bytes[0] == 0xFF;
    }));
    std::thread puller([&] {
        while (!done) {
            std::array<BYTE, 54> bytes {};
            bytes.fill(0xFF);
            preview->GetFanColorData(0, bytes.data());
            blacks += bytes[0] != 0xFF;
            ++pulls;
        }
    });
    const DWORD start = ::timeGetTime();
    for (int round = 0; ::timeGetTime() - start < 10000; ++round) {
        preview->EnterCS();
        preview->ClearList();
        for (int fan = 0; fan < 1 + round % 6; ++fan)
            preview->AddFan(2, 0, fan, fan, 0, round % 18 - 9, 0);
        preview->RefreshLayerLed();
        preview->LeaveCS();
        preview->AddLightLayer(0, 11 + round % 14, 16, 17, 2, 0, 0x00FF00, 0, true);
        preview->SetLightMode(1, 10 + round % 15);
        preview->DeleteItem(1);
        preview->RefreshLedItemRect();
        pumpMessages();
    }
    done = true;
    puller.join();
    dialog.KillMTimer(0);
    EXPECT_GT(pulls, 0);
    EXPECT_EQ(0, blacks);
}

// Previews removed while the 1 ms timer ticks them: each leaves the tick list before anything
// of it goes.
TEST(PreviewWindow, RemovedWhileTicking)
{
    NotedDialog dialog(CRect(200, 200, 600, 500));
    dialog.SetMTimer(1);
    for (int round = 0; round < 40; ++round) {
        auto* fans = dynamic_cast<CFanDevCtrl*>(
            dialog.CreateControl(L"CFanDevCtrl", 32, CRect(0, 0, 400, 300), L"", 1, 1));
        ASSERT_NE(nullptr, fans);
        for (int fan = 0; fan < 4; ++fan)
            fans->AddFan(2, 0, fan, fan, 0, 0);
        fans->AddLightLayer(0, 17, 16, 17, 2, 0, kRed, 0, true);
        fans->AddMTimer();
        ASSERT_TRUE(pollUntil([&] {
            std::array<BYTE, 96> bytes {};
            fans->GetFanColorData(0, bytes.data());
            return std::any_of(bytes.begin(), bytes.end(), [](BYTE b) { return b != 0; });
        }));
        dialog.GetPaintManager()->RemoveControl(fans);
        pumpMessages();
    }
    dialog.KillMTimer(0);
}

// Ten thousand ticks with their repaints leave the GDI object count where it was.
TEST_F(ArgbPreview, TicksAndRepaintsLeakNoGdiObjects)
{
    NotedDialog dialog(CRect(200, 200, 600, 500));
    auto* fans = dynamic_cast<CFanDevCtrl*>(dialog.CreateControl(L"CFanDevCtrl", 31, CRect(0, 0, 400, 300), L"", 1, 1));
    ASSERT_NE(nullptr, fans);
    fans->AddFan(2, 0, 0, 0, 0, 0);
    fans->AddFan(1, 0, 1, 1, 0, 0);
    fans->RefreshLedItemRect();
    fans->AddLightLayer(0, 21, 16, 17, 2, 0, 0, 0, true);
    expectNoGdiGrowth(
        [&] {
            // A repaint request about every ninth tick, as at a 4 ms period.
            for (int i = 0; i < 100; ++i) {
                TimeSource::Advance(4);
                fans->OnControlTimer();
                ::UpdateWindow(dialog.GetSafeHwnd());
            }
        },
        100);
}

} // namespace
