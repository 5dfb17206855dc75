// The video view's exporters on clips made by the tests: the pixels and frame counts of the GIF
// and MP4 files, the progress posted to a real window, and the LCD renderer beside an export.
#include <atomic>
#include <thread>

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include "LcdTestKit.h"
#include "PumpUntil.h"
#include "ScratchClip.h"
#include "ScratchFolder.h"
#include "lcd/media/VideoClip.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);
constexpr UINT kProgress = WM_APP + 15;

class ExportView : public OpenCVViewCtrl {
public:
    using OpenCVViewCtrl::OpenCVViewCtrl;
    void crop(CRect r) { std::tie(m_cropX, m_cropY, m_cropWidth, m_cropHeight) = std::make_tuple(r.left, r.top, r.Width(), r.Height()); }
};

// A clip of frames, each a grid of 20-px cells coloured by their place, written by OpenCV.
CString gridClip(const ScratchFolder& folder, const wchar_t* name, int width, int height, int frames)
{
    cv::Mat grid(height, width, CV_8UC3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            grid.at<cv::Vec3b>(y, x) = cv::Vec3b(uchar(x / 20 * 37), uchar(y / 20 * 53), uchar((x / 20 + y / 20) % 2 * 255));
    cv::VideoWriter writer(FfmpegPath(folder / name), cv::CAP_FFMPEG, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 25, grid.size());
    for (int k = 0; k < frames; ++k)
        writer << grid;
    return folder / name;
}

double meanDifference(const cv::Mat& a, const cv::Mat& b) { return cv::norm(a, b, cv::NORM_L1) / double(a.total() * 3); }

} // namespace

TEST(VideoExport, SmallClipsAreBandedAndLargeOnesCutToTheCropInsideThePicture)
{
    const ScratchFolder folder(L"video-export-crop");
    const CString small = gridClip(folder, L"small.avi", 320, 240, 3), large = gridClip(folder, L"large.avi", 960, 540, 3);
    const cv::Mat source = firstVideoFrame(large);
    cv::Mat inside, whole(480, 480, CV_8UC3, cv::Scalar::all(0)), banded(480, 480, CV_8UC3, cv::Scalar::all(0));
    // The view area is 700 × 510: the 960 × 540 picture is drawn 700 × 393 from y 58, 1.3714 video px a px.
    cv::resize(source(cv::Rect(274, 137, 329, 329)), inside, { 480, 480 });
    cv::resize(source, whole(cv::Rect(0, 105, 480, 270)), { 480, 270 });
    cv::resize(firstVideoFrame(small), banded(cv::Rect(0, 60, 480, 360)), { 480, 360 });
    struct Case { CString clip; CRect crop; cv::Mat expected; };
    const Case cases[] = { { small, CRect(200, 158, 440, 398), banded },  { large, CRect(200, 158, 440, 398), inside },
                           { large, CRect(900, 900, 1140, 1140), whole }, { large, CRect(200, 158, 206, 164), whole } };
    for (const Case& c : cases) {
        ExportView view(nullptr, 1, CRect(0, 0, 700, 560), 1, 1);
        ASSERT_EQ(view.SetFileName(c.clip, 4), 1);
        view.crop(c.crop);
        view.SaveMP4File(folder / L"cut.mp4", kProgress);
        EXPECT_EQ(view.GetLastExportResult(), 1);
        EXPECT_LT(meanDifference(firstVideoFrame(folder / L"cut.mp4"), c.expected), 8.0) << c.crop.left << " " << c.crop.Width();
    }
}

TEST(VideoExport, FramesGoInUpToTheGifLimitAndProgressReachesTheWindowQueue)
{
    const ScratchFolder folder(L"video-export-count");
    const int lcd[] = { Manager::GetLedScreenWidth(), Manager::GetLedScreenHeight() };
    Manager::SetLedScreenWidth(32); // small frames keep 1,500 of them quick
    Manager::SetLedScreenHeight(32);
    const ScratchClip clip(folder.path(), L"long.avi", ScratchClip::Mjpg, 25, 1500, 16, 16);
    ExportView view(nullptr, 1, CRect(0, 0, 700, 560), 1, 1);
    ASSERT_EQ(view.SetFileName(clip.path(), 4), 1);
    view.SaveGIFImageFile(folder / L"long.gif", kProgress);
    Gdiplus::Image gif(folder / L"long.gif");
    EXPECT_EQ(gif.GetFrameCount(&Gdiplus::FrameDimensionTime), 1000u);
    ASSERT_EQ(view.SetFileName(clip.path(), 4), 1);
    view.SaveMP4File(folder / L"long.mp4", kProgress);
    cv::VideoCapture mp4(FfmpegPath(folder / L"long.mp4"), cv::CAP_FFMPEG);
    const int fourcc = static_cast<int>(mp4.get(cv::CAP_PROP_FOURCC));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&fourcc), 4), "mp4v");
    int frames = 0;
    for (cv::Mat frame; mp4.read(frame);)
        ++frames;
    EXPECT_EQ(frames, 1500);
    Manager::SetLedScreenWidth(lcd[0]);
    Manager::SetLedScreenHeight(lcd[1]);

    const ScratchClip four(folder.path(), L"four.avi", ScratchClip::Mjpg, 25, 4);
    LcdDialog dialog;
    dialog.open(CRect(0, 0, 700, 560), false);
    auto* window = dialog.addRenderer<ExportView>(CRect(0, 0, 700, 560));
    struct Case { CString path; std::vector<WPARAM> posts; int result; };
    const Case cases[] = { { folder / L"four.gif", { 12, 25, 37, 50, 50, 61, 72, 83, 98 }, 1 },
                           { folder / L"no\\such\\four.gif", { 12, 25, 37, 50, 50, 100 }, 0 } };
    for (const Case& c : cases) {
        ASSERT_EQ(window->SetFileName(four.path(), 4), 1);
        window->SaveGIFImageFile(c.path, kProgress);
        std::vector<WPARAM> posts;
        for (MSG msg; ::PeekMessageW(&msg, dialog.GetSafeHwnd(), kProgress, kProgress, PM_REMOVE);)
            posts.push_back(msg.wParam);
        EXPECT_EQ(posts, c.posts);
        EXPECT_EQ(window->GetLastExportResult(), c.result);
    }
}

TEST(VideoExport, TheRendererBesideTheViewPublishesDuringAnExport)
{
    const ScratchFolder folder(L"video-export-beside");
    const ScratchClip clip(folder.path(), L"long.avi", ScratchClip::Mjpg, 25, 300, 160, 120);
    LcdDialog dialog;
    dialog.open(CRect(0, 0, 700, 560), false); // hidden: the renderer draws on the tick itself
    auto* view = dialog.addRenderer<ExportView>(CRect(0, 0, 700, 560));
    ASSERT_EQ(view->SetFileName(clip.path(), 4), 1);
    view->AddMTimer(); // ticked first: an export that held up its tick would hold up the renderer's
    auto* lcd = dialog.addRenderer(CRect(0, 0, 480, 480));
    lcd->SetLEDMode(LEDModeSystemInfo);
    lcd->AddMTimer();
    std::atomic<bool> exporting { true }, publishedDuring { false };
    std::thread host([&] { publishedDuring = pollUntil([&] { return !pullFrame(*lcd).empty(); }, 20000) && exporting; });
    dialog.SetMTimer(5);
    view->SaveMP4File(folder / L"long.mp4", kProgress);
    exporting = false;
    host.join();
    EXPECT_TRUE(publishedDuring);
    dialog.GetPaintManager()->KillMTimer();
}
