#pragma once
// Base of every composite or scrolling control. Its first two children are its own vertical
// and horizontal scroll bars (control ids 1 and 2); the other children live in a content area
// that may be larger than the panel (the virtual size) and is shifted by the bars' positions.
// The panel turns mouse points into content coordinates (the bars keep window coordinates),
// turns the wheel into vertical scrolling, passes its children's notifications on with their
// own ids, and answers its children's repaint requests itself by invalidating its rectangle.
// It does not lay out its children: they keep the rectangles they were given.
#include "platform/Win32.h"

#include "framework/MControlFont.h"
#include "framework/MScroll.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class KOVA_API MPanel : public MControlFont {
public:
    MPanel(MObject* parent, UINT id, CRect rect, int visible);
    // A copy takes the value fields and gets scroll bars of its own; no other children.
    MPanel(const MPanel& other);
    // Takes the value fields; keeps its own bars and children.
    MPanel& operator=(const MPanel& other);
    // Its ticking children leave the tick list before anything of the panel goes.
    ~MPanel() override;

    const wchar_t* GetClassNameW() const override;
    LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    LONG OnControlUpdate(CRect rect, int flag, MControl* control) override;
    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    void SetUpdate(int update, DWORD param) override;
    int OnMousePointChange(CPoint& pt) override;
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Passes the notification to the parent unchanged; composite controls override it to
    // handle their children's notifications.
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    void SetControlVisible(int visible) override;
    void SetControlEnabled(int enabled) override;
    int OnControlScroll(int step, UINT down, CPoint pt) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT modifiers) override;

    // Factory: a new child of the named class in the areas list (CreateArea) or the controls
    // list; kind 0 areas, 1 controls, any other value no list (the caller owns it). Null for
    // a name the panel does not know.
    virtual MControl* CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int a, int b);
    virtual MControl* CreateControl(UINT kind, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                    const wchar_t* title, int a, int b);
    virtual MControl* CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int a,
                                    int b);
    virtual int OnControlKeyUp(UINT key, UINT repeat, UINT modifiers);

    // Depth first: controls list, then areas.
    MControl* GetControl(UINT id);

    // Content
    void SetVirtualHeight(int height) { m_virtualHeight = height; }
    int GetVirtualHeight() const { return m_virtualHeight; }
    void SetVirtualWidth(int width) { m_virtualWidth = width; }
    int GetVirtualWidth() const { return m_virtualWidth; }
    void SetEnableScroll(int enable) { m_enableScroll = enable; }
    int GetEnableScroll() const { return m_enableScroll; }
    CScrollVertical* GetScrollVertical() const { return *m_scrollVertical; }
    CScrollHorizontal* GetScrollHorizontal() const { return *m_scrollHorizontal; }
    // How far the content is scrolled, computed from the bars: 0 along an axis whose content
    // fits the panel.
    CPoint GetScrollOffset() const;

protected:
    // Off this thread (a fast-timer tick) the panel never walks its lists: it marks and posts.
    bool IsOnGuiThread() const;

    int m_initialised { 0 };
    int m_virtualHeight { 0 };
    int m_virtualWidth { 0 };
    NotCopied<CScrollVertical*> m_scrollVertical;
    NotCopied<CScrollHorizontal*> m_scrollHorizontal;
    int m_barInset { 5 };
    int m_enableScroll { 1 };
    // The offsets (pixels) the content is shown with, for the subclasses' drawing and hit
    // tests. Along an axis whose content is larger than the panel, the panel writes them
    // each time it translates a point, scrolls or answers a child's repaint request; a list
    // that scrolls its rows itself (virtual size 0) writes them at each paint, and the panel
    // leaves them alone.
    int m_scrollOffsetY { 0 };
    int m_scrollOffsetX { 0 };
    // The vertical offset the subclass last painted with; only subclasses write it.
    int m_drawnOffsetY { 0 };

private:
    void createBars();
    void copyValuesFrom(const MPanel& other);
    bool contentExceedsPanel() const;
    // GetScrollOffset, also kept in the offset fields along the axes that scroll.
    CPoint refreshScrollOffsets();
    void markChildrenAbove(const MControl* requester, const CRect& rect, CRect& dirty);
    MControl* findDescendant(std::vector<MControl*>& list, CriticalSection& lock, UINT id);
};

} // namespace KOVA
