#include "scaling/volume_windows.h"

#include <gtest/gtest.h>

namespace scaling {
namespace {

TotalsLog Log(int product, int kpi, int hit, float gcv, float ncv, const char* split = "1") {
  TotalsLog log;
  log.product = product;
  log.kpi = kpi;
  log.hit = hit;
  log.split = split;
  log.gcv = gcv;
  log.ncv = ncv;
  return log;
}

TEST(LoadTotalsTest, ThreePExpansionWorkedExample) {
  // One measured saw log (KPI 10, gross 20) and four counted saw logs whose
  // KPIs add up to 30: (20 / 10 / 1) * 40 = 80.
  const LoadTotals t =
      ComputeLoadTotals("3P", {Log(1, 10, 1, 20.0f, 15.0f), Log(1, 5, 0, 0, 0), Log(1, 5, 0, 0, 0),
                               Log(1, 10, 0, 0, 0), Log(1, 10, 0, 0, 0)});
  EXPECT_FLOAT_EQ(t.gross[kSaw], 80.0f);
  EXPECT_FLOAT_EQ(t.net[kSaw], 60.0f);
  EXPECT_FLOAT_EQ(t.defect[kSaw], 20.0f);
  EXPECT_EQ(t.measured[kSaw], 1);
  EXPECT_EQ(t.counted[kSaw], 4);
  EXPECT_EQ(t.total[kSaw], 5);
}

TEST(LoadTotalsTest, ThreePWithoutMeasuredLogsIsZero) {
  const LoadTotals t = ComputeLoadTotals("3P", {Log(1, 5, 0, 3.0f, 3.0f), Log(1, 7, 0, 0, 0)});
  EXPECT_EQ(t.gross[kSaw], 0.0f);
  EXPECT_EQ(t.net[kSaw], 0.0f);
  EXPECT_EQ(t.defect[kSaw], 0.0f);
  EXPECT_EQ(t.counted[kSaw], 2);
}

TEST(LoadTotalsTest, ThreePMeasuredLogWithoutKpiIsNotExpanded) {
  const LoadTotals t =
      ComputeLoadTotals("3P", {Log(1, 0, 1, 20.0f, 20.0f), Log(1, 10, 1, 20.0f, 10.0f)});
  // m = 2, K = 10, Rg = 2: 2 / 2 * 10 = 10.
  EXPECT_FLOAT_EQ(t.gross[kSaw], 10.0f);
  EXPECT_FLOAT_EQ(t.net[kSaw], 5.0f);
  EXPECT_EQ(t.nonChargeable, 1);
}

TEST(LoadTotalsTest, ThreePText) {
  const LoadTotals t = ComputeLoadTotals(
      "3P",
      {Log(1, 10, 1, 20.0f, 15.0f), Log(1, 5, 0, 0, 0), Log(1, 5, 0, 0, 0), Log(1, 10, 0, 0, 0),
       Log(1, 10, 0, 0, 0), Log(2, 4, 1, 8.0f, 8.0f), Log(2, 2, 1, 3.0f, 2.0f), Log(2, 0, 0, 0, 0),
       Log(2, 0, 0, 0, 0, "2"), Log(3, 10, 1, 50.0f, 50.0f), Log(1, 10, -1, 50.0f, 50.0f, "2")});
  EXPECT_EQ(LoadTotalsText("101", "55", t),
            "SALE: 101  LLR: 55\r\n\r\n"
            "           SAW    NONSAW   TOTAL\r\n"
            "---------------------------------\r\n"
            "   Gross:  80.0    10.5     90.5\r\n"
            "     Net:  60.0     9.0     69.0\r\n"
            "  Defect:  20.0     1.5     21.5\r\n"
            "Measured:   1       2        3\r\n"
            " Counted:   4       2        6\r\n"
            "   Total:   5       4        9\r\n"
            "Non-chargeable logs:1\r\n");
  EXPECT_EQ(LoadTotalsCaption("3P"), "3P Load Information");
}

TEST(LoadTotalsTest, HundredPercentText) {
  const LoadTotals t =
      ComputeLoadTotals("100", {Log(1, 0, -1, 10.6f, 7.9f), Log(1, 0, -1, 0.0f, 0.0f),
                                Log(2, 0, -1, 5.0f, 5.0f), Log(3, 0, -1, 9.0f, 9.0f)});
  EXPECT_EQ(LoadTotalsText("S1", "L2", t),
            "SALE: S1  LLR: L2\r\n\r\n"
            "           SAW    NONSAW   TOTAL\r\n"
            "---------------------------------\r\n"
            "   Gross:  10.6     5.0     15.6\r\n"
            "     Net:   7.9     5.0     12.9\r\n"
            "  Defect:   2.7     0.0      2.7\r\n"
            "Measured:   2       1        3\r\n");
  EXPECT_EQ(LoadTotalsCaption("100"), "100% Load Information");
}

TEST(LoadTotalsTest, EmptyLoad) {
  const LoadTotals t = ComputeLoadTotals("100", {});
  EXPECT_EQ(t.gross[kTotal], 0.0f);
  EXPECT_EQ(t.measured[kTotal], 0);
  EXPECT_FALSE(t.threeP);
}

TEST(LogVolumeWindowTest, HeadingSplitAndCull) {
  LogVolume volume;
  volume.SetLog(16, 10, 12, 12, 1, "Cubic", {3.0f, 3.0f, 0.0f, 0.0f});
  volume.AddSegment(SegmentRecord{1, 16, 10, 12});
  DefectRecord cut;
  cut.seg = 1;
  cut.method = kLengthCut;
  cut.measures.length = 4;
  volume.AddDefect(cut);
  bool culled = false;
  EXPECT_EQ(LogVolumeWindowText("S1", "L2", "1", volume, &culled),
            "SALE: S1  LLR: L2\r\n\r\n"
            "Log 12, Split 1\r\n\r\n"
            "Seg  Gross    Net    Def    DFact\r\n"
            "------------------------------------\r\n"
            " 1    10.6     0.0   10.6   4.00 C\r\n"
            "------------------------------------\r\n"
            "      10.6     0.0   10.6\r\n");
  EXPECT_TRUE(culled);
}

TEST(LogLabelTest, LabelAndCaption) {
  EXPECT_EQ(LogLabel(5, "1"), "Log=5,S=1");
  EXPECT_EQ(LogLabelCaption(5, "1"), "Log=5, S=1");
}

TEST(QuickEstimateTest, WorkedExample) {
  EXPECT_NEAR(QuickEstimate(10, 12, 16), 10.646208, 1e-9);
  EXPECT_EQ(QuickEstimateText("10", "12", "16"), "CF Volume:  10.6");
}

TEST(QuickEstimateTest, FieldsReadAsWholeNumbers) {
  EXPECT_EQ(QuickEstimateText(" 10", "12.9", "16"), "CF Volume:  10.6");
  EXPECT_EQ(QuickEstimateText("", "abc", "16"), "CF Volume:   0.0");
  EXPECT_EQ(QuickEstimateText("-10", "12", "16"), "CF Volume:  10.6");
  // Absurd entries are capped instead of overflowing.
  EXPECT_EQ(QuickEstimateText("99999999999999999999", "0", "1").rfind("CF Volume: ", 0), 0u);
}


// Each log's share of its product's figures: the shares of any part of the
// logs add up to the totals (here two species of a 3P load).
TEST(LoadTotalsTest, WeightsShareOutTheTotals) {
  std::vector<TotalsLog> logs = {Log(1, 10, 1, 20.0f, 15.0f), Log(1, 30, 1, 30.0f, 30.0f),
                                 Log(1, 40, 0, 0, 0),         Log(2, 4, 1, 8.0f, 8.0f),
                                 Log(2, 0, 1, 5.0f, 5.0f),    Log(3, 10, 1, 9.0f, 9.0f)};
  logs[0].gbv = 200.0f;
  logs[1].gbv = 300.0f;
  const LoadTotals t = ComputeLoadTotals("3P", logs, true);
  const std::vector<float> w = TotalsWeights("3P", logs);
  // Saw: m = 2, K = 80, so KPI 10 weighs 80 / 20 = 4 and KPI 30 weighs 4/3.
  EXPECT_FLOAT_EQ(w[0], 4.0f);
  EXPECT_FLOAT_EQ(w[1], 80.0f / 60.0f);
  EXPECT_EQ(w[2], 0.0f);  // counted
  EXPECT_FLOAT_EQ(w[3], 0.5f);  // non-saw: m = 2, K = 4: 4 / (2 * 4)
  EXPECT_EQ(w[4], 0.0f);  // no KPI: not expanded
  EXPECT_EQ(w[5], 0.0f);  // no product the totals know
  EXPECT_FLOAT_EQ(w[0] * 20.0f + w[1] * 30.0f, t.gross[kSaw]);
  EXPECT_FLOAT_EQ(w[0] * 200.0f + w[1] * 300.0f, 1200.0f);
  EXPECT_EQ(t.boardGross[kSaw], 1200.0f);
  EXPECT_EQ(TotalsWeights("100", logs), (std::vector<float>{1, 1, 1, 1, 1, 0}));
  EXPECT_TRUE(CountsAsCounted("3P", logs[2]));
  EXPECT_FALSE(CountsAsCounted("100", logs[2]));
  EXPECT_TRUE(CountsAsMeasured("100", logs[2]));
}

}  // namespace
}  // namespace scaling
