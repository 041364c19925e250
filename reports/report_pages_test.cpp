#include "reports/report_pages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "reports/report_text.h"

namespace reports {
namespace {

TEST(ReportPagesTest, ReportLayoutsGoOnLetterSheetsWithTheirPitches) {
  const PrintSheet portrait = SheetForLayout(LayoutGeometry(kPortraitLayout));
  EXPECT_FALSE(portrait.landscape);
  EXPECT_DOUBLE_EQ(portrait.width, 612);
  EXPECT_DOUBLE_EQ(portrait.height, 792);
  EXPECT_DOUBLE_EQ(portrait.left, 36);
  EXPECT_DOUBLE_EQ(portrait.top, 36);
  EXPECT_DOUBLE_EQ(portrait.charPitch, 72.0 / 13);
  // 70 lines at 6 per inch would need 11.7 inches: 10 inches hold them.
  EXPECT_DOUBLE_EQ(portrait.linePitch, 720.0 / 70);
  EXPECT_EQ(portrait.charsPerLine, 104);  // up to the paper's edge
  EXPECT_EQ(portrait.linesPerSheet, 70);

  const PrintSheet landscape = SheetForLayout(LayoutGeometry(kComprehensiveLayout));
  EXPECT_TRUE(landscape.landscape);
  EXPECT_DOUBLE_EQ(landscape.width, 792);
  EXPECT_DOUBLE_EQ(landscape.height, 612);
  EXPECT_DOUBLE_EQ(landscape.charPitch, 72.0 / 13);
  EXPECT_DOUBLE_EQ(landscape.linePitch, 540.0 / 48);
  EXPECT_EQ(landscape.charsPerLine, 136);
  EXPECT_EQ(landscape.linesPerSheet, 48);
}

TEST(ReportPagesTest, LayoutThatFitsKeepsItsDensity) {
  PageGeometry g;  // 8.5 x 11, half-inch margins, 12 cpi, 6 lpi
  g.linesPerPage = 60;
  g.charsPerLine = 90;
  const PrintSheet sheet = SheetForLayout(g);
  EXPECT_DOUBLE_EQ(sheet.linePitch, 12);
  EXPECT_DOUBLE_EQ(sheet.charPitch, 6);
  EXPECT_EQ(sheet.linesPerSheet, 60);
  EXPECT_EQ(sheet.charsPerLine, 96);
}

TEST(ReportPagesTest, LongerPagesTightenTheLinesDownToHalfTheLayoutsPitch) {
  const PageGeometry portrait = LayoutGeometry(kPortraitLayout);
  const PrintSheet longer = SheetForLayout(portrait, 74);
  EXPECT_DOUBLE_EQ(longer.linePitch, 720.0 / 74);
  EXPECT_EQ(longer.linesPerSheet, 74);
  const PrintSheet longest = SheetForLayout(portrait, 500);
  EXPECT_DOUBLE_EQ(longest.linePitch, 6);
  EXPECT_EQ(longest.linesPerSheet, 120);
  EXPECT_EQ(SheetForReport(portrait, std::string(74, '\n') + "\f\n").linesPerSheet, 74);
}

TEST(ReportPagesTest, AnyGeometryGivesAUsableSheet) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (const PageGeometry& g : {PageGeometry{nan, nan, 0, nan, nan, nan, nan, 0, 0, 0},
                                PageGeometry{1, 2, -5, 99, 99, 99, 99, -3, 1000, 1000},
                                PageGeometry{8.5f, 11, 1000, -1, -1, -1, -1, 1000, -1, -1}}) {
    const PrintSheet sheet = SheetForLayout(g);
    EXPECT_GE(sheet.left, 0);
    EXPECT_LE(sheet.left, sheet.width / 4);
    EXPECT_GT(sheet.charPitch, 0);
    EXPECT_GT(sheet.linePitch, 0);
    EXPECT_GE(sheet.charsPerLine, 1);
    EXPECT_GE(sheet.linesPerSheet, 1);
    EXPECT_LE(sheet.left + sheet.charsPerLine * sheet.charPitch, sheet.width + 1e-6);
    EXPECT_LE(sheet.top + sheet.linesPerSheet * sheet.linePitch, sheet.height + 1e-6);
  }
}

TEST(ReportPagesTest, ReportFilesAreKnownByTheirEnding) {
  EXPECT_EQ(LayoutForReportFile("/d/load.cmp"), kComprehensiveLayout);
  EXPECT_EQ(LayoutForReportFile("/d/load1001.clg"), kPortraitLayout);
  EXPECT_EQ(LayoutForReportFile("/d/load.audit"), kPortraitLayout);
  for (const char* other : {"/d/load.bva", "/d/load.csv", "/d/load.cmp.pdf", "/d/cmp", ""}) {
    EXPECT_EQ(LayoutForReportFile(other), nullptr) << other;
  }
}

TEST(ReportPagesTest, TextIsCutIntoSheetsAtFormFeeds) {
  PrintSheet sheet;
  sheet.charsPerLine = 5;
  sheet.linesPerSheet = 3;
  struct Case {
    std::string text;
    std::vector<SheetLines> sheets;
  };
  const Case cases[] = {
      {"", {{}}},
      {"a\nb\n\fc\n", {{"a", "b"}, {"c"}}},
      {"a\n\n\fc", {{"a", ""}, {"c"}}},
      {"a\fb", {{"a"}, {"b"}}},
      {"a\n\f", {{"a"}, {}}},
      {"\f\f", {{}, {}, {}}},
      // A page longer than a sheet goes on over the next one.
      {"1\n2\n3\n4\n\f5", {{"1", "2", "3"}, {"4"}, {"5"}}},
      // A line is cut at the sheet's width; control characters are blanks.
      {"abcdefgh\nx\vy\rz\n", {{"abcde", "x y z"}}},
  };
  for (const Case& c : cases) EXPECT_EQ(ReportSheets(c.text, sheet), c.sheets) << c.text;
}

TEST(ReportPagesTest, TabsAdvanceToEveryEighthCharacter) {
  const std::vector<SheetLines> expected{{"ab      c               d", "                x"}};
  EXPECT_EQ(ReportSheets("ab\tc\t\td\n\t \tx", PrintSheet()), expected);
}

TEST(ReportPagesTest, BytesAreReadAsWindows1252) {
  const std::vector<SheetLines> sheets = ReportSheets("\xE9 \xBD \x80 \x81|\x8D", PrintSheet());
  EXPECT_EQ(sheets, std::vector<SheetLines>{{"\xC3\xA9 \xC2\xBD \xE2\x82\xAC  | "}});
}

}  // namespace
}  // namespace reports
