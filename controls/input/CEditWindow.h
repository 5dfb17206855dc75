#pragma once
// The in-place edit window a list lays over one of its items while the user renames it (or
// types a delay into a macro row): the owner's title goes in, every change comes back into
// the title with code 26 to the owner's parent, and Return ends the owner's focus. The owner
// hides, moves or closes it; a window destroyed otherwise deletes itself and clears the
// owner's pointer to it through the owner slot.
//
// Use: new CEditWindow, the setters, Init (owner, rectangle or an empty one for the owner's
// own text line), then SetOwnerSlot with the owner's pointer; the owner lets go with
// NativeEditWindow::Dispose.
#include "platform/Win32.h"

#include "controls/input/EditFont.h"
#include "controls/input/NativeEditWindow.h"

namespace KOVA {

class CEditWindow : public NativeEditWindow {
public:
    CEditWindow();

    const wchar_t* GetWindowClassName() const override { return L"FSEditWindow"; }

    // Creates and shows the window over the owner (rect empty: the owner's rectangle less
    // 6 px at each side, one line of the owner's font size + 2, centred) and focuses it.
    void Init(MControlFont* owner, CRect rect);
    // The owner's face at its font size + 6 (a cell height) in its style; made once.
    HFONT GetEditFont();
    // Copies the typed text into the owner's title (code 26, owner repainted) when it
    // differs; 1 when it ran, 0 before Init completed or without an owner.
    int UpdateOwnerText();
    // Back colour (NativeEditWindow::kNoBackColor: the system's) and text colour; 1.
    int SetColors(COLORREF back, COLORREF text);
    // The owner's field that points to this window; cleared when the window goes.
    void SetOwnerSlot(CEditWindow** slot) { m_ownerSlot = slot; }

    // Read when Init runs.
    void SetPassword(int password) { m_password = password; }
    void SetPassWordChar(wchar_t ch) { m_passwordChar = ch; }
    void SetNumberOnly(int numberOnly) { m_numberOnly = numberOnly; }
    void SetReadOnly(int readOnly) { m_readOnly = readOnly; }
    void SetLimitText(int limit) { m_limit = limit; }
    int GetLimitText() const { return m_limit; }

private:
    void OnEditChanged() override { UpdateOwnerText(); }
    void OnEditReturn() override;
    void ForgetOwner() override;

    int m_password { 0 };
    int m_numberOnly { 0 };
    int m_readOnly { 0 };
    int m_limit { 120 };
    wchar_t m_passwordChar { kDefaultPasswordChar };
    OwnedFont m_font;
    CEditWindow** m_ownerSlot { nullptr };
};

} // namespace KOVA
