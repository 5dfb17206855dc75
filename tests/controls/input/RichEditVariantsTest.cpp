// The single-line rich edits on a real dialog: MEditEx's centred line, CSpinButton's arrows,
// wrapping, typed clamping and its one pair of arrows, CLogonEdit's placeholder and caption,
// and the factories' rows of the text fields.
#include <gtest/gtest.h>

#include "DibCanvas.h"
#include "InkScan.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "ScratchStrip.h"
#include "TestWindow.h"
#include "WindowCapture.h"
#include "controls/input/CLogonEdit.h"
#include "controls/input/CSpinButton.h"
#include "controls/input/CTxtWinHost.h"
#include "controls/input/MEditEx.h"
#include "framework/AppPaths.h"
#include "framework/ControlFactory.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const CRect kSpinRect(20, 20, 140, 50);
// Arrow strips of 10 × 6 frames: up at (126, 28)-(136, 34), down at (126, 36)-(136, 42).
const CPoint kUp(131, 31), kDown(131, 39);

template <class Base>
class Probe : public Base {
public:
    using Base::Base;
    CTxtWinHost* host() const { return this->Host(); }
};

class Variants : public ::testing::Test {
protected:
    Variants()
    {
        dialog.activate();
    }
    template <class T>
    T* adopt(T* control) { return dialog.adopt(control); }
    void click(CPoint at)
    {
        dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, at);
        pumpMessages();
    }
    void type(const wchar_t* text) { dialog.type(text); }
    int count(UINT code) const { return dialog.count(code); }
    std::unique_ptr<DibCanvas> shot() { return dialog.shot(); }

    // Made before the dialog, gone after it: the dialog's image cache holds the files.
    ScratchStrip up { GetSkinPath(), L"img_spin_up.png", 10, 6, { 0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFF808080 } };
    ScratchStrip down { GetSkinPath(), L"img_spin_down.png", 10, 6, { 0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF808080 } };
    NotedDialog dialog;
};

} // namespace

TEST_F(Variants, ASingleLineEditOfFortyPixelsTypesInABandFromTwelveToTwentyEight)
{
    auto* edit = adopt(new Probe<MEditEx>(&dialog, 5, CRect(10, 100, 210, 140), L"tip", 1, 1));
    const RECT client = edit->host()->GetClientRect();
    EXPECT_EQ(112, client.top);
    EXPECT_EQ(128, client.bottom);
    EXPECT_EQ(static_cast<DWORD>(WS_HSCROLL | ES_AUTOHSCROLL), edit->GetWinStyle());
}

TEST_F(Variants, TheArrowsStepWrapAtBothEndsAndReportEachClick)
{
    auto* spin = adopt(new CSpinButton(&dialog, 6, kSpinRect, 1, 1));
    spin->SetRange(0, 2);
    const struct { CPoint at; int value; } clicks[] { { kDown, 2 }, { kUp, 0 }, { kUp, 1 }, { kUp, 2 }, { kUp, 0 } };
    int reports = 0;
    for (const auto& c : clicks) {
        click(c.at);
        EXPECT_EQ(c.value, spin->GetCurValue());
        EXPECT_EQ(++reports, count(28));
        CString shown;
        shown.Format(L"%d", c.value);
        EXPECT_EQ(shown, spin->GetTitle());
    }
    // The framework may initialise the control again: still one pair of arrows.
    spin->InitControl(dialog.GetPaintManager());
    int arrows = 0;
    for (MControl* child : spin->GetControls())
        arrows += child && (child->GetControlID() == 30 || child->GetControlID() == 31) ? 1 : 0;
    EXPECT_EQ(2, arrows);
}

// 150 in 0..100 shows 100; 50 can be typed in 10..100 (its 5 is below the minimum only for a
// moment), and what is left below the minimum is raised when the field loses the focus.
TEST_F(Variants, TypingIsHeldAtTheMaximumAndRaisedToTheMinimumWhenTheFieldIsLeft)
{
    auto* spin = adopt(new CSpinButton(&dialog, 6, kSpinRect, 1, 1));
    click(CPoint(40, 35));
    type(L"150");
    EXPECT_EQ(100, spin->GetCurValue());
    EXPECT_EQ(CString(L"100"), spin->GetTitle());
    spin->SetRange(10, 100);
    spin->SetSelAll();
    type(L"50");
    EXPECT_EQ(50, spin->GetCurValue());
    spin->SetSelAll();
    type(L"5");
    EXPECT_EQ(5, spin->GetCurValue());
    click(CPoint(300, 150));
    EXPECT_EQ(10, spin->GetCurValue());
    EXPECT_EQ(0, count(28)) << "typing reports nothing";
    // The same value again asks for no repaint.
    shot();
    pumpMessages();
    spin->SetCurValue(10);
    RECT pending {};
    EXPECT_FALSE(GetUpdateRect(dialog.GetSafeHwnd(), &pending, FALSE));
}

TEST_F(Variants, TheLogOnTipIsAPlaceholderWhileEmptyAndACaptionAboveTheText)
{
    auto* logon = adopt(new CLogonEdit(&dialog, 7, CRect(20, 60, 260, 110), L"Account", 1, 1));
    auto tipInk = [&](const CRect& area) {
        const auto picture = shot();
        const Ink ink = scanInk(*picture, area, picture->rgb(300, 150), 0x898989, 40);
        return ink.matching;
    };
    const CRect caption(22, 60, 120, 70), middle(70, 75, 200, 100);
    EXPECT_GT(tipInk(middle), 10);
    EXPECT_EQ(0, tipInk(caption));
    logon->SetControlTitle(L"me");
    EXPECT_GT(tipInk(caption), 5);
    EXPECT_EQ(0, scanInk(*shot(), CRect(120, 75, 200, 100), shot()->rgb(300, 150), 0x898989, 40).matching)
        << "the placeholder has gone";
    EXPECT_TRUE(nearColor(shot()->rgb(100, 109), 0x898989, 8)) << "the rule along the bottom";
}

TEST_F(Variants, BothFactoriesMakeTheTextFieldsByName)
{
    const struct { ControlTable table; const wchar_t* name; } rows[] {
        { ControlTable::Window, L"MEdit" }, { ControlTable::Window, L"MEditEx" }, { ControlTable::Window, L"CSpinButton" },
        { ControlTable::Panel, L"MEdit" }, { ControlTable::Panel, L"MEditEx" }, { ControlTable::Panel, L"CSpinButton" },
        { ControlTable::Panel, L"RGBColorEdit" }, { ControlTable::Panel, L"HexColorEdit" },
    };
    for (const auto& row : rows) {
        std::unique_ptr<MControl> made(CreateControlByClassName(row.table, row.name, &dialog, 3, CRect(0, 0, 90, 30), L"", 1, 1));
        ASSERT_NE(nullptr, made) << CString(row.name).GetString();
        EXPECT_TRUE(made->IsClass(row.name));
    }
    EXPECT_EQ(nullptr, CreateControlByClassName(ControlTable::Window, L"HexColorEdit", &dialog, 3, CRect(), L"", 1, 1));
    EXPECT_EQ(nullptr, CreateControlByClassName(ControlTable::Panel, L"CLogonEdit", &dialog, 3, CRect(), L"", 1, 1));
}

// A title put in before the first paint lies inside the text area, from its left edge.
TEST_F(Variants, ATitleShowsFromTheLeftOfTheTextArea)
{
    auto* edit = adopt(new Probe<MEditEx>(&dialog, 5, CRect(20, 100, 260, 132), L"", 1, 1));
    edit->SetTextColor(Gdiplus::Color(255, 255, 255, 255));
    edit->SetControlTitle(L"player.one");
    const auto picture = shot();
    const Ink ink = scanInk(*picture, CRect(10, 95, 390, 140), picture->rgb(300, 150), 0xFFFFFF, 80);
    const RECT client = edit->host()->GetClientRect();
    EXPECT_GE(ink.bounds.left, client.left);
    EXPECT_LE(ink.bounds.left, client.left + 3);
    EXPECT_LT(ink.bounds.right, client.right);
}
