#include "sampling/log_tables.h"

#include <utility>

#include "sampling/cell_text.h"
#include "scaling/data_model.h"

namespace sampling {

namespace col = scaling::col;
namespace table = scaling::table;

namespace {

// The Seg rows in order, each with the defects of its segment number.
std::vector<SegmentDefects> SegmentsWithDefects(const scaling::StoredLogRows& rows) {
  std::vector<SegmentDefects> segments;
  for (const scaling::SegmentRecord& seg : rows.segments) {
    SegmentDefects s{seg.seg, seg.length, seg.smallEnd, seg.largeEnd, {}};
    for (const scaling::DefectRecord& d : rows.defects) {
      if (d.seg == seg.seg) s.defects.push_back(DefectValues::FromRecord(d));
    }
    segments.push_back(std::move(s));
  }
  return segments;
}

}  // namespace

std::vector<SegmentDefects> ReadLogSegments(tablestore::TableStore& store,
                                            const scaling::LogKey& key) {
  scaling::StoredLogRows rows;
  if (scaling::ReadStoredLogRows(store, "Cubic", key, &rows) < 0) return {};
  return SegmentsWithDefects(rows);
}

std::vector<SegmentDefects> LogSegmentsOf(const scaling::StoredLoadRows& rows,
                                          const scaling::LogKey& key) {
  return SegmentsWithDefects(rows.Of(key.log, key.split));
}

scaling::LogKey LogKeyFromRow(const RowCells& row) {
  return scaling::LogKey{row.Get(col::kSale), row.Get(col::kLLR), row.GetInt(col::kLog),
                         row.Get(col::kS)};
}

StoreSegmentRows::StoreSegmentRows(tablestore::TableStore& store, const RowCells& row)
    : store_(store),
      key_(LogKeyFromRow(row)),
      product_(row.GetInt(col::kP)),
      ln_(row.GetInt(col::kLN)),
      sd_(row.GetInt(col::kSD)),
      ld_(row.GetInt(col::kLD)) {}

bool StoreSegmentRows::WriteSegments(const std::vector<scaling::SegmentShape>& segments) {
  const int count = scaling::WriteSegmentRows(store_, key_, product_, ln_, sd_, ld_, false);
  if (count < 0 || count != static_cast<int>(segments.size())) return false;
  const ScopedSelect view(store_, table::kSeg,
                          scaling::LogCriteria(key_.sale, key_.llr, key_.log, key_.split));
  const int sdCol = store_.ColumnIndex(view.slot(), col::kSD);
  const int ldCol = store_.ColumnIndex(view.slot(), col::kLD);
  if (view.RowCount() != count) return false;
  for (int i = 0; i < count; ++i) {
    if (sdCol >= 0 && store_.SetInt(view.slot(), i, sdCol, segments[i].smallEnd) != 0) return false;
    if (ldCol >= 0 && store_.SetInt(view.slot(), i, ldCol, segments[i].largeEnd) != 0) return false;
  }
  return true;
}

SegmentSource LogSegmentSource(tablestore::TableStore& store, const RowCells& row) {
  const scaling::LogKey key = LogKeyFromRow(row);
  const int product = row.GetInt(col::kP);
  const int ln = row.GetInt(col::kLN), sd = row.GetInt(col::kSD), ld = row.GetInt(col::kLD);
  const bool handEntered = row.GetInt(col::kSkipSeg) != 0;
  return [&store, key, product, ln, sd, ld, handEntered] {
    // Rows that cannot be written are read back as they are, and checked so.
    static_cast<void>(scaling::WriteSegmentRows(store, key, product, ln, sd, ld, handEntered));
    return ReadLogSegments(store, key);
  };
}

bool StoreTaperTable::HasRows() const {
  const tablestore::TableLease tapers(store_, table::kTapers);
  return tapers.slot() >= 0 && store_.RowCount(tapers.slot()) > 0;
}

std::optional<float> StoreTaperTable::FindTaper(const std::string& criteria) const {
  const ScopedSelect view(store_, table::kTapers, criteria);
  const int taperCol = view.ok() ? store_.ColumnIndex(view.slot(), col::kTaper) : -1;
  if (taperCol < 0 || view.RowCount() == 0) return std::nullopt;
  float taper = 0.0f;
  if (store_.GetFloat(view.slot(), 0, taperCol, taper) != 0) return std::nullopt;
  return taper;
}

TaperPlace ReadTaperPlace(tablestore::TableStore& store, const LoadKey& key) {
  const std::vector<TextRow> rows = ReadRows(store, table::kLoad, key.Criteria(), "",
                                             {col::kRegion, col::kForest, col::kDistrict});
  if (rows.empty()) return TaperPlace{};
  const TextRow& load = rows.front();
  return TaperPlace{load.Get(col::kRegion), load.Get(col::kForest), load.Get(col::kDistrict)};
}

}  // namespace sampling
