// GUI thread only; see MouseItemList for the locks.
#include "devices/peripherals/MouseCtrl.h"

#include "framework/FontCache.h"
#include "framework/MRender.h"

namespace KOVA {

namespace {
constexpr Gdiplus::ARGB kDim = 0xFF6D6D6D;
constexpr Gdiplus::ARGB kWhite = 0xFFFFFFFF;
constexpr Gdiplus::ARGB kHighlightedText = 0xFF050505;
// Unscaled sizes: the dot's diameter, the label box's reach from its point and half height.
constexpr float kDot = 4.0f;
constexpr float kLabelNear = 1.0f;
constexpr float kLabelFar = 67.0f;
constexpr float kLabelHalfHeight = 13.0f;
constexpr int kLabelBorder = 6;
} // namespace

MouseCtrl::MouseCtrl(MObject* parent, UINT id, CRect rect, int visible) : MouseItemList(parent, id, rect, visible) {}

MouseCtrl::MouseCtrl(const MouseCtrl& other) = default;
MouseCtrl& MouseCtrl::operator=(const MouseCtrl& other) = default;
MouseCtrl::~MouseCtrl() = default;

const wchar_t* MouseCtrl::GetClassNameW() const
{
    return L"MouseCtrl";
}

int MouseCtrl::AddItem(CString text, int keyValue, int side, CPoint first, CPoint second)
{
    auto callout = std::make_unique<MouseCalloutItem>();
    callout->text = text;
    callout->keyValue = keyValue;
    callout->side = side;
    callout->first = first;
    callout->second = second;
    return AddEntry(std::move(callout));
}

void MouseCtrl::DrawItems(Gdiplus::Graphics& graphics, const Gdiplus::Font* font)
{
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    for (int i = 0; MouseCalloutItem* callout = EntryAt<MouseCalloutItem>(i); ++i)
        drawCallout(graphics, font, *callout, IsHighlighted(i));
}

void MouseCtrl::drawCallout(Gdiplus::Graphics& graphics, const Gdiplus::Font* font, MouseCalloutItem& callout,
                            bool highlighted)
{
    const float s = m_scale;
    const auto x1 = static_cast<int>(callout.first.x * s);
    const auto y1 = static_cast<int>(callout.first.y * s);
    const auto x2 = static_cast<int>(callout.second.x * s);
    const auto y2 = static_cast<int>(callout.second.y * s);
    const Gdiplus::Color mark(highlighted ? kWhite : kDim);
    Gdiplus::Pen line(mark, 1.0f);
    graphics.DrawLine(&line, x1, y1, x2, y2);
    // Side 1: the dot at the first point, the label to the right of the second; else mirrored.
    const bool right = callout.side == 1;
    const float dotX = (right ? x1 : x2) - 2 * s;
    const float dotY = (right ? y1 : y2) - 2 * s;
    Gdiplus::SolidBrush dot(mark);
    graphics.FillEllipse(&dot, dotX, dotY, kDot * s, kDot * s);
    const int anchorX = right ? x2 : x1;
    const int anchorY = right ? y2 : y1;
    const CRect box = right
        ? CRect(static_cast<int>(anchorX + kLabelNear * s), static_cast<int>(anchorY - kLabelHalfHeight * s),
                static_cast<int>(anchorX + kLabelFar * s), static_cast<int>(anchorY + kLabelHalfHeight * s))
        : CRect(static_cast<int>(anchorX - kLabelFar * s), static_cast<int>(anchorY - kLabelHalfHeight * s),
                static_cast<int>(anchorX - kLabelNear * s), static_cast<int>(anchorY + kLabelHalfHeight * s));
    callout.cell = box;
    if (m_image && m_imageCount > 0) {
        const int frameWidth = GetFrameWidth();
        MRender::DrawImageFrame(graphics, m_image, box, highlighted ? frameWidth : 0, 0, frameWidth, m_imageHeight,
                                kLabelBorder);
    }
    if (!font)
        return;
    // A button's name sits one pixel higher in its box.
    const float lift = callout.text.Find(L"Button") >= 0 ? 1.0f : 0.0f;
    Gdiplus::SolidBrush ink { Gdiplus::Color(highlighted ? kHighlightedText : kWhite) };
    graphics.DrawString(callout.text, callout.text.GetLength(), TextFont(font, callout.text),
                        Gdiplus::RectF(static_cast<float>(box.left), static_cast<float>(box.top) - lift,
                                       static_cast<float>(box.Width()), static_cast<float>(box.Height())),
                        TextFormat(), &ink);
}

} // namespace KOVA
