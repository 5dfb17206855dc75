#pragma once
// A painted pop-up (drop-down lists and the like): a tool window with its own paint manager
// that reports to a parent object, as if it were that object's child with id 0, and closes
// as soon as another window is activated.
#include "platform/Win32.h"

#include "framework/MObject.h"
#include "framework/MWindow.h"
#include "framework/PaintManager.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class MControl;

class KOVA_API MPopupWnd : public MWindow, public MObject {
public:
    MPopupWnd() = default;
    // A copy takes the parent object, colour key and alpha; it has no window and a paint
    // manager of its own, empty and unbound.
    MPopupWnd(const MPopupWnd&) = default;
    MPopupWnd& operator=(const MPopupWnd&) = default;
    ~MPopupWnd() override;

    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Binds the paint manager (without window dragging), then InitUI with the client rectangle.
    BOOL OnInitDialog() override;
    // The window is going: the paint manager lets go of it (drop target, timers, what waits to
    // be posted). The controls stay until the object goes.
    void OnDestroyMessage(HWND hwnd) override;

    virtual MObject* GetParent() { return m_parentObject; }
    // Host hooks
    virtual void InitUI(CRect rect);
    virtual void UISize(CRect rect);
    virtual LRESULT OnMessage(UINT id, UINT code, UINT wParam, LONG lParam);

    // Message handlers, as for MDialog.
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
    // Losing activation closes the pop-up.
    virtual int OnNcActivate(BOOL active);
    virtual int OnWindowPosChanging(WINDOWPOS* position);
    // Re-applies the frame, which raises this message once more: that nested call is ignored.
    virtual int OnWindowPosChanged(WINDOWPOS* position);
    virtual int OnPaint();
    virtual void OnTimer(UINT id);
    virtual int OnNcPaint();
    virtual int OnClose();
    virtual int PostNcDestroy();
    virtual int OnDestroy();

    // MObject side
    LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    LONG OnControlUpdate(CRect rect, int flag, MControl* control) override;

    // Paint manager settings
    int LoadBKImage(CString path);
    int LoadBKImage(UINT resourceId, CString type);
    void SetBackMode(enumBackMode mode, int border);
    void SetScrollResID(UINT vertical, UINT horizontal);
    void SetLayeredWindow(BOOL layered);
    void SetupBackTranslucent();
    MControl* GetControl(UINT id);
    // The window factory, with this window as the new control's parent.
    MControl* CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible,
                         int enabled);
    MControl* CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible,
                            int enabled);
    PaintManager* GetPaintManager() { return &*m_paintManager; }

    // The parent object this pop-up reports to; not owned.
    void SetParent(MObject* parent) { m_parentObject = parent; }
    // The parent's OnMessage (0, code, wParam, lParam); 0 without a parent.
    int SendMessageToParent(UINT code, WPARAM wParam, LPARAM lParam);

protected:
    // Rounded corners of radius × radius; the region then belongs to the system.
    void SetupRegion(int radius);

    MObject* m_parentObject { nullptr };
    NotCopied<PaintManager> m_paintManager;
    COLORREF m_colorKey { 0x00F1F1F1 };
    int m_alpha { 255 };

private:
    CRect clientRect() const;

    NotCopied<bool> m_adjustingFrame;
};

} // namespace KOVA
