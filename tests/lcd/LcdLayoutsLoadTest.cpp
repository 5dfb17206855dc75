// Thousands of frames of the system-information layouts on both roads, the values changing
// every frame: GDI objects and heap blocks stay where they were. Two thousand frames, not
// ten: ten thousand take over two minutes under Wine on a busy machine; a leak of one
// object or block a frame shows as plainly in two.
#include "GdiObjectCount.h"
#include "LcdTestKit.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {
const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);
} // namespace

TEST(LcdLayoutsLoad, ThousandsOfFramesOnBothRoadsLeaveGdiObjectsAndHeapFlat)
{
    constexpr int kRun = 25; // frames each layout shows before the next: its still layer is kept meanwhile
    PinnedClock clock(400000);
    const ScratchStrip scale(GetSkinPath(), L"lcd-layouts-load.png", 32, 32, { 0xFF40C0FF });
    ASSERT_TRUE(scale.written());
    LcdDialog dialog;
    dialog.open(CRect(0, 0, 480, 480), false);
    OpenLcd* lcd = dialog.addRenderer(CRect(0, 0, 480, 480));
    lcd->SetLEDMode(LEDModeSystemInfo);
    lcd->SetGPUScaleImage(L"lcd-layouts-load.png", L"lcd-layouts-load.png");
    lcd->SetBrightness(70);
    DibCanvas window(480, 480);
    auto frames = [&](int count) {
        for (int i = 0; i < count; ++i) {
            const int run = i / kRun, layout = run % 12;
            lcd->SetSensorType(layout < 6 ? 11 + layout : 15 + layout); // 11 to 16, 21 to 26
            lcd->SetHardWareType(1 + run % 11);
            if (i % (kRun * 12) == 0)
                lcd->SetLEDScreenType(i % (kRun * 24) == 0 ? LEDScreenCircle : LEDScreenSquare);
            HARDWARE_INFO info {};
            info.cpuTemperature = float(i % 90), info.cpuLoad = info.gpuLoad = float(i % 100), info.memoryFree = 8;
            info.cpuClock = info.gpuClock = float(1000 + i % 4000), info.memoryUsed = float(i % 17);
            lcd->SetHardWareInfo(info);
            if (i % 2) {
                lcd->SetUpdate(0, 0);
                lcd->DrawControl(window.dc(), CRect(0, 0, 480, 480));
            } else {
                lcd->DrawHideControl();
            }
        }
    };
    // Every layout on both shapes and roads once, for what GDI and GDI+ make on first use.
    frames(kRun * 24);
    const int gdiBefore = countGdiObjects();
    const long heapBefore = busyHeapBlocks();
    frames(2000);
    EXPECT_TRUE(decodeFrame(pullFrame(*lcd)).complete());
    EXPECT_EQ(countGdiObjects(), gdiBefore);
    EXPECT_LE(busyHeapBlocks(), heapBefore + 64);
    dialog.DestroyWindow();
}
