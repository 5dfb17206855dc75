// Selection runs: the font, pen and brush a drawing routine selects stay in the DC for the
// next routine until the run ends, so that a paint of many controls in one font selects it
// once instead of twice per caption.
#include "framework/MRender.h"

#include "framework/MRenderInternal.h"

namespace KOVA {

namespace {

// The innermost run of this thread. A run is opened and closed on one thread, around drawing
// into one DC; another thread's drawing never sees it.
thread_local MRender::SelectionRun* t_innermostRun = nullptr;

void selectBack(HDC dc, HGDIOBJ original, UINT type)
{
    if (original && ::GetCurrentObject(dc, type) != original)
        ::SelectObject(dc, original);
}

} // namespace

MRender::SelectionRun::SelectionRun(HDC dc)
    : m_dc(dc),
      m_font(::GetCurrentObject(dc, OBJ_FONT)),
      m_pen(::GetCurrentObject(dc, OBJ_PEN)),
      m_brush(::GetCurrentObject(dc, OBJ_BRUSH)),
      m_outer(t_innermostRun)
{
    t_innermostRun = this;
}

MRender::SelectionRun::~SelectionRun()
{
    t_innermostRun = m_outer;
    selectBack(m_dc, m_font, OBJ_FONT);
    selectBack(m_dc, m_pen, OBJ_PEN);
    selectBack(m_dc, m_brush, OBJ_BRUSH);
}

MRender::SelectionRun* MRender::SelectionRun::On(HDC dc)
{
    for (SelectionRun* run = t_innermostRun; run; run = run->m_outer)
        if (run->m_dc == dc)
            return run;
    return nullptr;
}

namespace detail {

RoutineSelection::RoutineSelection(HDC dc, HGDIOBJ object, UINT type) : m_dc(dc)
{
    if (!object || ::GetCurrentObject(dc, type) == object)
        return;
    HGDIOBJ previous = ::SelectObject(dc, object);
    if (previous && previous != HGDI_ERROR && !MRender::SelectionRun::On(dc))
        m_previous = previous;
}

RoutineSelection::~RoutineSelection()
{
    if (m_previous)
        ::SelectObject(m_dc, m_previous);
}

bool DrawsInPixels(HDC dc)
{
    return ::GetMapMode(dc) == MM_TEXT && ::GetGraphicsMode(dc) == GM_COMPATIBLE;
}

} // namespace detail

} // namespace KOVA
