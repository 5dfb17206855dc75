#pragma once
// Push buttons drawn from a four-frame image strip (normal, hover, pressed, disabled) with a
// caption: MButton is the model; CImageButton stretches its frames, draws an icon and shows
// its title as a balloon tip while hovered; CImageButton2 only stretches its frames; MButton2
// takes a two-frame icon; MButton3 is a toggle drawn in two flat colours.
#include "platform/Win32.h"

#include "controls/basic/ButtonBase.h"
#include "framework/PaintManager.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API MButton : public ButtonBase {
public:
    MButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

    void DrawControl(HDC& dc, CRect paintRect) override;

    // A skin file cut into frames, owned by the button; 0 and no icon when it does not load,
    // 0 and nothing changed for a count below 1. Shows at the next full redraw.
    int SetIconImage(const wchar_t* file, int frames);
    // Nine-grid corner of the frames.
    void SetFrameSize(int size) { m_frameSize = size; }
    // Where the caption goes, relative to the button; empty: the whole button.
    void SetTextRect(CRect rect) { m_textRect = rect; }

protected:
    int m_frameSize { 8 };
    ButtonIcon m_icon;
    CRect m_textRect;
};

class KOVA_API CImageButton : public MButton {
public:
    CImageButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

    void DrawControl(HDC& dc, CRect paintRect) override;
    // Entering shows the title as the window's balloon tip, leaving hides it.
    int OnControlMouseMove(UINT keys, CPoint pt) override;

    // 1 right of the button, 2 left of it; 0 no tip.
    void SetAlrBladderMode(AIRBLADDER_MODE mode) { m_bladderMode = mode; }

private:
    void ShowBalloon();

    AIRBLADDER_MODE m_bladderMode { AirBladderModeNone };
};

class KOVA_API CImageButton2 : public MButton {
public:
    CImageButton2(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

    void DrawControl(HDC& dc, CRect paintRect) override;
};

class KOVA_API MButton2 : public MButton {
public:
    MButton2(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

    void DrawControl(HDC& dc, CRect paintRect) override;
    // The icon has two frames (normal, hovered) whatever the count says; 0 for a count below 1.
    int SetIconImage(const wchar_t* file, int frames);
};

class KOVA_API MButton3 : public ButtonBase {
public:
    MButton3(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

    void DrawControl(HDC& dc, CRect paintRect) override;
    // Each press flips the toggle; while it is clear the pressed look is shown.
    int OnControlLButtonDown(UINT keys, CPoint pt) override;

    int GetToggle() const { return m_toggle; }

private:
    int m_toggle { 0 };
};

} // namespace KOVA
