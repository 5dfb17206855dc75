// The mode dispatch of the LCD renderer and its simple screens: the user's medium, the
// carousel step, the captured window, and the carousel text over the medium and the capture.
//
// Everything here runs inside a render, on the GUI or the fast-timer thread, with the state
// lock held by the render (LEDModeCtrl.cpp).
#include "lcd/LEDModeCtrl.h"

#include "framework/PaintManager.h"
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

bool hasCjk(const CString& text)
{
    for (int i = 0; i < text.GetLength(); ++i)
        if (text[i] >= 0x2E80)
            return true;
    return false;
}
} // namespace

void LEDModeCtrl::DrawLEDMode(Gdiplus::Graphics& g, int& width, int& height, HDC& dc)
{
    // Modes 2, 3, 6 and 7 draw their screens through the layout, water-cooling, weather and
    // clock-face families; a mode without a screen keeps the black base.
    switch (m_ledMode) {
    case LEDModeFile:
        DrawFileMode(g, width, height, dc);
        break;
    case LEDModeCarousel:
        DrawCarouselMode(g, width, height);
        break;
    case LEDModeWindowCapture:
        DrawWindowCaptureMode(g, width, height, dc);
        break;
    default:
        break;
    }
}

void LEDModeCtrl::DrawFileMode(Gdiplus::Graphics& g, int& width, int& height, HDC&)
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
    }
    stepCarouselText(g, width, height);
}

void LEDModeCtrl::DrawCarouselMode(Gdiplus::Graphics&, int&, int&)
{
    if (m_carouselList.empty())
        return;
    ++m_carouselIndex;
    if (m_carouselIndex < 0 || m_carouselIndex >= static_cast<int>(m_carouselList.size()))
        m_carouselIndex = 0;
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

const Gdiplus::Font* LEDModeCtrl::carouselFont(const CString& text)
{
    // The product's face for digits, units and Latin labels; a Chinese label needs a face
    // with its glyphs.
    const bool chinese = hasCjk(text) && cjkFamily();
    const Gdiplus::FontFamily* family =
        chinese ? cjkFamily() : (m_manager ? m_manager->FindTempFontOrFallback(L"BRAVIK 1.2") : nullptr);
    if (!family)
        return nullptr;
    CarouselFont& slot = m_carouselFonts[chinese ? 1 : 0];
    const float size = static_cast<float>(m_carouselTextSize) * m_carouselWidthFactor;
    // Built again only when what it is made of changes, not for every frame.
    if (!slot.font || family != slot.family || size != slot.size || m_fontStyle != slot.style) {
        slot.font.reset(new Gdiplus::Font(family, size, m_fontStyle, Gdiplus::UnitPixel));
        slot.family = family;
        slot.size = size;
        slot.style = m_fontStyle;
        if (slot.font->GetLastStatus() != Gdiplus::Ok)
            slot.font.reset();
    }
    return slot.font.get();
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
    g.DrawString(value, value.GetLength(), valueFont, box, m_centredFormat.get(), m_carouselBrush.get());
    box.Y += boxHeight * 0.5f + 10;
    g.DrawString(label, label.GetLength(), labelFont, box, m_centredFormat.get(), m_carouselBrush.get());
}

} // namespace KOVA
