// Dates as the load header holds them: eight-character texts "yyyymmdd".
//
// The header audit validates HDATE against today's date and compares it with
// SDATE; the supervisor screens use the same validation. Today's date comes
// from the platform clock (Today); the checks take it as a value so that they
// never depend on the real date.
//
// Thread safety: pure functions.
#pragma once

#include <string>
#include <string_view>

#include "platform/clock.h"

namespace sampling {

// A calendar date in the local time of the device.
struct CivilDate {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
};

// Result codes of ValidateDate. Callers and the supervisor screens rely on
// the values; never renumber.
enum DateCheck : int {
  kDateValid = 0,
  kDateBadDay = -1,     // day outside 1..days of that month (also any month outside 1..12)
  kDateBadMonth = -2,   // month outside 1..12 (unreachable: the day check fails first)
  kDateInFuture = -3,   // after today while future dates are refused
  kDateBadLength = -4,  // not exactly 8 characters
  kDateNotDigits = -5,  // 8 characters, but not all of them digits
};

// Days of `month` in `year`: 31, 28 (29 in a leap year: divisible by 400, or
// by 4 but not by 100), 31, 30, ...; 0 for a month outside 1..12.
int DaysInMonth(int year, int month);

// Checks `text` as "yyyymmdd". The length is checked first (a text of any
// other length cannot be split into its fields), then that all eight
// characters are digits, then the day, the month and, unless `allowFuture`,
// that the date is not after `today`. Returns a DateCheck code.
[[nodiscard]] int ValidateDate(std::string_view text, bool allowFuture, CivilDate today);

// Compares two date texts. Both are validated first, future dates allowed;
// -1 when either fails. Otherwise 0 when equal, 1 when `first` is later and
// 2 when `second` is later.
int CompareDates(std::string_view first, std::string_view second, CivilDate today);

// `date` as "%d%02d%02d"; with a non-empty `separator` it stands between
// year and month and between month and day ("2010-11-05" for "-").
std::string DateText(CivilDate date, std::string_view separator = "");

// Today's local date from `clock`.
CivilDate Today(const platform::Clock& clock);

// Today's local date as text (DateText of Today(clock) with `separator`).
std::string TodayText(const platform::Clock& clock, std::string_view separator = "");

// The header audit's message for an HDATE that failed ValidateDate with
// `code`, ending in "\n".
std::string HdateMessage(int code);

}  // namespace sampling
