#pragma once
// A mouse's lighting zones as coloured ellipses over the window content behind the control,
// addressed by their place in the list. It takes no input and reports nothing.
//
// GUI thread only; the zone lock (the item list's lock) is held while zones are added, looked
// up, deleted and drawn.
#include "platform/Win32.h"

#include "framework/ItemList.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/KovaExport.h"

namespace KOVA {

// One zone: its ellipse bounds (relative to the control) are the entry's place.
struct KOVA_API MouseLightZone : ListItem {
    int id { 0 };
    COLORREF color { 0 };
};

class KOVA_API MouseLight : public ItemList {
public:
    MouseLight(MObject* parent, UINT id, CRect rect, int visible);
    MouseLight(const MouseLight& other);
    MouseLight& operator=(const MouseLight& other);
    ~MouseLight() override;

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    // The zones take no input.
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;

    int AddItem(int id, CRect zone);
    // No repaint request: the colour shows at the view's next repaint.
    void SetLightColor(int index, COLORREF color);
    COLORREF GetLightColor(int index, DWORD unused);
    int DeleteAllItems();
};

} // namespace KOVA
