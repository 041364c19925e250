#include "sampling/cell_text.h"

#include <gtest/gtest.h>

#include <climits>

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

TEST(CellTextTest, ComparesWithoutLetterCase) {
  EXPECT_TRUE(EqualsNoCase("KPI", "kpi"));
  EXPECT_TRUE(EqualsNoCase("", ""));
  EXPECT_FALSE(EqualsNoCase("DF", "DFX"));
  EXPECT_FALSE(EqualsNoCase("DF", "WH"));
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
