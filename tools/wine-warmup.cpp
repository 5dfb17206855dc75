// Does once, before a test run, the work a new Wine prefix does lazily on first use and keeps:
// the font cache (every installed face opened and drawn with GDI and GDI+), the first start of
// OLE and of the multimedia timer, the common controls' classes. Without it the first test
// programs of a run pay for it, and their timing and leak counts differ from the later ones'.
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <ole2.h>
#include <mmsystem.h>

#include <string>
#include <vector>

namespace {

int CALLBACK collectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM faces)
{
    reinterpret_cast<std::vector<std::wstring>*>(faces)->push_back(font->lfFaceName);
    return 1;
}

void drawEveryFace(HDC dc)
{
    std::vector<std::wstring> faces;
    LOGFONTW any {};
    any.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(dc, &any, collectFace, reinterpret_cast<LPARAM>(&faces), 0);
    Gdiplus::Graphics graphics(dc);
    Gdiplus::SolidBrush brush(Gdiplus::Color(255, 0, 0, 0));
    for (const std::wstring& face : faces) {
        HFONT font = CreateFontW(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face.c_str());
        HGDIOBJ old = SelectObject(dc, font);
        TextOutW(dc, 0, 0, L"Ag\x4E2D\x2103", 4);
        SelectObject(dc, old);
        DeleteObject(font);
        Gdiplus::FontFamily family(face.c_str());
        if (family.GetLastStatus() != Gdiplus::Ok)
            continue;
        Gdiplus::Font plus(&family, 14, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        graphics.DrawString(L"Ag\x4E2D\x2103", 4, &plus, Gdiplus::PointF(0, 20), &brush);
    }
}

void CALLBACK noTick(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {}

} // namespace

int main()
{
    INITCOMMONCONTROLSEX controls { sizeof controls, ICC_WIN95_CLASSES };
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);

    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 60, nullptr, nullptr, nullptr, nullptr);
    HDC dc = GetDC(window);
    drawEveryFace(dc);
    ReleaseDC(window, dc);
    DestroyWindow(window);

    UINT timer = timeSetEvent(1, 1, noTick, 0, TIME_PERIODIC);
    Sleep(5);
    timeKillEvent(timer);

    Gdiplus::GdiplusShutdown(token);
    OleUninitialize();
    return 0;
}
