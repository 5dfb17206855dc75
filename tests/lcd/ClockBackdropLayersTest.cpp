// The clock faces over a moving background: the transparent layer of their still elements
// laid over each background frame, the GIF's frames kept stretched per frame index, and the
// premultiplied layer they are both kept on.
#include <functional>
#include <string>

#include "LcdTestKit.h"
#include "ScratchClip.h"
#include "ScratchFolder.h"
#include "ScratchGif.h"
#include "ScratchStrip.h"
#include "lcd/renderer/LcdPremultipliedLayer.h"
#include "lcd/screens/ClockBackdropLayers.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kUnder = 0xFF336699; // what the render left under the face
const wchar_t* const kCjkFace = L"WenQuanYi Micro Hei";
constexpr int kIconSide = 40;

class BackdropLcd : public ScreenLcd {
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
    void showClockFrame(int index)
    {
        ScopedLock lock(m_stateLock);
        m_clockFrameIndex = index;
    }
    // Icon i: a square of rgb whose alpha rises from 0 at its left edge to 255 at its right,
    // so that the overlay blends it.
    void giveIcon(int i, DWORD rgb)
    {
        auto* icon = new Gdiplus::Bitmap(kIconSide, kIconSide, PixelFormat32bppARGB);
        for (int x = 0; x < kIconSide; ++x)
            for (int y = 0; y < kIconSide; ++y)
                icon->SetPixel(x, y, Gdiplus::Color(static_cast<BYTE>(x * 255 / (kIconSide - 1)), rgb >> 16 & 0xFF,
                                                    rgb >> 8 & 0xFF, rgb & 0xFF));
        ScopedLock lock(m_stateLock);
        m_icons[i] = LcdImage { std::unique_ptr<Gdiplus::Image>(icon), kIconSide, kIconSide };
        InvalidateLayers();
    }
    // Hand i: an opaque bar of rgb, 8 wide and 200 long.
    void giveHand(int i, DWORD rgb)
    {
        auto* hand = new Gdiplus::Bitmap(8, 200, PixelFormat32bppARGB);
        Gdiplus::Graphics g(hand);
        g.Clear(Gdiplus::Color(0xFF000000 | rgb));
        ScopedLock lock(m_stateLock);
        m_hands[i] = LcdImage { std::unique_ptr<Gdiplus::Image>(hand), 8, 200 };
        InvalidateLayers();
    }
};

class ClockBackdrop : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.open(CRect(0, 0, 640, 480), false);
        for (BackdropLcd* lcd : { &cached, &whole }) {
            lcd->SetManager(dialog.GetPaintManager());
            lcd->SetTextFont(kCjkFace);
            lcd->SetColor(0xFF000000, 0xFFFFE080, 0xFF000000, 0xFF40FF40);
            lcd->SetWeatherValue(L"", L"21\x2103", L"64", L"", L"", L"7", L"Rain");
            for (int i = 0; i < 3; ++i)
                lcd->giveIcon(i, 0xFFFFFF);
        }
        whole.setLayersCached(false);
        TimeSource::Pin(0, SYSTEMTIME { 2025, 3, 3, 5, 14, 30, 0, 0 });
    }
    void TearDown() override
    {
        for (BackdropLcd* lcd : { &cached, &whole })
            lcd->SetClockFileImage(L"", MediaKindPicture);
        TimeSource::Unpin();
        dialog.DestroyWindow();
    }

    const ScratchFolder folder { L"clockbackdrop" };
    LcdDialog dialog;
    BackdropLcd cached { nullptr, 1, CRect(0, 0, 480, 480), 1, 1 };
    BackdropLcd whole { nullptr, 2, CRect(0, 0, 480, 480), 1, 1 };
};

bool sameFrame(const DibCanvas& a, const DibCanvas& b)
{
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return false;
    return true;
}

// Pixels of box that differ from rgb: what was drawn over a flat background there.
int inkIn(const DibCanvas& canvas, RECT box, DWORD rgb)
{
    int ink = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            ink += canvas.rgb(x, y) != rgb;
    return ink;
}

} // namespace

// Frame after frame of a GIF of more frames than are kept stretched (40 of 480 x 480 need more
// than the budget: a slot then holds several frame indexes in turn), under the one overlay:
// every frame shows its own colour with face 8's icon, date and weather texts over it, also a
// frame stretched again after its slot held another, on the circle and the square.
TEST_F(ClockBackdrop, GifFramesAdvanceUnderTheIconsAndTexts)
{
    static_assert(ClockBackdropLayers::kGifFrameBudget / (480 * 480 * 4) < 40, "40 frames share slots");
    const ScratchTimedGif gif(folder.path(), L"forty.gif", std::vector<int>(40, 10));
    ASSERT_TRUE(gif.written());
    cached.SetClockFileImage(gif.path(), MediaKindGif);
    cached.giveIcon(0, 0x00FF00);
    DibCanvas canvas(480, 480);
    const RECT date { 140, 180, 340, 210 };
    const RECT weather { 130, 290, 210, 320 };
    // Every frame, then frames whose slots held others since, on the circle; a few on the square.
    std::vector<int> onCircle;
    for (int k = 0; k < 40; ++k)
        onCircle.push_back(k);
    onCircle.insert(onCircle.end(), { 0, 37, 1, 39 });
    for (int type : { LEDScreenCircle, LEDScreenSquare }) {
        const std::vector<int> shown = type == LEDScreenCircle ? onCircle : std::vector<int> { 0, 39, 3 };
        for (int k : shown) {
            cached.showClockFrame(k);
            cached.face(canvas, 8, type);
            const DWORD ground = canvas.rgb(30, 250);
            EXPECT_EQ(k, clipFrameOf(ground)) << type << " frame " << k << ": " << std::hex << ground;
            EXPECT_TRUE(nearColor(canvas.rgb(85 + kIconSide - 1, 300), 0x00FF00)) << type << " frame " << k;
            EXPECT_GT(inkIn(canvas, date, ground), 50) << type << " frame " << k;
            EXPECT_GT(inkIn(canvas, weather, ground), 20) << type << " frame " << k;
            EXPECT_EQ(type == LEDScreenCircle ? kUnder & 0xFFFFFF : ground, canvas.rgb(2, 2)) << type << " " << k;
        }
    }
}

// A video background reads its next frame every frame; each shows under the same overlay,
// scaled to the screen and kept inside the circle.
TEST_F(ClockBackdrop, VideoFramesAdvanceUnderTheIconsAndTexts)
{
    const ScratchClip clip(folder.path(), L"clip.avi", ScratchClip::Mjpg, 25, 8);
    ASSERT_TRUE(clip.written());
    cached.SetClockFileImage(clip.path(), MediaKindVideo);
    cached.giveIcon(0, 0x00FF00);
    DibCanvas canvas(480, 480);
    for (int k = 0; k < 8; ++k) {
        cached.face(canvas, 8, LEDScreenCircle);
        const DWORD ground = canvas.rgb(30, 250);
        EXPECT_EQ(k, clipFrameOf(ground)) << "frame " << k << ": " << std::hex << ground;
        EXPECT_EQ(k, clipFrameOf(canvas.rgb(240, 470))) << "frame " << k << ", bottom of the circle";
        EXPECT_TRUE(nearColor(canvas.rgb(85 + kIconSide - 1, 300), 0x00FF00)) << "frame " << k;
        EXPECT_GT(inkIn(canvas, RECT { 140, 180, 340, 210 }, ground), 50) << "frame " << k;
        EXPECT_EQ(kUnder & 0xFFFFFF, canvas.rgb(2, 2)) << "frame " << k;
    }
    cached.SetClockFileImage(L"", MediaKindPicture); // lets go of the clip before it is deleted
}

// What the overlay holds changes: the date, a weather text, an icon, the text colour; and the
// GIF steps on. The kept overlay is dropped and the frame is the one drawn with no layer kept
// (overlay and GIF frame drawn anew), and it shows the change.
TEST_F(ClockBackdrop, ChangesOfTheStillElementsDropTheOverlay)
{
    const ScratchGif gif(folder.path(), L"three.gif", 64, 64, { 0xFF0000FF, 0xFF00FF00, 0xFFFF0000 });
    ASSERT_TRUE(gif.written());
    struct Step {
        const char* change;
        std::function<void(BackdropLcd&)> set;
    };
    const Step script[] = {
        { "first frame", [&](BackdropLcd& lcd) { lcd.SetClockFileImage(gif.path(), MediaKindGif); } },
        { "day", [](BackdropLcd&) { TimeSource::Advance(12 * 3600000); } },
        { "weather text", [](BackdropLcd& lcd) { lcd.SetWeatherValue(L"", L"3\x2103", L"91", L"", L"", L"8", L"Snow"); } },
        { "icon", [](BackdropLcd& lcd) { lcd.giveIcon(0, 0xFF00FF); } },
        { "text colour", [](BackdropLcd& lcd) { lcd.SetColor(0xFF000000, 0xFF80E0FF, 0xFF000000, 0xFF40FF40); } },
        { "GIF frame", [](BackdropLcd& lcd) { lcd.showClockFrame(2); } },
    };
    for (int type : { LEDScreenCircle, LEDScreenSquare }) {
        DibCanvas before(480, 480);
        DibCanvas shown(480, 480);
        DibCanvas expected(480, 480);
        for (BackdropLcd* lcd : { &cached, &whole }) {
            lcd->SetWeatherValue(L"", L"21\x2103", L"64", L"", L"", L"7", L"Rain");
            lcd->giveIcon(0, 0xFFFFFF);
            lcd->SetColor(0xFF000000, 0xFFFFE080, 0xFF000000, 0xFF40FF40);
        }
        for (const Step& step : script) {
            step.set(cached);
            step.set(whole);
            cached.face(shown, 8, type);
            whole.face(expected, 8, type);
            EXPECT_TRUE(sameFrame(shown, expected)) << type << " " << step.change;
            EXPECT_FALSE(sameFrame(shown, before)) << type << " " << step.change;
            cached.face(before, 8, type);
        }
        whole.SetClockFileImage(L"", MediaKindPicture);
        cached.SetClockFileImage(L"", MediaKindPicture);
    }
}

// Over a moving background the hands of face 6, all it draws every frame, are kept on a layer
// of their own: frames within one second show it, and the next second, minute and hour move
// the hands as the face drawn whole moves them.
TEST_F(ClockBackdrop, KeptHandsFollowTheTime)
{
    const ScratchGif gif(folder.path(), L"hands.gif", 64, 64, { 0xFF0000FF, 0xFF00FF00 });
    ASSERT_TRUE(gif.written());
    for (BackdropLcd* lcd : { &cached, &whole }) {
        lcd->SetClockFileImage(gif.path(), MediaKindGif);
        lcd->giveHand(0, 0xFF0000);
        lcd->giveHand(1, 0x00FF00);
        lcd->giveHand(2, 0xFFFF00);
    }
    const struct {
        const char* step;
        DWORD advanceMs;
        bool moves;
    } script[] = { { "first frame", 0, true }, { "same second", 400, false }, { "next second", 600, true },
                   { "next minute", 60000, true }, { "next hour", 3600000, true } };
    for (int type : { LEDScreenCircle, LEDScreenSquare }) {
        DibCanvas before(480, 480);
        DibCanvas shown(480, 480);
        DibCanvas expected(480, 480);
        for (const auto& step : script) {
            TimeSource::Advance(step.advanceMs);
            cached.face(shown, 6, type);
            whole.face(expected, 6, type);
            EXPECT_TRUE(sameFrame(shown, expected)) << type << " " << step.step;
            EXPECT_EQ(step.moves, !sameFrame(shown, before)) << type << " " << step.step;
            cached.face(before, 6, type);
        }
    }
}

// Every face over a GIF frame (its still elements laid on as a layer) against the same face
// over a still picture of the same colour (everything drawn straight onto the frame): GDI+
// blends onto a 32-bit surface as AlphaBlend lays a premultiplied layer, so an element alone
// gives the same pixels; where still elements overlap the blends are grouped otherwise, and a
// channel may be a rounding step off. Bound: every channel within 2, few such pixels.
TEST_F(ClockBackdrop, FacesOverAGifFrameMatchTheWholeDrawnFace)
{
    const ScratchGif gif(folder.path(), L"blue.gif", 64, 64, { 0xFF0000FF, 0xFF00FF00 });
    const ScratchStrip picture(folder.path(), L"blue.png", 64, 64, { 0xFF0000FF });
    ASSERT_TRUE(gif.written() && picture.written());
    constexpr int kMostOffPixels = 40;
    for (int type : { LEDScreenCircle, LEDScreenSquare, LEDScreenWide }) {
        const int width = type == LEDScreenWide ? 640 : 480;
        DibCanvas overGif(width, 480);
        DibCanvas overPicture(width, 480);
        for (int style = 1; style <= 8; ++style) {
            cached.SetClockFileImage(gif.path(), MediaKindGif);
            cached.showClockFrame(0);
            cached.face(overGif, style, type);
            cached.SetClockFileImage(picture.path(), MediaKindPicture);
            cached.face(overPicture, style, type);
            int off = 0;
            int furthest = 0;
            for (int y = 0; y < 480; ++y)
                for (int x = 0; x < width; ++x)
                    for (int shift : { 0, 8, 16 }) {
                        const int d = std::abs(static_cast<int>(overGif.rgb(x, y) >> shift & 0xFF)
                                               - static_cast<int>(overPicture.rgb(x, y) >> shift & 0xFF));
                        furthest = std::max(furthest, d);
                        off += d != 0 && shift == 0;
                    }
            EXPECT_LE(furthest, 2) << "type " << type << " face " << style;
            EXPECT_LE(off, kMostOffPixels) << "type " << type << " face " << style;
            RecordProperty("type " + std::to_string(type) + " face " + std::to_string(style) + " off", off);
        }
    }
}

// The layer lays exactly what was drawn on it: opaque pixels copied, translucent ones blended
// as premultiplied, untouched pixels of a tile that holds ink left as they were, nothing
// outside the clip; drawn again, it starts from nothing.
TEST(PremultipliedLayer, LaysWhatWasDrawnAndNothingElse)
{
    DibCanvas frame(200, 100, 0xFF336699);
    LcdPremultipliedLayer layer;
    {
        const HDC dc = layer.Begin(frame.dc(), 200, 100);
        ASSERT_NE(nullptr, dc);
        Gdiplus::Graphics g(dc);
        Gdiplus::SolidBrush red(Gdiplus::Color(0xFFFF0000));
        Gdiplus::SolidBrush green(Gdiplus::Color(0x8000FF00));
        g.FillRectangle(&red, 10, 10, 10, 10);
        g.FillRectangle(&green, 100, 40, 50, 30);
    }
    layer.Seal();
    layer.DrawOnto(frame.dc());
    EXPECT_EQ(0xFF0000u, frame.rgb(15, 15));
    EXPECT_EQ(0x336699u, frame.rgb(25, 15)) << "the tile of the red square, undrawn";
    EXPECT_EQ(0x336699u, frame.rgb(190, 90));
    // 0x80 of green over the ground, premultiplied: c + d × (255 − 128) / 255.
    const DWORD blended = frame.rgb(120, 50);
    EXPECT_NEAR(0x33 * 127 / 255, static_cast<int>(blended >> 16), 1);
    EXPECT_NEAR(128 + 0x66 * 127 / 255, static_cast<int>(blended >> 8 & 0xFF), 1);
    EXPECT_NEAR(0x99 * 127 / 255, static_cast<int>(blended & 0xFF), 1);

    DibCanvas clipped(200, 100, 0xFF336699);
    const HRGN left = CreateRectRgn(0, 0, 100, 100);
    layer.DrawOnto(clipped.dc(), left);
    DeleteObject(left);
    EXPECT_EQ(0xFF0000u, clipped.rgb(15, 15));
    EXPECT_EQ(0x336699u, clipped.rgb(120, 50)) << "outside the clip";

    {
        const HDC dc = layer.Begin(frame.dc(), 200, 100);
        Gdiplus::Graphics g(dc);
        Gdiplus::SolidBrush blue(Gdiplus::Color(0xFF0000FF));
        g.FillRectangle(&blue, 50, 50, 10, 10);
    }
    layer.Seal();
    DibCanvas again(200, 100, 0xFF336699);
    layer.DrawOnto(again.dc());
    EXPECT_EQ(0x0000FFu, again.rgb(55, 55));
    EXPECT_EQ(0x336699u, again.rgb(15, 15)) << "what the layer held before";
}

// The layers and kept texts stand in for drawing straight onto the frame only where the
// platform's GDI+ leaves premultiplied pixels on a transparent DIB; Wine's does, so a probe
// that turned them off here would be wrong, and every frame would pay for it.
TEST(PremultipliedLayer, ThisPlatformsTransparentDrawingBlendsAlike)
{
    EXPECT_TRUE(KOVA::LcdPremultipliedLayer::TransparentDrawingBlendsAlike());
}
