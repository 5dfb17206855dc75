// The buttons page: every clickable class of the family in its four looks (normal, hover,
// pressed, disabled), a row of MButton tiles with a download bar and an update badge, and a
// pop-up menu that opens by itself the first time the page is shown.
#include "SamplePage.h"

#include <cwchar>
#include <iterator>
#include <map>
#include <vector>

#include "HostTools.h"

using namespace KOVA;

namespace {

constexpr UINT kFirstId = 3000;
constexpr UINT kMenuOpenerId = 3900;
constexpr UINT kMenuMessage = WM_APP + 40;
constexpr int kCellWidth = 350;
constexpr int kCellHeight = 42;
constexpr int kSlotWidth = 80;
constexpr int kSlotHeight = 30;

// ---- the page's own skin, drawn once into the skin folder

void writeButtonSkin()
{
    // Fill and border of normal, hover, pressed and disabled.
    const Gdiplus::Color fills[4] { { 255, 58, 110, 165 }, { 255, 78, 140, 205 }, { 255, 38, 80, 130 }, { 255, 80, 80, 80 } };
    const Gdiplus::Color border(255, 160, 196, 232);
    HostTools::WriteSkinStrip(L"sample_button.png", 24, 24, 4, [&](Gdiplus::Graphics& g, int frame, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush fill(fills[frame]);
        g.FillRectangle(&fill, r);
        const Gdiplus::Pen pen(border, 1.0f);
        g.DrawRectangle(&pen, r.X, r.Y, r.Width - 1, r.Height - 1);
    });
    // Unchecked normal, hover, pressed, disabled, then the same four checked.
    auto box = [&](bool round) {
        return [&, round](Gdiplus::Graphics& g, int frame, Gdiplus::Rect r) {
            const Gdiplus::Pen pen(frame % 4 == 3 ? fills[3] : border, 2.0f);
            const Gdiplus::Rect inner(r.X + 2, r.Y + 2, r.Width - 4, r.Height - 4);
            round ? g.DrawEllipse(&pen, inner) : g.DrawRectangle(&pen, inner);
            if (frame < 4)
                return;
            const Gdiplus::SolidBrush mark(fills[frame % 4]);
            const Gdiplus::Rect dot(r.X + 5, r.Y + 5, r.Width - 10, r.Height - 10);
            round ? g.FillEllipse(&mark, dot) : g.FillRectangle(&mark, dot);
        };
    };
    HostTools::WriteSkinStrip(L"sample_check.png", 18, 18, 8, box(false));
    HostTools::WriteSkinStrip(L"sample_radio.png", 18, 18, 8, box(true));
    auto knob = [&](bool on) {
        return [&, on](Gdiplus::Graphics& g, int frame, Gdiplus::Rect r) {
            const Gdiplus::SolidBrush track(on ? Gdiplus::Color(255, 189, 48, 255) : fills[3]);
            g.FillRectangle(&track, r.X, r.Y + 4, r.Width, r.Height - 8);
            const Gdiplus::SolidBrush thumb(frame == 1 ? Gdiplus::Color(255, 255, 255, 255) : Gdiplus::Color(255, 210, 210, 210));
            g.FillEllipse(&thumb, on ? r.X + r.Width - r.Height : r.X, r.Y, r.Height, r.Height);
        };
    };
    HostTools::WriteSkinStrip(L"sample_switch_on.png", 44, 22, 4, knob(true));
    HostTools::WriteSkinStrip(L"sample_switch_off.png", 44, 22, 4, knob(false));
    HostTools::WriteSkinStrip(L"sample_help.png", 20, 20, 1, [&](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush fill(fills[0]);
        g.FillEllipse(&fill, r);
    });
}

// ---- the four looks

enum class PageLook { Normal, Hover, Pressed, Disabled };

// Moves, presses and enabling reach the control the way the window would hand them on.
void showLook(MControl* control, PageLook look)
{
    const CRect rect = control->GetRect();
    const CPoint centre(rect.left + rect.Width() / 2, rect.top + rect.Height() / 2);
    switch (look) {
    case PageLook::Normal: break;
    case PageLook::Hover: control->OnMouseMove(0, centre); break;
    case PageLook::Pressed: control->OnLButtonDown(MK_LBUTTON, centre); break;
    case PageLook::Disabled: control->SetEnabled(0); break;
    }
}

struct Kind {
    const wchar_t* className;
    const wchar_t* title;
    const wchar_t* image;
    int frames;
};

const Kind kKinds[] {
    { L"MButton", L"MButton", L"sample_button.png", 4 },
    { L"CImageButton", L"", L"sample_button.png", 4 },
    { L"CImageButton2", L"", L"sample_button.png", 4 },
    { L"MButton2", L"MButton2", L"sample_button.png", 4 },
    { L"MButton3", L"Toggle", nullptr, 0 },
    { L"CTextButton", L"Text", nullptr, 0 },
    { L"UpgradeButton", L"Update", L"sample_button.png", 4 },
    { L"DownloadButton", L"Get", L"sample_button.png", 4 },
    { L"CTimerButton", L"OK", L"sample_button.png", 4 },
    { L"CCheckButton", L"Check", L"sample_check.png", 8 },
    { L"CRadioButton", L"Radio", L"sample_radio.png", 8 },
    { L"CRadioButton2", L"Tint", nullptr, 0 },
    { L"CColorButton", L"", nullptr, 0 },
    { L"CColorButton2", L"", nullptr, 0 },
    { L"CColorButton3", L"", nullptr, 0 },
    { L"CSwitchButton", L"", nullptr, 0 },
    { L"CIconButton", L"Icon", L"sample_button.png", 4 },
    { L"MenuItem", L"Row", nullptr, 0 },
};

const PageLook kLooks[] { PageLook::Normal, PageLook::Hover, PageLook::Pressed, PageLook::Disabled };

// Per class, what makes its looks worth seeing.
void dress(MControl* control, int slot)
{
    const COLORREF swatches[4] { RGB(230, 60, 60), RGB(60, 200, 90), RGB(60, 120, 230), RGB(240, 200, 40) };
    if (auto* swatch = dynamic_cast<CColorButton*>(control))
        swatch->SetColor(swatches[slot]);
    else if (auto* toggle = dynamic_cast<CSwitchButton*>(control)) {
        toggle->SetImage(L"sample_switch_on.png", L"sample_switch_off.png", 4);
        toggle->SetCheck(slot % 2);
    } else if (auto* upgrade = dynamic_cast<UpgradeButton*>(control))
        upgrade->SetUpgradeStatus(1);
    else if (auto* timer = dynamic_cast<CTimerButton*>(control); timer && slot == 0)
        timer->SetRun(1);
    else if (auto* radio = dynamic_cast<CRadioButton*>(control))
        radio->SetGroupName(CString(L"sample") + static_cast<wchar_t>(L'0' + slot));
    if (auto* check = dynamic_cast<CCheckButton*>(control); check && slot % 2)
        check->SetCheck(1);
}

// ---- the menu

// Opens the page's menu below itself when clicked, and by itself the first time the page is
// shown, so that the page's picture has it open.
class MenuOpener : public MButton {
public:
    using MButton::MButton;

    int OnControlTimer() override
    {
        if (m_opened || !IsVisible() || !IsParentVisible())
            return 0;
        m_opened = true;
        m_manager->KillTimer(this, 1);
        for (MControl* control : m_shown)
            showLook(control, m_looks[control]);
        open();
        return 1;
    }
    int OnControlLButtonUp(UINT keys, CPoint pt) override
    {
        const int result = MButton::OnControlLButtonUp(keys, pt);
        if (Contains(pt))
            open();
        return result;
    }
    // The looks are shown again as the page appears: the window's own moves reset hovers.
    void keepLook(MControl* control, PageLook look)
    {
        m_shown.push_back(control);
        m_looks[control] = look;
    }

private:
    void open()
    {
        auto* menu = new MenuWnd(nullptr);
        menu->AddMenu(L"Fan curve", 1, -1, 0, 0);
        menu->AddMenu(L"Lighting", 2, -1, 0, 0);
        menu->AddSeparator(3, CString());
        menu->AddMenu(L"Profiles", 4, -1, 0, 0);
        menu->SetItemEnable(L"Profiles", 0);
        POINT corner { m_rect.left, m_rect.bottom + 2 };
        ClientToScreen(m_manager->GetPaintWnd(), &corner);
        menu->Create(m_manager->GetPaintWnd(), CPoint(corner), kMenuMessage);
        m_menuWindow = menu->GetSafeHwnd();
    }

public:
    // Headless, nothing takes the activation from the menu: the host closes it once the page's
    // picture is taken, or it would stay over the later pages.
    void closeMenu()
    {
        if (m_menuWindow && ::IsWindow(m_menuWindow))
            ::DestroyWindow(m_menuWindow);
        m_menuWindow = nullptr;
    }

private:
    HWND m_menuWindow { nullptr };
    bool m_opened { false };
    std::vector<MControl*> m_shown;
    std::map<MControl*, PageLook> m_looks;
};

void build(MPanel* page, const CRect& area)
{
    writeButtonSkin();
    const int left = area.left + 20, top = area.top + 12;
    auto* opener = new MenuOpener(page, kMenuOpenerId, CRect(left, top + 380, left + 160, top + 412), L"Open menu", 1, 1);
    opener->SetManager(page->GetManager());
    opener->SetImage(L"sample_button.png", 4);
    page->GetControls().push_back(opener);

    UINT id = kFirstId;
    for (size_t k = 0; k < std::size(kKinds); ++k) {
        const Kind& kind = kKinds[k];
        const int cellLeft = left + static_cast<int>(k % 3) * kCellWidth;
        const int cellTop = top + static_cast<int>(k / 3) * kCellHeight;
        for (int slot = 0; slot < 4; ++slot) {
            const int x = cellLeft + slot * (kSlotWidth + 5);
            MControl* control = page->CreateControl(kind.className, id++, CRect(x, cellTop, x + kSlotWidth, cellTop + kSlotHeight),
                                                    kind.title, 1, 1);
            if (!control)
                continue;
            if (auto* font = dynamic_cast<MControlFont*>(control); font && kind.image)
                font->SetImage(kind.image, kind.frames);
            dress(control, slot);
            opener->keepLook(control, kLooks[slot]);
        }
    }

    // MButton tiles, as the host's own tiles would be, with a download under way.
    const int tilesTop = top + 6 * kCellHeight + 16;
    for (int i = 0; i < 6; ++i) {
        const int x = left + i * 170;
        wchar_t title[8];
        swprintf(title, 8, L"B%03d", i);
        MControl* tile = page->CreateControl(i == 5 ? L"DownloadButton" : L"MButton", id++,
                                             CRect(x, tilesTop, x + 160, tilesTop + 80), title, 1, 1);
        static_cast<MControlFont*>(tile)->SetImage(L"sample_button.png", 4);
        if (auto* download = dynamic_cast<DownloadButton*>(tile))
            download->SetDownloadProcess(42);
    }
    auto* veil = dynamic_cast<CArea*>(page->CreateArea(L"CArea", id++, CRect(left - 10, tilesTop - 8, left + 1020, tilesTop + 88), L"", 1, 1));
    veil->SetTransparent(0, 100, RGB(189, 48, 255));
    MControl* help = page->CreateControl(L"CHelpButton", id++, CRect(left + 180, top + 386, left + 200, top + 406),
                                         L"Help text", 1, 1);
    static_cast<MControlFont*>(help)->SetImage(L"sample_help.png", 1);
    page->GetManager()->SetTimer(opener, 1, 50);
}

void closeMenu(KOVA::MPanel* page, const std::wstring&)
{
    for (MControl* control : page->GetControls())
        if (auto* opener = dynamic_cast<MenuOpener*>(control))
            opener->closeMenu();
}

} // namespace

extern const SamplePage kButtonsPage { L"buttons", build, closeMenu, nullptr };
