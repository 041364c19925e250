// The volume computations that read and write a scale file through
// TableStore: bringing a log's Seg rows to its segments, loading a log with
// its segments and defects into LogVolume, the "Log Volume" text of the data
// entry screen's current log, and the load totals (which also recompute and
// store GCV and NCV of every live log). The arithmetic is LogVolume's and
// volume_windows.h's; this file only moves values between the tables and it.
//
// Selections name SALE, LLR, LOG and S of the log. Tables that lack S (or a
// file whose Seg or defect table is missing) are handled as the columns allow:
// without S the log's rows are selected by LOG alone; a missing table has no
// rows. Columns a table lacks read as 0 (S as "1") and are not written.
//
// Slots: every function releases the derived slots it takes. Select leaves a
// table it had to open itself in a slot named like the table, as it always
// does; callers that opened the table keep their slot.
//
// Nothing is shown to the user here: the screens turn the results into
// messages (texts in volume_windows.h).
//
// Thread safety: as TableStore's (one thread).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "scaling/log_volume.h"
#include "scaling/volume_windows.h"
#include "tablestore/table_store.h"

namespace scaling {

// A log of a load: sale, load receipt number, log number and split.
struct LogKey {
  std::string sale;
  std::string llr;
  int log = 0;
  std::string split = "1";
};

// What the volume computations need of the Load row.
struct LoadSettings {
  std::string design;       // ST: "100" or "3P"
  std::string scaleSystem;  // SCALESYS: "Cubic", "Board" or "Longlog"
  CullFactors cull;
};

// Reads ST, SCALESYS and the four cull factors of the load's Load row into
// `settings`. Returns 0; -3 when not exactly one Load row has this SALE and
// LLR; -1 when there is no Load table or no free slot; -2 when no file is open.
// `settings` is changed only on success.
[[nodiscard]] int ReadLoadSettings(tablestore::TableStore& store, std::string_view sale,
                                   std::string_view llr, LoadSettings* settings);

// Cuts the log (LN, SD, LD) into segments (LogSegmenter) and brings the log's
// rows of table Seg to exactly that many: missing rows are appended with the
// log's SALE, LLR, LOG, S and `product` (P); surplus rows are removed from the
// end. Row i then gets Seg = i + 1 and its length in LN, and, unless
// `skipSeg` (the scaler enters segment diameters by hand), its diameters in SD
// and LD. Nothing is committed. Returns the number of segments; -1 when there
// is no Seg table, no free slot or a new row could not be placed; -2 when no
// file is open.
[[nodiscard]] int WriteSegmentRows(tablestore::TableStore& store, const LogKey& key, int product,
                                   int ln, int sd, int ld, bool skipSeg);

// A log's stored Seg rows and defect rows, each in table order.
struct StoredLogRows {
  std::vector<SegmentRecord> segments;
  std::vector<DefectRecord> defects;
};

// Reads the log's Seg rows (SegmentRowReader) and its defect rows from DefB
// when `scaleSystem` begins with "B", else from DefC (DefectRowReader) into
// `rows`. Returns 0 (a missing table, or one without the key columns, has no
// rows); -2 when no file is open; -1 when no slot is free (`rows` is then
// unchanged).
[[nodiscard]] int ReadStoredLogRows(tablestore::TableStore& store, std::string_view scaleSystem,
                                    const LogKey& key, StoredLogRows* rows);

// Adds the log's stored rows (ReadStoredLogRows) to `volume`, which the
// caller has given the log with SetLog. Returns as ReadStoredLogRows.
[[nodiscard]] int AddStoredSegmentsAndDefects(tablestore::TableStore& store,
                                              std::string_view scaleSystem, const LogKey& key,
                                              LogVolume* volume);

// Sets `volume` to the stored log (LN, SD, LD, P of its Log row) in the load's
// scale system with its segments and defects. Returns 0; -3 when not exactly
// one Log row matches (the volume then holds an empty log with the key's
// number); other negative codes as AddStoredSegmentsAndDefects.
[[nodiscard]] int LoadLogVolume(tablestore::TableStore& store, const LoadSettings& load,
                                const LogKey& key, LogVolume* volume);

// The data entry screen's current log, as its grid row shows it.
struct CurrentLog {
  LogKey key;
  int ln = 0;
  int sd = 0;
  int ld = 0;
  int product = 0;
  bool isVoid = false;      // VOID is 1
  bool overridden = false;  // OverrideVolume is 1
};

// Why the "Log Volume" window refuses a log, in the order it checks.
enum class LogVolumeCheck {
  kOk,
  kDeleted,                // "This log has been deleted", caption "Access Denied"
  kOverridden,             // "This log had its volume overridden to 0", caption LogLabelCaption
  kNotEnoughMeasurements,  // "Not enough measurements!"
};

// Checks the current log before its volume is shown: deleted, then overridden,
// then the measurement check of LogSegmenter in the load's scale system.
LogVolumeCheck CheckLogVolume(const CurrentLog& log, const LoadSettings& load);

// The "Log Volume" text of the current log (LogVolumeWindowText): the log's
// measurements from `log`, its segments and defects from the tables (read
// after the screen has written its grids back). `culled` (optional) is set
// when a segment is marked culled, for the screen's beep. Returns 0 or the
// negative code of AddStoredSegmentsAndDefects (`text` then unchanged).
[[nodiscard]] int BuildLogVolumeText(tablestore::TableStore& store, const LoadSettings& load,
                                     const CurrentLog& log, std::string* text, bool* culled);

// Recomputes the cubic volumes of every live log of the load whose volume is
// not overridden (segments from Seg, defects from DefC, the load's cull
// factors) and stores RoundTo(gross, 1) and RoundTo(net, 1) in GCV and NCV;
// on a board load (IsBoardScale) the same pass stores the log's Scribner
// gross and net board feet (defects from DefB) in GBV and NBV. Every log
// with OverrideVolume 1 gets 0 in GCV, NCV, GBV and NBV. Nothing is
// committed. Returns the number of logs computed; -1 when there is no Log
// table or no free slot; -2 when no file is open.
[[nodiscard]] int RecomputeLoadVolumes(tablestore::TableStore& store, const LoadSettings& load,
                                       std::string_view sale, std::string_view llr);

// The load totals window's content.
struct LoadTotalsWindow {
  LoadTotals totals;
  std::string text;
  std::string caption;  // "100% Load Information" or "3P Load Information"
};

// The load totals: reads the Load row, recomputes and stores the logs'
// volumes (RecomputeLoadVolumes), commits, then totals the live logs by the
// load's design (with board feet on a board load). Returns 0 with `window`
// filled; the negative code of ReadLoadSettings or RecomputeLoadVolumes
// (nothing filled); -1 when the commit fails (volumes stay recomputed in the
// open file).
[[nodiscard]] int RefreshLoadTotals(tablestore::TableStore& store, std::string_view sale,
                                    std::string_view llr, LoadTotalsWindow* window);

// The same totals as RefreshLoadTotals, for tools that only read: every live
// log's volumes are computed afresh in memory exactly as RecomputeLoadVolumes
// would store them (a volume column the Log table lacks counts 0), and
// nothing is written. `settings` and `liveLogs` (optional) receive the Load
// row's settings and the live logs with those volumes. Returns 0 with
// `window` filled, or the negative code of ReadLoadSettings, of the selection
// or of reading a log's segments and defects (nothing filled).
[[nodiscard]] int PeekLoadTotals(tablestore::TableStore& store, std::string_view sale,
                                 std::string_view llr, LoadTotalsWindow* window,
                                 LoadSettings* settings = nullptr,
                                 std::vector<TotalsLog>* liveLogs = nullptr);

}  // namespace scaling
