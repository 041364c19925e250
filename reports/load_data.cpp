#include "reports/load_data.h"

#include <optional>

#include "scaling/data_model.h"
#include "scaling/stored_rows.h"
#include "tablestore/slot_guard.h"

namespace reports {

namespace col = scaling::col;
using scaling::CellFloat;
using scaling::CellInt;
using scaling::CellText;
using tablestore::TableLease;
using tablestore::TableStore;

namespace {

// The leading number of a split code ("2" -> 2, "A" -> 0).
int SplitNumber(const std::string& s) {
  int value = 0;
  for (char c : s) {
    if (c < '0' || c > '9' || value > 100000000) break;
    value = value * 10 + (c - '0');
  }
  return value;
}

// Calls prepare(slot) once, then visit(slot, row) for every row of `table`
// whose SALE and LLR are the load's; a missing table, or one without SALE or
// LLR, has none.
template <typename Prepare, typename Visit>
void ForLoadRows(TableStore& store, const char* table, const std::string& sale,
                 const std::string& llr, Prepare prepare, Visit visit) {
  if (store.TableExists(table) < 0) return;
  const TableLease lease(store, table);
  const int slot = lease.slot();
  if (slot < 0) return;
  const int cSale = store.ColumnIndex(slot, col::kSale);
  const int cLlr = store.ColumnIndex(slot, col::kLLR);
  if (cSale < 0 || cLlr < 0) return;
  prepare(slot);
  const int rows = store.RowCount(slot);
  std::string text;
  for (int row = 0; row < rows; ++row) {
    if (store.GetText(slot, row, cSale, text) != 0 || text != sale) continue;
    if (store.GetText(slot, row, cLlr, text) != 0 || text != llr) continue;
    visit(slot, row);
  }
}

// Adds every row of `table` of the load, read by a Reader (SegmentRowReader
// or DefectRowReader), to `rows` under its (log, split); a table without S
// holds rows by LOG alone (empty split).
template <typename Reader, typename Rows>
void ReadLogRows(TableStore& store, const char* table, const std::string& sale,
                 const std::string& llr, Rows& rows) {
  std::optional<Reader> reader;
  int cLog = -1, cS = -1;
  const auto prepare = [&](int slot) {
    reader.emplace(store, slot);
    cLog = store.ColumnIndex(slot, col::kLog);
    cS = store.ColumnIndex(slot, col::kS);
  };
  ForLoadRows(store, table, sale, llr, prepare, [&](int slot, int row) {
    const std::string split = cS < 0 ? std::string() : CellText(store, slot, row, cS);
    rows[{CellInt(store, slot, row, cLog), split}].push_back(reader->Read(row));
  });
}

}  // namespace

std::vector<std::pair<std::string, std::string>> ReadLoadKeys(TableStore& store) {
  std::vector<std::pair<std::string, std::string>> keys;
  if (!store.IsOpen() || store.TableExists(scaling::table::kLoad) < 0) return keys;
  const TableLease load(store, scaling::table::kLoad);
  const int slot = load.slot();
  if (slot < 0) return keys;
  const int cSale = store.ColumnIndex(slot, col::kSale);
  const int cLlr = store.ColumnIndex(slot, col::kLLR);
  for (int row = 0; row < store.RowCount(slot); ++row) {
    keys.emplace_back(CellText(store, slot, row, cSale), CellText(store, slot, row, cLlr));
  }
  return keys;
}

int LoadData::Read(TableStore& store, const std::string& sale, const std::string& llr,
                   bool logsOnly) {
  logs_.clear();
  liveIndex_.clear();
  segments_.clear();
  defects_.clear();
  if (!store.IsOpen()) return tablestore::kNoFile;
  ReadLogs(store, sale, llr);
  if (logsOnly) return 0;
  ReadSegments(store, sale, llr);
  ReadDefects(store, sale, llr);
  return 0;
}

void LoadData::ReadLogs(TableStore& store, const std::string& sale, const std::string& llr) {
  static const char* const kNames[17] = {col::kLog,
                                         col::kS,
                                         col::kSP,
                                         col::kP,
                                         col::kG,
                                         col::kB,
                                         col::kLN,
                                         col::kSD,
                                         col::kLD,
                                         col::kKPI,
                                         col::kRND,
                                         col::kHIT,
                                         col::kRem,
                                         col::kGCV,
                                         col::kNCV,
                                         col::kVoid,
                                         col::kOverrideVolume};
  int c[17] = {};
  const auto prepare = [&](int slot) {
    for (int i = 0; i < 17; ++i) c[i] = store.ColumnIndex(slot, kNames[i]);
  };
  ForLoadRows(store, scaling::table::kLog, sale, llr, prepare, [&](int slot, int row) {
    LogEntry e;
    e.row = row;
    e.logText = CellText(store, slot, row, c[0]);
    e.log = CellInt(store, slot, row, c[0]);
    e.s = CellText(store, slot, row, c[1], "1");
    e.split = SplitNumber(e.s);
    e.sp = CellText(store, slot, row, c[2]);
    e.pText = CellText(store, slot, row, c[3]);
    e.p = CellInt(store, slot, row, c[3]);
    e.g = CellText(store, slot, row, c[4]);
    e.b = CellText(store, slot, row, c[5]);
    e.lnText = CellText(store, slot, row, c[6]);
    e.ln = CellInt(store, slot, row, c[6]);
    e.sdText = CellText(store, slot, row, c[7]);
    e.sd = CellInt(store, slot, row, c[7]);
    e.ldText = CellText(store, slot, row, c[8]);
    e.ld = CellInt(store, slot, row, c[8]);
    e.kpi = CellInt(store, slot, row, c[9]);
    e.rnd = CellText(store, slot, row, c[10]);
    e.rndValue = CellInt(store, slot, row, c[10]);
    e.hit = c[11] < 0 ? -1 : CellInt(store, slot, row, c[11]);
    e.rem = CellText(store, slot, row, c[12]);
    e.gcv = CellFloat(store, slot, row, c[13]);
    e.ncv = CellFloat(store, slot, row, c[14]);
    e.isVoid = CellInt(store, slot, row, c[15]);
    e.overrideVolume = CellInt(store, slot, row, c[16]);
    if (e.isVoid == 0) liveIndex_.emplace(Key(e.log, e.s), static_cast<int>(logs_.size()));
    logs_.push_back(std::move(e));
  });
}

void LoadData::ReadSegments(TableStore& store, const std::string& sale, const std::string& llr) {
  ReadLogRows<scaling::SegmentRowReader>(store, scaling::table::kSeg, sale, llr, segments_);
}

void LoadData::ReadDefects(TableStore& store, const std::string& sale, const std::string& llr) {
  ReadLogRows<scaling::DefectRowReader>(store, scaling::table::kDefC, sale, llr, defects_);
}

template <typename Record>
const std::vector<Record>* LoadData::Rows(const std::map<Key, std::vector<Record>>& rows, int log,
                                          const std::string& s) const {
  auto it = rows.find(Key(log, s));
  if (it == rows.end()) it = rows.find(Key(log, std::string()));
  return it == rows.end() ? nullptr : &it->second;
}

void LoadData::LoadCubicVolume(const LogEntry& entry, const scaling::CullFactors& cull,
                               scaling::LogVolume* volume) const {
  // GCV and NCV hold cubic feet whatever the load's scale system, and the
  // defects that count for them are DefC's.
  volume->SetLog(entry.ln, entry.sd, entry.ld, entry.log, entry.p, "Cubic", cull);
  if (const auto* segs = Rows(segments_, entry.log, entry.s)) {
    for (const auto& seg : *segs) volume->AddSegment(seg);
  }
  if (const auto* defs = Rows(defects_, entry.log, entry.s)) {
    for (const auto& d : *defs) volume->AddDefect(d);
  }
}

int LoadData::FindLive(int log, const std::string& s) const {
  const auto it = liveIndex_.find(Key(log, s));
  return it == liveIndex_.end() ? -1 : it->second;
}

}  // namespace reports
