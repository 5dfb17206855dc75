#pragma once
// The colour wheel: a skin image of a wheel with a small round thumb dragged over it; the
// colour drawn under the thumb becomes the selected colour. The wheel's pixels are read back
// once, at the first drawing, into a table of the control's top-left 200 × 200 pixels.
//
// GUI thread only.
#include "platform/Win32.h"

#include "controls/input/PixelTable.h"
#include "framework/MControlFont.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API CirclePalette : public MControlFont {
public:
    CirclePalette(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    void SetControlRect(CRect rect) override;
    // A press starts the drag and moves the thumb; moves of more than 5 px from the last
    // thumb centre follow it; the release reports code 2.
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;

    unsigned long GetSelectColor() const { return m_selected; }
    // Moves the thumb to the first table pixel within 1 of the colour, when there is one.
    void SetSelectColor(unsigned long colour);
    // Within the wheel's radius, the thumb goes to the point and takes the colour drawn there
    // (0x1B with the colour in lParam when the thumb moved). Returns 0.
    int MoveThumbPos(CPoint point);
    // From the control's centre, truncated.
    int GetDistanse(CPoint point);

    CRect GetThumbRect() const { return m_thumb; }

private:
    void repaint() { UpdateControl(1, 0); }
    void drawThumb(Gdiplus::Graphics& graphics) const;

    static constexpr int kTableSide = 200;
    int m_state { 0 };
    CRect m_thumb;
    unsigned long m_selected { 0xFF };
    CPoint m_centre;
    PixelTable m_table { kTableSide, kTableSide };
};

} // namespace KOVA
