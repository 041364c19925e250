#include "platform/instance_lock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>

#include "platform/test_support.h"

namespace platform {
namespace {

using testing::Child;

class InstanceLockTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(dir_.path().empty()); }

  // Runs in the child: takes the lock as another copy would, with the calls
  // InstanceLock makes (the object itself allocates, which the child of a fork
  // must not). 1: it holds the lock; 2: someone else does.
  static char TakeLock(const char* path) {
    const int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return 9;
    return flock(fd, LOCK_EX | LOCK_NB) == 0 ? 1 : 2;
  }

  testing::TempFolder dir_;
};

TEST_F(InstanceLockTest, FirstCopyHoldsTheLock) {
  const InstanceLock lock(dir_ / "Varnolde.lock");
  EXPECT_EQ(lock.state(), InstanceLock::State::kHeld);
}

TEST_F(InstanceLockTest, SecondCopyInTheSameProcessLearnsOneIsRunning) {
  const InstanceLock first(dir_ / "Varnolde.lock");
  const InstanceLock second(dir_ / "Varnolde.lock");
  EXPECT_EQ(first.state(), InstanceLock::State::kHeld);
  EXPECT_EQ(second.state(), InstanceLock::State::kAlreadyRunning);
}

TEST_F(InstanceLockTest, ReleasedWhenTheHolderGoesAway) {
  { const InstanceLock first(dir_ / "Varnolde.lock"); }
  const InstanceLock again(dir_ / "Varnolde.lock");
  EXPECT_EQ(again.state(), InstanceLock::State::kHeld);
  // The file stays: deleting it would let two copies lock two files.
  EXPECT_TRUE(std::filesystem::exists(dir_ / "Varnolde.lock"));
}

TEST_F(InstanceLockTest, CopyInAnotherProcessBlocksUs) {
  const std::string path = dir_ / "Varnolde.lock";
  Child other([&] { return TakeLock(path.c_str()); });
  ASSERT_EQ(other.result(), 1);
  EXPECT_EQ(InstanceLock(path).state(), InstanceLock::State::kAlreadyRunning);
  other.Release();
  EXPECT_EQ(InstanceLock(path).state(), InstanceLock::State::kHeld);
}

TEST_F(InstanceLockTest, OurLockBlocksACopyInAnotherProcess) {
  const std::string path = dir_ / "Varnolde.lock";
  const InstanceLock ours(path);
  ASSERT_EQ(ours.state(), InstanceLock::State::kHeld);
  Child other([&] { return TakeLock(path.c_str()); });
  EXPECT_EQ(other.result(), 2);
}

TEST_F(InstanceLockTest, StaleLockOfADeadProcessDoesNotBlock) {
  const std::string path = dir_ / "Varnolde.lock";
  Child crashed([&] { return TakeLock(path.c_str()); });
  ASSERT_EQ(crashed.result(), 1);
  crashed.Kill();
  ASSERT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(InstanceLock(path).state(), InstanceLock::State::kHeld);
}

TEST_F(InstanceLockTest, SymbolicLinkIsRefused) {
  std::filesystem::create_symlink(dir_ / "elsewhere", dir_ / "Varnolde.lock");
  EXPECT_EQ(InstanceLock(dir_ / "Varnolde.lock").state(), InstanceLock::State::kError);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "elsewhere"));
}

TEST_F(InstanceLockTest, UnusablePathIsAnError) {
  EXPECT_EQ(InstanceLock(dir_ / "missing/Varnolde.lock").state(), InstanceLock::State::kError);
  EXPECT_EQ(InstanceLock(dir_.path()).state(), InstanceLock::State::kError);
}

TEST_F(InstanceLockTest, LockPathUsesTheRuntimeFolderElseTmpWithTheUserId) {
  const char* old = getenv("XDG_RUNTIME_DIR");
  const std::string saved = old ? old : "";
  setenv("XDG_RUNTIME_DIR", "/run/user/7", 1);
  EXPECT_EQ(InstanceLockPath("Varnolde"), "/run/user/7/Varnolde.lock");
  EXPECT_EQ(InstanceSocketPath("Varnolde"), "/run/user/7/Varnolde.socket");
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(InstanceLockPath("Varnolde"), "/tmp/Varnolde-" + std::to_string(geteuid()) + ".lock");
  EXPECT_EQ(InstanceSocketPath("Varnolde"),
            "/tmp/Varnolde-" + std::to_string(geteuid()) + ".socket");
  if (old) setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
}

}  // namespace
}  // namespace platform
