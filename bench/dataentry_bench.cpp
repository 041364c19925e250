// The data entry screen on a 3P cubic load of 5,000 logs (every fifth a
// sample log, measured): opening the screen (should stay under 300 ms),
// "Save" after one changed cell (under 50 ms), the load totals of Ctrl+L
// (under 500 ms), and storing a finished log as the scaler leaves its row
// (under 20 ms).

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/application.h"
#include "dataentry/data_entry_screen.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"
#include "platform/test_support.h"
#include "tablestore/table_store.h"

namespace {

constexpr int kLogs = 5000;

// A scale file made from the default setup in a temporary folder, its Load
// row filled in and `kLogs` logs appended, opened in an Application.
class BenchLoad {
 public:
  BenchLoad() {
    app_ = std::make_unique<app::Application>(ui_, fs_, clock_, folder_.path());
    const std::string path = folder_ / "load.scl";
    if (app_->files.CreateFromSetup(VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl", path) !=
        app::FileOutcome::kCreated) {
      std::abort();
    }
    Fill();
    app_->files.CloseScaleFile();
    if (app_->files.OpenSequence(path) != app::FileOutcome::kOpened) std::abort();
  }
  app::Application& app() { return *app_; }

 private:
  void Fill() {
    tablestore::TableStore& store = *app_->store();
    const int load = app_->slots().load, log = app_->slots().log;
    const auto set = [&](int slot, int row, const char* column, const std::string& value) {
      if (store.SetText(slot, row, store.ColumnIndex(slot, column), value) != 0) std::abort();
    };
    for (const auto& [column, value] : {std::pair<const char*, const char*>{"SALE", "Bench"},
                                        {"LLR", "1"},
                                        {"ST", "3P"},
                                        {"SCALESYS", "Cubic"}}) {
      set(load, 0, column, value);
    }
    for (int i = 0; i < kLogs; ++i) {
      const int row = store.AddRow(log, -1);
      const bool sample = i % 5 == 0;
      set(log, row, "SALE", "Bench");
      set(log, row, "LLR", "1");
      set(log, row, "LOG", std::to_string(i + 1));
      set(log, row, "S", "1");
      set(log, row, "SP", "DF");
      set(log, row, "P", "1");
      set(log, row, "KPI", std::to_string(20 + i % 30));
      set(log, row, "RND", std::to_string(i % 60));
      set(log, row, "HIT", sample ? "1" : "0");
      set(log, row, "VOID", "0");
      set(log, row, "OverrideVolume", "0");
      if (!sample) continue;
      set(log, row, "LN", std::to_string(16 + i % 24));
      set(log, row, "SD", std::to_string(8 + i % 6));
      set(log, row, "LD", std::to_string(14 + i % 6));
    }
    if (store.Commit() != 0) std::abort();
  }

  platform::testing::TempFolder folder_;  // outlives the file's store
  platform::ScriptedUi ui_;
  platform::PosixFileSystem fs_;
  platform::FixedClock clock_;
  std::unique_ptr<app::Application> app_;
};

BenchLoad& Load() {
  static BenchLoad load;
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
