// The supervisor road: the sign-in, then "Supervisor Options" with its six
// operations, without a toolkit.
//
// RunSupervisor is what the setup screen's "&Supervisor" button does: it
// shows the sign-in and, once a supervisor has signed in, the options
// dialog; when that closes Load Info Editable is on, and when the sign-in
// is cancelled it is off. The dialogs themselves are opened through
// SupervisorDialogs, which the Qt program implements with its windows and
// tests with stand-ins.
//
// SupervisorScreen is the options dialog's logic: its status line, the
// enabling of "Un-&Finalize this Load", and one method per button.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <optional>
#include <string>

#include "app/application.h"
#include "setup/password_file.h"

namespace setup {

// The caption, buttons and messages of "Supervisor Options".
inline constexpr const char* kSupervisorTitle = "Supervisor Options";
inline constexpr const char* kCreateAuditReport = "Create &Audit Report";
inline constexpr const char* kUnfinalize = "Un-&Finalize this Load";
inline constexpr const char* kAddUser = "Add a &User";
inline constexpr const char* kChangePassword = "Change &Password";
inline constexpr const char* kChangeSale = "&Change SALE or LLR";
inline constexpr const char* kEditLoadInfo = "Edit &Load Info";

// The dialogs of the supervisor road, each modal: it returns when closed.
class SupervisorDialogs {
 public:
  virtual ~SupervisorDialogs() = default;
  // The sign-in dialog; the signed-in account, or nullopt when cancelled.
  virtual std::optional<setup::Account> ShowSignIn(app::Application& app) = 0;
  // "Supervisor Options" for the signed-in `account` (which a password
  // change updates).
  virtual void ShowOptions(app::Application& app, setup::Account& account) = 0;
  // The account dialog in `mode` for the signed-in `account`.
  virtual void ShowAccount(app::Application& app, setup::AccountMode mode,
                           setup::Account& account) = 0;
  // "Change SALE or LLR".
  virtual void ShowChangeSale(app::Application& app) = 0;
};

// The setup screen's "&Supervisor": the sign-in; when it succeeds, the
// supervisor is signed in (app.SignInSupervisor()), the options dialog is
// shown and, when it closes, the load information's protected fields open
// (app.AllowLoadInfoEditing()); when the sign-in is cancelled they close
// (app.EndLoadInfoEditing()). Nothing happens without an open file.
void RunSupervisor(app::Application& app, SupervisorDialogs& dialogs);

// What "Supervisor Options" shows.
struct SupervisorView {
  std::string status;       // "You are logged on as " + the user name
  bool unfinalize = false;  // "Un-&Finalize this Load" enabled
};

class SupervisorScreen {
 public:
  // `app`, `dialogs` and `account` are borrowed and must outlive the screen.
  // "Un-&Finalize this Load" is enabled only while the stored Finalized
  // setting is not "NO". REQUIRES: a file is open.
  SupervisorScreen(app::Application& app, SupervisorDialogs& dialogs, setup::Account& account);

  // "Create &Audit Report": the audit report of the open file, then "Audit
  // report created" ("Done"); a report that cannot be written shows "Error
  // Creating File" instead.
  void OnCreateAuditReport();
  // "Un-&Finalize this Load": stores "NO" in Finalized, journals "Load
  // un-finalized", tells so ("Load un-finalized") and disables the button
  // (which stays enabled when "NO" could not be stored).
  void OnUnfinalize();
  // "Add a &User" and "Change &Password": the account dialog.
  void OnAddUser();
  void OnChangePassword();
  // "&Change SALE or LLR": that dialog.
  void OnChangeSale();
  // "Edit &Load Info": turns Load Info Editable on and says so ("You may now
  // return to Load Information\nand edit any field except SALE or LLR.",
  // caption "Load Info Editable").
  void OnEditLoadInfo();

  const SupervisorView& view() const { return view_; }

 private:
  app::Application& app_;
  SupervisorDialogs& dialogs_;
  setup::Account& account_;
  SupervisorView view_;
};

}  // namespace setup
