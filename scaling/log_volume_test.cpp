#include "scaling/log_volume.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace scaling {
namespace {

SegmentRecord Segment(int seg, int length, int smallEnd, int largeEnd) {
  SegmentRecord s;
  s.seg = seg;
  s.length = length;
  s.smallEnd = smallEnd;
  s.largeEnd = largeEnd;
  return s;
}

DefectRecord Defect(int seg, int method, int m1, int m2, int m3, int m4, int length, int percent,
                    float entered = 0.0f) {
  DefectRecord d;
  d.seg = seg;
  d.method = method;
  d.measures = DefectMeasures{m1, m2, m3, m4, length, percent};
  d.enteredVolume = entered;
  return d;
}

class LogVolumeTest : public ::testing::Test {
 protected:
  // A cubic log with cull factors: saw cubic `sawCu`, non-saw cubic 5.
  void SetCubic(int ln, int sd, int ld, int product = 1, float sawCu = 100.0f) {
    volume_.SetLog(ln, sd, ld, 7, product, "Cubic", {sawCu, 5.0f, 0.3f, 0.3f});
  }
  void SetBoard(int ln, int sd, int ld, float sawBd = 0.3f) {
    volume_.SetLog(ln, sd, ld, 7, 1, "Board", {100.0f, 100.0f, sawBd, 0.3f});
  }

  LogVolume volume_;
};

TEST_F(LogVolumeTest, CubicSegmentWithoutDefects) {
  SetCubic(16, 10, 12);
  volume_.AddSegment(Segment(1, 16, 10, 12));
  const LogRecord& log = volume_.GetLog();
  EXPECT_FLOAT_EQ(log.grossCubic, 10.6f);
  EXPECT_FLOAT_EQ(log.netCubic, 10.6f);
  EXPECT_FLOAT_EQ(log.defectCubic, 0.0f);
  EXPECT_EQ(log.grossBoard, 0.0f);
  EXPECT_EQ(volume_.Warnings(), "");
}

TEST_F(LogVolumeTest, GeneratesSegmentsWhenThereAreNone) {
  SetCubic(40, 10, 16);
  const LogRecord& log = volume_.GetLog();
  ASSERT_EQ(volume_.Segments().size(), 2u);
  const SegmentRecord& butt = volume_.Segments()[0];
  EXPECT_EQ(butt.seg, 1);
  EXPECT_EQ(butt.length, 20);
  EXPECT_EQ(butt.smallEnd, 13);
  EXPECT_EQ(butt.largeEnd, 16);
  // (169 + 256) * 20 * 0.002727 = 23.18 -> 23.2; (100 + 169) * 20 * 0.002727 = 14.67 -> 14.7.
  EXPECT_FLOAT_EQ(butt.cubicGross, 23.2f);
  EXPECT_FLOAT_EQ(volume_.Segments()[1].cubicGross, 14.7f);
  EXPECT_FLOAT_EQ(log.grossCubic, 37.9f);
  EXPECT_EQ(volume_.Warnings(), "WARN - Generated Segments\n");
}

TEST_F(LogVolumeTest, WarnsOnIncorrectSegmentCount) {
  SetCubic(40, 10, 16);
  volume_.AddSegment(Segment(1, 40, 10, 16));
  volume_.Compute();
  EXPECT_EQ(volume_.ExpectedSegments(), 2);
  EXPECT_EQ(volume_.Warnings(), "WARN - Incorrect Num Segments\n");
  // The computation goes on with the segment given: 356 * 40 * 0.002727 = 38.8.
  EXPECT_FLOAT_EQ(volume_.GetLog().grossCubic, 38.8f);
}

TEST_F(LogVolumeTest, WarningsAreNotRepeatedOnRecomputation) {
  SetCubic(40, 10, 16);
  volume_.Compute();
  volume_.AddDefect(Defect(1, kLengthCut, 0, 0, 0, 0, 2, 0));
  volume_.Compute();
  EXPECT_EQ(volume_.Warnings(), "WARN - Generated Segments\n");
}

TEST_F(LogVolumeTest, SetLogStartsOver) {
  SetCubic(40, 10, 16);
  volume_.AddDefect(Defect(1, kLengthCut, 0, 0, 0, 0, 2, 0));
  volume_.Compute();
  SetCubic(16, 10, 12);
  volume_.AddSegment(Segment(1, 16, 10, 12));
  EXPECT_FLOAT_EQ(volume_.GetLog().netCubic, 10.6f);
  EXPECT_TRUE(volume_.Defects().empty());
  EXPECT_EQ(volume_.Warnings(), "");
}

TEST_F(LogVolumeTest, CullExactlyAtFactorIsNotCulled) {
  SetCubic(16, 10, 12, 1, 4.0f);
  volume_.AddSegment(Segment(1, 16, 10, 12));
  volume_.AddDefect(Defect(1, kLengthCut, 0, 0, 0, 0, 4, 0));  // V 2.7, F 4.0
  const LogRecord& log = volume_.GetLog();
  EXPECT_FLOAT_EQ(log.defectCubic, 2.7f);
  EXPECT_FLOAT_EQ(log.netCubic, 7.9f);
  EXPECT_FLOAT_EQ(volume_.Segments()[0].cubicFactor, 4.0f);
}

TEST_F(LogVolumeTest, CullJustAboveFactorTakesWholeSegment) {
  SetCubic(16, 10, 12, 1, 3.99f);
  volume_.AddSegment(Segment(1, 16, 10, 12));
  volume_.AddDefect(Defect(1, kLengthCut, 0, 0, 0, 0, 4, 0));
  const LogRecord& log = volume_.GetLog();
  EXPECT_FLOAT_EQ(log.defectCubic, 10.6f);
  EXPECT_FLOAT_EQ(log.netCubic, 0.0f);
  EXPECT_FLOAT_EQ(volume_.Defects()[0].cubicDeduction, 2.7f);
}

TEST_F(LogVolumeTest, SawlogCubicFactorCullsEveryProduct) {
  SetCubic(16, 10, 12, 2, 3.99f);  // non-saw factor is 5
  volume_.AddSegment(Segment(1, 16, 10, 12));
  volume_.AddDefect(Defect(1, kLengthCut, 0, 0, 0, 0, 4, 0));
  EXPECT_FLOAT_EQ(volume_.GetLog().netCubic, 0.0f);
}

TEST_F(LogVolumeTest, FactorsOfSeveralDefectsAddUp) {
  SetCubic(16, 10, 12, 1, 7.9f);
  volume_.AddSegment(Segment(1, 16, 10, 12));
  volume_.AddDefect(Defect(1, kLengthCut, 0, 0, 0, 0, 4, 0));           // F 4.0
  volume_.AddDefect(Defect(1, kPercentDeduction, 0, 0, 0, 0, 4, 100));  // V 2.65 -> 2.7, F 4.0
  const LogRecord& log = volume_.GetLog();
  EXPECT_FLOAT_EQ(volume_.Segments()[0].cubicFactor, 8.0f);
  EXPECT_FLOAT_EQ(log.netCubic, 0.0f);
}

TEST_F(LogVolumeTest, WholeLogSquaredAreaIsSpreadOverSegments) {
  SetCubic(40, 10, 16);
  volume_.AddDefect(Defect(0, kSquaredArea, 12, 0, 6, 0, 0, 0));
  const LogRecord& log = volume_.GetLog();
  const auto& segs = volume_.Segments();
  // Butt (12, 9): side 10.5 -> 10, 100 * 20 / 144 = 13.9; top (9, 6): side 8, 64 * 20 / 144 = 8.9.
  EXPECT_FLOAT_EQ(segs[0].cubicDefect, 13.9f);
  EXPECT_FLOAT_EQ(segs[1].cubicDefect, 8.9f);
  // Butt factor: S(13) = 10, P = 0.625, x = 13: 20.8. Top: 9 / 0.375 = 24.
  EXPECT_FLOAT_EQ(segs[0].cubicFactor, 20.8f);
  EXPECT_FLOAT_EQ(segs[1].cubicFactor, 24.0f);
  EXPECT_FLOAT_EQ(log.defectCubic, 22.8f);
  EXPECT_FLOAT_EQ(log.netCubic, 15.1f);
  // The defect record keeps the values of the last segment.
  EXPECT_FLOAT_EQ(volume_.Defects()[0].cubicDeduction, 8.9f);
  EXPECT_FLOAT_EQ(volume_.Defects()[0].cubicFactor, 24.0f);
}

TEST_F(LogVolumeTest, WholeLogSpreadOverManySegmentsOfADamagedLog) {
  // A damaged file may hold thousands of Seg rows for one log; spreading a
  // whole-log defect must stay linear in their number, not quadratic.
  constexpr int kCount = 30000;
  SetCubic(20, 10, 12);
  for (int seg = 1; seg <= kCount; ++seg) volume_.AddSegment(Segment(seg, 20, 10, 12));
  volume_.AddDefect(Defect(0, kSquaredArea, 12, 0, 6, 0, 0, 0));
  const auto& segs = volume_.Segments();
  ASSERT_EQ(segs.size(), static_cast<size_t>(kCount));
  // The taper of 6 goes to the six top segments, one inch each: every lower
  // segment is 12 x 12 over 20 feet, 144 * 20 / 144 = 20.0 cubic feet.
  EXPECT_FLOAT_EQ(segs[0].cubicDefect, 20.0f);
  EXPECT_FLOAT_EQ(segs[kCount - 7].cubicDefect, 20.0f);
  // The top segment runs from 7 to 6 inches: side 6.5 -> 6, 36 * 20 / 144 = 5.0.
  EXPECT_FLOAT_EQ(segs[kCount - 1].cubicDefect, 5.0f);
  EXPECT_FLOAT_EQ(volume_.Defects()[0].cubicDeduction, 5.0f);
}

TEST_F(LogVolumeTest, WholeLogDiameterCutUsesM1OnEverySegment) {
  SetCubic(40, 10, 16);
  volume_.AddDefect(Defect(0, kDiameterCut, 2, 0, 0, 0, 0, 0));
  const LogRecord& log = volume_.GetLog();
  const auto& segs = volume_.Segments();
  // Butt 13 -> 16: 23.2 - Smalian(11, 14, 20) = 23.2 - 17.3; S(13) - S(11) = 3, P = 0.625.
  EXPECT_FLOAT_EQ(segs[0].cubicDefect, 5.9f);
  EXPECT_FLOAT_EQ(segs[0].cubicFactor, 4.8f);
  // Top 10 -> 13: 14.7 - Smalian(8, 11, 20) = 14.7 - 10.1; S(10) - S(8) = 3, P = 0.375.
  EXPECT_FLOAT_EQ(segs[1].cubicDefect, 4.6f);
  EXPECT_FLOAT_EQ(segs[1].cubicFactor, 8.0f);
  EXPECT_FLOAT_EQ(log.defectCubic, 10.5f);
  EXPECT_FLOAT_EQ(log.netCubic, 27.4f);
}

TEST_F(LogVolumeTest, SegmentDefectTouchesOnlyItsSegment) {
  SetCubic(40, 10, 16);
  volume_.AddDefect(Defect(2, kLengthCut, 0, 0, 0, 0, 10, 0));  // 14.7 * 10 / 20 = 7.35 -> 7.4
  volume_.Compute();
  EXPECT_FLOAT_EQ(volume_.Segments()[0].cubicDefect, 0.0f);
  EXPECT_FLOAT_EQ(volume_.Segments()[1].cubicDefect, 7.4f);
}

TEST_F(LogVolumeTest, RecordsAreKeptInSegmentOrder) {
  SetCubic(40, 10, 16);
  volume_.AddSegment(Segment(2, 20, 10, 13));
  volume_.AddSegment(Segment(1, 20, 13, 16));
  volume_.AddDefect(Defect(2, kLengthCut, 0, 0, 0, 0, 1, 0));
  volume_.AddDefect(Defect(0, kDiameterCut, 1, 0, 0, 0, 0, 0));
  volume_.AddDefect(Defect(2, kLengthCut, 0, 0, 0, 0, 2, 0));
  volume_.AddDefect(Defect(1, kLengthCut, 0, 0, 0, 0, 3, 0));
  const auto& segs = volume_.Segments();
  EXPECT_EQ(segs[0].seg, 1);
  EXPECT_EQ(segs[1].seg, 2);
  const auto& defects = volume_.Defects();
  ASSERT_EQ(defects.size(), 4u);
  EXPECT_EQ(defects[0].seg, 0);
  EXPECT_EQ(defects[1].measures.length, 3);
  EXPECT_EQ(defects[2].measures.length, 1);  // equal segments keep their order
  EXPECT_EQ(defects[3].measures.length, 2);
}

TEST_F(LogVolumeTest, NetEqualsGrossWithoutDefectsOverRandomLogs) {
  std::mt19937 random(12345);
  for (int i = 0; i < 500; ++i) {
    const int ln = 1 + static_cast<int>(random() % 100);
    const int sd = 1 + static_cast<int>(random() % 40);
    const int ld = sd + static_cast<int>(random() % 10);
    for (const char* system : {"Cubic", "Board"}) {
      volume_.SetLog(ln, sd, ld, 1, 1, system, {0.0f, 0.0f, 0.0f, 0.0f});
      const LogRecord& log = volume_.GetLog();
      EXPECT_EQ(log.netCubic, log.grossCubic) << ln << " " << sd << " " << ld;
      EXPECT_EQ(log.netBoard, log.grossBoard) << ln << " " << sd << " " << ld;
      EXPECT_EQ(log.defectCubic, 0.0f);
      EXPECT_EQ(log.defectBoard, 0.0f);
    }
  }
}

TEST_F(LogVolumeTest, BoardSegmentWithLengthDefect) {
  SetBoard(16, 16, 18);
  volume_.AddSegment(Segment(1, 16, 16, 18));
  volume_.AddDefect(Defect(1, kLengthCut, 0, 0, 0, 0, 4, 0));
  // Gross 160; deduction 160 - Scribner(16, 12) = 160 - 120 = 40; net fraction 0.75.
  const LogRecord& log = volume_.GetLog();
  EXPECT_FLOAT_EQ(log.grossBoard, 160.0f);
  EXPECT_FLOAT_EQ(log.netBoard, 120.0f);
  EXPECT_FLOAT_EQ(log.defectBoard, 40.0f);
  EXPECT_FLOAT_EQ(volume_.Segments()[0].boardFactor, 0.25f);
  EXPECT_FLOAT_EQ(volume_.Defects()[0].boardDeduction, 40.0f);
  EXPECT_EQ(log.grossCubic, 0.0f);
}

TEST_F(LogVolumeTest, BoardNetFractionEqualToFactorIsCulled) {
  SetBoard(16, 16, 18, 0.9f);
  volume_.AddSegment(Segment(1, 16, 16, 18));
  // No M1 and no LN: the entered volume 16.7 counts as 16. (160 - 16) / 160 = 0.9.
  volume_.AddDefect(Defect(1, kPercentDeduction, 0, 0, 0, 0, 0, 0, 16.7f));
  const LogRecord& log = volume_.GetLog();
  EXPECT_FLOAT_EQ(log.netBoard, 0.0f);
  EXPECT_FLOAT_EQ(log.defectBoard, 160.0f);
  EXPECT_FLOAT_EQ(volume_.Defects()[0].boardDeduction, 16.0f);
}

TEST_F(LogVolumeTest, BoardNetFractionAboveFactorIsKept) {
  SetBoard(16, 16, 18, 0.89f);
  volume_.AddSegment(Segment(1, 16, 16, 18));
  volume_.AddDefect(Defect(1, kPercentDeduction, 0, 0, 0, 0, 0, 0, 16.0f));
  EXPECT_FLOAT_EQ(volume_.GetLog().netBoard, 144.0f);
}

TEST_F(LogVolumeTest, BoardWholeLogDefectAppliesToEverySegmentAlike) {
  SetBoard(32, 10, 14);
  volume_.AddDefect(Defect(0, kLengthCut, 0, 0, 0, 0, 4, 0));
  const LogRecord& log = volume_.GetLog();
  const auto& segs = volume_.Segments();
  // Segments 16 ft, 12 -> 14 and 10 -> 12. Butt: 80 - Scribner(12, 12) = 80 - 60.
  // Top: 60 - Scribner(10, 12), which the list lowers to 30: deduction 30.
  EXPECT_FLOAT_EQ(segs[0].boardGross, 80.0f);
  EXPECT_FLOAT_EQ(segs[0].boardDefect, 20.0f);
  EXPECT_FLOAT_EQ(segs[1].boardGross, 60.0f);
  EXPECT_FLOAT_EQ(segs[1].boardDefect, 30.0f);
  EXPECT_FLOAT_EQ(segs[1].boardFactor, 0.5f);
  EXPECT_FLOAT_EQ(log.grossBoard, 140.0f);
  EXPECT_FLOAT_EQ(log.netBoard, 90.0f);
  EXPECT_FLOAT_EQ(log.defectBoard, 50.0f);
}

TEST_F(LogVolumeTest, BoardDiameterDefectBeyondSmallEndTakesEverything) {
  SetBoard(16, 10, 12);
  volume_.AddSegment(Segment(1, 16, 10, 12));
  volume_.AddDefect(Defect(1, kDiameterCut, 12, 0, 0, 0, 0, 0));  // SD - M1 < 0 counts as 0
  EXPECT_FLOAT_EQ(volume_.Defects().front().boardDeduction, 60.0f);
  EXPECT_FLOAT_EQ(volume_.GetLog().netBoard, 0.0f);
}

TEST_F(LogVolumeTest, BoardDefectLongerThanSegment) {
  SetBoard(16, 16, 18, -1.0f);
  volume_.AddSegment(Segment(1, 16, 16, 18));
  volume_.AddDefect(Defect(1, kLengthCut, 0, 0, 0, 0, 30, 0));
  // What is left of the segment has no board feet: the whole gross is deducted.
  EXPECT_FLOAT_EQ(volume_.Defects().front().boardDeduction, 160.0f);
  EXPECT_FLOAT_EQ(volume_.GetLog().netBoard, 0.0f);
}

TEST_F(LogVolumeTest, BoardSegmentWithoutBoardFeet) {
  SetBoard(16, 1, 2);
  volume_.AddSegment(Segment(1, 16, 1, 2));
  volume_.AddDefect(Defect(1, kPercentDeduction, 0, 0, 0, 0, 0, 0, 30.0f));
  const LogRecord& log = volume_.GetLog();
  EXPECT_EQ(log.grossBoard, 0.0f);
  EXPECT_EQ(log.netBoard, 0.0f);
  EXPECT_EQ(log.defectBoard, 0.0f);
  EXPECT_EQ(volume_.Segments()[0].boardFactor, 0.0f);
}

TEST_F(LogVolumeTest, LonglogComputesNothingButStillChecksSegments) {
  volume_.SetLog(40, 10, 16, 7, 1, "Longlog", {0.0f, 0.0f, 0.0f, 0.0f});
  const LogRecord& log = volume_.GetLog();
  EXPECT_EQ(log.grossCubic, 0.0f);
  EXPECT_EQ(log.grossBoard, 0.0f);
  EXPECT_EQ(volume_.Segments().size(), 2u);
  EXPECT_EQ(volume_.Warnings(), "WARN - Generated Segments\n");
}

TEST_F(LogVolumeTest, VolumeTextCubic) {
  SetCubic(16, 10, 12, 1, 5.0f);
  volume_.AddSegment(Segment(1, 16, 10, 12));
  volume_.AddDefect(Defect(1, kLengthCut, 0, 0, 0, 0, 4, 0));
  std::string text = "before\r\n";
  EXPECT_EQ(volume_.VolumeText(text), 7);
  EXPECT_EQ(text,
            "before\r\n"
            "Log 7\r\n\r\n"
            "Seg  Gross    Net    Def    DFact\r\n"
            "------------------------------------\r\n"
            " 1    10.6     7.9    2.7   4.00\r\n"
            "------------------------------------\r\n"
            "      10.6     7.9    2.7\r\n");
  EXPECT_EQ(volume_.CulledSegmentCount(), 0);
}

TEST_F(LogVolumeTest, VolumeTextMarksCulledSegmentAndSplit) {
  SetCubic(16, 10, 12, 1, 3.5f);
  volume_.AddSegment(Segment(1, 16, 10, 12));
  volume_.AddDefect(Defect(1, kLengthCut, 0, 0, 0, 0, 4, 0));
  std::string text;
  volume_.VolumeText(text, "2");
  EXPECT_EQ(text,
            "Log 7, Split 2\r\n\r\n"
            "Seg  Gross    Net    Def    DFact\r\n"
            "------------------------------------\r\n"
            " 1    10.6     0.0   10.6   4.00 C\r\n"
            "------------------------------------\r\n"
            "      10.6     0.0   10.6\r\n");
  EXPECT_EQ(volume_.CulledSegmentCount(), 1);
}

TEST_F(LogVolumeTest, VolumeTextMarksByTheProductsFactor) {
  // Culled in the computation by the sawlog factor 3.5, but a non-saw log is
  // marked only above its own factor (5).
  SetCubic(16, 10, 12, 2, 3.5f);
  volume_.AddSegment(Segment(1, 16, 10, 12));
  volume_.AddDefect(Defect(1, kLengthCut, 0, 0, 0, 0, 4, 0));
  std::string text;
  volume_.VolumeText(text);
  EXPECT_NE(text.find(" 1    10.6     0.0   10.6   4.00\r\n"), std::string::npos) << text;
  EXPECT_EQ(volume_.CulledSegmentCount(), 0);
}

TEST_F(LogVolumeTest, VolumeTextShowsZeroFactorWithoutDeduction) {
  SetCubic(16, 10, 12, 1, 5.0f);
  volume_.AddSegment(Segment(1, 16, 10, 12));
  // 1 % of 10.6 is below 0.2: no deduction, factor 0.16 not shown.
  volume_.AddDefect(Defect(1, kPercentDeduction, 0, 0, 0, 0, 0, 1));
  std::string text;
  volume_.VolumeText(text);
  EXPECT_NE(text.find(" 1    10.6    10.6    0.0   0.00\r\n"), std::string::npos) << text;
  EXPECT_FLOAT_EQ(volume_.Segments()[0].cubicFactor, 0.16f);
}

TEST_F(LogVolumeTest, VolumeTextBoard) {
  SetBoard(16, 16, 18);
  volume_.AddSegment(Segment(1, 16, 16, 18));
  volume_.AddDefect(Defect(1, kLengthCut, 0, 0, 0, 0, 4, 0));
  std::string text;
  EXPECT_EQ(volume_.VolumeText(text), 7);
  EXPECT_EQ(text,
            "Log 7\r\n\r\n"
            "Seg  Gross    Net    Def    DFact\r\n"
            "------------------------------------\r\n"
            " 1   160.0   120.0   40.0   0.25\r\n"
            "------------------------------------\r\n"
            "     160.0   120.0   40.0\r\n");
}

TEST_F(LogVolumeTest, MeasurementStatus) {
  SetCubic(16, 10, 0);
  EXPECT_EQ(volume_.MeasurementStatus(), 3);
  SetBoard(16, 10, 0);
  EXPECT_EQ(volume_.MeasurementStatus(), 0);
  SetCubic(16, 10, 12);
  EXPECT_EQ(volume_.MeasurementStatus(), 0);
  SetCubic(0, 10, 12);
  EXPECT_EQ(volume_.MeasurementStatus(), 1);
}

TEST_F(LogVolumeTest, NoLengthGivesEmptyResults) {
  SetCubic(0, 10, 12);
  const LogRecord& log = volume_.GetLog();
  EXPECT_EQ(log.grossCubic, 0.0f);
  EXPECT_TRUE(volume_.Segments().empty());
  EXPECT_EQ(volume_.Warnings(), "WARN - Generated Segments\n");
}

TEST(BoardDeductionTest, Rules) {
  const DefectRecord lengthOnly = Defect(1, 1, 0, 0, 0, 0, 4, 0);
  EXPECT_EQ(BoardDeduction(lengthOnly, 160, 16, 16), 40);  // 160 - Scribner(16, 12)
  const DefectRecord entered = Defect(1, 1, 0, 0, 0, 0, 0, 0, 25.9f);
  EXPECT_EQ(BoardDeduction(entered, 160, 16, 16), 25);
  const DefectRecord diameterOnly = Defect(1, 2, 6, 0, 0, 0, 0, 0);
  EXPECT_EQ(BoardDeduction(diameterOnly, 160, 16, 16), 100);  // 160 - Scribner(10, 16)
  const DefectRecord both = Defect(1, 2, 6, 0, 0, 0, 4, 0);
  // Scribner(10, 12) = 3.126 * 12 - 10 (listed) = 27.5 -> 30.
  EXPECT_EQ(BoardDeduction(both, 160, 16, 16), 130);
}

}  // namespace
}  // namespace scaling
