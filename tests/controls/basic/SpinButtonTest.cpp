#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "ButtonKinds.h"
#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "InkScan.h"
#include "LibraryHost.h"
#include "PumpUntil.h"
#include "ScratchStrip.h"
#include "ValueControls.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const DWORD kBoxLooks[4] { 0xFFC00000, 0xFF00C000, 0xFF0000C0, 0xFF606060 };

// The box's buttons load their strips by fixed names: only this program writes them.
class SpinSkins : public ::testing::Environment {
public:
    void SetUp() override
    {
        const CString folder = GetSkinPath();
        m_strips.push_back(std::make_unique<ScratchStrip>(folder, L"img_spin_up.png", 12, 8,
                                                          std::vector<DWORD> { 0xFFFFFF00, 0xFFFFFF40, 0xFFFFFF80, 0xFF808080 }));
        m_strips.push_back(std::make_unique<ScratchStrip>(folder, L"img_spin_down.png", 12, 8,
                                                          std::vector<DWORD> { 0xFF00FFFF, 0xFF40FFFF, 0xFF80FFFF, 0xFF808080 }));
        m_strips.push_back(std::make_unique<ScratchStrip>(folder, L"h1_spin_box.png", 20, 20,
                                                          std::vector<DWORD>(std::begin(kBoxLooks), std::end(kBoxLooks))));
    }
    void TearDown() override { m_strips.clear(); }

private:
    std::vector<std::unique_ptr<ScratchStrip>> m_strips;
};
const auto* const skins = ::testing::AddGlobalTestEnvironment(new SpinSkins);

const CRect kBox(20, 20, 100, 50);
// The buttons: 12 × 8 at the right edge, 4 px in, above and below the middle (35).
const CPoint kUp(90, 31);
const CPoint kDown(90, 39);
const CPoint kOnBox(30, 35);

constexpr UINT kClickUp = 0x10000;
constexpr UINT kClickDown = 0x10001;

class Spin : public ::testing::Test {
protected:
    void TearDown() override { spin.reset(); }
    MSpinButton& make()
    {
        spin = std::make_unique<MSpinButton>(&parent, 5, kBox, 1, 1);
        spin->SetManager(&manager);
        spin->SetImage(L"h1_spin_box.png", 4);
        return *spin;
    }
    void click(CPoint pt)
    {
        spin->OnLButtonDown(MK_LBUTTON, pt);
        spin->OnLButtonUp(0, pt);
    }
    void act(UINT action)
    {
        if (action == kClickUp || action == kClickDown)
            click(action == kClickUp ? kUp : kDown);
        else
            spin->OnKeyDown(action, 1, 0);
    }
    void paint() { spin->Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height())); }

    PaintManager manager;
    RenderingParent parent;
    std::unique_ptr<MSpinButton> spin;
    DibCanvas canvas { 120, 70, 0xFF000000 };
};

std::string spinNotes(int count)
{
    std::string line;
    for (int i = 0; i < count; ++i)
        line += (i ? " " : "") + std::string("5:28:0:0");
    return line;
}

TEST_F(Spin, StepsWrapTypedDigitsAppendAndEachChangeIsReported)
{
    struct Case {
        const char* name;
        int minimum;
        int maximum;
        int limit;
        int start;
        std::vector<UINT> actions;
        const char* values;
        int reports;
    };
    const Case cases[] {
        { "up at the maximum", 1, 100, 3, 100, { kClickUp }, "1", 1 },
        { "down at the minimum", 1, 100, 3, 1, { kClickDown }, "100", 1 },
        { "1, 2, 3 from 0", 1, 100, 3, 0, { '1', '2', '3' }, "1 12 1", 3 },
        { "5 at 100: past the limit", 1, 100, 3, 100, { '5' }, "5", 1 },
        { "0 at 0: below the minimum", 1, 100, 3, 0, { '0' }, "100", 1 },
        { "keypad and arrows", 1, 100, 3, 0, { VK_NUMPAD7, VK_ADD, VK_SUBTRACT, VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT },
          "7 8 7 8 7 7 7", 5 },
        { "Backspace", 1, 100, 3, 57, { VK_BACK, VK_BACK, VK_BACK }, "5 0 0", 2 },
        { "a step that changes nothing", 5, 5, 3, 5, { kClickUp, VK_DOWN }, "5 5", 2 },
        { "set past the range, then up", 1, 100, 3, 500, { VK_UP }, "1", 1 },
        { "a limit of 12 is 9", 0, INT_MAX, 12, 999999999, { '9' }, "9", 1 },
        { "nine digits fit", 0, INT_MAX, 12, 12345678, { '9' }, "123456789", 1 },
        { "up at the end of int", 0, INT_MAX, 3, INT_MAX, { VK_UP }, "0", 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        make();
        spin->SetRange(c.minimum, c.maximum);
        spin->SetLimitLength(c.limit);
        spin->SetCurValue(c.start);
        spin->SetControlFocus(1);
        parent.notifications.clear();
        std::string values;
        for (UINT action : c.actions) {
            act(action);
            values += (values.empty() ? "" : " ") + std::to_string(spin->GetCurValue());
        }
        EXPECT_EQ(c.values, values);
        EXPECT_EQ(spinNotes(c.reports), noteLine(parent.notifications));
    }
}

TEST_F(Spin, KeysPassOnWithoutTheFocusAndADisabledBoxDisablesItsButtons)
{
    make();
    spin->SetCurValue(7);
    EXPECT_EQ(0, spin->OnKeyDown('5', 1, 0)) << "no focus";
    click(kOnBox);
    EXPECT_EQ(1, spin->IsFocused()) << "a press on the box";
    EXPECT_EQ(1, spin->OnKeyDown('5', 1, 0));
    EXPECT_EQ(75, spin->GetCurValue());

    spin->SetEnabled(0);
    EXPECT_EQ(3, spin->GetState());
    for (UINT id : { MSpinButton::kUpButtonId, MSpinButton::kDownButtonId })
        EXPECT_EQ(0, spin->GetControl(id)->IsEnabled()) << id;
    parent.notifications.clear();
    click(kUp);
    EXPECT_EQ(0, spin->OnKeyDown('1', 1, 0)) << "disabled, though it kept the focus";
    EXPECT_EQ(0, spin->SetControlFocus(1));
    EXPECT_EQ(75, spin->GetCurValue());
    EXPECT_EQ("", noteLine(parent.notifications));

    spin->SetEnabled(1);
    EXPECT_EQ(0, spin->GetState());
    click(kUp);
    EXPECT_EQ(76, spin->GetCurValue());
    EXPECT_EQ("5:28:0:0", noteLine(parent.notifications)) << "the buttons' own codes stay inside";
}

TEST_F(Spin, TheBoxShowsItsValueInTheLookOfItsStateWithItsButtonsAtTheRightEdge)
{
    make();
    EXPECT_EQ(CRect(84, 27, 96, 35), spin->GetControl(MSpinButton::kUpButtonId)->GetRect());
    EXPECT_EQ(CRect(84, 35, 96, 43), spin->GetControl(MSpinButton::kDownButtonId)->GetRect());
    spin->SetCurValue(42);
    paint();
    EXPECT_EQ(CString(L"42"), spin->GetTitle());
    const size_t requests = parent.updates.size();
    paint();
    EXPECT_EQ(requests, parent.updates.size()) << "painting asks for no repaint";

    struct Look {
        const char* name;
        void (*act)(MSpinButton&);
        int state;
    };
    const Look looks[] {
        { "normal", [](MSpinButton&) {}, 0 },
        { "hover", [](MSpinButton& box) { box.OnMouseMove(0, kOnBox); }, 1 },
        { "pressed", [](MSpinButton& box) { box.OnLButtonDown(MK_LBUTTON, kOnBox); }, 2 },
        { "released outside", [](MSpinButton& box) { box.OnLButtonUp(0, CPoint(5, 5)); }, 0 },
        { "disabled", [](MSpinButton& box) { box.SetEnabled(0); }, 3 },
    };
    for (const Look& look : looks) {
        SCOPED_TRACE(look.name);
        look.act(*spin);
        paint();
        EXPECT_EQ(look.state, spin->GetState());
        EXPECT_TRUE(nearColor(canvas.rgb(kBox.left + 2, kBox.top + 2), kBoxLooks[look.state] & 0xFFFFFF, 2));
    }
    const Ink text = scanInk(canvas, CRect(kBox.left + 3, kBox.top + 6, kBox.left + 40, kBox.bottom - 6),
                             kBoxLooks[3] & 0xFFFFFF, 0x808080, 16);
    EXPECT_GE(text.matching, 3) << "the value in grey";

    spin->SetEnabled(1);
    spin->SetControlFocus(1);
    paint();
    EXPECT_TRUE(nearColor(canvas.rgb(kBox.left + 50, 35), 0x3399FF, 2)) << "the focus band";
}

TEST_F(Spin, AThousandPaintsKeepTheGdiObjectCountAndACopyMakesButtonsOfItsOwn)
{
    make();
    // Every fourth paint renders the looks again, the others show another one.
    int paints = 0;
    auto round = [&] {
        if (++paints % 4 == 0)
            spin->SetCurValue(paints);
        spin->OnMouseMove(0, paints % 2 ? kOnBox : CPoint(5, 5));
        paint();
    };
    const int steady = warmGdiObjects(round);
    if (steady < 0)
        GTEST_SKIP() << "no GDI handle table";
    for (int i = 0; i < 1000; ++i)
        round();
    EXPECT_EQ(steady, gdiObjectsSettled(steady));

    auto copy = std::make_unique<MSpinButton>(*spin);
    EXPECT_EQ(spin->GetCurValue(), copy->GetCurValue());
    EXPECT_EQ(nullptr, copy->GetControl(MSpinButton::kUpButtonId)) << "no buttons before it is initialised";
    spin.reset();
    copy->SetManager(&manager);
    MControl* up = copy->GetControl(MSpinButton::kUpButtonId);
    ASSERT_NE(nullptr, up);
    copy->Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
    EXPECT_EQ(CRect(84, 27, 96, 35), up->GetRect());
}

template <class T>
bool isA(MControl* control)
{
    return typeid(*control) == typeid(T);
}

// Here, as the window factory makes a spin box's buttons, which load the skins only this
// program writes.
TEST(ValueFactories, EachNameBuildsItsClassWithItsFormsFlags)
{
    struct Row {
        const wchar_t* name;
        bool (*isClass)(MControl*);
        bool inWindowTable;
        int enabled;
        const wchar_t* title;
    };
    // Built with visible 0 and enabled 0: form B passes both, C enables, F passes the title;
    // a label is always disabled and a spin box always enabled.
    const Row rows[] {
        { L"MText", isA<MText>, true, 0, L"T" },
        { L"MProgress", isA<MProgress>, true, 0, L"" },
        { L"MSlider", isA<MSlider>, true, 0, L"" },
        { L"MSpinButton", isA<MSpinButton>, true, 1, L"" },
        { L"CircleProgress", isA<CircleProgress>, true, 1, L"" },
        { L"MSlider2", isA<MSlider2>, false, 1, L"" },
    };
    PaintManager manager;
    MPanel panel(nullptr, 1, CRect(0, 0, 100, 100), 1);
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.name);
        std::unique_ptr<MControl> fromPanel(panel.CreateControl(2, &panel, row.name, 3, kBox, L"T", 0, 0));
        std::unique_ptr<MControl> fromWindow(manager.CreateControl(2, nullptr, row.name, 3, kBox, L"T", 0, 0));
        ASSERT_TRUE(fromPanel && row.isClass(fromPanel.get()));
        EXPECT_EQ(row.inWindowTable, fromWindow && row.isClass(fromWindow.get()));
        EXPECT_EQ(0, fromPanel->IsVisible());
        EXPECT_EQ(row.enabled, fromPanel->IsEnabled());
        EXPECT_EQ(CString(row.title), dynamic_cast<MControlFont*>(fromPanel.get())->GetTitle());
    }
}

TEST(SpinDialog, APressOnTheBoxTakesTheFocusForTypedDigits)
{
    NotedDialog dialog;
    auto* spin = dialog.create<MSpinButton>(L"MSpinButton", 5, kBox);
    ASSERT_NE(nullptr, spin);
    dialog.post(WM_MOUSEMOVE, kOnBox);
    dialog.post(WM_LBUTTONDOWN, kOnBox, MK_LBUTTON);
    dialog.post(WM_LBUTTONUP, kOnBox);
    for (UINT key : { '1', '2', '3' })
        dialog.PostMessageW(WM_KEYDOWN, key, 0);
    ASSERT_TRUE(pumpUntil([&] { return dialog.notes.size() >= 3; }));
    EXPECT_EQ(1, spin->GetCurValue());
    dialog.post(WM_MOUSEMOVE, kUp);
    dialog.post(WM_LBUTTONDOWN, kUp, MK_LBUTTON);
    dialog.post(WM_LBUTTONUP, kUp);
    ASSERT_TRUE(pumpUntil([&] { return dialog.notes.size() >= 4; }));
    EXPECT_EQ(2, spin->GetCurValue());
    EXPECT_EQ(spinNotes(4), noteLine(dialog.notes));
}

} // namespace
