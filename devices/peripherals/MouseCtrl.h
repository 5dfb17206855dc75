#pragma once
// A mouse's buttons as call-outs over the window content behind the control: for each button
// a line between two points, a dot at one end and a label box with the button's text at the
// other, drawn from the control's image strip (frame 0 normal, 1 highlighted).
#include "platform/Win32.h"

#include "devices/peripherals/MouseItemList.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"

namespace KOVA {

// A call-out: the label text is the entry's text, the label box its place (after a paint).
struct KOVA_API MouseCalloutItem : MouseItem {
    // 1: the label box at the second point, to its right; else at the first, to its left.
    int side { 0 };
    CPoint first;    // unscaled, relative to the control
    CPoint second;
};

class KOVA_API MouseCtrl : public MouseItemList {
public:
    MouseCtrl(MObject* parent, UINT id, CRect rect, int visible);
    MouseCtrl(const MouseCtrl& other);
    MouseCtrl& operator=(const MouseCtrl& other);
    ~MouseCtrl() override;

    const wchar_t* GetClassNameW() const override;

    int AddItem(CString text, int keyValue, int side, CPoint first, CPoint second);

protected:
    void DrawItems(Gdiplus::Graphics& graphics, const Gdiplus::Font* font) override;

private:
    void drawCallout(Gdiplus::Graphics& graphics, const Gdiplus::Font* font, MouseCalloutItem& callout,
                     bool highlighted);
};

} // namespace KOVA
