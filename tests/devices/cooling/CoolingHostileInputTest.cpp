// Every exported call of the cooling and lighting controls with what a careless or hostile host
// may pass: indexes, slots and channels far outside their lists, zero and negative sizes,
// empty and one-point curves, equal temperatures, ranges upside down, null buffers, missing
// pictures, thousands of rows. Each call ends in its failure result or a sound state; the
// controls then still paint and take input.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "HostileControls.h"
#include "LibraryHost.h"
#include "PageEndBuffer.h"
#include "devices/cooling/CFan2DevCtrl.h"
#include "devices/cooling/CFanDevCtrl.h"
#include "devices/cooling/CHomeFuncCtrl.h"
#include "platform/TimeSource.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const int kInts[] = { INT_MIN, -100000, -1, 0, 1, 7, 17, 100000, INT_MAX };
const DWORD kDwords[] = { 0, 1, 4095, 4096, 0x00FFFFFF, 0xFFFFFFFF };

class Hostile : public HostileControls {
protected:
    template <class T, class... Extra>
    std::unique_ptr<T> make(CRect rect, Extra... extra)
    {
        auto control = std::make_unique<T>(&parent, 9, rect, 1, extra...);
        control->SetManager(&manager);
        control->SetRect(rect);
        return control;
    }
};

// The layer calls both previews share, at every index and value; then every mode ticks.
void shakeLayers(FanPreview& preview)
{
    for (int index : { INT_MIN, -1, 100000, INT_MAX })
        EXPECT_EQ(0, preview.DeleteItem(index));
    for (int index : kInts)
        EXPECT_EQ(index >= 0 && index < preview.GetFanDevCount(), preview.GetFanInfo(index) != nullptr) << index;
    for (int layer : { -1, 0, 1, 2, 100000, INT_MAX }) {
        for (int value : kInts) {
            preview.SetLightMode(layer, value);
            preview.SetShowState(layer, value != 0);
            preview.SetBrightness(layer, value);
            preview.SetSpeed(layer, value);
            preview.SetDirection(layer, value);
            preview.SetColorFul(layer, value);
            preview.SetSensorDeviceType(layer, value);
            // Equal thresholds, and the upper one below the lower.
            preview.SetSensorTemperatureValue(layer, value, value, value);
            preview.SetSensorTemperatureValue(layer, 16, value, value == INT_MIN ? value : value - 1);
            preview.SetSensorTemperatureColor(layer, value, value, value);
        }
        for (DWORD device : kDwords) {
            preview.SetSelectDev(layer, device, 1);
            preview.SetSelectDev(layer, device, 0);
            preview.SetColor(layer, device, ~device);
        }
    }
    for (int mode : kInts) {
        preview.SetFanLightEffect(mode, nullptr);
        preview.SetFanLightEffect(mode, nullptr, 5);
        DWORD one = 0x123456;
        preview.SetFanLightEffect(mode, &one, 1);
        preview.SetFanLightEffect(mode, &one, mode);
        preview.SetMonoSyncMode(mode);
        preview.SetDevTemperature(mode, mode, mode);
    }
    preview.SetMonoSyncMode(0);
}

// Every mode there is, and some there are not, on every direction, stepped for a while.
void runEveryMode(FanPreview& preview, int steps = 40)
{
    SYSTEMTIME noon {};
    TimeSource::Pin(1000000, noon);
    preview.ClearLightLayer();
    preview.AddLightLayer(0, 0, 16, 17, 1, 0, 0x0000FF, 0xFF0000, true);
    preview.AddLightLayer(1, 0, 16, 17, 0, 0, 0, 0, true);
    for (int mode : { -1, 0, 3, 10, 11, 12, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, INT_MAX })
        for (int direction : { INT_MIN, -1, 0, 1, 2, INT_MAX })
            for (int colourful : { 0, 1, 2, 3 }) {
                for (int layer : { 0, 1 }) {
                    preview.SetLightMode(layer, mode);
                    preview.SetDirection(layer, direction);
                    preview.SetColorFul(layer, colourful);
                }
                for (int step = 0; step < steps; ++step) {
                    TimeSource::Advance(1000);
                    preview.OnControlTimer();
                }
            }
    TimeSource::Unpin();
}

void pullEverySlot(FanPreview& preview, const std::function<void(int, unsigned char*)>& pull)
{
    PageEndBuffer<unsigned char> out(96);
    for (int slot : kInts) {
        pull(slot, nullptr);
        pull(slot, out.data());
    }
    (void)preview;
}

TEST_F(Hostile, EighteenLedPreview)
{
    for (const CRect& rect : kHostileRects) {
        SCOPED_TRACE(rect.Width());
        auto preview = make<CFan2DevCtrl>(rect, 1);
        EXPECT_EQ(0, preview->SetFan2Image(nullptr));
        EXPECT_EQ(0, preview->SetFan2Image(L"hostile_missing.png"));
        EXPECT_EQ(0, preview->SetRotateImage(nullptr));
        EXPECT_EQ(0, preview->SetRotateImage(L"hostile_missing.png"));
        shakeLayers(*preview);
        for (int value : kInts)
            preview->AddFan(value, value, value, value, value, value, value);
        preview->AddLightLayer(0, 24, 16, 17, 2, 0, 0xFF, 0, true);
        preview->RefreshLedItemRect();
        // Columns and rows an int holds lay the cells out within reach of an int's range.
        for (FAN_INFO* fan : preview->GetFanItems()) {
            const CRect cell(fan->rect);
            EXPECT_GE(cell.Width(), 0);
            EXPECT_LE(std::abs(static_cast<long long>(cell.left)), 1LL << 24);
            EXPECT_LE(std::abs(static_cast<long long>(cell.top)), 1LL << 24);
        }
        preview->RefreshLedPosistion();
        shakeLayers(*preview);
        runEveryMode(*preview);
        pullEverySlot(*preview, [&](int slot, unsigned char* out) { preview->GetFanColorData(slot, out); });
        for (int ring : kInts) {
            EXPECT_GE(preview->GetLEDRealPosIndex(ring), 0);
            EXPECT_LT(preview->GetLEDRealPosIndex(ring), 18);
            for (double zoom : { -1.0, 0.0, 1e9, std::numeric_limits<double>::quiet_NaN() }) {
                CRect dot;
                preview->GetLEDItemRect(ring, ring, ring, ring, zoom, dot);
            }
        }
        preview->SetAllFanColor(0xFFFFFFFF);
        preview->CalFrameSelect();
        poke(*preview);
        preview->ClearList();
        preview->RefreshLedItemRect();
        preview->CalFrameSelect();
        runEveryMode(*preview);
        poke(*preview);
    }
}

TEST_F(Hostile, PreviewNarrowerThanItsColumnGaps)
{
    // Four columns need 30 pixels of gaps alone: the cells have no size, never a negative one.
    auto preview = make<CFan2DevCtrl>(CRect(0, 0, 20, 300), 1);
    for (int column = 0; column < 4; ++column)
        preview->AddFan(2, 0, column, column, 0, 0, 0);
    preview->RefreshLedItemRect();
    for (FAN_INFO* fan : preview->GetFanItems()) {
        EXPECT_EQ(0, CRect(fan->rect).Width());
        for (FAN_LED_INFO* led : fan->leds)
            EXPECT_GE(CRect(led->rect).Width(), 0);
    }
    preview->AddLightLayer(0, 24, 16, 17, 2, 0, 0xFF, 0, true);
    poke(*preview);
}

TEST_F(Hostile, ArgbPreview)
{
    for (const CRect& rect : kHostileRects) {
        SCOPED_TRACE(rect.Width());
        auto preview = make<CFanDevCtrl>(rect, 1);
        EXPECT_EQ(0, preview->SetFan2Image(nullptr));
        EXPECT_EQ(0, preview->SetRotateLeftImage(nullptr));
        EXPECT_EQ(0, preview->SetRotateRightImage(L"hostile_missing.png"));
        shakeLayers(*preview);
        for (int value : kInts)
            preview->AddFan(value, value, value, value, value, value);
        preview->AddLightLayer(0, 24, 16, 17, 2, 0, 0xFF, 0, true);
        preview->RefreshLedItemRect();
        shakeLayers(*preview);
        runEveryMode(*preview);
        pullEverySlot(*preview, [&](int slot, unsigned char* out) { preview->GetFanColorData(slot, out); });
        for (int ring : kInts) {
            CRect dot;
            preview->GetLEDItemRect(ring, ring, ring, ring, 1.0, dot);
        }
        poke(*preview);
        preview->ClearList();
        runEveryMode(*preview);
        poke(*preview);
    }
}

TEST_F(Hostile, PreviewsOfManyFans)
{
    // Six hundred fans: more LEDs than the effects' tables and the colour buffer hold.
    auto fans18 = make<CFan2DevCtrl>(kHostileRects[0], 1);
    auto fans8 = make<CFanDevCtrl>(kHostileRects[0], 1);
    for (int fan = 0; fan < 600; ++fan) {
        fans18->AddFan(2, fan / 5, fan % 5, fan % 30, fan / 30, fan, 0);
        fans8->AddFan(2, fan / 4, fan % 4, fan % 30, fan / 30, fan);
    }
    for (FanPreview* preview : { static_cast<FanPreview*>(fans18.get()), static_cast<FanPreview*>(fans8.get()) }) {
        preview->RefreshLedItemRect();
        PageEndBuffer<DWORD> colours(100);
        preview->AddLightLayer(0, 99, 16, 17, 2, 0, 0, 0, true);
        preview->SetFanLightEffect(99, colours.data(), 100);
        runEveryMode(*preview, 2);
        poke(*preview);
    }
}

TEST_F(Hostile, CurveEditor)
{
    using Curve = std::vector<TempCurvePoint>;
    const Curve curves[] = {
        Curve {},
        Curve { { 40, 50, 0, 0 } },
        // Equal temperatures, and temperatures and speeds far outside the grid.
        Curve { { 50, 20, 0, 0 }, { 50, 100, 0, 0 }, { 50, 60, 0, 0 } },
        Curve { { INT_MIN, INT_MAX, 0, 0 }, { INT_MAX, INT_MIN, 0, 0 }, { -10, -5, 0, 0 } },
        Curve(1000, TempCurvePoint { 10, 30, 0, 0 }),
    };
    for (const CRect& rect : kHostileRects) {
        SCOPED_TRACE(rect.Width());
        auto curve = make<Fan2TempCurve>(rect, 1);
        for (const Curve& points : curves) {
            curve->UpdateCurveData(points);
            EXPECT_EQ(points.size(), curve->GetCurrentCurve().size());
            for (int value : kInts)
                curve->SetCurvePoint(value, value);
            curve->EnableCurveEdit(1);
            poke(*curve);
        }
        for (int value : kInts) {
            curve->AddItem(L"", L"", value);
            curve->SetFanRPMValue(value, value);
            curve->SetItemCheck(value, value);
            curve->GetItemCheck(value);
            curve->SetSelectItem(value);
            curve->SetAllItemsCheck(value);
        }
        EXPECT_EQ(static_cast<int>(std::size(kInts)), curve->GetItemCount());
        curve->ClearList();
        EXPECT_EQ(0, curve->GetItemCheck(0));
        poke(*curve);
    }
}

TEST_F(Hostile, FanListsAndPickers)
{
    for (const CRect& rect : kHostileRects) {
        SCOPED_TRACE(rect.Width());
        auto fans = make<FanDeviceBox>(rect, 1);
        auto channels = make<DevChannelCtrl>(rect, 1);
        auto counts = make<FanCountCtrl>(rect, 1);
        fans->SetCoolModeName(L"");
        for (int value : kInts) {
            fans->AddItem(L"", L"", value, value, value);
            fans->AddMode(L"", value);
            fans->SetFanRPMValue(value, value, value);
            channels->AddItem(L"", value);
            counts->AddItem(L"", value, value);
        }
        for (CheckList* list : { static_cast<CheckList*>(fans.get()), static_cast<CheckList*>(channels.get()),
                                 static_cast<CheckList*>(counts.get()) })
            for (int index : kInts) {
                list->SetSelectItem(index);
                list->SetItemCheck(index, index);
                list->GetItemCheck(index);
                poke(*list);
            }
        fans->SetAllItemsCheck(INT_MIN);
        channels->SetAllItemsCheck(INT_MAX);
        fans->ClearModeList();
        poke(*fans);
    }
}

TEST_F(Hostile, HomePageTilesAndArchive)
{
    for (const CRect& rect : kHostileRects) {
        SCOPED_TRACE(rect.Width());
        auto page = make<CHomeFuncCtrl>(rect, 1);
        auto tiles = make<CDeviceCtrl>(rect, 1);
        auto archive = make<ArchivedCtrl>(rect, 1);
        EXPECT_EQ(0, tiles->SetCheckImage(nullptr));
        EXPECT_EQ(0, tiles->SetAddIconImage(L"hostile_missing.png"));
        for (int value : kInts) {
            page->SetDeviceState(value, L"", true, L"hostile_missing.png");
            page->AddArchived(L"", L"", value, L"");
            page->SetArchivedCurProfile(value);
            page->SetVirtualTop(value);
            page->ResetLanguage(value);
            page->GetLan(value, value);
            tiles->AddDevice(L"", value, value, value % 2 != 0, L"hostile_missing.png");
            tiles->SetDeviceState(value, L"", false, L"");
            tiles->SetDeviceState(value, value);
            archive->AddItem(L"", L"", value, L"");
            archive->SetCurProfile(value);
        }
        int first = 0, second = 0;
        page->GetCurDeviceInfo(first, second);
        tiles->GetCurDeviceInfo(first, second);
        EXPECT_GE(tiles->GetCheckItemCount(), 0);
        page->GetArchivedCurItem();
        page->GetArchivedCurProfile();
        archive->GetCurProfile();
        for (MControl* control : { static_cast<MControl*>(page.get()), static_cast<MControl*>(tiles.get()),
                                   static_cast<MControl*>(archive.get()) })
            poke(*control);
        page->ClearArchived();
        poke(*page);
    }
}

TEST_F(Hostile, SelectionAndModeLists)
{
    for (const CRect& rect : kHostileRects) {
        SCOPED_TRACE(rect.Width());
        auto devices = make<DevSelectCtrl>(rect, 1);
        auto modes = make<LightCtrl>(rect, 1);
        auto layers = make<LightLayer>(rect, 1);
        auto cooling = make<Fan2CoolMode>(rect, 1);
        for (int value : kInts) {
            devices->AddDevice(L"", value);
            modes->AddLight(L"", value, L"hostile_missing.png");
            layers->AddLight(L"", value, value % 2 != 0);
            cooling->AddLight(L"", value);
        }
        for (int value : kInts) {
            devices->SetItemCheck(value, value);
            devices->GetItemCheck(value);
            devices->GetItemDevID(value);
            devices->UpdateItemCheckState(value, value);
            devices->SetSelectDevice(value);
            devices->SetAllItemsCheck(value);
            modes->SetCurLightMode(value);
            modes->GetLightMode(value);
            modes->SetAllItemHeight(value);
            poke(*modes);
            for (ModeRowList* list : { static_cast<ModeRowList*>(layers.get()), static_cast<ModeRowList*>(cooling.get()) }) {
                list->GetLightMode(value);
                list->SetCurLightLayerID(value);
                list->SetItemText(value, L"");
            }
            layers->GetItemShowState(value);
            cooling->SetSelectItem(value);
        }
        devices->GetSelectDevice();
        modes->GetCurLightMode();
        layers->GetCurLightLayerID();
        for (MControl* control : { static_cast<MControl*>(devices.get()), static_cast<MControl*>(layers.get()),
                                   static_cast<MControl*>(cooling.get()) })
            poke(*control);
        for (int value : kInts)
            layers->DeleteItem(value);
        while (cooling->DeleteItem(0)) {
        }
        poke(*layers);
        poke(*cooling);
    }
}

TEST_F(Hostile, GaugesAndInformationLists)
{
    for (const CRect& rect : kHostileRects) {
        SCOPED_TRACE(rect.Width());
        auto level = make<MLevelCtrl>(rect, 1);
        auto gauge = make<CHardwareInfo>(rect, 1);
        auto ground = make<CHardwareInfoBkg>(rect, 1);
        auto ring = make<UsageRateCtrl>(rect, 1);
        auto types = make<SysInfoCtrl>(rect, 1);
        auto checks = make<SysInfo2Ctrl>(rect, 1);
        gauge->SetPointImage(L"hostile_missing.png");
        gauge->SetProcessImage(L"");
        gauge->SetHardwareInfo(L"", L"", L"");
        gauge->SetHardwareDesc(L"", L"", L"");
        gauge->SetHardwareDescValue(L"", L"", L"");
        // Ranges upside down and of no width; values far outside them.
        for (int low : kInts)
            for (int high : { INT_MIN, low, 0, INT_MAX }) {
                level->SetRangeValue(low, high);
                for (int value : { INT_MIN, low, high, INT_MAX }) {
                    level->SetLevelValue(value);
                    paint(*level);
                }
            }
        for (int value : kInts) {
            gauge->SetHardwareType(value);
            gauge->SetHardwareInfoValue(value, value);
            paint(*gauge);
            types->AddItem(L"", L"", value);
            checks->AddItem(L"", L"", value);
            checks->SetItemCheck(value, value);
            checks->SetSysTypeCheck(value, value);
        }
        for (float amount : { -1.0f, 0.0f, 1e30f, std::numeric_limits<float>::quiet_NaN(),
                              std::numeric_limits<float>::infinity() }) {
            gauge->SetMemoryUsed(amount, amount);
            gauge->SetMemoryUsed(0.0f, amount);
            paint(*gauge);
        }
        int check = 0;
        types->GetCurSysType();
        checks->GetCurSysType(check);
        checks->ResetItemCheck();
        for (MControl* control : { static_cast<MControl*>(level.get()), static_cast<MControl*>(gauge.get()),
                                   static_cast<MControl*>(ground.get()), static_cast<MControl*>(ring.get()),
                                   static_cast<MControl*>(types.get()), static_cast<MControl*>(checks.get()) })
            poke(*control);
    }
}

TEST_F(Hostile, ListsOfAHundredThousandRows)
{
    auto devices = make<DevSelectCtrl>(kHostileRects[0], 1);
    auto modes = make<LightCtrl>(kHostileRects[0], 1);
    auto types = make<SysInfoCtrl>(kHostileRects[0], 1);
    for (int row = 0; row < 100000; ++row) {
        devices->AddDevice(L"Device", row);
        modes->AddLight(L"Mode", row, L"");
        types->AddItem(L"Type", L"", row);
    }
    for (MControl* control : { static_cast<MControl*>(devices.get()), static_cast<MControl*>(modes.get()),
                               static_cast<MControl*>(types.get()) }) {
        for (int notch = 0; notch < 3; ++notch)
            control->OnScroll(1, notch % 2, CPoint(100, 100));
        poke(*control);
    }
    EXPECT_EQ(99999, devices->GetItemDevID(99999));
    EXPECT_EQ(99999, modes->GetLightMode(99999));
}

} // namespace
