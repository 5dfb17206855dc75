// GUI thread only.
#include "controls/basic/MSlider.h"

#include <algorithm>

#include "controls/basic/LookPainting.h"
#include "framework/ImgResInfo.h"
#include "framework/Manager.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
constexpr DWORD kTrackGrey = 0xFF888888;
constexpr DWORD kWhite = 0xFFFFFFFF;
constexpr DWORD kSlider2Grey = 0xFF6F6F6F;
// MSlider2 keeps a column at its right end for the percentage.
constexpr int kTextColumn = 60;
constexpr int kTextWidth = 55;

constexpr UINT kCodeChanged = 2;
constexpr UINT kCodeMoved = 8;

long long clampTo(long long value, int low, int high)
{
    return std::max<long long>(low, std::min<long long>(value, high));
}
} // namespace

// ---- MSlider

MSlider::MSlider(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MSlider(parent, id, rect, visible, enabled, 16, 16, 0)
{
}

MSlider::MSlider(MObject* parent, UINT id, CRect rect, int visible, int enabled, int thumbWidth, int thumbHeight,
                 int trackReserve)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1),
      m_thumbWidth(thumbWidth),
      m_thumbHeight(thumbHeight),
      m_trackReserve(trackReserve)
{
    m_hAlign = DT_CENTER;
    m_vAlign = DT_VCENTER;
    PlaceThumb();
}

int MSlider::ThumbOffset(int track) const
{
    // Products of a long track and a wide range pass 32 bits; an empty range or track would
    // divide by zero.
    if (m_maximum <= m_minimum || track <= 0)
        return 0;
    const long long offset = static_cast<long long>(track) * (static_cast<long long>(m_value) - m_minimum)
                             / (static_cast<long long>(m_maximum) - m_minimum);
    if (offset < 1)
        return 0;
    return offset >= track ? track : static_cast<int>(offset);
}

void MSlider::PlaceThumb()
{
    const int left = m_rect.left + ThumbOffset(TrackLength());
    m_thumbRect = CRect(left, m_rect.top, left + m_thumbWidth, m_rect.top + m_thumbHeight);
}

int MSlider::ValueAt(int x) const
{
    const int track = TrackLength();
    if (m_maximum <= m_minimum || track <= 0)
        return m_minimum;
    // One more than the span: every value owns an equal share of the track, and the maximum
    // is reached before its end.
    const long long shares = static_cast<long long>(m_maximum) - m_minimum + 1;
    return static_cast<int>(
        clampTo((static_cast<long long>(x) - m_rect.left) * shares / track + m_minimum, m_minimum, m_maximum));
}

bool MSlider::TakeValueAt(int x)
{
    const int value = ValueAt(x);
    if (value == m_value)
        return false;
    m_value = value;
    PlaceThumb();
    return true;
}

void MSlider::ConcludeMove(bool changed, int stateBefore)
{
    if (changed || m_state != stateBefore)
        Repaint();
    if (changed)
        SendMessageW(kCodeMoved, static_cast<UINT>(m_value), 0);
}

int MSlider::MoveThumbPos(CPoint pt)
{
    const bool changed = TakeValueAt(pt.x);
    const int value = m_value;
    ConcludeMove(changed, m_state);
    return value;
}

int MSlider::SetProgress(int value)
{
    if (value > m_maximum)
        value = m_maximum;
    if (value < 0 || value == m_value)
        return m_value;
    m_value = value;
    PlaceThumb();
    Repaint();
    return m_value;
}

void MSlider::SetControlRect(CRect rect)
{
    MControlFont::SetControlRect(rect);
    PlaceThumb();
}

int MSlider::SetImage(const wchar_t* file, int count)
{
    if (count < 1 || !MControlFont::SetImage(file, 1))
        return 0;
    m_imageCount = count;
    return 1;
}

int MSlider::SetThumbImage(const wchar_t* file)
{
    const ImgResInfo* record = m_manager ? m_manager->AddImgResInfo(file, 4) : nullptr;
    if (!record || !record->m_pImage)
        return 0;
    m_thumbImage = record->m_pImage;
    m_thumbFrameWidth = static_cast<int>(m_thumbImage->GetWidth()) / 4;
    m_thumbFrameHeight = static_cast<int>(m_thumbImage->GetHeight());
    return 1;
}

int MSlider::OnControlMouseMove(UINT, CPoint pt)
{
    if (m_enabled && m_state == StateDragging) {
        MoveThumbPos(pt);
        return 1;
    }
    const int before = m_state;
    if (m_enabled && !m_pressed)
        m_state = m_rect.PtInRect(pt) && m_thumbRect.PtInRect(pt) ? StateOverThumb : StateNormal;
    if (m_state == before && GetUpdate())
        return 0;
    Repaint();
    return 1;
}

int MSlider::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    const int before = m_state;
    const bool onThumb = m_thumbRect.PtInRect(pt) != FALSE;
    const bool changed = TakeValueAt(pt.x);
    // A press beside the thumb first moves it there; the drag starts if it landed under the
    // pointer.
    if (onThumb || m_thumbRect.PtInRect(pt))
        m_state = StateDragging;
    ConcludeMove(changed, before);
    return 1;
}

int MSlider::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    const int before = m_state;
    m_state = m_thumbRect.PtInRect(pt) ? StateOverThumb : StateNormal;
    if (m_state != before)
        Repaint();
    SendMessageW(kCodeChanged, 0, 0);
    return 1;
}

int MSlider::OnControlScroll(int, UINT down, CPoint)
{
    const int step = down == 1 ? -1 : 1;
    const int value = static_cast<int>(clampTo(static_cast<long long>(m_value) + step, m_minimum, m_maximum));
    if (value == m_value)
        return 1;
    SetProgress(value);
    if (m_value == value)
        SendMessageW(kCodeChanged, 0, 0);
    return 1;
}

void MSlider::DrawControl(HDC& dc, CRect)
{
    DrawCachedLooks(*this, m_memPicture, dc, 1, 0, [&](Gdiplus::Graphics& graphics) {
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        const int width = m_rect.Width();
        const int middle = m_rect.Height() / 2;
        const Gdiplus::SolidBrush track { Gdiplus::Color(kTrackGrey) };
        graphics.FillRectangle(&track, 0, middle - 2, width, 4);
        if (m_maximum <= m_minimum)
            return;
        const int offset = ThumbOffset(TrackLength());
        const Gdiplus::SolidBrush white { Gdiplus::Color(kWhite) };
        graphics.FillRectangle(&white, 0, middle - 2, offset, 4);
        graphics.FillEllipse(&white, offset, middle - 8, m_thumbWidth, m_thumbWidth);
    });
}

// ---- MSlider2

MSlider2::MSlider2(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MSlider(parent, id, rect, visible, enabled, 2, 8, kTextColumn)
{
}

int MSlider2::OnControlMouseMove(UINT, CPoint pt)
{
    if (m_enabled && m_state == StateDragging) {
        MoveThumbPos(pt);
        return 1;
    }
    if (GetUpdate())
        return 0;
    Repaint();
    return 1;
}

int MSlider2::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    const int before = m_state;
    m_state = StateDragging;
    ConcludeMove(TakeValueAt(pt.x), before);
    return 1;
}

void MSlider2::DrawControl(HDC& dc, CRect)
{
    DrawCachedLooks(*this, m_memPicture, dc, 1, 0, [&](Gdiplus::Graphics& graphics) {
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        const int width = m_rect.Width();
        const int height = m_rect.Height();
        const int middle = height / 2;
        const Gdiplus::SolidBrush grey { Gdiplus::Color(kSlider2Grey) };
        graphics.FillRectangle(&grey, 0, middle - 1, TrackLength(), 1);
        if (m_maximum <= m_minimum)
            return;
        // The bar is drawn over a track shorter by one more thumb width than the hit area's.
        const int offset = ThumbOffset(TrackLength() - m_thumbWidth);
        const Gdiplus::SolidBrush fill { Manager::GetSelectColor() };
        graphics.FillRectangle(&fill, 0, middle - 1, offset, 1);
        graphics.FillRectangle(&grey, offset, middle - 8, 2, 16);
        if (!m_showText)
            return;
        CString text;
        text.Format(L"%d%%", m_value);
        const auto font = MakeTextFont(*this, static_cast<float>(m_fontSize));
        DrawTextLine(graphics, text, font.get(),
                     Gdiplus::RectF(static_cast<Gdiplus::REAL>(width - kTextWidth), 0.0f, kTextWidth,
                                    static_cast<Gdiplus::REAL>(height)),
                     grey, m_textRenderingHint);
    });
}

} // namespace KOVA
