// GUI thread only. The item lock is taken below the paint manager's list locks and let go
// before any repaint request or notification.
#include "devices/cooling/CardGrid.h"

#include <algorithm>

#include "framework/MRender.h"
#include "framework/RectsMeet.h"

namespace KOVA {

namespace {
constexpr UINT kPressCode = 1;
// The grid is centred as if three cells and 50 pixels stood in a row.
constexpr int kCentredCells = 3;
constexpr int kCentredSpare = 50;
// Cells of this many screens keep their looks: scrolling back a screen copies them again
// instead of drawing their text anew, and a long list scrolled through keeps no more.
constexpr size_t kKeptScreens = 2;

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

bool CardGrid::LookSource::operator==(const LookSource& other) const
{
    return image == other.image && frames == other.frames && face == other.face && size == other.size
        && style == other.style && hint == other.hint;
}

CardGrid::LookSource CardGrid::currentSource() const
{
    return LookSource { m_image, m_imageCount, m_textFont, m_fontSize, m_fontStyle, m_textRenderingHint };
}

// ---- kept looks

void CardGrid::DropLooks()
{
    for (int index : *m_keptLooks)
        if (ListItem* item = ItemAt(index))
            item->DropLooks();
    m_keptLooks->clear();
}

void CardGrid::keepLook(int index)
{
    std::vector<int>& kept = *m_keptLooks;
    const auto found = std::find(kept.begin(), kept.end(), index);
    if (found != kept.end())
        kept.erase(found);
    kept.push_back(index);
}

void CardGrid::dropOldestLooks(size_t keep)
{
    std::vector<int>& kept = *m_keptLooks;
    if (kept.size() <= keep)
        return;
    const auto oldest = kept.begin() + static_cast<std::ptrdiff_t>(kept.size() - keep);
    for (auto it = kept.begin(); it != oldest; ++it)
        if (ListItem* item = ItemAt(*it))
            item->DropLooks();
    kept.erase(kept.begin(), oldest);
}

Gdiplus::Bitmap* CardGrid::backgroundOf(bool lit)
{
    const int frame = lit && m_imageCount > 1 ? 1 : 0;
    std::unique_ptr<Gdiplus::Bitmap>& background = *m_backgrounds[frame];
    if (!background && m_image)
        background.reset(MRender::StretchImagePart(m_image, GetFrameWidth() * frame, 0, GetFrameWidth(),
                                                   m_imageHeight, m_cellWidth, m_cellHeight));
    return background.get();
}

Gdiplus::Bitmap* CardGrid::lookOf(int index, ListItem& item, bool lit)
{
    keepLook(index);
    std::unique_ptr<Gdiplus::Bitmap>& look = item.looks[lit ? 1 : 0];
    if (look)
        return look.get();
    const Gdiplus::Rect whole(0, 0, m_cellWidth, m_cellHeight);
    Gdiplus::Bitmap* background = backgroundOf(lit);
    look.reset(background ? background->Clone(whole, PixelFormat32bppPARGB)
                          : new Gdiplus::Bitmap(m_cellWidth, m_cellHeight, PixelFormat32bppPARGB));
    Gdiplus::Graphics graphics(look.get());
    graphics.SetTextRenderingHint(m_textRenderingHint);
    DrawCard(graphics, item, CRect(0, 0, m_cellWidth, m_cellHeight), lit);
    return look.get();
}

// ---- painting

bool CardGrid::pictureHolds(const CRect& view) const
{
    CRect common;
    return GetUpdate() && m_memPicture.width() == m_pictureView.Width()
        && m_memPicture.height() == m_pictureView.Height() && common.IntersectRect(&view, &m_pictureView)
        && common == view;
}

void CardGrid::drawView(HDC& dc, const CRect& view)
{
    PrepareCards();
    UpdateMemDC(dc, view.Width(), view.Height());
    m_pictureView = view;
    MRender::BitBlt(m_memPicture.dc(), 0, 0, view.Width(), view.Height(), dc, view.left, view.top);
    // Cells are placed from the control's corner; the picture starts at the view's.
    CRect shown(view);
    shown.OffsetRect(-m_rect.left, -m_rect.top);
    const int width = m_rect.Width();
    const int left = (width - kCentredCells * m_cellWidth - kCentredSpare) / 2;
    GridPen pen(left, 0, m_cellWidth + kGap, m_cellHeight, width - m_cellWidth);
    Gdiplus::Graphics graphics(m_memPicture.dc());
    ScopedLock lock(m_itemsLock);
    const LookSource source = currentSource();
    if (!(source == m_lookSource)) {
        DropLooks();
        m_backgrounds[0]->reset();
        m_backgrounds[1]->reset();
        m_lookSource = source;
    }
    size_t drawn = 0;
    for (size_t i = 0; i < m_items->size(); ++i) {
        ListItem* item = (*m_items)[i].get();
        const CRect cell = pen.Place(m_cellWidth, m_cellHeight);
        item->cell = cell;
        if (!detail::RectsMeet(cell, shown))
            continue;
        const int index = static_cast<int>(i);
        graphics.DrawImage(lookOf(index, *item, IsHighlighted(index)), static_cast<INT>(cell.left - shown.left),
                           static_cast<INT>(cell.top - shown.top));
        ++drawn;
    }
    m_screenCells = std::max(m_screenCells, drawn);
    dropOldestLooks(kKeptScreens * m_screenCells);
}

void CardGrid::DrawControl(HDC& dc, CRect paintRect)
{
    CRect view;
    if (!view.IntersectRect(&m_rect, &paintRect))
        return;
    if (!pictureHolds(view))
        drawView(dc, view);
    MRender::BitBlt(dc, view.left, view.top, view.Width(), view.Height(), m_memPicture.dc(),
                    view.left - m_pictureView.left, view.top - m_pictureView.top);
}

} // namespace KOVA
