#include "level/rects_overlap.h"

#include <gtest/gtest.h>

TEST(RectsOverlap, SeparateRectanglesDoNotOverlap) {
  EXPECT_EQ(rects_overlap(0, 0, 10, 10, 11, 0, 10, 10), 0);
  EXPECT_EQ(rects_overlap(11, 0, 10, 10, 0, 0, 10, 10), 0);
  EXPECT_EQ(rects_overlap(0, 0, 10, 10, 0, 11, 10, 10), 0);
  EXPECT_EQ(rects_overlap(0, 11, 10, 10, 0, 0, 10, 10), 0);
}

TEST(RectsOverlap, TouchingEdgesAndCornersOverlap) {
  EXPECT_EQ(rects_overlap(0, 0, 10, 10, 10, 0, 10, 10), 1);
  EXPECT_EQ(rects_overlap(0, 0, 10, 10, 0, 10, 10, 10), 1);
  EXPECT_EQ(rects_overlap(0, 0, 10, 10, 10, 10, 5, 5), 1);
  EXPECT_EQ(rects_overlap(10, 10, 5, 5, 0, 0, 10, 10), 1);
}

TEST(RectsOverlap, ContainedAndCrossingRectanglesOverlap) {
  EXPECT_EQ(rects_overlap(0, 0, 100, 100, 40, 40, 2, 2), 1);
  EXPECT_EQ(rects_overlap(40, 40, 2, 2, 0, 0, 100, 100), 1);
  EXPECT_EQ(rects_overlap(0, 40, 100, 2, 40, 0, 2, 100), 1);
}

TEST(RectsOverlap, ZeroAndNegativeSizesGoThroughTheSameComparisons) {
  // A point on the edge of a box counts.
  EXPECT_EQ(rects_overlap(10, 5, 0, 0, 0, 0, 10, 10), 1);
  EXPECT_EQ(rects_overlap(11, 5, 0, 0, 0, 0, 10, 10), 0);
  // x1 + w1 < x2 with a negative width: 20 - 15 = 5 < 10, so no overlap.
  EXPECT_EQ(rects_overlap(20, 0, -15, 10, 10, 0, 10, 10), 0);
  // 20 - 5 = 15 >= 10 and 20 <= 20: overlap.
  EXPECT_EQ(rects_overlap(20, 0, -5, 10, 10, 0, 10, 10), 1);
}
