// GUI thread only; no locks.
#include "controls/input/MPalette.h"

#include <algorithm>

#include "controls/basic/LookPainting.h"
#include "controls/input/HSLColor.h"
#include "framework/AppPaths.h"
#include "framework/MRender.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
constexpr UINT kColourChanged = 0x1B;
// The off-screen picture: the field in columns 0..359, the strip from column 370, 200 rows.
constexpr int kPictureWidth = 400;
constexpr int kPictureHeight = 360;
constexpr int kFieldColumns = 360;
constexpr int kRows = 200;
constexpr int kMaxPalletHeight = 32767;
constexpr int kStripColumn = 370;
// Lightness below 20 (a tenth) is nearly black: the field shows 20..200 only.
constexpr int kLowestLightness = 20;
constexpr int kLightnessSpan = 180;
// Field, gap and strip: the field ends this far before the bar's right edge, the strip starts
// 16 px in from the pointer column.
constexpr int kFieldGap = 22;
constexpr int kPointerColumn = 16;

int within(long value, long low, long high)
{
    return static_cast<int>(std::clamp(value, low, high));
}

COLORREF fromModel(int hue, int saturation, int lightness)
{
    return HSLToRGB(static_cast<float>(hue) / 360.0f, static_cast<float>(saturation) / 200.0f,
                    static_cast<float>(lightness) / 200.0f) & 0xFFFFFF;
}
} // namespace

MPalette::MPalette(MObject* parent, UINT id, CRect rect, int visible)
    : MControlFont(parent, id, rect, L"", visible, 1, 1)
{
    m_selected = fromModel(m_hue, m_saturation, m_lightness);
    layOut();
}

MPalette::MPalette(const MPalette& other) : MControlFont(other)
{
    *this = other;
}

MPalette& MPalette::operator=(const MPalette& other)
{
    if (this == &other)
        return *this;
    MControlFont::operator=(other);
    m_selected = other.m_selected;
    m_hue = other.m_hue;
    m_saturation = other.m_saturation;
    m_lightness = other.m_lightness;
    m_palletHeight = other.m_palletHeight;
    m_barWidth = other.m_barWidth;
    m_thumb = other.m_thumb;
    m_field = other.m_field;
    m_bar = other.m_bar;
    m_pointerRect = CRect();
    m_fieldDrag = m_barDrag = 0;
    m_picture.Release();
    m_pointer->reset();
    m_pointerWidth = m_pointerHeight = 0;
    return *this;
}

MPalette::~MPalette() = default;

const wchar_t* MPalette::GetClassNameW() const
{
    return L"MPalette";
}

// ---- colour

unsigned long MPalette::GetSelectColor() const
{
    return fromModel(m_hue, m_saturation, m_lightness);
}

void MPalette::SetSelectColor(unsigned long colour)
{
    m_selected = colour;
    float h = 0.0f;
    float s = 0.0f;
    float l = 0.0f;
    RGBToHSL(static_cast<COLORREF>(colour & 0xFFFFFF), h, s, l);
    m_hue = static_cast<int>(h * 360.0f);
    m_saturation = static_cast<int>(s * 200.0f);
    m_lightness = static_cast<int>(l * 200.0f);
    placeThumb();
    m_thumb.y = std::max(m_thumb.y, m_field.top);
    UpdateBarData();
    repaint();
}

int MPalette::SetThumbImage(const wchar_t* name)
{
    std::unique_ptr<Gdiplus::Image> image(MRender::LoadImageFromFile(GetSkinPath() + (name ? name : L"")));
    if (!image || image->GetLastStatus() != Gdiplus::Ok)
        return 0;
    *m_pointer = std::move(image);
    m_pointerWidth = static_cast<int>((*m_pointer)->GetWidth() / 4);
    m_pointerHeight = static_cast<int>((*m_pointer)->GetHeight());
    return 1;
}

// Held within 0..kMaxPalletHeight: the layout adds the height to the control's top and scales
// positions by it in ints.
void MPalette::SetPalletHeight(int height)
{
    m_palletHeight = std::clamp(height, 0, kMaxPalletHeight);
    repaint();
}

// ---- layout and pixels

void MPalette::layOut()
{
    m_field = CRect(m_rect.left, m_rect.top, m_rect.right - m_barWidth - kFieldGap, m_rect.top + m_palletHeight);
    m_bar = CRect(m_rect.right - m_barWidth - kPointerColumn, m_rect.top, m_rect.right, m_rect.top + m_palletHeight);
}

void MPalette::placeThumb()
{
    m_thumb.x = m_field.left + (m_field.Width() * m_hue) / 360;
    m_thumb.y = m_field.top + ((m_lightness - kLowestLightness) * m_palletHeight) / kLightnessSpan;
}

// A field narrower than a pixel, or no height, maps no point: the values stay.
void MPalette::hueAndLightnessAt(CPoint pt)
{
    if (m_field.Width() >= 1)
        m_hue = within((pt.x - m_field.left) * 360 / m_field.Width(), 0, 360);
    if (m_palletHeight >= 1)
        m_lightness = within((pt.y - m_field.top) * kLightnessSpan / m_palletHeight + kLowestLightness,
                             kLowestLightness, 200);
}

void MPalette::saturationAt(CPoint pt)
{
    if (m_palletHeight >= 1)
        m_saturation = within((pt.y - m_bar.top) * 200 / m_palletHeight, 0, 200);
}

// Pure black would read as "no colour" to the layered windows' keying: it is written as red 1.
void MPalette::putPixel(int x, int y, COLORREF colour)
{
    if (colour == 0)
        colour = RGB(1, 0, 0);
    auto* row = reinterpret_cast<DWORD*>(m_picture.bits()) + (kPictureHeight - 1 - y) * kPictureWidth;
    row[x] = 0xFF000000 | (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

void MPalette::UpdatePaletteData()
{
    if (!m_picture.bits())
        return;
    for (int y = 0; y < kRows; ++y)
        for (int x = 0; x < kFieldColumns; ++x)
            putPixel(x, y, HSLToRGB(static_cast<float>(x) / 360.0f, 1.0f, static_cast<float>(y) / 200.0f));
    ::GdiFlush();
}

void MPalette::UpdateBarData()
{
    if (!m_picture.bits())
        return;
    for (int y = 0; y < kRows; ++y) {
        const COLORREF colour = fromModel(m_hue, y, m_lightness);
        for (int x = 0; x < m_barWidth; ++x)
            putPixel(kStripColumn + x, y, colour);
    }
    ::GdiFlush();
}

void MPalette::InitControl(PaintManager* manager)
{
    MControlFont::InitControl(manager);
    if (!m_picture.Ensure(manager ? manager->GetPaintDC() : nullptr, kPictureWidth, kPictureHeight))
        return;
    UpdatePaletteData();
    UpdateBarData();
    placeThumb();
}

void MPalette::SetControlRect(CRect rect)
{
    m_rect = rect;
    layOut();
    UpdatePaletteData();
    UpdateBarData();
    placeThumb();
    repaint();
}

void MPalette::SetControlEnabled(int enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    repaint();
}

LONG MPalette::OnMessage(UINT, UINT, UINT, LONG)
{
    return 0;
}

int MPalette::OnControlScroll(int, UINT, CPoint)
{
    return 1;
}

// ---- mouse

int MPalette::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    m_fieldDrag = m_barDrag = 0;
    if (!m_rect.PtInRect(pt))
        return 1;
    if (m_field.PtInRect(pt)) {
        hueAndLightnessAt(pt);
        m_thumb.x = within(pt.x, m_field.left, m_field.right);
        m_thumb.y = within(pt.y, m_field.top, m_field.top + m_palletHeight);
        m_fieldDrag = 1;
        UpdateBarData();
    } else if (m_bar.PtInRect(pt)) {
        saturationAt(pt);
        repaint();
        m_barDrag = 1;
    }
    // A press reports only a colour that differs from the one last reported or set.
    const unsigned long colour = GetSelectColor();
    const bool changed = colour != m_selected;
    m_selected = colour;
    repaint();
    if (changed)
        SendMessageW(kColourChanged, colour, 0);
    return 1;
}

int MPalette::OnControlMouseMove(UINT keys, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (m_fieldDrag && (keys & MK_LBUTTON)) {
        if (m_field.PtInRect(pt)) {
            hueAndLightnessAt(pt);
            m_thumb.x = within(pt.x, m_rect.left, m_rect.right);
            m_thumb.y = within(pt.y, m_rect.top, m_rect.top + m_palletHeight);
            UpdateBarData();
            repaint();
        }
        return 1;
    }
    if (m_barDrag) {
        saturationAt(pt);
        repaint();
        SendMessageW(kColourChanged, 0, 0);
    }
    return 1;
}

int MPalette::OnControlLButtonUp(UINT, CPoint)
{
    if (!m_enabled)
        return 0;
    m_fieldDrag = m_barDrag = 0;
    repaint();
    return 1;
}

// ---- drawing

void MPalette::drawThumb(HDC memory) const
{
    Gdiplus::Graphics graphics(memory);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    Gdiplus::Pen pen(Gdiplus::Color(0xFEFFFFFF), 1.0f);
    const int x = m_thumb.x - m_rect.left;
    const int y = m_thumb.y - m_rect.top;
    graphics.DrawEllipse(&pen, x - 4, y - 4, 8, 8);
    pen.SetColor(Gdiplus::Color(0xFE808080));
    graphics.DrawEllipse(&pen, x - 3, y - 3, 8, 8);
    if (!m_enabled) {
        Gdiplus::SolidBrush veil(Gdiplus::Color(0x0A808080));
        graphics.FillRectangle(&veil, 0, 0, m_rect.Width(), m_rect.Height());
    }
}

void MPalette::drawPointer(HDC& dc)
{
    if (!*m_pointer)
        return;
    const int middle = m_rect.top + (m_palletHeight * m_saturation) / 200;
    m_pointerRect = CRect(m_bar.left + m_barWidth, middle - m_pointerHeight / 2, m_bar.left + m_barWidth + m_pointerWidth,
                          middle + m_pointerHeight / 2);
    Gdiplus::Graphics graphics(dc);
    MRender::DrawImagePart(graphics, m_pointer->get(), CRect(m_pointerRect.TopLeft(), CSize(m_pointerWidth, m_pointerHeight)),
                           0, 0, m_pointerWidth, m_pointerHeight);
}

void MPalette::DrawControl(HDC& dc, CRect)
{
    if (BeginCachedLooks(*this, m_memPicture, dc, 1) && m_picture.dc()) {
        HDC memory = m_memPicture.dc();
        ::SetStretchBltMode(memory, HALFTONE);
        ::StretchBlt(memory, 0, 0, m_field.Width(), m_palletHeight, m_picture.dc(), 0, kLowestLightness, kFieldColumns,
                     kLightnessSpan, SRCCOPY);
        ::StretchBlt(memory, m_bar.left - m_rect.left, 0, m_barWidth, m_palletHeight, m_picture.dc(), kStripColumn, 0,
                     m_barWidth, kRows, SRCCOPY);
        drawThumb(memory);
    }
    ShowCachedLook(*this, m_memPicture, dc, 0);
    drawPointer(dc);
}

} // namespace KOVA
