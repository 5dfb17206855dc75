#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CSize.h"

#include <gtest/gtest.h>

#include <climits>

static void PrintTo(const CRect& rect, std::ostream* out)
{
    *out << '(' << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << ')';
}

static void PrintTo(const CPoint& point, std::ostream* out)
{
    *out << '(' << point.x << ", " << point.y << ')';
}

static void PrintTo(const CSize& size, std::ostream* out)
{
    *out << size.cx << " x " << size.cy;
}

TEST(CPoint, MouseCoordinatesAreSignedAndDifferencesAreSizes)
{
    EXPECT_EQ(CPoint(-5, -7), CPoint(MAKELPARAM(-5, -7)));
    EXPECT_EQ(CPoint(300, 40000 - 65536), CPoint(MAKELPARAM(300, 40000)));
    CPoint point(10, 20);
    EXPECT_EQ(CSize(7, 15), point - CPoint(3, 5));
    EXPECT_EQ(CPoint(11, 22), point + CSize(1, 2));
    point += CPoint(1, 1);
    point -= CSize(2, 2);
    EXPECT_EQ(CPoint(9, 19), point);
    EXPECT_NE(CPoint(9, 18), point);
}

TEST(CRect, ConstructionMeasuresAndAFarCentreThatDoesNotOverflow)
{
    EXPECT_EQ(CRect(1, 2, 11, 22), CRect(CPoint(1, 2), CSize(10, 20)));
    EXPECT_EQ(CRect(1, 2, 11, 22), CRect(CPoint(1, 2), CPoint(11, 22)));
    EXPECT_TRUE(CRect(static_cast<const RECT*>(nullptr)).IsRectNull());
    const RECT plain { 4, 3, 2, 1 };
    CRect assigned;
    assigned = plain;
    EXPECT_EQ(CRect(&plain), assigned);
    const CRect rect(-10, -20, 30, 60);
    EXPECT_EQ(CSize(40, 80), CSize(rect.Width(), rect.Height()));
    EXPECT_EQ(CSize(40, 80), rect.Size());
    EXPECT_EQ(CPoint(-10, -20), rect.TopLeft());
    EXPECT_EQ(CPoint(30, 60), rect.BottomRight());
    EXPECT_EQ(CPoint(10, 20), rect.CenterPoint());
    EXPECT_EQ(CPoint(INT_MAX - 5, INT_MAX - 10), CRect(INT_MAX - 10, INT_MAX - 20, INT_MAX, INT_MAX).CenterPoint());
}

TEST(CRect, RightAndBottomEdgesAreOutsideEmptyMeansNoAreaNullAllZero)
{
    const CRect rect(0, 0, 10, 10);
    for (const CPoint inside : { CPoint(0, 0), CPoint(9, 9) })
        EXPECT_TRUE(rect.PtInRect(inside));
    for (const CPoint outside : { CPoint(10, 5), CPoint(5, 10), CPoint(-1, 5) })
        EXPECT_FALSE(rect.PtInRect(outside));
    EXPECT_TRUE(CRect(5, 5, 5, 9).IsRectEmpty());
    EXPECT_TRUE(CRect(5, 5, 3, 9).IsRectEmpty());
    EXPECT_FALSE(CRect(5, 5, 5, 9).IsRectNull());
    EXPECT_FALSE(CRect(0, 0, 1, 1).IsRectEmpty());
    EXPECT_FALSE(CRect(0, 0, 1, 1).EqualRect(nullptr));
}

TEST(CRect, IntersectionAndUnionIgnoreEmptyOrMissingSourcesAndMayUseTheTarget)
{
    const CRect a(0, 0, 10, 10);
    CRect result(1, 2, 3, 4);
    EXPECT_FALSE(result.IntersectRect(&a, CRect(10, 0, 20, 10)));
    EXPECT_TRUE(result.IsRectNull()) << "a disjoint intersection is all zero";
    EXPECT_TRUE(result.IntersectRect(&a, CRect(5, -5, 15, 5)));
    EXPECT_EQ(CRect(5, 0, 10, 5), result);
    EXPECT_FALSE(result.IntersectRect(&a, nullptr));
    const CRect b(10, 10, 20, 20);
    EXPECT_TRUE(result.UnionRect(&b, CRect()));
    EXPECT_EQ(b, result);
    EXPECT_EQ(CRect(0, 10, 20, 30), b | CRect(0, 25, 5, 30));
    CRect rect(0, 0, 10, 10);
    rect &= CRect(5, 5, 20, 20);
    EXPECT_EQ(CRect(5, 5, 10, 10), rect);
    rect |= CRect(0, 0, 1, 1);
    EXPECT_EQ(CRect(0, 0, 10, 10), rect);
    EXPECT_EQ(CRect(2, 2, 10, 10), rect & CRect(2, 2, 30, 30));
}

TEST(CRect, MovesKeepTheSizeResizesMoveEachEdgeAndWin32TakesItAsIs)
{
    CRect rect(10, 20, 40, 60);
    rect.MoveToXY(-5, 5);
    EXPECT_EQ(CRect(-5, 5, 25, 45), rect);
    rect.MoveToX(0);
    rect.MoveToY(0);
    rect.OffsetRect(CSize(1, 2));
    rect.OffsetRect(CPoint(1, 1));
    EXPECT_EQ(CRect(2, 3, 32, 43), rect);
    rect = CRect(10, 10, 20, 20);
    rect.InflateRect(1, 2);
    EXPECT_EQ(CRect(9, 8, 21, 22), rect);
    rect.DeflateRect(1, 2, 3, 4);
    EXPECT_EQ(CRect(10, 10, 18, 18), rect);
    const RECT margins { 1, 1, 2, 2 };
    rect.InflateRect(&margins);
    EXPECT_EQ(CRect(9, 9, 20, 20), rect);
    rect.DeflateRect(&margins);
    rect.DeflateRect(nullptr);
    EXPECT_EQ(CRect(10, 10, 18, 18), rect);
    rect = CRect(30, 40, 10, 20);
    rect.NormalizeRect();
    EXPECT_EQ(CRect(10, 20, 30, 40), rect);
    ::SetRect(rect, 1, 2, 3, 4);
    EXPECT_EQ(CRect(1, 2, 3, 4), rect);
    EXPECT_TRUE(::EqualRect(CRect(rect), rect));
    rect.SetRectEmpty();
    EXPECT_TRUE(rect.IsRectNull());
}
