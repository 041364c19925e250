#include "sampling/sample_selector.h"

#include <gtest/gtest.h>

#include "platform/scripted_ui.h"

namespace sampling {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

class SampleSelectorTest : public ::testing::Test {
 protected:
  // A 3P log row with every column the selection uses.
  static TextRow LogRow(const std::string& sp, const std::string& p, const std::string& kpi) {
    return TextRow({{"LOG", "1"},
                    {"SP", sp},
                    {"P", p},
                    {"KPI", kpi},
                    {"RND", ""},
                    {"HIT", "-1"},
                    {"LN", ""},
                    {"SD", ""},
                    {"LD", ""}});
  }

  // The first NextInRange(0, kz) of a generator seeded with `seed`.
  static int FirstDraw(uint32_t seed, int kz) { return Mt11213Generator(seed).NextInRange(0, kz); }

  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
};

TEST_F(SampleSelectorTest, ThresholdEqualsKzUpToAboutThreeHundred) {
  SampleSelector selector({{1, "DF", 50}, {1, "WH", 300}, {1, "RC", 1}}, 1);
  EXPECT_EQ(selector.Threshold(0), 50);
  EXPECT_EQ(selector.Threshold(1), 300);
  EXPECT_EQ(selector.Threshold(2), 1);
  EXPECT_EQ(selector.Kz(0), 50);
  EXPECT_EQ(selector.Kz(2), 1);
}

TEST_F(SampleSelectorTest, Kz400HasThreshold401SoEstimate401PassesWithoutAsking) {
  SampleSelector selector({{1, "DF", 400}}, 123456);
  EXPECT_EQ(selector.Threshold(0), 401);
  TextRow row = LogRow("DF", "1", "401");
  const SampleResult result = selector.SelectSample(row, "KPI", 0, ui_);
  EXPECT_EQ(result.code, kSampleDone);
  EXPECT_TRUE(result.drawn);
  EXPECT_EQ(result.rnd, FirstDraw(123456, 400));
  EXPECT_EQ(row.Get("RND"), std::to_string(result.rnd));
  EXPECT_EQ(row.Get("HIT"), "1");
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "SAMPLE LOG!");
}

TEST_F(SampleSelectorTest, Estimate402OverKz400AsksAndCancelEmptiesKpi) {
  SampleSelector selector({{1, "DF", 400}}, 5);
  TextRow row = LogRow("DF", "1", "402");
  ui_.QueueAnswer(Answer::kCancel);
  const SampleResult result = selector.SelectSample(row, "KPI", 0, ui_);
  EXPECT_EQ(result.code, kSampleCancelled);
  EXPECT_FALSE(result.drawn);
  EXPECT_EQ(row.Get("KPI"), "");
  EXPECT_EQ(row.Get("RND"), "");
  EXPECT_EQ(row.Get("HIT"), "-1");
  ASSERT_EQ(ui_.messages().size(), 1u);
  const platform::Message& ask = ui_.messages()[0];
  EXPECT_EQ(ask.text, "Your estimate of 402 is over the KZ value of 401.\nSubmit this estimate?");
  EXPECT_EQ(ask.caption, "Continue?");
  EXPECT_EQ(ask.icon, Icon::kQuestion);
  EXPECT_EQ(ask.buttons, Buttons::kOkCancel);
  // Nothing was drawn on cancel: the next selection gets the seed's first value.
  TextRow next = LogRow("DF", "1", "1");
  EXPECT_EQ(selector.SelectSample(next, "KPI", 0, ui_).rnd, FirstDraw(5, 400));
}

TEST_F(SampleSelectorTest, ConfirmedEstimateOverThresholdIsDrawn) {
  SampleSelector selector({{1, "DF", 50}}, 123456);
  TextRow row = LogRow("DF", "1", "60");
  ui_.QueueAnswer(Answer::kOk);
  const SampleResult result = selector.SelectSample(row, "KPI", 0, ui_);
  EXPECT_EQ(result.code, kSampleDone);
  EXPECT_EQ(result.rnd, 31);  // the first draw of seed 123456 from 0..50
  EXPECT_TRUE(result.sample);
  EXPECT_EQ(row.Get("HIT"), "1");
}

TEST_F(SampleSelectorTest, EstimateEqualToRndIsASample) {
  SampleSelector selector({{1, "DF", 50}}, 123456);
  TextRow row = LogRow("DF", "1", "31");
  const SampleResult result = selector.SelectSample(row, "KPI", platform::Message::kNever, ui_);
  EXPECT_TRUE(result.sample);
  EXPECT_FALSE(result.lockMeasurements);
  EXPECT_EQ(row.Get("RND"), "31");
  EXPECT_EQ(row.Get("HIT"), "1");
  ASSERT_EQ(ui_.messages().size(), 1u);
  const platform::Message& box = ui_.messages()[0];
  EXPECT_EQ(box.caption, "");
  EXPECT_EQ(box.icon, Icon::kExclamation);
  EXPECT_EQ(box.buttons, Buttons::kOk);
  EXPECT_EQ(box.close_after_ms, platform::Message::kNever);
}

TEST_F(SampleSelectorTest, EstimateBelowRndIsNotASampleAndLocksMeasurements) {
  SampleSelector selector({{1, "DF", 50}}, 123456);
  TextRow row = LogRow("DF", "1", "30");
  const SampleResult result = selector.SelectSample(row, "KPI", 0, ui_);
  EXPECT_EQ(result.code, kSampleDone);
  EXPECT_FALSE(result.sample);
  EXPECT_TRUE(result.lockMeasurements);
  EXPECT_EQ(row.Get("RND"), "31");
  EXPECT_EQ(row.Get("HIT"), "0");
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(SampleSelectorTest, KpiZeroIsNeverASampleEvenWhenRndIsZero) {
  uint32_t seed = 1;
  while (FirstDraw(seed, 1) != 0) ++seed;
  SampleSelector selector({{1, "DF", 1}}, seed);
  TextRow row = LogRow("DF", "1", "0");
  const SampleResult result = selector.SelectSample(row, "KPI", 0, ui_);
  EXPECT_EQ(result.rnd, 0);
  EXPECT_FALSE(result.sample);
  EXPECT_EQ(row.Get("HIT"), "0");
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(SampleSelectorTest, Kz1AsksForEveryEstimateAboveOneAndDrawsZeroOrOne) {
  SampleSelector selector({{1, "DF", 1}}, 77);
  for (int i = 0; i < 20; ++i) {
    TextRow row = LogRow("DF", "1", "2");
    ui_.QueueAnswer(Answer::kOk);
    const SampleResult result = selector.SelectSample(row, "KPI", 0, ui_);
    ASSERT_TRUE(result.rnd == 0 || result.rnd == 1);
  }
  TextRow row = LogRow("DF", "1", "1");
  const size_t shown = ui_.messages().size();
  selector.SelectSample(row, "KPI", 0, ui_);
  EXPECT_EQ(ui_.messages().size(), shown + 1);  // only "SAMPLE LOG!", no question
  EXPECT_EQ(ui_.messages().back().text, "SAMPLE LOG!");
}

TEST_F(SampleSelectorTest, OtherEditedColumnDoesNothing) {
  SampleSelector selector({{1, "DF", 50}}, 1);
  TextRow row = LogRow("DF", "1", "10");
  const SampleResult result = selector.SelectSample(row, "SD", 0, ui_);
  EXPECT_EQ(result.code, kSampleDone);
  EXPECT_FALSE(result.drawn);
  EXPECT_EQ(row.Get("HIT"), "-1");
  // The edited column is matched without letter case.
  EXPECT_TRUE(selector.SelectSample(row, "kpi", 0, ui_).drawn);
}

TEST_F(SampleSelectorTest, MissingColumnsGiveMinusThreeWithoutDrawing) {
  SampleSelector selector({{1, "DF", 50}}, 123456);
  TextRow noHit({{"SP", "DF"}, {"P", "1"}, {"KPI", "40"}});
  EXPECT_EQ(selector.SelectSample(noHit, "KPI", 0, ui_).code, kSampleColumnsMissing);
  TextRow noP({{"SP", "DF"}, {"KPI", "40"}, {"HIT", ""}});
  EXPECT_EQ(selector.SelectSample(noP, "KPI", 0, ui_).code, kSampleColumnsMissing);
  TextRow row = LogRow("DF", "1", "40");
  EXPECT_EQ(selector.SelectSample(row, "KPI", 0, ui_).rnd, 31);  // still the first draw
}

TEST_F(SampleSelectorTest, EmptyKzTableGivesMinusThree) {
  SampleSelector selector({}, 1);
  TextRow row = LogRow("DF", "1", "40");
  EXPECT_EQ(selector.SelectSample(row, "KPI", 0, ui_).code, kSampleColumnsMissing);
}

TEST_F(SampleSelectorTest, KzOfZeroOrLessIsRejectedWhenLoading) {
  SampleSelector selector({{1, "DF", 0}, {1, "WH", -5}, {2, "", 20}}, 1);
  EXPECT_EQ(selector.size(), 1u);
  TextRow row = LogRow("DF", "1", "40");
  EXPECT_EQ(selector.SelectSample(row, "KPI", 0, ui_).code, kSampleNoKzRow);
  SampleSelector none({{1, "DF", 0}}, 1);
  EXPECT_EQ(none.SelectSample(row, "KPI", 0, ui_).code, kSampleColumnsMissing);
}

TEST_F(SampleSelectorTest, FractionalKzIsTheProbabilityItself) {
  SampleSelector selector({{1, "DF", 0.5}}, 1);
  EXPECT_EQ(selector.Kz(0), 2);
}

TEST_F(SampleSelectorTest, NoMatchingRowAndNoFallbackGivesMinusTwo) {
  SampleSelector selector({{1, "DF", 50}, {2, "DF", 20}}, 1);
  TextRow row = LogRow("WH", "1", "10");
  const SampleResult result = selector.SelectSample(row, "KPI", 0, ui_);
  EXPECT_EQ(result.code, kSampleNoKzRow);
  EXPECT_FALSE(result.drawn);
}

TEST_F(SampleSelectorTest, FindsFirstMatchingRowIgnoringSpeciesCase) {
  SampleSelector selector({{2, "DF", 20}, {1, "df", 50}, {1, "DF", 70}}, 1);
  EXPECT_EQ(selector.FindEntry(1, "DF", true), 1);
  EXPECT_EQ(selector.FindEntry(2, "Df", true), 0);
}

TEST_F(SampleSelectorTest, EmptySpeciesRowServesSpeciesWithoutTheirOwnRowBeforeIt) {
  SampleSelector selector({{1, "DF", 50}, {1, "", 80}, {1, "WH", 60}}, 1);
  EXPECT_EQ(selector.FindEntry(1, "DF", true), 0);
  EXPECT_EQ(selector.FindEntry(1, "RC", true), 1);
  EXPECT_EQ(selector.FindEntry(1, "WH", true), 1);  // the empty row comes first
}

TEST_F(SampleSelectorTest, FallbackIsTheLastRowWithProductZero) {
  SampleSelector selector({{0, "", 10}, {1, "DF", 50}, {0, "", 30}}, 1);
  EXPECT_EQ(selector.FindEntry(2, "DF", true), 2);
  EXPECT_EQ(selector.FindEntry(1, "WH", true), 2);
}

TEST_F(SampleSelectorTest, WithoutSpColumnOnlyTheFallbackServes) {
  SampleSelector selector({{1, "", 50}, {0, "", 30}}, 1);
  EXPECT_EQ(selector.FindEntry(1, "", false), 1);
  SampleSelector noFallback({{1, "", 50}}, 1);
  EXPECT_EQ(noFallback.FindEntry(1, "", false), -1);
}

TEST_F(SampleSelectorTest, MissingRndColumnStillDecides) {
  SampleSelector selector({{1, "DF", 50}}, 123456);
  TextRow row({{"SP", "DF"}, {"P", "1"}, {"KPI", "45"}, {"HIT", ""}});
  const SampleResult result = selector.SelectSample(row, "KPI", 0, ui_);
  EXPECT_EQ(result.rnd, 31);
  EXPECT_EQ(row.Get("HIT"), "1");
}

TEST_F(SampleSelectorTest, HitWindowFromCloseHitWindowSetting) {
  EXPECT_EQ(HitWindowMs("-1"), platform::Message::kNever);
  EXPECT_EQ(HitWindowMs("-2.5"), platform::Message::kNever);
  EXPECT_EQ(HitWindowMs("0.0"), 0);
  EXPECT_EQ(HitWindowMs("0.5"), 0);
  EXPECT_EQ(HitWindowMs("1.0"), 1000);
  EXPECT_EQ(HitWindowMs("2.5"), 2000);
  EXPECT_EQ(HitWindowMs("3.0"), 3000);
  EXPECT_EQ(HitWindowMs("1e30"), 2147483 * 1000);
}

TEST_F(SampleSelectorTest, SampleBoxClosesAfterTheHitWindow) {
  SampleSelector selector({{1, "DF", 50}}, 123456);
  TextRow row = LogRow("DF", "1", "50");
  selector.SelectSample(row, "KPI", HitWindowMs("1.5"), ui_);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].close_after_ms, 1000);
}

TEST_F(SampleSelectorTest, SelectionErrorMessages) {
  EXPECT_TRUE(ShowSelectionError(kSampleNoKzRow, ui_));
  EXPECT_TRUE(ShowSelectionError(kSampleColumnsMissing, ui_));
  EXPECT_FALSE(ShowSelectionError(kSampleDone, ui_));
  EXPECT_FALSE(ShowSelectionError(kSampleCancelled, ui_));
  ASSERT_EQ(ui_.messages().size(), 2u);
  EXPECT_EQ(ui_.messages()[0].text,
            "SP and/or P not found in the KZ table.\nCan't perform sample selection.");
  EXPECT_EQ(ui_.messages()[1].text,
            "KPI, P and HIT columns need to be turned on.\nCan't perform sample selection.");
  for (const auto& m : ui_.messages()) {
    EXPECT_EQ(m.caption, "Error");
    EXPECT_EQ(m.icon, Icon::kStop);
    EXPECT_EQ(m.buttons, Buttons::kOk);
  }
}

}  // namespace
}  // namespace sampling
