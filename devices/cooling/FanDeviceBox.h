#pragma once
// The fan list box: one cell per fan (300 × 115 pixels, four to a line on the first two lines,
// the rest on the third) with its name, its speed reading and the cooling-mode name in force.
// A press on a cell toggles the fan's check state and reports code 1 with its row; a release
// opens the drop-down of the registered cooling modes under the cell's mode box, and the mode
// chosen there is reported as code 2 with its position in wParam. The host sets the shown
// mode name itself (SetCoolModeName).
//
// GUI thread only; the item lock guards the fans and the modes (see ItemList).
#include "platform/Win32.h"

#include <memory>
#include <vector>

#include "devices/cooling/CheckList.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class CComboBoxWnd2;

class KOVA_API FanDeviceBox : public CheckList {
public:
    FanDeviceBox(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the value fields: a lock of its own, no fans, modes or drop-down.
    FanDeviceBox(const FanDeviceBox& other) = default;
    FanDeviceBox& operator=(const FanDeviceBox& other) = default;
    ~FanDeviceBox() override;

    void AddItem(CString name, CString text, int firstKey, int secondKey, int value);
    void AddMode(CString name, int modeId);
    void ClearModeList();
    // The first fan with both keys takes the reading; a repaint in any case.
    void SetFanRPMValue(int firstKey, int secondKey, int speed);
    void SetAllItemsCheck(int check) { SetAllChecks(check); }
    void SetCoolModeName(CString name);
    CString GetCoolModeName() const { return m_coolModeName; }

    void DrawControl(HDC& dc, CRect paintRect) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;

protected:
    // (9, 2) opens the drop-down; the drop-down's choice (code 2, lParam 0x13) goes up as
    // (id, 2, position, 0); its closing (code 22) repaints. Always 0.
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;

private:
    struct Fan : CheckItem {
        CString text2;
        int speed { 0 };
        int firstKey { 0 };
        int secondKey { 0 };
    };
    struct Mode {
        CString name;
        int id { 0 };
    };
    struct DropDownDeleter {
        void operator()(CComboBoxWnd2* dropDown) const;
    };

    void openDropDown();
    void drawFan(Gdiplus::Graphics& graphics, const Fan& fan, const Gdiplus::Font* small, const Gdiplus::Font* large);

    NotCopied<std::vector<std::unique_ptr<Mode>>> m_modes;
    CString m_coolModeName { L"静音" };
    NotCopied<std::unique_ptr<CComboBoxWnd2, DropDownDeleter>> m_dropDown;
    CRect m_modeBox { 15, 78, 155, 98 };
    CRect m_anchor;
    int m_cellWidth { 300 };
    int m_cellHeight { 115 };
};

} // namespace KOVA
