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
    EXPECT_EQ(CString(L"Alibaba-PuHuiTi"), Manager::GetFontName());
    EXPECT_EQ(CString(L"theme1\\"), Manager::GetTheme());
    EXPECT_EQ((std::vector<int> { 14, 1033, 1, 480, 480 }),
              (std::vector<int> { Manager::GetFontWidth(), Manager::GetLanguage(), Manager::GetLedScreenType(),
                                  Manager::GetLedScreenWidth(), Manager::GetLedScreenHeight() }));
    EXPECT_FLOAT_EQ(1.0f, Manager::GetScaleValue());
    EXPECT_EQ(Gdiplus::Color(255, 189, 48, 255).GetValue(), Manager::GetSelectColor().GetValue());
}

TEST(ManagerSettings, ScaleTruncatesTowardZeroInSinglePrecision)
{
    Manager::SetScaleValue(1.5f);
    EXPECT_EQ(10, Manager::GetScaleValue(7));
    EXPECT_EQ(-10, Manager::GetScaleValue(-7));
    // 1.1f × 10 is 11.000000238 in single precision: still 11, not 10.
    Manager::SetScaleValue(1.1f);
    EXPECT_EQ(11, Manager::GetScaleValue(10));
    Manager::SetScaleValue(1.0f);
    for (int value : { -3, 0, 1, 479, 100000 })
        EXPECT_EQ(value, Manager::GetScaleValue(value));
}

TEST(ManagerWindows, MapAddsOnceAndIgnoresUnknownDeletes)
{
    auto* window = reinterpret_cast<MWindow*>(0x1000);
    const size_t before = GetWindowMap().size();
    Manager::DeleteWnd(window);
    EXPECT_EQ(before, GetWindowMap().size());
    Manager::AddWnd(window);
    Manager::AddWnd(window);
    EXPECT_EQ(before + 1, GetWindowMap().size());
    Manager::DeleteWnd(window);
    EXPECT_EQ(before, GetWindowMap().size());
}

TEST(ManagerLoop, DispatchesWhatCameBeforeTheQuit)
{
    KOVA::test::TestWindow window(10, 10, WS_POPUP);
    int dispatched = 0;
    window.onMessage([&](UINT msg, WPARAM, LPARAM, LRESULT&) { return msg == WM_APP + 1 && ++dispatched; });
    PostMessageW(window.hwnd(), WM_APP + 1, 0, 0);
    PostMessageW(window.hwnd(), WM_APP + 1, 0, 0);
    PostQuitMessage(0);
    Manager::MessageLoop();
    EXPECT_EQ(2, dispatched);
}

TEST(ManagerLoop, AltF4IsDroppedOnlyWhileBothKeysAreDown)
{
    const auto keys = [](std::initializer_list<std::pair<WORD, bool>> strokes) {
        std::vector<INPUT> inputs;
        for (const auto& [key, up] : strokes) {
            INPUT input {};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = key;
            input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(input);
        }
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    };
    MSG msg {};
    // A key pressed and released earlier leaves only the "pressed since" bit: not held.
    keys({ { VK_MENU, false }, { VK_F4, false }, { VK_F4, true }, { VK_MENU, true } });
    EXPECT_EQ(0, Manager::PreTranslateMessage(&msg));
    keys({ { VK_MENU, false }, { VK_F4, false } });
    EXPECT_EQ(1, Manager::PreTranslateMessage(&msg));
    keys({ { VK_MENU, true }, { VK_F4, true } });
    EXPECT_EQ(0, Manager::PreTranslateMessage(&msg));
}

TEST(AppPaths, SkinFolderSitsBesideTheExecutable)
{
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring folder(module);
    folder = folder.substr(0, folder.rfind(L'\\') + 1);
    EXPECT_EQ(CString(folder.c_str()), GetExePath());
    EXPECT_EQ(CString((folder + L"skins\\theme1\\").c_str()), GetSkinPath());
    wchar_t buffer[kExeDirectoryCapacity];
    ASSERT_EQ(buffer, GetExeDirectory(buffer));
    EXPECT_EQ(folder, std::wstring(buffer));
    EXPECT_EQ(nullptr, GetExeDirectory(nullptr));
}

// From a machine that has never seen the brand key: the first read creates it, a write
// before that does nothing, and a long value is read whole.
TEST(RegistryStore, FirstReadCreatesTheKeyThenWritesLandAndLongValuesAreReadWhole)
{
    const auto brandKeyExists = [] {
        HKEY key = nullptr;
        const bool exists = RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\BRAVIK", 0, KEY_READ, &key) == ERROR_SUCCESS;
        RegCloseKey(key);
        return exists;
    };
    RegDeleteKeyW(HKEY_CURRENT_USER, L"SOFTWARE\\BRAVIK");
    WriteRegString(L"led_image_scale", L"1.500000");
    EXPECT_FALSE(brandKeyExists());
    CString text = L"unchanged";
    EXPECT_FALSE(ReadRegString(text, L"led_cpushowtype"));
    EXPECT_EQ(CString(L"0"), text);
    EXPECT_TRUE(brandKeyExists());
    EXPECT_TRUE(ReadRegString(text, L"led_cpushowtype"));
    EXPECT_EQ(CString(L""), text);

    WriteRegString(L"led_image_scale", L"1.500000");
    EXPECT_TRUE(ReadRegString(text, L"led_image_scale"));
    EXPECT_EQ(CString(L"1.500000"), text);
    const std::wstring longValue(700, L'7');
    WriteRegString(L"led_car_font_color", longValue.c_str());
    EXPECT_TRUE(ReadRegString(text, L"led_car_font_color"));
    EXPECT_EQ(CString(longValue.c_str()), text);
    RegDeleteKeyW(HKEY_CURRENT_USER, L"SOFTWARE\\BRAVIK");
}
