#pragma once
// The on-screen keyboard the user picks a key function from: 122 fixed items (a row of 18
// media and web icon keys over a full-size keyboard with navigation block and keypad), each
// with a key code; the host relabels items by code, marks the assigned one, and reads the
// pressed one after code 1.
//
// GUI thread only; the item lock guards the items.
#include "platform/Win32.h"

#include "framework/ItemList.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"

namespace KOVA {

// One item of the picker.
struct KOVA_API KeyFuncItem {
    KeyFuncItem() = default;
    // Releases the icon.
    ~KeyFuncItem();
    KeyFuncItem(const KeyFuncItem&) = delete;
    KeyFuncItem& operator=(const KeyFuncItem&) = delete;

    CString label;
    int code { 0 };
    int data2 { 0 };
    int data3 { 0 };
    Gdiplus::Image* icon { nullptr };   // owned; null for none
    CRect rect;                         // relative to the control's top-left corner
};

class KOVA_API KeyFuncControl : public ItemList {
public:
    KeyFuncControl(MObject* parent, UINT id, CRect rect, int visible);
    // A copy takes the value fields, a lock and drawing tools of its own, a copy of the picture
    // it loaded and no items.
    KeyFuncControl(const KeyFuncControl& other);
    KeyFuncControl& operator=(const KeyFuncControl& other);
    ~KeyFuncControl() override;

    const wchar_t* GetClassNameW() const override;
    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    // Docks the panel's own bars; the picker itself does not repaint.
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    // A release does nothing: the press chose.
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
    // Swallows the wheel: the picker never scrolls.
    int OnControlScroll(int step, UINT down, CPoint pt) override;
    // Kept, not drawn. 0 when the file does not load or count is below 1.
    int SetImage(const wchar_t* file, int count) override;
    using ItemList::SetImage;

    // The 122 items of the table, in place of any there were.
    void InitItemInfo();
    void ClearItems();
    void SetItemDesc(int code, CString text);
    // false while no existing item is selected; first is never written.
    bool GetCurItemData(int& first, int& code, int& data2, int& data3, CString& label);
    void SetItemCheckByItemData(int code, int data2, int data3);

    // One item a row of KeyboardLayout.
    static constexpr int kItemCount = 122;

private:
    void AddKeyItem(CString label, int code, CRect rect, CString iconFile);
    KeyFuncItem* itemAt(int index) const;
    void showHeldItem();
    void dropTooltip();
    void takeImageOf(const KeyFuncControl& other);
    void makeTools();

    int m_checked { -1 };
    NotCopied<std::unique_ptr<Gdiplus::Image>> m_ownImage;
    NotCopied<std::unique_ptr<Gdiplus::StringFormat>> m_format;
    NotCopied<std::unique_ptr<Gdiplus::Pen>> m_greyPen;
    NotCopied<std::unique_ptr<Gdiplus::SolidBrush>> m_itemBrush;
};

} // namespace KOVA
