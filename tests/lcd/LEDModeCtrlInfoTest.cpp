// Sensor values with their units, labels by language, and the clock faces' names.
#include "LcdTestKit.h"
#include "framework/Registry.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {
const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);
} // namespace

TEST(GetSoftwareInfo, ValuesByUnitAndLabelsByLanguageForEveryItem)
{
    const int language = Manager::GetLanguage();
    LEDModeCtrl lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    CString label;
    CString value;
    // Before the host hands values in, every value is 0, the memory load too (not 0 / 0).
    for (const auto& [item, text] : { std::pair(2, L"  0MHz"), std::pair(3, L"  0%"), std::pair(10, L"  0%") }) {
        lcd.GetSoftwareInfo(item, label, value);
        EXPECT_STREQ(value, text);
    }
    // The memory load is used / (used + free), not the host's own figure of 88.
    lcd.SetHardWareInfo(HARDWARE_INFO { 45.6f, 4321.4f, 7.5f, 0, 61.2f, 1800, 99.6f, 0, 88, 4, 3200, 39.4f, 12 });
    struct Case {
        const wchar_t* unit; // led_cpushowtype: "1" for Fahrenheit, anything else Celsius
        int language;
        int item;
        const wchar_t* label;
        const wchar_t* value;
    };
    const Case cases[] = {
        { L"1", 1033, 1, L"CPU Temp", L" 46\x2109" },
        { L"0", 1031, 1, L"CPU-Temp", L" 46\x2103" },
        { L"", 1034, 1, L"Temp CPU", L" 46\x2103" },
        { L"F", 1041, 1, L"CPU\x6E29\x5EA6", L" 46\x2103" },
        { L"0", 1036, 2, L"Fr\x00E9quence CPU", L"4321MHz" },
        { L"0", 1043, 3, L"CPU Belasting", L"  8%" },
        { L"1", 1045, 4, L"Temp. GPU", L" 61\x2109" },
        { L"0", 1028, 5, L"GPU\x983B\x7387", L"1800MHz" },
        { L"0", 2052, 6, L"GPU\x8D1F\x8F7D", L"100%" },
        { L"0", 1031, 7, L"Speicherkapazit\x00E4t", L"4.0 GB / 16.0 GB" },
        { L"0", 1045, 7, L"Zu\x017C. RAM", L"4.0 GB / 16.0 GB" },
        { L"1", 1036, 8, L"Temp m\x00E9moire", L" 39\x2109" },
        { L"0", 2052, 9, L" \x5185\x5B58\x9891\x7387 ", L"3200MHz" },
        { L"0", 1045, 10, L"Zu\x017C. RAM", L" 25%" },
        { L"0", 1034, 10, L"Carga memoria", L" 25%" },
        { L"1", 2052, 11, L"\x6C34\x51B7\x6DB2\x6E29\x5EA6", L"N/A" },
        { L"1", 1028, 11, L"Wacter Temperature", L"N/A" },
        { L"1", 1033, 11, L"Wacter Temperature", L"N/A" },
        // No such item: both left as they were.
        { L"0", 1033, 0, L"?", L"?" },
        { L"0", 1033, 12, L"?", L"?" },
        { L"0", 1033, -1, L"?", L"?" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.language << " item " << c.item);
        WriteRegString(L"led_cpushowtype", c.unit);
        Manager::SetLanguage(c.language);
        label = value = L"?";
        lcd.GetSoftwareInfo(c.item, label, value);
        EXPECT_STREQ(label, c.label);
        EXPECT_STREQ(value, c.value);
    }
    lcd.SetHardWareInfo(HARDWARE_INFO { 0, 0, 0, 0, 0, 0, 0, 0, 0, 7.84f, 0, 0, 8.16f });
    lcd.GetSoftwareInfo(HardwareMemoryCapacity, label, value);
    EXPECT_STREQ(value, L"7.8 GB / 16.0 GB");
    Manager::SetLanguage(language);
    WriteRegString(L"led_cpushowtype", L"0");
}

TEST(LEDModeCtrlNames, WeekDaysAndMonthsWithTheirFallbacks)
{
    LEDModeCtrl lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    const struct {
        CString (LEDModeCtrl::*name)(int);
        int index;
        const wchar_t* text;
    } cases[] = {
        { &LEDModeCtrl::GetWeekDesc, 0, L"Sunday" },         { &LEDModeCtrl::GetWeekDesc, 6, L"Saturday" },
        { &LEDModeCtrl::GetWeekDesc, 7, L"Monday" },         { &LEDModeCtrl::GetWeekDesc, -1, L"Monday" },
        { &LEDModeCtrl::GetWeekDesc2, 0, L"\x661F\x671F\x65E5" }, { &LEDModeCtrl::GetWeekDesc2, 3, L"\x661F\x671F\x4E09" },
        { &LEDModeCtrl::GetWeekDesc2, 9, L"\x661F\x671F\x4E00" }, { &LEDModeCtrl::GetMonthDesc, 1, L"January" },
        { &LEDModeCtrl::GetMonthDesc, 12, L"December" },     { &LEDModeCtrl::GetMonthDesc, 13, L"January" },
        { &LEDModeCtrl::GetMonthDesc, 0, L"January" },       { &LEDModeCtrl::GetMonthDesc2, 9, L"Sept" },
        { &LEDModeCtrl::GetMonthDesc2, 5, L"May" },          { &LEDModeCtrl::GetMonthDesc2, 13, L"Jan" },
    };
    for (const auto& c : cases)
        EXPECT_STREQ((lcd.*c.name)(c.index), c.text) << c.index;
}
