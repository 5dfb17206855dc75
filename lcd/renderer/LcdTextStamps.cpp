#include "lcd/renderer/LcdTextStamps.h"

#include <algorithm>
#include <cstring>

#include <emmintrin.h>

#include "framework/FontCache.h"

namespace KOVA {

namespace {
struct SurfaceSize {
    int width { 0 };
    int height { 0 };
};

// The size of the 32-bit DIB section selected into dc; zero when it is anything else.
SurfaceSize dibSize(HDC dc)
{
    DIBSECTION section {};
    const HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    if (!bitmap || GetObjectW(bitmap, sizeof(section), &section) != sizeof(section) || !section.dsBm.bmBits
        || section.dsBm.bmBitsPixel != 32)
        return {};
    return { section.dsBm.bmWidth, section.dsBm.bmHeight };
}

// True when any of count pixels from row is not transparent black, four at a time: a text
// covers a few rows of a canvas of a whole frame.
bool anyInk(const DWORD* row, int count)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i ink = zero;
    int x = 0;
    for (; x + 4 <= count; x += 4)
        ink = _mm_or_si128(ink, _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x)));
    bool any = _mm_movemask_epi8(_mm_cmpeq_epi8(ink, zero)) != 0xFFFF;
    for (; x < count; ++x)
        any = any || row[x] != 0;
    return any;
}
} // namespace

bool LcdTextStamps::Key::operator==(const Key& o) const
{
    return text == o.text && family == o.family && size == o.size && style == o.style && unit == o.unit
        && rect.Equals(o.rect) && formatFlags == o.formatFlags && alignment == o.alignment
        && lineAlignment == o.lineAlignment && trimming == o.trimming && hasFormat == o.hasFormat
        && colour == o.colour && hint == o.hint && contrast == o.contrast && pageUnit == o.pageUnit
        && pageScale == o.pageScale && pixelOffset == o.pixelOffset && width == o.width && height == o.height;
}

LcdTextStamps::LcdTextStamps()
    : m_transform(std::make_unique<Gdiplus::Matrix>()), m_clip(std::make_unique<Gdiplus::Region>())
{
    UINT smoothing = 0;
    m_systemClearType = SystemParametersInfoW(SPI_GETFONTSMOOTHINGTYPE, 0, &smoothing, 0)
        && smoothing == FE_FONTSMOOTHINGCLEARTYPE;
}

LcdTextStamps::~LcdTextStamps() = default;

void LcdTextStamps::Draw(Gdiplus::Graphics& g, const wchar_t* text, int length, const Gdiplus::Font* font,
                         const Gdiplus::RectF& rect, const Gdiplus::StringFormat* format,
                         const Gdiplus::SolidBrush& brush)
{
    if (!font || !text)
        return;
    // Kept by the face the text is drawn in, which may be a fallback with its characters.
    const TextFont drawn(font, text, length);
    font = drawn;
    if (!drawsAlike(g)) {
        g.DrawString(text, length, font, rect, format, &brush);
        return;
    }
    // What GDI+ has queued lands before the picture is blended beside it.
    g.Flush(Gdiplus::FlushIntentionSync);
    const HDC surface = g.GetHDC();
    const SurfaceSize size = dibSize(surface);
    Stamp* stamp = nullptr;
    if (size.width > 0 && describe(g, text, length, font, rect, format, brush, size.width, size.height)) {
        stamp = find();
        if (!stamp)
            stamp = make(g, surface, text, length, font, format, brush);
    }
    if (stamp)
        blend(*stamp, surface, g);
    g.ReleaseHDC(surface);
    if (!stamp)
        g.DrawString(text, length, font, rect, format, &brush);
}

// Turned or scaled drawing, or drawing that replaces what lies under it, is not the blend of a
// picture made alone. A clip only limits where the picture is blended.
bool LcdTextStamps::drawsAlike(Gdiplus::Graphics& g)
{
    if (g.GetCompositingMode() != Gdiplus::CompositingModeSourceOver)
        return false;
    if (m_systemClearType && g.GetTextRenderingHint() == Gdiplus::TextRenderingHintClearTypeGridFit)
        return false;
    if (g.GetTransform(m_transform.get()) != Gdiplus::Ok || !m_transform->IsIdentity())
        return false;
    return g.GetClip(m_clip.get()) == Gdiplus::Ok;
}

bool LcdTextStamps::describe(Gdiplus::Graphics& g, const wchar_t* text, int length, const Gdiplus::Font* font,
                             const Gdiplus::RectF& rect, const Gdiplus::StringFormat* format,
                             const Gdiplus::SolidBrush& brush, int width, int height)
{
    Key& key = m_key;
    key.text.assign(text, length < 0 ? std::wcslen(text) : static_cast<size_t>(length));
    // A family of its own each time: GetFamily does not let go of the one it fills before.
    Gdiplus::FontFamily fontFamily;
    wchar_t family[LF_FACESIZE] {};
    if (font->GetFamily(&fontFamily) != Gdiplus::Ok || fontFamily.GetFamilyName(family) != Gdiplus::Ok)
        return false;
    key.family = family;
    key.size = font->GetSize();
    key.style = font->GetStyle();
    key.unit = font->GetUnit();
    key.rect = rect;
    key.hasFormat = format != nullptr;
    key.formatFlags = format ? format->GetFormatFlags() : 0;
    key.alignment = format ? format->GetAlignment() : Gdiplus::StringAlignmentNear;
    key.lineAlignment = format ? format->GetLineAlignment() : Gdiplus::StringAlignmentNear;
    key.trimming = format ? format->GetTrimming() : Gdiplus::StringTrimmingNone;
    Gdiplus::Color colour;
    if (brush.GetColor(&colour) != Gdiplus::Ok)
        return false;
    key.colour = colour.GetValue();
    key.hint = g.GetTextRenderingHint();
    key.contrast = g.GetTextContrast();
    key.pageUnit = g.GetPageUnit();
    key.pageScale = g.GetPageScale();
    key.pixelOffset = g.GetPixelOffsetMode();
    key.width = width;
    key.height = height;
    return true;
}

LcdTextStamps::Stamp* LcdTextStamps::find()
{
    for (const auto& stamp : m_stamps) {
        if (stamp->key == m_key) {
            stamp->lastUse = ++m_uses;
            return stamp.get();
        }
    }
    return nullptr;
}

LcdTextStamps::Stamp* LcdTextStamps::make(Gdiplus::Graphics& g, HDC surface, const wchar_t* text, int length,
                                          const Gdiplus::Font* font, const Gdiplus::StringFormat* format,
                                          const Gdiplus::SolidBrush& brush)
{
    if (!m_drawing.Prepare(surface, m_key.width, m_key.height))
        return nullptr;
    {
        Gdiplus::Graphics drawing(m_drawing.dc());
        drawing.SetTextRenderingHint(m_key.hint);
        drawing.SetTextContrast(m_key.contrast);
        drawing.SetPageUnit(m_key.pageUnit);
        drawing.SetPageScale(m_key.pageScale);
        drawing.SetPixelOffsetMode(m_key.pixelOffset);
        drawing.SetSmoothingMode(g.GetSmoothingMode());
        drawing.DrawString(text, length, font, m_key.rect, format, &brush);
        drawing.Flush(Gdiplus::FlushIntentionSync);
    }
    GdiFlush();
    // The picture is what the string left on the transparent canvas: its bounds, copied out,
    // and the canvas made transparent again.
    const int width = m_drawing.width();
    RECT box { width, m_drawing.height(), 0, 0 };
    for (int y = 0; y < m_drawing.height(); ++y) {
        const DWORD* row = reinterpret_cast<DWORD*>(m_drawing.bits()) + static_cast<size_t>(y) * width;
        if (!anyInk(row, width))
            continue;
        int left = 0;
        while (!row[left])
            ++left;
        int right = width;
        while (!row[right - 1])
            --right;
        box.left = std::min<LONG>(box.left, left);
        box.right = std::max<LONG>(box.right, right);
        box.top = std::min<LONG>(box.top, y);
        box.bottom = y + 1;
    }
    auto stamp = std::make_unique<Stamp>();
    stamp->key = m_key;
    if (box.right > box.left) {
        stamp->box = box;
        const int boxWidth = box.right - box.left;
        stamp->pixels.resize(static_cast<size_t>(boxWidth) * (box.bottom - box.top));
        for (int y = box.top; y < box.bottom; ++y) {
            DWORD* row = reinterpret_cast<DWORD*>(m_drawing.bits()) + static_cast<size_t>(y) * width + box.left;
            std::copy(row, row + boxWidth, stamp->pixels.begin() + static_cast<ptrdiff_t>(y - box.top) * boxWidth);
            std::fill(row, row + boxWidth, 0u);
        }
    }
    stamp->lastUse = ++m_uses;
    if (m_stamps.size() < kStamps) {
        m_stamps.push_back(std::move(stamp));
        return m_stamps.back().get();
    }
    auto oldest = std::min_element(m_stamps.begin(), m_stamps.end(),
                                   [](const auto& a, const auto& b) { return a->lastUse < b->lastUse; });
    *oldest = std::move(stamp);
    return oldest->get();
}

void DrawStampedText(LcdTextStamps* stamps, Gdiplus::Graphics& g, const wchar_t* text, int length,
                     const Gdiplus::Font* font, const Gdiplus::RectF& rect, const Gdiplus::StringFormat* format,
                     const Gdiplus::SolidBrush& brush)
{
    if (stamps)
        stamps->Draw(g, text, length, font, rect, format, brush);
    else if (font && text)
        g.DrawString(text, length, TextFont(font, text, length), rect, format, &brush);
}

// Blended as GDI+ blends a string's picture: premultiplied, over what lies there, inside the
// Graphics' clip (with no turn or scale, its region in the surface's pixels).
void LcdTextStamps::blend(const Stamp& stamp, HDC surface, Gdiplus::Graphics& g)
{
    const int width = stamp.box.right - stamp.box.left;
    const int height = stamp.box.bottom - stamp.box.top;
    if (width <= 0 || height <= 0 || !m_source.Prepare(surface, m_key.width, m_key.height))
        return;
    for (int y = 0; y < height; ++y) {
        const auto from = stamp.pixels.begin() + static_cast<ptrdiff_t>(y) * width;
        std::copy(from, from + width, reinterpret_cast<DWORD*>(m_source.bits()) + static_cast<size_t>(y) * m_source.width());
    }
    const BLENDFUNCTION over { AC_SRC_OVER, 0, 255, AC_SRC_ALPHA };
    const HRGN clip = m_clip->IsInfinite(&g) ? nullptr : m_clip->GetHRGN(nullptr);
    const int saved = SaveDC(surface);
    ExtSelectClipRgn(surface, clip, RGN_COPY);
    GdiAlphaBlend(surface, stamp.box.left, stamp.box.top, width, height, m_source.dc(), 0, 0, width, height, over);
    RestoreDC(surface, saved);
    if (clip)
        DeleteObject(clip);
}

} // namespace KOVA
