#include "lcd/renderer/LcdFramePipeline.h"

#include <algorithm>
#include <cmath>

#include <emmintrin.h>

namespace KOVA {

namespace {
// Every turn is nudged by this much, as the device's frames always were: a turn by a whole
// quarter keeps the size of the exact quarter turn (the nudge moves no pixel by a tenth of
// one, so it is turned exactly), any other angle is resampled through it.
constexpr double kNudgeDegrees = 0.01;

bool isWholeQuarter(double degrees, int& quarters)
{
    const double turns = degrees / 90.0;
    const double whole = std::floor(turns);
    if (turns != whole)
        return false;
    quarters = static_cast<int>(std::fmod(std::fmod(whole, 4.0) + 4.0, 4.0));
    return true;
}

// x × keep / 255, exact for both 8-bit values.
inline DWORD scaled(DWORD x, DWORD keep)
{
    const DWORD product = x * keep + 128;
    return (product + (product >> 8)) >> 8;
}

inline DWORD keptPixel(DWORD pixel, DWORD keep)
{
    return (scaled((pixel >> 16) & 0xFF, keep) << 16) | (scaled((pixel >> 8) & 0xFF, keep) << 8)
        | scaled(pixel & 0xFF, keep) | (pixel & 0xFF000000);
}

// keptPixel for one keep over a run of pixels, four at a time: each channel widened to 16 bits
// holds x × keep + 128 and the same rounding exactly; the alpha is scaled by 255, which keeps it.
void keepPixels(DWORD* from, DWORD* to, DWORD keep)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i keeps = _mm_set_epi16(255, static_cast<short>(keep), static_cast<short>(keep), static_cast<short>(keep),
                                        255, static_cast<short>(keep), static_cast<short>(keep), static_cast<short>(keep));
    const __m128i half = _mm_set1_epi16(128);
    const auto scaledHalf = [&](__m128i channels) {
        const __m128i product = _mm_add_epi16(_mm_mullo_epi16(channels, keeps), half);
        return _mm_srli_epi16(_mm_add_epi16(product, _mm_srli_epi16(product, 8)), 8);
    };
    DWORD* pixel = from;
    for (; to - pixel >= 4; pixel += 4) {
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixel));
        const __m128i low = scaledHalf(_mm_unpacklo_epi8(four, zero));
        const __m128i high = scaledHalf(_mm_unpackhi_epi8(four, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pixel), _mm_packus_epi16(low, high));
    }
    for (; pixel < to; ++pixel)
        *pixel = keptPixel(*pixel, keep);
}
} // namespace

LcdFramePipeline::LcdFramePipeline(int jpegCapacity) : m_encoder(jpegCapacity) {}

bool LcdFramePipeline::Prepare(HDC reference, int width, int height)
{
    if (m_surface.Fits(width, height))
        return true;
    m_encodedWidth = m_encodedHeight = 0;
    m_baseDisc.clear();
    m_dimDisc.clear();
    m_clippedDimDisc.clear();
    m_clippedDimWhole.clear();
    const bool made = m_surface.Prepare(reference, width, height);
    m_bits = m_surface.bits();
    m_width = m_surface.width();
    m_height = m_surface.height();
    return made;
}

const LcdFramePipeline::Coverage& LcdFramePipeline::discCoverage(Coverage& cache, float margin)
{
    if (!cache.empty())
        return cache;
    // Drawn once per size with GDI+'s own anti-aliasing; laying it over each frame is then a
    // multiply per pixel, where a GDI+ fill of the frame costs several milliseconds.
    std::vector<DWORD> argb(static_cast<size_t>(m_width) * m_height, 0);
    {
        Gdiplus::Bitmap disc(m_width, m_height, m_width * 4, PixelFormat32bppARGB, reinterpret_cast<BYTE*>(argb.data()));
        Gdiplus::Graphics g(&disc);
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        Gdiplus::SolidBrush black(Gdiplus::Color(255, 0, 0, 0));
        g.FillEllipse(&black, Gdiplus::RectF(-margin, -margin, m_width + 2 * margin, m_height + 2 * margin));
        g.Flush(Gdiplus::FlushIntentionSync);
    }
    cache.cover.resize(argb.size());
    for (size_t i = 0; i < argb.size(); ++i)
        cache.cover[i] = static_cast<BYTE>(argb[i] >> 24);
    cache.findRows(m_width, m_height);
    return cache;
}

const LcdFramePipeline::Coverage& LcdFramePipeline::clippedCoverage(Coverage& cache, bool disc)
{
    if (!cache.empty())
        return cache;
    // Drawn as a frame is, through the DC of a DIB like the surface: a clip to the inscribed
    // ellipse then takes exactly the pixels it took from the frame's own drawing.
    LcdSurface drawn;
    if (!drawn.Prepare(m_surface.dc(), m_width, m_height))
        return cache;
    {
        Gdiplus::Graphics g(drawn.dc());
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        Gdiplus::GraphicsPath inscribed;
        inscribed.AddEllipse(Gdiplus::Rect(0, 0, m_width, m_height));
        g.SetClip(&inscribed, Gdiplus::CombineModeReplace);
        Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255, 255));
        const Gdiplus::RectF area(-1.0f, -1.0f, m_width + 2.0f, m_height + 2.0f);
        if (disc)
            g.FillEllipse(&white, area);
        else
            g.FillRectangle(&white, area);
        g.Flush(Gdiplus::FlushIntentionSync);
    }
    GdiFlush();
    const BYTE* pixels = drawn.bits();
    cache.cover.resize(static_cast<size_t>(m_width) * m_height);
    for (size_t i = 0; i < cache.cover.size(); ++i)
        cache.cover[i] = pixels[i * 4 + 1];
    cache.findRows(m_width, m_height);
    return cache;
}

void LcdFramePipeline::Coverage::findRows(int width, int height)
{
    rows.assign(static_cast<size_t>(height), Row());
    for (int y = 0; y < height; ++y) {
        const BYTE* line = cover.data() + static_cast<size_t>(y) * width;
        Row& row = rows[static_cast<size_t>(y)];
        int x = 0;
        while (x < width && !line[x])
            ++x;
        row.begin = row.solidBegin = row.solidEnd = x;
        while (x < width && line[x] != 255)
            ++x;
        if (x < width) {
            row.solidBegin = x;
            while (x < width && line[x] == 255)
                ++x;
            row.solidEnd = x;
        } else {
            row.solidBegin = row.solidEnd = row.begin;
        }
        row.end = width;
        while (row.end > row.begin && !line[row.end - 1])
            --row.end;
    }
}

void LcdFramePipeline::keepFraction(const Coverage* coverage, int alpha)
{
    GdiFlush();
    DWORD* pixels = reinterpret_cast<DWORD*>(m_bits);
    const size_t count = static_cast<size_t>(m_width) * m_height;
    const DWORD fullKeep = 255 - static_cast<DWORD>(alpha);
    if (!coverage) {
        keepPixels(pixels, pixels + count, fullKeep);
        return;
    }
    const auto keepPartly = [&](DWORD* line, const BYTE* cover, int from, int to) {
        for (int x = from; x < to; ++x)
            if (cover[x])
                line[x] = keptPixel(line[x], 255 - scaled(static_cast<DWORD>(alpha), cover[x]));
    };
    for (int y = 0; y < m_height; ++y) {
        const Coverage::Row& row = coverage->rows[static_cast<size_t>(y)];
        DWORD* line = pixels + static_cast<size_t>(y) * m_width;
        const BYTE* cover = coverage->cover.data() + static_cast<size_t>(y) * m_width;
        keepPartly(line, cover, row.begin, row.solidBegin);
        // Fully covered: the same keep for every pixel; none kept at all leaves the alpha only.
        if (fullKeep == 0) {
            for (int x = row.solidBegin; x < row.solidEnd; ++x)
                line[x] &= 0xFF000000;
        } else {
            keepPixels(line + row.solidBegin, line + row.solidEnd, fullKeep);
        }
        keepPartly(line, cover, row.solidEnd, row.end);
    }
}

void LcdFramePipeline::FillPlain(COLORREF colour)
{
    if (!m_surface.dc())
        return;
    if (colour != m_plainColour) {
        const RECT first { 0, 0, 1, 1 };
        ::SetBkColor(m_surface.dc(), colour);
        ::ExtTextOutW(m_surface.dc(), 0, 0, ETO_OPAQUE, &first, nullptr, 0, nullptr);
        GdiFlush();
        m_plainPixel = *reinterpret_cast<const DWORD*>(m_bits);
        m_plainColour = colour;
    }
    GdiFlush();
    DWORD* pixels = reinterpret_cast<DWORD*>(m_bits);
    std::fill(pixels, pixels + static_cast<size_t>(m_width) * m_height, m_plainPixel);
}

void LcdFramePipeline::FillBase(bool disc)
{
    if (!m_surface.dc())
        return;
    if (!disc) {
        const RECT whole { 0, 0, m_width, m_height };
        FillRect(m_surface.dc(), &whole, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return;
    }
    keepFraction(&discCoverage(m_baseDisc, 0.0f), 255);
}

void LcdFramePipeline::Dim(bool disc, int alpha, bool insideEllipse)
{
    if (!m_surface.dc() || alpha <= 0)
        return;
    const Coverage* coverage = nullptr;
    if (insideEllipse)
        coverage = &clippedCoverage(disc ? m_clippedDimDisc : m_clippedDimWhole, disc);
    // Without the clipped coverage (no DIB for it) the dimming goes unclipped.
    if (!coverage || coverage->empty())
        coverage = disc ? &discCoverage(m_dimDisc, 1.0f) : nullptr;
    keepFraction(coverage, alpha & 0xFF);
}

void LcdFramePipeline::EncodedPixels(std::vector<BYTE>& into) const
{
    into.clear();
    if (m_encodedWidth <= 0 || m_encodedHeight <= 0)
        return;
    if (m_encodedQuarters < 0) {
        into.assign(m_turn.Pixels(), m_turn.Pixels() + static_cast<size_t>(m_encodedWidth) * m_encodedHeight * 4);
        return;
    }
    GdiFlush();
    into.resize(static_cast<size_t>(m_encodedWidth) * m_encodedHeight * 4);
    const DWORD* from = reinterpret_cast<const DWORD*>(m_bits);
    DWORD* to = reinterpret_cast<DWORD*>(into.data());
    // Turned pixel (x, y) of a clockwise turn by the quarters, from the surface.
    for (int y = 0; y < m_encodedHeight; ++y) {
        for (int x = 0; x < m_encodedWidth; ++x) {
            int sx = x, sy = y;
            if (m_encodedQuarters == 1) {
                sx = y;
                sy = m_height - 1 - x;
            } else if (m_encodedQuarters == 2) {
                sx = m_width - 1 - x;
                sy = m_height - 1 - y;
            } else if (m_encodedQuarters == 3) {
                sx = m_width - 1 - y;
                sy = x;
            }
            to[static_cast<size_t>(y) * m_encodedWidth + x] = from[static_cast<size_t>(sy) * m_width + sx];
        }
    }
}

int LcdFramePipeline::Encode(double degrees, int quality)
{
    if (!m_surface.dc())
        return 0;
    // GDI and GDI+ may still hold drawing in their batches; the pixels are read directly.
    GdiFlush();
    int quarters = 0;
    if (isWholeQuarter(degrees, quarters)) {
        // A whole quarter turn only reorders the pixels: done as the encoder reads them.
        m_encodedWidth = quarters % 2 ? m_height : m_width;
        m_encodedHeight = quarters % 2 ? m_width : m_height;
        m_encodedQuarters = quarters;
        return m_encoder.EncodeTurned(m_bits, m_width, m_height, m_width * 4, quarters, quality);
    }
    m_turn.Plan(m_width, m_height, degrees + kNudgeDegrees);
    m_turn.Turn(m_bits, m_width * 4);
    m_encodedWidth = m_turn.Width();
    m_encodedHeight = m_turn.Height();
    m_encodedQuarters = -1;
    return m_encoder.Encode(m_turn.Pixels(), m_encodedWidth, m_encodedHeight, m_encodedWidth * 4, quality);
}

} // namespace KOVA
