// GUI thread only. Lock order: the panel's controls lock or the item lock, never both; each
// is let go before a repaint request.
#include "lcd/pickers/ClockTypeCtrl.h"

#include "framework/AppPaths.h"
#include "framework/FontCache.h"
#include "framework/Manager.h"
#include "framework/MRender.h"
#include "lcd/renderer/LEDModeCtrl.h"

namespace KOVA {

namespace {
constexpr int kWideContentHeight = 500;
constexpr int kFirstCell = 10;
// Unscaled: the grid's margins left and right of the cells and between them.
constexpr float kMargins = 30.0f;
constexpr float kGap = 10.0f;
// The face image sits this far inside its cell, the control's image filling the cell.
constexpr int kImageInset = 5;
// The caption's band starts this far above the cell's bottom; the rows leave it room.
constexpr int kCaptionBand = 30;
constexpr int kColumns = 2;
// Faces from the ninth on stay on the fifth row.
constexpr int kLastRowBreak = 7;

int scaled(float value, float scale) { return static_cast<int>(value * scale); }
} // namespace

ClockTypeCtrl::ClockTypeCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : LcdPickerGrid(parent, id, rect, visible, enabled)
{
}

ClockTypeCtrl::ClockTypeCtrl(const ClockTypeCtrl& other) = default;
ClockTypeCtrl& ClockTypeCtrl::operator=(const ClockTypeCtrl& other) = default;
ClockTypeCtrl::~ClockTypeCtrl() = default;

const wchar_t* ClockTypeCtrl::GetClassNameW() const { return L"ClockTypeCtrl"; }

void ClockTypeCtrl::AddItem(CString text, CString imageFile, int id)
{
    auto item = std::make_unique<ClockTypeItemInfo>();
    item->text = text;
    item->id = id;
    item->LoadImage(GetSkinPath() + imageFile);
    AppendItem(std::move(item));
    showBar();
}

void ClockTypeCtrl::SetLEDScreenType(int type)
{
    m_screenType = type;
    m_contentHeight = type == LEDScreenCircle || type == LEDScreenSquare ? kDefaultContentHeight : kWideContentHeight;
    showBar();
}

// ---- the bar

void ClockTypeCtrl::showBar()
{
    CScrollVertical* bar = GetScrollVertical();
    if (!bar->IsVisible()) {
        bar->SetControlVisible(1);
        bar->UpdateControl(1, 0);
    }
    bar->SetScrollMaxRange(m_contentHeight);
}

void ClockTypeCtrl::SetControlRect(CRect rect)
{
    m_rect = rect;
    PlaceBarOnRightEdge(rect);
    showBar();
}

int ClockTypeCtrl::OnControlScroll(int, UINT down, CPoint)
{
    TurnWheel(down);
    return 1;
}

LONG ClockTypeCtrl::OnMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    RepaintOnBarMove(id, code);
    return LcdPickerGrid::OnMessage(id, code, wParam, lParam);
}

// ---- drawing

int ClockTypeCtrl::drawingWidth() const
{
    return m_rect.Width() - (GetScrollVertical()->IsVisible() ? m_barInset : 0);
}

int ClockTypeCtrl::verticalOffset() const
{
    const CScrollVertical* bar = GetScrollVertical();
    const int range = bar->GetScrollMaxRange();
    // Content that fits the control does not move: a negative offset would push the faces
    // down as the bar goes down.
    const int hidden = m_contentHeight - m_rect.Height();
    if (range < 1 || hidden <= 0)
        return 0;
    return static_cast<int>(static_cast<long long>(hidden) * bar->GetScrollCurrentPos() / range);
}

const Gdiplus::StringFormat& ClockTypeCtrl::captionFormat()
{
    if (!*m_captionFormat) {
        *m_captionFormat = std::make_unique<Gdiplus::StringFormat>(Gdiplus::StringFormatFlagsNoWrap
                                                                   | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
        (*m_captionFormat)->SetAlignment(Gdiplus::StringAlignmentCenter);
        (*m_captionFormat)->SetLineAlignment(Gdiplus::StringAlignmentCenter);
    }
    return **m_captionFormat;
}

void ClockTypeCtrl::DrawControl(HDC& dc, CRect)
{
    const int width = drawingWidth();
    m_scrollOffsetY = verticalOffset();
    const float scale = Manager::GetScaleValue();
    const int cellWidth = (width - scaled(kMargins, scale)) / kColumns;
    const int cellHeight = CellHeight(cellWidth);
    // Fetched before the item lock: the font comes through the window's font cache.
    const Gdiplus::Font* font = ItemFont(scaled(static_cast<float>(m_fontSize), scale));
    const Gdiplus::SolidBrush* brush = GetTextBrush();
    DrawGrid(dc, width, [&](Gdiplus::Graphics& graphics, auto& items) {
        graphics.SetTextRenderingHint(m_textRenderingHint);
        int x = kFirstCell;
        int y = kFirstCell - m_scrollOffsetY;
        for (size_t i = 0; i < items.size(); ++i) {
            ListItem& item = *items[i];
            const CRect cell(x, y, x + cellWidth, y + cellHeight);
            item.cell = cell;
            if (IsHighlighted(static_cast<int>(i)) && m_image)
                MRender::DrawImagePart(graphics, m_image, cell, 0, 0, m_imageWidth, m_imageHeight);
            ClipToCell(graphics, cell);
            DrawStretched(graphics, item, CRect(x + kImageInset, y + kImageInset, x + cellWidth - kImageInset,
                                                y + cellHeight - kImageInset));
            if (IsHighlighted(static_cast<int>(i)))
                DrawOutline(graphics, cell);
            graphics.ResetClip();
            if (font && brush && !item.text.IsEmpty())
                graphics.DrawString(item.text, item.text.GetLength(), TextFont(font, item.text),
                                    Gdiplus::RectF(static_cast<float>(x), static_cast<float>(cell.bottom - kCaptionBand),
                                                   static_cast<float>(cellWidth), static_cast<float>(cellHeight)),
                                    &captionFormat(), brush);
            x += cellWidth + scaled(kGap, scale);
            if (i % kColumns == 1 && i <= kLastRowBreak) {
                x = scaled(kGap, scale);
                y += kCaptionBand + cellHeight + scaled(kGap, scale);
            }
        }
    });
}

} // namespace KOVA
