#include "scaling/load_volumes.h"

#include <vector>

#include "scaling/data_model.h"
#include "scaling/log_segmenter.h"
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

int IntAt(const TableStore& store, int slot, int row, int col) {
  int value = 0;
  if (col < 0 || store.GetInt(slot, row, col, value) != 0) return 0;
  return value;
}

float FloatAt(const TableStore& store, int slot, int row, int col) {
  float value = 0.0f;
  if (col < 0 || store.GetFloat(slot, row, col, value) != 0) return 0.0f;
  return value;
}

std::string TextAt(const TableStore& store, int slot, int row, int col, const char* absent) {
  std::string value;
  if (col < 0 || store.GetText(slot, row, col, value) != 0) return absent;
  return value;
}

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

void AddSegments(const TableStore& store, int slot, LogVolume* volume) {
  const Columns c(store, slot);
  const int cSeg = c[col::kSeg], cLn = c[col::kLN], cSd = c[col::kSD], cLd = c[col::kLD];
  for (int row = 0; row < store.RowCount(slot); ++row) {
    SegmentRecord seg;
    seg.seg = IntAt(store, slot, row, cSeg);
    seg.length = IntAt(store, slot, row, cLn);
    seg.smallEnd = IntAt(store, slot, row, cSd);
    seg.largeEnd = IntAt(store, slot, row, cLd);
    volume->AddSegment(seg);
  }
}

void AddDefects(const TableStore& store, int slot, LogVolume* volume) {
  const Columns c(store, slot);
  const int cSeg = c[col::kSeg], cM = c[col::kM], cM1 = c[col::kM1], cM2 = c[col::kM2],
            cM3 = c[col::kM3], cM4 = c[col::kM4], cLn = c[col::kLN], cPct = c[col::kPCT];
  int cVolume = c[col::kDV];
  if (cVolume < 0) cVolume = c[col::kDCV];
  if (cVolume < 0) cVolume = c[col::kDBV];
  for (int row = 0; row < store.RowCount(slot); ++row) {
    DefectRecord d;
    d.seg = IntAt(store, slot, row, cSeg);
    d.method = IntAt(store, slot, row, cM);
    d.measures.m1 = IntAt(store, slot, row, cM1);
    d.measures.m2 = IntAt(store, slot, row, cM2);
    d.measures.m3 = IntAt(store, slot, row, cM3);
    d.measures.m4 = IntAt(store, slot, row, cM4);
    d.measures.length = IntAt(store, slot, row, cLn);
    d.measures.percent = IntAt(store, slot, row, cPct);
    d.enteredVolume = FloatAt(store, slot, row, cVolume);
    volume->AddDefect(d);
  }
}

// Adds the rows of `table` for the log through `add`; a missing table adds
// nothing.
template <typename AddRows>
int AddLogRows(TableStore& store, const char* table, const LogKey& key, AddRows add) {
  if (!store.IsOpen()) return tablestore::kNoFile;
  if (store.TableExists(table) < 0) return 0;
  const SlotGuard rows(store, SelectLogRows(store, table, key, "DLogVolumeRows"));
  // A table without the key columns holds no rows of any log.
  if (rows.slot() == tablestore::kNotOneRow) return 0;
  if (rows.slot() < 0) return rows.slot() == tablestore::kNoFile ? rows.slot() : -1;
  add(rows.slot());
  return 0;
}

// Stores the cubic volumes; a setup that leaves GCV or NCV out (index -1)
// stores nothing there, on purpose.
void SetVolumes(TableStore& store, int slot, int row, const Columns& c, float gross, float net) {
  (void)store.SetFloat(slot, row, c[col::kGCV], gross);
  (void)store.SetFloat(slot, row, c[col::kNCV], net);
}

// The live logs of the load as the totals need them.
std::vector<TotalsLog> ReadLiveLogs(const TableStore& store, int slot) {
  const Columns c(store, slot);
  const int cVoid = c[col::kVoid], cP = c[col::kP], cKpi = c[col::kKPI], cHit = c[col::kHIT],
            cS = c[col::kS], cGcv = c[col::kGCV], cNcv = c[col::kNCV];
  std::vector<TotalsLog> logs;
  for (int row = 0; row < store.RowCount(slot); ++row) {
    if (IntAt(store, slot, row, cVoid) != 0) continue;
    TotalsLog log;
    log.product = IntAt(store, slot, row, cP);
    log.kpi = IntAt(store, slot, row, cKpi);
    log.hit = cHit < 0 ? -1 : IntAt(store, slot, row, cHit);
    log.split = TextAt(store, slot, row, cS, "1");
    log.gcv = FloatAt(store, slot, row, cGcv);
    log.ncv = FloatAt(store, slot, row, cNcv);
    logs.push_back(log);
  }
  return logs;
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
  settings->design = TextAt(store, slot, 0, c[col::kST], "");
  settings->scaleSystem = TextAt(store, slot, 0, c[col::kScaleSys], "");
  settings->cfSawCu = FloatAt(store, slot, 0, c[col::kCfSawCu]);
  settings->cfNonSawCu = FloatAt(store, slot, 0, c[col::kCfNonSawCu]);
  settings->cfSawBd = FloatAt(store, slot, 0, c[col::kCfSawBd]);
  settings->cfNonSawBd = FloatAt(store, slot, 0, c[col::kCfNonSawBd]);
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

int AddStoredSegmentsAndDefects(TableStore& store, std::string_view scaleSystem, const LogKey& key,
                                LogVolume* volume) {
  const int rc =
      AddLogRows(store, table::kSeg, key, [&](int slot) { AddSegments(store, slot, volume); });
  if (rc < 0) return rc;
  const std::string defects(DefectTable(scaleSystem));
  return AddLogRows(store, defects.c_str(), key,
                    [&](int slot) { AddDefects(store, slot, volume); });
}

int LoadLogVolume(TableStore& store, const LoadSettings& load, const LogKey& key,
                  LogVolume* volume) {
  const auto setLog = [&](int ln, int sd, int ld, int product) {
    volume->SetLog(ln, sd, ld, key.log, product, load.scaleSystem, load.cfSawCu, load.cfNonSawCu,
                   load.cfSawBd, load.cfNonSawBd);
  };
  setLog(0, 0, 0, 0);
  const SlotGuard log(store, SelectLogRows(store, table::kLog, key, "DLogOfVolume"));
  const int slot = log.slot();
  if (slot < 0) return slot == tablestore::kNoFile ? slot : -1;
  if (store.RowCount(slot) != 1) return tablestore::kNotOneRow;
  const Columns c(store, slot);
  setLog(IntAt(store, slot, 0, c[col::kLN]), IntAt(store, slot, 0, c[col::kSD]),
         IntAt(store, slot, 0, c[col::kLD]), IntAt(store, slot, 0, c[col::kP]));
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
  volume.SetLog(log.ln, log.sd, log.ld, log.key.log, log.product, load.scaleSystem, load.cfSawCu,
                load.cfNonSawCu, load.cfSawBd, load.cfNonSawBd);
  const int rc = AddStoredSegmentsAndDefects(store, load.scaleSystem, log.key, &volume);
  if (rc < 0) return rc;
  *text = LogVolumeWindowText(log.key.sale, log.key.llr, log.key.split, volume, culled);
  return 0;
}

int RecomputeLoadVolumes(TableStore& store, const LoadSettings& load, std::string_view sale,
                         std::string_view llr) {
  const SlotGuard logs(store,
                       store.Select(table::kLog, "", LoadCriteria(sale, llr), "", "DLog2", ""));
  const int slot = logs.slot();
  if (slot < 0) return slot == tablestore::kNoFile ? slot : -1;
  const Columns c(store, slot);
  // Computed in cubic whatever the load's scale system: GCV and NCV hold
  // cubic feet, and the defects that count for them are DefC's.
  const std::string_view cubic = "Cubic";
  int computed = 0;
  for (int row = 0; row < store.RowCount(slot); ++row) {
    if (IntAt(store, slot, row, c[col::kOverrideVolume]) != 0) {
      SetVolumes(store, slot, row, c, 0.0f, 0.0f);
      // Board volumes only where the setup keeps them (index -1 otherwise).
      (void)store.SetFloat(slot, row, c[col::kGBV], 0.0f);
      (void)store.SetFloat(slot, row, c[col::kNBV], 0.0f);
      continue;
    }
    if (IntAt(store, slot, row, c[col::kVoid]) != 0) continue;
    const LogKey key{std::string(sale), std::string(llr), IntAt(store, slot, row, c[col::kLog]),
                     TextAt(store, slot, row, c[col::kS], "1")};
    LogVolume volume;
    volume.SetLog(IntAt(store, slot, row, c[col::kLN]), IntAt(store, slot, row, c[col::kSD]),
                  IntAt(store, slot, row, c[col::kLD]), key.log,
                  IntAt(store, slot, row, c[col::kP]), cubic, load.cfSawCu, load.cfNonSawCu,
                  load.cfSawBd, load.cfNonSawBd);
    const int rc = AddStoredSegmentsAndDefects(store, cubic, key, &volume);
    if (rc < 0) return rc;
    const LogRecord& result = volume.GetLog();
    SetVolumes(store, slot, row, c, RoundTo(result.grossCubic, 1), RoundTo(result.netCubic, 1));
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
  const SlotGuard logs(store,
                       store.Select(table::kLog, "", LoadCriteria(sale, llr), "", "DLog100", ""));
  if (logs.slot() < 0) return logs.slot() == tablestore::kNoFile ? logs.slot() : -1;
  window->totals = ComputeLoadTotals(load.design, ReadLiveLogs(store, logs.slot()));
  window->text = LoadTotalsText(sale, llr, window->totals);
  window->caption = std::string(LoadTotalsCaption(load.design));
  return 0;
}

}  // namespace scaling
