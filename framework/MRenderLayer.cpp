// GUI thread only: layers are drawn and laid over grounds while a window paints.
#include "framework/MRenderLayer.h"

#include <algorithm>
#include <cstring>
#include <emmintrin.h>

#include "framework/FontCache.h"
#include "framework/MRenderInternal.h"

namespace KOVA {

namespace {
constexpr int kProbeWidth = 160;
constexpr int kProbeHeight = 40;
constexpr DWORD kProbeGround = 0xFF405060;
const wchar_t* const kProbeFace = L"Tahoma";

// One of each kind of element the controls draw on their looks, side by side: text in the
// hints they use, an opaque and a translucent fill, a picture with translucent pixels
// stretched smoothly.
void drawProbe(HDC dc, Gdiplus::Bitmap& picture, const Gdiplus::FontFamily& family)
{
    Gdiplus::Graphics g(dc);
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    const Gdiplus::Font font(&family, 18.0f, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
    const Gdiplus::SolidBrush text(Gdiplus::Color(0xFFF0A020));
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    g.DrawString(L"8g", 2, &font, Gdiplus::PointF(0, 2), &text);
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    g.DrawString(L"8g", 2, &font, Gdiplus::PointF(32, 2), &text);
    const Gdiplus::SolidBrush opaque(Gdiplus::Color(0xFF20C040));
    const Gdiplus::SolidBrush translucent(Gdiplus::Color(0x80FFFFFF));
    g.FillRectangle(&opaque, 64, 4, 14, 30);
    g.FillEllipse(&translucent, 80, 4, 24, 24);
    g.DrawImage(&picture, Gdiplus::Rect(108, 2, 48, 36), 0, 0, 8, 8, Gdiplus::UnitPixel);
    g.Flush(Gdiplus::FlushIntentionSync);
}

// SSE2 moves of 16 bytes: the C runtime's memcpy takes twice as long on rows this short.
void copyPixels(DWORD* to, const DWORD* from, int count)
{
    int i = 0;
    for (; i + 4 <= count; i += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i)));
    for (; i < count; ++i)
        to[i] = from[i];
}

void fillPixels(DWORD* bits, size_t count, DWORD value)
{
    ::GdiFlush();
    std::fill(bits, bits + count, value);
}
} // namespace

// ---- drawing on the layer

bool LookLayer::Ensure(int width, int height)
{
    if (m_dib.dc && m_dib.width == width && m_dib.height == height)
        return false;
    m_runs.clear();
    if (width <= 0 || height <= 0 || !m_dib.Make(width, height))
        return true;
    std::memset(m_dib.bits, 0, static_cast<size_t>(width) * static_cast<size_t>(height) * sizeof(DWORD));
    m_runs.resize(static_cast<size_t>(height));
    return true;
}

CRect LookLayer::clipped(const CRect& rect) const
{
    CRect part;
    if (!m_dib.bits || !part.IntersectRect(&rect, CRect(0, 0, m_dib.width, m_dib.height)))
        return CRect();
    return part;
}

void LookLayer::Clear(const CRect& rect)
{
    const CRect part = clipped(rect);
    if (part.IsRectEmpty())
        return;
    ::GdiFlush();
    for (int y = part.top; y < part.bottom; ++y)
        std::memset(row(y) + part.left, 0, static_cast<size_t>(part.Width()) * sizeof(DWORD));
}

void LookLayer::BlendFrom(const LookLayer& other, const CRect& rect)
{
    const CRect part = clipped(rect);
    if (part.IsRectEmpty() || other.m_dib.width != m_dib.width || other.m_dib.height != m_dib.height)
        return;
    ::GdiFlush();
    for (int y = part.top; y < part.bottom; ++y) {
        DWORD* under = row(y);
        const DWORD* top = other.row(y);
        for (int x = part.left; x < part.right; ++x) {
            const DWORD pixel = top[x];
            if (pixel >> 24 == 0xFF)
                under[x] = pixel;
            else if (pixel != 0)
                under[x] = Blend(under[x], pixel);
        }
    }
}

void LookLayer::findRuns(int y)
{
    std::vector<Run>& runs = m_runs[static_cast<size_t>(y)];
    runs.clear();
    const DWORD* pixels = row(y);
    int x = 0;
    while (x < m_dib.width) {
        if (pixels[x] == 0) {
            ++x;
            continue;
        }
        const bool opaque = pixels[x] >> 24 == 0xFF;
        const int left = x;
        while (x < m_dib.width && pixels[x] != 0 && (pixels[x] >> 24 == 0xFF) == opaque)
            ++x;
        runs.push_back(Run { left, x, opaque });
    }
}

void LookLayer::Seal(const CRect& rect)
{
    const CRect part = clipped(rect);
    if (part.IsRectEmpty())
        return;
    ::GdiFlush();
    for (int y = part.top; y < part.bottom; ++y)
        findRuns(y);
}

// ---- laying the layer over a ground

void LookLayer::blendRows(const Pixels& target, const CRect& source) const
{
    for (int y = source.top; y < source.bottom; ++y) {
        const DWORD* from = row(y);
        DWORD* to = target.row(y - source.top) - source.left;
        for (const Run& run : m_runs[static_cast<size_t>(y)]) {
            const int left = std::max(run.left, static_cast<int>(source.left));
            const int right = std::min(run.right, static_cast<int>(source.right));
            if (left >= right)
                continue;
            if (run.opaque) {
                copyPixels(to + left, from + left, right - left);
                continue;
            }
            for (int x = left; x < right; ++x)
                to[x] = Blend(to[x], from[x]);
        }
    }
}

void LookLayer::BlendOnto(HDC target, int x, int y, const CRect& source)
{
    const CRect part = clipped(source);
    if (part.IsRectEmpty())
        return;
    const CPoint shift(x - source.left, y - source.top);
    // Long opaque runs that rows share are copied straight from the layer, a rectangle of
    // rows at a time; the rest of each stretch of rows with ink goes through the band. Most
    // of a look is opaque plates: their pixels move once, not into a band and out again.
    std::vector<Run> open;
    std::vector<int> openTop;
    std::vector<Run> next;
    std::vector<int> nextTop;
    CRect box;
    const auto copyStraight = [&](const Run& run, int top, int bottom) {
        ::BitBlt(target, run.left + shift.x, top + shift.y, run.right - run.left, bottom - top, m_dib.dc, run.left,
                 top, SRCCOPY);
    };
    const auto blendBox = [&] {
        if (!box.IsRectEmpty())
            BlendOnto(target, std::vector<Piece> { Piece { box, box.TopLeft() + shift } });
        box.SetRectEmpty();
    };
    for (int y = part.top; y <= part.bottom; ++y) {
        next.clear();
        nextTop.clear();
        int restLeft = part.right;
        int restRight = part.left;
        if (y < part.bottom)
            for (const Run& run : m_runs[static_cast<size_t>(y)]) {
                const int left = std::max(run.left, static_cast<int>(part.left));
                const int right = std::min(run.right, static_cast<int>(part.right));
                if (left >= right)
                    continue;
                if (run.opaque && right - left >= kStraightRun) {
                    next.push_back(Run { left, right, true });
                    nextTop.push_back(y);
                } else {
                    restLeft = std::min(restLeft, left);
                    restRight = std::max(restRight, right);
                }
            }
        for (size_t i = 0; i < open.size(); ++i) {
            const auto same = std::find_if(next.begin(), next.end(), [&](const Run& run) {
                return run.left == open[i].left && run.right == open[i].right;
            });
            if (same != next.end())
                nextTop[static_cast<size_t>(same - next.begin())] = openTop[i];
            else
                copyStraight(open[i], openTop[i], y);
        }
        open.swap(next);
        openTop.swap(nextTop);
        if (restLeft >= restRight) {
            blendBox();
            continue;
        }
        const CRect rest(restLeft, y, restRight, y + 1);
        if (box.IsRectEmpty())
            box = rest;
        else
            box.UnionRect(&box, &rest);
    }
}

void LookLayer::BlendOnto(HDC target, const std::vector<Piece>& pieces)
{
    // Each piece within the layer, and the box of the target they cover.
    std::vector<Piece> laid;
    CRect box;
    for (const Piece& piece : pieces) {
        const CRect part = clipped(piece.source);
        if (part.IsRectEmpty())
            continue;
        const CPoint at(piece.at.x + part.left - piece.source.left, piece.at.y + part.top - piece.source.top);
        const CRect covered(at, part.Size());
        box = laid.empty() ? covered : CRect(std::min(box.left, covered.left), std::min(box.top, covered.top),
                                             std::max(box.right, covered.right), std::max(box.bottom, covered.bottom));
        laid.push_back(Piece { part, at });
    }
    if (laid.empty())
        return;
    const int width = box.Width();
    const int height = box.Height();
    if ((m_band.width < width || m_band.height < height) && !m_band.Make(std::max(width, m_band.width),
                                                                        std::max(height, m_band.height)))
        return;
    ::BitBlt(m_band.dc, 0, 0, width, height, target, box.left, box.top, SRCCOPY);
    ::GdiFlush();
    for (const Piece& piece : laid)
        blendRows(Pixels { m_band.bits + (piece.at.y - box.top) * m_band.width + (piece.at.x - box.left), m_band.width },
                  piece.source);
    ::BitBlt(target, box.left, box.top, width, height, m_band.dc, 0, 0, SRCCOPY);
}

// ---- rows

bool RowLooks::Prepare(int width, int height, int count, const CString& common)
{
    if (width <= 0 || height <= 0 || count <= 0)
        return false;
    if (width != m_width || height != m_height || static_cast<size_t>(count) != m_slots.size() || common != m_common) {
        m_layer.Ensure(width, height * count);
        m_layer.Clear(CRect(0, 0, width, height * count));
        m_slots.assign(static_cast<size_t>(count), Slot());
        m_width = width;
        m_height = height;
        m_common = common;
    }
    return m_layer.dc() != nullptr;
}

CRect RowLooks::Find(const CString& key)
{
    for (size_t i = 0; i < m_slots.size(); ++i)
        if (m_slots[i].lastUse && m_slots[i].key == key) {
            m_slots[i].lastUse = ++m_uses;
            return CRect(0, static_cast<int>(i) * m_height, m_width, static_cast<int>(i + 1) * m_height);
        }
    return CRect();
}

CRect RowLooks::Take(const CString& key)
{
    const auto oldest = std::min_element(m_slots.begin(), m_slots.end(),
                                         [](const Slot& a, const Slot& b) { return a.lastUse < b.lastUse; });
    const int i = static_cast<int>(oldest - m_slots.begin());
    oldest->key = key;
    oldest->lastUse = ++m_uses;
    const CRect slot(0, i * m_height, m_width, (i + 1) * m_height);
    m_layer.Clear(slot);
    return slot;
}

// ---- the platform's GDI+

bool LookLayer::BlendsAlike()
{
    static const bool alike = [] {
        Gdiplus::Bitmap picture(8, 8, PixelFormat32bppARGB);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                picture.SetPixel(x, y, Gdiplus::Color(static_cast<BYTE>(x * 36), 200, static_cast<BYTE>(y * 30), 90));
        LookLayer straight;
        LookLayer ground;
        LookLayer layer;
        for (LookLayer* each : { &straight, &ground, &layer }) {
            each->Ensure(kProbeWidth, kProbeHeight);
            if (!each->dc())
                return false;
        }
        const size_t count = static_cast<size_t>(kProbeWidth) * kProbeHeight;
        fillPixels(straight.m_dib.bits, count, kProbeGround);
        fillPixels(ground.m_dib.bits, count, kProbeGround);
        // The face the controls fall back to when theirs is missing.
        FontCache fonts;
        const Gdiplus::FontFamily* family = fonts.findOrFallback(kProbeFace);
        if (!family)
            return false;
        drawProbe(straight.dc(), picture, *family);
        drawProbe(layer.dc(), picture, *family);
        const CRect whole(0, 0, kProbeWidth, kProbeHeight);
        layer.Seal(whole);
        layer.BlendOnto(ground.dc(), 0, 0, whole);
        ::GdiFlush();
        const DWORD* a = straight.m_dib.bits;
        const DWORD* b = ground.m_dib.bits;
        // A probe that drew nothing proves nothing.
        return std::equal(a, a + count, b)
            && std::count(a, a + count, kProbeGround) < static_cast<ptrdiff_t>(count) * 3 / 4;
    }();
    return alike;
}

} // namespace KOVA
