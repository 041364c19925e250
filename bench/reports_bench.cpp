// Formats the rows of the comprehensive report's 30-column table and prints
// the rate in rows per second ("items_per_second"), page breaks, footers and
// repeated headings included.

#include <benchmark/benchmark.h>

#include <string>

#include "platform/clock.h"
#include "reports/page_layout.h"
#include "reports/report_text.h"

namespace {

// A log line, a segment line and a defect line, as the report writes them.
const char* const kRows[] = {
    "17|-|-|1|122|16|9|11|1|||40|7|*|Midpnt: 14|-|--|--|--|--|--|--|--|--|--|---| 36.4| 30.2|83",
    "|1|-|-|--|16|9|10|1|-|-|----|----|-|----------|-|--|--|--|--|--|--|--|--|--|---| 36.4| "
    "30.2|83| "
    "0.17",
    "||2|-|--|--|--|--|-|-|-|----|----|-|----------|R|4|6|0|0|8|0|0|--|--|---|  6.2||| 0.17",
};

void BM_FormatComprehensiveRows(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  const std::string layoutText = reports::kComprehensiveLayout;
  platform::FixedClock clock;
  size_t bytes = 0;
  for (auto _ : state) {
    reports::PageLayout layout(reports::PageLayout::ReportConstructionGeometry(), clock);
    layout.LoadLayout(layoutText);
    layout.StartPage();
    layout.TableHeading();
    for (int i = 0; i < rows; ++i) layout.FormatRow(kRows[i % 3], '|');
    layout.EndPage();
    const std::string report = layout.TakeText();
    bytes = report.size();
    benchmark::DoNotOptimize(report.data());
  }
  state.SetItemsProcessed(state.iterations() * rows);
  state.counters["report_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_FormatComprehensiveRows)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
