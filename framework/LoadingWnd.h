#pragma once
// The splash shown while the host starts or works: a borderless layered pop-up that paints
// itself on a window timer (background, logo, an animated GIF, a close button) without a
// paint manager. A click on the close button only tells the parent; the host decides when
// the splash goes.
#include "platform/Win32.h"

#include <array>
#include <memory>

#include "framework/MWindow.h"
#include "framework/PaintManager.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class KOVA_API LoadingWnd : public MWindow {
public:
    // Posted to the parent, with wParam and lParam 0, when the close button is clicked.
    static constexpr UINT kCloseClickedMessage = 0x5F4;
    static constexpr UINT kAnimationTimerId = 100;
    static constexpr UINT kAnimationPeriodMs = 18;
    static constexpr int kFrameSlotCount = 19;

    LoadingWnd() = default;
    // A copy takes the settings; it has no window and no images.
    LoadingWnd(const LoadingWnd&) = default;
    LoadingWnd& operator=(const LoadingWnd&) = default;
    ~LoadingWnd() override;

    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    // Starts the animation timer and loads the close button.
    BOOL OnInitDialog() override;
    void OnDestroyMessage(HWND hwnd) override;

    // Media, all relative to the skin folder. Loaders return 1, or 0 when nothing loaded.
    // Loads the GIF and the logo, then creates the window visible at rect.
    HWND CreateDlg(HWND parent, CRect rect);
    int LoadBKImage(CString file);
    int LoadBKImage(UINT resourceId, CString type);
    // Always 0; a file without frames leaves no animation.
    int LoadGifImage(CString file);
    // Slots 0 to 18; any other index is refused with 0.
    int LoadAnimateImage(CString file, int index);
    // Kept for the host; the background is always drawn as a nine-grid.
    void SetBackMode(enumBackMode mode, int width);

    // Paints the whole splash and hands it to the system as the layered window's picture.
    void DrawWindow();

    // Message handlers
    // 0x442 is answered with 1 and never closes the splash.
    virtual LRESULT OnUserCloseWindow(WPARAM wParam, LPARAM lParam);
    virtual void CloseWindow();
    virtual int OnCreate(CREATESTRUCTW* create);
    virtual int OnSize(UINT type, int cx, int cy);
    virtual int OnMouseMove(UINT flags, CPoint pt);
    virtual int OnMouseLeave(WPARAM wParam, LPARAM lParam);
    virtual int OnMouseHover(WPARAM wParam, LPARAM lParam);
    virtual int OnMouseWheel(UINT flags, short delta, CPoint pt);
    virtual int OnLButtonDown(UINT flags, CPoint pt);
    virtual int OnLButtonUp(UINT flags, CPoint pt);
    virtual int OnLButtonDblClk(UINT flags, CPoint pt);
    virtual int OnRButtonDown(UINT flags, CPoint pt);
    virtual int OnRButtonUp(UINT flags, CPoint pt);
    virtual int OnRButtonDblClk(UINT flags, CPoint pt);
    virtual int OnKeyDown(UINT key, UINT repeat, UINT flags);
    virtual int OnNcHitTest(CPoint pt);
    virtual int OnGetMinMaxInfo(MINMAXINFO* info);
    virtual int OnNcCalcSize(BOOL calcValid, NCCALCSIZE_PARAMS* params);
    virtual int OnNcActivate(BOOL active);
    virtual int OnSetFocus(MWindow* previous);
    virtual int OnKillFocus(MWindow* next);
    virtual int OnWindowPosChanging(WINDOWPOS* position);
    virtual int OnWindowPosChanged(WINDOWPOS* position);
    virtual int OnPaint();
    virtual void OnTimer(UINT id);
    virtual int OnNcPaint();
    virtual int OnClose();
    virtual int PostNcDestroy();
    virtual int OnDestroy();

protected:
    enum CloseButtonState { CloseNormal = 0, CloseHover = 1, ClosePressed = 2 };

    // The back buffer as DrawWindow builds it, drawn into any 32-bit DC of width × height.
    // Layered windows cannot be read back, so this is what tests look at.
    void RenderBackBuffer(HDC dc, int width, int height);

    int GetFrameCount() const { return m_media->frameCount; }
    int GetCurrentFrame() const { return m_currentFrame; }
    bool IsRunning() const { return m_running != 0; }
    bool IsTrackingMouse() const { return m_mouseTracking != 0; }
    int GetCloseButtonState() const { return m_closeState; }
    CRect GetCloseButtonRect() const { return m_closeRect; }
    bool HasAnimateImage(int index) const;

private:
    struct Picture {
        std::unique_ptr<Gdiplus::Image> image;
        int width { 0 };
        int height { 0 };
        // Keeps the image when it decoded; otherwise the picture is left empty.
        bool take(Gdiplus::Image* loaded);
        bool load(const CString& path);
    };
    // Everything the window owns: a copy starts without any of it.
    struct Media {
        Picture background;
        Picture logo;
        Picture closeButton;
        std::unique_ptr<Gdiplus::Image> animation;
        int frameCount { 0 };
        std::array<Picture, kFrameSlotCount> frames;
    };

    void drawBackground(Gdiplus::Graphics& graphics, int width, int height);
    void drawLogo(Gdiplus::Graphics& graphics, int width, int height);
    void drawAnimation(Gdiplus::Graphics& graphics, int width, int height);
    void drawCloseButton(Gdiplus::Graphics& graphics);
    void presentLayered(HDC source, int width, int height);
    void loadCloseButton();
    void requestMouseTracking();
    void advanceAnimation();
    void stop() { m_running = 0; }

    NotCopied<Media> m_media;
    enumBackMode m_backMode { BackModeNineGrid };
    int m_borderWidth { 18 };
    // FrameDimensionTime: the dimension a GIF's frames are selected in.
    GUID m_frameDimension { 0x6AEDBD6D, 0x3FB5, 0x418A, { 0x83, 0xA6, 0x7F, 0x45, 0x22, 0x9D, 0xC8, 0x72 } };
    int m_running { 0 };
    CRect m_closeRect;
    int m_closeState { CloseNormal };
    int m_mouseTracking { 0 };
    int m_currentFrame { 0 };
    int m_wrapCount { 18 };
    int m_tickCount { 0 };
    int m_ticksPerFrame { 2 };
};

} // namespace KOVA
