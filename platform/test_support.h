// Test support for the platform tests that touch the real file system: a
// temporary folder, and a forked child for two-process tests.
#pragma once

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

namespace platform::testing {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes away.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "platform-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern + "/";
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder, ending in "/"; empty when it could not be made.
  const std::string& path() const { return path_; }
  // path() + name.
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// A forked child that takes something (a lock, an open file), reports back,
// and keeps it until the test lets it go or kills it. Only async-signal-safe
// calls may run in the child's setup (open, flock, fcntl, ...): the child of a
// fork must not allocate.

class Child {
 public:
  // Forks. The child runs setup, sends its result to the parent and then waits
  // until Release() or Kill(). The constructor returns once the result is in.
  explicit Child(const std::function<char()>& setup) {
    int ready[2];
    int hold[2];
    if (pipe2(ready, O_CLOEXEC) != 0) return;
    if (pipe2(hold, O_CLOEXEC) != 0) {
      close(ready[0]);
      close(ready[1]);
      return;
    }
    pid_ = fork();
    if (pid_ == 0) {
      // The child keeps only its own ends: with a copy of the write end of
      // hold it would never see the parent let go.
      close(ready[0]);
      close(hold[1]);
      RunChild(setup, ready[1], hold[0]);
    }
    close(ready[1]);
    close(hold[0]);
    hold_ = hold[1];
    if (pid_ > 0) {
      while (read(ready[0], &result_, 1) < 0 && errno == EINTR) {
      }
    }
    close(ready[0]);
  }

  ~Child() { Kill(); }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // What setup returned; 0 when the child could not be started.
  char result() const { return result_; }

  // Lets the child end normally and waits for it.
  void Release() { End(0); }
  // Kills the child, which dies holding whatever it held, and waits for it.
  void Kill() { End(SIGKILL); }

 private:
  [[noreturn]] static void RunChild(const std::function<char()>& setup, int ready, int hold) {
    const char result = setup();
    while (write(ready, &result, 1) < 0 && errno == EINTR) {
    }
    char c;
    while (read(hold, &c, 1) < 0 && errno == EINTR) {
    }
    _exit(0);  // no destructors, no leak check: they belong to the parent
  }

  void End(int signal) {
    if (hold_ >= 0) close(hold_);
    hold_ = -1;
    if (pid_ <= 0) return;
    if (signal != 0) kill(pid_, signal);
    while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
  }

  pid_t pid_ = -1;
  int hold_ = -1;
  char result_ = 0;
};

}  // namespace platform::testing
