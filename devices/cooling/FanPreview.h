#pragma once
// The one engine of both fan LED previews: fans with rings of addressable LEDs laid out in a
// grid, light layers that step their effects on the fast timer by wall-clock milliseconds,
// their combination into one colour per LED and into the byte buffer the host pulls for the
// fan controller, the rubber band that picks the LEDs of the first layer, and the drawing of
// the dots under a cached picture of everything that does not change with the colours.
// The two previews differ only by the data of FanPreviewKind and by what they draw and hit
// under each fan (direction toggles or rotate buttons).
//
// Threads and locks: the host's GUI thread calls the setters and sends the input; the tick
// (OnControlTimer) runs on the multimedia-timer thread. The list lock guards the fans and the
// control-wide LED list, the layer lock the layers, their copies and the effects' working
// arrays; whoever takes both takes the list lock first (EnterCS does so for the host). Both
// are re-entrant, so a host holding them through EnterCS may still call every member. The
// buffer lock is a leaf held only to publish a finished tick and to copy it out. Nothing is
// notified and no repaint is asked for while the list or layer lock is held.
#include "platform/Win32.h"

#include <array>
#include <atomic>
#include <memory>
#include <vector>

#include "devices/cooling/FanRecords.h"
#include "framework/MControlFont.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CriticalSection.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

// What sets one preview apart from the other: ring size, geometry and the effects' tables.
struct FanPreviewKind {
    int ledsPerFan;
    int nativeCell;     // cell side at zoom 1 and scale 1
    int slotCount;      // blocks of the colour buffer
    int slotBytes;
    int colorTableSize; // entries of the colour table FrequencyFlashes cycles through
    int wheelSpacing;   // wheel positions between neighbouring LEDs of RainbowWheel
    const unsigned char* infinitePath;
    int infinitePathLength;
    const POINT* dreamPoints; // DreamSpectrum's grid point of each LED number
    int custom1lLast;         // Custom1l's counter runs 0..last
    int custom1lMirror;       // counter k lights k and (mirror - k) mod LEDs per fan
    int custom1lLitUpTo;      // counters above this are dark
    bool sunnyTurnsAtZero;    // the 8-LED sweep turns back at 0 and keeps its place
};

class KOVA_API FanPreview : public MControlFont {
public:
    FanPreview(MObject* parent, UINT id, CRect rect, int visible, int enabled, const FanPreviewKind& kind);
    // A copy takes the value fields only: locks of its own, no fans, layers or pictures.
    FanPreview(const FanPreview& other) = default;
    FanPreview& operator=(const FanPreview& other) = default;
    ~FanPreview() override;

    // The fan picture from the skin folder: 1 when it loaded.
    int SetFan2Image(const wchar_t* file);

    void EnterCS();
    void LeaveCS();

    // Fans and LEDs
    void RefreshLedItemRect();
    void RefreshLayerLed();
    void RefreshLedPosistion();
    void ClearList();
    FAN_INFO* GetFanInfo(int index);
    std::vector<FAN_INFO*> GetFanItems();
    int GetFanDevCount();
    void SetMonoSyncMode(int mode);
    void SetAllFanColor(DWORD color);
    void SetFanItemColor(int, DWORD) {}
    int GetSelectDevice() { return 0; }
    int GetSelectDeviceItem() { return m_selectedFan; }
    void CalFrameSelect();
    virtual void GetLEDItemRect(int type, int ringPos, int x, int y, double zoom, CRect& out) = 0;

    // Light layers; an index outside the list is ignored.
    void AddLightLayer(DWORD device, int mode, int brightness, int speed, int direction, int unused, DWORD color1,
                       DWORD color2, bool show);
    void ClearLightLayer();
    int DeleteItem(int layer);
    void UpdateLightLayerDevice();
    void SetLightMode(int layer, int mode);
    void SetSelectDev(int layer, DWORD device, int check);
    void SetShowState(int layer, bool show);
    void SetBrightness(int layer, int value);
    void SetSpeed(int layer, int speed);
    void SetDirection(int layer, int direction);
    void SetColor(int layer, DWORD color1, DWORD color2);
    void SetColorFul(int layer, int flag);
    void SetSensorDeviceType(int layer, int type);
    void SetSensorTemperatureValue(int layer, int brightness, int low, int high);
    void SetSensorTemperatureColor(int layer, int lowColor, int midColor, int highColor);
    // The first layer of the mode: its LED copy i, when selected, takes colors[i]. This form
    // reads one colour for every LED of every fan of the preview (GetFanDevCount × LEDs per
    // fan): the host's array must hold that many.
    void SetFanLightEffect(int mode, DWORD* colors);
    // The same, reading no more than count colours: the LEDs past them keep their colours.
    void SetFanLightEffect(int mode, const DWORD* colors, int count);
    void SetDevTemperature(int t1, int t2, int t3);
    // Milliseconds of the library's clock (TimeSource), which tests may pin.
    unsigned long long GetCurMillSeconds();

    // Position on the 1530-step colour wheel (taken modulo 1530) to a COLORREF.
    static DWORD ColorWheelToRGB(int position);
    static DWORD HSVToRGB(int hue, BYTE saturation, BYTE value);

    void DrawControl(HDC& dc, CRect paintRect) override;
    void SetControlRect(CRect rect) override;
    int OnControlTimer() override;
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
    // A band starts only from a press inside the preview and ends on that button's release.
    int OnControlRButtonDown(UINT keys, CPoint pt) override;
    int OnControlRButtonUp(UINT keys, CPoint pt) override;

protected:
    void AddFanRecord(int type, int channel, int fanInChannel, int column, int row, int ledOffset, int direction);
    // The block's bytes into out: a block inside the buffer of a preview with fans only.
    void CopyBlock(int block, unsigned char* out);
    int GetFanAngle(int a, int b) const;
    // Where cell scales from the native cell: the scaled pixels of a native size at zoom.
    double Zoom() const { return m_zoom; }
    static int Scaled(int native, double zoom);
    // The fan whose cell (grown downward by extraBelow) holds the client point, from first.
    int FanAt(CPoint pt, int extraBelow, size_t first = 0) const;
    // The ring of a fan follows a changed offset. Under the list lock.
    void SetFanOffset(FAN_INFO& fan, int offset);
    // After a click: both locks, then the ring order and the layers' copies, repaint, note.
    // The note (code 2, wParam 0, lParam note) is sent last, holding no lock; -1 sends none.
    void FinishClick(int note);
    // The still picture changed (a direction, the hover, a picture): draw it again.
    void StillChanged() { ++m_stillVersion; }
    int HoverFan() const { return m_hoverFan; }
    // A bold font of the control's face at size pixels; null without any font.
    std::unique_ptr<Gdiplus::Font> BoldFont(float size);

    // What the two previews draw and hit differently.
    virtual void PlaceButtons(int cell, double zoom) = 0;
    // Everything drawn over the dots that changes only with StillChanged or the layout; under
    // the list lock, on a transparent picture of the control's size.
    virtual void DrawStill(Gdiplus::Graphics& graphics, float scale, float zoomCap) = 0;
    // Byte offset of an LED lit by a layer of this mode, or -1 outside the buffer.
    virtual int BufferPlace(const FAN_LED_INFO& led, int layerMode) const = 0;
    // Whether the tick steps the layers; read under the list lock.
    virtual bool TicksNow() { return true; }
    // A left-button release without a rubber band; the handler owns locks, repaint and note.
    virtual void OnFanClick(CPoint pt) = 0;

    // The effects; each steps one layer under the layer lock.
    void SetFanLightColor(LAYER_INFO* layer);
    void UpdateTemperatureEffect(LAYER_INFO* layer);
    void UpdateDreamSpectrumEffect(LAYER_INFO* layer);
    void UpdateRainbowEffect(LAYER_INFO* layer);
    void UpdateRainbowWaveEffect(LAYER_INFO* layer);
    void UpdateRainbowChannelEffect(LAYER_INFO* layer);
    void UpdateFrequencyFlashesEffect(LAYER_INFO* layer);
    void UpdateMarqueeEffect(LAYER_INFO* layer);
    void UpdateInfiniteEffect(LAYER_INFO* layer);
    void UpdateSunnyEffect(LAYER_INFO* layer);
    void UpdateColorWheelEffect(LAYER_INFO* layer);
    // Kept for derived previews: these two do nothing.
    void UpdateRainbow1ChannelEffect() {}
    void UpdateColorWheelEffect() {}
    void UpdateBreathEffect(LAYER_INFO* layer);
    void UpdateRainbowWheelEffect(LAYER_INFO* layer);
    void UpdateColorConvectionEffect(LAYER_INFO* layer);
    void UpdateCustom1lEffect(LAYER_INFO* layer);
    void UpdateStaticEffect(LAYER_INFO* layer);
    // Every LED of the control red and blue in turn, each at least 500 ms, whatever the layers.
    void UpdateFrequencyFlashesEffect();

    const FanPreviewKind* m_kind;
    NotCopied<std::vector<std::unique_ptr<FAN_INFO>>> m_fans;
    NotCopied<std::vector<std::unique_ptr<FAN_LED_INFO>>> m_ledStore;
    // Every LED of every fan: creation order, after a click ring order.
    NotCopied<std::vector<FAN_LED_INFO*>> m_leds;
    NotCopied<std::vector<std::unique_ptr<LAYER_INFO>>> m_layers;
    CriticalSection m_listLock;
    CriticalSection m_layerLock;
    int m_selectedFan { 0 };
    NotCopied<std::unique_ptr<Gdiplus::Image>> m_fanImage;
    int m_fanImageWidth { 0 };
    int m_fanImageHeight { 0 };
    CRect m_buttonA; // forward or rotate-left, relative to a cell's top-left
    CRect m_buttonB; // reverse or rotate-right

private:
    using Effect = void (FanPreview::*)(LAYER_INFO*);
    struct ModeStep {
        int mode;
        int perSpeed;  // interval = perSpeed × speed value ms
        int fixed;     // or this many ms when perSpeed is 0
        Effect effect;
    };
    static const ModeStep* stepOf(int mode);

    bool layerAt(int layer) const;
    void sizeWorkingArrays();
    void resetCopies(LAYER_INFO& layer, bool keepSelection);
    void clearLayerColors(LAYER_INFO& layer);
    void giveOut(LAYER_INFO& layer, bool blankUnselected);
    DWORD randomColor() const;
    void alternate(LAYER_INFO& layer);
    void stepLayers(unsigned long long now);
    void combineLayers();
    void publish();
    void askRepaint(unsigned long long now);
    void repaint() { UpdateControl(1, 0); }
    void drawDots(HDC dc);
    void drawStillLayer(HDC target);
    CRect stillBounds() const;
    void drawBand(HDC dc) const;
    CRect bandRect() const;
    void moveBand(CPoint pt);
    // A press of button (MK_LBUTTON or MK_RBUTTON) at pt: inside, the band starts there.
    void startBand(CPoint pt, UINT button);
    // The band's fields cleared; true (after a repaint request) when it was shown.
    bool endBand();

    int m_ledCounter { 0 };
    int m_maxColumn { 0 };
    int m_maxRow { 0 };
    double m_zoom { 1.0 };
    int m_hoverFan { -1 };
    int m_frameSelect { 1 };
    int m_bandActive { 0 };
    // The button whose press inside the preview started the band; 0 while none did.
    UINT m_bandButton { 0 };
    CPoint m_bandStart;
    CPoint m_bandNow;
    int m_temperatures[3] {};
    unsigned long long m_lastRepaint { 0 };
    NotCopied<std::atomic<int>> m_fanCount;

    // The effects' working arrays, sized from the LED count outside the tick.
    NotCopied<std::vector<int>> m_levels;
    NotCopied<std::vector<DWORD>> m_hues;
    NotCopied<std::vector<DWORD>> m_out;
    // The tick builds the bytes in one buffer and publishes them whole into the other.
    static constexpr size_t kBufferBytes = 1728;
    std::array<unsigned char, kBufferBytes> m_building {};
    std::array<unsigned char, kBufferBytes> m_published {};
    CriticalSection m_bufferLock;

    // The still picture over the dots, redrawn when its version or the size changed.
    struct StillPicture;
    struct StillPictureDeleter {
        void operator()(StillPicture* picture) const;
    };
    NotCopied<std::unique_ptr<StillPicture, StillPictureDeleter>> m_still;
    unsigned m_stillVersion { 1 };
    unsigned m_stillDrawn { 0 };
    int m_stillLanguage { 0 };
    float m_stillScale { 0 };
};

} // namespace KOVA
