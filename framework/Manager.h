#pragma once
// Library-wide settings the host sets once at start-up and every control reads, plus the
// start and end of GDI+/COM/OLE, the host's message loop and the map of live windows.
#include "platform/Win32.h"
#include <map>

#include "platform/KovaExport.h"
#include "platform/CString.h"

namespace KOVA {

class MWindow;

class KOVA_API Manager {
public:
    static void SetInstance(HINSTANCE instance);
    static HINSTANCE GetInstance();

    static void SetFont(CString name, int width);
    static void SetFontName(CString name);
    static void SetFontWidth(int width);
    static CString GetFontName();
    static int GetFontWidth();

    static void SetScaleValue(float scale);
    static float GetScaleValue();
    // value × scale in single precision, truncated toward zero.
    static int GetScaleValue(int value);

    static void SetLanguage(int language);
    static int GetLanguage();
    static void SetLedScreenType(int type);
    static int GetLedScreenType();
    static void SetLedScreenWidth(int width);
    static int GetLedScreenWidth();
    static void SetLedScreenHeight(int height);
    static int GetLedScreenHeight();

    static Gdiplus::Color GetSelectColor();
    static CString GetTheme();

    static void InitGdiplus();
    static void UnInitGdiplus();

    static void MessageLoop();
    // 1 while Alt+F4 is held: a host loop skips such messages, as MessageLoop does.
    static int PreTranslateMessage(MSG* msg);

    static void AddWnd(MWindow* window);
    static void DeleteWnd(MWindow* window);

private:
    static HINSTANCE m_hInstance;
    static CString m_fontname;
    static int m_fontwidth;
    static float m_scale_value;
    static int m_language;
    static int m_ledScreenType;
    static int m_ledScreenWidth;
    static int m_ledScreenHeight;
    static Gdiplus::Color m_select_color;
    static Gdiplus::GdiplusStartupInput m_gdiplusStartupInput;
    static ULONG_PTR m_gdiplusToken;
};

// Accepts a trace line and drops it: the library logs nothing.
KOVA_API void M_Trace(const wchar_t* format, ...);

// The window map has no reader inside the library; hosts may inspect it.
KOVA_API const std::map<MWindow*, int>& GetWindowMap();

} // namespace KOVA
