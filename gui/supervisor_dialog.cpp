#include "gui/supervisor_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/command_button.h"

namespace gui {

SupervisorDialog::SupervisorDialog(app::Application& app, setup::SupervisorDialogs& dialogs,
                                   app::Account& account, QWidget* parent)
    : QDialog(parent), screen_(app, dialogs, account) {
  setWindowTitle(setup::kSupervisorTitle);
  auto* layout = new QVBoxLayout(this);
  status_ = new QLabel(this);
  layout->addWidget(status_);
  using S = setup::SupervisorScreen;
  layout->addWidget(AddButton(setup::kCreateAuditReport, &S::OnCreateAuditReport));
  unfinalize_ = AddButton(setup::kUnfinalize, &S::OnUnfinalize);
  layout->addWidget(unfinalize_);
  layout->addWidget(AddButton(setup::kAddUser, &S::OnAddUser));
  layout->addWidget(AddButton(setup::kChangePassword, &S::OnChangePassword));
  layout->addWidget(AddButton(setup::kChangeSale, &S::OnChangeSale));
  layout->addWidget(AddButton(setup::kEditLoadInfo, &S::OnEditLoadInfo));
  // "&Change SALE or LLR" has the C.
  QDialogButtonBox* buttons = MakeOkCancel(this, kCancelButtonN);
  layout->addWidget(buttons);
  Refresh();
}

QPushButton* SupervisorDialog::AddButton(const char* text, void (setup::SupervisorScreen::*action)()) {
  return MakeCommandButton(this, text, [this, action] {
    (screen_.*action)();
    Refresh();
  });
}

void SupervisorDialog::Refresh() {
  status_->setText(QString::fromStdString(screen_.view().status));
  unfinalize_->setEnabled(screen_.view().unfinalize);
}

}  // namespace gui
