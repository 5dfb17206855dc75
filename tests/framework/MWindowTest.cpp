// The windows: MWindow's binding, modal loop, placement and icons; then the two windows a paint
// manager paints whole, the host's dialog (MDialog) and the drop-down (MPopupWnd): binding,
// sizes, input through posted messages, closing, looks and lifetime.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <new>
#include <stdexcept>
#include <thread>
#include <vector>

#include "DropData.h"
#include "GdiObjectCount.h"
#include "KOVA.h"
#include "LibraryHost.h"
#include "NotifyingControl.h"
#include "PumpUntil.h"
#include "TestWindow.h"

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

// What a handler throws ends at the window procedure: the message gets the default handling
// and the window goes on, sent or dispatched from the loop.
TEST(MWindowBinding, AnExceptionThrownInAHandlerStopsAtTheWindowProcedure)
{
    ProbeWindow window;
    ASSERT_NE(nullptr, window.Create(nullptr, L"probe", kPopup, 0, CRect(0, 0, 100, 80)));
    window.onApp = [] { throw std::runtime_error("a handler failed"); };
    EXPECT_EQ(0, window.SendMessageW(WM_APP, 0, 0));
    window.PostMessageW(WM_APP, 0, 0);
    EXPECT_TRUE(pumpUntil([&] { return window.count(WM_APP) == 2; }));
    window.onApp = nullptr;
    window.SetWindowTextW(L"still here");
    CString text;
    window.GetWindowTextW(text);
    EXPECT_EQ(CString(L"still here"), text);
    window.DestroyWindow();
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

namespace {

// The host's side of a window: records its hooks and runs a test step on WM_APP.
template <class Window>
class Hosted : public Window {
public:
    void InitUI(CRect rect) override { initRects.push_back(rect); }
    void UISize(CRect rect) override { sizeRects.push_back(rect); }
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg != WM_APP || !onApp)
            return Window::OnWindowMessage(msg, wParam, lParam);
        onApp();
        return 0;
    }
    std::vector<CRect> initRects, sizeRects;
    std::function<void()> onApp;
};

class HostDialog : public Hosted<MDialog> {
public:
    LRESULT OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        notes.push_back({ id, code, wParam, lParam });
        if (onNote)
            onNote(code);
        return 0;
    }
    using MDialog::DefaultMessageRect;
    void setLook(int alpha, COLORREF key, int messageOffset = 0)
    {
        m_alpha = alpha;
        m_colorKey = key;
        m_messageOffset = messageOffset;
    }
    int alpha() const { return m_alpha; }
    std::vector<Notification> notes;
    std::function<void(UINT code)> onNote;
};

// A drop-down as the combo boxes make them: passes what its controls report to its parent.
class DropDown : public Hosted<MPopupWnd> {
public:
    LRESULT OnMessage(UINT, UINT code, UINT wParam, LONG lParam) override { return SendMessageToParent(code, wParam, lParam); }
    int OnWindowPosChanged(WINDOWPOS* position) override
    {
        deepest = std::max(deepest, ++depth);
        const int result = MPopupWnd::OnWindowPosChanged(position);
        --depth;
        return result;
    }
    using MPopupWnd::SetupRegion;
    int depth { 0 }, deepest { 0 };
};

// The control that opened the drop-down: hears it in OnMessage.
class Opener : public RecordingControl {
public:
    using RecordingControl::RecordingControl;
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        heard.push_back({ id, code, wParam, lParam });
        return 77;
    }
    std::vector<Notification> heard;
};

const CRect kPlace(100, 100, 400, 300);

class LiveDialog : public ::testing::Test {
protected:
    void SetUp() override { create(); }
    void TearDown() override
    {
        popup.DestroyWindow();
        dialog.DestroyWindow();
    }
    void create(DWORD style = WS_POPUP, HWND owner = nullptr)
    {
        dialog.Create(owner, L"host dialog", style, 0, kPlace);
        // A press on the background would start the system's move loop.
        dialog.EnableWndDrag(0);
        // Never activated: a window of a test running beside this one that takes the
        // activation would otherwise end a press half-way.
        dialog.ShowWindow(SW_SHOWNOACTIVATE);
    }
    void open(DropDown& window)
    {
        window.SetParent(&opener);
        // Popup, visible, clipping siblings and children.
        ASSERT_NE(nullptr, window.Create(dialog.GetSafeHwnd(), L"ComboWnd", 0x96000000, WS_EX_TOOLWINDOW, CRect(200, 150, 360, 310)));
    }
    NotifyingControl* addControl(UINT id, CRect rect) { return addNotifyingControl(*dialog.GetPaintManager(), &dialog, id, rect, log, &deaths); }
    // Posted together: the leave that mouse tracking posts when the real cursor is elsewhere
    // queues behind them, so the press lands on the hover control wherever the cursor is.
    void post(std::initializer_list<UINT> messages, CPoint pt = CPoint(50, 40))
    {
        for (UINT msg : messages)
            dialog.PostMessageW(msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(pt.x, pt.y));
    }
    // Posts the messages, then waits for the host to hear the code.
    void input(std::initializer_list<UINT> messages, UINT code)
    {
        post(messages);
        ASSERT_TRUE(pumpUntil([&] {
            return std::any_of(dialog.notes.begin(), dialog.notes.end(), [&](const Notification& note) { return note.code == code; });
        }));
    }
    void expectNothingHeld()
    {
        PaintManager* manager = dialog.GetPaintManager();
        EXPECT_TRUE(!GetCapture() && !manager->IsCaptured());
        EXPECT_TRUE(!manager->GetHoverControl() && !manager->GetFocusControl());
    }

    HostDialog dialog;
    EventLog log;
    int deaths { 0 };
    RecordingParent top;
    Opener opener { &top, 3, CRect(0, 0, 10, 10), log };
    DropDown popup;
};

} // namespace

// Both are bound, frameless and never erase; InitUI hears the client and UISize each new size
// (a one pixel thin dialog is not laid out); the frame change a move makes raises one more
// WM_WINDOWPOSCHANGED inside the first, which stops at once.
TEST_F(LiveDialog, BothAreBoundFramelessWindowsThatFollowTheirSizeAndNeverErase)
{
    open(popup);
    NotifyingControl* control = addControl(7, CRect(10, 10, 20, 20));
    EXPECT_EQ(1, dialog.SendMessageW(WM_ERASEBKGND, 0, 0));
    dialog.SendMessageW(WM_USER + 5, 0, 0);
    EXPECT_EQ(std::vector<UINT> { WM_USER + 5 }, control->windowMessages) << "erase never reaches the controls";
    EXPECT_EQ(static_cast<MWindow*>(&dialog), dialog.GetPaintManager()->GetMDialog());
    ValidateRect(dialog.GetSafeHwnd(), nullptr);
    dialog.OnControlUpdate(control->GetRect(), 0, control);
    CRect dirty;
    EXPECT_TRUE(GetUpdateRect(dialog.GetSafeHwnd(), &dirty, FALSE) && dirty.PtInRect(CPoint(15, 15)));
    EXPECT_TRUE(popup.GetExStyle() & WS_EX_TOOLWINDOW);
    const struct { MWindow* window; PaintManager* manager; std::vector<CRect>* initRects; std::vector<CRect>* sizeRects; CRect client; bool thinLaidOut; } windows[] = {
        { &dialog, dialog.GetPaintManager(), &dialog.initRects, &dialog.sizeRects, CRect(0, 0, 300, 200), false },
        { &popup, popup.GetPaintManager(), &popup.initRects, &popup.sizeRects, CRect(0, 0, 160, 160), true },
    };
    for (const auto& w : windows) {
        EXPECT_EQ(w.window->GetSafeHwnd(), w.manager->GetPaintWnd());
        EXPECT_EQ(0u, w.window->GetStyle() & (WS_CAPTION | WS_THICKFRAME));
        EXPECT_EQ(std::vector<CRect> { w.client }, *w.initRects);
        w.window->SetWindowPos(nullptr, 10, 10, 250, 150, SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_FALSE(w.sizeRects->empty());
        EXPECT_EQ(CRect(0, 0, 250, 150), w.sizeRects->back());
        w.window->MoveWindow(0, 0, 120, 1, FALSE);
        EXPECT_EQ(w.thinLaidOut ? CRect(0, 0, 120, 1) : CRect(0, 0, 250, 150), w.sizeRects->back());
    }
    EXPECT_EQ(std::make_pair(2, 0), std::make_pair(popup.deepest, popup.depth));
    dialog.DestroyWindow();
    create(WS_POPUP | WS_CAPTION | WS_THICKFRAME);
    EXPECT_EQ(0u, dialog.GetStyle() & (WS_CAPTION | WS_THICKFRAME));
    EXPECT_EQ(0x06000008u, dialog.GetStyle() & 0x06000008u);
}

// The factory takes exact class names: a control or an area of the window's lists, or any
// other kind left to the caller.
TEST_F(LiveDialog, TheWindowFactoryPutsAControlOfAnExactNameIntoTheListOfItsKind)
{
    PaintManager& manager = *dialog.GetPaintManager();
    MControl* control = dialog.CreateControl(L"MRichEdit", 7, CRect(1, 2, 30, 40), L"", 1, 1);
    ASSERT_NE(nullptr, control);
    EXPECT_TRUE(control->IsClass(L"MRichEdit") && control->GetManager() == &manager && control->GetParantObject() == &dialog);
    EXPECT_EQ(CRect(1, 2, 30, 40), control->GetRect());
    MControl* area = dialog.CreateArea(L"MRichEdit", 8, CRect(), L"", 1, 1);
    EXPECT_NE(nullptr, std::unique_ptr<MControl>(manager.CreateControl(5, &dialog, L"MRichEdit", 9, CRect(), L"", 1, 1)));
    for (const wchar_t* name : { L"mrichedit", L"MRichEdit ", L" MRichEdit", L"MRichEditX", L"", L"NoSuchControl" })
        EXPECT_EQ(nullptr, dialog.CreateControl(name, 1, CRect(), L"", 1, 1)) << static_cast<const void*>(name);
    EXPECT_EQ(nullptr, manager.CreateControl(&dialog, nullptr, 1, CRect(), L"", 1, 1));
    EXPECT_EQ(std::vector<MControl*> { control }, manager.GetControls());
    EXPECT_EQ(std::vector<MControl*> { area }, manager.GetAreas());
}

// ---- input and lifetime

TEST_F(LiveDialog, AControlRemovedInItsPressOrReleaseNotificationLeavesNoDanglingStateNorCapture)
{
    for (UINT removeOn : { 1u, 2u }) {
        SCOPED_TRACE(removeOn);
        deaths = 0;
        NotifyingControl* control = addControl(7, CRect(20, 20, 120, 60));
        dialog.onNote = [&](UINT code) {
            if (code == removeOn)
                dialog.GetPaintManager()->RemoveControl(control);
        };
        post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP });
        ASSERT_TRUE(pumpUntil([&] { return deaths == 1; }));
        // Whatever is still queued, and a move over the same place, must find nothing of it.
        post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_APP }, CPoint(52, 42));
        bool drained = false;
        dialog.onApp = [&] { drained = true; };
        ASSERT_TRUE(pumpUntil([&] { return drained; }));
        EXPECT_EQ(1, deaths);
        EXPECT_EQ(nullptr, dialog.GetControl(7));
        expectNothingHeld();
        dialog.onApp = nullptr;
    }
}

// The press also ends when another window takes the activation (sent here: in a shared test
// session another program may hold the foreground). The window takes its drop target's
// registration along.
TEST_F(LiveDialog, DestroyedWhileHoldingFocusHoverCaptureAndTooltipOwnerThenCreatedAgain)
{
    addControl(7, CRect(20, 20, 120, 60));
    input({ WM_MOUSEMOVE, WM_LBUTTONDOWN }, 1);
    ASSERT_EQ(dialog.GetSafeHwnd(), GetCapture());
    dialog.SendMessageW(WM_NCACTIVATE, FALSE, 0);
    EXPECT_TRUE(GetCapture() == nullptr && !dialog.GetPaintManager()->IsCaptured()) << "no capture left behind";
    dialog.notes.clear();
    input({ WM_MOUSEMOVE, WM_LBUTTONDOWN }, 1);
    PaintManager* manager = dialog.GetPaintManager();
    manager->SetTooltipCtrlID(7);
    manager->SetTooltip(L"tip", CRect(20, 20, 120, 60));
    ASSERT_EQ(dialog.GetSafeHwnd(), GetCapture());
    EXPECT_GT(heldByOthers(manager), 0u); // OLE, for the drop target's registration

    dialog.DestroyWindow();
    EXPECT_EQ(0u, heldByOthers(manager)) << "the drop target is revoked with the window";
    EXPECT_EQ(1, deaths);
    EXPECT_EQ(0, manager->GetTooltipCtrlID());
    expectNothingHeld();
    // The same object opens a fresh window that works from the first click.
    create();
    addControl(8, CRect(20, 20, 120, 60));
    dialog.notes.clear();
    input({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, 2);
    EXPECT_EQ(8u, dialog.notes.back().id);
    EXPECT_EQ(nullptr, GetCapture());
}

// The drop-down's controls report to its parent as child zero, with the parent's answer.
TEST_F(LiveDialog, TheDropDownsControlsReportToItsParentAsChildZero)
{
    open(popup);
    EXPECT_EQ(77, popup.SendMessageToParent(2, 5, 0x13));
    addNotifyingControl(*popup.GetPaintManager(), &popup, 88, CRect(0, 0, 50, 20), log);
    popup.GetControl(88)->OnLButtonDown(MK_LBUTTON, CPoint(5, 5));
    ASSERT_EQ(2u, opener.heard.size());
    const auto heard = [&](size_t i) { return std::vector<UINT> { opener.heard[i].id, opener.heard[i].code, opener.heard[i].wParam }; };
    EXPECT_EQ((std::vector<UINT> { 0, 2, 5 }), heard(0));
    EXPECT_EQ((std::vector<UINT> { 0, 1, 0 }), heard(1));
    popup.SetParent(nullptr);
    EXPECT_EQ(0, popup.SendMessageToParent(2, 5, 0x13));
}

TEST_F(LiveDialog, ADestroyedDropDownLetsGoOfItsDropTargetButKeepsItsControlsUntilTheObjectGoes)
{
    auto* dropped = new DropDown;
    open(*dropped);
    addNotifyingControl(*dropped->GetPaintManager(), dropped, 88, CRect(0, 0, 50, 20), log, &deaths);
    IDropTarget* target = dropped->GetPaintManager();
    {
        DataObject data = offering({ { CF_BITMAP, TYMED_GDI, CreateBitmap(4, 4, 1, 32, nullptr) } });
        DWORD effect = DROPEFFECT_COPY;
        ASSERT_EQ(S_OK, target->DragEnter(data.get(), 0, POINTL { 10, 10 }, &effect));
        ASSERT_EQ(S_OK, target->Drop(data.get(), 0, POINTL { 10, 10 }, &effect));
    }
    EXPECT_GT(heldByOthers(target), 0u); // OLE, for the registration
    dropped->DestroyWindow();
    EXPECT_EQ(0u, heldByOthers(target));
    EXPECT_EQ(0, deaths);
    EXPECT_NE(nullptr, dropped->GetControl(88));
    delete dropped;
    EXPECT_EQ(1, deaths);
}

namespace {
class TickCounter : public MControl {
public:
    TickCounter(MObject* parent, PaintManager& manager) : MControl(parent, 89, CRect(0, 30, 50, 50), 1, 1, 1)
    {
        SetManager(&manager);
    }
    ~TickCounter() override { StopFastTimer(); }
    void DrawControl(HDC&, CRect) override {}
    int OnControlTimer() override
    {
        ++ticks;
        return 0;
    }
    std::atomic<long> ticks { 0 };
};
} // namespace

// The fast timer and what another thread posted end with the drop-down's window; shown again
// in a new window, the drop-down hears what is posted to it from then on.
TEST_F(LiveDialog, ADropDownsTicksAndPostedWorkEndWithItsWindowAndStartAfreshWithTheNext)
{
    open(popup);
    PaintManager* manager = popup.GetPaintManager();
    NotifyingControl* control = addNotifyingControl(*manager, &popup, 88, CRect(0, 0, 50, 20), log, &deaths);
    auto* ticking = new TickCounter(&popup, *manager);
    manager->AppendControl(ticking, 1);
    ticking->AddMTimer();
    manager->SetMTimer(2);
    ASSERT_TRUE(pollUntil([&] { return ticking->ticks >= 3; }));
    std::thread([&] { control->PostToParent(5, 0, 0); }).join();
    popup.DestroyWindow();
    const long ticksThen = ticking->ticks;
    EXPECT_FALSE(pollUntil([&] { return ticking->ticks != ticksThen; }, 100));

    open(popup);
    std::thread([&] { control->PostToParent(6, 0, 0); }).join();
    EXPECT_TRUE(pumpUntil([&] { return !opener.heard.empty(); }));
    ASSERT_EQ(1u, opener.heard.size());
    EXPECT_EQ(6u, opener.heard[0].code);
}

// ---- closing

// A closing call gives its result and the owner back; a quit during the modal loop ends it
// with 0 and is posted again for the loop outside.
TEST_F(LiveDialog, EachCloseCallGivesItsResultAndTheOwnerBackAndAQuitIsPostedAgain)
{
    TestWindow owner;
    const std::pair<std::function<void()>, UINT> closers[] = {
        { [&] { dialog.DoOK(); }, 1 }, { [&] { dialog.DoCancel(); }, 2 }, { [&] { dialog.DoClose(); }, 2 },
        { [&] { dialog.DoYes(); }, 6 }, { [&] { dialog.DoNo(); }, 7 }, { [] { PostQuitMessage(42); }, 0 } };
    for (const auto& [close, result] : closers) {
        dialog.DestroyWindow();
        create(WS_POPUP, owner.hwnd());
        bool ownerDisabled = false;
        dialog.onApp = [&] {
            ownerDisabled = !IsWindowEnabled(owner.hwnd());
            close();
        };
        dialog.PostMessageW(WM_APP, 0, 0);
        EXPECT_EQ(result, dialog.ShowModal(SW_SHOW));
        EXPECT_TRUE(ownerDisabled && IsWindowEnabled(owner.hwnd())) << result;
        EXPECT_EQ(result == 0, dialog.GetSafeHwnd() != nullptr) << result;
    }
    MSG msg {};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(42u, msg.wParam);
}

TEST_F(LiveDialog, TheDropDownClosesWhenAnotherWindowIsActivatedOrOnCloseMessages)
{
    open(popup);
    SetActiveWindow(popup.GetSafeHwnd());
    ASSERT_TRUE(pumpUntil([&] { return GetActiveWindow() == popup.GetSafeHwnd(); }));
    {
        TestWindow other;
        SetActiveWindow(other.hwnd());
        EXPECT_TRUE(pumpUntil([&] { return !popup.GetSafeHwnd(); }));
    }
    open(popup);
    popup.PostMessageW(0x442, 1, 0);
    EXPECT_TRUE(pumpUntil([&] { return !popup.GetSafeHwnd(); }));
    open(popup);
    popup.CloseWindow();
    EXPECT_TRUE(pumpUntil([&] { return !popup.GetSafeHwnd(); }));
}

// ---- looks

// Below 255 the dialog takes the constant alpha, at 255 its colour key; the drop-down keys
// out its default colour and rounds its corners.
TEST_F(LiveDialog, ConstantAlphaOrAColourKeyMakesTheWindowLayered)
{
    EXPECT_EQ(0u, dialog.GetExStyle() & WS_EX_LAYERED);
    open(popup);
    const struct { MWindow* window; int alpha; DWORD flags; UINT value; } looks[] = {
        { &dialog, 200, LWA_ALPHA, 200 }, { &dialog, 255, LWA_COLORKEY, RGB(0, 255, 0) }, { &popup, 255, LWA_COLORKEY, 0x00F1F1F1 } };
    for (const auto& look : looks) {
        dialog.setLook(look.alpha, RGB(0, 255, 0));
        if (look.window == &dialog)
            dialog.SetupBackTranslucent();
        else
            popup.SetupBackTranslucent();
        BYTE alpha = 0;
        COLORREF key = 0;
        DWORD flags = 0;
        ASSERT_TRUE(GetLayeredWindowAttributes(look.window->GetSafeHwnd(), &key, &alpha, &flags));
        EXPECT_EQ(look.flags, flags);
        EXPECT_EQ(look.value, flags == LWA_ALPHA ? alpha : key);
    }
    popup.SetupRegion(8);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(COMPLEXREGION, GetWindowRgn(popup.GetSafeHwnd(), region));
    DeleteObject(region);
}

// A copy takes values but never the window nor the controls; an assignment keeps the target's
// own window bound to the target.
TEST_F(LiveDialog, CopiesTakeValuesButNeverTheWindowNorTheControls)
{
    addControl(7, CRect(0, 0, 10, 10));
    dialog.setLook(180, RGB(1, 2, 3));
    {
        HostDialog copy(dialog);
        EXPECT_TRUE(!copy.GetSafeHwnd() && !copy.GetPaintManager()->GetPaintWnd() && copy.GetControls()->empty());
        EXPECT_EQ(180, copy.alpha());
        HostDialog other;
        HWND own = other.Create(nullptr, L"other", WS_POPUP, 0, CRect(0, 0, 50, 50));
        other = dialog;
        EXPECT_EQ(own, other.GetSafeHwnd());
        EXPECT_EQ(reinterpret_cast<LONG_PTR>(&other), GetWindowLongPtrW(own, GWLP_USERDATA));
        other.DestroyWindow();
    }
    EXPECT_EQ(0, deaths);
    EXPECT_NE(nullptr, dialog.GetControl(7));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&dialog), GetWindowLongPtrW(dialog.GetSafeHwnd(), GWLP_USERDATA));
    // Made over memory that is not zero, the tooltip owner still starts at none.
    alignas(MDialog) unsigned char storage[sizeof(MDialog)];
    std::memset(storage, 0xAB, sizeof(storage));
    auto* fresh = new (storage) MDialog;
    EXPECT_EQ(0, fresh->GetTooltipCtrlID());
    fresh->~MDialog();
}
