// A sample host: starts KOVA, opens a window of windowless controls, routes a few mouse
// messages to them and writes what it saw. Run with an output folder to work headless:
//   SampleHost.exe OUTDIR     writes OUTDIR\screenshot.png and OUTDIR\notifications.txt
#include "KOVA.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace KOVA;

namespace {

// A filled tile that reports presses and clicks to its parent.
class DemoTile : public MControl {
public:
    DemoTile(MObject* parent, UINT id, CRect rect, COLORREF color)
        : MControl(parent, id, rect, 1, 1, 1), m_color(color) {}

    void DrawControl(HDC& dc, CRect) override
    {
        HBRUSH brush = CreateSolidBrush(m_pressedNow ? RGB(255, 255, 255) : m_color);
        FillRect(dc, &m_rect, brush);
        DeleteObject(brush);
    }
    int OnControlLButtonDown(UINT, CPoint) override
    {
        m_pressedNow = 1;
        SendMessageW(1, 0, 0);
        return 1;
    }
    int OnControlLButtonUp(UINT, CPoint pt) override
    {
        m_pressedNow = 0;
        if (m_rect.PtInRect(pt))
            SendMessageW(2, 0, 0);
        return 1;
    }

private:
    int m_pressedNow { 0 };
    COLORREF m_color;
};

// The window object: the top of the control tree, hearing every notification.
class SampleWindow : public MObject {
public:
    const wchar_t* GetClassNameW() const override { return L"SampleWindow"; }
    LONG OnBaseMessage(UINT id, UINT code, UINT, LONG) override
    {
        wchar_t line[64];
        swprintf(line, 64, L"control %u: code %u\n", id, code);
        log += line;
        return 0;
    }
    LONG OnControlUpdate(CRect rect, int, MControl*) override
    {
        ::InvalidateRect(manager.GetPaintWnd(), &rect, FALSE);
        return 0;
    }

    PaintManager manager;
    std::wstring log;
};

SampleWindow* g_window = nullptr;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const CPoint pt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    PaintManager& manager = g_window->manager;
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        HBRUSH back = CreateSolidBrush(RGB(32, 32, 32));
        FillRect(dc, &ps.rcPaint, back);
        DeleteObject(back);
        for (MControl* control : manager.GetControls())
            control->Draw(dc, CRect(ps.rcPaint));
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_MOUSEMOVE:
        for (MControl* control : manager.GetControls())
            control->OnMouseMove(static_cast<UINT>(wParam), pt);
        return 0;
    case WM_LBUTTONDOWN:
        for (MControl* control : manager.GetControls())
            if (control->PtInRect(pt))
                control->OnLButtonDown(static_cast<UINT>(wParam), pt);
        return 0;
    case WM_LBUTTONUP:
        for (MControl* control : manager.GetControls())
            control->OnLButtonUp(static_cast<UINT>(wParam), pt);
        return 0;
    case WM_DESTROY:
        manager.OnDestroyMessage(hwnd);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool savePng(HWND hwnd, const std::wstring& path)
{
    RECT client;
    GetClientRect(hwnd, &client);
    HDC windowDC = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(windowDC);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDC, client.right, client.bottom);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, client.right, client.bottom, windowDC, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(hwnd, windowDC);

    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, encoders);
    bool saved = false;
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(encoders[i].MimeType, L"image/png") != 0)
            continue;
        Gdiplus::Bitmap image(bitmap, nullptr);
        saved = image.Save(path.c_str(), &encoders[i].Clsid, nullptr) == Gdiplus::Ok;
    }
    DeleteObject(bitmap);
    return saved;
}

void pumpPending()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    const std::wstring outDir = commandLine ? commandLine : L"";
    Manager::SetInstance(instance);
    Manager::InitGdiplus();

    WNDCLASSW wc {};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"KovaSampleHost";
    RegisterClassW(&wc);

    SampleWindow window;
    g_window = &window;
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"KOVA sample host", WS_POPUP | WS_VISIBLE,
                                0, 0, 480, 240, nullptr, nullptr, instance, nullptr);
    window.manager.Init(hwnd, nullptr);
    const COLORREF colors[] = { RGB(58, 110, 165), RGB(189, 48, 255), RGB(40, 170, 90) };
    for (UINT i = 0; i < 3; ++i) {
        const int left = 20 + static_cast<int>(i) * 150;
        window.manager.AppendControl(new DemoTile(&window, 100 + i, CRect(left, 40, left + 130, 200), colors[i]), 1);
    }
    for (MControl* control : window.manager.GetControls())
        control->SetManager(&window.manager);
    UpdateWindow(hwnd);

    // A click on the middle tile, and a press on the first that is released outside it.
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(240, 100));
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(240, 100));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(240, 100));
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 100));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(470, 230));
    pumpPending();
    UpdateWindow(hwnd);

    int exitCode = 0;
    if (!outDir.empty()) {
        CreateDirectoryW(outDir.c_str(), nullptr);
        if (!savePng(hwnd, outDir + L"\\screenshot.png"))
            exitCode = 2;
        if (FILE* file = _wfopen((outDir + L"\\notifications.txt").c_str(), L"w, ccs=UTF-8")) {
            fputws(window.log.c_str(), file);
            fclose(file);
        }
    }
    DestroyWindow(hwnd);
    pumpPending();
    Manager::UnInitGdiplus();
    return exitCode;
}
