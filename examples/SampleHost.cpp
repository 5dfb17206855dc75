// A sample host: starts KOVA, opens a dialog of windowless controls, drives it with real
// window messages and writes what it saw. With an output folder it runs headless:
//   SampleHost.exe OUTDIR     writes OUTDIR\screenshot.png and OUTDIR\notifications.txt
// Without one it stays open until closed.
#include "KOVA.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace KOVA;

namespace {

// A filled tile with a caption that reports presses (code 1) and clicks (code 2).
class DemoTile : public MControlFont {
public:
    DemoTile(MObject* parent, UINT id, CRect rect, const wchar_t* title, Gdiplus::Color fill)
        : MControlFont(parent, id, rect, title, 1, 1, 1), m_fill(fill) {}

    void DrawControl(HDC& dc, CRect) override
    {
        Gdiplus::Graphics graphics(dc);
        const Gdiplus::Color fill = m_down ? Gdiplus::Color(255, 250, 250, 250) : m_fill;
        Gdiplus::SolidBrush brush(fill);
        graphics.FillRectangle(&brush, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height());
        SetAlignment(1, 4);
        DrawString(graphics, m_title, m_rect);
    }
    int OnControlLButtonDown(UINT, CPoint) override
    {
        m_down = 1;
        UpdateControl(1, 0);
        SendMessageW(1, 0, 0);
        return 1;
    }
    int OnControlLButtonUp(UINT, CPoint pt) override
    {
        m_down = 0;
        UpdateControl(1, 0);
        if (m_rect.PtInRect(pt))
            SendMessageW(2, 0, 0);
        return 1;
    }

private:
    int m_down { 0 };
    Gdiplus::Color m_fill;
};

class SampleDialog : public MDialog {
public:
    void InitUI(CRect client) override
    {
        GetPaintManager()->SetBackColor(RGB(32, 32, 32), RGB(189, 48, 255));
        const struct { const wchar_t* title; Gdiplus::Color color; } tiles[] = {
            { L"CPU fan", Gdiplus::Color(255, 58, 110, 165) },
            { L"Pump", Gdiplus::Color(255, 120, 60, 190) },
            { L"Case fans", Gdiplus::Color(255, 40, 150, 90) },
        };
        for (UINT i = 0; i < 3; ++i) {
            const int left = 30 + static_cast<int>(i) * 200;
            add(new DemoTile(this, 100 + i, CRect(left, 40, left + 180, 160), tiles[i].title, tiles[i].color));
        }
        (void)client;
    }
    LRESULT OnMessage(UINT id, UINT code, UINT wParam, LONG) override
    {
        wchar_t line[96];
        swprintf(line, 96, L"control %u: code %u (wParam %u)\n", id, code, wParam);
        log += line;
        if (id == 101 && code == 2)
            SetMessage(L"Pump profile saved", CRect(), MsgLevelInfo);
        return 0;
    }

    std::wstring log;

private:
    void add(MControl* control)
    {
        control->SetManager(GetPaintManager());
        GetPaintManager()->AppendControl(control, 1);
    }
};

bool saveClientPng(HWND hwnd, const std::wstring& path)
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
    for (UINT i = 0; i < count && !saved; ++i) {
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

void click(HWND hwnd, int x, int y, int releaseX, int releaseY)
{
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(releaseX, releaseY));
    pumpPending();
}

int runHeadless(SampleDialog& dialog, const std::wstring& outDir)
{
    HWND hwnd = dialog.GetSafeHwnd();
    // A click on the pump tile, then a press on the CPU tile released outside it.
    click(hwnd, 300, 100, 300, 100);
    click(hwnd, 100, 100, 620, 380);
    UpdateWindow(hwnd);
    pumpPending();

    CreateDirectoryW(outDir.c_str(), nullptr);
    int exitCode = saveClientPng(hwnd, outDir + L"\\screenshot.png") ? 0 : 2;
    if (FILE* file = _wfopen((outDir + L"\\notifications.txt").c_str(), L"w, ccs=UTF-8")) {
        fputws(dialog.log.c_str(), file);
        fclose(file);
    } else {
        exitCode = 2;
    }
    DestroyWindow(hwnd);
    pumpPending();
    return exitCode;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    const std::wstring outDir = commandLine ? commandLine : L"";
    Manager::SetInstance(instance);
    Manager::InitGdiplus();
    int exitCode = 0;
    {
        SampleDialog dialog;
        dialog.Create(nullptr, L"KOVA sample host", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 660, 400));
        if (!outDir.empty()) {
            exitCode = runHeadless(dialog, outDir);
        } else {
            Manager::MessageLoop();
        }
    }
    Manager::UnInitGdiplus();
    return exitCode;
}
