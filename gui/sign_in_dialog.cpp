#include "gui/sign_in_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui/command_button.h"

namespace gui {

SignInDialog::SignInDialog(app::Application& app, QWidget* parent) : QDialog(parent), screen_(app) {
  setWindowTitle(setup::kSignInTitle);
  userName_ = new QLineEdit(this);
  userName_->setObjectName("userName");
  password_ = new QLineEdit(this);
  password_->setObjectName("password");
  password_->setEchoMode(QLineEdit::Password);
  connect(userName_, &QLineEdit::textEdited, this, [this](const QString& text) {
    screen_.OnUserNameChanged(text.toStdString());
    Refresh();
  });
  connect(password_, &QLineEdit::textEdited, this, [this](const QString& text) {
    screen_.OnPasswordChanged(text.toStdString());
    Refresh();
  });
  auto* buttons = new QDialogButtonBox(this);
  signIn_ = buttons->addButton(setup::kSignInButton, QDialogButtonBox::AcceptRole);
  signIn_->setDefault(true);
  buttons->addButton(QDialogButtonBox::Cancel)->setText(kCancelButton);
  connect(signIn_, &QPushButton::clicked, this, &SignInDialog::OnSignIn);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QFormLayout(this);
  layout->addRow(setup::kSignInUserLabel, userName_);
  layout->addRow(setup::kSignInPasswordLabel, password_);
  layout->addRow(new QLabel(setup::kSignInNote, this));
  layout->addRow(buttons);
  userName_->setMinimumWidth(fontMetrics().horizontalAdvance(QString(24, 'x')));
  Refresh();
}

void SignInDialog::OnSignIn() {
  switch (screen_.OnSignIn()) {
    case setup::SignInStep::kSignedIn:
      accept();
      return;
    case setup::SignInStep::kCancelled:
      reject();
      return;
    case setup::SignInStep::kStay:
      break;
  }
  Refresh();
  userName_->setFocus();
}

void SignInDialog::Refresh() {
  const setup::SignInView& view = screen_.view();
  if (userName_->text().toStdString() != view.userName) {
    userName_->setText(QString::fromStdString(view.userName));
  }
  if (password_->text().toStdString() != view.password) {
    password_->setText(QString::fromStdString(view.password));
  }
  signIn_->setEnabled(view.signInEnabled);
}

}  // namespace gui
