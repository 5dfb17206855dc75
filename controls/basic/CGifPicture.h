#pragma once
// Animated pictures: a multi-frame image stretched over the control, one frame further on
// every step of the fast timer (the image's own delays are not read, so the speed follows the
// host's timer period). CGifPicture plays once from a start frame to the last and then stops
// and hides itself; CGifPicture2 loops for as long as it runs, a step every fifth tick.
#include "platform/Win32.h"

#include <atomic>
#include <memory>

#include "framework/MControlFont.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class KOVA_API CGifPicture : public MControlFont {
public:
    CGifPicture(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy starts still and without frames until it is given an image.
    CGifPicture(const CGifPicture& other) = default;
    CGifPicture& operator=(const CGifPicture& other) = default;
    ~CGifPicture() override;

    void DrawControl(HDC& dc, CRect paintRect) override;
    // The fast-timer tick (multimedia-timer thread): the next frame, and at the end the stop.
    int OnControlTimer() override;
    // The image through the window's image cache (the count is not used). The control draws
    // from a copy of its own: pictures sharing the cached image would otherwise select frames
    // in each other's image, and GDI+ clones keep one frame only under Wine.
    int SetImage(const wchar_t* path, int count) override;
    int SetImage(UINT resourceId, CString type, int count) override;

    // Shows the start frame (kept within the frames) and starts (run non-zero) or stops the
    // animation; 0 and nothing changed for an image of fewer than two frames.
    int SetRunState(int run, int start);
    // Kept for callers; the pointer does not change the animation.
    void SetMouseMoveActive(bool active) { m_mouseMoveActive = active; }

protected:
    // Takes the frame count of the image's first frame dimension (0 without one).
    void OnSetImage(Gdiplus::Image* image);
    // Selects the frame in the control's own image when there is such a frame to animate.
    void SelectActiveFrame(int index);
    // For a subclass that steps frames of its own: the active frame one on, back to 0 past the
    // last, selected in the control's own image. Nothing for fewer than two frames.
    void ActiveNextFrame();
    int IsAnimate() const { return *m_frameCount > 1 ? 1 : 0; }
    // Whether a tick has anything to do: running and shown (on a shown page too).
    bool IsTicking() { return *m_running && m_visible && IsParentVisible(); }
    // The frame after current, 0 past the last.
    int NextFrame(int current) const;
    // Shows the frame at the next paint, which renders it again.
    void ShowFrame(int frame);

    // Read by the timer thread.
    NotCopied<std::atomic<int>> m_frameCount;
    NotCopied<std::atomic<int>> m_currentFrame;
    NotCopied<std::atomic<int>> m_running;
    // The frame ActiveNextFrame stepped to last; the ticks never read it.
    int m_activeFrame { 0 };

private:
    int takeFrames(std::unique_ptr<Gdiplus::Image> frames);

    // GUI thread only: drawn and given its frames there.
    NotCopied<std::unique_ptr<Gdiplus::Image>> m_frames;
    GUID m_frameDimension { Gdiplus::FrameDimensionTime };
    bool m_mouseMoveActive { false };
};

class KOVA_API CGifPicture2 : public CGifPicture {
public:
    CGifPicture2(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    // Loops: a frame further on every fifth tick, never stopping by itself.
    int OnControlTimer() override;

private:
    static constexpr int kTicksPerStep = 5;
    // Timer thread only.
    int m_ticks { 0 };
};

} // namespace KOVA
