// The clock faces of LED mode 7: the preamble every face is drawn over (the black ground, the
// circular screen's clip, the clock background) and the eight faces of the round and square
// screens, one table each (lcd/screens/ClockFacePainter.h tells how a table reads). Over a still
// picture the face's still part is kept with the ground and picture in the still layer; over a
// GIF or video its still elements are kept on a transparent layer laid over each background
// frame, and a GIF's frames are kept stretched (lcd/screens/ClockBackdropLayers.h).
//
// Runs inside a render with the render lock held (LEDModeCtrl.cpp): the icons, hands, texts,
// colours, sensor values and the background the faces read come from the frame's snapshot,
// which holds its own references to the images, so a setter swapping one under the state lock
// never frees one a face is drawing. The clock video is the record's: its frame is read and
// drawn under the state lock, which the tick's step of it holds too.
#include "lcd/renderer/LEDModeCtrl.h"

#include <iterator>

#include "framework/MRender.h"
#include "lcd/media/VideoClip.h"
#include "lcd/renderer/LcdFrameSnapshot.h"
#include "lcd/screens/ClockBackdropLayers.h"
#include "lcd/screens/ClockFacePainter.h"

namespace KOVA {

namespace {
constexpr int kRoundScreens = 70;
constexpr int kWideScreens = 80;
// The background is stretched to the screen's own size, whatever the control's.
constexpr int kRoundSide = 480;
constexpr int kWideWidth = 640;
constexpr int kScreenHeight = 480;
} // namespace

// ---- the preamble

void LEDModeCtrl::DrawClockFace(Gdiplus::Graphics& g, int width, int height, const ClockFace& face)
{
    const FrameScope frame(*this);
    if (!m_clockPainter)
        m_clockPainter.reset(new ClockFacePainter);
    const SYSTEMTIME& now = snapshot().now;
    m_clockBackdrop = clockBackdrop(face);
    m_clockPainter->Begin(snapshot(), face, textStamps());
    // The still layer holds the date's texts: a new day (or another background) draws it anew.
    const int date = now.wYear * 10000 + now.wMonth * 100 + now.wDay;
    const int screen = (face.screen == ClockScreen::Wide ? kWideScreens : kRoundScreens) + face.number;
    if (m_clockBackdrop == ClockBackdrop::GifFrame || m_clockBackdrop == ClockBackdrop::VideoFrame) {
        drawOverMovingBackdrop(g, width, height, date, screen);
        return;
    }
    // The stretched frames of a GIF shown before are not kept behind a still background.
    if (m_clockBackdropLayers)
        m_clockBackdropLayers->ForgetGifFrames();
    DrawLayered(g, width, height, date * 4 + static_cast<int>(m_clockBackdrop), screen, &LEDModeCtrl::clockStill,
                &LEDModeCtrl::clockMoving);
}

LEDModeCtrl::ClockBackdrop LEDModeCtrl::clockBackdrop(const ClockFace& face)
{
    const LcdFrameSnapshot& s = snapshot();
    // Reading the status clears it: a picture that failed last frame is skipped for this one.
    if (s.clockBackground.image && s.clockBackground.image->GetLastStatus() == Gdiplus::Ok)
        return s.clockMediaKind == MediaKindGif && s.clockFrameCount > 1 ? ClockBackdrop::GifFrame
                                                                         : ClockBackdrop::Picture;
    // The capture is shared with the file screen: its video is the clock's only when the clock
    // background is a video.
    if (face.screen == ClockScreen::Round && s.clockMediaKind == MediaKindVideo && s.videoOpen)
        return ClockBackdrop::VideoFrame;
    return ClockBackdrop::None;
}

void LEDModeCtrl::clockStill(Gdiplus::Graphics& g, int width, int height, int)
{
    drawClockGround(g, width, height);
    if (m_clockBackdrop == ClockBackdrop::Picture)
        drawClockBackdrop(g);
    m_clockPainter->Draw(g, width, height, ClockPass::Still);
}

void LEDModeCtrl::clockMoving(Gdiplus::Graphics& g, int width, int height, int)
{
    if (m_clockPainter->Face().antiAliasAfterGround)
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    // The circle's clip is set only for what may reach past it.
    m_clockPainter->Draw(g, width, height, ClockPass::Moving, clipsToCircle());
}

void LEDModeCtrl::drawOverMovingBackdrop(Gdiplus::Graphics& g, int width, int height, int item, int screen)
{
    if (!m_clockBackdropLayers)
        m_clockBackdropLayers.reset(new ClockBackdropLayers);
    // GDI puts the background frame and the overlay on; what GDI+ queued lands first.
    g.Flush(Gdiplus::FlushIntentionSync);
    const HRGN circle = clipsToCircle() ? m_clockPainter->Ellipse(g, width, height) : nullptr;
    const HDC dc = g.GetHDC();
    bool backdrop = true;
    if (m_clockBackdrop == ClockBackdrop::GifFrame)
        backdrop = drawGifBackdrop(g, dc, circle, width, height);
    else
        drawVideoBackdrop(dc, circle, width, height);
    const bool overlaid = backdrop && drawStillOverlay(g, dc, width, height, item, screen);
    const bool handsKept = overlaid && drawKeptHands(g, dc, width, height, item, screen);
    g.ReleaseHDC(dc);
    // Without the memory for a layer, what it would hold is drawn straight onto the frame.
    const Gdiplus::GraphicsState before = g.Save();
    if (!backdrop) {
        drawClockGround(g, width, height);
        drawClockBackdrop(g);
    }
    if (!overlaid) {
        if (m_clockPainter->Face().antiAliasAfterGround)
            g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        g.ResetClip();
        m_clockPainter->Draw(g, width, height, ClockPass::Still, clipsToCircle());
    }
    g.Restore(before);
    if (!handsKept)
        clockMoving(g, width, height, item);
}

// The still elements on their transparent layer, drawn anew when anything they read changed
// (every frame when layers are not kept), laid over the frame; false without a layer.
bool LEDModeCtrl::drawStillOverlay(Gdiplus::Graphics& g, HDC dc, int width, int height, int item, int screen)
{
    return drawKeptElements(m_clockBackdropLayers->Overlay(), g, dc, width, height, item, screen, ClockPass::Still, -1);
}

// The hands, where they are all the face draws every frame, on their transparent layer: drawn
// anew when the second changes; false where they are drawn straight onto the frame.
bool LEDModeCtrl::drawKeptHands(Gdiplus::Graphics& g, HDC dc, int width, int height, int item, int screen)
{
    if (!m_clockPainter->MovesOnlyHands())
        return false;
    const SYSTEMTIME& t = snapshot().now;
    const int second = (t.wHour * 60 + t.wMinute) * 60 + t.wSecond;
    return drawKeptElements(m_clockBackdropLayers->Hands(), g, dc, width, height, item, screen, ClockPass::Moving,
                            second);
}

bool LEDModeCtrl::drawKeptElements(ClockKeptElements& kept, Gdiplus::Graphics& g, HDC dc, int width,
                                   int height, int item, int screen, ClockPass pass, int second)
{
    if (!LcdPremultipliedLayer::TransparentDrawingBlendsAlike())
        return false;
    const LcdFrameSnapshot& s = snapshot();
    const LcdLayerKey key = layerKey(g, width, height, item, screen);
    if (!s.layersCached || !kept.Matches(key, s.face, second)) {
        const HDC layer = kept.Begin(key, s.face, second, dc);
        if (!layer)
            return false;
        {
            Gdiplus::Graphics lg(layer);
            lg.SetTextRenderingHint(key.frameHint);
            lg.SetSmoothingMode(m_clockPainter->Face().antiAliasAfterGround ? Gdiplus::SmoothingModeAntiAlias
                                                                            : key.smoothing);
            lg.SetInterpolationMode(key.interpolation);
            m_clockPainter->Draw(lg, width, height, pass, clipsToCircle());
        }
        kept.End();
    }
    kept.DrawOnto(dc);
    return true;
}

void LEDModeCtrl::drawClockGround(Gdiplus::Graphics& g, int width, int height)
{
    Gdiplus::SolidBrush black(Gdiplus::Color(0xFF000000));
    if (clipsToCircle()) {
        clipClockFace(g, width, height);
        g.FillEllipse(&black, 0, 0, width, height);
    } else {
        g.FillRectangle(&black, 0, 0, width, height);
    }
    if (m_clockPainter->Face().antiAliasAfterGround)
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
}

bool LEDModeCtrl::clipsToCircle() const
{
    return m_clockPainter->Face().screen == ClockScreen::Round && snapshot().circular();
}

void LEDModeCtrl::clipClockFace(Gdiplus::Graphics& g, int width, int height)
{
    if (clipsToCircle())
        m_clockPainter->ClipToCircle(g, width, height);
}

void LEDModeCtrl::drawClockBackdrop(Gdiplus::Graphics& g)
{
    const bool wide = m_clockPainter->Face().screen == ClockScreen::Wide;
    const CRect stretched(0, 0, wide ? kWideWidth : kRoundSide, kScreenHeight);
    const LcdFrameSnapshot& s = snapshot();
    Gdiplus::Image* picture = s.clockBackground.image.get();
    if (s.clockMediaKind == MediaKindGif)
        picture->SelectActiveFrame(&Gdiplus::FrameDimensionTime, static_cast<UINT>(s.clockFrameIndex));
    MRender::DrawImagePart(g, picture, stretched, 0, 0, s.clockBackground.width, s.clockBackground.height);
}

// The GIF frame of the clock frame index with the ground under it, stretched once and kept
// (selecting a GIF frame and stretching it cost far more than a frame's other drawing); false
// when there is no memory to keep it in.
bool LEDModeCtrl::drawGifBackdrop(Gdiplus::Graphics& g, HDC dc, HRGN clip, int width, int height)
{
    const LcdFrameSnapshot& s = snapshot();
    ClockBackdropLayers::GifKey key;
    key.serial = s.clockMediaSerial;
    key.frameCount = s.clockFrameCount;
    key.width = width;
    key.height = height;
    key.interpolation = g.GetInterpolationMode();
    LcdPremultipliedLayer& frame = m_clockBackdropLayers->GifFrame(key, s.clockFrameIndex);
    if (!frame.Ready() || !s.layersCached) {
        const HDC slot = frame.Begin(dc, width, height);
        if (!slot)
            return false;
        {
            Gdiplus::Graphics fg(slot);
            fg.SetInterpolationMode(key.interpolation);
            fg.SetSmoothingMode(g.GetSmoothingMode());
            Gdiplus::SolidBrush black(Gdiplus::Color(0xFF000000));
            fg.FillRectangle(&black, 0, 0, width, height);
            drawClockBackdrop(fg);
        }
        frame.Seal();
    }
    frame.DrawOnto(dc, clip);
    return true;
}

void LEDModeCtrl::drawVideoBackdrop(HDC dc, HRGN clip, int width, int height)
{
    const int saved = ::SaveDC(dc);
    if (clip)
        ::SelectClipRgn(dc, clip);
    {
        // The tick steps the video under this lock, and a loader may have closed it since the
        // snapshot was taken.
        ScopedLock state(m_stateLock);
        const bool open = m_video && m_video->IsOpen();
        if (open)
            m_video->Read();
        // The ground shows only where the frame does not reach.
        if (!open || m_video->Frame().empty() || width > kRoundSide || height > kScreenHeight)
            ::PatBlt(dc, 0, 0, width, height, BLACKNESS);
        // Scaled by OpenCV, not DrawFrame's halftone stretch: that alone costs more than a
        // frame's budget share here.
        if (open)
            m_video->BlitScaled(dc, m_video->Frame(), RECT { 0, 0, kRoundSide, kScreenHeight });
    }
    ::RestoreDC(dc, saved);
}

// ---- the faces

// Digital, with the weather condition and percentage under their icons.
void LEDModeCtrl::DrawClockModeStyle1(Gdiplus::Graphics& g, int& width, int& height)
{
    static const ClockElement rows[] = {
        ClockTextIn(ClockText::HourMinuteSecond, { 10, 50, Full(-20), 50 }, 0),
        ClockIconAt(0, 25, 210),
        ClockIconAt(1, Full(-55), 210),
        ClockTextIn(ClockText::WeatherCondition, { 10, 250, 80, 30 }, 1),
        ClockTextIn(ClockText::WeatherPercent, { Full(-80), 250, 80, 30 }, 1),
    };
    static const ClockFace face { 1, ClockScreen::Round, { { 30, kClockBold }, { 20, kClockBold } }, rows,
                                  std::size(rows) };
    DrawClockFace(g, width, height, face);
}

// Digital, with a weekday row, the weather and three temperatures.
void LEDModeCtrl::DrawClockModeStyle2(Gdiplus::Graphics& g, int& width, int& height)
{
    static const ClockElement rows[] = {
        ClockWeekdayIn(1, { 100, 50, 40, 30 }, 1),
        ClockWeekdayIn(2, { 140, 50, 40, 30 }, 1),
        ClockWeekdayIn(3, { 180, 50, 40, 30 }, 1),
        ClockWeekdayIn(4, { 220, 50, 40, 30 }, 1),
        ClockWeekdayIn(5, { 260, 50, 40, 30 }, 1),
        ClockWeekdayIn(6, { 300, 50, 40, 30 }, 1),
        ClockWeekdayIn(7, { 340, 50, 40, 30 }, 1),
        ClockIconAt(0, 50, 125),
        ClockIconAt(1, Full(-120), 125),
        ClockIconAt(2, 180, 136),
        ClockTextIn(ClockText::WeatherCondition, { 80, 130, 80, 30 }, 1, ClockBrush::Dim180),
        ClockTextIn(ClockText::WeatherPercent, { Full(-100), 130, 80, 30 }, 1, ClockBrush::Dim180),
        ClockTextIn(ClockText::WeatherTemperature, { Times(0.5f, -20), 140, 80, 30 }, 1, ClockBrush::Dim180),
        ClockTextIn(ClockText::MonthDayDash, { Times(0.5f, -60), 90, 120, 30 }, 1),
        ClockTextIn(ClockText::Hour, { 20, Half(-40), 150, 100 }, 0),
        ClockTextIn(ClockText::Minute, { Times(0.5f, -75), Half(-40), 150, 100 }, 0),
        ClockTextIn(ClockText::Second, { Times(0.5f, 75), Half(-40), 150, 100 }, 0),
        ClockLiteralIn(L"CPU", { 70, 337, 70, 30 }, 1, ClockBrush::Dim180),
        ClockTextIn(ClockText::CpuTemperature, { 140, 337, 70, 30 }, 1, ClockBrush::Dim180),
        ClockLiteralIn(L"GPU", { 255, 337, 70, 30 }, 1, ClockBrush::Dim180),
        ClockTextIn(ClockText::GpuTemperature, { 325, 337, 70, 30 }, 1, ClockBrush::Dim180),
        ClockLiteralIn(L"RAM", { 160, 415, 70, 30 }, 1, ClockBrush::Dim180),
        ClockTextIn(ClockText::MemoryTemperature, { 230, 415, 70, 30 }, 1, ClockBrush::Dim180),
    };
    static const ClockFace face { 2, ClockScreen::Round, { { 80, kClockBold }, { 20, kClockBold } }, rows,
                                  std::size(rows) };
    DrawClockFace(g, width, height, face);
}

// Digital, with the long English date.
void LEDModeCtrl::DrawClockModeStyle3(Gdiplus::Graphics& g, int& width, int& height)
{
    static const ClockElement rows[] = {
        ClockIconAt(0, Centred(0), 20),
        ClockTextIn(ClockText::HourMinute, { 10, 120, Full(-20), 100 }, 0),
        ClockTextIn(ClockText::LongDate, { Half(-100), 220, 210, 30 }, 1),
    };
    static const ClockFace face { 3, ClockScreen::Round, { { 80, kClockBold }, { 20, kClockRegular } }, rows,
                                  std::size(rows) };
    DrawClockFace(g, width, height, face);
}

// Analogue with four numerals and no second hand.
void LEDModeCtrl::DrawClockModeStyle4(Gdiplus::Graphics& g, int& width, int& height)
{
    static const ClockElement rows[] = {
        ClockLiteralIn(L"12", { 220, -5, 40, 40 }, 0),
        ClockLiteralIn(L"9", { -5, 215, 40, 40 }, 0),
        ClockLiteralIn(L"3", { 450, 215, 40, 40 }, 0),
        ClockLiteralIn(L"6", { 220, 445, 40, 40 }, 0),
        ClockHandAt(ClockHand::Hour, 0),
        ClockHandAt(ClockHand::Minute, 12),
    };
    static const ClockFace face { 4, ClockScreen::Round, { { 20, kClockBold } }, rows, std::size(rows), false, true };
    DrawClockFace(g, width, height, face);
}

// Large stacked digits in the product face, left aligned, over the Chinese weekday and date.
void LEDModeCtrl::DrawClockModeStyle5(Gdiplus::Graphics& g, int& width, int& height)
{
    static const ClockElement rows[] = {
        ClockTextIn(ClockText::Hour, { 50, 251, 300, 90 }, 0),
        ClockTextIn(ClockText::Minute, { 110, 331, 300, 90 }, 0),
        ClockTextIn(ClockText::ChineseWeekdayDate, { Half(-100), Full(-60), 300, 30 }, 1),
    };
    static const ClockFace face { 5, ClockScreen::Round,
                                  { { 80, kClockBoldItalic, true }, { 20, kClockBoldItalic } }, rows, std::size(rows),
                                  true };
    DrawClockFace(g, width, height, face);
}

// Analogue with a month window.
void LEDModeCtrl::DrawClockModeStyle6(Gdiplus::Graphics& g, int& width, int& height)
{
    static const ClockElement rows[] = {
        ClockTextIn(ClockText::MonthShortName, { 85, Times(0.5f, -8), 90, 30 }, 0),
        ClockTextIn(ClockText::MonthNumber, { 300, Times(0.5f, -18), 90, 30 }, 0),
        ClockTextIn(ClockText::DayNumber, { 300, Times(0.5f, 12), 90, 30 }, 0),
        ClockIconAt(0, Centred(0), 330),
        ClockHandAt(ClockHand::Hour, 10),
        ClockHandAt(ClockHand::Minute, 12),
        ClockHandAt(ClockHand::Second, 0),
    };
    static const ClockFace face { 6, ClockScreen::Round, { { 30, kClockBold } }, rows, std::size(rows) };
    DrawClockFace(g, width, height, face);
}

// Analogue with the weather.
void LEDModeCtrl::DrawClockModeStyle7(Gdiplus::Graphics& g, int& width, int& height)
{
    static const ClockElement rows[] = {
        ClockIconAt(0, Centred(0), Centred(0)),
        ClockTextIn(ClockText::WeatherCondition, { 100, 300, 50, 30 }, 0),
        ClockTextIn(ClockText::WeatherValue, { Full(-100), 300, 50, 30 }, 0),
        ClockIconAt(1, 55, 300),
        ClockIconAt(2, Full(-125), 300),
        ClockHandAt(ClockHand::Hour, 10),
        ClockHandAt(ClockHand::Minute, 12),
        ClockHandAt(ClockHand::Second, 16),
    };
    static const ClockFace face { 7, ClockScreen::Round, { { 20, kClockBold } }, rows, std::size(rows) };
    DrawClockFace(g, width, height, face);
}

// Digital, with a cluster of three icons and the weather.
void LEDModeCtrl::DrawClockModeStyle8(Gdiplus::Graphics& g, int& width, int& height)
{
    static const ClockElement rows[] = {
        ClockTextIn(ClockText::HourMinute, { 10, 80, Full(-20), 100 }, 0),
        ClockTextIn(ClockText::YearMonthDayDash, { Half(-100), 180, 200, 30 }, 1),
        ClockIconAt(0, 85, 290),
        ClockIconAt(1, 290, 290),
        ClockIconAt(2, 195, 375),
        ClockTextIn(ClockText::WeatherCondition, { 130, 290, 80, 30 }, 1),
        ClockTextIn(ClockText::WeatherPercent, { Full(-140), 300, 80, 30 }, 1),
        ClockTextIn(ClockText::WeatherValue6, { 251, 390, 80, 30 }, 1),
    };
    static const ClockFace face { 8, ClockScreen::Round, { { 80, kClockBold }, { 20, kClockBold } }, rows,
                                  std::size(rows) };
    DrawClockFace(g, width, height, face);
}

} // namespace KOVA
