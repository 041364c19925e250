// GridBinding: a CellGrid bound to a TableStore view slot.
//
// The binding fills the grid from the view (header row = the column names;
// data row r+1 = view row r, its `_RowInView_` cell holding "r"), knows each
// column's type letter and new-row default rule (from the view's column
// information, i.e. the DataDictionary), applies those rules to appended
// rows, marks cells read-only, and writes the grid back in one of two forms:
//
//  - in step (the Log grid): a row whose `_RowInView_` holds a number of a
//    view row (not claimed by an earlier grid row) is written into that view
//    row; any other row is new and appended to the view (with the table's
//    defaults) and given its number; afterwards every view row no grid row
//    refers to is removed (last to first) and every `_RowInView_` cell is
//    renumbered to the index its row has now (0, 1, 2 ... in grid order as
//    long as rows were only appended to the grid). A cell whose text is what
//    the view already gives is not written, so a value that its text form
//    rounds ("%g" of a float) is not changed by a write-back; nor is an empty
//    number cell over a stored 0 (the store keeps an empty number as 0).
//    One row can be written back in step on its own (WriteBackRowInStep),
//    so that a screen can store a row as soon as it is finished.
//  - replace-all (segments, defects, KZ): every row of the view is removed
//    (through a derived view this removes them from the stored table), then
//    each grid row is appended with AddRow(slot, -1), every grid column
//    written with SetText into the table's column of the same name, and the
//    caller's `LOG` and `S` values, when passed, written last (they win over
//    grid cells of those columns). The rows are written into the table below
//    a derived view, so a selection may show them only once written. A
//    replace may be repeated (a screen storing each finished row): the rows
//    the binding's last replace wrote are removed first even when an edit of
//    a selection key took them out of the view, so none is left twice.
//    REQUIRES: between two replaces nobody else removes rows of the table.
//
// Bind gives every grid column the view column's type letter and the
// DataDictionary length, which decide what its cells take (cell_check.h).
// Given a Ui, the binding tells the user of every edit the grid refuses.
//
// The binding neither takes nor releases the slot: whoever opened the view
// releases it, after the binding is no longer used. The grid's columns stay
// as Bind set them (rows, texts, colours and flags may change freely); the
// write-backs refuse a grid whose column count has changed.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Ui;
}
namespace tablestore {
class TableStore;
}

namespace grid {

class CellGrid;

// A column's new-row default rule: a code letter and its text.
//   'N' nothing; 'C' copy the cell of the row above (only from the second data
//   row on); 'I' the row above's whole number plus the rule's number (a
//   missing or zero number counts as 1), "%d", only from the second data row
//   on; 'V' the rule's text.
struct DefaultRule {
  char code = 'N';
  std::string text;
};

class GridBinding {
 public:
  // REQUIRES: `store` and `grid` outlive the binding, and so does `ui` when
  // given: every edit the grid refuses is then shown on it as a message box
  // (caption kRefusedCaption, exclamation icon) with the refusal's text.
  GridBinding(tablestore::TableStore& store, CellGrid& grid, platform::Ui* ui = nullptr);
  ~GridBinding();
  GridBinding(const GridBinding&) = delete;
  GridBinding& operator=(const GridBinding&) = delete;

  // Binds the grid to view `slot` showing the columns of `columnList`
  // (comma-separated names in order, blanks around names trimmed; empty: every
  // column of the view in the view's order). Sets the grid's columns, their
  // type letters (the first letter of the view column's storage type), their
  // widths (the DataDictionary length when above 0, else kDefaultColumnWidth)
  // and their default rules, then fills the rows (Fill). Returns 0; -1 for a
  // bad slot; -3 when a listed column is not in the view (the grid is left
  // with no columns).
  [[nodiscard]] int Bind(int slot, const std::string& columnList);
  // The bound slot; -1 before Bind and after a failed Bind.
  int slot() const { return slot_; }

  // Replaces the grid's data rows by the view's rows (texts as GetText gives
  // them; every cell editable in the default colour; no current cell).
  // Returns 0, or -1 when not bound.
  [[nodiscard]] int Fill();
  // Re-reads grid row `row` from the view row its `_RowInView_` names.
  // Returns 0; -1 when the row or its view row does not exist.
  [[nodiscard]] int RefreshRow(int row);

  // The grid column named `name`, ignoring letter case; -1 when absent.
  int Column(std::string_view name) const;
  // The default rule of a grid column ('N' for a bad index).
  const DefaultRule& Rule(int column) const;
  // Overrides a column's rule (tests, and screens that need another rule).
  void SetRule(int column, DefaultRule rule);

  // Appends a data row and applies the default rules to it; returns its index.
  [[nodiscard]] int AppendRow();
  // Applies the default rules to data row `row` (see DefaultRule).
  void ApplyDefaultRules(int row);

  // The read-only marker: marks read-only (kReadOnlyColour) every cell of
  // `row` whose upper-cased column name, wrapped in commas, occurs in the
  // upper-cased `commaList` (a list with a comma at each end, e.g.
  // ",HIT,RND,OverrideVolume,"); an empty list marks every cell of the row.
  // Other cells, and rows other than data rows, are left as they are.
  void MarkReadOnly(int row, std::string_view commaList);

  // Writes the grid back in step (see above). REQUIRES: the view shows the
  // rows of its table one for one in the table's order (a table slot, or a
  // projection of one), so that an appended row is the view's last row.
  // Returns 0; -1 for a bad slot, a grid whose columns changed, or when an
  // appended row is not the view's last row; or the first negative TableStore result (the view may
  // then be partly written; the caller does not commit and says so).
  [[nodiscard]] int WriteBackInStep();
  // Writes data row `row` back in step on its own, as WriteBackInStep writes
  // each row: into the view row its `_RowInView_` names, or, for a new row,
  // appended to the view (with the table's defaults) and given its number.
  // Other rows and view rows are left as they are (a view row whose grid
  // row was deleted stays until the next WriteBackInStep). Returns the
  // number of cells written (0: the view held the row already); -1 for a bad
  // slot or row, a grid whose columns changed, or a view that does not
  // append at its end; or the first negative TableStore result.
  [[nodiscard]] int WriteBackRowInStep(int row);
  // Writes the grid back by replacing the view's rows (see above). `log` and
  // `split`, when given, go to the table's `LOG` and `S` columns of every row
  // (a table without the column ignores them). Afterwards a grid row's
  // `_RowInView_` holds the row it was written to when the view is a table
  // slot, and is empty for a derived view (whose order may differ).
  // Returns 0; -1 for a bad slot or a grid whose columns changed; or the
  // first negative TableStore result.
  [[nodiscard]] int WriteBackReplace(const std::optional<std::string>& log = std::nullopt,
                                     const std::optional<std::string>& split = std::nullopt);

 private:
  class RefusalNotice;

  tablestore::TableStore& store_;
  CellGrid& grid_;
  std::unique_ptr<RefusalNotice> notice_;
  void Unbind();
  bool ColumnsIntact() const;
  void SetUpColumns(int slot, const std::vector<int>& viewColumns);
  std::vector<std::string> ReadRow(int viewRow) const;
  [[nodiscard]] int WriteCells(int slot, int tableRow, const std::vector<int>& columns, int row,
                               bool skipUnchanged);
  [[nodiscard]] int AppendInStep(int row, int& viewRow);
  [[nodiscard]] int RemoveUnreferenced(const std::vector<bool>& referenced);
  void Renumber(const std::vector<int>& viewRowOf, const std::vector<bool>& referenced);
  [[nodiscard]] int RemoveReplaced(int base);
  [[nodiscard]] int RemoveAllRows();

  int slot_ = -1;
  std::vector<int> replaced_;     // rows of the base table the last replace wrote
  std::vector<int> viewColumns_;  // the view column of each grid column
  std::vector<DefaultRule> rules_;
};

}  // namespace grid
