// The LCD surface: a memory DC with a top-down 32-bit DIB section, kept while its size holds
// and made anew, clean, when it changes; and the one routine behind both exported
// CreateARGB32Bitmap.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <vector>

#include "GdiObjectCount.h"
#include "KOVA.h"
#include "LibraryHost.h"
#include "lcd/renderer/LcdSurface.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

using RowPair = std::pair<DWORD, DWORD>;
const RowPair kBarOnTop { 0x0000FF, 0 };

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// Paints the whole surface through its DC, as the screens draw on it.
void paint(const LcdSurface& surface, COLORREF colour)
{
    const RECT whole { 0, 0, surface.width(), surface.height() };
    HDC dc = surface.dc();
    MRender::FillSolidRect(dc, &whole, colour);
    GdiFlush();
}

// How many pixels of the surface differ from value (0x00RRGGBB, alpha ignored).
int pixelsOtherThan(const LcdSurface& surface, DWORD value)
{
    int others = 0;
    for (int y = 0; y < surface.height(); ++y) {
        const auto* row = reinterpret_cast<const DWORD*>(surface.bits() + static_cast<size_t>(y) * surface.stride());
        for (int x = 0; x < surface.width(); ++x)
            others += (row[x] & 0xFFFFFF) != value ? 1 : 0;
    }
    return others;
}

// A bar GDI draws along the top row lands in the first row of the pixels when the rows are in
// screen order, and in the last when the section is bottom-up.
RowPair firstAndLastRowAfterTopBar(HDC dc, const BYTE* bits, int width, int height)
{
    const RECT top { 0, 0, width, 1 };
    HDC target = dc;
    MRender::FillSolidRect(target, &top, RGB(0, 0, 255));
    GdiFlush();
    const auto* pixels = reinterpret_cast<const DWORD*>(bits);
    return { pixels[0] & 0xFFFFFF, pixels[static_cast<size_t>(height - 1) * width] & 0xFFFFFF };
}

} // namespace

TEST(LcdSurface, KeepsItsPixelsWhileTheSizeHoldsAndComesBackCleanAtANewSize)
{
    LcdSurface surface;
    // Sizes in turn, each after a frame painted white at the one before: a surface remade at
    // the same size would lose the frame it keeps, one not remade at a new size would show it.
    const struct {
        int width, height;
        bool kept;
    } steps[] = {
        { 480, 480, false }, { 480, 480, true }, { 640, 480, false }, { 480, 640, false },
        { 1, 1, false },     { 1, 1, true },     { 481, 479, false }, { 480, 480, false },
    };
    for (const auto& step : steps) {
        const HDC before = surface.dc();
        ASSERT_TRUE(surface.Prepare(nullptr, step.width, step.height)) << step.width << "x" << step.height;
        EXPECT_EQ(std::tuple(surface.width(), surface.height(), surface.stride(), surface.dc() == before),
                  std::tuple(step.width, step.height, step.width * 4, step.kept));
        EXPECT_EQ(pixelsOtherThan(surface, step.kept ? 0xFFFFFF : 0), 0) << step.width << "x" << step.height;
        paint(surface, RGB(255, 255, 255));
    }
}

TEST(LcdSurface, ASizeThatCannotBeMadeLeavesNoSurfaceAndTheNextGoodOneWorks)
{
    LcdSurface surface;
    ASSERT_TRUE(surface.Prepare(nullptr, 64, 64));
    // A side of 0 or less, and a section larger than a 32-bit process can map.
    for (const auto& [width, height] : { std::pair(0, 64), std::pair(64, -1), std::pair(30000, 30000) }) {
        EXPECT_FALSE(surface.Prepare(nullptr, width, height)) << width << "x" << height;
        EXPECT_EQ(std::tuple(surface.dc(), surface.bits(), surface.width(), surface.height()),
                  std::tuple(HDC(nullptr), static_cast<BYTE*>(nullptr), 0, 0));
        EXPECT_FALSE(surface.Fits(width, height));
        ASSERT_TRUE(surface.Prepare(nullptr, 64, 64));
        EXPECT_EQ(pixelsOtherThan(surface, 0), 0);
    }
}

TEST(LcdSurface, AThousandResizesLeakNoGdiObject)
{
    LcdSurface surface;
    int side = 0;
    // Every round a new size (and so a new DC and section), and a drawing on it.
    expectNoGdiGrowth(
        [&] {
            side = side % 97 + 16;
            ASSERT_TRUE(surface.Prepare(nullptr, side, side + 3));
            paint(surface, RGB(side, 0, 0));
        },
        1000);
    // The surface's own objects go with it.
    const int withSurface = countGdiObjects();
    {
        LcdSurface passing;
        ASSERT_TRUE(passing.Prepare(nullptr, 50, 50));
        paint(passing, RGB(0, 255, 0));
    }
    EXPECT_EQ(gdiObjectsSettled(withSurface), withSurface);
}

// The surface and both exported names make the same top-down section: rows in screen order,
// pixels given back, and a null pixel pointer allowed.
TEST(LcdSurface, SurfaceAndBothExportedCreateARGB32BitmapAreTopDown)
{
    LcdSurface surface;
    ASSERT_TRUE(surface.Prepare(nullptr, 40, 30));
    EXPECT_EQ(firstAndLastRowAfterTopBar(surface.dc(), surface.bits(), 40, 30), kBarOnTop);

    LEDModeCtrl lcd(nullptr, 1, CRect(0, 0, 100, 100), 1, 1);
    ClockCtrl clock(nullptr, 2, CRect(0, 0, 100, 100), 1, 1);
    const std::function<HBITMAP(HDC, int, int, BYTE**)> makers[] = {
        [&](HDC dc, int w, int h, BYTE** bits) { return lcd.CreateARGB32Bitmap(dc, w, h, bits); },
        [&](HDC dc, int w, int h, BYTE** bits) { return clock.CreateARGB32Bitmap(dc, w, h, bits); },
    };
    for (const auto& make : makers) {
        HDC dc = CreateCompatibleDC(nullptr);
        BYTE* bits = nullptr;
        HBITMAP section = make(dc, 24, 10, &bits);
        ASSERT_TRUE(section && bits);
        const HGDIOBJ previous = SelectObject(dc, section);
        EXPECT_EQ(firstAndLastRowAfterTopBar(dc, bits, 24, 10), kBarOnTop);
        SelectObject(dc, previous);
        DeleteObject(section);
        HBITMAP withoutBits = make(dc, 8, 8, nullptr);
        EXPECT_TRUE(withoutBits);
        DeleteObject(withoutBits);
        DeleteDC(dc);
    }
}
