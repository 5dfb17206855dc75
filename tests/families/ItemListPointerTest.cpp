// The item lists of the families on a real dialog, driven by posted pointer messages: what a
// double click reports (a list built as a plain control sees its second click as a press; a
// list built as a panel does not), and the cursor once the pointer leaves the hovered item for
// a gap inside the list.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "LibraryHost.h"
#include "NotedDialog.h"
#include "RecordingControl.h"
#include "ScratchStrip.h"
#include "TestWindow.h"
#include "controls/input/ThemeColor.h"
#include "devices/cooling/ArchivedCtrl.h"
#include "devices/cooling/CDeviceCtrl.h"
#include "devices/cooling/DevChannelCtrl.h"
#include "devices/cooling/FanCountCtrl.h"
#include "devices/cooling/FanDeviceBox.h"
#include "devices/peripherals/KeyFuncControl.h"
#include "framework/AppPaths.h"
#include "framework/MPanel.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr UINT kListId = 40;
// Wide enough for three device tiles or profile cards (300 pixels and a 10-pixel gap each) from
// the list's left edge.
const CRect kListPlace(0, 0, 950, 460);
const wchar_t kCheckFile[] = L"itemlist_pointer_check.png";
// With a two-frame strip of 30 × 30 frames a tile's check area is (240, 157, 270, 187).
const CPoint kTileCheck(250, 170);
constexpr int kTilePitch = 310;

// Three items in each list; item 1 is the one the pointer visits.
void fillFans(MControl& list)
{
    for (int i = 0; i < 3; ++i)
        static_cast<FanDeviceBox&>(list).AddItem(L"Fan", L"", i, 0, 0);
}
void fillChannels(MControl& list)
{
    for (int i = 0; i < 3; ++i)
        static_cast<DevChannelCtrl&>(list).AddItem(L"C", i);
}
void fillCounts(MControl& list)
{
    for (int i = 0; i < 3; ++i)
        static_cast<FanCountCtrl&>(list).AddItem(L"N", i, 0);
}
void fillTiles(MControl& list)
{
    auto& tiles = static_cast<CDeviceCtrl&>(list);
    tiles.SetCheckImage(kCheckFile);
    for (int i = 0; i < 3; ++i)
        tiles.AddDevice(L"Dev", 10 + i, 20 + i, true, L"");
}
void fillCards(MControl& list)
{
    for (int i = 0; i < 3; ++i)
        static_cast<ArchivedCtrl&>(list).AddItem(L"Title", L"Second", 100 + i, L"Third");
}
void fillColours(MControl& list)
{
    for (const Gdiplus::ARGB colour : { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF })
        static_cast<ThemeColor&>(list).AddItem(Gdiplus::Color(colour));
}
void fillKeys(MControl& list)
{
    static_cast<KeyFuncControl&>(list).InitItemInfo();
}

int cellCheck(MControl& list) { return static_cast<CheckList&>(list).GetItemCheck(1); }
int tileChecks(MControl& list) { return static_cast<CDeviceCtrl&>(list).GetCheckItemCount(); }

struct ListRow {
    const wchar_t* className;
    void (*fill)(MControl&);
    CPoint onItem; // inside item 1, where the hand shows
    CPoint gap;    // inside the list, on no item
    // Reported by a move, press, release, double click and release on item 1.
    const char* doubleClickNotes;
    // Item 1's check state after them (both clicks toggle it), when the list keeps one.
    int (*check)(MControl&);
    int checkAfter;
};

const ListRow kRows[] = {
    { L"FanDeviceBox", fillFans, { 400, 60 }, { 305, 60 }, "40:1:0:1 40:1:0:1", cellCheck, 1 },
    { L"DevChannelCtrl", fillChannels, { 60, 19 }, { 43, 19 }, "40:1:0:1 40:2:0:1 40:1:0:1 40:2:0:1", cellCheck, 1 },
    { L"FanCountCtrl", fillCounts, { 60, 19 }, { 43, 19 }, "40:1:0:1 40:2:0:1 40:1:0:1 40:2:0:1", cellCheck, 0 },
    { L"CDeviceCtrl", fillTiles, kTileCheck + CPoint(kTilePitch, 0), { 305, 100 },
      "40:1:1:0 40:2:1:0 40:1:1:0 40:2:1:0", tileChecks, 0 },
    { L"ArchivedCtrl", fillCards, { 400, 100 }, { 305, 100 }, "40:1:1:0 40:2:1:0 40:1:1:0 40:2:1:0", nullptr, 0 },
    { L"ThemeColor", fillColours, { 60, 15 }, { 38, 15 }, "40:1:1:0 40:2:1:0 40:1:1:0 40:2:1:0", nullptr, 0 },
    // A panel: the second click of a double click is not another press.
    { L"KeyFuncControl", fillKeys, { 60, 14 }, { 45, 14 }, "40:1:1:0", nullptr, 0 },
};

std::string nameOf(const ListRow& row)
{
    std::string name;
    for (const wchar_t* c = row.className; *c; ++c)
        name += static_cast<char>(*c);
    return name;
}
// A failure names the row by its class rather than by its bytes.
void PrintTo(const ListRow& row, std::ostream* out)
{
    *out << nameOf(row);
}

class ItemLists : public ::testing::TestWithParam<ListRow> {
protected:
    void SetUp() override
    {
        page = new MPanel(&dialog, 20, CRect(0, 0, 980, 500), 1);
        page->SetManager(dialog.GetPaintManager());
        dialog.GetPaintManager()->AppendControl(page, 1);
        list = page->CreateControl(GetParam().className, kListId, kListPlace, L"", 1, 1);
        ASSERT_NE(nullptr, list);
        GetParam().fill(*list);
        // Items are hit where a paint put them.
        ::InvalidateRect(dialog.GetSafeHwnd(), nullptr, FALSE);
        page->UpdateControl(1, 0);
        ::UpdateWindow(dialog.GetSafeHwnd());
    }
    void TearDown() override { dialog.GetPaintManager()->ClearImgResInfo(); }

    ScratchStrip check { GetSkinPath(), kCheckFile, 30, 30, { 0xFFFFFFFF, 0xFF000000 } };
    NotedDialog dialog { CRect(20, 20, 1000, 520) };
    MPanel* page { nullptr };
    MControl* list { nullptr };
};

TEST_P(ItemLists, ADoubleClickIsASecondPressUnlessTheListIsAPanel)
{
    const ListRow& row = GetParam();
    dialog.post({ WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP }, row.onItem);
    pumpMessages();
    EXPECT_EQ(row.doubleClickNotes, noteLine(dialog.notes));
    if (row.check) {
        EXPECT_EQ(row.checkAfter, row.check(*list)) << "toggled by both presses";
    }
}

TEST_P(ItemLists, LeavingTheHoveredItemForAGapPutsTheArrowBack)
{
    const ListRow& row = GetParam();
    const HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
    const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
    dialog.post({ WM_MOUSEMOVE, WM_MOUSEMOVE }, row.onItem);
    pumpMessages();
    ASSERT_EQ(hand, ::GetCursor()) << "over the hovered item";
    dialog.post({ WM_MOUSEMOVE }, row.gap);
    pumpMessages();
    EXPECT_EQ(arrow, ::GetCursor()) << "over the gap";
    dialog.post({ WM_MOUSEMOVE, WM_MOUSEMOVE }, row.onItem);
    pumpMessages();
    EXPECT_EQ(hand, ::GetCursor()) << "back over the item";
}

std::string rowName(const ::testing::TestParamInfo<ListRow>& info)
{
    return nameOf(info.param);
}

INSTANTIATE_TEST_SUITE_P(Families, ItemLists, ::testing::ValuesIn(kRows), rowName);

} // namespace
