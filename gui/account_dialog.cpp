#include "gui/account_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui/command_button.h"

namespace gui {

AccountDialog::AccountDialog(app::Application& app, setup::AccountMode mode,
                             setup::Account& account, QWidget* parent)
    : QDialog(parent), screen_(app, mode, account) {
  const setup::AccountView& view = screen_.view();
  setWindowTitle(QString::fromStdString(view.caption));
  userName_ = Field("userName", false, &setup::AccountScreen::OnUserNameChanged);
  password_ = Field("password", true, &setup::AccountScreen::OnPasswordChanged);
  retyped_ = Field("retyped", true, &setup::AccountScreen::OnRetypedChanged);
  submit_ = new QPushButton(setup::kSubmitButton, this);
  connect(submit_, &QPushButton::clicked, this, [this] {
    screen_.OnSubmit();
    Refresh();
  });
  QDialogButtonBox* buttons = MakeOkCancel(this);
  // "&Submit" is the default: Enter in the fields submits, not closes.
  for (QPushButton* button : buttons->findChildren<QPushButton*>()) button->setDefault(false);
  submit_->setDefault(true);

  auto* layout = new QGridLayout(this);
  layout->addWidget(new QLabel(QString::fromStdString(view.loggedOn), this), 0, 0, 1, 2);
  userNameLabel_ = new QLabel(setup::kNewUserNameLabel, this);
  layout->addWidget(userNameLabel_, 1, 0);
  layout->addWidget(userName_, 1, 1);
  layout->addWidget(new QLabel(setup::kNewPasswordLabel, this), 2, 0);
  layout->addWidget(password_, 2, 1);
  layout->addWidget(new QLabel(setup::kRetypePasswordLabel, this), 3, 0);
  layout->addWidget(retyped_, 3, 1);
  layout->addWidget(submit_, 4, 1);
  layout->addWidget(buttons, 5, 0, 1, 2);
  userNameLabel_->setVisible(view.userNameShown);
  userName_->setVisible(view.userNameShown);
  (view.focus == setup::AccountFocus::kUserName ? userName_ : password_)->setFocus();
  Refresh();
}

QLineEdit* AccountDialog::Field(const char* name, bool hidden,
                                void (setup::AccountScreen::*changed)(const std::string&)) {
  auto* field = new QLineEdit(this);
  field->setObjectName(name);
  if (hidden) field->setEchoMode(QLineEdit::Password);
  connect(field, &QLineEdit::textEdited, this, [this, changed](const QString& text) {
    (screen_.*changed)(text.toStdString());
    Refresh();
  });
  return field;
}

void AccountDialog::Refresh() {
  const setup::AccountView& view = screen_.view();
  const std::pair<QLineEdit*, const std::string*> fields[] = {
      {userName_, &view.userName}, {password_, &view.password}, {retyped_, &view.retyped}};
  for (const auto& [field, text] : fields) {
    if (field->text().toStdString() != *text) field->setText(QString::fromStdString(*text));
  }
  submit_->setEnabled(view.submitEnabled);
}

}  // namespace gui
