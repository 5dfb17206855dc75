#include "PageBar.h"

#include <algorithm>

using namespace KOVA;

namespace {
constexpr COLORREF kBarColour = RGB(24, 24, 24);
constexpr COLORREF kSelectedColour = RGB(48, 48, 48);
constexpr int kMarkHeight = 3;
} // namespace

PageBar::PageBar(MObject* parent, UINT id, CRect rect, std::vector<const wchar_t*> captions)
    : MControlFont(parent, id, rect, L"", 1, 1, 1), m_captions(std::move(captions))
{
    SetAlignment(1, 4);
    SetTextColor(Gdiplus::Color(255, 230, 230, 230));
    SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
}

void PageBar::Select(size_t index)
{
    m_selected = index;
    UpdateControl(1, 0);
}

int PageBar::rowCount() const
{
    const int count = std::max(1, static_cast<int>(m_captions.size()));
    const int perRow = std::max(1, m_rect.Width() / kMinCaptionWidth);
    return (count + perRow - 1) / perRow;
}

CRect PageBar::CaptionRect(size_t index) const
{
    // Captions share a row when the pages would not fit at their usual width.
    const int rows = rowCount();
    const int count = std::max(1, static_cast<int>(m_captions.size()));
    const int perRow = (count + rows - 1) / rows;
    const int width = std::min(kCaptionWidth, m_rect.Width() / perRow);
    const int height = m_rect.Height() / rows;
    const int row = static_cast<int>(index) / perRow;
    const int left = m_rect.left + (static_cast<int>(index) % perRow) * width;
    const int top = m_rect.top + row * height;
    return CRect(left, top, left + width, top + height);
}

void PageBar::DrawControl(HDC& dc, CRect)
{
    MRender::FillSolidRect(dc, &m_rect, kBarColour);
    const CRect selected = CaptionRect(m_selected);
    MRender::FillSolidRect(dc, &selected, kSelectedColour);
    const Gdiplus::Color mark = Manager::GetSelectColor();
    MRender::FillSolidRect(dc, selected.left, selected.bottom - kMarkHeight, selected.Width(), kMarkHeight,
                           RGB(mark.GetR(), mark.GetG(), mark.GetB()));
    Gdiplus::Graphics graphics(dc);
    for (size_t i = 0; i < m_captions.size(); ++i)
        DrawString(graphics, m_captions[i], CaptionRect(i));
}

int PageBar::OnControlLButtonUp(UINT, CPoint pt)
{
    for (size_t i = 0; i < m_captions.size(); ++i)
        if (CaptionRect(i).PtInRect(pt)) {
            SendMessageW(kPageChosen, static_cast<UINT>(i), 0);
            return 1;
        }
    return 1;
}
