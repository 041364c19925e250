#include "gui/setup_dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/application.h"
#include "app/screens.h"
#include "app/test_files.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"

namespace gui {
namespace {

class SetupDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(app_.files.CreateFromSetup(app::testing::DefaultSetupPath(), folder_ / "load.scl"),
              app::FileOutcome::kCreated);
    app_.TakeOpenedFile(app_.files.state());
  }

  app::testing::TempFolder folder_;
  platform::PosixFileSystem fs_;
  platform::FixedClock clock_{platform::LocalDateTime{2026, 7, 15, 7, 42, 0}};
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
  app::Application app_{ui_, fs_, clock_, folder_.path()};
  app::testing::RecordingScreens screens_;
};

TEST_F(SetupDialogTest, ShowsTheScreenAndFollowsTheTableChosen) {
  SetupDialog dialog(app_, screens_);
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  EXPECT_EQ(dialog.windowTitle(), "Varnolde -- Setup and Options");
  EXPECT_EQ(dialog.tableList()->currentText(), "Logs");
  EXPECT_EQ(dialog.landingList()->currentText(), "SP");
  EXPECT_EQ(dialog.fieldsField()->text().toStdString(), dialog.screen().view().fields);
  QPushButton* colors = nullptr;
  for (QPushButton* b : dialog.findChildren<QPushButton*>()) {
    if (b->text() == "Change &Colors") colors = b;
  }
  ASSERT_NE(colors, nullptr);
  EXPECT_FALSE(colors->isVisible() || colors->isEnabled());
  dialog.grab().save(VARNOLDE_SCREENSHOT_DIR "/setup.png");

  dialog.tableList()->setFocus();
  QTest::keyClick(dialog.tableList(), Qt::Key_Up);  // Header
  EXPECT_EQ(dialog.screen().view().table, setup::SetupTable::kHeader);
  EXPECT_FALSE(dialog.landingList()->isEnabled());
  for (QPushButton* b : dialog.findChildren<QPushButton*>()) {
    if (b->text() == "&Supervisor") QTest::mouseClick(b, Qt::LeftButton);
  }
  EXPECT_EQ(screens_.Count("Supervisor"), 1);
}

}  // namespace
}  // namespace gui
