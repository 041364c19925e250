#include "sampling/cell_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

namespace sampling {
namespace {

TEST(CellTextTest, ReadsLeadingIntegerLikeTheHandheld) {
  EXPECT_EQ(CellInt(""), 0);
  EXPECT_EQ(CellInt("42"), 42);
  EXPECT_EQ(CellInt("  -7"), -7);
  EXPECT_EQ(CellInt("+3"), 3);
  EXPECT_EQ(CellInt("12abc"), 12);
  EXPECT_EQ(CellInt("abc"), 0);
  EXPECT_EQ(CellInt("16.9"), 16);
  EXPECT_EQ(CellInt("-"), 0);
}

TEST(CellTextTest, HugeNumbersSaturateInsteadOfWrapping) {
  EXPECT_EQ(CellInt("99999999999999999999"), INT_MAX);
  EXPECT_EQ(CellInt("-99999999999999999999"), INT_MIN);
  EXPECT_EQ(CellInt("2147483647"), INT_MAX);
  EXPECT_EQ(CellInt("-2147483648"), INT_MIN);
  EXPECT_EQ(CellInt("2147483648"), INT_MAX);
}

TEST(CellTextTest, LineBreakHelpers) {
  EXPECT_EQ(DropLastBreak("a\nb\n"), "a\nb");
  EXPECT_EQ(DropLastBreak("a\nb"), "a\nb");
  EXPECT_EQ(DropLastBreak(""), "");
  EXPECT_EQ(ReplaceBreaks("a\nb\n", ","), "a,b,");
  EXPECT_EQ(ReplaceBreaks("a\nb", ", "), "a, b");
  EXPECT_EQ(IntText(-12), "-12");
}

}  // namespace
}  // namespace sampling

namespace sampling {
namespace {

TEST(CellTextTest, DecimalsReadTheSameInEveryLocale) {
  EXPECT_EQ(CellDouble("0.5"), 0.5);
  EXPECT_EQ(CellDouble(" +1.5x"), 1.5);
  EXPECT_EQ(CellDouble("-2"), -2.0);
  EXPECT_EQ(CellDouble(""), 0.0);
  EXPECT_EQ(CellDouble("abc"), 0.0);
  EXPECT_EQ(CellDouble("1e-400"), 0.0);
  EXPECT_GT(CellDouble("1e400"), 1e300);
  EXPECT_LT(CellDouble("-1e400"), -1e300);
}

TEST(CellTextTest, ArbitraryBytesNeverFail) {
  uint32_t state = 12345;
  for (int i = 0; i < 2000; ++i) {
    std::string text;
    const int length = static_cast<int>(state % 24);
    for (int k = 0; k < length; ++k) {
      state = state * 1103515245u + 12345u;
      text.push_back(static_cast<char>(state >> 24));
    }
    CellInt(text);
    CellDouble(text);
  }
}

}  // namespace
}  // namespace sampling
