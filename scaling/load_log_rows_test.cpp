#include "scaling/load_log_rows.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace scaling {
namespace {

using tablestore::TableStore;

// A log's rows as one text: "seg:LN:SD:LD" per segment, "seg:M:M1:LN:PCT"
// per defect.
std::string Text(const StoredLogRows& rows) {
  std::string text;
  for (const SegmentRecord& s : rows.segments) {
    text += "S" + std::to_string(s.seg) + ":" + std::to_string(s.length) + ":" +
            std::to_string(s.smallEnd) + ":" + std::to_string(s.largeEnd) + " ";
  }
  for (const DefectRecord& d : rows.defects) {
    text += "D" + std::to_string(d.seg) + ":" + std::to_string(d.method) + ":" +
            std::to_string(d.measures.m1) + ":" + std::to_string(d.measures.length) + ":" +
            std::to_string(d.measures.percent) + " ";
  }
  return text;
}

class StoredLoadRowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (std::filesystem::temp_directory_path() /
             ("scaling_load_log_rows_" + std::to_string(::getpid()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".scl"))
                .string();
    std::filesystem::remove(path_);
    ASSERT_EQ(store_.Open(path_, false), 0);
  }
  void TearDown() override {
    (void)store_.Close();
    std::filesystem::remove(path_);
  }

  void Append(const std::string& table, const std::vector<std::string>& values) {
    const int slot =
        store_.FindView(table) >= 0 ? store_.FindView(table) : store_.OpenAView(table, false);
    ASSERT_GE(slot, 0) << table;
    const int row = store_.AddRow(slot, -1);
    for (size_t c = 0; c < values.size(); ++c) {
      ASSERT_EQ(store_.SetText(slot, row, static_cast<int>(c), values[c]), 0);
    }
  }

  // Every log of `logs` gets from the load's rows read at once what the
  // per-log selection gives it.
  void ExpectSameAsPerLogSelection(const std::string& scaleSystem,
                                   const std::vector<LogKey>& logs) {
    StoredLoadRows load;
    ASSERT_EQ(ReadStoredLoadRows(store_, scaleSystem, "Sale", "7", &load), 0);
    for (const LogKey& key : logs) {
      StoredLogRows one;
      ASSERT_EQ(ReadStoredLogRows(store_, scaleSystem, key, &one), 0);
      EXPECT_EQ(Text(load.Of(key.log, key.split)), Text(one)) << key.log << "/" << key.split;
    }
  }

  TableStore store_;
  std::string path_;
};

// Splits in either letter case, rows of another load with the same log
// numbers (also in another letter case of the sale), rows out of order.
TEST_F(StoredLoadRowsTest, EveryLogGetsWhatItsOwnSelectionGives) {
  ASSERT_EQ(store_.DefineTable("Seg[SALE:S,LLR:S,LOG:I,S:S,Seg:I,LN:I,SD:I,LD:I]"), 0);
  ASSERT_EQ(store_.DefineTable("DefC[SALE:S,LLR:S,LOG:I,S:S,Seg:I,M:I,M1:I,LN:I,PCT:I]"), 0);
  Append("Seg", {"Sale", "7", "1", "1", "1", "16", "12", "14"});
  Append("Seg", {"Other", "7", "1", "1", "1", "20", "9", "9"});
  Append("Seg", {"SALE", "7", "2", "A", "1", "12", "8", "10"});
  Append("Seg", {"Sale", "7", "1", "1", "2", "16", "10", "12"});
  Append("Seg", {"Sale", "7", "2", "a", "2", "12", "6", "8"});
  Append("Seg", {"Sale", "70", "2", "a", "1", "1", "1", "1"});
  Append("DefC", {"Sale", "7", "1", "1", "2", "1", "0", "2", "0"});
  Append("DefC", {"Sale", "7", "2", "B", "1", "4", "0", "3", "50"});
  Append("DefC", {"sale", "7", "1", "1", "0", "2", "3", "0", "0"});
  ExpectSameAsPerLogSelection("Cubic", {{"Sale", "7", 1, "1"},
                                        {"Sale", "7", 2, "A"},
                                        {"Sale", "7", 2, " a "},
                                        {"Sale", "7", 2, "B"},
                                        {"Sale", "7", 3, "1"}});
}

TEST_F(StoredLoadRowsTest, TablesWithoutSplitOrMissingServeAsPerLog) {
  ASSERT_EQ(store_.DefineTable("Seg[SALE:S,LLR:S,LOG:I,Seg:I,LN:I]"), 0);
  ASSERT_EQ(store_.DefineTable("DefB[SALE:S,LLR:S,LOG:I,S:S,Seg:I,M:I,M1:I,LN:I,PCT:I]"), 0);
  Append("Seg", {"Sale", "7", "1", "1", "16"});
  Append("Seg", {"Sale", "7", "1", "2", "8"});
  Append("DefB", {"Sale", "7", "1", "2", "1", "2", "3", "0", "0"});
  ExpectSameAsPerLogSelection("Board", {{"Sale", "7", 1, "1"}, {"Sale", "7", 1, "2"}});
  // DefC does not exist: the cubic defects are none.
  ExpectSameAsPerLogSelection("Cubic", {{"Sale", "7", 1, "1"}});
}

TEST(StoredLoadRowsNoFileTest, NoFileOpen) {
  TableStore closed;
  StoredLoadRows rows;
  EXPECT_EQ(ReadStoredLoadRows(closed, "Cubic", "S", "1", &rows), tablestore::kNoFile);
}

}  // namespace
}  // namespace scaling
