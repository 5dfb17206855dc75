// GUI thread only. Lock order: the panel's controls lock or the item lock, never both; each
// is let go before a repaint request or a notification.
#include "devices/cooling/ModeRowList.h"

#include <algorithm>

#include "framework/FontCache.h"
#include "framework/Manager.h"
#include "framework/MRender.h"

namespace KOVA {

namespace {
constexpr UINT kClickCode = 2;
constexpr UINT kShowBoxCode = 9;
constexpr UINT kRightClickCode = 5;
// Rows are R − 2 high: a 2-pixel strip of what lies under the list parts them.
constexpr int kRowParting = 2;
constexpr Gdiplus::ARGB kLit = 0xFFBE30FF;
constexpr Gdiplus::ARGB kDim = 0xFF505050;
constexpr Gdiplus::ARGB kName = 0xFFFFFFFF;

const RowListLook kLayerLook { true, true, 0 };
const RowListLook kCoolModeLook { false, false, -1 };

int scaled(int pixels) { return static_cast<int>(pixels * Manager::GetScaleValue()); }
CoolModeItemInfo& rowOf(ListItem& item) { return static_cast<CoolModeItemInfo&>(item); }
} // namespace

ModeRowList::ModeRowList(MObject* parent, UINT id, CRect rect, int visible, const RowListLook& look)
    : ScrollingItemList(parent, id, rect, visible, 1), m_look(look)
{
    UseRowWindow();
}

ModeRowList::ModeRowList(const ModeRowList& other) = default;
ModeRowList& ModeRowList::operator=(const ModeRowList& other) = default;
ModeRowList::~ModeRowList() = default;

int ModeRowList::rowHeight() const { return scaled(kRowHeight); }

int ModeRowList::ContentHeight() { return GetItemCount() * rowHeight(); }

// ---- rows

void ModeRowList::AddRow(std::unique_ptr<CoolModeItemInfo> row)
{
    {
        ScopedLock lock(m_itemsLock);
        auto& items = *m_items;
        items.insert(m_look.newestFirst ? items.begin() : items.end(), std::move(row));
    }
    FitBarToContent(ContentHeight());
    UpdateControl(1, 0);
}

void ModeRowList::ClearList()
{
    DropItems();
    ForgetRows();
    FitBarToContent(0);
    UpdateControl(1, 0);
}

int ModeRowList::DeleteItem(int index)
{
    {
        ScopedLock lock(m_itemsLock);
        if (!ItemAt(index))
            return 0;
        m_items->erase(m_items->begin() + index);
        m_hover = -1;
        m_selected = -1;
        ForgetRows();
    }
    FitBarToContent(ContentHeight());
    UpdateControl(1, 0);
    return 1;
}

int ModeRowList::GetLightMode(int index)
{
    ScopedLock lock(m_itemsLock);
    ListItem* row = ItemAt(index);
    return row ? rowOf(*row).mode : 0;
}

int ModeRowList::SetCurLightLayerID(int mode)
{
    int selection = m_look.noMatchSelection;
    {
        ScopedLock lock(m_itemsLock);
        for (size_t i = 0; i < m_items->size(); ++i)
            if (rowOf(*(*m_items)[i]).mode == mode) {
                selection = static_cast<int>(i);
                break;
            }
        m_selected = selection;
    }
    UpdateControl(1, 0);
    return selection;
}

int ModeRowList::GetCurLightLayerID()
{
    return GetLightMode(m_selected);
}

int ModeRowList::SetItemText(int index, CString text)
{
    if (!ItemList::SetItemText(index, text))
        return 0;
    UpdateControl(1, 0);
    return 1;
}

// ---- pointer

CRect ModeRowList::indicatorIn(CPoint origin) const
{
    const int width = scaled(GetFrameWidth());
    const int height = scaled(m_imageHeight);
    const int inset = (rowHeight() - height) / 2 - kRowParting;
    return CRect(origin.x + inset, origin.y + inset, origin.x + inset + width, origin.y + inset + height);
}

void ModeRowList::ReleaseItem(int index, CPoint pt)
{
    m_selected = index;
    bool onBox = false;
    if (m_look.showBox && m_image) {
        ScopedLock lock(m_itemsLock);
        if (ListItem* row = ItemAt(index)) {
            // The box a user sees: the indicator as drawn, scaled.
            onBox = indicatorIn(PlaceOf(*row).TopLeft()).PtInRect(pt) != FALSE;
            if (onBox) {
                auto& layer = static_cast<LightLayerItemInfo&>(*row);
                layer.show = !layer.show;
            }
        }
    }
    Report(onBox ? kShowBoxCode : kClickCode, 0, index);
}

int ModeRowList::OnControlRButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (m_rect.PtInRect(pt) && m_hover >= 0) {
        m_selected = m_hover;
        Report(kRightClickCode, 0, m_selected);
    }
    return 1;
}

int ModeRowList::OnControlScroll(int step, UINT down, CPoint pt)
{
    if (ContentHeight() <= m_rect.Height())
        return 0;
    return ScrollingItemList::OnControlScroll(step, down, pt);
}

// ---- drawing

bool ModeRowList::indicatorOn(const CoolModeItemInfo& row, bool lit) const
{
    return m_look.showBox ? static_cast<const LightLayerItemInfo&>(row).show : lit;
}

void ModeRowList::DrawControl(HDC& dc, CRect)
{
    const int viewWidth = ViewWidth();
    const RowWindow rows = PlaceRows(rowHeight(), m_rect.Height());
    // Fetched before the item lock: the font comes through the window's font cache.
    const Gdiplus::Font* font = ItemFont(scaled(m_fontSize));
    DrawRowStrip(dc, viewWidth, rows, [&](Gdiplus::Graphics& graphics) { drawRows(graphics, rows, viewWidth, font); });
}

void ModeRowList::drawRows(Gdiplus::Graphics& graphics, const RowWindow& rows, int viewWidth, const Gdiplus::Font* font)
{
    const int height = rowHeight();
    const int frameWidth = m_image ? GetFrameWidth() : 0;
    graphics.SetTextRenderingHint(m_textRenderingHint);
    int y = 0;
    for (int i = rows.first; i <= rows.last; ++i, y += height) {
        ListItem* item = ItemAt(i);
        if (!item)
            break;
        item->cell = RECT { 0, y, viewWidth, y + height - kRowParting };
        const bool lit = IsHighlighted(i);
        graphics.FillRectangle(&ItemBrush(lit ? kLit : kDim), 0, y, viewWidth, height - kRowParting);
        if (m_image) {
            const CRect box = indicatorIn(CPoint(0, y));
            MRender::DrawImagePart(graphics, m_image, box, indicatorOn(rowOf(*item), lit) ? frameWidth : 0, 0,
                                   frameWidth, m_imageHeight);
        }
        if (font && !item->text.IsEmpty())
            graphics.DrawString(item->text, item->text.GetLength(), TextFont(font, item->text),
                                Gdiplus::RectF(static_cast<float>(height), static_cast<float>(y),
                                               static_cast<float>(viewWidth - height),
                                               static_cast<float>(height - kRowParting)),
                                m_format->Get(Gdiplus::StringAlignmentNear), &ItemBrush(kName));
    }
}

// ---- the two lists

LightLayer::LightLayer(MObject* parent, UINT id, CRect rect, int visible, int)
    : ModeRowList(parent, id, rect, visible, kLayerLook)
{
}

const wchar_t* LightLayer::GetClassNameW() const { return L"LightLayer"; }

void LightLayer::AddLight(CString name, int mode, bool show)
{
    auto row = std::make_unique<LightLayerItemInfo>();
    row->text = name;
    row->mode = mode;
    row->show = show;
    AddRow(std::move(row));
}

bool LightLayer::GetItemShowState(int index)
{
    ScopedLock lock(m_itemsLock);
    ListItem* row = ItemAt(index);
    return row && static_cast<LightLayerItemInfo&>(*row).show;
}

Fan2CoolMode::Fan2CoolMode(MObject* parent, UINT id, CRect rect, int visible, int)
    : ModeRowList(parent, id, rect, visible, kCoolModeLook)
{
}

const wchar_t* Fan2CoolMode::GetClassNameW() const { return L"Fan2CoolMode"; }

void Fan2CoolMode::AddLight(CString name, int mode)
{
    auto row = std::make_unique<CoolModeItemInfo>();
    row->text = name;
    row->mode = mode;
    AddRow(std::move(row));
}

void Fan2CoolMode::SetSelectItem(int index)
{
    if (index == m_selected)
        return;
    m_selected = index;
    UpdateControl(1, 0);
}

} // namespace KOVA
