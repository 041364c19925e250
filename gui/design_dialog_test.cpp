#include "gui/design_dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include "app/test_files.h"
#include "gui/grid_view.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"
#include "tablestore/table_store.h"

namespace gui {
namespace {

TEST(DesignDialog, SampleListShowsAndHidesTheKzGrid) {
  app::testing::TempFolder folder;
  platform::PosixFileSystem fs;
  platform::FixedClock clock;
  platform::ScriptedUi ui{[](const std::string& f) { ADD_FAILURE() << f; }};
  app::Application application(ui, fs, clock, folder.path());
  ASSERT_EQ(application.files.CreateFromSetup(VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl",
                                              folder / "load.scl"),
            app::FileOutcome::kCreated);
  DesignDialog dialog(application);
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  EXPECT_EQ(dialog.windowTitle(), "Scale and Sample Setup");
  auto* sample = dialog.findChild<QComboBox*>("scaleSample");
  auto* kz = dialog.findChild<GridView*>("kzGrid");
  ASSERT_TRUE(sample && kz);
  EXPECT_EQ(sample->currentText(), "100");
  EXPECT_FALSE(kz->isVisible());

  sample->setFocus();
  QTest::keyClick(sample, Qt::Key_Down);
  EXPECT_EQ(sample->currentText(), "3P");
  EXPECT_TRUE(kz->isVisible());
  QTest::keyClick(dialog.windowHandle(), Qt::Key_A, Qt::AltModifier);  // "&Add Record"
  QTest::qWait(200);
  EXPECT_EQ(kz->model()->rowCount(), 2);
  dialog.grab().save(VARNOLDE_SCREENSHOT_DIR "/design_dialog.png");

  sample->setFocus();
  QTest::keyClick(sample, Qt::Key_Up);
  EXPECT_FALSE(kz->isVisible());
  dialog.accept();
  ASSERT_TRUE(dialog.choice());
  EXPECT_EQ(dialog.choice()->scaleSample, "100");
  EXPECT_EQ(dialog.choice()->scaleUnits, "Cubic");
}

}  // namespace
}  // namespace gui
