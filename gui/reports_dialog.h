// ReportsDialog: the "Reports" dialog: which reports to write, and printing
// them.
//
// The ticks start as the session's last choice (app.reportChoice), so the
// dialog remembers them, the PDF tick included, while the program runs.
// "Generate &Reports" (the default button) hands the ticks to the generate
// call and stays open, so that "&Print..." can print what was just written;
// "&Close" (and Escape) closes it.
//
// Thread safety: the Qt GUI thread only.
#pragma once

#include <QDialog>
#include <functional>

#include "app/screens.h"

class QCheckBox;
class QPushButton;

namespace gui {

// The button that closes the dialog.
inline constexpr char kReportsClose[] = "&Close";

class ReportsDialog : public QDialog {
  Q_OBJECT

 public:
  using Generate = std::function<void(const app::ReportChoice&)>;

  // A modal dialog over `parent` (the active window when null), ticked as
  // app.reportChoice. "Generate &Reports" stores the ticks in
  // app.reportChoice and calls `generate`; "&Print..." prints the printed
  // reports among app.lastReports (disabled while there are none).
  // REQUIRES: `app` outlives the dialog.
  ReportsDialog(app::Application& app, Generate generate, QWidget* parent = nullptr);

  // The ticks as they are now.
  app::ReportChoice choice() const;
  QPushButton* printButton() const { return print_; }

 private:
  void OnGenerate();
  void Refresh();

  app::Application& app_;
  Generate generate_;
  QCheckBox* comprehensive_;
  QCheckBox* logReport_;
  QCheckBox* brevanta_;
  QCheckBox* pdf_;
  QCheckBox* checkCompare_ = nullptr;  // only for a check scale file
  QPushButton* print_;
};

}  // namespace gui
