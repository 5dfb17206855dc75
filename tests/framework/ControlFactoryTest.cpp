#include <gtest/gtest.h>

#include "RecordingControl.h"
#include "TestWindow.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

class Factories : public ::testing::Test {
protected:
    Factories() { manager.Init(window.hwnd(), nullptr); }
    ~Factories() override { manager.DestroyData(); }

    TestWindow window;
    RecordingParent top;
    PaintManager manager;
};

// A composite control: its children come from the panel factory.
class Composite : public MPanel {
public:
    Composite(MObject* parent, UINT id, CRect rect) : MPanel(parent, id, rect, 1) {}
};

} // namespace

TEST_F(Factories, WindowFactoryPutsTheControlIntoTheListOfItsKind)
{
    MControl* control = manager.CreateControl(&top, L"MRichEdit", 7, CRect(1, 2, 30, 40), L"", 1, 1);
    ASSERT_NE(nullptr, control);
    EXPECT_TRUE(control->IsClass(L"MRichEdit"));
    EXPECT_EQ(&manager, control->GetManager());
    EXPECT_EQ(&top, control->GetParantObject());
    EXPECT_EQ(CRect(1, 2, 30, 40), control->GetRect());
    ASSERT_EQ(1u, manager.GetControls().size());
    EXPECT_EQ(control, manager.GetControls()[0]);

    MControl* area = manager.CreateArea(&top, L"MRichEdit", 8, CRect(), L"", 1, 1);
    ASSERT_EQ(1u, manager.GetAreas().size());
    EXPECT_EQ(area, manager.GetAreas()[0]);

    // Any other kind leaves the control to the caller.
    MControl* loose = manager.CreateControl(5, &top, L"MRichEdit", 9, CRect(), L"", 1, 1);
    ASSERT_NE(nullptr, loose);
    EXPECT_EQ(1u, manager.GetControls().size());
    EXPECT_EQ(1u, manager.GetAreas().size());
    delete loose;
}

TEST_F(Factories, NamesMatchExactlyOrGiveNull)
{
    for (const wchar_t* name : { L"mrichedit", L"MRichEdit ", L" MRichEdit", L"MRichEditX", L"", L"NoSuchControl" })
        EXPECT_EQ(nullptr, manager.CreateControl(&top, name, 1, CRect(), L"", 1, 1)) << static_cast<const void*>(name);
    EXPECT_EQ(nullptr, manager.CreateControl(&top, nullptr, 1, CRect(), L"", 1, 1));
    EXPECT_TRUE(manager.GetControls().empty());
}

TEST_F(Factories, PanelFactoryAttachesOnlyWhenThePanelIsAttached)
{
    Composite loosePanel(&top, 1, CRect(0, 0, 100, 100));
    MControl* orphan = loosePanel.CreateControl(L"MRichEdit", 10, CRect(), L"", 1, 1);
    ASSERT_NE(nullptr, orphan);
    EXPECT_EQ(nullptr, orphan->GetManager());
    EXPECT_EQ(&loosePanel, orphan->GetParantObject());

    auto* panel = new Composite(&top, 2, CRect(0, 0, 100, 100));
    panel->SetManager(&manager);
    manager.AppendControl(panel, 1);
    const size_t before = panel->GetControls().size();
    MControl* child = panel->CreateControl(L"MRichEdit", 11, CRect(), L"", 1, 1);
    ASSERT_NE(nullptr, child);
    EXPECT_EQ(&manager, child->GetManager());
    EXPECT_EQ(before + 1, panel->GetControls().size());
    EXPECT_EQ(child, manager.GetControl(11));
    MControl* area = panel->CreateArea(L"MRichEdit", 12, CRect(), L"", 1, 1);
    ASSERT_EQ(1u, panel->GetAreas().size());
    EXPECT_EQ(area, panel->GetAreas()[0]);
    EXPECT_EQ(nullptr, panel->CreateControl(L"MRICHEDIT", 13, CRect(), L"", 1, 1));
}

TEST(DialogFactory, TheDialogIsTheParentOfWhatItCreates)
{
    class Host : public MDialog {};
    Host dialog;
    dialog.Create(nullptr, L"factory", WS_POPUP, 0, CRect(0, 0, 200, 100));
    MControl* control = dialog.CreateControl(L"MRichEdit", 3, CRect(), L"", 1, 1);
    ASSERT_NE(nullptr, control);
    EXPECT_EQ(static_cast<MObject*>(&dialog), control->GetParantObject());
    EXPECT_EQ(control, dialog.GetControl(3));
    DestroyWindow(dialog.GetSafeHwnd());
}
