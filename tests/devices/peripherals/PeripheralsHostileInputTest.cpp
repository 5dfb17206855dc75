// Every exported call of the keyboard and mouse views with what a careless or hostile host may
// pass: indexes and key ids far outside their lists, zero and negative sizes, null buffers and
// names, missing pictures, light data of no whole frame, 100,000 macro rows. Each call ends in
// its failure result or a sound state; the views then still paint and take input.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "HostileControls.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PageEndBuffer.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const int kInts[] = { INT_MIN, -100000, -1, 0, 1, 7, 100000, INT_MAX };

class Hostile : public HostileControls {
protected:
    template <class T>
    std::unique_ptr<T> make(CRect rect)
    {
        auto control = std::make_unique<T>(&parent, 9, rect, 1);
        control->SetManager(&manager);
        control->SetControlRect(rect);
        return control;
    }
};

TEST_F(Hostile, KeyboardView)
{
    for (const CRect& rect : kHostileRects) {
        SCOPED_TRACE(rect.Width());
        auto view = make<KeyboardCtrl>(rect);
        view->SetKeyboardImage(L"hostile_missing.png");
        view->SetKeyboardImage(L"");
        view->EnableFrameSelect(1);
        view->EnableKBTips(true);
        view->SetTips(nullptr, CRect(), true);
        for (int value : kInts) {
            view->SetWidthAndHeight(value, value);
            view->AddKeyItem(nullptr, nullptr, static_cast<unsigned long>(value), CRect(value, value, -value, 5),
                             L"hostile_missing.png");
            view->SetSelectItem(value);
            view->SetKeyCheck(static_cast<unsigned long>(value), value);
            view->SetKeyColor(static_cast<unsigned long>(value), static_cast<unsigned long>(value));
            view->GetKeyColor(static_cast<unsigned long>(value));
            view->SetKeyDesc(static_cast<unsigned long>(value), L"");
            view->SetTipKey(static_cast<unsigned long>(value), L"", L"");
            view->SetLightSpeed(value);
            view->SetMusicBrightness(value);
            view->SetLightModeColor(value, static_cast<unsigned long>(value));
        }
        view->SetWidthAndHeight(300, 100);
        EXPECT_EQ(static_cast<int>(std::size(kInts)), static_cast<int>(view->GetKeyItems().size()));
        // Light data: none, null, fewer bytes than keys (no whole frame), one frame and a half.
        PageEndBuffer<unsigned char> data(12);
        const struct {
            unsigned char* bytes;
            int length;
        } lights[] = { { nullptr, 100 }, { data.data(), 0 }, { data.data(), -5 }, { data.data(), 5 }, { data.data(), 12 } };
        for (int mode : { INT_MIN, 0, 99, 100, 101, 102, 103, 104, 105, INT_MAX }) {
            view->SetKeyboardCtrlMode(mode);
            for (const auto& light : lights) {
                view->SetLightModeData(light.bytes, light.length);
                for (int tick = 0; tick < 5; ++tick)
                    view->OnControlTimer();
                paint(*view);
            }
        }
        view->SetKeyboardCtrlMode(KeyboardCtrl::ModeLight);
        poke(*view, true);
        view->ResetAllItemCheck(INT_MIN);
        view->ResetAllItemsColor(0xFFFFFFFF);
        view->SetAllSelectColor(0);
        view->ResetTipKey();
        EXPECT_GE(view->GetCheckItemCount(), 0);
        view->ClearItem();
        view->SetSelectItem(3);
        poke(*view, true);
        view->SetManager(nullptr);
        view->SetTips(nullptr, CRect(), true);
        poke(*view, true);
    }
}

TEST_F(Hostile, KeyFunctionPicker)
{
    for (const CRect& rect : kHostileRects) {
        SCOPED_TRACE(rect.Width());
        auto picker = make<KeyFuncControl>(rect);
        for (int count : kInts) {
            EXPECT_EQ(0, picker->SetImage(L"hostile_missing.png", count));
            EXPECT_EQ(0, picker->SetImage(nullptr, count));
        }
        int first = 0, code = 0, data2 = 0, data3 = 0;
        CString label;
        EXPECT_FALSE(picker->GetCurItemData(first, code, data2, data3, label));
        for (int pass = 0; pass < 2; ++pass) {
            for (int value : kInts) {
                picker->SetItemDesc(value, L"");
                picker->SetItemCheckByItemData(value, value, value);
            }
            poke(*picker, true);
            picker->GetCurItemData(first, code, data2, data3, label);
            picker->InitItemInfo();
        }
        picker->ClearItems();
        EXPECT_FALSE(picker->GetCurItemData(first, code, data2, data3, label));
        poke(*picker, true);
    }
}

TEST_F(Hostile, MacroList)
{
    for (const CRect& rect : kHostileRects) {
        SCOPED_TRACE(rect.Width());
        auto list = make<CRecordList>(rect);
        EXPECT_FALSE(list->UpdateDelayTime(5));
        list->ShowEdit();
        EXPECT_EQ(1, list->SetImageList(nullptr));
        for (int value : kInts) {
            list->SetItemHeight(value);
            const int count = list->GetItemCount();
            EXPECT_EQ(value >= -1 && value < count ? 1 : 0, list->SetCurSel(value));
            EXPECT_EQ(value >= 0 && value < count ? 1 : 0, list->DeleteItem(value));
            list->SwapItem(value, 0);
            list->AddString(L"", value, value, value);
            poke(*list, true);
        }
        list->ShowEdit();
        poke(*list, true);
    }
}

TEST_F(Hostile, MacroListOfAHundredThousandRows)
{
    auto list = make<CRecordList>(kHostileRects[0]);
    for (int row = 0; row < 100000; ++row)
        list->AddString(L"Key", 2 + row % 2, row, row);
    EXPECT_EQ(100000u, list->GetRecordItems().size());
    EXPECT_EQ(4100000, list->GetScrollVertical()->GetScrollMaxRange());
    poke(*list, true);
    list->SetCurSel(99999);
    list->SwapItem(0, 99999);
    EXPECT_EQ(1, list->DeleteItem(50000));
    list->SetItemHeight(INT_MAX);
    poke(*list, true);
    EXPECT_EQ(1, list->DeleteAllItems());
    poke(*list, true);
}

TEST_F(Hostile, MouseViews)
{
    for (const CRect& rect : kHostileRects) {
        SCOPED_TRACE(rect.Width());
        auto buttons = make<MouseCtrl>(rect);
        auto keys = make<MouseKeyCtrl>(rect);
        auto zones = make<MouseLight>(rect);
        for (int value : kInts) {
            buttons->AddItem(L"", value, value, CPoint(value, value), CPoint(-value / 2, value / 3));
            keys->AddItem(L"", L"", value);
            zones->AddItem(value, CRect(value, value, value / 2, -value / 2));
        }
        for (float scale : { 0.0f, -1.0f, 1e9f, std::numeric_limits<float>::quiet_NaN(), 1.0f }) {
            buttons->SetScaleValue(scale);
            poke(*buttons, true);
        }
        for (int index : kInts) {
            for (MouseItemList* list : { static_cast<MouseItemList*>(buttons.get()), static_cast<MouseItemList*>(keys.get()) }) {
                list->SetSelectItem(index);
                list->GetItemKeyValue(index);
                list->SetItemText(index, L"");
            }
            keys->GetItemKeyName(index);
            keys->SetItemKeyDesc(index, L"");
            zones->SetLightColor(index, 0xFFFFFFFF);
            zones->GetLightColor(index, 0);
        }
        for (MControl* view : { static_cast<MControl*>(buttons.get()), static_cast<MControl*>(keys.get()),
                                static_cast<MControl*>(zones.get()) })
            poke(*view, true);
        EXPECT_EQ(1, buttons->DeleteAllItems());
        EXPECT_EQ(1, keys->DeleteAllItems());
        EXPECT_EQ(1, zones->DeleteAllItems());
        for (int index : kInts)
            EXPECT_EQ(0u, zones->GetLightColor(index, 0));
        poke(*zones, true);
    }
}

TEST_F(Hostile, DpiTile)
{
    for (const CRect& rect : kHostileRects) {
        SCOPED_TRACE(rect.Width());
        auto tile = make<DPIControl>(rect);
        tile->SetGroupName(nullptr);
        tile->SetEditWindow(nullptr);
        tile->ForgetEditWindow(nullptr);
        tile->SetEditText(nullptr);
        tile->ShowEdit();
        tile->HideEdit();
        for (int value : kInts) {
            tile->SetDPIValue(value);
            EXPECT_EQ(value, tile->GetDPIValue());
            EXPECT_EQ(1, tile->SetCheckState(value));
            tile->SetCheck(value);
            tile->SetColor(static_cast<COLORREF>(value));
        }
        tile->ResetGroupCheck();
        tile->GetTextRect();
        EXPECT_NE(nullptr, tile->GetDefaultFont());
        tile->SetTitle(L"Stage");
        poke(*tile, true);
        // An edit window laid over no tile opens nothing and reaches no one.
        auto* edit = new CDPIEditWnd;
        edit->Init(nullptr);
        tile->SetEditWindow(edit);
        EXPECT_EQ(INT_MAX, tile->GetDPIValue());
        tile->SetEditWindow(nullptr);
    }
}

} // namespace
