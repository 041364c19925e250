#include "setup/password_file.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/file_system.h"
#include "setup/password_test_support.h"

namespace setup {
namespace {

// Expected scrambles below were worked out by hand from the key T3VN8KQ2.

class ScrambleTest : public ::testing::Test {};

TEST_F(ScrambleTest, EightCharactersAreOneBlock) {
  // p^T=$ a^3=R s^V=% s^N== w^8=O o^K=$ r^Q=# d^2=V
  EXPECT_EQ(Scramble("password"), "$R%=O$#V");
}

TEST_F(ScrambleTest, NinthCharacterStartsTheKeyAgain) {
  // The ninth character is processed with the key's first character, T.
  EXPECT_EQ(Scramble("passwordp"), "$R%=O$#V$");
  EXPECT_EQ(Scramble("passwordpassword"), "$R%=O$#V$R%=O$#V");
}

TEST_F(ScrambleTest, CharacterThatWouldBecomeACommaStays) {
  // x ^ T = 0x2C, a comma: x stays, at the first and at the ninth position.
  EXPECT_EQ(Scramble("x"), "x");
  EXPECT_EQ(Scramble("passwordx"), "$R%=O$#Vx");
}

TEST_F(ScrambleTest, CharacterThatWouldBecomeAControlCharacterStays) {
  // T ^ T = 0 and V ^ T = 2 stay; V at the second position gives V ^ 3 = e.
  EXPECT_EQ(Scramble("T"), "T");
  EXPECT_EQ(Scramble("VV"), "Ve");
}

TEST_F(ScrambleTest, ControlCharactersAndCommasInTheInputStayWhereTheyWouldBreakTheLine) {
  EXPECT_EQ(Scramble(std::string("\t\n", 2)), std::string("\t\n", 2));
  EXPECT_EQ(Scramble(""), "");
}

TEST_F(ScrambleTest, RoundTripsRandomTextWithoutCommas) {
  std::mt19937 gen(42);
  std::uniform_int_distribution<int> byte(1, 255);
  std::uniform_int_distribution<int> length(0, 40);
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    for (int n = length(gen); n > 0; --n) {
      char ch = static_cast<char>(byte(gen));
      if (ch != ',') text += ch;
    }
    std::string once = Scramble(text);
    ASSERT_EQ(once.size(), text.size());
    EXPECT_EQ(once.find(','), std::string::npos) << "a comma appeared in " << once;
    EXPECT_EQ(Scramble(once), text);
  }
}

TEST_F(ScrambleTest, NeverProducesCharactersBelowBlankThatWereNotThere) {
  for (int c = 0x20; c < 0x100; ++c) {
    if (c == ',') continue;
    for (int pos = 0; pos < 8; ++pos) {
      std::string text(static_cast<size_t>(pos) + 1, 'a');
      text[static_cast<size_t>(pos)] = static_cast<char>(c);
      auto out = static_cast<unsigned char>(Scramble(text)[static_cast<size_t>(pos)]);
      EXPECT_GE(out, 0x20) << "char " << c << " at " << pos;
    }
  }
}

class AccountsTest : public ::testing::Test {
 protected:
  // alice / password, bob / passwordp
  const std::string file_ = "alice,$R%=O$#V\nbob,$R%=O$#V$";
};

TEST_F(AccountsTest, ParsesUserNameUpToTheFirstComma) {
  auto accounts = ParseAccounts("a,b,c\nd,e");
  ASSERT_EQ(accounts.size(), 2u);
  EXPECT_EQ(accounts[0].userName, "a");
  EXPECT_EQ(accounts[0].storedPassword, "b,c");
  EXPECT_EQ(accounts[1].userName, "d");
  EXPECT_EQ(accounts[1].storedPassword, "e");
}

TEST_F(AccountsTest, SkipsEmptyLinesAndCarriageReturns) {
  auto accounts = ParseAccounts("a,b\r\n\r\n\nc,d\n");
  ASSERT_EQ(accounts.size(), 2u);
  EXPECT_EQ(accounts[0].storedPassword, "b");
  EXPECT_EQ(accounts[1].userName, "c");
}

TEST_F(AccountsTest, LineWithoutCommaIsAUserWithEmptyPassword) {
  auto accounts = ParseAccounts("lonely");
  ASSERT_EQ(accounts.size(), 1u);
  EXPECT_EQ(accounts[0].userName, "lonely");
  EXPECT_EQ(accounts[0].storedPassword, "");
}

TEST_F(AccountsTest, SignInNeedsBothFieldsExactly) {
  auto ok = FindSignIn(file_, "bob", "passwordp");
  ASSERT_TRUE(ok.has_value());
  EXPECT_EQ(ok->userName, "bob");
  EXPECT_EQ(ok->storedPassword, "$R%=O$#V$");
  EXPECT_FALSE(FindSignIn(file_, "Bob", "passwordp").has_value());
  EXPECT_FALSE(FindSignIn(file_, "bob", "Passwordp").has_value());
  EXPECT_FALSE(FindSignIn(file_, "bob", "password").has_value());
  EXPECT_FALSE(FindSignIn(file_, "carol", "password").has_value());
}

TEST_F(AccountsTest, SameUserOnTwoLinesSignsInWithEitherPassword) {
  std::string file = "u,$R%=O$#V\nu,x";
  EXPECT_EQ(FindSignIn(file, "u", "password")->storedPassword, "$R%=O$#V");
  EXPECT_EQ(FindSignIn(file, "u", "x")->storedPassword, "x");
}

TEST_F(AccountsTest, UserExistsComparesTheFirstFieldExactly) {
  EXPECT_TRUE(UserExists(file_, "alice"));
  EXPECT_FALSE(UserExists(file_, "ALICE"));
  EXPECT_FALSE(UserExists(file_, "ali"));
  EXPECT_FALSE(UserExists(file_, "$R%=O$#V"));
}

TEST_F(AccountsTest, AddingAppendsExactlyOneLineWithoutTrailingLineFeed) {
  const std::string hash = testing::TestHash("password");
  std::string after = AppendAccount(file_, "carol", hash);
  EXPECT_EQ(after, file_ + "\ncarol," + hash);
  EXPECT_NE(after.back(), '\n');
  EXPECT_TRUE(FindSignIn(after, "carol", "password").has_value());
}

TEST_F(AccountsTest, HashedAccountSignsInOnlyWithItsPassword) {
  const std::string hash = testing::TestHash("s3cret pass");
  const std::string file = file_ + "\ncarol," + hash;
  ASSERT_TRUE(app::IsPasswordHash(hash));
  EXPECT_EQ(FindSignIn(file, "carol", "s3cret pass")->storedPassword, hash);
  for (const char* wrong : {"s3cret pas", "S3cret pass", "s3cret passs", ""}) {
    EXPECT_FALSE(FindSignIn(file, "carol", wrong).has_value()) << wrong;
  }
  // Nor does the hash's own text, scrambled or not, sign in.
  EXPECT_FALSE(FindSignIn(file, "carol", Scramble(hash)).has_value());
  EXPECT_FALSE(FindSignIn(file, "carol", hash).has_value());
  EXPECT_FALSE(FindSignIn(file, "alice", "s3cret pass").has_value());
}

TEST_F(AccountsTest, NoHashGivesThePasswordBackThroughTheScramble) {
  const std::string a = testing::TestHash("password");
  const std::string b = testing::TestHash("password");
  EXPECT_NE(a, b);  // salted: equal passwords are not seen as equal
  for (const std::string& hash : {a, b}) {
    EXPECT_EQ(hash.find("password"), std::string::npos);
    EXPECT_EQ(hash.find(Scramble("password")), std::string::npos);
    EXPECT_EQ(Scramble(hash).find("password"), std::string::npos);
  }
}

class ChangePasswordTest : public ::testing::Test {};

TEST_F(ChangePasswordTest, ChangesOnlyTheSignedInUsersLine) {
  // The text "al,$R%=O$#V" also occurs inside the second line, whose user
  // name is "xal". Only the first line may change.
  std::string file = "al,$R%=O$#V\nxal,$R%=O$#V\nbob,abc";
  auto after = ReplacePassword(file, "al", "$R%=O$#V", "NEW");
  ASSERT_TRUE(after.has_value());
  EXPECT_EQ(*after, "al,NEW\nxal,$R%=O$#V\nbob,abc");
}

TEST_F(ChangePasswordTest, OtherLineWhosePasswordContainsTheTextIsKept) {
  // "bob,ab" occurs inside "bob,abc" and inside "bob,ab" itself; only the
  // exact second field matches.
  std::string file = "bob,abc\nbob,ab";
  auto after = ReplacePassword(file, "bob", "ab", "NEW");
  ASSERT_TRUE(after.has_value());
  EXPECT_EQ(*after, "bob,abc\nbob,NEW");
}

TEST_F(ChangePasswordTest, KeepsCarriageReturnsAndEveryOtherByte) {
  std::string file = "a,b\r\nme,x\r\n\nz,q";
  auto after = ReplacePassword(file, "me", "x", "NEW");
  ASSERT_TRUE(after.has_value());
  EXPECT_EQ(*after, "a,b\r\nme,NEW\r\n\nz,q");
}

TEST_F(ChangePasswordTest, NoSuchLineChangesNothing) {
  EXPECT_FALSE(ReplacePassword("a,b", "a", "c", "d").has_value());
  EXPECT_FALSE(ReplacePassword("a,b", "b", "b", "d").has_value());
  EXPECT_FALSE(ReplacePassword("", "a", "b", "d").has_value());
  EXPECT_FALSE(SetUserPassword("a,b\nab,c", "b", "d").has_value());
  // Empty lines are no accounts, even for an empty user name.
  EXPECT_EQ(*SetUserPassword("a,b\n\r\n,x", "", "d"), "a,b\n\r\n,d");
  EXPECT_EQ(*ReplacePassword("\n,", "", "", "d"), "\n,d");
}

TEST_F(ChangePasswordTest, AdministratorsResetSetsEveryLineOfTheUser) {
  auto after = SetUserPassword("me,x\r\nyou,y\nme,z", "me", "NEW");
  ASSERT_TRUE(after.has_value());
  EXPECT_EQ(*after, "me,NEW\r\nyou,y\nme,NEW");
}

class FieldChecksTest : public ::testing::Test {};

TEST_F(FieldChecksTest, SignInReportsEveryProblemInOrder) {
  EXPECT_EQ(SignInFieldProblems("", ""),
            (std::vector<std::string>{"Password can't be blank", "Username can't be blank"}));
  EXPECT_EQ(SignInFieldProblems("a,b", "c,d"),
            (std::vector<std::string>{"Password can't have commas", "Username can't have commas"}));
  EXPECT_TRUE(SignInFieldProblems("a", "b").empty());
}

TEST_F(FieldChecksTest, AccountChecksDependOnTheMode) {
  EXPECT_EQ(AccountFieldProblems(AccountMode::kAddUser, "", "p", "p"),
            (std::vector<std::string>{"Username can't be blank"}));
  EXPECT_TRUE(AccountFieldProblems(AccountMode::kChangePassword, "", "p", "p").empty());
  EXPECT_EQ(AccountFieldProblems(AccountMode::kChangePassword, "", "p", ""),
            (std::vector<std::string>{"Password can't be blank"}));
  EXPECT_EQ(AccountFieldProblems(AccountMode::kAddUser, "a,b", "", "x,y"),
            (std::vector<std::string>{"Username can't have commas", "Password can't be blank",
                                      "Password can't have commas"}));
}

TEST_F(FieldChecksTest, LineBreakInAUserNameIsRefusedLikeAComma) {
  EXPECT_EQ(AccountFieldProblems(AccountMode::kAddUser, "eve\nroot", "p", "p"),
            (std::vector<std::string>{"Username can't have commas"}));
}

class PasswordHashTest : public ::testing::Test {};

TEST_F(PasswordHashTest, StoredCostIsReadFromTheHashesHead) {
  struct Case {
    const char* stored;
    bool valid;
    unsigned long long passes;
    size_t memoryBytes;
  };
  const Case cases[] = {
      {"$argon2id$v=19$m=65536,t=2,p=1$c2FsdA$aGFzaA", true, 2, size_t{64} << 20},
      {"$argon2id$v=19$m=8,t=1,p=1$", true, 1, 8192},
      {"$argon2i$v=19$m=8,t=1,p=1$", false, 0, 0},
      {"$argon2id$v=18$m=8,t=1,p=1$", false, 0, 0},
      {"$argon2id$v=19$m=,t=1,p=1$", false, 0, 0},
      {"$argon2id$v=19$m=99999999999,t=1,p=1$", false, 0, 0},
      {"$argon2id$v=19$m=8,t=1,p=1", false, 0, 0},
      {"$R%=O$#V", false, 0, 0},
  };
  for (const Case& c : cases) {
    auto cost = app::StoredHashCost(c.stored);
    ASSERT_EQ(cost.has_value(), c.valid) << c.stored;
    if (!c.valid) continue;
    EXPECT_EQ(cost->passes, c.passes) << c.stored;
    EXPECT_EQ(cost->memoryBytes, c.memoryBytes) << c.stored;
  }
}

TEST_F(PasswordHashTest, HashAskingForTooMuchWorkNeverMatches) {
  std::string hash = testing::TestHash("pw");
  ASSERT_TRUE(app::HashMatches(hash, "pw"));
  const std::string cheap = "m=8,t=1,";
  ASSERT_NE(hash.find(cheap), std::string::npos);
  for (const char* costly : {"m=8,t=5,", "m=262145,t=1,", "m=4194304,t=1,"}) {
    std::string edited = hash;
    edited.replace(edited.find(cheap), cheap.size(), costly);
    EXPECT_FALSE(app::HashMatches(edited, "pw")) << costly;
  }
  EXPECT_FALSE(app::HashMatches(hash.substr(0, hash.size() - 1), "pw"));
  EXPECT_FALSE(app::HashMatches(hash + std::string(200, 'A'), "pw"));
}

class BundledFileTest : public ::testing::Test {};

TEST_F(BundledFileTest, DefaultSupervisorSignsIn) {
  platform::PosixFileSystem fs;
  std::string text;
  ASSERT_EQ(fs.ReadFile(VARNOLDE_DATA_DIR "/Varnolde.upw", 4096, &text), platform::FileResult::kOk);
  auto accounts = ParseAccounts(text);
  ASSERT_EQ(accounts.size(), 1u);
  EXPECT_TRUE(app::IsPasswordHash(accounts[0].storedPassword));
  EXPECT_EQ(app::StoredHashCost(accounts[0].storedPassword)->memoryBytes,
            app::kPasswordHashCost.memoryBytes);
  EXPECT_TRUE(FindSignIn(text, "supervisor", "scale2010").has_value());
  EXPECT_NE(text.back(), '\n');
}

}  // namespace
}  // namespace setup
