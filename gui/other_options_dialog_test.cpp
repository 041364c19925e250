#include "gui/other_options_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>

#include "app/application.h"
#include "app/test_files.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"

namespace gui {
namespace {

using setup::YesNoOption;

class OtherOptionsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(app_.files.CreateFromSetup(VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl", path_),
              app::FileOutcome::kCreated);
  }
  std::string Option(const char* key) { return app::testing::GlobalValue(path_, "Option", key); }
  // Ticks the audit box and chooses 1.5 seconds, as the user would.
  void Change(OtherOptionsDialog& dialog) {
    QTest::mouseClick(dialog.box(YesNoOption::kAuditEachLog), Qt::LeftButton);
    EXPECT_FALSE(dialog.closeHitList()->isEnabled());
    QTest::mouseClick(dialog.closeHitBox(), Qt::LeftButton);
    ASSERT_TRUE(dialog.closeHitList()->isEnabled());
    Q_EMIT dialog.closeHitList()->activated(4);  // the user's pick from the open list
    EXPECT_EQ(dialog.closeHitList()->currentText(), "1.5");
  }
  QPushButton* Button(OtherOptionsDialog& dialog, QDialogButtonBox::StandardButton which) {
    return dialog.findChild<QDialogButtonBox*>()->button(which);
  }

  app::testing::TempFolder folder_;
  std::string path_ = folder_ / "load.scl";
  platform::PosixFileSystem fs_;
  platform::FixedClock clock_{platform::LocalDateTime{2026, 7, 15, 7, 42, 0}};
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
  app::Application app_{ui_, fs_, clock_, folder_.path()};
};

TEST_F(OtherOptionsDialogTest, ShowsTheOptionsAndOnlyOkWritesTheChanges) {
  const std::string audit = Option("AuditEachLogBeforeAppend");
  const std::string closeHit = Option("CloseHitWindow");
  ASSERT_EQ(closeHit, "-1");
  {
    OtherOptionsDialog dialog(app_);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Other Options");
    EXPECT_FALSE(dialog.closeHitBox()->isChecked());
    EXPECT_EQ(dialog.box(YesNoOption::kAuditEachLog)->isChecked(), audit == "YES");
    Change(dialog);
    QTest::mouseClick(Button(dialog, QDialogButtonBox::Cancel), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
  }
  EXPECT_EQ(Option("AuditEachLogBeforeAppend"), audit);
  EXPECT_EQ(Option("CloseHitWindow"), closeHit);

  OtherOptionsDialog dialog(app_);
  dialog.show();
  Change(dialog);
  EXPECT_EQ(dialog.options().view().closeHit, "1.5");
  QTest::mouseClick(Button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(Option("AuditEachLogBeforeAppend"), audit == "YES" ? "NO" : "YES");
  EXPECT_EQ(Option("CloseHitWindow"), "1.5");

  OtherOptionsDialog again(app_);
  EXPECT_TRUE(again.closeHitBox()->isChecked());
  EXPECT_EQ(again.closeHitList()->currentText(), "1.5");
}

}  // namespace
}  // namespace gui
