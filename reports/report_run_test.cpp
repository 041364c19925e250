#include "reports/report_run.h"

#include <gtest/gtest.h>

#include "mkstore/fault_file_system.h"
#include "reports/load_data.h"
#include "reports/report_test_util.h"
#include "scaling/stored_rows.h"

namespace reports {
namespace {

using testing::ScaleFile;
using testing::Values;

Values LoadRow(const std::string& llr, const std::string& scaleSys = "Cubic") {
  return {{"SALE", "Big Pine"},  {"LLR", llr},          {"ST", "100"},      {"SCALESYS", scaleSys},
          {"REGION", "06"},      {"FOREST", "12"},      {"DISTRICT", "3"},  {"LOCATION", "Mill A"},
          {"PURCH", "Acme"},     {"DEST", "Yard"},      {"CONTRACT", "C7"}, {"SG", "2"},
          {"HDATE", "20101104"}, {"SDATE", "20101105"}, {"STIME", "08:30"}, {"SCALER", "Ann"},
          {"TRK", "T9"},         {"NWT", "1000"},       {"GWT", "1500"},    {"MEASSYS", "E"},
          {"CFSAWCU", "0.5"},    {"CFNONSAWCU", "0.75"}};
}

Values LogRow(const std::string& llr, int log) {
  return {{"SALE", "Big Pine"}, {"LLR", llr}, {"LOG", std::to_string(log)},
          {"S", "1"},           {"SP", "DF"}, {"P", "1"},
          {"LN", "16"},         {"SD", "10"}, {"LD", "12"},
          {"HIT", "-1"}};
}

class ReportRunTest : public ::testing::Test {
 protected:
  ScaleFile file_;
};

TEST_F(ReportRunTest, FitLabelCutsOrFills) {
  EXPECT_EQ(FitLabel("Region: 06", 12), "Region: 06  ");
  EXPECT_EQ(FitLabel("Salename: Big Pine", 8), "Salename");
  EXPECT_EQ(FitLabel("abc", 3), "abc");
  EXPECT_EQ(FitLabel("abc", 0), "");
  EXPECT_EQ(FitLabel("Forest: Éa", 10), "Forest: Éa");  // characters, not bytes
}

TEST_F(ReportRunTest, UnitOfMeasureCodes) {
  for (const char* s : {"Cubic", "cubic", "03", "3"}) EXPECT_EQ(UnitOfMeasureCode(s), "03") << s;
  for (const char* s : {"Board", "board", "01", "1"}) EXPECT_EQ(UnitOfMeasureCode(s), "01") << s;
  for (const char* s : {"Weight", "weight", "05", "5"}) EXPECT_EQ(UnitOfMeasureCode(s), "05") << s;
  for (const char* s : {"Longlog", "CUBIC", "", "003"}) EXPECT_EQ(UnitOfMeasureCode(s), "") << s;
}

TEST_F(ReportRunTest, FileNamePartKeepsAPathOutOfTheName) {
  EXPECT_EQ(FileNamePart("10/01"), "10-01");
  EXPECT_EQ(FileNamePart("a\\b: c"), "a-bc");
}

TEST_F(ReportRunTest, ScaleFileBaseDropsTheExtension) {
  EXPECT_EQ(ScaleFileBase("/data/load.scl"), "/data/load");
  EXPECT_EQ(ScaleFileBase("/data/LOAD.SCL"), "/data/LOAD");
  EXPECT_EQ(ScaleFileBase("/data/load.txt"), "/data/load.txt");
  EXPECT_EQ(ScaleFileBase(".scl"), "");
}

TEST_F(ReportRunTest, HeaderLabelsAreFittedToTheirWidths) {
  file_.AddRow("Load", LoadRow("1234"));
  const ReportContext context = file_.Context();
  ReportRun run(context);
  ASSERT_EQ(run.FetchLoadHeader("Big Pine", "1234"), 0);
  const HeaderLabels& l = run.labels();
  EXPECT_EQ(l.uom, "UOM: Cubic                  ");
  EXPECT_EQ(l.scaleDate, "Scale Date: 20101105     ");
  EXPECT_EQ(l.scaleTime, "Scale Time: 08:30        ");
  EXPECT_EQ(l.loadReceipt, "Load Receipt: 1234       ");
  EXPECT_EQ(l.saleName.size(), 75u);
  EXPECT_EQ(l.saleName.substr(0, 19), "Salename: Big Pine ");
  EXPECT_EQ(l.forest, "Forest: 12       ");
  EXPECT_EQ(l.district, "District: 3      ");
  EXPECT_EQ(l.haulDate, "Haul Date:  20101104     ");
  EXPECT_EQ(l.merchSaw, "Merch (SAW): 0.50");
  EXPECT_EQ(l.merchPulp, "Merch (PULP): 0.75");
  EXPECT_EQ(run.header().unitCode, "03");
  EXPECT_EQ(run.reportBaseName(), file_.base());  // one load: no load receipt
  EXPECT_EQ(run.programVersion(), "1.0.0");
}

TEST_F(ReportRunTest, CullFactorsAreHandedToTheApplication) {
  file_.AddRow("Load", LoadRow("1234"));
  ReportContext context = file_.Context();
  scaling::CullFactors seen;
  context.setCullFactors = [&](const scaling::CullFactors& f) { seen = f; };
  ReportRun run(context);
  run.FetchLoadHeader("Big Pine", "1234");
  EXPECT_FLOAT_EQ(seen.sawCubic, 0.5f);
  EXPECT_FLOAT_EQ(seen.nonSawCubic, 0.75f);
}

TEST_F(ReportRunTest, UnknownScaleSystemNeverKeepsThePreviousLoadsCode) {
  file_.AddRow("Load", LoadRow("1", "Weight"));
  file_.AddRow("Load", LoadRow("2", "Longlog"));
  const ReportContext context = file_.Context();
  ReportRun run(context);
  run.FetchLoadHeader("Big Pine", "1");
  EXPECT_EQ(run.header().unitCode, "05");
  run.FetchLoadHeader("Big Pine", "2");
  EXPECT_EQ(run.header().unitCode, "");
}

TEST_F(ReportRunTest, NoReportChosenDoesNothing) {
  EXPECT_FALSE(GenerateReports(file_.Context(), ReportChoice{}, " load").ran);
  EXPECT_TRUE(file_.ui().messages().empty());
}

TEST_F(ReportRunTest, NonScaleLoadsGiveAFourLineCsv) {
  file_.AddRow("Load", LoadRow("1"));
  file_.AddRow("Load", LoadRow("2"));
  Values third = LoadRow("3", "Longlog");
  third["LOCATION"] = "Mill, North";
  file_.AddRow("Load", third);
  ReportChoice choice;
  choice.logReport = true;
  ASSERT_TRUE(GenerateReports(file_.Context(kFileTypeNonScale), choice, " test").ran);
  EXPECT_EQ(file_.File(file_.base() + ".csv"),
            "Region,Forest,Dist,Sale,Location,Purchaser,Dest,Contract,SG,HDate,SDate,Scaler,"
            "Truck,LLR,NWT,GWT,E/M,UOM,Sampling,Status\n"
            "06,12,3,Big Pine,Mill A,Acme,Yard,C7,2,20101104,20101105,Ann,T9,1,1000,1500,E,03,"
            "100,0\n"
            "06,12,3,Big Pine,Mill A,Acme,Yard,C7,2,20101104,20101105,Ann,T9,2,1000,1500,E,03,"
            "100,0\n"
            "06,12,3,Big Pine,Mill, North,Acme,Yard,C7,2,20101104,20101105,Ann,T9,3,1000,1500,E,,"
            "100,0\n");
  ASSERT_EQ(file_.ui().messages().size(), 2u);
  EXPECT_EQ(file_.ui().messages()[0].text, "A csv file containing 3 loads has been generated");
  EXPECT_EQ(file_.ui().messages()[0].caption, "Done");
  EXPECT_EQ(file_.ui().messages()[1].text, "Reports Created for test");
  EXPECT_EQ(file_.ui().messages()[1].icon, platform::Icon::kInformation);
  EXPECT_EQ(file_.files().files().size(), 1u);  // no audit, no other report
  EXPECT_FALSE(file_.ui().wait_cursor());
}

TEST_F(ReportRunTest, TwoLoadsGiveLogReportsNamedAfterTheirLoadReceipts) {
  file_.AddRow("Load", LoadRow("1234"));
  file_.AddRow("Load", LoadRow("1235"));
  file_.AddRow("Log", LogRow("1234", 1));
  file_.AddRow("Log", LogRow("1235", 1));
  ReportChoice choice;
  choice.logReport = true;
  ASSERT_TRUE(GenerateReports(file_.Context(), choice, " 2 loads").ran);
  EXPECT_NE(file_.files().File(file_.base() + "1234.clg"), nullptr);
  EXPECT_NE(file_.files().File(file_.base() + "1235.clg"), nullptr);
  EXPECT_EQ(file_.files().File(file_.base() + "1234.cmp"), nullptr);  // pass without a file
  EXPECT_EQ(file_.files().files().size(), 2u);
  ASSERT_EQ(file_.ui().messages().size(), 1u);
  EXPECT_EQ(file_.ui().messages()[0].text, "Reports Created for 2 loads");
}

TEST_F(ReportRunTest, LogReportAloneStillRecomputesTheStoredVolumes) {
  file_.AddRow("Load", LoadRow("1234"));
  file_.AddRow("Log", LogRow("1234", 1));
  ReportChoice choice;
  choice.logReport = true;
  ASSERT_TRUE(GenerateReports(file_.Context(), choice, "").ran);
  float gcv = 0.0f;
  const int slot = file_.store().OpenAView("Log", false);
  file_.store().GetFloat(slot, 0, file_.store().ColumnIndex(slot, "GCV"), gcv);
  file_.store().ReleaseView(slot);
  EXPECT_FLOAT_EQ(gcv, 10.6f);  // (100 + 144) x 16 x 0.002727 = 10.646
}

TEST_F(ReportRunTest, AuditErrorsCancelTheWholeRunBeforeAnyFile) {
  file_.AddRow("Load", LoadRow("1234"));
  file_.AddRow("Load", LoadRow("1235"));
  file_.AddRow("Log", LogRow("1234", 1));
  Values bad = LogRow("1235", 1);
  bad["S"] = "2";
  file_.AddRow("Log", bad);
  ReportChoice choice;
  choice.comprehensive = choice.logReport = choice.brevanta = true;
  EXPECT_FALSE(GenerateReports(file_.Context(), choice, "").ran);
  EXPECT_TRUE(file_.files().files().empty());
  ASSERT_EQ(file_.ui().messages().size(), 1u);
  EXPECT_EQ(file_.ui().messages()[0].text, "Bad Split code on Log 1");
  EXPECT_EQ(file_.ui().messages()[0].caption, "Errors Found - Reports Cancelled for load 1235");
  EXPECT_EQ(file_.ui().messages()[0].icon, platform::Icon::kStop);
  EXPECT_FALSE(file_.ui().wait_cursor());
}

TEST_F(ReportRunTest, CancelledWarningsStopTheRunSilently) {
  Values load = LoadRow("1234");
  load["MAXLEN"] = "10";
  file_.AddRow("Load", load);
  file_.AddRow("Log", LogRow("1234", 1));
  file_.ui().QueueAnswer(platform::Answer::kCancel);
  ReportChoice choice;
  choice.logReport = true;
  EXPECT_FALSE(GenerateReports(file_.Context(), choice, "").ran);
  EXPECT_TRUE(file_.files().files().empty());
  ASSERT_EQ(file_.ui().messages().size(), 1u);
  EXPECT_EQ(file_.ui().messages()[0].caption, "Warning");
}

TEST_F(ReportRunTest, UnwritableTargetShowsErrorCreatingFileAndGoesOn) {
  file_.AddRow("Load", LoadRow("1234"));
  file_.AddRow("Log", LogRow("1234", 1));
  file_.files().SetWriteFails(file_.base() + ".cmp", true);
  ReportChoice choice;
  choice.comprehensive = choice.logReport = true;
  ASSERT_TRUE(GenerateReports(file_.Context(), choice, " x").ran);
  // The failure with the system's reason, and no "Reports Created" after it.
  ASSERT_EQ(file_.ui().messages().size(), 1u);
  EXPECT_EQ(file_.ui().messages()[0].caption, "Error Creating File");
  EXPECT_EQ(file_.ui().messages()[0].text,
            file_.base() + ".cmp could not be written: Permission denied.");
  EXPECT_EQ(file_.ui().messages()[0].icon, platform::Icon::kStop);
  EXPECT_NE(file_.files().File(file_.base() + ".clg"), nullptr);
}

TEST_F(ReportRunTest, BrevantaOnlyForProductionFiles) {
  file_.AddRow("Load", LoadRow("1234"));
  file_.AddRow("Log", LogRow("1234", 1));
  ReportChoice choice;
  choice.brevanta = true;
  ASSERT_TRUE(GenerateReports(file_.Context(kFileTypeCheckScale), choice, "").ran);
  EXPECT_TRUE(file_.files().files().empty());
  ASSERT_TRUE(GenerateReports(file_.Context(), choice, "").ran);
  // Without the log report in the run the file holds the load line only.
  EXPECT_EQ(file_.File(file_.base() + ".bva"),
            "~06,12,3,Big Pine,Mill A,Acme,Yard,C7,2,20101104,20101105,Ann,T9,1234,1000,1500,E,"
            "03,100,1\n");
}

}  // namespace
}  // namespace reports

namespace reports {
namespace {

// A setup that leaves out most columns, and a file without Seg, DefC and KZ:
// every report is still written, the missing values read as empty or 0.
TEST(ReportRunDamageTest, MissingTablesAndColumns) {
  testing::ScaleFile file;
  tablestore::TableStore& store = file.store();
  for (const char* table : {"Seg", "DefC", "KZ"}) ASSERT_EQ(store.DefineTable(table), 0);
  ASSERT_EQ(store.DefineTable("Load[SALE:S,LLR:S,ST:S]"), 0);
  ASSERT_EQ(store.DefineTable("Log[SALE:S,LLR:S,LOG:I,LN:I,SD:I,LD:I]"), 0);
  file.AddRow("Load", {{"SALE", "S"}, {"LLR", "1"}, {"ST", "3P"}});
  file.AddRow(
      "Log", {{"SALE", "S"}, {"LLR", "1"}, {"LOG", "1"}, {"LN", "16"}, {"SD", "10"}, {"LD", "12"}});
  // Without HIT every log is undecided: the 3P audit refuses the load.
  ReportChoice choice;
  choice.comprehensive = choice.logReport = choice.brevanta = true;
  EXPECT_FALSE(GenerateReports(file.Context(), choice, "").ran);
  EXPECT_EQ(file.ui().messages().back().text, "Log 1: sample not determined (HIT = -1)");
  // A 100 % load of the same shape is reported.
  ASSERT_EQ(store.DefineTable("Load[SALE:S,LLR:S]"), 0);
  const ReportContext context = file.Context();
  ReportRun run(context);
  ASSERT_EQ(run.FetchLoadHeader("S", "1"), 0);
  EXPECT_EQ(run.header().unitCode, "");
  EXPECT_EQ(run.labels().uom, "UOM: " + testing::B(23));
  EXPECT_TRUE(run.WriteComprehensiveReport(true));
  EXPECT_TRUE(run.WriteLogReport());
  EXPECT_TRUE(run.WriteBrevantaFile());
  EXPECT_NE(file.File(file.base() + ".clg").find("  1  1"), std::string::npos);
  EXPECT_EQ(file.File(file.base() + ".bva"), "~,,,S,,,,,,,,,,1,,,,,,1\n");
}

TEST(ReportRunDamageTest, NoFileOpen) {
  tablestore::TableStore store;
  platform::ScriptedUi ui;
  platform::MemFileSystem files;
  platform::FixedClock clock;
  ReportContext context;
  context.store = &store;
  context.ui = &ui;
  context.files = &files;
  context.clock = &clock;
  ReportChoice choice;
  choice.logReport = true;
  EXPECT_FALSE(GenerateReports(context, choice, "").ran);
  EXPECT_FALSE(WriteAuditReport(context));
  EXPECT_TRUE(files.files().empty());
  EXPECT_TRUE(ui.messages().empty());
}

}  // namespace
}  // namespace reports

namespace reports {
namespace {

TEST(ReportRunOrderTest, ReportsBeforeAnyHeaderAreEmptyNotACrash) {
  testing::ScaleFile file;
  const ReportContext context = file.Context();
  ReportRun run(context);
  EXPECT_TRUE(run.WriteLogReport());
  EXPECT_TRUE(run.WriteComprehensiveReport(true));
  EXPECT_TRUE(run.WriteBrevantaFile());
  EXPECT_EQ(run.WriteLoadSummaryCsv(), 0);  // no Load rows: the heading line only
  EXPECT_EQ(file.File(file.base() + ".csv"),
            "Region,Forest,Dist,Sale,Location,Purchaser,Dest,Contract,SG,HDate,SDate,Scaler,"
            "Truck,LLR,NWT,GWT,E/M,UOM,Sampling,Status\n");
}

// GCV of every Log row of the file at `path` of `disk`, in row order.
std::vector<std::string> StoredGcv(mk::FaultFileSystem& disk, const std::string& path) {
  tablestore::TableStore store(&disk);
  EXPECT_EQ(store.Open(path, false), 0);
  const int slot = store.OpenAView("Log", false);
  std::vector<std::string> gcv;
  for (int row = 0; row < store.RowCount(slot); ++row) {
    gcv.push_back(scaling::CellText(store, slot, row, store.ColumnIndex(slot, "GCV")));
  }
  return gcv;
}

// Issue 17: the comprehensive report's recomputed volumes either reach the
// file or the run says they did not (volumesNotStored, and a message with
// the engine's reason), for a failure at every write of the run.
TEST_F(ReportRunTest, StoredVolumesReachTheFileOrTheRunSaysTheyDidNot) {
  testing::Build100Load(file_);
  ASSERT_EQ(file_.store().Commit(), 0);
  std::string bytes;
  platform::PosixFileSystem posix;
  ASSERT_EQ(posix.ReadFile(file_.path(), 1 << 24, &bytes), platform::FileResult::kOk);
  const std::string path = "/fault/load.scl";
  ReportChoice choice;
  choice.comprehensive = true;
  std::vector<std::string> before, after;
  int failures = 0;
  for (int n = 0;; ++n) {  // n = 0: no fault, which gives the new volumes
    SCOPED_TRACE("write " + std::to_string(n) + " fails");
    mk::FaultFileSystem disk;
    disk.SetContents(path, bytes);
    if (n == 0) before = StoredGcv(disk, path);
    platform::ScriptedUi ui;
    ReportRunResult result;
    {
      tablestore::TableStore store(&disk);
      ASSERT_EQ(store.Open(path, false), 0);
      ReportContext context = file_.Context();
      context.store = &store;
      context.ui = &ui;
      disk.FailWrite(n);
      result = GenerateReports(context, choice, "");
      (void)store.Close();
    }
    const bool failed = n > 0 && disk.writes() >= n;
    disk.Crash();
    const std::vector<std::string> stored = StoredGcv(disk, path);
    ASSERT_TRUE(result.ran);
    if (n == 0) {
      after = stored;
      ASSERT_NE(after, before);
    }
    if (result.volumesNotStored.empty()) {
      EXPECT_EQ(stored, after);
    } else {
      ++failures;
      EXPECT_EQ(result.volumesNotStored, std::vector<std::string>{"1001"});
      EXPECT_EQ(stored, before);
      EXPECT_FALSE(result.complete());
      bool shown = false;
      for (const auto& m : ui.messages()) {
        shown = shown || m.text.rfind(std::string(kVolumesNotStoredText) + "1001:\n", 0) == 0;
      }
      EXPECT_TRUE(shown);
    }
    if (n > 0 && !failed) break;
  }
  EXPECT_GT(failures, 0);
}

}  // namespace
}  // namespace reports
