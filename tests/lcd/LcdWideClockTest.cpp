// The clock faces of the wide screen drawn onto a canvas: each style its own face, texts in
// their fonts, colours and boxes, hands on their pivots, and the picture (never the video)
// stretched over the screen.
#include <functional>
#include <memory>

#include "LcdTestKit.h"
#include "ScratchClip.h"
#include "ScratchFolder.h"
#include "ScratchGif.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);
constexpr DWORD kText = 0xFFE0E0E0, kAccent = 0xFFFF8000;

class WideLcd : public ScreenLcd {
public:
    using ScreenLcd::ScreenLcd;
    // Style 0: the clock mode as the renders call it; 1 to 8: that wide face straight.
    void drawFace(DibCanvas& canvas, int style)
    {
        using Face = void (LEDModeCtrl::*)(Gdiplus::Graphics&, int&, int&);
        static const Face faces[] = { &WideLcd::DrawClock2ModeStyle1, &WideLcd::DrawClock2ModeStyle2,
                                      &WideLcd::DrawClock2ModeStyle3, &WideLcd::DrawClock2ModeStyle4,
                                      &WideLcd::DrawClock2ModeStyle5, &WideLcd::DrawClock2ModeStyle6,
                                      &WideLcd::DrawClock2ModeStyle7, &WideLcd::DrawClock2ModeStyle8 };
        canvas.fill(0xFF336699);
        drawWith(canvas, [&](Gdiplus::Graphics& g, int& w, int& h) {
            style ? (this->*faces[style - 1])(g, w, h) : DrawClockMode(g, w, h);
        });
    }
    void setClockFrame(int index) { ScopedLock lock(m_stateLock); m_clockFrameIndex = index; }
    // A GDI+ call on the clock picture fails, as selecting a frame it lacks does.
    void failPicture() { ScopedLock lock(m_stateLock); m_clockBackground.image->SelectActiveFrame(&Gdiplus::FrameDimensionTime, 99); }
};

class WideClock : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.open(CRect(0, 0, 640, 480), false);
        lcd.SetManager(dialog.GetPaintManager());
        lcd.SetLEDScreenType(LEDScreenWide);
        lcd.SetColor(0xFF010101, kText, 0xFF9D1D96, kAccent);
        pinAt(6, 2); // Tuesday 6 May 2025, 03:00:25
    }
    void TearDown() override
    {
        TimeSource::Unpin();
        dialog.DestroyWindow();
    }
    static void pinAt(WORD day, WORD weekday) { TimeSource::Pin(1000, SYSTEMTIME { 2025, 5, weekday, day, 3, 0, 25, 0 }); }

    LcdDialog dialog;
    WideLcd lcd { nullptr, 1, CRect(0, 0, 640, 480), 1, 1 };
    DibCanvas canvas { 640, 480 };
};

} // namespace

TEST_F(WideClock, EachStyleDrawsItsOwnFaceAndOtherStylesDrawNothing)
{
    const ScratchStrip hand(GetSkinPath(), L"wide-hand.png", 4, 100, { 0xFFFF0000 });
    lcd.SetHMSImage(L"wide-hand.png", L"wide-hand.png", L"wide-hand.png");
    std::vector<std::unique_ptr<DibCanvas>> faces;
    for (int style = 0; style <= 9; ++style) {
        lcd.SetColockType(style);
        lcd.drawFace(canvas, 0);
        if (style < 1 || style > 8) {
            EXPECT_TRUE(canvas.untouchedSinceFill()) << style;
            continue;
        }
        faces.push_back(std::make_unique<DibCanvas>(640, 480));
        lcd.drawFace(*faces.back(), style);
        EXPECT_EQ(differingPixels(canvas, *faces.back()), 0) << style;
        for (size_t other = 1; other < faces.size(); ++other)
            EXPECT_NE(differingPixels(*faces[other - 1], *faces.back()), 0) << style << " like " << other;
    }
    lcd.SetHMSImage(L"", L"", L"");
}

// Each text drawn by hand in its font, colour and box matches the face where no other element reaches.
TEST_F(WideClock, TextsInTheirFontColourAndBox)
{
    struct Case { int style; WORD day, weekday; const wchar_t *face, *text; int size, fontStyle; Gdiplus::RectF box; DWORD colour; CRect area; };
    const wchar_t* const product = L"BRAVIK 1.2";
    const int bold = Gdiplus::FontStyleBold;
    const Case cases[] = {
        { 1, 6, 2, product, L"20", 45, 0, { 10, 90, 100, 70 }, kAccent, { 10, 92, 110, 150 } },
        { 1, 6, 2, product, L"25", 45, 0, { 10, 140, 100, 70 }, kAccent, { 10, 152, 110, 208 } },
        { 3, 6, 2, L"", L"May 6 st", 20, bold, { 10, 400, 300, 30 }, kText, { 10, 401, 310, 430 } },
        { 3, 2, 5, L"", L"May 2 st", 20, bold, { 10, 400, 300, 30 }, kText, { 10, 401, 310, 430 } },
        { 5, 6, 2, product, L"25", 130, 0, { 120, 360, 400, 150 }, kText, { 120, 372, 520, 480 } },
        { 6, 6, 2, L"", L"2025/05/06", 20, bold, { 210, 220, 150, 30 }, kText, { 210, 222, 360, 250 } },
        { 7, 6, 2, L"", L"05/06", 20, bold, { 220, 440, 200, 30 }, kText, { 220, 441, 420, 470 } },
        { 8, 6, 2, L"", L"05.06", 30, bold, { 0, 440, 130, 30 }, kText, { 0, 440, 118, 470 } },
    };
    DibCanvas expected(640, 480);
    for (const Case& c : cases) {
        pinAt(c.day, c.weekday);
        lcd.SetTextFont(c.face);
        lcd.drawFace(canvas, c.style);
        expected.fill(0xFF000000);
        lcd.drawText(expected, c.text, c.size, c.fontStyle, c.box, Gdiplus::Color(c.colour));
        int differing = 0;
        for (int y = c.area.top; y < c.area.bottom; ++y)
            for (int x = c.area.left; x < c.area.right; ++x)
                differing += canvas.pixel(x, y) != expected.pixel(x, y);
        EXPECT_EQ(differing, 0) << c.style << " " << c.text;
    }
}

// At 03:00:25 the hour hand points right, the minute hand up, the second hand at 150 degrees;
// each foot ends its pivot offset past the centre, so that point lies on (W/2, H/2).
TEST_F(WideClock, HandsTurnAboutTheirPivotsWithoutTheIcon)
{
    const ScratchStrip hour(GetSkinPath(), L"wide-h.png", 4, 100, { 0xFFFF0000 });
    const ScratchStrip minute(GetSkinPath(), L"wide-m.png", 4, 100, { 0xFF00FF00 });
    const ScratchStrip second(GetSkinPath(), L"wide-s.png", 4, 100, { 0xFF0000FF });
    lcd.SetHMSImage(L"wide-h.png", L"wide-m.png", L"wide-s.png");
    // Colour, GDI+ angle of the foot (the hand's clock angle + 90), pivot offset.
    const std::tuple<DWORD, double, int> hands[] = { { 0xFF0000, 180, 10 }, { 0x00FF00, 90, 12 }, { 0x0000FF, 240, 16 } };
    for (int style : { 2, 4 })
        for (const auto& [colour, foot, d] : hands) {
            lcd.drawFace(canvas, style);
            const POINT in = alongAngle(320, 240, foot, d - 2), past = alongAngle(320, 240, foot, d + 1);
            EXPECT_TRUE(nearColor(canvas.rgb(in.x, in.y), colour, 8) && nearColor(canvas.rgb(past.x, past.y), 0, 8))
                << style << " " << d << std::hex << " " << canvas.rgb(in.x, in.y) << " " << canvas.rgb(past.x, past.y);
        }
    lcd.SetHMSImage(L"", L"", L"");
}

// The picture stretched to 640 × 480 (a GIF at the clock frame index), skipped for one frame
// after a GDI+ call on it failed; a video only behind the square screen's faces.
TEST_F(WideClock, BackgroundIsThePictureStretchedNeverTheVideo)
{
    const ScratchFolder folder(L"lcd-wide-clock");
    const ScratchStrip halves(folder.path(), L"halves.png", 16, 12, { 0xFFFF0000, 0xFF0000FF });
    const ScratchGif gif(folder.path(), L"three.gif", 32, 24, { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF });
    const ScratchClip clip(folder.path(), L"clip.avi", ScratchClip::Mjpg, 25, 4);
    ASSERT_TRUE(halves.written() && gif.written() && clip.written());
    const std::tuple<const char*, std::function<void()>, DWORD, DWORD> steps[] = {
        { "picture", [&] { lcd.SetClockFileImage(halves.path(), MediaKindPicture); }, 0xFF0000, 0x0000FF },
        { "failed call", [&] { lcd.failPicture(); }, 0, 0 },
        { "next frame", [] {}, 0xFF0000, 0x0000FF },
        { "GIF", [&] { lcd.SetClockFileImage(gif.path(), MediaKindGif); lcd.setClockFrame(1); }, 0x00FF00, 0x00FF00 },
        { "video", [&] { lcd.SetClockFileImage(clip.path(), MediaKindVideo); }, 0, 0 },
    };
    for (const auto& [name, set, left, right] : steps) {
        set();
        lcd.drawFace(canvas, 2);
        EXPECT_TRUE(nearColor(canvas.rgb(160, 240), left, 8) && nearColor(canvas.rgb(480, 240), right, 8)) << name;
    }
    lcd.SetLEDScreenType(LEDScreenSquare);
    lcd.SetColockType(2);
    lcd.drawFace(canvas, 0);
    EXPECT_GE(clipFrameOf(canvas.rgb(160, 240)), 0); // the video is readable
    lcd.SetClockFileImage(L"", MediaKindPicture); // lets go of the clip before it is deleted
}
