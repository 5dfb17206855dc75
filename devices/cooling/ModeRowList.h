#pragma once
// The one-column mode lists (light layers, cooling modes): rows of one scaled height, each an
// indicator frame of the control image and a name over a fill that lights under the pointer
// and while selected, scrolled by the bar and the wheel, with only the rows in view painted.
// A left release reports code 2 (or 9 on a light layer's show box), a right release selects
// the row and reports code 5. LightLayer and Fan2CoolMode differ only by the data of
// RowListLook.
#include "platform/Win32.h"

#include "controls/basic/LookPainting.h"
#include "framework/ItemList.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

struct KOVA_API CoolModeItemInfo : ListItem {
    int mode { 0 };
};

struct KOVA_API LightLayerItemInfo : CoolModeItemInfo {
    // The show box.
    bool show { false };
};

// What tells the two lists apart.
struct RowListLook {
    // New rows go first (light layers) or last.
    bool newestFirst;
    // The indicator shows the row's show flag and is a box a release toggles (light layers),
    // or it shows that the row is lit.
    bool showBox;
    // The selection SetCurLightLayerID leaves when no row has the mode.
    int noMatchSelection;
};

class KOVA_API ModeRowList : public ScrollingItemList {
public:
    ModeRowList(MObject* parent, UINT id, CRect rect, int visible, const RowListLook& look);
    // A copy takes the value fields: no rows, a lock of its own.
    ModeRowList(const ModeRowList& other);
    ModeRowList& operator=(const ModeRowList& other);
    ~ModeRowList() override;

    void DrawControl(HDC& dc, CRect paintRect) override;
    // Nothing to scroll when the rows fit (result 0).
    int OnControlScroll(int step, UINT down, CPoint pt) override;
    int OnControlRButtonUp(UINT keys, CPoint pt) override;

    void ClearList() override;
    // 0 outside the list; else the row goes, and hover and selection with it.
    int DeleteItem(int index);
    // 0 outside the list.
    int GetLightMode(int index);
    // Selects the first row of the mode (or the no-match selection); returns the selection.
    int SetCurLightLayerID(int mode);
    // 0 without a selection.
    int GetCurLightLayerID();
    // Renames and repaints; 0 outside the list.
    int SetItemText(int index, CString text);

    static constexpr int kRowHeight = 32;

protected:
    // Inserts the row where the look puts new rows, fits the bar and repaints.
    void AddRow(std::unique_ptr<CoolModeItemInfo> row);
    int ContentHeight() override;
    void ReleaseItem(int index, CPoint pt) override;

private:
    int rowHeight() const;
    // The indicator's place in a row whose top-left is origin: scaled frame size, centred.
    CRect indicatorIn(CPoint origin) const;
    bool indicatorOn(const CoolModeItemInfo& row, bool lit) const;
    void drawRows(Gdiplus::Graphics& graphics, const RowWindow& rows, int viewWidth, const Gdiplus::Font* font);

    RowListLook m_look;
    NotCopied<KeptFormat> m_format;
};

class KOVA_API LightLayer : public ModeRowList {
public:
    // The last flag is not read: the list starts enabled.
    LightLayer(MObject* parent, UINT id, CRect rect, int visible, int unused);
    const wchar_t* GetClassNameW() const override;
    // The new layer becomes row 0.
    void AddLight(CString name, int mode, bool show);
    // False outside the list.
    bool GetItemShowState(int index);
};

class KOVA_API Fan2CoolMode : public ModeRowList {
public:
    // The last flag is not read: the list starts enabled.
    Fan2CoolMode(MObject* parent, UINT id, CRect rect, int visible, int unused);
    const wchar_t* GetClassNameW() const override;
    // The new mode becomes the last row.
    void AddLight(CString name, int mode);
    // Any index, even one no row has (it then lights nothing); a repaint when it changed.
    void SetSelectItem(int index);
};

} // namespace KOVA
