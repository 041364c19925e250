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
#include "scaling/load_log_rows.h"
#include "scaling/load_volumes.h"
#include "tablestore/table_store.h"

namespace sampling {

// The key of the log in `row`: its SALE, LLR, LOG and S.
scaling::LogKey LogKeyFromRow(const RowCells& row);

// The Seg rows of the log in a Log row, in the open file.
class StoreSegmentRows : public SegmentRowsWriter {
 public:
  // Takes the log's key, P, LN, SD and LD from `row`. REQUIRES: `store`
  // outlives the object.
  StoreSegmentRows(tablestore::TableStore& store, const RowCells& row);

  // Writes the log's normal segmentation (scaling::WriteSegmentRows, which
  // adds or removes rows at the end), then the diameters of `segments` row
  // by row. Returns false when the Seg table cannot hold the segments or
  // `segments` does not have the normal segment count.
  [[nodiscard]] bool WriteSegments(const std::vector<scaling::SegmentShape>& segments) override;

 private:
  tablestore::TableStore& store_;
  scaling::LogKey key_;
  int product_, ln_, sd_, ld_;
};

// The log's Seg rows as stored, in order, each with the DefC rows of its
// segment number in order; none when the rows cannot be read.
std::vector<SegmentDefects> ReadLogSegments(tablestore::TableStore& store,
                                            const scaling::LogKey& key);

// The same from the rows of the log's load read at once
// (scaling::ReadStoredLoadRows with scale system "Cubic"), for callers that
// visit every log of a load.
std::vector<SegmentDefects> LogSegmentsOf(const scaling::StoredLoadRows& rows,
                                          const scaling::LogKey& key);

// The segment source of ValidateLog for the log in `row` (its key, P, LN,
// SD, LD and SkipSeg): it writes the log's segmentation to Seg
// (scaling::WriteSegmentRows; diameters only when SkipSeg is 0), then reads
// the log's Seg rows in order, each with its DefC rows. REQUIRES: `store`
// outlives the source.
SegmentSource LogSegmentSource(tablestore::TableStore& store, const RowCells& row);

// Table Tapers of the open file.
class StoreTaperTable : public TaperTable {
 public:
  // REQUIRES: `store` outlives the object.
  explicit StoreTaperTable(tablestore::TableStore& store) : store_(store) {}

  // TaperTable: HasRows is false without a Tapers table; FindTaper is
  // nullopt when the criteria match no row or name a column the table lacks.
  bool HasRows() const override;
  std::optional<float> FindTaper(const std::string& criteria) const override;

 private:
  tablestore::TableStore& store_;
};

// REGION, FOREST and DISTRICT of load `key` (empty when missing).
TaperPlace ReadTaperPlace(tablestore::TableStore& store, const LoadKey& key);

}  // namespace sampling
