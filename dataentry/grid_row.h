// GridRow: one row of a CellGrid seen as the RowCells the checks and aids of
// the sampling layer work on (sample selection, log validation, the butt-log
// aids). Cells are found by column name, letter case ignored; writes go to
// the grid with SetText, so every view of the grid sees them.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <string>
#include <string_view>

#include "grid/cell_grid.h"
#include "sampling/log_row.h"

namespace dataentry {

class GridRow : public sampling::RowCells {
 public:
  // REQUIRES: `grid` outlives the object; `row` is a data row of it.
  GridRow(grid::CellGrid& grid, int row) : grid_(grid), row_(row) {}

  bool Has(std::string_view column) const override { return grid_.ColumnIndex(column) >= 0; }
  std::string Get(std::string_view column) const override {
    return grid_.Text(row_, grid_.ColumnIndex(column));
  }
  void Set(std::string_view column, std::string_view text) override {
    grid_.SetText(row_, grid_.ColumnIndex(column), std::string(text));
  }

 private:
  grid::CellGrid& grid_;
  int row_;
};

}  // namespace dataentry
