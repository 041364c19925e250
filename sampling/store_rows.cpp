#include "sampling/store_rows.h"

#include "scaling/data_model.h"

namespace sampling {

std::string LoadKey::Criteria() const { return scaling::LoadCriteria(sale, llr); }

ScopedSelect::ScopedSelect(tablestore::TableStore& store, const std::string& table,
                           const std::string& criteria, const std::string& sortList,
                           const std::string& viewName)
    : store_(store),
      table_(store, table),
      view_(store, table_.slot() < 0 ? table_.slot()
                                     : store.Select(table, "", criteria, sortList, viewName, "")) {}

ScopedSelect::~ScopedSelect() = default;

int ScopedSelect::RowCount() const { return ok() ? store_.RowCount(slot()) : 0; }

TextRow ScopedSelect::ReadRow(int row, const std::vector<std::string>& columns) const {
  TextRow out;
  for (const std::string& column : columns) {
    const int col = store_.ColumnIndex(slot(), column);
    if (col < 0) continue;
    std::string text;
    store_.GetText(slot(), row, col, text);
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
  const tablestore::TableLease lease(store, table);
  return lease.slot() >= 0 && store.ColumnIndex(lease.slot(), column) >= 0;
}

}  // namespace sampling
