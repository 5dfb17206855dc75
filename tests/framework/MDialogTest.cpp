#include <gtest/gtest.h>

#include "LibraryHost.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <new>
#include <vector>

#include "NotifyingControl.h"
#include "PumpUntil.h"
#include "TestWindow.h"
#include "KOVA.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// The host's side of a dialog: records its hooks and runs a test step on WM_APP.
class HostDialog : public MDialog {
public:
    void InitUI(CRect rect) override { initRects.push_back(rect); }
    void UISize(CRect rect) override { sizeRects.push_back(rect); }
    LRESULT OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        notes.push_back({ id, code, wParam, lParam });
        if (onNote)
            onNote(id, code);
        return 0;
    }
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_APP && onApp) {
            onApp();
            return 0;
        }
        return MDialog::OnWindowMessage(msg, wParam, lParam);
    }
    using MDialog::DefaultMessageRect;
    void setLook(int alpha, COLORREF key, int messageOffset = 0)
    {
        m_alpha = alpha;
        m_colorKey = key;
        m_messageOffset = messageOffset;
    }
    int alpha() const { return m_alpha; }

    std::vector<CRect> initRects;
    std::vector<CRect> sizeRects;
    std::vector<Notification> notes;
    std::function<void(UINT id, UINT code)> onNote;
    std::function<void()> onApp;
};

const CRect kPlace(100, 100, 400, 300);

class LiveDialog : public ::testing::Test {
protected:
    void SetUp() override { create(); }
    void TearDown() override { dialog.DestroyWindow(); }

    HWND create(DWORD style = WS_POPUP, HWND owner = nullptr)
    {
        HWND hwnd = dialog.Create(owner, L"host dialog", style, 0, kPlace);
        // A press on the background would start the system's move loop.
        dialog.EnableWndDrag(0);
        // Never activated: a window of a test running beside this one that takes the
        // activation would otherwise end a press half-way.
        dialog.ShowWindow(SW_SHOWNOACTIVATE);
        return hwnd;
    }
    NotifyingControl* addControl(UINT id, CRect rect)
    {
        return addNotifyingControl(*dialog.GetPaintManager(), &dialog, id, rect, log, &deaths);
    }
    // Posted together: the leave that mouse tracking posts when the real cursor is elsewhere
    // queues behind them, so the press lands on the hover control wherever the cursor is.
    void post(std::initializer_list<UINT> messages, CPoint pt)
    {
        for (UINT msg : messages)
            dialog.PostMessageW(msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(pt.x, pt.y));
    }
    // Posts the messages, then waits for the host to hear the code.
    void input(std::initializer_list<UINT> messages, UINT code)
    {
        post(messages, CPoint(50, 40));
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
};

} // namespace

TEST_F(LiveDialog, IsABoundCaptionlessWindowThatAnswersEraseAndPassesSizesAndRepaints)
{
    EXPECT_EQ(std::vector<CRect> { CRect(0, 0, 300, 200) }, dialog.initRects);
    EXPECT_EQ(dialog.GetSafeHwnd(), dialog.GetPaintManager()->GetPaintWnd());
    EXPECT_EQ(static_cast<MWindow*>(&dialog), dialog.GetPaintManager()->GetMDialog());

    NotifyingControl* control = addControl(7, CRect(10, 10, 20, 20));
    EXPECT_EQ(1, dialog.SendMessageW(WM_ERASEBKGND, 0, 0));
    dialog.SendMessageW(WM_USER + 5, 0, 0);
    EXPECT_EQ(std::vector<UINT> { WM_USER + 5 }, control->windowMessages) << "erase never reaches the controls";

    dialog.sizeRects.clear();
    dialog.MoveWindow(0, 0, 250, 1, FALSE);
    EXPECT_TRUE(dialog.sizeRects.empty()) << "one pixel thin";
    dialog.MoveWindow(0, 0, 250, 150, FALSE);
    ASSERT_FALSE(dialog.sizeRects.empty());
    EXPECT_EQ(CRect(0, 0, 250, 150), dialog.sizeRects.back());

    ValidateRect(dialog.GetSafeHwnd(), nullptr);
    dialog.OnControlUpdate(control->GetRect(), 0, control);
    CRect dirty;
    EXPECT_TRUE(GetUpdateRect(dialog.GetSafeHwnd(), &dirty, FALSE) && dirty.PtInRect(CPoint(15, 15)));

    dialog.DestroyWindow();
    create(WS_POPUP | WS_CAPTION | WS_THICKFRAME);
    EXPECT_EQ(0u, dialog.GetStyle() & (WS_CAPTION | WS_THICKFRAME));
    EXPECT_EQ(0x06000008u, dialog.GetStyle() & 0x06000008u);
}

class RemovedInItsNotification : public LiveDialog, public ::testing::WithParamInterface<UINT> {};

TEST_P(RemovedInItsNotification, LeavesNoDanglingStateNorCapture)
{
    NotifyingControl* control = addControl(7, CRect(20, 20, 120, 60));
    const UINT removeOn = GetParam();
    dialog.onNote = [&](UINT, UINT code) {
        if (code == removeOn)
            dialog.GetPaintManager()->RemoveControl(control);
    };
    post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(50, 40));
    ASSERT_TRUE(pumpUntil([&] { return deaths == 1; }));
    // Whatever is still queued, and a move over the same place, must find nothing of it.
    post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_APP }, CPoint(52, 42));
    bool drained = false;
    dialog.onApp = [&] { drained = true; };
    ASSERT_TRUE(pumpUntil([&] { return drained; }));
    EXPECT_EQ(1, deaths);
    EXPECT_EQ(nullptr, dialog.GetControl(7));
    expectNothingHeld();
}

INSTANTIATE_TEST_SUITE_P(PressOrRelease, RemovedInItsNotification, ::testing::Values(1u, 2u));

TEST_F(LiveDialog, DestroyedWhileHoldingFocusHoverCaptureAndTooltipOwnerThenCreatedAgain)
{
    addControl(7, CRect(20, 20, 120, 60));
    input({ WM_MOUSEMOVE, WM_LBUTTONDOWN }, 1);
    PaintManager* manager = dialog.GetPaintManager();
    manager->SetTooltipCtrlID(7);
    manager->SetTooltip(L"tip", CRect(20, 20, 120, 60));
    ASSERT_EQ(dialog.GetSafeHwnd(), GetCapture());

    dialog.DestroyWindow();
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

TEST_F(LiveDialog, LosingActivationInThePressLeavesNoCaptureBehind)
{
    addControl(7, CRect(20, 20, 120, 60));
    input({ WM_MOUSEMOVE, WM_LBUTTONDOWN }, 1);
    ASSERT_EQ(dialog.GetSafeHwnd(), GetCapture());
    // What the system sends when another window takes the activation (sent here: in a
    // shared test session another program may hold the foreground).
    dialog.SendMessageW(WM_NCACTIVATE, FALSE, 0);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(0, dialog.GetPaintManager()->IsCaptured());
}

namespace {
struct Closing {
    void (MDialog::*close)();
    UINT result;
};

class ModalDialog : public LiveDialog, public ::testing::WithParamInterface<Closing> {
protected:
    void SetUp() override { create(WS_POPUP, owner.hwnd()); }
    TestWindow owner;
};
} // namespace

TEST_P(ModalDialog, CloseCallGivesItsResultAndGivesTheOwnerBack)
{
    bool ownerDisabled = false;
    dialog.onApp = [&] {
        ownerDisabled = !IsWindowEnabled(owner.hwnd());
        (dialog.*GetParam().close)();
    };
    dialog.PostMessageW(WM_APP, 0, 0);
    EXPECT_EQ(GetParam().result, dialog.ShowModal(SW_SHOW));
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
    EXPECT_EQ(nullptr, dialog.GetSafeHwnd());
}

INSTANTIATE_TEST_SUITE_P(Closers, ModalDialog,
                         ::testing::Values(Closing { &MDialog::DoOK, 1 }, Closing { &MDialog::DoCancel, 2 },
                                           Closing { &MDialog::DoClose, 2 }, Closing { &MDialog::DoYes, 6 },
                                           Closing { &MDialog::DoNo, 7 }));

TEST_F(ModalDialog, QuitDuringTheModalLoopIsPostedAgain)
{
    dialog.onApp = [] { PostQuitMessage(42); };
    dialog.PostMessageW(WM_APP, 0, 0);
    EXPECT_EQ(0u, dialog.ShowModal(SW_SHOW));
    MSG msg {};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(42u, msg.wParam);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
    EXPECT_NE(nullptr, dialog.GetSafeHwnd());
}

TEST_F(LiveDialog, ConstantAlphaOrAColourKeyMakesItLayered)
{
    EXPECT_EQ(0u, dialog.GetExStyle() & WS_EX_LAYERED);
    // Below 255 the window takes the constant alpha, at 255 the colour key.
    for (const int alpha : { 200, 255 }) {
        BYTE shownAlpha = 0;
        COLORREF key = 0;
        DWORD flags = 0;
        dialog.setLook(alpha, RGB(0, 255, 0));
        dialog.SetupBackTranslucent();
        ASSERT_TRUE(GetLayeredWindowAttributes(dialog.GetSafeHwnd(), &key, &shownAlpha, &flags));
        EXPECT_EQ(static_cast<DWORD>(alpha < 255 ? LWA_ALPHA : LWA_COLORKEY), flags);
        EXPECT_EQ(alpha < 255 ? 200u : RGB(0, 255, 0), alpha < 255 ? shownAlpha : key);
    }
}

TEST_F(LiveDialog, MessageRectangleSitsAtTheBottomCentreAndTheBalloonUnderTheControl)
{
    dialog.MoveWindow(0, 0, 600, 400, FALSE);
    EXPECT_EQ(CRect(200, 340, 400, 398), dialog.DefaultMessageRect());
    dialog.setLook(255, 0x00FFFFFF, 10);
    EXPECT_EQ(CRect(200, 350, 400, 408), dialog.DefaultMessageRect());
    dialog.MoveWindow(kPlace.left, kPlace.top, kPlace.Width(), kPlace.Height(), FALSE);
    NotifyingControl* control = addControl(7, CRect(10, 20, 110, 50));
    EXPECT_EQ((std::vector<CPoint> { { kPlace.left + 60, kPlace.top + 50 }, { kPlace.left + 110, kPlace.top + 50 }, { kPlace.left + 10, kPlace.top + 50 } }),
              (std::vector<CPoint> { dialog.GetAirBladderPoint(control, 1), dialog.GetAirBladderPoint(control, 2), dialog.GetAirBladderPoint(control, 0) }));
    EXPECT_EQ(0, dialog.GetAirBladderPoint(nullptr, 1).x);
}

TEST(MDialogObject, TooltipControlIdStartsAtZero)
{
    alignas(MDialog) unsigned char storage[sizeof(MDialog)];
    std::memset(storage, 0xAB, sizeof(storage));
    auto* dialog = new (storage) MDialog;
    EXPECT_EQ(0, dialog->GetTooltipCtrlID());
    dialog->~MDialog();
}

TEST_F(LiveDialog, CopiesTakeValuesButNeverTheWindowNorTheControls)
{
    addControl(7, CRect(0, 0, 10, 10));
    dialog.setLook(180, RGB(1, 2, 3));
    {
        HostDialog copy(dialog);
        EXPECT_EQ(nullptr, copy.GetSafeHwnd());
        EXPECT_EQ(nullptr, copy.GetPaintManager()->GetPaintWnd());
        EXPECT_TRUE(copy.GetControls()->empty());
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
}
