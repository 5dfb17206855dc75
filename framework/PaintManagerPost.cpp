// What other threads hand to the window's thread: invalidations, notifications, and the part
// of repaint requests that walks lists. A fast-timer tick must never send to the GUI thread
// nor wait for it: a cross-thread InvalidateRect or SendMessage can wait on the window's
// thread, which may be waiting for this very tick to end. So the tick queues what it raises
// and posts one registered message; the window's thread serves the queue in order.
//
// Locks: the queue's lock is a leaf (PostedQueue); records are served with no lock held.
#include "framework/PaintManager.h"

#include "framework/MControl.h"

namespace KOVA {

UINT PaintManager::PostedMessage()
{
    static const UINT message = RegisterWindowMessageW(L"KOVA.PostedFromOtherThread");
    return message;
}

void PaintManager::postInvalidate(const RECT* area)
{
    if (m_posted->AddArea(area))
        ::PostMessageW(m_hWnd, PostedMessage(), 0, 0);
}

void PaintManager::postRecord(const PostedQueue::Record& record)
{
    if (!record.control || !isLiveWindow())
        return;
    if (m_posted->Add(record))
        ::PostMessageW(m_hWnd, PostedMessage(), 0, 0);
}

void PaintManager::PostNotify(MControl* control, UINT code, UINT wParam, LONG lParam)
{
    if (!control || !isLiveWindow())
        return;
    if (IsGuiThread()) {
        control->SendMessageW(code, wParam, lParam);
        return;
    }
    PostedQueue::Record record;
    record.kind = PostedQueue::Kind::Notify;
    record.control = control;
    record.code = code;
    record.wParam = wParam;
    record.lParam = lParam;
    postRecord(record);
}

void PaintManager::PostRun(MControl* control, RunProc run, void* context)
{
    if (!control || !run || !isLiveWindow())
        return;
    if (IsGuiThread()) {
        run(control, context);
        return;
    }
    PostedQueue::Record record;
    record.kind = PostedQueue::Kind::Run;
    record.control = control;
    record.run = run;
    record.context = context;
    postRecord(record);
}

void PaintManager::PostControlUpdate(MObject* receiver, CRect rect, MControl* requester)
{
    PostedQueue::Record record;
    record.kind = PostedQueue::Kind::Repaint;
    record.control = requester;
    record.receiver = receiver;
    record.rect = rect;
    postRecord(record);
}

void PaintManager::PostMarkStale(MControl* control, int update, DWORD param)
{
    PostedQueue::Record record;
    record.kind = PostedQueue::Kind::MarkStale;
    record.control = control;
    record.code = static_cast<UINT>(update);
    record.wParam = static_cast<UINT>(param);
    postRecord(record);
}

void PaintManager::servePosted()
{
    RECT area;
    bool whole = false;
    if (m_posted->TakeBatch(area, whole) && isLiveWindow())
        ::InvalidateRect(m_hWnd, (whole || m_layered) ? nullptr : &area, m_layered ? TRUE : FALSE);
    // A record's handler may delete the window object that holds this paint manager.
    Frame frame(*this);
    PostedQueue::Record record;
    while (frame.Alive() && m_posted->Next(record))
        serveRecord(record);
    if (frame.Alive() && m_posted->LeftWaiting() && isLiveWindow())
        ::PostMessageW(m_hWnd, PostedMessage(), 0, 0);
}

void PaintManager::serveRecord(const PostedQueue::Record& record)
{
    switch (record.kind) {
    case PostedQueue::Kind::Notify:
        record.control->SendMessageW(record.code, record.wParam, record.lParam);
        break;
    case PostedQueue::Kind::Repaint:
        // The requester was marked when it asked; what is left is the walk and the invalidation.
        if (record.receiver)
            record.receiver->OnControlUpdate(record.rect, 0, record.control);
        else
            OnControlUpdate(record.rect, 0, record.control);
        break;
    case PostedQueue::Kind::MarkStale:
        record.control->SetUpdate(static_cast<int>(record.code), record.wParam);
        break;
    case PostedQueue::Kind::Run:
        record.run(record.control, record.context);
        break;
    }
}

} // namespace KOVA
