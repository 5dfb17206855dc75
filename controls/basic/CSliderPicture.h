#pragma once
// A picture that slides into view from one side, a step on every fast-timer tick, and hides
// itself on the paint after its last step: it shows only while it slides.
#include "platform/Win32.h"

#include <atomic>

#include "controls/basic/MPicture.h"
#include "framework/MControlFont.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

// The side a picture slides in from.
enum SLIDER_MODE {
    SliderLeftToRight = 1,
    SliderTopToBottom = 2,
    SliderRightToLeft = 3,
};

class KOVA_API CSliderPicture : public MControlFont {
public:
    CSliderPicture(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the show mode and starts still, without the picture.
    CSliderPicture(const CSliderPicture& other) = default;
    CSliderPicture& operator=(const CSliderPicture& other) = default;
    ~CSliderPicture() override;

    void DrawControl(HDC& dc, CRect paintRect) override;
    // The fast-timer tick (multimedia-timer thread): one step of the slide; 1 when it stepped.
    int OnControlTimer() override;
    int SetImage(const wchar_t* path, int count) override;
    int SetImage(UINT resourceId, CString type, int count) override;

    int SetShowMode(enumShowMode mode, int value);
    int SetShowModeMID(int left, int top, int right, int bottom);
    // Starts (run 1) the slide from its side or stops it; a disabled picture keeps its state.
    // Returns the run state.
    int SetRun(int run, SLIDER_MODE mode);

private:
    // How far one tick moves along a side of this length: a hundredth, and never nothing.
    static int stepAlong(int length);
    void showRevealed(HDC& dc, int position);
    void hideWhenStill();

    ShownPicture m_picture;
    // Written on the GUI thread, read and advanced on the timer thread. The position counts
    // the columns revealed (left to right), else it is a window coordinate of the moving edge.
    NotCopied<std::atomic<int>> m_running;
    NotCopied<std::atomic<int>> m_mode;
    NotCopied<std::atomic<int>> m_position;
    NotCopied<std::atomic<int>> m_end;
};

} // namespace KOVA
