// The animated controls on a live window whose fast timer ticks every millisecond: top-level
// controls listed with AddMTimer are created, hidden, shown and destroyed while they tick, for
// 3 seconds (KOVA_STRESS_SECONDS sets another length). A deadlock between the GUI thread and
// the timer thread stalls one of them, which the watchdog turns into a failure; a tick into a
// destroyed control hits poisoned memory and crashes.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "LibraryHost.h"
#include "ScratchGif.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// A deadlock never ends; a thread starved of the processor on a loaded machine does.
constexpr DWORD kStallMs = 20000;
const wchar_t* const kGifFile = L"animation_stress.gif";

// Ticks of every animated control, so that the watchdog also sees the timer thread.
std::atomic<long> ticks { 0 };

// Counts its ticks. Freed memory is overwritten and kept from reuse until thousands of later
// deletes.
template <class Base>
class Poisoned : public Base {
public:
    using Base::Base;
    int OnControlTimer() override
    {
        ++ticks;
        return Base::OnControlTimer();
    }
    static void operator delete(void* memory, std::size_t size)
    {
        static std::mutex lock;
        static std::deque<void*> held;
        std::lock_guard<std::mutex> guard(lock);
        held.push_back(std::memset(memory, 0xDD, size));
        if (held.size() > 4096) {
            ::operator delete(held.front());
            held.pop_front();
        }
    }
};

// What each animated class is given to animate, and its start.
void animate(CGifPicture& gif, UINT id) { gif.SetImage(kGifFile, 1); gif.SetRunState(1, static_cast<int>(id % 2)); }
void animate(CSliderPicture& slider, UINT id) { slider.SetImage(kGifFile, 1); slider.SetRun(1, static_cast<SLIDER_MODE>(1 + id % 3)); }
void animate(MProgress& bar, UINT id) { bar.EnableShowText(1); bar.SetRun(1, static_cast<int>(id % 100)); }
// Two pages of a looping GIF each: the ticks pass through the tab control to them while its
// window timer slides from one page to the other.
void animate(MTabCtrl& tabs, UINT id)
{
    for (UINT i = 0; i < 2; ++i) {
        auto* page = static_cast<MPanel*>(tabs.CreatePanel(L"MTabLayout", id * 10 + i, tabs.GetRect()));
        // The panel factory does not make this class: the page is given one as a host would.
        auto* gif = new CGifPicture2(page, id * 10 + 5 + i, tabs.GetRect(), 1, 1);
        gif->SetManager(tabs.GetManager());
        page->GetControls().push_back(gif);
        animate(*gif, 0);
        tabs.InsertItem(i, L"", kGifFile, page, 1, 0);
    }
    tabs.SetSelectItem(0);
    tabs.EnableAnimateChangeTab(1);
    tabs.SetUpdataRect(tabs.GetRect());
    tabs.SetSelectItem(1);
}

// A control of class T in the window's control list, animating and ticking, poisoned when freed.
template <class T>
MControl* start(MDialog& dialog, UINT id, CRect rect)
{
    auto* control = new Poisoned<T>(&dialog, id, rect, 1, 1);
    control->SetManager(dialog.GetPaintManager());
    dialog.GetPaintManager()->AppendControl(control, 1);
    animate(*control, id);
    control->AddMTimer();
    return control;
}

const std::pair<const char*, MControl* (*)(MDialog&, UINT, CRect)> kAnimated[] {
    { "CGifPicture", start<CGifPicture> }, { "CGifPicture2", start<CGifPicture2> }, { "CSliderPicture", start<CSliderPicture> },
    { "MProgress marquee", start<MProgress> }, { "MTabCtrl sliding", start<MTabCtrl> },
};

} // namespace

TEST(AnimationStress, AnimatedControlsCreatedAndDestroyedWhileTheyTickNeverDeadlockOrCrash)
{
    ScratchGif gif(GetSkinPath(), kGifFile, 24, 16, { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00 });
    ASSERT_TRUE(gif.written());
    MDialog dialog;
    dialog.Create(nullptr, L"animation stress", WS_POPUP, 0, CRect(0, 0, 400, 300));
    dialog.ShowWindow(SW_SHOWNOACTIVATE);
    PaintManager& manager = *dialog.GetPaintManager();
    std::atomic<long> guiRounds { 0 };
    manager.SetMTimer(1);
    // Ends the process when the GUI thread or the fast timer stops making progress.
    std::atomic<bool> finished { false };
    std::thread watchdog([&] {
        long last[2] = { -1, -1 };
        DWORD changed[2] = { GetTickCount(), GetTickCount() };
        for (; !finished; Sleep(100))
            for (int i = 0; i < 2; ++i)
                if (const long now = (i ? ticks : guiRounds).load(); now != last[i]) {
                    last[i] = now;
                    changed[i] = GetTickCount();
                } else if (GetTickCount() - changed[i] > kStallMs) {
                    fprintf(stderr, "animation stress: the %s stalled (deadlock)\n", i ? "fast timer" : "GUI thread");
                    ExitProcess(3);
                }
    });

    std::mt19937 random(13);
    std::vector<long> destroyed(std::size(kAnimated));
    std::vector<std::pair<size_t, MControl*>> live;
    UINT nextId = 100;
    const char* seconds = std::getenv("KOVA_STRESS_SECONDS");
    const DWORD length = static_cast<DWORD>(seconds && std::atoi(seconds) > 0 ? std::atoi(seconds) : 3) * 1000;
    // A crowded machine takes longer to take every road; the run goes on until it has, and
    // the checks below say which it missed.
    auto everyRoadTaken = [&] {
        return ticks.load() > 500 && std::all_of(destroyed.begin(), destroyed.end(), [](long n) { return n >= 3; });
    };
    auto ended = [&](DWORD spent) { return spent >= length && (everyRoadTaken() || spent >= length + kStallMs); };
    for (const DWORD begun = GetTickCount(); !ended(GetTickCount() - begun); ++guiRounds) {
        if (live.size() < 10) {
            const UINT id = nextId++;
            const int x = static_cast<int>(random() % 300), y = static_cast<int>(random() % 200);
            const CRect rect(x, y, x + 20 + random() % 80, y + 20 + random() % 80);
            live.emplace_back(id % std::size(kAnimated), kAnimated[id % std::size(kAnimated)].second(dialog, id, rect));
        }
        const size_t pick = random() % live.size();
        if (random() % 2) {
            live[pick].second->SetVisible(random() % 2);
        } else {
            manager.RemoveControl(live[pick].second);
            ++destroyed[live[pick].first];
            live.erase(live.begin() + static_cast<std::ptrdiff_t>(pick));
        }
        // A bounded share of messages and one paint per round: ticks post faster than a
        // starved GUI thread serves, and draining the queue would never end.
        MSG msg;
        for (int i = 0; i < 50 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_PAINT; ++i)
            DispatchMessageW(&msg);
        UpdateWindow(dialog.GetSafeHwnd());
    }
    manager.KillMTimer();
    finished = true;
    watchdog.join();
    dialog.DestroyWindow();

    EXPECT_GT(ticks.load(), 500);
    for (size_t row = 0; row < std::size(kAnimated); ++row)
        EXPECT_GE(destroyed[row], 3) << kAnimated[row].first;
}
