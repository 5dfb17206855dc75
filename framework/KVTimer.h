#pragma once
// Owner of periodic multimedia timers, whose ticks run on the multimedia-timer thread.
//
// Threads: the entry list is changed on the GUI thread and read by the timer callback; one
// lock guards every access. Timers are created with TIME_KILL_SYNCHRONOUS, so once a kill
// returns no tick of that timer is running or will run: an owner may free what its ticks
// touch right after killing them. Never kill a timer from inside its own tick.
#include "platform/Win32.h"

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

    KVTimer();
    // A copy owns no timers and registers itself as a timer owner of its own.
    KVTimer(const KVTimer& other);
    KVTimer& operator=(const KVTimer& other);
    virtual ~KVTimer();

    // Application timers are also reported by name; every tick reaches OnMTimer(id).
    virtual void OnMTimer(UINT id, CString name);
    virtual void OnMTimer(UINT id) = 0;

    // A new periodic timer; its id, or 0 when the system refused (no entry is kept then).
    UINT SetTimer(UINT period, CString name, int app);
    // Each returns the number of entries left.
    int KillTimer(UINT id);
    int KillTimer(CString name);
    int KillTimer();
    int GetTimerIsRun(UINT id);
    int GetTimerIsRun(CString name);
    CString GetTimerName(UINT id);
    int IsAppTimer(UINT id);

    // The first live owner, in creation order, that has a timer with this id.
    static KVTimer* GetFSTimer(UINT id);
    static void CALLBACK TimerCallProc(UINT id, UINT msg, DWORD_PTR user, DWORD_PTR, DWORD_PTR);

    static UINT m_uAccuracy;
    static int m_bIsTmierOK;

private:
    void registerSelf();
    bool findEntry(UINT id, TimerEntry& entry);
    int killFirstMatching(bool (*matches)(const TimerEntry&, UINT, const CString&), UINT id, const CString& name);

    NotCopied<std::vector<TimerEntry>> m_timers;
    CriticalSection m_entriesLock;
};

} // namespace KOVA
