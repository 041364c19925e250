// ReportsScreen: the "Reports" dialog without a toolkit: which reports to
// write, and printing them.
//
// The ticks start as the session's last choice (Application::reportChoice),
// so the dialog remembers them, the PDF tick included, while the program
// runs; the check scale comparison's tick is offered only for a check scale
// file and otherwise kept as it was for the next one. "Generate &Reports"
// stores the ticks and hands them to the generate call, and the dialog stays
// open so that "&Print..." can print what was just written; "&Print..." is
// enabled while the session's written files (Application::lastReports)
// include a printed report.
//
// Printing reads each printed report and hands its sheets' lines to a
// ReportPrinter, which the Qt side implements with its print dialog and
// QPainter; every failure is shown through the Application's Ui.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/screens.h"
#include "platform/file_system.h"
#include "reports/report_pages.h"

namespace app {

class Application;

// The dialog's caption, ticks and buttons.
inline constexpr char kReportsTitle[] = "Reports";
inline constexpr char kReportsComprehensive[] = "Comprehensive Report (*.cmp)";
inline constexpr char kReportsLog[] = "Log Report (*.clg)";
inline constexpr char kReportsBrevanta[] = "Brevanta File (*.bva)";
inline constexpr char kReportsCheckCompare[] = "Check Scale Comparison (*.chk)";
inline constexpr char kReportsPdf[] = "PDF copies";
inline constexpr char kReportsGenerate[] = "Generate &Reports";
inline constexpr char kReportsPrint[] = "&Print...";
inline constexpr char kReportsClose[] = "&Close";

// Printing's messages: caption kPrintFailedCaption, stop icon; a file that
// cannot be printed is named before kNotAReport.
inline constexpr char kPrintFailedCaption[] = "Print";
inline constexpr char kNotAReport[] = " cannot be read as a report.";
inline constexpr char kPrinterNotStarted[] = "The printer could not be started.";

// What the dialog shows.
struct ReportsView {
  ReportChoice ticks;              // the ticks as they are now
  bool checkCompareShown = false;  // a check scale file: its tick is offered
  bool printEnabled = false;       // "&Print..."
};

// One report as it is printed: its sheet (page size, margins, pitches) and
// the lines of each of its pages.
struct PrintedReport {
  reports::PrintSheet sheet;
  std::vector<reports::SheetLines> pages;
};

// The printer behind "&Print...".
class ReportPrinter {
 public:
  virtual ~ReportPrinter() = default;
  // Lets the user choose and set up the printer; false when cancelled.
  [[nodiscard]] virtual bool Choose() = 0;
  // Prints `report` on pages of its own after those printed before; false
  // when the printer could not be started.
  [[nodiscard]] virtual bool Print(const PrintedReport& report) = 0;
};

// What a "&Print..." came to.
enum class PrintResult {
  kPrinted,         // every printed report was printed
  kNothingToPrint,  // no printed report among the session's files
  kCancelled,       // the user cancelled the printer's choice
  kFailed,          // a report could not be read or the printer not started (shown)
};

// The printed reports among `paths` (the files a report run wrote, in order):
// the comprehensive, log and audit reports (reports::LayoutForReportFile);
// exports and PDF copies are left out.
std::vector<std::string> PrintableReports(const std::vector<std::string>& paths);

// The report file at `path` laid out on its sheets as its PDF copy shows it
// (reports/report_pages.h); nullopt when it is no printed report or cannot
// be read.
[[nodiscard]] std::optional<PrintedReport> ReadPrintedReport(const platform::FileSystem& files,
                                                             const std::string& path);

class ReportsScreen {
 public:
  using Generate = std::function<void(const ReportChoice&)>;

  // `app` is borrowed and must outlive the screen; "Generate &Reports" calls
  // `generate` with the ticks.
  ReportsScreen(Application& app, Generate generate);

  // What the dialog shows now.
  const ReportsView& view() const { return view_; }

  // A tick box changed: `tick` is the ReportChoice member it stands for.
  void OnTick(bool ReportChoice::*tick, bool ticked);
  // "Generate &Reports": stores the ticks as the session's choice, runs the
  // generate call and enables "&Print..." when a printed report was written.
  void OnGenerate();
  // "&Print...": lets the user choose the printer, then prints the printed
  // reports one after the other. Stops at the first report that cannot be
  // read ("PATH cannot be read as a report.") or when the printer cannot be
  // started (kPrinterNotStarted), shown under kPrintFailedCaption; the
  // reports before it are printed.
  [[nodiscard]] PrintResult OnPrint(ReportPrinter& printer);

 private:
  void ShowPrintFailure(const std::string& reason);

  Application& app_;
  Generate generate_;
  ReportsView view_;
};

}  // namespace app
