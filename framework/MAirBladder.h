#pragma once
// A balloon tip: a borderless layered window with per-pixel alpha that shows a short, possibly
// multi-line white text on the skin's tip background beside a screen point. It hides itself
// five seconds after each new text (unless its kind says otherwise) and when it loses the
// focus (unless it is placed to stay). A paint manager makes one for its window on first use.
#include "platform/Win32.h"

#include <memory>

#include "framework/FontCache.h"
#include "framework/TipWindow.h"
#include "framework/MWindow.h"
#include "framework/PaintManager.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class KOVA_API MAirBladder : public MWindow {
public:
    MAirBladder() = default;
    // A copy takes the text, placement and settings; it has no window, images nor font.
    MAirBladder(const MAirBladder&) = default;
    MAirBladder& operator=(const MAirBladder&) = default;
    ~MAirBladder() override;

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

    // Skin images, from the skin folder or from a resource of the host module; 1 when loaded.
    // Only the background is drawn.
    int LoadBKImage(CString file);
    int LoadArrowLImage(CString file);
    int LoadArrowRImage(CString file);
    int LoadArrowTImage(CString file);
    int LoadBKImage(UINT id, CString type);
    int LoadArrowLImage(UINT id, CString type);
    int LoadArrowRImage(UINT id, CString type);
    int LoadArrowTImage(UINT id, CString type);
    // Kept; the painting does not depend on them.
    void SetBackMode(enumBackMode mode, int border);

    // Lays the text out beside the anchor (screen coordinates) and, unless the type is 4, arms
    // the five-second hide. It does not show the tip. A null text counts as empty; the same
    // four values again change nothing and do not re-arm the hide.
    int SetAirBladderMsg(const wchar_t* text, POINT anchor, AIRBLADDER_TYPE type, AIRBLADDER_MODE mode);

protected:
    void SetupRegion(int corner);
    void AutoFit();
    void LoadTempFont();
    // The tip as OnPaint hands it to the layered window, drawn into a 32-bit DC of the client
    // size. A layered window cannot be read back, so this is also what tests look at.
    void RenderTip(HDC dc, const CRect& client);

    CString m_text;
    int m_anchorX { 0 };
    int m_anchorY { 0 };
    AIRBLADDER_TYPE m_type { AirBladderTypeDefault };
    AIRBLADDER_MODE m_mode { AirBladderModeBelow };
    // The family lives in the cache, with its collection and the font bytes it reads.
    NotCopied<FontCache> m_fonts;
    NotCopied<Gdiplus::FontFamily*> m_fontFamily;
    Gdiplus::StringAlignment m_alignment { Gdiplus::StringAlignmentNear };
    Gdiplus::StringAlignment m_lineAlignment { Gdiplus::StringAlignmentNear };
    NotCopied<detail::TipImage> m_background;
    NotCopied<detail::TipImage> m_arrowLeft;
    NotCopied<detail::TipImage> m_arrowRight;
    NotCopied<detail::TipImage> m_arrowTop;
    enumBackMode m_backMode { BackModeNineGrid };
    int m_border { 18 };
    int m_lineCount { 1 };

private:
    Gdiplus::FontFamily* family();
    std::unique_ptr<Gdiplus::Font> textFont();
    void makeFormat(Gdiplus::StringFormat& format) const;
    CRect placement(int textWidth, int textHeight) const;
    void drawBackground(Gdiplus::Graphics& graphics, const CRect& client);
    void drawText(Gdiplus::Graphics& graphics, const CRect& client);
    void present(HDC screen, HDC memory, const CRect& client);
};

} // namespace KOVA
