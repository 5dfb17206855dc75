#pragma once
// Base of the media views (the video view and the GIF view): a black view area with the
// current frame fitted in it, the crop rectangle over it that keeps the LCD's aspect (moved,
// resized by an edge or a corner, zoomed by the wheel), and the play bar below with its
// thumbnails, position marker and the two handles of the selected frame range. A derived view
// supplies the picture, the thumbnails and the frame stepping; what differs between the views
// (a still picture without a play bar, a press away from everything starting no drag, the
// frame count from which the marker shows, the track's place) is told here by its hooks.
//
// Threads: the mouse and wheel handlers, drawing, loading and the exports run on the GUI (or
// the caller's) thread; the derived views step frames on the fast-timer thread. m_lock guards
// the media and the frame indices; the crop rectangle and the drag state belong to the GUI
// thread. An export sets the export message before it takes m_lock, so that a tick seeing the
// message returns at once instead of waiting out the export.
#include "platform/Win32.h"

#include <atomic>
#include <memory>

#include "framework/MControlFont.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/CriticalSection.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class KOVA_API MediaCropView : public MControlFont {
public:
    // Drag modes of a press and the moves that follow it; the resize modes are the edge codes
    // of IsPointOnRectEdge.
    enum DragMode {
        DragNone = 0,
        DragCrop = 1,
        DragRangeStart = 5,
        DragRangeEnd = 6,
        DragIdle = 10,
        EdgeLeft = 21,
        EdgeTop = 22,
        EdgeRight = 23,
        EdgeBottom = 24,
        EdgeTopLeft = 25,
        EdgeTopRight = 26,
        EdgeBottomLeft = 27,
        EdgeBottomRight = 28,
    };

    // Empty title; the run flag on; a repaint asked for when visible.
    MediaCropView(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the value fields: the play-bar images, the lock and an export in progress
    // stay with the original.
    MediaCropView(const MediaCropView& other) = default;
    MediaCropView& operator=(const MediaCropView& other) = default;
    ~MediaCropView() override;

    // Skin images of the play bar (GetSkinPath + name). The play button is a four-frame strip,
    // kept but not drawn; the marker shows the current frame; the handle is drawn at both ends
    // of the range. An image that does not load leaves none (and its hit box empty).
    void SetPlayBtnImage(CString name);
    void SetPlayBarImage(CString name);
    void SetPlayThumbmage(CString name);

    // The largest rectangle of the image's aspect that fits in area, centred: smaller images
    // are enlarged (unlike MRender::GetImageRect). Empty for an image or area without size.
    CRect GetImageRect(int imageWidth, int imageHeight, CRect area);

    // 1 when point lies in rect, with code the edge or corner within margin px of it (EdgeLeft
    // to EdgeBottomRight), or 1 inside away from the edges (the result then 0); 0, code
    // unchanged, outside.
    int IsPointOnRectEdge(CPoint point, CRect rect, int margin, int& code);

    // The outcome of the last export: 1 when its file was written, 0 when not.
    int GetLastExportResult() const { return m_lastExportResult; }

    void DrawControl(HDC& dc, CRect paintRect) override;
    // Also places the play bar along the bottom.
    void SetControlRect(CRect rect) override;
    // Cursor shapes over the crop rectangle; crop moves and resizes; range handle drags.
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
    // Zooms the crop rectangle by a tenth of the LCD size a notch, within 0.1 to 2 times it.
    int OnControlScroll(int step, UINT down, CPoint pt) override;

    // Where a source of width × height goes in an LCD-sized frame: as large as it fits,
    // centred on the side it does not fill.
    static CRect FittedToLcd(int width, int height);

protected:
    static constexpr int kPlayBarHeight = 50;
    static constexpr int kEdgeMargin = 8;
    static constexpr int kSmallestCropSide = 50;
    // The first place of the crop rectangle on a new medium: centred in a 700 × 510 view.
    static constexpr int kPlacingViewWidth = 700;
    static constexpr int kPlacingViewHeight = 510;

    // Whether the play bar (thumbnails, track, marker, handles) is shown: the view area ends
    // kPlayBarHeight px above the bottom, and so do crop moves and zooms.
    virtual bool HasPlayBar() const { return true; }
    // Draws the medium's current frame into view (control coordinates) of dc, already black.
    virtual void DrawPicture(HDC dc, const CRect& view) = 0;
    // Thumbnail index into place (control coordinates) of dc.
    virtual int ThumbnailCount() const = 0;
    virtual void DrawThumbnail(HDC dc, int index, const CRect& place) = 0;
    // The ground of the play bar under the thumbnails: the video view outlines its track.
    virtual void DrawPlayBarGround(Gdiplus::Graphics& g, int width, int height);
    // Shows frame as the new range start dragged to it (the video view seeks its capture).
    virtual void ShowFrame(int frame);

    // The crop rectangle, window client coordinates.
    CRect CropRect() const { return CRect(m_cropX, m_cropY, m_cropX + m_cropWidth, m_cropY + m_cropHeight); }
    // Crop x and y for a medium just loaded.
    void PlaceCropForNewMedium();
    // Posts percent to the paint manager's window with the export message, when there are both.
    void PostExportProgress(int percent);
    // The part of the crop rectangle that lies on image (where the view shows a medium of
    // mediaWidth × mediaHeight, control coordinates), in the medium's pixels; empty when the
    // crop is off the picture.
    CRect CropOnMedium(int mediaWidth, int mediaHeight, const CRect& image) const;
    UINT ExportMessage() const { return m_exportMessage->load(); }
    // The repaint request of any change of content.
    void RequestRepaint() { UpdateControl(1, 0); }

    // For the whole life of an export: the export message set (the drawing freezes, the
    // playback tick returns at once), then the view's lock held. Released on every path, with
    // a repaint asked for.
    class ExportScope {
    public:
        ExportScope(MediaCropView& view, UINT message);
        ~ExportScope();
        ExportScope(const ExportScope&) = delete;
        ExportScope& operator=(const ExportScope&) = delete;

    private:
        MediaCropView& m_view;
    };

    CriticalSection m_lock;
    NotCopied<std::atomic<UINT>> m_exportMessage;
    int m_lastExportResult { 0 };

    struct BarImage {
        std::unique_ptr<Gdiplus::Image> image;
        int width { 0 };
        int height { 0 };
    };
    NotCopied<BarImage> m_playButton; // width: one frame of the strip
    NotCopied<BarImage> m_marker;
    NotCopied<BarImage> m_handle;

    RECT m_playBar {};
    // Hit areas, window coordinates, made again by every draw.
    RECT m_markerRect {};
    RECT m_startHandleRect {};
    RECT m_endHandleRect {};

    CString m_fileName;
    int m_mediaKind { 1 };
    int m_mediaWidth { 0 };  // the LCD's size until a medium is open
    int m_mediaHeight { 0 };
    // Milliseconds a frame: the video's interval, the GIF's delay.
    int m_framePeriod { 0 };
    int m_currentFrame { 0 };
    int m_frameCount { 0 };
    int m_rangeStart { 0 };
    int m_rangeEnd { 0 };
    // TimeSource milliseconds of the last frame step.
    DWORD m_lastStepTime { 0 };

    float m_cropScale { 1.0f };
    int m_cropX { 0 };
    int m_cropY { 0 };
    int m_cropWidth { 0 }; // the LCD's size at first
    int m_cropHeight { 0 };
    CPoint m_lastMouse;
    int m_dragMode { DragNone };
    // A press away from the crop rectangle and the play bar starts the idle drag, whose moves
    // only repaint; without it such a press starts nothing.
    bool m_idleDrag { true };
    // The marker and the handles show from this many frames on.
    int m_markerMinFrames { 2 };
    int m_thumbnailWidth { 24 };
    int m_thumbnailHeight { 24 };

private:
    bool loadBarImage(BarImage& target, const CString& name, int frames);
    int viewBottom() const { return m_rect.bottom - (HasPlayBar() ? kPlayBarHeight : 0); }
    void setPlayBar();
    void pressOn(CPoint pt);
    void moveCrop(int dx, int dy);
    bool moveRangeHandle(int x);
    void resizeCrop(int dx, int dy);
    void clampResizedCrop(int& x, int& y, int& width, int& height) const;
    void setCropSize(float scale);
    void showCursorAt(CPoint pt);
    void drawCropFrame(Gdiplus::Graphics& g);
    void drawPlayBar(HDC dc, Gdiplus::Graphics& g, int width, int height, bool withThumbnails);
    void drawRangeMarks(Gdiplus::Graphics& g, int barY);
};

} // namespace KOVA
