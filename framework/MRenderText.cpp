#include "framework/MRender.h"

#include <cmath>

#include "framework/MRenderInternal.h"

namespace KOVA {

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
        detail::ScopedSelection fontSelection(dc, font);
        ::DrawTextW(dc, text, -1, &rect, format);
    }
    SetTextColor(dc, previousColor);
}

} // namespace KOVA
