// GUI thread only. The row lock guards the fan rows and is never held while the parent is
// asked to repaint or notified.
#include "devices/cooling/Fan2TempCurve.h"

#include <cmath>

#include "controls/basic/LookPainting.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
// A marker within this many pixels of the pointer is under it.
constexpr int kGrabRadius = 10;
constexpr UINT kDragEnded = 2;
const Gdiplus::Color kWhite(0xFFFFFFFF);
const Gdiplus::Color kBorder(0xFFBD30FF);
const Gdiplus::Color kGrabbedRing(0xFFFF0000);

void pointCursor(LPCWSTR which)
{
    ::SetCursor(::LoadCursorW(nullptr, which));
}
} // namespace

Fan2TempCurve::Fan2TempCurve(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    placePlot();
}

Fan2TempCurve::~Fan2TempCurve() = default;

// ---- geometry

void Fan2TempCurve::placePlot()
{
    m_plot = CRect(60, 5, m_rect.Width() - 5, m_rect.Height() - 25);
    m_stepX = m_plot.Width() / 10;
    m_stepY = m_plot.Height() / 8;
}

CPoint Fan2TempCurve::TempSpeedToScreen(int temperature, int speed) const
{
    const int x = m_plot.left + (m_plot.Width() * (temperature / 10)) / 10;
    float f = (static_cast<float>(speed) - 20.0f) / 80.0f;
    if (f >= 1.0f)
        f = 1.0f;
    if (f <= 0.0f)
        f = 0.0f;
    const int y = m_plot.bottom - static_cast<int>(static_cast<float>(m_plot.Height()) * f);
    return CPoint(x, y);
}

bool Fan2TempCurve::ScreenToTempSpeed(CPoint pt, int& temperature, int& speed) const
{
    if (m_plot.Width() <= 0 || m_plot.Height() <= 0)
        return false;
    int tens = static_cast<int>(static_cast<float>(pt.x - m_plot.left) / static_cast<float>(m_plot.Width()) * 10.0f + 0.5f);
    tens = tens >= 10 ? 10 : tens <= 0 ? 0 : tens;
    int percent = static_cast<int>(static_cast<float>(m_plot.bottom - pt.y) / static_cast<float>(m_plot.Height()) * 80.0f + 20.0f);
    percent = percent >= 100 ? 100 : percent <= 20 ? 20 : percent;
    temperature = 10 * tens;
    speed = percent;
    return true;
}

int Fan2TempCurve::FindNearestPoint(CPoint pt, int radius) const
{
    int best = radius + 1;
    int found = -1;
    for (size_t i = 0; i < m_points.size(); ++i) {
        const double dx = pt.x - m_points[i].x;
        const double dy = pt.y - m_points[i].y;
        const int distance = static_cast<int>(std::sqrt(dx * dx + dy * dy));
        if (distance < best) {
            found = static_cast<int>(i);
            best = distance;
        }
    }
    return found;
}

void Fan2TempCurve::SetControlRect(CRect rect)
{
    if (rect == m_rect)
        return;
    m_rect = rect;
    placePlot();
    for (TempCurvePoint& point : m_points) {
        const CPoint at = TempSpeedToScreen(point.temperature, point.speed);
        point.x = at.x;
        point.y = at.y;
    }
    repaint();
}

// ---- the curve

void Fan2TempCurve::UpdateCurveData(const std::vector<TempCurvePoint>& points)
{
    m_points.clear();
    for (const TempCurvePoint& given : points) {
        const CPoint at = TempSpeedToScreen(given.temperature, given.speed);
        m_points.push_back({ given.temperature, given.speed, at.x, at.y });
    }
    repaint();
}

void Fan2TempCurve::SetCurvePoint(int temperature, int speed)
{
    for (TempCurvePoint& point : m_points) {
        if (point.temperature != temperature)
            continue;
        point.speed = speed;
        const CPoint at = TempSpeedToScreen(temperature, speed);
        point.x = at.x;
        point.y = at.y;
        repaint();
        return;
    }
}

// ---- fan rows

Fan2TempCurve::FanRow* Fan2TempCurve::rowAt(int index) const
{
    const auto& rows = *m_rows;
    return index >= 0 && index < static_cast<int>(rows.size()) ? rows[static_cast<size_t>(index)].get() : nullptr;
}

void Fan2TempCurve::AddItem(CString name, CString text, int value)
{
    auto row = std::make_unique<FanRow>();
    row->name = name;
    row->text = text;
    row->value = value;
    ScopedLock lock(m_rowLock);
    m_rows->push_back(std::move(row));
}

void Fan2TempCurve::ClearList()
{
    {
        ScopedLock lock(m_rowLock);
        m_rows->clear();
    }
    m_selectedRow = -1;
    repaint();
}

void Fan2TempCurve::SetFanRPMValue(int index, int speed)
{
    {
        ScopedLock lock(m_rowLock);
        FanRow* row = rowAt(index);
        if (!row)
            return;
        row->speed = speed;
    }
    repaint();
}

void Fan2TempCurve::SetAllItemsCheck(int check)
{
    ScopedLock lock(m_rowLock);
    for (auto& row : *m_rows)
        row->check = check;
}

int Fan2TempCurve::SetItemCheck(int index, int check)
{
    ScopedLock lock(m_rowLock);
    FanRow* row = rowAt(index);
    if (!row)
        return 0;
    row->check = check;
    return 1;
}

int Fan2TempCurve::GetItemCheck(int index)
{
    ScopedLock lock(m_rowLock);
    const FanRow* row = rowAt(index);
    return row ? row->check : 0;
}

void Fan2TempCurve::SetSelectItem(int index)
{
    if (index == m_selectedRow)
        return;
    m_selectedRow = index;
    repaint();
}

int Fan2TempCurve::GetItemCount()
{
    ScopedLock lock(m_rowLock);
    return static_cast<int>(m_rows->size());
}

// ---- pointer

int Fan2TempCurve::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (m_rect.PtInRect(pt) && m_plot.PtInRect(local(pt)) && m_editing) {
        const int found = FindNearestPoint(local(pt), kGrabRadius);
        if (found >= 0) {
            m_grabbed = found;
            m_dragging = 1;
        }
    }
    return 1;
}

int Fan2TempCurve::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (!m_rect.PtInRect(pt))
        return 1;
    const CPoint at = local(pt);
    // The curve may have been replaced since the press: the grabbed index must still exist.
    if (m_dragging && m_grabbed >= 0 && m_grabbed < static_cast<int>(m_points.size()) && m_editing) {
        TempCurvePoint& point = m_points[static_cast<size_t>(m_grabbed)];
        int unusedTemperature = 0;
        int speed = point.speed;
        if (ScreenToTempSpeed(at, unusedTemperature, speed)) {
            point.speed = speed;
            const CPoint placed = TempSpeedToScreen(point.temperature, speed);
            point.x = placed.x;
            point.y = placed.y;
            repaint();
        }
        return 1;
    }
    if (!m_plot.PtInRect(at))
        pointCursor(IDC_ARROW);
    else
        pointCursor(FindNearestPoint(at, kGrabRadius) >= 0 ? IDC_HAND : IDC_CROSS);
    return 1;
}

int Fan2TempCurve::OnControlLButtonUp(UINT, CPoint)
{
    if (!m_enabled)
        return 0;
    if (!m_dragging)
        return 1;
    m_dragging = 0;
    m_grabbed = -1;
    // Repaint first: the host's handler may replace or delete this control.
    repaint();
    SendMessageW(kDragEnded, 0, 0);
    return 1;
}

// ---- drawing

void Fan2TempCurve::DrawControl(HDC& dc, CRect)
{
    if (BeginCachedLooks(*this, m_memPicture, dc, 1)) {
        Gdiplus::Graphics graphics(m_memPicture.dc());
        DrawGridAndLabels(graphics);
        DrawTemperatureCurve(graphics);
        DrawCurvePoints(graphics);
    }
    ShowCachedLook(*this, m_memPicture, dc, 0);
}

void Fan2TempCurve::DrawGridAndLabels(Gdiplus::Graphics& graphics)
{
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    std::unique_ptr<Gdiplus::FontFamily> family(GetFontFamily(m_textFont));
    std::unique_ptr<Gdiplus::Font> font;
    if (family)
        font = std::make_unique<Gdiplus::Font>(family.get(),
                                               static_cast<float>(static_cast<int>(m_fontSize * Manager::GetScaleValue())),
                                               Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
    const Gdiplus::SolidBrush white(kWhite);
    const float stepX = static_cast<float>(m_stepX);
    const float stepY = static_cast<float>(m_stepY);
    for (int k = 0; k <= 8; ++k) {
        CString label;
        label.Format(L"%d%%", 20 + 10 * k);
        const float top = static_cast<float>(m_plot.bottom - m_stepY / 2) - static_cast<float>(k) * stepY;
        DrawTextLine(graphics, label, font.get(), Gdiplus::RectF(0, top, 60, stepY), white, m_textRenderingHint,
                     Gdiplus::StringAlignmentFar);
    }
    for (int k = 0; k <= 10; ++k) {
        CString label;
        label.Format(L"%d℃", 10 * k);
        const Gdiplus::RectF layout(static_cast<float>(m_plot.left) + static_cast<float>(k) * stepX,
                                    static_cast<float>(m_plot.bottom + 5), stepX, 20);
        DrawTextLine(graphics, label, font.get(), layout, white, m_textRenderingHint);
    }
    const Gdiplus::Pen inner(kWhite, 1.0f);
    const Gdiplus::Pen border(kBorder, 1.0f);
    for (int k = 0; k <= 8; ++k) {
        const int y = m_plot.top + k * m_stepY;
        graphics.DrawLine(k == 0 || k == 8 ? &border : &inner, m_plot.left, y, m_plot.right, y);
    }
    for (int k = 0; k <= 10; ++k) {
        const int x = m_plot.left + k * m_stepX;
        graphics.DrawLine(k == 0 || k == 10 ? &border : &inner, x, m_plot.top, x, m_plot.bottom);
    }
}

void Fan2TempCurve::DrawTemperatureCurve(Gdiplus::Graphics& graphics) const
{
    if (m_points.size() < 2)
        return;
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const Gdiplus::Pen pen(m_curveColor, 3.0f);
    std::vector<Gdiplus::Point> line;
    for (const TempCurvePoint& point : m_points)
        line.emplace_back(point.x, point.y);
    graphics.DrawCurve(&pen, line.data(), static_cast<INT>(line.size()), 0.0f);
}

void Fan2TempCurve::DrawCurvePoints(Gdiplus::Graphics& graphics) const
{
    if (!m_editing)
        return;
    const Gdiplus::Pen ring(kBorder, 2.0f);
    const Gdiplus::Pen grabbed(kGrabbedRing, 3.0f);
    const Gdiplus::SolidBrush white(kWhite);
    for (size_t i = 0; i < m_points.size(); ++i) {
        const TempCurvePoint& point = m_points[i];
        graphics.DrawEllipse(&ring, point.x - 4, point.y - 4, 8, 8);
        graphics.FillEllipse(&white, point.x - 3, point.y - 3, 6, 6);
        if (m_dragging && static_cast<int>(i) == m_grabbed)
            graphics.DrawEllipse(&grabbed, point.x - 6, point.y - 6, 12, 12);
    }
}

} // namespace KOVA
