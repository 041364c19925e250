#include "scaling/load_volumes.h"

#include <cctype>
#include <map>
#include <utility>
#include <vector>

#include "scaling/data_model.h"
#include "scaling/log_segmenter.h"
#include "scaling/stored_rows.h"
#include "scaling/volume_math.h"
#include "tablestore/slot_guard.h"

namespace scaling {
namespace {

using tablestore::SlotGuard;
using tablestore::TableStore;

// Column indices of one slot, looked up once; -1 for columns it lacks.
class Columns {
 public:
  Columns(const TableStore& store, int slot) : store_(store), slot_(slot) {}
  int operator[](const char* name) const { return store_.ColumnIndex(slot_, name); }

 private:
  const TableStore& store_;
  int slot_;
};

// The rows of `table` belonging to the log, in a new derived slot named
// `viewName`: by SALE, LLR, LOG and S, or without S when the table lacks it.
// Returns the slot or a negative code.
int SelectLogRows(TableStore& store, const char* table, const LogKey& key, const char* viewName) {
  const int slot =
      store.Select(table, "", LogCriteria(key.sale, key.llr, key.log, key.split), "", viewName, "");
  if (slot != tablestore::kNotOneRow) return slot;
  return store.Select(table, "",
                      LoadCriteria(key.sale, key.llr) + ",LOG=" + std::to_string(key.log), "",
                      viewName, "");
}

// Writes the log's keys and product into a row just appended to the table
// slot. A column the table lacks (index -1) is skipped; the caller checks
// that the row then joins the log's rows.
void FillNewSegmentRow(TableStore& store, int tableSlot, int row, const LogKey& key, int product) {
  const Columns c(store, tableSlot);
  (void)store.SetText(tableSlot, row, c[col::kSale], key.sale);
  (void)store.SetText(tableSlot, row, c[col::kLLR], key.llr);
  (void)store.SetInt(tableSlot, row, c[col::kLog], key.log);
  (void)store.SetText(tableSlot, row, c[col::kS], key.split);
  (void)store.SetInt(tableSlot, row, c[col::kP], product);
}

// Adds or removes rows of the derived slot `segSlot` until it has `count`.
// Returns false when an appended row does not join the log's rows.
bool ResizeSegmentRows(TableStore& store, int segSlot, const LogKey& key, int product, int count) {
  int have = store.RowCount(segSlot);
  while (have < count) {
    const int tableSlot = store.FindView(table::kSeg);
    const int row = tableSlot < 0 ? -1 : store.AddRow(tableSlot, -1);
    if (row < 0) return false;
    FillNewSegmentRow(store, tableSlot, row, key, product);
    if (store.RowCount(segSlot) != have + 1) return false;
    ++have;
  }
  while (have > count) {
    if (store.RemoveRow(segSlot, --have) < 0) return false;
  }
  return true;
}

// Appends the log's rows of `table`, read by a Reader (SegmentRowReader or
// DefectRowReader), to `records`; a missing table adds nothing.
template <typename Reader, typename Record>
int ReadLogRows(TableStore& store, const char* table, const LogKey& key,
                std::vector<Record>* records) {
  if (!store.IsOpen()) return tablestore::kNoFile;
  if (store.TableExists(table) < 0) return 0;
  const SlotGuard rows(store, SelectLogRows(store, table, key, "DLogVolumeRows"));
  // A table without the key columns holds no rows of any log.
  if (rows.slot() == tablestore::kNotOneRow) return 0;
  if (rows.slot() < 0) return rows.slot() == tablestore::kNoFile ? rows.slot() : -1;
  const Reader reader(store, rows.slot());
  for (int row = 0; row < store.RowCount(rows.slot()); ++row) records->push_back(reader.Read(row));
  return 0;
}

// Stores a log's volumes; a setup that leaves a column out (index -1)
// stores nothing there, on purpose.
void SetVolumes(TableStore& store, int slot, int row, const Columns& c, const char* grossColumn,
                const char* netColumn, float gross, float net) {
  (void)store.SetFloat(slot, row, c[grossColumn], gross);
  (void)store.SetFloat(slot, row, c[netColumn], net);
}


}  // namespace

int ReadLoadSettings(TableStore& store, std::string_view sale, std::string_view llr,
                     LoadSettings* settings) {
  const SlotGuard load(
      store, store.Select(table::kLoad, "", LoadCriteria(sale, llr), "", "DLoadVolumes", ""));
  const int slot = load.slot();
  if (slot < 0) return slot == tablestore::kNoFile ? slot : -1;
  if (store.RowCount(slot) != 1) return tablestore::kNotOneRow;
  const Columns c(store, slot);
  settings->design = CellText(store, slot, 0, c[col::kST], "");
  settings->scaleSystem = CellText(store, slot, 0, c[col::kScaleSys], "");
  settings->cull = ReadCullFactors(store, slot, 0);
  return 0;
}

int WriteSegmentRows(TableStore& store, const LogKey& key, int product, int ln, int sd, int ld,
                     bool skipSeg) {
  if (!store.IsOpen()) return tablestore::kNoFile;
  LogSegmenter segmenter;
  segmenter.SetLog(ln, sd, ld);
  const int count = segmenter.ComputeLengths();
  segmenter.ComputeDiameters();
  const SlotGuard segs(store, SelectLogRows(store, table::kSeg, key, "DSegOfLog"));
  const int slot = segs.slot();
  if (slot < 0) return slot == tablestore::kNoFile ? slot : -1;
  if (!ResizeSegmentRows(store, slot, key, product, count)) return -1;
  const Columns c(store, slot);
  // The rows exist (ResizeSegmentRows); a column the setup leaves out
  // (index -1) is skipped.
  for (int i = 0; i < count; ++i) {
    (void)store.SetInt(slot, i, c[col::kSeg], i + 1);
    (void)store.SetInt(slot, i, c[col::kLN], segmenter.Lengths()[i]);
    if (skipSeg) continue;
    (void)store.SetInt(slot, i, c[col::kSD], segmenter.SmallEnds()[i]);
    (void)store.SetInt(slot, i, c[col::kLD], segmenter.LargeEnds()[i]);
  }
  return count;
}

int ReadStoredLogRows(TableStore& store, std::string_view scaleSystem, const LogKey& key,
                      StoredLogRows* rows) {
  StoredLogRows read;
  int rc = ReadLogRows<SegmentRowReader>(store, table::kSeg, key, &read.segments);
  if (rc < 0) return rc;
  const std::string defects(DefectTable(scaleSystem));
  rc = ReadLogRows<DefectRowReader>(store, defects.c_str(), key, &read.defects);
  if (rc < 0) return rc;
  *rows = std::move(read);
  return 0;
}

int AddStoredSegmentsAndDefects(TableStore& store, std::string_view scaleSystem, const LogKey& key,
                                LogVolume* volume) {
  StoredLogRows rows;
  const int rc = ReadStoredLogRows(store, scaleSystem, key, &rows);
  if (rc < 0) return rc;
  for (const SegmentRecord& seg : rows.segments) volume->AddSegment(seg);
  for (const DefectRecord& d : rows.defects) volume->AddDefect(d);
  return 0;
}

int LoadLogVolume(TableStore& store, const LoadSettings& load, const LogKey& key,
                  LogVolume* volume) {
  const auto setLog = [&](int ln, int sd, int ld, int product) {
    volume->SetLog(ln, sd, ld, key.log, product, load.scaleSystem, load.cull);
  };
  setLog(0, 0, 0, 0);
  const SlotGuard log(store, SelectLogRows(store, table::kLog, key, "DLogOfVolume"));
  const int slot = log.slot();
  if (slot < 0) return slot == tablestore::kNoFile ? slot : -1;
  if (store.RowCount(slot) != 1) return tablestore::kNotOneRow;
  const Columns c(store, slot);
  setLog(CellInt(store, slot, 0, c[col::kLN]), CellInt(store, slot, 0, c[col::kSD]),
         CellInt(store, slot, 0, c[col::kLD]), CellInt(store, slot, 0, c[col::kP]));
  return AddStoredSegmentsAndDefects(store, load.scaleSystem, key, volume);
}

LogVolumeCheck CheckLogVolume(const CurrentLog& log, const LoadSettings& load) {
  if (log.isVoid) return LogVolumeCheck::kDeleted;
  if (log.overridden) return LogVolumeCheck::kOverridden;
  LogSegmenter segmenter;
  segmenter.SetScaleSystem(load.scaleSystem);
  segmenter.SetLog(log.ln, log.sd, log.ld);
  if (segmenter.CheckMeasurements() != LogSegmenter::kEnough) {
    return LogVolumeCheck::kNotEnoughMeasurements;
  }
  return LogVolumeCheck::kOk;
}

int BuildLogVolumeText(TableStore& store, const LoadSettings& load, const CurrentLog& log,
                       std::string* text, bool* culled) {
  LogVolume volume;
  volume.SetLog(log.ln, log.sd, log.ld, log.key.log, log.product, load.scaleSystem, load.cull);
  const int rc = AddStoredSegmentsAndDefects(store, load.scaleSystem, log.key, &volume);
  if (rc < 0) return rc;
  *text = LogVolumeWindowText(log.key.sale, log.key.llr, log.key.split, volume, culled);
  return 0;
}

namespace {

// A log's volumes as the totals take them.
struct FreshVolumes {
  float gcv = 0.0f;
  float ncv = 0.0f;
  float gbv = 0.0f;
  float nbv = 0.0f;
};

// The Seg and defect rows of every log of one load, read with one selection
// per table instead of one per log and table (a load of a hundred logs would
// otherwise take three or four hundred selections). A log finds its rows as
// SelectLogRows selects them: by LOG and S, or by LOG alone in a table
// without S.
class LoadRows {
 public:
  // Reads Seg, DefC and, for a board load, DefB. Returns 0, or -2 when no
  // file is open, -1 when no slot is free. A missing table, or one without
  // the key columns, has no rows.
  int Read(TableStore& store, std::string_view sale, std::string_view llr, bool board) {
    int rc = ReadTable<SegmentRowReader>(store, table::kSeg, sale, llr, &segments_);
    if (rc == 0) rc = ReadTable<DefectRowReader>(store, table::kDefC, sale, llr, &cubic_);
    if (rc == 0 && board) rc = ReadTable<DefectRowReader>(store, table::kDefB, sale, llr, &board_);
    return rc;
  }
  // Adds the log's segments and its defects (DefB's with `board`, else
  // DefC's) to `volume`.
  void AddTo(const LogKey& key, bool board, LogVolume* volume) const {
    for (const SegmentRecord& seg : Find(segments_, key)) volume->AddSegment(seg);
    for (const DefectRecord& d : Find(board ? board_ : cubic_, key)) volume->AddDefect(d);
  }

 private:
  // A table's rows by LOG and S; `bySplit` false when the table has no S.
  template <typename Record>
  struct Table {
    bool bySplit = true;
    std::map<std::pair<int, std::string>, std::vector<Record>> rows;
  };

  template <typename Reader, typename Record>
  static int ReadTable(TableStore& store, const char* table, std::string_view sale,
                       std::string_view llr, Table<Record>* into) {
    if (!store.IsOpen()) return tablestore::kNoFile;
    if (store.TableExists(table) < 0) return 0;
    const SlotGuard rows(store,
                         store.Select(table, "", LoadCriteria(sale, llr), "", "DLoadRows", ""));
    if (rows.slot() == tablestore::kNotOneRow) return 0;
    if (rows.slot() < 0) return rows.slot() == tablestore::kNoFile ? rows.slot() : -1;
    const Columns c(store, rows.slot());
    into->bySplit = c[col::kS] >= 0;
    const Reader reader(store, rows.slot());
    for (int row = 0; row < store.RowCount(rows.slot()); ++row) {
      const std::string split =
          into->bySplit ? SplitKey(CellText(store, rows.slot(), row, c[col::kS], "")) : "";
      into->rows[{CellInt(store, rows.slot(), row, c[col::kLog]), split}].push_back(
          reader.Read(row));
    }
    return 0;
  }

  // S as the criteria compare it: without surrounding blanks, any letter case.
  static std::string SplitKey(std::string_view split) {
    const size_t first = split.find_first_not_of(' ');
    if (first == std::string_view::npos) return "";
    std::string key(split.substr(first, split.find_last_not_of(' ') - first + 1));
    for (char& ch : key) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return key;
  }

  template <typename Record>
  static const std::vector<Record>& Find(const Table<Record>& table, const LogKey& key) {
    static const std::vector<Record> kNone;
    const auto it = table.rows.find({key.log, table.bySplit ? SplitKey(key.split) : ""});
    return it == table.rows.end() ? kNone : it->second;
  }

  Table<SegmentRecord> segments_;
  Table<DefectRecord> cubic_;
  Table<DefectRecord> board_;
};

// Sets `volume` to the log of row `row` in `scaleSystem`, with its rows.
void SetRowVolume(const TableStore& store, int slot, int row, const Columns& c, const LogKey& key,
                  std::string_view scaleSystem, const CullFactors& cull, const LoadRows& rows,
                  LogVolume* volume) {
  volume->SetLog(CellInt(store, slot, row, c[col::kLN]), CellInt(store, slot, row, c[col::kSD]),
                 CellInt(store, slot, row, c[col::kLD]), key.log,
                 CellInt(store, slot, row, c[col::kP]), scaleSystem, cull);
  rows.AddTo(key, IsBoardScale(scaleSystem), volume);
}

// The volumes of the live, not overridden log of row `row`: cubic
// (segments, DefC, rounded to tenths) and, on a board load, Scribner board
// feet (segments, DefB).
FreshVolumes ComputeRowVolumes(const TableStore& store, int slot, int row, const Columns& c,
                               const LoadSettings& load, const LogKey& key, const LoadRows& rows) {
  // GCV and NCV hold cubic feet whatever the load's scale system, and the
  // defects that count for them are DefC's.
  FreshVolumes fresh;
  LogVolume volume;
  SetRowVolume(store, slot, row, c, key, "Cubic", load.cull, rows, &volume);
  fresh.gcv = RoundTo(volume.GetLog().grossCubic, 1);
  fresh.ncv = RoundTo(volume.GetLog().netCubic, 1);
  if (!IsBoardScale(load.scaleSystem)) return fresh;
  SetRowVolume(store, slot, row, c, key, load.scaleSystem, load.cull, rows, &volume);
  fresh.gbv = volume.GetLog().grossBoard;
  fresh.nbv = volume.GetLog().netBoard;
  return fresh;
}

LogKey RowKey(const TableStore& store, int slot, int row, const Columns& c, std::string_view sale,
              std::string_view llr) {
  return LogKey{std::string(sale), std::string(llr), CellInt(store, slot, row, c[col::kLog]),
                CellText(store, slot, row, c[col::kS], "1")};
}

// The live logs of the load's slot as the totals need them. With `fresh`
// the volumes of each log not overridden are computed afresh (as
// RecomputeLoadVolumes stores them) instead of read; a volume column the
// table lacks reads 0 either way. Returns 0 or a negative code.
int ReadLiveLogs(TableStore& store, int slot, std::string_view sale, std::string_view llr,
                 const LoadSettings* fresh, std::vector<TotalsLog>* logs) {
  LoadRows rows;
  if (fresh != nullptr) {
    const int rc = rows.Read(store, sale, llr, IsBoardScale(fresh->scaleSystem));
    if (rc < 0) return rc;
  }
  const Columns c(store, slot);
  const int cVoid = c[col::kVoid], cP = c[col::kP], cKpi = c[col::kKPI], cHit = c[col::kHIT],
            cS = c[col::kS];
  const int volumeColumns[] = {c[col::kGCV], c[col::kNCV], c[col::kGBV], c[col::kNBV]};
  for (int row = 0; row < store.RowCount(slot); ++row) {
    if (CellInt(store, slot, row, cVoid) != 0) continue;
    TotalsLog log;
    log.species = CellText(store, slot, row, c[col::kSP], "");
    log.product = CellInt(store, slot, row, cP);
    log.kpi = CellInt(store, slot, row, cKpi);
    log.hit = cHit < 0 ? -1 : CellInt(store, slot, row, cHit);
    log.split = CellText(store, slot, row, cS, "1");
    FreshVolumes v{CellFloat(store, slot, row, volumeColumns[0]),
                   CellFloat(store, slot, row, volumeColumns[1]),
                   CellFloat(store, slot, row, volumeColumns[2]),
                   CellFloat(store, slot, row, volumeColumns[3])};
    if (fresh != nullptr) {
      v = FreshVolumes{};
      if (CellInt(store, slot, row, c[col::kOverrideVolume]) == 0) {
        v = ComputeRowVolumes(store, slot, row, c, *fresh, RowKey(store, slot, row, c, sale, llr),
                              rows);
      }
      float* const values[] = {&v.gcv, &v.ncv, &v.gbv, &v.nbv};
      for (int i = 0; i < 4; ++i) {
        if (volumeColumns[i] < 0) *values[i] = 0.0f;
      }
    }
    log.gcv = v.gcv;
    log.ncv = v.ncv;
    log.gbv = v.gbv;
    log.nbv = v.nbv;
    logs->push_back(log);
  }
  return 0;
}

// The totals of the load's live logs (ReadLiveLogs with `fresh`).
int TotalLiveLogs(TableStore& store, const LoadSettings& load, std::string_view sale,
                  std::string_view llr, const LoadSettings* fresh, LoadTotalsWindow* window,
                  std::vector<TotalsLog>* liveLogs) {
  const SlotGuard logs(store,
                       store.Select(table::kLog, "", LoadCriteria(sale, llr), "", "DLog100", ""));
  if (logs.slot() < 0) return logs.slot() == tablestore::kNoFile ? logs.slot() : -1;
  std::vector<TotalsLog> live;
  const int rc = ReadLiveLogs(store, logs.slot(), sale, llr, fresh, &live);
  if (rc < 0) return rc;
  window->totals = ComputeLoadTotals(load.design, live, IsBoardScale(load.scaleSystem));
  if (liveLogs != nullptr) *liveLogs = std::move(live);
  window->text = LoadTotalsText(sale, llr, window->totals);
  window->caption = std::string(LoadTotalsCaption(load.design));
  return 0;
}

}  // namespace

int RecomputeLoadVolumes(TableStore& store, const LoadSettings& load, std::string_view sale,
                         std::string_view llr) {
  const SlotGuard logs(store,
                       store.Select(table::kLog, "", LoadCriteria(sale, llr), "", "DLog2", ""));
  const int slot = logs.slot();
  if (slot < 0) return slot == tablestore::kNoFile ? slot : -1;
  const Columns c(store, slot);
  const bool board = IsBoardScale(load.scaleSystem);
  LoadRows rows;
  const int rc = rows.Read(store, sale, llr, board);
  if (rc < 0) return rc;
  int computed = 0;
  for (int row = 0; row < store.RowCount(slot); ++row) {
    if (CellInt(store, slot, row, c[col::kOverrideVolume]) != 0) {
      SetVolumes(store, slot, row, c, col::kGCV, col::kNCV, 0.0f, 0.0f);
      SetVolumes(store, slot, row, c, col::kGBV, col::kNBV, 0.0f, 0.0f);
      continue;
    }
    if (CellInt(store, slot, row, c[col::kVoid]) != 0) continue;
    const FreshVolumes v =
        ComputeRowVolumes(store, slot, row, c, load, RowKey(store, slot, row, c, sale, llr), rows);
    SetVolumes(store, slot, row, c, col::kGCV, col::kNCV, v.gcv, v.ncv);
    if (board) SetVolumes(store, slot, row, c, col::kGBV, col::kNBV, v.gbv, v.nbv);
    ++computed;
  }
  return computed;
}

int RefreshLoadTotals(TableStore& store, std::string_view sale, std::string_view llr,
                      LoadTotalsWindow* window) {
  LoadSettings load;
  int rc = ReadLoadSettings(store, sale, llr, &load);
  if (rc < 0) return rc;
  rc = RecomputeLoadVolumes(store, load, sale, llr);
  if (rc < 0) return rc;
  if (store.Commit() != 0) return -1;
  return TotalLiveLogs(store, load, sale, llr, nullptr, window, nullptr);
}

int PeekLoadTotals(TableStore& store, std::string_view sale, std::string_view llr,
                   LoadTotalsWindow* window, LoadSettings* settings,
                   std::vector<TotalsLog>* liveLogs) {
  LoadSettings load;
  const int rc = ReadLoadSettings(store, sale, llr, &load);
  if (rc < 0) return rc;
  if (settings != nullptr) *settings = load;
  return TotalLiveLogs(store, load, sale, llr, &load, window, liveLogs);
}

}  // namespace scaling
