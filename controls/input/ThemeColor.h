#pragma once
// A row of theme colour choices: each entry a colour bar with a round selector under it, the
// selector filled with the entry's colour while the entry is hovered or selected. A press on
// an entry (the second click of a double click is one too) reports code 1, the release code 2,
// each with the entry's index in wParam.
//
// GUI thread only; the item lock is held while the entries are drawn and hit-tested.
#include "platform/Win32.h"

#include "framework/ItemList.h"
#include "platform/KovaExport.h"

namespace KOVA {

struct KOVA_API ThemeColorItem : ListItem {
    Gdiplus::Color colour { 0xFF000000 };
};

class KOVA_API ThemeColor : public ItemList {
public:
    ThemeColor(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    // Entries drawn at least once can be hovered and pressed; neither press nor release
    // repaints.
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;

    // Appended without a repaint; the entry is placed by the next paint.
    void AddItem(Gdiplus::Color colour);
    // Any index: one that matches no entry selects none.
    void SetSelectItem(int index);

private:
    int report(UINT code, CPoint pt);
    void drawEntries(Gdiplus::Graphics& graphics);

    int m_swatchSize { 30 };
};

} // namespace KOVA
