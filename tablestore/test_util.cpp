#include "tablestore/test_util.h"

#include <fstream>
#include <sstream>

#include "platform/test_support.h"

namespace tablestore::testing {

std::string TempPath(const std::string& stem) {
  static platform::testing::TempFolder folder;
  static int counter = 0;
  return folder.path() + std::to_string(++counter) + "-" + stem;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

int OpenCopyOf(TableStore& reader, const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  const std::string copy = TempPath("copy.scl");
  WriteFile(copy, bytes.str());
  return reader.Open(copy, false);
}

int AppendRow(TableStore& store, int slot, const std::vector<std::string>& values) {
  const int row = store.AddRow(slot, -1);
  for (size_t c = 0; c < values.size(); ++c)
    store.SetText(slot, row, static_cast<int>(c), values[c]);
  return row;
}

std::string Text(const TableStore& store, int slot, int row, int col) {
  std::string text;
  const int rc = store.GetText(slot, row, col, text);
  return rc == 0 ? text : "<err " + std::to_string(rc) + ">";
}

std::vector<std::string> Rows(const TableStore& store, int slot) {
  std::vector<std::string> rows;
  for (int r = 0; r < store.RowCount(slot); ++r) {
    std::string line;
    for (int c = 0; c < store.ColumnCount(slot); ++c) {
      if (c > 0) line += '|';
      line += Text(store, slot, r, c);
    }
    rows.push_back(line);
  }
  return rows;
}

}  // namespace tablestore::testing
