#include "sampling/log_tables.h"

#include <gtest/gtest.h>

#include "platform/scripted_ui.h"
#include "sampling/store_test_util.h"

namespace sampling {
namespace {

using platform::Answer;
using testing::Append;
using testing::Dump;

const std::vector<std::string> kSegColumns = {"SALE", "LLR", "LOG", "S", "P",
                                              "Seg",  "LN",  "SD",  "LD"};

class LogTablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(store_.Open(testing::TempPath("load.scl"), false), 0);
    ASSERT_EQ(store_.DefineTable("Seg[SALE:S,LLR:S,LOG:I,S:S,P:I,Seg:I,LN:I,SD:I,LD:I]"), 0);
    ASSERT_EQ(
        store_.DefineTable("DefC[SALE:S,LLR:S,LOG:I,S:S,Seg:I,M:I,M1:I,M2:I,M3:I,M4:I,LN:I,PCT:I]"),
        0);
  }

  static TextRow LogRow(const std::string& ln, const std::string& sd, const std::string& ld) {
    return TextRow({{"SALE", "Bear"},
                    {"LLR", "1042"},
                    {"LOG", "7"},
                    {"S", "1"},
                    {"SP", "DF"},
                    {"P", "1"},
                    {"LN", ln},
                    {"SD", sd},
                    {"LD", ld},
                    {"HIT", "1"},
                    {"VOID", "0"},
                    {"REM", ""},
                    {"SkipSeg", "0"}});
  }

  std::vector<std::string> Segs() { return Dump(store_, "Seg", kSegColumns); }

  tablestore::TableStore store_;
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
};

TEST_F(LogTablesTest, KeyFromTheRow) {
  const scaling::LogKey key = LogKeyFromRow(LogRow("32", "10", "14"));
  EXPECT_EQ(key.sale, "Bear");
  EXPECT_EQ(key.llr, "1042");
  EXPECT_EQ(key.log, 7);
  EXPECT_EQ(key.split, "1");
}

TEST_F(LogTablesTest, SegmentRowsAreAddedWithTheLogKeyAndGivenDiameters) {
  StoreSegmentRows rows(store_, LogRow("32", "10", "14"));
  EXPECT_TRUE(rows.WriteSegments({{16, 13, 14}, {16, 10, 13}}));
  EXPECT_EQ(Segs(),
            (std::vector<std::string>{"Bear|1042|7|1|1|1|16|13|14", "Bear|1042|7|1|1|2|16|10|13"}));
}

TEST_F(LogTablesTest, SurplusRowsAreRemovedFromTheEndOtherLogsKept) {
  Append(store_, "Seg",
         {{"SALE", "Bear"}, {"LLR", "1042"}, {"LOG", "8"}, {"S", "1"}, {"Seg", "1"}});
  for (int i = 1; i <= 3; ++i) {
    Append(store_, "Seg",
           {{"SALE", "Bear"},
            {"LLR", "1042"},
            {"LOG", "7"},
            {"S", "1"},
            {"Seg", std::to_string(i)},
            {"LN", "9"}});
  }
  StoreSegmentRows rows(store_, LogRow("20", "10", "12"));
  EXPECT_TRUE(rows.WriteSegments({{20, 10, 12}}));
  EXPECT_EQ(Segs(),
            (std::vector<std::string>{"Bear|1042|8|1|0|1|0|0|0", "Bear|1042|7|1|0|1|20|10|12"}));
}

TEST_F(LogTablesTest, SegmentsOfAnotherCountAreRefused) {
  StoreSegmentRows rows(store_, LogRow("32", "10", "14"));
  EXPECT_FALSE(rows.WriteSegments({{32, 10, 14}}));
}

TEST_F(LogTablesTest, NoSegTableCannotBeWritten) {
  ASSERT_EQ(store_.DefineTable("Seg"), 0);
  StoreSegmentRows rows(store_, LogRow("32", "10", "14"));
  EXPECT_FALSE(rows.WriteSegments({{16, 12, 14}, {16, 10, 12}}));
}

TEST_F(LogTablesTest, HandEnteredDiametersAreKeptBySegmentSource) {
  Append(store_, "Seg",
         {{"SALE", "Bear"},
          {"LLR", "1042"},
          {"LOG", "7"},
          {"S", "1"},
          {"Seg", "1"},
          {"LN", "16"},
          {"SD", "11"},
          {"LD", "15"}});
  TextRow row = LogRow("32", "10", "14");
  row.Set("SkipSeg", "1");
  const std::vector<SegmentDefects> segments = LogSegmentSource(store_, row)();
  ASSERT_EQ(segments.size(), 2u);
  EXPECT_EQ(segments[0].sd, 11);
  EXPECT_EQ(segments[0].ld, 15);
  EXPECT_EQ(Segs(),
            (std::vector<std::string>{"Bear|1042|7|1|0|1|16|11|15", "Bear|1042|7|1|1|2|16|0|0"}));
}

TEST_F(LogTablesTest, ValidateLogBringsSegmentsUpToDateBeforeDefectChecks) {
  // LN 40, SD 10, LD 16: segments 20/20 with 13-16 and 10-13. A Diameter Cut
  // of 11 on segment 2 exceeds its SD of 10, which only the fresh segments show.
  Append(store_, "DefC",
         {{"SALE", "Bear"},
          {"LLR", "1042"},
          {"LOG", "7"},
          {"S", "1"},
          {"Seg", "2"},
          {"M", "2"},
          {"M1", "11"},
          {"LN", "4"}});
  Append(store_, "DefC",
         {{"SALE", "Bear"},
          {"LLR", "1042"},
          {"LOG", "7"},
          {"S", "1"},
          {"Seg", "1"},
          {"M", "2"},
          {"M1", "13"},
          {"LN", "4"}});
  const TextRow row = LogRow("40", "10", "16");
  LogCheckContext context;
  context.saleType = "100";
  context.scaleSystem = "Cubic";
  EXPECT_EQ(ValidateLog(context, row, LogSegmentSource(store_, row), ui_), 1);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "Seg 2, Def 1: M1 > segment's SD");
  EXPECT_EQ(Segs(),
            (std::vector<std::string>{"Bear|1042|7|1|1|1|20|13|16", "Bear|1042|7|1|1|2|20|10|13"}));
}

TEST_F(LogTablesTest, MidpointThroughTheStore) {
  TextRow row = LogRow("50", "10", "20");
  StoreSegmentRows rows(store_, row);
  ui_.QueueAnswer(Answer::kYes);
  ui_.QueuePrompt("16");
  EXPECT_EQ(AskButtMidpoint(row, rows, ui_), kMidpointApplied);
  EXPECT_EQ(Segs(),
            (std::vector<std::string>{"Bear|1042|7|1|1|1|18|16|20", "Bear|1042|7|1|1|2|16|13|16",
                                      "Bear|1042|7|1|1|3|16|10|13"}));
  EXPECT_EQ(row.Get("SkipSeg"), "16");
}

TEST_F(LogTablesTest, TaperTableMissingOrEmptyHasNoRows) {
  StoreTaperTable tapers(store_);
  EXPECT_FALSE(tapers.HasRows());
  ASSERT_EQ(store_.DefineTable("Tapers[SP:S,REGION:S,FOREST:S,DISTRICT:S,TAPER:F]"), 0);
  EXPECT_FALSE(tapers.HasRows());
  EXPECT_EQ(store_.FindView("Tapers"), -1);
}

TEST_F(LogTablesTest, TaperFromTheStoreWithDistrictAll) {
  ASSERT_EQ(store_.DefineTable("Tapers[SP:S,REGION:S,FOREST:S,DISTRICT:S,TAPER:F]"), 0);
  Append(store_, "Tapers",
         {{"SP", "WH"}, {"REGION", "6"}, {"FOREST", "12"}, {"DISTRICT", "3"}, {"TAPER", "0.2"}});
  Append(
      store_, "Tapers",
      {{"SP", "df"}, {"REGION", "6"}, {"FOREST", "12"}, {"DISTRICT", "All"}, {"TAPER", "0.125"}});
  StoreTaperTable tapers(store_);
  EXPECT_TRUE(tapers.HasRows());
  EXPECT_FALSE(tapers.FindTaper("SP=DF, REGION=6, FOREST=12, DISTRICT=3").has_value());
  TextRow row = LogRow("32", "12", "0");
  EXPECT_EQ(LdFromTaper(row, TaperPlace{"6", "12", "3"}, &tapers, ui_), kTaperDone);
  EXPECT_EQ(row.Get("LD"), "16");
  EXPECT_EQ(row.Get("B"), "");  // the row has no B column
  EXPECT_EQ(row.Get("REM"), " LD of 16 calculated using a taper of 0.125 in/ft.");
}

TEST_F(LogTablesTest, TaperPlaceFromTheLoadRow) {
  ASSERT_EQ(store_.DefineTable("Load[SALE:S,LLR:S,REGION:S,FOREST:S,DISTRICT:S]"), 0);
  Append(store_, "Load",
         {{"SALE", "Bear"}, {"LLR", "1042"}, {"REGION", "6"}, {"FOREST", "12"}, {"DISTRICT", "3"}});
  const TaperPlace place = ReadTaperPlace(store_, LoadKey{"Bear", "1042"});
  EXPECT_EQ(place.region, "6");
  EXPECT_EQ(place.forest, "12");
  EXPECT_EQ(place.district, "3");
  EXPECT_EQ(ReadTaperPlace(store_, LoadKey{"Other", "1"}).region, "");
}

}  // namespace
}  // namespace sampling
