#pragma once
// A push button that, once started, counts ten seconds down in its caption ("OK(9s)") and
// clicks itself when the time is up, unless the user clicks it first.
#include "platform/Win32.h"

#include <atomic>

#include "controls/basic/ButtonBase.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class KOVA_API CTimerButton : public ButtonBase {
public:
    CTimerButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);
    // A copy starts idle.
    CTimerButton(const CTimerButton& other) = default;
    CTimerButton& operator=(const CTimerButton& other) = default;
    ~CTimerButton() override;

    void DrawControl(HDC& dc, CRect paintRect) override;
    // Shows a dotted focus frame.
    int SetControlFocus(int focus) override;
    // The fast-timer tick (multimedia-timer thread): the countdown's repaints and its end.
    int OnControlTimer() override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;

    // 1 starts (again) the ten seconds, 0 stops them; a disabled button keeps its state.
    // Returns the run state.
    int SetRun(int run);
    int IsRunning() const { return m_running->load() ? 1 : 0; }
    void SetFrameSize(int size) { m_frameSize = size; }

    static constexpr DWORD kCountdownMs = 10000;

private:
    int SecondsLeft() const;
    void DrawFocusFrame(Gdiplus::Graphics& graphics, const CRect& frameRect) const;

    int m_frameSize { 4 };
    // Written on the GUI thread, read on the timer thread.
    NotCopied<std::atomic<DWORD>> m_start;
    NotCopied<std::atomic<DWORD>> m_lastRepaint;
    // The running countdown's number, 0 when idle: the countdown's one-shot. Whoever takes
    // it (the expiry, or a click that began during the countdown) reports the countdown's
    // single code 2; a tick only ever takes the countdown it looked at.
    NotCopied<std::atomic<LONG>> m_running;
    // GUI thread: the last countdown's number, and whether the held press began in one.
    LONG m_lastRun { 0 };
    bool m_pressDuringRun { false };
};

} // namespace KOVA
