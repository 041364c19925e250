#include "tablestore/value_text.h"

#include <locale.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace tablestore {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

size_t SkipSpace(std::string_view text, size_t i) {
  while (i < text.size() && IsSpace(text[i])) ++i;
  return i;
}

size_t SkipDigits(std::string_view text, size_t i) {
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i;
}

// Length of the decimal number at the start of `text` (sign included); 0 when
// there is none.
size_t DecimalPrefix(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const size_t intStart = i;
  i = SkipDigits(text, i);
  bool digits = i > intStart;
  if (i < text.size() && text[i] == '.') {
    const size_t fracStart = i + 1;
    const size_t fracEnd = SkipDigits(text, fracStart);
    if (fracEnd > fracStart || digits) {
      digits = true;
      i = fracEnd;
    }
  }
  if (!digits) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t e = i + 1;
    if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
    const size_t expEnd = SkipDigits(text, e);
    if (expEnd > e) i = expEnd;
  }
  return i;
}

// The "C" locale, so that "." is the decimal point whatever the process uses.
locale_t CLocale() {
  static const locale_t loc = newlocale(LC_ALL_MASK, "C", locale_t(0));
  return loc;
}

std::string FormatGeneral(double value, int precision) {
  char buf[64];
  const auto res =
      std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, precision);
  return std::string(buf, res.ptr);
}

}  // namespace

int32_t ParseLong(std::string_view text) {
  size_t i = SkipSpace(text, 0);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t magnitude = 0;
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > kLimit) magnitude = kLimit;  // keeps the sum small; clamped below
  }
  const int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

double ParseDouble(std::string_view text) {
  text.remove_prefix(SkipSpace(text, 0));
  const size_t len = DecimalPrefix(text);
  if (len == 0) return 0.0;
  const std::string number(text.substr(0, len));
  return strtod_l(number.c_str(), nullptr, CLocale());
}

int32_t RoundHalfUp(double value) {
  if (std::isnan(value)) return 0;
  const double shifted = value + 0.5;
  if (shifted >= 2147483648.0) return std::numeric_limits<int32_t>::max();
  if (shifted <= -2147483649.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(shifted);
}

float NarrowToFloat(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (value > kMax) return std::numeric_limits<float>::infinity();
  if (value < -kMax) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

std::string FormatInt(int32_t value) { return std::to_string(value); }

std::string FormatFloat(float value) { return FormatGeneral(static_cast<double>(value), 6); }

std::string FormatDouble(double value) { return FormatGeneral(value, 15); }

}  // namespace tablestore
