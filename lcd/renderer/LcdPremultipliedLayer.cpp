#include "lcd/renderer/LcdPremultipliedLayer.h"

#include <algorithm>
#include <cstring>

namespace KOVA {

LcdPremultipliedLayer::~LcdPremultipliedLayer()
{
    if (m_dc && m_previous)
        SelectObject(m_dc.get(), m_previous);
}

bool LcdPremultipliedLayer::make(HDC reference, int width, int height)
{
    if (m_dc && width == m_width && height == m_height)
        return true;
    if (m_dc && m_previous)
        SelectObject(m_dc.get(), m_previous);
    m_previous = nullptr;
    m_bitmap.reset();
    m_dc.reset();
    m_bits = nullptr;
    m_width = m_height = 0;
    void* bits = nullptr;
    m_dc.reset(CreateCompatibleDC(reference));
    m_bitmap.reset(detail::CreateDib32(reference, width, height, true, &bits));
    if (!m_dc || !m_bitmap || !bits) {
        m_bitmap.reset();
        m_dc.reset();
        return false;
    }
    m_previous = SelectObject(m_dc.get(), m_bitmap.get());
    m_bits = static_cast<DWORD*>(bits);
    m_width = width;
    m_height = height;
    return true;
}

HDC LcdPremultipliedLayer::Begin(HDC reference, int width, int height)
{
    m_sealed = false;
    if (width <= 0 || height <= 0 || !make(reference, width, height))
        return nullptr;
    GdiFlush();
    std::memset(m_bits, 0, Bytes());
    return m_dc.get();
}

int LcdPremultipliedLayer::tileInk(int left, int top, int right, int bottom) const
{
    bool drawn = false;
    bool opaque = true;
    for (int y = top; y < bottom; ++y) {
        const DWORD* row = m_bits + static_cast<size_t>(y) * static_cast<size_t>(m_width);
        for (int x = left; x < right; ++x) {
            drawn = drawn || row[x] != 0;
            opaque = opaque && (row[x] >> 24) == 0xFF;
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
    if (!m_bits)
        return;
    GdiFlush();
    m_runs.clear();
    for (int top = 0; top < m_height; top += kTile) {
        const int bottom = std::min(top + kTile, m_height);
        int runStart = 0;
        int runKind = 0;
        for (int left = 0; left <= m_width; left += kTile) {
            const int kind = left < m_width ? tileInk(left, top, std::min(left + kTile, m_width), bottom) : 0;
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
            BitBlt(target, r.left, r.top, width, height, m_dc.get(), r.left, r.top, SRCCOPY);
        else
            AlphaBlend(target, r.left, r.top, width, height, m_dc.get(), r.left, r.top, width, height, blend);
    }
    if (clip)
        RestoreDC(target, saved);
}

} // namespace KOVA
