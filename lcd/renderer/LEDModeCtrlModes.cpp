// The mode dispatch of the LCD renderer and its simple screens: the user's medium, the
// carousel step, the captured window, and the carousel text over the medium and the capture.
// The system-information layouts, the carousel's dials, water cooling and weather are
// screens of their own (LEDModeCtrlLayouts*.cpp, LEDModeCtrlDials.cpp, LEDModeCtrlWater.cpp,
// LEDModeCtrlWeather.cpp).
//
// Everything here runs inside a render, on the GUI or the fast-timer thread, with the state
// lock held by the render (LEDModeCtrl.cpp).
#include "lcd/renderer/LEDModeCtrl.h"

#include "framework/PaintManager.h"
#include "lcd/renderer/LcdTextStamps.h"
#include "platform/TimeSource.h"

namespace KOVA {

namespace {
// The carousel text moves to the next item after this long.
constexpr DWORD kCarouselStepMs = 2000;
constexpr int kMinimumCaptureSide = 50;
// Faces that carry both the Chinese and the Latin glyphs of the labels ("CPU温度"), in order of
// preference. GDI+ falls back to no other face (Wine links none), so a face without some of
// the glyphs draws boxes for them.
const wchar_t* const kCjkFaces[] = { L"Microsoft YaHei", L"WenQuanYi Micro Hei", L"SimSun", L"Droid Sans Fallback" };
} // namespace

void LEDModeCtrl::DrawLEDMode(Gdiplus::Graphics& g, int& width, int& height, HDC& dc)
{
    // A mode without a screen keeps the black base.
    switch (m_ledMode) {
    case LEDModeFile:
        DrawFileMode(g, width, height, dc);
        break;
    case LEDModeSystemInfo:
        DrawSystemInfoMode(g, width, height);
        break;
    case LEDModeWaterCooling:
        DrawWaterCoolingMode(g, width, height);
        break;
    case LEDModeCarousel:
        DrawCarouselMode(g, width, height);
        break;
    case LEDModeWindowCapture:
        DrawWindowCaptureMode(g, width, height, dc);
        break;
    case LEDModeWeather:
        DrawWeatherMode(g, width, height);
        break;
    case LEDModeClock:
        DrawClockMode(g, width, height);
        break;
    default:
        break;
    }
}

void LEDModeCtrl::DrawSystemInfoMode(Gdiplus::Graphics& g, int& width, int& height)
{
    using Layout = void (LEDModeCtrl::*)(Gdiplus::Graphics&, int&, int&, int);
    // Layouts 11 to 16 and 21 to 26, in order; any other number keeps the black base.
    static const Layout dials[] = { &LEDModeCtrl::DrawSystemInfoMode11, &LEDModeCtrl::DrawSystemInfoMode12,
                                    &LEDModeCtrl::DrawSystemInfoMode13, &LEDModeCtrl::DrawSystemInfoMode14,
                                    &LEDModeCtrl::DrawSystemInfoMode15, &LEDModeCtrl::DrawSystemInfoMode16 };
    static const Layout plain[] = { &LEDModeCtrl::DrawSystemInfoMode21, &LEDModeCtrl::DrawSystemInfoMode22,
                                    &LEDModeCtrl::DrawSystemInfoMode23, &LEDModeCtrl::DrawSystemInfoMode24,
                                    &LEDModeCtrl::DrawSystemInfoMode25, &LEDModeCtrl::DrawSystemInfoMode26 };
    constexpr int kLayoutsPerFamily = 6;
    const int dial = m_sensorLayout - SensorLayoutDial1;
    const int flat = m_sensorLayout - SensorLayoutPlain1;
    if (dial >= 0 && dial < kLayoutsPerFamily)
        (this->*dials[dial])(g, width, height, m_hardwareItem);
    else if (flat >= 0 && flat < kLayoutsPerFamily)
        (this->*plain[flat])(g, width, height, m_hardwareItem);
}

void LEDModeCtrl::DrawClockMode(Gdiplus::Graphics& g, int& width, int& height)
{
    using Face = void (LEDModeCtrl::*)(Gdiplus::Graphics&, int&, int&);
    static const Face round[] = { &LEDModeCtrl::DrawClockModeStyle1, &LEDModeCtrl::DrawClockModeStyle2,
                                  &LEDModeCtrl::DrawClockModeStyle3, &LEDModeCtrl::DrawClockModeStyle4,
                                  &LEDModeCtrl::DrawClockModeStyle5, &LEDModeCtrl::DrawClockModeStyle6,
                                  &LEDModeCtrl::DrawClockModeStyle7, &LEDModeCtrl::DrawClockModeStyle8 };
    static const Face wide[] = { &LEDModeCtrl::DrawClock2ModeStyle1, &LEDModeCtrl::DrawClock2ModeStyle2,
                                 &LEDModeCtrl::DrawClock2ModeStyle3, &LEDModeCtrl::DrawClock2ModeStyle4,
                                 &LEDModeCtrl::DrawClock2ModeStyle5, &LEDModeCtrl::DrawClock2ModeStyle6,
                                 &LEDModeCtrl::DrawClock2ModeStyle7, &LEDModeCtrl::DrawClock2ModeStyle8 };
    constexpr int kFaces = 8;
    if (m_clockStyle < 1 || m_clockStyle > kFaces)
        return;
    const bool round480 = m_screenType == LEDScreenCircle || m_screenType == LEDScreenSquare;
    (this->*(round480 ? round : wide)[m_clockStyle - 1])(g, width, height);
}

void LEDModeCtrl::DrawFileMode(Gdiplus::Graphics& g, int& width, int& height, HDC& dc)
{
    // The render's black base is the screen's background.
    if (m_imageScale <= 0.0f)
        return;
    if (m_media.image) {
        const int sw = static_cast<int>(static_cast<double>(m_media.width) * m_imageScale);
        const int sh = static_cast<int>(static_cast<double>(m_media.height) * m_imageScale);
        m_media.image->SelectActiveFrame(&Gdiplus::FrameDimensionTime, static_cast<UINT>(m_frameIndex));
        g.DrawImage(m_media.image.get(), Gdiplus::Rect(m_imageCentre.x - sw / 2, m_imageCentre.y - sh / 2, sw, sh), 0, 0,
                    m_media.width, m_media.height, Gdiplus::UnitPixel);
    } else {
        drawVideoFrame(g, dc);
    }
    stepCarouselText(g, width, height);
}

void LEDModeCtrl::DrawCarouselMode(Gdiplus::Graphics& g, int& width, int& height)
{
    if (m_carouselList.empty())
        return;
    ++m_carouselIndex;
    if (m_carouselIndex < 0 || m_carouselIndex >= static_cast<int>(m_carouselList.size()))
        m_carouselIndex = 0;
    // The CPU items on the CPU dial, the GPU items on the GPU dial, the water on its own
    // screen, and everything else (the memory items among it) on the memory dial.
    const int item = static_cast<int>(m_carouselList[static_cast<size_t>(m_carouselIndex)]);
    switch (item) {
    case HardwareCpuTemperature:
    case HardwareCpuClock:
    case HardwareCpuLoad:
        DrawSystemInfoMode2(g, width, height, item);
        break;
    case HardwareGpuTemperature:
    case HardwareGpuClock:
    case HardwareGpuLoad:
        DrawSystemInfoMode3(g, width, height, item);
        break;
    case HardwareWaterTemperature:
        DrawWaterCoolingMode(g, width, height);
        break;
    default:
        DrawSystemInfoMode1(g, width, height, item);
        break;
    }
}

void LEDModeCtrl::DrawWindowCaptureMode(Gdiplus::Graphics& g, int& width, int& height, HDC& dc)
{
    // Without a window to copy, the render's black base stays.
    if (m_captureWindow && ::IsWindow(m_captureWindow)) {
        CRect client;
        ::GetClientRect(m_captureWindow, &client);
        if (client.Width() > kMinimumCaptureSide && client.Height() > kMinimumCaptureSide) {
            // What GDI+ has drawn so far must land before GDI draws beside it.
            g.Flush(Gdiplus::FlushIntentionSync);
            const HDC window = ::GetDC(m_captureWindow);
            if (window) {
                const int previous = ::SetStretchBltMode(dc, HALFTONE);
                ::StretchBlt(dc, 0, 0, width, height, window, m_capturePan.x, m_capturePan.y,
                             static_cast<int>(static_cast<float>(width) * m_captureScale),
                             static_cast<int>(static_cast<float>(height) * m_captureScale), SRCCOPY);
                ::SetStretchBltMode(dc, previous);
                ::ReleaseDC(m_captureWindow, window);
            }
        }
    }
    stepCarouselText(g, width, height);
}

void LEDModeCtrl::stepCarouselText(Gdiplus::Graphics& g, int& width, int& height)
{
    if (m_carouselList.empty())
        return;
    const DWORD now = TimeSource::Milliseconds();
    if (now - m_carouselStepTime > kCarouselStepMs) {
        ++m_carouselIndex;
        m_carouselStepTime = now;
    }
    if (m_carouselIndex < 0 || m_carouselIndex >= static_cast<int>(m_carouselList.size()))
        m_carouselIndex = 0;
    DrawCarousel(g, width, height, static_cast<int>(m_carouselList[static_cast<size_t>(m_carouselIndex)]));
}

const Gdiplus::FontFamily* LEDModeCtrl::cjkFamily()
{
    if (!m_cjkFamily) {
        for (const wchar_t* face : kCjkFaces) {
            std::unique_ptr<Gdiplus::FontFamily> family(new Gdiplus::FontFamily(face));
            if (family->GetLastStatus() == Gdiplus::Ok) {
                m_cjkFamily = std::move(family);
                break;
            }
        }
    }
    return m_cjkFamily.get();
}

bool LEDModeCtrl::hasChineseGlyphs(const CString& text)
{
    for (int i = 0; i < text.GetLength(); ++i)
        if (text[i] >= 0x2E80)
            return true;
    return false;
}

const Gdiplus::Font* LEDModeCtrl::keptFont(CarouselFont (&fonts)[2], bool chinese, const wchar_t* face, float size,
                                           Gdiplus::FontStyle style)
{
    // The given face for digits, units and Latin text; Chinese text needs a face with its glyphs.
    chinese = chinese && cjkFamily();
    const Gdiplus::FontFamily* family =
        chinese ? cjkFamily() : (m_manager ? m_manager->FindTempFontOrFallback(face) : nullptr);
    if (!family)
        return nullptr;
    CarouselFont& slot = fonts[chinese ? 1 : 0];
    // Built again only when what it is made of changes, not for every frame.
    if (!slot.font || family != slot.family || size != slot.size || style != slot.style) {
        slot.font.reset(new Gdiplus::Font(family, size, style, Gdiplus::UnitPixel));
        slot.family = family;
        slot.size = size;
        slot.style = style;
        if (slot.font->GetLastStatus() != Gdiplus::Ok)
            slot.font.reset();
    }
    return slot.font.get();
}

const Gdiplus::Font* LEDModeCtrl::carouselFont(const CString& text)
{
    return keptFont(m_carouselFonts, hasChineseGlyphs(text), kBrandFontFace,
                    static_cast<float>(m_carouselTextSize) * m_carouselWidthFactor, m_fontStyle);
}

void LEDModeCtrl::DrawCarousel(Gdiplus::Graphics& g, int&, int&, int item)
{
    CString label;
    CString value;
    GetSoftwareInfo(item, label, value);
    const Gdiplus::Font* labelFont = carouselFont(label);
    const Gdiplus::Font* valueFont = carouselFont(value);
    if (!labelFont || !valueFont)
        return;
    m_carouselBrush->SetColor(m_carouselColour);
    const bool byValue = item == HardwareMemoryCapacity;
    const CString& measured = byValue ? value : label;
    Gdiplus::RectF bounds;
    g.MeasureString(measured, measured.GetLength(), byValue ? valueFont : labelFont, Gdiplus::PointF(0, 0), &bounds);
    const float cx = static_cast<float>(m_carouselPosition.x - m_rect.left);
    const float cy = static_cast<float>(m_carouselPosition.y - m_rect.top);
    m_carouselRect.left = static_cast<LONG>(cx - bounds.Width * 0.5f - 20);
    m_carouselRect.top = static_cast<LONG>(cy - bounds.Height - 20);
    m_carouselRect.right = static_cast<LONG>(bounds.Width * 0.5f + cx + 50);
    m_carouselRect.bottom = static_cast<LONG>(bounds.Height + cy + 20);
    const int boxHeight = (m_carouselRect.bottom - m_carouselRect.top) / 2;
    Gdiplus::RectF box(static_cast<Gdiplus::REAL>(m_carouselRect.left), static_cast<Gdiplus::REAL>(m_carouselRect.top),
                       static_cast<Gdiplus::REAL>(m_carouselRect.right - m_carouselRect.left),
                       static_cast<Gdiplus::REAL>(boxHeight));
    LcdTextStamps* stamps = textStamps();
    DrawStampedText(stamps, g, value, value.GetLength(), valueFont, box, m_centredFormat.get(), *m_carouselBrush);
    box.Y += boxHeight * 0.5f + 10;
    DrawStampedText(stamps, g, label, label.GetLength(), labelFont, box, m_centredFormat.get(), *m_carouselBrush);
}

} // namespace KOVA
