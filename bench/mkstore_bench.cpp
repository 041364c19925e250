// Figures for the storage engine on a Log-like view of 100,000 rows:
// opening and reading every value (against reading the file's bytes),
// selecting, sorting, a one-value commit (bytes written) and the file size
// after 100 such commits against the packed size.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>

#include "mkstore/file.h"
#include "mkstore/storage.h"

namespace {

constexpr int kRows = 100000;
const char* const kDescription =
    "Log[SALE:S,LLR:S,LOG:I,S:S,SP:S,P:I,LN:I,SD:I,LD:I,KPI:I,RND:I,HIT:I,GCV:F,NCV:F,VOID:I,REM:"
    "S]";

// Counts the bytes written through the real file system.
class CountingFileSystem : public mk::FileSystem {
 public:
  class CountingFile : public mk::File {
   public:
    CountingFile(std::unique_ptr<mk::File> f, int64_t* counter)
        : f_(std::move(f)), counter_(counter) {}
    mk::Status Size(uint64_t* size) override { return f_->Size(size); }
    mk::Status Read(uint64_t offset, size_t n, std::string* out) override {
      return f_->Read(offset, n, out);
    }
    mk::Status Write(uint64_t offset, std::string_view data) override {
      *counter_ += static_cast<int64_t>(data.size());
      return f_->Write(offset, data);
    }
    mk::Status Sync() override { return f_->Sync(); }

   private:
    std::unique_ptr<mk::File> f_;
    int64_t* counter_;
  };

  mk::Status Open(const std::string& path, Mode mode, std::unique_ptr<mk::File>* result) override {
    std::unique_ptr<mk::File> f;
    mk::Status s = base_->Open(path, mode, &f);
    if (s.ok()) *result = std::make_unique<CountingFile>(std::move(f), &written);
    return s;
  }
  bool Exists(const std::string& path) override { return base_->Exists(path); }
  mk::Status Rename(const std::string& from, const std::string& to) override {
    return base_->Rename(from, to);
  }
  mk::Status Remove(const std::string& path) override { return base_->Remove(path); }

  int64_t written = 0;

 private:
  mk::FileSystem* base_ = mk::FileSystem::Default();
};

std::string BenchPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("mkstore_bench_" + name + ".mk")).string();
}

// Writes the Log view with plausible scaling data, packed.
void BuildLogFile(const std::string& path) {
  std::filesystem::remove(path);
  std::unique_ptr<mk::Storage> s;
  if (!mk::Storage::Open(path, &s).ok() || !s->Restructure(kDescription).ok()) std::abort();
  mk::View log = s->GetView("Log");
  log.SetSize(kRows);
  std::mt19937 rng(42);
  const char* species[] = {"DF", "WH", "RC", "SS", "LP", "PP", "WF", "AF"};
  for (int r = 0; r < kRows; ++r) {
    log.SetString(r, 0, "SALE" + std::to_string(r / 20000));
    log.SetString(r, 1, std::to_string(1000 + r / 40));
    log.SetInt(r, 2, r % 40 + 1);
    log.SetString(r, 3, species[rng() % 8]);
    log.SetString(r, 4, std::to_string(rng() % 3 + 1) + species[rng() % 8]);
    log.SetInt(r, 5, static_cast<int>(rng() % 5));
    log.SetInt(r, 6, static_cast<int>(rng() % 40 + 8));
    log.SetInt(r, 7, static_cast<int>(rng() % 30 + 5));
    log.SetInt(r, 8, static_cast<int>(rng() % 40 + 6));
    log.SetInt(r, 9, static_cast<int>(rng() % 1000));
    log.SetInt(r, 10, static_cast<int>(rng()));
    log.SetInt(r, 11, static_cast<int>(rng() % 2));
    log.SetFloat(r, 12, static_cast<float>(rng() % 100000) / 1000.0f);
    log.SetFloat(r, 13, static_cast<float>(rng() % 90000) / 1000.0f);
    log.SetInt(r, 14, rng() % 50 == 0 ? 1 : 0);
    if (rng() % 10 == 0) log.SetString(r, 15, "check butt rot");
  }
  if (!s->CommitPacked().ok()) std::abort();
}

const std::string& LogFile() {
  static const std::string path = [] {
    const std::string p = BenchPath("log");
    BuildLogFile(p);
    return p;
  }();
  return path;
}

void BM_ReadFileBytes(benchmark::State& state) {
  const std::string& path = LogFile();
  for (auto _ : state) {
    std::unique_ptr<mk::File> f;
    uint64_t size = 0;
    std::string bytes;
    if (!mk::FileSystem::Default()->Open(path, mk::FileSystem::Mode::kRead, &f).ok() ||
        !f->Size(&size).ok() || !f->Read(0, size, &bytes).ok()) {
      std::abort();
    }
    benchmark::DoNotOptimize(bytes.data());
  }
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(path));
}
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond);

// Opening alone (no value read): the part of the figure below spent decoding.
void BM_OpenOnly(benchmark::State& state) {
  const std::string& path = LogFile();
  for (auto _ : state) {
    std::unique_ptr<mk::Storage> s;
    if (!mk::Storage::Open(path, &s).ok()) std::abort();
    benchmark::DoNotOptimize(s->GetView("Log").RowCount());
  }
}
BENCHMARK(BM_OpenOnly)->Unit(benchmark::kMillisecond);

void BM_OpenAndReadEveryValue(benchmark::State& state) {
  const std::string& path = LogFile();
  for (auto _ : state) {
    std::unique_ptr<mk::Storage> s;
    if (!mk::Storage::Open(path, &s).ok()) std::abort();
    mk::View log = s->GetView("Log");
    int64_t sum = 0;
    const int rows = log.RowCount();
    for (int c = 0; c < log.PropertyCount(); ++c) {
      const mk::PropertyType type = log.NthProperty(c).type;
      for (int r = 0; r < rows; ++r) {
        if (type == mk::PropertyType::kString) {
          sum += static_cast<int64_t>(log.GetText(r, c).size());
        } else if (type == mk::PropertyType::kFloat) {
          sum += static_cast<int64_t>(log.GetFloat(r, c));
        } else {
          sum += log.GetInt(r, c);
        }
      }
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_OpenAndReadEveryValue)->Unit(benchmark::kMillisecond);

void BM_SelectBySaleLoadAndVoid(benchmark::State& state) {
  std::unique_ptr<mk::Storage> s;
  if (!mk::Storage::Open(LogFile(), &s).ok()) std::abort();
  mk::View log = s->GetView("Log");
  int found = 0;
  for (auto _ : state) {
    mk::View sel = log.Select(
        {{"SALE", std::string("sale2")}, {"LLR", std::string("2000")}, {"VOID", int64_t{0}}});
    found = sel.RowCount();
    benchmark::DoNotOptimize(found);
  }
  state.counters["rows_found"] = found;
}
BENCHMARK(BM_SelectBySaleLoadAndVoid)->Unit(benchmark::kMillisecond);

void BM_SortOnLogAndSpecies(benchmark::State& state) {
  std::unique_ptr<mk::Storage> s;
  if (!mk::Storage::Open(LogFile(), &s).ok()) std::abort();
  mk::View log = s->GetView("Log");
  for (auto _ : state) {
    mk::View sorted = log.SortOn({"LOG", "S"});
    benchmark::DoNotOptimize(sorted.RowCount());
  }
}
BENCHMARK(BM_SortOnLogAndSpecies)->Unit(benchmark::kMillisecond);

void BM_OneValueCommit(benchmark::State& state) {
  const std::string path = BenchPath("commit");
  std::filesystem::copy_file(LogFile(), path, std::filesystem::copy_options::overwrite_existing);
  CountingFileSystem fs;
  std::unique_ptr<mk::Storage> s;
  if (!mk::Storage::Open(path, &s, &fs).ok()) std::abort();
  mk::View log = s->GetView("Log");
  const int col = log.FindProperty("LN");
  int i = 0;
  int64_t before = 0;
  for (auto _ : state) {
    before = fs.written;
    log.SetInt(i % kRows, col, 8 + i % 40);
    ++i;
    if (!s->Commit().ok()) std::abort();
  }
  state.counters["bytes_written"] = static_cast<double>(fs.written - before);
  state.counters["LN_column_bytes"] = kRows;  // 8-bit column
}
BENCHMARK(BM_OneValueCommit)->Unit(benchmark::kMillisecond);

// Not a timing: the file's size after 100 one-value commits, and packed.
void BM_FileSizeAfter100Commits(benchmark::State& state) {
  const std::string path = BenchPath("grow");
  double grown = 0, packed = 0;
  for (auto _ : state) {
    std::filesystem::copy_file(LogFile(), path, std::filesystem::copy_options::overwrite_existing);
    std::unique_ptr<mk::Storage> s;
    if (!mk::Storage::Open(path, &s).ok()) std::abort();
    mk::View log = s->GetView("Log");
    const int col = log.FindProperty("LN");
    for (int i = 0; i < 100; ++i) {
      log.SetInt(i * 997 % kRows, col, 8 + i % 40);
      if (!s->Commit().ok()) std::abort();
    }
    grown = static_cast<double>(std::filesystem::file_size(path));
    if (!s->CommitPacked().ok()) std::abort();
    packed = static_cast<double>(std::filesystem::file_size(path));
  }
  state.counters["size_after_100"] = grown;
  state.counters["size_packed"] = packed;
  state.counters["ratio"] = grown / packed;
}
BENCHMARK(BM_FileSizeAfter100Commits)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
