// The taper window on a table of 10,000 tapers: opening it (filling the grid
// with its drop-down cells) and OK (checking every row and writing the grid
// back); both should stay well under a second.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/application.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"
#include "platform/test_support.h"
#include "setup/tapers_screen.h"
#include "tablestore/table_store.h"

namespace {

constexpr int kTapers = 10000;

// A scale file made from the default setup in a temporary folder whose
// Tapers table holds kTapers valid rows.
class BenchFile {
 public:
  BenchFile() {
    app_ = std::make_unique<app::Application>(ui_, fs_, clock_, folder_.path());
    if (app_->files.CreateFromSetup(VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl",
                                    folder_ / "load.scl") != app::FileOutcome::kCreated) {
      std::abort();
    }
    Fill();
  }
  app::Application& app() { return *app_; }

 private:
  void Fill() {
    tablestore::TableStore& store = *app_->store();
    const int slot = store.OpenAView("Tapers", false);
    if (slot < 0) std::abort();
    for (int i = 0; i < kTapers; ++i) {
      const int row = store.AddRow(slot, -1);
      const std::string values[] = {"DF", std::to_string(1 + i % 6), std::to_string(1 + i % 25),
                                    std::to_string(1 + i % 10), "0.12"};
      for (int c = 0; c < 5; ++c) (void)store.SetText(slot, row, c, values[c]);
    }
    if (store.ReleaseView(slot) != 0 || store.Commit() != 0) std::abort();
  }

  platform::testing::TempFolder folder_;  // outlives the file's store
  platform::ScriptedUi ui_;
  platform::PosixFileSystem fs_;
  platform::FixedClock clock_{platform::LocalDateTime{2026, 7, 15, 7, 42, 0}};
  std::unique_ptr<app::Application> app_;
};

BenchFile& File() {
  static BenchFile file;
  return file;
}

void BM_OpenTapers(benchmark::State& state) {
  for (auto _ : state) {
    setup::TapersScreen screen(File().app());
    if (screen.Open() != setup::TapersOpen::kOpened) std::abort();
    benchmark::DoNotOptimize(screen.Grid().RowCount());
  }
}
BENCHMARK(BM_OpenTapers)->Unit(benchmark::kMillisecond);

void BM_OkTapers(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    setup::TapersScreen screen(File().app());
    if (screen.Open() != setup::TapersOpen::kOpened) std::abort();
    state.ResumeTiming();
    if (!screen.OnOk()) std::abort();
  }
}
BENCHMARK(BM_OkTapers)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
