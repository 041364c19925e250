// Crash safety: commits interrupted at every write (and at every byte of a
// write) leave a file that opens at exactly the old or the new committed
// state.
#include "mkstore/fault_file_system.h"

#include <gtest/gtest.h>

#include <functional>

#include "mkstore/json_dump.h"
#include "mkstore/storage.h"
#include "mkstore/test_util.h"

namespace mk {
namespace {

const std::string kPath = "/mem/scale.mk";

class CrashTest : public ::testing::Test {
 protected:
  // The JSON of the storage at kPath as a fresh Open sees it, or the error.
  std::string Reopened() {
    std::unique_ptr<Storage> s;
    const Status st = Storage::Open(kPath, &s, &fs_);
    return st.ok() ? DumpJson(*s) : st.ToString();
  }

  // Starts from `initial` (file bytes; "" with `exists` false means no file),
  // applies `change` to the opened storage and commits it with the n-th write
  // failing after `torn` bytes. Then crashes and checks the file holds the
  // old or the new state (the new one when the commit said OK). Returns
  // whether the commit completed.
  bool RunOnce(const std::string& initial, bool exists, const std::function<void(Storage*)>& change,
               bool packed, int n, size_t torn, const std::string& oldJson,
               const std::string& newJson) {
    fs_ = FaultFileSystem();
    if (exists) fs_.SetContents(kPath, initial);
    std::unique_ptr<Storage> s;
    EXPECT_TRUE(Storage::Open(kPath, &s, &fs_).ok());
    change(s.get());
    fs_.FailWrite(n, torn);
    const Status st = packed ? s->CommitPacked() : s->Commit();
    fs_.Crash();
    const std::string now = Reopened();
    if (st.ok()) {
      EXPECT_EQ(now, newJson) << "write " << n << " torn " << torn;
    } else {
      EXPECT_TRUE(now == oldJson || now == newJson)
          << "write " << n << " torn " << torn << ": " << now;
      // The same storage object recovers and commits on the next attempt.
      EXPECT_TRUE(s->Commit().ok()) << "retry after write " << n;
      EXPECT_EQ(Reopened(), newJson) << "retry after write " << n;
    }
    return st.ok();
  }

  // Runs the scenario failing at every write and every byte of it.
  void Exhaust(const std::string& initial, bool exists, const std::function<void(Storage*)>& change,
               bool packed = false) {
    fs_ = FaultFileSystem();
    if (exists) fs_.SetContents(kPath, initial);
    const std::string oldJson = Reopened();
    std::unique_ptr<Storage> s;
    ASSERT_TRUE(Storage::Open(kPath, &s, &fs_).ok());
    change(s.get());
    const std::string newJson = DumpJson(*s);
    ASSERT_NE(oldJson, newJson);
    for (int n = 1; n < 64; ++n) {
      bool completed = false;
      for (size_t torn = 0; torn < 40 && !completed; torn += 3) {
        completed = RunOnce(initial, exists, change, packed, n, torn, oldJson, newJson);
      }
      if (completed) {
        // Every commit here needs at least a data write and a tail or rename.
        EXPECT_GE(n, 2);
        return;
      }
    }
    ADD_FAILURE() << "commit never completed";
  }

  // Fails the n-th write of the commit, then crashes keeping the unsynced
  // writes chosen by `mask`. Returns the number of unsynced writes there were
  // (-1 when the commit completed).
  int CommitAndCrashKeeping(const std::string& initial, const std::function<void(Storage*)>& change,
                            int n, uint32_t mask) {
    fs_ = FaultFileSystem();
    fs_.SetContents(kPath, initial);
    std::unique_ptr<Storage> s;
    EXPECT_TRUE(Storage::Open(kPath, &s, &fs_).ok());
    change(s.get());
    fs_.FailWrite(n);
    if (s->Commit().ok()) return -1;
    const int unsynced = fs_.unsyncedWrites();
    fs_.CrashKeeping([mask](int i) { return i < 32 && ((mask >> i) & 1) != 0; });
    return unsynced;
  }

  // Every subset of the unsynced writes may have reached the disk.
  void ExhaustSubsets(const std::string& initial, const std::function<void(Storage*)>& change) {
    fs_ = FaultFileSystem();
    fs_.SetContents(kPath, initial);
    const std::string oldJson = Reopened();
    std::unique_ptr<Storage> s;
    ASSERT_TRUE(Storage::Open(kPath, &s, &fs_).ok());
    change(s.get());
    const std::string newJson = DumpJson(*s);
    for (int n = 1; n < 64; ++n) {
      const int unsynced = CommitAndCrashKeeping(initial, change, n, 0);
      if (unsynced < 0) return;
      const uint32_t masks = 1u << std::min(unsynced, 8);
      for (uint32_t mask = 0; mask < masks; ++mask) {
        CommitAndCrashKeeping(initial, change, n, mask);
        const std::string now = Reopened();
        EXPECT_TRUE(now == oldJson || now == newJson)
            << "write " << n << " mask " << mask << ": " << now;
      }
    }
    ADD_FAILURE() << "commit never completed";
  }

  FaultFileSystem fs_;
};

std::string Fixture(const std::string& name) {
  return testing::ReadFile(testing::kFixtures + "/" + name + ".mk");
}

void AppendRows(Storage* s) {
  View v = s->GetView("items");
  for (int i = 0; i < 40; ++i) {
    const int r = v.AddRow();
    v.SetInt(r, 0, 1000 + i);
    v.SetString(r, 1, "new item " + std::to_string(i));
  }
}

TEST_F(CrashTest, GrowingCommit) { Exhaust(Fixture("multi_commit_reuse"), true, AppendRows); }

TEST_F(CrashTest, CommitIntoFreedSpace) {
  // multi_commit_reuse.mk has free gaps: a small change fits into them.
  Exhaust(Fixture("multi_commit_reuse"), true,
          [](Storage* s) { s->GetView("items").SetInt(0, 0, 5); });
}

TEST_F(CrashTest, FirstCommitOfANewFile) {
  Exhaust("", false, [](Storage* s) {
    ASSERT_TRUE(s->Restructure("Log[LOG:I,S:S]").ok());
    s->GetView("Log").SetInt(s->GetView("Log").AddRow(), 0, 7);
  });
}

TEST_F(CrashTest, PackedCommit) {
  Exhaust(
      Fixture("multi_commit_reuse"), true,
      [](Storage* s) { s->GetView("items").SetString(1, 1, "packed"); }, true);
}

TEST_F(CrashTest, GrowingCommitOnAFileWithAStaleHeader) {
  Exhaust(Fixture("extend_mode_appended"), true, [](Storage* s) {
    for (const std::string& name : s->ViewNames()) s->GetView(name).InsertRows(0, 30);
  });
}

TEST_F(CrashTest, RestructureCommit) {
  Exhaust(Fixture("multi_table_db"), true, [](Storage* s) {
    ASSERT_TRUE(s->Restructure("Log[LOG:I,S:S,NEW:D]").ok());
    ASSERT_TRUE(s->Restructure("Globals").ok());
  });
}

TEST_F(CrashTest, AnySubsetOfUnsyncedWritesSurvivingIsSafe) {
  ExhaustSubsets(Fixture("multi_commit_reuse"), AppendRows);
  ExhaustSubsets(Fixture("multi_commit_reuse"),
                 [](Storage* s) { s->GetView("items").SetString(0, 1, "in a gap"); });
}

// The literal case: Metakit's two_commits.mk cut at every byte past
// the first commit opens as that first commit, not as an empty storage.
TEST_F(CrashTest, FileCutDuringAGrowingCommitOpensAtTheLastCommit) {
  const std::string full = Fixture("two_commits");
  fs_.SetContents(kPath, Fixture("int_3rows"));
  const std::string first = Reopened();
  for (size_t cut = 40; cut < full.size(); ++cut) {
    fs_.SetContents(kPath, full.substr(0, cut));
    EXPECT_EQ(Reopened(), first) << "cut at " << cut;
  }
  fs_.SetContents(kPath, full);
  EXPECT_EQ(Reopened(), testing::ReadFile(testing::kFixtures + "/two_commits.mk.json"));
}

// Our own growing commits, cut at every byte of the file as it grows.
TEST_F(CrashTest, OwnGrowingCommitCutAtEveryByte) {
  const std::string initial = Fixture("multi_commit_reuse");
  fs_.SetContents(kPath, initial);
  const std::string oldJson = Reopened();
  std::unique_ptr<Storage> s;
  ASSERT_TRUE(Storage::Open(kPath, &s, &fs_).ok());
  AppendRows(s.get());
  const std::string newJson = DumpJson(*s);
  ASSERT_TRUE(s->Commit().ok());
  const std::string full = fs_.Contents(kPath);
  ASSERT_GT(full.size(), initial.size());
  for (size_t cut = initial.size(); cut < full.size(); ++cut) {
    // The header is written after the tails: a cut file still has the old one.
    fs_.SetContents(kPath, initial.substr(0, 8) + full.substr(8, cut - 8));
    EXPECT_EQ(Reopened(), oldJson) << "cut at " << cut;
  }
}

TEST(FaultFileSystemTest, CrashDropsUnsyncedWrites) {
  FaultFileSystem fs;
  std::unique_ptr<File> f;
  ASSERT_TRUE(fs.Open("/x", FileSystem::Mode::kCreate, &f).ok());
  ASSERT_TRUE(f->Write(0, "abc").ok());
  ASSERT_TRUE(f->Sync().ok());
  ASSERT_TRUE(f->Write(1, "ZZZZ").ok());
  EXPECT_EQ(fs.Contents("/x"), "aZZZZ");
  fs.Crash();
  EXPECT_EQ(fs.Contents("/x"), "abc");
}

TEST(FaultFileSystemTest, FailedWriteStoresItsTornPrefixAndStopsEverything) {
  FaultFileSystem fs;
  std::unique_ptr<File> f;
  ASSERT_TRUE(fs.Open("/x", FileSystem::Mode::kCreate, &f).ok());
  fs.FailWrite(2, 2);
  EXPECT_TRUE(f->Write(0, "abc").ok());
  EXPECT_TRUE(f->Write(3, "defg").IsIOError());
  EXPECT_TRUE(f->Write(5, "h").IsIOError());
  EXPECT_TRUE(f->Sync().IsIOError());
  EXPECT_EQ(fs.Contents("/x"), "abcde");
  EXPECT_EQ(fs.writes(), 3);
}

TEST(FaultFileSystemTest, CrashKeepsTheChosenUnsyncedWrites) {
  FaultFileSystem fs;
  std::unique_ptr<File> f;
  ASSERT_TRUE(fs.Open("/x", FileSystem::Mode::kCreate, &f).ok());
  ASSERT_TRUE(f->Write(0, "aaaa").ok());
  ASSERT_TRUE(f->Sync().ok());
  ASSERT_TRUE(f->Write(0, "b").ok());
  ASSERT_TRUE(f->Write(2, "c").ok());
  ASSERT_TRUE(f->Write(5, "d").ok());
  EXPECT_EQ(fs.unsyncedWrites(), 3);
  fs.CrashKeeping([](int i) { return i != 1; });
  EXPECT_EQ(fs.Contents("/x"), std::string("baaa\0d", 6));
  EXPECT_EQ(fs.unsyncedWrites(), 0);
}

TEST(FaultFileSystemTest, MissingFilesAreNotFound) {
  FaultFileSystem fs;
  std::unique_ptr<File> f;
  EXPECT_TRUE(fs.Open("/none", FileSystem::Mode::kReadWrite, &f).IsNotFound());
  EXPECT_TRUE(fs.Remove("/none").IsNotFound());
  EXPECT_TRUE(fs.Rename("/none", "/other").IsNotFound());
  EXPECT_FALSE(fs.Exists("/none"));
}

}  // namespace
}  // namespace mk
