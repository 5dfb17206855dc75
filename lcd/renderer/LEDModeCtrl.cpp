// The LCD renderer's record, its plain settings, the frame clock of the tick, both renders and
// the double buffer the host pulls from.
//
// Threads: setters, DrawControl and the pointer handlers run on the GUI thread, the tick and
// DrawHideControl on the fast-timer thread (a host may call DrawHideControl too), GetLEDData on
// any thread. Lock order: the render lock, then the state lock, then the frame lock. A render
// holds the render lock throughout and the state lock only while it copies the frame's
// snapshot. The tick only tries the state lock for its step (a setter or a render's copy
// holding it delays the step by one tick, never every other control of the fast timer); the
// hidden render waits for both. Repaint requests are raised after the state lock is released;
// from the timer thread they reach the window through the framework's posted invalidation.
#include "lcd/renderer/LEDModeCtrl.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "framework/PaintManager.h"
#include "framework/Registry.h"
#include "lcd/renderer/LcdFrameSnapshot.h"
#include "lcd/renderer/LcdImageHelpers.h"
#include "lcd/renderer/LcdFramePipeline.h"
#include "lcd/renderer/LcdLayerCache.h"
#include "lcd/renderer/LcdSurface.h"
#include "lcd/renderer/LcdTextStamps.h"
#include "platform/TimeSource.h"

namespace KOVA {

namespace {
constexpr int kSmallCapacity = 480 * 480 * 4;
constexpr int kLargeCapacity = 640 * 480 * 4;
constexpr int kQualityOfMovingPictures = 60;
constexpr int kQualityOfDrawnScreens = 90;
constexpr BYTE kHiddenBase = 1;
// Frame periods without a painted frame, while the control shows, before the tick publishes
// through the hidden render: the window's thread is busy with a long job.
constexpr DWORD kStalledPeriods = 3;

int capacityFor(int screenType)
{
    return (screenType == LEDScreenCircle || screenType == LEDScreenSquare) ? kSmallCapacity : kLargeCapacity;
}

float positiveOrOne(float value)
{
    return value > 0.0f ? value : 1.0f;
}

CString readSetting(const wchar_t* name)
{
    CString text;
    ReadRegString(text, name);
    return text;
}
} // namespace

LEDModeCtrl::LEDModeCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_run = 1;
    makeOwnParts();
    SetTextColor(Gdiplus::Color(0xFFFFFFFF));
    readStoredSettings();
    // The factories give the control its rectangle here, not through SetControlRect.
    if (m_carouselPosition.x == 0 && m_carouselPosition.y == 0 && !m_rect.IsRectEmpty())
        m_carouselPosition = defaultCarouselPosition();
}

void LEDModeCtrl::makeOwnParts()
{
    m_visiblePipeline = std::make_unique<LcdFramePipeline>(kLargeCapacity);
    m_hiddenPipeline = std::make_unique<LcdFramePipeline>(kLargeCapacity);
    m_snapshot.reset(new LcdFrameSnapshot);
    m_carouselBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(255, 255, 255, 255));
    m_centredFormat = std::make_unique<Gdiplus::StringFormat>(Gdiplus::StringFormatFlagsNoWrap
                                                              | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    m_centredFormat->SetAlignment(Gdiplus::StringAlignmentCenter);
    m_centredFormat->SetLineAlignment(Gdiplus::StringAlignmentCenter);
    allocateBuffers();
}

LEDModeCtrl::~LEDModeCtrl()
{
    // Out of the tick list first: a tick must not reach a renderer that is half gone.
    StopFastTimer();
    ScopedLock lock(m_frameLock);
    m_front.reset();
    m_back.reset();
    m_frontLength = m_backLength = 0;
}

void LEDModeCtrl::readStoredSettings()
{
    m_carouselPosition.x = _wtoi(readSetting(L"led_car_ptText_x"));
    m_carouselPosition.y = _wtoi(readSetting(L"led_car_ptText_y"));
    m_imageScale = positiveOrOne(static_cast<float>(_wtof(readSetting(L"led_image_scale"))));
    m_captureScale = positiveOrOne(static_cast<float>(_wtof(readSetting(L"led_capwnd_scale"))));
    const CString colour = readSetting(L"led_car_font_color");
    if (!colour.IsEmpty()) {
        const DWORD v = static_cast<DWORD>(_wtoi(colour));
        m_carouselColour = Gdiplus::Color(255, GetRValue(v), GetGValue(v), GetBValue(v));
    }
}

void LEDModeCtrl::allocateBuffers()
{
    m_capacity = capacityFor(m_screenType);
    m_front.reset(new (std::nothrow) BYTE[m_capacity]);
    m_back.reset(new (std::nothrow) BYTE[m_capacity]);
    m_frontLength = m_backLength = 0;
}

void LEDModeCtrl::requestRepaint()
{
    UpdateControl(1, 0);
}

// ---- locks and plain settings

void LEDModeCtrl::EnterCS()
{
    m_stateLock.Enter();
}

void LEDModeCtrl::LeaveCS()
{
    m_stateLock.Leave();
}

void LEDModeCtrl::SetLEDScreenType(int type)
{
    {
        ScopedLock state(m_stateLock);
        ScopedLock frames(m_frameLock);
        m_screenType = type;
        allocateBuffers();
    }
    requestRepaint();
}

void LEDModeCtrl::SetLEDMode(int mode)
{
    {
        ScopedLock lock(m_stateLock);
        m_ledMode = mode;
        m_carouselIndex = 0;
    }
    requestRepaint();
}

void LEDModeCtrl::SetHardWareInfo(HARDWARE_INFO info)
{
    ScopedLock lock(m_stateLock);
    m_hardwareInfo = info;
}

void LEDModeCtrl::SetHardWareType(int item)
{
    {
        ScopedLock lock(m_stateLock);
        m_hardwareItem = item;
    }
    requestRepaint();
}

void LEDModeCtrl::SetSensorType(int layout)
{
    {
        ScopedLock lock(m_stateLock);
        m_sensorLayout = layout;
    }
    requestRepaint();
}

void LEDModeCtrl::SetColockType(int style)
{
    ScopedLock lock(m_stateLock);
    m_clockStyle = style;
}

void LEDModeCtrl::SetRun(int run)
{
    m_run = run;
    requestRepaint();
}

void LEDModeCtrl::SetLEDSwitch(bool on)
{
    {
        ScopedLock lock(m_stateLock);
        m_switch = on;
    }
    requestRepaint();
}

void LEDModeCtrl::SetBrightness(int percent)
{
    {
        ScopedLock lock(m_stateLock);
        m_brightness = static_cast<float>(percent * 255 / 100);
    }
    requestRepaint();
}

void LEDModeCtrl::SetSpeed(int speed)
{
    m_speed = speed;
    requestRepaint();
}

void LEDModeCtrl::SetRotate(int degrees)
{
    {
        ScopedLock lock(m_stateLock);
        m_rotation = degrees % 360;
    }
    requestRepaint();
}

CPoint LEDModeCtrl::defaultCarouselPosition() const
{
    return CPoint(m_rect.left + m_rect.Width() / 2, m_rect.top + 190 + m_rect.Height() / 2);
}

void LEDModeCtrl::ResetLED()
{
    {
        ScopedLock lock(m_stateLock);
        m_imageScale = 1.0f;
        m_captureScale = 1.0f;
        m_carouselPosition = defaultCarouselPosition();
        m_carouselColour = Gdiplus::Color(0xFFFFFFFF);
    }
    WriteRegString(L"led_image_scale", L"1.0");
    WriteRegString(L"led_capwnd_scale", L"1.0");
    WriteRegString(L"led_car_ptText_x", L"0");
    WriteRegString(L"led_car_ptText_y", L"0");
    CString white;
    white.Format(L"%d", 0xFFFFFF);
    WriteRegString(L"led_car_font_color", white);
    requestRepaint();
}

void LEDModeCtrl::SetControlRect(CRect rect)
{
    const bool moved = rect != m_rect;
    {
        ScopedLock lock(m_stateLock);
        m_rect = rect;
        if (moved && m_carouselPosition.x == 0 && m_carouselPosition.y == 0)
            m_carouselPosition = defaultCarouselPosition();
        // Slots made since the last rectangle take their places with this one, moved or not.
        placeSensorSlots();
    }
    if (moved)
        requestRepaint();
}

void LEDModeCtrl::SetCaptureWindow(HWND window)
{
    if (window && !::IsWindow(window))
        return;
    CRect client;
    if (window)
        ::GetClientRect(window, &client);
    {
        ScopedLock lock(m_stateLock);
        m_captureWindow = window;
        m_capturePan = CPoint(client.Width() / 2 - m_rect.Width() / 2, client.Height() / 2 - m_rect.Height() / 2);
    }
    requestRepaint();
}

// ---- GDI helpers

int LEDModeCtrl::RotateDC(HDC dc, int angle, POINT centre)
{
    const int previous = SetGraphicsMode(dc, GM_ADVANCED);
    if (angle != 0) {
        const double r = angle / 180.0 * 3.1415926;
        const double c = cos(r);
        const double s = sin(r);
        const double cx = centre.x;
        const double cy = centre.y;
        XFORM turn {};
        turn.eM11 = static_cast<FLOAT>(c);
        turn.eM12 = static_cast<FLOAT>(s);
        turn.eM21 = static_cast<FLOAT>(-s);
        turn.eM22 = static_cast<FLOAT>(c);
        turn.eDx = static_cast<FLOAT>(cx - cx * c + cy * s);
        turn.eDy = static_cast<FLOAT>(cy - cy * c - cx * s);
        SetWorldTransform(dc, &turn);
    }
    return previous;
}

void LEDModeCtrl::RestoreRotatedDC(HDC dc, int mode)
{
    const XFORM identity { 1, 0, 0, 1, 0, 0 };
    SetWorldTransform(dc, &identity);
    SetGraphicsMode(dc, mode);
}

HBITMAP LEDModeCtrl::CreateARGB32Bitmap(HDC dc, int width, int height, unsigned char** bits)
{
    return LcdSurface::CreateSection(dc, width, height, bits);
}

// ---- the tick

int LEDModeCtrl::OnControlTimer()
{
    if (!m_run)
        return 0;
    const DWORD now = TimeSource::Milliseconds();
    // Unsigned: the millisecond count wraps after 49 days and the difference stays right.
    const DWORD elapsed = now - m_lastFrameTime;
    // A medium may have asked for a period of 0; a frame every millisecond is the most.
    const DWORD period = static_cast<DWORD>(std::max(m_framePeriod, 1));
    if (elapsed < period)
        return 1;
    const DWORD periods = elapsed / period;
    bool stepped = false;
    {
        TryLock state(m_stateLock);
        if (!state.held())
            return 1;
        stepped = FailureOnThrow(false, [&] { return advanceMedia(periods); });
    }
    const bool repaint = stepped && modeRequestsRepaint();
    if (repaint)
        requestRepaint();
    m_lastFrameTime = now - (elapsed - period * periods);
    if (!m_shown) {
        DrawHideControl();
    } else if (repaint && paintIsStalled(now, period)) {
        // In place of the paint, which may itself be drawing: only when no render is. The copy
        // of the snapshot then waits for a setter at most.
        TryLock render(m_renderLock);
        if (render.held())
            DrawHideControl();
    }
    const bool shown = IsShownOnScreen(*this);
    if (shown && !m_shown)
        m_lastPaintedFrame = now; // the paint has its first period to come
    m_shown = shown;
    return 0;
}

bool LEDModeCtrl::paintIsStalled(DWORD now, DWORD period) const
{
    return now - m_lastPaintedFrame.load() > kStalledPeriods * period;
}

// Under the state lock.
bool LEDModeCtrl::advanceMedia(DWORD periods)
{
    // A video steps one frame a tick however late the tick is; it catches up by reading or seeking.
    if (m_ledMode == LEDModeFile && m_mediaKind == MediaKindVideo)
        return stepFileVideo();
    if (m_ledMode == LEDModeFile && m_media.image && m_frameCount > 1)
        m_frameIndex = static_cast<int>((m_frameIndex + static_cast<unsigned long long>(periods)) % m_frameCount);
    else if (m_ledMode == LEDModeClock && m_clockFrameCount > 1) {
        m_clockFrameIndex =
            static_cast<int>((m_clockFrameIndex + static_cast<unsigned long long>(periods)) % m_clockFrameCount);
        followClockVideo();
    }
    return true;
}

bool LEDModeCtrl::modeRequestsRepaint() const
{
    switch (m_ledMode) {
    case LEDModeFile:
    case LEDModeSystemInfo:
    case LEDModeCarousel:
    case LEDModeWindowCapture:
    case LEDModeWeather:
    case LEDModeClock:
        return true;
    default:
        return false;
    }
}

// ---- the two renders

void LEDModeCtrl::DrawControl(HDC& dc, CRect)
{
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    LcdFramePipeline& pipeline = *m_visiblePipeline;
    if (!pipeline.Prepare(dc, width, height))
        return;
    if (m_update != 1) {
        ScopedLock drawing(m_renderLock);
        // The corners of the circular screen keep what the window shows under the control.
        ::BitBlt(pipeline.dc(), 0, 0, width, height, dc, m_rect.left, m_rect.top, SRCCOPY);
        renderFrame(pipeline);
        m_update = 1;
        m_lastPaintedFrame = TimeSource::Milliseconds();
    }
    ::BitBlt(dc, m_rect.left, m_rect.top, width, height, pipeline.dc(), 0, 0, SRCCOPY);
}

void LEDModeCtrl::DrawHideControl()
{
    ScopedLock drawing(m_renderLock);
    LcdFramePipeline& pipeline = *m_hiddenPipeline;
    if (!pipeline.Prepare(m_manager ? m_manager->GetPaintDC() : nullptr, m_rect.Width(), m_rect.Height()))
        return;
    // Outside the circle of screen type 1 the hidden frame shows this near-black.
    pipeline.FillPlain(RGB(kHiddenBase, kHiddenBase, kHiddenBase));
    renderFrame(pipeline);
}

void LEDModeCtrl::HiddenFramePixels(std::vector<BYTE>& into, int& width, int& height)
{
    ScopedLock drawing(m_renderLock);
    m_hiddenPipeline->EncodedPixels(into);
    width = into.empty() ? 0 : m_hiddenPipeline->EncodedWidth();
    height = into.empty() ? 0 : m_hiddenPipeline->EncodedHeight();
}

// The render lock is held.
void LEDModeCtrl::renderFrame(LcdFramePipeline& pipeline)
{
    HDC dc = pipeline.dc();
    {
        // The snapshot is copied here, under the state lock; the frame draws with it free.
        const FrameScope frame(*this);
        // A frame that fails part way (OpenCV, an allocation) is published as far as it got.
        FailureOnThrow(false, [&] {
            drawFrame(pipeline, dc);
            return true;
        });
    }
    // The circular screen is mounted a quarter turn round from the others.
    const LcdFrameSnapshot& s = snapshot();
    publish(pipeline, jpegQuality(), s.rotation + (s.circular() ? 90 : 0));
}

void LEDModeCtrl::drawFrame(LcdFramePipeline& pipeline, HDC& dc)
{
    const LcdFrameSnapshot& s = snapshot();
    int width = s.width;
    int height = s.height;
    const bool disc = s.circular();
    pipeline.FillBase(disc);
    m_dimInsideEllipse = false; // a screen that clips the frame sets it again
    if (s.on) {
        {
            Gdiplus::Graphics g(dc);
            // Both renders draw with the same settings, so a frame does not depend on which one made it.
            g.SetTextRenderingHint(s.hint);
            g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
            g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
            DrawLEDMode(g, width, height, dc);
        }
        if (s.brightness < 255.0f)
            pipeline.Dim(disc, static_cast<int>(255.0f - s.brightness) & 0xFF, m_dimInsideEllipse);
    }
    if (disc && s.disc.image) {
        Gdiplus::Graphics over(dc);
        over.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        over.DrawImage(s.disc.image.get(), Gdiplus::Rect(0, 0, width, height), 0, 0, s.disc.width, s.disc.height,
                       Gdiplus::UnitPixel);
    }
}

// Of the frame's snapshot.
int LEDModeCtrl::jpegQuality() const
{
    switch (snapshot().ledMode) {
    case LEDModeFile:
    case LEDModeWindowCapture:
    case LEDModeClock:
        return kQualityOfMovingPictures;
    default:
        return kQualityOfDrawnScreens;
    }
}

// ---- publishing and the pull

void LEDModeCtrl::publish(LcdFramePipeline& pipeline, int quality, int degrees)
{
    const int size = pipeline.Encode(degrees, quality);
    if (size > 0)
        storeFrame(pipeline.Data(), size);
}

void LEDModeCtrl::storeFrame(const BYTE* jpeg, int size)
{
    ScopedLock lock(m_frameLock);
    // A frame that does not fit the buffers of the current screen type is dropped whole: the
    // host sizes its buffer by that capacity.
    if (!m_front || !m_back || size > m_capacity)
        return;
    memcpy(m_back.get(), jpeg, static_cast<size_t>(size));
    m_backLength = size;
    std::swap(m_front, m_back);
    std::swap(m_frontLength, m_backLength);
}

bool LEDModeCtrl::GetLEDData(unsigned char* buffer, int& length)
{
    length = 0;
    if (!buffer)
        return false;
    ScopedLock lock(m_frameLock);
    memset(buffer, 0, static_cast<size_t>(m_capacity));
    if (m_frontLength <= 0 || !m_front)
        return false;
    memcpy(buffer, m_front.get(), static_cast<size_t>(m_frontLength));
    length = m_frontLength;
    return true;
}

} // namespace KOVA
