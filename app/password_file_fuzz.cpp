// Feeds arbitrary bytes to the password file reader and the account edits,
// checking the invariants they promise.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/password_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::string scrambled = app::Scramble(text);
  if (scrambled.size() != text.size()) std::abort();
  if (text.find(',') == std::string::npos && app::Scramble(scrambled) != text) std::abort();
  for (const app::Account& account : app::ParseAccounts(text)) {
    if (!app::FindSignIn(text, account.userName, app::Scramble(account.storedPassword)) &&
        account.storedPassword.find(',') == std::string::npos &&
        account.userName.find('\n') == std::string::npos) {
      // Every parsed account must sign in with its own unscrambled password.
      std::abort();
    }
    auto changed = app::ReplacePassword(text, account.userName, account.storedPassword, "pw");
    if (!changed) std::abort();
  }
  return 0;
}
