#pragma once
// The library's dispatches on a GUI thread, and the deletions that wait for them to end.
//
// A handler may remove the control it runs in, its parent, or the window around them: the
// frames below it still use those objects when it returns. So a control or window object
// removed while a dispatch runs on its thread (a window message, Tab, a drop, an input entry
// of a control) is only taken out of its tree at once; it is deleted when the outermost
// dispatch of the thread returns, in the order the removals came. Outside any dispatch it is
// deleted at once. Every walk over a list that a handler can change copies the list first and
// skips the controls removed since (MControl::IsRemoved), so nothing it holds is freed.
//
// Threads: the state is per thread and only the window's (GUI) thread deletes controls. No
// lock is held while a deferred object is deleted. Every routing step of every control opens
// a scope, so one costs a read of a thread slot, a count and a link in the thread's exception
// chain.
//
// A fault inside a window procedure reached through a sent message is swallowed by the
// platform (a kernel callback), which unwinds without running C++ destructors. Each scope
// therefore notes itself in the thread's exception chain: an unwind that passes it ends it as
// its destructor would (without deleting what waits), so the outermost scope is known again
// and later deletions do not wait forever. Scopes live on the stack only.
#include "platform/Win32.h"

#include <vector>

#include "platform/CriticalSection.h"
#include "platform/KovaExport.h"

namespace KOVA {

class MControl;
class MObject;
class MWindow;
class PaintManager;

class DispatchScope {
public:
    DispatchScope();
    // Also counts itself in an object's count of the dispatches it runs (a paint manager's
    // frames): counted down when the scope ends, also by an unwind, unless the object went
    // meanwhile (NoteGone).
    DispatchScope(int& count, const void* owner);
    // The outermost scope deletes what waits, then returns: nothing it ran for is used after.
    ~DispatchScope();
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;
    static void* operator new(size_t) = delete;

    // Deletes the object when the outermost dispatch of this thread returns, at once outside
    // one (together with what a dispatch unwound by a fault left waiting). The caller has
    // already taken it out of every list. An object leaves the waiting list before its
    // destructor runs, so the list never holds a deleted object.
    static void Delete(MControl* control);
    static void Delete(MWindow* window);
    // A paint manager going away while some of its controls wait: they forget it, so that
    // their deletion does not reach it.
    static void ForgetManager(PaintManager* manager);
    // A window object going away while some of the controls that report to it wait: they
    // forget it as their parent.
    static void ForgetParent(const MObject* parent);

    // Objects that went during the dispatch (a host may delete its window object from a
    // handler): the code that called that handler asks before it uses the object again.
    // Called by the destructors and constructors of such objects; forgotten when the
    // outermost dispatch ends.
    static void NoteGone(const void* object);
    static void NoteBorn(const void* object);
    static bool IsGone(const void* object);
    // The same, without looking the thread up again: for checks after every call in a walk.
    bool Gone(const void* object) const { return !m_gone.empty() && IsGone(object); }

    // The state of this thread's dispatches.
    struct Thread;

private:
    DispatchScope(Thread& thread);
    // Called by the platform for each exception that passes this scope's note; an unwind
    // ends the scope.
    static EXCEPTION_DISPOSITION NTAPI onException(EXCEPTION_RECORD* record, void* note, CONTEXT*, void*);
    // This scope ends, and with it every scope inside it that an unwind skipped.
    void endNesting();

    // A record of the thread's exception chain that knows its scope.
    struct UnwindNote : EXCEPTION_REGISTRATION_RECORD {
        DispatchScope* scope;
    };

    UnwindNote m_note {};
    Thread& m_thread;
    const std::vector<const void*>& m_gone;
    // 1 for the outermost scope of the thread.
    int m_level { 0 };
    int* m_count { nullptr };
    const void* m_owner { nullptr };
};

// A copy of a control list, taken under its lock, for a walk that calls the controls with no
// lock held. Its storage comes from what the thread's earlier walks gave back, so a warm walk
// allocates nothing; an empty list costs only the lock.
class KOVA_API WalkCopy {
public:
    WalkCopy(const std::vector<MControl*>& list, CriticalSection& lock)
    {
        ScopedLock guard(lock);
        if (!list.empty())
            take(list);
    }
    ~WalkCopy()
    {
        if (m_thread)
            giveBack();
    }
    WalkCopy(const WalkCopy&) = delete;
    WalkCopy& operator=(const WalkCopy&) = delete;

    std::vector<MControl*>::const_iterator begin() const { return m_items.begin(); }
    std::vector<MControl*>::const_iterator end() const { return m_items.end(); }

private:
    void take(const std::vector<MControl*>& list);
    void giveBack();

    DispatchScope::Thread* m_thread { nullptr };
    std::vector<MControl*> m_items;
};

} // namespace KOVA
