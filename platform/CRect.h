#pragma once
#include "platform/KovaExport.h"

#include "platform/CPoint.h"
#include "platform/CSize.h"

#include <windows.h>

// A RECT that Win32 calls accept as is. Right and bottom are exclusive, as everywhere in GDI;
// the tests and combinations follow user32's rules, which all painting code already obeys.
class KOVA_API CRect : public RECT {
public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int left, int top, int right, int bottom) : RECT{left, top, right, bottom} {}
    CRect(const RECT& rect) : RECT(rect) {}
    // Null gives an empty rectangle.
    CRect(const RECT* rect);
    CRect(POINT topLeft, SIZE size);
    CRect(POINT topLeft, POINT bottomRight);

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    // Copies: the corners are not references into the rectangle.
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    CPoint CenterPoint() const;

    BOOL PtInRect(POINT point) const;
    BOOL IsRectEmpty() const;
    BOOL IsRectNull() const;
    BOOL EqualRect(const RECT* other) const;

    // A rectangle that does not meet the other leaves (0, 0, 0, 0) and FALSE; an empty source
    // of a union is ignored. Null sources count as empty.
    BOOL IntersectRect(const RECT* a, const RECT* b);
    BOOL UnionRect(const RECT* a, const RECT* b);

    void SetRect(int newLeft, int newTop, int newRight, int newBottom);
    void SetRectEmpty();
    void NormalizeRect();
    void OffsetRect(int dx, int dy);
    void OffsetRect(POINT by);
    void OffsetRect(SIZE by);
    void MoveToXY(int x, int y);
    void MoveToXY(POINT point);
    void MoveToX(int x);
    void MoveToY(int y);

    // Inflating moves every edge outwards, deflating inwards; a null RECT changes nothing.
    void InflateRect(int dx, int dy);
    void InflateRect(int byLeft, int byTop, int byRight, int byBottom);
    void InflateRect(const RECT* by);
    void DeflateRect(int dx, int dy);
    void DeflateRect(int byLeft, int byTop, int byRight, int byBottom);
    void DeflateRect(const RECT* by);

    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }

    bool operator==(const RECT& other) const { return EqualRect(&other) != FALSE; }
    bool operator!=(const RECT& other) const { return !(*this == other); }
    CRect& operator&=(const RECT& other);
    CRect& operator|=(const RECT& other);
    CRect operator&(const RECT& other) const;
    CRect operator|(const RECT& other) const;
};
