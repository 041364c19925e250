// Two varnolde-cli runs on one scale file at the same moment, as a field
// office starts them from a script ("import F.scl load.txt & report F.scl &").
// One of the two is held inside its open by the tool's test hook
// (VARNOLDE_CLI_HOLD_OPEN_WHILE) while the other runs, each of them first in
// turn, so that the two meet in every pair and in any build, however fast.
// Each pair must end with one program refused ("File Already Open", nothing
// of its work in the file) and the other's work complete in a file that
// opens. Should two ever not meet, both works must be in the file, one
// after the other.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/cli_test_util.h"
#include "mkstore/json_dump.h"
#include "mkstore/storage.h"
#include "mkstore/view.h"

namespace {

namespace fs = std::filesystem;
using cli::testing::ReadAll;

// Pairs per kind of pair. Enough to meet the fault this guards against
// (two programs both passing the in-use check) many times over.
constexpr int kPairs = 70;

constexpr char kBaseLoad[] =
    "[Load]\nLoad[SALE:S,LLR:S,CONTRACT:S,SCALER:S,ST:S,SCALESYS:S,CFSAWCU:F,CFNONSAWCU:F,"
    "MINLEN:I,MAXLEN:I,MINDIA:I,MAXDIA:I,SDATE:S,HDATE:S]\nt\n"
    "Test Sale,77,C-1,A. Scaler,3P,Cubic,10.67,8,8,40,4,30,20200102,20200101\n"
    "[Log]\nLog[SALE:S,LLR:S,LOG:I,S:S,SP:S,P:I,KPI:I,RND:I,HIT:I,LN:I,SD:I,LD:I]\nt\n"
    "Test Sale,77,1,1,DF,1,30,40,0,,,\n"
    "Test Sale,77,2,1,DF,1,30,20,1,16,10,12\n";
constexpr int kBaseLogs = 2;

// `count` more unsampled logs from number `first` on, with the load they
// belong to (an import takes no log without its Load row): a new load `llr`
// of the sale, or, for 77, the base load with them, to import --replace.
std::string MoreLogs(int first, int count, const std::string& llr) {
  std::string text =
      llr == "77" ? std::string(kBaseLoad)
                  : "[Load]\nLoad[SALE:S,LLR:S]\nt\nTest Sale," + llr +
                        "\n[Log]\nLog[SALE:S,LLR:S,LOG:I,S:S,SP:S,P:I,KPI:I,RND:I,HIT:I]\nt\n";
  for (int log = first; log < first + count; ++log) {
    text += "Test Sale," + llr + "," + std::to_string(log) + ",1,DF,1,30,40,0\n";
  }
  return text;
}

// One command of a pair and what it adds to the file when it succeeds.
struct Command {
  std::vector<std::string> args;
  int logs = 0;  // rows it imports into Log
  bool finalizes = false;
  bool reports = false;  // writes F.cmp
};

struct ProgramRun {
  int exitCode = -1;
  std::string out, err;
  bool Refused() const {
    return exitCode == 1 && err.find("File Already Open: F.scl is in use") != std::string::npos;
  }
};

// What the scale file holds, read as a reader that never writes reads it.
struct FileState {
  std::string error;  // empty when it opens and every cell reads
  int logs = 0;
  int closed = 0;  // journal entries "File closed", one per program that worked on it
  std::string finalized;
};

FileState Inspect(const fs::path& path) {
  FileState state;
  std::unique_ptr<mk::Storage> storage;
  const mk::Status status = mk::Storage::OpenReadOnly(path, &storage);
  if (!status.ok()) {
    state.error = status.ToString();
    return state;
  }
  mk::DumpJson(*storage);  // every cell, as the file's readers would reach it
  state.logs = storage->GetView("Log").RowCount();
  const mk::View journal = storage->GetView("MessageLog");
  for (int r = 0; r < journal.RowCount(); ++r) {
    state.closed += journal.GetString(r, journal.FindProperty("Msg")) == "File closed";
  }
  const mk::View globals = storage->GetView("Globals");
  for (int r = 0; r < globals.RowCount(); ++r) {
    if (globals.GetString(r, globals.FindProperty("Key")) == "Finalized") {
      state.finalized = globals.GetString(r, globals.FindProperty("Value"));
    }
  }
  return state;
}

class TwoProgramsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = cli::testing::FreshTestFolder("two_");
    Write("base.txt", kBaseLoad);
    ASSERT_EQ(RunAlone({"create", "base.scl"}), 0);
    ASSERT_EQ(RunAlone({"import", "base.scl", "base.txt"}), 0);
    base_ = Inspect(dir_ / "base.scl");
    ASSERT_EQ(base_.error, "");
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }

  int RunAlone(const std::vector<std::string>& args) {
    std::string cmd = "cd '" + dir_.string() + "' && '" VARNOLDE_CLI "'";
    for (const std::string& a : args) cmd += " '" + a + "'";
    const int status = std::system((cmd + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // Starts command `i` in the test's folder, its output to i.out and i.err;
  // with `hold`, told to wait inside its open while that file exists.
  pid_t Start(int i, const Command& command, const fs::path* hold) {
    std::vector<std::string> args = command.args;
    args.insert(args.begin(), VARNOLDE_CLI);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string out = (dir_ / (std::to_string(i) + ".out")).string();
    const std::string err = (dir_ / (std::to_string(i) + ".err")).string();
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
      ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
      if (hold != nullptr) ::setenv("VARNOLDE_CLI_HOLD_OPEN_WHILE", hold->c_str(), 1);
      if (::chdir(dir_.c_str()) == 0) ::execv(VARNOLDE_CLI, argv.data());
      ::_exit(127);
    }
    return pid;
  }

  ProgramRun Wait(int i, pid_t pid) {
    ProgramRun run;
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadAll(dir_ / (std::to_string(i) + ".out"));
    run.err = ReadAll(dir_ / (std::to_string(i) + ".err"));
    return run;
  }

  // True once a program holds F.scl (a shared lock of ours is refused), or
  // once `pid` has ended without holding it.
  bool WaitUntilHeld(pid_t pid) {
    for (;;) {
      const int fd = ::open((dir_ / "F.scl").c_str(), O_RDONLY | O_CLOEXEC);
      const bool held = fd >= 0 && ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
      if (fd >= 0) ::close(fd);
      if (held) return true;
      int status = 0;
      if (::waitpid(pid, &status, WNOHANG) == pid) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  // Runs both commands so that they meet for certain, in any build: the
  // program `first` is held inside its open (the tool's test hook) until the
  // other one has ended, so the other one's open meets the hold.
  std::array<ProgramRun, 2> RunTogether(const std::array<Command, 2>& commands, int first) {
    const fs::path hold = dir_ / "hold";
    std::ofstream(hold) << "held";
    std::array<ProgramRun, 2> runs;
    const pid_t holder = Start(first, commands[first], &hold);
    const bool held = WaitUntilHeld(holder);
    EXPECT_TRUE(held) << "the first program never held the file";
    if (!held) {
      fs::remove(hold);
      runs[first] = Wait(first, holder);
      return runs;
    }
    const int second = 1 - first;
    runs[second] = Wait(second, Start(second, commands[second], nullptr));
    fs::remove(hold);
    runs[first] = Wait(first, holder);
    return runs;
  }

  // Races the pair kPairs times on fresh copies of the base file and checks
  // every outcome. Returns the number of pairs in which the two met.
  int Race(const std::array<Command, 2>& commands) {
    int met = 0;
    for (int pair = 0; pair < kPairs; ++pair) {
      SCOPED_TRACE("pair " + std::to_string(pair));
      fs::remove(dir_ / "F.cmp");
      fs::copy_file(dir_ / "base.scl", dir_ / "F.scl", fs::copy_options::overwrite_existing);
      const std::array<ProgramRun, 2> runs = RunTogether(commands, pair % 2);
      const bool refused[2] = {runs[0].Refused(), runs[1].Refused()};
      met += refused[0] || refused[1];
      FileState expected = base_;
      bool reported = false;
      for (int i = 0; i < 2; ++i) {
        if (refused[i]) continue;
        EXPECT_EQ(runs[i].exitCode, 0) << runs[i].err;
        expected.logs += commands[i].logs;
        expected.closed += 1;
        if (commands[i].finalizes) expected.finalized = "YES";
        reported = reported || commands[i].reports;
      }
      EXPECT_EQ(fs::exists(dir_ / "F.cmp"), reported);
      EXPECT_FALSE(refused[0] && refused[1]) << runs[0].err << runs[1].err;
      const FileState state = Inspect(dir_ / "F.scl");
      EXPECT_EQ(state.error, "");
      EXPECT_EQ(state.logs, expected.logs);
      EXPECT_EQ(state.closed, expected.closed);
      EXPECT_EQ(state.finalized, expected.finalized);
      if (HasFailure()) break;
    }
    return met;
  }

  fs::path dir_;
  FileState base_;
};

// Every pair meets, or the test would prove nothing about the hold.
void ExpectMostMet(int met) {
  std::cout << "The programs of " << met << " of " << kPairs << " pairs met\n";
  EXPECT_EQ(met, kPairs) << "the programs of some pairs did not meet";
}

TEST_F(TwoProgramsTest, ImportAndImport) {
  Write("a.txt", MoreLogs(3, 3, "78"));
  Write("b.txt", MoreLogs(6, 5, "79"));
  ExpectMostMet(
      Race({Command{{"import", "F.scl", "a.txt"}, 3}, Command{{"import", "F.scl", "b.txt"}, 5}}));
}

TEST_F(TwoProgramsTest, ImportAndReport) {
  Write("a.txt", MoreLogs(3, 3, "77"));
  ExpectMostMet(Race({Command{{"import", "--replace", "F.scl", "a.txt"}, 3},
                      Command{{"report", "--yes", "F.scl"}, 0, false, true}}));
}

TEST_F(TwoProgramsTest, ReportAndFinalize) {
  ExpectMostMet(Race({Command{{"report", "--yes", "F.scl"}, 0, false, true},
                      Command{{"finalize", "--yes", "F.scl"}, 0, true}}));
}

}  // namespace
