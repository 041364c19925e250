#include "platform/mem_file_system.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

class MemFileSystemTest : public ::testing::Test {
 protected:
  MemFileSystem fs_;
};

TEST_F(MemFileSystemTest, WriteReadAndExists) {
  EXPECT_FALSE(fs_.Exists("/a"));
  EXPECT_EQ(fs_.WriteFile("/a", std::string("x\0y", 3)), FileResult::kOk);
  EXPECT_TRUE(fs_.Exists("/a"));
  std::string contents;
  EXPECT_EQ(fs_.ReadFile("/a", 3, &contents), FileResult::kOk);
  EXPECT_EQ(contents, std::string("x\0y", 3));
  EXPECT_EQ(fs_.ReadFile("/a", 2, &contents), FileResult::kTooLarge);
  EXPECT_EQ(contents, "");
  EXPECT_EQ(fs_.ReadFile("/b", 2, &contents), FileResult::kNotFound);
}

TEST_F(MemFileSystemTest, RewriteReplacesOnlyAFileThatExists) {
  EXPECT_EQ(fs_.RewriteFile("/a", "x"), FileResult::kNotFound);
  EXPECT_FALSE(fs_.Exists("/a"));
  fs_.SetFile("/a", "old");
  EXPECT_EQ(fs_.RewriteFile("/a", "new"), FileResult::kOk);
  EXPECT_EQ(*fs_.File("/a"), "new");
}

TEST_F(MemFileSystemTest, CopyAndMoveNeverOverwrite) {
  fs_.SetFile("/setup", "s");
  fs_.SetFile("/load", "l");
  EXPECT_EQ(fs_.Copy("/setup", "/load"), FileResult::kAlreadyExists);
  EXPECT_EQ(fs_.Move("/setup", "/load"), FileResult::kAlreadyExists);
  EXPECT_EQ(*fs_.File("/load"), "l");
  EXPECT_EQ(fs_.Copy("/none", "/new"), FileResult::kNotFound);
  EXPECT_EQ(fs_.Copy("/setup", "/new"), FileResult::kOk);
  EXPECT_EQ(*fs_.File("/new"), "s");
  EXPECT_EQ(fs_.Move("/load", "/load.BAK1"), FileResult::kOk);
  EXPECT_EQ(fs_.File("/load"), nullptr);
  EXPECT_EQ(*fs_.File("/load.BAK1"), "l");
  EXPECT_EQ(fs_.Move("/load", "/x"), FileResult::kNotFound);
}

TEST_F(MemFileSystemTest, Delete) {
  fs_.SetFile("/a", "");
  EXPECT_EQ(fs_.Delete("/a"), FileResult::kOk);
  EXPECT_EQ(fs_.Delete("/a"), FileResult::kNotFound);
  EXPECT_TRUE(fs_.files().empty());
}

TEST_F(MemFileSystemTest, InUseFilesFailTheCheck) {
  fs_.SetFile("/a.scl", "");
  EXPECT_TRUE(fs_.CanOpenExclusive("/a.scl"));
  EXPECT_FALSE(fs_.CanOpenExclusive("/missing.scl"));
  fs_.SetInUse("/a.scl", true);
  EXPECT_FALSE(fs_.CanOpenExclusive("/a.scl"));
  fs_.SetInUse("/a.scl", false);
  EXPECT_TRUE(fs_.CanOpenExclusive("/a.scl"));
}

TEST_F(MemFileSystemTest, FailingWritesChangeNothing) {
  fs_.SetFile("/r.cmp", "old");
  fs_.SetFile("/src", "s");
  fs_.SetWriteFails("/r.cmp", true);
  fs_.SetWriteFails("/t", true);
  EXPECT_EQ(fs_.WriteFile("/r.cmp", "new"), FileResult::kIOError);
  EXPECT_EQ(*fs_.File("/r.cmp"), "old");
  EXPECT_EQ(fs_.Copy("/src", "/t"), FileResult::kIOError);
  EXPECT_EQ(fs_.Move("/src", "/t"), FileResult::kIOError);
  EXPECT_FALSE(fs_.Exists("/t"));
  EXPECT_TRUE(fs_.Exists("/src"));
  fs_.SetWriteFails("/r.cmp", false);
  EXPECT_EQ(fs_.WriteFile("/r.cmp", "new"), FileResult::kOk);
}

}  // namespace
}  // namespace platform
