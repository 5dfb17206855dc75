// The cooling family's pages. "cooling-home": the scrolling home page with its headings, six
// named device tiles (two not yet available), the link buttons and the profile archive, as a
// host fills it, at the size it is made for and scaled into the page. "cooling-lists": the device selection, lighting-mode, light-layer,
// cooling-mode and system-information lists, two level bars, a temperature gauge over its
// background picture, a usage gauge and the usage ring, over skin images the host writes.
#include "SamplePage.h"

#include "HostTools.h"

using namespace KOVA;

namespace {

constexpr UINT kHomeViewId = 7099;
constexpr UINT kHomeId = 7100;
// The home page is laid out for pages 1920 pixels wide: its tile area is the page less 400
// pixels and its grid is centred for three tiles, so only there do four tiles a row fill it.
// Tall enough, scrolled to the devices heading, to show the archive below the tiles too.
constexpr int kHomeWidth = 1920;
constexpr int kHomeHeight = 1500;
constexpr int kHomeScrolledTo = 150;
constexpr UINT kFirstListId = 7200;
const Gdiplus::Color kPurple(255, 189, 48, 255);
const Gdiplus::Color kPlate(255, 52, 52, 60);
const Gdiplus::Color kLitPlate(255, 84, 60, 110);

// A plain two-frame plate: frame 0 dark, frame 1 lit.
void writePlate(const wchar_t* name, int width, int height, int frames)
{
    HostTools::WriteSkinStrip(name, width, height, frames, [](Gdiplus::Graphics& g, int frame, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush fill(frame == 0 ? kPlate : kLitPlate);
        g.FillRectangle(&fill, r);
        const Gdiplus::Pen rim(frame == 0 ? Gdiplus::Color(255, 80, 80, 90) : kPurple, 2.0f);
        g.DrawRectangle(&rim, r.X + 1, r.Y + 1, r.Width - 3, r.Height - 3);
    });
}

// A round device picture in two frames, brighter when lit.
void writeDevice(const wchar_t* name, Gdiplus::Color colour)
{
    HostTools::WriteSkinStrip(name, 120, 100, 2, [&](Gdiplus::Graphics& g, int frame, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush body(frame ? colour : Gdiplus::Color(255, colour.GetR() / 2, colour.GetG() / 2,
                                                                     colour.GetB() / 2));
        g.FillEllipse(&body, r.X + 20, r.Y + 10, 80, 80);
    });
}

// A panel that gives its children a page of their own size and shows that page scaled into
// itself: the children draw at full size off screen, the picture is shrunk and kept until a
// child asks to be drawn again (a smoothed shrink costs a large part of a second here), and
// mouse points are scaled back up before the children see them. The wheel reaches them
// unscaled (a child's hit test is all it asks of the point).
class ScaledView : public MPanel {
public:
    ScaledView(MObject* parent, UINT id, CRect rect, CSize page)
        : MPanel(parent, id, rect, 1), m_page(page)
    {
    }
    ~ScaledView() override
    {
        release(m_canvas);
        release(m_shrunk);
    }
    ScaledView(const ScaledView&) = delete;
    ScaledView& operator=(const ScaledView&) = delete;

    CRect PageRect() const { return CRect(0, 0, m_page.cx, m_page.cy); }

    int DrawSubControls(HDC& dc, CRect) override
    {
        const CRect shown = shownRect();
        if (m_stale && make(m_canvas, dc, m_page) && make(m_shrunk, dc, shown.Size())) {
            // A child that asks to be drawn again while the picture is made is drawn next time.
            m_stale = false;
            // The window's ground under the picture, stretched up, is what the children draw over.
            SetStretchBltMode(m_canvas.dc, COLORONCOLOR);
            StretchBlt(m_canvas.dc, 0, 0, m_page.cx, m_page.cy, dc, shown.left, shown.top, shown.Width(),
                       shown.Height(), SRCCOPY);
            for (MControl* child : childrenNow())
                if (child && child->IsVisible() && !isBar(child))
                    child->Draw(m_canvas.dc, PageRect());
            SetStretchBltMode(m_shrunk.dc, HALFTONE);
            SetBrushOrgEx(m_shrunk.dc, 0, 0, nullptr);
            StretchBlt(m_shrunk.dc, 0, 0, shown.Width(), shown.Height(), m_canvas.dc, 0, 0, m_page.cx, m_page.cy,
                       SRCCOPY);
        }
        if (m_shrunk.dc)
            BitBlt(dc, shown.left, shown.top, shown.Width(), shown.Height(), m_shrunk.dc, 0, 0, SRCCOPY);
        return 1;
    }
    int OnMousePointChange(CPoint& pt) override
    {
        const CRect shown = shownRect();
        pt.x = (pt.x - shown.left) * m_page.cx / shown.Width();
        pt.y = (pt.y - shown.top) * m_page.cy / shown.Height();
        return 1;
    }
    // A child's rectangles are the page's, not the window's: the whole picture is drawn again.
    LONG OnControlUpdate(CRect, int flag, MControl* control) override
    {
        m_stale = true;
        return MPanel::OnControlUpdate(m_rect, flag, control);
    }

private:
    static bool isBar(const MControl* child) { return child->GetControlID() == 1 || child->GetControlID() == 2; }

    // The largest rectangle of the page's proportions, centred in the panel.
    CRect shownRect() const
    {
        const int byWidth = m_rect.Width() * m_page.cy / m_page.cx;
        const int width = byWidth <= m_rect.Height() ? m_rect.Width() : m_rect.Height() * m_page.cx / m_page.cy;
        const int height = width * m_page.cy / m_page.cx;
        const int left = m_rect.left + (m_rect.Width() - width) / 2;
        const int top = m_rect.top + (m_rect.Height() - height) / 2;
        return CRect(left, top, left + width, top + height);
    }
    // A memory DC with a bitmap of its own size.
    struct Surface {
        HDC dc { nullptr };
        HBITMAP bitmap { nullptr };
        HGDIOBJ previous { nullptr };
        CSize size;
    };
    static bool make(Surface& surface, HDC like, CSize size)
    {
        if (surface.dc && surface.size.cx == size.cx && surface.size.cy == size.cy)
            return true;
        release(surface);
        surface.dc = CreateCompatibleDC(like);
        surface.bitmap = CreateCompatibleBitmap(like, size.cx, size.cy);
        if (!surface.dc || !surface.bitmap) {
            release(surface);
            return false;
        }
        surface.previous = SelectObject(surface.dc, surface.bitmap);
        surface.size = size;
        return true;
    }
    static void release(Surface& surface)
    {
        if (surface.dc && surface.previous)
            SelectObject(surface.dc, surface.previous);
        if (surface.bitmap)
            DeleteObject(surface.bitmap);
        if (surface.dc)
            DeleteDC(surface.dc);
        surface = Surface();
    }

    CSize m_page;
    Surface m_canvas;
    Surface m_shrunk;
    bool m_stale { true };
};

void writeHomeSkin()
{
    ::CreateDirectoryW(HostTools::SkinFolder() + L"icon", nullptr);
    ::CreateDirectoryW(HostTools::SkinFolder() + L"device", nullptr);
    writePlate(L"img_dev_bkg.png", 60, 44, 2);
    writePlate(L"img_button2.png", 60, 50, 2);
    writePlate(L"img_button.png", 40, 20, 4);
    writePlate(L"img_dev_check.png", 30, 30, 2);
    HostTools::WriteSkinStrip(L"icon\\icon_adddev.png", 48, 48, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::Pen plus(kPurple, 6.0f);
        g.DrawLine(&plus, r.X + 24, r.Y + 4, r.X + 24, r.Y + 44);
        g.DrawLine(&plus, r.X + 4, r.Y + 24, r.X + 44, r.Y + 24);
    });
    HostTools::WriteSkinStrip(L"icon\\icon_arrow_down.png", 23, 18, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush arrow(kPurple);
        const Gdiplus::Point tip[] { { r.X, r.Y }, { r.X + 23, r.Y }, { r.X + 11, r.Y + 18 } };
        g.FillPolygon(&arrow, tip, 3);
    });
    writeDevice(L"device\\img_gpu2.png", Gdiplus::Color(255, 90, 200, 120));
    writeDevice(L"device\\img_fan.png", Gdiplus::Color(255, 90, 150, 255));
    writeDevice(L"device\\img_ledscreen_circle.png", Gdiplus::Color(255, 255, 170, 60));
}

void buildHome(MPanel* page, const CRect& area)
{
    writeHomeSkin();
    // Inside the window's one-pixel border.
    auto* view = new ScaledView(page, kHomeViewId, CRect(area.left + 1, area.top, area.right - 1, area.bottom - 1),
                                CSize(kHomeWidth, kHomeHeight));
    // The page is built on the window's thread before anything ticks: no other walk of its
    // list can run yet.
    view->SetManager(page->GetManager());
    page->GetControls().push_back(view);
    const CRect homeRect = view->PageRect();
    auto* home = dynamic_cast<CHomeFuncCtrl*>(view->CreateControl(L"CHomeFuncCtrl", kHomeId, homeRect, L"", 1, 1));
    if (!home)
        return;
    // Laid out at the first rectangle that differs from the one it was made with.
    home->SetRect(CRect(homeRect.left, homeRect.top, homeRect.right, homeRect.bottom - 1));
    home->SetRect(homeRect);
    const wchar_t* names[] { L"GPU cooler", L"Round screen", L"Square screen", L"Strip", L"GPU", L"Fan hub" };
    for (int i = 0; i < 6; ++i)
        home->SetDeviceState(i, names[i], i < 4, i % 2 ? L"device\\img_fan.png" : L"device\\img_gpu2.png");
    home->ClearArchived();
    home->AddArchived(L"Quiet", L"Fans at 30 %", 1, L"2024-03-01");
    home->AddArchived(L"Gaming", L"Fans follow the GPU", 2, L"2024-05-12");
    home->AddArchived(L"Silent night", L"Lights off", 3, L"2024-06-30");
    home->SetArchivedCurProfile(2);
    home->SetVirtualTop(kHomeScrolledTo);
}

// ---- lists and gauges

void writeListSkin()
{
    writePlate(L"sample_cool_tile.png", 40, 30, 2);
    HostTools::WriteSkinStrip(L"sample_cool_box.png", 16, 16, 2, [](Gdiplus::Graphics& g, int frame, Gdiplus::Rect r) {
        const Gdiplus::Pen rim(Gdiplus::Color(255, 230, 230, 230), 2.0f);
        g.DrawRectangle(&rim, r.X + 1, r.Y + 1, 13, 13);
        if (frame) {
            const Gdiplus::SolidBrush tick(Gdiplus::Color(255, 255, 255, 255));
            g.FillRectangle(&tick, r.X + 4, r.Y + 4, 8, 8);
        }
    });
    HostTools::WriteSkinStrip(L"sample_cool_mode.png", 28, 28, 2, [](Gdiplus::Graphics& g, int frame, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush dot(frame ? kPurple : Gdiplus::Color(255, 150, 150, 160));
        g.FillEllipse(&dot, r.X + 4, r.Y + 4, 20, 20);
    });
    HostTools::WriteSkinStrip(L"sample_cool_needle.png", 8, 70, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush needle(Gdiplus::Color(255, 255, 80, 80));
        g.FillRectangle(&needle, r.X + 2, r.Y, 4, r.Height);
    });
    HostTools::WriteSkinStrip(L"sample_cool_gauge_bkg.png", 440, 280, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::LinearGradientBrush glow(r, Gdiplus::Color(255, 30, 30, 44), Gdiplus::Color(255, 60, 30, 80),
                                                Gdiplus::LinearGradientModeVertical);
        g.FillRectangle(&glow, r);
    });
}

template <class T>
T* add(MPanel* page, const wchar_t* className, UINT offset, CRect rect)
{
    return dynamic_cast<T*>(page->CreateControl(className, kFirstListId + offset, rect, L"", 1, 1));
}

void buildLists(MPanel* page, const CRect& area)
{
    writeListSkin();
    const int top = area.top;
    if (auto* devices = add<DevSelectCtrl>(page, L"DevSelectCtrl", 0, CRect(10, top + 10, 250, top + 130))) {
        devices->SetControlRect(devices->GetRect());
        const wchar_t* names[] { L"All", L"Fans", L"Pump", L"Strip", L"Screen", L"GPU" };
        for (int i = 0; i < 6; ++i)
            devices->AddDevice(names[i], i == 0 ? 0 : 1 << (i - 1));
        devices->SetItemCheck(2, 1);
        devices->SetItemCheck(4, 1);
    }
    if (auto* modes = add<LightCtrl>(page, L"LightCtrl", 1, CRect(10, top + 140, 280, top + 280))) {
        const wchar_t* names[] { L"Static", L"Breath", L"Rainbow", L"Wave", L"Flash", L"Off" };
        for (int i = 0; i < 6; ++i)
            modes->AddLight(names[i], i, L"sample_cool_mode.png");
        modes->SetAllItemHeight(140);
        modes->SetControlRect(modes->GetRect());
        modes->SetCurLightMode(2);
    }
    if (auto* layers = add<LightLayer>(page, L"LightLayer", 2, CRect(10, top + 290, 250, top + 386))) {
        layers->SetImage(L"sample_cool_box.png", 2);
        layers->SetControlRect(layers->GetRect());
        layers->AddLight(L"Base colour", 1, true);
        layers->AddLight(L"Rainbow wave", 2, false);
        layers->AddLight(L"Alarm flash", 3, true);
        layers->AddLight(L"Pulse", 4, true);
        layers->SetCurLightLayerID(2);
    }
    if (auto* cooling = add<Fan2CoolMode>(page, L"Fan2CoolMode", 3, CRect(10, top + 396, 250, top + 492))) {
        cooling->SetImage(L"sample_cool_box.png", 2);
        cooling->SetControlRect(cooling->GetRect());
        cooling->AddLight(L"Silent", 1);
        cooling->AddLight(L"Balanced", 2);
        cooling->AddLight(L"Performance", 3);
        cooling->SetSelectItem(1);
    }
    if (auto* rows = add<SysInfoCtrl>(page, L"SysInfoCtrl", 4, CRect(290, top + 10, 480, top + 140))) {
        rows->SetImage(L"sample_cool_tile.png", 2);
        for (const wchar_t* name : { L"CPU temperature", L"GPU load", L"Memory" })
            rows->AddItem(name, L"", 1);
        rows->SetSelectItem(1);
    }
    if (auto* tiles = add<SysInfo2Ctrl>(page, L"SysInfo2Ctrl", 5, CRect(290, top + 150, 620, top + 360))) {
        tiles->SetImage(L"sample_cool_tile.png", 2);
        int type = 1;
        for (const wchar_t* name : { L"CPU", L"GPU", L"Disk", L"Network", L"Fans", L"Pump" })
            tiles->AddItem(name, L"", type++);
        tiles->SetSysTypeCheck(2, 0);
        tiles->SetSysTypeCheck(5, 0);
    }
    if (auto* level = add<MLevelCtrl>(page, L"MLevelCtrl", 6, CRect(290, top + 370, 620, top + 410)))
        level->SetLevelValue(9);
    if (auto* percent = add<MLevelCtrl>(page, L"MLevelCtrl", 7, CRect(290, top + 420, 620, top + 460))) {
        percent->SetTitle(L"Speed ");
        percent->SetRangeValue(0, 20);
        percent->SetLevelValue(13);
    }
    if (auto* backdrop = add<CHardwareInfoBkg>(page, L"CHardwareInfoBkg", 8, CRect(630, top + 10, 1070, top + 290)))
        backdrop->SetImage(L"sample_cool_gauge_bkg.png", 1);
    if (auto* temperature = add<CHardwareInfo>(page, L"CHardwareInfo", 9, CRect(630, top + 10, 1070, top + 290))) {
        temperature->SetHardwareType(1);
        temperature->SetPointImage(L"sample_cool_needle.png");
        temperature->SetHardwareInfo(L"CPU", L"Temp", L"Load");
        temperature->SetHardwareInfoValue(64, 38);
    }
    if (auto* memory = add<CHardwareInfo>(page, L"CHardwareInfo", 10, CRect(630, top + 300, 1070, area.bottom - 10))) {
        memory->SetHardwareType(3);
        memory->SetPointImage(L"sample_cool_needle.png");
        memory->SetHardwareInfo(L"Memory", L"Used", L"");
        memory->SetMemoryUsed(10.0f, 6.0f);
    }
    // A slice of the ring through its centre: its sizes are fixed, not fitted to the control.
    add<UsageRateCtrl>(page, L"UsageRateCtrl", 11, CRect(290, top + 470, 620, area.bottom - 10));
}

} // namespace

extern const SamplePage kCoolingHomePage { L"cooling-home", buildHome, nullptr, nullptr };
extern const SamplePage kCoolingListsPage { L"cooling-lists", buildLists, nullptr, nullptr };
