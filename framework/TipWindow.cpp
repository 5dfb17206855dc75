#include "framework/TipWindow.h"

#include <algorithm>

#include "framework/AppPaths.h"
#include "framework/CKeyboardTips.h"
#include "framework/LibraryModule.h"
#include "framework/MAirBladder.h"
#include "framework/MRender.h"
#include "framework/MRenderInternal.h"
#include "framework/Manager.h"
#include "framework/PaintedWindow.h"

namespace KOVA {

namespace {
constexpr UINT kTipFontResource = 106;
constexpr int kRoundCorner = 3;
} // namespace

namespace detail {

int TipImage::load(const CString& file)
{
    return adopt(MRender::LoadImageFromFile(GetSkinPath() + file));
}

int TipImage::load(UINT id, const CString& type)
{
    return adopt(MRender::LoadImageFromIDResource(id, type, Manager::GetInstance()));
}

int TipImage::adopt(Gdiplus::Image* loaded)
{
    std::unique_ptr<Gdiplus::Image> owned(loaded);
    if (!owned || owned->GetLastStatus() != Gdiplus::Ok)
        return 0;
    width = static_cast<int>(owned->GetWidth());
    height = static_cast<int>(owned->GetHeight());
    image = std::move(owned);
    return 1;
}

bool TipImage::drawable() const
{
    return image && image->GetLastStatus() == Gdiplus::Ok;
}

Gdiplus::FontFamily* LoadTipFont(FontCache& fonts)
{
    HMODULE module = GetLibraryModule();
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(kTipFontResource), L"ttf");
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes)
        return nullptr;
    // A family of a private collection reads the collection and the font bytes as long as it
    // is used: the cache keeps all three together.
    return fonts.addMemory(kBrandFontFace, bytes, static_cast<int>(::SizeofResource(module, found)));
}

namespace {
bool isLive(const MWindow& tip)
{
    HWND window = tip.GetSafeHwnd();
    return window && ::IsWindow(window);
}

void paintBuffered(HDC screen, const CRect& client, const BackBufferPainter& paint)
{
    if (client.IsRectEmpty())
        return;
    UniqueDC memory(MRender::CreateCompatibleDC(screen));
    UniqueBitmap buffer(MRender::CreateARGB32Bitmap(screen, client.Width(), client.Height(), nullptr));
    if (!memory || !buffer)
        return;
    // Released in reverse: the bitmap is selected out before it and the DC are deleted.
    ScopedSelection selection(memory.get(), buffer.get());
    paint(screen, memory.get(), client);
}
} // namespace

void PaintWithBackBuffer(MWindow& tip, const BackBufferPainter& paint)
{
    if (!isLive(tip) || tip.IsIconic())
        return;
    HWND window = tip.GetSafeHwnd();
    CRect client;
    ::GetClientRect(window, &client);
    // Declared in this order so that the window DC goes back before EndPaint.
    PaintSession session(window);
    WindowDC screen(window);
    paintBuffered(screen.get(), client, paint);
}

void KeepOnlyToolWindowStyle(MWindow& tip)
{
    if (HWND window = tip.GetSafeHwnd())
        ::SetWindowLongW(window, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
}

void FollowTipSize(MWindow& tip)
{
    const bool live = isLive(tip);
    if (!live || !tip.IsIconic())
        tip.SetRoundRegion(live && ::IsZoomed(tip.GetSafeHwnd()) ? 0 : kRoundCorner);
    CRect client;
    tip.GetClientRect(&client);
    tip.InvalidateRect(client, FALSE);
}

void HideTipOnTimer(MWindow& tip, UINT id)
{
    if (id != kTipHideTimerId)
        return;
    tip.KillTimer(id);
    if (tip.IsWindowVisible())
        tip.ShowWindow(0);
}

void HideTipOnFocusLoss(MWindow& tip, AIRBLADDER_MODE mode)
{
    if (mode != AirBladderModeRightStay)
        tip.ShowWindow(0);
    tip.KillTimer(kTipHideTimerId);
}

template <class Tip>
LRESULT DispatchTipMessage(Tip& tip, UINT msg, WPARAM wParam, LPARAM lParam)
{
    // The tip paints every pixel itself: erasing first would only flicker.
    if (msg == WM_ERASEBKGND)
        return 1;
    if (msg == kDialogResultMessage)
        return tip.OnUserCloseWindow(wParam, lParam);
    CallHandler(tip, msg, wParam, lParam);
    if (msg == WM_SETFOCUS)
        tip.OnSetFocus(nullptr);
    else if (msg == WM_KILLFOCUS)
        tip.OnKillFocus(nullptr);
    return tip.MWindow::OnWindowMessage(msg, wParam, lParam);
}

// Made here for both tip windows, so that the public header needs none of its workings.
template LRESULT DispatchTipMessage<MAirBladder>(MAirBladder&, UINT, WPARAM, LPARAM);
template LRESULT DispatchTipMessage<CKeyboardTips>(CKeyboardTips&, UINT, WPARAM, LPARAM);

} // namespace detail

} // namespace KOVA
