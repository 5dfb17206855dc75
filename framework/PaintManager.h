#pragma once
// The per-window engine of the windowless toolkit: binds a tree of controls to one window,
// owns the top-level controls, tracks hover, focus and capture, and serves the controls
// (repaint requests, timers, tooltips, caret, caches, drag and drop).
//
// Lock order: a walk takes one list lock at a time (areas, released, then controls). On the
// fast-timer thread: the fast-timer lock, then controls' own list locks, then these list locks.
#include "platform/Win32.h"

#include <vector>

#include "framework/KVTimer.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/CriticalSection.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

// How a window's background image is drawn.
enum enumBackMode {
    BackModeStretch = 0,
    BackModeNineGrid = 1,
};

namespace KOVA {

class MControl;
class MWindow;

class KOVA_API PaintManager : public KVTimer {
public:
    PaintManager() = default;
    // A copy takes the settings only: unbound, no controls, no handles, locks of its own.
    PaintManager(const PaintManager&) = default;
    PaintManager& operator=(const PaintManager&) = default;
    ~PaintManager() override;

    void OnMTimer(UINT id) override;

    // Binding and teardown
    void Init(HWND window, MWindow* owner);
    void OnDestroyMessage(HWND window);
    void DestroyData();

    // Window accessors
    HWND GetPaintWnd() const { return m_hWnd; }
    HDC GetPaintDC() const { return *m_hDC; }
    HWND GetToolTipWnd() const { return m_hWnd; }
    void GetClientRect(CRect& rect);
    void GetWindowRect(CRect& rect);
    void GetClientSize(int& width, int& height);
    LRESULT SendMessageW(UINT msg, WPARAM wParam, LPARAM lParam);
    // Delivered at once: the result is that of the processed message.
    LRESULT PostMessageW(UINT msg, WPARAM wParam, LPARAM lParam);
    void SetCaptionRect(CRect rect) { m_captionRect = rect; }
    void GetCaptionRect(CRect& rect) const { rect = m_captionRect; }
    void SetWindowMaxSize(int width, int height);
    void SetWindowMixSize(int width, int height);
    void GetWindowMinSize(int& width, int& height) const;
    void GetWindowManSize(int& width, int& height) const;
    HWND SetCapture();
    BOOL ReleaseCapture();
    int IsCaptured() const { return m_captured; }
    void SetLayeredWindow(int layered) { m_layered = layered; }
    int IsLayered() const { return m_layered; }
    void EnableWndDrag(int enable) { m_windowDrag = enable; }
    void SetDefaultEnabledColor(COLORREF color) { m_defaultEnabledColor = color; }
    COLORREF GetDefaultEnabledColor() const { return m_defaultEnabledColor; }
    void SetScrollResID(UINT vertical, UINT horizontal);
    UINT GetScrollVID() const { return m_scrollVID; }
    UINT GetScrollHID() const { return m_scrollHID; }
    int GetTooltipCtrlID() const { return m_tooltipCtrlID; }
    void SetTooltipCtrlID(int id) { m_tooltipCtrlID = id; }

    // Background
    int LoadBKImage(CString file);
    int LoadBKImage(UINT id, CString type);
    void SetBackMode(enumBackMode mode, int border);
    void SetBackColor(COLORREF back, COLORREF border);

    // Control lists and lookup. The paint manager owns what it is given.
    void AppendControl(MControl* control, int kind);
    MControl* GetControl(UINT id);
    void RemoveControl(MControl* control);
    void ClearAreaControls();
    void ClearControls();
    void ClearAllControls();
    std::vector<MControl*>& GetControls() { return *m_controls; }
    std::vector<MControl*>& GetAreas() { return *m_areas; }
    MWindow* GetMDialog() const { return m_owner; }

    // Focus
    void SetFocusControl(MControl* control);
    MControl* GetFocusControl() const { return *m_focusControl; }
    MControl* GetHoverControl() const { return *m_hoverControl; }
    MControl* GetNextFocusableControl();
    MControl* GetPrevFocusableControl();
    // Records the focus control without telling either control (the caller already did).
    void SetFocusControlPointer(MControl* control) { *m_focusControl = control; }

    // Tooltips
    void SetTooltip(const wchar_t* text, CRect rect);
    void ClearTooltip();

    // Fast-timer controls (not owned)
    int AddMTimer(MControl* control);
    int DeleteFSTimer(MControl* control);

    // Called by every control as it goes away: nothing here may point at it afterwards.
    void ForgetControl(MControl* control);

private:
    enum class Walk { Forward, Backward };
    MControl* nextFocusable(Walk direction);
    void clearList(std::vector<MControl*>& list, CriticalSection& lock);
    void releaseWindowDC();
    void destroyTooltipWindow();
    bool createTooltipWindow(const wchar_t* text);
    void deleteBackgroundImage();
    bool isLiveWindow() const;

    MWindow* m_owner { nullptr };
    NotCopied<int> m_initialised;
    HWND m_hWnd { nullptr };
    NotCopied<HDC> m_hDC;
    COLORREF m_backColor { 0x050505 };
    COLORREF m_borderColor { RGB(189, 48, 255) };
    CRect m_captionRect;
    int m_maxWidth { 0 };
    int m_maxHeight { 0 };
    int m_minWidth { 0 };
    int m_minHeight { 0 };
    int m_dragStartX { 0 };
    int m_dragStartY { 0 };
    int m_dragArmed { 0 };
    NotCopied<HBITMAP> m_dragBitmap;
    int m_layered { 0 };
    NotCopied<Gdiplus::Image*> m_backgroundImage;
    int m_backgroundWidth { 0 };
    int m_backgroundHeight { 0 };
    UINT m_fastTimerId { 0 };
    UINT m_lastWindowTimerId { 4096 };
    DWORD m_lastFastTick { 0 };
    int m_mouseTracking { 0 };
    int m_leftButtonDown { 0 };
    int m_captured { 0 };
    int m_windowDrag { 1 };
    UINT m_scrollVID { 0 };
    UINT m_scrollHID { 0 };
    COLORREF m_defaultEnabledColor { 0x808080 };
    NotCopied<MControl*> m_hoverControl;
    NotCopied<MControl*> m_focusControl;
    int m_tooltipCtrlID { 0 };
    NotCopied<HWND> m_tooltipWnd;
    NotCopied<std::vector<MControl*>> m_areas;
    NotCopied<std::vector<MControl*>> m_controls;
    NotCopied<std::vector<MControl*>> m_fastTimerControls;
    CriticalSection m_areasLock;
    CriticalSection m_controlsLock;
    CriticalSection m_fastTimerLock;
    CriticalSection m_imageLock;
    CriticalSection m_timerLock;
    CriticalSection m_fontLock;
    enumBackMode m_backMode { BackModeStretch };
    int m_backBorder { 4 };
    NotCopied<CString> m_tooltipText;
};

} // namespace KOVA
