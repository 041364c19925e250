// Printing the reports from the program: the Reports dialog's "Print..." for
// the reports a run has just written, through Qt's print dialog.
//
// Each report is printed as its PDF copy shows it (reports/report_pages.h):
// one sheet per report page, US Letter, landscape for the comprehensive
// report, the layout's margins and pitches, in the report face. The sheets
// and their lines come from the Qt-free reports layer; this file only draws
// them with QPainter.
//
// Thread safety: the Qt GUI thread only.
#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/ui.h"

class QPrinter;
class QWidget;

namespace gui {

// The printed reports among `paths` (the files a report run wrote, in order):
// the comprehensive, log and audit reports (reports::LayoutForReportFile);
// exports and PDF copies are left out.
std::vector<std::string> PrintableReports(const std::vector<std::string>& paths);

// Prints the report files `paths` one after the other onto `printer`, which
// is set up for each file's sheet (page size, orientation, full page) as it
// goes. Returns true when every file was printed. Stops at the first file
// that cannot be read or when the printer cannot start, returning false with
// the reason in *error (when not null); the files before it are printed.
// REQUIRES: printer is not printing yet.
bool PrintReportFiles(QPrinter& printer, const std::vector<std::string>& paths,
                      const platform::FileSystem& files, std::string* error);

// Caption of the message shown when printing fails.
inline constexpr char kPrintFailedCaption[] = "Print";

// "Print...": shows Qt's print dialog over `parent` for the printable reports
// among `paths` and prints them when the user accepts. Returns true when they
// were printed; false when there is nothing to print, the user cancelled, or
// printing failed (then shown through `ui`: caption kPrintFailedCaption, stop
// icon, the reason).
bool PrintReports(QWidget* parent, const std::vector<std::string>& paths,
                  const platform::FileSystem& files, platform::Ui& ui);

}  // namespace gui
