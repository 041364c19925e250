// Engine internals behind View's inline getters; not for callers.
//
// Reading a value through a call into the engine costs more than the value
// itself when a caller reads a whole table. So every Table keeps a flat
// description of how each of its columns can be read in place (CellTable),
// and a View over a table reads the common shapes through it with no call:
// little-endian integer columns at their stored width, 32-bit floats, and
// texts lying end to end in one buffer. Everything else (other shapes,
// big-endian hosts, derived views, cells outside the table) takes the
// engine's own path.
//
// The owning Table rewrites its CellTable after every change, so a
// description is valid exactly as long as the values it points to.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace mk::detail {

enum class CellKind : uint8_t {
  kNone,  // no direct read: ask the engine
  // 'I' values of 8, 16 or 32 bits, signed, little-endian: value r is the
  // top `32 - drop` bits of the 32-bit word at words + (r << shift) (the
  // word that ends with the value's last byte; `words` may lie up to three
  // bytes before the values, inside the same buffer).
  kInt,
  // 'I' values of 2^shift bits (1, 2 or 4), unsigned, low bits first:
  // value r is (values[bit / 8] >> bit % 8) & mask, bit = r << shift.
  kBits,
  kFloat,  // 'F' values, 32 bits, host byte order
  // 'S' items end to end: item r is bytes[offsets[r], offsets[r + 1]);
  // every non-empty one ends in a NUL that is not part of the text and
  // holds no other.
  kText,
};

struct CellColumn {
  CellKind kind = CellKind::kNone;
  uint8_t shift = 0;                  // kInt, kBits
  uint8_t drop = 0;                   // kInt
  uint8_t mask = 0;                   // kBits
  const uint8_t* words = nullptr;     // kInt
  const uint8_t* values = nullptr;    // kBits, kFloat
  const uint32_t* offsets = nullptr;  // kText: rows + 1 entries
  const char* bytes = nullptr;        // kText
};

struct CellTable {
  uint32_t rows = 0;
  uint32_t cols = 0;
  // `cols` entries, then one of kind kNone for any column outside.
  const CellColumn* columns = nullptr;
};

// A table with no cells: what views that are not a table's own read from,
// so that every read goes the engine's way.
inline constexpr CellColumn kNoColumn{};
inline constexpr CellTable kNoCells{0, 0, &kNoColumn};

// The description of column `col` of `table`; the sentinel of kind kNone
// when there is no such column (found with no branch).
inline const CellColumn& ColumnOf(const CellTable& table, int col) {
  const auto c = static_cast<uint32_t>(col);
  return table.columns[c < table.cols ? c : table.cols];
}

inline bool InRows(const CellTable& table, int row) {
  return static_cast<uint32_t>(row) < table.rows;
}

template <typename T>
T LoadHost(const uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// Readers of one value of column `c`: set *out to the value in `row` and
// return true, or return false when the column has no direct read for that
// type. REQUIRES: row < the table's rows.

// 'I' values. Each kind reads with no branch of its own; the test of the
// kind goes the same way for every row of a column, so it predicts well.
[[nodiscard]] inline bool ReadInt(const CellColumn& c, int row, int32_t* out) {
  const uint64_t r = static_cast<uint32_t>(row);
  if (c.kind == CellKind::kInt) {
    *out = LoadHost<int32_t>(c.words + (r << c.shift)) >> c.drop;
    return true;
  }
  if (c.kind == CellKind::kBits) {
    const uint64_t bit = r << c.shift;
    *out = (c.values[bit >> 3] >> (bit & 7)) & c.mask;
    return true;
  }
  return false;
}

// 'F' values.
[[nodiscard]] inline bool ReadFloat(const CellColumn& c, int row, float* out) {
  if (c.kind != CellKind::kFloat) return false;
  *out = LoadHost<float>(c.values + size_t{static_cast<uint32_t>(row)} * 4);
  return true;
}

// Item r of items lying end to end in `bytes` (item r spans
// [offsets[r], offsets[r + 1])); S items (`text`) without their
// terminating NUL.
inline std::string_view ItemAt(const char* bytes, const uint32_t* offsets, uint32_t r, bool text) {
  const uint32_t start = offsets[r];
  const size_t n = offsets[r + 1] - start;
  const char* p = bytes + start;
  return std::string_view(p, text && n > 0 && p[n - 1] == '\0' ? n - 1 : n);
}

// Text r of S items lying end to end whose non-empty ones all end in their
// NUL: its length follows from the offsets alone, without touching the bytes.
inline std::string_view TerminatedTextAt(const char* bytes, const uint32_t* offsets, uint32_t r) {
  const uint32_t start = offsets[r];
  const size_t n = offsets[r + 1] - start;
  return std::string_view(bytes + start, n - (n != 0));
}

// 'S' texts; *out points into the column's bytes.
[[nodiscard]] inline bool ReadText(const CellColumn& c, int row, std::string_view* out) {
  if (c.kind != CellKind::kText) return false;
  *out = TerminatedTextAt(c.bytes, c.offsets, static_cast<uint32_t>(row));
  return true;
}

}  // namespace mk::detail
