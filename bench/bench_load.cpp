#include "bench/bench_load.h"

#include <cstdlib>
#include <string>
#include <utility>

#include "tablestore/table_store.h"

namespace bench {

BenchLoad::BenchLoad(int logs) {
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

void BenchLoad::Fill(int logs) {
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

}  // namespace bench
