// The kept pictures of the screens' texts: a string blended from its kept picture leaves the
// very pixels drawing it leaves, whatever lies under it, and a string that changed is drawn
// anew, never shown from another string's picture.
#include <functional>
#include <memory>
#include <string>

#include "LcdTestKit.h"
#include "lcd/renderer/LcdTextStamps.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr int kSide = 200;

// What lies under a text: a colour, a gradient with translucent stripes, another text.
void paintUnder(DibCanvas& canvas, int kind)
{
    canvas.fill(kind == 0 ? 0xFF102040 : 0xFF000000);
    Gdiplus::Graphics g(canvas.dc());
    if (kind == 1) {
        Gdiplus::LinearGradientBrush ramp(Gdiplus::Rect(0, 0, kSide, kSide), Gdiplus::Color(255, 250, 20, 0),
                                          Gdiplus::Color(255, 0, 90, 250), Gdiplus::LinearGradientModeForwardDiagonal);
        g.FillRectangle(&ramp, 0, 0, kSide, kSide);
        Gdiplus::SolidBrush stripe(Gdiplus::Color(90, 255, 255, 255));
        for (int x = 0; x < kSide; x += 23)
            g.FillRectangle(&stripe, x, 0, 7, kSide);
    } else if (kind == 2) {
        Gdiplus::Font font(L"DejaVu Sans", 40, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
        Gdiplus::SolidBrush ink(Gdiplus::Color(255, 40, 200, 60));
        g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
        g.DrawString(L"8888", -1, &font, Gdiplus::PointF(10, 60), &ink);
    }
}

struct Look {
    const wchar_t* text;
    Gdiplus::Color colour;
    Gdiplus::TextRenderingHint hint;
    float size;
    bool centred;
    // Set on the Graphics before the text: a clip, a turn.
    std::function<void(Gdiplus::Graphics&)> prepare;
};

void drawLook(DibCanvas& canvas, const Look& look, LcdTextStamps* stamps)
{
    Gdiplus::Graphics g(canvas.dc());
    g.SetTextRenderingHint(look.hint);
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    if (look.prepare)
        look.prepare(g);
    Gdiplus::Font font(L"DejaVu Sans", look.size, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    Gdiplus::StringFormat centred;
    centred.SetAlignment(Gdiplus::StringAlignmentCenter);
    centred.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    Gdiplus::SolidBrush brush(look.colour);
    DrawStampedText(stamps, g, look.text, -1, &font, Gdiplus::RectF(10, 40, 180, 120), look.centred ? &centred : nullptr,
                    brush);
}

// The pixels where a look was drawn straight and where it was drawn through the stamps.
::testing::AssertionResult drawnAlike(const Look& look, int under, LcdTextStamps& stamps)
{
    DibCanvas straight(kSide, kSide), stamped(kSide, kSide);
    paintUnder(straight, under);
    paintUnder(stamped, under);
    drawLook(straight, look, nullptr);
    drawLook(stamped, look, &stamps);
    DibCanvas ground(kSide, kSide);
    paintUnder(ground, under);
    int differing = 0;
    int inked = 0;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            differing += straight.pixel(x, y) != stamped.pixel(x, y);
            inked += straight.pixel(x, y) != ground.pixel(x, y);
        }
    if (differing)
        return ::testing::AssertionFailure() << differing << " pixels differ";
    // A text that drew nothing proves nothing.
    if (inked < 50)
        return ::testing::AssertionFailure() << "the text inked " << inked << " pixels";
    return ::testing::AssertionSuccess();
}

TEST(LcdTextStamps, AKeptTextLeavesThePixelsOfTheTextDrawnStraightOverAnyGround)
{
    // An ellipse across the middle of the text: part of it shows.
    const auto ellipse = [](Gdiplus::Graphics& g) {
        Gdiplus::GraphicsPath path;
        path.AddEllipse(50, 60, 100, 80);
        g.SetClip(&path);
    };
    const auto turned = [](Gdiplus::Graphics& g) { g.RotateTransform(20); };
    const Look looks[] = {
        { L"45\x2103", Gdiplus::Color(255, 255, 255, 255), Gdiplus::TextRenderingHintAntiAlias, 50, true, {} },
        { L"4321 MHz", Gdiplus::Color(150, 250, 200, 20), Gdiplus::TextRenderingHintAntiAliasGridFit, 30, true, {} },
        { L"CPU", Gdiplus::Color(255, 157, 29, 150), Gdiplus::TextRenderingHintSingleBitPerPixelGridFit, 36, false, {} },
        { L"\x6674 20", Gdiplus::Color(255, 0, 192, 192), Gdiplus::TextRenderingHintAntiAlias, 44, true, {} },
        // Clipped, the text reaching past the clip.
        { L"WWWW", Gdiplus::Color(255, 255, 64, 32), Gdiplus::TextRenderingHintAntiAlias, 60, true, ellipse },
        // Turned: drawn straight.
        { L"61%", Gdiplus::Color(255, 255, 255, 255), Gdiplus::TextRenderingHintAntiAlias, 50, true, turned },
    };
    LcdTextStamps stamps;
    for (const Look& look : looks) {
        for (int under = 0; under < 3; ++under) {
            SCOPED_TRACE(::testing::Message() << "look " << &look - looks << " under " << under);
            // The first draw keeps the picture, the second blends the kept one.
            EXPECT_TRUE(drawnAlike(look, under, stamps));
            EXPECT_TRUE(drawnAlike(look, under, stamps));
        }
    }
}

TEST(LcdTextStamps, AChangedValueColourOrPlaceIsDrawnAnewAndTheOldestPictureMakesWay)
{
    LcdTextStamps stamps;
    const Look first { L"45", Gdiplus::Color(255, 255, 255, 255), Gdiplus::TextRenderingHintAntiAlias, 50, true, {} };
    ASSERT_TRUE(drawnAlike(first, 0, stamps));
    Look changed = first;
    const std::function<void(Look&)> changes[] = {
        [](Look& l) { l.text = L"46"; },
        [](Look& l) { l.colour = Gdiplus::Color(255, 255, 0, 0); },
        [](Look& l) { l.size = 51; },
        [](Look& l) { l.centred = false; },
        [](Look& l) { l.hint = Gdiplus::TextRenderingHintSingleBitPerPixelGridFit; },
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(&change - changes);
        changed = first;
        change(changed);
        EXPECT_TRUE(drawnAlike(changed, 0, stamps));
        EXPECT_TRUE(drawnAlike(first, 0, stamps));
    }
    // More strings than the stamps keep: every one drawn right, the first again after it made way.
    std::wstring values[LcdTextStamps::kStamps + 1];
    for (size_t i = 0; i < std::size(values); ++i) {
        values[i] = std::to_wstring(1000 + i);
        Look look = first;
        look.text = values[i].c_str();
        ASSERT_TRUE(drawnAlike(look, 0, stamps)) << i;
    }
    Look again = first;
    again.text = values[0].c_str();
    EXPECT_TRUE(drawnAlike(again, 1, stamps));
}

} // namespace
