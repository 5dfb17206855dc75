// GUI thread only.
#include "controls/basic/MSpinButton.h"

#include <cwchar>

#include "controls/basic/LookPainting.h"
#include "framework/MRender.h"

namespace KOVA {

namespace {
constexpr UINT kCodeClicked = 2;
constexpr UINT kCodeSpinChanged = 0x1C;
constexpr DWORD kBoxText = 0xFF050505;
constexpr DWORD kFocusBlue = 0xFE3399FF;
constexpr DWORD kDisabledGrey = 0xFF808080;
constexpr int kLooks = 4;
constexpr int kDisabledLook = 3;
constexpr int kPressedLook = 2;
constexpr int kFrameBorder = 6;
// The buttons keep this far from the right edge.
constexpr int kButtonInset = 4;
// Ten characters of digits pass what an int holds.
constexpr int kLongestEntry = 9;

bool isDigitKey(UINT key, int& digit)
{
    if (key >= '0' && key <= '9')
        digit = static_cast<int>(key - '0');
    else if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
        digit = static_cast<int>(key - VK_NUMPAD0);
    else
        return false;
    return true;
}
} // namespace

MSpinButton::MSpinButton(MObject* parent, UINT id, CRect rect, int visible, int)
    : MPanel(parent, id, rect, visible)
{
    SetTextColor(Gdiplus::Color(kBoxText));
}

// ---- the buttons

void MSpinButton::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    if (!*m_upButton)
        *m_upButton = MakeButton(kUpButtonId, L"img_spin_up.png");
    if (!*m_downButton)
        *m_downButton = MakeButton(kDownButtonId, L"img_spin_down.png");
    SetControlRect(m_rect);
}

MControlFont* MSpinButton::MakeButton(UINT id, const wchar_t* image)
{
    auto* button = dynamic_cast<MControlFont*>(CreateControl(L"CImageButton", id, CRect(), L"", 1, 1));
    if (button)
        button->SetImage(image, kLooks);
    return button;
}

void MSpinButton::PlaceButton(MControlFont* button, int edge, bool above)
{
    if (!button)
        return;
    const int width = button->GetFrameWidth();
    const int height = button->GetImageHeight();
    const int top = above ? edge - height : edge;
    button->SetRect(CRect(m_rect.right - width - kButtonInset, top, m_rect.right - kButtonInset, top + height));
}

void MSpinButton::SetControlRect(CRect rect)
{
    MPanel::SetControlRect(rect);
    const int middle = rect.top + rect.Height() / 2;
    PlaceButton(*m_upButton, middle, true);
    PlaceButton(*m_downButton, middle, false);
}

void MSpinButton::SetControlEnabled(int enabled)
{
    for (MControlFont* button : { *m_upButton, *m_downButton }) {
        if (!button || button->IsEnabled() == enabled)
            continue;
        button->SetControlEnabled(enabled);
        button->UpdateControl(1, 0);
    }
    if (enabled == m_enabled)
        return;
    MControlFont::SetControlEnabled(enabled);
    m_state = enabled ? 0 : kDisabledLook;
    UpdateControl(0, 0);
}

LONG MSpinButton::OnMessage(UINT id, UINT code, UINT, LONG)
{
    if (code != kCodeClicked || (id != kUpButtonId && id != kDownButtonId))
        return 0;
    if (id == kUpButtonId)
        StepUp();
    else
        StepDown();
    return 1;
}

// ---- the value

void MSpinButton::SetCurValue(int value)
{
    StoreValue(value);
}

void MSpinButton::SetRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
}

void MSpinButton::SetLimitLength(int length)
{
    m_limitLength = length > kLongestEntry ? kLongestEntry : length;
}

bool MSpinButton::StoreValue(int value)
{
    if (value == m_value)
        return false;
    m_value = value;
    Repaint();
    return true;
}

void MSpinButton::Settle(int value)
{
    StoreValue(value);
    SendMessageW(kCodeSpinChanged, 0, 0);
}

// Compared before stepping: a value set at the end of int must not overflow.
void MSpinButton::StepUp()
{
    Settle(m_value >= m_maximum ? m_minimum : m_value + 1);
}

void MSpinButton::StepDown()
{
    Settle(m_value <= m_minimum ? m_maximum : m_value - 1);
}

void MSpinButton::CalcValue(int digit)
{
    CString text;
    text.Format(L"%d%d", m_value, digit);
    int value = text.GetLength() > m_limitLength ? digit : static_cast<int>(wcstol(text, nullptr, 10));
    if (value > m_maximum)
        value = m_minimum;
    else if (value < m_minimum)
        value = m_maximum;
    Settle(value);
}

void MSpinButton::Backspace()
{
    // The decimal text loses its last character; one digit, or a sign, leaves nothing.
    if (StoreValue(m_value < 10 ? 0 : m_value / 10))
        SendMessageW(kCodeSpinChanged, 0, 0);
}

// ---- focus, keys and mouse

int MSpinButton::SetControlFocus(int focus)
{
    if (!m_enabled)
        return 0;
    if (focus != m_focused) {
        m_focused = focus;
        Repaint();
    }
    return 1;
}

int MSpinButton::OnControlKeyDown(UINT key, UINT, UINT)
{
    // A box disabled while it held the focus keeps the flag, but takes no typing.
    if (!m_focused || !m_enabled)
        return 0;
    int digit = 0;
    if (isDigitKey(key, digit)) {
        CalcValue(digit);
        return 1;
    }
    switch (key) {
    case VK_BACK:
        Backspace();
        return 1;
    case VK_LEFT:
    case VK_RIGHT:
        return 1;
    case VK_UP:
    case VK_ADD:
        StepUp();
        return 1;
    case VK_DOWN:
    case VK_SUBTRACT:
        StepDown();
        return 1;
    default:
        return 0;
    }
}

int MSpinButton::ShowState(int state)
{
    if (state == m_state)
        return 0;
    m_state = state;
    UpdateControl(0, 0);
    return 1;
}

int MSpinButton::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled || m_state == kPressedLook)
        return 0;
    return ShowState(m_rect.PtInRect(pt) ? 1 : 0);
}

int MSpinButton::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled || !m_rect.PtInRect(pt))
        return 0;
    // A box placed straight in a window is made the focus control without being told.
    if (!m_focused)
        SetControlFocus(1);
    return ShowState(kPressedLook);
}

int MSpinButton::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    return ShowState(m_rect.PtInRect(pt) ? 1 : 0);
}

// ---- drawing

void MSpinButton::DrawControl(HDC& dc, CRect)
{
    DrawCachedLooks(*this, m_memPicture, dc, kLooks, m_state, [&](Gdiplus::Graphics& graphics) {
        CString text;
        text.Format(L"%d", m_value);
        SetControlTitle(text);
        const int width = m_rect.Width();
        const int height = m_rect.Height();
        const auto font = MakeTextFont(*this, static_cast<float>(m_fontSize));
        const Gdiplus::SolidBrush focusFill { Gdiplus::Color(kFocusBlue) };
        const Gdiplus::SolidBrush grey { Gdiplus::Color(kDisabledGrey) };
        for (int look = 0; look < kLooks; ++look) {
            const int left = look * width;
            MRender::DrawImageStripFrame(graphics, m_image, CRect(left, 0, left + width, height), look, m_imageCount,
                                         kFrameBorder);
            if (m_focused)
                graphics.FillRectangle(&focusFill, left + 5, height / 2 - 7, width - 28, 14);
            const Gdiplus::Brush* brush = look == kDisabledLook ? &grey : GetTextBrush();
            if (brush)
                DrawTextLine(graphics, m_title, font.get(),
                             Gdiplus::RectF(static_cast<Gdiplus::REAL>(left + 4), 0.0f,
                                            static_cast<Gdiplus::REAL>(width - 18), static_cast<Gdiplus::REAL>(height)),
                             *brush, m_textRenderingHint, Gdiplus::StringAlignmentNear);
        }
    });
}

} // namespace KOVA
