#include <gtest/gtest.h>
#include "KOVA.h"
#include "TestWindow.h"
using namespace KOVA;
namespace {
class HostEnvironment : public ::testing::Environment {
public:
    void SetUp() override { Manager::SetInstance(GetModuleHandleW(nullptr)); Manager::InitGdiplus(); }
    void TearDown() override { Manager::UnInitGdiplus(); }
};
const auto* const host = ::testing::AddGlobalTestEnvironment(new HostEnvironment);
}
TEST(Timing, Parts)
{
    KOVA::test::TestWindow parent;
    LoadingWnd w;
    w.CreateDlg(parent.hwnd(), CRect(1300,600,1700,900));
    auto t = [&](const char* what, auto f) { DWORD s = GetTickCount(); for (int i=0;i<100;i++) f(); printf("%s %lu ms/100\n", what, GetTickCount()-s); };
    t("hide/show", [&]{ w.ShowWindow(SW_HIDE); w.ShowWindow(SW_SHOWNOACTIVATE); });
    t("draw", [&]{ w.DrawWindow(); });
    t("hide/show/draw", [&]{ w.ShowWindow(SW_HIDE); w.ShowWindow(SW_SHOWNOACTIVATE); w.DrawWindow(); });
    t("hide/draw/show", [&]{ w.ShowWindow(SW_HIDE); w.DrawWindow(); w.ShowWindow(SW_SHOWNOACTIVATE); });
    w.DestroyWindow();
}
