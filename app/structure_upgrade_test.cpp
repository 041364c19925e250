#include "app/structure_upgrade.h"

#include <gtest/gtest.h>

#include <climits>

#include "app/test_files.h"
#include "mkstore/fault_file_system.h"
#include "platform/scripted_ui.h"
#include "tablestore/table_store.h"

namespace app {
namespace {

using testing::BuildStorage;
using testing::SmallFileText;

class StructureUpgradeTest : public ::testing::Test {
 protected:
  // Builds the small file at `version` and runs the upgrade on it as the open
  // sequence does (DataDictionary and Globals open in slots).
  UpgradeResult Upgrade(const std::string& version, bool withTapers = false) {
    std::string built = BuildStorage(path_, SmallFileText(version, withTapers),
                                     {"DataDictionary", "Globals", "Load", "Log", "KZ"});
    EXPECT_EQ(built, "");
    tablestore::TableStore store;
    EXPECT_EQ(store.Open(path_, false), 0);
    store.OpenAView("DataDictionary", false);
    store.OpenAView("Globals", false);
    UpgradeResult result = UpgradeStructure(store, ui_);
    store.Commit();
    return result;
  }

  // The DataDictionary rows of `table`, as TableName..Order1 texts.
  std::vector<std::vector<std::string>> DictionaryRows(const std::string& table,
                                                       const std::string& column = "") {
    std::vector<std::vector<std::string>> found;
    for (auto& row : testing::ReadRows(path_, "DataDictionary")) {
      if (row[0] == table && (column.empty() || row[3] == column)) found.push_back(row);
    }
    return found;
  }

  testing::TempFolder folder_;
  std::string path_ = folder_ / "load.scl";
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
};

// Column indices in a DataDictionary row.
constexpr size_t kLength = 5, kDefault = 10, kOrder1 = 13;

TEST_F(StructureUpgradeTest, ParsesVersionsLikeTheWideIntegerParse) {
  EXPECT_EQ(ParseVersion("20100830"), 20100830);
  EXPECT_EQ(ParseVersion("  20060216"), 20060216);
  EXPECT_EQ(ParseVersion("20060208abc"), 20060208);
  EXPECT_EQ(ParseVersion("2006"), 2006);
  EXPECT_EQ(ParseVersion("abc"), 0);
  EXPECT_EQ(ParseVersion(""), 0);
  EXPECT_EQ(ParseVersion("-20100830"), -20100830);
  EXPECT_EQ(ParseVersion("99999999999999999999999"), LONG_MAX);
}

TEST_F(StructureUpgradeTest, OldestFileGoesThroughEveryStepInOneOpen) {
  EXPECT_EQ(Upgrade("20050902"), UpgradeResult::kCurrent);
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_EQ(testing::GlobalValue(path_, "System", "StructureVersion"), "20100830");
  EXPECT_EQ(testing::JournalMessages(path_),
            (std::vector<std::string>{"Data structure version updated to 20060208",
                                      "Data structure version updated to 20060216",
                                      "Data structure version updated to 20100830"}));
  EXPECT_EQ(testing::ColumnNames(path_, "Log"), "SALE,LLR,LOG,S,P,LN,OverrideVolume,SkipSeg");
}

TEST_F(StructureUpgradeTest, RebuildingLogKeepsItsRows) {
  Upgrade("20050902");
  auto rows = testing::ReadRows(path_, "Log");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0],
            (std::vector<std::string>{"Pine Ridge", "1001", "1", "1", "1", "32", "0", "0"}));
  EXPECT_EQ(rows[1][5], "16");
}

TEST_F(StructureUpgradeTest, NewDictionaryRowsCarryTheirDefaultsAndPositions) {
  Upgrade("20050902");
  auto overrideRows = DictionaryRows("Log", "OverrideVolume");
  ASSERT_EQ(overrideRows.size(), 1u);
  EXPECT_EQ(overrideRows[0][2], "Override Volume");
  EXPECT_EQ(overrideRows[0][kDefault], "V0");
  EXPECT_EQ(overrideRows[0][kLength], "1");
  EXPECT_EQ(overrideRows[0][kOrder1], "31");
  auto skipRows = DictionaryRows("Log", "SkipSeg");
  ASSERT_EQ(skipRows.size(), 1u);
  EXPECT_EQ(skipRows[0][2], "Skip Segmentation");
  EXPECT_EQ(skipRows[0][kDefault], "V0");
  EXPECT_EQ(skipRows[0][kOrder1], "32");
  EXPECT_EQ(DictionaryRows("Log", "P")[0][kDefault], "V1");
}

TEST_F(StructureUpgradeTest, TapersAreDescribedWithTheirLengthsAndOrder) {
  Upgrade("20060216");
  auto tapers = DictionaryRows("Tapers");
  ASSERT_EQ(tapers.size(), 5u);
  const char* names[] = {"SP", "REGION", "FOREST", "DISTRICT", "TAPER"};
  const char* types[] = {"S", "S", "S", "S", "F"};
  const char* lengths[] = {"2", "2", "2", "2", "4"};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(tapers[i][3], names[i]);
    EXPECT_EQ(tapers[i][1], types[i]);
    EXPECT_EQ(tapers[i][4], "Y");
    EXPECT_EQ(tapers[i][kLength], lengths[i]);
    EXPECT_EQ(tapers[i][kOrder1], std::to_string(i + 1));
  }
  EXPECT_EQ(tapers[4][2], "Taper per foot");
  EXPECT_EQ(testing::JournalMessages(path_),
            (std::vector<std::string>{"Data structure version updated to 20100830"}));
}

TEST_F(StructureUpgradeTest, ExistingTaperRowsAreNotAddedAgain) {
  EXPECT_EQ(Upgrade("20060216", true), UpgradeResult::kCurrent);
  EXPECT_EQ(DictionaryRows("Tapers").size(), 1u);
  EXPECT_EQ(testing::GlobalValue(path_, "System", "StructureVersion"), "20100830");
}

TEST_F(StructureUpgradeTest, InterruptedUpgradeResumesAtTheStoredVersion) {
  EXPECT_EQ(Upgrade("20060208"), UpgradeResult::kCurrent);
  EXPECT_EQ(testing::JournalMessages(path_),
            (std::vector<std::string>{"Data structure version updated to 20060216",
                                      "Data structure version updated to 20100830"}));
  EXPECT_TRUE(DictionaryRows("Log", "OverrideVolume").empty());
  EXPECT_EQ(DictionaryRows("Log", "SkipSeg").size(), 1u);
}

TEST_F(StructureUpgradeTest, CurrentFileIsLeftAlone) {
  EXPECT_EQ(Upgrade("20100830"), UpgradeResult::kCurrent);
  EXPECT_TRUE(testing::JournalMessages(path_).empty());
  EXPECT_TRUE(DictionaryRows("Tapers").empty());
  EXPECT_EQ(testing::ColumnNames(path_, "Log"), "SALE,LLR,LOG,S,P,LN");
}

TEST_F(StructureUpgradeTest, LaterVersionIsLeftAlone) {
  EXPECT_EQ(Upgrade("20200101"), UpgradeResult::kCurrent);
  EXPECT_EQ(testing::GlobalValue(path_, "System", "StructureVersion"), "20200101");
}

class StructureRefusalTest : public StructureUpgradeTest,
                             public ::testing::WithParamInterface<const char*> {};

TEST_P(StructureRefusalTest, IsRefusedWithTheOldVersionMessage) {
  EXPECT_EQ(Upgrade(GetParam()), UpgradeResult::kTooOld);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "This file has an old version of the data structure.");
  EXPECT_EQ(ui_.messages()[0].caption, "Cannot open file");
  EXPECT_EQ(ui_.messages()[0].icon, platform::Icon::kExclamation);
  EXPECT_TRUE(testing::JournalMessages(path_).empty());
  EXPECT_EQ(testing::ColumnNames(path_, "Log"), "SALE,LLR,LOG,S,P,LN");
}

INSTANTIATE_TEST_SUITE_P(TooOld, StructureRefusalTest,
                         ::testing::Values("2006", "20050901", "", "none", "-20100830"));

TEST_F(StructureUpgradeTest, FileWithoutVersionRowIsRefused) {
  std::string text = SmallFileText("x", false);
  text.replace(text.find("System,StructureVersion,x\n"), 26, "");
  ASSERT_EQ(BuildStorage(path_, text, {"DataDictionary", "Globals"}), "");
  tablestore::TableStore store;
  ASSERT_EQ(store.Open(path_, false), 0);
  EXPECT_EQ(ReadStructureVersion(store), 0);
  EXPECT_EQ(UpgradeStructure(store, ui_), UpgradeResult::kTooOld);
  EXPECT_EQ(ui_.messages().size(), 1u);
}

// Rows of DataDictionary matching `criteria` in the open store.
int DictionaryCount(tablestore::TableStore& store, const std::string& criteria) {
  const int slot = store.Select("DataDictionary", "", criteria, "", "", "");
  const int rows = store.RowCount(slot);
  (void)store.ReleaseView(slot);
  return rows;
}

// Issue 17: a step whose restructure or version could not be written must
// not record its version. With the n-th write failing, the file reopened
// after the crash is at one step's version with that step's Log columns,
// the upgrade said which version it holds, and a later upgrade completes
// without adding dictionary rows twice.
TEST_F(StructureUpgradeTest, FailedWriteLeavesTheFileAtACompletedStep) {
  ASSERT_EQ(BuildStorage(path_, SmallFileText("20050902", false),
                         {"DataDictionary", "Globals", "Load", "Log", "KZ"}),
            "");
  const std::string original = testing::ReadText(path_);
  const std::string path = "/fault/load.scl";
  int failures = 0;
  for (int n = 1;; ++n) {
    SCOPED_TRACE("write " + std::to_string(n) + " fails");
    mk::FaultFileSystem disk;
    disk.SetContents(path, original);
    platform::ScriptedUi ui;
    UpgradeResult result;
    {
      tablestore::TableStore store(&disk);
      ASSERT_EQ(store.Open(path, false), 0);
      (void)store.OpenAView("DataDictionary", false);
      (void)store.OpenAView("Globals", false);
      disk.FailWrite(n);
      result = UpgradeStructure(store, ui);
      (void)store.Close();  // what was not committed is dropped
    }
    const bool failed = disk.writes() >= n;
    disk.Crash();
    tablestore::TableStore reopened(&disk);
    ASSERT_EQ(reopened.Open(path, false), 0);
    const long version = ReadStructureVersion(reopened);
    const int log = reopened.OpenAView("Log", false);
    const bool hasOverride = reopened.ColumnIndex(log, "OverrideVolume") >= 0;
    const bool hasSkipSeg = reopened.ColumnIndex(log, "SkipSeg") >= 0;
    EXPECT_EQ(hasOverride, version >= 20060208) << version;
    EXPECT_EQ(hasSkipSeg, version >= 20060216) << version;
    if (result == UpgradeResult::kCurrent) {
      EXPECT_EQ(version, kCurrentStructureVersion);
    } else {
      ++failures;
      EXPECT_EQ(result, UpgradeResult::kFailed);
      ASSERT_EQ(ui.messages().size(), 1u);
      const std::string said = kUpgradeFailedText + std::to_string(version) + ":\n";
      EXPECT_EQ(ui.messages()[0].text.rfind(said, 0), 0u) << ui.messages()[0].text;
    }
    (void)reopened.ReleaseView(log);
    EXPECT_EQ(UpgradeStructure(reopened, ui), UpgradeResult::kCurrent);
    EXPECT_EQ(DictionaryCount(reopened, "TableName=Log,ColumnName=OverrideVolume"), 1);
    EXPECT_EQ(DictionaryCount(reopened, "TableName=Log,ColumnName=SkipSeg"), 1);
    if (!failed) break;
  }
  EXPECT_GT(failures, 0);
}

}  // namespace
}  // namespace app
