#include "tablestore/value_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

namespace tablestore {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

TEST(ParseLongTest, ReadsTheLeadingNumberLikeWtol) {
  EXPECT_EQ(ParseLong("12abc"), 12);
  EXPECT_EQ(ParseLong("abc"), 0);
  EXPECT_EQ(ParseLong(""), 0);
  EXPECT_EQ(ParseLong("  -7"), -7);
  EXPECT_EQ(ParseLong("\t+42 "), 42);
  EXPECT_EQ(ParseLong("- 5"), 0);
  EXPECT_EQ(ParseLong("3.9"), 3);
  EXPECT_EQ(ParseLong("0x10"), 0);
}

TEST(ParseLongTest, ClampsBeyondThe32BitRange) {
  EXPECT_EQ(ParseLong("2147483647"), kMax);
  EXPECT_EQ(ParseLong("-2147483648"), kMin);
  EXPECT_EQ(ParseLong("2147483648"), kMax);
  EXPECT_EQ(ParseLong("-2147483649"), kMin);
  EXPECT_EQ(ParseLong("99999999999999999999999999999"), kMax);
}

TEST(ParseDoubleTest, ReadsTheLeadingDecimalNumberLikeWcstod) {
  EXPECT_DOUBLE_EQ(ParseDouble("12.50"), 12.5);
  EXPECT_DOUBLE_EQ(ParseDouble("  -3.25kg"), -3.25);
  EXPECT_DOUBLE_EQ(ParseDouble(".5"), 0.5);
  EXPECT_DOUBLE_EQ(ParseDouble("5."), 5.0);
  EXPECT_DOUBLE_EQ(ParseDouble("1e3"), 1000.0);
  EXPECT_DOUBLE_EQ(ParseDouble("1e"), 1.0);
  EXPECT_DOUBLE_EQ(ParseDouble("2E-2x"), 0.02);
  EXPECT_DOUBLE_EQ(ParseDouble("abc"), 0.0);
  EXPECT_DOUBLE_EQ(ParseDouble("."), 0.0);
  EXPECT_DOUBLE_EQ(ParseDouble("-"), 0.0);
  EXPECT_DOUBLE_EQ(ParseDouble(""), 0.0);
}

TEST(ParseDoubleTest, ReadsOnlyDecimalNotation) {
  EXPECT_DOUBLE_EQ(ParseDouble("0x10"), 0.0);
  EXPECT_DOUBLE_EQ(ParseDouble("inf"), 0.0);
  EXPECT_DOUBLE_EQ(ParseDouble("nan"), 0.0);
  EXPECT_TRUE(std::isinf(ParseDouble("1e999")));
}

TEST(ParseDoubleTest, IgnoresTheProcessLocale) {
  // A toolkit may switch the numeric locale; stored values must not change.
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = old ? old : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE locale";
  EXPECT_DOUBLE_EQ(ParseDouble("12.5"), 12.5);
  EXPECT_EQ(FormatFloat(3.25f), "3.25");
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(RoundHalfUpTest, AddsOneHalfAndTruncatesTowardZero) {
  EXPECT_EQ(RoundHalfUp(2.5), 3);
  EXPECT_EQ(RoundHalfUp(-2.5), -2);
  EXPECT_EQ(RoundHalfUp(-2.7), -2);
  EXPECT_EQ(RoundHalfUp(2.49), 2);
  EXPECT_EQ(RoundHalfUp(-0.4), 0);
  EXPECT_EQ(RoundHalfUp(-1.6), -1);
}

TEST(RoundHalfUpTest, ClampsWhereTheCastWouldBeUndefined) {
  EXPECT_EQ(RoundHalfUp(1e20), kMax);
  EXPECT_EQ(RoundHalfUp(-1e20), kMin);
  EXPECT_EQ(RoundHalfUp(std::numeric_limits<double>::infinity()), kMax);
  EXPECT_EQ(RoundHalfUp(std::nan("")), 0);
  EXPECT_EQ(RoundHalfUp(2147483646.4), 2147483646);
  EXPECT_EQ(RoundHalfUp(-2147483648.4), kMin + 1);
  EXPECT_EQ(RoundHalfUp(-2147483649.0), kMin);
  EXPECT_EQ(RoundHalfUp(-2147483649.6), kMin);
}

TEST(FormatTest, FollowsThePrintfFormats) {
  EXPECT_EQ(FormatInt(-17), "-17");
  EXPECT_EQ(FormatInt(kMin), "-2147483648");
  EXPECT_EQ(FormatFloat(3.25f), "3.25");
  EXPECT_EQ(FormatFloat(0.1f), "0.1");
  EXPECT_EQ(FormatFloat(12.5f), "12.5");
  EXPECT_EQ(FormatFloat(100000.0f), "100000");
  EXPECT_EQ(FormatFloat(1000000.0f), "1e+06");
  EXPECT_EQ(FormatFloat(123456789.0f), "1.23457e+08");
  EXPECT_EQ(FormatFloat(0.0001f), "0.0001");
  EXPECT_EQ(FormatFloat(0.00001f), "1e-05");
  EXPECT_EQ(FormatFloat(-0.0f), "-0");
  EXPECT_EQ(FormatDouble(0.1), "0.1");
  EXPECT_EQ(FormatDouble(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(FormatDouble(2.5), "2.5");
  EXPECT_EQ(FormatDouble(1e15), "1e+15");
  EXPECT_EQ(FormatDouble(123456789012345.0), "123456789012345");
}

TEST(NarrowToFloatTest, OverflowBecomesInfinity) {
  EXPECT_EQ(NarrowToFloat(1e300), std::numeric_limits<float>::infinity());
  EXPECT_EQ(NarrowToFloat(-1e300), -std::numeric_limits<float>::infinity());
  EXPECT_EQ(NarrowToFloat(12.5), 12.5f);
}

}  // namespace
}  // namespace tablestore
