#include <gtest/gtest.h>

#include <vector>

#include "LibraryHost.h"
#include "PumpUntil.h"
#include "TestWindow.h"
#include "NotedDialog.h"
#include "WindowCapture.h"
#include "controls/basic/CTimerButton.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kStart = 1000000;
const CRect kCounting(10, 10, 110, 40);
const CRect kReference(10, 60, 110, 90);

class Countdown : public ::testing::Test {
protected:
    void SetUp() override
    {
        SYSTEMTIME noon {};
        TimeSource::Pin(kStart, noon);
    }
    void TearDown() override { TimeSource::Unpin(); }
    // The clicks the host heard (code 2), counted as they come: a race test hears thousands.
    size_t clicks()
    {
        for (; m_scanned < dialog.notes.size(); ++m_scanned)
            m_clicks += dialog.notes[m_scanned].code == 2;
        return m_clicks;
    }
    CTimerButton* add(UINT id, CRect rect, const wchar_t* title)
    {
        return dynamic_cast<CTimerButton*>(dialog.CreateControl(L"CTimerButton", id, rect, title, 1, 1));
    }
    // The counting button shows what a still button titled caption shows.
    bool shows(const wchar_t* caption)
    {
        reference->SetTitle(caption);
        UpdateWindow(dialog.GetSafeHwnd());
        const auto client = captureClient(dialog.GetSafeHwnd());
        for (int y = 0; y < kCounting.Height(); ++y)
            for (int x = 0; x < kCounting.Width(); ++x)
                if (client->pixel(kCounting.left + x, kCounting.top + y)
                    != client->pixel(kReference.left + x, kReference.top + y))
                    return false;
        return true;
    }

    NotedDialog dialog { CRect(40, 40, 240, 140) };
    size_t m_scanned { 0 }, m_clicks { 0 };
    CTimerButton* reference { nullptr };
};

TEST_F(Countdown, TenSecondsInTheCaptionThenOneClick)
{
    CTimerButton* button = add(1, kCounting, L"OK");
    reference = add(2, kReference, L"OK");
    ASSERT_EQ(1, button->SetRun(1));
    EXPECT_TRUE(shows(L"OK(10s)"));
    struct Tick { DWORD advance; const wchar_t* caption; size_t clicks; };
    const Tick ticks[] {
        { 1000, L"OK(9s)", 0 },
        { 8000, L"OK(1s)", 0 },
        { 1000, L"OK(0s)", 0 },  // ten seconds, not more
        { 500, L"OK(0s)", 0 },   // within 800 ms of the last repaint: nothing
        { 301, L"OK", 1 },       // the first repainting tick past ten seconds
        { 20000, L"OK", 1 },     // and never again
    };
    for (const Tick& tick : ticks) {
        SCOPED_TRACE(tick.advance);
        TimeSource::Advance(tick.advance);
        button->OnControlTimer();
        EXPECT_TRUE(shows(tick.caption));
        EXPECT_EQ(tick.clicks, clicks());
    }
}

TEST_F(Countdown, ADisabledButtonDoesNotStartAndAHiddenOneDoesNotExpire)
{
    CTimerButton* button = add(1, kCounting, L"OK");
    button->SetEnabled(0);
    EXPECT_EQ(0, button->SetRun(1));
    button->SetEnabled(1);
    ASSERT_EQ(1, button->SetRun(1));
    button->SetVisible(0);
    TimeSource::Advance(20000);
    EXPECT_EQ(0, button->OnControlTimer());
    EXPECT_TRUE(clicks() == 0);
    button->SetVisible(1);
    button->OnControlTimer();
    EXPECT_EQ(1u, clicks());
}

// The click on the GUI thread and the expiry on the fast-timer thread end one countdown:
// whichever comes first reports, the other does not.
TEST_F(Countdown, ClicksAndExpiriesRacingGiveOneClickEach)
{
    CTimerButton* button = add(1, kCounting, L"");
    button->AddMTimer();
    dialog.SetMTimer(1);
    const CPoint inside(60, 25);
    constexpr int kRaces = 10000;
    int reportedAtOnce = 0;
    int reportedLater = 0;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    for (int i = 0; i < kRaces; ++i) {
        TimeSource::Advance(100000);
        ASSERT_EQ(1, button->SetRun(1));
        button->OnLButtonDown(0, inside);
        TimeSource::Advance(CTimerButton::kCountdownMs + 1);
        // A short, varying head start for the timer thread.
        LARGE_INTEGER start, now;
        QueryPerformanceCounter(&start);
        const LONGLONG spin = frequency.QuadPart * (i % 7) / 10000;
        do
            QueryPerformanceCounter(&now);
        while (now.QuadPart - start.QuadPart < spin);
        const size_t before = clicks();
        button->OnLButtonUp(0, inside);
        if (clicks() > before)
            ++reportedAtOnce;
        else
            ++reportedLater;
        ASSERT_TRUE(pumpUntil([&] { return clicks() >= static_cast<size_t>(i + 1); }));
        ASSERT_EQ(static_cast<size_t>(i + 1), clicks());
    }
    // Killed synchronously: whatever a tick posted is queued by now.
    dialog.GetPaintManager()->KillMTimer();
    pumpMessages();
    EXPECT_EQ(static_cast<size_t>(kRaces), clicks());
    EXPECT_GT(reportedAtOnce, 0);
    EXPECT_GT(reportedLater, 0) << "the expiry never won a race";
}

} // namespace
