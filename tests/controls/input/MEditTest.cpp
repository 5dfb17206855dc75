// The text box on a real dialog driven by posted messages: the hand-off to its native edit
// window and back (notifications, typed text, Return, char messages, password, layered
// placement), its drawing (tip, icon) and its end.
#include <gtest/gtest.h>

#include <functional>

#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "InkScan.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "ScratchStrip.h"
#include "TestWindow.h"
#include "WindowCapture.h"
#include "controls/input/MEdit.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const CRect kEditRect(20, 20, 200, 50);
const CPoint kOnText(60, 35);
const CPoint kElsewhere(300, 150);

class EditDialog : public ::testing::Test {
protected:
    // Active and focused, as a click by the user would leave it: the edit window takes the
    // focus from it (a dialog that is first activated by that would deactivate the press).
    EditDialog()
    {
        edit = dialog.create<MEdit>(L"MEdit", 7, kEditRect, L"type here");
        dialog.activate();
    }
    std::string codes() const
    {
        std::string line;
        for (const Notification& note : dialog.notes)
            line += std::to_string(note.code) + " ";
        return line;
    }
    int count(UINT code) const
    {
        int n = 0;
        for (const Notification& note : dialog.notes)
            n += note.code == code ? 1 : 0;
        return n;
    }
    void click(CPoint at)
    {
        dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, at);
        pumpMessages();
    }
    // The edit window: a child of the dialog, or a top-level pop-up over a layered one.
    HWND editWnd() const
    {
        HWND child = FindWindowExW(dialog.GetSafeHwnd(), nullptr, L"FSEditWindow", nullptr);
        return child ? child : FindWindowW(L"FSEditWindow", nullptr);
    }
    void type(const wchar_t* text)
    {
        const int before = count(26);
        for (const wchar_t* c = text; *c; ++c)
            PostMessageW(editWnd(), WM_CHAR, *c, 1);
        pumpUntil([&] { return count(26) >= before + static_cast<int>(wcslen(text)); });
    }
    // The dialog's own background, where no control lies.
    static DWORD back(const DibCanvas& picture) { return picture.rgb(300, 150); }
    std::unique_ptr<DibCanvas> shot()
    {
        InvalidateRect(dialog.GetSafeHwnd(), nullptr, FALSE);
        UpdateWindow(dialog.GetSafeHwnd());
        return captureClient(dialog.GetSafeHwnd());
    }

    NotedDialog dialog;
    MEdit* edit { nullptr };
};

} // namespace

TEST_F(EditDialog, PressShowsTheEditTypingReportsEachChangeAndAPressElsewhereEndsIt)
{
    ASSERT_NE(nullptr, edit);
    // One batch: the real pointer is elsewhere, and a pump between press and release would
    // let the leave that tracking reports end the hover.
    click(kOnText);
    EXPECT_EQ("30 1 2 ", codes());
    ASSERT_TRUE(editWnd() && IsWindowVisible(editWnd()));
    type(L"ab");
    EXPECT_EQ(2, count(26));
    EXPECT_EQ(CString(L"ab"), edit->GetTitleEx());
    PostMessageW(editWnd(), WM_KEYDOWN, VK_RETURN, 1);
    pumpMessages();
    EXPECT_EQ(1, count(29)) << "Return ends the edit";
    EXPECT_TRUE(IsWindowVisible(editWnd())) << "and leaves it open";
    click(kElsewhere);
    EXPECT_LE(2, count(29));
    EXPECT_FALSE(IsWindowVisible(editWnd()));
    EXPECT_NE(editWnd(), GetFocus()) << "the hidden edit keeps no keyboard focus";
    EXPECT_EQ(CString(L"ab"), edit->GetTitleEx());
}

// In a page the press first hands the focus to the field and then lands on its text: the
// edit window opens once, and the host hears it once.
TEST_F(EditDialog, InAPageOnePressOpensTheEditAndTellsItOnce)
{
    auto* page = dialog.adopt(new MPanel(&dialog, 90, CRect(0, 100, 400, 200), 1));
    page->CreateControl(L"MEdit", 21, CRect(20, 120, 200, 150), L"", 1, 1);
    click(CPoint(60, 135));
    EXPECT_EQ("30 1 2 ", codes());
    ASSERT_TRUE(editWnd() && IsWindowVisible(editWnd()));
}

// A press on the text released on the icon: the edit ends (29), the icon reports its release
// (31) and the click the press began is completed (2).
TEST_F(EditDialog, APressOnTheTextReleasedOnTheIconCompletesTheClick)
{
    ScratchStrip strip(GetSkinPath(), L"t24_edit_icon.png", 16, 10, { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00 });
    ASSERT_EQ(1, edit->SetIconImage(L"t24_edit_icon.png", 4));
    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN }, kOnText);
    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONUP }, CPoint(180, 35));
    pumpMessages();
    EXPECT_EQ("30 1 29 31 2 ", codes());
    EXPECT_FALSE(IsWindowVisible(editWnd()));
}

// What the host sets before the edit opens is what the native edit window shows: several
// lines, digits only, at most so many characters, and its back colour.
TEST_F(EditDialog, TheOptionsReachTheNativeEditWindow)
{
    const CRect place(20, 60, 200, 100);
    const CPoint on(60, 80);
    const struct {
        const char* what;
        std::function<void(MEdit&)> set;
        std::function<void(HWND)> check;
    } cases[] {
        { "multi-line", [](MEdit& field) { field.EnableMultLine(1); },
          [](HWND window) { EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & ES_MULTILINE); } },
        { "single line", [](MEdit&) {},
          [](HWND window) { EXPECT_FALSE(GetWindowLongW(window, GWL_STYLE) & (ES_MULTILINE | ES_NUMBER)); } },
        { "number only", [](MEdit& field) { field.SetNumberOnly(1); },
          [](HWND window) { EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & ES_NUMBER); } },
        { "limit", [](MEdit& field) { field.SetLimitText(5); },
          [this](HWND window) {
              EXPECT_EQ(5, SendMessageW(window, EM_GETLIMITTEXT, 0, 0));
              for (const wchar_t* c = L"abcdefgh"; *c; ++c)
                  PostMessageW(window, WM_CHAR, *c, 1);
              pumpMessages();
              EXPECT_EQ(5, GetWindowTextLengthW(window));
          } },
        { "back colour", [](MEdit& field) { field.SetEditBKColor(0x0000FF); },
          [](HWND window) {
              InvalidateRect(window, nullptr, TRUE);
              UpdateWindow(window);
              const auto picture = captureClient(window);
              EXPECT_TRUE(nearColor(picture->rgb(picture->width() - 3, picture->height() / 2), 0xFF0000, 8))
                  << std::hex << picture->rgb(picture->width() - 3, picture->height() / 2);
          } },
    };
    UINT id = 30;
    for (const auto& c : cases) {
        MEdit* field = dialog.create<MEdit>(L"MEdit", id++, place);
        c.set(*field);
        click(on);
        const HWND window = FindWindowExW(dialog.GetSafeHwnd(), nullptr, L"FSEditWindow", nullptr);
        ASSERT_TRUE(window && IsWindowVisible(window)) << c.what;
        SCOPED_TRACE(c.what);
        c.check(window);
        click(kElsewhere);
        dialog.GetPaintManager()->RemoveControl(field);
        pumpMessages();
    }
}

TEST_F(EditDialog, ReadingTheTitleEndsTheEditAndTheCopyDoesNot)
{
    click(kOnText);
    type(L"xyz");
    dialog.notes.clear();
    EXPECT_EQ(CString(L"xyz"), edit->GetTitleEx());
    EXPECT_EQ("", codes());
    EXPECT_EQ(CString(L"xyz"), edit->GetTitle());
    EXPECT_EQ("29 ", codes().substr(0, 3));
    EXPECT_FALSE(IsWindowVisible(editWnd()));
}

TEST_F(EditDialog, WithCharMessagesOffNothingIsTyped)
{
    edit->EnableCharMessage(0);
    click(kOnText);
    PostMessageW(editWnd(), WM_CHAR, L'q', 1);
    pumpMessages();
    EXPECT_EQ(0, count(26));
    EXPECT_EQ(0, GetWindowTextLengthW(editWnd()));
}

TEST_F(EditDialog, ReadOnlyOrDisabledNeverOpensButStillClicks)
{
    for (int disabled : { 0, 1 }) {
        MEdit* other = dialog.create<MEdit>(L"MEdit", 8 + disabled, CRect(20, 60 + 40 * disabled, 200, 90 + 40 * disabled));
        if (disabled)
            other->SetEnabled(0);
        else
            other->SetReadOnly(1);
        dialog.notes.clear();
        click(CPoint(60, 75 + 40 * disabled));
        EXPECT_EQ(nullptr, editWnd()) << disabled;
        EXPECT_EQ(disabled ? "" : "1 2 ", codes()) << disabled;
    }
}

TEST_F(EditDialog, PasswordModeMakesAPasswordEditAndDrawsOneMaskPerCharacter)
{
    edit->EnablePassWord(1);
    click(kOnText);
    const DWORD style = static_cast<DWORD>(GetWindowLongW(editWnd(), GWL_STYLE));
    EXPECT_TRUE(style & ES_PASSWORD);
    EXPECT_EQ(0xA1F1, SendMessageW(editWnd(), EM_GETPASSWORDCHAR, 0, 0));
}

TEST_F(EditDialog, OverALayeredWindowTheEditIsAPopUpAtScreenCoordinates)
{
    dialog.GetPaintManager()->SetLayeredWindow(1);
    click(kOnText);
    const HWND window = editWnd();
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_POPUP);
    const CRect dialogPlace = windowRectOf(dialog.GetSafeHwnd());
    const CRect place = windowRectOf(window);
    // The single-line text rectangle: 6 in from the sides, the font size high and centred.
    EXPECT_EQ(dialogPlace.left + 26, place.left);
    EXPECT_EQ(dialogPlace.left + 194, place.right);
    EXPECT_EQ(dialogPlace.top + 28, place.top);
    EXPECT_EQ(dialogPlace.top + 42, place.bottom);
}

TEST_F(EditDialog, TheTipShowsInGreyWhileEmptyAndGoesOnceTextIsTyped)
{
    const CRect textArea(26, 21, 194, 49);
    auto picture = shot();
    Ink ink = scanInk(*picture, textArea, back(*picture), MEdit::kTipColor, 8);
    EXPECT_TRUE(ink.any() && ink.matching > 10) << ink.pixels << " " << ink.matching;
    click(kOnText);
    type(L"w");
    click(kElsewhere);
    picture = shot();
    ink = scanInk(*picture, textArea, back(*picture), MEdit::kTipColor, 8);
    EXPECT_EQ(0, ink.matching) << "no grey tip once there is text";
    EXPECT_TRUE(ink.any()) << "the text itself";
}

// A 4-frame 64-px strip: 16-px frames 9 px in from a right edge at 200, centred vertically;
// a press and release on it report 9 and 31 and open nothing.
TEST_F(EditDialog, TheIconSitsAtTheRightEdgeAndReportsItsOwnPressAndRelease)
{
    ScratchStrip strip(GetSkinPath(), L"t24_edit_icon.png", 16, 10, { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00 });
    ASSERT_EQ(1, edit->SetIconImage(L"t24_edit_icon.png", 4));
    const auto picture = shot();
    const Ink ink = scanInk(*picture, CRect(150, 20, 200, 50), back(*picture), 0xFF0000, 8);
    EXPECT_TRUE(ink.bounds.left == 175 && ink.bounds.right == 190 && ink.bounds.top == 30 && ink.bounds.bottom == 39)
        << ink.bounds.left << "," << ink.bounds.top << " " << ink.bounds.right << "," << ink.bounds.bottom;
    EXPECT_EQ(ink.pixels, ink.matching) << "the normal frame";
    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(180, 35));
    pumpMessages();
    EXPECT_EQ("9 31 ", codes());
    EXPECT_EQ(nullptr, editWnd());
    EXPECT_EQ(CRect(26, 28, 172, 42), edit->GetTextRect()) << "the text gives way to the icon";
    EXPECT_EQ(0, edit->SetIconImage(L"t24_edit_icon.png", 0)) << "no frames: the icon goes (and the file with it)";
}

TEST_F(EditDialog, ABoldFontAsksForBoldAndALongFaceIsCutAndTerminated)
{
    edit->SetEditFont(L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn", 15, 1, 1, 0);
    const LOGFONTW font = logFontOf(edit->GetDefaultFont());
    EXPECT_EQ(-15, font.lfHeight);
    EXPECT_EQ(FW_BOLD, font.lfWeight);
    EXPECT_TRUE(font.lfUnderline && !font.lfItalic);
    EXPECT_EQ(31u, wcslen(font.lfFaceName));
}

// The edit goes with the control: destroyed by its owner, or first by its window's end.
TEST_F(EditDialog, OpeningAndClosingEditsLeaksNoGdiObjectAndFreesEachWindowOnce)
{
    expectNoGdiGrowth([&] {
        MEdit* field = dialog.create<MEdit>(L"MEdit", 20, CRect(20, 60, 200, 90));
        click(CPoint(60, 75));
        click(kElsewhere);
        dialog.GetPaintManager()->RemoveControl(field);
    }, 1000);
    click(kOnText);
    DestroyWindow(editWnd());
    EXPECT_EQ(nullptr, editWnd());
    click(kOnText);
    EXPECT_NE(nullptr, editWnd()) << "a destroyed edit is made again";
}

// A copy takes the values, not the open edit window: its end leaves the original's window.
TEST_F(EditDialog, ACopySharesNoEditWindow)
{
    click(kOnText);
    const HWND window = editWnd();
    ASSERT_NE(nullptr, window);
    {
        MEdit copy(*edit);
        EXPECT_EQ(0, copy.IsEditFocused());
    }
    EXPECT_TRUE(IsWindow(window));
    type(L"z");
    EXPECT_EQ(CString(L"z"), edit->GetTitleEx());
}
