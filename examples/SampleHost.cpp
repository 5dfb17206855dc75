// A sample host: starts KOVA and opens a dialog with one page per control family, switched by
// the host's own page bar. With an output folder it runs headless:
//   SampleHost.exe OUTDIR   shows every page in turn and writes OUTDIR\pages\NAME.png (the
//                           window as the screen shows it), what each page writes itself
//                           (the LCD frames into OUTDIR\lcd) and OUTDIR\notifications.txt
// Without one it stays open until closed.
#include "KOVA.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "HostTools.h"
#include "PageBar.h"
#include "pages/FrameworkPage.h"
#include "pages/PageList.h"

using namespace KOVA;

namespace {

constexpr int kWindowWidth = 1080;
constexpr int kWindowHeight = 640;
constexpr int kBarHeight = 40;
// Ids of the host's own controls, clear of the ids the pages give theirs.
constexpr UINT kPageBarId = 60000;
constexpr UINT kFirstPageId = 60001;

// The sample's own skin: the balloon's background, the splash's logo and close button, the
// spin boxes' arrows. A real host ships these in its skins folder.
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
    Gdiplus::FontFamily family(L"DejaVu Sans");

    Gdiplus::Bitmap tip(48, 48, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&tip);
        Gdiplus::SolidBrush fill(Gdiplus::Color(235, 58, 30, 96));
        g.FillRectangle(&fill, 0, 0, 48, 48);
        Gdiplus::Pen edge(Gdiplus::Color(255, 189, 48, 255), 2);
        g.DrawRectangle(&edge, 1, 1, 45, 45);
    }
    HostTools::SavePng(tip, static_cast<const wchar_t*>(skin + L"img_tip_bk.png"));

    Gdiplus::Bitmap logo(220, 60, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&logo);
        g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
        Gdiplus::Font font(&family, 40, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
        Gdiplus::SolidBrush ink(Gdiplus::Color(255, 120, 40, 200));
        g.DrawString(L"KOVA", -1, &font, Gdiplus::PointF(40, 4), &ink);
    }
    HostTools::SavePng(logo, static_cast<const wchar_t*>(skin + L"logo\\logo_loading.png"));

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
    HostTools::SavePng(close, static_cast<const wchar_t*>(skin + L"img_sys_close.png"));
    HostTools::WriteSpinArrows();
}

class SampleDialog : public MDialog {
public:
    void InitUI(CRect client) override
    {
        // The paint manager has registered the library's font with GDI by now. Wine's GDI+
        // takes its list of installed faces once, at the first font family made: a family made
        // before that registration leaves the LCD's product face unknown for the process, and
        // its texts in the generic face. The skin is written here, before the pages read it.
        writeDemoSkin();
        GetPaintManager()->SetBackColor(RGB(32, 32, 32), RGB(189, 48, 255));
        std::vector<const wchar_t*> captions;
        for (size_t i = 0; i < kSamplePageCount; ++i)
            captions.push_back(kSamplePages[i]->name);
        // Inside the window's one-pixel border.
        m_bar = new PageBar(this, kPageBarId,
                            CRect(client.left + 1, client.top + 1, client.right - 1, client.top + kBarHeight), captions);
        add(m_bar);
        const CRect area(client.left, client.top + kBarHeight, client.right, client.bottom);
        for (size_t i = 0; i < kSamplePageCount; ++i) {
            auto* page = new MPanel(this, kFirstPageId + static_cast<UINT>(i), area, i == 0);
            add(page);
            kSamplePages[i]->build(page, area);
            m_pages.push_back(page);
        }
    }
    LRESULT OnMessage(UINT id, UINT code, UINT wParam, LONG) override
    {
        if (id == kPageBarId && code == PageBar::kPageChosen) {
            showPage(wParam);
            return 0;
        }
        wchar_t line[96];
        swprintf(line, 96, L"control %u: code %u (wParam %u)\n", id, code, wParam);
        log += line;
        if (const SamplePage& shown = *kSamplePages[ShownPage()]; shown.notified)
            shown.notified(*this, id, code);
        return 0;
    }

    size_t ShownPage() const { return m_bar->GetSelected(); }
    MPanel& Page(size_t index) { return *m_pages[index]; }
    CRect PageSwitchRect(size_t index) const { return m_bar->CaptionRect(index); }

    std::wstring log;

private:
    void showPage(size_t index)
    {
        if (index >= m_pages.size())
            return;
        for (size_t i = 0; i < m_pages.size(); ++i)
            m_pages[i]->SetVisible(i == index ? 1 : 0);
        m_bar->Select(index);
        GetPaintManager()->Invalidate();
    }
    void add(MControl* control)
    {
        control->SetManager(GetPaintManager());
        GetPaintManager()->AppendControl(control, 1);
    }

    PageBar* m_bar { nullptr };
    std::vector<MPanel*> m_pages;
};

// Chooses the page with a click on its switch, as a user would, and waits until it shows.
bool choosePage(SampleDialog& dialog, size_t index)
{
    HostTools::PostClick(dialog.GetSafeHwnd(), HostTools::CentreOf(dialog.PageSwitchRect(index)));
    return HostTools::PumpUntil([&] { return dialog.ShownPage() == index; }, 2000);
}

bool writeText(const std::wstring& text, const std::wstring& path)
{
    FILE* file = _wfopen(path.c_str(), L"w, ccs=UTF-8");
    if (!file)
        return false;
    fputws(text.c_str(), file);
    return fclose(file) == 0;
}

int runHeadless(SampleDialog& dialog, const std::wstring& outDir)
{
    constexpr DWORD kSettleTime = 300;
    HWND hwnd = dialog.GetSafeHwnd();
    CreateDirectoryW(outDir.c_str(), nullptr);
    CreateDirectoryW((outDir + L"\\pages").c_str(), nullptr);
    int exitCode = 0;
    for (size_t i = 0; i < kSamplePageCount; ++i) {
        const SamplePage& page = *kSamplePages[i];
        if (!choosePage(dialog, i))
            exitCode = 2;
        std::unique_ptr<FrameworkTour> tour;
        if (&page == &kFrameworkPage)
            tour = std::make_unique<FrameworkTour>(dialog, dialog.Page(i));
        UpdateWindow(hwnd);
        HostTools::PumpFor(kSettleTime);
        RECT window {};
        GetWindowRect(hwnd, &window);
        if (!HostTools::SaveScreenPng(window, outDir + L"\\pages\\" + page.name + L".png"))
            exitCode = 2;
        if (page.writeOutputs)
            page.writeOutputs(&dialog.Page(i), outDir);
    }
    if (!writeText(dialog.log, outDir + L"\\notifications.txt"))
        exitCode = 2;
    DestroyWindow(hwnd);
    HostTools::PumpPending();
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
        dialog.Create(nullptr, L"KOVA sample host", WS_POPUP | WS_VISIBLE, 0,
                      CRect(0, 0, kWindowWidth, kWindowHeight));
        if (!outDir.empty()) {
            exitCode = runHeadless(dialog, outDir);
        } else {
            Manager::MessageLoop();
        }
    }
    Manager::UnInitGdiplus();
    return exitCode;
}
