// The matching rules and the tolerance of the check scale comparison, on
// loads made in memory (the demo loads compared through files are in
// cli/check_compare_test.cpp).
#include "reports/check_comparison.h"

#include <gtest/gtest.h>

namespace reports {
namespace {

// A 16-foot log of diameters 10 and 12: 10.6 cubic feet (Smalian), or 60
// board feet (Scribner of 10 inches over 16 feet: the long-log factor 3.542
// x 16 = 56.7, whole tens), gross and net.
ReadLog Log(int number, std::string split = "1", bool deleted = false) {
  ReadLog log;
  log.log = number;
  log.split = std::move(split);
  log.species = "DF";
  log.product = 1;
  log.length = 16;
  log.smallEnd = 10;
  log.largeEnd = 12;
  log.deleted = deleted;
  return log;
}

ReadLoad Load(std::string sale, std::string llr, std::vector<ReadLog> logs,
              std::string system = "Cubic") {
  ReadLoad load;
  load.sale = std::move(sale);
  load.llr = std::move(llr);
  load.hasLoadRow = true;
  load.scaleSystem = std::move(system);
  load.logs = std::move(logs);
  return load;
}

TEST(CheckComparisonTest, UnmatchedCheckLogsSayWhy) {
  const ReadFile production{"p.scl", {Load("Bear Creek", "7", {Log(1), Log(2, "1", true)})}};
  const ReadFile check{
      "c.scl",
      {Load("bear creek", "7", {Log(1), Log(1), Log(2), Log(3), Log(4, "1", true)}),
       Load("Elk", "9", {Log(1)})}};
  const CheckComparison c = CompareCheckScale(check, {production}, std::nullopt);
  ASSERT_EQ(c.loads.size(), 2u);
  const LoadComparison& bear = c.loads[0];
  ASSERT_EQ(bear.logs.size(), 1u);  // letter case of SALE ignored
  EXPECT_EQ(bear.productionFile, "p.scl");
  ASSERT_EQ(bear.checkOnly.size(), 3u);  // the deleted check log 4 is nowhere
  EXPECT_EQ(bear.checkOnly[0].reason, kEnteredTwice);
  EXPECT_EQ(bear.checkOnly[1].reason, kDeletedInProduction);
  EXPECT_EQ(bear.checkOnly[2].reason, kNotInProduction);
  EXPECT_TRUE(bear.notRemeasured.empty());
  const LoadComparison& elk = c.loads[1];
  EXPECT_EQ(elk.productionFile, "");
  ASSERT_EQ(elk.checkOnly.size(), 1u);
  EXPECT_EQ(elk.checkOnly[0].reason, kNoProductionLoad);
  EXPECT_EQ(c.cubic.loads, 1);  // a load without production counts in no total
}

TEST(CheckComparisonTest, BothLogsTakeTheProductionScaleSystem) {
  ReadLog longer = Log(1);
  longer.length = 20;  // Scribner(10, 20): 3.542 x 20 = 70.8, whole tens: 70
  const ReadFile production{"p.scl", {Load("S", "1", {Log(1), Log(2)}, "Board")}};
  const ReadFile check{"c.scl", {Load("S", "1", {longer}, "Cubic")}};
  const CheckComparison c = CompareCheckScale(check, {production}, std::nullopt);
  const LoadComparison& load = c.loads[0];
  EXPECT_TRUE(load.board);
  ASSERT_EQ(load.logs.size(), 1u);
  EXPECT_EQ(load.logs[0].production.gross, 600);  // tenths of board feet
  EXPECT_EQ(load.logs[0].check.gross, 700);
  EXPECT_EQ(load.logs[0].differences, unsigned{kLengthDiffers});
  ASSERT_EQ(load.notRemeasured.size(), 1u);
  EXPECT_EQ(load.notRemeasured[0].log, 2);
  EXPECT_EQ(c.board.logs, 1);
  EXPECT_EQ(c.board.logsDiffering, 1);
}

TEST(CheckComparisonTest, ToleranceFlagsOnlyWhatExceedsIt) {
  // Production 10.6 + 10.6 = 21.2 cubic feet net. The check drops log 2's
  // volume to 0 (overridden): -10.6, -50 %.
  ReadLog overridden = Log(2);
  overridden.overridden = true;
  const ReadFile production{"p.scl", {Load("S", "1", {Log(1), Log(2)})}};
  const ReadFile check{"c.scl", {Load("S", "1", {Log(1), overridden})}};
  struct Case {
    std::optional<double> tolerance;
    bool flagged;
  };
  for (const Case& t : {Case{std::nullopt, false}, Case{50.0, false}, Case{49.9, true}}) {
    const CheckComparison c = CompareCheckScale(check, {production}, t.tolerance);
    EXPECT_EQ(c.loads[0].outsideTolerance, t.flagged) << t.tolerance.value_or(-1);
    EXPECT_EQ(c.anyOutsideTolerance(), t.flagged);
    EXPECT_EQ(c.loads[0].logs[1].differences, 0u);  // a volume, not a measurement
    EXPECT_EQ(PercentFigure(c.loads[0].totals.NetPercent()), "-50.0");
  }
  // No production volume: no per cent, and any check volume is outside.
  ReadLoad nothing = Load("S", "1", {overridden});
  const CheckComparison c =
      CompareCheckScale({"c.scl", {Load("S", "1", {Log(2)})}}, {{"p.scl", {nothing}}}, 1.0);
  EXPECT_EQ(PercentFigure(c.loads[0].totals.NetPercent()), "-");
  EXPECT_TRUE(c.loads[0].outsideTolerance);
}

TEST(CheckComparisonTest, AmbiguousProductionNamesBothFiles) {
  const ReadFile a{"a.scl", {Load("S", "1", {})}};
  const ReadFile b{"b.scl", {Load("s", "1", {})}};
  EXPECT_EQ(AmbiguousProduction({a}), "");
  EXPECT_EQ(AmbiguousProduction({a, b}), "SALE S LLR 1 is in both a.scl and b.scl");
}

TEST(CheckComparisonTest, Figures) {
  EXPECT_EQ(VolumeFigure(1195, false), "119.5");
  EXPECT_EQ(VolumeFigure(-12, false), "-1.2");
  EXPECT_EQ(VolumeFigure(2200, true), "220");
  EXPECT_EQ(PercentFigure(1.0998), "+1.1");
  EXPECT_EQ(PercentFigure(-0.04), "0.0");
  EXPECT_EQ(PercentFigure(-5.5556), "-5.6");
}

}  // namespace
}  // namespace reports
