#include "sampling/store_rows.h"

namespace sampling {

std::string LoadKey::Criteria() const { return "SALE=" + sale + ",LLR=" + llr; }

ScopedSelect::ScopedSelect(tablestore::TableStore& store, const std::string& table,
                           const std::string& criteria, const std::string& sortList,
                           const std::string& viewName)
    : store_(store), table_(table) {
  openedTable_ = store_.FindView(table_) < 0;
  slot_ = store_.Select(table_, "", criteria, sortList, viewName, "");
}

ScopedSelect::~ScopedSelect() {
  if (slot_ >= 0) store_.ReleaseView(slot_);
  // Select keeps a table it opened in a slot; give that slot back too.
  if (openedTable_) {
    const int tableSlot = store_.FindView(table_);
    if (tableSlot >= 0) store_.ReleaseView(tableSlot);
  }
}

int ScopedSelect::RowCount() const { return ok() ? store_.RowCount(slot_) : 0; }

int ScopedSelect::TableSlot() const { return store_.FindView(table_); }

TextRow ScopedSelect::ReadRow(int row, const std::vector<std::string>& columns) const {
  TextRow out;
  for (const std::string& column : columns) {
    const int col = store_.ColumnIndex(slot_, column);
    if (col < 0) continue;
    std::string text;
    store_.GetText(slot_, row, col, text);
    out.Put(column, text);
  }
  return out;
}

std::vector<TextRow> ReadRows(tablestore::TableStore& store, const std::string& table,
                              const std::string& criteria, const std::string& sortList,
                              const std::vector<std::string>& columns) {
  std::vector<TextRow> rows;
  const ScopedSelect view(store, table, criteria, sortList);
  for (int row = 0; row < view.RowCount(); ++row) rows.push_back(view.ReadRow(row, columns));
  return rows;
}

bool TableHasColumn(tablestore::TableStore& store, const std::string& table,
                    const std::string& column) {
  if (store.TableExists(table) < 0) return false;
  const ScopedSelect view(store, table, "");
  return view.ok() && store.ColumnIndex(view.slot(), column) >= 0;
}

}  // namespace sampling
