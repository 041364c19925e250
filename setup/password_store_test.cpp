#include "setup/password_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "app/test_files.h"
#include "mkstore/fault_file_system.h"
#include "platform/clock.h"
#include "platform/mem_file_system.h"
#include "platform/scripted_ui.h"
#include "setup/password_test_support.h"
#include "tablestore/table_store.h"

namespace setup {
namespace {

constexpr const char* kPath = "/opt/varnolde/Varnolde.upw";
using testing::kTestHashCost;

class PasswordStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(journal_.Open(folder_ / "journal.scl", false), 0);
    // alice / password, bob / passwordp
    fs_.SetFile(kPath, "alice,$R%=O$#V\nbob,$R%=O$#V$");
  }

  std::vector<std::string> Journal() {
    journal_.Commit();
    return app::testing::JournalMessages(folder_ / "journal.scl");
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
    return SubmitAccount(ui_, fs_, kPath, request, kTestHashCost);
  }

  SignInOutcome SignInAs(const std::string& user, const std::string& password) {
    return SignIn(ui_, fs_, journal_, kPath, user, password, policy_, clock_);
  }

  app::testing::TempFolder folder_;
  tablestore::TableStore journal_;
  platform::MemFileSystem fs_;
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
  app::PasswordPolicy policy_{app::SignInDelay(), kTestHashCost};
  platform::FixedClock clock_;
};

TEST_F(PasswordStoreTest, HashedAccountSignsInAndKeepsItsLine) {
  const std::string file = "alice,$R%=O$#V\ncarol," + testing::TestHash("pass word");
  fs_.SetFile(kPath, file);
  SignInOutcome outcome = SignInAs("carol", "pass word");
  EXPECT_EQ(outcome.result, SignInResult::kSignedIn);
  EXPECT_EQ("carol," + outcome.account.storedPassword, file.substr(file.find('\n') + 1));
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_EQ(*fs_.File(kPath), file);
  EXPECT_EQ(
      Journal(),
      (std::vector<std::string>{"Successful login to Supervisor Options with username: carol"}));
}

TEST_F(PasswordStoreTest, OldScrambledAccountComesOutHashedWithTheOtherLinesUnchanged) {
  const std::string carol = "carol," + testing::TestHash("x");
  fs_.SetFile(kPath, "alice,$R%=O$#V\r\nbob,$R%=O$#V$\r\n\n" + carol);
  SignInOutcome outcome = SignInAs("bob", "passwordp");
  ASSERT_EQ(outcome.result, SignInResult::kSignedIn);
  const std::string& hash = outcome.account.storedPassword;
  EXPECT_TRUE(app::IsPasswordHash(hash));
  EXPECT_EQ(app::StoredHashCost(hash)->memoryBytes, kTestHashCost.memoryBytes);
  EXPECT_EQ(*fs_.File(kPath), "alice,$R%=O$#V\r\nbob," + hash + "\r\n\n" + carol);
  EXPECT_TRUE(ui_.messages().empty());
  // From now on the hash is checked, and the file stays as it is.
  EXPECT_EQ(SignInAs("bob", "passwordp").account.storedPassword, hash);
  EXPECT_EQ(SignInAs("bob", Scramble(hash)).result, SignInResult::kRefused);
}

TEST_F(PasswordStoreTest, SignInStandsWhenTheOldFormCannotBeReplaced) {
  fs_.SetWriteFails(kPath, true);
  SignInOutcome outcome = SignInAs("bob", "passwordp");
  EXPECT_EQ(outcome.result, SignInResult::kSignedIn);
  EXPECT_EQ(outcome.account.storedPassword, "$R%=O$#V$");
  EXPECT_EQ(*fs_.File(kPath), "alice,$R%=O$#V\nbob,$R%=O$#V$");
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, "Warning!");
  EXPECT_EQ(ui_.messages()[0].icon, platform::Icon::kExclamation);
}

TEST_F(PasswordStoreTest, EachWrongPasswordMakesTheNextTryWaitLonger) {
  const uint32_t waits[] = {1000, 2000, 4000, 8000, 16000, 30000, 30000};
  clock_.SetTickCount(0xFFFFF000u);  // the tick count wraps during the test
  for (uint32_t wait : waits) {
    ASSERT_EQ(SignInAs("bob", "wrong").result, SignInResult::kRefused);
    clock_.AdvanceTicks(wait - 1);
    // Even the right password is not checked before the wait is over.
    EXPECT_EQ(SignInAs("bob", "passwordp").result, SignInResult::kWaiting) << wait;
    EXPECT_EQ(Texts().back(),
              "Access Denied: Wrong username or password: please wait 1 second, then try again.");
    EXPECT_EQ(ui_.messages().back().icon, platform::Icon::kExclamation);
    clock_.AdvanceTicks(1);
  }
  EXPECT_EQ(SignInAs("bob", "passwordp").result, SignInResult::kSignedIn);
  // A sign-in starts the waits over.
  EXPECT_EQ(SignInAs("bob", "wrong").result, SignInResult::kRefused);
  clock_.AdvanceTicks(app::SignInDelay::kFirstWaitMs);
  EXPECT_EQ(SignInAs("bob", "passwordp").result, SignInResult::kSignedIn);
  // Every failure has its journal line; the refused early tries none.
  auto journal = Journal();
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "Incorrect username (bob) and/or password,"),
            8);
  EXPECT_EQ(journal.size(), 10u);
}

TEST_F(PasswordStoreTest, WaitIsShownInWholeSecondsRoundedUp) {
  ASSERT_EQ(SignInAs("bob", "wrong").result, SignInResult::kRefused);
  ASSERT_EQ(SignInAs("bob", "wrong").result, SignInResult::kWaiting);
  clock_.AdvanceTicks(1000);
  ASSERT_EQ(SignInAs("bob", "wrong").result, SignInResult::kRefused);
  clock_.AdvanceTicks(100);
  ASSERT_EQ(SignInAs("bob", "passwordp").result, SignInResult::kWaiting);
  EXPECT_EQ(ui_.messages().back().text,
            "Wrong username or password: please wait 2 seconds, then try again.");
}

TEST_F(PasswordStoreTest, WrongPasswordNamesTheUserInTheJournal) {
  SignInOutcome outcome = SignInAs("bob", "password");
  EXPECT_EQ(outcome.result, SignInResult::kRefused);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "INCORRECT USERNAME AND/OR PASSWORD!\nTRY AGAIN");
  EXPECT_EQ(ui_.messages()[0].caption, "Error");
  EXPECT_EQ(ui_.messages()[0].icon, platform::Icon::kExclamation);
  EXPECT_EQ(Journal(), (std::vector<std::string>{"Incorrect username (bob) and/or password,"}));
}

TEST_F(PasswordStoreTest, BlankFieldsAreRefusedBeforeTheFileIsRead) {
  fs_.Delete(kPath);
  SignInOutcome outcome = SignInAs("", "");
  EXPECT_EQ(outcome.result, SignInResult::kRefused);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Error: Password can't be blank",
                                               "Error: Username can't be blank"}));
  EXPECT_EQ(ui_.messages()[0].icon, platform::Icon::kStop);
  EXPECT_TRUE(Journal().empty());
}

TEST_F(PasswordStoreTest, MissingFileEndsTheSignIn) {
  fs_.Delete(kPath);
  EXPECT_EQ(SignInAs("bob", "passwordp").result, SignInResult::kFileMissing);
  EXPECT_EQ(Texts(), (std::vector<std::string>{
                         "File Not Found: The password file, Varnolde.upw was not found in the "
                         "program directory."}));
}

TEST_F(PasswordStoreTest, AddingAUserAppendsOneHashedLine) {
  AccountOutcome outcome = Submit(AccountMode::kAddUser, "carol", "password", "password");
  EXPECT_TRUE(outcome.done);
  const std::string before = "alice,$R%=O$#V\nbob,$R%=O$#V$\ncarol,";
  const std::string after = *fs_.File(kPath);
  ASSERT_EQ(after.substr(0, before.size()), before);
  const std::string stored = after.substr(before.size());
  EXPECT_TRUE(app::IsPasswordHash(stored));
  EXPECT_EQ(Scramble(stored).find("password"), std::string::npos);
  EXPECT_EQ(FindSignIn(after, "carol", "password")->storedPassword, stored);
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
  EXPECT_TRUE(app::IsPasswordHash(outcome.storedPassword));
  EXPECT_EQ(*fs_.File(kPath), "alice," + outcome.storedPassword + "\nmalice,$R%=O$#V\nbob,x");
  EXPECT_TRUE(FindSignIn(*fs_.File(kPath), "alice", "passwordp").has_value());
  EXPECT_FALSE(FindSignIn(*fs_.File(kPath), "alice", "password").has_value());
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
  EXPECT_FALSE(Submit(AccountMode::kChangePassword, "", "pw", "pw").done);
  EXPECT_EQ(Texts(), (std::vector<std::string>(
                         2, "Error: The password file, Varnolde.upw could not be written.")));
  EXPECT_EQ(*fs_.File(kPath), "alice,$R%=O$#V\nbob,$R%=O$#V$");
}

TEST_F(PasswordStoreTest, AFileTheUserMayNotWriteSendsThemToTheAdministrator) {
  fs_.SetWriteFails(kPath, true, platform::FileResult::kAccessDenied);
  EXPECT_FALSE(Submit(AccountMode::kChangePassword, "", "new", "new").done);
  EXPECT_EQ(Texts(),
            (std::vector<std::string>{
                std::string("Access Denied: You may not change the password file ") + kPath +
                ".\nPlease ask the administrator to add the user or change the "
                "password."}));
  EXPECT_EQ(*fs_.File(kPath), "alice,$R%=O$#V\nbob,$R%=O$#V$");
}

TEST_F(PasswordStoreTest, NewAccountSignsInWithItsUtf8Password) {
  ASSERT_TRUE(Submit(AccountMode::kAddUser, "jos\xC3\xA9", "caf\xC3\xA9", "caf\xC3\xA9").done);
  EXPECT_EQ(SignInAs("jos\xC3\xA9", "caf\xC3\xA9").result, SignInResult::kSignedIn);
  // Stored as one 8-bit character each: "jos" + 0xE9.
  EXPECT_NE(fs_.File(kPath)->find("\njos\xE9,"), std::string::npos);
}

TEST_F(PasswordStoreTest, AdministratorSetsAPasswordOrAddsTheAccount) {
  ASSERT_TRUE(SetPassword(fs_, kPath, "bob", "n3w", "n3w", kTestHashCost).ok);
  const auto added = SetPassword(fs_, kPath, "dave", "d", "d", kTestHashCost);
  ASSERT_TRUE(added.ok);
  EXPECT_TRUE(added.added);
  const std::string text = *fs_.File(kPath);
  EXPECT_EQ(text.substr(0, 20), "alice,$R%=O$#V\nbob,$");
  EXPECT_TRUE(FindSignIn(text, "bob", "n3w").has_value());
  EXPECT_FALSE(FindSignIn(text, "bob", "passwordp").has_value());
  EXPECT_TRUE(FindSignIn(text, "dave", "d").has_value());
  EXPECT_EQ(ParseAccounts(text).size(), 3u);
}

TEST_F(PasswordStoreTest, AdministratorsRefusedResetWritesNothing) {
  struct Case {
    const char* user;
    const char* password;
    const char* retyped;
    const char* error;
  };
  const Case cases[] = {
      {"bob", "", "", "Password can't be blank"},
      {"bob", "a,b", "a,b", "Password can't have commas"},
      {"b,ob", "x", "x", "Username can't have commas"},
      {"bob", "x", "y", "Passwords don't match"},
  };
  for (const Case& c : cases) {
    const auto outcome = SetPassword(fs_, kPath, c.user, c.password, c.retyped, kTestHashCost);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.error, c.error);
  }
  fs_.SetWriteFails(kPath, true);
  EXPECT_FALSE(SetPassword(fs_, kPath, "bob", "x", "x", kTestHashCost).ok);
  EXPECT_EQ(*fs_.File(kPath), "alice,$R%=O$#V\nbob,$R%=O$#V$");
  fs_.Delete(kPath);
  EXPECT_FALSE(SetPassword(fs_, kPath, "bob", "x", "x", kTestHashCost).ok);
  EXPECT_EQ(fs_.File(kPath), nullptr);
}

// The platform's whole-file writes over the engine's fault-injecting file
// system, made as the real file system makes them: the new contents written
// piece by piece to a temporary file, synced, then renamed over the file.
// When a write fails the machine has stopped there (FaultFileSystem).
class CrashingFiles : public app::testing::FaultFiles {
 public:
  explicit CrashingFiles(mk::FaultFileSystem& disk) : FaultFiles(disk), disk_(disk) {}

  platform::FileResult WriteFile(const std::string& path, std::string_view contents) override {
    constexpr size_t kPiece = 16;
    const std::string temp = path + ".tmp";
    std::unique_ptr<mk::File> file;
    bool ok = disk_.Open(temp, mk::FileSystem::Mode::kCreate, &file).ok();
    for (size_t at = 0; ok && at < contents.size(); at += kPiece) {
      ok = file->Write(at, contents.substr(at, kPiece)).ok();
    }
    ok = ok && file->Sync().ok();
    file.reset();
    ok = ok && disk_.Rename(temp, path).ok();
    return ok ? platform::FileResult::kOk : platform::FileResult::kIOError;
  }

 private:
  mk::FaultFileSystem& disk_;
};

// A kill at any write of a password change or of the hash that replaces an
// old scrambled password leaves a file in which the account signs in with
// the old password or the new one (and success is only reported for the
// new), the other accounts untouched.
TEST_F(PasswordStoreTest, KillAtAnyWriteLeavesTheOldOrTheNewPassword) {
  const std::string bob = "bob," + testing::TestHash("bobs");
  for (const bool change : {true, false}) {
    for (int n = 1;; ++n) {
      mk::FaultFileSystem disk;
      disk.SetContents(kPath, "alice,$R%=O$#V\n" + bob);
      CrashingFiles files(disk);
      disk.FailWrite(n, n % 3 == 0 ? 0 : 7);
      bool done = false;
      if (change) {
        AccountRequest request{AccountMode::kChangePassword, Account{"alice", "$R%=O$#V"}, "",
                               "fresh", "fresh"};
        done = SubmitAccount(ui_, files, kPath, request, kTestHashCost).done;
      } else {
        SignInOutcome outcome =
            SignIn(ui_, files, journal_, kPath, "alice", "password", policy_, clock_);
        ASSERT_EQ(outcome.result, SignInResult::kSignedIn);
        done = app::IsPasswordHash(outcome.account.storedPassword);
      }
      const bool failed = disk.writes() >= n;
      disk.Crash();
      const std::string text = disk.Contents(kPath);
      const char* newPassword = change ? "fresh" : "password";
      const bool isNew = FindSignIn(text, "alice", newPassword).has_value() &&
                         app::IsPasswordHash(ParseAccounts(text)[0].storedPassword);
      EXPECT_EQ(isNew, done) << change << " " << n;
      EXPECT_TRUE(isNew || text == "alice,$R%=O$#V\n" + bob) << change << " " << n;
      EXPECT_EQ(text.substr(text.find('\n') + 1), bob) << change << " " << n;
      if (!failed) break;
      ASSERT_LT(n, 100);
    }
  }
}

}  // namespace
}  // namespace setup
