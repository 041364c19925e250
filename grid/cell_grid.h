// CellGrid: the data behind one editable cell grid of a screen.
//
// Row 0 is the header row: its cells hold the column names. Rows 1..n are the
// data rows. Every row also has a hidden last cell, the `_RowInView_` column,
// which no column loop sees: ColumnCount() does not count it, and it is read
// and written only through RowInView()/SetRowInView(). A binding keeps there
// the row's number in the table view it was filled from (see GridBinding).
//
// Each cell has a text, an optional list of drop-down choices (a cell with
// choices is a drop-down cell; typing any other text stays possible), a
// background colour and a read-only flag. Each column has a width (0 hides the
// column), a field type letter ('S' text, 'I' integer, 'F' decimal, ...) and
// a longest text; together they say what its cells can hold (cell_check.h),
// and an edit that brings a value they cannot hold is refused. A row of a
// transposed grid (one field per row) may carry its own rule instead.
//
// The grid also keeps the current cell and whether it is being edited. Whoever
// shows the grid (the Qt model in gui/) and whoever decides (a screen's logic
// class) listen through CellGridListener; every change made through the
// public methods is reported, so a view never shows stale cells.
//
// Indices are 0-based; an index out of range makes getters return an empty
// value and setters do nothing (returning false where they return a bool).
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "grid/cell_check.h"

namespace grid {

// Colours are 0x00BBGGRR, as the handheld encodes them.
inline constexpr uint32_t kDefaultColour = 0xFFFFFF;   // white
inline constexpr uint32_t kReadOnlyColour = 0xB9FFFF;  // a pale yellow

// The name of the hidden last column.
inline constexpr const char* kRowInViewColumn = "_RowInView_";

// The default width of a new column, in characters.
inline constexpr int kDefaultColumnWidth = 8;

// One ended edit: the cell, its text before and after.
struct CellEdit {
  int row = 0;
  int column = 0;
  std::string oldText;
  std::string newText;
};

// Told about every change of a CellGrid. All methods do nothing by default.
// A listener must stay alive while it is registered, or remove itself; one
// that may outlive the grid registers with AddEndListener too and learns of
// the grid's end through OnGridDestroyed.
class CellGridListener {
 public:
  virtual ~CellGridListener() = default;
  // The columns are about to be replaced or all rows dropped; the grid still
  // shows its old state. OnGridReset follows.
  virtual void OnGridAboutToReset() {}
  // The columns were replaced or all rows changed (SetColumns, ClearRows).
  virtual void OnGridReset() {}
  // `count` rows are about to be inserted before row `first`; the grid still
  // has its old rows. OnRowsInserted follows.
  virtual void OnRowsAboutToBeInserted(int first, int count) {}
  // `count` rows were inserted; the first of them now has index `first`.
  virtual void OnRowsInserted(int first, int count) {}
  // The rows first..first+count-1 are about to be removed; they are still
  // there. OnRowsRemoved follows.
  virtual void OnRowsAboutToBeRemoved(int first, int count) {}
  // The rows first..first+count-1 (old indices) were removed.
  virtual void OnRowsRemoved(int first, int count) {}
  // Some cell of rows first..last changed its text, choices, colour or
  // read-only flag, without an edit by the user (also a column's width or type,
  // reported as every row of the grid).
  virtual void OnCellsChanged(int firstRow, int lastRow) {}
  // The user ended an edit (CommitEdit); the cell holds edit.newText already.
  // Reported also when the text did not change.
  virtual void OnEditEnded(const CellEdit& edit) {}
  // The user ended an edit with a value the cell cannot hold (CommitEdit): the
  // cell kept edit.oldText; `message` says why (see CheckCellText).
  virtual void OnEditRefused(const CellEdit& edit, const std::string& message) {}
  // The current row changed from oldRow to newRow (either may be -1: none),
  // also when the current row was deleted and another took its index.
  virtual void OnCurrentRowChanged(int oldRow, int newRow) {}
  // The current cell or the editing state changed (in any way).
  virtual void OnCurrentCellChanged() {}
  // The grid is being destroyed (told only to end listeners, see
  // AddEndListener). The listener must not touch the grid once this returns;
  // a view drops its pointer to the grid here.
  virtual void OnGridDestroyed() {}
};

class CellGrid {
 public:
  // A grid with no columns and only the (empty) header row.
  CellGrid();
  // Tells every end listener still registered (OnGridDestroyed), in the
  // order they were added; one removed by another one's notice is not told.
  ~CellGrid();
  CellGrid(const CellGrid&) = delete;
  CellGrid& operator=(const CellGrid&) = delete;

  // ---- Listeners -----------------------------------------------------------
  // Registers `listener` (borrowed; must be removed before it dies).
  // Listeners are told in the order they were added.
  void AddListener(CellGridListener* listener);
  // Also tells `listener` of the grid's end (OnGridDestroyed), so that it may
  // outlive the grid. It must be removed before it dies all the same.
  void AddEndListener(CellGridListener* listener);
  // Removes `listener` from both lists (harmless from inside the grid's
  // end notices).
  void RemoveListener(CellGridListener* listener);

  // ---- Columns ---------------------------------------------------------------
  // Replaces every column and drops every data row: the header row holds
  // `names`, widths are kDefaultColumnWidth, type letters 'S', no current cell.
  void SetColumns(const std::vector<std::string>& names);
  // The number of columns, without the hidden `_RowInView_` column.
  int ColumnCount() const;
  // The column's name (the header row's text); "" when out of range.
  const std::string& ColumnName(int column) const;
  // The first column whose name equals `name` ignoring ASCII letter case, or
  // -1. `_RowInView_` is never found.
  int ColumnIndex(std::string_view name) const;
  // Width in characters; 0 hides the column. Negative widths are taken as 0.
  int ColumnWidth(int column) const;
  void SetColumnWidth(int column, int width);
  bool IsColumnHidden(int column) const { return ColumnWidth(column) == 0; }
  // The field type letter: 'S' text, 'I' integer, 'L' long, 'F' float, 'D'
  // double. Defaults to 'S'.
  char ColumnType(int column) const;
  void SetColumnType(int column, char type);
  // The longest text a cell of the column takes, in characters; 0 (the
  // default) sets no limit. Checked for text columns only (cell_check.h).
  int ColumnLength(int column) const;
  void SetColumnLength(int column, int length);
  // What cell (row, column) can hold: the row's own rule when it has one,
  // else the column's name, type letter and length.
  ValueRule RuleOf(int row, int column) const;
  // Gives data row `row` its own rule for every cell of it (a transposed
  // grid, whose rows are the fields); does nothing for a bad index.
  void SetRowRule(int row, ValueRule rule);

  // ---- Rows --------------------------------------------------------------------
  // The number of rows, the header row included (so never less than 1).
  int RowCount() const;
  // The number of data rows (RowCount() - 1).
  int DataRowCount() const { return RowCount() - 1; }
  // Appends an empty data row (default colour, editable, no choices, empty
  // `_RowInView_`) and returns its index.
  int AppendRow();
  // Inserts an empty data row before `row` (1..RowCount(); RowCount()
  // appends) and returns its index, or -1 for a bad index. A current cell at
  // or below `row` moves down with its row (reported as a current row change).
  int InsertRow(int row);
  // Removes data row `row` (>= 1). The current cell moves to the row that
  // takes its place, or to the row above when it was the last; none when no
  // data rows remain. Returns false for a bad index (the header row included).
  bool DeleteRow(int row);
  // Removes every data row; the columns stay.
  void ClearRows();
  // Replaces every data row by one new row per entry of `texts` (default
  // colour, editable, no choices), holding those texts as SetRowTexts takes
  // them and the `_RowInView_` text of the same index in `rowsInView` ("" when
  // missing). No current cell afterwards; reported as one reset, so a view
  // takes thousands of rows at once.
  void SetRows(std::vector<std::vector<std::string>> texts, std::vector<std::string> rowsInView);

  // ---- Cells ---------------------------------------------------------------------
  const std::string& Text(int row, int column) const;
  // Sets a cell's text (row 0 renames the column). Not an edit: listeners see
  // OnCellsChanged, not OnEditEnded. Returns false for a bad index.
  bool SetText(int row, int column, std::string text);
  // Sets the texts of data row `row` from `texts` (one per column, in column
  // order; missing ones become "", extra ones are ignored), reported as one
  // OnCellsChanged. Returns false for a bad index (the header row included).
  bool SetRowTexts(int row, std::vector<std::string> texts);
  // The cell's drop-down choices; empty for a plain text cell.
  const std::vector<std::string>& Choices(int row, int column) const;
  void SetChoices(int row, int column, std::vector<std::string> choices);
  bool IsDropDown(int row, int column) const { return !Choices(row, column).empty(); }
  uint32_t Colour(int row, int column) const;
  void SetColour(int row, int column, uint32_t colour);
  bool IsReadOnly(int row, int column) const;
  // Sets the flag only; the caller chooses the colour (see SetCellReadOnly).
  void SetReadOnly(int row, int column, bool readOnly);
  // Marks a cell read-only in kReadOnlyColour, or editable in kDefaultColour.
  void SetCellReadOnly(int row, int column, bool readOnly);
  // The hidden `_RowInView_` cell of a data row ("" when the row is new).
  const std::string& RowInView(int row) const;
  void SetRowInView(int row, std::string text);
  // True once an edit (CommitEdit) has changed a cell of data row `row`
  // since the row was added; rows filled by SetRows start false. A new row
  // that no edit changed holds only what the program put there.
  bool RowEdited(int row) const;

  // ---- Current cell and editing ---------------------------------------------------
  // The current cell; -1 when there is none.
  int CurrentRow() const { return currentRow_; }
  int CurrentColumn() const { return currentColumn_; }
  // Moves the current cell (a data row and a column; -1, -1 clears it). An
  // edit in progress is committed first with the edit text (EditText). Returns
  // false (and changes nothing) for a bad index, also when the target cell
  // no longer exists after the listeners of that committed edit ran.
  bool SetCurrentCell(int row, int column);
  // True while the current cell is being edited.
  bool IsEditing() const { return editing_; }
  // Starts editing the current cell; the edit text starts as the cell's text.
  // Returns false (nothing changes) when there is no current cell or it is
  // read-only.
  bool BeginEdit();
  // The text the cell's editor holds now; whoever shows the editor keeps it up
  // to date, so that an edit ended by moving the current cell keeps what was
  // typed. Ignored when not editing; "" when not editing.
  void SetEditText(std::string text);
  const std::string& EditText() const { return editText_; }
  // Ends the edit: the current cell takes `text`, and listeners get
  // OnEditEnded with the old and new text. When the cell cannot hold `text`
  // (CheckCellText with RuleOf and the cell's choices) the cell keeps its
  // text and listeners get OnEditRefused instead. Returns false when not
  // editing or refused.
  bool CommitEdit(std::string text);
  // Ends the edit without changing the cell.
  void CancelEdit();

 private:
  struct Cell {
    std::string text;
    std::vector<std::string> choices;
    uint32_t colour = kDefaultColour;
    bool readOnly = false;
  };
  struct Row {
    std::vector<Cell> cells;
    std::string rowInView;
    std::optional<ValueRule> rule;
    bool edited = false;
  };
  struct Column {
    int width = kDefaultColumnWidth;
    char type = 'S';
    int length = 0;
  };

  bool ValidCell(int row, int column) const;
  void EndEditing();
  Row MakeRow() const;
  // Calls `tell` for every listener. Indexed, so that a listener may add or
  // remove listeners from inside a notification.
  template <typename F>
  void Notify(F tell) {
    for (size_t i = 0; i < listeners_.size(); ++i) tell(listeners_[i]);
  }
  void NotifyCellsChanged(int firstRow, int lastRow);
  // Tells of a moved current cell; the current row counts as changed when it
  // moved or when `rowReplaced` (the current row was deleted).
  void NotifyCurrentCell(int oldRow, bool rowReplaced);

  std::vector<Row> rows_;  // rows_[0] is the header row
  std::vector<Column> columns_;
  std::vector<CellGridListener*> listeners_;
  std::vector<CellGridListener*> endListeners_;
  int currentRow_ = -1;
  int currentColumn_ = -1;
  bool editing_ = false;
  std::string editText_;
};

}  // namespace grid
