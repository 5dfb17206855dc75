#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <typeinfo>
#include <vector>

#include "ButtonKinds.h"
#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "PumpUntil.h"
#include "ScratchStrip.h"
#include "TestWindow.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

template <class T>
bool isA(MControl* control) { return typeid(*control) == typeid(T); }

struct FactoryRow { const wchar_t* name; bool (*isClass)(MControl*); char form; bool inWindowTable; };

const FactoryRow kRows[] {
    { L"CArea", isA<CArea>, 'C', true },                 { L"MButton", isA<MButton>, 'A', true },
    { L"CImageButton", isA<CImageButton>, 'A', true },   { L"CTextButton", isA<CTextButton>, 'A', true },
    { L"CCheckButton", isA<CCheckButton>, 'A', true },   { L"CRadioButton", isA<CRadioButton>, 'A', true },
    { L"CIconButton", isA<CIconButton>, 'A', true },     { L"CTimerButton", isA<CTimerButton>, 'A', true },
    { L"CHelpButton", isA<CHelpButton>, 'A', true },     { L"CColorButton", isA<CColorButton>, 'B', true },
    { L"CSwitchButton", isA<CSwitchButton>, 'B', true }, { L"MenuItem", isA<MenuItem>, 'D', true },
    { L"MButton2", isA<MButton2>, 'D', true },           { L"CImageButton2", isA<CImageButton2>, 'D', true },
    { L"UpgradeButton", isA<UpgradeButton>, 'D', false }, { L"DownloadButton", isA<DownloadButton>, 'D', false },
    { L"CRadioButton2", isA<CRadioButton2>, 'D', false }, { L"CColorButton2", isA<CColorButton2>, 'C', false },
    { L"CColorButton3", isA<CColorButton3>, 'C', false }, { L"MButton3", isA<MButton3>, 'G', false },
};

// Built with a = 0, b = 0: what each form makes of them, and whether it passes the title.
void expectForm(MControl* control, char form)
{
    const bool visible = form == 'G';
    const bool enabled = form == 'C' || form == 'D' || form == 'G';
    const bool titled = form == 'A' || form == 'D' || form == 'G';
    EXPECT_EQ(visible ? 1 : 0, control->IsVisible());
    EXPECT_EQ(enabled ? 1 : 0, control->IsEnabled());
    if (auto* font = dynamic_cast<MControlFont*>(control)) {
        EXPECT_EQ(CString(titled ? L"T" : L""), font->GetTitle());
    }
}

TEST(ButtonFactories, EachRowBuildsItsClassWithItsFormsFlags)
{
    PaintManager manager;
    MPanel panel(nullptr, 1, CRect(0, 0, 100, 100), 1);
    const CRect place(1, 2, 30, 40);
    for (const FactoryRow& row : kRows) {
        SCOPED_TRACE(testing::Message() << row.name);
        std::unique_ptr<MControl> fromPanel(panel.CreateControl(2, &panel, row.name, 3, place, L"T", 0, 0));
        ASSERT_NE(nullptr, fromPanel);
        EXPECT_TRUE(row.isClass(fromPanel.get()));
        EXPECT_EQ(place, fromPanel->GetRect());
        expectForm(fromPanel.get(), row.form);
        std::unique_ptr<MControl> fromWindow(manager.CreateControl(2, nullptr, row.name, 3, place, L"T", 0, 0));
        EXPECT_EQ(row.inWindowTable, fromWindow != nullptr);
        if (fromWindow) {
            EXPECT_TRUE(row.isClass(fromWindow.get()));
            expectForm(fromWindow.get(), row.form);
        }
    }
}

TEST(ButtonFactories, ClassNamesAreTheOnesGroupsCompare)
{
    struct Row { const char* kind; const wchar_t* className; };
    const Row rows[] {
        { "CRadioButton", L"RadioButton" }, { "CRadioButton2", L"CRadioButton2" }, { "CColorButton", L"ColorButton" },
        { "CColorButton2", L"CColorButton2" }, { "CColorButton3", L"CColorButton3" }, { "CIconButton", L"IconButton" },
        { "MenuItem", L"MenuItem" }, { "CCheckButton", L"MControl" }, { "CSwitchButton", L"MControl" },
    };
    RecordingParent parent;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.kind);
        std::unique_ptr<ButtonBase> button(buttonKind(row.kind).build(nullptr, &parent, 1, CRect(), L""));
        EXPECT_EQ(1, button->IsClass(row.className));
    }
}

// Create, paint, hover and destroy every class many times, in a real window whose balloon
// and key tips they use: nothing may stay behind.
TEST(ButtonResources, ThousandsOfButtonsAndAHundredMenusLeaveNoGdiObjectBehind)
{
    ScratchStrip strip(GetSkinPath(), L"h7_factory_strip.png", 4, 4, { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF808080 });
    TestWindow window(400, 300, WS_POPUP);
    PaintManager manager;
    manager.Init(window.hwnd(), nullptr);
    RecordingParent parent;
    DibCanvas canvas(40, 30);
    // Small: what is counted here does not depend on the size, GDI+'s time for images does.
    const CRect place(10, 10, 26, 18);
    const CPoint inside(12, 12);
    auto cycle = [&](const ButtonKind& kind, int round) {
        std::unique_ptr<ButtonBase> button(kind.build(nullptr, &parent, 1, place, L"T"));
        button->SetManager(&manager);
        button->SetImage(L"h7_factory_strip.png", 4);
        // Every tenth icon button opens its key tip window.
        if (auto* icon = dynamic_cast<CIconButton*>(button.get()); icon && round % 10 == 0) {
            icon->SetShowTips(true);
            icon->SetTips(L"Key", L"Action", L"Ctrl+K");
        }
        if (auto* image = dynamic_cast<CImageButton*>(button.get()))
            image->SetAlrBladderMode(AirBladderModeRight);
        button->Draw(canvas.dc(), CRect(0, 0, 40, 30));
        button->OnMouseMove(0, inside);
        button->Draw(canvas.dc(), CRect(0, 0, 40, 30));
        button->OnMouseMove(0, CPoint(35, 25));
    };
    auto menus = [&] {
        auto* menu = new MenuWnd(nullptr);
        menu->AddMenu(L"One", 1, -1, 0, 0);
        menu->AddSeparator(2, CString());
        menu->AddMenu(L"Two", 3, CString(L"h7_factory_strip.png"), 0, 0);
        menu->Create(window.hwnd(), CPoint(50, 50), WM_APP);
        const HWND handle = menu->GetSafeHwnd();
        UpdateWindow(handle);
        menu->CloseWindow();
        pumpUntil([&] { return !IsWindow(handle); });
    };
    for (const ButtonKind& kind : allButtonKinds())
        for (int i = 0; i < 3; ++i)
            cycle(kind, 0);
    menus();
    pumpMessages();
    if (countGdiObjects() < 0)
        GTEST_SKIP() << "GDI objects can only be counted under Wine";
    // Programs running beside this one can make Wine create an object of its own once (a
    // focus or activation change): a leak is what the second half of the rounds still adds.
    auto growthOverSecondHalf = [&](const std::function<void(int)>& round, int rounds) {
        for (int i = 0; i < rounds / 2; ++i)
            round(i);
        pumpMessages();
        const int halfway = countGdiObjects();
        for (int i = rounds / 2; i < rounds; ++i)
            round(i);
        pumpMessages();
        return countGdiObjects() - halfway;
    };
    for (const ButtonKind& kind : allButtonKinds())
        EXPECT_EQ(0, growthOverSecondHalf([&](int i) { cycle(kind, i); }, 1000)) << kind.name;
    EXPECT_EQ(0, growthOverSecondHalf([&](int) { menus(); }, 100)) << "menus";
    manager.DestroyData();
}

} // namespace
