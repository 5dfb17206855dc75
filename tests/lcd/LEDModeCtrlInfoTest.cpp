// Sensor values with their units, labels by language, and the clock faces' names.
#include <gtest/gtest.h>

#include "KOVA.h"
#include "LibraryHost.h"
#include "framework/Registry.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

HARDWARE_INFO sampleInfo()
{
    HARDWARE_INFO info;
    info.cpuTemperature = 45.6f;
    info.cpuClock = 4321.4f;
    info.cpuLoad = 7.5f;
    info.gpuTemperature = 61.2f;
    info.gpuClock = 1800.0f;
    info.gpuLoad = 99.6f;
    info.memoryLoad = 88.0f; // not what the memory load shows
    info.memoryUsed = 4.0f;
    info.memoryClock = 3200.0f;
    info.memoryTemperature = 39.4f;
    info.memoryFree = 12.0f;
    return info;
}

struct Restorer {
    int language { Manager::GetLanguage() };
    ~Restorer()
    {
        Manager::SetLanguage(language);
        WriteRegString(L"led_cpushowtype", L"0");
    }
};

} // namespace

TEST(GetSoftwareInfo, ValuesCarryTheirFormatsAndTheTemperatureUnitFromTheRegistry)
{
    Restorer restore;
    CString ensureKey;
    ReadRegString(ensureKey, L"led_cpushowtype");
    LEDModeCtrl lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    // Before the host hands any values in, every value is 0.
    for (const auto& fresh : { std::make_pair(3, L"  0%"), std::make_pair(2, L"  0MHz"), std::make_pair(10, L"  0%") }) {
        CString label;
        CString value;
        lcd.GetSoftwareInfo(fresh.first, label, value);
        EXPECT_STREQ(value, fresh.second);
    }
    lcd.SetHardWareInfo(sampleInfo());
    struct Case {
        const wchar_t* unitSetting;
        int item;
        const wchar_t* value;
    };
    const Case cases[] = {
        { L"1", 1, L" 46\x2109" },
        { L"0", 1, L" 46\x2103" },
        { L"", 1, L" 46\x2103" },
        { L"F", 1, L" 46\x2103" },
        { L"1", 4, L" 61\x2109" },
        { L"1", 8, L" 39\x2109" },
        { L"0", 2, L"4321MHz" },
        { L"0", 3, L"  8%" },
        { L"0", 5, L"1800MHz" },
        { L"0", 6, L"100%" },
        { L"0", 7, L"4.0 GB / 16.0 GB" },
        { L"0", 9, L"3200MHz" },
        { L"0", 10, L" 25%" },
        { L"1", 11, L"N/A" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        WriteRegString(L"led_cpushowtype", c.unitSetting);
        CString label;
        CString value;
        lcd.GetSoftwareInfo(c.item, label, value);
        EXPECT_STREQ(value, c.value);
    }
    HARDWARE_INFO memory;
    memory.memoryUsed = 7.84f;
    memory.memoryFree = 8.16f;
    lcd.SetHardWareInfo(memory);
    CString label;
    CString value;
    lcd.GetSoftwareInfo(7, label, value);
    EXPECT_STREQ(value, L"7.8 GB / 16.0 GB");
    // No memory figures at all: 0, not the quotient of nothing.
    lcd.SetHardWareInfo(HARDWARE_INFO {});
    lcd.GetSoftwareInfo(10, label, value);
    EXPECT_STREQ(value, L"  0%");
    for (int outside : { 0, 12, -1 }) {
        CString untouchedLabel = L"keep";
        CString untouchedValue = L"these";
        lcd.GetSoftwareInfo(outside, untouchedLabel, untouchedValue);
        EXPECT_STREQ(untouchedLabel, L"keep");
        EXPECT_STREQ(untouchedValue, L"these");
    }
}

TEST(GetSoftwareInfo, LabelsFollowTheLanguageAndWaterTemperatureItsOwnRule)
{
    Restorer restore;
    LEDModeCtrl lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    struct Case {
        int language;
        int item;
        const wchar_t* label;
    };
    const Case cases[] = {
        { 1033, 1, L"CPU Temp" },
        { 1031, 1, L"CPU-Temp" },
        { 1034, 1, L"Temp CPU" },
        { 1036, 2, L"Fr\x00E9quence CPU" },
        { 1043, 3, L"CPU Belasting" },
        { 1045, 4, L"Temp. GPU" },
        { 1028, 5, L"GPU\x983B\x7387" },
        { 2052, 6, L"GPU\x8D1F\x8F7D" },
        { 1041, 1, L"CPU\x6E29\x5EA6" },
        { 1031, 7, L"Speicherkapazit\x00E4t" },
        { 1045, 7, L"Zu\x017C. RAM" },
        { 1045, 10, L"Zu\x017C. RAM" },
        { 1036, 8, L"Temp m\x00E9moire" },
        { 2052, 9, L" \x5185\x5B58\x9891\x7387 " },
        { 1034, 10, L"Carga memoria" },
        { 2052, 11, L"\x6C34\x51B7\x6DB2\x6E29\x5EA6" },
        { 1028, 11, L"Wacter Temperature" },
        { 1033, 11, L"Wacter Temperature" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.language << " item " << c.item);
        Manager::SetLanguage(c.language);
        CString label;
        CString value;
        lcd.GetSoftwareInfo(c.item, label, value);
        EXPECT_STREQ(label, c.label);
    }
}

TEST(LEDModeCtrlNames, WeekDaysAndMonthsWithTheirFallbacks)
{
    LEDModeCtrl lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    EXPECT_STREQ(lcd.GetWeekDesc(0), L"Sunday");
    EXPECT_STREQ(lcd.GetWeekDesc(6), L"Saturday");
    EXPECT_STREQ(lcd.GetWeekDesc(7), L"Monday");
    EXPECT_STREQ(lcd.GetWeekDesc(-1), L"Monday");
    EXPECT_STREQ(lcd.GetWeekDesc2(0), L"\x661F\x671F\x65E5");
    EXPECT_STREQ(lcd.GetWeekDesc2(3), L"\x661F\x671F\x4E09");
    EXPECT_STREQ(lcd.GetWeekDesc2(9), L"\x661F\x671F\x4E00");
    EXPECT_STREQ(lcd.GetMonthDesc(1), L"January");
    EXPECT_STREQ(lcd.GetMonthDesc(12), L"December");
    EXPECT_STREQ(lcd.GetMonthDesc(13), L"January");
    EXPECT_STREQ(lcd.GetMonthDesc(0), L"January");
    EXPECT_STREQ(lcd.GetMonthDesc2(9), L"Sept");
    EXPECT_STREQ(lcd.GetMonthDesc2(5), L"May");
    EXPECT_STREQ(lcd.GetMonthDesc2(13), L"Jan");
}
