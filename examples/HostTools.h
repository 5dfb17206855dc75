#pragma once
// What the headless sample host needs of Windows besides KOVA: pumping its own messages,
// posting a click the way the mouse would, saving pictures as PNG files and writing the
// pages' own skin images.
#include "KOVA.h"

#include <string>

namespace HostTools {

void PumpPending();
// Pumps for the time given, sleeping between messages; timers and animations run meanwhile.
void PumpFor(DWORD milliseconds);
// Pumps until the condition holds or the time is up; whether it held.
template <class Condition>
bool PumpUntil(Condition condition, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= milliseconds)
            return false;
        PumpFor(10);
    }
    return true;
}
// A press at one client point and its release at another, posted and pumped.
void PostClick(HWND hwnd, POINT press, POINT release);
void PostClick(HWND hwnd, POINT at);
POINT ScreenPoint(HWND hwnd, POINT client);
POINT CentreOf(const CRect& rect);

CLSID PngEncoder();
bool SavePng(Gdiplus::Image& image, const std::wstring& path);
// What the screen shows in the rectangle: the window with the tips and pop-ups over it.
bool SaveScreenPng(const RECT& area, const std::wstring& path);

// Draws one frame of the LCD renderer on this thread, as it does while hidden, and writes the
// JPEG that GetLEDData then hands out to path. False without a frame or when writing fails.
bool WriteLcdFrame(KOVA::LEDModeCtrl& lcd, const std::wstring& path);
// The sensor values every LCD page shows.
HARDWARE_INFO SampleHardwareInfo();

// A path as OpenCV hands it to FFmpeg, which reads every narrow path as UTF-8 on Windows: in
// the ANSI code page a folder named beyond ASCII would not open, or would open as another.
std::string OpenCvPath(const CString& path);

// Where the library loads skin images from: skins\THEME\ beside the program.
CString SkinFolder();
// Writes count frames of width × height side by side into the skin folder as name, each
// painted by paint(graphics, frame, rect).
template <class Paint>
void WriteSkinStrip(const wchar_t* name, int width, int height, int count, Paint paint)
{
    Gdiplus::Bitmap strip(width * count, height, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&strip);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        for (int frame = 0; frame < count; ++frame)
            paint(graphics, frame, Gdiplus::Rect(frame * width, 0, width, height));
    }
    SavePng(strip, std::wstring(SkinFolder() + name));
}

// The arrow strips of the spin boxes ("img_spin_up.png", "img_spin_down.png"): part of the
// demo skin, whatever page shows a spin box.
void WriteSpinArrows();

} // namespace HostTools
