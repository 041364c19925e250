#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/identity.h"
#include "tablestore/table_store.h"
#include "tablestore/test_util.h"

namespace tablestore {
namespace {

using testing::OpenCopyOf;
using testing::Rows;
using testing::TempPath;

constexpr char kJournalDesc[] = "MessageLog[MsgNum:S,Msg:S,Date:S,Time:S,Level:S,Note:S,Program:S]";

class JournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = TempPath("journal.scl");
    ASSERT_EQ(store_.Open(path_, false), 0);
    clock_.SetNow({2010, 11, 5, 9, 5, 42});
    store_.SetJournalSource(&clock_, "Scaler 7 PegID:4711");
  }

  std::vector<std::string> Journal() {
    const int s = store_.OpenAView("MessageLog", false);
    std::vector<std::string> rows = Rows(store_, s);
    store_.ReleaseView(s);
    return rows;
  }

  std::string path_;
  platform::FixedClock clock_;
  TableStore store_;
};

TEST_F(JournalTest, TheFirstEntryCreatesMessageLog) {
  EXPECT_EQ(store_.TableExists("MessageLog"), -1);
  EXPECT_EQ(store_.LogMessage("File opened", "A", "note", "prog"), 0);
  ASSERT_GE(store_.TableExists("MessageLog"), 0);
  const int s = store_.OpenAView("MessageLog", false);
  EXPECT_EQ(store_.SlotDescription(s), kJournalDesc);
  EXPECT_EQ(Rows(store_, s), std::vector<std::string>{"|File opened|11/05/2010|09:05|A|note|prog"});
}

TEST_F(JournalTest, DateAndTimeArePaddedMonthFirst) {
  clock_.SetNow({2009, 1, 2, 0, 0, 0});
  store_.LogMessage("a", "A", "", "");
  clock_.SetNow({2010, 12, 31, 23, 59, 59});
  store_.LogMessage("b", "A", "", "");
  EXPECT_EQ(Journal(),
            (std::vector<std::string>{"|a|01/02/2009|00:00|A||", "|b|12/31/2010|23:59|A||"}));
}

TEST_F(JournalTest, ProgramMessagesCarryLevelAIdentityAndProgramName) {
  EXPECT_EQ(store_.LogProgramMessage("Passed header audit"), 0);
  EXPECT_EQ(Journal(), std::vector<std::string>{
                           "|Passed header audit|11/05/2010|09:05|A|Scaler 7 PegID:4711|Varnolde"});
}

TEST_F(JournalTest, ADeviceWithoutPegIdLogsOnlyItsName) {
  store_.SetJournalSource(&clock_, platform::ParseDeviceIdentity("Name=Scaler 7\n").Text());
  store_.LogProgramMessage("File closed");
  EXPECT_EQ(Journal(),
            std::vector<std::string>{"|File closed|11/05/2010|09:05|A|Scaler 7|Varnolde"});
}

TEST_F(JournalTest, EntriesAreAppendedInOrderAndTextIsKept) {
  store_.LogProgramMessage("Created from /data/Défaut.SetupScl");
  store_.LogProgramMessage("File opened");
  const std::vector<std::string> rows = Journal();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0],
            "|Created from /data/Défaut.SetupScl|11/05/2010|09:05|A|Scaler 7 PegID:4711|Varnolde");
  EXPECT_EQ(rows[1].substr(0, 13), "|File opened|");
}

TEST_F(JournalTest, AnOlderJournalWithFewerColumnsIsWrittenWhereItCan) {
  ASSERT_EQ(store_.DefineTable("MessageLog[Msg:S,Level:S]"), 0);
  EXPECT_EQ(store_.LogProgramMessage("File opened"), 0);
  EXPECT_EQ(Journal(), std::vector<std::string>{"File opened|A"});
}

TEST_F(JournalTest, TheJournalSlotIsReleasedOnlyWhenOpenedForTheCall) {
  store_.LogProgramMessage("one");
  EXPECT_EQ(store_.FindView("MessageLog"), -1);
  const int s = store_.OpenAView("MessageLog", false);
  store_.LogProgramMessage("two");
  EXPECT_EQ(store_.FindView("MessageLog"), s);
  EXPECT_EQ(store_.RowCount(s), 2);
}

TEST_F(JournalTest, NoFileOpen) {
  TableStore closed;
  EXPECT_EQ(closed.LogMessage("x", "A", "", ""), -1);
  EXPECT_EQ(closed.LogProgramMessage("x"), -1);
}

TEST_F(JournalTest, AnEntryIsCommittedWithEveryPendingChange) {
  ASSERT_EQ(store_.DefineTable("Log[LOG:I]"), 0);
  const int log = store_.OpenAView("Log", false);
  store_.AddRow(log, -1);
  ASSERT_EQ(store_.LogProgramMessage("File opened"), 0);
  TableStore reader;
  ASSERT_EQ(OpenCopyOf(reader, path_), 0);
  EXPECT_EQ(reader.RowCount(reader.OpenAView("MessageLog", false)), 1);
  EXPECT_EQ(reader.RowCount(reader.OpenAView("Log", false)), 1);
}

}  // namespace
}  // namespace tablestore
