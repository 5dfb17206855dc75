#pragma once
// A re-entrant lock (the recursive routing calls back into its owner while holding it) and
// its scope guard. Copying an object that holds one gives the copy a lock of its own.
#include <windows.h>

class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&m_section); }
    ~CriticalSection() { DeleteCriticalSection(&m_section); }
    CriticalSection(const CriticalSection&) : CriticalSection() {}
    CriticalSection& operator=(const CriticalSection&) { return *this; }

    void Enter() { EnterCriticalSection(&m_section); }
    void Leave() { LeaveCriticalSection(&m_section); }
    bool TryEnter() { return TryEnterCriticalSection(&m_section) != FALSE; }

private:
    CRITICAL_SECTION m_section;
};

class ScopedLock {
public:
    explicit ScopedLock(CriticalSection& lock) : m_lock(lock) { m_lock.Enter(); }
    ~ScopedLock() { m_lock.Leave(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    CriticalSection& m_lock;
};

// The lock when it is free at once, for a thread that must never wait on it (a timer tick, a
// paint beside a long export): it skips its turn instead.
class TryLock {
public:
    explicit TryLock(CriticalSection& lock) : m_lock(lock), m_held(lock.TryEnter()) {}
    ~TryLock()
    {
        if (m_held)
            m_lock.Leave();
    }
    TryLock(const TryLock&) = delete;
    TryLock& operator=(const TryLock&) = delete;
    bool held() const { return m_held; }

private:
    CriticalSection& m_lock;
    bool m_held;
};
