// Test support for the PDF copies of the reports: a PDF read back with
// poppler's tools (pdftotext, pdfinfo; Debian's poppler-utils, installed by
// scripts/deps.sh), and a report text cut into pages to compare with it.
#pragma once

#include <cmath>
#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "platform/text.h"
#include "reports/report_pages.h"

namespace reports::testing {

// What a command printed on its output stream (empty when it could not run).
inline std::string CommandOutput(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[65536];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  pclose(pipe);
  return out;
}

// `text` cut into pages at form feeds, each page into its lines with tabs
// expanded to every 8th character and trailing blanks dropped: the shape in
// which a report page and pdftotext's page are compared. Blank lines are left
// out: pdftotext writes a run of blank lines as one to five, whatever its
// length (the blank lines' places on the sheet are ReportSheets' to keep).
inline std::vector<std::vector<std::string>> PagesOfLines(const std::string& text) {
  std::vector<std::vector<std::string>> pages(1);
  std::string line;
  const auto endLine = [&] {
    line.erase(line.find_last_not_of(' ') + 1);
    if (!line.empty()) pages.back().push_back(line);
    line.clear();
  };
  for (char c : text) {
    if (c == '\n') {
      endLine();
    } else if (c == '\f') {
      endLine();
      pages.emplace_back();
    } else if (c == '\t') {
      line.append(8 - line.size() % 8, ' ');
    } else {
      line += c;
    }
  }
  endLine();
  return pages;
}

// The text of a PDF file whose pages are `sheet`s, as pdftotext gives it in
// its layout mode at the sheet's character pitch, with the text block's left
// edge as column 0, cut into pages (PagesOfLines). pdftotext ends every page
// with a form feed, so the last, empty element that leaves is dropped.
inline std::vector<std::vector<std::string>> PdfPages(const std::string& pdfPath,
                                                      const PrintSheet& sheet) {
  char options[160];
  std::snprintf(options, sizeof options, "-layout -fixed %.9f -x %ld -y 0 -W %ld -H %ld",
                sheet.charPitch, std::lround(sheet.left), std::lround(sheet.width),
                std::lround(sheet.height));
  auto pages = PagesOfLines(CommandOutput(std::string("pdftotext -enc UTF-8 ") + options + " '" +
                                          pdfPath + "' - 2>/dev/null"));
  if (!pages.empty() && pages.back().empty()) pages.pop_back();
  return pages;
}

// The pages of a report's 8-bit text `bytes` as its PDF copy should read back
// (PagesOfLines).
inline std::vector<std::vector<std::string>> ReportTextPages(const std::string& bytes) {
  return PagesOfLines(platform::Cp1252ToUtf8(bytes));
}

// The pages of `pdfPath`, the PDF copy of the report file `reportPath` whose
// 8-bit text is `bytes`, read at the pitch and margin of its sheet.
inline std::vector<std::vector<std::string>> ReportPdfPages(const std::string& pdfPath,
                                                            const std::string& reportPath,
                                                            const std::string& bytes) {
  return PdfPages(pdfPath, SheetForReport(LayoutGeometry(LayoutForReportFile(reportPath)), bytes));
}

// Width and height in points of every page of a PDF file, from pdfinfo.
inline std::vector<std::pair<double, double>> PdfPageSizes(const std::string& pdfPath) {
  const std::string info = CommandOutput("pdfinfo -f 1 -l 100000 '" + pdfPath + "' 2>/dev/null");
  static const std::regex kSize(R"(Page +\d+ size: +([0-9.]+) x ([0-9.]+) pts)");
  std::vector<std::pair<double, double>> sizes;
  for (auto it = std::sregex_iterator(info.begin(), info.end(), kSize);
       it != std::sregex_iterator(); ++it) {
    sizes.emplace_back(std::stod((*it)[1]), std::stod((*it)[2]));
  }
  return sizes;
}

}  // namespace reports::testing
