#pragma once
// An analogue clock beside the LCD renderer. In its window it shows its control image stretched
// over itself; on request it renders the device's raw 480 × 480 frame: the control image with
// the second hand at the local time. The dial and the hour and minute hands are kept for the
// host; neither picture draws them.
//
// Locks: one lock of the control guards its images and its kept frame ground. The setters
// (GUI thread) swap under it, GetLEDData (any thread) draws under it (from its own copy of the
// control image) and takes nothing else, and the window's paint takes it after the paint
// manager's locks.
#include "platform/Win32.h"

#include <memory>

#include "lcd/timed/LcdTimedView.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/CriticalSection.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class KOVA_API ClockCtrl : public LcdTimedView {
public:
    ClockCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the value fields only: no image, no kept ground, a lock of its own.
    ClockCtrl(const ClockCtrl& other);
    ClockCtrl& operator=(const ClockCtrl& other);
    ~ClockCtrl() override;

    const wchar_t* GetClassNameW() const override;
    // The control image, through the window's image cache; the frame takes it from then on.
    using MControlFont::SetImage;
    int SetImage(const wchar_t* path, int count) override;
    int SetImage(UINT resourceId, CString type, int count) override;

    // Files relative to the skin folder; each replaces (and frees) the old image, and a file
    // that does not load leaves none.
    void SetCircleImage(CString fileName);
    void SetHMSImage(CString hourFile, CString minuteFile, CString secondFile);

    // The raw frame: 480 rows top to bottom of 480 pixels, blue, green, red, alpha (921,600
    // bytes), what no image covers 0x00FF00FF. False, buffer untouched, for a null buffer,
    // without a paint manager bound to a window, or when the frame's surface cannot be made.
    bool GetLEDData(BYTE* buffer);
    // A top-down 32-bit DIB section; bits receives its pixels. Null on failure.
    HBITMAP CreateARGB32Bitmap(HDC dc, int width, int height, BYTE** bits);

    static constexpr int kFrameSide = 480;
    static constexpr int kFrameBytes = kFrameSide * kFrameSide * 4;

protected:
    // The control image stretched over the whole picture; no hand.
    void PaintPicture(HDC picture, int width, int height) override;

private:
    struct Picture {
        std::unique_ptr<Gdiplus::Image> image;
        int width { 0 };
        int height { 0 };
        void load(const CString& fileName);
    };
    // The frame's kept ground (ClockCtrl.cpp).
    struct Frame;
    struct FrameDeleter {
        void operator()(Frame* frame) const;
    };

    bool prepareFrame();
    void drawSecondHand(BYTE* frame);
    void keepGroundImage();

    CriticalSection m_lock;
    NotCopied<Picture> m_circle;
    NotCopied<Picture> m_hands[3];   // hour, minute, second
    NotCopied<std::unique_ptr<Frame, FrameDeleter>> m_frame;
    // The frame's own copy of the control image, and its version (the frame's ground is
    // painted again when it changes).
    NotCopied<std::unique_ptr<Gdiplus::Image>> m_groundImage;
    NotCopied<unsigned> m_groundVersion;
};

} // namespace KOVA
