#include "framework/FastTimerList.h"

#include <algorithm>

#include "framework/MControl.h"
#include "platform/MmxCallScope.h"

namespace KOVA {

class FastTimerList::Guard {
public:
    explicit Guard(SRWLOCK& lock) : m_lock(lock) { AcquireSRWLockExclusive(&m_lock); }
    ~Guard() { ReleaseSRWLockExclusive(&m_lock); }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

private:
    SRWLOCK& m_lock;
};

void FastTimerList::Add(MControl* control)
{
    Guard guard(m_lock);
    m_controls.push_back(control);
}

bool FastTimerList::Remove(MControl* control)
{
    Guard guard(m_lock);
    auto listed = std::find(m_controls.begin(), m_controls.end(), control);
    if (listed == m_controls.end())
        return false;
    m_controls.erase(listed);
    auto pending = std::find(m_walk.begin() + static_cast<std::ptrdiff_t>(m_next), m_walk.end(), control);
    if (pending != m_walk.end())
        *pending = nullptr;
    // A control may remove itself or another from inside its own tick: no waiting there.
    while (m_calling == control && m_tickThread != ::GetCurrentThreadId())
        SleepConditionVariableSRW(&m_callEnded, &m_lock, INFINITE, 0);
    return true;
}

MControl* FastTimerList::claimNext()
{
    Guard guard(m_lock);
    while (m_next < m_walk.size())
        if (MControl* control = m_walk[m_next++]) {
            m_calling = control;
            return control;
        }
    m_walk.clear();
    m_tickThread = 0;
    return nullptr;
}

void FastTimerList::endCall()
{
    Guard guard(m_lock);
    m_calling = nullptr;
    WakeAllConditionVariable(&m_callEnded);
}

void FastTimerList::Tick()
{
    {
        Guard guard(m_lock);
        if (m_tickThread)
            return;
        m_tickThread = ::GetCurrentThreadId();
        m_walk.assign(m_controls.begin(), m_controls.end());
        m_next = 0;
    }
    while (MControl* control = claimNext()) {
        // Each control starts its tick with the x87 registers free, whatever MMX code the one
        // before it ran: the renderers after a host's player draw with GDI+ on this thread.
        EmptyMmxState();
        // A control that throws loses this tick only: the call must end, or removing that
        // control would wait for it forever, and the controls after it still tick.
        try {
            control->OnTimer();
        } catch (...) {
        }
        endCall();
    }
}

} // namespace KOVA
