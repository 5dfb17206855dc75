// GUI thread only. Lock order: the item lock below the paint manager's list locks; never held
// while the parent is asked to repaint or notified.
#include "controls/input/CComboBoxList.h"

#include <algorithm>
#include <memory>

#include "framework/FontCache.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
constexpr UINT kChosen = 2;
// Tells the receiver that a code 2 is a drop-down choice.
constexpr LONG kDropDownChoice = 0x13;
constexpr int kWheelNotch = 2;
// The bar is looked at only once the rows may not fit: a drop-down shows five rows exactly.
constexpr int kRowsAlwaysShown = 5;
constexpr INT kRowFormatFlags = Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces;

Gdiplus::RectF rectF(int x, int y, int width, int height)
{
    return Gdiplus::RectF(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y), static_cast<Gdiplus::REAL>(width),
                          static_cast<Gdiplus::REAL>(height));
}
} // namespace

CComboBoxList::CComboBoxList(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : CComboBoxList(parent, id, rect, visible, enabled, Gdiplus::StringAlignmentNear)
{
}

CComboBoxList::CComboBoxList(MObject* parent, UINT id, CRect rect, int visible, int enabled,
                             Gdiplus::StringAlignment alignment)
    : ItemList(parent, id, rect, visible, enabled),
      m_rowHeight(static_cast<int>(30.0f * Manager::GetScaleValue())),
      m_alignment(alignment)
{
    m_rowHeight = std::max(m_rowHeight, 1);
    UseRowWindow();
    DockBars(rect);
}

CComboBoxList::CComboBoxList(const CComboBoxList& other) = default;
CComboBoxList& CComboBoxList::operator=(const CComboBoxList& other) = default;
CComboBoxList::~CComboBoxList() = default;

const wchar_t* CComboBoxList::GetClassNameW() const
{
    return L"CComboBoxList";
}

// ---- rows

int CComboBoxList::AddItem(const wchar_t* text, long data, const wchar_t* image, Gdiplus::Color colour)
{
    auto item = std::make_unique<ComboItemInfo>();
    item->text = text ? text : L"";
    item->imagePath = image ? image : L"";
    item->colour = colour;
    item->data = data;
    AppendItem(std::move(item));
    const int count = GetItemCount();
    if (count > kRowsAlwaysShown)
        FitBarToContent(count * m_rowHeight);
    return count - 1;
}

int CComboBoxList::DelAllItems()
{
    if (GetItemCount() == 0)
        return 0;
    SetTitle(L"");
    DropItems();
    UpdateControl(1, 0);
    return 0;
}

int CComboBoxList::GetListHeight()
{
    return GetItemCount() * m_rowHeight;
}

void CComboBoxList::SetTextColor(Gdiplus::Color colour)
{
    m_rowTextColour = colour;
}

// ---- layout and input

LONG CComboBoxList::OnMessage(UINT id, UINT code, UINT, LONG)
{
    if (id == 1)
        RepaintOnBarMove(id, code);
    return 1;
}

void CComboBoxList::SetControlRect(CRect rect)
{
    if (rect == m_rect)
        return;
    m_rect = rect;
    DockBars(rect);
    FitBarToContent(GetListHeight());
}

int CComboBoxList::OnControlMouseMove(UINT keys, CPoint pt)
{
    if (GetItemCount() == 0)
        return 0;
    ItemList::OnControlMouseMove(keys, pt);
    return 1;
}

int CComboBoxList::OnControlLButtonDown(UINT, CPoint)
{
    if (GetItemCount() == 0)
        return 0;
    const int before = m_selected;
    m_selected = m_hover;
    if (m_selected != before)
        UpdateControl(1, 0);
    return 0;
}

// The drop-down closes on the choice: the selection is never cleared, and nothing of the list
// is touched after the report. Only a release on the pressed row chooses it: one dragged off
// the row, or out of the list, takes the press back.
int CComboBoxList::OnControlLButtonUp(UINT, CPoint pt)
{
    if (m_selected != -1 && m_rect.PtInRect(pt) && ItemIndexAt(pt) == m_selected)
        SendMessageW(kChosen, static_cast<UINT>(m_selected), kDropDownChoice);
    return 0;
}

int CComboBoxList::OnControlScroll(int, UINT down, CPoint)
{
    if (GetListHeight() <= m_rect.Height())
        return 0;
    TurnWheel(down, kWheelNotch);
    return 1;
}

// ---- drawing

int CComboBoxList::shownWidth() const
{
    return m_rect.Width() - (GetScrollVertical()->IsVisible() ? m_barInset : 0);
}

void CComboBoxList::drawRows(Gdiplus::Graphics& graphics, const RowWindow& rows, int width, const Gdiplus::Font* font)
{
    Gdiplus::StringFormat format(kRowFormatFlags);
    format.SetAlignment(m_alignment);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    graphics.SetTextRenderingHint(m_textRenderingHint);
    Gdiplus::Pen frame(m_frameColour, 1.0f);
    Gdiplus::SolidBrush text(m_rowTextColour);
    Gdiplus::SolidBrush highlight(m_highlightColour);
    for (int i = rows.first; i <= rows.last; ++i) {
        ListItem* row = ItemAt(i);
        if (!row)
            continue;
        const int top = (i - rows.first) * m_rowHeight;
        row->cell = CRect(0, top, m_rect.Width() - m_barInset, top + m_rowHeight);
        const bool highlighted = IsHighlighted(i);
        if (highlighted)
            graphics.DrawRectangle(&frame, 1, top, width - 2, m_rowHeight - 2);
        if (!row->text.IsEmpty())
            graphics.DrawString(row->text, row->text.GetLength(), TextFont(font, row->text),
                                rectF(0, top, width, m_rowHeight), &format,
                                highlighted ? &highlight : &text);
    }
}

void CComboBoxList::DrawControl(HDC& dc, CRect)
{
    const int width = shownWidth();
    const RowWindow rows = PlaceRows(m_rowHeight, m_rect.Height());
    // The font goes through the window's cache: fetched before the item lock.
    const Gdiplus::Font* font =
        GetItemCount() > 0 ? ItemFont(static_cast<int>(static_cast<float>(m_fontSize) * Manager::GetScaleValue())) : nullptr;
    DrawRowStrip(dc, width, rows, [&](Gdiplus::Graphics& graphics) {
        if (font)
            drawRows(graphics, rows, width, font);
    });
}

// ---- the centred twin

CComboBoxList2::CComboBoxList2(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : CComboBoxList(parent, id, rect, visible, enabled, Gdiplus::StringAlignmentCenter)
{
}

const wchar_t* CComboBoxList2::GetClassNameW() const
{
    return L"CComboBoxList2";
}

} // namespace KOVA
