// The media views' shared part: the crop rectangle's mouse editing, the range handles, the
// wheel zoom, the cursors, and the drawing of the crop frame and the play bar.
//
// Lock order: m_lock is taken after no other lock of the view; the range handles take it to
// change the range the playback tick reads.
#include "lcd/media/MediaCropView.h"

#include <algorithm>
#include <cstdlib>

#include "framework/AppPaths.h"
#include "framework/MRender.h"
#include "framework/Manager.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
// Moves of the crop rectangle and the handles within this many px of the press are a hand's
// tremble, not a drag.
constexpr int kDeadZone = 2;
constexpr float kZoomStep = 0.1f;
constexpr float kSmallestZoom = 0.1f;
constexpr float kLargestZoom = 2.0f;
constexpr int kCropFrameCorner = 20;
constexpr int kCrossArm = 5;
constexpr int kBarTop = 40;     // px above the control's bottom
constexpr int kTrackHeight = 24;
constexpr int kHandleDrop = 10; // the handles hang below the track's top
constexpr int kMarkerShift = 5; // the images' points stand this far into them
constexpr int kHandleShift = 7;
const Gdiplus::Color kCrossColour(0xFF, 0xBD, 0x30, 0xFF);
const Gdiplus::Color kTrackColour(0xFF, 0x66, 0x66, 0x66);
const Gdiplus::Color kThumbnailEdge(0xFF, 0x50, 0x50, 0x50);

float lcdAspect()
{
    const int height = Manager::GetLedScreenHeight();
    return height > 0 ? static_cast<float>(Manager::GetLedScreenWidth()) / static_cast<float>(height) : 1.0f;
}

bool withinDeadZone(int dx, int dy)
{
    return std::abs(dx) <= kDeadZone && std::abs(dy) <= kDeadZone;
}

const wchar_t* cursorForEdge(int code)
{
    switch (code) {
    case MediaCropView::EdgeLeft:
    case MediaCropView::EdgeRight: return IDC_SIZEWE;
    case MediaCropView::EdgeTop:
    case MediaCropView::EdgeBottom: return IDC_SIZENS;
    case MediaCropView::EdgeTopLeft:
    case MediaCropView::EdgeBottomRight: return IDC_SIZENWSE;
    default: return IDC_SIZENESW;
    }
}

int barOffset(int barWidth, int frame, int frameCount)
{
    return static_cast<int>(static_cast<long long>(barWidth) * frame / frameCount);
}

RECT shifted(RECT rect, const CRect& by)
{
    ::OffsetRect(&rect, by.left, by.top);
    return rect;
}
} // namespace

MediaCropView::MediaCropView(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_run = 1;
    m_mediaWidth = m_cropWidth = Manager::GetLedScreenWidth();
    m_mediaHeight = m_cropHeight = Manager::GetLedScreenHeight();
    setPlayBar();
    RequestRepaint();
}

MediaCropView::~MediaCropView() = default;

// ---- play-bar images and geometry

bool MediaCropView::loadBarImage(BarImage& target, const CString& name, int frames)
{
    // The old image goes whether or not the new one loads: a failed load leaves none.
    target = BarImage();
    target.image.reset(MRender::LoadImageFromFile(GetSkinPath() + name));
    if (!target.image)
        return false;
    target.width = static_cast<int>(target.image->GetWidth()) / frames;
    target.height = static_cast<int>(target.image->GetHeight());
    return true;
}

void MediaCropView::SetPlayBtnImage(CString name)
{
    constexpr int kPlayButtonFrames = 4;
    loadBarImage(*m_playButton, name, kPlayButtonFrames);
}

void MediaCropView::SetPlayBarImage(CString name)
{
    loadBarImage(*m_marker, name, 1);
}

void MediaCropView::SetPlayThumbmage(CString name)
{
    loadBarImage(*m_handle, name, 1);
}

void MediaCropView::setPlayBar()
{
    constexpr int kSide = 10;
    constexpr int kBottom = 5;
    m_playBar = RECT { m_rect.left + kSide, m_rect.bottom - kBarTop, m_rect.right - kSide, m_rect.bottom - kBottom };
}

void MediaCropView::SetControlRect(CRect rect)
{
    MControlFont::SetControlRect(rect);
    setPlayBar();
    RequestRepaint();
}

CRect MediaCropView::GetImageRect(int imageWidth, int imageHeight, CRect area)
{
    const int areaWidth = area.Width();
    const int areaHeight = area.Height();
    if (imageWidth <= 0 || imageHeight <= 0 || areaWidth <= 0 || areaHeight <= 0)
        return CRect();
    const float aspect = static_cast<float>(imageWidth) / static_cast<float>(imageHeight);
    int width = areaWidth;
    int height = areaHeight;
    if (aspect <= static_cast<float>(areaWidth) / static_cast<float>(areaHeight))
        width = static_cast<int>(static_cast<float>(areaHeight) * aspect);
    else
        height = static_cast<int>(static_cast<float>(areaWidth) / aspect);
    const int left = area.left + (areaWidth - width) / 2;
    const int top = area.top + (areaHeight - height) / 2;
    return CRect(left, top, left + width, top + height);
}

void MediaCropView::PlaceCropForNewMedium()
{
    m_cropX = m_rect.left + (kPlacingViewWidth - Manager::GetLedScreenWidth()) / 2;
    m_cropY = m_rect.top + (kPlacingViewHeight - Manager::GetLedScreenHeight()) / 2;
}

void MediaCropView::ShowFrame(int frame)
{
    m_currentFrame = frame;
}

// ---- exports

MediaCropView::ExportScope::ExportScope(MediaCropView& view, UINT message) : m_view(view)
{
    m_view.m_exportMessage->store(message);
    m_view.m_lock.Enter();
}

MediaCropView::ExportScope::~ExportScope()
{
    m_view.m_exportMessage->store(0);
    m_view.m_lock.Leave();
    // A paint during the export showed the picture it had kept.
    m_view.RequestRepaint();
}

void MediaCropView::PostExportProgress(int percent)
{
    const UINT message = ExportMessage();
    HWND window = m_manager ? m_manager->GetPaintWnd() : nullptr;
    if (window && message)
        ::PostMessageW(window, message, static_cast<WPARAM>(percent), 0);
}

CRect MediaCropView::CropOnMedium(int mediaWidth, int mediaHeight, const CRect& image) const
{
    CRect crop = CropRect();
    crop.OffsetRect(-m_rect.left, -m_rect.top);
    CRect part;
    if (image.IsRectEmpty() || !part.IntersectRect(crop, image))
        return CRect();
    const float sx = static_cast<float>(mediaWidth) / static_cast<float>(image.Width());
    const float sy = static_cast<float>(mediaHeight) / static_cast<float>(image.Height());
    const int x = std::max(static_cast<int>(static_cast<float>(part.left - image.left) * sx), 0);
    const int y = std::max(static_cast<int>(static_cast<float>(part.top - image.top) * sy), 0);
    const int width = std::min(static_cast<int>(static_cast<float>(part.Width()) * sx), mediaWidth - x);
    const int height = std::min(static_cast<int>(static_cast<float>(part.Height()) * sy), mediaHeight - y);
    if (width <= 0 || height <= 0)
        return CRect();
    return CRect(x, y, x + width, y + height);
}

CRect MediaCropView::FittedToLcd(int width, int height)
{
    const int lcdWidth = Manager::GetLedScreenWidth();
    const int lcdHeight = Manager::GetLedScreenHeight();
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    if (aspect > static_cast<float>(lcdWidth) / static_cast<float>(lcdHeight)) {
        const int fitted = static_cast<int>(static_cast<float>(lcdWidth) / aspect);
        return CRect(0, (lcdHeight - fitted) / 2, lcdWidth, (lcdHeight - fitted) / 2 + fitted);
    }
    const int fitted = static_cast<int>(static_cast<float>(lcdHeight) * aspect);
    return CRect((lcdWidth - fitted) / 2, 0, (lcdWidth - fitted) / 2 + fitted, lcdHeight);
}

// ---- the mouse

int MediaCropView::IsPointOnRectEdge(CPoint point, CRect rect, int margin, int& code)
{
    if (!rect.PtInRect(point))
        return 0;
    const bool left = point.x <= rect.left + margin;
    const bool top = point.y <= rect.top + margin;
    const bool right = point.x >= rect.right - margin;
    const bool bottom = point.y >= rect.bottom - margin;
    const struct {
        bool hit;
        int code;
    } edges[] = {
        { left && top, EdgeTopLeft }, { right && top, EdgeTopRight },     { left && bottom, EdgeBottomLeft },
        { right && bottom, EdgeBottomRight }, { left, EdgeLeft },         { top, EdgeTop },
        { right, EdgeRight },                 { bottom, EdgeBottom },
    };
    for (const auto& edge : edges)
        if (edge.hit) {
            code = edge.code;
            return 1;
        }
    code = DragCrop;
    return 0;
}

int MediaCropView::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_rect.PtInRect(pt))
        return 1;
    pressOn(pt);
    m_lastMouse = pt;
    return 1;
}

void MediaCropView::pressOn(CPoint pt)
{
    m_dragMode = DragNone;
    if (HasPlayBar() && ::PtInRect(&m_playBar, pt)) {
        if (::PtInRect(&m_startHandleRect, pt))
            m_dragMode = DragRangeStart;
        else if (::PtInRect(&m_endHandleRect, pt))
            m_dragMode = DragRangeEnd;
        return;
    }
    int code = DragNone;
    if (IsPointOnRectEdge(pt, CropRect(), kEdgeMargin, code))
        m_dragMode = code;
    else if (CropRect().PtInRect(pt))
        m_dragMode = DragCrop;
    else if (m_idleDrag)
        m_dragMode = DragIdle;
}

int MediaCropView::OnControlLButtonUp(UINT, CPoint)
{
    m_dragMode = DragNone;
    return 1;
}

int MediaCropView::OnControlMouseMove(UINT, CPoint pt)
{
    if (m_dragMode == DragNone)
        showCursorAt(pt);
    if (!m_rect.PtInRect(pt))
        return 1;
    const int dx = pt.x - m_lastMouse.x;
    const int dy = pt.y - m_lastMouse.y;
    bool changed = false;
    switch (m_dragMode) {
    case DragNone:
        break;
    case DragCrop:
        if ((changed = !withinDeadZone(dx, dy)))
            moveCrop(dx, dy);
        break;
    case DragIdle:
        changed = !withinDeadZone(dx, dy);
        break;
    case DragRangeStart:
    case DragRangeEnd:
        changed = std::abs(dx) > kDeadZone && moveRangeHandle(pt.x);
        break;
    default:
        resizeCrop(dx, dy);
        changed = true;
        break;
    }
    if (changed) {
        m_lastMouse = pt;
        RequestRepaint();
    }
    return 1;
}

void MediaCropView::showCursorAt(CPoint pt)
{
    int code = DragNone;
    if (IsPointOnRectEdge(pt, CropRect(), kEdgeMargin, code))
        ::SetCursor(::LoadCursorW(nullptr, cursorForEdge(code)));
    else if (CropRect().PtInRect(pt))
        ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEALL));
}

void MediaCropView::moveCrop(int dx, int dy)
{
    m_cropX += dx;
    m_cropY += dy;
    if (m_cropX < m_rect.left)
        m_cropX = m_rect.left;
    if (m_cropX > m_rect.right - m_cropWidth)
        m_cropX = m_rect.right - m_cropWidth;
    if (m_cropY < m_rect.top)
        m_cropY = m_rect.top;
    if (m_cropY > viewBottom() - m_cropHeight)
        m_cropY = viewBottom() - m_cropHeight;
}

bool MediaCropView::moveRangeHandle(int x)
{
    const int barWidth = m_playBar.right - m_playBar.left;
    if (barWidth <= 0)
        return false;
    const int frame = static_cast<int>(static_cast<float>(x - m_rect.left) * static_cast<float>(m_frameCount)
                                       / static_cast<float>(barWidth));
    ScopedLock lock(m_lock);
    if (m_dragMode == DragRangeStart) {
        m_rangeStart = std::min(std::max(frame, 0), m_rangeEnd - 1);
        ShowFrame(m_rangeStart);
    } else {
        m_rangeEnd = std::max(std::min(frame, m_frameCount), m_rangeStart + 1);
    }
    return true;
}

void MediaCropView::resizeCrop(int dx, int dy)
{
    const float aspect = lcdAspect();
    const int X = m_cropX, Y = m_cropY, W = m_cropWidth, H = m_cropHeight;
    int x = X, y = Y, width = W, height = H;
    const auto byWidth = [&](int w) {
        width = w;
        height = static_cast<int>(static_cast<float>(w) / aspect);
    };
    const auto byHeight = [&](int h) {
        height = h;
        width = static_cast<int>(static_cast<float>(h) * aspect);
    };
    // Corners follow the larger of the two moves (a tie goes to the vertical one).
    const bool horizontal = std::abs(dx) > std::abs(dy);
    switch (m_dragMode) {
    case EdgeLeft: x = X + dx; byWidth(W - dx); y = Y + (H - height) / 2; break;
    case EdgeTop: y = Y + dy; byHeight(H - dy); x = X + (W - width) / 2; break;
    case EdgeRight: byWidth(W + dx); y = Y + (H - height) / 2; break;
    case EdgeBottom: byHeight(H + dy); x = X + (W - width) / 2; break;
    case EdgeTopLeft:
        if (horizontal) {
            x = X + dx;
            byWidth(W - dx);
            y = Y + H - height;
        } else {
            y = Y + dy;
            byHeight(H - dy);
            x = X + W - width;
        }
        break;
    case EdgeTopRight:
        if (horizontal) {
            byWidth(W + dx);
            y = Y + H - height;
        } else {
            y = Y + dy;
            byHeight(H - dy);
        }
        break;
    case EdgeBottomLeft:
        if (horizontal) {
            x = X + dx;
            byWidth(W - dx);
        } else {
            byHeight(H + dy);
            x = X + W - width;
        }
        break;
    default: // EdgeBottomRight
        if (horizontal)
            byWidth(W + dx);
        else
            byHeight(H + dy);
        break;
    }
    clampResizedCrop(x, y, width, height);
    m_cropX = x;
    m_cropY = y;
    m_cropWidth = width;
    m_cropHeight = height;
    m_cropScale = static_cast<float>(width) / static_cast<float>(Manager::GetLedScreenWidth());
}

// A resize keeps the LCD's aspect through every limit, and always stops above the play bar's
// place, also for a still picture.
void MediaCropView::clampResizedCrop(int& x, int& y, int& width, int& height) const
{
    const float aspect = lcdAspect();
    if (width < kSmallestCropSide) {
        width = kSmallestCropSide;
        height = static_cast<int>(static_cast<float>(kSmallestCropSide) / aspect);
    }
    if (height < kSmallestCropSide) {
        height = kSmallestCropSide;
        width = static_cast<int>(aspect * static_cast<float>(kSmallestCropSide));
    }
    x = std::max(x, static_cast<int>(m_rect.left));
    y = std::max(y, static_cast<int>(m_rect.top));
    if (x + width > m_rect.right) {
        width = m_rect.right - x;
        height = static_cast<int>(static_cast<float>(width) / aspect);
    }
    const int bottom = m_rect.bottom - kPlayBarHeight;
    if (y + height > bottom) {
        height = bottom - y;
        width = static_cast<int>(static_cast<float>(height) * aspect);
    }
}

void MediaCropView::setCropSize(float scale)
{
    m_cropScale = scale;
    m_cropWidth = static_cast<int>(static_cast<float>(Manager::GetLedScreenWidth()) * scale);
    m_cropHeight = static_cast<int>(static_cast<float>(Manager::GetLedScreenHeight()) * scale);
}

int MediaCropView::OnControlScroll(int, UINT down, CPoint)
{
    const float zoomed = down == 1 ? std::max(m_cropScale - kZoomStep, kSmallestZoom)
                                   : std::min(m_cropScale + kZoomStep, kLargestZoom);
    setCropSize(zoomed);
    // A zoom that pushes the rectangle out is taken back by a step; the rectangle's size
    // follows only for the right and the bottom, where the corner stays inside.
    const auto backOff = [this](bool resize) {
        const float scale = std::max(m_cropScale - kZoomStep, kSmallestZoom);
        if (resize)
            setCropSize(scale);
        else
            m_cropScale = scale;
    };
    if (m_cropX < m_rect.left)
        backOff(false);
    else if (m_cropX > m_rect.right - m_cropWidth)
        backOff(true);
    if (m_cropY < m_rect.top)
        backOff(false);
    else if (m_cropY > viewBottom() - m_cropHeight)
        backOff(true);
    RequestRepaint();
    return 1;
}

// ---- drawing

void MediaCropView::DrawControl(HDC& dc, CRect)
{
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    const bool sized = m_memPicture.width() == width && m_memPicture.height() == height;
    // An export holds the media: the view shows its last picture until the export ends.
    if (sized && (m_update || ExportMessage() != 0)) {
        MRender::BitBlt(dc, m_rect.left, m_rect.top, width, height, m_memPicture.dc(), 0, 0);
        return;
    }
    // The paint never waits on the media: an export that began after the check above holds
    // them for its whole length. The kept picture shows instead (a resized view draws without
    // the medium), and the picture stays stale for the repaint the export's end asks for.
    TryLock media(m_lock);
    if (!media.held() && sized) {
        MRender::BitBlt(dc, m_rect.left, m_rect.top, width, height, m_memPicture.dc(), 0, 0);
        return;
    }
    UpdateMemDC(dc, width, height);
    HDC picture = m_memPicture.dc();
    MRender::BitBlt(picture, 0, 0, width, height, dc, m_rect.left, m_rect.top);
    const CRect view(0, 0, width, height - (HasPlayBar() ? kPlayBarHeight : 0));
    MRender::FillSolidRect(picture, &view, RGB(0, 0, 0));
    if (media.held())
        DrawPicture(picture, view);
    {
        Gdiplus::Graphics g(picture);
        drawCropFrame(g);
        if (HasPlayBar())
            drawPlayBar(picture, g, width, height, media.held());
    }
    if (!HasPlayBar())
        m_markerRect = m_startHandleRect = m_endHandleRect = RECT {};
    if (!media.held())
        m_update = 0;
    MRender::BitBlt(dc, m_rect.left, m_rect.top, width, height, picture, 0, 0);
}

void MediaCropView::drawCropFrame(Gdiplus::Graphics& g)
{
    CRect crop = CropRect();
    crop.OffsetRect(-m_rect.left, -m_rect.top);
    // Wine's GDI+ resamples a stretched image at some 0.6 us a pixel (45 ms for the frame of a
    // 240 px crop); the frame's edges and middle are uniform along their length, so they are
    // stretched pixel for pixel instead.
    g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    if (m_image)
        MRender::DrawImageFrame(g, m_image, crop, 0, 0, m_imageWidth, m_imageHeight, kCropFrameCorner);
    const int cx = crop.left + crop.Width() / 2;
    const int cy = crop.top + crop.Height() / 2;
    Gdiplus::Pen pen(kCrossColour, 2.0f);
    g.DrawLine(&pen, cx - kCrossArm, cy, cx + kCrossArm, cy);
    g.DrawLine(&pen, cx, cy - kCrossArm, cx, cy + kCrossArm);
}

void MediaCropView::DrawPlayBarGround(Gdiplus::Graphics& g, int width, int height)
{
    constexpr int kTrackLeft = 50;
    constexpr int kTrackShorter = 60;
    Gdiplus::Pen pen(kTrackColour, 2.0f);
    g.DrawRectangle(&pen, kTrackLeft, height - kBarTop, width - kTrackShorter, kTrackHeight);
}

void MediaCropView::drawPlayBar(HDC dc, Gdiplus::Graphics& g, int width, int height, bool withThumbnails)
{
    const int barY = height - kBarTop;
    DrawPlayBarGround(g, width, height);
    const int thumbnails = withThumbnails ? ThumbnailCount() : 0;
    if (thumbnails > 0) {
        Gdiplus::Pen edge(kThumbnailEdge, 1.0f);
        for (int i = 0; i < thumbnails; ++i)
            g.DrawRectangle(&edge, 10 + i * m_thumbnailWidth, barY, m_thumbnailWidth, m_thumbnailHeight);
        // The thumbnails go on with GDI, after what GDI+ holds back.
        g.Flush(Gdiplus::FlushIntentionSync);
        for (int i = 0; i < thumbnails; ++i) {
            const int left = 10 + i * m_thumbnailWidth;
            DrawThumbnail(dc, i, CRect(left, barY, left + m_thumbnailWidth, barY + m_thumbnailHeight));
        }
    }
    drawRangeMarks(g, barY);
}

void MediaCropView::drawRangeMarks(Gdiplus::Graphics& g, int barY)
{
    const int count = m_frameCount;
    if (count < m_markerMinFrames || count <= 0) {
        m_markerRect = m_startHandleRect = m_endHandleRect = RECT {};
        return;
    }
    const int barLeft = m_playBar.left - m_rect.left;
    const int barWidth = m_playBar.right - m_playBar.left;
    const int markerX = barLeft - kMarkerShift + barOffset(barWidth, m_currentFrame, count);
    const int startX = barLeft - kHandleShift + barOffset(barWidth, m_rangeStart, count);
    const int endX = barLeft - kHandleShift + barOffset(barWidth, m_rangeEnd, count);
    const BarImage& marker = *m_marker;
    const BarImage& handle = *m_handle;
    const int handleY = barY + kHandleDrop;
    m_markerRect = shifted(RECT { markerX, barY, markerX + marker.width, barY + marker.height }, m_rect);
    m_startHandleRect = shifted(RECT { startX, barY, startX + handle.width, handleY + handle.height }, m_rect);
    m_endHandleRect = shifted(RECT { endX, barY, endX + handle.width, handleY + handle.height }, m_rect);
    Gdiplus::Pen selection(Manager::GetSelectColor(), 2.0f);
    g.DrawRectangle(&selection, startX + kHandleShift, barY, endX - startX, kTrackHeight);
    if (marker.image)
        g.DrawImage(marker.image.get(), markerX, barY, marker.width, marker.height);
    if (handle.image) {
        g.DrawImage(handle.image.get(), startX, handleY, handle.width, handle.height);
        g.DrawImage(handle.image.get(), endX, handleY, handle.width, handle.height);
    }
}

} // namespace KOVA
