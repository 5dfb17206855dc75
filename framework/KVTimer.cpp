#include "framework/KVTimer.h"

#include <mmsystem.h>

namespace KOVA {

KVTimer::~KVTimer()
{
    KillTimer();
}

void KVTimer::OnMTimer(UINT, CString) {}

int KVTimer::KillTimer()
{
    std::vector<TimerEntry> doomed;
    {
        ScopedLock lock(m_timerEntriesLock);
        doomed.swap(*m_timers);
    }
    for (const TimerEntry& entry : doomed)
        timeKillEvent(entry.id);
    return 0;
}

} // namespace KOVA
