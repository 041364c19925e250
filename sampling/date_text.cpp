#include "sampling/date_text.h"

#include <cctype>
#include <cstdio>

namespace sampling {

namespace {

int Digits(std::string_view text) {
  int value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  return value;
}

long DateKey(CivilDate d) { return (d.year * 100L + d.month) * 100L + d.day; }

}  // namespace

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  const bool leap = year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
  return month == 2 && leap ? 29 : kDays[month - 1];
}

int ValidateDate(std::string_view text, bool allowFuture, CivilDate today) {
  if (text.size() != 8) return kDateBadLength;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return kDateNotDigits;
  }
  const CivilDate d{Digits(text.substr(0, 4)), Digits(text.substr(4, 2)),
                    Digits(text.substr(6, 2))};
  if (d.day < 1 || d.day > DaysInMonth(d.year, d.month)) return kDateBadDay;
  if (d.month < 1 || d.month > 12) return kDateBadMonth;
  if (!allowFuture && DateKey(d) > DateKey(today)) return kDateInFuture;
  return kDateValid;
}

int CompareDates(std::string_view first, std::string_view second, CivilDate today) {
  if (ValidateDate(first, true, today) != kDateValid ||
      ValidateDate(second, true, today) != kDateValid) {
    return -1;
  }
  // Valid texts are eight digits, so their numeric order is the date order.
  const int a = Digits(first);
  const int b = Digits(second);
  if (a == b) return 0;
  return a > b ? 1 : 2;
}

std::string DateText(CivilDate date, std::string_view separator) {
  char year[16], month[16], day[16];
  std::snprintf(year, sizeof year, "%d", date.year);
  std::snprintf(month, sizeof month, "%02d", date.month);
  std::snprintf(day, sizeof day, "%02d", date.day);
  std::string text(year);
  text.append(separator).append(month).append(separator).append(day);
  return text;
}

CivilDate Today(const platform::Clock& clock) {
  const platform::LocalDateTime now = clock.Now();
  return CivilDate{now.year, now.month, now.day};
}

std::string TodayText(const platform::Clock& clock, std::string_view separator) {
  return DateText(Today(clock), separator);
}

std::string HdateMessage(int code) {
  switch (code) {
    case kDateInFuture:
      return "Invalid HDATE - Date falls after the FDR's system date\n";
    case kDateBadMonth:
      return "Invalid HDATE - Invalid month - Format is YYYYMMDD\n";
    case kDateBadDay:
      return "Invalid HDATE - Invalid day of month - Format is YYYYMMDD\n";
    case kDateBadLength:
      return "Invalid HDATE - Date length should be 8 numbers - Format is YYYYMMDD\n";
    default:
      return "Invalid HDATE - Format is YYYYMMDD\n";
  }
}

}  // namespace sampling
