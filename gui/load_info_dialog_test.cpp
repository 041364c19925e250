#include "gui/load_info_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/application.h"
#include "app/test_files.h"
#include "gui/grid_model.h"
#include "gui/grid_view.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"
#include "tablestore/table_store.h"

namespace gui {
namespace {

class LoadInfoDialogTest : public ::testing::Test {
 protected:
  // A new scale file of `type`, with the demo sale list beside the program.
  void Create(app::FileType type) {
    ASSERT_EQ(fs_.Copy(VARNOLDE_DATA_DIR "/demo/sales.csv", folder_ / "sales.csv"),
              platform::FileResult::kOk);
    ASSERT_EQ(app_.files.CreateFromSetup(VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl",
                                         folder_ / "load.scl"),
              app::FileOutcome::kCreated);
    app_.SetFileType(type);
  }

  static void Show(QDialog& dialog) {
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  }

  // The text the view shows in the value cell of `field`.
  static std::string Shown(LoadInfoDialog& dialog, const std::string& field) {
    const GridModel& model = dialog.gridView()->gridModel();
    const QModelIndex index =
        model.IndexOf(dialog.screen().FieldRow(field), loadinfo::kValueColumn);
    return model.data(index).toString().toStdString();
  }

  std::string Stored(const std::string& column) {
    tablestore::TableStore& store = *app_.store();
    const int load = app_.slots().load;
    std::string text;
    store.GetText(load, 0, store.ColumnIndex(load, column), text);
    return text;
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

TEST_F(LoadInfoDialogTest, ChoosingASaleFromTheDropDownFillsTheFactorsAndLimits) {
  Create(app::FileType::kProduction);
  LoadInfoDialog dialog(app_, ui_);
  Show(dialog);
  EXPECT_EQ(dialog.windowTitle(), "Varnolde -- Edit Load Information");
  EXPECT_FALSE(Button(dialog, "&New")->isVisible());
  EXPECT_FALSE(dialog.findChild<QLabel*>()->isVisible());
  EXPECT_EQ(Shown(dialog, "SDATE"), "20260715");

  GridView* view = dialog.gridView();
  view->setFocus();
  QTest::keyClick(view, Qt::Key_F2);  // the SALE cell is current
  auto* combo = qobject_cast<QComboBox*>(view->editor());
  ASSERT_NE(combo, nullptr);
  ASSERT_EQ(combo->count(), 4);
  combo->setCurrentIndex(combo->findText("Cedar Ridge"));
  QTest::keyClick(combo, Qt::Key_Return);
  QTest::qWait(50);  // the delegate ends an edit on Enter through a queued call
  EXPECT_EQ(Shown(dialog, "SALE"), "Cedar Ridge");
  EXPECT_EQ(Shown(dialog, "CONTRACT"), "CR-2026-07");
  EXPECT_EQ(Shown(dialog, "CFSAWCU"), "10.67");
  EXPECT_EQ(Shown(dialog, "CFNONSAWCU"), " 8.00");
  EXPECT_EQ(Shown(dialog, "MINLEN"), " 8.0");
  EXPECT_EQ(Shown(dialog, "MAXLEN"), "70.0");
  EXPECT_EQ(Shown(dialog, "ST"), "3P");

  // The keypad's keys: Enter walks to LLR, digits start and fill the edit,
  // Enter ends it.
  QTest::keyClick(view, Qt::Key_Return);
  for (char key : std::string("1001")) QTest::keyClick(QApplication::focusWidget(), key);
  ASSERT_NE(view->editor(), nullptr);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QTest::qWait(50);
  EXPECT_EQ(Shown(dialog, "LLR"), "1001");
  dialog.grab().save(VARNOLDE_SCREENSHOT_DIR "/load_info_dialog.png");

  QTest::mouseClick(Button(dialog, "OK"), Qt::LeftButton);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(Stored("SALE"), "Cedar Ridge");
  EXPECT_EQ(Stored("LLR"), "1001");
  EXPECT_EQ(Stored("MAXLEN"), "70");
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(LoadInfoDialogTest, RecordButtonsOfACheckScaleFile) {
  Create(app::FileType::kCheckScale);
  LoadInfoDialog dialog(app_, ui_);
  Show(dialog);
  EXPECT_TRUE(Button(dialog, "&New")->isVisible());
  EXPECT_FALSE(Button(dialog, "&Delete")->isEnabled());
  QTest::keyClick(dialog.windowHandle(), Qt::Key_N, Qt::AltModifier);  // &New
  QTest::qWait(200);
  EXPECT_EQ(dialog.screen().view().position, "2 of 2");
  EXPECT_TRUE(dialog.findChildren<QLabel*>().size() >= 2);
  EXPECT_TRUE(Button(dialog, "&Delete")->isEnabled());
  EXPECT_TRUE(Button(dialog, "<")->isEnabled());
  EXPECT_FALSE(Button(dialog, ">>")->isEnabled());
  dialog.grab().save(VARNOLDE_SCREENSHOT_DIR "/load_info_dialog_check_scale.png");
  // The record buttons' keys move the record as the buttons do.
  const std::pair<Qt::Key, const char*> keys[] = {{Qt::Key_Home, "1 of 2"},
                                                  {Qt::Key_End, "2 of 2"},
                                                  {Qt::Key_PageUp, "1 of 2"},
                                                  {Qt::Key_PageDown, "2 of 2"}};
  for (const auto& [key, position] : keys) {
    QTest::keyClick(dialog.windowHandle(), key, Qt::AltModifier);
    QTest::qWait(200);
    EXPECT_EQ(dialog.screen().view().position, position) << key;
  }
  EXPECT_EQ(Button(dialog, "<<")->toolTip(), "First header (Alt+Home)");
  QTest::keyClick(dialog.windowHandle(), Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(app_.store()->RowCount(app_.slots().load), 2);
}

}  // namespace
}  // namespace gui
