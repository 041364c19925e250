#include "gui/grid_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

#include "gui/grid_model.h"

namespace gui {
namespace {

using grid::KeyResult;

// Records the ended edits.
class EditLog : public grid::CellGridListener {
 public:
  void OnEditEnded(const grid::CellEdit& e) override {
    edits.push_back(std::to_string(e.row) + "," + std::to_string(e.column) + " " + e.oldText +
                    "->" + e.newText);
  }
  void OnEditRefused(const grid::CellEdit&, const std::string& message) override {
    refusals.push_back(message);
  }
  std::vector<std::string> edits;
  std::vector<std::string> refusals;
};

// A Log-like grid: LOG LN SD HIT(read-only) SALE(drop-down) LLR(hidden).
class GridViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    grid_.SetColumns({"LOG", "LN", "SD", "HIT", "SALE", "LLR"});
    for (int r = 1; r <= 3; ++r) {
      grid_.SetRowTexts(grid_.AppendRow(), {std::to_string(r), "16", "12", "", "A", "1"});
      grid_.SetCellReadOnly(r, 3, true);
      grid_.SetChoices(r, 4, {"A", "B"});
    }
    grid_.SetColumnWidth(5, 0);
    grid_.AddListener(&log_);
    view_.SetKeyHandler([this](int code, bool ctrl) {
      codes_.push_back(code);
      columnsAtKey_.push_back(grid_.CurrentColumn());
      return answer_(code, ctrl);
    });
    view_.resize(420, 160);
    view_.show();
    view_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view_));
  }
  void TearDown() override { grid_.RemoveListener(&log_); }

  // Types `keys` into whatever has the focus (the view, or its open editor).
  void Type(const QString& keys) {
    for (QChar c : keys) QTest::keyClick(Focus(), c.toLatin1());
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(Focus(), key, mods);
  }
  QWidget* Focus() {
    QWidget* w = QApplication::focusWidget();
    return w != nullptr ? w : &view_;
  }

  grid::CellGrid grid_;
  EditLog log_;
  GridView view_{grid_};
  std::vector<int> codes_;
  std::vector<int> columnsAtKey_;
  std::function<KeyResult(int, bool)> answer_ = [](int code, bool) {
    return code == grid::key::kEnter ? KeyResult::Replace(grid::key::kTab) : KeyResult::Pass();
  };
};

TEST_F(GridViewTest, TypingIntoACellEndsAnEditWithOldAndNewText) {
  grid_.SetCurrentCell(2, 1);
  Type("24");
  ASSERT_NE(view_.editor(), nullptr);
  Key(Qt::Key_Return);
  EXPECT_EQ(log_.edits, std::vector<std::string>{"2,1 16->24"});
  EXPECT_EQ(grid_.Text(2, 1), "24");
  // On to the next cell, which is not edited until typed into.
  EXPECT_EQ(grid_.CurrentColumn(), 2);
  EXPECT_FALSE(grid_.IsEditing());
  EXPECT_EQ(view_.editor(), nullptr);
}

TEST_F(GridViewTest, APastedValueMeetsTheCellCheckAsATypedOneDoes) {
  grid_.SetColumnType(1, 'I');
  QApplication::clipboard()->setText("4x5");
  grid_.SetCurrentCell(2, 1);
  Key(Qt::Key_F2);
  ASSERT_NE(view_.editor(), nullptr);
  Key(Qt::Key_V, Qt::ControlModifier);
  Key(Qt::Key_Tab);
  EXPECT_EQ(grid_.Text(2, 1), "16");
  EXPECT_TRUE(log_.edits.empty());
  ASSERT_EQ(log_.refusals.size(), 1u);
  EXPECT_EQ(log_.refusals[0].rfind("LN takes whole numbers from -2147483648 to 2147483647.\n", 0),
            0u)
      << log_.refusals[0];
}

TEST_F(GridViewTest, EnterReachesTheHandlerAsThirteenBeforeTheCellMoves) {
  grid_.SetCurrentCell(1, 1);
  Key(Qt::Key_Return);
  ASSERT_EQ(codes_, std::vector<int>{grid::key::kEnter});
  EXPECT_EQ(columnsAtKey_[0], 1);
  EXPECT_EQ(grid_.CurrentColumn(), 2);  // passed on as Tab
  EXPECT_EQ(view_.currentIndex(), view_.gridModel().index(0, 2));
}

TEST_F(GridViewTest, KeysAreTranslatedToTheScreensCodes) {
  grid_.SetCurrentCell(1, 1);
  answer_ = [](int, bool) { return KeyResult::Swallow(); };
  Key(Qt::Key_5, Qt::KeypadModifier);
  Key(Qt::Key_Period);
  Key(Qt::Key_F2);
  Key(Qt::Key_Down);
  Key(Qt::Key_A, Qt::ControlModifier);
  Key(Qt::Key_Backspace);
  Key(Qt::Key_Escape);
  EXPECT_EQ(codes_, (std::vector<int>{101, 190, 113, 40, 17, 65, 8, 27}));  // 17: Ctrl itself
}

TEST_F(GridViewTest, ASwallowedKeyTypesNothing) {
  grid_.SetCurrentCell(1, 1);
  answer_ = [](int code, bool) {
    return code == grid::key::kLetterA ? KeyResult::Swallow() : KeyResult::Pass();
  };
  Type("a");
  EXPECT_EQ(view_.editor(), nullptr);
  Type("7a");
  Key(Qt::Key_Tab);
  EXPECT_EQ(grid_.Text(1, 1), "7");
}

TEST_F(GridViewTest, KeypadDigitsReplacedByDigitsTypeThem) {
  grid_.SetCurrentCell(1, 2);
  answer_ = [](int code, bool) {
    return code >= grid::key::kNumpad0 && code <= grid::key::kNumpad0 + 9
               ? KeyResult::Replace(code - grid::key::kNumpad0 + grid::key::kDigit0)
               : KeyResult::Pass();
  };
  Key(Qt::Key_1, Qt::KeypadModifier);
  Key(Qt::Key_4, Qt::KeypadModifier);
  Key(Qt::Key_Tab);
  EXPECT_EQ(grid_.Text(1, 2), "14");
}

TEST_F(GridViewTest, AReadOnlyCellRefusesTyping) {
  grid_.SetCurrentCell(1, 3);
  Type("5");
  Key(Qt::Key_F2);
  EXPECT_EQ(view_.editor(), nullptr);
  EXPECT_EQ(grid_.Text(1, 3), "");
  EXPECT_TRUE(log_.edits.empty());
  EXPECT_EQ(grid_.CurrentRow(), 1);
}

TEST_F(GridViewTest, ADropDownCellOffersItsChoicesAndKeepsTypedText) {
  grid_.SetCurrentCell(2, 4);
  Type("Z");
  auto* combo = qobject_cast<QComboBox*>(view_.editor());
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->count(), 2);
  EXPECT_EQ(combo->itemText(1), "B");
  Type("9");
  Key(Qt::Key_Tab);
  EXPECT_EQ(grid_.Text(2, 4), "Z9");
}

TEST_F(GridViewTest, HiddenColumnsAreNotShownAndWidthsFollowTheFont) {
  EXPECT_TRUE(view_.isColumnHidden(5));
  EXPECT_FALSE(view_.isColumnHidden(4));
  grid_.SetColumnWidth(1, 20);
  EXPECT_EQ(view_.columnWidth(1), view_.CharsToPixels(20));
  grid_.SetColumnWidth(1, 0);
  EXPECT_TRUE(view_.isColumnHidden(1));
  QFont big = view_.font();
  big.setPointSize(big.pointSize() * 2);
  view_.setFont(big);
  EXPECT_EQ(view_.columnWidth(2), view_.CharsToPixels(grid::kDefaultColumnWidth));
}

TEST_F(GridViewTest, TheCurrentCellIsKeptInStepBothWays) {
  grid_.SetCurrentCell(3, 2);
  EXPECT_EQ(view_.currentIndex(), view_.gridModel().index(2, 2));
  view_.setCurrentIndex(view_.gridModel().index(0, 4));
  EXPECT_EQ(grid_.CurrentRow(), 1);
  EXPECT_EQ(grid_.CurrentColumn(), 4);
  grid_.DeleteRow(1);
  EXPECT_EQ(view_.currentIndex(), view_.gridModel().index(0, 4));
  EXPECT_EQ(grid_.Text(1, 0), "2");
}

TEST_F(GridViewTest, MovingTheCurrentCellWhileEditingKeepsTheTypedText) {
  grid_.SetCurrentCell(3, 1);
  answer_ = [this](int code, bool) {
    if (code != grid::key::kDown) return KeyResult::Pass();
    grid_.SetCurrentCell(grid_.AppendRow(), 0);  // as a screen appends a log
    return KeyResult::Swallow();
  };
  Type("33");
  Key(Qt::Key_Down);
  EXPECT_EQ(view_.editor(), nullptr);
  EXPECT_EQ(log_.edits, std::vector<std::string>{"3,1 16->33"});
  EXPECT_EQ(view_.currentIndex(), view_.gridModel().index(3, 0));
}

TEST_F(GridViewTest, EscapeCancelsTheEdit) {
  grid_.SetCurrentCell(1, 1);
  Type("9");
  Key(Qt::Key_Escape);
  EXPECT_FALSE(grid_.IsEditing());
  EXPECT_EQ(grid_.Text(1, 1), "16");
  EXPECT_TRUE(log_.edits.empty());
}

// Tab passes over read-only and hidden cells; past the last cell, and by
// Ctrl+Tab from any cell, it leaves the grid for the next control, and
// Shift+Tab before the first cell for the one before.
TEST(GridViewFocus, TabSkipsLockedCellsAndNeverTrapsTheKeyboard) {
  grid::CellGrid grid;
  grid.SetColumns({"A", "B", "C", "D"});
  for (int r = 1; r <= 2; ++r) {
    grid.SetRowTexts(grid.AppendRow(), {"1", "2", "3", "4"});
    grid.SetCellReadOnly(r, 2, true);
  }
  grid.SetColumnWidth(3, 0);
  QWidget window;
  auto* before = new QLineEdit(&window);
  auto* view = new GridView(grid, &window);
  auto* after = new QLineEdit(&window);
  auto* layout = new QVBoxLayout(&window);
  for (QWidget* w :
       {static_cast<QWidget*>(before), static_cast<QWidget*>(view), static_cast<QWidget*>(after)}) {
    layout->addWidget(w);
  }
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  const auto focusAt = [&](int row, int column) {
    view->setFocus();
    grid.SetCurrentCell(row, column);
  };

  focusAt(1, 1);
  QTest::keyClick(view, Qt::Key_Tab);  // C is read-only, D hidden: on to the next row
  EXPECT_EQ(std::make_pair(grid.CurrentRow(), grid.CurrentColumn()), std::make_pair(2, 0));
  QTest::keyClicks(view, "7");  // typing, then Tab in the editor
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(grid.Text(2, 0), "7");
  EXPECT_EQ(grid.CurrentColumn(), 1);
  QTest::keyClicks(view, "8");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);  // the last cell: out
  EXPECT_EQ(grid.Text(2, 1), "8");
  EXPECT_TRUE(after->hasFocus());

  focusAt(1, 0);
  QTest::keyClick(view, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_TRUE(before->hasFocus());
  focusAt(1, 0);
  QTest::keyClick(view, Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_TRUE(after->hasFocus());
  focusAt(2, 1);
  QTest::keyClick(view, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_TRUE(before->hasFocus());
}

// A screen's grid dies with the screen, before the dialog deletes its child
// views: the view, even with an editor open, must not touch it afterwards
// (ASan reports any use of the freed grid).
TEST(GridViewLifetime, AViewThatOutlivesItsGridNeverTouchesItAgain) {
  auto grid = std::make_unique<grid::CellGrid>();
  grid->SetColumns({"A", "B"});
  grid->SetRowTexts(grid->AppendRow(), {"1", "2"});
  GridView view(*grid);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  view.setFocus();
  grid->SetCurrentCell(1, 0);
  QTest::keyClicks(&view, "7");
  ASSERT_NE(view.editor(), nullptr);

  grid.reset();
  EXPECT_EQ(view.model()->rowCount(), 0);
  if (QWidget* editor = view.editor()) QTest::keyClicks(editor, "8");
  QTest::keyClick(&view, Qt::Key_Tab);
  view.setFont(QFont("Arial", 14));
  QApplication::processEvents();
}

TEST_F(GridViewTest, Screenshot) {
  grid_.SetCurrentCell(2, 1);
  grid_.SetColour(3, 0, 0xC0C0FF);
  Type("2");
  ASSERT_TRUE(view_.grab().save(QStringLiteral("grid_view.png")));
}

}  // namespace
}  // namespace gui
