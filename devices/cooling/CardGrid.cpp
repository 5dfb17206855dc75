// GUI thread only. The item lock is taken below the paint manager's list locks and let go
// before any repaint request or notification.
#include "devices/cooling/CardGrid.h"

#include "controls/basic/LookPainting.h"

namespace KOVA {

namespace {
constexpr UINT kPressCode = 1;
// The grid is centred as if three cells and 50 pixels stood in a row.
constexpr int kCentredCells = 3;
constexpr int kCentredSpare = 50;

} // namespace

CardGrid::CardGrid(MObject* parent, UINT id, CRect rect, int visible, int enabled, int cellWidth, int cellHeight)
    : ItemList(parent, id, rect, visible, enabled), m_cellWidth(cellWidth), m_cellHeight(cellHeight)
{
    TakeDoubleClickAsPress();
}

CardGrid::CardGrid(const CardGrid& other) = default;
CardGrid& CardGrid::operator=(const CardGrid& other) = default;
CardGrid::~CardGrid() = default;

void CardGrid::PressItem(int index, CPoint)
{
    m_selected = index;
    SendMessageW(kPressCode, index, 0);
}

bool CardGrid::LookSource::operator==(const LookSource& other) const
{
    return image == other.image && face == other.face && size == other.size && style == other.style
        && hint == other.hint;
}

CardGrid::LookSource CardGrid::currentSource() const
{
    return LookSource { m_image, m_textFont, m_fontSize, m_fontStyle, m_textRenderingHint };
}

void CardGrid::DropLooks()
{
    for (auto& item : *m_items)
        item->DropLooks();
}

Gdiplus::Bitmap* CardGrid::lookOf(ListItem& item, bool lit)
{
    std::unique_ptr<Gdiplus::Bitmap>& look = item.looks[lit ? 1 : 0];
    if (look)
        return look.get();
    look = std::make_unique<Gdiplus::Bitmap>(m_cellWidth, m_cellHeight, PixelFormat32bppPARGB);
    Gdiplus::Graphics graphics(look.get());
    graphics.SetTextRenderingHint(m_textRenderingHint);
    const CRect cell(0, 0, m_cellWidth, m_cellHeight);
    if (m_image) {
        const int frame = lit && m_imageCount > 1 ? 1 : 0;
        graphics.DrawImage(m_image, Gdiplus::Rect(0, 0, m_cellWidth, m_cellHeight), GetFrameWidth() * frame, 0,
                           GetFrameWidth(), m_imageHeight, Gdiplus::UnitPixel);
    }
    DrawCard(graphics, item, cell, lit);
    return look.get();
}

void CardGrid::DrawControl(HDC& dc, CRect)
{
    if (BeginCachedLooks(*this, m_memPicture, dc, 1)) {
        PrepareCards();
        const int width = m_rect.Width();
        const int left = (width - kCentredCells * m_cellWidth - kCentredSpare) / 2;
        GridPen pen(left, 0, m_cellWidth + kGap, m_cellHeight, width - m_cellWidth);
        Gdiplus::Graphics graphics(m_memPicture.dc());
        ScopedLock lock(m_itemsLock);
        const LookSource source = currentSource();
        if (!(source == m_lookSource)) {
            DropLooks();
            m_lookSource = source;
        }
        for (size_t i = 0; i < m_items->size(); ++i) {
            ListItem* item = (*m_items)[i].get();
            const CRect cell = pen.Place(m_cellWidth, m_cellHeight);
            item->cell = cell;
            graphics.DrawImage(lookOf(*item, IsHighlighted(static_cast<int>(i))), static_cast<INT>(cell.left),
                               static_cast<INT>(cell.top));
        }
    }
    ShowCachedLook(*this, m_memPicture, dc, 0);
}

} // namespace KOVA
