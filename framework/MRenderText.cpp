#include "framework/MRender.h"

#include <cmath>

#include "framework/CaptionCache.h"
#include "framework/FontCache.h"
#include "framework/MRenderInternal.h"

namespace KOVA {

using detail::CaptionCache;

namespace {

// The outline of the text as GDI+ lays it out in the layout rectangle.
Gdiplus::RectF pathBounds(const Gdiplus::Font& font, const Gdiplus::StringFormat& format, const CString& text,
                          const Gdiplus::RectF& layout)
{
    Gdiplus::FontFamily family;
    font.GetFamily(&family);
    Gdiplus::GraphicsPath path;
    path.AddString(text, text.GetLength(), &family, font.GetStyle(), font.GetSize(), layout, &format);
    Gdiplus::RectF bounds;
    path.GetBounds(&bounds);
    return bounds;
}

bool hasFraction(float value)
{
    return value != std::trunc(value);
}

int roundedUp(float value)
{
    return hasFraction(value) ? static_cast<int>(value) + 1 : static_cast<int>(value);
}

// A whole height gains one pixel, a fractional one the given padding.
int padded(float height, float padding)
{
    return static_cast<int>(height + (hasFraction(height) ? padding : 1));
}

// DrawText's formats that change nothing but where its one line goes or whether it is clipped.
// A word break is no break on a single line; external leading only changes the return value.
constexpr UINT kOneLineFormats = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX
    | DT_NOCLIP | DT_EXTERNALLEADING | DT_WORDBREAK;

bool isOneLineFormat(UINT format)
{
    if (format & ~kOneLineFormats)
        return false;
    return (format & DT_SINGLELINE) || !(format & DT_WORDBREAK);
}

// Characters DrawText itself interprets: its prefixes (unless turned off) and, on more than
// one line, the line breaks.
bool drawTextInterprets(wchar_t c, UINT format)
{
    if (!(format & DT_NOPREFIX) && (c == L'&' || c == 0x1E || c == 0x1B))
        return true;
    return !(format & DT_SINGLELINE) && (c == L'\r' || c == L'\n');
}

// The length of a text DrawText would pass to ExtTextOutW unchanged, or -1.
int plainLength(const wchar_t* text, UINT format)
{
    int length = 0;
    for (; text[length]; ++length)
        if (length == CaptionCache::kLongest || drawTextInterprets(text[length], format))
            return -1;
    return length;
}

// DrawText's one line: placed as DrawText places it (integer halves as it computes them),
// from a kept measure, and drawn with the same ExtTextOutW call. False, having drawn
// nothing, where only DrawText itself does the job.
bool drawOneLine(HDC dc, const RECT& rect, const wchar_t* text, UINT format)
{
    if (!isOneLineFormat(format) || !detail::DrawsInPixels(dc) || ::GetTextCharacterExtra(dc) != 0)
        return false;
    const int length = plainLength(text, format);
    if (length <= 0)
        return length == 0;
    SIZE extent {};
    if (!CaptionCache::Shared().Measure(dc, text, length, extent))
        return false;
    int x = rect.left, y = rect.top;
    if (format & DT_CENTER)
        x = (rect.left + rect.right - extent.cx) / 2;
    else if (format & DT_RIGHT)
        x = rect.right - extent.cx;
    if ((format & DT_SINGLELINE) && (format & DT_VCENTER))
        y = rect.top + (rect.bottom - rect.top) / 2 - extent.cy / 2;
    else if ((format & DT_SINGLELINE) && (format & DT_BOTTOM))
        y = rect.bottom - extent.cy;
    ::ExtTextOutW(dc, x, y, (format & DT_NOCLIP) ? 0 : ETO_CLIPPED, &rect, text, length, nullptr);
    return true;
}

int place(int room, UINT align, UINT centred, UINT atEnd)
{
    if (align == centred)
        return room / 2;
    return align == atEnd ? room : 0;
}

} // namespace

Gdiplus::Size MRender::GetTextBounds(const Gdiplus::Font& font, const Gdiplus::StringFormat& format,
                                     const CString& text)
{
    const Gdiplus::RectF bounds = pathBounds(font, format, text, Gdiplus::RectF(0, 0, 0, 0));
    return Gdiplus::Size(roundedUp(bounds.Width), padded(font.GetHeight(0.0f), 4));
}

Gdiplus::Size MRender::GetTextBounds(const Gdiplus::Font& font, const Gdiplus::StringFormat& format, int width,
                                     const CString& text)
{
    const Gdiplus::RectF bounds = pathBounds(font, format, text, Gdiplus::RectF(0, 0, static_cast<float>(width), 0));
    const int lineHeight = padded(font.GetHeight(0.0f), 2);
    const int textHeight = padded(bounds.Height, 2);
    return Gdiplus::Size(roundedUp(bounds.Width), textHeight > lineHeight ? textHeight + 5 : lineHeight + 1);
}

Gdiplus::Size MRender::GetTextBounds(const Gdiplus::Font& font, const CString& text)
{
    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    return GetTextBounds(font, format, text);
}

CPoint MRender::GetOriginPoint(int areaWidth, int areaHeight, int itemWidth, int itemHeight, UINT hAlign,
                               UINT vAlign)
{
    return CPoint(place(areaWidth - itemWidth, hAlign, DT_CENTER, DT_RIGHT),
                  place(areaHeight - itemHeight, vAlign, DT_VCENTER, DT_BOTTOM));
}

CPoint MRender::GetOriginPoint(CRect area, int itemWidth, int itemHeight, UINT hAlign, UINT vAlign)
{
    CPoint origin = GetOriginPoint(area.Width(), area.Height(), itemWidth, itemHeight, hAlign, vAlign);
    // Two pixels lower than the area's top whatever the alignment: the callers' layouts
    // were tuned with this offset.
    origin.Offset(area.left, area.top + 2);
    return origin;
}

void MRender::DrawTextW(HDC dc, CRect& rect, const wchar_t* text, COLORREF color, HFONT font, UINT format)
{
    if (!text)
        return;
    SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColor = SetTextColor(dc, color);
    {
        detail::RoutineSelection fontSelection(dc, font, OBJ_FONT);
        const GdiTextFont fallback(dc, text);
        if (!drawOneLine(dc, rect, text, format))
            ::DrawTextW(dc, text, -1, &rect, format);
    }
    SetTextColor(dc, previousColor);
}

} // namespace KOVA
