#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "RecordingControl.h"
#include "ScratchStrip.h"
#include "TestWindow.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const CRect kFirst(10, 10, 110, 90);
const CRect kSecond(120, 10, 220, 90);
constexpr DWORD kUnselected = 0xFF0000;
constexpr DWORD kSelected = 0x0000FF;

// A row of two tiles in a panel of a real dialog.
struct Row {
    Row()
    {
        // The real pointer away from the dialog: a move of it, or one Wine makes up when the
        // mouse is taken or given back, would reach the controls between the posted ones.
        ::SetCursorPos(0, 0);
        PaintManager* manager = dialog.GetPaintManager();
        page = new MPanel(&dialog, 50, CRect(0, 0, 400, 200), 1);
        page->SetManager(manager);
        manager->AppendControl(page, 1);
        first = dynamic_cast<DPIControl*>(page->CreateControl(L"DPIControl", 51, kFirst, L"", 1, 1));
        second = dynamic_cast<DPIControl*>(page->CreateControl(L"DPIControl", 52, kSecond, L"", 1, 1));
        pumpUntil([&] { return ::GetUpdateRect(dialog.GetSafeHwnd(), nullptr, FALSE) == FALSE; });
    }
    std::string notesAfter(std::initializer_list<UINT> messages, CPoint at, size_t count)
    {
        dialog.notes.clear();
        dialog.post(messages, at);
        pumpUntil([&] { return dialog.notes.size() >= count; });
        pumpMessages();
        return noteLine(dialog.notes);
    }
    NotedDialog dialog;
    MPanel* page { nullptr };
    DPIControl* first { nullptr };
    DPIControl* second { nullptr };
};

TEST(DPIRow, ABodyPressSelectsOneTileOfTheGroupAndTheSwatchReportsTwice)
{
    Row row;
    ASSERT_TRUE(row.first && row.second);
    EXPECT_EQ(L"DPIControl", std::wstring(row.first->GetClassNameW()));
    EXPECT_EQ("51:1:0:3", row.notesAfter({ WM_MOUSEMOVE, WM_LBUTTONDOWN }, CPoint(40, 60), 1));
    EXPECT_EQ(1, row.first->GetCheckState());
    row.notesAfter({ WM_LBUTTONUP, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(150, 60), 3);
    EXPECT_EQ(0, row.first->GetCheckState());
    EXPECT_EQ(1, row.second->GetCheckState());
    // The swatch of the first tile: the tile's own notification, then the swatch's, unchanged.
    const std::string swatch = row.notesAfter({ WM_MOUSEMOVE, WM_LBUTTONDOWN }, CPoint(100, 60), 2);
    EXPECT_EQ(0u, swatch.find("51:1:0:2 31:1:")) << swatch;
    // Another group is left alone.
    row.second->SetGroupName(L"other");
    row.notesAfter({ WM_LBUTTONUP, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(40, 60), 3);
    EXPECT_EQ(1, row.first->GetCheckState());
    EXPECT_EQ(1, row.second->GetCheckState());
    // Both selected, then one group again: a new state stores before the walk and ends.
    row.second->SetGroupName(L"DPIControl");
    EXPECT_EQ(1, row.first->SetCheckState(2));
    EXPECT_EQ(2, row.first->GetCheckState());
    EXPECT_EQ(0, row.second->GetCheckState());
}

TEST(DPIRow, AHandedOverEditReportsTypingAndFocusLossAndGoesWithItsTile)
{
    Row row;
    auto* edit = new CDPIEditWnd;
    edit->Init(row.first);
    row.first->SetEditWindow(edit);
    const HWND window = edit->GetSafeHwnd();
    ASSERT_TRUE(window);
    EXPECT_EQ(500, row.first->GetDPIValue());
    row.dialog.notes.clear();
    ::PostMessageW(window, WM_CHAR, L'9', 0);
    EXPECT_TRUE(pumpUntil([&] { return !row.dialog.notes.empty(); }));
    EXPECT_EQ("51:26:0:0", noteLine(row.dialog.notes));
    ::SendMessageW(window, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ("51:29:0:0", noteLine({ row.dialog.notes.back() }));
    EXPECT_EQ(9, row.first->GetDPIValue());
    row.first->SetDPIValue(1600);
    CString text;
    edit->GetWindowTextW(text);
    EXPECT_EQ(L"1600", std::wstring(text));
    row.page->RemoveControl(row.first);
    EXPECT_FALSE(::IsWindow(window));
}

TEST(DPIRow, AnotherEditWindowReplacesTheHeldOneAndEachClearsOnlyItsOwnHold)
{
    struct Case {
        const char* name;
        bool firstHandedOver; // the first window was handed to the tile before the second
    };
    for (const Case& c : { Case { "handed over one after the other", true },
                           Case { "the first only laid over the tile", false } }) {
        SCOPED_TRACE(c.name);
        Row row;
        auto* first = new CDPIEditWnd;
        first->Init(row.first);
        const HWND firstWindow = first->GetSafeHwnd();
        if (c.firstHandedOver)
            row.first->SetEditWindow(first);
        auto* second = new CDPIEditWnd;
        second->Init(row.first);
        const HWND secondWindow = second->GetSafeHwnd();
        row.first->SetEditWindow(second);
        EXPECT_EQ(!c.firstHandedOver, ::IsWindow(firstWindow) != 0) << "a held window goes when another comes";
        // The first one going (when the host destroys it) leaves the tile's hold on the second.
        ::DestroyWindow(firstWindow);
        pumpMessages();
        row.first->SetDPIValue(1200);
        CString text;
        second->GetWindowTextW(text);
        EXPECT_EQ(L"1200", std::wstring(text));
        // The tile takes the second with it: nothing is left to reach the freed tile.
        row.page->RemoveControl(row.first);
        EXPECT_FALSE(::IsWindow(secondWindow));
    }
}

TEST(DPIRow, TheEditCallsOfTheInterfaceDoNothing)
{
    Row row;
    auto* edit = new CDPIEditWnd;
    edit->Init(row.first);
    row.first->SetEditWindow(edit);
    row.first->SetEditText(L"9999");
    row.first->SetEditText(nullptr);
    row.first->HideEdit();
    row.first->ShowEdit();
    CString text;
    edit->GetWindowTextW(text);
    EXPECT_EQ(L"500", std::wstring(text));
    EXPECT_EQ(500, row.first->GetDPIValue());
}

TEST(DPIRow, AnEditWithoutOwnerCallsNoOne)
{
    Row row;
    auto* edit = new CDPIEditWnd;
    const HWND window = edit->Create(row.dialog.GetSafeHwnd(), L"", WS_CHILD, 0, CRect(0, 0, 40, 20), nullptr);
    ASSERT_TRUE(window);
    row.dialog.notes.clear();
    ::SendMessageW(window, WM_KILLFOCUS, 0, 0);
    ::SendMessageW(window, WM_PRINT, 0, 0);
    ::DestroyWindow(window);
    EXPECT_TRUE(row.dialog.notes.empty());
}

class LoneTile : public ::testing::Test {
protected:
    LoneTile()
    {
        tile = std::make_unique<DPIControl>(&parent, 60, kFirst, 1);
        tile->SetManager(&manager);
        tile->SetImage(L"dpi_tile.png", 2);
    }
    ~LoneTile() override { manager.ClearImgResInfo(); }
    DWORD bodyPixel()
    {
        canvas.fill(0xFF202020);
        tile->SetUpdate(0, 0);
        tile->Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
        return canvas.rgb(kFirst.left + 40, kFirst.top + 60);
    }
    ScratchStrip strip { GetSkinPath(), L"dpi_tile.png", 40, 40, { 0xFF000000 | kUnselected, 0xFF000000 | kSelected } };
    RecordingParent parent;
    PaintManager manager;
    std::unique_ptr<DPIControl> tile;
    DibCanvas canvas { 240, 120 };
};

TEST_F(LoneTile, EverySelectedStateShowsTheSelectedHalf)
{
    struct Case {
        int state;
        DWORD body;
    };
    for (const Case& c : { Case { 0, kUnselected }, Case { 1, kSelected }, Case { 2, kSelected }, Case { 0, kUnselected } }) {
        tile->SetCheckState(c.state);
        EXPECT_TRUE(nearColor(bodyPixel(), c.body, 2)) << c.state;
        EXPECT_EQ(c.state, tile->GetCheckState());
    }
    tile->SetFontStyle(Gdiplus::FontStyleBold);
    EXPECT_EQ(FW_BOLD, logFontOf(tile->GetDefaultFont()).lfWeight);
    EXPECT_EQ(-13, logFontOf(tile->GetDefaultFont()).lfHeight);
}

TEST(DPILeaks, RepaintsAndEditsKeepTheGdiObjectCount)
{
    Row row;
    row.first->SetTitle(L"Stage");
    int round = 0;
    expectNoGdiGrowth([&] {
        row.first->SetDPIValue(400 + round);
        row.first->SetCheckState(round % 3);
        auto* edit = new CDPIEditWnd;
        edit->Init(row.second);
        row.second->SetEditWindow(edit);
        ::SendMessageW(edit->GetSafeHwnd(), WM_CHAR, L'4', 0);
        edit->DestroyWindow();
        ::UpdateWindow(row.dialog.GetSafeHwnd());
        ++round;
    }, 100);
}

} // namespace
