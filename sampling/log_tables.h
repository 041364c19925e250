// The rows of one log in the open file's tables: its segments (Seg), its
// cubic defects (DefC) and the taper table (Tapers), as the log checks and
// the butt-log aids of the data entry screen need them.
//
// Thread safety: none; the store belongs to the user-interface thread.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sampling/butt_log.h"
#include "sampling/log_row.h"
#include "sampling/log_validation.h"
#include "sampling/store_rows.h"
#include "tablestore/table_store.h"

namespace sampling {

// The key of one log (or split) of a load, as texts from its Log row.
struct LogKey {
  LoadKey load;
  std::string log;
  std::string s;
  std::string p;  // copied into new Seg rows

  // Takes SALE, LLR, LOG, S and P from `row`.
  static LogKey FromRow(const RowCells& row);

  // "SALE=..,LLR=..,Log=..,S=..": the log's Seg and defect rows.
  std::string Criteria() const;
};

// The Seg rows of one log in the open file. New rows get the log's SALE,
// LLR, LOG, S and P.
class StoreSegmentRows : public SegmentRowsWriter {
 public:
  // With `writeDiameters` false only Seg and LN are written (the scaler
  // enters segment diameters by hand when the log's SkipSeg is set).
  // REQUIRES: `store` outlives the object.
  StoreSegmentRows(tablestore::TableStore& store, LogKey key, bool writeDiameters = true);

  bool WriteSegments(const std::vector<SegmentShape>& segments) override;

 private:
  tablestore::TableStore& store_;
  LogKey key_;
  bool writeDiameters_;
};

// The segment source of ValidateLog for the log in `row` (LN, SD, LD,
// SkipSeg and the key columns): it writes the log's normal segmentation to
// Seg (diameters only when SkipSeg is 0), then reads the log's Seg rows in
// order with each segment's DefC rows. REQUIRES: `store` outlives the source.
SegmentSource LogSegmentSource(tablestore::TableStore& store, const RowCells& row);

// Table Tapers of the open file.
class StoreTaperTable : public TaperTable {
 public:
  // REQUIRES: `store` outlives the object.
  explicit StoreTaperTable(tablestore::TableStore& store) : store_(store) {}

  bool HasRows() const override;
  std::optional<float> FindTaper(const std::string& criteria) const override;

 private:
  tablestore::TableStore& store_;
};

// REGION, FOREST and DISTRICT of load `key` (empty when missing).
TaperPlace ReadTaperPlace(tablestore::TableStore& store, const LoadKey& key);

}  // namespace sampling
