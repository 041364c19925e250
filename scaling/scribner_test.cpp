#include "scaling/scribner.h"

#include <gtest/gtest.h>

#include <cmath>

namespace scaling {
namespace {

TEST(ScribnerTest, WorkedExamples) {
  EXPECT_EQ(Scribner(16, 16), 160);  // 10 * 16 = 160
  EXPECT_EQ(Scribner(8, 16), 30);    // long-log factor 1.854 * 16 = 29.664
  EXPECT_EQ(Scribner(42, 4), 330);   // 83.91 * 4 = 335.64, minus 10 by the list
}

TEST(ScribnerTest, LongLogRowsApplyOnlyToSmallLongLogs) {
  EXPECT_EQ(Scribner(8, 32), 70);    // 2.2 * 32 = 70.4
  EXPECT_EQ(Scribner(8, 15), 20);    // main factor 1.501 * 15 = 22.515
  EXPECT_EQ(Scribner(8, 41), 60);    // main factor 1.501 * 41 = 61.541
  EXPECT_EQ(Scribner(12, 16), 80);   // main factor 4.9 * 16 = 78.4
  EXPECT_EQ(Scribner(11, 40), 180);  // 4.499 * 40 = 179.96
}

TEST(ScribnerTest, PlusCorrectionMovesResultUp) {
  // 14.99 * 5 = 74.95 would round to 70; the list adds 10: 84.95 -> 80.
  EXPECT_EQ(Scribner(19, 5), 80);
  // Lengths outside the list are never corrected: 14.99 * 16 = 239.84.
  EXPECT_EQ(Scribner(19, 16), 240);
}

TEST(ScribnerTest, DiametersOutsideTableAreClamped) {
  EXPECT_EQ(Scribner(120, 16), Scribner(99, 16));
  EXPECT_EQ(Scribner(99, 16), 7570);  // 473.43 * 16 = 7574.88
  EXPECT_EQ(Scribner(-5, 16), 0);
  EXPECT_EQ(Scribner(0, 16), 0);
  EXPECT_EQ(Scribner(1, 20), 0);
}

TEST(ScribnerTest, NegativeOrZeroLengthGivesZero) {
  EXPECT_EQ(Scribner(20, 0), 0);
  EXPECT_EQ(Scribner(20, -8), 0);
}

TEST(ScribnerTest, HugeLengthDoesNotOverflow) { EXPECT_GT(Scribner(99, 2000000000), 0); }

TEST(ScribnerTest, FactorTableEntries) {
  EXPECT_FLOAT_EQ(ScribnerFactor(0, 10), 0.0f);
  EXPECT_FLOAT_EQ(ScribnerFactor(2, 10), 0.143f);
  EXPECT_FLOAT_EQ(ScribnerFactor(9, 10), 2.084f);
  EXPECT_FLOAT_EQ(ScribnerFactor(37, 10), 64.319f);
  EXPECT_FLOAT_EQ(ScribnerFactor(50, 10), 116.99f);
  EXPECT_FLOAT_EQ(ScribnerFactor(68, 10), 218.501f);
  EXPECT_FLOAT_EQ(ScribnerFactor(99, 10), 473.43f);
  EXPECT_FLOAT_EQ(ScribnerFactor(6, 16), 1.249f);
  EXPECT_FLOAT_EQ(ScribnerFactor(11, 31), 4.167f);
  EXPECT_FLOAT_EQ(ScribnerFactor(6, 32), 1.57f);
  EXPECT_FLOAT_EQ(ScribnerFactor(10, 40), 3.815f);
  EXPECT_FLOAT_EQ(ScribnerFactor(11, 41), 3.749f);
  EXPECT_FLOAT_EQ(ScribnerFactor(5, 20), 1.07f);
}

TEST(ScribnerExceptionsTest, CountAndOrder) {
  const auto list = ScribnerExceptions();
  ASSERT_EQ(list.size(), 132u);
  EXPECT_EQ(list.front(), 40420);  // L 4, D 42, minus
  EXPECT_EQ(list[21], 50100);      // L 5, D 10, minus
  EXPECT_EQ(list[22], 50191);      // L 5, D 19, plus
  EXPECT_EQ(list.back(), 200791);  // L 20, D 79, plus
  for (size_t i = 1; i < list.size(); ++i) {
    EXPECT_LT(list[i - 1] / 10, list[i] / 10) << "entry " << i;
    EXPECT_LE(list[i] % 10, 1);
  }
}

TEST(ScribnerExceptionsTest, CorrectionsOfListedPairs) {
  EXPECT_EQ(ScribnerCorrection(4, 42), -10);
  EXPECT_EQ(ScribnerCorrection(4, 98), -10);
  EXPECT_EQ(ScribnerCorrection(5, 21), 10);
  EXPECT_EQ(ScribnerCorrection(9, 29), 10);
  EXPECT_EQ(ScribnerCorrection(12, 10), -10);
  EXPECT_EQ(ScribnerCorrection(19, 8), -10);
  EXPECT_EQ(ScribnerCorrection(20, 79), 10);
  EXPECT_EQ(ScribnerCorrection(16, 42), 0);
  EXPECT_EQ(ScribnerCorrection(4, 43), 0);
  EXPECT_EQ(ScribnerCorrection(3, 42), 0);
  EXPECT_EQ(ScribnerCorrection(21, 8), 0);
}

TEST(ScribnerExceptionsTest, BisectionAgreesWithLinearScan) {
  const auto list = ScribnerExceptions();
  for (int len = -1; len <= 25; ++len) {
    for (int d = -1; d <= 101; ++d) {
      int expected = 0;
      for (const int32_t e : list) {
        if (e / 10 == len * 1000 + d) expected = e % 10 == 1 ? 10 : -10;
      }
      if (d > 99 || d < 0) continue;  // clamped, checked elsewhere
      EXPECT_EQ(ScribnerCorrection(len, d), expected) << len << " " << d;
    }
  }
}

TEST(ScribnerTest, MatchesPlainFormulaOverTable) {
  for (int d = 0; d <= 99; ++d) {
    for (int len = 1; len <= 40; ++len) {
      const float v = ScribnerFactor(d, len) * static_cast<float>(len) +
                      static_cast<float>(ScribnerCorrection(len, d));
      EXPECT_EQ(Scribner(d, len), static_cast<int>(std::trunc(v * 0.1 + 0.5)) * 10);
    }
  }
}

}  // namespace
}  // namespace scaling
