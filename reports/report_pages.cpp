#include "reports/report_pages.h"

#include <algorithm>
#include <cmath>

#include "platform/clock.h"
#include "platform/text.h"
#include "reports/report_text.h"

namespace reports {

namespace {

constexpr double kPointsPerInch = 72;
constexpr double kLetterShort = 8.5 * kPointsPerInch;
constexpr double kLetterLong = 11 * kPointsPerInch;
// A pitch found by division may fall a hair short of the count it was made
// for; this much of a character or line still counts as whole.
constexpr double kFitTolerance = 1e-6;

// A margin in points, brought into 0..limit (NaN counts as 0).
double MarginPoints(float inches, double limit) {
  const double points = static_cast<double>(inches) * kPointsPerInch;
  return points > 0 ? std::min(points, limit) : 0;
}

// The pitch of `perInch` per inch, tightened so that `count` of them fit in
// `room` points (no limit for a count of 0 or less).
double Pitch(int perInch, int defaultPerInch, int count, double room) {
  const double pitch = kPointsPerInch / (perInch > 0 ? perInch : defaultPerInch);
  return count > 0 ? std::min(pitch, room / count) : pitch;
}

// How many pitches fit in room: at least one.
int Fitting(double room, double pitch) {
  return std::max(1, static_cast<int>(std::floor(room / pitch + kFitTolerance)));
}

// A control character, or a byte Windows-1252 leaves undefined.
bool PrintsBlank(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F ||
         byte == 0x90 || byte == 0x9D;
}

constexpr size_t kTabStop = 8;

// A line's bytes as UTF-8: tabs expanded, other control characters made
// blanks, cut to `limit` characters.
std::string SheetLine(std::string_view bytes, int limit) {
  const size_t width = static_cast<size_t>(limit);
  std::string visible;
  for (size_t i = 0; i < bytes.size() && visible.size() < width; ++i) {
    const unsigned char byte = static_cast<unsigned char>(bytes[i]);
    if (byte == '\t') {
      visible.append(kTabStop - visible.size() % kTabStop, ' ');
    } else {
      visible += PrintsBlank(byte) ? ' ' : static_cast<char>(byte);
    }
  }
  if (visible.size() > width) visible.resize(width);
  return platform::Cp1252ToUtf8(visible);
}

using Page = std::vector<std::string_view>;

// The report's pages, each the bytes of its lines (see ReportSheets for where
// pages and lines end).
std::vector<Page> ReportPages(std::string_view bytes) {
  std::vector<Page> pages(1);
  size_t lineStart = 0;
  for (size_t pos = 0; pos < bytes.size(); ++pos) {
    const char c = bytes[pos];
    if (c != '\n' && c != '\f') continue;
    // A form feed ends the page, and the line before it only when that line
    // has characters of its own: after a line feed it starts no empty line.
    if (c == '\n' || pos > lineStart)
      pages.back().push_back(bytes.substr(lineStart, pos - lineStart));
    if (c == '\f') pages.emplace_back();
    lineStart = pos + 1;
  }
  if (lineStart < bytes.size()) pages.back().push_back(bytes.substr(lineStart));
  return pages;
}

}  // namespace

PrintSheet SheetForLayout(const PageGeometry& layout, int longestPage) {
  PrintSheet sheet;
  sheet.landscape = layout.pageWidth > layout.pageHeight;
  sheet.width = sheet.landscape ? kLetterLong : kLetterShort;
  sheet.height = sheet.landscape ? kLetterShort : kLetterLong;
  sheet.left = MarginPoints(layout.leftMargin, sheet.width / 4);
  sheet.top = MarginPoints(layout.topMargin, sheet.height / 4);
  const double roomAcross =
      sheet.width - sheet.left - MarginPoints(layout.rightMargin, sheet.width / 4);
  const double roomDown =
      sheet.height - sheet.top - MarginPoints(layout.bottomMargin, sheet.height / 4);
  sheet.charPitch = Pitch(layout.charsPerInch, 10, layout.charsPerLine, roomAcross);
  sheet.linePitch = Pitch(layout.linesPerInch, 6, layout.linesPerPage, roomDown);
  if (longestPage > Fitting(roomDown, sheet.linePitch)) {
    const double tightest = std::min(sheet.linePitch, Pitch(layout.linesPerInch, 6, 0, 0) / 2);
    sheet.linePitch = std::max(roomDown / longestPage, tightest);
  }
  sheet.charsPerLine = Fitting(sheet.width - sheet.left, sheet.charPitch);
  sheet.linesPerSheet = Fitting(roomDown, sheet.linePitch);
  return sheet;
}

PrintSheet SheetForReport(const PageGeometry& layout, std::string_view reportBytes) {
  size_t longest = 0;
  for (const Page& page : ReportPages(reportBytes)) longest = std::max(longest, page.size());
  return SheetForLayout(layout,
                        static_cast<int>(std::min<size_t>(longest, PageLayout::kMaxExtent)));
}

PageGeometry LayoutGeometry(std::string_view layoutText) {
  // The geometry needs no time of day; the substitutions it records are unused.
  const platform::FixedClock clock;
  PageLayout layout(PageLayout::ReportConstructionGeometry(), clock);
  // A layout that does not load keeps the construction geometry, the one to use then.
  static_cast<void>(layout.LoadLayout(layoutText));
  return layout.geometry();
}

const char* LayoutForReportFile(std::string_view path) {
  if (path.ends_with(".cmp")) return kComprehensiveLayout;
  if (path.ends_with(".clg") || path.ends_with(".audit") || path.ends_with(".chk")) {
    return kPortraitLayout;
  }
  return nullptr;
}

std::vector<SheetLines> ReportSheets(std::string_view reportBytes, const PrintSheet& sheet) {
  std::vector<SheetLines> sheets;
  for (const Page& page : ReportPages(reportBytes)) {
    sheets.emplace_back();
    for (std::string_view line : page) {
      if (sheets.back().size() >= static_cast<size_t>(sheet.linesPerSheet)) sheets.emplace_back();
      sheets.back().push_back(SheetLine(line, sheet.charsPerLine));
    }
  }
  return sheets;
}

}  // namespace reports
