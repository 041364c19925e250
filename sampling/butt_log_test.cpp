#include "sampling/butt_log.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/scripted_ui.h"

namespace scaling {

// Readable segments in failure messages.
void PrintTo(const SegmentShape& s, std::ostream* os) {
  *os << "{" << s.length << "," << s.smallEnd << "," << s.largeEnd << "}";
}

}  // namespace scaling

namespace sampling {

namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using scaling::SegmentShape;

class RecordingSegments : public SegmentRowsWriter {
 public:
  bool WriteSegments(const std::vector<SegmentShape>& segments) override {
    writes.push_back(segments);
    return works;
  }
  bool works = true;
  std::vector<std::vector<SegmentShape>> writes;
};

class FakeTapers : public TaperTable {
 public:
  bool HasRows() const override { return !rows.empty() || hasRowsAnyway; }
  std::optional<float> FindTaper(const std::string& criteria) const override {
    asked.push_back(criteria);
    const auto it = rows.find(criteria);
    if (it == rows.end()) return std::nullopt;
    return it->second;
  }
  std::map<std::string, float> rows;
  bool hasRowsAnyway = false;
  mutable std::vector<std::string> asked;
};

constexpr char kQuestion[] =
    "Butt logs with a recorded length of 50' or longer require an additional measured diameter "
    "at the top of the butt segment on three-segment logs, or at the midpoint (top of second "
    "segment) on four-segment logs.\n\nIs this a butt log?";

class ButtLogTest : public ::testing::Test {
 protected:
  static TextRow LogRow(const std::string& ln, const std::string& sd, const std::string& ld) {
    return TextRow({{"LOG", "12"},
                    {"S", "1"},
                    {"SP", "DF"},
                    {"LN", ln},
                    {"SD", sd},
                    {"LD", ld},
                    {"B", ""},
                    {"REM", ""},
                    {"SkipSeg", "0"}});
  }

  RecordingSegments segments_;
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
};

// ---- the midpoint question ----

TEST_F(ButtLogTest, Length49NeverAsks) {
  TextRow row = LogRow("49", "10", "20");
  EXPECT_EQ(AskButtMidpoint(row, segments_, ui_), kMidpointNotAsked);
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(ButtLogTest, MissingDiameterNeverAsks) {
  TextRow row = LogRow("60", "10", "0");
  EXPECT_EQ(AskButtMidpoint(row, segments_, ui_), kMidpointNotAsked);
  row = LogRow("60", "", "20");
  EXPECT_EQ(AskButtMidpoint(row, segments_, ui_), kMidpointNotAsked);
}

TEST_F(ButtLogTest, LogsOf81FeetOrMoreAreNotAsked) {
  TextRow row = LogRow("81", "10", "20");
  EXPECT_EQ(AskButtMidpoint(row, segments_, ui_), kMidpointNotAsked);
  row = LogRow("80", "10", "20");
  ui_.QueueAnswer(Answer::kNo);
  EXPECT_EQ(AskButtMidpoint(row, segments_, ui_), kMidpointNotButtLog);
}

TEST_F(ButtLogTest, AnsweringNoChangesNothing) {
  TextRow row = LogRow("50", "10", "20");
  ui_.QueueAnswer(Answer::kNo);
  EXPECT_EQ(AskButtMidpoint(row, segments_, ui_), kMidpointNotButtLog);
  ASSERT_EQ(ui_.messages().size(), 1u);
  const platform::Message& ask = ui_.messages()[0];
  EXPECT_EQ(ask.text, kQuestion);
  EXPECT_EQ(ask.caption, "Is this a butt log?");
  EXPECT_EQ(ask.icon, Icon::kInformation);
  EXPECT_EQ(ask.buttons, Buttons::kYesNo);
  EXPECT_TRUE(ui_.prompts().empty());
  EXPECT_TRUE(segments_.writes.empty());
  EXPECT_EQ(row.Get("REM"), "");
}

TEST_F(ButtLogTest, Length50AsksAtTheTopOfTheButtSegment) {
  TextRow row = LogRow("50", "10", "20");
  ui_.QueueAnswer(Answer::kYes);
  ui_.QueuePrompt("16");
  EXPECT_EQ(AskButtMidpoint(row, segments_, ui_), kMidpointApplied);
  ASSERT_EQ(ui_.prompts().size(), 1u);
  EXPECT_EQ(ui_.prompts()[0].caption, "Butt Log");
  EXPECT_EQ(ui_.prompts()[0].text,
            "Log: 12\tS: 1\tSP: DF\nSD: 10\t\tLD: 20\n\n"
            "Please enter the diameter at the top of the butt segment\n"
            "(18 feet from the butt end)");
  ASSERT_EQ(segments_.writes.size(), 1u);
  // Normal segmentation 18/16/16 with 17-20, 14-17, 10-14; the midpoint 16
  // moves the butt segment's top to 16 and splits the rest of the taper.
  const std::vector<SegmentShape> expected = {{18, 16, 20}, {16, 13, 16}, {16, 10, 13}};
  EXPECT_EQ(segments_.writes[0], expected);
  EXPECT_EQ(row.Get("SkipSeg"), "16");
  EXPECT_EQ(row.Get("REM"), "Midpoint diameter: 16");
}

TEST_F(ButtLogTest, Length70AsksAtTheMidpoint) {
  TextRow row = LogRow("70", "10", "22");
  row.Set("REM", "Forked");
  ui_.QueueAnswer(Answer::kYes);
  ui_.QueuePrompt("15");
  EXPECT_EQ(AskButtMidpoint(row, segments_, ui_), kMidpointApplied);
  ASSERT_EQ(ui_.prompts().size(), 1u);
  EXPECT_EQ(ui_.prompts()[0].text,
            "Log: 12\tS: 1\tSP: DF\nSD: 10\t\tLD: 22\n\n"
            "Please enter the diameter at the midpoint (top of second segment)\n"
            "(36 feet from the butt end)");
  const std::vector<SegmentShape> expected = {
      {18, 18, 22}, {18, 15, 18}, {18, 13, 15}, {16, 10, 13}};
  ASSERT_EQ(segments_.writes.size(), 1u);
  EXPECT_EQ(segments_.writes[0], expected);
  EXPECT_EQ(row.Get("REM"), "Forked, Midpoint diameter: 15");
}

TEST_F(ButtLogTest, InvalidDiameterShowsErrorAndAsksAgain) {
  TextRow row = LogRow("50", "10", "20");
  ui_.QueueAnswer(Answer::kYes);
  ui_.QueuePrompt("9");
  ui_.QueuePrompt("21");
  ui_.QueuePrompt("abc");
  ui_.QueuePrompt("20");
  EXPECT_EQ(AskButtMidpoint(row, segments_, ui_), kMidpointApplied);
  ASSERT_EQ(ui_.messages().size(), 4u);
  for (size_t i = 1; i < 4; ++i) {
    EXPECT_EQ(ui_.messages()[i].text, "Invalid midpoint diameter!");
    EXPECT_EQ(ui_.messages()[i].caption, "Error");
    EXPECT_EQ(ui_.messages()[i].icon, Icon::kStop);
  }
  ASSERT_EQ(ui_.prompts().size(), 4u);
  EXPECT_EQ(ui_.prompts()[1].initial, "9");  // the rejected text stays for correction
  EXPECT_EQ(segments_.writes.size(), 1u);
  EXPECT_EQ(row.Get("REM"), "Midpoint diameter: 20");
}

TEST_F(ButtLogTest, DiameterEqualToSdIsAccepted) {
  TextRow row = LogRow("60", "10", "20");
  ui_.QueueAnswer(Answer::kYes);
  ui_.QueuePrompt("10");
  EXPECT_EQ(AskButtMidpoint(row, segments_, ui_), kMidpointApplied);
  EXPECT_EQ(row.Get("SkipSeg"), "10");
}

TEST_F(ButtLogTest, CancelLeavesTheLogAlone) {
  TextRow row = LogRow("50", "10", "20");
  ui_.QueueAnswer(Answer::kYes);
  ui_.QueuePrompt(std::nullopt);
  EXPECT_EQ(AskButtMidpoint(row, segments_, ui_), kMidpointCancelled);
  EXPECT_TRUE(segments_.writes.empty());
  EXPECT_EQ(row.Get("SkipSeg"), "0");
  EXPECT_EQ(row.Get("REM"), "");
}

TEST_F(ButtLogTest, DialogPiecesForOtherSegmentCounts) {
  const MidpointDialog dialog(LogRow("100", "10", "20"));
  EXPECT_EQ(dialog.SegmentCount(), 5);
  EXPECT_EQ(dialog.Prompt(), "");
  const std::vector<SegmentShape> normal = MidpointSegments(40, 10, 16, 12);
  const std::vector<SegmentShape> expected = {{20, 13, 16}, {20, 10, 13}};
  EXPECT_EQ(normal, expected);  // two segments: no midpoint rule, normal segmentation
}

TEST_F(ButtLogTest, HugeDiametersDoNotOverflowTheMidpointRule) {
  // A damaged LD at the top of the int range: m + T/4 cannot be formed in an
  // int, so the rule's values stop at the largest int instead of wrapping.
  TextRow row = LogRow("70", "1", "2147483647");
  ui_.QueueAnswer(Answer::kYes);
  ui_.QueuePrompt("2147483647");
  EXPECT_EQ(AskButtMidpoint(row, segments_, ui_), kMidpointApplied);
  constexpr int kMax = 2147483647;
  // T = 2147483646, q1 = T / 4 = 536870911, q2 = (m - SD) / 2 = 1073741823.
  // Row 0's LD and row 3's SD keep the log's ends; every other diameter is
  // the rule's: m + q1 capped, m, and m - q2 = 1073741824.
  const std::vector<SegmentShape> expected = {
      {18, kMax, kMax}, {18, kMax, kMax}, {18, 1073741824, kMax}, {16, 1, 1073741824}};
  ASSERT_EQ(segments_.writes.size(), 1u);
  EXPECT_EQ(segments_.writes[0], expected);
}

TEST_F(ButtLogTest, ReversedDiametersAreTakenInOrder) {
  TextRow row = LogRow("50", "20", "10");
  RecordingSegments writer;
  const MidpointDialog dialog(row);
  EXPECT_TRUE(dialog.ApplyMidpoint(16, row, writer, ui_));
  const std::vector<SegmentShape> expected = {{18, 16, 20}, {16, 13, 16}, {16, 10, 13}};
  EXPECT_EQ(writer.writes.at(0), expected);
}

// ---- LD from taper ----

class TaperTest : public ButtLogTest {
 protected:
  TaperTest() {
    place_ = TaperPlace{"6", "12", "3"};
    tapers_.rows["SP=DF, REGION=6, FOREST=12, DISTRICT=3"] = 0.125f;
  }
  int Run(TextRow& row) { return LdFromTaper(row, place_, &tapers_, ui_); }
  void ExpectError(const std::string& text) {
    ASSERT_EQ(ui_.messages().size(), 1u);
    EXPECT_EQ(ui_.messages()[0].text, text);
    EXPECT_EQ(ui_.messages()[0].caption, "Error!");
    EXPECT_EQ(ui_.messages()[0].icon, Icon::kStop);
  }

  TaperPlace place_;
  FakeTapers tapers_;
};

TEST_F(TaperTest, Length32Sd12Taper0125GivesLd16) {
  TextRow row = LogRow("32", "12", "0");
  row.Set("B", "b");
  EXPECT_EQ(Run(row), kTaperDone);
  EXPECT_EQ(row.Get("LD"), "16");
  EXPECT_EQ(row.Get("B"), "b");  // the scaler's mark stays
  EXPECT_EQ(row.Get("REM"), " LD of 16 calculated using a taper of 0.125 in/ft.");
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(TaperTest, TaperCommandMarksAnEmptyButtCell) {
  TextRow row = LogRow("32", "12", "0");
  row.Set("REM", "Sweep");
  EXPECT_EQ(Run(row), kTaperDone);
  EXPECT_EQ(row.Get("B"), "B");
  EXPECT_EQ(row.Get("REM"), "Sweep LD of 16 calculated using a taper of 0.125 in/ft.");
}

TEST_F(TaperTest, LdIsRoundedHalfAwayFromZero) {
  tapers_.rows["SP=DF, REGION=6, FOREST=12, DISTRICT=3"] = 0.15f;
  TextRow row = LogRow("17", "10", "0");  // 10 + 2.55 = 12.55 -> 13
  EXPECT_EQ(Run(row), kTaperDone);
  EXPECT_EQ(row.Get("LD"), "13");
  EXPECT_EQ(row.Get("REM"), " LD of 13 calculated using a taper of 0.150 in/ft.");
}

TEST_F(TaperTest, DistrictAllServesADistrictWithoutItsOwnRow) {
  tapers_.rows.clear();
  tapers_.rows["SP=DF, REGION=6, FOREST=12, DISTRICT=All"] = 0.25f;
  TextRow row = LogRow("16", "10", "0");
  EXPECT_EQ(Run(row), kTaperDone);
  EXPECT_EQ(row.Get("LD"), "14");
  EXPECT_EQ(tapers_.asked, (std::vector<std::string>{"SP=DF, REGION=6, FOREST=12, DISTRICT=3",
                                                     "SP=DF, REGION=6, FOREST=12, DISTRICT=All"}));
}

TEST_F(TaperTest, MissingPlaceIsReportedInOrder) {
  const std::string tail =
      " number is missing from the 'Load Info' table.\nRegion, Forest and District numbers are "
      "required to look up tapers.";
  TextRow row = LogRow("32", "12", "0");
  place_ = TaperPlace{"", "", ""};
  EXPECT_EQ(Run(row), kTaperNoRegion);
  ExpectError("Region" + tail);
}

TEST_F(TaperTest, MissingForest) {
  TextRow row = LogRow("32", "12", "0");
  place_.forest = "";
  place_.district = "";
  EXPECT_EQ(Run(row), kTaperNoForest);
  ExpectError(
      "Forest number is missing from the 'Load Info' table.\nRegion, Forest and District "
      "numbers are required to look up tapers.");
}

TEST_F(TaperTest, MissingDistrict) {
  TextRow row = LogRow("32", "12", "0");
  place_.district = "";
  EXPECT_EQ(Run(row), kTaperNoDistrict);
  ExpectError(
      "District number is missing from the 'Load Info' table.\nRegion, Forest and District "
      "numbers are required to look up tapers.");
}

TEST_F(TaperTest, NoTaperData) {
  TextRow row = LogRow("32", "12", "0");
  const std::string text =
      "Taper data doesn't exist.\n Go into Setup & Options > Other Options > Tapers for Butt "
      "Logs and add your local taper data.";
  EXPECT_EQ(LdFromTaper(row, place_, nullptr, ui_), kTaperNoData);
  tapers_.rows.clear();
  EXPECT_EQ(Run(row), kTaperNoData);
  ASSERT_EQ(ui_.messages().size(), 2u);
  EXPECT_EQ(ui_.messages()[0].text, text);
  EXPECT_EQ(ui_.messages()[1].text, text);
  EXPECT_EQ(row.Get("LD"), "0");
}

TEST_F(TaperTest, ExistingLdKeptWhenTheScalerSaysNo) {
  TextRow row = LogRow("32", "12", "15");
  ui_.QueueAnswer(Answer::kNo);
  EXPECT_EQ(Run(row), kTaperKeptLd);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "This log already has an LD.\nOverride with a calculated LD?");
  EXPECT_EQ(ui_.messages()[0].caption, "Warning!");
  EXPECT_EQ(ui_.messages()[0].icon, Icon::kExclamation);
  EXPECT_EQ(ui_.messages()[0].buttons, Buttons::kYesNo);
  EXPECT_EQ(row.Get("LD"), "15");
  EXPECT_EQ(row.Get("REM"), "");
}

TEST_F(TaperTest, ExistingLdReplacedWhenTheScalerSaysYes) {
  TextRow row = LogRow("32", "12", "15");
  ui_.QueueAnswer(Answer::kYes);
  EXPECT_EQ(Run(row), kTaperDone);
  EXPECT_EQ(row.Get("LD"), "16");
}

TEST_F(TaperTest, MissingMeasurements) {
  for (const auto& [sp, ln, sd] : std::vector<std::tuple<std::string, std::string, std::string>>{
           {"", "32", "12"}, {"DF", "0", "12"}, {"DF", "32", ""}}) {
    platform::ScriptedUi ui([](const std::string& f) { ADD_FAILURE() << f; });
    TextRow row = LogRow(ln, sd, "0");
    row.Set("SP", sp);
    EXPECT_EQ(LdFromTaper(row, place_, &tapers_, ui), kTaperMissingMeasurements);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "SP, LEN and SD are needed to calculate LD using taper.");
    EXPECT_EQ(ui.messages()[0].caption, "Error!");
    EXPECT_EQ(row.Get("LD"), "0");
  }
}

TEST_F(TaperTest, NoMatchingRowNamesBothLookups) {
  TextRow row = LogRow("32", "12", "0");
  row.Set("SP", "WH");
  EXPECT_EQ(Run(row), kTaperNoMatch);
  ExpectError(
      "There are no records in the Taper table for\nSP=WH, REGION=6, FOREST=12, DISTRICT=3"
      "\n\t\tor\nSP=WH, REGION=6, FOREST=12, DISTRICT=All");
  EXPECT_EQ(row.Get("LD"), "0");
  EXPECT_EQ(row.Get("B"), "");
}

TEST_F(TaperTest, ValuesThatCannotBeWrittenAsCriteriaMatchNothing) {
  tapers_.rows["SP=D,F, REGION=6, FOREST=12, DISTRICT=3"] = 0.125f;
  TextRow row = LogRow("32", "12", "0");
  row.Set("SP", "D,F");
  EXPECT_EQ(Run(row), kTaperNoMatch);
  EXPECT_TRUE(tapers_.asked.empty());
}

}  // namespace
}  // namespace sampling
