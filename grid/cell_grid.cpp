#include "grid/cell_grid.h"

#include <algorithm>

#include "platform/text.h"

namespace grid {
namespace {

const std::string kEmpty;
const std::vector<std::string> kNoChoices;

}  // namespace

CellGrid::CellGrid() { rows_.push_back(Row{}); }

CellGrid::~CellGrid() {
  // One at a time from the front: a notice may remove other listeners (a
  // view deletes its model), and those must not be told after they died.
  while (!endListeners_.empty()) {
    CellGridListener* listener = endListeners_.front();
    endListeners_.erase(endListeners_.begin());
    listener->OnGridDestroyed();
  }
}

void CellGrid::AddListener(CellGridListener* listener) { listeners_.push_back(listener); }

void CellGrid::AddEndListener(CellGridListener* listener) { endListeners_.push_back(listener); }

void CellGrid::RemoveListener(CellGridListener* listener) {
  std::erase(listeners_, listener);
  std::erase(endListeners_, listener);
}

void CellGrid::SetColumns(const std::vector<std::string>& names) {
  Notify([&](CellGridListener* l) { l->OnGridAboutToReset(); });
  columns_.assign(names.size(), Column{});
  rows_.clear();
  rows_.push_back(MakeRow());
  for (size_t c = 0; c < names.size(); ++c) rows_[0].cells[c].text = names[c];
  currentRow_ = currentColumn_ = -1;
  EndEditing();
  Notify([&](CellGridListener* l) { l->OnGridReset(); });
}

int CellGrid::ColumnCount() const { return static_cast<int>(columns_.size()); }

const std::string& CellGrid::ColumnName(int column) const { return Text(0, column); }

int CellGrid::ColumnIndex(std::string_view name) const {
  for (int c = 0; c < ColumnCount(); ++c) {
    if (platform::EqualsIgnoringAsciiCase(rows_[0].cells[c].text, name)) return c;
  }
  return -1;
}

int CellGrid::ColumnWidth(int column) const {
  return column >= 0 && column < ColumnCount() ? columns_[column].width : 0;
}

void CellGrid::SetColumnWidth(int column, int width) {
  if (column < 0 || column >= ColumnCount()) return;
  columns_[column].width = std::max(width, 0);
  NotifyCellsChanged(0, RowCount() - 1);
}

char CellGrid::ColumnType(int column) const {
  return column >= 0 && column < ColumnCount() ? columns_[column].type : 'S';
}

void CellGrid::SetColumnType(int column, char type) {
  if (column < 0 || column >= ColumnCount()) return;
  columns_[column].type = type;
  NotifyCellsChanged(0, RowCount() - 1);
}

int CellGrid::ColumnLength(int column) const {
  return column >= 0 && column < ColumnCount() ? columns_[column].length : 0;
}

void CellGrid::SetColumnLength(int column, int length) {
  if (column >= 0 && column < ColumnCount()) columns_[column].length = std::max(length, 0);
}

ValueRule CellGrid::RuleOf(int row, int column) const {
  if (row >= 1 && row < RowCount() && rows_[row].rule) return *rows_[row].rule;
  return ValueRule{ColumnName(column), ColumnType(column), ColumnLength(column)};
}

void CellGrid::SetRowRule(int row, ValueRule rule) {
  if (row >= 1 && row < RowCount()) rows_[row].rule = std::move(rule);
}

int CellGrid::RowCount() const { return static_cast<int>(rows_.size()); }

CellGrid::Row CellGrid::MakeRow() const {
  Row row;
  row.cells.resize(columns_.size());
  return row;
}

int CellGrid::AppendRow() { return InsertRow(RowCount()); }

int CellGrid::InsertRow(int row) {
  if (row < 1 || row > RowCount()) return -1;
  Notify([&](CellGridListener* l) { l->OnRowsAboutToBeInserted(row, 1); });
  rows_.insert(rows_.begin() + row, MakeRow());
  const int oldCurrent = currentRow_;
  if (currentRow_ >= row) ++currentRow_;
  Notify([&](CellGridListener* l) { l->OnRowsInserted(row, 1); });
  if (oldCurrent >= row) NotifyCurrentCell(oldCurrent, false);
  return row;
}

bool CellGrid::DeleteRow(int row) {
  if (row < 1 || row >= RowCount()) return false;
  Notify([&](CellGridListener* l) { l->OnRowsAboutToBeRemoved(row, 1); });
  const int oldCurrent = currentRow_;
  if (currentRow_ == row) EndEditing();
  rows_.erase(rows_.begin() + row);
  if (currentRow_ > row || (currentRow_ == row && row >= RowCount())) --currentRow_;
  if (currentRow_ < 1) currentRow_ = currentColumn_ = -1;
  Notify([&](CellGridListener* l) { l->OnRowsRemoved(row, 1); });
  if (oldCurrent >= row) NotifyCurrentCell(oldCurrent, oldCurrent == row);
  return true;
}

void CellGrid::ClearRows() {
  Notify([&](CellGridListener* l) { l->OnGridAboutToReset(); });
  rows_.resize(1);
  currentRow_ = currentColumn_ = -1;
  EndEditing();
  Notify([&](CellGridListener* l) { l->OnGridReset(); });
}

void CellGrid::SetRows(std::vector<std::vector<std::string>> texts,
                       std::vector<std::string> rowsInView) {
  Notify([&](CellGridListener* l) { l->OnGridAboutToReset(); });
  rows_.resize(1);
  rows_.reserve(texts.size() + 1);
  rowsInView.resize(texts.size());
  for (size_t i = 0; i < texts.size(); ++i) {
    Row row = MakeRow();
    for (size_t c = 0; c < row.cells.size() && c < texts[i].size(); ++c) {
      row.cells[c].text = std::move(texts[i][c]);
    }
    row.rowInView = std::move(rowsInView[i]);
    rows_.push_back(std::move(row));
  }
  currentRow_ = currentColumn_ = -1;
  EndEditing();
  Notify([&](CellGridListener* l) { l->OnGridReset(); });
}

bool CellGrid::ValidCell(int row, int column) const {
  return row >= 0 && row < RowCount() && column >= 0 && column < ColumnCount();
}

const std::string& CellGrid::Text(int row, int column) const {
  return ValidCell(row, column) ? rows_[row].cells[column].text : kEmpty;
}

bool CellGrid::SetText(int row, int column, std::string text) {
  if (!ValidCell(row, column)) return false;
  rows_[row].cells[column].text = std::move(text);
  NotifyCellsChanged(row, row);
  return true;
}

bool CellGrid::SetRowTexts(int row, std::vector<std::string> texts) {
  if (row < 1 || row >= RowCount()) return false;
  texts.resize(columns_.size());
  for (size_t c = 0; c < texts.size(); ++c) rows_[row].cells[c].text = std::move(texts[c]);
  NotifyCellsChanged(row, row);
  return true;
}

const std::vector<std::string>& CellGrid::Choices(int row, int column) const {
  return ValidCell(row, column) ? rows_[row].cells[column].choices : kNoChoices;
}

void CellGrid::SetChoices(int row, int column, std::vector<std::string> choices) {
  if (!ValidCell(row, column)) return;
  rows_[row].cells[column].choices = std::move(choices);
  NotifyCellsChanged(row, row);
}

uint32_t CellGrid::Colour(int row, int column) const {
  return ValidCell(row, column) ? rows_[row].cells[column].colour : kDefaultColour;
}

void CellGrid::SetColour(int row, int column, uint32_t colour) {
  if (!ValidCell(row, column)) return;
  rows_[row].cells[column].colour = colour;
  NotifyCellsChanged(row, row);
}

bool CellGrid::IsReadOnly(int row, int column) const {
  return ValidCell(row, column) && rows_[row].cells[column].readOnly;
}

void CellGrid::SetReadOnly(int row, int column, bool readOnly) {
  if (!ValidCell(row, column)) return;
  rows_[row].cells[column].readOnly = readOnly;
  NotifyCellsChanged(row, row);
}

void CellGrid::SetCellReadOnly(int row, int column, bool readOnly) {
  if (!ValidCell(row, column)) return;
  Cell& cell = rows_[row].cells[column];
  cell.readOnly = readOnly;
  cell.colour = readOnly ? kReadOnlyColour : kDefaultColour;
  NotifyCellsChanged(row, row);
}

const std::string& CellGrid::RowInView(int row) const {
  return row >= 1 && row < RowCount() ? rows_[row].rowInView : kEmpty;
}

void CellGrid::SetRowInView(int row, std::string text) {
  if (row >= 1 && row < RowCount()) rows_[row].rowInView = std::move(text);
}

bool CellGrid::RowEdited(int row) const {
  return row >= 1 && row < RowCount() && rows_[row].edited;
}

bool CellGrid::SetCurrentCell(int row, int column) {
  const bool clear = row == -1 && column == -1;
  if (!clear && (row < 1 || !ValidCell(row, column))) return false;
  if (editing_) {
    CommitEdit(editText_);
    // A listener of the ended edit may have removed rows.
    if (!clear && !ValidCell(row, column)) return false;
  }
  const int oldRow = currentRow_;
  currentRow_ = row;
  currentColumn_ = column;
  NotifyCurrentCell(oldRow, false);
  return true;
}

bool CellGrid::BeginEdit() {
  if (currentRow_ < 1 || IsReadOnly(currentRow_, currentColumn_)) return false;
  editing_ = true;
  editText_ = Text(currentRow_, currentColumn_);
  Notify([&](CellGridListener* l) { l->OnCurrentCellChanged(); });
  return true;
}

bool CellGrid::CommitEdit(std::string text) {
  if (!editing_) return false;
  EndEditing();
  Cell& cell = rows_[currentRow_].cells[currentColumn_];
  CellEdit edit{currentRow_, currentColumn_, cell.text, std::move(text)};
  if (const auto refusal =
          CheckCellText(RuleOf(edit.row, edit.column), edit.newText, cell.choices)) {
    Notify([&](CellGridListener* l) { l->OnCurrentCellChanged(); });
    Notify([&](CellGridListener* l) { l->OnEditRefused(edit, *refusal); });
    return false;
  }
  if (edit.newText != edit.oldText) rows_[edit.row].edited = true;
  cell.text = edit.newText;
  NotifyCellsChanged(edit.row, edit.row);
  Notify([&](CellGridListener* l) { l->OnCurrentCellChanged(); });
  Notify([&](CellGridListener* l) { l->OnEditEnded(edit); });
  return true;
}

void CellGrid::SetEditText(std::string text) {
  if (editing_) editText_ = std::move(text);
}

void CellGrid::EndEditing() {
  editing_ = false;
  editText_.clear();
}

void CellGrid::CancelEdit() {
  if (!editing_) return;
  EndEditing();
  Notify([&](CellGridListener* l) { l->OnCurrentCellChanged(); });
}

void CellGrid::NotifyCellsChanged(int firstRow, int lastRow) {
  Notify([&](CellGridListener* l) { l->OnCellsChanged(firstRow, lastRow); });
}

void CellGrid::NotifyCurrentCell(int oldRow, bool rowReplaced) {
  Notify([&](CellGridListener* l) { l->OnCurrentCellChanged(); });
  if (rowReplaced || oldRow != currentRow_) {
    Notify([&](CellGridListener* l) { l->OnCurrentRowChanged(oldRow, currentRow_); });
  }
}

}  // namespace grid
