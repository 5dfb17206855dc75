// GUI thread only. Lock order: the item lock below the paint manager's list locks; it is
// never held while the parent is asked to repaint or notified, nor while the rename window
// is touched.
#include "controls/input/MListBox.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <utility>

#include "controls/input/CEditWindow.h"
#include "framework/AppPaths.h"
#include "framework/FontCache.h"
#include "framework/MImageList.h"
#include "framework/MRender.h"
#include "framework/Manager.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
constexpr UINT kPressed = 1;
constexpr UINT kClicked = 2;
constexpr UINT kDoubleClicked = 3;
constexpr UINT kRightClicked = 5;
constexpr UINT kRenamed = 29;
constexpr int kDragWidthLimit = 300;
constexpr int kMaxRowHeight = 4096;
constexpr INT kRowFormatFlags = Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces;


COLORREF toColorRef(Gdiplus::Color colour)
{
    return RGB(colour.GetR(), colour.GetG(), colour.GetB());
}

Gdiplus::RectF rectF(int x, int y, int width, int height)
{
    return Gdiplus::RectF(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y), static_cast<Gdiplus::REAL>(width),
                          static_cast<Gdiplus::REAL>(height));
}

// Near, centred vertically, one line with trailing blanks measured.
class RowFormat : public Gdiplus::StringFormat {
public:
    RowFormat() : Gdiplus::StringFormat(kRowFormatFlags)
    {
        SetAlignment(Gdiplus::StringAlignmentNear);
        SetLineAlignment(Gdiplus::StringAlignmentCenter);
    }
};
} // namespace

const MListBox::Rules MListBox::kListBoxRules { 0xFEFFFFFF, false, 0, true, 35, 3, 1, 0xF8F8F7, false, false, true, true };
const MListBox::Rules MListBox::kDListBoxRules { 0xFFE6E6E6, true, 1, false, 30, 30, 10, 0x080808, true, true, false, false };

// The protected constructor takes the rules; MListBox's own are the first table.
MListBox::MListBox(MObject* parent, UINT id, CRect rect, int visible) : MListBox(parent, id, rect, visible, kListBoxRules) {}

MListBox::MListBox(MObject* parent, UINT id, CRect rect, int visible, const Rules& rules)
    : ItemList(parent, id, rect, visible, 1),
      m_rules(rules),
      m_hoverColour(Manager::GetSelectColor()),
      m_selectionColour(Manager::GetSelectColor()),
      m_highlightColour(rules.textColour)
{
    UseRowWindow();
    PlaceBarOnRightEdge(rect);
    SetTextColor(Gdiplus::Color(rules.textColour));
    CScrollVertical* bar = GetScrollVertical();
    if (bar->IsVisible()) {
        bar->UpdateControl(1, 0);
        bar->SetControlVisible(0);
    }
}

MListBox::MListBox(const MListBox& other) = default;
MListBox& MListBox::operator=(const MListBox& other) = default;

MListBox::~MListBox()
{
    NativeEditWindow::Dispose(*m_edit);
}

const wchar_t* MListBox::GetClassNameW() const
{
    return L"MListBox";
}

// ---- rows

int MListBox::AddString(const wchar_t* text, int image)
{
    return InsertString(-1, text, image, 0);
}

int MListBox::AddString(const wchar_t* text, long data, int image)
{
    return InsertString(-1, text, image, data);
}

int MListBox::InsertString(int index, const wchar_t* text, int image, long data)
{
    auto row = std::make_unique<ListItemInfo>();
    row->text = text ? text : L"";
    row->imageIndex = image;
    row->data = data;
    int last = -1;
    {
        ScopedLock lock(m_itemsLock);
        auto& rows = *m_items;
        const int count = static_cast<int>(rows.size());
        if (index < -1 || index > count - 1)
            return -1;
        if (index == -1 || count == 0)
            rows.push_back(std::move(row));
        else
            rows.insert(rows.begin() + index, std::move(row));
        last = static_cast<int>(rows.size()) - 1;
    }
    if (index != -1)
        shiftIndexes([index](int at) { return at >= index ? at + 1 : at; });
    FitBarToContent(contentHeight(last + 1));
    UpdateControl(1, 0);
    return last;
}

int MListBox::SetItemData(int index, long data)
{
    ScopedLock lock(m_itemsLock);
    ListItemInfo* row = rowAt(index);
    if (!row)
        return 0;
    row->data = data;
    return 1;
}

long MListBox::GetItemData(int index)
{
    ScopedLock lock(m_itemsLock);
    const ListItemInfo* row = rowAt(index);
    return row ? row->data : 0;
}

int MListBox::ModifyItemString(int index, const wchar_t* text)
{
    return SetItemText(index, text ? text : L"");
}

int MListBox::FindString(const wchar_t* text)
{
    if (!text)
        return -1;
    ScopedLock lock(m_itemsLock);
    for (size_t i = 0; i < m_items->size(); ++i)
        if ((*m_items)[i]->text == text)
            return static_cast<int>(i);
    return -1;
}

int MListBox::FindItemData(long data)
{
    ScopedLock lock(m_itemsLock);
    for (size_t i = 0; i < m_items->size(); ++i)
        if (static_cast<const ListItemInfo*>((*m_items)[i].get())->data == data)
            return static_cast<int>(i);
    return -1;
}

int MListBox::SetCurData(long data)
{
    const int index = FindItemData(data);
    if (index >= 0)
        SetCurSel(index);
    return index;
}

int MListBox::SetCurSel(int index)
{
    if (index < -1 || index >= GetItemCount())
        return 0;
    if (index != m_selected) {
        m_selected = index;
        UpdateControl(1, 0);
    }
    return 1;
}

// A row is no taller than kMaxRowHeight: the rows' content height is counted in an int.
void MListBox::SetItemHeight(int height)
{
    m_rowHeight = std::clamp(height, 1, kMaxRowHeight);
}

int MListBox::contentHeight(int rows) const
{
    return static_cast<int>(std::min<long long>(static_cast<long long>(rows) * m_rowHeight, INT_MAX));
}

// A rename open on a row that goes ends without writing into whatever row takes its place.
void MListBox::stopRename()
{
    if (m_editIndex == -1)
        return;
    m_editIndex = -1;
    m_focused = 0;
    if (*m_edit)
        (*m_edit)->Conceal();
}

int MListBox::DeleteItem(int index)
{
    int count = 0;
    {
        ScopedLock lock(m_itemsLock);
        auto& rows = *m_items;
        if (index < 0 || index >= static_cast<int>(rows.size()))
            return 0;
        rows.erase(rows.begin() + index);
        count = static_cast<int>(rows.size());
    }
    m_hover = m_selected = -1;
    ForgetRows();
    stopRename();
    FitBarToContent(contentHeight(count));
    UpdateControl(1, 0);
    return 1;
}

int MListBox::DeleteAllItems()
{
    DropItems();
    ForgetRows();
    stopRename();
    CScrollVertical* bar = GetScrollVertical();
    if (bar->IsVisible()) {
        bar->UpdateControl(1, 0);
        bar->SetControlVisible(0);
    }
    bar->SetScrollMaxRange(0);
    UpdateControl(1, 0);
    return 1;
}

CRect MListBox::GetItemRect(int)
{
    return CRect();
}

int MListBox::SetImageList(MImageList* images)
{
    m_imageList = images;
    return 1;
}

void MListBox::SwapItem(int a, int b)
{
    {
        ScopedLock lock(m_itemsLock);
        if (a == b || !ItemAt(a) || !ItemAt(b))
            return;
        std::swap((*m_items)[static_cast<size_t>(a)], (*m_items)[static_cast<size_t>(b)]);
    }
    shiftIndexes([a, b](int at) { return at == a ? b : at == b ? a : at; });
}

// Selection, hover and the rename follow their rows: a rename commits into the row it opened on.
void MListBox::shiftIndexes(const std::function<int(int)>& moved)
{
    for (int* index : { &m_selected, &m_hover, &m_editIndex })
        if (*index >= 0)
            *index = moved(*index);
}

void MListBox::ClearList()
{
    DeleteAllItems();
}

// ---- layout

int MListBox::PtInRect(CPoint pt)
{
    if (!m_visible)
        return 0;
    CRect inside = m_rect;
    inside.right -= m_barInset;
    return inside.PtInRect(pt) ? 1 : 0;
}

void MListBox::SetControlRect(CRect rect)
{
    m_rect = rect;
    PlaceBarOnRightEdge(rect);
    FitBarToContent(contentHeight(GetItemCount()));
}

LONG MListBox::OnMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    RepaintOnBarMove(id, code);
    return m_parent ? m_parent->OnBaseMessage(id, code, wParam, lParam) : 0;
}

int MListBox::OnControlScroll(int, UINT down, CPoint)
{
    if (contentHeight(GetItemCount()) <= m_rect.Height())
        return 0;
    TurnWheel(down);
    return 1;
}

// ---- pointer

int MListBox::OnControlMouseMove(UINT keys, CPoint pt)
{
    if (GetItemCount() == 0 || !m_enabled || Rows().first < 0 || Rows().last < 0)
        return 0;
    return ItemList::OnControlMouseMove(keys, pt);
}

int MListBox::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (m_rect.PtInRect(pt) && !(m_rules.pressNeedsRow && m_hover == -1)) {
        m_selected = m_hover;
        SendMessageW(kPressed, static_cast<UINT>(m_hover), 0);
        HideEdit(0);
    }
    UpdateControl(1, 0);
    return 1;
}

int MListBox::OnControlLButtonUp(UINT, CPoint pt)
{
    if (m_rules.clickReports && m_enabled && m_rect.PtInRect(pt) && m_hover != -1) {
        m_selected = m_hover;
        SendMessageW(kClicked, static_cast<UINT>(m_hover), 0);
    }
    return 0;
}

int MListBox::OnControlLButtonDblClk(UINT, CPoint pt)
{
    if (!m_rules.doubleClickRenames || !m_enabled || !m_rect.PtInRect(pt))
        return 0;
    bool onRow = false;
    {
        ScopedLock lock(m_itemsLock);
        const ListItem* row = ItemAt(m_hover);
        CRect place = row ? CRect(row->cell) : CRect();
        place.OffsetRect(ItemOrigin().x, ItemOrigin().y);
        onRow = row && place.PtInRect(pt);
    }
    if (onRow) {
        m_selected = m_hover;
        ShowEdit();
        UpdateControl(1, 0);
    }
    SendMessageW(kDoubleClicked, static_cast<UINT>(m_selected), 0);
    return 1;
}

int MListBox::OnControlRButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    const int before = m_selected;
    m_selected = m_hover;
    if (m_selected != before)
        UpdateControl(1, 0);
    if (m_rect.PtInRect(pt) && !(m_rules.rightUpNeedsRow && m_hover == -1))
        SendMessageW(kRightClicked, static_cast<UINT>(m_selected), 0);
    return 1;
}

int MListBox::SetControlFocus(int focus)
{
    if (!m_enabled)
        return 0;
    // The rename's report may remove this list: it stays until the call is done.
    DispatchScope call;
    if (!focus) {
        HideEdit(1);
        UpdateControl(1, 0);
    }
    return 1;
}

// ---- renaming

CRect MListBox::renameRect(int index)
{
    CRect place;
    {
        ScopedLock lock(m_itemsLock);
        const ListItem* row = ItemAt(index);
        if (!row)
            return CRect();
        place = row->cell;
    }
    place.OffsetRect(ItemOrigin().x, ItemOrigin().y);
    place.left += m_rules.renameLeft;
    place.right -= m_rules.renameRight;
    const int h = place.Height();
    int height = m_fontSize + 6;
    int top = place.top + (h - m_fontSize - 6) / 2;
    if (m_fontSize == 8) {
        height = 12;
        top = place.top + (h - 12) / 2;
    } else if (m_fontSize == 14) {
        height = 20;
        top = place.top + (h - 20) / 2 - 1;
    } else if (m_fontSize == 16 && m_rules.stripIcons) {
        height = 24;
        top = place.top + (h - 24) / 2 - 1;
    }
    place.top = top;
    place.bottom = top + height;
    if (m_imageList)
        place.left += m_iconColumn;
    return place;
}

void MListBox::ShowEdit()
{
    if (!m_editEnabled || !m_enabled || m_selected < 0)
        return;
    m_editIndex = m_selected;
    const CRect place = renameRect(m_editIndex);
    const CString text = GetItemText(m_editIndex);
    if (!*m_edit) {
        auto* edit = new CEditWindow;
        edit->SetColors(m_rules.renameBack, toColorRef(m_textColor));
        edit->Init(this, place);
        edit->SetOwnerSlot(&*m_edit);
        *m_edit = edit;
    } else {
        (*m_edit)->PlaceOver(place);
    }
    if (*m_edit)
        (*m_edit)->Reveal(text);
    m_focused = 1;
}

// Repaint, then the report, last: the parent may remove the list in its handler.
void MListBox::HideEdit(int force)
{
    if (!m_editEnabled || (m_editIndex == m_selected && !force))
        return;
    m_focused = 0;
    const int edited = m_editIndex;
    m_editIndex = -1;
    CEditWindow* edit = *m_edit;
    if (!edit || !edit->IsCreated() || !edit->GetSafeHwnd() || edited == -1)
        return;
    const CString text = edit->GetText();
    bool changed = false;
    {
        ScopedLock lock(m_itemsLock);
        if (ListItem* row = ItemAt(edited); row && row->text != text) {
            row->text = text;
            changed = true;
        }
    }
    edit->Conceal();
    if (!changed)
        return;
    UpdateControl(1, 0);
    SendMessageW(kRenamed, 0, edited);
}

// ---- drag picture

HBITMAP MListBox::GetControlDropBitmap()
{
    if (!m_enabled || m_hover == -1 || !m_manager)
        return nullptr;
    m_selected = m_hover;
    CRect cell;
    CString text;
    {
        ScopedLock lock(m_itemsLock);
        const ListItem* row = ItemAt(m_hover);
        if (!row)
            return nullptr;
        cell = row->cell;
        text = row->text;
    }
    const Gdiplus::Font* font = ItemFont(m_fontSize + 2);
    const int textWidth = font ? MRender::GetTextBounds(*font, RowFormat(), text).Width : 0;
    const int width = std::min(m_iconColumn + textWidth + 10, kDragWidthLimit);
    return m_manager->GetDropBitmap(this, CRect(cell.left, cell.top, cell.left + width, cell.bottom), 0);
}

// ---- drawing

void MListBox::drawIcon(Gdiplus::Graphics& graphics, const ListItemInfo& row, int index, int top)
{
    if (m_rules.stripIcons) {
        if (!*m_stripImage || m_stripFrameWidth < 1)
            return;
        const int frame = index == m_selected ? 1 : 0;
        const int left = (m_iconColumn - m_stripFrameWidth) / 2;
        const int iconTop = top + (m_rowHeight - m_stripFrameHeight) / 2;
        MRender::DrawImagePart(graphics, m_stripImage->get(),
                               CRect(left, iconTop, left + m_stripFrameWidth, iconTop + m_stripFrameHeight),
                               frame * m_stripFrameWidth, 0, m_stripFrameWidth, m_stripFrameHeight);
        return;
    }
    if (!m_imageList || row.imageIndex == -1)
        return;
    // An index without an image draws no icon.
    const _M_IAMGELIST* record = m_imageList->GetItemImageData(row.imageIndex);
    if (!record || !record->m_pImage)
        return;
    const CSize size = m_imageList->GetIconSize();
    const CPoint corner((m_iconColumn - size.cx) / 2 + 5, top + (m_rowHeight - size.cy) / 2);
    MRender::DrawImagePart(graphics, record->m_pImage, CRect(corner, size), 0, 0, record->m_nWidth, record->m_nHeight);
}

void MListBox::drawRenamedRow(Gdiplus::Graphics& graphics, const ListItemInfo& row, int index, int top, int width)
{
    if (m_rules.stripIcons) {
        drawIcon(graphics, row, index, top);
        if (*m_editImage)
            MRender::DrawImageFrame(graphics, m_editImage->get(), CRect(27, top, width - 6, top + m_rowHeight),
                                    m_editFrameWidth, 0, m_editFrameWidth, static_cast<int>((*m_editImage)->GetHeight()), 6);
        return;
    }
    if (m_image)
        MRender::DrawImageFrame(graphics, m_image, CRect(0, top, width, top + m_rowHeight), GetFrameWidth(), 0,
                                GetFrameWidth(), m_imageHeight, 6);
    drawIcon(graphics, row, index, top);
}

const Gdiplus::Image* MListBox::iconOf(const ListItemInfo& row) const
{
    if (m_rules.stripIcons || !m_imageList || row.imageIndex == -1)
        return nullptr;
    const _M_IAMGELIST* record = m_imageList->GetItemImageData(row.imageIndex);
    return record ? record->m_pImage : nullptr;
}

CString MListBox::commonLookKey(int width, const Gdiplus::Font* font) const
{
    const Gdiplus::SolidBrush* text = GetTextBrush();
    Gdiplus::Color textColour;
    if (text)
        text->GetColor(&textColour);
    const CSize iconSize = m_imageList ? m_imageList->GetIconSize() : CSize();
    CString key;
    key.Format(L"%d %d %d %d %d %p %08lx %08lx %08lx %08lx %p %ld %ld %p %d %d %d|%ls", width, m_rowHeight,
               m_fontSize, m_fontStyle, font != nullptr, static_cast<const void*>(text),
               static_cast<unsigned long>(textColour.GetValue()),
               static_cast<unsigned long>(m_hoverColour.GetValue()),
               static_cast<unsigned long>(m_selectionColour.GetValue()),
               static_cast<unsigned long>(m_highlightColour.GetValue()), static_cast<const void*>(m_imageList),
               iconSize.cx, iconSize.cy, static_cast<const void*>(m_stripImage->get()), m_stripFrameWidth,
               m_stripFrameHeight, m_iconColumn, static_cast<const wchar_t*>(m_textFont));
    return key;
}

CString MListBox::rowLookKey(const ListItemInfo& row, int index) const
{
    // The index itself draws nothing: rows alike share one look.
    const int state = (index == m_hover ? 1 : 0) | (index == m_selected ? 2 : 0);
    CString key;
    key.Format(L"%d %p|%ls", state, static_cast<const void*>(iconOf(row)), static_cast<const wchar_t*>(row.text));
    return key;
}

void MListBox::drawRow(Gdiplus::Graphics& graphics, const ListItemInfo& row, int index, int top, int width,
                       const Gdiplus::Font* font)
{
    const RowFormat format;
    const int textLeft = (m_imageList || m_rules.stripIcons) ? m_rules.textLeft : 5;
    const Gdiplus::Brush* text = GetTextBrush();
    if (index == m_hover || index == m_selected) {
        Gdiplus::SolidBrush fill(index == m_hover ? m_hoverColour : m_selectionColour);
        graphics.FillRectangle(&fill, m_rules.fillInset, top, width - m_rules.fillInset, m_rowHeight);
        if (m_rules.highlightText)
            text = &ItemBrush(m_highlightColour.GetValue());
    }
    drawIcon(graphics, row, index, top);
    if (!row.text.IsEmpty() && font && text)
        graphics.DrawString(row.text, row.text.GetLength(), TextFont(font, row.text),
                            rectF(textLeft, top, width - textLeft, m_rowHeight), &format, text);
}

void MListBox::drawRows(Gdiplus::Graphics& graphics, const RowWindow& rows, int width, const Gdiplus::Font* font)
{
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    if (m_imageList)
        m_imageList->SetDrawImgSize(m_imageList->GetIconSize().cx, m_imageList->GetIconSize().cy);
    // Three windows of rows: scrolling back and forth finds its rows kept, and the rows of
    // one paint never push each other out.
    const int keptRows = 3 * (m_rect.Height() / std::max(1, m_rowHeight) + 2);
    const bool kept = LookLayer::BlendsAlike() && m_rowLooks->Prepare(width, m_rowHeight, keptRows, commonLookKey(width, font));
    std::vector<LookLayer::Piece> pieces;
    std::unique_ptr<Gdiplus::Graphics> slots;
    for (int i = rows.first; i <= rows.last; ++i) {
        ListItemInfo* row = rowAt(i);
        if (!row)
            continue;
        const int top = (i - rows.first) * m_rowHeight;
        row->cell = CRect(0, top, width, top + m_rowHeight);
        if (m_editEnabled && i == m_editIndex) {
            drawRenamedRow(graphics, *row, i, top, width);
            continue;
        }
        if (!kept) {
            drawRow(graphics, *row, i, top, width, font);
            continue;
        }
        const CString key = rowLookKey(*row, i);
        CRect slot = m_rowLooks->Find(key);
        if (slot.IsRectEmpty()) {
            slot = m_rowLooks->Take(key);
            if (!slots) {
                slots = std::make_unique<Gdiplus::Graphics>(m_rowLooks->dc());
                slots->SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
            }
            drawRow(*slots, *row, i, slot.top, width, font);
            slots->Flush(Gdiplus::FlushIntentionSync);
            m_rowLooks->Seal(slot);
        }
        pieces.push_back(LookLayer::Piece { slot, CPoint(0, top) });
    }
    if (pieces.empty())
        return;
    graphics.Flush(Gdiplus::FlushIntentionSync);
    HDC strip = graphics.GetHDC();
    m_rowLooks->BlendOnto(strip, pieces);
    graphics.ReleaseHDC(strip);
}

void MListBox::DrawControl(HDC& dc, CRect)
{
    const int width = m_rect.Width() - (GetScrollVertical()->IsVisible() ? m_barInset : 0);
    const RowWindow rows = PlaceRows(m_rowHeight, m_rect.Height());
    const Gdiplus::Font* font = GetItemCount() > 0 ? ItemFont(m_fontSize) : nullptr;
    DrawRowStrip(dc, width, rows, [&](Gdiplus::Graphics& graphics) {
        if (!m_items->empty())
            drawRows(graphics, rows, width, font);
    });
}

// ---- the skin-strip twin

DListBox::DListBox(MObject* parent, UINT id, CRect rect, int visible) : MListBox(parent, id, rect, visible, kDListBoxRules) {}

const wchar_t* DListBox::GetClassNameW() const
{
    return L"DListBox";
}

int DListBox::SetImage(const wchar_t* path, int count)
{
    std::unique_ptr<Gdiplus::Image> image(MRender::LoadImageFromFile(GetSkinPath() + (path ? path : L"")));
    if (!image || image->GetLastStatus() != Gdiplus::Ok)
        return 0;
    m_stripFrameWidth = count >= 1 ? static_cast<int>(image->GetWidth() / static_cast<UINT>(count)) : 0;
    m_stripFrameHeight = static_cast<int>(image->GetHeight());
    *m_stripImage = std::move(image);
    UpdateControl(1, 0);
    return 1;
}

int DListBox::SetEditImage(const wchar_t* path, int)
{
    std::unique_ptr<Gdiplus::Image> image(MRender::LoadImageFromFile(GetSkinPath() + (path ? path : L"")));
    if (!image || image->GetLastStatus() != Gdiplus::Ok)
        return 0;
    m_editFrameWidth = static_cast<int>(image->GetWidth() / 4);
    *m_editImage = std::move(image);
    UpdateControl(1, 0);
    return 1;
}

} // namespace KOVA
