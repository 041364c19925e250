#include "sampling/butt_log.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <utility>

#include "sampling/cell_text.h"
#include "scaling/data_model.h"
#include "scaling/log_segmenter.h"
#include "scaling/volume_math.h"

namespace sampling {

namespace col = scaling::col;

namespace {

constexpr char kButtLogQuestion[] =
    "Butt logs with a recorded length of 50' or longer require an additional measured diameter "
    "at the top of the butt segment on three-segment logs, or at the midpoint (top of second "
    "segment) on four-segment logs.\n\nIs this a butt log?";

// Logs of this length and longer have five or more segments and no midpoint rule.
constexpr int kLongestMidpointLog = 80;

void ShowError(platform::Ui& ui, const std::string& text, const char* caption) {
  ui.ShowMessage(platform::Message{text, caption, platform::Icon::kStop});
}

int Capped(int64_t value) {
  return static_cast<int>(
      std::clamp<int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

void AppendRemark(RowCells& row, const std::string& remark) {
  std::string rem = row.Get(col::kRem);
  if (!rem.empty()) rem += ", ";
  row.Set(col::kRem, rem + remark);
}

}  // namespace

std::vector<scaling::SegmentShape> NormalSegments(int ln, int sd, int ld) {
  scaling::LogSegmenter segmenter;
  segmenter.SetLog(ln, sd, ld);
  const int count = segmenter.ComputeLengths();
  segmenter.ComputeDiameters();
  std::vector<scaling::SegmentShape> segments;
  for (int i = 0; i < count; ++i) {
    segments.push_back(scaling::SegmentShape{segmenter.Lengths()[i], segmenter.SmallEnds()[i],
                                             segmenter.LargeEnds()[i]});
  }
  return segments;
}

std::vector<scaling::SegmentShape> MidpointSegments(int ln, int sd, int ld, int m) {
  std::vector<scaling::SegmentShape> s = NormalSegments(ln, sd, ld);
  if (ld < sd && ld != 0) std::swap(sd, ld);  // as the segmenter orders them
  // Formed in 64 bits and capped: damaged diameters near the ends of the int
  // range must not overflow m + q1.
  const int64_t taper = int64_t{ld} - sd;
  if (s.size() == 3) {
    const int64_t q = (int64_t{m} - sd) / 2;
    s[0].smallEnd = m;
    s[1].largeEnd = m;
    s[1].smallEnd = Capped(m - q);
    s[2].largeEnd = Capped(m - q);
  } else if (s.size() == 4) {
    const int64_t q1 = taper / 4;
    const int64_t q2 = (int64_t{m} - sd) / 2;
    s[1].smallEnd = m;
    s[2].largeEnd = m;
    s[0].smallEnd = Capped(m + q1);
    s[1].largeEnd = Capped(m + q1);
    s[2].smallEnd = Capped(m - q2);
    s[3].largeEnd = Capped(m - q2);
  }
  return s;
}

MidpointDialog::MidpointDialog(const RowCells& row)
    : ln_(row.GetInt(col::kLN)), sd_(row.GetInt(col::kSD)), ld_(row.GetInt(col::kLD)) {
  if (ld_ < sd_ && ld_ != 0) std::swap(sd_, ld_);
  heading_ = "Log: " + row.Get(col::kLog) + "\tS: " + row.Get(col::kS) +
             "\tSP: " + row.Get(col::kSP) + "\nSD: " + row.Get(col::kSD) +
             "\t\tLD: " + row.Get(col::kLD);
  normal_ = NormalSegments(ln_, sd_, ld_);
}

std::string MidpointDialog::Prompt() const {
  char distance[64];
  if (normal_.size() == 3) {
    std::snprintf(distance, sizeof distance, "(%d feet from the butt end)", normal_[0].length);
    return std::string("Please enter the diameter at the ") + "top of the butt segment\n" +
           distance;
  }
  if (normal_.size() == 4) {
    std::snprintf(distance, sizeof distance, "(%d feet from the butt end)",
                  normal_[0].length + normal_[1].length);
    return std::string("Please enter the diameter at the ") + "midpoint (top of second segment)\n" +
           distance;
  }
  return "";
}

bool MidpointDialog::ApplyMidpoint(int m, RowCells& row, SegmentRowsWriter& segments,
                                   platform::Ui& ui) const {
  if (m < sd_ || m > ld_) {
    ShowError(ui, "Invalid midpoint diameter!", "Error");
    return false;
  }
  if (segments.WriteSegments(MidpointSegments(ln_, sd_, ld_, m)))
    row.Set(col::kSkipSeg, IntText(m));
  return true;
}

int AskButtMidpoint(RowCells& row, SegmentRowsWriter& segments, platform::Ui& ui) {
  const int ln = row.GetInt(col::kLN);
  if (ln < 50 || ln > kLongestMidpointLog || row.GetInt(col::kSD) <= 0 ||
      row.GetInt(col::kLD) <= 0) {
    return kMidpointNotAsked;
  }
  platform::Message ask{kButtLogQuestion, "Is this a butt log?", platform::Icon::kInformation,
                        platform::Buttons::kYesNo};
  if (ui.ShowMessage(ask) != platform::Answer::kYes) return kMidpointNotButtLog;
  const MidpointDialog dialog(row);
  platform::TextPrompt prompt{"Butt Log", dialog.Heading() + "\n\n" + dialog.Prompt(), ""};
  for (;;) {
    const std::optional<std::string> entered = ui.PromptText(prompt);
    if (!entered) return kMidpointCancelled;
    const int m = CellInt(*entered);
    if (dialog.ApplyMidpoint(m, row, segments, ui)) {
      char remark[64];
      std::snprintf(remark, sizeof remark, "Midpoint diameter: %d", m);
      AppendRemark(row, remark);
      return kMidpointApplied;
    }
    prompt.initial = *entered;  // the window stays with the rejected text selected
  }
}

namespace {

constexpr char kPlaceNeeded[] =
    " number is missing from the 'Load Info' table.\nRegion, Forest and District numbers are "
    "required to look up tapers.";

// A CriteriaString cannot quote: a value holding "," or "=" would be read as
// further column names, so such a lookup matches nothing.
bool Quotable(const std::string& value) { return value.find_first_of(",=") == std::string::npos; }

std::string TaperCriteria(const std::string& sp, const TaperPlace& place,
                          const std::string& district) {
  return "SP=" + sp + ", REGION=" + place.region + ", FOREST=" + place.forest +
         ", DISTRICT=" + district;
}

std::optional<float> LookUpTaper(const TaperTable& tapers, const std::string& criteria,
                                 bool quotable) {
  if (!quotable) return std::nullopt;
  return tapers.FindTaper(criteria);
}

// Step 1 of the taper lookup: the load must say where it is, and there must be taper data.
int CheckTaperPlace(const TaperPlace& place, const TaperTable* tapers, platform::Ui& ui) {
  const struct {
    const std::string& value;
    const char* name;
    int result;
  } fields[] = {{place.region, "Region", kTaperNoRegion},
                {place.forest, "Forest", kTaperNoForest},
                {place.district, "District", kTaperNoDistrict}};
  for (const auto& field : fields) {
    if (field.value.empty()) {
      ShowError(ui, field.name + std::string(kPlaceNeeded), "Error!");
      return field.result;
    }
  }
  if (!tapers || !tapers->HasRows()) {
    ShowError(ui,
              "Taper data doesn't exist.\n Go into Setup & Options > Other Options > Tapers for "
              "Butt Logs and add your local taper data.",
              "Error!");
    return kTaperNoData;
  }
  return kTaperDone;
}

}  // namespace

int LdFromTaper(RowCells& row, const TaperPlace& place, const TaperTable* tapers,
                platform::Ui& ui) {
  const int placeCheck = CheckTaperPlace(place, tapers, ui);
  if (placeCheck != kTaperDone) return placeCheck;
  if (row.GetInt(col::kLD) != 0) {
    platform::Message ask{"This log already has an LD.\nOverride with a calculated LD?", "Warning!",
                          platform::Icon::kExclamation, platform::Buttons::kYesNo};
    if (ui.ShowMessage(ask) != platform::Answer::kYes) return kTaperKeptLd;
  }
  const std::string sp = row.Get(col::kSP);
  const int ln = row.GetInt(col::kLN);
  const int sd = row.GetInt(col::kSD);
  if (sp.empty() || ln == 0 || sd == 0) {
    ShowError(ui, "SP, LEN and SD are needed to calculate LD using taper.", "Error!");
    return kTaperMissingMeasurements;
  }
  const bool quotable =
      Quotable(sp) && Quotable(place.region) && Quotable(place.forest) && Quotable(place.district);
  const std::string first = TaperCriteria(sp, place, place.district);
  const std::string second = TaperCriteria(sp, place, "All");
  std::optional<float> taper = LookUpTaper(*tapers, first, quotable);
  if (!taper) taper = LookUpTaper(*tapers, second, quotable);
  if (!taper) {
    ShowError(ui, "There are no records in the Taper table for\n" + first + "\n\t\tor\n" + second,
              "Error!");
    return kTaperNoMatch;
  }
  const int ld = scaling::TruncToInt(scaling::RoundTo(sd + ln * static_cast<double>(*taper), 0));
  row.Set(col::kLD, IntText(ld));
  if (row.Get(col::kB).empty()) row.Set(col::kB, "B");
  char remark[128];
  std::snprintf(remark, sizeof remark, " LD of %d calculated using a taper of %1.3f in/ft.", ld,
                static_cast<double>(*taper));
  row.Set(col::kRem, row.Get(col::kRem) + remark);
  return kTaperDone;
}

}  // namespace sampling
