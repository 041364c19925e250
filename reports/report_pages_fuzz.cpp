// libFuzzer target: any bytes as a report file to print. Cutting them into
// sheets must neither crash nor give a sheet or a line larger than the sheet
// holds, nor a control character to draw.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "reports/char_text.h"
#include "reports/report_pages.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  // The first byte chooses the report, the rest is its text.
  const char* path = !input.empty() && input[0] % 2 == 0 ? "r.cmp" : "r.clg";
  if (!input.empty()) input.remove_prefix(1);
  const reports::PrintSheet sheet =
      reports::SheetForReport(reports::LayoutGeometry(reports::LayoutForReportFile(path)), input);
  Check(sheet.charsPerLine >= 1 && sheet.linesPerSheet >= 1);
  Check(sheet.left + sheet.charsPerLine * sheet.charPitch <= sheet.width + 1e-6);
  Check(sheet.top + sheet.linesPerSheet * sheet.linePitch <= sheet.height + 1e-6);
  for (const reports::SheetLines& lines : reports::ReportSheets(input, sheet)) {
    Check(lines.size() <= static_cast<size_t>(sheet.linesPerSheet));
    for (const std::string& line : lines) {
      Check(reports::CharCount(line) <= static_cast<size_t>(sheet.charsPerLine));
      for (char c : line) Check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
    }
  }
  return 0;
}
