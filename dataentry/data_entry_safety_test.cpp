// What the scaler types reaches the file as each log is finished, and only
// what its column can hold enters a cell.
#include <gtest/gtest.h>

#include <algorithm>

#include "dataentry/data_entry_fixture.h"
#include "grid/cell_check.h"
#include "sampling/mt11213_generator.h"

namespace dataentry {
namespace {

using app::GridMode;

using testing::CubicHeader;

constexpr int kCtrl = 1;

class DataEntrySafetyTest : public testing::ScreenFixture {
 protected:
  // The rows of `table` in the file on disk, while the screen is open.
  std::vector<std::vector<std::string>> Rows(const std::string& table) {
    return app::testing::ReadRows(path_, table);
  }
  // Column `column` of row `row` of table Log on disk.
  std::string Stored(size_t row, const std::string& column) {
    const std::string names = "," + app::testing::ColumnNames(path_, "Log") + ",";
    const size_t at = names.find("," + column + ",");
    const auto index = std::count(names.begin(), names.begin() + static_cast<long>(at), ',');
    const auto rows = Rows("Log");
    return row < rows.size() ? rows[row][static_cast<size_t>(index)] : "(no row)";
  }
  // Ends an edit of `column` on `row` of `grid` with `text` as a paste does
  // (no key goes through the screen).
  static void Paste(grid::CellGrid& grid, int row, const std::string& column,
                    const std::string& text) {
    ASSERT_TRUE(grid.SetCurrentCell(row, grid.ColumnIndex(column)));
    ASSERT_TRUE(grid.BeginEdit());
    grid.CommitEdit(text);
  }
};

TEST_F(DataEntrySafetyTest, EachFinishedLogIsOnDiskWithItsDrawBeforeTheNextStarts) {
  MakeLoad(CubicHeader(), {{"CloseHitWindow", "0.0"}});
  OpenScreen();
  sampling::Mt11213Generator generator(clock_.TickCount());
  const int rnd = generator.NextInRange(0, 60);
  Press('A', kCtrl);
  EXPECT_TRUE(Rows("Log").empty());  // only its defaults: no log yet
  Type("LOG", "1");
  Type("SP", "DF");
  ASSERT_EQ(Rows("Log").size(), 1u);
  Type("KPI", std::to_string(std::max(rnd, 1)));
  EXPECT_EQ(LastMessage(), "SAMPLE LOG!");
  EXPECT_EQ(Stored(0, "RND"), std::to_string(rnd));
  EXPECT_EQ(Stored(0, "HIT"), "1");
  Type("LN", "16");
  Type("SD", "12");
  Type("LD", "10");
  EXPECT_EQ(Stored(0, "SD"), "10");  // as the screen ordered them
  EXPECT_EQ(Stored(0, "LD"), "12");
  Press(grid::key::kDown);  // the next log starts; it holds only its defaults
  EXPECT_EQ(LastLogRow(), 2);
  EXPECT_EQ(Rows("Log").size(), 1u);
  screen_->LogGrid().SetCurrentCell(1, 0);
  EXPECT_EQ(Rows("Log").size(), 1u);

  // Defect rows are stored as they are typed; one moved to another segment
  // is not left behind twice.
  screen_->OnDefButton();
  ASSERT_EQ(screen_->view().mode, GridMode::kDefect);
  ASSERT_TRUE(screen_->OnAdd());
  Type("M", "2");
  Type("M1", "4");
  ASSERT_EQ(Rows("DefC").size(), 1u);
  Type("Seg", "1");
  Type("LN", "6");
  ASSERT_EQ(Rows("DefC").size(), 1u);
}

TEST_F(DataEntrySafetyTest, ACountedLogShowsEmptyLockedMeasurementsAfterReopening) {
  MakeLoad(CubicHeader(), {{"CloseHitWindow", "0.0"}});
  OpenScreen();
  Press('A', kCtrl);
  Type("LOG", "1");
  Type("KPI", "0");  // never a sample log
  ASSERT_EQ(Stored(0, "HIT"), "0");
  ASSERT_TRUE(screen_->Close());
  screen_.reset();
  OpenScreen();
  for (const char* column : {"LN", "SD", "LD"}) {
    EXPECT_EQ(LogCell(1, column), "") << column;
    EXPECT_TRUE(screen_->LogGrid().IsReadOnly(1, screen_->LogGrid().ColumnIndex(column)));
  }
  const auto before = Rows("Log");
  ASSERT_TRUE(screen_->OnSave());
  EXPECT_EQ(Rows("Log"), before);
}

TEST_F(DataEntrySafetyTest, EachGridRefusesWhatItsColumnCannotHoldAndKeepsTheValue) {
  MakeLoad(CubicHeader());
  OpenScreen();
  Press('A', kCtrl);
  Type("LOG", "1");
  Type("SP", "DF");
  Type("KPI", "60");  // the KZ: always a sample log
  Type("LN", "16");
  Type("SD", "10");
  Type("LD", "12");
  const std::string whole = " takes whole numbers from -2147483648 to 2147483647.\n";
  const struct {
    app::GridMode grid;
    const char* column;
    std::string text;
    std::string message;
  } cases[] = {
      {GridMode::kLog, "LOG", "99999999999", "LOG" + whole + "\"99999999999\" was not entered."},
      {GridMode::kLog, "KPI", "4x5", "KPI" + whole + "\"4x5\" was not entered."},
      {GridMode::kLog, "SP", std::string(5000, 'D'),
       "SP takes at most 2 characters.\n\"DDDDDDDDDDDDDDDDDDDDDDDD...\" (5000 characters) was "
       "not entered."},
      {GridMode::kLog, "REM", std::string(41, 'r'),
       "REM takes at most 40 characters.\n\"rrrrrrrrrrrrrrrrrrrrrrrr...\" (41 characters) was not "
       "entered."},
      {GridMode::kSegment, "S", "12",
       "S takes at most 1 characters.\n\"12\" (2 characters) was not entered."},
      {GridMode::kDefect, "M1", "4x5", "M1" + whole + "\"4x5\" was not entered."},
      {GridMode::kDefect, "PCT", "99999999999", "PCT" + whole + "\"99999999999\" was not entered."},
  };
  const auto before = Rows("Log");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.column);
    if (c.grid != screen_->view().mode) {
      screen_->LogGrid().SetCurrentCell(1, 0);
      c.grid == GridMode::kSegment ? screen_->OnSegButton() : screen_->OnDefButton();
      if (c.grid == GridMode::kDefect) {
        ASSERT_TRUE(screen_->OnAdd());
      }
      ASSERT_EQ(screen_->view().mode, c.grid);
    }
    grid::CellGrid& grid = screen_->ShownGrid();
    const int row = grid.CurrentRow();
    const std::string old = Cell(grid, row, c.column);
    Paste(grid, row, c.column, c.text);
    EXPECT_EQ(LastMessage(), c.message);
    EXPECT_EQ(ui_.messages().back().caption, grid::kRefusedCaption);
    EXPECT_EQ(Cell(grid, row, c.column), old);
  }
  EXPECT_EQ(Rows("Log"), before);
}

}  // namespace
}  // namespace dataentry
