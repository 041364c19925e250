#include "reports/season_summary.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "scaling/load_volumes.h"
#include "tablestore/table_store.h"

namespace reports {
namespace {

namespace fs = std::filesystem;
using tablestore::TableStore;

constexpr const char* kTables[] = {
    "Load[SALE:S,LLR:S,ST:S,SCALESYS:S,CFSAWCU:F,CFNONSAWCU:F,CFSAWBD:F,CFNONSAWBD:F,SDATE:S,"
    "SCALER:S]",
    "Log[SALE:S,LLR:S,LOG:I,S:S,SP:S,P:I,LN:I,SD:I,LD:I,KPI:I,HIT:I,GCV:F,NCV:F,GBV:F,NBV:F,"
    "VOID:I,OverrideVolume:I]",
    "Seg[SALE:S,LLR:S,LOG:I,S:S,P:I,Seg:I,LN:I,SD:I,LD:I]",
    "DefC[SALE:S,LLR:S,LOG:I,S:S,Seg:I,M:I,M1:I,M2:I,M3:I,M4:I,LN:I,PCT:I]",
    "DefB[SALE:S,LLR:S,LOG:I,S:S,Seg:I,M:I,M1:I,M2:I,M3:I,M4:I,LN:I,PCT:I]",
};

// Appends a row whose first columns get `values`.
void Append(TableStore& store, const std::string& table, const std::vector<std::string>& values) {
  int slot = store.FindView(table);
  if (slot < 0) slot = store.OpenAView(table, false);
  ASSERT_GE(slot, 0);
  const int row = store.AddRow(slot, -1);
  ASSERT_GE(row, 0);
  for (size_t c = 0; c < values.size(); ++c) {
    ASSERT_EQ(store.SetText(slot, row, static_cast<int>(c), values[c]), 0);
  }
}

// Random loads: 3P and 100 %, cubic and board, several species and both
// products, whole-log and segment defects, deleted and overridden logs.
void WriteRandomFile(const std::string& path, std::mt19937& random, int fileNumber) {
  TableStore store;
  ASSERT_EQ(store.Open(path, false), 0);
  for (const char* table : kTables) ASSERT_EQ(store.DefineTable(table), 0);
  const auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  const char* sales[] = {"Bear Creek", "Cedar Ridge", "Elk Meadow"};
  const char* species[] = {"DF", "WH", "RC", "PP"};
  const int loads = pick(0, 3) == 0 ? 2 : 1;
  for (int l = 0; l < loads; ++l) {
    const std::string sale = sales[pick(0, 2)];
    const std::string llr = std::to_string(1000 + fileNumber * 2 + l);
    const bool threeP = pick(0, 1) == 1;
    const bool board = pick(0, 1) == 1;
    Append(store, "Load",
           {sale, llr, threeP ? "3P" : "100", board ? "Board" : "Cubic", "10.67", "8", "0.33",
            "0.25", "202608" + std::to_string(10 + pick(0, 5)), pick(0, 1) ? "R. Chen" : "A. Ito"});
    for (int log = 1; log <= pick(2, 6); ++log) {
      const std::string n = std::to_string(log);
      const std::string p = std::to_string(pick(1, 2));
      const int hit = threeP ? pick(0, 1) : -1;
      const int ln = 8 + 2 * pick(0, 10);
      const int sd = pick(6, 20);
      const bool measured = hit != 0;
      Append(store, "Log",
             {sale, llr, n, "1", species[pick(0, 3)], p, measured ? std::to_string(ln) : "0",
              measured ? std::to_string(sd) : "0", measured ? std::to_string(sd + pick(0, 4)) : "0",
              std::to_string(threeP ? pick(0, 40) : 0), std::to_string(hit), "0", "0", "0", "0",
              pick(0, 9) == 0 ? "1" : "0", pick(0, 9) == 0 ? "1" : "0"});
      if (measured && pick(0, 2) == 0) {
        const std::string defect[] = {sale, llr, n, "1", std::to_string(pick(0, 1)), "2",
                                      std::to_string(pick(1, 3)), "0", "0", "0",
                                      std::to_string(pick(0, 4)), "0"};
        Append(store, board ? "DefB" : "DefC", {std::begin(defect), std::end(defect)});
      }
    }
  }
  ASSERT_EQ(store.Commit(), 0);
  ASSERT_EQ(store.Close(), 0);
}

// The figures of one load's TOTAL column as `totals` shows them.
SummaryFigures ShownTotals(const scaling::LoadTotals& t) {
  const int c = scaling::kTotal;
  SummaryFigures f;
  f.loads = 1;
  f.measured = t.measured[c];
  f.counted = t.counted[c];
  f.logs = t.total[c];
  f.grossTenths = std::llround(t.gross[c] * 10.0);
  f.netTenths = std::llround(t.net[c] * 10.0);
  f.defectTenths = std::llround(t.defect[c] * 10.0);
  f.board = t.board;
  f.boardGross = std::llround(t.boardGross[c]);
  f.boardNet = std::llround(t.boardNet[c]);
  f.boardDefect = std::llround(t.boardDefect[c]);
  return f;
}

void ExpectSameFigures(const SummaryFigures& a, const SummaryFigures& b) {
  EXPECT_EQ(a.loads, b.loads);
  EXPECT_EQ(a.measured, b.measured);
  EXPECT_EQ(a.counted, b.counted);
  EXPECT_EQ(a.logs, b.logs);
  EXPECT_EQ(a.grossTenths, b.grossTenths);
  EXPECT_EQ(a.netTenths, b.netTenths);
  EXPECT_EQ(a.defectTenths, b.defectTenths);
  EXPECT_EQ(a.board, b.board);
  EXPECT_EQ(a.boardGross, b.boardGross);
  EXPECT_EQ(a.boardNet, b.boardNet);
  EXPECT_EQ(a.boardDefect, b.boardDefect);
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

SummaryOptions Grouped(SummaryGrouping grouping) {
  SummaryOptions options;
  options.grouping = grouping;
  return options;
}

class SeasonSummaryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("season_summary_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path dir_;
  platform::PosixFileSystem files_;
};

// Two hundred generated files: the total line is the sum of every load's
// totals as RefreshLoadTotals gives them (cubic and board), the rows by sale
// add up to it, and the summary itself changes no file.
TEST_F(SeasonSummaryTest, EqualsTheSumOfTheLoadsTotals) {
  std::mt19937 random(33);
  std::vector<std::string> paths;
  for (int i = 0; i < 200; ++i) {
    paths.push_back((dir_ / ("f" + std::to_string(i) + ".scl")).string());
    WriteRandomFile(paths.back(), random, i);
  }
  paths.push_back((dir_ / "missing.scl").string());
  const std::string before = FileBytes(paths[0]);
  const SeasonSummary bySale = SummarizeScaleFiles(paths, Grouped(SummaryGrouping::kSale), files_);
  const SeasonSummary bySpecies =
      SummarizeScaleFiles(paths, Grouped(SummaryGrouping::kSpecies), files_);
  EXPECT_EQ(FileBytes(paths[0]), before);
  ASSERT_EQ(bySale.skipped.size(), 1u);
  EXPECT_EQ(bySale.skipped[0].reason, "no such file");

  SummaryFigures expected;
  bool sawBoard = false;
  for (size_t i = 0; i + 1 < paths.size(); ++i) {
    TableStore store;
    ASSERT_EQ(store.Open(paths[i], false), 0);
    for (const std::string& llr : {std::to_string(1000 + i * 2), std::to_string(1001 + i * 2)}) {
      const int slot = store.Select("Load", "", "LLR=" + llr, "", "DL", "");
      ASSERT_GE(slot, 0);
      std::string sale;
      const bool found = store.RowCount(slot) == 1;
      if (found) store.GetText(slot, 0, 0, sale);
      ASSERT_EQ(store.ReleaseView(slot), 0);
      if (!found) continue;
      scaling::LoadTotalsWindow window;
      ASSERT_EQ(scaling::RefreshLoadTotals(store, sale, llr, &window), 0);
      expected += ShownTotals(window.totals);
      sawBoard = sawBoard || window.totals.board;
    }
    ASSERT_EQ(store.Close(), 0);
  }
  ASSERT_TRUE(sawBoard);
  ExpectSameFigures(bySale.total, expected);
  SummaryFigures rows;
  for (const SummaryRow& row : bySale.rows) rows += row.figures;
  ExpectSameFigures(rows, expected);
  // By species every log is in one row, and the volumes add up to the total
  // but for rounding: each load's totals and each row are rounded by
  // themselves (half a tenth, or five board feet, each).
  ExpectSameFigures(bySpecies.total, expected);
  SummaryFigures species;
  for (const SummaryRow& row : bySpecies.rows) species += row.figures;
  EXPECT_EQ(species.logs, expected.logs);
  EXPECT_EQ(species.measured, expected.measured);
  const double roundings = expected.loads + static_cast<double>(bySpecies.rows.size());
  EXPECT_NEAR(species.grossTenths, expected.grossTenths, 0.5 * roundings);
  EXPECT_NEAR(species.boardGross, expected.boardGross, 5 * roundings);
}

TEST_F(SeasonSummaryTest, DateRangeAndDates) {
  EXPECT_EQ(ParseSummaryDate("2026-08-02"), "20260802");
  EXPECT_EQ(ParseSummaryDate("20240229"), "20240229");
  for (const char* bad : {"20230229", "2026-13-01", "2026082", "2026/08/02", "", "20260800"}) {
    EXPECT_FALSE(ParseSummaryDate(bad)) << bad;
  }
  std::mt19937 random(7);
  const std::string path = (dir_ / "one.scl").string();
  WriteRandomFile(path, random, 0);
  SummaryOptions options{SummaryGrouping::kDay, "20260810", "20260815"};
  EXPECT_FALSE(SummarizeScaleFiles({path}, options, files_).rows.empty());
  options.from = "20260901";
  const SeasonSummary none = SummarizeScaleFiles({path}, options, files_);
  EXPECT_TRUE(none.rows.empty());
  EXPECT_EQ(none.total.loads, 0);
}

TEST_F(SeasonSummaryTest, PrintedForm) {
  SeasonSummary summary;
  summary.options = {SummaryGrouping::kSale, "20260801", ""};
  SummaryFigures board{1, 14, 0, 14, 1234, 1000, 234, true, 1230, 1100, 130};
  SummaryFigures cubic{2, 30, 8, 38, 5001, 4000, 1001, false, 0, 0, 0};
  summary.rows = {{"Bear Creek", board}, {"Cedar Ridge", cubic}};
  summary.total = board;
  summary.total += cubic;
  const platform::FixedClock clock({2026, 8, 3, 9, 5, 0});
  const std::string text = SummaryReportText(summary, "2.0", clock);
  EXPECT_NE(text.find("By sale   from 20260801\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nBear Creek           1    14     0    14    123.4    100.0     23.4"
                      "    1230    1100     130 \n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\nCedar Ridge          2    30     8    38    500.1    400.0    100.1"
                      "                         \n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\nTOTAL                3    44     8    52    623.5    500.0    123.5"
                      "    1230    1100     130 \n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("Page: 1\n"), std::string::npos);
}

}  // namespace
}  // namespace reports
