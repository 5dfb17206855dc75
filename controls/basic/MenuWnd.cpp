// GUI thread only: the menu, its rows and its owner's messages all live on the thread that
// opened it.
#include "controls/basic/MenuWnd.h"

#include <cwctype>

#include "framework/MRender.h"

namespace KOVA {

namespace {
// An overlapped window whose caption and frame OnCreate strips again.
constexpr DWORD kMenuStyle = 0x80B;
constexpr int kSeparatorHeight = 4;
// A line drawn by a control that is not a row.
constexpr UINT kLineId = static_cast<UINT>(-1);

bool isDecimal(const CString& key)
{
    if (key.IsEmpty())
        return false;
    for (int i = 0; i < key.GetLength(); ++i)
        if (!std::iswdigit(key[i]))
            return false;
    return true;
}
} // namespace

MenuWnd::MenuWnd(MObject* parent)
{
    m_parentObject = parent;
    m_colorKey = 0xFFFFFF;
}

// ---- rows

void MenuWnd::WidenFor(const CString& title)
{
    // Measured with the family the rows paint with, which stands in for a missing face.
    const Gdiplus::FontFamily* family = m_paintManager->FindTempFontOrFallback(m_fontName);
    if (!family)
        return;
    const Gdiplus::Font font(family, static_cast<Gdiplus::REAL>(m_fontSize),
                             static_cast<Gdiplus::FontStyle>(m_fontStyle), Gdiplus::UnitPixel);
    Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    const int textWidth = MRender::GetTextBounds(font, format, title).Width;
    if (m_menuWidth - m_textInset - 4 < textWidth)
        m_menuWidth = textWidth + 4 + m_textInset;
}

MenuItem* MenuWnd::AddRow(CString title, UINT id)
{
    auto* row = dynamic_cast<MenuItem*>(m_paintManager->CreateControl(this, L"MenuItem", id, CRect(), title, 1, 1));
    if (row)
        row->SetFont(m_fontName, m_fontSize, static_cast<Gdiplus::FontStyle>(m_fontStyle));
    return row;
}

int MenuWnd::AddMenu(CString title, UINT id, int iconResourceId, int, int)
{
    WidenFor(title);
    MenuItem* row = AddRow(title, id);
    if (row && iconResourceId != -1)
        row->SetImage(static_cast<UINT>(iconResourceId), CString(L"PNG"), 4);
    SetMenuPoint();
    return -1;
}

int MenuWnd::AddMenu(CString title, UINT id, CString iconFile, int, int)
{
    WidenFor(title);
    MenuItem* row = AddRow(title, id);
    if (row && !iconFile.IsEmpty())
        row->SetImage(iconFile, 4);
    SetMenuPoint();
    return -1;
}

int MenuWnd::AddSeparator(UINT id, CString imageFile)
{
    MenuItem* row = AddRow(CString(), id);
    if (row) {
        row->SetSeparator(1);
        if (!imageFile.IsEmpty())
            row->SetImage(imageFile, 1);
    }
    SetMenuPoint();
    return -1;
}

void MenuWnd::SetMenuPoint()
{
    int y = m_topMargin;
    for (MControl* control : m_paintManager->GetControls()) {
        if (!control)
            continue;
        CRect place = control->GetRect();
        if (auto* row = dynamic_cast<MenuItem*>(control)) {
            row->m_frameInset = m_rowFrameInset;
            if (!row->IsVisible()) {
                place = CRect();
            } else if (row->IsSeparator()) {
                place = CRect(m_textInset + 1, y + 1, m_menuWidth - 1, y + 2);
                y += kSeparatorHeight;
            } else {
                place = CRect(2, y, m_menuWidth - 2, y + m_rowHeight);
                y += m_rowHeight;
                row->m_textInset = m_textInset;
                row->m_highlightColour = m_highlightColour;
            }
        } else if (control->GetControlID() == kLineId) {
            place = CRect(m_textInset + 4, y + 1, m_menuWidth - 9, y + 2);
            y += kSeparatorHeight;
        }
        control->SetRect(place);
    }
    m_laidOutBottom = y;
    if (!IsLive())
        return;
    SetWindowPos(nullptr, 0, 0, m_menuWidth, Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(CRect(0, 0, m_menuWidth, Height()), FALSE);
}

int MenuWnd::Height() const
{
    return m_laidOutBottom + (m_bottomMargin ? m_bottomMargin : 2);
}

// ---- queued changes

void MenuWnd::Queue(MenuItemChange change)
{
    if (isDecimal(change.key))
        change.itemId = static_cast<UINT>(_wtoi(change.key));
    m_changes.push_back(change);
}

void MenuWnd::SetItemTitle(CString key, CString title)
{
    MenuItemChange change;
    change.key = key;
    change.title = title;
    Queue(change);
}

void MenuWnd::SetItemVisible(CString key, int visible)
{
    MenuItemChange change;
    change.key = key;
    change.visible = visible;
    Queue(change);
}

void MenuWnd::SetItemEnable(CString key, int enable)
{
    MenuItemChange change;
    change.key = key;
    change.enable = enable;
    Queue(change);
}

void MenuWnd::SetItemCheck(CString key, int check)
{
    MenuItemChange change;
    change.key = key;
    change.check = check;
    Queue(change);
}

MenuItem* MenuWnd::FindRow(const MenuItemChange& change)
{
    for (MControl* control : m_paintManager->GetControls()) {
        auto* row = dynamic_cast<MenuItem*>(control);
        if (!row)
            continue;
        const bool byId = isDecimal(change.key) && row->GetControlID() == change.itemId;
        if (byId || (!isDecimal(change.key) && row->GetTitle() == change.key))
            return row;
    }
    return nullptr;
}

void MenuWnd::Apply(const MenuItemChange& change)
{
    MenuItem* row = FindRow(change);
    if (!row)
        return;
    if (!change.title.IsEmpty())
        row->SetTitle(change.title);
    if (change.visible != -1)
        row->SetVisible(change.visible ? 1 : 0);
    if (change.enable != -1)
        row->SetEnabled(change.enable ? 1 : 0);
    if (change.check != -1)
        row->SetCheck(change.check);
}

void MenuWnd::InitUI(CRect)
{
    for (const MenuItemChange& change : m_changes)
        Apply(change);
    SetMenuPoint();
}

// ---- the window

int MenuWnd::Open(HWND owner, CPoint point, UINT message)
{
    m_message = message;
    m_owner = owner;
    const HWND window = MWindow::Create(owner, L"Menu Window", kMenuStyle, 0,
                                        CRect(point.x, point.y, point.x + m_menuWidth, point.y + m_menuWidth));
    if (!window)
        return 0;
    // The style alone leaves the window hidden.
    ShowWindow(SW_SHOW);
    ::SetForegroundWindow(window);
    return 1;
}

int MenuWnd::Create(HWND owner, CPoint point, UINT message)
{
    return Open(owner, point, message);
}

int MenuWnd::Create(HWND owner, CPoint point, UINT message, UINT resourceId, int border, int width,
                    enumBackMode mode)
{
    m_menuWidth = width;
    LoadBKImage(resourceId, CString(L"PNG"));
    SetBackMode(mode, border);
    return Open(owner, point, message);
}

int MenuWnd::Create(HWND owner, CPoint point, UINT message, CString file, int border, int width, enumBackMode mode)
{
    m_menuWidth = width;
    LoadBKImage(file);
    SetBackMode(mode, border);
    return Open(owner, point, message);
}

// The owner hears the row's wParam and the row's id; the code itself is not passed on.
LRESULT MenuWnd::OnMessage(UINT id, UINT code, UINT wParam, LONG)
{
    return SendMessageToParent(id, code, wParam, static_cast<LONG>(id));
}

LONG MenuWnd::SendMessageToParent(UINT, UINT code, UINT wParam, LONG lParam)
{
    if (m_owner)
        ::PostMessageW(m_owner, m_message, wParam, lParam);
    if (code == 2)
        CloseWindow();
    return 1;
}

void MenuWnd::OnDestroyMessage(HWND)
{
    delete this;
}

} // namespace KOVA
