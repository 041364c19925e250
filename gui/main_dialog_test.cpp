#include "gui/main_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/test_files.h"
#include "gui/about_dialog.h"
#include "gui/reports_dialog.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"

namespace gui {
namespace {

// Presses Alt+`key` in the dialog's window, as the keyboard does, and waits
// for the button's animated click that the mnemonic starts.
void Mnemonic(QWidget& dialog, Qt::Key key) {
  QTest::keyClick(dialog.windowHandle(), key, Qt::AltModifier);
  QTest::qWait(200);
}

QPushButton* Button(QWidget& dialog, const QString& text) {
  for (QPushButton* b : dialog.findChildren<QPushButton*>()) {
    if (b->text() == text) return b;
  }
  ADD_FAILURE() << "no button " << text.toStdString();
  return nullptr;
}

// The main dialog, shown, over a scale file "load.scl" that is not open yet.
class MainDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(app::testing::MakeScaleFile(clock, path));
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  }

  app::testing::TempFolder folder;
  platform::PosixFileSystem fs;
  platform::FixedClock clock;
  platform::ScriptedUi ui{[](const std::string& f) { ADD_FAILURE() << f; }};
  app::testing::RecordingScreens screens;
  app::Application application{ui, fs, clock, folder.path()};
  const std::string path = folder / "load.scl";
  MainDialog dialog{application, screens};
};

TEST_F(MainDialogTest, ShowsTheOpenedFileAndItsButtons) {
  EXPECT_EQ(dialog.windowTitle(), "Varnolde 2010.11.05");
  auto* field = dialog.findChildren<QLineEdit*>().front();
  EXPECT_EQ(field->text(), "No File Open.");
  EXPECT_FALSE(Button(dialog, "&Load Info")->isEnabled());

  ui.QueueOpenFile(path);
  Mnemonic(dialog, Qt::Key_E);  // &Edit existing file
  EXPECT_EQ(field->text().toStdString(), path);
  for (const char* text :
       {"&Load Info", "&Data Entry", "&Setup && Options", "&Reports", "&Finalize load", " ... "}) {
    EXPECT_TRUE(Button(dialog, text)->isEnabled()) << text;
  }
  auto* fileType = dialog.findChild<QComboBox*>();
  EXPECT_EQ(fileType->currentText(), "production");
  fileType->setFocus();
  QTest::keyClick(fileType, Qt::Key_End);  // "non-scale loads"
  EXPECT_EQ(fileType->currentText(), "non-scale loads");
  EXPECT_FALSE(Button(dialog, "&Data Entry")->isEnabled());
  EXPECT_FALSE(Button(dialog, "&Finalize load")->isEnabled());
  QTest::keyClick(fileType, Qt::Key_Home);
  EXPECT_TRUE(Button(dialog, "&Data Entry")->isEnabled());
  dialog.grab().save(VARNOLDE_SCREENSHOT_DIR "/main_dialog.png");

  Mnemonic(dialog, Qt::Key_L);  // &Load Info: the audit fails
  EXPECT_EQ(screens.Count("LoadInfo"), 1);
  EXPECT_FALSE(Button(dialog, "&Reports")->isEnabled());

  Mnemonic(dialog, Qt::Key_O);  // D&one
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(app::testing::JournalMessages(path).back(), "File closed");
}

// Each of the nine buttons, pressed as the user does, runs its own command.
TEST_F(MainDialogTest, EveryButtonReachesItsCommand) {
  const auto filePath = [&] { return dialog.screen().view().filePath; };

  ui.QueueOpenFile(path);
  Mnemonic(dialog, Qt::Key_E);  // &Edit existing file
  EXPECT_EQ(filePath(), path);
  Mnemonic(dialog, Qt::Key_D);  // &Data Entry
  Mnemonic(dialog, Qt::Key_S);  // &Setup && Options
  Mnemonic(dialog, Qt::Key_R);  // &Reports
  QTest::mouseClick(Button(dialog, " ... "), Qt::LeftButton);
  EXPECT_EQ(screens.shown,
            (std::vector<std::string>{"DataEntry", "Setup", "Reports", "Design 100/Cubic"}));
  Mnemonic(dialog, Qt::Key_F);  // &Finalize load: the empty load's audit stops it
  ASSERT_FALSE(ui.messages().empty());
  EXPECT_EQ(app::testing::GlobalValue(path, "System", "Finalized"), "NO");
  Mnemonic(dialog, Qt::Key_L);  // &Load Info
  EXPECT_EQ(screens.shown.back(), "LoadInfo");

  const std::string created = folder / "new.scl";
  ui.QueueOpenFile(app::testing::DefaultSetupPath());  // "Select Setup file"
  ui.QueueSaveFile(created);
  Mnemonic(dialog, Qt::Key_C);  // &Create new file: Load Info, then the design
  EXPECT_EQ(filePath(), created);
  EXPECT_EQ(screens.Count("LoadInfo"), 2);
  EXPECT_EQ(screens.Count("Design 100/Cubic"), 2);
  Mnemonic(dialog, Qt::Key_O);  // D&one
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(app::testing::JournalMessages(created).back(), "File closed");
}

// Generate hands the ticks over and the dialog stays open, its Print...
// enabled once a printed report was written; the next dialog of the session
// starts with the same ticks.
TEST(ReportsDialog, GenerateStaysOpenAndTheTicksAreKept) {
  app::testing::TempFolder folder;
  platform::PosixFileSystem fs;
  platform::FixedClock clock;
  platform::ScriptedUi ui{[](const std::string& f) { ADD_FAILURE() << f; }};
  app::Application application(ui, fs, clock, folder.path());
  std::vector<app::ReportChoice> runs;
  const auto generate = [&](const app::ReportChoice& choice) {
    runs.push_back(choice);
    application.lastReports = {folder / "load.clg"};
  };
  {
    ReportsDialog dialog(application, generate);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(dialog.windowTitle(), "Reports");
    const QList<QCheckBox*> boxes = dialog.findChildren<QCheckBox*>();
    ASSERT_EQ(boxes.size(), 4);
    EXPECT_EQ(boxes[0]->text(), "Comprehensive Report (*.cmp)");
    EXPECT_EQ(boxes[1]->text(), "Log Report (*.clg)");
    EXPECT_EQ(boxes[2]->text(), "Brevanta File (*.bva)");
    EXPECT_FALSE(dialog.printButton()->isEnabled());
    boxes[1]->setFocus();
    QTest::keyClick(boxes[1], Qt::Key_Space);
    boxes[3]->setFocus();
    QTest::keyClick(boxes[3], Qt::Key_Space);
    dialog.grab().save(VARNOLDE_SCREENSHOT_DIR "/reports_dialog.png");
    Mnemonic(dialog, Qt::Key_R);  // Generate &Reports
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_TRUE(runs[0].comprehensive && !runs[0].logReport && runs[0].brevanta && runs[0].pdf);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.printButton()->isEnabled());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
  }
  ReportsDialog again(application, generate);
  const app::ReportChoice kept = again.screen().view().ticks;
  EXPECT_TRUE(kept.comprehensive && !kept.logReport && kept.brevanta && kept.pdf);
}

TEST(AboutDialog, NameVersionAndPurpose) {
  AboutDialog dialog;
  dialog.show();
  const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
  ASSERT_EQ(labels.size(), 2);
  EXPECT_EQ(labels[0]->text(), "Varnolde\nVersion 2010.11.05");
  EXPECT_EQ(labels[0]->font().family(), "Arial");
  EXPECT_EQ(labels[1]->text(), "Cubic scaling using 100% or 3P sampling.");
  EXPECT_EQ(dialog.windowTitle(), "About Varnolde");
  dialog.grab().save(VARNOLDE_SCREENSHOT_DIR "/about_dialog.png");
}

}  // namespace
}  // namespace gui
