// Four host threads pull 100,000 frames while the GUI thread keeps changing what the renderer
// shows, its screen type (and with it the buffers' capacity), its images and whether it shows
// in its window, with the real fast timer drawing frames on its own thread. Every frame pulled
// must be a whole JPEG that decodes to the size of some screen type and turn.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "LcdTestKit.h"
#include "LibraryHost.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr int kPullers = 4;
constexpr int kPullsEach = 25000;

bool plausibleSize(int width, int height)
{
    return (width == 480 && height == 480) || (width == 640 && height == 480) || (width == 480 && height == 640);
}

struct PullerResult {
    int frames { 0 };
    int decoded { 0 };
    int broken { 0 };
};

// Pulls into a buffer of the largest capacity, as a host must. A frame equal to the last one
// decoded is the same bytes and decodes the same; only new frames are decoded again.
void pullFrames(LEDModeCtrl& lcd, PullerResult& result)
{
    std::vector<BYTE> buffer(kLargestCapacity);
    std::vector<BYTE> last;
    for (int pull = 0; pull < kPullsEach; ++pull) {
        int length = 0;
        if (!lcd.GetLEDData(buffer.data(), length))
            continue;
        ++result.frames;
        if (length == static_cast<int>(last.size()) && memcmp(buffer.data(), last.data(), last.size()) == 0)
            continue;
        last.assign(buffer.begin(), buffer.begin() + length);
        const DecodedFrame frame = decodeFrame(last);
        ++result.decoded;
        if (!frame.complete || !plausibleSize(frame.width, frame.height))
            ++result.broken;
    }
}

} // namespace

TEST(LEDModeCtrlStress, HostThreadsPullWholeFramesWhileTheGuiChangesEverything)
{
    const ScratchStrip strip(GetSkinPath(), L"lcd-stress-strip.png", 40, 40, { 0xFFFF0000, 0xFF00FF00 });
    const ScratchStrip background(GetSkinPath(), L"lcd-stress-bk.png", 60, 60, { 0xFF2040C0 });
    ASSERT_TRUE(strip.written() && background.written());
    ColourWindow source(480, 480, RGB(250, 200, 0), RGB(0, 90, 250));
    LcdDialog dialog;
    dialog.open(CRect(0, 0, 660, 500), true);
    LEDModeCtrl* lcd = dialog.addRenderer<LEDModeCtrl>(CRect(0, 0, 640, 480));
    lcd->SetCaptureWindow(source.hwnd());
    lcd->AddCarousel(HardwareCpuTemperature);
    lcd->AddCarousel(HardwareMemoryCapacity);
    lcd->SetLEDMode(LEDModeWindowCapture);
    lcd->AddMTimer();
    dialog.SetMTimer(5);
    ASSERT_TRUE(pumpUntil([&] { return !pullFrame(*lcd).empty(); }, 5000));

    std::atomic<int> running { kPullers };
    PullerResult results[kPullers];
    std::vector<std::thread> pullers;
    for (PullerResult& result : results)
        pullers.emplace_back([&] {
            pullFrames(*lcd, result);
            --running;
        });

    int round = 0;
    while (running > 0) {
        lcd->SetLEDMode(round % 8);
        lcd->SetRotate((round % 5) * 90);
        if (round % 7 == 0)
            lcd->SetLEDScreenType(1 + round % 3);
        if (round % 11 == 0)
            lcd->SetImage(L"lcd-stress-strip.png", 2);
        if (round % 13 == 0)
            lcd->SetBKImage(round % 2 ? L"lcd-stress-bk.png" : L"lcd-stress-missing.png");
        if (round % 17 == 0)
            lcd->SetVisible(lcd->IsVisible() ? 0 : 1);
        lcd->SetBrightness(round % 101);
        dialog.paintNow();
        ++round;
    }
    for (std::thread& puller : pullers)
        puller.join();
    dialog.GetPaintManager()->KillMTimer();

    int frames = 0;
    int decoded = 0;
    for (const PullerResult& result : results) {
        EXPECT_EQ(result.broken, 0);
        frames += result.frames;
        decoded += result.decoded;
    }
    EXPECT_GT(frames, 0);
    printf("stress: %d of %d pulls gave a frame, %d distinct frames decoded, %d GUI rounds\n", frames,
           kPullers * kPullsEach, decoded, round);
    dialog.DestroyWindow();
}
