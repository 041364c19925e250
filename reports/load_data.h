// LoadData: one load's Log rows, segments and cubic defects, read once.
//
// The reports walk a load's logs several times and need, for many logs, the
// log's row, segments and defects again. Selecting them per log would scan
// the whole Log, Seg and DefC tables for every log; LoadData reads each table
// once and indexes the rows by (log number, split), so a run stays linear in
// the size of the file.
//
// Rows of the load are those whose SALE and LLR equal the load's exactly. A
// table that lacks a column reads it as empty text or 0 (a missing S as "1",
// a missing HIT as -1); a missing table has no rows. A Seg or DefC table
// without S holds rows by LOG alone (they belong to every split of the log).
//
// Thread safety: a plain value once read.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "scaling/log_volume.h"
#include "tablestore/table_store.h"

namespace reports {

// SALE and LLR of every row of the Load table, in row order (empty when
// there is no Load table or no file is open).
std::vector<std::pair<std::string, std::string>> ReadLoadKeys(tablestore::TableStore& store);

// One Log row of the load.
struct LogEntry {
  int row = -1;  // row of the Log table slot it was read from
  int log = 0;
  std::string logText, s, sp, pText, g, b, rnd, rem;
  std::string lnText, sdText, ldText;
  int split = 0;  // S as a number (0 when not a number)
  int p = 0, ln = 0, sd = 0, ld = 0, kpi = 0, rndValue = 0;
  int hit = -1;
  int isVoid = 0;
  int overrideVolume = 0;
  float gcv = 0.0f, ncv = 0.0f;
};

class LoadData {
 public:
  // Reads the load's rows of Log and, unless `logsOnly`, of Seg and DefC
  // through `store` (tables that are open in a slot named like the table are
  // read there, others are opened for the call and released). Returns 0; -2
  // when no file is open.
  [[nodiscard]] int Read(tablestore::TableStore& store, const std::string& sale,
                         const std::string& llr, bool logsOnly = false);

  // The load's Log rows, in table order.
  const std::vector<LogEntry>& logs() const { return logs_; }
  std::vector<LogEntry>& logs() { return logs_; }

  // Sets `volume` to the log in cubic feet with the load's cull factors, its
  // segments and its defects. The log's own measurements are those of
  // `entry`.
  void LoadCubicVolume(const LogEntry& entry, const scaling::CullFactors& cull,
                       scaling::LogVolume* volume) const;

  // Index into logs() of the live (VOID 0) rows of log `log` with split `s`
  // (exact text), or -1.
  int FindLive(int log, const std::string& s) const;

 private:
  using Key = std::pair<int, std::string>;
  void ReadLogs(tablestore::TableStore& store, const std::string& sale, const std::string& llr);
  void ReadSegments(tablestore::TableStore& store, const std::string& sale, const std::string& llr);
  void ReadDefects(tablestore::TableStore& store, const std::string& sale, const std::string& llr);
  template <typename Record>
  const std::vector<Record>* Rows(const std::map<Key, std::vector<Record>>& rows, int log,
                                  const std::string& s) const;

  std::vector<LogEntry> logs_;
  std::map<Key, int> liveIndex_;
  std::map<Key, std::vector<scaling::SegmentRecord>> segments_;
  std::map<Key, std::vector<scaling::DefectRecord>> defects_;
};

}  // namespace reports
