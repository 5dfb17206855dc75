// The combo box and its drop-down: the item API with the selection kept on its item, the
// drop-down's place and size, a choice and every closing reported in order, the scrolling
// drop-down list's rows, and no GDI growth over many openings. The drop-down takes the
// activation and closes when it loses it; the activation is this program's own (it runs on a
// desktop of its own).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "DibCanvas.h"
#include "InkScan.h"
#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"
#include "TestWindow.h"
#include "controls/input/CComboBoxWnd.h"
#include "framework/MScroll.h"

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
        pumpUntil([&] { return combo.GetDropDown() && combo.GetDropDown()->GetSafeHwnd(); });
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

// The open drop-down lists copies of the items. The host changes them meanwhile: the
// drop-down closes without a choice, and a click where its rows were chooses nothing (not
// another item, not one the combo no longer has).
TEST_F(Combo, ItemsTheHostChangesWhileTheDropDownIsOpenCloseIt)
{
    const struct {
        const char* what;
        std::function<void(MComboBox&)> change;
        int row;
    } cases[] {
        { "delete before", [](MComboBox& combo) { combo.DeleteItem(0); }, 1 },
        { "delete, row past the end", [](MComboBox& combo) { combo.DeleteItem(0); }, 2 },
        { "insert", [](MComboBox& combo) { combo.InsertItem(0, L"device Z", 9, nullptr, kNoColour); }, 1 },
        { "rename", [](MComboBox& combo) { combo.SetItemText(1, L"device Y"); }, 1 },
        { "empty", [](MComboBox& combo) { combo.DelAllItems(); }, 0 },
    };
    for (const auto& c : cases) {
        HearingCombo* combo = add();
        for (const wchar_t* name : { L"device A", L"device B", L"device C" })
            combo->AddItem(name, 0, nullptr, kNoColour);
        click(CPoint(60, 45));
        const HWND window = dropDownOf(*combo);
        ASSERT_TRUE(window) << c.what;
        CComboBoxWnd* dropDown = combo->GetDropDown();
        ASSERT_TRUE(pumpUntil([&] { return dropDown->GetList()->GetUpdate(); })) << c.what;
        dialog.notes.clear();
        c.change(*combo);
        const LPARAM at = MAKELPARAM(20, 6 + c.row * 30 + 15);
        PostMessageW(window, WM_MOUSEMOVE, 0, at);
        PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(window, WM_LBUTTONUP, 0, at);
        pumpUntil([] { return false; }, 150);
        EXPECT_FALSE(IsWindow(window)) << c.what;
        EXPECT_FALSE(combo->IsOpen()) << c.what;
        EXPECT_EQ("", noteLine(dialog.notes)) << c.what;
        EXPECT_EQ(-1, combo->GetCurSel()) << c.what;
        EXPECT_EQ(CString(), combo->GetTitle()) << c.what;
        dialog.GetPaintManager()->RemoveControl(combo);
    }
    // A row the combo does not have, however it arrives, is no choice.
    HearingCombo* combo = add();
    fill(*combo, 2);
    combo->OnMessage(88, 2, 2, 0x13);
    combo->OnMessage(88, 2, 0xFFFFFFFF, 0x13);
    EXPECT_EQ("", noteLine(dialog.notes));
    EXPECT_EQ(-1, combo->GetCurSel());
}

// A press on a row released away from it (beside the list, or outside the window) takes the
// press back: no choice, and the drop-down stays open.
TEST_F(Combo, ARowPressedAndReleasedOutsideTheListChoosesNothing)
{
    HearingCombo* combo = add();
    fill(*combo, 3);
    click(CPoint(60, 45));
    const HWND window = dropDownOf(*combo);
    ASSERT_TRUE(window);
    ASSERT_TRUE(pumpUntil([&] { return combo->GetDropDown()->GetList()->GetUpdate(); }));
    for (const POINT release : { POINT { 1, 21 }, POINT { 20, 400 }, POINT { -30, 21 } }) {
        PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(20, 21));
        PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 21));
        PostMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(release.x, release.y));
        PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(release.x, release.y));
        pumpUntil([] { return false; }, 100);
        EXPECT_EQ("", noteLine(combo->heard)) << release.x << "," << release.y;
        EXPECT_TRUE(IsWindow(window)) << release.x << "," << release.y;
    }
    EXPECT_EQ(-1, combo->GetCurSel());
}

// The drop-down's bars take the strips the combo names; 0 keeps the library's own on that
// axis (102 vertical, 101 horizontal). A bar shows which strip it got by the size of its frames.
TEST_F(Combo, TheDropDownsBarsUseTheScrollStripsTheComboNames)
{
    const struct { UINT vertical, horizontal, expectVertical, expectHorizontal; } cases[] {
        { 0, 0, 102, 101 }, { 101, 0, 101, 101 }, { 0, 102, 102, 102 }, { 101, 102, 101, 102 }, { 7, 9, 7, 9 },
    };
    const auto frames = [](MScroll* bar) {
        int width = 0;
        int height = 0;
        bar->GetImageSize(width, height);
        return std::make_pair(width, height);
    };
    std::pair<int, int> ownVertical;
    std::pair<int, int> ownHorizontal;
    for (const auto& c : cases) {
        HearingCombo* combo = add();
        fill(*combo, 8);
        combo->SetScrollResID(c.vertical, c.horizontal);
        combo->OnMessage(9, 2, 0, 0);
        CComboBoxWnd* dropDown = combo->GetDropDown();
        ASSERT_TRUE(dropDown && dropDown->GetList());
        EXPECT_EQ(c.expectVertical, dropDown->GetPaintManager()->GetScrollVID());
        EXPECT_EQ(c.expectHorizontal, dropDown->GetPaintManager()->GetScrollHID());
        const auto vertical = frames(dropDown->GetList()->GetScrollVertical());
        const auto horizontal = frames(dropDown->GetList()->GetScrollHorizontal());
        if (c.vertical == 0 && c.horizontal == 0) {
            ownVertical = vertical;
            ownHorizontal = horizontal;
        }
        EXPECT_EQ(c.expectVertical == 102, vertical == ownVertical) << c.vertical << " " << c.horizontal;
        EXPECT_EQ(c.expectHorizontal == 101, horizontal == ownHorizontal) << c.vertical << " " << c.horizontal;
        dialog.GetPaintManager()->RemoveControl(combo);
        pumpMessages();
    }
}

// The drop-down's background: a skin file, else a resource of the host, drawn as a nine-grid
// with a 6-px border; else its own colour.
TEST_F(Combo, TheDropDownsBackgroundIsTheImageTheComboNames)
{
    ScratchStrip back(GetSkinPath(), L"h1_combo_back.png", 20, 20, { 0xFF00FF00 });
    const struct { const wchar_t* file; UINT resource; int nineGrid; } cases[] {
        { L"h1_combo_back.png", 0, 1 }, { nullptr, 102, 1 }, { nullptr, 0, 0 },
    };
    for (const auto& c : cases) {
        HearingCombo* combo = add();
        fill(*combo, 2);
        EXPECT_EQ(1, c.file ? combo->SetBackImage(c.file) : combo->SetBackImage(c.resource, L"PNG"));
        combo->OnMessage(9, 2, 0, 0);
        PaintManager* manager = combo->GetDropDown()->GetPaintManager();
        EXPECT_EQ(c.nineGrid ? 1 : 0, manager->GetBackMode() == BackModeNineGrid) << c.resource;
        if (c.nineGrid) {
            EXPECT_EQ(6, manager->GetBackBorder());
        }
        dialog.GetPaintManager()->RemoveControl(combo);
        pumpMessages();
    }
}

// The face draws the current item's text in the text rectangle the host sets; the nine-grid
// margins are stored and returned 1 for, and the face is drawn again.
TEST_F(Combo, TheFaceTextLiesInTheTextRectangleAndNewMarginsRedrawTheFace)
{
    HearingCombo* combo = add(CRect(0, 0, 200, 30));
    combo->AddItem(L"WWWW", 0, nullptr, kNoColour);
    combo->SetCurSel(0);
    DibCanvas canvas(200, 30);
    const auto textAt = [&](CRect area) {
        combo->SetUpdate(0, 0);
        combo->Draw(canvas.dc(), CRect(0, 0, 200, 30));
        return scanInk(canvas, area, 0x636363, 0xFFFFFF, 60).bounds;
    };
    const CRect text = textAt(CRect(0, 0, 170, 30));
    EXPECT_LT(text.left, 20) << "the default rectangle starts 3 px in";
    combo->SetTextRect(CRect(100, 3, 170, 27));
    EXPECT_EQ(CRect(100, 3, 170, 27), combo->GetTextRect());
    const CRect moved = textAt(CRect(0, 0, 170, 30));
    EXPECT_GE(moved.left, 100);
    EXPECT_LE(moved.right, 170);
    combo->SetUpdate(1, 0);
    EXPECT_EQ(1, combo->SetShowModeMID(1, 2, 3, 4));
    EXPECT_EQ(0, combo->GetUpdate()) << "the face is drawn again";
    dialog.GetPaintManager()->RemoveControl(combo);
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
