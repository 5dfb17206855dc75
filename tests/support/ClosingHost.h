#pragma once
// A host that deletes its dialog object from a notification, as a host does that closes a
// dialog from a button's report: its destructor destroys the window. Made only through
// make(), with its memory made inaccessible when deleted, so that any later use of the
// dialog (or of its paint manager, which it holds) faults at once instead of passing.
#include <optional>

#include "NotedDialog.h"
#include "Poisoned.h"

namespace KOVA::test {

class ClosingHost : public NotedDialog {
public:
    // What the test may still read once the dialog is gone.
    struct Fate {
        bool gone { false };
        UINT code { 0 };
    };
    static constexpr UINT kAnyCode = 0xFFFFFFFF;

    static ClosingHost* make(Fate& fate, CRect place = CRect(300, 300, 700, 560))
    {
        return new NoAccessAfterDelete<ClosingHost>(fate, place);
    }
    ClosingHost(Fate& fate, CRect place) : NotedDialog(place), m_fate(fate) {}
    ~ClosingHost() override { m_fate.gone = true; }

    // From now on, the first notification with the code (any code: kAnyCode) deletes the dialog.
    void closeOn(UINT code) { m_closeOn = code; }

    LRESULT OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        NotedDialog::OnMessage(id, code, wParam, lParam);
        if (!m_closeOn || (*m_closeOn != kAnyCode && *m_closeOn != code))
            return 0;
        m_fate.code = code;
        delete this;
        return 0;
    }
    // A context menu (a rich edit's, on a right click) would hold the test in its loop.
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_INITMENUPOPUP)
            ::EndMenu();
        return NotedDialog::OnWindowMessage(msg, wParam, lParam);
    }

private:
    Fate& m_fate;
    std::optional<UINT> m_closeOn;
};

} // namespace KOVA::test
