// The five cubic defect methods: for one defect on one segment, the deduction
// (cubic feet) and the defect factor that count toward the segment's cull.
// The tables (area table, ring factors) and the board-foot based factors live
// here too. Board-system deductions are LogVolume's (log_volume.h).
//
// Thread safety: pure functions over constant tables; safe from any thread.
#pragma once

#include <string_view>
#include <vector>

namespace scaling {

// Defect method codes as stored in column M of DefC and DefB. Never renumber:
// the codes are in every scale file.
enum DefectMethod : int {
  kLengthCut = 1,
  kDiameterCut = 2,
  kSquaredArea = 3,
  kPercentDeduction = 4,
  kRingDeduction = 5,
};

// The name shown for a method code ("Length Cut", "Diameter Cut", "Squared
// Area", "Percent Deduction", "Ring Deduction"), or "Invalid Defect Method
// Code" for any other code. The view refers to static storage.
std::string_view DefectMethodName(int method);

// A defect's measurements: M1..M4 (inches), defect length LN (feet) and PCT.
struct DefectMeasures {
  int m1 = 0;
  int m2 = 0;
  int m3 = 0;
  int m4 = 0;
  int length = 0;
  int percent = 0;
};

// The shape of a segment: what a defect is applied to, and what the butt-log
// aids write to table Seg.
struct SegmentShape {
  int length = 0;      // L (LN), feet
  int smallEnd = 0;    // d (SD), inches
  int largeEnd = 0;    // D (LD), inches
  float gross = 0.0f;  // G, Smalian gross cubic feet (0 where not computed)

  friend bool operator==(const SegmentShape&, const SegmentShape&) = default;
};

// A cubic deduction: volume V (cubic feet, 0 or RoundTo(V, 1) >= 0.2) and
// defect factor F.
struct CubicDeduction {
  float volume = 0.0f;
  float factor = 0.0f;
};

// Deductions below this many cubic feet are dropped.
inline constexpr double kMinimumDeduction = 0.2;

// The Scribner value of a 16-foot log of diameter `diameter`, in tens of
// board feet: RoundTo(Scribner(diameter, 16) * 0.1, 0).
float SixteenFootTens(int diameter);

// RingFactor(D, t): 1.0 when D < 6 or D > 65; otherwise the ring table's entry
// of row D and column trunc(t * 0.5 + 0.5), the column clamped to 0..6.
double RingFactor(int diameter, int t);

// The number of leading entries of the 50-entry area table (square inches)
// that are <= `area`; the scan stops at the first larger entry.
int AreaTableRank(long long area);

// The measurements a whole-log defect (Seg = 0) has on segment `position`
// (0 = butt) of `count` segments. For Squared Area and Ring Deduction the pair
// (M1, M3) and the pair (M2, M4) are each spread over the segments like a
// log's diameters (SpreadOverSegments when both values are >= 1; (first, 0)
// or (0, second) on every segment when only one is; (0, 0) when neither), and
// the segment's butt-end values become its M1, M2 and its top-end values its
// M3, M4. Other methods get the measurements unchanged.
DefectMeasures MeasuresOnSegment(int method, const DefectMeasures& measures, int position,
                                 int count);

// MeasuresOnSegment for every position 0..count-1 at once (empty when
// count < 1), in time linear in `count`.
std::vector<DefectMeasures> MeasuresOnSegments(int method, const DefectMeasures& measures,
                                               int count);

// The deduction and factor of one defect of method `method` on `segment`.
// `wholeLog` is true for a defect with Seg = 0, whose measurements the caller
// has passed through MeasuresOnSegment; a whole-log Length Cut or Percent
// Deduction gives 0 and 0, as do unknown method codes, measurement sets the
// method's tables do not list, and a segment shorter than one foot. A Ring
// Deduction measured only by M1 and M2 keeps its deduction with factor 0.
CubicDeduction ComputeCubicDeduction(int method, const DefectMeasures& measures,
                                     const SegmentShape& segment, bool wholeLog);

}  // namespace scaling
