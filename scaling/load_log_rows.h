// The stored Seg and defect rows of every log of one load, read with one
// selection per table. ReadStoredLogRows selects per log, a pass over the
// whole table each time; a caller that visits every log of a load (the load
// import's checks) reads them all at once here and takes each log's rows in
// constant time.
//
// Thread safety: as TableStore's (one thread).
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "scaling/load_volumes.h"
#include "tablestore/table_store.h"

namespace scaling {

// The Seg and defect rows of one load, by log.
class StoredLoadRows {
 public:
  // What ReadStoredLogRows gives for log `log`, split `split` of the load:
  // its rows in table order, S compared as a selection compares it (blanks
  // around `split` dropped, letter case ignored); of every split of the log
  // when the table has no S column.
  StoredLogRows Of(int log, std::string_view split) const;

 private:
  friend int ReadStoredLoadRows(tablestore::TableStore& store, std::string_view scaleSystem,
                                std::string_view sale, std::string_view llr, StoredLoadRows* rows);
  // LOG and S (folded; "" when the table has no S column).
  using Key = std::pair<int, std::string>;
  template <typename Record>
  struct ByLog {
    bool hasSplit = true;
    std::map<Key, std::vector<Record>> rows;
    std::vector<Record> Of(int log, const std::string& split) const;
  };
  ByLog<SegmentRecord> segments_;
  ByLog<DefectRecord> defects_;
};

// Reads the Seg rows and the defect rows (DefB when `scaleSystem` begins
// with "B", else DefC) of load `sale`, `llr` into `rows`. Returns 0 (a
// missing table, or one without SALE, LLR or LOG, has no rows); -2 when no
// file is open; -1 when no slot is free (`rows` is then unchanged).
[[nodiscard]] int ReadStoredLoadRows(tablestore::TableStore& store, std::string_view scaleSystem,
                                     std::string_view sale, std::string_view llr,
                                     StoredLoadRows* rows);

}  // namespace scaling
