#include "ThreadTextCheck.h"

#include "DibCanvas.h"
#include "InkScan.h"

namespace KOVA::test {

int textInkHeightHere()
{
    DibCanvas canvas(120, 60, 0xFFFFFFFF);
    Gdiplus::Graphics g(canvas.dc());
    Gdiplus::Matrix transform;
    if (g.GetTransform(&transform) != Gdiplus::Ok || !transform.IsIdentity())
        return -1;
    const Gdiplus::Font font(L"DejaVu Sans", 20.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    const Gdiplus::SolidBrush black(Gdiplus::Color(0xFF000000));
    g.DrawString(L"88", 2, &font, Gdiplus::PointF(10, 10), &black);
    g.Flush(Gdiplus::FlushIntentionSync);
    const Ink ink = scanInk(canvas, CRect(0, 0, canvas.width(), canvas.height()), 0xFFFFFF, 0);
    return ink.any() ? ink.bounds.Height() + 1 : 0;
}

} // namespace KOVA::test
