// The keystroke benchmark of the rich edit: one typed character in an MRichEdit on a dialog
// (WM_CHAR to the window, forwarded to the text services, EN_CHANGE read back into the title,
// the repaint through the paint manager and the copy to the window) beside the bare text
// services doing the same character and one TxDraw of that text into a memory DC (the floor),
// for a text of 100 and one of 20,000 characters. Run it pinned to one CPU with its own
// wineserver (tools/bench.sh); each case prints a RESULT line.
#include "BenchKit.h"

#include <richedit.h>
#include <textserv.h>

#include <cstdio>
#include <string>

using namespace KOVA;

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 400;
constexpr BenchKit::Runs kRuns { 20, 200 };
constexpr UINT kEditId = 10;
const CRect kEditRect(20, 20, 580, 380);
const IID kIIDTextServices = { 0x8d33f740, 0xcf58, 0x11ce, { 0xa8, 0x9d, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5 } };

// Lines of 49 letters and a line break, to the length asked for.
std::wstring textOf(size_t length)
{
    std::wstring text;
    while (text.size() < length)
        text += (text.size() % 51 == 49) ? L'\r' : (text.size() % 51 == 50 ? L'\n' : static_cast<wchar_t>(L'a' + text.size() % 26));
    text.resize(length);
    return text;
}

// The least a host can be: what the services need to take a character and draw.
class BareHost : public ITextHost {
public:
    BareHost(HWND window, const RECT& client) : m_window(window), m_client(client)
    {
        m_char.cbSize = sizeof(m_char);
        m_char.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_OFFSET | CFM_CHARSET;
        m_char.yHeight = 14 * 15;
        m_char.crTextColor = RGB(230, 230, 236);
        m_char.bCharSet = DEFAULT_CHARSET;
        wcscpy(m_char.szFaceName, L"DejaVu Sans");
        m_para.cbSize = sizeof(m_para);
        m_para.dwMask = PFM_ALL;
        m_para.wAlignment = PFA_LEFT;
        m_para.cTabCount = 1;
        m_para.rgxTabs[0] = 720;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HDC TxGetDC() override { return GetDC(m_window); }
    INT TxReleaseDC(HDC dc) override { return ReleaseDC(m_window, dc); }
    WINBOOL TxShowScrollBar(INT, WINBOOL) override { return TRUE; }
    WINBOOL TxEnableScrollBar(INT, INT) override { return TRUE; }
    WINBOOL TxSetScrollRange(INT, LONG, INT, WINBOOL) override { return TRUE; }
    WINBOOL TxSetScrollPos(INT, INT, WINBOOL) override { return TRUE; }
    void TxInvalidateRect(LPCRECT, WINBOOL) override {}
    void TxViewChange(WINBOOL) override {}
    WINBOOL TxCreateCaret(HBITMAP, INT, INT) override { return TRUE; }
    WINBOOL TxShowCaret(WINBOOL) override { return TRUE; }
    WINBOOL TxSetCaretPos(INT, INT) override { return TRUE; }
    WINBOOL TxSetTimer(UINT, UINT) override { return TRUE; }
    void TxKillTimer(UINT) override {}
    void TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) override {}
    void TxSetCapture(WINBOOL) override {}
    void TxSetFocus() override {}
    void TxSetCursor(HCURSOR, WINBOOL) override {}
    WINBOOL TxScreenToClient(LPPOINT) override { return TRUE; }
    WINBOOL TxClientToScreen(LPPOINT) override { return TRUE; }
    HRESULT TxActivate(LONG*) override { return S_OK; }
    HRESULT TxDeactivate(LONG) override { return S_OK; }
    HRESULT TxGetClientRect(LPRECT rect) override
    {
        *rect = m_client;
        return S_OK;
    }
    HRESULT TxGetViewInset(LPRECT inset) override
    {
        SetRectEmpty(inset);
        return S_OK;
    }
    HRESULT TxGetCharFormat(const CHARFORMATW** format) override
    {
        *format = reinterpret_cast<const CHARFORMATW*>(&m_char);
        return S_OK;
    }
    HRESULT TxGetParaFormat(const PARAFORMAT** format) override
    {
        *format = reinterpret_cast<const PARAFORMAT*>(&m_para);
        return S_OK;
    }
    COLORREF TxGetSysColor(int index) override { return GetSysColor(index); }
    HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override
    {
        *style = TXTBACK_TRANSPARENT;
        return S_OK;
    }
    HRESULT TxGetMaxLength(DWORD* length) override
    {
        *length = INFINITE;
        return S_OK;
    }
    HRESULT TxGetScrollBars(DWORD* bars) override
    {
        *bars = WS_VSCROLL | ES_AUTOVSCROLL;
        return S_OK;
    }
    HRESULT TxGetPasswordChar(WCHAR* ch) override
    {
        *ch = 0;
        return S_FALSE;
    }
    HRESULT TxGetAcceleratorPos(LONG* pos) override
    {
        *pos = -1;
        return S_OK;
    }
    HRESULT TxGetExtent(LPSIZEL) override { return E_NOTIMPL; }
    HRESULT OnTxCharFormatChange(const CHARFORMATW*) override { return S_OK; }
    HRESULT OnTxParaFormatChange(const PARAFORMAT*) override { return S_OK; }
    HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override
    {
        *bits = (TXTBIT_RICHTEXT | TXTBIT_MULTILINE | TXTBIT_WORDWRAP) & mask;
        return S_OK;
    }
    HRESULT TxNotify(DWORD, void*) override { return S_OK; }
    HIMC TxImmGetContext() override { return nullptr; }
    void TxImmReleaseContext(HIMC) override {}
    HRESULT TxGetSelectionBarWidth(LONG* width) override
    {
        *width = 0;
        return S_OK;
    }

private:
    HWND m_window;
    RECT m_client;
    CHARFORMAT2W m_char {};
    PARAFORMAT2 m_para {};
};

using CreateTextServicesProc = HRESULT(WINAPI*)(IUnknown*, ITextHost*, IUnknown**);

// The bare services' keystroke: the character, then one TxDraw of the text.
double bareKeystrokeUs(HWND window, const std::wstring& text)
{
    HMODULE library = LoadLibraryW(L"Msftedit.dll");
    auto create = reinterpret_cast<CreateTextServicesProc>(reinterpret_cast<void (*)()>(GetProcAddress(library, "CreateTextServices")));
    const RECT client { 0, 0, kEditRect.Width(), kEditRect.Height() };
    BareHost host(window, client);
    IUnknown* unknown = nullptr;
    ITextServices* services = nullptr;
    if (!create || FAILED(create(nullptr, &host, &unknown)) || FAILED(unknown->QueryInterface(kIIDTextServices, reinterpret_cast<void**>(&services))))
        return -1;
    unknown->Release();
    LRESULT result = 0;
    services->OnTxInPlaceActivate(&client);
    services->TxSendMessage(WM_SETFOCUS, 0, 0, &result);
    services->TxSetText(text.c_str());
    services->TxSendMessage(EM_SETSEL, static_cast<WPARAM>(-1), -1, &result);
    double us = 0;
    {
        BenchKit::MemoryPicture memory(client.right, client.bottom);
        RECTL bounds { 0, 0, client.right, client.bottom };
        const auto deleteOne = [&] { services->TxSendMessage(WM_KEYDOWN, VK_BACK, 1, &result); };
        us = BenchKit::drainedMedianUs(kRuns, deleteOne, [&](int) {
            services->TxSendMessage(WM_CHAR, L'x', 1, &result);
            services->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, memory.dc(), nullptr, &bounds, nullptr, nullptr,
                             nullptr, 0, TXTVIEW_ACTIVE);
            GdiFlush();
        });
    }
    services->OnTxInPlaceDeactivate();
    services->Release();
    return us;
}

class BenchDialog : public MDialog {
public:
    void InitUI(CRect) override
    {
        PaintManager* manager = GetPaintManager();
        manager->SetBackColor(RGB(0x20, 0x20, 0x20), RGB(0x20, 0x20, 0x20));
        auto* edit = static_cast<MRichEdit*>(manager->CreateControl(this, L"MRichEdit", kEditId, kEditRect, L"", 1, 1));
        edit->SetTextColor(Gdiplus::Color(255, 230, 230, 236));
        edit->SetLimitText(0);
    }
};

void report(const char* name, double keystrokeUs, double bareUs)
{
    printf("%-22s keystroke to screen %8.0f us   bare services %8.0f us   ratio %6.2f\n", name, keystrokeUs, bareUs,
           keystrokeUs / bareUs);
    printf("RESULT case=%s keystroke_us=%.0f bare_us=%.0f ratio=%.2f\n", name, keystrokeUs, bareUs, keystrokeUs / bareUs);
    fflush(stdout);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    const BenchKit::LibraryScope library(instance);
    {
        BenchDialog dialog;
        dialog.Create(nullptr, L"bench", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, kWidth, kHeight));
        const HWND hwnd = dialog.GetSafeHwnd();
        SetForegroundWindow(hwnd);
        SetFocus(hwnd);
        UpdateWindow(hwnd);
        BenchKit::drainMessages();
        auto& edit = *static_cast<MRichEdit*>(dialog.GetControl(kEditId));
        dialog.GetPaintManager()->SetFocusControl(&edit);
        for (size_t length : { size_t(100), size_t(20000) }) {
            const std::wstring text = textOf(length);
            edit.SetControlTitle(text.c_str());
            edit.SetSel(-1, -1);
            UpdateWindow(hwnd);
            const auto deleteOne = [&] { SendMessageW(hwnd, WM_KEYDOWN, VK_BACK, 1); };
            const double keystroke = BenchKit::drainedMedianUs(kRuns, deleteOne, [&](int) {
                SendMessageW(hwnd, WM_CHAR, L'x', 1);
                UpdateWindow(hwnd);
            });
            const double bare = bareKeystrokeUs(hwnd, text);
            report(length == 100 ? "keystroke_100_chars" : "keystroke_20000_chars", keystroke, bare);
        }
    }
    return 0;
}
