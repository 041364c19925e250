// The layout language: tokens, numbers, directives, derived geometry and the
// handling of hostile layout texts.

#include <gtest/gtest.h>

#include <string>

#include "platform/clock.h"
#include "reports/page_layout.h"

namespace reports {
namespace {

constexpr std::string_view kPortrait =
    "VERSION=PL1.0.0\n"
    "PAGE=8.5,11.0,13,0.500000,0.500000,0.500000,0.500000,6,70,-1\n"
    "FOOTER=,,Page: [SUB:page]\n";

constexpr std::string_view kLandscapeStart =
    "VERSION=PL1.0.0\n"
    "PAGE=10.5,9.5,13,0.500000,0.500000,0.500000,0.500000,6,-1,-1\n"
    "FOOTER=,,Page: [SUB:page]\n"
    "SUBSTITUTION=[SUB:StandID],Cubic Test Logs\n";

class LayoutLanguageTest : public ::testing::Test {
 protected:
  platform::FixedClock clock_{{2026, 12, 7, 9, 5, 0}};
  PageLayout layout_{PageLayout::ReportConstructionGeometry(), clock_};
};

TEST_F(LayoutLanguageTest, ConstructionGeometryDerivesBothCounts) {
  // 8.5 x 11 inches less half-inch margins: 7 x 12 characters, 10 x 6 lines.
  EXPECT_EQ(layout_.charsPerLine(), 84);
  EXPECT_EQ(layout_.linesPerPage(), 60);
}

TEST_F(LayoutLanguageTest, PortraitPageGives70LinesOf91Characters) {
  ASSERT_EQ(layout_.LoadLayout(kPortrait), 0);
  EXPECT_EQ(layout_.linesPerPage(), 70);
  EXPECT_EQ(layout_.charsPerLine(), 91);  // 7 whole inches x 13, not 7.5 x 13 = 97
  ASSERT_EQ(layout_.footerLines().size(), 1u);
  EXPECT_EQ(layout_.footerLines()[0].left, "");
  EXPECT_EQ(layout_.footerLines()[0].center, "");
  EXPECT_EQ(layout_.footerLines()[0].right, "Page: [SUB:page]");
}

TEST_F(LayoutLanguageTest, LandscapePageGives48LinesOf117Characters) {
  ASSERT_EQ(layout_.LoadLayout(kLandscapeStart), 0);
  EXPECT_EQ(layout_.linesPerPage(), 48);
  EXPECT_EQ(layout_.charsPerLine(), 117);
  EXPECT_FLOAT_EQ(layout_.geometry().pageWidth, 10.5f);
  EXPECT_FLOAT_EQ(layout_.geometry().pageHeight, 9.5f);
  EXPECT_EQ(layout_.geometry().charsPerInch, 13);
  EXPECT_EQ(layout_.geometry().linesPerInch, 6);
}

TEST_F(LayoutLanguageTest, FractionalInchIsDroppedBeforeMultiplying) {
  ASSERT_EQ(layout_.LoadLayout("VERSION=PL1.0.0\nPAGE=8.5,11.0,13,0.5,0.5,0.5,0.5,6,-1,-1\n"), 0);
  EXPECT_EQ(layout_.linesPerPage(), 60);
  EXPECT_EQ(layout_.charsPerLine(), 91);
}

TEST_F(LayoutLanguageTest, TimeAndDateAreTheFirstTwoSubstitutions) {
  ASSERT_EQ(layout_.LoadLayout(kLandscapeStart), 0);
  const auto& subs = layout_.substitutions();
  ASSERT_EQ(subs.size(), 3u);
  EXPECT_EQ(subs[0], (std::pair<std::string, std::string>("[SUB:time]", "09:05")));
  EXPECT_EQ(subs[1], (std::pair<std::string, std::string>("[SUB:date]", "12/07/2026")));
  EXPECT_EQ(subs[2], (std::pair<std::string, std::string>("[SUB:StandID]", "Cubic Test Logs")));
}

TEST_F(LayoutLanguageTest, LoadingTakesTheClockAgain) {
  clock_.SetNow({2027, 1, 2, 23, 59, 0});
  ASSERT_EQ(layout_.LoadLayout(kPortrait), 0);
  EXPECT_EQ(layout_.Substitute("[SUB:date] [SUB:time]"), "01/02/2027 23:59");
}

TEST_F(LayoutLanguageTest, VersionKeywordMustBeExact) {
  layout_.AddHeaderLine("kept", "", "");
  EXPECT_EQ(layout_.LoadLayout("version=PL1.0.0\nPAGE=1,1,1,0,0,0,0,1,5,5\n"), -1);
  EXPECT_EQ(layout_.LoadLayout(""), -1);
  EXPECT_EQ(layout_.LoadLayout("VERSIONS=PL1.0.0\n"), -1);
  // Nothing changed.
  ASSERT_EQ(layout_.headerLines().size(), 1u);
  EXPECT_EQ(layout_.charsPerLine(), 84);
}

TEST_F(LayoutLanguageTest, LoneVersionClearsAndGivesMinusTwo) {
  layout_.AddHeaderLine("gone", "", "");
  ASSERT_EQ(layout_.AddTable("t", 0, "", false), 0);
  EXPECT_EQ(layout_.LoadLayout("VERSION"), -2);
  EXPECT_TRUE(layout_.headerLines().empty());
  EXPECT_TRUE(layout_.substitutions().empty());
  EXPECT_EQ(layout_.table(0), nullptr);
  EXPECT_EQ(layout_.currentTable(), -1);
  EXPECT_EQ(layout_.charsPerLine(), 84);  // geometry unchanged
  EXPECT_EQ(layout_.LoadLayout("VERSION=PL1.0.0\nPAPER=1,2\n"), -2);
}

TEST_F(LayoutLanguageTest, FirstThreeTokensAreTrimmed) {
  EXPECT_EQ(layout_.LoadLayout("  VERSION =  PL1.0.0 \n PAGE =8.5,11,13,.5,.5,.5,.5,6,70,-1"), 0);
  EXPECT_EQ(layout_.linesPerPage(), 70);
  EXPECT_EQ(layout_.charsPerLine(), 91);
}

TEST_F(LayoutLanguageTest, FirstThreeTokensLoseOnlyBlanks) {
  // Only blanks are trimmed from the keywords: a tab or a carriage return
  // stays part of the token, which is then not the keyword.
  EXPECT_EQ(layout_.LoadLayout("\tVERSION=PL1.0.0\nPAGE=8.5,11,13,.5,.5,.5,.5,6,70,-1\n"), -1);
  EXPECT_EQ(layout_.charsPerLine(), 84);  // nothing changed
  EXPECT_EQ(layout_.LoadLayout("VERSION\r=PL1.0.0\nPAGE=8.5,11,13,.5,.5,.5,.5,6,70,-1\n"), -1);
  EXPECT_EQ(layout_.LoadLayout("VERSION=PL1.0.0\n\tPAGE=8.5,11,13,.5,.5,.5,.5,6,70,-1\n"), -2);
  EXPECT_EQ(layout_.LoadLayout("VERSION=PL1.0.0\nPAGE\r=8.5,11,13,.5,.5,.5,.5,6,70,-1\n"), -2);
  EXPECT_EQ(layout_.charsPerLine(), 84);  // geometry unchanged
  // A carriage return that ends the version line belongs to the version,
  // which nothing reads.
  EXPECT_EQ(layout_.LoadLayout("VERSION=PL1.0.0\r\nPAGE=8.5,11,13,.5,.5,.5,.5,6,70,-1\r\n"), 0);
  EXPECT_EQ(layout_.charsPerLine(), 91);
}

TEST_F(LayoutLanguageTest, NumbersReadLikeTheCLibrary) {
  // Leading blanks and a plus sign are accepted, trailing text is ignored, an
  // integer field stops at the decimal point, an empty number is 0.
  ASSERT_EQ(layout_.LoadLayout("VERSION=x\nPAGE= 10.5in,+9.5, 13.9,0.5,0.5,0.5,0.5,6x,,-1\n"), 0);
  EXPECT_FLOAT_EQ(layout_.geometry().pageWidth, 10.5f);
  EXPECT_FLOAT_EQ(layout_.geometry().pageHeight, 9.5f);
  EXPECT_EQ(layout_.geometry().charsPerInch, 13);
  EXPECT_EQ(layout_.geometry().linesPerInch, 6);
  EXPECT_EQ(layout_.linesPerPage(), 0);  // empty: 0, not derived
  EXPECT_EQ(layout_.charsPerLine(), 117);
}

TEST_F(LayoutLanguageTest, DirectivesAreKnownByTheirFirstLetter) {
  ASSERT_EQ(layout_.LoadLayout(std::string(kPortrait) + "HDR=Left,Mid,Right\n"
                                                        "Sub=[A],B\n"
                                                        "Tbl=vol,2,Title,1\n"
                                                        "Col=Log #,4,right,<, ,1,5\n"
                                                        "Foot=a,b,c\n"),
            0);
  ASSERT_EQ(layout_.headerLines().size(), 1u);
  EXPECT_EQ(layout_.headerLines()[0].right, "Right");
  EXPECT_EQ(layout_.substitutions().back().first, "[A]");
  EXPECT_EQ(layout_.footerLines().size(), 2u);
  const LayoutTable* table = layout_.table(0);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->name, "vol");
  EXPECT_EQ(table->indent, 2);
  EXPECT_EQ(table->title, "Title");
  EXPECT_TRUE(table->ruleUnderHeadings);
  ASSERT_EQ(table->columns.size(), 1u);
  const LayoutColumn& column = table->columns[0];
  EXPECT_EQ(column.title, "Log #");
  EXPECT_EQ(column.width, 4);
  EXPECT_EQ(column.align, 'r');  // first character only
  EXPECT_EQ(column.prefix, "<");
  EXPECT_EQ(column.suffix, " ");  // verbatim, blank kept
  EXPECT_TRUE(column.verticalTitle);
  EXPECT_EQ(column.titleHeight, 5);
  EXPECT_EQ(layout_.currentTable(), 0);
}

TEST_F(LayoutLanguageTest, UnknownAndEmptyTokensAreSkippedOneByOne) {
  // A blank line gives an empty token; "comment" and its fields are skipped
  // token by token, so its field "Tx" is read as a TABLE keyword.
  ASSERT_EQ(layout_.LoadLayout(std::string(kPortrait) + "\n\ncomment=Tx,0,,0\nSUBSTITUTION=a,b\n"),
            0);
  const LayoutTable* table = layout_.table(0);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->name, "0");
  EXPECT_EQ(table->indent, 0);  // "" read as the indent
  EXPECT_EQ(table->title, "0");
  EXPECT_FALSE(table->ruleUnderHeadings);         // "SUBSTITUTION" read as the flag: 0
  EXPECT_EQ(layout_.substitutions().size(), 2u);  // only time and date
}

TEST_F(LayoutLanguageTest, ShortLineBorrowsTheNextLinesTokens) {
  ASSERT_EQ(layout_.LoadLayout(std::string(kPortrait) + "HEADER=a,b\nFOOTER=x,y,z\n"), 0);
  ASSERT_EQ(layout_.headerLines().size(), 1u);
  EXPECT_EQ(layout_.headerLines()[0].left, "a");
  EXPECT_EQ(layout_.headerLines()[0].center, "b");
  EXPECT_EQ(layout_.headerLines()[0].right, "FOOTER");
  EXPECT_EQ(layout_.footerLines().size(), 1u);  // x, y, z were skipped
}

TEST_F(LayoutLanguageTest, FieldsMissingAtTheEndAreEmpty) {
  ASSERT_EQ(layout_.LoadLayout(std::string(kPortrait) + "SUBSTITUTION=only"), 0);
  EXPECT_EQ(layout_.substitutions().back(), (std::pair<std::string, std::string>("only", "")));
  ASSERT_EQ(layout_.LoadLayout("VERSION=PL1.0.0\nPAGE=8.5,11"), 0);
  EXPECT_FLOAT_EQ(layout_.geometry().pageHeight, 11.0f);
  EXPECT_EQ(layout_.geometry().charsPerInch, 0);
  EXPECT_EQ(layout_.linesPerPage(), 0);
  EXPECT_EQ(layout_.charsPerLine(), 0);
}

TEST_F(LayoutLanguageTest, TokensAfterTheFirstThreeAreVerbatim) {
  const std::string title = std::string(52, ' ') + "----------CUFT--------- --BDFT---";
  ASSERT_EQ(layout_.LoadLayout(std::string(kPortrait) + "TABLE=vol,0," + title + ",1\n" +
                               "HEADER= L , C , R \n"),
            0);
  EXPECT_EQ(layout_.table(0)->title, title);
  EXPECT_EQ(layout_.headerLines()[0].left, " L ");
  EXPECT_EQ(layout_.headerLines()[0].right, " R ");
}

TEST_F(LayoutLanguageTest, LoadResetsThePageState) {
  layout_.StartPage();
  layout_.AddTable("old", 0, "", false);
  layout_.BlankLines(3);
  ASSERT_EQ(layout_.LoadLayout(kPortrait), 0);
  EXPECT_EQ(layout_.pageNumber(), 0);
  EXPECT_EQ(layout_.lineOnPage(), 0);
  EXPECT_EQ(layout_.currentTable(), -1);
  EXPECT_EQ(layout_.table(0), nullptr);
}

TEST_F(LayoutLanguageTest, NinthTableIsRefusedAndColumnsGoToTheCurrentOne) {
  std::string text(kPortrait);
  for (int i = 1; i <= 9; ++i) text += "TABLE=t" + std::to_string(i) + ",0,,0\n";
  text += "COLUMN=A,3,l,,,0,1\n";
  ASSERT_EQ(layout_.LoadLayout(text), 0);
  EXPECT_EQ(layout_.currentTable(), 7);
  EXPECT_EQ(layout_.table(7)->name, "t8");
  EXPECT_EQ(layout_.table(7)->columns.size(), 1u);
  EXPECT_EQ(layout_.SelectTable("t9"), -1);
}

TEST_F(LayoutLanguageTest, ColumnBeforeAnyTableIsIgnored) {
  ASSERT_EQ(layout_.LoadLayout(std::string(kPortrait) + "COLUMN=A,3,l,,,0,1\nTABLE=t,0,,0\n"), 0);
  EXPECT_TRUE(layout_.table(0)->columns.empty());
}

// Hostile layout texts give a result within bounded memory.

TEST_F(LayoutLanguageTest, HugeNumbersAreBroughtIntoTheLimits) {
  ASSERT_EQ(
      layout_.LoadLayout("VERSION=1\nPAGE=1e30,1e300,99999999999,-1e30,0,0,0,2147483647,-1,-1\n"
                         "TABLE=t,99999999999,,1\n"
                         "COLUMN=x,99999999999,r,,,1,99999999999\n"
                         "COLUMN=y,-99999999999,r,,,0,-99999999999\n"
                         "FOOTER=,,[SUB:page]\n"),
      0);
  EXPECT_EQ(layout_.linesPerPage(), PageLayout::kMaxExtent);
  EXPECT_EQ(layout_.charsPerLine(), PageLayout::kMaxExtent);
  const LayoutTable* table = layout_.table(0);
  EXPECT_EQ(table->indent, PageLayout::kMaxExtent);
  EXPECT_EQ(table->columns[0].width, PageLayout::kMaxExtent);
  EXPECT_EQ(table->columns[1].width, -PageLayout::kMaxExtent);
  layout_.StartPage();
  layout_.TableHeading();
  layout_.FormatRow("1|2", '|');
  layout_.EndPage();
  EXPECT_LT(layout_.text().size(), 100u * PageLayout::kMaxExtent);
  // The first field was narrowed to nothing: the table starts beyond the limit.
  EXPECT_GE(layout_.table(0)->columns[0].start, PageLayout::kMaxExtent);
}

TEST_F(LayoutLanguageTest, NonsenseGeometryGivesAResult) {
  for (const char* page :
       {"PAGE=nan,inf,-5,inf,inf,nan,nan,-7,-1,-1", "PAGE=-8.5,-11,13,0.5,0.5,0.5,0.5,6,-1,-1",
        "PAGE=1e400,-1e400,0,0,0,0,0,0,-2147483648,-2147483648"}) {
    SCOPED_TRACE(page);
    ASSERT_EQ(layout_.LoadLayout(std::string("VERSION=1\n") + page + "\nFOOTER=a,b,c\n"), 0);
    EXPECT_GE(layout_.linesPerPage(), 0);
    EXPECT_GE(layout_.charsPerLine(), 0);
    layout_.StartPage();
    layout_.BlankLines(5);
    layout_.Paragraph("some words to wrap", -1, -1);
    layout_.EndPage();
    EXPECT_LT(layout_.text().size(), 1000u);
  }
}

TEST_F(LayoutLanguageTest, ThousandsOfColumnsStayWithinTheLineLimit) {
  std::string text(kPortrait);
  text += "TABLE=wide,0,,1\n";
  for (int i = 0; i < 3000; ++i)
    text += "COLUMN=Column number " + std::to_string(i) + ",9,r,,,1,0\n";
  ASSERT_EQ(layout_.LoadLayout(text), 0);
  ASSERT_EQ(layout_.table(0)->columns.size(), 3000u);
  layout_.StartPage();
  layout_.TableHeading();
  layout_.FormatRow("1|2|3", '|');
  const LayoutTable* table = layout_.table(0);
  EXPECT_LE(table->columns.back().end, PageLayout::kMaxExtent);
  EXPECT_LE(table->headingLines.size(), PageLayout::kMaxHeadingRows + 1u);
  for (const std::string& line : table->headingLines) {
    EXPECT_LE(line.size(), static_cast<size_t>(PageLayout::kMaxExtent));
  }
}

TEST_F(LayoutLanguageTest, VerticalTitleInAColumnOfNoWidthEnds) {
  ASSERT_EQ(layout_.LoadLayout(std::string(kPortrait) +
                               "TABLE=t,0,,0\nCOLUMN=Very long title here,0,r,,,1,-50\n"
                               "COLUMN=Another,-3,r,,,1,3\n"),
            0);
  layout_.TableHeading();
  layout_.FormatRow("x|y", '|');
  EXPECT_EQ(layout_.text().substr(layout_.text().size() - 1), "\n");
}

TEST_F(LayoutLanguageTest, SubstitutionsThatFeedEachOtherStopGrowing) {
  std::string text(kPortrait);
  for (int i = 0; i < 40; ++i) text += "SUBSTITUTION=a,aaaaaaaa\n";
  text += "SUBSTITUTION=,empty name\nHEADER=a,a,a\n";
  ASSERT_EQ(layout_.LoadLayout(text), 0);
  const std::string out = layout_.Substitute("a");
  EXPECT_LE(out.size(), static_cast<size_t>(PageLayout::kMaxSubstitutedLength));
  EXPECT_EQ(out.find_first_not_of('a'), std::string::npos);
  layout_.StartPage();
  EXPECT_LT(layout_.text().size(), 4u * PageLayout::kMaxSubstitutedLength);
}

TEST_F(LayoutLanguageTest, LinesBeyondTheLimitAreIgnored) {
  std::string text(kPortrait);
  for (int i = 0; i < 100; ++i) text += "HEADER=h,,\nFOOTER=,,f\nSUBSTITUTION=s,t\n";
  ASSERT_EQ(layout_.LoadLayout(text), 0);
  EXPECT_EQ(layout_.headerLines().size(), static_cast<size_t>(PageLayout::kMaxLayoutLines));
  EXPECT_EQ(layout_.footerLines().size(), static_cast<size_t>(PageLayout::kMaxLayoutLines));
  EXPECT_EQ(layout_.substitutions().size(), static_cast<size_t>(PageLayout::kMaxLayoutLines));
}

}  // namespace
}  // namespace reports
