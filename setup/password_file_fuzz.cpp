// Feeds arbitrary bytes to the password file reader and the account edits,
// checking the invariants they promise, over files of both forms: old
// scrambled passwords and hashes (seed inputs of both are in
// setup/password_file_seeds/).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/password_hash.h"
#include "platform/text.h"
#include "setup/password_file.h"

namespace {

// Hashes cheaper than this are checked; dearer ones (up to the limit the
// reader allows) would only slow the fuzzer down.
constexpr size_t kCheapHashBytes = 64 * 1024;

bool Cheap(std::string_view stored) {
  auto cost = app::StoredHashCost(stored);
  return !cost || (cost->memoryBytes <= kCheapHashBytes && cost->passes <= 2);
}

// Whether every account of `user` in `text` is cheap to check.
bool CheapToSignIn(const std::string& text, const std::string& user) {
  for (const setup::Account& account : setup::ParseAccounts(text)) {
    if (account.userName == user && !Cheap(account.storedPassword)) return false;
  }
  return true;
}

const std::string& KnownHash() {
  static const std::string hash =
      app::HashPassword("fuzz pw", app::HashCost{1, 8192}).value_or(std::string());
  return hash;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::string scrambled = setup::Scramble(text);
  if (scrambled.size() != text.size()) std::abort();
  if (text.find(',') == std::string::npos && setup::Scramble(scrambled) != text) std::abort();
  const size_t count = setup::ParseAccounts(text).size();
  for (const setup::Account& account : setup::ParseAccounts(text)) {
    const std::string& stored = account.storedPassword;
    if (app::IsPasswordHash(stored) && Cheap(stored)) {
      (void)app::HashMatches(stored, "pw");  // must neither crash nor leak
    }
    // Every old account signs in with its unscrambled password (as typed,
    // when its 8-bit text has a typed form).
    std::string typed = platform::Cp1252ToUtf8(setup::Scramble(stored));
    if (!app::IsPasswordHash(stored) && stored.find(',') == std::string::npos &&
        account.userName.find('\n') == std::string::npos &&
        platform::Utf8ToCp1252(typed) == setup::Scramble(stored) &&
        CheapToSignIn(text, account.userName) &&
        !setup::FindSignIn(text, account.userName, typed)) {
      std::abort();
    }
    auto changed = setup::ReplacePassword(text, account.userName, stored, KnownHash());
    if (!changed || setup::ParseAccounts(*changed).size() != count) std::abort();
    auto reset = setup::SetUserPassword(text, account.userName, KnownHash());
    if (!reset || setup::ParseAccounts(*reset).size() != count) std::abort();
  }
  // A hashed account appended to any file signs in with its password.
  std::string added = setup::AppendAccount(text, "fuzzer", KnownHash());
  if (CheapToSignIn(added, "fuzzer") && !setup::FindSignIn(added, "fuzzer", "fuzz pw"))
    std::abort();
  return 0;
}
