// The frame's snapshot: a render copies what its screens read under the state lock and draws
// from the copy with the lock free. A setter or the tick's step made while a frame is being
// drawn does not wait for it, the frame shows what it began with, and images swapped while
// frames are drawn are never freed under them.
#include <atomic>
#include <functional>
#include <thread>

#include "GdiObjectCount.h"
#include "LcdTestKit.h"
#include "PumpUntil.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// A held frame waits for the test's release, or gives up after kHeldMs. A call that waited
// for the frame could only return after the frame went on, so a call made during the hold
// did not wait exactly when the hold has not given up by the time it returns: no measured
// time decides, however loaded the machine.
constexpr DWORD kHeldMs = 10000;

// A renderer whose next frame stops after its snapshot is taken, before its screen is drawn,
// until the test releases it (or kHeldMs pass, which it notes before drawing on).
class HeldLcd : public OpenLcd {
public:
    using OpenLcd::OpenLcd;
    ~HeldLcd() override
    {
        ::CloseHandle(m_drawing);
        ::CloseHandle(m_release);
    }
    void holdNextFrame()
    {
        ::ResetEvent(m_drawing);
        ::ResetEvent(m_release);
        m_hold = true;
    }
    bool waitUntilHeld() { return ::WaitForSingleObject(m_drawing, kHeldMs) == WAIT_OBJECT_0; }
    void release() { ::SetEvent(m_release); }
    int frameIndex() const { return m_frameIndex; }
    bool holdGaveUp() const { return m_gaveUp; }

protected:
    void DrawLEDMode(Gdiplus::Graphics& g, int& width, int& height, HDC& dc) override
    {
        if (m_hold.exchange(false)) {
            ::SetEvent(m_drawing);
            m_gaveUp = ::WaitForSingleObject(m_release, kHeldMs) != WAIT_OBJECT_0;
        }
        OpenLcd::DrawLEDMode(g, width, height, dc);
    }

private:
    std::atomic<bool> m_hold { false };
    std::atomic<bool> m_gaveUp { false };
    HANDLE m_drawing { ::CreateEventW(nullptr, TRUE, FALSE, nullptr) };
    HANDLE m_release { ::CreateEventW(nullptr, TRUE, FALSE, nullptr) };
};

// A hidden frame drawn on a thread of its own and held there until release().
class HeldFrame {
public:
    explicit HeldFrame(HeldLcd& lcd) : m_lcd(lcd)
    {
        lcd.holdNextFrame();
        m_thread = std::thread([&lcd] { lcd.DrawHideControl(); });
        m_held = lcd.waitUntilHeld();
    }
    ~HeldFrame() { finish(); }
    bool held() const { return m_held; }
    void finish()
    {
        m_lcd.release();
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    HeldLcd& m_lcd;
    std::thread m_thread;
    bool m_held { false };
};

// Makes the call during the held frame; true when it returned without waiting for the frame.
bool returnsDuringTheFrame(HeldLcd& lcd, const std::function<void()>& call)
{
    call();
    return !lcd.holdGaveUp();
}

} // namespace

// Every kind of setter, called while a hidden frame is being drawn on another thread, returns
// at once; the held frame still shows the values it began with (its JPEG is the one drawn
// before the change), and the next frame shows the change.
TEST(LcdFrameSnapshot, SettersDuringAFrameReturnAtOnceAndTheFrameShowsWhatItBeganWith)
{
    PinnedClock clock(700000);
    const ScratchStrip picture(GetSkinPath(), L"lcd-snapshot-icon.png", 20, 60, { 0xFF20C040 });
    LcdDialog dialog;
    dialog.open(CRect(0, 0, 500, 500), false);
    HeldLcd* lcd = dialog.addRenderer<HeldLcd>(CRect(0, 0, 480, 480));
    lcd->SetLEDScreenType(LEDScreenSquare);
    lcd->SetLEDMode(LEDModeWaterCooling);
    lcd->SetColor(Gdiplus::Color(0xFF203040), Gdiplus::Color(0xFFFFFFFF), Gdiplus::Color(0xFF00C0C0),
                  Gdiplus::Color(0xFFFF2000));
    lcd->DrawHideControl();
    const std::vector<BYTE> before = pullFrame(*lcd);
    ASSERT_TRUE(decodeFrame(before).complete());

    struct Setter {
        const char* name;
        std::function<void()> call;
    };
    const Setter setters[] = {
        { "SetColor", [&] { lcd->SetColor(Gdiplus::Color(0xFF802000), Gdiplus::Color(0xFF000000),
                                          Gdiplus::Color(0xFFFFFF00), Gdiplus::Color(0xFF0000FF)); } },
        { "SetHardWareInfo", [&] { lcd->SetHardWareInfo(HARDWARE_INFO { 80, 4000, 90 }); } },
        { "SetWeatherValue", [&] { lcd->SetWeatherValue(L"a", L"1", L"2", L"3", L"4", L"5", L"b"); } },
        { "SetTextFont", [&] { lcd->SetTextFont(L"Tahoma"); } },
        { "SetBrightness", [&] { lcd->SetBrightness(40); } },
        { "SetIcon1Image", [&] { lcd->SetIcon1Image(L"lcd-snapshot-icon.png"); } },
        { "SetHMSImage", [&] { lcd->SetHMSImage(L"lcd-snapshot-icon.png", L"", L"lcd-snapshot-icon.png"); } },
        { "EnterCS", [&] { lcd->EnterCS(); lcd->LeaveCS(); } },
    };
    {
        HeldFrame frame(*lcd);
        ASSERT_TRUE(frame.held());
        for (const Setter& setter : setters)
            EXPECT_TRUE(returnsDuringTheFrame(*lcd, setter.call)) << setter.name << " waited for the frame";
    }
    EXPECT_EQ(pullFrame(*lcd), before);
    lcd->DrawHideControl();
    const std::vector<BYTE> after = pullFrame(*lcd);
    EXPECT_TRUE(decodeFrame(after).complete());
    EXPECT_NE(after, before);
    dialog.DestroyWindow();
}

// The tick steps an animated medium while a frame is being drawn, without waiting for it.
TEST(LcdFrameSnapshot, TheTickStepsTheMediumWhileAFrameIsDrawn)
{
    PinnedClock clock(800000);
    LcdDialog dialog;
    dialog.open(CRect(0, 0, 500, 500), true);
    HeldLcd* lcd = dialog.addRenderer<HeldLcd>(CRect(0, 0, 480, 480));
    lcd->SetLEDMode(LEDModeFile);
    lcd->giveMedia(new Gdiplus::Bitmap(64, 64, PixelFormat32bppARGB), 4);
    lcd->setFramePeriod(30);
    // The first tick finds the window shown: from then on the tick only steps and asks for paints.
    lcd->OnControlTimer();
    const int first = lcd->frameIndex();
    HeldFrame frame(*lcd);
    ASSERT_TRUE(frame.held());
    TimeSource::Advance(30);
    EXPECT_TRUE(returnsDuringTheFrame(*lcd, [&] { lcd->OnControlTimer(); }));
    EXPECT_EQ(lcd->frameIndex(), (first + 1) % 4);
    frame.finish();
    dialog.DestroyWindow();
}

// A host thread swaps every image the screens draw (icons, hands, the control image, the disc
// over the round screen), loaded, missing and loaded again, while this thread draws 1,000
// hidden frames of the screens that draw them: no frame is broken, and the heap and the GDI
// objects are where they were once the images are set back.
TEST(LcdFrameSnapshot, ImagesSwappedOnAHostThreadWhileAThousandFramesAreDrawn)
{
    PinnedClock clock(900000);
    const ScratchStrip red(GetSkinPath(), L"lcd-snapshot-red.png", 12, 90, { 0xFFFF0000 });
    const ScratchStrip blue(GetSkinPath(), L"lcd-snapshot-blue.png", 30, 30, { 0xFF0000FF });
    // The pictures drawn over the whole screen (the control image, the disc) at its size: a
    // small one stretched over it costs a tenth of a second a frame under Wine.
    const ScratchStrip disc(GetSkinPath(), L"lcd-snapshot-disc.png", 480, 480, { 0x400000FF });
    LcdDialog dialog;
    dialog.open(CRect(0, 0, 500, 500), false);
    OpenLcd* lcd = dialog.addRenderer(CRect(0, 0, 480, 480));
    lcd->SetLEDScreenType(LEDScreenCircle);
    lcd->SetColockType(7);
    auto setImages = [&](int round) {
        const wchar_t* names[] = { L"lcd-snapshot-red.png", L"lcd-snapshot-blue.png", L"lcd-snapshot-missing.png" };
        const wchar_t* name = names[round % 3];
        lcd->SetIcon1Image(name);
        lcd->SetIcon2Image(names[(round + 1) % 3]);
        lcd->SetIcon3Image(name);
        lcd->SetHMSImage(name, names[(round + 2) % 3], name);
        const wchar_t* wholeScreen = round % 2 ? names[2] : L"lcd-snapshot-disc.png";
        lcd->SetImage(wholeScreen, 1);
        lcd->SetBKImage(wholeScreen);
    };
    const int modes[] = { LEDModeClock, LEDModeWeather, LEDModeWaterCooling };
    int broken = 0;
    auto frames = [&](int count) {
        std::atomic<bool> drawing { true };
        std::atomic<int> drawn { 0 };
        // One round of swaps a frame, made while the next frame draws, so that every frame
        // meets swaps and the images it began with are replaced under it.
        std::thread swapper([&] {
            for (int round = 0; drawing; ++round) {
                setImages(round);
                const int seen = drawn;
                while (drawing && drawn == seen)
                    std::this_thread::yield();
            }
        });
        for (int i = 0; i < count; ++i) {
            lcd->SetLEDMode(modes[i % 3]);
            TimeSource::Advance(1000);
            lcd->DrawHideControl();
            broken += !decodeFrame(pullFrame(*lcd)).complete();
            ++drawn;
        }
        drawing = false;
        swapper.join();
        // The same images as at the other count, drawn once in every mode.
        setImages(0);
        for (int mode : modes) {
            lcd->SetLEDMode(mode);
            lcd->DrawHideControl();
        }
    };
    frames(100);
    const int gdiBefore = countGdiObjects();
    const long heapBefore = busyHeapBlocks();
    frames(1000);
    EXPECT_EQ(broken, 0);
    EXPECT_EQ(gdiObjectsSettled(gdiBefore), gdiBefore);
    EXPECT_LE(busyHeapBlocks(), heapBefore + 64);
    dialog.DestroyWindow();
}
