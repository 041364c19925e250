// The data entry screen on a 3P cubic load of 5,000 logs (every fifth a
// sample log, measured): opening the screen (should stay under 300 ms),
// "Save" after one changed cell (under 50 ms), the load totals of Ctrl+L
// (under 500 ms), and storing a finished log as the scaler leaves its row
// (under 20 ms).

#include <benchmark/benchmark.h>

#include <string>

#include "bench/bench_load.h"
#include "dataentry/data_entry_screen.h"

namespace {

constexpr int kLogs = 5000;

bench::BenchLoad& Load() {
  static bench::BenchLoad load(kLogs);
  return load;
}

void BM_OpenScreen(benchmark::State& state) {
  for (auto _ : state) {
    dataentry::DataEntryScreen screen(Load().app(), nullptr);
    if (screen.Open() != dataentry::DataEntryOpen::kOpened) state.SkipWithError("Open failed");
    benchmark::DoNotOptimize(screen.LogGrid().RowCount());
  }
}
BENCHMARK(BM_OpenScreen)->Unit(benchmark::kMillisecond);

// The screen open on the load, with a way to change the remark of the log
// in the middle of it.
class OpenLoad {
 public:
  explicit OpenLoad(benchmark::State& state) : screen_(Load().app(), nullptr) {
    if (screen_.Open() != dataentry::DataEntryOpen::kOpened) state.SkipWithError("Open failed");
    rem_ = screen_.LogGrid().ColumnIndex("REM");
  }
  // The bench's load is thrown away after the run; a failed write there
  // changes no figure.
  ~OpenLoad() { static_cast<void>(screen_.Close()); }
  dataentry::DataEntryScreen& screen() { return screen_; }
  void Remark(int row) { screen_.LogGrid().SetText(row, rem_, "remark " + std::to_string(++n_)); }
  int rem() const { return rem_; }

 private:
  dataentry::DataEntryScreen screen_;
  int rem_ = -1;
  int n_ = 0;
};

void BM_SaveOneChangedCell(benchmark::State& state) {
  OpenLoad load(state);
  for (auto _ : state) {
    load.Remark(2500);
    if (!load.screen().OnSave()) state.SkipWithError("Save failed");
  }
}
BENCHMARK(BM_SaveOneChangedCell)->Unit(benchmark::kMillisecond);

// A remark changed on a log in the middle of the load, then Down to the next
// row: the row left is written back on its own and committed.
void BM_RowLeaveCommit(benchmark::State& state) {
  OpenLoad load(state);
  grid::CellGrid& logs = load.screen().LogGrid();
  for (auto _ : state) {
    state.PauseTiming();
    logs.SetCurrentCell(2500, load.rem());
    load.Remark(2500);
    state.ResumeTiming();
    logs.SetCurrentCell(2501, load.rem());
  }
}
BENCHMARK(BM_RowLeaveCommit)->Unit(benchmark::kMillisecond);

void BM_LoadTotals(benchmark::State& state) {
  dataentry::DataEntryScreen screen(Load().app(), nullptr);
  if (screen.Open() != dataentry::DataEntryOpen::kOpened) state.SkipWithError("Open failed");
  for (auto _ : state) screen.OnLoadTotals();
  if (!screen.Close()) state.SkipWithError("Close failed");
}
BENCHMARK(BM_LoadTotals)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
