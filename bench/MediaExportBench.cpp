// The video view's MP4 export of a 750-frame 640x360 clip to the 480x480 LCD, beside the floor
// of bare OpenCV doing the same work (decode, fit on black, MPEG-4 encode) in the same run.
// The export's figure includes its fixed 100 ms start wait. The GIF export is measured in
// GifWriterBench, beside the writer and bare giflib.
#include "BenchKit.h"
#include "lcd/media/VideoClip.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <cstdio>
#include <vector>

using namespace KOVA;

namespace {

constexpr int kFrames = 750;
constexpr int kRuns = 3;
constexpr double kGoal = 0.8;

// A moving gradient with a disc, so that the encoders have detail to work on.
void writeClip(const std::string& path)
{
    cv::VideoWriter writer(path, cv::CAP_FFMPEG, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 25, { 640, 360 });
    cv::Mat frame(360, 640, CV_8UC3);
    for (int k = 0; k < kFrames; ++k) {
        for (int y = 0; y < frame.rows; ++y)
            for (int x = 0; x < frame.cols; ++x)
                frame.at<cv::Vec3b>(y, x) = cv::Vec3b(uchar(x + k), uchar(y * 2), uchar((x + y) / 4 + k * 3));
        cv::circle(frame, { (k * 7) % 640, 180 }, 60, cv::Scalar(250, 250, 90), cv::FILLED);
        writer << frame;
    }
}

// What the export does for each frame, written straight on OpenCV.
void bareExport(const std::string& clip, const std::string& out)
{
    cv::VideoCapture capture(clip, cv::CAP_FFMPEG);
    cv::VideoWriter writer(out, cv::CAP_FFMPEG, cv::VideoWriter::fourcc('M', 'P', '4', 'V'), 25, { 480, 480 });
    cv::Mat frame, fitted(480, 480, CV_8UC3, cv::Scalar::all(0));
    const cv::Rect band(0, 105, 480, 270);
    while (capture.read(frame)) {
        cv::resize(frame, fitted(band), band.size(), 0, 0, cv::INTER_LINEAR);
        writer.write(fitted);
    }
}

} // namespace

int wmain()
{
    const BenchKit::LibraryScope library(GetModuleHandleW(nullptr));
    {
        const CString folder = BenchKit::scratchFolder(L"kova-media-export-bench");
        const CString clip = folder + L"clip.avi";
        writeClip(FfmpegPath(clip));

        std::vector<double> exported, bare;
        for (int run = 0; run < kRuns; ++run) {
            OpenCVViewCtrl view(nullptr, 1, CRect(0, 0, 700, 560), 1, 1);
            view.SetFileName(clip, 4);
            double start = BenchKit::nowMs();
            view.SaveMP4File(folder + L"view.mp4", 0);
            exported.push_back(BenchKit::nowMs() - start);
            start = BenchKit::nowMs();
            bareExport(FfmpegPath(clip), FfmpegPath(folder + L"bare.mp4"));
            bare.push_back(BenchKit::nowMs() - start);
        }
        const double view = BenchKit::Samples(exported).median();
        const double floor = BenchKit::Samples(bare).median();
        printf("%-52s %8.1f ms  %6.3f ms a frame\n", "SaveMP4File, 750 frames 640x360 -> 480x480", view, view / kFrames);
        printf("%-52s %8.1f ms  %6.3f ms a frame\n", "bare OpenCV decode + fit + MPEG-4 encode", floor, floor / kFrames);
        printf("%-52s %8.2f (goal >= %.1f)\n", "speed against the floor", floor / view, kGoal);

        DeleteFileW(clip);
        DeleteFileW(folder + L"view.mp4");
        DeleteFileW(folder + L"bare.mp4");
        RemoveDirectoryW(folder);
    }
    return 0;
}
