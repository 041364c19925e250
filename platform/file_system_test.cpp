#include "platform/file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/test_support.h"

namespace platform {
namespace {

using testing::Child;

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(dir_.path().empty()); }

  void Put(const std::string& path, const std::string& contents) {
    ASSERT_EQ(fs_.WriteFile(path, contents), FileResult::kOk) << path;
  }
  std::string Get(const std::string& path) {
    std::string contents;
    EXPECT_EQ(fs_.ReadFile(path, 1 << 24, &contents), FileResult::kOk) << path;
    return contents;
  }
  // Names in the folder, to catch temporary or partial files left behind.
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  testing::TempFolder dir_;
  PosixFileSystem fs_;
};

// Bytes that a text-mode or string-based copy would damage.
std::string BinaryBytes(size_t size) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return s;
}

// ---- Exists, Delete

TEST_F(FileSystemTest, ExistsForFilesAndFoldersOnly) {
  Put(dir_ / "a.scl", "x");
  EXPECT_TRUE(fs_.Exists(dir_ / "a.scl"));
  EXPECT_TRUE(fs_.Exists(dir_.path()));
  EXPECT_FALSE(fs_.Exists(dir_ / "b.scl"));
  EXPECT_FALSE(fs_.Exists(dir_ / "missing/b.scl"));
}

TEST_F(FileSystemTest, DeleteRemovesAFile) {
  Put(dir_ / "a.scl", "x");
  EXPECT_EQ(fs_.Delete(dir_ / "a.scl"), FileResult::kOk);
  EXPECT_FALSE(fs_.Exists(dir_ / "a.scl"));
  EXPECT_EQ(fs_.Delete(dir_ / "a.scl"), FileResult::kNotFound);
}

TEST_F(FileSystemTest, DeleteRefusesAFolder) {
  std::filesystem::create_directory(dir_ / "sub");
  EXPECT_EQ(fs_.Delete(dir_ / "sub"), FileResult::kIOError);
  EXPECT_TRUE(fs_.Exists(dir_ / "sub"));
}

// ---- Copy

TEST_F(FileSystemTest, CopyCopiesEveryByte) {
  const std::string bytes = BinaryBytes(300000);  // several buffers' worth
  Put(dir_ / "setup.SetupScl", bytes);
  EXPECT_EQ(fs_.Copy(dir_ / "setup.SetupScl", dir_ / "load.scl"), FileResult::kOk);
  EXPECT_EQ(Get(dir_ / "load.scl"), bytes);
  EXPECT_EQ(Get(dir_ / "setup.SetupScl"), bytes);
}

TEST_F(FileSystemTest, CopyOfAnEmptyFile) {
  Put(dir_ / "empty", "");
  EXPECT_EQ(fs_.Copy(dir_ / "empty", dir_ / "copy"), FileResult::kOk);
  EXPECT_EQ(Get(dir_ / "copy"), "");
}

TEST_F(FileSystemTest, CopyRefusesToOverwrite) {
  Put(dir_ / "setup.SetupScl", "new");
  Put(dir_ / "load.scl", "precious");
  EXPECT_EQ(fs_.Copy(dir_ / "setup.SetupScl", dir_ / "load.scl"), FileResult::kAlreadyExists);
  EXPECT_EQ(Get(dir_ / "load.scl"), "precious");
}

TEST_F(FileSystemTest, CopyOntoItselfRefuses) {
  Put(dir_ / "load.scl", "precious");
  EXPECT_EQ(fs_.Copy(dir_ / "load.scl", dir_ / "load.scl"), FileResult::kAlreadyExists);
  EXPECT_EQ(Get(dir_ / "load.scl"), "precious");
}

TEST_F(FileSystemTest, CopyOfAMissingFileCreatesNothing) {
  EXPECT_EQ(fs_.Copy(dir_ / "none", dir_ / "load.scl"), FileResult::kNotFound);
  EXPECT_FALSE(fs_.Exists(dir_ / "load.scl"));
}

TEST_F(FileSystemTest, CopyOfAFolderFails) {
  std::filesystem::create_directory(dir_ / "sub");
  EXPECT_EQ(fs_.Copy(dir_ / "sub", dir_ / "load.scl"), FileResult::kIOError);
  EXPECT_FALSE(fs_.Exists(dir_ / "load.scl"));
}

TEST_F(FileSystemTest, CopyIntoAMissingFolderFails) {
  Put(dir_ / "a", "x");
  EXPECT_EQ(fs_.Copy(dir_ / "a", dir_ / "missing/b"), FileResult::kNotFound);
}

TEST_F(FileSystemTest, CopyOfAReadOnlyFileIsWritable) {
  Put(dir_ / "setup.SetupScl", "x");
  ASSERT_EQ(chmod((dir_ / "setup.SetupScl").c_str(), 0444), 0);
  ASSERT_EQ(fs_.Copy(dir_ / "setup.SetupScl", dir_ / "load.scl"), FileResult::kOk);
  struct stat st {};
  ASSERT_EQ(stat((dir_ / "load.scl").c_str(), &st), 0);
  EXPECT_NE(st.st_mode & S_IWUSR, 0u);
}

// ---- Move

TEST_F(FileSystemTest, MoveRenames) {
  Put(dir_ / "X.scl", "old load");
  EXPECT_EQ(fs_.Move(dir_ / "X.scl", dir_ / "X.scl.BAK1"), FileResult::kOk);
  EXPECT_FALSE(fs_.Exists(dir_ / "X.scl"));
  EXPECT_EQ(Get(dir_ / "X.scl.BAK1"), "old load");
}

TEST_F(FileSystemTest, MoveRefusesToOverwrite) {
  Put(dir_ / "X.scl", "newer");
  Put(dir_ / "X.scl.BAK1", "older");
  EXPECT_EQ(fs_.Move(dir_ / "X.scl", dir_ / "X.scl.BAK1"), FileResult::kAlreadyExists);
  EXPECT_EQ(Get(dir_ / "X.scl"), "newer");
  EXPECT_EQ(Get(dir_ / "X.scl.BAK1"), "older");
}

TEST_F(FileSystemTest, MoveOfAMissingFile) {
  EXPECT_EQ(fs_.Move(dir_ / "none", dir_ / "other"), FileResult::kNotFound);
  EXPECT_FALSE(fs_.Exists(dir_ / "other"));
}

// ---- ReadFile

TEST_F(FileSystemTest, ReadFileReadsBinaryBytes) {
  const std::string bytes = BinaryBytes(70000) + "\r\n\x1a" + std::string(3, '\0');
  Put(dir_ / "a", bytes);
  EXPECT_EQ(Get(dir_ / "a"), bytes);
}

TEST_F(FileSystemTest, ReadFileHonoursTheLimitExactly) {
  Put(dir_ / "a", "12345");
  std::string contents = "stale";
  EXPECT_EQ(fs_.ReadFile(dir_ / "a", 5, &contents), FileResult::kOk);
  EXPECT_EQ(contents, "12345");
  EXPECT_EQ(fs_.ReadFile(dir_ / "a", 4, &contents), FileResult::kTooLarge);
  EXPECT_EQ(contents, "");
}

TEST_F(FileSystemTest, ReadFileOfMissingFileOrFolder) {
  std::string contents = "stale";
  EXPECT_EQ(fs_.ReadFile(dir_ / "none", 100, &contents), FileResult::kNotFound);
  EXPECT_EQ(contents, "");
  EXPECT_EQ(fs_.ReadFile(dir_.path(), 100, &contents), FileResult::kIOError);
}

TEST_F(FileSystemTest, ReadFileOfAFifoFailsWithoutWaiting) {
  ASSERT_EQ(mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  std::string contents;
  EXPECT_EQ(fs_.ReadFile(dir_ / "fifo", 100, &contents), FileResult::kIOError);
}

// ---- WriteFile

TEST_F(FileSystemTest, WriteFileCreatesAndReplaces) {
  Put(dir_ / "r.cmp", "a long first report");
  Put(dir_ / "r.cmp", "short");
  EXPECT_EQ(Get(dir_ / "r.cmp"), "short");
  EXPECT_EQ(Names(), std::vector<std::string>{"r.cmp"});
}

TEST_F(FileSystemTest, WriteFileKeepsBytesVerbatim) {
  const std::string text = "100%\tdone\r\n\n\x0c\xe9";
  Put(dir_ / "r.cmp", text);
  EXPECT_EQ(Get(dir_ / "r.cmp"), text);
}

TEST_F(FileSystemTest, WriteFileIntoAMissingFolderFails) {
  EXPECT_EQ(fs_.WriteFile(dir_ / "missing/r.cmp", "x"), FileResult::kNotFound);
}

TEST_F(FileSystemTest, WriteFileOverAFolderFailsAndLeavesNoTemporaryFile) {
  std::filesystem::create_directory(dir_ / "r.cmp");
  EXPECT_EQ(fs_.WriteFile(dir_ / "r.cmp", "x"), FileResult::kIOError);
  EXPECT_EQ(Names(), std::vector<std::string>{"r.cmp"});
}

TEST_F(FileSystemTest, WriteFileReplacesAStaleTemporaryFile) {
  Put(dir_ / ("r.cmp." + std::to_string(getpid()) + ".tmp"), "left by a crash");
  Put(dir_ / "r.cmp", "report");
  EXPECT_EQ(Get(dir_ / "r.cmp"), "report");
  EXPECT_EQ(Names(), std::vector<std::string>{"r.cmp"});
}

TEST_F(FileSystemTest, WriteFileRemovesWhatDeadWritersOfThatFileLeft) {
  const pid_t dead = fork();
  if (dead == 0) _exit(0);
  ASSERT_GT(dead, 0);
  ASSERT_EQ(waitpid(dead, nullptr, 0), dead);
  const std::string deadTemp = "r.cmp." + std::to_string(dead) + ".tmp";
  const std::string liveTemp = "r.cmp." + std::to_string(getppid()) + ".tmp";
  const std::string otherReport = "o.cmp." + std::to_string(dead) + ".tmp";
  for (const std::string& name : {deadTemp, liveTemp, otherReport, std::string("r.cmp.x1.tmp")}) {
    Put(dir_ / name, "left behind");
  }
  Put(dir_ / "r.cmp", "report");
  EXPECT_EQ(Names(), (std::vector<std::string>{otherReport, "r.cmp", liveTemp, "r.cmp.x1.tmp"}));
}

// ---- RewriteFile

TEST_F(FileSystemTest, RewriteFileKeepsOwnerAndModeButNeverWriteForOthers) {
  struct Case {
    mode_t before;
    mode_t after;
  };
  for (const Case c : {Case{0640, 0640}, Case{0666, 0664}, Case{0604, 0604}}) {
    const std::string path = dir_ / "Varnolde.upw";
    Put(path, "old");
    ASSERT_EQ(chmod(path.c_str(), c.before), 0);
    // Root can hand the file to someone else, as an administrator's file is.
    const bool root = geteuid() == 0;
    if (root) {
      ASSERT_EQ(chown(path.c_str(), 1234, 5678), 0);
    }
    ASSERT_EQ(fs_.RewriteFile(path, "new"), FileResult::kOk);
    EXPECT_EQ(Get(path), "new");
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, c.after) << std::oct << c.before;
    if (root) {
      EXPECT_EQ(st.st_uid, 1234u);
      EXPECT_EQ(st.st_gid, 5678u);
    }
    EXPECT_EQ(Names(), std::vector<std::string>{"Varnolde.upw"});
  }
}

TEST_F(FileSystemTest, RewriteFileNeverCreatesAFile) {
  EXPECT_EQ(fs_.RewriteFile(dir_ / "Varnolde.upw", "x"), FileResult::kNotFound);
  EXPECT_TRUE(Names().empty());
}

TEST_F(FileSystemTest, RewriteFileLeavesAReadOnlyFileAlone) {
  if (geteuid() == 0) GTEST_SKIP() << "root may write every file";
  Put(dir_ / "Varnolde.upw", "old");
  ASSERT_EQ(chmod((dir_ / "Varnolde.upw").c_str(), 0444), 0);
  EXPECT_EQ(fs_.RewriteFile(dir_ / "Varnolde.upw", "new"), FileResult::kIOError);
  EXPECT_EQ(Get(dir_ / "Varnolde.upw"), "old");
}

TEST_F(FileSystemTest, RewriteFileRewritesTheFileALinkNamesAndKeepsTheLink) {
  std::filesystem::create_directory(dir_ / "etc");
  Put(dir_ / "etc/Varnolde.upw", "old");
  std::filesystem::create_symlink(dir_ / "etc/Varnolde.upw", dir_ / "Varnolde.upw");
  ASSERT_EQ(fs_.RewriteFile(dir_ / "Varnolde.upw", "new"), FileResult::kOk);
  EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "Varnolde.upw"));
  EXPECT_EQ(Get(dir_ / "etc/Varnolde.upw"), "new");
}

// ---- The in-use check

TEST_F(FileSystemTest, FreeFileCanBeOpenedExclusively) {
  Put(dir_ / "a.scl", "x");
  EXPECT_TRUE(fs_.CanOpenExclusive(dir_ / "a.scl"));
  // The check leaves no lock behind.
  EXPECT_TRUE(fs_.CanOpenExclusive(dir_ / "a.scl"));
}

TEST_F(FileSystemTest, ChecksOfOneFileAtTheSameMomentDoNotBlockEachOther) {
  Put(dir_ / "a.scl", "x");
  const std::string path = dir_ / "a.scl";
  std::atomic<int> refused = 0;
  auto check = [&] {
    for (int i = 0; i < 2000; ++i) {
      if (!fs_.CanOpenExclusive(path)) ++refused;
    }
  };
  std::thread other(check);
  check();
  other.join();
  EXPECT_EQ(refused, 0);
}

TEST_F(FileSystemTest, MissingFileFolderAndFifoFailTheCheck) {
  EXPECT_FALSE(fs_.CanOpenExclusive(dir_ / "typed-but-missing.scl"));
  EXPECT_FALSE(fs_.CanOpenExclusive(dir_.path()));
  ASSERT_EQ(mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  EXPECT_FALSE(fs_.CanOpenExclusive(dir_ / "fifo"));
}

TEST_F(FileSystemTest, FileLockedInThisProcessIsInUse) {
  Put(dir_ / "a.scl", "x");
  const int fd = open((dir_ / "a.scl").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(flock(fd, LOCK_EX), 0);
  EXPECT_FALSE(fs_.CanOpenExclusive(dir_ / "a.scl"));
  close(fd);
  EXPECT_TRUE(fs_.CanOpenExclusive(dir_ / "a.scl"));
}

TEST_F(FileSystemTest, RecordLockOfThisProcessIsInUse) {
  Put(dir_ / "a.scl", "x");
  const int fd = open((dir_ / "a.scl").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  ASSERT_EQ(fcntl(fd, F_OFD_SETLK, &lock), 0);
  EXPECT_FALSE(fs_.CanOpenExclusive(dir_ / "a.scl"));
  close(fd);
  EXPECT_TRUE(fs_.CanOpenExclusive(dir_ / "a.scl"));
}

enum class Hold { kFlockExclusive, kFlockShared, kReadRecord, kWriteRecord };

// Runs in the child: opens the file and takes a lock of the given kind;
// returns 1 on success.
char HoldLocked(const char* path, Hold hold) {
  const int fd = open(path, hold == Hold::kWriteRecord ? O_RDWR : O_RDONLY);
  if (fd < 0) return 2;
  if (hold == Hold::kFlockExclusive) return flock(fd, LOCK_EX) == 0 ? 1 : 3;
  if (hold == Hold::kFlockShared) return flock(fd, LOCK_SH) == 0 ? 1 : 3;
  struct flock lock {};
  lock.l_type = hold == Hold::kWriteRecord ? F_WRLCK : F_RDLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 0;
  return fcntl(fd, F_SETLK, &lock) == 0 ? 1 : 4;
}

TEST_F(FileSystemTest, FileHeldExclusivelyByAnotherProcessIsInUse) {
  Put(dir_ / "a.scl", "x");
  const std::string path = dir_ / "a.scl";
  Child holder([&] { return HoldLocked(path.c_str(), Hold::kFlockExclusive); });
  ASSERT_EQ(holder.result(), 1);
  EXPECT_FALSE(fs_.CanOpenExclusive(path));
  holder.Release();
  EXPECT_TRUE(fs_.CanOpenExclusive(path));
}

// Checks hold a shared probe: one that another program holds for long (it
// was kept waiting by the machine) does not make the file count as in use.
TEST_F(FileSystemTest, AProbeHeldByAnotherProgramDoesNotBlock) {
  Put(dir_ / "a.scl", "x");
  const std::string path = dir_ / "a.scl";
  Child holder([&] { return HoldLocked(path.c_str(), Hold::kFlockShared); });
  ASSERT_EQ(holder.result(), 1);
  EXPECT_TRUE(fs_.CanOpenExclusive(path));
}

TEST_F(FileSystemTest, RecordLocksOfAnotherProcessAreSeen) {
  Put(dir_ / "a.scl", "x");
  const std::string path = dir_ / "a.scl";
  for (const Hold kind : {Hold::kReadRecord, Hold::kWriteRecord}) {
    Child holder([&] { return HoldLocked(path.c_str(), kind); });
    ASSERT_EQ(holder.result(), 1);
    EXPECT_FALSE(fs_.CanOpenExclusive(path)) << static_cast<int>(kind);
  }
  EXPECT_TRUE(fs_.CanOpenExclusive(path));
}

TEST_F(FileSystemTest, HolderThatDiesFreesTheFile) {
  Put(dir_ / "a.scl", "x");
  const std::string path = dir_ / "a.scl";
  Child holder([&] { return HoldLocked(path.c_str(), Hold::kFlockExclusive); });
  ASSERT_EQ(holder.result(), 1);
  holder.Kill();
  EXPECT_TRUE(fs_.CanOpenExclusive(path));
}

}  // namespace
}  // namespace platform
