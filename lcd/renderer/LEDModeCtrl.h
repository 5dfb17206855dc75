#pragma once
// The picture of the device LCD screen. On every fast-timer tick that ends a frame period it
// draws one frame of the current LED mode at the control's size, dims and rotates it, encodes
// it as JPEG and publishes it in a double buffer that the host pulls with GetLEDData from any
// thread. While the control shows in its window the frame is drawn by the window's paint (a
// live preview); while it does not, the tick draws it itself on the fast-timer thread.
//
// Locks, in the order they are taken: the render lock, the state lock, the frame lock. The
// render lock lets one render draw at a time (the GDI+ objects the screens share are not
// thread-safe). The state lock guards everything a frame is drawn from (every setter holds it,
// and the host through EnterCS); a render holds it only while it copies that into the frame's
// snapshot (lcd/renderer/LcdFrameSnapshot.h), then draws from the copy, so a setter never waits
// for a frame being drawn. The frame lock guards the two JPEG buffers only. No drawing or
// encoding happens under the frame lock, and a repaint request is never sent while the state
// lock is held. The tick's own step only tries the state lock, and its stand-in for a stalled
// paint only tries the render lock; the media loaders read their files before they take any.
#include "platform/Win32.h"

#include <atomic>
#include <memory>
#include <vector>

#include "framework/MControlFont.h"
#include "lcd/media/VideoClipHandle.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/CriticalSection.h"
#include "platform/KovaExport.h"

namespace cv {
class Mat;
}

// The sensor values the host hands to the LCD renderer. The two reserved values are not read.
struct HARDWARE_INFO {
    float cpuTemperature { 0 };
    float cpuClock { 0 };        // MHz
    float cpuLoad { 0 };         // percent
    float cpuReserved { 0 };
    float gpuTemperature { 0 };
    float gpuClock { 0 };        // MHz
    float gpuLoad { 0 };         // percent
    float gpuReserved { 0 };
    float memoryLoad { 0 };      // percent
    float memoryUsed { 0 };      // GB
    float memoryClock { 0 };     // MHz
    float memoryTemperature { 0 };
    float memoryFree { 0 };      // GB
};

namespace KOVA {

// What the screen shows; any other value draws the black base only.
enum LEDMode {
    LEDModeNone = 0,
    LEDModeFile = 1,
    LEDModeSystemInfo = 2,
    LEDModeWaterCooling = 3,
    LEDModeCarousel = 4,
    LEDModeWindowCapture = 5,
    LEDModeWeather = 6,
    LEDModeClock = 7,
};

// The device's screen: 1 circular 480 × 480, 3 square 480 × 480, any other value 640 × 480.
enum LEDScreenType {
    LEDScreenCircle = 1,
    LEDScreenWide = 2,
    LEDScreenSquare = 3,
};

// One sensor value of HARDWARE_INFO as the screens show it.
enum HardwareItem {
    HardwareCpuTemperature = 1,
    HardwareCpuClock = 2,
    HardwareCpuLoad = 3,
    HardwareGpuTemperature = 4,
    HardwareGpuClock = 5,
    HardwareGpuLoad = 6,
    HardwareMemoryCapacity = 7,
    HardwareMemoryTemperature = 8,
    HardwareMemoryClock = 9,
    HardwareMemoryLoad = 10,
    HardwareWaterTemperature = 11,
};

// The system-information layouts of LED mode 2: 11 to 16 round dials, 21 to 26 plain.
enum SensorLayout {
    SensorLayoutDial1 = 11,
    SensorLayoutPlain1 = 21,
};

// The kind of a user medium: 3 animated GIF, 4 video, any other value a still picture.
enum MediaKind {
    MediaKindPicture = 0,
    MediaKindGif = 3,
    MediaKindVideo = 4,
};

// ---- Sensor slots and overlay texts (records)
// A free text of two lines a host places over the screen, anchored at a point of the window.
struct OverLayerInfo {
    int id { 0 };                         // the host's key, unique in the list
    Gdiplus::Color colour { 0xFF000000 };
    int size { 30 };                      // pixels, before scale
    float scale { 1.0f };
    CString first;                        // a record whose first line is empty is not drawn
    CString second;                       // the measured size of this line sets the box
    CPoint anchor;                        // client coordinates
    RECT box { 0, 0, 0, 0 };              // relative to the control, where it was last drawn
};

// A box over the screen that shows one sensor value (a HardwareItem, 0 for none) with its label.
struct SensorLayerInfo {
    int item { 0 };
    RECT pick { 0, 0, 0, 0 };             // client coordinates: where the pointer picks the slot
    RECT frame { 0, 0, 0, 0 };            // client coordinates: the box drawn
};
// ---- end of sensor slots and overlay texts (records)

class LcdFramePipeline;
class LcdTextStamps;
class LcdLayerCache;
// What one frame's screens read, copied under the state lock (lcd/renderer/LcdFrameSnapshot.h).
struct LcdFrameSnapshot;
struct LcdPicture;
struct LcdFrameSnapshotDeleter {
    void operator()(LcdFrameSnapshot* snapshot) const;
};
struct LcdLayerKey;
// What the system-information layouts draw with and from (lcd/screens/LcdLayoutResources.h).
class LcdLayoutResources;
struct LcdLayoutScene;
struct LcdLayoutResourcesDeleter {
    void operator()(LcdLayoutResources* resources) const;
};
// What the weather, water-cooling and dial screens draw with (lcd/screens/LcdScreenResources.h).
struct LcdScreenResources;
struct LcdScreenResourcesDeleter {
    void operator()(LcdScreenResources* resources) const;
};
// ---- Clock faces (declarations)
// A clock face as a table of elements, and what faces draw with (lcd/screens/ClockFacePainter.h).
struct ClockFace;
class ClockFacePainter;
struct ClockFacePainterDeleter {
    void operator()(ClockFacePainter* resources) const;
};
class ClockBackdropLayers;
class ClockKeptElements;
enum class ClockPass : unsigned char;
struct ClockBackdropLayersDeleter {
    void operator()(ClockBackdropLayers* layers) const;
};
// ---- end of clock faces (declarations)
class KOVA_API LEDModeCtrl : public MControlFont {
public:
    LEDModeCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the settings and values: its locks, buffers, images, media, overlays and
    // kept layers are its own and start as a new renderer's. An assignment keeps the target's
    // images, media and overlays. On the GUI thread.
    LEDModeCtrl(const LEDModeCtrl& other);
    LEDModeCtrl& operator=(const LEDModeCtrl& other);
    ~LEDModeCtrl() override;

    // A new paint manager may have other fonts under the same faces: what was made of the old
    // one's is made again.
    void InitControl(PaintManager* manager) override;

    // Frame pipeline
    void DrawControl(HDC& dc, CRect paintRect) override;
    void SetControlRect(CRect rect) override;
    int OnControlTimer() override;
    // The hidden render: draws and publishes one frame on the calling (fast-timer) thread.
    void DrawHideControl();
    // Copies the newest JPEG into buffer, which must hold the capacity of the current screen
    // type (921,600 or 1,228,800 bytes): the capacity is cleared first. A host whose screen
    // type may change on another thread allocates the largest, 1,228,800 bytes. False with
    // length 0 before the first frame, after a screen-type change until the next one, or for a
    // null buffer. Any thread.
    bool GetLEDData(unsigned char* buffer, int& length);

    // The face of the screens' texts. The hidden render reads it on the fast-timer thread, so
    // these change it under the state lock (SetFont hides the base's, which does not).
    void SetTextFont(CString face) override;
    void SetFont(const wchar_t* face, int size, Gdiplus::FontStyle style);

    // The state lock, for a host that changes several values for one frame.
    void EnterCS();
    void LeaveCS();

    // Plain settings
    void SetLEDScreenType(int type);
    void SetLEDMode(int mode);
    void SetHardWareInfo(HARDWARE_INFO info);
    void SetHardWareType(int item);
    void SetSensorType(int layout);
    void SetColockType(int style);
    void SetRun(int run);
    void SetLEDSwitch(bool on);
    void SetBrightness(int percent);
    void SetSpeed(int speed);
    // Kept modulo 360, so that the quarter turn of the circular screen never overflows.
    void SetRotate(int degrees);
    // Image scale, capture scale, carousel text position and colour back to their defaults,
    // in memory and in the registry.
    void ResetLED();
    // The window LED mode 5 copies; a handle that is not a window is ignored.
    void SetCaptureWindow(HWND window);

    // GDI helpers. RotateDC turns later drawing on dc clockwise by angle degrees about centre
    // and returns the graphics mode to hand to RestoreRotatedDC.
    int RotateDC(HDC dc, int angle, POINT centre);
    void RestoreRotatedDC(HDC dc, int mode);
    // A top-down 32-bit DIB section; bits receives its pixels. Null on failure.
    HBITMAP CreateARGB32Bitmap(HDC dc, int width, int height, unsigned char** bits);

    // Sensor values and labels
    void GetSoftwareInfo(int item, CString& label, CString& value);
    CString GetWeekDesc(int day);
    CString GetWeekDesc2(int day);
    CString GetMonthDesc(int month);
    CString GetMonthDesc2(int month);

    // Images from the skin folder. Each replaces the old image; a failed load leaves none.
    int SetBKImage(const wchar_t* name);
    using MControlFont::SetImage;
    int SetImage(const wchar_t* name, int count) override;
    void SetIcon1Image(const wchar_t* name);
    void SetIcon2Image(const wchar_t* name);
    void SetIcon3Image(const wchar_t* name);
    void SetCPUScaleImage(CString first, CString second);
    void SetGPUScaleImage(CString first, CString second);
    void SetMemoryScaleImage(CString first, CString second);
    void SetCircleImage(CString name);
    void SetHMSImage(CString hour, CString minute, CString second);

    // Colours, texts and the carousel text style
    void SetColor(Gdiplus::Color background, Gdiplus::Color label, Gdiplus::Color value, Gdiplus::Color accent);
    void SetTitleColor(COLORREF colour);
    void SetWeatherColor(Gdiplus::Color c1, Gdiplus::Color c2, Gdiplus::Color c3, Gdiplus::Color c4,
                         Gdiplus::Color c5, Gdiplus::Color c6);
    void SetWeatherValue(CString t1, CString t2, CString t3, CString t4, CString t5, CString t6, CString t7);
    void SetCarFontColor(Gdiplus::Color colour);
    void SetLayerFontWidth(int width);

    // The carousel list: sensor items in the order added, no duplicates.
    void AddCarousel(UINT item);
    void DeleteCarousel(UINT item);
    void ClearCarousel();
    // Bit (item mod 32) set for every listed item.
    UINT GetCarousel();

    // Pointer input of the live preview
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
    int OnControlScroll(int step, UINT down, CPoint pt) override;

    // ---- Sensor slots and overlay texts
    // Overlay texts: a new id is appended under the centre of the control, a known id is kept.
    void AddOverLayerInfo(int id, CString first, CString second);
    void SetLayerInfo(int id, CString first, CString second);
    void ClearOverlayer();
    // Three empty slots when there are none; they take their places with the next rectangle.
    void InitOverLayer();
    void ClearOverlayer2();
    // The first slot whose pick rectangle holds point shows item.
    void SetSensorValue(int item, CPoint point);
    void SetSensorValue(int index, int item);
    // The item of slot index; 0 for no such slot.
    int GetSensorValue(int index);
    // Status 0 empties every slot that shows item.
    void SetSensorStatus(int item, int status);
    // Exchanges the items of the first slot and of the slot the pointer last crossed with the
    // left button held in the file mode.
    void SwitchSensorValue();
    void SetSelectLayer(int index);
    void SetEditStatus(int status);
    // A pointer move without buttons, then a repaint.
    void DragMove(CPoint point);
    // ---- end of sensor slots and overlay texts

    // ---- Exported accessors
    // The overlay layer SetSelectLayer stored; -1 before.
    int GetSelectLayer() const { return m_selectedLayer; }
    // Scales red, green and blue of every pixel of the width × height area of dc by
    // brightness / 255, clamped; nothing when height is below 1. Reads no member.
    void AdjustBrightness(HDC dc, float brightness, int width, int height);
    // ---- end of exported accessors

    // ---- Media sources
    // The medium of the file screen (LED mode 1) and the background of the clock faces (mode
    // 7), by MediaKind. Both share one video capture, so a video of either ends the other's.
    // The frame period follows the last medium loaded.
    void SetFileImage(CString path, int kind);
    void SetClockFileImage(CString path, int kind);
    // A decoded frame of any 8-bit or wider depth with 1, 3 or 4 channels, drawn at its own
    // size times the image scale centred on the image centre, or stretched into rect. The
    // caller holds the state lock; width and height are not read.
    void DrawFrame(HDC& dc, cv::Mat& frame, int& width, int& height);
    void DrawFrame(HDC& dc, cv::Mat& frame, int& width, int& height, CRect rect);
    // ---- end of media sources

protected:
    // The screen of the LED mode, drawn by both renders from the frame's snapshot with the
    // render lock held and the state lock free. A derived class draws what it adds over the
    // screen (the slots, the overlay texts) after calling it; what it reads of the record
    // beyond the snapshot it reads under the state lock, as DrawLayer and DrawOverlayer do.
    // The screens below may also be called outside a render with the state lock held (a
    // derived class drawing one itself, on a thread where no render runs): they copy the
    // snapshot first.
    virtual void DrawLEDMode(Gdiplus::Graphics& g, int& width, int& height, HDC& dc);
    void DrawFileMode(Gdiplus::Graphics& g, int& width, int& height, HDC& dc);
    // Steps the carousel to its next item, once per frame drawn.
    void DrawCarouselMode(Gdiplus::Graphics& g, int& width, int& height);
    void DrawWindowCaptureMode(Gdiplus::Graphics& g, int& width, int& height, HDC& dc);
    // The large sensor value with its label over the file and capture screens.
    void DrawCarousel(Gdiplus::Graphics& g, int& width, int& height, int item);

    // ---- Screens drawn in two parts
    // A still part draws what stays until one of its inputs changes; a moving part draws what
    // each frame adds over it. Both get g as the frame left it (the hint, smoothing and
    // interpolation of the render, no clip, no transform) and set what they need themselves;
    // what a still part sets on g does not reach the moving part.
    using ScreenPart = void (LEDModeCtrl::*)(Gdiplus::Graphics& g, int width, int height, int item);
    // Draws still into the kept layer when the layer is stale, copies the layer onto g, then
    // draws moving over it. screen names the screen: its layout number, 1 to 3 for the carousel
    // item screens, 30 water cooling, 40 weather.
    void DrawLayered(Gdiplus::Graphics& g, int width, int height, int item, int screen, ScreenPart still,
                     ScreenPart moving);
    // Every setter of an input a still part reads (and that is not part of the layer key:
    // values, colours, images, texts) calls it.
    void InvalidateLayers();
    // The temperature sign of this frame, ℉ or ℃, as led_cpushowtype said when the
    // frame's snapshot was taken.
    const wchar_t* TemperatureSign() const;
    // A clock in MHz as a dial sweep: 0 to 300 degrees over kClockFullScaleMHz, clamped.
    static constexpr float kClockFullScaleMHz = 6000.0f;
    static float ClockDialAngle(float mhz);
    // Tests clear it to draw every frame the straightforward way, with no layer.
    bool m_layersCached { true };
    // The pixels the hidden render's last frame gave the encoder, top-down BGRA rows of width
    // pixels (none before its first frame): a bare encode of them is the floor benches measure
    // the frame against.
    void HiddenFramePixels(std::vector<BYTE>& into, int& width, int& height);

    // An image of the record with its pixel size, shared with the snapshot of a frame drawing it.
    struct LcdImage {
        std::shared_ptr<Gdiplus::Image> image;
        int width { 0 };
        int height { 0 };
        // Loads GetSkinPath() + name; false (and no image) when that fails.
        bool Load(const CString& name);
    };

    // ---- Weather, water cooling and dial screens
    // The carousel item screens, one round dial each: memory (items 7 to 10; any other item
    // shows the bare dial), CPU (items 1 to 3) and GPU (items 4 to 6).
    void DrawSystemInfoMode1(Gdiplus::Graphics& g, int& width, int& height, int item);
    void DrawSystemInfoMode2(Gdiplus::Graphics& g, int& width, int& height, int item);
    void DrawSystemInfoMode3(Gdiplus::Graphics& g, int& width, int& height, int item);
    // LED mode 3 and carousel entry 11. No coolant value reaches the library: it reads "N/A".
    void DrawWaterCoolingMode(Gdiplus::Graphics& g, int& width, int& height);
    // LED mode 6: the host's weather texts with their gauges round a clock of the local time.
    void DrawWeatherMode(Gdiplus::Graphics& g, int& width, int& height);
    // A clock hand: the image stands upright on pivot at 0 degrees and turns clockwise about
    // it; pivotOffset is how far its foot reaches past the pivot. Nothing without an image.
    static void DrawHand(Gdiplus::Graphics& g, const LcdPicture& hand, Gdiplus::PointF pivot, float degrees,
                         float pivotOffset);
    // Memory used over used + free, in percent; 0 when the host gave no memory figures.
    static float MemoryPercent(const HARDWARE_INFO& info);
    // The parts of the screens above (screen ids 1 to 3, 30 and 40 of DrawLayered).
    void memoryDialStill(Gdiplus::Graphics& g, int width, int height, int item);
    void memoryDialMoving(Gdiplus::Graphics& g, int width, int height, int item);
    void cpuDialStill(Gdiplus::Graphics& g, int width, int height, int item);
    void cpuDialMoving(Gdiplus::Graphics& g, int width, int height, int item);
    void gpuDialStill(Gdiplus::Graphics& g, int width, int height, int item);
    void gpuDialMoving(Gdiplus::Graphics& g, int width, int height, int item);
    void waterStill(Gdiplus::Graphics& g, int width, int height, int item);
    void waterMoving(Gdiplus::Graphics& g, int width, int height, int item);
    void weatherStill(Gdiplus::Graphics& g, int width, int height, int item);
    void weatherMoving(Gdiplus::Graphics& g, int width, int height, int item);
    // Shared by the three dials: the backdrop, the rim, and the value over its unit.
    void drawDialFace(Gdiplus::Graphics& g, int width, int height, bool opaqueInnerRim);
    void drawDialRings(Gdiplus::Graphics& g, int width, int height);
    void drawDialTexts(Gdiplus::Graphics& g, int width, int height, const CString& value, const wchar_t* unit,
                       bool largeValue);
    // The CPU dial's hub and the GPU dial's glass, hub and rings, which lie over their gauges.
    void drawCpuHub(Gdiplus::Graphics& g, int width, int height);
    void drawGpuCover(Gdiplus::Graphics& g, int width, int height);
    // Keeps the dial g shows in kept slot 0 (CPU) or 1 (GPU), to draw it covered by the gauge;
    // shows that copy through the gauge shape of the screen resources.
    HDC keepDial(Gdiplus::Graphics& g, int slot, int width, int height);
    void showGauge(Gdiplus::Graphics& g, int slot);
    // The drawing resources of this frame's screen, their fonts made for the control's face, style and scale.
    LcdScreenResources& screenResources();
    std::unique_ptr<LcdScreenResources, LcdScreenResourcesDeleter> m_screenResources;
    // ---- end of weather, water cooling and dial screens

    // ---- System-information layouts
    // Layouts 11 to 16 (round dials) and 21 to 26 (plain) of LED mode 2, each drawn through
    // DrawLayered with its number as the screen. item picks the device or the value shown;
    // width and height are the frame's and stay unchanged.
    void DrawSystemInfoMode11(Gdiplus::Graphics& g, int& width, int& height, int item);
    void DrawSystemInfoMode12(Gdiplus::Graphics& g, int& width, int& height, int item);
    void DrawSystemInfoMode13(Gdiplus::Graphics& g, int& width, int& height, int item);
    void DrawSystemInfoMode14(Gdiplus::Graphics& g, int& width, int& height, int item);
    void DrawSystemInfoMode15(Gdiplus::Graphics& g, int& width, int& height, int item);
    void DrawSystemInfoMode16(Gdiplus::Graphics& g, int& width, int& height, int item);
    void DrawSystemInfoMode21(Gdiplus::Graphics& g, int& width, int& height, int item);
    void DrawSystemInfoMode22(Gdiplus::Graphics& g, int& width, int& height, int item);
    void DrawSystemInfoMode23(Gdiplus::Graphics& g, int& width, int& height, int item);
    void DrawSystemInfoMode24(Gdiplus::Graphics& g, int& width, int& height, int item);
    void DrawSystemInfoMode25(Gdiplus::Graphics& g, int& width, int& height, int item);
    void DrawSystemInfoMode26(Gdiplus::Graphics& g, int& width, int& height, int item);
    // Layout 16 sets it for the frame it draws: the render keeps that frame's dimming inside
    // the inscribed ellipse, as the layout's clip does with everything else.
    bool m_dimInsideEllipse { false };
    void drawSystemInfoLayout(Gdiplus::Graphics& g, int width, int height, int item, int layout);
    void drawLayoutStill(Gdiplus::Graphics& g, int width, int height, int item);
    void drawLayoutMoving(Gdiplus::Graphics& g, int width, int height, int item);
    // What the layout being drawn reads; sensor values only for its moving part.
    LcdLayoutScene layoutScene(int width, int height, int item, bool withValues);
    // The layouts' drawing resources, their fonts made for the control's face and the scale.
    LcdLayoutResources& layoutResources();
    int m_layoutDrawn { 0 };
    std::unique_ptr<LcdLayoutResources, LcdLayoutResourcesDeleter> m_layoutResources;
    // ---- end of system-information layouts

    // ---- Clock faces
    // LED mode 7. Screen types 1 and 3 draw the round face of the clock style, any other type
    // the wide face of that number; a style outside 1 to 8 keeps the render's black base.
    void DrawClockMode(Gdiplus::Graphics& g, int& width, int& height);
    // One table each: the round faces (lcd/screens/LEDModeCtrlClock.cpp) and the wide faces
    // (lcd/screens/LEDModeCtrlClockWide.cpp).
    void DrawClockModeStyle1(Gdiplus::Graphics& g, int& width, int& height);
    void DrawClockModeStyle2(Gdiplus::Graphics& g, int& width, int& height);
    void DrawClockModeStyle3(Gdiplus::Graphics& g, int& width, int& height);
    void DrawClockModeStyle4(Gdiplus::Graphics& g, int& width, int& height);
    void DrawClockModeStyle5(Gdiplus::Graphics& g, int& width, int& height);
    void DrawClockModeStyle6(Gdiplus::Graphics& g, int& width, int& height);
    void DrawClockModeStyle7(Gdiplus::Graphics& g, int& width, int& height);
    void DrawClockModeStyle8(Gdiplus::Graphics& g, int& width, int& height);
    void DrawClock2ModeStyle1(Gdiplus::Graphics& g, int& width, int& height);
    void DrawClock2ModeStyle2(Gdiplus::Graphics& g, int& width, int& height);
    void DrawClock2ModeStyle3(Gdiplus::Graphics& g, int& width, int& height);
    void DrawClock2ModeStyle4(Gdiplus::Graphics& g, int& width, int& height);
    void DrawClock2ModeStyle5(Gdiplus::Graphics& g, int& width, int& height);
    void DrawClock2ModeStyle6(Gdiplus::Graphics& g, int& width, int& height);
    void DrawClock2ModeStyle7(Gdiplus::Graphics& g, int& width, int& height);
    void DrawClock2ModeStyle8(Gdiplus::Graphics& g, int& width, int& height);
    // Draws face with the local time read once: the ground and background of its screen kind
    // and its elements, through the still layer (screen 70 + number round, 80 + number wide).
    void DrawClockFace(Gdiplus::Graphics& g, int width, int height, const ClockFace& face);
    // The face's still and moving parts for DrawLayered; item is the date and the background.
    void clockStill(Gdiplus::Graphics& g, int width, int height, int item);
    void clockMoving(Gdiplus::Graphics& g, int width, int height, int item);
    // The clock background of this frame: none, a still picture, a GIF frame or a video frame.
    enum class ClockBackdrop { None, Picture, GifFrame, VideoFrame };
    ClockBackdrop clockBackdrop(const ClockFace& face);
    void drawClockGround(Gdiplus::Graphics& g, int width, int height);
    bool clipsToCircle() const;
    void clipClockFace(Gdiplus::Graphics& g, int width, int height);
    void drawClockBackdrop(Gdiplus::Graphics& g);
    // Over a GIF or video: the background frame, the still elements' transparent layer laid
    // over it, then the moving elements (item and screen as for DrawLayered).
    void drawOverMovingBackdrop(Gdiplus::Graphics& g, int width, int height, int item, int screen);
    bool drawStillOverlay(Gdiplus::Graphics& g, HDC dc, int width, int height, int item, int screen);
    bool drawKeptHands(Gdiplus::Graphics& g, HDC dc, int width, int height, int item, int screen);
    bool drawKeptElements(ClockKeptElements& kept, Gdiplus::Graphics& g, HDC dc, int width, int height,
                          int item, int screen, ClockPass pass, int second);
    bool drawGifBackdrop(Gdiplus::Graphics& g, HDC dc, HRGN clip, int width, int height);
    void drawVideoBackdrop(HDC dc, HRGN clip, int width, int height);
    ClockBackdrop m_clockBackdrop { ClockBackdrop::None };
    std::unique_ptr<ClockBackdropLayers, ClockBackdropLayersDeleter> m_clockBackdropLayers;
    std::unique_ptr<ClockFacePainter, ClockFacePainterDeleter> m_clockPainter;
    // ---- end of clock faces

    // One render at a time: the visible render of the window's paint, the hidden render of the
    // tick and of a host calling DrawHideControl on its own thread. They share the screens'
    // GDI+ objects and the still layer, and the hidden ones one surface and encoder.
    CriticalSection m_renderLock;
    CriticalSection m_stateLock;
    CriticalSection m_frameLock;

    int m_ledMode { LEDModeNone };
    int m_screenType { LEDScreenCircle };
    bool m_switch { true };
    float m_brightness { 255.0f };
    int m_speed { 99 };
    int m_rotation { 0 };
    Gdiplus::Color m_titleColor { 0xFFFFFFFF };

    // Frame clock, fast-timer thread only: the period began at m_lastFrameTime (TimeSource).
    int m_framePeriod { 30 };
    DWORD m_lastFrameTime { 0 };
    bool m_shown { false };

    // Media of the file screen and of the clock background
    LcdImage m_media;
    int m_frameIndex { 0 };
    int m_frameCount { 0 };
    CPoint m_imageCentre;
    float m_imageScale { 1.0f };
    int m_clockFrameIndex { 0 };
    int m_clockFrameCount { 0 };
    int m_clockStyle { 1 };
    // ---- Media sources (record)
    int m_mediaKind { MediaKindPicture };
    LcdImage m_clockBackground;
    int m_clockMediaKind { MediaKindPicture };
    // Changes with every clock background set: what was drawn of the last one is stale.
    unsigned m_clockMediaSerial { 0 };
    // Made by the first video load or frame drawn; null until then.
    VideoClipPtr m_video;
    // The open video is the clock background's, not the file screen's: the clock's next
    // medium, whatever its kind, closes it.
    bool m_videoIsClocks { false };
    // The video of the file screen: one frame on, reading or seeking as far as it must.
    // False when there is no video to step (the tick then asks for no repaint).
    bool stepFileVideo();
    // The clock video brought to the clock frame by reading on; a seek only when it is far off.
    void followClockVideo();
    // The last decoded frame of the file video, when the capture is open.
    void drawVideoFrame(Gdiplus::Graphics& g, HDC& dc);
    VideoClip& video();
    // Make the loaded image (gifFrames frames with their delays, for a GIF) the file medium or
    // the clock background and set the frame period from the delays; false (and no image
    // kept) for a GIF without frame dimensions. Under the state lock: the file was read before.
    bool takeFilePicture(std::unique_ptr<Gdiplus::Image> image, int gifFrames, const std::vector<int>& delays);
    bool takeClockPicture(std::unique_ptr<Gdiplus::Image> image, int kind, int gifFrames,
                          const std::vector<int>& delays);
    // ---- end of media sources (record)

    // Window capture of LED mode 5
    HWND m_captureWindow { nullptr };
    CPoint m_capturePan;
    float m_captureScale { 1.0f };

    // Sensor values and the screens' choices
    HARDWARE_INFO m_hardwareInfo {};
    int m_hardwareItem { HardwareCpuTemperature };
    int m_sensorLayout { SensorLayoutDial1 };
    std::vector<UINT> m_carouselList;
    int m_carouselIndex { 1 };

    // Carousel text
    Gdiplus::Color m_carouselColour { 0xFFFFFFFF };
    int m_carouselTextSize { 30 };
    float m_carouselWidthFactor { 1.0f };
    CPoint m_carouselPosition;
    RECT m_carouselRect { 0, 0, 0, 0 };
    DWORD m_carouselStepTime { 0 };

    // Colours and texts of the screens
    Gdiplus::Color m_backgroundColour { 0xFF010101 };
    Gdiplus::Color m_valueColour { 0xFF9D1D96 };
    Gdiplus::Color m_accentColour { 0xFF9D1D96 };
    CString m_weatherText[7] { L"\x5E7F\x4E1C\xFF65\x6DF1\x5733", L"20\x2103", L"7", L"37", L"10", L"22", L"\x6674" };
    Gdiplus::Color m_weatherColour[6] { 0xFFFFFFFF, 0xFFFFFFFF, 0xFF39B7D0, 0xFF60D064, 0xFF9D1D96, 0xFFF85953 };

    // Images set from the skin folder
    LcdImage m_background;
    LcdImage m_stripImage;
    LcdImage m_icons[3];
    LcdImage m_cpuScale[2];
    LcdImage m_gpuScale[2];
    LcdImage m_memoryScale[2];
    LcdImage m_dial;
    LcdImage m_hands[3];

    // Pointer input
    int m_dragging { 0 };
    CPoint m_lastPoint;

    // ---- Mode dispatch of the system-information mode (protected)
    // LED mode 2: the layout of the sensor layout, with the hardware item.
    void DrawSystemInfoMode(Gdiplus::Graphics& g, int& width, int& height);
    // ---- end of the system-information dispatch

    // ---- Sensor slots and overlay texts (protected)
    // Every overlay text whose first line is set; selected non-zero frames the selected one.
    // No render calls these: a derived class draws them over its frames.
    void DrawLayer(Gdiplus::Graphics& g, CRect rect, int selected);
    // The slots, in the file mode only.
    void DrawOverlayer(Gdiplus::Graphics& g, int& width, int& height);
    std::vector<OverLayerInfo> m_overlayers;
    std::vector<SensorLayerInfo> m_sensorSlots;
    int m_hoveredSlot { -1 };
    int m_selectedLayer { -1 };   // a position in the overlay list, though the pointer sets slots
    int m_swapTarget { 0 };
    int m_editStatus { 1 };       // kept for the host; nothing drawn depends on it
    // ---- end of sensor slots and overlay texts (protected)

private:
    // ---- The frame's snapshot
    // What the screens read: the snapshot of the frame being drawn.
    const LcdFrameSnapshot& snapshot() const;
    // Copies the record into the snapshot. Under the state lock.
    void takeSnapshot();
    // The number of the paint manager the control draws for (0 for none), a new one whenever
    // it is given a manager or its manager changes, never the same for two managers: what is
    // made of a manager's fonts is kept by this number, not by its address, which a later
    // manager may take. Under the state lock.
    unsigned managerSerial();
    void noteManager(PaintManager* manager);
    PaintManager* m_numberedManager { nullptr };
    unsigned m_managerSerial { 0 };
    // Marks the calling thread as drawing a frame for the scope's life. The outermost scope of
    // a thread copies the snapshot first, under the state lock, which it holds for the copy
    // only: the renders open one, and so does every screen a derived class calls on its own.
    class FrameScope {
    public:
        explicit FrameScope(LEDModeCtrl& lcd);
        ~FrameScope();
        FrameScope(const FrameScope&) = delete;
        FrameScope& operator=(const FrameScope&) = delete;

    private:
        LEDModeCtrl& m_lcd;
        bool m_outermost { false };
    };
    std::unique_ptr<LcdFrameSnapshot, LcdFrameSnapshotDeleter> m_snapshot;
    // The thread inside a FrameScope; 0 when none.
    std::atomic<DWORD> m_drawingThread { 0 };
    // Steps the carousel index (every call for the carousel screens, every two seconds for the
    // carousel text) and gives the item it lands on; false for an empty list. Takes the state
    // lock for the step only: the index and the list are the record's.
    bool nextCarouselItem(bool everyCall, int& item);
    // ---- end of the frame's snapshot

    // Copies
    void makeOwnParts();
    void copyValuesFrom(const LEDModeCtrl& other);

    // Frame pipeline
    void readStoredSettings();
    void allocateBuffers();
    void requestRepaint();
    // False when the medium of the mode cannot step: no repaint is asked for then.
    bool advanceMedia(DWORD periods);
    bool modeRequestsRepaint() const;
    void renderFrame(LcdFramePipeline& pipeline);
    void drawFrame(LcdFramePipeline& pipeline, HDC& dc);
    int jpegQuality() const;
    void publish(LcdFramePipeline& pipeline, int quality, int degrees);
    void storeFrame(const BYTE* jpeg, int size);

    // Carousel text, images and pointer helpers
    void stepCarouselText(Gdiplus::Graphics& g, int& width, int& height);
    const Gdiplus::FontFamily* cjkFamily();
    const Gdiplus::Font* carouselFont(const CString& text);
    CPoint defaultCarouselPosition() const;
    int loadImage(LcdImage& target, const CString& name);
    void takeImage(LcdImage& target, LcdImage& fresh, bool loaded);

    std::unique_ptr<BYTE[]> m_front;
    std::unique_ptr<BYTE[]> m_back;
    int m_frontLength { 0 };
    int m_backLength { 0 };
    int m_capacity { 0 };

    // The TimeSource millisecond of the last frame the window's paint published; the tick
    // publishes itself when it falls a few periods behind (the window's thread is busy).
    std::atomic<DWORD> m_lastPaintedFrame { 0 };
    bool paintIsStalled(DWORD now, DWORD period) const;

    // The still layer of the screen being shown, and the key of a layer of screen and item
    // drawn on g for this frame.
    LcdLayerKey layerKey(Gdiplus::Graphics& g, int width, int height, int item, int screen) const;
    std::unique_ptr<LcdLayerCache> m_layers;
    // The texts the screens draw, kept as the pictures they lay over a frame; made at first use.
    std::unique_ptr<LcdTextStamps> m_textStamps;
    // The stamps while the layers are kept; none when a screen is drawn whole.
    LcdTextStamps* textStamps();
    unsigned m_layerVersion { 0 };

    std::unique_ptr<LcdFramePipeline> m_visiblePipeline;
    std::unique_ptr<LcdFramePipeline> m_hiddenPipeline;

    // Built once, used by both renders under the render lock.
    std::unique_ptr<Gdiplus::SolidBrush> m_carouselBrush;
    std::unique_ptr<Gdiplus::StringFormat> m_centredFormat;
    struct CarouselFont {
        std::unique_ptr<Gdiplus::Font> font;
        const Gdiplus::FontFamily* family { nullptr };
        unsigned managerSerial { 0 };
        float size { 0 };
        Gdiplus::FontStyle style { Gdiplus::FontStyleRegular };
    };
    CarouselFont m_carouselFonts[2]; // the product's face, and the face with Chinese glyphs
    std::unique_ptr<Gdiplus::FontFamily> m_cjkFamily;

    // ---- Sensor slots and overlay texts (private)
    // The kept font of fonts[0] (the face) or fonts[1] (Chinese text), rebuilt when its face,
    // size, style or paint manager (managerSerial) changes. Null when no face can be had.
    const Gdiplus::Font* keptFont(CarouselFont (&fonts)[2], unsigned managerSerial, bool chinese, const wchar_t* face,
                                  float size, Gdiplus::FontStyle style);
    static bool hasChineseGlyphs(const CString& text);
    void placeSensorSlots();
    void selectLayer(int index);
    void hoverSensorSlot(CPoint pt);
    void drawOverlayText(Gdiplus::Graphics& g, OverLayerInfo& info, bool selected);
    void drawSensorSlot(Gdiplus::Graphics& g, const SensorLayerInfo& slot, bool hovered);
    CarouselFont m_overlayFonts[2];
    CarouselFont m_slotLabelFonts[2];
    CarouselFont m_slotValueFonts[2];
    std::unique_ptr<Gdiplus::SolidBrush> m_overlayBrush { new Gdiplus::SolidBrush(Gdiplus::Color(0xFFFFFFFF)) };
    std::unique_ptr<Gdiplus::Pen> m_overlayPen { new Gdiplus::Pen(Gdiplus::Color(0xFFFFFFFF), 1.0f) };
    // ---- end of sensor slots and overlay texts (private)
};

} // namespace KOVA
