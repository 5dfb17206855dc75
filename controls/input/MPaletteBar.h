#pragma once
// The colour bar: a rounded horizontal bar shaded from near-black to a base colour the host
// sets; dragging along it picks the drawn pixel under the pointer. Its pixels are read back at
// every redraw of its picture into a table of the control's top-left 500 × 50 pixels.
//
// GUI thread only.
#include "platform/Win32.h"

#include "controls/input/PixelTable.h"
#include "framework/MControlFont.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API MPaletteBar : public MControlFont {
public:
    MPaletteBar(MObject* parent, UINT id, CRect rect, int visible);

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    void SetControlRect(CRect rect) override;
    // A drag with the left button picks (0x1B), the release inside picks and reports code 2.
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
    // The wheel stops here.
    int OnControlScroll(int step, UINT down, CPoint pt) override;

    // The colour picked last.
    unsigned long GetSelectColor() const { return m_picked; }
    // The bar's right-hand colour; the marker moves toward that end. The pick stays.
    void SetSelectColor(unsigned long colour);

    // Where the marker ring was last drawn, relative to the control.
    CPoint GetMarkerPoint() const { return m_marker; }

private:
    void repaint() { UpdateControl(1, 0); }
    void drawBar(Gdiplus::Graphics& graphics, int width, int height) const;
    void drawMarker(Gdiplus::Graphics& graphics, int width, int height);

    unsigned long m_picked { 0xFF };
    unsigned long m_base { 0xFF };
    CPoint m_marker;
    PixelTable m_table { 500, 50 };
};

} // namespace KOVA
