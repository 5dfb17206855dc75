// The system-information layouts of LED mode 2 as members of the renderer: each goes through
// the layer cache with its number as the screen, its still part drawn from a scene without
// sensor values, its moving part from one with them (LEDModeCtrlLayouts1x.cpp, 2x.cpp). The
// scenes are views of the frame's snapshot.
//
// Runs inside a render with the render lock held and the state lock free (LEDModeCtrl.cpp).
#include "lcd/renderer/LEDModeCtrl.h"

#include "framework/FontCache.h"
#include "lcd/renderer/LcdFrameSnapshot.h"
#include "lcd/screens/LcdLayoutResources.h"

namespace KOVA {

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
    const FrameScope frame(*this);
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
    const LcdFrameSnapshot& s = snapshot();
    LcdLayoutScene scene { s };
    scene.width = width;
    scene.height = height;
    scene.item = item;
    scene.round = s.circular();
    scene.controlFrameWidth = s.stripFrames > 0 ? s.strip.width / s.stripFrames : 0;
    scene.clockAngle = &LEDModeCtrl::ClockDialAngle;
    if (withValues) {
        scene.values = &s.values;
        scene.memoryPercent = MemoryPercent(s.values);
    }
    return scene;
}

LcdLayoutResources& LEDModeCtrl::layoutResources()
{
    if (!m_layoutResources)
        m_layoutResources.reset(new LcdLayoutResources);
    const LcdFrameSnapshot& s = snapshot();
    if (m_layoutResources->FontsStale(s.face, s.scale, s.managerSerial)) {
        std::unique_ptr<Gdiplus::FontFamily> face(GetFontFamily(s.face));
        std::unique_ptr<Gdiplus::FontFamily> brand(GetFontFamily(kBrandFontFace));
        m_layoutResources->SetFamilies(std::move(face), std::move(brand), s.face, s.scale, s.managerSerial);
    }
    m_layoutResources->UseStamps(textStamps());
    return *m_layoutResources;
}

} // namespace KOVA
