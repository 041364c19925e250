// The grid-only edit rules and the command keys, on bare grids.
#include "dataentry/log_edit_rules.h"

#include <gtest/gtest.h>

#include "dataentry/data_entry_fixture.h"
#include "dataentry/data_entry_grids.h"
#include "dataentry/entry_load.h"
#include "dataentry/key_table.h"

namespace dataentry {
namespace {

TEST(LogEditRulesTest, DiametersAreSwappedOnlyWhenLdIsTheSmallerOfTwo) {
  struct Case {
    const char *sd, *ld, *wantSd, *wantLd;
  } const cases[] = {
      {"14", "12", "12", "14"}, {"12", "14", "12", "14"}, {"12", "12", "12", "12"},
      {"14", "", "14", ""},     {"", "12", "", "12"},     {"14", "0", "14", "0"},
  };
  for (const Case& c : cases) {
    grid::CellGrid grid;
    grid.SetColumns({"LOG", "SD", "LD"});
    const int row = grid.AppendRow();
    grid.SetText(row, 1, c.sd);
    grid.SetText(row, 2, c.ld);
    OrderDiameters(grid, row);
    EXPECT_EQ(grid.Text(row, 1), c.wantSd) << c.sd << "/" << c.ld;
    EXPECT_EQ(grid.Text(row, 2), c.wantLd) << c.sd << "/" << c.ld;
  }
}

TEST(LogEditRulesTest, DefectMethodGreysTheMeasurementsItDoesNotUse) {
  struct Case {
    int method;
    const char* editable;  // of M, M1, M2, M3, M4, PCT, SALE: 1 = editable
  } const cases[] = {
      {1, "1000000"}, {2, "1100010"}, {3, "1111110"},
      {4, "1000010"}, {5, "1111110"}, {9, "1111110"},
  };
  for (const Case& c : cases) {
    grid::CellGrid grid;
    grid.SetColumns({"M", "M1", "M2", "M3", "M4", "PCT", "sale"});
    const int row = grid.AppendRow();
    for (int col = 0; col < grid.ColumnCount(); ++col) grid.SetCellReadOnly(row, col, true);
    ApplyDefectMethod(grid, row, c.method);
    std::string editable;
    for (int col = 0; col < grid.ColumnCount(); ++col) {
      editable += grid.IsReadOnly(row, col) ? '0' : '1';
    }
    EXPECT_EQ(editable, c.editable) << c.method;
  }
}

// A column whose name begins with another's must not hide it ("REMARK" is
// not "REM").
TEST(LogEditRulesTest, ColumnListsMatchWholeNames) {
  EXPECT_FALSE(ListHasColumn("LOG,REMARK,LN", "REM"));
  EXPECT_FALSE(ListHasColumn("VOIDED", "VOID"));
  EXPECT_FALSE(ListHasColumn("", "REM"));
  EXPECT_TRUE(ListHasColumn("LOG,rem", "REM"));
  EXPECT_TRUE(ListHasColumn("VOID,LN", "VOID"));
}

TEST(KeyTableTest, FindsCtrlLettersAndTheFilesButtonLetters) {
  const KeyTable keys(KeyLetters{'L', 'G', 0, 'V', 'V'});
  EXPECT_EQ(keys.FindCtrl('a'), KeyCommand::kNewLog);
  EXPECT_EQ(keys.FindCtrl('S'), KeyCommand::kSplit);
  EXPECT_EQ(keys.FindCtrl('E'), KeyCommand::kQuickEstimate);
  EXPECT_EQ(keys.FindCtrl('Z'), KeyCommand::kNone);
  EXPECT_EQ(keys.FindPlain('G'), KeyCommand::kSegmentGrid);
  EXPECT_EQ(keys.FindPlain('D'), KeyCommand::kNone);  // DefectScreen has no letter
  EXPECT_EQ(keys.FindPlain(0), KeyCommand::kNone);
  EXPECT_EQ(keys.FindPlain('V'), KeyCommand::kVolume);  // the first of two wins
}

using LandingTest = testing::ScreenFixture;

// Each grid lands on its own kept field, and on its first shown column when
// that field is hidden or missing.
TEST_F(LandingTest, EachGridLandsOnItsOwnField) {
  app_->SetLandingField(app::GridMode::kLog, "LN");
  app_->SetLandingField(app::GridMode::kSegment, "");
  app_->SetLandingField(app::GridMode::kDefect, "M");
  EXPECT_EQ(app_->LandingField(app::GridMode::kLog), "LN");
  EXPECT_EQ(app_->LandingField(app::GridMode::kSegment), "");
  EXPECT_EQ(app_->LandingField(app::GridMode::kDefect), "M");
  grid::CellGrid grid;
  grid.SetColumns({"SALE", "LOG", "LN", "M"});
  grid.SetColumnWidth(0, 0);
  grid.SetColumnWidth(3, 0);
  EXPECT_EQ(Landing(grid, "LN"), 2);
  EXPECT_EQ(Landing(grid, "M"), 1);
  EXPECT_EQ(Landing(grid, ""), 1);
}

}  // namespace
}  // namespace dataentry
