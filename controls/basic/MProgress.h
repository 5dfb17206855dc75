#pragma once
// A horizontal progress bar in one of three looks: a thin line under a bar drawn in colours,
// a two-frame image strip (track, fill), or separate background and foreground images. It can
// show the percentage in its middle, and as a marquee it steps its value on the window's fast
// timer (the host registers it with AddMTimer): one step every third tick, back to 0 at the
// maximum.
#include "platform/Win32.h"

#include <atomic>

#include "controls/basic/ProgressBase.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API MProgress : public ProgressBase {
public:
    MProgress(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the values; it is on no tick list.
    MProgress(const MProgress& other);
    MProgress& operator=(const MProgress& other);
    // Leaves the tick list, waiting out a tick in progress, before anything of the bar goes.
    ~MProgress() override;

    void DrawControl(HDC& dc, CRect paintRect) override;
    // The marquee step (multimedia-timer thread); 1 when it stepped.
    int OnControlTimer() override;

    // Only while enabled: starts or stops the marquee, and a start within 0 .. maximum becomes
    // the value. Returns the run flag.
    int SetRun(int run, int start);
    int IsRunning() const { return m_running.load(); }
    void EnableShowText(int show) { m_showText = show; }
    // The foreground look: a skin file, or a "PNG" resource of the host module. False
    // without a paint manager or without the image.
    bool SetForeGroundImage(CString file);
    bool SetForeGroundImage(UINT resourceId);

private:
    void copyValuesFrom(const MProgress& other);
    void DrawColours(Gdiplus::Graphics& graphics, int width, int height, int filled) const;
    void DrawStrip(Gdiplus::Graphics& graphics, int width, int filled) const;
    void DrawImages(Gdiplus::Graphics& graphics, int width, int height, int filled) const;
    void DrawPercentage(Gdiplus::Graphics& graphics, int width, int progress) const;

    // Touched by the tick only.
    int m_tickCount { 0 };
    int m_ticksPerStep { 3 };
    int m_sideMargin { 12 };
    int m_showText { 0 };
    int m_barHeight { 14 };
    Gdiplus::Color m_lineColour { 0x64050505 };
    Gdiplus::Color m_fillColour { 0xFFFFE100 };
    Gdiplus::Image* m_foreImage { nullptr };
    int m_foreWidth { 0 };
    int m_foreHeight { 0 };
    std::atomic<int> m_running { 0 };
};

} // namespace KOVA
