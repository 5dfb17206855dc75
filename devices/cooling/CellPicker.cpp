// GUI thread only. The item lock is held while the cells are drawn or changed and never while
// the parent is asked to repaint or notified.
#include "devices/cooling/CellPicker.h"

#include "controls/basic/LookPainting.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
constexpr UINT kPressCode = 1;
const Gdiplus::Color kWhite(0xFFFFFFFF);
const Gdiplus::Color kNormalFill(0xFF464646);
const Gdiplus::Color kBrightFill(0xFF828282);
} // namespace

CellPicker::CellPicker(MObject* parent, UINT id, CRect rect, int visible, int enabled, const CellLook& look)
    : ItemList(parent, id, rect, visible, enabled)
    , m_look(&look)
{
    m_fontStyle = Gdiplus::FontStyleBold;
}

CellPicker::~CellPicker() = default;

void CellPicker::AddCell(CString text, int value, int check)
{
    auto cell = std::make_unique<Cell>();
    cell->text = text;
    cell->value = value;
    cell->check = check;
    AppendItem(std::move(cell));
}

void CellPicker::SetAllChecks(int check)
{
    ScopedLock lock(m_itemsLock);
    for (auto& item : *m_items)
        static_cast<Cell&>(*item).check = check;
}

void CellPicker::SetSelectItem(int index)
{
    if (index == m_selected)
        return;
    m_selected = index;
    UpdateControl(1, 0);
}

int CellPicker::SetItemCheck(int index, int check)
{
    ScopedLock lock(m_itemsLock);
    Cell* cell = cellAt(index);
    if (!cell)
        return 0;
    cell->check = check;
    return 1;
}

int CellPicker::GetItemCheck(int index)
{
    ScopedLock lock(m_itemsLock);
    const Cell* cell = cellAt(index);
    return cell ? cell->check : 0;
}

int CellPicker::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (!m_rect.PtInRect(pt) || m_hover < 0)
        return 1;
    const int pressed = m_hover;
    {
        ScopedLock lock(m_itemsLock);
        if (Cell* cell = cellAt(pressed))
            cell->check = cell->check == 0 ? 1 : 0;
    }
    m_selected = pressed;
    // Repaint first: the host's handler may clear the cells or delete this control.
    UpdateControl(1, 0);
    SendMessageW(kPressCode, 0, pressed);
    return 1;
}

void CellPicker::drawCell(Gdiplus::Graphics& graphics, const Cell& cell, int index, const Gdiplus::Font* font)
{
    const CRect place(cell.cell);
    const int x = place.left;
    const int y = place.top;
    const int w = place.Width();
    const int h = place.Height();
    const bool marked = m_look->marksChecked ? cell.check != 0 : index == m_selected;
    const bool bright = marked || index == m_hover;
    const Gdiplus::SolidBrush fill(bright ? kBrightFill : kNormalFill);
    if (m_look->round) {
        if (marked) {
            const Gdiplus::Pen ring(kWhite, 2.0f);
            graphics.DrawEllipse(&ring, x, y, w, h);
        }
        graphics.FillEllipse(&fill, x + 3, y + 3, w - 6, h - 6);
    } else {
        if (marked) {
            const Gdiplus::Pen outline(Manager::GetSelectColor(), 2.0f);
            graphics.DrawRectangle(&outline, x, y, w, h);
        }
        graphics.FillRectangle(&fill, x, y, w, h);
    }
    const Gdiplus::SolidBrush white(kWhite);
    DrawTextLine(graphics, cell.text, font,
                 Gdiplus::RectF(static_cast<float>(x + 1), static_cast<float>(y + 1), static_cast<float>(w),
                                static_cast<float>(w)),
                 white, m_textRenderingHint);
}

void CellPicker::DrawControl(HDC& dc, CRect)
{
    if (BeginCachedLooks(*this, m_memPicture, dc, 1)) {
        const float scale = Manager::GetScaleValue();
        const Gdiplus::Font* font = ItemFont(static_cast<int>(m_fontSize * scale));
        Gdiplus::Graphics graphics(m_memPicture.dc());
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        const int w = static_cast<int>(m_cellWidth * scale);
        const int h = static_cast<int>(m_cellHeight * scale);
        const int gap = static_cast<int>(10 * scale);
        int x = 0;
        int y = 0;
        ScopedLock lock(m_itemsLock);
        for (size_t i = 0; i < m_items->size(); ++i) {
            Cell& cell = static_cast<Cell&>(*(*m_items)[i]);
            cell.cell = CRect(x, y, x + w, y + h);
            drawCell(graphics, cell, static_cast<int>(i), font);
            x += w + gap;
            if (static_cast<int>(i) + 1 == m_look->perFirstLine) {
                x = 0;
                y += h + gap;
            }
        }
    }
    ShowCachedLook(*this, m_memPicture, dc, 0);
}

} // namespace KOVA
