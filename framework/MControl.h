#pragma once
// Base of every windowless control: a rectangle in its window's client area, state flags,
// two ordered child lists (areas below, controls above) and the recursive routing of input
// and drawing down the tree and of notifications and repaint requests up it.
//
// Lock order: a control never holds both of its own locks at once, and always takes its
// parent's lock before a child's; it holds none while a child's handler runs (childrenNow),
// since the handler may remove a control whose tick waits for that lock. On the fast-timer
// thread a tick holds no lock of the paint manager while a control runs; a repaint request
// raised there takes no list lock of a panel or of the paint manager (they mark the requester
// and post the rest to the GUI thread), and a notification raised there goes through
// PostToParent.
#include <windows.h>

#include <atomic>
#include <vector>

#include "framework/DispatchScope.h"
#include "framework/MObject.h"
#include "framework/MemoryPicture.h"
#include "platform/CPoint.h"
#include "platform/CString.h"
#include "platform/CriticalSection.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class PaintManager;

// A position resolved against a span by MControl::PositionItem2Value.
struct FS_POSITION_ITEM {
    int mode { 0 };     // 0 offset from start (or end), 1 centred, 2 percent of the span
    int fromEnd { 0 };
    float value { 0.0f };
};

class KOVA_API MControl : public MObject {
public:
    MControl(MObject* parent, UINT id, CRect rect, int visible, int enabled, int response);
    // A copy takes the value fields only: no children, no pictures, locks of its own. It is
    // noted with the paint manager it shares, so that it forgets one that goes first; an
    // assigned-to control moves its note to the manager it takes.
    MControl(const MControl& other);
    MControl& operator=(const MControl& other);
    ~MControl() override;

    const wchar_t* GetClassNameW() const override;

    virtual void InitControl(PaintManager* manager);
    virtual int OnScroll(int step, UINT down, CPoint pt);
    virtual int PtInRect(CPoint pt);
    virtual void DrawControl(HDC& dc, CRect paintRect) = 0;
    virtual int DrawSubControls(HDC& dc, CRect paintRect);
    virtual int IsDraw(CPoint pt);
    virtual void SetUpdate(int update, DWORD param);
    virtual int SetControlFocus(int focus);
    virtual void InitUI(CRect rect);
    virtual int OnMousePointChange(CPoint& pt);
    virtual int OnCheckMouseResponse(UINT msg, CPoint pt);
    virtual LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam);
    virtual void SetControlRect(CRect rect);
    virtual void SetControlVisible(int visible);
    virtual void SetControlWndVisible(int visible);
    virtual void SetControlEnabled(int enabled);
    virtual int OnControlTimer();
    virtual HBITMAP GetControlDropBitmap();
    virtual int OnControlMouseMove(UINT keys, CPoint pt);
    virtual int OnControlSetCursor(UINT keys, CPoint pt);
    virtual int OnControlLButtonDown(UINT keys, CPoint pt);
    virtual int OnControlLButtonUp(UINT keys, CPoint pt);
    virtual int OnControlLButtonDblClk(UINT keys, CPoint pt);
    virtual int OnControlScroll(int step, UINT down, CPoint pt);
    virtual int OnControlRButtonDown(UINT keys, CPoint pt);
    virtual int OnControlRButtonUp(UINT keys, CPoint pt);
    virtual int OnControlRButtonDblClk(UINT keys, CPoint pt);
    virtual int OnControlKeyDown(UINT key, UINT repeat, UINT modifiers);
    virtual void OnPositionChange();
    virtual void InvalidateRect(const RECT* rect, int erase);

    // Geometry and state
    void SetRect(CRect rect);
    void SetRect(int x, int y, int width, int height);
    CRect GetRect() const { return m_rect; }
    void SetVisible(int visible);
    void SetVisible(int visible, int redraw);
    int IsVisible() const { return m_visible; }
    void SetEnabled(int enabled);
    int IsEnabled() const { return m_enabled; }
    // THE walk up a control's ancestors: every ancestor that is a control, whatever its class
    // (panels and composite controls included), up to the window object at the top (the
    // dialog, a pop-up, or any parent that is not a control). 1 when each of them is visible,
    // 0 when one is hidden or the control has no parent. "Is this control showing" is
    // IsVisible() && IsParentVisible(); code that needs an ancestor walk uses this one
    // rather than comparing class names on its own.
    int IsParentVisible();
    // Visible itself and under visible ancestors: only a showing control answers input.
    int IsShowing() { return m_visible && IsParentVisible(); }
    void UpdateControl(int flag, int force);
    void UpdateControl(CRect rect, int flag, int force);
    void UpdateAControl(int flag, int force);
    LONG SendMessageW(UINT code, UINT wParam, LONG lParam);
    // The same notification from any thread: at once on the window's thread (or without a
    // paint manager), else delivered later on the window's thread (PaintManager::PostNotify).
    void PostToParent(UINT code, UINT wParam, LONG lParam);
    int SetCursorEx(const wchar_t* name);

    void SetRresponse(int response) { m_response = response; }
    int GetRresponse() const { return m_response; }
    void SetTabStop(int tabStop) { m_tabStop = tabStop; }
    int IsTabStop() const { return m_tabStop; }
    void SetDragDrop(int dragDrop) { m_dragSource = dragDrop; }
    int IsDragDrop() const { return m_dragSource; }
    void SetRunTimer(int run) { m_runTimer = run; }
    int IsRunTimer() const { return m_runTimer; }
    int IsFocused() const { return m_focused; }
    int GetDblClk() const { return m_dblClk; }
    int GetUpdate() const { return m_update; }
    int IsKeyDown() const { return m_keyDown; }
    int UseImageECM() const { return m_useImageECM; }
    UINT GetControlID() const { return m_uControlID; }
    // Stores the paint manager (noting this control with it) and calls InitControl.
    void SetManager(PaintManager* manager);
    // Called by a paint manager that goes away while this control still points at it: this
    // control and every descendant that points at it forget it.
    void ForgetManager(PaintManager* gone);
    PaintManager* GetManager() const { return m_manager; }
    void SetParent(MObject* parent) { m_parent = parent; }
    MObject* GetParantObject() const { return m_parent; }
    std::vector<MControl*>& GetControls() { return *m_controls; }
    std::vector<MControl*>& GetAreas() { return *m_areas; }

    // Focus order is defined by containers that have one.
    MControl* GetFocusControl(MControl* current);
    MControl* GetNextFocusableControl(MControl* current);
    MControl* GetPrevFocusableControl(MControl* current);
    int IsFocusControl();
    int OnFocus(int focus);

    // Tree
    MControl* GetControl(UINT id);
    // Removal takes the controls out of the tree and out of the paint manager's hover, focus,
    // capture, timers and tick at once; inside a dispatch they are deleted when it ends
    // (DispatchScope), so a handler may remove the control it runs in or its parent.
    int RemoveControl(MControl* child);
    void RemoveAllControl();
    // The control asks to be deleted: taken out of its parent (a control, or the paint
    // manager's lists) at once and deleted after the current dispatch, at once outside one.
    // From another thread the request goes to the window's thread first.
    void DeleteLater();
    // 1 once the control is out of its tree and waits for deletion: walks skip it.
    int IsRemoved() const { return *m_removed; }
    void AddMTimer();

    // Tooltips
    void SetTooltip(const wchar_t* text);
    void SetTooltip(CString text, CRect rect);
    void ClearTooltip();
    CString GetTooltip() const { return m_tooltip; }
    void SetTooltipCtrlID(int id);
    int GetTooltipCtrlID();

    // Drawing
    void Draw(HDC& dc, CRect paintRect);
    void UpdateMemDC(HDC& dc, int width, int height);
    void UpdateAnimateDC(HDC& dc, int width, int height);
    HBITMAP GetDropBitmap();

    // Input entry points, called by the paint manager on top-level controls and by every
    // control on its children.
    int OnMouseMove(UINT keys, CPoint pt);
    int OnLButtonDown(UINT keys, CPoint pt);
    int OnLButtonUp(UINT keys, CPoint pt);
    int OnLButtonDblClk(UINT keys, CPoint pt);
    int OnRButtonDown(UINT keys, CPoint pt);
    int OnRButtonUp(UINT keys, CPoint pt);
    int OnRButtonDblClk(UINT keys, CPoint pt);
    int OnKeyDown(UINT key, UINT repeat, UINT modifiers);
    int OnKeyUp(UINT key, UINT repeat, UINT modifiers);
    int OnTimer();

    // The child that the pointer is over, or that owns the current press.
    MControl* GetMouseChild() const { return *m_mouseChild; }

protected:
    int PositionItem2Value(const FS_POSITION_ITEM& item, int start, int end);
    // Every control whose OnControlTimer runs on the fast timer (AddMTimer, or a run-timer
    // child of one) calls this first in its destructor. The base destructor takes the control
    // off the tick list only after the derived destructors ran, and a tick meanwhile would run
    // a half-destroyed control. Takes this control and every descendant off the tick list,
    // waiting out a call into them in progress; call it holding no list lock.
    void StopFastTimer();
    // The children (controls list) as they are now, for a walk that calls them with no lock
    // held: a handler may change the list, and a child removed meanwhile IsRemoved.
    WalkCopy childrenNow();

    MObject* m_parent { nullptr };
    PaintManager* m_manager { nullptr };
    UINT m_uControlID { 0 };
    CRect m_rect;
    int m_visible { 0 };
    int m_enabled { 0 };
    int m_dragSource { 0 };
    int m_response { 0 };
    int m_tabStop { 0 };
    int m_dblClk { 0 };
    int m_pressed { 0 };
    int m_keyDown { 0 };
    int m_focused { 0 };
    UINT m_shortcutKey { 0 };
    UINT m_shortcutModifiers { 0 };
    int m_update { 0 };
    int m_animateUpdate { 0 };
    int m_runTimer { 0 };
    int m_run { 0 };
    // Set by a control's export on the caller's thread, read by its tick and paint.
    NotCopied<std::atomic<int>> m_exportBusy;
    int m_useImageECM { 0 };
    NotCopied<std::vector<MControl*>> m_areas;
    NotCopied<std::vector<MControl*>> m_controls;
    CriticalSection m_areasLock;
    CriticalSection m_controlsLock;
    NotCopied<MControl*> m_mouseChild;
    MemoryPicture m_memPicture;
    MemoryPicture m_animatePicture;
    CString m_tooltip;
    HCURSOR m_cursor { nullptr };
    int m_leaveTracking { 0 };
    int m_dblClkNotify { 0 };
    int m_keyNotify { 0 };
    int m_outside { 1 };

private:
    friend class PaintManager;
    enum class Button { Left, Right };
    void copyValuesFrom(const MControl& other);
    // Takes a child out of either list; false when it is in neither.
    bool takeChild(MControl* child);
    // Removed controls (this one and everything below it) wait for deletion.
    void markRemoved();
    // This control and everything below it that holds the focus gives it up (they stopped
    // showing): an open edit ends, a typed key reaches none of them.
    void giveUpFocusBelow();
    static void dispose(MControl* control);
    // Its paint manager is dispatching on this thread: deletions already wait for that.
    bool managerDispatching() const;
    int routeButtonDown(Button button, UINT keys, CPoint pt);
    int routeButtonUp(Button button, UINT keys, CPoint pt);
    int routeDblClk(Button button, UINT keys, CPoint pt);
    int takeButtonDown(Button button, UINT keys, CPoint pt);
    CPoint pointForChild(const MControl* child, CPoint outer, CPoint inner) const;
    MControl* deepestFocusedControl();
    int offerKeyToChildren(UINT key, UINT repeat, UINT modifiers);
    void notifyKey(UINT key, UINT modifiers);
    void deleteChildren(std::vector<MControl*>& list, CriticalSection& lock);
    void deleteChildrenNow();

    NotCopied<int> m_removed;
    void notifyUpdate(CRect rect, int flag);
};

} // namespace KOVA
