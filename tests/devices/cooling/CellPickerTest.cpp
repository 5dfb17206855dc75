// The channel and fan-count pickers on a real dialog: posted presses and releases, their
// notifications, the cells' fills and marks at display scale 1.5, line breaks, and paints
// that leak no GDI objects.
#include <gtest/gtest.h>

#include <vector>

#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "RecordingControl.h"
#include "TestWindow.h"
#include "WindowCapture.h"
#include "devices/cooling/DevChannelCtrl.h"
#include "devices/cooling/FanCountCtrl.h"
#include "framework/MPanel.h"
#include "framework/Manager.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kNormal = 0x464646;
constexpr DWORD kBright = 0x828282;
const CPoint kOrigin(20, 10);
// At scale 1.5: 57-pixel cells, 15 pixels apart.
constexpr int kCell = 57;
constexpr int kPitch = 72;

class PickerDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        Manager::SetScaleValue(1.5f);
        page = new MPanel(&dialog, 20, CRect(0, 0, 600, 300), 1);
        page->SetManager(dialog.GetPaintManager());
        dialog.GetPaintManager()->AppendControl(page, 1);
    }
    void TearDown() override { Manager::SetScaleValue(1.0f); }

    template <class T>
    T* make(const wchar_t* name, int cells)
    {
        auto* picker = dynamic_cast<T*>(page->CreateControl(name, 40, CRect(kOrigin, CSize(560, 200)), L"", 1, 1));
        for (int i = 0; i < cells; ++i) {
            CString text;
            text.Format(L"%d", i + 1);
            if constexpr (std::is_same_v<T, FanCountCtrl>)
                picker->AddItem(text, i, 0);
            else
                picker->AddItem(text, i);
        }
        paint();
        return picker;
    }
    void paint()
    {
        ::InvalidateRect(dialog.GetSafeHwnd(), nullptr, FALSE);
        page->UpdateControl(1, 0);
        ::UpdateWindow(dialog.GetSafeHwnd());
    }
    // A point inside the fill of cell (column, line), off its centred text.
    static CPoint fillOf(int column, int line = 0)
    {
        return CPoint(kOrigin.x + column * kPitch + 12, kOrigin.y + line * kPitch + kCell / 2);
    }
    void click(CPoint pt, size_t notes)
    {
        dialog.post({ WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, pt);
        ASSERT_TRUE(pumpUntil([&] { return dialog.notes.size() == notes; }));
    }

    NotedDialog dialog { CRect(100, 100, 700, 400) };
    MPanel* page { nullptr };
};

TEST_F(PickerDialog, ChannelPressAndReleaseReportTheCellAndFlipItsRing)
{
    auto* channels = make<DevChannelCtrl>(L"DevChannelCtrl", 7);
    ASSERT_NE(nullptr, channels);
    auto shot = captureClient(dialog.GetSafeHwnd());
    // Every channel starts checked: ring and bright fill; cells 5 and 6 on the second line.
    for (const CPoint at : { fillOf(0), fillOf(4), fillOf(0, 1), fillOf(1, 1) })
        EXPECT_TRUE(nearColor(shot->rgb(at.x, at.y), kBright, 2)) << at.x << "," << at.y;
    EXPECT_TRUE(nearColor(shot->rgb(kOrigin.x + kPitch + kCell / 2, kOrigin.y + 1), 0xFFFFFF, 60));

    click(fillOf(1), 2);
    EXPECT_EQ("40:1:0:1 40:2:0:1", noteLine(dialog.notes));
    EXPECT_EQ(0, channels->GetItemCheck(1));
    click(fillOf(1, 1), 4);
    EXPECT_EQ("40:1:0:6 40:2:0:6", noteLine({ dialog.notes[2], dialog.notes[3] }));
    dialog.post({ WM_MOUSEMOVE }, CPoint(590, 290));
    pumpMessages();
    paint();
    shot = captureClient(dialog.GetSafeHwnd());
    EXPECT_TRUE(nearColor(shot->rgb(fillOf(1).x, fillOf(1).y), kNormal, 2));
    EXPECT_FALSE(nearColor(shot->rgb(kOrigin.x + kPitch + kCell / 2, kOrigin.y + 1), 0xFFFFFF, 60));
    EXPECT_TRUE(nearColor(shot->rgb(fillOf(2).x, fillOf(2).y), kBright, 2));
}

TEST_F(PickerDialog, FanCountMarksTheSelectedCellOnOneLine)
{
    auto* counts = make<FanCountCtrl>(L"FanCountCtrl", 7);
    ASSERT_NE(nullptr, counts);
    click(fillOf(6), 2);
    EXPECT_EQ("40:1:0:6 40:2:0:6", noteLine(dialog.notes));
    EXPECT_EQ(1, counts->GetItemCheck(6));
    dialog.post({ WM_MOUSEMOVE }, CPoint(590, 290));
    pumpMessages();
    paint();
    const auto shot = captureClient(dialog.GetSafeHwnd());
    EXPECT_TRUE(nearColor(shot->rgb(fillOf(6).x, fillOf(6).y), kBright, 2));
    EXPECT_TRUE(nearColor(shot->rgb(fillOf(5).x, fillOf(5).y), kNormal, 2));
    // The outline's outer half stays outside the fill, in the selection colour.
    EXPECT_TRUE(nearColor(shot->rgb(kOrigin.x + 6 * kPitch - 1, kOrigin.y + kCell / 2), 0xBD30FF, 60));
    click(fillOf(6), 4);
    EXPECT_EQ(0, counts->GetItemCheck(6));
}

TEST(Pickers, CheckStatesAnswerBadIndexesWithZero)
{
    RecordingParent parent;
    DevChannelCtrl channels(&parent, 3, CRect(0, 0, 400, 120), 1, 1);
    channels.AddItem(L"1", 0);
    channels.AddItem(L"2", 0);
    for (int bad : { -1, 2 }) {
        EXPECT_EQ(0, channels.SetItemCheck(bad, 0));
        EXPECT_EQ(0, channels.GetItemCheck(bad));
    }
    channels.SetAllItemsCheck(0);
    EXPECT_EQ(0, channels.GetItemCheck(1));
    parent.updates.clear();
    channels.SetSelectItem(9);
    channels.SetSelectItem(9);
    EXPECT_EQ(9, channels.GetSelectItem());
    EXPECT_EQ(1u, parent.updates.size());
}

TEST(Pickers, ThousandPaintsLeakNoGdiObjects)
{
    NotedDialog dialog(CRect(100, 100, 500, 300));
    auto* counts = dynamic_cast<FanCountCtrl*>(dialog.CreateControl(L"FanCountCtrl", 3, CRect(0, 0, 400, 120), L"", 1, 1));
    // The window factory does not know the pickers: they live in panels.
    EXPECT_EQ(nullptr, counts);
    RecordingParent parent;
    FanCountCtrl picker(&parent, 3, CRect(0, 0, 400, 120), 1, 1);
    picker.SetManager(dialog.GetPaintManager());
    for (int i = 0; i < 4; ++i)
        picker.AddItem(L"4", i, 0);
    DibCanvas canvas(400, 120);
    expectNoGdiGrowth(
        [&] {
            for (int i = 0; i < 10; ++i) {
                picker.SetSelectItem(i % 4);
                picker.SetUpdate(0, 0);
                picker.DrawControl(canvas.dc(), CRect(0, 0, 400, 120));
            }
        },
        100);
    picker.SetManager(nullptr);
}

} // namespace
