#include <gtest/gtest.h>

#include "HomeTestKit.h"
#include "InkScan.h"
#include "ScratchStrip.h"
#include "devices/cooling/CHardwareInfo.h"
#include "framework/AppPaths.h"
#include "framework/Registry.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kNeedle = 0xE02020;
// The first dial's value text on the 553 × 809 canvas, which a control of that size holds
// at its corner.
const CRect kFirstValue(210, 204, 310, 240);
const CRect kCanvas(0, 0, 553, 809);

class Gauge : public ListFixture {
protected:
    ~Gauge() override { WriteRegString(L"led_cpushowtype", L"0"); }
    std::unique_ptr<CHardwareInfo> gauge(int type)
    {
        auto control = make<CHardwareInfo>(kCanvas);
        control->SetHardwareType(type);
        return control;
    }
    // The pixels of the area as painted now.
    std::vector<DWORD> pixelsOf(MControl& control, const CRect& area)
    {
        paint(control);
        std::vector<DWORD> pixels;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                pixels.push_back(canvas.rgb(x, y));
        return pixels;
    }
    ScratchStrip needle { GetSkinPath(), L"home_needle.png", 10, 40, { 0xFF000000 | kNeedle } };
};

TEST_F(Gauge, TheTemperatureUnitFollowsTheRegistryAtEachRedraw)
{
    struct Row {
        const wchar_t* stored;
        const wchar_t* format;
    };
    const Row rows[] { { L"1", L"%d℉" }, { L"0", L"%d℃" }, { L"2", L"%d℃" }, { L"", L"%d℃" }, { L"x1", L"%d℃" } };
    for (const Row& row : rows)
        EXPECT_EQ(CString(row.format), CString(CHardwareInfo::TemperatureFormat(row.stored))) << row.stored;

    auto control = gauge(1);
    control->SetHardwareInfo(L"CPU", L"Temp", L"");
    control->SetHardwareInfoValue(45, 0);
    WriteRegString(L"led_cpushowtype", L"0");
    const auto celsius = pixelsOf(*control, kFirstValue);
    WriteRegString(L"led_cpushowtype", L"2");
    EXPECT_EQ(celsius, pixelsOf(*control, kFirstValue));
    WriteRegString(L"led_cpushowtype", L"1");
    EXPECT_NE(celsius, pixelsOf(*control, kFirstValue)) << "read again at the redraw";
    // A usage type never asks: its value is a percentage.
    auto usage = gauge(3);
    usage->SetHardwareInfo(L"CPU", L"Load", L"");
    usage->SetHardwareInfoValue(45, 0);
    const auto percent = pixelsOf(*usage, kFirstValue);
    WriteRegString(L"led_cpushowtype", L"0");
    EXPECT_EQ(percent, pixelsOf(*usage, kFirstValue));
}

TEST_F(Gauge, NeedlesTurnFromTwoThirtyFiveByTheIntegerShare)
{
    const int angles[][3] { { 0, 212, 235 }, { 106, 212, 362 }, { 212, 212, 490 }, { -10, 212, 223 },
                            { 50, 100, 362 }, { 100, 100, 490 } };
    for (const auto& a : angles)
        EXPECT_EQ(a[2], CHardwareInfo::NeedleAngle(a[0], a[1])) << a[0];
    // At 235 + 255 × 53 / 212 = 298 degrees the needle points up and to the left of its pivot
    // (260, 215): its image lies above the pivot, none of it below.
    auto control = gauge(3);
    control->SetPointImage(L"home_needle.png");
    control->SetHardwareInfo(L"", L"Load", L"");
    control->SetHardwareInfoValue(53, 0);
    paint(*control);
    EXPECT_TRUE(scanInk(canvas, CRect(200, 150, 320, 215), kBackdrop, kNeedle, 2).matching > 0);
    EXPECT_EQ(0, scanInk(canvas, CRect(200, 232, 320, 300), kBackdrop, kNeedle, 2).matching);
}

TEST_F(Gauge, MemoryAmountsReadAsTheirLineAndShare)
{
    struct Case {
        float freeAmount;
        float used;
        const wchar_t* line;
        int share;
    };
    const Case cases[] {
        { 10.0f, 6.0f, L"6.0 GB / 16.0 GB", 37 },
        { 0.0f, 0.0f, L"0.0 GB / 0.0 GB", 0 },     // no total: no share, no NaN
        { -5.0f, 10.0f, L"10.0 GB / 5.0 GB", 100 }, // held within the bar
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.share);
        auto measured = gauge(3);
        measured->SetHardwareInfo(L"Memory", L"Used", L"");
        measured->SetMemoryUsed(c.freeAmount, c.used);
        auto told = gauge(3);
        told->SetHardwareInfo(L"Memory", L"Used", c.line);
        told->SetHardwareInfoValue(c.share, 0);
        EXPECT_EQ(pixelsOf(*told, kCanvas), pixelsOf(*measured, kCanvas));
    }
}

TEST_F(Gauge, TheBackgroundPictureIsFittedAndCentred)
{
    const ScratchStrip picture { GetSkinPath(), L"home_gauge_bkg.png", 100, 50, { 0xFF000000 | kNeedle } };
    auto background = make<CHardwareInfoBkg>(CRect(0, 0, 200, 200));
    ASSERT_EQ(1, background->SetImage(L"home_gauge_bkg.png", 1));
    paint(*background);
    manager.ClearImgResInfo();
    const Ink ink = scanInk(canvas, CRect(0, 0, 200, 200), kBackdrop, kNeedle, 2);
    EXPECT_EQ(CRect(50, 75, 149, 124), ink.bounds) << "its own size, centred";
    background->SetRect(CRect(0, 0, 60, 200));
    background->SetImage(L"home_gauge_bkg.png", 1);
    paint(*background);
    manager.ClearImgResInfo();
    EXPECT_EQ(CRect(0, 85, 59, 114), scanInk(canvas, CRect(0, 0, 60, 200), kBackdrop, kNeedle, 2).bounds)
        << "shrunk to the width";
}

} // namespace
