#include "setup/sign_in_screen.h"

#include "platform/folders.h"

namespace setup {

std::string PasswordPath(const app::Application& app) {
  return platform::FindFile(app.fs, app.folders.PasswordFileFolders(), setup::kPasswordFileName);
}

SignInScreen::SignInScreen(app::Application& app) : app_(app) {}

void SignInScreen::OnUserNameChanged(const std::string& text) { view_.userName = text; }

void SignInScreen::OnPasswordChanged(const std::string& text) {
  view_.password = text;
  view_.signInEnabled = true;
}

SignInStep SignInScreen::OnSignIn() {
  if (!view_.signInEnabled) return SignInStep::kStay;
  setup::SignInOutcome outcome =
      setup::SignIn(app_.ui, app_.fs, *app_.store(), PasswordPath(app_), view_.userName,
                    view_.password, app_.passwords, app_.clock);
  switch (outcome.result) {
    case setup::SignInResult::kSignedIn:
      account_ = std::move(outcome.account);
      return SignInStep::kSignedIn;
    case setup::SignInResult::kFileMissing:
      return SignInStep::kCancelled;
    case setup::SignInResult::kWaiting:
      return SignInStep::kStay;
    case setup::SignInResult::kRefused:
      break;
  }
  view_.userName.clear();
  view_.password.clear();
  view_.signInEnabled = false;
  return SignInStep::kStay;
}

}  // namespace setup
