// Threads: the ticks run on the multimedia-timer thread and take no lock: they read the frame
// count and advance the current frame and the run state through atomics, and raise repaint
// requests (and the hide) that the window's thread serves. The image and the drawing belong
// to the GUI thread.
#include "controls/basic/CGifPicture.h"

#include <algorithm>

#include "controls/basic/LookPainting.h"
#include "controls/basic/MPicture.h"
#include "framework/MRender.h"

namespace KOVA {

namespace {
// MControlFont's strip count, unused here: the frames come from the image's frame dimension.
constexpr int kCacheFrameCount = 4;
} // namespace

CGifPicture::CGifPicture(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_imageCount = 1;
    SetRunTimer(1);
}

CGifPicture::~CGifPicture()
{
    StopFastTimer();
}

int CGifPicture::SetImage(const wchar_t* path, int)
{
    if (!MControlFont::SetImage(path, kCacheFrameCount))
        return 0;
    return takeFrames(ShownPicture::LoadFile(path));
}

int CGifPicture::SetImage(UINT resourceId, CString type, int)
{
    if (!MControlFont::SetImage(resourceId, type, kCacheFrameCount))
        return 0;
    return takeFrames(ShownPicture::LoadResource(resourceId, type));
}

int CGifPicture::takeFrames(std::unique_ptr<Gdiplus::Image> frames)
{
    // The frame shown may lie past the new image's last.
    *m_currentFrame = 0;
    *m_frames = std::move(frames);
    OnSetImage(m_frames->get());
    UpdateControl(1, 0);
    return *m_frames ? 1 : 0;
}

void CGifPicture::OnSetImage(Gdiplus::Image* image)
{
    *m_frameCount = MRender::GetFirstDimensionFrameCount(image);
}

void CGifPicture::SelectActiveFrame(int index)
{
    if (IsAnimate() && *m_frames && index >= 0 && index < *m_frameCount)
        (*m_frames)->SelectActiveFrame(&m_frameDimension, static_cast<UINT>(index));
}

void CGifPicture::ActiveNextFrame()
{
    if (!IsAnimate())
        return;
    m_activeFrame = NextFrame(m_activeFrame);
    SelectActiveFrame(m_activeFrame);
}

int CGifPicture::SetRunState(int run, int start)
{
    const int frames = *m_frameCount;
    if (frames < 2)
        return 0;
    // A start past the last frame would never reach the end and never stop.
    *m_currentFrame = std::clamp(start, 0, frames - 1);
    *m_running = run != 0;
    // The shown frame changed: the look is rendered again.
    UpdateControl(1, 0);
    return 1;
}

int CGifPicture::NextFrame(int current) const
{
    const int next = current + 1;
    return next >= *m_frameCount ? 0 : next;
}

void CGifPicture::ShowFrame(int frame)
{
    *m_currentFrame = frame;
    UpdateControl(1, 0);
}

int CGifPicture::OnControlTimer()
{
    if (!IsTicking())
        return 0;
    const int next = NextFrame(*m_currentFrame);
    if (next != 0) {
        ShowFrame(next);
        return 0;
    }
    *m_currentFrame = 0;
    *m_running = 0;
    SetVisible(0);
    return 0;
}

void CGifPicture::DrawControl(HDC& dc, CRect)
{
    DrawCachedLooks(*this, m_memPicture, dc, 1, 0, [&](Gdiplus::Graphics& graphics) {
        Gdiplus::Image* frames = m_frames->get();
        if (!frames)
            return;
        SelectActiveFrame(*m_currentFrame);
        ShownPicture::Stretch(graphics, frames, CRect(0, 0, m_rect.Width(), m_rect.Height()),
                              CRect(0, 0, static_cast<int>(frames->GetWidth()), static_cast<int>(frames->GetHeight())));
    });
}

// ---- the looping variant

CGifPicture2::CGifPicture2(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : CGifPicture(parent, id, rect, visible, enabled)
{
}

int CGifPicture2::OnControlTimer()
{
    if (!IsTicking() || ++m_ticks < kTicksPerStep)
        return 0;
    m_ticks = 0;
    ShowFrame(NextFrame(*m_currentFrame));
    return 0;
}

} // namespace KOVA
