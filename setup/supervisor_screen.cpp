#include "setup/supervisor_screen.h"

#include "app/load_actions.h"
#include "app/session_reports.h"
#include "platform/text.h"
#include "setup/account_screen.h"
#include "tablestore/settings.h"

namespace setup {

void RunSupervisor(app::Application& app, SupervisorDialogs& dialogs) {
  if (!app.files.IsOpen()) return;
  std::optional<setup::Account> account = dialogs.ShowSignIn(app);
  if (!account) {
    app.EndLoadInfoEditing();
    return;
  }
  app.SignInSupervisor();
  dialogs.ShowOptions(app, *account);
  app.AllowLoadInfoEditing();
}

SupervisorScreen::SupervisorScreen(app::Application& app, SupervisorDialogs& dialogs,
                                   setup::Account& account)
    : app_(app), dialogs_(dialogs), account_(account) {
  view_.status = kLoggedOnAs + platform::Cp1252ToUtf8(account.userName);
  std::string finalized;
  view_.unfinalize =
      tablestore::ReadSetting(*app.store(), tablestore::kBlockSystem, tablestore::kKeyFinalized,
                              finalized) == tablestore::kOk &&
      finalized != tablestore::kNo;
}

void SupervisorScreen::OnCreateAuditReport() {
  // The same action as varnolde-cli's audit-report: written and told, or
  // "Error Creating File" shown.
  // The PDF tick of the session's Reports dialog gives it its PDF copy; the
  // report is printable from that dialog afterwards.
  reports::ReportContext context =
      app::MakeReportContext(*app_.store(), app_.files.state(), app_.ui, app_.fs, app_.clock);
  context.pdfCopies = app_.reportChoice.pdf;
  if (app::WriteAuditReportFile(context).empty()) return;
  context.pdfCopies = false;
  // The report file is written; being left off the printable list loses
  // nothing.
  static_cast<void>(app::AddAuditReport(context, &app_.lastReports));
}

void SupervisorScreen::OnUnfinalize() {
  if (!view_.unfinalize) return;
  if (app::Unfinalize(*app_.store(), app_.ui) != app::UnfinalizeStatus::kNotStored) {
    view_.unfinalize = false;
  }
}

void SupervisorScreen::OnAddUser() {
  dialogs_.ShowAccount(app_, setup::AccountMode::kAddUser, account_);
}

void SupervisorScreen::OnChangePassword() {
  dialogs_.ShowAccount(app_, setup::AccountMode::kChangePassword, account_);
}

void SupervisorScreen::OnChangeSale() { dialogs_.ShowChangeSale(app_); }

void SupervisorScreen::OnEditLoadInfo() {
  app_.AllowLoadInfoEditing();
  app_.ui.ShowMessage(
      {"You may now return to Load Information\nand edit any field except SALE or LLR.",
       "Load Info Editable", platform::Icon::kInformation});
}

}  // namespace setup
