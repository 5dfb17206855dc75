#pragma once
// The colour field: hue across, lightness down (at full saturation), a narrow saturation strip
// to its right and a pointer image beside the strip marking the saturation. The field and the
// strip are computed into an off-screen 32-bit picture and stretched onto the control; the
// field only when the control is laid out, the strip when hue or lightness change.
//
// GUI thread only.
#include "platform/Win32.h"

#include <memory>

#include "framework/BackBuffer.h"
#include "framework/MControlFont.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class KOVA_API MPalette : public MControlFont {
public:
    MPalette(MObject* parent, UINT id, CRect rect, int visible);
    // A copy takes the colour and the layout; it makes its own picture when initialised and
    // has no pointer image.
    MPalette(const MPalette& other);
    MPalette& operator=(const MPalette& other);
    ~MPalette() override;

    const wchar_t* GetClassNameW() const override;
    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
    // The wheel stops here.
    int OnControlScroll(int step, UINT down, CPoint pt) override;

    // The colour of the current hue, saturation and lightness.
    unsigned long GetSelectColor() const;
    // Moves the thumb and the strip to the colour; no notification.
    void SetSelectColor(unsigned long colour);
    // A skin file, four frames side by side; 1 when it loaded (the old image goes), else 0.
    int SetThumbImage(const wchar_t* name);
    // Takes effect on the layout at the next SetControlRect; held within 0..32767.
    void SetPalletHeight(int height);
    int GetPalletHeight() const { return m_palletHeight; }

    // The layout, in window client coordinates.
    CRect GetFieldRect() const { return m_field; }
    CRect GetBarRect() const { return m_bar; }
    CPoint GetThumbPoint() const { return m_thumb; }
    int GetHue() const { return m_hue; }
    int GetSaturation() const { return m_saturation; }
    int GetLightness() const { return m_lightness; }

private:
    void layOut();
    void placeThumb();
    void hueAndLightnessAt(CPoint pt);
    void saturationAt(CPoint pt);
    // Field columns 0..359 and the strip at column 370, 200 rows each.
    void UpdatePaletteData();
    void UpdateBarData();
    void putPixel(int x, int y, COLORREF colour);
    void repaint() { UpdateControl(1, 0); }
    void drawThumb(HDC memory) const;
    void drawPointer(HDC& dc);

    unsigned long m_selected { 0 };
    int m_hue { 180 };
    int m_saturation { 200 };
    int m_lightness { 120 };
    int m_palletHeight { 150 };
    int m_barWidth { 16 };
    CPoint m_thumb;
    CRect m_field;
    CRect m_bar;
    CRect m_pointerRect;
    int m_fieldDrag { 0 };
    int m_barDrag { 0 };
    BackBuffer m_picture;
    NotCopied<std::unique_ptr<Gdiplus::Image>> m_pointer;
    int m_pointerWidth { 0 };
    int m_pointerHeight { 0 };
};

} // namespace KOVA
