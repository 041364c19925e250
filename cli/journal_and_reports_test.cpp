// varnolde-cli as a process on real files: refused commands leave the file
// as it was, reports never overwrite or contradict each other, and a folder
// or file the user may not write fails the command with the system's reason.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli_test_util.h"
#include "reports/pdf_text_test_util.h"

namespace {

namespace fs = std::filesystem;
using cli::testing::Quote;
using cli::testing::ReadAll;

struct ToolRun {
  int exitCode = -1;
  std::string out, err;
};

// A 100 % cubic load of two logs that passes every audit.
std::string Load(const std::string& sale, const std::string& llr) {
  return "[Load]\nLoad[SALE:S,LLR:S,CONTRACT:S,SCALER:S,ST:S,SCALESYS:S,CFSAWCU:F,CFNONSAWCU:F,"
         "MINLEN:I,MAXLEN:I,MINDIA:I,MAXDIA:I,SDATE:S,HDATE:S]\nt\n" +
         sale + "," + llr +
         ",C-1,A. Scaler,100,Cubic,10.67,8,8,40,4,30,20200102,20200101\n"
         "[Log]\nLog[SALE:S,LLR:S,LOG:I,S:S,SP:S,P:I,LN:I,SD:I,LD:I]\nt\n" +
         sale + "," + llr + ",1,1,DF,1,16,10,12\n" + sale + "," + llr + ",2,1,DF,1,20,11,13\n";
}

class JournalAndReportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = cli::testing::FreshTestFolder("jr_");
  }
  void TearDown() override {
    fs::permissions(dir_, fs::perms::all, fs::perm_options::add);
    fs::remove_all(dir_);
  }

  // Runs varnolde-cli with `args` in the test's folder; with `asOther`, as
  // a user other than root when the test runs as root (root may write
  // anywhere, so a folder or file it may not write cannot be made for it).
  ToolRun Cli(const std::vector<std::string>& args, bool asOther = false) {
    std::string cmd = "cd " + Quote(dir_.string()) + " && ";
    if (asOther && ::geteuid() == 0) cmd += "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    cmd += Quote(VARNOLDE_CLI);
    for (const std::string& a : args) cmd += " " + Quote(a);
    const fs::path out = fs::temp_directory_path() / ("jr_out_" + std::to_string(::getpid()));
    const fs::path err = fs::temp_directory_path() / ("jr_err_" + std::to_string(::getpid()));
    cmd += " >" + Quote(out.string()) + " 2>" + Quote(err.string());
    const int status = std::system(cmd.c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadAll(out);
    run.err = ReadAll(err);
    fs::remove(out);
    fs::remove(err);
    return run;
  }

  void Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }

  // Creates `scl` and imports each of `texts` (written as t0.txt, t1.txt...).
  void MakeFile(const std::string& scl, const std::vector<std::string>& texts) {
    ASSERT_EQ(Cli({"create", scl}).exitCode, 0);
    for (size_t i = 0; i < texts.size(); ++i) {
      const std::string name = "t" + std::to_string(i) + ".txt";
      Write(name, texts[i]);
      const ToolRun r = Cli({"import", scl, name});
      ASSERT_EQ(r.exitCode, 0) << r.err;
    }
  }

  std::string PdfText(const std::string& name) {
    return reports::testing::CommandOutput("pdftotext -layout " + Quote((dir_ / name).string()) +
                                           " - 2>/dev/null");
  }

  fs::path dir_;
};

// ---- Refusals --------------------------------------------------------------------

TEST_F(JournalAndReportsTest, RefusedCommandsLeaveTheFileByteForByte) {
  MakeFile("F.scl", {Load("S", "77")});
  Write("again.txt", Load("S", "77"));
  ASSERT_EQ(Cli({"create", "fin.scl"}).exitCode, 0);
  ASSERT_EQ(Cli({"import", "fin.scl", "t0.txt"}).exitCode, 0);
  ASSERT_EQ(Cli({"finalize", "fin.scl"}).exitCode, 0);
  const std::vector<std::vector<std::string>> refused = {
      {"rename", "F.scl", "--llr", "99", "100"},       // no load has 99
      {"rename", "F.scl", "--llr", "77", "7,7"},       // a comma
      {"unfinalize", "F.scl"},                         // not finalized
      {"set-file-type", "F.scl", "check scale"},       // the file has logs
      {"import", "F.scl", "again.txt"},                // a load the file holds
      {"import", "fin.scl", "again.txt"},              // a finalized load
      {"finalize", "fin.scl"},                         // finalized, its report there
  };
  for (const auto& args : refused) {
    const std::string& file = args[1];
    const std::string before = ReadAll(dir_ / file);
    const ToolRun r = Cli(args);
    SCOPED_TRACE(args[0] + " " + args[1]);
    EXPECT_EQ(ReadAll(dir_ / file), before) << r.err;
  }
}

TEST_F(JournalAndReportsTest, RefusedImportIntoASetupFileGivesItNoJournal) {
  fs::copy_file(fs::path(VARNOLDE_CLI).parent_path() / "DefaultScaler.SetupScl",
                dir_ / "mine.SetupScl");
  Write("load.txt", Load("S", "77"));
  const std::string before = ReadAll(dir_ / "mine.SetupScl");
  EXPECT_EQ(Cli({"import", "mine.SetupScl", "load.txt"}).exitCode, 1);
  EXPECT_EQ(ReadAll(dir_ / "mine.SetupScl"), before);
}

TEST_F(JournalAndReportsTest, UsageErrorsExitTwo) {
  MakeFile("F.scl", {Load("S", "77")});
  const std::string before = ReadAll(dir_ / "F.scl");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"rename", "F.scl"}, {"set-file-type", "F.scl", "lumber"}}) {
    const ToolRun r = Cli(args);
    EXPECT_EQ(r.exitCode, 2) << args[0] << ": " << r.err;
  }
  EXPECT_EQ(ReadAll(dir_ / "F.scl"), before);
}

// ---- Report names ----------------------------------------------------------------

TEST_F(JournalAndReportsTest, LoadsWhoseReportNamesClashAreRefusedByName) {
  struct Case {
    std::string a, b;  // SALE,LLR of the two loads
    std::string named;
  };
  const Case cases[] = {
      {"S,10/42", "S,10-42", "SALE S LLR 10/42 and SALE S LLR 10-42"},
      {"North,1042", "South,1042", "SALE North LLR 1042 and SALE South LLR 1042"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.named);
    const auto load = [](const std::string& pair) {
      const size_t comma = pair.find(',');
      return Load(pair.substr(0, comma), pair.substr(comma + 1));
    };
    fs::remove(dir_ / "F.scl");
    MakeFile("F.scl", {load(c.a), load(c.b)});
    const std::string before = ReadAll(dir_ / "F.scl");
    const ToolRun r = Cli({"report", "F.scl"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("The loads " + c.named + " would write their reports to the same files"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadAll(dir_ / "F.scl"), before);
    for (const auto& entry : fs::directory_iterator(dir_)) {
      EXPECT_NE(entry.path().extension(), ".cmp") << entry.path();
    }
  }
}

// ---- Reports that agree with their load --------------------------------------------

// The office's day as the README tells it: after un-finalize, a rename and a
// finalize, the audit report's PDF is made again with it, list marks the
// other reports as out of date, and the report run makes them fresh.
TEST_F(JournalAndReportsTest, PdfCopiesFollowTheirReportsAndListMarksOldReports) {
  MakeFile("F.scl", {Load("S", "1042")});
  ASSERT_EQ(Cli({"--yes", "finalize", "--pdf", "F.scl"}).exitCode, 0);
  ASSERT_EQ(Cli({"report", "--pdf", "F.scl"}).exitCode, 0);
  EXPECT_NE(Cli({"list", "F.scl"}).out.find("reports up to date"), std::string::npos);
  ASSERT_EQ(Cli({"unfinalize", "F.scl"}).exitCode, 0);
  ASSERT_EQ(Cli({"rename", "F.scl", "--llr", "1042", "1042A"}).exitCode, 0);
  ToolRun r = Cli({"finalize", "F.scl"});  // no --pdf: the old PDF is made again all the same
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(ReadAll(dir_ / "F.audit").find("Changed LLR from 1042 to 1042A"), std::string::npos);
  EXPECT_NE(PdfText("F.audit.pdf").find("1042A"), std::string::npos);
  EXPECT_NE(PdfText("F.cmp.pdf").find("1042"), std::string::npos);
  EXPECT_EQ(PdfText("F.cmp.pdf").find("1042A"), std::string::npos);
  r = Cli({"list", "F.scl"});
  EXPECT_NE(r.out.find("LLR 1042A"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("reports out of date"), std::string::npos) << r.out;
  ASSERT_EQ(Cli({"report", "F.scl"}).exitCode, 0);
  EXPECT_NE(PdfText("F.cmp.pdf").find("1042A"), std::string::npos);
  EXPECT_NE(PdfText("F.clg.pdf").find("1042A"), std::string::npos);
  EXPECT_NE(Cli({"list", "F.scl"}).out.find("reports up to date"), std::string::npos);
}

// ---- Folders and files that cannot be written --------------------------------------

TEST_F(JournalAndReportsTest, FolderThatCannotBeWrittenFailsWithTheSystemsReason) {
  MakeFile("F.scl", {Load("S", "77")});
  fs::permissions(dir_ / "F.scl", fs::perms::all, fs::perm_options::add);
  const std::string before = ReadAll(dir_ / "F.scl");
  fs::permissions(dir_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  ToolRun r = Cli({"finalize", "F.scl"}, true);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Permission denied"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("another application"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.find("Finalized"), std::string::npos) << r.out;
  EXPECT_EQ(ReadAll(dir_ / "F.scl"), before);  // refused before anything was done
  r = Cli({"report", "F.scl"}, true);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Permission denied"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("Reports Created"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.find("Wrote"), std::string::npos) << r.out;
}

TEST_F(JournalAndReportsTest, ReadOnlyFileFailsWithTheSystemsReason) {
  MakeFile("F.scl", {Load("S", "77")});
  fs::permissions(dir_, fs::perms::all, fs::perm_options::add);
  fs::permissions(dir_ / "F.scl", fs::perms::owner_read | fs::perms::group_read |
                                      fs::perms::others_read);
  const std::string before = ReadAll(dir_ / "F.scl");
  const ToolRun r = Cli({"rename", "F.scl", "--llr", "77", "78"}, true);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Permission denied"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("Bad file descriptor"), std::string::npos) << r.err;
  EXPECT_EQ(ReadAll(dir_ / "F.scl"), before);
}

}  // namespace
