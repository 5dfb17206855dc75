#pragma once
// One row of a pop-up menu: a caption with an optional icon, a highlight band while the
// pointer is over it, an optional check, or a thin separator line.
#include "platform/Win32.h"

#include "controls/basic/ButtonBase.h"
#include "platform/KovaExport.h"

namespace KOVA {

class MenuWnd;

class KOVA_API MenuItem : public ButtonBase {
public:
    MenuItem(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);
    ~MenuItem() override;

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    // A checkable row reports (id, 7, check before, 1) on the press; a plain row reports
    // (id, 2, 0, 0) on a completed click.
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;

    // 0 and nothing changed on a row that is not checkable; only while enabled.
    int SetCheck(int check);
    // Whatever the row is.
    void SetControlCheck(int check);
    int ResetGroupCheck() { return 1; }
    CString GetGroupName() const { return m_groupName; }
    void SetGroupName(CString name) { m_groupName = name; }
    CString GetGroupValue() const { return CString(); }
    CString GetValue() const { return m_value; }
    void SetSeparator(int separator) { m_separator = separator; }
    int IsSeparator() const { return m_separator; }
    int IsPopup() const { return m_popup; }
    int IsHover() const { return GetState() == LookHover ? 1 : 0; }
    // The sub-menu a row closes when it goes; its window is remembered, not the object,
    // which deletes itself with its window.
    void SetPopupMenu(MenuWnd* menu);
    MenuWnd* GetPopupMenu() const { return m_popupMenu; }
    MenuWnd* GetParentMenu() const { return nullptr; }
    // Horizontal inset of the highlight band and of a separator line.
    void SetFrameWidth(int inset) { m_frameInset = inset; }

protected:
    // Only derived rows are checkable, open sub-menus or bring images of their own.
    void SetCheckable(int checkable);
    void SetPopup(int popup) { m_popup = popup; }

    // Not owned: they belong to whoever set them and must outlive the row.
    Gdiplus::Image* m_highlightImage { nullptr };
    int m_highlightWidth { 0 };
    int m_highlightHeight { 0 };
    Gdiplus::Image* m_arrowImage { nullptr };
    int m_arrowWidth { 0 };
    int m_arrowHeight { 0 };

private:
    friend class MenuWnd;
    static const StateTable kRowStates;
    static const StateTable kCheckableRowStates;

    int FrameCount() const;
    int ShownFrame() const;
    int IconFrameWidth() const;
    void DrawBand(Gdiplus::Graphics& graphics, const CRect& frameRect) const;
    void DrawIcon(Gdiplus::Graphics& graphics, int frame, const CRect& frameRect) const;
    void DrawArrow(Gdiplus::Graphics& graphics, int frame, const CRect& frameRect) const;
    void DrawCaptionOf(Gdiplus::Graphics& graphics, int frame, const CRect& frameRect, const Gdiplus::Font* font) const;

    int m_checkable { 0 };
    int m_separator { 0 };
    int m_popup { 0 };
    MenuWnd* m_popupMenu { nullptr };
    HWND m_popupWindow { nullptr };
    int m_textInset { 30 };
    int m_frameInset { 0 };
    CString m_groupName { L"Menu Group" };
    CString m_value;
    Gdiplus::Color m_highlightColour { 0xFFBD30FF };
};

} // namespace KOVA
