#include "sampling/log_tables.h"

#include <utility>

#include "sampling/cell_text.h"

namespace sampling {

namespace {

// Writes `text` into the column named `column` of (slot, row), when the view
// has that column. Returns false only when a present column refused the value.
bool SetByName(tablestore::TableStore& store, int slot, int row, const std::string& column,
               const std::string& text) {
  const int col = store.ColumnIndex(slot, column);
  return col < 0 || store.SetText(slot, row, col, text) == 0;
}

std::vector<DefectValues> ReadDefects(tablestore::TableStore& store, const LogKey& key, int seg) {
  std::vector<DefectValues> defects;
  for (const TextRow& row : ReadRows(store, "DefC", key.Criteria() + ",Seg=" + IntText(seg), "",
                                     {"M", "M1", "M2", "M3", "M4", "LN", "PCT"})) {
    defects.push_back(DefectValues::FromRow(row));
  }
  return defects;
}

std::vector<SegmentDefects> ReadSegments(tablestore::TableStore& store, const LogKey& key) {
  std::vector<SegmentDefects> segments;
  for (const TextRow& row : ReadRows(store, "Seg", key.Criteria(), "", {"Seg", "LN", "SD", "LD"})) {
    SegmentDefects seg;
    seg.seg = row.GetInt("Seg");
    seg.ln = row.GetInt("LN");
    seg.sd = row.GetInt("SD");
    seg.ld = row.GetInt("LD");
    seg.defects = ReadDefects(store, key, seg.seg);
    segments.push_back(std::move(seg));
  }
  return segments;
}

}  // namespace

LogKey LogKey::FromRow(const RowCells& row) {
  return LogKey{LoadKey{row.Get("SALE"), row.Get("LLR")}, row.Get("LOG"), row.Get("S"),
                row.Get("P")};
}

std::string LogKey::Criteria() const { return load.Criteria() + ",Log=" + log + ",S=" + s; }

StoreSegmentRows::StoreSegmentRows(tablestore::TableStore& store, LogKey key, bool writeDiameters)
    : store_(store), key_(std::move(key)), writeDiameters_(writeDiameters) {}

bool StoreSegmentRows::WriteSegments(const std::vector<SegmentShape>& segments) {
  const ScopedSelect view(store_, "Seg", key_.Criteria());
  const int table = view.TableSlot();
  if (!view.ok() || table < 0) return false;
  const int wanted = static_cast<int>(segments.size());
  while (view.RowCount() > wanted) store_.RemoveRow(view.slot(), view.RowCount() - 1);
  // Existing rows are written through the selection; new rows, which the
  // selection does not hold yet, through the table slot at their stored index.
  std::vector<std::pair<int, int>> targets;  // (slot, row) per segment
  for (int i = 0; i < wanted; ++i) {
    if (i < view.RowCount()) {
      targets.emplace_back(view.slot(), i);
      continue;
    }
    const int row = store_.AddRow(view.slot(), -1);
    if (row < 0) return false;
    targets.emplace_back(table, row);
    if (!SetByName(store_, table, row, "SALE", key_.load.sale) ||
        !SetByName(store_, table, row, "LLR", key_.load.llr) ||
        !SetByName(store_, table, row, "LOG", key_.log) ||
        !SetByName(store_, table, row, "S", key_.s) || !SetByName(store_, table, row, "P", key_.p)) {
      return false;
    }
  }
  for (int i = 0; i < wanted; ++i) {
    const auto [slot, row] = targets[i];
    const SegmentShape& seg = segments[i];
    bool ok = SetByName(store_, slot, row, "Seg", IntText(seg.seg)) &&
              SetByName(store_, slot, row, "LN", IntText(seg.ln));
    if (writeDiameters_) {
      ok = ok && SetByName(store_, slot, row, "SD", IntText(seg.sd)) &&
           SetByName(store_, slot, row, "LD", IntText(seg.ld));
    }
    if (!ok) return false;
  }
  return true;
}

SegmentSource LogSegmentSource(tablestore::TableStore& store, const RowCells& row) {
  const LogKey key = LogKey::FromRow(row);
  const int ln = row.GetInt("LN"), sd = row.GetInt("SD"), ld = row.GetInt("LD");
  const bool handEntered = row.GetInt("SkipSeg") != 0;
  return [&store, key, ln, sd, ld, handEntered] {
    StoreSegmentRows(store, key, !handEntered).WriteSegments(NormalSegments(ln, sd, ld));
    return ReadSegments(store, key);
  };
}

bool StoreTaperTable::HasRows() const {
  if (store_.TableExists("Tapers") < 0) return false;
  const ScopedSelect view(store_, "Tapers", "");
  return view.RowCount() > 0;
}

std::optional<float> StoreTaperTable::FindTaper(const std::string& criteria) const {
  const ScopedSelect view(store_, "Tapers", criteria);
  const int col = view.ok() ? store_.ColumnIndex(view.slot(), "TAPER") : -1;
  if (col < 0 || view.RowCount() == 0) return std::nullopt;
  float taper = 0.0f;
  if (store_.GetFloat(view.slot(), 0, col, taper) != 0) return std::nullopt;
  return taper;
}

TaperPlace ReadTaperPlace(tablestore::TableStore& store, const LoadKey& key) {
  const std::vector<TextRow> rows =
      ReadRows(store, "Load", key.Criteria(), "", {"REGION", "FOREST", "DISTRICT"});
  if (rows.empty()) return TaperPlace{};
  const TextRow& load = rows.front();
  return TaperPlace{load.Get("REGION"), load.Get("FOREST"), load.Get("DISTRICT")};
}

}  // namespace sampling
