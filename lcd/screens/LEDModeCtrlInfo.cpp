// What a sensor item reads on the LCD screens: its value with the unit and its label in the
// host's language, and the names of week days and months the clock faces draw. Pure
// functions of the sensor values, the language id and the led_cpushowtype setting: the
// renderer's members read the record, the screens the frame's snapshot.
#include "lcd/renderer/LEDModeCtrl.h"

#include "framework/Manager.h"
#include "lcd/renderer/LcdFrameSnapshot.h"
#include "lcd/renderer/TemperatureSetting.h"

namespace KOVA {

namespace {
// Columns of the label table, by language id; every other id reads the last column.
const int kLabelLanguages[] = { 1028, 1031, 1033, 1034, 1036, 1043, 1045 };
constexpr int kOtherLanguage = 7;
constexpr int kSimplifiedChinese = 2052;

const wchar_t* const kLabels[10][8] = {
    { L"CPU\x6EAB\x5EA6", L"CPU-Temp", L"CPU Temp", L"Temp CPU", L"Temp CPU", L"CPU Temp", L"Temp. CPU", L"CPU\x6E29\x5EA6" },
    { L"CPU\x983B\x7387", L"CPU-Takt", L"CPU Clock", L"Frecuencia CPU", L"Fr\x00E9quence CPU", L"CPU Frequentie", L"Zegar CPU", L"CPU\x9891\x7387" },
    { L"CPU\x8CA0\x8F09", L"CPU-Last", L"CPU Load", L"Carga CPU", L"Charge CPU", L"CPU Belasting", L"Obc. CPU", L"CPU\x8D1F\x8F7D" },
    { L"GPU\x6EAB\x5EA6", L"GPU-Temp", L"GPU Temp", L"Temp GPU", L"Temp GPU", L"GPU Temp", L"Temp. GPU", L"GPU\x6E29\x5EA6" },
    { L"GPU\x983B\x7387", L"GPU-Takt", L"GPU Clock", L"Frecuencia GPU", L"Fr\x00E9quence GPU", L"GPU Frequentie", L"Zegar GPU", L"GPU\x9891\x7387" },
    { L"GPU\x8CA0\x8F09", L"GPU-Last", L"GPU Load", L"Carga GPU", L"Charge GPU", L"GPU Belasting", L"Obc. GPU", L"GPU\x8D1F\x8F7D" },
    { L"\x8A18\x61B6\x9AD4\x5BB9\x91CF", L"Speicherkapazit\x00E4t", L"Memory Capacity", L"Capacidad memoria", L"Capacit\x00E9 m\x00E9moire", L"Geheugencapaciteit", L"Zu\x017C. RAM", L"\x5185\x5B58\x5BB9\x91CF" },
    { L"\x8A18\x61B6\x9AD4\x6EAB\x5EA6", L"Speichertemp", L"Memory Temp", L"Temp memoria", L"Temp m\x00E9moire", L"Geheugentemp", L"Temp. RAM", L"\x5185\x5B58\x6E29\x5EA6" },
    { L"\x8A18\x61B6\x9AD4\x983B\x7387", L"Speichertakt", L"Memory Clock", L"Frecuencia memoria", L"Fr\x00E9quence m\x00E9moire", L"Geheugenfrequentie", L"Zegar RAM", L" \x5185\x5B58\x9891\x7387 " },
    { L"\x8A18\x61B6\x9AD4\x8CA0\x8F09", L"Speicherlast", L"Memory Load", L"Carga memoria", L"Charge m\x00E9moire", L"Geheugenbelasting", L"Zu\x017C. RAM", L"\x5185\x5B58\x8D1F\x8F7D" },
};

const wchar_t* const kWeekDays[] = { L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday" };
const wchar_t* const kWeekDaysChinese[] = { L"\x661F\x671F\x65E5", L"\x661F\x671F\x4E00", L"\x661F\x671F\x4E8C",
                                            L"\x661F\x671F\x4E09", L"\x661F\x671F\x56DB", L"\x661F\x671F\x4E94",
                                            L"\x661F\x671F\x516D" };
const wchar_t* const kMonths[] = { L"January", L"February", L"March", L"April", L"May", L"June", L"July",
                                   L"August", L"September", L"October", L"November", L"December" };
const wchar_t* const kMonthsShort[] = { L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun", L"Jul",
                                        L"Aug", L"Sept", L"Oct", L"Nov", L"Dec" };

int labelColumn(int language)
{
    for (int column = 0; column < kOtherLanguage; ++column)
        if (kLabelLanguages[column] == language)
            return column;
    return kOtherLanguage;
}

CString temperatureText(float value, bool fahrenheit)
{
    CString text;
    text.Format(fahrenheit ? L"%3.f\x2109" : L"%3.f\x2103", static_cast<double>(value));
    return text;
}

CString numberText(const wchar_t* format, float value)
{
    CString text;
    text.Format(format, static_cast<double>(value));
    return text;
}

// Used over used + free in single precision; no memory figures at all read as 0, not NaN.
float memoryLoad(float used, float free)
{
    const float total = used + free;
    return total > 0.0f ? used / total * 100.0f : 0.0f;
}

const wchar_t* nameAt(const wchar_t* const* names, int count, int index, int fallback)
{
    return names[(index >= 0 && index < count) ? index : fallback];
}

void sensorTexts(const HARDWARE_INFO& info, bool fahrenheit, int language, int item, CString& label, CString& value)
{
    switch (item) {
    case HardwareCpuTemperature:
        value = temperatureText(info.cpuTemperature, fahrenheit);
        break;
    case HardwareCpuClock:
        value = numberText(L"%3.fMHz", info.cpuClock);
        break;
    case HardwareCpuLoad:
        value = numberText(L"%3.f%%", info.cpuLoad);
        break;
    case HardwareGpuTemperature:
        value = temperatureText(info.gpuTemperature, fahrenheit);
        break;
    case HardwareGpuClock:
        value = numberText(L"%3.fMHz", info.gpuClock);
        break;
    case HardwareGpuLoad:
        value = numberText(L"%3.f%%", info.gpuLoad);
        break;
    case HardwareMemoryCapacity:
        value.Format(L"%0.1f GB / %0.1f GB", static_cast<double>(info.memoryUsed),
                     static_cast<double>(info.memoryUsed + info.memoryFree));
        break;
    case HardwareMemoryTemperature:
        value = temperatureText(info.memoryTemperature, fahrenheit);
        break;
    case HardwareMemoryClock:
        value = numberText(L"%3.fMHz", info.memoryClock);
        break;
    case HardwareMemoryLoad:
        value = numberText(L"%3.f%%", memoryLoad(info.memoryUsed, info.memoryFree));
        break;
    case HardwareWaterTemperature:
        value = L"N/A";
        label = language == kSimplifiedChinese ? L"\x6C34\x51B7\x6DB2\x6E29\x5EA6" : L"Wacter Temperature";
        return;
    default:
        return;
    }
    label = kLabels[item - 1][labelColumn(language)];
}
} // namespace

void LcdSensorTexts(const LcdFrameSnapshot& frame, int item, CString& label, CString& value)
{
    sensorTexts(frame.values, frame.fahrenheit, frame.language, item, label, value);
}

void LEDModeCtrl::GetSoftwareInfo(int item, CString& label, CString& value)
{
    HARDWARE_INFO info;
    {
        // Any thread may ask while a setter changes the values.
        ScopedLock lock(m_stateLock);
        info = m_hardwareInfo;
    }
    sensorTexts(info, ShowsFahrenheit(), Manager::GetLanguage(), item, label, value);
}

const wchar_t* LcdWeekdayName(int day)
{
    return nameAt(kWeekDays, 7, day, 1);
}

const wchar_t* LcdChineseWeekdayName(int day)
{
    return nameAt(kWeekDaysChinese, 7, day, 1);
}

const wchar_t* LcdMonthName(int month)
{
    return nameAt(kMonths, 12, month - 1, 0);
}

const wchar_t* LcdMonthShortName(int month)
{
    return nameAt(kMonthsShort, 12, month - 1, 0);
}

CString LEDModeCtrl::GetWeekDesc(int day)
{
    return LcdWeekdayName(day);
}

CString LEDModeCtrl::GetWeekDesc2(int day)
{
    return LcdChineseWeekdayName(day);
}

CString LEDModeCtrl::GetMonthDesc(int month)
{
    return LcdMonthName(month);
}

CString LEDModeCtrl::GetMonthDesc2(int month)
{
    return LcdMonthShortName(month);
}

} // namespace KOVA
