// Table store figures: Select with criteria and a sort over a 100,000-row Log
// (beside the engine's own selection over the same rows, to show what the
// table layer adds per row), and 10,000 KeyRetrieve reads of Globals.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "mkstore/view.h"
#include "tablestore/table_store.h"

namespace {

constexpr int kLogRows = 100000;
constexpr int kSettingReads = 10000;

std::string ScratchFile(const char* name) {
  std::string dir = (std::filesystem::temp_directory_path() / "tablestore-bench-XXXXXX").string();
  if (mkdtemp(dir.data()) == nullptr) std::abort();
  return dir + "/" + name;
}

// A store with Log (kLogRows rows over 20 sales x 10 landings, one log in 8
// void) and Globals (40 settings) in the open file; never committed.
struct Fixture {
  tablestore::TableStore store;
  int log = -1;
  int globals = -1;

  Fixture() {
    if (store.Open(ScratchFile("bench.scl"), false) != 0) std::abort();
    store.DefineTable("Log[SALE:S,LLR:S,LOG:I,LN:I,SD:I,LD:I,VOID:I,GCV:F,NCV:F]");
    store.DefineTable("Globals[Block:S,Key:S,Value:S]");
    log = store.OpenAView("Log", false);
    for (int i = 0; i < kLogRows; ++i) {
      const int r = store.AddRow(log, -1);
      store.SetText(log, r, 0, "SALE" + std::to_string(i % 20));
      store.SetText(log, r, 1, std::to_string(i % 10));
      store.SetInt(log, r, 2, i);
      store.SetInt(log, r, 3, 8 + (i * 7) % 33);
      store.SetInt(log, r, 6, i % 8 == 0 ? 1 : 0);
      store.SetFloat(log, r, 7, static_cast<float>(i % 100) / 4);
    }
    globals = store.OpenAView("Globals", false);
    for (int i = 0; i < 40; ++i) {
      const int r = store.AddRow(globals, -1);
      store.SetText(globals, r, 0, i < 20 ? "System" : "Option");
      store.SetText(globals, r, 1, "Key" + std::to_string(i));
      store.SetText(globals, r, 2, "Value" + std::to_string(i));
    }
  }
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_SelectSaleLlrLiveSorted(benchmark::State& state) {
  Fixture& f = Shared();
  char criteria[64];
  std::snprintf(criteria, sizeof criteria, "SALE=%s,LLR=%s,VOID=0", "SALE7", "7");
  int rows = 0;
  for (auto _ : state) {
    const int slot = f.store.Select("Log", "", criteria, "LN", "DLog", "");
    rows = f.store.RowCount(slot);
    f.store.ReleaseView(slot);
  }
  state.counters["rows"] = rows;
  state.SetItemsProcessed(state.iterations() * kLogRows);
}
BENCHMARK(BM_SelectSaleLlrLiveSorted)->Unit(benchmark::kMillisecond);

// The same rows in a standalone engine view, selected and sorted by the
// engine directly: the floor the table layer's Select is measured against.
mk::View& EngineLog() {
  static mk::View view = [] {
    mk::View v = mk::View::Create({{"SALE", mk::PropertyType::kString, {}},
                                   {"LLR", mk::PropertyType::kString, {}},
                                   {"LOG", mk::PropertyType::kInt, {}},
                                   {"LN", mk::PropertyType::kInt, {}},
                                   {"VOID", mk::PropertyType::kInt, {}}});
    v.SetSize(kLogRows);
    for (int i = 0; i < kLogRows; ++i) {
      v.SetString(i, 0, "SALE" + std::to_string(i % 20));
      v.SetString(i, 1, std::to_string(i % 10));
      v.SetInt(i, 2, i);
      v.SetInt(i, 3, 8 + (i * 7) % 33);
      v.SetInt(i, 4, i % 8 == 0 ? 1 : 0);
    }
    return v;
  }();
  return view;
}

void BM_EngineSelectSorted(benchmark::State& state) {
  const mk::View& log = EngineLog();
  const mk::Criteria criteria = {
      {"SALE", std::string("SALE7")}, {"LLR", std::string("7")}, {"VOID", int64_t{0}}};
  int rows = 0;
  for (auto _ : state) {
    rows = log.Select(criteria).SortOn({"LN"}).RowCount();
  }
  state.counters["rows"] = rows;
  state.SetItemsProcessed(state.iterations() * kLogRows);
}
BENCHMARK(BM_EngineSelectSorted)->Unit(benchmark::kMillisecond);

void BM_KeyRetrieveGlobalsOpen(benchmark::State& state) {
  Fixture& f = Shared();
  std::string value;
  for (auto _ : state) {
    for (int i = 0; i < kSettingReads; ++i) {
      f.store.KeyRetrieve("Globals", "Block=Option,Key=Key33", "Value", value, false);
    }
  }
  if (value != "Value33") state.SkipWithError("wrong value read");
  state.SetItemsProcessed(state.iterations() * kSettingReads);
}
BENCHMARK(BM_KeyRetrieveGlobalsOpen)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
