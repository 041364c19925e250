#include "gui/supervisor_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/test_files.h"
#include "gui/account_dialog.h"
#include "gui/change_sale_dialog.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"

namespace gui {
namespace {

class NoDialogs : public setup::SupervisorDialogs {
 public:
  std::optional<setup::Account> ShowSignIn(app::Application&) override { return std::nullopt; }
  void ShowOptions(app::Application&, setup::Account&) override {}
  void ShowAccount(app::Application&, setup::AccountMode, setup::Account&) override { ++accounts; }
  void ShowChangeSale(app::Application&) override {}
  int accounts = 0;
};

class SupervisorDialogTest : public ::testing::Test {
 protected:
  SupervisorDialogTest() : application_(ui_, fs_, clock_, folder_.path()) {
    EXPECT_EQ(application_.files.CreateFromSetup(VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl",
                                                 folder_ / "load.scl"),
              app::FileOutcome::kCreated);
  }

  void Show(QDialog& dialog) {
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  }

  app::testing::TempFolder folder_;
  platform::PosixFileSystem fs_;
  platform::FixedClock clock_;
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
  app::Application application_;
  setup::Account alice_{"alice", "$R%=O$#V"};
};

TEST_F(SupervisorDialogTest, OptionsShowTheUserAndTheirButtonsAct) {
  NoDialogs dialogs;
  SupervisorDialog dialog(application_, dialogs, alice_);
  Show(dialog);
  EXPECT_EQ(dialog.windowTitle(), "Supervisor Options");
  EXPECT_TRUE(dialog.findChild<QLabel*>()->text() == "You are logged on as alice");
  for (QPushButton* b : dialog.findChildren<QPushButton*>()) {
    if (b->text() == "Un-&Finalize this Load") {
      EXPECT_FALSE(b->isEnabled());
    }
  }
  dialog.grab().save(VARNOLDE_SCREENSHOT_DIR "/supervisor_dialog.png");
  QTest::keyClick(dialog.windowHandle(), Qt::Key_U, Qt::AltModifier);  // "Add a &User"
  QTest::qWait(200);
  EXPECT_EQ(dialogs.accounts, 1);
}

TEST_F(SupervisorDialogTest, AccountDialogHidesTheUserNameWhenChangingThePassword) {
  AccountDialog change(application_, setup::AccountMode::kChangePassword, alice_);
  Show(change);
  EXPECT_EQ(change.windowTitle(), "Change Password");
  EXPECT_FALSE(change.findChild<QLineEdit*>("userName")->isVisible());
  EXPECT_EQ(change.findChild<QLineEdit*>("retyped")->echoMode(), QLineEdit::Password);
  change.close();
  AccountDialog add(application_, setup::AccountMode::kAddUser, alice_);
  Show(add);
  EXPECT_TRUE(add.findChild<QLineEdit*>("userName")->hasFocus());
  add.grab().save(VARNOLDE_SCREENSHOT_DIR "/account_dialog.png");
  ChangeSaleDialog sale(application_);
  Show(sale);
  EXPECT_EQ(sale.windowTitle(), "Change SALE or LLR");
  sale.grab().save(VARNOLDE_SCREENSHOT_DIR "/change_sale_dialog.png");
}

}  // namespace
}  // namespace gui
