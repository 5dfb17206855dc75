// GUI thread only.
#include "controls/basic/MenuItem.h"


#include "controls/basic/MenuWnd.h"
#include "framework/MRender.h"

namespace KOVA {

namespace {
constexpr DWORD kRowText = 0xFFFFFFFF;
constexpr DWORD kRowTextDisabled = 0xFE808080;
// Icons and arrows at the right end keep this far from the edge.
constexpr int kRightMargin = 6;
constexpr int kCheckableFrames = 6;
} // namespace

// A plain row shows its pressed look while checked; a checkable row shows hover while held.
const ButtonBase::StateTable MenuItem::kRowStates { { { 0, 1, 2, 3 }, { 2, 1, 2, 3 } } };
const ButtonBase::StateTable MenuItem::kCheckableRowStates { { { 0, 1, 1, 3 }, { 2, 6, 6, 7 } } };

MenuItem::MenuItem(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : ButtonBase(parent, id, rect, title, visible, enabled)
{
    m_states = &kRowStates;
    m_imageCount = 3;
    m_vAlign = DT_VCENTER;
}

MenuItem::~MenuItem()
{
    // The sub-menu deletes itself with its window: only the handle is safe to look at.
    if (m_popupWindow && ::IsWindow(m_popupWindow))
        ::PostMessageW(m_popupWindow, WM_CLOSE, 0, 0);
}

const wchar_t* MenuItem::GetClassNameW() const { return L"MenuItem"; }

void MenuItem::SetCheckable(int checkable)
{
    m_checkable = checkable;
    m_states = checkable ? &kCheckableRowStates : &kRowStates;
}

void MenuItem::SetPopupMenu(MenuWnd* menu)
{
    m_popupMenu = menu;
    m_popupWindow = menu ? menu->GetSafeHwnd() : nullptr;
}

int MenuItem::OnControlLButtonDown(UINT, CPoint pt)
{
    const int before = GetState();
    const int checkBefore = m_check;
    if (!BeginPress(pt).taken)
        return 0;
    if (m_checkable)
        return Conclude(before, 0, 7, static_cast<UINT>(checkBefore), 1);
    return Conclude(before, 0);
}

int MenuItem::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_checkable)
        return Release(pt, 0, [] {});
    const int before = GetState();
    if (EndPress(pt).click)
        m_check = m_groupName.IsEmpty() ? !m_check : 1;
    return Conclude(before, 0);
}

int MenuItem::SetCheck(int check)
{
    if (!m_checkable)
        return 0;
    if (m_enabled) {
        const int before = GetState();
        m_check = check;
        SetLook(LookNormal);
        Conclude(before, 0);
    }
    return m_check;
}

void MenuItem::SetControlCheck(int check)
{
    m_check = check;
    SetLook(m_enabled ? LookNormal : LookDisabled);
    Repaint(0);
}

// ---- drawing

int MenuItem::FrameCount() const
{
    if (m_separator)
        return 1;
    return m_checkable ? kCheckableFrames : 4;
}

// States 6 and 7 of a checkable row are its fifth and sixth frames; a separator has one.
int MenuItem::ShownFrame() const
{
    if (m_separator)
        return 0;
    const int state = GetState();
    return state >= kCheckableFrames ? state - 2 : state;
}

int MenuItem::IconFrameWidth() const
{
    if (m_separator)
        return m_imageWidth;
    if (m_checkable)
        return m_imageWidth / kCheckableFrames;
    if (m_popup && !m_arrowImage)
        return m_imageWidth / 2;
    return GetFrameWidth();
}

void MenuItem::DrawBand(Gdiplus::Graphics& graphics, const CRect& frameRect) const
{
    const CRect band(frameRect.left + m_frameInset, 0, frameRect.right - m_frameInset, frameRect.Height());
    if (m_highlightImage) {
        MRender::DrawImagePart(graphics, m_highlightImage, band, 0, 0, m_highlightWidth, m_highlightHeight);
        return;
    }
    const Gdiplus::SolidBrush fill(m_highlightColour);
    graphics.FillRectangle(&fill, band.left, band.top, band.Width(), band.Height());
}

void MenuItem::DrawIcon(Gdiplus::Graphics& graphics, int frame, const CRect& frameRect) const
{
    const int width = IconFrameWidth();
    const int height = m_imageHeight;
    const int top = (frameRect.Height() - height) / 2;
    if (m_separator) {
        Gdiplus::TextureBrush line(m_image);
        graphics.FillRectangle(&line, frameRect.left, top, frameRect.Width() - 2 * m_frameInset, height);
        return;
    }
    int source = frame;
    int left = frameRect.left + (m_textInset - width) / 2;
    if (m_popup && !m_arrowImage) {
        source = frame % 2;
        left = frameRect.right - kRightMargin - width;
    } else if (!m_checkable && width > 0 && frame >= m_imageWidth / width) {
        source = 0;
    }
    MRender::DrawImagePart(graphics, m_image, CRect(left, top, left + width, top + height), source * width, 0, width,
                           height);
}

void MenuItem::DrawArrow(Gdiplus::Graphics& graphics, int frame, const CRect& frameRect) const
{
    const int left = frameRect.right - kRightMargin - m_arrowWidth;
    const int top = (frameRect.Height() - m_arrowHeight) / 2;
    MRender::DrawImagePart(graphics, m_arrowImage, CRect(left, top, left + m_arrowWidth, top + m_arrowHeight),
                           (frame % 2) * m_arrowWidth, 0, m_arrowWidth, m_arrowHeight);
}

void MenuItem::DrawCaptionOf(Gdiplus::Graphics& graphics, int frame, const CRect& frameRect,
                             const Gdiplus::Font* font) const
{
    const bool disabled = frame == LookDisabled || (m_checkable && frame == kCheckableFrames - 1);
    Gdiplus::StringFormat format;
    SetCaptionFormat(format, Gdiplus::StringAlignmentNear,
                     m_vAlign == DT_VCENTER ? Gdiplus::StringAlignmentCenter
                                            : (m_vAlign == DT_BOTTOM ? Gdiplus::StringAlignmentFar
                                                                     : Gdiplus::StringAlignmentNear));
    const CRect layout(frameRect.left + m_textInset, 0, frameRect.right, frameRect.Height());
    DrawText(graphics, m_title, font, layout, Gdiplus::Color(disabled ? kRowTextDisabled : kRowText),
             Gdiplus::TextRenderingHintClearTypeGridFit, format);
}

void MenuItem::DrawControl(HDC& dc, CRect)
{
    const int frames = FrameCount();
    DrawStrip(dc, frames, ShownFrame(), [&](Gdiplus::Graphics& graphics) {
        const auto font = MakeFont(static_cast<float>(m_fontSize), m_fontStyle);
        for (int frame = 0; frame < frames; ++frame) {
            const CRect frameRect = FrameRect(frame);
            const bool band = !m_separator && (frame == LookHover || (m_checkable ? frame == 4 : frame == LookPressed));
            if (band)
                DrawBand(graphics, frameRect);
            if (m_image)
                DrawIcon(graphics, frame, frameRect);
            if (m_popup && m_arrowImage)
                DrawArrow(graphics, frame, frameRect);
            DrawCaptionOf(graphics, frame, frameRect, font.get());
        }
    });
}

} // namespace KOVA
