// GUI thread only.
#include "controls/basic/MButton.h"

#include "framework/MRender.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
constexpr DWORD kToggleGrey = 0xFF878787;
constexpr DWORD kWhite = 0xFFFFFFFF;
constexpr DWORD kMButton2Highlight = 0xFFBA32F9;

// Frames 1 and 2 (hover, pressed) of a two-look button use the second look.
int twoLookIndex(int frame)
{
    return (frame == ButtonBase::LookHover || frame == ButtonBase::LookPressed) ? 1 : 0;
}
} // namespace

// ---- MButton

MButton::MButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : ButtonBase(parent, id, rect, title, visible, enabled)
{
    m_hAlign = DT_CENTER;
    m_handCursor = true;
}

int MButton::SetIconImage(const wchar_t* file, int frames)
{
    return m_icon.Load(file, frames);
}

void MButton::DrawControl(HDC& dc, CRect)
{
    DrawStrip(dc, 4, GetState(), [&](Gdiplus::Graphics& graphics) {
        const auto font = MakeFont(static_cast<float>(static_cast<int>(m_fontSize * Manager::GetScaleValue())),
                                   m_fontStyle);
        for (int frame = 0; frame < 4; ++frame) {
            CRect layout = m_textRect.IsRectEmpty() ? CRect(0, 0, m_rect.Width(), m_rect.Height()) : m_textRect;
            layout.OffsetRect(FrameRect(frame).left, 0);
            DrawSkinFrame(graphics, frame, m_frameSize);
            DrawStateCaption(graphics, frame, m_title, font.get(), layout);
        }
    });
}

// ---- CImageButton

CImageButton::CImageButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MButton(parent, id, rect, title, visible, enabled)
{
}

void CImageButton::DrawControl(HDC& dc, CRect)
{
    DrawStrip(dc, 4, GetState(), [&](Gdiplus::Graphics& graphics) {
        for (int frame = 0; frame < 4; ++frame) {
            const CRect frameRect = FrameRect(frame);
            StretchFrame(graphics, m_image, frameRect, frame, m_imageCount);
            m_icon.DrawFrame(graphics, 0, frameRect.left + 2 + (frameRect.Width() - m_icon.FrameWidth()) / 2,
                             (frameRect.Height() - m_icon.FrameHeight()) / 2 - 4);
        }
    });
}

int CImageButton::OnControlMouseMove(UINT keys, CPoint pt)
{
    if (!MButton::OnControlMouseMove(keys, pt))
        return 0;
    if (m_bladderMode == AirBladderModeNone || m_title.IsEmpty() || !m_manager)
        return 1;
    if (GetState() == LookHover)
        ShowBalloon();
    else
        HideTitleTip();
    return 1;
}

void CImageButton::ShowBalloon()
{
    POINT anchor { 0, m_rect.top + m_rect.Height() / 2 };
    if (m_bladderMode == AirBladderModeRight)
        anchor.x = m_rect.right;
    else if (m_bladderMode == AirBladderModeLeft)
        anchor.x = m_rect.left;
    ShowTitleTip(anchor, m_bladderMode);
}

// ---- CImageButton2

CImageButton2::CImageButton2(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MButton(parent, id, rect, title, visible, enabled)
{
}

void CImageButton2::DrawControl(HDC& dc, CRect)
{
    DrawStrip(dc, 4, GetState(), [&](Gdiplus::Graphics& graphics) {
        for (int frame = 0; frame < 4; ++frame)
            StretchFrame(graphics, m_image, FrameRect(frame), frame, m_imageCount);
    });
}

// ---- MButton2

MButton2::MButton2(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MButton(parent, id, rect, title, visible, enabled)
{
}

int MButton2::SetIconImage(const wchar_t* file, int frames)
{
    return frames < 1 ? 0 : m_icon.Load(file, 2);
}

void MButton2::DrawControl(HDC& dc, CRect)
{
    DrawStrip(dc, 4, GetState(), [&](Gdiplus::Graphics& graphics) {
        const auto font = MakeFont(static_cast<float>(m_fontSize), m_fontStyle);
        for (int frame = 0; frame < 4; ++frame) {
            const CRect frameRect = FrameRect(frame);
            const int look = twoLookIndex(frame);
            MRender::DrawImageStripFrame(graphics, m_image, frameRect, look, m_imageCount, m_frameSize);
            m_icon.DrawFrame(graphics, look, frameRect.left + (frameRect.Width() - m_icon.FrameWidth()) / 2,
                             (250 - m_icon.FrameHeight()) / 2);
            const CRect layout(frameRect.left, frameRect.Height() - 60, frameRect.right, frameRect.Height() - 30);
            DrawCaption(graphics, m_title, font.get(), layout,
                        look ? Gdiplus::Color(kMButton2Highlight) : m_textColor, m_textRenderingHint);
        }
    });
}

// ---- MButton3

MButton3::MButton3(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : ButtonBase(parent, id, rect, title, visible, enabled)
{
    m_hAlign = DT_CENTER;
    m_handCursor = true;
}

int MButton3::OnControlLButtonDown(UINT keys, CPoint pt)
{
    if (!m_enabled || !Contains(pt))
        return 0;
    m_toggle = m_toggle ? 0 : 1;
    return ButtonBase::OnControlLButtonDown(keys, pt);
}

void MButton3::DrawControl(HDC& dc, CRect)
{
    const int shown = m_toggle ? GetState() : static_cast<int>(LookPressed);
    DrawStrip(dc, 4, shown, [&](Gdiplus::Graphics& graphics) {
        const auto font = MakeFont(static_cast<float>(m_fontSize), m_fontStyle);
        for (int frame = 0; frame < 4; ++frame) {
            const CRect frameRect = FrameRect(frame);
            const bool light = twoLookIndex(frame) != 0;
            const Gdiplus::SolidBrush fill(Gdiplus::Color(light ? kWhite : kToggleGrey));
            graphics.FillRectangle(&fill, frameRect.left, frameRect.top, frameRect.Width(), frameRect.Height());
            DrawCaption(graphics, m_title, font.get(), frameRect, Gdiplus::Color(light ? kToggleGrey : kWhite),
                        m_textRenderingHint);
        }
    });
}

} // namespace KOVA
