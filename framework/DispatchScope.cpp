#include "framework/DispatchScope.h"

#include <algorithm>
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
    std::vector<Doomed> doomed;
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

void deleteOrWait(const Doomed& doomed)
{
    ThreadDispatch& state = thisThread();
    if (state.depth > 0)
        state.doomed.push_back(doomed);
    else
        destroy(doomed);
}

// Still inside the outermost dispatch: what the destructors remove joins this loop, in order.
void deleteWaiting(ThreadDispatch& state)
{
    for (size_t i = 0; i < state.doomed.size(); ++i) {
        const Doomed doomed = state.doomed[i];
        destroy(doomed);
    }
    state.doomed.clear();
}
} // namespace

DispatchScope::DispatchScope() : DispatchScope(thisThread()) {}

DispatchScope::DispatchScope(Thread& thread) : m_thread(thread), m_gone(thread.gone)
{
    ++m_thread.depth;
}

DispatchScope::~DispatchScope()
{
    ThreadDispatch& state = m_thread;
    if (state.depth == 1) {
        if (!state.doomed.empty())
            deleteWaiting(state);
        state.gone.clear();
    }
    --state.depth;
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

} // namespace KOVA
