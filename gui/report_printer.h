// Printing the reports from the program: the Reports dialog's "Print..."
// through Qt's print dialog.
//
// Each report is printed as its PDF copy shows it (reports/report_pages.h):
// one sheet per report page, US Letter, landscape for the comprehensive
// report, the layout's margins and pitches, in the report face. Which files
// are printed, and their sheets and lines, come from app::ReportsScreen;
// this file only draws them with QPainter.
//
// Thread safety: the Qt GUI thread only.
#pragma once

#include <QPainter>

#include "app/reports_screen.h"

class QPrinter;
class QWidget;

namespace gui {

class QtReportPrinter : public app::ReportPrinter {
 public:
  // Prints onto `printer` (borrowed; must outlive this object and not be
  // printing yet); Choose() shows Qt's print dialog over `parent`.
  QtReportPrinter(QPrinter& printer, QWidget* parent);

  // Qt's print dialog; false when the user cancelled it.
  [[nodiscard]] bool Choose() override;
  // Sets the printer up for the report's sheet (page size, orientation,
  // full page) and draws its pages after those drawn before; false when the
  // printer could not be started.
  [[nodiscard]] bool Print(const app::PrintedReport& report) override;

 private:
  QPrinter& printer_;
  QWidget* parent_;
  QPainter painter_;
};

}  // namespace gui
