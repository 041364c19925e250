#include "grid/cell_check.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "tablestore/value_text.h"

namespace grid {
namespace {

// Refused texts are quoted up to this many characters.
constexpr size_t kQuoted = 24;

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Moves `i` past the digits that start there; returns how many there were.
size_t SkipDigits(std::string_view t, size_t& i) {
  const size_t first = i;
  while (i < t.size() && IsDigit(t[i])) ++i;
  return i - first;
}

bool FitsWhole(std::string_view t) {
  const bool negative = !t.empty() && t[0] == '-';
  if (!t.empty() && (t[0] == '+' || t[0] == '-')) t.remove_prefix(1);
  size_t i = 0;
  if (SkipDigits(t, i) == 0 || i != t.size()) return false;
  // Leading zeros do not make a number larger.
  t.remove_prefix(std::min(t.find_first_not_of('0'), t.size() - 1));
  if (t.size() > 10) return false;
  const int64_t magnitude = std::strtoll(std::string(t).c_str(), nullptr, 10);
  return negative ? -magnitude >= INT32_MIN : magnitude <= INT32_MAX;
}

bool FitsDecimal(std::string_view t, double limit) {
  size_t i = (!t.empty() && (t[0] == '+' || t[0] == '-')) ? 1 : 0;
  size_t digits = SkipDigits(t, i);
  if (i < t.size() && t[i] == '.') digits += SkipDigits(t, ++i);
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    if (SkipDigits(t, i) == 0) return false;
  }
  if (i != t.size()) return false;
  // Read as the store reads it, whatever the locale's decimal separator.
  const double value = tablestore::ParseDouble(t);
  return std::isfinite(value) && std::abs(value) <= limit;
}

// `text` in quotes, cut at a character boundary after kQuoted characters.
std::string Quoted(std::string_view text) {
  size_t end = 0;
  for (size_t chars = 0; end < text.size() && chars < kQuoted; ++chars) {
    ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  }
  return "\"" + std::string(text.substr(0, end)) + (end < text.size() ? "...\"" : "\"");
}

}  // namespace

size_t CharacterCount(std::string_view text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::optional<std::string> CheckCellText(const ValueRule& rule, std::string_view text,
                                         const std::vector<std::string>& choices) {
  const std::string_view number = Trimmed(text);
  const std::string refused = ".\n" + Quoted(text) + " was not entered.";
  switch (rule.type) {
    case 'I':
    case 'L':
      if (number.empty() || FitsWhole(number)) return std::nullopt;
      return rule.name + " takes whole numbers from -2147483648 to 2147483647" + refused;
    case 'F':
      if (number.empty() || FitsDecimal(number, FLT_MAX)) return std::nullopt;
      return rule.name + " takes numbers from -3.4e38 to 3.4e38" + refused;
    case 'D':
      if (number.empty() || FitsDecimal(number, DBL_MAX)) return std::nullopt;
      return rule.name + " takes numbers from -1.7e308 to 1.7e308" + refused;
    default:
      break;
  }
  const size_t length = CharacterCount(text);
  if (rule.maxLength <= 0 || length <= static_cast<size_t>(rule.maxLength) ||
      std::find(choices.begin(), choices.end(), text) != choices.end()) {
    return std::nullopt;
  }
  return rule.name + " takes at most " + std::to_string(rule.maxLength) + " characters.\n" +
         Quoted(text) + " (" + std::to_string(length) + " characters) was not entered.";
}

}  // namespace grid
