// Scroll bars run on the GUI thread only. The one lock they take is their own controls lock,
// held while SetControlRect lays out the arrow children (the bar is their parent, so the
// parent-before-child order holds); repaint requests and notifications to the bar's parent
// are sent outside it.
#include "framework/MScroll.h"

#include <algorithm>

#include "framework/ImgResInfo.h"
#include "framework/MRender.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
// Pixels kept unstretched at both ends of every piece: the strips' rounded caps.
constexpr int kCapLength = 6;
constexpr int kMinThumbLength = 100;
// A bar too short for the minimum thumb keeps this much travel instead.
constexpr int kShortBarTravel = 50;
constexpr Gdiplus::ARGB kHorizontalTrackLine = 0xC8141414;

// Arrow buttons a bar lays at its ends, by control id.
constexpr UINT kArrowTop = 6;
constexpr UINT kArrowBottom = 7;
constexpr UINT kArrowLeft = 4;
constexpr UINT kArrowRight = 5;

// Ids and lParam with which arrow children step the bar (through OnMessage).
constexpr LONG kArrowStep = 2;
bool isBackArrow(UINT id) { return id == 1 || id == 3; }
bool isForwardArrow(UINT id) { return id == 2 || id == 4; }

void askParentToRepaint(MControl* control, const CRect& rect)
{
    if (MObject* parent = control->GetParantObject())
        parent->OnControlUpdate(rect, 1, control);
}
} // namespace

MScroll::MScroll(MObject* parent, UINT id, CRect rect, int visible)
    : MScroll(parent, id, rect, visible, Axis::Vertical)
{
}

MScroll::MScroll(MObject* parent, UINT id, CRect rect, int visible, Axis axis)
    : MControlFont(parent, id, rect, L"", visible, 1, 1), m_axis(axis)
{
}

const wchar_t* MScroll::GetClassNameW() const { return L"MScroll"; }
void MScroll::DrawControl(HDC&, CRect) {}
int MScroll::MoveRange(int) { return 0; }
int MScroll::SetRange() { return 0; }
int MScroll::SetRangeEx() { return 0; }

void MScroll::GetImageSize(int& frameWidth, int& frameHeight) const
{
    frameWidth = m_frameWidth;
    frameHeight = m_frameHeight;
}

// ---- the axis

int MScroll::barStart() const { return m_axis == Axis::Vertical ? m_rect.top : m_rect.left; }
int MScroll::barEnd() const { return m_axis == Axis::Vertical ? m_rect.bottom : m_rect.right; }
int MScroll::barLength() const { return barEnd() - barStart(); }
int MScroll::along(CPoint pt) const { return m_axis == Axis::Vertical ? pt.y : pt.x; }
int MScroll::thumbStart() const { return m_axis == Axis::Vertical ? m_thumb.top : m_thumb.left; }
int MScroll::thumbEnd() const { return m_axis == Axis::Vertical ? m_thumb.bottom : m_thumb.right; }

CRect MScroll::thumbAt(int start, int length) const
{
    if (m_axis == Axis::Vertical)
        return CRect(m_rect.left, start, m_rect.right, start + length);
    return CRect(start, m_rect.top, start + length, m_rect.bottom);
}

// ---- range, position, page and step

int MScroll::SetScrollMaxRange(int range)
{
    m_range = range;
    if (m_autoPage)
        m_page = 0;
    if (m_resetOnRange)
        m_position = 0;
    SetRange();
    return 1;
}

int MScroll::SetScrollCurrentPos(int pos)
{
    m_position = pos;
    SetRange();
    return 1;
}

int MScroll::SetScrollCurrentPosEx(int pos)
{
    m_position = pos;
    SetRangeEx();
    return 1;
}

int MScroll::SetScrollSize(int page, int step)
{
    m_page = page;
    if (page != 0)
        m_autoPage = 0;
    if (step != 0)
        m_step = step;
    SetRange();
    return 1;
}

int MScroll::SetScrollInfo(int range, int pos, int page, int step)
{
    m_range = range;
    m_position = pos;
    if (page != 0) {
        m_page = page;
        m_autoPage = 0;
    }
    if (step != 0)
        m_step = step;
    SetRange();
    return 1;
}

int MScroll::ScrollRow(int rows)
{
    const int old = m_position;
    m_position = std::max(0, std::min(old + rows * m_step, m_range));
    const int moved = m_position != old ? 1 : 0;
    SetRange();
    return moved;
}

int MScroll::SetScrollFinalPos()
{
    const ThumbGeometry thumb = thumbGeometry();
    if (thumb.travel <= 0) {
        m_position = std::max(m_range, 0);
        return 1;
    }
    const long long free = barLength() - thumb.length;
    m_position = static_cast<int>(free * m_range / thumb.travel);
    return 1;
}

// ---- the thumb

MScroll::ThumbGeometry MScroll::thumbGeometry() const
{
    ThumbGeometry thumb;
    thumb.track = std::max(0, barLength() - 2 * m_arrowSize);
    if (m_range <= 0 || m_page >= m_range) {
        // Nothing to scroll: the thumb fills the track and has no travel to divide by.
        thumb.length = thumb.track;
        return thumb;
    }
    const double proportional = static_cast<double>(m_page) / m_range * thumb.track;
    int length = static_cast<int>(std::max(m_arrowSize / 2.0, proportional));
    if (length < kMinThumbLength)
        length = std::min(thumb.track - kShortBarTravel, kMinThumbLength);
    thumb.length = std::max(0, std::min(length, thumb.track));
    thumb.travel = thumb.track - thumb.length;
    return thumb;
}

void MScroll::chooseAutomaticPage()
{
    if (m_page != 0)
        return;
    const int length = barLength();
    m_page = m_range > 10 * length ? m_range / 10 : length;
    m_autoPage = 1;
}

// The position of the thumb where it stands; the end of the range when it cannot move.
int MScroll::positionAtThumb() const
{
    const ThumbGeometry thumb = thumbGeometry();
    if (thumb.travel <= 0)
        return std::max(m_range, 0);
    const long long offset = thumbStart() - barStart() - m_arrowSize;
    return static_cast<int>(offset * m_range / thumb.travel);
}

int MScroll::LayOutThumb(bool contentPixels)
{
    chooseAutomaticPage();
    const ThumbGeometry thumb = thumbGeometry();
    const int first = barStart() + m_arrowSize;
    // In content pixels the largest position is the content length less one bar length.
    const int positions = contentPixels ? m_range - barLength() : m_range;
    const double fraction = positions > 0 ? static_cast<double>(m_position) / positions : 0.0;
    double start = std::max(fraction * thumb.travel + first, static_cast<double>(first));
    start = std::min(start, barEnd() - m_arrowSize / 2.0 - m_arrowSize);
    m_thumb = thumbAt(static_cast<int>(start), thumb.length);
    // Only the vertical bar pulls an overlong thumb back inside; the horizontal one lets it
    // run past its right edge.
    if (m_axis == Axis::Vertical && thumbEnd() > barEnd()) {
        m_thumb = thumbAt(barEnd() - thumb.length, thumb.length);
        m_position = positionAtThumb();
    }
    m_needed = m_page < m_range ? 1 : 0;
    return m_position;
}

int MScroll::LayOutThumbAndRepaint()
{
    const int position = LayOutThumb(false);
    UpdateControl(1, 0);
    return position;
}

int MScroll::MoveThumb(int delta)
{
    if (delta == 0)
        return 0;
    // Limited at the ends of the track, never turned around.
    const int applied = delta < 0 ? std::min(0, std::max(delta, barStart() + m_arrowSize - thumbStart()))
                                  : std::max(0, std::min(delta, barEnd() - m_arrowSize - thumbEnd()));
    if (applied == 0)
        return 0;
    m_thumb = thumbAt(thumbStart() + applied, thumbEnd() - thumbStart());
    m_changing = 1;
    m_position = positionAtThumb();
    UpdateControl(1, 0);
    SendMessageW(kPositionChanged, static_cast<UINT>(m_position), 0);
    m_changing = 0;
    return applied;
}

// ---- arrows

void MScroll::SetControlRect(CRect rect)
{
    MControlFont::SetControlRect(rect);
    SetRange();
    ScopedLock lock(m_controlsLock);
    for (MControl* child : *m_controls)
        if (child)
            layArrow(child);
}

void MScroll::layArrow(MControl* arrow)
{
    const int size = m_arrowSize;
    const CRect& bar = m_rect;
    CRect strip;
    switch (arrow->GetControlID()) {
    case kArrowTop:
        strip = CRect(bar.left, bar.top, bar.right, bar.top + size);
        break;
    case kArrowBottom:
        strip = CRect(bar.left, bar.bottom - size, bar.right, bar.bottom);
        break;
    case kArrowLeft:
        strip = CRect(bar.left, bar.top, bar.left + size, bar.bottom);
        break;
    case kArrowRight:
        strip = CRect(bar.right - size, bar.top, bar.right, bar.bottom);
        break;
    default:
        return;
    }
    if (arrow->IsVisible() != m_needed) {
        arrow->SetControlVisible(m_needed);
        askParentToRepaint(arrow, arrow->GetRect());
    }
    CRect joined;
    const CRect old = arrow->GetRect();
    joined.UnionRect(&old, &strip);
    arrow->SetControlRect(strip);
    if (arrow->IsVisible())
        askParentToRepaint(arrow, joined);
}

LONG MScroll::OnMessage(UINT id, UINT, UINT, LONG lParam)
{
    if (lParam != kArrowStep)
        return 0;
    if (isBackArrow(id))
        MoveRange(-m_step);
    else if (isForwardArrow(id))
        MoveRange(m_step);
    return 0;
}

// ---- mouse

int MScroll::pagePixels() const
{
    if (m_range <= 0)
        return 0;
    const long long track = barLength() - 2 * m_arrowSize;
    return static_cast<int>(track * m_page / m_range);
}

int MScroll::setPart(int part)
{
    if (part == m_part)
        return 0;
    m_part = part;
    UpdateControl(0, 0);
    return 1;
}

int MScroll::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_needed || !m_enabled)
        return 0;
    if (!m_thumb.PtInRect(pt)) {
        const int page = pagePixels();
        return MoveRange(along(pt) < thumbStart() ? -page : page);
    }
    m_dragFrom = along(pt);
    return setPart(PartThumbDragged);
}

int MScroll::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_needed || !m_enabled)
        return 0;
    if (m_part == PartThumbDragged) {
        // The grip follows the movement actually applied, so that dragging past an end and
        // back does not shift where the pointer holds the thumb.
        m_dragFrom += MoveRange(along(pt) - m_dragFrom);
        return 1;
    }
    if (m_pressed)
        return 0;
    const int hover = m_rect.PtInRect(pt) ? 1 : 0;
    const int part = hover && m_thumb.PtInRect(pt) ? PartThumbHover : PartNone;
    if (part == m_part && hover == m_hover && m_update)
        return 0;
    m_part = part;
    m_hover = hover;
    SetUpdate(0, 0);
    UpdateControl(0, 0);
    return 1;
}

int MScroll::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_needed || !m_enabled)
        return 0;
    m_dragFrom = -1;
    return setPart(m_thumb.PtInRect(pt) ? PartThumbHover : PartNone);
}

// ---- images

void MScroll::InitControl(PaintManager* manager)
{
    if (!manager)
        return;
    const bool vertical = m_axis == Axis::Vertical;
    const UINT resourceId = vertical ? manager->GetScrollVID() : manager->GetScrollHID();
    if (resourceId != 0)
        SetImage(resourceId, L"PNG", 4);
    else
        SetImage(vertical ? L"img_scroll_v.png" : L"img_scroll_h.png", 1);
}

int MScroll::SetImage(UINT resourceId, CString type, int count)
{
    if (!m_manager || resourceId == 0)
        return 0;
    return takeStrip(m_manager->AddImgResInfo(resourceId, type, count, 0), count);
}

int MScroll::SetImage(const wchar_t* path, int count)
{
    if (!m_manager)
        return 0;
    return takeStrip(m_manager->AddImgResInfo(path, count), count);
}

int MScroll::takeStrip(const ImgResInfo* record, int count)
{
    if (!record || !record->m_pImage)
        return 0;
    m_image = record->m_pImage;
    SetImageCount(count);
    m_imageWidth = static_cast<int>(m_image->GetWidth());
    m_imageHeight = static_cast<int>(m_image->GetHeight());
    // Whatever count the strip was loaded with, a bar cuts it its own way.
    m_frameWidth = m_imageWidth / 3;
    m_frameHeight = m_axis == Axis::Vertical ? m_imageHeight : m_imageHeight / 4;
    return 1;
}

// ---- drawing

void MScroll::DrawBar(HDC& dc, const std::function<void(Gdiplus::Graphics&)>& drawPieces)
{
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    if (width <= 0 || height <= 0)
        return;
    const bool pictureFits = m_memPicture.bitmap() && m_memPicture.width() == width && m_memPicture.height() == height;
    if (!m_update || !pictureFits) {
        UpdateMemDC(dc, width, height);
        if (!m_memPicture.bitmap())
            return;
        HDC picture = m_memPicture.dc();
        ::BitBlt(picture, 0, 0, width, height, dc, m_rect.left, m_rect.top, SRCCOPY);
        // A bar without an image would hand GDI+ a null image; it keeps the background only.
        if (m_needed && m_image) {
            Gdiplus::Graphics graphics(picture);
            graphics.TranslateTransform(static_cast<Gdiplus::REAL>(-m_rect.left), static_cast<Gdiplus::REAL>(-m_rect.top));
            drawPieces(graphics);
        }
    }
    ::BitBlt(dc, m_rect.left, m_rect.top, width, height, m_memPicture.dc(), 0, 0, SRCCOPY);
}

// ---- the vertical bar

CScrollVertical::CScrollVertical(MObject* parent, UINT id, CRect rect, int visible)
    : MScroll(parent, id, rect, visible, Axis::Vertical)
{
    // No repaint request yet: the parent is still making the bar.
    LayOutThumb(false);
}

const wchar_t* CScrollVertical::GetClassNameW() const { return L"CScrollVertical"; }
int CScrollVertical::MoveRange(int delta) { return MoveThumb(delta); }
int CScrollVertical::SetRange() { return LayOutThumbAndRepaint(); }
int CScrollVertical::SetRangeEx() { return LayOutThumb(true); }

void CScrollVertical::DrawControl(HDC& dc, CRect)
{
    DrawBar(dc, [this](Gdiplus::Graphics& graphics) { drawPieces(graphics); });
}

// Strip columns: 0 the track, 1 the thumb under the pointer, 2 the thumb otherwise.
void CScrollVertical::drawPieces(Gdiplus::Graphics& graphics)
{
    drawColumn(graphics, CRect(m_thumb.left, m_rect.top, m_thumb.right, m_rect.bottom), 0);
    drawColumn(graphics, m_thumb, m_part == PartThumbHover ? 1 : 2);
}

void CScrollVertical::drawColumn(Gdiplus::Graphics& graphics, const CRect& rect, int column)
{
    MRender::DrawImageFrameMID(graphics, m_image, rect, column * m_frameWidth, 0, m_frameWidth, m_imageHeight, 0,
                               kCapLength, 0, kCapLength);
}

// ---- the horizontal bar

CScrollHorizontal::CScrollHorizontal(MObject* parent, UINT id, CRect rect, int visible)
    : MScroll(parent, id, rect, visible, Axis::Horizontal)
{
    LayOutThumb(false);
}

const wchar_t* CScrollHorizontal::GetClassNameW() const { return L"CScrollHorizontal"; }
int CScrollHorizontal::MoveRange(int delta) { return MoveThumb(delta); }
int CScrollHorizontal::SetRange() { return LayOutThumbAndRepaint(); }

void CScrollHorizontal::DrawControl(HDC& dc, CRect)
{
    DrawBar(dc, [this](Gdiplus::Graphics& graphics) { drawPieces(graphics); });
}

// Strip rows (thumbs from the left of the strip): 1 at rest, 2 under the pointer, 3 dragged.
void CScrollHorizontal::drawPieces(Gdiplus::Graphics& graphics)
{
    Gdiplus::Pen line(Gdiplus::Color(kHorizontalTrackLine), 1.0f);
    const int middle = m_rect.top + m_rect.Height() / 2;
    graphics.DrawLine(&line, m_rect.left, middle, m_rect.right, middle);
    const int row = m_part == PartThumbHover ? 2 : m_part == PartThumbDragged ? 3 : 1;
    MRender::DrawImageFrameMID(graphics, m_image, m_thumb, 0, row * m_frameHeight, m_frameWidth, m_frameHeight,
                               kCapLength, 0, kCapLength, 0);
}

} // namespace KOVA
