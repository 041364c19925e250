#include "tablestore/settings.h"

#include <gtest/gtest.h>

#include "tablestore/test_util.h"

namespace tablestore {
namespace {

using testing::OpenCopyOf;
using testing::Rows;
using testing::TempPath;

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = TempPath("settings.scl");
    ASSERT_EQ(store_.Open(path_, false), 0);
    ASSERT_EQ(store_.DefineTable("Globals[Block:S,Key:S,Value:S]"), 0);
  }

  std::vector<std::string> GlobalsRows() {
    TableStore& s = store_;
    const int g = s.FindView(kGlobals) >= 0 ? s.FindView(kGlobals) : s.OpenAView(kGlobals, false);
    return Rows(s, g);
  }

  std::string path_;
  TableStore store_;
};

// ---- Reading and writing -----------------------------------------------------------

TEST_F(SettingsTest, ReadAndWriteAnExistingSetting) {
  ASSERT_EQ(AddSetting(store_, "System", "FileType", "production"), 0);
  std::string value;
  EXPECT_EQ(ReadSetting(store_, "System", "FileType", value), 0);
  EXPECT_EQ(value, "production");
  EXPECT_EQ(WriteSetting(store_, "System", "FileType", "check scale"), 0);
  EXPECT_EQ(GlobalsRows(), std::vector<std::string>{"System|FileType|check scale"});
}

TEST_F(SettingsTest, BlockAndKeyMatchStoredRowsInAnotherLetterCase) {
  AddSetting(store_, "SYSTEM", "finalized", "NO");
  std::string value;
  EXPECT_EQ(ReadSetting(store_, "System", "Finalized", value), 0);
  EXPECT_EQ(value, "NO");
}

TEST_F(SettingsTest, MissingSettingReadsAsMinusThreeAndIsNotWritten) {
  std::string value = "untouched";
  EXPECT_EQ(ReadSetting(store_, "Option", "AppendAfterDefect", value), -3);
  EXPECT_EQ(value, "untouched");
  EXPECT_EQ(WriteSetting(store_, "DefField", "Log", "LN"), -3);
  EXPECT_EQ(GlobalsRows(), std::vector<std::string>{});
}

TEST_F(SettingsTest, ADuplicatedSettingReadsAsMissingAndCannotBeWritten) {
  AddSetting(store_, "System", "Finalized", "NO");
  AddSetting(store_, "System", "Finalized", "YES");
  std::string value;
  EXPECT_EQ(ReadSetting(store_, "System", "Finalized", value), -3);
  EXPECT_EQ(WriteSetting(store_, "System", "Finalized", "YES"), -3);
  EXPECT_EQ(GlobalsRows(),
            (std::vector<std::string>{"System|Finalized|NO", "System|Finalized|YES"}));
}

TEST_F(SettingsTest, WithoutGlobalsEverythingFails) {
  TableStore other;
  ASSERT_EQ(other.Open(TempPath("noglobals.scl"), false), 0);
  std::string value;
  EXPECT_EQ(ReadSetting(other, "System", "FileType", value), -1);
  EXPECT_EQ(WriteSetting(other, "System", "FileType", "x"), -1);
  EXPECT_EQ(AddSetting(other, "System", "FileType", "x"), -1);
  EXPECT_EQ(EnsureSetting(other, "System", "Finalized", "NO"), -1);
  EXPECT_EQ(StoreSetting(other, "System", "FileType", "x"), -1);
  EXPECT_EQ(AddMissingOptions(other), -1);
  EXPECT_EQ(KeyLetter(other, "LogScreen"), "L");
}

TEST_F(SettingsTest, GlobalsIsReleasedOnlyWhenOpenedForTheCall) {
  AddSetting(store_, "System", "FileType", "production");
  EXPECT_EQ(store_.FindView(kGlobals), -1);
  const int g = store_.OpenAView(kGlobals, false);
  AddSetting(store_, "System", "Finalized", "NO");
  EXPECT_EQ(store_.FindView(kGlobals), g);
  EXPECT_EQ(store_.RowCount(g), 2);
}

TEST_F(SettingsTest, WriteOnGlobalsOpenedInMemoryIsCommittedAtOnce) {
  AddSetting(store_, "System", "StructureVersion", "20060216");
  ASSERT_EQ(store_.Commit(), 0);
  ASSERT_EQ(store_.Close(), 0);
  TableStore writer;
  ASSERT_EQ(writer.Open(path_, true), 0);
  EXPECT_EQ(WriteSetting(writer, "System", "StructureVersion", "20100830"), 0);
  TableStore reader;
  ASSERT_EQ(OpenCopyOf(reader, path_), 0);
  std::string value;
  EXPECT_EQ(ReadSetting(reader, "System", "StructureVersion", value), 0);
  EXPECT_EQ(value, "20100830");
}

// ---- Adding missing rows --------------------------------------------------------------

TEST_F(SettingsTest, AFileWithoutFinalizedGainsNo) {
  EXPECT_EQ(EnsureSetting(store_, kBlockSystem, kKeyFinalized, kNo), 0);
  EXPECT_EQ(GlobalsRows(), std::vector<std::string>{"System|Finalized|NO"});
  // Present (even with another value or letter case): left alone.
  WriteSetting(store_, kBlockSystem, kKeyFinalized, kYes);
  EXPECT_EQ(EnsureSetting(store_, "system", "FINALIZED", kNo), 0);
  EXPECT_EQ(GlobalsRows(), std::vector<std::string>{"System|Finalized|YES"});
}

TEST_F(SettingsTest, EnsureSettingLeavesADuplicateAlone) {
  AddSetting(store_, "System", "Finalized", "NO");
  AddSetting(store_, "System", "Finalized", "NO");
  EXPECT_EQ(EnsureSetting(store_, "System", "Finalized", "NO"), 0);
  EXPECT_EQ(GlobalsRows().size(), 2u);
}

TEST_F(SettingsTest, ChangingTheFileTypeOfAFileWithoutTheRowAddsIt) {
  EXPECT_EQ(StoreSetting(store_, kBlockSystem, kKeyFileType, "check scale"), 0);
  EXPECT_EQ(GlobalsRows(), std::vector<std::string>{"System|FileType|check scale"});
  EXPECT_EQ(StoreSetting(store_, kBlockSystem, kKeyFileType, "non-scale loads"), 0);
  EXPECT_EQ(GlobalsRows(), std::vector<std::string>{"System|FileType|non-scale loads"});
}

TEST_F(SettingsTest, StoreSettingWritesTheFirstOfDuplicates) {
  AddSetting(store_, "System", "StructureVersion", "1");
  AddSetting(store_, "System", "StructureVersion", "2");
  EXPECT_EQ(StoreSetting(store_, "System", "StructureVersion", "20100830"), 0);
  EXPECT_EQ(GlobalsRows(), (std::vector<std::string>{"System|StructureVersion|20100830",
                                                     "System|StructureVersion|2"}));
}

TEST_F(SettingsTest, OtherOptionsGetTheirDefaultsOnce) {
  AddSetting(store_, "Option", "AppendAfterDefect", "YES");
  EXPECT_EQ(AddMissingOptions(store_), 0);
  EXPECT_EQ(AddMissingOptions(store_), 0);
  EXPECT_EQ(GlobalsRows(), (std::vector<std::string>{
                               "Option|AppendAfterDefect|YES",
                               "Option|AppendDateToFileName|NO",
                               "Option|AuditEachLogBeforeAppend|NO",
                               "Option|CloseHitWindow|-1",
                           }));
}

// ---- Key letters -------------------------------------------------------------------------

TEST_F(SettingsTest, KeyLettersDefaultWhenMissingOrEmptyAndAreNotStored) {
  AddSetting(store_, "Keys", "LogScreen", "");
  AddSetting(store_, "keys", "addrec", "N");
  EXPECT_EQ(KeyLetter(store_, "LogScreen"), "L");
  EXPECT_EQ(KeyLetter(store_, "AddRec"), "N");
  EXPECT_EQ(KeyLetter(store_, "SegmentScreen"), "S");
  EXPECT_EQ(KeyLetter(store_, "DefectScreen"), "D");
  EXPECT_EQ(KeyLetter(store_, "VolumeCalc"), "V");
  EXPECT_EQ(KeyLetter(store_, "OK"), "O");
  EXPECT_EQ(KeyLetter(store_, "DelRec"), "X");
  EXPECT_EQ(KeyLetter(store_, "Unknown"), "");
  EXPECT_EQ(GlobalsRows().size(), 2u);
}

}  // namespace
}  // namespace tablestore
