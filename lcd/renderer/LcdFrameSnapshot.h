#pragma once
// One frame's copy of everything the LCD screens read of the renderer. A render takes it under
// the state lock when it begins, releases the lock, and every screen family (the mode screens,
// the dials, water cooling, weather, the system-information layouts, the clock faces) draws
// from it alone: a setter waits for the copy, never for a frame being drawn. (The sensor slots
// and overlay texts, which no render draws, walk their lists under the state lock.)
//
// The pictures are held by shared ownership: a setter that swaps an image under the state lock
// drops the record's reference only, and the one a frame is drawing lives until the frame ends,
// when the snapshot lets go of its pictures: a picture the host has replaced is never kept
// waiting for a frame that may not come.
// The object is kept and refilled frame after frame: its texts keep their capacity and its
// pictures are reference counts, so a copy allocates nothing once the texts have grown.
#include "platform/Win32.h"

#include <memory>

#include "lcd/renderer/LEDModeCtrl.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"

namespace KOVA {

class PaintManager;

// An image of the renderer with its pixel size; image is null when none is set.
struct LcdPicture {
    std::shared_ptr<Gdiplus::Image> image;
    int width { 0 };
    int height { 0 };
};

struct LcdFrameSnapshot {
    // The frame and what the screen shows
    CRect rect;                        // the control's rectangle in its window
    int width { 0 };
    int height { 0 };
    int screenType { LEDScreenCircle };
    int ledMode { LEDModeNone };
    bool on { true };                  // the LED switch
    float brightness { 255.0f };
    int rotation { 0 };
    int sensorLayout { SensorLayoutDial1 };
    int hardwareItem { HardwareCpuTemperature };
    int clockStyle { 1 };

    // The text style, and the framework settings the texts are made for
    PaintManager* manager { nullptr };
    unsigned managerSerial { 0 };      // what fonts made of the manager's families are kept by
    CString face;
    Gdiplus::FontStyle fontStyle { Gdiplus::FontStyleRegular };
    Gdiplus::TextRenderingHint hint { Gdiplus::TextRenderingHintSystemDefault };
    float scale { 1.0f };
    int language { 0 };

    // Colours and texts
    Gdiplus::Color label { 0xFFFFFFFF };   // the text colour
    Gdiplus::Color background;
    Gdiplus::Color value;
    Gdiplus::Color accent;
    Gdiplus::Color title;
    Gdiplus::Color weatherColour[6];
    CString weatherText[7];

    // Sensor values and the time of the frame
    HARDWARE_INFO values {};
    bool fahrenheit { false };         // as led_cpushowtype said when the copy was taken
    SYSTEMTIME now {};                 // local time

    // The still layers
    unsigned layerVersion { 0 };
    bool layersCached { true };

    // Pictures set from the skin folder
    LcdPicture disc;                   // drawn over the whole circular screen
    LcdPicture strip;                  // the control image, stripFrames frames wide
    int stripFrames { 0 };
    LcdPicture icons[3];
    LcdPicture cpuScale[2];
    LcdPicture gpuScale[2];
    LcdPicture memoryScale[2];
    LcdPicture hands[3];

    // The medium of the file screen and the clock background. The video itself is not copied:
    // the tick steps it, so its frame is drawn under the state lock (LEDModeCtrlMedia.cpp).
    LcdPicture media;
    int mediaKind { MediaKindPicture };
    int frameIndex { 0 };
    CPoint imageCentre;
    float imageScale { 1.0f };
    LcdPicture clockBackground;
    int clockMediaKind { MediaKindPicture };
    int clockFrameIndex { 0 };
    int clockFrameCount { 0 };
    unsigned clockMediaSerial { 0 };   // a new clock background each time it changes
    bool videoOpen { false };

    // The carousel text and the captured window
    Gdiplus::Color carouselColour { 0xFFFFFFFF };
    int carouselTextSize { 30 };
    float carouselWidthFactor { 1.0f };
    CPoint carouselPosition;
    HWND captureWindow { nullptr };
    CPoint capturePan;
    float captureScale { 1.0f };

    // Lets go of every picture, at the end of the frame that took them.
    void ReleasePictures();

    bool circular() const { return screenType == LEDScreenCircle; }
    // Screen types 1 and 3 are 480 × 480; the round faces and layouts are drawn for them.
    bool squareScreen() const { return screenType == LEDScreenCircle || screenType == LEDScreenSquare; }
    // ℉ or ℃.
    const wchar_t* sign() const { return fahrenheit ? L"\x2109" : L"\x2103"; }
};

// What a sensor item reads on the screens, formatted from the frame's values, sign and
// language (LEDModeCtrlInfo.cpp): its value with the unit and its label.
void LcdSensorTexts(const LcdFrameSnapshot& frame, int item, CString& label, CString& value);
// The names of week days (0 Sunday) and months (1 January) the clock faces print.
const wchar_t* LcdWeekdayName(int day);
const wchar_t* LcdChineseWeekdayName(int day);
const wchar_t* LcdMonthName(int month);
const wchar_t* LcdMonthShortName(int month);

} // namespace KOVA
