#pragma once
// What the two mouse-button views share: entries with a text and a host key value, a scale
// the host sets, hover over the places the last paint gave them, a press that selects and
// reports code 1, a release that reports code 2, and painting over the pixels under the
// control. MouseKeyCtrl draws rows, MouseCtrl call-outs.
//
// GUI thread only. The item lock is taken below the paint manager's list locks and let go
// before a repaint request or a notification.
#include "platform/Win32.h"

#include <memory>

#include "framework/ItemList.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

// An entry: its text (ListItem::text) and place (ListItem::cell, written by each paint) and
// the host's value for it.
struct KOVA_API MouseItem : ListItem {
    int keyValue { 0 };
};

class KOVA_API MouseItemList : public ItemList {
public:
    MouseItemList(MObject* parent, UINT id, CRect rect, int visible);
    MouseItemList(const MouseItemList& other);
    MouseItemList& operator=(const MouseItemList& other);
    ~MouseItemList() override;

    void DrawControl(HDC& dc, CRect paintRect) override;
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;

    int DeleteAllItems();
    // Any index; a repaint when it changed.
    void SetSelectItem(int index);
    // 0 for an index that names no entry.
    int GetItemKeyValue(int index);
    // A valid index whose text differs: the text changes and the view repaints.
    void SetItemText(int index, CString text);
    // Takes effect at the next paint.
    // Taken up to 16 (a negative one as 0); one that is not a number leaves the scale as it
    // was. A call-out scaled far beyond the window would take GDI+ seconds to draw.
    void SetScaleValue(float scale);

protected:
    // Appends the entry and repaints; the new index.
    int AddEntry(std::unique_ptr<MouseItem> entry);
    void RepaintIfShown();
    // Draws the entries under the item lock, writing their places.
    virtual void DrawItems(Gdiplus::Graphics& graphics, const Gdiplus::Font* font) = 0;
    // The pointer rests on the hovered entry / left it.
    virtual void ShowItemTip(int index);
    virtual void HideItemTip();

    // Left aligned, centred vertically, one line with its trailing blanks: both views' texts.
    const Gdiplus::StringFormat* TextFormat() const { return m_format->get(); }

    int m_rowHeight { 27 };
    float m_scale { 1.0f };
    Gdiplus::Color m_selectColor;

private:
    NotCopied<std::unique_ptr<Gdiplus::StringFormat>> m_format;
};

} // namespace KOVA
