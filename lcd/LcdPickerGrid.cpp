// GUI thread only. Lock order: the item lock below the paint manager's list locks; a repaint
// request or a notification is made with the item lock let go.
#include "lcd/LcdPickerGrid.h"

#include <shlwapi.h>

#include "controls/basic/LookPainting.h"
#include "framework/MRender.h"
#include "framework/Manager.h"
#include "lcd/LEDModeCtrl.h"

namespace KOVA {

namespace {
constexpr float kOutlineWidth = 2.0f;
// The outline sits one pixel inside the cell and is three pixels narrower, so that the pen's
// width stays on the cell.
constexpr int kOutlineInset = 1;
constexpr int kOutlineShrink = 3;
constexpr UINT kClickCode = 2;
} // namespace

// ---- items

LcdPickerItem::~LcdPickerItem() = default;

void LcdPickerItem::LoadImage(const CString& path)
{
    if (!::PathFileExistsW(path))
        return;
    image.reset(MRender::LoadImageFromFile(path));
    if (!image)
        return;
    imageWidth = static_cast<int>(image->GetWidth());
    imageHeight = static_cast<int>(image->GetHeight());
}

void LcdPickerItem::DropImage()
{
    image.reset();
}

// ---- the list

LcdPickerGrid::LcdPickerGrid(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MPanel(parent, id, rect, visible)
{
    m_enabled = enabled;
}

LcdPickerGrid::LcdPickerGrid(const LcdPickerGrid& other) = default;
LcdPickerGrid& LcdPickerGrid::operator=(const LcdPickerGrid& other) = default;

LcdPickerGrid::~LcdPickerGrid()
{
    ScopedLock lock(m_itemsLock);
    m_items->clear();
}

void LcdPickerGrid::AppendItem(std::unique_ptr<LcdPickerItem> item)
{
    ScopedLock lock(m_itemsLock);
    m_items->push_back(std::move(item));
}

LcdPickerItem* LcdPickerGrid::ItemAt(int index) const
{
    const auto& items = *m_items;
    return index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<size_t>(index)].get() : nullptr;
}

int LcdPickerGrid::GetItemCount()
{
    ScopedLock lock(m_itemsLock);
    return static_cast<int>(m_items->size());
}

void LcdPickerGrid::ClearList()
{
    {
        ScopedLock lock(m_itemsLock);
        m_items->clear();
    }
    m_hover = -1;
    m_selected = -1;
    UpdateControl(1, 0);
}

void LcdPickerGrid::SetSelectItem(int index)
{
    if (index < 0 || index >= GetItemCount())
        return;
    m_selected = index;
    UpdateControl(1, 0);
}

int LcdPickerGrid::SetItemText(int index, CString text)
{
    ScopedLock lock(m_itemsLock);
    LcdPickerItem* item = ItemAt(index);
    if (!item)
        return 0;
    item->text = text;
    return 1;
}

CString LcdPickerGrid::GetItemText(int index)
{
    ScopedLock lock(m_itemsLock);
    const LcdPickerItem* item = ItemAt(index);
    return item ? item->text : CString();
}

void LcdPickerGrid::DeleteItemFile(int index)
{
    ScopedLock lock(m_itemsLock);
    if (LcdPickerItem* item = ItemAt(index))
        item->DropImage();
}

// ---- pointer

void LcdPickerGrid::pointCursor(bool hand) const
{
    static const HCURSOR handCursor = ::LoadCursorW(nullptr, IDC_HAND);
    static const HCURSOR arrowCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    ::SetCursor(hand ? handCursor : arrowCursor);
}

int LcdPickerGrid::itemAt(CPoint pt)
{
    ScopedLock lock(m_itemsLock);
    const auto& items = *m_items;
    for (size_t i = 0; i < items.size(); ++i) {
        CRect cell(items[i]->cell);
        cell.OffsetRect(m_rect.left, m_rect.top);
        if (cell.PtInRect(pt))
            return static_cast<int>(i);
    }
    return -1;
}

bool LcdPickerGrid::hoveredItemHolds(CPoint pt)
{
    ScopedLock lock(m_itemsLock);
    const LcdPickerItem* item = ItemAt(m_hover);
    if (!item)
        return false;
    CRect cell(item->cell);
    cell.OffsetRect(m_rect.left, m_rect.top);
    return cell.PtInRect(pt) != FALSE;
}

int LcdPickerGrid::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    const int before = m_hover;
    if (!m_rect.PtInRect(pt)) {
        m_hover = -1;
        // Every control hears every move: only the one the pointer just left may set the
        // arrow, or it would replace the hand over another control.
        if (m_pointerInside)
            pointCursor(false);
        m_pointerInside = false;
    } else {
        m_pointerInside = true;
        if (hoveredItemHolds(pt)) {
            pointCursor(true);
            return 0;
        }
        m_hover = itemAt(pt);
    }
    if (m_hover != before)
        UpdateControl(1, 0);
    return 1;
}

int LcdPickerGrid::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (m_rect.PtInRect(pt) && m_hover >= 0) {
        m_selected = m_hover;
        UpdateControl(1, 0);
    }
    return 1;
}

int LcdPickerGrid::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (m_rect.PtInRect(pt) && m_hover >= 0) {
        const int clicked = m_hover;
        m_selected = clicked;
        // The repaint is asked for before the parent hears: a handler may clear or delete the
        // list, and nothing of this control may be touched after it returns.
        UpdateControl(1, 0);
        SendMessageW(kClickCode, 0, clicked);
    }
    return 1;
}

// ---- drawing

int LcdPickerGrid::CellHeight(int cellWidth) const
{
    return m_screenType == LEDScreenWide ? static_cast<int>(cellWidth * 480.0 / 640.0) : cellWidth;
}

bool LcdPickerGrid::beginRepaint(HDC& dc)
{
    if (!BeginCachedLooks(*this, m_memPicture, dc, 1))
        return false;
    ::SetBkMode(m_memPicture.dc(), TRANSPARENT);
    return true;
}

void LcdPickerGrid::showPicture(HDC& dc, int shownWidth) const
{
    MRender::BitBlt(dc, m_rect.left, m_rect.top, shownWidth, m_rect.Height(), m_memPicture.dc(), 0, 0);
}

void LcdPickerGrid::ClipToCell(Gdiplus::Graphics& graphics, const CRect& cell) const
{
    if (m_screenType != LEDScreenCircle)
        return;
    Gdiplus::GraphicsPath ellipse;
    ellipse.AddEllipse(cell.left, cell.top, cell.Width(), cell.Height());
    graphics.SetClip(&ellipse, Gdiplus::CombineModeReplace);
}

void LcdPickerGrid::DrawOutline(Gdiplus::Graphics& graphics, const CRect& cell)
{
    // Made once, and again only when the host changed the selection colour.
    const Gdiplus::ARGB colour = Manager::GetSelectColor().GetValue();
    if (!*m_outlinePen || colour != m_outlineColour) {
        *m_outlinePen = std::make_unique<Gdiplus::Pen>(Gdiplus::Color(colour), kOutlineWidth);
        m_outlineColour = colour;
    }
    const int x = cell.left + kOutlineInset;
    const int y = cell.top + kOutlineInset;
    const int width = cell.Width() - kOutlineShrink;
    const int height = cell.Height() - kOutlineShrink;
    if (m_screenType == LEDScreenCircle)
        graphics.DrawEllipse(m_outlinePen->get(), x, y, width, height);
    else
        graphics.DrawRectangle(m_outlinePen->get(), x, y, width, height);
}

void LcdPickerGrid::DrawStretched(Gdiplus::Graphics& graphics, const LcdPickerItem& item, const CRect& target)
{
    if (!item.image)
        return;
    graphics.DrawImage(item.image.get(), Gdiplus::Rect(target.left, target.top, target.Width(), target.Height()), 0,
                       0, item.imageWidth, item.imageHeight, Gdiplus::UnitPixel);
}

} // namespace KOVA
