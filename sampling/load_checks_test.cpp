#include "sampling/load_checks.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/scripted_ui.h"
#include "sampling/sample_selector.h"
#include "sampling/store_test_util.h"

namespace sampling {
namespace {

using platform::Answer;
using platform::Icon;
using testing::Append;
using testing::Dump;

constexpr char kLoadTable[] =
    "Load[SALE:S,LLR:S,CONTRACT:S,SCALER:S,ST:S,SCALESYS:S,CFSAWCU:F,CFNONSAWCU:F,CFSAWBD:F,"
    "CFNONSAWBD:F,MINLEN:I,MAXLEN:I,MINDIA:I,MAXDIA:I,HDATE:S,SDATE:S]";
constexpr char kLogTable[] =
    "Log[SALE:S,LLR:S,LOG:I,S:S,SP:S,P:I,LN:I,SD:I,LD:I,KPI:I,HIT:I,VOID:I]";

class LoadChecksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(store_.Open(testing::TempPath("load.scl"), false), 0);
    ASSERT_EQ(store_.DefineTable(kLoadTable), 0);
    ASSERT_EQ(store_.DefineTable(kLogTable), 0);
    ASSERT_EQ(store_.DefineTable("Globals[Block:S,Key:S,Value:S]"), 0);
  }

  void AddLoad(const std::string& st) {
    Append(store_, "Load",
           {{"SALE", "Bear"},
            {"LLR", "1042"},
            {"CONTRACT", "C"},
            {"SCALER", "JD"},
            {"ST", st},
            {"SCALESYS", "Cubic"},
            {"CFSAWCU", "0.5"},
            {"CFNONSAWCU", "0.5"},
            {"MINLEN", "8"},
            {"MAXLEN", "40"},
            {"MINDIA", "4"},
            {"MAXDIA", "30"},
            {"SDATE", "20101101"}});
  }

  void AddLog(const std::string& log, const std::string& s, const std::string& ln,
              const std::string& sd, const std::string& ld, const std::string& hit = "1",
              const std::string& voided = "0", const std::string& llr = "1042") {
    Append(store_, "Log",
           {{"SALE", "Bear"},
            {"LLR", llr},
            {"LOG", log},
            {"S", s},
            {"SP", "DF"},
            {"P", "1"},
            {"LN", ln},
            {"SD", sd},
            {"LD", ld},
            {"HIT", hit},
            {"VOID", voided}});
  }

  std::vector<std::string> Journal() { return Dump(store_, "MessageLog", {"Msg"}); }
  std::vector<std::string> Finalized() {
    return Dump(store_, "Globals", {"Block", "Key", "Value"});
  }

  tablestore::TableStore store_;
  LoadKey key_{"Bear", "1042"};
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
};

// ---- limits ----

TEST_F(LoadChecksTest, LimitsDefaultWithoutLoadRow) {
  const LoadLimits limits = ReadLoadLimits(store_, key_);
  EXPECT_EQ(limits.minLen, 0);
  EXPECT_EQ(limits.maxLen, 999);
  EXPECT_EQ(limits.minDia, 0);
  EXPECT_EQ(limits.maxDia, 999);
}

TEST_F(LoadChecksTest, LimitsReadFromTheLoadRow) {
  AddLoad("100");
  const LoadLimits limits = ReadLoadLimits(store_, key_);
  EXPECT_EQ(limits.minLen, 8);
  EXPECT_EQ(limits.maxLen, 40);
  EXPECT_EQ(limits.minDia, 4);
  EXPECT_EQ(limits.maxDia, 30);
}

TEST_F(LoadChecksTest, LimitsDefaultForColumnsTheSetupLeavesOut) {
  ASSERT_EQ(store_.DefineTable("Load[SALE:S,LLR:S,MAXLEN:S]"), 0);
  Append(store_, "Load", {{"SALE", "Bear"}, {"LLR", "1042"}, {"MAXLEN", ""}});
  const LoadLimits limits = ReadLoadLimits(store_, key_);
  EXPECT_EQ(limits.maxLen, 999);
  EXPECT_EQ(limits.maxDia, 999);
}

TEST_F(LoadChecksTest, AMaximumOfZeroMeansNoLimit) {
  ASSERT_EQ(store_.DefineTable("Load[SALE:S,LLR:S,MINLEN:I,MAXLEN:I,MINDIA:I,MAXDIA:I]"), 0);
  Append(store_, "Load",
         {{"SALE", "Bear"}, {"LLR", "1042"}, {"MINLEN", "0"}, {"MAXLEN", "0"}, {"MINDIA", "0"},
          {"MAXDIA", "0"}});
  const LoadLimits limits = ReadLoadLimits(store_, key_);
  EXPECT_EQ(limits.minLen, 0);
  EXPECT_EQ(limits.maxLen, 999);
  EXPECT_EQ(limits.minDia, 0);
  EXPECT_EQ(limits.maxDia, 999);
}

// ---- the log check's context ----

TEST_F(LoadChecksTest, LogCheckContextFromLoadAndDictionary) {
  AddLoad("3P");
  ASSERT_EQ(store_.DefineTable("DataDictionary[TableName:S,ColumnName:S,Validate:S]"), 0);
  Append(store_, "DataDictionary", {{"TableName", "Log"}, {"ColumnName", "LN"}, {"Validate", ""}});
  Append(store_, "DataDictionary",
         {{"TableName", "Log"}, {"ColumnName", "SP"}, {"Validate", "DF WH RC"}});
  const LogCheckContext context = ReadLogCheckContext(store_, key_);
  EXPECT_EQ(context.saleType, "3P");
  EXPECT_EQ(context.scaleSystem, "Cubic");
  EXPECT_EQ(context.limits.maxLen, 40);
  EXPECT_EQ(context.speciesList, ",DF,WH,RC,");
}

TEST_F(LoadChecksTest, LogCheckContextWithoutSpeciesList) {
  const LogCheckContext context = ReadLogCheckContext(store_, key_);
  EXPECT_EQ(context.saleType, "");
  EXPECT_EQ(context.speciesList, "");
  EXPECT_EQ(context.limits.maxDia, 999);
}

// ---- the load audit ----

TEST_F(LoadChecksTest, EmptyLoadFailsAndIsJournaled) {
  AddLoad("100");
  std::string errorText;
  EXPECT_EQ(AuditLoad(store_, key_, ui_, errorText), 1);
  EXPECT_EQ(errorText, "No logs in the load!");
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_EQ(Journal(), std::vector<std::string>{"Failed load audit: No logs in the load!"});
}

TEST_F(LoadChecksTest, VoidedLogsAndOtherLoadsAreLeftOut) {
  AddLoad("100");
  AddLog("1", "1", "16", "8", "10");
  AddLog("2", "2", "16", "8", "10", "1", "1");        // voided: its bad split does not count
  AddLog("3", "5", "16", "8", "10", "1", "0", "77");  // another load
  std::string errorText;
  EXPECT_EQ(AuditLoad(store_, key_, ui_, errorText), kAuditPassed);
  EXPECT_EQ(Journal(), std::vector<std::string>{"Passed load audit"});
}

TEST_F(LoadChecksTest, ThreePLoadChecksSampleLogs) {
  AddLoad("3P");
  AddLog("1", "1", "16", "8", "0", "1");
  AddLog("2", "1", "0", "0", "0", "0");
  std::string errorText;
  EXPECT_EQ(AuditLoad(store_, key_, ui_, errorText), 1);
  EXPECT_EQ(errorText, "Log 1: missing LD");
}

TEST_F(LoadChecksTest, ThreePLoadWithoutHitColumnHasNoSampleDecisions) {
  AddLoad("3P");
  ASSERT_EQ(store_.DefineTable("Log[SALE:S,LLR:S,LOG:I,S:S,P:I,LN:I,SD:I,LD:I,VOID:I]"), 0);
  Append(store_, "Log", {{"SALE", "Bear"}, {"LLR", "1042"}, {"LOG", "1"}, {"S", "1"}});
  std::string errorText;
  EXPECT_EQ(AuditLoad(store_, key_, ui_, errorText), 1);
  EXPECT_EQ(errorText, "Log 1: sample not determined (HIT = -1)");
}

TEST_F(LoadChecksTest, WarningsNameTheLoadReceipt) {
  AddLoad("100");
  AddLog("1", "1", "41", "8", "10");
  ui_.QueueAnswer(Answer::kOk);
  std::string errorText;
  EXPECT_EQ(AuditLoad(store_, key_, ui_, errorText), kAuditWarningsAccepted);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text,
            "Load 1042 passed the audit with warning(s):\nLog 1: LN of 41 above maximum\n"
            "\nContinue?");
  EXPECT_EQ(Journal(), std::vector<std::string>{
                           "Passed load audit with warning(s): Log 1: LN of 41 above maximum,"});
}

TEST_F(LoadChecksTest, LogTableWithoutVoidHasOnlyLiveLogs) {
  AddLoad("100");
  ASSERT_EQ(store_.DefineTable("Log[SALE:S,LLR:S,LOG:I,S:S,LN:I,SD:I,LD:I]"), 0);
  Append(store_, "Log", {{"SALE", "Bear"}, {"LLR", "1042"}, {"LOG", "1"}, {"S", "2"}});
  std::string errorText;
  EXPECT_EQ(AuditLoad(store_, key_, ui_, errorText), 1);
  EXPECT_EQ(errorText, "Bad Split code on Log 1");
}

TEST_F(LoadChecksTest, AuditLeavesNoSlotsBehind) {
  AddLoad("100");
  AddLog("1", "1", "16", "8", "10");
  std::string errorText;
  AuditLoad(store_, key_, ui_, errorText);
  EXPECT_EQ(store_.FindView("Log"), -1);
  EXPECT_EQ(store_.FindView("Load"), -1);
  EXPECT_EQ(store_.GetViewIndex("probe"), 0);  // slot 0 is free again
}

// ---- settings, finalize and un-finalize ----

TEST_F(LoadChecksTest, FinalizeAddsTheSettingWhenMissing) {
  AddLoad("100");
  AddLog("1", "1", "16", "8", "10");
  ui_.QueueAnswer(Answer::kOk);
  EXPECT_EQ(FinalizeLoad(store_, key_, ui_, {}), kFinalized);
  EXPECT_EQ(Finalized(), std::vector<std::string>{"System|Finalized|YES"});
}

TEST_F(LoadChecksTest, FinalizeWithoutGlobalsSaysItCouldNot) {
  AddLoad("100");
  AddLog("1", "1", "16", "8", "10");
  ASSERT_EQ(store_.DefineTable("Globals"), 0);  // deletes the table
  ui_.QueueAnswer(Answer::kOk);
  int reports = 0;
  EXPECT_EQ(FinalizeLoad(store_, key_, ui_, [&reports] { ++reports; }), kFinalizeNotStored);
  ASSERT_EQ(ui_.messages().size(), 2u);
  EXPECT_EQ(ui_.messages()[1].text, "The load could not be finalized.");
  EXPECT_EQ(reports, 0);
  EXPECT_EQ(Journal(), std::vector<std::string>{"Passed load audit"});
}

TEST_F(LoadChecksTest, FinalizeStoresYesJournalsAndWritesTheReport) {
  AddLoad("100");
  AddLog("1", "1", "16", "8", "10");
  Append(store_, "Globals", {{"Block", "System"}, {"Key", "Finalized"}, {"Value", "NO"}});
  ui_.QueueAnswer(Answer::kOk);
  int reports = 0;
  EXPECT_EQ(FinalizeLoad(store_, key_, ui_, [&reports] { ++reports; }), kFinalized);
  EXPECT_EQ(Finalized(), std::vector<std::string>{"System|Finalized|YES"});
  EXPECT_EQ(Journal(), (std::vector<std::string>{"Passed load audit", "Load finalized"}));
  EXPECT_EQ(reports, 1);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, "Confirm Finalize");
}

TEST_F(LoadChecksTest, FinalizeWithErrorsShowsThem) {
  AddLoad("100");
  EXPECT_EQ(FinalizeLoad(store_, key_, ui_, {}), 1);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "No logs in the load!");
  EXPECT_EQ(ui_.messages()[0].caption, "Errors Found - Finalize Cancelled");
  EXPECT_EQ(ui_.messages()[0].icon, Icon::kStop);
  EXPECT_TRUE(Finalized().empty());
}

TEST_F(LoadChecksTest, WarningsOnlyWithCancelFinalizeNothing) {
  AddLoad("100");
  AddLog("1", "1", "41", "8", "10");
  ui_.QueueAnswer(Answer::kCancel);
  EXPECT_EQ(FinalizeLoad(store_, key_, ui_, {}), kFinalizeCancelled);
  ASSERT_EQ(ui_.messages().size(), 1u);  // no confirmation was asked
  EXPECT_EQ(ui_.messages()[0].caption, "Warning");
  EXPECT_TRUE(Finalized().empty());
  EXPECT_EQ(Journal().size(), 1u);  // the audit's entry only
}

TEST_F(LoadChecksTest, UnfinalizeStoresNoAndJournals) {
  Append(store_, "Globals", {{"Block", "System"}, {"Key", "Finalized"}, {"Value", "YES"}});
  EXPECT_EQ(UnfinalizeLoad(store_, ui_), 0);
  EXPECT_EQ(Finalized(), std::vector<std::string>{"System|Finalized|NO"});
  EXPECT_EQ(Journal(), std::vector<std::string>{"Load un-finalized"});
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, "Load un-finalized");
}

// ---- the header audit ----

TEST_F(LoadChecksTest, HeaderAuditReadsTheFirstLoadRow) {
  AddLoad("100");
  platform::FixedClock clock(platform::LocalDateTime{2010, 11, 5, 9, 5, 0});
  EXPECT_EQ(AuditLoadHeader(store_, clock).problems, 0);
  Append(store_, "Load", {{"SALE", ""}});  // a second row is not audited
  EXPECT_EQ(AuditLoadHeader(store_, clock).problems, 0);
}

TEST_F(LoadChecksTest, HeaderAuditOfFloatFactorZero) {
  Append(store_, "Load",
         {{"SALE", "Bear"},
          {"LLR", "1"},
          {"CONTRACT", "C"},
          {"SCALER", "JD"},
          {"ST", "100"},
          {"SCALESYS", "Cubic"},
          {"CFSAWCU", "0"},
          {"CFNONSAWCU", "0.4"},
          {"MAXLEN", "40"},
          {"MAXDIA", "30"},
          {"HDATE", "20101102"},
          {"SDATE", "20101101"}});
  platform::FixedClock clock(platform::LocalDateTime{2010, 11, 5, 9, 5, 0});
  const HeaderAudit audit = AuditLoadHeader(store_, clock);
  EXPECT_EQ(audit.text, "No CFSAWCU\nHDATE can't be after SDATE");
}

TEST_F(LoadChecksTest, HeaderAuditWithoutLoadRows) {
  platform::FixedClock clock;
  EXPECT_EQ(AuditLoadHeader(store_, clock).problems, 6);
}

// ---- KZ table ----

TEST_F(LoadChecksTest, NoKzTableMeansNoSelector) {
  platform::FixedClock clock;
  EXPECT_FALSE(SampleSelector::LoadKZ(store_, clock).has_value());
}

TEST_F(LoadChecksTest, KzRowsLoadedInOrderSeededWithTheTickCount) {
  ASSERT_EQ(store_.DefineTable("KZ[SP:S,P:I,KZ:I]"), 0);
  Append(store_, "KZ", {{"SP", "DF"}, {"P", "1"}, {"KZ", "50"}});
  Append(store_, "KZ", {{"SP", "WH"}, {"P", "1"}, {"KZ", "0"}});
  Append(store_, "KZ", {{"SP", ""}, {"P", "0"}, {"KZ", "400"}});
  platform::FixedClock clock(platform::LocalDateTime{}, 123456);
  std::optional<SampleSelector> selector = SampleSelector::LoadKZ(store_, clock);
  ASSERT_TRUE(selector.has_value());
  EXPECT_EQ(selector->size(), 2u);  // KZ 0 is rejected
  EXPECT_EQ(selector->Kz(0), 50);
  EXPECT_EQ(selector->Threshold(1), 401);
  TextRow row({{"SP", "DF"}, {"P", "1"}, {"KPI", "40"}, {"HIT", ""}});
  EXPECT_EQ(selector->SelectSample(row, "KPI", 0, ui_).rnd, 31);
}

}  // namespace
}  // namespace sampling
