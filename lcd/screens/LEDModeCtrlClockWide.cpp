// The eight clock faces of the wide (640 × 480) screen, one table each (lcd/screens/ClockFacePainter.h
// tells how a table reads). They share the round faces' drawing (lcd/screens/LEDModeCtrlClock.cpp):
// on this screen the ground is a black rectangle with no clip and the background is the clock
// picture only, never the video.
//
// Runs inside a render with the render lock held (LEDModeCtrl.cpp): the picture, icon, hands,
// colours and texts the faces read come from the frame's snapshot.
#include "lcd/renderer/LEDModeCtrl.h"

#include <iterator>

#include "lcd/screens/ClockFacePainter.h"

namespace KOVA {

// Large hour and minute in two colours, the century, year, month and day in a column.
void LEDModeCtrl::DrawClock2ModeStyle1(Gdiplus::Graphics& g, int& width, int& height)
{
    static const ClockElement rows[] = {
        ClockTextIn(ClockText::Hour, { 85, 90, 360, 360 }, 0),
        ClockTextIn(ClockText::Minute, { 335, 90, 360, 360 }, 0, ClockBrush::Accent),
        ClockTextIn(ClockText::Century, { 10, 90, 100, 70 }, 1, ClockBrush::Accent),
        ClockTextIn(ClockText::YearOfCentury, { 10, 140, 100, 70 }, 1, ClockBrush::Accent),
        ClockTextIn(ClockText::MonthNumber, { 10, 240, 100, 70 }, 1, ClockBrush::Accent),
        ClockTextIn(ClockText::DayNumber, { 10, 290, 100, 70 }, 1, ClockBrush::Accent),
    };
    static const ClockFace face { 1, ClockScreen::Wide, { { 200, kClockRegular }, { 45, kClockRegular, true } },
                                  rows, std::size(rows) };
    DrawClockFace(g, width, height, face);
}

// Analogue, with no text.
void LEDModeCtrl::DrawClock2ModeStyle2(Gdiplus::Graphics& g, int& width, int& height)
{
    static const ClockElement rows[] = {
        ClockIconAt(0, Centred(0), 50),
        ClockHandAt(ClockHand::Hour, 10),
        ClockHandAt(ClockHand::Minute, 12),
        ClockHandAt(ClockHand::Second, 16),
    };
    static const ClockFace face { 2, ClockScreen::Wide, {}, rows, std::size(rows) };
    DrawClockFace(g, width, height, face);
}

// Small time at the lower right, the English weekday and date at the lower left. The date
// always ends in "st", whatever the day.
void LEDModeCtrl::DrawClock2ModeStyle3(Gdiplus::Graphics& g, int& width, int& height)
{
    static const ClockElement rows[] = {
        ClockTextIn(ClockText::HourMinute, { 340, 400, 300, 30 }, 0),
        ClockTextIn(ClockText::Weekday, { 10, 370, 300, 30 }, 0),
        ClockTextIn(ClockText::MonthDaySt, { 10, 400, 300, 30 }, 0),
    };
    static const ClockFace face { 3, ClockScreen::Wide, { { 20, kClockBold } }, rows, std::size(rows) };
    DrawClockFace(g, width, height, face);
}

// Analogue with four numerals.
void LEDModeCtrl::DrawClock2ModeStyle4(Gdiplus::Graphics& g, int& width, int& height)
{
    static const ClockElement rows[] = {
        ClockLiteralIn(L"12", { 300, 10, 40, 40 }, 0),
        ClockLiteralIn(L"9", { 10, 220, 40, 40 }, 0),
        ClockLiteralIn(L"3", { 590, 220, 40, 40 }, 0),
        ClockLiteralIn(L"6", { 300, 435, 40, 40 }, 0),
        ClockHandAt(ClockHand::Hour, 10),
        ClockHandAt(ClockHand::Minute, 12),
        ClockHandAt(ClockHand::Second, 16),
    };
    static const ClockFace face { 4, ClockScreen::Wide, { { 20, kClockBold } }, rows, std::size(rows) };
    DrawClockFace(g, width, height, face);
}

// Hour, minute and second stacked, in the product face.
void LEDModeCtrl::DrawClock2ModeStyle5(Gdiplus::Graphics& g, int& width, int& height)
{
    static const ClockElement rows[] = {
        ClockTextIn(ClockText::Hour, { 120, 60, 400, 150 }, 0),
        ClockTextIn(ClockText::Minute, { 120, 210, 400, 150 }, 0),
        ClockTextIn(ClockText::Second, { 120, 360, 400, 150 }, 0),
    };
    static const ClockFace face { 5, ClockScreen::Wide, { { 130, kClockRegular, true } }, rows, std::size(rows) };
    DrawClockFace(g, width, height, face);
}

// Large hour over minute, the date and weekday across the minute's top.
void LEDModeCtrl::DrawClock2ModeStyle6(Gdiplus::Graphics& g, int& width, int& height)
{
    static const ClockElement rows[] = {
        ClockTextIn(ClockText::Hour, { 210, 70, 250, 200 }, 0),
        ClockTextIn(ClockText::Minute, { 210, 220, 250, 200 }, 0),
        ClockTextIn(ClockText::YearMonthDaySlash, { 210, 220, 150, 30 }, 1),
        ClockTextIn(ClockText::Weekday, { 360, 220, 130, 30 }, 1),
    };
    static const ClockFace face { 6, ClockScreen::Wide, { { 140, kClockBold }, { 20, kClockBold } }, rows,
                                  std::size(rows) };
    DrawClockFace(g, width, height, face);
}

// Time and date along the bottom.
void LEDModeCtrl::DrawClock2ModeStyle7(Gdiplus::Graphics& g, int& width, int& height)
{
    static const ClockElement rows[] = {
        ClockTextIn(ClockText::HourMinute, { 10, 370, Full(-20), 100 }, 0),
        ClockTextIn(ClockText::MonthDaySlash, { Half(-100), 440, 200, 30 }, 1),
    };
    static const ClockFace face { 7, ClockScreen::Wide, { { 40, kClockBold }, { 20, kClockBold } }, rows,
                                  std::size(rows) };
    DrawClockFace(g, width, height, face);
}

// Hour over minute at the right, the date and weekday along the bottom.
void LEDModeCtrl::DrawClock2ModeStyle8(Gdiplus::Graphics& g, int& width, int& height)
{
    static const ClockElement rows[] = {
        ClockTextIn(ClockText::Hour, { 460, 290, 200, 150 }, 0),
        ClockTextIn(ClockText::Minute, { 460, 360, 200, 150 }, 0),
        ClockTextIn(ClockText::MonthDayDot, { 0, 440, 130, 30 }, 1),
        ClockTextIn(ClockText::Weekday, { 120, 440, 200, 30 }, 1),
    };
    static const ClockFace face { 8, ClockScreen::Wide, { { 80, kClockBoldItalic }, { 30, kClockBold } }, rows,
                                  std::size(rows) };
    DrawClockFace(g, width, height, face);
}

} // namespace KOVA
