// The comprehensive report of a small 100 % load, written out in full from
// the report's formats, and the 3P listing rules.
#include <gtest/gtest.h>

#include "reports/report_run.h"
#include "reports/report_test_util.h"

// The expected texts are laid out line by line as the report prints them;
// automatic formatting would run the lines together.
// clang-format off
namespace reports {
namespace {

using testing::ScaleFile;
using testing::Values;

using testing::B;
using testing::Build100Load;
std::string Dashes(int n) { return std::string(static_cast<size_t>(n), '-'); }
std::string Times(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

// The page header of the landscape page (117 characters per line).
std::string CmpHeader(const std::string& st = "100") {
  return B(40) + "V A R N O L D E  V E R S I O N  1.0.0" + B(24) + "Date: 11/05/2010\n" +
         "Load Receipt: 1001" + B(7) + B(20) + "-- COMPREHENSIVE REPORT --" + B(30) +
         "Time: 14:07    \n\n" +
         "Salename: S1" + B(63) + "\n" +
         "Haul Date:  20101104" + B(5) + "Type Scale: " + st + B(13 - static_cast<int>(st.size())) + "UOM: Cubic" + B(18) + "\n" +
         "Scale Date: 20101105" + B(5) + "Location: Mill A" + B(9) + "Purchaser: Acme" + B(10) +
         "Region: 06" + B(15) + "\n" +
         "Scale Time: 08:30" + B(8) + "Gross WT: 1500" + B(11) + "Contract: C7" + B(13) +
         "Forest: 12" + B(7) + "Merch (SAW): 2.00\n" +
         "Scaler: Ann" + B(14) + "Net WT: 1000" + B(13) + "Sample Group: 2" + B(10) +
         "District: 3" + B(6) + "Merch (PULP): 0.50\n" +
         "\n";
}

std::string VolHeading() {
  return B(52) + "----------CUFT--------- --BDFT---\n" +
         "       D                             R                                 P  P       "
         "                              \n"
         "  L  S   S                G          a                  M  M  M  M                "
         "                              \n"
         "  o  e M p  S           P r B        n               T  e  e  e  e     D  L     D "
         "                              \n"
         "  g  g e l  p  L  S  L  r a u   K    d  H            y  a  a  a  a  L  e  o  L  i "
         " V                            \n"
         "       t i  e  e  E  E  o d t   P       i            p  s  s  s  s  e  d  s  e  a "
         " o    Gr    Net   N/G   Def   \n"
         "  #  # h t  c  n  D  D  d e t   I    #  t   Remarks  e  1  2  3  4  n  u  s  n  m "
         " l   CuFt   CuFt   Pct  Fact  \n"
         "---- - - - -- -- -- -- -- - - ---- ---- - ---------- - -- -- -- -- -- -- -- -- -- "
         "--- ------ ------ ---- ------\n";
}

std::string Footer(int page) { return B(110) + "Page: " + std::to_string(page) + "\n"; }

TEST(ComprehensiveReportTest, HundredPercentLoadInFull) {
  ScaleFile file;
  Build100Load(file);
  ReportChoice choice;
  choice.comprehensive = true;
  ASSERT_TRUE(GenerateReports(file.Context(), choice, "").ran);
  const std::string cells9 = Times("-- ", 9) + "--- ";
  const std::string rule = Dashes(111) + "\n";
  const std::string expected =
      CmpHeader() + VolHeading() + rule +
      // Log 1: (100 + 144) x 16 x 0.002727 = 10.6.
      "   1 - - 1 DF 16 10 12  1     ---- ---- -            - " + cells9 +
      "  10.6   10.6  100        \n" +
      "     1 - - -- 16 10 12  1 - - ---- ---- - ---------- - " + cells9 +
      "  10.6   10.6  100   0.00 \n" + rule +
      // Log 2: segments 19.7 and 14.8; 10 % of 14.8 = 1.5 off segment 2
      // (factor 0.1 x 16 = 1.60, not above CFSAWCU 2.0); 33.0 / 34.5 = 96 %.
      "   2 - - 1 WH 32 12 16  2     ---- ---- - Midpnt: 14 - " + cells9 +
      "  34.5   33.0   96        \n" +
      "     1 - - -- 16 14 16  2 - - ---- ---- - ---------- - " + cells9 +
      "  19.7   19.7  100   0.00 \n" +
      "     2 - - -- 16 12 14  2 - - ---- ---- - ---------- - " + cells9 +
      "  14.8   13.3   90   1.60 \n" +
      "       4 - -- -- -- --  - - - ---- ---- - ---------- -  0  0  0  0  0 10 10 -- -- --- " +
      "   1.5" + B(15) + "1.60 \n" + rule +
      // Log 3: voided.
      "   3 - - 1 DF 12  9 10  1     ---- ---- D broken     - " + cells9 +
      " -----  -----   --        \n" + rule +
      // Log 4: volume overridden to zero.
      "   4 - - 1 DF 16 10 12  1     ---- ---- -            - " + cells9 +
      "   0.0    0.0    0        \n" +
      "     1 - - -- 16 10 12  1 - - ---- ---- - ---------- - " + cells9 +
      "   0.0    0.0    0   0.00 \n" + rule +
      // 30 lines written; 17 blank lines fill the page to 47, then the footer.
      std::string(17, '\n') + Footer(1) + "\f" + CmpHeader() + "\n\n" +
      "Log   S   SP   VOID   " + B(41) + "Remarks" + B(41) + "   \n" +
      "---   -   --   ----   " + Dashes(89) + "\n" +
      "  2   1   WH          Midpoint diameter: 14" + B(68) + "   \n" + rule +
      "  3   1   DF     D    broken" + B(83) + "   \n" + rule +
      std::string(31, '\n') + Footer(2);
  const std::vector<std::string> want = testing::Lines(expected);
  const std::vector<std::string> got = testing::Lines(file.File(file.base() + ".cmp"));
  for (size_t i = 0; i < want.size() && i < got.size(); ++i) {
    EXPECT_EQ(got[i], want[i]) << "line " << i + 1;
  }
  EXPECT_EQ(got.size(), want.size());
  EXPECT_EQ(file.File(file.base() + ".cmp"), expected);
}

TEST(ComprehensiveReportTest, ThreePLoadInFull) {
  ScaleFile file;
  testing::Build3PLoad(file);
  ReportChoice choice;
  choice.comprehensive = true;
  ASSERT_TRUE(GenerateReports(file.Context(), choice, "").ran);
  const std::string cells9 = Times("-- ", 9) + "--- ";
  const std::string rule = Dashes(111) + "\n";
  const std::string expected =
      CmpHeader("3P") + VolHeading() + rule +
      // Sample: "*" with KPI and random number, segments listed.
      "   1 - - 1 DF 16 10 12  1       40   30 *            - " + cells9 +
      "  10.6   10.6  100        \n" +
      "     1 - - -- 16 10 12  1 - - ---- ---- - ---------- - " + cells9 +
      "  10.6   10.6  100   0.00 \n" + rule +
      // Non-sample: the short line.
      "   2 - - 1 DF" + B(11) + "1       30   50" + B(14) + "- " + cells9 + B(6) + " " + B(6) +
      " " + B(4) + " " + B(6) + " \n" + rule +
      // The split log: the sample split, then the undecided second split in full.
      "   3 - - 1 WH 16  8 10  2       30   10 *            - " + cells9 +
      "   7.2    7.2  100        \n" +
      "     1 - - -- 16  8 10  2 - - ---- ---- - ---------- - " + cells9 +
      "   7.2    7.2  100   0.00 \n" + rule +
      "   3 - - 2 WH 10  6  8  2     ---- ---- -            - " + cells9 +
      "   2.7    2.7  100        \n" +
      "     1 - - -- 10  6  8  2 - - ---- ---- - ---------- - " + cells9 +
      "   2.7    2.7  100   0.00 \n" + rule +
      // Voided sample: one line, "D", dashes for the volumes.
      "   4 - - 1 DF 12  9 10  1       25    5 D            - " + cells9 +
      " -----  -----   --        \n" + rule +
      // Defect on segment 2 only.
      "   5 - - 1 DF 32 12 16  1       50   20 * Midpnt: 14 - " + cells9 +
      "  34.5   33.0   96        \n" +
      "     1 - - -- 16 14 16  1 - - ---- ---- - ---------- - " + cells9 +
      "  19.7   19.7  100   0.00 \n" +
      "     2 - - -- 16 12 14  1 - - ---- ---- - ---------- - " + cells9 +
      "  14.8   13.3   90   1.60 \n" +
      "       4 - -- -- -- --  - - - ---- ---- - ---------- -  0  0  0  0  0 10 10 -- -- --- " +
      "   1.5" + B(15) + "1.60 \n" + rule +
      // Overridden to zero.
      "   6 - - 1 DF 16 10 12  1       40   40 *            - " + cells9 +
      "   0.0    0.0    0        \n" +
      "     1 - - -- 16 10 12  1 - - ---- ---- - ---------- - " + cells9 +
      "   0.0    0.0    0   0.00 \n" + rule +
      // 38 lines written.
      std::string(9, '\n') + Footer(1) + "\f" + CmpHeader("3P") + "\n\n" +
      "Log   S   SP   VOID   " + B(41) + "Remarks" + B(41) + "   \n" +
      "---   -   --   ----   " + Dashes(89) + "\n" +
      "  5   1   DF          Midpoint diameter: 14" + B(68) + "   \n" + rule +
      std::string(33, '\n') + Footer(2);
  const std::vector<std::string> want = testing::Lines(expected);
  const std::vector<std::string> got = testing::Lines(file.File(file.base() + ".cmp"));
  for (size_t i = 0; i < want.size() && i < got.size(); ++i) {
    EXPECT_EQ(got[i], want[i]) << "line " << i + 1;
  }
  EXPECT_EQ(got.size(), want.size());
  EXPECT_EQ(file.File(file.base() + ".cmp"), expected);
}

TEST(ComprehensiveReportTest, StoresTheRecomputedVolumes) {
  ScaleFile file;
  Build100Load(file);
  ReportChoice choice;
  choice.comprehensive = true;
  ASSERT_TRUE(GenerateReports(file.Context(), choice, "").ran);
  tablestore::TableStore& store = file.store();
  const int slot = store.OpenAView("Log", false);
  const int cGcv = store.ColumnIndex(slot, "GCV"), cNcv = store.ColumnIndex(slot, "NCV");
  const float gross[4] = {10.6f, 34.5f, 0.0f, 0.0f};
  const float net[4] = {10.6f, 33.0f, 0.0f, 0.0f};
  for (int row = 0; row < 4; ++row) {
    float g = -1.0f, n = -1.0f;
    store.GetFloat(slot, row, cGcv, g);
    store.GetFloat(slot, row, cNcv, n);
    EXPECT_FLOAT_EQ(g, gross[row]) << row;
    EXPECT_FLOAT_EQ(n, net[row]) << row;
  }
  store.ReleaseView(slot);
}

}  // namespace
}  // namespace reports
// clang-format on
