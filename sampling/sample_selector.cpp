#include "sampling/sample_selector.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "platform/text.h"
#include "sampling/cell_text.h"
#include "sampling/store_rows.h"
#include "scaling/data_model.h"

namespace sampling {

namespace col = scaling::col;

namespace {

// trunc(x) as a 64-bit integer, with NaN as 0 and values beyond the range of
// `limit` capped at it, so that extreme KZ values cannot overflow.
int64_t TruncCapped(double x, int64_t limit) {
  if (std::isnan(x) || x <= 0.0) return 0;
  if (x >= static_cast<double>(limit)) return limit;
  return static_cast<int64_t>(x);
}

}  // namespace

int HitWindowMs(std::string_view closeHitWindow) {
  const double seconds = CellDouble(closeHitWindow);
  if (!(seconds > -1.0)) return platform::Message::kNever;
  const int64_t ms = TruncCapped(seconds, std::numeric_limits<int>::max() / 1000) * 1000;
  return static_cast<int>(ms);
}

SampleSelector::SampleSelector(const std::vector<KzRow>& rows, uint32_t seed) : generator_(seed) {
  for (const KzRow& row : rows) {
    if (!(row.kz > 0.0)) continue;  // 0, negative or NaN: no probability to draw with
    Entry entry;
    entry.probability =
        row.kz <= 1.0 ? static_cast<float>(row.kz) : static_cast<float>(1.0 / row.kz);
    if (!(entry.probability > 0.0f)) continue;  // a KZ so large its probability underflows
    entry.kz = static_cast<int>(
        TruncCapped(1.0 / entry.probability + 0.5, std::numeric_limits<int>::max()));
    entry.p = row.p;
    entry.sp = row.sp;
    entries_.push_back(std::move(entry));
  }
}

std::optional<SampleSelector> SampleSelector::LoadKZ(tablestore::TableStore& store,
                                                     const platform::Clock& clock) {
  if (store.TableExists(scaling::table::kKZ) < 0) return std::nullopt;
  std::vector<KzRow> rows;
  for (const TextRow& row :
       ReadRows(store, scaling::table::kKZ, "", "", {col::kP, col::kSP, col::kKZ})) {
    rows.push_back(KzRow{row.GetInt(col::kP), row.Get(col::kSP), CellDouble(row.Get(col::kKZ))});
  }
  return SampleSelector(rows, clock.TickCount());
}

int SampleSelector::FindEntry(int p, std::string_view sp, bool hasSpColumn) const {
  int fallback = -1;
  for (size_t i = 0; i < entries_.size(); ++i) {
    const Entry& entry = entries_[i];
    if (entry.p == 0) fallback = static_cast<int>(i);
    if (entry.p == p && hasSpColumn &&
        (entry.sp.empty() || platform::EqualsIgnoringAsciiCase(entry.sp, sp))) {
      return static_cast<int>(i);
    }
  }
  return fallback;
}

int64_t SampleSelector::Threshold(int index) const {
  const double margin = static_cast<double>(entries_[index].probability) - 0.00001;
  // A probability at or below the margin has no finite threshold: every estimate passes.
  if (margin <= 0.0) return std::numeric_limits<int64_t>::max();
  return TruncCapped(1.0 / margin, std::numeric_limits<int64_t>::max());
}

SampleResult SampleSelector::SelectSample(RowCells& row, std::string_view editedColumn,
                                          int hitWindowMs, platform::Ui& ui) {
  SampleResult result;
  if (!row.Has(col::kKPI) || !row.Has(col::kP) || !row.Has(col::kHIT) || entries_.empty()) {
    result.code = kSampleColumnsMissing;
    return result;
  }
  if (!platform::EqualsIgnoringAsciiCase(editedColumn, col::kKPI)) return result;
  const int estimate = row.GetInt(col::kKPI);
  const int index = FindEntry(row.GetInt(col::kP), row.Get(col::kSP), row.Has(col::kSP));
  if (index < 0) {
    result.code = kSampleNoKzRow;
    return result;
  }
  const int64_t threshold = Threshold(index);
  if (estimate > threshold) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "Your estimate of %d is over the KZ value of %lld.\nSubmit this estimate?",
                  estimate, static_cast<long long>(threshold));
    platform::Message ask{text, "Continue?", platform::Icon::kQuestion,
                          platform::Buttons::kOkCancel};
    if (ui.ShowMessage(ask) != platform::Answer::kOk) {
      row.Set(col::kKPI, "");
      result.code = kSampleCancelled;
      return result;
    }
  }
  result.drawn = true;
  result.rnd = generator_.NextInRange(0, entries_[index].kz);
  row.Set(col::kRND, IntText(result.rnd));
  if (estimate != 0 && estimate >= result.rnd) {
    result.sample = true;
    row.Set(col::kHIT, "1");
    platform::Message box{"SAMPLE LOG!", "", platform::Icon::kExclamation};
    box.close_after_ms = hitWindowMs;
    ui.ShowMessage(box);
  } else {
    row.Set(col::kHIT, "0");
    result.lockMeasurements = true;
  }
  return result;
}

bool ShowSelectionError(int code, platform::Ui& ui) {
  const char* text = nullptr;
  if (code == kSampleNoKzRow) {
    text = "SP and/or P not found in the KZ table.\nCan't perform sample selection.";
  } else if (code == kSampleColumnsMissing) {
    text = "KPI, P and HIT columns need to be turned on.\nCan't perform sample selection.";
  }
  if (!text) return false;
  ui.ShowMessage(platform::Message{text, "Error", platform::Icon::kStop});
  return true;
}

}  // namespace sampling
