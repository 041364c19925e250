// Table: the rows of one view as the engine stores them, column by column.
//
// Every stored view (a storage's root, each top-level view, each subview in a
// V column, and standalone views) is one Table. Values live decoded in memory;
// each column also remembers where it lies in the file (DiskColumn) so that a
// commit can leave unchanged columns where they are.
//
// Invariants: columns.size() == props.size(); every column holds exactly
// `rows` values in the vector that matches its type (i32 for I and F, i64 for
// L and D, items for S and B, subs for V, each sub non-null and shaped by the
// property's subProperties); F and D values are kept as their bit patterns so
// that they are written back bit for bit.
//
// Change tracking: every mutation stamps the touched column (or the row set)
// with a fresh number from one global counter, so live derived views can tell
// cheaply whether what they depend on changed since they last looked.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "mkstore/items.h"
#include "mkstore/view.h"

namespace mk {

// A column reference in a column list: size in bytes and position relative
// to the dataset's header (position meaningless when size is 0).
struct Ref {
  int64_t size = 0;
  int64_t pos = 0;
  bool operator==(const Ref&) const = default;
};

// Where a column lies in the file as last read or committed.
struct DiskColumn {
  bool valid = false;      // false: never stored, or changed since
  std::vector<Ref> refs;   // in column-list order (FORMAT.md, Column lists)
  std::vector<Ref> memos;  // S/B memo item columns
  int width = 0;           // I/F: width in bits as stored; kept when rewriting
  std::string listBytes;   // V: the column's bytes, to tell whether it changed
};

class Table;

struct Column {
  Ints i32;                                  // I values, F bit patterns
  std::vector<int64_t> i64;                  // L values, D bit patterns
  Items items;                               // S (no trailing NUL) and B bytes
  std::vector<std::shared_ptr<Table>> subs;  // V
  DiskColumn disk;
  uint64_t stamp = 0;        // when its values last changed
  bool embeddedNul = false;  // S: some item may hold a NUL before its end
};

class Table {
 public:
  // An empty table with these properties.
  explicit Table(std::vector<Property> props);
  // Not copyable: cells() points into the table itself.
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  int rows() const { return rows_; }
  const std::vector<Property>& props() const { return props_; }
  int FindProperty(std::string_view name) const;
  PropertyType TypeOf(int col) const { return props_[col].type; }
  bool ValidCell(int row, int col) const {
    return row >= 0 && row < rows_ && col >= 0 && col < static_cast<int>(props_.size());
  }

  // Typed reads: 0 / empty when (row, col) is out of range or of another type.
  int32_t GetInt(int row, int col) const {
    return ValidCell(row, col) && TypeOf(col) == PropertyType::kInt ? cols_[col].i32[row] : 0;
  }
  int64_t GetLong(int row, int col) const {
    return ValidCell(row, col) && TypeOf(col) == PropertyType::kLong ? cols_[col].i64[row] : 0;
  }
  float GetFloat(int row, int col) const {
    return ValidCell(row, col) && TypeOf(col) == PropertyType::kFloat
               ? std::bit_cast<float>(cols_[col].i32[row])
               : 0.0f;
  }
  double GetDouble(int row, int col) const {
    return ValidCell(row, col) && TypeOf(col) == PropertyType::kDouble
               ? std::bit_cast<double>(cols_[col].i64[row])
               : 0.0;
  }
  std::string GetString(int row, int col) const { return std::string(TextView(row, col)); }
  // The text of an S cell up to its first NUL (Metakit's string access);
  // valid until the cell changes.
  std::string_view TextView(int row, int col) const {
    if (!ValidCell(row, col) || TypeOf(col) != PropertyType::kString) return std::string_view();
    const Column& c = cols_[col];
    const std::string_view item = c.items[row];
    // Metakit reads strings up to the first NUL.
    return c.embeddedNul ? item.substr(0, item.find('\0')) : item;
  }
  std::string_view ItemView(int row, int col) const;   // S/B raw bytes, else empty
  std::shared_ptr<Table> Sub(int row, int col) const;  // V, else null

  // Typed writes: false (and nothing changed) when out of range or of another type.
  [[nodiscard]] bool SetInt(int row, int col, int32_t v);
  [[nodiscard]] bool SetLong(int row, int col, int64_t v);
  [[nodiscard]] bool SetFloat(int row, int col, float v);
  [[nodiscard]] bool SetDouble(int row, int col, double v);
  [[nodiscard]] bool SetItem(int row, int col, std::string_view bytes);  // S and B

  // Copies every value of `src`'s row `srcRow` into row `row` whose property
  // has the same name and type in both tables. Subviews are deep-copied.
  void CopyRowFrom(int row, const Table& src, int srcRow);

  // Row set changes. REQUIRES: ranges inside the table.
  void InsertRows(int pos, int count);
  void RemoveRows(int pos, int count);

  // Replaces the property list: columns that stay (same name without regard
  // to case, same type) keep their values and disk state; subviews are
  // restructured recursively; others start empty.
  void Restructure(const std::vector<Property>& props);

  // A deep copy of the values (no disk state).
  std::shared_ptr<Table> DeepCopy() const;

  // The sum of the change stamps of the row set, the layout and `cols`:
  // it changes whenever any of them changes.
  uint64_t Stamp(const std::vector<int>& cols) const;

  // Engine internals for the reader and writer.
  std::vector<Column>& columns() { return cols_; }
  const std::vector<Column>& columns() const { return cols_; }
  // Sets the row count of a freshly built table whose columns were filled by
  // the reader. REQUIRES: the invariants above hold for `rows`.
  void SetLoadedRows(int rows) {
    rows_ = rows;
    DescribeAll();
  }
  void TouchColumn(int col);

  // Changes whenever Restructure replaces the property list.
  uint64_t layoutStamp() const { return layoutStamp_; }

  // How View reads this table's values in place (see cells.h); kept current
  // by every change, at a fixed address for the table's lifetime.
  const detail::CellTable& cells() const { return cells_; }

  static uint64_t NextStamp();

 private:
  void ResizeColumn(int col, int rows);
  // Rewrites the cell description of one column, or of the whole table.
  void DescribeColumn(int col);
  void DescribeAll();

  std::vector<Property> props_;
  std::vector<Column> cols_;
  std::vector<detail::CellColumn> cellColumns_;
  detail::CellTable cells_;
  int rows_ = 0;
  uint64_t rowsStamp_ = 0;
  uint64_t layoutStamp_ = 0;
};

}  // namespace mk
