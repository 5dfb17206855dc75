#pragma once
// The composite colour pickers. CColorPalette is the full picker: eight preset swatches, the
// colour field, a large swatch of the chosen colour, red, green and blue spin boxes with
// labels and a six-digit hex field; a change made in any child is copied into the others and
// reported to the parent as (panel id, 0x1B, 0, colour) before the child's own notification.
// CColorSelect is a row of seven preset swatches reporting (panel id, 0x1B, index, colour).
//
// Both build their children by class name when initialised and lay them out from one table,
// at creation and at every later SetControlRect. GUI thread only; no locks of their own.
#include "platform/Win32.h"

#include <vector>

#include "framework/MPanel.h"
#include "platform/CRect.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class CColorButton;
class MEdit;
class MPalette;
class MSpinButton;
class MText;

// What the two panels share: children placed from a table, enabled with the panel, no look
// of their own, mouse answered while enabled, the wheel stopped.
class KOVA_API ColorPanel : public MPanel {
public:
    ColorPanel(MObject* parent, UINT id, CRect rect, int visible);
    // A copy takes the value fields; it builds children of its own when initialised.
    ColorPanel(const ColorPanel& other);
    ColorPanel& operator=(const ColorPanel& other);

    void DrawControl(HDC& dc, CRect paintRect) override;
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
    int OnControlScroll(int step, UINT down, CPoint pt) override;

protected:
    // Where the child with this id goes in a panel at rect.
    virtual CRect ChildRect(UINT id, const CRect& rect) const = 0;
    // Called before a child is moved: the palette takes its new height first.
    virtual void BeforePlacing(MControl&, const CRect&) {}
    // A control (or, with area, an area) of the class at its table place, noted in creation
    // order; followsEnabled children take the panel's enabled flag.
    MControl* AddChild(const wchar_t* className, UINT id, bool followsEnabled, bool area = false,
                       const wchar_t* title = L"");
    // The parent hears the message unchanged.
    LONG PassOn(UINT id, UINT code, UINT wParam, LONG lParam);
    // The swatch with this id among the children, else null.
    CColorButton* Swatch(UINT id) const;
    // The first checked swatch of ids first..last, else null.
    CColorButton* FirstChecked(UINT first, UINT last) const;

private:
    struct Child {
        MControl* control;
        bool followsEnabled;
    };
    NotCopied<std::vector<Child>> m_children;
};

class KOVA_API CColorPalette : public ColorPanel {
public:
    CColorPalette(MObject* parent, UINT id, CRect rect, int visible);
    // A copy points at no child of the original: it builds its own when initialised.
    CColorPalette(const CColorPalette& other);
    CColorPalette& operator=(const CColorPalette& other);

    const wchar_t* GetClassNameW() const override;
    void InitControl(PaintManager* manager) override;
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    // The labels, the spin boxes and the hex field; the panel's own colour stays.
    void SetTextColor(Gdiplus::Color colour) override;
    // The spin boxes and the hex field take the image; 1.
    int SetImage(const wchar_t* file, int count) override;

    // The field's colour; 0 before the children exist.
    unsigned long GetSelectColor() const;
    // Moves the field only: the readouts keep their values and nothing is reported.
    void SetSelectColor(unsigned long colour);
    int SetThumbImage(const wchar_t* name);
    // Repaint requests with the flag for the panel and every shown child.
    void UpdateControlEx(int flag);

protected:
    CRect ChildRect(UINT id, const CRect& rect) const override;
    void BeforePlacing(MControl& child, const CRect& place) override;

private:
    // The readouts and the field follow colour; the swatch takes it and the parent hears it.
    void follow(unsigned long colour, bool field);
    void SetSelItemColor(unsigned long colour);
    void setChannels(unsigned long colour);

    MPalette* m_palette { nullptr };
    CColorButton* m_swatch { nullptr };
    MSpinButton* m_spins[3] {};
    MEdit* m_hex { nullptr };
    MText* m_labels[4] {};
};

class KOVA_API CColorSelect : public ColorPanel {
public:
    CColorSelect(MObject* parent, UINT id, CRect rect, int visible);

    const wchar_t* GetClassNameW() const override;
    void InitControl(PaintManager* manager) override;
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;

    // 0..6 checks that preset (its group unchecked), −1 none; no notification.
    void SetColorIndex(int index);
    // The checked preset's colour; 0 when none is checked.
    unsigned long GetSelectColor() const;
    // Checks the preset of that colour, or none when no preset has it.
    void SetSelectColor(unsigned long colour);

protected:
    CRect ChildRect(UINT id, const CRect& rect) const override;
};

} // namespace KOVA
