#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "RecordingControl.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr UINT kId = 12;
const CPoint kOrigin(5, 7);

// The picker's whole table, as the host knows it: label, code, place and icon file.
struct Row {
    const wchar_t* label;
    int code;
    int x;
    int y;
    int width;
    int height;
    const wchar_t* icon;
};
const Row kRows[] = {
    { L"", 249, 0, 0, 43, 28, L"icon//icon_pc.png" },
    { L"", 242, 48, 0, 43, 28, L"icon//icon_cal.png" },
    { L"", 240, 96, 0, 43, 28, L"icon//icon_email.png" },
    { L"", 232, 144, 0, 43, 28, L"icon//icon_multimedia.png" },
    { L"", 238, 192, 0, 43, 28, L"icon//icon_playpause.png" },
    { L"", 236, 240, 0, 43, 28, L"icon//icon_stop.png" },
    { L"", 237, 288, 0, 43, 28, L"icon//icon_pre.png" },
    { L"", 239, 336, 0, 43, 28, L"icon//icon_next.png" },
    { L"", 233, 384, 0, 43, 28, L"icon//icon_vol_down.png" },
    { L"", 234, 432, 0, 43, 28, L"icon//icon_vol_up.png" },
    { L"", 235, 480, 0, 43, 28, L"icon//icon_vol_mute.png" },
    { L"", 241, 528, 0, 43, 28, L"icon//icon_home.png" },
    { L"", 246, 576, 0, 43, 28, L"icon//icon_web_refresh.png" },
    { L"", 245, 624, 0, 43, 28, L"icon//icon_web_stop.png" },
    { L"", 243, 672, 0, 43, 28, L"icon//icon_web_backward.png" },
    { L"", 244, 720, 0, 43, 28, L"icon//icon_web_foreward.png" },
    { L"", 248, 768, 0, 43, 28, L"icon//icon_favorites.png" },
    { L"", 247, 816, 0, 43, 28, L"icon//icon_web_search.png" },
    { L"Esc", 41, 0, 38, 36, 28, nullptr },
    { L"F1", 58, 78, 38, 36, 28, nullptr },
    { L"F2", 59, 117, 38, 36, 28, nullptr },
    { L"F3", 60, 156, 38, 36, 28, nullptr },
    { L"F4", 61, 195, 38, 36, 28, nullptr },
    { L"F5", 62, 260, 38, 36, 28, nullptr },
    { L"F6", 63, 299, 38, 36, 28, nullptr },
    { L"F7", 64, 338, 38, 36, 28, nullptr },
    { L"F8", 65, 377, 38, 36, 28, nullptr },
    { L"F9", 66, 442, 38, 36, 28, nullptr },
    { L"F10", 67, 481, 38, 36, 28, nullptr },
    { L"F11", 68, 520, 38, 36, 28, nullptr },
    { L"F12", 69, 559, 38, 36, 28, nullptr },
    { L"Print", 70, 616, 38, 36, 28, nullptr },
    { L"Scroll Lock", 71, 655, 38, 36, 28, nullptr },
    { L"Pause", 72, 694, 38, 36, 28, nullptr },
    { L"~", 53, 0, 76, 36, 28, nullptr },
    { L"1", 30, 39, 76, 36, 28, nullptr },
    { L"2", 31, 78, 76, 36, 28, nullptr },
    { L"3", 32, 117, 76, 36, 28, nullptr },
    { L"4", 33, 156, 76, 36, 28, nullptr },
    { L"5", 34, 195, 76, 36, 28, nullptr },
    { L"6", 35, 234, 76, 36, 28, nullptr },
    { L"7", 36, 273, 76, 36, 28, nullptr },
    { L"8", 37, 312, 76, 36, 28, nullptr },
    { L"9", 38, 351, 76, 36, 28, nullptr },
    { L"0", 39, 390, 76, 36, 28, nullptr },
    { L"-", 45, 429, 76, 36, 28, nullptr },
    { L"=", 46, 468, 76, 36, 28, nullptr },
    { L"Back", 42, 507, 76, 88, 28, nullptr },
    { L"Ins", 73, 616, 76, 36, 28, nullptr },
    { L"Home", 74, 655, 76, 36, 28, nullptr },
    { L"PgUp", 75, 694, 76, 36, 28, nullptr },
    { L"NumLock", 83, 750, 76, 36, 28, nullptr },
    { L"/", 84, 789, 76, 36, 28, nullptr },
    { L"*", 85, 828, 76, 36, 28, nullptr },
    { L"-", 86, 867, 76, 36, 28, nullptr },
    { L"Tab", 43, 0, 109, 75, 28, nullptr },
    { L"Q", 20, 78, 109, 36, 28, nullptr },
    { L"W", 26, 117, 109, 36, 28, nullptr },
    { L"E", 8, 156, 109, 36, 28, nullptr },
    { L"R", 21, 195, 109, 36, 28, nullptr },
    { L"T", 23, 234, 109, 36, 28, nullptr },
    { L"Y", 28, 273, 109, 36, 28, nullptr },
    { L"U", 24, 312, 109, 36, 28, nullptr },
    { L"I", 12, 351, 109, 36, 28, nullptr },
    { L"O", 18, 390, 109, 36, 28, nullptr },
    { L"P", 19, 429, 109, 36, 28, nullptr },
    { L"[", 47, 468, 109, 35, 28, nullptr },
    { L"]", 48, 507, 109, 35, 28, nullptr },
    { L"\\", 49, 546, 109, 49, 28, nullptr },
    { L"Del", 76, 616, 109, 36, 28, nullptr },
    { L"End", 77, 655, 109, 36, 28, nullptr },
    { L"PgDn", 78, 694, 109, 36, 28, nullptr },
    { L"7", 95, 750, 109, 36, 28, nullptr },
    { L"8", 96, 789, 109, 36, 28, nullptr },
    { L"9", 97, 828, 109, 36, 28, nullptr },
    { L"+", 87, 867, 109, 36, 61, nullptr },
    { L"Caps", 57, 0, 142, 85, 28, nullptr },
    { L"A", 4, 88, 142, 36, 28, nullptr },
    { L"S", 22, 127, 142, 36, 28, nullptr },
    { L"D", 7, 166, 142, 36, 28, nullptr },
    { L"F", 9, 205, 142, 36, 28, nullptr },
    { L"G", 10, 244, 142, 36, 28, nullptr },
    { L"H", 11, 283, 142, 36, 28, nullptr },
    { L"J", 13, 322, 142, 36, 28, nullptr },
    { L"K", 14, 361, 142, 36, 28, nullptr },
    { L"L", 15, 400, 142, 36, 28, nullptr },
    { L";", 51, 439, 142, 36, 28, nullptr },
    { L"'", 52, 478, 142, 36, 28, nullptr },
    { L"Enter", 40, 517, 142, 78, 28, nullptr },
    { L"4", 92, 750, 142, 36, 28, nullptr },
    { L"5", 93, 789, 142, 36, 28, nullptr },
    { L"6", 94, 828, 142, 36, 28, nullptr },
    { L"Shift", 225, 0, 175, 101, 28, nullptr },
    { L"Z", 29, 104, 175, 36, 28, nullptr },
    { L"X", 27, 143, 175, 36, 28, nullptr },
    { L"C", 6, 182, 175, 36, 28, nullptr },
    { L"V", 25, 221, 175, 36, 28, nullptr },
    { L"B", 5, 260, 175, 36, 28, nullptr },
    { L"N", 17, 299, 175, 36, 28, nullptr },
    { L"M", 16, 338, 175, 36, 28, nullptr },
    { L",<", 54, 377, 175, 36, 28, nullptr },
    { L".>", 55, 416, 175, 36, 28, nullptr },
    { L"/?", 56, 455, 175, 36, 28, nullptr },
    { L"Shift", 229, 494, 175, 101, 28, nullptr },
    { L"Up", 82, 655, 175, 36, 28, nullptr },
    { L"1", 89, 750, 175, 36, 28, nullptr },
    { L"2", 90, 789, 175, 36, 28, nullptr },
    { L"3", 91, 828, 175, 36, 28, nullptr },
    { L"Enter", 88, 867, 175, 36, 61, nullptr },
    { L"Ctrl", 224, 0, 208, 50, 28, nullptr },
    { L"Win", 227, 53, 208, 50, 28, nullptr },
    { L"Alt", 226, 106, 208, 50, 28, nullptr },
    { L"Space", 44, 159, 208, 224, 28, nullptr },
    { L"Alt", 230, 386, 208, 50, 28, nullptr },
    { L"Win", 231, 439, 208, 50, 28, nullptr },
    { L"App", 101, 492, 208, 50, 28, nullptr },
    { L"Ctrl", 228, 545, 208, 50, 28, nullptr },
    { L"Left", 80, 616, 208, 36, 28, nullptr },
    { L"Down", 81, 655, 208, 36, 28, nullptr },
    { L"Right", 79, 694, 208, 36, 28, nullptr },
    { L"0", 98, 750, 208, 36, 28, nullptr },
    { L".", 99, 789, 208, 75, 28, nullptr },
};
static_assert(std::size(kRows) == 122);

// Icon i in a colour of its own.
DWORD iconColour(int i)
{
    return 0xFF000000 | static_cast<DWORD>((20 + i * 12) << 16) | static_cast<DWORD>((200 - i * 8) << 8) |
        static_cast<DWORD>(60 + i * 9);
}

class Picker : public ::testing::Test {
protected:
    Picker()
    {
        for (int i = 0; i < 18; ++i) {
            CString name(kRows[i].icon + 6); // past "icon//"
            icons.push_back(std::make_unique<ScratchStrip>(GetSkinPath() + L"icon\\", name, 20, 20,
                                                           std::vector<DWORD> { iconColour(i) }));
        }
        picker = std::make_unique<KeyFuncControl>(&parent, kId, CRect(kOrigin, CSize(910, 250)), 1);
        picker->SetManager(&manager);
        picker->InitItemInfo();
        picker->InitItemInfo();
    }
    void paint()
    {
        canvas.fill(0xFF202020);
        picker->SetUpdate(0, 0);
        picker->Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
    }
    static CPoint centreOf(const Row& row) { return CPoint(row.x + row.width / 2, row.y + row.height / 2) + kOrigin; }
    // Comes from outside, rests on the point and presses: the index code 1 reports.
    int pressAt(CPoint at)
    {
        parent.notifications.clear();
        picker->OnMouseMove(0, CPoint(0, 0));
        picker->OnMouseMove(0, at);
        picker->OnMouseMove(0, at);
        picker->OnLButtonDown(MK_LBUTTON, at);
        picker->OnLButtonUp(0, at);
        if (parent.notifications.size() != 1 || parent.notifications[0].code != 1)
            return -100;
        return static_cast<int>(parent.notifications[0].wParam);
    }
    std::wstring labelAfterPress(CPoint at)
    {
        pressAt(at);
        int first = 0, code = 0, data2 = 0, data3 = 0;
        CString label;
        return picker->GetCurItemData(first, code, data2, data3, label) ? std::wstring(label) : L"(none)";
    }

    std::vector<std::unique_ptr<ScratchStrip>> icons;
    RecordingParent parent;
    PaintManager manager;
    std::unique_ptr<KeyFuncControl> picker;
    DibCanvas canvas { 920, 262 };
};

TEST_F(Picker, EveryItemOfTheTableIsWhereItsRowSaysAndReportsItsCode)
{
    EXPECT_EQ(122, picker->GetItemCount());
    paint();
    for (int i = 0; i < 122; ++i) {
        const Row& row = kRows[i];
        SCOPED_TRACE(i);
        const CPoint centre = centreOf(row);
        if (i < 18) {
            EXPECT_TRUE(nearColor(canvas.rgb(centre.x, centre.y), iconColour(i) & 0xFFFFFF, 2)) << "its icon";
        }
        EXPECT_EQ(i, pressAt(centre));
        int first = -7, code = 0, data2 = 1, data3 = 1;
        CString label;
        ASSERT_TRUE(picker->GetCurItemData(first, code, data2, data3, label));
        EXPECT_EQ(row.code, code);
        EXPECT_EQ(std::wstring(row.label), std::wstring(label));
        EXPECT_EQ(-7, first);
        EXPECT_EQ(0, data2 + data3);
        const CRect place(CPoint(row.x, row.y) + kOrigin, CSize(row.width, row.height));
        EXPECT_EQ(i, pressAt(place.TopLeft()));
        EXPECT_EQ(i, pressAt(CPoint(place.right - 1, place.bottom - 1)));
        EXPECT_NE(i, pressAt(CPoint(place.right, place.bottom - 1)));
        EXPECT_NE(i, pressAt(CPoint(place.left, place.bottom)));
    }
}

TEST_F(Picker, CodesRelabelAndCheckTheFirstMatchOnly)
{
    picker->SetItemDesc(225, L"Left");
    EXPECT_EQ(L"Left", labelAfterPress(centreOf(kRows[92])));
    EXPECT_EQ(L"Shift", labelAfterPress(centreOf(kRows[103])));
    picker->SetItemCheckByItemData(4, 1, 0);
    // Away from the pointer: the items pressed last are framed.
    picker->OnMouseMove(0, CPoint(0, 0));
    paint();
    const CPoint corner = CPoint(kRows[77].x + 3, kRows[77].y + 3) + kOrigin;
    EXPECT_TRUE(nearColor(canvas.rgb(corner.x, corner.y), 0x515151, 2)) << "data 2 is 0 for every item";
    picker->SetItemCheckByItemData(4, 0, 0);
    paint();
    EXPECT_TRUE(nearColor(canvas.rgb(corner.x, corner.y), Manager::GetSelectColor().GetValue() & 0xFFFFFF, 2));
}

TEST_F(Picker, GapsWheelsAndStaleIndexesChooseNothing)
{
    EXPECT_EQ(-1, pressAt(CPoint(45, 5) + kOrigin)) << "between the first two icon keys";
    EXPECT_EQ(L"(none)", labelAfterPress(CPoint(45, 5) + kOrigin));
    paint();
    const DWORD before = canvas.rgb(centreOf(kRows[60]).x, centreOf(kRows[60]).y);
    EXPECT_EQ(1, picker->OnScroll(1, 1, centreOf(kRows[60])));
    paint();
    EXPECT_EQ(before, canvas.rgb(centreOf(kRows[60]).x, centreOf(kRows[60]).y));
    // The last item selected and hovered, then the items go: nothing names it any more.
    EXPECT_EQ(121, pressAt(centreOf(kRows[121])));
    picker->ClearItems();
    EXPECT_EQ(L"(none)", labelAfterPress(centreOf(kRows[121])));
    picker->OnMouseMove(0, centreOf(kRows[121]));
    paint();
    ScratchStrip strip(GetSkinPath(), L"kbf_strip.png", 10, 10, { 0xFFFF0000, 0xFF00FF00 });
    EXPECT_EQ(0, picker->SetImage(L"kbf_strip.png", 0));
    EXPECT_EQ(1, picker->SetImage(L"kbf_strip.png", 2));
    EXPECT_EQ(10, picker->GetFrameWidth());
    // GDI+ holds the file while the image lives: a file that is not there lets it go.
    EXPECT_EQ(0, picker->SetImage(L"kbf_missing.png", 2));
}

TEST_F(Picker, ACopyKeepsAPictureOfItsOwn)
{
    ScratchStrip strip(GetSkinPath(), L"kbf_copy_strip.png", 12, 10, { 0xFFFF0000, 0xFF00FF00 });
    auto original = std::make_unique<KeyFuncControl>(&parent, kId, CRect(0, 0, 100, 100), 1);
    ASSERT_EQ(1, original->SetImage(L"kbf_copy_strip.png", 2));
    KeyFuncControl copy(*original);
    KeyFuncControl assigned(&parent, kId + 1, CRect(0, 0, 100, 100), 1);
    ASSERT_EQ(1, assigned.SetImage(L"kbf_copy_strip.png", 2));
    assigned = *original;
    for (KeyFuncControl* taker : { &copy, &assigned }) {
        ASSERT_NE(nullptr, taker->GetImage());
        EXPECT_NE(original->GetImage(), taker->GetImage());
    }
    original.reset();
    for (KeyFuncControl* taker : { &copy, &assigned }) {
        EXPECT_EQ(24u, taker->GetImage()->GetWidth());
        EXPECT_EQ(12, taker->GetFrameWidth());
    }
}

TEST_F(Picker, IconKeysShowTheirLabelAsTooltipOnceLabelled)
{
    const CPoint pc = centreOf(kRows[0]);
    picker->OnMouseMove(0, pc);
    picker->OnMouseMove(0, pc);
    EXPECT_EQ(0, manager.GetTooltipCtrlID()) << "no label, no tooltip";
    picker->SetItemDesc(249, L"My PC");
    picker->OnMouseMove(0, pc);
    EXPECT_EQ(static_cast<int>(kId), manager.GetTooltipCtrlID());
    picker->OnMouseMove(0, CPoint(0, 0));
    EXPECT_EQ(0, manager.GetTooltipCtrlID());
    paint();
    EXPECT_TRUE(nearColor(canvas.rgb(pc.x, pc.y), iconColour(0) & 0xFFFFFF, 2)) << "the face keeps the icon";
}

TEST_F(Picker, RepaintsKeepTheGdiObjectCount)
{
    int round = 0;
    expectNoGdiGrowth([&] {
        picker->OnMouseMove(0, centreOf(kRows[round % 122]));
        picker->SetItemCheckByItemData(kRows[(round * 7) % 122].code, 0, 0);
        paint();
        ++round;
    }, 250);
}

} // namespace
