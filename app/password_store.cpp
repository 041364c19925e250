#include "app/password_store.h"

#include <optional>
#include <vector>

#include "app/load_actions.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "tablestore/table_store.h"

namespace app {
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

// Writes the new file text and says how it went; returns whether it was written.
bool WriteAndReport(platform::Ui& ui, platform::FileSystem& fs, const std::string& path,
                    const std::string& text, const char* doneMessage) {
  const platform::FileResult written = fs.WriteFile(path, text);
  if (written == platform::FileResult::kAccessDenied) {
    // An installed password file belongs to the administrator.
    Show(ui, "You may not change the password file " + path +
             ".\nPlease ask the administrator to add the user or change the password.",
         "Access Denied", platform::Icon::kExclamation);
    return false;
  }
  if (written != platform::FileResult::kOk) {
    Show(ui, "The password file, Varnolde.upw could not be written.", "Error");
    return false;
  }
  Show(ui, doneMessage, "Done", platform::Icon::kInformation);
  return true;
}

}  // namespace

SignInOutcome SignIn(platform::Ui& ui, const platform::FileSystem& fs,
                     tablestore::TableStore& journal, const std::string& passwordPath,
                     const std::string& userName, const std::string& password) {
  SignInOutcome outcome;
  std::string user = platform::Utf8ToCp1252(userName);
  std::string typed = platform::Utf8ToCp1252(password);
  auto problems = SignInFieldProblems(user, typed);
  if (!problems.empty()) {
    ShowErrors(ui, problems);
    return outcome;
  }
  auto text = ReadPasswordFile(fs, passwordPath);
  if (!text) {
    Show(ui, kFileNotFound, "File Not Found");
    outcome.result = SignInResult::kFileMissing;
    return outcome;
  }
  auto account = FindSignIn(*text, user, typed);
  if (!account) {
    Show(ui, "INCORRECT USERNAME AND/OR PASSWORD!\nTRY AGAIN", "Error",
         platform::Icon::kExclamation);
    Journal(journal, ui, "Incorrect username (" + userName + ") and/or password,");
    return outcome;
  }
  Journal(journal, ui, "Successful login to Supervisor Options with username: " + userName);
  outcome.result = SignInResult::kSignedIn;
  outcome.account = std::move(*account);
  return outcome;
}

AccountOutcome SubmitAccount(platform::Ui& ui, platform::FileSystem& fs,
                             const std::string& passwordPath, const AccountRequest& request) {
  bool adding = request.mode == AccountMode::kAddUser;
  std::string newUser = platform::Utf8ToCp1252(request.newUserName);
  std::string password = platform::Utf8ToCp1252(request.password);
  std::string retyped = platform::Utf8ToCp1252(request.retyped);
  auto problems = AccountFieldProblems(request.mode, newUser, password, retyped);
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
  if (adding) {
    outcome.done = WriteAndReport(ui, fs, passwordPath, AppendAccount(*text, newUser, password),
                                  "New username and password added.");
    return outcome;
  }
  auto changed =
      ReplacePassword(*text, request.signedIn.userName, request.signedIn.storedPassword, password);
  if (!changed) {
    Show(ui, "Your account is no longer in the password file, Varnolde.upw.", "Error");
    return outcome;
  }
  outcome.done = WriteAndReport(ui, fs, passwordPath, *changed, "Password changed.");
  if (outcome.done) outcome.storedPassword = Scramble(password);
  return outcome;
}

}  // namespace app
