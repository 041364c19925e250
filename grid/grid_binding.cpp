#include "grid/grid_binding.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "grid/cell_grid.h"
#include "platform/ui.h"
#include "tablestore/table_store.h"
#include "tablestore/value_text.h"

namespace grid {
namespace {

using tablestore::TableStore;

const DefaultRule kNoRule;

// The names of a comma-separated list, blanks trimmed, empty names dropped.
std::vector<std::string> SplitNames(const std::string& list) {
  std::vector<std::string> names;
  std::string rest = list;
  std::string token;
  while (!rest.empty()) {
    TableStore::NextToken(rest, token, ",");
    if (!token.empty()) names.push_back(token);
  }
  return names;
}

// The storage type letter of every column of the slot's view, read from its
// description "name[col:T,col:T,...]"; empty when the slot is invalid.
std::vector<char> ColumnTypes(const TableStore& store, int slot) {
  std::string text;
  std::vector<char> types;
  if (store.DescribeView(slot, text, false) != 0) return types;
  std::string rest = text.substr(text.find('[') + 1);
  if (!rest.empty()) rest.pop_back();  // the closing "]"
  std::string token;
  while (!rest.empty()) {
    TableStore::NextToken(rest, token, ",");
    types.push_back(token.size() >= 2 ? token.back() : 'S');
  }
  return types;
}

// The row number a `_RowInView_` text names, when it is a plain decimal
// number below `limit`; -1 otherwise (a new row).
int ParseRowNumber(const std::string& text, int limit) {
  if (text.empty() || text.size() > 9 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return -1;
  }
  const int row = std::stoi(text);
  return row < limit ? row : -1;
}

// The 'I' rule: the previous cell's whole number plus the rule's number (a
// missing or zero number counts as 1), kept within the int range.
std::string Increment(const std::string& previous, const std::string& ruleText) {
  int64_t step = tablestore::ParseLong(ruleText);
  if (step == 0) step = 1;
  const int64_t sum =
      std::clamp<int64_t>(tablestore::ParseLong(previous) + step, INT32_MIN, INT32_MAX);
  return tablestore::FormatInt(static_cast<int32_t>(sum));
}

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// Whether writing `text` into a cell that now reads `now` would change
// nothing: equal texts, or an empty number over the 0 the store keeps for it.
bool SameValue(const std::string& now, const std::string& text, char type) {
  return now == text || (type != 'S' && text.empty() && now == "0");
}

}  // namespace

// Shows the user every edit the grid refuses.
class GridBinding::RefusalNotice : public CellGridListener {
 public:
  RefusalNotice(CellGrid& grid, platform::Ui& ui) : grid_(grid), ui_(ui) { grid_.AddListener(this); }
  ~RefusalNotice() override { grid_.RemoveListener(this); }
  void OnEditRefused(const CellEdit&, const std::string& message) override {
    ui_.ShowMessage({message, kRefusedCaption, platform::Icon::kExclamation});
  }

 private:
  CellGrid& grid_;
  platform::Ui& ui_;
};

GridBinding::GridBinding(TableStore& store, CellGrid& grid, platform::Ui* ui)
    : store_(store), grid_(grid) {
  if (ui != nullptr) notice_ = std::make_unique<RefusalNotice>(grid, *ui);
}

GridBinding::~GridBinding() = default;

void GridBinding::Unbind() {
  slot_ = -1;
  replaced_.clear();
  viewColumns_.clear();
  rules_.clear();
}

int GridBinding::Bind(int slot, const std::string& columnList) {
  Unbind();
  const int columnCount = store_.ColumnCount(slot);
  if (columnCount < 0) return -1;
  std::vector<std::string> names = SplitNames(columnList);
  if (names.empty()) {
    for (int c = 0; c < columnCount; ++c) names.push_back(store_.ColumnName(slot, c));
  }
  std::vector<int> viewColumns;
  for (std::string& name : names) {
    const int c = store_.ColumnIndex(slot, name);
    if (c < 0) {
      grid_.SetColumns({});
      return -3;
    }
    viewColumns.push_back(c);
    name = store_.ColumnName(slot, c);
  }
  // A table that DataDictionary does not describe simply has no defaults and
  // no lengths: the binding works on with 'N' rules and default widths.
  (void)store_.LoadColumnInfo(slot);
  grid_.SetColumns(names);
  SetUpColumns(slot, viewColumns);
  return Fill();
}

void GridBinding::SetUpColumns(int slot, const std::vector<int>& viewColumns) {
  const std::vector<char> types = ColumnTypes(store_, slot);
  for (size_t i = 0; i < viewColumns.size(); ++i) {
    const int column = static_cast<int>(i);
    const size_t viewColumn = static_cast<size_t>(viewColumns[i]);
    if (viewColumn < types.size()) grid_.SetColumnType(column, types[viewColumn]);
    tablestore::ColumnInfo info;
    if (store_.GetColumnInfo(slot, viewColumns[i], info) != 0) info = {};
    grid_.SetColumnWidth(column, info.length > 0 ? info.length : kDefaultColumnWidth);
    grid_.SetColumnLength(column, info.length);
    rules_.push_back(DefaultRule{info.defaultKind, info.defaultText});
  }
  slot_ = slot;
  viewColumns_ = viewColumns;
}

std::vector<std::string> GridBinding::ReadRow(int viewRow) const {
  std::vector<std::string> texts(viewColumns_.size());
  // A column of a type with no text form (GetText gives 1) shows as "".
  for (size_t c = 0; c < viewColumns_.size(); ++c) {
    store_.GetText(slot_, viewRow, viewColumns_[c], texts[c]);
  }
  return texts;
}

int GridBinding::Fill() {
  const int rows = store_.RowCount(slot_);
  if (rows < 0) return -1;
  std::vector<std::vector<std::string>> texts;
  std::vector<std::string> rowsInView;
  texts.reserve(rows);
  rowsInView.reserve(rows);
  for (int v = 0; v < rows; ++v) {
    texts.push_back(ReadRow(v));
    rowsInView.push_back(std::to_string(v));
  }
  grid_.SetRows(std::move(texts), std::move(rowsInView));
  return 0;
}

int GridBinding::RefreshRow(int row) {
  const int v = ParseRowNumber(grid_.RowInView(row), store_.RowCount(slot_));
  if (v < 0 || !grid_.SetRowTexts(row, ReadRow(v))) return -1;
  return 0;
}

int GridBinding::Column(std::string_view name) const { return grid_.ColumnIndex(name); }

const DefaultRule& GridBinding::Rule(int column) const {
  return column >= 0 && column < static_cast<int>(rules_.size()) ? rules_[column] : kNoRule;
}

void GridBinding::SetRule(int column, DefaultRule rule) {
  if (column >= 0 && column < static_cast<int>(rules_.size())) rules_[column] = std::move(rule);
}

int GridBinding::AppendRow() {
  const int row = grid_.AppendRow();
  ApplyDefaultRules(row);
  return row;
}

void GridBinding::ApplyDefaultRules(int row) {
  if (row < 1 || row >= grid_.RowCount()) return;
  for (int c = 0; c < grid_.ColumnCount(); ++c) {
    const DefaultRule& rule = Rule(c);
    if (rule.code == 'V') {
      grid_.SetText(row, c, rule.text);
    } else if (rule.code == 'C' && row > 1) {
      grid_.SetText(row, c, grid_.Text(row - 1, c));
    } else if (rule.code == 'I' && row > 1) {
      grid_.SetText(row, c, Increment(grid_.Text(row - 1, c), rule.text));
    }
  }
}

void GridBinding::MarkReadOnly(int row, std::string_view commaList) {
  if (row < 1) return;
  const std::string list = Upper(commaList);
  for (int c = 0; c < grid_.ColumnCount(); ++c) {
    if (list.empty() || list.find("," + Upper(grid_.ColumnName(c)) + ",") != std::string::npos) {
      grid_.SetCellReadOnly(row, c, true);
    }
  }
}

int GridBinding::WriteCells(int slot, int tableRow, const std::vector<int>& columns, int row,
                            bool skipUnchanged) {
  std::string now;
  int written = 0;
  for (size_t c = 0; c < columns.size(); ++c) {
    const std::string& text = grid_.Text(row, static_cast<int>(c));
    if (skipUnchanged && store_.GetText(slot, tableRow, columns[c], now) == 0 &&
        SameValue(now, text, grid_.ColumnType(static_cast<int>(c)))) {
      continue;
    }
    // A positive result (a column of a type with no text form) changes
    // nothing and is no failure.
    const int rc = store_.SetText(slot, tableRow, columns[c], text);
    if (rc < 0) return rc;
    ++written;
  }
  return written;
}

int GridBinding::AppendInStep(int row, int& viewRow) {
  const int before = store_.RowCount(slot_);
  const int added = store_.AddRow(slot_, -1);
  if (added < 0) return added;
  // Only a view that shows its table one for one gives the new row the
  // index AddRow reports, at its end.
  if (added != before || store_.RowCount(slot_) != before + 1) return -1;
  viewRow = added;
  return WriteCells(slot_, added, viewColumns_, row, false);
}

int GridBinding::RemoveUnreferenced(const std::vector<bool>& referenced) {
  for (int v = static_cast<int>(referenced.size()) - 1; v >= 0; --v) {
    if (referenced[v]) continue;
    const int rc = store_.RemoveRow(slot_, v);
    if (rc < 0) return rc;
  }
  return 0;
}

void GridBinding::Renumber(const std::vector<int>& viewRowOf, const std::vector<bool>& referenced) {
  // removedBefore[v]: how many of the view rows 0..v-1 were removed.
  std::vector<int> removedBefore(referenced.size() + 1, 0);
  for (size_t v = 0; v < referenced.size(); ++v) {
    removedBefore[v + 1] = removedBefore[v] + (referenced[v] ? 0 : 1);
  }
  for (int row = 1; row < grid_.RowCount(); ++row) {
    const size_t v = static_cast<size_t>(viewRowOf[row]);
    const int removed = removedBefore[std::min(v, referenced.size())];
    grid_.SetRowInView(row, std::to_string(viewRowOf[row] - removed));
  }
}

bool GridBinding::ColumnsIntact() const {
  return grid_.ColumnCount() == static_cast<int>(viewColumns_.size());
}

int GridBinding::WriteBackInStep() {
  const int viewRows = store_.RowCount(slot_);
  if (viewRows < 0 || !ColumnsIntact()) return -1;
  std::vector<bool> referenced(viewRows, false);
  std::vector<int> viewRowOf(grid_.RowCount(), -1);
  for (int row = 1; row < grid_.RowCount(); ++row) {
    int v = ParseRowNumber(grid_.RowInView(row), viewRows);
    int rc = 0;
    if (v >= 0 && !referenced[v]) {
      referenced[v] = true;
      rc = WriteCells(slot_, v, viewColumns_, row, true);
    } else {
      rc = AppendInStep(row, v);
    }
    if (rc < 0) return rc;
    viewRowOf[row] = v;
  }
  const int rc = RemoveUnreferenced(referenced);
  if (rc < 0) return rc;
  Renumber(viewRowOf, referenced);
  return 0;
}

int GridBinding::WriteBackRowInStep(int row) {
  const int viewRows = store_.RowCount(slot_);
  if (viewRows < 0 || !ColumnsIntact() || row < 1 || row >= grid_.RowCount()) return -1;
  int v = ParseRowNumber(grid_.RowInView(row), viewRows);
  if (v >= 0) return WriteCells(slot_, v, viewColumns_, row, true);
  const int rc = AppendInStep(row, v);
  if (rc < 0) return rc;
  grid_.SetRowInView(row, std::to_string(v));
  return rc;
}

// The rows the last replace wrote go first: a row whose key cells were edited
// (a defect moved to another segment) has left the selection, and would
// otherwise stay beside its new copy.
int GridBinding::RemoveReplaced(int base) {
  std::vector<int> rows = std::exchange(replaced_, {});
  std::sort(rows.rbegin(), rows.rend());
  for (int row : rows) {
    if (row >= store_.RowCount(base)) continue;
    const int rc = store_.RemoveRow(base, row);
    if (rc < 0) return rc;
  }
  return 0;
}

int GridBinding::RemoveAllRows() {
  for (int left = store_.RowCount(slot_); left > 0;) {
    const int now = store_.RemoveRow(slot_, 0);
    if (now < 0) return now;
    if (now >= left) return -1;  // the view does not shrink: never loop forever
    left = now;
  }
  return 0;
}

int GridBinding::WriteBackReplace(const std::optional<std::string>& log,
                                  const std::optional<std::string>& split) {
  const int base = store_.BaseSlot(slot_);
  if (store_.RowCount(slot_) < 0 || base < 0 || !ColumnsIntact()) return -1;
  int rc = RemoveReplaced(base);
  if (rc >= 0) rc = RemoveAllRows();
  if (rc < 0) return rc;
  std::vector<int> columns;
  for (int viewColumn : viewColumns_) {
    columns.push_back(store_.ColumnIndex(base, store_.ColumnName(slot_, viewColumn)));
  }
  const int logColumn = store_.ColumnIndex(base, "LOG");
  const int splitColumn = store_.ColumnIndex(base, "S");
  for (int row = 1; row < grid_.RowCount(); ++row) {
    const int added = store_.AddRow(slot_, -1);
    if (added < 0) return added;
    rc = WriteCells(base, added, columns, row, false);
    if (rc >= 0 && log && logColumn >= 0) rc = store_.SetText(base, added, logColumn, *log);
    if (rc >= 0 && split && splitColumn >= 0) {
      rc = store_.SetText(base, added, splitColumn, *split);
    }
    if (rc < 0) return rc;
    replaced_.push_back(added);
    grid_.SetRowInView(row, base == slot_ ? std::to_string(added) : std::string());
  }
  return 0;
}

}  // namespace grid
