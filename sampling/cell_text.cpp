#include "sampling/cell_text.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <limits>

namespace sampling {

int CellInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int>::max()} + 1;
  int64_t value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kLimit) value = kLimit;  // saturate; more digits cannot bring it back
  }
  if (negative) return static_cast<int>(-value);
  return value > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                 : static_cast<int>(value);
}

double CellDouble(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data() + i, text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Too small a magnitude reads as 0; too large is capped at the largest double.
    const std::string_view number(text.data() + i, static_cast<size_t>(end - (text.data() + i)));
    const size_t e = number.find_first_of("eE");
    if (e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-') return 0.0;
    const double big = std::numeric_limits<double>::max();
    return number.starts_with('-') ? -big : big;
  }
  return error == std::errc() ? value : 0.0;
}

std::string DropLastBreak(std::string text) {
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

std::string ReplaceBreaks(std::string_view text, std::string_view with) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\n') {
      out.append(with);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string IntText(long value) { return std::to_string(value); }

}  // namespace sampling
