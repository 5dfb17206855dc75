// The combo box and its drop-down: the item API with the selection kept on its item, the
// drop-down's place and size, a choice and every closing reported in order, the scrolling
// drop-down list's rows, and no GDI growth over many openings. The drop-down takes the
// activation and closes when it loses it; the activation is this program's own (it runs on a
// desktop of its own).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"
#include "TestWindow.h"
#include "controls/input/CComboBoxWnd.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const Gdiplus::Color kNoColour(0xFF000000);

// Writes down what the drop-down tells it.
class HearingCombo : public MComboBox {
public:
    HearingCombo(MObject* parent, UINT id, CRect rect) : MComboBox(parent, id, rect, 1, 1) {}
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        if (code != 2 || id != 9)
            heard.push_back({ id, code, wParam, lParam });
        return MComboBox::OnMessage(id, code, wParam, lParam);
    }
    std::vector<Notification> heard;
};

void fill(MComboBox& combo, int count)
{
    for (int i = 0; i < count; ++i)
        combo.AddItem((L"item " + std::to_wstring(i)).c_str(), 100 + i, nullptr, kNoColour);
}

TEST(ComboItems, IndexesAreCheckedAndTheSelectionStaysOnItsItem)
{
    RecordingParent parent;
    MComboBox combo(&parent, 3, CRect(0, 0, 120, 30), 1, 1);
    EXPECT_EQ(-1, combo.InsertItem(0, L"a", 1, nullptr, kNoColour)) << "an empty list takes −1 only";
    fill(combo, 3);
    EXPECT_EQ(-1, combo.InsertItem(3, L"x", 9, nullptr, kNoColour));
    EXPECT_EQ(0, combo.SetCurSel(3));
    EXPECT_EQ(1, combo.DeleteItem(-1));
    EXPECT_EQ(0, combo.DeleteItem(3));
    EXPECT_EQ(1, combo.SetCurSel(1));
    EXPECT_EQ(3, combo.InsertItem(0, L"first", 99, nullptr, kNoColour)) << "the last index";
    EXPECT_EQ(2, combo.GetCurSel()) << "moved with its item";
    EXPECT_EQ(101, combo.GetCurData());
    EXPECT_EQ(1, combo.DeleteItem(0));
    EXPECT_EQ(1, combo.GetCurSel());
    EXPECT_EQ(101, combo.GetCurData());
    EXPECT_EQ(1, combo.DeleteItem(1));
    EXPECT_EQ(-1, combo.GetCurSel()) << "its item went";
    EXPECT_EQ(0, combo.GetCurData());
    EXPECT_EQ(CString(L""), combo.GetTitle());
    EXPECT_EQ(1, combo.SelectData(102));
    EXPECT_EQ(CString(L"item 2"), combo.GetTitle());
    EXPECT_EQ(1, combo.DeleteItem(1));
    EXPECT_EQ(0, combo.GetCurData()) << "never past the end";
    EXPECT_EQ("", noteLine(parent.notifications));

    MComboBox copy(combo);
    EXPECT_EQ(0, copy.GetItemCount());
    EXPECT_EQ(-1, copy.GetCurSel());
}

class Combo : public ::testing::Test {
protected:
    void SetUp() override { Manager::SetScaleValue(1.0f); }
    void TearDown() override { Manager::SetScaleValue(1.0f); }
    HearingCombo* add(CRect rect = CRect(20, 30, 180, 60))
    {
        auto* combo = new HearingCombo(&dialog, 4, rect);
        combo->SetManager(dialog.GetPaintManager());
        dialog.GetPaintManager()->AppendControl(combo, 1);
        return combo;
    }
    void click(CPoint pt) { dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, pt); }
    HWND dropDownOf(MComboBox& combo)
    {
        pumpUntil([&] { return combo.GetDropDown() && combo.GetDropDown()->GetSafeHwnd(); }, 2000);
        return combo.GetDropDown() ? combo.GetDropDown()->GetSafeHwnd() : nullptr;
    }
    // Row index of a two-row drop-down, through its own window, once it has painted.
    void chooseRow(MComboBox& combo, int row)
    {
        CComboBoxWnd* dropDown = combo.GetDropDown();
        ASSERT_TRUE(pumpUntil([&] { return dropDown->GetList() && dropDown->GetList()->GetUpdate(); }));
        const LPARAM at = MAKELPARAM(20, 6 + row * 30 + 15);
        HWND window = dropDown->GetSafeHwnd();
        PostMessageW(window, WM_MOUSEMOVE, 0, at);
        PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(window, WM_LBUTTONUP, 0, at);
    }
    // Runs a step of the test's own from the host's handler.
    class HostDialog : public NotedDialog {
    public:
        using NotedDialog::NotedDialog;
        LRESULT OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
        {
            NotedDialog::OnMessage(id, code, wParam, lParam);
            if (onNote)
                onNote();
            return 0;
        }
        std::function<void()> onNote;
    };
    HostDialog dialog { CRect(300, 300, 700, 500) };
};

TEST_F(Combo, OpensBelowItselfAndReportsTheChoiceThenTheClosing)
{
    HearingCombo* combo = add();
    fill(*combo, 2);
    click(CPoint(60, 45));
    HWND dropDown = dropDownOf(*combo);
    ASSERT_TRUE(dropDown);
    CRect place;
    GetWindowRect(dropDown, &place);
    EXPECT_EQ(CRect(300 + 20, 300 + 62, 300 + 180, 300 + 62 + 72), place);
    EXPECT_TRUE(GetWindowLongW(dropDown, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    wchar_t title[32] {};
    GetWindowTextW(dropDown, title, 32);
    EXPECT_STREQ(L"ComboWnd", title);
    EXPECT_TRUE(combo->IsOpen()) << "the pressed face while open";

    chooseRow(*combo, 1);
    ASSERT_TRUE(pumpUntil([&] { return combo->heard.size() >= 2; }));
    EXPECT_EQ("0:2:1:19 0:22:0:0", noteLine(combo->heard));
    EXPECT_EQ("4:2:1:0", noteLine(dialog.notes));
    EXPECT_EQ(1, combo->GetCurSel());
    EXPECT_EQ(CString(L"item 1"), combo->GetTitle());
    EXPECT_FALSE(combo->IsOpen());

    combo->heard.clear();
    dialog.notes.clear();
    click(CPoint(60, 45));
    ASSERT_TRUE(dropDownOf(*combo));
    chooseRow(*combo, 1);
    ASSERT_TRUE(pumpUntil([&] { return combo->heard.size() >= 2; }));
    EXPECT_EQ("4:2:1:0", noteLine(dialog.notes)) << "the selected row again still reports";
}

// The host removes the combo from its handler of the choice, which runs inside the drop-down's
// own dispatch: the drop-down closes and goes without reaching the removed combo.
TEST_F(Combo, TheHostMayRemoveTheComboWhenItReportsTheChoice)
{
    HearingCombo* combo = add();
    fill(*combo, 2);
    click(CPoint(60, 45));
    HWND dropDown = dropDownOf(*combo);
    ASSERT_TRUE(dropDown);
    chooseRow(*combo, 0);
    ASSERT_TRUE(pumpUntil([&] { return !dialog.notes.empty(); }));
    EXPECT_EQ("4:2:0:0", noteLine(dialog.notes));
    dialog.GetPaintManager()->RemoveControl(combo);
    EXPECT_TRUE(pumpUntil([&] { return !IsWindow(dropDown); }));

    HearingCombo* second = add();
    fill(*second, 2);
    click(CPoint(60, 45));
    ASSERT_TRUE(dropDownOf(*second));
    dialog.notes.clear();
    dialog.onNote = [&] { dialog.GetPaintManager()->RemoveControl(second); };
    chooseRow(*second, 1);
    ASSERT_TRUE(pumpUntil([&] { return !dialog.notes.empty(); }));
    dialog.onNote = nullptr;
    EXPECT_EQ("4:2:1:0", noteLine(dialog.notes));
    pumpUntil([] { return false; }, 100);
}

TEST_F(Combo, TheFaceShowsThePressedFrameWhileOpen)
{
    ScratchStrip faces(GetSkinPath(), L"h1_combo_faces.png", 40, 30, { 0xFF101010, 0xFF202020, 0xFFB040F0, 0xFF808080 });
    HearingCombo* combo = add();
    ASSERT_EQ(1, combo->SetImage(L"h1_combo_faces.png", 4));
    DibCanvas canvas(200, 100);
    const auto faceAt = [&] {
        combo->SetUpdate(0, 0);
        combo->Draw(canvas.dc(), CRect(0, 0, 200, 100));
        return canvas.rgb(170, 45);
    };
    EXPECT_TRUE(nearColor(faceAt(), 0x101010, 2));
    combo->OnMessage(9, 2, 0, 0);
    combo->OnControlMouseMove(0, CPoint(500, 500));
    EXPECT_TRUE(nearColor(faceAt(), 0xB040F0, 2)) << "pressed while open, whatever the pointer does";
    combo->OnMessage(0, 22, 0, 0);
    EXPECT_TRUE(nearColor(faceAt(), 0x101010, 2));
    dialog.GetPaintManager()->RemoveControl(combo);
    dialog.GetPaintManager()->ClearImgResInfo();
}

TEST_F(Combo, AnotherActiveWindowClosesItWithoutAChoice)
{
    HearingCombo* combo = add();
    fill(*combo, 3);
    click(CPoint(60, 45));
    HWND dropDown = dropDownOf(*combo);
    ASSERT_TRUE(dropDown);
    SetActiveWindow(dropDown);
    ASSERT_TRUE(pumpUntil([&] { return GetActiveWindow() == dropDown; }));
    TestWindow other;
    SetActiveWindow(other.hwnd());
    ASSERT_TRUE(pumpUntil([&] { return !IsWindow(dropDown); }));
    EXPECT_EQ("0:22:0:0", noteLine(combo->heard));
    EXPECT_EQ("", noteLine(dialog.notes));
    EXPECT_FALSE(combo->IsOpen());
}

TEST_F(Combo, APressInsideAndAReleaseOutsideOpensNothing)
{
    HearingCombo* combo = add();
    fill(*combo, 2);
    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN }, CPoint(60, 45));
    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONUP }, CPoint(350, 150));
    dialog.post({ WM_MOUSEMOVE }, CPoint(351, 150));
    pumpUntil([&] { return false; }, 200);
    EXPECT_EQ(nullptr, combo->GetDropDown());
}

TEST_F(Combo, TheDropDownShowsAtMostFiveRowsAtTheScale)
{
    struct Case { float scale; int items; int height; };
    const Case cases[] { { 1.0f, 2, 72 }, { 1.5f, 8, 237 }, { 1.0f, 0, 12 } };
    for (const Case& c : cases) {
        Manager::SetScaleValue(c.scale);
        HearingCombo* combo = add();
        fill(*combo, c.items);
        combo->OnMessage(9, 2, 0, 0);
        CRect place;
        GetWindowRect(combo->GetDropDown()->GetSafeHwnd(), &place);
        EXPECT_EQ(c.height, place.Height()) << c.items;
        EXPECT_EQ(160, place.Width());
        dialog.GetPaintManager()->RemoveControl(combo);
    }
}

// Disposing of an open drop-down never reports to the combo going away; GDI stays flat.
TEST_F(Combo, OpeningsAndDisposalsLeaveNoGdiObjects)
{
    HearingCombo* combo = add();
    fill(*combo, 8);
    expectNoGdiGrowth([&] {
        combo->OnMessage(9, 2, 0, 0);
        pumpMessages();
    }, 500);
    combo->heard.clear();
    combo->OnMessage(9, 2, 0, 0);
    HWND open = combo->GetDropDown()->GetSafeHwnd();
    dialog.GetPaintManager()->RemoveControl(combo);
    EXPECT_FALSE(IsWindow(open));
    pumpMessages();
}

// ---- the drop-down list

class DropDownList : public ::testing::Test {
protected:
    void SetUp() override { Manager::SetScaleValue(1.0f); }
    void paint(CComboBoxList& list)
    {
        list.SetUpdate(0, 0);
        list.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
    }
    void click(CComboBoxList& list, CPoint pt)
    {
        list.OnMouseMove(0, pt);
        list.OnLButtonDown(MK_LBUTTON, pt);
        list.OnLButtonUp(0, pt);
    }
    PaintManager manager;
    RecordingParent parent;
    DibCanvas canvas { 200, 200 };
};

TEST_F(DropDownList, ScrolledToItsEndTheTopRowIsRowSevenInBothTwins)
{
    const CRect place(10, 10, 160, 160);
    std::unique_ptr<CComboBoxList> lists[] { std::make_unique<CComboBoxList>(&parent, 88, place, 1, 1),
                                             std::make_unique<CComboBoxList2>(&parent, 88, place, 1, 1) };
    for (auto& list : lists) {
        list->SetManager(&manager);
        list->SetControlRect(CRect(10, 10, 160, 160));
        for (int i = 0; i < 12; ++i)
            list->AddItem(L"row", i, nullptr, kNoColour);
        EXPECT_TRUE(list->GetScrollVertical()->IsVisible());
        for (int notch = 0; notch < 30; ++notch)
            EXPECT_EQ(1, list->OnScroll(1, 1, CPoint(50, 50)));
        paint(*list);
        click(*list, CPoint(50, 20));
        EXPECT_EQ("88:2:7:19", noteLine(parent.notifications)) << list->GetClassNameW();
        parent.notifications.clear();
        paint(*list);
        // The outline of the selected row along its top.
        EXPECT_TRUE(nearColor(canvas.rgb(60, 10), 0xBD30FF, 2));
    }
}

TEST_F(DropDownList, APressBelowTheRowsOrOnRowsGoneChoosesNothing)
{
    CComboBoxList list(&parent, 88, CRect(10, 10, 160, 160), 1, 1);
    list.SetManager(&manager);
    list.AddItem(L"a", 0, nullptr, kNoColour);
    list.AddItem(L"b", 1, nullptr, kNoColour);
    EXPECT_EQ(0, list.OnScroll(1, 1, CPoint(50, 50))) << "everything fits";
    paint(list);
    click(list, CPoint(50, 120));
    EXPECT_EQ("", noteLine(parent.notifications));
    click(list, CPoint(50, 50));
    EXPECT_EQ("88:2:1:19", noteLine(parent.notifications));
    parent.notifications.clear();

    // Rows of the last paint that have gone since are not searched.
    list.DelAllItems();
    list.AddItem(L"a", 0, nullptr, kNoColour);
    list.OnMouseMove(0, CPoint(50, 50));
    list.OnLButtonDown(MK_LBUTTON, CPoint(50, 50));
    list.OnLButtonUp(0, CPoint(50, 50));
    EXPECT_EQ("", noteLine(parent.notifications));
}

} // namespace
