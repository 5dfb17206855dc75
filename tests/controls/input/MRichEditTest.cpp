// The rich edit and its text-services host: the host's answers to the services (property
// bits, lengths, scroll bars, timers, colours, fonts) and the control on a real dialog
// driven by posted messages (typing, the tip, colours into a layered back buffer, RTF files,
// the context menu, zoom, the thumb, IME) and its end.
#include <gtest/gtest.h>

#include "platform/Win32.h"

#include <imm.h>

#include "BoundWindow.h"
#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "InkScan.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "ScratchFile.h"
#include "ScratchStrip.h"
#include "TestWindow.h"
#include "WindowCapture.h"
#include "controls/input/CTxtWinHost.h"
#include "controls/input/MRichEdit.h"
#include "framework/AppPaths.h"
#include "framework/MScroll.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const CRect kEditRect(20, 20, 220, 120);
const CPoint kInside(60, 40);

// Reaches the host the control owns.
class ProbeEdit : public MRichEdit {
public:
    ProbeEdit(MObject* parent, CRect rect, const wchar_t* tip = L"") : MRichEdit(parent, 7, rect, tip, 1, 1) {}
    CTxtWinHost* host() const { return Host(); }
};

class RichDialog : public ::testing::Test {
protected:
    RichDialog()
    {
        dialog.activate();
    }
    ProbeEdit* make(const wchar_t* tip = L"")
    {
        auto* edit = new ProbeEdit(&dialog, kEditRect, tip);
        dialog.GetPaintManager()->AppendControl(edit, 1);
        edit->SetManager(dialog.GetPaintManager());
        return edit;
    }
    // Made before the dialog, gone after it: the dialog's image cache holds the file.
    ScratchStrip background { GetSkinPath(), L"t24_rich_back.png", 20, 20, { 0xFF202020, 0xFF202020, 0xFF202020, 0xFF202020 } };

    void post(UINT msg, WPARAM wParam, LPARAM lParam)
    {
        PostMessageW(dialog.GetSafeHwnd(), msg, wParam, lParam);
        pumpMessages();
    }
    void focusOn()
    {
        dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, kInside);
        pumpMessages();
    }
    void type(const wchar_t* text) { dialog.type(text); }
    int count(UINT code) const { return dialog.count(code); }
    std::unique_ptr<DibCanvas> shot() { return dialog.shot(); }

    NotedDialog dialog;
};

} // namespace

// ---- the host's answers

TEST_F(RichDialog, PropertyBitsFollowEachFlagAndAMaskOfNothingAnswersNothing)
{
    ProbeEdit* edit = make();
    CTxtWinHost* h = edit->host();
    ASSERT_NE(nullptr, h);
    DWORD bits = 0xFFFF;
    h->TxGetPropertyBits(0xFFFFFFFF, &bits);
    EXPECT_EQ(static_cast<DWORD>(TXTBIT_RICHTEXT | TXTBIT_MULTILINE | TXTBIT_HIDESELECTION | TXTBIT_WORDWRAP), bits) << std::hex << bits;
    const struct { void (MRichEdit::*set)(int); DWORD bit; } flags[] {
        { &MRichEdit::SetRich, TXTBIT_RICHTEXT }, { &MRichEdit::SetReadOnly, TXTBIT_READONLY },
        { &MRichEdit::SetPassword, TXTBIT_USEPASSWORD }, { &MRichEdit::SetWordWrap, TXTBIT_WORDWRAP },
    };
    for (const auto& flag : flags) {
        for (int on : { 1, 0 }) {
            (edit->*flag.set)(on);
            h->TxGetPropertyBits(flag.bit, &bits);
            EXPECT_EQ(on ? flag.bit : 0u, bits) << std::hex << flag.bit << " " << on;
        }
    }
    h->TxGetPropertyBits(0, &bits);
    EXPECT_EQ(0u, bits);
    // A password edit reports its own mask character, so its text never shows.
    WCHAR mask = 0;
    h->TxGetPasswordChar(&mask);
    EXPECT_EQ(0xA1F1, mask);
}

TEST_F(RichDialog, TheLengthLimitHoldsForTypingAndNothingOrLessMeansTheMaximum)
{
    ProbeEdit* edit = make();
    for (int limit : { 0, -5 }) {
        edit->SetLimitText(limit);
        DWORD length = 0;
        edit->host()->TxGetMaxLength(&length);
        EXPECT_EQ(32767u, length) << limit;
    }
    edit->SetLimitText(5);
    focusOn();
    type(L"abcdefgh");
    EXPECT_EQ(CString(L"abcde"), edit->GetTitle());
}

TEST_F(RichDialog, AFittingRangeHidesTheBarAndOnePixelMoreShowsIt)
{
    ProbeEdit* edit = make();
    const RECT client = edit->host()->GetClientRect();
    const int height = client.bottom - client.top;
    edit->host()->TxSetScrollRange(SB_VERT, 0, height, TRUE);
    EXPECT_FALSE(edit->GetScrollVertical()->IsVisible());
    edit->host()->TxSetScrollRange(SB_VERT, 0, height + 1, TRUE);
    EXPECT_TRUE(edit->GetScrollVertical()->IsVisible());
    edit->host()->TxSetScrollRange(SB_VERT, 0, height, TRUE);
    EXPECT_FALSE(edit->GetScrollVertical()->IsVisible());
}

// A timer the services set again keeps running: that is a success.
TEST_F(RichDialog, TimersSetAgainAnswerTrueAndBlackNeverReachesTheServicesAsBlack)
{
    ProbeEdit* edit = make();
    EXPECT_TRUE(edit->host()->TxSetTimer(5, 100));
    EXPECT_TRUE(edit->host()->TxSetTimer(5, 100));
    edit->host()->TxKillTimer(5);
    if (GetSysColor(COLOR_WINDOWTEXT) == 0) {
        EXPECT_EQ(1u, edit->host()->TxGetSysColor(COLOR_WINDOWTEXT));
    }
    dialog.GetPaintManager()->SetLayeredWindow(1);
    ProbeEdit* layered = make();
    layered->SetTextColor(Gdiplus::Color(255, 0, 0, 0));
    EXPECT_EQ(1u, layered->host()->GetCharFormat().crTextColor);
    layered->SetTextColor(Gdiplus::Color(255, 255, 0, 0));
    EXPECT_EQ(0x0000FFu, layered->host()->GetCharFormat().crTextColor) << "the COLORREF itself";
}

// Bold, italic and underline follow the font both ways; the height in twips at the screen's
// pixels per inch.
TEST_F(RichDialog, AFontTurnsItsEffectsOnAndOff)
{
    ProbeEdit* edit = make();
    edit->SetFont(L"Arial", 16, 1, 1, 1);
    const DWORD all = CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE;
    EXPECT_EQ(all, edit->host()->GetCharFormat().dwEffects & all);
    edit->SetFont(L"Arial", 16, 0, 0, 0);
    EXPECT_EQ(0u, edit->host()->GetCharFormat().dwEffects & all);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(16 * 1440 / GetDeviceCaps(screen, LOGPIXELSY), edit->host()->GetCharFormat().yHeight);
    ReleaseDC(nullptr, screen);
    const LOGFONTW font = logFontOf(edit->GetDefaultFont());
    EXPECT_TRUE(font.lfWeight == FW_NORMAL || font.lfWeight == 0);
}

// ---- the control on the dialog

TEST_F(RichDialog, APressFocusesItPostedCharsAreTypedAndEachChangeBecomesTheTitle)
{
    ProbeEdit* edit = make();
    focusOn();
    EXPECT_TRUE(edit->IsFocused());
    EXPECT_EQ(1, count(1));
    EXPECT_EQ(1, count(2));
    type(L"hi!");
    EXPECT_EQ(CString(L"hi!"), edit->GetTitle());
    EXPECT_EQ(CString(L"i!"), edit->GetTextRange(1, -1));
    EXPECT_EQ(CString(), edit->GetTextRange(2, 1)) << "an end before the start";
    EXPECT_EQ(CString(), edit->GetLine(0, 0));
    EXPECT_EQ(CString(L"hi"), edit->GetLine(0, 2));
    // Keys go only to the focused edit.
    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(300, 170));
    type(L"x");
    EXPECT_EQ(CString(L"hi!"), edit->GetTitle());
}

// The buffers are sized by the text: ends and lengths far past it, or lines that are not
// there, give the text there is (or nothing), never a host ended by a failed allocation.
TEST_F(RichDialog, RangesAndLinesAskedFarPastTheTextGiveTheTextThereIs)
{
    ProbeEdit* edit = make();
    focusOn();
    type(L"hello");
    ASSERT_EQ(CString(L"hello"), edit->GetTitle());
    const struct { long start; long end; const wchar_t* text; } ranges[] {
        { 0, 0x7FFFFFFF, L"hello" }, { 0, 0x30000000, L"hello" }, { 2, 0x7FFFFFFF, L"llo" }, { 5, 0x7FFFFFFF, L"" },
        { 0x7FFFFFF0, 0x7FFFFFFF, L"" }, { -5, 3, L"" }, { 1, 3, L"el" },
    };
    for (const auto& range : ranges)
        EXPECT_EQ(CString(range.text), edit->GetTextRange(range.start, range.end)) << range.start << " " << range.end;
    const struct { int line; int length; const wchar_t* text; } lines[] {
        { 0, 0x7FFFFFFF, L"hello" }, { 0, 0x30000000, L"hello" }, { 0, 3, L"hel" }, { 1, 0x7FFFFFFF, L"" },
        { -1, 100, L"" }, { 0x7FFFFFFF, 0x7FFFFFFF, L"" },
    };
    for (const auto& line : lines) {
        CString text = edit->GetLine(line.line, line.length);
        text.TrimRight(L"\r\n");
        EXPECT_EQ(CString(line.text), text) << line.line << " " << line.length;
    }
}

TEST_F(RichDialog, TheTipShowsWhileEmptyGoesWithTheFirstCharacterAndReturns)
{
    ProbeEdit* edit = make(L"search");
    ASSERT_EQ(1, edit->SetImage(L"t24_rich_back.png", 4));
    const CRect tipArea(25, 25, 120, 45);
    auto grey = [&] { return scanInk(*shot(), tipArea, 0x202020, 0x808080, 40).matching; };
    EXPECT_GT(grey(), 10);
    focusOn();
    type(L"a");
    EXPECT_EQ(0, grey());
    PostMessageW(dialog.GetSafeHwnd(), WM_KEYDOWN, VK_BACK, 1);
    pumpMessages();
    EXPECT_GT(grey(), 10);
    dialog.GetPaintManager()->RemoveControl(edit);
    pumpMessages();
}

TEST_F(RichDialog, AnRtfFileKeepsBoldAndAMissingFileLoadsNothing)
{
    ProbeEdit* edit = make();
    edit->SetControlTitle(L"plain bold");
    edit->SetSel(6, 10);
    CHARFORMAT2W bold {};
    bold.dwMask = CFM_BOLD;
    bold.dwEffects = CFE_BOLD;
    ASSERT_EQ(1, edit->SetSelectionCharFormat(bold));
    ScratchFile file(GetSkinPath(), L"t24_round.rtf", {});
    EXPECT_GT(edit->SaveRtf(file.path()), 0);
    edit->SetControlTitle(L"gone");
    EXPECT_GT(edit->LoadRtf(file.path()), 0);
    EXPECT_EQ(CString(L"plain bold"), edit->GetTitle());
    CHARFORMAT2W read {};
    edit->SetSel(7, 9);
    edit->GetSelectionCharFormat(read);
    EXPECT_TRUE(read.dwEffects & CFE_BOLD);
    edit->SetSel(0, 3);
    edit->GetSelectionCharFormat(read);
    EXPECT_FALSE(read.dwEffects & CFE_BOLD);
    EXPECT_EQ(0, edit->LoadRtf(L"C:\\no\\such\\file.rtf"));
    EXPECT_EQ(0, edit->SetZoom(65, 1));
    EXPECT_EQ(0, edit->SetZoom(-1, 1));
    EXPECT_EQ(1, edit->SetZoom(2, 1));
}

namespace {
// The states of the context menu's rows, read as it opens; the menu is then closed.
struct MenuReader {
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == WM_INITMENUPOPUP) {
            for (UINT id = 101; id <= 107; ++id)
                grey[id - 101] = (GetMenuState(reinterpret_cast<HMENU>(wParam), id, MF_BYCOMMAND) & MF_GRAYED) != 0;
            opened = true;
            EndMenu();
        }
        return CallWindowProcW(previous, hwnd, msg, wParam, lParam);
    }
    static WNDPROC previous;
    static bool grey[7];
    static bool opened;
};
WNDPROC MenuReader::previous = nullptr;
bool MenuReader::grey[7] {};
bool MenuReader::opened = false;
} // namespace

// Inside the control (the point comes in screen coordinates) the menu opens; a read-only
// edit greys what would change the text; command 105 empties the whole text.
TEST_F(RichDialog, TheContextMenuGreysWhatReadOnlyForbidsAndClearEmptiesTheText)
{
    ProbeEdit* edit = make();
    focusOn();
    type(L"abc");
    MenuReader::previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(dialog.GetSafeHwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MenuReader::proc)));
    POINT screen = kInside;
    ClientToScreen(dialog.GetSafeHwnd(), &screen);
    for (int readOnly : { 0, 1 }) {
        edit->SetReadOnly(readOnly);
        edit->SetSelAll();
        MenuReader::opened = false;
        post(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dialog.GetSafeHwnd()), MAKELPARAM(screen.x, screen.y));
        ASSERT_TRUE(MenuReader::opened) << readOnly;
        // Cut 102, Paste 104, Clear 105; Copy 103 stays.
        EXPECT_EQ(readOnly != 0, MenuReader::grey[1]) << readOnly;
        EXPECT_EQ(readOnly != 0, MenuReader::grey[3]) << readOnly;
        EXPECT_EQ(readOnly != 0, MenuReader::grey[4]) << readOnly;
        EXPECT_FALSE(MenuReader::grey[2]) << readOnly;
    }
    // From the keyboard the point is (-1, -1): the menu opens at the caret.
    MenuReader::opened = false;
    post(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dialog.GetSafeHwnd()), MAKELPARAM(-1, -1));
    EXPECT_TRUE(MenuReader::opened) << "from the keyboard";
    MenuReader::opened = false;
    POINT outside { 300, 170 };
    ClientToScreen(dialog.GetSafeHwnd(), &outside);
    post(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dialog.GetSafeHwnd()), MAKELPARAM(outside.x, outside.y));
    EXPECT_FALSE(MenuReader::opened) << "not over the control";
    SetWindowLongPtrW(dialog.GetSafeHwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MenuReader::previous));
    edit->SetReadOnly(0);
    edit->SetSel(1, 1);
    post(WM_COMMAND, MRichEdit::kMenuClear, 0);
    EXPECT_EQ(CString(), edit->GetTitle());
    // A right release inside is the menu's; outside it is not the edit's business.
    EXPECT_EQ(1, edit->OnWindowMessage(WM_RBUTTONUP, 0, MAKELPARAM(kInside.x, kInside.y)));
    EXPECT_EQ(0, edit->OnWindowMessage(WM_RBUTTONUP, 0, MAKELPARAM(300, 170)));
}

TEST_F(RichDialog, DraggingTheThumbScrollsTheTextAndTheParentStillHearsTheBar)
{
    ProbeEdit* edit = make();
    focusOn();
    for (int line = 0; line < 40; ++line)
        edit->AppendText(L"line\r\n", 0);
    pumpMessages();
    CScrollVertical* bar = edit->GetScrollVertical();
    ASSERT_TRUE(bar->IsVisible());
    // Appending left the caret, and the view, at the end: the thumb is dragged up.
    const int firstBefore = edit->CharFromPos(CPoint(30, 30));
    const int positionBefore = bar->GetScrollCurrentPos();
    const CPoint grab = bar->GetThumbRect().CenterPoint();
    dialog.notes.clear();
    bar->OnLButtonDown(MK_LBUTTON, grab);
    bar->OnMouseMove(MK_LBUTTON, CPoint(grab.x, grab.y - 30));
    bar->OnLButtonUp(0, CPoint(grab.x, grab.y - 30));
    EXPECT_LT(bar->GetScrollCurrentPos(), positionBefore) << "the services' answer did not put the thumb back";
    EXPECT_LT(edit->CharFromPos(CPoint(30, 30)), firstBefore) << "the text follows the thumb";
    ASSERT_FALSE(dialog.notes.empty());
    EXPECT_EQ(8u, dialog.notes.back().code);
}

// No IME is installed here, yet the context is there: the composition window is put at the
// caret; a posted IME character arrives as a character.
TEST_F(RichDialog, TheCompositionWindowFollowsTheCaretAndAnImeCharacterIsTyped)
{
    ProbeEdit* edit = make();
    focusOn();
    type(L"ab");
    post(WM_IME_STARTCOMPOSITION, 0, 0);
    HIMC context = ImmGetContext(dialog.GetSafeHwnd());
    ASSERT_NE(nullptr, context);
    COMPOSITIONFORM form {};
    ImmGetCompositionWindow(context, &form);
    ImmReleaseContext(dialog.GetSafeHwnd(), context);
    POINT caret {};
    GetCaretPos(&caret);
    EXPECT_EQ(static_cast<DWORD>(CFS_POINT), form.dwStyle);
    EXPECT_EQ(caret.x, form.ptCurrentPos.x);
    EXPECT_EQ(caret.y, form.ptCurrentPos.y);
    post(WM_IME_CHAR, 0x4E2D, 1);
    pumpMessages();
    EXPECT_EQ(CString(L"ab\x4E2D"), edit->GetTitle());
}

TEST_F(RichDialog, FiveHundredRichEditsLeaveNoGdiObject)
{
    expectNoGdiGrowth([&] {
        ProbeEdit* edit = make();
        edit->SetControlTitle(L"text");
        shot();
        dialog.GetPaintManager()->RemoveControl(edit);
    }, 500);
}

// ---- the layered back buffer

namespace {
class RenderProbe : public PaintManager {
public:
    using PaintManager::renderBackBuffer;
};

class LayeredRich : public ::testing::Test, public BoundWindow<RenderProbe> {
protected:
    LayeredRich() : BoundWindow([](UINT msg) { return msg != WM_NCDESTROY && msg != WM_DESTROY; }, 300, 120)
    {
        manager.SetLayeredWindow(1);
        edit = adopt(manager, new ProbeEdit(&top, CRect(10, 10, 290, 110)));
    }
    std::unique_ptr<DibCanvas> render()
    {
        auto canvas = std::make_unique<DibCanvas>(300, 120);
        BITMAPINFO info {};
        info.bmiHeader = { sizeof(BITMAPINFOHEADER), 300, 120, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
        BYTE* bits = nullptr;
        HDC memory = CreateCompatibleDC(nullptr);
        HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        HGDIOBJ old = SelectObject(memory, dib);
        manager.renderBackBuffer(memory, bits, CRect(0, 0, 300, 120), CRect(0, 0, 300, 120));
        BitBlt(canvas->dc(), 0, 0, 300, 120, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteObject(dib);
        DeleteDC(memory);
        return canvas;
    }

    ProbeEdit* edit { nullptr };
};
} // namespace

// Red text is red, and so is the caret the paint manager draws for a layered window.
TEST_F(LayeredRich, RedTextDrawsRedGlyphsAndARedCaretIntoTheBackBuffer)
{
    edit->SetTextColor(Gdiplus::Color(255, 255, 0, 0));
    ASSERT_TRUE(pumpUntil([&] {
        SetForegroundWindow(window.hwnd());
        SetFocus(window.hwnd());
        return GetFocus() == window.hwnd();
    }));
    edit->SetControlFocus(1);
    edit->SetControlTitle(L"WWWW");
    edit->SetSel(-1, -1);
    pumpMessages();
    const auto canvas = render();
    const Ink text = scanInk(*canvas, CRect(10, 10, 290, 110), canvas->rgb(5, 5), 0xFF0000, 60);
    EXPECT_GT(text.matching, 20) << text.pixels;
    const CRect caret = manager.GetCaretRect();
    EXPECT_EQ(edit, manager.GetCurrentCaretObject());
    EXPECT_TRUE(manager.IsCaretShown());
    if (manager.GetCaretPhase()) {
        EXPECT_TRUE(nearColor(canvas->rgb(caret.left, caret.top + 1), 0xFF0000, 8));
    }
}

// Dropped files are switched on and off without losing the other events; a password edit
// marks its own style as a password one, not as read-only.
TEST_F(RichDialog, DropFilesAndPasswordChangeOnlyTheirOwnBits)
{
    ProbeEdit* edit = make();
    edit->SetEventMask(ENM_CHANGE);
    edit->SetDropAcceptFile(1);
    EXPECT_EQ(static_cast<DWORD>(ENM_CHANGE | ENM_DROPFILES), edit->GetEventMask());
    edit->SetDropAcceptFile(0);
    EXPECT_EQ(static_cast<DWORD>(ENM_CHANGE), edit->GetEventMask());
    edit->SetPassword(1);
    EXPECT_EQ(static_cast<DWORD>(ES_PASSWORD), edit->GetWinStyle() & (ES_PASSWORD | ES_READONLY));
}

// A copy has no host of its own until it is initialised, and its end leaves the original's.
TEST_F(RichDialog, ACopySharesNoHost)
{
    ProbeEdit* edit = make();
    edit->SetControlTitle(L"kept");
    {
        ProbeEdit copy(*edit);
        EXPECT_EQ(nullptr, copy.host());
    }
    focusOn();
    edit->SetSel(-1, -1);
    type(L"!");
    EXPECT_EQ(CString(L"kept!"), edit->GetTitle());
}
