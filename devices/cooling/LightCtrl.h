#pragma once
// The lighting-mode picker: a grid of equal cells, each a two-frame icon over a filled area
// and a one-line label, lit under the pointer and while selected, scrolled by its bar and the
// wheel over the content height the host gives. A press selects; a release reports the
// selection (the cell pressed, wherever the pointer went since).
#include "platform/Win32.h"

#include "controls/basic/LookPainting.h"
#include "framework/ItemList.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

struct KOVA_API LightItemInfo : ListItem {
    int mode { 0 };
};

class KOVA_API LightCtrl : public ScrollingItemList {
public:
    // The last flag is not read: the list starts enabled.
    LightCtrl(MObject* parent, UINT id, CRect rect, int visible, int unused);
    // A copy takes the value fields: no cells, a lock of its own.
    LightCtrl(const LightCtrl& other);
    LightCtrl& operator=(const LightCtrl& other);
    ~LightCtrl() override;

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;

    // The icon is a skin file, loaded when it exists. No repaint.
    void AddLight(CString name, int mode, CString iconFile);
    // The first cell of that mode, or none.
    void SetCurLightMode(int mode);
    // 0 without a selection.
    int GetCurLightMode();
    // 0 outside the list.
    int GetLightMode(int index);
    // The bar takes it at the next SetControlRect.
    void SetAllItemHeight(int height);

protected:
    int ContentHeight() override { return m_contentHeight; }
    void ReleaseItem(int index, CPoint pt) override;

private:
    void drawCells(int viewWidth, int offset);

    int m_contentHeight { 0 };
    NotCopied<KeptFormat> m_format;
};

} // namespace KOVA
