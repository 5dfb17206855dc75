// Threads: OnControlTimer runs on the multimedia-timer thread and takes no lock. It shares the
// value, the maximum and the run flag with the GUI thread through atomics (a step loses to a
// value the host set meanwhile), counts its ticks alone, and raises its repaint request from
// there (the request only marks the bar and posts). Drawing and every setter run on the GUI
// thread; the destructor takes the bar off the tick list before anything else.
#include "controls/basic/MProgress.h"

#include "controls/basic/LookPainting.h"
#include "framework/MRender.h"

namespace KOVA {

namespace {
// The nine-grid corner of the strip look.
constexpr int kStripCorner = 2;
constexpr int kTextWidth = 60;
constexpr int kTextHeight = 20;
} // namespace

MProgress::MProgress(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : ProgressBase(parent, id, rect, visible, enabled)
{
    m_hAlign = DT_CENTER;
    m_vAlign = DT_VCENTER;
    m_imageCount = 2;
}

MProgress::MProgress(const MProgress& other) : ProgressBase(other)
{
    copyValuesFrom(other);
}

MProgress& MProgress::operator=(const MProgress& other)
{
    if (this != &other) {
        ProgressBase::operator=(other);
        copyValuesFrom(other);
    }
    return *this;
}

void MProgress::copyValuesFrom(const MProgress& other)
{
    m_tickCount = 0;
    m_ticksPerStep = other.m_ticksPerStep;
    m_sideMargin = other.m_sideMargin;
    m_showText = other.m_showText;
    m_barHeight = other.m_barHeight;
    m_lineColour = other.m_lineColour;
    m_fillColour = other.m_fillColour;
    m_foreImage = other.m_foreImage;
    m_foreWidth = other.m_foreWidth;
    m_foreHeight = other.m_foreHeight;
    m_running.store(other.m_running.load());
}

MProgress::~MProgress()
{
    StopFastTimer();
}

int MProgress::SetRun(int run, int start)
{
    if (!m_enabled)
        return m_running.load();
    const bool runChanged = m_running.exchange(run) != run;
    const bool progressChanged = start >= 0 && start <= m_max.load() && m_progress.exchange(start) != start;
    if (runChanged || progressChanged)
        Repaint();
    return run;
}

int MProgress::OnControlTimer()
{
    if (!m_running.load() || !m_visible || ++m_tickCount < m_ticksPerStep)
        return 0;
    m_tickCount = 0;
    int current = m_progress.load();
    const int next = current + 1 >= m_max.load() ? 0 : current + 1;
    if (!m_progress.compare_exchange_strong(current, next))
        return 0;
    Repaint();
    return 1;
}

bool MProgress::SetForeGroundImage(CString file)
{
    return TakeImage(LoadCached(file), m_foreImage, m_foreWidth, m_foreHeight);
}

bool MProgress::SetForeGroundImage(UINT resourceId)
{
    return TakeImage(LoadCached(resourceId), m_foreImage, m_foreWidth, m_foreHeight);
}

void MProgress::DrawControl(HDC& dc, CRect)
{
    DrawCachedLooks(*this, m_memPicture, dc, 1, 0, [&](Gdiplus::Graphics& graphics) {
        const int width = m_rect.Width();
        const int height = m_rect.Height();
        const int progress = m_progress.load();
        const int filled = FilledLength(progress, width);
        if (m_foreImage)
            DrawImages(graphics, width, height, filled);
        else if (m_image)
            DrawStrip(graphics, width, filled);
        else
            DrawColours(graphics, width, height, filled);
        if (m_showText)
            DrawPercentage(graphics, width, progress);
    });
}

void MProgress::DrawColours(Gdiplus::Graphics& graphics, int width, int height, int filled) const
{
    const Gdiplus::Pen line(m_lineColour, 1.0f);
    graphics.DrawLine(&line, 1, height - 2, width, height - 2);
    if (filled > 0) {
        const Gdiplus::SolidBrush fill(m_fillColour);
        graphics.FillRectangle(&fill, 0, height - 3, filled, 3);
    }
}

void MProgress::DrawStrip(Gdiplus::Graphics& graphics, int width, int filled) const
{
    MRender::DrawImageStripFrame(graphics, m_image, CRect(0, 0, width, m_barHeight), 0, m_imageCount, kStripCorner);
    if (filled > 0)
        MRender::DrawImageStripFrame(graphics, m_image, CRect(0, 0, filled, m_barHeight), 1, m_imageCount,
                                     kStripCorner);
}

void MProgress::DrawImages(Gdiplus::Graphics& graphics, int width, int height, int filled) const
{
    const int margin = m_sideMargin;
    if (m_backImage)
        MRender::DrawImageFrameMID(graphics, m_backImage, CRect(0, 0, width, height), 0, 0, m_backWidth,
                                   m_backHeight, margin, 0, margin, 0);
    if (filled <= 0)
        return;
    // A fill narrower than the margins has no middle to stretch: its part of the image is
    // stretched to the bar's height instead.
    if (filled < margin)
        MRender::DrawImagePart(graphics, m_foreImage, CRect(0, 0, filled, height), 0, 0, filled, m_foreHeight);
    else
        MRender::DrawImageFrameMID(graphics, m_foreImage, CRect(0, 0, filled, height), 0, 0, m_foreWidth,
                                   m_foreHeight, margin, 0, margin, 0);
}

void MProgress::DrawPercentage(Gdiplus::Graphics& graphics, int width, int progress) const
{
    const Gdiplus::Brush* brush = GetTextBrush();
    if (!brush)
        return;
    const auto font = MakeTextFont(*this, static_cast<float>(m_fontSize));
    DrawTextLine(graphics, ProgressText(progress), font.get(),
                 Gdiplus::RectF((width - kTextWidth) * 0.5f, 0.0f, kTextWidth, kTextHeight), *brush,
                 m_textRenderingHint);
}

} // namespace KOVA
