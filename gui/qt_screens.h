// QtScreens: the Qt program's app::Screens, which opens each screen's dialog
// modally over the active window.
//
// It also opens the dialogs of the supervisor road (setup::SupervisorDialogs).
//
// Thread safety: the Qt GUI thread only.
#pragma once

#include "app/screens.h"
#include "setup/supervisor_screen.h"

namespace platform {
class Ui;
}

namespace gui {

class QtScreens : public app::Screens, public setup::SupervisorDialogs {
 public:
  // `ui` is the screens' Ui; borrowed, must outlive this object.
  explicit QtScreens(platform::Ui& ui) : ui_(ui) {}

  void ShowAbout() override;
  void ShowLoadInfo(app::Application& app) override;
  void ShowDataEntry(app::Application& app) override;
  std::optional<app::DesignChoice> ShowDesign(app::Application& app,
                                              const app::DesignChoice& current) override;
  void ShowSetup(app::Application& app) override;
  void ShowSupervisor(app::Application& app) override;
  void ShowReports(app::Application& app,
                   const std::function<void(const app::ReportChoice&)>& generate) override;

  // setup::SupervisorDialogs.
  std::optional<setup::Account> ShowSignIn(app::Application& app) override;
  void ShowOptions(app::Application& app, setup::Account& account) override;
  void ShowAccount(app::Application& app, setup::AccountMode mode,
                   setup::Account& account) override;
  void ShowChangeSale(app::Application& app) override;

 private:
  platform::Ui& ui_;
};

}  // namespace gui
