// GUI thread only. The item lock is held while the cells are drawn or changed and never while
// the parent is asked to repaint or notified.
#include "devices/cooling/CellPicker.h"

#include "controls/basic/LookPainting.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
const Gdiplus::Color kWhite(0xFFFFFFFF);
const Gdiplus::Color kNormalFill(0xFF464646);
const Gdiplus::Color kBrightFill(0xFF828282);
} // namespace

CellPicker::CellPicker(MObject* parent, UINT id, CRect rect, int visible, int enabled, const CellLook& look)
    : CheckList(parent, id, rect, visible, enabled)
    , m_look(&look)
{
    m_fontStyle = Gdiplus::FontStyleBold;
}

CellPicker::~CellPicker() = default;

void CellPicker::AddCell(CString text, int value, int check)
{
    auto cell = std::make_unique<CheckItem>();
    cell->text = text;
    cell->value = value;
    cell->check = check;
    AppendItem(std::move(cell));
}

void CellPicker::drawCell(Gdiplus::Graphics& graphics, const CheckItem& cell, int index, const Gdiplus::Font* font)
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
            CheckItem& cell = *CheckAt(static_cast<int>(i));
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
