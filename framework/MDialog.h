#pragma once
// The host's main window base: a native window without caption or frame whose whole client
// area a paint manager paints and whose controls report here. The host overrides InitUI
// (build the controls), UISize (follow the size) and OnMessage (hear the controls), and ends
// the window with DoOK and its siblings, which ShowModal turns into its result.
#include "platform/Win32.h"

#include <vector>

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

class KOVA_API MDialog : public MWindow, public MObject {
public:
    MDialog() = default;
    // A copy takes the colours, alpha, offsets and ids; it has no window and a paint manager
    // of its own, empty and unbound.
    MDialog(const MDialog&) = default;
    MDialog& operator=(const MDialog&) = default;
    ~MDialog() override;

    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    // Binds the paint manager, then InitUI with the client rectangle.
    BOOL OnInitDialog() override;
    void OnDestroyMessage(HWND hwnd) override;

    // The balloon-tip anchor under a control (mode 1 middle, 2 right end, else left end),
    // in screen coordinates.
    virtual POINT GetAirBladderPoint(MControl* control, UINT mode);
    virtual void OnMinimize();
    virtual void OnMaximize();

    // Host hooks
    virtual void InitUI(CRect rect);
    virtual void UISize(CRect rect);
    // Every control notification of the window arrives here.
    virtual LRESULT OnMessage(UINT id, UINT code, UINT wParam, LONG lParam);

    // Message handlers: the window messages reach them before the paint manager, which
    // decides the result. The ones for messages that never reach them here are hooks that
    // derived windows call themselves.
    virtual LRESULT OnUserCloseWindow(WPARAM wParam, LPARAM lParam);
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
    virtual int OnWindowPosChanging(WINDOWPOS* position);
    virtual int OnWindowPosChanged(WINDOWPOS* position);
    virtual int OnPaint();
    virtual void OnTimer(UINT id);
    virtual int OnNcPaint();
    virtual int OnClose();
    virtual int OnDestroy();
    virtual int PostNcDestroy();

    // MObject side
    const wchar_t* GetClassNameW() const override;
    LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    LONG OnControlUpdate(CRect rect, int flag, MControl* control) override;

    // Paint manager settings
    int LoadBKImage(CString path);
    int LoadBKImage(UINT resourceId, CString type);
    void SetBackMode(enumBackMode mode, int border);
    void SetScrollResID(UINT vertical, UINT horizontal);
    void SetLayeredWindow(BOOL layered);
    void EnableWndDrag(BOOL enable);
    PaintManager* GetPaintManager() { return &*m_paintManager; }

    // Overlays and tips. An empty rectangle puts the message at the bottom centre.
    void SetMessage(CString text, CRect rc, MsgLevel level);
    void SetProgress(int value, CString text, CRect rc);
    void SetTooltip(CString text, CRect rc);
    void ClearTooltip();
    // The paint manager's balloon tip below a screen point, shown; 0 and nothing for a point
    // with a zero coordinate. A null text counts as empty.
    int SetAirBladderMsg(const wchar_t* text, POINT screenPoint, AIRBLADDER_TYPE type);
    void SetTooltipCtrlID(int id) { m_tooltipCtrlID = id; }
    int GetTooltipCtrlID() const { return m_tooltipCtrlID; }

    // Controls
    MControl* GetControl(UINT id);
    // The window factory, with this window as the new control's parent.
    MControl* CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible,
                         int enabled);
    MControl* CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible,
                            int enabled);
    std::vector<MControl*>* GetControls();
    void SetFocusControl(MControl* control);

    // The paint manager's own fast timer.
    void SetMTimer(UINT period);
    void KillMTimer(UINT id);

    // Closing: the window gets message 0x442 with 1, 2, 2, 6 or 7 and closes with it.
    void DoOK();
    void DoCancel();
    void DoClose();
    void DoYes();
    void DoNo();

    void SetupBackTranslucent();

protected:
    void SetupRegion(int radius);
    // The message rectangle SetMessage uses when it is given an empty one.
    CRect DefaultMessageRect();

    NotCopied<PaintManager> m_paintManager;
    COLORREF m_colorKey { 0x00FFFFFF };
    int m_alpha { 255 };
    int m_messageOffset { 0 };
    CRect m_clientRect;

private:
    void postResult(WPARAM result);
    void readClientRect();

    int m_tooltipCtrlID { 0 };
};

} // namespace KOVA
