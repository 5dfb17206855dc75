// The media views: a clip this page writes itself with OpenCV's writer (a ball crossing a
// sky, the frame number in a corner) played in the video view, its crop rectangle zoomed and
// moved with the view's own wheel and drag handlers as a user would, and the play bar with
// its thumbnails, marker and range handles; beside it the GIF view plays a GIF made of the clip.
#include "SamplePage.h"

#include <array>
#include <string>

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include "HostTools.h"

using namespace KOVA;

namespace {

constexpr UINT kVideoId = 4700;
constexpr UINT kGifId = 4701;
constexpr UINT kFastTimerPeriod = 10;
constexpr int kClipWidth = 320;
constexpr int kClipHeight = 180;
constexpr int kClipFrames = 75;
constexpr double kClipRate = 25.0;

// Frame k of the clip: a sky darkening to the right, a ball k steps along it, the number.
cv::Mat clipFrame(int k)
{
    cv::Mat frame(kClipHeight, kClipWidth, CV_8UC3);
    for (int x = 0; x < kClipWidth; ++x)
        cv::line(frame, { x, 0 }, { x, kClipHeight - 1 }, cv::Scalar(200 - x / 3, 140 - x / 4, 60), 1);
    cv::rectangle(frame, { 0, kClipHeight - 40 }, { kClipWidth, kClipHeight }, cv::Scalar(40, 110, 50), cv::FILLED);
    const int x = 20 + k * (kClipWidth - 40) / kClipFrames;
    const int y = kClipHeight - 60 - static_cast<int>(50.0 * (1.0 - ((k % 25) - 12) * ((k % 25) - 12) / 144.0));
    cv::circle(frame, { x, y }, 14, cv::Scalar(40, 190, 250), cv::FILLED, cv::LINE_AA);
    cv::putText(frame, std::to_string(k), { 8, 24 }, cv::FONT_HERSHEY_SIMPLEX, 0.7, cv::Scalar(255, 255, 255), 2);
    return frame;
}

// Named as users name their clips, beyond ASCII and beyond any one code page.
CString writeClip()
{
    const CString path = HostTools::SkinFolder() + L"Mädchen café – видео 🎬.avi";
    cv::VideoWriter writer(HostTools::OpenCvPath(path), cv::CAP_FFMPEG, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'),
                           kClipRate, cv::Size(kClipWidth, kClipHeight));
    for (int k = 0; writer.isOpened() && k < kClipFrames; ++k)
        writer << clipFrame(k);
    return path;
}

// The crop frame (a nine-grid with bracket corners), the position marker and the range handle.
void writeSkinImages()
{
    HostTools::WriteSkinStrip(L"media-crop.png", 60, 60, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::Pen edge(Gdiplus::Color(0xC0FFFFFF), 2.0f);
        g.DrawRectangle(&edge, r.X + 1, r.Y + 1, r.Width - 2, r.Height - 2);
        const Gdiplus::Pen corner(Gdiplus::Color(0xFFBD30FF), 6.0f);
        for (const auto& [cx, cy, dx, dy] : { std::array<int, 4> { 3, 3, 1, 1 }, { 56, 3, -1, 1 }, { 3, 56, 1, -1 },
                                              { 56, 56, -1, -1 } }) {
            g.DrawLine(&corner, cx, cy, cx + dx * 16, cy);
            g.DrawLine(&corner, cx, cy, cx, cy + dy * 16);
        }
    });
    HostTools::WriteSkinStrip(L"media-marker.png", 10, 24, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush white(Gdiplus::Color(0xFFF0F0F0));
        g.FillRectangle(&white, r.X + 4, r.Y, 2, r.Height);
    });
    HostTools::WriteSkinStrip(L"media-handle.png", 14, 20, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush purple(Gdiplus::Color(0xFFBD30FF));
        const Gdiplus::Point tip[] = { { r.X + 7, r.Y }, { r.X + 14, r.Y + 8 }, { r.X + 14, r.Y + 20 }, { r.X, r.Y + 20 },
                                       { r.X, r.Y + 8 } };
        g.FillPolygon(&purple, tip, 5);
    });
}

// The crop made smaller with the wheel and dragged over the ball's path through the view's
// own handlers, as a user does before exporting. A clip just opened has its crop 110 px in.
void editAsAUser(MediaCropView& view, const CRect& rect)
{
    constexpr int kNotches = 3; // 480 px down to 240 px, a first notch taken back at the edges
    const CPoint centre(rect.left + 110 + 120, rect.top + 15 + 120);
    for (int notch = 0; notch < kNotches; ++notch)
        view.OnControlScroll(0, 1, centre);
    view.OnControlLButtonDown(MK_LBUTTON, centre);
    view.OnControlMouseMove(MK_LBUTTON, CPoint(centre.x + 60, centre.y + 50));
    view.OnControlLButtonUp(0, CPoint(centre.x + 60, centre.y + 50));
}

// The GIF view beside it plays a GIF the page makes of its own clip: the video view's export,
// run by a view of no window (which posts no progress), edited as the video view is.
void addGifView(MPanel* page, const CRect& area, const CString& clip, PaintManager& manager)
{
    const CString gif = HostTools::SkinFolder() + L"Mädchen café – видео 🎬.gif";
    OpenCVViewCtrl maker(nullptr, 0, CRect(0, 0, 700, 560), 0, 1);
    if (maker.SetFileName(clip, 1) == 1)
        maker.SaveGIFImageFile(gif, 0);
    const CRect rect(area.left + 580, area.top + 20, area.left + 1060, area.top + 440);
    auto* view = dynamic_cast<GIFViewCtrl*>(page->CreateControl(L"GIFViewCtrl", kGifId, rect, L"", 1, 1));
    if (!view || view->SetFileName(gif, MediaKindGif) != 1)
        return;
    view->SetImage(L"media-crop.png", 1);
    view->SetPlayBarImage(L"media-marker.png");
    view->SetPlayThumbmage(L"media-handle.png");
    editAsAUser(*view, rect);
    manager.AddMTimer(view);
}

void build(MPanel* page, const CRect& area)
{
    writeSkinImages();
    const CString clip = writeClip();
    const CRect rect(area.left + 20, area.top + 20, area.left + 560, area.top + 440);
    auto* view = dynamic_cast<OpenCVViewCtrl*>(page->CreateControl(L"OpenCVViewCtrl", kVideoId, rect, L"", 1, 1));
    PaintManager* manager = page->GetManager();
    if (!view || !manager || view->SetFileName(clip, 1) != 1)
        return;
    view->SetImage(L"media-crop.png", 1);
    view->SetPlayBarImage(L"media-marker.png");
    view->SetPlayThumbmage(L"media-handle.png");
    editAsAUser(*view, rect);
    manager->AddMTimer(view);
    addGifView(page, area, clip, *manager);
    manager->SetMTimer(kFastTimerPeriod);
}

} // namespace

extern const SamplePage kMediaViewsPage = { L"media", build, nullptr, nullptr };
