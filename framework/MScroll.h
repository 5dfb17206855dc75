#pragma once
// Windowless scroll bars: a range, a position, a page and a row step, the thumb they give,
// and paging and thumb dragging with the mouse. Every move the user makes is reported to the
// parent as notification 8 with the new position; moves made by the owner are silent.
//
// MScroll holds the model, the mouse handling and the image loading once, for either axis;
// CScrollVertical and CScrollHorizontal choose the axis and draw their own pieces. A bare
// MScroll keeps no thumb (its SetRange does nothing), so it never has anything to scroll.
#include "platform/Win32.h"

#include <functional>

#include "framework/MControlFont.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API MScroll : public MControlFont {
public:
    static constexpr UINT kPositionChanged = 8;

    MScroll(MObject* parent, UINT id, CRect rect, int visible);
    MScroll(const MScroll&) = default;
    MScroll& operator=(const MScroll&) = default;

    const wchar_t* GetClassNameW() const override;
    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
    // The library's own strips (a resource of the library module, not of the host) or a skin
    // file; the vertical strip is three columns, the horizontal one three by four.
    int SetImage(UINT resourceId, CString type, int count) override;
    int SetImage(const wchar_t* path, int count) override;

    // Moves the thumb by delta pixels, the position following; returns the delta applied.
    virtual int MoveRange(int delta);
    // Recompute the thumb from the position (in range units, or for SetRangeEx in content
    // pixels); both return the position. SetRange also asks the parent to repaint the bar.
    virtual int SetRange();
    virtual int SetRangeEx();

    // Range, position, page and step. A new range puts the position back to 0 while the
    // reset flag is set (0 after construction).
    int SetScrollMaxRange(int range);
    void SetScrollReset(int reset) { m_resetOnRange = reset; }
    int GetScrollReset() const { return m_resetOnRange; }
    int GetScrollMaxRange() const { return m_range; }
    int SetScrollCurrentPos(int pos);
    int SetScrollCurrentPosEx(int pos);
    int GetScrollCurrentPos() const { return m_position; }
    int SetScrollSize(int page, int step);
    int GetScrollSize() const { return m_page; }
    int GetScrollStep() const { return m_step; }
    int SetScrollInfo(int range, int pos, int page, int step);
    int ScrollRow(int rows);
    int SetScrollFinalPos();
    // 1 while a move made by the user is being reported.
    int IsChangeing() const { return m_changing; }
    // 1 when the page is smaller than the range: only then does the bar draw or take input.
    int IsScrollNeeded() const { return m_needed; }
    CRect GetThumbRect() const { return m_thumb; }
    void GetImageSize(int& frameWidth, int& frameHeight) const;

protected:
    enum class Axis { Vertical, Horizontal };
    // What the pointer is on.
    enum Part { PartNone = 0, PartThumbHover = 1, PartThumbDragged = 2 };

    MScroll(MObject* parent, UINT id, CRect rect, int visible, Axis axis);

    // The concrete bars' SetRange (range units, with a repaint request) and SetRangeEx
    // (content pixels) and MoveRange.
    int LayOutThumb(bool contentPixels);
    int LayOutThumbAndRepaint();
    int MoveThumb(int delta);
    // Rebuilds the memory picture when stale (the target's pixels under the bar, then
    // drawPieces in window coordinates when the bar has something to scroll) and copies it
    // to the target.
    void DrawBar(HDC& dc, const std::function<void(Gdiplus::Graphics&)>& drawPieces);

    Axis m_axis { Axis::Vertical };
    int m_part { PartNone };
    int m_hover { 0 };
    int m_needed { 0 };
    int m_arrowSize { 0 };
    int m_range { 1000 };
    int m_position { 0 };
    int m_page { 0 };
    int m_step { 10 };
    CRect m_thumb;
    int m_autoPage { 0 };
    int m_resetOnRange { 0 };
    int m_changing { 0 };
    // Coordinate along the axis where the drag last moved the thumb from; -1 when no drag.
    int m_dragFrom { -1 };
    int m_frameWidth { 0 };
    int m_frameHeight { 0 };

private:
    struct ThumbGeometry {
        int track { 0 };   // the bar's length without the arrows
        int length { 0 };  // the thumb's length
        int travel { 0 };  // how far the thumb can move: track - length
    };
    ThumbGeometry thumbGeometry() const;
    void chooseAutomaticPage();
    int positionAtThumb() const;
    int pagePixels() const;
    int barStart() const;
    int barEnd() const;
    int barLength() const;
    int along(CPoint pt) const;
    int thumbStart() const;
    int thumbEnd() const;
    CRect thumbAt(int start, int length) const;
    void layArrow(MControl* arrow);
    int setPart(int part);
    int takeStrip(const ImgResInfo* record, int count);
};

class KOVA_API CScrollVertical : public MScroll {
public:
    CScrollVertical(MObject* parent, UINT id, CRect rect, int visible);

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    int MoveRange(int delta) override;
    int SetRange() override;
    int SetRangeEx() override;

private:
    void drawPieces(Gdiplus::Graphics& graphics);
    void drawColumn(Gdiplus::Graphics& graphics, const CRect& rect, int column);
};

class KOVA_API CScrollHorizontal : public MScroll {
public:
    CScrollHorizontal(MObject* parent, UINT id, CRect rect, int visible);

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    int MoveRange(int delta) override;
    int SetRange() override;

private:
    void drawPieces(Gdiplus::Graphics& graphics);
};

} // namespace KOVA
