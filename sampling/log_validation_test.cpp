#include "sampling/log_validation.h"

#include <gtest/gtest.h>

#include "platform/scripted_ui.h"

namespace sampling {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

class LogValidationTest : public ::testing::Test {
 protected:
  LogValidationTest() {
    context_.saleType = "100";
    context_.scaleSystem = "Cubic";
    context_.limits = LoadLimits{8, 40, 4, 30};
    context_.speciesList = ",DF,WH,RC,";
  }

  // A measured log that passes every check.
  static TextRow GoodLog() {
    return TextRow({{"LOG", "7"},
                    {"S", "1"},
                    {"SP", "DF"},
                    {"P", "1"},
                    {"LN", "32"},
                    {"SD", "10"},
                    {"LD", "14"},
                    {"HIT", "1"},
                    {"VOID", "0"}});
  }

  // A segment source that counts its calls and returns `segments_`.
  SegmentSource Source() {
    return [this] {
      ++segmentCalls_;
      return segments_;
    };
  }

  Findings Check(const TextRow& row) { return CheckLog(context_, row, Source()); }

  LogCheckContext context_;
  std::vector<SegmentDefects> segments_;
  int segmentCalls_ = 0;
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
};

// ---- applicability ----

TEST_F(LogValidationTest, BoardLoadSkipsTheCheckEntirely) {
  context_.scaleSystem = "Board";
  TextRow row({{"LOG", "1"}, {"P", "9"}});
  EXPECT_EQ(ValidateLog(context_, row, Source(), ui_), kLogValid);
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_EQ(segmentCalls_, 0);
}

TEST_F(LogValidationTest, VoidedLogAlwaysPasses) {
  TextRow row({{"LOG", "1"}, {"VOID", "1"}, {"P", "9"}});
  EXPECT_TRUE(Check(row).empty());
}

TEST_F(LogValidationTest, GoodLogPassesAndBringsSegmentsUpToDate) {
  EXPECT_EQ(ValidateLog(context_, GoodLog(), Source(), ui_), kLogValid);
  EXPECT_EQ(segmentCalls_, 1);
  EXPECT_TRUE(ui_.messages().empty());
}

// ---- 3P non-sample logs ----

TEST_F(LogValidationTest, NonSampleWithoutMeasurementsPasses) {
  context_.saleType = "3P";
  TextRow row(
      {{"LOG", "3"}, {"SP", "WH"}, {"P", "1"}, {"LN", "0"}, {"SD", ""}, {"LD", "0"}, {"HIT", "0"}});
  EXPECT_TRUE(Check(row).empty());
  EXPECT_EQ(segmentCalls_, 0);
}

TEST_F(LogValidationTest, NonSampleWithMeasurementsFails) {
  context_.saleType = "3P";
  TextRow row({{"LOG", "3"}, {"SP", "WH"}, {"LN", "16"}, {"SD", "8"}, {"LD", "9"}, {"HIT", "0"}});
  EXPECT_EQ(ValidateLog(context_, row, Source(), ui_), 3);
  ASSERT_EQ(ui_.messages().size(), 1u);
  const platform::Message& box = ui_.messages()[0];
  EXPECT_EQ(box.text,
            "Non-sample log can't have a LN\nNon-sample log can't have a SD\n"
            "Non-sample log can't have a LD");
  EXPECT_EQ(box.caption, "Log 3 has errors");
  EXPECT_EQ(box.icon, Icon::kStop);
  EXPECT_EQ(box.buttons, Buttons::kOk);
}

TEST_F(LogValidationTest, EmptyHitCellReadsAsNonSample) {
  context_.saleType = "3P";
  TextRow row({{"LOG", "3"}, {"SP", "WH"}, {"P", "7"}, {"LN", "16"}, {"HIT", ""}});
  const Findings f = Check(row);
  // Only the non-sample finding: the product check belongs to measured logs.
  EXPECT_EQ(f.errors, "Non-sample log can't have a LN\n");
}

TEST_F(LogValidationTest, SampleLogOn3PGetsMeasurementChecks) {
  context_.saleType = "3P";
  TextRow row = GoodLog();
  row.Set("P", "3");
  EXPECT_EQ(Check(row).errors, "Invalid product code\n");
}

TEST_F(LogValidationTest, OtherSaleTypesSkipMeasurementChecks) {
  context_.saleType = "X";
  TextRow row = GoodLog();
  row.Set("P", "0");
  row.Set("LN", "99");
  EXPECT_TRUE(Check(row).empty());
  row.Set("SP", "");
  EXPECT_EQ(Check(row).errors, "Missing SP code\n");
}

// ---- species and product ----

TEST_F(LogValidationTest, SpeciesChecks) {
  TextRow row = GoodLog();
  row.Set("SP", "");
  EXPECT_EQ(Check(row).errors, "Missing SP code\n");
  row.Set("SP", "XX");
  EXPECT_EQ(Check(row).errors, "Invalid SP code\n");
  row.Set("SP", "D");  // only whole codes between commas count
  EXPECT_EQ(Check(row).errors, "Invalid SP code\n");
  row.Set("SP", "RC");
  EXPECT_TRUE(Check(row).empty());
}

TEST_F(LogValidationTest, SpeciesListOfOneCharacterDisablesTheCheck) {
  context_.speciesList = ",";
  TextRow row = GoodLog();
  row.Set("SP", "ZZ");
  EXPECT_TRUE(Check(row).empty());
  context_.speciesList = "";
  EXPECT_TRUE(Check(row).empty());
}

TEST_F(LogValidationTest, ProductMustBeOneOrTwo) {
  TextRow row = GoodLog();
  for (const char* p : {"0", "3", "", "-1"}) {
    row.Set("P", p);
    EXPECT_EQ(Check(row).errors, "Invalid product code\n") << p;
  }
  row.Set("P", "2");
  EXPECT_TRUE(Check(row).empty());
}

// ---- range warnings ----

TEST_F(LogValidationTest, LimitsThemselvesGiveNoWarning) {
  TextRow row = GoodLog();
  row.Set("LN", "8");
  row.Set("SD", "4");
  row.Set("LD", "30");
  EXPECT_TRUE(Check(row).empty());
  row.Set("LN", "40");
  EXPECT_TRUE(Check(row).empty());
}

TEST_F(LogValidationTest, EveryRangeWarningInOrder) {
  TextRow row = GoodLog();
  row.Set("LN", "41");
  row.Set("SD", "3");
  row.Set("LD", "31");
  Findings f = Check(row);
  EXPECT_EQ(f.errorCount, 0);
  EXPECT_EQ(f.warnings, "LN above maximum\nSD below minimum\nLD above maximum\n");
  row.Set("LN", "7");
  row.Set("SD", "31");
  row.Set("LD", "3");
  f = Check(row);
  EXPECT_EQ(f.warnings, "LN below minimum\nSD above maximum\nLD below minimum\n");
  EXPECT_EQ(f.warningCount, 3);
}

TEST_F(LogValidationTest, WarningsOnlyAskToContinue) {
  TextRow row = GoodLog();
  row.Set("LN", "41");
  ui_.QueueAnswer(Answer::kOk);
  EXPECT_EQ(ValidateLog(context_, row, Source(), ui_), kLogWarningsAccepted);
  ui_.QueueAnswer(Answer::kCancel);
  EXPECT_EQ(ValidateLog(context_, row, Source(), ui_), kLogWarningsCancelled);
  ASSERT_EQ(ui_.messages().size(), 2u);
  const platform::Message& box = ui_.messages()[0];
  EXPECT_EQ(box.text, "LN above maximum\n\nContinue?");
  EXPECT_EQ(box.caption, "Log 7 has possible errors");
  EXPECT_EQ(box.icon, Icon::kExclamation);
  EXPECT_EQ(box.buttons, Buttons::kOkCancel);
}

TEST_F(LogValidationTest, ErrorsWinOverWarningsAndStopSegmentChecks) {
  TextRow row = GoodLog();
  row.Set("P", "5");
  row.Set("LN", "41");
  EXPECT_EQ(ValidateLog(context_, row, Source(), ui_), 1);
  EXPECT_EQ(segmentCalls_, 0);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "Invalid product code");
}

TEST_F(LogValidationTest, MissingMeasurementSkipsSegments) {
  TextRow row = GoodLog();
  row.Set("LD", "0");
  const Findings f = Check(row);
  EXPECT_EQ(f.warnings, "LD below minimum\n");
  EXPECT_EQ(segmentCalls_, 0);
}

// ---- segments and defects ----

TEST_F(LogValidationTest, DiameterCutAtSegmentSdPassesOneMoreFails) {
  segments_ = {{1, 16, 12, 14, {{2, 12, 0, 0, 0, 4, 0}}},
               {2, 16, 10, 12, {{2, 10, 0, 0, 0, 4, 0}}}};
  EXPECT_TRUE(Check(GoodLog()).empty());
  segments_[1].defects[0].m1 = 11;
  const Findings f = Check(GoodLog());
  EXPECT_EQ(f.errors, "Seg 2, Def 1: M1 > segment's SD\n");
}

TEST_F(LogValidationTest, InvalidMethodSkipsTheRestOfTheSegment) {
  segments_ = {{1, 16, 12, 14, {{6, 0, 0, 0, 0, 0, 0}, {2, 0, 9, 0, 0, 0, 0}}},
               {2, 16, 10, 12, {{0, 0, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 2, 0}}}};
  EXPECT_EQ(Check(GoodLog()).errors, "Seg 1, Def 1: Invalid M\nSeg 2, Def 1: Invalid M\n");
}

TEST_F(LogValidationTest, DefectLengthAgainstSegmentAndWholeLog) {
  segments_ = {{1, 16, 12, 14, {{1, 0, 0, 0, 0, 17, 0}, {1, 0, 0, 0, 0, 16, 0}}},
               {0, 32, 10, 14, {{4, 0, 0, 0, 0, 33, 10}, {4, 0, 0, 0, 0, 32, 10}}}};
  EXPECT_EQ(Check(GoodLog()).errors,
            "Seg 1, Def 1: Def LN > Seg LN\nSeg 0, Def 1: Def LN > Log LN\n");
}

TEST_F(LogValidationTest, MethodMeasurementRules) {
  segments_ = {{1,
                32,
                10,
                14,
                {{1, 1, 0, 0, 0, 4, 0},
                 {1, 0, 0, 0, 0, 4, 5},
                 {4, 0, 0, 1, 0, 0, 10},
                 {4, 0, 0, 0, 0, 0, 10},
                 {2, 4, 1, 0, 0, 0, 0}}}};
  EXPECT_EQ(Check(GoodLog()).errors,
            "Seg 1, Def 1: M1-M4 & PCT must be 0 for M=1\n"
            "Seg 1, Def 2: M1-M4 & PCT must be 0 for M=1\n"
            "Seg 1, Def 3: M1-M4 must be 0 for M=4\n"
            "Seg 1, Def 5: M2-M4 must be 0 for M=2\n");
}

TEST_F(LogValidationTest, SquaredAreaAndRingAgainstTheSegment) {
  segments_ = {{1, 32, 10, 14, {{3, 15, 15, 11, 11, 0, 0}, {3, 14, 14, 10, 10, 0, 0}}}};
  EXPECT_EQ(Check(GoodLog()).errors,
            "Seg 1, Def 1: M1 > segment's LD\nSeg 1, Def 1: M2 > segment's LD\n"
            "Seg 1, Def 1: M3 > segment's SD\nSeg 1, Def 1: M4 > segment's SD\n");
  segments_ = {{1, 32, 10, 14, {{5, 8, 9, 4, 6, 0, 0}}}};
  EXPECT_EQ(Check(GoodLog()).errors, "Seg 1, Def 1: M2 > M1\nSeg 1, Def 1: M4 > M3\n");
}

TEST_F(LogValidationTest, WholeLogDefectsCompareWithTheLog) {
  segments_ = {{0, 32, 8, 9, {{3, 15, 0, 11, 0, 0, 0}, {2, 11, 0, 0, 0, 0, 0}}}};
  EXPECT_EQ(Check(GoodLog()).errors,
            "Seg 0, Def 1: M1 > log's LD\nSeg 0, Def 1: M3 > log's SD\n"
            "Seg 0, Def 2: M1 > log's SD\n");
}

TEST_F(LogValidationTest, DefectErrorsAreCountedAndShown) {
  segments_ = {{1, 32, 10, 14, {{5, 8, 9, 4, 6, 0, 0}}}};
  TextRow row = GoodLog();
  row.Set("LN", "41");  // a warning too: errors are shown alone
  EXPECT_EQ(ValidateLog(context_, row, Source(), ui_), 2);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "Seg 1, Def 1: M2 > M1\nSeg 1, Def 1: M4 > M3");
  EXPECT_EQ(ui_.messages()[0].caption, "Log 7 has errors");
}

TEST_F(LogValidationTest, DefectValuesFromRow) {
  TextRow row(
      {{"M", "3"}, {"M1", "4"}, {"m2", "5"}, {"M3", ""}, {"M4", "x"}, {"LN", "6"}, {"PCT", "7"}});
  const DefectValues d = DefectValues::FromRow(row);
  EXPECT_EQ(d.m, 3);
  EXPECT_EQ(d.m1, 4);
  EXPECT_EQ(d.m2, 5);
  EXPECT_EQ(d.m3, 0);
  EXPECT_EQ(d.m4, 0);
  EXPECT_EQ(d.ln, 6);
  EXPECT_EQ(d.pct, 7);
}

TEST_F(LogValidationTest, HugeMeasurementsDoNotOverflowSums) {
  segments_ = {{1, 32, 10, 14, {{1, 2147483647, 2147483647, 0, 0, 0, 0}}}};
  EXPECT_EQ(Check(GoodLog()).errors, "Seg 1, Def 1: M1-M4 & PCT must be 0 for M=1\n");
}

TEST_F(LogValidationTest, RandomDamagedRowsNeverBreakTheCheck) {
  uint32_t state = 99;
  auto next = [&state](int range) {
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 8) % static_cast<uint32_t>(range)) - range / 4;
  };
  for (int i = 0; i < 300; ++i) {
    segments_.clear();
    for (int s = next(6); s > 0; --s) {
      SegmentDefects seg{next(4), next(30), next(40), next(40), {}};
      for (int d = next(6); d > 0; --d) {
        seg.defects.push_back(
            {next(8), next(50), next(50), next(50), next(50), next(40), next(120)});
      }
      segments_.push_back(seg);
    }
    TextRow row = GoodLog();
    row.Set("LN", std::to_string(next(60)));
    row.Set("P", std::to_string(next(4)));
    const Findings f = Check(row);
    ASSERT_GE(f.errorCount, 0);
    std::vector<DefectValues> grid;
    for (const auto& seg : segments_)
      grid.insert(grid.end(), seg.defects.begin(), seg.defects.end());
    const DefectGridProblem p = CheckDefectGrid(grid, next(60));
    ASSERT_LE(p.record, static_cast<int>(grid.size()));
  }
}

// ---- the defect grid ----

TEST_F(LogValidationTest, DefectGridAllValid) {
  EXPECT_EQ(ValidateDefectGrid({{1, 0, 0, 0, 0, 4, 0}, {3, 4, 0, 0, 0, 0, 0}}, 32, ui_), 0);
  EXPECT_EQ(ValidateDefectGrid({}, 32, ui_), 0);
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(LogValidationTest, DefectGridStopsAtFirstBadRecord) {
  const int bad = ValidateDefectGrid(
      {{1, 0, 0, 0, 0, 4, 0}, {2, 0, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 99, 0}}, 32, ui_);
  EXPECT_EQ(bad, 2);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "Defect record 2 has no data");
  EXPECT_EQ(ui_.messages()[0].caption, "Defect Error!");
  EXPECT_EQ(ui_.messages()[0].icon, Icon::kStop);
}

TEST_F(LogValidationTest, DefectGridLengthAboveLog) {
  const DefectGridProblem p = CheckDefectGrid({{1, 0, 0, 0, 0, 33, 0}}, 32);
  EXPECT_EQ(p.record, 1);
  EXPECT_EQ(p.message,
            "Defect record 1: Defect length of 33 is greater than the log's length of 32.");
  EXPECT_EQ(CheckDefectGrid({{1, 0, 0, 0, 0, 32, 0}}, 32).record, 0);
}

TEST_F(LogValidationTest, DefectGridSquaredAreaRules) {
  EXPECT_EQ(CheckDefectGrid({{3, 0, 5, 0, 0, 4, 0}}, 32).message,
            "Defect record 1: Squared Area defect with an M2 measurement must also have an M1 "
            "measurement.");
  EXPECT_EQ(CheckDefectGrid({{3, 4, 0, 0, 5, 0, 0}}, 32).message,
            "Defect record 1: Squared Area defect with an M4 measurement must also have an M3 "
            "measurement.");
  EXPECT_EQ(CheckDefectGrid({{3, 0, 0, 0, 0, 4, 10}}, 32).message,
            "Defect record 1: Squared Area defect has no measurements.");
  EXPECT_EQ(CheckDefectGrid({{3, 4, 5, 6, 7, 0, 0}}, 32).record, 0);
  // The rules are Squared Area's only.
  EXPECT_EQ(CheckDefectGrid({{2, 0, 5, 0, 0, 4, 0}}, 32).record, 0);
}

TEST_F(LogValidationTest, DefectGridRefusesMeasurementSetsWithoutADeductionRule) {
  // Every set the Squared Area and Ring Deduction tables list passes.
  const int squared[][4] = {{4, 0, 0, 0}, {0, 0, 4, 0}, {4, 5, 0, 0},
                            {0, 0, 4, 5}, {4, 0, 6, 0}, {4, 5, 6, 7}};
  for (const auto& m : squared) {
    EXPECT_EQ(CheckDefectGrid({{3, m[0], m[1], m[2], m[3], 0, 0}}, 32).record, 0);
  }
  const int ring[][4] = {{9, 0, 0, 0}, {0, 0, 9, 0}, {9, 0, 8, 0}, {9, 4, 0, 0}, {9, 4, 8, 3}};
  for (const auto& m : ring) {
    EXPECT_EQ(CheckDefectGrid({{5, m[0], m[1], m[2], m[3], 0, 0}}, 32).record, 0);
  }
  EXPECT_EQ(CheckDefectGrid({{3, 4, 5, 6, 0, 0, 0}}, 32).message,
            "Defect record 1: Squared Area defect with M1, M2 and M3 measurements must also have "
            "an M4 measurement.");
  EXPECT_EQ(CheckDefectGrid({{3, 4, 0, 6, 7, 0, 0}}, 32).message,
            "Defect record 1: Squared Area defect with M1, M3 and M4 measurements must also have "
            "an M2 measurement.");
  const std::string ringMessage =
      "Defect record 1: Ring Deduction defect measurements must be M1, M3, M1 and M3, M1 and "
      "M2, or all four.";
  EXPECT_EQ(CheckDefectGrid({{5, 0, 5, 0, 0, 4, 0}}, 32).message, ringMessage);
  EXPECT_EQ(CheckDefectGrid({{5, 0, 0, 6, 3, 0, 0}}, 32).message, ringMessage);
  EXPECT_EQ(CheckDefectGrid({{5, 9, 4, 8, 0, 0, 0}}, 32).message, ringMessage);
  EXPECT_EQ(CheckDefectGrid({{5, 0, 0, 0, 0, 4, 0}}, 32).message, ringMessage);
}

}  // namespace
}  // namespace sampling
