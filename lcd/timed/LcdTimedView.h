#pragma once
// Base of the small views beside the LCD renderer that the fast timer repaints now and then
// (the analogue clock, the window capture): every kTicksPerRepaint-th tick asks for one
// repaint while the view runs and is visible, so the speed follows the host's timer period.
// The view keeps its picture in its memory picture and draws it again after such a request.
#include "platform/Win32.h"

#include "framework/MControlFont.h"
#include "platform/CRect.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API LcdTimedView : public MControlFont {
public:
    // Starts running (the run flag on), with no title.
    LcdTimedView(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    // Fast-timer thread. A tick while stopped or hidden neither counts nor asks; the tick that
    // completes the count asks for a repaint (flag 1) and returns 1, every other returns 0.
    int OnControlTimer() override;
    // GUI thread: draws the picture again when it is stale (over the pixels under the view),
    // then copies it to the view's place.
    void DrawControl(HDC& dc, CRect paintRect) override;

protected:
    // Draws the whole picture, width × height, into picture.
    virtual void PaintPicture(HDC picture, int width, int height) = 0;

    static constexpr int kTicksPerRepaint = 20;
    int m_ticksPerRepaint { kTicksPerRepaint };
    // Fast-timer thread only.
    int m_ticks { 0 };
};

} // namespace KOVA
