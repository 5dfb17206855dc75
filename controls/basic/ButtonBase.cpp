// GUI thread only, except where a derived class says otherwise (the countdown button's tick).
#include "controls/basic/ButtonBase.h"

#include "controls/basic/LookPainting.h"
#include "framework/AppPaths.h"
#include "framework/FontCache.h"
#include "framework/MRender.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
// One line, trailing blanks measured: the layout every caption of the family uses.
constexpr INT kCaptionFlags = Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces;

Gdiplus::RectF toRectF(const CRect& rect)
{
    return Gdiplus::RectF(static_cast<Gdiplus::REAL>(rect.left), static_cast<Gdiplus::REAL>(rect.top),
                          static_cast<Gdiplus::REAL>(rect.Width()), static_cast<Gdiplus::REAL>(rect.Height()));
}
} // namespace

// ---- icon

int ButtonIcon::Load(const wchar_t* file, int frames)
{
    if (frames < 1)
        return 0;
    m_image->reset(MRender::LoadImageFromFile(GetSkinPath() + (file ? file : L"")));
    if (*m_image && (*m_image)->GetLastStatus() != Gdiplus::Ok)
        m_image->reset();
    if (!*m_image) {
        m_frameWidth = m_frameHeight = 0;
        return 0;
    }
    m_frameCount = frames;
    m_frameWidth = static_cast<int>((*m_image)->GetWidth() / static_cast<UINT>(frames));
    m_frameHeight = static_cast<int>((*m_image)->GetHeight());
    return 1;
}

void ButtonIcon::DrawFrame(Gdiplus::Graphics& graphics, int frame, int x, int y) const
{
    if (!*m_image)
        return;
    MRender::DrawImagePart(graphics, m_image->get(), CRect(x, y, x + m_frameWidth, y + m_frameHeight),
                           frame * m_frameWidth, 0, m_frameWidth, m_frameHeight);
}

// ---- the machine

const ButtonBase::StateTable ButtonBase::kPlainStates { { { 0, 1, 2, 3 }, { 0, 1, 2, 3 } } };

ButtonBase::ButtonBase(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MControlFont(parent, id, rect, title, visible, enabled, 1), m_look(enabled ? LookNormal : LookDisabled)
{
}

void ButtonBase::PointCursor(bool inside) const
{
    static const HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
    static const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
    if (m_handCursor)
        ::SetCursor(inside ? hand : arrow);
}

ButtonBase::Step ButtonBase::TrackPointer(CPoint pt)
{
    if (!m_enabled || (m_held && m_pressHoldsLook))
        return {};
    const bool inside = Contains(pt);
    if (inside || m_pointerInside)
        PointCursor(inside);
    m_pointerInside = inside;
    m_look = inside ? LookHover : LookNormal;
    return { true, false };
}

ButtonBase::Step ButtonBase::BeginPress(CPoint pt)
{
    if (!m_enabled || !Contains(pt))
        return {};
    PointCursor(true);
    m_held = 1;
    m_look = LookPressed;
    return { true, false };
}

ButtonBase::Step ButtonBase::EndPress(CPoint pt)
{
    const bool held = m_held != 0;
    m_held = 0;
    if (!m_enabled)
        return {};
    const bool inside = Contains(pt);
    m_look = inside ? LookHover : LookNormal;
    return { true, inside && held };
}

int ButtonBase::Conclude(int stateBefore, int flag, UINT code, UINT wParam, LONG lParam)
{
    const int moved = GetState() != stateBefore ? 1 : 0;
    if (moved)
        Repaint(flag);
    if (code)
        SendMessageW(code, wParam, lParam);
    return moved;
}

void ButtonBase::Repaint(int flag)
{
    UpdateControl(m_singleLook ? 1 : flag, 0);
}

void ButtonBase::HoldLook(bool held)
{
    m_look = held ? LookPressed : LookNormal;
    m_held = held ? 1 : 0;
}

void ButtonBase::SetControlEnabled(int enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    m_held = 0;
    m_look = enabled ? LookNormal : LookDisabled;
    Repaint(0);
}

int ButtonBase::OnControlMouseMove(UINT, CPoint pt)
{
    const int before = GetState();
    TrackPointer(pt);
    return Conclude(before, 0);
}

int ButtonBase::OnControlLButtonDown(UINT, CPoint pt)
{
    const int before = GetState();
    if (!BeginPress(pt).taken)
        return 0;
    return Conclude(before, 0, 1);
}

int ButtonBase::OnControlLButtonUp(UINT, CPoint pt)
{
    return Release(pt, 0, [] {});
}

// ---- the strip of looks

CRect ButtonBase::FrameRect(int frame) const
{
    const int width = m_rect.Width();
    return CRect(frame * width, 0, (frame + 1) * width, m_rect.Height());
}

bool ButtonBase::BeginStrip(HDC& dc, int frameCount)
{
    return BeginCachedLooks(*this, m_memPicture, dc, frameCount);
}

void ButtonBase::ShowFrame(HDC& dc, int frame)
{
    ShowCachedLook(*this, m_memPicture, dc, frame);
}

void ButtonBase::StretchFrame(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const CRect& dst, int frame,
                              int count)
{
    if (!image || count < 1 || frame < 0 || frame >= count)
        return;
    const auto frameWidth = static_cast<int>(image->GetWidth() / static_cast<UINT>(count));
    MRender::DrawImagePart(graphics, image, dst, frame * frameWidth, 0, frameWidth, static_cast<int>(image->GetHeight()));
}

// ---- caption

std::unique_ptr<Gdiplus::Font> ButtonBase::MakeFont(float size, int style)
{
    const std::unique_ptr<Gdiplus::FontFamily> family(GetFontFamily(m_textFont));
    if (!family)
        return nullptr;
    std::unique_ptr<Gdiplus::Font> font(new Gdiplus::Font(family.get(), size, style, Gdiplus::UnitPixel));
    if (font->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    return font;
}

void ButtonBase::SetCaptionFormat(Gdiplus::StringFormat& format, Gdiplus::StringAlignment horizontal,
                                  Gdiplus::StringAlignment vertical)
{
    format.SetFormatFlags(kCaptionFlags);
    format.SetAlignment(horizontal);
    format.SetLineAlignment(vertical);
}

void ButtonBase::DrawCaption(Gdiplus::Graphics& graphics, const CString& text, const Gdiplus::Font* font,
                             const CRect& layout, Gdiplus::Color colour, Gdiplus::TextRenderingHint hint)
{
    Gdiplus::StringFormat format;
    SetCaptionFormat(format, Gdiplus::StringAlignmentCenter, Gdiplus::StringAlignmentCenter);
    DrawText(graphics, text, font, layout, colour, hint, format);
}

void ButtonBase::DrawText(Gdiplus::Graphics& graphics, const CString& text, const Gdiplus::Font* font,
                          const CRect& layout, Gdiplus::Color colour, Gdiplus::TextRenderingHint hint,
                          const Gdiplus::StringFormat& format)
{
    if (text.IsEmpty() || !font)
        return;
    const Gdiplus::SolidBrush brush(colour);
    graphics.SetTextRenderingHint(hint);
    graphics.DrawString(text, text.GetLength(), TextFont(font, text), toRectF(layout), &format, &brush);
}

CRect ButtonBase::PressedShift(CRect layout, int frame)
{
    if (frame == LookPressed)
        layout.OffsetRect(1, 1);
    return layout;
}

void ButtonBase::DrawStateCaption(Gdiplus::Graphics& graphics, int frame, const CString& text,
                                  const Gdiplus::Font* font, const CRect& layout)
{
    DrawCaption(graphics, text, font, PressedShift(layout, frame), FrameColour(frame, m_textColor),
                m_textRenderingHint);
}

void ButtonBase::DrawSkinFrame(Gdiplus::Graphics& graphics, int frame, int corner)
{
    MRender::DrawImageStripFrame(graphics, m_image, FrameRect(frame), frame, m_imageCount, corner);
}

Gdiplus::Color ButtonBase::FrameColour(int frame, Gdiplus::Color colour)
{
    return frame == LookDisabled ? Gdiplus::Color(kDisabledGrey) : colour;
}

// ---- balloon tip

void ButtonBase::ShowTitleTip(POINT anchor, AIRBLADDER_MODE mode)
{
    if (!m_manager)
        return;
    ::ClientToScreen(m_manager->GetPaintWnd(), &anchor);
    if (!m_manager->GetAirBladder())
        MakeTipWindow(anchor, mode);
    m_manager->SetAirBladderMsg(m_title, anchor, AirBladderTypeButton, mode);
    m_manager->ShowAirBladder(SW_SHOWNOACTIVATE, static_cast<int>(m_uControlID));
}

void ButtonBase::MakeTipWindow(POINT anchor, AIRBLADDER_MODE mode)
{
    // The tip window is made visible and takes the activation: the window the user works in
    // gets it back, or the press that follows would take it and the tip, losing the focus,
    // would hide itself. The empty text makes the real one a change, which arms its hide timer.
    const HWND active = ::GetActiveWindow();
    m_manager->SetAirBladderMsg(L"", anchor, AirBladderTypeButton, mode);
    if (active && ::GetActiveWindow() != active)
        ::SetActiveWindow(active);
}

void ButtonBase::HideTitleTip()
{
    if (m_manager)
        m_manager->ShowAirBladder(SW_HIDE, static_cast<int>(m_uControlID));
}

// ---- groups

std::vector<MControl*>* SiblingsOf(const MControl& control)
{
    MObject* parent = control.GetParantObject();
    if (!parent)
        return nullptr;
    // Controls placed straight in a window (a dialog, a pop-up) are the paint manager's.
    if (auto* parentControl = dynamic_cast<MControl*>(parent))
        return &parentControl->GetControls();
    PaintManager* manager = control.GetManager();
    return manager ? &manager->GetControls() : nullptr;
}

} // namespace KOVA
