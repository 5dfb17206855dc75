#pragma once
// What other threads hand to a window's thread: one invalidated area, and the notifications
// and repaint requests raised there, served in the order they came by the window's thread.
// The window is told once per batch, and a repeated repaint request joins the waiting one,
// so fast ticks neither flood the window's queue nor grow this one.
//
// Threads: any thread adds; only the window's thread takes and serves. Its one lock is a
// leaf: nothing else is taken while it is held.
#include "platform/Win32.h"

#include <vector>

#include "platform/CRect.h"
#include "platform/CriticalSection.h"

namespace KOVA {

class MControl;
class MObject;

class PostedQueue {
public:
    enum class Kind {
        // control->SendMessageW(code, wParam, lParam)
        Notify,
        // receiver->OnControlUpdate(rect, 0, control): the marking of the items above the
        // requester; a null receiver is the paint manager itself.
        Repaint,
        // control->SetUpdate(code, wParam): the marking of a control's children.
        MarkStale,
        // run(control, context): work that belongs on the window's thread.
        Run,
    };
    using RunProc = void (*)(MControl* control, void* context);
    struct Record {
        Kind kind { Kind::Notify };
        MControl* control { nullptr };
        MObject* receiver { nullptr };
        CRect rect;
        UINT code { 0 };
        UINT wParam { 0 };
        LONG lParam { 0 };
        RunProc run { nullptr };
        void* context { nullptr };
    };

    // Inline: hosts of the library construct paint managers, and with them this queue.
    PostedQueue()
    {
        m_waiting.reserve(kReserved);
        m_serving.reserve(kReserved);
    }
    PostedQueue(const PostedQueue&) = delete;
    PostedQueue& operator=(const PostedQueue&) = delete;

    // Each returns true when the window must be told: nothing had been posted for this batch.
    bool AddArea(const RECT* area);
    bool Add(const Record& record);

    // Opens a new batch of what waits now: the area, if any (whole: the whole client area),
    // and the records that Next then hands out. What arrives later waits for the next batch,
    // so a stream of ticks cannot hold the window's thread in one batch. Inside the serving of
    // a batch (a handler's modal loop), the batch being served goes on instead.
    bool TakeBatch(RECT& area, bool& whole);
    // The next record of the batch, in order; false when the batch is done.
    bool Next(Record& record);
    // Called once a batch is served: true when records came while a handler's own loop served
    // the rest of it (they were not taken then) and the window must be told again.
    bool LeftWaiting();

    // Drops every record of a control that is going away (raised by it, or taken by it as a
    // receiver), including those of the batch being served.
    void Forget(const MControl* control);
    void Clear();

private:
    // Enough for the records of a busy tick: the vectors then never grow while ticks run.
    static constexpr size_t kReserved = 64;
    bool markPosted();
    bool joinsWaiting(const Record& record);

    CriticalSection m_lock;
    RECT m_area { 0, 0, 0, 0 };
    bool m_hasArea { false };
    bool m_whole { false };
    bool m_posted { false };
    std::vector<Record> m_waiting;
    std::vector<Record> m_serving;
    size_t m_next { 0 };
};

} // namespace KOVA
