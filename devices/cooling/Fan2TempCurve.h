#pragma once
// The fan-speed curve editor: speed in percent (20 to 100) against temperature (0 to 100 °C)
// on a labelled grid; the user drags a point's marker up or down and the control reports the
// end of the drag (code 2); the host reads the curve back with GetCurrentCurve. It also keeps
// fan rows (name, text, speed reading, value, check) for the host, which it does not draw.
//
// GUI thread only. The row lock guards the fan rows; the curve and the drag take none.
#include "platform/Win32.h"

#include <memory>
#include <vector>

#include "framework/MControlFont.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/CriticalSection.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

struct KOVA_API TempCurvePoint {
    int temperature { 0 }; // °C, a multiple of 10 from 0 to 100
    int speed { 0 };       // percent
    int x { 0 };           // control-local, computed by the control
    int y { 0 };
};

class KOVA_API Fan2TempCurve : public MControlFont {
public:
    Fan2TempCurve(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the value fields and the curve: a lock of its own, no fan rows.
    Fan2TempCurve(const Fan2TempCurve& other) = default;
    Fan2TempCurve& operator=(const Fan2TempCurve& other) = default;
    ~Fan2TempCurve() override;

    // Curve
    void UpdateCurveData(const std::vector<TempCurvePoint>& points);
    // The first point of exactly that temperature takes the speed as given.
    void SetCurvePoint(int temperature, int speed);
    std::vector<TempCurvePoint> GetCurrentCurve() const { return m_points; }
    void SetCurveColor(Gdiplus::Color color) { m_curveColor = color; }
    void EnableCurveEdit(int enable) { m_editing = enable; }
    int IsCurveEditEnabled() const { return m_editing; }

    // Fan rows; an index outside the rows is ignored or answered with 0.
    void AddItem(CString name, CString text, int value);
    void ClearList();
    void SetFanRPMValue(int index, int speed);
    void SetAllItemsCheck(int check);
    int SetItemCheck(int index, int check);
    int GetItemCheck(int index);
    void SetSelectItem(int index);
    int GetSelectItem() const { return m_selectedRow; }
    int GetItemCount();

    void DrawControl(HDC& dc, CRect paintRect) override;
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;

private:
    struct FanRow {
        CString name;
        CString text;
        int speed { 0 };
        int value { 0 };
        int check { 1 };
        CRect rect;
    };

    void placePlot();
    CPoint TempSpeedToScreen(int temperature, int speed) const;
    // The nearest multiple of 10 and the speed (20..100) at a control-local point; false, with
    // nothing changed, while the plot has no width or height.
    bool ScreenToTempSpeed(CPoint pt, int& temperature, int& speed) const;
    int FindNearestPoint(CPoint pt, int radius) const;
    void DrawGridAndLabels(Gdiplus::Graphics& graphics);
    void DrawTemperatureCurve(Gdiplus::Graphics& graphics) const;
    void DrawCurvePoints(Gdiplus::Graphics& graphics) const;
    CPoint local(CPoint pt) const { return CPoint(pt.x - m_rect.left, pt.y - m_rect.top); }
    FanRow* rowAt(int index) const;
    void repaint() { UpdateControl(1, 0); }

    NotCopied<std::vector<std::unique_ptr<FanRow>>> m_rows;
    CriticalSection m_rowLock;
    std::vector<TempCurvePoint> m_points;
    Gdiplus::Color m_curveColor { 0xFFBD30FF };
    int m_editing { 1 };
    int m_grabbed { -1 };
    int m_dragging { 0 };
    CRect m_plot;
    int m_stepX { 0 };
    int m_stepY { 0 };
    int m_selectedRow { -1 };
};

} // namespace KOVA
