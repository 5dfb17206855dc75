// Deletion that waits for the dispatch to end, and routing that survives what handlers remove:
// controls and pop-ups that ask to go from their own handlers, handlers that clear the list
// being walked or remove a ticking panel while its tick waits, all driven through posted
// messages on real windows. Deleted test objects have their memory poisoned, so a use after
// the deletion crashes the test; a deadlock is ended by a watchdog. Last, ten thousand rounds
// of create, tick, hover, key and removal from a handler on a 1 ms fast timer.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <utility>

#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "NotifyingControl.h"
#include "Poisoned.h"
#include "PumpUntil.h"
#include "TestWindow.h"
#include "controls/input/CComboBoxWnd.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kDeadlineMs = 3000;

// Runs a test step from inside its handlers, then goes on as the base does; counts its death.
class HookedBase : public RecordingControl {
public:
    HookedBase(MObject* parent, UINT id, CRect rect, EventLog& log, int* deaths)
        : RecordingControl(parent, id, rect, log), m_deaths(deaths)
    {
    }
    ~HookedBase() override
    {
        StopFastTimer();
        if (m_deaths)
            ++*m_deaths;
    }
    int OnControlKeyDown(UINT key, UINT repeat, UINT modifiers) override
    {
        run(onKey);
        return RecordingControl::OnControlKeyDown(key, repeat, modifiers);
    }
    int OnControlMouseMove(UINT keys, CPoint pt) override
    {
        run(onMove);
        return RecordingControl::OnControlMouseMove(keys, pt);
    }
    int SetControlFocus(int focus) override
    {
        if (!focus)
            run(onBlur);
        return RecordingControl::SetControlFocus(focus);
    }
    LRESULT OnWindowMessage(UINT msg, WPARAM, LPARAM) override
    {
        if (msg == WM_COMMAND)
            run(onCommand);
        return 0;
    }
    int OnControlScroll(int step, UINT down, CPoint pt) override
    {
        run(onWheel);
        return RecordingControl::OnControlScroll(step, down, pt);
    }
    // On the timer thread: counted only (the log belongs to the GUI thread).
    int OnControlTimer() override
    {
        ++ticks;
        return 0;
    }

    std::function<void()> onKey, onMove, onBlur, onCommand, onWheel;
    std::atomic<long> ticks { 0 };

private:
    static void run(const std::function<void()>& step)
    {
        if (step)
            step();
    }
    int* m_deaths;
};
using HookedControl = Poisoned<HookedBase>;
using StrictHooked = NoAccessAfterDelete<HookedBase>;

// A panel that takes any control as a child and runs a test step on its own tick.
class PanelBase : public MPanel {
public:
    PanelBase(MObject* parent, UINT id, CRect rect, int* deaths) : MPanel(parent, id, rect, 1), m_deaths(deaths) {}
    ~PanelBase() override
    {
        StopFastTimer();
        if (m_deaths)
            ++*m_deaths;
    }
    template <class Control>
    Control* adopt(Control* child)
    {
        child->SetManager(m_manager);
        ScopedLock lock(m_controlsLock);
        m_controls->push_back(child);
        return child;
    }
    int OnControlTimer() override
    {
        if (onTick)
            onTick();
        return 0;
    }

    std::function<void()> onTick;

private:
    int* m_deaths;
};
using TestPanel = Poisoned<PanelBase>;
using StrictPanel = NoAccessAfterDelete<PanelBase>;

template <class Control>
Control* join(MDialog& dialog, Control* control)
{
    control->SetManager(dialog.GetPaintManager());
    dialog.GetPaintManager()->AppendControl(control, 1);
    return control;
}

class Deferred : public ::testing::Test {
protected:
    HookedControl* add(UINT id, CRect rect = CRect(10, 10, 100, 60))
    {
        return join(dialog, new HookedControl(&dialog, id, rect, log, &deaths));
    }

    NotedDialog dialog;
    EventLog log;
    int deaths { 0 };
};

// Ends the test program when the case makes no progress for the given time: a deadlock
// never ends. Progress is each kick.
class Watchdog {
public:
    explicit Watchdog(DWORD ms)
        : m_thread([this, ms] {
              const HANDLE events[] = { m_done, m_kick };
              for (;;) {
                  const DWORD woke = WaitForMultipleObjects(2, events, FALSE, ms);
                  if (woke == WAIT_OBJECT_0)
                      return;
                  if (woke == WAIT_OBJECT_0 + 1)
                      continue;
                  std::fprintf(stderr, "watchdog: no progress for %lu ms (deadlock)\n", ms);
                  std::fflush(stderr);
                  ExitProcess(3);
              }
          })
    {
    }
    ~Watchdog()
    {
        SetEvent(m_done);
        m_thread.join();
        CloseHandle(m_done);
        CloseHandle(m_kick);
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
    void kick() { SetEvent(m_kick); }

private:
    HANDLE m_done { CreateEventW(nullptr, TRUE, FALSE, nullptr) };
    HANDLE m_kick { CreateEventW(nullptr, FALSE, FALSE, nullptr) };
    std::thread m_thread;
};

} // namespace

// ---- asking to be deleted

// An in-place rename edit ends itself on Enter: out of the dialog at once, deleted only once
// the key is done, and no key report from a control that is gone.
TEST_F(Deferred, AControlThatAsksToGoFromItsOwnKeyHandlerIsDeletedWhenTheKeyIsDone)
{
    HookedControl* edit = add(5);
    edit->setKeyNotify(1);
    MControl* foundInside = edit;
    int deathsInside = -1;
    edit->onKey = [&] {
        edit->DeleteLater();
        foundInside = dialog.GetControl(5);
        deathsInside = deaths;
    };
    dialog.PostMessageW(WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(pumpUntil([&] { return deaths == 1; }));
    EXPECT_EQ(nullptr, foundInside);
    EXPECT_EQ(0, deathsInside);
    EXPECT_EQ("", noteLine(dialog.notes));

    // Outside any dispatch there is nothing to wait for.
    add(6)->DeleteLater();
    EXPECT_EQ(2, deaths);
    EXPECT_TRUE(dialog.GetControls()->empty());
}

namespace {

// A drop-down closing from its own selection: it asks to go when its control reports, and
// writes down what it saw then.
struct PopupFate {
    bool windowGoneInside { false };
    int deathsInside { -1 };
    int deaths { 0 };
};

class ClosingPopup : public MPopupWnd {
public:
    explicit ClosingPopup(PopupFate& fate) : m_fate(fate) {}
    ~ClosingPopup() override { ++m_fate.deaths; }
    LRESULT OnMessage(UINT, UINT code, UINT, LONG) override
    {
        if (code != 2)
            return 0;
        HWND window = GetSafeHwnd();
        DeleteLater();
        m_fate.windowGoneInside = !IsWindow(window);
        m_fate.deathsInside = m_fate.deaths;
        return 0;
    }

private:
    PopupFate& m_fate;
};

} // namespace

TEST_F(Deferred, APopupThatAsksToGoFromItsOwnNotificationLosesItsWindowAtOnceAndItsObjectAfter)
{
    PopupFate fate;
    auto* popup = new ClosingPopup(fate);
    ASSERT_NE(nullptr, popup->Create(nullptr, L"drop-down", WS_POPUP, WS_EX_TOOLWINDOW, CRect(320, 320, 480, 420)));
    popup->ShowWindow(SW_SHOWNOACTIVATE);
    addNotifyingControl(*popup->GetPaintManager(), popup, 3, CRect(10, 10, 100, 50), log, &deaths);
    for (UINT msg : { WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP })
        popup->PostMessageW(msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(20, 20));
    ASSERT_TRUE(pumpUntil([&] { return fate.deaths == 1; }));
    EXPECT_TRUE(fate.windowGoneInside);
    EXPECT_EQ(0, fate.deathsInside);
    EXPECT_EQ(1, deaths) << "its controls go with it";
}

// ---- the waiting list

// Deletions whose destructors delete more: a pop-up's paint manager, as it goes, makes the
// controls still waiting forget it. The controls deleted before it in the same loop are made
// inaccessible: the waiting list must not hold them any more.
TEST_F(Deferred, AKeyHandlerRemovesAControlAndAsksAPopupWithControlsOfItsOwnToGo)
{
    auto* removed = join(dialog, new StrictHooked(&dialog, 5, CRect(10, 10, 100, 60), log, &deaths));
    HookedControl* keyed = add(6, CRect(120, 10, 200, 60));
    PopupFate fate;
    auto* popup = new ClosingPopup(fate);
    ASSERT_NE(nullptr, popup->Create(nullptr, L"drop-down", WS_POPUP, WS_EX_TOOLWINDOW, CRect(320, 320, 480, 420)));
    addNotifyingControl(*popup->GetPaintManager(), popup, 3, CRect(10, 10, 100, 50), log, &deaths);
    keyed->onKey = [&] {
        dialog.GetPaintManager()->RemoveControl(removed);
        popup->DeleteLater();
    };
    dialog.PostMessageW(WM_KEYDOWN, 'A', 0);
    ASSERT_TRUE(pumpUntil([&] { return fate.deaths == 1 && deaths == 2; })) << deaths << " controls deleted";
    EXPECT_EQ(keyed, dialog.GetControl(6));
}

// The dialog's destruction deletes its controls once its WM_NCDESTROY is done; the open
// combo's drop-down goes with the combo, after the control deleted first. The dialog object
// is deleted after the window is gone, as a host's main does.
TEST(WaitingList, ADialogWithAControlAndAnOpenComboIsDestroyedPumpedThenDeleted)
{
    EventLog log;
    int deaths = 0;
    auto* dialog = new NotedDialog;
    join(*dialog, new StrictHooked(dialog, 5, CRect(10, 10, 100, 60), log, &deaths));
    auto* combo = dialog->create<MComboBox>(L"MComboBox", 4, CRect(20, 100, 180, 130));
    ASSERT_NE(nullptr, combo);
    for (const wchar_t* item : { L"one", L"two", L"three" })
        combo->AddItem(item, 0, nullptr, Gdiplus::Color());
    dialog->post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(60, 115));
    ASSERT_TRUE(pumpUntil([&] { return combo->GetDropDown() && IsWindowVisible(combo->GetDropDown()->GetSafeHwnd()); }));
    dialog->DestroyWindow();
    pumpMessages();
    EXPECT_EQ(1, deaths);
    delete dialog;
    EXPECT_EQ(1, deaths);
}

// ---- a fault the platform swallows

namespace {

// A window whose destruction faults, as a read of freed memory would. Reached through
// DestroyWindow (a kernel callback), the fault is swallowed by the platform, which unwinds
// past the library's frames without running their destructors.
class FaultingWindow : public MWindow {
public:
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_DESTROY)
            RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 0, nullptr);
        return MWindow::OnWindowMessage(msg, wParam, lParam);
    }
};

} // namespace

// Destroyed outside any dispatch, its scope was the outermost; from a key handler, one inside
// the key's. Either way a removal waits for the dispatch it was made in and no longer, and the
// dispatches after it defer deletions as before.
TEST(SwallowedFault, DeletionsNeitherWaitForeverNorComeTooEarlyAfterAnUnwindThatSkippedTheScopes)
{
    for (const bool fromKeyHandler : { false, true }) {
        const char* what = fromKeyHandler ? "destroyed from a key handler" : "destroyed outside any dispatch";
        NotedDialog dialog;
        EventLog log;
        int deaths = 0;
        FaultingWindow faulting;
        ASSERT_NE(nullptr, faulting.Create(nullptr, L"faulting", WS_POPUP, 0, CRect(0, 0, 40, 40)));
        auto* keyed = join(dialog, new HookedControl(&dialog, 5, CRect(10, 10, 100, 60), log, &deaths));
        auto* removed = join(dialog, new HookedControl(&dialog, 6, CRect(120, 10, 200, 60), log, &deaths));
        if (fromKeyHandler) {
            keyed->onKey = [&] {
                faulting.DestroyWindow();
                dialog.GetPaintManager()->RemoveControl(removed);
            };
            dialog.PostMessageW(WM_KEYDOWN, 'A', 0);
            EXPECT_TRUE(pumpUntil([&] { return deaths == 1; })) << what;
        } else {
            faulting.DestroyWindow();
            removed->DeleteLater();
            EXPECT_EQ(1, deaths) << what << ": outside any dispatch, at once";
        }
        EXPECT_FALSE(IsWindow(faulting.GetSafeHwnd())) << what;
        int deathsInside = -1;
        keyed->onKey = [&] {
            keyed->DeleteLater();
            deathsInside = deaths;
        };
        dialog.PostMessageW(WM_KEYDOWN, 'B', 0);
        EXPECT_TRUE(pumpUntil([&] { return deaths == 2; })) << what;
        EXPECT_EQ(1, deathsInside) << what << ": deleted after the key, not inside it";
    }
}

namespace {

// Faults when the platform tells the window it is about to move: the paint manager offers
// that message to its controls inside a frame of its own.
class FaultingControl : public MControl {
public:
    explicit FaultingControl(MObject* parent) : MControl(parent, 30, CRect(300, 10, 340, 40), 1, 1, 1) {}
    void DrawControl(HDC&, CRect) override {}
    LRESULT OnWindowMessage(UINT msg, WPARAM, LPARAM) override
    {
        if (msg == WM_WINDOWPOSCHANGING)
            RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 0, nullptr);
        return 0;
    }
};

} // namespace

// The fault is inside the paint manager's frame this time. A routing step the host calls
// afterwards, outside any dispatch, is one of its own again: a focus-loss handler that removes
// a sibling does not free it under the walk.
TEST(SwallowedFault, ARoutingStepTheHostCallsAfterAFaultInsideAFrameDefersItsDeletions)
{
    NotedDialog dialog;
    EventLog log;
    int deaths = 0;
    auto* panel = join(dialog, new TestPanel(&dialog, 10, CRect(0, 0, 200, 150), &deaths));
    auto* losing = panel->adopt(new HookedControl(panel, 11, CRect(10, 10, 100, 60), log, &deaths));
    auto* sibling = panel->adopt(new StrictHooked(panel, 12, CRect(10, 70, 100, 120), log, &deaths));
    join(dialog, new FaultingControl(&dialog));
    SetWindowPos(dialog.GetSafeHwnd(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    int deathsInside = -1;
    losing->onBlur = [&] {
        panel->RemoveControl(sibling);
        deathsInside = deaths;
    };
    panel->SetControlFocus(0);
    EXPECT_EQ(0, deathsInside);
    EXPECT_EQ(1, deaths);
}

// ---- handlers that remove what is being walked

// A panel (its children: the bars, then a and b) beside the controls c and d. Each row's
// handler removes controls the routing is still walking or is about to call; every removed
// control goes once the message is done, and nothing of them is used before. Tab moves the
// focus from c to d, and c's focus-loss handler removes d.
TEST(RemovedInHandlers, EveryWalkSurvivesTheRemovalOfTheListItIsWalking)
{
    enum class Removal { Panel, PanelsChildren, AllOfTheDialog, ControlTakingTheFocus };
    struct Row {
        const char* what;
        UINT message;
        Removal removal;
        int deaths;
    };
    const Row rows[] = {
        { "a move handler clears the dialog's list", WM_MOUSEMOVE, Removal::AllOfTheDialog, 5 },
        { "a move handler clears its parent's list", WM_MOUSEMOVE, Removal::PanelsChildren, 2 },
        { "a command handler clears its parent's list", WM_COMMAND, Removal::PanelsChildren, 2 },
        { "a wheel handler removes its panel", WM_MOUSEWHEEL, Removal::Panel, 3 },
        { "a key handler removes its panel", WM_KEYDOWN, Removal::Panel, 3 },
        { "a focus-loss handler removes the control taking the focus", VK_TAB, Removal::ControlTakingTheFocus, 1 },
    };
    for (const Row& row : rows) {
        NotedDialog dialog;
        EventLog log;
        int deaths = 0;
        auto* panel = join(dialog, new StrictPanel(&dialog, 10, CRect(0, 0, 200, 150), &deaths));
        auto* a = panel->adopt(new StrictHooked(panel, 11, CRect(10, 10, 100, 60), log, &deaths));
        panel->adopt(new StrictHooked(panel, 12, CRect(10, 70, 100, 120), log, &deaths));
        auto* c = join(dialog, new StrictHooked(&dialog, 13, CRect(250, 10, 350, 60), log, &deaths));
        auto* d = join(dialog, new StrictHooked(&dialog, 14, CRect(250, 70, 350, 120), log, &deaths));
        c->SetTabStop(1);
        d->SetTabStop(1);
        const std::function<void()> removal = [&, kind = row.removal] {
            switch (kind) {
            case Removal::Panel: dialog.GetPaintManager()->RemoveControl(panel); break;
            case Removal::PanelsChildren: panel->RemoveAllControl(); break;
            case Removal::AllOfTheDialog: dialog.GetPaintManager()->ClearControls(); break;
            case Removal::ControlTakingTheFocus: dialog.GetPaintManager()->RemoveControl(d); break;
            }
        };
        a->onMove = row.message == WM_MOUSEMOVE ? removal : nullptr;
        a->onCommand = row.message == WM_COMMAND ? removal : nullptr;
        a->onWheel = row.message == WM_MOUSEWHEEL ? removal : nullptr;
        a->onKey = row.message == WM_KEYDOWN ? removal : nullptr;
        if (row.message == VK_TAB) {
            dialog.SetFocusControl(c);
            c->onBlur = removal;
            MSG tab { dialog.GetSafeHwnd(), WM_KEYDOWN, VK_TAB, 0, 0, {} };
            EXPECT_EQ(1, dialog.PreTranslateMessage(&tab)) << row.what;
            EXPECT_EQ(nullptr, dialog.GetPaintManager()->GetFocusControl()) << row.what;
        } else if (row.message == WM_MOUSEWHEEL) {
            POINT screen { 20, 20 };
            ClientToScreen(dialog.GetSafeHwnd(), &screen);
            dialog.PostMessageW(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(screen.x, screen.y));
        } else {
            dialog.PostMessageW(row.message, 0, row.message == WM_MOUSEMOVE ? MAKELPARAM(20, 20) : 0);
        }
        EXPECT_TRUE(pumpUntil([&] { return deaths == row.deaths; })) << row.what << ": " << deaths << " deleted";
    }
}

// The panel ticks; its tick walks its ticking child under the panel's list lock. A key
// reaches the child through the panel's walk, and the child's handler removes the panel while
// its tick is under way: the removal waits out the tick, which must not wait for the GUI
// thread. The panel's tick is held until the key handler runs, so the two always meet.
TEST(RemovedInHandlers, AKeyHandlerRemovesItsTickingPanelInTheMiddleOfItsTick)
{
    Watchdog watchdog(10000);
    NotedDialog dialog;
    EventLog log;
    int deaths = 0;
    auto* panel = join(dialog, new StrictPanel(&dialog, 10, CRect(0, 0, 200, 150), &deaths));
    auto* child = panel->adopt(new StrictHooked(panel, 11, CRect(10, 10, 100, 60), log, &deaths));
    child->SetRunTimer(1);
    HANDLE inTick = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE keyArrived = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> held { false };
    panel->onTick = [&] {
        if (held.exchange(true))
            return;
        SetEvent(inTick);
        WaitForSingleObject(keyArrived, kDeadlineMs);
    };
    child->onKey = [&] {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(inTick, kDeadlineMs));
        SetEvent(keyArrived);
        dialog.GetPaintManager()->RemoveControl(panel);
    };
    panel->AddMTimer();
    dialog.SetMTimer(1);
    dialog.PostMessageW(WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(pumpUntil([&] { return deaths == 2; }));
    dialog.GetPaintManager()->KillMTimer();
    CloseHandle(inTick);
    CloseHandle(keyArrived);
}

namespace {

// Ticks on the fast timer; once armed, its next tick meets the GUI thread half-way, then sets
// a window timer of its own (which takes the paint manager's timer lock).
class TimerSetterBase : public MControl {
public:
    TimerSetterBase(MObject* parent, int* deaths) : MControl(parent, 20, CRect(0, 0, 10, 10), 1, 1, 1), m_deaths(deaths) {}
    ~TimerSetterBase() override
    {
        StopFastTimer();
        ++*m_deaths;
    }
    void DrawControl(HDC&, CRect) override {}
    int OnControlTimer() override
    {
        if (!armed.exchange(false))
            return 0;
        SetEvent(inTick);
        WaitForSingleObject(mayGoOn, kDeadlineMs);
        m_manager->SetTimer(this, 7, 60000);
        return 0;
    }
    std::atomic<bool> armed { false };
    HANDLE inTick { CreateEventW(nullptr, TRUE, FALSE, nullptr) };
    HANDLE mayGoOn { CreateEventW(nullptr, TRUE, FALSE, nullptr) };

private:
    int* m_deaths;
};

// A window timer whose handler runs a test step once.
class WindowTimed : public MControl {
public:
    WindowTimed(MObject* parent, std::function<void()> step) : MControl(parent, 21, CRect(), 1, 1, 1), m_step(std::move(step)) {}
    void DrawControl(HDC&, CRect) override {}
    int OnControlTimer() override
    {
        if (auto step = std::exchange(m_step, nullptr))
            step();
        return 0;
    }

private:
    std::function<void()> m_step;
};

} // namespace

// A window-timer handler removes a control whose fast tick is under way and sets a timer: the
// removal waits out the tick, which must not wait for a timer lock held across the handler.
TEST(RemovedInHandlers, AWindowTimerHandlerRemovesAControlWhoseTickSetsATimer)
{
    Watchdog watchdog(10000);
    NotedDialog dialog;
    PaintManager* manager = dialog.GetPaintManager();
    int deaths = 0;
    auto* ticking = join(dialog, new NoAccessAfterDelete<TimerSetterBase>(&dialog, &deaths));
    HANDLE inTick = ticking->inTick, mayGoOn = ticking->mayGoOn;
    auto* timed = join(dialog, new WindowTimed(&dialog, [&, ticking] {
        ticking->armed = true;
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(inTick, kDeadlineMs));
        SetEvent(mayGoOn);
        manager->RemoveControl(ticking);
    }));
    ticking->AddMTimer();
    dialog.SetMTimer(1);
    ASSERT_EQ(1, manager->SetTimer(timed, 1, 10));
    EXPECT_TRUE(pumpUntil([&] { return deaths == 1; }));
    manager->KillMTimer();
    CloseHandle(inTick);
    CloseHandle(mayGoOn);
}

// ---- many rounds

namespace {

// The sum of the busy blocks of every heap of the process.
size_t heapInUse()
{
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    size_t used = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        PROCESS_HEAP_ENTRY entry {};
        HeapLock(heaps[i]);
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                used += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return used;
}

} // namespace

// Each round: a ticking panel with a ticking child, a hover over the child, a key whose
// handler removes the panel, on a 1 ms fast timer. No deadlock (the watchdog), no use of a
// deleted control (poisoned), and the GDI objects and the heap are where they were once the
// poison's hold is full.
TEST(RemovedInHandlers, TenThousandRoundsOfCreateTickHoverKeyAndRemovalFromAHandler)
{
    NotedDialog dialog;
    EventLog log;
    int deaths = 0;
    std::atomic<long> ticks { 0 };
    dialog.SetMTimer(1);
    Watchdog watchdog(10000);
    const auto round = [&] {
        watchdog.kick();
        const int before = deaths;
        auto* panel = join(dialog, new TestPanel(&dialog, 10, CRect(0, 0, 200, 150), &deaths));
        auto* child = panel->adopt(new HookedControl(panel, 11, CRect(10, 10, 100, 60), log, &deaths));
        child->SetRunTimer(1);
        panel->onTick = [&] { ++ticks; };
        child->onKey = [&dialog, panel] { dialog.GetPaintManager()->RemoveControl(panel); };
        panel->AddMTimer();
        dialog.PostMessageW(WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
        dialog.PostMessageW(WM_KEYDOWN, 'A', 0);
        ASSERT_TRUE(pumpUntil([&] { return deaths == before + 2; }));
        log.clear();
    };
    // Enough rounds to fill the poison's hold: from then on every delete frees one block.
    for (size_t i = 0; i < TestPanel::kHeld; ++i)
        round();
    const int gdi = countGdiObjects();
    const size_t heap = heapInUse();
    for (int i = 0; i < 10000 && !HasFatalFailure(); ++i)
        round();
    EXPECT_GT(ticks.load(), 100);
    if (gdi >= 0) {
        EXPECT_EQ(gdi, gdiObjectsSettled(gdi));
    }
    EXPECT_LT(heapInUse(), heap + 64 * 1024) << "heap in use before: " << heap;
    dialog.GetPaintManager()->KillMTimer();
}
