#pragma once
// The per-window engine of the windowless toolkit: binds a tree of controls to one window,
// owns the top-level controls, tracks hover, focus and capture, and serves the controls
// (repaint requests, timers, tooltips, caret, caches, drag and drop).
//
// Threads: everything here belongs to the window's (GUI) thread, except what is marked
// "any thread": IsGuiThread, Invalidate, InvalidateRect, OnControlUpdate, PostNotify,
// PostControlUpdate, PostMarkStale, PostRun, AddMTimer, DeleteFSTimer and the tick (OnMTimer).
// On any other thread these take no list lock: they mark the requester and hand the rest
// (invalidation, marking of the items above, notifications) to the window's thread, which
// serves it in order. A control raising a notification from a fast-timer tick uses
// MControl::PostToParent, never a direct call up the tree.
//
// Locks: a walk that calls controls copies the list under its lock and calls them with no lock
// held, so a handler may remove what it likes while the tick takes the lists it walks; other
// walks take one list lock at a time (areas, released, then controls), then the controls' own
// list locks below them. The tick holds no lock of the paint manager while a control runs
// (see FastTimerList). A control leaves the tick list, waiting out a call into it, before it
// is deleted; inside a dispatch the deletion itself waits for the dispatch (DispatchScope).
#include "platform/Win32.h"

#include <map>
#include <memory>
#include <unordered_set>
#include <vector>

#include "framework/BackBuffer.h"
#include "framework/CIDropTarget.h"
#include "framework/DispatchScope.h"
#include "framework/FastTimerList.h"
#include "framework/FontCache.h"
#include "framework/ImgResInfo.h"
#include "framework/KVTimer.h"
#include "framework/PostedQueue.h"
#include "platform/CPoint.h"
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

// The kind of a balloon tip: only 4 changes anything (such a tip never hides on its own).
enum AIRBLADDER_TYPE {
    AirBladderTypeDefault = 1,
    AirBladderTypeNoAutoHide = 4,
    AirBladderTypeButton = 5,
};

// Where a balloon tip sits relative to its anchor point; any other value gives it no area.
enum AIRBLADDER_MODE {
    AirBladderModeNone = 0,
    AirBladderModeRight = 1,
    AirBladderModeLeft = 2,
    AirBladderModeBelow = 3,
    // The text is always centred.
    AirBladderModeAbove = 4,
    // Stays shown when the tip loses the focus.
    AirBladderModeRightStay = 5,
};

namespace KOVA {

class CaretOwner;
class MAirBladder;
class MControl;
class MObject;
class MWindow;

// Level of a message overlay: kept with the text; the host chooses the values.
enum MsgLevel {
    MsgLevelInfo = 0,
    MsgLevelWarning = 1,
    MsgLevelError = 2,
};

// One window timer of a control: the Win32 timer id the paint manager gave to the pair
// (control, the id the control chose). Killing it only marks it, so that setting it again
// re-arms the same Win32 id.
struct TimerInfo {
    HWND window { nullptr };
    UINT localId { 0 };
    UINT windowTimerId { 0 };
    int killed { 0 };
    MControl* control { nullptr };
};

class KOVA_API PaintManager : public KVTimer, public CIDropTarget {
public:
    PaintManager() = default;
    // A copy takes the settings only: unbound (no window, owner nor thread), no controls, no
    // handles, locks of its own.
    PaintManager(const PaintManager&) = default;
    PaintManager& operator=(const PaintManager&) = default;
    ~PaintManager() override;

    void OnMTimer(UINT id) override;

    // Binding and teardown
    void Init(HWND window, MWindow* owner);
    void OnDestroyMessage(HWND window);
    void DestroyData();
    // The window goes but the controls stay (a pop-up, shown again later in a new window):
    // the fast timer, the window timers, what waits to be posted, the drop target and the DC
    // go with the window. Init binds the next one afresh.
    void DetachWindow(HWND window);

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
    // The mouse for the control being pressed, asked by its press handler (a rubber band that
    // follows the pointer out of its control): until the button is released every move goes to
    // that control, wherever the pointer is. Sets the captured flag routing reads; null
    // without a live window.
    HWND SetCapture();
    // Gives the mouse back and clears the captured flag; 0 without a live window.
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
    enumBackMode GetBackMode() const { return m_backMode; }
    int GetBackBorder() const { return m_backBorder; }
    void SetBackColor(COLORREF back, COLORREF border);

    // The window factory: a control of the named class, attached to this paint manager and put
    // into the areas list (kind 0) or the controls list (kind 1); any other kind leaves it to
    // the caller. Null for an unknown name.
    MControl* CreateControl(UINT kind, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                            const wchar_t* title, int a, int b);
    MControl* CreateArea(MObject* parent, const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                         int a, int b);
    MControl* CreateControl(MObject* parent, const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                            int a, int b);

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

    // Balloon tips: one tip window per paint manager, made on first use and owned.
    int SetAirBladderMsg(const wchar_t* text, POINT anchor, AIRBLADDER_TYPE type, AIRBLADDER_MODE mode);
    // 0 without a tip. A non-zero tag becomes the tip's owner, and only the owner may hide it.
    int ShowAirBladder(int show, int tag);
    MAirBladder* GetAirBladder() const { return m_balloon->get(); }

    // Image and font caches: each skin image, resource image and font family is loaded once
    // per window and released with it (DestroyData). The caches own what they hand out;
    // controls keep the image pointers and clone the families. A frame count below 1 fails.
    ImgResInfo* AddImgResInfo(const wchar_t* path, int frameCount);
    // host non-zero: a resource of the host module (Manager::GetInstance); 0: the library's.
    ImgResInfo* AddImgResInfo(UINT id, CString type, int frameCount, int host);
    void ClearImgResInfo();
    // Registers the library's "ttf" resource with GDI for this process until ClearTempFont.
    void AddGDITempFont(UINT id);
    // The first family of the font file, or of the library's "ttf" resource, under the name
    // (a name added again replaces the older family); null on failure.
    Gdiplus::FontFamily* AddTempFont(const wchar_t* family, const wchar_t* path);
    Gdiplus::FontFamily* AddTempFont(const wchar_t* family, UINT id);
    // An added family, else the installed one of that name; null when neither exists.
    Gdiplus::FontFamily* FindTempFont(const wchar_t* family);
    // What a control that draws text should ask for: FindTempFont, or when the face is
    // missing (as the product's own fonts are on most machines) a generic sans-serif family,
    // so that the text still shows. Null only when GDI+ finds no font at all.
    Gdiplus::FontFamily* FindTempFontOrFallback(const wchar_t* family);
    void ClearTempFont();

    // The fast timer: one multimedia timer whose ticks call every registered control on the
    // timer thread. A control leaves the list before it is destroyed; DeleteFSTimer (any
    // thread) waits out a call into that control in progress.
    void SetMTimer(UINT period);
    void KillMTimer(UINT id);
    void KillMTimer();
    int AddMTimer(MControl* control);
    int DeleteFSTimer(MControl* control);

    // Called by every control as it goes away: nothing here may point at it afterwards.
    void ForgetControl(MControl* control);
    // Called by every control given this paint manager. A control may outlive it (a host's
    // own control, kept after its window object is gone): when the paint manager goes first,
    // such a control and everything below it forget it (MControl::ForgetManager).
    void NoteControl(MControl* control);
    // The same for a control and everything below it, before it is deleted: after this no
    // tick, timer, hover, focus or caret reaches the subtree.
    void ForgetControlTree(MControl* root);
    // The window object that holds this paint manager goes (a host may delete it from a
    // notification): every control that reports to it (in the lists, noted, or waiting for
    // deletion) loses it as parent, so code that runs on after the notification reaches no
    // freed window. The paint manager's destructor, right after, makes them forget it.
    void OrphanControls(const MObject* window);

    // Message routing: the window classes hand every message here.
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // 1 when Tab navigation consumed the message.
    int PreTranslateMessage(MSG* msg);
    int OnGetMinMaxInfo(MINMAXINFO* info);
    int OnNcActivate(BOOL active);
    int OnWindowPosChanged(WINDOWPOS* position);

    // Notifications raised off the window's thread (any thread): on the window's thread the
    // control's SendMessageW runs at once; elsewhere the notification waits for the window's
    // thread, which delivers it in order. Dropped when the control is forgotten first, or
    // when there is no window.
    void PostNotify(MControl* control, UINT code, UINT wParam, LONG lParam);
    // The part of a repaint request that walks lists, handed to the window's thread (any
    // thread): there it becomes receiver->OnControlUpdate(rect, 0, requester), or this paint
    // manager's own for a null receiver. Repeated requests of one requester are joined.
    void PostControlUpdate(MObject* receiver, CRect rect, MControl* requester);
    // control->SetUpdate(update, param) on the window's thread (any thread).
    void PostMarkStale(MControl* control, int update, DWORD param);
    // run(control, context) on the window's thread (any thread): at once there; elsewhere in
    // order after what was posted before it. For what must not happen off the window's thread,
    // such as moving or showing a native window from a tick (a cross-thread SendMessage).
    // Dropped when the control is forgotten first, or when there is no window.
    using RunProc = PostedQueue::RunProc;
    void PostRun(MControl* control, RunProc run, void* context);

    // Invalidation and painting
    // Whether the caller runs on the bound window's thread (true while unbound). Repaint
    // requests raised on any other thread (the fast timer's) take no list lock.
    bool IsGuiThread() const;
    void Invalidate();
    void InvalidateRect(CRect rect, int erase);
    LONG OnControlUpdate(CRect rect, int flag, MControl* control);
    int OnPaint();
    void SetMessage(CString text, CRect rect, MsgLevel level);
    void SetProgress(int percent, CString text, CRect rect);

    // The caret of a layered window, drawn for its owner (the windowless rich edit)
    int CreateCaret(HBITMAP bitmap, int width, int height);
    int SetCaretPos(CaretOwner* owner, int x, int y);
    int ShowCaret(int show);
    CaretOwner* GetCurrentCaretObject() const { return *m_caretOwner; }
    // Client coordinates; 1 while the blink phase has the caret drawn; 1 while it is shown.
    CRect GetCaretRect() const { return m_caretRect; }
    int GetCaretPhase() const { return m_caretPhase; }
    int IsCaretShown() const { return m_caretShown; }
    void DrawCaret(HDC dc, const CRect& paintRect);

    // Window timers (WM_TIMER)
    void OnTimer(UINT id);

    // Window timers of controls: Win32 timers of this window, delivered on the GUI thread to
    // MControl::OnTimer. Ids are taken in turn from 1 to 239, never a reserved one nor one
    // still held by a record. Each returns 1 on success, 0 otherwise.
    static constexpr UINT kCaretTimerId = 6553;
    static constexpr UINT kMessageHoldTimerId = 66;
    static constexpr UINT kOverlayFadeTimerId = 88;
    static constexpr UINT kProgressTimerId = 99;
    // 0 for a (control, local id) already running: it keeps its period.
    int SetTimer(MControl* control, UINT localId, UINT elapse);
    int KillTimer(MControl* control, UINT localId);
    // Forgets every timer of the control.
    void KillTimer(MControl* control);
    void ClearTimers();

    // Drag and drop: the window is an OLE drop target from Init until DestroyData, and a
    // dropped DIB, bitmap, enhanced metafile or bitmap file reaches the window as an HBITMAP
    // in STM_SETIMAGE (IMAGE_BITMAP) right after a WM_LBUTTONUP at the cursor.
    // 1 when the window was registered as a drop target.
    int InitDragDrop();
    // OLE lets go of this target. A window whose object outlives it calls this while the
    // window still exists (WM_NCDESTROY): once the window is gone it cannot be revoked.
    void RevokeDropTarget();
    bool OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD* effect) override;
    // A 32-bit bottom-up DIB section of part of a control, part relative to the control's
    // top-left corner; for the controls' GetControlDropBitmap. The colour is not read.
    HBITMAP GetDropBitmap(MControl* control, const CRect& part, COLORREF colour);

protected:
    int OnCreate(CREATESTRUCTW* create);
    int OnSize(UINT type, int width, int height);
    int OnMouseHover(UINT keys, LPARAM lParam);
    int OnNcHitTest(CPoint pt);
    int OnNcCalcSize(BOOL calcValid, NCCALCSIZE_PARAMS* params);
    int OnWindowPosChanging(WINDOWPOS* position);
    int OnNcPaint();
    int OnDestroy();
    int PostNcDestroy();
    int OnMouseMove(UINT keys, CPoint pt);
    int OnMouseLeave(UINT keys, LPARAM lParam);
    int OnMouseWheel(UINT keys, short delta, CPoint pt);
    int OnLButtonDown(UINT keys, CPoint pt);
    int OnLButtonUp(UINT keys, CPoint pt);
    int OnLButtonDblClk(UINT keys, CPoint pt);
    int OnRButtonDown(UINT keys, CPoint pt);
    int OnRButtonUp(UINT keys, CPoint pt);
    int OnRButtonDblClk(UINT keys, CPoint pt);
    int OnKeyDown(UINT key, LPARAM lParam);
    int OnKeyUp(UINT key, LPARAM lParam);
    void DrawBackImage(Gdiplus::Graphics& graphics, CRect client);
    // The modifier value controls see with a key: 18 with Alt, 17 with Ctrl, 16 with Shift, OR-ed.
    static UINT KeyModifiers();
    void DrawControl(HDC& dc, CRect paintRect);
    // Draws the window's picture into a 32-bit bottom-up DIB selected into memory: what
    // OnPaint presents. A layered window's per-pixel alpha cannot be read back from the
    // screen, so this is where it can be looked at.
    void renderBackBuffer(HDC memory, BYTE* bits, const CRect& client, const CRect& update);

private:
    friend class MControl;
    // A stretch of a paint manager's code that calls out, as a dispatch: a handler may delete
    // the window object that holds the paint manager (a host deleting its dialog from a
    // click). Alive() is false after that, and the code touches nothing of it on the way out.
    // The drop-target side notes the end of the whole object (CIDropTarget). While one runs,
    // the controls' routing steps need no dispatch of their own (MControl).
    // The count of frames (m_dispatching) ends with the scope, also when an unwind skips it.
    class Frame {
    public:
        explicit Frame(PaintManager& manager)
            : m_manager(manager), m_dispatch(*manager.m_dispatching, static_cast<const CIDropTarget*>(&manager))
        {
        }
        Frame(const Frame&) = delete;
        Frame& operator=(const Frame&) = delete;
        bool Alive() const { return !m_dispatch.Gone(static_cast<const CIDropTarget*>(&m_manager)); }

    private:
        PaintManager& m_manager;
        DispatchScope m_dispatch;
    };
    NotCopied<int> m_dispatching;
    enum class Walk { Forward, Backward };
    // The top-level controls as they are now, for a walk that calls them with no lock held.
    WalkCopy controlsNow();
    // Takes a control out of the areas or controls list; false when it is in neither.
    bool takeControl(MControl* control);
    HWND takeCapture();
    MControl* nextFocusable(Walk direction);
    void clearList(std::vector<MControl*>& list, CriticalSection& lock);
    void releaseWindowDC();
    void destroyTooltipWindow();
    bool createTooltipWindow(const wchar_t* text);
    void deleteBackgroundImage();
    int adoptBackground(Gdiplus::Image* image);
    bool isLiveWindow() const;
    // What other threads hand to the window's thread (PaintManagerPost.cpp).
    static UINT PostedMessage();
    void postInvalidate(const RECT* area);
    void postRecord(const PostedQueue::Record& record);
    void servePosted();
    void serveRecord(const PostedQueue::Record& record);
    // Painting, overlay and caret
    struct BackgroundPixels {
        COLORREF back { 0 };
        COLORREF border { 0 };
        DWORD interior { 0 };
        DWORD edge { 0 };
        bool valid { false };
    };
    static BackgroundPixels probeBackgroundPixels(COLORREF back, COLORREF border);
    void fillPlainBackground(BYTE* bits, const CRect& client, const CRect& paintRect);
    void drawOverlay(Gdiplus::Graphics& graphics);
    void startWindowTimer(UINT id, UINT elapse);
    void stopWindowTimer(UINT id);
    void stopCaretBlink();
    bool serveReservedTimer(UINT id);
    void onCaretBlink();
    void onMessageHeld();
    void onOverlayFade();
    void onProgressStep();
    // Window timers
    TimerInfo* findWindowTimer(MControl* control, UINT localId);
    UINT allocateWindowTimerId();
    bool windowTimerIdTaken(UINT id) const;
    std::vector<TimerInfo> armedTimersWithId(UINT id);
    bool isStillArmed(const TimerInfo& timer);
    void stopRecordedTimer(const TimerInfo& timer);
    bool moveStartsDrag(UINT keys, CPoint pt);
    void startControlDrag();
    // false when a focus-loss handler deleted the window object.
    bool dropFocusUnlessHovered();
    void focusPressed(MControl* hover);
    void captureFor(MControl* hover, UINT keys, CPoint pt);
    void armDrag(MControl* hover);
    void releaseHeldCapture();
    void routeRelease(CPoint pt, int (MControl::*entry)(UINT, CPoint), UINT keys);
    bool offerNotch(UINT direction, CPoint pt);
    // Drag and drop
    HBITMAP GenerateBitmap(MControl* control, const CRect& rect, DWORD argb);
    HBITMAP snapshot(MControl* control, CSize canvas, const CRect& source);
    bool deliverPicture(HBITMAP picture);
    void deliverMadePicture(HBITMAP picture);
    void runControlDrag();
    void detachNotedControls();

    // What binds the paint manager to its window: read like the value, never copied.
    template <class T>
    class Binding {
    public:
        Binding() = default;
        Binding(const Binding&) {}
        Binding& operator=(const Binding&) { return *this; }
        Binding& operator=(T value)
        {
            m_value = value;
            return *this;
        }
        operator T() const { return m_value; }

    private:
        T m_value {};
    };

    Binding<MWindow*> m_owner;
    NotCopied<int> m_initialised;
    Binding<HWND> m_hWnd;
    Binding<DWORD> m_guiThread;
    NotCopied<HDC> m_hDC;
    COLORREF m_backColor { 0x050505 };
    COLORREF m_borderColor { RGB(189, 48, 255) };
    CRect m_captionRect;
    int m_maxWidth { 0 };
    int m_maxHeight { 0 };
    int m_minWidth { 0 };
    int m_minHeight { 0 };
    // Where the press that armed a drag was.
    int m_dragStartX { 0 };
    int m_dragStartY { 0 };
    int m_dragArmed { 0 };
    NotCopied<HBITMAP> m_dragBitmap;
    // Where the STM_SETIMAGE of a dropped picture went: 1 it reached this paint manager and no
    // control took it, 2 a control took it; 0 the window answered it itself.
    NotCopied<int> m_pictureRoute;
    // The window OLE holds this drop target for, until it is revoked.
    NotCopied<HWND> m_dropWindow;
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
    // The press handler asked for the mouse (SetCapture): moves go to the hover control alone.
    int m_captureAsked { 0 };
    int m_windowDrag { 1 };
    UINT m_scrollVID { 0 };
    UINT m_scrollHID { 0 };
    COLORREF m_defaultEnabledColor { 0x808080 };
    NotCopied<MControl*> m_hoverControl;
    NotCopied<MControl*> m_focusControl;
    int m_tooltipCtrlID { 0 };
    NotCopied<HWND> m_tooltipWnd;
    // Balloon tip: its window goes with it.
    struct KOVA_API BalloonDeleter {
        void operator()(MAirBladder* balloon) const;
    };
    NotCopied<std::unique_ptr<MAirBladder, BalloonDeleter>> m_balloon;
    NotCopied<int> m_balloonOwnerTag;
    NotCopied<std::vector<MControl*>> m_areas;
    NotCopied<std::vector<MControl*>> m_controls;
    // Every control that points at this paint manager; guarded by its own lock, under which
    // nothing else is taken.
    NotCopied<std::unordered_set<MControl*>> m_notedControls;
    CriticalSection m_notedLock;
    NotCopied<FastTimerList> m_fastTimers;

    // Image and font caches
    struct ImgResInfoDeleter {
        void operator()(ImgResInfo* record) const
        {
            if (record)
                delete record->m_pImage;
            delete record;
        }
    };
    using OwnedImgResInfo = std::unique_ptr<ImgResInfo, ImgResInfoDeleter>;
    void loadFontFolder();
    NotCopied<std::map<CString, OwnedImgResInfo>> m_imagesByPath;
    NotCopied<std::map<UINT, OwnedImgResInfo>> m_hostImages;
    NotCopied<std::map<UINT, OwnedImgResInfo>> m_libraryImages;
    NotCopied<FontCache> m_fonts;
    CriticalSection m_areasLock;
    CriticalSection m_controlsLock;
    CriticalSection m_imageLock;
    CriticalSection m_timerLock;
    CriticalSection m_fontLock;
    enumBackMode m_backMode { BackModeStretch };
    int m_backBorder { 4 };
    NotCopied<CString> m_tooltipText;
    CString m_overlayText;
    MsgLevel m_overlayLevel { MsgLevelInfo };
    int m_overlayAlpha { 0 };
    int m_shownProgress { 0 };
    int m_targetProgress { 0 };
    CString m_overlayFontName { L"Alibaba-PuHuiTi" };
    CRect m_overlayRect;
    CRect m_caretRect;
    int m_caretPhase { 0 };
    int m_caretShown { 0 };
    NotCopied<CaretOwner*> m_caretOwner;
    // The owner's control, kept for its removal: by then the owner is no longer one to ask.
    NotCopied<MControl*> m_caretControl;
    NotCopied<PostedQueue> m_posted;
    NotCopied<BackBuffer> m_backBuffer;
    NotCopied<BackgroundPixels> m_backgroundPixels;
    NotCopied<std::vector<TimerInfo>> m_windowTimers;
};

} // namespace KOVA
