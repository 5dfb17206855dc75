// Threads: the tick runs on the multimedia-timer thread and takes no lock; it shares the run
// state and the two times with the GUI thread through atomics. Its repaint requests go up the
// tree (they only mark and post), its expiry goes to the window's thread through
// PostToParent.
#include "controls/basic/CTimerButton.h"

#include "platform/TimeSource.h"

namespace KOVA {

namespace {
// The caption is redrawn a little more often than once a second.
constexpr DWORD kRepaintEveryMs = 800;
constexpr DWORD kFocusGreen = 0xFE4CFF29;
} // namespace

CTimerButton::CTimerButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : ButtonBase(parent, id, rect, title, visible, enabled)
{
    m_hAlign = DT_CENTER;
    SetRunTimer(1);
}

CTimerButton::~CTimerButton()
{
    StopFastTimer();
}

int CTimerButton::SetRun(int run)
{
    if (!m_enabled)
        return IsRunning();
    *m_lastRepaint = 0;
    *m_start = TimeSource::Milliseconds();
    if (run && ++m_lastRun <= 0)
        m_lastRun = 1;
    *m_running = run ? m_lastRun : 0;
    Repaint(1);
    return run;
}

int CTimerButton::SecondsLeft() const
{
    const auto elapsed = static_cast<LONG>(TimeSource::Milliseconds() - *m_start);
    // Never below zero: past ten seconds "10 - elapsed / 1000" would go negative, and wrap as
    // the unsigned value it once was.
    if (elapsed >= static_cast<LONG>(kCountdownMs))
        return 0;
    return static_cast<int>(kCountdownMs / 1000) - (elapsed < 0 ? 0 : elapsed / 1000);
}

int CTimerButton::OnControlTimer()
{
    LONG run = m_running->load();
    if (!run || !m_visible || !IsParentVisible())
        return 0;
    const DWORD now = TimeSource::Milliseconds();
    if (now - *m_lastRepaint <= kRepaintEveryMs)
        return 1;
    *m_lastRepaint = now;
    Repaint(1);
    // Signed: a countdown restarted meanwhile has a start after this tick's now.
    const auto elapsed = static_cast<LONG>(now - *m_start);
    if (elapsed > static_cast<LONG>(kCountdownMs) && m_running->compare_exchange_strong(run, 0))
        PostToParent(2, 0, 0);
    return 1;
}

int CTimerButton::OnControlLButtonDown(UINT keys, CPoint pt)
{
    if (m_enabled && Contains(pt))
        m_pressDuringRun = m_running->load() != 0;
    return ButtonBase::OnControlLButtonDown(keys, pt);
}

int CTimerButton::OnControlLButtonUp(UINT, CPoint pt)
{
    const int before = GetState();
    const bool click = EndPress(pt).click;
    const bool pressDuringRun = m_pressDuringRun;
    m_pressDuringRun = false;
    if (!click)
        return Conclude(before, 0);
    // A click that began during the countdown and the countdown's end answer one question:
    // only the first of them reports.
    const bool tookRun = m_running->exchange(0) != 0;
    if (tookRun)
        Repaint(1);
    return Conclude(before, 0, tookRun || !pressDuringRun ? 2 : 0);
}

int CTimerButton::SetControlFocus(int focus)
{
    if (!m_enabled)
        return 0;
    if (focus != m_focused) {
        m_focused = focus;
        Repaint(1);
    }
    return 1;
}

void CTimerButton::DrawFocusFrame(Gdiplus::Graphics& graphics, const CRect& frameRect) const
{
    Gdiplus::Pen dotted { Gdiplus::Color(kFocusGreen), 1.0f };
    dotted.SetDashStyle(Gdiplus::DashStyleDot);
    graphics.DrawRectangle(&dotted, frameRect.left + 6, 2, frameRect.Width() - 12, frameRect.Height() - 4);
}

void CTimerButton::DrawControl(HDC& dc, CRect)
{
    DrawStrip(dc, 4, GetState(), [&](Gdiplus::Graphics& graphics) {
        CString caption = m_title;
        if (IsRunning() && !m_title.IsEmpty())
            caption.Format(L"%s(%ds)", static_cast<const wchar_t*>(m_title), SecondsLeft());
        const auto font = MakeFont(static_cast<float>(m_fontSize), m_fontStyle);
        for (int frame = 0; frame < 4; ++frame) {
            const CRect frameRect = FrameRect(frame);
            DrawSkinFrame(graphics, frame, m_frameSize);
            if (m_focused)
                DrawFocusFrame(graphics, frameRect);
            DrawStateCaption(graphics, frame, caption, font.get(), CRect(frameRect.left, 0, frameRect.right,
                                                                          frameRect.Height()));
        }
    });
}

} // namespace KOVA
