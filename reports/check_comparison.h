// The check scale comparison: a check scaler's logs against the production
// scaler's logs of the same loads.
//
// An office checks its scalers by having a second scaler re-measure logs of
// loads that were already scaled. The check scaler's file ("check scale" file
// type) holds several loads, every log row carrying its own SALE and LLR. This
// file matches each live check log to the live production log with the same
// SALE, LLR, LOG and split S (texts compared without regard to letter case, as
// every selection of the program compares them; a deleted log matches
// nothing), recomputes the volumes of both with LogVolume, and totals the
// differences per load and overall.
//
// Both logs of a pair are computed with the production load's scale system
// and cull factors, so that a difference between them comes from the
// measurements alone: cubic feet for a cubic load, Scribner board feet for a
// board load, nothing (0) for any other. A log whose volume is overridden to 0
// counts 0, as in the load totals. Volumes are kept in tenths of the unit, so
// that sums and the tolerance test are exact.
//
// Reading (ReadComparedLoads) and comparing (CompareCheckScale) are apart:
// the reader walks one open file, the comparison is a pure function of what
// was read, and the printed form (CheckComparisonText) only lays it out.
//
// Thread safety: plain values and functions; the reader uses the store as
// TableStore allows (one thread).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "scaling/load_volumes.h"
#include "tablestore/table_store.h"

namespace reports {

// One log row as read from a file: its keys, measurements and stored
// segments and defects (the defects of the table its load's scale system
// uses: DefB for "Board", DefC otherwise).
struct ReadLog {
  int log = 0;
  std::string split;  // S as stored ("1" when the table has no S)
  std::string species;
  int product = 0;
  int length = 0;
  int smallEnd = 0;
  int largeEnd = 0;
  bool overridden = false;  // OverrideVolume 1
  bool deleted = false;     // VOID not 0
  scaling::StoredLogRows rows;
};

// One load of a file: the header texts the comparison prints and the load's
// log rows in table order (deleted ones included).
struct ReadLoad {
  std::string sale, llr;
  bool hasLoadRow = false;  // false: only log rows name this load
  std::string scaler, checkScaler, scaleDate, scaleSystem;
  scaling::CullFactors cull;
  std::vector<ReadLog> logs;
};

// The loads of one file as read, with the file's path.
struct ReadFile {
  std::string path;
  std::vector<ReadLoad> loads;
};

// Reads the loads of the open `store`: every Load row (but one without SALE
// and LLR, as a new file's first row is), and every load that
// only log rows name, in that order (Load rows first, in row order), each
// with its Log rows and their stored segments and defects. When `only` is
// given, loads whose SALE and LLR are not among them (letter case ignored) are
// left out. A table or column the file lacks reads as empty (0, split "1").
// Returns 0; -2 when no file is open; -1 when no slot is free.
[[nodiscard]] int ReadComparedLoads(tablestore::TableStore& store,
                                    const std::vector<ReadLoad>* only,
                                    std::vector<ReadLoad>* loads);

// One scaler's view of a log, with the recomputed volumes in tenths of the
// unit (a tenth of a cubic foot, or a tenth of a board foot).
struct ScaledLog {
  std::string species;
  int product = 0;
  int length = 0;
  int smallEnd = 0;
  int largeEnd = 0;
  long gross = 0;
  long defect = 0;  // gross - net
  long net = 0;
};

// What may differ between the two measurements of a log (bits of
// ComparedLog::differences).
enum Difference : unsigned {
  kSpeciesDiffers = 1,
  kProductDiffers = 2,
  kLengthDiffers = 4,
  kSmallEndDiffers = 8,
  kLargeEndDiffers = 16,
};

// A check log and the production log it matched.
struct ComparedLog {
  int log = 0;
  std::string split;
  ScaledLog production;
  ScaledLog check;
  unsigned differences = 0;  // Difference bits

  // True when species, product, length or a diameter differ (the printed
  // mark).
  bool marked() const { return differences != 0; }
  long grossDifference() const { return check.gross - production.gross; }
  long defectDifference() const { return check.defect - production.defect; }
  long netDifference() const { return check.net - production.net; }
};

// A log on one side only, with the measurements of that side (its volumes
// are not computed: they stay 0) and, for a check log, why it matched
// nothing.
struct UnmatchedLog {
  int log = 0;
  std::string split;
  ScaledLog measured;
  std::string reason;
};

// Why a check log matched nothing.
inline constexpr char kNoProductionLoad[] = "no production file holds the load";
inline constexpr char kNotInProduction[] = "not in the production load";
inline constexpr char kDeletedInProduction[] = "deleted in the production load";
inline constexpr char kEnteredTwice[] = "entered twice in the check file";

// Sums over compared logs, in tenths of the unit.
struct ComparisonTotals {
  int loads = 0;
  int logs = 0;           // logs compared
  int logsDiffering = 0;  // of those, marked
  long productionGross = 0;
  long checkGross = 0;
  long productionNet = 0;
  long checkNet = 0;
  int outsideTolerance = 0;  // loads flagged

  // (check - production) / production x 100; nullopt when the production
  // figure is 0 (no per cent can be given).
  std::optional<double> GrossPercent() const;
  std::optional<double> NetPercent() const;
  // Adds the sums of `other` to these.
  void Add(const ComparisonTotals& other);
};

// One checked load.
struct LoadComparison {
  std::string sale, llr;
  std::string productionFile;               // "" when no production file holds the load
  std::string scaleSystem;                  // the production load's SCALESYS
  bool board = false;                       // volumes in board feet (else cubic feet)
  std::string scaler;                       // SCALER of the production load
  std::string checkScaler;                  // CHKSCALER of the check load, else its SCALER
  std::string scaleDate;                    // SDATE of the production load
  std::string checkDate;                    // SDATE of the check load
  std::vector<ComparedLog> logs;            // in the check file's order
  std::vector<UnmatchedLog> checkOnly;      // check logs without a production log
  std::vector<UnmatchedLog> notRemeasured;  // live production logs no check log matched
  ComparisonTotals totals;
  bool outsideTolerance = false;  // |net per cent| above the tolerance
};

// The whole comparison.
struct CheckComparison {
  std::string checkFile;
  std::vector<std::string> productionFiles;
  std::optional<double> tolerance;  // per cent; none given: nothing is flagged
  std::vector<LoadComparison> loads;
  ComparisonTotals cubic;  // overall, over the loads in cubic feet
  ComparisonTotals board;  // overall, over the loads in board feet

  bool anyOutsideTolerance() const { return cubic.outsideTolerance + board.outsideTolerance > 0; }
};

// Why a comparison cannot be made: "" when it can, else the reason (a load
// that two production files hold; the file's path is named).
std::string AmbiguousProduction(const std::vector<ReadFile>& production);

// Compares the check file's loads with the production files' loads (as
// ReadComparedLoads read them). A load is checked when the check file has a
// live log of it or a Load row for it; its production load is the one with
// the same SALE and LLR in any production file (the first, when several hold
// it: AmbiguousProduction tells the caller). With a tolerance, a load whose
// net difference in per cent of the production net exceeds it (either way),
// or whose production net is 0 while the check net is not, is flagged.
// REQUIRES: tolerance, when given, is >= 0.
CheckComparison CompareCheckScale(const ReadFile& check, const std::vector<ReadFile>& production,
                                  std::optional<double> tolerance);

// ---- The printed form -------------------------------------------------------

// The printed comparison: portrait pages of the log report's layout, the
// program's heading with "-- CHECK SCALE COMPARISON --" and "*** CHECK SCALE
// ***", then per load its header (sale, load receipt, scaler, check scaler,
// dates, unit), one line per compared log, the check logs without a
// production log, the production logs not re-measured and the load's totals;
// and the overall totals per unit at the end. `programVersion` follows
// "V A R N O L D E  "; `clock` gives the date and time of the heading.
std::string CheckComparisonText(const CheckComparison& comparison,
                                const std::string& programVersion, const platform::Clock& clock);

// A volume in tenths of its unit as the report prints it: cubic feet to one
// decimal, board feet whole.
std::string VolumeFigure(long tenths, bool board);
// A per cent with one decimal and its sign ("+1.1", "-0.4", "0.0"); "-" when
// there is none.
std::string PercentFigure(const std::optional<double>& percent);

}  // namespace reports
