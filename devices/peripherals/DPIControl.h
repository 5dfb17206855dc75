#pragma once
// One tile of a mouse's DPI stage row: title, DPI value and colour swatch, selected like a
// radio button among the tiles of its group. Its memory picture holds both looks side by side
// (unselected, selected) so that a change of selection only shows the other half. The value is
// typed into a CDPIEditWnd the host lays over the tile and hands over with SetEditWindow; the
// tile then owns that window.
//
// GUI thread only.
#include "platform/Win32.h"

#include "controls/input/EditFont.h"
#include "framework/MPanel.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class CCheckButton;
class CColorButton;
class CDPIEditWnd;

class KOVA_API DPIControl : public MPanel {
public:
    DPIControl(MObject* parent, UINT id, CRect rect, int visible);
    // A copy takes the values; no children, edit window or font of its own until it is set up.
    DPIControl(const DPIControl& other);
    DPIControl& operator=(const DPIControl& other);
    // Destroys the edit window it holds (which deletes itself).
    ~DPIControl() override;

    const wchar_t* GetClassNameW() const override;
    // Creates the check button (30, hidden) and the colour button (31) once.
    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    int SetControlFocus(int focus) override;
    // The children's notifications reach the parent twice: as the tile's, then unchanged.
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;

    COLORREF GetColor() const { return m_color; }
    void SetColor(COLORREF color);
    // Read from the edit window's text while that is shown.
    int GetDPIValue();
    void SetDPIValue(int value);
    int GetCheckState() const { return m_checkState; }
    int SetCheckState(int state);
    int GetCheck() const;
    int SetCheck(int check);
    int ResetGroupCheck();
    CString GetGroupName() const { return m_groupName; }
    void SetGroupName(const wchar_t* name) { m_groupName = name ? name : L""; }
    CString GetTitleEx() const;
    CRect GetTextRect();
    HFONT GetDefaultFont();
    // The tile takes the window over; one it held before is destroyed first (it is the tile's).
    void SetEditWindow(CDPIEditWnd* edit);
    // The window lets go of the tile: the field is cleared only while it still names that window.
    void ForgetEditWindow(const CDPIEditWnd* edit);
    // The host opens, fills and closes the window itself: these do nothing.
    void SetEditText(const wchar_t*) {}
    void ShowEdit() {}
    void HideEdit() {}

private:
    CRect CalcTextRect(int force);
    bool editShown() const;
    bool inBody(CPoint pt) const;

    NotCopied<CCheckButton*> m_checkButton;
    NotCopied<CColorButton*> m_colorButton;
    int m_checkState { 0 };
    int m_dpiValue { 500 };
    COLORREF m_color { 0x000000FF };
    CString m_groupName { L"DPIControl" };
    NotCopied<CDPIEditWnd*> m_editWindow;
    NotCopied<OwnedFont> m_defaultFont;
    CRect m_textRect;
};

} // namespace KOVA
