// Window timers of controls: the Win32 ids they are given, the records kept for them, handlers
// that change timers and controls, and real WM_TIMER ticks until each way of ending them.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "BoundWindow.h"
#include "PumpUntil.h"

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
        if (onTick)
            onTick(*this);
        return RecordingControl::OnControlTimer();
    }
    std::function<void(ScriptedControl&)> onTick;
};

class Timers : public ::testing::Test, public BoundWindow<> {
protected:
    Timers() : BoundWindow([](UINT msg) { return msg == WM_TIMER; }) {}

    ScriptedControl* add(UINT id) { return adopt(manager, new ScriptedControl(&top, id, CRect(0, 0, 10, 10), log)); }
    void setTimers(MControl* control, UINT firstLocalId, int count)
    {
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(1, manager.SetTimer(control, firstLocalId + i, kNever)) << "timer " << i;
    }
    // Fires the ids, then gives the ticks of controls 1 to 3 so far: "a b c".
    std::string fire(UINT firstId, UINT lastId)
    {
        for (UINT id = firstId; id <= lastId; ++id)
            manager.OnTimer(id);
        return std::to_string(log.count("tick", 1)) + " " + std::to_string(log.count("tick", 2)) + " "
            + std::to_string(log.count("tick", 3));
    }
};

} // namespace

// Ids are taken in turn from 17; the overlay's reserved ids and 0 are never given, and every
// other id is given once, after which SetTimer fails. Reserved ids reach no control. After the
// wrap, ids still in use are skipped: 1 to 16, then 31 past the ones a keeper holds.
TEST_F(Timers, IdsAreTakenInTurnWithoutReservedOnesOrOnesInUse)
{
    ScriptedControl* first = add(1);
    ScriptedControl* filler = add(2);
    ASSERT_EQ(1, manager.SetTimer(first, 5, kNever));
    setTimers(filler, 0, kUsableIds - 1);
    EXPECT_EQ(0, manager.SetTimer(filler, 1000, kNever));
    EXPECT_EQ("1 16 0", fire(0, 17));
    for (UINT id : { 66u, 88u, 99u, 6553u })
        manager.OnTimer(id);
    EXPECT_EQ("1 " + std::to_string(kUsableIds - 1) + " 0", fire(18, 239));

    manager.ClearTimers();
    log.clear();
    ScriptedControl* probe = add(3);
    setTimers(first, 0, 14);                // 17 to 30
    setTimers(filler, 0, 239 - 31 + 1 - 3); // 31 to 239 without the reserved ids
    manager.KillTimer(filler);
    setTimers(probe, 0, 17);
    EXPECT_EQ("0 0 1", fire(31, 31));
    EXPECT_EQ("14 0 17", fire(1, 30));
}

// A running timer keeps its period; a killed one keeps its record and is re-armed with the
// same id; killing what is not running fails. Killing a control's timers, or clearing them
// all, removes the records themselves: setting again takes a new id.
TEST_F(Timers, KilledTimersKeepTheirIdsAndForgottenOnesLoseTheirRecords)
{
    ScriptedControl* a = add(1);
    ScriptedControl* b = add(2);
    EXPECT_EQ(0, manager.KillTimer(a, 7));
    ASSERT_EQ(1, manager.SetTimer(a, 7, kNever)); // 17
    // Running already, not running for b, killed, killed already.
    EXPECT_EQ((std::vector<int> { 0, 0, 1, 0 }), (std::vector<int> { manager.SetTimer(a, 7, 10), manager.KillTimer(b, 7),
                                                                       manager.KillTimer(a, 7), manager.KillTimer(a, 7) }));
    EXPECT_EQ("0 0 0", fire(17, 17));
    EXPECT_EQ(1, manager.SetTimer(a, 7, kNever));
    EXPECT_EQ("1 0 0", fire(17, 17));
    for (UINT local : { 1u, 2u, 3u }) {
        manager.SetTimer(a, local, kNever); // 18, 20, 22
        manager.SetTimer(b, local, kNever); // 19, 21, 23
    }
    manager.KillTimer(a);
    EXPECT_EQ("1 3 0", fire(17, 23));
    EXPECT_EQ(1, manager.SetTimer(a, 1, kNever));
    EXPECT_EQ("2 3 0", fire(24, 24));
    manager.KillTimer(b, 1);
    manager.ClearTimers();
    EXPECT_EQ("2 3 0", fire(17, 24));
    EXPECT_EQ(1, manager.SetTimer(b, 1, kNever));
    EXPECT_EQ("2 4 0", fire(25, 25));

    PaintManager unbound;
    EXPECT_EQ(0, unbound.SetTimer(a, 1, 10) + unbound.KillTimer(a, 1));
}

// A handler may kill its own timers, set enough new ones to move the records' storage, and
// remove another control, whose timer goes with it: its id 18 is freed and answers nothing.
TEST_F(Timers, HandlersMayChangeTimersAndControls)
{
    ScriptedControl* control = add(1);
    ScriptedControl* victim = add(2);
    control->onTick = [this, victim](ScriptedControl& self) {
        manager.KillTimer(&self);
        setTimers(&self, 100, 40);
        manager.RemoveControl(victim);
    };
    ASSERT_EQ(1, manager.SetTimer(control, 1, kNever)); // 17
    ASSERT_EQ(1, manager.SetTimer(victim, 1, kNever));  // 18
    EXPECT_EQ("1 0 0", fire(17, 17));
    control->onTick = nullptr;
    EXPECT_EQ("2 0 0", fire(17, 19));
}

// A real WM_TIMER ticks the control; each way of ending its timer stops the messages.
TEST_F(Timers, RealTimersTickUntilEnded)
{
    const std::vector<std::function<void(ScriptedControl*)>> endings {
        [&](ScriptedControl* c) { manager.KillTimer(c, 1); }, [&](ScriptedControl* c) { manager.KillTimer(c); },
        [&](ScriptedControl*) { manager.ClearTimers(); },     [&](ScriptedControl* c) { manager.RemoveControl(c); },
        [&](ScriptedControl*) { manager.DestroyData(); },
    };
    for (size_t i = 0; i < endings.size(); ++i) {
        manager.Init(window.hwnd(), nullptr);
        ScriptedControl* control = add(1);
        ASSERT_EQ(1, manager.SetTimer(control, 1, 20)) << "ending " << i;
        log.clear();
        ASSERT_TRUE(pumpUntil([&] { return log.count("tick", 1) >= 2; })) << "ending " << i;
        endings[i](control);
        pumpMessages();
        const int after = received[WM_TIMER];
        pumpUntil([] { return false; }, 150);
        EXPECT_EQ(after, received[WM_TIMER]) << "ending " << i;
        manager.ClearAllControls();
    }
}
