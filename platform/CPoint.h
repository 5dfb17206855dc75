#pragma once
#include "platform/CSize.h"

#include <windows.h>

// A POINT that Win32 calls accept as is. The difference of two points is a size; a point
// moved by a point or a size is a point.
class CPoint : public POINT {
public:
    CPoint() : POINT{0, 0} {}
    CPoint(int x, int y) : POINT{x, y} {}
    CPoint(POINT point) : POINT(point) {}
    // Mouse-message coordinates are signed 16-bit halves: points left of or above the primary
    // monitor are negative. Explicit, so that no stray integer silently becomes a point.
    explicit CPoint(LPARAM packed)
        : POINT{static_cast<short>(LOWORD(packed)), static_cast<short>(HIWORD(packed))}
    {
    }

    void Offset(int dx, int dy)
    {
        x += dx;
        y += dy;
    }
    void Offset(POINT by) { Offset(by.x, by.y); }
    void Offset(SIZE by) { Offset(by.cx, by.cy); }

    bool operator==(POINT other) const { return x == other.x && y == other.y; }
    bool operator!=(POINT other) const { return !(*this == other); }

    CPoint& operator+=(POINT by) { Offset(by); return *this; }
    CPoint& operator+=(SIZE by) { Offset(by); return *this; }
    CPoint& operator-=(POINT by) { Offset(-by.x, -by.y); return *this; }
    CPoint& operator-=(SIZE by) { Offset(-by.cx, -by.cy); return *this; }

    CPoint operator+(POINT by) const { return CPoint(x + by.x, y + by.y); }
    CPoint operator+(SIZE by) const { return CPoint(x + by.cx, y + by.cy); }
    CSize operator-(POINT other) const { return CSize(x - other.x, y - other.y); }
    CPoint operator-(SIZE by) const { return CPoint(x - by.cx, y - by.cy); }
    CPoint operator-() const { return CPoint(-x, -y); }
};
