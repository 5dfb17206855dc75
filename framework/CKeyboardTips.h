#pragma once
// The key and icon tip of the keyboard pages: a 190 × 100 window above a screen point with a
// heading and two lines (the last one larger), painted with GDI on a dark grey card. The twin
// of the balloon tip (MAirBladder) in styles, region and focus handling; its users create,
// show, hide and destroy it themselves, and it never hides on a timer.
#include "platform/Win32.h"

#include "framework/FontCache.h"
#include "framework/MAirBladder.h"
#include "framework/TipWindow.h"
#include "framework/MWindow.h"
#include "framework/PaintManager.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class KOVA_API CKeyboardTips : public MWindow {
public:
    CKeyboardTips() = default;
    // A copy takes the texts, placement and settings; it has no window, image nor fonts.
    CKeyboardTips(const CKeyboardTips&) = default;
    CKeyboardTips& operator=(const CKeyboardTips&) = default;
    ~CKeyboardTips() override;

    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    // Loads the tip font.
    BOOL OnInitDialog() override;

    // Message handlers: their answers are dropped, the previous window procedure decides.
    virtual LRESULT OnUserCloseWindow(WPARAM wParam, LPARAM lParam);
    virtual void CloseWindow();
    virtual int OnCreate(CREATESTRUCTW* create);
    virtual int OnSize(UINT type, int cx, int cy);
    virtual int OnMouseMove(UINT flags, CPoint pt);
    virtual int OnMouseLeave(WPARAM wParam, LPARAM lParam);
    virtual int OnMouseHover(WPARAM wParam, LPARAM lParam);
    virtual int OnMouseWheel(UINT flags, short delta, CPoint pt);
    virtual int OnLButtonDown(UINT flags, CPoint pt);
    virtual int OnLButtonUp(UINT flags, CPoint pt);
    virtual int OnLButtonDblClk(UINT flags, CPoint pt);
    virtual int OnRButtonDown(UINT flags, CPoint pt);
    virtual int OnRButtonUp(UINT flags, CPoint pt);
    virtual int OnRButtonDblClk(UINT flags, CPoint pt);
    virtual int OnKeyDown(UINT key, UINT repeat, UINT flags);
    virtual int OnNcHitTest(CPoint pt);
    virtual int OnGetMinMaxInfo(MINMAXINFO* info);
    virtual int OnNcCalcSize(BOOL calcValid, NCCALCSIZE_PARAMS* params);
    virtual int OnNcActivate(BOOL active);
    virtual int OnSetFocus(MWindow* previous);
    virtual int OnKillFocus(MWindow* next);
    virtual int OnWindowPosChanging(WINDOWPOS* position);
    virtual int OnWindowPosChanged(WINDOWPOS* position);
    virtual int OnPaint();
    virtual void OnTimer(UINT id);
    virtual int OnNcPaint();
    virtual int OnClose();
    virtual int PostNcDestroy();
    virtual int OnDestroy();

    // The background image, from the skin folder or a resource of the host module; 1 when
    // loaded. It is kept but not drawn.
    int LoadBKImage(CString file);
    int LoadBKImage(UINT id, CString type);
    // Kept; the painting does not depend on them.
    void SetBackMode(enumBackMode mode, int border);

    // Moves the tip so that its bottom edge sits on the anchor (screen coordinates), centred on
    // it, and paints the three texts; null texts count as empty, and with an empty heading the
    // tip is neither moved nor painted. The same texts and anchor again change nothing.
    int SetAirBladderMsg(const wchar_t* heading, const wchar_t* second, const wchar_t* third, POINT anchor);

    static constexpr int kWidth = 190;
    static constexpr int kHeight = 100;

protected:
    // The GDI fonts of the heading and second line (14 pixels) and of the third (18 pixels),
    // made on first use in the library's face.
    HFONT GetGDIFont11();
    HFONT GetGDIFont2();
    void SetupRegion(int corner);
    void AutoFit();
    void LoadTempFont();
    // The tip as OnPaint copies it to the window, drawn into a DC of the client size.
    void RenderTips(HDC dc, const CRect& client);

    CString m_heading;
    CString m_second;
    CString m_third;
    int m_anchorX { 0 };
    int m_anchorY { 0 };
    AIRBLADDER_TYPE m_type { AirBladderTypeDefault };
    AIRBLADDER_MODE m_mode { AirBladderModeBelow };
    NotCopied<FontCache> m_fonts;
    NotCopied<Gdiplus::FontFamily*> m_fontFamily;
    NotCopied<detail::TipImage> m_background;
    enumBackMode m_backMode { BackModeNineGrid };
    int m_border { 18 };
    NotCopied<detail::OwnedTipFont> m_smallFont;
    NotCopied<detail::OwnedTipFont> m_largeFont;

private:
    static HFONT fontOfHeight(detail::OwnedTipFont& font, LONG height);
    void drawLines(HDC dc, const CRect& client);
};

} // namespace KOVA
