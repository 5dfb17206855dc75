// Texts a host places over the LCD screen: overlay texts of two lines anchored anywhere, and
// sensor slots, boxes that each show one sensor value with its label. The preview's pointer
// picks slots in the file mode (LEDModeCtrlSetters.cpp); no render draws either list, a class
// derived from the renderer draws them over its frames.
//
// Threads: the lists change on the GUI thread and are walked by the draws on whichever thread
// renders, so every change and every walk holds the state lock; repaint requests are raised
// after it is released.
#include "lcd/renderer/LEDModeCtrl.h"

#include <algorithm>
#include <utility>

#include "framework/FontCache.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
constexpr size_t kSlotCount = 3;
constexpr int kSlotFrameWidth = 160;
constexpr int kSlotPickWidth = 180;     // the pointer picks a little beyond the frame's right edge
constexpr int kSlotSideInset = 10;
constexpr int kUpperSlotTop = 150;
constexpr int kUpperSlotBottom = 230;
constexpr int kLowerSlotTop = 150;      // above the bottom edge
constexpr int kLowerSlotBottom = 70;    // above the bottom edge
constexpr int kOverlayAnchorDrop = 100; // a new overlay text sits this far below the centre
constexpr int kOverlayMargin = 20;
constexpr float kOverlayLineGap = 10;
constexpr Gdiplus::ARGB kNewOverlayColour = 0xFFFFFFFF;
constexpr Gdiplus::ARGB kSelectedOverlayColour = 0xFF06B025;
constexpr float kSelectedOverlayPen = 3;
constexpr Gdiplus::ARGB kSlotFrameColour = 0x64BD30FF;
constexpr float kSlotLabelSize = 20;
constexpr float kSlotValueSize = 25;
// The swap exchanges the slot the pointer crossed with this one.
constexpr int kSwapSource = 0;

bool isIndexOf(int index, size_t count)
{
    return index >= 0 && static_cast<size_t>(index) < count;
}

RECT slotRect(int left, int top, int width, int bottom)
{
    return RECT { left, top, left + width, bottom };
}

Gdiplus::RectF rectF(const RECT& r)
{
    return Gdiplus::RectF(static_cast<Gdiplus::REAL>(r.left), static_cast<Gdiplus::REAL>(r.top),
                          static_cast<Gdiplus::REAL>(r.right - r.left), static_cast<Gdiplus::REAL>(r.bottom - r.top));
}
} // namespace

// ---- overlay texts

void LEDModeCtrl::AddOverLayerInfo(int id, CString first, CString second)
{
    bool added = false;
    {
        ScopedLock lock(m_stateLock);
        const auto known = [id](const OverLayerInfo& info) { return info.id == id; };
        if (std::find_if(m_overlayers.begin(), m_overlayers.end(), known) == m_overlayers.end()) {
            OverLayerInfo info;
            info.id = id;
            info.colour = Gdiplus::Color(kNewOverlayColour);
            info.first = first;
            info.second = second;
            info.anchor = CPoint((m_rect.left + m_rect.right) / 2, (m_rect.top + m_rect.bottom) / 2 + kOverlayAnchorDrop);
            m_overlayers.push_back(info);
            added = true;
        }
    }
    if (added)
        requestRepaint();
}

void LEDModeCtrl::SetLayerInfo(int id, CString first, CString second)
{
    ScopedLock lock(m_stateLock);
    for (OverLayerInfo& info : m_overlayers) {
        if (info.id == id) {
            info.first = first;
            info.second = second;
            return;
        }
    }
}

void LEDModeCtrl::ClearOverlayer()
{
    {
        ScopedLock lock(m_stateLock);
        m_overlayers.clear();
        m_hoveredSlot = -1;
        m_selectedLayer = -1;
    }
    requestRepaint();
}

// ---- sensor slots

void LEDModeCtrl::InitOverLayer()
{
    ScopedLock lock(m_stateLock);
    if (m_sensorSlots.empty())
        m_sensorSlots.resize(kSlotCount);
}

void LEDModeCtrl::ClearOverlayer2()
{
    {
        ScopedLock lock(m_stateLock);
        m_sensorSlots.clear();
        m_hoveredSlot = -1;
        m_selectedLayer = -1;
    }
    requestRepaint();
}

void LEDModeCtrl::placeSensorSlots()
{
    // Two slots high on the left and right, one low in the middle; slots added by a derived
    // class beyond these keep their places.
    const CRect& r = m_rect;
    const int lowerLeft = r.left + (r.Width() - kSlotFrameWidth) / 2;
    const int lefts[kSlotCount] = { r.left + kSlotSideInset, r.right - kSlotSideInset - kSlotFrameWidth, lowerLeft };
    const int tops[kSlotCount] = { r.top + kUpperSlotTop, r.top + kUpperSlotTop, r.bottom - kLowerSlotTop };
    const int bottoms[kSlotCount] = { r.top + kUpperSlotBottom, r.top + kUpperSlotBottom, r.bottom - kLowerSlotBottom };
    for (size_t i = 0; i < kSlotCount && i < m_sensorSlots.size(); ++i) {
        m_sensorSlots[i].frame = slotRect(lefts[i], tops[i], kSlotFrameWidth, bottoms[i]);
        m_sensorSlots[i].pick = slotRect(lefts[i], tops[i], kSlotPickWidth, bottoms[i]);
    }
}

void LEDModeCtrl::SetSensorValue(int item, CPoint point)
{
    {
        ScopedLock lock(m_stateLock);
        for (SensorLayerInfo& slot : m_sensorSlots) {
            if (::PtInRect(&slot.pick, point)) {
                slot.item = item;
                break;
            }
        }
    }
    requestRepaint();
}

void LEDModeCtrl::SetSensorValue(int index, int item)
{
    {
        ScopedLock lock(m_stateLock);
        if (!isIndexOf(index, m_sensorSlots.size()))
            return;
        m_sensorSlots[static_cast<size_t>(index)].item = item;
    }
    requestRepaint();
}

int LEDModeCtrl::GetSensorValue(int index)
{
    ScopedLock lock(m_stateLock);
    return isIndexOf(index, m_sensorSlots.size()) ? m_sensorSlots[static_cast<size_t>(index)].item : 0;
}

void LEDModeCtrl::SetSensorStatus(int item, int status)
{
    if (status == 0) {
        ScopedLock lock(m_stateLock);
        for (SensorLayerInfo& slot : m_sensorSlots)
            if (slot.item == item)
                slot.item = 0;
    }
    requestRepaint();
}

void LEDModeCtrl::SwitchSensorValue()
{
    {
        ScopedLock lock(m_stateLock);
        // The target was left by the pointer and may name a slot cleared since.
        const size_t count = m_sensorSlots.size();
        if (m_swapTarget == kSwapSource || !isIndexOf(kSwapSource, count) || !isIndexOf(m_swapTarget, count))
            return;
        std::swap(m_sensorSlots[kSwapSource].item, m_sensorSlots[static_cast<size_t>(m_swapTarget)].item);
    }
    requestRepaint();
}

void LEDModeCtrl::hoverSensorSlot(CPoint pt)
{
    ScopedLock lock(m_stateLock);
    const size_t count = m_sensorSlots.size();
    if (isIndexOf(m_hoveredSlot, count) && ::PtInRect(&m_sensorSlots[static_cast<size_t>(m_hoveredSlot)].pick, pt)) {
        m_swapTarget = m_hoveredSlot;
        return;
    }
    m_hoveredSlot = -1;
    for (size_t i = 0; i < count; ++i) {
        if (::PtInRect(&m_sensorSlots[i].pick, pt)) {
            m_hoveredSlot = m_swapTarget = static_cast<int>(i);
            return;
        }
    }
}

// ---- selection and editing

void LEDModeCtrl::selectLayer(int index)
{
    ScopedLock lock(m_stateLock);
    m_selectedLayer = index;
}

void LEDModeCtrl::SetSelectLayer(int index)
{
    selectLayer(index);
    requestRepaint();
}

void LEDModeCtrl::SetEditStatus(int status)
{
    m_editStatus = status;
    requestRepaint();
}

void LEDModeCtrl::DragMove(CPoint point)
{
    if (!m_enabled)
        return;
    OnControlMouseMove(0, point);
    requestRepaint();
}

// ---- drawing

void LEDModeCtrl::DrawLayer(Gdiplus::Graphics& g, CRect, int selected)
{
    ScopedLock lock(m_stateLock);
    for (size_t i = 0; i < m_overlayers.size(); ++i)
        if (!m_overlayers[i].first.IsEmpty())
            drawOverlayText(g, m_overlayers[i], selected && static_cast<int>(i) == m_selectedLayer);
}

void LEDModeCtrl::drawOverlayText(Gdiplus::Graphics& g, OverLayerInfo& info, bool selected)
{
    const bool chinese = hasChineseGlyphs(info.first) || hasChineseGlyphs(info.second);
    const Gdiplus::Font* font =
        keptFont(m_overlayFonts, managerSerial(), chinese, m_textFont, static_cast<float>(info.size) * info.scale, m_fontStyle);
    if (!font)
        return;
    m_overlayBrush->SetColor(info.colour);
    Gdiplus::RectF measured;
    g.MeasureString(info.second, info.second.GetLength(), TextFont(font, info.second), Gdiplus::PointF(0, 0), &measured);
    const float cx = static_cast<float>(info.anchor.x - m_rect.left);
    const float cy = static_cast<float>(info.anchor.y - m_rect.top);
    info.box.left = static_cast<LONG>(cx - measured.Width * 0.5f - kOverlayMargin);
    info.box.top = static_cast<LONG>(cy - measured.Height - kOverlayMargin);
    info.box.right = static_cast<LONG>(cx + measured.Width * 0.5f + kOverlayMargin);
    info.box.bottom = static_cast<LONG>(cy + measured.Height + kOverlayMargin);
    const int lineHeight = (info.box.bottom - info.box.top) / 2;
    Gdiplus::RectF line(static_cast<Gdiplus::REAL>(info.box.left), static_cast<Gdiplus::REAL>(info.box.top),
                        static_cast<Gdiplus::REAL>(info.box.right - info.box.left),
                        static_cast<Gdiplus::REAL>(lineHeight));
    g.DrawString(info.first, info.first.GetLength(), TextFont(font, info.first),
                 line, m_centredFormat.get(), m_overlayBrush.get());
    line.Y += lineHeight * 0.5f + kOverlayLineGap;
    g.DrawString(info.second, info.second.GetLength(), TextFont(font, info.second),
                 line, m_centredFormat.get(), m_overlayBrush.get());
    if (selected) {
        m_overlayPen->SetColor(Gdiplus::Color(kSelectedOverlayColour));
        m_overlayPen->SetWidth(kSelectedOverlayPen);
        g.DrawRectangle(m_overlayPen.get(), line);
    }
}

void LEDModeCtrl::DrawOverlayer(Gdiplus::Graphics& g, int&, int&)
{
    if (m_ledMode != LEDModeFile)
        return;
    g.SetTextRenderingHint(m_textRenderingHint);
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    ScopedLock lock(m_stateLock);
    m_overlayPen->SetWidth(1);
    for (size_t i = 0; i < m_sensorSlots.size(); ++i)
        drawSensorSlot(g, m_sensorSlots[i], static_cast<int>(i) == m_hoveredSlot);
}

void LEDModeCtrl::drawSensorSlot(Gdiplus::Graphics& g, const SensorLayerInfo& slot, bool hovered)
{
    RECT r = slot.frame;
    ::OffsetRect(&r, -m_rect.left, -m_rect.top);
    m_overlayPen->SetColor(hovered ? Manager::GetSelectColor() : Gdiplus::Color(kSlotFrameColour));
    g.DrawRectangle(m_overlayPen.get(), Gdiplus::Rect(r.left, r.top, r.right - r.left, r.bottom - r.top));
    // An empty slot (item 0) has no texts: only its frame shows.
    CString label;
    CString value;
    GetSoftwareInfo(slot.item, label, value);
    const float scale = Manager::GetScaleValue();
    const float labelSize = static_cast<float>(static_cast<int>(scale * kSlotLabelSize));
    const float valueSize = static_cast<float>(static_cast<int>(scale * kSlotValueSize));
    const Gdiplus::Font* labelFont =
        keptFont(m_slotLabelFonts, managerSerial(), hasChineseGlyphs(label), kBrandFontFace, labelSize, Gdiplus::FontStyleRegular);
    const Gdiplus::Font* valueFont =
        keptFont(m_slotValueFonts, managerSerial(), hasChineseGlyphs(value), kBrandFontFace, valueSize, Gdiplus::FontStyleRegular);
    if (!labelFont || !valueFont)
        return;
    Gdiplus::RectF box = rectF(r);
    box.Height *= 0.5f;
    m_overlayBrush->SetColor(m_titleColor);
    g.DrawString(label, label.GetLength(), TextFont(labelFont, label), box, nullptr, m_overlayBrush.get());
    box.Y += box.Height;
    m_overlayBrush->SetColor(m_textColor);
    g.DrawString(value, value.GetLength(), TextFont(valueFont, value), box, nullptr, m_overlayBrush.get());
}

} // namespace KOVA
