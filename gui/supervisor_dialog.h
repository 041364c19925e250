// SupervisorDialog: the "Supervisor Options" window. It builds the
// setup::SupervisorScreen, sends each of its six buttons to it and redraws
// the status line and the "Un-&Finalize this Load" button from the screen's
// view. OK and Cancel close it.
//
// Thread safety: the Qt GUI thread only.
#pragma once

#include <QDialog>

#include "setup/supervisor_screen.h"

class QLabel;
class QPushButton;

namespace gui {

class SupervisorDialog : public QDialog {
  Q_OBJECT

 public:
  // `app`, `dialogs` (which opens the account and Change SALE or LLR
  // dialogs) and `account` are borrowed and must outlive the dialog.
  // REQUIRES: a file is open.
  SupervisorDialog(app::Application& app, setup::SupervisorDialogs& dialogs,
                   setup::Account& account, QWidget* parent = nullptr);

 private:
  void Refresh();

  setup::SupervisorScreen screen_;
  QLabel* status_;
  QPushButton* unfinalize_ = nullptr;
};

}  // namespace gui
