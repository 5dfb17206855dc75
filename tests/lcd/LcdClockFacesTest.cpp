// The round clock faces of LED mode 7 drawn onto a canvas as the renders draw them: which face
// each style gives, the ground and background under it, its texts in their fonts, brushes and
// boxes, and its hands on the pinned time.
#include <functional>
#include <set>

#include "LcdTestKit.h"
#include "ScratchClip.h"
#include "ScratchFolder.h"
#include "ScratchGif.h"
#include "ScratchStrip.h"
#include "framework/Registry.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kUnder = 0xFF336699;  // what the render left under the face
// A face with the Chinese weekdays and both temperature signs.
const wchar_t* const kCjkFace = L"WenQuanYi Micro Hei";

class ClockLcd : public ScreenLcd {
public:
    using ScreenLcd::ScreenLcd;
    DibCanvas& face(DibCanvas& canvas, int style, int type)
    {
        SetLEDScreenType(type);
        SetColockType(style);
        canvas.fill(kUnder);
        drawWith(canvas, [&](Gdiplus::Graphics& g, int& width, int& height) { DrawClockMode(g, width, height); });
        return canvas;
    }
    void showClockFrame(int index) { m_clockFrameIndex = index; }
    void failPicture() { m_clockBackground.image->SelectActiveFrame(&Gdiplus::FrameDimensionTime, 99); }
    // Hand i (0 hour, 1 minute, 2 second) of width 10 and height 100 (or length), blue with
    // one red row d + 1 rows above its foot (null: no hand).
    void giveHand(int i, int d, int length = 100)
    {
        ScopedLock lock(m_stateLock);
        m_hands[i] = LcdImage();
        if (d < 0)
            return;
        auto* hand = new Gdiplus::Bitmap(10, length, PixelFormat32bppARGB);
        Gdiplus::Graphics g(hand);
        g.Clear(Gdiplus::Color(0xFF0000FF));
        Gdiplus::SolidBrush red(Gdiplus::Color(0xFFFF0000));
        g.FillRectangle(&red, 0, length - d - 1, 10, 1);
        m_hands[i] = LcdImage { std::unique_ptr<Gdiplus::Image>(hand), 10, length };
    }
};

class ClockFaces : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.open(CRect(0, 0, 480, 480), false);
        lcd.SetManager(dialog.GetPaintManager());
        lcd.SetTextFont(kCjkFace);
        lcd.SetColor(0xFF000000, 0xFFFFE080, 0xFF000000, 0xFF40FF40);
        lcd.SetWeatherValue(L"", L"21\x2103", L"64", L"", L"", L"7", L"Rain");
        WriteRegString(L"led_cpushowtype", L"0");
        TimeSource::Pin(0, SYSTEMTIME { 2025, 3, 3, 5, 14, 30, 0, 0 }); // Wednesday 5 March 2025
    }
    void TearDown() override
    {
        TimeSource::Unpin();
        WriteRegString(L"led_cpushowtype", L"");
        dialog.DestroyWindow();
    }
    // The pixels of box on canvas against text drawn alone on the black ground in the face's way.
    int textDiffers(const DibCanvas& shown, const wchar_t* text, int size, int style, Gdiplus::RectF box,
                    Gdiplus::Color colour, bool leftAligned = false)
    {
        DibCanvas expected(480, 480);
        Gdiplus::Graphics g(expected.dc());
        g.SetTextRenderingHint(lcd.GetTextRenderingHint());
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        Gdiplus::Font font(dialog.GetPaintManager()->FindTempFontOrFallback(kCjkFace), static_cast<float>(size), style,
                           Gdiplus::UnitPixel);
        Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
        format.SetAlignment(leftAligned ? Gdiplus::StringAlignmentNear : Gdiplus::StringAlignmentCenter);
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        Gdiplus::SolidBrush brush(colour);
        g.DrawString(text, -1, &font, box, &format, &brush);
        g.Flush(Gdiplus::FlushIntentionSync);
        int differing = 0;
        for (int y = static_cast<int>(box.Y); y < static_cast<int>(box.GetBottom()); ++y)
            for (int x = static_cast<int>(box.X); x < static_cast<int>(box.GetRight()); ++x)
                differing += shown.pixel(x, y) != expected.pixel(x, y);
        return differing;
    }

    LcdDialog dialog;
    ClockLcd lcd { nullptr, 1, CRect(0, 0, 480, 480), 1, 1 };
    DibCanvas canvas { 480, 480 };
};

size_t pixelHash(const DibCanvas& canvas)
{
    size_t hash = 2166136261u;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            hash = (hash ^ canvas.pixel(x, y)) * 16777619u;
    return hash;
}

} // namespace

// Styles 1 to 8 each give a face of their own, on the circle a black disc with the corners
// left as they were, on the square black to the corners; 0 and 9 leave the canvas as it was.
TEST_F(ClockFaces, EachStyleGivesItsFaceAndOthersNone)
{
    for (int type : { LEDScreenCircle, LEDScreenSquare }) {
        std::set<size_t> faces;
        for (int style = 0; style <= 9; ++style) {
            lcd.face(canvas, style, type);
            const bool drawn = style >= 1 && style <= 8;
            EXPECT_EQ(!drawn, canvas.untouchedSinceFill()) << type << " " << style;
            if (!drawn)
                continue;
            faces.insert(pixelHash(canvas));
            EXPECT_EQ(type == LEDScreenCircle ? kUnder & 0xFFFFFF : 0u, canvas.rgb(3, 3)) << type << " " << style;
        }
        EXPECT_EQ(8u, faces.size()) << type;
    }
}

// The background under face 4 (which draws no text there): a picture stretched over the
// screen, clipped to the circle on type 1; a GIF's frame at the clock frame index; a video
// only when the clock's own medium is one (not the file screen's); a new picture whose last
// operation failed skipped for one frame, then shown.
TEST_F(ClockFaces, BackgroundsUnderTheFace)
{
    const ScratchFolder folder(L"clockfaces");
    const ScratchStrip halves(folder.path(), L"halves.png", 20, 20, { 0xFFFF0000, 0xFF0000FF });
    const ScratchStrip green(folder.path(), L"green.png", 20, 20, { 0xFF00FF00 });
    const ScratchGif gif(folder.path(), L"three.gif", 64, 64, { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF });
    const ScratchClip clip(folder.path(), L"clip.avi", ScratchClip::Mjpg, 25, 5);
    struct Row {
        const char* name;
        int type;
        std::function<void()> set;
        DWORD corner, left, right; // ~0u: a frame of the clip
    };
    const Row rows[] = {
        { "picture round", LEDScreenCircle, [&] { lcd.SetClockFileImage(halves.path(), MediaKindPicture); },
          kUnder & 0xFFFFFF, 0xFF0000, 0x0000FF },
        { "picture square", LEDScreenSquare, [] {}, 0xFF0000, 0xFF0000, 0x0000FF },
        { "gif frame 2", LEDScreenCircle,
          [&] { lcd.SetClockFileImage(gif.path(), MediaKindGif); lcd.showClockFrame(2); }, kUnder & 0xFFFFFF,
          0x0000FF, 0x0000FF },
        { "file video", LEDScreenSquare, [&] { lcd.SetClockFileImage(L"", MediaKindPicture); lcd.SetFileImage(clip.path(), MediaKindVideo); },
          0, 0, 0 },
        { "clock video", LEDScreenSquare, [&] { lcd.SetClockFileImage(clip.path(), MediaKindVideo); }, ~0u, ~0u, ~0u },
    };
    for (const Row& row : rows) {
        row.set();
        lcd.face(canvas, 4, row.type);
        for (const auto& [x, y, rgb] : { std::tuple(3, 3, row.corner), std::tuple(20, 320, row.left), std::tuple(460, 320, row.right) })
            EXPECT_TRUE(rgb == ~0u ? clipFrameOf(canvas.rgb(x, y)) == 0 : nearColor(canvas.rgb(x, y), rgb))
                << row.name << " at " << x << "," << y << ": " << std::hex << canvas.rgb(x, y);
    }
    // Another picture in place of the first one shows, not the first one kept in the layer.
    lcd.SetClockFileImage(green.path(), MediaKindPicture);
    lcd.failPicture();
    EXPECT_EQ(0u, lcd.face(canvas, 4, LEDScreenSquare).rgb(20, 320)) << "skipped once";
    EXPECT_TRUE(nearColor(lcd.face(canvas, 4, LEDScreenSquare).rgb(20, 320), 0x00FF00)) << "then shown";
    lcd.SetClockFileImage(L"", MediaKindPicture);
    lcd.SetFileImage(L"", MediaKindPicture); // lets go of the clip
}

// Texts in their fonts, brushes, boxes and alignment: face 2's weekday row (today full, the
// others at alpha 100) and its temperatures at alpha 180 with the sign led_cpushowtype asks
// for; face 3's long date; face 5's Chinese weekday and date, left aligned; face 6's month.
TEST_F(ClockFaces, TextsInTheirFontsBrushesAndBoxes)
{
    HARDWARE_INFO info {};
    info.cpuTemperature = 45.7f;
    lcd.SetHardWareInfo(info);
    const Gdiplus::Color full(0xFFFFE080), dim100(100, 0xFF, 0xE0, 0x80), dim180(180, 0xFF, 0xE0, 0x80);
    struct Row {
        int style;
        WORD day; // 9 March 2025 is a Sunday, the 5th a Wednesday
        const wchar_t* setting;
        const wchar_t* text;
        int size, fontStyle;
        Gdiplus::RectF box;
        Gdiplus::Color colour;
        bool leftAligned;
    };
    const int bold = Gdiplus::FontStyleBold;
    const Row rows[] = {
        { 2, 9, L"0", L"\x65E5", 20, bold, { 340, 50, 40, 30 }, full, false },
        { 2, 9, L"0", L"\x4E00", 20, bold, { 100, 50, 40, 30 }, dim100, false },
        { 2, 5, L"0", L"\x4E09", 20, bold, { 180, 50, 40, 30 }, full, false },
        { 2, 5, L"0", L"\x65E5", 20, bold, { 340, 50, 40, 30 }, dim100, false },
        { 2, 5, L"1", L"45\x2109", 20, bold, { 140, 337, 70, 30 }, dim180, false },
        { 2, 5, L"0", L"45\x2103", 20, bold, { 140, 337, 70, 30 }, dim180, false },
        { 3, 5, L"0", L"March, 5, 2025", 20, Gdiplus::FontStyleRegular, { 140, 220, 210, 30 }, full, false },
        { 5, 5, L"0", L"\x661F\x671F\x4E09 2025/3/5", 20, Gdiplus::FontStyleBoldItalic, { 140, 420, 300, 30 }, full, true },
        { 6, 5, L"0", L"Mar", 30, bold, { 85, 232, 90, 30 }, full, false },
    };
    for (const Row& row : rows) {
        TimeSource::Pin(0, SYSTEMTIME { 2025, 3, static_cast<WORD>(row.day == 9 ? 0 : 3), row.day, 14, 30, 0, 0 });
        WriteRegString(L"led_cpushowtype", row.setting);
        lcd.face(canvas, row.style, LEDScreenSquare);
        EXPECT_EQ(0, textDiffers(canvas, row.text, row.size, row.fontStyle, row.box, row.colour, row.leftAligned))
            << "face " << row.style << " day " << row.day << " " << static_cast<int>(row.box.X) << ","
            << static_cast<int>(row.box.Y);
    }
}

// Each hand alone at 12:00:00 stands upright with the row above its pivot on the pixel above
// the centre (pivots 4: 0, 12; 6: 10, 12, 0; 7: 10, 12, 16); face 4 has no second hand. At
// 14:30 face 4's hour hand points at 75 degrees, its minute hand down; on the circle a long
// hand stops at its edge. Face 7 without icons
// still draws its weather texts and all three hands.
TEST_F(ClockFaces, HandsOnTheirPivotsAtTheTime)
{
    const int pivots[3][3] = { { 0, 12, -1 }, { 10, 12, 0 }, { 10, 12, 16 } };
    TimeSource::Pin(0, SYSTEMTIME { 2025, 3, 3, 5, 12, 0, 0, 0 });
    for (int face : { 4, 6, 7 })
        for (int hand = 0; hand < 3; ++hand) {
            const int d = pivots[face == 4 ? 0 : face - 5][hand];
            for (int i = 0; i < 3; ++i)
                lcd.giveHand(i, i == hand ? (d < 0 ? 0 : d) : -1);
            lcd.face(canvas, face, LEDScreenSquare);
            EXPECT_EQ(d < 0 ? 0u : 0xFF0000u, canvas.rgb(240, 239)) << "face " << face << " hand " << hand;
            EXPECT_EQ(d < 0 ? 0u : 0x0000FFu, canvas.rgb(240, 200)) << "face " << face << " hand " << hand;
        }
    for (int i = 0; i < 3; ++i)
        lcd.giveHand(i, 0);
    TimeSource::Pin(0, SYSTEMTIME { 2025, 3, 3, 5, 14, 30, 0, 0 });
    lcd.face(canvas, 4, LEDScreenSquare);
    for (const POINT p : { alongAngle(240, 240, -15, 60), alongAngle(240, 240, 90, 60) })
        EXPECT_TRUE(nearColor(canvas.rgb(p.x, p.y), 0x0000FF)) << p.x << "," << p.y;
    // A hand longer than the radius stops at the circle on the round screen.
    lcd.giveHand(0, 0, 320);
    TimeSource::Pin(0, SYSTEMTIME { 2025, 3, 3, 5, 1, 30, 0, 0 });
    const POINT inside = alongAngle(240, 240, -45, 200), outside = alongAngle(240, 240, -45, 300);
    lcd.face(canvas, 4, LEDScreenCircle);
    EXPECT_TRUE(nearColor(canvas.rgb(inside.x, inside.y), 0x0000FF) && canvas.pixel(outside.x, outside.y) == kUnder);
    lcd.giveHand(0, 0);
    TimeSource::Pin(0, SYSTEMTIME { 2025, 3, 3, 5, 3, 0, 30, 0 });
    lcd.face(canvas, 7, LEDScreenSquare);
    for (const POINT p : { alongAngle(240, 240, 0, 60), alongAngle(240, 240, -90, 60), alongAngle(240, 240, 90, 60) })
        EXPECT_TRUE(nearColor(canvas.rgb(p.x, p.y), 0x0000FF)) << p.x << "," << p.y;
    EXPECT_EQ(0, textDiffers(canvas, L"Rain", 20, Gdiplus::FontStyleBold, { 100, 300, 50, 30 }, Gdiplus::Color(0xFFFFE080)));
    EXPECT_EQ(0, textDiffers(canvas, L"64", 20, Gdiplus::FontStyleBold, { 380, 300, 50, 30 }, Gdiplus::Color(0xFFFFE080)));
}
