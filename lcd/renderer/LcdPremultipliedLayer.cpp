#include "lcd/renderer/LcdPremultipliedLayer.h"

#include <algorithm>
#include <cstring>

namespace KOVA {

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
