#include "NotifyingControl.h"

#include <cstring>

namespace KOVA::test {

NotifyingControl::NotifyingControl(MObject* parent, UINT id, CRect rect, EventLog& log, int* deaths)
    : RecordingControl(parent, id, rect, log), m_deaths(deaths)
{
}

NotifyingControl::~NotifyingControl()
{
    if (m_deaths)
        ++*m_deaths;
}

int NotifyingControl::OnControlLButtonDown(UINT keys, CPoint pt)
{
    RecordingControl::OnControlLButtonDown(keys, pt);
    if (m_parent)
        m_parent->OnBaseMessage(m_uControlID, 1, 0, 0);
    return 1;
}

int NotifyingControl::OnControlLButtonUp(UINT keys, CPoint pt)
{
    RecordingControl::OnControlLButtonUp(keys, pt);
    if (m_parent && m_rect.PtInRect(pt))
        m_parent->OnBaseMessage(m_uControlID, 2, 0, 0);
    return 1;
}

void NotifyingControl::operator delete(void* memory, std::size_t size)
{
    std::memset(memory, 0xDD, size);
}

NotifyingControl* addNotifyingControl(PaintManager& manager, MObject* parent, UINT id, CRect rect, EventLog& log,
                                      int* deaths)
{
    auto* control = new NotifyingControl(parent, id, rect, log, deaths);
    control->SetManager(&manager);
    manager.AppendControl(control, 1);
    return control;
}

} // namespace KOVA::test
