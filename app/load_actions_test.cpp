#include "app/load_actions.h"

#include <gtest/gtest.h>

#include "app/scale_files.h"
#include "app/test_files.h"
#include "mkstore/fault_file_system.h"
#include "platform/scripted_ui.h"
#include "tablestore/settings.h"

namespace app {
namespace {

constexpr const char* kDefaultSetup = VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl";
constexpr const char* kSetup = "/fault/Default.SetupScl";
constexpr const char* kScale = "/fault/load.scl";

// A scale file created from the bundled setup on an in-memory disk whose
// writes can be made to fail.
class LoadActionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    disk_.SetContents(kSetup, testing::ReadText(kDefaultSetup));
    ASSERT_EQ(lifecycle_.CreateFromSetup(kSetup, kScale), FileOutcome::kCreated);
  }

  tablestore::TableStore& store() { return *lifecycle_.store(); }
  const TableSlots& slots() { return lifecycle_.state().slots; }

  // Writes `values` (column, text) into the first Load row.
  void SetHeader(const std::vector<std::pair<std::string, std::string>>& values) {
    for (const auto& [column, text] : values) {
      ASSERT_EQ(store().SetText(slots().load, 0, store().ColumnIndex(slots().load, column), text),
                0)
          << column;
    }
  }

  // Appends a measured log of the first load and commits.
  void AddLog() {
    const int row = store().AddRow(slots().log, -1);
    ASSERT_GE(row, 0);
    for (const auto& [column, value] :
         {std::pair<const char*, int>{"LOG", 1}, {"LN", 16}, {"SD", 10}, {"LD", 12}}) {
      ASSERT_EQ(store().SetInt(slots().log, row, store().ColumnIndex(slots().log, column), value),
                0);
    }
    ASSERT_EQ(store().Commit(), 0);
  }

  // The last journal entry of the open file.
  std::string LastJournalEntry() {
    const int slot = store().OpenAView("MessageLog", false);
    std::string msg;
    store().GetText(slot, store().RowCount(slot) - 1, store().ColumnIndex(slot, "Msg"), msg);
    (void)store().ReleaseView(slot);
    return msg;
  }

  reports::ReportContext Context() {
    return MakeReportContext(store(), lifecycle_.state(), ui_, files_, clock_);
  }

  mk::FaultFileSystem disk_;
  testing::FaultFiles files_{disk_};
  platform::FixedClock clock_{platform::LocalDateTime{2010, 11, 5, 9, 5, 0}};
  platform::ScriptedUi ui_;
  ScaleFiles lifecycle_{ui_, files_, clock_, "/fault/", &disk_};
};

TEST_F(LoadActionsTest, HeaderAuditJournalsItsOutcome) {
  HeaderAuditOutcome failed = RunHeaderAudit(store(), clock_, ui_);
  EXPECT_FALSE(failed.passed());
  EXPECT_TRUE(failed.journaled);
  EXPECT_EQ(LastJournalEntry(), kFailedHeaderAudit + failed.audit.JournalText());
  EXPECT_EQ(LastJournalEntry().rfind("Failed load information audit: No SALE, No LLR, ", 0), 0u);
  EXPECT_TRUE(ui_.messages().empty());  // the findings are the caller's to show
  ShowHeaderProblems(ui_, failed);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, failed.audit.text);
  EXPECT_EQ(ui_.messages()[0].caption, "Missing/Incorrect Load Information");
  EXPECT_EQ(ui_.messages()[0].icon, platform::Icon::kStop);

  SetHeader({{"SALE", "S1"},
             {"LLR", "77"},
             {"CONTRACT", "C"},
             {"SCALER", "Ann"},
             {"ST", "100"},
             {"SCALESYS", "Cubic"},
             {"CFSAWCU", "10"},
             {"CFNONSAWCU", "8"},
             {"MAXLEN", "40"},
             {"MAXDIA", "30"}});
  const HeaderAuditOutcome passed = RunHeaderAudit(store(), clock_, ui_);
  EXPECT_TRUE(passed.passed());
  EXPECT_EQ(LastJournalEntry(), "Passed header audit");
  ShowHeaderProblems(ui_, passed);
  EXPECT_EQ(ui_.messages().size(), 1u);
}

TEST_F(LoadActionsTest, CloseFileJournalsAndCloses) {
  EXPECT_TRUE(CloseFile(lifecycle_, ui_));
  EXPECT_FALSE(lifecycle_.IsOpen());
  tablestore::TableStore reader(&disk_);
  ASSERT_EQ(reader.Open(kScale, false), 0);
  const int slot = reader.OpenAView("MessageLog", false);
  std::string msg;
  reader.GetText(slot, reader.RowCount(slot) - 1, reader.ColumnIndex(slot, "Msg"), msg);
  EXPECT_EQ(msg, "File closed");
  EXPECT_TRUE(CloseFile(lifecycle_, ui_));  // nothing open: nothing to do
}

// Issue 17: with the n-th write failing, finalize answers kFinalized exactly
// when the file holds Finalized "YES" afterwards; a refused write is shown.
TEST_F(LoadActionsTest, FinalizeSaysWhetherTheFileIsFinalized) {
  AddLog();
  const std::string image = disk_.Contents(kScale);
  int failures = 0;
  for (int n = 0;; ++n) {  // n = 0: no fault
    SCOPED_TRACE("write " + std::to_string(n) + " fails");
    mk::FaultFileSystem disk;
    testing::FaultFiles files(disk);
    disk.SetContents(kScale, image);
    platform::ScriptedUi ui;
    ui.QueueAnswer(platform::Answer::kOk);  // "Confirm Finalize"
    FinalizeOutcome outcome;
    {
      ScaleFiles lifecycle(ui, files, clock_, "/fault/", &disk);
      ASSERT_EQ(lifecycle.OpenSequence(kScale), FileOutcome::kOpened);
      const reports::ReportContext context =
          MakeReportContext(*lifecycle.store(), lifecycle.state(), ui, files, clock_);
      disk.FailWrite(n);
      outcome = FinalizeLoads(context);
      if (n == 0) {
        EXPECT_EQ(outcome.auditReportPath, "/fault/load.audit");
        EXPECT_TRUE(disk.Exists("/fault/load.audit"));
        EXPECT_EQ(FinalizeLoads(context).status, FinalizeStatus::kAlreadyFinalized);
      }
      (void)lifecycle.store()->Close();  // what was not committed is dropped
    }
    const bool failed = n > 0 && disk.writes() >= n;
    disk.Crash();
    tablestore::TableStore reader(&disk);
    ASSERT_EQ(reader.Open(kScale, false), 0);
    std::string finalized;
    (void)tablestore::ReadSetting(reader, tablestore::kBlockSystem, tablestore::kKeyFinalized,
                                  finalized);
    EXPECT_EQ(outcome.status == FinalizeStatus::kFinalized, finalized == tablestore::kYes);
    // The setting and its journal entry reach the file together or not at all.
    const int journal = reader.OpenAView("MessageLog", false);
    bool journaled = false;
    for (int row = 0; journal >= 0 && row < reader.RowCount(journal); ++row) {
      std::string msg;
      reader.GetText(journal, row, reader.ColumnIndex(journal, "Msg"), msg);
      journaled = journaled || msg == "Load finalized";
    }
    EXPECT_EQ(journaled, finalized == tablestore::kYes);
    if (outcome.status != FinalizeStatus::kFinalized) {
      ++failures;
      EXPECT_EQ(outcome.status, FinalizeStatus::kNotStored);
      // "The load could not be finalized." or, when the one commit of the
      // setting and its journal entry failed, the file's reason.
      EXPECT_EQ(ui.messages().back().caption, "Error");
    }
    if (n > 0 && !failed) break;
  }
  EXPECT_GT(failures, 0);
}

// Adds a Load row for sale `sale`, load receipt `llr`, and commits.
void AddLoad(tablestore::TableStore& store, int slot, const std::string& sale,
             const std::string& llr) {
  const int row = store.AddRow(slot, -1);
  ASSERT_GE(row, 0);
  ASSERT_EQ(store.SetText(slot, row, store.ColumnIndex(slot, "SALE"), sale), 0);
  ASSERT_EQ(store.SetText(slot, row, store.ColumnIndex(slot, "LLR"), llr), 0);
  ASSERT_EQ(store.Commit(), 0);
}

TEST_F(LoadActionsTest, FinalizeAuditsEveryLoad) {
  AddLog();
  AddLoad(store(), slots().load, "S2", "2");  // a second load without logs
  ui_.QueueAnswer(platform::Answer::kOk);
  const FinalizeOutcome outcome = FinalizeLoads(Context());
  EXPECT_EQ(outcome.status, FinalizeStatus::kAuditErrors);
  EXPECT_EQ(ui_.messages().back().text, "No logs in the load!");
  EXPECT_EQ(ui_.messages().back().caption, "Errors Found - Finalize Cancelled");
  std::string finalized;
  (void)tablestore::ReadSetting(store(), tablestore::kBlockSystem, tablestore::kKeyFinalized,
                                finalized);
  EXPECT_EQ(finalized, tablestore::kNo);
}

TEST_F(LoadActionsTest, FinalizedLoadGetsItsMissingAuditReportAndUnfinalizes) {
  AddLog();
  EXPECT_EQ(Unfinalize(store(), ui_), UnfinalizeStatus::kNotFinalized);
  ui_.QueueAnswer(platform::Answer::kOk);
  ASSERT_EQ(FinalizeLoads(Context()).status, FinalizeStatus::kFinalized);
  // Interrupted before its report: the report is all a second finalize does.
  ASSERT_EQ(files_.Delete("/fault/load.audit"), platform::FileResult::kOk);
  const size_t entries = ui_.messages().size();
  const FinalizeOutcome again = FinalizeLoads(Context());
  EXPECT_EQ(again.status, FinalizeStatus::kAlreadyFinalized);
  EXPECT_EQ(again.auditReportPath, "/fault/load.audit");
  EXPECT_TRUE(disk_.Exists("/fault/load.audit"));
  EXPECT_EQ(FinalizeLoads(Context()).auditReportPath, "");  // it is there now
  EXPECT_EQ(ui_.messages().size(), entries + 1);            // "Audit report created"

  EXPECT_EQ(Unfinalize(store(), ui_), UnfinalizeStatus::kUnfinalized);
  EXPECT_EQ(LastJournalEntry(), "Load un-finalized");
  EXPECT_EQ(ui_.messages().back().caption, "Load un-finalized");
}

TEST_F(LoadActionsTest, FileTypeChangesOnlyWithoutLogsAndWithOneLoad) {
  EXPECT_EQ(ParseFileType("Production"), std::nullopt);  // the texts compare exactly
  EXPECT_EQ(SetFileType(store(), ui_, *ParseFileType("check scale")), FileTypeStatus::kStored);
  std::string type;
  (void)tablestore::ReadSetting(store(), tablestore::kBlockSystem, tablestore::kKeyFileType, type);
  EXPECT_EQ(type, "check scale");
  AddLoad(store(), slots().load, "S2", "2");
  EXPECT_EQ(SetFileType(store(), ui_, FileType::kProduction), FileTypeStatus::kLocked);
  ASSERT_GE(store().RemoveRow(slots().load, 1), 0);
  AddLog();
  EXPECT_EQ(SetFileType(store(), ui_, FileType::kProduction), FileTypeStatus::kLocked);
}

}  // namespace
}  // namespace app
