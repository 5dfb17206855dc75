// Text in a face that is not installed: the face GDI+ or GDI falls back to has no CJK glyphs,
// so the library draws a text that face lacks in one that has its characters, on every path
// that draws text; a Latin text keeps the pixels of the fallback face.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "DibCanvas.h"
#include "InkScan.h"
#include "KOVA.h"
#include "LibraryHost.h"
#include "framework/FontCache.h"
#include "lcd/renderer/LcdTextStamps.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const wchar_t* const kMissingFace = L"Kova Fallback Test Face";
const wchar_t* const kCaption = L"\x8BBE\x5907 CPU";   // "devices", then Latin letters
const wchar_t* const kLacked = L"\x8BBE";              // one character the fallback face lacks
const wchar_t* const kLatin = L"Fan hub 42";
const CRect kBox(4, 4, 236, 44);
constexpr int kPixels = 24;
constexpr DWORD kWhite = 0xFFFFFF;

// A control's text, exposed: the font every control draws its text with and the routine.
class TextControl : public MControlFont {
public:
    TextControl() : MControlFont(nullptr, 1, kBox, L"", 1, 1, 1) {}
    void DrawControl(HDC&, CRect) override {}
    using MControlFont::CreateTextFont;
    using MControlFont::DrawString;
};

class FontFallback : public ::testing::Test {
public:
    FontFallback()
    {
        control.SetManager(&manager);
        control.SetFont(kMissingFace, kPixels, Gdiplus::FontStyleRegular);
        control.SetTextColor(Gdiplus::Color(255, 0, 0, 0));
        control.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
    }
    ~FontFallback() override { control.SetManager(nullptr); }

    std::unique_ptr<Gdiplus::Font> fallbackFont()
    {
        return std::make_unique<Gdiplus::Font>(manager.FindTempFontOrFallback(kMissingFace),
                                               static_cast<Gdiplus::REAL>(kPixels), Gdiplus::FontStyleRegular,
                                               Gdiplus::UnitPixel);
    }

    PaintManager manager;
    TextControl control;
    LcdTextStamps stamps;
};

// How one path draws a text in the missing face, black on white inside kBox, and how it drew
// it before a face was chosen for the text: straight in the font the missing face falls back to.
struct Path {
    const char* name;
    void (*library)(FontFallback&, DibCanvas&, const wchar_t*);
    void (*straight)(FontFallback&, DibCanvas&, const wchar_t*);
};

Gdiplus::RectF layout()
{
    return Gdiplus::RectF(static_cast<float>(kBox.left), static_cast<float>(kBox.top),
                          static_cast<float>(kBox.Width()), static_cast<float>(kBox.Height()));
}

void straightGdiplus(const Gdiplus::Font* font, DibCanvas& canvas, const wchar_t* text)
{
    Gdiplus::Graphics graphics(canvas.dc());
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
    Gdiplus::StringFormat format;
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    const Gdiplus::SolidBrush black(Gdiplus::Color(255, 0, 0, 0));
    graphics.DrawString(text, -1, font, layout(), &format, &black);
}

HFONT missingGdiFont()
{
    const LOGFONTW description = MakeLogFont(kMissingFace, -kPixels, 0);
    return CreateFontIndirectW(&description);
}

constexpr UINT kGdiFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;

const Path kPaths[] = {
    { "a control's text (GDI+)",
      [](FontFallback& f, DibCanvas& canvas, const wchar_t* text) {
          Gdiplus::Graphics graphics(canvas.dc());
          f.control.DrawString(graphics, text, kBox);
      },
      [](FontFallback& f, DibCanvas& canvas, const wchar_t* text) {
          straightGdiplus(f.control.CreateTextFont().get(), canvas, text);
      } },
    { "the GDI text routine",
      [](FontFallback&, DibCanvas& canvas, const wchar_t* text) {
          HFONT font = missingGdiFont();
          CRect place = kBox;
          MRender::DrawTextW(canvas.dc(), place, text, RGB(0, 0, 0), font, kGdiFormat);
          DeleteObject(font);
      },
      [](FontFallback&, DibCanvas& canvas, const wchar_t* text) {
          HFONT font = missingGdiFont();
          const HGDIOBJ previous = SelectObject(canvas.dc(), font);
          SetBkMode(canvas.dc(), TRANSPARENT);
          SetTextColor(canvas.dc(), RGB(0, 0, 0));
          RECT place = kBox;
          ::DrawTextW(canvas.dc(), text, -1, &place, kGdiFormat);
          SelectObject(canvas.dc(), previous);
          DeleteObject(font);
      } },
    { "an LCD screen's kept text",
      [](FontFallback& f, DibCanvas& canvas, const wchar_t* text) {
          Gdiplus::Graphics graphics(canvas.dc());
          graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
          Gdiplus::StringFormat format;
          format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
          const Gdiplus::SolidBrush black(Gdiplus::Color(255, 0, 0, 0));
          DrawStampedText(&f.stamps, graphics, text, -1, f.fallbackFont().get(), layout(), &format, black);
      },
      [](FontFallback& f, DibCanvas& canvas, const wchar_t* text) {
          straightGdiplus(f.fallbackFont().get(), canvas, text);
      } },
};

// Dark pixels as a mask, cut to where they lie.
struct Shape {
    CRect bounds;
    std::vector<bool> dark;
    int darkCount() const { return static_cast<int>(std::count(dark.begin(), dark.end(), true)); }
    bool at(int x, int y) const { return dark[static_cast<size_t>((y - bounds.top) * bounds.Width() + x - bounds.left)]; }
};

// Inked: thin box outlines are smoothed to grey.
bool isDark(const DibCanvas& canvas, int x, int y)
{
    return channel(canvas.rgb(x, y), 8) < 200;
}

Shape shapeOf(const DibCanvas& canvas)
{
    const Ink ink = scanInk(canvas, CRect(0, 0, canvas.width(), canvas.height()), kWhite, 0);
    Shape shape { CRect(ink.bounds.left, ink.bounds.top, ink.bounds.right + 1, ink.bounds.bottom + 1), {} };
    for (int y = shape.bounds.top; y < shape.bounds.bottom; ++y)
        for (int x = shape.bounds.left; x < shape.bounds.right; ++x)
            shape.dark.push_back(isDark(canvas, x, y));
    return shape;
}

// Whether the shape lies anywhere in the canvas, all but a twentieth of its pixels alike.
bool contains(const DibCanvas& canvas, const Shape& shape)
{
    const int width = shape.bounds.Width(), height = shape.bounds.Height();
    const int allowed = width * height / 20;
    for (int top = 0; top + height <= canvas.height(); ++top)
        for (int left = 0; left + width <= canvas.width(); ++left) {
            int unlike = 0;
            for (int y = 0; y < height && unlike <= allowed; ++y)
                for (int x = 0; x < width && unlike <= allowed; ++x)
                    unlike += isDark(canvas, left + x, top + y) != shape.at(shape.bounds.left + x, shape.bounds.top + y);
            if (unlike <= allowed)
                return true;
        }
    return false;
}

bool samePixels(const DibCanvas& a, const DibCanvas& b)
{
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.rgb(x, y) != b.rgb(x, y))
                return false;
    return true;
}

} // namespace

// What the missing face falls back to draws a box for a CJK character; the library draws the
// caption with no such box in it, and something where the box was.
TEST_F(FontFallback, CjkCaptionsDrawNoMissingGlyphBoxes)
{
    for (const Path& path : kPaths) {
        SCOPED_TRACE(path.name);
        DibCanvas box(240, 48, 0xFFFFFFFF), caption(240, 48, 0xFFFFFFFF);
        path.straight(*this, box, kLacked);
        path.library(*this, caption, kCaption);
        const Shape missing = shapeOf(box);
        ASSERT_GT(missing.darkCount(), 20) << "the fallback face draws its box";
        EXPECT_TRUE(scanInk(caption, CRect(kBox.left, kBox.top, kBox.left + 60, kBox.bottom), kWhite, 0).any());
        EXPECT_FALSE(contains(caption, missing));
    }
}

// A text the fallback face has, Latin letters and digits, is drawn by it pixel for pixel.
TEST_F(FontFallback, LatinCaptionsKeepTheFallbackFacesPixels)
{
    for (const Path& path : kPaths) {
        SCOPED_TRACE(path.name);
        DibCanvas straight(240, 48, 0xFFFFFFFF), drawn(240, 48, 0xFFFFFFFF);
        path.straight(*this, straight, kLatin);
        path.library(*this, drawn, kLatin);
        EXPECT_TRUE(scanInk(drawn, kBox, kWhite, 0).any());
        EXPECT_TRUE(samePixels(straight, drawn));
    }
}

// The face chosen for a CJK text is one of the CJK faces, which have its Latin letters too;
// a face that has every character keeps it, and a face GDI does not know is left alone.
TEST_F(FontFallback, TheFaceChosenHasTheTextsCharacters)
{
    wchar_t fallback[LF_FACESIZE] {};
    manager.FindTempFontOrFallback(kMissingFace)->GetFamilyName(fallback);
    const CString chosen = FallbackFaceFor(fallback, kCaption);
    EXPECT_FALSE(chosen.IsEmpty());
    EXPECT_TRUE(FallbackFaceFor(chosen, kCaption).IsEmpty()) << static_cast<const wchar_t*>(chosen);
    EXPECT_TRUE(FallbackFaceFor(fallback, L"Fan \x00E9t\x00E9").IsEmpty());
    EXPECT_TRUE(FallbackFaceFor(kMissingFace, kCaption).IsEmpty());
}
