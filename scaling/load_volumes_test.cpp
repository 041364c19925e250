#include "scaling/load_volumes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace scaling {
namespace {

using tablestore::TableStore;

constexpr char kLoadTable[] =
    "Load[SALE:S,LLR:S,ST:S,SCALESYS:S,CFSAWCU:F,CFNONSAWCU:F,CFSAWBD:F,CFNONSAWBD:F]";
constexpr char kLogTable[] =
    "Log[SALE:S,LLR:S,LOG:I,S:S,P:I,LN:I,SD:I,LD:I,KPI:I,HIT:I,GCV:F,NCV:F,GBV:F,NBV:F,VOID:I,"
    "OverrideVolume:I]";
constexpr char kSegTable[] = "Seg[SALE:S,LLR:S,LOG:I,S:S,P:I,Seg:I,LN:I,SD:I,LD:I]";
constexpr char kDefCTable[] =
    "DefC[SALE:S,LLR:S,LOG:I,S:S,Seg:I,M:I,M1:I,M2:I,M3:I,M4:I,LN:I,PCT:I]";
constexpr char kDefBTable[] =
    "DefB[SALE:S,LLR:S,LOG:I,S:S,Seg:I,M:I,M1:I,M2:I,M3:I,M4:I,LN:I,PCT:I,DV:F]";

using Row = std::vector<std::string>;

class LoadVolumesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("scaling_load_volumes_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "load.scl").string();
    ASSERT_EQ(store_.Open(path_, false), 0);
    for (const char* table : {kLoadTable, kLogTable, kSegTable, kDefCTable, kDefBTable}) {
      ASSERT_EQ(store_.DefineTable(table), 0) << table;
    }
  }
  void TearDown() override {
    store_.Close();
    std::filesystem::remove_all(dir_);
  }

  int TableSlot(const std::string& table) {
    const int slot = store_.FindView(table);
    return slot >= 0 ? slot : store_.OpenAView(table, false);
  }

  // Appends a row whose first columns get `values`.
  void Append(const std::string& table, const Row& values) {
    const int slot = TableSlot(table);
    ASSERT_GE(slot, 0) << table;
    const int row = store_.AddRow(slot, -1);
    ASSERT_GE(row, 0);
    for (size_t c = 0; c < values.size(); ++c) {
      ASSERT_EQ(store_.SetText(slot, row, static_cast<int>(c), values[c]), 0);
    }
  }

  // Rows of a table, values joined by "|".
  std::vector<std::string> Rows(const std::string& table) {
    const int slot = TableSlot(table);
    std::vector<std::string> rows;
    for (int r = 0; r < store_.RowCount(slot); ++r) {
      std::string line;
      for (int c = 0; c < store_.ColumnCount(slot); ++c) {
        std::string value;
        store_.GetText(slot, r, c, value);
        line += (c == 0 ? "" : "|") + value;
      }
      rows.push_back(line);
    }
    return rows;
  }

  // SALE|LLR|LOG|S|P|LN|SD|LD|KPI|HIT|GCV|NCV|GBV|NBV|VOID|OverrideVolume
  void AddLog(const Row& values) { Append("Log", values); }

  void AddCubicLoad(const std::string& design) {
    Append("Load", {"S1", "L1", design, "Cubic", "4", "6", "0.3", "0.5"});
  }

  std::filesystem::path dir_;
  std::string path_;
  TableStore store_;
};

TEST_F(LoadVolumesTest, ReadsLoadSettings) {
  Append("Load", {"S1", "L1", "3P", "Board", "4.5", "6", "0.3", "0.5"});
  LoadSettings load;
  ASSERT_EQ(ReadLoadSettings(store_, "S1", "L1", &load), 0);
  EXPECT_EQ(load.design, "3P");
  EXPECT_EQ(load.scaleSystem, "Board");
  EXPECT_FLOAT_EQ(load.cull.sawCubic, 4.5f);
  EXPECT_FLOAT_EQ(load.cull.nonSawCubic, 6.0f);
  EXPECT_FLOAT_EQ(load.cull.sawBoard, 0.3f);
  EXPECT_FLOAT_EQ(load.cull.nonSawBoard, 0.5f);
  EXPECT_EQ(ReadLoadSettings(store_, "S1", "L2", &load), tablestore::kNotOneRow);
  EXPECT_EQ(load.design, "3P");
}

TEST_F(LoadVolumesTest, WritesSegmentRowsOfALog) {
  Append("Seg", {"S1", "L1", "8", "1", "1", "1", "16", "9", "9"});  // another log
  const LogKey key{"S1", "L1", 5, "1"};
  EXPECT_EQ(WriteSegmentRows(store_, key, 2, 40, 10, 16, false), 2);
  EXPECT_EQ(Rows("Seg"), (std::vector<std::string>{"S1|L1|8|1|1|1|16|9|9", "S1|L1|5|1|2|1|20|13|16",
                                                   "S1|L1|5|1|2|2|20|10|13"}));
}

TEST_F(LoadVolumesTest, SurplusSegmentRowsAreRemovedFromTheEnd) {
  const LogKey key{"S1", "L1", 5, "1"};
  ASSERT_EQ(WriteSegmentRows(store_, key, 1, 45, 10, 16, false), 3);
  EXPECT_EQ(WriteSegmentRows(store_, key, 1, 16, 10, 12, false), 1);
  EXPECT_EQ(Rows("Seg"), (std::vector<std::string>{"S1|L1|5|1|1|1|16|10|12"}));
}

TEST_F(LoadVolumesTest, SkipSegKeepsHandEnteredDiameters) {
  const LogKey key{"S1", "L1", 5, "1"};
  Append("Seg", {"S1", "L1", "5", "1", "1", "1", "20", "14", "17"});
  EXPECT_EQ(WriteSegmentRows(store_, key, 1, 40, 10, 16, true), 2);
  EXPECT_EQ(Rows("Seg"),
            (std::vector<std::string>{"S1|L1|5|1|1|1|20|14|17", "S1|L1|5|1|1|2|20|0|0"}));
}

TEST_F(LoadVolumesTest, SplitsKeepTheirOwnSegments) {
  Append("Seg", {"S1", "L1", "5", "2", "1", "1", "12", "8", "9"});
  EXPECT_EQ(WriteSegmentRows(store_, LogKey{"S1", "L1", 5, "1"}, 1, 16, 10, 12, false), 1);
  EXPECT_EQ(Rows("Seg"),
            (std::vector<std::string>{"S1|L1|5|2|1|1|12|8|9", "S1|L1|5|1|1|1|16|10|12"}));
}

TEST_F(LoadVolumesTest, SegmentTableWithoutSplitColumn) {
  ASSERT_EQ(store_.DefineTable("Seg[SALE:S,LLR:S,LOG:I,Seg:I,LN:I,SD:I,LD:I]"), 0);
  EXPECT_EQ(WriteSegmentRows(store_, LogKey{"S1", "L1", 5, "1"}, 1, 21, 10, 12, false), 2);
  EXPECT_EQ(Rows("Seg"), (std::vector<std::string>{"S1|L1|5|1|11|11|12", "S1|L1|5|2|10|10|11"}));
}

TEST_F(LoadVolumesTest, LoadsLogWithSegmentsAndCubicDefects) {
  AddCubicLoad("100");
  AddLog({"S1", "L1", "5", "1", "1", "16", "10", "12"});
  Append("Seg", {"S1", "L1", "5", "1", "1", "1", "16", "10", "12"});
  Append("DefC", {"S1", "L1", "5", "1", "1", "1", "0", "0", "0", "0", "4", "0"});
  Append("DefC", {"S1", "L1", "5", "2", "1", "1", "0", "0", "0", "0", "8", "0"});  // split 2
  LoadSettings load;
  ASSERT_EQ(ReadLoadSettings(store_, "S1", "L1", &load), 0);
  LogVolume volume;
  ASSERT_EQ(LoadLogVolume(store_, load, LogKey{"S1", "L1", 5, "1"}, &volume), 0);
  EXPECT_FLOAT_EQ(volume.GetLog().grossCubic, 10.6f);
  EXPECT_FLOAT_EQ(volume.GetLog().netCubic, 7.9f);
  EXPECT_EQ(volume.Warnings(), "");
  EXPECT_EQ(volume.Defects().size(), 1u);
}

TEST_F(LoadVolumesTest, LoadsBoardDefectsWithEnteredVolume) {
  Append("Load", {"S1", "L1", "100", "Board", "4", "6", "0.3", "0.5"});
  AddLog({"S1", "L1", "5", "1", "1", "16", "16", "18"});
  Append("DefB", {"S1", "L1", "5", "1", "1", "4", "0", "0", "0", "0", "0", "0", "16.5"});
  LoadSettings load;
  ASSERT_EQ(ReadLoadSettings(store_, "S1", "L1", &load), 0);
  LogVolume volume;
  ASSERT_EQ(LoadLogVolume(store_, load, LogKey{"S1", "L1", 5, "1"}, &volume), 0);
  EXPECT_FLOAT_EQ(volume.GetLog().grossBoard, 160.0f);
  EXPECT_FLOAT_EQ(volume.GetLog().netBoard, 144.0f);
  EXPECT_EQ(volume.Warnings(), "WARN - Generated Segments\n");
}

TEST_F(LoadVolumesTest, MissingLogRowGivesEmptyLog) {
  LoadSettings load;
  load.scaleSystem = "Cubic";
  LogVolume volume;
  EXPECT_EQ(LoadLogVolume(store_, load, LogKey{"S1", "L1", 9, "1"}, &volume),
            tablestore::kNotOneRow);
  EXPECT_EQ(volume.GetLog().log, 9);
  EXPECT_EQ(volume.GetLog().grossCubic, 0.0f);
  EXPECT_TRUE(volume.Segments().empty());
}

TEST_F(LoadVolumesTest, MissingSegmentAndDefectTablesGenerateSegments) {
  ASSERT_EQ(store_.DefineTable("Seg"), 0);
  ASSERT_EQ(store_.DefineTable("DefC"), 0);
  LoadSettings load;
  load.scaleSystem = "Cubic";
  LogVolume volume;
  volume.SetLog(16, 10, 12, 5, 1, "Cubic", {4.0f, 6.0f, 0.3f, 0.5f});
  EXPECT_EQ(AddStoredSegmentsAndDefects(store_, "Cubic", LogKey{"S1", "L1", 5, "1"}, &volume), 0);
  EXPECT_FLOAT_EQ(volume.GetLog().grossCubic, 10.6f);
}

TEST_F(LoadVolumesTest, DefectTableWithoutKeyColumnsAddsNothing) {
  ASSERT_EQ(store_.DefineTable("DefC[M:I,M1:I]"), 0);
  Append("DefC", {"1", "4"});
  LogVolume volume;
  volume.SetLog(16, 10, 12, 5, 1, "Cubic", {4.0f, 6.0f, 0.3f, 0.5f});
  EXPECT_EQ(AddStoredSegmentsAndDefects(store_, "Cubic", LogKey{"S1", "L1", 5, "1"}, &volume), 0);
  EXPECT_TRUE(volume.Defects().empty());
}

TEST_F(LoadVolumesTest, ClosedStoreIsReported) {
  store_.Close();
  LogVolume volume;
  EXPECT_EQ(AddStoredSegmentsAndDefects(store_, "Cubic", LogKey{}, &volume), tablestore::kNoFile);
  EXPECT_EQ(WriteSegmentRows(store_, LogKey{}, 1, 16, 10, 12, false), tablestore::kNoFile);
  LoadTotalsWindow window;
  EXPECT_EQ(RefreshLoadTotals(store_, "S1", "L1", &window), tablestore::kNoFile);
}

TEST_F(LoadVolumesTest, CheckLogVolumeOrder) {
  LoadSettings load;
  load.scaleSystem = "Cubic";
  CurrentLog log{LogKey{"S1", "L1", 5, "1"}, 16, 10, 12, 1, true, true};
  EXPECT_EQ(CheckLogVolume(log, load), LogVolumeCheck::kDeleted);
  log.isVoid = false;
  EXPECT_EQ(CheckLogVolume(log, load), LogVolumeCheck::kOverridden);
  log.overridden = false;
  EXPECT_EQ(CheckLogVolume(log, load), LogVolumeCheck::kOk);
  log.ld = 0;
  EXPECT_EQ(CheckLogVolume(log, load), LogVolumeCheck::kNotEnoughMeasurements);
  load.scaleSystem = "Board";
  EXPECT_EQ(CheckLogVolume(log, load), LogVolumeCheck::kOk);
}

TEST_F(LoadVolumesTest, LogVolumeTextOfCurrentLog) {
  AddCubicLoad("100");
  Append("Seg", {"S1", "L1", "5", "2", "1", "1", "16", "10", "12"});
  Append("DefC", {"S1", "L1", "5", "2", "1", "1", "0", "0", "0", "0", "4", "0"});
  LoadSettings load;
  ASSERT_EQ(ReadLoadSettings(store_, "S1", "L1", &load), 0);
  // The grid's values count, not the stored row (there is none yet).
  const CurrentLog log{LogKey{"S1", "L1", 5, "2"}, 16, 10, 12, 1, false, false};
  std::string text;
  bool culled = true;
  ASSERT_EQ(BuildLogVolumeText(store_, load, log, &text, &culled), 0);
  EXPECT_EQ(text,
            "SALE: S1  LLR: L1\r\n\r\n"
            "Log 5, Split 2\r\n\r\n"
            "Seg  Gross    Net    Def    DFact\r\n"
            "------------------------------------\r\n"
            " 1    10.6     7.9    2.7   4.00\r\n"
            "------------------------------------\r\n"
            "      10.6     7.9    2.7\r\n");
  EXPECT_FALSE(culled);
}

TEST_F(LoadVolumesTest, HundredPercentTotalsRecomputeAndStoreVolumes) {
  AddCubicLoad("100");
  AddLog({"S1", "L1", "1", "1", "1", "16", "10", "12", "0", "-1", "1", "1"});
  Append("DefC", {"S1", "L1", "1", "1", "1", "1", "0", "0", "0", "0", "4", "0"});
  AddLog(
      {"S1", "L1", "2", "1", "1", "16", "10", "12", "0", "-1", "99", "98", "97", "96", "0", "1"});
  AddLog({"S1", "L1", "3", "1", "1", "16", "10", "12", "0", "-1", "50", "50", "0", "0", "1", "0"});
  AddLog({"S1", "L1", "4", "1", "2", "16", "10", "12", "0", "-1", "0", "0"});
  AddLog({"S1", "L2", "1", "1", "1", "16", "10", "12", "0", "-1", "7", "7"});  // another load
  LoadTotalsWindow window;
  ASSERT_EQ(RefreshLoadTotals(store_, "S1", "L1", &window), 0);
  EXPECT_EQ(window.caption, "100% Load Information");
  EXPECT_EQ(window.text,
            "SALE: S1  LLR: L1\r\n\r\n"
            "           SAW    NONSAW   TOTAL\r\n"
            "---------------------------------\r\n"
            "   Gross:  10.6    10.6     21.2\r\n"
            "     Net:   7.9    10.6     18.5\r\n"
            "  Defect:   2.7     0.0      2.7\r\n"
            "Measured:   2       1        3\r\n");
  // Stored and committed: reopen the file.
  store_.Close();
  ASSERT_EQ(store_.Open(path_, false), 0);
  EXPECT_EQ(Rows("Log"), (std::vector<std::string>{
                             "S1|L1|1|1|1|16|10|12|0|-1|10.6|7.9|0|0|0|0",
                             "S1|L1|2|1|1|16|10|12|0|-1|0|0|0|0|0|1",
                             "S1|L1|3|1|1|16|10|12|0|-1|50|50|0|0|1|0",
                             "S1|L1|4|1|2|16|10|12|0|-1|10.6|10.6|0|0|0|0",
                             "S1|L2|1|1|1|16|10|12|0|-1|7|7|0|0|0|0",
                         }));
}

TEST_F(LoadVolumesTest, ThreePTotals) {
  AddCubicLoad("3P");
  AddLog({"S1", "L1", "1", "1", "1", "16", "10", "12", "10", "1"});
  for (const char* kpi : {"5", "5", "10", "10"}) {
    AddLog({"S1", "L1", "2", "1", "1", "0", "0", "0", kpi, "0"});
  }
  AddLog({"S1", "L1", "3", "1", "2", "0", "0", "0", "0", "0"});  // non-chargeable
  LoadTotalsWindow window;
  ASSERT_EQ(RefreshLoadTotals(store_, "S1", "L1", &window), 0);
  EXPECT_EQ(window.caption, "3P Load Information");
  // Saw: (10.6 / 10 / 1) * 40 = 42.4.
  EXPECT_EQ(window.text,
            "SALE: S1  LLR: L1\r\n\r\n"
            "           SAW    NONSAW   TOTAL\r\n"
            "---------------------------------\r\n"
            "   Gross:  42.4     0.0     42.4\r\n"
            "     Net:  42.4     0.0     42.4\r\n"
            "  Defect:   0.0     0.0      0.0\r\n"
            "Measured:   1       0        1\r\n"
            " Counted:   4       1        5\r\n"
            "   Total:   5       1        6\r\n"
            "Non-chargeable logs:1\r\n");
}

// A 3P board load computed by hand. Saw log 1 (KPI 30, measured): segment 1
// 16 ft, SD 12: Scribner 4.9 * 16 = 78.4 -> 80; segment 2 16 ft, SD 10: the
// long-log factor 3.542 * 16 = 56.7 -> 60; its DefB length cut of 2 ft takes
// 60 - Scribner(10, 14) = 60 - 40 (3.126 * 14 = 43.8) = 20: gross 140, net
// 120. Non-saw log 3 (KPI 10, measured): one 16 ft segment, SD 8: 1.854 * 16
// = 29.7 -> 30; a whole-log DefB of M1 2 takes 30 - Scribner(6, 16) = 30 - 20
// (1.249 * 16 = 20.0): net 20. Expanded: saw K = 30 + 20 + 20, gross 140 / 30
// * 70 = 326.7 -> 330, net 120 / 30 * 70 = 280; non-saw K = 20: 60 and 40.
TEST_F(LoadVolumesTest, BoardFeetOfA3PBoardLoad) {
  Append("Load", {"S1", "L1", "3P", "Board", "4", "6", "0.3", "0.5"});
  AddLog({"S1", "L1", "1", "1", "1", "32", "10", "14", "30", "1"});
  Append("Seg", {"S1", "L1", "1", "1", "1", "1", "16", "12", "14"});
  Append("Seg", {"S1", "L1", "1", "1", "1", "2", "16", "10", "12"});
  Append("DefB", {"S1", "L1", "1", "1", "2", "1", "0", "0", "0", "0", "2", "0"});
  AddLog({"S1", "L1", "2", "1", "1", "0", "0", "0", "20", "0"});
  AddLog({"S1", "L1", "4", "1", "1", "0", "0", "0", "20", "0"});
  AddLog({"S1", "L1", "3", "1", "2", "16", "8", "10", "10", "1"});
  Append("Seg", {"S1", "L1", "3", "1", "2", "1", "16", "8", "10"});
  Append("DefB", {"S1", "L1", "3", "1", "0", "2", "2", "0", "0", "0", "0", "0"});
  AddLog({"S1", "L1", "5", "1", "2", "0", "0", "0", "10", "0"});
  const std::string expected =
      "SALE: S1  LLR: L1\r\n\r\n"
      "           SAW    NONSAW   TOTAL\r\n"
      "---------------------------------\r\n"
      "   Gross:  59.3    14.4     73.7\r\n"
      "     Net:  59.3    14.4     73.7\r\n"
      "  Defect:   0.0     0.0      0.0\r\n"
      "Gross BF:   330      60      390\r\n"
      "  Net BF:   280      40      320\r\n"
      "  Def BF:    50      20       70\r\n"
      "Measured:   1       1        2\r\n"
      " Counted:   2       1        3\r\n"
      "   Total:   3       2        5\r\n"
      "Non-chargeable logs:0\r\n";
  // Reading tools see the same figures without anything being stored.
  LoadTotalsWindow peeked;
  ASSERT_EQ(PeekLoadTotals(store_, "S1", "L1", &peeked), 0);
  EXPECT_EQ(peeked.text, expected);
  EXPECT_EQ(Rows("Log")[0], "S1|L1|1|1|1|32|10|14|30|1|0|0|0|0|0|0");
  LoadTotalsWindow window;
  ASSERT_EQ(RefreshLoadTotals(store_, "S1", "L1", &window), 0);
  EXPECT_EQ(window.text, expected);
  EXPECT_EQ(Rows("Log")[0], "S1|L1|1|1|1|32|10|14|30|1|25.4|25.4|140|120|0|0");
  EXPECT_EQ(Rows("Log")[3], "S1|L1|3|1|2|16|8|10|10|1|7.2|7.2|30|20|0|0");
}

TEST_F(LoadVolumesTest, CubicLoadLeavesBoardVolumesAlone) {
  AddCubicLoad("100");
  AddLog({"S1", "L1", "1", "1", "1", "16", "10", "12", "0", "-1", "0", "0", "5", "5"});
  LoadTotalsWindow window;
  ASSERT_EQ(RefreshLoadTotals(store_, "S1", "L1", &window), 0);
  EXPECT_FALSE(window.totals.board);
  EXPECT_EQ(window.totals.total[kTotal], 1);  // a 100 % load: every log is measured
  EXPECT_EQ(Rows("Log")[0], "S1|L1|1|1|1|16|10|12|0|-1|10.6|10.6|5|5|0|0");
}

TEST_F(LoadVolumesTest, TotalsOfMissingLoad) {
  LoadTotalsWindow window;
  EXPECT_EQ(RefreshLoadTotals(store_, "S9", "L9", &window), tablestore::kNotOneRow);
  EXPECT_EQ(PeekLoadTotals(store_, "S9", "L9", &window), tablestore::kNotOneRow);
}

}  // namespace
}  // namespace scaling
