#include "framework/LoadingWnd.h"

#include <commctrl.h>
#include <vector>

#include "framework/AppPaths.h"
#include "framework/MRender.h"
#include "framework/MRenderInternal.h"
#include "framework/Manager.h"
#include "framework/PaintedWindow.h"

namespace KOVA {

using detail::ScopedSelection;
using detail::UniqueBitmap;
using detail::PaintSession;
using detail::UniqueDC;
using detail::WindowDC;

namespace {
constexpr wchar_t kWindowName[] = L"Loading Window";
constexpr DWORD kWindowStyle = 0x96000000; // popup, visible, clip siblings and children
constexpr wchar_t kGifFile[] = L"loading\\loading.gif";
constexpr wchar_t kLogoFile[] = L"logo\\logo_loading.png";
constexpr wchar_t kCloseButtonFile[] = L"img_sys_close.png";
constexpr int kCloseButtonFrames = 4;
constexpr int kCloseButtonRightInset = 39;
constexpr int kCloseButtonTop = 10;
constexpr int kBackgroundCorner = 10;
constexpr DWORD kPlainBackground = 0xF0FFFFFF;
constexpr int kAnimationWidth = 232;
constexpr int kAnimationHeight = 58;
constexpr int kLogoGap = 20;
constexpr int kRegionCorner = 3;
constexpr DWORD kHoverTimeMs = 400;

} // namespace

// ---- images

bool LoadingWnd::Picture::take(Gdiplus::Image* loaded)
{
    image.reset(loaded);
    // A resource that does not decode still comes back as an image in a failed state.
    if (image && image->GetLastStatus() != Gdiplus::Ok)
        image.reset();
    width = image ? static_cast<int>(image->GetWidth()) : 0;
    height = image ? static_cast<int>(image->GetHeight()) : 0;
    return image != nullptr;
}

bool LoadingWnd::Picture::load(const CString& path)
{
    return take(MRender::LoadImageFromFile(path));
}

LoadingWnd::~LoadingWnd()
{
    KillTimer(kAnimationTimerId);
    // Before the images go: nothing may reach a half-destroyed window.
    Unbind();
}

HWND LoadingWnd::CreateDlg(HWND parent, CRect rect)
{
    LoadGifImage(kGifFile);
    m_media->logo.load(GetSkinPath() + kLogoFile);
    return Create(parent, kWindowName, kWindowStyle, 0, rect, nullptr);
}

int LoadingWnd::LoadBKImage(CString file)
{
    return m_media->background.load(GetSkinPath() + file) ? 1 : 0;
}

int LoadingWnd::LoadBKImage(UINT resourceId, CString type)
{
    return m_media->background.take(MRender::LoadImageFromIDResource(resourceId, type, Manager::GetInstance())) ? 1 : 0;
}

int LoadingWnd::LoadGifImage(CString file)
{
    Media& media = *m_media;
    media.frameCount = 0;
    media.animation.reset(MRender::LoadImageFromFile(GetSkinPath() + file));
    if (!media.animation)
        return 0;
    media.frameCount = MRender::GetFirstDimensionFrameCount(media.animation.get());
    if (media.frameCount == 0)
        media.animation.reset();
    else
        m_wrapCount = media.frameCount;
    return 0;
}

int LoadingWnd::LoadAnimateImage(CString file, int index)
{
    // The index comes from the host: a slot outside the array would be written past its end.
    if (index < 0 || index >= kFrameSlotCount)
        return 0;
    return m_media->frames[static_cast<size_t>(index)].load(GetSkinPath() + file) ? 1 : 0;
}

bool LoadingWnd::HasAnimateImage(int index) const
{
    if (index < 0 || index >= kFrameSlotCount)
        return false;
    return m_media->frames[static_cast<size_t>(index)].image != nullptr;
}

void LoadingWnd::SetBackMode(enumBackMode mode, int width)
{
    m_backMode = mode;
    m_borderWidth = width;
}

// ---- window

LRESULT LoadingWnd::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Every pixel comes from the layered picture: erasing would only flicker.
    if (msg == WM_ERASEBKGND)
        return 1;
    if (msg == detail::kDialogResultMessage)
        return OnUserCloseWindow(wParam, lParam);
    if (msg == WM_SETFOCUS)
        OnSetFocus(nullptr);
    else if (msg == WM_KILLFOCUS)
        OnKillFocus(nullptr);
    detail::CallHandler(*this, msg, wParam, lParam);
    return MWindow::OnWindowMessage(msg, wParam, lParam);
}

// The splash takes no keyboard input: nothing to translate before dispatch.
BOOL LoadingWnd::PreTranslateMessage(MSG* msg)
{
    return MWindow::PreTranslateMessage(msg);
}

BOOL LoadingWnd::OnInitDialog()
{
    SetTimer(kAnimationTimerId, kAnimationPeriodMs, nullptr);
    m_running = 1;
    loadCloseButton();
    return 1;
}

// WM_NCDESTROY never reaches OnWindowMessage: the base finishes it and calls here.
void LoadingWnd::OnDestroyMessage(HWND)
{
    PostNcDestroy();
}

void LoadingWnd::loadCloseButton()
{
    Picture& button = m_media->closeButton;
    if (!button.load(GetSkinPath() + kCloseButtonFile))
        return;
    CRect client;
    GetClientRect(&client);
    const int left = client.right - kCloseButtonRightInset;
    m_closeRect = CRect(left, kCloseButtonTop, left + button.width / kCloseButtonFrames, kCloseButtonTop + button.height);
}

LRESULT LoadingWnd::OnUserCloseWindow(WPARAM, LPARAM)
{
    return 1;
}

void LoadingWnd::CloseWindow()
{
    PostClose(0, 0);
}

int LoadingWnd::OnCreate(CREATESTRUCTW*)
{
    StripCaptionAndFrame();
    if (HasHandle())
        ::SetWindowLongW(*m_hWnd, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    return 1;
}

int LoadingWnd::OnSize(UINT type, int, int)
{
    if (type == SIZE_MINIMIZED || !IsLive())
        return 0;
    const int corner = type == SIZE_MAXIMIZED ? 0 : kRegionCorner;
    SetRoundRegion(corner);
    CRect client;
    GetClientRect(&client);
    InvalidateRect(client, FALSE);
    return 0;
}

// ---- animation

void LoadingWnd::OnTimer(UINT id)
{
    if (id != kAnimationTimerId || !m_running)
        return;
    if (++m_tickCount < m_ticksPerFrame)
        return;
    m_tickCount = 0;
    advanceAnimation();
    DrawWindow();
}

void LoadingWnd::advanceAnimation()
{
    if (++m_currentFrame >= m_wrapCount)
        m_currentFrame = 0;
}

int LoadingWnd::OnPaint()
{
    if (!IsIconic())
        DrawWindow();
    return 0;
}

int LoadingWnd::OnClose()
{
    stop();
    return 0;
}

int LoadingWnd::PostNcDestroy()
{
    stop();
    return 0;
}

int LoadingWnd::OnDestroy()
{
    stop();
    return 0;
}

// ---- painting

void LoadingWnd::DrawWindow()
{
    if (!IsLive())
        return;
    CRect client;
    GetClientRect(&client);
    const int width = client.Width();
    const int height = client.Height();
    PaintSession painting(*m_hWnd);
    WindowDC window(*m_hWnd);
    UniqueDC memory(MRender::CreateCompatibleDC(window.get()));
    UniqueBitmap bitmap(MRender::CreateARGB32Bitmap(window.get(), width, height, nullptr));
    if (!memory || !bitmap)
        return;
    ScopedSelection selection(memory.get(), bitmap.get());
    // The GDI+ graphics lives and dies inside this call, before the DC it draws on goes.
    RenderBackBuffer(memory.get(), width, height);
    presentLayered(memory.get(), width, height);
}

void LoadingWnd::RenderBackBuffer(HDC dc, int width, int height)
{
    Gdiplus::Graphics graphics(dc);
    drawBackground(graphics, width, height);
    drawLogo(graphics, width, height);
    drawAnimation(graphics, width, height);
    drawCloseButton(graphics);
}

void LoadingWnd::drawBackground(Gdiplus::Graphics& graphics, int width, int height)
{
    const Picture& background = m_media->background;
    if (background.image) {
        MRender::DrawImageFrame(graphics, background.image.get(), CRect(0, 0, width, height), 0, 0, background.width,
                                background.height, kBackgroundCorner);
        return;
    }
    Gdiplus::SolidBrush white { Gdiplus::Color(kPlainBackground) };
    graphics.FillRectangle(&white, 0, 0, width, height);
}

void LoadingWnd::drawLogo(Gdiplus::Graphics& graphics, int width, int height)
{
    const Picture& logo = m_media->logo;
    if (!logo.image)
        return;
    const int x = (width - logo.width) / 2;
    const int y = (height - kAnimationHeight) / 2 - logo.height - kLogoGap;
    graphics.DrawImage(logo.image.get(), x, y, logo.width, logo.height);
}

void LoadingWnd::drawAnimation(Gdiplus::Graphics& graphics, int width, int height)
{
    Media& media = *m_media;
    if (media.frameCount <= 1 || !media.animation)
        return;
    if (m_currentFrame < media.frameCount)
        media.animation->SelectActiveFrame(&m_frameDimension, static_cast<UINT>(m_currentFrame));
    const Gdiplus::Rect box((width - kAnimationWidth) / 2, (height - kAnimationHeight) / 2, kAnimationWidth,
                            kAnimationHeight);
    graphics.DrawImage(media.animation.get(), box);
}

void LoadingWnd::drawCloseButton(Gdiplus::Graphics& graphics)
{
    const Picture& button = m_media->closeButton;
    if (button.image)
        MRender::DrawImageStripFrame(graphics, button.image.get(), m_closeRect, m_closeState, kCloseButtonFrames, 0);
}

void LoadingWnd::presentLayered(HDC source, int width, int height)
{
    ModifyExStyle(0, WS_EX_LAYERED, 0);
    WindowDC screen(nullptr);
    SIZE size { width, height };
    POINT origin { 0, 0 };
    BLENDFUNCTION blend { AC_SRC_OVER, 0, 255, AC_SRC_ALPHA };
    ::UpdateLayeredWindow(*m_hWnd, screen.get(), nullptr, &size, source, &origin, 0, &blend, ULW_ALPHA);
}

// ---- close button

int LoadingWnd::OnMouseMove(UINT, CPoint pt)
{
    if (!m_mouseTracking) {
        requestMouseTracking();
        if (!m_mouseTracking)
            return 0;
    }
    m_closeState = m_closeRect.PtInRect(pt) ? CloseHover : CloseNormal;
    return 0;
}

void LoadingWnd::requestMouseTracking()
{
    TRACKMOUSEEVENT request {};
    request.cbSize = sizeof(request);
    request.dwFlags = TME_LEAVE | TME_HOVER;
    request.hwndTrack = *m_hWnd;
    request.dwHoverTime = kHoverTimeMs;
    m_mouseTracking = ::_TrackMouseEvent(&request) ? 1 : 0;
}

int LoadingWnd::OnMouseLeave(WPARAM, LPARAM)
{
    // The system ends the tracking with this message: the next move must ask again, or the
    // next leave never comes and the button keeps its hover look.
    m_mouseTracking = 0;
    m_closeState = CloseNormal;
    return 0;
}

int LoadingWnd::OnLButtonDown(UINT, CPoint pt)
{
    m_closeState = m_closeRect.PtInRect(pt) ? ClosePressed : CloseNormal;
    return 0;
}

int LoadingWnd::OnLButtonUp(UINT, CPoint pt)
{
    if (!m_closeRect.PtInRect(pt)) {
        m_closeState = CloseNormal;
        return 0;
    }
    m_closeState = CloseHover;
    HWND parent = GetParentHwnd();
    if (parent && ::IsWindow(parent))
        ::PostMessageW(parent, kCloseClickedMessage, 0, 0);
    return 0;
}

// ---- messages the splash leaves to the previous window procedure

int LoadingWnd::OnMouseHover(WPARAM, LPARAM) { return 0; }
int LoadingWnd::OnMouseWheel(UINT, short, CPoint) { return 0; }
int LoadingWnd::OnLButtonDblClk(UINT, CPoint) { return 0; }
int LoadingWnd::OnRButtonDown(UINT, CPoint) { return 0; }
int LoadingWnd::OnRButtonUp(UINT, CPoint) { return 0; }
int LoadingWnd::OnRButtonDblClk(UINT, CPoint) { return 0; }
int LoadingWnd::OnKeyDown(UINT, UINT, UINT) { return 0; }
int LoadingWnd::OnNcHitTest(CPoint) { return 0; }
int LoadingWnd::OnGetMinMaxInfo(MINMAXINFO*) { return 0; }
int LoadingWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { return 0; }
int LoadingWnd::OnNcActivate(BOOL) { return 0; }
int LoadingWnd::OnSetFocus(MWindow*) { return 0; }
int LoadingWnd::OnKillFocus(MWindow*) { return 0; }
int LoadingWnd::OnWindowPosChanging(WINDOWPOS*) { return 0; }
int LoadingWnd::OnWindowPosChanged(WINDOWPOS*) { return 0; }
int LoadingWnd::OnNcPaint() { return 0; }

} // namespace KOVA
