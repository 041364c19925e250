// AccountDialog: the account window in its two modes ("Add New User",
// "Change Password"). It builds the setup::AccountScreen, sends each typed
// change and "&Submit" to it and redraws itself from the screen's view: the
// new user name row is hidden when changing a password, both password
// fields hide their characters. OK and Cancel close it.
//
// Thread safety: the Qt GUI thread only.
#pragma once

#include <QDialog>

#include "setup/account_screen.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace gui {

class AccountDialog : public QDialog {
  Q_OBJECT

 public:
  // `app` and `account` (the signed-in account) are borrowed and must
  // outlive the dialog.
  AccountDialog(app::Application& app, setup::AccountMode mode, setup::Account& account,
                QWidget* parent = nullptr);

 private:
  QLineEdit* Field(const char* name, bool hidden,
                   void (setup::AccountScreen::*changed)(const std::string&));
  void Refresh();

  setup::AccountScreen screen_;
  QLabel* userNameLabel_;
  QLineEdit* userName_;
  QLineEdit* password_;
  QLineEdit* retyped_;
  QPushButton* submit_;
};

}  // namespace gui
