// Mutated demo load texts (lines deleted, doubled, swapped or changed by one
// character, a byte order mark in front) imported into scale files that
// already hold a load: whatever the import accepts leaves every Log, Seg,
// DefC and DefB row within a load of the file, and every load the text does
// not replace keeps its logs. The mutations come from a fixed seed, so every
// run tries the same texts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "cli/commands.h"
#include "app/load_import.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "tablestore/table_store.h"

namespace cli {
namespace {

namespace fs = std::filesystem;
using tablestore::TableStore;
using LoadKey = std::pair<std::string, std::string>;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string Fold(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// One of the mutations of `lines`, chosen by `random`.
std::string Mutate(std::vector<std::string> lines, std::mt19937& random) {
  const size_t at = random() % lines.size();
  switch (random() % 5) {
    case 0:
      lines.erase(lines.begin() + static_cast<long>(at));
      break;
    case 1:
      lines.insert(lines.begin() + static_cast<long>(at), lines[at]);
      break;
    case 2:
      if (at + 1 < lines.size()) std::swap(lines[at], lines[at + 1]);
      break;
    case 3:
      if (!lines[at].empty()) lines[at][random() % lines[at].size()] = "x7,^["[random() % 5];
      break;
    default:
      lines[0] = "\xEF\xBB\xBF" + lines[0];
      break;
  }
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// SALE and LLR (folded) of every row of `table`; none when it is missing.
std::vector<LoadKey> RowKeys(TableStore& store, const std::string& table) {
  std::vector<LoadKey> keys;
  if (store.TableExists(table) < 0) return keys;
  const int slot = store.OpenAView(table, false);
  const int sale = store.ColumnIndex(slot, "SALE"), llr = store.ColumnIndex(slot, "LLR");
  for (int row = 0; row < store.RowCount(slot); ++row) {
    std::string s, l;
    (void)store.GetText(slot, row, sale, s);
    (void)store.GetText(slot, row, llr, l);
    keys.emplace_back(Fold(s), Fold(l));
  }
  (void)store.ReleaseView(slot);
  return keys;
}

std::map<LoadKey, int> LogsPerLoad(TableStore& store) {
  std::map<LoadKey, int> logs;
  for (const LoadKey& key : RowKeys(store, "Log")) ++logs[key];
  return logs;
}

class ImportMutationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) / ("cli_mutation_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // A new scale file `name` holding the demo load `demo`.
  fs::path FileWith(const std::string& name, const std::string& demo) {
    std::ostringstream out, err;
    StderrUi ui(out, err, true);
    platform::PosixFileSystem files;
    platform::SystemClock clock;
    Context ctx{out, ui, files, clock, fs::path(VARNOLDE_CLI).parent_path().string() + "/"};
    const fs::path path = dir_ / name;
    EXPECT_TRUE(Create(ctx, "", path.string()).ok) << err.str();
    EXPECT_TRUE(Import(ctx, path.string(), Demo(demo)).ok) << err.str();
    return path;
  }

  static std::string Demo(const std::string& name) {
    return std::string(VARNOLDE_DEMO_DIR) + "/" + name;
  }

  // Imports `text` into a copy of `base`; when accepted, checks the rows.
  // Returns whether it was accepted.
  bool ImportInto(const fs::path& base, const std::string& text, bool replace) {
    const fs::path work = dir_ / "work.scl";
    fs::copy_file(base, work, fs::copy_options::overwrite_existing);
    TableStore store;
    EXPECT_EQ(store.Open(work.string(), false), 0);
    const std::map<LoadKey, int> before = LogsPerLoad(store);
    app::ImportSummary summary;
    if (app::ImportLoadText(store, text, {replace, false}, &summary) != 0) {
      (void)store.Close();
      return false;
    }
    EXPECT_EQ(store.LogProgramMessage("Imported"), 0);
    const std::vector<LoadKey> loads = RowKeys(store, "Load");
    const std::set<LoadKey> known(loads.begin(), loads.end());
    for (const char* table : {"Log", "Seg", "DefC", "DefB"}) {
      for (const LoadKey& key : RowKeys(store, table)) {
        EXPECT_EQ(known.count(key), 1u)
            << table << " row of " << key.first << "/" << key.second << " after accepting:\n"
            << text;
      }
    }
    std::set<LoadKey> replaced;
    for (const std::string& name : summary.replaced) {
      const size_t llr = name.rfind(" LLR ");
      replaced.insert({Fold(name.substr(5, llr - 5)), Fold(name.substr(llr + 5))});
    }
    const std::map<LoadKey, int> after = LogsPerLoad(store);
    for (const auto& [key, count] : before) {
      if (replaced.count(key) > 0) continue;
      EXPECT_EQ(after.count(key) ? after.at(key) : 0, count)
          << "the logs of " << key.first << "/" << key.second << " changed after accepting:\n"
          << text;
    }
    (void)store.Close();
    return true;
  }

  fs::path dir_;
};

TEST_F(ImportMutationTest, NoAcceptedTextLeavesARowOutsideItsLoad) {
  const std::string demos[] = {"demo-3p-cubic.txt", "demo-100-board.txt"};
  std::mt19937 random(29);
  int accepted = 0, refused = 0;
  for (int d = 0; d < 2; ++d) {
    const std::vector<std::string> lines = Lines(ReadAll(Demo(demos[d])));
    // Into a file holding the other demo load, and, replacing, into one
    // holding the same load.
    const fs::path other = FileWith("other.scl", demos[1 - d]);
    const fs::path same = FileWith("same.scl", demos[d]);
    for (int i = 0; i < 40; ++i) {
      const std::string text = Mutate(lines, random);
      const bool ok = ImportInto(i % 2 == 0 ? other : same, text, i % 2 != 0);
      (ok ? accepted : refused) += 1;
    }
  }
  // Both outcomes occur, so the check above is not empty.
  EXPECT_GT(accepted, 10);
  EXPECT_GT(refused, 10);
}

}  // namespace
}  // namespace cli
