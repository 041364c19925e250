#include "reports/report_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/file_system.h"
#include "platform/mem_file_system.h"
#include "platform/scripted_ui.h"

namespace reports {
namespace {

class ReportFileTest : public ::testing::Test {
 protected:
  platform::MemFileSystem files_;
  platform::ScriptedUi ui_{[](const std::string& failure) { ADD_FAILURE() << failure; }};
};

TEST_F(ReportFileTest, WritesEightBitTextByteForByte) {
  const std::string text = "Caf\xC3\xA9 100%d\n\xE2\x82\xAC 5\r\n\f\xE6\xBC\xA2\n";
  ASSERT_TRUE(WriteReportFile(files_, "/data/load.clg", text, &ui_));
  ASSERT_NE(files_.File("/data/load.clg"), nullptr);
  EXPECT_EQ(*files_.File("/data/load.clg"), "Caf\xE9 100%d\n\x80 5\r\n\f?\n");
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(ReportFileTest, ReplacesAnExistingFile) {
  files_.SetFile("/data/load.cmp", std::string(5000, 'x'));
  ASSERT_TRUE(WriteReportFile(files_, "/data/load.cmp", "short\n", &ui_));
  EXPECT_EQ(*files_.File("/data/load.cmp"), "short\n");
}

TEST_F(ReportFileTest, FileThatCannotBeCreatedShowsTheMessage) {
  files_.SetFile("/data/load.clg", "old");
  files_.SetWriteFails("/data/load.clg", true);
  EXPECT_FALSE(WriteReportFile(files_, "/data/load.clg", "new\n", &ui_));
  EXPECT_EQ(*files_.File("/data/load.clg"), "old");
  ASSERT_EQ(ui_.messages().size(), 1u);
  const platform::Message& message = ui_.messages()[0];
  EXPECT_EQ(message.caption, "Error Creating File");
  EXPECT_EQ(message.text, "/data/load.clg could not be written: Permission denied.");
  EXPECT_EQ(message.icon, platform::Icon::kStop);
  EXPECT_EQ(message.buttons, platform::Buttons::kOk);
}

TEST_F(ReportFileTest, SilentWhenNoUiIsGiven) {
  files_.SetWriteFails("/data/load.audit", true);
  EXPECT_FALSE(WriteReportFile(files_, "/data/load.audit", "text", nullptr));
  EXPECT_EQ(files_.File("/data/load.audit"), nullptr);
}

TEST_F(ReportFileTest, WritesARealFileAndFailsInAMissingFolder) {
  char folder[] = "/tmp/report_file_test_XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string path = std::string(folder) + "/load.clg";
  platform::PosixFileSystem disk;
  ASSERT_EQ(disk.WriteFile(path, "an older and longer report\n"), platform::FileResult::kOk);
  ASSERT_TRUE(WriteReportFile(disk, path, "Page: 1\n\f", &ui_));
  std::string bytes;
  ASSERT_EQ(disk.ReadFile(path, 1000, &bytes), platform::FileResult::kOk);
  EXPECT_EQ(bytes, "Page: 1\n\f");
  const std::string missing = std::string(folder) + "/no/such/folder/load.clg";
  EXPECT_FALSE(WriteReportFile(disk, missing, "x", &ui_));
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, missing + " could not be written: No such file or directory.");
  EXPECT_EQ(disk.Delete(path), platform::FileResult::kOk);
  rmdir(folder);
}

}  // namespace
}  // namespace reports
