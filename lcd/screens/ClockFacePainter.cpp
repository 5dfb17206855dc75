#include "lcd/screens/ClockFacePainter.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <initializer_list>
#include <iterator>

#include "framework/Manager.h"
#include "framework/PaintManager.h"
#include "lcd/renderer/LcdImageHelpers.h"
#include "lcd/renderer/LcdTextStamps.h"
#include "lcd/screens/LcdScreenResources.h"

namespace KOVA {

namespace {
constexpr int kFacesPerScreen = 8;
constexpr int kFontsPerFace = 3;
constexpr BYTE kDimAlpha180 = 180;
constexpr BYTE kDimAlpha100 = 100;
// Monday to Sunday.
const wchar_t* const kWeekdayMarks[7] = { L"\x4E00", L"\x4E8C", L"\x4E09", L"\x56DB", L"\x4E94", L"\x516D", L"\x65E5" };

enum BrushSlot { FullBrush, Dim180Brush, Dim100Brush, AccentBrush };

void appendNumber(std::wstring& text, int value, int digits)
{
    wchar_t number[16];
    swprintf(number, 16, L"%0*d", digits, value);
    text += number;
}

// "a-b-c", "a/b" and the like: each number at least two digits.
void appendNumbers(std::wstring& text, std::initializer_list<int> values, wchar_t separator)
{
    bool first = true;
    for (int value : values) {
        if (!first)
            text += separator;
        appendNumber(text, value, 2);
        first = false;
    }
}

bool changesEveryFrame(ClockText text)
{
    return text <= ClockText::MemoryTemperature;
}

// Monday 1 to Sunday 7.
int weekdayNumber(const SYSTEMTIME& now)
{
    return now.wDayOfWeek == 0 ? 7 : now.wDayOfWeek;
}
} // namespace

float ClockLength::Resolve(int frame, int item) const
{
    float value = offset + perFrame * static_cast<float>(frame);
    if (halved)
        value += static_cast<float>((frame - (lessItem ? item : 0)) / 2);
    return value;
}

struct ClockFacePainter::FaceFonts {
    std::unique_ptr<Gdiplus::Font> fonts[kFontsPerFace];
    unsigned managerSerial { 0 };
    CString face;
    float scale { 0 };
    bool made { false };
};

ClockFacePainter::ClockFacePainter() : m_faceFonts(new FaceFonts[2 * kFacesPerScreen])
{
    m_centred.SetAlignment(Gdiplus::StringAlignmentCenter);
    m_centred.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    m_near.SetAlignment(Gdiplus::StringAlignmentNear);
    m_near.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    m_text.reserve(128);
}

ClockFacePainter::~ClockFacePainter() = default;

ClockFacePainter::FaceFonts& ClockFacePainter::fontsOf(const ClockFace& face)
{
    const int slot = (face.screen == ClockScreen::Wide ? kFacesPerScreen : 0) + (face.number - 1) % kFacesPerScreen;
    FaceFonts& kept = m_faceFonts[slot];
    PaintManager* manager = m_frame->manager;
    const float scale = m_frame->scale;
    if (kept.made && kept.managerSerial == m_frame->managerSerial && kept.face == m_frame->face && kept.scale == scale)
        return kept;
    kept.made = true;
    kept.managerSerial = m_frame->managerSerial;
    kept.face = m_frame->face;
    kept.scale = scale;
    for (int i = 0; i < kFontsPerFace; ++i) {
        kept.fonts[i].reset();
        const ClockFontSpec& spec = face.fonts[i];
        const int size = Manager::GetScaleValue(spec.size);
        // The paint manager falls back to a face it has when the named one is not installed.
        const Gdiplus::FontFamily* family =
            manager ? manager->FindTempFontOrFallback(spec.productFace ? kBrandFontFace : kept.face.GetString()) : nullptr;
        if (!family || size <= 0)
            continue;
        kept.fonts[i].reset(new Gdiplus::Font(family, static_cast<Gdiplus::REAL>(size), spec.style, Gdiplus::UnitPixel));
        if (kept.fonts[i]->GetLastStatus() != Gdiplus::Ok)
            kept.fonts[i].reset();
    }
    return kept;
}

void ClockFacePainter::Begin(const LcdFrameSnapshot& frame, const ClockFace& face, LcdTextStamps* stamps)
{
    m_frame = &frame;
    m_stamps = stamps;
    m_face = &face;
    m_now = frame.now;
    m_fonts = &fontsOf(face);
    const Gdiplus::Color text = frame.label;
    m_brushes[FullBrush].SetColor(text);
    m_brushes[Dim180Brush].SetColor(LcdWithAlpha(text, kDimAlpha180));
    m_brushes[Dim100Brush].SetColor(LcdWithAlpha(text, kDimAlpha100));
    m_brushes[AccentBrush].SetColor(frame.accent);
}

const std::wstring& ClockFacePainter::Compose(const ClockElement& element)
{
    const SYSTEMTIME& t = m_now;
    const CString* weather = m_frame->weatherText;
    const HARDWARE_INFO& hardware = m_frame->values;
    std::wstring& s = m_text;
    s.clear();
    switch (element.text) {
    case ClockText::HourMinuteSecond: appendNumbers(s, { t.wHour, t.wMinute, t.wSecond }, L':'); break;
    case ClockText::HourMinute: appendNumbers(s, { t.wHour, t.wMinute }, L':'); break;
    case ClockText::Hour: appendNumber(s, t.wHour, 2); break;
    case ClockText::Minute: appendNumber(s, t.wMinute, 2); break;
    case ClockText::Second: appendNumber(s, t.wSecond, 2); break;
    case ClockText::CpuTemperature:
    case ClockText::GpuTemperature:
    case ClockText::MemoryTemperature: {
        const float value = element.text == ClockText::CpuTemperature   ? hardware.cpuTemperature
                            : element.text == ClockText::GpuTemperature ? hardware.gpuTemperature
                                                                        : hardware.memoryTemperature;
        appendNumber(s, static_cast<int>(value), 1);
        s += m_frame->sign();
        break;
    }
    case ClockText::MonthDayDash: appendNumbers(s, { t.wMonth, t.wDay }, L'-'); break;
    case ClockText::YearMonthDayDash: appendNumbers(s, { t.wYear, t.wMonth, t.wDay }, L'-'); break;
    case ClockText::YearMonthDaySlash: appendNumbers(s, { t.wYear, t.wMonth, t.wDay }, L'/'); break;
    case ClockText::MonthDaySlash: appendNumbers(s, { t.wMonth, t.wDay }, L'/'); break;
    case ClockText::MonthDayDot: appendNumbers(s, { t.wMonth, t.wDay }, L'.'); break;
    case ClockText::LongDate:
        s += LcdMonthName(t.wMonth);
        s += L", ";
        appendNumber(s, t.wDay, 1);
        s += L", ";
        appendNumber(s, t.wYear, 1);
        break;
    case ClockText::ChineseWeekdayDate:
        s += LcdChineseWeekdayName(t.wDayOfWeek);
        s += L' ';
        appendNumber(s, t.wYear, 1);
        for (int part : { static_cast<int>(t.wMonth), static_cast<int>(t.wDay) }) {
            s += L'/';
            appendNumber(s, part, 1);
        }
        break;
    case ClockText::MonthDaySt:
        s += LcdMonthName(t.wMonth);
        s += L' ';
        appendNumber(s, t.wDay, 1);
        s += L" st";
        break;
    case ClockText::MonthShortName: s += LcdMonthShortName(t.wMonth); break;
    case ClockText::Weekday: s += LcdWeekdayName(t.wDayOfWeek); break;
    case ClockText::MonthNumber: appendNumber(s, t.wMonth, 2); break;
    case ClockText::DayNumber: appendNumber(s, t.wDay, 2); break;
    case ClockText::Century:
    case ClockText::YearOfCentury: {
        std::wstring year;
        appendNumber(year, t.wYear, 4);
        s = element.text == ClockText::Century ? year.substr(0, 2) : year.substr(year.size() - 2);
        break;
    }
    case ClockText::WeekdayMark:
        if (element.image >= 1 && element.image <= 7)
            s += kWeekdayMarks[element.image - 1];
        break;
    case ClockText::WeatherTemperature: s += weather[1].GetString(); break;
    case ClockText::WeatherValue: s += weather[2].GetString(); break;
    case ClockText::WeatherPercent:
        s += weather[2].GetString();
        s += L'%';
        break;
    case ClockText::WeatherValue6: s += weather[5].GetString(); break;
    case ClockText::WeatherCondition: s += weather[6].GetString(); break;
    case ClockText::Literal:
        if (element.literal)
            s += element.literal;
        break;
    }
    return s;
}

Gdiplus::RectF ClockFacePainter::boundsOf(const ClockElement& element, int width, int height) const
{
    const ClockBox& box = element.box;
    if (element.kind == ClockElementKind::Icon) {
        const LcdPicture& icon = m_frame->icons[element.image];
        return Gdiplus::RectF(box.left.Resolve(width, icon.width), box.top.Resolve(height, icon.height),
                              static_cast<float>(icon.width), static_cast<float>(icon.height));
    }
    return Gdiplus::RectF(box.left.Resolve(width, 0), box.top.Resolve(height, 0), box.width.Resolve(width, 0),
                          box.height.Resolve(height, 0));
}

bool ClockFacePainter::drawsInPass(const ClockElement& element, const Gdiplus::RectF& bounds, ClockPass pass)
{
    bool moving = m_handDrawn || element.kind == ClockElementKind::Hand
                  || (element.kind == ClockElementKind::Text && changesEveryFrame(element.text));
    for (int i = 0; i < m_movingCount && !moving; ++i)
        moving = bounds.IntersectsWith(m_movingBoxes[i]) != FALSE;
    if (moving) {
        // Whatever comes after a hand may lie under it: its reach is not known before it turns.
        if (element.kind == ClockElementKind::Hand)
            m_handDrawn = true;
        else if (m_movingCount < static_cast<int>(std::size(m_movingBoxes)))
            m_movingBoxes[m_movingCount++] = bounds;
        else
            m_handDrawn = true;
    }
    return pass == ClockPass::All || moving == (pass == ClockPass::Moving);
}

bool ClockFacePainter::insideCircle(const ClockElement& element, const Gdiplus::RectF& bounds, int width, int height) const
{
    // A pixel's margin inside the circle: what GDI+ rasterises there is inside its clip too.
    const float cx = static_cast<float>(width) / 2;
    const float cy = static_cast<float>(height) / 2;
    const float rx = cx - 2;
    const float ry = cy - 2;
    if (element.kind == ClockElementKind::Hand) {
        const LcdPicture& hand = m_frame->hands[element.image % 3];
        const float w = static_cast<float>(hand.width) / 2;
        const float along = std::max(static_cast<float>(hand.height) - element.pivotOffset, element.pivotOffset);
        return std::sqrt(w * w + along * along) <= std::min(rx, ry);
    }
    for (float x : { bounds.X, bounds.GetRight() })
        for (float y : { bounds.Y, bounds.GetBottom() })
            if ((x - cx) * (x - cx) / (rx * rx) + (y - cy) * (y - cy) / (ry * ry) > 1.0f)
                return false;
    return true;
}

void ClockFacePainter::ClipToCircle(Gdiplus::Graphics& g, int width, int height)
{
    if (m_circleSize.Width != width || m_circleSize.Height != height) {
        m_circle.Reset();
        m_circle.AddEllipse(0, 0, width, height);
        m_circleSize = Gdiplus::Size(width, height);
    }
    g.SetClip(&m_circle, Gdiplus::CombineModeReplace);
}

bool ClockFacePainter::MovesOnlyHands() const
{
    const ClockElement* end = m_face->elements + m_face->elementCount;
    return std::none_of(m_face->elements, end, [](const ClockElement& element) {
        return element.kind == ClockElementKind::Text && changesEveryFrame(element.text);
    });
}

void ClockFacePainter::Draw(Gdiplus::Graphics& g, int width, int height, ClockPass pass, bool clipToCircle)
{
    m_movingCount = 0;
    m_handDrawn = false;
    for (size_t i = 0; i < m_face->elementCount; ++i) {
        const ClockElement& element = m_face->elements[i];
        // An icon that is not set is skipped, and meets nothing.
        if (element.kind == ClockElementKind::Icon && !m_frame->icons[element.image].image)
            continue;
        const Gdiplus::RectF bounds = boundsOf(element, width, height);
        if (!drawsInPass(element, bounds, pass))
            continue;
        if (clipToCircle && !insideCircle(element, bounds, width, height)) {
            ClipToCircle(g, width, height);
            clipToCircle = false;
        }
        switch (element.kind) {
        case ClockElementKind::Text:
            // The still elements are drawn once into a layer; only the moving ones gain by a kept
            // picture of their text.
            drawText(g, element, bounds, pass == ClockPass::Moving ? m_stamps : nullptr);
            break;
        case ClockElementKind::Icon:
            g.DrawImage(m_frame->icons[element.image].image.get(), bounds);
            break;
        case ClockElementKind::Hand:
            drawHand(g, element, width, height);
            break;
        }
    }
}

Gdiplus::SolidBrush& ClockFacePainter::brushFor(const ClockElement& element)
{
    switch (element.brush) {
    case ClockBrush::Dim180: return m_brushes[Dim180Brush];
    case ClockBrush::Dim100: return m_brushes[Dim100Brush];
    case ClockBrush::Accent: return m_brushes[AccentBrush];
    case ClockBrush::Today: return m_brushes[element.image == weekdayNumber(m_now) ? FullBrush : Dim100Brush];
    case ClockBrush::Text: break;
    }
    return m_brushes[FullBrush];
}

void ClockFacePainter::drawText(Gdiplus::Graphics& g, const ClockElement& element, const Gdiplus::RectF& box,
                                LcdTextStamps* stamps)
{
    const Gdiplus::Font* font = m_fonts->fonts[element.font % kFontsPerFace].get();
    if (!font)
        return;
    const std::wstring& text = Compose(element);
    DrawStampedText(stamps, g, text.c_str(), static_cast<INT>(text.size()), font, box,
                    m_face->leftAligned ? &m_near : &m_centred, brushFor(element));
}

void ClockFacePainter::drawHand(Gdiplus::Graphics& g, const ClockElement& element, int width, int height)
{
    const SYSTEMTIME& t = m_now;
    const float degrees[] = { t.wHour * 30.0f + t.wMinute * 0.5f, t.wMinute * 6.0f, t.wSecond * 6.0f };
    const int hand = element.image % 3;
    const Gdiplus::PointF centre(static_cast<float>(width / 2), static_cast<float>(height / 2));
    const LcdPicture& picture = m_frame->hands[hand];
    DrawHandImage(g, picture.image.get(), picture.width, picture.height, centre, degrees[hand], element.pivotOffset);
}

HRGN ClockFacePainter::Ellipse(Gdiplus::Graphics& g, int width, int height)
{
    if (!m_ellipse || width != m_ellipseWidth || height != m_ellipseHeight) {
        Gdiplus::GraphicsPath circle;
        circle.AddEllipse(0, 0, width, height);
        const Gdiplus::Region region(&circle);
        m_ellipse.reset(region.GetHRGN(&g));
        m_ellipseWidth = width;
        m_ellipseHeight = height;
    }
    return m_ellipse.get();
}

void ClockFacePainterDeleter::operator()(ClockFacePainter* painter) const
{
    delete painter;
}

} // namespace KOVA
