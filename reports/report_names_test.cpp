#include "reports/report_names.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "reports/report_test_util.h"

namespace reports {
namespace {

using testing::LoadValues;
using testing::LogValues;
using testing::ScaleFile;

TEST(ReportNamesTest, LoadsWhoseNamesComeOutTheSameAreNamedInTheRefusal) {
  struct Case {
    std::vector<LoadName> loads;
    std::string clash;  // "" when the names differ
  };
  const Case cases[] = {
      {{{"A", "1042"}}, ""},
      {{{"A", "1042"}, {"A", "1043"}}, ""},
      {{{"A", "1042"}, {"B", "1042"}}, "The loads SALE A LLR 1042 and SALE B LLR 1042"},
      {{{"A", "10/42"}, {"A", "10-42"}}, "The loads SALE A LLR 10/42 and SALE A LLR 10-42"},
  };
  for (const Case& c : cases) {
    const std::string refusal = ReportNameClash("/d/F.scl", kFileTypeProduction, c.loads);
    if (c.clash.empty()) {
      EXPECT_EQ(refusal, "");
    } else {
      EXPECT_EQ(refusal.rfind(c.clash + " would write their reports to the same files (/d/F", 0), 0u)
          << refusal;
    }
  }
  // A non-scale file writes one summary for all its loads: nothing clashes.
  EXPECT_EQ(ReportNameClash("/d/F.scl", kFileTypeNonScale, {{"A", "1"}, {"B", "1"}}), "");
}

TEST(ReportNamesTest, StampFollowsTheMeasurementsAndNotTheStoredVolumes) {
  ScaleFile file;
  file.AddRow("Load", LoadValues("100"));
  file.AddRow("Log", LogValues(1, "1", "DF", 1, 16, 10, 12));
  tablestore::TableStore& store = file.store();
  const std::string before = LoadDataStamp(store, "S1", "1001");
  const int log = store.OpenAView("Log", false);
  ASSERT_GE(log, 0);
  ASSERT_EQ(store.SetText(log, 0, store.ColumnIndex(log, "GCV"), "12.5"), 0);
  EXPECT_EQ(LoadDataStamp(store, "S1", "1001"), before);
  ASSERT_EQ(store.SetText(log, 0, store.ColumnIndex(log, "LN"), "18"), 0);
  EXPECT_NE(LoadDataStamp(store, "S1", "1001"), before);
  EXPECT_NE(LoadDataStamp(store, "S2", "1001"), LoadDataStamp(store, "S1", "1001"));
}

TEST(ReportNamesTest, ReportsOfALoadThatChangedAreOutOfDate) {
  ScaleFile file;
  file.AddRow("Load", LoadValues("100"));
  file.AddRow("Log", LogValues(1, "1", "DF", 1, 16, 10, 12));
  tablestore::TableStore& store = file.store();
  const std::vector<LoadName> loads = {{"S1", "1001"}};
  const auto state = [&] {
    return ReportsStateOf(store, file.files(), file.path(), kFileTypeProduction, loads, 0);
  };
  EXPECT_EQ(state(), ReportsState::kNone);
  file.files().SetFile(file.base() + ".clg", "report");
  EXPECT_EQ(state(), ReportsState::kOutOfDate);  // written by no stamping run
  ASSERT_EQ(StoreReportStamp(store, "S1", "1001"), 0);
  EXPECT_EQ(state(), ReportsState::kCurrent);
  const int log = store.OpenAView("Log", false);
  ASSERT_EQ(store.SetText(log, 0, store.ColumnIndex(log, "SD"), "11"), 0);
  EXPECT_EQ(state(), ReportsState::kOutOfDate);
}

TEST(ReportNamesTest, LeftoversOfDeadWritersOfEveryReportNameGo) {
  platform::testing::TempFolder folder;
  const std::string dir = folder.path();
  const pid_t dead = fork();
  if (dead == 0) _exit(0);
  ASSERT_GT(dead, 0);
  waitpid(dead, nullptr, 0);
  const std::string tmp = "." + std::to_string(dead) + ".tmp";
  const std::string live = "." + std::to_string(getpid()) + ".tmp";
  const std::vector<std::string> gone = {"F1001.cmp" + tmp, "F1002.clg.pdf" + tmp,
                                         "F.audit" + tmp, "F.csv" + tmp};
  const std::vector<std::string> kept = {"F1001.cmp" + live, "G.cmp" + tmp, "F1003.cmp" + tmp};
  for (const auto& name : gone) std::ofstream(dir + name) << "x";
  for (const auto& name : kept) std::ofstream(dir + name) << "x";
  platform::PosixFileSystem files;
  RemoveStaleReportTemporaries(files, dir + "F.scl", kFileTypeProduction,
                               {{"S", "1001"}, {"S", "1002"}});
  for (const auto& name : gone) EXPECT_FALSE(std::filesystem::exists(dir + name)) << name;
  for (const auto& name : kept) EXPECT_TRUE(std::filesystem::exists(dir + name)) << name;
}

}  // namespace
}  // namespace reports
