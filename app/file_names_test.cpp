#include "app/file_names.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/mem_file_system.h"

namespace app {
namespace {

class FileNamesTest : public ::testing::Test {
 protected:
  platform::MemFileSystem fs_;
};

TEST_F(FileNamesTest, FirstBackupIsBak1) {
  fs_.SetFile("/d/X.scl", "x");
  EXPECT_EQ(BackupName(fs_, "/d/X.scl"), "/d/X.scl.BAK1");
}

TEST_F(FileNamesTest, BackupTakesTheLowestFreeNumber) {
  fs_.SetFile("/d/X.scl", "x");
  fs_.SetFile("/d/X.scl.BAK1", "old");
  EXPECT_EQ(BackupName(fs_, "/d/X.scl"), "/d/X.scl.BAK2");
  fs_.SetFile("/d/X.scl.BAK3", "older");
  EXPECT_EQ(BackupName(fs_, "/d/X.scl"), "/d/X.scl.BAK2");
  fs_.SetFile("/d/X.scl.BAK2", "x");
  EXPECT_EQ(BackupName(fs_, "/d/X.scl"), "/d/X.scl.BAK4");
}

TEST_F(FileNamesTest, DatePrefixIsYearMonthDay) {
  EXPECT_EQ(DatePrefix(platform::LocalDateTime{2010, 11, 5, 9, 5, 0}), "20101105");
  EXPECT_EQ(DatePrefix(platform::LocalDateTime{2011, 1, 31, 0, 0, 0}), "20110131");
}

TEST_F(FileNamesTest, PrefixGoesInFrontOfTheFileName) {
  EXPECT_EQ(WithFileNamePrefix("/data/loads/load.scl", "20101105"), "/data/loads/20101105load.scl");
  EXPECT_EQ(WithFileNamePrefix("load.scl", "20101105"), "20101105load.scl");
  EXPECT_EQ(WithFileNamePrefix("/load.scl", "20101105"), "/20101105load.scl");
}

TEST_F(FileNamesTest, FileNameAndFolderSplitAtTheLastSlash) {
  EXPECT_EQ(FileNameOf("/a/b.scl/c.scl"), "c.scl");
  EXPECT_EQ(FolderOf("/a/b.scl/c.scl"), "/a/b.scl/");
  EXPECT_EQ(FileNameOf("c.scl"), "c.scl");
  EXPECT_EQ(FolderOf("c.scl"), "");
  EXPECT_EQ(FileNameOf("/a/"), "");
  EXPECT_EQ(FolderOf("/a/"), "/a/");
}

TEST_F(FileNamesTest, RememberedFolderStopsAtTheFirstBlank) {
  EXPECT_EQ(ParseRememberedFolder("/media/card/My Loads/"), "/media/card/My");
  EXPECT_EQ(ParseRememberedFolder("  /media/card/\n"), "/media/card/");
  EXPECT_EQ(ParseRememberedFolder("/a\tb"), "/a");
  EXPECT_EQ(ParseRememberedFolder(""), "");
  EXPECT_EQ(ParseRememberedFolder(" \n "), "");
}

}  // namespace
}  // namespace app
