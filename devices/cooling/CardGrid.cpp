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

bool coversEveryPixel(Gdiplus::Bitmap& picture)
{
    Gdiplus::Rect whole(0, 0, static_cast<INT>(picture.GetWidth()), static_cast<INT>(picture.GetHeight()));
    Gdiplus::BitmapData data {};
    if (picture.LockBits(&whole, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) != Gdiplus::Ok)
        return false;
    bool opaque = true;
    for (UINT y = 0; y < data.Height && opaque; ++y) {
        const auto* row = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
        opaque = std::all_of(row, row + data.Width, [](DWORD pixel) { return pixel >> 24 == 0xFF; });
    }
    picture.UnlockBits(&data);
    return opaque;
}

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

const CardGrid::Background& CardGrid::backgroundOf(bool lit)
{
    const int frame = lit && m_imageCount > 1 ? 1 : 0;
    Background& background = *m_backgrounds[frame];
    if (!background.picture && m_image) {
        background.picture.reset(MRender::StretchImagePart(m_image, GetFrameWidth() * frame, 0, GetFrameWidth(),
                                                           m_imageHeight, m_cellWidth, m_cellHeight));
        background.opaque = background.picture && coversEveryPixel(*background.picture);
        // Converted once here, each look made of it is a copy of its pixels in the same format.
        if (background.opaque)
            background.picture.reset(background.picture->Clone(0, 0, m_cellWidth, m_cellHeight, PixelFormat32bppRGB));
    }
    return background;
}

Gdiplus::Bitmap* CardGrid::lookOf(int index, ListItem& item, bool lit)
{
    keepLook(index);
    std::unique_ptr<Gdiplus::Bitmap>& look = item.looks[lit ? 1 : 0];
    if (look)
        return look.get();
    const Background& background = backgroundOf(lit);
    // A look without alpha goes onto the picture as a plain copy.
    look.reset(background.picture
                   ? background.picture->Clone(0, 0, m_cellWidth, m_cellHeight, background.picture->GetPixelFormat())
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

GridPen CardGrid::gridPen() const
{
    const int width = m_rect.Width();
    const int left = (width - kCentredCells * m_cellWidth - kCentredSpare) / 2;
    return GridPen(left, 0, m_cellWidth + kGap, m_cellHeight, width - m_cellWidth);
}

// The rows start at the control's top edge and touch: only the first few can meet the
// control, however many cells follow.
size_t CardGrid::cellsOnControl() const
{
    const int height = m_rect.Height();
    if (height <= 0 || m_cellHeight <= 0)
        return 0;
    GridPen pen = gridPen();
    size_t across = 0;
    do {
        pen.Place(m_cellWidth, m_cellHeight);
        ++across;
    } while (pen.y == 0);
    const size_t rows = static_cast<size_t>((height - 1) / m_cellHeight) + 1;
    return std::min(m_items->size(), across * rows);
}

// Cells laid out by an earlier paint beyond what meets the control now are no places any
// more.
void CardGrid::layOut(size_t count)
{
    GridPen pen = gridPen();
    for (size_t i = 0; i < count; ++i)
        (*m_items)[i]->cell = pen.Place(m_cellWidth, m_cellHeight);
    for (size_t i = count; i < std::min(m_laidCells, m_items->size()); ++i)
        (*m_items)[i]->cell = RECT {};
    m_laidCells = count;
}

void CardGrid::HitRange(int& first, int& last) const
{
    first = 0;
    last = static_cast<int>(std::min(m_laidCells, m_items->size())) - 1;
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
    Gdiplus::Graphics graphics(m_memPicture.dc());
    ScopedLock lock(m_itemsLock);
    const LookSource source = currentSource();
    if (!(source == m_lookSource)) {
        DropLooks();
        *m_backgrounds[0] = Background();
        *m_backgrounds[1] = Background();
        m_lookSource = source;
    }
    layOut(cellsOnControl());
    size_t drawn = 0;
    for (size_t i = 0; i < m_laidCells; ++i) {
        ListItem& item = *(*m_items)[i];
        const CRect cell(item.cell);
        if (!detail::RectsMeet(cell, shown))
            continue;
        const int index = static_cast<int>(i);
        graphics.DrawImage(lookOf(index, item, IsHighlighted(index)), static_cast<INT>(cell.left - shown.left),
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
