// Butt-log aids: the midpoint diameter of long butt logs and the large-end
// diameter from the taper table.
//
// Long butt logs (50 to 80 feet, three or four segments) get an extra
// measured diameter inside the log; the program spreads the log's taper
// around it instead of evenly. A log whose large-end diameter was not
// measured can get LD from a taper rate per foot looked up in table Tapers
// by species, region, forest and district.
//
// Both run from the data entry screen on the log row being edited.
//
// Thread safety: none; user-interface thread only.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui.h"
#include "sampling/log_row.h"
#include "scaling/defect_methods.h"

namespace sampling {

// The Seg rows of one log.
class SegmentRowsWriter {
 public:
  virtual ~SegmentRowsWriter() = default;

  // Brings the log's Seg rows to exactly `segments.size()` rows (rows added
  // or removed at the end) and writes each row's Seg (its position, from 1
  // at the butt), LN, SD and LD (the shapes' gross is not stored). Returns
  // false when the rows could not be written (no Seg table).
  [[nodiscard]] virtual bool WriteSegments(const std::vector<scaling::SegmentShape>& segments) = 0;
};

// The normal segmentation of a log of length `ln` with end diameters `sd`
// and `ld` (in either order), segment 1 at the butt.
std::vector<scaling::SegmentShape> NormalSegments(int ln, int sd, int ld);

// The segments of a log of length `ln` with end diameters `sd` and `ld` and
// the measured diameter `m` at the top of the butt segment (3 segments) or
// at the midpoint (4 segments): the normal segmentation with the taper
// spread around m. Other segment counts keep the normal segmentation.
std::vector<scaling::SegmentShape> MidpointSegments(int ln, int sd, int ld, int m);

// The "Butt Log" window that asks for the midpoint diameter of one log.
class MidpointDialog {
 public:
  // Takes LOG, S, SP, LN, SD, LD from `row` and segments the log.
  explicit MidpointDialog(const RowCells& row);

  // Number of segments of the log.
  int SegmentCount() const { return static_cast<int>(normal_.size()); }

  // "Log: L\tS: S\tSP: SP\nSD: SD\t\tLD: LD" with the row's texts.
  const std::string& Heading() const { return heading_; }

  // The request for the diameter: at the top of the butt segment (3
  // segments) or at the midpoint (4 segments), with its distance from the
  // butt end; "" for other segment counts.
  std::string Prompt() const;

  // The dialog's OK action with the entered diameter `m`. A diameter below
  // SD or above LD shows "Invalid midpoint diameter!" ("Error", stop icon)
  // and returns false (the dialog stays). Otherwise writes the log's
  // segments (MidpointSegments) through `segments`, writes m into the row's
  // SkipSeg cell so that later segmentation keeps these diameters (only when
  // the segments were written), and returns true.
  [[nodiscard]] bool ApplyMidpoint(int m, RowCells& row, SegmentRowsWriter& segments,
                                   platform::Ui& ui) const;

 private:
  int ln_ = 0, sd_ = 0, ld_ = 0;
  std::string heading_;
  std::vector<scaling::SegmentShape> normal_;
};

// AskButtMidpoint results.
inline constexpr int kMidpointNotAsked = 0;    // not a log that needs the question
inline constexpr int kMidpointNotButtLog = 1;  // the scaler answered No
inline constexpr int kMidpointCancelled = 2;   // the scaler left the window with Cancel
inline constexpr int kMidpointApplied = 3;     // segments, SkipSeg and REM written

// Run after the scaler finished editing LN, SD or LD of `row`. Only when LN,
// SD and LD are all above 0 and LN is 50 to 80 feet (three or four segments;
// longer logs have no midpoint rule and are not asked) asks "Butt logs with
// a recorded length of 50' or longer ... Is this a butt log?" (Yes/No,
// information icon). On Yes the "Butt Log" window asks for the diameter
// until ApplyMidpoint accepts it or the scaler cancels; once accepted,
// "Midpoint diameter: %d" is appended to REM (after ", " when REM is not
// empty). Returns one of the kMidpoint* results.
[[nodiscard]] int AskButtMidpoint(RowCells& row, SegmentRowsWriter& segments, platform::Ui& ui);

// Where the load is, for the taper lookup (Load REGION, FOREST, DISTRICT).
struct TaperPlace {
  std::string region;
  std::string forest;
  std::string district;
};

// Table Tapers as the taper lookup sees it.
class TaperTable {
 public:
  virtual ~TaperTable() = default;

  // True when the table has at least one row.
  virtual bool HasRows() const = 0;

  // TAPER of the first row matching the CriteriaString `criteria`; nullopt
  // when no row matches.
  virtual std::optional<float> FindTaper(const std::string& criteria) const = 0;
};

// LdFromTaper results. The data entry screen acts on them; never renumber.
inline constexpr int kTaperDone = 0;
inline constexpr int kTaperNoRegion = -1;
inline constexpr int kTaperNoForest = -2;
inline constexpr int kTaperNoDistrict = -3;
inline constexpr int kTaperNoData = -4;
inline constexpr int kTaperKeptLd = -5;
inline constexpr int kTaperMissingMeasurements = -6;
inline constexpr int kTaperNoMatch = -7;

// Computes LD of `row` as RoundTo(SD + LN * taper, 0), with the taper of the
// row's species at `place` (a row for the district, else one for district
// "All"). `tapers` may be null when the file has no Tapers table. Every
// failure is shown ("Error!", stop icon) and leaves the row unchanged; an
// existing LD is replaced only after the scaler agrees. On success LD is
// written, an empty B becomes "B", and " LD of %d calculated using a taper
// of %1.3f in/ft." is appended to REM; the screen shows B, LD and REM in red.
[[nodiscard]] int LdFromTaper(RowCells& row, const TaperPlace& place, const TaperTable* tapers,
                              platform::Ui& ui);

}  // namespace sampling
