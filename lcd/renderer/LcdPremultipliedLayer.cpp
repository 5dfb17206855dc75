#include "lcd/renderer/LcdPremultipliedLayer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace KOVA {

namespace {
constexpr int kProbeWidth = 64;
constexpr int kProbeHeight = 32;
constexpr int kProbeTolerance = 2;
constexpr DWORD kGround = 0xFF405060;

// Anti-aliased text and a translucent disc, as the layers and kept texts carry them.
void drawProbe(HDC dc)
{
    Gdiplus::Graphics g(dc);
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const Gdiplus::Font font(Gdiplus::FontFamily::GenericSansSerif(), 20.0f, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
    const Gdiplus::SolidBrush text(Gdiplus::Color(0xFFF0A020));
    const Gdiplus::SolidBrush disc(Gdiplus::Color(0x80FFFFFF));
    g.FillEllipse(&disc, 36, 4, 24, 24);
    g.DrawString(L"8g", 2, &font, Gdiplus::PointF(2, 2), &text);
    g.Flush(Gdiplus::FlushIntentionSync);
}

bool probeTransparentDrawing()
{
    LcdSurface straight;
    LcdSurface ground;
    LcdPremultipliedLayer layer;
    if (!straight.Prepare(nullptr, kProbeWidth, kProbeHeight) || !ground.Prepare(nullptr, kProbeWidth, kProbeHeight))
        return false;
    GdiFlush();
    std::fill_n(reinterpret_cast<DWORD*>(straight.bits()), kProbeWidth * kProbeHeight, kGround);
    std::fill_n(reinterpret_cast<DWORD*>(ground.bits()), kProbeWidth * kProbeHeight, kGround);
    drawProbe(straight.dc());
    const HDC drawn = layer.Begin(nullptr, kProbeWidth, kProbeHeight);
    if (!drawn)
        return false;
    drawProbe(drawn);
    layer.Seal();
    layer.DrawOnto(ground.dc());
    GdiFlush();
    const BYTE* a = straight.bits();
    const BYTE* b = ground.bits();
    for (int i = 0; i < kProbeWidth * kProbeHeight * 4; ++i)
        if (std::abs(a[i] - b[i]) > kProbeTolerance)
            return false;
    // A probe that drew nothing proves nothing.
    const DWORD* pixels = reinterpret_cast<const DWORD*>(a);
    return std::any_of(pixels, pixels + kProbeWidth * kProbeHeight, [](DWORD pixel) { return pixel != kGround; });
}
} // namespace

bool LcdPremultipliedLayer::TransparentDrawingBlendsAlike()
{
    static const bool alike = probeTransparentDrawing();
    return alike;
}

HDC LcdPremultipliedLayer::Begin(HDC reference, int width, int height)
{
    m_sealed = false;
    if (!m_surface.Prepare(reference, width, height))
        return nullptr;
    GdiFlush();
    std::memset(m_surface.bits(), 0, Bytes());
    return m_surface.dc();
}

int LcdPremultipliedLayer::tileInk(int left, int top, int right, int bottom) const
{
    bool drawn = false;
    bool opaque = true;
    for (int y = top; y < bottom; ++y) {
        const DWORD* pixels = row(y);
        for (int x = left; x < right; ++x) {
            drawn = drawn || pixels[x] != 0;
            opaque = opaque && (pixels[x] >> 24) == 0xFF;
        }
    }
    return opaque ? 2 : drawn ? 1 : 0;
}

void LcdPremultipliedLayer::addRun(const RECT& rect, bool opaque)
{
    for (Run& run : m_runs)
        if (run.opaque == opaque && run.rect.left == rect.left && run.rect.right == rect.right
            && run.rect.bottom == rect.top) {
            run.rect.bottom = rect.bottom;
            return;
        }
    m_runs.push_back(Run { rect, opaque });
}

void LcdPremultipliedLayer::Seal()
{
    if (!m_surface.dc())
        return;
    GdiFlush();
    m_runs.clear();
    const int width = m_surface.width();
    const int height = m_surface.height();
    for (int top = 0; top < height; top += kTile) {
        const int bottom = std::min(top + kTile, height);
        int runStart = 0;
        int runKind = 0;
        for (int left = 0; left <= width; left += kTile) {
            const int kind = left < width ? tileInk(left, top, std::min(left + kTile, width), bottom) : 0;
            if (kind == runKind)
                continue;
            if (runKind != 0)
                addRun(RECT { runStart, top, left, bottom }, runKind == 2);
            runStart = left;
            runKind = kind;
        }
    }
    m_sealed = true;
}

void LcdPremultipliedLayer::DrawOnto(HDC target, HRGN clip) const
{
    if (!m_sealed || m_runs.empty())
        return;
    const int saved = clip ? SaveDC(target) : 0;
    if (clip)
        ExtSelectClipRgn(target, clip, RGN_AND);
    const BLENDFUNCTION blend { AC_SRC_OVER, 0, 255, AC_SRC_ALPHA };
    for (const Run& run : m_runs) {
        const RECT& r = run.rect;
        const int width = r.right - r.left;
        const int height = r.bottom - r.top;
        if (run.opaque)
            BitBlt(target, r.left, r.top, width, height, m_surface.dc(), r.left, r.top, SRCCOPY);
        else
            AlphaBlend(target, r.left, r.top, width, height, m_surface.dc(), r.left, r.top, width, height, blend);
    }
    if (clip)
        RestoreDC(target, saved);
}

} // namespace KOVA
