// Volumes of 100,000 random logs (1 to 5 segments, 0 to 4 defects), in the
// cubic and the board scale systems. Prints logs per second.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

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
      volume.SetLog(log.ln, log.sd, log.ld, static_cast<int>(i), log.product, scaleSystem, 4.0f,
                    6.0f, 0.3f, 0.5f);
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

}  // namespace

BENCHMARK_MAIN();
