#include "tablestore/test_util.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace tablestore::testing {
namespace {

// One folder per test process, removed when the process ends.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tablestore-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

std::string TempPath(const std::string& stem) {
  static TempFolder folder;
  static int counter = 0;
  return folder.path() + "/" + std::to_string(++counter) + "-" + stem;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
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
