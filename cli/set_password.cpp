#include "cli/set_password.h"

#include <errno.h>
#include <termios.h>

#include <iostream>
#include <optional>

#include "setup/password_store.h"

namespace cli {
namespace {

// The longest password line read; longer input is refused, not cut.
constexpr size_t kMaxLine = 1024;

// One line of `fd` without its line end; nullopt when reading fails or the
// line is too long. The end of the input ends the line.
std::optional<std::string> ReadLine(int fd) {
  std::string line;
  char ch = 0;
  for (;;) {
    const ssize_t n = read(fd, &ch, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0 || ch == '\n') break;
    if (line.size() == kMaxLine) return std::nullopt;
    line += ch;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// Asks for one line on the terminal `fd` with its echo off, restored after.
std::optional<std::string> AskHidden(int fd, const std::string& prompt) {
  termios saved{};
  if (tcgetattr(fd, &saved) != 0) return std::nullopt;
  termios hidden = saved;
  hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  hidden.c_lflag |= ECHONL;
  std::cerr << prompt << std::flush;
  if (tcsetattr(fd, TCSANOW, &hidden) != 0) return std::nullopt;
  auto line = ReadLine(fd);
  tcsetattr(fd, TCSANOW, &saved);
  return line;
}

}  // namespace

Outcome SetPassword(Context& ctx, const std::string& passwordFile, const std::string& userName,
                    int inputFd) {
  std::optional<std::string> password;
  std::optional<std::string> retyped;
  if (isatty(inputFd)) {
    password = AskHidden(inputFd, "New password for " + userName + ": ");
    if (password) retyped = AskHidden(inputFd, "Re-type password: ");
  } else {
    password = ReadLine(inputFd);
    retyped = password;
  }
  if (!password || !retyped) return Outcome::Fail("the new password could not be read");
  const setup::SetPasswordOutcome outcome =
      setup::SetPassword(ctx.fs, passwordFile, userName, *password, *retyped);
  if (!outcome.ok) return Outcome::Fail(outcome.error);
  ctx.out << (outcome.added ? "Added " + userName + " to "
                            : "Set the password of " + userName + " in ")
          << passwordFile << '\n';
  return Outcome::Ok();
}

}  // namespace cli
