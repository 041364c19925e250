// libFuzzer target: any layout text, then a short report through it. The
// formatter must neither crash nor allocate without bound, and the page state
// must stay consistent.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "reports/page_layout.h"

namespace {

// A report text far beyond what any input of the fuzzer's size may produce
// means the limits leak.
constexpr size_t kReportLimit = size_t{256} << 20;

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // The text after the first NUL (if any) feeds the rows, so that rows and
  // layout are fuzzed together.
  const size_t split = input.find('\0');
  const std::string_view layoutText = input.substr(0, split);
  const std::string_view rows =
      split == std::string_view::npos ? std::string_view("1|2|3") : input.substr(split + 1);

  platform::FixedClock clock;
  reports::PageLayout layout(reports::PageLayout::ReportConstructionGeometry(), clock);
  const int result = layout.LoadLayout(layoutText);
  Check(result == 0 || result == -1 || result == -2);
  Check(layout.linesPerPage() >= 0 && layout.linesPerPage() <= reports::PageLayout::kMaxExtent);
  Check(layout.charsPerLine() >= 0 && layout.charsPerLine() <= reports::PageLayout::kMaxExtent);

  layout.AddHeaderLine(layoutText.substr(0, 40), "center", "[SUB:page]");
  layout.StartPage();
  layout.TableHeading();
  for (int i = 0; i < 3; ++i) layout.FormatRow(rows, '|');
  layout.Rule('-', 't', 0, 0);
  layout.Rule('=', 'b', 0, 0);
  layout.Paragraph(rows, 3, -1);
  layout.BlankLines(4);
  layout.SelectTable(rows.substr(0, 8));
  layout.FormatRow(rows, ',');
  layout.PageBreak();
  layout.EndPage();
  Check(layout.text().size() < kReportLimit);
  Check(layout.pageNumber() >= 2);
  return 0;
}
