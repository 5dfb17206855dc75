#include <gtest/gtest.h>

#include <cstring>
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

// Every class of the family by name: the form its factory row calls the constructor in, which
// of the window's and the panel's tables name it, and the name IsClass answers to (groups
// compare these), when the class has one of its own.
struct FactoryRow { const wchar_t* name; bool (*isClass)(MControl*); char form; bool inWindowTable, inPanelTable; const wchar_t* className; };

const FactoryRow kRows[] {
    { L"CArea", isA<CArea>, 'C', true, true, nullptr },
    { L"MButton", isA<MButton>, 'A', true, true, nullptr },
    { L"CImageButton", isA<CImageButton>, 'A', true, true, nullptr },
    { L"CTextButton", isA<CTextButton>, 'A', true, true, nullptr },
    { L"CCheckButton", isA<CCheckButton>, 'A', true, true, L"MControl" },
    { L"CRadioButton", isA<CRadioButton>, 'A', true, true, L"RadioButton" },
    { L"CIconButton", isA<CIconButton>, 'A', true, true, L"IconButton" },
    { L"CTimerButton", isA<CTimerButton>, 'A', true, true, nullptr },
    { L"CHelpButton", isA<CHelpButton>, 'A', true, true, nullptr },
    { L"CColorButton", isA<CColorButton>, 'B', true, true, L"ColorButton" },
    { L"CSwitchButton", isA<CSwitchButton>, 'B', true, true, L"MControl" },
    { L"MenuItem", isA<MenuItem>, 'D', true, true, L"MenuItem" },
    { L"MButton2", isA<MButton2>, 'D', true, true, nullptr },
    { L"CImageButton2", isA<CImageButton2>, 'D', true, true, nullptr },
    { L"UpgradeButton", isA<UpgradeButton>, 'D', false, true, nullptr },
    { L"DownloadButton", isA<DownloadButton>, 'D', false, true, nullptr },
    { L"CRadioButton2", isA<CRadioButton2>, 'D', false, true, L"CRadioButton2" },
    { L"CColorButton2", isA<CColorButton2>, 'C', false, true, L"CColorButton2" },
    { L"CColorButton3", isA<CColorButton3>, 'C', false, true, L"CColorButton3" },
    { L"MButton3", isA<MButton3>, 'G', false, true, nullptr },
    { L"MText", isA<MText>, 'F', true, true, nullptr },
    { L"MProgress", isA<MProgress>, 'B', true, true, nullptr },
    { L"MSlider", isA<MSlider>, 'B', true, true, nullptr },
    { L"MSlider2", isA<MSlider2>, 'C', false, true, nullptr },
    { L"MSpinButton", isA<MSpinButton>, 'B', true, true, nullptr },
    { L"CircleProgress", isA<CircleProgress>, 'C', true, true, nullptr },
    { L"MPicture", isA<MPicture>, 'B', true, true, nullptr },
    { L"CPhotoFrame", isA<CPhotoFrame>, 'B', true, true, nullptr },
    { L"CSliderPicture", isA<CSliderPicture>, 'B', true, true, nullptr },
    { L"CGifPicture", isA<CGifPicture>, 'B', true, true, nullptr },
    { L"CGifPicture2", isA<CGifPicture2>, 'C', true, false, nullptr },
    { L"MTabCtrl", isA<MTabCtrl>, 'B', true, true, L"MTabCtrl" },
    { L"MTabLayout", isA<MTabLayout>, 'E', true, true, L"MTabLayout" },
    { L"CTabCtrl2", isA<CTabCtrl2>, 'C', true, true, L"CTabCtrl2" },
    { L"CTabCtrlEx", isA<CTabCtrlEx>, 'C', true, true, L"CTabCtrlEx" },
    { L"CTabCtrl5", isA<CTabCtrl5>, 'C', true, true, L"CTabCtrl5" },
    { L"TabCtrl6", isA<TabCtrl6>, 'C', false, true, L"TabCtrl6" },
};

// Built with visible 0, enabled 0 and the title T: forms A, B, E and F pass visible, A and B
// enabled (C, D and G enable, a label is always disabled, a spin box and a tab layout always
// enabled), A, D, F and G the title; G shows.
void expectForm(MControl* control, const FactoryRow& row)
{
    const auto formIn = [&](const char* forms) { return std::strchr(forms, row.form) != nullptr; };
    const bool enabled = formIn("CDEG") || row.isClass == isA<MSpinButton>;
    EXPECT_EQ(row.form == 'G' ? 1 : 0, control->IsVisible());
    EXPECT_EQ(enabled ? 1 : 0, control->IsEnabled());
    if (auto* font = dynamic_cast<MControlFont*>(control)) {
        EXPECT_EQ(CString(formIn("ADFG") ? L"T" : L""), font->GetTitle());
    }
    EXPECT_TRUE(!row.className || control->IsClass(row.className));
}

TEST(Factories, EachRowBuildsItsClassWithItsFormsFlags)
{
    PaintManager manager;
    MPanel panel(nullptr, 1, CRect(0, 0, 100, 100), 1);
    const CRect place(1, 2, 30, 40);
    for (const FactoryRow& row : kRows) {
        SCOPED_TRACE(testing::Message() << row.name);
        std::unique_ptr<MControl> fromPanel(panel.CreateControl(2, &panel, row.name, 3, place, L"T", 0, 0));
        std::unique_ptr<MControl> fromWindow(manager.CreateControl(2, nullptr, row.name, 3, place, L"T", 0, 0));
        EXPECT_EQ(row.inPanelTable, fromPanel != nullptr);
        EXPECT_EQ(row.inWindowTable, fromWindow != nullptr);
        for (MControl* made : { fromPanel.get(), fromWindow.get() }) {
            if (!made)
                continue;
            EXPECT_TRUE(row.isClass(made));
            EXPECT_EQ(place, made->GetRect());
            expectForm(made, row);
        }
    }
}

// Create, paint, hover and destroy every class many times, in a real window whose balloon
// and key tips they use: nothing may stay behind.
TEST(Factories, ThousandsOfButtonsAndAHundredMenusLeaveNoGdiObjectBehind)
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
