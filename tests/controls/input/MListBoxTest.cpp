// The list boxes in a real dialog: row API, presses, double clicks and right clicks through
// posted input, renaming over the native edit window (which takes the keyboard focus, this
// program's own on its own desktop), the drag picture and the wheel, and the DListBox rules.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"
#include "TestWindow.h"
#include "controls/input/CComboBoxList.h"
#include "controls/input/CEditWindow.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr UINT kList = 40;
const CRect kPlace(10, 10, 210, 210);

CPoint onRow(int row) { return CPoint(60, kPlace.top + row * 30 + 15); }

class ListBox : public ::testing::Test {
protected:
    void make(const wchar_t* className, int rows, bool inPanel = false)
    {
        list = inPanel || std::wstring(className) == L"DListBox" ? createInPanel(className)
                                                                  : dialog.create<MListBox>(className, kList, kPlace);
        ASSERT_TRUE(list);
        for (int i = 0; i < rows; ++i)
            list->AddString((L"row " + std::to_wstring(i)).c_str(), static_cast<long>(100 + i), -1);
        settle();
    }
    // Rows are hit where the last paint put them: input waits for the paint after a change.
    void settle()
    {
        dialog.GetPaintManager()->Invalidate();
        ASSERT_TRUE(pumpUntil([&] { return list->GetUpdate() != 0; })) << "the paint lays the rows out";
    }
    // The panel factory knows both classes; the dialog's window factory only MListBox.
    MListBox* createInPanel(const wchar_t* className)
    {
        auto* panel = new MPanel(&dialog, 90, CRect(0, 0, 400, 260), 1);
        panel->SetManager(dialog.GetPaintManager());
        dialog.GetPaintManager()->AppendControl(panel, 1);
        MControl* control = panel->CreateControl(className, kList, kPlace, L"", 1, 1);
        dialog.GetPaintManager()->Invalidate();
        return dynamic_cast<MListBox*>(control);
    }
    std::string heard(std::initializer_list<UINT> messages, CPoint pt)
    {
        dialog.notes.clear();
        dialog.post(messages, pt);
        pumpUntil([] { return false; }, 120);
        std::string line;
        for (const Notification& note : dialog.notes)
            if (note.id == kList)
                line += (line.empty() ? "" : " ") + std::to_string(note.code) + ":" + std::to_string(static_cast<int>(note.wParam)) +
                        ":" + std::to_string(note.lParam);
        return line;
    }
    NotedDialog dialog { CRect(300, 300, 700, 560) };
    MListBox* list { nullptr };
};

TEST_F(ListBox, RowIndexesAreCheckedAndDeletionForgetsHoverAndSelection)
{
    make(L"MListBox", 3);
    EXPECT_EQ(-1, list->InsertString(3, L"x", -1, 0));
    EXPECT_EQ(3, list->InsertString(0, L"first", -1, 7));
    EXPECT_EQ(-1, list->FindString(nullptr));
    EXPECT_EQ(0, list->FindItemData(7));
    settle();
    EXPECT_EQ("1:1:0", heard({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, onRow(1)));
    EXPECT_EQ(1, list->DeleteItem(1));
    EXPECT_EQ(-1, list->GetCurSel());
    EXPECT_EQ(1, list->DeleteAllItems());
    EXPECT_EQ("1:-1:0", heard({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, onRow(1))) << "rows of the last paint are gone";
    list->AddString(L"one", -1);
    list->SetItemHeight(0);
    EXPECT_EQ(1, list->GetItemHeight());
    settle();
}

TEST_F(ListBox, ADoubleClickBelowTheRowsReportsNoSelection)
{
    make(L"MListBox", 3);
    EXPECT_EQ("1:-1:0 3:-1:0", heard({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK }, onRow(5)));
    EXPECT_EQ("1:2:0 3:2:0", heard({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK }, onRow(2)));
    EXPECT_EQ(nullptr, list->GetEditWindow()) << "renaming is off";
    EXPECT_EQ("5:1:0", heard({ WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONUP }, onRow(1)));
    EXPECT_EQ("", heard({ WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONUP }, onRow(6)));
}

TEST_F(ListBox, ARenameCommitsAChangedTextOnAnotherRowOrEnter)
{
    make(L"MListBox", 3);
    list->EnableShowEdit(1);
    heard({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK }, onRow(1));
    CEditWindow* edit = list->GetEditWindow();
    ASSERT_TRUE(edit);
    HWND window = edit->GetSafeHwnd();
    wchar_t className[32] {};
    GetClassNameW(window, className, 32);
    EXPECT_STREQ(L"FSEditWindow", className);
    CRect place;
    GetWindowRect(window, &place);
    EXPECT_EQ(CRect(300 + 13, 300 + 40 + 4, 300 + 209, 300 + 40 + 24), place);
    EXPECT_EQ(1, list->GetEditIndex());

    dialog.notes.clear();
    SetWindowTextW(window, L"renamed");
    EXPECT_EQ("40:26:0:0", noteLine(dialog.notes));
    EXPECT_EQ("1:1:0", heard({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, onRow(1))) << "the same row keeps it";
    EXPECT_TRUE(edit->IsShown());
    EXPECT_EQ("1:2:0 29:0:1", heard({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, onRow(2)));
    EXPECT_EQ(CString(L"renamed"), list->GetItemText(1));
    EXPECT_FALSE(edit->IsShown());

    list->ShowEdit();
    dialog.notes.clear();
    PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
    pumpUntil([&] { return !edit->IsShown(); });
    EXPECT_EQ("", noteLine(dialog.notes)) << "unchanged: nothing committed";
    list->ShowEdit();
    SetWindowTextW(window, L"again");
    dialog.notes.clear();
    PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
    pumpUntil([&] { return !edit->IsShown(); });
    EXPECT_EQ("40:29:0:2", noteLine(dialog.notes));
}

// In a page the paint manager hovers the page, not the list: a press on the list must leave
// the focus, and the rename, to the list it reaches.
TEST_F(ListBox, ARenameInAListInsideAPageStaysOpenWhileItsRowIsPressed)
{
    make(L"MListBox", 3, true);
    list->EnableShowEdit(1);
    heard({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK }, onRow(1));
    CEditWindow* edit = list->GetEditWindow();
    ASSERT_TRUE(edit);
    SetWindowTextW(edit->GetSafeHwnd(), L"renamed");
    EXPECT_EQ("1:1:0", heard({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, onRow(1)));
    EXPECT_TRUE(edit->IsShown());
    EXPECT_EQ("1:2:0 29:0:1", heard({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, onRow(2)));
    EXPECT_EQ(CString(L"renamed"), list->GetItemText(1));
}

TEST_F(ListBox, DeletingTheRowUnderARenameEndsItWithoutCommitting)
{
    make(L"MListBox", 3);
    list->EnableShowEdit(1);
    list->SetCurSel(2);
    list->ShowEdit();
    ASSERT_TRUE(list->GetEditWindow());
    SetWindowTextW(list->GetEditWindow()->GetSafeHwnd(), L"lost");
    list->DeleteItem(0);
    EXPECT_EQ(-1, list->GetEditIndex());
    list->SetControlFocus(0);
    EXPECT_EQ(CString(L"row 1"), list->GetItemText(0));
    EXPECT_EQ(CString(L"row 2"), list->GetItemText(1));
}

// The host changes the rows while a rename is open: the rename, and the selection, stay on
// the row they were on (or end with the rows), and the commit names that row. Opening the
// rename reports nothing before anything is typed.
TEST_F(ListBox, ARenameStaysOnItsRowWhileTheHostInsertsSwapsOrClearsRows)
{
    const struct {
        const char* what;
        std::function<void(MListBox&)> change;
        int renamedRow;
        const char* heardOnLeaving;
        int selection;
    } cases[] {
        { "insert", [](MListBox& rows) { rows.InsertString(0, L"top", -1, 0); }, 3, "29:0:3", 3 },
        { "swap", [](MListBox& rows) { rows.SwapItem(2, 0); }, 0, "29:0:0", 0 },
        { "clear", [](MListBox& rows) {
              rows.ClearList();
              for (const wchar_t* text : { L"a", L"b", L"c" })
                  rows.AddString(text, -1);
          }, -1, "", -1 },
    };
    for (const auto& c : cases) {
        make(L"MListBox", 3);
        list->EnableShowEdit(1);
        EXPECT_EQ("1:2:0 3:2:0", heard({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK }, onRow(2)))
            << c.what << ": nothing typed yet";
        ASSERT_TRUE(list->GetEditWindow()) << c.what;
        SetWindowTextW(list->GetEditWindow()->GetSafeHwnd(), L"renamed");
        c.change(*list);
        EXPECT_EQ(c.heardOnLeaving, heard({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(300, 240))) << c.what;
        EXPECT_EQ(c.selection, list->GetCurSel()) << c.what;
        for (int row = 0; row < list->GetItemCount(); ++row)
            EXPECT_EQ(row == c.renamedRow, list->GetItemText(row) == CString(L"renamed")) << c.what << " row " << row;
        dialog.GetPaintManager()->RemoveControl(list);
        pumpMessages();
    }
}

TEST_F(ListBox, TheDragPictureAndTheWheel)
{
    make(L"MListBox", 20);
    list->ModifyItemString(1, std::wstring(200, L'W').c_str());
    heard({ WM_MOUSEMOVE }, onRow(1));
    HBITMAP picture = list->GetControlDropBitmap();
    ASSERT_TRUE(picture);
    BITMAP description {};
    GetObjectW(picture, sizeof(description), &description);
    EXPECT_EQ(300, description.bmWidth);
    DeleteObject(picture);

    CScrollVertical* bar = list->GetScrollVertical();
    const int step = bar->GetScrollStep();
    EXPECT_EQ(1, list->OnControlScroll(1, 1, onRow(1)));
    EXPECT_EQ(10 * step, bar->GetScrollCurrentPos());
    for (int notch = 0; notch < 20; ++notch)
        list->OnControlScroll(1, 1, onRow(1));
    EXPECT_EQ(bar->GetScrollMaxRange(), bar->GetScrollCurrentPos());
}

TEST_F(ListBox, ThousandRenamesKeepTheGdiObjectCountFlat)
{
    make(L"MListBox", 3);
    list->EnableShowEdit(1);
    int i = 0;
    expectNoGdiGrowth([&] {
        list->SetCurSel(i++ % 2);
        list->ShowEdit();
        list->SetCurSel(2);
        list->HideEdit(0);
        pumpMessages();
    }, 1000);
}

TEST_F(ListBox, DListBoxReportsReleasesAndRightClicksAnywhereInside)
{
    EXPECT_EQ(nullptr, dialog.CreateControl(L"DListBox", 41, kPlace, L"", 1, 1)) << "the window factory has no DListBox";
    make(L"DListBox", 3);
    EXPECT_EQ("1:1:0 2:1:0", heard({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, onRow(1)));
    EXPECT_EQ("", heard({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK }, onRow(5)));
    EXPECT_EQ(1, list->GetCurSel()) << "a press on no row changes nothing";
    EXPECT_EQ("5:-1:0", heard({ WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONUP }, onRow(5)));
    auto* strip = dynamic_cast<DListBox*>(list);
    ASSERT_TRUE(strip);
    EXPECT_EQ(0, strip->SetImage(L"no_such_strip.png", 2));
    // A count below 1 gives frames of no width, not a division by zero; replacing the strip
    // deletes the old one.
    ScratchStrip rows(GetSkinPath(), L"h1_list_rows.png", 16, 16, { 0xFFFF0000, 0xFF00FF00 });
    EXPECT_EQ(1, strip->SetImage(L"h1_list_rows.png", 0));
    EXPECT_EQ(1, strip->SetImage(L"h1_list_rows.png", 2));
    settle();
}

// Each list lays its horizontal bar along its bottom edge wherever it goes. Rows never scroll
// sideways (a text wider than the list is cut at its edge), so that bar has nothing to scroll:
// it stays hidden, and a press on the last shown row's bottom pixels reaches the row.
TEST_F(ListBox, TheHorizontalBarLiesAlongTheBottomEdgeAndLeavesTheRowsTheirPresses)
{
    const CRect moved(20, 20, 220, 200); // six rows of 30 exactly
    const CPoint lastRowBottom(60, moved.bottom - 2);
    const std::wstring wide(80, L'W');
    struct Case { const wchar_t* className; const char* heard; };
    const Case cases[] = {
        { L"MListBox", "1:5:0" }, { L"DListBox", "1:5:0 2:5:0" }, { L"CComboBoxList", "2:5:19" }, { L"CComboBoxList2", "2:5:19" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.className)));
        MPanel* shown = nullptr;
        if (std::wstring(c.className).rfind(L"CComboBoxList", 0) == 0) {
            auto* combo = std::wstring(c.className) == L"CComboBoxList" ? new CComboBoxList(&dialog, kList, kPlace, 1, 1)
                                                                         : new CComboBoxList2(&dialog, kList, kPlace, 1, 1);
            dialog.adopt(combo);
            for (int i = 0; i < 20; ++i)
                combo->AddItem((std::to_wstring(i) + wide).c_str(), i, nullptr, Gdiplus::Color());
            shown = combo;
        } else {
            make(c.className, 0);
            for (int i = 0; i < 20; ++i)
                list->AddString((std::to_wstring(i) + wide).c_str(), -1);
            shown = list;
        }
        shown->SetRect(moved);
        MScroll* bar = shown->GetScrollHorizontal();
        EXPECT_EQ(CRect(moved.left, moved.bottom - 5, moved.right, moved.bottom), bar->GetRect());
        EXPECT_EQ(0, bar->IsVisible());
        EXPECT_EQ(0, bar->IsScrollNeeded());
        EXPECT_EQ(CRect(moved.right - 5, moved.top, moved.right, moved.bottom), shown->GetScrollVertical()->GetRect());
        dialog.GetPaintManager()->Invalidate();
        ASSERT_TRUE(pumpUntil([&] { return shown->GetUpdate() != 0; }));
        EXPECT_EQ(c.heard, heard({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, lastRowBottom));
        dialog.GetPaintManager()->ClearAllControls();
        list = nullptr;
    }
}

} // namespace
