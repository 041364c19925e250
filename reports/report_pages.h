// Report pages on paper: where a report's fixed-pitch text goes on a printed
// sheet, and the report cut into the sheets that carry it.
//
// A report file is 8-bit text (Windows-1252) whose pages are separated by form
// feeds. It is printed on US Letter paper, turned to landscape when the
// report's layout is wider than tall. The text block starts at the layout's
// left and top margins; characters advance by the layout's characters per inch
// and lines by its lines per inch. Where the layout's own line count does not
// fit between the margins at that density (the portrait layout asks for 70
// lines at 6 per inch, 11.7 inches, on an 11-inch sheet; the landscape one for
// 48 lines, 8 inches, where letter paper has 7.5 inches inside its margins),
// the line pitch is tightened just enough to fit, and likewise the character
// pitch for a layout whose line is too wide: a report page is one sheet, as it
// was laid out.
//
// The PDF copies (report_pdf.h) and the program's printing draw the same
// sheets with the same geometry, so paper and PDF show the same pages. Only
// the standard library is used here; the drawing belongs to the callers.
//
// A line may run on into the right margin, up to the paper's edge: a few
// lines of the log and audit reports are wider than their layout's line.
//
// Outside input. A report text may be damaged or not come from this program:
// a line longer than the sheet is cut at the paper's edge, as a printer cuts
// it, a page with more lines than a sheet holds goes on over further sheets,
// and every control character prints as a blank. Nothing fails.
//
// Thread safety: pure functions on values.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "reports/page_layout.h"

namespace reports {

// The fixed-pitch face every printed report is drawn in. The build's set-up
// installs it (Debian's fonts-dejavu-core); the PDF writer refuses to stand
// another face in for it.
inline constexpr char kReportFontFamily[] = "DejaVu Sans Mono";

// A sheet of paper and the text block on it. Lengths are in points (1/72
// inch), measured from the sheet's top-left corner.
struct PrintSheet {
  double width = 612;  // the sheet: US Letter, turned when landscape
  double height = 792;
  bool landscape = false;
  double left = 36;              // where the first character of a line starts
  double top = 36;               // where the first line's cell starts
  double charPitch = 72.0 / 13;  // advance from one character to the next
  double linePitch = 12;         // advance from one line to the next
  int charsPerLine = 104;        // characters a line holds up to the paper's edge
  int linesPerSheet = 60;        // lines a sheet holds above the bottom margin
};

// The sheet for a layout's geometry (see the top of this file). Margins are
// brought into 0..a quarter of the sheet, a density of 0 or less counts as 6
// lines or 10 characters per inch, and a line or page count of 0 or less
// sets no limit on the pitch, so any geometry gives a usable sheet with at
// least one character and one line.
//
// A report whose pages run longer than its layout's line count (longestPage
// lines) gets a line pitch tight enough for them too, down to half the
// layout's own pitch; a page longer still goes on over further sheets.
PrintSheet SheetForLayout(const PageGeometry& layout, int longestPage = 0);

// SheetForLayout for the pages of a report's 8-bit text.
PrintSheet SheetForReport(const PageGeometry& layout, std::string_view reportBytes);

// The page geometry a layout text declares (its PAGE line, with the derived
// counts); the reports' construction geometry when the text is no layout.
PageGeometry LayoutGeometry(std::string_view layoutText);

// The layout a report file was laid out with, known by its name's ending:
// ".cmp" gives the comprehensive report's (landscape) layout text; ".clg",
// ".audit" and ".chk" (the check scale comparison) give the portrait one; any other name gives nullptr (the exports
// are not printed reports). The returned text is static.
const char* LayoutForReportFile(std::string_view path);

// One sheet's lines, as UTF-8 ready to draw: no line feeds, no control
// characters, at most PrintSheet::charsPerLine characters each.
using SheetLines = std::vector<std::string>;

// Cuts a report's 8-bit text into sheets: a new sheet at every form feed and
// whenever a page has filled sheet.linesPerSheet lines. The line feed ending
// a page's last line starts no further line. Every byte is read as its
// Windows-1252 character; a tab advances to the next multiple of 8 characters
// (as on a terminal or a line printer: the log report aligns a heading with
// tabs); other control characters (and the five bytes the code page leaves
// undefined) become blanks. A text without form feeds is one page;
// an empty text gives one empty sheet.
std::vector<SheetLines> ReportSheets(std::string_view reportBytes, const PrintSheet& sheet);

}  // namespace reports
