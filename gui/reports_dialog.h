// ReportsDialog: the "Reports" dialog's window. It builds the
// app::ReportsScreen, sends each tick, "Generate &Reports" and "&Print..."
// to it, and redraws itself from the screen's view after every call.
// "Generate &Reports" is the default button and leaves the dialog open;
// "&Close" (and Escape) closes it.
//
// Thread safety: the Qt GUI thread only.
#pragma once

#include <QDialog>

#include "app/reports_screen.h"

class QCheckBox;
class QPushButton;

namespace gui {

class ReportsDialog : public QDialog {
  Q_OBJECT

 public:
  // A modal dialog over `parent` (the active window when null) on the
  // session's report choice; see app::ReportsScreen. REQUIRES: `app`
  // outlives the dialog.
  ReportsDialog(app::Application& app, app::ReportsScreen::Generate generate,
                QWidget* parent = nullptr);

  // The logic behind the window (tests read its view), and its print button.
  const app::ReportsScreen& screen() const { return screen_; }
  QPushButton* printButton() const { return print_; }

 private:
  // A tick box for the ReportChoice member `tick`.
  QCheckBox* TickBox(const char* text, bool app::ReportChoice::*tick);
  void OnPrint();
  void Refresh();

  app::ReportsScreen screen_;
  QPushButton* print_;
};

}  // namespace gui
