// The in-place edit window on a real dialog: where it lies and how it is made over its owner,
// the typed text flowing back into the owner, Return ending the owner's focus, its colours,
// and its end (the owner's pointer cleared once, also when the owner closes it from Return).
#include <gtest/gtest.h>

#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "TestWindow.h"
#include "controls/input/CEditWindow.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const CRect kOwnerRect(40, 100, 240, 140);

// A list row stand-in: a titled control that writes down how its focus is taken, and may
// close its edit window when that happens, as the lists do.
class OwnerField : public MControlFont {
public:
    OwnerField(MObject* parent, CRect rect) : MControlFont(parent, 9, rect, L"abc", 1, 1, 1) {}
    void DrawControl(HDC&, CRect) override {}
    int SetControlFocus(int focus) override
    {
        focusCalls.push_back(focus);
        if (closeOnBlur && edit)
            NativeEditWindow::Dispose(edit);
        return 1;
    }
    std::vector<int> focusCalls;
    bool closeOnBlur { false };
    CEditWindow* edit { nullptr };
};

class InPlaceEdit : public ::testing::Test {
protected:
    InPlaceEdit()
    {
        owner = new OwnerField(&dialog, kOwnerRect);
        dialog.GetPaintManager()->AppendControl(owner, 1);
        owner->SetManager(dialog.GetPaintManager());
    }
    ~InPlaceEdit() override
    {
        if (dialog.GetSafeHwnd())
            NativeEditWindow::Dispose(owner->edit);
    }
    CEditWindow* open(CRect rect = CRect(), COLORREF back = 0x363B3E)
    {
        owner->edit = new CEditWindow;
        owner->edit->SetColors(back, 0x00FF00);
        owner->edit->Init(owner, rect);
        owner->edit->SetOwnerSlot(&owner->edit);
        return owner->edit;
    }
    HWND editWnd() const { return owner->edit ? owner->edit->GetSafeHwnd() : nullptr; }
    int count(UINT code) const
    {
        int n = 0;
        for (const Notification& note : dialog.notes)
            n += note.code == code ? 1 : 0;
        return n;
    }
    void type(const wchar_t* text)
    {
        for (const wchar_t* c = text; *c; ++c)
            PostMessageW(editWnd(), WM_CHAR, *c, 1);
        pumpUntil([&] { return owner->GetTitle().GetLength() >= static_cast<int>(wcslen(text)); });
    }

    NotedDialog dialog;
    OwnerField* owner { nullptr };
};

} // namespace

// An empty rectangle gives the owner's text line: 6 px in from each side, the font size + 2
// high and centred; a child over a plain window, a pop-up at screen coordinates over a
// layered one. No margins, the text selected, and the owner's title put in without a report.
TEST_F(InPlaceEdit, LiesOverTheOwnersTextLineAsAChildOrAsAPopUpOverALayeredWindow)
{
    owner->SetFontWidth(14);
    RECT dialogPlace {};
    GetWindowRect(dialog.GetSafeHwnd(), &dialogPlace);
    const struct { int layered; DWORD style; CPoint origin; } cases[] {
        { 0, 0x40000080, CPoint() },
        { 1, 0x90000080, CPoint(dialogPlace.left, dialogPlace.top) },
    };
    for (const auto& c : cases) {
        dialog.GetPaintManager()->SetLayeredWindow(c.layered);
        open();
        RECT place {};
        GetWindowRect(editWnd(), &place);
        if (!c.layered)
            MapWindowPoints(nullptr, dialog.GetSafeHwnd(), reinterpret_cast<POINT*>(&place), 2);
        CRect expected(46, 112, 234, 128);
        expected.OffsetRect(c.origin.x, c.origin.y);
        EXPECT_EQ(expected, CRect(place)) << "layered " << c.layered;
        const DWORD kinds = WS_CHILD | WS_POPUP | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL | ES_CENTER | ES_RIGHT | ES_PASSWORD;
        EXPECT_EQ(c.style | WS_VISIBLE, static_cast<DWORD>(GetWindowLongW(editWnd(), GWL_STYLE)) & kinds) << "layered " << c.layered;
        EXPECT_EQ(0, SendMessageW(editWnd(), EM_GETMARGINS, 0, 0));
        DWORD from = 1, to = 0;
        SendMessageW(editWnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        EXPECT_TRUE(from == 0 && to == 3) << from << ".." << to;
        pumpMessages();
        EXPECT_EQ(0, count(26)) << "putting the title in is no change of the user's";
        NativeEditWindow::Dispose(owner->edit);
        EXPECT_EQ(nullptr, owner->edit);
    }
}

TEST_F(InPlaceEdit, AGivenRectangleAlignmentPasswordNumberOnlyAndReadOnlyReachTheWindow)
{
    owner->SetAlignment(2);
    owner->edit = new CEditWindow;
    owner->edit->SetPassword(1);
    owner->edit->SetNumberOnly(1);
    owner->edit->SetReadOnly(1);
    owner->edit->SetLimitText(5);
    owner->edit->Init(owner, CRect(50, 105, 150, 125));
    owner->edit->SetOwnerSlot(&owner->edit);
    RECT place {};
    GetWindowRect(editWnd(), &place);
    MapWindowPoints(nullptr, dialog.GetSafeHwnd(), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(CRect(50, 105, 150, 125), CRect(place));
    const DWORD style = static_cast<DWORD>(GetWindowLongW(editWnd(), GWL_STYLE));
    EXPECT_EQ(static_cast<DWORD>(ES_RIGHT | ES_PASSWORD | ES_NUMBER | ES_READONLY),
              style & (ES_CENTER | ES_RIGHT | ES_PASSWORD | ES_NUMBER | ES_READONLY));
    EXPECT_EQ(0xA1F1, SendMessageW(editWnd(), EM_GETPASSWORDCHAR, 0, 0));
    EXPECT_EQ(5, SendMessageW(editWnd(), EM_GETLIMITTEXT, 0, 0));
}

TEST_F(InPlaceEdit, EveryTypedChangeGoesIntoTheOwnersTitleWithCode26AndReturnEndsTheOwnersFocus)
{
    owner->SetTitle(L"");
    open();
    type(L"xy");
    EXPECT_EQ(CString(L"xy"), owner->GetTitle());
    EXPECT_EQ(2, count(26)) << "one per character";
    for (const Notification& note : dialog.notes)
        EXPECT_EQ(9u, note.id);
    PostMessageW(editWnd(), WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_TRUE(pumpUntil([&] { return !owner->focusCalls.empty(); }));
    EXPECT_EQ(std::vector<int>({ 0 }), owner->focusCalls);
    EXPECT_EQ(CString(L"xy"), owner->GetTitle());
}

// The list closes its edit when Return takes its focus: the window goes from inside its own
// key handling, and the object only once that handling has returned.
TEST_F(InPlaceEdit, AnOwnerClosingTheEditFromReturnClearsItsPointerOnce)
{
    owner->closeOnBlur = true;
    open();
    const HWND window = editWnd();
    PostMessageW(window, WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_TRUE(pumpUntil([&] { return !IsWindow(window); }));
    EXPECT_EQ(nullptr, owner->edit);
    // Destroyed with its parent instead, the window clears the pointer through the slot
    // before the parent's end takes the owner.
    CEditWindow* slot = open();
    slot->SetOwnerSlot(&slot);
    owner->edit = nullptr;
    dialog.DestroyWindow();
    EXPECT_EQ(nullptr, slot);
}

TEST_F(InPlaceEdit, ColourQueriesAnswerTheBackBrushOrNothingForNoBackColour)
{
    DibCanvas canvas(4, 4);
    for (COLORREF back : { COLORREF(0x080808), NativeEditWindow::kNoBackColor }) {
        open(CRect(), back);
        SetTextColor(canvas.dc(), 0x123456);
        const LRESULT brush = SendMessageW(editWnd(), WM_CTLCOLOREDIT + 0x2000, reinterpret_cast<WPARAM>(canvas.dc()),
                                           reinterpret_cast<LPARAM>(editWnd()));
        if (back == NativeEditWindow::kNoBackColor) {
            EXPECT_EQ(0, brush);
            EXPECT_EQ(0x123456u, GetTextColor(canvas.dc()));
        } else {
            LOGBRUSH description {};
            ASSERT_NE(0, GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof(description), &description));
            EXPECT_EQ(back, description.lbColor);
            EXPECT_EQ(0x00FF00u, GetTextColor(canvas.dc()));
            EXPECT_EQ(TRANSPARENT, GetBkMode(canvas.dc()));
        }
        NativeEditWindow::Dispose(owner->edit);
    }
}

// The owner's size + 6 as a cell height, a bold owner at FW_BOLD (not 700 more than the stock
// weight) and a face too long for the description cut and terminated.
TEST_F(InPlaceEdit, TheFontFollowsTheOwnersFaceSizeAndStyle)
{
    owner->SetFont(L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn", 12, Gdiplus::FontStyleBoldItalic);
    open();
    const LOGFONTW font = logFontOf(owner->edit->GetEditFont());
    EXPECT_EQ(18, font.lfHeight);
    EXPECT_EQ(FW_BOLD, font.lfWeight);
    EXPECT_TRUE(font.lfItalic && !font.lfUnderline);
    EXPECT_EQ(std::wstring(L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde"), std::wstring(font.lfFaceName));
}

TEST_F(InPlaceEdit, OpeningAndClosingLeaksNoGdiObject)
{
    DibCanvas canvas(4, 4);
    expectNoGdiGrowth([&] {
        open();
        SendMessageW(editWnd(), WM_CTLCOLOREDIT + 0x2000, reinterpret_cast<WPARAM>(canvas.dc()), 0);
        NativeEditWindow::Dispose(owner->edit);
    }, 1000);
}
