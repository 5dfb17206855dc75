// Layout-independent drawing and the pointer of both fan previews: the dots, the cached still
// picture over them, the rubber band, hover, press and release.
//
// GUI thread. Drawing and hit tests take the list lock; the rubber band takes the layer lock
// alone (CalFrameSelect); a click handler takes both in order. A repaint request or a
// notification is made with both let go.
#include "devices/cooling/FanPreview.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "controls/basic/LookPainting.h"
#include "framework/MRenderInternal.h"
#include "framework/Manager.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
// A band narrower or lower than this picks nothing.
constexpr int kSmallestBand = 6;
// The band follows the pointer in steps of at least this many pixels.
constexpr int kBandStep = 21;
const Gdiplus::Color kBandColor(0xFF4CFF29);
// The label strip and the buttons under a cell reach this far below it (native pixels).
constexpr int kStillBelowCell = 66;
} // namespace

std::unique_ptr<Gdiplus::Font> FanPreview::BoldFont(float size)
{
    std::unique_ptr<Gdiplus::FontFamily> family(GetFontFamily(m_textFont));
    if (!family || size <= 0)
        return nullptr;
    auto font = std::make_unique<Gdiplus::Font>(family.get(), size, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
    return font->GetLastStatus() == Gdiplus::Ok ? std::move(font) : nullptr;
}

void FanPreview::DrawControl(HDC& dc, CRect)
{
    if (BeginCachedLooks(*this, m_memPicture, dc, 1)) {
        ScopedLock lock(m_listLock);
        drawDots(m_memPicture.dc());
        drawStillLayer(m_memPicture.dc());
    }
    ShowCachedLook(*this, m_memPicture, dc, 0);
    if (m_bandActive)
        drawBand(dc);
}

// GDI's ellipses: hundreds of smoothed GDI+ ellipses a repaint cost tens of milliseconds here,
// and the fan picture drawn over the dots covers their edges.
void FanPreview::drawDots(HDC dc)
{
    const HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(DC_BRUSH));
    const HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(NULL_PEN));
    for (const auto& fan : *m_fans)
        for (const FAN_LED_INFO* led : fan->leds) {
            ::SetDCBrushColor(dc, led->color & 0x00FFFFFF);
            // A null pen leaves the right and bottom edges out: one pixel more each way.
            ::Ellipse(dc, led->rect.left, led->rect.top, led->rect.right + 1, led->rect.bottom + 1);
        }
    ::SelectObject(dc, oldPen);
    ::SelectObject(dc, oldBrush);
}

// A premultiplied 32-bit DIB in a DC of its own: GDI+ draws into its bits, and GDI's
// AlphaBlend lays it over the dots several times faster than GDI+ would draw it.
struct FanPreview::StillPicture {
    detail::DibSurface surface;
    // Where anything was drawn: only this part is laid over the dots.
    CRect used;
};

void FanPreview::StillPictureDeleter::operator()(StillPicture* picture) const
{
    delete picture;
}

void FanPreview::drawStillLayer(HDC target)
{
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    if (width < 1 || height < 1)
        return;
    const float scale = Manager::GetScaleValue();
    const int language = Manager::GetLanguage();
    auto& still = *m_still;
    const bool current = still && m_stillDrawn == m_stillVersion && m_stillLanguage == language &&
                         m_stillScale == scale && still->surface.width == width && still->surface.height == height;
    if (!current) {
        still.reset(new StillPicture);
        if (!still->surface.Make(width, height))
            return;
        std::memset(still->surface.bits, 0, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
        Gdiplus::Bitmap surface(width, height, width * 4, PixelFormat32bppPARGB,
                                reinterpret_cast<BYTE*>(still->surface.bits));
        Gdiplus::Graphics painter(&surface);
        painter.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        painter.SetTextRenderingHint(m_textRenderingHint);
        DrawStill(painter, scale, static_cast<float>(std::min(m_zoom, 1.0)));
        still->used = stillBounds();
        m_stillDrawn = m_stillVersion;
        m_stillLanguage = language;
        m_stillScale = scale;
    }
    if (!still->surface.bits)
        return;
    const CRect& used = still->used;
    if (used.IsRectEmpty())
        return;
    const BLENDFUNCTION over { AC_SRC_OVER, 0, 255, AC_SRC_ALPHA };
    ::AlphaBlend(target, used.left, used.top, used.Width(), used.Height(), still->surface.dc, used.left, used.top,
                 used.Width(), used.Height(), over);
}

// The fans' cells with the strip and the buttons under them, within the control.
CRect FanPreview::stillBounds() const
{
    CRect bounds;
    const int below = Scaled(kStillBelowCell, 1.0);
    for (const auto& fan : *m_fans) {
        CRect area(fan->rect);
        area.bottom += below;
        bounds.UnionRect(&bounds, &area);
    }
    CRect inside;
    inside.IntersectRect(&bounds, CRect(0, 0, m_rect.Width(), m_rect.Height()));
    return inside;
}

CRect FanPreview::bandRect() const
{
    CRect band(std::min(m_bandStart.x, m_bandNow.x), std::min(m_bandStart.y, m_bandNow.y),
               std::max(m_bandStart.x, m_bandNow.x), std::max(m_bandStart.y, m_bandNow.y));
    return band;
}

void FanPreview::drawBand(HDC dc) const
{
    const CRect band = bandRect();
    Gdiplus::Graphics graphics(dc);
    Gdiplus::Pen pen(kBandColor, 2.0f);
    pen.SetDashStyle(Gdiplus::DashStyleDot);
    graphics.DrawRectangle(&pen, band.left, band.top, band.Width(), band.Height());
}

void FanPreview::CalFrameSelect()
{
    CRect band = bandRect();
    if (band.Width() < kSmallestBand || band.Height() < kSmallestBand)
        band.SetRectEmpty();
    ScopedLock lock(m_layerLock);
    if (m_layers->empty())
        return;
    LAYER_INFO& first = *m_layers->front();
    int selected = 0;
    for (FAN_LED_INFO& copy : first.leds) {
        CRect dot(copy.rect);
        dot.OffsetRect(m_rect.left, m_rect.top);
        CRect meet;
        copy.selected = !band.IsRectEmpty() && meet.IntersectRect(&dot, &band);
        if (!copy.selected)
            copy.color = 0;
        selected += copy.selected ? 1 : 0;
    }
    first.ledCount = selected;
}

int FanPreview::FanAt(CPoint pt, int extraBelow, size_t first) const
{
    const auto& fans = *m_fans;
    for (size_t i = first; i < fans.size(); ++i) {
        CRect cell(fans[i]->rect);
        cell.bottom += extraBelow;
        cell.OffsetRect(m_rect.left, m_rect.top);
        if (cell.PtInRect(pt))
            return static_cast<int>(i);
    }
    return -1;
}

void FanPreview::FinishClick(int note)
{
    repaint();
    if (note >= 0)
        SendMessageW(2, 0, note);
}

void FanPreview::moveBand(CPoint pt)
{
    // Outside the preview nothing happens: the band never reaches past its edge.
    if (!m_rect.PtInRect(pt))
        return;
    if (std::abs(pt.x - m_bandNow.x) < kBandStep && std::abs(pt.y - m_bandNow.y) < kBandStep)
        return;
    m_bandNow = pt;
    m_bandActive = 1;
    CalFrameSelect();
    repaint();
}

void FanPreview::startBand(CPoint pt, UINT button)
{
    endBand();
    if (!m_rect.PtInRect(pt))
        return;
    m_bandStart = pt;
    m_bandNow = pt;
    m_bandButton = button;
    if (m_frameSelect && m_manager)
        m_manager->SetCapture();
}

bool FanPreview::endBand()
{
    const bool wasActive = m_bandActive != 0;
    m_bandActive = 0;
    m_bandButton = 0;
    m_bandStart = CPoint();
    m_bandNow = CPoint();
    if (wasActive)
        repaint();
    return wasActive;
}

int FanPreview::OnControlMouseMove(UINT keys, CPoint pt)
{
    if (!m_enabled)
        return 0;
    // Only the button of a press the preview received drags a band; a release it never saw
    // (the pointer let go over another window) ends it.
    if (m_bandButton && !(keys & m_bandButton))
        endBand();
    if (m_frameSelect && m_bandButton) {
        moveBand(pt);
        return 1;
    }
    const int before = m_hoverFan;
    if (!m_rect.PtInRect(pt)) {
        m_hoverFan = -1;
    } else {
        ScopedLock lock(m_listLock);
        const bool stays = m_hoverFan >= 0 && FanAt(pt, 0, static_cast<size_t>(m_hoverFan)) == m_hoverFan;
        if (!stays)
            m_hoverFan = FanAt(pt, 0);
    }
    if (m_hoverFan != before) {
        StillChanged();
        repaint();
    }
    return 1;
}

int FanPreview::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (m_rect.PtInRect(pt)) {
        ScopedLock lock(m_listLock);
        const int fan = FanAt(pt, 0);
        if (fan >= 0)
            m_selectedFan = fan;
    }
    startBand(pt, MK_LBUTTON);
    return 1;
}

int FanPreview::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (endBand())
        return 1;
    OnFanClick(pt);
    return 1;
}

int FanPreview::OnControlRButtonDown(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    startBand(pt, MK_RBUTTON);
    return 1;
}

int FanPreview::OnControlRButtonUp(UINT, CPoint)
{
    if (!m_enabled)
        return 0;
    endBand();
    return 1;
}

void FanPreview::SetControlRect(CRect rect)
{
    if (rect == m_rect)
        return;
    m_rect = rect;
    RefreshLedItemRect();
}

} // namespace KOVA
