#pragma once
// Push buttons with the looks of the family's other corners: CTextButton is a caption without
// image whose colour follows the state and which underlines itself on hover; UpgradeButton
// can carry a red "1" badge (an update is waiting); DownloadButton turns into a progress bar
// with a percentage while a download runs. None changes the cursor.
#include "platform/Win32.h"

#include "controls/basic/ButtonBase.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API CTextButton : public ButtonBase {
public:
    CTextButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

    void DrawControl(HDC& dc, CRect paintRect) override;

    // The caption colour of each look; the normal one is the text colour. Shows at the next
    // full redraw.
    void SetTextButtonColor(Gdiplus::Color normal, Gdiplus::Color hover, Gdiplus::Color pressed,
                            Gdiplus::Color disabled);

private:
    Gdiplus::Color m_hoverColour { 0xFFBD30FF };
    Gdiplus::Color m_pressedColour { 0xFFBD30FF };
    Gdiplus::Color m_disabledColour { 0xFF808080 };
};

class KOVA_API UpgradeButton : public ButtonBase {
public:
    UpgradeButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

    void DrawControl(HDC& dc, CRect paintRect) override;

    // Non-zero shows the badge.
    void SetUpgradeStatus(int status);
    int GetUpgradeStatus() const { return m_upgradeStatus; }

private:
    void DrawBadge(Gdiplus::Graphics& graphics, const CRect& frameRect, const Gdiplus::Font* font) const;

    int m_frameSize { 8 };
    int m_upgradeStatus { 0 };
};

class KOVA_API DownloadButton : public ButtonBase {
public:
    DownloadButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

    void DrawControl(HDC& dc, CRect paintRect) override;

    // Percent; below 1 the plain button, from 1 on the bar (presses still report).
    void SetDownloadProcess(int percent);
    // Stored only, as are the frame size's use by the bar and the text rectangle.
    int SetIconImage(const wchar_t* file, int frames) { return m_icon.Load(file, frames); }
    void SetFrameSize(int size) { m_frameSize = size; }
    void SetTextRect(CRect rect) { m_textRect = rect; }

private:
    void DrawButton(HDC& dc);
    void DrawProgress(HDC& dc);

    int m_frameSize { 8 };
    ButtonIcon m_icon;
    CRect m_textRect;
    int m_progress { 0 };
};

} // namespace KOVA
