// GUI thread only. Lock order: the panel's controls lock or the item lock, never both; each
// is let go before a repaint request or a notification.
#include "devices/cooling/LightCtrl.h"

#include <algorithm>

#include "framework/AppPaths.h"
#include "framework/FontCache.h"
#include "framework/MRender.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
constexpr UINT kClickCode = 2;
// Sizes before scaling.
constexpr int kCellWidth = 78;
constexpr int kCellHeight = 70;
constexpr int kLabelHeight = 30;
constexpr int kGap = 10;
constexpr int kFontSize = 14;
constexpr int kSmallestFont = 11;
constexpr Gdiplus::ARGB kLit = 0xFFFFFFFF;
constexpr Gdiplus::ARGB kDim = 0xFF505050;

int scaled(int pixels) { return static_cast<int>(pixels * Manager::GetScaleValue()); }
} // namespace

LightCtrl::LightCtrl(MObject* parent, UINT id, CRect rect, int visible, int)
    : ScrollingItemList(parent, id, rect, visible, 1)
{
}

LightCtrl::LightCtrl(const LightCtrl& other) = default;
LightCtrl& LightCtrl::operator=(const LightCtrl& other) = default;
LightCtrl::~LightCtrl() = default;

const wchar_t* LightCtrl::GetClassNameW() const { return L"LightCtrl"; }

void LightCtrl::AddLight(CString name, int mode, CString iconFile)
{
    auto cell = std::make_unique<LightItemInfo>();
    cell->text = name;
    cell->mode = mode;
    // No icon names the skin folder itself, which GDI+ would take long to refuse.
    if (!iconFile.IsEmpty())
        cell->LoadImage(GetSkinPath() + iconFile);
    AppendItem(std::move(cell));
}

void LightCtrl::SetCurLightMode(int mode)
{
    {
        ScopedLock lock(m_itemsLock);
        m_selected = -1;
        for (size_t i = 0; i < m_items->size(); ++i)
            if (static_cast<const LightItemInfo&>(*(*m_items)[i]).mode == mode) {
                m_selected = static_cast<int>(i);
                break;
            }
    }
    UpdateControl(1, 0);
}

int LightCtrl::GetCurLightMode()
{
    return GetLightMode(m_selected);
}

int LightCtrl::GetLightMode(int index)
{
    ScopedLock lock(m_itemsLock);
    const auto* cell = static_cast<const LightItemInfo*>(ItemAt(index));
    return cell ? cell->mode : 0;
}

void LightCtrl::SetAllItemHeight(int height)
{
    m_contentHeight = height;
    UpdateControl(1, 0);
}

void LightCtrl::ReleaseItem(int, CPoint)
{
    // The cell pressed is reported, not the one under the pointer now.
    Report(kClickCode, 0, m_selected);
}

void LightCtrl::DrawControl(HDC& dc, CRect)
{
    const int viewWidth = ViewWidth();
    const int offset = ScrolledOffset(m_contentHeight);
    if (BeginItemPicture(dc, viewWidth, m_rect.Height()))
        drawCells(viewWidth, GetScrollVertical()->IsVisible() ? offset : 0);
    MRender::BitBlt(dc, m_rect.left, m_rect.top, viewWidth, m_rect.Height(), m_memPicture.dc(), 0, 0);
}

void LightCtrl::drawCells(int viewWidth, int offset)
{
    const Gdiplus::Font* font = ItemFont(std::max(scaled(kFontSize), kSmallestFont));
    const int width = scaled(kCellWidth);
    const int height = scaled(kCellHeight);
    const int label = scaled(kLabelHeight);
    GridPen pen(0, -offset, width + scaled(kGap), height, viewWidth - width);
    Gdiplus::Graphics graphics(m_memPicture.dc());
    graphics.SetTextRenderingHint(m_textRenderingHint);
    ScopedLock lock(m_itemsLock);
    for (size_t i = 0; i < m_items->size(); ++i) {
        ListItem& cell = *(*m_items)[i];
        const CRect place = pen.Place(width, height);
        cell.cell = place;
        // A row out of view keeps its place for hit tests and is not drawn: a list of
        // thousands would draw them all.
        if (place.bottom <= 0 || place.top >= m_rect.Height())
            continue;
        const bool lit = IsHighlighted(static_cast<int>(i));
        Gdiplus::SolidBrush& brush = ItemBrush(lit ? kLit : kDim);
        graphics.FillRectangle(&brush, place.left, place.top, width, height - label);
        if (cell.image) {
            const int frameWidth = cell.imageWidth / 2;
            const CPoint corner(place.left + (width - frameWidth) / 2, place.top + (height - label - cell.imageHeight) / 2);
            MRender::DrawImagePart(graphics, cell.image.get(), CRect(corner, CSize(frameWidth, cell.imageHeight)),
                                   lit ? frameWidth : 0, 0, frameWidth, cell.imageHeight);
        }
        if (font && !cell.text.IsEmpty())
            graphics.DrawString(cell.text, cell.text.GetLength(), TextFont(font, cell.text),
                                Gdiplus::RectF(static_cast<float>(place.left), static_cast<float>(place.bottom - label),
                                               static_cast<float>(width), static_cast<float>(label)),
                                m_format->Get(), &brush);
    }
}

} // namespace KOVA
