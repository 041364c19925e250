// Volumes of 100,000 random logs (1 to 5 segments, 0 to 4 defects), in the
// cubic and the board scale systems, and the load totals of a 1,000-log load
// through the table store. Prints logs per second.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "scaling/load_volumes.h"
#include "scaling/log_volume.h"

namespace {

constexpr int kLogs = 100000;

struct RandomLog {
  int ln = 0;
  int sd = 0;
  int ld = 0;
  int product = 1;
  std::vector<scaling::SegmentRecord> segments;
  std::vector<scaling::DefectRecord> defects;
};

RandomLog MakeLog(std::mt19937& random) {
  auto pick = [&random](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  RandomLog log;
  const int count = pick(1, 5);
  log.sd = pick(5, 30);
  log.ld = log.sd + pick(0, 3 * count);
  log.product = pick(1, 2);
  int top = log.sd;
  for (int i = count; i >= 1; --i) {
    scaling::SegmentRecord seg;
    seg.seg = i;
    seg.length = pick(8, 20);
    seg.smallEnd = top;
    seg.largeEnd = top + pick(0, 3);
    top = seg.largeEnd;
    log.ln += seg.length;
    log.segments.push_back(seg);
  }
  const int defects = pick(0, 4);
  for (int i = 0; i < defects; ++i) {
    scaling::DefectRecord d;
    d.seg = pick(0, count);
    d.method = pick(1, 5);
    d.measures = scaling::DefectMeasures{pick(0, 12), pick(0, 6), pick(0, 12),
                                         pick(0, 6),  pick(0, 8), pick(0, 50)};
    d.enteredVolume = static_cast<float>(pick(0, 40));
    log.defects.push_back(d);
  }
  return log;
}

const std::vector<RandomLog>& Logs() {
  static const std::vector<RandomLog> logs = [] {
    std::mt19937 random(20101105);
    std::vector<RandomLog> all;
    all.reserve(kLogs);
    for (int i = 0; i < kLogs; ++i) all.push_back(MakeLog(random));
    return all;
  }();
  return logs;
}

void ComputeAll(benchmark::State& state, const char* scaleSystem) {
  const std::vector<RandomLog>& logs = Logs();
  scaling::LogVolume volume;
  for (auto _ : state) {
    double net = 0;
    for (size_t i = 0; i < logs.size(); ++i) {
      const RandomLog& log = logs[i];
      volume.SetLog(log.ln, log.sd, log.ld, static_cast<int>(i), log.product, scaleSystem,
                    {4.0f, 6.0f, 0.3f, 0.5f});
      for (const auto& seg : log.segments) volume.AddSegment(seg);
      for (const auto& d : log.defects) volume.AddDefect(d);
      const scaling::LogRecord& result = volume.GetLog();
      net += result.netCubic + result.netBoard;
    }
    benchmark::DoNotOptimize(net);
  }
  state.counters["logs/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kLogs,
                                                benchmark::Counter::kIsRate);
}

void BM_CubicVolumes(benchmark::State& state) { ComputeAll(state, "Cubic"); }
void BM_BoardVolumes(benchmark::State& state) { ComputeAll(state, "Board"); }

BENCHMARK(BM_CubicVolumes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BoardVolumes)->Unit(benchmark::kMillisecond);

constexpr int kLoadLogs = 1000;

// A row of `table` with `values` in its first columns.
void Append(tablestore::TableStore& store, int slot, const std::vector<std::string>& values) {
  const int row = store.AddRow(slot, -1);
  for (size_t c = 0; c < values.size(); ++c)
    store.SetText(slot, row, static_cast<int>(c), values[c]);
}

// A scale file with one cubic load of kLoadLogs logs, the first kLogs random
// logs with their segments and defects.
void FillLoad(tablestore::TableStore& store) {
  store.DefineTable(
      "Load[SALE:S,LLR:S,ST:S,SCALESYS:S,CFSAWCU:F,CFNONSAWCU:F,CFSAWBD:F,CFNONSAWBD:F]");
  store.DefineTable(
      "Log[SALE:S,LLR:S,LOG:I,S:S,P:I,LN:I,SD:I,LD:I,GCV:F,NCV:F,VOID:I,OverrideVolume:I]");
  store.DefineTable("Seg[SALE:S,LLR:S,LOG:I,S:S,P:I,Seg:I,LN:I,SD:I,LD:I]");
  store.DefineTable("DefC[SALE:S,LLR:S,LOG:I,S:S,Seg:I,M:I,M1:I,M2:I,M3:I,M4:I,LN:I,PCT:I]");
  Append(store, store.OpenAView("Load", false),
         {"S1", "L1", "100", "Cubic", "4", "6", "0.3", "0.5"});
  const int logSlot = store.OpenAView("Log", false);
  const int segSlot = store.OpenAView("Seg", false);
  const int defSlot = store.OpenAView("DefC", false);
  for (int i = 0; i < kLoadLogs; ++i) {
    const RandomLog& log = Logs()[i];
    const std::string n = std::to_string(i + 1);
    Append(store, logSlot,
           {"S1", "L1", n, "1", std::to_string(log.product), std::to_string(log.ln),
            std::to_string(log.sd), std::to_string(log.ld)});
    for (const auto& s : log.segments) {
      Append(store, segSlot,
             {"S1", "L1", n, "1", "1", std::to_string(s.seg), std::to_string(s.length),
              std::to_string(s.smallEnd), std::to_string(s.largeEnd)});
    }
    for (const auto& d : log.defects) {
      const auto& m = d.measures;
      Append(store, defSlot,
             {"S1", "L1", n, "1", std::to_string(d.seg), std::to_string(d.method),
              std::to_string(m.m1), std::to_string(m.m2), std::to_string(m.m3),
              std::to_string(m.m4), std::to_string(m.length), std::to_string(m.percent)});
    }
  }
  store.Commit();
}

void BM_LoadTotals(benchmark::State& state) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("scaling_bench_" + std::to_string(::getpid()) + ".scl");
  std::filesystem::remove(path);
  {
    tablestore::TableStore store;
    store.Open(path.string(), false);
    FillLoad(store);
    for (auto _ : state) {
      scaling::LoadTotalsWindow window;
      benchmark::DoNotOptimize(scaling::RefreshLoadTotals(store, "S1", "L1", &window));
    }
  }
  std::filesystem::remove(path);
  state.counters["logs/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kLoadLogs,
                                                benchmark::Counter::kIsRate);
}

BENCHMARK(BM_LoadTotals)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
