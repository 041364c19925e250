// RowCells: the cells of one grid row as the checks of this layer see them.
//
// Sample selection, log validation and the butt-log aids all act on the row
// the scaler is editing. The data entry screen implements RowCells over its
// grid row; tests and headless tools use TextRow. Column names are matched
// without regard to letter case (`LOG` and `Log` name the same column).
//
// Thread safety: none; rows belong to the user-interface thread.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sampling {

class RowCells {
 public:
  virtual ~RowCells() = default;

  // True when the row has a column of that name.
  virtual bool Has(std::string_view column) const = 0;

  // The cell's text; "" when the row has no such column.
  virtual std::string Get(std::string_view column) const = 0;

  // Replaces the cell's text. Does nothing when the row has no such column.
  virtual void Set(std::string_view column, std::string_view text) = 0;

  // The cell read as an integer (CellInt); 0 when empty or absent.
  int GetInt(std::string_view column) const;
};

// A RowCells held as (column, text) pairs in column order.
class TextRow : public RowCells {
 public:
  // A row without columns, or with `cells` as (column, text) in column order.
  TextRow() = default;
  TextRow(std::initializer_list<std::pair<std::string, std::string>> cells) : cells_(cells) {}

  // RowCells: the first column whose name matches (letter case ignored).
  bool Has(std::string_view column) const override;
  std::string Get(std::string_view column) const override;
  void Set(std::string_view column, std::string_view text) override;

  // Adds a column with `text`, or replaces the text of an existing one.
  void Put(std::string_view column, std::string_view text);

 private:
  // Index of the column in cells_, or -1.
  int Find(std::string_view column) const;

  std::vector<std::pair<std::string, std::string>> cells_;
};

}  // namespace sampling
