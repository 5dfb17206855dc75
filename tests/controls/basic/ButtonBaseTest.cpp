#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "ButtonKinds.h"
#include "framework/AppPaths.h"
#include "LibraryHost.h"
#include "RecordingControl.h"
#include "ScratchStrip.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr UINT kId = 7;
const CRect kPlace(10, 10, 110, 40);
const CPoint kInside(50, 25);
const CPoint kOutside(300, 300);

// "7:code:wParam:lParam" per notification of the button, as in the rows below.
constexpr const char* kPress = "7:1:0:0";
constexpr const char* kClick = "7:1:0:0 7:2:0:0";
constexpr const char* kRowPress = "7:7:0:1";

// What each class does with the same input. States are the class's own numbers.
// releasedOutside: press, move out, release out; heldOut: the state while held with the
// pointer out, heldIn: then back in; clicked: press, out, in, release in. afterClick and
// afterOutside: what else the class promises (the rows' differences).
struct MachineRow {
    const char* kind;
    const char* releasedOutside;
    int stateAfterOutside, heldOut, heldIn;
    const char* clicked;
    int stateAfterClick, hover, disabled;
    bool (*afterClick)(ButtonBase& button);
    bool (*afterOutside)(ButtonBase& button);
};

bool toggledOnce(ButtonBase& b) { return static_cast<MButton3&>(b).GetToggle() == 1; }
bool staysSelected(ButtonBase& b) { return b.GetCheck() == 1; }
bool staysDown(ButtonBase& b) { return static_cast<CIconButton&>(b).IsDown() == 1; }

const std::vector<MachineRow> kMachine {
    { "MButton", kPress, 0, 2, 2, kClick, 1, 1, 3, nullptr, nullptr },
    { "CImageButton", kPress, 0, 2, 2, kClick, 1, 1, 3, nullptr, nullptr },
    { "CImageButton2", kPress, 0, 2, 2, kClick, 1, 1, 3, nullptr, nullptr },
    { "MButton2", kPress, 0, 2, 2, kClick, 1, 1, 3, nullptr, nullptr },
    { "MButton3", kPress, 0, 2, 2, kClick, 1, 1, 3, toggledOnce, toggledOnce },
    { "CTextButton", kPress, 0, 2, 2, kClick, 1, 1, 3, nullptr, nullptr },
    { "UpgradeButton", kPress, 0, 2, 2, kClick, 1, 1, 3, nullptr, nullptr },
    { "DownloadButton", kPress, 0, 2, 2, kClick, 1, 1, 3, nullptr, nullptr },
    { "CTimerButton", kPress, 0, 2, 2, kClick, 1, 1, 3, nullptr, nullptr },
    { "CCheckButton", "", 0, 2, 2, "7:2:0:0", 5, 1, 3, nullptr, nullptr },
    { "CRadioButton", "", 0, 2, 2, "7:2:0:0", 5, 1, 3, nullptr, nullptr },
    { "CRadioButton2", "", 0, 2, 2, "7:2:0:0", 5, 1, 3, nullptr, nullptr },
    { "CColorButton", kPress, 0, 2, 2, kClick, 1, 1, 3, staysSelected, staysSelected },
    { "CColorButton2", kPress, 0, 2, 2, kClick, 1, 1, 3, staysSelected, staysSelected },
    { "CColorButton3", kPress, 0, 2, 2, kClick, 1, 1, 3, staysSelected, staysSelected },
    { "CSwitchButton", "", 0, 1, 1, "7:2:0:1", 1, 1, 3, staysSelected, nullptr },
    { "CIconButton", kPress, 0, 0, 1, kClick, 2, 1, 3, staysDown, staysDown },
    { "MenuItem", "", 0, 2, 2, "7:2:0:0", 1, 1, 3, nullptr, nullptr },
    { "CheckableMenuItem", kRowPress, 0, 1, 1, kRowPress, 6, 1, 3, staysSelected, nullptr },
    { "CHelpButton", "", 0, 0, 0, "", 0, 0, 0, nullptr, nullptr },
};

struct Fixture {
    explicit Fixture(const char* kind) : button(buttonKind(kind).build(nullptr, &parent, kId, kPlace, L"")) {}
    RenderingParent parent;
    std::unique_ptr<ButtonBase> button;
};

TEST(ButtonMachine, EveryClassAnswersTheSameInputWithItsOwnRow)
{
    ASSERT_EQ(allButtonKinds().size(), kMachine.size());
    for (const MachineRow& row : kMachine) {
        SCOPED_TRACE(row.kind);
        {
            Fixture f(row.kind);
            f.button->OnLButtonDown(0, kInside);
            f.button->OnMouseMove(MK_LBUTTON, kOutside);
            f.button->OnLButtonUp(0, kOutside);
            EXPECT_EQ(row.releasedOutside, noteLine(f.parent.notifications));
            EXPECT_EQ(row.stateAfterOutside, f.button->GetState());
            EXPECT_TRUE(!row.afterOutside || row.afterOutside(*f.button));
        }
        {
            Fixture f(row.kind);
            f.button->OnLButtonDown(0, kInside);
            f.button->OnMouseMove(MK_LBUTTON, kOutside);
            EXPECT_EQ(row.heldOut, f.button->GetState());
            f.button->OnMouseMove(MK_LBUTTON, kInside);
            EXPECT_EQ(row.heldIn, f.button->GetState());
            f.button->OnLButtonUp(0, kInside);
            EXPECT_EQ(row.clicked, noteLine(f.parent.notifications));
            EXPECT_EQ(row.stateAfterClick, f.button->GetState());
            EXPECT_TRUE(!row.afterClick || row.afterClick(*f.button));
        }
        {
            Fixture f(row.kind);
            f.button->OnMouseMove(0, kInside);
            EXPECT_EQ(row.hover, f.button->GetState());
            f.button->OnLButtonUp(0, kInside);
            EXPECT_TRUE(f.parent.notifications.empty()) << "a release without a press";
        }
        {
            Fixture f(row.kind);
            f.button->SetEnabled(0);
            EXPECT_EQ(row.disabled, f.button->GetState());
            f.button->OnMouseMove(0, kInside);
            f.button->OnLButtonDown(0, kInside);
            f.button->OnLButtonUp(0, kInside);
            EXPECT_EQ(row.disabled, f.button->GetState());
            EXPECT_TRUE(f.parent.notifications.empty()) << "disabled";
            f.button->SetEnabled(1);
            EXPECT_EQ(0, f.button->GetState()) << "enabled under the pointer";
            f.button->OnMouseMove(0, kInside);
            EXPECT_EQ(row.hover, f.button->GetState());
        }
    }
}

// A host may delete the control in its handler: the control repaints first, reports, and
// touches nothing afterwards (its storage is poisoned the moment it is deleted).
class DeletingParent : public RenderingParent {
public:
    LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        events.push_back("note");
        RenderingParent::OnBaseMessage(id, code, wParam, lParam);
        victim->~ButtonBase();
        std::memset(storage, 0xDD, sizeof storage);
        victim = nullptr;
        return 0;
    }
    LONG OnControlUpdate(CRect rect, int flag, MControl* control) override
    {
        events.push_back("repaint");
        return RenderingParent::OnControlUpdate(rect, flag, control);
    }
    alignas(16) unsigned char storage[4096];
    ButtonBase* victim { nullptr };
    std::vector<std::string> events;
};

TEST(ButtonMachine, TheControlRepaintsBeforeItReportsAndNotAfter)
{
    for (const ButtonKind& kind : allButtonKinds()) {
        if (kind.name == "CHelpButton")
            continue;
        SCOPED_TRACE(kind.name);
        ASSERT_LE(kind.size, sizeof(DeletingParent::storage));
        DeletingParent parent;
        parent.victim = kind.build(parent.storage, &parent, kId, kPlace, L"B");
        parent.victim->OnLButtonDown(0, kInside);
        if (parent.victim)
            parent.victim->OnLButtonUp(0, kInside);
        ASSERT_EQ(nullptr, parent.victim) << "never reported";
        ASSERT_GE(parent.events.size(), 2u);
        EXPECT_EQ("repaint", parent.events[parent.events.size() - 2]);
        EXPECT_EQ("note", parent.events.back());
    }
}

// Space toggles the focused check box or checks the focused radio (state 4: checked, focused).
TEST(ButtonMachine, SpaceOnTheFocusedBoxToggles)
{
    struct Case { const char* kind; bool focus, disable; const char* notes; int check, state; };
    const Case cases[] {
        { "CCheckButton", true, false, "7:7:0:1", 1, -1 },
        { "CCheckButton", false, false, "", 0, -1 },
        { "CCheckButton", true, true, "7:7:0:0", 0, -1 },
        { "CRadioButton", true, false, "7:7:0:1", 1, 4 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kind << c.focus << c.disable);
        Fixture f(c.kind);
        if (c.focus) {
            f.button->OnLButtonDown(0, kInside);
            f.button->OnMouseMove(0, kOutside);
            f.button->OnLButtonUp(0, kOutside);
        }
        if (c.disable)
            f.button->SetEnabled(0);
        f.button->OnKeyDown(VK_SPACE, 1, 0);
        EXPECT_EQ(c.notes, noteLine(f.parent.notifications));
        EXPECT_EQ(c.check, f.button->GetCheck());
        if (c.state >= 0) {
            EXPECT_EQ(c.state, f.button->GetState());
        }
    }
}

// ---- groups

void join(ButtonBase* button, const wchar_t* group, int selected)
{
    if (auto* radio = dynamic_cast<CRadioButton*>(button)) {
        radio->SetGroupName(group);
        radio->SetControlCheck(selected);
    } else if (auto* swatch = dynamic_cast<CColorButton*>(button)) {
        swatch->SetGroupName(group);
        swatch->SetControlCheck(selected);
    } else if (auto* icon = dynamic_cast<CIconButton*>(button)) {
        icon->SetGroupName(group);
        icon->SetControlCheck(selected);
    }
}

int selected(ButtonBase* button)
{
    if (auto* icon = dynamic_cast<CIconButton*>(button))
        return icon->IsDown();
    return button->GetCheck() ? 1 : 0;
}

struct GroupCase { const char* kind; bool sparesInactive; const char* otherClass; };

const GroupCase kGroups[] { { "CRadioButton", false, "CRadioButton2" }, { "CRadioButton2", false, "CRadioButton" },
                            { "CColorButton", true, "CColorButton2" },  { "CColorButton2", true, "CColorButton" },
                            { "CColorButton3", true, "CColorButton" },  { "CIconButton", true, "CRadioButton" } };

// Siblings of the clicked one: same group, hidden, disabled, other case, other class.
struct Group {
    Group(const GroupCase& c, MObject* parent, std::vector<MControl*>& list)
    {
        auto add = [&](const char* kind, UINT id, const wchar_t* group, int on) {
            ButtonBase* b = buttonKind(kind).build(nullptr, parent, id, CRect(0, 0, 10, 10), L"");
            join(b, group, on);
            list.push_back(b);
            return b;
        };
        clicked = add(c.kind, 1, L"G", 0);
        clicked->SetRect(kPlace);
        same = add(c.kind, 2, L"G", 1);
        hidden = add(c.kind, 3, L"G", 1);
        hidden->SetVisible(0);
        disabled = add(c.kind, 4, L"G", 1);
        disabled->SetEnabled(0);
        otherCase = add(c.kind, 5, L"g", 1);
        otherClass = add(c.otherClass, 6, L"G", 1);
    }
    void click()
    {
        clicked->OnLButtonDown(0, kInside);
        clicked->OnLButtonUp(0, kInside);
    }
    void expect(const GroupCase& c)
    {
        EXPECT_EQ(1, selected(clicked));
        EXPECT_EQ(0, selected(same));
        EXPECT_EQ(c.sparesInactive ? 1 : 0, selected(hidden));
        EXPECT_EQ(c.sparesInactive ? 1 : 0, selected(disabled));
        EXPECT_EQ(1, selected(otherCase));
        EXPECT_EQ(1, selected(otherClass));
    }
    ButtonBase *clicked, *same, *hidden, *disabled, *otherCase, *otherClass;
};

// Among a control's children, or straight in a window (its top-level list).
TEST(ButtonGroups, AClickLiftsTheGroupAmongItsSiblings)
{
    for (const GroupCase& c : kGroups) {
        SCOPED_TRACE(c.kind);
        EventLog log;
        RecordingControl container(nullptr, 99, CRect(0, 0, 400, 400), log);
        Group group(c, &container, container.GetControls());
        group.click();
        group.expect(c);
    }
    for (const wchar_t* windowClass : { L"MDialog", L"MPopupWnd" }) {
        for (const GroupCase& c : kGroups) {
            SCOPED_TRACE(c.kind);
            RenderingParent window;
            window.m_className = windowClass;
            PaintManager manager;
            Group group(c, &window, manager.GetControls());
            for (MControl* control : manager.GetControls())
                control->SetManager(&manager);
            group.click();
            group.expect(c);
            manager.ClearAllControls();
        }
    }
}

TEST(ButtonGroups, SetCheckWalksOnlyOnAChange)
{
    EventLog log;
    RecordingControl container(nullptr, 99, CRect(0, 0, 400, 400), log);
    auto* a = new CColorButton(&container, 1, kPlace, 1, 1);
    auto* b = new CColorButton(&container, 2, kPlace, 1, 1);
    container.GetControls() = { a, b };
    b->SetCheck(1);
    EXPECT_EQ(1, a->SetCheck(1));
    EXPECT_EQ(0, b->GetCheck());
    EXPECT_EQ(2, a->GetState());
    a->SetEnabled(0);
    EXPECT_EQ(1, a->SetCheck(0)) << "a disabled swatch keeps its check";
}

// ---- setters

TEST(ButtonSetters, CountsBelowOneFailAndBothSwitchImagesMustLoad)
{
    ScratchStrip strip(GetSkinPath(), L"h7_base_strip.png", 8, 8, { 0xFFFF0000, 0xFF00FF00 });
    ASSERT_TRUE(strip.written());
    RecordingParent parent;
    MButton button(&parent, kId, kPlace, L"", 1, 1);
    MButton2 button2(&parent, kId, kPlace, L"", 1, 1);
    CIconButton icon(&parent, kId, kPlace, L"", 1, 1);
    DownloadButton download(&parent, kId, kPlace, L"", 1, 1);
    CSwitchButton toggle(&parent, kId, kPlace, 1, 1);
    struct Case { const char* name; std::function<int()> call; int expected; };
    const Case cases[] {
        { "MButton icon, 0 frames", [&] { return button.SetIconImage(L"h7_base_strip.png", 0); }, 0 },
        { "MButton icon, 2 frames", [&] { return button.SetIconImage(L"h7_base_strip.png", 2); }, 1 },
        { "MButton icon, missing", [&] { return button.SetIconImage(L"h7_missing.png", 2); }, 0 },
        { "MButton2 icon, 0 frames", [&] { return button2.SetIconImage(L"h7_base_strip.png", 0); }, 0 },
        { "MButton2 icon, 4 frames", [&] { return button2.SetIconImage(L"h7_base_strip.png", 4); }, 1 },
        { "icon button, -1 frames", [&] { return icon.SetIconImage(L"h7_base_strip.png", -1); }, 0 },
        { "download, 0 frames", [&] { return download.SetIconImage(L"h7_base_strip.png", 0); }, 0 },
        { "switch, 0 frames", [&] { return toggle.SetImage(L"h7_base_strip.png", L"h7_base_strip.png", 0); }, 0 },
        { "switch, both", [&] { return toggle.SetImage(L"h7_base_strip.png", L"h7_base_strip.png", 2); }, 1 },
        { "switch, off missing", [&] { return toggle.SetImage(L"h7_base_strip.png", L"h7_missing.png", 2); }, 0 },
        { "switch, on missing", [&] { return toggle.SetImage(L"h7_missing.png", L"h7_base_strip.png", 2); }, 0 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, c.call()) << c.name;
}

TEST(ButtonSetters, MenuRowChecksOnlyWhenCheckable)
{
    RecordingParent parent;
    MenuItem plain(&parent, kId, kPlace, L"row", 1, 1);
    EXPECT_EQ(0, plain.SetCheck(1));
    plain.SetControlCheck(1);
    EXPECT_EQ(2, plain.GetState()) << "the pressed look";
    plain.SetEnabled(0);
    EXPECT_EQ(3, plain.GetState());
    CheckableMenuItem row(&parent, kId, kPlace, L"row", 1, 1);
    EXPECT_EQ(1, row.SetCheck(1));
    row.SetEnabled(0);
    EXPECT_EQ(7, row.GetState());
}

} // namespace
