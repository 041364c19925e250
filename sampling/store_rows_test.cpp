#include "sampling/store_rows.h"

#include <gtest/gtest.h>

#include "sampling/store_test_util.h"

namespace sampling {
namespace {

class StoreRowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(store_.Open(testing::TempPath("rows.scl"), false), 0);
    ASSERT_EQ(store_.DefineTable("Log[SALE:S,LLR:S,LOG:I,S:S,LN:F]"), 0);
    testing::Append(store_, "Log", {{"SALE", "A"}, {"LLR", "1"}, {"LOG", "2"}, {"LN", "16.5"}});
    testing::Append(store_, "Log", {{"SALE", "A"}, {"LLR", "1"}, {"LOG", "1"}, {"LN", "32"}});
    testing::Append(store_, "Log", {{"SALE", "B"}, {"LLR", "1"}, {"LOG", "3"}});
  }
  tablestore::TableStore store_;
};

TEST_F(StoreRowsTest, ReadsMatchingRowsWithTheColumnsTheTableHas) {
  const std::vector<TextRow> rows =
      ReadRows(store_, "Log", LoadKey{"a", "1"}.Criteria(), "LOG", {"LOG", "LN", "HIT"});
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].Get("LOG"), "1");
  EXPECT_EQ(rows[1].Get("LN"), "16.5");
  EXPECT_FALSE(rows[0].Has("HIT"));
}

TEST_F(StoreRowsTest, MissingTableOrColumnGivesNoRows) {
  EXPECT_TRUE(ReadRows(store_, "Seg", "", "", {"LN"}).empty());
  EXPECT_TRUE(ReadRows(store_, "Log", "VOID=0", "", {"LN"}).empty());
}

TEST_F(StoreRowsTest, ColumnsLookedUpWithoutLetterCase) {
  EXPECT_TRUE(TableHasColumn(store_, "Log", "ln"));
  EXPECT_FALSE(TableHasColumn(store_, "Log", "VOID"));
  EXPECT_FALSE(TableHasColumn(store_, "Seg", "LN"));
}

TEST_F(StoreRowsTest, ScopedSelectKeepsSlotsOpenedByOthers) {
  const int mine = store_.OpenAView("Log", false);
  ASSERT_GE(mine, 0);
  {
    const ScopedSelect view(store_, "Log", "SALE=B");
    EXPECT_EQ(view.RowCount(), 1);
    EXPECT_EQ(view.TableSlot(), mine);
  }
  EXPECT_EQ(store_.FindView("Log"), mine);
  {
    const ScopedSelect view(store_, "Seg", "");
    EXPECT_FALSE(view.ok());
    EXPECT_EQ(view.RowCount(), 0);
  }
}

TEST_F(StoreRowsTest, ScopedSelectReleasesWhatItOpened) {
  { const ScopedSelect view(store_, "Log", ""); }
  EXPECT_EQ(store_.FindView("Log"), -1);
  EXPECT_EQ(store_.FindView("DLog"), -1);
}

}  // namespace
}  // namespace sampling
