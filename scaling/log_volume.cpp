#include "scaling/log_volume.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "scaling/log_segmenter.h"
#include "scaling/scribner.h"
#include "scaling/text_format.h"
#include "scaling/volume_math.h"

namespace scaling {
namespace {

constexpr char kListingRule[] = "------------------------------------\r\n";

template <typename Record>
void InsertBySegment(std::vector<Record>& list, const Record& record) {
  const auto at = std::upper_bound(list.begin(), list.end(), record.seg,
                                   [](int seg, const Record& r) { return seg < r.seg; });
  list.insert(at, record);
}

// Applies one defect to one segment: the deduction and factor are stored on
// the defect record and added to the segment's sums.
void ApplyCubicDefect(DefectRecord& d, const DefectMeasures& measures, const SegmentShape& shape,
                      bool wholeLog, float* deduction, float* factor) {
  const CubicDeduction result = ComputeCubicDeduction(d.method, measures, shape, wholeLog);
  d.cubicDeduction = result.volume;
  d.cubicFactor = result.factor;
  *deduction += result.volume;
  *factor += result.factor;
}

}  // namespace

int BoardDeduction(const DefectRecord& defect, int gross, int smallEnd, int length) {
  const int m1 = defect.measures.m1;
  const int ln = defect.measures.length;
  if (m1 < 1 && ln < 1) return TruncToInt(defect.enteredVolume);
  const int diameter = m1 < 1 ? smallEnd : std::max(ClampedDifference(smallEnd, m1), 0);
  const int remaining = ln < 1 ? length : ClampedDifference(length, ln);
  return ClampedDifference(gross, Scribner(diameter, remaining));
}

void LogVolume::SetLog(int ln, int sd, int ld, int logNumber, int product,
                       std::string_view scaleSystem, const CullFactors& cull) {
  log_ = LogRecord{};
  log_.log = logNumber;
  log_.length = ln;
  log_.smallEnd = sd;
  log_.largeEnd = ld;
  log_.product = product;
  scaleSystem_ = scaleSystem.empty()
                     ? ' '
                     : static_cast<char>(std::toupper(static_cast<unsigned char>(scaleSystem[0])));
  cull_ = cull;
  segments_.clear();
  defects_.clear();
  warnings_.clear();
  generated_ = false;
  dirty_ = true;
  LogSegmenter segmenter;
  segmenter.SetLog(ln, sd, ld);
  expectedSegments_ = segmenter.ComputeLengths();
}

void LogVolume::AddSegment(const SegmentRecord& segment) {
  InsertBySegment(segments_, segment);
  dirty_ = true;
}

void LogVolume::AddDefect(const DefectRecord& defect) {
  InsertBySegment(defects_, defect);
  dirty_ = true;
}

void LogVolume::Compute() {
  if (!dirty_) return;
  if (segments_.empty()) GenerateSegments();
  warnings_.clear();
  if (generated_) warnings_ += kWarnGeneratedSegments;
  if (static_cast<int>(segments_.size()) != expectedSegments_) {
    warnings_ += kWarnIncorrectNumSegments;
  }
  log_ = LogRecord{log_.log, log_.length, log_.smallEnd, log_.largeEnd, log_.product};
  if (scaleSystem_ == 'C') {
    ComputeCubic();
  } else if (scaleSystem_ == 'B') {
    ComputeBoard();
  }
  dirty_ = false;
}

void LogVolume::GenerateSegments() {
  LogSegmenter segmenter;
  segmenter.SetLog(log_.length, log_.smallEnd, log_.largeEnd);
  const int count = segmenter.ComputeLengths();
  segmenter.ComputeDiameters();
  for (int i = 0; i < count; ++i) {
    SegmentRecord seg;
    seg.seg = i + 1;
    seg.length = segmenter.Lengths()[i];
    seg.smallEnd = segmenter.SmallEnds()[i];
    seg.largeEnd = segmenter.LargeEnds()[i];
    segments_.push_back(seg);
  }
  generated_ = true;
}

void LogVolume::ComputeCubic() {
  const int count = static_cast<int>(segments_.size());
  std::vector<SegmentShape> shapes;
  shapes.reserve(segments_.size());
  for (SegmentRecord& seg : segments_) {
    seg = SegmentRecord{seg.seg, seg.length, seg.smallEnd, seg.largeEnd};
    shapes.push_back(SegmentShape{seg.length, seg.smallEnd, seg.largeEnd,
                                  SmalianCubicFeet(seg.smallEnd, seg.largeEnd, seg.length)});
  }
  std::vector<float> deductions(segments_.size(), 0.0f);
  std::vector<float> factors(segments_.size(), 0.0f);
  // Whole-log defects first, then the segment's own, as the cull sums expect.
  // Each whole-log defect is spread over the segments once: a damaged log with
  // thousands of segments must not cost their square.
  for (DefectRecord& d : defects_) {
    if (d.seg != 0) continue;
    const std::vector<DefectMeasures> spread = MeasuresOnSegments(d.method, d.measures, count);
    for (int k = 0; k < count; ++k) {
      ApplyCubicDefect(d, spread[k], shapes[k], true, &deductions[k], &factors[k]);
    }
  }
  float gross = 0.0f;
  float defect = 0.0f;
  for (int k = 0; k < count; ++k) {
    SegmentRecord& seg = segments_[k];
    const SegmentShape& shape = shapes[k];
    for (DefectRecord& d : defects_) {
      if (d.seg == 0 || d.seg != seg.seg) continue;
      ApplyCubicDefect(d, d.measures, shape, false, &deductions[k], &factors[k]);
    }
    float deduction = deductions[k];
    const float factor = factors[k];
    // The sawlog factor culls every product.
    if (factor > cull_.sawCubic) deduction = shape.gross;
    seg.cubicGross = shape.gross;
    seg.cubicDefect = RoundTo(deduction, 1);
    seg.cubicNet = RoundTo(shape.gross - deduction, 1);
    seg.cubicFactor = factor;
    gross += seg.cubicGross;
    defect += seg.cubicDefect;
  }
  log_.grossCubic = RoundTo(gross, 1);
  log_.defectCubic = RoundTo(defect, 1);
  log_.netCubic = RoundTo(gross - defect, 1);
}

void LogVolume::ComputeBoardSegment(SegmentRecord& seg) {
  const int gross = Scribner(seg.smallEnd, seg.length);
  int64_t sum = 0;
  for (DefectRecord& d : defects_) {
    if (d.seg != 0 && d.seg != seg.seg) continue;
    const int deduction = BoardDeduction(d, gross, seg.smallEnd, seg.length);
    d.boardDeduction = static_cast<float>(deduction);
    sum += deduction;
  }
  seg.boardGross = static_cast<float>(gross);
  // A segment without board feet has nothing to deduct from.
  if (gross == 0) return;
  const float g = static_cast<float>(gross);
  const float s = static_cast<float>(sum);
  const float netFraction = static_cast<float>(TruncToInt((g - s) / g * 1000) * 0.001);
  if (netFraction <= cull_.sawBoard) {
    seg.boardNet = 0.0f;
    seg.boardDefect = g;
  } else {
    seg.boardNet = g - s;
    seg.boardDefect = s;
  }
  seg.boardFactor = 1.0f - netFraction;
}

void LogVolume::ComputeBoard() {
  for (SegmentRecord& seg : segments_) {
    seg = SegmentRecord{seg.seg, seg.length, seg.smallEnd, seg.largeEnd};
    ComputeBoardSegment(seg);
    log_.grossBoard += seg.boardGross;
    log_.netBoard += seg.boardNet;
    log_.defectBoard += seg.boardDefect;
  }
}

const LogRecord& LogVolume::GetLog() {
  Compute();
  return log_;
}

const std::vector<SegmentRecord>& LogVolume::Segments() {
  Compute();
  return segments_;
}

const std::vector<DefectRecord>& LogVolume::Defects() {
  Compute();
  return defects_;
}

bool LogVolume::ListsAsCulled(const SegmentRecord& segment) const {
  if (log_.product != 1 && log_.product != 2) return false;
  const bool saw = log_.product == 1;
  if (scaleSystem_ == 'B') return segment.boardFactor > (saw ? cull_.sawBoard : cull_.nonSawBoard);
  const float shown = segment.cubicDefect == 0.0f ? 0.0f : segment.cubicFactor;
  return shown > (saw ? cull_.sawCubic : cull_.nonSawCubic);
}

int LogVolume::CulledSegmentCount() {
  Compute();
  return static_cast<int>(
      std::count_if(segments_.begin(), segments_.end(),
                    [this](const SegmentRecord& s) { return ListsAsCulled(s); }));
}

int LogVolume::VolumeText(std::string& text) {
  return AppendListing(text, Format("Log %d\r\n\r\n", log_.log));
}

int LogVolume::VolumeText(std::string& text, std::string_view split) {
  const std::string splitText(split);
  return AppendListing(text, Format("Log %d, Split %s\r\n\r\n", log_.log, splitText.c_str()));
}

int LogVolume::AppendListing(std::string& text, const std::string& logLine) {
  Compute();
  const bool board = scaleSystem_ == 'B';
  text += logLine;
  text += "Seg  Gross    Net    Def    DFact\r\n";
  text += kListingRule;
  for (const SegmentRecord& s : segments_) {
    const float factor = board ? s.boardFactor : (s.cubicDefect == 0.0f ? 0.0f : s.cubicFactor);
    AppendFormat(text, "%2d   %5.1f   %5.1f  %5.1f  %5.2f%s\r\n", s.seg,
                 board ? s.boardGross : s.cubicGross, board ? s.boardNet : s.cubicNet,
                 board ? s.boardDefect : s.cubicDefect, factor, ListsAsCulled(s) ? " C" : "");
  }
  text += kListingRule;
  AppendFormat(text, "     %5.1f   %5.1f  %5.1f\r\n", board ? log_.grossBoard : log_.grossCubic,
               board ? log_.netBoard : log_.netCubic, board ? log_.defectBoard : log_.defectCubic);
  // Log line and blank line, heading, two rules, totals, one line per segment.
  return 6 + static_cast<int>(segments_.size());
}

int LogVolume::MeasurementStatus() const {
  LogSegmenter segmenter;
  segmenter.SetScaleSystem(std::string_view(&scaleSystem_, 1));
  segmenter.SetLog(log_.length, log_.smallEnd, log_.largeEnd);
  return segmenter.CheckMeasurements();
}

}  // namespace scaling
