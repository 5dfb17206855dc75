#include "framework/PostedQueue.h"

#include <algorithm>

#include "framework/MControl.h"

namespace KOVA {

namespace {
bool isOf(const PostedQueue::Record& record, const MControl* control)
{
    return record.control == control || record.receiver == static_cast<const MObject*>(control);
}
} // namespace

bool PostedQueue::markPosted()
{
    const bool tell = !m_posted;
    m_posted = true;
    return tell;
}

bool PostedQueue::AddArea(const RECT* area)
{
    ScopedLock lock(m_lock);
    if (!area)
        m_whole = true;
    else if (!m_hasArea)
        m_area = *area;
    else
        ::UnionRect(&m_area, &m_area, area);
    m_hasArea = true;
    return markPosted();
}

bool PostedQueue::joinsWaiting(const Record& record)
{
    // Each notification and each piece of work counts; repeated repaint requests do not.
    if (record.kind == Kind::Notify || record.kind == Kind::Run)
        return false;
    for (Record& waiting : m_waiting) {
        if (waiting.kind != record.kind || waiting.control != record.control || waiting.receiver != record.receiver)
            continue;
        if (record.kind == Kind::Repaint)
            waiting.rect.UnionRect(&waiting.rect, &record.rect);
        else
            waiting = record;
        return true;
    }
    return false;
}

bool PostedQueue::Add(const Record& record)
{
    ScopedLock lock(m_lock);
    if (!joinsWaiting(record))
        m_waiting.push_back(record);
    return markPosted();
}

bool PostedQueue::TakeBatch(RECT& area, bool& whole)
{
    ScopedLock lock(m_lock);
    m_posted = false;
    if (m_next == m_serving.size()) {
        m_serving.clear();
        m_next = 0;
        m_serving.swap(m_waiting);
    }
    const bool had = m_hasArea;
    area = m_area;
    whole = m_whole;
    m_hasArea = false;
    m_whole = false;
    return had;
}

bool PostedQueue::LeftWaiting()
{
    ScopedLock lock(m_lock);
    if (m_next < m_serving.size() || m_waiting.empty())
        return false;
    return markPosted();
}

bool PostedQueue::Next(Record& record)
{
    ScopedLock lock(m_lock);
    // A handler that runs a modal loop serves the rest of the batch from inside it; the outer
    // loop then finds it done.
    while (m_next < m_serving.size()) {
        record = m_serving[m_next++];
        if (record.control)
            return true;
    }
    return false;
}

void PostedQueue::Forget(const MControl* control)
{
    ScopedLock lock(m_lock);
    m_waiting.erase(std::remove_if(m_waiting.begin(), m_waiting.end(),
                                   [control](const Record& record) { return isOf(record, control); }),
                    m_waiting.end());
    // The batch being served is walked by index: its records are blanked, not erased.
    for (size_t i = m_next; i < m_serving.size(); ++i)
        if (isOf(m_serving[i], control))
            m_serving[i].control = nullptr;
}

void PostedQueue::Clear()
{
    ScopedLock lock(m_lock);
    m_waiting.clear();
    for (size_t i = m_next; i < m_serving.size(); ++i)
        m_serving[i].control = nullptr;
    m_hasArea = false;
    m_whole = false;
    m_posted = false;
}

} // namespace KOVA
