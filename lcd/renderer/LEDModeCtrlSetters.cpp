// What the host sets for the LCD screens (images from the skin folder, colours, weather
// texts, the carousel list and its text style) and the pointer input of the live preview:
// dragging the carousel text, panning and zooming the captured window, picking sensor slots.
//
// Setters run on the GUI thread while a frame may be drawn on the fast-timer thread: each
// changes the record under the state lock, and raises its repaint request after releasing it.
#include "lcd/renderer/LEDModeCtrl.h"

#include <algorithm>
#include <cstdlib>

#include "framework/AppPaths.h"
#include "framework/MRender.h"
#include "framework/Registry.h"

namespace KOVA {

namespace {
constexpr int kDragThreshold = 2;       // pixels a move must exceed before anything moves
constexpr int kPanMargin = 300;         // how far the capture may be panned before its origin
constexpr int kPanReachX = 1920;        // and past the control's size
constexpr int kPanReachY = 1080;
constexpr double kZoomStep = 0.2;
constexpr double kZoomMost = 5.0;
constexpr double kZoomLeast = 0.2;

void writeNumber(const wchar_t* name, int value)
{
    CString text;
    text.Format(L"%d", value);
    WriteRegString(name, text);
}

void writeScale(const wchar_t* name, float value)
{
    CString text;
    text.Format(L"%f", static_cast<double>(value));
    WriteRegString(name, text);
}

bool pastThreshold(const CPoint& delta)
{
    return std::abs(delta.x) > kDragThreshold || std::abs(delta.y) > kDragThreshold;
}

void showCursor(LPCWSTR cursor)
{
    ::SetCursor(::LoadCursorW(nullptr, cursor));
}
} // namespace

bool LEDModeCtrl::LcdImage::Load(const CString& name)
{
    image.reset(MRender::LoadImageFromFile(GetSkinPath() + name));
    if (image && image->GetLastStatus() != Gdiplus::Ok)
        image.reset();
    if (!image)
        return false;
    width = static_cast<int>(image->GetWidth());
    height = static_cast<int>(image->GetHeight());
    return true;
}

int LEDModeCtrl::loadImage(LcdImage& target, const CString& name)
{
    // Decoded outside the lock; only the exchange waits for a frame being drawn.
    LcdImage fresh;
    const bool loaded = fresh.Load(name);
    ScopedLock lock(m_stateLock);
    takeImage(target, fresh, loaded);
    return loaded ? 1 : 0;
}

// Under the state lock.
void LEDModeCtrl::takeImage(LcdImage& target, LcdImage& fresh, bool loaded)
{
    ++m_layerVersion;
    target.image = std::move(fresh.image);
    if (loaded) {
        target.width = fresh.width;
        target.height = fresh.height;
    }
}

// ---- the face

void LEDModeCtrl::SetTextFont(CString face)
{
    ScopedLock lock(m_stateLock);
    MControlFont::SetTextFont(face);
    ++m_layerVersion;
}

void LEDModeCtrl::SetFont(const wchar_t* face, int size, Gdiplus::FontStyle style)
{
    ScopedLock lock(m_stateLock);
    MControlFont::SetFont(face, size, style);
    ++m_layerVersion;
}

// ---- images

int LEDModeCtrl::SetBKImage(const wchar_t* name)
{
    const int loaded = loadImage(m_background, name);
    requestRepaint();
    return loaded;
}

int LEDModeCtrl::SetImage(const wchar_t* name, int count)
{
    if (count < 1)
        return 0;
    LcdImage fresh;
    const int loaded = fresh.Load(name) ? 1 : 0;
    {
        // The strip and the base's pointer into it change together: a frame never sees the
        // pointer of an image already freed.
        ScopedLock lock(m_stateLock);
        takeImage(m_stripImage, fresh, loaded != 0);
        m_image = m_stripImage.image.get();
        m_imageCount = count;
        m_imageWidth = loaded ? m_stripImage.width : 0;
        m_imageHeight = loaded ? m_stripImage.height : 0;
    }
    requestRepaint();
    return loaded;
}

void LEDModeCtrl::SetIcon1Image(const wchar_t* name)
{
    loadImage(m_icons[0], name);
    requestRepaint();
}

void LEDModeCtrl::SetIcon2Image(const wchar_t* name)
{
    loadImage(m_icons[1], name);
    requestRepaint();
}

void LEDModeCtrl::SetIcon3Image(const wchar_t* name)
{
    loadImage(m_icons[2], name);
    requestRepaint();
}

void LEDModeCtrl::SetCPUScaleImage(CString first, CString second)
{
    loadImage(m_cpuScale[0], first);
    loadImage(m_cpuScale[1], second);
    requestRepaint();
}

void LEDModeCtrl::SetGPUScaleImage(CString first, CString second)
{
    loadImage(m_gpuScale[0], first);
    loadImage(m_gpuScale[1], second);
}

void LEDModeCtrl::SetMemoryScaleImage(CString first, CString second)
{
    loadImage(m_memoryScale[0], first);
    loadImage(m_memoryScale[1], second);
}

void LEDModeCtrl::SetCircleImage(CString name)
{
    loadImage(m_dial, name);
}

void LEDModeCtrl::SetHMSImage(CString hour, CString minute, CString second)
{
    loadImage(m_hands[0], hour);
    loadImage(m_hands[1], minute);
    loadImage(m_hands[2], second);
}

// ---- colours, texts and the carousel text style

void LEDModeCtrl::SetColor(Gdiplus::Color background, Gdiplus::Color label, Gdiplus::Color value, Gdiplus::Color accent)
{
    {
        ScopedLock lock(m_stateLock);
        m_backgroundColour = background;
        SetTextColor(label);
        m_valueColour = value;
        m_accentColour = accent;
        ++m_layerVersion;
    }
    requestRepaint();
}

void LEDModeCtrl::SetTitleColor(COLORREF colour)
{
    {
        ScopedLock lock(m_stateLock);
        m_titleColor = Gdiplus::Color(255, GetRValue(colour), GetGValue(colour), GetBValue(colour));
        ++m_layerVersion;
    }
    requestRepaint();
}

void LEDModeCtrl::SetWeatherColor(Gdiplus::Color c1, Gdiplus::Color c2, Gdiplus::Color c3, Gdiplus::Color c4,
                                  Gdiplus::Color c5, Gdiplus::Color c6)
{
    {
        ScopedLock lock(m_stateLock);
        const Gdiplus::Color colours[] = { c1, c2, c3, c4, c5, c6 };
        std::copy(std::begin(colours), std::end(colours), m_weatherColour);
        ++m_layerVersion;
    }
    requestRepaint();
}

void LEDModeCtrl::SetWeatherValue(CString t1, CString t2, CString t3, CString t4, CString t5, CString t6, CString t7)
{
    ScopedLock lock(m_stateLock);
    const CString texts[] = { t1, t2, t3, t4, t5, t6, t7 };
    std::copy(std::begin(texts), std::end(texts), m_weatherText);
    ++m_layerVersion;
}

void LEDModeCtrl::SetCarFontColor(Gdiplus::Color colour)
{
    {
        ScopedLock lock(m_stateLock);
        m_carouselColour = colour;
        ++m_layerVersion;
    }
    writeNumber(L"led_car_font_color", static_cast<int>(RGB(colour.GetR(), colour.GetG(), colour.GetB())));
}

void LEDModeCtrl::SetLayerFontWidth(int width)
{
    {
        ScopedLock lock(m_stateLock);
        const float factor = static_cast<float>(width * 0.02);
        m_carouselWidthFactor = factor > 0.0f ? factor : 0.00001f;
        ++m_layerVersion;
    }
    requestRepaint();
}

// ---- the carousel list

void LEDModeCtrl::AddCarousel(UINT item)
{
    ScopedLock lock(m_stateLock);
    if (std::find(m_carouselList.begin(), m_carouselList.end(), item) == m_carouselList.end())
        m_carouselList.push_back(item);
}

void LEDModeCtrl::DeleteCarousel(UINT item)
{
    bool removed = false;
    {
        ScopedLock lock(m_stateLock);
        const auto found = std::find(m_carouselList.begin(), m_carouselList.end(), item);
        if (found != m_carouselList.end()) {
            m_carouselList.erase(found);
            removed = true;
        }
    }
    if (removed)
        requestRepaint();
}

void LEDModeCtrl::ClearCarousel()
{
    ScopedLock lock(m_stateLock);
    m_carouselList.clear();
}

UINT LEDModeCtrl::GetCarousel()
{
    ScopedLock lock(m_stateLock);
    UINT mask = 0;
    for (UINT item : m_carouselList)
        mask |= 1u << (item % 32);
    return mask;
}

// ---- pointer input of the preview

int LEDModeCtrl::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (!m_rect.PtInRect(pt))
        return 1;
    selectLayer(-1);
    if (m_ledMode == LEDModeFile || m_ledMode == LEDModeWindowCapture) {
        CRect text(m_carouselRect);
        text.OffsetRect(m_rect.left, m_rect.top);
        if (text.PtInRect(pt))
            m_dragging = 1;
        m_lastPoint = pt;
        showCursor(IDC_HAND);
    }
    return 1;
}

int LEDModeCtrl::OnControlMouseMove(UINT keys, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (!m_rect.PtInRect(pt) || !(keys & MK_LBUTTON))
        return 1;
    if (!m_dragging && m_ledMode == LEDModeFile) {
        hoverSensorSlot(pt);
        return 1;
    }
    const bool panning = !m_dragging && m_ledMode == LEDModeWindowCapture;
    if (!m_dragging && !panning)
        return 1;
    if (panning)
        showCursor(IDC_HAND);
    const CPoint delta(pt.x - m_lastPoint.x, pt.y - m_lastPoint.y);
    // Small moves add up until they pass the threshold.
    if (!pastThreshold(delta))
        return 1;
    CPoint position;
    {
        ScopedLock lock(m_stateLock);
        if (m_dragging) {
            m_carouselPosition.x = std::clamp<LONG>(m_carouselPosition.x + delta.x, m_rect.left, m_rect.right);
            m_carouselPosition.y = std::clamp<LONG>(m_carouselPosition.y + delta.y, m_rect.top, m_rect.bottom);
            position = m_carouselPosition;
        } else {
            m_capturePan.x = std::clamp<LONG>(m_capturePan.x - delta.x, -kPanMargin, m_rect.Width() + kPanReachX);
            m_capturePan.y = std::clamp<LONG>(m_capturePan.y - delta.y, -kPanMargin, m_rect.Height() + kPanReachY);
        }
    }
    if (m_dragging) {
        writeNumber(L"led_car_ptText_x", position.x);
        writeNumber(L"led_car_ptText_y", position.y);
    }
    requestRepaint();
    m_lastPoint = pt;
    return 1;
}

int LEDModeCtrl::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    m_dragging = 0;
    showCursor(IDC_ARROW);
    if (m_ledMode == LEDModeFile && m_rect.PtInRect(pt)) {
        selectLayer(m_hoveredSlot);
        requestRepaint();
    }
    return 1;
}

int LEDModeCtrl::OnControlScroll(int, UINT down, CPoint)
{
    float imageScale = 0;
    float captureScale = 0;
    {
        ScopedLock lock(m_stateLock);
        if (m_ledMode == LEDModeFile)
            m_imageScale = 1.0f;
        if (m_ledMode == LEDModeWindowCapture) {
            const double scale = m_captureScale + (down == 1 ? kZoomStep : -kZoomStep);
            m_captureScale = static_cast<float>(std::clamp(scale, kZoomLeast, kZoomMost));
        }
        imageScale = m_imageScale;
        captureScale = m_captureScale;
    }
    writeScale(L"led_image_scale", imageScale);
    writeScale(L"led_capwnd_scale", captureScale);
    requestRepaint();
    return 1;
}

} // namespace KOVA
