#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "TestWindow.h"
#include "KOVA.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// A registered-class window that writes down what reaches it.
class ProbeWindow : public MWindow {
public:
    const wchar_t* GetWindowClassName() const override { return L"KovaProbeWindow"; }
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        messages.push_back(msg);
        if (msg == WM_CREATE && failCreate)
            return -1;
        if (msg == WM_APP && onApp)
            onApp();
        return MWindow::OnWindowMessage(msg, wParam, lParam);
    }
    BOOL OnInitDialog() override
    {
        ++initCalls;
        return 1;
    }
    void OnDestroyMessage(HWND hwnd) override
    {
        destroyedHwnd = hwnd;
        userDataAtDestroy = GetWindowLongPtrW(hwnd, GWLP_USERDATA);
        propertyAtDestroy = GetPropW(hwnd, L"Control");
    }
    int count(UINT msg) const { return static_cast<int>(std::count(messages.begin(), messages.end(), msg)); }

    std::vector<UINT> messages;
    std::function<void()> onApp;
    bool failCreate { false };
    int initCalls { 0 };
    HWND destroyedHwnd { nullptr };
    LONG_PTR userDataAtDestroy { -1 };
    HANDLE propertyAtDestroy { INVALID_HANDLE_VALUE };
};

// A superclass of the system edit control.
class ProbeEdit : public ProbeWindow {
public:
    const wchar_t* GetWindowClassName() const override { return L"KovaProbeEdit"; }
    const wchar_t* GetSuperClassName() const override { return L"Edit"; }
};

constexpr DWORD kPopup = WS_POPUP | WS_VISIBLE;

} // namespace

// Bound until WM_NCDESTROY and created once until then; unbound before OnDestroyMessage, every
// wrapper then answers its failure value. A failed creation still runs OnInitDialog and
// leaves no handle; a deleted object leaves its window to the default procedure.
TEST(MWindowBinding, ARegisteredClassKeepsTheObjectWhileTheWindowLives)
{
    ProbeWindow window;
    HWND hwnd = window.Create(nullptr, L"probe", kPopup, 0, CRect(0, 0, 100, 80));
    ASSERT_NE(nullptr, hwnd);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&window), GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    EXPECT_EQ(static_cast<DWORD>(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS), GetClassLongW(hwnd, GCL_STYLE));
    EXPECT_EQ(hwnd, window.Create(nullptr, L"again", kPopup, 0, CRect(0, 0, 50, 50)));
    EXPECT_EQ("1 1 1", std::to_string(window.count(WM_NCCREATE)) + " " + std::to_string(window.count(WM_CREATE)) + " " + std::to_string(window.initCalls));
    window.DestroyWindow();
    EXPECT_TRUE(window.GetSafeHwnd() == nullptr && window.destroyedHwnd == hwnd);
    EXPECT_EQ(0, window.userDataAtDestroy) << "unbound before OnDestroyMessage";
    EXPECT_EQ("1 0", std::to_string(window.count(WM_DESTROY)) + " " + std::to_string(window.count(WM_NCDESTROY)));
    EXPECT_EQ("0 -1 4294967295", std::to_string(window.GetStyle()) + " " + std::to_string(window.GetWindowTextLengthW()) + " " + std::to_string(window.ShowModal(SW_SHOW)));
    EXPECT_NE(nullptr, window.Create(nullptr, L"probe", kPopup, 0, CRect(0, 0, 100, 80)));
    EXPECT_EQ(2, window.initCalls);
    EXPECT_EQ(0, window.ModifyStyle(0, WS_POPUP, SWP_FRAMECHANGED)) << "nothing changed";
    EXPECT_EQ(1, window.ModifyStyle(0, WS_CLIPCHILDREN, SWP_FRAMECHANGED));
    EXPECT_TRUE(window.GetStyle() & WS_CLIPCHILDREN);
    window.DestroyWindow();

    ProbeWindow failing;
    failing.failCreate = true;
    EXPECT_EQ(nullptr, failing.Create(nullptr, L"probe", kPopup, 0, CRect(0, 0, 100, 80)));
    EXPECT_TRUE(failing.GetSafeHwnd() == nullptr && failing.initCalls == 1);

    auto* deleted = new ProbeWindow;
    hwnd = deleted->Create(nullptr, L"probe", kPopup, 0, CRect(0, 0, 100, 80));
    delete deleted;
    EXPECT_EQ(0, GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    SendMessageW(hwnd, WM_APP, 0, 0); // would reach freed memory if still bound
    EXPECT_TRUE(DestroyWindow(hwnd));
}

TEST(MWindowBinding, SuperclassKeepsObjectInControlPropertyAndTheSystemBehaviour)
{
    TestWindow parent;
    ProbeEdit edit;
    HWND hwnd = edit.Create(parent.hwnd(), L"", WS_CHILD | WS_VISIBLE, 0, CRect(0, 0, 120, 24));
    ASSERT_NE(nullptr, hwnd);
    EXPECT_EQ(&edit, GetPropW(hwnd, L"Control"));
    EXPECT_NE(reinterpret_cast<LONG_PTR>(&edit), GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    // The system edit procedure still does the work behind our procedure.
    edit.SetWindowTextW(L"typed");
    CString text;
    edit.GetWindowTextW(text);
    EXPECT_EQ(CString(L"typed"), text);
    edit.DestroyWindow();
    EXPECT_TRUE(edit.propertyAtDestroy == nullptr && edit.GetSafeHwnd() == nullptr);
}

TEST(MWindowModal, WindowDestroyedWithoutCloseEndsTheLoopWithZero)
{
    TestWindow owner;
    ProbeWindow window;
    window.Create(owner.hwnd(), L"modal", WS_POPUP, 0, CRect(0, 0, 100, 80));
    window.onApp = [&] {
        EXPECT_FALSE(IsWindowEnabled(owner.hwnd()));
        window.DestroyWindow();
    };
    window.PostMessageW(WM_APP, 0, 0);
    EXPECT_EQ(0u, window.ShowModal(SW_SHOW));
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
}

// Centred on a visible owner, kept inside the work area, or centred in a parent's client area.
TEST(MWindowPlacement, CenterWindowCentresOnTheOwnerInsideTheWorkAreaOrInTheParent)
{
    TestWindow owner(400, 300);
    MONITORINFO monitor {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(owner.hwnd(), MONITOR_DEFAULTTONEAREST), &monitor);
    const CRect area = monitor.rcWork;
    // Where the owner is, the style and size of the window, and its frame (in the owner's client
    // coordinates for a child).
    const struct { POINT ownerAt; DWORD style; CSize size; CRect expected; } cases[] = {
        { { 100, 100 }, WS_POPUP, { 201, 101 }, { 200, 200, 401, 301 } }, // 300 - 201/2, 250 - 101/2
        { { area.right - 60, area.top }, WS_POPUP, { 300, 300 }, { area.right - 300, area.top, area.right, area.top + 300 } },
        { { 0, 0 }, WS_CHILD, { 100, 50 }, { 150, 125, 250, 175 } },
    };
    for (const auto& c : cases) {
        SetWindowPos(owner.hwnd(), nullptr, c.ownerAt.x, c.ownerAt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ProbeWindow window;
        window.Create(owner.hwnd(), L"centred", c.style | WS_VISIBLE, 0, CRect(CPoint(0, 0), c.size));
        window.CenterWindow();
        CRect frame;
        window.GetWindowRect(&frame);
        if (c.style & WS_CHILD)
            MapWindowPoints(nullptr, owner.hwnd(), reinterpret_cast<POINT*>(&frame), 2);
        EXPECT_EQ(c.expected, frame) << c.style;
        window.DestroyWindow();
    }
}

namespace {
BOOL CALLBACK takeFirstIcon(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found)
{
    if (!IS_INTRESOURCE(name))
        return TRUE;
    *reinterpret_cast<UINT*>(found) = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name));
    return FALSE;
}
} // namespace

// Icons come from the host's module: this test program has none, shell32 has many.
TEST(MWindowIcons, SetIconOwnsWhatItLoadsAndFreesWhatItReplaces)
{
    HMODULE shell = LoadLibraryW(L"shell32.dll");
    UINT iconId = 0;
    EnumResourceNamesW(shell, RT_GROUP_ICON, takeFirstIcon, reinterpret_cast<LONG_PTR>(&iconId));
    ASSERT_NE(0u, iconId);
    ProbeWindow window;
    window.Create(nullptr, L"icons", kPopup, 0, CRect(0, 0, 100, 80));
    const auto setIcon = [&] {
        Manager::SetInstance(shell);
        window.SetIcon(iconId);
        Manager::SetInstance(GetModuleHandleW(nullptr));
    };
    const int before = countGdiObjects();
    if (before < 0)
        GTEST_SKIP() << "no GDI handle table to count";
    setIcon();
    EXPECT_TRUE(SendMessageW(window.GetSafeHwnd(), WM_GETICON, ICON_BIG, 0) && SendMessageW(window.GetSafeHwnd(), WM_GETICON, ICON_SMALL, 0));
    const int withOnePair = countGdiObjects();
    for (int i = 0; i < 5; ++i)
        setIcon();
    EXPECT_EQ(withOnePair, countGdiObjects()) << "replaced icons are freed";
    window.DestroyWindow();
    FreeLibrary(shell);
    EXPECT_LE(countGdiObjects(), before);
}
