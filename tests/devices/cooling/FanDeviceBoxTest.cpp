// The fan list box on a real dialog: cells four to a line, a press toggling and reporting, a
// release opening the cooling modes under the cell's mode box, a mode chosen there reported,
// and a box deleted while its drop-down is open.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "RecordingControl.h"
#include "TestWindow.h"
#include "devices/cooling/FanDeviceBox.h"
#include "framework/MPanel.h"
#include "framework/Manager.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const CRect kDialog(50, 50, 1350, 550);
const CPoint kOrigin(10, 10);
constexpr int kPitchX = 310;
constexpr int kPitchY = 125;

BOOL CALLBACK noteDropDown(HWND window, LPARAM out)
{
    wchar_t title[16] {};
    ::GetWindowTextW(window, title, 16);
    if (::IsWindowVisible(window) && std::wstring(title) == L"ComboWnd") {
        *reinterpret_cast<HWND*>(out) = window;
        return FALSE;
    }
    return TRUE;
}

// The visible drop-down window this thread shows, or null.
HWND shownDropDown()
{
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), noteDropDown, reinterpret_cast<LPARAM>(&found));
    return found;
}

class FanBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        page = new MPanel(&dialog, 20, CRect(0, 0, 1300, 500), 1);
        page->SetManager(dialog.GetPaintManager());
        dialog.GetPaintManager()->AppendControl(page, 1);
        box = dynamic_cast<FanDeviceBox*>(page->CreateControl(L"FanDeviceBox", 60, CRect(kOrigin, CSize(1280, 480)), L"", 1, 1));
        ASSERT_NE(nullptr, box);
        for (int mode = 0; mode < 7; ++mode)
            box->AddMode(L"mode", 100 + mode);
    }
    void fans(int count)
    {
        for (int i = 0; i < count; ++i)
            box->AddItem(L"fan", L"", i, 0, i);
        ::UpdateWindow(dialog.GetSafeHwnd());
    }
    static CPoint cellAt(int column, int line) { return CPoint(kOrigin.x + column * kPitchX + 200, kOrigin.y + line * kPitchY + 20); }

    NotedDialog dialog { kDialog };
    MPanel* page { nullptr };
    FanDeviceBox* box { nullptr };
};

TEST_F(FanBox, CellsFollowFourToALineThenAllOnTheThird)
{
    fans(12);
    const struct { CPoint at; int row; } cells[] = { { cellAt(3, 0), 3 }, { cellAt(0, 1), 4 }, { cellAt(0, 2), 8 },
                                                     { cellAt(3, 2), 11 } };
    for (const auto& cell : cells) {
        dialog.notes.clear();
        dialog.post({ WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONDOWN }, cell.at);
        ASSERT_TRUE(pumpUntil([&] { return !dialog.notes.empty(); }));
        EXPECT_EQ("60:1:0:" + std::to_string(cell.row), noteLine(dialog.notes));
        EXPECT_EQ(0, box->GetItemCheck(cell.row));
        dialog.post({ WM_LBUTTONUP }, CPoint(5, 495));
        pumpMessages();
    }
    EXPECT_EQ(0, box->SetItemCheck(12, 1));
    EXPECT_EQ(0, box->GetItemCheck(-1));
}

TEST_F(FanBox, ReleaseOpensTheModesUnderTheModeBoxAndReportsTheChoice)
{
    fans(9);
    dialog.post({ WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, cellAt(1, 1));
    HWND dropDown = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return (dropDown = shownDropDown()) != nullptr; }));
    EXPECT_EQ("60:1:0:5", noteLine(dialog.notes));
    EXPECT_EQ(5, box->GetSelectItem());
    CRect place;
    ::GetWindowRect(dropDown, &place);
    // The mode box (15, 78, 155, 98) of cell 5, 2 pixels below it; five of seven rows shown.
    const CPoint client(kDialog.left + kOrigin.x + kPitchX + 15, kDialog.top + kOrigin.y + kPitchY + 98 + 2);
    EXPECT_EQ(CRect(client.x, client.y, client.x + 140, client.y + 5 * 30 + 12), place);

    // The list's rows get their places from its first paint.
    ::RedrawWindow(dropDown, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    pumpMessages();
    const LPARAM third = MAKELPARAM(20, 6 + 2 * 30 + 15);
    ::PostMessageW(dropDown, WM_MOUSEMOVE, 0, third);
    ::PostMessageW(dropDown, WM_LBUTTONDOWN, MK_LBUTTON, third);
    ::PostMessageW(dropDown, WM_LBUTTONUP, 0, third);
    ASSERT_TRUE(pumpUntil([&] { return dialog.notes.size() == 2; }));
    EXPECT_EQ("60:2:2:0", noteLine({ dialog.notes[1] }));
    EXPECT_EQ(CString(L"静音"), box->GetCoolModeName());
}

TEST_F(FanBox, DeletedWhileItsDropDownIsOpen)
{
    fans(2);
    dialog.post({ WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, cellAt(0, 0));
    HWND dropDown = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return (dropDown = shownDropDown()) != nullptr; }));
    page->RemoveControl(box);
    box = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return !::IsWindow(dropDown); }));
    EXPECT_EQ("60:1:0:0", noteLine(dialog.notes));
}

} // namespace
