#include "grid/cell_grid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace grid {
namespace {

// Records every notification as a short text.
class Recorder : public CellGridListener {
 public:
  void OnGridReset() override { events.push_back("reset"); }
  void OnRowsInserted(int first, int count) override { Add("ins", first, count); }
  void OnRowsRemoved(int first, int count) override { Add("del", first, count); }
  void OnCellsChanged(int first, int last) override { Add("cells", first, last); }
  void OnEditEnded(const CellEdit& e) override {
    events.push_back("edit " + std::to_string(e.row) + "," + std::to_string(e.column) + " " +
                     e.oldText + "->" + e.newText);
  }
  void OnCurrentRowChanged(int oldRow, int newRow) override { Add("row", oldRow, newRow); }
  void OnCurrentCellChanged() override {}

  std::vector<std::string> events;

 private:
  void Add(const char* what, int a, int b) {
    events.push_back(std::string(what) + " " + std::to_string(a) + "," + std::to_string(b));
  }
};

class CellGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    grid_.SetColumns({"LOG", "SD", "LD"});
    for (int r = 1; r <= 3; ++r) {
      grid_.AppendRow();
      grid_.SetText(r, 0, std::to_string(r));
    }
    grid_.AddListener(&rec_);
  }

  CellGrid grid_;
  Recorder rec_;
};

TEST_F(CellGridTest, ColumnsAreFoundIgnoringCaseButNeverTheHiddenColumn) {
  EXPECT_EQ(grid_.ColumnCount(), 3);
  EXPECT_EQ(grid_.ColumnIndex("ld"), 2);
  EXPECT_EQ(grid_.ColumnIndex(kRowInViewColumn), -1);
  EXPECT_EQ(grid_.ColumnWidth(1), kDefaultColumnWidth);
  grid_.SetColumnWidth(1, -4);
  EXPECT_TRUE(grid_.IsColumnHidden(1));
}

TEST_F(CellGridTest, OutOfRangeIndicesReadEmptyAndChangeNothing) {
  EXPECT_EQ(grid_.Text(9, 0), "");
  EXPECT_FALSE(grid_.SetText(1, 3, "x"));
  EXPECT_FALSE(grid_.SetRowTexts(0, {"x"}));
  EXPECT_FALSE(grid_.DeleteRow(0));
  EXPECT_EQ(grid_.InsertRow(0), -1);
  EXPECT_FALSE(grid_.SetCurrentCell(0, 0));
  EXPECT_TRUE(rec_.events.empty());
}

TEST_F(CellGridTest, SetRowTextsFillsMissingCellsAndReportsOnce) {
  EXPECT_TRUE(grid_.SetRowTexts(2, {"7", "8"}));
  EXPECT_EQ(grid_.Text(2, 0), "7");
  EXPECT_EQ(grid_.Text(2, 2), "");
  EXPECT_EQ(rec_.events, std::vector<std::string>{"cells 2,2"});
}

TEST_F(CellGridTest, SetRowsReplacesEveryDataRowInOneReset) {
  grid_.SetCurrentCell(2, 0);
  grid_.SetCellReadOnly(1, 0, true);
  rec_.events.clear();
  grid_.SetRows({{"7", "8", "9", "extra"}, {"5"}}, {"4"});
  EXPECT_EQ(rec_.events, std::vector<std::string>{"reset"});
  EXPECT_EQ(grid_.DataRowCount(), 2);
  EXPECT_EQ(grid_.Text(1, 2), "9");
  EXPECT_EQ(grid_.Text(2, 1), "");
  EXPECT_EQ(grid_.RowInView(1), "4");
  EXPECT_EQ(grid_.RowInView(2), "");
  EXPECT_FALSE(grid_.IsReadOnly(1, 0));
  EXPECT_EQ(grid_.CurrentRow(), -1);
}

TEST_F(CellGridTest, DeletingRowsMovesTheCurrentCell) {
  ASSERT_TRUE(grid_.SetCurrentCell(3, 1));
  rec_.events.clear();
  grid_.DeleteRow(3);  // the last row: the current cell goes to the row above
  EXPECT_EQ(grid_.CurrentRow(), 2);
  EXPECT_EQ(rec_.events, (std::vector<std::string>{"del 3,1", "row 3,2"}));
  grid_.DeleteRow(1);  // a row above: the current row keeps its cells
  EXPECT_EQ(grid_.CurrentRow(), 1);
  EXPECT_EQ(grid_.Text(1, 0), "2");
  grid_.DeleteRow(1);
  EXPECT_EQ(grid_.CurrentRow(), -1);
  EXPECT_EQ(grid_.CurrentColumn(), -1);
}

TEST_F(CellGridTest, InsertingAboveTheCurrentRowMovesItDown) {
  ASSERT_TRUE(grid_.SetCurrentCell(2, 0));
  rec_.events.clear();
  EXPECT_EQ(grid_.InsertRow(1), 1);
  EXPECT_EQ(grid_.CurrentRow(), 3);
  EXPECT_EQ(grid_.Text(3, 0), "2");
  EXPECT_EQ(rec_.events, (std::vector<std::string>{"ins 1,1", "row 2,3"}));
}

TEST_F(CellGridTest, AnEndedEditReportsOldAndNewText) {
  ASSERT_TRUE(grid_.SetCurrentCell(2, 0));
  ASSERT_TRUE(grid_.BeginEdit());
  rec_.events.clear();
  EXPECT_TRUE(grid_.CommitEdit("20"));
  EXPECT_FALSE(grid_.IsEditing());
  EXPECT_EQ(grid_.Text(2, 0), "20");
  EXPECT_EQ(rec_.events, (std::vector<std::string>{"cells 2,2", "edit 2,0 2->20"}));
  EXPECT_FALSE(grid_.CommitEdit("x"));
}

TEST_F(CellGridTest, MovingTheCurrentCellEndsAnEditWithTheTypedText) {
  grid_.SetCurrentCell(1, 0);
  grid_.BeginEdit();
  EXPECT_EQ(grid_.EditText(), "1");
  grid_.SetEditText("11");
  ASSERT_TRUE(grid_.SetCurrentCell(3, 2));
  EXPECT_FALSE(grid_.IsEditing());
  EXPECT_EQ(grid_.EditText(), "");
  EXPECT_EQ(rec_.events[rec_.events.size() - 2], "edit 1,0 1->11");
}

TEST_F(CellGridTest, ReadOnlyCellsRefuseEditing) {
  grid_.SetCellReadOnly(1, 1, true);
  EXPECT_EQ(grid_.Colour(1, 1), kReadOnlyColour);
  grid_.SetCurrentCell(1, 1);
  EXPECT_FALSE(grid_.BeginEdit());
  grid_.SetCellReadOnly(1, 1, false);
  EXPECT_EQ(grid_.Colour(1, 1), kDefaultColour);
  EXPECT_TRUE(grid_.BeginEdit());
}

// A listener that deletes the edited row and removes itself when told of an
// ended edit: the grid must stay sound.
class Remover : public CellGridListener {
 public:
  explicit Remover(CellGrid& g) : grid(g) {}
  void OnEditEnded(const CellEdit& e) override {
    grid.RemoveListener(this);
    grid.DeleteRow(e.row);
  }
  CellGrid& grid;
};

TEST_F(CellGridTest, ListenersMayChangeTheGridFromInsideANotification) {
  Remover remover(grid_);
  grid_.AddListener(&remover);
  grid_.SetCurrentCell(3, 0);
  grid_.BeginEdit();
  // The edit ends first; its listener removes row 3, so row 3 is gone.
  EXPECT_FALSE(grid_.SetCurrentCell(3, 1));
  EXPECT_EQ(grid_.DataRowCount(), 2);
  EXPECT_EQ(grid_.CurrentRow(), 2);
}

}  // namespace
}  // namespace grid

namespace grid {
namespace {

// Records refusals and the rows edits changed.
class RefusalRecorder : public CellGridListener {
 public:
  void OnEditRefused(const CellEdit& e, const std::string& message) override {
    refused.push_back(e.oldText + "|" + e.newText + "|" + message);
  }
  std::vector<std::string> refused;
};

TEST(CellGridRulesTest, AnEditTheCellCannotHoldIsRefusedAndTheCellKeepsItsText) {
  CellGrid grid;
  RefusalRecorder recorder;
  grid.AddListener(&recorder);
  grid.SetColumns({"LN", "SP", "Item"});
  grid.SetColumnType(0, 'I');
  grid.SetColumnLength(1, 2);
  const int row = grid.AppendRow();
  grid.SetText(row, 0, "16");
  grid.SetRowRule(grid.AppendRow(), {"MAXLEN", 'I', 3});
  const struct {
    int row, column;
    std::string text;
    bool taken;
  } edits[] = {{row, 0, "4x5", false}, {row, 1, "DFX", false}, {row, 2, "any text", true},
               {2, 2, "7O", false},    {row, 1, "DF", true},   {row, 0, "16", true}};
  for (const auto& e : edits) {
    const std::string old = grid.Text(e.row, e.column);
    ASSERT_TRUE(grid.SetCurrentCell(e.row, e.column));
    ASSERT_TRUE(grid.BeginEdit());
    EXPECT_EQ(grid.CommitEdit(e.text), e.taken) << e.text;
    EXPECT_FALSE(grid.IsEditing());
    EXPECT_EQ(grid.Text(e.row, e.column), e.taken ? e.text : old);
  }
  ASSERT_EQ(recorder.refused.size(), 3u);
  EXPECT_EQ(recorder.refused[0], "16|4x5|" + *CheckCellText({"LN", 'I', 0}, "4x5", {}));
  EXPECT_EQ(recorder.refused[2], "|7O|" + *CheckCellText({"MAXLEN", 'I', 3}, "7O", {}));
  // Only edits that changed a text count; SetText is the program's.
  EXPECT_TRUE(grid.RowEdited(row));
  EXPECT_FALSE(grid.RowEdited(2));
  EXPECT_FALSE(grid.RowEdited(grid.AppendRow()));
  grid.RemoveListener(&recorder);
}

}  // namespace
}  // namespace grid
