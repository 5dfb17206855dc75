// GUI thread only.
#include "controls/basic/CircleProgress.h"

#include "controls/basic/LookPainting.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
constexpr DWORD kRingGrey = 0xFF383838;
constexpr float kPenWidth = 6.0f;
constexpr int kRadius = 38;
constexpr float kTwelveOClock = 270.0f;
constexpr float kTextSize = 20.0f;
} // namespace

CircleProgress::CircleProgress(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : ProgressBase(parent, id, rect, visible, enabled)
{
}

void CircleProgress::DrawControl(HDC& dc, CRect)
{
    DrawCachedLooks(*this, m_memPicture, dc, 1, 0, [&](Gdiplus::Graphics& graphics) {
        graphics.SetTextRenderingHint(m_textRenderingHint);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        const int width = m_rect.Width();
        const int height = m_rect.Height();
        const int cx = width / 2;
        const int cy = height / 2;
        if (m_backImage)
            graphics.DrawImage(m_backImage, (width - m_backWidth) / 2, (height - m_backHeight) / 2, m_backWidth,
                               m_backHeight);
        const Gdiplus::Rect ring(cx - kRadius, cy - kRadius, 2 * kRadius, 2 * kRadius);
        Gdiplus::Pen pen(Gdiplus::Color(kRingGrey), kPenWidth);
        graphics.DrawArc(&pen, ring, 0.0f, 360.0f);
        const int progress = m_progress.load();
        if (progress == 0)
            return;
        const int maximum = m_max.load();
        // A maximum of 0 would divide by zero: the ring stays empty.
        if (maximum >= 1) {
            pen.SetColor(Manager::GetSelectColor());
            graphics.DrawArc(&pen, ring, kTwelveOClock, static_cast<float>(progress) / maximum * 360.0f);
        }
        const Gdiplus::Brush* brush = GetTextBrush();
        const auto font = MakeTextFont(*this, kTextSize);
        if (brush)
            DrawTextLine(graphics, ProgressText(progress), font.get(),
                         Gdiplus::RectF(static_cast<Gdiplus::REAL>(cx - 50), static_cast<Gdiplus::REAL>(cy - 25),
                                        100.0f, 50.0f),
                         *brush, m_textRenderingHint);
    });
}

} // namespace KOVA
