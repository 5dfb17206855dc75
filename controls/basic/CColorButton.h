#pragma once
// Selectable colour controls. CColorButton, CColorButton2 and CColorButton3 are round swatches
// that select themselves on a press and unselect the other visible, enabled swatches of their
// class and group; they differ only in how they draw. CRadioButton2 is a radio button drawn
// without images: a square colour swatch under its caption, framed when checked.
#include "platform/Win32.h"

#include "controls/basic/ButtonBase.h"
#include "controls/basic/CCheckButton.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API CColorButton : public ButtonBase {
public:
    CColorButton(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;

    COLORREF GetColor() const { return m_colour; }
    void SetColor(COLORREF colour);
    // Only while enabled; a change walks the group.
    int SetCheck(int check);
    // Whatever the enabled flag; no group walk.
    void SetControlCheck(int check);
    int ResetGroupCheck();
    void SetGroupName(const wchar_t* name) { m_groupName = name ? name : L""; }
    CString GetGroupName() const { return m_groupName; }
    // Stored only.
    void SetVisibleBorder(bool border) { m_border = border; }

protected:
    // The one look, rendered again whenever the check or the colour changes.
    template <class PaintSwatch>
    void DrawSwatch(HDC& dc, PaintSwatch paint)
    {
        DrawStrip(dc, 1, 0, [&](Gdiplus::Graphics& graphics) {
            graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
            paint(graphics, m_rect.Width(), m_rect.Height());
        });
    }
    Gdiplus::Color SwatchColour() const;

    COLORREF m_colour { 0xFFFFFF };
    bool m_border { false };
    CString m_groupName;
};

class KOVA_API CColorButton2 : public CColorButton {
public:
    CColorButton2(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    const wchar_t* GetClassNameW() const override;
    // Black shows the control image in place of the swatch.
    void DrawControl(HDC& dc, CRect paintRect) override;
};

class KOVA_API CColorButton3 : public CColorButton {
public:
    CColorButton3(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
};

class KOVA_API CRadioButton2 : public CRadioButton {
public:
    CRadioButton2(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    // It takes no keys and keeps no focus look.
    int SetControlFocus(int focus) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT modifiers) override;

    // Stored as given; the swatch is rendered again.
    void SetColor(Gdiplus::Color colour);
    Gdiplus::Color GetColor() const { return m_colour; }

private:
    // The selection colour until set.
    Gdiplus::Color m_colour { 0xFFBD30FF };
};

} // namespace KOVA
