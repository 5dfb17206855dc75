#include "lcd/timed/ClockCtrl.h"

#include <cstring>

#include "framework/AppPaths.h"
#include "framework/MRender.h"
#include "framework/Manager.h"
#include "framework/PaintManager.h"
#include "lcd/renderer/LcdImageHelpers.h"
#include "lcd/renderer/LcdSurface.h"
#include "platform/TimeSource.h"

namespace KOVA {

namespace {

enum Hand { HourHand, MinuteHand, SecondHand };
// What no image covers: FF 00 FF 00 in memory order (GDI fills leave alpha 0).
constexpr COLORREF kUncovered = RGB(255, 0, 255);
constexpr float kDegreesPerSecond = 6.0f;

} // namespace

// The ground of the frame, kept from call to call (it changes only with the control image): a
// frame is one copy of it and one hand. A 480 × 480 surface of its own.
struct ClockCtrl::Frame {
    // The uncovered colour under the control image stretched to the frame.
    void paintGround(Gdiplus::Image* image, unsigned version)
    {
        HDC target = ground.dc();
        const RECT whole { 0, 0, kFrameSide, kFrameSide };
        MRender::FillSolidRect(target, &whole, kUncovered);
        if (image) {
            Gdiplus::Graphics g(target);
            g.DrawImage(image, Gdiplus::Rect(0, 0, kFrameSide, kFrameSide));
        }
        GdiFlush();
        groundVersion = version;
        painted = true;
    }

    LcdSurface ground;
    // The version of the control image's copy the ground shows.
    unsigned groundVersion { 0 };
    bool painted { false };
};

void ClockCtrl::FrameDeleter::operator()(Frame* frame) const
{
    delete frame;
}

void ClockCtrl::Picture::load(const CString& fileName)
{
    image.reset(MRender::LoadImageFromFile(GetSkinPath() + fileName));
    width = image ? static_cast<int>(image->GetWidth()) : 0;
    height = image ? static_cast<int>(image->GetHeight()) : 0;
}

ClockCtrl::ClockCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : LcdTimedView(parent, id, rect, visible, enabled)
{
}

ClockCtrl::ClockCtrl(const ClockCtrl& other) = default;
ClockCtrl& ClockCtrl::operator=(const ClockCtrl& other) = default;

ClockCtrl::~ClockCtrl()
{
    StopFastTimer();
}

const wchar_t* ClockCtrl::GetClassNameW() const { return L"ClockCtrl"; }

int ClockCtrl::SetImage(const wchar_t* path, int count)
{
    ScopedLock lock(m_lock);
    const int result = MControlFont::SetImage(path, count);
    keepGroundImage();
    return result;
}

int ClockCtrl::SetImage(UINT resourceId, CString type, int count)
{
    ScopedLock lock(m_lock);
    const int result = MControlFont::SetImage(resourceId, type, count);
    keepGroundImage();
    return result;
}

// GUI thread, under m_lock. The control image belongs to the window's cache, which the GUI
// thread draws from; a GDI+ image is not to be drawn on two threads at once, so the frame that
// GetLEDData makes on the host's thread draws a copy of its own.
void ClockCtrl::keepGroundImage()
{
    m_groundImage->reset(m_image ? m_image->Clone() : nullptr);
    ++*m_groundVersion;
}

void ClockCtrl::SetCircleImage(CString fileName)
{
    ScopedLock lock(m_lock);
    m_circle->load(fileName);
}

void ClockCtrl::SetHMSImage(CString hourFile, CString minuteFile, CString secondFile)
{
    ScopedLock lock(m_lock);
    m_hands[HourHand]->load(hourFile);
    m_hands[MinuteHand]->load(minuteFile);
    m_hands[SecondHand]->load(secondFile);
}

HBITMAP ClockCtrl::CreateARGB32Bitmap(HDC dc, int width, int height, BYTE** bits)
{
    return LcdSurface::CreateSection(dc, width, height, bits);
}

void ClockCtrl::PaintPicture(HDC picture, int width, int height)
{
    ScopedLock lock(m_lock);
    if (!m_image)
        return;
    Gdiplus::Graphics g(picture);
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    g.DrawImage(m_image, Gdiplus::Rect(0, 0, width, height));
}

bool ClockCtrl::GetLEDData(BYTE* buffer)
{
    if (!buffer)
        return false;
    ScopedLock lock(m_lock);
    if (!prepareFrame())
        return false;
    memcpy(buffer, (*m_frame)->ground.bits(), kFrameBytes);
    drawSecondHand(buffer);
    return true;
}

// The ground is made compatible with the window's DC, so a control that is not bound to a
// window (or whose window has gone) has no frame.
bool ClockCtrl::prepareFrame()
{
    HDC reference = m_manager ? m_manager->GetPaintDC() : nullptr;
    if (!reference)
        return false;
    if (!*m_frame) {
        std::unique_ptr<Frame, FrameDeleter> frame(new Frame);
        if (!frame->ground.Prepare(reference, kFrameSide, kFrameSide))
            return false;
        *m_frame = std::move(frame);
    }
    Frame& frame = **m_frame;
    if (!frame.painted || frame.groundVersion != *m_groundVersion)
        frame.paintGround(m_groundImage->get(), *m_groundVersion);
    return true;
}

// Drawn straight into the frame's bytes: GDI+ through a DC of the kept surface would read
// the area back from GDI and cost several times as much under Wine.
void ClockCtrl::drawSecondHand(BYTE* frame)
{
    const Picture& hand = *m_hands[SecondHand];
    if (!hand.image)
        return;
    SYSTEMTIME now {};
    TimeSource::LocalTime(now);
    const float scale = Manager::GetScaleValue();
    Gdiplus::Bitmap target(kFrameSide, kFrameSide, kFrameSide * 4, PixelFormat32bppRGB, frame);
    Gdiplus::Graphics g(&target);
    constexpr float kCentre = kFrameSide / 2.0f;
    DrawHandImage(g, hand.image.get(), static_cast<int>(static_cast<float>(hand.width) * scale),
                  static_cast<int>(static_cast<float>(hand.height) * scale), Gdiplus::PointF(kCentre, kCentre),
                  now.wSecond * kDegreesPerSecond, 0);
}

} // namespace KOVA
