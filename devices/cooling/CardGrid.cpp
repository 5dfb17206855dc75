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

std::unique_ptr<Gdiplus::Bitmap> stretchedFrame(Gdiplus::Image* image, int frameWidth, int frameHeight, int frame,
                                                int width, int height)
{
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppPARGB);
    Gdiplus::Graphics graphics(bitmap.get());
    graphics.DrawImage(image, Gdiplus::Rect(0, 0, width, height), frameWidth * frame, 0, frameWidth, frameHeight,
                       Gdiplus::UnitPixel);
    return bitmap;
}
} // namespace

CardGrid::CardGrid(MObject* parent, UINT id, CRect rect, int visible, int enabled, int cellWidth, int cellHeight)
    : ItemList(parent, id, rect, visible, enabled), m_cellWidth(cellWidth), m_cellHeight(cellHeight)
{
}

CardGrid::CardGrid(const CardGrid& other) = default;
CardGrid& CardGrid::operator=(const CardGrid& other) = default;
CardGrid::~CardGrid() = default;

void CardGrid::PressItem(int index, CPoint)
{
    m_selected = index;
    SendMessageW(kPressCode, index, 0);
}

void CardGrid::drawBackground(Gdiplus::Graphics& graphics, const CRect& cell, bool lit)
{
    if (!m_image || m_imageCount < 1)
        return;
    if (*m_backgroundSource != m_image) {
        const int frameWidth = GetFrameWidth();
        *m_normalBackground = stretchedFrame(m_image, frameWidth, m_imageHeight, 0, m_cellWidth, m_cellHeight);
        *m_litBackground = stretchedFrame(m_image, frameWidth, m_imageHeight, 1, m_cellWidth, m_cellHeight);
        *m_backgroundSource = m_image;
    }
    graphics.DrawImage(lit ? m_litBackground->get() : m_normalBackground->get(), static_cast<INT>(cell.left),
                       static_cast<INT>(cell.top));
}

void CardGrid::DrawControl(HDC& dc, CRect)
{
    if (BeginCachedLooks(*this, m_memPicture, dc, 1)) {
        PrepareCards();
        const int width = m_rect.Width();
        const int left = (width - kCentredCells * m_cellWidth - kCentredSpare) / 2;
        GridPen pen(left, 0, m_cellWidth + kGap, m_cellHeight, width - m_cellWidth);
        Gdiplus::Graphics graphics(m_memPicture.dc());
        graphics.SetTextRenderingHint(m_textRenderingHint);
        ScopedLock lock(m_itemsLock);
        for (size_t i = 0; i < m_items->size(); ++i) {
            ListItem* item = (*m_items)[i].get();
            const CRect cell = pen.Place(m_cellWidth, m_cellHeight);
            item->cell = cell;
            const bool lit = IsHighlighted(static_cast<int>(i));
            drawBackground(graphics, cell, lit);
            DrawCard(graphics, *item, cell, lit);
        }
    }
    ShowCachedLook(*this, m_memPicture, dc, 0);
}

} // namespace KOVA
