#include "FrameworkPage.h"

#include <algorithm>
#include <cwchar>

#include "HostTools.h"

using namespace KOVA;

namespace {

enum ControlId : UINT {
    kCpuTile = 100,
    kPumpTile = 101,
    kCaseTile = 102,
    kFanList = 300,
    kFirstFan = 200,
    kPicture = 400,
};

// A row of the fan list: a filled box with a caption that reports presses (code 1) and
// clicks (code 2).
class DemoTile : public MControlFont {
public:
    DemoTile(MObject* parent, UINT id, CRect rect, const wchar_t* title, Gdiplus::Color fill)
        : MControlFont(parent, id, rect, title, 1, 1, 1), m_fill(fill)
    {
        SetAlignment(1, 4);
        SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    }

    void DrawControl(HDC& dc, CRect) override
    {
        Gdiplus::Graphics graphics(dc);
        Gdiplus::SolidBrush brush(m_down ? Gdiplus::Color(255, 250, 250, 250) : m_fill);
        graphics.FillRectangle(&brush, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height());
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

// Shows the picture dropped on the window (it arrives as STM_SETIMAGE with a bitmap) while its
// page is shown.
class PictureTile : public MControlFont {
public:
    PictureTile(MObject* parent, UINT id, CRect rect) : MControlFont(parent, id, rect, L"Drop a picture here", 1, 1, 1)
    {
        SetAlignment(1, 4);
        SetTextColor(Gdiplus::Color(255, 160, 160, 160));
    }
    ~PictureTile() override { setPicture(nullptr); }

    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg != STM_SETIMAGE || wParam != IMAGE_BITMAP || !IsParentVisible())
            return 0;
        setPicture(reinterpret_cast<HBITMAP>(lParam));
        return 1;
    }
    void DrawControl(HDC& dc, CRect) override
    {
        MRender::FillSolidRect(dc, &m_rect, RGB(60, 60, 60));
        if (!m_bitmap) {
            Gdiplus::Graphics graphics(dc);
            DrawString(graphics, m_title, m_rect);
            return;
        }
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
    void setPicture(HBITMAP bitmap)
    {
        if (m_bitmap)
            DeleteObject(m_bitmap);
        m_bitmap = bitmap;
        if (bitmap)
            UpdateControl(1, 0);
    }

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
            auto* tile = new DemoTile(this, kFirstFan + i, CRect(rect.left, top + 4, rect.right - 14, top + kRow - 4),
                                      title, Gdiplus::Color(255, 70, 90 + 20 * static_cast<int>(i), 120));
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
        {
            ScopedLock lock(m_controlsLock);
            for (MControl* child : *m_controls)
                if (child && child->GetControlID() >= kFirstFan)
                    child->Draw(dc, contentPaint);
        }
        RestoreDC(dc, saved);
        GetScrollVertical()->Draw(dc, paintRect);
        return 1;
    }
};

// The page is built on the window's thread before anything ticks: no other walk of its list
// can run yet.
void append(MPanel* page, MControl* control)
{
    control->SetManager(page->GetManager());
    page->GetControls().push_back(control);
}

// Normal, hover, pressed and disabled of a top tile: its colour, lighter, darker, grey. Drawn
// at the tile's own size: a stretched small frame shows seams where its corners end.
void writeTileSkin(const wchar_t* name, Gdiplus::Color colour, const CRect& tile)
{
    auto shade = [&](int step) {
        auto channel = [step](BYTE value) { return static_cast<BYTE>(std::clamp(value + step, 0, 255)); };
        return Gdiplus::Color(255, channel(colour.GetR()), channel(colour.GetG()), channel(colour.GetB()));
    };
    const Gdiplus::Color looks[4] { colour, shade(30), shade(-30), Gdiplus::Color(255, 80, 80, 80) };
    HostTools::WriteSkinStrip(name, tile.Width(), tile.Height(), 4, [&](Gdiplus::Graphics& g, int frame, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush fill(looks[frame]);
        g.FillRectangle(&fill, r);
    });
}

void build(MPanel* page, const CRect& area)
{
    const struct {
        const wchar_t* title;
        Gdiplus::Color colour;
        const wchar_t* skin;
    } tiles[] = {
        { L"CPU fan", Gdiplus::Color(255, 58, 110, 165), L"framework_cpu.png" },
        { L"Pump", Gdiplus::Color(255, 120, 60, 190), L"framework_pump.png" },
        { L"Case fans", Gdiplus::Color(255, 40, 150, 90), L"framework_case.png" },
    };
    // Room between the tiles and the list for the tips the tour shows.
    const int left = area.left + 30, top = area.top + 30, listTop = top + 230;
    for (UINT i = 0; i < 3; ++i) {
        const int tileLeft = left + static_cast<int>(i) * 200;
        const CRect rect(tileLeft, top, tileLeft + 180, top + 110);
        writeTileSkin(tiles[i].skin, tiles[i].colour, rect);
        auto* tile = static_cast<MControlFont*>(
            page->CreateControl(L"MButton", kCpuTile + i, rect, tiles[i].title, 1, 1));
        tile->SetImage(tiles[i].skin, 4);
        tile->SetTextColor(Gdiplus::Color(255, 255, 255, 255));
    }
    auto* list = new FanList(page, kFanList, CRect(left, listTop, left + 300, listTop + 240));
    append(page, list);
    list->InitUI(list->GetRect());
    append(page, new PictureTile(page, kPicture, CRect(left + 330, listTop, left + 580, listTop + 240)));
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

void dropPicture(PaintManager& target, POINT screenPoint)
{
    auto* data = new CIDataObject(nullptr);
    data->AddRef();
    FORMATETC format { CF_DIB, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL };
    STGMEDIUM medium {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = makeDib(160, 120);
    data->SetData(&format, &medium, TRUE);
    DWORD effect = DROPEFFECT_COPY;
    const POINTL at { screenPoint.x, screenPoint.y };
    target.DragEnter(data, MK_LBUTTON, at, &effect);
    target.DragOver(MK_LBUTTON, at, &effect);
    target.Drop(data, 0, at, &effect);
    data->Release();
}

CRect rectOf(MPanel& page, UINT id) { return page.GetControl(id)->GetRect(); }

// A click on the pump tile saves its profile, and the window says so.
void notified(MDialog& dialog, UINT id, UINT code)
{
    constexpr UINT kClicked = 2;
    if (id == kPumpTile && code == kClicked)
        dialog.SetMessage(L"Pump profile saved", CRect(), MsgLevelInfo);
}

} // namespace

extern const SamplePage kFrameworkPage { L"framework", build, nullptr, notified };

FrameworkTour::FrameworkTour(MDialog& dialog, MPanel& page) : m_dialog(dialog)
{
    using namespace HostTools;
    HWND hwnd = dialog.GetSafeHwnd();
    const CRect pump = rectOf(page, kPumpTile), cpu = rectOf(page, kCpuTile);
    const CRect list = rectOf(page, kFanList), picture = rectOf(page, kPicture);
    PostClick(hwnd, CentreOf(pump));
    PostClick(hwnd, CentreOf(cpu), POINT { picture.right + 10, picture.bottom + 10 });
    const POINT overList = CentreOf(list);
    const POINT overListOnScreen = ScreenPoint(hwnd, overList);
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(overList.x, overList.y));
    PostMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)),
                 MAKELPARAM(overListOnScreen.x, overListOnScreen.y));
    PumpPending();
    dropPicture(*dialog.GetPaintManager(), ScreenPoint(hwnd, CentreOf(picture)));

    // The start-up splash, animating on its own timer, right of the picture.
    const POINT splashCorner = ScreenPoint(hwnd, POINT { picture.right + 40, pump.top });
    m_splash.CreateDlg(hwnd, CRect(splashCorner.x, splashCorner.y, splashCorner.x + 400, splashCorner.y + 240));
    PumpFor(100);

    // A balloon under the pump tile, a key hint above the fan list.
    dialog.GetPaintManager()->SetAirBladderMsg(L"Pump speed follows\nthe coolant curve",
                                               ScreenPoint(hwnd, POINT { pump.CenterPoint().x, pump.bottom }),
                                               AirBladderTypeNoAutoHide, AirBladderModeBelow);
    dialog.GetPaintManager()->ShowAirBladder(1, 0);
    m_keyTips.Create(hwnd, L"keys", WS_POPUP, WS_EX_TOOLWINDOW,
                     CRect(0, 0, CKeyboardTips::kWidth, CKeyboardTips::kHeight));
    m_keyTips.SetAirBladderMsg(L"Ctrl + F", L"Fan list", L"Find a fan",
                               ScreenPoint(hwnd, POINT { list.left + 150, list.top - 5 }));
    ShowWindow(m_keyTips.GetSafeHwnd(), SW_SHOWNOACTIVATE);
}

FrameworkTour::~FrameworkTour()
{
    // The message would otherwise stay over the next page until its hold time ran out.
    m_dialog.SetMessage(L"", CRect(), MsgLevelInfo);
    m_dialog.GetPaintManager()->ShowAirBladder(0, 0);
    DestroyWindow(m_keyTips.GetSafeHwnd());
    DestroyWindow(m_splash.GetSafeHwnd());
    HostTools::PumpPending();
}
