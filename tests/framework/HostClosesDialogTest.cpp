// Hosts that end what a control belongs to from the control's own report: a dialog deleted
// from a notification (its controls run on after their report and must reach nothing of it),
// and a field removed from the report of a public call made outside any dispatch (the call
// must not use the field after its report). Deleted objects are made inaccessible, so any
// later use faults at once; everything is driven through posted messages on real dialogs.
#include <gtest/gtest.h>

#include <functional>

#include "ClosingHost.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "Poisoned.h"
#include "PumpUntil.h"
#include "TestWindow.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// The native edit window a windowless field opens over itself, once it shows.
HWND shownEditOf(NotedDialog& dialog)
{
    HWND edit = nullptr;
    pumpUntil([&] {
        edit = FindWindowExW(dialog.GetSafeHwnd(), nullptr, L"FSEditWindow", nullptr);
        return edit && IsWindowVisible(edit);
    });
    return edit;
}

// Rows are hit where the last paint put them.
void fillAndPaint(MListBox& list)
{
    for (const wchar_t* row : { L"row 0", L"row 1", L"row 2" })
        list.AddString(row, -1);
    list.GetManager()->Invalidate();
    pumpUntil([&] { return list.GetUpdate() != 0; });
}

const CPoint kSecondRow(60, 10 + 30 + 15);

} // namespace

// Each family goes on after its report: the list repaints itself after reporting a press,
// the field after reporting a typed character, the colour panel passes the preset's report
// on to its parent after reporting it itself.
TEST(HostDeletesItsDialog, FromANotificationAfterWhichTheControlGoesOn)
{
    struct Row {
        const char* what;
        UINT code;
        std::function<void(ClosingHost&)> drive;
    };
    const Row rows[] = {
        { "a list box's press", 1,
          [](ClosingHost& host) {
              fillAndPaint(*host.create<MListBox>(L"MListBox", 40, CRect(10, 10, 210, 210)));
              host.closeOn(1);
              host.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, kSecondRow);
          } },
        { "a character typed into a text field", 26,
          [](ClosingHost& host) {
              host.create<MEdit>(L"MEdit", 7, CRect(20, 20, 200, 50));
              host.activate();
              host.closeOn(26);
              host.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(60, 35));
              PostMessageW(shownEditOf(host), WM_CHAR, L'x', 1);
          } },
        { "a colour panel's preset press", 0x1B,
          [](ClosingHost& host) {
              host.create<CColorPalette>(L"CColorPalette", 700, CRect(10, 10, 340, 200));
              host.closeOn(0x1B);
              host.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(10 + 75 + 10, 10 + 15));
          } },
    };
    for (const Row& row : rows) {
        ClosingHost::Fate fate;
        ClosingHost* host = ClosingHost::make(fate);
        row.drive(*host);
        EXPECT_TRUE(pumpUntil([&] { return fate.gone; })) << row.what;
        EXPECT_EQ(row.code, fate.code) << row.what;
        if (!fate.gone)
            delete host;
        pumpMessages();
    }
}

namespace {

// Removes the control that reports the code (the in-place edit pattern: a field that ends
// its edit goes).
class RemovingHost : public NotedDialog {
public:
    explicit RemovingHost(UINT code) : m_code(code) {}
    LRESULT OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        NotedDialog::OnMessage(id, code, wParam, lParam);
        if (code == m_code)
            GetPaintManager()->RemoveControl(GetControl(id));
        return 0;
    }

private:
    UINT m_code;
};

using StrictEdit = NoAccessAfterDelete<MEdit>;
using StrictList = NoAccessAfterDelete<MListBox>;

} // namespace

// Called by the host from its own code (no dispatch runs), each call ends an open edit, whose
// report (29) makes the host remove the control: the call finishes before the control goes.
TEST(HostRemovesAField, FromTheReportOfAPublicCallMadeOutsideAnyDispatch)
{
    struct Row {
        const char* what;
        bool list;
        std::function<void(MControl&)> call;
    };
    const Row rows[] = {
        { "MEdit::GetControlTitle", false,
          [](MControl& field) { EXPECT_EQ(CString(L""), static_cast<MEdit&>(field).GetControlTitle()); } },
        { "MEdit::GetTitle", false, [](MControl& field) { EXPECT_EQ(CString(L""), static_cast<MEdit&>(field).GetTitle()); } },
        { "MEdit::SetControlFocus(0)", false, [](MControl& field) { field.SetControlFocus(0); } },
        { "MListBox::SetControlFocus(0)", true, [](MControl& field) { field.SetControlFocus(0); } },
    };
    for (const Row& row : rows) {
        RemovingHost dialog(29);
        MControl* field = nullptr;
        if (row.list) {
            auto* list = dialog.adopt(new StrictList(&dialog, 40, CRect(10, 10, 210, 210), 1));
            fillAndPaint(*list);
            list->EnableShowEdit(1);
            dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, kSecondRow);
            pumpMessages();
            list->ShowEdit();
            SetWindowTextW(shownEditOf(dialog), L"renamed");
            field = list;
        } else {
            field = dialog.adopt(new StrictEdit(&dialog, 7, CRect(20, 20, 200, 50), L"", 1, 1));
            dialog.activate();
            dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(60, 35));
            ASSERT_NE(nullptr, shownEditOf(dialog)) << row.what;
        }
        const UINT id = field->GetControlID();
        row.call(*field);
        EXPECT_EQ(1, dialog.count(29)) << row.what;
        EXPECT_EQ(nullptr, dialog.GetControl(id)) << row.what;
    }
}
