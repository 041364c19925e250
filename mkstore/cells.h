// Engine internals behind View's inline getters; not for callers.
//
// Reading a value through a call into the engine costs more than the value
// itself when a caller reads a whole table. So every Table keeps a flat
// description of how each of its columns can be read in place (CellTable),
// and a View over a table reads the common shapes through it with no call:
// integer columns at their stored width in host byte order, 32-bit floats,
// and text items lying end to end in one buffer. Everything else (other
// shapes, derived views, out-of-range cells) takes the engine's own path.
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
  // 'I' values packed at this width (1, 2 and 4 bits unsigned, low bits
  // first; 8 bits and up signed, host byte order).
  kBits0,
  kBits1,
  kBits2,
  kBits4,
  kInt8,
  kInt16,
  kInt32,
  kFloat,  // 'F' values, 32 bits, host byte order
  // 'S' items end to end: item r is bytes[offsets[r], offsets[r + 1]),
  // without its terminating NUL when it has one, and holds no other NUL.
  kText,
};

struct CellColumn {
  CellKind kind = CellKind::kNone;
  const uint8_t* values = nullptr;    // integer and float kinds
  const uint32_t* offsets = nullptr;  // kText: rows + 1 entries
  const char* bytes = nullptr;        // kText
};

struct CellTable {
  uint32_t rows = 0;
  uint32_t cols = 0;
  const CellColumn* columns = nullptr;  // `cols` entries
};

// The column of cell (row, col) when `table` is set and the cell lies in
// it, else null.
inline const CellColumn* CellAt(const CellTable* table, int row, int col) {
  if (table == nullptr || static_cast<uint32_t>(row) >= table->rows ||
      static_cast<uint32_t>(col) >= table->cols) {
    return nullptr;
  }
  return &table->columns[col];
}

template <typename T>
T LoadHost(const uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// Sets *out to the 'I' value in `row` of `c` and returns true; false when
// `c` has no direct read for 'I' values. REQUIRES: row < the table's rows.
inline bool ReadInt(const CellColumn& c, int row, int32_t* out) {
  const auto r = static_cast<uint32_t>(row);
  const uint8_t* p = c.values;
  switch (c.kind) {
    case CellKind::kBits0:
      *out = 0;
      return true;
    case CellKind::kBits1:
      *out = (p[r >> 3] >> (r & 7)) & 1;
      return true;
    case CellKind::kBits2:
      *out = (p[r >> 2] >> ((r & 3) * 2)) & 3;
      return true;
    case CellKind::kBits4:
      *out = (p[r >> 1] >> ((r & 1) * 4)) & 15;
      return true;
    case CellKind::kInt8:
      *out = static_cast<int8_t>(p[r]);
      return true;
    case CellKind::kInt16:
      *out = LoadHost<int16_t>(p + size_t{r} * 2);
      return true;
    case CellKind::kInt32:
      *out = LoadHost<int32_t>(p + size_t{r} * 4);
      return true;
    default:
      return false;
  }
}

// The same for 'F' values.
inline bool ReadFloat(const CellColumn& c, int row, float* out) {
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

// The same for 'S' texts; *out points into the column's bytes.
inline bool ReadText(const CellColumn& c, int row, std::string_view* out) {
  if (c.kind != CellKind::kText) return false;
  *out = ItemAt(c.bytes, c.offsets, static_cast<uint32_t>(row), true);
  return true;
}

}  // namespace mk::detail
