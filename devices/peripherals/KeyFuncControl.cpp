// GUI thread only. The item lock is taken below the paint manager's list locks; repaint
// requests and notifications are made with it let go.
#include "devices/peripherals/KeyFuncControl.h"

#include "controls/basic/LookPainting.h"
#include "framework/AppPaths.h"
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

struct TableRow {
    const wchar_t* label;
    int code;
    int x;
    int y;
    int width;
    int height;
    const wchar_t* icon;
};

// Codes 4 to 101: the USB HID keyboard page; 224 to 231 its modifiers; 232 to 249 the icon keys.
const TableRow kTable[KeyFuncControl::kItemCount] = {
    { L"", 249, 0, 0, 43, 28, L"icon//icon_pc.png" },
    { L"", 242, 48, 0, 43, 28, L"icon//icon_cal.png" },
    { L"", 240, 96, 0, 43, 28, L"icon//icon_email.png" },
    { L"", 232, 144, 0, 43, 28, L"icon//icon_multimedia.png" },
    { L"", 238, 192, 0, 43, 28, L"icon//icon_playpause.png" },
    { L"", 236, 240, 0, 43, 28, L"icon//icon_stop.png" },
    { L"", 237, 288, 0, 43, 28, L"icon//icon_pre.png" },
    { L"", 239, 336, 0, 43, 28, L"icon//icon_next.png" },
    { L"", 233, 384, 0, 43, 28, L"icon//icon_vol_down.png" },
    { L"", 234, 432, 0, 43, 28, L"icon//icon_vol_up.png" },
    { L"", 235, 480, 0, 43, 28, L"icon//icon_vol_mute.png" },
    { L"", 241, 528, 0, 43, 28, L"icon//icon_home.png" },
    { L"", 246, 576, 0, 43, 28, L"icon//icon_web_refresh.png" },
    { L"", 245, 624, 0, 43, 28, L"icon//icon_web_stop.png" },
    { L"", 243, 672, 0, 43, 28, L"icon//icon_web_backward.png" },
    { L"", 244, 720, 0, 43, 28, L"icon//icon_web_foreward.png" },
    { L"", 248, 768, 0, 43, 28, L"icon//icon_favorites.png" },
    { L"", 247, 816, 0, 43, 28, L"icon//icon_web_search.png" },
    { L"Esc", 41, 0, 38, 36, 28, nullptr },
    { L"F1", 58, 78, 38, 36, 28, nullptr },
    { L"F2", 59, 117, 38, 36, 28, nullptr },
    { L"F3", 60, 156, 38, 36, 28, nullptr },
    { L"F4", 61, 195, 38, 36, 28, nullptr },
    { L"F5", 62, 260, 38, 36, 28, nullptr },
    { L"F6", 63, 299, 38, 36, 28, nullptr },
    { L"F7", 64, 338, 38, 36, 28, nullptr },
    { L"F8", 65, 377, 38, 36, 28, nullptr },
    { L"F9", 66, 442, 38, 36, 28, nullptr },
    { L"F10", 67, 481, 38, 36, 28, nullptr },
    { L"F11", 68, 520, 38, 36, 28, nullptr },
    { L"F12", 69, 559, 38, 36, 28, nullptr },
    { L"Print", 70, 616, 38, 36, 28, nullptr },
    { L"Scroll Lock", 71, 655, 38, 36, 28, nullptr },
    { L"Pause", 72, 694, 38, 36, 28, nullptr },
    { L"~", 53, 0, 76, 36, 28, nullptr },
    { L"1", 30, 39, 76, 36, 28, nullptr },
    { L"2", 31, 78, 76, 36, 28, nullptr },
    { L"3", 32, 117, 76, 36, 28, nullptr },
    { L"4", 33, 156, 76, 36, 28, nullptr },
    { L"5", 34, 195, 76, 36, 28, nullptr },
    { L"6", 35, 234, 76, 36, 28, nullptr },
    { L"7", 36, 273, 76, 36, 28, nullptr },
    { L"8", 37, 312, 76, 36, 28, nullptr },
    { L"9", 38, 351, 76, 36, 28, nullptr },
    { L"0", 39, 390, 76, 36, 28, nullptr },
    { L"-", 45, 429, 76, 36, 28, nullptr },
    { L"=", 46, 468, 76, 36, 28, nullptr },
    { L"Back", 42, 507, 76, 88, 28, nullptr },
    { L"Ins", 73, 616, 76, 36, 28, nullptr },
    { L"Home", 74, 655, 76, 36, 28, nullptr },
    { L"PgUp", 75, 694, 76, 36, 28, nullptr },
    { L"NumLock", 83, 750, 76, 36, 28, nullptr },
    { L"/", 84, 789, 76, 36, 28, nullptr },
    { L"*", 85, 828, 76, 36, 28, nullptr },
    { L"-", 86, 867, 76, 36, 28, nullptr },
    { L"Tab", 43, 0, 109, 75, 28, nullptr },
    { L"Q", 20, 78, 109, 36, 28, nullptr },
    { L"W", 26, 117, 109, 36, 28, nullptr },
    { L"E", 8, 156, 109, 36, 28, nullptr },
    { L"R", 21, 195, 109, 36, 28, nullptr },
    { L"T", 23, 234, 109, 36, 28, nullptr },
    { L"Y", 28, 273, 109, 36, 28, nullptr },
    { L"U", 24, 312, 109, 36, 28, nullptr },
    { L"I", 12, 351, 109, 36, 28, nullptr },
    { L"O", 18, 390, 109, 36, 28, nullptr },
    { L"P", 19, 429, 109, 36, 28, nullptr },
    { L"[", 47, 468, 109, 35, 28, nullptr },
    { L"]", 48, 507, 109, 35, 28, nullptr },
    { L"\\", 49, 546, 109, 49, 28, nullptr },
    { L"Del", 76, 616, 109, 36, 28, nullptr },
    { L"End", 77, 655, 109, 36, 28, nullptr },
    { L"PgDn", 78, 694, 109, 36, 28, nullptr },
    { L"7", 95, 750, 109, 36, 28, nullptr },
    { L"8", 96, 789, 109, 36, 28, nullptr },
    { L"9", 97, 828, 109, 36, 28, nullptr },
    { L"+", 87, 867, 109, 36, 61, nullptr },
    { L"Caps", 57, 0, 142, 85, 28, nullptr },
    { L"A", 4, 88, 142, 36, 28, nullptr },
    { L"S", 22, 127, 142, 36, 28, nullptr },
    { L"D", 7, 166, 142, 36, 28, nullptr },
    { L"F", 9, 205, 142, 36, 28, nullptr },
    { L"G", 10, 244, 142, 36, 28, nullptr },
    { L"H", 11, 283, 142, 36, 28, nullptr },
    { L"J", 13, 322, 142, 36, 28, nullptr },
    { L"K", 14, 361, 142, 36, 28, nullptr },
    { L"L", 15, 400, 142, 36, 28, nullptr },
    { L";", 51, 439, 142, 36, 28, nullptr },
    { L"'", 52, 478, 142, 36, 28, nullptr },
    { L"Enter", 40, 517, 142, 78, 28, nullptr },
    { L"4", 92, 750, 142, 36, 28, nullptr },
    { L"5", 93, 789, 142, 36, 28, nullptr },
    { L"6", 94, 828, 142, 36, 28, nullptr },
    { L"Shift", 225, 0, 175, 101, 28, nullptr },
    { L"Z", 29, 104, 175, 36, 28, nullptr },
    { L"X", 27, 143, 175, 36, 28, nullptr },
    { L"C", 6, 182, 175, 36, 28, nullptr },
    { L"V", 25, 221, 175, 36, 28, nullptr },
    { L"B", 5, 260, 175, 36, 28, nullptr },
    { L"N", 17, 299, 175, 36, 28, nullptr },
    { L"M", 16, 338, 175, 36, 28, nullptr },
    { L",<", 54, 377, 175, 36, 28, nullptr },
    { L".>", 55, 416, 175, 36, 28, nullptr },
    { L"/?", 56, 455, 175, 36, 28, nullptr },
    { L"Shift", 229, 494, 175, 101, 28, nullptr },
    { L"Up", 82, 655, 175, 36, 28, nullptr },
    { L"1", 89, 750, 175, 36, 28, nullptr },
    { L"2", 90, 789, 175, 36, 28, nullptr },
    { L"3", 91, 828, 175, 36, 28, nullptr },
    { L"Enter", 88, 867, 175, 36, 61, nullptr },
    { L"Ctrl", 224, 0, 208, 50, 28, nullptr },
    { L"Win", 227, 53, 208, 50, 28, nullptr },
    { L"Alt", 226, 106, 208, 50, 28, nullptr },
    { L"Space", 44, 159, 208, 224, 28, nullptr },
    { L"Alt", 230, 386, 208, 50, 28, nullptr },
    { L"Win", 231, 439, 208, 50, 28, nullptr },
    { L"App", 101, 492, 208, 50, 28, nullptr },
    { L"Ctrl", 228, 545, 208, 50, 28, nullptr },
    { L"Left", 80, 616, 208, 36, 28, nullptr },
    { L"Down", 81, 655, 208, 36, 28, nullptr },
    { L"Right", 79, 694, 208, 36, 28, nullptr },
    { L"0", 98, 750, 208, 36, 28, nullptr },
    { L".", 99, 789, 208, 75, 28, nullptr },
};

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
    for (const TableRow& row : kTable)
        AddKeyItem(row.label, row.code, CRect(row.x, row.y, row.x + row.width, row.y + row.height),
                   row.icon ? row.icon : L"");
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
                graphics.DrawString(item->label, item->label.GetLength(), font, box, m_format->get(),
                                    GetTextBrush());
            }
        }
    });
}

} // namespace KOVA
