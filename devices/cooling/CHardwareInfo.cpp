// GUI thread only; the gauge has no lock. The registry is read while the picture is redrawn.
#include "devices/cooling/CHardwareInfo.h"

#include <algorithm>
#include <cwchar>

#include "framework/AppPaths.h"
#include "framework/FontCache.h"
#include "framework/MRender.h"
#include "framework/Manager.h"
#include "framework/Registry.h"

namespace KOVA {

// Rows of a dial on the canvas: its needle's pivot, its label and its value.
struct CHardwareInfo::DialRows {
    int pivot;
    int label;
    int value;
};

namespace {
constexpr Gdiplus::ARGB kGrey = 0xFFA6A6A6;
constexpr Gdiplus::ARGB kWhite = 0xFFFFFFFF;
constexpr Gdiplus::ARGB kBoxFill = 0xFF6B6B6B;
constexpr Gdiplus::ARGB kBoxRule = 0xFFE6E6E6;
constexpr float kBoxRadius = 10.0f;
// Value 0 points here; a full dial turns a further 255 degrees.
constexpr int kNeedleStart = 235;
constexpr int kNeedleSweep = 255;
constexpr int kFirstDialSpan = 212;
constexpr int kSecondDialSpan = 100;
constexpr int kTitleHeight = 36;

constexpr CHardwareInfo::DialRows kFirstDial { 215, 240, 204 };
constexpr CHardwareInfo::DialRows kSecondDial { 420, 470, 434 };

Gdiplus::RectF area(float x, float y, float width, float height) { return Gdiplus::RectF(x, y, width, height); }

std::unique_ptr<Gdiplus::Image> loadSkin(const CString& file, int& width, int& height)
{
    std::unique_ptr<Gdiplus::Image> image(MRender::LoadImageFromFile(GetSkinPath() + file));
    if (image) {
        width = static_cast<int>(image->GetWidth());
        height = static_cast<int>(image->GetHeight());
    }
    return image;
}
} // namespace

// ---- the background picture

CHardwareInfoBkg::CHardwareInfoBkg(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
}

const wchar_t* CHardwareInfoBkg::GetClassNameW() const { return L"CHardwareInfoBkg"; }

void CHardwareInfoBkg::DrawControl(HDC& dc, CRect)
{
    DrawCachedLooks(*this, m_memPicture, dc, 1, 0, [this](Gdiplus::Graphics& graphics) {
        if (!m_image)
            return;
        const CRect place = MRender::GetImageRect(GetFrameWidth(), m_imageHeight,
                                                  CRect(0, 0, m_rect.Width(), m_rect.Height()));
        graphics.DrawImage(m_image, place.left, place.top, place.Width(), place.Height());
    });
}

// ---- the gauge

CHardwareInfo::CHardwareInfo(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
}

CHardwareInfo::CHardwareInfo(const CHardwareInfo& other) = default;
CHardwareInfo& CHardwareInfo::operator=(const CHardwareInfo& other) = default;
CHardwareInfo::~CHardwareInfo() = default;

const wchar_t* CHardwareInfo::GetClassNameW() const { return L"CHardwareInfo"; }

void CHardwareInfo::SetHardwareType(int type) { m_type = type; }

void CHardwareInfo::SetHardwareInfo(CString title, CString first, CString second)
{
    m_info[0] = title;
    m_info[1] = first;
    m_info[2] = second;
    UpdateControl(1, 0);
}

void CHardwareInfo::SetHardwareInfoValue(int first, int second)
{
    m_firstValue = first;
    m_secondValue = second;
    UpdateControl(1, 0);
}

void CHardwareInfo::SetHardwareDesc(CString d0, CString d1, CString d2)
{
    m_desc[0] = d0;
    m_desc[1] = d1;
    m_desc[2] = d2;
    UpdateControl(1, 0);
}

void CHardwareInfo::SetHardwareDescValue(CString e0, CString e1, CString e2)
{
    m_descValue[0] = e0;
    m_descValue[1] = e1;
    m_descValue[2] = e2;
    UpdateControl(1, 0);
}

void CHardwareInfo::SetMemoryUsed(float freeAmount, float used)
{
    const float total = freeAmount + used;
    m_info[2].Format(L"%0.1f GB / %0.1f GB", static_cast<double>(used), static_cast<double>(total));
    // No share of nothing (and no NaN to convert); negative amounts stay within the bar.
    m_usedFraction = total > 0.0f ? std::max(0.0f, std::min(used / total, 1.0f)) : 0.0f;
    m_firstValue = static_cast<int>(m_usedFraction * 100.0f);
    UpdateControl(1, 0);
}

void CHardwareInfo::SetPointImage(CString file)
{
    *m_needle = loadSkin(file, m_needleWidth, m_needleHeight);
}

void CHardwareInfo::SetProcessImage(CString file)
{
    int height = m_barHeight * 2;
    *m_bar = loadSkin(file, m_barWidth, height);
    m_barHeight = static_cast<int>(static_cast<unsigned>(height) / 2);
}

int CHardwareInfo::NeedleAngle(int value, int span)
{
    return kNeedleStart + value * kNeedleSweep / span;
}

const wchar_t* CHardwareInfo::TemperatureFormat(const CString& showType)
{
    return std::wcstol(showType, nullptr, 10) == 1 ? L"%d℉" : L"%d℃";
}

// ---- drawing

void CHardwareInfo::DrawControl(HDC& dc, CRect)
{
    DrawCachedLooks(*this, m_memPicture, dc, 1, 0, [this](Gdiplus::Graphics& graphics) { paint(graphics); });
}

void CHardwareInfo::text(Gdiplus::Graphics& graphics, const CString& line, const Gdiplus::Font* font,
                         Gdiplus::RectF place, const Gdiplus::StringFormat* format, Gdiplus::ARGB colour)
{
    if (!font || line.IsEmpty())
        return;
    if (!*m_brush)
        *m_brush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(colour));
    (*m_brush)->SetColor(Gdiplus::Color(colour));
    graphics.DrawString(line, line.GetLength(), TextFont(font, line), place, format, m_brush->get());
}

void CHardwareInfo::drawNeedle(Gdiplus::Graphics& graphics, int angle, Gdiplus::PointF pivot) const
{
    if (!*m_needle)
        return;
    const float scale = Manager::GetScaleValue();
    const auto width = static_cast<float>(static_cast<int>(m_needleWidth * scale));
    const auto height = static_cast<float>(static_cast<int>(m_needleHeight * scale));
    // The needle's lower right corner on the pivot, turned about it.
    Gdiplus::Matrix turn;
    turn.Translate(pivot.X, pivot.Y);
    turn.Rotate(static_cast<float>(angle));
    turn.Translate(-width, -height);
    Gdiplus::PointF corners[3] = { { 0.0f, 0.0f }, { width, 0.0f }, { 0.0f, height } };
    turn.TransformPoints(corners, 3);
    graphics.DrawImage(m_needle->get(), corners, 3);
}

void CHardwareInfo::drawDial(Gdiplus::Graphics& graphics, CPoint origin, const DialRows& rows, int angle,
                             const CString& label, const CString& value)
{
    const auto x = static_cast<float>(origin.x);
    const auto y = static_cast<float>(origin.y);
    const Gdiplus::StringFormat* centred = m_centredFormat->Get();
    drawNeedle(graphics, angle, Gdiplus::PointF(x + 260, y + static_cast<float>(rows.pivot)));
    const Gdiplus::Font* small = m_fontA->Get(*this, 16.0f, Gdiplus::FontStyleBold);
    const Gdiplus::Font* large = m_fontB->Get(*this, 30.0f, m_fontStyle);
    text(graphics, label, small, area(x + 210, y + static_cast<float>(rows.label), 100, 36), centred, kGrey);
    text(graphics, value, large, area(x + 210, y + static_cast<float>(rows.value), 100, 36), centred, kGrey);
}

void CHardwareInfo::drawTemperatureBoxes(Gdiplus::Graphics& graphics, CPoint origin)
{
    const int boxWidth = (m_rect.Width() - 170) / 2;
    const auto width = static_cast<float>(boxWidth);
    const auto top = static_cast<float>(origin.y + 520);
    const Gdiplus::Font* font = m_fontA->Get(*this, 16.0f, Gdiplus::FontStyleBold);
    Gdiplus::Pen rule { Gdiplus::Color(kBoxRule), 1.0f };
    const float lefts[2] = { static_cast<float>(origin.x + 110), static_cast<float>(origin.x + 120 + boxWidth) };
    for (int box = 0; box < 2; ++box) {
        const float x = lefts[box];
        MRender::DrawRoundRectange(graphics, x, top, width, 80.0f, kBoxRadius, Gdiplus::Color(kBoxFill));
        graphics.DrawLine(&rule, x + 10, top + 40, x + width - 10, top + 40);
        text(graphics, m_desc[box + 1], font, area(x, top, width, 40), m_centredFormat->Get(), kWhite);
        text(graphics, m_descValue[box + 1], font, area(x, top + 40, width, 40), m_centredFormat->Get(), kWhite);
    }
}

void CHardwareInfo::drawUsage(Gdiplus::Graphics& graphics, CPoint origin)
{
    const auto x = static_cast<float>(origin.x + 110);
    const auto y1 = static_cast<float>(origin.y + 330);
    const auto rowWidth = static_cast<float>(m_rect.Width() - 160);
    const Gdiplus::Font* font = m_fontA->Get(*this, 16.0f, Gdiplus::FontStyleBold);
    const Gdiplus::StringFormat* centred = m_centredFormat->Get();
    text(graphics, m_info[2], font, area(x, y1, rowWidth, 26), centred, kGrey);
    if (*m_bar) {
        const int barTop = origin.y + 320;
        const CPoint barCorner(origin.x + 110, barTop);
        MRender::DrawImagePart(graphics, m_bar->get(), CRect(barCorner, CSize(m_barWidth, m_barHeight)), 0, 0,
                               m_barWidth, m_barHeight);
        const int filled = static_cast<int>(m_barWidth * m_usedFraction);
        if (filled > 0)
            MRender::DrawImagePart(graphics, m_bar->get(), CRect(barCorner, CSize(filled, m_barHeight)), 0, m_barHeight,
                                   filled, m_barHeight);
    }
    const CString* rows[4] = { &m_desc[0], &m_desc[1], &m_desc[2], &m_descValue[0] };
    for (int i = 0; i < 4; ++i) {
        const float y = y1 + 60 + 36.0f * static_cast<float>(i);
        MRender::DrawRoundRectange(graphics, x, y, rowWidth, 26.0f, kBoxRadius, Gdiplus::Color(kBoxFill));
        text(graphics, *rows[i], font, area(x, y, rowWidth, 30), centred, kGrey);
    }
    const Gdiplus::Font* small = m_fontC->Get(*this, 12.0f, m_fontStyle);
    text(graphics, m_descValue[1], small,
         area(static_cast<float>(origin.x + 80), y1 + 228, static_cast<float>(m_rect.Width() - 100), 30), centred,
         kGrey);
}

void CHardwareInfo::paint(Gdiplus::Graphics& graphics)
{
    const CPoint origin =
        MRender::GetImageRect(kCanvasWidth, kCanvasHeight, CRect(0, 0, m_rect.Width(), m_rect.Height())).TopLeft();
    graphics.SetTextRenderingHint(m_textRenderingHint);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    const auto titleHeight = static_cast<float>(static_cast<int>(Manager::GetScaleValue() * kTitleHeight));
    text(graphics, m_info[0], m_fontA->Get(*this, 16.0f, Gdiplus::FontStyleBold),
         area(static_cast<float>(origin.x + 70), static_cast<float>(origin.y + 6), 200, titleHeight),
         m_nearFormat->Get(Gdiplus::StringAlignmentNear), kGrey);
    if (!m_info[1].IsEmpty()) {
        CString value;
        if (isTemperature()) {
            CString showType;
            ReadRegString(showType, L"led_cpushowtype");
            value.Format(TemperatureFormat(showType), m_firstValue);
        } else {
            value.Format(L"%d%%", m_firstValue);
        }
        drawDial(graphics, origin, kFirstDial, NeedleAngle(m_firstValue, kFirstDialSpan), m_info[1], value);
    }
    if (isTemperature() && !m_info[2].IsEmpty()) {
        CString value;
        value.Format(L"%d%%", m_secondValue);
        drawDial(graphics, origin, kSecondDial, NeedleAngle(m_secondValue, kSecondDialSpan), m_info[2], value);
    }
    if (isTemperature())
        drawTemperatureBoxes(graphics, origin);
    else
        drawUsage(graphics, origin);
}

} // namespace KOVA
