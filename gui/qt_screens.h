// QtScreens: the Qt program's app::Screens, which opens each screen's dialog
// modally over the active window.
//
// Screens whose dialogs the program does not have yet say so in a message box
// and change nothing (the design dialog then answers as Cancel).
//
// Thread safety: the Qt GUI thread only.
#pragma once

#include "app/screens.h"

namespace platform {
class Ui;
}

namespace gui {

class QtScreens : public app::Screens {
 public:
  // `ui` shows the "not available yet" messages; borrowed, must outlive this
  // object.
  explicit QtScreens(platform::Ui& ui) : ui_(ui) {}

  void ShowAbout() override;
  void ShowLoadInfo(app::Application& app) override;
  void ShowDataEntry(app::Application& app) override;
  std::optional<app::DesignChoice> ShowDesign(app::Application& app,
                                              const app::DesignChoice& current) override;
  void ShowSetup(app::Application& app) override;
  void ShowSupervisor(app::Application& app) override;
  std::optional<app::ReportChoice> ShowReports(app::Application& app) override;

 private:
  // "The <screen> screen is not available yet." captioned `screen`.
  void NotAvailable(const char* screen);

  platform::Ui& ui_;
};

}  // namespace gui
