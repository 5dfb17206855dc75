// The 18-LED fan preview: its ring geometry, its buffer places, its toggles and their clicks.
// Locks as in FanPreview: a click takes the list lock, then the layer lock, and reports with
// both let go.
#include "devices/cooling/CFan2DevCtrl.h"

#include "controls/basic/LookPainting.h"
#include "framework/AppPaths.h"
#include "framework/MRender.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {

constexpr int kLeds = 18;
constexpr int kSlotsPerChannel = 5;

// The ring clockwise from just right of the top centre, in pixels of the 146-pixel cell.
const POINT kDots[kLeds] = {
    { 78, 7 },    { 99, 15 },  { 116, 29 }, { 127, 48 }, { 131, 69 }, { 127, 90 },
    { 116, 109 }, { 99, 123 }, { 78, 131 }, { 58, 131 }, { 37, 123 }, { 20, 109 },
    { 9, 90 },    { 5, 69 },   { 9, 48 },   { 20, 29 },  { 37, 15 },  { 58, 7 },
};

// The sweep of Infinite over ten fans: down the odd rings, back up the even ones.
const std::array<unsigned char, 180> kInfinitePath = [] {
    std::array<unsigned char, 180> path {};
    size_t i = 0;
    auto add = [&](int value) { path[i++] = static_cast<unsigned char>(value); };
    for (int f = 0; f < 10; ++f) {
        const int b = 18 * f;
        if (f % 2 == 0) {
            for (int k = 13; k <= 17; ++k)
                add(b + k);
            for (int k = 0; k <= 3; ++k)
                add(b + k);
        } else {
            for (int k = 13; k >= 5; --k)
                add(b + k);
        }
    }
    for (int f = 9; f >= 0; --f) {
        const int b = 18 * f;
        if (f % 2 == 1) {
            for (int k = 4; k >= 0; --k)
                add(b + k);
            for (int k = 17; k >= 14; --k)
                add(b + k);
        } else {
            for (int k = 4; k <= 12; ++k)
                add(b + k);
        }
    }
    return path;
}();

const POINT kDreamPoints[kLeds] = {
    { 6, 0 }, { 7, 1 }, { 8, 2 }, { 9, 3 }, { 8, 4 }, { 7, 5 }, { 6, 6 }, { 5, 7 }, { 4, 8 },
    { 3, 8 }, { 3, 7 }, { 3, 6 }, { 3, 5 }, { 3, 4 }, { 2, 3 }, { 3, 2 }, { 4, 1 }, { 5, 0 },
};

const FanPreviewKind kKind = {
    kLeds, 146, 32, 54, 45, 170, kInfinitePath.data(), static_cast<int>(kInfinitePath.size()), kDreamPoints,
    10, 17, 8, false,
};

struct DirectionWords {
    int language;
    const wchar_t* forward;
    const wchar_t* reverse;
};
const DirectionWords kWords[] = {
    { 1028, L"正轉", L"反轉" }, { 1031, L"Vor", L"Rück" },      { 1033, L"Fwd", L"Rev" },
    { 1034, L"Directa", L"Inversa" }, { 1036, L"Av", L"Arr" }, { 1043, L"Vrw", L"Ter" },
    { 1045, L"Prawo", L"Lewo" },
};
const DirectionWords kOtherWords { 0, L"正转", L"反转" };

const DirectionWords& wordsFor(int language)
{
    for (const DirectionWords& words : kWords)
        if (words.language == language)
            return words;
    return kOtherWords;
}

const Gdiplus::Color kWhite(0xFFFFFFFF);
const Gdiplus::Color kGrey(0xFF878787);

} // namespace

CFan2DevCtrl::CFan2DevCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : FanPreview(parent, id, rect, visible, enabled, kKind)
{
}

CFan2DevCtrl::~CFan2DevCtrl()
{
    StopFastTimer();
}

int CFan2DevCtrl::SetRotateImage(const wchar_t* file)
{
    Gdiplus::Image* image = file ? MRender::LoadImageFromFile(GetSkinPath() + file) : nullptr;
    if (!image)
        return 0;
    ScopedLock lock(m_listLock);
    m_toggleImage->reset(image);
    m_toggleFrameWidth = static_cast<int>(image->GetWidth()) / 2;
    m_toggleFrameHeight = static_cast<int>(image->GetHeight());
    StillChanged();
    return 1;
}

void CFan2DevCtrl::AddFan(int type, int channel, int fanInChannel, int column, int row, int ledOffset, int direction)
{
    AddFanRecord(type, channel, fanInChannel, column, row, ledOffset, direction);
}

void CFan2DevCtrl::GetFanColorData(int slot, unsigned char* out)
{
    CopyBlock(slot, out);
}

int CFan2DevCtrl::GetLEDRealPosIndex(int ringPos) const
{
    return ringPos >= 0 && ringPos < kLeds ? (28 - ringPos) % kLeds : 0;
}

void CFan2DevCtrl::GetLEDItemRect(int, int ringPos, int x, int y, double zoom, CRect& out)
{
    if (ringPos >= 0 && ringPos < kLeds) {
        out.left = x + Scaled(kDots[ringPos].x, zoom);
        out.top = y + Scaled(kDots[ringPos].y, zoom);
    }
    const int size = Scaled(10, zoom);
    out.right = out.left + size;
    out.bottom = out.top + size;
}

int CFan2DevCtrl::BufferPlace(const FAN_LED_INFO& led, int) const
{
    const int slot = led.channel * kSlotsPerChannel + led.fanInChannel;
    if (slot < 0 || slot >= kKind.slotCount)
        return -1;
    return (slot * kLeds + GetLEDRealPosIndex(led.ringPos)) * 3;
}

void CFan2DevCtrl::PlaceButtons(int cell, double zoom)
{
    const float s = Manager::GetScaleValue();
    const int half = cell / 2;
    const int top = cell + 2;
    const int width = static_cast<int>(static_cast<int>(m_toggleFrameWidth * s) * zoom);
    const int bottom = static_cast<int>(static_cast<int>(m_toggleFrameHeight * s) * zoom + top);
    const int below = static_cast<int>(36 * s);
    m_buttonA = CRect(half - width, top, half, bottom);
    m_buttonB = CRect(half, top, half + width, bottom);
    m_buttonA.OffsetRect(0, below);
    m_buttonB.OffsetRect(0, below);
}

void CFan2DevCtrl::drawToggle(Gdiplus::Graphics& graphics, const CRect& place, bool on, const CString& word,
                              const Gdiplus::Font* font) const
{
    if (Gdiplus::Image* strip = m_toggleImage->get())
        MRender::DrawImagePart(graphics, strip, place, on ? m_toggleFrameWidth : 0, 0, m_toggleFrameWidth,
                               m_toggleFrameHeight);
    const Gdiplus::SolidBrush brush(on ? kWhite : kGrey);
    DrawTextLine(graphics, word, font,
                 Gdiplus::RectF(static_cast<float>(place.left), static_cast<float>(place.top),
                                static_cast<float>(place.Width()), static_cast<float>(place.Height())),
                 brush, m_textRenderingHint);
}

void CFan2DevCtrl::DrawStill(Gdiplus::Graphics& graphics, float scale, float zoomCap)
{
    const auto large = BoldFont(static_cast<int>(20 * scale) * zoomCap);
    const auto small = BoldFont(static_cast<int>(16 * scale) * zoomCap);
    const DirectionWords& words = wordsFor(Manager::GetLanguage());
    const Gdiplus::SolidBrush grey(kGrey);
    const Gdiplus::SolidBrush white(kWhite);
    const int strip = Scaled(36, zoomCap);
    for (const auto& fan : *m_fans) {
        const CRect cell(fan->rect);
        Gdiplus::Image* picture = fan->type == 2 || fan->type == 4 ? m_fanImage->get() : m_image;
        if (picture)
            MRender::DrawImagePart(graphics, picture, cell, 0, 0, static_cast<int>(picture->GetWidth()),
                                   static_cast<int>(picture->GetHeight()));
        graphics.FillRectangle(&grey, cell.left, cell.bottom, cell.Width(), strip);
        CString label;
        label.Format(L"RGB# %d", fan->index + 1);
        DrawTextLine(graphics, label, large.get(),
                     Gdiplus::RectF(static_cast<float>(cell.left), static_cast<float>(cell.bottom),
                                    static_cast<float>(cell.Width()), static_cast<float>(strip)),
                     white, m_textRenderingHint);
        CRect forward(m_buttonA);
        CRect reverse(m_buttonB);
        forward.OffsetRect(cell.left, cell.top);
        reverse.OffsetRect(cell.left, cell.top);
        drawToggle(graphics, forward, fan->direction == 0, words.forward, small.get());
        drawToggle(graphics, reverse, fan->direction == 1, words.reverse, small.get());
    }
}

void CFan2DevCtrl::OnFanClick(CPoint pt)
{
    int note = -1;
    {
        ScopedLock list(m_listLock);
        ScopedLock layers(m_layerLock);
        // The cell grown downward takes in the label strip and the toggles.
        const int hit = FanAt(pt, static_cast<int>(66 * Manager::GetScaleValue()));
        if (hit >= 0) {
            FAN_INFO& fan = *(*m_fans)[static_cast<size_t>(hit)];
            m_selectedFan = hit;
            fan.flag = !fan.flag;
            const CPoint local(pt.x - m_rect.left - fan.rect.left, pt.y - m_rect.top - fan.rect.top);
            if (m_buttonA.PtInRect(local))
                note = 1;
            else if (m_buttonB.PtInRect(local))
                note = 2;
            if (note > 0) {
                fan.direction = note - 1;
                StillChanged();
            }
        }
        RefreshLedPosistion();
    }
    FinishClick(note);
}

} // namespace KOVA
