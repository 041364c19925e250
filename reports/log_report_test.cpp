// The log report: a 100 % load written out in full, the 3P rows, the worked
// example of the 3P totals, pairs without samples, and the Brevanta file that
// carries the totals.
#include <gtest/gtest.h>

#include <algorithm>

#include "reports/report_run.h"
#include "reports/report_test_util.h"

// The expected texts are laid out line by line as the report prints them;
// automatic formatting would run the lines together.
// clang-format off
namespace reports {
namespace {

using testing::B;
using testing::LoadValues;
using testing::LogValues;
using testing::ScaleFile;
using testing::Values;

std::string Dashes(int n) { return std::string(static_cast<size_t>(n), '-'); }

// The portrait page header of load 1001 (91 characters per line).
std::string ClgHeader(const std::string& st = "100") {
  return B(34) + "V A R N O L D E  1.0.0" + B(19) + "Date: 11/05/2010\n" +
         "Load Receipt: 1001" + B(7) + B(10) + "-- CUFT LOG REPORT --" + B(19) +
         "Time: 14:07    \n\n" +
         "Salename: S1" + B(63) + "Region: 06" + B(15) + "\n" +
         "Haul Date:  20101104" + B(2) + "Type Scale: " + st + B(13 - static_cast<int>(st.size())) +
         "UOM: Cubic" + B(18) +
         "Forest: 12" + B(7) + "\n" +
         "Scale Date: 20101105" + B(2) + "Location: Mill A" + B(9) + "Purchaser: Acme" + B(13) +
         "District: 3" + B(6) + "\n" +
         "Scale Time: 08:30" + B(5) + "Gross WT: 1500" + B(11) + "Contract: C7" + B(16) +
         "Merch (SAW): 2.00\n" +
         "Scaler: Ann" + B(11) + "Net WT: 1000" + B(13) + "Sample Group: 2" + B(13) +
         "Merch (PULP): 0.50\n" +
         "\n";
}

// The headings of the 100 % log list (14 columns, 5 heading rows).
std::string HundredLogHeading() {
  const std::string tail4 = B(10) + "  " + B(5) + "  " + B(5) + "  ";
  return std::string("\t\t\t\t\t    V O L U M E S (CF)\n") +
         // Columns: LOG # 1-3, SPLIT 6, species 9-10, LEN 13-14, SED 17-18, LED
         // 21-22, PROD 25-26, GRADE 28, BUTT 30-31, REMARKS 33-42, GROSS 45-49,
         // NET 52-56, (N/G) PCT 59-63, CULL SEGS 66-69.
         " L   S" + B(21) + "G    " + tail4 + B(5) + "  " + B(4) + "\n" +
         " O   P   S" + B(15) + "P R  B " + tail4 + B(5) + "  " + B(4) + "\n" +
         " G   L   P   L   S   L   R A  U " + tail4 + B(5) + "  " + B(4) + "\n" +
         "     I   E   E   E   E   O D  T " + tail4 + "(N/G)  CULL\n" +
         " #   T   C   N   D   D   D E  T " + "  REMARKS   GROSS   NET    PCT   SEGS\n" +
         "---  -  --  --  --  --  -- - -- ----------  -----  -----  -----  ----\n";
}

std::string Footer(int page) { return B(84) + "Page: " + std::to_string(page) + "\n"; }

TEST(LogReportTest, HundredPercentLoadInFull) {
  ScaleFile file;
  testing::Build100Load(file);
  ReportChoice choice;
  choice.logReport = true;
  ASSERT_TRUE(GenerateReports(file.Context(), choice, "").ran);
  const std::string expected =
      ClgHeader() + HundredLogHeading() +
      "  1  1  DF  16  10  12   1 2    " + B(10) + "   10.6   10.6    100      \n" +
      // Segment 2 of log 2 has the factor 1.60, above CFNONSAWCU 0.5: culled.
      "  2  1  WH  32  12  16   2      Midpnt: 14   34.5   33.0     96    1 \n" +
      "  3  1  DF  12   9  10   1      broken        0.0    0.0      0      \n" +
      "  4  1  DF  16  10  12   1      " + B(10) + "    0.0    0.0      0      \n" +
      Dashes(69) + "\n" +
      std::string(49, '\n') + Footer(1) + "\f" + ClgHeader() +
      B(47) + "T O T A L S\n\n" +
      B(25) + "Species   Product   Count    Gross      Net     Pct     \n" +
      B(25) + "-------   -------   -----   -------   -------   ---\n" +
      B(25) + "   DF        1          2      10.6      10.6   100     \n" +
      B(25) + "   WH        2          1      34.5      33.0    96     \n" +
      B(25) + Dashes(57) + "\n" +
      B(25) + B(7) + "      1          2      10.6      10.6   100     \n" +
      B(25) + B(7) + "      2          1      34.5      33.0    96     \n" +
      B(25) + Dashes(57) + "\n" +
      B(25) + B(7) + B(13) + "    3      45.1      43.6    97     \n" +
      "\n\n\n\n" +
      B(33) + "TOTAL NUMBER OF LOGS BY SPECIES\n\n" +
      B(41) + "Species   Logs   \n" +
      B(41) + "-------   ----\n" +
      B(41) + "   DF        2   \n" +
      B(41) + "   WH        1   \n" +
      B(41) + Dashes(14) + "\n" +
      B(41) + " Total:      3   \n" +
      "\n\n\n\n" + "\n\n\n\n" +
      B(39) + "MEAN MEASUREMENTS\n" +
      B(37) + " SP    LN    SD    LD   \n" +
      B(37) + "---   ---   ---   ---\n" +
      B(37) + " DF    16    10    12   \n" +
      B(37) + " WH    32    12    16   \n" +
      B(37) + Dashes(21) + "\n" +
      // (16 + 32 + 16) / 3 = 21.3, (10 + 12 + 10) / 3 = 10.7, (12 + 16 + 12) / 3 = 13.3.
      B(37) + "All    21    11    13   \n" +
      std::string(23, '\n') + Footer(2);
  const std::vector<std::string> want = testing::Lines(expected);
  const std::vector<std::string> got = testing::Lines(file.File(file.base() + ".clg"));
  for (size_t i = 0; i < want.size() && i < got.size(); ++i) {
    EXPECT_EQ(got[i], want[i]) << "line " << i + 1;
  }
  EXPECT_EQ(got.size(), want.size());
  EXPECT_EQ(file.File(file.base() + ".clg"), expected);
}

// The headings of the 3P log list (19 columns, 5 heading rows).
std::string ThreePLogHeading() {
  // Columns as in the 100 % list up to BUTT (1-31), then KPI 33-36, RND #
  // 39-42, HIT 44, REMARKS 47-56, GROSS 59-63, RATIO 66-71, NET 74-78, RATIO
  // 81-86, (N/G) PCT 89-93, CULL SEGS 96-99.
  const std::string tail = B(10) + "  " + B(5) + "  " + B(6) + "  " + B(5) + "  " + B(6) + "  ";
  return std::string("\t\t\t\t\t \t \t -------- V O L U M E S (CF) -------\n") +
         " L   S" + B(21) + "G    " + "        R     " + tail + B(5) + "  " + B(4) + "\n" +
         " O   P   S" + B(15) + "P R  B " + "        N     " + tail + B(5) + "  " + B(4) + "\n" +
         " G   L   P   L   S   L   R A  U " + "  K     D  H  " + tail + B(5) + "  " + B(4) +
         "\n" +
         "     I   E   E   E   E   O D  T " + "  P        I  " + B(10) + "  " + B(5) + "  " +
         B(6) + "  " + B(5) + "  " + B(6) + "  (N/G)  CULL\n" +
         " #   T   C   N   D   D   D E  T " + "  I     #  T  " +
         "  REMARKS   GROSS   RATIO   NET    RATIO   PCT   SEGS\n" +
         "---  -  --  --  --  --  -- - -- ----  ---- -  ----------  -----  ------  -----  ------  "
         "-----  ----\n";
}

TEST(LogReportTest, ThreePLoadInFull) {
  ScaleFile file;
  testing::Build3PLoad(file);
  ReportChoice choice;
  choice.logReport = true;
  ASSERT_TRUE(GenerateReports(file.Context(), choice, "").ran);
  const std::string blankCells = "  " + B(5) + "  " + B(6) + "  " + B(5) + "  " + B(6) + "  " +
                                 B(5) + "  " + B(4) + "\n";
  const std::string expected =
      ClgHeader("3P") +
      "      KZ Values\n" +
      "Product Species  KZ  \n" +
      "------- ------- ----\n" +
      "   1       DF    100 \n" +
      "   2       WH     80 \n" +
      Dashes(20) + "\n" +
      "\n\n" +
      ThreePLogHeading() +
      "  1  1  DF  16  10  12   1        40    30 *  " + B(10) +
      "   10.6  0.2650   10.6  0.2650    100      \n" +
      "  2  1  DF" + B(15) + "1        30    50    " + B(10) + blankCells +
      // (7.2 + 2.7) / 30 for the first split.
      "  3  1  WH  16   8  10   2        30    10 *  " + B(10) +
      "    7.2  0.3300    7.2  0.3300    100      \n" +
      "  3  2  WH  10   6   8   2         0     0    " + B(10) +
      "    2.7  0.0000    2.7  0.0000    100      \n" +
      "  4  1  DF  12   9  10   1        25     5 D  " + B(10) + blankCells +
      // 34.5 / 50 and 33.0 / 50; the 1.60 factor is not above CFSAWCU 2.0.
      "  5  1  DF  32  12  16   1        50    20 *  Midpnt: 14   34.5  0.6900   33.0  0.6600"
      "     96      \n" +
      "  6  1  DF  16  10  12   1        40    40 *  " + B(10) +
      "    0.0  0.0000    0.0  0.0000      0      \n" +
      Dashes(99) + "\n" +
      // 31 lines written.
      std::string(38, '\n') + Footer(1) + "\f" + ClgHeader("3P") +
      "\n\n" +
      "\t \t \t       3P TOTALS BY SPECIES-PRODUCT\n\n" +
      "          -Number of--\n" +
      "          Count   Meas    Sum    -Sum of Ratios---     Sum of Expanded Volumes    (N/G)\n" +
      "SP   PR    Logs   Logs    KPI     Gross      Net        Gross   Defect     Net     PCT      "
      "\n" +
      "--   --   -----   ----   -----   -------   -------     ------   ------   ------   -----   -\n" +
      // DF: m = 3, K = 40 + 30 + 50 + 40, RG = 0.265 + 0.69 + 0, RN = 0.265 + 0.66 + 0;
      // EG = 0.955 x 160 / 3 = 50.93, EN = 0.925 x 160 / 3 = 49.33.
      "DF    1       1      3     160    0.9550    0.9250       50.9      1.6     49.3      97     \n" +
      // WH: the sample's combined split ratios; the undecided split is in u.
      "WH    2       0      1      30    0.3300    0.3300        9.9      0.0      9.9     100     \n" +
      Dashes(91) + "\n" +
      "    Note: If any logs have multiple products, the number of logs will include splits.\n" +
      "\n\n\n\n" +
      B(29) + "TOTAL NUMBER OF LOGS BY SPECIES\n\n" +
      B(37) + "Species   Logs   \n" +
      B(37) + "-------   ----\n" +
      B(37) + "   DF        4   \n" +
      B(37) + "   WH        1   \n" +
      B(37) + Dashes(14) + "\n" +
      B(37) + " Total:      5   \n" +
      "\n\n\n\n" +
      B(38) + "OVERALL TOTALS\n\n" +
      B(28) + "------ V O L U M E S ------\n" +
      B(34) + "(in Cubic Feet)\n" +
      B(28) + B(7) + "   " + B(7) + "   " + B(7) + "   (N/G)\n" +
      B(28) + " Gross      Def       Net      Pct \n" +
      // 50.93 + 9.9 gross, 49.33 + 9.9 net.
      B(28) + "   60.8       1.6      59.2      97\n" +
      // 43 lines written.
      std::string(26, '\n') + Footer(2) + "\f" + ClgHeader("3P") +
      B(36) + "SAMPLE VOLUME SUMMARY\n" + B(41) + "(Cubic Feet)\n\n" +
      B(22) + "Log#   Split     SP    Prod   KPI    Gross     Def      Net    Pct   \n" +
      B(22) + "----   -----   -----   ----   ---   ------   ------   ------   ---\n" +
      B(22) + "   1     1       DF      1     40     10.6      0.0     10.6   100   \n" +
      B(22) + "   3     1       WH      2     30      7.2      0.0      7.2   100   \n" +
      B(22) + "   3     2       WH      2      0      2.7      0.0      2.7   100   \n" +
      B(22) + "   3     -       WH      2      -      9.9      0.0      9.9   100   \n" +
      B(22) + "   5     1       DF      1     50     34.5      1.5     33.0    96   \n" +
      B(22) + "   6     1       DF      1     40      0.0      0.0      0.0     0   \n" +
      "\n\n\n\n" +
      B(39) + "MEAN MEASUREMENTS\n" +
      B(37) + " SP    LN    SD    LD   \n" +
      B(37) + "---   ---   ---   ---\n" +
      // DF: 64 / 3, 32 / 3, 40 / 3; WH: 26 / 2, 14 / 2, 18 / 2; all: 90 / 5, 46 / 5, 58 / 5.
      B(37) + " DF    21    11    13   \n" +
      B(37) + " WH    13     7     9   \n" +
      B(37) + Dashes(21) + "\n" +
      B(37) + "All    18     9    12   \n" +
      // 30 lines written.
      std::string(39, '\n') + Footer(3);
  const std::vector<std::string> want = testing::Lines(expected);
  const std::vector<std::string> got = testing::Lines(file.File(file.base() + ".clg"));
  for (size_t i = 0; i < want.size() && i < got.size(); ++i) {
    EXPECT_EQ(got[i], want[i]) << "line " << i + 1;
  }
  EXPECT_EQ(got.size(), want.size());
  EXPECT_EQ(file.File(file.base() + ".clg"), expected);
}

TEST(LogReportTest, ThreePBrevantaInFull) {
  ScaleFile file;
  testing::Build3PLoad(file);
  ReportChoice choice;
  choice.logReport = choice.brevanta = true;
  ASSERT_TRUE(GenerateReports(file.Context(), choice, "").ran);
  EXPECT_EQ(file.File(file.base() + ".bva"),
            "~06,12,3,S1,Mill A,Acme,Yard,C7,2,20101104,20101105,Ann,T9,1001,1000,1500,E,03,3P,"
            "1\n"
            "DF,1,      3,     160,    0.9550,  0.9250\n"
            "WH,2,      1,      30,    0.3300,  0.3300\n");
}

TEST(LogReportTest, CheckScaleHeading) {
  ScaleFile file;
  testing::Build100Load(file);
  ReportChoice choice;
  choice.logReport = choice.comprehensive = choice.brevanta = true;
  ASSERT_TRUE(GenerateReports(file.Context(kFileTypeCheckScale), choice, "").ran);
  const std::vector<std::string> lines = testing::Lines(file.File(file.base() + ".clg"));
  ASSERT_GT(lines.size(), 11u);
  // After the load receipt line and its extra line feed.
  EXPECT_EQ(lines[3], B(36) + "*** CHECK SCALE ***" + B(35));
  EXPECT_EQ(lines[4], "");
  EXPECT_EQ(lines[5], "Salename: S1" + B(63) + "Region: 06" + B(15));
  EXPECT_EQ(lines[10], "Check Scaler: " + B(11));
  EXPECT_EQ(lines[11], "");
  const std::vector<std::string> cmp = testing::Lines(file.File(file.base() + ".cmp"));
  ASSERT_GT(cmp.size(), 11u);
  EXPECT_EQ(cmp[3], B(49) + "*** CHECK SCALE ***" + B(48));
  EXPECT_EQ(cmp[10], "Check Scaler: " + B(11));
  // No Brevanta file for a check scale.
  EXPECT_EQ(file.files().File(file.base() + ".bva"), nullptr);
}

TEST(LogReportTest, HundredPercentBrevantaHasTheSpeciesWithGross) {
  ScaleFile file;
  testing::Build100Load(file);
  ReportChoice choice;
  choice.logReport = choice.brevanta = true;
  ASSERT_TRUE(GenerateReports(file.Context(), choice, "").ran);
  // DF product 2 and WH product 1 have no logs: no line.
  EXPECT_EQ(file.File(file.base() + ".bva"),
            "~06,12,3,S1,Mill A,Acme,Yard,C7,2,20101104,20101105,Ann,T9,1001,1000,1500,E,03,100,"
            "1\n"
            "DF,1,      10.6,      10.6\n"
            "WH,2,      34.5,      33.0\n");
}

// True when `text` has a line equal to `line`.
bool HasLine(const std::string& text, const std::string& line) {
  const std::vector<std::string> lines = testing::Lines(text);
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

Values Sample(int log, const std::string& s, const std::string& sp, int p, int kpi, int hit) {
  Values v = LogValues(log, s, sp, p, 0, 0, 0);
  v["KPI"] = std::to_string(kpi);
  v["HIT"] = std::to_string(hit);
  return v;
}

// The worked example: 10 logs with a KPI sum of 400, two samples of KPI 40
// and 50 with GCV 36 and 45 and NCV 30 and 40; and a pair without samples.
class ThreePTotalsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_.AddRow("Load", LoadValues("3P"));
    Values s1 = Sample(1, "1", "DF", 1, 40, 1);
    s1["GCV"] = "36";
    s1["NCV"] = "30";
    Values s2 = Sample(2, "1", "DF", 1, 50, 1);
    s2["GCV"] = "45";
    s2["NCV"] = "40";
    file_.AddRow("Log", s1);
    file_.AddRow("Log", s2);
    for (int log = 3; log <= 10; ++log) {
      file_.AddRow("Log", Sample(log, "1", "DF", 1, log == 10 ? 30 : 40, 0));
    }
    file_.AddRow("Log", Sample(11, "1", "RC", 1, 15, 0));
    context_ = file_.Context();
    run_ = std::make_unique<ReportRun>(context_);
    ASSERT_EQ(run_->FetchLoadHeader("S1", "1001"), 0);
    run_->setIncludeComprehensive(false);  // the stored volumes as they are
    ASSERT_TRUE(run_->WriteLogReport());
  }

  ScaleFile file_;
  ReportContext context_;
  std::unique_ptr<ReportRun> run_;
};

TEST_F(ThreePTotalsTest, WorkedExample) {
  const std::string text = file_.File(file_.base() + ".clg");
  // RG = 0.9 + 0.9, RN = 0.75 + 0.8, EG = 0.5 x 1.8 x 400, EN = 310.0, 86 %.
  EXPECT_TRUE(HasLine(text, "DF    1       8      2     400    1.8000    1.5500      360.0     "
                            "50.0    310.0      86     "))
      << text;
  ASSERT_EQ(run_->threePTotals().size(), 2u);
  const ThreePTotal& df = run_->threePTotals()[0];
  EXPECT_EQ(df.species, "DF");
  EXPECT_EQ(df.product, "1");
  EXPECT_EQ(df.samples, 2);
  EXPECT_EQ(df.kpiSum, 400);
  EXPECT_FLOAT_EQ(df.grossRatioSum, 1.8f);
  EXPECT_FLOAT_EQ(df.netRatioSum, 1.55f);
  // Overall totals: 360 + 15 gross, 310 + 15 net.
  EXPECT_TRUE(HasLine(text, B(28) + "  375.0      50.0     325.0      87")) << text;
}

TEST_F(ThreePTotalsTest, PairWithoutSamplesIsMarkedAndExplained) {
  const std::string text = file_.File(file_.base() + ".clg");
  EXPECT_TRUE(HasLine(text, "RC    1       1      0      15    0.0000    0.0000       15.0      "
                            "0.0     15.0     100   * "))
      << text;
  EXPECT_TRUE(HasLine(text, "    Note: If any logs have multiple products, the number of logs "
                            "will include splits."));
  EXPECT_TRUE(HasLine(text, "  * Species-Product has no samples. Volumes are estimates."));
  ASSERT_TRUE(run_->WriteBrevantaFile());
  EXPECT_EQ(file_.File(file_.base() + ".bva"),
            "~06,12,3,S1,Mill A,Acme,Yard,C7,2,20101104,20101105,Ann,T9,1001,1000,1500,E,03,3P,"
            "1\n"
            "DF,1,      2,     400,    1.8000,  1.5500\n"
            "RC,1,      0,      15,    0.0000,  0.0000\n");
}

TEST_F(ThreePTotalsTest, LogsBySpeciesCountOnlyThisLoad) {
  // Another load's logs of the same species must not be counted.
  file_.AddRow("Log", {{"SALE", "S1"}, {"LLR", "2002"}, {"LOG", "1"}, {"S", "1"}, {"SP", "DF"},
                       {"P", "1"}, {"HIT", "0"}});
  run_->FetchLoadHeader("S1", "1001");
  run_->setIncludeComprehensive(false);
  ASSERT_TRUE(run_->WriteLogReport());
  const std::string text = file_.File(file_.base() + ".clg");
  EXPECT_TRUE(HasLine(text, B(37) + "   DF       10   ")) << text;
  EXPECT_TRUE(HasLine(text, B(37) + " Total:     11   ")) << text;
}

// A 3P load through the whole run: samples, a non-sample, a split log, a
// voided sample.
class ThreePLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_.AddRow("Load", LoadValues("3P"));
    Values l1 = LogValues(1, "1", "DF", 1, 16, 10, 12);
    l1["KPI"] = "40";
    l1["RND"] = "30";
    l1["HIT"] = "1";
    file_.AddRow("Log", l1);
    Values l2 = Sample(2, "1", "DF", 1, 20, 0);
    l2["RND"] = "50";
    file_.AddRow("Log", l2);
    Values l3 = LogValues(3, "1", "WH", 2, 16, 8, 10);
    l3["KPI"] = "30";
    l3["RND"] = "10";
    l3["HIT"] = "1";
    file_.AddRow("Log", l3);
    file_.AddRow("Log", LogValues(3, "2", "WH", 2, 10, 6, 8));
    Values l4 = LogValues(4, "1", "DF", 1, 12, 9, 10);
    l4["KPI"] = "25";
    l4["RND"] = "5";
    l4["HIT"] = "1";
    l4["VOID"] = "1";
    file_.AddRow("Log", l4);
    ReportChoice choice;
    choice.comprehensive = choice.logReport = choice.brevanta = true;
    ASSERT_TRUE(GenerateReports(file_.Context(), choice, "").ran);
    clg_ = file_.File(file_.base() + ".clg");
  }

  ScaleFile file_;
  std::string clg_;
};

TEST_F(ThreePLoadTest, LogListRowKinds) {
  // Log 1: 10.6 / 40 = 0.2650.
  EXPECT_TRUE(HasLine(clg_, "  1  1  DF  16  10  12   1        40    30 *  " + B(10) +
                                "   10.6  0.2650   10.6  0.2650    100      "))
      << clg_;
  // Non-sample: short row, measurements empty, the six volume cells blank.
  EXPECT_TRUE(HasLine(clg_, "  2  1  DF" + B(15) + "1        20    50    " + B(10) + "  " +
                                B(5) + "  " + B(6) + "  " + B(5) + "  " + B(6) + "  " + B(5) +
                                "  " + B(4)))
      << clg_;
  // Splits 1 and 2 of one product: the first split's ratios are (7.2 + 2.7) / 30.
  EXPECT_TRUE(HasLine(clg_, "  3  1  WH  16   8  10   2        30    10 *  " + B(10) +
                                "    7.2  0.3300    7.2  0.3300    100      "))
      << clg_;
  EXPECT_TRUE(HasLine(clg_, "  3  2  WH  10   6   8   2         0     0    " + B(10) +
                                "    2.7  0.0000    2.7  0.0000    100      "))
      << clg_;
  // Voided sample: short row marked D, in no total.
  EXPECT_TRUE(HasLine(clg_, "  4  1  DF  12   9  10   1        25     5 D  " + B(10) + "  " +
                                B(5) + "  " + B(6) + "  " + B(5) + "  " + B(6) + "  " + B(5) +
                                "  " + B(4)))
      << clg_;
}

TEST_F(ThreePLoadTest, KzTitleAndSampleSummary) {
  EXPECT_TRUE(HasLine(clg_, "      KZ Values")) << clg_;
  EXPECT_TRUE(HasLine(clg_, B(36) + "SAMPLE VOLUME SUMMARY")) << clg_;
  const std::string row3 =
      B(22) + "   3     1       WH      2     30      7.2      0.0      7.2   100   ";
  EXPECT_TRUE(HasLine(clg_, B(22) + "   1     1       DF      1     40     10.6      0.0     10.6   "
                                    "100   "))
      << clg_;
  EXPECT_TRUE(HasLine(clg_, row3)) << clg_;
  // The combined row of log 3 follows its last split.
  EXPECT_TRUE(HasLine(clg_, B(22) + "   3     -       WH      2      -      9.9      0.0      9.9   "
                                    "100   "))
      << clg_;
}

TEST_F(ThreePLoadTest, BrevantaCarriesTheCombinedSplitRatios) {
  EXPECT_EQ(file_.File(file_.base() + ".bva"),
            "~06,12,3,S1,Mill A,Acme,Yard,C7,2,20101104,20101105,Ann,T9,1001,1000,1500,E,03,3P,"
            "1\n"
            "DF,1,      1,      60,    0.2650,  0.2650\n"
            "WH,2,      1,      30,    0.3300,  0.3300\n");
}

}  // namespace
}  // namespace reports
// clang-format on
