#pragma once
// A level shown as a row of equal segments, one per value from the minimum to the maximum,
// lit up to the current level, with a centred label under them (the title, the level and a
// percent sign when the maximum is 100). A click on a segment sets its value and reports it.
// A range with no room for segments (maximum below minimum, or more segments than pixels)
// shows and hits none.
#include "platform/Win32.h"

#include "controls/basic/LookPainting.h"
#include "framework/MControlFont.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class KOVA_API MLevelCtrl : public MControlFont {
public:
    MLevelCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the value fields.
    MLevelCtrl(const MLevelCtrl& other);
    MLevelCtrl& operator=(const MLevelCtrl& other);
    ~MLevelCtrl() override;

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    // A release on a segment of another value takes it: repaint, then (2, level, 0).
    int OnControlLButtonUp(UINT keys, CPoint pt) override;

    // Held within the range; a repaint when it changed, no notification.
    void SetLevelValue(int level);
    int GetLevelValue() const { return m_level; }
    // The level is left as it is.
    void SetRangeValue(int minimum, int maximum);

    static constexpr int kSegmentGap = 5;

private:
    // Segment count and width, both 0 when the range leaves no room.
    struct Segments {
        int count { 0 };
        int width { 0 };
    };
    Segments segments() const;

    int m_level { 0 };
    int m_minimum { 0 };
    int m_maximum { 15 };
    int m_segmentHeight { 12 };
    int m_showLabel { 1 };
    NotCopied<KeptFont> m_font;
};

} // namespace KOVA
