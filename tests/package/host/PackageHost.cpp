// A host built from the installed package alone: a dialog with a control created by class
// name and one of its own derived from the exported base, painted, clicked and read back.
// Exit code 0 when everything held; otherwise the number of the first check that failed.
#include "KOVA.h"

#include <cwchar>

using namespace KOVA;

namespace {

constexpr COLORREF kBackground = RGB(20, 40, 60);
constexpr COLORREF kSwatch = RGB(200, 120, 30);
constexpr UINT kSwatchId = 7;
constexpr UINT kEditId = 8;
constexpr UINT kClicked = 3;

// The host's own control: a filled rectangle that reports a click.
class Swatch : public MControl {
public:
    Swatch(MObject* parent, UINT id, CRect rect) : MControl(parent, id, rect, 1, 1, 1) {}
    void DrawControl(HDC& dc, CRect) override { MRender::FillSolidRect(dc, &m_rect, kSwatch); }
    int OnControlLButtonDown(UINT, CPoint) override { return 1; }
    int OnControlLButtonUp(UINT, CPoint pt) override
    {
        if (m_rect.PtInRect(pt))
            SendMessageW(kClicked, 0, 0);
        return 1;
    }
};

class HostDialog : public MDialog {
public:
    void InitUI(CRect) override
    {
        GetPaintManager()->SetBackColor(kBackground, kBackground);
        edit = CreateControl(L"MRichEdit", kEditId, CRect(10, 80, 150, 100), L"", 1, 1);
        auto* swatch = new Swatch(this, kSwatchId, CRect(10, 10, 60, 60));
        swatch->SetManager(GetPaintManager());
        GetPaintManager()->AppendControl(swatch, 1);
    }
    LRESULT OnMessage(UINT id, UINT code, UINT, LONG) override
    {
        if (id == kSwatchId && code == kClicked)
            ++clicks;
        return 0;
    }

    MControl* edit { nullptr };
    int clicks { 0 };
    // Held by value: its destructor must come from the library, not be made here.
    CIconButton iconButton { this, 9, CRect(10, 110, 60, 130), L"key", 1, 1 };
};

void pumpUntil(const int& clicks, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (clicks == 0 && GetTickCount() - start < milliseconds) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

COLORREF pixelAt(HWND hwnd, int x, int y)
{
    HDC dc = GetDC(hwnd);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return colour;
}

int run(HostDialog& dialog)
{
    if (!dialog.Create(nullptr, L"package host", WS_POPUP | WS_VISIBLE, 0, CRect(100, 100, 300, 220)))
        return 1;
    HWND hwnd = dialog.GetSafeHwnd();
    if (!dialog.edit || wcscmp(dialog.edit->GetClassNameW(), L"MRichEdit") != 0 || dialog.GetControl(kEditId) != dialog.edit)
        return 2;
    UpdateWindow(hwnd);
    if (pixelAt(hwnd, 35, 35) != kSwatch || pixelAt(hwnd, 120, 30) != kBackground)
        return 3;
    // Sent, not posted: a real pointer move or an activation change from a program running
    // beside this one cannot slip in between and take the press elsewhere.
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(30, 30));
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 30));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(30, 30));
    pumpUntil(dialog.clicks, 5000);
    if (dialog.clicks != 1)
        return 4;
    DestroyWindow(hwnd);
    return 0;
}

} // namespace

int main()
{
    Manager::SetInstance(GetModuleHandleW(nullptr));
    Manager::InitGdiplus();
    int result = 0;
    {
        HostDialog dialog;
        result = run(dialog);
    }
    Manager::UnInitGdiplus();
    return result;
}
