#pragma once
// The list of a mouse's buttons: one row per button with its name and the description of the
// function assigned to it, the description shown as a tooltip when the pointer rests on a row.
#include "platform/Win32.h"

#include "devices/peripherals/MouseItemList.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"

namespace KOVA {

// A row: the key name is the entry's text, the row rectangle its place.
struct KOVA_API MouseKeyItem : MouseItem {
    CString description;
};

class KOVA_API MouseKeyCtrl : public MouseItemList {
public:
    MouseKeyCtrl(MObject* parent, UINT id, CRect rect, int visible);
    MouseKeyCtrl(const MouseKeyCtrl& other);
    MouseKeyCtrl& operator=(const MouseKeyCtrl& other);
    ~MouseKeyCtrl() override;

    const wchar_t* GetClassNameW() const override;
    // Stores the rectangle and repaints.
    void SetControlRect(CRect rect) override;

    int AddItem(CString keyName, CString description, int keyValue);
    // Empty for an index that names no row.
    CString GetItemKeyName(int index) { return GetItemText(index); }
    // The first row with the value gets the description; repaints in any case; 1.
    int SetItemKeyDesc(int keyValue, CString description);

protected:
    void DrawItems(Gdiplus::Graphics& graphics, const Gdiplus::Font* font) override;
    void ShowItemTip(int index) override;
    void HideItemTip() override;
};

} // namespace KOVA
