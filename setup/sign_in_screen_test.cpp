#include "setup/sign_in_screen.h"

#include "setup/supervisor_test_fixture.h"

namespace setup {
namespace {

class SignInScreenTest : public testing::SupervisorTest {
 protected:
  SignInStep SignIn(const std::string& user, const std::string& password) {
    screen_.OnUserNameChanged(user);
    screen_.OnPasswordChanged(password);
    return screen_.OnSignIn();
  }

  SignInScreen screen_{app_};
};

TEST_F(SignInScreenTest, EachFieldProblemHasItsOwnBoxAndDisablesSignIn) {
  struct Case {
    const char* user;
    const char* password;
    std::vector<std::string> shown;
  };
  const Case cases[] = {
      {"alice", "", {"Error: Password can't be blank"}},
      {"alice", "pass,word", {"Error: Password can't have commas"}},
      {"", "password", {"Error: Username can't be blank"}},
      {"al,ice", "password", {"Error: Username can't have commas"}},
      {"", "", {"Error: Password can't be blank", "Error: Username can't be blank"}},
  };
  for (const Case& c : cases) {
    SignInScreen screen(app_);
    ClearShown();
    screen.OnUserNameChanged(c.user);
    screen.OnPasswordChanged(c.password);
    EXPECT_EQ(screen.OnSignIn(), SignInStep::kStay) << c.user << "/" << c.password;
    EXPECT_EQ(Shown(), c.shown) << c.user << "/" << c.password;
    EXPECT_EQ(screen.view().userName, "");
    EXPECT_EQ(screen.view().password, "");
    EXPECT_FALSE(screen.view().signInEnabled);
  }
  EXPECT_TRUE(Journal().empty());
}

TEST_F(SignInScreenTest, SignInStaysDisabledUntilThePasswordChanges) {
  SignIn("alice", "");
  ClearShown();
  screen_.OnUserNameChanged("alice");
  EXPECT_FALSE(screen_.view().signInEnabled);
  EXPECT_EQ(screen_.OnSignIn(), SignInStep::kStay);
  EXPECT_TRUE(Shown().empty());
  screen_.OnPasswordChanged("password");
  EXPECT_TRUE(screen_.view().signInEnabled);
  EXPECT_EQ(screen_.OnSignIn(), SignInStep::kSignedIn);
}

TEST_F(SignInScreenTest, WrongPasswordIsShownAndJournaledWithTheUserName) {
  EXPECT_EQ(SignIn("alice", "Password"), SignInStep::kStay);
  EXPECT_EQ(Shown(),
            std::vector<std::string>{"Error: INCORRECT USERNAME AND/OR PASSWORD!\nTRY AGAIN"});
  EXPECT_EQ(ui_.messages()[0].icon, platform::Icon::kExclamation);
  EXPECT_EQ(Journal(), std::vector<std::string>{"Incorrect username (alice) and/or password,"});
  EXPECT_FALSE(screen_.view().signInEnabled);
  EXPECT_EQ(screen_.view().userName, "");
}

TEST_F(SignInScreenTest, RightPasswordSignsInWithThePasswordAsNowStored) {
  EXPECT_EQ(SignIn("bob", "passwordp"), SignInStep::kSignedIn);
  EXPECT_EQ(screen_.account().userName, "bob");
  EXPECT_TRUE(app::IsPasswordHash(screen_.account().storedPassword));
  EXPECT_EQ(PasswordFile(), "alice,$R%=O$#V\nbob," + screen_.account().storedPassword);
  EXPECT_EQ(Journal(),
            std::vector<std::string>{"Successful login to Supervisor Options with username: bob"});
}

TEST_F(SignInScreenTest, MissingPasswordFileEndsAsCancelled) {
  ASSERT_EQ(fs_.Delete(passwordPath_), platform::FileResult::kOk);
  EXPECT_EQ(SignIn("alice", "password"), SignInStep::kCancelled);
  EXPECT_EQ(Shown(), std::vector<std::string>{"File Not Found: The password file, Varnolde.upw "
                                              "was not found in the program directory."});
}

TEST_F(SignInScreenTest, TryDuringTheWaitKeepsTheFieldsAndTheWaitOutlivesTheDialog) {
  EXPECT_EQ(SignIn("bob", "wrong"), SignInStep::kStay);
  SignInScreen again(app_);
  ClearShown();
  again.OnUserNameChanged("bob");
  again.OnPasswordChanged("passwordp");
  EXPECT_EQ(again.OnSignIn(), SignInStep::kStay);
  EXPECT_EQ(Shown(), std::vector<std::string>{"Access Denied: Wrong username or password: please "
                                              "wait 1 second, then try again."});
  EXPECT_EQ(again.view().userName, "bob");
  EXPECT_EQ(again.view().password, "passwordp");
  EXPECT_TRUE(again.view().signInEnabled);
  clock_.AdvanceTicks(1000);
  EXPECT_EQ(again.OnSignIn(), SignInStep::kSignedIn);
}

// Damaged password files: sign-in refuses (or ends as cancelled for a file
// too big to read) and never changes the file.
TEST_F(SignInScreenTest, DamagedPasswordFilesNeverSignInNorChange) {
  const std::string binary("\0\xff\x01,\n\0,\0\r\n\xfe", 11);
  const std::string longLine = "alice," + std::string(200000, 'x');
  const std::string huge(setup::kMaxPasswordFileBytes + 1, 'a');
  for (const std::string& text : {std::string(), binary, longLine, huge, std::string("\n\n,,\n")}) {
    SetPasswordFile(text);
    clock_.AdvanceTicks(app::SignInDelay::kLongestWaitMs);
    SignInScreen screen(app_);
    screen.OnUserNameChanged("alice");
    screen.OnPasswordChanged("password");
    const SignInStep expected =
        text.size() > setup::kMaxPasswordFileBytes ? SignInStep::kCancelled : SignInStep::kStay;
    EXPECT_EQ(screen.OnSignIn(), expected) << text.size();
    EXPECT_EQ(PasswordFile(), text);
  }
}

}  // namespace
}  // namespace setup
