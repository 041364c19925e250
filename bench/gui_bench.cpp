// The data entry dialog itself, as the scaler meets it: the real Qt dialog
// (offscreen) on 3P cubic loads of 5,000 and 20,000 logs (every fifth a
// measured sample log). Each figure includes the Qt side (the model's calls,
// column sizing, painting) after the screen's logic:
//   shown    - the dialog built, opened and painted (target 300 ms at 5,000)
//   Ctrl+L   - the load totals key (500 ms)
//   Save     - the "Save" button after one changed cell (50 ms)
//   append   - Ctrl+A, a new log row (30 ms)
// At 20,000 logs each target is three times as much. The totals and volume
// texts go to a scripted Ui, so no window waits for a click.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <clocale>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "app/application.h"
#include "gui/data_entry_dialog.h"
#include "gui/grid_view.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"
#include "platform/test_support.h"
#include "tablestore/table_store.h"

namespace {

// A scale file made from the default setup in a temporary folder, its Load
// row filled in and `logs` logs appended, opened in an Application.
class BenchLoad {
 public:
  explicit BenchLoad(int logs) {
    app_ = std::make_unique<app::Application>(ui_, fs_, clock_, folder_.path());
    const std::string path = folder_ / "load.scl";
    if (app_->files.CreateFromSetup(VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl", path) !=
        app::FileOutcome::kCreated) {
      std::abort();
    }
    Fill(logs);
    app_->files.CloseScaleFile();
    if (app_->files.OpenSequence(path) != app::FileOutcome::kOpened) std::abort();
  }
  app::Application& app() { return *app_; }

 private:
  void Fill(int logs) {
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
    for (int i = 0; i < logs; ++i) {
      const int row = store.AddRow(log, -1);
      const bool sample = i % 5 == 0;
      for (const auto& [column, value] :
           {std::pair<const char*, std::string>{"SALE", "Bench"},
            {"LLR", "1"},
            {"LOG", std::to_string(i + 1)},
            {"S", "1"},
            {"SP", "DF"},
            {"P", "1"},
            {"KPI", std::to_string(20 + i % 30)},
            {"RND", std::to_string(i % 60)},
            {"HIT", sample ? "1" : "0"},
            {"VOID", "0"},
            {"OverrideVolume", "0"}}) {
        set(log, row, column, value);
      }
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

app::Application& Load(int logs) {
  static std::map<int, std::unique_ptr<BenchLoad>> loads;
  std::unique_ptr<BenchLoad>& load = loads[logs];
  if (!load) load = std::make_unique<BenchLoad>(logs);
  return load->app();
}

// Everything the event loop has to do now: redraws, queued refreshes.
void Settle() {
  QApplication::processEvents();
  QApplication::processEvents();
}

// The dialog on `logs` logs, shown and painted, and closed again when it goes.
class ShownDialog {
 public:
  explicit ShownDialog(int logs) : dialog_(Load(logs)) {
    if (!dialog_.opened()) std::abort();
    dialog_.show();
    if (!QTest::qWaitForWindowExposed(&dialog_)) std::abort();
    Settle();
  }
  ~ShownDialog() { dialog_.done(QDialog::Accepted); }
  gui::DataEntryDialog& operator*() { return dialog_; }

 private:
  gui::DataEntryDialog dialog_;
};

void BM_DataEntryShown(benchmark::State& state) {
  for (auto _ : state) {
    auto shown = std::make_unique<ShownDialog>(static_cast<int>(state.range(0)));
    state.PauseTiming();  // closing writes the grid back: not part of showing
    shown.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DataEntryShown)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_CtrlL(benchmark::State& state) {
  ShownDialog shown(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    QTest::keyClick(&(*shown).logView(), Qt::Key_L, Qt::ControlModifier);
    Settle();
  }
}
BENCHMARK(BM_CtrlL)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State& state) {
  ShownDialog shown(static_cast<int>(state.range(0)));
  grid::CellGrid& logs = (*shown).screen().LogGrid();
  const int rem = logs.ColumnIndex("REM");
  int n = 0;
  for (auto _ : state) {
    logs.SetText(logs.DataRowCount() / 2, rem, "remark " + std::to_string(++n));
    (*shown).button(dataentry::Button::kSave).click();
    Settle();
  }
}
BENCHMARK(BM_Save)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_AppendRow(benchmark::State& state) {
  ShownDialog shown(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    QTest::keyClick(&(*shown).logView(), Qt::Key_A, Qt::ControlModifier);
    Settle();
  }
}
BENCHMARK(BM_AppendRow)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qtApp(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
