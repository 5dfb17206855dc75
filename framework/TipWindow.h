#pragma once
// What the two tip windows, the balloon and the keyboard tip, share: skin images, the
// library's tip font, painting through a back buffer, the tool-window style, the rounded
// region, the hide timer and focus handling, and the message dispatch. Internal to the library.
#include "platform/Win32.h"

#include <functional>
#include <memory>
#include <type_traits>

#include "framework/FontCache.h"
#include "framework/MWindow.h"
#include "framework/PaintManager.h"
#include "platform/CRect.h"
#include "platform/CString.h"

namespace KOVA {

namespace detail {

constexpr UINT kTipHideTimerId = 10;

// A skin image and its pixel size. A failed load keeps the image there was.
struct TipImage {
    // From the skin folder.
    int load(const CString& file);
    // From a resource of the host module.
    int load(UINT id, const CString& type);
    bool drawable() const;

    std::unique_ptr<Gdiplus::Image> image;
    int width { 0 };
    int height { 0 };

private:
    int adopt(Gdiplus::Image* loaded);
};

struct TipFontDeleter {
    void operator()(HFONT font) const { ::DeleteObject(font); }
};
using OwnedTipFont = std::unique_ptr<std::remove_pointer_t<HFONT>, TipFontDeleter>;

// The library's embedded font, added to fonts, which keeps it usable; null when unreadable.
Gdiplus::FontFamily* LoadTipFont(FontCache& fonts);

// Draws through paint (screen DC, memory DC, client rectangle) into a 32-bit back buffer of
// the client size selected into the memory DC, inside BeginPaint and EndPaint. Nothing for a
// minimised window, no drawing for an empty one.
using BackBufferPainter = std::function<void(HDC screen, HDC memory, const CRect& client)>;
void PaintWithBackBuffer(MWindow& tip, const BackBufferPainter& paint);

// The shared handlers.
void KeepOnlyToolWindowStyle(MWindow& tip);
void FollowTipSize(MWindow& tip);
void HideTipOnTimer(MWindow& tip, UINT id);
void HideTipOnFocusLoss(MWindow& tip, AIRBLADDER_MODE mode);

// Each message reaches the tip's handler of its kind and then the previous window procedure,
// whose answer is returned; the dialog result message and WM_ERASEBKGND stop at the tip.
template <class Tip>
LRESULT DispatchTipMessage(Tip& tip, UINT msg, WPARAM wParam, LPARAM lParam);

} // namespace detail

} // namespace KOVA
