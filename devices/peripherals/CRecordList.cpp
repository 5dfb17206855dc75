// GUI thread only. The row lock is taken below the paint manager's list locks; repaint
// requests and notifications are made with it let go, the repaint first: a handler may
// delete the list.
#include "devices/peripherals/CRecordList.h"

#include <algorithm>
#include <climits>
#include <cwchar>
#include <tuple>

#include "controls/input/CEditWindow.h"
#include "framework/FontCache.h"
#include "framework/MRender.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
constexpr UINT kPressCode = 1;
constexpr UINT kRightReleaseCode = 5;
constexpr UINT kDelayStoredCode = 0x1D;
constexpr int kDelayLimit = 5;
// The cells of a row, from the list's left edge.
constexpr int kNameLeft = 0;
constexpr int kNameWidth = 160;
constexpr int kTypeLeft = 180;
constexpr int kTypeWidth = 100;
constexpr int kDelayLeft = 300;
constexpr int kDelayWidth = 120;
constexpr int kKeyDown = 2;
constexpr int kKeyUp = 3;
// A delay edit emptied and left stores this.
constexpr const wchar_t* kEmptyDelay = L"10";
constexpr int kWheelSteps = 10;
// No row is flat (every row divides the scroll offset), and none taller than this: the memory
// picture holds the rows in view whole.
constexpr int kTallestRow = 1024;

struct RecordEntry : ListItem {
    RecordItem record;
};

Gdiplus::RectF cellOf(const CRect& row, int left, int width)
{
    return Gdiplus::RectF(static_cast<float>(left), static_cast<float>(row.top), static_cast<float>(width),
                          static_cast<float>(row.Height()));
}
} // namespace

CRecordList::CRecordList(MObject* parent, UINT id, CRect rect, int visible)
    : ItemList(parent, id, rect, visible, 1), m_hoverFrameColor(Manager::GetSelectColor()),
      m_selectFrameColor(Manager::GetSelectColor())
{
    SetTextColor(Gdiplus::Color(0xFFFFFFFF));
    SetAlignment(1);
    *m_highlightBrush = std::make_unique<Gdiplus::SolidBrush>(m_textColor);
    auto format = std::make_unique<Gdiplus::StringFormat>();
    format->SetAlignment(Gdiplus::StringAlignmentCenter);
    format->SetLineAlignment(Gdiplus::StringAlignmentCenter);
    format->SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    *m_format = std::move(format);
    GetScrollVertical()->SetVisible(0);
}

CRecordList::CRecordList(const CRecordList& other) = default;
CRecordList& CRecordList::operator=(const CRecordList& other) = default;

CRecordList::~CRecordList()
{
    NativeEditWindow::Dispose(m_editWindow.get());
}

const wchar_t* CRecordList::GetClassNameW() const
{
    return L"CRecordList";
}

RecordItem* CRecordList::rowAt(int index) const
{
    RecordEntry* entry = EntryAt<RecordEntry>(index);
    return entry ? &entry->record : nullptr;
}

void CRecordList::repaintIfShown()
{
    if (m_visible)
        UpdateControl(1, 0);
}

void CRecordList::SetItemHeight(int height)
{
    m_rowHeight = std::clamp(height, 1, kTallestRow);
}

int CRecordList::contentHeight() const
{
    const long long height = static_cast<long long>(m_items->size()) * m_rowHeight;
    return static_cast<int>(std::min<long long>(height, INT_MAX));
}

void CRecordList::fitBar()
{
    int height = 0;
    {
        ScopedLock lock(m_itemsLock);
        height = contentHeight();
    }
    FitBarToContent(height);
}

void CRecordList::SetControlRect(CRect rect)
{
    ItemList::SetControlRect(rect);
    DockBars(rect);
    fitBar();
}

LONG CRecordList::OnMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    RepaintOnBarMove(id, code);
    return ItemList::OnMessage(id, code, wParam, lParam);
}

// ---- rows

int CRecordList::AddString(CString text, int type, int data, int delay)
{
    auto entry = std::make_unique<RecordEntry>();
    entry->record.text = text;
    entry->record.type = type;
    entry->record.data = data;
    entry->record.delay = delay;
    const int index = AppendItem(std::move(entry));
    fitBar();
    GetScrollVertical()->SetScrollFinalPos();
    repaintIfShown();
    return index;
}

bool CRecordList::UpdateDelayTime(int delay)
{
    {
        ScopedLock lock(m_itemsLock);
        RecordItem* last = rowAt(static_cast<int>(m_items->size()) - 1);
        if (!last)
            return false;
        last->delay = delay;
    }
    repaintIfShown();
    return true;
}

int CRecordList::SetCurSel(int index)
{
    if (index < -1 || index >= GetItemCount())
        return 0;
    if (index != m_selected) {
        m_selected = index;
        repaintIfShown();
    }
    return 1;
}

void CRecordList::dropEdit()
{
    if (*m_editWindow)
        (*m_editWindow)->Conceal();
    m_editedRow = -1;
    m_focused = 0;
}

int CRecordList::DeleteItem(int index)
{
    {
        ScopedLock lock(m_itemsLock);
        if (!rowAt(index))
            return 0;
        m_items->erase(m_items->begin() + index);
        const int last = static_cast<int>(m_items->size()) - 1;
        m_lastDrawn = std::min(m_lastDrawn, last);
        m_firstDrawn = std::min(m_firstDrawn, std::max(last, 0));
    }
    m_hover = -1;
    m_selected = -1;
    // The edited row is gone or has moved: what the edit shows belongs to no row now.
    dropEdit();
    fitBar();
    repaintIfShown();
    return 1;
}

int CRecordList::DeleteAllItems()
{
    DropItems();
    dropEdit();
    m_firstDrawn = -1;
    m_lastDrawn = -1;
    fitBar();
    repaintIfShown();
    return 1;
}

int CRecordList::SetImageList(MImageList* list)
{
    m_imageList = list;
    return 1;
}

void CRecordList::SwapItem(int a, int b)
{
    ScopedLock lock(m_itemsLock);
    if (a != b && rowAt(a) && rowAt(b))
        std::swap((*m_items)[static_cast<size_t>(a)], (*m_items)[static_cast<size_t>(b)]);
}

std::vector<RecordItem*> CRecordList::GetRecordItems()
{
    std::vector<RecordItem*> rows;
    ScopedLock lock(m_itemsLock);
    for (int i = 0; RecordItem* row = rowAt(i); ++i)
        rows.push_back(row);
    return rows;
}

// ---- the delay edit

void CRecordList::GetTextRect(CRect& rect)
{
    rect.SetRectEmpty();
    ScopedLock lock(m_itemsLock);
    const ListItem* row = ItemAt(m_editedRow);
    if (!row)
        return;
    const CRect place = PlaceOf(*row);
    rect.left = m_rect.left + kDelayLeft;
    rect.right = m_rect.left + kDelayLeft + kDelayWidth;
    rect.top = place.top - 3 + (m_rowHeight - m_fontSize) / 2;
    rect.bottom = rect.top + m_fontSize + 3;
}

void CRecordList::ShowEdit()
{
    if (!m_enabled || m_selected < 0 || m_hover < 0)
        return;
    CString delay;
    {
        ScopedLock lock(m_itemsLock);
        const RecordItem* row = rowAt(m_hover);
        if (!row)
            return;
        delay.Format(L"%d", row->delay);
    }
    m_editedRow = m_selected;
    CRect place;
    GetTextRect(place);
    if (!*m_editWindow) {
        auto* edit = new CEditWindow;
        edit->SetNumberOnly(1);
        edit->SetLimitText(kDelayLimit);
        edit->Init(this, place);
        edit->SetOwnerSlot(&m_editWindow.get());
        *m_editWindow = edit;
    } else {
        (*m_editWindow)->PlaceOver(place);
    }
    if (*m_editWindow)
        (*m_editWindow)->Reveal(delay);
    m_focused = 1;
}

void CRecordList::HideEdit(int force)
{
    if (m_editedRow == m_selected && !force)
        return;
    m_focused = 0;
    bool stored = false;
    const int edited = m_editedRow;
    CEditWindow* edit = *m_editWindow;
    if (edit && ::IsWindow(edit->GetSafeHwnd())) {
        CString text = edit->GetText();
        if (text.IsEmpty())
            text = kEmptyDelay;
        const int value = _wtoi(text);
        {
            ScopedLock lock(m_itemsLock);
            RecordItem* row = rowAt(edited);
            if (row && row->delay != value) {
                row->delay = value;
                stored = true;
            }
        }
        edit->Conceal();
    }
    m_editedRow = -1;
    if (stored) {
        repaintIfShown();
        SendMessageW(kDelayStoredCode, 0, edited);
    }
}

int CRecordList::SetControlFocus(int focus)
{
    if (!m_enabled)
        return 0;
    if (!focus) {
        HideEdit(1);
        repaintIfShown();
    }
    return 1;
}

// ---- pointer

CPoint CRecordList::ItemOrigin() const
{
    return CPoint(m_rect.left, m_rect.top - m_drawOffset);
}

void CRecordList::HitRange(int& first, int& last) const
{
    first = m_firstDrawn;
    last = m_lastDrawn;
}

bool CRecordList::inDelayCell(CPoint pt) const
{
    return pt.x >= m_rect.left + kDelayLeft && pt.x < m_rect.left + kDelayLeft + kDelayWidth;
}

int CRecordList::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled || m_firstDrawn < 0 || GetItemCount() == 0)
        return 0;
    const int before = m_hover;
    if (TrackHover(pt) == HoverMove::Held)
        return 1;
    if (m_hover != before)
        repaintIfShown();
    return 0;
}

int CRecordList::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled || !m_rect.PtInRect(pt))
        return 1;
    const int before = m_selected;
    m_selected = m_hover;
    if (m_selected >= 0) {
        // What was typed for another row is stored before the edit moves on.
        HideEdit(0);
        if (inDelayCell(pt))
            ShowEdit();
    }
    const int selected = m_selected;
    if (selected != before)
        repaintIfShown();
    SendMessageW(kPressCode, static_cast<UINT>(selected), 0);
    return 1;
}

int CRecordList::OnControlLButtonUp(UINT, CPoint)
{
    return 0;
}

int CRecordList::OnControlLButtonDblClk(UINT, CPoint)
{
    return 0;
}

int CRecordList::OnControlRButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    const int before = m_selected;
    m_selected = m_hover;
    const int selected = m_selected;
    if (selected != before)
        repaintIfShown();
    if (m_rect.PtInRect(pt) && selected >= 0)
        SendMessageW(kRightReleaseCode, static_cast<UINT>(selected), 0);
    return 1;
}

int CRecordList::OnControlScroll(int, UINT down, CPoint)
{
    {
        ScopedLock lock(m_itemsLock);
        if (contentHeight() <= m_rect.Height())
            return 0;
    }
    CScrollVertical* bar = GetScrollVertical();
    const int before = bar->GetScrollCurrentPos();
    const int steps = down == 1 ? kWheelSteps : -kWheelSteps;
    bar->SetScrollCurrentPos(std::max(0, std::min(before + steps * bar->GetScrollStep(), bar->GetScrollMaxRange())));
    bar->SetRange();
    if (bar->GetScrollCurrentPos() != before) {
        HideEdit(1);
        repaintIfShown();
    }
    return 1;
}

// ---- drawing

void CRecordList::layOutView(int viewHeight, int& bitmapHeight)
{
    const int offset = std::max(0, ScrolledOffset(contentHeight()));
    const int count = static_cast<int>(m_items->size());
    m_firstDrawn = std::max(0, offset / m_rowHeight);
    const long long bottomRow = (static_cast<long long>(viewHeight) + offset) / m_rowHeight;
    m_lastDrawn = static_cast<int>(std::max<long long>(std::min<long long>(bottomRow, count - 1), 0));
    bitmapHeight = std::max((m_lastDrawn - m_firstDrawn + 1) * m_rowHeight, viewHeight);
    m_drawOffset = std::max(0, offset - m_firstDrawn * m_rowHeight);
}

void CRecordList::drawRows(Gdiplus::Graphics& graphics, int drawWidth)
{
    const Gdiplus::Font* font = ItemFont(m_fontSize);
    Gdiplus::Pen selectedPen(m_selectFrameColor, 1.0f);
    Gdiplus::Pen hoverPen(m_hoverFrameColor, 1.0f);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    ScopedLock lock(m_itemsLock);
    for (int i = m_firstDrawn; i <= m_lastDrawn; ++i) {
        RecordEntry* entry = EntryAt<RecordEntry>(i);
        if (!entry)
            break;
        RecordItem& row = entry->record;
        const int k = i - m_firstDrawn;
        row.rect = CRect(0, k * m_rowHeight, drawWidth, (k + 1) * m_rowHeight);
        entry->cell = row.rect;
        const Gdiplus::Brush* ink = GetTextBrush();
        if (i == m_selected || i == m_hover) {
            graphics.DrawRectangle(i == m_selected ? &selectedPen : &hoverPen, 0, k * m_rowHeight, drawWidth - 2,
                                   m_rowHeight - 1);
            ink = m_highlightBrush->get();
        }
        if (!font || !ink)
            continue;
        CString type = row.type == kKeyDown ? L"Key Down" : row.type == kKeyUp ? L"Key Up" : L"";
        CString delay;
        delay.Format(L"%d", row.delay);
        for (const auto& [text, left, width] : { std::make_tuple(row.text, kNameLeft, kNameWidth),
                                                 std::make_tuple(type, kTypeLeft, kTypeWidth),
                                                 std::make_tuple(delay, kDelayLeft, kDelayWidth) })
            if (!text.IsEmpty())
                graphics.DrawString(text, text.GetLength(), TextFont(font, text),
                                    cellOf(row.rect, left, width), m_format->get(), ink);
    }
}

void CRecordList::DrawControl(HDC& dc, CRect)
{
    const int viewHeight = m_rect.Height();
    const int drawWidth = m_rect.Width() - m_barInset;
    int bitmapHeight = viewHeight;
    {
        ScopedLock lock(m_itemsLock);
        layOutView(viewHeight, bitmapHeight);
    }
    if (drawWidth <= 0 || viewHeight <= 0)
        return;
    if (!GetUpdate() || m_memPicture.width() != drawWidth || m_memPicture.height() != bitmapHeight) {
        UpdateMemDC(dc, drawWidth, bitmapHeight);
        HDC picture = m_memPicture.dc();
        MRender::FillSolidRect(picture, 0, 0, drawWidth, bitmapHeight, RGB(255, 255, 255));
        MRender::DrawVerticalTransition(picture, dc, CRect(0, m_drawOffset, drawWidth, m_drawOffset + viewHeight),
                                        CRect(m_rect.left, m_rect.top, m_rect.left + drawWidth, m_rect.bottom), 0, 0);
        if (GetItemCount() > 0) {
            Gdiplus::Graphics graphics(picture);
            drawRows(graphics, drawWidth);
        }
    }
    MRender::BitBlt(dc, m_rect.left, m_rect.top, drawWidth, viewHeight, m_memPicture.dc(), 0, m_drawOffset);
}

} // namespace KOVA
