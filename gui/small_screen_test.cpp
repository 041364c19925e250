// Every window of the program opens within the screen, buttons in sight and
// each with its underlined letter. ctest runs this file's tests a second time
// on an 800x480 screen (gui.SmallScreen.*, small_screen.json), the smallest
// field tablet; the screenshots of that run are the guide's small-screen
// pictures (small_*.png in the build folder).
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <functional>
#include <memory>

#include "app/application.h"
#include "app/test_files.h"
#include "gui/about_dialog.h"
#include "gui/account_dialog.h"
#include "gui/change_lengths_dialog.h"
#include "gui/change_sale_dialog.h"
#include "gui/column_selection_dialog.h"
#include "gui/data_entry_dialog.h"
#include "gui/design_dialog.h"
#include "gui/load_info_dialog.h"
#include "gui/main_dialog.h"
#include "gui/other_options_dialog.h"
#include "gui/qt_screens.h"
#include "gui/quick_estimate_window.h"
#include "gui/reports_dialog.h"
#include "gui/setup_dialog.h"
#include "gui/sign_in_dialog.h"
#include "gui/supervisor_dialog.h"
#include "gui/tapers_dialog.h"
#include "gui/volumes_window.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"
#include "tablestore/table_store.h"

namespace gui {
namespace {

// A 3P cubic load with a header, opened in an Application that speaks
// through a ScriptedUi.
class SmallScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = folder_ / "load.scl";
    ASSERT_EQ(app_.files.CreateFromSetup(VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl", path_),
              app::FileOutcome::kCreated);
    tablestore::TableStore& store = *app_.store();
    const int load = app_.slots().load;
    for (const auto& [column, value] : {std::pair<const char*, const char*>{"SALE", "Cedar Ridge"},
                                        {"LLR", "310001"},
                                        {"ST", "3P"},
                                        {"SCALESYS", "Cubic"}}) {
      ASSERT_EQ(store.SetText(load, 0, store.ColumnIndex(load, column), value), 0) << column;
    }
    ASSERT_EQ(store.Commit(), 0);
    app_.files.CloseScaleFile();
    ASSERT_EQ(app_.files.OpenSequence(path_), app::FileOutcome::kOpened);
  }

  // Shows `window` and checks it: its frame within the screen's available
  // area, every shown button inside it, and every button whose text has a
  // letter with its underlined letter. With `shot`, saves a picture.
  void Check(QWidget& window, const char* shot = nullptr) {
    const std::string name = window.windowTitle().toStdString();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window)) << name;
    QTest::qWait(20);
    const QRect screen = window.screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window.frameGeometry()))
        << name << ": " << window.frameGeometry().width() << "x" << window.frameGeometry().height()
        << " on " << screen.width() << "x" << screen.height();
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
      if (!button->isVisibleTo(&window)) continue;
      const QString text = button->text();
      const QRect at(button->mapTo(&window, QPoint(0, 0)), button->size());
      EXPECT_TRUE(window.rect().contains(at)) << name << ": " << text.toStdString();
      if (text.contains(QRegularExpression("[A-Za-z]"))) {
        EXPECT_TRUE(text.contains('&')) << name << ": " << text.toStdString();
      }
    }
    if (shot != nullptr) {
      window.grab().save(QString(VARNOLDE_SCREENSHOT_DIR "/small_") + shot + ".png");
    }
    window.close();
  }

  app::testing::TempFolder folder_;
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
  platform::PosixFileSystem fs_;
  platform::FixedClock clock_{platform::LocalDateTime{2026, 7, 15, 7, 42, 0}, 4711};
  app::Application app_{ui_, fs_, clock_, folder_.path()};
  QtScreens screens_{ui_};
  std::string path_;
};

TEST_F(SmallScreen, TheMainScreensFit) {
  {
    LoadInfoDialog loadInfo(app_, ui_);
    Check(loadInfo, "load_info");
  }
  {
    DataEntryDialog dataEntry(app_);
    ASSERT_TRUE(dataEntry.opened());
    dataEntry.screen().OnNewLog();
    Check(dataEntry, "data_entry");
  }
  {
    DesignDialog design(app_);
    Check(design, "design");
  }
  {
    SetupDialog setup(app_, screens_);
    Check(setup, "setup");
  }
  // Last: the main screen closes the open file when it goes.
  MainDialog main(app_, screens_);
  Check(main);
}

TEST_F(SmallScreen, TheOtherWindowsFit) {
  std::vector<std::unique_ptr<QWidget>> windows;
  setup::Account account{"supervisor", "x"};
  setup::ColumnSelectionScreen selection({"SALE", "LLR", "LOG", "SP", "LN"}, {"LOG", "LN"});
  windows.push_back(std::make_unique<TapersDialog>(app_));
  windows.push_back(std::make_unique<OtherOptionsDialog>(app_));
  windows.push_back(std::make_unique<ChangeLengthsDialog>(app_, "Log"));
  windows.push_back(std::make_unique<ColumnSelectionDialog>(selection));
  windows.push_back(std::make_unique<SignInDialog>(app_));
  windows.push_back(std::make_unique<SupervisorDialog>(app_, screens_, account));
  windows.push_back(std::make_unique<AccountDialog>(app_, setup::AccountMode::kAddUser, account));
  windows.push_back(std::make_unique<ChangeSaleDialog>(app_));
  windows.push_back(std::make_unique<ReportsDialog>(app_, [](const app::ReportChoice&) {}));
  windows.push_back(std::make_unique<VolumesWindow>("Log Volume", std::string(60, 'x') + "\r\n"));
  windows.push_back(std::make_unique<QuickEstimateWindow>());
  windows.push_back(std::make_unique<AboutDialog>());
  for (const auto& window : windows) Check(*window);
}

}  // namespace
}  // namespace gui
