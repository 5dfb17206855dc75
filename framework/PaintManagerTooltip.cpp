// The paint manager's one tooltip window, showing the tip of the control under the pointer.
#include "platform/Win32.h"

#include <commctrl.h>

#include "framework/LibraryModule.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
constexpr UINT kToolId = 1313;

TTTOOLINFOW makeTool(HWND owner, UINT flags, const RECT& rect, const wchar_t* text)
{
    TTTOOLINFOW tool {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = flags;
    tool.hwnd = owner;
    tool.uId = kToolId;
    tool.rect = rect;
    tool.lpszText = const_cast<wchar_t*>(text);
    return tool;
}

constexpr UINT kAddFlags = TTF_PARSELINKS;
constexpr UINT kTrackFlags = TTF_PARSELINKS | TTF_ABSOLUTE | TTF_TRACK;
} // namespace

bool PaintManager::createTooltipWindow(const wchar_t* text)
{
    HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, L"tooltips_class32",
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, GetLibraryModule(), nullptr);
    if (!tip)
        return false;
    *m_tooltipWnd = tip;
    ::SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 256);
    ::SendMessageW(tip, TTM_SETTIPBKCOLOR, RGB(255, 255, 255), 0);
    RECT client {};
    ::GetClientRect(m_hWnd, &client);
    TTTOOLINFOW tool = makeTool(m_hWnd, kAddFlags, client, L"");
    ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    tool.lpszText = const_cast<wchar_t*>(text);
    ::SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    if (GetACP() == 936) {
        RECT margin { 2, 3, 0, 0 };
        ::SendMessageW(tip, TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
    }
    ::SendMessageW(tip, TTM_ACTIVATE, TRUE, 0);
    return true;
}

void PaintManager::SetTooltip(const wchar_t* text, CRect rect)
{
    (void)rect; // the tool keeps the client rectangle; the tip follows the pointer
    HWND tip = *m_tooltipWnd;
    const bool liveTip = tip && ::IsWindow(tip);
    if (text && *text) {
        // The tool keeps a pointer to its text: hold our own copy for as long as it is shown.
        *m_tooltipText = text;
        if (!liveTip) {
            if (isLiveWindow())
                createTooltipWindow(*m_tooltipText);
            return;
        }
        TTTOOLINFOW tool = makeTool(m_hWnd, kTrackFlags, RECT {}, *m_tooltipText);
        ::SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
        ::SendMessageW(tip, TTM_ACTIVATE, TRUE, 0);
        return;
    }
    if (liveTip) {
        TTTOOLINFOW tool = makeTool(m_hWnd, kTrackFlags, RECT {}, L"");
        ::SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
        ::SendMessageW(tip, TTM_ACTIVATE, FALSE, 0);
    }
}

void PaintManager::ClearTooltip()
{
    HWND tip = *m_tooltipWnd;
    if (tip && ::IsWindow(tip)) {
        TTTOOLINFOW tool = makeTool(m_hWnd, kTrackFlags, RECT {}, L"");
        ::SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
        ::SendMessageW(tip, TTM_ACTIVATE, FALSE, 0);
    }
    m_tooltipCtrlID = 0;
}

void PaintManager::destroyTooltipWindow()
{
    HWND tip = *m_tooltipWnd;
    if (tip && ::IsWindow(tip))
        ::DestroyWindow(tip);
    *m_tooltipWnd = nullptr;
}

} // namespace KOVA
