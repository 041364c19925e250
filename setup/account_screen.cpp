#include "setup/account_screen.h"

#include "platform/text.h"
#include "setup/sign_in_screen.h"

namespace setup {

AccountScreen::AccountScreen(app::Application& app, setup::AccountMode mode,
                             setup::Account& signedIn)
    : app_(app), mode_(mode), signedIn_(signedIn) {
  const bool adding = mode == setup::AccountMode::kAddUser;
  view_.caption = adding ? kAddUserTitle : kChangePasswordTitle;
  // The stored user name is the file's 8-bit text.
  view_.loggedOn = kLoggedOnAs + platform::Cp1252ToUtf8(signedIn.userName);
  view_.userNameShown = adding;
  view_.focus = adding ? AccountFocus::kUserName : AccountFocus::kPassword;
}

void AccountScreen::OnUserNameChanged(const std::string& text) {
  view_.userName = text;
  view_.submitEnabled = false;
}

void AccountScreen::OnPasswordChanged(const std::string& text) {
  view_.password = text;
  view_.submitEnabled = false;
}

void AccountScreen::OnRetypedChanged(const std::string& text) {
  view_.retyped = text;
  view_.submitEnabled = true;
}

void AccountScreen::OnSubmit() {
  if (!view_.submitEnabled) return;
  setup::AccountRequest request;
  request.mode = mode_;
  request.signedIn = signedIn_;
  request.newUserName = view_.userName;
  request.password = view_.password;
  request.retyped = view_.retyped;
  const setup::AccountOutcome outcome =
      setup::SubmitAccount(app_.ui, app_.fs, PasswordPath(app_), request, app_.passwords.hashCost);
  if (outcome.done && mode_ == setup::AccountMode::kChangePassword) {
    signedIn_.storedPassword = outcome.storedPassword;
  }
  if (!outcome.done && mode_ == setup::AccountMode::kAddUser) view_.userName.clear();
  view_.password.clear();
  view_.retyped.clear();
  view_.submitEnabled = false;
}

}  // namespace setup
