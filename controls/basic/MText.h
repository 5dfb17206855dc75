#pragma once
// The label: draws its title in its font, colour and alignment over whatever lies behind it
// or on a colour of its own, on one line or wrapped over several. It starts disabled, takes
// no mouse button, swallows the wheel and every notification of a child, and keeps a mark
// text, mark colour and shadow setting for the host without drawing them.
#include "platform/Win32.h"

#include "framework/MControlFont.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API MText : public MControlFont {
public:
    MText(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible);

    // Children's notifications stop here: the label's parent never hears them.
    LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    // A position change of child 1 repaints the label; everything else is dropped.
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    // The wheel stops here; the framework hands it on to enabled controls only.
    int OnControlScroll(int step, UINT down, CPoint pt) override;

    // Each stores its values and repaints when one of them changed. A null text counts as "".
    void SetMarkText(const wchar_t* mark);
    void SetMarkText(const wchar_t* mark, Gdiplus::Color colour, int flag);
    // The int is not kept.
    void SetTitleMarkText(const wchar_t* title, const wchar_t* mark, int);
    void SetMarkText(const wchar_t* title, const wchar_t* mark, Gdiplus::Color colour, int flag);
    CString GetMarkText() const { return m_markText; }
    // Fills the label with the colour instead of showing what lies behind it. A call that
    // keeps the flag keeps the old colour; every call repaints.
    void EnableTextBack(int enable, Gdiplus::Color colour);
    // Wraps the title at the label's width.
    void EnableMultiLine(int enable) { m_multiLine = enable; }
    // Kept, not drawn.
    void EnableShadow(int enable) { m_shadow = enable; }
    // With several lines, centres them vertically.
    void EnableVCenter(int enable) { m_vCenter = enable; }
    int GetVirtualHeight() const { return 0; }

private:
    bool StoreTitle(const wchar_t* title);
    bool StoreMark(const wchar_t* mark);
    bool StoreMarkLook(Gdiplus::Color colour, int flag);
    void Repaint() { UpdateControl(1, 0); }
    void FormatLines(Gdiplus::StringFormat& format) const;

    int m_shadow { 0 };
    int m_textBack { 0 };
    Gdiplus::Color m_textBackColour { 0xFF008000 };
    Gdiplus::Color m_markColour { 0xFFED801B };
    CString m_markText;
    int m_markFlag { 0 };
    int m_multiLine { 0 };
    int m_vCenter { 0 };
};

} // namespace KOVA
