// Log and defect validation: the checks the data entry screen runs before a
// log is accepted and before the defect grid is saved.
//
// Both checks work on the texts of the grid rows (an empty cell reads as 0).
// The pure parts (CheckLog, CheckDefectGrid) return what they found; the
// Validate* functions show it through the Ui and return the result codes the
// screen acts on.
//
// Thread safety: none; user-interface thread only.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "sampling/findings.h"
#include "sampling/log_row.h"
#include "scaling/log_volume.h"

namespace sampling {

// What the log check needs to know about the load and the setup.
struct LogCheckContext {
  std::string saleType;     // Load ST: "100" or "3P"
  std::string scaleSystem;  // Load SCALESYS: only "Cubic" logs are checked
  LoadLimits limits;        // Load MINLEN, MAXLEN, MINDIA, MAXDIA
  // The valid species as ",A,B,C," (the Validate text of Log.SP with blanks
  // made commas and a comma at each end); one character or less disables the
  // species check.
  std::string speciesList;
};

// One defect row, as integers (M, M1..M4, LN, PCT).
struct DefectValues {
  int m = 0, m1 = 0, m2 = 0, m3 = 0, m4 = 0, ln = 0, pct = 0;

  // Reads the columns M, M1, M2, M3, M4, LN and PCT of `row`.
  static DefectValues FromRow(const RowCells& row);
  // The method and measurements of a stored defect row.
  static DefectValues FromRecord(const scaling::DefectRecord& record);
};

// One Seg row of the log (Seg, LN, SD, LD) with its defects in order.
// Seg 0 is a whole-log segment.
struct SegmentDefects {
  int seg = 0, ln = 0, sd = 0, ld = 0;
  std::vector<DefectValues> defects;
};

// Brings the log's Seg rows up to date from its LN, SD and LD and returns
// them, in order, each with its defects. Called at most once per check, and
// only when the log itself has no errors and all three measurements are set.
using SegmentSource = std::function<std::vector<SegmentDefects>()>;

// The log check. `row` holds the log's cells (LOG, SP, P, LN, SD, LD, HIT,
// VOID). Returns no findings when the check does not apply (the scale system
// is not "Cubic" or VOID is 1). Errors and warnings come in the order of the
// steps: non-sample measurements, species, product, ranges (warnings), then
// the segment and defect findings "Seg s, Def d: ...".
Findings CheckLog(const LogCheckContext& context, const RowCells& row,
                  const SegmentSource& segments);

// ValidateLog results besides the error count (> 0).
inline constexpr int kLogValid = 0;
inline constexpr int kLogWarningsAccepted = -1;
inline constexpr int kLogWarningsCancelled = -2;

// Shows `findings` for log `logNumber`: errors (the text without its last
// line break, caption "Log N has errors", stop icon) and return their count;
// else warnings (text + "\nContinue?", caption "Log N has possible errors",
// OK/Cancel, exclamation icon) and return -1 for OK, -2 for Cancel; else 0
// without a message.
[[nodiscard]] int ReportLogFindings(const Findings& findings, int logNumber, platform::Ui& ui);

// CheckLog followed by ReportLogFindings with the row's LOG.
[[nodiscard]] int ValidateLog(const LogCheckContext& context, const RowCells& row,
                              const SegmentSource& segments, platform::Ui& ui);

// The first bad record of a defect grid.
struct DefectGridProblem {
  int record = 0;       // 1-based record number (the grid row below the heading); 0: none
  std::string message;  // without a line break
};

// Checks the defect records in order against the log's length and stops at
// the first bad one: no data; defect LN above the log's length; for
// "Squared Area" (M 3) M2 without M1, M4 without M3, or no measurement. Sets
// of measurements the deduction rules do not know (Squared Area with three
// of the four; Ring Deduction other than M1, M3, M1+M3, M1+M2 or all four)
// are refused too, since they would deduct nothing.
DefectGridProblem CheckDefectGrid(const std::vector<DefectValues>& records, int logLength);

// CheckDefectGrid; a bad record's message is shown with caption "Defect
// Error!" and the stop icon. Returns 0 when every record is valid, else the
// number of the first bad record.
[[nodiscard]] int ValidateDefectGrid(const std::vector<DefectValues>& records, int logLength,
                                     platform::Ui& ui);

}  // namespace sampling
