#include "gui/sign_in_dialog.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/test_files.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"

namespace gui {
namespace {

TEST(SignInDialog, HidesThePasswordAndSignsIn) {
  app::testing::TempFolder folder;
  platform::PosixFileSystem fs;
  platform::FixedClock clock;
  platform::ScriptedUi ui{[](const std::string& f) { ADD_FAILURE() << f; }};
  app::Application application(ui, fs, clock, folder.path());
  ASSERT_EQ(application.files.CreateFromSetup(VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl",
                                              folder / "load.scl"),
            app::FileOutcome::kCreated);
  ASSERT_TRUE(app::testing::WriteText(folder / "Varnolde.upw", "alice,$R%=O$#V"));
  SignInDialog dialog(application);
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  EXPECT_EQ(dialog.windowTitle(), "Username & Password");
  auto* user = dialog.findChild<QLineEdit*>("userName");
  auto* password = dialog.findChild<QLineEdit*>("password");
  ASSERT_TRUE(user && password);
  EXPECT_EQ(password->echoMode(), QLineEdit::Password);

  QTest::keyClicks(user, "alice");
  QTest::keyClicks(password, "wrong");
  dialog.grab().save(VARNOLDE_SCREENSHOT_DIR "/sign_in_dialog.png");
  EXPECT_NE(password->displayText(), "wrong");
  QTest::keyClick(password, Qt::Key_Return);
  ASSERT_EQ(ui.messages().size(), 1u);  // "INCORRECT USERNAME AND/OR PASSWORD!..."
  EXPECT_TRUE(user->text().isEmpty());
  EXPECT_TRUE(password->text().isEmpty());
  QPushButton* signIn = nullptr;
  for (QPushButton* b : dialog.findChildren<QPushButton*>()) {
    if (b->text() == setup::kSignInButton) signIn = b;
  }
  ASSERT_TRUE(signIn);
  EXPECT_FALSE(signIn->isEnabled());

  clock.AdvanceTicks(1000);  // the wait after a wrong password
  QTest::keyClicks(user, "alice");
  QTest::keyClicks(password, "password");
  EXPECT_TRUE(signIn->isEnabled());
  QTest::keyClick(password, Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.account().userName, "alice");
}

}  // namespace
}  // namespace gui
