// GUI thread only. Lock order: the panel's controls lock or the item lock, never both; each
// is let go before a repaint request or a notification.
#include "devices/cooling/DevSelectCtrl.h"

#include "framework/FontCache.h"
#include "framework/MRender.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
constexpr UINT kClickCode = 2;
constexpr int kAllDevices = 0;
// Sizes before scaling.
constexpr int kCellWidth = 70;
constexpr int kCellHeight = 50;
constexpr int kGap = 10;
constexpr int kFontSize = 16;
constexpr Gdiplus::ARGB kCheckedFill = 0xFFFFFFFF;
constexpr Gdiplus::ARGB kCheckedText = 0xFF141414;
constexpr Gdiplus::ARGB kFill = 0xFF878787;
constexpr Gdiplus::ARGB kText = 0xFFFFFFFF;

int scaled(int pixels) { return static_cast<int>(pixels * Manager::GetScaleValue()); }

GridPen tilePen(int top, int viewWidth)
{
    const int width = scaled(kCellWidth);
    const int step = scaled(kCellHeight) + scaled(kGap);
    return GridPen(0, top, width + scaled(kGap), step, viewWidth - width);
}

DevSelectItemInfo& tileOf(ListItem& item) { return static_cast<DevSelectItemInfo&>(item); }
} // namespace

DevSelectCtrl::DevSelectCtrl(MObject* parent, UINT id, CRect rect, int visible, int)
    : ScrollingItemList(parent, id, rect, visible, 1)
{
}

DevSelectCtrl::DevSelectCtrl(const DevSelectCtrl& other) = default;
DevSelectCtrl& DevSelectCtrl::operator=(const DevSelectCtrl& other) = default;
DevSelectCtrl::~DevSelectCtrl() = default;

const wchar_t* DevSelectCtrl::GetClassNameW() const { return L"DevSelectCtrl"; }

// ---- tiles

void DevSelectCtrl::AddDevice(CString name, int deviceId)
{
    auto tile = std::make_unique<DevSelectItemInfo>();
    tile->text = name;
    tile->deviceId = deviceId;
    AppendItem(std::move(tile));
    FitBarToContent(ContentHeight());
}

void DevSelectCtrl::ClearList()
{
    DropItems();
    FitBarToContent(0);
    UpdateControl(1, 0);
}

void DevSelectCtrl::SetAllItemsCheck(int check)
{
    {
        ScopedLock lock(m_itemsLock);
        for (auto& item : *m_items)
            tileOf(*item).check = check;
    }
    UpdateControl(1, 0);
}

void DevSelectCtrl::SetItemCheck(int index, int check)
{
    ScopedLock lock(m_itemsLock);
    if (ListItem* item = ItemAt(index))
        tileOf(*item).check = check;
}

int DevSelectCtrl::GetItemCheck(int index)
{
    ScopedLock lock(m_itemsLock);
    ListItem* item = ItemAt(index);
    return item ? tileOf(*item).check : 0;
}

int DevSelectCtrl::GetItemDevID(int index)
{
    ScopedLock lock(m_itemsLock);
    ListItem* item = ItemAt(index);
    return item ? tileOf(*item).deviceId : 0;
}

unsigned long DevSelectCtrl::GetSelectDevice()
{
    ScopedLock lock(m_itemsLock);
    unsigned long devices = 0;
    for (auto& item : *m_items)
        if (tileOf(*item).check)
            devices |= static_cast<unsigned long>(tileOf(*item).deviceId);
    return devices;
}

void DevSelectCtrl::SetSelectDevice(int) {}

void DevSelectCtrl::UpdateItemCheckState(int deviceId, int check)
{
    ScopedLock lock(m_itemsLock);
    auto& items = *m_items;
    if (items.empty())
        return;
    if (deviceId == kAllDevices) {
        if (check)
            for (size_t i = 1; i < items.size(); ++i)
                tileOf(*items[i]).check = 1;
        return;
    }
    size_t checked = 0;
    for (size_t i = 1; i < items.size(); ++i)
        checked += tileOf(*items[i]).check ? 1 : 0;
    tileOf(*items[0]).check = checked == items.size() - 1 ? 1 : 0;
}

void DevSelectCtrl::ReleaseItem(int index, CPoint)
{
    m_selected = index;
    int deviceId = 0;
    int check = 0;
    {
        ScopedLock lock(m_itemsLock);
        ListItem* item = ItemAt(index);
        if (!item)
            return;
        DevSelectItemInfo& tile = tileOf(*item);
        tile.check = tile.check ? 0 : 1;
        deviceId = tile.deviceId;
        check = tile.check;
    }
    UpdateItemCheckState(deviceId, check);
    Report(kClickCode, 0, index);
}

// ---- layout

int DevSelectCtrl::rowsAt(int viewWidth)
{
    return tilePen(0, viewWidth).RowsFor(GetItemCount());
}

int DevSelectCtrl::ContentHeight()
{
    // Rows counted as painting wraps them: by the width left beside the bar once the tiles
    // need it.
    const int rowStep = scaled(kCellHeight) + scaled(kGap);
    const int content = rowsAt(m_rect.Width()) * rowStep;
    if (content <= m_rect.Height())
        return content;
    return rowsAt(m_rect.Width() - m_barInset) * rowStep;
}

// ---- drawing

void DevSelectCtrl::DrawControl(HDC& dc, CRect)
{
    const int viewWidth = ViewWidth();
    const int offset = ScrolledOffset(ContentHeight());
    if (BeginItemPicture(dc, viewWidth, m_rect.Height()))
        drawTiles(viewWidth, GetScrollVertical()->IsVisible() ? offset : 0);
    MRender::BitBlt(dc, m_rect.left, m_rect.top, viewWidth, m_rect.Height(), m_memPicture.dc(), 0, 0);
}

void DevSelectCtrl::drawTiles(int viewWidth, int offset)
{
    const Gdiplus::Font* font = m_font->Get(*this, static_cast<float>(scaled(kFontSize)), m_fontStyle);
    const int width = scaled(kCellWidth);
    const int height = scaled(kCellHeight);
    GridPen pen = tilePen(-offset, viewWidth);
    Gdiplus::Graphics graphics(m_memPicture.dc());
    graphics.SetTextRenderingHint(m_textRenderingHint);
    ScopedLock lock(m_itemsLock);
    for (auto& item : *m_items) {
        const CRect place = pen.Place(width, height);
        item->cell = place;
        // A row out of view keeps its place for hit tests and is not drawn: a list of
        // thousands would draw them all.
        if (place.bottom <= 0 || place.top >= m_rect.Height())
            continue;
        const bool checked = tileOf(*item).check != 0;
        graphics.FillRectangle(&ItemBrush(checked ? kCheckedFill : kFill), place.left, place.top, width, height);
        if (font && !item->text.IsEmpty())
            graphics.DrawString(item->text, item->text.GetLength(), TextFont(font, item->text),
                                Gdiplus::RectF(static_cast<float>(place.left), static_cast<float>(place.top),
                                               static_cast<float>(width), static_cast<float>(height)),
                                m_format->Get(), &ItemBrush(checked ? kCheckedText : kText));
    }
}

} // namespace KOVA
