#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "RecordingControl.h"
#include "TestWindow.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr UINT kId = 31;
const CRect kShort(10, 10, 460, 110);
const CRect kTall(10, 10, 460, 210);

TEST(RecordList, TheBarShowsWhenTheRowsOverflowAndNewRowsScrollIntoView)
{
    RecordingParent parent;
    PaintManager manager;
    CRecordList list(&parent, kId, kShort, 1);
    list.SetManager(&manager);
    CScrollVertical* bar = list.GetScrollVertical();
    list.AddString(L"A", 2, 0, 100);
    list.AddString(L"B", 3, 0, 200);
    EXPECT_FALSE(bar->IsVisible()) << "82 pixels of rows in 100";
    EXPECT_EQ(0, list.OnScroll(1, 1, CPoint(50, 50))) << "nothing to scroll";
    list.AddString(L"C", 2, 0, 300);
    EXPECT_TRUE(bar->IsVisible()) << "123 pixels of rows in 100";
    EXPECT_EQ(123, bar->GetScrollMaxRange());
    const int end = bar->GetScrollCurrentPos();
    EXPECT_GT(end, 0) << "a new row scrolls the list to its end";
    EXPECT_EQ(1, list.OnScroll(1, 0, CPoint(50, 50)));
    EXPECT_LT(bar->GetScrollCurrentPos(), end);

    EXPECT_EQ(1, list.SetCurSel(0));
    EXPECT_TRUE(list.UpdateDelayTime(55));
    std::vector<RecordItem*> rows = list.GetRecordItems();
    EXPECT_EQ(100, rows[0]->delay);
    EXPECT_EQ(55, rows[2]->delay);
    EXPECT_EQ(1, list.SetCurSel(-1));
    EXPECT_EQ(0, list.SetCurSel(3));
    list.SwapItem(0, 2);
    EXPECT_EQ(L"C", std::wstring(list.GetRecordItems()[0]->text));
    EXPECT_EQ(1, list.DeleteAllItems());
    EXPECT_FALSE(list.UpdateDelayTime(5));
    EXPECT_EQ(0, list.DeleteItem(0));
}

TEST(RecordList, RowHeightsAreOneToTenTwentyFourPixelsWhateverTheHostSets)
{
    struct Case {
        int height;
        int range; // of the bar over 200 rows
    };
    for (const Case& c : { Case { 0, 200 }, Case { -7, 200 }, Case { INT_MIN, 200 }, Case { 1, 200 },
                           Case { 41, 8200 }, Case { 5000, 204800 }, Case { INT_MAX, 204800 } }) {
        SCOPED_TRACE(c.height);
        RecordingParent parent;
        PaintManager manager;
        CRecordList list(&parent, kId, kShort, 1);
        list.SetManager(&manager);
        list.SetItemHeight(c.height);
        for (int row = 0; row < 200; ++row)
            list.AddString(L"K", 2, 0, row);
        EXPECT_EQ(c.range, list.GetScrollVertical()->GetScrollMaxRange());
        DibCanvas canvas(480, 130);
        for (int notch = 0; notch < 3; ++notch) {
            list.SetUpdate(0, 0);
            list.Draw(canvas.dc(), CRect(0, 0, 480, 130));
            list.OnMouseMove(0, CPoint(60, 50));
            list.OnScroll(1, 0, CPoint(60, 50));
        }
        list.OnLButtonDown(MK_LBUTTON, CPoint(60, 50));
        list.OnLButtonUp(0, CPoint(60, 50));
        EXPECT_GE(list.GetCurSel(), 0);
    }
}

// Three rows in a list of a real dialog, every row in view.
struct Macro {
    Macro()
    {
        // The real pointer away from the dialog: a move of it, or one Wine makes up when the
        // mouse is taken or given back, would reach the controls between the posted ones.
        ::SetCursorPos(0, 0);
        PaintManager* manager = dialog.GetPaintManager();
        page = new MPanel(&dialog, 30, CRect(0, 0, 400, 200), 1);
        page->SetManager(manager);
        manager->AppendControl(page, 1);
        list = dynamic_cast<CRecordList*>(page->CreateControl(L"CRecordList", kId, kTall, L"", 1, 1));
        list->AddString(L"A", 2, 0, 200);
        list->AddString(L"B", 3, 0, 300);
        list->AddString(L"C", 2, 0, 400);
        pumpUntil([&] { return ::GetUpdateRect(dialog.GetSafeHwnd(), nullptr, FALSE) == FALSE; });
    }
    static CPoint delayCell(int row) { return CPoint(kTall.left + 360, kTall.top + 41 * row + 20); }
    static CPoint nameCell(int row) { return CPoint(kTall.left + 60, kTall.top + 41 * row + 20); }
    void click(CPoint at)
    {
        dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, at);
        pumpMessages();
        pumpUntil([&] { return ::GetQueueStatus(QS_ALLINPUT | QS_POSTMESSAGE) == 0; }, 500);
    }
    HWND edit() const { return ::FindWindowExW(dialog.GetSafeHwnd(), nullptr, L"FSEditWindow", nullptr); }
    std::wstring editText() const
    {
        wchar_t text[32] {};
        ::GetWindowTextW(edit(), text, 32);
        return text;
    }
    void type(const wchar_t* keys)
    {
        for (const wchar_t* key = keys; *key; ++key)
            ::PostMessageW(edit(), WM_CHAR, *key, 0);
        pumpMessages();
    }
    std::string heard(UINT code)
    {
        std::string line;
        for (const Notification& note : dialog.notes)
            if (note.id == kId && note.code == code)
                line += std::to_string(note.wParam) + ":" + std::to_string(note.lParam) + " ";
        return line;
    }
    std::vector<int> delays()
    {
        std::vector<int> values;
        for (RecordItem* row : list->GetRecordItems())
            values.push_back(row->delay);
        return values;
    }

    NotedDialog dialog { CRect(300, 300, 800, 540) };
    MPanel* page { nullptr };
    CRecordList* list { nullptr };
};

TEST(RecordListLive, ADelayCellOpensItsEditAndEnterStoresWhatWasTyped)
{
    Macro macro;
    ASSERT_TRUE(macro.list);
    macro.click(Macro::delayCell(1));
    ASSERT_TRUE(pumpUntil([&] { return macro.edit() && ::IsWindowVisible(macro.edit()); }));
    EXPECT_EQ(L"300", macro.editText());
    EXPECT_EQ("1:0 ", macro.heard(1));
    macro.dialog.notes.clear();
    macro.type(L"5");
    EXPECT_TRUE(pumpUntil([&] { return !macro.heard(26).empty(); }));
    ::PostMessageW(macro.edit(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(pumpUntil([&] { return !macro.heard(0x1D).empty(); }));
    EXPECT_EQ("0:1 ", macro.heard(0x1D));
    EXPECT_EQ((std::vector<int> { 200, 3005, 400 }), macro.delays());
    EXPECT_FALSE(::IsWindowVisible(macro.edit()));
}

TEST(RecordListLive, AnotherRowsDelayCellStoresWhatWasTypedFirstAndDeletedRowsTakeNothing)
{
    Macro macro;
    macro.click(Macro::delayCell(0));
    ASSERT_TRUE(pumpUntil([&] { return macro.edit() && macro.editText() == L"200"; }));
    macro.type(L"7");
    pumpUntil([&] { return macro.editText() == L"2007"; });
    macro.dialog.notes.clear();
    macro.click(Macro::delayCell(2));
    EXPECT_TRUE(pumpUntil([&] { return macro.editText() == L"400"; })) << "the edit moved to the row clicked";
    EXPECT_EQ("0:0 ", macro.heard(0x1D)) << "what was typed went to its own row first";
    EXPECT_EQ((std::vector<int> { 2007, 300, 400 }), macro.delays());
    macro.type(L"9");
    pumpUntil([&] { return macro.editText() == L"4009"; });
    // The edited row moves up when an earlier row goes: nothing of the edit may land anywhere.
    macro.dialog.notes.clear();
    EXPECT_EQ(1, macro.list->DeleteItem(0));
    EXPECT_FALSE(::IsWindowVisible(macro.edit()));
    macro.click(Macro::nameCell(0));
    macro.list->SetControlFocus(0);
    EXPECT_EQ("", macro.heard(0x1D));
    EXPECT_EQ((std::vector<int> { 300, 400 }), macro.delays());
}

TEST(RecordListLeaks, RepaintsAndEditsKeepTheGdiObjectCount)
{
    Macro macro;
    int round = 0;
    expectNoGdiGrowth([&] {
        macro.click(Macro::delayCell(round % 3));
        macro.type(L"1");
        ::SendMessageW(macro.edit(), WM_KEYDOWN, VK_RETURN, 0);
        for (int repaint = 0; repaint < 10; ++repaint) {
            macro.list->SetCurSel(repaint % 3);
            ::UpdateWindow(macro.dialog.GetSafeHwnd());
        }
        ++round;
    }, 100);
}

TEST(RecordListLive, TwoThousandRowsAtTheEndOfTheBarPaintAndReportTheLastRows)
{
    Macro macro;
    macro.list->DeleteAllItems();
    for (int row = 0; row < 2000; ++row)
        macro.list->AddString(L"K", 2, 0, row);
    pumpUntil([&] { return ::GetUpdateRect(macro.dialog.GetSafeHwnd(), nullptr, FALSE) == FALSE; });
    macro.dialog.notes.clear();
    macro.click(Macro::nameCell(0));
    // 82,000 pixels of rows in 200: the top 81,800 are above the view, so the press 20 pixels
    // down the view lands on row 81,820 / 41.
    EXPECT_EQ("1995:0 ", macro.heard(1));
    EXPECT_EQ(1995, macro.list->GetCurSel());
}

} // namespace
