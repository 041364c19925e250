#include "scaling/load_log_rows.h"

#include "scaling/data_model.h"
#include "scaling/stored_rows.h"
#include "tablestore/slot_guard.h"

namespace scaling {
namespace {

using tablestore::SlotGuard;
using tablestore::TableStore;

// Text as a selection compares it: ASCII letters folded.
std::string Folded(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

// The criteria value of a split: the selection drops the blanks around it.
std::string SplitKey(std::string_view split) {
  const size_t first = split.find_first_not_of(' ');
  if (first == std::string_view::npos) return "";
  const size_t last = split.find_last_not_of(' ');
  return Folded(split.substr(first, last - first + 1));
}

// Adds the load's rows of `table`, read by a Reader (SegmentRowReader or
// DefectRowReader), to `byLog`; a missing table adds nothing.
template <typename Reader, typename ByLog>
int ReadByLog(TableStore& store, const char* table, std::string_view sale, std::string_view llr,
              ByLog* byLog) {
  if (!store.IsOpen()) return tablestore::kNoFile;
  if (store.TableExists(table) < 0) return 0;
  const SlotGuard rows(store,
                       store.Select(table, "", LoadCriteria(sale, llr), "", "DLoadLogRows", ""));
  // A table without the key columns holds no rows of any log.
  if (rows.slot() == tablestore::kNotOneRow) return 0;
  if (rows.slot() < 0) return rows.slot() == tablestore::kNoFile ? rows.slot() : -1;
  const int slot = rows.slot();
  const int logCol = store.ColumnIndex(slot, col::kLog);
  if (logCol < 0) return 0;
  const int splitCol = store.ColumnIndex(slot, col::kS);
  byLog->hasSplit = splitCol >= 0;
  const Reader reader(store, slot);
  for (int row = 0; row < store.RowCount(slot); ++row) {
    const std::string split = byLog->hasSplit ? Folded(CellText(store, slot, row, splitCol)) : "";
    byLog->rows[{CellInt(store, slot, row, logCol), split}].push_back(reader.Read(row));
  }
  return 0;
}

}  // namespace

template <typename Record>
std::vector<Record> StoredLoadRows::ByLog<Record>::Of(int log, const std::string& split) const {
  const auto found = rows.find({log, hasSplit ? split : ""});
  return found == rows.end() ? std::vector<Record>{} : found->second;
}

StoredLogRows StoredLoadRows::Of(int log, std::string_view split) const {
  const std::string key = SplitKey(split);
  return StoredLogRows{segments_.Of(log, key), defects_.Of(log, key)};
}

int ReadStoredLoadRows(TableStore& store, std::string_view scaleSystem, std::string_view sale,
                       std::string_view llr, StoredLoadRows* rows) {
  StoredLoadRows read;
  int rc = ReadByLog<SegmentRowReader>(store, table::kSeg, sale, llr, &read.segments_);
  if (rc < 0) return rc;
  const std::string defects(DefectTable(scaleSystem));
  rc = ReadByLog<DefectRowReader>(store, defects.c_str(), sale, llr, &read.defects_);
  if (rc < 0) return rc;
  *rows = std::move(read);
  return 0;
}

}  // namespace scaling
