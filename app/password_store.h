// The supervisor sign-in and the account changes, on the password file beside
// the program (password_file.h describes the file).
//
// These are the commands of the sign-in and account dialogs without the
// dialogs: they check what was typed, read or write the file through a
// platform::FileSystem, show their messages through a platform::Ui and write
// the journal through the open file's TableStore. The file is opened, read or
// written and closed within each call.
//
// Typed user names and passwords are the program's UTF-8 text; they are
// converted to the file's 8-bit text before they are compared or scrambled.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <string>

#include "app/password_file.h"

namespace platform {
class FileSystem;
class Ui;
}  // namespace platform
namespace tablestore {
class TableStore;
}

namespace app {

// The largest password file the program reads; a bigger file is treated as
// unreadable rather than loaded whole.
inline constexpr size_t kMaxPasswordFileBytes = 1 << 20;

// The outcome of SignIn.
enum class SignInResult {
  kSignedIn,     // the account is in SignInOutcome::account
  kRefused,      // a field problem or a wrong user name or password: the
                 // dialog stays open with its fields cleared
  kFileMissing,  // the password file cannot be read: the dialog closes as
                 // cancelled
};

struct SignInOutcome {
  SignInResult result = SignInResult::kRefused;
  // When signed in: the user name and the stored (scrambled) password as read
  // from the file, in the file's 8-bit text; the caller keeps them while the
  // supervisor dialog is open.
  Account account;
};

// "Sign in": checks the fields (one stop-icon box captioned "Error" per
// problem), reads the password file at `passwordPath` ("The password file,
// Varnolde.upw was not found in the program directory." captioned "File Not
// Found" when it cannot be read) and looks for the account. Success journals
// "Successful login to Supervisor Options with username: " + user name; a
// wrong user name or password shows "INCORRECT USERNAME AND/OR
// PASSWORD!\nTRY AGAIN" (caption "Error", exclamation icon) and journals
// "Incorrect username (" + user name + ") and/or password,".
SignInOutcome SignIn(platform::Ui& ui, const platform::FileSystem& fs,
                     tablestore::TableStore& journal, const std::string& passwordPath,
                     const std::string& userName, const std::string& password);

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
// With no problem: add mode appends the account ("New username and password
// added.", caption "Done", information icon); change mode rewrites the
// signed-in user's own line only ("Password changed.", likewise). When that
// line is no longer in the file, "Your account is no longer in the password
// file, Varnolde.upw." (caption "Error") is shown instead and nothing is
// written; a file that cannot be written shows "The password file,
// Varnolde.upw could not be written." (caption "Error"), or, when the user
// may not write it (an installed file of the administrator's), "You may not
// change the password file PATH.\nPlease ask the administrator to add the
// user or change the password." (caption "Access Denied").
AccountOutcome SubmitAccount(platform::Ui& ui, platform::FileSystem& fs,
                             const std::string& passwordPath, const AccountRequest& request);

}  // namespace app
