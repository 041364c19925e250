// The page formatter: padding, wrapping, headings, rows, rules, page breaks,
// header and footer lines. Expected texts are written out from the rules.

#include "reports/page_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "reports/report_text.h"

namespace reports {
namespace {

constexpr std::string_view kPortrait =
    "VERSION=PL1.0.0\n"
    "PAGE=8.5,11.0,13,0.500000,0.500000,0.500000,0.500000,6,70,-1\n"
    "FOOTER=,,Page: [SUB:page]\n";

std::string Blanks(int n) { return std::string(static_cast<size_t>(n), ' '); }

// The portrait footer of page `page` (one digit): 91 characters, the last
// digit at the right edge.
std::string PortraitFooter(int page) { return Blanks(84) + "Page: " + std::to_string(page) + "\n"; }

int CountLines(std::string_view text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

class PageLayoutTest : public ::testing::Test {
 protected:
  void LoadPortrait(std::string_view extra = {}) {
    ASSERT_EQ(layout_.LoadLayout(std::string(kPortrait) + std::string(extra)), 0);
  }
  // Headings of the only table of a layout with the given COLUMN lines.
  std::vector<std::string> HeadingOf(std::string_view columns, bool rule = false) {
    LoadPortrait(std::string("TABLE=t,0,,") + (rule ? "1" : "0") + "\n" + std::string(columns));
    layout_.LayOutColumns();
    return layout_.table(0)->headingLines;
  }
  // Counted lines written with a rule of one dash each.
  void WriteLines(int n) {
    for (int i = 0; i < n; ++i) layout_.Rule('-', 'x', 1, 1);
  }

  platform::FixedClock clock_{{2026, 12, 7, 9, 5, 0}};
  PageLayout layout_{PageLayout::ReportConstructionGeometry(), clock_};
};

// ---- Pad ----

TEST_F(PageLayoutTest, PadFitsTextToAWidth) {
  std::string text = "ab";
  EXPECT_EQ(PageLayout::Pad(text, 5, 'r', ' '), 3);
  EXPECT_EQ(text, "   ab");
  text = "ab";
  EXPECT_EQ(PageLayout::Pad(text, 5, 'l', '.'), 3);
  EXPECT_EQ(text, "ab...");
  text = "ab";
  EXPECT_EQ(PageLayout::Pad(text, 5, 'c', ' '), 3);
  EXPECT_EQ(text, "  ab ");  // the extra blank goes in front
  text = "ab";
  EXPECT_EQ(PageLayout::Pad(text, 5, 'x', ' '), 3);
  EXPECT_EQ(text, "ab");  // unknown align: unpadded
  text = "abc";
  EXPECT_EQ(PageLayout::Pad(text, 3, 'r', ' '), 0);
  EXPECT_EQ(text, "abc");
}

TEST_F(PageLayoutTest, PadReplacesTooLongTextByAsterisks) {
  std::string text = "1234567";  // seven characters, six-character column
  EXPECT_EQ(PageLayout::Pad(text, 6, 'r', ' '), -1);
  EXPECT_EQ(text, "******");
  text = "abc";
  EXPECT_EQ(PageLayout::Pad(text, 0, 'l', ' '), -3);
  EXPECT_EQ(text, "");
  text = "abc";
  EXPECT_EQ(PageLayout::Pad(text, -2, 'x', ' '), -5);
  EXPECT_EQ(text, "");
}

TEST_F(PageLayoutTest, PadWidthIsBoundedByTheLimit) {
  std::string text = "x";
  EXPECT_EQ(PageLayout::Pad(text, 1 << 30, 'l', ' '), PageLayout::kMaxExtent - 1);
  EXPECT_EQ(text.size(), static_cast<size_t>(PageLayout::kMaxExtent));
}

TEST_F(PageLayoutTest, PadCountsCharactersNotBytes) {
  std::string text = "Mu\xC3\xB1oz";
  EXPECT_EQ(PageLayout::Pad(text, 6, 'r', ' '), 1);
  EXPECT_EQ(text, " Mu\xC3\xB1oz");
}

// ---- WrapText ----

TEST_F(PageLayoutTest, WrapCutsAfterABlank) {
  std::string out;
  EXPECT_EQ(layout_.WrapText("Gr CuFt", 1, 6, "|", &out), 2);
  EXPECT_EQ(out, "Gr |CuFt|");
}

TEST_F(PageLayoutTest, WrapCutsAtTheRoomWhenABlankFollows) {
  std::string out;
  EXPECT_EQ(layout_.WrapText("abcd  efg", 1, 4, "/", &out), 2);
  EXPECT_EQ(out, "abcd/efg/");  // the rest loses its leading blanks
  out.clear();
  EXPECT_EQ(layout_.WrapText("abc efgh", 1, 4, "/", &out), 2);
  EXPECT_EQ(out, "abc /efgh/");  // the character before the cut is a blank
}

TEST_F(PageLayoutTest, WrapBreaksAWordLongerThanTheRoom) {
  std::string out;
  EXPECT_EQ(layout_.WrapText("abcdefghij", 1, 4, "\n", &out), 3);
  EXPECT_EQ(out, "abcd\nefgh\nij\n");
  out.clear();
  // A blank at 0-based position 0 is never a cut point (i >= 2).
  EXPECT_EQ(layout_.WrapText(" abcdef", 1, 4, "\n", &out), 2);
  EXPECT_EQ(out, " abc\ndef\n");
}

TEST_F(PageLayoutTest, WrapIndentsEveryLineByTheStartColumn) {
  std::string out;
  EXPECT_EQ(layout_.WrapText("one two three", 5, 12, "\n", &out), 2);
  EXPECT_EQ(out, "    one two \n    three\n");
}

TEST_F(PageLayoutTest, WrapDefaultsToTheWholeLine) {
  LoadPortrait();
  const std::string text = std::string(91, 'x') + " yz";
  std::string out;
  EXPECT_EQ(layout_.WrapText(text, -1, -1, "\n", &out), 2);
  EXPECT_EQ(out, std::string(91, 'x') + "\nyz\n");
}

TEST_F(PageLayoutTest, WrapOfNothingGivesNoLines) {
  std::string out = "kept";
  EXPECT_EQ(layout_.WrapText("", 3, 10, "\n", &out), 0);
  EXPECT_EQ(out, "kept");
}

TEST_F(PageLayoutTest, WrapWithNoRoomStillAdvances) {
  std::string out;
  EXPECT_EQ(layout_.WrapText("ab c", 10, 3, "|", &out), 3);  // room -6: one per line
  EXPECT_EQ(out, Blanks(9) + "a|" + Blanks(9) + "b|" + Blanks(9) + "c|");
  out.clear();
  EXPECT_EQ(layout_.WrapText("a b", 1, 1, "|", &out), 2);  // room 1: no search
  EXPECT_EQ(out, "a|b|");
}

// The wrap rules spelled out on plain std::string indices (ASCII text only),
// to check the formatter's character-based wrap against.
int ReferenceWrap(std::string rest, int s, int e, int charsPerLine, std::string* out) {
  if (s < 0) s = 1;
  if (e < 0) e = charsPerLine;
  const size_t r = static_cast<size_t>(std::max(1, e - s + 1));
  int lines = 0;
  while (!rest.empty()) {
    if (s > 1) out->append(static_cast<size_t>(s - 1), ' ');
    size_t cut = r;
    if (rest.size() <= r) {
      cut = rest.size();
    } else if (r > 1 && rest[r] != ' ' && rest[r - 1] != ' ') {
      for (size_t i = r - 1; i >= 2; --i) {
        if (rest[i - 1] == ' ') {
          cut = i;
          break;
        }
      }
    }
    *out += rest.substr(0, cut) + "|";
    ++lines;
    const bool whole = cut == rest.size();
    rest.erase(0, cut);
    if (!whole) rest.erase(0, std::min(rest.size(), rest.find_first_not_of(' ')));
  }
  return lines;
}

TEST_F(PageLayoutTest, WrapAgreesWithAPlainReference) {
  LoadPortrait();
  std::mt19937 random(20261207);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 40);
    for (int i = 0; i < length; ++i)
      text += random() % 3 == 0 ? ' ' : static_cast<char>('a' + random() % 5);
    const int s = static_cast<int>(random() % 12) - 2;
    const int e = static_cast<int>(random() % 16) - 2;
    std::string expected;
    std::string actual;
    const int expectedLines = ReferenceWrap(text, s, e, layout_.charsPerLine(), &expected);
    ASSERT_EQ(layout_.WrapText(text, s, e, "|", &actual), expectedLines)
        << "\"" << text << "\" " << s << ".." << e;
    ASSERT_EQ(actual, expected) << "\"" << text << "\" " << s << ".." << e;
  }
}

// ---- Substitute ----

TEST_F(PageLayoutTest, SubstituteReplacesPageFirstThenPairsInOrder) {
  LoadPortrait("SUBSTITUTION=[X],<[Y]>\nSUBSTITUTION=[Y],y\nSUBSTITUTION=[SUB:page],no\n");
  layout_.StartPage();
  layout_.StartPage();
  EXPECT_EQ(layout_.Substitute("p[SUB:page] [X] [SUB:time] [SUB:date]"), "p2 <y> 09:05 12/07/2026");
}

TEST_F(PageLayoutTest, SubstituteDoesNotRescanAReplacement) {
  layout_.AddSubstitution("ab", "xaby");
  EXPECT_EQ(layout_.Substitute("abab"), "xabyxaby");
}

// ---- Headings ----

TEST_F(PageLayoutTest, VerticalHeadingOfLogNumber) {
  // Height 6 is tried first and "Log #" fits on one line; the first row is
  // blank and dropped; each character sits in the third position.
  const std::vector<std::string> expected = {"  L  ", "  o  ", "  g  ", "     ", "  #  "};
  EXPECT_EQ(HeadingOf("COLUMN=Log #,4,r,, ,1,5\n"), expected);
  EXPECT_EQ(layout_.table(0)->columns[0].start, 1);
  EXPECT_EQ(layout_.table(0)->columns[0].end, 4);
}

TEST_F(PageLayoutTest, RemarksHeadingIsCentredOnOneLine) {
  EXPECT_EQ(HeadingOf("COLUMN=Remarks,10,l,, ,0,5\n"), std::vector<std::string>{"  Remarks  "});
}

TEST_F(PageLayoutTest, GrossCubicFeetHeadingTakesTwoRows) {
  const std::vector<std::string> expected = {"  Gr   ", " CuFt  "};
  EXPECT_EQ(HeadingOf("COLUMN=Gr CuFt,6,r,, ,0,5\n"), expected);
}

TEST_F(PageLayoutTest, HeadingsAreBottomAlignedAndRuled) {
  const std::vector<std::string> expected = {
      "  L         ", "  o         ", "  g         ", "       Gr   ", "  #   CuFt  ", "---- ------",
  };
  EXPECT_EQ(HeadingOf("COLUMN=Log #,4,r,, ,1,5\nCOLUMN=Gr CuFt,6,r,, ,0,5\n", true), expected);
}

TEST_F(PageLayoutTest, VerticalHeadingWrapsSideBySide) {
  // At height 2 "AB CD" wraps into "AB" and "CD", which fit side by side in
  // a 3-wide column: (3 - 2) - 0 = 1 blank, then one character of each line.
  const std::vector<std::string> expected = {" AC ", " BD "};
  EXPECT_EQ(HeadingOf("COLUMN=AB CD,3,r,,|,1,1\n"), expected);
}

TEST_F(PageLayoutTest, HeadingLinesAreSubstitutedWhenPrinted) {
  LoadPortrait(
      "SUBSTITUTION=[SUB:StandID],Cubic\nTABLE=t,0,[SUB:StandID],0\n"
      "COLUMN=[SUB:page],10,l,,,0,1\nCOLUMN=[SUB:StandID],13,l,, ,0,1\n");
  layout_.StartPage();
  layout_.TableHeading();
  // The heading line is built from the titles as written; the title of the
  // table is not substituted.
  EXPECT_EQ(layout_.text(), "[SUB:StandID]\n1Cubic \n");
  EXPECT_EQ(layout_.table(0)->headingLines[0], "[SUB:page][SUB:StandID] ");
}

TEST_F(PageLayoutTest, PrefixAndSuffixBecomeBlanksInHeadings) {
  LoadPortrait("TABLE=t,2,,1\nCOLUMN=A,3,r,<<,>,0,1\nCOLUMN=B,1,l,,,0,1\n");
  layout_.LayOutColumns();
  const LayoutTable* table = layout_.table(0);
  EXPECT_EQ(table->columns[0].start, 5);  // indent 2, prefix 2
  EXPECT_EQ(table->columns[0].end, 7);
  EXPECT_EQ(table->columns[1].start, 9);  // after a one-character suffix
  const std::vector<std::string> expected = {"     A  B", "    --- -"};
  EXPECT_EQ(table->headingLines, expected);
  layout_.FormatRow("1|2", '|');
  EXPECT_EQ(layout_.text(), "  <<  1>2\n");
}

TEST_F(PageLayoutTest, ComprehensiveReportHeading) {
  ASSERT_EQ(layout_.LoadLayout(kComprehensiveLayout), 0);
  layout_.StartPage();
  layout_.TableHeading();
  const std::string expected =
      Blanks(52) +
      "----------CUFT--------- --BDFT---\n"
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
  EXPECT_EQ(layout_.text(), expected);
  EXPECT_EQ(layout_.lineOnPage(), 8);
}

// ---- Rows ----

TEST_F(PageLayoutTest, SevenCharactersInASixCharacterColumnAreAsterisks) {
  LoadPortrait("TABLE=t,0,,0\nCOLUMN=Gr CuFt,6,r,, ,0,5\n");
  layout_.LayOutColumns();
  layout_.FormatRow("1234567|", '|');
  layout_.FormatRow("123456|", '|');
  EXPECT_EQ(layout_.text(), "****** \n123456 \n");
}

TEST_F(PageLayoutTest, RowWithTooManyAndTooFewFields) {
  LoadPortrait("TABLE=t,1,,0\nCOLUMN=A,2,l,,|,0,1\nCOLUMN=B,3,r,,|,0,1\nCOLUMN=C,2,c,,|,0,1\n");
  layout_.FormatRow("a|b|c|d|e", '|');
  layout_.FormatRow(" x ", '|');
  layout_.FormatRow("||--|", '|');
  EXPECT_EQ(layout_.text(),
            " a |  b| c|\n"
            " x |   |  |\n"
            "   |   |--|\n");
  EXPECT_EQ(layout_.lineOnPage(), 3);
}

TEST_F(PageLayoutTest, RowWithoutATableSaysSo) {
  LoadPortrait();
  layout_.FormatRow("1|2|", '|');
  EXPECT_EQ(layout_.text(), " --No Active Table--\n");
  EXPECT_EQ(layout_.lineOnPage(), 1);
}

TEST_F(PageLayoutTest, FieldsAreNotSubstituted) {
  LoadPortrait("TABLE=t,0,,0\nCOLUMN=A,12,l,,,0,1\n");
  layout_.FormatRow("[SUB:page]", '|');
  EXPECT_EQ(layout_.text(), "[SUB:page]  \n");
}

TEST_F(PageLayoutTest, ColumnsAreLaidOutOncePerTable) {
  LoadPortrait("TABLE=t,0,,0\nCOLUMN=A,2,r,,,0,1\n");
  EXPECT_TRUE(layout_.table(0)->needsLayout);
  layout_.FormatRow("1", '|');
  EXPECT_FALSE(layout_.table(0)->needsLayout);
  layout_.AddColumn("B", 3, 'l', " ", "", false, 1);
  EXPECT_TRUE(layout_.table(0)->needsLayout);
  layout_.FormatRow("1|2", '|');
  EXPECT_EQ(layout_.text(), " 1\n 1 2  \n");
  EXPECT_EQ(layout_.table(0)->headingLines, (std::vector<std::string>{" A  B "}));
}

// ---- Page breaks ----

TEST_F(PageLayoutTest, RowThatWouldBeThe70thLineGoesToTheNextPage) {
  LoadPortrait();
  layout_.AddHeaderLine("REPORT", "", "");
  layout_.AddTable("T", 2, "Title", true);
  layout_.AddColumn("A", 3, 'r', "", " ", false, 1);
  layout_.StartPage();
  layout_.TableHeading();
  EXPECT_EQ(layout_.text(), "REPORT\nTitle\n   A  \n  ---\n");
  for (int i = 0; i < 64; ++i) layout_.FormatRow("7", '|');
  ASSERT_EQ(layout_.lineOnPage(), 68);
  layout_.FormatRow("7", '|');  // the 69th line still fits
  ASSERT_EQ(layout_.lineOnPage(), 69);
  const size_t before = layout_.text().size();
  layout_.FormatRow("8", '|');
  EXPECT_EQ(layout_.text().substr(before),
            PortraitFooter(1) + "\fREPORT\nTitle\n   A  \n  ---\n    8 \n");
  EXPECT_EQ(CountLines(layout_.text().substr(0, layout_.text().find('\f'))), 70);
  EXPECT_EQ(layout_.pageNumber(), 2);
  EXPECT_EQ(layout_.lineOnPage(), 5);
}

TEST_F(PageLayoutTest, EndPageFillsThePageBeforeTheFooter) {
  LoadPortrait();
  layout_.StartPage();
  WriteLines(66);
  layout_.EndPage();
  EXPECT_EQ(layout_.text().substr(66 * 2), "\n\n\n" + PortraitFooter(1));
  EXPECT_EQ(layout_.lineOnPage(), 70);
}

TEST_F(PageLayoutTest, EndPageWithoutFooterAddsNothing) {
  ASSERT_EQ(layout_.LoadLayout("VERSION=1\nPAGE=8.5,11,13,.5,.5,.5,.5,6,70,-1\n"), 0);
  layout_.StartPage();
  WriteLines(3);
  layout_.EndPage();
  EXPECT_EQ(layout_.text(), "-\n-\n-\n");
}

TEST_F(PageLayoutTest, PageBreakPutsAFormFeedBetweenPages) {
  LoadPortrait();
  layout_.AddHeaderLine("H", "", "");
  layout_.StartPage();
  WriteLines(68);
  layout_.PageBreak();
  EXPECT_EQ(layout_.text().substr(layout_.text().size() - 97), "-\n" + PortraitFooter(1) + "\fH\n");
  EXPECT_EQ(layout_.pageNumber(), 2);
  EXPECT_EQ(layout_.lineOnPage(), 1);
}

TEST_F(PageLayoutTest, ThreeBlankLinesWithRoomForTwoStartANewPage) {
  LoadPortrait();
  layout_.StartPage();
  WriteLines(67);  // 70 - 1 footer - 67 = 2 lines of room
  layout_.BlankLines(3);
  EXPECT_EQ(layout_.text().substr(67 * 2), "\n\n" + PortraitFooter(1) + "\f\n\n\n");
  EXPECT_EQ(layout_.lineOnPage(), 3);
}

TEST_F(PageLayoutTest, EveryBlankLineAsksForRoomForAllOfThem) {
  LoadPortrait();
  layout_.StartPage();
  WriteLines(66);  // room for 3: the first fits, the second would leave 1
  layout_.BlankLines(3);
  EXPECT_EQ(layout_.text().substr(66 * 2), "\n\n\n" + PortraitFooter(1) + "\f\n\n");
  EXPECT_EQ(layout_.lineOnPage(), 2);
}

TEST_F(PageLayoutTest, BlankLinesWithRoomToSpareStayOnThePage) {
  LoadPortrait();
  layout_.StartPage();
  WriteLines(64);
  layout_.BlankLines(3);
  EXPECT_EQ(layout_.text().substr(64 * 2), "\n\n\n");
  EXPECT_EQ(layout_.lineOnPage(), 67);
}

TEST_F(PageLayoutTest, BreakReprintsTheCurrentTableHeading) {
  LoadPortrait("TABLE=t,0,,0\nCOLUMN=N,1,r,,,0,1\n");
  layout_.StartPage();
  WriteLines(68);
  layout_.BlankLines(2);
  EXPECT_EQ(layout_.text().substr(68 * 2), "\n" + PortraitFooter(1) + "\fN\n\n\n");
}

TEST_F(PageLayoutTest, ParagraphMakesRoomForAllItsLines) {
  LoadPortrait();
  layout_.StartPage();
  WriteLines(68);
  layout_.Paragraph("Note: one two three", 5, 14);
  EXPECT_EQ(layout_.text().substr(68 * 2),
            "\n" + PortraitFooter(1) + "\f    Note: one \n    two three\n");
  EXPECT_EQ(layout_.lineOnPage(), 2);
}

TEST_F(PageLayoutTest, TableTitleCountsEveryLineItPrints) {
  LoadPortrait();
  ASSERT_EQ(layout_.AddTable("Audit", 0, "\n   AUDIT MESSAGES\n", true), 0);
  layout_.StartPage();
  layout_.AddColumn("Date", 4, 'r', "", "", false, 1);
  EXPECT_EQ(layout_.lineOnPage(), 0);
  layout_.TableHeading();
  EXPECT_EQ(layout_.text(), "\n   AUDIT MESSAGES\n\nDate\n----\n");
  EXPECT_EQ(layout_.lineOnPage(), 5);
}

TEST_F(PageLayoutTest, TableHeadingThatDoesNotFitStartsANewPage) {
  LoadPortrait("TABLE=t,0,Title,1\nCOLUMN=N,1,r,,,0,1\n");
  layout_.StartPage();
  WriteLines(67);  // room for 2 of the 3 heading lines
  layout_.TableHeading();
  EXPECT_EQ(layout_.text().substr(67 * 2), "\n\n" + PortraitFooter(1) + "\fTitle\nN\n-\n");
  EXPECT_EQ(layout_.lineOnPage(), 3);
}

TEST_F(PageLayoutTest, TextLineMakesRoomForAllItsLines) {
  LoadPortrait();
  layout_.StartPage();
  WriteLines(67);
  layout_.TextLine("one\ntwo\nthree");
  EXPECT_EQ(layout_.text().substr(67 * 2), "\n\n" + PortraitFooter(1) + "\fone\ntwo\nthree\n");
  EXPECT_EQ(layout_.lineOnPage(), 3);
}

// ---- Header and footer lines ----

TEST_F(PageLayoutTest, HeaderLinePlacesItsThreeParts) {
  LoadPortrait();
  layout_.AddHeaderLine("", "V A R N O L D E  2010", "Date: [SUB:date]");
  layout_.AddHeaderLine("Load Receipt: 55", "-- CUFT LOG REPORT --", "Time: [SUB:time]    \n");
  layout_.StartPage();
  // W = 91; the center (21 characters) starts after 91/2 - 21/2 = 35.
  EXPECT_EQ(layout_.text(), Blanks(35) + "V A R N O L D E  2010" + Blanks(19) +
                                "Date: 12/07/2026\n" + "Load Receipt: 55" + Blanks(19) +
                                "-- CUFT LOG REPORT --" + Blanks(19) + "Time: 09:05    \n\n");
  EXPECT_EQ(layout_.lineOnPage(), 2);  // the line feed inside the right part is not counted
}

TEST_F(PageLayoutTest, HeaderLineWithoutCenterLosesItsRightPart) {
  LoadPortrait();
  layout_.AddHeaderLine("Left", "", "Right");
  layout_.AddHeaderLine("Left", "Mid", "");
  layout_.AddHeaderLine("", "", "");
  layout_.StartPage();
  EXPECT_EQ(layout_.text(), "Left\nLeft\n\n");
}

TEST_F(PageLayoutTest, HeaderLeftPartTooLongBecomesAsterisks) {
  LoadPortrait();
  layout_.AddHeaderLine(std::string(50, 'x'), "Mid", "R");
  layout_.StartPage();
  EXPECT_EQ(layout_.text(), std::string(44, '*') + "Mid" + Blanks(43) + "R\n");
}

TEST_F(PageLayoutTest, FooterWithEmptyLeftAndCenterEndsAtTheRightEdge) {
  LoadPortrait();
  for (int i = 0; i < 11; ++i) layout_.PageBreak();
  layout_.TakeText();
  layout_.EndPage();
  EXPECT_EQ(layout_.text().substr(layout_.text().size() - 92), Blanks(83) + "Page: 11\n");
}

TEST_F(PageLayoutTest, FooterRightPartTooLongBecomesAsterisks) {
  ASSERT_EQ(layout_.LoadLayout("VERSION=1\nPAGE=2,2,10,0,0,0,0,1,2,-1\nFOOTER=,c,[SUB:date]!\n"),
            0);
  layout_.StartPage();
  layout_.EndPage();
  // W = 20: 10 - 0 blanks, "c", then 9 characters of room for 11.
  EXPECT_EQ(layout_.text(), "\n" + Blanks(10) + "c" + std::string(9, '*') + "\n");
}

// ---- Rules ----

TEST_F(PageLayoutTest, RuleKinds) {
  LoadPortrait("TABLE=t,3,,0\nCOLUMN=A,2,r,<,>,0,1\nCOLUMN=B,3,r,,  ,0,1\n");
  layout_.Rule('=', 'b', 0, 0);
  layout_.Rule('-', 't', 0, 0);
  layout_.Rule('*', 'x', 3, 6);
  layout_.Rule('.', 'x', -4, -1);
  EXPECT_EQ(layout_.text(), "    == ===\n   -------\n  ****\n" + std::string(91, '.') + "\n");
  EXPECT_EQ(layout_.lineOnPage(), 4);
}

TEST_F(PageLayoutTest, TableRuleWithoutColumnsIsALineFeed) {
  LoadPortrait("TABLE=t,4,,0\n");
  layout_.Rule('-', 't', 0, 0);
  layout_.Rule('-', 'b', 0, 0);
  EXPECT_EQ(layout_.text(), "\n\n");
  EXPECT_EQ(layout_.lineOnPage(), 2);
}

TEST_F(PageLayoutTest, TableRulesWithoutATableAreNothing) {
  LoadPortrait();
  layout_.Rule('-', 't', 0, 0);
  layout_.Rule('-', 'b', 0, 0);
  EXPECT_EQ(layout_.text(), "");
  EXPECT_EQ(layout_.lineOnPage(), 0);
}

TEST_F(PageLayoutTest, RuleThatWouldBeThe70thLineGoesToTheNextPage) {
  LoadPortrait();
  layout_.StartPage();
  WriteLines(69);
  EXPECT_EQ(layout_.text().find('\f'), std::string::npos);
  WriteLines(1);
  EXPECT_EQ(layout_.text().substr(69 * 2), PortraitFooter(1) + "\f-\n");
  EXPECT_EQ(layout_.lineOnPage(), 1);
}

// ---- Tables ----

TEST_F(PageLayoutTest, TablesTakeTheLowestFreeSlotUpToEight) {
  LoadPortrait();
  for (int i = 0; i < PageLayout::kMaxTables; ++i) {
    EXPECT_EQ(layout_.AddTable("t" + std::to_string(i), 0, "", false), i);
  }
  EXPECT_EQ(layout_.AddTable("ninth", 0, "\n", false), -1);
  EXPECT_EQ(layout_.currentTable(), 7);
  EXPECT_EQ(layout_.lineOnPage(), 0);
}

TEST_F(PageLayoutTest, SelectTableIsExactAndClearsOnAMiss) {
  LoadPortrait();
  layout_.AddTable("Logs", 0, "", false);
  layout_.AddTable("Logs", 0, "second", false);
  layout_.AddTable("KZ", 0, "", false);
  EXPECT_EQ(layout_.SelectTable("Logs"), 0);
  EXPECT_EQ(layout_.currentTable(), 0);
  EXPECT_EQ(layout_.SelectTable("logs"), -1);
  EXPECT_EQ(layout_.currentTable(), -1);
  layout_.AddColumn("ignored", 3, 'l', "", "", false, 1);
  EXPECT_EQ(layout_.table(2)->columns.size(), 0u);
  layout_.TableHeading();
  EXPECT_EQ(layout_.text(), "");
}

TEST_F(PageLayoutTest, ClearRemovesEverythingButThePageState) {
  LoadPortrait("TABLE=t,0,,0\nHEADER=a,b,c\n");
  layout_.StartPage();
  layout_.Clear();
  EXPECT_TRUE(layout_.headerLines().empty());
  EXPECT_TRUE(layout_.footerLines().empty());
  EXPECT_TRUE(layout_.substitutions().empty());
  EXPECT_EQ(layout_.table(0), nullptr);
  EXPECT_EQ(layout_.currentTable(), -1);
  EXPECT_EQ(layout_.pageNumber(), 1);
  EXPECT_EQ(layout_.lineOnPage(), 1);
  EXPECT_EQ(layout_.table(-1), nullptr);
  EXPECT_EQ(layout_.table(8), nullptr);
}

}  // namespace
}  // namespace reports
