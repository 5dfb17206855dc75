#pragma once
// The clock faces of the LCD renderer, written as data. A face is one table of elements drawn
// in order over the preamble of its screen kind (the black ground, the round screen's clip and
// the clock background); LEDModeCtrl::DrawClockFace draws both. A face function is one table:
//
//   void LEDModeCtrl::DrawClockModeStyle3(Gdiplus::Graphics& g, int& width, int& height)
//   {
//       static const ClockElement rows[] = {
//           ClockIconAt(0, Centred(0), 20),                                    // (W - w1)/2, 20
//           ClockTextIn(ClockText::HourMinute, { 10, 120, Full(-20), 100 }, 0),   // font A
//           ClockTextIn(ClockText::LongDate, { Half(-100), 220, 210, 30 }, 1),   // font B
//       };
//       static const ClockFace face { 3, ClockScreen::Round, { { 80, kClockBold }, { 20, kClockRegular } },
//                                     rows, std::size(rows) };
//       DrawClockFace(g, width, height, face);
//   }
//
// Lengths: a plain number is frame pixels; Full(n) is the frame's width (x, width) or height
// (y, height) plus n; Half(n) is its integer half plus n; Times(f, n) is f times it plus n in
// floating point; Centred(n) is the integer half of what is left beside the icon, plus n.
// Fonts: up to three per face (A, B, C), the control's face at size × scale pixels, or the
// product face "BRAVIK 1.2" where productFace is set. Texts are drawn with DrawString in their
// box, centred (a face may align left) on one line, with the face's brush of their row.
//
// Speed: the painter keeps every font per face, scale and font face, its brushes and formats, so a
// frame allocates no GDI+ object. An element that does not change with the time of day (icons,
// weather texts, dates, numerals) goes into the still layer with the ground and a still
// picture, unless it meets an element drawn before it that changes every frame; the time
// texts, the sensor values and the hands are drawn every frame. Over a GIF or video the still
// elements go on a transparent layer laid over each background frame (ClockBackdropLayers).
//
// Used inside the renders, with the render lock held; it reads the frame's snapshot only.
#include "platform/Win32.h"

#include <memory>
#include <string>
#include <type_traits>

#include "framework/MRenderInternal.h"
#include "lcd/renderer/LcdFrameSnapshot.h"
#include "platform/CString.h"

namespace KOVA {

class LcdTextStamps;
class PaintManager;

constexpr int kClockRegular = Gdiplus::FontStyleRegular;
constexpr int kClockBold = Gdiplus::FontStyleBold;
constexpr int kClockBoldItalic = Gdiplus::FontStyleBoldItalic;

// One coordinate or size along an axis of the frame of F pixels (W across, H down), for an
// element of S pixels along it (an icon's width or height; 0 for texts):
// offset + perFrame × F + (F − S) / 2 in integers when halved is set (S only when lessItem).
struct ClockLength {
    constexpr ClockLength(int pixels) : offset(static_cast<float>(pixels)) {}
    constexpr ClockLength(float pixels, float perFrame_, bool halved_, bool lessItem_)
        : offset(pixels), perFrame(perFrame_), halved(halved_), lessItem(lessItem_)
    {
    }
    float Resolve(int frame, int item) const;

    float offset { 0 };
    float perFrame { 0 };
    bool halved { false };
    bool lessItem { false };
};
constexpr ClockLength Full(float pixels) { return ClockLength(pixels, 1.0f, false, false); }
constexpr ClockLength Half(float pixels) { return ClockLength(pixels, 0.0f, true, false); }
constexpr ClockLength Times(float perFrame, float pixels) { return ClockLength(pixels, perFrame, false, false); }
constexpr ClockLength Centred(float pixels) { return ClockLength(pixels, 0.0f, true, true); }

// A text's layout box: left, top, width, height.
struct ClockBox {
    ClockLength left { 0 };
    ClockLength top { 0 };
    ClockLength width { 0 };
    ClockLength height { 0 };
};

// What a text shows, from the local time of the frame or the renderer's values.
enum class ClockText : unsigned char {
    // Change every second or minute, or with every sensor value: drawn every frame.
    HourMinuteSecond,     // "%02d:%02d:%02d"
    HourMinute,           // "%02d:%02d"
    Hour,                 // "%02d"
    Minute,               // "%02d"
    Second,               // "%02d"
    CpuTemperature,       // "%d℃" or "%d℉" as led_cpushowtype says, the number as given
    GpuTemperature,
    MemoryTemperature,
    // Change with the date only.
    MonthDayDash,         // "%02d-%02d" month, day
    YearMonthDayDash,     // "%02d-%02d-%02d" year, month, day
    YearMonthDaySlash,    // "%02d/%02d/%02d" year, month, day
    MonthDaySlash,        // "%02d/%02d" month, day
    MonthDayDot,          // "%02d.%02d" month, day
    LongDate,             // "%s, %d, %d" GetMonthDesc(month), day, year
    ChineseWeekdayDate,   // "%s %d/%d/%d" GetWeekDesc2(day of week), year, month, day
    MonthDaySt,           // "%s %d st" GetMonthDesc(month), day
    MonthShortName,       // GetMonthDesc2(month)
    Weekday,              // GetWeekDesc(day of week)
    MonthNumber,          // "%02d" month
    DayNumber,            // "%02d" day
    Century,              // the first two characters of "%04d" year
    YearOfCentury,        // the last two characters of "%04d" year
    WeekdayMark,          // one of "一" ... "六", "日" (day 1 Monday to 7 Sunday; ClockElement::image)
    // Change only with a setter.
    WeatherTemperature,   // weather value 2
    WeatherValue,         // weather value 3 as it is
    WeatherPercent,       // "%s%%" with weather value 3
    WeatherValue6,        // weather value 6
    WeatherCondition,     // weather value 7
    Literal,              // ClockElement::literal
};

enum class ClockBrush : unsigned char {
    Text,       // the text colour
    Dim180,     // the text colour at alpha 180
    Dim100,     // the text colour at alpha 100
    Accent,     // colour 4 of SetColor
    Today,      // Text for today's WeekdayMark, Dim100 for the other days
};

enum class ClockHand : unsigned char { Hour = 0, Minute = 1, Second = 2 };

enum class ClockElementKind : unsigned char { Text, Icon, Hand };

struct ClockElement {
    ClockElementKind kind { ClockElementKind::Text };
    ClockText text { ClockText::Literal };
    const wchar_t* literal { nullptr };
    ClockBox box {};          // a text's box; an icon's top-left corner is (left, top)
    int font { 0 };           // 0, 1 or 2: font A, B or C of the face
    ClockBrush brush { ClockBrush::Text };
    int image { 0 };          // the icon (0 to 2), the hand (ClockHand) or the weekday (1 to 7)
    float pivotOffset { 0 };  // a hand's pivot, this far above its image's bottom edge
};

constexpr ClockElement ClockTextIn(ClockText text, ClockBox box, int font, ClockBrush brush = ClockBrush::Text)
{
    ClockElement e;
    e.text = text;
    e.box = box;
    e.font = font;
    e.brush = brush;
    return e;
}
constexpr ClockElement ClockLiteralIn(const wchar_t* literal, ClockBox box, int font,
                                      ClockBrush brush = ClockBrush::Text)
{
    ClockElement e = ClockTextIn(ClockText::Literal, box, font, brush);
    e.literal = literal;
    return e;
}
// Day 1 (Monday) to 7 (Sunday) of a weekday row, full colour on that day, dimmed on others.
constexpr ClockElement ClockWeekdayIn(int day, ClockBox box, int font)
{
    ClockElement e = ClockTextIn(ClockText::WeekdayMark, box, font, ClockBrush::Today);
    e.image = day;
    return e;
}
// Icon 0, 1 or 2 (set with SetIcon1Image to SetIcon3Image) at its natural size.
constexpr ClockElement ClockIconAt(int icon, ClockLength left, ClockLength top)
{
    ClockElement e;
    e.kind = ClockElementKind::Icon;
    e.box.left = left;
    e.box.top = top;
    e.image = icon;
    return e;
}
// A hand of SetHMSImage turned about the frame centre (W/2, H/2) to the time.
constexpr ClockElement ClockHandAt(ClockHand hand, float pivotOffset)
{
    ClockElement e;
    e.kind = ClockElementKind::Hand;
    e.image = static_cast<int>(hand);
    e.pivotOffset = pivotOffset;
    return e;
}

struct ClockFontSpec {
    int size { 0 };           // pixels before scale; 0: the face has no such font
    int style { kClockRegular };
    bool productFace { false };
};

// Round: screen types 1 (circular: the ground and everything on it clipped to the inscribed
// circle) and 3; the background is the picture, else the clock video. Wide: any other type;
// a black rectangle, the picture only.
enum class ClockScreen : unsigned char { Round, Wide };

struct ClockFace {
    int number { 1 };                 // 1 to 8 within its screen kind
    ClockScreen screen { ClockScreen::Round };
    ClockFontSpec fonts[3] {};
    const ClockElement* elements { nullptr };
    size_t elementCount { 0 };
    bool leftAligned { false };       // texts aligned near instead of centred
    bool antiAliasAfterGround { false };
};

// Which elements a pass draws: those of the still layer, those drawn every frame, or all.
enum class ClockPass : unsigned char { Still, Moving, All };

class ClockFacePainter {
public:
    ClockFacePainter();
    ClockFacePainter(const ClockFacePainter&) = delete;
    ClockFacePainter& operator=(const ClockFacePainter&) = delete;
    ~ClockFacePainter();

    // Readies the fonts of face (made once per face, scale and font face) and the brushes
    // for the frame's colours; holds on to frame and face for the passes of this frame, which
    // show the frame's time. The texts drawn every frame go through stamps when there are any.
    void Begin(const LcdFrameSnapshot& frame, const ClockFace& face, LcdTextStamps* stamps);
    // Draws the elements of pass, in table order, onto g for a frame of width × height.
    // clipToCircle clips g to the inscribed circle before the first element that may reach
    // past it (GDI+ draws clipped to a curve far slower than unclipped).
    void Draw(Gdiplus::Graphics& g, int width, int height, ClockPass pass, bool clipToCircle = false);
    // Clips g to the circle inscribed in width × height.
    void ClipToCircle(Gdiplus::Graphics& g, int width, int height);
    const ClockFace& Face() const { return *m_face; }
    // Whether the elements drawn every frame are the face's hands alone (no text shows the
    // time or a sensor value), so that they change only with the second.
    bool MovesOnlyHands() const;

    // The region ClipToCircle clips GDI+ to, as GDI takes it (the same pixels), kept for GDI
    // drawing under the round screen's clip. Null when it cannot be made.
    HRGN Ellipse(Gdiplus::Graphics& g, int width, int height);

    // The text an element shows now, in a buffer reused from frame to frame.
    const std::wstring& Compose(const ClockElement& element);

private:
    struct FaceFonts;
    FaceFonts& fontsOf(const ClockFace& face);
    bool drawsInPass(const ClockElement& element, const Gdiplus::RectF& bounds, ClockPass pass);
    bool insideCircle(const ClockElement& element, const Gdiplus::RectF& bounds, int width, int height) const;
    Gdiplus::RectF boundsOf(const ClockElement& element, int width, int height) const;
    Gdiplus::SolidBrush& brushFor(const ClockElement& element);
    void drawText(Gdiplus::Graphics& g, const ClockElement& element, const Gdiplus::RectF& box, LcdTextStamps* stamps);
    void drawHand(Gdiplus::Graphics& g, const ClockElement& element, int width, int height);

    const LcdFrameSnapshot* m_frame { nullptr };
    LcdTextStamps* m_stamps { nullptr };
    const ClockFace* m_face { nullptr };
    FaceFonts* m_fonts { nullptr };
    SYSTEMTIME m_now {};
    // Boxes of this pass's elements that change every frame; a hand counts as all the frame.
    Gdiplus::RectF m_movingBoxes[32];
    int m_movingCount { 0 };
    bool m_handDrawn { false };

    std::unique_ptr<FaceFonts[]> m_faceFonts;
    Gdiplus::SolidBrush m_brushes[4] { Gdiplus::Color(), Gdiplus::Color(), Gdiplus::Color(), Gdiplus::Color() };
    Gdiplus::StringFormat m_centred { Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces };
    Gdiplus::StringFormat m_near { Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces };
    std::wstring m_text;

    Gdiplus::GraphicsPath m_circle;
    Gdiplus::Size m_circleSize;
    using UniqueRegion = std::unique_ptr<std::remove_pointer_t<HRGN>, detail::GdiObjectDeleter>;
    UniqueRegion m_ellipse;
    int m_ellipseWidth { 0 };
    int m_ellipseHeight { 0 };
};

} // namespace KOVA
