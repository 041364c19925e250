#include "gui/supervisor_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/command_button.h"

namespace gui {

SupervisorDialog::SupervisorDialog(app::Application& app, setup::SupervisorDialogs& dialogs,
                                   setup::Account& account, QWidget* parent)
    : QDialog(parent), screen_(app, dialogs, account) {
  setWindowTitle(setup::kSupervisorTitle);
  auto* layout = new QVBoxLayout(this);
  status_ = new QLabel(this);
  layout->addWidget(status_);
  using S = setup::SupervisorScreen;
  const auto add = [this](const char* text, void (S::*command)()) {
    return MakeCommandButton(this, text, screen_, command, [this] { Refresh(); });
  };
  layout->addWidget(add(setup::kCreateAuditReport, &S::OnCreateAuditReport));
  unfinalize_ = add(setup::kUnfinalize, &S::OnUnfinalize);
  layout->addWidget(unfinalize_);
  layout->addWidget(add(setup::kAddUser, &S::OnAddUser));
  layout->addWidget(add(setup::kChangePassword, &S::OnChangePassword));
  layout->addWidget(add(setup::kChangeSale, &S::OnChangeSale));
  layout->addWidget(add(setup::kEditLoadInfo, &S::OnEditLoadInfo));
  // "&Change SALE or LLR" has the C.
  QDialogButtonBox* buttons = MakeOkCancel(this, kCancelButtonN);
  layout->addWidget(buttons);
  Refresh();
}

void SupervisorDialog::Refresh() {
  status_->setText(QString::fromStdString(screen_.view().status));
  unfinalize_->setEnabled(screen_.view().unfinalize);
}

}  // namespace gui
