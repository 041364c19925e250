// Reading rows of the open file's tables for the checks of this layer.
//
// The checks take their values as texts (RowCells), as the screens hold them,
// so rows read from the store come back as TextRows. Only the columns a
// table has are read: a setup may leave any column out, and a missing column
// then reads as empty.
//
// Thread safety: none; the store belongs to the user-interface thread.
#pragma once

#include <string>
#include <vector>

#include "sampling/log_row.h"
#include "tablestore/slot_guard.h"
#include "tablestore/table_store.h"

namespace sampling {

// The key of a load: its sale and load receipt number.
struct LoadKey {
  std::string sale;
  std::string llr;

  // "SALE=<sale>,LLR=<llr>" (scaling::LoadCriteria).
  std::string Criteria() const;
};

// A derived view of a table for the length of one operation. Releases the
// derived slot, and then the table's slot when it had to be opened, so an
// operation leaves the store's slots as it found them.
class ScopedSelect {
 public:
  // Select(table, "", criteria, sortList, viewName, ""). REQUIRES: `store`
  // outlives the object.
  ScopedSelect(tablestore::TableStore& store, const std::string& table, const std::string& criteria,
               const std::string& sortList = "", const std::string& viewName = "");
  // Releases the derived slot, then the table's slot when this object opened it.
  ~ScopedSelect();
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

  // The derived slot, or the negative result of opening the table or of Select.
  int slot() const { return view_.slot(); }
  bool ok() const { return view_.slot() >= 0; }
  // Rows of the derived view; 0 when the selection failed.
  int RowCount() const;

  // The slot of the stored table the selection was made from; negative when
  // the table could not be opened.
  int TableSlot() const { return table_.slot(); }

  // The row's `columns` that the view has, as texts, in the order given.
  TextRow ReadRow(int row, const std::vector<std::string>& columns) const;

 private:
  tablestore::TableStore& store_;
  tablestore::TableLease table_;  // released after the view derived from it
  tablestore::SlotGuard view_;
};

// The rows of `table` matching `criteria` (sorted by `sortList`), each with
// the `columns` the table has. No rows when the table is missing or the
// criteria name a column it lacks.
std::vector<TextRow> ReadRows(tablestore::TableStore& store, const std::string& table,
                              const std::string& criteria, const std::string& sortList,
                              const std::vector<std::string>& columns);

// True when the stored table `table` has a column named `column` (letter
// case ignored); false when either is missing.
bool TableHasColumn(tablestore::TableStore& store, const std::string& table,
                    const std::string& column);

}  // namespace sampling
