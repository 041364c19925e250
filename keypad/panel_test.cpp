// End to end under a private X server: plinq-panel beside a text field that
// has the focus; pen taps at key centres type into the field. Every wait is
// bounded and every process started here is stopped again.
// gtest first: Xlib's macros (None, Bool) would break its headers.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
// clang-format on
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "keypad/test_support.h"

extern char** environ;

namespace plinq {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPatience = std::chrono::seconds(20);

// A process started by the test, stopped (SIGTERM, then SIGKILL) when the
// object dies. Its standard output can be read line by line.
class Child {
 public:
  // Starts argv[0] (searched in PATH) with the environment of the test plus
  // env. When passFd >= 0 it becomes the child's fd 3. nullptr when it
  // cannot be started. The child is killed when the test process dies
  // without stopping it (a crash, an abort, a kill): an X server left behind
  // would run on and keep ctest's output pipe open.
  static std::unique_ptr<Child> start(const std::vector<std::string>& argv,
                                      const std::map<std::string, std::string>& env, int passFd = -1) {
    int out[2];
    int failed[2];
    if (pipe2(out, O_CLOEXEC) != 0) return nullptr;
    if (pipe2(failed, O_CLOEXEC) != 0) {
      close(out[0]);
      close(out[1]);
      return nullptr;
    }
    std::vector<std::string> envText = environment(env);
    std::vector<char*> args = pointers(argv);
    std::vector<char*> envs = pointers(envText);
    pid_t parent = getpid();
    pid_t pid = fork();
    if (pid == 0) execChild(parent, out[1], passFd, failed[1], args, envs);
    close(out[1]);
    close(failed[1]);
    int error = 0;
    bool started = pid > 0 && read(failed[0], &error, sizeof error) == 0;
    close(failed[0]);
    if (!started) {
      if (pid > 0) waitpid(pid, nullptr, 0);
      close(out[0]);
      return nullptr;
    }
    return std::unique_ptr<Child>(new Child(pid, out[0]));
  }

  ~Child() {
    if (pid_ > 0) stop();
    close(out_);
  }

  // Reads lines until one satisfies done or the time is up; lines read
  // earlier count too.
  bool waitForLine(const std::function<bool(const std::string&)>& done, Clock::duration patience = kPatience) {
    auto deadline = Clock::now() + patience;
    for (std::size_t seen = 0;; ++seen) {
      while (seen >= lines_.size()) {
        if (!readMore(deadline)) return false;
      }
      if (done(lines_[seen])) return true;
    }
  }

  const std::vector<std::string>& lines() const { return lines_; }
  pid_t pid() const { return pid_; }

  // Waits (bounded) for the child to end and returns its exit status; -1
  // when it had to be killed or did not exit normally.
  int wait() {
    auto deadline = Clock::now() + kPatience;
    int status = 0;
    while (Clock::now() < deadline) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
  }

 private:
  Child(pid_t pid, int out) : pid_(pid), out_(out) {}

  // In the forked child: only async-signal-safe calls until exec. An exec
  // failure is reported through failedFd (closed on exec when it works).
  [[noreturn]] static void execChild(pid_t parent, int outFd, int passFd, int failedFd, std::vector<char*>& args,
                                     std::vector<char*>& envs) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);  // the test died before prctl took effect
    dup2(outFd, 1);
    if (passFd >= 0) dup2(passFd, 3);
    execvpe(args[0], args.data(), envs.data());
    int error = errno;
    ssize_t ignored = write(failedFd, &error, sizeof error);
    (void)ignored;
    _exit(127);
  }

  static std::vector<std::string> environment(const std::map<std::string, std::string>& env) {
    std::vector<std::string> all;
    for (char** e = environ; *e != nullptr; ++e) {
      std::string entry = *e;
      if (!env.count(entry.substr(0, entry.find('=')))) all.push_back(entry);
    }
    for (const auto& [name, value] : env) all.push_back(name + "=" + value);
    return all;
  }

  static std::vector<char*> pointers(const std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (const auto& t : texts) result.push_back(const_cast<char*>(t.c_str()));
    result.push_back(nullptr);
    return result;
  }

  bool readMore(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd p{out_, POLLIN, 0};
    if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) return false;
    char buffer[4096];
    ssize_t got = read(out_, buffer, sizeof buffer);
    if (got <= 0) return false;
    pending_.append(buffer, static_cast<std::size_t>(got));
    for (std::size_t end; (end = pending_.find('\n')) != std::string::npos; pending_.erase(0, end + 1)) {
      lines_.push_back(pending_.substr(0, end));
    }
    return true;
  }

  void stop() {
    kill(pid_, SIGTERM);
    auto deadline = Clock::now() + std::chrono::seconds(5);
    while (Clock::now() < deadline) {
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }

  pid_t pid_;
  int out_;
  std::string pending_;
  std::vector<std::string> lines_;
};

// The viewable top-level window with this title, or 0.
Window findWindow(Display* display, const std::string& title) {
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  Window found = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
  for (unsigned i = 0; i < count && found == 0; ++i) {
    char* name = nullptr;
    XWindowAttributes attributes;
    if (XFetchName(display, children[i], &name) && name != nullptr) {
      if (title == name && XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable) {
        found = children[i];
      }
      XFree(name);
    }
  }
  if (children != nullptr) XFree(children);
  return found;
}

Window waitForWindow(Display* display, const std::string& title) {
  auto deadline = Clock::now() + kPatience;
  while (Clock::now() < deadline) {
    if (Window w = findWindow(display, title)) return w;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return 0;
}

class PanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    xvfb_ = Child::start({"Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, {}, fds[1]);
    close(fds[1]);
    ASSERT_NE(xvfb_, nullptr) << "Xvfb could not be started";
    std::string number = readDisplayNumber(fds[0]);
    close(fds[0]);
    ASSERT_FALSE(number.empty()) << "Xvfb gave no display number";
    displayName_ = ":" + number;
    display_ = XOpenDisplay(displayName_.c_str());
    ASSERT_NE(display_, nullptr);
  }

  void TearDown() override {
    panel_.reset();
    field_.reset();
    if (display_ != nullptr) XCloseDisplay(display_);
    xvfb_.reset();
  }

  static std::string readDisplayNumber(int fd) {
    std::string number;
    auto deadline = Clock::now() + kPatience;
    while (Clock::now() < deadline) {
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      char c;
      if (read(fd, &c, 1) != 1) break;
      if (c == '\n') return number;
      number += c;
    }
    return {};
  }

  std::map<std::string, std::string> guiEnvironment() {
    return {{"DISPLAY", displayName_}, {"QT_QPA_PLATFORM", "xcb"}, {"PLINQ_REGISTRY", registry_.path().string()}};
  }

  // A tap at the centre of key index, through the X server's pointer.
  void tapKey(Window panel, int index) {
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(display_, panel, &attributes));
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(display_, panel, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
    x += (index % 10 * 2 + 1) * attributes.width / 20;
    y += (index / 10 * 2 + 1) * attributes.height / 6;
    XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
  }

  // Asks a window to close, as a window manager's close button does.
  void closeWindow(Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XSync(display_, False);
  }

  // Starts the text field, gives it the focus, then starts the panel beside
  // it; sets field and panel to their windows.
  void startBoth(Window* field, Window* panel) {
    field_ = Child::start({PLINQ_TEST_FIELD, "-geometry", "300x100+20+20"}, guiEnvironment());
    ASSERT_NE(field_, nullptr);
    ASSERT_TRUE(field_->waitForLine([](const std::string& l) { return l == "ready"; }));
    *field = waitForWindow(display_, "plinq test field");
    ASSERT_NE(*field, 0u);
    XSetInputFocus(display_, *field, RevertToParent, CurrentTime);
    XSync(display_, False);
    ASSERT_TRUE(field_->waitForLine([](const std::string& l) { return l == "active"; }));
    panel_ = Child::start({PLINQ_PANEL, "-geometry", "400x200+20+300"}, guiEnvironment());
    ASSERT_NE(panel_, nullptr);
    *panel = waitForWindow(display_, "Field Keypad");
    ASSERT_NE(*panel, 0u);
  }

  // Taps each key and waits until the field shows the text given with it.
  void tapAndExpect(Window panel, const std::vector<std::pair<int, std::string>>& steps) {
    for (const auto& [key, text] : steps) {
      tapKey(panel, key);
      std::string want = "text:" + text;
      ASSERT_TRUE(field_->waitForLine([&](const std::string& l) { return l == want; })) << "waiting for " << want;
    }
  }

  test::TempDir registry_;
  std::unique_ptr<Child> xvfb_;
  std::unique_ptr<Child> field_;
  std::unique_ptr<Child> panel_;
  std::string displayName_;
  Display* display_ = nullptr;
};

TEST_F(PanelTest, TapsTypeIntoTheFocusedField) {
  Window field = 0;
  Window panel = 0;
  ASSERT_NO_FATAL_FAILURE(startBoth(&field, &panel));
  tapAndExpect(panel, {{3, "1"}, {4, "12"}, {16, "12."}, {14, "12.5"}, {10, "12.5\\t"}, {0, "12.5\\t\\n"}});
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(display_, &focus, &revert);
  EXPECT_EQ(focus, field);
  EXPECT_EQ(field_->lines().back(), "text:12.5\\t\\n");
  closeWindow(panel);
  EXPECT_EQ(panel_->wait(), 0);  // deselected, released and unloaded cleanly
}

TEST_F(PanelTest, CustomizedLetterTypesAsShown) {
  std::filesystem::path array1 =
      registry_.path() / "HKEY_CLASSES_ROOT" / "CLSID" / "{27CD5083-08E9-4588-341A-D683C8338E10}" / "Array1";
  std::filesystem::create_directories(array1);
  std::ofstream(array1 / "@") << "Q";
  Window field = 0;
  Window panel = 0;
  ASSERT_NO_FATAL_FAILURE(startBoth(&field, &panel));
  tapAndExpect(panel, {{1, "Q"}, {2, "QT"}, {20, "Q"}, {13, "Q4"}});
}

// A test process that dies without stopping its children (a crash, an
// abort, a kill) must take them along: an X server left running would keep
// ctest waiting on its output pipe and outlive the test run.
TEST(ChildProcess, DiesWithTheTestThatStartedIt) {
  ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);  // orphans come back here to be reaped
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  pid_t middle = fork();
  ASSERT_GE(middle, 0);
  if (middle == 0) {
    close(fds[0]);
    auto child = Child::start({"sleep", "30"}, {});
    pid_t pid = child ? child->pid() : -1;
    if (write(fds[1], &pid, sizeof pid) != sizeof pid) _exit(1);
    pause();
    _exit(0);
  }
  close(fds[1]);
  pid_t grandchild = -1;
  pollfd p{fds[0], POLLIN, 0};
  if (poll(&p, 1, 20000) == 1 && read(fds[0], &grandchild, sizeof grandchild) != sizeof grandchild) grandchild = -1;
  close(fds[0]);
  kill(middle, SIGKILL);
  waitpid(middle, nullptr, 0);
  ASSERT_GT(grandchild, 0);
  int status = 0;
  bool reaped = false;
  for (auto deadline = Clock::now() + std::chrono::seconds(5); !reaped && Clock::now() < deadline;) {
    reaped = waitpid(grandchild, &status, WNOHANG) == grandchild;
    if (!reaped) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (!reaped) {
    kill(grandchild, SIGKILL);
    waitpid(grandchild, nullptr, 0);
  }
  prctl(PR_SET_CHILD_SUBREAPER, 0);
  EXPECT_TRUE(reaped) << "the child outlived the process that started it";
  EXPECT_TRUE(reaped && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
}

// Runs plinq-panel without a display and returns its exit status.
int runPanel(const std::vector<std::string>& args, const std::string& registry) {
  std::vector<std::string> argv = {PLINQ_PANEL};
  argv.insert(argv.end(), args.begin(), args.end());
  auto child = Child::start(argv, {{"PLINQ_REGISTRY", registry}, {"DISPLAY", ""}});
  return child ? child->wait() : -1;
}

TEST(PanelCommandLine, RegisterAndUnregister) {
  test::TempDir registry;
  std::filesystem::path key =
      registry.path() / "HKEY_CLASSES_ROOT" / "CLSID" / "{27CD5083-08E9-4588-341A-D683C8338E10}";
  EXPECT_EQ(runPanel({"--unregister"}, registry.path().string()), 1);
  EXPECT_EQ(runPanel({"--register"}, registry.path().string()), 0);
  EXPECT_TRUE(std::filesystem::is_directory(key / "InProcServer32"));
  EXPECT_TRUE(std::filesystem::is_directory(key / "Array29"));
  EXPECT_EQ(runPanel({"--unregister"}, registry.path().string()), 0);
  EXPECT_FALSE(std::filesystem::exists(key));
}

TEST(PanelCommandLine, BadOptionsAndMissingLibrary) {
  test::TempDir registry;
  EXPECT_EQ(runPanel({"--scale", "0"}, registry.path().string()), 2);
  EXPECT_EQ(runPanel({"--library"}, registry.path().string()), 2);
  EXPECT_EQ(runPanel({"--help"}, registry.path().string()), 0);
  EXPECT_EQ(runPanel({"--library", (registry.path() / "none.so").string(), "--register"}, registry.path().string()), 1);
}

}  // namespace
}  // namespace plinq
