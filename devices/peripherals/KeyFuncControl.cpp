// GUI thread only. The item lock is taken below the paint manager's list locks; repaint
// requests and notifications are made with it let go.
#include "devices/peripherals/KeyFuncControl.h"

#include "controls/basic/LookPainting.h"
#include "devices/peripherals/KeyboardLayout.h"
#include "framework/AppPaths.h"
#include "framework/FontCache.h"
#include "framework/MRender.h"
#include "framework/Manager.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
constexpr UINT kPressCode = 1;
constexpr Gdiplus::ARGB kItemFill = 0xFF515151;
constexpr Gdiplus::ARGB kItemOutline = 0xFFB4B4B4;
// Icons are drawn 20 × 20, from their top-left corner, centred in the item.
constexpr int kIconSide = 20;
// Icon keys carry the picker's own codes, above the HID modifiers: their label is a tooltip.
constexpr int kFirstIconCode = 232;
static_assert(KeyFuncControl::kItemCount == KeyboardLayout::kKeyCount, "one item a key of the layout");

struct FuncEntry : ListItem {
    KeyFuncItem item;
};

Gdiplus::Rect boxOf(const CRect& rect)
{
    return Gdiplus::Rect(rect.left, rect.top, rect.Width(), rect.Height());
}
} // namespace

KeyFuncItem::~KeyFuncItem()
{
    delete icon;
}

KeyFuncControl::KeyFuncControl(MObject* parent, UINT id, CRect rect, int visible)
    : ItemList(parent, id, rect, visible, 1)
{
    makeTools();
}

void KeyFuncControl::makeTools()
{
    auto format = std::make_unique<Gdiplus::StringFormat>();
    format->SetAlignment(Gdiplus::StringAlignmentCenter);
    format->SetLineAlignment(Gdiplus::StringAlignmentCenter);
    format->SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    *m_format = std::move(format);
    *m_greyPen = std::make_unique<Gdiplus::Pen>(Gdiplus::Color(kItemOutline), 1.0f);
    *m_itemBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(kItemFill));
}

KeyFuncControl::KeyFuncControl(const KeyFuncControl& other) : ItemList(other), m_checked(other.m_checked)
{
    makeTools();
    takeImageOf(other);
}

KeyFuncControl& KeyFuncControl::operator=(const KeyFuncControl& other)
{
    if (this == &other)
        return *this;
    if (m_image == m_ownImage->get())
        m_image = nullptr;
    ItemList::operator=(other);
    m_checked = other.m_checked;
    takeImageOf(other);
    return *this;
}

void KeyFuncControl::takeImageOf(const KeyFuncControl& other)
{
    // The picture the other one loaded is its own and goes with it: the copy keeps a copy.
    m_ownImage->reset();
    if (!other.m_image || other.m_image != other.m_ownImage->get())
        return;
    m_ownImage->reset(other.m_image->Clone());
    m_image = m_ownImage->get();
}

KeyFuncControl::~KeyFuncControl()
{
    if (m_image == m_ownImage->get())
        m_image = nullptr;
    ClearItems();
}

const wchar_t* KeyFuncControl::GetClassNameW() const
{
    return L"KeyFuncControl";
}

void KeyFuncControl::InitControl(PaintManager* manager)
{
    ItemList::InitControl(manager);
    SetControlRect(m_rect);
}

void KeyFuncControl::SetControlRect(CRect rect)
{
    ItemList::SetControlRect(rect);
    DockBars(rect);
}

int KeyFuncControl::SetImage(const wchar_t* file, int count)
{
    if (m_image == m_ownImage->get())
        m_image = nullptr;
    m_ownImage->reset(MRender::LoadImageFromFile(GetSkinPath() + file));
    // A count below 1 would give frames no width: it fails as the framework's setters do.
    if (!*m_ownImage || count < 1) {
        m_ownImage->reset();
        return 0;
    }
    m_image = m_ownImage->get();
    m_imageWidth = static_cast<int>(m_image->GetWidth());
    m_imageHeight = static_cast<int>(m_image->GetHeight());
    m_imageCount = count;
    return 1;
}

// ---- items

KeyFuncItem* KeyFuncControl::itemAt(int index) const
{
    FuncEntry* entry = EntryAt<FuncEntry>(index);
    return entry ? &entry->item : nullptr;
}

void KeyFuncControl::AddKeyItem(CString label, int code, CRect rect, CString iconFile)
{
    auto entry = std::make_unique<FuncEntry>();
    entry->item.label = label;
    entry->item.code = code;
    entry->item.rect = rect;
    entry->cell = rect;
    if (!iconFile.IsEmpty())
        entry->item.icon = MRender::LoadImageFromFile(GetSkinPath() + iconFile);
    AppendItem(std::move(entry));
}

void KeyFuncControl::InitItemInfo()
{
    ClearItems();
    for (int index = 0; index < KeyboardLayout::kKeyCount; ++index) {
        const KeyLayoutRow& row = *KeyboardLayout::Row(index);
        AddKeyItem(row.label, row.code, CRect(row.x, row.y, row.x + row.width, row.y + row.height),
                   row.icon ? row.icon : L"");
    }
}

void KeyFuncControl::ClearItems()
{
    ScopedLock lock(m_itemsLock);
    m_items->clear();
}

void KeyFuncControl::SetItemDesc(int code, CString text)
{
    ScopedLock lock(m_itemsLock);
    for (int i = 0; KeyFuncItem* item = itemAt(i); ++i)
        if (item->code == code) {
            item->label = text;
            return;
        }
}

bool KeyFuncControl::GetCurItemData(int&, int& code, int& data2, int& data3, CString& label)
{
    ScopedLock lock(m_itemsLock);
    const KeyFuncItem* item = itemAt(m_selected);
    if (!item)
        return false;
    code = item->code;
    data2 = item->data2;
    data3 = item->data3;
    label = item->label;
    return true;
}

void KeyFuncControl::SetItemCheckByItemData(int code, int data2, int data3)
{
    {
        ScopedLock lock(m_itemsLock);
        m_checked = -1;
        for (int i = 0; code != 0 && itemAt(i); ++i) {
            const KeyFuncItem* item = itemAt(i);
            if (item->code == code && item->data2 == data2 && item->data3 == data3) {
                m_checked = i;
                break;
            }
        }
    }
    if (m_visible)
        UpdateControl(1, 0);
}

// ---- pointer

void KeyFuncControl::showHeldItem()
{
    CString label;
    CRect place;
    {
        ScopedLock lock(m_itemsLock);
        const KeyFuncItem* item = itemAt(m_hover);
        if (!item || item->code < kFirstIconCode || item->label.IsEmpty())
            return;
        label = item->label;
        place = PlaceOf(*ItemAt(m_hover));
    }
    SetTooltip(label, place);
}

void KeyFuncControl::dropTooltip()
{
    if (m_manager && m_manager->GetTooltipCtrlID() == static_cast<int>(m_uControlID))
        ClearTooltip();
}

int KeyFuncControl::OnControlMouseMove(UINT keys, CPoint pt)
{
    if (!m_enabled)
        return 0;
    const int before = m_hover;
    // The hover, the hand and the repaint of a changed hover.
    const int handled = ItemList::OnControlMouseMove(keys, pt);
    if (!m_rect.PtInRect(pt))
        dropTooltip();
    else if (m_hover >= 0 && m_hover == before)
        showHeldItem();
    else if (before >= 0)
        ClearTooltip();
    return handled;
}

int KeyFuncControl::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled)
        return 1;
    const bool inside = m_rect.PtInRect(pt) != 0;
    if (inside)
        m_selected = m_hover;
    // The repaint is asked for before the parent hears: its handler may delete the picker.
    if (m_visible)
        UpdateControl(1, 0);
    if (inside)
        SendMessageW(kPressCode, static_cast<UINT>(m_selected), 0);
    return 1;
}

int KeyFuncControl::OnControlLButtonUp(UINT, CPoint)
{
    return 0;
}

int KeyFuncControl::OnControlScroll(int, UINT, CPoint)
{
    return 1;
}

// ---- drawing

void KeyFuncControl::DrawControl(HDC& dc, CRect)
{
    const Gdiplus::Font* font = ItemFont(m_fontSize);
    DrawCachedLooks(*this, m_memPicture, dc, 1, 0, [&](Gdiplus::Graphics& graphics) {
        graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        const Gdiplus::Color selection = Manager::GetSelectColor();
        Gdiplus::Pen selectionPen(selection, 1.0f);
        Gdiplus::SolidBrush selectionBrush(selection);
        ScopedLock lock(m_itemsLock);
        for (int i = 0; KeyFuncItem* item = itemAt(i); ++i) {
            CRect place = item->rect;
            const Gdiplus::Brush* fill = i == m_checked ? static_cast<Gdiplus::Brush*>(&selectionBrush)
                                                         : m_itemBrush->get();
            graphics.FillRectangle(fill, boxOf(place));
            graphics.DrawRectangle(m_greyPen->get(), boxOf(place));
            if (IsHighlighted(i)) {
                graphics.DrawRectangle(m_greyPen->get(), boxOf(place));
                place.OffsetRect(1, 1);
                graphics.DrawRectangle(&selectionPen, boxOf(place));
            }
            if (item->icon) {
                graphics.DrawImage(item->icon, Gdiplus::Rect(place.left + (place.Width() - kIconSide) / 2,
                                                             place.top + (place.Height() - kIconSide) / 2,
                                                             kIconSide, kIconSide),
                                   0, 0, kIconSide, kIconSide, Gdiplus::UnitPixel);
            } else if (font && GetTextBrush()) {
                const Gdiplus::RectF box(static_cast<float>(place.left), static_cast<float>(place.top),
                                         static_cast<float>(place.Width()), static_cast<float>(place.Height()));
                graphics.DrawString(item->label, item->label.GetLength(), TextFont(font, item->label),
                                    box, m_format->get(),
                                    GetTextBrush());
            }
        }
    });
}

} // namespace KOVA
