// Select and KeyRetrieve: derived views described by criteria, range, sort and
// column texts.
//
// The criteria values are written into a one-row view named "SelCrit" (two
// rows "SelRCrit" for ranges) that has the source's columns, so that each value
// is converted to its column's type exactly as SetText converts it; the typed
// values are then handed to the engine's selection. These scratch slots are
// taken for the length of the call, which decides the slot the result gets.
#include <algorithm>
#include <utility>

#include "tablestore/slot_guard.h"
#include "tablestore/table_store.h"
#include "tablestore/table_store_state.h"

namespace tablestore {
namespace {

// One name=value (or name=[low,high]) pair of a criteria text.
struct Pair {
  int column = -1;  // in the source view
  std::string low;
  std::string high;  // ranges only
};

std::string WithoutChar(std::string text, char c) {
  text.erase(std::remove(text.begin(), text.end(), c), text.end());
  return detail::Trim(text);
}

// Splits `text` into pairs; with `range`, values are "[low,high]". Returns 0,
// or -3 when a name is not a column of `source`.
int ParsePairs(const TableStore& store, int source, const std::string& text, bool range,
               std::vector<Pair>& pairs) {
  std::string rest = text;
  while (!rest.empty()) {
    std::string name;
    Pair p;
    TableStore::NextToken(rest, name, "=");
    p.column = store.ColumnIndex(source, name);
    if (p.column < 0) return kNotOneRow;
    TableStore::NextToken(rest, p.low, ",");
    if (range) {
      p.low = WithoutChar(p.low, '[');
      TableStore::NextToken(rest, p.high, ",");
      p.high = WithoutChar(p.high, ']');
    }
    pairs.push_back(std::move(p));
  }
  return kOk;
}

// The engine's property names of the columns in the comma-separated `list`, in
// list order. Returns 0, or -3 when a name is not a column of `source`.
int ParseColumns(const TableStore& store, const detail::Slot& source, int sourceSlot,
                 const std::string& list, std::vector<std::string>& names) {
  std::string rest = list;
  while (!rest.empty()) {
    std::string name;
    TableStore::NextToken(rest, name, ",");
    const int col = store.ColumnIndex(sourceSlot, name);
    if (col < 0) return kNotOneRow;
    names.push_back(source.view.NthProperty(col).name);
  }
  return kOk;
}

// The typed value at (row, col) of a criteria view, as the engine compares it.
bool CriteriaValueAt(const mk::View& v, int row, int col, mk::CriteriaValue& out) {
  switch (v.NthProperty(col).type) {
    case mk::PropertyType::kString:
      out = v.GetString(row, col);
      return true;
    case mk::PropertyType::kInt:
      out = int64_t{v.GetInt(row, col)};
      return true;
    case mk::PropertyType::kLong:
      out = v.GetLong(row, col);
      return true;
    case mk::PropertyType::kFloat:
      out = static_cast<double>(v.GetFloat(row, col));
      return true;
    case mk::PropertyType::kDouble:
      out = v.GetDouble(row, col);
      return true;
    case mk::PropertyType::kBytes:
    case mk::PropertyType::kSubview:
      break;
  }
  return false;
}

// Fills the scratch slot `slot` with a view of the pairs' columns and one row
// (two with `range`), writes the values with SetText and reads them back typed.
int BuildCriteria(TableStore& store, detail::StoreState& s, int slot, int source,
                  const std::vector<Pair>& pairs, bool range, mk::Criteria& low,
                  mk::Criteria& high) {
  const mk::View& src = s.slots[source].view;
  std::vector<mk::Property> props;
  std::vector<int> columnOf;  // pair -> column in the criteria view
  for (const Pair& p : pairs) {
    const mk::Property& prop = src.NthProperty(p.column);
    auto it = std::find(props.begin(), props.end(), prop);
    columnOf.push_back(static_cast<int>(it - props.begin()));
    if (it == props.end()) props.push_back(prop);
  }
  mk::View rows = mk::View::Create(props);
  if (!rows.SetSize(range ? 2 : 1)) return kNotOneRow;
  s.slots[slot].view = rows;
  for (size_t i = 0; i < pairs.size(); ++i) {
    if (store.SetText(slot, 0, columnOf[i], pairs[i].low) != kOk) return kNotOneRow;
    if (range && store.SetText(slot, 1, columnOf[i], pairs[i].high) != kOk) return kNotOneRow;
  }
  for (int c = 0; c < static_cast<int>(props.size()); ++c) {
    mk::CriteriaValue lo, hi;
    if (!CriteriaValueAt(rows, 0, c, lo)) return kNotOneRow;
    low.emplace_back(props[c].name, std::move(lo));
    if (range) {
      CriteriaValueAt(rows, 1, c, hi);
      high.emplace_back(props[c].name, std::move(hi));
    }
  }
  return kOk;
}

// Everything a Select call has read from its texts.
struct Request {
  std::vector<std::string> columns;
  std::vector<std::string> sortColumns;
  std::vector<Pair> criteria;
  std::vector<Pair> range;
};

}  // namespace

int TableStore::Select(const std::string& tableName, const std::string& columnList,
                       const std::string& criteria, const std::string& sortList,
                       const std::string& viewName, const std::string& rangeCriteria) {
  if (!IsOpen()) return kNoFile;
  int source = FindView(tableName);
  if (source < 0) source = OpenAView(tableName, s_->inMemoryDefault);
  if (source < 0) return source;
  const detail::Slot& src = s_->slots[source];

  Request req;
  if (ParseColumns(*this, src, source, columnList, req.columns) != kOk ||
      ParseColumns(*this, src, source, sortList, req.sortColumns) != kOk ||
      ParsePairs(*this, source, criteria, false, req.criteria) != kOk ||
      ParsePairs(*this, source, rangeCriteria, true, req.range) != kOk) {
    return kNotOneRow;
  }

  int result = kOk;
  mk::Criteria eq, unused, low, high;
  const int selCrit = criteria.empty() ? -1 : GetViewIndex("SelCrit");
  if (!criteria.empty()) {
    result = selCrit < 0
                 ? selCrit
                 : BuildCriteria(*this, *s_, selCrit, source, req.criteria, false, eq, unused);
  }
  const int selRCrit = (rangeCriteria.empty() || result < 0) ? -1 : GetViewIndex("SelRCrit");
  if (!rangeCriteria.empty() && result == kOk) {
    result = selRCrit < 0 ? selRCrit
                          : BuildCriteria(*this, *s_, selRCrit, source, req.range, true, low, high);
  }

  if (result == kOk) {
    std::vector<mk::View> stages;
    mk::View cur = src.view;
    if (!criteria.empty()) stages.push_back(cur = cur.Select(eq));
    if (!rangeCriteria.empty()) stages.push_back(cur = cur.SelectRange(low, high));
    if (!sortList.empty()) stages.push_back(cur = cur.SortOn(req.sortColumns));
    if (!columnList.empty()) stages.push_back(cur = cur.Project(req.columns));
    result = GetViewIndex(viewName.empty() ? "D" + tableName : viewName);
    if (result >= 0) {
      detail::Slot& out = s_->slots[result];
      out.view = cur;
      out.stages = std::move(stages);
      out.parentSlot = source;
      out.parentSerial = s_->slots[source].serial;
      out.baseName = tableName;
    }
  }
  // Scratch slots are plain views: releasing them commits nothing.
  if (selCrit >= 0) (void)ReleaseView(selCrit);
  if (selRCrit >= 0) (void)ReleaseView(selRCrit);
  return result;
}

int TableStore::KeyRetrieve(const std::string& tableName, const std::string& criteria,
                            const std::string& columnName, std::string& value, bool store) {
  TableLease table(*this, tableName);
  if (table.slot() < 0) return kNotFound;
  SlotGuard sel(*this, Select(tableName, columnName, criteria, "", "_KeyRetrieve_", ""));
  if (sel.slot() < 0) return kNoFile;
  if (RowCount(sel.slot()) != 1) return kNotOneRow;
  const int rc = store ? SetText(sel.slot(), 0, 0, value) : GetText(sel.slot(), 0, 0, value);
  // A column of a type that holds no text, or a view without columns.
  if (rc != kOk) return kNotOneRow;
  // A table opened for the call in memory is committed as it is released
  // (the derived slot first).
  if (sel.Release() != kOk || table.Release() != kOk) return kWriteFailed;
  return kOk;
}

}  // namespace tablestore
