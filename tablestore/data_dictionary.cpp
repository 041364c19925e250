// The data dictionary: column information for new rows, building stored
// tables from DataDictionary rows, and the column lists of screens.
//
// Every operation opens DataDictionary when no slot carries it yet and
// releases it again at the end (TableLease), so callers that keep it open
// (the application does) pay for opening it once.
#include <algorithm>

#include "platform/text.h"
#include "tablestore/slot_guard.h"
#include "tablestore/table_store.h"
#include "tablestore/table_store_state.h"

namespace tablestore {
namespace {

constexpr char kDictionary[] = "DataDictionary";

std::string ReadText(const TableStore& store, int slot, int row, const std::string& column) {
  std::string text;
  store.GetText(slot, row, store.ColumnIndex(slot, column), text);
  return text;
}

std::string WithoutBlanks(std::string text) {
  std::erase_if(text, [](char c) { return c == ' ' || c == '\t'; });
  return text;
}

// The column information of one DataDictionary row.
ColumnInfo InfoFromRow(const TableStore& store, int sel, int row) {
  ColumnInfo info;
  const std::string def = detail::Trim(ReadText(store, sel, row, "DefaultValue"));
  if (!def.empty()) {
    info.defaultKind = def[0];
    info.defaultText = def.substr(1);
  }
  info.minText = detail::TrimLeft(ReadText(store, sel, row, "Min"));
  info.maxText = detail::TrimLeft(ReadText(store, sel, row, "Max"));
  info.validateText = detail::TrimLeft(ReadText(store, sel, row, "Validate"));
  store.GetInt(sel, row, store.ColumnIndex(sel, "Length"), info.length);
  return info;
}

// The only row of `sel` (DataDictionary rows of one table) that describes the
// stored column `column`, or -1 when none or several do. Stored names are
// dictionary names with their blanks dropped, so the match drops them too.
int RowDescribing(const TableStore& store, int sel, const std::string& column) {
  int match = -1, matches = 0;
  for (int r = 0; r < store.RowCount(sel); ++r) {
    if (platform::EqualsIgnoringAsciiCase(WithoutBlanks(ReadText(store, sel, r, "ColumnName")),
                                          column)) {
      match = r;
      ++matches;
    }
  }
  return matches == 1 ? match : -1;
}

// The order value of a DataDictionary row: the orderColumn value, or 1 when
// no orderColumn is given.
int OrderOf(const TableStore& store, int sel, int row, const std::string& orderColumn) {
  if (orderColumn.empty()) return 1;
  int order = 0;
  store.GetInt(sel, row, store.ColumnIndex(sel, orderColumn), order);
  return order;
}

// "name:T" for a DataDictionary row, or "" when the row has no usable name.
std::string ColumnField(const TableStore& store, int sel, int row) {
  const std::string name = WithoutBlanks(ReadText(store, sel, row, "ColumnName"));
  if (name.empty()) return std::string();
  const std::string type = ReadText(store, sel, row, "FieldType");
  const bool known =
      type.size() == 1 && std::string_view("SILFD").find(type[0]) != std::string_view::npos;
  std::string field = name;
  field += ':';
  field += known ? type[0] : 'S';
  return field;
}

}  // namespace

int TableStore::LoadColumnInfo(int slot) {
  if (ColumnCount(slot) < 0) return kNotFound;
  detail::Slot& sl = s_->slots[slot];
  if (sl.parentSlot >= 0) {
    const int parent = detail::LiveParent(*s_, sl);
    if (parent < 0) return kNotFound;
    if (!s_->slots[parent].columnInfoLoaded) {
      const int rc = LoadColumnInfo(parent);
      if (rc < 0) return rc;
    }
    s_->slots[slot].columnInfoLoaded = true;
    return kOk;
  }
  TableLease dict(*this, kDictionary);
  if (dict.slot() < 0) return dict.slot();
  std::vector<ColumnInfo> infos(ColumnCount(slot));
  SlotGuard sel(*this, Select(kDictionary, "", "TableName=" + s_->slots[slot].name, "", "", ""));
  for (int c = 0; c < static_cast<int>(infos.size()); ++c) {
    const int row = RowDescribing(*this, sel.slot(), ColumnName(slot, c));
    if (row >= 0) infos[c] = InfoFromRow(*this, sel.slot(), row);
  }
  s_->slots[slot].columnInfo = std::move(infos);
  s_->slots[slot].columnInfoLoaded = true;
  return kOk;
}

int TableStore::GetColumnInfo(int slot, int col, ColumnInfo& info) const {
  if (col < 0 || col >= ColumnCount(slot)) return kNotFound;
  const detail::Slot& sl = s_->slots[slot];
  if (sl.parentSlot >= 0) {
    const int parent = detail::LiveParent(*s_, sl);
    if (!sl.columnInfoLoaded || parent < 0) return kNotFound;
    return GetColumnInfo(parent, ColumnIndex(parent, ColumnName(slot, col)), info);
  }
  if (!sl.columnInfoLoaded || col >= static_cast<int>(sl.columnInfo.size())) return kNotFound;
  info = sl.columnInfo[col];
  return kOk;
}

int TableStore::RestructureTable(const std::string& tableName, const std::string& orderColumn) {
  if (!IsOpen()) return kNoFile;
  while (FindView(tableName) >= 0) {
    // The restructure commits below; a failed commit of a released copy shows
    // there too (the same file), so its result adds nothing here.
    (void)ReleaseView(FindView(tableName));
  }
  std::string desc = tableName + "[";
  {
    TableLease dict(*this, kDictionary);
    if (dict.slot() < 0) return kNotFound;
    SlotGuard sel(*this, Select(kDictionary, "", "TableName=" + tableName, orderColumn, "", ""));
    if (RowCount(sel.slot()) <= 0) return kNotFound;
    // Numbered columns first, in order; then those with order 0, in
    // DataDictionary order; negative orders are left out.
    for (const bool numbered : {true, false}) {
      for (int r = 0; r < RowCount(sel.slot()); ++r) {
        const int order = OrderOf(*this, sel.slot(), r, orderColumn);
        const std::string used = ReadText(*this, sel.slot(), r, "IsUsed");
        const std::string field = ColumnField(*this, sel.slot(), r);
        if ((numbered ? order > 0 : order == 0) && (used == "Y" || used == "M") && !field.empty()) {
          if (desc.back() != '[') desc += ',';
          desc += field;
        }
      }
    }
  }
  // Rows that leave no column in use would drop every column and with them
  // all the table's data: refuse that like a table without rows.
  if (desc.back() == '[') return kNotFound;
  if (DefineTable(desc + "]") != kOk) return kNotFound;
  return Commit();
}

int TableStore::MakeProjection(std::string& columnList, const std::string& tableName,
                               const std::string& orderColumn) {
  columnList.clear();
  TableLease dict(*this, kDictionary);
  if (dict.slot() < 0) return dict.slot();
  SlotGuard sel(*this, Select(kDictionary, "", "TableName=" + tableName, orderColumn,
                              "DDDInMakeProjection", ""));
  if (sel.slot() < 0) return sel.slot();
  int count = 0;
  for (int r = 0; r < RowCount(sel.slot()); ++r) {
    const bool unused = ReadText(*this, sel.slot(), r, "IsUsed").starts_with('N');
    if (unused || OrderOf(*this, sel.slot(), r, orderColumn) <= 0) continue;
    if (count++ > 0) columnList += ',';
    // Blanks are dropped as RestructureTable drops them, so the list names
    // the stored table's columns.
    columnList += WithoutBlanks(ReadText(*this, sel.slot(), r, "ColumnName"));
  }
  return count;
}

int TableStore::StoreProjection(const std::string& columnList, const std::string& tableName,
                                const std::string& orderColumn) {
  TableLease dict(*this, kDictionary);
  if (dict.slot() < 0) return 1;
  SlotGuard sel(*this, Select(kDictionary, "", "TableName=" + tableName, "", "", ""));
  const int orderCol = ColumnIndex(sel.slot(), orderColumn);
  if (sel.slot() < 0 || orderCol < 0) return 1;
  for (int r = 0; r < RowCount(sel.slot()); ++r) {
    if (SetLong(sel.slot(), r, orderCol, 0) != kOk) return 1;
  }
  std::string rest = columnList;
  for (int position = 1; !rest.empty(); ++position) {
    std::string name;
    NextToken(rest, name, ",");
    const int row = RowDescribing(*this, sel.slot(), name);
    if (row >= 0 && SetLong(sel.slot(), row, orderCol, position) != kOk) return 1;
  }
  if (sel.Release() != kOk) return kWriteFailed;
  return dict.Release();
}

}  // namespace tablestore
