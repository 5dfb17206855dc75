// GUI thread only.
#include "controls/basic/CPhotoFrame.h"

#include "framework/MRender.h"

namespace KOVA {

namespace {
constexpr int kFrameCorner = 12;
// The strip frame every look of the frame image shows.
constexpr int kShownStripFrame = 1;
constexpr int kLooks = 4;
} // namespace

CPhotoFrame::CPhotoFrame(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : ButtonBase(parent, id, rect, L"", visible, enabled)
{
    m_imageCount = 1;
}

int CPhotoFrame::SetImage(const wchar_t* path, int count)
{
    return m_frame.Load(path, count);
}

int CPhotoFrame::SetImage(UINT resourceId, CString type, int count)
{
    return m_frame.Load(resourceId, type, count);
}

int CPhotoFrame::SetPhotoFrame(const wchar_t* path, int count)
{
    return m_photo.Load(path, count);
}

int CPhotoFrame::SetPhotoFrame(UINT resourceId, CString type, int count)
{
    return m_photo.Load(resourceId, type, count);
}

int CPhotoFrame::SetShowMode(enumShowMode mode, int value)
{
    if (!m_photo.SetShowMode(mode, value))
        return 0;
    Repaint(1);
    return 1;
}

int CPhotoFrame::SetShowModeMID(int left, int top, int right, int bottom)
{
    m_photo.SetNineGridMargins(left, top, right, bottom);
    Repaint(1);
    return 1;
}

void CPhotoFrame::DrawControl(HDC& dc, CRect)
{
    // Every look is the same framed photo (the disabled one too): the state only decides
    // which copy is shown. Rendered once, then copied.
    DrawStrip(dc, kLooks, GetState(), [&](Gdiplus::Graphics& graphics) {
        const CRect first = FrameRect(0);
        m_photo.Draw(graphics, first, m_hAlign, m_vAlign);
        MRender::DrawImageStripFrame(graphics, m_frame.Image(), first, kShownStripFrame, m_frame.FrameCount(),
                                     kFrameCorner);
        // GDI+ output must have landed before GDI copies it.
        graphics.Flush(Gdiplus::FlushIntentionSync);
        for (int look = 1; look < kLooks; ++look)
            MRender::BitBlt(m_memPicture.dc(), FrameRect(look).left, 0, first.Width(), first.Height(),
                            m_memPicture.dc(), 0, 0);
    });
}

} // namespace KOVA
