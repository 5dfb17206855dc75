#pragma once
// The controls a paint manager's fast timer ticks, and the walk of one tick.
//
// Threads and locks: ticks run on the multimedia-timer thread; controls are added and removed
// on any thread, mostly the GUI thread. The list's lock is a leaf, held only for a moment and
// never while a control runs: a tick walks its own copy of the list and calls each control
// with the lock released, so the only locks a tick holds are those the controls take
// themselves. An entry removed during a tick is skipped. A removal on another thread returns
// only once a call into that control has returned, so its caller may delete the control; the
// caller must hold no lock that the control's tick takes (such as its list locks).
#include "platform/Win32.h"

#include <vector>

namespace KOVA {

class MControl;

class FastTimerList {
public:
    // Inline: hosts of the library construct paint managers, and with them this list.
    FastTimerList()
    {
        m_controls.reserve(kReserved);
        m_walk.reserve(kReserved);
    }
    FastTimerList(const FastTimerList&) = delete;
    FastTimerList& operator=(const FastTimerList&) = delete;

    // A control added twice is called twice per tick.
    void Add(MControl* control);
    // Removes one entry of the control; false when it had none.
    bool Remove(MControl* control);
    // Calls OnTimer on every control listed when the tick began, in order. A tick that finds
    // another one running does nothing. What a control throws ends its own call only.
    void Tick();

private:
    // Enough for every ticking control of a window: a tick's copy then never allocates.
    static constexpr size_t kReserved = 32;
    class Guard;
    MControl* claimNext();
    void endCall();

    SRWLOCK m_lock = SRWLOCK_INIT;
    CONDITION_VARIABLE m_callEnded = CONDITION_VARIABLE_INIT;
    std::vector<MControl*> m_controls;
    // The running tick's copy; an entry removed since it was taken is blanked.
    std::vector<MControl*> m_walk;
    size_t m_next { 0 };
    MControl* m_calling { nullptr };
    DWORD m_tickThread { 0 };
};

} // namespace KOVA
