// Text fields on pages the host turns away from, on a real dialog driven by posted messages:
// a field that is not showing (itself or a page above it hidden) takes no click and no key and
// gives up its focus, and a native edit window open over it is ended, not left up with the
// keyboard focus, when the host hides its page from the field's own notification.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "TestWindow.h"
#include "controls/input/CLogonEdit.h"
#include "controls/input/CSpinButton.h"
#include "controls/input/HexColorEdit.h"
#include "controls/input/MEdit.h"
#include "controls/input/MEditEx.h"
#include "controls/input/MListBox.h"
#include "controls/input/MRichEdit.h"
#include "controls/input/RGBColorEdit.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const CRect kPage(0, 0, 400, 200);
const CRect kField(20, 20, 260, 70);
const CPoint kOnField(150, 46);
const CPoint kElsewhere(300, 150);

// The host: runs a step of the test's own on each notification it hears.
class HostDialog : public NotedDialog {
public:
    LRESULT OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        NotedDialog::OnMessage(id, code, wParam, lParam);
        if (onNote)
            onNote(id, code);
        return 0;
    }
    MPanel* page(UINT id, int visible)
    {
        auto* panel = new MPanel(this, id, kPage, visible);
        adopt(panel);
        return panel;
    }
    // Made by the page's factory, or handed to the page when the factory has no row for it.
    MControl* field(MPanel& page, const std::wstring& className, UINT id)
    {
        if (className != L"CLogonEdit")
            return page.CreateControl(className.c_str(), id, kField, L"", 1, 1);
        auto* logon = new CLogonEdit(&page, id, kField, L"", 1, 1);
        page.GetControls().push_back(logon);
        logon->SetManager(GetPaintManager());
        return logon;
    }
    void click(CPoint at)
    {
        post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, at);
        pumpMessages();
    }
    std::function<void(UINT id, UINT code)> onNote;
};

} // namespace

// Page A's field lies where page B's does. The user types into A, the host turns to B: the
// keys and a click there go to B's field alone.
TEST(HiddenFields, ARichEditOnAHiddenPageTakesNoClickNoKeyAndGivesUpItsFocus)
{
    for (const wchar_t* className : { L"MRichEdit", L"MEditEx", L"CLogonEdit", L"CSpinButton" }) {
        HostDialog dialog;
        dialog.activate();
        MPanel* pageA = dialog.page(90, 1);
        MPanel* pageB = dialog.page(91, 0);
        auto* a = dynamic_cast<MRichEdit*>(dialog.field(*pageA, className, 7));
        auto* b = dynamic_cast<MRichEdit*>(dialog.field(*pageB, className, 8));
        ASSERT_TRUE(a && b) << className;
        dialog.click(kOnField);
        dialog.type(L"1");
        ASSERT_EQ(CString(L"1"), a->GetTitle()) << className;
        pageA->SetVisible(0);
        pageB->SetVisible(1);
        EXPECT_FALSE(a->IsFocused()) << className;
        dialog.type(L"7");
        dialog.click(kOnField);
        dialog.type(L"42");
        EXPECT_EQ(CString(L"1"), a->GetTitle()) << className << ": the hidden field typed into";
        EXPECT_EQ(CString(L"42"), b->GetTitle()) << className;
        EXPECT_FALSE(a->IsFocused()) << className;
    }
}

namespace {
// One field with a native edit window: how it opens, the notification on which the host hides
// its page (a typed change, or the end Return reports), and the field's text as the host
// reads it.
struct NativeCase {
    const wchar_t* className;
    const wchar_t* windowClass;
    UINT hideOn;
    std::function<void(HostDialog&, MControl&)> open;
    std::function<CString(MControl&)> text;
};

CString colourText(MControl& field)
{
    COLORREF colour = 0;
    if (auto* hex = dynamic_cast<HexColorEdit*>(&field))
        colour = hex->GetSelectColor();
    else
        colour = dynamic_cast<RGBColorEdit&>(field).GetSelectColor();
    CString text;
    text.Format(L"%06x", colour);
    return text;
}
} // namespace

// The field reports, the host hides the page in its handler: the edit window goes (no window
// left up with the keyboard focus over nothing), and keys sent to it change nothing.
TEST(HiddenFields, ANativeEditEndsWhenTheHostHidesItsPageFromTheFieldsNotification)
{
    const NativeCase cases[] {
        { L"MEdit", L"FSEditWindow", 29, [](HostDialog& dialog, MControl&) { dialog.click(kOnField); },
          [](MControl& field) { return dynamic_cast<MEdit&>(field).GetTitleEx(); } },
        { L"HexColorEdit", L"HexEditWindow", 29, [](HostDialog& dialog, MControl&) { dialog.click(kOnField); }, colourText },
        { L"RGBColorEdit", L"HexEditWindow", 29, [](HostDialog& dialog, MControl&) { dialog.click(CPoint(60, 46)); },
          colourText },
        { L"MListBox", L"FSEditWindow", 26,
          [](HostDialog&, MControl& field) {
              auto& list = dynamic_cast<MListBox&>(field);
              list.AddString(L"row 0", -1);
              list.AddString(L"row 1", -1);
              list.EnableShowEdit(1);
              list.SetCurSel(1);
              list.ShowEdit();
          },
          [](MControl& field) { return dynamic_cast<MListBox&>(field).GetItemText(1); } },
    };
    for (const NativeCase& c : cases) {
        HostDialog dialog;
        dialog.activate();
        MPanel* page = dialog.page(90, 1);
        MControl* field = dialog.field(*page, c.className, 7);
        ASSERT_TRUE(field) << c.className;
        c.open(dialog, *field);
        const HWND window = FindWindowExW(dialog.GetSafeHwnd(), nullptr, c.windowClass, nullptr);
        ASSERT_TRUE(window && IsWindowVisible(window)) << c.className;
        dialog.onNote = [&](UINT id, UINT code) {
            if (id == 7 && code == c.hideOn)
                page->SetVisible(0);
        };
        PostMessageW(window, WM_CHAR, L'5', 1);
        if (c.hideOn == 29)
            PostMessageW(window, WM_KEYDOWN, VK_RETURN, 1);
        pumpMessages();
        ASSERT_FALSE(page->IsVisible()) << c.className << ": the host heard " << noteLine(dialog.notes);
        EXPECT_FALSE(IsWindowVisible(window)) << c.className << ": the edit window stayed up";
        EXPECT_NE(window, GetFocus()) << c.className << ": with the keyboard focus";
        const CString kept = c.text(*field);
        PostMessageW(window, WM_CHAR, L'9', 1);
        PostMessageW(window, WM_CHAR, L'8', 1);
        pumpMessages();
        EXPECT_EQ(kept, c.text(*field)) << c.className << ": the hidden field typed into";
        EXPECT_FALSE(field->IsFocused()) << c.className;
    }
}
