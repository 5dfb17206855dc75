// The LCD renderer under load: host threads pulling while the GUI changes everything, and ten
// thousand frames through both roads, which must leave no GDI object or heap block behind.
#include <atomic>
#include <thread>

#include "GdiObjectCount.h"
#include "LcdTestKit.h"
#include "PumpUntil.h"
#include "ScratchClip.h"
#include "ScratchFolder.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

} // namespace

// Four host threads pull 100,000 times while the GUI thread changes the mode, the screen type
// (and with it the buffers' capacity), the images and whether the renderer shows, and the real
// fast timer draws frames on its own thread. Every new frame must be a whole JPEG of the size
// of some screen type and turn.
TEST(LEDModeCtrlLoad, HostThreadsPullWholeFramesWhileTheGuiChangesEverything)
{
    const ScratchStrip background(GetSkinPath(), L"lcd-stress-bk.png", 60, 60, { 0xFF2040C0 });
    const ColourWindow source(480, 480, RGB(250, 200, 0), RGB(0, 90, 250));
    LcdDialog dialog;
    dialog.open(CRect(0, 0, 660, 500), true);
    OpenLcd* lcd = dialog.addRenderer(CRect(0, 0, 640, 480));
    lcd->SetCaptureWindow(source.hwnd());
    lcd->AddCarousel(HardwareCpuTemperature);
    lcd->AddCarousel(HardwareMemoryCapacity);
    lcd->SetLEDMode(LEDModeWindowCapture);
    lcd->AddMTimer();
    dialog.SetMTimer(5);
    ASSERT_TRUE(pumpUntil([&] { return !pullFrame(*lcd).empty(); }, 5000));

    std::atomic<int> running { 4 }, frames { 0 }, broken { 0 };
    std::vector<std::thread> pullers;
    for (int p = 0; p < 4; ++p)
        pullers.emplace_back([&] {
            std::vector<BYTE> buffer(kLargestCapacity);
            std::vector<BYTE> last;
            for (int pull = 0, length = 0; pull < 25000; ++pull) {
                // The same bytes decode the same: only new frames are decoded.
                if (!lcd->GetLEDData(buffer.data(), length)
                    || std::equal(buffer.begin(), buffer.begin() + length, last.begin(), last.end()))
                    continue;
                last.assign(buffer.begin(), buffer.begin() + length);
                const cv::Size size = decodeFrame(last).bgr.size();
                broken += size != cv::Size(480, 480) && size != cv::Size(640, 480) && size != cv::Size(480, 640);
                ++frames;
            }
            --running;
        });
    for (int round = 0; running > 0; ++round) {
        lcd->SetLEDMode(round % 8);
        lcd->SetRotate((round % 5) * 90);
        if (round % 7 == 0)
            lcd->SetLEDScreenType(1 + round % 3);
        if (round % 13 == 0)
            lcd->SetBKImage(round % 2 ? L"lcd-stress-bk.png" : L"lcd-stress-missing.png");
        if (round % 17 == 0)
            lcd->SetVisible(lcd->IsVisible() ? 0 : 1);
        lcd->SetBrightness(round % 101);
        dialog.paintNow();
    }
    for (std::thread& puller : pullers)
        puller.join();
    dialog.GetPaintManager()->KillMTimer();
    EXPECT_TRUE(broken == 0 && frames > 0) << broken << " broken of " << frames;
    dialog.DestroyWindow();
}

// A host asks for hidden frames on its own thread (DrawHideControl) while the tick draws hidden
// frames of a renderer that is not shown: both drew into and encoded one surface at once, and
// the encoder read past a surface the other thread had just made again.
TEST(LEDModeCtrlLoad, AHostDrawingHiddenFramesBesideTheTickGetsWholeFrames)
{
    LcdDialog dialog;
    dialog.open(CRect(0, 0, 660, 500), false);
    OpenLcd* lcd = dialog.addRenderer(CRect(0, 0, 640, 480));
    lcd->SetLEDMode(LEDModeSystemInfo);
    lcd->AddMTimer();
    dialog.SetMTimer(1);
    ASSERT_TRUE(pumpUntil([&] { return !pullFrame(*lcd).empty(); }, 5000));

    std::atomic<bool> done { false };
    std::atomic<int> broken { 0 };
    std::thread host([&] {
        std::vector<BYTE> buffer(kLargestCapacity);
        for (int round = 0, length = 0; round < 400; ++round) {
            lcd->DrawHideControl();
            if (lcd->GetLEDData(buffer.data(), length) && !decodeFrame({ buffer.begin(), buffer.begin() + length }).complete())
                ++broken;
        }
        done = true;
    });
    // The screen type changes the size of the surface both threads draw into.
    for (int round = 0; !done; ++round) {
        lcd->SetLEDScreenType(1 + round % 3);
        pumpUntil([&] { return done.load(); }, 2);
    }
    host.join();
    dialog.GetPaintManager()->KillMTimer();
    EXPECT_EQ(0, broken.load());
    dialog.DestroyWindow();
}

TEST(LEDModeCtrlLoad, TenThousandFramesOnBothRoadsLeaveGdiObjectsAndHeapFlat)
{
    PinnedClock clock(120000);
    ColourWindow source(480, 480, RGB(255, 0, 0), RGB(0, 0, 255));
    OpenLcd lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    lcd.SetCaptureWindow(source.hwnd());
    lcd.AddCarousel(HardwareCpuLoad);
    lcd.SetBrightness(60);
    // The clock faces with their hands, an icon and a video behind the round ones.
    const ScratchStrip hand(GetSkinPath(), L"lcd-load-hand.png", 6, 80, { 0xFFFF0000 });
    const ScratchFolder folder(L"lcd-load");
    const ScratchClip clip(folder.path(), L"clip.avi", ScratchClip::Mjpg, 25, 20);
    lcd.SetHMSImage(L"lcd-load-hand.png", L"lcd-load-hand.png", L"lcd-load-hand.png");
    lcd.SetIcon1Image(L"lcd-load-hand.png");
    lcd.SetClockFileImage(clip.path(), MediaKindVideo);
    DibCanvas window(480, 480);
    // Every mode, every screen shape and turn, and each clock face once a pass of 64 frames, on
    // the visible road (a paint) and the hidden one (a tick): the road flips every pass, so
    // every face meets both roads and all three shapes in 384 frames.
    auto frames = [&](int count) {
        for (int i = 0; i < count; ++i) {
            const int pass = i / 64;
            lcd.SetLEDMode(i % 8);
            lcd.SetColockType(1 + i / 8 % 8);
            lcd.SetRotate(i % 50 == 0 ? 45 : 90 * (i % 4));
            if (i % 64 == 0)
                lcd.SetLEDScreenType(pass % 3 == 0 ? LEDScreenCircle : pass % 3 == 1 ? LEDScreenSquare : LEDScreenWide);
            if ((i + pass) % 2) {
                lcd.SetUpdate(0, 0);
                lcd.DrawControl(window.dc(), CRect(0, 0, 480, 480));
            } else {
                TimeSource::Advance(1000);
                lcd.OnControlTimer();
            }
        }
    };
    // Warm what GDI and GDI+ make once, and the kept layers of every screen (a bounded set),
    // until a whole round of modes adds nothing.
    int gdiBefore = -1;
    for (int round = 0; round < 10 && countGdiObjects() != gdiBefore; ++round) {
        gdiBefore = countGdiObjects();
        frames(384);
    }
    const long heapBefore = busyHeapBlocks();
    frames(10000);
    EXPECT_TRUE(decodeFrame(pullFrame(lcd)).complete());
    EXPECT_EQ(countGdiObjects(), gdiBefore);
    EXPECT_LE(busyHeapBlocks(), heapBefore + 64);
    lcd.SetClockFileImage(L"", MediaKindPicture); // lets go of the clip before it is deleted
}

// The clock faces, layouts and dials copy and compare the renderer's face on the fast-timer
// thread while the minimised window's renderer publishes; a host thread changes the face
// 10,000 times meanwhile. Every frame is whole.
TEST(LEDModeCtrlLoad, FaceChangedTenThousandTimesWhileTheMinimisedRendererPublishes)
{
    LcdDialog dialog;
    dialog.open(CRect(0, 0, 500, 500), false);
    OpenLcd* lcd = dialog.addRenderer(CRect(0, 0, 480, 480));
    lcd->SetColockType(2);
    lcd->SetLEDMode(LEDModeClock);
    lcd->AddMTimer();
    dialog.SetMTimer(5);
    ASSERT_TRUE(pumpUntil([&] { return !pullFrame(*lcd).empty(); }, 5000));
    lcd->setFramePeriod(1);
    std::atomic<bool> changing { true };
    std::atomic<int> frames { 0 };
    int broken = 0;
    // At least 10,000 changes, and on until frames have been drawn among them.
    std::thread host([&] {
        const wchar_t* faces[] = { L"DejaVu Sans", L"Liberation Serif", L"WenQuanYi Micro Hei" };
        for (int i = 0; i < 10000 || frames < 30; ++i)
            i % 2 ? lcd->SetTextFont(faces[i % 3]) : lcd->SetFont(faces[(i + 1) % 3], 12 + i % 5, Gdiplus::FontStyleRegular);
        changing = false;
    });
    std::vector<BYTE> last;
    while (changing) {
        std::vector<BYTE> frame = pullFrame(*lcd);
        if (frame.empty() || frame == last)
            continue;
        broken += decodeFrame(frame).complete() ? 0 : 1;
        ++frames;
        last.swap(frame);
    }
    host.join();
    dialog.GetPaintManager()->KillMTimer();
    EXPECT_TRUE(broken == 0 && frames > 0) << broken << " broken of " << frames;
    dialog.DestroyWindow();
}
