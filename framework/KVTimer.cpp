#include "framework/KVTimer.h"

#include <mmsystem.h>

#include <algorithm>

namespace KOVA {

UINT KVTimer::m_uAccuracy = 1;
int KVTimer::m_bIsTmierOK = 0;

namespace {
// Every live owner in creation order. The timer callback resolves owners through it only
// after taking the lock, so a dying owner is never reached.
struct Registry {
    CriticalSection lock;
    std::vector<KVTimer*> owners;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

// The process-wide resolution is begun once and ended once, when the library unloads.
struct TimerResolution {
    ~TimerResolution()
    {
        if (KVTimer::m_bIsTmierOK)
            timeEndPeriod(KVTimer::m_uAccuracy);
    }
    void begin()
    {
        if (KVTimer::m_bIsTmierOK)
            return;
        TIMECAPS caps {};
        if (timeGetDevCaps(&caps, sizeof(caps)) != TIMERR_NOERROR)
            return;
        KVTimer::m_uAccuracy = std::max(std::min(KVTimer::m_uAccuracy, caps.wPeriodMax), caps.wPeriodMin);
        timeBeginPeriod(KVTimer::m_uAccuracy);
        KVTimer::m_bIsTmierOK = 1;
    }
};

TimerResolution& resolution()
{
    static TimerResolution instance;
    return instance;
}

bool sameId(const KVTimer::TimerEntry& entry, UINT id, const CString&) { return entry.id == id; }
bool sameName(const KVTimer::TimerEntry& entry, UINT, const CString& name) { return entry.name == name; }
} // namespace

KVTimer::KVTimer()
{
    registerSelf();
}

KVTimer::KVTimer(const KVTimer&)
{
    registerSelf();
}

KVTimer& KVTimer::operator=(const KVTimer&)
{
    return *this;
}

void KVTimer::registerSelf()
{
    Registry& all = registry();
    ScopedLock lock(all.lock);
    all.owners.push_back(this);
}

KVTimer::~KVTimer()
{
    KillTimer();
    Registry& all = registry();
    ScopedLock lock(all.lock);
    all.owners.erase(std::remove(all.owners.begin(), all.owners.end(), this), all.owners.end());
}

void KVTimer::OnMTimer(UINT, CString) {}

UINT KVTimer::SetTimer(UINT period, CString name, int app)
{
    resolution().begin();
    ScopedLock lock(m_entriesLock);
    const UINT id = timeSetEvent(period, m_uAccuracy, &KVTimer::TimerCallProc, reinterpret_cast<DWORD_PTR>(this),
                                 TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
    // A refused timer leaves no entry: one with id 0 would count as a running timer forever.
    if (id)
        m_timers->push_back({ id, name, app });
    return id;
}

int KVTimer::killFirstMatching(bool (*matches)(const TimerEntry&, UINT, const CString&), UINT id, const CString& name)
{
    UINT doomed = 0;
    int left = 0;
    {
        ScopedLock lock(m_entriesLock);
        auto& entries = *m_timers;
        auto found = std::find_if(entries.begin(), entries.end(), [&](const TimerEntry& e) { return matches(e, id, name); });
        if (found != entries.end()) {
            doomed = found->id;
            entries.erase(found);
        }
        left = static_cast<int>(entries.size());
    }
    // Killed outside the lock: a tick in flight may be waiting for it.
    if (doomed)
        timeKillEvent(doomed);
    return left;
}

int KVTimer::KillTimer(UINT id)
{
    return killFirstMatching(&sameId, id, CString());
}

int KVTimer::KillTimer(CString name)
{
    return killFirstMatching(&sameName, 0, name);
}

int KVTimer::KillTimer()
{
    std::vector<TimerEntry> doomed;
    {
        ScopedLock lock(m_entriesLock);
        doomed.swap(*m_timers);
    }
    for (const TimerEntry& entry : doomed)
        if (entry.id)
            timeKillEvent(entry.id);
    return 0;
}

bool KVTimer::findEntry(UINT id, TimerEntry& entry)
{
    ScopedLock lock(m_entriesLock);
    for (const TimerEntry& candidate : *m_timers)
        if (candidate.id == id) {
            entry = candidate;
            return true;
        }
    return false;
}

int KVTimer::GetTimerIsRun(UINT id)
{
    TimerEntry entry;
    return findEntry(id, entry) ? 1 : 0;
}

int KVTimer::GetTimerIsRun(CString name)
{
    ScopedLock lock(m_entriesLock);
    for (const TimerEntry& entry : *m_timers)
        if (entry.name == name)
            return 1;
    return 0;
}

CString KVTimer::GetTimerName(UINT id)
{
    TimerEntry entry;
    return findEntry(id, entry) ? entry.name : CString();
}

int KVTimer::IsAppTimer(UINT id)
{
    TimerEntry entry;
    return findEntry(id, entry) ? entry.app : 0;
}

KVTimer* KVTimer::GetFSTimer(UINT id)
{
    Registry& all = registry();
    ScopedLock lock(all.lock);
    for (KVTimer* owner : all.owners)
        if (owner->GetTimerIsRun(id))
            return owner;
    return nullptr;
}

void CALLBACK KVTimer::TimerCallProc(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR)
{
    auto* owner = reinterpret_cast<KVTimer*>(user);
    if (!owner)
        return;
    // Nothing may unwind into the system's timer thread: the tick is lost, the timer goes on.
    try {
        owner->OnMTimer(id);
        TimerEntry entry;
        if (owner->findEntry(id, entry) && entry.app)
            owner->OnMTimer(id, entry.name);
    } catch (...) {
    }
}

} // namespace KOVA
