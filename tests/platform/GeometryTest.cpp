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

TEST(CPoint, MouseCoordinatesAreSignedAndDifferencesAreSizes)
{
    EXPECT_EQ(CPoint(-5, -7), CPoint(MAKELPARAM(-5, -7)));
    EXPECT_EQ(CPoint(300, 40000 - 65536), CPoint(MAKELPARAM(300, 40000)));
    EXPECT_TRUE(CSize(7, 15) == CPoint(10, 20) - CPoint(3, 5));
}

TEST(CRect, NullSourcesAreEmptyAndAFarCentreDoesNotOverflow)
{
    EXPECT_TRUE(CRect(static_cast<const RECT*>(nullptr)).IsRectNull());
    EXPECT_FALSE(CRect(0, 0, 1, 1).EqualRect(nullptr));
    EXPECT_EQ(CRect(1, 2, 11, 22), CRect(CPoint(1, 2), CSize(10, 20)));
    EXPECT_EQ(CPoint(10, 20), CRect(-10, -20, 30, 60).CenterPoint());
    EXPECT_EQ(CPoint(INT_MAX - 5, INT_MAX - 10), CRect(INT_MAX - 10, INT_MAX - 20, INT_MAX, INT_MAX).CenterPoint());
    CRect rect(10, 10, 18, 18);
    rect.DeflateRect(nullptr);
    EXPECT_EQ(CRect(10, 10, 18, 18), rect);
    rect = CRect(30, 40, 10, 20);
    rect.NormalizeRect();
    EXPECT_EQ(CRect(10, 20, 30, 40), rect);
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
    CRect rect(0, 0, 10, 10);
    rect &= CRect(5, 5, 20, 20);
    rect |= CRect(0, 0, 1, 1);
    EXPECT_EQ(CRect(0, 0, 10, 10), rect);
}
