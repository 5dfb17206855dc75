// Repaint requests, the double-buffered paint of a window, the message and progress overlay
// and the caret of the windowless rich edit.
//
// Lock order: on the GUI thread a repaint request and the paint take the areas lock, release
// it, then take the controls lock; the controls take their own list locks below them. A
// request from another thread takes none of them: it is served later on the GUI thread
// (PaintManagerPost.cpp).
#include "framework/PaintManager.h"

#include "framework/CaretOwner.h"
#include "framework/FontCache.h"
#include "framework/MControl.h"
#include "framework/MRender.h"
#include "framework/MRenderInternal.h"
#include "framework/RectsMeet.h"

#include <intrin.h>

#include <cstring>
#include <optional>

namespace KOVA {

using detail::RectsMeet;
using detail::ScopedSelection;
using detail::UniqueBitmap;
using detail::PaintSession;
using detail::UniqueDC;

namespace {

// Colours kept as COLORREF are drawn nearly opaque.
Gdiplus::Color drawingColor(COLORREF color)
{
    return Gdiplus::Color(254, GetRValue(color), GetGValue(color), GetBValue(color));
}

void fillRect(Gdiplus::Graphics& graphics, const Gdiplus::Color& color, int x, int y, int width, int height)
{
    Gdiplus::SolidBrush brush(color);
    graphics.FillRectangle(&brush, x, y, width, height);
}

// Marks every visible item after the requester in one list that meets the requested
// rectangle, and joins their rectangles. Items before the requester lie below it.
void markItemsAbove(const std::vector<MControl*>& items, const MControl* requester, const CRect& requested,
                    COLORREF backColor, CRect& joined, bool& passedRequester)
{
    for (MControl* item : items) {
        if (!passedRequester) {
            passedRequester = item == requester;
            continue;
        }
        if (!item || !item->IsVisible() || !RectsMeet(item->GetRect(), requested))
            continue;
        const CRect itemRect = item->GetRect();
        joined.UnionRect(&joined, &itemRect);
        item->SetUpdate(0, backColor);
    }
}

// The client rectangle's bottom strip, where a progress overlay without a place of its own goes.
CRect bottomStrip(const CRect& client)
{
    return CRect(client.left, client.bottom - 60, client.right, client.bottom - 2);
}

// ---- scoped GDI state of one paint

class SavedDCState {
public:
    explicit SavedDCState(HDC dc) : m_dc(dc), m_state(::SaveDC(dc)) {}
    ~SavedDCState()
    {
        if (m_state)
            ::RestoreDC(m_dc, m_state);
    }
    SavedDCState(const SavedDCState&) = delete;
    SavedDCState& operator=(const SavedDCState&) = delete;

private:
    HDC m_dc;
    int m_state;
};

// The back buffer's pixels: a bottom-up 32-bit DIB, so client row y is stored at row
// height − 1 − y; each pixel is blue, green, red, alpha.
class BackBufferPixels {
public:
    BackBufferPixels(BYTE* bits, int width, int height) : m_bits(bits), m_width(width), m_height(height) {}

    template <class Visit>
    void forEach(const CRect& rect, Visit visit)
    {
        CRect clipped;
        if (!clip(rect, clipped))
            return;
        for (int y = clipped.top; y < clipped.bottom; ++y) {
            BYTE* row = reinterpret_cast<BYTE*>(rowAt(y));
            for (int x = clipped.left; x < clipped.right; ++x)
                visit(row + x * 4, x, y);
        }
    }

    // Fills rect with inside, except the buffer's outermost pixels, which get edge: the
    // border rows whole, every other row as border pixel, run, border pixel. Each run is one
    // string store: a copy of a first row reads as much memory as it writes, and a loop of
    // single pixels is several times slower.
    void fillFramed(const CRect& rect, DWORD inside, DWORD edge)
    {
        CRect clipped;
        if (!clip(rect, clipped))
            return;
        for (int y = clipped.top; y < clipped.bottom; ++y) {
            DWORD* row = rowAt(y);
            if (y == 0 || y == m_height - 1)
                fillRun(row, clipped.left, clipped.right, edge);
            else
                writeFramedRow(row, clipped.left, clipped.right, inside, edge);
        }
    }

private:
    bool clip(const CRect& rect, CRect& clipped) const
    {
        const CRect whole(0, 0, m_width, m_height);
        if (!m_bits || !clipped.IntersectRect(&rect, &whole))
            return false;
        // Pending GDI output must land before the pixels are read or written directly.
        GdiFlush();
        return true;
    }

    DWORD* rowAt(int y) const
    {
        return reinterpret_cast<DWORD*>(m_bits) + static_cast<size_t>(m_height - 1 - y) * m_width;
    }

    void writeFramedRow(DWORD* row, int left, int right, DWORD inside, DWORD edge) const
    {
        if (left == 0)
            row[left++] = edge;
        if (right == m_width && right > left)
            row[--right] = edge;
        fillRun(row, left, right, inside);
    }

    static void fillRun(DWORD* row, int left, int right, DWORD value)
    {
        if (right > left)
            __stosd(reinterpret_cast<unsigned long*>(row + left), value, static_cast<size_t>(right - left));
    }

    BYTE* m_bits;
    int m_width;
    int m_height;
};

void makeTransparent(BYTE* pixel, int, int)
{
    pixel[0] = pixel[1] = pixel[2] = pixel[3] = 0;
}

// GDI text and lines leave the alpha byte at 0: what they drew would vanish in a layered window.
void makeGdiOutputOpaque(BYTE* pixel, int, int)
{
    if (pixel[3] == 0 && (pixel[0] | pixel[1] | pixel[2]))
        pixel[3] = 255;
}

void present(HWND window, bool layered, HDC screen, HDC paint, HDC memory, const CRect& client, const CRect& update)
{
    if (!layered) {
        ::BitBlt(paint, update.left, update.top, update.Width(), update.Height(), memory, update.left, update.top,
                 SRCCOPY);
        return;
    }
    ::SetWindowLongW(window, GWL_EXSTYLE, ::GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
    SIZE size { client.Width(), client.Height() };
    POINT source { 0, 0 };
    BLENDFUNCTION blend { AC_SRC_OVER, 0, 255, AC_SRC_ALPHA };
    ::UpdateLayeredWindow(window, screen, nullptr, &size, memory, &source, 0, &blend, ULW_ALPHA);
}

// ---- overlay

void drawOverlayText(Gdiplus::Graphics& graphics, const CString& text, const Gdiplus::Font& font,
                     const Gdiplus::RectF& layout, Gdiplus::StringAlignment alignment, BYTE alpha)
{
    Gdiplus::StringFormat format;
    format.SetAlignment(alignment);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    Gdiplus::SolidBrush brush(Gdiplus::Color(alpha, 0x05, 0x05, 0x05));
    graphics.DrawString(text, text.GetLength(), TextFont(&font, text), layout, &format, &brush);
}

void drawProgressBar(Gdiplus::Graphics& graphics, const CRect& box, int shown)
{
    const int y = box.bottom - 15;
    Gdiplus::Pen track(Gdiplus::Color(0xC8C8C8C8), 1.0f);
    graphics.DrawLine(&track, box.left + 10, y, box.right - 20, y);
    const Gdiplus::REAL length = static_cast<Gdiplus::REAL>(box.Width() - 20) * shown / 100;
    Gdiplus::SolidBrush bar(Gdiplus::Color(0xFEFFE100));
    graphics.FillRectangle(&bar, Gdiplus::RectF(static_cast<Gdiplus::REAL>(box.left + 10),
                                                static_cast<Gdiplus::REAL>(box.bottom - 16), length, 3.0f));
}

} // namespace

// ---- invalidation

void PaintManager::Invalidate()
{
    if (!isLiveWindow())
        return;
    if (!IsGuiThread())
        postInvalidate(nullptr);
    else
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void PaintManager::InvalidateRect(CRect rect, int erase)
{
    if (!isLiveWindow())
        return;
    // A layered window is presented whole: a partial paint would present stale pixels.
    const RECT* area = m_layered ? nullptr : &rect;
    const BOOL eraseFlag = (m_layered || erase) ? TRUE : FALSE;
    if (!IsGuiThread())
        postInvalidate(area);
    else
        ::InvalidateRect(m_hWnd, area, eraseFlag);
}

LONG PaintManager::OnControlUpdate(CRect rect, int flag, MControl* control)
{
    if (!control)
        return 0;
    CRect joined = rect;
    if (flag)
        control->SetUpdate(0, m_backColor);
    // Off the GUI thread (a fast-timer tick) the walk is left to the window's thread: the tick
    // may hold its controls' locks, which the paint path takes after these list locks. Served
    // there, the request marks the items above the requester as if it had been raised there.
    if (!IsGuiThread()) {
        PostControlUpdate(nullptr, rect, control);
        return 0;
    }
    if (*m_initialised) {
        bool passedRequester = false;
        {
            ScopedLock lock(m_areasLock);
            markItemsAbove(*m_areas, control, rect, m_backColor, joined, passedRequester);
        }
        ScopedLock lock(m_controlsLock);
        markItemsAbove(*m_controls, control, rect, m_backColor, joined, passedRequester);
    }
    InvalidateRect(joined, 0);
    return 0;
}

// ---- painting

int PaintManager::OnPaint()
{
    if (!isLiveWindow())
        return 0;
    if (::IsIconic(m_hWnd)) {
        // Nothing is drawn, but the region must be validated or WM_PAINT comes straight back.
        // BeginPaint also validates the frame, which is all an iconic window can have dirty.
        PaintSession validate(m_hWnd);
        return 1;
    }
    // A layered window is drawn and presented whole however little of it is on the screen,
    // and Wine clips BeginPaint's rectangle to the screen: it asks for its update rectangle.
    // Any other window takes BeginPaint's own, as asking first is one more trip to the Wine
    // server, a third of a one-control repaint.
    CRect update;
    if (m_layered && !::GetUpdateRect(m_hWnd, &update, FALSE))
        return 0;
    PaintSession paint(m_hWnd);
    if (!m_layered)
        update = paint.area();
    if (update.IsRectEmpty())
        return 0;
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    // The window DC kept since Init serves as the screen DC: no GetDC and ReleaseDC per paint.
    HDC screen = GetPaintDC();
    BackBuffer& buffer = *m_backBuffer;
    if (!buffer.Ensure(screen, client.Width(), client.Height()))
        return 1;
    renderBackBuffer(buffer.dc(), buffer.bits(), client, update);
    present(m_hWnd, m_layered != 0, screen, paint.get(), buffer.dc(), client, update);
    return 1;
}

void PaintManager::renderBackBuffer(HDC memory, BYTE* bits, const CRect& client, const CRect& update)
{
    // Controls that share a font or the DC brush select it once per paint, not per control.
    // The run ends after the DC's state is restored, which already selects back what it
    // would.
    MRender::SelectionRun run(memory);
    SavedDCState saved(memory);
    BackBufferPixels pixels(bits, client.Width(), client.Height());
    const CRect paintRect = m_layered ? client : update;
    if (m_layered)
        pixels.forEach(update, makeTransparent);
    // A GDI+ graphics only for what GDI+ draws: making one costs as much as a control's fill.
    // It goes before the DC state is restored and the buffer leaves the DC.
    std::optional<Gdiplus::Graphics> graphics;
    if (*m_backgroundImage) {
        DrawBackImage(graphics.emplace(memory), client);
        // The controls draw with GDI as well: the background must be on the DC first.
        graphics->Flush(Gdiplus::FlushIntentionSync);
    } else {
        fillPlainBackground(bits, client, paintRect);
    }
    HDC dc = memory;
    DrawControl(dc, paintRect);
    DrawCaret(memory, paintRect);
    if (m_layered)
        pixels.forEach(update, makeGdiOutputOpaque);
    if (m_overlayAlpha > 10 && !m_overlayText.IsEmpty())
        drawOverlay(graphics ? *graphics : graphics.emplace(memory));
}

// What the nearly opaque border fill and the back fill over it leave in a cleared pixel, as
// GDI+ blends them: asked of GDI+ once per colour pair, then written straight into the
// buffer. Blending the whole client area in GDI+ at every paint costs tens of milliseconds.
void PaintManager::fillPlainBackground(BYTE* bits, const CRect& client, const CRect& paintRect)
{
    BackgroundPixels& probed = *m_backgroundPixels;
    if (!probed.valid || probed.back != m_backColor || probed.border != m_borderColor)
        probed = probeBackgroundPixels(m_backColor, m_borderColor);
    BackBufferPixels(bits, client.Width(), client.Height()).fillFramed(paintRect, probed.interior, probed.edge);
}

PaintManager::BackgroundPixels PaintManager::probeBackgroundPixels(COLORREF back, COLORREF border)
{
    BackgroundPixels probed;
    probed.back = back;
    probed.border = border;
    BYTE* bits = nullptr;
    UniqueDC dc(::CreateCompatibleDC(nullptr));
    UniqueBitmap probe(MRender::CreateARGB32Bitmap(dc.get(), 2, 1, &bits));
    if (!dc || !probe || !bits)
        return probed;
    ScopedSelection selection(dc.get(), probe.get());
    memset(bits, 0, 8);
    {
        Gdiplus::Graphics graphics(dc.get());
        fillRect(graphics, drawingColor(border), 0, 0, 2, 1);
        fillRect(graphics, drawingColor(back), 0, 0, 1, 1);
    }
    GdiFlush();
    const DWORD* pixels = reinterpret_cast<const DWORD*>(bits);
    probed.interior = pixels[0];
    probed.edge = pixels[1];
    probed.valid = true;
    return probed;
}

void PaintManager::DrawBackImage(Gdiplus::Graphics& graphics, CRect client)
{
    Gdiplus::Image* image = *m_backgroundImage;
    if (!image)
        return;
    // Through the library's own resampling: GDI+ stretching a whole image reads past its edges
    // and smears what it finds there into the last rows and columns, differently at each paint.
    if (m_backMode == BackModeStretch)
        MRender::DrawImagePart(graphics, image, client, 0, 0, m_backgroundWidth, m_backgroundHeight);
    else if (m_backMode == BackModeNineGrid)
        MRender::DrawImageFrame(graphics, image, client, 0, 0, m_backgroundWidth, m_backgroundHeight, m_backBorder);
}

void PaintManager::DrawControl(HDC& dc, CRect paintRect)
{
    {
        ScopedLock lock(m_areasLock);
        for (MControl* area : *m_areas)
            if (area)
                area->Draw(dc, paintRect);
    }
    ScopedLock lock(m_controlsLock);
    for (MControl* control : *m_controls)
        if (control)
            control->Draw(dc, paintRect);
}

// ---- overlay

void PaintManager::drawOverlay(Gdiplus::Graphics& graphics)
{
    const CRect& box = m_overlayRect;
    const BYTE alpha = static_cast<BYTE>(m_overlayAlpha > 255 ? 255 : m_overlayAlpha);
    fillRect(graphics, Gdiplus::Color(alpha, 0xE6, 0xE6, 0xE6), box.left, box.top, box.Width(), box.Height());
    fillRect(graphics, Gdiplus::Color(alpha, 0xFE, 0xFE, 0xFE), box.left + 2, box.top + 2, box.Width() - 4,
             box.Height() - 4);

    const Gdiplus::Font font(FindTempFontOrFallback(m_overlayFontName), 12.0f, Gdiplus::FontStyleRegular,
                             Gdiplus::UnitPixel);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    const auto left = static_cast<Gdiplus::REAL>(box.left + 5);
    const auto top = static_cast<Gdiplus::REAL>(box.top + 5);
    if (m_shownProgress > 0) {
        const Gdiplus::RectF layout(left, top, static_cast<Gdiplus::REAL>(box.Width() - 10), 30.0f);
        drawOverlayText(graphics, m_overlayText, font, layout, Gdiplus::StringAlignmentCenter, alpha);
        drawProgressBar(graphics, box, m_shownProgress);
    } else {
        const Gdiplus::RectF layout(left, top, 190.0f, 50.0f);
        drawOverlayText(graphics, m_overlayText, font, layout, Gdiplus::StringAlignmentNear, alpha);
    }
}

void PaintManager::SetMessage(CString text, CRect rect, MsgLevel level)
{
    stopWindowTimer(kMessageHoldTimerId);
    stopWindowTimer(kOverlayFadeTimerId);
    m_overlayAlpha = 255;
    m_overlayText = text;
    m_overlayLevel = level;
    m_shownProgress = 0;
    m_overlayRect = rect;
    InvalidateRect(m_overlayRect, 0);
    startWindowTimer(kMessageHoldTimerId, 3000);
}

void PaintManager::SetProgress(int percent, CString text, CRect rect)
{
    if (percent == m_targetProgress)
        return;
    if (percent < 5)
        stopWindowTimer(kOverlayFadeTimerId);
    m_overlayAlpha = 255;
    m_overlayText = text;
    m_targetProgress = percent;
    if (rect.IsRectEmpty()) {
        CRect client;
        GetClientRect(client);
        m_overlayRect = bottomStrip(client);
    } else {
        m_overlayRect = rect;
    }
    if (m_targetProgress - m_shownProgress >= 6) {
        startWindowTimer(kProgressTimerId, 10);
        return;
    }
    m_shownProgress = m_targetProgress;
    InvalidateRect(m_overlayRect, 0);
    if (m_shownProgress >= 100)
        startWindowTimer(kOverlayFadeTimerId, 50);
}

void PaintManager::startWindowTimer(UINT id, UINT elapse)
{
    if (isLiveWindow())
        ::SetTimer(m_hWnd, id, elapse, nullptr);
}

void PaintManager::stopWindowTimer(UINT id)
{
    if (isLiveWindow())
        ::KillTimer(m_hWnd, id);
}

bool PaintManager::serveReservedTimer(UINT id)
{
    switch (id) {
    case kCaretTimerId:
        onCaretBlink();
        return true;
    case kMessageHoldTimerId:
        onMessageHeld();
        return true;
    case kOverlayFadeTimerId:
        onOverlayFade();
        return true;
    case kProgressTimerId:
        onProgressStep();
        return true;
    default:
        return false;
    }
}

void PaintManager::onMessageHeld()
{
    stopWindowTimer(kMessageHoldTimerId);
    startWindowTimer(kOverlayFadeTimerId, 50);
}

void PaintManager::onOverlayFade()
{
    m_overlayAlpha -= 10;
    if (m_overlayAlpha < 20) {
        m_overlayAlpha = 0;
        m_shownProgress = 0;
        stopWindowTimer(kOverlayFadeTimerId);
    }
    InvalidateRect(m_overlayRect, 0);
}

void PaintManager::onProgressStep()
{
    m_shownProgress += 2;
    if (m_shownProgress >= m_targetProgress)
        stopWindowTimer(kProgressTimerId);
    InvalidateRect(m_overlayRect, 0);
    if (m_shownProgress >= 100)
        startWindowTimer(kOverlayFadeTimerId, 50);
}

// ---- caret

int PaintManager::CreateCaret(HBITMAP bitmap, int width, int height)
{
    ::CreateCaret(m_hWnd, bitmap, width, height);
    m_caretRect.right = m_caretRect.left + width;
    m_caretRect.bottom = m_caretRect.top + height;
    return 1;
}

int PaintManager::SetCaretPos(CaretOwner* owner, int x, int y)
{
    if (!::SetCaretPos(x, y))
        return 0;
    *m_caretOwner = owner;
    *m_caretControl = owner ? owner->CaretControl() : nullptr;
    const CRect old = m_caretRect;
    m_caretRect.MoveToXY(x, y);
    InvalidateRect(old, 0);
    InvalidateRect(m_caretRect, 0);
    return 1;
}

int PaintManager::ShowCaret(int show)
{
    if (show == m_caretShown)
        return 1;
    m_caretShown = show;
    if (!show) {
        stopCaretBlink();
        return 1;
    }
    startWindowTimer(kCaretTimerId, ::GetCaretBlinkTime());
    if (m_caretPhase == 0) {
        InvalidateRect(m_caretRect, 0);
        m_caretPhase = 1;
    }
    return 1;
}

void PaintManager::stopCaretBlink()
{
    stopWindowTimer(kCaretTimerId);
    if (m_caretPhase == 1)
        InvalidateRect(m_caretRect, 0);
    m_caretPhase = 0;
}

void PaintManager::onCaretBlink()
{
    InvalidateRect(m_caretRect, 0);
    m_caretPhase = m_caretPhase ? 0 : 1;
}

void PaintManager::DrawCaret(HDC dc, const CRect& paintRect)
{
    const CaretOwner* owner = *m_caretOwner;
    const MControl* shown = *m_caretControl;
    if (shown && (!shown->IsFocused() || ::GetFocus() != m_hWnd)) {
        // Hidden, not only still: the ShowCaret that comes with the focus's return must find
        // it hidden, or it would never blink again.
        m_caretShown = 0;
        stopCaretBlink();
        return;
    }
    CRect common;
    if (!m_caretPhase || !m_caretShown || !owner || !common.IntersectRect(&m_caretRect, &paintRect))
        return;
    const COLORREF text = owner->CaretColor();
    Gdiplus::Graphics graphics(dc);
    fillRect(graphics, Gdiplus::Color(254, GetRValue(text), GetGValue(text), GetBValue(text)), common.left, common.top,
             common.Width(), common.Height());
}

} // namespace KOVA
