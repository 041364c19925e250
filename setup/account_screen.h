// AccountScreen: the supervisor's account dialog without a toolkit, in its
// two modes: "Add New User" (a new user name and its password) and "Change
// Password" (a new password for the signed-in user).
//
// "&Submit" starts disabled; editing the user name or the new password
// disables it, editing the re-typed password enables it. Submitting is
// setup::SubmitAccount on the password file beside the program: every problem
// is shown in its own box and clears the fields (the user name only when
// adding); after a submit that was carried out "&Submit" is disabled and the
// password fields are cleared.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <string>

#include "app/application.h"
#include "setup/password_store.h"

namespace setup {

// The captions, labels and buttons.
inline constexpr const char* kAddUserTitle = "Add New User";
inline constexpr const char* kChangePasswordTitle = "Change Password";
inline constexpr const char* kNewUserNameLabel = "New username: ";
inline constexpr const char* kNewPasswordLabel = "New password: ";
inline constexpr const char* kRetypePasswordLabel = "Re-type password: ";
inline constexpr const char* kSubmitButton = "&Submit";
inline constexpr const char* kLoggedOnAs = "You are logged on as ";

// Which field has the focus when the dialog opens.
enum class AccountFocus { kUserName, kPassword };

// What the dialog shows.
struct AccountView {
  std::string caption;
  std::string loggedOn;       // "You are logged on as " + the signed-in user
  bool userNameShown = true;  // the new user name field and its label
  AccountFocus focus = AccountFocus::kUserName;
  std::string userName;
  std::string password;
  std::string retyped;
  bool submitEnabled = false;
};

class AccountScreen {
 public:
  // `app` and `signedIn` (the signed-in account, as SignIn read it from the
  // file) are borrowed and must outlive the screen. A password change
  // replaces signedIn.storedPassword, so that a second change in the same
  // session finds the account's line.
  AccountScreen(app::Application& app, setup::AccountMode mode, setup::Account& signedIn);

  void OnUserNameChanged(const std::string& text);
  void OnPasswordChanged(const std::string& text);
  void OnRetypedChanged(const std::string& text);
  // "&Submit" (nothing while disabled).
  void OnSubmit();

  const AccountView& view() const { return view_; }

 private:
  app::Application& app_;
  setup::AccountMode mode_;
  setup::Account& signedIn_;
  AccountView view_;
};

}  // namespace setup
