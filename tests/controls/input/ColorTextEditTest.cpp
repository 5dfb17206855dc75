// The colour text edits on a real dialog: hex parsing by length and a report per keystroke,
// the title following every colour (black too) and the drawing that asks for no repaint of
// its own; the decimal fields' clamping, their hand-over from field to field, and a
// factory-built one that opens.
#include <gtest/gtest.h>

#include "DibCanvas.h"
#include "InkScan.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "TestWindow.h"
#include "WindowCapture.h"
#include "controls/input/HexColorEdit.h"
#include "controls/input/RGBColorEdit.h"
#include "framework/ControlFactory.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const CRect kHexRect(20, 20, 140, 44);
const CPoint kOnHexText(80, 32);
const CRect kRgbRect(20, 60, 170, 84);   // fields of 50: R 32..69, G 82..119, B 132..169
const CPoint kOnR(50, 72), kOnG(100, 72), kOnB(150, 72);
const CPoint kElsewhere(300, 150);

class ColorDialog : public ::testing::Test {
protected:
    ColorDialog()
    {
        hex = adopt(new HexColorEdit(&dialog, 5, kHexRect, L"", 1, 1));
        rgb = adopt(static_cast<RGBColorEdit*>(CreateControlByClassName(ControlTable::Panel, L"RGBColorEdit", &dialog, 6,
                                                                        kRgbRect, L"", 1, 1)));
        dialog.activate();
    }
    template <class T>
    T* adopt(T* control) { return dialog.adopt(control); }
    std::string notes() const { return noteLine(dialog.notes); }
    void click(CPoint at)
    {
        dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, at);
        pumpMessages();
    }
    HWND editWnd() const
    {
        HWND child = FindWindowExW(dialog.GetSafeHwnd(), nullptr, L"HexEditWindow", nullptr);
        return child && IsWindowVisible(child) ? child : nullptr;
    }
    // Typed over the whole text: the field opens with the caret after its value.
    void type(const wchar_t* text)
    {
        SendMessageW(editWnd(), EM_SETSEL, 0, -1);
        for (const wchar_t* c = text; *c; ++c)
            PostMessageW(editWnd(), WM_CHAR, *c, 1);
        pumpMessages();
    }
    CString editText() const
    {
        wchar_t text[16] {};
        GetWindowTextW(FindWindowExW(dialog.GetSafeHwnd(), nullptr, L"HexEditWindow", nullptr), text, 16);
        return text;
    }
    std::unique_ptr<DibCanvas> shot()
    {
        InvalidateRect(dialog.GetSafeHwnd(), nullptr, FALSE);
        UpdateWindow(dialog.GetSafeHwnd());
        return captureClient(dialog.GetSafeHwnd());
    }

    NotedDialog dialog;
    HexColorEdit* hex { nullptr };
    RGBColorEdit* rgb { nullptr };
};

} // namespace

TEST_F(ColorDialog, HexTextIsCutIntoRedGreenAndBlueByItsLengthAndEachChangeIsReported)
{
    const struct { const wchar_t* text; COLORREF color; } cases[] {
        { L"f", 0x00000F }, { L"fff", 0x000FFF }, { L"a1b2", 0x00B2A1 }, { L"a1b2c", 0x0CB2A1 },
        { L"A1B2C3", 0xC3B2A1 }, { L"1g", 0x000001 }, { L"1234567", 0x000000 },
    };
    click(kOnHexText);
    ASSERT_NE(nullptr, editWnd());
    for (const auto& c : cases) {
        dialog.notes.clear();
        SetWindowTextW(editWnd(), c.text);
        pumpMessages();
        EXPECT_EQ(c.color, hex->GetSelectColor()) << CString(c.text).GetString();
        ASSERT_FALSE(dialog.notes.empty());
        EXPECT_EQ(5u, dialog.notes.back().id);
        EXPECT_EQ(2u, dialog.notes.back().code);
        EXPECT_EQ(static_cast<LONG>(c.color), dialog.notes.back().lParam);
    }
    SetWindowTextW(editWnd(), L"");
    dialog.notes.clear();
    type(L"ab");
    EXPECT_EQ(2u, dialog.notes.size()) << "a report per keystroke: " << notes();
    EXPECT_EQ(0x0000ABu, hex->GetSelectColor());
}

// Black draws the swatch but no text; the title still follows it, so an edit opened then
// shows black and closing it keeps black (not the colour before).
TEST_F(ColorDialog, TheHexTitleFollowsEveryColourAndBlackDrawsNoText)
{
    const CRect textArea(46, 21, 138, 43);
    const auto red = shot();
    EXPECT_TRUE(nearColor(red->rgb(25, 30), 0xFF0000));
    EXPECT_TRUE(scanInk(*red, textArea, red->rgb(60, 22), 0xFFFFFF, 60).matching > 10) << "the red's hex in white";
    hex->SetSelectColor(0);
    pumpMessages();
    const auto black = shot();
    EXPECT_TRUE(nearColor(black->rgb(25, 30), 0x000000));
    EXPECT_FALSE(scanInk(*black, textArea, black->rgb(60, 22), 0xFFFFFF).any());
    EXPECT_EQ(CString(L"000000"), hex->GetTitleEx());
    click(kOnHexText);
    EXPECT_EQ(CString(L"000000"), editText());
    click(kElsewhere);
    EXPECT_EQ(0u, hex->GetSelectColor());
    // Drawing asks for nothing more: once painted, nothing is left to paint.
    shot();
    pumpMessages();
    RECT pending {};
    EXPECT_FALSE(GetUpdateRect(dialog.GetSafeHwnd(), &pending, FALSE));
}

TEST_F(ColorDialog, ADecimalFieldIsClampedWhenItClosesAndShowsTheClampedValue)
{
    click(kOnG);
    EXPECT_EQ("6:30:0:0", notes());
    type(L"300");
    EXPECT_EQ("6:30:0:0", notes()) << "nothing while typing";
    click(kElsewhere);
    EXPECT_EQ(0x00FF00u, rgb->GetSelectColor());
    EXPECT_EQ(CString(L"255"), editText());
    EXPECT_EQ("6:30:0:0 6:2:0:65280 6:29:0:0", notes());
}

TEST_F(ColorDialog, MovingFromFieldToFieldCommitsClosesAndOpensTheNext)
{
    click(kOnR);
    type(L"7");
    dialog.notes.clear();
    click(kOnB);
    EXPECT_EQ("6:2:0:7 6:29:0:0 6:30:0:0", notes());
    EXPECT_EQ(CString(L"0"), editText()) << "B's own value";
    RECT place {};
    GetWindowRect(editWnd(), &place);
    MapWindowPoints(nullptr, dialog.GetSafeHwnd(), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(132, place.left);
    EXPECT_EQ(169, place.right);
    type(L"9");
    click(kElsewhere);
    EXPECT_EQ(0x090007u, rgb->GetSelectColor());
    EXPECT_EQ(ES_NUMBER, GetWindowLongW(FindWindowExW(dialog.GetSafeHwnd(), nullptr, L"HexEditWindow", nullptr), GWL_STYLE) & ES_NUMBER);
}

// Digits only and the length limit, set before the field first opens, are what its edit
// window takes: the decimal fields always take digits only.
TEST_F(ColorDialog, NumberOnlyAndTheLimitReachTheEditWindow)
{
    const struct { bool decimal; int numberOnly; int limit; const wchar_t* typed; const wchar_t* kept; } cases[] {
        { false, 1, 4, L"a12345", L"1234" }, { false, 0, 6, L"abcdefgh", L"abcdef" }, { true, 0, 2, L"a123", L"12" },
    };
    const CRect place(20, 100, 170, 124);
    UINT id = 40;
    for (const auto& c : cases) {
        ColorTextEdit* field = c.decimal ? static_cast<ColorTextEdit*>(adopt(new RGBColorEdit(&dialog, id++, place, L"", 1, 1)))
                                         : adopt(new HexColorEdit(&dialog, id++, place, L"", 1, 1));
        field->SetNumberOnly(c.numberOnly);
        field->SetLimitText(c.limit);
        click(CPoint(60, 112));
        const HWND window = editWnd();
        ASSERT_TRUE(window) << c.limit;
        EXPECT_EQ(c.numberOnly || c.decimal, (GetWindowLongW(window, GWL_STYLE) & ES_NUMBER) != 0) << c.limit;
        EXPECT_EQ(c.limit, SendMessageW(window, EM_GETLIMITTEXT, 0, 0));
        type(c.typed);
        EXPECT_EQ(CString(c.kept), editText()) << c.limit;
        click(kElsewhere);
        dialog.GetPaintManager()->RemoveControl(field);
        pumpMessages();
    }
}

TEST_F(ColorDialog, TheDecimalFieldsDrawTheirLettersAndValues)
{
    rgb->SetSelectColor(RGB(12, 0, 0));
    const auto picture = shot();
    const DWORD back = picture->rgb(300, 150);
    EXPECT_TRUE(scanInk(*picture, CRect(23, 61, 40, 83), back, 0xA0A0A0, 40).matching > 3) << "the R";
    EXPECT_TRUE(scanInk(*picture, CRect(40, 61, 69, 83), back, 0xFFFFFF, 60).matching > 3) << "its 12";
    EXPECT_TRUE(nearColor(picture->rgb(70, 70), 0xC8C8C8, 60)) << "the separator";
}
