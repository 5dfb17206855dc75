// GUI thread only. The item lock is held while drawing and hit testing, never while the parent
// is asked to repaint or notified.
#include "controls/input/ThemeColor.h"

#include <memory>

#include "controls/basic/LookPainting.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
constexpr Gdiplus::ARGB kRingFill = 0xFF000000;
constexpr Gdiplus::ARGB kRingOutline = 0xFFC8C8C8;

int scaled(int pixels)
{
    return static_cast<int>(static_cast<float>(pixels) * Manager::GetScaleValue());
}
} // namespace

ThemeColor::ThemeColor(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : ItemList(parent, id, rect, visible, enabled)
{
    m_response = 1;
    TakeDoubleClickAsPress();
}

const wchar_t* ThemeColor::GetClassNameW() const
{
    return L"ThemeColor";
}

void ThemeColor::AddItem(Gdiplus::Color colour)
{
    auto item = std::make_unique<ThemeColorItem>();
    item->colour = colour;
    AppendItem(std::move(item));
}

void ThemeColor::SetSelectItem(int index)
{
    if (index == m_selected)
        return;
    m_selected = index;
    UpdateControl(1, 0);
}

int ThemeColor::report(UINT code, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (!m_rect.PtInRect(pt) || m_hover < 0)
        return 1;
    m_selected = m_hover;
    SendMessageW(code, static_cast<UINT>(m_selected), 0);
    return 1;
}

int ThemeColor::OnControlLButtonDown(UINT, CPoint pt)
{
    return report(1, pt);
}

int ThemeColor::OnControlLButtonUp(UINT, CPoint pt)
{
    return report(2, pt);
}

void ThemeColor::drawEntries(Gdiplus::Graphics& graphics)
{
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    const int width = scaled(m_swatchSize);
    const int ring = scaled(5);
    const int dot = scaled(9);
    Gdiplus::SolidBrush ringFill { Gdiplus::Color(kRingFill) };
    Gdiplus::Pen ringOutline(Gdiplus::Color(kRingOutline), 1.0f);
    int x = 0;
    for (size_t i = 0; i < m_items->size(); ++i) {
        auto* entry = static_cast<ThemeColorItem*>((*m_items)[i].get());
        if (!entry)
            continue;
        entry->cell = CRect(x, 0, x + width, m_rect.Height());
        Gdiplus::SolidBrush colour(entry->colour);
        graphics.FillRectangle(&colour, x, 0, width, scaled(26));
        graphics.FillEllipse(&ringFill, x + ring, width + ring, scaled(20), scaled(20));
        graphics.DrawEllipse(&ringOutline, x + ring, width + ring, scaled(20), scaled(20));
        if (IsHighlighted(static_cast<int>(i)))
            graphics.FillEllipse(&colour, x + dot, width + dot, scaled(12), scaled(12));
        x += width + scaled(15);
    }
}

void ThemeColor::DrawControl(HDC& dc, CRect)
{
    if (BeginCachedLooks(*this, m_memPicture, dc, 1)) {
        Gdiplus::Graphics graphics(m_memPicture.dc());
        ScopedLock lock(m_itemsLock);
        drawEntries(graphics);
    }
    ShowCachedLook(*this, m_memPicture, dc, 0);
}

} // namespace KOVA
