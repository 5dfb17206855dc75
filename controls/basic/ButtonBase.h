#pragma once
// What every clickable control of the library shares: the normal / hover / pressed / disabled
// machine driven by the mouse, the order of its reports (repaint first, then the notification,
// after which the control is not touched: the host may delete it in its handler), the looks
// rendered once side by side into the control's memory picture, the caption, and the walk over
// a radio-like group. Each button class adds its look and the few rules it changes.
#include "platform/Win32.h"

#include <memory>
#include <vector>

#include "framework/MControlFont.h"
#include "framework/PaintManager.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

// An icon strip a button loads and owns itself (not from the window's image cache). A copy of
// its owner starts without one: two owners would release one image.
class KOVA_API ButtonIcon {
public:
    // Loads the skin file, cut into frames; 0 (and the old icon kept) for a count below 1,
    // 0 (and no icon) when the file does not load.
    int Load(const wchar_t* file, int frames);
    Gdiplus::Image* Image() const { return m_image->get(); }
    int FrameWidth() const { return m_frameWidth; }
    int FrameHeight() const { return m_frameHeight; }
    int FrameCount() const { return m_frameCount; }
    // Frame i at its natural size with its top-left corner at (x, y); nothing without an icon.
    void DrawFrame(Gdiplus::Graphics& graphics, int frame, int x, int y) const;

private:
    NotCopied<std::unique_ptr<Gdiplus::Image>> m_image;
    int m_frameWidth { 0 };
    int m_frameHeight { 0 };
    int m_frameCount { 4 };
};

// The controls beside control, for radio-like groups of any family: its parent control's
// children, or the window's top-level controls when the parent is a window. GUI thread only;
// null without a parent.
std::vector<MControl*>* SiblingsOf(const MControl& control);

class KOVA_API ButtonBase : public MControlFont {
public:
    // The looks, in the order of a four-frame image strip.
    enum Look { LookNormal = 0, LookHover = 1, LookPressed = 2, LookDisabled = 3 };
    // A class's state values: [checked][look].
    struct StateTable {
        int values[2][4];
    };

    ButtonBase(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

    // The push-button model: the look follows the pointer, a press inside shows the pressed
    // look (kept while the button is held) and reports code 1, a release inside after it
    // reports code 2. Nothing changes while the control is disabled.
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;

    // The class's state value of the current look and check.
    int GetState() const { return m_states->values[m_check ? 1 : 0][m_look]; }
    int GetCheck() const { return m_check; }

protected:
    // What a step of the machine did; none of them repaints or reports.
    struct Step {
        bool taken { false };
        bool click { false };
    };
    Step TrackPointer(CPoint pt);
    Step BeginPress(CPoint pt);
    Step EndPress(CPoint pt);
    void SetLook(int look) { m_look = look; }
    // A selected swatch shows the pressed look and keeps it, as if held, until released.
    void HoldLook(bool held);
    // Repaint (when the state moved from before) with the flag, then the notification when a
    // code is given. Returns whether the state moved. The control is not touched after the
    // notification.
    int Conclude(int stateBefore, int flag, UINT code = 0, UINT wParam = 0, LONG lParam = 0);
    // A release: a completed click runs onClick (before the repaint) and reports code 2.
    template <class OnClick>
    int Release(CPoint pt, int flag, OnClick onClick)
    {
        const int before = GetState();
        const Step step = EndPress(pt);
        if (step.click)
            onClick();
        return Conclude(before, flag, step.click ? 2 : 0);
    }
    // The parent's repaint request for the whole control, while it is visible.
    void Repaint(int flag);
    bool Contains(CPoint pt) const { return m_rect.PtInRect(pt) != FALSE; }

    // The looks: frameCount frames of the control's size side by side (FrameRect), each
    // starting as the pixels under the control, rendered by paint (Gdiplus::Graphics&) only
    // while the cached strip is invalid; then the shown frame is copied to the control.
    template <class PaintStrip>
    void DrawStrip(HDC& dc, int frameCount, int shownFrame, PaintStrip paint)
    {
        if (BeginStrip(dc, frameCount)) {
            Gdiplus::Graphics graphics(m_memPicture.dc());
            paint(graphics);
        }
        ShowFrame(dc, shownFrame);
    }
    CRect FrameRect(int frame) const;
    // Frame i of an image strip of count frames stretched over dst; nothing without the frame.
    static void StretchFrame(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const CRect& dst, int frame,
                             int count);

    // Caption: one line, centred both ways, trailing blanks measured; nothing for an empty text
    // or without a font.
    std::unique_ptr<Gdiplus::Font> MakeFont(float size, int style);
    static void DrawCaption(Gdiplus::Graphics& graphics, const CString& text, const Gdiplus::Font* font,
                            const CRect& layout, Gdiplus::Color colour, Gdiplus::TextRenderingHint hint);
    static void DrawText(Gdiplus::Graphics& graphics, const CString& text, const Gdiplus::Font* font,
                         const CRect& layout, Gdiplus::Color colour, Gdiplus::TextRenderingHint hint,
                         const Gdiplus::StringFormat& format);
    // The caption format: one line, trailing blanks measured, aligned as given.
    static void SetCaptionFormat(Gdiplus::StringFormat& format, Gdiplus::StringAlignment horizontal,
                                 Gdiplus::StringAlignment vertical);
    // The usual state caption: one pixel right and down in the pressed frame, grey in the
    // disabled one.
    static CRect PressedShift(CRect layout, int frame);
    void DrawStateCaption(Gdiplus::Graphics& graphics, int frame, const CString& text, const Gdiplus::Font* font,
                          const CRect& layout);
    // Frame i of the image strip as a nine-grid with the given corner over the frame's place.
    void DrawSkinFrame(Gdiplus::Graphics& graphics, int frame, int corner);
    static Gdiplus::Color FrameColour(int frame, Gdiplus::Color colour);
    static constexpr DWORD kDisabledGrey = 0xFF808080;

    // The window's balloon tip showing the title beside a client point, owned by this control's
    // id (so that only this control hides it again), and hidden. Neither takes the activation.
    void ShowTitleTip(POINT anchor, AIRBLADDER_MODE mode);
    void HideTitleTip();

    // Radio-like groups: the controls beside this one (SiblingsOf).
    std::vector<MControl*>* Siblings() const { return SiblingsOf(*this); }
    // Calls reset on every sibling of the same class T answering this control's class name,
    // with an equal group name, other than this one; with spareInactive hidden or disabled
    // ones are left alone. 0 without a sibling list, else 1.
    template <class T, class Reset>
    int WalkGroup(const CString& group, bool spareInactive, Reset reset)
    {
        std::vector<MControl*>* siblings = Siblings();
        if (!siblings)
            return 0;
        const wchar_t* className = GetClassNameW();
        for (MControl* sibling : *siblings) {
            T* member = dynamic_cast<T*>(sibling);
            if (!member || sibling == this || !sibling->IsClass(className) || member->GetGroupName() != group)
                continue;
            if (spareInactive && !(sibling->IsVisible() && sibling->IsEnabled()))
                continue;
            reset(*member);
        }
        return 1;
    }

    static const StateTable kPlainStates;
    const StateTable* m_states { &kPlainStates };
    int m_check { 0 };
    // Switches of the shared machine, set by the constructors.
    bool m_handCursor { false };
    // While held, moves leave the pressed look alone.
    bool m_pressHoldsLook { true };
    // The class draws one look with everything baked in: every repaint renders it again.
    bool m_singleLook { false };

private:
    bool BeginStrip(HDC& dc, int frameCount);
    void ShowFrame(HDC& dc, int frame);
    void PointCursor(bool inside) const;
    // Every control of a window hears every move: only the button under the pointer, and the
    // one it just left, may touch the cursor, or the last button in the list would set the
    // arrow over the hovered one (and each move would cost a cursor call per button).
    bool m_pointerInside { false };
    void MakeTipWindow(POINT screenAnchor, AIRBLADDER_MODE mode);

    int m_look { LookNormal };
    // A press went down inside and has not come up.
    int m_held { 0 };
};

} // namespace KOVA
