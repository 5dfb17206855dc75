// The palette panels in a real dialog: a change made in any child reaches the others and the
// host hears one colour report before the child's own, the hex field's six-digit rule, the
// presets, and the preset row's index reports.
#include <gtest/gtest.h>

#include <string>

#include "LibraryHost.h"
#include "Narrow.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "controls/input/MEdit.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr UINT kPanel = 700;

class Palette : public ::testing::Test {
protected:
    void SetUp() override
    {
        panel = dialog.create<CColorPalette>(L"CColorPalette", kPanel, CRect(10, 10, 340, 200));
        ASSERT_TRUE(panel);
    }
    template <class T>
    T* child(UINT id) { return dynamic_cast<T*>(panel->GetControl(id)); }
    std::string spins()
    {
        std::string line;
        for (UINT id = 654; id <= 656; ++id)
            line += (line.empty() ? "" : ",") + std::to_string(child<MSpinButton>(id)->GetCurValue());
        return line;
    }
    std::string hex() { return narrow(child<MEdit>(657)->GetTitle()); }
    // What the host heard after posted input settled.
    std::string heardAfter(std::initializer_list<UINT> messages, CPoint pt)
    {
        dialog.notes.clear();
        dialog.post(messages, pt);
        pumpUntil([] { return false; }, 150);
        return noteLine(dialog.notes);
    }
    // The hex field reports a change of its text.
    std::string typed(const wchar_t* text)
    {
        dialog.notes.clear();
        child<MEdit>(657)->SetTitle(text);
        panel->OnBaseMessage(657, 0x1A, 0, 0);
        return noteLine(dialog.notes);
    }
    NotedDialog dialog { CRect(300, 300, 700, 560) };
    CColorPalette* panel { nullptr };
};

TEST_F(Palette, ANewPaletteShowsWhiteReadoutsTheFieldColourInHexAndAYellowSwatch)
{
    EXPECT_EQ("255,255,255", spins());
    EXPECT_EQ("33FFFE", hex());
    EXPECT_EQ(0xE1FFu, child<CColorButton>(622)->GetColor());
    EXPECT_EQ(RGB(51, 255, 254), panel->GetSelectColor());
}

TEST_F(Palette, TheSixthHexDigitSetsEverythingFiveChangeNothing)
{
    struct Case { const wchar_t* text; std::string heard; std::string spins; };
    const Case cases[] {
        { L"12345", "", "255,255,255" },
        { L"123456", "700:27:0:" + std::to_string(RGB(0x12, 0x34, 0x56)) + " 657:26:0:0", "18,52,86" },
        { L"zz1234", "700:27:0:" + std::to_string(RGB(0, 0x12, 0x34)) + " 657:26:0:0", "0,18,52" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.heard, typed(c.text));
        EXPECT_EQ(c.spins, spins());
    }
    EXPECT_EQ("zz1234", hex()) << "the text stays as typed";
    EXPECT_EQ(RGB(0, 0x12, 0x34), child<CColorButton>(622)->GetColor());
    EXPECT_NE(RGB(51, 255, 254), panel->GetSelectColor()) << "the field moved";
}

TEST_F(Palette, APresetPressSetsTheReadoutsAFieldPressReportsOnlyThePanelColour)
{
    const std::string preset = heardAfter({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(10 + 75 + 10, 10 + 15));
    EXPECT_EQ(0u, preset.find("700:27:0:" + std::to_string(0x29FF4C))) << preset;
    EXPECT_EQ("76,255,41", spins());
    EXPECT_EQ("4CFF29", hex());

    const std::string field = heardAfter({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(10 + 40, 10 + 27 + 60));
    EXPECT_EQ("700:27:0:" + std::to_string(panel->GetSelectColor()), field);
    EXPECT_EQ(std::string::npos, field.find("620:")) << "the field's own report is absorbed";
}

TEST_F(Palette, ACopyHasNoneOfTheOriginalsChildren)
{
    CColorPalette copy(*panel);
    EXPECT_EQ(0u, copy.GetSelectColor());
    EXPECT_EQ(0, copy.SetThumbImage(L"img_palette_thumb.png"));
    copy.SetSelectColor(0x123456);
    EXPECT_EQ(RGB(51, 255, 254), panel->GetSelectColor()) << "the original's field is its own";
}

TEST(ColorSelect, ReportsThePressedPresetsIndexAndColour)
{
    NotedDialog dialog(CRect(300, 300, 600, 400));
    auto* row = dialog.create<CColorSelect>(L"CColorSelect", 701, CRect(10, 10, 200, 40));
    ASSERT_TRUE(row);
    row->SetColorIndex(3);
    EXPECT_EQ(0xFFFFu, row->GetSelectColor());
    row->SetColorIndex(7);
    EXPECT_EQ(0xFFFFu, row->GetSelectColor()) << "7 changes nothing";
    row->SetColorIndex(-1);
    EXPECT_EQ(0u, row->GetSelectColor()) << "none checked";
    EXPECT_EQ("", noteLine(dialog.notes));
    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(10 + 60, 10 + 15));
    ASSERT_TRUE(pumpUntil([&] { return !dialog.notes.empty(); }));
    EXPECT_EQ("701:27:2:16711680", noteLine({ dialog.notes.front() }));
    EXPECT_EQ(0xFF0000u, row->GetSelectColor());
}

} // namespace
