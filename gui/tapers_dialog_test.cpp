#include "gui/tapers_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
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

class TapersDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(app_.files.CreateFromSetup(VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl",
                                         folder_ / "load.scl"),
              app::FileOutcome::kCreated);
  }
  static QPushButton* Button(QDialog& dialog, const QString& text) {
    for (QPushButton* b : dialog.findChildren<QPushButton*>()) {
      if (QString(b->text()).remove(QChar('&')) == QString(text).remove(QChar('&'))) return b;
    }
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
  }

  app::testing::TempFolder folder_;
  platform::PosixFileSystem fs_;
  platform::FixedClock clock_{platform::LocalDateTime{2026, 7, 15, 7, 42, 0}};
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
  app::Application app_{ui_, fs_, clock_, folder_.path()};
};

TEST_F(TapersDialogTest, BadTaperKeepsTheWindowOpenUntilItIsMended) {
  TapersDialog dialog(app_);
  ASSERT_TRUE(dialog.opened());
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  EXPECT_EQ(dialog.windowTitle(), "Tapers for Butt Logs");
  dialog.grab().save(VARNOLDE_SCREENSHOT_DIR "/tapers.png");

  grid::CellGrid& grid = dialog.screen().Grid();
  const int rows = grid.DataRowCount();
  QTest::mouseClick(Button(dialog, "&Add Record"), Qt::LeftButton);
  ASSERT_EQ(grid.DataRowCount(), rows + 1);
  // Typed as the keypad would: into the widget with the focus (the view,
  // then the cell editor it opens), Tab moving on.
  for (const char* text : {"DF", "6", "1", "3", ".6"}) {
    for (const char* k = text; *k != '\0'; ++k) QTest::keyClick(QApplication::focusWidget(), *k);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  const int row = grid.DataRowCount();
  ASSERT_EQ(grid.Text(row, grid.ColumnIndex("SP")), "DF");
  ASSERT_EQ(grid.Text(row, grid.ColumnIndex("TAPER")), ".6");

  QTest::mouseClick(Button(dialog, "OK"), Qt::LeftButton);
  EXPECT_TRUE(dialog.isVisible());
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, "Failed Data Audit");

  grid.SetText(row, grid.ColumnIndex("TAPER"), "0.15");
  QTest::mouseClick(Button(dialog, "OK"), Qt::LeftButton);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(app::testing::ReadRows(folder_ / "load.scl", "Tapers").back(),
            (std::vector<std::string>{"DF", "6", "1", "3", "0.15"}));
}

}  // namespace
}  // namespace gui
