// Threads: the tick runs on the multimedia-timer thread and takes no lock: it reads and
// advances the slide through atomics and hands the repaint to the window's thread as a posted
// invalidation. Drawing, SetRun and the images belong to the GUI thread.
#include "controls/basic/CSliderPicture.h"

#include <algorithm>

#include "controls/basic/LookPainting.h"
#include "framework/MRender.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
// What the part of the control not yet reached shows.
constexpr COLORREF kUncovered = RGB(0xF2, 0xF2, 0xF2);

void fillUncovered(HDC& dc, int x, int y, int width, int height)
{
    if (width > 0 && height > 0)
        MRender::FillSolidRect(dc, x, y, width, height, kUncovered);
}

void copyPart(HDC& dc, int x, int y, int width, int height, const MemoryPicture& look, int srcX, int srcY)
{
    if (width > 0 && height > 0)
        MRender::BitBlt(dc, x, y, width, height, look.dc(), srcX, srcY);
}
} // namespace

CSliderPicture::CSliderPicture(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_imageCount = 1;
    *m_mode = SliderLeftToRight;
    SetRunTimer(1);
}

CSliderPicture::~CSliderPicture()
{
    StopFastTimer();
}

int CSliderPicture::SetImage(const wchar_t* path, int count)
{
    return m_picture.Load(path, count);
}

int CSliderPicture::SetImage(UINT resourceId, CString type, int count)
{
    return m_picture.Load(resourceId, type, count);
}

int CSliderPicture::SetShowMode(enumShowMode mode, int value)
{
    if (!m_picture.SetShowMode(mode, value))
        return 0;
    UpdateControl(1, 0);
    return 1;
}

int CSliderPicture::SetShowModeMID(int left, int top, int right, int bottom)
{
    m_picture.SetNineGridMargins(left, top, right, bottom);
    UpdateControl(1, 0);
    return 1;
}

int CSliderPicture::SetRun(int run, SLIDER_MODE mode)
{
    if (!m_enabled)
        return *m_running;
    const int changed = (run != 0) != (*m_running != 0);
    // Stopped first: a tick meanwhile must not step the half-set slide.
    *m_running = 0;
    switch (mode) {
    case SliderLeftToRight:
        *m_position = 0;
        *m_end = m_rect.Width();
        break;
    case SliderTopToBottom:
        *m_position = m_rect.top;
        *m_end = m_rect.bottom;
        break;
    case SliderRightToLeft:
        *m_position = m_rect.right;
        *m_end = m_rect.left;
        break;
    }
    *m_mode = mode;
    *m_running = run;
    if (changed)
        UpdateControl(1, 0);
    return run;
}

int CSliderPicture::stepAlong(int length)
{
    // A hundredth of a side under 100 px is nothing: such a slide would never end.
    return std::max(1, length / 100);
}

int CSliderPicture::OnControlTimer()
{
    // A picture on a hidden page neither slides nor asks for repaints.
    if (!*m_running || !m_visible || !IsParentVisible())
        return 0;
    int position = *m_position;
    const int end = *m_end;
    bool finished = false;
    switch (*m_mode) {
    case SliderLeftToRight:
        position += stepAlong(m_rect.Width());
        finished = position >= end;
        break;
    case SliderTopToBottom:
        position += stepAlong(m_rect.Height());
        finished = position >= end;
        break;
    case SliderRightToLeft:
        position -= stepAlong(m_rect.Width());
        finished = position <= end;
        break;
    default:
        return 0;
    }
    *m_position = position;
    if (finished)
        *m_running = 0;
    // Only what is shown moves, not the look: the window repaints the rectangle from the cache.
    if (m_manager)
        m_manager->InvalidateRect(m_rect, 0);
    return 1;
}

void CSliderPicture::DrawControl(HDC& dc, CRect)
{
    if (BeginCachedLooks(*this, m_memPicture, dc, 1)) {
        Gdiplus::Graphics graphics(m_memPicture.dc());
        m_picture.Draw(graphics, CRect(0, 0, m_rect.Width(), m_rect.Height()), m_hAlign, m_vAlign);
    }
    showRevealed(dc, *m_position);
    hideWhenStill();
}

void CSliderPicture::showRevealed(HDC& dc, int position)
{
    const CRect& r = m_rect;
    const int width = r.Width();
    const int height = r.Height();
    switch (*m_mode) {
    case SliderLeftToRight: {
        // The picture's right edge enters first.
        const int shown = std::clamp(position, 0, width);
        copyPart(dc, r.left, r.top, shown, height, m_memPicture, width - shown, 0);
        fillUncovered(dc, r.left + shown, r.top, width - shown, height);
        break;
    }
    case SliderTopToBottom: {
        const int shown = std::clamp(position - static_cast<int>(r.top), 0, height);
        copyPart(dc, r.left, r.top, width, shown, m_memPicture, 0, height - shown);
        fillUncovered(dc, r.left, r.top + shown, width, height - shown);
        break;
    }
    case SliderRightToLeft: {
        const int shown = std::clamp(static_cast<int>(r.right) - position, 0, width);
        copyPart(dc, r.right - shown, r.top, shown, height, m_memPicture, 0, 0);
        fillUncovered(dc, r.left, r.top, width - shown, height);
        break;
    }
    }
}

void CSliderPicture::hideWhenStill()
{
    if (*m_running || !m_visible)
        return;
    SetControlVisible(0);
    UpdateControl(1, 1);
}

} // namespace KOVA
