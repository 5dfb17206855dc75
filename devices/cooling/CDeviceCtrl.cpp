// GUI thread only. The item lock is taken below the paint manager's list locks and let go
// before any repaint request or notification.
#include "devices/cooling/CDeviceCtrl.h"

#include "framework/AppPaths.h"
#include "framework/FontCache.h"
#include "framework/MRender.h"

namespace KOVA {

namespace {
constexpr UINT kClickCode = 2;
// The check area's lower right corner stands this far inside the tile's.
constexpr int kCheckInset = 30;
constexpr int kCaptionAbove = 50;
constexpr int kCaptionHeight = 30;
constexpr Gdiplus::ARGB kLitCaption = 0xFFFFFFFF;
constexpr Gdiplus::ARGB kCaption = 0xFF878787;

std::unique_ptr<Gdiplus::Image> loadSkinImage(const wchar_t* file)
{
    return std::unique_ptr<Gdiplus::Image>(MRender::LoadImageFromFile(GetSkinPath() + file));
}
} // namespace

CDeviceCtrl::CDeviceCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : CardGrid(parent, id, rect, visible, enabled, kTileWidth, kTileHeight)
{
}

CDeviceCtrl::CDeviceCtrl(const CDeviceCtrl& other) = default;
CDeviceCtrl& CDeviceCtrl::operator=(const CDeviceCtrl& other) = default;
CDeviceCtrl::~CDeviceCtrl() = default;

const wchar_t* CDeviceCtrl::GetClassNameW() const { return L"CDeviceCtrl"; }

// ---- images

int CDeviceCtrl::SetCheckImage(const wchar_t* file)
{
    auto image = loadSkinImage(file);
    if (!image)
        return 0;
    m_checkWidth = static_cast<int>(image->GetWidth()) / 2;
    m_checkHeight = static_cast<int>(image->GetHeight());
    *m_checkImage = std::move(image);
    m_checkArea = CRect(m_cellWidth - m_checkWidth - kCheckInset, m_cellHeight - m_checkHeight - kCheckInset,
                        m_cellWidth - kCheckInset, m_cellHeight - kCheckInset);
    return 1;
}

int CDeviceCtrl::SetAddIconImage(const wchar_t* file)
{
    auto image = loadSkinImage(file);
    if (!image)
        return 0;
    m_addIconWidth = static_cast<int>(image->GetWidth());
    m_addIconHeight = static_cast<int>(image->GetHeight());
    ScopedLock lock(m_itemsLock);
    *m_addIcon = std::move(image);
    DropLooks();
    return 1;
}

// ---- tiles

void CDeviceCtrl::AddDevice(CString name, int first, int second, bool state, CString imageFile)
{
    auto tile = std::make_unique<DeviceItemInfo>();
    tile->text = name;
    tile->first = first;
    tile->second = second;
    tile->state = state;
    tile->LoadImage(GetSkinPath() + imageFile);
    AppendItem(std::move(tile));
}

void CDeviceCtrl::SetDeviceState(int index, CString name, bool state, CString imageFile)
{
    {
        ScopedLock lock(m_itemsLock);
        auto* tile = static_cast<DeviceItemInfo*>(ItemAt(index));
        if (!tile)
            return;
        m_hover = -1;
        tile->text = name;
        tile->state = state;
        tile->DropLooks();
        // A missing file keeps the old picture; one that fails to load leaves none.
        tile->LoadImage(GetSkinPath() + imageFile);
        if (!state && index == m_selected)
            m_selected = -1;
    }
    UpdateControl(1, 0);
}

void CDeviceCtrl::SetDeviceState(int first, int)
{
    m_hover = -1;
    {
        ScopedLock lock(m_itemsLock);
        for (size_t i = 0; i < m_items->size(); ++i) {
            auto* tile = static_cast<DeviceItemInfo*>((*m_items)[i].get());
            if (tile->first != first)
                continue;
            tile->check = 1;
            if (static_cast<int>(i) == m_selected)
                m_selected = -1;
            break;
        }
    }
    UpdateControl(1, 0);
}

void CDeviceCtrl::GetCurDeviceInfo(int& first, int& second)
{
    ScopedLock lock(m_itemsLock);
    if (const auto* tile = static_cast<const DeviceItemInfo*>(ItemAt(m_selected))) {
        first = tile->first;
        second = tile->second;
    }
}

int CDeviceCtrl::GetCheckItemCount()
{
    ScopedLock lock(m_itemsLock);
    int count = 0;
    for (const auto& item : *m_items)
        count += static_cast<const DeviceItemInfo&>(*item).check != 0 ? 1 : 0;
    return count;
}

// ---- pointer

bool CDeviceCtrl::TakesPointer(const ListItem& item) const
{
    return static_cast<const DeviceItemInfo&>(item).state;
}

bool CDeviceCtrl::inCheckArea(const CRect& place, CPoint pt) const
{
    CRect area = m_checkArea;
    area.OffsetRect(place.left, place.top);
    return area.PtInRect(pt) != FALSE;
}

bool CDeviceCtrl::HandOver(const ListItem&, const CRect& place, CPoint pt) const
{
    return inCheckArea(place, pt);
}

void CDeviceCtrl::ReleaseItem(int index, CPoint pt)
{
    m_selected = index;
    bool available = false;
    bool onCheck = false;
    {
        ScopedLock lock(m_itemsLock);
        auto* tile = static_cast<DeviceItemInfo*>(ItemAt(index));
        if (!tile)
            return;
        const CRect place = PlaceOf(*tile);
        if (!place.PtInRect(pt))
            return;
        onCheck = inCheckArea(place, pt);
        available = tile->state;
        if (onCheck && available)
            tile->check = tile->check ? 0 : 1;
    }
    if (onCheck && available) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        Report(kClickCode, index, 0);
    } else {
        SendMessageW(kClickCode, index, onCheck ? kUnavailableCheck : 0);
    }
}

// ---- drawing

void CDeviceCtrl::PrepareCards()
{
    *m_captionFont = ItemFont(m_fontSize);
}

void CDeviceCtrl::drawCentred(Gdiplus::Graphics& graphics, Gdiplus::Image* image, int srcX, int width, int height,
                              const CRect& cell) const
{
    if (!image)
        return;
    const int left = cell.left + (cell.Width() - width) / 2;
    const int top = cell.top + (cell.Height() - height) / 2;
    MRender::DrawImagePart(graphics, image, CRect(left, top, left + width, top + height), srcX, 0, width, height);
}

void CDeviceCtrl::DrawCard(Gdiplus::Graphics& graphics, ListItem& item, const CRect& cell, bool lit)
{
    const auto& tile = static_cast<const DeviceItemInfo&>(item);
    const int frameWidth = tile.imageWidth / 2;
    drawCentred(graphics, tile.image.get(), lit ? frameWidth : 0, frameWidth, tile.imageHeight, cell);
    if (tile.text.IsEmpty() || !tile.state)
        drawCentred(graphics, m_addIcon->get(), 0, m_addIconWidth, m_addIconHeight, cell);
    if (tile.text.IsEmpty() || !*m_captionFont)
        return;
    const Gdiplus::RectF caption(static_cast<float>(cell.left), static_cast<float>(cell.bottom - kCaptionAbove),
                                 static_cast<float>(cell.Width()), static_cast<float>(kCaptionHeight));
    graphics.DrawString(tile.text, tile.text.GetLength(), TextFont(*m_captionFont, tile.text),
                        caption, m_captionFormat->Get(),
                        &ItemBrush(lit ? kLitCaption : kCaption));
}

} // namespace KOVA
