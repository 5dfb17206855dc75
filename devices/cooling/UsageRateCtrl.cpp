// GUI thread only.
#include "devices/cooling/UsageRateCtrl.h"

#include <cmath>

#include "controls/basic/LookPainting.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
constexpr Gdiplus::ARGB kField = 0xFF646464;
constexpr Gdiplus::ARGB kDisc = 0xFF242527;
constexpr Gdiplus::ARGB kCore = 0xFF000000;
constexpr Gdiplus::ARGB kDots = 0xB4CC228D;
constexpr Gdiplus::ARGB kTrack = 0xC8242527;
constexpr Gdiplus::ARGB kSegment = 0xB4CC228D;
constexpr Gdiplus::ARGB kOuterCircle = 0x96CC228D;
constexpr Gdiplus::ARGB kInnerCircle = 0xFFCC228D;
constexpr float kTrackStart = 120.0f;
constexpr float kTrackSweep = 300.0f;
constexpr float kSegmentSweep = 5.0f;
constexpr double kPi = 3.1415926;
} // namespace

UsageRateCtrl::UsageRateCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
}

const wchar_t* UsageRateCtrl::GetClassNameW() const { return L"UsageRateCtrl"; }

void UsageRateCtrl::DrawControl(HDC& dc, CRect)
{
    DrawCachedLooks(*this, m_memPicture, dc, 1, 0, [this](Gdiplus::Graphics& graphics) { paint(graphics); });
}

void UsageRateCtrl::paint(Gdiplus::Graphics& graphics) const
{
    const float s = Manager::GetScaleValue();
    const auto sized = [s](int pixels) { return static_cast<int>(pixels * s); };
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    const auto square = [&](int side) { return Gdiplus::Rect((width - side) / 2, (height - side) / 2, side, side); };
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);

    Gdiplus::SolidBrush brush { Gdiplus::Color(kField) };
    graphics.FillRectangle(&brush, 0, 0, width, height);
    brush.SetColor(Gdiplus::Color(kDisc));
    graphics.FillEllipse(&brush, square(sized(600)));
    brush.SetColor(Gdiplus::Color(kCore));
    graphics.FillEllipse(&brush, square(sized(560)));

    // The dots run clockwise from the top on an ellipse centred a little up and left.
    brush.SetColor(Gdiplus::Color(kDots));
    const int dots = sized(80);
    const int dot = sized(8);
    const double radiusX = sized(550) / 2.0;
    const double radiusY = sized(500) / 2.0;
    const int centreX = width / 2 - sized(4);
    const int centreY = height / 2 - sized(4);
    for (int i = 0; i < dots; ++i) {
        const double angle = ((360 * i) / dots - 90) * kPi / 180;
        const auto x = static_cast<int>(static_cast<float>(std::cos(angle) * radiusX + centreX - dot / 2));
        const auto y = static_cast<int>(static_cast<float>(std::sin(angle) * radiusY + centreY - dot / 2));
        graphics.FillEllipse(&brush, x, y, dot, dot);
    }

    const Gdiplus::Rect track = square(sized(400));
    Gdiplus::Pen pen { Gdiplus::Color(kTrack), static_cast<float>(sized(36)) };
    graphics.DrawArc(&pen, track, kTrackStart, kTrackSweep);
    pen.SetColor(Gdiplus::Color(kSegment));
    graphics.DrawArc(&pen, track, kTrackStart, kSegmentSweep);
    pen.SetColor(Gdiplus::Color(kOuterCircle));
    pen.SetWidth(2.0f);
    graphics.DrawEllipse(&pen, track.X + sized(60), track.Y + sized(60), track.Width - sized(120),
                         track.Height - sized(120));
    pen.SetColor(Gdiplus::Color(kInnerCircle));
    graphics.DrawEllipse(&pen, track.X + sized(120), track.Y + sized(120), track.Width - sized(240),
                         track.Height - sized(240));
}

} // namespace KOVA
