// The keyboard view's drawing. GUI thread; the key lock is held while the keys are drawn.
//
// The memory picture is rebuilt (background, picture, keys) only when the framework marks the
// view stale. In mode 102 a rebuild also keeps the picture over the background, and every key's
// outline is kept until a key is added, removed or moved; a frame step (a repaint request that
// leaves the view's picture valid) only copies the picture back and blends each key's outline
// at the key's alpha: no path is stroked per frame. Mode 100's keys are kept drawn over nothing
// and laid over the background at each rebuild, drawn again only when a key, a label or the
// font changed.
#include "devices/peripherals/KeyboardCtrl.h"

#include <algorithm>
#include <cstdlib>

#include "controls/basic/LookPainting.h"
#include "framework/FontCache.h"
#include "framework/MRender.h"

namespace KOVA {

namespace {
constexpr float kLabelSize = 10.0f;
constexpr float kCornerRadius = 12.0f;
constexpr float kOutlineWidth = 2.0f;
constexpr Gdiplus::ARGB kKeyFill = 0xFF007ACC;
constexpr Gdiplus::ARGB kCustomOutline = 0xFFCA5100;
constexpr Gdiplus::ARGB kLightCyan = 0xFF00FFFF;
constexpr Gdiplus::ARGB kBandColour = 0xFF4CFF29;
constexpr float kBandPenWidth = 2.0f;
// An icon under a label sits in the bottom 20 pixels of the key.
constexpr int kIconStrip = 20;

Gdiplus::ARGB opaqueOf(COLORREF colour, BYTE alpha)
{
    return (static_cast<Gdiplus::ARGB>(alpha) << 24) | (static_cast<Gdiplus::ARGB>(GetRValue(colour)) << 16) |
        (static_cast<Gdiplus::ARGB>(GetGValue(colour)) << 8) | GetBValue(colour);
}

Gdiplus::RectF boxOf(const CRect& rect)
{
    return Gdiplus::RectF(static_cast<float>(rect.left), static_cast<float>(rect.top),
                          static_cast<float>(rect.Width()), static_cast<float>(rect.Height()));
}
} // namespace

void KeyboardCtrl::DrawControl(HDC& dc, CRect)
{
    *m_labelFont = m_mode == ModeNone ? ItemFont(static_cast<int>(kLabelSize * m_scale)) : nullptr;
    {
        ScopedLock lock(m_itemsLock);
        if (BeginCachedLooks(*this, m_memPicture, dc, 1)) {
            m_composedFrame = -1;
            Gdiplus::Graphics graphics(m_memPicture.dc());
            graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
            graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
            drawMode(graphics);
        }
        if (m_mode == ModeLight && *m_picture && m_composedFrame != m_frame)
            composeLightFrame();
    }
    ShowCachedLook(*this, m_memPicture, dc, 0);
    drawBand(dc);
}

void KeyboardCtrl::drawMode(Gdiplus::Graphics& graphics)
{
    int width = m_rect.Width();
    int height = m_rect.Height();
    switch (m_mode) {
    case ModeNone:
        DrawNoneMode(graphics, width, height);
        break;
    case ModeCustom:
        DrawCustomMode(graphics, width, height);
        break;
    case ModeLight:
        DrawLightMode(graphics, width, height);
        break;
    case ModeUserLight:
        DrawUserLightMode(graphics, width, height);
        break;
    case ModeMusic:
        DrawMusicMode(graphics, width, height);
        break;
    default:
        break;
    }
}

bool KeyboardCtrl::drawPicture(Gdiplus::Graphics& graphics)
{
    Gdiplus::Image* picture = m_picture->get();
    if (!picture)
        return false;
    graphics.DrawImage(picture, Gdiplus::Rect(m_pictureX, m_pictureY, m_pictureWidth, m_pictureHeight), 0, 0,
                       m_pictureWidth, m_pictureHeight, Gdiplus::UnitPixel);
    return true;
}

void KeyboardCtrl::outlineKeys(Gdiplus::Graphics& graphics,
                               Gdiplus::ARGB (KeyboardCtrl::*colourOf)(const KEY_INFO&, int) const)
{
    for (int i = 0; const KEY_INFO* key = keyAt(i); ++i) {
        const Gdiplus::ARGB colour = (this->*colourOf)(*key, i);
        if ((colour >> 24) == 0)
            continue;
        const CRect place = GetRealRect(key->rect);
        MRender::DrawRoundRectange(graphics, static_cast<float>(place.left), static_cast<float>(place.top),
                                   static_cast<float>(place.Width()), static_cast<float>(place.Height()),
                                   kCornerRadius, Gdiplus::Color(colour), kOutlineWidth, false, Gdiplus::Color());
    }
}

Gdiplus::ARGB KeyboardCtrl::customColour(const KEY_INFO& key, int index) const
{
    return key.check || index == m_hover || index == m_selected ? kCustomOutline : 0;
}

Gdiplus::ARGB KeyboardCtrl::userColour(const KEY_INFO& key, int) const
{
    return opaqueOf(key.color, 255);
}

Gdiplus::ARGB KeyboardCtrl::musicColour(const KEY_INFO& key, int) const
{
    return opaqueOf(key.color, static_cast<BYTE>(m_musicBrightness & 0xFF));
}

bool KeyboardCtrl::FlatKey::operator==(const FlatKey& other) const
{
    return place == other.place && name == other.name && icon == other.icon;
}

bool KeyboardCtrl::FlatLookSource::operator==(const FlatLookSource& other) const
{
    return keys == other.keys && face == other.face && size == other.size && style == other.style
        && font == other.font;
}

KeyboardCtrl::FlatLookSource KeyboardCtrl::flatLookSource() const
{
    FlatLookSource source;
    for (int i = 0; const KEY_INFO* key = keyAt(i); ++i)
        source.keys.push_back(FlatKey { GetRealRect(key->rect), key->name, key->icon });
    source.face = m_textFont;
    source.size = static_cast<int>(kLabelSize * m_scale);
    source.style = m_fontStyle;
    source.font = *m_labelFont != nullptr;
    return source;
}

void KeyboardCtrl::drawFlatKeys(Gdiplus::Graphics& graphics)
{
    Gdiplus::SolidBrush fill { Gdiplus::Color(kKeyFill) };
    for (int i = 0; KEY_INFO* key = keyAt(i); ++i) {
        CRect place = GetRealRect(key->rect);
        place.DeflateRect(1, 1);
        graphics.FillRectangle(&fill, boxOf(place));
        if (*m_labelFont)
            DrawTextAndIcon(graphics, **m_labelFont, key, place);
    }
}

void KeyboardCtrl::DrawNoneMode(Gdiplus::Graphics& graphics, int& width, int& height)
{
    const bool remade = LookLayer::BlendsAlike() && m_flatLook->Ensure(width, height);
    if (!m_flatLook->dc()) {
        drawFlatKeys(graphics);
        return;
    }
    const CRect whole(0, 0, width, height);
    FlatLookSource source = flatLookSource();
    if (remade || !(source == *m_flatLookSource)) {
        m_flatLook->Clear(whole);
        {
            Gdiplus::Graphics flat(m_flatLook->dc());
            flat.SetTextRenderingHint(graphics.GetTextRenderingHint());
            flat.SetSmoothingMode(graphics.GetSmoothingMode());
            drawFlatKeys(flat);
        }
        m_flatLook->Seal(whole);
        *m_flatLookSource = std::move(source);
    }
    graphics.Flush(Gdiplus::FlushIntentionSync);
    HDC drawn = graphics.GetHDC();
    m_flatLook->BlendOnto(drawn, 0, 0, whole);
    graphics.ReleaseHDC(drawn);
}

void KeyboardCtrl::DrawTextAndIcon(Gdiplus::Graphics& graphics, const Gdiplus::Font& font, KEY_INFO* key,
                                   const CRect& rect)
{
    const bool icon = key->icon != nullptr;
    if (!icon || !key->name.IsEmpty()) {
        CRect label = rect;
        if (icon)
            label.bottom -= kIconStrip;
        CRect shadow = label;
        shadow.OffsetRect(1, 1);
        graphics.DrawString(key->name, key->name.GetLength(), TextFont(&font, key->name),
                            boxOf(shadow), m_format->get(),
                            m_shadowBrush->get());
        graphics.DrawString(key->name, key->name.GetLength(), TextFont(&font, key->name), boxOf(label), m_format->get(),
                            m_labelBrush->get());
    }
    if (!icon)
        return;
    const int x = rect.left + (rect.Width() - key->iconWidth) / 2;
    const int y = key->name.IsEmpty() ? rect.top + (rect.Height() - key->iconHeight) / 2 : rect.bottom - kIconStrip;
    graphics.DrawImage(key->icon, x, y, key->iconWidth, key->iconHeight);
}

void KeyboardCtrl::DrawCustomMode(Gdiplus::Graphics& graphics, int&, int&)
{
    if (drawPicture(graphics))
        outlineKeys(graphics, &KeyboardCtrl::customColour);
}

void KeyboardCtrl::DrawUserLightMode(Gdiplus::Graphics& graphics, int, int)
{
    if (drawPicture(graphics))
        outlineKeys(graphics, &KeyboardCtrl::userColour);
}

void KeyboardCtrl::DrawMusicMode(Gdiplus::Graphics& graphics, int, int)
{
    if (drawPicture(graphics))
        outlineKeys(graphics, &KeyboardCtrl::musicColour);
}

void KeyboardCtrl::DrawLightMode(Gdiplus::Graphics& graphics, int width, int height)
{
    if (!drawPicture(graphics))
        return;
    // Kept as the start of every frame until the next rebuild; the outlines go on per frame.
    graphics.Flush(Gdiplus::FlushIntentionSync);
    HDC drawn = graphics.GetHDC();
    m_outlines->KeepBase(drawn, width, height);
    graphics.ReleaseHDC(drawn);
}

void KeyboardCtrl::composeLightFrame()
{
    // Stroked again only when a key was added, removed or moved (or the picture scaled).
    std::vector<CRect> places;
    for (int i = 0; const KEY_INFO* key = keyAt(i); ++i)
        places.push_back(GetRealRect(key->rect));
    if (!m_outlines->Holds(m_rect.Width(), m_rect.Height(), places)) {
        m_outlines->Begin(m_rect.Width(), m_rect.Height(), kLightCyan);
        for (const CRect& place : places)
            m_outlines->Add(place);
        m_outlines->End();
    }
    if (m_outlines->Compose(m_memPicture.dc(), [this](int key) { return lightAlpha(key); }))
        m_composedFrame = m_frame;
}

void KeyboardCtrl::drawBand(HDC dc) const
{
    if (!m_bandActive || m_mode != ModeCustom)
        return;
    Gdiplus::Graphics graphics(dc);
    Gdiplus::Pen pen(Gdiplus::Color(kBandColour), kBandPenWidth);
    pen.SetDashStyle(Gdiplus::DashStyleDot);
    graphics.DrawRectangle(&pen, static_cast<INT>(std::min(m_bandStart.x, m_bandEnd.x)),
                           static_cast<INT>(std::min(m_bandStart.y, m_bandEnd.y)),
                           static_cast<INT>(std::abs(m_bandStart.x - m_bandEnd.x)),
                           static_cast<INT>(std::abs(m_bandStart.y - m_bandEnd.y)));
}

} // namespace KOVA
