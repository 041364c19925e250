#include "setup/account_screen.h"

#include "setup/password_file.h"
#include "setup/supervisor_test_fixture.h"

namespace setup {
namespace {

class AccountScreenTest : public testing::SupervisorTest {
 protected:
  void Type(AccountScreen& screen, const std::string& user, const std::string& password,
            const std::string& retyped) {
    screen.OnUserNameChanged(user);
    screen.OnPasswordChanged(password);
    screen.OnRetypedChanged(retyped);
  }

  setup::Account alice_{"alice", "$R%=O$#V"};
};

TEST_F(AccountScreenTest, ModesAndTheSubmitEnablingRule) {
  AccountScreen add(app_, setup::AccountMode::kAddUser, alice_);
  EXPECT_EQ(add.view().caption, "Add New User");
  EXPECT_EQ(add.view().loggedOn, "You are logged on as alice");
  EXPECT_TRUE(add.view().userNameShown);
  EXPECT_EQ(add.view().focus, AccountFocus::kUserName);
  EXPECT_FALSE(add.view().submitEnabled);
  add.OnRetypedChanged("x");
  EXPECT_TRUE(add.view().submitEnabled);
  add.OnUserNameChanged("carol");
  EXPECT_FALSE(add.view().submitEnabled);
  add.OnRetypedChanged("xy");
  add.OnPasswordChanged("x");
  EXPECT_FALSE(add.view().submitEnabled);

  AccountScreen change(app_, setup::AccountMode::kChangePassword, alice_);
  EXPECT_EQ(change.view().caption, "Change Password");
  EXPECT_FALSE(change.view().userNameShown);
  EXPECT_EQ(change.view().focus, AccountFocus::kPassword);
}

TEST_F(AccountScreenTest, AddingAUserAppendsExactlyOneLine) {
  AccountScreen screen(app_, setup::AccountMode::kAddUser, alice_);
  Type(screen, "carol", "secret", "secret");
  screen.OnSubmit();
  EXPECT_EQ(Shown(), std::vector<std::string>{"Done: New username and password added."});
  const std::string before = std::string(testing::kPasswords) + "\ncarol,";
  const std::string after = PasswordFile();
  EXPECT_EQ(after.substr(0, before.size()), before);
  EXPECT_TRUE(app::IsPasswordHash(after.substr(before.size())));
  EXPECT_TRUE(setup::FindSignIn(after, "carol", "secret").has_value());
  EXPECT_FALSE(screen.view().submitEnabled);
  EXPECT_EQ(screen.view().password, "");
  EXPECT_EQ(screen.view().retyped, "");
}

TEST_F(AccountScreenTest, PasswordChangeTouchesOnlyTheOwnLineAndCanBeRepeated) {
  // malice's line ends in alice's user name, comma and stored password.
  const std::string others = "\nmalice,$R%=O$#V\nbob,$R%=O$#V$";
  SetPasswordFile("alice,$R%=O$#V" + others);
  AccountScreen screen(app_, setup::AccountMode::kChangePassword, alice_);
  Type(screen, "", "newpass", "newpass");
  screen.OnSubmit();
  EXPECT_EQ(Shown(), std::vector<std::string>{"Done: Password changed."});
  EXPECT_TRUE(app::IsPasswordHash(alice_.storedPassword));
  EXPECT_EQ(PasswordFile(), "alice," + alice_.storedPassword + others);
  Type(screen, "", "third", "third");
  screen.OnSubmit();
  EXPECT_EQ(PasswordFile(), "alice," + alice_.storedPassword + others);
  EXPECT_TRUE(setup::FindSignIn(PasswordFile(), "alice", "third").has_value());
  EXPECT_FALSE(setup::FindSignIn(PasswordFile(), "alice", "newpass").has_value());
}

TEST_F(AccountScreenTest, MismatchedPasswordsClearTheFieldsAndWriteNothing) {
  AccountScreen screen(app_, setup::AccountMode::kAddUser, alice_);
  Type(screen, "carol", "secret", "secreT");
  screen.OnSubmit();
  EXPECT_EQ(Shown(), std::vector<std::string>{"Error: Passwords don't match"});
  EXPECT_EQ(screen.view().userName, "");
  EXPECT_EQ(screen.view().password, "");
  EXPECT_EQ(screen.view().retyped, "");
  EXPECT_FALSE(screen.view().submitEnabled);
  EXPECT_EQ(PasswordFile(), testing::kPasswords);
}

// Damaged password files: a refused change never rewrites or truncates them.
TEST_F(AccountScreenTest, DamagedPasswordFilesAreNeverRewrittenByAFailedChange) {
  const std::string binary("\0\xff\x01,\n\0,\0\r\n\xfe", 11);
  const std::string longLine = "alice," + std::string(200000, 'x');
  const std::string huge(setup::kMaxPasswordFileBytes + 1, 'a');
  for (const std::string& text : {std::string(), binary, longLine, huge}) {
    SetPasswordFile(text);
    AccountScreen change(app_, setup::AccountMode::kChangePassword, alice_);
    Type(change, "", "newpass", "newpass");
    change.OnSubmit();  // alice's line is not in the file
    AccountScreen add(app_, setup::AccountMode::kAddUser, alice_);
    Type(add, "carol", "a", "b");
    add.OnSubmit();
    EXPECT_EQ(PasswordFile(), text) << text.size();
  }
  EXPECT_EQ(alice_.storedPassword, "$R%=O$#V");
}

}  // namespace
}  // namespace setup
