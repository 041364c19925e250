#include "mkstore/compare.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

#include "mkstore/structure.h"

namespace mk {
namespace {

template <typename T>
int Sign(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

int CompareDoubles(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) ? (std::isnan(b) ? 0 : -1) : 1;
  return Sign(a, b);
}

int CompareText(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(AsciiLower(a[i]));
    const auto y = static_cast<unsigned char>(AsciiLower(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return Sign(a.size(), b.size());
}

int CompareBytes(std::string_view a, std::string_view b) {
  const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  return c != 0 ? c : Sign(a.size(), b.size());
}

double ParseNumber(const std::string& s) {
  double v = 0;
  const char* begin = s.data();
  while (begin < s.data() + s.size() && (*begin == ' ' || *begin == '\t')) ++begin;
  if (begin < s.data() + s.size() && *begin == '+') ++begin;
  std::from_chars(begin, s.data() + s.size(), v);
  return v;
}

double AsDouble(const CriteriaValue& v) {
  if (const auto* i = std::get_if<int64_t>(&v)) return static_cast<double>(*i);
  if (const auto* d = std::get_if<double>(&v)) return *d;
  return ParseNumber(std::get<std::string>(v));
}

std::string AsText(const CriteriaValue& v) {
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  char buf[32];
  const auto* i = std::get_if<int64_t>(&v);
  auto res = i ? std::to_chars(buf, buf + sizeof buf, *i) : std::to_chars(buf, buf + sizeof buf, std::get<double>(v));
  return std::string(buf, res.ptr);
}

int CompareInteger(int64_t cell, const CriteriaValue& v) {
  if (const auto* i = std::get_if<int64_t>(&v)) return Sign(cell, *i);
  return CompareDoubles(static_cast<double>(cell), AsDouble(v));
}

}  // namespace

int CompareToCriteria(const Table& t, int row, int col, const CriteriaValue& value) {
  switch (t.TypeOf(col)) {
    case 'I':
      return CompareInteger(t.GetInt(row, col), value);
    case 'L':
      return CompareInteger(t.GetLong(row, col), value);
    case 'F':
      return CompareDoubles(t.GetFloat(row, col), AsDouble(value));
    case 'D':
      return CompareDoubles(t.GetDouble(row, col), AsDouble(value));
    case 'S':
      if (const auto* s = std::get_if<std::string>(&value)) return CompareText(t.TextView(row, col), *s);
      return CompareText(t.TextView(row, col), AsText(value));
    case 'B':
      if (const auto* s = std::get_if<std::string>(&value)) return CompareBytes(t.ItemView(row, col), *s);
      return CompareBytes(t.ItemView(row, col), AsText(value));
    default:
      return 0;
  }
}

RowComparator::RowComparator(const Table& t, const std::vector<int>& cols) : table_(t), cols_(cols) {
  for (int c : cols) keys_.push_back({t.TypeOf(c), &t.columns()[c]});
}

int RowComparator::operator()(int a, int b) const {
  for (size_t k = 0; k < keys_.size(); ++k) {
    const Column& c = *keys_[k].column;
    int cmp = 0;
    switch (keys_[k].type) {
      case 'I':
        cmp = Sign(c.i32[a], c.i32[b]);
        break;
      case 'L':
        cmp = Sign(c.i64[a], c.i64[b]);
        break;
      case 'F':
        cmp = CompareDoubles(std::bit_cast<float>(c.i32[a]), std::bit_cast<float>(c.i32[b]));
        break;
      case 'D':
        cmp = CompareDoubles(std::bit_cast<double>(c.i64[a]), std::bit_cast<double>(c.i64[b]));
        break;
      case 'S':
        cmp = c.embeddedNul ? CompareText(table_.TextView(a, cols_[k]), table_.TextView(b, cols_[k]))
                            : CompareText(c.items[a], c.items[b]);
        break;
      case 'B':
        cmp = CompareBytes(c.items[a], c.items[b]);
        break;
      default:
        break;
    }
    if (cmp != 0) return cmp;
  }
  return 0;
}

}  // namespace mk
