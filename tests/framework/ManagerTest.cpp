#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "KOVA.h"
#include "TestWindow.h"
#include "framework/AppPaths.h"
#include "framework/Registry.h"

using namespace KOVA;

TEST(ManagerSettings, StartWithTheDocumentedDefaults)
{
    EXPECT_EQ(CString(L"Alibaba-PuHuiTi|theme1\\"), Manager::GetFontName() + L"|" + Manager::GetTheme());
    EXPECT_EQ((std::vector<int> { 14, 1033, 1, 480, 480 }),
              (std::vector<int> { Manager::GetFontWidth(), Manager::GetLanguage(), Manager::GetLedScreenType(),
                                  Manager::GetLedScreenWidth(), Manager::GetLedScreenHeight() }));
    EXPECT_FLOAT_EQ(1.0f, Manager::GetScaleValue());
    EXPECT_EQ(Gdiplus::Color(255, 189, 48, 255).GetValue(), Manager::GetSelectColor().GetValue());
}

// 1.1f × 10 is 11.000000238 in single precision: still 11, not 10; negatives truncate toward zero.
TEST(ManagerSettings, ScaleTruncatesTowardZeroInSinglePrecision)
{
    Manager::SetScaleValue(1.5f);
    EXPECT_EQ((std::vector<int> { 10, -10 }), (std::vector<int> { Manager::GetScaleValue(7), Manager::GetScaleValue(-7) }));
    Manager::SetScaleValue(1.1f);
    EXPECT_EQ(11, Manager::GetScaleValue(10));
    Manager::SetScaleValue(1.0f);
}

TEST(ManagerWindows, MapAddsOnceAndIgnoresUnknownDeletes)
{
    auto* window = reinterpret_cast<MWindow*>(0x1000);
    const size_t before = GetWindowMap().size();
    Manager::DeleteWnd(window);
    Manager::AddWnd(window);
    Manager::AddWnd(window);
    EXPECT_EQ(before + 1, GetWindowMap().size());
    Manager::DeleteWnd(window);
    EXPECT_EQ(before, GetWindowMap().size());
}

// What came before the quit is dispatched; Alt+F4 is dropped only while both keys are down (a
// key pressed and released earlier leaves only the "pressed since" bit: not held).
TEST(ManagerLoop, DispatchesWhatCameBeforeTheQuitAndDropsAltF4OnlyWhileHeld)
{
    KOVA::test::TestWindow window(10, 10, WS_POPUP);
    int dispatched = 0;
    window.onMessage([&](UINT msg, WPARAM, LPARAM, LRESULT&) { return msg == WM_APP + 1 && ++dispatched; });
    PostMessageW(window.hwnd(), WM_APP + 1, 0, 0);
    PostMessageW(window.hwnd(), WM_APP + 1, 0, 0);
    PostQuitMessage(0);
    Manager::MessageLoop();
    EXPECT_EQ(2, dispatched);

    const auto droppedAfter = [](std::initializer_list<std::pair<BYTE, bool>> strokes) {
        for (const auto& [key, up] : strokes)
            keybd_event(key, 0, up ? KEYEVENTF_KEYUP : 0, 0);
        MSG msg {};
        return Manager::PreTranslateMessage(&msg);
    };
    EXPECT_EQ(0, droppedAfter({ { VK_MENU, false }, { VK_F4, false }, { VK_F4, true }, { VK_MENU, true } }));
    EXPECT_EQ(1, droppedAfter({ { VK_MENU, false }, { VK_F4, false } }));
    EXPECT_EQ(0, droppedAfter({ { VK_MENU, true }, { VK_F4, true } }));
}

TEST(AppPaths, SkinFolderSitsBesideTheExecutableAndANullBufferGivesNull)
{
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    *(wcsrchr(module, L'\\') + 1) = L'\0';
    EXPECT_EQ(CString(module), GetExePath());
    EXPECT_EQ(CString(module) + L"skins\\theme1\\", GetSkinPath());
    wchar_t buffer[kExeDirectoryCapacity];
    ASSERT_EQ(buffer, GetExeDirectory(buffer));
    EXPECT_EQ(CString(module), CString(buffer));
    EXPECT_EQ(nullptr, GetExeDirectory(nullptr));
}

// From a machine that has never seen the brand key: the first read creates it, a write
// before that does nothing, and a long value is read whole.
TEST(RegistryStore, FirstReadCreatesTheKeyThenWritesLandAndLongValuesAreReadWhole)
{
    const auto brandKeyExists = [] {
        HKEY key = nullptr;
        return RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\BRAVIK", 0, KEY_READ, &key) == ERROR_SUCCESS && !RegCloseKey(key);
    };
    RegDeleteKeyW(HKEY_CURRENT_USER, L"SOFTWARE\\BRAVIK");
    WriteRegString(L"led_image_scale", L"1.500000");
    EXPECT_FALSE(brandKeyExists());
    CString text = L"unchanged";
    EXPECT_FALSE(ReadRegString(text, L"led_cpushowtype"));
    EXPECT_TRUE(text == L"0" && brandKeyExists());
    const std::wstring longValue(700, L'7');
    WriteRegString(L"led_car_font_color", longValue.c_str());
    EXPECT_TRUE(ReadRegString(text, L"led_car_font_color"));
    EXPECT_EQ(CString(longValue.c_str()), text);
    RegDeleteKeyW(HKEY_CURRENT_USER, L"SOFTWARE\\BRAVIK");
}
