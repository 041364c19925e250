#include "gui/change_lengths_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>

#include "app/application.h"
#include "app/test_files.h"
#include "gui/grid_view.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"

namespace gui {
namespace {

class ChangeLengthsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(app_.files.CreateFromSetup(VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl", path_),
              app::FileOutcome::kCreated);
  }
  // The stored Length of Log column `column`.
  std::string StoredLength(const std::string& column) {
    for (const auto& row : app::testing::ReadRows(path_, "DataDictionary")) {
      if (row[0] == "Log" && row[3] == column) return row[5];
    }
    return "<missing>";
  }

  app::testing::TempFolder folder_;
  std::string path_ = folder_ / "load.scl";
  platform::PosixFileSystem fs_;
  platform::FixedClock clock_{platform::LocalDateTime{2026, 7, 15, 7, 42, 0}};
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
  app::Application app_{ui_, fs_, clock_, folder_.path()};
};

// The grid shows the screen's rows, keys edit its cells, and OK and Escape
// alike write what was typed.
TEST_F(ChangeLengthsDialogTest, ShowsTheColumnsAndEveryCloseWritesTheTypedLength) {
  for (const char* close : {"ok", "escape"}) {
    SCOPED_TRACE(close);
    ChangeLengthsDialog dialog(app_, "Log");
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(dialog.windowTitle(), "Varnolde - Change Lengths");
    grid::CellGrid& grid = dialog.screen().Grid();
    ASSERT_GT(grid.DataRowCount(), 0);
    EXPECT_EQ(dialog.gridView()->model()->rowCount(), grid.DataRowCount());
    int row = 1;
    while (row < grid.RowCount() && grid.Text(row, 0) != "LN") ++row;
    ASSERT_LT(row, grid.RowCount());

    const std::string typed = close[0] == 'o' ? "12" : "14";
    dialog.gridView()->setFocus();
    ASSERT_TRUE(grid.SetCurrentCell(row, grid.ColumnIndex("Length")));
    // Typed as the keypad would: into the view, then the editor it opens.
    for (char c : typed) QTest::keyClick(QApplication::focusWidget(), c);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(grid.Text(row, grid.ColumnIndex("Length")), typed);
    if (close[0] == 'o') {
      QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                        Qt::LeftButton);
    } else {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    }
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(StoredLength("LN"), typed);
  }
}

}  // namespace
}  // namespace gui
