// GUI thread only. The zone lock is taken below the paint manager's list locks and let go
// before a repaint request.
#include "devices/peripherals/MouseLight.h"

#include "controls/basic/LookPainting.h"

namespace KOVA {

MouseLight::MouseLight(MObject* parent, UINT id, CRect rect, int visible) : ItemList(parent, id, rect, visible, 1) {}

MouseLight::MouseLight(const MouseLight& other) = default;
MouseLight& MouseLight::operator=(const MouseLight& other) = default;
MouseLight::~MouseLight() = default;

const wchar_t* MouseLight::GetClassNameW() const
{
    return L"MouseLight";
}

int MouseLight::OnControlMouseMove(UINT, CPoint)
{
    return 0;
}

int MouseLight::OnControlLButtonDown(UINT, CPoint)
{
    return 0;
}

int MouseLight::OnControlLButtonUp(UINT, CPoint)
{
    return 0;
}

int MouseLight::AddItem(int id, CRect zone)
{
    auto entry = std::make_unique<MouseLightZone>();
    entry->id = id;
    entry->cell = zone;
    const int index = AppendItem(std::move(entry));
    if (m_visible)
        UpdateControl(1, 0);
    return index;
}

void MouseLight::SetLightColor(int index, COLORREF color)
{
    ScopedLock lock(m_itemsLock);
    if (MouseLightZone* zone = EntryAt<MouseLightZone>(index))
        zone->color = color;
}

COLORREF MouseLight::GetLightColor(int index, DWORD)
{
    ScopedLock lock(m_itemsLock);
    const MouseLightZone* zone = EntryAt<MouseLightZone>(index);
    return zone ? zone->color : 0;
}

int MouseLight::DeleteAllItems()
{
    DropItems();
    if (m_visible)
        UpdateControl(1, 0);
    return 1;
}

void MouseLight::DrawControl(HDC& dc, CRect)
{
    DrawCachedLooks(*this, m_memPicture, dc, 1, 0, [this](Gdiplus::Graphics& graphics) {
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        ScopedLock lock(m_itemsLock);
        for (int i = 0; const MouseLightZone* zone = EntryAt<MouseLightZone>(i); ++i) {
            Gdiplus::SolidBrush fill(Gdiplus::Color(255, GetRValue(zone->color), GetGValue(zone->color),
                                                    GetBValue(zone->color)));
            const CRect& place = zone->cell;
            graphics.FillEllipse(&fill, static_cast<INT>(place.left), static_cast<INT>(place.top),
                                 static_cast<INT>(place.Width()), static_cast<INT>(place.Height()));
        }
    });
}

} // namespace KOVA
