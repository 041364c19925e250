#include "setup/make_setup_file.h"

#include "app/test_files.h"
#include "dataentry/data_entry_screen.h"
#include "setup/setup_test_fixture.h"
#include "tablestore/settings.h"

namespace setup {
namespace {

using app::testing::GlobalValue;
using app::testing::ReadRows;

class MakeSetupFileTest : public testing::SetupFixture {
 protected:
  // A load with a log, a sale and a finalized flag, so there is load data.
  void MakeLoadWithData() {
    MakeLoad();
    tablestore::TableStore& store = Store();
    const int log = app_->slots().log;
    ASSERT_GE(store.AddRow(log, -1), 0);
    ASSERT_EQ(tablestore::WriteSetting(store, "System", "Finalized", "YES"), 0);
    ASSERT_EQ(store.Commit(), 0);
  }
};

TEST(SetupFilePathTest, CutExtensionIsCompleted) {
  EXPECT_EQ(SetupFilePath("/d/X.Set"), "/d/X.SetupScl");
  EXPECT_EQ(SetupFilePath("/d/X.SetupScl"), "/d/X.SetupScl");
  EXPECT_EQ(SetupFilePath("/d/X.set"), "/d/X.set");
}

TEST_F(MakeSetupFileTest, CopyHoldsNoLoadDataAndIsNotFinalized) {
  MakeLoadWithData();
  const std::string target = folder_ / "Field.Set";
  ui_.QueueSaveFile(target);
  ASSERT_EQ(MakeSetupFile(*app_), SetupFileOutcome::kMade);
  const std::string made = folder_ / "Field.SetupScl";
  ASSERT_EQ(ui_.file_dialogs().size(), 1u);
  EXPECT_EQ(ui_.file_dialogs()[0].dialog.title, "New setup name");
  EXPECT_EQ(ui_.file_dialogs()[0].dialog.proposed_name, "MyNewSetup.SetupScl");
  for (const char* table : {"MessageLog", "SaleData", "Load", "Log", "Seg", "DefB", "DefC"}) {
    EXPECT_TRUE(ReadRows(made, table).empty()) << table;
  }
  EXPECT_FALSE(ReadRows(made, "Tapers").empty());
  EXPECT_FALSE(ReadRows(made, "DataDictionary").empty());
  EXPECT_EQ(GlobalValue(made, "System", "Finalized"), "NO");
  EXPECT_EQ(GlobalValue(path_, "System", "Finalized"), "YES");  // the open file is untouched
  EXPECT_EQ(ReadRows(path_, "Log").size(), 1u);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, made);
  EXPECT_EQ(ui_.messages()[0].caption, "New Setup File Created");
}

TEST_F(MakeSetupFileTest, ExistingFileIsBackedUpAndTheMessageSaysSo) {
  MakeLoad();
  const std::string target = folder_ / "Field.SetupScl";
  ASSERT_TRUE(app::testing::WriteText(target, "old setup"));
  ui_.QueueSaveFile(target);
  ASSERT_EQ(MakeSetupFile(*app_), SetupFileOutcome::kMade);
  EXPECT_EQ(app::testing::ReadText(target + ".BAK1"), "old setup");
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text,
            target + "\nExisting setup file by the same name backed up as " + target + ".BAK1");
}

TEST_F(MakeSetupFileTest, CancelAndTheOpenFilesOwnNameMakeNothing) {
  MakeLoad();
  ui_.QueueSaveFile(std::nullopt);
  EXPECT_EQ(MakeSetupFile(*app_), SetupFileOutcome::kCancelled);
  ui_.QueueSaveFile(path_);
  EXPECT_EQ(MakeSetupFile(*app_), SetupFileOutcome::kFailed);
  EXPECT_FALSE(fs_.Exists(path_ + ".BAK1"));
  EXPECT_EQ(ui_.messages().back().caption, "Error");
}

// The road a field office takes: change the columns, make a setup file,
// create a scale file from it and enter logs.
TEST_F(MakeSetupFileTest, ScaleFileFromNewSetupShowsTheChangedColumns) {
  MakeLoad();
  SetupScreen& screen = OpenScreen();
  windows_.select = [](ColumnSelectionScreen& s) {
    s.FocusSelected();
    s.ChooseSelected(0);
    for (int i = 0; i < 5; ++i) s.Down();  // SALE moves behind B
    s.ChooseSelected(6);                   // G
    s.Exclude();
    return true;
  };
  screen.OnChangeFields();
  const std::string columns = "LLR,LOG,S,SP,P,SALE,B,LN,SD,LD,GCV,NCV,VOID,REM";
  ASSERT_EQ(screen.view().fields, columns);
  const std::string setupPath = folder_ / "Field.SetupScl";
  ui_.QueueSaveFile(setupPath);
  ASSERT_EQ(MakeSetupFile(*app_), SetupFileOutcome::kMade);
  screen_.reset();

  ASSERT_EQ(app_->files.CreateFromSetup(setupPath, folder_ / "new.scl"),
            app::FileOutcome::kCreated);
  ASSERT_TRUE(app_->files.SetLoadDesign("100", "Cubic"));
  dataentry::DataEntryScreen entry(*app_, nullptr);
  ASSERT_EQ(entry.Open(), dataentry::DataEntryOpen::kOpened);
  std::string shown;
  for (int c = 0; c < entry.LogGrid().ColumnCount(); ++c) {
    if (!entry.LogGrid().IsColumnHidden(c)) {
      shown += (shown.empty() ? "" : ",") + entry.LogGrid().ColumnName(c);
    }
  }
  EXPECT_NE(shown.find(columns), std::string::npos) << shown;
  EXPECT_LT(entry.LogGrid().ColumnIndex("G"), 0) << shown;
}

}  // namespace
}  // namespace setup
