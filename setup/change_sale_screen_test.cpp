#include "setup/change_sale_screen.h"

#include <map>

#include "setup/supervisor_test_fixture.h"

namespace setup {
namespace {

using Rows = std::vector<std::vector<std::string>>;

class ChangeSaleScreenTest : public testing::SupervisorTest {
 protected:
  // Two loads, S1/1 and S1/2: their Load rows, two logs of the first and one
  // of the second, a segment and a defect of each.
  void SetUp() override {
    const app::TableSlots& slots = app_.slots();
    SetRow(slots.load, 0, {{"SALE", "S1"}, {"LLR", "1"}, {"CONTRACT", "C7"}});
    AddRow(slots.load, {{"SALE", "S1"}, {"LLR", "2"}, {"CONTRACT", "C8"}});
    AddRow(slots.log, {{"SALE", "S1"}, {"LLR", "1"}, {"LOG", "1"}, {"LN", "32"}});
    AddRow(slots.log, {{"SALE", "S1"}, {"LLR", "1"}, {"LOG", "2"}, {"LN", "16"}});
    AddRow(slots.log, {{"SALE", "S1"}, {"LLR", "2"}, {"LOG", "1"}, {"LN", "20"}});
    AddRow(slots.seg, {{"SALE", "S1"}, {"LLR", "1"}, {"LOG", "1"}});
    AddRow(slots.seg, {{"SALE", "S1"}, {"LLR", "2"}, {"LOG", "1"}});
    AddRow(slots.defC, {{"SALE", "S1"}, {"LLR", "1"}, {"LOG", "1"}});
    AddRow(slots.defC, {{"SALE", "S1"}, {"LLR", "2"}, {"LOG", "1"}});
    SkipJournal();
  }

  void SetRow(int slot, int row, const std::map<std::string, std::string>& values) {
    tablestore::TableStore& store = *app_.store();
    for (const auto& [column, value] : values) {
      ASSERT_EQ(store.SetText(slot, row, store.ColumnIndex(slot, column), value), 0) << column;
    }
  }
  void AddRow(int slot, const std::map<std::string, std::string>& values) {
    const int row = app_.store()->AddRow(slot, -1);
    ASSERT_GE(row, 0);
    SetRow(slot, row, values);
  }

  // Every table the rename touches, as stored.
  std::map<std::string, Rows> Tables() {
    EXPECT_EQ(app_.store()->Commit(), 0);
    std::map<std::string, Rows> tables;
    for (const char* table : {"Load", "Log", "Seg", "DefC", "DefB"}) {
      tables[table] = app::testing::ReadRows(path_, table);
    }
    return tables;
  }

  // `tables` with `from` replaced by `to` in column `column` of every table.
  std::map<std::string, Rows> Renamed(std::map<std::string, Rows> tables, const char* column,
                                      const std::string& from, const std::string& to) {
    for (auto& [table, rows] : tables) {
      const std::string names = app::testing::ColumnNames(path_, table) + ",";
      // The index of `column` among the table's columns.
      size_t index = 0, start = 0;
      for (size_t comma; (comma = names.find(',', start)) != std::string::npos; start = comma + 1) {
        if (names.substr(start, comma - start) == column) break;
        ++index;
      }
      for (auto& row : rows) {
        if (index < row.size() && row[index] == from) row[index] = to;
      }
    }
    return tables;
  }
};

TEST_F(ChangeSaleScreenTest, ListsAreSortedDistinctAndNewValuesAreCut) {
  AddRow(app_.slots().log, {{"SALE", "A0"}, {"LLR", "10"}, {"LOG", "1"}});
  ChangeSaleScreen screen(app_);
  EXPECT_EQ(screen.view().sales, (std::vector<std::string>{"A0", "S1"}));
  EXPECT_EQ(screen.view().llrs, (std::vector<std::string>{"1", "10", "2"}));
  EXPECT_EQ(screen.view().sale, 0);
  screen.OnNewSaleChanged("123456789012345678901234");
  screen.OnNewLlrChanged(
      "ab\xc3\xa9"
      "defghij");  // a two-byte character counts once
  EXPECT_EQ(screen.view().newSale, "12345678901234567890");
  EXPECT_EQ(screen.view().newLlr,
            "ab\xc3\xa9"
            "defg");
}

TEST_F(ChangeSaleScreenTest, RenamesEveryRowOfTheOldValueAndNothingElse) {
  const auto before = Tables();
  ChangeSaleScreen screen(app_);
  screen.OnSaleChosen(0);
  screen.OnNewSaleChanged("S9");
  screen.OnLlrChosen(1);  // "2"
  screen.OnNewLlrChanged("5");
  EXPECT_TRUE(screen.OnOk());
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(Tables(), Renamed(Renamed(before, "SALE", "S1", "S9"), "LLR", "2", "5"));
  EXPECT_EQ(Journal(),
            (std::vector<std::string>{"Changed SALE from S1 to S9", "Changed LLR from 2 to 5"}));
}

TEST_F(ChangeSaleScreenTest, EmptyNewValuesChangeAndJournalNothing) {
  const auto before = Tables();
  ChangeSaleScreen screen(app_);
  EXPECT_TRUE(screen.OnOk());
  EXPECT_EQ(Tables(), before);
  EXPECT_TRUE(Journal().empty());
}

TEST_F(ChangeSaleScreenTest, RenameThatWouldMergeTwoLoadsIsRefused) {
  const auto before = Tables();
  ChangeSaleScreen screen(app_);
  screen.OnLlrChosen(0);  // "1"
  screen.OnNewLlrChanged("2");
  EXPECT_FALSE(screen.OnOk());
  EXPECT_EQ(Shown(), std::vector<std::string>{
                         "Error: Another load already has this SALE and LLR.\nRenaming would "
                         "merge the logs of two loads, so nothing was changed."});
  EXPECT_EQ(Tables(), before);
  EXPECT_TRUE(Journal().empty());
}

}  // namespace
}  // namespace setup
