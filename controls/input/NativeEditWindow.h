#pragma once
// The native edit hand-off every windowless text field shares. While the user types, a
// superclass of the system "Edit" lies over the field's text: a child of the paint manager's
// window, or, when that window is layered (it has no child windows to show), a pop-up at
// screen coordinates. It reports what the user does to its owner through the rows its
// subclass overrides, is hidden when editing ends and deletes itself when its window goes.
//
// The subclasses (CEditWnd, CEditWnd2, CEditWnd3, CEditWindow) differ only in their rows:
// what a change, a loss of focus, Return and a character do, and how they forget their owner.
//
// Ownership: the owner keeps a pointer to the window object. The window object is deleted
// once, by itself, when its window is destroyed; it first clears the owner's pointer. An
// owner that goes first lets go with Dispose. The deletion waits for the dispatch running on
// the thread (DispatchScope): a window destroyed from inside one of its own rows (Return
// ending the owner's focus, and the owner closing the edit) is freed only after that row
// returned. GUI thread only.
#include "platform/Win32.h"

#include "framework/MWindow.h"
#include "platform/CRect.h"
#include "platform/CString.h"

namespace KOVA {

class MControl;
class MControlFont;
class PaintManager;

// The keys a text field answers itself while its window has the keyboard: Space while the
// field holds the framework's focus reports a click (1 then 2), and the field's accelerator
// is taken. 1 when handled.
int AnswerFieldKey(MControl& field, int focused, UINT key, UINT modifiers, UINT shortcutKey, UINT shortcutModifiers);

class NativeEditWindow : public MWindow {
public:
    static constexpr wchar_t kDefaultPasswordChar = 0xA1F1;
    static constexpr COLORREF kNoBackColor = 0xFFFFFFFF;

    // What a field hands to its edit window when it opens it.
    struct Setup {
        CRect rect;                 // client coordinates of the paint manager's window
        HFONT font { nullptr };
        int limit { 120 };
        UINT align { 0 };           // the owner's horizontal alignment: 1 centre, 2 right
        bool multiLine { false };
        bool password { false };
        wchar_t passwordChar { kDefaultPasswordChar };
        bool enabled { true };
        bool readOnly { false };
        bool numberOnly { false };
        CString text;
    };

    NativeEditWindow() = default;
    NativeEditWindow(const NativeEditWindow&) = delete;
    NativeEditWindow& operator=(const NativeEditWindow&) = delete;
    ~NativeEditWindow() override;

    const wchar_t* GetSuperClassName() const override { return L"Edit"; }
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDestroyMessage(HWND hwnd) override;

    // The owner lets go of its edit window: its pointer is cleared first, the window object
    // no longer reaches the owner, its window is destroyed and the object goes with it (at
    // once without a window; once its running rows returned when it is inside one).
    template <class Window>
    static void Dispose(Window*& pointer)
    {
        NativeEditWindow* window = pointer;
        pointer = nullptr;
        release(window);
    }

    // Colours of the reflected colour queries; back kNoBackColor leaves the system's.
    void SetBrushColors(COLORREF back, COLORREF text);
    // Moves the window over rect (client coordinates of the paint manager's window).
    void PlaceOver(const CRect& rect);
    CString GetText() const;
    // A live window, shown.
    bool IsShown() const;
    // Shows the window with text, the caret after the last character, and focuses it.
    void Reveal(const CString& text);
    // Hides the window; the keyboard focus it held goes back to the paint manager's window.
    void Conceal();
    // 1 once the window was made and filled; changes before that are not reported.
    int IsCreated() const { return m_created; }
    MControlFont* GetOwner() const { return m_owner; }

protected:
    // Creates the window over the owner's text (the common creation: style, font, limit,
    // text, margins, state), shows it without activation, focuses it and selects all.
    // 1 when the window exists.
    int Open(MControlFont* owner, const Setup& setup);

    // The rows. A change is reported only once the window was filled.
    virtual void OnEditChanged() {}
    virtual void OnEditKillFocus() {}
    virtual void OnEditReturn() {}
    virtual bool AcceptsChar() const { return true; }
    // Clears the owner's pointer to this window.
    virtual void ForgetOwner() {}

    // The owner's parent gets (owner id, code, wParam, lParam).
    void NotifyOwner(UINT code, UINT wParam, LONG lParam) const;
    void RepaintOwner() const;
    PaintManager* OwnerManager() const;
    bool OwnerLayered() const;

    MControlFont* m_owner { nullptr };

private:
    static void release(NativeEditWindow* window);
    bool answer(HWND self, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // A key for an owner that stopped showing ends its edit instead; true when it did.
    bool endForHiddenOwner();
    LRESULT colorQuery(HDC dc);
    CRect screenPlace(const CRect& rect) const;

    HBRUSH m_brush { nullptr };
    COLORREF m_backColor { 0x222527 };
    COLORREF m_textColor { 0xFFFFFF };
    int m_created { 0 };
    // The window was destroyed; the object waits for its deletion.
    bool m_gone { false };
    // Conceal hides the window and hands the focus back: the end the owner asked for, not a
    // loss of focus to report.
    bool m_concealing { false };
    // Reveal puts the owner's text in: that is no change the user made.
    bool m_filling { false };
};

} // namespace KOVA
