#include "platform/CRect.h"

#include <utility>

namespace {

const RECT kNoRect { 0, 0, 0, 0 };

const RECT* orNoRect(const RECT* rect)
{
    return rect ? rect : &kNoRect;
}

} // namespace

CRect::CRect(const RECT* rect) : RECT(*orNoRect(rect)) {}

CRect::CRect(POINT topLeft, SIZE size)
    : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy}
{
}

CRect::CRect(POINT topLeft, POINT bottomRight)
    : RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y}
{
}

// Summed in 64 bits: far-off rectangles (scrolled content, off-screen layouts) would
// overflow a 32-bit sum of two coordinates.
CPoint CRect::CenterPoint() const
{
    return CPoint(static_cast<int>((LONGLONG{left} + right) / 2), static_cast<int>((LONGLONG{top} + bottom) / 2));
}

BOOL CRect::PtInRect(POINT point) const
{
    return ::PtInRect(this, point);
}

BOOL CRect::IsRectEmpty() const
{
    return ::IsRectEmpty(this);
}

BOOL CRect::IsRectNull() const
{
    return left == 0 && top == 0 && right == 0 && bottom == 0;
}

BOOL CRect::EqualRect(const RECT* other) const
{
    return other && ::EqualRect(this, other);
}

BOOL CRect::IntersectRect(const RECT* a, const RECT* b)
{
    return ::IntersectRect(this, orNoRect(a), orNoRect(b));
}

BOOL CRect::UnionRect(const RECT* a, const RECT* b)
{
    return ::UnionRect(this, orNoRect(a), orNoRect(b));
}

void CRect::SetRect(int newLeft, int newTop, int newRight, int newBottom)
{
    ::SetRect(this, newLeft, newTop, newRight, newBottom);
}

void CRect::SetRectEmpty()
{
    ::SetRectEmpty(this);
}

void CRect::NormalizeRect()
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}

void CRect::OffsetRect(int dx, int dy)
{
    ::OffsetRect(this, dx, dy);
}

void CRect::OffsetRect(POINT by)
{
    OffsetRect(by.x, by.y);
}

void CRect::OffsetRect(SIZE by)
{
    OffsetRect(by.cx, by.cy);
}

void CRect::MoveToXY(int x, int y)
{
    OffsetRect(x - left, y - top);
}

void CRect::MoveToXY(POINT point)
{
    MoveToXY(point.x, point.y);
}

void CRect::MoveToX(int x)
{
    OffsetRect(x - left, 0);
}

void CRect::MoveToY(int y)
{
    OffsetRect(0, y - top);
}

void CRect::InflateRect(int dx, int dy)
{
    InflateRect(dx, dy, dx, dy);
}

void CRect::InflateRect(int byLeft, int byTop, int byRight, int byBottom)
{
    left -= byLeft;
    top -= byTop;
    right += byRight;
    bottom += byBottom;
}

void CRect::InflateRect(const RECT* by)
{
    if (by)
        InflateRect(by->left, by->top, by->right, by->bottom);
}

void CRect::DeflateRect(int dx, int dy)
{
    InflateRect(-dx, -dy);
}

void CRect::DeflateRect(int byLeft, int byTop, int byRight, int byBottom)
{
    InflateRect(-byLeft, -byTop, -byRight, -byBottom);
}

void CRect::DeflateRect(const RECT* by)
{
    if (by)
        DeflateRect(by->left, by->top, by->right, by->bottom);
}

CRect& CRect::operator&=(const RECT& other)
{
    IntersectRect(this, &other);
    return *this;
}

CRect& CRect::operator|=(const RECT& other)
{
    UnionRect(this, &other);
    return *this;
}

CRect CRect::operator&(const RECT& other) const
{
    CRect result;
    result.IntersectRect(this, &other);
    return result;
}

CRect CRect::operator|(const RECT& other) const
{
    CRect result;
    result.UnionRect(this, &other);
    return result;
}
