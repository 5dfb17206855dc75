// The 8-LED fan preview: its two ring layouts, its channel blocks, its rotate buttons and
// their clicks. Locks as in FanPreview: a click takes the list lock, then the layer lock, and
// reports with both let go.
#include "devices/cooling/CFanDevCtrl.h"

#include "controls/basic/LookPainting.h"
#include "framework/AppPaths.h"
#include "framework/MRender.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {

constexpr int kLeds = 8;
constexpr int kFansPerChannel = 4;

// The ring in pixels of the 246-pixel cell: fan types 2 and 4, and every other type.
const POINT kDotsWide[kLeds] = {
    { 108, 51 }, { 151, 70 }, { 168, 110 }, { 151, 150 }, { 108, 168 }, { 66, 150 }, { 50, 110 }, { 66, 70 },
};
const POINT kDotsNarrow[kLeds] = {
    { 109, 72 }, { 136, 83 }, { 147, 110 }, { 136, 136 }, { 109, 146 }, { 83, 136 }, { 73, 110 }, { 84, 83 },
};

const std::array<unsigned char, 80> kInfinitePath = [] {
    std::array<unsigned char, 80> path {};
    size_t i = 0;
    auto add = [&](int b, std::initializer_list<int> steps) {
        for (int step : steps)
            path[i++] = static_cast<unsigned char>(b + step);
    };
    for (int f = 0; f < 10; ++f)
        add(8 * f, f % 2 == 0 ? std::initializer_list<int> { 7, 0, 1, 2 } : std::initializer_list<int> { 6, 5, 4, 3 });
    for (int f = 9; f >= 0; --f)
        add(8 * f, f % 2 == 1 ? std::initializer_list<int> { 2, 1, 0, 7 } : std::initializer_list<int> { 3, 4, 5, 6 });
    return path;
}();

const POINT kDreamPoints[kLeds] = { { 3, 0 }, { 3, 1 }, { 1, 2 }, { 1, 3 }, { 3, 4 }, { 3, 3 }, { 3, 2 }, { 1, 1 } };

const FanPreviewKind kKind = {
    kLeds, 246, 10, 96, 49, 382, kInfinitePath.data(), static_cast<int>(kInfinitePath.size()), kDreamPoints,
    4, 8, 4, true,
};

bool placedByRing(int mode)
{
    return mode == 21 || mode == 10 || mode == 23;
}

} // namespace

std::unique_ptr<Gdiplus::Image> CFanDevCtrl::Strip::decode(const wchar_t* file)
{
    return std::unique_ptr<Gdiplus::Image>(file ? MRender::LoadImageFromFile(GetSkinPath() + file) : nullptr);
}

void CFanDevCtrl::Strip::take(std::unique_ptr<Gdiplus::Image> loaded)
{
    frameWidth = static_cast<int>(loaded->GetWidth()) / 2;
    frameHeight = static_cast<int>(loaded->GetHeight());
    image = std::move(loaded);
}

CFanDevCtrl::CFanDevCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : FanPreview(parent, id, rect, visible, enabled, kKind)
{
}

CFanDevCtrl::~CFanDevCtrl()
{
    StopFastTimer();
}

int CFanDevCtrl::SetRotateLeftImage(const wchar_t* file)
{
    return setStrip(m_left, file);
}

int CFanDevCtrl::SetRotateRightImage(const wchar_t* file)
{
    return setStrip(m_right, file);
}

int CFanDevCtrl::setStrip(Strip& strip, const wchar_t* file)
{
    // Decoded before the lock is taken: the tick waiting on it would wait out the file.
    std::unique_ptr<Gdiplus::Image> loaded = Strip::decode(file);
    if (!loaded)
        return 0;
    ScopedLock lock(m_listLock);
    strip.take(std::move(loaded));
    StillChanged();
    return 1;
}

void CFanDevCtrl::AddFan(int type, int channel, int fanInChannel, int column, int row, int ledOffset)
{
    AddFanRecord(type, channel, fanInChannel, column, row, ledOffset, 0);
}

void CFanDevCtrl::GetFanColorData(int channel, unsigned char* out)
{
    CopyBlock(channel, out);
}

void CFanDevCtrl::GetLEDItemRect(int type, int ringPos, int x, int y, double zoom, CRect& out)
{
    if (ringPos >= 0 && ringPos < kLeds) {
        const POINT dot = type == 2 || type == 4 ? kDotsWide[ringPos] : kDotsNarrow[ringPos];
        out.left = x + Scaled(dot.x, zoom);
        out.top = y + Scaled(dot.y, zoom);
    }
    const int size = Scaled(26, zoom);
    out.right = out.left + size;
    out.bottom = out.top + size;
}

int CFanDevCtrl::BufferPlace(const FAN_LED_INFO& led, int layerMode) const
{
    const int block = led.channel * kFansPerChannel + led.fanInChannel;
    if (block < 0 || block >= kKind.slotCount * kFansPerChannel)
        return -1;
    const int index = placedByRing(layerMode) ? led.ringPos : led.ledNumber;
    return (block * kLeds + index) * 3;
}

bool CFanDevCtrl::TicksNow()
{
    return m_run && m_visible;
}

void CFanDevCtrl::PlaceButtons(int cell, double zoom)
{
    const float s = Manager::GetScaleValue();
    auto scaled = [s, zoom](int pixels) { return static_cast<int>(static_cast<int>(pixels * s) * zoom); };
    m_buttonA = CRect(2, static_cast<int>(cell - 2 - static_cast<int>(m_left.frameHeight * s) * zoom),
                      static_cast<int>(static_cast<int>(m_left.frameWidth * s) * zoom + 2), cell - 2);
    m_buttonB = CRect(cell - 2 - scaled(m_right.frameWidth), cell - 2 - scaled(m_right.frameHeight), cell - 2, cell - 2);
}

void CFanDevCtrl::drawButton(Gdiplus::Graphics& graphics, const Strip& strip, const CRect& place,
                             const CRect& cell) const
{
    if (!strip.image)
        return;
    CRect at(place);
    at.OffsetRect(cell.left, cell.top);
    MRender::DrawImagePart(graphics, strip.image.get(), at, strip.frameWidth, 0, strip.frameWidth, strip.frameHeight);
}

void CFanDevCtrl::DrawStill(Gdiplus::Graphics& graphics, float scale, float zoomCap)
{
    const auto font = BoldFont(static_cast<int>(30 * scale) * zoomCap);
    const Gdiplus::SolidBrush grey(Gdiplus::Color(0xFF878787));
    const Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
    const int strip = Scaled(36, zoomCap);
    const int hover = HoverFan();
    for (const auto& fan : *m_fans) {
        const CRect cell(fan->rect);
        Gdiplus::Image* picture = fan->type == 2 || fan->type == 4 ? m_fanImage->get() : m_image;
        if (picture)
            MRender::DrawImagePart(graphics, picture, cell, 0, 0, static_cast<int>(picture->GetWidth()),
                                   static_cast<int>(picture->GetHeight()));
        if (fan->fanInChannel == 0) {
            graphics.FillRectangle(&grey, cell.left, cell.bottom, cell.Width(), strip);
            CString label;
            label.Format(L"ARGB %d", fan->channel + 1);
            DrawTextLine(graphics, label, font.get(),
                         Gdiplus::RectF(static_cast<float>(cell.left), static_cast<float>(cell.bottom),
                                        static_cast<float>(cell.Width()), static_cast<float>(strip)),
                         white, m_textRenderingHint);
        }
        if (fan->index == hover) {
            drawButton(graphics, m_left, m_buttonA, cell);
            drawButton(graphics, m_right, m_buttonB, cell);
        }
    }
}

void CFanDevCtrl::OnFanClick(CPoint pt)
{
    {
        ScopedLock list(m_listLock);
        ScopedLock layers(m_layerLock);
        for (int hit = FanAt(pt, 0); hit >= 0; hit = FanAt(pt, 0, static_cast<size_t>(hit) + 1)) {
            FAN_INFO& fan = *(*m_fans)[static_cast<size_t>(hit)];
            fan.flag = !fan.flag;
            const CPoint local(pt.x - m_rect.left - fan.rect.left, pt.y - m_rect.top - fan.rect.top);
            if (m_buttonA.PtInRect(local))
                SetFanOffset(fan, fan.ledOffset + 1);
            else if (m_buttonB.PtInRect(local))
                SetFanOffset(fan, fan.ledOffset - 1);
        }
        RefreshLedPosistion();
    }
    FinishClick(0);
}

} // namespace KOVA
