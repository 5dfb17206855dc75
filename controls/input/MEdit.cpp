// GUI thread only: the control and its edit window live on the thread of their window.
#include "controls/input/MEdit.h"

#include "controls/basic/LookPainting.h"
#include "framework/AppPaths.h"
#include "framework/MRender.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
constexpr int kFrames = 4;
constexpr int kDisabledFrame = 3;
constexpr int kTextInset = 6;
constexpr int kMultiLineInset = 5;
constexpr int kIconGap = 6;
constexpr int kIconRightInset = 9;
constexpr UINT kSingleLineFormat = DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS;
constexpr UINT kMultiLineFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_VCENTER;

enum Code : UINT {
    kPressed = 1,
    kClicked = 2,
    kIconPressed = 9,
    kTextChanged = 26,
    kEditEnded = 29,
    kEditShown = 30,
    kIconReleased = 31,
};
} // namespace

// ---- the edit window's rows

MEdit* CEditWnd::owner() const
{
    return static_cast<MEdit*>(m_owner);
}

void CEditWnd::Init(MEdit* owner)
{
    CRect rect = owner->editRect();
    const int size = owner->GetFontWidth();
    if (rect.IsRectEmpty()) {
        rect = owner->GetRect();
        rect.DeflateRect(kTextInset, 0);
        if (owner->m_multiLine) {
            rect.DeflateRect(0, kTextInset);
        } else {
            rect.top += (rect.Height() - size - 2) / 2 + 1;
            rect.bottom = rect.top + 2 + size;
        }
    }
    UINT align = 0;
    UINT vertical = 0;
    owner->GetAlignment(align, vertical);
    SetBrushColors(owner->m_editBackColor, owner->GetEditTextColor());
    Setup setup;
    setup.rect = rect;
    setup.font = owner->GetDefaultFont();
    setup.limit = owner->m_limit;
    setup.align = align;
    setup.multiLine = owner->m_multiLine != 0;
    setup.password = owner->m_password != 0;
    setup.passwordChar = owner->m_passwordChar;
    setup.enabled = owner->IsEnabled() == 1;
    setup.readOnly = owner->m_readOnly == 1;
    setup.numberOnly = owner->m_numberOnly != 0;
    setup.text = owner->m_title;
    Open(owner, setup);
}

void CEditWnd::OnEditChanged()
{
    const CString text = GetText();
    if (text == owner()->m_title)
        return;
    owner()->SetEditText(text);
    NotifyOwner(kTextChanged, 0, 0);
    RepaintOwner();
}

void CEditWnd::OnEditKillFocus()
{
    NotifyOwner(kEditEnded, 0, 0);
}

void CEditWnd::OnEditReturn()
{
    NotifyOwner(kEditEnded, 0, 0);
}

bool CEditWnd::AcceptsChar() const
{
    return !m_owner || owner()->m_charMessages;
}

void CEditWnd::ForgetOwner()
{
    owner()->SetEditWindow(nullptr);
}

// ---- the control

MEdit::MEdit(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1), m_tip(title ? title : L"")
{
    m_textColor = Gdiplus::Color(0xFE050505);
    m_tabStop = 1;
}

MEdit::~MEdit()
{
    NativeEditWindow::Dispose(*m_editWindow);
}

const wchar_t* MEdit::GetClassNameW() const { return L"MEdit"; }

void MEdit::SetEditText(const wchar_t* text)
{
    if (m_title != text)
        m_title = text;
}

CString MEdit::GetEditText()
{
    CEditWnd* window = *m_editWindow;
    return window && window->IsShown() ? window->GetText() : m_title;
}

void MEdit::SetControlTitle(const wchar_t* title)
{
    if (m_title == title)
        return;
    m_title = title;
    if (CEditWnd* window = *m_editWindow)
        window->SetWindowTextW(title);
    UpdateControl(1, 0);
}

CString MEdit::GetControlTitle()
{
    // Ending the edit reports code 29, on which a host may remove this field: called outside
    // any dispatch, the call is one, so the field outlives the copy it returns.
    DispatchScope call;
    HideEdit();
    return m_title;
}

// ---- font

void MEdit::SetEditFont()
{
    const int style = m_fontStyle;
    SetEditFont(m_textFont, m_fontSize, style & Gdiplus::FontStyleBold, style & Gdiplus::FontStyleUnderline,
                 style & Gdiplus::FontStyleItalic);
}

void MEdit::SetEditFont(const wchar_t* face, int size, int bold, int underline, int italic)
{
    const int style = (bold ? Gdiplus::FontStyleBold : 0) | (underline ? Gdiplus::FontStyleUnderline : 0)
        | (italic ? Gdiplus::FontStyleItalic : 0);
    OwnedFont font = CreateEditFontOfSize(face, size, style);
    // The edit window must not keep drawing with the font about to be deleted.
    if (CEditWnd* window = *m_editWindow)
        window->SendMessageW(WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), 1);
    *m_editFont = std::move(font);
}

HFONT MEdit::GetDefaultFont()
{
    if (!*m_editFont)
        *m_editFont = CreateEditFontOfSize(m_textFont, m_fontSize, m_fontStyle);
    return m_editFont->get();
}

// ---- geometry

CRect MEdit::CalcTextRect(int recompute)
{
    if (!m_textRect.IsRectEmpty() && !recompute)
        return m_textRect;
    CRect rect = m_rect;
    rect.DeflateRect(kTextInset, 0);
    if (m_multiLine) {
        rect.DeflateRect(0, kMultiLineInset);
    } else {
        rect.top += (m_rect.Height() - m_fontSize) / 2;
        rect.bottom = rect.top + m_fontSize;
    }
    if (*m_icon)
        rect.right -= kIconGap + m_iconFrameWidth;
    m_textRect = rect;
    return rect;
}

CRect MEdit::editRect()
{
    return m_customTextRect ? m_textRect : CalcTextRect(1);
}

void MEdit::SetTextRect(CRect rect)
{
    m_textRect = rect;
    m_customTextRect = 1;
}

CRect MEdit::GetTextRect()
{
    return editRect();
}

int MEdit::SetIconImage(const wchar_t* file, int frames)
{
    m_icon->reset();
    // A strip of no frames would have frames of no width (and a division by zero).
    if (!file || frames < 1)
        return 0;
    CString path = GetSkinPath();
    path += file;
    m_icon->reset(MRender::LoadImageFromFile(path));
    if (!*m_icon)
        return 0;
    m_iconFrames = frames;
    m_iconFrameWidth = static_cast<int>((*m_icon)->GetWidth()) / frames;
    m_iconHeight = static_cast<int>((*m_icon)->GetHeight());
    placeIcon();
    return 1;
}

void MEdit::placeIcon()
{
    if (!*m_icon || m_rect.IsRectEmpty())
        return;
    m_iconRect.left = m_rect.right - m_iconFrameWidth - kIconRightInset;
    m_iconRect.right = m_rect.right - kIconRightInset;
    m_iconRect.top = m_rect.top + (m_rect.Height() - m_iconHeight) / 2;
    m_iconRect.bottom = m_iconRect.top + m_iconHeight;
}

void MEdit::SetControlRect(CRect rect)
{
    if (rect == m_rect)
        return;
    m_rect = rect;
    placeIcon();
}

bool MEdit::onIcon(CPoint pt) const
{
    return *m_icon && m_iconRect.PtInRect(pt);
}

// ---- drawing

void MEdit::drawTexts(HDC dc, int frameWidth)
{
    const bool empty = m_title.IsEmpty();
    if (empty && m_tip.IsEmpty())
        return;
    CString text = empty ? m_tip : m_title;
    if (!empty && m_password)
        text = CString(m_passwordChar, m_title.GetLength());
    UINT format = m_multiLine ? kMultiLineFormat : kSingleLineFormat;
    if (!m_multiLine && m_hAlign == DT_CENTER)
        format |= DT_CENTER;
    const COLORREF color = empty ? kTipColor : GetEditTextColor();
    CRect textRect = CalcTextRect(0);
    textRect.OffsetRect(-m_rect.left, -m_rect.top);
    ::SetBkMode(dc, TRANSPARENT);
    for (int frame = 0; frame < kFrames; ++frame) {
        CRect place = textRect;
        place.OffsetRect(frame * frameWidth, 0);
        MRender::DrawTextW(dc, place, text, frame == kDisabledFrame ? kTipColor : color, GetDefaultFont(), format);
    }
}

void MEdit::DrawControl(HDC& dc, CRect)
{
    const int width = m_rect.Width();
    if (BeginCachedLooks(*this, m_memPicture, dc, kFrames)) {
        if (m_image) {
            Gdiplus::Graphics graphics(m_memPicture.dc());
            for (int frame = 0; frame < kFrames; ++frame)
                MRender::DrawImageFrame(graphics, m_image, CRect(frame * width, 0, (frame + 1) * width, m_rect.Height()),
                                        frame * GetFrameWidth(), 0, GetFrameWidth(), m_imageHeight, m_backCorner);
        }
        drawTexts(m_memPicture.dc(), width);
    }
    ShowCachedLook(*this, m_memPicture, dc, m_state);
    if (*m_icon) {
        Gdiplus::Graphics graphics(dc);
        MRender::DrawImagePart(graphics, m_icon->get(), CRect(m_iconRect.TopLeft(), CSize(m_iconFrameWidth, m_iconHeight)),
                               m_iconState * m_iconFrameWidth, 0, m_iconFrameWidth, m_iconHeight);
    }
}

// ---- editing

void MEdit::ShowEdit()
{
    if (m_readOnly || !m_enabled)
        return;
    CEditWnd* window = *m_editWindow;
    // A press gives the focus and then lands on the text: the edit shown for the one is the
    // edit of the other, told once.
    if (window && window->IsShown() && m_focused) {
        window->SetFocus();
        return;
    }
    if (!window) {
        window = new CEditWnd;
        *m_editWindow = window;
        window->Init(this);
    } else {
        window->PlaceOver(editRect());
    }
    window->Reveal(m_title);
    m_focused = 1;
    SendMessageW(kEditShown, 0, 0);
}

void MEdit::HideEdit()
{
    m_focused = 0;
    CEditWnd* window = *m_editWindow;
    if (!window || !window->IsShown())
        return;
    const CString text = window->GetText();
    if (text != m_title) {
        m_title = text;
        UpdateControl(1, 0);
    }
    window->Conceal();
    SendMessageW(kEditEnded, 0, 0);
}

int MEdit::IsEditFocused() const
{
    CEditWnd* window = *m_editWindow;
    return window && window->IsShown() && ::GetFocus() == window->GetSafeHwnd() ? 1 : 0;
}

// ---- input

int MEdit::changeStates(int state, int iconState)
{
    if (state == m_state && iconState == m_iconState)
        return 0;
    m_state = state;
    m_iconState = iconState;
    UpdateControl(0, 0);
    return 1;
}

int MEdit::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled || m_state == 2)
        return 0;
    if (!m_rect.PtInRect(pt))
        return changeStates(0, 0);
    return changeStates(1, onIcon(pt) ? 1 : 0);
}

int MEdit::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled || !m_rect.PtInRect(pt))
        return 0;
    if (onIcon(pt)) {
        const int changed = changeStates(m_state, 2);
        HideEdit();
        SendMessageW(kIconPressed, 0, 0);
        return changed;
    }
    const int changed = changeStates(2, m_iconState);
    ShowEdit();
    SendMessageW(kPressed, 0, 0);
    return changed;
}

int MEdit::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (!m_rect.PtInRect(pt))
        return changeStates(0, 0);
    // A press on the text released on the icon ends the edit and still completes the click.
    const int wasEditing = m_state == 2;
    const bool icon = onIcon(pt);
    int changed = 0;
    if (icon) {
        changed = changeStates(m_state, 1);
        HideEdit();
        SendMessageW(kIconReleased, 0, 0);
    }
    changed |= changeStates(1, icon ? 1 : 0);
    if (wasEditing)
        SendMessageW(kClicked, 0, 0);
    return changed;
}

int MEdit::OnControlKeyDown(UINT key, UINT, UINT modifiers)
{
    if (!m_enabled)
        return 0;
    return AnswerFieldKey(*this, m_focused, key, modifiers, m_shortcutKey, m_shortcutModifiers);
}

void MEdit::SetControlEnabled(int enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    m_state = enabled ? 0 : kDisabledFrame;
    UpdateControl(0, 0);
}

int MEdit::SetControlFocus(int focus)
{
    if (!m_enabled)
        return 0;
    // The edit's reports may remove this field: it stays until the call is done.
    DispatchScope call;
    const int before = m_state;
    if (focus) {
        m_state = 2;
        ShowEdit();
    } else {
        m_state = 0;
        HideEdit();
    }
    if (m_state == before)
        return 0;
    UpdateControl(1, 0);
    return 1;
}

} // namespace KOVA
