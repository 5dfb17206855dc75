// GUI thread only. The item lock is never held while the parent is asked to repaint or
// notified.
#include "devices/cooling/CheckList.h"

namespace KOVA {

namespace {
constexpr UINT kPressCode = 1;
} // namespace

CheckList::CheckList(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : ItemList(parent, id, rect, visible, enabled)
{
    TakeDoubleClickAsPress();
}

CheckList::~CheckList() = default;

void CheckList::SetAllChecks(int check)
{
    ScopedLock lock(m_itemsLock);
    for (auto& item : *m_items)
        static_cast<CheckItem&>(*item).check = check;
}

void CheckList::SetSelectItem(int index)
{
    if (index == m_selected)
        return;
    m_selected = index;
    UpdateControl(1, 0);
}

int CheckList::SetItemCheck(int index, int check)
{
    ScopedLock lock(m_itemsLock);
    CheckItem* item = CheckAt(index);
    if (!item)
        return 0;
    item->check = check;
    return 1;
}

int CheckList::GetItemCheck(int index)
{
    ScopedLock lock(m_itemsLock);
    const CheckItem* item = CheckAt(index);
    return item ? item->check : 0;
}

int CheckList::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (!m_rect.PtInRect(pt) || m_hover < 0)
        return 1;
    const int pressed = m_hover;
    {
        ScopedLock lock(m_itemsLock);
        if (CheckItem* item = CheckAt(pressed))
            item->check = item->check == 0 ? 1 : 0;
    }
    m_selected = pressed;
    // Repaint first: the host's handler may clear the items or delete this control.
    UpdateControl(1, 0);
    SendMessageW(kPressCode, 0, pressed);
    return 1;
}

} // namespace KOVA
