// The start-up and standby medium: a GIF this page makes itself (a clip it writes with
// OpenCV's writer, exported as a GIF by a video view) previewed on the round screen, and the
// clip itself playing on the square one. Headless, a video view exports the clip as
// out/media/startup.mp4 and out/media/startup.gif, listing the progress it posted to the window
// in out/media/progress.txt, and the round preview writes its start-up frames (a quarter turn
// clockwise) as out/media/startupN.jpg and its standby picture as out/media/standby.jpg.
#include "SamplePage.h"

#include <cmath>
#include <cstdio>
#include <string>

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include "HostTools.h"

using namespace KOVA;

namespace {

constexpr UINT kRoundId = 4800;
constexpr UINT kSquareId = 4801;
constexpr UINT kExporterId = 4802;
constexpr UINT kProgressMessage = WM_APP + 48;
constexpr UINT kFastTimerPeriod = 10;
constexpr int kClipSide = 240;
constexpr int kClipFrames = 40;
// Wine's GDI+ takes a good part of a second to select a GIF frame: the GIF stays short and
// slow (two frames a second).
constexpr int kGifFrames = 8;

// Frame k: a dial turning on a dark ground, the frame number at its foot.
cv::Mat clipFrame(int k)
{
    cv::Mat frame(kClipSide, kClipSide, CV_8UC3, cv::Scalar(60, 30, 20));
    const cv::Point centre(kClipSide / 2, kClipSide / 2);
    cv::circle(frame, centre, 100, cv::Scalar(240, 200, 120), 6, cv::LINE_AA);
    const double angle = k * 2 * CV_PI / kClipFrames;
    const cv::Point tip(centre.x + static_cast<int>(90 * std::sin(angle)), centre.y - static_cast<int>(90 * std::cos(angle)));
    cv::line(frame, centre, tip, cv::Scalar(255, 48, 189), 8, cv::LINE_AA);
    cv::putText(frame, std::to_string(k), { centre.x - 16, centre.y + 70 }, cv::FONT_HERSHEY_SIMPLEX, 1.0,
                cv::Scalar(255, 255, 255), 2);
    return frame;
}

CString clipPath() { return HostTools::SkinFolder() + L"startup-sample.avi"; }
CString shortClipPath() { return HostTools::SkinFolder() + L"startup-short.avi"; }
CString gifPath() { return HostTools::SkinFolder() + L"startup-sample.gif"; }

// Every step-th of the first frames of the dial, as a clip at path.
void writeClip(const CString& path, int frames, int step, double fps)
{
    cv::VideoWriter writer(HostTools::OpenCvPath(path), cv::CAP_FFMPEG, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), fps,
                           cv::Size(kClipSide, kClipSide));
    for (int k = 0; writer.isOpened() && k < frames; ++k)
        writer << clipFrame(k * step);
}

void build(MPanel* page, const CRect& area)
{
    writeClip(clipPath(), kClipFrames, 1, 20);
    writeClip(shortClipPath(), kGifFrames, kClipFrames / kGifFrames, 2);
    // A view without a window posts no progress: this export only makes the page's GIF, at
    // half the LCD's size (Wine's GDI+ draws a GIF frame slowly, the more so the larger).
    OpenCVViewCtrl maker(nullptr, 0, CRect(0, 0, 700, 560), 0, 1);
    const int lcd[] = { Manager::GetLedScreenWidth(), Manager::GetLedScreenHeight() };
    Manager::SetLedScreenWidth(lcd[0] / 2);
    Manager::SetLedScreenHeight(lcd[1] / 2);
    if (maker.SetFileName(shortClipPath(), 4) == 1)
        maker.SaveGIFImageFile(gifPath(), kProgressMessage);
    Manager::SetLedScreenWidth(lcd[0]);
    Manager::SetLedScreenHeight(lcd[1]);
    const CRect round(area.left + 20, area.top + 40, area.left + 480, area.top + 500);
    const CRect square(area.left + 520, area.top + 30, area.left + 1040, area.top + 550);
    auto* gif = dynamic_cast<LEDImageCtrl2*>(page->CreateControl(L"LEDImageCtrl2", kRoundId, round, L"", 1, 1));
    auto* video = dynamic_cast<LEDImageCtrl2*>(page->CreateControl(L"LEDImageCtrl2", kSquareId, square, L"", 1, 1));
    PaintManager* manager = page->GetManager();
    if (!gif || !video || !manager)
        return;
    gif->SetImageFile(gifPath(), MediaKindGif);
    video->SetLEDType(LEDScreenSquare);
    video->SetImageFile(clipPath(), MediaKindVideo);
    manager->AddMTimer(gif);
    manager->AddMTimer(video);
    manager->SetMTimer(kFastTimerPeriod);
}

// The progress the exports posted to the window, in the order the window got it.
std::wstring takeProgress(HWND window, const wchar_t* what)
{
    std::wstring lines;
    for (MSG msg; PeekMessageW(&msg, window, kProgressMessage, kProgressMessage, PM_REMOVE);)
        lines += std::wstring(what) + L" " + std::to_wstring(msg.wParam) + L"\n";
    return lines;
}

void writeOutputs(MPanel* page, const std::wstring& outDir)
{
    const std::wstring media = outDir + L"\\media\\";
    CreateDirectoryW(media.c_str(), nullptr);
    PaintManager* manager = page->GetManager();
    auto* exporter = dynamic_cast<OpenCVViewCtrl*>(
        page->CreateControl(L"OpenCVViewCtrl", kExporterId, CRect(0, 0, 700, 560), L"", 0, 1));
    if (!manager || !exporter)
        return;
    std::wstring progress;
    // Each export closes the video: it is opened again for the next.
    exporter->SetFileName(clipPath(), 4);
    exporter->SaveMP4File(CString((media + L"startup.mp4").c_str()), kProgressMessage);
    progress += takeProgress(manager->GetPaintWnd(), L"mp4");
    exporter->SetFileName(clipPath(), 4);
    exporter->SaveGIFImageFile(CString((media + L"startup.gif").c_str()), kProgressMessage);
    progress += takeProgress(manager->GetPaintWnd(), L"gif");
    if (FILE* file = _wfopen((media + L"progress.txt").c_str(), L"w, ccs=UTF-8")) {
        fputws(progress.c_str(), file);
        fclose(file);
    }
    if (auto* gif = dynamic_cast<LEDImageCtrl2*>(page->GetControl(kRoundId))) {
        gif->SaveStartUpAnimeImage(CString((media + L"startup").c_str()), 90.0f);
        gif->SaveSTBYAnimeImage(CString((media + L"standby.jpg").c_str()), 0.0f);
    }
}

} // namespace

extern const SamplePage kStartupAnimationPage = { L"startup", build, writeOutputs, nullptr };
