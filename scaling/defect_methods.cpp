#include "scaling/defect_methods.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "scaling/log_segmenter.h"
#include "scaling/scribner.h"
#include "scaling/volume_math.h"

namespace scaling {
namespace {

// Square inches, ascending.
constexpr int kAreaTable[50] = {
    1,    2,    7,    13,   21,   31,   44,   58,   74,   92,   112,  135,  159,
    185,  213,  243,  276,  310,  346,  384,  424,  467,  511,  557,  605,  655,
    708,  762,  818,  876,  936,  999,  1063, 1129, 1197, 1267, 1340, 1414, 1490,
    1568, 1648, 1731, 1815, 1901, 1989, 2079, 2172, 2266, 2362, 2460,
};

constexpr int kRingMinDiameter = 6;
constexpr int kRingMaxDiameter = 65;
constexpr int kRingColumns = 7;

// Rows D = 6..65, columns c0..c6.
constexpr double kRingFactors[kRingMaxDiameter - kRingMinDiameter + 1][kRingColumns] = {
    {0.60, 0.71, 0.78, 0.82, 0.85, 0.87, 0.89},  // 6
    {0.57, 0.67, 0.73, 0.77, 0.80, 0.83, 0.86},  // 7
    {0.67, 0.73, 0.77, 0.80, 0.83, 0.86, 0.87},  // 8
    {0.64, 0.69, 0.73, 0.78, 0.81, 0.83, 0.85},  // 9
    {0.54, 0.60, 0.67, 0.71, 0.75, 0.78, 0.81},  // 10
    {0.53, 0.61, 0.67, 0.71, 0.74, 0.77, 0.80},  // 11
    {0.56, 0.62, 0.67, 0.70, 0.74, 0.77, 0.79},  // 12
    {0.52, 0.58, 0.63, 0.68, 0.71, 0.74, 0.77},  // 13
    {0.54, 0.59, 0.65, 0.69, 0.72, 0.74, 0.77},  // 14
    {0.48, 0.55, 0.60, 0.64, 0.67, 0.70, 0.73},  // 15
    {0.48, 0.54, 0.59, 0.63, 0.66, 0.69, 0.71},  // 16
    {0.49, 0.54, 0.58, 0.62, 0.65, 0.68, 0.70},  // 17
    {0.46, 0.51, 0.55, 0.60, 0.62, 0.66, 0.69},  // 18
    {0.44, 0.49, 0.54, 0.57, 0.61, 0.64, 0.67},  // 19
    {0.40, 0.46, 0.50, 0.54, 0.58, 0.61, 0.64},  // 20
    {0.42, 0.46, 0.51, 0.55, 0.58, 0.62, 0.64},  // 21
    {0.41, 0.46, 0.51, 0.54, 0.58, 0.61, 0.63},  // 22
    {0.38, 0.43, 0.47, 0.51, 0.55, 0.58, 0.60},  // 23
    {0.40, 0.44, 0.49, 0.52, 0.56, 0.58, 0.61},  // 24
    {0.36, 0.41, 0.45, 0.49, 0.52, 0.60, 0.63},  // 25
    {0.36, 0.40, 0.44, 0.48, 0.51, 0.54, 0.57},  // 26
    {0.35, 0.39, 0.43, 0.46, 0.50, 0.53, 0.55},  // 27
    {0.36, 0.40, 0.43, 0.47, 0.50, 0.53, 0.56},  // 28
    {0.36, 0.40, 0.44, 0.47, 0.50, 0.53, 0.56},  // 29
    {0.35, 0.39, 0.43, 0.46, 0.50, 0.52, 0.54},  // 30
    {0.35, 0.39, 0.42, 0.46, 0.49, 0.51, 0.54},  // 31
    {0.36, 0.40, 0.44, 0.46, 0.49, 0.52, 0.54},  // 32
    {0.37, 0.40, 0.43, 0.47, 0.49, 0.52, 0.54},  // 33
    {0.39, 0.42, 0.45, 0.48, 0.51, 0.53, 0.55},  // 34
    {0.36, 0.40, 0.43, 0.46, 0.49, 0.51, 0.53},  // 35
    {0.37, 0.40, 0.43, 0.46, 0.49, 0.51, 0.53},  // 36
    {0.33, 0.36, 0.40, 0.42, 0.45, 0.48, 0.50},  // 37
    {0.34, 0.37, 0.40, 0.43, 0.46, 0.48, 0.50},  // 38
    {0.34, 0.37, 0.40, 0.43, 0.46, 0.48, 0.50},  // 39
    {0.33, 0.36, 0.39, 0.42, 0.44, 0.47, 0.49},  // 40
    {0.32, 0.36, 0.39, 0.41, 0.44, 0.46, 0.48},  // 41
    {0.32, 0.35, 0.38, 0.41, 0.43, 0.46, 0.48},  // 42
    {0.32, 0.35, 0.38, 0.41, 0.43, 0.45, 0.48},  // 43
    {0.31, 0.35, 0.37, 0.40, 0.42, 0.45, 0.47},  // 44
    {0.33, 0.36, 0.38, 0.41, 0.43, 0.45, 0.47},  // 45
    {0.33, 0.35, 0.38, 0.40, 0.43, 0.45, 0.47},  // 46
    {0.33, 0.35, 0.38, 0.40, 0.42, 0.45, 0.47},  // 47
    {0.32, 0.35, 0.38, 0.40, 0.42, 0.44, 0.46},  // 48
    {0.33, 0.35, 0.37, 0.40, 0.42, 0.44, 0.46},  // 49
    {0.32, 0.35, 0.38, 0.40, 0.42, 0.44, 0.46},  // 50
    {0.32, 0.35, 0.37, 0.40, 0.42, 0.44, 0.46},  // 51
    {0.33, 0.35, 0.37, 0.40, 0.42, 0.44, 0.46},  // 52
    {0.32, 0.35, 0.37, 0.39, 0.41, 0.43, 0.45},  // 53
    {0.33, 0.35, 0.37, 0.39, 0.41, 0.43, 0.45},  // 54
    {0.32, 0.35, 0.37, 0.39, 0.41, 0.43, 0.45},  // 55
    {0.32, 0.35, 0.37, 0.39, 0.41, 0.43, 0.44},  // 56
    {0.32, 0.34, 0.36, 0.39, 0.40, 0.42, 0.44},  // 57
    {0.32, 0.34, 0.37, 0.39, 0.40, 0.42, 0.44},  // 58
    {0.32, 0.34, 0.36, 0.38, 0.40, 0.42, 0.44},  // 59
    {0.32, 0.34, 0.36, 0.38, 0.40, 0.42, 0.44},  // 60
    {0.32, 0.34, 0.36, 0.38, 0.40, 0.42, 0.43},  // 61
    {0.32, 0.34, 0.36, 0.38, 0.40, 0.41, 0.43},  // 62
    {0.32, 0.34, 0.36, 0.38, 0.39, 0.41, 0.43},  // 63
    {0.31, 0.34, 0.35, 0.37, 0.39, 0.41, 0.43},  // 64
    {0.31, 0.33, 0.35, 0.37, 0.39, 0.41, 0.42},  // 65
};

// Which measurements are present, one bit each.
constexpr unsigned kHasM1 = 1;
constexpr unsigned kHasM2 = 2;
constexpr unsigned kHasM3 = 4;
constexpr unsigned kHasM4 = 8;

unsigned PresentMeasurements(const DefectMeasures& m) {
  return (m.m1 >= 1 ? kHasM1 : 0) | (m.m2 >= 1 ? kHasM2 : 0) | (m.m3 >= 1 ? kHasM3 : 0) |
         (m.m4 >= 1 ? kHasM4 : 0);
}

// (x + y) / 2, a half going to the even neighbour (7.5 -> 8, 8.5 -> 8).
int HalfEvenAverage(int x, int y) {
  const long long sum = static_cast<long long>(x) + y;
  const long long low = sum >= 0 ? sum / 2 : (sum - 1) / 2;
  if (sum % 2 == 0) return static_cast<int>(low);
  return static_cast<int>(low % 2 == 0 ? low : low + 1);
}

// Everything one method needs about one defect on one segment.
struct Inputs {
  const DefectMeasures& m;
  const SegmentShape& seg;
  float lengthFraction;   // LN / L, or 1
  float percentFraction;  // PCT * 0.01, or 1
  int defectLength;       // LN, or L
  double perFootTens;     // P: S(d) / 16 to four decimals
};

// A board-foot based factor: RoundTo(RoundTo(x / P, 2) * scale * lambda * pi, 2).
float BoardBasedFactor(const Inputs& in, double x, double scale) {
  if (in.perFootTens == 0.0) return 0.0f;
  const float ratio = RoundTo(x / in.perFootTens, 2);
  return RoundTo(ratio * scale * in.lengthFraction * in.percentFraction, 2);
}

CubicDeduction LengthCut(const Inputs& in) {
  const int len = in.m.length;
  const float v = in.seg.gross * static_cast<float>(len) / static_cast<float>(in.seg.length);
  return {v, static_cast<float>((16.0 / in.seg.length) * len)};
}

CubicDeduction DiameterCut(const Inputs& in) {
  const int cut = in.m.m1;
  const int smallCut = ClampedDifference(in.seg.smallEnd, cut);
  const float reduced =
      SmalianCubicFeet(smallCut, ClampedDifference(in.seg.largeEnd, cut), in.seg.length);
  const float v = (in.seg.gross - reduced) * in.lengthFraction * in.percentFraction;
  const double c = SixteenFootTens(in.seg.smallEnd) - SixteenFootTens(smallCut);
  const float f = c <= 0.001 ? 0.0f : BoardBasedFactor(in, c, 1.0);
  return {v, f};
}

CubicDeduction SquaredArea(const Inputs& in) {
  const DefectMeasures& m = in.m;
  int a = 0;
  int b = 0;
  switch (PresentMeasurements(m)) {
    case kHasM1:
      a = b = m.m1;
      break;
    case kHasM3:
      a = b = m.m3;
      break;
    case kHasM1 | kHasM2:
      a = m.m1;
      b = m.m2;
      break;
    case kHasM3 | kHasM4:
      a = m.m3;
      b = m.m4;
      break;
    case kHasM1 | kHasM3:
      a = b = HalfEvenAverage(m.m1, m.m3);
      break;
    case kHasM1 | kHasM2 | kHasM3 | kHasM4:
      a = HalfEvenAverage(m.m1, m.m3);
      b = HalfEvenAverage(m.m2, m.m4);
      break;
    default:
      return {};  // a set the sides table does not list
  }
  const double v =
      static_cast<double>(a) * b * in.defectLength * (1.0 / 144.0) * in.percentFraction;
  int rank = AreaTableRank(static_cast<long long>(a) * b);
  if (rank == static_cast<int>(std::size(kAreaTable))) rank = 0;
  const int s = rank + 1;
  const int x = TruncToInt(s * s * 1.0666666666666667 * 0.1 + 0.5);
  return {static_cast<float>(v), BoardBasedFactor(in, x, 1.0)};
}

CubicDeduction PercentDeduction(const Inputs& in) {
  const float lp = in.lengthFraction * in.percentFraction;
  return {lp * in.seg.gross, in.percentFraction * in.lengthFraction * 16.0f};
}

// Cubic feet of a cylinder-like span with end diameters a and b over the
// defect length: (a*a + b*b) * l * 0.002727.
double RingSpan(int a, int b, int defectLength) {
  return (static_cast<double>(a) * a + static_cast<double>(b) * b) * defectLength * 0.002727;
}

CubicDeduction RingDeduction(const Inputs& in) {
  const DefectMeasures& m = in.m;
  const unsigned present = PresentMeasurements(m);
  const int len = in.defectLength;
  const double pi = in.percentFraction;
  double v = 0;
  double s = 0;
  double r = 0;
  switch (present) {
    case kHasM1:
      v = RingSpan(m.m1, m.m1, len) * pi * 0.273;
      s = m.m1;
      r = RingFactor(m.m1, 0);
      break;
    case kHasM3:
      v = RingSpan(m.m3, m.m3, len) * pi * 0.273;
      s = m.m3;
      r = RingFactor(m.m3, 0);
      break;
    case kHasM1 | kHasM3:
      v = RingSpan(m.m1, m.m3, len) * pi * 0.273;
      s = RoundTo((m.m1 + static_cast<double>(m.m3)) / 2.0, 0);
      r = RingFactor(m.m3, m.m1 - m.m3);
      break;
    case kHasM1 | kHasM2:
      // Outer and inner ring at one end only: the deduction stands, no factor.
      return {
          static_cast<float>((RingSpan(m.m1, m.m1, len) * 1.273 - RingSpan(m.m2, m.m2, len)) * pi),
          0.0f};
    case kHasM1 | kHasM2 | kHasM3 | kHasM4:
      v = (RingSpan(m.m1, m.m3, len) * 1.273 - RingSpan(m.m2, m.m4, len)) * pi;
      s = RoundTo((m.m1 + static_cast<double>(m.m3)) / 2.0, 0);
      r = RingFactor(m.m4, m.m1 - m.m4);
      break;
    default:
      return {};  // a set the ends table does not list
  }
  const int x = TruncToInt((s + 1) * (s + 1) * 1.0666667 * 0.1 + 0.5);
  return {static_cast<float>(v), BoardBasedFactor(in, x, r)};
}

// The butt-end and top-end values of one measurement pair on each of `count`
// segments.
void PairOverSegments(int first, int second, int count, std::vector<int>* butts,
                      std::vector<int>* tops) {
  if (first >= 1 && second >= 1) {
    SpreadOverSegments(first, second, count, butts, tops);
    return;
  }
  const size_t n = count > 0 ? static_cast<size_t>(count) : 0;
  butts->assign(n, first >= 1 ? first : 0);
  tops->assign(n, first < 1 && second >= 1 ? second : 0);
}

}  // namespace

std::string_view DefectMethodName(int method) {
  switch (method) {
    case kLengthCut:
      return "Length Cut";
    case kDiameterCut:
      return "Diameter Cut";
    case kSquaredArea:
      return "Squared Area";
    case kPercentDeduction:
      return "Percent Deduction";
    case kRingDeduction:
      return "Ring Deduction";
    default:
      return "Invalid Defect Method Code";
  }
}

float SixteenFootTens(int diameter) { return RoundTo(Scribner(diameter, 16) * 0.1, 0); }

double RingFactor(int diameter, int t) {
  if (diameter < kRingMinDiameter || diameter > kRingMaxDiameter) return 1.0;
  const int column = std::clamp(TruncToInt(t * 0.5 + 0.5), 0, kRingColumns - 1);
  return kRingFactors[diameter - kRingMinDiameter][column];
}

int AreaTableRank(long long area) {
  int rank = 0;
  while (rank < static_cast<int>(std::size(kAreaTable)) && kAreaTable[rank] <= area) ++rank;
  return rank;
}

DefectMeasures MeasuresOnSegment(int method, const DefectMeasures& measures, int position,
                                 int count) {
  if (position < 0 || position >= count) return measures;
  return MeasuresOnSegments(method, measures, count)[position];
}

std::vector<DefectMeasures> MeasuresOnSegments(int method, const DefectMeasures& measures,
                                               int count) {
  std::vector<DefectMeasures> spread(count > 0 ? static_cast<size_t>(count) : 0, measures);
  if (method != kSquaredArea && method != kRingDeduction) return spread;
  std::vector<int> butts;
  std::vector<int> tops;
  PairOverSegments(measures.m1, measures.m3, count, &butts, &tops);
  for (size_t k = 0; k < spread.size(); ++k) {
    spread[k].m1 = butts[k];
    spread[k].m3 = tops[k];
  }
  PairOverSegments(measures.m2, measures.m4, count, &butts, &tops);
  for (size_t k = 0; k < spread.size(); ++k) {
    spread[k].m2 = butts[k];
    spread[k].m4 = tops[k];
  }
  return spread;
}

CubicDeduction ComputeCubicDeduction(int method, const DefectMeasures& measures,
                                     const SegmentShape& segment, bool wholeLog) {
  if (segment.length < 1) return {};
  if (wholeLog && (method == kLengthCut || method == kPercentDeduction)) return {};
  const Inputs in{
      measures,
      segment,
      measures.length > 0 ? static_cast<float>(measures.length) / static_cast<float>(segment.length)
                          : 1.0f,
      measures.percent > 0 ? static_cast<float>(measures.percent * 0.01) : 1.0f,
      measures.length > 0 ? measures.length : segment.length,
      TruncToInt(SixteenFootTens(segment.smallEnd) * 625.0 + 0.5) * 0.0001,
  };
  CubicDeduction result;
  switch (method) {
    case kLengthCut:
      result = LengthCut(in);
      break;
    case kDiameterCut:
      result = DiameterCut(in);
      break;
    case kSquaredArea:
      result = SquaredArea(in);
      break;
    case kPercentDeduction:
      result = PercentDeduction(in);
      break;
    case kRingDeduction:
      result = RingDeduction(in);
      break;
    default:
      return {};
  }
  result.volume = result.volume < kMinimumDeduction ? 0.0f : RoundTo(result.volume, 1);
  return result;
}

}  // namespace scaling
