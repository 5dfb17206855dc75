#pragma once
// The video view: a user's video played over its selected range of frames in the view area,
// with the crop rectangle and the play bar of MediaCropView, and the exporters that turn the
// crop and the range into an animated GIF or an MP4 file for the device LCD.
//
// Threads: the playback step runs on the fast-timer tick; drawing, the mouse, loading and the
// exports on the GUI (or the caller's) thread. m_lock guards the capture, the shown frame, the
// frame indices, the thumbnails and the frame cache; a tick that finds it taken, or an export
// running, steps nothing and tries again on the next tick.
#include "platform/Win32.h"

#include <memory>

#include "lcd/media/MediaCropView.h"
#include "lcd/media/VideoClipHandle.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace cv {
class Mat;
}

namespace KOVA {

class KOVA_API OpenCVViewCtrl : public MediaCropView {
public:
    OpenCVViewCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the value fields (file name, crop, range, sizes); it has no video open.
    OpenCVViewCtrl(const OpenCVViewCtrl& other) = default;
    OpenCVViewCtrl& operator=(const OpenCVViewCtrl& other) = default;
    ~OpenCVViewCtrl() override;

    const wchar_t* GetClassNameW() const override;

    // Opens the video, plays it from frame 0 over all its frames and centres the crop. 1 when
    // open with frames of some size, 10 when a side exceeds 1920 px (closed again), 0 when it
    // does not open; on 0 and 10 the range, the thumbnails and the crop stay as they were.
    int SetFileName(CString path, int kind);
    // Closes the video.
    void StopVideoView();

    // Frame (-1: the current one) scaled to width × height into out, the capture left where it
    // was; 0 without a video, for a frame it lacks or an empty size.
    int GetFrameThumbnail(cv::Mat& out, int frame, int width, int height);
    // Makes the play bar's thumbnails anew over the selected range, the capture left where it
    // was; 0 without a video or frames.
    int ShowFrameThumbnails();
    // Asks the capture to buffer one frame only: the view reads a frame when it shows it.
    void OptimizePlayback();
    // Copies of up to count frames from the current one on, kept by this view; false without a
    // video, for a count below 1, or when none could be read.
    bool CacheNextFrames(int count);
    // A cached frame; false when the cache does not hold it.
    bool GetCachedFrame(int frame, cv::Mat& out);

    // Exports the selected range, cut to the crop rectangle and fitted to the LCD size, as an
    // animated GIF or an MP4 file at path, posting message with the percentage done to the
    // paint manager's window; GetLastExportResult tells whether the file was written. The
    // video is closed afterwards.
    void SaveGIFImageFile(CString path, UINT message);
    void SaveMP4File(CString path, UINT message);

    // The playback step on the fast-timer thread: at most two frames further a tick, wrapping
    // within the range; always 0.
    int OnControlTimer() override;

protected:
    void DrawPicture(HDC dc, const CRect& view) override;
    int ThumbnailCount() const override;
    void DrawThumbnail(HDC dc, int index, const CRect& place) override;
    void ShowFrame(int frame) override;

private:
    // What the view keeps of the video besides the capture; OpenCV stays out of this header.
    struct Frames;
    struct FramesDeleter {
        void operator()(Frames* frames) const;
    };

    VideoClip& clip();
    Frames& frames();
    bool isOpen() const;
    // Brings the capture to deliver index next, reading forward over a few frames, seeking
    // further or back; false when a read forward found the file ended.
    bool positionCapture(int index);
    // Reads frame index into the shown frame; false when the file has no such frame.
    bool readShownFrame(int index);
    int wrapIntoRange(int target) const;

    // Both under m_lock; made on first use.
    NotCopied<VideoClipPtr> m_clip;
    NotCopied<std::unique_ptr<Frames, FramesDeleter>> m_frames;
};

} // namespace KOVA
