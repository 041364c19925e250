// View: rows of typed properties, stored column-wise; the unit of data in a
// Metakit storage. A View object is a cheap handle (copying it shares the same
// rows); the rows live as long as any handle or the owning Storage needs them.
//
// Kinds of view:
//  - a top-level view of a Storage (Storage::GetView): changes go to the
//    storage's working copy and reach the file on Storage::Commit;
//  - a standalone view (View::Create, Clone): rows in memory only;
//  - a derived view (Select, SelectRange, SortOn, Project): live over its base.
//    Every read shows the base as it is now (after values are changed, rows
//    inserted or removed in the base, through any handle). Writes through a
//    derived view land in the base row it stands for. Inserting rows into, or
//    removing rows from, a derived view acts on the base as well: an insert
//    appends to the base, a removal removes the base row.
//
// Row and property indices are 0-based ints. Text values are raw 8-bit bytes:
// the engine never converts encodings.
//
// Thread safety: none. All handles sharing rows (a storage and its views) must
// be used from one thread at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "mkstore/cells.h"

namespace mk {

// The type of a property. Each value is the letter that stands for the type
// in a structure description ("Name:S,Count:I"), as files store it: never
// change them. Metakit's old 'M' (memo) properties are read as, and written
// back as, kBytes. A switch on a PropertyType lists every type (no default),
// so that the compiler names any switch a new type would be missing from.
enum class PropertyType : char {
  kString = 'S',   // text
  kInt = 'I',      // 32-bit integer
  kLong = 'L',     // 64-bit integer
  kFloat = 'F',    // 32-bit float
  kDouble = 'D',   // 64-bit double
  kBytes = 'B',    // bytes
  kSubview = 'V',  // a view of its own properties in every row
};

// The letter that stands for `type` in a structure description.
constexpr char TypeLetter(PropertyType type) { return static_cast<char>(type); }

// One property (column): a name and a type.
// Subview (V) values are kept and written back unchanged but cannot be read
// or written through this interface; B values through GetBytes/SetBytes.
struct Property {
  std::string name;
  PropertyType type = PropertyType::kString;
  std::vector<Property> subProperties;  // only for type 'V'

  bool operator==(const Property&) const = default;
};

// A value used in selection criteria: compared with a property's value
// numerically for I, L, F, D and as text (each byte lower-cased) for S.
using CriteriaValue = std::variant<int64_t, double, std::string>;

// A list of (property name, value) pairs: the "row" Metakit selections take.
using Criteria = std::vector<std::pair<std::string, CriteriaValue>>;

class ViewImpl;  // defined in the engine's sources

class View {
 public:
  // An empty view with no properties and no rows.
  View();

  // Copies share the rows. A moved-from handle is left invalid, like the
  // result of a failed lookup.
  View(const View&) = default;
  View& operator=(const View&) = default;
  View(View&& other) noexcept
      : impl_(std::move(other.impl_)), cells_(std::exchange(other.cells_, &detail::kNoCells)) {}
  View& operator=(View&& other) noexcept {
    impl_ = std::move(other.impl_);
    cells_ = std::exchange(other.cells_, &detail::kNoCells);
    return *this;
  }

  // A standalone view with the given properties and no rows.
  static View Create(std::vector<Property> properties);

  // True when this handle refers to view data (every handle does, except those
  // returned by lookups that failed, e.g. Storage::GetView of an unknown name).
  bool IsValid() const;

  // Number of rows (for a derived view: of rows that currently qualify).
  int RowCount() const;
  // Number of properties, and the n-th property. REQUIRES: 0 <= n < PropertyCount().
  int PropertyCount() const;
  const Property& NthProperty(int n) const;
  // Index of the property named `name`, compared without regard to ASCII letter
  // case; -1 when there is none.
  int FindProperty(std::string_view name) const;

  // Typed getters. REQUIRES: 0 <= row < RowCount(), 0 <= col < PropertyCount().
  // A getter used on a property of another type, or on a cell outside the
  // view, returns 0 / empty.
  int32_t GetInt(int row, int col) const;         // 'I'
  int64_t GetLong(int row, int col) const;        // 'L'
  float GetFloat(int row, int col) const;         // 'F'
  double GetDouble(int row, int col) const;       // 'D'
  std::string GetString(int row, int col) const;  // 'S', without Metakit's trailing NUL
  std::string GetBytes(int row, int col) const;   // 'B'
  // The text GetString returns, without a copy: the view points into the
  // engine's own bytes. It stays valid until the next change to the rows
  // behind this view (a setter, an insert or a removal, through any handle,
  // or a Storage::Restructure), or until the storage and every handle on
  // its views are gone, whichever comes first. Copy it to keep it longer.
  std::string_view GetText(int row, int col) const;  // 'S'

  // Typed setters; same preconditions. A setter used on a property of another
  // type changes nothing and returns false; otherwise returns true.
  [[nodiscard]] bool SetInt(int row, int col, int32_t value);
  [[nodiscard]] bool SetLong(int row, int col, int64_t value);
  [[nodiscard]] bool SetFloat(int row, int col, float value);
  [[nodiscard]] bool SetDouble(int row, int col, double value);
  [[nodiscard]] bool SetString(int row, int col, std::string_view bytes);
  [[nodiscard]] bool SetBytes(int row, int col, std::string_view bytes);

  // The row changes below return true when done. A position outside the view
  // (or an invalid view) changes nothing and returns false, so a caller never
  // takes a refused insert for a new row.

  // Inserts `count` empty rows (zero numbers, empty texts) before `pos`
  // (0 <= pos <= RowCount()); a count of 0 or less inserts nothing and is
  // done.
  [[nodiscard]] bool InsertRows(int pos, int count);
  // Appends one empty row and returns its index; -1 for an invalid view.
  [[nodiscard]] int AddRow();
  // Inserts a copy of row `srcRow` of `src` before `pos`; values are copied by
  // property name (properties `src` lacks stay empty).
  [[nodiscard]] bool InsertRowFrom(int pos, const View& src, int srcRow);
  // Removes `count` rows starting at `pos` (the range must lie inside the
  // view; a count of 0 or less removes nothing and is done).
  [[nodiscard]] bool RemoveRows(int pos, int count);
  // Grows (with empty rows) or shrinks the view to `rows` rows (rows >= 0).
  [[nodiscard]] bool SetSize(int rows);

  // Derived views. Properties named in the arguments that this view lacks are
  // ignored by Metakit; callers validate names first.
  // Rows where every named property equals its criteria value.
  View Select(const Criteria& criteria) const;
  // Rows where low <= value <= high for every named property (bounds inclusive).
  View SelectRange(const Criteria& low, const Criteria& high) const;
  // All rows ordered by the named properties, ascending, stable.
  View SortOn(const std::vector<std::string>& properties) const;
  // All rows, with only the named properties in the given order.
  View Project(const std::vector<std::string>& properties) const;

  // A new standalone view with the same properties and no rows.
  View Clone() const;

  // For a derived view: the index, in the view it was derived from, of the
  // row that `row` stands for; for any other view: `row`.
  int IndexInBase(int row) const;

  // The properties as Metakit's description text, e.g. "a:I,s:S,sub[x:F]".
  std::string Describe() const;

  // Engine internals; not for callers.
  explicit View(std::shared_ptr<ViewImpl> impl);
  const std::shared_ptr<ViewImpl>& impl() const { return impl_; }

 private:
  // The getters' way through the engine, for whatever their inline
  // reads below do not cover.
  int32_t GetIntSlow(int row, int col) const;
  float GetFloatSlow(int row, int col) const;
  std::string_view GetTextSlow(int row, int col) const;

  std::shared_ptr<ViewImpl> impl_;
  // The table's cell description when this view is a table's own (rows and
  // columns map one to one), else detail::kNoCells; lives as long as impl_.
  const detail::CellTable* cells_ = &detail::kNoCells;
};

// Callers often read every value of a table: these read the common shapes
// in place, with no call.
inline int32_t View::GetInt(int row, int col) const {
  int32_t v;
  if (detail::InRows(*cells_, row) && detail::ReadInt(detail::ColumnOf(*cells_, col), row, &v))
      [[likely]]
    return v;
  return GetIntSlow(row, col);
}

inline float View::GetFloat(int row, int col) const {
  float v;
  if (detail::InRows(*cells_, row) && detail::ReadFloat(detail::ColumnOf(*cells_, col), row, &v))
      [[likely]]
    return v;
  return GetFloatSlow(row, col);
}

inline std::string_view View::GetText(int row, int col) const {
  std::string_view v;
  if (detail::InRows(*cells_, row) && detail::ReadText(detail::ColumnOf(*cells_, col), row, &v))
      [[likely]]
    return v;
  return GetTextSlow(row, col);
}

inline std::string View::GetString(int row, int col) const {
  return std::string(GetText(row, col));
}

}  // namespace mk
