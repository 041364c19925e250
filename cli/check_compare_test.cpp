// check-compare on the demo loads: a check scaler's file made in the program
// ("check scale" file type, loads imported) with logs of the 3P cubic load and
// of the 100 % board load re-measured, compared with the two production files.
// Every expected figure is worked out by hand below from the demo texts and the
// volume rules, never copied from the tool's output.
#include "app/check_compare.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/application.h"
#include "app/load_actions.h"
#include "cli/cli_test_util.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// The check scaler's file: the header of both loads (check scaler M. Okafor)
// and these logs, measured again:
//  Cedar Ridge 1001 (3P, cubic; production in demo-3p-cubic.txt)
//   2  as in production (two 16-foot segments, length cut of 2 feet)
//   5  18 feet where production has 16 (same diameters, same diameter cut)
//   7  small end 11 where production has 12 (same squared-area defect)
//   9  as in production (two segments, 50 % deduction on 10 feet of the top)
//   27 as in production, but with a length cut of 2 feet production lacks
//   24 deleted by the check scaler
//   39 a log production does not have
//  Bear Creek 2001 (100 %, board; production in demo-100-board.txt)
//   3  small end 11 where production has 12
//   4  as in production (whole-log diameter cut of 2 inches)
constexpr char kCheckText[] =
    "Check scale of two loads.\n"
    "[Load]\n"
    "Load[SALE:S,LLR:S,ST:S,SCALESYS:S,CFSAWCU:F,CFNONSAWCU:F,CFSAWBD:F,CFNONSAWBD:F,MINLEN:I,"
    "MAXLEN:I,MINDIA:I,MAXDIA:I,SDATE:S,SCALER:S,CHKSCALER:S]\n"
    "titles\n"
    "Cedar Ridge,1001,3P,Cubic,10.67,8.0,,,8,70,4,40,20260716,J. Alvarez,M. Okafor\n"
    "Bear Creek,2001,100,Board,,,0.33,0.25,8,50,4,30,20260803,R. Chen,M. Okafor\n"
    "[Log]\n"
    "Log[SALE:S,LLR:S,LOG:I,S:S,SP:S,P:I,KPI:I,RND:I,HIT:I,LN:I,SD:I,LD:I,VOID:I]\n"
    "titles\n"
    "Cedar Ridge,1001,2,1,DF,1,44,17,1,32,10,14,0\n"
    "Cedar Ridge,1001,5,1,DF,1,52,33,1,18,14,16,0\n"
    "Cedar Ridge,1001,7,1,DF,1,40,8,1,20,11,15,0\n"
    "Cedar Ridge,1001,9,1,WH,1,36,29,1,40,11,16,0\n"
    "Cedar Ridge,1001,27,1,DF,1,26,14,1,20,9,11,0\n"
    "Cedar Ridge,1001,24,1,PP,2,14,9,1,12,6,8,1\n"
    "Cedar Ridge,1001,39,1,DF,1,30,20,1,16,12,14,0\n"
    "Bear Creek,2001,3,1,RC,1,0,0,-1,16,11,14,0\n"
    "Bear Creek,2001,4,1,PP,1,0,0,-1,20,14,17,0\n"
    "[DefC]\n"
    "DefC[SALE:S,LLR:S,LOG:I,S:S,Seg:I,M:I,M1:I,M2:I,M3:I,M4:I,LN:I,PCT:I]\n"
    "titles\n"
    "Cedar Ridge,1001,2,1,2,1,,,,,2,\n"
    "Cedar Ridge,1001,5,1,0,2,2,,,,,\n"
    "Cedar Ridge,1001,7,1,1,3,4,5,,,6,\n"
    "Cedar Ridge,1001,9,1,2,4,,,,,10,50\n"
    "Cedar Ridge,1001,27,1,1,1,,,,,2,\n"
    "[DefB]\n"
    "DefB[SALE:S,LLR:S,LOG:I,S:S,Seg:I,M:I,M1:I,M2:I,M3:I,M4:I,LN:I,PCT:I]\n"
    "titles\n"
    "Bear Creek,2001,4,1,0,2,2,,,,,\n";

using cli::testing::ReadAll;
using cli::testing::ToolRun;

class CheckCompareTest : public ::testing::Test {
 protected:
  // The three files, made once for all tests of the fixture.
  static void SetUpTestSuite() {
    // One folder per process: ctest runs the fixture's tests side by side.
    dir_ = fs::path(::testing::TempDir()) / ("cli_check_compare_" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    std::ofstream(dir_ / "check.txt") << kCheckText;
    const std::string demo = VARNOLDE_DEMO_DIR;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"create", "prod3p.scl"},
             {"import", "prod3p.scl", demo + "/demo-3p-cubic.txt"},
             {"create", "prodboard.scl"},
             {"import", "prodboard.scl", demo + "/demo-100-board.txt"},
             {"create", "check.scl"},
             {"set-file-type", "check.scl", "check scale"},
             {"import", "check.scl", "check.txt"}}) {
      const ToolRun r = Cli(args);
      ASSERT_EQ(r.exitCode, 0) << args[0] << ": " << r.err;
    }
  }
  static void TearDownTestSuite() { fs::remove_all(dir_); }

  static ToolRun Cli(const std::vector<std::string>& args) {
    return cli::testing::RunCli(dir_, VARNOLDE_CLI, args);
  }

  static ToolRun Compare(std::vector<std::string> more) {
    std::vector<std::string> args = {"check-compare", "check.scl", "prod3p.scl", "prodboard.scl"};
    args.insert(args.end(), more.begin(), more.end());
    return Cli(args);
  }

  static inline fs::path dir_;
};

// Logs of a load's JSON list by number.
std::map<int, json> ByLog(const json& logs) {
  std::map<int, json> byLog;
  for (const json& log : logs) byLog[log["log"].get<int>()] = log;
  return byLog;
}

TEST_F(CheckCompareTest, FindsEveryDifferenceAndNothingElse) {
  std::vector<std::string> before;
  for (const char* file : {"check.scl", "prod3p.scl", "prodboard.scl"}) {
    before.push_back(ReadAll(dir_ / file));
  }
  const ToolRun r = Compare({"--json"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(before,
            (std::vector<std::string>{ReadAll(dir_ / "check.scl"), ReadAll(dir_ / "prod3p.scl"),
                                      ReadAll(dir_ / "prodboard.scl")}))
      << "the files are only read";
  const json c = json::parse(r.out);
  ASSERT_EQ(c["loads"].size(), 2u);

  // Cedar Ridge, cubic feet, cull factor 10.67 (no segment is culled below).
  const json& cedar = c["loads"][0];
  EXPECT_EQ(cedar["production_file"], "prod3p.scl");
  EXPECT_EQ(cedar["unit"], "cubic feet");
  EXPECT_EQ(cedar["check_scaler"], "M. Okafor");
  std::map<int, json> logs = ByLog(cedar["logs"]);
  ASSERT_EQ(logs.size(), 5u);
  struct Expected {
    int log;
    const char* differs;
    double productionGross, productionNet, checkGross, checkNet;
  };
  // Smalian per segment: RoundTo((d^2 + D^2) x L x 0.002727, 1).
  //  2: 16/12-14 14.8, 16/10-12 10.6; cut 2 of 16 feet: 10.6 x 2/16 = 1.3.
  //  5: 16/14-16 19.7, diameter cut 2: 19.7 - 16/12-14 14.8 = 4.9;
  //     checked at 18 feet: 18/14-16 22.2, 22.2 - 18/12-14 16.7 = 5.5.
  //  7: 20/12-15 20.1, square 4 x 5 over 6 feet: 120/144 = 0.8;
  //     checked 20/11-15 18.9, the same 0.8.
  //  9: 20/14-16 24.7, 20/11-14 17.3, 50 % of 10/20 of 17.3 = 4.3.
  // 27: 20/9-11 11.0; the check's cut of 2 feet: 11.0 x 2/20 = 1.1.
  for (const Expected& e :
       {Expected{2, "", 25.4, 24.1, 25.4, 24.1}, Expected{5, "LN", 19.7, 14.8, 22.2, 16.7},
        Expected{7, "SD", 20.1, 19.3, 18.9, 18.1}, Expected{9, "", 42.0, 37.7, 42.0, 37.7},
        Expected{27, "", 11.0, 11.0, 11.0, 9.9}}) {
    const json& log = logs[e.log];
    EXPECT_EQ(log["differs"], e.differs) << e.log;
    EXPECT_DOUBLE_EQ(log["production"]["gross"], e.productionGross) << e.log;
    EXPECT_DOUBLE_EQ(log["production"]["net"], e.productionNet) << e.log;
    EXPECT_DOUBLE_EQ(log["check"]["gross"], e.checkGross) << e.log;
    EXPECT_DOUBLE_EQ(log["check"]["net"], e.checkNet) << e.log;
  }
  EXPECT_DOUBLE_EQ(logs[27]["check"]["defect"], 1.1);
  ASSERT_EQ(cedar["check_only"].size(), 1u);
  EXPECT_EQ(cedar["check_only"][0]["log"], 39);
  EXPECT_EQ(cedar["check_only"][0]["reason"], "not in the production load");
  // 39 live production rows (log 23 is deleted) less the 5 compared; the
  // check scaler's deleted 24 is among them.
  const std::map<int, json> notRemeasured = ByLog(cedar["not_remeasured"]);
  EXPECT_EQ(cedar["not_remeasured"].size(), 34u);
  EXPECT_EQ(notRemeasured.count(24), 1u);
  EXPECT_EQ(notRemeasured.count(23), 0u);

  // Totals: gross 25.4 + 19.7 + 20.1 + 42.0 + 11.0 = 118.2 against
  // 25.4 + 22.2 + 18.9 + 42.0 + 11.0 = 119.5: +1.3 = +1.0998 % -> +1.1;
  // net 24.1 + 14.8 + 19.3 + 37.7 + 11.0 = 106.9 against
  // 24.1 + 16.7 + 18.1 + 37.7 + 9.9 = 106.5: -0.4 = -0.3742 % -> -0.4.
  const json& t = cedar["totals"];
  EXPECT_EQ(t["logs"], 5);
  EXPECT_EQ(t["logs_differing"], 2);
  EXPECT_DOUBLE_EQ(t["production_gross"], 118.2);
  EXPECT_DOUBLE_EQ(t["check_gross"], 119.5);
  EXPECT_DOUBLE_EQ(t["gross_percent"], 1.1);
  EXPECT_DOUBLE_EQ(t["production_net"], 106.9);
  EXPECT_DOUBLE_EQ(t["check_net"], 106.5);
  EXPECT_DOUBLE_EQ(t["net_percent"], -0.4);
}

TEST_F(CheckCompareTest, BoardLoadInBoardFeetFromTheSecondProductionFile) {
  const ToolRun r = Compare({"--json"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const json c = json::parse(r.out);
  const json& bear = c["loads"][1];
  EXPECT_EQ(bear["production_file"], "prodboard.scl");
  EXPECT_EQ(bear["unit"], "board feet");
  std::map<int, json> logs = ByLog(bear["logs"]);
  ASSERT_EQ(logs.size(), 2u);
  // 3: Scribner(12, 16) = 4.9 x 16 = 78.4 -> 80; checked with a small end of
  //    11: the long-log factor 4.167 x 16 = 66.7 -> 70.
  // 4: Scribner(14, 20) = 7.14 x 20 = 142.8 -> 140; the diameter cut of 2
  //    takes 140 - Scribner(12, 20) = 140 - 100 = 40: net 100, on both sides.
  EXPECT_EQ(logs[3]["differs"], "SD");
  EXPECT_DOUBLE_EQ(logs[3]["production"]["gross"], 80);
  EXPECT_DOUBLE_EQ(logs[3]["check"]["gross"], 70);
  EXPECT_EQ(logs[4]["differs"], "");
  EXPECT_DOUBLE_EQ(logs[4]["production"]["net"], 100);
  EXPECT_DOUBLE_EQ(logs[4]["check"]["net"], 100);
  // 220 against 210: -10 = -4.545 % -> -4.5; net 180 against 170:
  // -10 = -5.556 % -> -5.6. 13 live logs (14 is deleted) not re-measured.
  EXPECT_DOUBLE_EQ(bear["totals"]["gross_percent"], -4.5);
  EXPECT_DOUBLE_EQ(bear["totals"]["net_percent"], -5.6);
  EXPECT_EQ(bear["not_remeasured"].size(), 13u);
  EXPECT_DOUBLE_EQ(c["overall"]["board_feet"]["check_net"], 170);
  EXPECT_DOUBLE_EQ(c["overall"]["cubic_feet"]["check_net"], 106.5);
}

TEST_F(CheckCompareTest, ToleranceDecidesTheExitCode) {
  // The board load's net is 5.6 % under production, the cubic one's 0.4 %.
  struct Case {
    const char* tolerance;
    int exitCode;
    int flagged;
  };
  for (const Case& t : {Case{"5", 3, 1}, Case{"0.3", 3, 2}, Case{"6", 0, 0}}) {
    const ToolRun r = Compare({"--tolerance", t.tolerance});
    EXPECT_EQ(r.exitCode, t.exitCode) << t.tolerance << r.err;
    size_t flagged = 0;
    for (size_t at = r.out.find("OUTSIDE TOLERANCE"); at != std::string::npos;
         at = r.out.find("OUTSIDE TOLERANCE", at + 1)) {
      ++flagged;
    }
    EXPECT_EQ(flagged, static_cast<size_t>(t.flagged)) << t.tolerance;
  }
  EXPECT_EQ(Compare({}).exitCode, 0);  // no tolerance: nothing is flagged
}

TEST_F(CheckCompareTest, PrintedLines) {
  const ToolRun r = Compare({});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  // One line per log: LOG, S, then species, product, length, small and large
  // end, defect, gross and net of each scaler, the two differences, the mark.
  const std::string log5 = std::string("  5 1  ") + "DF 1 16 14 16   4.9  19.7  14.8  " +
                           "DF 1 18 14 16   5.5  22.2  16.7  " + "  +2.5    +1.9 *";
  EXPECT_NE(r.out.find(log5 + "\n"), std::string::npos) << r.out;
  const std::string log27 = std::string(" 27 1  ") + "DF 1 20  9 11   0.0  11.0  11.0  " +
                            "DF 1 20  9 11   1.1  11.0   9.9  " + "   0.0    -1.1  ";
  EXPECT_NE(r.out.find(log27 + "\n"), std::string::npos);
  EXPECT_NE(r.out.find("-- CHECK SCALE COMPARISON --"), std::string::npos);
  EXPECT_NE(r.out.find("*** CHECK SCALE ***"), std::string::npos);
  EXPECT_NE(r.out.find("Salename: Bear Creek"), std::string::npos);
  EXPECT_NE(r.out.find("Volumes in board feet (Scribner)"), std::string::npos);
  EXPECT_NE(r.out.find(" 39 1  DF 16 12 14  not in the production load"), std::string::npos);
  EXPECT_NE(r.out.find("Production logs not re-measured (34): 1, 3, 4, 6, 8, 10, 11, 12, 13, 14, "
                       "14/2, 15,"),
            std::string::npos);
  EXPECT_NE(r.out.find('\f'), std::string::npos);  // the second load on a page of its own
}

TEST_F(CheckCompareTest, CsvAndPdf) {
  ToolRun r = Compare({"--csv"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Cedar Ridge,1001,cubic feet,7,1,compared,DF,1,20,12,15,0.8,20.1,19.3,"
                       "DF,1,20,11,15,0.8,18.9,18.1,-1.2,-1.2,SD,\n"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("Cedar Ridge,1001,cubic feet,39,1,check only,,,,,,,,,DF,1,16,12,14,,,,,,,"
                       "not in the production load\n"),
            std::string::npos);
  // Header, 7 compared, 1 check only, 34 + 13 not re-measured.
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1 + 7 + 1 + 47);

  r = Compare({"--pdf", "compare.pdf"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "Wrote compare.pdf\n");
  EXPECT_EQ(ReadAll(dir_ / "compare.pdf").substr(0, 5), "%PDF-");
}

TEST_F(CheckCompareTest, RefusesFilesThatCannotServe) {
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    const char* error;
  };
  for (const Case& t : std::vector<Case>{
           {{"check-compare", "prod3p.scl", "prodboard.scl"}, 1, "not a check scale file"},
           {{"check-compare", "check.scl", "check.scl"}, 1, "not a production file"},
           {{"check-compare", "check.scl", "prod3p.scl", "prod3p.scl"}, 1, "is in both"},
           {{"check-compare", "check.scl", "missing.scl"}, 1, "missing.scl: no such file"},
           {{"check-compare", "check.scl", "prod3p.scl", "--tolerance", "-1"}, 2, ""},
           {{"check-compare", "check.scl", "prod3p.scl", "--csv", "--json"}, 2, ""}}) {
    const ToolRun r = Cli(t.args);
    EXPECT_EQ(r.exitCode, t.exitCode) << t.args.back() << r.err;
    EXPECT_NE(r.err.find(t.error), std::string::npos) << r.err;
  }
}

// The main screen's Reports on the open check scale file: a production file
// is asked for each checked load not yet held, then NAME.chk and its PDF.
TEST_F(CheckCompareTest, MainScreenWritesTheComparisonBesideTheReports) {
  platform::ScriptedUi ui([](const std::string& failure) { ADD_FAILURE() << failure; });
  platform::PosixFileSystem files;
  platform::FixedClock clock({2026, 8, 4, 9, 30, 0});
  app::Application application(ui, files, clock,
                               fs::path(VARNOLDE_CLI).parent_path().string() + "/");
  ASSERT_EQ(application.files.OpenScaleFile((dir_ / "check.scl").string()),
            app::FileOutcome::kOpened);
  reports::ReportContext context =
      app::MakeReportContext(*application.store(), application.files.state(), ui, files, clock);
  context.pdfCopies = true;
  ui.QueueOpenFile(std::nullopt);  // cancelled: nothing is written
  EXPECT_TRUE(app::WriteCheckComparison(context).empty());
  ui.QueueOpenFile((dir_ / "prodboard.scl").string());  // Cedar Ridge asked first: holds Bear Creek
  ui.QueueOpenFile((dir_ / "prod3p.scl").string());
  const std::vector<std::string> written = app::WriteCheckComparison(context);
  const std::string chk = (dir_ / "check.chk").string();
  EXPECT_EQ(written, (std::vector<std::string>{chk, chk + ".pdf"}));
  ASSERT_EQ(ui.file_dialogs().size(), 3u);
  EXPECT_EQ(ui.file_dialogs()[0].dialog.title, "Production file of SALE Cedar Ridge LLR 1001");
  EXPECT_EQ(ui.file_dialogs()[2].dialog.title, "Production file of SALE Cedar Ridge LLR 1001");
  ASSERT_FALSE(ui.messages().empty());
  EXPECT_EQ(ui.messages().back().text, "Check scale comparison created:\n" + chk);
  const std::string report = ReadAll(chk);
  EXPECT_NE(report.find("prod3p.scl"), std::string::npos);
  EXPECT_NE(report.find("prodboard.scl"), std::string::npos);
  EXPECT_NE(report.find("Salename: Bear Creek"), std::string::npos);
  EXPECT_EQ(app::CloseFile(application.files, ui), true);
}

}  // namespace
