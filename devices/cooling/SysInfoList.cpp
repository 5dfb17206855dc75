// GUI thread only. Lock order: the panel's controls lock or the item lock, never both; each
// is let go before a repaint request or a notification.
#include "devices/cooling/SysInfoList.h"

#include "framework/FontCache.h"
#include "framework/MRender.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
constexpr UINT kClickCode = 2;
// The column: rows 30 high every 48 pixels.
constexpr int kRowPitch = 48;
constexpr int kRowHeight = 30;
// The grid: tiles 60 high every 70 pixels, 10 from the edges and apart.
constexpr int kTileMargin = 10;
constexpr int kTileHeight = 60;
constexpr int kTilePitch = 70;
constexpr int kTileSpare = 30;
constexpr int kWrapMargin = 20;
constexpr Gdiplus::ARGB kLitRowText = 0xFFC8C8C8;
constexpr Gdiplus::ARGB kRowText = 0xFF9D9D9D;
constexpr Gdiplus::ARGB kCheckedText = 0xFFFFFFFF;

const SysInfoLook kRows { false };
const SysInfoLook kTiles { true };

SysInfo2ItemInfo& tileOf(ListItem& item) { return static_cast<SysInfo2ItemInfo&>(item); }
} // namespace

SysInfoList::SysInfoList(MObject* parent, UINT id, CRect rect, int visible, const SysInfoLook& look)
    : ScrollingItemList(parent, id, rect, visible, 1), m_look(look)
{
}

SysInfoList::SysInfoList(const SysInfoList& other) = default;
SysInfoList& SysInfoList::operator=(const SysInfoList& other) = default;
SysInfoList::~SysInfoList() = default;

void SysInfoList::SetControlRect(CRect rect)
{
    m_rect = rect;
}

void SysInfoList::AddItem(CString text, CString, int type)
{
    std::unique_ptr<SysInfoItemInfo> item;
    if (m_look.checkTiles)
        item = std::make_unique<SysInfo2ItemInfo>();
    else
        item = std::make_unique<SysInfoItemInfo>();
    item->text = text;
    item->type = type;
    AppendItem(std::move(item));
    FitBarToContent(0);
}

const SysInfoItemInfo* SysInfoList::SelectedItem() const
{
    return static_cast<const SysInfoItemInfo*>(ItemAt(m_selected));
}

void SysInfoList::ReleaseItem(int index, CPoint)
{
    m_selected = index;
    if (m_look.checkTiles) {
        ScopedLock lock(m_itemsLock);
        if (ListItem* item = ItemAt(index))
            tileOf(*item).check = tileOf(*item).check ? 0 : 1;
    }
    Report(kClickCode, 0, index);
}

// ---- drawing

CRect SysInfoList::place(GridPen& pen, int index) const
{
    if (m_look.checkTiles)
        return pen.Place((m_rect.Width() - kTileSpare) / 2, kTileHeight);
    return CRect(0, kRowPitch * index, m_rect.Width(), kRowPitch * index + kRowHeight);
}

void SysInfoList::DrawControl(HDC& dc, CRect)
{
    if (BeginItemPicture(dc, m_rect.Width(), m_rect.Height()) && GetItemCount() > 0)
        drawItems();
    MRender::BitBlt(dc, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), m_memPicture.dc(), 0, 0);
}

void SysInfoList::drawItems()
{
    const int size = m_look.checkTiles ? static_cast<int>(m_fontSize * Manager::GetScaleValue()) : m_fontSize;
    const Gdiplus::Font* font = ItemFont(size);
    const int tileWidth = (m_rect.Width() - kTileSpare) / 2;
    // A tile goes on the next row once the pen passes the width less the margin.
    GridPen pen(kTileMargin, kTileMargin, tileWidth + kTileMargin, kTilePitch, m_rect.Width() - kWrapMargin + 1);
    const int frameWidth = m_image ? GetFrameWidth() : 0;
    Gdiplus::Graphics graphics(m_memPicture.dc());
    graphics.SetTextRenderingHint(m_textRenderingHint);
    ScopedLock lock(m_itemsLock);
    for (size_t i = 0; i < m_items->size(); ++i) {
        ListItem& item = *(*m_items)[i];
        const CRect cell = place(pen, static_cast<int>(i));
        item.cell = cell;
        // A row out of view keeps its place for hit tests and is not drawn: a list of
        // thousands would draw them all.
        if (cell.bottom <= 0 || cell.top >= m_rect.Height())
            continue;
        const bool on = m_look.checkTiles ? tileOf(item).check != 0 : IsHighlighted(static_cast<int>(i));
        if (m_image)
            MRender::DrawImagePart(graphics, m_image, cell, on ? frameWidth : 0, 0, frameWidth, m_imageHeight);
        const Gdiplus::ARGB colour = m_look.checkTiles ? (on ? kCheckedText : m_textColor.GetValue())
                                                       : (on ? kLitRowText : kRowText);
        if (font && !item.text.IsEmpty())
            graphics.DrawString(item.text, item.text.GetLength(), TextFont(font, item.text),
                                Gdiplus::RectF(static_cast<float>(cell.left), static_cast<float>(cell.top),
                                               static_cast<float>(cell.Width()), static_cast<float>(cell.Height())),
                                m_format->Get(), &ItemBrush(colour));
    }
}

// ---- the two lists

SysInfoCtrl::SysInfoCtrl(MObject* parent, UINT id, CRect rect, int visible, int)
    : SysInfoList(parent, id, rect, visible, kRows)
{
}

const wchar_t* SysInfoCtrl::GetClassNameW() const { return L"SysInfoCtrl"; }

int SysInfoCtrl::GetCurSysType()
{
    ScopedLock lock(m_itemsLock);
    const SysInfoItemInfo* item = SelectedItem();
    return item ? item->type : 0;
}

SysInfo2Ctrl::SysInfo2Ctrl(MObject* parent, UINT id, CRect rect, int visible, int)
    : SysInfoList(parent, id, rect, visible, kTiles)
{
}

const wchar_t* SysInfo2Ctrl::GetClassNameW() const { return L"SysInfo2Ctrl"; }

int SysInfo2Ctrl::GetCurSysType(int& check)
{
    check = 0;
    ScopedLock lock(m_itemsLock);
    const auto* item = static_cast<const SysInfo2ItemInfo*>(SelectedItem());
    if (!item)
        return 0;
    check = item->check;
    return item->type;
}

void SysInfo2Ctrl::SetItemCheck(int index, int check)
{
    {
        ScopedLock lock(m_itemsLock);
        ListItem* item = ItemAt(index);
        if (!item)
            return;
        tileOf(*item).check = check;
    }
    UpdateControl(1, 0);
}

void SysInfo2Ctrl::SetSysTypeCheck(int type, int)
{
    {
        ScopedLock lock(m_itemsLock);
        for (auto& item : *m_items)
            if (tileOf(*item).type == type) {
                tileOf(*item).check = 1;
                break;
            }
    }
    UpdateControl(1, 0);
}

void SysInfo2Ctrl::ResetItemCheck()
{
    {
        ScopedLock lock(m_itemsLock);
        for (auto& item : *m_items)
            tileOf(*item).check = 0;
    }
    UpdateControl(1, 0);
}

} // namespace KOVA
