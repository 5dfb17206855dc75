// Copies of the renderer. GUI thread; the state lock of the target is held while its values
// change (its tick may be drawing), the source is read as the GUI thread sees it.
#include "lcd/renderer/LEDModeCtrl.h"

#include <algorithm>

#include "lcd/renderer/LcdFramePipeline.h"
#include "lcd/renderer/LcdLayerCache.h"
#include "lcd/renderer/LcdTextStamps.h"

namespace KOVA {

LEDModeCtrl::LEDModeCtrl(const LEDModeCtrl& other) : MControlFont(other)
{
    // The base copied the source's pointer; its strip image stays with the source.
    if (m_image && m_image == other.m_stripImage.image.get()) {
        m_image = nullptr;
        m_imageWidth = m_imageHeight = 0;
    }
    copyValuesFrom(other);
    m_screenType = other.m_screenType;
    makeOwnParts();
}

LEDModeCtrl& LEDModeCtrl::operator=(const LEDModeCtrl& other)
{
    if (this == &other)
        return *this;
    {
        // The face and the rest of the base are read by the hidden render.
        ScopedLock lock(m_stateLock);
        Gdiplus::Image* const strip = m_image;
        const int stripWidth = m_imageWidth, stripHeight = m_imageHeight, stripCount = m_imageCount;
        MControlFont::operator=(other);
        // The target keeps its own strip image rather than a pointer into the source's.
        if (m_image && m_image == other.m_stripImage.image.get()) {
            m_image = strip;
            m_imageWidth = stripWidth;
            m_imageHeight = stripHeight;
            m_imageCount = stripCount;
        }
        copyValuesFrom(other);
    }
    InvalidateLayers();
    SetLEDScreenType(other.m_screenType);
    return *this;
}

void LEDModeCtrl::copyValuesFrom(const LEDModeCtrl& other)
{
    m_ledMode = other.m_ledMode;
    m_switch = other.m_switch;
    m_brightness = other.m_brightness;
    m_speed = other.m_speed;
    m_rotation = other.m_rotation;
    m_titleColor = other.m_titleColor;
    m_framePeriod = other.m_framePeriod;
    m_imageCentre = other.m_imageCentre;
    m_imageScale = other.m_imageScale;
    m_clockStyle = other.m_clockStyle;
    m_captureWindow = other.m_captureWindow;
    m_capturePan = other.m_capturePan;
    m_captureScale = other.m_captureScale;
    m_hardwareInfo = other.m_hardwareInfo;
    m_hardwareItem = other.m_hardwareItem;
    m_sensorLayout = other.m_sensorLayout;
    m_carouselList = other.m_carouselList;
    m_carouselIndex = other.m_carouselIndex;
    m_carouselColour = other.m_carouselColour;
    m_carouselTextSize = other.m_carouselTextSize;
    m_carouselWidthFactor = other.m_carouselWidthFactor;
    m_carouselPosition = other.m_carouselPosition;
    m_backgroundColour = other.m_backgroundColour;
    m_valueColour = other.m_valueColour;
    m_accentColour = other.m_accentColour;
    std::copy(std::begin(other.m_weatherText), std::end(other.m_weatherText), std::begin(m_weatherText));
    std::copy(std::begin(other.m_weatherColour), std::end(other.m_weatherColour), std::begin(m_weatherColour));
    m_editStatus = other.m_editStatus;
    m_layersCached = other.m_layersCached;
}

} // namespace KOVA
