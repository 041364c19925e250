// The load import of varnolde-cli (the import command: read, check, write,
// journal, commit) of a 3P cubic load text of 1,000, 5,000, 20,000 and
// 80,000 logs into a new scale file made from the default setup. Every fifth
// log is a measured 32-foot sample log with two segments and a defect on its
// second segment. The import is linear in the size of the text: 80,000 logs
// should stay within 3 seconds, and each size within about 4.5 times the
// one before it (20,000 to 80,000).

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/commands.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/test_support.h"

namespace {

// A load text of `logs` logs in the import format.
std::string LoadText(int logs) {
  std::string text =
      "[Load]\nLoad[SALE:S,LLR:S,ST:S,SCALESYS:S,CFSAWCU:F,CFNONSAWCU:F,MINLEN:I,MAXLEN:I,"
      "MINDIA:I,MAXDIA:I]\ntitles\nBench,1,3P,Cubic,10,8,8,40,4,40\n"
      "[Log]\nLog[SALE:S,LLR:S,LOG:I,S:S,SP:S,P:I,KPI:I,RND:I,HIT:I,LN:I,SD:I,LD:I]\ntitles\n";
  std::string segs = "[Seg]\nSeg[SALE:S,LLR:S,LOG:I,S:S,P:I,Seg:I,LN:I,SD:I,LD:I]\ntitles\n";
  std::string defects = "[DefC]\nDefC[SALE:S,LLR:S,LOG:I,S:S,Seg:I,M:I,M1:I,LN:I]\ntitles\n";
  for (int i = 1; i <= logs; ++i) {
    const std::string log = "Bench,1," + std::to_string(i) + ",1,";
    if (i % 5 != 0) {
      text += log + "DF,1,30,40,0,,,\n";
      continue;
    }
    text += log + "DF,1,30,20,1,32,10,14\n";
    segs += log + "1,1,16,12,14\n" + log + "1,2,16,10,12\n";
    defects += log + "2,2,4,\n";
  }
  return text + segs + defects;
}

// One import of a text of state.range(0) logs per iteration, each into a
// new scale file.
void BM_ImportLoadText(benchmark::State& state) {
  const int logs = static_cast<int>(state.range(0));
  platform::testing::TempFolder folder;
  std::ofstream(folder / "load.txt", std::ios::binary) << LoadText(logs);
  platform::PosixFileSystem fs;
  platform::SystemClock clock;
  std::ostringstream out, err;
  cli::StderrUi ui(out, err, true);
  cli::Context ctx{out, ui, fs, clock, VARNOLDE_PROGRAM_DIR "/"};
  int run = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string scale = folder / ("load" + std::to_string(run++) + ".scl");
    if (!cli::Create(ctx, "", scale).ok) std::abort();
    state.ResumeTiming();
    const cli::Outcome outcome = cli::Import(ctx, scale, folder / "load.txt");
    if (!outcome.ok) {
      state.SkipWithError(outcome.reason.c_str());
      break;
    }
  }
  state.counters["logs"] = logs;
}
BENCHMARK(BM_ImportLoadText)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(20000)
    ->Arg(80000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
