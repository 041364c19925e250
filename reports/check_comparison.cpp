#include "reports/check_comparison.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <set>
#include <utility>

#include "scaling/data_model.h"
#include "scaling/stored_rows.h"
#include "scaling/volume_math.h"
#include "tablestore/slot_guard.h"

namespace reports {
namespace {

using scaling::CellInt;
using scaling::CellText;
using tablestore::SlotGuard;
using tablestore::TableStore;

// The selections of the program compare texts without regard to letter case;
// so do the keys here.
std::string Folded(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string LoadKey(const std::string& sale, const std::string& llr) {
  return Folded(sale) + '\n' + Folded(llr);
}

// The load of `loads` with this SALE and LLR, or null (const as `loads` is).
template <typename Loads>
auto FindLoad(Loads& loads, const std::string& sale, const std::string& llr)
    -> decltype(&loads[0]) {
  const std::string key = LoadKey(sale, llr);
  for (auto& load : loads) {
    if (LoadKey(load.sale, load.llr) == key) return &load;
  }
  return nullptr;
}

// The whole table in a new derived slot, or a negative code (-1 also when
// the file has no such table).
int SelectAll(TableStore& store, const char* table, const char* viewName) {
  if (store.TableExists(table) < 0) return -1;
  return store.Select(table, "", "", "", viewName, "");
}

void ReadLoadRows(TableStore& store, const std::vector<ReadLoad>* only,
                  std::vector<ReadLoad>* loads) {
  const SlotGuard guard(store, SelectAll(store, scaling::table::kLoad, "DLoadCheckCompare"));
  const int slot = guard.slot();
  if (slot < 0) return;
  auto c = [&](const char* name) { return store.ColumnIndex(slot, name); };
  namespace col = scaling::col;
  for (int row = 0; row < store.RowCount(slot); ++row) {
    ReadLoad load;
    load.sale = CellText(store, slot, row, c(col::kSale));
    load.llr = CellText(store, slot, row, c(col::kLLR));
    // A new file's first Load row stays without SALE and LLR until the load
    // information is entered: no load is checked there.
    if (load.sale.empty() && load.llr.empty()) continue;
    if (FindLoad(*loads, load.sale, load.llr) != nullptr) continue;
    if (only != nullptr && FindLoad(*only, load.sale, load.llr) == nullptr) {
      continue;
    }
    load.hasLoadRow = true;
    load.scaler = CellText(store, slot, row, c(col::kScaler));
    load.checkScaler = CellText(store, slot, row, c(col::kChkScaler));
    load.scaleDate = CellText(store, slot, row, c(col::kSDate));
    load.scaleSystem = CellText(store, slot, row, c(col::kScaleSys));
    load.cull = scaling::ReadCullFactors(store, slot, row);
    loads->push_back(std::move(load));
  }
}

// Reads the Log rows of the loads (adding the loads only log rows name) and
// the stored segments and defects of every live log.
int ReadLogRows(TableStore& store, const std::vector<ReadLoad>* only,
                std::vector<ReadLoad>* loads) {
  const SlotGuard guard(store, SelectAll(store, scaling::table::kLog, "DLogCheckCompare"));
  const int slot = guard.slot();
  if (slot == tablestore::kNoFile) return slot;
  if (slot < 0) return store.TableExists(scaling::table::kLog) < 0 ? 0 : -1;
  namespace col = scaling::col;
  const int cSale = store.ColumnIndex(slot, col::kSale), cLlr = store.ColumnIndex(slot, col::kLLR),
            cLog = store.ColumnIndex(slot, col::kLog), cS = store.ColumnIndex(slot, col::kS),
            cSp = store.ColumnIndex(slot, col::kSP), cP = store.ColumnIndex(slot, col::kP),
            cLn = store.ColumnIndex(slot, col::kLN), cSd = store.ColumnIndex(slot, col::kSD),
            cLd = store.ColumnIndex(slot, col::kLD), cVoid = store.ColumnIndex(slot, col::kVoid),
            cOverride = store.ColumnIndex(slot, col::kOverrideVolume);
  for (int row = 0; row < store.RowCount(slot); ++row) {
    const std::string sale = CellText(store, slot, row, cSale);
    const std::string llr = CellText(store, slot, row, cLlr);
    ReadLoad* load = FindLoad(*loads, sale, llr);
    if (load == nullptr) {
      if (only != nullptr && FindLoad(*only, sale, llr) == nullptr) {
        continue;
      }
      load = &loads->emplace_back();
      load->sale = sale;
      load->llr = llr;
    }
    ReadLog log;
    log.log = CellInt(store, slot, row, cLog);
    log.split = CellText(store, slot, row, cS, "1");
    log.species = CellText(store, slot, row, cSp);
    log.product = CellInt(store, slot, row, cP);
    log.length = CellInt(store, slot, row, cLn);
    log.smallEnd = CellInt(store, slot, row, cSd);
    log.largeEnd = CellInt(store, slot, row, cLd);
    log.deleted = CellInt(store, slot, row, cVoid) != 0;
    log.overridden = CellInt(store, slot, row, cOverride) != 0;
    if (!log.deleted) {
      const scaling::LogKey key{sale, llr, log.log, log.split};
      const int rc = scaling::ReadStoredLogRows(store, load->scaleSystem, key, &log.rows);
      if (rc < 0) return rc;
    }
    load->logs.push_back(std::move(log));
  }
  return 0;
}

bool IsBoard(const std::string& scaleSystem) {
  return !scaleSystem.empty() && std::toupper(static_cast<unsigned char>(scaleSystem[0])) == 'B';
}

// A volume in tenths of its unit.
long Tenths(float volume) { return std::lround(static_cast<double>(volume) * 10.0); }

ScaledLog Measured(const ReadLog& log) {
  ScaledLog measured;
  measured.species = log.species;
  measured.product = log.product;
  measured.length = log.length;
  measured.smallEnd = log.smallEnd;
  measured.largeEnd = log.largeEnd;
  return measured;
}

// The log's measurements and its volumes in the production load's scale
// system, with its cull factors.
ScaledLog Scale(const ReadLog& log, const ReadLoad& production) {
  ScaledLog scaled = Measured(log);
  if (log.overridden) return scaled;  // counted 0, as in the load totals
  scaling::LogVolume volume;
  volume.SetLog(log.length, log.smallEnd, log.largeEnd, log.log, log.product,
                production.scaleSystem, production.cull);
  for (const scaling::SegmentRecord& seg : log.rows.segments) volume.AddSegment(seg);
  for (const scaling::DefectRecord& defect : log.rows.defects) volume.AddDefect(defect);
  const scaling::LogRecord& result = volume.GetLog();
  if (volume.ScaleSystem() == 'B') {
    scaled.gross = Tenths(result.grossBoard);
    scaled.net = Tenths(result.netBoard);
  } else {
    scaled.gross = Tenths(scaling::RoundTo(result.grossCubic, 1));
    scaled.net = Tenths(scaling::RoundTo(result.netCubic, 1));
  }
  scaled.defect = scaled.gross - scaled.net;
  return scaled;
}

unsigned Differences(const ScaledLog& production, const ScaledLog& check) {
  unsigned bits = 0;
  if (Folded(production.species) != Folded(check.species)) bits |= kSpeciesDiffers;
  if (production.product != check.product) bits |= kProductDiffers;
  if (production.length != check.length) bits |= kLengthDiffers;
  if (production.smallEnd != check.smallEnd) bits |= kSmallEndDiffers;
  if (production.largeEnd != check.largeEnd) bits |= kLargeEndDiffers;
  return bits;
}

UnmatchedLog Unmatched(const ReadLog& log, std::string reason) {
  return {log.log, log.split, Measured(log), std::move(reason)};
}

using LogId = std::pair<int, std::string>;
LogId IdOf(const ReadLog& log) { return {log.log, Folded(log.split)}; }

// Index into production.logs of the log with this id, live or deleted as
// asked; -1 when there is none.
int FindLog(const ReadLoad& production, const LogId& id, bool deleted) {
  for (size_t i = 0; i < production.logs.size(); ++i) {
    const ReadLog& log = production.logs[i];
    if (log.deleted == deleted && IdOf(log) == id) return static_cast<int>(i);
  }
  return -1;
}

bool Exceeds(long production, long check, double tolerance) {
  const double difference = std::fabs(static_cast<double>(check - production)) * 100.0;
  if (production == 0) return difference > 0.0;
  return difference > tolerance * std::fabs(static_cast<double>(production));
}

// Matches the check load's live logs with the production load's.
void MatchLogs(const ReadLoad& check, const ReadLoad* production, LoadComparison* out) {
  std::set<LogId> seen;
  std::set<int> matched;
  for (const ReadLog& log : check.logs) {
    if (log.deleted) continue;  // a deleted check log matches nothing
    if (!seen.insert(IdOf(log)).second) {
      out->checkOnly.push_back(Unmatched(log, kEnteredTwice));
      continue;
    }
    if (production == nullptr) {
      out->checkOnly.push_back(Unmatched(log, kNoProductionLoad));
      continue;
    }
    const int live = FindLog(*production, IdOf(log), false);
    if (live < 0) {
      const bool deleted = FindLog(*production, IdOf(log), true) >= 0;
      out->checkOnly.push_back(Unmatched(log, deleted ? kDeletedInProduction : kNotInProduction));
      continue;
    }
    matched.insert(live);
    ComparedLog pair;
    pair.log = log.log;
    pair.split = log.split;
    pair.production = Scale(production->logs[live], *production);
    pair.check = Scale(log, *production);
    pair.differences = Differences(pair.production, pair.check);
    out->logs.push_back(std::move(pair));
  }
  if (production == nullptr) return;
  for (size_t i = 0; i < production->logs.size(); ++i) {
    const ReadLog& log = production->logs[i];
    if (!log.deleted && matched.count(static_cast<int>(i)) == 0) {
      out->notRemeasured.push_back(Unmatched(log, ""));
    }
  }
}

ComparisonTotals TotalsOf(const std::vector<ComparedLog>& logs) {
  ComparisonTotals totals;
  totals.loads = 1;
  for (const ComparedLog& log : logs) {
    ++totals.logs;
    totals.logsDiffering += log.marked() ? 1 : 0;
    totals.productionGross += log.production.gross;
    totals.checkGross += log.check.gross;
    totals.productionNet += log.production.net;
    totals.checkNet += log.check.net;
  }
  return totals;
}

LoadComparison CompareLoad(const ReadLoad& check, const ReadFile* file, const ReadLoad* production,
                           std::optional<double> tolerance) {
  LoadComparison load;
  load.sale = check.sale;
  load.llr = check.llr;
  load.checkScaler = check.checkScaler.empty() ? check.scaler : check.checkScaler;
  load.checkDate = check.scaleDate;
  if (production != nullptr) {
    load.productionFile = file->path;
    load.scaleSystem = production->scaleSystem;
    load.board = IsBoard(production->scaleSystem);
    load.scaler = production->scaler;
    load.scaleDate = production->scaleDate;
  }
  MatchLogs(check, production, &load);
  load.totals = TotalsOf(load.logs);
  load.outsideTolerance = production != nullptr && tolerance.has_value() &&
                          Exceeds(load.totals.productionNet, load.totals.checkNet, *tolerance);
  load.totals.outsideTolerance = load.outsideTolerance ? 1 : 0;
  return load;
}

std::optional<double> Percent(long production, long check) {
  if (production == 0) return std::nullopt;
  return static_cast<double>(check - production) * 100.0 / static_cast<double>(production);
}

}  // namespace

int ReadComparedLoads(TableStore& store, const std::vector<ReadLoad>* only,
                      std::vector<ReadLoad>* loads) {
  if (!store.IsOpen()) return tablestore::kNoFile;
  std::vector<ReadLoad> read;
  ReadLoadRows(store, only, &read);
  const int rc = ReadLogRows(store, only, &read);
  if (rc < 0) return rc;
  *loads = std::move(read);
  return 0;
}

std::optional<double> ComparisonTotals::GrossPercent() const {
  return Percent(productionGross, checkGross);
}

std::optional<double> ComparisonTotals::NetPercent() const {
  return Percent(productionNet, checkNet);
}

void ComparisonTotals::Add(const ComparisonTotals& other) {
  loads += other.loads;
  logs += other.logs;
  logsDiffering += other.logsDiffering;
  productionGross += other.productionGross;
  checkGross += other.checkGross;
  productionNet += other.productionNet;
  checkNet += other.checkNet;
  outsideTolerance += other.outsideTolerance;
}

std::string AmbiguousProduction(const std::vector<ReadFile>& production) {
  for (size_t f = 0; f < production.size(); ++f) {
    for (const ReadLoad& load : production[f].loads) {
      for (size_t g = f + 1; g < production.size(); ++g) {
        if (FindLoad(production[g].loads, load.sale, load.llr) == nullptr) continue;
        return "SALE " + load.sale + " LLR " + load.llr + " is in both " + production[f].path +
               " and " + production[g].path;
      }
    }
  }
  return "";
}

CheckComparison CompareCheckScale(const ReadFile& check, const std::vector<ReadFile>& production,
                                  std::optional<double> tolerance) {
  CheckComparison comparison;
  comparison.checkFile = check.path;
  comparison.tolerance = tolerance;
  for (const ReadFile& file : production) comparison.productionFiles.push_back(file.path);
  for (const ReadLoad& load : check.loads) {
    const ReadFile* holder = nullptr;
    const ReadLoad* match = nullptr;
    for (const ReadFile& file : production) {
      match = FindLoad(file.loads, load.sale, load.llr);
      if (match != nullptr) {
        holder = &file;
        break;
      }
    }
    comparison.loads.push_back(CompareLoad(load, holder, match, tolerance));
    const LoadComparison& compared = comparison.loads.back();
    if (match != nullptr)
      (compared.board ? comparison.board : comparison.cubic).Add(compared.totals);
  }
  return comparison;
}

}  // namespace reports
