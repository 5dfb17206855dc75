// GUI thread only.
#include "controls/input/CComboBoxWnd.h"

#include "framework/MControl.h"

namespace KOVA {

namespace {
constexpr UINT kChosen = 2;
constexpr UINT kClosed = 22;
constexpr COLORREF kBack = 0x050505;
constexpr COLORREF kBorder = 0x515151;
constexpr int kBackBorder = 6;
} // namespace

CComboBoxWnd::CComboBoxWnd() : CComboBoxWnd(L"CComboBoxList", false) {}

CComboBoxWnd::CComboBoxWnd(const wchar_t* listClass, bool dropImages) : m_listClass(listClass), m_dropImages(dropImages)
{
    m_paintManager->SetBackColor(kBack, kBorder);
}

CComboBoxWnd2::CComboBoxWnd2() : CComboBoxWnd(L"CComboBoxList2", true) {}

void CComboBoxWnd::SetScrollResID(UINT vertical, UINT horizontal)
{
    m_scrollVertical = vertical;
    m_scrollHorizontal = horizontal;
}

void CComboBoxWnd::InitUI(CRect rect)
{
    rect.DeflateRect(3, 6, 3, 6);
    SetLayeredWindow(TRUE);
    m_paintManager->SetScrollResID(m_scrollVertical ? m_scrollVertical : m_paintManager->GetScrollVID(),
                                   m_scrollHorizontal ? m_scrollHorizontal : m_paintManager->GetScrollHID());
    m_list = dynamic_cast<CComboBoxList*>(m_paintManager->CreateControl(1, this, m_listClass, kListId, rect, L"", 1, 1));
}

void CComboBoxWnd::UISize(CRect) {}

int CComboBoxWnd::LoadBKImage(CString file)
{
    SetBackMode(BackModeNineGrid, kBackBorder);
    return MPopupWnd::LoadBKImage(file);
}

int CComboBoxWnd::LoadBKImage(UINT resourceId, CString type)
{
    SetBackMode(BackModeNineGrid, kBackBorder);
    return MPopupWnd::LoadBKImage(resourceId, type);
}

int CComboBoxWnd::AddItem(const wchar_t* text, long data, const wchar_t* image, Gdiplus::Color colour)
{
    return m_list ? m_list->AddItem(text, data, m_dropImages ? L"" : image, colour) : -1;
}

void CComboBoxWnd::RefreshList()
{
    if (m_list && m_list->IsVisible())
        m_list->UpdateControl(1, 0);
}

void CComboBoxWnd::SetListTextColor(Gdiplus::Color colour)
{
    if (m_list)
        m_list->SetTextColor(colour);
}

// The combo controls hear the drop-down on their OnMessage, as if it were their child 0.
void CComboBoxWnd::tellParent(UINT code, UINT wParam, LONG lParam)
{
    MObject* parent = GetParent();
    if (auto* control = dynamic_cast<MControl*>(parent))
        control->OnMessage(0, code, wParam, lParam);
    else if (parent)
        parent->OnBaseMessage(0, code, wParam, lParam);
}

LRESULT CComboBoxWnd::OnMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    if (id != kListId || code != kChosen)
        return 0;
    tellParent(kChosen, wParam, lParam);
    CloseWindow();
    return 1;
}

int CComboBoxWnd::OnDestroy()
{
    tellParent(kClosed, 0, 0);
    return 0;
}

} // namespace KOVA
