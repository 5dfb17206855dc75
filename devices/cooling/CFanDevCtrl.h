#pragma once
// The fan LED preview of 8-LED (ARGB) fans grouped by controller channel: each fan's ring of
// dots under the fan picture, an "ARGB n" strip under the first fan of each channel, and on
// the hovered fan two rotate buttons that turn where LED 0 sits on the ring. Every release
// that ends no rubber band reports code 2 (wParam 0, lParam 0). It ticks only while its run
// flag is set and it is shown. The host pulls each channel's 96 colour bytes with
// GetFanColorData. See FanPreview for the engine, threads and locks.
#include "devices/cooling/FanPreview.h"

namespace KOVA {

class KOVA_API CFanDevCtrl : public FanPreview {
public:
    CFanDevCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    CFanDevCtrl(const CFanDevCtrl& other) = default;
    CFanDevCtrl& operator=(const CFanDevCtrl& other) = default;
    ~CFanDevCtrl() override;

    // The two-frame rotate strips from the skin folder: 1 when they loaded.
    int SetRotateLeftImage(const wchar_t* file);
    int SetRotateRightImage(const wchar_t* file);
    void AddFan(int type, int channel, int fanInChannel, int column, int row, int ledOffset);
    // The 96 bytes of a channel; channels outside 0..9 are ignored.
    void GetFanColorData(int channel, unsigned char* out);
    void GetLEDItemRect(int type, int ringPos, int x, int y, double zoom, CRect& out) override;

protected:
    void PlaceButtons(int cell, double zoom) override;
    void DrawStill(Gdiplus::Graphics& graphics, float scale, float zoomCap) override;
    int BufferPlace(const FAN_LED_INFO& led, int layerMode) const override;
    bool TicksNow() override;
    void OnFanClick(CPoint pt) override;

private:
    struct Strip {
        Strip() = default;
        Strip(const Strip&) {}
        Strip& operator=(const Strip&) { return *this; }
        // The strip's picture from the skin folder; null when it does not load.
        static std::unique_ptr<Gdiplus::Image> decode(const wchar_t* file);
        void take(std::unique_ptr<Gdiplus::Image> loaded);
        std::unique_ptr<Gdiplus::Image> image;
        int frameWidth { 0 };
        int frameHeight { 0 };
    };
    // Loads outside the list lock, then swaps the picture in under it: 1 when it loaded.
    int setStrip(Strip& strip, const wchar_t* file);
    void drawButton(Gdiplus::Graphics& graphics, const Strip& strip, const CRect& place, const CRect& cell) const;

    Strip m_left;
    Strip m_right;
};

} // namespace KOVA
