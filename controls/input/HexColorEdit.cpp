// GUI thread only.
#include "controls/input/HexColorEdit.h"

#include <cwchar>
#include <cwctype>

#include "controls/basic/LookPainting.h"
#include "framework/MRender.h"

namespace KOVA {

namespace {
constexpr int kLimit = 6;
constexpr COLORREF kDefaultColor = 0x0000FF;
constexpr int kSwatchInset = 2;
constexpr int kTextLeft = 25;
constexpr int kTextRight = 2;
constexpr UINT kTextFormat = DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS;

// The low byte of the hex number the digits at the start of part spell.
BYTE hexByte(const CString& part)
{
    unsigned value = 0;
    for (int i = 0; i < part.GetLength() && iswxdigit(part[i]); ++i) {
        const wchar_t c = part[i];
        value = value * 16 + (iswdigit(c) ? c - L'0' : (towlower(c) - L'a' + 10));
    }
    return static_cast<BYTE>(value & 0xFF);
}

// Red, green and blue parts by the length of the text.
COLORREF parseHex(const CString& text)
{
    const int length = text.GetLength();
    if (length > 6)
        return 0;
    const CString red = length <= 2 ? text : text.Left(2);
    const CString green = length == 3 ? text.Mid(2, 1) : length > 3 ? text.Mid(2, 2) : CString();
    const CString blue = length > 4 ? text.Mid(4) : CString();
    return RGB(hexByte(red), hexByte(green), hexByte(blue));
}

CString hexText(COLORREF color)
{
    CString text;
    text.Format(L"%02x%02x%02x", GetRValue(color), GetGValue(color), GetBValue(color));
    return text;
}
} // namespace

// ---- the edit window's rows

HexColorEdit* CEditWnd2::owner() const
{
    return static_cast<HexColorEdit*>(m_owner);
}

void CEditWnd2::Init(HexColorEdit* owner, CRect rect)
{
    Open(owner, owner->EditSetup(rect, owner->GetTitleEx(), owner->IsNumberOnly() != 0));
}

void CEditWnd2::OnEditChanged()
{
    const CString text = GetText();
    if (text != owner()->GetTitleEx())
        owner()->SetEditText(text);
}

void CEditWnd2::ForgetOwner()
{
    owner()->SetEditWindow(nullptr);
}

// ---- the control

HexColorEdit::HexColorEdit(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int enabled)
    : ColorTextEdit(parent, id, rect, visible, enabled, kLimit, kDefaultColor)
{
    m_title = hexText(m_color);
}

HexColorEdit::~HexColorEdit()
{
    NativeEditWindow::Dispose(*m_editWindow);
}

const wchar_t* HexColorEdit::GetClassNameW() const { return L"HexColorEdit"; }

// The title follows every colour: an edit opened later starts from the colour shown, black
// included (which draws no text).
void HexColorEdit::takeColor(COLORREF color)
{
    m_color = color;
    m_title = hexText(color);
}

void HexColorEdit::SetSelectColor(COLORREF color)
{
    takeColor(color);
    UpdateControl(1, 0);
}

void HexColorEdit::SetEditText(const wchar_t* text)
{
    const CString typed(text ? text : L"");
    if (typed.IsEmpty())
        return;
    takeColor(parseHex(typed));
    ReportColor();
}

CString HexColorEdit::GetEditText() const
{
    CEditWnd2* window = *m_editWindow;
    return window && window->IsShown() ? window->GetText() : m_title;
}

CRect HexColorEdit::CalcTextRect(int recompute)
{
    if (!m_textRect.IsRectEmpty() && !recompute)
        return m_textRect;
    CRect span = m_rect;
    span.left += kTextLeft;
    span.right -= kTextRight;
    m_textRect = CenteredLine(span);
    return m_textRect;
}

void HexColorEdit::SetControlRect(CRect rect)
{
    m_rect = rect;
    m_textRect.SetRectEmpty();
}

void HexColorEdit::ShowEdit()
{
    if (!m_enabled)
        return;
    const CRect rect = CalcTextRect(1);
    CEditWnd2* window = *m_editWindow;
    if (!window) {
        window = new CEditWnd2;
        *m_editWindow = window;
        window->Init(this, rect);
    } else {
        window->PlaceOver(rect);
    }
    RevealEdit(*window, m_title);
}

void HexColorEdit::HideEdit()
{
    m_focused = 0;
    CEditWnd2* window = *m_editWindow;
    if (!window || !window->IsShown())
        return;
    SetEditText(window->GetText());
    window->Conceal();
}

int HexColorEdit::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (CalcTextRect(0).PtInRect(pt))
        ShowEdit();
    else if (m_rect.PtInRect(pt))
        HideEdit();
    return 0;
}

void HexColorEdit::DrawControl(HDC& dc, CRect)
{
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    if (BeginCachedLooks(*this, m_memPicture, dc, 1)) {
        {
            Gdiplus::Graphics graphics(m_memPicture.dc());
            DrawFrame(graphics, width, height);
            Gdiplus::SolidBrush swatch(Gdiplus::Color(255, GetRValue(m_color), GetGValue(m_color), GetBValue(m_color)));
            graphics.FillRectangle(&swatch, kSwatchInset, kSwatchInset, height - 4, height - 4);
        }
        if (m_color != 0) {
            CRect text = CalcTextRect(0);
            text.OffsetRect(-m_rect.left, -m_rect.top);
            DrawLabel(m_memPicture.dc(), text, m_title, 0xFFFFFF, m_hAlign == DT_CENTER ? kTextFormat | DT_CENTER : kTextFormat);
        }
    }
    ShowCachedLook(*this, m_memPicture, dc, 0);
}

} // namespace KOVA
