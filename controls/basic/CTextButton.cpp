// GUI thread only.
#include "controls/basic/CTextButton.h"

#include "framework/MRender.h"

namespace KOVA {

namespace {
constexpr DWORD kBadgeRed = 0xFFFF0000;
constexpr int kBadgeSize = 16;
constexpr float kBadgeFontSize = 8.0f;

CRect wholeFrame(const CRect& frameRect)
{
    return CRect(frameRect.left, 0, frameRect.right, frameRect.Height());
}
} // namespace

// ---- CTextButton

CTextButton::CTextButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : ButtonBase(parent, id, rect, title, visible, enabled)
{
    SetTextColor(Gdiplus::Color(0xFFFFFFFF));
}

void CTextButton::SetTextButtonColor(Gdiplus::Color normal, Gdiplus::Color hover, Gdiplus::Color pressed,
                                     Gdiplus::Color disabled)
{
    SetTextColor(normal);
    m_hoverColour = hover;
    m_pressedColour = pressed;
    m_disabledColour = disabled;
}

void CTextButton::DrawControl(HDC& dc, CRect)
{
    DrawStrip(dc, 4, GetState(), [&](Gdiplus::Graphics& graphics) {
        const auto plain = MakeFont(static_cast<float>(m_fontSize), m_fontStyle);
        const auto underlined = MakeFont(static_cast<float>(m_fontSize), Gdiplus::FontStyleUnderline);
        const Gdiplus::Color colours[4] { m_textColor, m_hoverColour, m_pressedColour, m_disabledColour };
        for (int frame = 0; frame < 4; ++frame) {
            const bool underline = frame == LookHover || frame == LookDisabled;
            DrawCaption(graphics, m_title, underline ? underlined.get() : plain.get(),
                        PressedShift(FrameRect(frame), frame), colours[frame],
                        Gdiplus::TextRenderingHintClearTypeGridFit);
        }
    });
}

// ---- UpgradeButton

UpgradeButton::UpgradeButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : ButtonBase(parent, id, rect, title, visible, enabled)
{
    m_hAlign = DT_CENTER;
}

void UpgradeButton::SetUpgradeStatus(int status)
{
    if (status == m_upgradeStatus)
        return;
    m_upgradeStatus = status;
    Repaint(1);
}

void UpgradeButton::DrawBadge(Gdiplus::Graphics& graphics, const CRect& frameRect, const Gdiplus::Font* font) const
{
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    const Gdiplus::SolidBrush red { Gdiplus::Color(kBadgeRed) };
    const int right = frameRect.right;
    graphics.FillEllipse(&red, right - kBadgeSize, 0, kBadgeSize, kBadgeSize);
    DrawCaption(graphics, L"1", font, CRect(right - kBadgeSize + 1, 1, right + 1, 1 + kBadgeSize), m_textColor,
                m_textRenderingHint);
}

void UpgradeButton::DrawControl(HDC& dc, CRect)
{
    DrawStrip(dc, 4, GetState(), [&](Gdiplus::Graphics& graphics) {
        const auto font = MakeFont(static_cast<float>(m_fontSize), m_fontStyle);
        const auto badgeFont = m_upgradeStatus ? MakeFont(kBadgeFontSize, m_fontStyle) : nullptr;
        const int width = m_rect.Width();
        const int height = m_rect.Height();
        // Frames of the control's own size are copied as they are, not stretched.
        const bool natural = GetFrameWidth() == width && m_imageHeight == height;
        for (int frame = 0; frame < 4; ++frame) {
            const CRect frameRect = FrameRect(frame);
            if (natural)
                MRender::DrawImagePart(graphics, m_image, CRect(frameRect.left, 0, frameRect.left + width, height),
                                       frame * width, 0, width, height);
            else
                DrawSkinFrame(graphics, frame, m_frameSize);
            DrawStateCaption(graphics, frame, m_title, font.get(), wholeFrame(frameRect));
            if (m_upgradeStatus)
                DrawBadge(graphics, frameRect, badgeFont.get());
        }
    });
}

// ---- DownloadButton

DownloadButton::DownloadButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : ButtonBase(parent, id, rect, title, visible, enabled)
{
    m_hAlign = DT_CENTER;
}

void DownloadButton::SetDownloadProcess(int percent)
{
    if (percent == m_progress)
        return;
    m_progress = percent;
    Repaint(1);
}

void DownloadButton::DrawControl(HDC& dc, CRect)
{
    if (m_progress < 1)
        DrawButton(dc);
    else
        DrawProgress(dc);
}

void DownloadButton::DrawButton(HDC& dc)
{
    DrawStrip(dc, 4, GetState(), [&](Gdiplus::Graphics& graphics) {
        const auto font = MakeFont(static_cast<float>(m_fontSize), m_fontStyle);
        for (int frame = 0; frame < 4; ++frame) {
            DrawSkinFrame(graphics, frame, m_frameSize);
            DrawStateCaption(graphics, frame, m_title, font.get(), wholeFrame(FrameRect(frame)));
        }
    });
}

void DownloadButton::DrawProgress(HDC& dc)
{
    DrawStrip(dc, 1, 0, [&](Gdiplus::Graphics& graphics) {
        const int width = m_rect.Width();
        const int height = m_rect.Height();
        MRender::DrawImageStripFrame(graphics, m_image, CRect(0, 0, width, height), 0, m_imageCount, m_frameSize);
        MRender::DrawImageStripFrame(graphics, m_image, CRect(0, 0, m_progress * width / 100, height), 1,
                                     m_imageCount, m_frameSize);
        CString percent;
        percent.Format(L"%d%%", m_progress);
        const auto font = MakeFont(static_cast<float>(m_fontSize), m_fontStyle);
        DrawCaption(graphics, percent, font.get(), CRect(0, 0, width, height), m_textColor, m_textRenderingHint);
    });
}

} // namespace KOVA
