#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "PumpUntil.h"
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
        if (onTick)
            onTick(*this);
        return RecordingControl::OnControlTimer();
    }
    std::function<void(ScriptedControl&)> onTick;
};

class Timers : public ::testing::Test {
protected:
    Timers()
    {
        window.onMessage([this](UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
            if (msg != WM_TIMER)
                return false;
            ++delivered;
            manager.OnTimer(static_cast<UINT>(wParam));
            result = 0;
            return true;
        });
        manager.Init(window.hwnd(), nullptr);
        pumpMessages();
    }
    ~Timers() override { window.onMessage({}); }

    ScriptedControl* add(UINT id)
    {
        auto* control = new ScriptedControl(&top, id, CRect(0, 0, 10, 10), log);
        control->SetManager(&manager);
        manager.AppendControl(control, 1);
        return control;
    }
    // Sets timers with local ids from firstLocalId on until count of them are running.
    void setTimers(MControl* control, UINT firstLocalId, int count)
    {
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(1, manager.SetTimer(control, firstLocalId + i, kNever)) << "timer " << i;
    }
    // Fires the ids, then the ticks of controls 1 to 3: "a b c".
    std::string fire(UINT firstId, UINT lastId)
    {
        for (UINT id = firstId; id <= lastId; ++id)
            manager.OnTimer(id);
        return std::to_string(log.count("tick", 1)) + " " + std::to_string(log.count("tick", 2)) + " "
            + std::to_string(log.count("tick", 3));
    }

    TestWindow window;
    RecordingParent top;
    EventLog log;
    PaintManager manager;
    int delivered { 0 };
};

} // namespace

// Ids are taken in turn from 17; the overlay's reserved ids and 0 are never given, and every
// other id is given once, after which SetTimer fails. Reserved ids reach no control.
TEST_F(Timers, IdsAreTakenInTurnFromSeventeenWithoutReservedOnes)
{
    ScriptedControl* first = add(1);
    ScriptedControl* filler = add(2);
    ASSERT_EQ(1, manager.SetTimer(first, 5, kNever));
    setTimers(filler, 0, kUsableIds - 1);
    EXPECT_EQ(0, manager.SetTimer(filler, 1000, kNever));
    EXPECT_EQ("1 16 0", fire(0, 17));
    for (UINT id : { 66u, 88u, 99u, 6553u })
        manager.OnTimer(id);
    EXPECT_EQ("1 64 0", fire(18, 65));
    EXPECT_EQ("1 " + std::to_string(kUsableIds - 1) + " 0", fire(66, 239));
}

// After the wrap: 1 to 16 (0 is skipped), then 31, past the ids the keeper still holds.
TEST_F(Timers, AfterTheWrapIdsStillInUseAreSkipped)
{
    ScriptedControl* keeper = add(1);
    ScriptedControl* passing = add(2);
    ScriptedControl* probe = add(3);
    setTimers(keeper, 0, 14);                // 17 to 30
    setTimers(passing, 0, 239 - 31 + 1 - 3); // 31 to 239 without the reserved ids
    manager.KillTimer(passing);
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
    EXPECT_EQ(0, manager.SetTimer(a, 7, 10));
    EXPECT_EQ(0, manager.KillTimer(b, 7));
    EXPECT_EQ(1, manager.KillTimer(a, 7));
    EXPECT_EQ(0, manager.KillTimer(a, 7));
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
    EXPECT_EQ(0, unbound.SetTimer(a, 1, 10));
    EXPECT_EQ(0, unbound.KillTimer(a, 1));
}

// A handler may kill its own timers, set enough new ones to move the records' storage, and
// remove another control, whose timer goes with it: its id 18 is freed and answers nothing.
TEST_F(Timers, HandlersMayChangeTimersAndControls)
{
    ScriptedControl* control = add(1);
    ScriptedControl* victim = add(2);
    control->onTick = [this, victim](ScriptedControl& self) {
        manager.KillTimer(&self);
        for (UINT localId = 100; localId < 140; ++localId)
            manager.SetTimer(&self, localId, kNever);
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
        log.clear();
        ASSERT_TRUE(pumpUntil([&] { return log.count("tick", 1) >= 2; })) << "ending " << i;
        endings[i](manager, control);
        pumpMessages();
        const int after = delivered;
        pumpUntil([] { return false; }, 150);
        EXPECT_EQ(after, delivered) << "ending " << i;
        manager.ClearAllControls();
    }
}
