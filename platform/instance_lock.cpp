#include "platform/instance_lock.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/folders.h"

namespace platform {

InstanceLock::InstanceLock(const std::string& path) {
  // O_NOFOLLOW and the owner check keep another user from steering the lock
  // to a file of their choosing in a shared folder such as /tmp.
  fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  struct stat st {};
  if (fd_ < 0 || fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
    state_ = State::kError;
  } else if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
    state_ = State::kHeld;
    return;
  } else {
    state_ = errno == EWOULDBLOCK ? State::kAlreadyRunning : State::kError;
  }
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

InstanceLock::~InstanceLock() {
  // Closing the only descriptor releases the flock.
  if (fd_ >= 0) close(fd_);
}

namespace {

// name + suffix in the runtime folder, else in /tmp with the user id.
std::string RuntimePath(const std::string& name, const char* suffix) {
  const std::string runtime = RuntimeFolder();
  if (!runtime.empty()) return runtime + name + suffix;
  return "/tmp/" + name + "-" + std::to_string(geteuid()) + suffix;
}

}  // namespace

std::string InstanceLockPath(const std::string& name) { return RuntimePath(name, ".lock"); }

std::string InstanceSocketPath(const std::string& name) { return RuntimePath(name, ".socket"); }

}  // namespace platform
