// PageLayout: the fixed-pitch page formatter behind every printed report, and
// its layout language "PL1.0.0".
//
// A report is one long text of fixed-pitch lines, pages separated by form
// feeds (code 12). PageLayout owns that text: it is configured by a layout
// text (LoadLayout) and then fed, in order, with header lines, tables,
// columns, data rows and lines of text; it pads every field to its column,
// counts every line it writes and, before a line that would not fit, appends
// the footer, a form feed, the page header and the current table's title and
// column headings again. Callers never append to the text themselves, so the
// count that decides page breaks is the count of the lines on the page.
//
// One exception, kept because the reports use it to leave an empty line in
// their heading: a line feed inside a part of a header or footer line starts
// a line that is not counted (a header line counts as one line however many
// line feeds its parts hold). A page thus has at most linesPerPage lines plus
// the line feeds inside its header and footer parts, unless one heading or
// paragraph alone is taller than the page.
//
// Text is UTF-8; every width, position and count is in characters (see
// char_text.h), because the finished report is written one byte per character.
//
// Layout language. The text is cut into tokens at every ',', '=' and line feed,
// without quoting. The first three tokens ("VERSION", its value, "PAGE") are
// trimmed of blanks; every other token is taken verbatim. Layout:
//   VERSION=<version>
//   PAGE=<pageWidth>,<pageHeight>,<charsPerInch>,<leftMargin>,<rightMargin>,
//        <topMargin>,<bottomMargin>,<linesPerInch>,<linesPerPage>,<charsPerLine>
// then directives recognised by the first letter of their keyword token:
//   COLUMN=<title>,<width>,<align>,<prefix>,<suffix>,<vertical>,<titleHeight>
//   FOOTER=<left>,<center>,<right>       HEADER=<left>,<center>,<right>
//   SUBSTITUTION=<name>,<value>          TABLE=<name>,<indent>,<title>,<rule>
// A token starting with any other letter (or empty) is skipped. Fields missing
// at the end of the text are empty; an empty number is 0.
//
// Outside input. A layout text may come from a file, so any text gives a result
// within bounded memory: every number read from it or given to an operation is
// brought into the limits below (kMaxExtent and friends) before use, a word
// wrap always advances, substitution stops growing a line at
// kMaxSubstitutedLength characters, and header lines, footer lines and
// substitutions beyond kMaxLayoutLines each are ignored, so that the text
// printed for one page stays bounded. Layouts within the limits (all real
// ones, by far) print exactly as the rules say.
//
// Thread safety: none; a PageLayout lives for the generation of one report on
// one thread.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/clock.h"

namespace reports {

class LayoutTokens;  // the layout language's tokenizer (layout_language.cpp)

// A page header or footer line: three parts, placed at the left, in the centre
// and at the right edge of the line.
struct LayoutLine {
  std::string left;
  std::string center;
  std::string right;
};

// One column of a table.
struct LayoutColumn {
  std::string title;           // heading text
  int width = 0;               // characters of the field
  char align = 'l';            // 'l', 'r', 'c'; any other letter: field left unpadded
  std::string prefix;          // written before the field (blanks in headings)
  std::string suffix;          // written after the field (blanks in headings)
  bool verticalTitle = false;  // heading written downwards, one character per row
  int titleHeight = 0;         // a vertical heading tries titleHeight + 1 rows first
  int start = -1;              // 1-based position of the field's first character;
  int end = -1;                // and of its last; both -1 until laid out
};

// One table: its columns and, once laid out, its heading lines.
struct LayoutTable {
  std::string name;                       // found by SelectTable
  int indent = 0;                         // blanks in front of every row and heading line
  std::string title;                      // printed on a line of its own; none when empty
  bool ruleUnderHeadings = false;         // dashes under each column after the headings
  std::vector<LayoutColumn> columns;      // left to right
  std::vector<std::string> headingLines;  // built by LayOutColumns, without line feeds
  bool needsLayout = true;                // set by AddColumn, cleared by LayOutColumns
};

// The page geometry. Inches are floats; a negative linesPerPage or
// charsPerLine is derived from the page size, the margins and the density.
struct PageGeometry {
  float pageWidth = 8.5f;
  float pageHeight = 11.0f;
  int charsPerInch = 12;
  float leftMargin = 0.5f;
  float rightMargin = 0.5f;
  float topMargin = 0.5f;
  float bottomMargin = 0.5f;
  int linesPerInch = 6;
  int linesPerPage = -1;
  int charsPerLine = -1;
};

class PageLayout {
 public:
  // Number of table slots of a layout.
  static constexpr int kMaxTables = 8;
  // Limit of linesPerPage, charsPerLine, column widths, indents, title heights
  // and of the line positions a table's columns are laid out on: a column that
  // would end beyond this position is narrowed (to nothing if need be). Real
  // reports stay far below it.
  static constexpr int kMaxExtent = 1024;
  // A heading taller than this keeps only its lowest rows.
  static constexpr int kMaxHeadingRows = 64;
  // Substitution stops replacing once a line would grow beyond this length.
  static constexpr int kMaxSubstitutedLength = 4 * kMaxExtent;
  // Most header lines, footer lines and substitutions (the time and date
  // included) a layout keeps; further ones are ignored.
  static constexpr int kMaxLayoutLines = 64;

  // Sets the geometry, deriving a negative linesPerPage (whole inches of
  // pageHeight minus the vertical margins, times linesPerInch) and a negative
  // charsPerLine (whole inches of pageWidth minus the horizontal margins, times
  // charsPerInch); results outside 0..kMaxExtent are brought into it. Records
  // clock.Now() as the substitutions "[SUB:time]" ("%02d:%02d", hour and
  // minute) and "[SUB:date]" ("%02d/%02d/%d", month, day, year).
  // REQUIRES: clock outlives the PageLayout (LoadLayout reads it again).
  PageLayout(const PageGeometry& geometry, const platform::Clock& clock);

  // The geometry the reports construct with before loading their layout:
  // 8.5 x 11.0 inches, 6 lines and 12 characters per inch, half-inch margins,
  // both counts derived.
  static PageGeometry ReportConstructionGeometry();

  PageLayout(const PageLayout&) = delete;
  PageLayout& operator=(const PageLayout&) = delete;

  // Reads a layout text (see the top of this file).
  // Returns -1 when the first token, trimmed of blanks, is not exactly
  // "VERSION": nothing changes. Otherwise the layout is cleared (Clear) and -2
  // is returned when the third token, trimmed of blanks, is not "PAGE" (the
  // layout stays empty, the geometry unchanged). Otherwise reads the ten PAGE fields, derives the
  // geometry as the constructor does, resets the page state (line 0, page 0,
  // no current table), records the time and date substitutions, runs every
  // directive and returns 0.
  [[nodiscard]] int LoadLayout(std::string_view layoutText);

  // Removes every table, header and footer line and substitution; no table is
  // current afterwards. The geometry and the page state stay.
  void Clear();

  // Append a page header or footer line (see StartPage and EndPage for where
  // they are printed and how the parts are placed). Ignored when the layout
  // already has kMaxLayoutLines of that kind.
  void AddHeaderLine(std::string_view left, std::string_view center, std::string_view right);
  void AddFooterLine(std::string_view left, std::string_view center, std::string_view right);

  // Appends a substitution: every occurrence of name in a header, footer or
  // heading line is replaced by value when printed (after earlier pairs). A
  // pair with an empty name is kept but replaces nothing. Ignored when the
  // layout already has kMaxLayoutLines pairs.
  void AddSubstitution(std::string_view name, std::string_view value);

  // Puts a new table without columns into the lowest empty slot and makes it
  // current; returns the slot. Nothing is printed (TableHeading prints the
  // title). Returns -1, changing nothing, when all kMaxTables slots are
  // taken. indent is brought into 0..kMaxExtent.
  int AddTable(std::string_view name, int indent, std::string_view title, bool ruleUnderHeadings);

  // Makes the table of that exact name (lowest slot first) current and returns
  // its slot; returns -1 and leaves no table current when none has the name.
  int SelectTable(std::string_view name);

  // Appends a column to the current table, which must be laid out again.
  // width and titleHeight are brought into -kMaxExtent..kMaxExtent. Does
  // nothing when no table is current.
  void AddColumn(std::string_view title, int width, char align, std::string_view prefix,
                 std::string_view suffix, bool verticalTitle, int titleHeight);

  // Computes the current table's column positions and heading lines if it
  // needs it and has at least one column. Runs by itself before any heading,
  // row or rule that needs them, so a table is laid out once, not per row.
  void LayOutColumns();

  // The operations below append to the report text and count every line
  // they append; each one that prints lines of the page body first makes
  // room for them (EnsureRoom), so a page break comes before them.

  // Opens the next page: line 0, page number + 1, then every header line.
  void StartPage();

  // Closes the page when there are footer lines: blank lines until the footer
  // lines fill the page exactly (none when the page is already that full),
  // then every footer line. Without footer lines: nothing.
  void EndPage();

  // EndPage, a form feed, StartPage.
  void PageBreak();

  // Makes room for n more lines: when the footer lines, the lines written and
  // n exceed linesPerPage, breaks the page and reprints the current table's
  // heading (TableHeading). Lays out the current table first if needed.
  void EnsureRoom(int n);

  // Prints the current table's title (when not empty) and then its heading
  // lines with substitutions applied; the title counts one line more than
  // it holds line feeds, each heading line one. When they do not fit on the
  // page, the page is broken first (once: a heading taller than a page is
  // printed whole). Nothing when no table is current.
  void TableHeading();

  // Prints one data row: the fields of `row` are separated by `delimiter`,
  // trimmed of white space, padded to their columns (a field too long for its
  // column prints as asterisks across the column) with each column's prefix
  // and suffix, after the table's indent. Fields beyond the last column are
  // ignored, missing ones print blank. Makes room for the line first (a page
  // break comes before the row). Without a current table it prints the line
  // " --No Active Table--" instead.
  void FormatRow(std::string_view row, char delimiter);

  // Prints text as lines of its own: the text and a line feed, one line more
  // than the text holds line feeds, after making room for all of them.
  void TextLine(std::string_view text);

  // Word-wraps text between the two 1-based columns (WrapText, each line ended
  // by a line feed) after making room for all of its lines.
  void Paragraph(std::string_view text, int startColumn, int endColumn);

  // n blank lines; before each, room is made for n lines, so a page break
  // comes before the first blank line that would leave fewer than n lines of
  // room. Nothing when n <= 0.
  void BlankLines(int n);

  // A ruled line ending in a line feed, after making room for it. Kinds:
  //  'b': fill under every column of the current table (blanks between);
  //  't': the table's indent in blanks, then fill up to the last column's end
  //       (a table without columns: an empty line);
  //  any other: startColumn - 1 blanks (none when negative), then fill up to
  //       position endColumn (charsPerLine when negative).
  // Kinds 'b' and 't' print nothing when no table is current.
  void Rule(char fill, char kind, int startColumn, int endColumn);

  // The report text written so far.
  const std::string& text() const { return text_; }
  // Hands over the report text written so far and starts an empty one; the
  // page state stays.
  std::string TakeText();

  // Fits text to width characters and returns d = width - (its length):
  // d == 0 unchanged; d < 0 replaced by width asterisks (empty when width <=
  // 0); d > 0 filled with d fill characters in front ('r'), behind ('l'), or
  // d - d/2 in front and d/2 behind ('c'); any other align: unchanged. A width
  // above kMaxExtent counts as kMaxExtent.
  static int Pad(std::string& text, int width, char align, char fill);

  // text with "[SUB:page]" replaced by the page number ("%d"), then every
  // substitution pair applied in the order added. Replacements are not
  // rescanned by the same pair.
  std::string Substitute(std::string_view text) const;

  // Word-wraps text between 1-based columns startColumn (1 when negative) and
  // endColumn (charsPerLine when negative): each line starts with
  // startColumn - 1 blanks and ends with terminator; a line is cut after a
  // blank where possible and a word longer than the room is broken; the text
  // after a cut loses its leading blanks. A room of less than one character
  // counts as one. Appends the lines to *wrapped and returns their number (0
  // for an empty text).
  int WrapText(std::string_view text, int startColumn, int endColumn, std::string_view terminator,
               std::string* wrapped) const;

  // Observers, for the reports and the tests.
  const PageGeometry& geometry() const { return geometry_; }
  int linesPerPage() const { return geometry_.linesPerPage; }
  int charsPerLine() const { return geometry_.charsPerLine; }
  int lineOnPage() const { return lineOnPage_; }
  int pageNumber() const { return pageNumber_; }
  int currentTable() const { return currentTable_; }
  const std::vector<LayoutLine>& headerLines() const { return headerLines_; }
  const std::vector<LayoutLine>& footerLines() const { return footerLines_; }
  const std::vector<std::pair<std::string, std::string>>& substitutions() const {
    return substitutions_;
  }
  // The table in a slot; nullptr for an empty slot or a slot outside 0..7.
  // Valid until the next LoadLayout or Clear.
  const LayoutTable* table(int slot) const;

 private:
  void SetGeometry(const PageGeometry& geometry);
  void RecordTimeAndDate();
  void RunDirectives(LayoutTokens& tokens);
  void ReadDirective(char letter, LayoutTokens& tokens);
  LayoutTable* Current();
  void AppendLayoutLine(const LayoutLine& line, bool isFooter);
  void Write(std::string_view lines);
  bool Fits(int n) const;
  int HeadingLineCount(const LayoutTable& table) const;
  void PrintHeading(const LayoutTable& table);
  std::vector<std::string> ColumnHeading(const LayoutColumn& column, int fieldWidth) const;
  std::vector<std::string> VerticalHeading(const LayoutColumn& column, int fieldWidth) const;
  void BuildHeadingLines(LayoutTable& table);

  const platform::Clock& clock_;
  PageGeometry geometry_;
  std::string text_;
  int lineOnPage_ = 0;
  int pageNumber_ = 0;
  std::vector<LayoutLine> headerLines_;
  std::vector<LayoutLine> footerLines_;
  std::vector<std::pair<std::string, std::string>> substitutions_;
  std::array<std::optional<LayoutTable>, kMaxTables> tables_;
  int currentTable_ = -1;
};

}  // namespace reports
