#pragma once
// Owner of periodic multimedia timers, whose ticks run on the multimedia-timer thread.
#include <windows.h>

#include <vector>

#include "platform/CString.h"
#include "platform/CriticalSection.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class KOVA_API KVTimer {
public:
    struct TimerEntry {
        UINT id { 0 };
        CString name;
        int app { 0 };
    };

    KVTimer() = default;
    KVTimer(const KVTimer&) = default;
    KVTimer& operator=(const KVTimer&) = default;
    virtual ~KVTimer();

    // Application timers are reported by name; every tick also reaches OnMTimer(id).
    virtual void OnMTimer(UINT id, CString name);
    virtual void OnMTimer(UINT id) = 0;

    // Kills every timer of this object; returns the number of entries left (0).
    int KillTimer();

protected:
    NotCopied<std::vector<TimerEntry>> m_timers;
    CriticalSection m_timerEntriesLock;
};

} // namespace KOVA
