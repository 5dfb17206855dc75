#pragma once
// What the value controls (sliders, spin box, progress, labels) share when they paint; the
// fonts they draw with are the framework's (framework/TextFont.h).
//
// The cached looks: a control's memory picture holds frameCount frames of the control's size
// side by side, each rendered over the pixels that lay under the control at that time, and a
// paint only copies the frame shown. The looks are rendered again once the framework cleared
// the control's update flag (a repaint request with flag 1, or a change under the control) or
// the control's size changed; a request with flag 0 only shows another frame.
#include "platform/Win32.h"

#include <memory>

#include "framework/MControl.h"
#include "framework/MControlFont.h"
#include "framework/MemoryPicture.h"
#include "framework/TextFont.h"
#include "platform/CString.h"

namespace KOVA {

// True when the looks must be rendered now: the picture was made again and every frame
// holds the pixels under the control. picture is the control's own memory picture.
bool BeginCachedLooks(MControl& control, const MemoryPicture& picture, HDC& dc, int frameCount);
// Copies frame i of the looks onto the control's place in dc.
void ShowCachedLook(const MControl& control, const MemoryPicture& picture, HDC& dc, int frame);

// Renders the looks with paint (Gdiplus::Graphics& on the whole strip) when they must be,
// then shows frame shown.
template <class Paint>
void DrawCachedLooks(MControl& control, const MemoryPicture& picture, HDC& dc, int frameCount, int shown,
                     Paint paint)
{
    if (BeginCachedLooks(control, picture, dc, frameCount)) {
        Gdiplus::Graphics graphics(picture.dc());
        paint(graphics);
    }
    ShowCachedLook(control, picture, dc, shown);
}

// A one-line string format (no wrapping, trailing blanks measured, centred vertically) made
// at the first use with the horizontal alignment asked for then.
class KeptFormat {
public:
    const Gdiplus::StringFormat* Get(Gdiplus::StringAlignment horizontal = Gdiplus::StringAlignmentCenter);

private:
    std::unique_ptr<Gdiplus::StringFormat> m_format;
};

// One line of text, trailing blanks measured, centred vertically and aligned horizontally
// as given within layout; nothing for an empty text or without a font.
void DrawTextLine(Gdiplus::Graphics& graphics, const CString& text, const Gdiplus::Font* font,
                  const Gdiplus::RectF& layout, const Gdiplus::Brush& brush, Gdiplus::TextRenderingHint hint,
                  Gdiplus::StringAlignment horizontal = Gdiplus::StringAlignmentCenter);

} // namespace KOVA
