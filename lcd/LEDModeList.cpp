// GUI thread only. Lock order: the panel's controls lock or the item lock, never both; each is
// let go before a repaint request.
#include "lcd/LEDModeList.h"

#include <algorithm>

#include "framework/AppPaths.h"
#include "framework/MRender.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
constexpr COLORREF kBufferGround = RGB(255, 255, 255);
// Hover and selection look the same.
constexpr Gdiplus::ARGB kHighlight = 0xFF383838;
constexpr int kIconLeft = 13;
constexpr int kIconBand = 24;
constexpr int kTextLeft = 50;
// What GetCurLEDMode answers while no row is selected.
constexpr int kModeWithoutSelection = 1;
} // namespace

LEDModeList::LEDModeList(MObject* parent, UINT id, CRect rect, int visible, int)
    : ItemList(parent, id, rect, visible, 1)
{
}

LEDModeList::LEDModeList(const LEDModeList& other) = default;
LEDModeList& LEDModeList::operator=(const LEDModeList& other) = default;
LEDModeList::~LEDModeList() = default;

const wchar_t* LEDModeList::GetClassNameW() const { return L"LEDModeList"; }

// ---- rows

void LEDModeList::AddItem(CString text, CString image, int mode)
{
    auto item = std::make_unique<LEDModeItemInfo>();
    item->text = text;
    item->mode = mode;
    item->LoadImage(GetSkinPath() + image);
    AppendItem(std::move(item));
    layOut();
}

void LEDModeList::ClearList()
{
    DropItems();
    m_contentHeight = 0;
    m_firstVisible = m_lastVisible = m_inRowOffset = 0;
    CScrollVertical* bar = GetScrollVertical();
    bar->SetControlVisible(0);
    bar->SetScrollMaxRange(0);
    UpdateControl(1, 0);
}

int LEDModeList::GetCurLEDMode()
{
    ScopedLock lock(m_itemsLock);
    const auto* row = static_cast<const LEDModeItemInfo*>(ItemAt(m_selected));
    return row ? row->mode : kModeWithoutSelection;
}

// ---- layout and scrolling

void LEDModeList::layOut()
{
    m_contentHeight = GetItemCount() * m_rowHeight;
    FitBarToContent(m_contentHeight);
}

void LEDModeList::SetControlRect(CRect rect)
{
    m_rect = rect;
    PlaceBarOnRightEdge(rect);
    layOut();
}

int LEDModeList::OnControlScroll(int, UINT down, CPoint)
{
    TurnWheel(down);
    return 1;
}

LONG LEDModeList::OnMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    RepaintOnBarMove(id, code);
    return ItemList::OnMessage(id, code, wParam, lParam);
}

void LEDModeList::findVisibleRows(int viewHeight)
{
    m_contentHeight = std::max(m_contentHeight, viewHeight);
    const CScrollVertical* bar = GetScrollVertical();
    const int range = bar->GetScrollMaxRange();
    const int offset = range > 0 ? (m_contentHeight - viewHeight) * bar->GetScrollCurrentPos() / range : 0;
    m_scrollOffsetY = offset;
    m_firstVisible = std::max(0, offset / m_rowHeight);
    m_lastVisible = std::max(0, std::min((viewHeight + offset) / m_rowHeight, GetItemCount() - 1));
    m_inRowOffset = std::max(offset - m_firstVisible * m_rowHeight, 0);
}

CPoint LEDModeList::ItemOrigin() const
{
    return CPoint(m_rect.left, m_rect.top - m_inRowOffset);
}

void LEDModeList::HitRange(int& first, int& last) const
{
    first = m_firstVisible;
    last = std::min(m_lastVisible, static_cast<int>(m_items->size()) - 1);
}

// ---- drawing

const Gdiplus::StringFormat& LEDModeList::textFormat()
{
    if (!*m_textFormat) {
        *m_textFormat = std::make_unique<Gdiplus::StringFormat>(Gdiplus::StringFormatFlagsNoWrap
                                                                | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
        (*m_textFormat)->SetAlignment(Gdiplus::StringAlignmentNear);
        (*m_textFormat)->SetLineAlignment(Gdiplus::StringAlignmentCenter);
        *m_fillBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(kHighlight));
    }
    return **m_textFormat;
}

void LEDModeList::DrawControl(HDC& dc, CRect)
{
    const int viewWidth = m_rect.Width() - (GetScrollVertical()->IsVisible() ? m_barInset : 0);
    const int viewHeight = m_rect.Height();
    findVisibleRows(viewHeight);
    const int bufferHeight = std::max((m_lastVisible - m_firstVisible + 1) * m_rowHeight, viewHeight);
    if (!GetUpdate() || m_memPicture.width() != viewWidth || m_memPicture.height() != bufferHeight) {
        UpdateMemDC(dc, viewWidth, bufferHeight);
        HDC buffer = m_memPicture.dc();
        MRender::FillSolidRect(buffer, 0, 0, viewWidth, bufferHeight, kBufferGround);
        // The ground goes in from the hidden part of the first row down, so that it lines up
        // with the screen once the buffer is shown from there.
        MRender::DrawVerticalTransition(buffer, dc, CRect(0, m_inRowOffset, viewWidth, m_inRowOffset + viewHeight),
                                        CRect(m_rect.left, m_rect.top, m_rect.left + viewWidth, m_rect.bottom), 0, 0);
        if (GetItemCount() > 0)
            drawRows(viewWidth);
    }
    MRender::BitBlt(dc, m_rect.left, m_rect.top, viewWidth, viewHeight, m_memPicture.dc(), 0, m_inRowOffset);
}

void LEDModeList::drawRows(int viewWidth)
{
    // Fetched before the item lock: the font comes through the window's font cache.
    const Gdiplus::Font* font = ItemFont(m_fontSize);
    const Gdiplus::StringFormat& format = textFormat();
    const Gdiplus::SolidBrush* textBrush = GetTextBrush();
    const float scale = Manager::GetScaleValue();
    Gdiplus::Graphics graphics(m_memPicture.dc());
    graphics.SetTextRenderingHint(m_textRenderingHint);
    ScopedLock lock(m_itemsLock);
    for (int i = m_firstVisible; i <= m_lastVisible; ++i) {
        ListItem* row = ItemAt(i);
        if (!row)
            break;
        const int top = (i - m_firstVisible) * m_rowHeight;
        row->cell = RECT { 0, top, viewWidth, top + m_rowHeight };
        if (IsHighlighted(i))
            graphics.FillRectangle(m_fillBrush->get(), 0, top, viewWidth, m_rowHeight);
        if (row->image)
            graphics.DrawImage(row->image.get(),
                               Gdiplus::Rect(kIconLeft, top + (m_rowHeight - kIconBand) / 2,
                                             static_cast<int>(row->imageWidth * scale),
                                             static_cast<int>(row->imageHeight * scale)),
                               0, 0, row->imageWidth, row->imageHeight, Gdiplus::UnitPixel);
        if (font && textBrush && !row->text.IsEmpty())
            graphics.DrawString(row->text, row->text.GetLength(), font,
                                Gdiplus::RectF(static_cast<float>(kTextLeft), static_cast<float>(top),
                                               static_cast<float>(viewWidth - kTextLeft),
                                               static_cast<float>(m_rowHeight)),
                                &format, textBrush);
    }
}

} // namespace KOVA
