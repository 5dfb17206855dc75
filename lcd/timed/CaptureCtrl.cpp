#include "lcd/timed/CaptureCtrl.h"

#include "framework/MRender.h"
#include "framework/MRenderInternal.h"

namespace KOVA {

namespace {
constexpr COLORREF kGround = RGB(100, 100, 100);
} // namespace

CaptureCtrl::CaptureCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : LcdTimedView(parent, id, rect, visible, enabled)
{
}

CaptureCtrl::~CaptureCtrl()
{
    StopFastTimer();
}

const wchar_t* CaptureCtrl::GetClassNameW() const { return L"CaptureCtrl"; }

// The window's DC is taken and released at every paint: it is another window's, and it may be
// gone by the next one.
void CaptureCtrl::PaintPicture(HDC picture, int width, int height)
{
    const RECT whole { 0, 0, width, height };
    MRender::FillSolidRect(picture, &whole, kGround);
    if (!m_captureWnd || !::IsWindow(m_captureWnd))
        return;
    RECT client {};
    if (!::GetClientRect(m_captureWnd, &client) || client.right <= 0 || client.bottom <= 0)
        return;
    const detail::WindowDC source(m_captureWnd);
    if (!source.get())
        return;
    // HALFTONE averages the pixels a shrink drops, where the default mode would drop whole rows.
    const int previousMode = ::SetStretchBltMode(picture, HALFTONE);
    ::StretchBlt(picture, 0, 0, width, height, source.get(), 0, 0, client.right, client.bottom, SRCCOPY);
    ::SetStretchBltMode(picture, previousMode);
}

} // namespace KOVA
