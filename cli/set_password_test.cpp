#include "cli/set_password.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "platform/test_support.h"
#include "setup/password_file.h"

namespace cli {
namespace {

constexpr const char* kOldFile = "alice,$R%=O$#V\nbob,$R%=O$#V$";

class SetPasswordTest : public ::testing::Test {
 protected:
  void SetUp() override { Put(kOldFile); }

  void Put(const std::string& text) {
    ASSERT_EQ(fs_.WriteFile(path_, text), platform::FileResult::kOk);
  }
  std::string File() {
    std::string text;
    EXPECT_EQ(fs_.ReadFile(path_, 1 << 16, &text), platform::FileResult::kOk);
    return text;
  }
  // Runs the command with `input` as its (non-terminal) input.
  Outcome Run(const std::string& user, const std::string& input) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    EXPECT_EQ(write(fds[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
    close(fds[1]);
    Outcome outcome = SetPassword(ctx_, path_, user, fds[0]);
    close(fds[0]);
    return outcome;
  }

  platform::testing::TempFolder folder_;
  const std::string path_ = folder_ / "Varnolde.upw";
  platform::PosixFileSystem fs_;
  platform::FixedClock clock_;
  std::ostringstream out_, err_;
  StderrUi ui_{out_, err_, false};
  Context ctx_{out_, ui_, fs_, clock_, folder_.path()};
};

TEST_F(SetPasswordTest, ScriptSetsTheHashAndKeepsTheOtherLinesAndTheMode) {
  ASSERT_EQ(chmod(path_.c_str(), 0640), 0);
  ASSERT_TRUE(Run("bob", "n3w pass\nignored\n").ok);
  EXPECT_EQ(out_.str(), "Set the password of bob in " + path_ + "\n");
  const std::string text = File();
  EXPECT_EQ(text.substr(0, 20), "alice,$R%=O$#V\nbob,$");
  EXPECT_TRUE(setup::FindSignIn(text, "bob", "n3w pass").has_value());
  EXPECT_FALSE(setup::FindSignIn(text, "bob", "passwordp").has_value());
  struct stat st {};
  ASSERT_EQ(stat(path_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(SetPasswordTest, RefusalsNameTheReasonAndWriteNothing) {
  EXPECT_EQ(Run("bob", "").reason, "Password can't be blank");
  EXPECT_EQ(Run("bob", "a,b\n").reason, "Password can't have commas");
  EXPECT_EQ(File(), kOldFile);
  ASSERT_EQ(fs_.Delete(path_), platform::FileResult::kOk);
  EXPECT_FALSE(Run("bob", "pw\n").ok);
  EXPECT_FALSE(fs_.Exists(path_));
}

// Waits until the terminal `fd` has its echo turned off (or on), as the
// command does before it reads; false after a long time.
bool AwaitEcho(int fd, bool on) {
  for (int i = 0; i < 10000; ++i) {
    termios t{};
    if (tcgetattr(fd, &t) == 0 && ((t.c_lflag & ECHO) != 0) == on) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

TEST_F(SetPasswordTest, TerminalAsksTwiceWithoutEchoAndIsRestored) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
  ASSERT_GE(terminal, 0);
  bool typed = false;
  std::thread user(
      [&] { typed = AwaitEcho(terminal, false) && write(master, "tty pw\ntty pw\n", 14) == 14; });
  const Outcome outcome = SetPassword(ctx_, path_, "carol", terminal);
  user.join();
  ASSERT_TRUE(typed);
  EXPECT_TRUE(outcome.ok) << outcome.reason;
  EXPECT_EQ(out_.str(), "Added carol to " + path_ + "\n");
  EXPECT_TRUE(setup::FindSignIn(File(), "carol", "tty pw").has_value());
  // Nothing typed came back to the screen, and the echo is on again.
  ASSERT_EQ(fcntl(master, F_SETFL, O_NONBLOCK), 0);
  char echoed[64];
  const ssize_t n = read(master, echoed, sizeof echoed);
  EXPECT_EQ(std::string(echoed, n > 0 ? static_cast<size_t>(n) : 0).find("pw"), std::string::npos);
  EXPECT_TRUE(AwaitEcho(terminal, true));
  close(terminal);
  close(master);
}

}  // namespace
}  // namespace cli
