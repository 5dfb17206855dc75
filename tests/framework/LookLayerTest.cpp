// The kept looks: a layer laid over a ground blends as AlphaBlend does, whatever the target
// (a DIB section blended in place, top-down or bottom-up, or any other bitmap through a band),
// and what GDI+ draws on a layer laid over a ground leaves the pixels it leaves drawn there.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "DibCanvas.h"
#include "LibraryHost.h"
#include "framework/MRenderLayer.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

TEST(LookLayer, PlatformGdiplusDrawsOnATransparentLayerAsOnTheGround)
{
    EXPECT_TRUE(LookLayer::BlendsAlike());
}

// A 32-bit DIB section in a memory DC, top-down or bottom-up (a window's back buffer is
// bottom-up), or a bitmap compatible with the screen.
class Target {
public:
    enum Kind { TopDown, BottomUp, Compatible };
    Target(Kind kind, int width, int height)
    {
        HDC screen = GetDC(nullptr);
        m_dc = CreateCompatibleDC(screen);
        if (kind == Compatible) {
            m_bitmap = CreateCompatibleBitmap(screen, width, height);
        } else {
            BITMAPINFO info {};
            info.bmiHeader.biSize = sizeof(info.bmiHeader);
            info.bmiHeader.biWidth = width;
            info.bmiHeader.biHeight = kind == TopDown ? -height : height;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            void* bits = nullptr;
            m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        }
        ReleaseDC(nullptr, screen);
        m_previous = SelectObject(m_dc, m_bitmap);
    }
    ~Target()
    {
        SelectObject(m_dc, m_previous);
        DeleteDC(m_dc);
        DeleteObject(m_bitmap);
    }
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;
    HDC dc() const { return m_dc; }

private:
    HDC m_dc { nullptr };
    HBITMAP m_bitmap { nullptr };
    HGDIOBJ m_previous { nullptr };
};

// Raw 32-bit pixels, alpha and all, onto a 32-bit DIB.
void putPixels(HDC dc, const std::vector<DWORD>& pixels, int width, int height)
{
    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    GdiFlush();
}

// Every pixel of a layer holding nothing, opaque and translucent premultiplied pixels, laid
// at an offset over a ground of any colours, leaves what AlphaBlend leaves, whatever the
// target's kind.
TEST(LookLayer, LaidOverAnyTargetItBlendsAsAlphaBlendDoes)
{
    constexpr int kSide = 96;
    constexpr int kShift = 5;
    std::mt19937 random(7);
    std::vector<DWORD> looks(kSide * kSide);
    std::vector<DWORD> under(kSide * kSide);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            // Stretches of nothing, of opaque pixels and of translucent ones along each row.
            const int stretch = (x / 7 + y) % 3;
            const DWORD alpha = stretch == 0 ? 0 : stretch == 1 ? 255 : random() % 255;
            DWORD pixel = alpha << 24;
            for (int shift : { 0, 8, 16 })
                pixel |= ((random() % 256) * alpha / 255) << shift;
            looks[y * kSide + x] = pixel;
            under[y * kSide + x] = random() | 0xFF000000;
        }
    LookLayer layer;
    layer.Ensure(kSide, kSide);
    ASSERT_NE(nullptr, layer.dc());
    putPixels(layer.dc(), looks, kSide, kSide);
    const CRect whole(0, 0, kSide, kSide);
    layer.Seal(whole);
    DibCanvas lookCopy(kSide, kSide);
    putPixels(lookCopy.dc(), looks, kSide, kSide);
    // The band of the layer laid: all but its first rows and columns.
    const CRect band(kShift, kShift, kSide, kSide);
    const BLENDFUNCTION blend { AC_SRC_OVER, 0, 255, AC_SRC_ALPHA };
    for (Target::Kind kind : { Target::TopDown, Target::BottomUp, Target::Compatible }) {
        SCOPED_TRACE(kind);
        Target laid(kind, kSide, kSide);
        DibCanvas expected(kSide, kSide);
        putPixels(expected.dc(), under, kSide, kSide);
        BitBlt(laid.dc(), 0, 0, kSide, kSide, expected.dc(), 0, 0, SRCCOPY);
        AlphaBlend(expected.dc(), 0, 0, band.Width(), band.Height(), lookCopy.dc(), kShift, kShift, band.Width(),
                   band.Height(), blend);
        layer.BlendOnto(laid.dc(), 0, 0, band);
        DibCanvas actual(kSide, kSide);
        BitBlt(actual.dc(), 0, 0, kSide, kSide, laid.dc(), 0, 0, SRCCOPY);
        int differing = 0;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                differing += actual.rgb(x, y) != expected.rgb(x, y);
        EXPECT_EQ(0, differing);
    }
}

} // namespace
