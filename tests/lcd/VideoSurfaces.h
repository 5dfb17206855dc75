#pragma once
// Every surface a video reaches, each giving the picture it shows as a BGR image, so a test can
// compare it with what a player shows (PlayerClips): the video view's paint, the LCD file
// screen, the clock's video background, the media list's thumbnail, the start-up frames, and the
// video view's GIF and MP4 exports.
#include <tuple>
#include <utility>

#include <opencv2/core.hpp>

#include "LcdTestKit.h"
#include "ScratchClip.h"
#include "ScratchFolder.h"

namespace KOVA::test {

constexpr UINT kExportProgress = WM_APP + 5;
inline const CRect kViewPlace(0, 0, 700, 510); // a picture area of 700 × 460 above the play bar
inline const CRect kListPlace(0, 0, 420, 400);
constexpr int kListCellWidth = 100;
constexpr int kPlayBarHeight = 50;

inline cv::Mat bgrOf(const DibCanvas& canvas)
{
    cv::Mat bgr(canvas.height(), canvas.width(), CV_8UC3);
    const std::vector<DWORD> pixels = canvas.rgbPixels();
    for (int y = 0; y < bgr.rows; ++y)
        for (int x = 0; x < bgr.cols; ++x) {
            const DWORD p = pixels[static_cast<size_t>(y) * bgr.cols + x];
            bgr.at<cv::Vec3b>(y, x) = cv::Vec3b(uchar(p), uchar(p >> 8), uchar(p >> 16));
        }
    return bgr;
}

class ClipView : public OpenCVViewCtrl {
public:
    ClipView() : OpenCVViewCtrl(nullptr, 3, kViewPlace, 1, 1) {}
    int frameCount() const { return m_frameCount; }
    CSize size() const { return CSize(m_mediaWidth, m_mediaHeight); }
    void exportRange(int frames) { std::tie(m_rangeStart, m_rangeEnd) = std::make_pair(0, frames); }
    void crop(CRect r) { std::tie(m_cropX, m_cropY, m_cropWidth, m_cropHeight) = std::make_tuple(r.left, r.top, r.Width(), r.Height()); }
    // Where the picture is drawn in the view.
    CRect picture() { return GetImageRect(m_mediaWidth, m_mediaHeight, CRect(0, 0, m_rect.Width(), m_rect.Height() - kPlayBarHeight)); }
    // The picture area as painted.
    cv::Mat look()
    {
        DibCanvas canvas(m_rect.right, m_rect.bottom);
        m_update = 0;
        DrawControl(canvas.dc(), m_rect);
        return bgrOf(canvas)(cv::Rect(0, 0, m_rect.Width(), m_rect.Height() - kPlayBarHeight)).clone();
    }
};

class ClipLcd : public OpenLcd {
public:
    explicit ClipLcd(int screenType) : OpenLcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1)
    {
        SetLEDScreenType(screenType);
    }
    // The published frame after one tick.
    cv::Mat look()
    {
        TimeSource::Advance(1000);
        OnControlTimer();
        return decodeFrame(pullFrame(*this)).bgr;
    }
};

inline cv::Mat fileScreenLook(const CString& path)
{
    ClipLcd lcd(LEDScreenSquare);
    lcd.SetLEDMode(LEDModeFile);
    lcd.ResetLED();
    lcd.SetFileImage(path, MediaKindVideo);
    return lcd.look();
}

inline cv::Mat clockLook(const CString& path)
{
    ClipLcd lcd(LEDScreenCircle);
    lcd.SetColockType(1);
    lcd.SetLEDMode(LEDModeClock);
    lcd.SetClockFileImage(path, MediaKindVideo);
    // The round screen is mounted a quarter turn round: its frames are handed over turned.
    cv::Mat shown = lcd.look();
    if (!shown.empty())
        cv::rotate(shown, shown, cv::ROTATE_90_COUNTERCLOCKWISE);
    return shown;
}

// The media list's first cell; empty when the list took no item.
inline cv::Mat thumbnailLook(const CString& path)
{
    LEDImageCtrl list(nullptr, 9, kListPlace, 1, 1);
    list.SetLEDScreenType(LEDScreenSquare);
    list.AddItem(path, MediaKindVideo);
    if (list.GetItemCount() != 1)
        return {};
    DibCanvas canvas(kListPlace.Width(), kListPlace.Height());
    list.SetUpdate(0, 0);
    list.DrawControl(canvas.dc(), list.GetRect());
    return bgrOf(canvas)(cv::Rect(0, 0, kListCellWidth, kListPlace.Height())).clone();
}

// The first start-up frame the start-up view exports of the video, unturned, as prefix0.jpg;
// the file is deleted again. Empty when none was written.
inline cv::Mat startupFramesLook(const CString& path, const CString& prefix)
{
    LEDImageCtrl2 startup(nullptr, 4, CRect(0, 0, 500, 500), 1, 1);
    startup.SetLEDType(3);
    startup.SetImageFile(path, MediaKindVideo);
    startup.SaveStartUpAnimeImage(prefix, 0);
    startup.DeleteItemFile(0);
    cv::Mat first = decodeFrame(readFile(prefix + L"0.jpg")).bgr;
    for (int n = 0; ::DeleteFileW(prefix + CString(std::to_wstring(n).c_str()) + L".jpg"); ++n) {
    }
    return first;
}

inline cv::Mat gifLook(const CString& path)
{
    Gdiplus::Bitmap gif(path);
    if (gif.GetLastStatus() != Gdiplus::Ok || !gif.GetWidth())
        return {};
    DibCanvas canvas(static_cast<int>(gif.GetWidth()), static_cast<int>(gif.GetHeight()));
    Gdiplus::Graphics(canvas.dc()).DrawImage(&gif, 0, 0, gif.GetWidth(), gif.GetHeight());
    return bgrOf(canvas);
}

struct Exported {
    cv::Mat gif;
    cv::Mat mp4;
};

// Three frames of the clip at clipPath exported by the video view, which has it open, as a GIF
// (gifPath) and as an MP4 (mp4Path); a look stays empty where its export reported failure. The
// exported files are left for the caller.
inline Exported exportLooks(ClipView& view, const CString& clipPath, const CString& gifPath, const CString& mp4Path)
{
    Exported looks;
    view.exportRange(3);
    view.SaveGIFImageFile(gifPath, kExportProgress);
    if (view.GetLastExportResult() == 1)
        looks.gif = gifLook(gifPath);
    if (view.SetFileName(clipPath, MediaKindVideo) == 1) {
        view.exportRange(3);
        view.SaveMP4File(mp4Path, kExportProgress);
        if (view.GetLastExportResult() == 1)
            looks.mp4 = firstVideoFrame(mp4Path);
    }
    return looks;
}

} // namespace KOVA::test
