#include "app/password_store.h"

#include <gtest/gtest.h>

#include "app/test_files.h"
#include "platform/mem_file_system.h"
#include "platform/scripted_ui.h"
#include "tablestore/table_store.h"

namespace app {
namespace {

constexpr const char* kPath = "/opt/varnolde/Varnolde.upw";

class PasswordStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(journal_.Open(folder_ / "journal.scl", false), 0);
    // alice / password, bob / passwordp
    fs_.SetFile(kPath, "alice,$R%=O$#V\nbob,$R%=O$#V$");
  }

  std::vector<std::string> Journal() {
    journal_.Commit();
    return testing::JournalMessages(folder_ / "journal.scl");
  }

  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const auto& message : ui_.messages())
      texts.push_back(message.caption + ": " + message.text);
    return texts;
  }

  AccountOutcome Submit(AccountMode mode, const std::string& user, const std::string& password,
                        const std::string& retyped) {
    AccountRequest request;
    request.mode = mode;
    request.signedIn = Account{"alice", "$R%=O$#V"};
    request.newUserName = user;
    request.password = password;
    request.retyped = retyped;
    return SubmitAccount(ui_, fs_, kPath, request);
  }

  testing::TempFolder folder_;
  tablestore::TableStore journal_;
  platform::MemFileSystem fs_;
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
};

TEST_F(PasswordStoreTest, SignInKeepsTheStoredPasswordAndJournals) {
  SignInOutcome outcome = SignIn(ui_, fs_, journal_, kPath, "bob", "passwordp");
  EXPECT_EQ(outcome.result, SignInResult::kSignedIn);
  EXPECT_EQ(outcome.account.userName, "bob");
  EXPECT_EQ(outcome.account.storedPassword, "$R%=O$#V$");
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_EQ(
      Journal(),
      (std::vector<std::string>{"Successful login to Supervisor Options with username: bob"}));
}

TEST_F(PasswordStoreTest, WrongPasswordNamesTheUserInTheJournal) {
  SignInOutcome outcome = SignIn(ui_, fs_, journal_, kPath, "bob", "password");
  EXPECT_EQ(outcome.result, SignInResult::kRefused);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "INCORRECT USERNAME AND/OR PASSWORD!\nTRY AGAIN");
  EXPECT_EQ(ui_.messages()[0].caption, "Error");
  EXPECT_EQ(ui_.messages()[0].icon, platform::Icon::kExclamation);
  EXPECT_EQ(Journal(), (std::vector<std::string>{"Incorrect username (bob) and/or password,"}));
}

TEST_F(PasswordStoreTest, BlankFieldsAreRefusedBeforeTheFileIsRead) {
  fs_.Delete(kPath);
  SignInOutcome outcome = SignIn(ui_, fs_, journal_, kPath, "", "");
  EXPECT_EQ(outcome.result, SignInResult::kRefused);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Error: Password can't be blank",
                                               "Error: Username can't be blank"}));
  EXPECT_EQ(ui_.messages()[0].icon, platform::Icon::kStop);
  EXPECT_TRUE(Journal().empty());
}

TEST_F(PasswordStoreTest, MissingFileEndsTheSignIn) {
  fs_.Delete(kPath);
  EXPECT_EQ(SignIn(ui_, fs_, journal_, kPath, "bob", "passwordp").result,
            SignInResult::kFileMissing);
  EXPECT_EQ(Texts(), (std::vector<std::string>{
                         "File Not Found: The password file, Varnolde.upw was not found in the "
                         "program directory."}));
}

TEST_F(PasswordStoreTest, AddingAUserAppendsOneLine) {
  AccountOutcome outcome = Submit(AccountMode::kAddUser, "carol", "password", "password");
  EXPECT_TRUE(outcome.done);
  EXPECT_EQ(*fs_.File(kPath), "alice,$R%=O$#V\nbob,$R%=O$#V$\ncarol,$R%=O$#V");
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Done: New username and password added."}));
}

TEST_F(PasswordStoreTest, CompletedActionsCarryTheInformationIcon) {
  ASSERT_TRUE(Submit(AccountMode::kAddUser, "carol", "password", "password").done);
  ASSERT_TRUE(Submit(AccountMode::kChangePassword, "", "passwordp", "passwordp").done);
  ASSERT_EQ(ui_.messages().size(), 2u);
  EXPECT_EQ(ui_.messages()[0].caption, "Done");
  EXPECT_EQ(ui_.messages()[0].icon, platform::Icon::kInformation);
  EXPECT_EQ(ui_.messages()[1].caption, "Done");
  EXPECT_EQ(ui_.messages()[1].icon, platform::Icon::kInformation);
}

TEST_F(PasswordStoreTest, TypedPasswordsThatDifferOnlyWhereTheFileHasNoCharacterDoNotMatch) {
  // U+4E2D and U+6587 have no 8-bit form: both would be stored as "?".
  EXPECT_FALSE(Submit(AccountMode::kAddUser, "carol", "a\xE4\xB8\xAD", "a\xE6\x96\x87").done);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Error: Passwords don't match"}));
  EXPECT_EQ(*fs_.File(kPath), "alice,$R%=O$#V\nbob,$R%=O$#V$");
}

TEST_F(PasswordStoreTest, AddingAnExistingUserIsRefused) {
  AccountOutcome outcome = Submit(AccountMode::kAddUser, "bob", "x", "y");
  EXPECT_FALSE(outcome.done);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Error: That username already exists",
                                               "Error: Passwords don't match"}));
  EXPECT_EQ(*fs_.File(kPath), "alice,$R%=O$#V\nbob,$R%=O$#V$");
}

TEST_F(PasswordStoreTest, AddingWithoutThePasswordFileIsRefused) {
  fs_.Delete(kPath);
  EXPECT_FALSE(Submit(AccountMode::kAddUser, "carol", "pw", "pw").done);
  EXPECT_EQ(Texts(), (std::vector<std::string>{
                         "File Not Found: The password file, Varnolde.upw was not found in the "
                         "program directory."}));
  EXPECT_EQ(fs_.File(kPath), nullptr);
}

TEST_F(PasswordStoreTest, ChangingThePasswordRewritesOnlyTheOwnLine) {
  // "alice,$R%=O$#V" also occurs inside the line of "malice".
  fs_.SetFile(kPath, "alice,$R%=O$#V\nmalice,$R%=O$#V\nbob,x");
  AccountOutcome outcome = Submit(AccountMode::kChangePassword, "", "passwordp", "passwordp");
  EXPECT_TRUE(outcome.done);
  EXPECT_EQ(outcome.storedPassword, "$R%=O$#V$");
  EXPECT_EQ(*fs_.File(kPath), "alice,$R%=O$#V$\nmalice,$R%=O$#V\nbob,x");
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Done: Password changed."}));
}

TEST_F(PasswordStoreTest, ChangeForAnAccountThatIsGoneIsNotReportedAsDone) {
  fs_.SetFile(kPath, "bob,x");
  EXPECT_FALSE(Submit(AccountMode::kChangePassword, "", "new", "new").done);
  EXPECT_EQ(Texts(), (std::vector<std::string>{
                         "Error: Your account is no longer in the password file, Varnolde.upw."}));
  EXPECT_EQ(*fs_.File(kPath), "bob,x");
}

TEST_F(PasswordStoreTest, UnwritableFileIsReported) {
  fs_.SetWriteFails(kPath, true);
  EXPECT_FALSE(Submit(AccountMode::kAddUser, "carol", "pw", "pw").done);
  EXPECT_EQ(
      Texts(),
      (std::vector<std::string>{"Error: The password file, Varnolde.upw could not be written."}));
}

TEST_F(PasswordStoreTest, AFileTheUserMayNotWriteSendsThemToTheAdministrator) {
  fs_.SetWriteFails(kPath, true, platform::FileResult::kAccessDenied);
  EXPECT_FALSE(Submit(AccountMode::kChangePassword, "", "new", "new").done);
  EXPECT_EQ(Texts(), (std::vector<std::string>{
                         std::string("Access Denied: You may not change the password file ") +
                         kPath + ".\nPlease ask the administrator to add the user or change the "
                                 "password."}));
  EXPECT_EQ(*fs_.File(kPath), "alice,$R%=O$#V\nbob,$R%=O$#V$");
}

TEST_F(PasswordStoreTest, NewAccountSignsInWithItsUtf8Password) {
  ASSERT_TRUE(Submit(AccountMode::kAddUser, "jos\xC3\xA9", "caf\xC3\xA9", "caf\xC3\xA9").done);
  EXPECT_EQ(SignIn(ui_, fs_, journal_, kPath, "jos\xC3\xA9", "caf\xC3\xA9").result,
            SignInResult::kSignedIn);
  // Stored as one 8-bit character each: "jos" + 0xE9.
  EXPECT_NE(fs_.File(kPath)->find("\njos\xE9,"), std::string::npos);
}

}  // namespace
}  // namespace app
