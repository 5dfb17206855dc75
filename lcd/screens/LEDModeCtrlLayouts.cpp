// The system-information layouts of LED mode 2 as members of the renderer: each goes through
// the layer cache with its number as the screen, its still part drawn from a scene without
// sensor values, its moving part from one with them (LEDModeCtrlLayouts1x.cpp, 2x.cpp).
//
// Runs inside a render with the state lock held (LEDModeCtrl.cpp).
#include "lcd/renderer/LEDModeCtrl.h"

#include "framework/FontCache.h"
#include "framework/Manager.h"
#include "lcd/screens/LcdLayoutResources.h"

namespace KOVA {

namespace {

LcdPicture pictureOf(Gdiplus::Image* image, int width, int height)
{
    LcdPicture picture;
    picture.image = image;
    picture.width = width;
    picture.height = height;
    return picture;
}
} // namespace

void LcdLayoutResourcesDeleter::operator()(LcdLayoutResources* resources) const
{
    delete resources;
}

void LEDModeCtrl::DrawSystemInfoMode11(Gdiplus::Graphics& g, int& width, int& height, int item)
{
    drawSystemInfoLayout(g, width, height, item, 11);
}

void LEDModeCtrl::DrawSystemInfoMode12(Gdiplus::Graphics& g, int& width, int& height, int item)
{
    drawSystemInfoLayout(g, width, height, item, 12);
}

void LEDModeCtrl::DrawSystemInfoMode13(Gdiplus::Graphics& g, int& width, int& height, int item)
{
    drawSystemInfoLayout(g, width, height, item, 13);
}

void LEDModeCtrl::DrawSystemInfoMode14(Gdiplus::Graphics& g, int& width, int& height, int item)
{
    drawSystemInfoLayout(g, width, height, item, 14);
}

void LEDModeCtrl::DrawSystemInfoMode15(Gdiplus::Graphics& g, int& width, int& height, int item)
{
    drawSystemInfoLayout(g, width, height, item, 15);
}

void LEDModeCtrl::DrawSystemInfoMode16(Gdiplus::Graphics& g, int& width, int& height, int item)
{
    drawSystemInfoLayout(g, width, height, item, 16);
}

void LEDModeCtrl::DrawSystemInfoMode21(Gdiplus::Graphics& g, int& width, int& height, int item)
{
    drawSystemInfoLayout(g, width, height, item, 21);
}

void LEDModeCtrl::DrawSystemInfoMode22(Gdiplus::Graphics& g, int& width, int& height, int item)
{
    drawSystemInfoLayout(g, width, height, item, 22);
}

void LEDModeCtrl::DrawSystemInfoMode23(Gdiplus::Graphics& g, int& width, int& height, int item)
{
    drawSystemInfoLayout(g, width, height, item, 23);
}

void LEDModeCtrl::DrawSystemInfoMode24(Gdiplus::Graphics& g, int& width, int& height, int item)
{
    drawSystemInfoLayout(g, width, height, item, 24);
}

void LEDModeCtrl::DrawSystemInfoMode25(Gdiplus::Graphics& g, int& width, int& height, int item)
{
    drawSystemInfoLayout(g, width, height, item, 25);
}

void LEDModeCtrl::DrawSystemInfoMode26(Gdiplus::Graphics& g, int& width, int& height, int item)
{
    drawSystemInfoLayout(g, width, height, item, 26);
}

void LEDModeCtrl::drawSystemInfoLayout(Gdiplus::Graphics& g, int width, int height, int item, int layout)
{
    m_layoutDrawn = layout;
    DrawLayered(g, width, height, item, layout, &LEDModeCtrl::drawLayoutStill, &LEDModeCtrl::drawLayoutMoving);
    if (layout == 16)
        m_dimInsideEllipse = true;
}

void LEDModeCtrl::drawLayoutStill(Gdiplus::Graphics& g, int width, int height, int item)
{
    DrawLayoutPart(m_layoutDrawn, LayoutPart::Still, g, layoutResources(), layoutScene(width, height, item, false));
}

void LEDModeCtrl::drawLayoutMoving(Gdiplus::Graphics& g, int width, int height, int item)
{
    DrawLayoutPart(m_layoutDrawn, LayoutPart::Moving, g, layoutResources(), layoutScene(width, height, item, true));
}

LcdLayoutScene LEDModeCtrl::layoutScene(int width, int height, int item, bool withValues)
{
    LcdLayoutScene scene;
    scene.width = width;
    scene.height = height;
    scene.item = item;
    scene.round = m_screenType == LEDScreenCircle;
    scene.background = m_backgroundColour;
    scene.label = m_textColor;
    scene.value = m_valueColour;
    scene.accent = m_accentColour;
    scene.hint = m_textRenderingHint;
    // The strip's own record: it changes with the layer version, under the state lock.
    scene.controlImage = pictureOf(m_stripImage.image.get(), m_stripImage.width, m_stripImage.height);
    scene.controlFrameWidth = m_imageCount > 0 ? m_stripImage.width / m_imageCount : 0;
    for (int i = 0; i < 2; ++i) {
        scene.cpuScale[i] = pictureOf(m_cpuScale[i].image.get(), m_cpuScale[i].width, m_cpuScale[i].height);
        scene.gpuScale[i] = pictureOf(m_gpuScale[i].image.get(), m_gpuScale[i].width, m_gpuScale[i].height);
        scene.memoryScale[i] = pictureOf(m_memoryScale[i].image.get(), m_memoryScale[i].width, m_memoryScale[i].height);
    }
    scene.sign = TemperatureSign();
    scene.clockAngle = &LEDModeCtrl::ClockDialAngle;
    if (withValues) {
        scene.values = &m_hardwareInfo;
        scene.memoryPercent = MemoryPercent(m_hardwareInfo);
    }
    return scene;
}

LcdLayoutResources& LEDModeCtrl::layoutResources()
{
    if (!m_layoutResources)
        m_layoutResources.reset(new LcdLayoutResources);
    const float scale = Manager::GetScaleValue();
    if (m_layoutResources->FontsStale(m_textFont, scale, m_manager)) {
        std::unique_ptr<Gdiplus::FontFamily> face(GetFontFamily(m_textFont));
        std::unique_ptr<Gdiplus::FontFamily> brand(GetFontFamily(kBrandFontFace));
        m_layoutResources->SetFamilies(std::move(face), std::move(brand), m_textFont, scale, m_manager);
    }
    m_layoutResources->UseStamps(textStamps());
    return *m_layoutResources;
}

} // namespace KOVA
