// The clock faces of LED mode 7: the preamble every face is drawn over (the black ground, the
// circular screen's clip, the clock background) and the eight faces of the round and square
// screens, one table each (lcd/screens/ClockFacePainter.h tells how a table reads).
//
// Runs inside a render with the render lock held (LEDModeCtrl.cpp): the icons, hands, texts,
// colours, sensor values and the background the faces read come from the frame's snapshot,
// which holds its own references to the images, so a setter swapping one under the state lock
// never frees one a face is drawing. The clock video is the record's: its frame is read and
// drawn under the state lock, which the tick's step of it holds too.
#include "lcd/renderer/LEDModeCtrl.h"

#include <iterator>

#include "lcd/media/VideoClip.h"
#include "lcd/renderer/LcdFrameSnapshot.h"
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
    const bool backdropMoves = m_clockBackdrop == ClockBackdrop::GifFrame || m_clockBackdrop == ClockBackdrop::VideoFrame;
    m_clockPainter->Begin(snapshot(), face, backdropMoves);
    // The still layer holds the date's texts: a new day (or another background) draws it anew.
    const int date = now.wYear * 10000 + now.wMonth * 100 + now.wDay;
    const int screen = (face.screen == ClockScreen::Wide ? kWideScreens : kRoundScreens) + face.number;
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
        drawClockBackdrop(g, width, height);
    m_clockPainter->Draw(g, width, height, ClockPass::Still);
}

void LEDModeCtrl::clockMoving(Gdiplus::Graphics& g, int width, int height, int)
{
    if (m_clockPainter->Face().antiAliasAfterGround)
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const bool backdropMoves =
        m_clockBackdrop == ClockBackdrop::GifFrame || m_clockBackdrop == ClockBackdrop::VideoFrame;
    if (backdropMoves) {
        clipClockFace(g, width, height);
        drawClockBackdrop(g, width, height);
    }
    // Over a still backdrop the circle's clip is set only for what may reach past it.
    m_clockPainter->Draw(g, width, height, ClockPass::Moving, !backdropMoves && clipsToCircle());
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

void LEDModeCtrl::drawClockBackdrop(Gdiplus::Graphics& g, int width, int height)
{
    const bool wide = m_clockPainter->Face().screen == ClockScreen::Wide;
    const Gdiplus::Rect stretched(0, 0, wide ? kWideWidth : kRoundSide, kScreenHeight);
    const LcdFrameSnapshot& s = snapshot();
    if (m_clockBackdrop == ClockBackdrop::VideoFrame) {
        // The tick steps the video under this lock, and a loader may have closed it since the
        // snapshot was taken.
        ScopedLock state(m_stateLock);
        if (!m_video || !m_video->IsOpen())
            return;
        m_video->Read();
        // GDI draws the frame: what GDI+ queued lands first, and GDI keeps to the circle too.
        g.Flush(Gdiplus::FlushIntentionSync);
        HDC dc = g.GetHDC();
        const int saved = ::SaveDC(dc);
        if (s.circular())
            ::SelectClipRgn(dc, m_clockPainter->Ellipse(width, height));
        int videoWidth = m_video->Width();
        int videoHeight = m_video->Height();
        DrawFrame(dc, m_video->Frame(), videoWidth, videoHeight, CRect(0, 0, kRoundSide, kScreenHeight));
        ::RestoreDC(dc, saved);
        g.ReleaseHDC(dc);
        return;
    }
    Gdiplus::Image* picture = s.clockBackground.image.get();
    if (s.clockMediaKind == MediaKindGif)
        picture->SelectActiveFrame(&Gdiplus::FrameDimensionTime, static_cast<UINT>(s.clockFrameIndex));
    g.DrawImage(picture, stretched, 0, 0, s.clockBackground.width, s.clockBackground.height, Gdiplus::UnitPixel);
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
