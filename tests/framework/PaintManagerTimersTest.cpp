#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "RecordingControl.h"
#include "TestWindow.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

// Long enough never to fire while a case runs.
constexpr UINT kNever = 3600000;

// Every usable control timer id: 1 to 239 without the paint manager's reserved 66, 88, 99.
constexpr int kUsableIds = 239 - 3;

// Runs a timer handler the case chooses.
class ScriptedControl : public RecordingControl {
public:
    using RecordingControl::RecordingControl;
    int OnControlTimer() override
    {
        ++calls;
        if (onTick)
            onTick(*this);
        return RecordingControl::OnControlTimer();
    }

    std::function<void(ScriptedControl&)> onTick;
    int calls { 0 };
};

class TimedWindow : public ::testing::Test {
protected:
    TimedWindow()
    {
        window.onMessage([this](UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
            if (msg != WM_TIMER)
                return false;
            delivered.push_back(static_cast<UINT>(wParam));
            manager.OnTimer(static_cast<UINT>(wParam));
            result = 0;
            return true;
        });
        manager.Init(window.hwnd(), nullptr);
        pumpMessages();
    }
    ~TimedWindow() override { window.onMessage({}); }

    ScriptedControl* add(UINT id)
    {
        auto* control = new ScriptedControl(&top, id, CRect(0, 0, 10, 10), log);
        control->SetManager(&manager);
        manager.AppendControl(control, 1);
        return control;
    }

    int ticks(UINT controlId) const { return log.count("tick", controlId); }

    // Sets timers with local ids from firstLocalId on until count of them are running.
    void setTimers(MControl* control, UINT firstLocalId, int count)
    {
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(1, manager.SetTimer(control, firstLocalId + i, kNever)) << "timer " << i;
    }

    void fireAll(UINT firstId, UINT lastId)
    {
        for (UINT id = firstId; id <= lastId; ++id)
            manager.OnTimer(id);
    }

    int deliveriesOf(UINT id) const { return static_cast<int>(std::count(delivered.begin(), delivered.end(), id)); }

    // Lets the message loop run for a while, or until the condition holds.
    bool pumpFor(DWORD milliseconds, const std::function<bool()>& done = [] { return false; })
    {
        const DWORD start = GetTickCount();
        while (!done() && GetTickCount() - start < milliseconds) {
            pumpMessages();
            Sleep(5);
        }
        return done();
    }

    TestWindow window;
    RecordingParent top;
    EventLog log;
    PaintManager manager;
    std::vector<UINT> delivered;
};

using TimerIds = TimedWindow;
using TimerLifetime = TimedWindow;
using TimerDispatch = TimedWindow;
using TimerDelivery = TimedWindow;

} // namespace

// ---- ids

TEST_F(TimerIds, FirstIsSeventeenThenInTurn)
{
    ScriptedControl* first = add(1);
    ScriptedControl* second = add(2);
    EXPECT_EQ(1, manager.SetTimer(first, 5, kNever));
    EXPECT_EQ(1, manager.SetTimer(second, 5, kNever));
    manager.OnTimer(17);
    EXPECT_EQ(1, ticks(1));
    EXPECT_EQ(0, ticks(2));
    manager.OnTimer(18);
    EXPECT_EQ(1, ticks(2));
    manager.OnTimer(19);
    manager.OnTimer(16);
    EXPECT_EQ(2u, log.events().size());
}

TEST_F(TimerIds, ReservedIdsAreNeverGivenToControls)
{
    ScriptedControl* filler = add(1);
    ScriptedControl* probe = add(2);
    setTimers(filler, 0, 65 - 17 + 1);
    ASSERT_EQ(1, manager.SetTimer(probe, 0, kNever));
    manager.OnTimer(66);
    EXPECT_EQ(0, ticks(2));
    manager.OnTimer(67);
    EXPECT_EQ(1, ticks(2));
}

TEST_F(TimerIds, EveryUsableIdIsTakenOnceThenSetTimerFails)
{
    ScriptedControl* filler = add(1);
    setTimers(filler, 0, kUsableIds);
    EXPECT_EQ(0, manager.SetTimer(filler, 1000, kNever));
    manager.OnTimer(0);
    fireAll(1, 239);
    EXPECT_EQ(kUsableIds, ticks(1));
    EXPECT_EQ(kUsableIds, filler->calls);
}

TEST_F(TimerIds, AfterTheWrapIdsStillInUseAreSkipped)
{
    ScriptedControl* keeper = add(1);
    ScriptedControl* passing = add(2);
    ScriptedControl* probe = add(3);
    setTimers(keeper, 0, 14);               // 17 to 30
    setTimers(passing, 0, 239 - 31 + 1 - 3); // 31 to 239 without the reserved ids
    manager.KillTimer(passing);
    setTimers(probe, 0, 17); // after the wrap: 1 to 16 (0 is skipped), then 31
    manager.OnTimer(31);
    EXPECT_EQ(1, ticks(3));
    fireAll(1, 16);
    EXPECT_EQ(17, ticks(3));
    fireAll(17, 30);
    EXPECT_EQ(14, ticks(1));
    EXPECT_EQ(17, ticks(3));
}

// ---- set and kill

TEST_F(TimerLifetime, SettingARunningTimerAgainFails)
{
    ScriptedControl* control = add(1);
    EXPECT_EQ(1, manager.SetTimer(control, 7, kNever));
    EXPECT_EQ(0, manager.SetTimer(control, 7, 10));
}

TEST_F(TimerLifetime, KilledTimerIsReArmedWithTheSameId)
{
    ScriptedControl* control = add(1);
    ScriptedControl* other = add(2);
    ASSERT_EQ(1, manager.SetTimer(control, 7, kNever));
    EXPECT_EQ(1, manager.KillTimer(control, 7));
    EXPECT_EQ(0, manager.KillTimer(control, 7));
    manager.OnTimer(17);
    EXPECT_EQ(0, ticks(1));
    EXPECT_EQ(1, manager.SetTimer(control, 7, kNever));
    manager.OnTimer(17);
    EXPECT_EQ(1, ticks(1));
    // The re-armed timer took no new id.
    ASSERT_EQ(1, manager.SetTimer(other, 7, kNever));
    manager.OnTimer(18);
    EXPECT_EQ(1, ticks(2));
}

TEST_F(TimerLifetime, KillingAnUnknownTimerFails)
{
    ScriptedControl* control = add(1);
    EXPECT_EQ(0, manager.KillTimer(control, 3));
    ASSERT_EQ(1, manager.SetTimer(control, 3, kNever));
    EXPECT_EQ(0, manager.KillTimer(add(2), 3));
}

TEST_F(TimerLifetime, KillingAControlsTimersRemovesExactlyThose)
{
    ScriptedControl* a = add(1);
    ScriptedControl* b = add(2);
    manager.SetTimer(a, 1, kNever); // 17
    manager.SetTimer(b, 1, kNever); // 18
    manager.SetTimer(a, 2, kNever); // 19
    manager.SetTimer(b, 2, kNever); // 20
    manager.SetTimer(a, 3, kNever); // 21
    manager.KillTimer(a);
    fireAll(17, 21);
    EXPECT_EQ(0, ticks(1));
    EXPECT_EQ(2, ticks(2));
    // The records are gone, not only killed: setting again takes a new id.
    EXPECT_EQ(1, manager.SetTimer(a, 1, kNever));
    manager.OnTimer(22);
    EXPECT_EQ(1, ticks(1));
}

TEST_F(TimerLifetime, ClearTimersForgetsEveryRecord)
{
    ScriptedControl* a = add(1);
    ScriptedControl* b = add(2);
    manager.SetTimer(a, 1, kNever);
    manager.SetTimer(b, 1, kNever);
    manager.KillTimer(b, 1);
    manager.ClearTimers();
    fireAll(17, 18);
    EXPECT_EQ(0, ticks(1) + ticks(2));
    EXPECT_EQ(1, manager.SetTimer(b, 1, kNever));
}

TEST(TimerUnbound, SetTimerNeedsAWindow)
{
    PaintManager manager;
    RecordingParent top;
    EventLog log;
    RecordingControl control(&top, 1, CRect(0, 0, 10, 10), log);
    EXPECT_EQ(0, manager.SetTimer(&control, 1, 10));
    EXPECT_EQ(0, manager.KillTimer(&control, 1));
}

// ---- dispatch

TEST_F(TimerDispatch, AHandlerMaySetAndKillItsOwnTimers)
{
    ScriptedControl* control = add(1);
    control->onTick = [this](ScriptedControl& self) {
        manager.KillTimer(&self);
        // Enough new records to move the list's storage while it is being dispatched.
        for (UINT localId = 100; localId < 140; ++localId)
            manager.SetTimer(&self, localId, kNever);
    };
    ASSERT_EQ(1, manager.SetTimer(control, 1, kNever));
    manager.OnTimer(17);
    EXPECT_EQ(1, control->calls);
    manager.OnTimer(17);
    EXPECT_EQ(1, control->calls);
    control->onTick = nullptr;
    manager.OnTimer(18);
    EXPECT_EQ(2, control->calls);
}

TEST_F(TimerDispatch, AHandlerMayRemoveAnotherControl)
{
    ScriptedControl* remover = add(1);
    ScriptedControl* victim = add(2);
    remover->onTick = [this, victim](ScriptedControl&) { manager.RemoveControl(victim); };
    ASSERT_EQ(1, manager.SetTimer(remover, 1, kNever));
    ASSERT_EQ(1, manager.SetTimer(victim, 1, kNever));
    manager.OnTimer(17);
    // The victim's timer went with it.
    manager.OnTimer(18);
    EXPECT_EQ(0, ticks(2));
}

TEST_F(TimerDispatch, ReservedIdsDoNotReachControls)
{
    ScriptedControl* control = add(1);
    setTimers(control, 0, kUsableIds);
    for (UINT id : { 66u, 88u, 99u, 6553u })
        manager.OnTimer(id);
    EXPECT_EQ(0, ticks(1));
}

// ---- real WM_TIMER

TEST_F(TimerDelivery, ControlTimerTicksThroughTheMessageLoop)
{
    ScriptedControl* control = add(1);
    ASSERT_EQ(1, manager.SetTimer(control, 1, 20));
    EXPECT_TRUE(pumpFor(2000, [this] { return ticks(1) >= 3; }));
    EXPECT_GE(deliveriesOf(17), 3);
}

// Each way of ending a running control timer stops its WM_TIMER messages.
TEST_F(TimerDelivery, EndedTimersStopArriving)
{
    const std::vector<std::function<void(PaintManager&, ScriptedControl*)>> endings {
        [](PaintManager& m, ScriptedControl* c) { m.KillTimer(c, 1); },
        [](PaintManager& m, ScriptedControl* c) { m.KillTimer(c); },
        [](PaintManager& m, ScriptedControl*) { m.ClearTimers(); },
        [](PaintManager& m, ScriptedControl* c) { m.RemoveControl(c); },
        [](PaintManager& m, ScriptedControl*) { m.DestroyData(); },
    };
    for (size_t i = 0; i < endings.size(); ++i) {
        manager.Init(window.hwnd(), nullptr);
        ScriptedControl* control = add(1);
        ASSERT_EQ(1, manager.SetTimer(control, 1, 20)) << "ending " << i;
        const int before = static_cast<int>(delivered.size());
        ASSERT_TRUE(pumpFor(2000, [&] { return static_cast<int>(delivered.size()) > before; })) << "ending " << i;
        endings[i](manager, control);
        pumpMessages();
        const size_t after = delivered.size();
        pumpFor(150);
        EXPECT_EQ(after, delivered.size()) << "ending " << i;
        manager.ClearAllControls();
    }
}
