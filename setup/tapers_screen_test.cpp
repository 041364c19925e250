#include "setup/tapers_screen.h"

#include "app/test_files.h"
#include "setup/setup_test_fixture.h"

namespace setup {
namespace {

using app::testing::ReadRows;

// A grid with the taper columns and one row per entry of `rows`.
void FillGrid(grid::CellGrid& grid, const std::vector<std::vector<std::string>>& rows) {
  grid.SetColumns({"SP", "REGION", "FOREST", "DISTRICT", "TAPER"});
  grid.SetRows(rows, {});
}

TaperFindings Check(const std::vector<std::vector<std::string>>& rows) {
  grid::CellGrid grid;
  FillGrid(grid, rows);
  return CheckTapers(grid);
}

TEST(CheckTapersTest, TaperBoundsAreInclusive) {
  const auto row = [](const char* taper) {
    return std::vector<std::string>{"DF", "6", "1", "All", taper};
  };
  const TaperFindings findings =
      Check({row("0.0005"), row("0.6"), row("0.001"), row("0.5"), row(""), row("0.1x")});
  EXPECT_EQ(findings.blankFields, 0);
  EXPECT_EQ(findings.badTaperRows, (std::vector<int>{1, 2, 5, 6}));
}

TEST(CheckTapersTest, BlankFieldsAreCounted) {
  const TaperFindings findings = Check({{"", "6", " ", "All", "0.1"}, {"DF", "", "1", "", "0.1"}});
  EXPECT_EQ(findings.blankFields, 4);
  EXPECT_TRUE(findings.badTaperRows.empty());
}

TEST(TaperMessageTest, OneTwoAndThreeBadRows) {
  EXPECT_EQ(TaperMessage({0, {3}}),
            "Record 3 has an invalid taper value.\n\nPlease correct these errors.");
  EXPECT_EQ(TaperMessage({0, {2, 5}}),
            "Records 2 and 5 have invalid taper values.\n\nPlease correct these errors.");
  EXPECT_EQ(TaperMessage({2, {1, 2, 3}}),
            "2 fields are blank.\n\nRecords 1, 2 and 3 have invalid taper values.\n\n"
            "Please correct these errors.");
  EXPECT_EQ(TaperMessage({1, {}}), "1 fields are blank.\n\nPlease correct these errors.");
  EXPECT_EQ(TaperMessage({0, {}}), "");
}

class TapersScreenTest : public testing::SetupFixture {};

TEST_F(TapersScreenTest, ShowsTheTableWithDropDownsAndStaysOpenUntilEveryRowPasses) {
  MakeLoad();
  const auto stored = ReadRows(path_, "Tapers");
  TapersScreen screen(*app_);
  ASSERT_EQ(screen.Open(), TapersOpen::kOpened);
  grid::CellGrid& grid = screen.Grid();
  ASSERT_EQ(grid.DataRowCount(), static_cast<int>(stored.size()));
  EXPECT_EQ(grid.Choices(1, grid.ColumnIndex("REGION")).size(), 9u);
  EXPECT_EQ(grid.Choices(1, grid.ColumnIndex("FOREST")).size(), 25u);
  EXPECT_EQ(grid.Choices(1, grid.ColumnIndex("DISTRICT")).front(), "All");
  screen.OnAddRecord();
  const int row = grid.DataRowCount();
  EXPECT_EQ(grid.CurrentRow(), row);
  EXPECT_EQ(grid.Choices(row, grid.ColumnIndex("DISTRICT")).size(), 11u);
  grid.SetText(row, grid.ColumnIndex("TAPER"), "0.6");
  EXPECT_FALSE(screen.OnOk());
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, "Failed Data Audit");
  EXPECT_EQ(ui_.messages()[0].icon, platform::Icon::kStop);
  EXPECT_EQ(ui_.messages()[0].text, "4 fields are blank.\n\nRecord " + std::to_string(row) +
                                        " has an invalid taper value.\n\n"
                                        "Please correct these errors.");
  EXPECT_EQ(ReadRows(path_, "Tapers"), stored);
  for (const auto& [column, value] : {std::pair{"SP", "WF"},
                                      {"REGION", "6"},
                                      {"FOREST", "2"},
                                      {"DISTRICT", "All"},
                                      {"TAPER", "0.5"}}) {
    grid.SetText(row, grid.ColumnIndex(column), value);
  }
  ASSERT_TRUE(screen.OnOk());
  const auto after = ReadRows(path_, "Tapers");
  ASSERT_EQ(after.size(), stored.size() + 1);
  EXPECT_EQ(after.back(), (std::vector<std::string>{"WF", "6", "2", "All", "0.5"}));
}

TEST_F(TapersScreenTest, DeleteAndCancelLeaveTheTableAsItWas) {
  MakeLoad();
  const auto stored = ReadRows(path_, "Tapers");
  {
    TapersScreen screen(*app_);
    ASSERT_EQ(screen.Open(), TapersOpen::kOpened);
    screen.Grid().SetCurrentCell(1, 0);
    screen.OnDeleteRecord();
    EXPECT_EQ(screen.Grid().DataRowCount(), static_cast<int>(stored.size()) - 1);
  }  // Cancel
  EXPECT_EQ(ReadRows(path_, "Tapers"), stored);
}

TEST_F(TapersScreenTest, MissingTableIsBuiltAndShowsOneEmptyRow) {
  MakeLoad();
  ASSERT_EQ(Store().DefineTable("Tapers"), 0);
  ASSERT_EQ(Store().Commit(), 0);
  TapersScreen screen(*app_);
  ASSERT_EQ(screen.Open(), TapersOpen::kOpened);
  EXPECT_EQ(screen.Grid().DataRowCount(), 1);
  EXPECT_EQ(screen.Grid().ColumnName(0), "SP");
  EXPECT_EQ(screen.Grid().ColumnName(4), "TAPER");
}

}  // namespace
}  // namespace setup

namespace setup {
namespace {

TEST_F(TapersScreenTest, ACellTakesOnlyWhatItsColumnCanHold) {
  MakeLoad();
  TapersScreen screen(*app_);
  ASSERT_EQ(screen.Open(), TapersOpen::kOpened);
  grid::CellGrid& grid = screen.Grid();
  const auto edit = [&](const char* column, const std::string& text) {
    EXPECT_TRUE(grid.SetCurrentCell(1, grid.ColumnIndex(column)));
    EXPECT_TRUE(grid.BeginEdit());
    return grid.CommitEdit(text);
  };
  EXPECT_TRUE(edit("DISTRICT", "All"));  // longer than its length, but offered
  EXPECT_TRUE(edit("TAPER", "0.001"));
  const size_t shown = ui_.messages().size();
  EXPECT_FALSE(edit("TAPER", "0.1x"));
  EXPECT_FALSE(edit("SP", "DFX"));
  ASSERT_EQ(ui_.messages().size(), shown + 2);
  EXPECT_EQ(ui_.messages()[shown].text,
            "TAPER takes numbers from -3.4e38 to 3.4e38.\n\"0.1x\" was not entered.");
  EXPECT_EQ(ui_.messages()[shown + 1].text,
            "SP takes at most 2 characters.\n\"DFX\" (3 characters) was not entered.");
  EXPECT_EQ(grid.Text(1, grid.ColumnIndex("TAPER")), "0.001");
}

}  // namespace
}  // namespace setup
