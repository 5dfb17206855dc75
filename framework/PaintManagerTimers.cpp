// Window timers of controls: Win32 timers of the paint manager's window, one per (control,
// local id), and the dispatch of WM_TIMER to the paint manager's own reserved timers and to
// the controls.
//
// Threads and locks: all of this runs on the GUI thread under the timer lock, which is
// re-entrant, so a control may set or kill timers from its own timer handler. Controls are
// called with the timer lock held; they then take their own list locks and, for repaint
// requests, the paint manager's list locks. Nothing takes the timer lock while holding those.
#include "framework/PaintManager.h"

#include <algorithm>

#include "framework/MControl.h"

namespace KOVA {

namespace {
// Win32 timer ids of control timers run from 1 to this bound, exclusive.
constexpr UINT kWindowTimerIdBound = 240;

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
    ScopedLock lock(m_timerLock);
    // A handler may set or kill timers, or remove controls: walk a copy, and call a control
    // only while its timer is still there and armed.
    for (const TimerInfo& timer : armedTimersWithId(id))
        if (isStillArmed(timer) && timer.control)
            timer.control->OnTimer();
}

} // namespace KOVA
