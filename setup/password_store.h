// The supervisor sign-in and the account changes, on the password file beside
// the program (password_file.h describes the file).
//
// These are the commands of the sign-in and account dialogs without the
// dialogs: they check what was typed, read or write the file through a
// platform::FileSystem, show their messages through a platform::Ui and write
// the journal through the open file's TableStore. The file is opened, read or
// written and closed within each call. Every change rewrites the whole file
// at once (platform::FileSystem::RewriteFile): a crash leaves the old file or
// the new one, with its owner and permissions.
//
// Typed user names are the program's UTF-8 text, converted to the file's
// 8-bit text; typed passwords are hashed as typed (password_file.h).
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <string>

#include "app/password_policy.h"
#include "setup/password_file.h"

namespace platform {
class Clock;
class FileSystem;
class Ui;
}  // namespace platform
namespace tablestore {
class TableStore;
}

namespace setup {

// The largest password file the program reads; a bigger file is treated as
// unreadable rather than loaded whole.
inline constexpr size_t kMaxPasswordFileBytes = 1 << 20;

// The outcome of SignIn.
enum class SignInResult {
  kSignedIn,     // the account is in SignInOutcome::account
  kRefused,      // a field problem or a wrong user name or password: the
                 // dialog stays open with its fields cleared
  kWaiting,      // tried too soon after a wrong password: nothing was
                 // checked, the dialog stays open with its fields as typed
  kFileMissing,  // the password file cannot be read: the dialog closes as
                 // cancelled
};

struct SignInOutcome {
  SignInResult result = SignInResult::kRefused;
  // When signed in: the user name and the stored password as the file now
  // holds them, in the file's 8-bit text; the caller keeps them while the
  // supervisor dialog is open.
  Account account;
};

// "Sign in": checks the fields (one stop-icon box captioned "Error" per
// problem); while the growing wait of `policy` lasts (at `clock`'s tick
// count), refuses the try unchecked with "Wrong username or password: please
// wait N seconds, then try again." (caption "Access Denied", exclamation
// icon); reads the password file at `passwordPath` ("The password file,
// Varnolde.upw was not found in the program directory." captioned "File Not
// Found" when it cannot be read) and looks for the account. Success journals
// "Successful login to Supervisor Options with username: " + user name; an
// account still stored the old scrambled way is then rewritten as a hash at
// policy.hashCost (its own line only; when the file cannot be written the
// sign-in stands and a "Warning!" box says the password is still stored the
// old way). A wrong user name or password shows "INCORRECT USERNAME AND/OR
// PASSWORD!\nTRY AGAIN" (caption "Error", exclamation icon), journals
// "Incorrect username (" + user name + ") and/or password," and makes the
// next try wait longer.
SignInOutcome SignIn(platform::Ui& ui, platform::FileSystem& fs, tablestore::TableStore& journal,
                     const std::string& passwordPath, const std::string& userName,
                     const std::string& password, app::PasswordPolicy& policy,
                     const platform::Clock& clock);

// What the account dialog submits.
struct AccountRequest {
  AccountMode mode = AccountMode::kAddUser;
  // The signed-in account (file text, as SignIn returned it); in change mode
  // its password is the one changed.
  Account signedIn;
  std::string newUserName;  // add mode only (UTF-8)
  std::string password;     // the new password (UTF-8)
  std::string retyped;      // the re-typed password (UTF-8)
};

// The outcome of SubmitAccount.
struct AccountOutcome {
  bool done = false;  // false: problems were shown; the dialog clears fields
  // Change mode, when done: the signed-in account's new stored password, which
  // replaces the one the caller keeps (so a second change in the same session
  // finds the line).
  std::string storedPassword;
};

// "&Submit" of the account dialog. Shows each problem in its own box, in
// order: the field checks (AccountFieldProblems); in add mode "That username
// already exists"; "The password file, Varnolde.upw was not found in the
// program directory." (caption "File Not Found"); "Passwords don't match".
// With no problem the new password is stored as a hash at `cost`: add mode
// appends the account ("New username and password added.", caption "Done",
// information icon); change mode rewrites the signed-in user's own line only
// ("Password changed.", likewise). When that line is no longer in the file,
// "Your account is no longer in the password file, Varnolde.upw." (caption
// "Error") is shown instead and nothing is written; a file that cannot be
// written shows "The password file, Varnolde.upw could not be written."
// (caption "Error"), or, when the user may not write it (an installed file of
// the administrator's), "You may not change the password file PATH.\nPlease
// ask the administrator to add the user or change the password." (caption
// "Access Denied"); the file is left as it was.
AccountOutcome SubmitAccount(platform::Ui& ui, platform::FileSystem& fs,
                             const std::string& passwordPath, const AccountRequest& request,
                             const app::HashCost& cost = app::kPasswordHashCost);

// The outcome of SetPassword.
struct SetPasswordOutcome {
  bool ok = false;
  bool added = false;  // the user had no account: one was appended
  std::string error;   // when not ok: why, for the administrator
};

// The administrator's reset, for whoever may write the password file at
// `passwordPath`: every account of `userName` (typed, UTF-8) gets `password`
// as a hash at `cost`, or, when the file has none, the account is appended.
// Refused with nothing written on the account dialog's field problems, when
// `retyped` differs, when the file cannot be read (it is never created) and
// when it cannot be rewritten.
[[nodiscard]] SetPasswordOutcome SetPassword(platform::FileSystem& fs,
                                             const std::string& passwordPath,
                                             const std::string& userName,
                                             const std::string& password,
                                             const std::string& retyped,
                                             const app::HashCost& cost = app::kPasswordHashCost);

}  // namespace setup
