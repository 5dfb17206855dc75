#include "RecordingControl.h"

#include <sstream>

namespace KOVA::test {

std::string EventLog::summary() const
{
    std::ostringstream out;
    for (size_t i = 0; i < m_events.size(); ++i)
        out << (i ? " " : "") << m_events[i].what << ':' << m_events[i].id;
    return out.str();
}

std::string noteLine(const std::vector<Notification>& notes)
{
    std::ostringstream line;
    for (size_t i = 0; i < notes.size(); ++i)
        line << (i ? " " : "") << notes[i].id << ':' << notes[i].code << ':' << notes[i].wParam << ':' << notes[i].lParam;
    return line.str();
}

int EventLog::count(const std::string& what, UINT id) const
{
    int n = 0;
    for (const Event& event : m_events)
        if (event.what == what && event.id == id)
            ++n;
    return n;
}

RecordingControl::RecordingControl(MObject* parent, UINT id, CRect rect, EventLog& log, int response)
    : MControl(parent, id, rect, 1, 1, response), m_log(log)
{
}

void RecordingControl::DrawControl(HDC&, CRect)
{
    ++drawCount;
    m_log.add("draw", m_uControlID);
}

int RecordingControl::OnControlKeyDown(UINT key, UINT repeat, UINT modifiers)
{
    m_log.add("key", m_uControlID);
    return keyAnswer || MControl::OnControlKeyDown(key, repeat, modifiers);
}

int RecordingControl::SetControlFocus(int focus)
{
    m_log.add(focus ? "focus" : "blur", m_uControlID);
    return MControl::SetControlFocus(focus);
}

int RecordingControl::OnMousePointChange(CPoint& pt)
{
    pt.x += scrollOffset.x;
    pt.y += scrollOffset.y;
    return 0;
}

LONG RecordingControl::OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    notifications.push_back({ id, code, wParam, lParam });
    return 0;
}

LONG RecordingControl::OnControlUpdate(CRect rect, int flag, MControl*)
{
    updates.emplace_back(rect, flag);
    return 0;
}

RecordingControl* RecordingControl::addChild(UINT id, CRect rect, int response)
{
    auto* child = new RecordingControl(this, id, rect, m_log, response);
    child->SetManager(m_manager);
    ScopedLock lock(m_controlsLock);
    m_controls->push_back(child);
    return child;
}

} // namespace KOVA::test
