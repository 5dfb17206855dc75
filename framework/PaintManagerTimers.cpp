// Timers of controls: window timers (Win32 timers of the paint manager's window, one per
// (control, local id), dispatched with the paint manager's own reserved timers on WM_TIMER)
// and the fast timer, whose ticks call the registered controls on the multimedia-timer thread.
//
// Threads and locks: window timers run on the GUI thread. The timer lock guards the records
// only and is never held while a control runs: a handler that removes a ticking control waits
// out its tick, and that tick may set or kill timers.
// The fast timer's tick holds no lock of the paint manager while a control runs (see
// FastTimerList), so the GUI thread may remove a ticking control from inside any handler.
#include "framework/PaintManager.h"

#include <mmsystem.h>

#include <algorithm>

#include "framework/MControl.h"

namespace KOVA {

namespace {
// Win32 timer ids of control timers run from 1 to this bound, exclusive.
constexpr UINT kWindowTimerIdBound = 240;

// Ticks closer than this to the last one served are dropped: a burst of late ticks, or a
// period finer than this, must not run the controls back to back.
constexpr DWORD kMinTickSpacingMs = 3;

// OnTimer serves the overlay's ids before any control timer, so a control given one would
// never tick; 0 is skipped as it reads as "no timer".
bool isReservedId(UINT id)
{
    return id == 0 || id == PaintManager::kMessageHoldTimerId || id == PaintManager::kOverlayFadeTimerId
        || id == PaintManager::kProgressTimerId;
}
} // namespace

TimerInfo* PaintManager::findWindowTimer(MControl* control, UINT localId)
{
    for (TimerInfo& timer : *m_windowTimers)
        if (timer.control == control && timer.window == m_hWnd && timer.localId == localId)
            return &timer;
    return nullptr;
}

bool PaintManager::windowTimerIdTaken(UINT id) const
{
    // A killed record keeps its id: setting its timer again re-arms that same id.
    const auto& timers = *m_windowTimers;
    return std::any_of(timers.begin(), timers.end(),
                       [&](const TimerInfo& timer) { return timer.window == m_hWnd && timer.windowTimerId == id; });
}

UINT PaintManager::allocateWindowTimerId()
{
    for (UINT tries = 0; tries < kWindowTimerIdBound; ++tries) {
        m_lastWindowTimerId = (m_lastWindowTimerId + 1) % kWindowTimerIdBound;
        if (!isReservedId(m_lastWindowTimerId) && !windowTimerIdTaken(m_lastWindowTimerId))
            return m_lastWindowTimerId;
    }
    return 0;
}

int PaintManager::SetTimer(MControl* control, UINT localId, UINT elapse)
{
    // Without a window, Win32 would make a thread timer whose ticks reach no one.
    if (!isLiveWindow())
        return 0;
    ScopedLock lock(m_timerLock);
    if (TimerInfo* timer = findWindowTimer(control, localId)) {
        if (!timer->killed || !::SetTimer(m_hWnd, timer->windowTimerId, elapse, nullptr))
            return 0;
        timer->killed = 0;
        return 1;
    }
    const UINT id = allocateWindowTimerId();
    if (id == 0 || !::SetTimer(m_hWnd, id, elapse, nullptr))
        return 0;
    m_windowTimers->push_back(TimerInfo { m_hWnd, localId, id, 0, control });
    return 1;
}

void PaintManager::stopRecordedTimer(const TimerInfo& timer)
{
    if (!timer.killed && timer.window == m_hWnd && isLiveWindow())
        ::KillTimer(m_hWnd, timer.windowTimerId);
}

int PaintManager::KillTimer(MControl* control, UINT localId)
{
    ScopedLock lock(m_timerLock);
    TimerInfo* timer = findWindowTimer(control, localId);
    if (!timer || timer->killed)
        return 0;
    stopRecordedTimer(*timer);
    timer->killed = 1;
    return 1;
}

void PaintManager::KillTimer(MControl* control)
{
    ScopedLock lock(m_timerLock);
    auto& timers = *m_windowTimers;
    auto ofControl = [&](const TimerInfo& timer) { return timer.control == control && timer.window == m_hWnd; };
    for (const TimerInfo& timer : timers)
        if (ofControl(timer))
            stopRecordedTimer(timer);
    timers.erase(std::remove_if(timers.begin(), timers.end(), ofControl), timers.end());
}

void PaintManager::ClearTimers()
{
    ScopedLock lock(m_timerLock);
    for (const TimerInfo& timer : *m_windowTimers)
        stopRecordedTimer(timer);
    m_windowTimers->clear();
}

std::vector<TimerInfo> PaintManager::armedTimersWithId(UINT id)
{
    std::vector<TimerInfo> armed;
    for (const TimerInfo& timer : *m_windowTimers)
        if (timer.window == m_hWnd && timer.windowTimerId == id && !timer.killed)
            armed.push_back(timer);
    return armed;
}

bool PaintManager::isStillArmed(const TimerInfo& timer)
{
    const TimerInfo* current = findWindowTimer(timer.control, timer.localId);
    return current && current->windowTimerId == timer.windowTimerId && !current->killed;
}

void PaintManager::OnTimer(UINT id)
{
    if (serveReservedTimer(id))
        return;
    std::vector<TimerInfo> armed;
    {
        ScopedLock lock(m_timerLock);
        armed = armedTimersWithId(id);
    }
    // A handler may set or kill timers, or remove controls: walk a copy, and call a control
    // only while its timer is still there and armed.
    Frame frame(*this);
    for (const TimerInfo& timer : armed) {
        if (!frame.Alive())
            return;
        MControl* control = nullptr;
        {
            ScopedLock lock(m_timerLock);
            if (isStillArmed(timer))
                control = timer.control;
        }
        if (control)
            control->OnTimer();
    }
}

// ---- the fast timer

int PaintManager::AddMTimer(MControl* control)
{
    m_fastTimers->Add(control);
    return 1;
}

int PaintManager::DeleteFSTimer(MControl* control)
{
    return m_fastTimers->Remove(control) ? 1 : 0;
}

void PaintManager::SetMTimer(UINT period)
{
    // A second fast timer would only add ticks that fall under the minimum spacing.
    if (m_fastTimerId)
        KVTimer::KillTimer(m_fastTimerId);
    m_fastTimerId = KVTimer::SetTimer(period, CString(), 0);
}

void PaintManager::KillMTimer(UINT id)
{
    KVTimer::KillTimer(id);
    if (id == m_fastTimerId)
        m_fastTimerId = 0;
}

void PaintManager::KillMTimer()
{
    KVTimer::KillTimer();
    m_fastTimerId = 0;
}

void PaintManager::OnMTimer(UINT id)
{
    // Ticks of any other timer must not count as the last tick served.
    if (id != m_fastTimerId)
        return;
    // timeGetTime keeps the millisecond the timer resolution was set to; GetTickCount moves in
    // steps of up to 16 ms and would drop every tick of a 5 ms timer that falls inside one.
    const DWORD now = timeGetTime();
    if (now - m_lastFastTick < kMinTickSpacingMs)
        return;
    m_lastFastTick = now;
    m_fastTimers->Tick();
}

} // namespace KOVA
