#pragma once
// The face of a colour drop-down: one colour inside a thin frame that reports a press (code 1)
// and a click (code 2) to its parent. Showing a picker is the host's business; it tells the
// swatch whether its picker is open.
#include "platform/Win32.h"

#include "controls/basic/ButtonBase.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API CColorCombo : public ButtonBase {
public:
    CColorCombo(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    // Stores the rectangle only.
    void SetControlRect(CRect rect) override;
    // Any release inside reports code 2, also one whose press began elsewhere.
    int OnControlLButtonUp(UINT keys, CPoint pt) override;

    void SetAreaColor(Gdiplus::Color colour);
    Gdiplus::Color GetAreaColor() const { return m_colour; }
    // Kept for the host.
    void SetIsOpen(bool open) { m_open = open; }
    bool IsOpen() const { return m_open; }

private:
    void paintLooks(Gdiplus::Graphics& graphics);

    Gdiplus::Color m_colour { 0xFEFFFF00 };
    bool m_open { false };
};

} // namespace KOVA
