// Support for the end-to-end tests: the real programs under a private X
// server, driven with xdotool and XTest as a person would drive them. Every
// wait is bounded, and every process started here is stopped again (and dies
// with the test if the test dies).
//
// Each test runs the program from its own program folder (a link to the
// built program beside a copy of the default setup file) with its own
// runtime and settings folders, so that tests running side by side share no
// single-instance lock and no remembered folder.
#pragma once

// gtest and Qt first: Xlib's macros (None, Bool, Status) would break their
// headers.
#include <gtest/gtest.h>

#include <QImage>
// clang-format off
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
// clang-format on
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace e2e {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
inline constexpr auto kPatience = std::chrono::seconds(30);

// A process started by the test: stopped (SIGTERM, then SIGKILL) when the
// object goes, and killed by the kernel when the test process dies first.
class Child {
 public:
  // Starts argv (argv[0] searched in PATH) with the test's environment plus
  // `env`; `passFd` >= 0 becomes the child's fd 3, `outFd` >= 0 its standard
  // output. Null when fork fails.
  static std::unique_ptr<Child> Start(const std::vector<std::string>& argv,
                                      const std::map<std::string, std::string>& env,
                                      int passFd = -1, int outFd = -1) {
    std::vector<std::string> envText;
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry = *e;
      if (!env.count(entry.substr(0, entry.find('=')))) envText.push_back(entry);
    }
    for (const auto& [name, value] : env) envText.push_back(name + "=" + value);
    std::vector<char*> args = Pointers(argv);
    std::vector<char*> envs = Pointers(envText);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) return nullptr;
    if (pid == 0) {
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (getppid() != parent) _exit(127);
      if (passFd >= 0) dup2(passFd, 3);
      if (outFd >= 0) dup2(outFd, 1);
      execvpe(args[0], args.data(), envs.data());
      _exit(127);
    }
    return std::unique_ptr<Child>(new Child(pid));
  }

  ~Child() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    if (Wait(std::chrono::seconds(5)) == kStillRunning) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  // Sends `signal` (e.g. SIGKILL, as a dead battery would end the program)
  // and waits for the end; true when the child ended in time.
  bool Signal(int signal) {
    if (pid_ <= 0) return true;
    kill(pid_, signal);
    return Wait() != kStillRunning;
  }

  static constexpr int kStillRunning = -2;
  // The exit status once the child has ended within `patience`; -1 when it
  // ended by a signal, kStillRunning when it is still running.
  int Wait(Clock::duration patience = kPatience) {
    for (const auto deadline = Clock::now() + patience; Clock::now() < deadline;) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return kStillRunning;
  }

 private:
  explicit Child(pid_t pid) : pid_(pid) {}
  static std::vector<char*> Pointers(const std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (const std::string& t : texts) result.push_back(const_cast<char*>(t.c_str()));
    result.push_back(nullptr);
    return result;
  }

  pid_t pid_;
};

// A test fixture with its own X server, folders and started programs.
// `program` is the built `varnolde`.
class ProgramTest : public ::testing::Test {
 protected:
  explicit ProgramTest(std::string program) : program_(std::move(program)) {}

  void SetUp() override {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    xvfb_ = Child::Start(
        {"Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"}, {},
        fds[1]);
    close(fds[1]);
    ASSERT_NE(xvfb_, nullptr);
    const std::string number = ReadLine(fds[0]);
    close(fds[0]);
    ASSERT_FALSE(number.empty()) << "Xvfb gave no display number";
    displayName_ = ":" + number;
    display_ = XOpenDisplay(displayName_.c_str());
    ASSERT_NE(display_, nullptr);
    // Windows come and go while the test looks at them; a window gone
    // between listing and reading it is simply not the one looked for.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    MakeFolders();
  }

  void TearDown() override {
    programs_.clear();
    if (display_ != nullptr) XCloseDisplay(display_);
    xvfb_.reset();
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  // The test's program folder (the program and the default setup file),
  // runtime and settings folders, and a folder for the files it makes.
  void MakeFolders() {
    root_ = fs::path(VARNOLDE_E2E_DIR) /
            (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
             std::to_string(getpid()));
    fs::remove_all(root_);
    for (const char* sub : {"bin", "runtime", "config", "state", "data", "home"})
      fs::create_directories(root_ / sub);
    fs::permissions(root_ / "runtime", fs::perms::owner_all, fs::perm_options::replace);
    std::error_code linked;
    fs::create_hard_link(program_, root_ / "bin" / "varnolde", linked);
    if (linked) fs::copy_file(program_, root_ / "bin" / "varnolde");
    fs::copy_file(fs::path(program_).parent_path() / "DefaultScaler.SetupScl",
                  root_ / "bin" / "DefaultScaler.SetupScl");
  }

  std::map<std::string, std::string> Environment() {
    return {{"DISPLAY", displayName_},
            {"QT_QPA_PLATFORM", "xcb"},
            {"XDG_RUNTIME_DIR", (root_ / "runtime").string()},
            {"XDG_CONFIG_HOME", (root_ / "config").string()},
            {"XDG_STATE_HOME", (root_ / "state").string()},
            // Whatever a program keeps in the user's home (the print
            // dialog's file, say) stays in the test's folder.
            {"HOME", (root_ / "home").string()}};
  }

  // Starts `argv` on the test's display; it is stopped when the test ends.
  Child& Start(const std::vector<std::string>& argv,
               const std::map<std::string, std::string>& extra = {}) {
    std::map<std::string, std::string> env = Environment();
    env.insert(extra.begin(), extra.end());
    programs_.push_back(Child::Start(argv, env));
    return *programs_.back();
  }

  Child& StartProgram(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {(root_ / "bin" / "varnolde").string()};
    argv.insert(argv.end(), args.begin(), args.end());
    return Start(argv);
  }

#ifdef VARNOLDE_CLI
  // Runs varnolde-cli with `args` to its end; its exit status, and its
  // standard output in `out`.
  int Cli(const std::vector<std::string>& args, std::string* out = nullptr) {
    std::vector<std::string> argv = {VARNOLDE_CLI, "--yes"};
    argv.insert(argv.end(), args.begin(), args.end());
    const fs::path log = root_ / "cli.out";
    const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    auto child = Child::Start(argv, {}, -1, fd);
    close(fd);
    const int status = child ? child->Wait(std::chrono::seconds(60)) : -1;
    if (out != nullptr) {
      std::ifstream in(log);
      out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return status;
  }
#endif

  // Runs xdotool with `args` on the test's display; true when it succeeded.
  bool Xdotool(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    auto child = Child::Start(argv, {{"DISPLAY", displayName_}});
    return child != nullptr && child->Wait() == 0;
  }

  // The viewable top-level window titled `title`, waited for; 0 when none
  // came in time.
  Window WaitForWindow(const std::string& title, Clock::duration patience = kPatience) {
    for (const auto deadline = Clock::now() + patience; Clock::now() < deadline;) {
      if (Window w = FindWindow(title)) return w;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
  }

  // Waits until no viewable window is titled `title`; false when one still
  // is when the time is up.
  bool WaitForWindowGone(const std::string& title, Clock::duration patience = kPatience) {
    for (const auto deadline = Clock::now() + patience; Clock::now() < deadline;) {
      if (FindWindow(title) == 0) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  Window FindWindow(const std::string& title) {
    Window found = 0;
    ForEachViewable([&](Window w, const std::string& name) {
      if (found == 0 && name == title) found = w;
    });
    return found;
  }

  // The titles of the viewable top-level windows, joined by " | ": what a
  // failed wait found instead.
  std::string ShownTitles() {
    std::string titles;
    ForEachViewable(
        [&](Window, const std::string& name) { titles += (titles.empty() ? "" : " | ") + name; });
    return titles;
  }

  template <class Visit>
  void ForEachViewable(Visit visit) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count))
      return;
    for (unsigned i = 0; i < count; ++i) {
      char* name = nullptr;
      XWindowAttributes attributes;
      if (XFetchName(display_, children[i], &name) && name != nullptr) {
        if (XGetWindowAttributes(display_, children[i], &attributes) &&
            attributes.map_state == IsViewable) {
          visit(children[i], std::string(name));
        }
        XFree(name);
      }
    }
    if (children != nullptr) XFree(children);
  }

  // Waits for the window titled `title`, gives it the keyboard and presses
  // `keys` (xdotool key names) in it.
  void Answer(const std::string& title, const std::vector<std::string>& keys) {
    const Window w = WaitForWindow(title);
    ASSERT_NE(w, 0u) << "no window titled " << title << "; shown: " << ShownTitles();
    Focus(w);
    ASSERT_TRUE(Keys(keys));
  }

  // Presses `keys` (xdotool key names) in the window that has the keyboard.
  bool Keys(const std::vector<std::string>& keys) {
    std::vector<std::string> args = {"key", "--delay", "50"};
    args.insert(args.end(), keys.begin(), keys.end());
    return Xdotool(args);
  }

  // Types `text` in the window that has the keyboard.
  bool Type(const std::string& text) { return Xdotool({"type", "--delay", "30", text}); }

  void Focus(Window w) {
    XRaiseWindow(display_, w);
    XSetInputFocus(display_, w, RevertToParent, CurrentTime);
    XSync(display_, False);
    // The program takes the focus change from its event queue.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }

  // The text the program put on the clipboard (UTF-8); "" when none came.
  std::string Clipboard() {
    const Window me =
        XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    const Atom clipboard = XInternAtom(display_, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
    const Atom property = XInternAtom(display_, "VARNOLDE_E2E", False);
    XConvertSelection(display_, clipboard, utf8, property, me, CurrentTime);
    XFlush(display_);
    std::string text;
    for (const auto deadline = Clock::now() + std::chrono::seconds(5); Clock::now() < deadline;) {
      XEvent event;
      if (!XCheckTypedWindowEvent(display_, me, SelectionNotify, &event)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        continue;
      }
      Atom type = 0;
      int format = 0;
      unsigned long items = 0, after = 0;
      unsigned char* data = nullptr;
      if (event.xselection.property != 0 &&
          XGetWindowProperty(display_, me, property, 0, 1 << 16, True, AnyPropertyType, &type,
                             &format, &items, &after, &data) == Success &&
          data != nullptr) {
        text.assign(reinterpret_cast<char*>(data), items);
        XFree(data);
      }
      break;
    }
    XDestroyWindow(display_, me);
    return text;
  }

  // Saves what window `w` shows as a PNG at `path`.
  bool SaveScreenshot(Window w, const std::string& path) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, w, &attributes)) return false;
    XImage* image =
        XGetImage(display_, w, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (image == nullptr) return false;
    const QImage shot = QImage(reinterpret_cast<const uchar*>(image->data), image->width,
                               image->height, image->bytes_per_line, QImage::Format_RGB32)
                            .copy();
    XDestroyImage(image);
    return shot.save(QString::fromStdString(path));
  }

  static std::string ReadLine(int fd) {
    std::string line;
    for (const auto deadline = Clock::now() + kPatience; Clock::now() < deadline;) {
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      char c;
      if (read(fd, &c, 1) != 1) break;
      if (c == '\n') return line;
      line += c;
    }
    return {};
  }

  std::string program_;
  fs::path root_;
  std::unique_ptr<Child> xvfb_;
  std::vector<std::unique_ptr<Child>> programs_;
  std::string displayName_;
  Display* display_ = nullptr;
};

}  // namespace e2e
