#include "gui/grid_model.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QSignalSpy>

#include "grid/cell_grid.h"

namespace gui {
namespace {

// Records the ended edits.
class EditLog : public grid::CellGridListener {
 public:
  void OnEditEnded(const grid::CellEdit& e) override {
    edits.push_back(e.oldText + "->" + e.newText);
  }
  std::vector<std::string> edits;
};

class GridModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    grid_.SetColumns({"LOG", "LN", "HIT"});
    for (int r = 1; r <= 3; ++r) grid_.SetRowTexts(grid_.AppendRow(), {std::to_string(r), "16"});
    grid_.AddListener(&log_);
  }
  void TearDown() override { grid_.RemoveListener(&log_); }

  grid::CellGrid grid_;
  EditLog log_;
  GridModel model_{grid_};
  QAbstractItemModelTester tester_{&model_, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(GridModelTest, ShowsTheDataRowsUnderTheHeaderRow) {
  EXPECT_EQ(model_.rowCount(), 3);
  EXPECT_EQ(model_.columnCount(), 3);
  EXPECT_EQ(model_.headerData(1, Qt::Horizontal).toString(), "LN");
  EXPECT_EQ(model_.data(model_.index(0, 0)).toString(), "1");
  grid_.SetRowInView(1, "0");
  EXPECT_EQ(model_.columnCount(), 3);  // `_RowInView_` is never a column
}

TEST_F(GridModelTest, FollowsRowsAppendedInsertedAndDeleted) {
  QSignalSpy inserted(&model_, &QAbstractItemModel::rowsInserted);
  grid_.AppendRow();
  grid_.SetText(grid_.InsertRow(1), 0, "0");
  grid_.DeleteRow(3);
  EXPECT_EQ(inserted.count(), 2);
  EXPECT_EQ(model_.rowCount(), 4);
  EXPECT_EQ(model_.data(model_.index(0, 0)).toString(), "0");
  EXPECT_EQ(model_.data(model_.index(2, 0)).toString(), "3");
  grid_.ClearRows();
  EXPECT_EQ(model_.rowCount(), 0);
  grid_.SetColumns({"A"});
  EXPECT_EQ(model_.columnCount(), 1);
}

TEST_F(GridModelTest, ReportsChangedCellsAndHeaders) {
  QSignalSpy changed(&model_, &QAbstractItemModel::dataChanged);
  QSignalSpy header(&model_, &QAbstractItemModel::headerDataChanged);
  grid_.SetText(2, 1, "20");
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed[0][0].toModelIndex(), model_.index(1, 0));
  grid_.SetColumnWidth(2, 0);
  EXPECT_EQ(header.count(), 1);
  EXPECT_EQ(model_.headerData(2, Qt::Horizontal, GridModel::kWidthRole).toInt(), 0);
}

TEST_F(GridModelTest, ColoursChoicesAndReadOnlyCells) {
  grid_.SetColour(1, 0, 0x0000FF);  // red in 0xBBGGRR
  grid_.SetCellReadOnly(1, 2, true);
  grid_.SetChoices(2, 1, {"12", "16"});
  EXPECT_EQ(model_.data(model_.index(0, 0), Qt::BackgroundRole).value<QBrush>().color(),
            QColor(255, 0, 0));
  EXPECT_EQ(model_.data(model_.index(0, 2), Qt::BackgroundRole).value<QBrush>().color(),
            QColor(0xFF, 0xFF, 0xB9));
  EXPECT_FALSE(model_.flags(model_.index(0, 2)) & Qt::ItemIsEditable);
  EXPECT_TRUE(model_.flags(model_.index(0, 1)) & Qt::ItemIsEditable);
  EXPECT_EQ(model_.data(model_.index(1, 1), GridModel::kChoicesRole).toStringList(),
            (QStringList{"12", "16"}));
}

TEST_F(GridModelTest, SetDataIsAnEditThatReadOnlyCellsRefuse) {
  grid_.SetCellReadOnly(1, 2, true);
  EXPECT_TRUE(model_.setData(model_.index(1, 1), "24"));
  EXPECT_FALSE(model_.setData(model_.index(0, 2), "Y"));
  EXPECT_FALSE(model_.setData(model_.index(7, 0), "Y"));
  EXPECT_EQ(grid_.Text(2, 1), "24");
  EXPECT_EQ(log_.edits, std::vector<std::string>{"16->24"});
  EXPECT_EQ(grid_.CurrentRow(), 2);
}

}  // namespace
}  // namespace gui
