#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "RecordingControl.h"
#include "TestWindow.h"

using namespace KOVA;
using namespace KOVA::test;

TEST(Factories, TheWindowFactoryPutsAControlOfAnExactNameIntoTheListOfItsKind)
{
    MDialog dialog;
    dialog.Create(nullptr, L"factory", WS_POPUP, 0, CRect(0, 0, 200, 100));
    PaintManager& manager = *dialog.GetPaintManager();
    MControl* control = dialog.CreateControl(L"MRichEdit", 7, CRect(1, 2, 30, 40), L"", 1, 1);
    ASSERT_NE(nullptr, control);
    EXPECT_TRUE(control->IsClass(L"MRichEdit"));
    EXPECT_EQ(&manager, control->GetManager());
    EXPECT_EQ(static_cast<MObject*>(&dialog), control->GetParantObject());
    EXPECT_EQ(CRect(1, 2, 30, 40), control->GetRect());
    MControl* area = dialog.CreateArea(L"MRichEdit", 8, CRect(), L"", 1, 1);
    // Any other kind leaves the control to the caller.
    std::unique_ptr<MControl> loose(manager.CreateControl(5, &dialog, L"MRichEdit", 9, CRect(), L"", 1, 1));
    EXPECT_NE(nullptr, loose);
    for (const wchar_t* name : { L"mrichedit", L"MRichEdit ", L" MRichEdit", L"MRichEditX", L"", L"NoSuchControl" })
        EXPECT_EQ(nullptr, dialog.CreateControl(name, 1, CRect(), L"", 1, 1)) << static_cast<const void*>(name);
    EXPECT_EQ(nullptr, manager.CreateControl(&dialog, nullptr, 1, CRect(), L"", 1, 1));
    EXPECT_EQ(std::vector<MControl*> { control }, manager.GetControls());
    EXPECT_EQ(std::vector<MControl*> { area }, manager.GetAreas());
    dialog.DestroyWindow();
}

TEST(Factories, ThePanelFactoryAttachesOnlyWhenThePanelIsAttached)
{
    TestWindow window;
    RecordingParent top;
    PaintManager manager;
    manager.Init(window.hwnd(), nullptr);
    MPanel loosePanel(&top, 1, CRect(0, 0, 100, 100), 1);
    MControl* orphan = loosePanel.CreateControl(L"MRichEdit", 10, CRect(), L"", 1, 1);
    ASSERT_NE(nullptr, orphan);
    EXPECT_EQ(nullptr, orphan->GetManager());
    EXPECT_EQ(&loosePanel, orphan->GetParantObject());

    auto* panel = new MPanel(&top, 2, CRect(0, 0, 100, 100), 1);
    panel->SetManager(&manager);
    manager.AppendControl(panel, 1);
    const size_t before = panel->GetControls().size();
    MControl* child = panel->CreateControl(L"MRichEdit", 11, CRect(), L"", 1, 1);
    ASSERT_NE(nullptr, child);
    EXPECT_EQ(&manager, child->GetManager());
    EXPECT_EQ(before + 1, panel->GetControls().size());
    EXPECT_EQ(child, manager.GetControl(11));
    MControl* area = panel->CreateArea(L"MRichEdit", 12, CRect(), L"", 1, 1);
    EXPECT_EQ(std::vector<MControl*> { area }, panel->GetAreas());
    EXPECT_EQ(nullptr, panel->CreateControl(L"MRICHEDIT", 13, CRect(), L"", 1, 1));
    manager.DestroyData();
}
