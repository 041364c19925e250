#include "sampling/load_audit.h"

#include <gtest/gtest.h>

#include "platform/scripted_ui.h"

namespace sampling {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

AuditLogRow Log(int log, int s, int ln = 16, int sd = 8, int ld = 10, int hit = 1, int p = 1) {
  AuditLogRow row;
  row.log = log;
  row.s = s;
  row.p = p;
  row.ln = ln;
  row.sd = sd;
  row.ld = ld;
  row.hit = hit;
  return row;
}

class LoadAuditTest : public ::testing::Test {
 protected:
  FinalizeHooks Hooks() {
    FinalizeHooks hooks;
    hooks.journal = [this](const std::string& m) {
      journal_.push_back(m);
      return true;
    };
    hooks.storeFinalized = [this](const std::string& v) {
      stored_.push_back(v);
      return storeWorks_;
    };
    hooks.writeAuditReport = [this] { ++reports_; };
    return hooks;
  }

  int Finish(const Findings& f, std::string& errorText) {
    return FinishLoadAudit(f, "1042", ui_, Hooks().journal, errorText);
  }

  LoadLimits limits_{8, 40, 4, 30};
  std::vector<std::string> journal_;
  std::vector<std::string> stored_;
  bool storeWorks_ = true;
  int reports_ = 0;
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
};

// ---- split codes ----

TEST_F(LoadAuditTest, EmptyLoadFails) {
  const Findings f = CheckLoad(limits_, false, {});
  EXPECT_EQ(f.errors, "No logs in the load!\n");
  EXPECT_EQ(CheckLoad(limits_, true, {}).errors, "No logs in the load!\n");
}

TEST_F(LoadAuditTest, SplitsOneTwoThreePass) {
  EXPECT_TRUE(CheckLoad(limits_, false, {Log(1, 1), Log(1, 2), Log(1, 3), Log(2, 0)}).empty());
}

TEST_F(LoadAuditTest, OnlySplitTwoFails) {
  EXPECT_EQ(CheckLoad(limits_, false, {Log(4, 2)}).errors, "Bad Split code on Log 4\n");
}

TEST_F(LoadAuditTest, SplitsOneThreeFailAtTheSecondRow) {
  const Findings f = CheckLoad(limits_, false, {Log(5, 1), Log(5, 3), Log(6, 1)});
  EXPECT_EQ(f.errors, "Bad Split code on Log 5\n");
  EXPECT_EQ(f.errorCount, 1);
}

TEST_F(LoadAuditTest, SplitsAreOrderedByLogAndNumberNotTableOrder) {
  std::vector<AuditLogRow> logs;
  for (int s = 12; s >= 1; --s) logs.push_back(Log(9, s));  // "10" must not sort before "2"
  logs.push_back(Log(3, 1));
  EXPECT_TRUE(CheckLoad(limits_, false, logs).empty());
}

TEST_F(LoadAuditTest, RepeatedSplitIsBad) {
  EXPECT_EQ(CheckLoad(limits_, false, {Log(2, 1), Log(2, 1)}).errors, "Bad Split code on Log 2\n");
}

// ---- measurements ----

TEST_F(LoadAuditTest, LengthAtTheLimitsPasses) {
  EXPECT_TRUE(CheckLoad(limits_, false, {Log(1, 1, 40, 4, 30), Log(2, 1, 8, 4, 30)}).empty());
}

TEST_F(LoadAuditTest, RangeWarningsInOrder) {
  const Findings f = CheckLoad(limits_, false, {Log(3, 1, 41, 31, 3), Log(4, 1, 7, 3, 31)});
  EXPECT_EQ(f.errorCount, 0);
  EXPECT_EQ(f.warnings,
            "Log 3: LN of 41 above maximum\nLog 3: SD of 31 above maximum\n"
            "Log 3: LD of 3 below minimum\n"
            "Log 4: LN of 7 below minimum\nLog 4: SD of 3 below minimum\n"
            "Log 4: LD of 31 above maximum\n");
  EXPECT_EQ(f.warningCount, 6);
}

TEST_F(LoadAuditTest, DefaultLimitsWarnOnlyBeyond999) {
  const Findings f = CheckLoad(LoadLimits{}, false, {Log(1, 1, 999, 0, 1000)});
  EXPECT_EQ(f.warnings, "Log 1: LD of 1000 above maximum\n");
}

// ---- 3P ----

TEST_F(LoadAuditTest, NonSampleWithoutMeasurementsPasses) {
  EXPECT_TRUE(CheckLoad(limits_, true, {Log(1, 1, 0, 0, 0, 0)}).empty());
}

TEST_F(LoadAuditTest, SampleWithoutLdFails) {
  const Findings f = CheckLoad(limits_, true, {Log(1, 1, 16, 8, 0, 1)});
  EXPECT_EQ(f.errors, "Log 1: missing LD\n");
  EXPECT_EQ(f.warningCount, 0);  // ranges are checked only when all three are present
}

TEST_F(LoadAuditTest, SampleMissingEverything) {
  EXPECT_EQ(CheckLoad(limits_, true, {Log(2, 1, 0, 0, 0, 1)}).errors,
            "Log 2: missing LN\nLog 2: missing SD\nLog 2: missing LD\n");
}

TEST_F(LoadAuditTest, SampleLogRangesAreWarnings) {
  const Findings f = CheckLoad(limits_, true, {Log(2, 1, 50, 8, 10, 1)});
  EXPECT_EQ(f.warnings, "Log 2: LN of 50 above maximum\n");
}

TEST_F(LoadAuditTest, UndecidedSampleIsAnErrorAndNotMeasured) {
  const Findings f = CheckLoad(limits_, true, {Log(3, 1, 0, 0, 0, -1)});
  EXPECT_EQ(f.errors, "Log 3: sample not determined (HIT = -1)\n");
}

TEST_F(LoadAuditTest, LaterSplitTakesTheDecisionOfTheSplitBefore) {
  // The second split of log 3 is undecided but follows split 1 of the same
  // log and product, so it is examined like a sample log.
  const Findings f = CheckLoad(limits_, true, {Log(3, 1, 16, 8, 10, 1), Log(3, 2, 16, 8, 0, -1)});
  EXPECT_EQ(f.errors, "Log 3: missing LD\n");
  // Another product, or a first split, is not exempt.
  const Findings g =
      CheckLoad(limits_, true, {Log(3, 1, 16, 8, 10, 1), Log(3, 2, 16, 8, 10, -1, 2)});
  EXPECT_EQ(g.errors, "Log 3: sample not determined (HIT = -1)\n");
}

TEST_F(LoadAuditTest, HitOutsideMinusOneToOneIsAnError) {
  const Findings f = CheckLoad(limits_, true, {Log(8, 1, 16, 8, 10, 2), Log(9, 1, 0, 0, 0, -7)});
  EXPECT_EQ(f.errors, "Log 8: invalid HIT value 2\nLog 9: invalid HIT value -7\n");
}

TEST_F(LoadAuditTest, HundredLoadIgnoresHit) {
  EXPECT_TRUE(CheckLoad(limits_, false, {Log(1, 1, 16, 8, 10, -1)}).empty());
}

// ---- outcome, journal and prompt ----

TEST_F(LoadAuditTest, ErrorsAreReturnedAndJournaledWithoutMessage) {
  std::string errorText = "stale";
  const Findings f = CheckLoad(limits_, false, {Log(4, 2), Log(5, 3)});
  EXPECT_EQ(Finish(f, errorText), 2);
  EXPECT_EQ(errorText, "Bad Split code on Log 4\nBad Split code on Log 5");
  EXPECT_TRUE(ui_.messages().empty());
  ASSERT_EQ(journal_.size(), 1u);
  EXPECT_EQ(journal_[0], "Failed load audit: Bad Split code on Log 4,Bad Split code on Log 5");
}

TEST_F(LoadAuditTest, CleanAuditJournalsPassed) {
  std::string errorText = "stale";
  EXPECT_EQ(Finish(CheckLoad(limits_, false, {Log(1, 1)}), errorText), kAuditPassed);
  EXPECT_EQ(errorText, "");
  EXPECT_EQ(journal_, std::vector<std::string>{"Passed load audit"});
}

TEST_F(LoadAuditTest, WarningsAskAndJournal) {
  std::string errorText;
  const Findings f = CheckLoad(limits_, false, {Log(3, 1, 41, 8, 10)});
  ui_.QueueAnswer(Answer::kOk);
  EXPECT_EQ(Finish(f, errorText), kAuditWarningsAccepted);
  ui_.QueueAnswer(Answer::kCancel);
  EXPECT_EQ(Finish(f, errorText), kAuditWarningsCancelled);
  ASSERT_EQ(ui_.messages().size(), 2u);
  const platform::Message& ask = ui_.messages()[0];
  EXPECT_EQ(ask.text,
            "Load 1042 passed the audit with warning(s):\nLog 3: LN of 41 above maximum\n"
            "\nContinue?");
  EXPECT_EQ(ask.caption, "Warning");
  EXPECT_EQ(ask.icon, Icon::kExclamation);
  EXPECT_EQ(ask.buttons, Buttons::kOkCancel);
  ASSERT_EQ(journal_.size(), 2u);
  EXPECT_EQ(journal_[1], "Passed load audit with warning(s): Log 3: LN of 41 above maximum,");
}

// ---- finalize ----

TEST_F(LoadAuditTest, FinalizeWithErrorsShowsThemAndStops) {
  EXPECT_EQ(FinalizeAfterAudit(2, "Log 1: missing LD\nLog 2: missing LD", ui_, Hooks()), 2);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "Log 1: missing LD\nLog 2: missing LD");
  EXPECT_EQ(ui_.messages()[0].caption, "Errors Found - Finalize Cancelled");
  EXPECT_EQ(ui_.messages()[0].icon, Icon::kStop);
  EXPECT_TRUE(stored_.empty());
  EXPECT_EQ(reports_, 0);
}

TEST_F(LoadAuditTest, WarningsCancelledFinalizeNothingAndAskNothing) {
  EXPECT_EQ(FinalizeAfterAudit(kAuditWarningsCancelled, "", ui_, Hooks()), kFinalizeCancelled);
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_TRUE(stored_.empty());
  EXPECT_TRUE(journal_.empty());
}

TEST_F(LoadAuditTest, FinalizeConfirmedStoresJournalsAndReports) {
  ui_.QueueAnswer(Answer::kOk);
  EXPECT_EQ(FinalizeAfterAudit(kAuditWarningsAccepted, "", ui_, Hooks()), kFinalized);
  ASSERT_EQ(ui_.messages().size(), 1u);
  const platform::Message& ask = ui_.messages()[0];
  EXPECT_EQ(ask.text,
            "Once a load is finalized, you won't be able to edit the log data. Are you sure?");
  EXPECT_EQ(ask.caption, "Confirm Finalize");
  EXPECT_EQ(ask.icon, Icon::kQuestion);
  EXPECT_EQ(ask.buttons, Buttons::kOkCancel);
  EXPECT_EQ(stored_, std::vector<std::string>{"YES"});
  EXPECT_EQ(journal_, std::vector<std::string>{"Load finalized"});
  EXPECT_EQ(reports_, 1);
}

TEST_F(LoadAuditTest, FinalizeDeclinedChangesNothing) {
  ui_.QueueAnswer(Answer::kCancel);
  EXPECT_EQ(FinalizeAfterAudit(kAuditPassed, "", ui_, Hooks()), kFinalizeCancelled);
  EXPECT_TRUE(stored_.empty());
  EXPECT_TRUE(journal_.empty());
  EXPECT_EQ(reports_, 0);
}

TEST_F(LoadAuditTest, FinalizeThatCannotBeStoredSaysSo) {
  storeWorks_ = false;
  ui_.QueueAnswer(Answer::kOk);
  EXPECT_EQ(FinalizeAfterAudit(kAuditPassed, "", ui_, Hooks()), kFinalizeNotStored);
  ASSERT_EQ(ui_.messages().size(), 2u);
  EXPECT_EQ(ui_.messages()[1].text, "The load could not be finalized.");
  EXPECT_EQ(ui_.messages()[1].caption, "Error");
  EXPECT_TRUE(journal_.empty());
  EXPECT_EQ(reports_, 0);
}

TEST_F(LoadAuditTest, UnfinalizeStoresNoJournalsAndTells) {
  EXPECT_EQ(UnfinalizeLoad(ui_, Hooks()), 0);
  EXPECT_EQ(stored_, std::vector<std::string>{"NO"});
  EXPECT_EQ(journal_, std::vector<std::string>{"Load un-finalized"});
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text,
            "This load has been un-finalized.\nThe Data Entry button has been enabled.\n"
            "Please re-finalize this load when finished.");
  EXPECT_EQ(ui_.messages()[0].caption, "Load un-finalized");
  EXPECT_EQ(ui_.messages()[0].icon, Icon::kInformation);
}

TEST_F(LoadAuditTest, UnfinalizeThatCannotBeStoredSaysSo) {
  storeWorks_ = false;
  EXPECT_EQ(UnfinalizeLoad(ui_, Hooks()), kFinalizeNotStored);
  EXPECT_TRUE(journal_.empty());
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "The load could not be un-finalized.");
}

}  // namespace
}  // namespace sampling
