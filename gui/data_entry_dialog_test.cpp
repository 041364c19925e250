#include "gui/data_entry_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>

#include "app/application.h"
#include "app/test_files.h"
#include "gui/grid_view.h"
#include "gui/qt_ui.h"
#include "gui/quick_estimate_window.h"
#include "gui/volumes_window.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"
#include "tablestore/table_store.h"

namespace gui {
namespace {

using app::GridMode;

// A 100% cubic load of sale "Cedar Ridge", LLR "1001", opened in an
// Application that speaks through a ScriptedUi.
class DataEntryDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = folder_ / "load.scl";
    ASSERT_EQ(app_.files.CreateFromSetup(VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl", path_),
              app::FileOutcome::kCreated);
    tablestore::TableStore& store = *app_.store();
    const int load = app_.slots().load;
    for (const auto& [column, value] : {std::pair<const char*, const char*>{"SALE", "Cedar Ridge"},
                                        {"LLR", "1001"},
                                        {"ST", "100"},
                                        {"SCALESYS", "Cubic"},
                                        {"MINLEN", "8"},
                                        {"MAXLEN", "70"},
                                        {"MINDIA", "4"},
                                        {"MAXDIA", "40"},
                                        {"CFSAWCU", "10.67"}}) {
      ASSERT_EQ(store.SetText(load, 0, store.ColumnIndex(load, column), value), 0) << column;
    }
    ASSERT_EQ(store.Commit(), 0);
    Reopen();
  }

  void Reopen() {
    app_.files.CloseScaleFile();
    ASSERT_EQ(app_.files.OpenSequence(path_), app::FileOutcome::kOpened);
  }

  // Keys go to whatever has the focus (a grid or its open editor).
  QWidget* Focus(DataEntryDialog& dialog) {
    QWidget* w = QApplication::focusWidget();
    return w != nullptr ? w : &dialog.shownView();
  }
  void Type(DataEntryDialog& dialog, const char* keys) {
    for (const char* k = keys; *k != '\0'; ++k) QTest::keyClick(Focus(dialog), *k);
  }
  void Key(DataEntryDialog& dialog, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(Focus(dialog), key, mods);
    QTest::qWait(20);  // the dialog redraws after the key
  }
  std::string Cell(DataEntryDialog& dialog, int row, const char* column) {
    grid::CellGrid& logs = dialog.screen().LogGrid();
    return logs.Text(row, logs.ColumnIndex(column));
  }

  // Types a 32-foot log numbered `log` into row 1 of `logs`, cell by cell.
  static void EnterLog(grid::CellGrid& logs, const char* log) {
    for (const auto& [column, text] : {std::pair<const char*, const char*>{"LOG", log},
                                       {"SP", "DF"},
                                       {"LN", "32"},
                                       {"SD", "12"},
                                       {"LD", "16"}}) {
      logs.SetCurrentCell(1, logs.ColumnIndex(column));
      logs.BeginEdit();
      logs.CommitEdit(text);
    }
  }

  app::testing::TempFolder folder_;
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
  platform::PosixFileSystem fs_;
  platform::FixedClock clock_{platform::LocalDateTime{2026, 7, 15, 7, 42, 0}, 4711};
  app::Application app_{ui_, fs_, clock_, folder_.path()};
  std::string path_;
};

TEST_F(DataEntryDialogTest, KeyboardAloneRecordsALog) {
  DataEntryDialog dialog(app_);
  ASSERT_TRUE(dialog.opened());
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  EXPECT_EQ(dialog.windowTitle(), "Log Data Entry");
  EXPECT_TRUE(dialog.button(dataentry::Button::kLog).font().bold());
  EXPECT_EQ(dialog.button(dataentry::Button::kDelete).text(), "&X");

  Key(dialog, Qt::Key_A, Qt::ControlModifier);  // Ctrl+A: a new log, landing on SP
  grid::CellGrid& logs = dialog.screen().LogGrid();
  ASSERT_EQ(logs.DataRowCount(), 1);
  EXPECT_EQ(dialog.status(), "New Log");
  EXPECT_EQ(logs.CurrentColumn(), logs.ColumnIndex("SP"));
  Type(dialog, "DF");
  Key(dialog, Qt::Key_Return);  // Enter ends the edit and moves to the next cell
  EXPECT_EQ(Cell(dialog, 1, "SP"), "DF");
  EXPECT_EQ(logs.CurrentColumn(), logs.ColumnIndex("SP") + 1);

  logs.SetCurrentCell(1, logs.ColumnIndex("LOG"));
  Type(dialog, "1");
  Key(dialog, Qt::Key_Return);
  logs.SetCurrentCell(1, logs.ColumnIndex("LN"));
  // As the field keypad types: digits, a letter (swallowed with a beep),
  // Backspace, and Tab to move on.
  Type(dialog, "1Q7");
  Key(dialog, Qt::Key_Backspace);
  Type(dialog, "6");
  Key(dialog, Qt::Key_Tab);
  EXPECT_EQ(Cell(dialog, 1, "LN"), "16");
  EXPECT_EQ(logs.CurrentColumn(), logs.ColumnIndex("SD"));
  Key(dialog, Qt::Key_2, Qt::KeypadModifier);  // keypad digits type as digits
  Key(dialog, Qt::Key_0, Qt::KeypadModifier);
  Key(dialog, Qt::Key_Enter, Qt::KeypadModifier);
  Type(dialog, "14");
  Key(dialog, Qt::Key_Return);  // SD 20 and LD 14 change places
  EXPECT_EQ(Cell(dialog, 1, "SD"), "14");
  EXPECT_EQ(Cell(dialog, 1, "LD"), "20");
  const QModelIndex ld = dialog.logView().model()->index(0, logs.ColumnIndex("LD"));
  EXPECT_EQ(ld.data().toString(), "20");
  EXPECT_EQ(ui_.beeps().size(), 1u);
  logs.SetCurrentCell(1, logs.ColumnIndex("LN"));
  dialog.logView().horizontalScrollBar()->setValue(0);
  dialog.grab().save(VARNOLDE_SCREENSHOT_DIR "/data_entry.png");

  Key(dialog, Qt::Key_F2);  // save, audit, totals
  ASSERT_FALSE(ui_.texts().empty());
  EXPECT_EQ(ui_.texts().back().caption, "100% Load Information");
  logs.SetCurrentCell(1, logs.ColumnIndex("LN"));
  Type(dialog, "18");  // still being typed when F2 comes: committed first
  Key(dialog, Qt::Key_F2);
  EXPECT_EQ(Cell(dialog, 1, "LN"), "18");
  EXPECT_EQ(ui_.texts().size(), 2u);

  QTest::keyClick(Focus(dialog), Qt::Key_S);  // the SegmentScreen key on a number column
  QTest::qWait(20);
  EXPECT_EQ(dialog.screen().view().mode, GridMode::kSegment);
  EXPECT_TRUE(dialog.button(dataentry::Button::kSeg).font().bold());
  EXPECT_FALSE(dialog.button(dataentry::Button::kLog).font().bold());
  EXPECT_EQ(&dialog.shownView(), dialog.findChild<QStackedWidget*>()->currentWidget());

  dialog.close();  // the close box writes back as OK does
  EXPECT_FALSE(dialog.isVisible());
  const auto rows = app::testing::ReadRows(path_, "Log");
  ASSERT_EQ(rows.size(), 1u);
}

TEST_F(DataEntryDialogTest, NonSampleLogMovesOnToANewLog) {
  tablestore::TableStore& store = *app_.store();
  const int load = app_.slots().load;
  ASSERT_EQ(store.SetText(load, 0, store.ColumnIndex(load, "ST"), "3P"), 0);
  ASSERT_EQ(store.Commit(), 0);
  Reopen();
  DataEntryDialog dialog(app_);
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  Key(dialog, Qt::Key_A, Qt::ControlModifier);
  grid::CellGrid& logs = dialog.screen().LogGrid();
  logs.SetCurrentCell(1, logs.ColumnIndex("KPI"));
  Type(dialog, "0");  // an estimate of 0 is never a sample
  Key(dialog, Qt::Key_Return);
  QTest::qWait(50);  // the posted Down arrives
  EXPECT_EQ(Cell(dialog, 1, "HIT"), "0");
  EXPECT_TRUE(logs.IsReadOnly(1, logs.ColumnIndex("LN")));
  ASSERT_EQ(logs.DataRowCount(), 2);
  EXPECT_EQ(logs.CurrentRow(), 2);
  dialog.close();
}

// F2 with the program's own Ui: the totals come up in the Volumes window.
TEST_F(DataEntryDialogTest, F2ShowsTheTotalsWindow) {
  {
    dataentry::DataEntryScreen screen(app_, nullptr);
    ASSERT_EQ(screen.Open(), dataentry::DataEntryOpen::kOpened);
    ASSERT_TRUE(screen.OnNewLog());
    grid::CellGrid& logs = screen.LogGrid();
    EnterLog(logs, "1");
    ASSERT_TRUE(screen.Close());
  }
  app_.files.CloseScaleFile();
  QtUi qtUi;
  app::Application program(qtUi, fs_, clock_, folder_.path());
  ASSERT_EQ(program.files.OpenSequence(path_), app::FileOutcome::kOpened);
  DataEntryDialog dialog(program);
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  QString title, text;
  QTimer::singleShot(200, [&] {
    auto* window = qobject_cast<VolumesWindow*>(QApplication::activeModalWidget());
    if (window == nullptr) return;
    title = window->windowTitle();
    text = window->shownText();
    window->grab().save(VARNOLDE_SCREENSHOT_DIR "/load_totals.png");
    window->accept();
  });
  Key(dialog, Qt::Key_F2);
  EXPECT_EQ(title, "100% Load Information");
  EXPECT_TRUE(text.contains("Measured:   1       0        1")) << text.toStdString();
  dialog.close();
}

// The line above the grid says whose defects the Defect grid lists: the
// whole log's from the Log grid, one segment's from the Segment grid.
TEST_F(DataEntryDialogTest, TheLineAboveTheGridSaysWhoseDefectsAreShown) {
  DataEntryDialog dialog(app_);
  ASSERT_TRUE(dialog.opened());
  grid::CellGrid& logs = dialog.screen().LogGrid();
  ASSERT_TRUE(dialog.screen().OnNewLog());
  EnterLog(logs, "4");
  dialog.button(dataentry::Button::kLog).click();
  EXPECT_EQ(dialog.gridOwner(), "");
  dialog.button(dataentry::Button::kDef).click();
  EXPECT_EQ(dialog.gridOwner(), "Log 4: whole-log defects");
  dialog.button(dataentry::Button::kSeg).click();
  EXPECT_EQ(dialog.gridOwner(), "Log 4: segments");
  grid::CellGrid& segments = dialog.screen().SegmentGrid();
  ASSERT_GE(segments.DataRowCount(), 2);
  segments.SetCurrentCell(2, 0);
  dialog.button(dataentry::Button::kDef).click();
  EXPECT_EQ(dialog.gridOwner(), "Log 4, segment 2");
  dialog.close();
}

TEST_F(DataEntryDialogTest, VolumeAndQuickEstimateWindows) {
  {
    DataEntryDialog dialog(app_);
    grid::CellGrid& logs = dialog.screen().LogGrid();
    ASSERT_TRUE(dialog.screen().OnNewLog());
    EnterLog(logs, "5");
    dialog.screen().OnVolume();
    ASSERT_TRUE(dialog.screen().Close());
  }
  ASSERT_EQ(ui_.texts().size(), 1u);
  VolumesWindow volume(ui_.texts()[0].caption, ui_.texts()[0].text);
  volume.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&volume));
  EXPECT_EQ(volume.windowTitle(), "Log Volume");
  EXPECT_TRUE(volume.shownText().startsWith("SALE: Cedar Ridge  LLR: 1001\n\n"));
  volume.grab().save(VARNOLDE_SCREENSHOT_DIR "/log_volume.png");

  QuickEstimateWindow quick;
  quick.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&quick));
  EXPECT_EQ(quick.windowTitle(), "Quick Volume Estimage");
  for (const char* keys : {"10", "12", "16"}) {
    QTest::keyClicks(QApplication::focusWidget() ? QApplication::focusWidget() : &quick, keys);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);  // &Calculate has the focus
  EXPECT_EQ(quick.result(), "CF Volume:  10.6");
}

}  // namespace
}  // namespace gui
