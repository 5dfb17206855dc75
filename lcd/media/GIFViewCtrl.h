#pragma once
// The GIF view: an animated GIF played over its selected range with its own frame delay, or a
// still picture, under the crop rectangle and play bar of MediaCropView; the crop and the
// range exported as an animated GIF, the crop of a still picture as one JPEG file.
//
// GDI+ composes the frames, OpenCV scales them: Wine's GDI+ resamples a 510 px square in some
// 150 ms, OpenCV in one or two.
//
// Threads: the frame step runs on the fast-timer tick and moves the frame indices only, when
// it gets m_lock at once. Drawing, the mouse, loading and the exports run on the GUI (or the
// caller's) thread; whoever composes a frame of the picture holds m_lock.
#include "platform/Win32.h"

#include <memory>

#include "lcd/media/MediaCropView.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"

namespace cv {
class Mat;
}

namespace KOVA {

class GifFramesExport;

class KOVA_API GIFViewCtrl : public MediaCropView {
public:
    GIFViewCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // One view, one picture and its thumbnails: never copied.
    GIFViewCtrl(const GIFViewCtrl&) = delete;
    GIFViewCtrl& operator=(const GIFViewCtrl&) = delete;
    ~GIFViewCtrl() override;

    const wchar_t* GetClassNameW() const override;

    // Loads the file (its path as given): kind 3 an animated GIF, any other a still picture.
    // The range becomes every frame and the crop is placed anew. 1 when it loaded; 0 when it
    // does not load or a GIF has no frames, and the view is then left without a picture.
    int SetFileName(CString path, int kind);
    // Makes the play bar's thumbnails anew, spread over all frames: one each below 30 frames,
    // else 30. 0 without frames.
    int ShowFrameThumbnails();
    // Kept for hosts that call it on either view: a GIF's thumbnails come from
    // ShowFrameThumbnails. Always 1.
    int GetFrameThumbnail(cv::Mat& out, int frame, int width, int height);

    // Exports the selected range of the picture, cut to the crop rectangle and fitted to the
    // LCD size on black, as an animated GIF at path, posting message with the percentage done
    // to the paint manager's window (98 at the end, 100 when no file was made); nothing without
    // a picture. GetLastExportResult tells whether the file was written.
    void SaveGIFImageFile(CString path, UINT message);
    // The crop of a one-frame picture as one JPEG file, with progress 10, 50 and 100; nothing
    // for a picture of more frames.
    void SaveJpgImageFile(CString path, UINT message);

    // The frame step: as many frames on as whole frame delays have passed, wrapping within
    // the range; always 0.
    int OnControlTimer() override;

protected:
    bool HasPlayBar() const override;
    void DrawPicture(HDC dc, const CRect& view) override;
    int ThumbnailCount() const override;
    void DrawThumbnail(HDC dc, int index, const CRect& place) override;
    void DrawPlayBarGround(Gdiplus::Graphics& g, int width, int height) override;

private:
    // The picture, its frame as last composed and the thumbnails; OpenCV stays out of this
    // header.
    struct Media;
    struct MediaDeleter {
        void operator()(Media* media) const;
    };

    bool isAnimated() const;
    // The bodies of SetFileName, ShowFrameThumbnails and DrawPicture, under m_lock; they may
    // throw (OpenCV, allocations), which their callers turn into failure.
    int loadFile(const CString& path, int kind);
    int makeThumbnails();
    bool drawShown(HDC dc, const CRect& view);
    void takeFrameDelay(const CString& path);
    // Composes frame index of the picture into the media's frame; false without a picture.
    bool composeFrame(int index);
    // The view area: above the play bar of a GIF, the whole control for a still picture.
    CRect shownView() const;
    // Where the picture is shown in view, control coordinates.
    CRect pictureRect(const CRect& view);
    // The part of the picture under the crop rectangle, picture pixels; all of it when the
    // crop misses the picture as it is shown.
    CRect cropSource();
    int writeExportFrames(GifFramesExport& gif);

    std::unique_ptr<Media, MediaDeleter> m_media;
};

} // namespace KOVA
