#include "gui/qt_screens.h"

#include <QApplication>

#include "gui/about_dialog.h"
#include "gui/data_entry_dialog.h"
#include "gui/load_info_dialog.h"
#include "gui/reports_dialog.h"
#include "platform/ui.h"

namespace gui {

void QtScreens::NotAvailable(const char* screen) {
  ui_.ShowMessage({std::string("The ") + screen + " screen is not available yet.", screen,
                   platform::Icon::kInformation});
}

void QtScreens::ShowAbout() { AboutDialog().exec(); }

void QtScreens::ShowLoadInfo(app::Application& app) {
  LoadInfoDialog(app, ui_, QApplication::activeWindow()).exec();
}

void QtScreens::ShowDataEntry(app::Application& app) {
  DataEntryDialog::Run(app, QApplication::activeWindow());
}

std::optional<app::DesignChoice> QtScreens::ShowDesign(app::Application&,
                                                       const app::DesignChoice&) {
  NotAvailable("Scale and Sample Design");
  return std::nullopt;
}

void QtScreens::ShowSetup(app::Application&) { NotAvailable("Setup and Options"); }

std::optional<app::ReportChoice> QtScreens::ShowReports(app::Application&) {
  ReportsDialog dialog;
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.choice();
}

}  // namespace gui
