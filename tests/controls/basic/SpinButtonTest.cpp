#include <gtest/gtest.h>

#include <climits>
#include <typeinfo>
#include <vector>

#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "PumpUntil.h"
#include "ScratchStrip.h"
#include "ValueControls.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const std::vector<DWORD> kBoxLooks { 0xFFC00000, 0xFF00C000, 0xFF0000C0, 0xFF606060 };

// The box's buttons load their strips by fixed names: only this program writes them.
class SpinSkins : public ::testing::Environment {
public:
    void SetUp() override
    {
        const CString folder = GetSkinPath();
        for (const wchar_t* arrow : { L"img_spin_up.png", L"img_spin_down.png" })
            m_strips.push_back(std::make_unique<ScratchStrip>(folder, arrow, 12, 8, std::vector<DWORD>(4, 0xFFFFFF00)));
        m_strips.push_back(std::make_unique<ScratchStrip>(folder, L"h1_spin_box.png", 20, 20, kBoxLooks));
    }
    void TearDown() override { m_strips.clear(); }

private:
    std::vector<std::unique_ptr<ScratchStrip>> m_strips;
};
const auto* const skins = ::testing::AddGlobalTestEnvironment(new SpinSkins);

// The buttons are 12 × 8 at the right edge, 4 px in, above and below the middle (35).
const CRect kBox(20, 20, 100, 50);
const CPoint kUp(90, 31), kDown(90, 39), kOnBox(30, 35);
constexpr UINT kClickUp = 0x10000, kClickDown = 0x10001;

class Spin : public ValueFixture {
protected:
    void SetUp() override
    {
        spin = make<MSpinButton>(5u, kBox, 1, 1);
        spin->SetImage(L"h1_spin_box.png", 4);
    }
    void click(CPoint pt)
    {
        spin->OnLButtonDown(MK_LBUTTON, pt);
        spin->OnLButtonUp(0, pt);
    }
    std::unique_ptr<MSpinButton> spin;
};

TEST_F(Spin, StepsWrapTypedDigitsAppendAndEachChangeIsReported)
{
    struct Case { int minimum, maximum, limit, start; std::vector<UINT> actions; const char* values; int reports; };
    const Case cases[] {
        { 1, 100, 3, 100, { kClickUp }, "1", 1 },
        { 1, 100, 3, 1, { kClickDown }, "100", 1 },
        { 1, 100, 3, 0, { '1', '2', '3' }, "1 12 1", 3 },  // 123 is past the maximum
        { 1, 100, 3, 100, { '5' }, "5", 1 },                // 1005 is past the limit
        { 1, 100, 3, 0, { '0' }, "100", 1 },                // 00 is below the minimum
        { 1, 100, 3, 0, { VK_NUMPAD7, VK_ADD, VK_SUBTRACT, VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT }, "7 8 7 8 7 7 7", 5 },
        { 1, 100, 3, 57, { VK_BACK, VK_BACK, VK_BACK }, "5 0 0", 2 },
        { 5, 5, 3, 5, { kClickUp, VK_DOWN }, "5 5", 2 },
        { 1, 100, 3, 500, { VK_UP }, "1", 1 },
        // Ten digits do not fit an int: a limit above 9 is 9.
        { 0, INT_MAX, 12, 999999999, { '9' }, "9", 1 },
        { 0, INT_MAX, 12, 12345678, { '9' }, "123456789", 1 },
        { 0, INT_MAX, 3, INT_MAX, { VK_UP }, "0", 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        SetUp();
        spin->SetRange(c.minimum, c.maximum);
        spin->SetLimitLength(c.limit);
        spin->SetCurValue(c.start);
        spin->SetControlFocus(1);
        std::string values, expected;
        for (UINT action : c.actions) {
            if (action >= kClickUp)
                click(action == kClickUp ? kUp : kDown);
            else
                spin->OnKeyDown(action, 1, 0);
            values += (values.empty() ? "" : " ") + std::to_string(spin->GetCurValue());
        }
        for (int i = 0; i < c.reports; ++i)
            expected += i ? " 5:28:0:0" : "5:28:0:0";
        EXPECT_EQ(c.values, values);
        EXPECT_EQ(expected, heard());
    }
}

TEST_F(Spin, KeysPassOnWithoutTheFocusAndADisabledBoxDisablesItsButtons)
{
    spin->SetCurValue(7);
    EXPECT_EQ(0, spin->OnKeyDown('5', 1, 0)) << "no focus";
    click(kOnBox);
    EXPECT_EQ(1, spin->OnKeyDown('5', 1, 0)) << "a press on the box gave it the focus";
    spin->SetEnabled(0);
    EXPECT_EQ(0, spin->GetControl(MSpinButton::kUpButtonId)->IsEnabled());
    EXPECT_EQ(0, spin->GetControl(MSpinButton::kDownButtonId)->IsEnabled());
    heard();
    click(kUp);
    EXPECT_EQ(0, spin->OnKeyDown('1', 1, 0)) << "disabled, though it kept the focus";
    EXPECT_EQ(75, spin->GetCurValue());
    EXPECT_EQ("", heard());
    spin->SetEnabled(1);
    click(kUp);
    EXPECT_EQ("5:28:0:0", heard()) << "the buttons' own codes stay inside";
}

TEST_F(Spin, TheBoxShowsItsValueInTheLookOfItsStateWithItsButtonsAtTheRightEdge)
{
    EXPECT_EQ(CRect(84, 27, 96, 35), spin->GetControl(MSpinButton::kUpButtonId)->GetRect());
    EXPECT_EQ(CRect(84, 35, 96, 43), spin->GetControl(MSpinButton::kDownButtonId)->GetRect());
    spin->SetCurValue(42);
    const size_t requests = parent.updates.size();
    paint(*spin);
    EXPECT_EQ(CString(L"42"), spin->GetTitle());
    EXPECT_EQ(requests, parent.updates.size()) << "painting asks for no repaint";
    const std::pair<void (*)(MSpinButton&), int> looks[] {
        { [](MSpinButton& box) { box.OnMouseMove(0, kOnBox); }, 1 },
        { [](MSpinButton& box) { box.OnLButtonDown(MK_LBUTTON, kOnBox); }, 2 },
        { [](MSpinButton& box) { box.SetEnabled(0); }, 3 },
    };
    for (const auto& [act, look] : looks) {
        act(*spin);
        paint(*spin);
        EXPECT_TRUE(nearColor(canvas.rgb(22, 22), kBoxLooks[look] & 0xFFFFFF, 2)) << look;
    }
    spin->SetEnabled(1);
    paint(*spin);
    EXPECT_TRUE(nearColor(canvas.rgb(70, 35), 0x3399FF, 2)) << "the focus band";
}

TEST_F(Spin, AThousandPaintsKeepTheGdiObjectCountAndACopyMakesButtonsOfItsOwn)
{
    int paints = 0;
    // Every fourth paint renders the looks again, the others show another one.
    auto round = [&] {
        if (++paints % 4 == 0)
            spin->SetCurValue(paints);
        spin->OnMouseMove(0, paints % 2 ? kOnBox : CPoint(5, 5));
        spin->Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
    };
    const int steady = warmGdiObjects(round);
    for (int i = 0; i < 1000 && steady >= 0; ++i)
        round();
    EXPECT_EQ(steady, gdiObjectsSettled(steady));

    const int value = spin->GetCurValue();
    auto copy = std::make_unique<MSpinButton>(*spin);
    EXPECT_EQ(nullptr, copy->GetControl(MSpinButton::kUpButtonId)) << "no buttons before it is initialised";
    spin.reset();
    copy->SetManager(&manager);
    ASSERT_NE(nullptr, copy->GetControl(MSpinButton::kUpButtonId));
    paint(*copy);
    EXPECT_EQ(CString(std::to_wstring(value).c_str()), copy->GetTitle());
}

// Here, as the window factory makes a spin box's buttons, which load the skins only this
// program writes. Built with visible 0 and enabled 0: form B passes both, C enables, F passes
// the title; a label is always disabled and a spin box always enabled.
TEST(ValueFactories, EachNameBuildsItsClassWithItsFormsFlags)
{
    const struct { const wchar_t* name; const std::type_info& type; bool inWindowTable; int enabled; } rows[] { { L"MText", typeid(MText), true, 0 },          { L"MProgress", typeid(MProgress), true, 0 },
               { L"MSlider", typeid(MSlider), true, 0 },       { L"MSpinButton", typeid(MSpinButton), true, 1 },
               { L"CircleProgress", typeid(CircleProgress), true, 1 }, { L"MSlider2", typeid(MSlider2), false, 1 } };
    PaintManager manager;
    MPanel panel(nullptr, 1, CRect(0, 0, 100, 100), 1);
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.name);
        std::unique_ptr<MControl> fromPanel(panel.CreateControl(2, &panel, row.name, 3, kBox, L"T", 0, 0));
        std::unique_ptr<MControl> fromWindow(manager.CreateControl(2, nullptr, row.name, 3, kBox, L"T", 0, 0));
        ASSERT_TRUE(fromPanel && typeid(*fromPanel) == row.type);
        EXPECT_EQ(row.inWindowTable, fromWindow && typeid(*fromWindow) == row.type);
        EXPECT_EQ(0, fromPanel->IsVisible());
        EXPECT_EQ(row.enabled, fromPanel->IsEnabled());
        EXPECT_EQ(CString(row.type == typeid(MText) ? L"T" : L""), dynamic_cast<MControlFont&>(*fromPanel).GetTitle());
    }
}

TEST(SpinDialog, APressOnTheBoxTakesTheFocusForTypedDigits)
{
    NotedDialog dialog;
    auto* spin = dialog.create<MSpinButton>(L"MSpinButton", 5, kBox);
    ASSERT_NE(nullptr, spin);
    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, kOnBox);
    for (UINT key : { '1', '2', '3' })
        dialog.PostMessageW(WM_KEYDOWN, key, 0);
    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, kUp);
    ASSERT_TRUE(pumpUntil([&] { return dialog.notes.size() >= 4; }));
    EXPECT_EQ(2, spin->GetCurValue());
    EXPECT_EQ("5:28:0:0 5:28:0:0 5:28:0:0 5:28:0:0", noteLine(dialog.notes));
}

} // namespace
