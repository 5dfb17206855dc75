// The mode dispatch of the LCD renderer and its simple screens: the user's medium, the
// carousel step, the captured window, and the carousel text over the medium and the capture.
// The system-information layouts, the carousel's dials, water cooling and weather are
// screens of their own (LEDModeCtrlLayouts*.cpp, LEDModeCtrlDials.cpp, LEDModeCtrlWater.cpp,
// LEDModeCtrlWeather.cpp).
//
// Everything here runs inside a render, on the GUI or the fast-timer thread, with the render
// lock held, and draws from the frame's snapshot (LEDModeCtrl.cpp). The carousel's step and
// the carousel text's box are the record's: they take the state lock for that moment only.
#include "lcd/renderer/LEDModeCtrl.h"

#include "framework/PaintManager.h"
#include "lcd/renderer/LcdFrameSnapshot.h"
#include "lcd/renderer/LcdTextStamps.h"

namespace KOVA {

namespace {
constexpr int kMinimumCaptureSide = 50;
// Faces that carry both the Chinese and the Latin glyphs of the labels ("CPU温度"), in order of
// preference. GDI+ falls back to no other face (Wine links none), so a face without some of
// the glyphs draws boxes for them.
const wchar_t* const kCjkFaces[] = { L"Microsoft YaHei", L"WenQuanYi Micro Hei", L"SimSun", L"Droid Sans Fallback" };
} // namespace

void LEDModeCtrl::DrawLEDMode(Gdiplus::Graphics& g, int& width, int& height, HDC& dc)
{
    const FrameScope frame(*this);
    // A mode without a screen keeps the black base.
    switch (snapshot().ledMode) {
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
    const FrameScope frame(*this);
    const LcdFrameSnapshot& s = snapshot();
    const int dial = s.sensorLayout - SensorLayoutDial1;
    const int flat = s.sensorLayout - SensorLayoutPlain1;
    if (dial >= 0 && dial < kLayoutsPerFamily)
        (this->*dials[dial])(g, width, height, s.hardwareItem);
    else if (flat >= 0 && flat < kLayoutsPerFamily)
        (this->*plain[flat])(g, width, height, s.hardwareItem);
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
    const FrameScope frame(*this);
    const LcdFrameSnapshot& s = snapshot();
    if (s.clockStyle < 1 || s.clockStyle > kFaces)
        return;
    (this->*(s.squareScreen() ? round : wide)[s.clockStyle - 1])(g, width, height);
}

void LEDModeCtrl::DrawFileMode(Gdiplus::Graphics& g, int& width, int& height, HDC& dc)
{
    const FrameScope frame(*this);
    const LcdFrameSnapshot& s = snapshot();
    // The render's black base is the screen's background.
    if (s.imageScale <= 0.0f)
        return;
    if (const LcdPicture& media = s.media; media.image) {
        const int sw = static_cast<int>(static_cast<double>(media.width) * s.imageScale);
        const int sh = static_cast<int>(static_cast<double>(media.height) * s.imageScale);
        // Only renders select frames of the image, one at a time; the tick moves the index.
        media.image->SelectActiveFrame(&Gdiplus::FrameDimensionTime, static_cast<UINT>(s.frameIndex));
        g.DrawImage(media.image.get(), Gdiplus::Rect(s.imageCentre.x - sw / 2, s.imageCentre.y - sh / 2, sw, sh), 0, 0,
                    media.width, media.height, Gdiplus::UnitPixel);
    } else {
        drawVideoFrame(g, dc);
    }
    stepCarouselText(g, width, height);
}

void LEDModeCtrl::DrawCarouselMode(Gdiplus::Graphics& g, int& width, int& height)
{
    const FrameScope frame(*this);
    int item = 0;
    if (!nextCarouselItem(true, item))
        return;
    // The CPU items on the CPU dial, the GPU items on the GPU dial, the water on its own
    // screen, and everything else (the memory items among it) on the memory dial.
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
    const FrameScope frame(*this);
    const LcdFrameSnapshot& s = snapshot();
    // Without a window to copy, the render's black base stays.
    if (s.captureWindow && ::IsWindow(s.captureWindow)) {
        CRect client;
        ::GetClientRect(s.captureWindow, &client);
        if (client.Width() > kMinimumCaptureSide && client.Height() > kMinimumCaptureSide) {
            // What GDI+ has drawn so far must land before GDI draws beside it.
            g.Flush(Gdiplus::FlushIntentionSync);
            const HDC window = ::GetDC(s.captureWindow);
            if (window) {
                const int previous = ::SetStretchBltMode(dc, HALFTONE);
                ::StretchBlt(dc, 0, 0, width, height, window, s.capturePan.x, s.capturePan.y,
                             static_cast<int>(static_cast<float>(width) * s.captureScale),
                             static_cast<int>(static_cast<float>(height) * s.captureScale), SRCCOPY);
                ::SetStretchBltMode(dc, previous);
                ::ReleaseDC(s.captureWindow, window);
            }
        }
    }
    stepCarouselText(g, width, height);
}

void LEDModeCtrl::stepCarouselText(Gdiplus::Graphics& g, int& width, int& height)
{
    int item = 0;
    if (nextCarouselItem(false, item))
        DrawCarousel(g, width, height, item);
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

const Gdiplus::Font* LEDModeCtrl::keptFont(CarouselFont (&fonts)[2], unsigned managerSerial, bool chinese,
                                           const wchar_t* face, float size, Gdiplus::FontStyle style)
{
    // The given face for digits, units and Latin text; Chinese text needs a face with its glyphs.
    chinese = chinese && cjkFamily();
    const Gdiplus::FontFamily* family =
        chinese ? cjkFamily() : (m_manager ? m_manager->FindTempFontOrFallback(face) : nullptr);
    if (!family)
        return nullptr;
    CarouselFont& slot = fonts[chinese ? 1 : 0];
    // Built again only when what it is made of changes, not for every frame.
    if (!slot.font || family != slot.family || managerSerial != slot.managerSerial || size != slot.size
        || style != slot.style) {
        slot.font.reset(new Gdiplus::Font(family, size, style, Gdiplus::UnitPixel));
        slot.family = family;
        slot.managerSerial = managerSerial;
        slot.size = size;
        slot.style = style;
        if (slot.font->GetLastStatus() != Gdiplus::Ok)
            slot.font.reset();
    }
    return slot.font.get();
}

const Gdiplus::Font* LEDModeCtrl::carouselFont(const CString& text)
{
    const LcdFrameSnapshot& s = snapshot();
    return keptFont(m_carouselFonts, s.managerSerial, hasChineseGlyphs(text), kBrandFontFace,
                    static_cast<float>(s.carouselTextSize) * s.carouselWidthFactor, s.fontStyle);
}

void LEDModeCtrl::DrawCarousel(Gdiplus::Graphics& g, int&, int&, int item)
{
    const FrameScope frame(*this);
    const LcdFrameSnapshot& s = snapshot();
    CString label;
    CString value;
    LcdSensorTexts(s, item, label, value);
    const Gdiplus::Font* labelFont = carouselFont(label);
    const Gdiplus::Font* valueFont = carouselFont(value);
    if (!labelFont || !valueFont)
        return;
    m_carouselBrush->SetColor(s.carouselColour);
    const bool byValue = item == HardwareMemoryCapacity;
    const CString& measured = byValue ? value : label;
    Gdiplus::RectF bounds;
    g.MeasureString(measured, measured.GetLength(), byValue ? valueFont : labelFont, Gdiplus::PointF(0, 0), &bounds);
    const float cx = static_cast<float>(s.carouselPosition.x - s.rect.left);
    const float cy = static_cast<float>(s.carouselPosition.y - s.rect.top);
    RECT text;
    text.left = static_cast<LONG>(cx - bounds.Width * 0.5f - 20);
    text.top = static_cast<LONG>(cy - bounds.Height - 20);
    text.right = static_cast<LONG>(bounds.Width * 0.5f + cx + 50);
    text.bottom = static_cast<LONG>(bounds.Height + cy + 20);
    {
        // Where the pointer finds the text to drag it.
        ScopedLock lock(m_stateLock);
        m_carouselRect = text;
    }
    const int boxHeight = (text.bottom - text.top) / 2;
    Gdiplus::RectF box(static_cast<Gdiplus::REAL>(text.left), static_cast<Gdiplus::REAL>(text.top),
                       static_cast<Gdiplus::REAL>(text.right - text.left), static_cast<Gdiplus::REAL>(boxHeight));
    LcdTextStamps* stamps = textStamps();
    DrawStampedText(stamps, g, value, value.GetLength(), valueFont, box, m_centredFormat.get(), *m_carouselBrush);
    box.Y += boxHeight * 0.5f + 10;
    DrawStampedText(stamps, g, label, label.GetLength(), labelFont, box, m_centredFormat.get(), *m_carouselBrush);
}

} // namespace KOVA
