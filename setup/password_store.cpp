#include "setup/password_store.h"

#include <optional>
#include <vector>

#include "app/load_actions.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "tablestore/table_store.h"

namespace setup {
namespace {

constexpr const char* kFileNotFound =
    "The password file, Varnolde.upw was not found in the program directory.";

void Show(platform::Ui& ui, std::string text, std::string caption,
          platform::Icon icon = platform::Icon::kStop) {
  platform::Message message;
  message.text = std::move(text);
  message.caption = std::move(caption);
  message.icon = icon;
  ui.ShowMessage(message);
}

void ShowErrors(platform::Ui& ui, const std::vector<std::string>& problems) {
  for (const std::string& problem : problems) Show(ui, problem, "Error");
}

std::optional<std::string> ReadPasswordFile(const platform::FileSystem& fs,
                                            const std::string& path) {
  std::string text;
  if (fs.ReadFile(path, kMaxPasswordFileBytes, &text) != platform::FileResult::kOk) {
    return std::nullopt;
  }
  return text;
}

constexpr const char* kNotWritten = "The password file, Varnolde.upw could not be written.";

// Rewrites the file with `text` and says how it went; returns whether it was
// written.
bool WriteAndReport(platform::Ui& ui, platform::FileSystem& fs, const std::string& path,
                    const std::string& text, const char* doneMessage) {
  const platform::FileResult written = fs.RewriteFile(path, text);
  if (written == platform::FileResult::kAccessDenied) {
    // An installed password file belongs to the administrator.
    Show(ui,
         "You may not change the password file " + path +
             ".\nPlease ask the administrator to add the user or change the password.",
         "Access Denied", platform::Icon::kExclamation);
    return false;
  }
  if (written != platform::FileResult::kOk) {
    Show(ui, kNotWritten, "Error");
    return false;
  }
  Show(ui, doneMessage, "Done", platform::Icon::kInformation);
  return true;
}

std::string WaitText(uint32_t remainingMs) {
  const uint32_t seconds = (remainingMs + 999) / 1000;
  return "Wrong username or password: please wait " + std::to_string(seconds) +
         (seconds == 1 ? " second" : " seconds") + ", then try again.";
}

// Replaces the old scrambled password of the signed-in `account` in the file
// `text` by a hash of `password`; on success `account` holds the hash. A file
// that cannot be written keeps the old form, and the user hears of it.
void UpgradeToHash(platform::Ui& ui, platform::FileSystem& fs, const std::string& path,
                   const std::string& text, Account& account, const std::string& password,
                   const app::HashCost& cost) {
  auto hash = app::HashPassword(password, cost);
  auto upgraded =
      hash ? ReplacePassword(text, account.userName, account.storedPassword, *hash) : std::nullopt;
  if (upgraded && fs.RewriteFile(path, *upgraded) == platform::FileResult::kOk) {
    account.storedPassword = std::move(*hash);
    return;
  }
  Show(ui,
       "Your password is still stored the old, readable way: the password file, Varnolde.upw "
       "could not be written.\nPlease ask the administrator to set a new password.",
       "Warning!", platform::Icon::kExclamation);
}

}  // namespace

SignInOutcome SignIn(platform::Ui& ui, platform::FileSystem& fs, tablestore::TableStore& journal,
                     const std::string& passwordPath, const std::string& userName,
                     const std::string& password, app::PasswordPolicy& policy,
                     const platform::Clock& clock) {
  SignInOutcome outcome;
  std::string user = platform::Utf8ToCp1252(userName);
  auto problems = SignInFieldProblems(user, platform::Utf8ToCp1252(password));
  if (!problems.empty()) {
    ShowErrors(ui, problems);
    return outcome;
  }
  if (uint32_t wait = policy.delay.RemainingMs(clock.TickCount()); wait > 0) {
    Show(ui, WaitText(wait), "Access Denied", platform::Icon::kExclamation);
    outcome.result = SignInResult::kWaiting;
    return outcome;
  }
  auto text = ReadPasswordFile(fs, passwordPath);
  if (!text) {
    Show(ui, kFileNotFound, "File Not Found");
    outcome.result = SignInResult::kFileMissing;
    return outcome;
  }
  auto account = FindSignIn(*text, user, password);
  if (!account) {
    policy.delay.OnFailure(clock.TickCount());
    Show(ui, "INCORRECT USERNAME AND/OR PASSWORD!\nTRY AGAIN", "Error",
         platform::Icon::kExclamation);
    app::Journal(journal, ui, "Incorrect username (" + userName + ") and/or password,");
    return outcome;
  }
  policy.delay.OnSuccess();
  app::Journal(journal, ui, "Successful login to Supervisor Options with username: " + userName);
  if (!app::IsPasswordHash(account->storedPassword)) {
    UpgradeToHash(ui, fs, passwordPath, *text, *account, password, policy.hashCost);
  }
  outcome.result = SignInResult::kSignedIn;
  outcome.account = std::move(*account);
  return outcome;
}

AccountOutcome SubmitAccount(platform::Ui& ui, platform::FileSystem& fs,
                             const std::string& passwordPath, const AccountRequest& request,
                             const app::HashCost& cost) {
  bool adding = request.mode == AccountMode::kAddUser;
  std::string newUser = platform::Utf8ToCp1252(request.newUserName);
  auto problems =
      AccountFieldProblems(request.mode, newUser, platform::Utf8ToCp1252(request.password),
                           platform::Utf8ToCp1252(request.retyped));
  auto text = ReadPasswordFile(fs, passwordPath);
  if (adding && text && UserExists(*text, newUser)) {
    problems.emplace_back("That username already exists");
  }
  ShowErrors(ui, problems);
  bool refused = !problems.empty();
  if (!text) {
    Show(ui, kFileNotFound, "File Not Found");
    refused = true;
  }
  // Compared as typed: two passwords that differ only in characters without
  // an 8-bit form would be the same once converted.
  if (request.password != request.retyped) {
    Show(ui, "Passwords don't match", "Error");
    refused = true;
  }
  AccountOutcome outcome;
  if (refused) return outcome;
  auto hash = app::HashPassword(request.password, cost);
  if (!hash) {
    Show(ui, "The new password could not be stored: there was not enough memory to hash it.",
         "Error");
    return outcome;
  }
  if (adding) {
    outcome.done = WriteAndReport(ui, fs, passwordPath, AppendAccount(*text, newUser, *hash),
                                  "New username and password added.");
    return outcome;
  }
  auto changed =
      ReplacePassword(*text, request.signedIn.userName, request.signedIn.storedPassword, *hash);
  if (!changed) {
    Show(ui, "Your account is no longer in the password file, Varnolde.upw.", "Error");
    return outcome;
  }
  outcome.done = WriteAndReport(ui, fs, passwordPath, *changed, "Password changed.");
  if (outcome.done) outcome.storedPassword = std::move(*hash);
  return outcome;
}

SetPasswordOutcome SetPassword(platform::FileSystem& fs, const std::string& passwordPath,
                               const std::string& userName, const std::string& password,
                               const std::string& retyped, const app::HashCost& cost) {
  SetPasswordOutcome outcome;
  const std::string user = platform::Utf8ToCp1252(userName);
  auto problems =
      AccountFieldProblems(AccountMode::kAddUser, user, platform::Utf8ToCp1252(password),
                           platform::Utf8ToCp1252(retyped));
  if (problems.empty() && password != retyped) problems.emplace_back("Passwords don't match");
  if (!problems.empty()) {
    outcome.error = problems.front();
    return outcome;
  }
  std::string text;
  switch (fs.ReadFile(passwordPath, kMaxPasswordFileBytes, &text)) {
    case platform::FileResult::kOk:
      break;
    case platform::FileResult::kNotFound:
      outcome.error = "no such password file (it is never created: copy the bundled one)";
      return outcome;
    default:
      outcome.error = "the password file cannot be read";
      return outcome;
  }
  auto hash = app::HashPassword(password, cost);
  if (!hash) {
    outcome.error = "there was not enough memory to hash the password";
    return outcome;
  }
  auto changed = SetUserPassword(text, user, *hash);
  outcome.added = !changed;
  if (fs.RewriteFile(passwordPath, changed ? *changed : AppendAccount(text, user, *hash)) !=
      platform::FileResult::kOk) {
    outcome.error =
        "the password file could not be rewritten (its folder and the file must be writable, "
        "and its owner and group kept); it is unchanged";
    return outcome;
  }
  outcome.ok = true;
  return outcome;
}

}  // namespace setup
