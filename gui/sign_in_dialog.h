// SignInDialog: the supervisor's sign-in window ("Username & Password"). It
// builds the setup::SignInScreen, sends each typed change and "Sign in" to
// it and redraws itself from the screen's view. The password field hides its
// characters. The dialog is accepted when a supervisor has signed in and
// rejected by Cancel, Escape or a missing password file.
//
// Thread safety: the Qt GUI thread only.
#pragma once

#include <QDialog>

#include "setup/sign_in_screen.h"

class QLineEdit;
class QPushButton;

namespace gui {

class SignInDialog : public QDialog {
  Q_OBJECT

 public:
  // `app` is borrowed and must outlive the dialog. REQUIRES: a file is open.
  explicit SignInDialog(app::Application& app, QWidget* parent = nullptr);

  // The signed-in account once the dialog was accepted.
  const setup::Account& account() const { return screen_.account(); }

 private:
  void OnSignIn();
  void Refresh();

  setup::SignInScreen screen_;
  QLineEdit* userName_;
  QLineEdit* password_;
  QPushButton* signIn_;
};

}  // namespace gui
