#include "app/load_rename.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <utility>

#include "app/load_actions.h"
#include "tablestore/slot_guard.h"

namespace app {
namespace {

using Key = std::pair<std::string, std::string>;  // SALE, LLR

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The values of `columns` of every row of `table` (empty texts for a column
// the table lacks; no rows for a missing table).
std::vector<std::vector<std::string>> ReadColumns(tablestore::TableStore& store,
                                                  const std::string& table,
                                                  const std::vector<std::string>& columns) {
  const tablestore::TableLease lease(store, table);
  std::vector<std::vector<std::string>> rows;
  if (lease.slot() < 0) return rows;
  std::vector<int> cols;
  for (const std::string& c : columns) cols.push_back(store.ColumnIndex(lease.slot(), c));
  for (int row = 0; row < store.RowCount(lease.slot()); ++row) {
    std::vector<std::string> values(cols.size());
    for (size_t i = 0; i < cols.size(); ++i) {
      if (cols[i] >= 0) store.GetText(lease.slot(), row, cols[i], values[i]);
    }
    rows.push_back(std::move(values));
  }
  return rows;
}

// The SALE and LLR pairs of the Load and Log rows.
std::vector<Key> LoadKeys(tablestore::TableStore& store) {
  std::vector<Key> keys;
  for (const char* table : {"Load", "Log"}) {
    for (auto& row : ReadColumns(store, table, {"SALE", "LLR"})) {
      keys.emplace_back(std::move(row[0]), std::move(row[1]));
    }
  }
  return keys;
}

// Characters of UTF-8 `text` (bytes that do not continue a character).
size_t Characters(const std::string& text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::string Rename(const std::string& value, const ValueChange& change) {
  return !change.newValue.empty() && value == change.oldValue ? change.newValue : value;
}

// Why the new value of `column` cannot be taken; "" when it can.
std::string CheckNewValue(const char* column, const ValueChange& change, size_t maxLength,
                          const std::vector<Key>& keys, bool isSale) {
  if (change.newValue.empty()) return "";
  if (change.newValue.find(',') != std::string::npos) {
    return std::string(column) + " can't have commas";
  }
  if (Characters(change.newValue) > maxLength) {
    return std::string("the new ") + column + " is longer than " + std::to_string(maxLength) +
           " characters";
  }
  const bool held = std::any_of(keys.begin(), keys.end(), [&](const Key& k) {
    return (isSale ? k.first : k.second) == change.oldValue;
  });
  if (!held) return "no load of the file has the " + std::string(column) + " " + change.oldValue;
  return "";
}

// The first pair of loads the rename would merge, as a refusal; "" when
// none.
std::string CheckMerge(const std::vector<Key>& keys, const ValueChange& sale,
                       const ValueChange& llr) {
  std::set<Key> before, after;
  for (const Key& k : keys) {
    const Key old{Lower(k.first), Lower(k.second)};
    if (!before.insert(old).second) continue;
    const Key renamed{Rename(k.first, sale), Rename(k.second, llr)};
    if (!after.insert({Lower(renamed.first), Lower(renamed.second)}).second) {
      return "the file already has a load with SALE " + renamed.first + " and LLR " +
             renamed.second + ": renaming would merge two loads";
    }
  }
  return "";
}

// Gives every row of kRenamedTables whose `column` holds the old value the
// new one. Returns the rows changed, or -1 when a value could not be written.
int RenameColumn(tablestore::TableStore& store, const std::string& column,
                 const ValueChange& change) {
  int changed = 0;
  for (const char* table : kRenamedTables) {
    const tablestore::TableLease lease(store, table);
    const int col = lease.slot() >= 0 ? store.ColumnIndex(lease.slot(), column) : -1;
    if (col < 0) continue;
    for (int row = 0; row < store.RowCount(lease.slot()); ++row) {
      std::string value;
      store.GetText(lease.slot(), row, col, value);
      if (value != change.oldValue) continue;
      if (store.SetText(lease.slot(), row, col, change.newValue) != tablestore::kOk) return -1;
      ++changed;
    }
  }
  return changed;
}

// `change`, or no change when its new value is its old one.
ValueChange Effective(const ValueChange& change) {
  return change.newValue == change.oldValue ? ValueChange{} : change;
}

RenameOutcome Refused(std::string reason, bool wouldMerge) {
  RenameOutcome outcome;
  outcome.status = RenameStatus::kRefused;
  outcome.reason = std::move(reason);
  outcome.wouldMerge = wouldMerge;
  return outcome;
}

}  // namespace

std::vector<std::string> RenameChoices(tablestore::TableStore& store, const std::string& column) {
  std::set<std::string> values;
  for (auto& row : ReadColumns(store, "Log", {column})) values.insert(std::move(row[0]));
  return {values.begin(), values.end()};
}

RenameOutcome RenameSaleOrLlr(tablestore::TableStore& store, platform::Ui& ui,
                              const ValueChange& saleAsked, const ValueChange& llrAsked) {
  RenameOutcome outcome;
  const ValueChange sale = Effective(saleAsked), llr = Effective(llrAsked);
  if (sale.newValue.empty() && llr.newValue.empty()) return outcome;
  const std::vector<Key> keys = LoadKeys(store);
  std::string refusal = CheckNewValue("SALE", sale, kMaxSaleLength, keys, true);
  if (refusal.empty()) refusal = CheckNewValue("LLR", llr, kMaxLlrLength, keys, false);
  if (!refusal.empty()) return Refused(refusal, false);
  refusal = CheckMerge(keys, sale, llr);
  if (!refusal.empty()) return Refused(refusal, true);
  outcome.status = RenameStatus::kRenamed;
  for (const auto& [column, change] : {std::pair<const char*, const ValueChange&>{"SALE", sale},
                                       std::pair<const char*, const ValueChange&>{"LLR", llr}}) {
    if (change.newValue.empty()) continue;
    const int rows = RenameColumn(store, column, change);
    if (rows < 0) {
      ui.ShowMessage({std::string("The new ") + column + " could not be written.",
                      kJournalFailedCaption, platform::Icon::kStop});
      outcome.status = RenameStatus::kNotWritten;
      return outcome;
    }
    // Each entry waits for the one commit that stores both renames with it.
    if (!sampling::AppendJournal(store, std::string("Changed ") + column + " from " +
                                            change.oldValue + " to " + change.newValue)) {
      ui.ShowMessage({std::string("The change of ") + column + " could not be journaled.",
                      kJournalFailedCaption, platform::Icon::kStop});
      outcome.status = RenameStatus::kNotWritten;
      return outcome;
    }
    outcome.rows += rows;
  }
  if (!sampling::CommitChanges(store, ui)) outcome.status = RenameStatus::kNotWritten;
  return outcome;
}

}  // namespace app
