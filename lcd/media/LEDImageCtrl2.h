#pragma once
// The start-up and standby medium of the device screen: a preview of the chosen still image,
// animated GIF or video as the LCD will show it (on the round disc, the square or the wide
// screen, played at its own rate by the fast timer), and the exports the host sends to the
// device: the numbered JPEG frames of the start-up animation, the one JPEG of the standby
// screen, and every frame of a GIF. It takes no pointer input and sends no notification.
//
// Threads: the tick runs on the fast-timer thread, everything else on the host's thread. The
// lock guards the picture, the video, its preview frame and the frame index; the tick and the
// paint only try it, so an export that holds it never stalls the fast timer or the window.
#include "platform/Win32.h"

#include <memory>

#include "framework/MPanel.h"
#include "lcd/media/VideoClipHandle.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/CriticalSection.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace cv {
class Mat;
}

namespace KOVA {

class KOVA_API LEDImageCtrl2 : public MPanel {
public:
    LEDImageCtrl2(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the value fields (path, kind, screen type, period...) with no medium loaded.
    LEDImageCtrl2(const LEDImageCtrl2& other) = default;
    LEDImageCtrl2& operator=(const LEDImageCtrl2& other) = default;
    ~LEDImageCtrl2() override;

    const wchar_t* GetClassNameW() const override;

    // The medium
    void SetRun(int run);
    // 1 round and 3 square 480 × 480 screens, any other value 640 × 480.
    void SetLEDType(int type);
    // kind 3 animated GIF, 4 video, any other value a still image (MediaKind).
    void SetImageFile(CString path, int kind);
    // Lets go of the medium (the index is not used): the picture is dropped and a video closed,
    // so the host may delete the file.
    void DeleteItemFile(int index);
    void GetItemInfo(CString& path, int& kind);

    // The exports. Numbered files are "<prefix><n>.jpg" from 0; the folder must exist.
    // Start-up frames, turned clockwise by angle degrees, until their sizes reach 9 MiB (the
    // frame that reaches it is kept).
    void SaveStartUpAnimeImage(CString prefix, float angle);
    // The standby screen: the picture as the preview shows it, turned by angle.
    void SaveSTBYAnimeImage(CString fileName, float angle);
    // Every frame of the GIF at gifPath, turned for the screen; only while a picture is loaded.
    void GetGIF2PAKSize(CString prefix, CString gifPath);

    void DrawControl(HDC& dc, CRect paintRect) override;
    void SetControlRect(CRect rect) override;
    // Fast-timer thread: steps the medium at its own period while the preview shows.
    int OnControlTimer() override;
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;

protected:
    // A decoded video frame stretched onto target with GDI.
    void DrawFrame(HDC& dc, cv::Mat& frame, CRect target);

    static constexpr int kDefaultFramePeriod = 30;

    NotCopied<std::unique_ptr<Gdiplus::Image>> m_picture;
    int m_pictureWidth { 0 };
    int m_pictureHeight { 0 };
    int m_screenType { 1 };
    CString m_mediaPath;
    int m_mediaKind { 0 };
    int m_frameIndex { 0 };
    // The GIF frame the picture has selected (a loaded GIF starts on its first).
    int m_selectedFrame { 0 };
    int m_frameCount { 0 };
    int m_framePeriod { kDefaultFramePeriod };
    DWORD m_lastAdvance { 0 };
    // Holds the capture, its decoded position and the preview frame.
    NotCopied<VideoClipPtr> m_video;
    CriticalSection m_lock;

private:
    void requestRepaint();
    // False when a GIF turns out to have no frames (the screen is left as it was drawn).
    bool loadPicture(const CString& path, int kind);
    void drawScreen(HDC dc, int width, int height, bool withMedium);
    void drawMedium(Gdiplus::Graphics& g, HDC dc, const CRect& screen, bool round);
    // Its body, under m_lock; may throw (OpenCV), which drawMedium turns into nothing drawn.
    bool drawMediumUnlocked(Gdiplus::Graphics& g, HDC dc, const CRect& screen, bool round);
    void exportGifFrames(const CString& prefix, float angle);
    void exportVideoFrames(const CString& prefix, float angle);
};

} // namespace KOVA
