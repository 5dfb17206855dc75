// The still layers of the LCD screens never show: a renderer that keeps them publishes the
// same pixels as one that draws every frame whole, on both roads, on every screen shape, over
// a script of frames with the host's setters between them.
#include <cctype>
#include <functional>
#include <new>
#include <string>

#include "LcdTestKit.h"
#include "ScratchClip.h"
#include "ScratchFolder.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"
#include "framework/Registry.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// One screen: an LED mode with what picks the screen inside it. A screen family adds its rows.
struct Screen {
    const char* name;
    int mode;
    int layout; // the sensor layout of LED mode 2
    int item;
    int clockStyle { 1 }; // the face of LED mode 7, round or wide by the screen type
};

const Screen kScreens[] = {
    { "layout 11", LEDModeSystemInfo, 11, HardwareCpuTemperature },
    { "layout 12", LEDModeSystemInfo, 12, HardwareMemoryLoad },
    { "layout 13", LEDModeSystemInfo, 13, HardwareMemoryCapacity },
    { "layout 14", LEDModeSystemInfo, 14, HardwareCpuTemperature },
    { "layout 15", LEDModeSystemInfo, 15, HardwareGpuLoad },
    { "layout 16", LEDModeSystemInfo, 16, HardwareCpuClock },
    { "layout 21", LEDModeSystemInfo, 21, 0 },
    { "layout 22", LEDModeSystemInfo, 22, HardwareMemoryCapacity },
    { "layout 23", LEDModeSystemInfo, 23, HardwareGpuClock },
    { "layout 24", LEDModeSystemInfo, 24, HardwareGpuTemperature },
    { "layout 25", LEDModeSystemInfo, 25, HardwareMemoryClock },
    { "layout 26", LEDModeSystemInfo, 26, HardwareCpuLoad },
    // The carousel shows its one entry: the item.
    { "memory dial", LEDModeCarousel, 0, HardwareMemoryLoad },
    { "CPU dial", LEDModeCarousel, 0, HardwareCpuLoad },
    { "GPU dial", LEDModeCarousel, 0, HardwareGpuTemperature },
    { "water cooling", LEDModeWaterCooling, 0, 0 },
    { "weather", LEDModeWeather, 0, 0 },
    { "clock 1", LEDModeClock, 0, 0, 1 }, { "clock 2", LEDModeClock, 0, 0, 2 }, { "clock 3", LEDModeClock, 0, 0, 3 },
    { "clock 4", LEDModeClock, 0, 0, 4 }, { "clock 5", LEDModeClock, 0, 0, 5 }, { "clock 6", LEDModeClock, 0, 0, 6 },
    { "clock 7", LEDModeClock, 0, 0, 7 }, { "clock 8", LEDModeClock, 0, 0, 8 },
};

HARDWARE_INFO values(float step)
{
    HARDWARE_INFO info;
    info.cpuTemperature = 40 + step;
    info.cpuClock = 3000 + 300 * step;
    info.cpuLoad = 10 * step;
    info.gpuTemperature = 50 + step;
    info.gpuClock = 1500 + 100 * step;
    info.gpuLoad = 5 * step;
    info.memoryLoad = 30 + step;
    info.memoryUsed = 6 + step;
    info.memoryClock = 3200;
    info.memoryTemperature = 35 + step;
    info.memoryFree = 10;
    return info;
}

// The control image and every pair of scale images.
void images(OpenLcd& lcd, const wchar_t* strip, const wchar_t* scale)
{
    lcd.SetImage(strip, 2);
    for (auto set : { &LEDModeCtrl::SetCPUScaleImage, &LEDModeCtrl::SetGPUScaleImage, &LEDModeCtrl::SetMemoryScaleImage })
        (lcd.*set)(scale, scale);
}

// Two renderers in one hidden window, one keeping still layers, one drawing frames whole;
// every setter reaches both. One screen a case, so that the cases can run side by side.
class CacheIdentity : public ::testing::TestWithParam<Screen> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(strip.written() && scale.written() && pictures[1][1].written() && clip.written());
        WriteRegString(L"led_cpushowtype", L"0");
        dialog.open(CRect(0, 0, 640, 480), false);
        for (int i = 0; i < 2; ++i) {
            pair[i] = dialog.addRenderer(CRect(0, 0, 480, 480));
            pair[i]->setLayersCached(i == 0);
        }
    }
    void TearDown() override
    {
        dialog.DestroyWindow();
        restoreGlobals();
    }
    static void restoreGlobals()
    {
        WriteRegString(L"led_cpushowtype", L"");
        Manager::SetScaleValue(1.0f);
        Manager::SetLanguage(1033);
    }
    void both(const std::function<void(OpenLcd&)>& set)
    {
        for (OpenLcd* lcd : pair)
            set(*lcd);
    }
    // One frame of each renderer on the road; true when they publish the same JPEG (the
    // encoder is deterministic: the same bytes for the same pixels).
    bool sameFrame(bool visible, int width)
    {
        for (OpenLcd* lcd : pair) {
            if (visible) {
                DibCanvas window(width, 480, 0xFF336699);
                lcd->SetUpdate(0, 0);
                lcd->DrawControl(window.dc(), CRect(0, 0, width, 480));
            } else {
                lcd->DrawHideControl();
            }
        }
        const std::vector<BYTE> cached = pullFrame(*pair[0]);
        return !cached.empty() && cached == pullFrame(*pair[1]);
    }
    // Both renderers on the screen, with what every screen starts from.
    void show(const Screen& screen, int type, int width)
    {
        both([&](OpenLcd& lcd) {
            lcd.SetLEDScreenType(type);
            lcd.SetControlRect(CRect(0, 0, width, 480));
            lcd.SetLEDMode(screen.mode);
            lcd.SetSensorType(screen.layout);
            lcd.SetHardWareType(screen.item);
            lcd.ClearCarousel();
            lcd.AddCarousel(static_cast<UINT>(screen.item));
            lcd.SetHardWareInfo(values(0));
            lcd.SetColor(0xFF010101, 0xFFFFFFFF, 0xFF9D1D96, 0xFF9D1D96);
            lcd.SetTextFont(L"");
            lcd.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
            lcd.SetFontStyle(Gdiplus::FontStyleRegular);
            lcd.SetColockType(screen.clockStyle);
        });
        restoreGlobals();
    }

    // The renderers hold the clock video until the dialog goes: the files outlive it.
    const ScratchStrip strip { GetSkinPath(), L"lcd-identity-strip.png", 60, 40, { 0xFFE0A000, 0xFF00A0E0 } };
    const ScratchStrip scale { GetSkinPath(), L"lcd-identity-scale.png", 48, 48, { 0x8040C040 } };
    // Clock pictures of the screen's size: a stretched one costs a whole frame's time.
    const ScratchFolder folder { L"lcd-identity" };
    const ScratchStrip pictures[2][2] = { { { folder.path(), L"round1.png", 240, 480, { 0xFFE0A000, 0xFF00A0E0 } },
                                            { folder.path(), L"wide1.png", 320, 480, { 0xFFE0A000, 0xFF00A0E0 } } },
                                          { { folder.path(), L"round2.png", 480, 480, { 0xFF40C040 } },
                                            { folder.path(), L"wide2.png", 640, 480, { 0xFF40C040 } } } };
    const ScratchClip clip { folder.path(), L"clip.avi", ScratchClip::Mjpg, 25, 50 };
    PinnedClock clock { 300000 };
    LcdDialog dialog;
    OpenLcd* pair[2] { nullptr, nullptr };
};

std::string screenName(const ::testing::TestParamInfo<Screen>& info)
{
    std::string name;
    for (const char* c = info.param.name; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(EveryScreen, CacheIdentity, ::testing::ValuesIn(kScreens), screenName);

TEST_P(CacheIdentity, KeptLayersPublishTheFramesOfTheWholeRender)
{
    const Screen& screen = GetParam();
    const auto picture = [&](int which) {
        return [&, which](OpenLcd& lcd) {
            lcd.SetClockFileImage(pictures[which][lcd.GetRect().Width() == 640].path(), MediaKindPicture);
        };
    };
    const auto video = [](const CString& path) { return [=](OpenLcd& lcd) { lcd.SetClockFileImage(path, MediaKindVideo); }; };
    // What a step changes is read by every screen, by the screens of the other modes or by the clock faces.
    enum class Readers { All, Screens, Clock };
    struct Step {
        const char* change;
        std::function<void(OpenLcd&)> set;
        Readers readers { Readers::All };
    };
    const Step script[] = {
        { "first frame", [](OpenLcd&) {} },
        { "values", [](OpenLcd& lcd) { lcd.SetHardWareInfo(values(1)); } },
        { "values again", [](OpenLcd& lcd) { lcd.SetHardWareInfo(values(2)); }, Readers::Screens },
        { "colours", [](OpenLcd& lcd) { lcd.SetColor(0xFF203040, 0xFFF0F0A0, 0xFF00C0C0, 0xFFFF2000); } },
        { "images", [](OpenLcd& lcd) { images(lcd, L"lcd-identity-strip.png", L"lcd-identity-scale.png"); }, Readers::Screens },
        { "values", [](OpenLcd& lcd) { lcd.SetHardWareInfo(values(3)); }, Readers::Screens },
        // Stretched images cost a whole frame's time when drawn whole: the rest goes without.
        { "images gone", [](OpenLcd& lcd) { images(lcd, L"lcd-identity-none.png", L"lcd-identity-none.png"); }, Readers::Screens },
        { "icons and hands", [](OpenLcd& lcd) {
              lcd.SetIcon1Image(L"lcd-identity-scale.png"), lcd.SetIcon2Image(L"lcd-identity-strip.png");
              lcd.SetIcon3Image(L"lcd-identity-scale.png");
              lcd.SetHMSImage(L"lcd-identity-strip.png", L"lcd-identity-scale.png", L"lcd-identity-strip.png"); }, Readers::Clock },
        { "clock picture", picture(0), Readers::Clock },
        { "another picture", picture(1), Readers::Clock },
        { "clock video", video(clip.path()), Readers::Clock },
        { "no background", video(folder / L"none.avi"), Readers::Clock },
        { "scale", [](OpenLcd&) { Manager::SetScaleValue(1.5f); } },
        { "font face", [](OpenLcd& lcd) { lcd.SetTextFont(L"Liberation Serif"); } },
        { "hint", [](OpenLcd& lcd) { lcd.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias); } },
        { "font style", [](OpenLcd& lcd) { lcd.SetFontStyle(Gdiplus::FontStyleItalic); } },
        { "weather texts", [](OpenLcd& lcd) { lcd.SetWeatherValue(L"Here", L"31", L"60", L"45", L"80", L"40", L"x"); } },
        { "time", [](OpenLcd&) { TimeSource::Advance(61000); } },
        { "temperature sign", [](OpenLcd&) { WriteRegString(L"led_cpushowtype", L"1"); } },
        { "language", [](OpenLcd&) { Manager::SetLanguage(2052); }, Readers::Screens },
        { "item", [](OpenLcd& lcd) { lcd.SetHardWareType(HardwareCpuLoad); }, Readers::Screens },
        { "values", [](OpenLcd& lcd) { lcd.SetHardWareInfo(values(4)); }, Readers::Screens },
        // Each step runs once per renderer: the clock moves on twice as far.
        { "second", [](OpenLcd&) { TimeSource::Advance(500); }, Readers::Clock },
        { "hour", [](OpenLcd&) { TimeSource::Advance(1800000); }, Readers::Clock },
        { "day", [](OpenLcd&) { TimeSource::Advance(43200000); }, Readers::Clock },
        { "year", [](OpenLcd&) { TimeSource::Pin(TimeSource::Milliseconds(), SYSTEMTIME { 2026, 12, 4, 31, 23, 59, 59, 0 }); TimeSource::Advance(1000); }, Readers::Clock },
    };
    for (int type : { LEDScreenCircle, LEDScreenSquare, LEDScreenWide })
        for (bool visible : { true, false }) {
            const int width = type == LEDScreenWide ? 640 : 480;
            show(screen, type, width);
            for (const Step& step : script) {
                if (step.readers != Readers::All && (step.readers == Readers::Clock) != (screen.mode == LEDModeClock))
                    continue;
                both(step.set);
                EXPECT_TRUE(sameFrame(visible, width)) << screen.name << ", type " << type
                                                       << (visible ? ", visible road, " : ", hidden road, ")
                                                       << step.change;
            }
        }
}

// What the screens keep of a paint manager's fonts belongs to that manager: one made where a
// gone one lay (the same address) has other families under the same faces, and a renderer
// moved to it draws as one that never knew the old one.
TEST(KeptFonts, AManagerAtAGoneManagersAddressDrawsWithItsOwnFaces)
{
    static constexpr wchar_t kFace[] = L"Kova Moved Face";
    constexpr UINT kProductFont = 106;
    const PinnedClock clock { 300000 };
    LcdDialog parent;
    parent.open(CRect(0, 0, 480, 480), false);
    struct Row {
        const char* screen;
        int mode;
        int layout;
        int item;
    };
    const Row rows[] = {
        { "CPU dial", LEDModeCarousel, 0, HardwareCpuLoad },
        { "layout 24", LEDModeSystemInfo, 24, HardwareGpuTemperature },
        { "clock 1", LEDModeClock, 0, 0 },
    };
    const auto show = [](OpenLcd& lcd, const Row& row, PaintManager* manager) {
        lcd.SetManager(manager);
        lcd.SetTextFont(kFace);
        lcd.SetLEDMode(row.mode);
        lcd.SetSensorType(row.layout);
        lcd.SetHardWareType(row.item);
        lcd.AddCarousel(static_cast<UINT>(row.item)); // the dial of the carousel mode
        lcd.SetHardWareInfo(values(1));
    };
    const auto frame = [](OpenLcd& lcd) {
        lcd.DrawHideControl();
        return pullFrame(lcd);
    };
    for (const Row& row : rows) {
        alignas(PaintManager) unsigned char place[sizeof(PaintManager)];
        // The first manager has the product's font under the control's face; the second falls back.
        auto* first = new (place) PaintManager;
        ASSERT_TRUE(first->AddTempFont(kFace, kProductFont));
        PaintManager* second = nullptr;
        {
            OpenLcd moved(&parent, 50, CRect(0, 0, 480, 480), 1, 1);
            show(moved, row, first);
            const std::vector<BYTE> withFirst = frame(moved);
            first->~PaintManager();
            second = new (place) PaintManager;
            moved.SetManager(second);
            OpenLcd fresh(&parent, 51, CRect(0, 0, 480, 480), 1, 1);
            show(fresh, row, second);
            const std::vector<BYTE> expected = frame(fresh);
            ASSERT_FALSE(expected.empty());
            ASSERT_TRUE(withFirst != expected) << row.screen << ": the two managers' faces draw alike";
            EXPECT_TRUE(frame(moved) == expected) << row.screen;
        }
        second->~PaintManager();
    }
    parent.DestroyWindow();
}
