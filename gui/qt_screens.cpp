#include "gui/qt_screens.h"

#include <QApplication>

#include "gui/about_dialog.h"
#include "gui/account_dialog.h"
#include "gui/change_sale_dialog.h"
#include "gui/data_entry_dialog.h"
#include "gui/design_dialog.h"
#include "gui/load_info_dialog.h"
#include "gui/reports_dialog.h"
#include "gui/setup_dialog.h"
#include "gui/sign_in_dialog.h"
#include "gui/supervisor_dialog.h"
#include "platform/ui.h"

namespace gui {

void QtScreens::ShowAbout() { AboutDialog().exec(); }

void QtScreens::ShowLoadInfo(app::Application& app) {
  LoadInfoDialog(app, ui_, QApplication::activeWindow()).exec();
}

void QtScreens::ShowDataEntry(app::Application& app) {
  DataEntryDialog::Run(app, QApplication::activeWindow());
}

// The design dialog reads the texts it opens with from the file itself.
std::optional<app::DesignChoice> QtScreens::ShowDesign(app::Application& app,
                                                       const app::DesignChoice&) {
  DesignDialog dialog(app, QApplication::activeWindow());
  dialog.exec();
  return dialog.choice();
}

void QtScreens::ShowSetup(app::Application& app) {
  SetupDialog::Run(app, *this, QApplication::activeWindow());
}

void QtScreens::ShowSupervisor(app::Application& app) { setup::RunSupervisor(app, *this); }

std::optional<setup::Account> QtScreens::ShowSignIn(app::Application& app) {
  SignInDialog dialog(app, QApplication::activeWindow());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.account();
}

void QtScreens::ShowOptions(app::Application& app, setup::Account& account) {
  SupervisorDialog(app, *this, account, QApplication::activeWindow()).exec();
}

void QtScreens::ShowAccount(app::Application& app, setup::AccountMode mode,
                            setup::Account& account) {
  AccountDialog(app, mode, account, QApplication::activeWindow()).exec();
}

void QtScreens::ShowChangeSale(app::Application& app) {
  ChangeSaleDialog(app, QApplication::activeWindow()).exec();
}

void QtScreens::ShowReports(app::Application& app,
                            const std::function<void(const app::ReportChoice&)>& generate) {
  ReportsDialog(app, generate).exec();
}

}  // namespace gui
