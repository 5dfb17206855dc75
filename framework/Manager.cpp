#include "framework/Manager.h"

#include <cstdarg>

namespace KOVA {

namespace {
std::map<MWindow*, int>& windowMap()
{
    static std::map<MWindow*, int> map;
    return map;
}

bool keyIsDown(int virtualKey)
{
    // The high bit is "down now"; the low bit only says "pressed since the last call".
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

bool altF4Held()
{
    return keyIsDown(VK_MENU) && keyIsDown(VK_F4);
}
} // namespace

HINSTANCE Manager::m_hInstance = nullptr;
CString Manager::m_fontname = L"Alibaba-PuHuiTi";
int Manager::m_fontwidth = 14;
float Manager::m_scale_value = 1.0f;
int Manager::m_language = 1033;
int Manager::m_ledScreenType = 1;
int Manager::m_ledScreenWidth = 480;
int Manager::m_ledScreenHeight = 480;
Gdiplus::Color Manager::m_select_color(255, 189, 48, 255);
Gdiplus::GdiplusStartupInput Manager::m_gdiplusStartupInput;
ULONG_PTR Manager::m_gdiplusToken = 0;

void Manager::SetInstance(HINSTANCE instance) { m_hInstance = instance; }
HINSTANCE Manager::GetInstance() { return m_hInstance; }

void Manager::SetFont(CString name, int width)
{
    m_fontname = name;
    m_fontwidth = width;
}
void Manager::SetFontName(CString name) { m_fontname = name; }
void Manager::SetFontWidth(int width) { m_fontwidth = width; }
CString Manager::GetFontName() { return m_fontname; }
int Manager::GetFontWidth() { return m_fontwidth; }

void Manager::SetScaleValue(float scale) { m_scale_value = scale; }
float Manager::GetScaleValue() { return m_scale_value; }
int Manager::GetScaleValue(int value)
{
    const float scaled = static_cast<float>(value) * m_scale_value;
    return static_cast<int>(scaled);
}

void Manager::SetLanguage(int language) { m_language = language; }
int Manager::GetLanguage() { return m_language; }
void Manager::SetLedScreenType(int type) { m_ledScreenType = type; }
int Manager::GetLedScreenType() { return m_ledScreenType; }
void Manager::SetLedScreenWidth(int width) { m_ledScreenWidth = width; }
int Manager::GetLedScreenWidth() { return m_ledScreenWidth; }
void Manager::SetLedScreenHeight(int height) { m_ledScreenHeight = height; }
int Manager::GetLedScreenHeight() { return m_ledScreenHeight; }

Gdiplus::Color Manager::GetSelectColor() { return m_select_color; }
CString Manager::GetTheme() { return L"theme1\\"; }

void Manager::InitGdiplus()
{
    Gdiplus::GdiplusStartup(&m_gdiplusToken, &m_gdiplusStartupInput, nullptr);
    CoInitialize(nullptr);
    OleInitialize(nullptr);
    windowMap().clear();
}

void Manager::UnInitGdiplus()
{
    Gdiplus::GdiplusShutdown(m_gdiplusToken);
    m_gdiplusToken = 0;
    CoUninitialize();
    OleUninitialize();
    windowMap().clear();
}

void Manager::MessageLoop()
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (altF4Held())
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

int Manager::PreTranslateMessage(MSG*)
{
    return altF4Held() ? 1 : 0;
}

void Manager::AddWnd(MWindow* window) { windowMap()[window] = 0; }
void Manager::DeleteWnd(MWindow* window) { windowMap().erase(window); }

const std::map<MWindow*, int>& GetWindowMap() { return windowMap(); }

void M_Trace(const wchar_t*, ...) {}

} // namespace KOVA
