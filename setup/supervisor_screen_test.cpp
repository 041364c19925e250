#include "setup/supervisor_screen.h"

#include <functional>

#include "app/main_screen.h"
#include "setup/supervisor_test_fixture.h"
#include "tablestore/settings.h"

namespace setup {
namespace {

// Stands in for the supervisor's dialogs: answers the sign-in as set, runs
// `options` as the options dialog, and records what was opened.
class FakeDialogs : public SupervisorDialogs {
 public:
  std::optional<setup::Account> ShowSignIn(app::Application&) override {
    shown.push_back("SignIn");
    return signIn;
  }
  void ShowOptions(app::Application& app, setup::Account& account) override {
    shown.push_back("Options " + account.userName);
    if (options) options(app, account);
  }
  void ShowAccount(app::Application&, setup::AccountMode mode, setup::Account& account) override {
    shown.push_back(std::string(mode == setup::AccountMode::kAddUser ? "Add " : "Change ") +
                    account.userName);
  }
  void ShowChangeSale(app::Application&) override { shown.push_back("ChangeSale"); }

  std::optional<setup::Account> signIn;
  std::function<void(app::Application&, setup::Account&)> options;
  std::vector<std::string> shown;
};

class SupervisorScreenTest : public testing::SupervisorTest {
 protected:
  void SetFinalized(const char* value) {
    ASSERT_EQ(tablestore::StoreSetting(*app_.store(), tablestore::kBlockSystem,
                                       tablestore::kKeyFinalized, value),
              0);
  }

  FakeDialogs dialogs_;
  setup::Account alice_{"alice", "$R%=O$#V"};
};

TEST_F(SupervisorScreenTest, LoadInfoEditableFollowsTheSignIn) {
  app_.AllowLoadInfoEditing();
  RunSupervisor(app_, dialogs_);  // cancelled
  EXPECT_FALSE(app_.loadInfoEditable());
  EXPECT_FALSE(app_.supervisorAccess());
  dialogs_.signIn = alice_;
  dialogs_.options = [](app::Application& app, setup::Account&) {
    EXPECT_FALSE(app.loadInfoEditable());  // set only when the options close
  };
  RunSupervisor(app_, dialogs_);
  EXPECT_TRUE(app_.loadInfoEditable());
  EXPECT_TRUE(app_.supervisorAccess());
  EXPECT_EQ(dialogs_.shown, (std::vector<std::string>{"SignIn", "SignIn", "Options alice"}));
}

TEST_F(SupervisorScreenTest, StatusLineAndButtonsOpenTheirDialogs) {
  SupervisorScreen screen(app_, dialogs_, alice_);
  EXPECT_EQ(screen.view().status, "You are logged on as alice");
  EXPECT_FALSE(screen.view().unfinalize);  // the load is not finalized
  screen.OnAddUser();
  screen.OnChangePassword();
  screen.OnChangeSale();
  EXPECT_EQ(dialogs_.shown, (std::vector<std::string>{"Add alice", "Change alice", "ChangeSale"}));
  screen.OnEditLoadInfo();
  EXPECT_TRUE(app_.loadInfoEditable());
  EXPECT_EQ(Shown(),
            std::vector<std::string>{"Load Info Editable: You may now return to Load "
                                     "Information\nand edit any field except SALE or LLR."});
}

TEST_F(SupervisorScreenTest, AuditReportIsWrittenBesideTheScaleFile) {
  SupervisorScreen screen(app_, dialogs_, alice_);
  screen.OnCreateAuditReport();
  EXPECT_EQ(Shown(), std::vector<std::string>{"Done: Audit report created"});
  EXPECT_NE(app::testing::ReadText(folder_ / "load.audit").find("AUDIT MESSAGES"),
            std::string::npos);
}

// The road a person takes: the main screen's Setup, the supervisor's
// un-finalize, and Data Entry is enabled again when Setup closes.
TEST_F(SupervisorScreenTest, UnfinalizeReenablesDataEntryOnTheMainScreen) {
  struct SetupOpensSupervisor : app::Screens {
    explicit SetupOpensSupervisor(FakeDialogs& dialogs) : dialogs(dialogs) {}
    void ShowAbout() override {}
    void ShowLoadInfo(app::Application&) override {}
    void ShowDataEntry(app::Application&) override {}
    std::optional<app::DesignChoice> ShowDesign(app::Application&,
                                                const app::DesignChoice&) override {
      return std::nullopt;
    }
    void ShowSetup(app::Application& app) override { ShowSupervisor(app); }
    void ShowSupervisor(app::Application& app) override { RunSupervisor(app, dialogs); }
    void ShowReports(app::Application&,
                     const std::function<void(const app::ReportChoice&)>&) override {}
    FakeDialogs& dialogs;
  } screens(dialogs_);
  SetFinalized("YES");
  app_.files.CloseScaleFile();
  app::MainScreen main(app_, screens);
  ui_.QueueOpenFile(path_);
  main.OnEditExistingFile();
  ASSERT_FALSE(main.view().dataEntry);

  dialogs_.signIn = alice_;
  dialogs_.options = [this](app::Application& app, setup::Account& account) {
    SupervisorScreen screen(app, dialogs_, account);
    ASSERT_TRUE(screen.view().unfinalize);
    screen.OnUnfinalize();
    EXPECT_FALSE(screen.view().unfinalize);
  };
  ClearShown();
  main.OnSetup();
  EXPECT_TRUE(main.view().dataEntry);
  EXPECT_TRUE(main.view().finalize);
  EXPECT_EQ(Shown(), std::vector<std::string>{
                         "Load un-finalized: This load has been un-finalized.\nThe Data Entry "
                         "button has been enabled.\nPlease re-finalize this load when finished."});
  main.OnDone();
  EXPECT_EQ(app::testing::GlobalValue(path_, "System", "Finalized"), "NO");
}

}  // namespace
}  // namespace setup
