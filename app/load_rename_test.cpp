#include "app/load_rename.h"

#include <gtest/gtest.h>

#include "app/scale_files.h"
#include "app/test_files.h"
#include "mkstore/fault_file_system.h"
#include "platform/clock.h"
#include "platform/scripted_ui.h"

namespace app {
namespace {

constexpr const char* kDefaultSetup = VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl";

// A scale file with loads (Creek, 1) and (Creek, 2), a log of each, a
// segment of the first.
class LoadRenameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    disk_.SetContents("/f/Default.SetupScl", testing::ReadText(kDefaultSetup));
    ASSERT_EQ(files_.CreateFromSetup("/f/Default.SetupScl", "/f/a.scl"), FileOutcome::kCreated);
    Put("Load", 0, "Creek", "1");
    Put("Load", -1, "Creek", "2");
    Put("Log", -1, "Creek", "1");
    Put("Log", -1, "Creek", "2");
    Put("Seg", -1, "Creek", "1");
    ASSERT_EQ(store().Commit(), 0);
  }

  tablestore::TableStore& store() { return *files_.store(); }

  // Writes SALE and LLR into row `row` of `table` (a new row when -1).
  void Put(const std::string& table, int row, const std::string& sale, const std::string& llr) {
    const int slot = store().FindView(table);
    if (row < 0) row = store().AddRow(slot, -1);
    ASSERT_EQ(store().SetText(slot, row, store().ColumnIndex(slot, "SALE"), sale), 0);
    ASSERT_EQ(store().SetText(slot, row, store().ColumnIndex(slot, "LLR"), llr), 0);
  }

  // "SALE/LLR" of every row of `table`.
  std::vector<std::string> Keys(const std::string& table) {
    const int slot = store().FindView(table);
    std::vector<std::string> keys;
    for (int row = 0; row < store().RowCount(slot); ++row) {
      std::string sale, llr;
      store().GetText(slot, row, store().ColumnIndex(slot, "SALE"), sale);
      store().GetText(slot, row, store().ColumnIndex(slot, "LLR"), llr);
      keys.push_back(sale + "/" + llr);
    }
    return keys;
  }

  std::vector<std::string> Journal() {
    const int slot = store().OpenAView("MessageLog", false);
    std::vector<std::string> entries;
    for (int row = 0; row < store().RowCount(slot); ++row) {
      std::string msg;
      store().GetText(slot, row, store().ColumnIndex(slot, "Msg"), msg);
      entries.push_back(msg);
    }
    (void)store().ReleaseView(slot);
    return entries;
  }

  mk::FaultFileSystem disk_;
  testing::FaultFiles fs_{disk_};
  platform::FixedClock clock_{platform::LocalDateTime{2010, 11, 5, 9, 5, 0}};
  platform::ScriptedUi ui_;
  ScaleFiles files_{ui_, fs_, clock_, "/f/", &disk_};
};

TEST_F(LoadRenameTest, RenamesEveryTableAndJournalsEachColumn) {
  EXPECT_EQ(RenameChoices(store(), "LLR"), (std::vector<std::string>{"1", "2"}));
  const RenameOutcome outcome = RenameSaleOrLlr(store(), ui_, {"Creek", "North"}, {"2", "9"});
  EXPECT_EQ(outcome.status, RenameStatus::kRenamed);
  EXPECT_EQ(outcome.rows, 5 + 2);
  EXPECT_EQ(Keys("Load"), (std::vector<std::string>{"North/1", "North/9"}));
  EXPECT_EQ(Keys("Log"), (std::vector<std::string>{"North/1", "North/9"}));
  EXPECT_EQ(Keys("Seg"), (std::vector<std::string>{"North/1"}));
  const std::vector<std::string> journal = Journal();
  ASSERT_GE(journal.size(), 2u);
  EXPECT_EQ(journal[journal.size() - 2], "Changed SALE from Creek to North");
  EXPECT_EQ(journal.back(), "Changed LLR from 2 to 9");
}

// Both renames and their journal entries reach the file in one commit: with
// any write failing and the machine stopping there, the file holds all of
// them or none.
TEST_F(LoadRenameTest, RenamesAndTheirEntriesAreOneCommit) {
  const std::vector<std::string> before = Journal();
  const std::string image = disk_.Contents("/f/a.scl");
  bool sawOld = false, sawNew = false;
  for (int n = 1; !sawOld || !sawNew; ++n) {
    SCOPED_TRACE("write " + std::to_string(n) + " fails");
    ASSERT_LT(n, 100);
    mk::FaultFileSystem disk;
    testing::FaultFiles fs(disk);
    disk.SetContents("/f/a.scl", image);
    platform::ScriptedUi ui;
    ScaleFiles files(ui, fs, clock_, "/f/", &disk);
    ASSERT_EQ(files.OpenSequence("/f/a.scl"), FileOutcome::kOpened);
    disk.FailWrite(n);
    (void)RenameSaleOrLlr(*files.store(), ui, {"Creek", "North"}, {"2", "9"});
    files.DropChanges();
    disk.Crash();
    tablestore::TableStore reader(&disk);
    ASSERT_EQ(reader.Open("/f/a.scl", false), 0);
    const auto column = [&reader](const char* table, const char* name) {
      const int slot = reader.OpenAView(table, false);
      std::vector<std::string> values(static_cast<size_t>(reader.RowCount(slot)));
      for (int row = 0; row < reader.RowCount(slot); ++row) {
        reader.GetText(slot, row, reader.ColumnIndex(slot, name), values[static_cast<size_t>(row)]);
      }
      return values;
    };
    const std::vector<std::string> journal = column("MessageLog", "Msg");
    const bool renamed = journal != before;
    (renamed ? sawNew : sawOld) = true;
    if (renamed) {
      ASSERT_EQ(journal.size(), before.size() + 2);
      EXPECT_EQ(journal.back(), "Changed LLR from 2 to 9");
    }
    for (const std::string& sale : column("Load", "SALE")) {
      EXPECT_EQ(sale, renamed ? "North" : "Creek");
    }
  }
}

TEST_F(LoadRenameTest, RefusalsChangeNothing) {
  const std::vector<std::string> journal = Journal();
  const struct {
    ValueChange sale, llr;
    const char* reason;
  } cases[] = {
      {{},
       {"2", "1"},
       "the file already has a load with SALE Creek and LLR 1: renaming would "
       "merge two loads"},
      {{"Creek", "A,B"}, {}, "SALE can't have commas"},
      {{"Creek", std::string(21, 'x')}, {}, "the new SALE is longer than 20 characters"},
      {{"Bay", "North"}, {}, "no load of the file has the SALE Bay"},
  };
  for (const auto& c : cases) {
    const RenameOutcome outcome = RenameSaleOrLlr(store(), ui_, c.sale, c.llr);
    EXPECT_EQ(outcome.status, RenameStatus::kRefused) << c.reason;
    EXPECT_EQ(outcome.reason, c.reason);
  }
  EXPECT_EQ(RenameSaleOrLlr(store(), ui_, {"Creek", ""}, {"1", ""}).status, RenameStatus::kNothing);
  EXPECT_EQ(Keys("Load"), (std::vector<std::string>{"Creek/1", "Creek/2"}));
  EXPECT_EQ(Journal(), journal);
  // Letter case: "creek" would be the same sale to every selection.
  Put("Load", -1, "Bay", "1");
  EXPECT_EQ(RenameSaleOrLlr(store(), ui_, {"Bay", "creek"}, {}).status, RenameStatus::kRefused);
}

TEST_F(LoadRenameTest, LengthCountsCharactersAndTheOldValueIsNoChange) {
  std::string accented;
  for (int i = 0; i < 20; ++i) accented += "\xc3\xa9";  // 20 characters, 40 bytes
  EXPECT_EQ(RenameSaleOrLlr(store(), ui_, {"Creek", "Creek"}, {}).status, RenameStatus::kNothing);
  EXPECT_EQ(RenameSaleOrLlr(store(), ui_, {"Creek", accented}, {}).status, RenameStatus::kRenamed);
}

}  // namespace
}  // namespace app
