#include "setup/other_options_screen.h"

#include "app/test_files.h"
#include "setup/setup_test_fixture.h"
#include "tablestore/settings.h"

namespace setup {
namespace {

using app::testing::GlobalValue;
using app::testing::ReadRows;

class OtherOptionsTest : public testing::SetupFixture {
 protected:
  // Removes the Globals rows of block Option, key `key`.
  void DropOption(const std::string& key) {
    tablestore::TableStore& store = Store();
    const int globals = app_->slots().globals;
    for (int row = store.RowCount(globals) - 1; row >= 0; --row) {
      std::string k;
      store.GetText(globals, row, 1, k);
      if (k == key) {
        ASSERT_GE(store.RemoveRow(globals, row), 0);
      }
    }
    ASSERT_EQ(store.Commit(), 0);
  }
};

TEST_F(OtherOptionsTest, MissingCloseHitRowIsCreatedOffWithTheBoxClear) {
  MakeLoad();
  DropOption("CloseHitWindow");
  ASSERT_EQ(GlobalValue(path_, "Option", "CloseHitWindow"), "<missing>");
  OtherOptionsScreen options(*app_);
  ASSERT_EQ(options.Open(), OtherOptionsOpen::kOpened);
  EXPECT_EQ(GlobalValue(path_, "Option", "CloseHitWindow"), "-1");
  EXPECT_FALSE(options.view().closeHitChecked);
  EXPECT_FALSE(options.view().closeHitListEnabled);
  EXPECT_EQ(options.view().closeHitIndex, -1);
}

TEST_F(OtherOptionsTest, CancelLeavesGlobalsAsOpenedAndOkWritesTheFourValues) {
  MakeLoad();
  DropOption("AppendAfterDefect");
  {
    OtherOptionsScreen options(*app_);
    ASSERT_EQ(options.Open(), OtherOptionsOpen::kOpened);
    options.OnToggle(YesNoOption::kAuditEachLog, true);
    options.OnCloseHitBox(true);
    options.OnCloseHitChosen(4);
  }  // Cancel: OnOk never runs
  const auto afterCancel = ReadRows(path_, "Globals");
  EXPECT_EQ(GlobalValue(path_, "Option", "AppendAfterDefect"), "NO");  // created on opening
  EXPECT_EQ(GlobalValue(path_, "Option", "AuditEachLogBeforeAppend"), "NO");

  OtherOptionsScreen options(*app_);
  ASSERT_EQ(options.Open(), OtherOptionsOpen::kOpened);
  EXPECT_EQ(ReadRows(path_, "Globals"), afterCancel);
  options.OnToggle(YesNoOption::kAppendDate, true);
  options.OnCloseHitBox(true);
  EXPECT_TRUE(options.view().closeHitListEnabled);
  EXPECT_EQ(options.view().closeHitIndex, -1);
  options.OnCloseHitChosen(4);
  EXPECT_EQ(options.view().closeHit, "1.5");
  ASSERT_TRUE(options.OnOk());
  EXPECT_EQ(GlobalValue(path_, "Option", "AppendDateToFileName"), "YES");
  EXPECT_EQ(GlobalValue(path_, "Option", "CloseHitWindow"), "1.5");

  OtherOptionsScreen again(*app_);
  ASSERT_EQ(again.Open(), OtherOptionsOpen::kOpened);
  EXPECT_TRUE(again.view().checked[static_cast<size_t>(YesNoOption::kAppendDate)]);
  EXPECT_FALSE(again.view().checked[static_cast<size_t>(YesNoOption::kAppendAfterDefect)]);
  EXPECT_EQ(again.view().closeHitIndex, 4);
  again.OnCloseHitBox(false);
  EXPECT_EQ(again.view().closeHit, "-1");
  EXPECT_EQ(again.view().closeHitIndex, -1);
}

TEST_F(OtherOptionsTest, TapersClosedWithOkIsJournaled) {
  MakeLoad();
  OtherOptionsScreen options(*app_);
  ASSERT_EQ(options.Open(), OtherOptionsOpen::kOpened);
  options.OnTapersClosed(false);
  options.OnTapersClosed(true);
  const auto journal = app::testing::JournalMessages(path_);
  ASSERT_FALSE(journal.empty());
  EXPECT_EQ(journal.back(), "Exited 'Tapers for Butt Logs dialog' with OK");
  EXPECT_EQ(std::count(journal.begin(), journal.end(), journal.back()), 1);
}

}  // namespace
}  // namespace setup
