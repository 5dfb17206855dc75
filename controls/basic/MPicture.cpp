// GUI thread only.
#include "controls/basic/MPicture.h"

#include <algorithm>

#include "controls/basic/LookPainting.h"
#include "framework/AppPaths.h"
#include "framework/Manager.h"
#include "framework/MRender.h"

namespace KOVA {

namespace {
// A resource that does not decode still gives an image, carrying the error.
std::unique_ptr<Gdiplus::Image> usable(Gdiplus::Image* loaded)
{
    std::unique_ptr<Gdiplus::Image> image(loaded);
    if (image && image->GetLastStatus() != Gdiplus::Ok)
        image.reset();
    return image;
}
} // namespace

std::unique_ptr<Gdiplus::Image> ShownPicture::LoadFile(const wchar_t* file)
{
    return usable(MRender::LoadImageFromFile(GetSkinPath() + (file ? file : L"")));
}

std::unique_ptr<Gdiplus::Image> ShownPicture::LoadResource(UINT resourceId, CString type)
{
    return usable(MRender::LoadImageFromIDResource(resourceId, type, Manager::GetInstance()));
}

// ---- the owned picture

int ShownPicture::Load(const wchar_t* file, int frames)
{
    if (frames < 1)
        return 0;
    m_strip->image.reset();
    take(LoadFile(file), frames);
    return Image() ? 1 : 0;
}

int ShownPicture::Load(UINT resourceId, CString type, int frames)
{
    if (frames < 1)
        return 0;
    auto image = LoadResource(resourceId, type);
    if (!image)
        return 0;
    take(std::move(image), frames);
    return 1;
}

void ShownPicture::take(std::unique_ptr<Gdiplus::Image> image, int frames)
{
    Strip& strip = *m_strip;
    strip.image = std::move(image);
    strip.frameCount = frames;
    strip.frameWidth = strip.image ? static_cast<int>(strip.image->GetWidth() / static_cast<UINT>(frames)) : 0;
    strip.frameHeight = strip.image ? static_cast<int>(strip.image->GetHeight()) : 0;
}

int ShownPicture::SetShowMode(enumShowMode mode, int value)
{
    if (mode == m_mode && !(mode == ShowModeNineGrid && value != m_corner))
        return 0;
    m_mode = mode;
    m_corner = value;
    return 1;
}

void ShownPicture::SetNineGridMargins(int left, int top, int right, int bottom)
{
    m_marginLeft = left;
    m_marginTop = top;
    m_marginRight = right;
    m_marginBottom = bottom;
    m_mode = ShowModeNineGridMID;
}

void ShownPicture::Draw(Gdiplus::Graphics& graphics, const CRect& dst, UINT hAlign, UINT vAlign) const
{
    Gdiplus::Image* image = Image();
    const int frameWidth = FrameWidth();
    const int frameHeight = FrameHeight();
    // An empty frame has nothing to draw, and tiling it would never advance.
    if (!image || frameWidth <= 0 || frameHeight <= 0)
        return;
    switch (m_mode) {
    case ShowModeNormal:
        drawNatural(graphics, dst, hAlign, vAlign);
        break;
    case ShowModeTile:
        drawTiles(graphics, dst);
        break;
    case ShowModeStretch:
        Stretch(graphics, image, dst, CRect(0, 0, frameWidth, frameHeight));
        break;
    case ShowModeNineGrid:
        MRender::DrawImageFrame(graphics, image, dst, 0, 0, frameWidth, frameHeight, m_corner);
        break;
    case ShowModeNineGridMID:
        MRender::DrawImageFrameMID(graphics, image, dst, 0, 0, frameWidth, frameHeight, m_marginLeft, m_marginTop,
                                   m_marginRight, m_marginBottom);
        break;
    case ShowModeCustomRect:
        Stretch(graphics, image, dst, m_customRect);
        break;
    }
}

void ShownPicture::drawNatural(Gdiplus::Graphics& graphics, const CRect& dst, UINT hAlign, UINT vAlign) const
{
    const int frameWidth = FrameWidth();
    const int frameHeight = FrameHeight();
    const int spareX = dst.Width() - frameWidth;
    const int spareY = dst.Height() - frameHeight;
    const int x = hAlign == DT_LEFT ? 0 : hAlign == DT_RIGHT ? spareX : spareX / 2;
    const int y = vAlign == DT_TOP ? 0 : vAlign == DT_BOTTOM ? spareY : spareY / 2;
    const CPoint corner(dst.left + x, dst.top + y);
    MRender::DrawImagePart(graphics, Image(), CRect(corner, CSize(frameWidth, frameHeight)), 0, 0, frameWidth, frameHeight);
}

void ShownPicture::drawTiles(Gdiplus::Graphics& graphics, const CRect& dst) const
{
    // One fill instead of a draw per tile: the brush repeats the first frame from the corner
    // and the fill cuts the last column and row where the control ends.
    Gdiplus::TextureBrush tiles(Image(), Gdiplus::WrapModeTile, 0, 0, FrameWidth(), FrameHeight());
    tiles.TranslateTransform(static_cast<Gdiplus::REAL>(dst.left), static_cast<Gdiplus::REAL>(dst.top));
    graphics.FillRectangle(&tiles, dst.left, dst.top, dst.Width(), dst.Height());
}

void ShownPicture::Stretch(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const CRect& dst, const CRect& src)
{
    if (!image || src.Width() <= 0 || src.Height() <= 0)
        return;
    MRender::DrawImagePart(graphics, image, dst, src.left, src.top, src.Width(), src.Height());
}

// ---- MPicture

MPicture::MPicture(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_imageCount = 1;
}

void MPicture::DrawControl(HDC& dc, CRect)
{
    DrawCachedLooks(*this, m_memPicture, dc, 1, 0, [&](Gdiplus::Graphics& graphics) {
        m_picture.Draw(graphics, CRect(0, 0, m_rect.Width(), m_rect.Height()), m_hAlign, m_vAlign);
    });
}

int MPicture::SetImage(const wchar_t* path, int count)
{
    if (count < 1)
        return 0;
    const int loaded = m_picture.Load(path, count);
    UpdateControl(1, 0);
    return loaded;
}

int MPicture::SetImage(UINT resourceId, CString type, int count)
{
    if (!m_picture.Load(resourceId, type, count))
        return 0;
    UpdateControl(1, 0);
    return 1;
}

int MPicture::SetShowMode(enumShowMode mode, int value)
{
    if (!m_picture.SetShowMode(mode, value))
        return 0;
    UpdateControl(1, 0);
    return 1;
}

int MPicture::SetShowModeMID(int left, int top, int right, int bottom)
{
    m_picture.SetNineGridMargins(left, top, right, bottom);
    UpdateControl(1, 0);
    return 1;
}

} // namespace KOVA
