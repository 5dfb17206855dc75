#include "HostTools.h"

#include <cstdio>
#include <vector>

namespace HostTools {

namespace {
// Handles one waiting message; false when none waits.
bool pumpOne()
{
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

// Animations post paints and timers as fast as they are handled: a loop that waits for an
// empty queue may never end while one runs, so every pump stops at a deadline.
constexpr DWORD kPendingLimit = 1000;
} // namespace

void PumpPending()
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kPendingLimit && pumpOne()) {
    }
}

void PumpFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds)
        if (!pumpOne())
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
}

void PostClick(HWND hwnd, POINT press, POINT release)
{
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(press.x, press.y));
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(release.x, release.y));
    PumpPending();
}

void PostClick(HWND hwnd, POINT at) { PostClick(hwnd, at, at); }

POINT ScreenPoint(HWND hwnd, POINT client)
{
    ClientToScreen(hwnd, &client);
    return client;
}

POINT CentreOf(const CRect& rect)
{
    return POINT { (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2 };
}

CLSID PngEncoder()
{
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, encoders);
    for (UINT i = 0; i < count; ++i)
        if (wcscmp(encoders[i].MimeType, L"image/png") == 0)
            return encoders[i].Clsid;
    return CLSID {};
}

bool SavePng(Gdiplus::Image& image, const std::wstring& path)
{
    const CLSID png = PngEncoder();
    return image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

bool SaveScreenPng(const RECT& area, const std::wstring& path)
{
    const int width = area.right - area.left, height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    bool saved = false;
    {
        Gdiplus::Bitmap image(bitmap, nullptr);
        saved = SavePng(image, path);
    }
    DeleteObject(bitmap);
    return saved;
}

bool WriteLcdFrame(KOVA::LEDModeCtrl& lcd, const std::wstring& path)
{
    lcd.DrawHideControl();
    std::vector<unsigned char> buffer(640 * 480 * 4); // the capacity of the largest screen
    int length = 0;
    if (!lcd.GetLEDData(buffer.data(), length))
        return false;
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    const bool written = fwrite(buffer.data(), 1, static_cast<size_t>(length), file) == static_cast<size_t>(length);
    return fclose(file) == 0 && written;
}

std::string OpenCvPath(const CString& path)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, path, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes > 0 ? static_cast<size_t>(bytes) : 1, '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, path, -1, utf8.data(), bytes, nullptr, nullptr);
    utf8.pop_back(); // the terminating zero
    return utf8;
}

CString SkinFolder()
{
    wchar_t exe[MAX_PATH] {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    CString folder(exe);
    return folder.Left(folder.ReverseFind(L'\\') + 1) + L"skins\\" + KOVA::Manager::GetTheme();
}

HARDWARE_INFO SampleHardwareInfo()
{
    HARDWARE_INFO info;
    info.cpuTemperature = 45.6f;
    info.cpuClock = 4321.0f;
    info.cpuLoad = 37.0f;
    info.gpuTemperature = 61.0f;
    info.gpuClock = 1800.0f;
    info.gpuLoad = 64.0f;
    info.memoryLoad = 49.0f;
    info.memoryUsed = 7.84f;
    info.memoryFree = 8.16f;
    info.memoryClock = 3200.0f;
    info.memoryTemperature = 39.0f;
    return info;
}

namespace {
void writeArrow(const wchar_t* name, bool up)
{
    const Gdiplus::Color looks[4] { { 255, 150, 150, 160 }, { 255, 230, 230, 240 }, { 255, 189, 48, 255 }, { 255, 90, 90, 90 } };
    WriteSkinStrip(name, 14, 10, 4, [&](Gdiplus::Graphics& g, int frame, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush fill(looks[frame]);
        const Gdiplus::Point tip(r.X + r.Width / 2, up ? r.Y + 2 : r.GetBottom() - 2);
        const int base = up ? r.GetBottom() - 2 : r.Y + 2;
        const Gdiplus::Point triangle[3] { tip, { r.X + 2, base }, { r.GetRight() - 2, base } };
        g.FillPolygon(&fill, triangle, 3);
    });
}
} // namespace

void WriteSpinArrows()
{
    writeArrow(L"img_spin_up.png", true);
    writeArrow(L"img_spin_down.png", false);
}

} // namespace HostTools
