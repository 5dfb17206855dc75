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

struct ThreadDispatch {
    int depth { 0 };
    std::vector<Doomed> doomed;
    std::vector<const void*> gone;
};

ThreadDispatch& thisThread()
{
    static thread_local ThreadDispatch state;
    return state;
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

DispatchScope::DispatchScope()
{
    ++thisThread().depth;
}

DispatchScope::~DispatchScope()
{
    ThreadDispatch& state = thisThread();
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

void DispatchScope::ForgetManager(PaintManager* manager)
{
    for (const Doomed& doomed : thisThread().doomed)
        if (doomed.control && doomed.control->GetManager() == manager)
            doomed.control->ForgetManager(manager);
}

} // namespace KOVA
