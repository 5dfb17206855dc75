#pragma once
// Horizontal sliders over an integer range: a track, the filled part left of the thumb, and a
// thumb that the user drags, clicks to or moves with the wheel. MSlider draws a round white
// thumb on a grey track; MSlider2 a thin track in the selection colour with a narrow bar as
// its thumb and the value as a percentage at its right end. Both report every value change of
// a press or a drag with code 8 (value, 0), and the end of a gesture with code 2 (0, 0).
#include "platform/Win32.h"

#include "framework/MControlFont.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API MSlider : public MControlFont {
public:
    MSlider(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    void DrawControl(HDC& dc, CRect paintRect) override;
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
    // One step per notch, toward the user down; code 2 after a step that changed the value.
    int OnControlScroll(int step, UINT down, CPoint pt) override;
    // Loaded as one frame, the count kept; the slider does not draw it.
    int SetImage(const wchar_t* file, int count) override;
    using MControlFont::SetImage;

    // Value: above the maximum the maximum, a negative value ignored; no notification.
    // Returns the value.
    int SetProgress(int value);
    int GetProgress() const { return m_value; }
    // The bounds are stored only: the value and the thumb follow at the next change.
    void SetMinProgress(int minimum) { m_minimum = minimum; }
    int GetMinProgress() const { return m_minimum; }
    void SetMaxProgress(int maximum) { m_maximum = maximum; }
    int GetMaxProgress() const { return m_maximum; }
    // Moves the value to the point's x, clamped to the range; code 8 when it changed.
    // Returns the value.
    int MoveThumbPos(CPoint pt);
    // A four-frame strip from the skin folder; the slider does not draw it. 1 when loaded.
    int SetThumbImage(const wchar_t* file);
    void SetShowText(int show) { m_showText = show; }
    void SetScale(int scale) { m_scale = scale; }

    // 0 normal, 1 over the thumb, 2 dragging.
    int GetState() const { return m_state; }
    // The thumb's hit area, hanging from the control's top edge.
    CRect GetThumbRect() const { return m_thumbRect; }

protected:
    enum State { StateNormal = 0, StateOverThumb = 1, StateDragging = 2 };

    // trackReserve: pixels at the right end the thumb never travels over.
    MSlider(MObject* parent, UINT id, CRect rect, int visible, int enabled, int thumbWidth, int thumbHeight,
            int trackReserve);

    // The pixels the thumb travels over.
    int TrackLength() const { return m_rect.Width() - m_thumbWidth - m_trackReserve; }
    // Where the value puts the thumb on a track of that length: 0 for an empty range or track.
    int ThumbOffset(int track) const;
    // Takes the value under x and places the thumb; whether the value changed.
    bool TakeValueAt(int x);
    // The re-rendering repaint (when visible), then code 8 when the value changed. The control
    // is not touched after the notification: the host may delete it there.
    void ConcludeMove(bool changed, int stateBefore);
    void Repaint() { UpdateControl(1, 0); }

    int m_state { StateNormal };
    int m_value { 0 };
    int m_minimum { 0 };
    int m_maximum { 100 };
    int m_thumbWidth { 16 };
    int m_thumbHeight { 16 };
    int m_trackReserve { 0 };
    int m_scale { 1 };
    CRect m_thumbRect;
    int m_showText { 1 };
    Gdiplus::Image* m_thumbImage { nullptr };
    int m_thumbFrameWidth { 0 };
    int m_thumbFrameHeight { 0 };

private:
    int ValueAt(int x) const;
    void PlaceThumb();
};

class KOVA_API MSlider2 : public MSlider {
public:
    MSlider2(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    void DrawControl(HDC& dc, CRect paintRect) override;
    // No hover look: a move only drags.
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    // A press anywhere starts a drag.
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
};

} // namespace KOVA
