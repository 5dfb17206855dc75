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

// Shows the picture the window was handed (a dropped one) in its rectangle.
class PictureTile : public MControl {
public:
    PictureTile(MObject* parent, UINT id, CRect rect) : MControl(parent, id, rect, 1, 1, 1) {}
    ~PictureTile() override { SetPicture(nullptr); }
    void SetPicture(HBITMAP bitmap)
    {
        if (m_bitmap)
            DeleteObject(m_bitmap);
        m_bitmap = bitmap;
        UpdateControl(1, 0);
    }
    void DrawControl(HDC& dc, CRect) override
    {
        MRender::FillSolidRect(dc, &m_rect, RGB(60, 60, 60));
        if (!m_bitmap)
            return;
        BITMAP info {};
        GetObjectW(m_bitmap, sizeof(info), &info);
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(source, m_bitmap);
        SetStretchBltMode(dc, HALFTONE);
        StretchBlt(dc, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), source, 0, 0, info.bmWidth,
                   info.bmHeight, SRCCOPY);
        SelectObject(source, previous);
        DeleteDC(source);
    }

private:
    HBITMAP m_bitmap { nullptr };
};

// A list of fans taller than its box: the wheel and the bar scroll it. The panel gives its
// children content coordinates; drawing them where the scroll puts them is the list's own job.
class FanList : public MPanel {
public:
    FanList(MObject* parent, UINT id, CRect rect) : MPanel(parent, id, rect, 1) {}
    void InitUI(CRect rect) override
    {
        constexpr int kRow = 60;
        constexpr UINT kFans = 6;
        SetVirtualHeight(kRow * kFans);
        // Where the bar sits is the owner's choice: along the right edge.
        GetScrollVertical()->SetControlRect(CRect(rect.right - 10, rect.top, rect.right, rect.bottom));
        GetScrollVertical()->SetScrollInfo(kRow * kFans, 0, rect.Height(), kRow / 2);
        for (UINT i = 0; i < kFans; ++i) {
            const int top = rect.top + static_cast<int>(i) * kRow;
            wchar_t title[32];
            swprintf(title, 32, L"Fan %u", i + 1);
            auto* tile = new DemoTile(this, 200 + i, CRect(rect.left, top + 4, rect.right - 14, top + kRow - 4), title,
                                      Gdiplus::Color(255, 70, 90 + 20 * static_cast<int>(i), 120));
            tile->SetManager(GetManager());
            ScopedLock lock(m_controlsLock);
            m_controls->push_back(tile);
        }
    }
    int DrawSubControls(HDC& dc, CRect paintRect) override
    {
        const CPoint offset = GetScrollOffset();
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, m_rect.left, m_rect.top, m_rect.right, m_rect.bottom);
        OffsetViewportOrgEx(dc, -offset.x, -offset.y, nullptr);
        CRect contentPaint = paintRect;
        contentPaint.OffsetRect(offset.x, offset.y);
        ScopedLock lock(m_controlsLock);
        for (MControl* child : *m_controls)
            if (child && child->GetControlID() > 2)
                child->Draw(dc, contentPaint);
        RestoreDC(dc, saved);
        GetScrollVertical()->Draw(dc, paintRect);
        return 1;
    }
};

class SampleDialog : public MDialog {
public:
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        // A picture dropped on the window arrives as STM_SETIMAGE with a bitmap.
        if (msg == STM_SETIMAGE && wParam == IMAGE_BITMAP && m_picture) {
            m_picture->SetPicture(reinterpret_cast<HBITMAP>(lParam));
            log += L"dropped picture received\n";
            return 0;
        }
        return MDialog::OnWindowMessage(msg, wParam, lParam);
    }

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
        auto* list = new FanList(this, 300, CRect(30, 190, 330, 370));
        add(list);
        list->InitUI(list->GetRect());
        m_picture = new PictureTile(this, 400, CRect(360, 190, 610, 370));
        add(m_picture);
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
    PictureTile* m_picture { nullptr };
    void add(MControl* control)
    {
        control->SetManager(GetPaintManager());
        GetPaintManager()->AppendControl(control, 1);
    }
};

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

// A picture to drop: a small gradient DIB in global memory, as another program would offer.
HGLOBAL makeDib(int width, int height)
{
    const SIZE_T bytes = sizeof(BITMAPINFOHEADER) + static_cast<SIZE_T>(width) * height * 4;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
    *header = { sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
    auto* pixels = reinterpret_cast<DWORD*>(header + 1);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[y * width + x] = RGB(40 + y * 200 / height, 120, 250 - x * 200 / width);
    GlobalUnlock(block);
    return block;
}

void dropPicture(SampleDialog& dialog, POINT screenPoint)
{
    auto* data = new CIDataObject(nullptr);
    data->AddRef();
    FORMATETC format { CF_DIB, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL };
    STGMEDIUM medium {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = makeDib(160, 120);
    data->SetData(&format, &medium, TRUE);
    IDropTarget* target = dialog.GetPaintManager();
    DWORD effect = DROPEFFECT_COPY;
    const POINTL at { screenPoint.x, screenPoint.y };
    target->DragEnter(data, MK_LBUTTON, at, &effect);
    target->DragOver(MK_LBUTTON, at, &effect);
    target->Drop(data, 0, at, &effect);
    data->Release();
}

CLSID pngEncoder();

bool savePng(HBITMAP bitmap, const std::wstring& path)
{
    const CLSID png = pngEncoder();
    Gdiplus::Bitmap image(bitmap, nullptr);
    return image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

CLSID pngEncoder()
{
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, encoders);
    for (UINT i = 0; i < count; ++i)
        if (wcscmp(encoders[i].MimeType, L"image/png") == 0)
            return encoders[i].Clsid;
    return CLSID {};
}

// The sample's own skin: the balloon's background, the splash's logo and close button. A
// real host ships these in its skins folder.
void writeDemoSkin()
{
    wchar_t exe[MAX_PATH] {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    CString folder(exe);
    folder = folder.Left(folder.ReverseFind(L'\\') + 1);
    const CString skin = folder + L"skins\\" + Manager::GetTheme();
    CreateDirectoryW(folder + L"skins", nullptr);
    CreateDirectoryW(skin, nullptr);
    CreateDirectoryW(skin + L"logo", nullptr);
    const CLSID png = pngEncoder();
    Gdiplus::FontFamily family(L"DejaVu Sans");

    Gdiplus::Bitmap tip(48, 48, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&tip);
        Gdiplus::SolidBrush fill(Gdiplus::Color(235, 58, 30, 96));
        g.FillRectangle(&fill, 0, 0, 48, 48);
        Gdiplus::Pen edge(Gdiplus::Color(255, 189, 48, 255), 2);
        g.DrawRectangle(&edge, 1, 1, 45, 45);
    }
    tip.Save(skin + L"img_tip_bk.png", &png, nullptr);

    Gdiplus::Bitmap logo(220, 60, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&logo);
        g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
        Gdiplus::Font font(&family, 40, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
        Gdiplus::SolidBrush ink(Gdiplus::Color(255, 120, 40, 200));
        g.DrawString(L"KOVA", -1, &font, Gdiplus::PointF(40, 4), &ink);
    }
    logo.Save(skin + L"logo\\logo_loading.png", &png, nullptr);

    Gdiplus::Bitmap close(64, 16, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&close);
        const Gdiplus::Color states[] = { Gdiplus::Color(255, 120, 120, 120), Gdiplus::Color(255, 220, 60, 60),
                                          Gdiplus::Color(255, 160, 30, 30), Gdiplus::Color(255, 200, 200, 200) };
        for (int i = 0; i < 4; ++i) {
            Gdiplus::Pen pen(states[i], 2);
            g.DrawLine(&pen, 16 * i + 3, 3, 16 * i + 12, 12);
            g.DrawLine(&pen, 16 * i + 12, 3, 16 * i + 3, 12);
        }
    }
    close.Save(skin + L"img_sys_close.png", &png, nullptr);
}

// What the screen shows around the dialog, its tips included.
bool saveScreenPng(const RECT& area, const std::wstring& path)
{
    const int width = area.right - area.left, height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    const bool saved = savePng(bitmap, path);
    DeleteObject(bitmap);
    return saved;
}

void pumpFor(DWORD milliseconds)
{
    const DWORD end = GetTickCount() + milliseconds;
    while (GetTickCount() < end) {
        pumpPending();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

int runHeadless(SampleDialog& dialog, const std::wstring& outDir)
{
    HWND hwnd = dialog.GetSafeHwnd();
    // A click on the pump tile, then a press on the CPU tile released outside it.
    click(hwnd, 300, 100, 300, 100);
    click(hwnd, 100, 100, 620, 380);
    // Two wheel notches over the fan list scroll it.
    POINT overList { 150, 250 };
    ClientToScreen(hwnd, &overList);
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(150, 250));
    PostMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), MAKELPARAM(overList.x, overList.y));
    pumpPending();
    // A picture dropped on the right-hand tile.
    POINT overPicture { 480, 280 };
    ClientToScreen(hwnd, &overPicture);
    dropPicture(dialog, overPicture);

    // The start-up splash beside the dialog, animating on its own timer.
    LoadingWnd splash;
    RECT window {};
    GetWindowRect(hwnd, &window);
    splash.CreateDlg(hwnd, CRect(window.right + 20, window.top, window.right + 420, window.top + 240));

    pumpFor(100);
    // The tips: a balloon under the pump tile and a key hint above the fan list.
    POINT balloonAnchor { 320, 160 };
    ClientToScreen(hwnd, &balloonAnchor);
    dialog.GetPaintManager()->SetAirBladderMsg(L"Pump speed follows\nthe coolant curve", balloonAnchor,
                                                static_cast<AIRBLADDER_TYPE>(4), static_cast<AIRBLADDER_MODE>(3));
    dialog.GetPaintManager()->ShowAirBladder(1, 0);
    CKeyboardTips keyTips;
    keyTips.Create(hwnd, L"keys", WS_POPUP, WS_EX_TOOLWINDOW, CRect(0, 0, CKeyboardTips::kWidth, CKeyboardTips::kHeight));
    POINT keyAnchor { 180, 185 };
    ClientToScreen(hwnd, &keyAnchor);
    keyTips.SetAirBladderMsg(L"Ctrl + F", L"Fan list", L"Find a fan", keyAnchor);
    ShowWindow(keyTips.GetSafeHwnd(), SW_SHOWNOACTIVATE);

    UpdateWindow(hwnd);
    pumpFor(300);

    CreateDirectoryW(outDir.c_str(), nullptr);
    RECT splashRect {};
    GetWindowRect(splash.GetSafeHwnd(), &splashRect);
    UnionRect(&window, &window, &splashRect);
    int exitCode = saveScreenPng(window, outDir + L"\\screenshot.png") ? 0 : 2;
    if (FILE* file = _wfopen((outDir + L"\\notifications.txt").c_str(), L"w, ccs=UTF-8")) {
        fputws(dialog.log.c_str(), file);
        fclose(file);
    } else {
        exitCode = 2;
    }
    DestroyWindow(splash.GetSafeHwnd());
    DestroyWindow(keyTips.GetSafeHwnd());
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
    writeDemoSkin();
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
