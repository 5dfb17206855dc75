// Ten thousand frames through both roads of the LCD renderer leave no GDI object and no heap
// block behind.
#include <gtest/gtest.h>

#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "LcdTestKit.h"
#include "LibraryHost.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

class PinnedClock {
public:
    explicit PinnedClock(DWORD start)
    {
        SYSTEMTIME noon { 2026, 3, 0, 14, 12, 0, 0, 0 };
        TimeSource::Pin(start, noon);
    }
    ~PinnedClock() { TimeSource::Unpin(); }
};

// Live blocks of every heap of the process.
long busyHeapBlocks()
{
    long blocks = 0;
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    for (DWORD h = 0; h < count && h < 64; ++h) {
        PROCESS_HEAP_ENTRY entry {};
        HeapLock(heaps[h]);
        while (HeapWalk(heaps[h], &entry))
            blocks += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ? 1 : 0;
        HeapUnlock(heaps[h]);
    }
    return blocks;
}

} // namespace

TEST(LEDModeCtrlLeaks, TenThousandFramesOnBothRoadsLeaveGdiObjectsAndHeapFlat)
{
    PinnedClock clock(120000);
    ColourWindow source(480, 480, RGB(255, 0, 0), RGB(0, 0, 255));
    OpenLcd lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    lcd.SetCaptureWindow(source.hwnd());
    lcd.AddCarousel(HardwareCpuLoad);
    lcd.SetBrightness(60);
    DibCanvas window(480, 480);
    // Every mode, both screen shapes and every turn, on the visible road (a paint) and the
    // hidden one (a tick) in turn.
    auto frames = [&](int count) {
        for (int i = 0; i < count; ++i) {
            lcd.SetLEDMode(i % 8);
            lcd.SetRotate(i % 50 == 0 ? 45 : 90 * (i % 4));
            if (i % 100 == 0)
                lcd.SetLEDScreenType(i % 200 == 0 ? LEDScreenCircle : LEDScreenSquare);
            if (i % 2) {
                lcd.SetUpdate(0, 0);
                lcd.DrawControl(window.dc(), CRect(0, 0, 480, 480));
            } else {
                TimeSource::Advance(1000);
                lcd.OnControlTimer();
            }
        }
    };
    frames(200); // warm what GDI and GDI+ make once, for both shapes
    const int gdiBefore = countGdiObjects();
    const long heapBefore = busyHeapBlocks();
    frames(10000);
    EXPECT_TRUE(decodeFrame(pullFrame(lcd)).complete);
    if (gdiBefore >= 0) {
        EXPECT_EQ(countGdiObjects(), gdiBefore);
    }
    EXPECT_LE(busyHeapBlocks(), heapBefore + 64);
}
