#include "scaling/volume_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace scaling {
namespace {

TEST(RoundToTest, ValuesPastTheFloatRangeStopAtItsEnds) {
  EXPECT_EQ(RoundTo(1e300, 1), std::numeric_limits<float>::max());
  EXPECT_EQ(RoundTo(-1e300, 0), -std::numeric_limits<float>::max());
}

TEST(RoundToTest, HalfGoesAwayFromZero) {
  EXPECT_FLOAT_EQ(RoundTo(2.65, 1), 2.7f);
  EXPECT_FLOAT_EQ(RoundTo(-2.65, 1), -2.7f);
  EXPECT_FLOAT_EQ(RoundTo(6.5, 0), 7.0f);
  EXPECT_FLOAT_EQ(RoundTo(-6.5, 0), -7.0f);
  EXPECT_FLOAT_EQ(RoundTo(0.125, 2), 0.13f);
  EXPECT_FLOAT_EQ(RoundTo(1.15, 1), 1.2f);  // 1.15 is 1.1499999... in binary
}

TEST(RoundToTest, BelowHalfGoesDown) {
  EXPECT_FLOAT_EQ(RoundTo(2.64, 1), 2.6f);
  EXPECT_FLOAT_EQ(RoundTo(-2.64, 1), -2.6f);
  EXPECT_FLOAT_EQ(RoundTo(6.0, 0), 6.0f);
  EXPECT_FLOAT_EQ(RoundTo(6.4989, 0), 6.0f);
  EXPECT_FLOAT_EQ(RoundTo(10.646208, 1), 10.6f);
  EXPECT_FLOAT_EQ(RoundTo(0.0, 1), 0.0f);
}

TEST(RoundToTest, FractionAbove999CountsAsWhole) {
  // 2.64995: y / 10 = 26.9995, fraction 0.9995 > 0.999 -> 27.
  EXPECT_FLOAT_EQ(RoundTo(2.64995, 1), 2.7f);
  // 2.6495: fraction 0.995 stays below.
  EXPECT_FLOAT_EQ(RoundTo(2.6495, 1), 2.6f);
  // Whole numbers: 6.4999 gives 6.9999, fraction 0.9999 -> 7.
  EXPECT_FLOAT_EQ(RoundTo(6.4999, 0), 7.0f);
}

TEST(RoundToTest, ResultIsSinglePrecision) {
  EXPECT_EQ(RoundTo(10.646208, 1), static_cast<float>(106 / 10.0));
}

TEST(TruncToIntTest, TruncatesTowardZeroAndSaturates) {
  EXPECT_EQ(TruncToInt(2.7), 2);
  EXPECT_EQ(TruncToInt(-2.7), -2);
  EXPECT_EQ(TruncToInt(1e12), std::numeric_limits<int>::max());
  EXPECT_EQ(TruncToInt(-1e12), std::numeric_limits<int>::min());
  EXPECT_EQ(TruncToInt(std::nan("")), 0);
}

TEST(ClampedDifferenceTest, NeverOverflows) {
  EXPECT_EQ(ClampedDifference(10, 3), 7);
  EXPECT_EQ(ClampedDifference(std::numeric_limits<int>::min(), 1), std::numeric_limits<int>::min());
  EXPECT_EQ(ClampedDifference(std::numeric_limits<int>::max(), -1),
            std::numeric_limits<int>::max());
}

TEST(SmalianTest, WorkedExample) {
  // (100 + 144) * 16 = 3904; 3904 * 0.002727 = 10.646208 -> 10.6.
  EXPECT_EQ(SmalianProduct(10, 12, 16), 3904);
  EXPECT_FLOAT_EQ(SmalianCubicFeet(10, 12, 16), 10.6f);
  EXPECT_FLOAT_EQ(SmalianCubicFeet(12, 10, 16), 10.6f);
}

TEST(SmalianTest, ZeroMeasurementsGiveZero) {
  EXPECT_FLOAT_EQ(SmalianCubicFeet(0, 0, 16), 0.0f);
  EXPECT_FLOAT_EQ(SmalianCubicFeet(10, 12, 0), 0.0f);
}

TEST(SmalianTest, DamagedMeasurementsDoNotOverflow) {
  const int big = std::numeric_limits<int>::max();
  EXPECT_GT(SmalianProduct(big, big, big), 0);
  EXPECT_TRUE(std::isfinite(SmalianCubicFeet(big, -big, big)));
}

TEST(SmalianTest, MatchesPlainFormulaOverRealLogs) {
  for (int d = 0; d <= 60; d += 3) {
    for (int big = d; big <= 70; big += 7) {
      for (int len = 1; len <= 20; ++len) {
        const double plain = (d * d + big * big) * len * 0.002727;
        EXPECT_NEAR(SmalianCubicFeet(d, big, len), plain, 0.05 + 1e-4)
            << d << " " << big << " " << len;
      }
    }
  }
}

}  // namespace
}  // namespace scaling
