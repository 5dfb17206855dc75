#pragma once
// The fan LED preview of 18-LED fans: each fan's ring of dots under the fan picture, a label
// strip "RGB# n" and a forward / reverse toggle pair under it. A toggle click reports the
// fan's new direction (code 2, lParam 1 forward, 2 reverse). The host pulls each fan's 54
// colour bytes with GetFanColorData. See FanPreview for the engine, threads and locks.
#include "devices/cooling/FanPreview.h"

namespace KOVA {

class KOVA_API CFan2DevCtrl : public FanPreview {
public:
    CFan2DevCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    CFan2DevCtrl(const CFan2DevCtrl& other) = default;
    CFan2DevCtrl& operator=(const CFan2DevCtrl& other) = default;
    ~CFan2DevCtrl() override;

    // The two-frame direction toggle strip from the skin folder: 1 when it loaded.
    int SetRotateImage(const wchar_t* file);
    void AddFan(int type, int channel, int fanInChannel, int column, int row, int ledOffset, int direction);
    // The 54 bytes of slot channel × 5 + place in the channel; slots outside 0..31 are ignored.
    void GetFanColorData(int slot, unsigned char* out);
    void GetLEDItemRect(int type, int ringPos, int x, int y, double zoom, CRect& out) override;
    // The place in a slot of a ring position: (28 - position) mod 18; 0 outside 0..17.
    int GetLEDRealPosIndex(int ringPos) const;

protected:
    void PlaceButtons(int cell, double zoom) override;
    void DrawStill(Gdiplus::Graphics& graphics, float scale, float zoomCap) override;
    int BufferPlace(const FAN_LED_INFO& led, int layerMode) const override;
    void OnFanClick(CPoint pt) override;

private:
    void drawToggle(Gdiplus::Graphics& graphics, const CRect& place, bool on, const CString& word,
                    const Gdiplus::Font* font) const;

    NotCopied<std::unique_ptr<Gdiplus::Image>> m_toggleImage;
    int m_toggleFrameWidth { 0 };
    int m_toggleFrameHeight { 0 };
};

} // namespace KOVA
