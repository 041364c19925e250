// InstanceLock: makes sure only one copy of the program runs.
//
// The handheld created a named mutex "Varnolde" and ended when it already
// existed. Here the mutex is an exclusive flock() on a lock file: the kernel
// drops the lock when the holding process ends in any way (exit, crash, kill),
// so the lock file a dead copy leaves behind never blocks the next start. The
// lock file itself is never deleted, since deleting it would let two copies
// lock two different files of the same name.
//
// Thread safety: an InstanceLock is owned by one thread; the lock is held by
// the process as a whole.
#pragma once

#include <string>

namespace platform {

class InstanceLock {
 public:
  enum class State {
    kHeld,            // this object holds the lock: no other copy runs
    kAlreadyRunning,  // another holder (another copy) has it
    kError,           // the lock file could not be opened or locked
  };

  // Tries to take the lock on the file at path, creating the file (mode 0600)
  // when missing, without waiting. See state() for the outcome. A path that is
  // a symbolic link, or a file owned by another user, gives kError.
  explicit InstanceLock(const std::string& path);
  // Releases the lock when held.
  ~InstanceLock();

  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  State state() const { return state_; }

 private:
  int fd_ = -1;
  State state_ = State::kError;
};

// The lock file for the program called name ("Varnolde"): in the user's
// runtime folder $XDG_RUNTIME_DIR when it is set to an absolute path, else in
// /tmp with the user id in the name, so that users do not block each other:
// "$XDG_RUNTIME_DIR/Varnolde.lock" or "/tmp/Varnolde-1000.lock".
std::string InstanceLockPath(const std::string& name);

// The local socket on which the copy holding the lock takes files handed
// over by a second start: beside the lock file, "Varnolde.socket" in
// $XDG_RUNTIME_DIR or "/tmp/Varnolde-1000.socket".
std::string InstanceSocketPath(const std::string& name);

}  // namespace platform
