// Formats the rows of the comprehensive report's 30-column table and prints
// the rate in rows per second ("items_per_second"), page breaks, footers and
// repeated headings included.

#include <benchmark/benchmark.h>

#include <string>

#include "platform/clock.h"
#include "reports/page_layout.h"

namespace {

std::string ComprehensiveLayout() {
  std::string text =
      "VERSION=PL1.0.0\n"
      "PAGE=10.5,9.5,13,0.500000,0.500000,0.500000,0.500000,6,-1,-1\n"
      "FOOTER=,,Page: [SUB:page]\n"
      "SUBSTITUTION=[SUB:StandID],Cubic Test Logs\n"
      "TABLE=vol,0," +
      std::string(52, ' ') + "----------CUFT--------- --BDFT---,1\n";
  const char* columns[] = {
      "Log #,4,r,, ,1,5",   "Seg #,1,l,, ,1,5",   "D Meth,1,l,, ,1,6",   "Split,1,l,, ,1,5",
      "Spec,2,r,, ,1,5",    "Len,2,r,, ,1,5",     "SED,2,r,, ,1,5",      "LED,2,r,, ,1,5",
      "Prod,2,r,, ,1,5",    "Grade,1,r,, ,1,5",   "Butt,1,r,, ,1,5",     "KPI,4,r,, ,1,5",
      "Rand #,4,r,, ,1,6",  "Hit,1,r,, ,1,5",     "Remarks,10,l,, ,0,5", "Type,1,r,, ,1,5",
      "Meas1,2,r,, ,1,5",   "Meas2,2,r,, ,1,5",   "Meas3,2,r,, ,1,5",    "Meas4,2,r,, ,1,5",
      "Len,2,r,, ,1,5",     "P Dedu,2,r,, ,1,6",  "P Loss,2,r,, ,1,6",   "Len,2,r,, ,1,5",
      "Diam,2,r,, ,1,5",    "Vol,3,r,, ,1,5",     "Gr CuFt,6,r,, ,0,5",  "Net CuFt,6,r,, ,0,5",
      "N/G Pct,4,r,, ,0,5", "Def Fact,6,r,, ,0,5"};
  for (const char* column : columns) text += std::string("COLUMN=") + column + "\n";
  return text;
}

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
  const std::string layoutText = ComprehensiveLayout();
  platform::FixedClock clock;
  size_t bytes = 0;
  for (auto _ : state) {
    reports::PageLayout layout(reports::PageLayout::ReportConstructionGeometry(), clock);
    layout.LoadLayout(layoutText);
    std::string report;
    layout.StartPage(report);
    layout.TableHeading(report);
    for (int i = 0; i < rows; ++i) layout.FormatRow(report, kRows[i % 3], '|');
    layout.EndPage(report);
    bytes = report.size();
    benchmark::DoNotOptimize(report.data());
  }
  state.SetItemsProcessed(state.iterations() * rows);
  state.counters["report_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_FormatComprehensiveRows)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
