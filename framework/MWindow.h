#pragma once
// A thin owner of one native top-level or child window: registers its class (or superclasses
// a system class), binds itself to the window while the window exists, hands it every
// message through OnWindowMessage, runs a modal loop and wraps the Win32 calls the library
// uses. The object outlives its window; its destructor never destroys the window.
#include "platform/Win32.h"

#include <memory>
#include <type_traits>

#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class KOVA_API MWindow {
public:
    MWindow() = default;
    // A copy starts without a window: the binding, the parent and the icons stay with the
    // original.
    MWindow(const MWindow&) = default;
    MWindow& operator=(const MWindow&) = default;
    virtual ~MWindow();

    virtual const wchar_t* GetWindowClassName() const;
    // Null: the class is registered as our own; otherwise the system class to superclass.
    virtual const wchar_t* GetSuperClassName() const;
    virtual BOOL ShowWindow(int nCmdShow);
    // The default hands the message to the previous window procedure.
    virtual LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Runs once CreateWindowExW has returned, also when it failed.
    virtual BOOL OnInitDialog();
    // The window is gone and this object is already unbound from it.
    virtual void OnDestroyMessage(HWND hwnd);

    // Creation
    HWND Create(HWND hWndParent);
    HWND Create(HWND hWndParent, CRect rc);
    HWND Create(HWND hWndParent, const wchar_t* name, DWORD style, DWORD exStyle, CRect rc);
    HWND Create(HWND hWndParent, const wchar_t* name, DWORD style, DWORD exStyle, CRect rc, HMENU menu);
    BOOL RegisterWindowClass();
    BOOL RegisterSuperClass();
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    // The object asks to be deleted (a pop-up closing from its own notification): its window
    // is destroyed now, the object deleted when the dispatch running on this thread ends (at
    // once outside one). Only for an object made with new that does not delete itself.
    void DeleteLater();

    // The wParam of the WM_CLOSE that ended the loop; 0 when the window went away without
    // one, 0xFFFFFFFF without a window.
    UINT ShowModal(int nCmdShow = SW_SHOWNORMAL);
    // Over the given window, else over the parent (child windows) or the owner, kept inside
    // the parent's client area or the monitor's work area.
    void CenterWindow(MWindow* center = nullptr);
    void BringToTop();
    // The host module's icon resource at the large and small sizes. The icons belong to the
    // window until it is destroyed or given others; the icons they replace are destroyed.
    void SetIcon(UINT resourceId);

    // Thin wrappers: each returns the Win32 result, or the failure value without a window.
    HWND GetSafeHwnd() const { return *m_hWnd; }
    HWND GetParentHwnd() const { return *m_hWndParent; }
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    LRESULT SendMessageW(UINT msg, WPARAM wParam, LPARAM lParam);
    BOOL PostMessageW(UINT msg, WPARAM wParam, LPARAM lParam);
    // 1 when the style changed; a non-zero flags value also re-applies the frame.
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags);
    BOOL ModifyExStyle(DWORD remove, DWORD add, UINT flags);
    BOOL GetClientRect(RECT* rect) const;
    BOOL GetWindowRect(RECT* rect) const;
    // Clips the window to its frame with rounded corners of the given size (0: square).
    void SetRoundRegion(int corner);
    BOOL EnableWindow(BOOL enable);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    BOOL ReleaseCapture();
    HWND SetCapture();
    HWND SetFocus();
    UINT SetTimer(UINT id, UINT elapse, TIMERPROC proc);
    BOOL KillTimer(UINT id);
    BOOL ClientToScreen(POINT* point) const;
    BOOL ScreenToClient(POINT* point) const;
    BOOL ClientToScreen(RECT* rect) const;
    BOOL ScreenToClient(RECT* rect) const;
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags);
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint);
    BOOL MoveWindow(const RECT* rect, BOOL repaint);
    BOOL DestroyWindow();
    int GetWindowTextLengthW() const;
    void SetWindowTextW(const wchar_t* text);
    void GetWindowTextW(CString& text) const;
    void InvalidateRect(CRect rect, BOOL erase);

protected:
    // Behaviour the painted windows (MDialog, MPopupWnd) share.
    // Drops caption and sizing frame; keeps children and siblings out of the painted area.
    void StripCaptionAndFrame();
    // Layered with constant alpha when alpha is not 255, else colour-keyed when the key is
    // not white, else left alone.
    void ApplyTranslucency(int alpha, COLORREF colorKey);
    // Posts WM_CLOSE with the given values; always 1.
    int PostClose(WPARAM wParam, LPARAM lParam);
    // Neither null nor all bits set: enough for posting and sending.
    bool HasHandle() const;
    // Non-null and still a window.
    bool IsLive() const;
    // Lets the window go on without this object: later messages get the default handling.
    void Unbind();

    NotCopied<HWND> m_hWndParent;
    NotCopied<HWND> m_hWnd;
    WNDPROC m_OldWndProc { ::DefWindowProcW };

private:
    enum class Slot { UserData, Property };
    static LRESULT route(Slot slot, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static MWindow* boundObject(Slot slot, HWND hwnd, UINT msg, LPARAM lParam);
    static void store(Slot slot, HWND hwnd, MWindow* object);
    LRESULT finishNcDestroy(Slot slot, HWND hwnd, WPARAM wParam, LPARAM lParam);
    BOOL modifyLong(int index, DWORD remove, DWORD add, UINT flags);
    void replaceIcon(WPARAM which, int widthMetric, int heightMetric, UINT resourceId);
    void releaseIcons();

    struct IconDeleter {
        void operator()(HICON icon) const;
    };
    using OwnedIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;
    NotCopied<bool> m_deleteAsked;
    NotCopied<OwnedIcon> m_bigIcon;
    NotCopied<OwnedIcon> m_smallIcon;
};

} // namespace KOVA
