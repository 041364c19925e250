// ReportsDialog: the choice of reports before a report run: one tick box per
// report ("Comprehensive Report (*.cmp)", "Log Report (*.clg)", "Brevanta
// File (*.bva)"), one for PDF copies, "Generate &Reports", and "&Print..."
// for the printed reports the last run of this session wrote.
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
  // and Escape reject it. "&Print..." prints the printed reports among
  // `app`'s lastReports (disabled when there are none, or without `app`).
  // REQUIRES: `app`, when given, outlives the dialog.
  explicit ReportsDialog(app::Application* app = nullptr, QWidget* parent = nullptr);

  // The ticks as they are now.
  app::ReportChoice choice() const;

 private:
  QCheckBox* comprehensive_;
  QCheckBox* logReport_;
  QCheckBox* brevanta_;
  QCheckBox* pdf_;
  QCheckBox* checkCompare_ = nullptr;  // only for a check scale file
  app::Application* app_;
};

}  // namespace gui
