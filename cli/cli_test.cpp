// varnolde-cli run as a user runs it: the built tool as a process, on real
// files in a temporary folder. Expected figures are derived from the files
// the tool wrote (the totals text against the Brevanta file's sums), never
// copied from its output.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli_test_util.h"
#include "reports/pdf_text_test_util.h"

namespace {

namespace fs = std::filesystem;

using cli::testing::Quote;
using cli::testing::ReadAll;
using cli::testing::ToolRun;

std::string Demo(const std::string& name) { return std::string(VARNOLDE_DEMO_DIR) + "/" + name; }

// The lines of `text` that contain `needle`.
int CountLines(const std::string& text, const std::string& needle) {
  int n = 0;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) n += line.find(needle) != std::string::npos;
  return n;
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = cli::testing::FreshTestFolder("cli_"); }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs varnolde-cli with `args` in the test's folder.
  ToolRun Cli(const std::vector<std::string>& args) {
    return cli::testing::RunCli(dir_, VARNOLDE_CLI, args);
  }

  // Creates `scl` from the bundled setup and imports `text` into it.
  void MakeLoad(const std::string& scl, const std::string& text) {
    ToolRun r = Cli({"create", scl});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = Cli({"import", scl, text});
    ASSERT_EQ(r.exitCode, 0) << r.err;
  }

  // The dump of one table of `scl`.
  std::string Dump(const std::string& scl, const std::string& table) {
    return Cli({"dump", scl, "--table", table}).out;
  }

  void WriteText(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }

  fs::path dir_;
};

// A 3P cubic header that passes the header audit, then the Log section line.
constexpr char kSmallLoad[] =
    "[Load]\nLoad[SALE:S,LLR:S,CONTRACT:S,SCALER:S,ST:S,SCALESYS:S,CFSAWCU:F,CFNONSAWCU:F,"
    "MINLEN:I,MAXLEN:I,MINDIA:I,MAXDIA:I,SDATE:S,HDATE:S]\nt\n"
    "Test Sale,77,C-1,A. Scaler,3P,Cubic,10.67,8,8,40,4,30,20200102,20200101\n"
    "[Log]\nLog[SALE:S,LLR:S,LOG:I,S:S,SP:S,P:I,KPI:I,RND:I,HIT:I,LN:I,SD:I,LD:I]\nt\n"
    "Test Sale,77,1,1,DF,1,30,40,0,,,\n"
    "Test Sale,77,2,1,DF,1,30,20,1,16,10,12\n";

// ---- The totals text and the files of the main job -------------------------

// The figures of one line of the totals text ("   Gross: 1.0   2.0    3.0").
std::vector<double> TotalsLine(const std::string& totals, const std::string& label) {
  std::istringstream in(totals);
  for (std::string line; std::getline(in, line);) {
    const size_t at = line.find(label + ":");
    if (at == std::string::npos) continue;
    std::istringstream nums(line.substr(at + label.size() + 1));
    std::vector<double> v;
    for (double x; nums >> x;) v.push_back(x);
    return v;
  }
  return {};
}

// The Brevanta file's species lines, split at ",".
std::vector<std::vector<std::string>> BrevantaSpeciesLines(const std::string& bva) {
  std::vector<std::vector<std::string>> lines;
  std::istringstream in(bva);
  std::string line;
  std::getline(in, line);  // the load line
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    std::istringstream f(line);
    for (std::string field; std::getline(f, field, ',');) fields.push_back(field);
    if (fields.size() >= 4) lines.push_back(fields);
  }
  return lines;
}

TEST_F(CliTest, MainJobOf3PLoadWritesReportsThatAgreeWithTotals) {
  MakeLoad("demo.scl", Demo("demo-3p-cubic.txt"));
  ToolRun r = Cli({"audit", "demo.scl"});
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_EQ(r.out,
            "demo.scl: Header audit: passed\n"
            "demo.scl: Load audit of SALE Cedar Ridge LLR 1001: passed\n");
  r = Cli({"finalize", "demo.scl"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = Cli({"report", "demo.scl"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "Wrote demo.cmp\nWrote demo.clg\nWrote demo.bva\n");
  for (const char* ext : {".cmp", ".clg", ".bva", ".audit"}) {
    EXPECT_GT(fs::file_size(dir_ / (std::string("demo") + ext)), 0u) << ext;
  }
  r = Cli({"totals", "demo.scl"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.rfind("demo.scl: 3P Load Information\nSALE: Cedar Ridge  LLR: 1001\r\n", 0), 0u)
      << r.out;

  // The 3P expansion per product from the Brevanta file's species-product
  // sums (samples m, KPI sum K, gross and net ratio sums): (R / m) * K.
  std::map<int, double> m, k, rg, rn;
  for (const auto& f : BrevantaSpeciesLines(ReadAll(dir_ / "demo.bva"))) {
    ASSERT_EQ(f.size(), 6u);
    const int p = std::stoi(f[1]);
    m[p] += std::stod(f[2]);
    k[p] += std::stod(f[3]);
    rg[p] += std::stod(f[4]);
    rn[p] += std::stod(f[5]);
  }
  const std::vector<double> gross = TotalsLine(r.out, "Gross");
  const std::vector<double> net = TotalsLine(r.out, "Net");
  const std::vector<double> measured = TotalsLine(r.out, "Measured");
  ASSERT_EQ(gross.size(), 3u);
  ASSERT_EQ(net.size(), 3u);
  ASSERT_EQ(measured.size(), 3u);
  for (int p : {1, 2}) {
    EXPECT_NEAR(gross[p - 1], rg[p] / m[p] * k[p], 0.11) << "product " << p;
    EXPECT_NEAR(net[p - 1], rn[p] / m[p] * k[p], 0.11) << "product " << p;
    EXPECT_EQ(measured[p - 1], m[p]) << "product " << p;
  }
  // Every measured, live log is listed as a sample in the comprehensive report.
  EXPECT_EQ(CountLines(ReadAll(dir_ / "demo.cmp"), " * "), static_cast<int>(measured[2]));
}

// ---- Pages of the reports -------------------------------------------------

// A 3P cubic load of `count` logs in the import text format: every fifth log
// a measured sample with one segment (every fiftieth with a remark), every
// seventh a pulp log.
std::string GeneratedLoad(int count) {
  static const char* const kSpecies[] = {"DF", "WH", "RC", "PP"};
  std::string logs =
      "[Load]\nLoad[SALE:S,LLR:S,CONTRACT:S,SCALER:S,ST:S,SCALESYS:S,CFSAWCU:F,CFNONSAWCU:F,"
      "MINLEN:I,MAXLEN:I,MINDIA:I,MAXDIA:I,SDATE:S,STIME:S,HDATE:S]\nt\n"
      "Big Sale,3000,C-3000,A. Scaler,3P,Cubic,10.67,8.0,8,70,4,40,20260715,07:42,20260714\n"
      "[Log]\nLog[SALE:S,LLR:S,LOG:I,S:S,SP:S,P:I,KPI:I,RND:I,HIT:I,LN:I,SD:I,LD:I,REM:S]\nt\n";
  std::string segs = "[Seg]\nSeg[SALE:S,LLR:S,LOG:I,S:S,P:I,Seg:I,LN:I,SD:I,LD:I]\nt\n";
  for (int i = 1; i <= count; ++i) {
    const std::string head = "Big Sale,3000," + std::to_string(i) + ",1,";
    const int p = i % 7 == 0 ? 2 : 1;
    const int kpi = 20 + i * 7 % 30;
    if (i % 5 != 0) {
      logs += head + kSpecies[i % 4] + "," + std::to_string(p) + "," + std::to_string(kpi) + "," +
              std::to_string(kpi + 10) + ",0,,,,\n";
      continue;
    }
    const std::string shape = std::to_string(16 + i % 3 * 2) + "," + std::to_string(8 + i % 9) +
                              "," + std::to_string(10 + i % 9);
    logs += head + kSpecies[i % 4] + "," + std::to_string(p) + "," + std::to_string(kpi) + "," +
            std::to_string(kpi - 3) + ",1," + shape + "," +
            (i % 50 == 0 ? "Midpoint diameter: 12" : "") + "\n";
    segs += head + std::to_string(p) + ",1," + shape + "\n";
  }
  return logs + segs + "[KZ]\nKZ[P:I,SP:S,KZ:I]\nt\n1,DF,55\n1,WH,50\n1,RC,50\n1,PP,45\n2,,45\n";
}

// The number of lines of each page of a report (pages end at form feeds).
std::vector<int> PageLineCounts(const std::string& text) {
  std::vector<int> counts(1, 0);
  for (char c : text) {
    if (c == '\f') counts.push_back(0);
    counts.back() += c == '\n';
  }
  return counts;
}

// Every page of every report of the demo loads and of a 3,000-log load has
// at most the page's lines: 48 on the landscape comprehensive report, 70 on
// the portrait log and audit reports, plus the one line the formatter does
// not count, the empty line that the "Time:" part of the heading ends with.
TEST_F(CliTest, EveryReportPageHoldsAtMostItsLines) {
  WriteText("big.txt", GeneratedLoad(3000));
  const std::pair<const char*, int> kPages[] = {{".cmp", 48}, {".clg", 70}, {".audit", 70}};
  for (const std::string& load :
       {Demo("demo-3p-cubic.txt"), Demo("demo-100-board.txt"), (dir_ / "big.txt").string()}) {
    const std::string name = fs::path(load).stem().string();
    MakeLoad(name + ".scl", load);
    for (const char* command : {"audit", "finalize", "report"}) {
      const ToolRun r = Cli({command, name + ".scl"});
      ASSERT_EQ(r.exitCode, 0) << name << " " << command << ": " << r.err;
    }
    for (const auto& [ext, lines] : kPages) {
      const std::vector<int> pages = PageLineCounts(ReadAll(dir_ / (name + ext)));
      for (size_t i = 0; i < pages.size(); ++i) {
        EXPECT_LE(pages[i], lines + 1) << name << ext << " page " << i + 1;
      }
      if (name == "big" && std::string(ext) != ".audit") {
        EXPECT_GT(pages.size(), 10u) << ext;
      }
    }
  }
}

// The data lines of section `table` of a load text, split at ",".
std::vector<std::vector<std::string>> SectionRows(const std::string& text,
                                                  const std::string& table) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line) && line != "[" + table + "]") {
  }
  std::getline(in, line);  // description
  std::getline(in, line);  // titles
  while (std::getline(in, line) && !line.empty() && line[0] != '[') {
    std::vector<std::string> fields;
    std::istringstream f(line + ",");
    for (std::string field; std::getline(f, field, ',');) fields.push_back(field);
    rows.push_back(fields);
  }
  return rows;
}

// Each demo log was drawn as the data entry screen draws: RND from 0 to the
// KZ of the first KZ row of its product whose species is empty or its own,
// and a sample exactly when its estimate is not 0 and at least RND.
TEST_F(CliTest, Demo3PLoadHasTheDrawsOfItsKZTable) {
  const std::string text = ReadAll(Demo("demo-3p-cubic.txt"));
  const auto kz = SectionRows(text, "KZ");  // P,SP,KZ
  const auto logs = SectionRows(text, "Log");
  ASSERT_EQ(logs.size(), 40u);
  for (const auto& log : logs) {  // SALE,LLR,LOG,S,SP,P,G,B,KPI,RND,HIT,...
    const std::string name = "log " + log[2] + "/" + log[3];
    int limit = -1;
    for (const auto& row : kz) {
      if (row[0] == log[5] && (row[1].empty() || row[1] == log[4])) {
        limit = std::stoi(row[2]);
        break;
      }
    }
    ASSERT_GT(limit, 0) << name << " has no KZ row";
    const int kpi = std::stoi(log[8]), rnd = std::stoi(log[9]), hit = std::stoi(log[10]);
    EXPECT_LE(rnd, limit) << name;
    EXPECT_LE(kpi, limit) << name << ": estimate over KZ";
    EXPECT_EQ(hit, kpi != 0 && kpi >= rnd ? 1 : 0) << name;
  }
}

TEST_F(CliTest, MainJobOf100PercentBoardLoadAgreesWithTotals) {
  MakeLoad("board.scl", Demo("demo-100-board.txt"));
  ToolRun r = Cli({"audit", "board.scl"});
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  r = Cli({"report", "board.scl"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = Cli({"totals", "board.scl"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.rfind("board.scl: 100% Load Information\n", 0), 0u) << r.out;
  EXPECT_TRUE(TotalsLine(r.out, "Counted").empty());
  std::map<int, double> gross, net;
  for (const auto& f : BrevantaSpeciesLines(ReadAll(dir_ / "board.bva"))) {
    gross[std::stoi(f[1])] += std::stod(f[2]);
    net[std::stoi(f[1])] += std::stod(f[3]);
  }
  const std::vector<double> g = TotalsLine(r.out, "Gross");
  const std::vector<double> n = TotalsLine(r.out, "Net");
  ASSERT_EQ(g.size(), 3u);
  ASSERT_EQ(n.size(), 3u);
  EXPECT_NEAR(g[0], gross[1], 0.05);
  EXPECT_NEAR(g[1], gross[2], 0.05);
  EXPECT_NEAR(g[2], gross[1] + gross[2], 0.05);
  EXPECT_NEAR(n[2], net[1] + net[2], 0.05);
}

// ---- Audit -----------------------------------------------------------------

TEST_F(CliTest, AuditFailsOnSampleWithoutLD) {
  WriteText("load.txt", std::string(kSmallLoad) + "Test Sale,77,3,1,WH,1,25,5,1,20,9,\n");
  MakeLoad("load.scl", "load.txt");
  const ToolRun r = Cli({"audit", "load.scl"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out,
            "load.scl: Header audit: passed\n"
            "load.scl: Load audit of SALE Test Sale LLR 77: 1 error\n"
            "  Log 3: missing LD\n");
  EXPECT_EQ(r.err, "varnolde-cli: load.scl: the audit found errors\n");
}

TEST_F(CliTest, AuditReportsHeaderProblems) {
  ASSERT_EQ(Cli({"create", "load.scl"}).exitCode, 0);
  const ToolRun r = Cli({"audit", "load.scl"});
  EXPECT_EQ(r.exitCode, 1);
  // The new file's Load row has only the setup's defaults: ST 100, SCALESYS
  // Cubic, MAXLEN 66, MAXDIA 60, and cull factors of 0.
  EXPECT_EQ(r.out.rfind("load.scl: Header audit: 6 problems\n  No SALE\n  No LLR\n  No CONTRACT\n"
                        "  No SCALER\n  No CFSAWCU\n  No CFNONSAWCU\n",
                        0),
            0u)
      << r.out;
}

TEST_F(CliTest, WarningsQuestionIsRefusedOrAcceptedWithYes) {
  // A sample 50 feet long on a load whose maximum is 40: a range warning.
  WriteText("load.txt", std::string(kSmallLoad) + "Test Sale,77,3,1,WH,1,25,5,1,50,9,14\n");
  MakeLoad("load.scl", "load.txt");
  ToolRun r = Cli({"finalize", "load.scl"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Warning: Load 77 passed the audit with warning(s):\n"
                       "  Log 3: LN of 50 above maximum\n"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("-> Cancel (pass --yes to accept)"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "load.audit"));
  r = Cli({"finalize", "load.scl", "--yes"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(fs::exists(dir_ / "load.audit"));
  // The load is finalized now: no more logs come in.
  r = Cli({"import", "load.scl", "load.txt"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err,
            "varnolde-cli: load.scl: the load is finalized: its log data can no longer "
            "be changed\n");
}

// The Msg column of the file's journal, one entry per line.
std::string JournalOf(const std::string& dump) {
  std::string messages;
  std::istringstream in(dump);
  for (std::string line; std::getline(in, line);) {
    const size_t row = line.find("[\"\", \"");
    if (row == std::string::npos) continue;
    const size_t begin = row + 6;
    messages += line.substr(begin, line.find('"', begin) - begin) + "\n";
  }
  return messages;
}

TEST_F(CliTest, EveryCommandThatOpensTheFileJournalsItsClose) {
  WriteText("load.txt", kSmallLoad);
  MakeLoad("load.scl", "load.txt");
  ASSERT_EQ(Cli({"audit", "load.scl"}).exitCode, 0);
  const ToolRun r = Cli({"dump", "load.scl", "--table", "MessageLog"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string journal = JournalOf(r.out);
  ASSERT_EQ(journal.rfind("Created from ", 0), 0u) << journal;
  EXPECT_EQ(journal.substr(journal.find('\n') + 1),
            "File opened\nFile closed\n"                                 // create
            "File opened\nImported 2 logs from load.txt\nFile closed\n"  // import
            "File opened\nPassed header audit\nPassed load audit\nFile closed\n");
}

TEST_F(CliTest, FinalizingAFinalizedLoadChangesNothing) {
  WriteText("load.txt", kSmallLoad);
  MakeLoad("load.scl", "load.txt");
  ASSERT_EQ(Cli({"finalize", "load.scl"}).exitCode, 0);
  const std::string audit = ReadAll(dir_ / "load.audit");
  const ToolRun r = Cli({"finalize", "load.scl"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "load.scl: the load is already finalized; nothing done\n");
  EXPECT_EQ(ReadAll(dir_ / "load.audit"), audit);
  const std::string journal = JournalOf(Cli({"dump", "load.scl", "--table", "MessageLog"}).out);
  EXPECT_EQ(CountLines(journal, "Load finalized"), 1) << journal;
}

// ---- Several files, damaged files --------------------------------------------

TEST_F(CliTest, ReportOnDamagedFileFailsAndOthersAreWritten) {
  MakeLoad("a.scl", Demo("demo-3p-cubic.txt"));
  MakeLoad("c.scl", Demo("demo-100-board.txt"));
  std::string bytes = ReadAll(dir_ / "a.scl");
  bytes.resize(bytes.size() / 2);
  WriteText("b.scl", bytes);
  const ToolRun r = Cli({"report", "a.scl", "b.scl", "c.scl"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("varnolde-cli: [1/3] a.scl\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("varnolde-cli: [3/3] c.scl\n"), std::string::npos) << r.err;
  EXPECT_EQ(CountLines(r.err, "varnolde-cli: b.scl: "), 1) << r.err;
  EXPECT_NE(r.err.find("varnolde-cli: 1 of 3 files failed\n"), std::string::npos);
  for (const char* name : {"a.cmp", "a.clg", "a.bva", "c.cmp", "c.clg", "c.bva"}) {
    EXPECT_TRUE(fs::exists(dir_ / name)) << name;
  }
  EXPECT_FALSE(fs::exists(dir_ / "b.cmp"));
  EXPECT_EQ(ReadAll(dir_ / "b.scl"), bytes);  // the damaged file is left as it was
}

TEST_F(CliTest, ReportOnLoadWithErrorsWritesNothing) {
  WriteText("load.txt", std::string(kSmallLoad) + "Test Sale,77,3,1,WH,1,25,5,1,20,,14\n");
  MakeLoad("load.scl", "load.txt");
  const ToolRun r = Cli({"report", "--log", "load.scl"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Errors Found - Reports Cancelled for load 77: Log 3: missing SD"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(fs::exists(dir_ / "load.clg"));
}

TEST_F(CliTest, ReportChoosesFiles) {
  MakeLoad("load.scl", Demo("demo-3p-cubic.txt"));
  const ToolRun r = Cli({"report", "load.scl", "--log"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "Wrote load.clg\n");
  EXPECT_FALSE(fs::exists(dir_ / "load.cmp"));
  EXPECT_FALSE(fs::exists(dir_ / "load.bva"));
}

TEST_F(CliTest, TwoLoadsGiveReportsNamedAfterTheirReceipts) {
  WriteText("loads.txt",
            std::string(kSmallLoad) +
                "[Load]\nLoad[SALE:S,LLR:S,ST:S,SCALESYS:S,CFSAWCU:F,CFNONSAWCU:F,MAXLEN:I]\nt\n"
                "Test Sale,78,3P,Cubic,10.67,8,40\n"
                "[Log]\nLog[SALE:S,LLR:S,LOG:I,S:S,SP:S,P:I,KPI:I,RND:I,HIT:I,LN:I,SD:I,LD:I]\nt\n"
                "Test Sale,78,1,1,WH,1,30,10,1,20,9,12\n");
  MakeLoad("two.scl", "loads.txt");
  ToolRun r = Cli({"audit", "two.scl"});
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_EQ(r.out,
            "two.scl: Header audit: passed\n"
            "two.scl: Load audit of SALE Test Sale LLR 77: passed\n"
            "two.scl: Load audit of SALE Test Sale LLR 78: passed\n");
  r = Cli({"report", "two.scl", "--log", "--brevanta"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "Wrote two77.clg\nWrote two77.bva\nWrote two78.clg\nWrote two78.bva\n");
}

TEST_F(CliTest, FolderOrEmptyFileIsNotBlamedOnAnotherApplication) {
  fs::create_directories(dir_ / "folder.scl");
  WriteText("empty.scl", "");
  ToolRun r = Cli({"audit", "folder.scl"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err,
            "varnolde-cli: folder.scl: not a file that can be read (a folder, or a file "
            "without read permission)\n");
  r = Cli({"report", "empty.scl"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "varnolde-cli: empty.scl: the file is empty: it holds no scale data\n");
  EXPECT_EQ(fs::file_size(dir_ / "empty.scl"), 0u);
}

TEST_F(CliTest, MissingFileFailsWithOneLine) {
  const ToolRun r = Cli({"totals", "nothing.scl"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "varnolde-cli: nothing.scl: no such file\n");
  EXPECT_FALSE(fs::exists(dir_ / "nothing.scl"));
}

// ---- Create and import ---------------------------------------------------------

TEST_F(CliTest, CreateOverAnExistingFileBacksItUp) {
  ASSERT_EQ(Cli({"create", "x.scl"}).exitCode, 0);
  const std::string first = ReadAll(dir_ / "x.scl");
  const ToolRun r = Cli({"create", "x.scl"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "Created x.scl (the file that was there is now x.scl.BAK1)\n");
  EXPECT_EQ(ReadAll(dir_ / "x.scl.BAK1"), first);
}

TEST_F(CliTest, CreateMovesNoFolderAndNoFileInUse) {
  fs::create_directories(dir_ / "folder.scl");
  ToolRun r = Cli({"create", "folder.scl"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err,
            "varnolde-cli: folder.scl: a folder (or a file that cannot be read) is in the "
            "way; nothing was created\n");
  EXPECT_TRUE(fs::is_directory(dir_ / "folder.scl"));
  EXPECT_FALSE(fs::exists(dir_ / "folder.scl.BAK1"));

  WriteText("held.scl", "bytes another program is writing");
  const std::string hold = "cd " + Quote(dir_.string()) + " && flock held.scl " +
                           Quote(VARNOLDE_CLI) + " create held.scl";
  r.exitCode = WEXITSTATUS(std::system((hold + " >out.txt 2>err.txt").c_str()));
  r.err = ReadAll(dir_ / "err.txt");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("held.scl is in use by another application!"), std::string::npos);
  EXPECT_NE(r.err.find("varnolde-cli: held.scl: the file in the way is in use; nothing was "
                       "created\n"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(ReadAll(dir_ / "held.scl"), "bytes another program is writing");
  EXPECT_FALSE(fs::exists(dir_ / "held.scl.BAK1"));
}

TEST_F(CliTest, CreateFromAMissingSetupFails) {
  const ToolRun r = Cli({"create", "--setup", "none.SetupScl", "x.scl"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "varnolde-cli: x.scl: the setup file none.SetupScl: no such file\n");
  EXPECT_FALSE(fs::exists(dir_ / "x.scl"));
}

TEST_F(CliTest, RefusedImportChangesNothing) {
  ASSERT_EQ(Cli({"create", "x.scl"}).exitCode, 0);
  WriteText("bad.txt", "[Log]\nLog[LOG:I,COLOUR:S]\nt\n1,red\n");
  const ToolRun r = Cli({"import", "x.scl", "bad.txt"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err,
            "varnolde-cli: x.scl: bad.txt: line 2: Log: the file's column COLOUR is not in the "
            "scale file's table\n");
  const ToolRun dump = Cli({"dump", "x.scl", "--table", "Log"});
  EXPECT_NE(dump.out.find("\"row_count\": 0,"), std::string::npos) << dump.out;
}

// ---- Dump ------------------------------------------------------------------------

TEST_F(CliTest, DumpOfEveryFixtureEqualsItsJson) {
  for (const auto& entry : fs::directory_iterator(VARNOLDE_FIXTURES_DIR)) {
    if (entry.path().extension() != ".mk") continue;
    const ToolRun r = Cli({"dump", entry.path().string()});
    EXPECT_EQ(r.exitCode, 0) << entry.path() << r.err;
    EXPECT_EQ(r.out, ReadAll(entry.path().string() + ".json")) << entry.path();
  }
}

TEST_F(CliTest, DumpOfUnknownTableFails) {
  const ToolRun r =
      Cli({"dump", std::string(VARNOLDE_FIXTURES_DIR) + "/int_3rows.mk", "--table", "w"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "varnolde-cli: " + std::string(VARNOLDE_FIXTURES_DIR) +
                       "/int_3rows.mk: no table named w\n");
  EXPECT_EQ(r.out, "");
}

// ---- PDF copies of the reports ---------------------------------------------------

// Expects the PDF copy of each report file named to read back (pdftotext)
// page by page as the report's text, one letter page per report page,
// landscape for the comprehensive report and portrait for the others.
void ExpectFaithfulPdfs(const fs::path& dir, const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    const std::string bytes = ReadAll(dir / name);
    const std::string pdf = (dir / (name + ".pdf")).string();
    ASSERT_TRUE(fs::exists(pdf)) << name;
    const auto pages = reports::testing::ReportTextPages(bytes);
    EXPECT_EQ(pages.size(), std::count(bytes.begin(), bytes.end(), '\f') + 1u) << name;
    EXPECT_EQ(reports::testing::ReportPdfPages(pdf, name, bytes), pages) << name;
    const bool landscape = name.ends_with(".cmp");
    const auto sizes = reports::testing::PdfPageSizes(pdf);
    EXPECT_EQ(sizes.size(), pages.size()) << name;
    for (const auto& [width, height] : sizes) {
      EXPECT_EQ(width, landscape ? 792 : 612) << name;
      EXPECT_EQ(height, landscape ? 612 : 792) << name;
    }
  }
}

TEST_F(CliTest, DemoLoadsGetFaithfulPdfsOfTheirReports) {
  for (const char* demo : {"demo-3p-cubic", "demo-100-board"}) {
    const std::string scl = std::string(demo) + ".scl";
    MakeLoad(scl, Demo(std::string(demo) + ".txt"));
    ToolRun r = Cli({"finalize", scl, "--pdf"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Wrote " + std::string(demo) + ".audit.pdf\n"), std::string::npos);
    r = Cli({"report", scl, "--pdf"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string d = demo;
    EXPECT_EQ(r.out, "Wrote " + d + ".cmp\nWrote " + d + ".cmp.pdf\nWrote " + d + ".clg\nWrote " +
                         d + ".clg.pdf\nWrote " + d + ".bva\n");
    ExpectFaithfulPdfs(dir_, {d + ".cmp", d + ".clg", d + ".audit"});
  }
}

TEST_F(CliTest, LoadOf3000LogsGetsFaithfulPdfs) {
  std::string text = kSmallLoad;
  const char* species[] = {"DF", "WH", "RC", "PP"};
  for (int n = 3; n <= 3000; ++n) {
    const std::string head = "Test Sale,77," + std::to_string(n) + ",1," + species[n % 4] + ",1,";
    text += head + (n % 5 == 0 ? "30,20,1,16,10,12\n" : "30,40,0,,,\n");
  }
  WriteText("big.txt", text);
  MakeLoad("big.scl", "big.txt");
  const ToolRun r = Cli({"report", "big.scl", "--comprehensive", "--log", "--pdf"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  ExpectFaithfulPdfs(dir_, {"big.cmp", "big.clg"});
}

TEST_F(CliTest, PdfThatCannotBeWrittenFailsTheRunButNotTheTextReport) {
  MakeLoad("load.scl", Demo("demo-3p-cubic.txt"));
  fs::create_directory(dir_ / "load.clg.pdf");  // a folder where the PDF goes
  const ToolRun r = Cli({"report", "load.scl", "--log", "--pdf"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Error Creating File: load.clg.pdf could not be written: Is a directory."),
            std::string::npos)
      << r.err;
  EXPECT_GT(fs::file_size(dir_ / "load.clg"), 0u);
}

// ---- Imports that cannot damage a load -------------------------------------------

TEST_F(CliTest, ImportRefusesALoadTheFileHoldsAndReplacesItOnRequest) {
  WriteText("load.txt", kSmallLoad);
  MakeLoad("load.scl", "load.txt");
  const std::string before = Cli({"dump", "load.scl", "--table", "Log"}).out;
  ToolRun r = Cli({"import", "load.scl", "load.txt"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err,
            "varnolde-cli: load.scl: load.txt: line 4: the file already holds the load SALE Test "
            "Sale LLR 77; nothing was imported (--replace replaces it)\n");
  EXPECT_EQ(Cli({"dump", "load.scl", "--table", "Log"}).out, before);

  // The same load with its second log only replaces exactly that load.
  std::string one = kSmallLoad;
  one.erase(one.find("Test Sale,77,1,1"),
            one.find("Test Sale,77,2,1") - one.find("Test Sale,77,1,1"));
  WriteText("one.txt", one);
  r = Cli({"import", "--replace", "load.scl", "one.txt"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "Replaced the load SALE Test Sale LLR 77\n"
            "Imported one.txt into load.scl: Load 1 row, Log 1 row\n");
  r = Cli({"list", "load.scl"});
  EXPECT_EQ(r.out,
            "load.scl: SALE Test Sale  LLR 77  3P Cubic  1 log (1 measured, 0 counted)  not "
            "finalized  production\n");
  EXPECT_EQ(Cli({"audit", "load.scl"}).exitCode, 0);
}

// Texts whose rows would land outside their load, or be lost: each is
// refused with its line, and the file's load tables stay as they were.
TEST_F(CliTest, ImportRefusesRowsOutsideTheTextsLoads) {
  std::string demo = ReadAll(Demo("demo-3p-cubic.txt"));
  const auto without = [&](const std::string& line) {
    std::string text = demo;
    text.erase(text.find(line), line.size() + 1);
    return text;
  };
  std::string typo = demo;
  typo.replace(typo.find("Cedar Ridge,1001,CR"), 11, "Cedar Ridgx");
  const struct {
    std::string text;
    std::string error;
  } cases[] = {
      // A byte order mark and a one-letter typo in the Load row's SALE.
      {"\xEF\xBB\xBF" + typo,
       "varnolde-cli: t.txt: line 19: Log 1 belongs to the load SALE Cedar Ridge LLR 1001, "
       "which has no Load row in the text (nor do the 39 other Log rows of that load after "
       "it)\n"},
      // The Load section's titles line is missing.
      {without("SALE,LLR,CONTRACT,PURCH,LOCATION,BRAND,REM,DEST,TRK,STATUS,BIAUNIT,MEASSYS,"
               "REGION,FOREST,DISTRICT,SG,ST,SCALESYS,CFSAWCU,CFNONSAWCU,CFSAWBD,CFNONSAWBD,"
               "MINLEN,MAXLEN,MINDIA,MAXDIA,SDATE,STIME,HDATE,SCALER,CHKSCALER,NWT,GWT"),
       "varnolde-cli: x.scl: t.txt: line 11: section [Load] has no Load row (the line after its "
       "description is read as the column titles: is the titles line missing?)\n"},
      // The Log section's titles line is missing: log 1 would be lost.
      {without("SALE,LLR,LOG,S,SP,P,G,B,KPI,RND,HIT,LN,SD,LD,VOID,REM,OverrideVolume,SkipSeg"),
       "varnolde-cli: x.scl: t.txt: line 18: this line of section [Log] is read as its column "
       "titles, but it holds a row (LOG \"1\"): the titles line is missing\n"},
  };
  // The load tables as dumped (the journal left out: the opening of the
  // file keeps its own entries).
  const auto loadTables = [&] {
    std::string tables;
    for (const char* table : {"Load", "Log", "Seg", "DefC", "DefB", "KZ"}) {
      tables += Dump("x.scl", table);
    }
    return tables;
  };
  MakeLoad("x.scl", Demo("demo-100-board.txt"));
  const std::string before = loadTables();
  for (const auto& c : cases) {
    WriteText("t.txt", c.text);
    const ToolRun r = Cli({"import", "x.scl", "t.txt"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.substr(0, c.error.size()), c.error);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(loadTables(), before);
  }
  const std::string journal = JournalOf(Cli({"dump", "x.scl", "--table", "MessageLog"}).out);
  EXPECT_EQ(CountLines(journal, "Imported"), 1) << journal;
}

// The text's KZ row takes the place of the new file's default row for the
// same species and product.
TEST_F(CliTest, ImportedKzRowReplacesTheSetupsRow) {
  ASSERT_EQ(Cli({"create", "x.scl"}).exitCode, 0);
  WriteText("kz.txt", "[KZ]\nKZ[SP:S,P:I,KZ:I]\nt\n,0,45\n");
  ASSERT_EQ(Cli({"import", "x.scl", "kz.txt"}).exitCode, 0);
  EXPECT_EQ(nlohmann::json::parse(Dump("x.scl", "KZ"))["rows"],
            nlohmann::json::parse(R"([[0, "", 45]])"));
}

TEST_F(CliTest, ImportWithItsFilesSwappedOrTwiceExitsTwo) {
  ASSERT_EQ(Cli({"create", "x.scl"}).exitCode, 0);
  const std::string bytes = ReadAll(dir_ / "x.scl");
  ToolRun r = Cli({"import", "load.txt", "x.scl"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err,
            "varnolde-cli: import: x.scl is a scale or setup file, not a load text (the scale "
            "file comes first: import FILE.scl TEXTFILE)\n");
  r = Cli({"import", "x.scl", "./x.scl"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err, "varnolde-cli: import: the scale file and the text file are the same file\n");
  EXPECT_EQ(ReadAll(dir_ / "x.scl"), bytes);
}

TEST_F(CliTest, SetupFileTakesNoLoadData) {
  fs::copy_file(fs::path(VARNOLDE_CLI).parent_path() / "DefaultScaler.SetupScl",
                dir_ / "x.SetupScl");
  WriteText("load.txt", kSmallLoad);
  ToolRun r = Cli({"import", "x.SetupScl", "load.txt"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("a setup file takes no load data"), std::string::npos) << r.err;
  WriteText("kz.txt", "[KZ]\nKZ[SP:S,P:I,KZ:I]\nt\nDF,1,60\n");
  r = Cli({"import", "x.SetupScl", "kz.txt"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "Imported kz.txt into x.SetupScl: KZ 1 row\n");
}

constexpr char kHandMadeLoad[] =
    "[Load]\nLoad[SALE:S,LLR:S,CONTRACT:S,SCALER:S,ST:S,SCALESYS:S,CFSAWCU:F,CFNONSAWCU:F,"
    "MINLEN:I,MAXLEN:I,MINDIA:I,MAXDIA:I]\nt\n"
    "Hand Made,5,C-1,A. Scaler,100,Cubic,10,8,8,40,4,30\n"
    "[Log]\nLog[SALE:S,LLR:S,LOG:I,S:S,SP:S,P:I,LN:I,SD:I,LD:I]\nt\n";

TEST_F(CliTest, ImportRunsTheLogAndDefectChecksOfDataEntry) {
  WriteText("bad.txt", std::string(kHandMadeLoad) +
                           "Hand Made,5,1,1,XX,1,16,10,12\n"
                           "Hand Made,5,2,1,DF,7,16,10,12\n"
                           "Hand Made,5,3,1,DF,1,16,10,12\n"
                           "Hand Made,5,4,1,DF,1,45,10,12\n"
                           "[Seg]\nSeg[SALE:S,LLR:S,LOG:I,S:S,Seg:I,LN:I,SD:I,LD:I]\nt\n"
                           "Hand Made,5,3,1,1,16,10,12\n"
                           "Hand Made,5,9,1,1,16,10,12\n"
                           "[DefC]\nDefC[SALE:S,LLR:S,LOG:I,S:S,Seg:I,M:I,M1:I,LN:I]\nt\n"
                           "Hand Made,5,3,1,1,9,0,4\n");
  ASSERT_EQ(Cli({"create", "hand.scl"}).exitCode, 0);
  ToolRun r = Cli({"import", "hand.scl", "bad.txt"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "varnolde-cli: bad.txt: line 8: Log 1: Invalid SP code\n"
            "varnolde-cli: bad.txt: line 9: Log 2: Invalid product code\n"
            "varnolde-cli: bad.txt: line 10: Log 3: Seg 1, Def 1: Invalid M\n"
            "varnolde-cli: bad.txt: line 16: Seg row of Log 9: no such log (SALE Hand Made LLR 5 "
            "split 1)\n"
            "varnolde-cli: bad.txt: warning: line 11: Log 4: LN above maximum\n"
            "varnolde-cli: hand.scl: bad.txt: the log and defect checks found 4 errors; nothing "
            "was imported\n");
  const std::string journal = JournalOf(Cli({"dump", "hand.scl", "--table", "MessageLog"}).out);
  // Refused: not even journaled as opened.
  EXPECT_EQ(journal.substr(journal.find('\n') + 1), "File opened\nFile closed\n");
  EXPECT_NE(Cli({"list", "hand.scl"}).out.find("0 logs"), std::string::npos);

  WriteText("long.txt", std::string(kHandMadeLoad) + "Hand Made,5,4,1,DF,1,45,10,12\n");
  r = Cli({"import", "hand.scl", "long.txt"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "varnolde-cli: long.txt: warning: line 8: Log 4: LN above maximum\n");
  EXPECT_EQ(r.out, "Imported long.txt into hand.scl: Load 1 row, Log 1 row\n");
}

TEST_F(CliTest, LoadReceiptWithASlashNamesNoFolder) {
  WriteText("two.txt",
            "[Load]\nLoad[SALE:S,LLR:S,CONTRACT:S,SCALER:S,ST:S,SCALESYS:S,CFSAWCU:F,"
            "CFNONSAWCU:F,MAXLEN:I,MAXDIA:I]\nt\n"
            "S,10/01,C,A,100,Cubic,10,8,40,30\nS,10/02,C,A,100,Cubic,10,8,40,30\n"
            "[Log]\nLog[SALE:S,LLR:S,LOG:I,S:S,SP:S,P:I,LN:I,SD:I,LD:I]\nt\n"
            "S,10/01,1,1,DF,1,16,10,12\nS,10/02,1,1,DF,1,16,10,12\n");
  MakeLoad("two.scl", "two.txt");
  const ToolRun r = Cli({"report", "two.scl", "--log"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "Wrote two10-01.clg\nWrote two10-02.clg\n");
  EXPECT_TRUE(fs::exists(dir_ / "two10-01.clg"));
}

// ---- The loads of a file and the supervisor's actions -------------------------------

TEST_F(CliTest, ListAndTotalsAsCsvAndJsonAgree) {
  MakeLoad("a.scl", Demo("demo-3p-cubic.txt"));
  MakeLoad("b.scl", Demo("demo-100-board.txt"));
  const std::string bytes = ReadAll(dir_ / "a.scl");
  ToolRun r = Cli({"list", "--json", "a.scl", "b.scl"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadAll(dir_ / "a.scl"), bytes);  // list only reads
  std::istringstream lines(r.out);
  std::string line;
  std::vector<nlohmann::json> list;
  while (std::getline(lines, line)) list.push_back(nlohmann::json::parse(line));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0]["file"], "a.scl");
  EXPECT_EQ(list[0]["loads"][0]["llr"], "1001");
  EXPECT_EQ(list[1]["loads"][0]["design"], "100");

  r = Cli({"totals", "--json", "a.scl"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const nlohmann::json totals = nlohmann::json::parse(r.out);
  const nlohmann::json& load = totals["loads"][0];
  EXPECT_EQ(load["total"]["measured"], list[0]["loads"][0]["measured"]);
  EXPECT_EQ(load["total"]["counted"], list[0]["loads"][0]["counted"]);

  r = Cli({"totals", "--csv", "a.scl", "b.scl"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::istringstream csv(r.out);
  std::vector<std::string> rows;
  while (std::getline(csv, line)) rows.push_back(line);
  ASSERT_EQ(rows.size(), 3u) << r.out;  // one header for both files
  EXPECT_EQ(rows[0].rfind("file,sale,llr,design,gross_saw,", 0), 0u);
  char gross[32];
  std::snprintf(gross, sizeof gross, "%.1f", load["total"]["gross"].get<double>());
  EXPECT_EQ(rows[1].rfind("a.scl,Cedar Ridge,1001,3P,", 0), 0u) << rows[1];
  EXPECT_NE(rows[1].find(std::string(",") + gross + ","), std::string::npos) << rows[1];
  EXPECT_EQ(rows[2].rfind("b.scl,", 0), 0u);
}

TEST_F(CliTest, SupervisorActionsAndTheirRefusals) {
  WriteText("load.txt", kSmallLoad);
  MakeLoad("load.scl", "load.txt");
  ToolRun r = Cli({"unfinalize", "load.scl"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "varnolde-cli: load.scl: the load is not finalized; nothing done\n");
  ASSERT_EQ(Cli({"finalize", "load.scl"}).exitCode, 0);
  r = Cli({"unfinalize", "load.scl"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "Un-finalized load.scl\n");
  fs::remove(dir_ / "load.audit");
  r = Cli({"audit-report", "load.scl"});
  EXPECT_EQ(r.out, "Wrote load.audit\n");
  EXPECT_NE(ReadAll(dir_ / "load.audit").find("Load un-finalized"), std::string::npos);

  r = Cli({"set-file-type", "load.scl", "check scale"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("only change while the file has no logs"), std::string::npos);
  ASSERT_EQ(Cli({"create", "new.scl"}).exitCode, 0);
  EXPECT_EQ(Cli({"set-file-type", "new.scl", "non-scale loads"}).exitCode, 0);
  EXPECT_NE(Cli({"list", "new.scl"}).out.find("not finalized  non-scale loads"), std::string::npos);

  WriteText("78.txt", "[Load]\nLoad[SALE:S,LLR:S,ST:S,SCALESYS:S]\nt\nTest Sale,78,3P,Cubic\n");
  ASSERT_EQ(Cli({"import", "load.scl", "78.txt"}).exitCode, 0);
  r = Cli({"rename", "load.scl", "--llr", "78", "77"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err,
            "varnolde-cli: load.scl: the file already has a load with SALE Test Sale and LLR 77: "
            "renaming would merge two loads; nothing changed\n");
  r = Cli({"rename", "load.scl", "--sale", "Test Sale", "Other"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  r = Cli({"list", "load.scl"});
  EXPECT_EQ(CountLines(r.out, "SALE Other"), 2) << r.out;
  const std::string journal = JournalOf(Cli({"dump", "load.scl", "--table", "MessageLog"}).out);
  EXPECT_EQ(CountLines(journal, "Changed SALE from Test Sale to Other"), 1) << journal;
}

TEST_F(CliTest, ReadOnlyFileFailsTheCommand) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only files";
  WriteText("load.txt", kSmallLoad);
  MakeLoad("load.scl", "load.txt");
  fs::permissions(dir_ / "load.scl", fs::perms::owner_read | fs::perms::group_read);
  const ToolRun r = Cli({"totals", "load.scl"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("varnolde-cli: load.scl: "), std::string::npos) << r.err;
}

TEST_F(CliTest, FinalizeOfAFinalizedLoadWritesItsMissingAuditReport) {
  WriteText("load.txt", kSmallLoad);
  MakeLoad("load.scl", "load.txt");
  ASSERT_EQ(Cli({"finalize", "load.scl"}).exitCode, 0);
  fs::remove(dir_ / "load.audit");  // stopped between "YES" and the report
  const ToolRun r = Cli({"finalize", "load.scl"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "load.scl: the load is already finalized; its missing audit report load.audit is "
            "written now\n");
  EXPECT_TRUE(fs::exists(dir_ / "load.audit"));
}

// ---- Command line ----------------------------------------------------------------

TEST_F(CliTest, WrongCommandLinesExitTwo) {
  EXPECT_EQ(Cli({}).exitCode, 2);
  const ToolRun unknown = Cli({"frobnicate"});
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_EQ(
      unknown.err,
      "varnolde-cli: unknown command 'frobnicate' (varnolde-cli --help lists the commands)\n");
  const ToolRun missing = Cli({"import", "x.scl"});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_EQ(CountLines(missing.err, ""), 1) << missing.err;  // one line
  EXPECT_EQ(Cli({"audit"}).exitCode, 2);
}

TEST_F(CliTest, VersionNamesTheProgramVersion) {
  const ToolRun r = Cli({"--version"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "varnolde-cli 2010.11.05\n");
}

TEST_F(CliTest, HelpExitsZeroAndNamesEveryCommand) {
  const ToolRun r = Cli({"--help"});
  EXPECT_EQ(r.exitCode, 0);
  for (const char* command : {"create", "import", "list", "audit", "finalize", "report", "totals",
                              "unfinalize", "audit-report", "set-file-type", "rename", "dump"}) {
    EXPECT_NE(r.out.find(command), std::string::npos) << command;
  }
}

}  // namespace
