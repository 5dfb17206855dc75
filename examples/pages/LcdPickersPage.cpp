// The LCD pickers page: the clock-face picker with its captions and bar, the screen-type
// picker with one thumbnail per screen, the mode list scrolled by its bar, and the media list
// with the thumbnails of a clip, a GIF and a picture, over images the host writes itself.
#include "SamplePage.h"

#include <memory>

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include "HostTools.h"

using namespace KOVA;

namespace {

constexpr UINT kFirstId = 7000;
constexpr int kThumb = 160;
const Gdiplus::Color kPurple(255, 189, 48, 255);
const wchar_t* const kFaceNames[] { L"Classic", L"Minimal", L"Sport", L"Night", L"Ocean" };
const Gdiplus::Color kFaceColours[] { { 255, 230, 230, 235 }, { 255, 120, 200, 255 }, { 255, 255, 170, 60 },
                                      { 255, 110, 110, 130 }, { 255, 60, 200, 170 } };

// A clock face: a dial ring in the face's colour, twelve marks and two hands.
void writeFace(int index)
{
    const CString name = CString(L"sample_clock_face") + CString(std::to_wstring(index).c_str()) + L".png";
    HostTools::WriteSkinStrip(name, kThumb, kThumb, 1, [&](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush dial(Gdiplus::Color(255, 24, 24, 30));
        g.FillEllipse(&dial, r);
        const Gdiplus::Pen ring(kFaceColours[index], 6.0f);
        g.DrawEllipse(&ring, r.X + 6, r.Y + 6, r.Width - 12, r.Height - 12);
        const Gdiplus::PointF centre(r.X + r.Width / 2.0f, r.Y + r.Height / 2.0f);
        g.TranslateTransform(centre.X, centre.Y);
        const Gdiplus::Pen mark(kFaceColours[index], 3.0f);
        for (int hour = 0; hour < 12; ++hour) {
            g.DrawLine(&mark, 0.0f, -62.0f, 0.0f, -52.0f);
            g.RotateTransform(30.0f);
        }
        const Gdiplus::Pen hand(Gdiplus::Color(255, 240, 240, 240), 4.0f);
        g.RotateTransform(40.0f * index);
        g.DrawLine(&hand, 0.0f, 0.0f, 0.0f, -45.0f);
        g.RotateTransform(100.0f);
        g.DrawLine(&hand, 0.0f, 0.0f, 0.0f, -30.0f);
        g.ResetTransform();
    });
}

// A screen thumbnail: the device's panel in the shape of its screen with a gradient on it.
void writeScreen(const wchar_t* name, bool round, int height)
{
    HostTools::WriteSkinStrip(name, kThumb, height, 1, [&](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::LinearGradientBrush glow(r, Gdiplus::Color(255, 40, 90, 200), kPurple,
                                                Gdiplus::LinearGradientModeForwardDiagonal);
        if (round)
            g.FillEllipse(&glow, r);
        else
            g.FillRectangle(&glow, r);
    });
}

void writeSkin()
{
    for (int i = 0; i < static_cast<int>(std::size(kFaceNames)); ++i)
        writeFace(i);
    writeScreen(L"sample_screen_round.png", true, kThumb);
    writeScreen(L"sample_screen_square.png", false, kThumb);
    writeScreen(L"sample_screen_wide.png", false, kThumb * 3 / 4);
    // The plate behind the hovered and the selected face.
    HostTools::WriteSkinStrip(L"sample_clock_plate.png", 40, 40, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush plate(Gdiplus::Color(255, 60, 36, 84));
        g.FillRectangle(&plate, r);
    });
}

const struct { const wchar_t* text; int mode; } kModes[] {
    { L"Picture or video", LEDModeFile },   { L"System information", LEDModeSystemInfo },
    { L"Water cooling", LEDModeWaterCooling }, { L"Carousel", LEDModeCarousel },
    { L"Window capture", LEDModeWindowCapture }, { L"Weather", LEDModeWeather },
    { L"Clock", LEDModeClock },
};

// A short clip whose first frame is a sunset: the media list shows that frame.
CString writeClip()
{
    const CString path = HostTools::SkinFolder() + L"sample_media_clip.avi";
    cv::VideoWriter writer(HostTools::OpenCvPath(path), cv::CAP_FFMPEG, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 10, cv::Size(160, 120));
    for (int k = 0; writer.isOpened() && k < 10; ++k) {
        cv::Mat frame(120, 160, CV_8UC3, cv::Scalar(90, 60, 200));
        cv::circle(frame, { 80, 90 - k * 2 }, 30, cv::Scalar(60, 200, 255), cv::FILLED, cv::LINE_AA);
        cv::rectangle(frame, { 0, 90 }, { 160, 120 }, cv::Scalar(80, 40, 20), cv::FILLED);
        writer << frame;
    }
    return path;
}

// A one-frame GIF of rings, through GDI+'s indexed route (its 32-bit GIFs do not read back).
CString writeGif()
{
    const CString path = HostTools::SkinFolder() + L"sample_media_rings.gif";
    Gdiplus::Bitmap full(kThumb, kThumb, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&full);
        g.Clear(Gdiplus::Color(255, 20, 40, 60));
        for (int r = 70; r > 0; r -= 14) {
            const Gdiplus::Pen ring(r % 28 ? kPurple : Gdiplus::Color(255, 60, 200, 170), 6.0f);
            g.DrawEllipse(&ring, kThumb / 2 - r, kThumb / 2 - r, 2 * r, 2 * r);
        }
    }
    const std::unique_ptr<Gdiplus::Bitmap> indexed(full.Clone(0, 0, kThumb, kThumb, PixelFormat8bppIndexed));
    CLSID gif {};
    GetEncoderClsid(L"image/gif", &gif);
    if (indexed)
        indexed->Save(path, &gif, nullptr);
    return path;
}

void addModeList(MPanel* page, UINT id, const CRect& rect)
{
    HostTools::WriteSkinStrip(L"sample_mode_icon.png", 24, 24, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush dot(kPurple);
        g.FillEllipse(&dot, r.X + 4, r.Y + 4, r.Width - 8, r.Height - 8);
    });
    auto* modes = static_cast<LEDModeList*>(page->CreateControl(L"LEDModeList", id, rect, L"", 1, 1));
    modes->SetTextColor(Gdiplus::Color(255, 220, 220, 225));
    modes->SetControlRect(rect);
    for (const auto& mode : kModes)
        modes->AddItem(mode.text, L"sample_mode_icon.png", mode.mode);
    modes->SetSelectItem(2);
}

void addMediaList(MPanel* page, UINT id, const CRect& rect)
{
    auto* media = static_cast<LEDImageCtrl*>(page->CreateControl(L"LEDImageCtrl", id, rect, L"", 1, 1));
    media->SetLEDScreenType(LEDScreenSquare);
    media->AddItem(writeClip(), MediaKindVideo);
    media->AddItem(writeGif(), MediaKindGif);
    media->AddItem(HostTools::SkinFolder() + L"sample_clock_face2.png", MediaKindPicture);
    media->SetSelectItem(1);
}

void build(MPanel* page, const CRect& area)
{
    writeSkin();
    UINT id = kFirstId;
    const int left = area.left + 20;
    const int top = area.top + 16;
    auto* faces = static_cast<ClockTypeCtrl*>(page->CreateControl(L"ClockTypeCtrl", id++,
                                                                  CRect(left, top, left + 300, top + 420), L"", 1, 1));
    faces->SetImage(L"sample_clock_plate.png", 1);
    faces->SetTextColor(Gdiplus::Color(255, 220, 220, 225));
    faces->SetControlRect(CRect(left, top, left + 300, top + 420));
    for (int i = 0; i < static_cast<int>(std::size(kFaceNames)); ++i)
        faces->AddItem(kFaceNames[i], CString(L"sample_clock_face") + CString(std::to_wstring(i).c_str()) + L".png", i);
    faces->SetSelectItem(1);

    const int right = left + 340;
    auto* screens = static_cast<LEDTypeCtrl*>(page->CreateControl(L"LEDTypeCtrl", id++,
                                                                  CRect(right, top, right + 400, top + 300), L"", 1, 1));
    screens->AddItem(L"sample_screen_round.png", LEDScreenCircle);
    screens->AddItem(L"sample_screen_wide.png", LEDScreenWide);
    screens->AddItem(L"sample_screen_square.png", LEDScreenSquare);
    screens->SetLEDScreenType(LEDScreenSquare);
    screens->SetSelectItem(2);

    addModeList(page, id++, CRect(right + 430, top, right + 690, top + 220));
    addMediaList(page, id++, CRect(right, top + 320, right + 420, top + 440));
}

} // namespace

extern const SamplePage kLcdPickersPage { L"lcd-pickers", build, nullptr, nullptr };
