// Grid binding figures over a 5,000-row, 25-column Log shown through the
// LogEntry projection, as the data entry screen shows it: filling the grid,
// and writing it back in step with nothing changed, with one column of every
// row changed, and with a row deleted and another appended.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "grid/cell_grid.h"
#include "grid/grid_binding.h"
#include "platform/test_support.h"
#include "tablestore/table_store.h"

namespace {

constexpr int kLogRows = 5000;
constexpr char kLogDesc[] =
    "Log[SALE:S,LLR:S,LOG:I,S:I,SP:S,P:S,UOM:S,LN:I,SD:I,LD:I,KPI:I,RND:F,HIT:S,B:S,GCV:F,"
    "NCV:F,GBV:F,NBV:F,VOID:I,REM:S,OverrideVolume:I,SkipSeg:I,M1:I,M2:I,CODE:S]";

// An open file with kLogRows logs, the LogEntry view over every column and a
// grid bound to it; never committed.
struct Fixture {
  platform::testing::TempFolder folder;  // outlives the store
  tablestore::TableStore store;
  grid::CellGrid grid;
  grid::GridBinding binding{store, grid};
  int entry = -1;

  Fixture() {
    if (store.Open(folder / "bench.scl", false) != 0) std::abort();
    if (store.DefineTable(kLogDesc) != 0) std::abort();
    const int log = store.OpenAView("Log", false);
    for (int i = 0; i < kLogRows; ++i) {
      const int r = store.AddRow(log, -1);
      store.SetText(log, r, 0, "SALE" + std::to_string(i % 20));
      store.SetInt(log, r, 2, i + 1);
      store.SetText(log, r, 4, i % 2 == 0 ? "DF" : "WH");
      store.SetInt(log, r, 7, 16 + i % 25);
      store.SetInt(log, r, 8, 8 + i % 20);
      store.SetInt(log, r, 9, 10 + i % 20);
      store.SetFloat(log, r, 14, static_cast<float>(i % 100) / 4);
      store.SetText(log, r, 19, "remark " + std::to_string(i));
    }
    entry = store.Select("Log", "", "", "", "LogEntry", "");
    if (entry < 0 || binding.Bind(entry, "") != 0) std::abort();
  }
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_FillGrid(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    if (f.binding.Fill() != 0) state.SkipWithError("Fill failed");
  }
  state.counters["cells"] = f.grid.DataRowCount() * f.grid.ColumnCount();
  state.SetItemsProcessed(state.iterations() * kLogRows);
}
BENCHMARK(BM_FillGrid)->Unit(benchmark::kMillisecond);

void BM_WriteBackInStepUnchanged(benchmark::State& state) {
  Fixture& f = Shared();
  f.binding.Fill();
  for (auto _ : state) {
    if (f.binding.WriteBackInStep() != 0) state.SkipWithError("write-back failed");
  }
  state.SetItemsProcessed(state.iterations() * kLogRows);
}
BENCHMARK(BM_WriteBackInStepUnchanged)->Unit(benchmark::kMillisecond);

void BM_WriteBackInStepOneColumnChanged(benchmark::State& state) {
  Fixture& f = Shared();
  f.binding.Fill();
  const int kpi = f.binding.Column("KPI");
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ++round;
    for (int r = 1; r < f.grid.RowCount(); ++r) f.grid.SetText(r, kpi, std::to_string(round));
    state.ResumeTiming();
    if (f.binding.WriteBackInStep() != 0) state.SkipWithError("write-back failed");
  }
  state.SetItemsProcessed(state.iterations() * kLogRows);
}
BENCHMARK(BM_WriteBackInStepOneColumnChanged)->Unit(benchmark::kMillisecond);

// The first row leaves the grid and a new row is appended: one removal and
// one append in the table, every row renumbered.
void BM_WriteBackInStepDeleteAndAppend(benchmark::State& state) {
  Fixture& f = Shared();
  f.binding.Fill();
  for (auto _ : state) {
    state.PauseTiming();
    f.grid.DeleteRow(1);
    f.grid.SetText(f.binding.AppendRow(), f.binding.Column("LN"), "20");
    state.ResumeTiming();
    if (f.binding.WriteBackInStep() != 0) state.SkipWithError("write-back failed");
  }
  state.counters["rows"] = f.store.RowCount(f.entry);
  state.SetItemsProcessed(state.iterations() * kLogRows);
}
BENCHMARK(BM_WriteBackInStepDeleteAndAppend)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
