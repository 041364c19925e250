// Nothing a scaler finished is lost when the handheld dies: the real
// `varnolde` under a private X server is killed with SIGKILL after each kind
// of step of the data entry (a log typed and Enter, a SAMPLE LOG! draw, the
// segments of a log, a defect row, a void), and the file, reopened with
// `varnolde-cli dump`, holds every finished row with its draw.
#include "gui/e2e/e2e_support.h"

#include <sys/stat.h>

#include <fstream>
#include <regex>

namespace {

namespace fs = std::filesystem;
using e2e::Child;
using e2e::Clock;

constexpr char kMainTitle[] = "Varnolde 2010.11.05";
constexpr char kDataEntry[] = "Log Data Entry";

// A 3P cubic load whose one KZ row (every species and product) is 50: an
// estimate of 50 always makes a sample log.
constexpr char kLoadText[] =
    "[Load]\n"
    "Load[SALE:S,LLR:S,CONTRACT:S,SCALER:S,ST:S,SCALESYS:S,CFSAWCU:F,CFNONSAWCU:F,MINLEN:I,"
    "MAXLEN:I,MINDIA:I,MAXDIA:I,REGION:S,FOREST:S,DISTRICT:S]\n"
    "SALE,LLR,CONTRACT,SCALER,ST,SCALESYS,CFSAWCU,CFNONSAWCU,MINLEN,MAXLEN,MINDIA,MAXDIA,REGION,"
    "FOREST,DISTRICT\n"
    "Cedar Ridge,310001,CR-2026-07,J. Alvarez,3P,Cubic,10.67,8.0,8,70,4,40,6,1,3\n\n"
    "[KZ]\nKZ[P:I,SP:S,KZ:I]\nP,SP,KZ\n0,,50\n";

// The file's size and change time: what a commit changes.
struct Stamp {
  off_t size = -1;
  timespec changed{};
  bool operator==(const Stamp& o) const {
    return size == o.size && changed.tv_sec == o.changed.tv_sec &&
           changed.tv_nsec == o.changed.tv_nsec;
  }
};

Stamp StampOf(const fs::path& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return {};
  return {st.st_size, st.st_mtim};
}

class DataKeptTest : public e2e::ProgramTest {
 protected:
  DataKeptTest() : ProgramTest(VARNOLDE_PROGRAM) {}

  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(ProgramTest::SetUp());
    scale_ = root_ / "data" / "310001.scl";
    const fs::path text = root_ / "data" / "load.txt";
    std::ofstream(text) << kLoadText;
    ASSERT_EQ(Cli({"create", scale_.string()}), 0);
    ASSERT_EQ(Cli({"import", scale_.string(), text.string()}), 0);
  }

  // Starts the program on the scale file and opens its data entry.
  void OpenDataEntry() {
    program_ = &StartProgram({scale_.string()});
    ASSERT_NE(Reach(kMainTitle), 0u);
    ASSERT_TRUE(Keys({"alt+d"}));
    ASSERT_NE(Reach(kDataEntry), 0u);
    since_ = StampOf(scale_);
  }

  // Waits until the program has written the file since OpenDataEntry and
  // then left it alone for a second (bounded), then kills it as a dead
  // battery would. False when nothing was written in time.
  bool KillOnceWritten() {
    bool written = false;
    Stamp last = StampOf(scale_);
    auto quiet = Clock::now();
    for (const auto deadline = Clock::now() + std::chrono::seconds(15); Clock::now() < deadline;) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      const Stamp now = StampOf(scale_);
      if (!(now == last)) quiet = Clock::now();
      last = now;
      written = written || !(now == since_);
      if (written && Clock::now() - quiet > std::chrono::seconds(1)) break;
    }
    Kill();
    return written;
  }

  void Kill() { EXPECT_TRUE(program_->Signal(SIGKILL)); }

  Window Reach(const std::string& title) {
    const Window w = WaitForWindow(title);
    EXPECT_NE(w, 0u) << "no window titled " << title << "; shown: " << ShownTitles();
    if (w != 0) Focus(w);
    return w;
  }

  // The table's dump after the program died.
  std::string Dump(const std::string& table) {
    std::string out;
    EXPECT_EQ(Cli({"dump", scale_.string(), "--table", table}, &out), 0) << out;
    return out;
  }

  // The SAMPLE LOG! box (it has no title).
  void ExpectSampleBox() {
    ASSERT_NE(WaitForWindow(""), 0u) << "no SAMPLE LOG! box; shown: " << ShownTitles();
  }

  fs::path scale_;
  Child* program_ = nullptr;
  Stamp since_;
};

// The Log row of log `number` in a dump: its draw in group 1.
std::regex LogRow(int number, const std::string& measured) {
  return std::regex("\\[\"Cedar Ridge\", \"310001\", " + std::to_string(number) +
                    ", \"1\", \"DF\", 1, 0, \"\", 50, (\\d+), 1, " + measured);
}

TEST_F(DataKeptTest, EveryFinishedRowSurvivesAKillAfterEachStep) {
  // A log typed and Enter after its last diameter.
  ASSERT_NO_FATAL_FAILURE(OpenDataEntry());
  ASSERT_TRUE(Keys({"ctrl+a", "Left", "Left"}));  // from SP back to LOG
  ASSERT_TRUE(Type("1"));
  ASSERT_TRUE(Keys({"Tab", "Tab"}));
  ASSERT_TRUE(Type("DF"));
  ASSERT_TRUE(Keys({"Tab", "1", "Tab", "5", "0", "Tab"}));
  ASSERT_NO_FATAL_FAILURE(ExpectSampleBox());
  ASSERT_TRUE(Keys({"Return"}));
  ASSERT_NE(Reach(kDataEntry), 0u);
  // The KPI's Tab passed over RND and HIT (read-only) to G; G and B are
  // passed by.
  ASSERT_TRUE(Keys({"Tab", "Tab", "3", "2", "Tab", "1", "0", "Tab", "1", "4", "Return"}));
  EXPECT_TRUE(KillOnceWritten());
  std::smatch first;
  std::string logs = Dump("Log");
  ASSERT_TRUE(std::regex_search(logs, first, LogRow(1, "32, 10, 14,"))) << logs;
  const std::string firstRow = first[0];  // log 1 with its draw

  // A SAMPLE LOG! draw: killed while its box is shown.
  ASSERT_NO_FATAL_FAILURE(OpenDataEntry());
  ASSERT_TRUE(Keys({"ctrl+a", "Tab", "Tab", "5", "0", "Tab"}));
  ASSERT_NO_FATAL_FAILURE(ExpectSampleBox());
  Kill();
  logs = Dump("Log");
  EXPECT_TRUE(std::regex_search(logs, LogRow(1, "32, 10, 14,"))) << logs;
  EXPECT_NE(logs.find(firstRow), std::string::npos) << "log 1 or its draw changed:\n" << logs;
  EXPECT_TRUE(std::regex_search(logs, LogRow(2, "0, 0, 0,"))) << logs;
  EXPECT_NE(logs.find("\"row_count\": 2"), std::string::npos) << logs;

  // The segments of log 1.
  ASSERT_NO_FATAL_FAILURE(OpenDataEntry());
  ASSERT_TRUE(Keys({"Up", "alt+s"}));
  EXPECT_TRUE(KillOnceWritten());
  const std::string segments = Dump("Seg");
  EXPECT_NE(segments.find("\"row_count\": 2"), std::string::npos) << segments;

  // A defect row of log 1: a diameter cut of 4 inches over 8 feet.
  ASSERT_NO_FATAL_FAILURE(OpenDataEntry());
  // The screen's D and A keys on the product (a number cell) rather than the
  // buttons' Alt letters, whose clicks come after keys typed next.
  ASSERT_TRUE(Keys({"Up", "Tab", "d", "a"}));
  // Tab passes over the measurements the method does not use.
  ASSERT_TRUE(Keys({"2", "Tab", "4", "Tab", "8", "Return"}));
  EXPECT_TRUE(KillOnceWritten());
  const std::string defects = Dump("DefC");
  EXPECT_TRUE(std::regex_search(
      defects, std::regex("\\[\"Cedar Ridge\", \"310001\", 1, \"1\", 0, 2, 4, 0, 0, 0, 8,")))
      << defects;
  EXPECT_NE(defects.find("\"row_count\": 1"), std::string::npos) << defects;

  // A void of log 2, with its reason.
  ASSERT_NO_FATAL_FAILURE(OpenDataEntry());
  ASSERT_TRUE(Keys({"alt+x"}));
  ASSERT_NE(Reach("Confirm"), 0u);
  ASSERT_TRUE(Keys({"Tab", "space"}));  // Cancel has the focus; OK is next
  ASSERT_NE(Reach("Log Remark"), 0u);
  ASSERT_TRUE(Type("Scanned twice"));
  ASSERT_TRUE(Keys({"Return"}));
  ASSERT_TRUE(WaitForWindowGone("Log Remark"));
  EXPECT_TRUE(KillOnceWritten());
  logs = Dump("Log");
  EXPECT_NE(logs.find(firstRow), std::string::npos) << logs;
  EXPECT_TRUE(std::regex_search(logs, std::regex(", 1, \"Scanned twice\", 0, 0\\]"))) << logs;
}

}  // namespace
