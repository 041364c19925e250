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

#include "bench/bench_load.h"
#include "gui/data_entry_dialog.h"
#include "gui/grid_view.h"

namespace {

app::Application& Load(int logs) {
  static std::map<int, std::unique_ptr<bench::BenchLoad>> loads;
  std::unique_ptr<bench::BenchLoad>& load = loads[logs];
  if (!load) load = std::make_unique<bench::BenchLoad>(logs);
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
