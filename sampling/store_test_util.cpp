#include "sampling/store_test_util.h"

#include "platform/test_support.h"
#include "sampling/store_rows.h"

namespace sampling::testing {

std::string TempPath(const std::string& stem) {
  static platform::testing::TempFolder folder;
  static int counter = 0;
  return folder.path() + std::to_string(++counter) + "-" + stem;
}

int Append(tablestore::TableStore& store, const std::string& table,
           const std::vector<std::pair<std::string, std::string>>& values) {
  const bool opened = store.FindView(table) < 0;
  const int slot = opened ? store.OpenAView(table, false) : store.FindView(table);
  if (slot < 0) return -1;
  const int row = store.AddRow(slot, -1);
  for (const auto& [column, text] : values) {
    store.SetText(slot, row, store.ColumnIndex(slot, column), text);
  }
  if (opened) store.ReleaseView(slot);
  return row;
}

std::vector<std::string> Dump(tablestore::TableStore& store, const std::string& table,
                              const std::vector<std::string>& columns) {
  std::vector<std::string> lines;
  for (const TextRow& row : ReadRows(store, table, "", "", columns)) {
    std::string line;
    for (size_t i = 0; i < columns.size(); ++i) {
      if (i > 0) line += "|";
      line += row.Get(columns[i]);
    }
    lines.push_back(line);
  }
  return lines;
}

}  // namespace sampling::testing
