// Test support shared by the tests that run varnolde-cli as a process.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace cli::testing {

// The whole file at `path`; "" when it cannot be read.
inline std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// `arg` quoted for the shell.
inline std::string Quote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// An empty folder for the running test under the test's temporary folder,
// named `prefix` + the test's name + the process id (two checkouts' suites
// may run the same test at the same time).
inline std::filesystem::path FreshTestFolder(const std::string& prefix) {
  const std::filesystem::path dir =
      std::filesystem::path(::testing::TempDir()) /
      (prefix + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
       std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

// What one run of varnolde-cli gave: its exit code (-1 when it did not
// exit) and what it wrote to stdout and stderr.
struct ToolRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs the varnolde-cli at `cli` with `args` in the folder `dir` (which
// receives out.txt and err.txt); `path`, when not empty, is its PATH.
inline ToolRun RunCli(const std::filesystem::path& dir, const std::string& cli,
                      const std::vector<std::string>& args, const std::string& path = "") {
  std::string cmd = "cd " + Quote(dir.string()) + " && ";
  if (!path.empty()) cmd += "PATH=" + Quote(path) + " ";
  cmd += Quote(cli);
  for (const std::string& a : args) cmd += " " + Quote(a);
  cmd += " >out.txt 2>err.txt";
  const int status = std::system(cmd.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(dir / "out.txt"),
          ReadAll(dir / "err.txt")};
}

}  // namespace cli::testing
