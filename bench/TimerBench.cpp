// The fast timer: the mean and spread of the period at which registered controls tick, beside
// the floor of a bare multimedia timer of the same period.
#include "BenchKit.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <vector>

#include <mmsystem.h>

using namespace KOVA;

namespace {

constexpr int kSamples = 400;

// Stamps every tick; the stamps are read only after the timer has been killed.
struct TickLog {
    std::vector<double> stamps = std::vector<double>(kSamples + 1);
    std::atomic<int> count { 0 };
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);

    void stamp()
    {
        const int index = count.fetch_add(1);
        if (index <= kSamples)
            stamps[static_cast<size_t>(index)] = BenchKit::nowMs();
        if (index == kSamples)
            SetEvent(done);
    }
    void report(const char* what, UINT period) const
    {
        double sum = 0, squares = 0;
        for (int i = 1; i <= kSamples; ++i) {
            const double gap = stamps[static_cast<size_t>(i)] - stamps[static_cast<size_t>(i - 1)];
            sum += gap;
            squares += gap * gap;
        }
        const double mean = sum / kSamples;
        const double sigma = std::sqrt(squares / kSamples - mean * mean);
        printf("%-34s period %2u ms: mean %7.3f ms  sigma %6.3f ms\n", what, period, mean, sigma);
    }
};

class TickingControl : public MControl {
public:
    TickingControl(MObject* parent, TickLog& log) : MControl(parent, 1, CRect(0, 0, 1, 1), 1, 1, 1), m_log(log) {}
    void DrawControl(HDC&, CRect) override {}
    int OnControlTimer() override
    {
        m_log.stamp();
        return 0;
    }

private:
    TickLog& m_log;
};

void CALLBACK bareTick(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR)
{
    reinterpret_cast<TickLog*>(user)->stamp();
}

void measureBare(UINT period)
{
    TickLog log;
    timeBeginPeriod(1);
    const UINT id = timeSetEvent(period, 1, bareTick, reinterpret_cast<DWORD_PTR>(&log), TIME_PERIODIC | TIME_KILL_SYNCHRONOUS);
    WaitForSingleObject(log.done, 30000);
    timeKillEvent(id);
    timeEndPeriod(1);
    log.report("floor: bare multimedia timer", period);
}

void measureFast(BenchKit::PlainDialog& host, UINT period)
{
    TickLog log;
    auto* control = BenchKit::adopt(*host.GetPaintManager(), new TickingControl(&host, log));
    host.GetPaintManager()->AddMTimer(control);
    host.SetMTimer(period);
    WaitForSingleObject(log.done, 30000);
    host.GetPaintManager()->KillMTimer();
    host.GetPaintManager()->RemoveControl(control);
    log.report("paint manager fast timer", period);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    const BenchKit::LibraryScope library(instance);
    BenchKit::PlainDialog host;
    host.Create(nullptr, L"timer bench", WS_POPUP, 0, CRect(0, 0, 100, 100));
    for (UINT period : { 5u, 10u, 30u }) {
        measureBare(period);
        measureFast(host, period);
    }
    DestroyWindow(host.GetSafeHwnd());
    return 0;
}
