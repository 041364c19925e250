// SignInScreen: the supervisor's sign-in dialog ("Username & Password")
// without a toolkit.
//
// The dialog has a user name field, a password field (its characters
// hidden), "Sign in", "Cancel" and a note on letter case. "Sign in" checks
// the fields and the password file beside the program (setup::SignIn): a
// problem clears both fields and disables "Sign in" until the password is
// changed; a try too soon after a wrong password (the growing wait of
// app::PasswordPolicy, kept by the Application for the whole run) is refused
// with a message telling how long to wait, and keeps the fields, so the user
// need only press "Sign in" again once it is over; a missing password file
// ends the dialog as cancelled; a match ends it signed in with the account as
// the file now holds it.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <string>

#include "app/application.h"
#include "setup/password_store.h"

namespace setup {

// The dialog's caption, note and buttons.
inline constexpr const char* kSignInTitle = "Username & Password";
inline constexpr const char* kSignInNote = "Both username and password are case-sensitive.";
inline constexpr const char* kSignInButton = "&Sign in";
inline constexpr const char* kSignInUserLabel = "&Username:";
inline constexpr const char* kSignInPasswordLabel = "&Password:";

// What the dialog shows.
struct SignInView {
  std::string userName;
  std::string password;
  bool signInEnabled = true;
};

// What the dialog does after "Sign in".
enum class SignInStep {
  kStay,       // a problem was shown; the dialog stays open
  kSignedIn,   // close as confirmed; account() is the signed-in account
  kCancelled,  // close as cancelled (no password file)
};

class SignInScreen {
 public:
  // `app` is borrowed and must outlive the screen. REQUIRES: a file is open
  // in `app` (the sign-in journals to it).
  explicit SignInScreen(app::Application& app);

  // The fields as typed. A changed password enables "Sign in" again.
  void OnUserNameChanged(const std::string& text);
  void OnPasswordChanged(const std::string& text);
  // "Sign in": setup::SignIn with the fields and the password file
  // "Varnolde.upw" in the program folder. On a refusal both fields are
  // cleared and "Sign in" is disabled; during the wait nothing changes.
  [[nodiscard]] SignInStep OnSignIn();

  // The signed-in account (user name and stored password as in the file);
  // empty until OnSignIn returned kSignedIn.
  const setup::Account& account() const { return account_; }
  const SignInView& view() const { return view_; }

 private:
  app::Application& app_;
  SignInView view_;
  setup::Account account_;
};

// The path of the password file of `app`: "Varnolde.upw" in the first of
// its password file folders that holds one (the office's, then the
// program's; never the user's).
std::string PasswordPath(const app::Application& app);

}  // namespace setup
