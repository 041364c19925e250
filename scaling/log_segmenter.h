// LogSegmenter: cuts a log into segments of at most 20 feet and gives each
// segment its length and end diameters, by fixed integer rules. The same rules
// serve the data entry screen (which writes a log's segments to table Seg),
// the volume calculator (which generates segments for a log without any and
// checks the segment count), the spreading of whole-log defect measurements,
// and the butt-log midpoint dialog.
//
// Index 0 of every array is the butt segment.
//
// Thread safety: an object must not be used from several threads at once;
// distinct objects are independent.
#pragma once

#include <string_view>
#include <vector>

namespace scaling {

// The values at the two ends of each of `count` segments, when `buttValue`
// belongs to the butt end of segment 0 and `topValue` to the top end of the
// last segment: the difference is spread from the top down, segment i (from
// count-1 down to 1) taking the remaining difference divided by i+1 rounded
// up; the butt segment takes what is left. Each segment's butt-end value is
// its top-end value plus its share (minus it when buttValue < topValue), and
// equals the top-end value of the segment below. Fills `buttEnds` and
// `topEnds` with `count` values each (empty when count < 1).
void SpreadOverSegments(int buttValue, int topValue, int count, std::vector<int>* buttEnds,
                        std::vector<int>* topEnds);

class LogSegmenter {
 public:
  // Longest segment, feet.
  static constexpr int kMaxSegmentLength = 20;
  // Longest log the segmenter cuts, feet. Longer lengths can only come from
  // damaged data; they are treated like a missing length (no segments,
  // measurement status 1) instead of allocating millions of segments.
  static constexpr int kMaxLogLength = 9999;

  // Results of CheckMeasurements().
  static constexpr int kEnough = 0;
  static constexpr int kNoLength = 1;
  static constexpr int kNoSmallDiameter = 2;
  static constexpr int kNoLargeDiameter = 3;

  // A segmenter for the cubic scale system with no log set (count -1).
  LogSegmenter() = default;

  // Starts a new log: clears previous results and stores `length`. When
  // diameterA > diameterB and diameterB != 0 the two are swapped (small =
  // diameterB, large = diameterA) and 1 is returned; otherwise small =
  // diameterA, large = diameterB and 0 is returned. Callers pass (LN, SD, LD).
  int SetLog(int length, int diameterA, int diameterB);

  // Sets the scale system from its name ("Cubic", "Board", "Longlog"); only
  // the first letter counts. The default is cubic.
  void SetScaleSystem(std::string_view scaleSystem);

  // Whether the measurements are enough for volumes; later tests override
  // earlier ones: kNoSmallDiameter when the small diameter < 1; kNoLength when
  // the length < 1 (or above kMaxLogLength); kNoLargeDiameter when the large
  // diameter < 1 and the system is cubic or the length is above 20 feet;
  // otherwise kEnough. The result is also kept (Status()).
  int CheckMeasurements();

  // Computes the segment count and lengths (diameter arrays are sized to the
  // count and zeroed). Returns the count: 0 when the length < 1 or above
  // kMaxLogLength.
  int ComputeLengths();

  // Fills the end diameters of the segments (computing the lengths first when
  // they are not computed yet). Returns 0, or -1 when the small diameter < 1,
  // in which case the diameters stay 0.
  int ComputeDiameters();

  int Length() const { return length_; }
  int SmallDiameter() const { return small_; }
  int LargeDiameter() const { return large_; }
  char ScaleSystem() const { return scaleSystem_; }
  // -1 until ComputeLengths() has run for the current log.
  int SegmentCount() const { return count_; }
  int Status() const { return status_; }
  // Per-segment results; valid until the next SetLog or computation.
  const std::vector<int>& Lengths() const { return lengths_; }
  const std::vector<int>& SmallEnds() const { return smallEnds_; }
  const std::vector<int>& LargeEnds() const { return largeEnds_; }

 private:
  void PlaceRemainder(int remainder);

  int length_ = 0;
  int small_ = 0;
  int large_ = 0;
  char scaleSystem_ = 'C';
  int count_ = -1;
  int status_ = kEnough;
  std::vector<int> lengths_;
  std::vector<int> smallEnds_;
  std::vector<int> largeEnds_;
};

}  // namespace scaling
