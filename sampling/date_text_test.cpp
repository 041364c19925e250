#include "sampling/date_text.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/clock.h"

namespace sampling {
namespace {

constexpr CivilDate kToday{2010, 11, 5};

// A plain day-by-day walk of the calendar, to check DaysInMonth against.
bool IsRealDate(int y, int m, int d) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m < 1 || m > 12 || d < 1) return false;
  int limit = days[m - 1];
  if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) limit = 29;
  return d <= limit;
}

TEST(DateTextTest, MonthLengthsAndLeapYears) {
  EXPECT_EQ(DaysInMonth(2010, 2), 28);
  EXPECT_EQ(DaysInMonth(2008, 2), 29);
  EXPECT_EQ(DaysInMonth(1900, 2), 28);
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
  EXPECT_EQ(DaysInMonth(2010, 4), 30);
  EXPECT_EQ(DaysInMonth(2010, 12), 31);
  EXPECT_EQ(DaysInMonth(2010, 0), 0);
  EXPECT_EQ(DaysInMonth(2010, 13), 0);
}

TEST(DateTextTest, AgreesWithPlainCalendarForEveryDayText) {
  for (int y : {1900, 2000, 2004, 2010}) {
    for (int m = 0; m <= 13; ++m) {
      for (int d = 0; d <= 32; ++d) {
        char text[16];
        std::snprintf(text, sizeof text, "%04d%02d%02d", y, m, d);
        const int check = ValidateDate(text, true, kToday);
        ASSERT_EQ(check == kDateValid, IsRealDate(y, m, d)) << text;
      }
    }
  }
}

TEST(DateTextTest, DayCheckComesBeforeMonthCheck) {
  EXPECT_EQ(ValidateDate("20100230", false, kToday), kDateBadDay);
  EXPECT_EQ(ValidateDate("20101301", false, kToday), kDateBadDay);
  EXPECT_EQ(ValidateDate("20100001", false, kToday), kDateBadDay);
  EXPECT_EQ(ValidateDate("20100100", false, kToday), kDateBadDay);
}

TEST(DateTextTest, FutureDatesRefusedUnlessAllowed) {
  EXPECT_EQ(ValidateDate("20101105", false, kToday), kDateValid);
  EXPECT_EQ(ValidateDate("20101106", false, kToday), kDateInFuture);
  EXPECT_EQ(ValidateDate("20101201", false, kToday), kDateInFuture);
  EXPECT_EQ(ValidateDate("20110101", false, kToday), kDateInFuture);
  EXPECT_EQ(ValidateDate("20101106", true, kToday), kDateValid);
  EXPECT_EQ(ValidateDate("20091231", false, kToday), kDateValid);
}

TEST(DateTextTest, LengthIsCheckedFirst) {
  EXPECT_EQ(ValidateDate("2010115", false, kToday), kDateBadLength);
  EXPECT_EQ(ValidateDate("201011055", false, kToday), kDateBadLength);
  EXPECT_EQ(ValidateDate("", false, kToday), kDateBadLength);
}

TEST(DateTextTest, NonDigitsAreAFormatFailure) {
  EXPECT_EQ(ValidateDate("2010-1-5", false, kToday), kDateNotDigits);
  EXPECT_EQ(ValidateDate("2010110a", false, kToday), kDateNotDigits);
  EXPECT_EQ(ValidateDate(" 0101105", false, kToday), kDateNotDigits);
}

TEST(DateTextTest, CompareReportsWhichIsLater) {
  EXPECT_EQ(CompareDates("20101101", "20101101", kToday), 0);
  EXPECT_EQ(CompareDates("20101102", "20101101", kToday), 1);
  EXPECT_EQ(CompareDates("20101101", "20101102", kToday), 2);
  EXPECT_EQ(CompareDates("20091231", "20100101", kToday), 2);
  EXPECT_EQ(CompareDates("20100230", "20101101", kToday), -1);
  EXPECT_EQ(CompareDates("20101101", "2010", kToday), -1);
}

TEST(DateTextTest, DateTextWithAndWithoutSeparator) {
  EXPECT_EQ(DateText({2010, 11, 5}), "20101105");
  EXPECT_EQ(DateText({2010, 1, 5}, "/"), "2010/01/05");
  EXPECT_EQ(DateText({2010, 1, 5}, "--"), "2010--01--05");
}

TEST(DateTextTest, TodayComesFromTheClock) {
  platform::FixedClock clock(platform::LocalDateTime{2026, 3, 9, 23, 59, 0});
  const CivilDate today = Today(clock);
  EXPECT_EQ(today.year, 2026);
  EXPECT_EQ(today.month, 3);
  EXPECT_EQ(today.day, 9);
  EXPECT_EQ(TodayText(clock), "20260309");
  EXPECT_EQ(TodayText(clock, "-"), "2026-03-09");
}

TEST(DateTextTest, HdateMessagesByCode) {
  EXPECT_EQ(HdateMessage(kDateInFuture),
            "Invalid HDATE - Date falls after the FDR's system date\n");
  EXPECT_EQ(HdateMessage(kDateBadMonth), "Invalid HDATE - Invalid month - Format is YYYYMMDD\n");
  EXPECT_EQ(HdateMessage(kDateBadDay),
            "Invalid HDATE - Invalid day of month - Format is YYYYMMDD\n");
  EXPECT_EQ(HdateMessage(kDateBadLength),
            "Invalid HDATE - Date length should be 8 numbers - Format is YYYYMMDD\n");
  EXPECT_EQ(HdateMessage(kDateNotDigits), "Invalid HDATE - Format is YYYYMMDD\n");
}

}  // namespace
}  // namespace sampling
