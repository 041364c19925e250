// ReportsDialog: the choice of reports before a report run: one tick box per
// report ("Comprehensive Report (*.cmp)", "Log Report (*.clg)", "Brevanta
// File (*.bva)"), one for PDF copies, and "Generate &Reports".
//
// Thread safety: the Qt GUI thread only.
#pragma once

#include <QDialog>

#include "app/screens.h"

class QCheckBox;

namespace gui {

class ReportsDialog : public QDialog {
  Q_OBJECT

 public:
  // A modal dialog over `parent` (the active window when null), ticked as
  // app::ReportChoice's defaults. "Generate &Reports" accepts it; Cancel
  // and Escape reject it.
  explicit ReportsDialog(QWidget* parent = nullptr);

  // The ticks as they are now.
  app::ReportChoice choice() const;

 private:
  QCheckBox* comprehensive_;
  QCheckBox* logReport_;
  QCheckBox* brevanta_;
  QCheckBox* pdf_;
};

}  // namespace gui
