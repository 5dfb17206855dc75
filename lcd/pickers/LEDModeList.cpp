// GUI thread only. Lock order: the panel's controls lock or the item lock, never both; each is
// let go before a repaint request.
#include "lcd/pickers/LEDModeList.h"

#include <algorithm>

#include "framework/AppPaths.h"
#include "framework/FontCache.h"
#include "framework/MRender.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
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
    UseRowWindow();
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
    ForgetRows();
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
    FitBarToContent(GetItemCount() * m_rowHeight);
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
    const int viewWidth = ViewWidth();
    const RowWindow rows = PlaceRows(m_rowHeight, m_rect.Height());
    // Fetched before the item lock: the font comes through the window's font cache.
    const Gdiplus::Font* font = GetItemCount() > 0 ? ItemFont(m_fontSize) : nullptr;
    DrawRowStrip(dc, viewWidth, rows, [&](Gdiplus::Graphics& graphics) {
        if (!m_items->empty())
            drawRows(graphics, rows, viewWidth, font);
    });
}

void LEDModeList::drawRows(Gdiplus::Graphics& graphics, const RowWindow& rows, int viewWidth, const Gdiplus::Font* font)
{
    const Gdiplus::StringFormat& format = textFormat();
    const Gdiplus::SolidBrush* textBrush = GetTextBrush();
    const float scale = Manager::GetScaleValue();
    graphics.SetTextRenderingHint(m_textRenderingHint);
    for (int i = rows.first; i <= rows.last; ++i) {
        ListItem* row = ItemAt(i);
        if (!row)
            break;
        const int top = (i - rows.first) * m_rowHeight;
        row->cell = RECT { 0, top, viewWidth, top + m_rowHeight };
        if (IsHighlighted(i))
            graphics.FillRectangle(m_fillBrush->get(), 0, top, viewWidth, m_rowHeight);
        if (row->image)
            MRender::DrawImagePart(graphics, row->image.get(),
                                   CRect(CPoint(kIconLeft, top + (m_rowHeight - kIconBand) / 2),
                                         CSize(static_cast<int>(row->imageWidth * scale),
                                               static_cast<int>(row->imageHeight * scale))),
                                   0, 0, row->imageWidth, row->imageHeight);
        if (font && textBrush && !row->text.IsEmpty())
            graphics.DrawString(row->text, row->text.GetLength(), TextFont(font, row->text),
                                Gdiplus::RectF(static_cast<float>(kTextLeft), static_cast<float>(top),
                                               static_cast<float>(viewWidth - kTextLeft),
                                               static_cast<float>(m_rowHeight)),
                                &format, textBrush);
    }
}

} // namespace KOVA
