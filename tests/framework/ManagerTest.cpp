// The library's process-wide services: scaling, the window map, the message loop, paths and
// the registry store.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "KOVA.h"
#include "TestWindow.h"
#include "framework/AppPaths.h"
#include "framework/Registry.h"

using namespace KOVA;

// 1.1f × 10 is 11.000000238 in single precision: still 11, not 10; negatives truncate toward zero.
TEST(ManagerSettings, ScaleTruncatesTowardZeroInSinglePrecision)
{
    Manager::SetScaleValue(1.5f);
    const std::vector<int> atOneAndAHalf { Manager::GetScaleValue(7), Manager::GetScaleValue(-7) };
    Manager::SetScaleValue(1.1f);
    EXPECT_EQ((std::vector<int> { 10, -10, 11 }), (std::vector<int> { atOneAndAHalf[0], atOneAndAHalf[1], Manager::GetScaleValue(10) }));
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
    EXPECT_EQ((std::vector<int> { 0, 1, 0 }),
              (std::vector<int> { droppedAfter({ { VK_MENU, false }, { VK_F4, false }, { VK_F4, true }, { VK_MENU, true } }),
                                  droppedAfter({ { VK_MENU, false }, { VK_F4, false } }), droppedAfter({ { VK_MENU, true }, { VK_F4, true } }) }));
}

// The skin folder sits beside the executable, in the default theme; a null buffer gives null.
TEST(AppPaths, SkinFolderSitsBesideTheExecutableAndANullBufferGivesNull)
{
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    *(wcsrchr(module, L'\\') + 1) = L'\0';
    wchar_t buffer[kExeDirectoryCapacity];
    ASSERT_EQ(buffer, GetExeDirectory(buffer));
    EXPECT_EQ((std::vector<CString> { module, CString(module) + L"skins\\theme1\\", module }),
              (std::vector<CString> { GetExePath(), GetSkinPath(), buffer }));
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
