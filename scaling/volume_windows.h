// The computations behind the data entry screen's read-only volume windows:
// the load totals (100 % sums, or the 3P expansion of the measured logs to the
// whole load), the "Log Volume" text of one log, and the quick estimate. The
// functions here work on plain values; load_volumes.h reads and writes them
// through TableStore. The screens only show the texts.
//
// Thread safety: pure functions; safe from any thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "scaling/log_volume.h"

namespace scaling {

// Window captions.
inline constexpr char kLogVolumeCaption[] = "Log Volume";
inline constexpr char kQuickEstimateCaption[] = "Quick Volume Estimage";
inline constexpr char kLoad100Caption[] = "100% Load Information";
inline constexpr char kLoad3PCaption[] = "3P Load Information";

// Refusals of the "Log Volume" window, and its caption for the first one.
inline constexpr char kLogDeletedMessage[] = "This log has been deleted";
inline constexpr char kAccessDeniedCaption[] = "Access Denied";
inline constexpr char kVolumeOverriddenMessage[] = "This log had its volume overridden to 0";
inline constexpr char kNotEnoughMeasurementsMessage[] = "Not enough measurements!";

// What the load totals need of one live (VOID = 0) log row.
struct TotalsLog {
  std::string species;  // SP
  int product = 0;    // P
  int kpi = 0;        // KPI
  int hit = -1;       // HIT: 1 measured, 0 counted, -1 undecided
  std::string split;  // S
  float gcv = 0.0f;   // GCV
  float ncv = 0.0f;   // NCV
  float gbv = 0.0f;   // GBV (board loads)
  float nbv = 0.0f;   // NBV (board loads)
};

// Columns of the totals.
enum TotalsColumn : int { kSaw = 0, kNonSaw = 1, kTotal = 2 };

// The load totals, per column (saw, non-saw, total). Single precision.
struct LoadTotals {
  bool threeP = false;  // the Counted, Total and Non-chargeable lines apply
  bool board = false;   // a board load: the board lines apply
  float gross[3] = {};
  float net[3] = {};
  float defect[3] = {};
  // Board feet of a board load, in whole tens (0 otherwise); defect is
  // gross - net of the rounded figures, so the three lines always agree.
  float boardGross[3] = {};
  float boardNet[3] = {};
  float boardDefect[3] = {};
  int measured[3] = {};
  int counted[3] = {};
  int total[3] = {};
  int nonChargeable = 0;
};

// Totals of the live logs of a load with sample design `design` (ST). For
// "100": GCV and NCV summed by product (1 saw, 2 non-saw, others skipped),
// each row counted as measured. For any other design, the 3P expansion by
// product: with m measured (HIT 1) logs, K the sum of KPI over the measured
// and counted (HIT 0) logs, Rg and Rn the sums of GCV/KPI and NCV/KPI over
// the measured logs, gross = Rg / m * K and net = Rn / m * K (0 when m is 0);
// a measured log with KPI < 1 adds nothing to Rg and Rn (it cannot be
// expanded). Non-chargeable logs: KPI 0 and split "1". Defect = gross - net.
// Total logs = measured + counted (on a "100" load every log is measured).
// With `board` the GBV and NBV of the logs are summed or expanded the same
// way and rounded to whole tens of board feet.
LoadTotals ComputeLoadTotals(std::string_view design, const std::vector<TotalsLog>& liveLogs,
                             bool board = false);

// Board feet rounded to whole tens, as the totals show them.
float RoundToTens(float boardFeet);

// How much of the load totals each live log carries (same order as
// `liveLogs`): the factor by which its volumes enter its product's gross and
// net, so that totals of any part of a load's logs (by species, say) add up
// to the load's. 1 on a "100" load; on a 3P load K / (m * KPI) of its
// product for a measured log with KPI >= 1, else 0; 0 for other products.
std::vector<float> TotalsWeights(std::string_view design, const std::vector<TotalsLog>& liveLogs);

// True when the totals count the log as measured, or as counted (3P only).
bool CountsAsMeasured(std::string_view design, const TotalsLog& log);
bool CountsAsCounted(std::string_view design, const TotalsLog& log);

// The totals text: "SALE: %s  LLR: %s", the table of gross, net, defect,
// for a board load its board feet ("Gross BF", "Net BF", "Def BF"), the
// measured counts, and for 3P the Counted, Total and Non-chargeable lines;
// lines end in "\r\n".
std::string LoadTotalsText(std::string_view sale, std::string_view llr, const LoadTotals& totals);

// "100% Load Information" for design "100", else "3P Load Information".
std::string_view LoadTotalsCaption(std::string_view design);

// The "Log Volume" window text of a log already in `volume`: "SALE: %s  LLR:
// %s\r\n\r\n", then the log's listing with ", Split <split>" on its log line.
// `culled` (optional) is set when any segment is marked culled (the screen
// beeps).
std::string LogVolumeWindowText(std::string_view sale, std::string_view llr, std::string_view split,
                                LogVolume& volume, bool* culled);

// The log label "Log=<LOG>,S=<S>" and the caption made from it ("Log=5, S=1").
std::string LogLabel(int log, std::string_view split);
std::string LogLabelCaption(int log, std::string_view split);

// The quick estimate: (SD^2 + LD^2) * LN * 0.002727 cubic feet, in double.
double QuickEstimate(int sd, int ld, int ln);

// The quick estimate window's result for the three field texts, each read as
// a whole number (leading blanks and sign allowed; anything unreadable is 0;
// magnitudes are capped at 1,000,000): "CF Volume: " and the volume as "%5.1f".
std::string QuickEstimateText(std::string_view sd, std::string_view ld, std::string_view ln);

}  // namespace scaling
