// SampleSelector: 3P sample selection.
//
// On a "3P" load the scaler enters a volume estimate KPI for each log; the
// selector draws RND from 0..KZ (KZ by the log's species and product, table
// KZ) and the log becomes a sample log (HIT 1) when KPI >= RND and KPI is not
// 0. The data entry screen owns one selector for as long as its log grid
// lives; all rows share the selector's one generator.
//
// Thread safety: none; user-interface thread only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/ui.h"
#include "sampling/log_row.h"
#include "sampling/mt11213_generator.h"
#include "tablestore/table_store.h"

namespace sampling {

// One row of table KZ as read.
struct KzRow {
  int p = 0;        // product; 0 marks the fallback row
  std::string sp;   // species; empty matches every species
  double kz = 0.0;  // sampling frequency; a value of 1 or less is the probability itself
};

// SelectSample result codes. The data entry screen acts on them; never renumber.
inline constexpr int kSampleDone = 0;
inline constexpr int kSampleCancelled = -1;
inline constexpr int kSampleNoKzRow = -2;
inline constexpr int kSampleColumnsMissing = -3;

// What SelectSample did, for the screen to act on.
struct SampleResult {
  int code = kSampleDone;  // one of the kSample* codes
  bool drawn = false;      // RND was drawn and HIT written
  int rnd = 0;             // the drawn RND (when drawn)
  bool sample = false;     // HIT became 1
  // HIT became 0: the screen makes the row's LN, SD and LD read-only (colour
  // 0xB9FFFF) and moves the cursor to the next row.
  bool lockMeasurements = false;
};

// The "SAMPLE LOG!" box's timer from the CloseHitWindow setting (seconds as
// text, "-1" for never): trunc(seconds) * 1000 milliseconds when the value is
// greater than -1 (so "0.5" closes the box at once), else
// platform::Message::kNever. Values too large for the timer are capped.
int HitWindowMs(std::string_view closeHitWindow);

class SampleSelector {
 public:
  // Builds one entry per row of `rows`, in order, and seeds the generator
  // with `seed` (the tick count, when built by the screen). Rows whose KZ is
  // 0 or less (no defined probability) or not a number are left out.
  SampleSelector(const std::vector<KzRow>& rows, uint32_t seed);

  // Reads every row of table KZ (columns P, SP, KZ) of the open file and
  // builds a selector seeded with the tick count of `clock`. nullopt when the
  // file has no KZ table (the screen then has no selector).
  [[nodiscard]] static std::optional<SampleSelector> LoadKZ(tablestore::TableStore& store,
                                                            const platform::Clock& clock);

  // Number of usable KZ rows.
  size_t size() const { return entries_.size(); }

  // Index of the entry that serves a log of product `p` and species `sp`:
  // the first row whose P equals `p` and, when the grid has an SP column
  // (`hasSpColumn`), whose SP is empty or equals `sp` (letter case ignored);
  // else the last row with P 0; else -1.
  int FindEntry(int p, std::string_view sp, bool hasSpColumn) const;

  // The integer KZ of entry `index`: trunc(1/p + 0.5). REQUIRES: valid index.
  int Kz(int index) const { return entries_[index].kz; }

  // The estimate above which the scaler must confirm, for entry `index`:
  // trunc(1 / (p - 0.00001)), equal to KZ up to about 300 (401 for KZ 400).
  // REQUIRES: valid index.
  int64_t Threshold(int index) const;

  // Runs the selection for `row` after its `editedColumn` cell was edited.
  // Returns code -3 (nothing drawn) when the row has no KPI, P or HIT column
  // or there are no KZ rows; 0 when the edited column is not KPI; -2 when no
  // KZ row serves the log. An estimate above the threshold asks "Your
  // estimate of %d is over the KZ value of %ld.\nSubmit this estimate?"
  // ("Continue?", OK/Cancel, question icon); Cancel empties KPI and gives -1
  // without a draw. Otherwise RND = NextInRange(0, KZ) goes into the RND cell
  // (when present); a non-zero estimate >= RND writes HIT "1" and shows
  // "SAMPLE LOG!" (no caption, exclamation icon) closing itself after
  // `hitWindowMs` (see HitWindowMs); any other writes HIT "0" and asks the
  // screen to lock the measurements.
  [[nodiscard]] SampleResult SelectSample(RowCells& row, std::string_view editedColumn,
                                          int hitWindowMs, platform::Ui& ui);

 private:
  struct Entry {
    float probability = 0.0f;
    int kz = 0;
    int p = 0;
    std::string sp;
  };

  Mt11213Generator generator_;
  std::vector<Entry> entries_;
};

// The data entry screen's message for a failed selection: -2 "SP and/or P
// not found in the KZ table.\nCan't perform sample selection." and -3 "KPI, P
// and HIT columns need to be turned on.\nCan't perform sample selection.",
// caption "Error", stop icon. Shows nothing for other codes. Returns true
// when a message was shown (the screen then empties the KPI cell).
bool ShowSelectionError(int code, platform::Ui& ui);

}  // namespace sampling
