#include <gtest/gtest.h>

#include <string>

#include "KOVA.h"
#include "framework/AppPaths.h"
#include "framework/Registry.h"

using namespace KOVA;

namespace {

const wchar_t* kBrandKey = L"SOFTWARE\\BRAVIK";

void deleteBrandKey()
{
    RegDeleteKeyW(HKEY_CURRENT_USER, kBrandKey);
}

bool brandKeyExists()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kBrandKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Each case starts from a machine that has never seen the brand key.
class RegistryStore : public ::testing::Test {
protected:
    void SetUp() override { deleteBrandKey(); }
    void TearDown() override { deleteBrandKey(); }
};

} // namespace

TEST(ManagerSettings, StartWithTheDocumentedDefaults)
{
    EXPECT_EQ(CString(L"Alibaba-PuHuiTi"), Manager::GetFontName());
    EXPECT_EQ(14, Manager::GetFontWidth());
    EXPECT_FLOAT_EQ(1.0f, Manager::GetScaleValue());
    EXPECT_EQ(1033, Manager::GetLanguage());
    EXPECT_EQ(1, Manager::GetLedScreenType());
    EXPECT_EQ(480, Manager::GetLedScreenWidth());
    EXPECT_EQ(480, Manager::GetLedScreenHeight());
    EXPECT_EQ(Gdiplus::Color(255, 189, 48, 255).GetValue(), Manager::GetSelectColor().GetValue());
    EXPECT_EQ(CString(L"theme1\\"), Manager::GetTheme());
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

TEST(ManagerSettings, SettersStoreWithoutRangeChecks)
{
    Manager::SetFont(L"DejaVu Sans", 12);
    EXPECT_EQ(CString(L"DejaVu Sans"), Manager::GetFontName());
    EXPECT_EQ(12, Manager::GetFontWidth());
    Manager::SetLedScreenType(-4);
    EXPECT_EQ(-4, Manager::GetLedScreenType());
    Manager::SetFont(L"Alibaba-PuHuiTi", 14);
    Manager::SetLedScreenType(1);
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

TEST(ManagerLoop, ReturnsWhenQuitArrivesAndDispatchesBefore)
{
    static int dispatched = 0;
    struct Proc {
        static LRESULT CALLBACK run(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
        {
            if (msg == WM_APP + 1)
                ++dispatched;
            return DefWindowProcW(hwnd, msg, wParam, lParam);
        }
    };
    WNDCLASSW wc {};
    wc.lpfnWndProc = Proc::run;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ManagerLoopTest";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    PostMessageW(hwnd, WM_APP + 1, 0, 0);
    PostMessageW(hwnd, WM_APP + 1, 0, 0);
    PostQuitMessage(0);
    Manager::MessageLoop();
    EXPECT_EQ(2, dispatched);
    DestroyWindow(hwnd);
}

TEST(ManagerLoop, AltF4IsDroppedOnlyWhileBothKeysAreDown)
{
    MSG msg {};
    // A key pressed and released earlier leaves only the "pressed since" bit: not held.
    INPUT tap[4] {};
    const WORD keys[4] = { VK_MENU, VK_F4, VK_F4, VK_MENU };
    for (int i = 0; i < 4; ++i) {
        tap[i].type = INPUT_KEYBOARD;
        tap[i].ki.wVk = keys[i];
        tap[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(4, tap, sizeof(INPUT));
    EXPECT_EQ(0, Manager::PreTranslateMessage(&msg));

    INPUT hold[2] {};
    hold[0].type = hold[1].type = INPUT_KEYBOARD;
    hold[0].ki.wVk = VK_MENU;
    hold[1].ki.wVk = VK_F4;
    SendInput(2, hold, sizeof(INPUT));
    EXPECT_EQ(1, Manager::PreTranslateMessage(&msg));

    hold[0].ki.dwFlags = hold[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, hold, sizeof(INPUT));
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

TEST_F(RegistryStore, FirstReadCreatesTheKeyAndYieldsZero)
{
    CString text = L"unchanged";
    EXPECT_FALSE(ReadRegString(text, L"led_cpushowtype"));
    EXPECT_EQ(CString(L"0"), text);
    EXPECT_TRUE(brandKeyExists());

    EXPECT_TRUE(ReadRegString(text, L"led_cpushowtype"));
    EXPECT_EQ(CString(L""), text);
}

TEST_F(RegistryStore, WriteNeedsTheKeyAReadCreated)
{
    WriteRegString(L"led_image_scale", L"1.500000");
    EXPECT_FALSE(brandKeyExists());

    CString text;
    ReadRegString(text, L"led_image_scale");
    WriteRegString(L"led_image_scale", L"1.500000");
    EXPECT_TRUE(ReadRegString(text, L"led_image_scale"));
    EXPECT_EQ(CString(L"1.500000"), text);
}

TEST_F(RegistryStore, LongValuesAreReadWhole)
{
    CString text;
    ReadRegString(text, L"x");
    std::wstring longValue(700, L'7');
    WriteRegString(L"led_car_font_color", longValue.c_str());
    EXPECT_TRUE(ReadRegString(text, L"led_car_font_color"));
    EXPECT_EQ(700, text.GetLength());
    EXPECT_EQ(CString(longValue.c_str()), text);
}
