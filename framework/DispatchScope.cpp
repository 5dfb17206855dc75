#include "framework/DispatchScope.h"

#include <algorithm>
#include <deque>
#include <vector>

#include "framework/MControl.h"
#include "framework/MWindow.h"

namespace KOVA {

namespace {
struct Doomed {
    MControl* control { nullptr };
    MWindow* window { nullptr };
};

} // namespace

struct DispatchScope::Thread {
    int depth { 0 };
    std::deque<Doomed> doomed;
    std::vector<const void*> gone;
    // Storage of finished walks, for the next ones (as many as walks were ever nested).
    std::vector<std::vector<MControl*>> spare;
};

namespace {
using ThreadDispatch = DispatchScope::Thread;

void CALLBACK endThread(void* state)
{
    delete static_cast<ThreadDispatch*>(state);
}

// A fiber-local slot, read straight from the thread's block: the language's thread-local
// variables are emulated on this target (a library call per access), too slow for every
// control's routing step. The slot's callback frees the state when the thread ends.
ThreadDispatch& thisThread()
{
    static const DWORD slot = FlsAlloc(&endThread);
    auto* state = static_cast<ThreadDispatch*>(FlsGetValue(slot));
    if (!state) {
        state = new ThreadDispatch;
        FlsSetValue(slot, state);
    }
    return *state;
}

void destroy(const Doomed& doomed)
{
    if (doomed.control)
        delete doomed.control;
    else
        delete doomed.window;
}

// The head of the thread's exception chain: the first word of the thread's block.
EXCEPTION_REGISTRATION_RECORD* chainHead()
{
    EXCEPTION_REGISTRATION_RECORD* head = nullptr;
    __asm__ volatile("movl %%fs:0, %0" : "=r"(head) : : "memory");
    return head;
}

void setChainHead(EXCEPTION_REGISTRATION_RECORD* head)
{
    __asm__ volatile("movl %0, %%fs:0" : : "r"(head) : "memory");
}

void deleteOrWait(const Doomed& doomed)
{
    ThreadDispatch& state = thisThread();
    if (state.depth > 0) {
        state.doomed.push_back(doomed);
        return;
    }
    // Outside any dispatch: deleted when this scope ends, at once, after whatever a dispatch
    // unwound by a fault left waiting; what its destructor removes joins the same loop.
    DispatchScope now;
    state.doomed.push_back(doomed);
}

// Still inside the outermost dispatch: what the destructors remove joins this loop, in order.
// Each object leaves the list before its destructor runs, so that a walk of the list from a
// destructor (ForgetManager) meets only objects that still exist.
void deleteWaiting(ThreadDispatch& state)
{
    while (!state.doomed.empty()) {
        const Doomed doomed = state.doomed.front();
        state.doomed.pop_front();
        destroy(doomed);
    }
}
} // namespace

DispatchScope::DispatchScope() : DispatchScope(thisThread()) {}

DispatchScope::DispatchScope(int& count, const void* owner) : DispatchScope(thisThread())
{
    m_count = &count;
    m_owner = owner;
    ++count;
}

DispatchScope::DispatchScope(Thread& thread) : m_thread(thread), m_gone(thread.gone)
{
    m_level = ++m_thread.depth;
    m_note.Next = chainHead();
    m_note.Handler = &DispatchScope::onException;
    m_note.scope = this;
    setChainHead(&m_note);
}

DispatchScope::~DispatchScope()
{
    // A scope inside this one that an unwind skipped has left the count behind: this scope's
    // own level tells whether it is the outermost.
    if (m_level == 1 && !m_thread.doomed.empty())
        deleteWaiting(m_thread);
    endNesting();
    if (chainHead() == &m_note)
        setChainHead(m_note.Next);
}

void DispatchScope::endNesting()
{
    if (m_count && !Gone(m_owner))
        --*m_count;
    m_thread.depth = m_level - 1;
    if (m_level == 1)
        m_thread.gone.clear();
}

EXCEPTION_DISPOSITION NTAPI DispatchScope::onException(EXCEPTION_RECORD* record, void* note, CONTEXT*, void*)
{
    // The platform unlinks the note itself as it unwinds past it. What waits stays waiting:
    // the next outermost scope, or the next deletion outside one, deletes it.
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        static_cast<UnwindNote*>(note)->scope->endNesting();
    return ExceptionContinueSearch;
}

void DispatchScope::Delete(MControl* control)
{
    if (control)
        deleteOrWait({ control, nullptr });
}

void DispatchScope::Delete(MWindow* window)
{
    if (window)
        deleteOrWait({ nullptr, window });
}

void DispatchScope::NoteGone(const void* object)
{
    ThreadDispatch& state = thisThread();
    if (state.depth > 0)
        state.gone.push_back(object);
}

void DispatchScope::NoteBorn(const void* object)
{
    std::vector<const void*>& gone = thisThread().gone;
    gone.erase(std::remove(gone.begin(), gone.end(), object), gone.end());
}

bool DispatchScope::IsGone(const void* object)
{
    const std::vector<const void*>& gone = thisThread().gone;
    return std::find(gone.begin(), gone.end(), object) != gone.end();
}

void WalkCopy::take(const std::vector<MControl*>& list)
{
    m_thread = &thisThread();
    if (!m_thread->spare.empty()) {
        m_items.swap(m_thread->spare.back());
        m_thread->spare.pop_back();
    }
    m_items.assign(list.begin(), list.end());
}

void WalkCopy::giveBack()
{
    m_items.clear();
    m_thread->spare.push_back(std::move(m_items));
}

void DispatchScope::ForgetManager(PaintManager* manager)
{
    for (const Doomed& doomed : thisThread().doomed)
        if (doomed.control && doomed.control->GetManager() == manager)
            doomed.control->ForgetManager(manager);
}

void DispatchScope::ForgetParent(const MObject* parent)
{
    for (const Doomed& doomed : thisThread().doomed)
        if (doomed.control && doomed.control->GetParantObject() == parent)
            doomed.control->SetParent(nullptr);
}

} // namespace KOVA
