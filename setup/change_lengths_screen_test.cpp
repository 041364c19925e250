#include "setup/change_lengths_screen.h"

#include "app/test_files.h"
#include "dataentry/data_entry_screen.h"
#include "setup/setup_test_fixture.h"

namespace setup {
namespace {

TEST(ValidLengthTest, WholeNumbersUpToTheLimit) {
  for (const char* good : {"0", "7", " 40 ", "255"}) EXPECT_TRUE(ValidLength(good)) << good;
  for (const char* bad : {"", "abc", "-5", "256", "4.5", "12abc", "99999999999"}) {
    EXPECT_FALSE(ValidLength(bad)) << bad;
  }
}

class ChangeLengthsTest : public testing::SetupFixture {
 protected:
  // The DataDictionary row of Log column `column`: Length, DefaultValue,
  // Validate.
  std::vector<std::string> Row(const std::string& column) {
    for (const auto& row : app::testing::ReadRows(path_, "DataDictionary")) {
      if (row[0] == "Log" && row[3] == column) return {row[5], row[10], row[8]};
    }
    return {};
  }
  int GridRow(grid::CellGrid& grid, const std::string& column) {
    for (int r = 1; r < grid.RowCount(); ++r) {
      if (grid.Text(r, 0) == column) return r;
    }
    return -1;
  }
};

TEST_F(ChangeLengthsTest, ListsUsedColumnsAndWritesTheEditsBack) {
  MakeLoad();
  ChangeLengthsScreen screen(*app_, "Log");
  ASSERT_EQ(screen.Open(), ChangeLengthsOpen::kOpened);
  grid::CellGrid& grid = screen.Grid();
  ASSERT_EQ(grid.ColumnCount(), 5);
  EXPECT_EQ(grid.ColumnName(1), "Description");
  const int sp = GridRow(grid, "SP");
  ASSERT_GT(sp, 0);
  EXPECT_TRUE(grid.IsReadOnly(sp, 0) && grid.IsReadOnly(sp, 1));
  EXPECT_FALSE(grid.IsReadOnly(sp, 2));
  grid.SetText(sp, 2, "3");
  grid.SetText(sp, 3, "VDF");
  grid.SetText(sp, 4, "DF,WH, ^odd");
  ASSERT_TRUE(screen.OnClose());
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_EQ(Row("SP"), (std::vector<std::string>{"3", "VDF", "DF,WH, ^odd"}));
}

TEST_F(ChangeLengthsTest, BadLengthsAreRefusedWithAMessageAndKeepTheirValue) {
  MakeLoad();
  const std::vector<std::string> ln = Row("LN"), sd = Row("SD");
  ChangeLengthsScreen screen(*app_, "Log");
  ASSERT_EQ(screen.Open(), ChangeLengthsOpen::kOpened);
  grid::CellGrid& grid = screen.Grid();
  grid.SetText(GridRow(grid, "LN"), 2, "abc");
  grid.SetText(GridRow(grid, "SD"), 2, "-5");
  ASSERT_TRUE(screen.OnClose());
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text,
            "A length must be a whole number from 0 to 255. These lengths were not changed:\n"
            "LN: \"abc\"\nSD: \"-5\"\n");
  EXPECT_EQ(Row("LN"), ln);
  EXPECT_EQ(Row("SD"), sd);
}

}  // namespace
}  // namespace setup

namespace setup {
namespace {

// Whatever is typed as a default or allowed values, the data entry screen
// opens, appends logs and saves them.
TEST_F(ChangeLengthsTest, OddDefaultsAndValidatesLeaveDataEntryWorking) {
  MakeLoad();
  {
    ChangeLengthsScreen screen(*app_, "Log");
    ASSERT_EQ(screen.Open(), ChangeLengthsOpen::kOpened);
    grid::CellGrid& grid = screen.Grid();
    grid.SetText(GridRow(grid, "LOG"), 3, "I99999999999999999999");
    grid.SetText(GridRow(grid, "SP"), 3, "C");
    grid.SetText(GridRow(grid, "SP"), 4, " ,, ^ ,");
    grid.SetText(GridRow(grid, "P"), 3, "Vtext");
    grid.SetText(GridRow(grid, "LN"), 2, "0");
    ASSERT_TRUE(screen.OnClose());
  }
  app_->files.CloseScaleFile();
  ASSERT_EQ(app_->files.OpenSequence(path_), app::FileOutcome::kOpened);
  dataentry::DataEntryScreen entry(*app_, nullptr);
  ASSERT_EQ(entry.Open(), dataentry::DataEntryOpen::kOpened);
  ASSERT_TRUE(entry.OnAdd());
  ASSERT_TRUE(entry.OnAdd());
  EXPECT_TRUE(entry.OnSave());
  grid::CellGrid& grid = entry.LogGrid();
  EXPECT_EQ(grid.ColumnWidth(grid.ColumnIndex("LN")), grid::kDefaultColumnWidth);
}

}  // namespace
}  // namespace setup
