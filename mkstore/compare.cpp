#include "mkstore/compare.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>
#include <unordered_map>

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
  auto res = i ? std::to_chars(buf, buf + sizeof buf, *i)
               : std::to_chars(buf, buf + sizeof buf, std::get<double>(v));
  return std::string(buf, res.ptr);
}

int CompareInteger(int64_t cell, const CriteriaValue& v) {
  if (const auto* i = std::get_if<int64_t>(&v)) return Sign(cell, *i);
  return CompareDoubles(static_cast<double>(cell), AsDouble(v));
}

}  // namespace

int CompareToCriteria(const Table& t, int row, int col, const CriteriaValue& value) {
  switch (t.TypeOf(col)) {
    case PropertyType::kInt:
      return CompareInteger(t.GetInt(row, col), value);
    case PropertyType::kLong:
      return CompareInteger(t.GetLong(row, col), value);
    case PropertyType::kFloat:
      // Metakit holds the criteria in a row of the same types: a float.
      return CompareDoubles(t.GetFloat(row, col), static_cast<float>(AsDouble(value)));
    case PropertyType::kDouble:
      return CompareDoubles(t.GetDouble(row, col), AsDouble(value));
    case PropertyType::kString:
      if (const auto* s = std::get_if<std::string>(&value))
        return CompareText(t.TextView(row, col), *s);
      return CompareText(t.TextView(row, col), AsText(value));
    case PropertyType::kBytes:
      if (const auto* s = std::get_if<std::string>(&value))
        return CompareBytes(t.ItemView(row, col), *s);
      return CompareBytes(t.ItemView(row, col), AsText(value));
    case PropertyType::kSubview:
      break;  // subviews match nothing and everything alike
  }
  return 0;
}

namespace {

// Order-preserving unsigned keys: comparing keys compares values.
uint64_t FloatKey(double v) {
  if (std::isnan(v)) return 0;
  if (v == 0) v = 0;  // -0.0 sorts with 0.0
  const auto bits = std::bit_cast<uint64_t>(v);
  return ((bits >> 63) ? ~bits : bits | (uint64_t{1} << 63)) + 1;
}

// Case-insensitive hashing for text ranks.
struct TextHash {
  size_t operator()(std::string_view s) const {
    uint64_t h = 14695981039346656037u;
    for (char c : s) h = (h ^ static_cast<unsigned char>(AsciiLower(c))) * 1099511628211u;
    return static_cast<size_t>(h);
  }
};
struct TextEqual {
  bool operator()(std::string_view a, std::string_view b) const { return CompareText(a, b) == 0; }
};
struct BytesHash {
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};

// Replaces each value by its rank among the distinct values: hashing once
// per row is much cheaper than comparing texts inside the sort.
template <typename Hash, typename Equal, typename Less>
void RankTexts(const std::vector<std::string_view>& values, size_t k, size_t j,
               std::vector<uint64_t>* keys, Less less) {
  std::unordered_map<std::string_view, uint32_t, Hash, Equal> ids;
  std::vector<std::string_view> distinct;
  std::vector<uint32_t> idOf(values.size());
  for (size_t r = 0; r < values.size(); ++r) {
    auto [it, added] = ids.emplace(values[r], static_cast<uint32_t>(distinct.size()));
    if (added) distinct.push_back(values[r]);
    idOf[r] = it->second;
  }
  std::vector<uint32_t> byValue(distinct.size());
  for (uint32_t i = 0; i < byValue.size(); ++i) byValue[i] = i;
  std::sort(byValue.begin(), byValue.end(),
            [&](uint32_t a, uint32_t b) { return less(distinct[a], distinct[b]); });
  std::vector<uint32_t> rank(distinct.size());
  for (uint32_t i = 0; i < byValue.size(); ++i) rank[byValue[i]] = i;
  for (size_t r = 0; r < values.size(); ++r) (*keys)[r * k + j] = rank[idOf[r]];
}

void FillKeys(const Table& t, const std::vector<int>& rows, int col, size_t k, size_t j,
              std::vector<uint64_t>* keys) {
  const size_t n = rows.size();
  const PropertyType type = t.TypeOf(col);
  if (type == PropertyType::kString || type == PropertyType::kBytes) {
    std::vector<std::string_view> values(n);
    for (size_t r = 0; r < n; ++r)
      values[r] =
          type == PropertyType::kString ? t.TextView(rows[r], col) : t.ItemView(rows[r], col);
    if (type == PropertyType::kString) {
      RankTexts<TextHash, TextEqual>(
          values, k, j, keys,
          [](std::string_view a, std::string_view b) { return CompareText(a, b) < 0; });
    } else {
      RankTexts<BytesHash, std::equal_to<std::string_view>>(
          values, k, j, keys,
          [](std::string_view a, std::string_view b) { return CompareBytes(a, b) < 0; });
    }
    return;
  }
  for (size_t r = 0; r < n; ++r) {
    uint64_t key = 0;
    switch (type) {
      case PropertyType::kInt:
        key = static_cast<uint32_t>(t.GetInt(rows[r], col)) ^ 0x80000000u;
        break;
      case PropertyType::kLong:
        key = static_cast<uint64_t>(t.GetLong(rows[r], col)) ^ (uint64_t{1} << 63);
        break;
      case PropertyType::kFloat:
        key = FloatKey(t.GetFloat(rows[r], col));
        break;
      case PropertyType::kDouble:
        key = FloatKey(t.GetDouble(rows[r], col));
        break;
      case PropertyType::kString:  // ranked above
      case PropertyType::kBytes:
      case PropertyType::kSubview:  // subviews do not order
        break;
    }
    (*keys)[r * k + j] = key;
  }
}

}  // namespace

std::vector<int> StableOrder(const Table& t, const std::vector<int>& rows,
                             const std::vector<int>& cols) {
  const size_t n = rows.size();
  const size_t k = cols.size();
  std::vector<uint64_t> keys(n * k);
  for (size_t j = 0; j < k; ++j) FillKeys(t, rows, cols[j], k, j, &keys);
  std::vector<int> order(n);
  for (size_t i = 0; i < n; ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const uint64_t* ka = &keys[static_cast<size_t>(a) * k];
    const uint64_t* kb = &keys[static_cast<size_t>(b) * k];
    for (size_t j = 0; j < k; ++j) {
      if (ka[j] != kb[j]) return ka[j] < kb[j];
    }
    return false;
  });
  return order;
}

}  // namespace mk
