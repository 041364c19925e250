// The whole report run (comprehensive report, log report and Brevanta file,
// the audit before them included) over a scale file with one 3P load of
// 1,000 logs and one of 10,000 logs. Prints the time of one run of each; the
// 10,000-log run should stay under one second and within 12 times the
// 1,000-log run (a run is linear in the size of the load).

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/mem_file_system.h"
#include "platform/scripted_ui.h"
#include "reports/report_run.h"
#include "tablestore/table_store.h"

namespace {

constexpr char kLoadDesc[] =
    "Load[SALE:S,LLR:S,REGION:S,FOREST:S,DISTRICT:S,ST:S,SCALESYS:S,CFSAWCU:F,CFNONSAWCU:F,"
    "SDATE:S,STIME:S,SCALER:S]";
constexpr char kLogDesc[] =
    "Log[SALE:S,LLR:S,LOG:I,S:S,SP:S,P:I,G:I,B:S,LN:I,SD:I,LD:I,KPI:I,RND:I,HIT:I,REM:S,GCV:F,"
    "NCV:F,VOID:I,OverrideVolume:I]";
constexpr char kSegDesc[] = "Seg[SALE:S,LLR:S,LOG:I,S:S,P:I,Seg:I,LN:I,SD:I,LD:I]";
constexpr char kDefCDesc[] =
    "DefC[SALE:S,LLR:S,LOG:I,S:S,Seg:I,M:I,M1:I,M2:I,M3:I,M4:I,LN:I,PCT:I]";

// A scale file in a temporary folder with one 3P load of `logs` logs: every
// fifth log a sample, every tenth cut into two splits, 32-foot logs with two
// segment rows, and a defect on segment 2 of every third log.
class BenchFile {
 public:
  explicit BenchFile(int logs) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "reports-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
    path_ = folder_ + "/bench.scl";
    store_.Open(path_, false);
    for (const char* desc : {"Globals[Block:S,Key:S,Value:S]", kLoadDesc, kLogDesc, kSegDesc,
                             kDefCDesc, "KZ[P:I,SP:S,KZ:I]"}) {
      store_.DefineTable(desc);
    }
    Add("Load", {{"SALE", "S1"},
                 {"LLR", "1001"},
                 {"ST", "3P"},
                 {"SCALESYS", "Cubic"},
                 {"CFSAWCU", "2.0"},
                 {"CFNONSAWCU", "0.5"}});
    const int log = store_.OpenAView("Log", false);
    const int seg = store_.OpenAView("Seg", false);
    const int def = store_.OpenAView("DefC", false);
    const char* species[] = {"DF", "WH", "RC", "PP"};
    for (int n = 1; n <= logs; ++n) {
      const bool sample = n % 5 == 0;
      const int splits = n % 10 == 0 ? 2 : 1;
      for (int s = 1; s <= splits; ++s) {
        const std::string split = std::to_string(s);
        Row(log, {{"SALE", "S1"},
                  {"LLR", "1001"},
                  {"LOG", std::to_string(n)},
                  {"S", split},
                  {"SP", species[n % 4]},
                  {"P", n % 3 == 0 ? "2" : "1"},
                  {"LN", "32"},
                  {"SD", "12"},
                  {"LD", "16"},
                  {"KPI", s == 1 ? "40" : "0"},
                  {"RND", std::to_string(n % 97)},
                  {"HIT", sample ? (s == 1 ? "1" : "-1") : "0"},
                  {"REM", n % 7 == 0 ? "Midpoint diameter: 14" : ""}});
        for (int k = 1; k <= 2; ++k) {
          Row(seg, {{"SALE", "S1"},
                    {"LLR", "1001"},
                    {"LOG", std::to_string(n)},
                    {"S", split},
                    {"Seg", std::to_string(k)},
                    {"LN", "16"},
                    {"SD", k == 1 ? "14" : "12"},
                    {"LD", k == 1 ? "16" : "14"}});
        }
        if (n % 3 == 0) {
          Row(def, {{"SALE", "S1"},
                    {"LLR", "1001"},
                    {"LOG", std::to_string(n)},
                    {"S", split},
                    {"Seg", "2"},
                    {"M", "4"},
                    {"PCT", "10"}});
        }
      }
    }
    store_.ReleaseView(def);
    store_.ReleaseView(seg);
    store_.ReleaseView(log);
    store_.Commit();
    context_.store = &store_;
    context_.ui = &ui_;
    context_.files = &files_;
    context_.clock = &clock_;
    context_.scaleFilePath = path_;
  }

  ~BenchFile() {
    store_.Close();
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }

  int Run() {
    ReportsChoice();
    return reports::GenerateReports(context_, choice_, " bench").ran ? 1 : 0;
  }

 private:
  using Values = std::map<std::string, std::string>;

  void ReportsChoice() { choice_.comprehensive = choice_.logReport = choice_.brevanta = true; }

  void Row(int slot, const Values& values) {
    const int row = store_.AddRow(slot, -1);
    for (const auto& [name, value] : values) {
      store_.SetText(slot, row, store_.ColumnIndex(slot, name), value);
    }
  }

  void Add(const std::string& table, const Values& values) {
    const int slot = store_.OpenAView(table, false);
    Row(slot, values);
    store_.ReleaseView(slot);
  }

  std::string folder_;
  std::string path_;
  platform::FixedClock clock_;
  platform::MemFileSystem files_;
  platform::ScriptedUi ui_;
  tablestore::TableStore store_;
  reports::ReportContext context_;
  reports::ReportChoice choice_;
};

void BM_ReportRun(benchmark::State& state) {
  BenchFile file(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (file.Run() != 1) state.SkipWithError("the report run failed");
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReportRun)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
