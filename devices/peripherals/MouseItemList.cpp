// GUI thread only. The item lock is taken below the paint manager's list locks; repaint
// requests and notifications are made with it let go.
#include "devices/peripherals/MouseItemList.h"

#include <algorithm>
#include <cmath>

#include "controls/basic/LookPainting.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
constexpr UINT kPressCode = 1;
constexpr UINT kReleaseCode = 2;
} // namespace

void MouseItemList::SetScaleValue(float scale)
{
    constexpr float kLargestScale = 16.0f;
    if (std::isfinite(scale))
        m_scale = std::clamp(scale, 0.0f, kLargestScale);
}

MouseItemList::MouseItemList(MObject* parent, UINT id, CRect rect, int visible)
    : ItemList(parent, id, rect, visible, 1), m_selectColor(Manager::GetSelectColor())
{
    auto format = std::make_unique<Gdiplus::StringFormat>();
    format->SetAlignment(Gdiplus::StringAlignmentNear);
    format->SetLineAlignment(Gdiplus::StringAlignmentCenter);
    format->SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    *m_format = std::move(format);
}

MouseItemList::MouseItemList(const MouseItemList& other) = default;
MouseItemList& MouseItemList::operator=(const MouseItemList& other) = default;
MouseItemList::~MouseItemList() = default;

void MouseItemList::RepaintIfShown()
{
    if (m_visible)
        UpdateControl(1, 0);
}

int MouseItemList::AddEntry(std::unique_ptr<MouseItem> entry)
{
    const int index = AppendItem(std::move(entry));
    RepaintIfShown();
    return index;
}

int MouseItemList::DeleteAllItems()
{
    DropItems();
    RepaintIfShown();
    return 1;
}

void MouseItemList::SetSelectItem(int index)
{
    if (index == m_selected)
        return;
    m_selected = index;
    RepaintIfShown();
}

int MouseItemList::GetItemKeyValue(int index)
{
    ScopedLock lock(m_itemsLock);
    const MouseItem* entry = EntryAt<MouseItem>(index);
    return entry ? entry->keyValue : 0;
}

void MouseItemList::SetItemText(int index, CString text)
{
    {
        ScopedLock lock(m_itemsLock);
        MouseItem* entry = EntryAt<MouseItem>(index);
        if (!entry || entry->text == text)
            return;
        entry->text = text;
    }
    RepaintIfShown();
}

void MouseItemList::ShowItemTip(int) {}
void MouseItemList::HideItemTip() {}

int MouseItemList::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    const int before = m_hover;
    const HoverMove move = TrackHover(pt);
    if (move == HoverMove::Held) {
        ShowItemTip(m_hover);
        return 1;
    }
    HideItemTip();
    if (m_hover == before)
        return 0;
    RepaintIfShown();
    return 1;
}

int MouseItemList::OnControlLButtonDown(UINT, CPoint pt)
{
    const bool pressed = m_enabled && m_rect.PtInRect(pt);
    if (pressed)
        m_selected = m_hover;
    const int hover = m_hover;
    // The repaint is asked for before the parent hears: its handler may delete the view.
    RepaintIfShown();
    if (pressed)
        SendMessageW(kPressCode, static_cast<UINT>(hover), 0);
    return 1;
}

int MouseItemList::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    const bool released = m_rect.PtInRect(pt) && m_selected != -1;
    if (released)
        m_selected = m_hover;
    const int hover = m_hover;
    RepaintIfShown();
    if (released)
        SendMessageW(kReleaseCode, static_cast<UINT>(hover), 0);
    return 1;
}

void MouseItemList::DrawControl(HDC& dc, CRect)
{
    const Gdiplus::Font* font = ItemFont(m_fontSize);
    DrawCachedLooks(*this, m_memPicture, dc, 1, 0, [&](Gdiplus::Graphics& graphics) {
        graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
        ScopedLock lock(m_itemsLock);
        DrawItems(graphics, font);
    });
}

} // namespace KOVA
