#include "scaling/defect_methods.h"

#include <gtest/gtest.h>

#include <vector>

namespace scaling {
namespace {

DefectMeasures Measures(int m1, int m2, int m3, int m4, int length, int percent) {
  DefectMeasures m;
  m.m1 = m1;
  m.m2 = m2;
  m.m3 = m3;
  m.m4 = m4;
  m.length = length;
  m.percent = percent;
  return m;
}

// A 16-foot segment, 10 and 12 inches, gross 10.6 cubic feet.
constexpr SegmentShape kSixteenFoot{16, 10, 12, 10.6f};
// A 16-foot segment of small end 16: S(16) = 16, so P = 1.0 exactly.
constexpr SegmentShape kUnitP{16, 16, 18, 28.6f};

CubicDeduction OnSegment(int method, const DefectMeasures& m, const SegmentShape& seg) {
  return ComputeCubicDeduction(method, m, seg, false);
}

TEST(DefectMethodNameTest, NamesAndInvalidCode) {
  EXPECT_EQ(DefectMethodName(1), "Length Cut");
  EXPECT_EQ(DefectMethodName(2), "Diameter Cut");
  EXPECT_EQ(DefectMethodName(3), "Squared Area");
  EXPECT_EQ(DefectMethodName(4), "Percent Deduction");
  EXPECT_EQ(DefectMethodName(5), "Ring Deduction");
  EXPECT_EQ(DefectMethodName(0), "Invalid Defect Method Code");
  EXPECT_EQ(DefectMethodName(6), "Invalid Defect Method Code");
}

TEST(LengthCutTest, WorkedExample) {
  // V = 10.6 * 4 / 16 = 2.65 -> 2.7; F = 16 / 16 * 4 = 4.0.
  const CubicDeduction d = OnSegment(kLengthCut, Measures(0, 0, 0, 0, 4, 0), kSixteenFoot);
  EXPECT_FLOAT_EQ(d.volume, 2.7f);
  EXPECT_FLOAT_EQ(d.factor, 4.0f);
}

TEST(LengthCutTest, FactorIsARealDivision) {
  // 16 / 20 * 5 = 4.0; an integer 16 / 20 would give 0.
  const SegmentShape seg{20, 10, 12, 13.3f};
  const CubicDeduction d = OnSegment(kLengthCut, Measures(0, 0, 0, 0, 5, 0), seg);
  EXPECT_FLOAT_EQ(d.factor, 4.0f);
  EXPECT_FLOAT_EQ(d.volume, 3.3f);  // 13.3 * 5 / 20 = 3.325
}

TEST(LengthCutTest, WholeLogGivesNothing) {
  const CubicDeduction d =
      ComputeCubicDeduction(kLengthCut, Measures(0, 0, 0, 0, 4, 0), kSixteenFoot, true);
  EXPECT_EQ(d.volume, 0.0f);
  EXPECT_EQ(d.factor, 0.0f);
}

TEST(PercentDeductionTest, BelowFloorIsDropped) {
  const SegmentShape seg{16, 4, 5, 1.5f};
  const CubicDeduction d = OnSegment(kPercentDeduction, Measures(0, 0, 0, 0, 0, 10), seg);
  EXPECT_EQ(d.volume, 0.0f);        // 0.15 < 0.2
  EXPECT_FLOAT_EQ(d.factor, 1.6f);  // 0.1 * 1 * 16
}

TEST(PercentDeductionTest, LengthAndPercentFractions) {
  // lambda = 8 / 16, pi = 0.5: V = 0.25 * 10.6 = 2.65 -> 2.7; F = 0.25 * 16.
  const CubicDeduction d = OnSegment(kPercentDeduction, Measures(0, 0, 0, 0, 8, 50), kSixteenFoot);
  EXPECT_FLOAT_EQ(d.volume, 2.7f);
  EXPECT_FLOAT_EQ(d.factor, 4.0f);
}

TEST(PercentDeductionTest, WholeLogGivesNothing) {
  const CubicDeduction d =
      ComputeCubicDeduction(kPercentDeduction, Measures(0, 0, 0, 0, 0, 50), kSixteenFoot, true);
  EXPECT_EQ(d.volume, 0.0f);
  EXPECT_EQ(d.factor, 0.0f);
}

TEST(DiameterCutTest, WholeSegment) {
  // Reduced: (64 + 100) * 16 * 0.002727 = 7.16 -> 7.2; V = 10.6 - 7.2 = 3.4.
  // S(10) = 6, S(8) = 3, P = 0.375: F = 3 / 0.375 = 8.
  const CubicDeduction d = OnSegment(kDiameterCut, Measures(2, 0, 0, 0, 0, 0), kSixteenFoot);
  EXPECT_FLOAT_EQ(d.volume, 3.4f);
  EXPECT_FLOAT_EQ(d.factor, 8.0f);
}

TEST(DiameterCutTest, FractionsScaleVolumeAndFactor) {
  // 3.4 * 0.5 * 0.5 = 0.85 -> 0.9 (half away from zero); F = 8 * 0.25 = 2.
  const CubicDeduction d = OnSegment(kDiameterCut, Measures(2, 0, 0, 0, 8, 50), kSixteenFoot);
  EXPECT_FLOAT_EQ(d.volume, 0.9f);
  EXPECT_FLOAT_EQ(d.factor, 2.0f);
}

TEST(DiameterCutTest, CutBeyondSmallEndStillSquaresTheReducedDiameter) {
  // Reduced diameters -1 and 1: (1 + 1) * 16 * 0.002727 = 0.087 -> 0.1; V = 10.5.
  // S(-1) counts as S(0) = 0: F = 6 / 0.375 = 16.
  const CubicDeduction d = OnSegment(kDiameterCut, Measures(11, 0, 0, 0, 0, 0), kSixteenFoot);
  EXPECT_FLOAT_EQ(d.volume, 10.5f);
  EXPECT_FLOAT_EQ(d.factor, 16.0f);
}

TEST(DiameterCutTest, ZeroPerFootValueGivesZeroFactor) {
  // S(2) = RoundTo(0 * 0.1, 0) = 0, so P = 0.
  const SegmentShape seg{16, 2, 12, 6.4f};
  const CubicDeduction d = OnSegment(kDiameterCut, Measures(1, 0, 0, 0, 0, 0), seg);
  EXPECT_EQ(d.factor, 0.0f);
}

TEST(SquaredAreaTest, HalfEvenSides) {
  // With LN 9: V = a * b * 9 / 144 = a * b / 16.
  // 7 and 8 average 7.5 -> 8: 64 / 16 = 4.0.
  EXPECT_FLOAT_EQ(OnSegment(kSquaredArea, Measures(7, 0, 8, 0, 9, 0), kSixteenFoot).volume, 4.0f);
  // 8 and 9 average 8.5 -> 8.
  EXPECT_FLOAT_EQ(OnSegment(kSquaredArea, Measures(8, 0, 9, 0, 9, 0), kSixteenFoot).volume, 4.0f);
  // 7 and 9 average 8.
  EXPECT_FLOAT_EQ(OnSegment(kSquaredArea, Measures(7, 0, 9, 0, 9, 0), kSixteenFoot).volume, 4.0f);
}

TEST(SquaredAreaTest, SidesTable) {
  auto volume = [](int m1, int m2, int m3, int m4) {
    return OnSegment(kSquaredArea, Measures(m1, m2, m3, m4, 9, 0), kSixteenFoot).volume;
  };
  EXPECT_FLOAT_EQ(volume(8, 0, 0, 0), 4.0f);    // 8 x 8
  EXPECT_FLOAT_EQ(volume(0, 0, 8, 0), 4.0f);    // 8 x 8
  EXPECT_FLOAT_EQ(volume(16, 4, 0, 0), 4.0f);   // 16 x 4
  EXPECT_FLOAT_EQ(volume(0, 0, 4, 16), 4.0f);   // 4 x 16
  EXPECT_FLOAT_EQ(volume(15, 3, 17, 5), 4.0f);  // 16 x 4
  EXPECT_FLOAT_EQ(volume(8, 4, 8, 0), 0.0f);    // M1, M2, M3 without M4: not listed
  EXPECT_FLOAT_EQ(volume(0, 4, 0, 0), 0.0f);    // M2 alone: not listed
  EXPECT_FLOAT_EQ(volume(0, 0, 0, 0), 0.0f);
}

TEST(SquaredAreaTest, WholeSegmentLengthAndFactor) {
  // 8 x 8 over the 16-foot segment: 64 * 16 / 144 = 7.11 -> 7.1.
  // 64 square inches pass 8 table entries: s = 9, x = trunc(8.64 + 0.5) = 9;
  // F = 9 / 0.375 = 24.
  const CubicDeduction d = OnSegment(kSquaredArea, Measures(8, 0, 0, 0, 0, 0), kSixteenFoot);
  EXPECT_FLOAT_EQ(d.volume, 7.1f);
  EXPECT_FLOAT_EQ(d.factor, 24.0f);
}

TEST(SquaredAreaTest, AreaBeyondTableGivesZeroFactor) {
  // 50 x 50 = 2500 passes all 50 entries, which counts as none: s = 1, x = 0.
  const CubicDeduction d = OnSegment(kSquaredArea, Measures(50, 0, 0, 0, 0, 0), kUnitP);
  EXPECT_EQ(d.factor, 0.0f);
  EXPECT_GT(d.volume, 0.0f);
}

TEST(SquaredAreaTest, SmallDeductionIsDropped) {
  // 2 x 2 over 4 feet: 16 / 144 = 0.11 < 0.2.
  EXPECT_EQ(OnSegment(kSquaredArea, Measures(2, 0, 0, 0, 4, 0), kSixteenFoot).volume, 0.0f);
}

TEST(RingDeductionTest, OuterOnlyWorkedExample) {
  // 200 * 16 * 0.002727 * 0.273 = 2.38 -> 2.4.
  // s = 10, r = RingFactor(10, 0) = 0.54, x = trunc(121 * 1.0666667 * 0.1 + 0.5) = 13.
  const CubicDeduction d = OnSegment(kRingDeduction, Measures(10, 0, 0, 0, 0, 0), kUnitP);
  EXPECT_FLOAT_EQ(d.volume, 2.4f);
  EXPECT_FLOAT_EQ(d.factor, 7.02f);  // 13 * 0.54
  EXPECT_FLOAT_EQ(OnSegment(kRingDeduction, Measures(0, 0, 10, 0, 0, 0), kUnitP).volume, 2.4f);
}

TEST(RingDeductionTest, OuterAtBothEnds) {
  // (144 + 100) * 16 * 0.002727 * 0.273 = 2.91 -> 2.9.
  // s = RoundTo(11, 0) = 11, x = 15; r = RingFactor(10, 2): column 1 = 0.60.
  const CubicDeduction d = OnSegment(kRingDeduction, Measures(12, 0, 10, 0, 0, 0), kUnitP);
  EXPECT_FLOAT_EQ(d.volume, 2.9f);
  EXPECT_FLOAT_EQ(d.factor, 9.0f);
}

TEST(RingDeductionTest, RingAverageIsARealDivision) {
  // (11 + 12) / 2 = 11.5 -> 12 (an integer division would give 11):
  // x = trunc(169 * 1.0666667 * 0.1 + 0.5) = 18; r = RingFactor(12, -1) = c0 = 0.56.
  const CubicDeduction d = OnSegment(kRingDeduction, Measures(11, 0, 12, 0, 0, 0), kUnitP);
  EXPECT_FLOAT_EQ(d.factor, 10.08f);  // 18 * 0.56
}

TEST(RingDeductionTest, AllFourMeasurements) {
  // (244 * 16 * 0.002727 * 1.273 - 52 * 16 * 0.002727) = 11.28 -> 11.3.
  // s = 11, x = 15, r = RingFactor(4, 8) = 1.0 (diameter below the table).
  const CubicDeduction d = OnSegment(kRingDeduction, Measures(12, 6, 10, 4, 0, 0), kUnitP);
  EXPECT_FLOAT_EQ(d.volume, 11.3f);
  EXPECT_FLOAT_EQ(d.factor, 15.0f);
}

TEST(RingDeductionTest, OneEndWithInnerKeepsDeductionWithoutFactor) {
  // (200 * 16 * 0.002727 * 1.273 - 32 * 16 * 0.002727) = 9.71 -> 9.7.
  const CubicDeduction d = OnSegment(kRingDeduction, Measures(10, 4, 0, 0, 0, 0), kUnitP);
  EXPECT_FLOAT_EQ(d.volume, 9.7f);
  EXPECT_EQ(d.factor, 0.0f);
}

TEST(RingDeductionTest, UnlistedSetsGiveNothing) {
  for (const DefectMeasures& m : {Measures(0, 4, 0, 0, 0, 0), Measures(0, 0, 10, 4, 0, 0),
                                  Measures(10, 4, 8, 0, 0, 0), Measures(0, 0, 0, 0, 0, 0)}) {
    const CubicDeduction d = OnSegment(kRingDeduction, m, kUnitP);
    EXPECT_EQ(d.volume, 0.0f);
    EXPECT_EQ(d.factor, 0.0f);
  }
}

TEST(RingFactorTest, TableEntriesAndBounds) {
  EXPECT_DOUBLE_EQ(RingFactor(6, 0), 0.60);
  EXPECT_DOUBLE_EQ(RingFactor(6, 12), 0.89);
  EXPECT_DOUBLE_EQ(RingFactor(25, 10), 0.60);
  EXPECT_DOUBLE_EQ(RingFactor(40, 6), 0.42);
  EXPECT_DOUBLE_EQ(RingFactor(65, 12), 0.42);
  EXPECT_DOUBLE_EQ(RingFactor(65, 0), 0.31);
  EXPECT_DOUBLE_EQ(RingFactor(5, 0), 1.0);
  EXPECT_DOUBLE_EQ(RingFactor(66, 0), 1.0);
}

TEST(RingFactorTest, ColumnFromHalfOfT) {
  EXPECT_DOUBLE_EQ(RingFactor(10, 0), 0.54);   // c0
  EXPECT_DOUBLE_EQ(RingFactor(10, 1), 0.60);   // trunc(1.0) = c1
  EXPECT_DOUBLE_EQ(RingFactor(10, 2), 0.60);   // trunc(1.5) = c1
  EXPECT_DOUBLE_EQ(RingFactor(10, 3), 0.67);   // c2
  EXPECT_DOUBLE_EQ(RingFactor(10, 20), 0.81);  // clamped to c6
  EXPECT_DOUBLE_EQ(RingFactor(10, -9), 0.54);  // clamped to c0
}

TEST(AreaTableTest, Rank) {
  EXPECT_EQ(AreaTableRank(0), 0);
  EXPECT_EQ(AreaTableRank(1), 1);
  EXPECT_EQ(AreaTableRank(6), 2);
  EXPECT_EQ(AreaTableRank(100), 10);
  EXPECT_EQ(AreaTableRank(2459), 49);
  EXPECT_EQ(AreaTableRank(2460), 50);
  EXPECT_EQ(AreaTableRank(1LL << 40), 50);
}

TEST(SixteenFootTensTest, Values) {
  EXPECT_FLOAT_EQ(SixteenFootTens(16), 16.0f);
  EXPECT_FLOAT_EQ(SixteenFootTens(10), 6.0f);
  EXPECT_FLOAT_EQ(SixteenFootTens(8), 3.0f);
  EXPECT_FLOAT_EQ(SixteenFootTens(-3), 0.0f);
}

TEST(WholeLogSpreadTest, SquaredAreaEndsOverTwoSegments) {
  const DefectMeasures m = Measures(12, 0, 6, 0, 0, 0);
  const DefectMeasures butt = MeasuresOnSegment(kSquaredArea, m, 0, 2);
  const DefectMeasures top = MeasuresOnSegment(kSquaredArea, m, 1, 2);
  EXPECT_EQ(butt.m1, 12);
  EXPECT_EQ(butt.m3, 9);
  EXPECT_EQ(top.m1, 9);
  EXPECT_EQ(top.m3, 6);
  EXPECT_EQ(butt.m2, 0);
  EXPECT_EQ(top.m4, 0);
}

TEST(WholeLogSpreadTest, SecondPairSpreadsIndependently) {
  const DefectMeasures m = Measures(12, 4, 6, 10, 5, 50);
  const DefectMeasures butt = MeasuresOnSegment(kRingDeduction, m, 0, 2);
  EXPECT_EQ(butt.m2, 4);
  EXPECT_EQ(butt.m4, 7);
  EXPECT_EQ(butt.length, 5);
  EXPECT_EQ(butt.percent, 50);
  const DefectMeasures top = MeasuresOnSegment(kRingDeduction, m, 1, 2);
  EXPECT_EQ(top.m2, 7);
  EXPECT_EQ(top.m4, 10);
}

TEST(WholeLogSpreadTest, OneSidedPairs) {
  const DefectMeasures first = MeasuresOnSegment(kSquaredArea, Measures(12, 0, 0, 0, 0, 0), 1, 3);
  EXPECT_EQ(first.m1, 12);
  EXPECT_EQ(first.m3, 0);
  const DefectMeasures second = MeasuresOnSegment(kSquaredArea, Measures(0, 0, 6, 0, 0, 0), 0, 3);
  EXPECT_EQ(second.m1, 0);
  EXPECT_EQ(second.m3, 6);
}

TEST(WholeLogSpreadTest, AllSegmentsAtOnce) {
  const std::vector<DefectMeasures> spread =
      MeasuresOnSegments(kRingDeduction, Measures(12, 4, 6, 0, 5, 50), 2);
  ASSERT_EQ(spread.size(), 2u);
  // (M1, M3) = (12, 6) spreads to (12, 9) and (9, 6); M2 alone stays on every segment.
  EXPECT_EQ(spread[0].m1, 12);
  EXPECT_EQ(spread[0].m3, 9);
  EXPECT_EQ(spread[1].m1, 9);
  EXPECT_EQ(spread[1].m3, 6);
  EXPECT_EQ(spread[0].m2, 4);
  EXPECT_EQ(spread[1].m2, 4);
  EXPECT_EQ(spread[1].m4, 0);
  EXPECT_EQ(spread[1].length, 5);
  EXPECT_EQ(spread[1].percent, 50);
  EXPECT_TRUE(MeasuresOnSegments(kSquaredArea, Measures(12, 0, 6, 0, 0, 0), 0).empty());
  EXPECT_TRUE(MeasuresOnSegments(kSquaredArea, Measures(12, 0, 6, 0, 0, 0), -3).empty());
}

TEST(WholeLogSpreadTest, OtherMethodsUnchanged) {
  const DefectMeasures m = Measures(12, 0, 6, 0, 0, 0);
  const DefectMeasures same = MeasuresOnSegment(kDiameterCut, m, 1, 2);
  EXPECT_EQ(same.m1, 12);
  EXPECT_EQ(same.m3, 6);
}

TEST(CubicDeductionTest, UnknownMethodAndEmptySegment) {
  const CubicDeduction unknown = OnSegment(9, Measures(10, 0, 0, 0, 4, 0), kSixteenFoot);
  EXPECT_EQ(unknown.volume, 0.0f);
  EXPECT_EQ(unknown.factor, 0.0f);
  const SegmentShape empty{0, 10, 12, 0.0f};
  const CubicDeduction none = OnSegment(kLengthCut, Measures(0, 0, 0, 0, 4, 0), empty);
  EXPECT_EQ(none.volume, 0.0f);
  EXPECT_EQ(none.factor, 0.0f);
}

TEST(CubicDeductionTest, DamagedMeasurementsStayFinite) {
  const int big = 2147483647;
  for (int method = 1; method <= 5; ++method) {
    const CubicDeduction d =
        OnSegment(method, Measures(big, -big, big, big, big, big), kSixteenFoot);
    EXPECT_FALSE(d.volume != d.volume) << method;
    EXPECT_FALSE(d.factor != d.factor) << method;
  }
}

}  // namespace
}  // namespace scaling
