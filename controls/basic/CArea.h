#pragma once
// A passive coloured rectangle under other controls: an opaque fill with an optional one-pixel
// frame, or a veil of one colour whose opacity runs from the top edge to the bottom edge. It
// takes no input and sends nothing.
#include "platform/Win32.h"

#include "framework/MControl.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API CArea : public MControl {
public:
    CArea(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    void DrawControl(HDC& dc, CRect paintRect) override;

    // Transparencies in percent (0 opaque, 100 invisible) at the top and bottom rows; both 0
    // make the area opaque.
    void SetTransparent(int top, int bottom, COLORREF fill);
    // A one-pixel frame around an opaque area; the width argument is not used.
    void SetFrame(int show, Gdiplus::Color colour, int width);

private:
    bool IsOpaque() const { return m_topTransparency == 0 && m_bottomTransparency == 0; }
    void DrawOpaque(HDC dc, int width, int height) const;
    void DrawVeil(HDC& dc, int width, int height) const;

    int m_topTransparency { 80 };
    int m_bottomTransparency { 80 };
    COLORREF m_fill { 0xFFFFFF };
    int m_frame { 0 };
    Gdiplus::Color m_frameColour { 0xFE050505 };
};

} // namespace KOVA
