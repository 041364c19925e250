#include "app/reports_screen.h"

#include "app/application.h"
#include "platform/ui.h"

namespace app {
namespace {

// Report files are a few megabytes at most; anything larger is no report.
constexpr size_t kMaxReportBytes = 64u << 20;

}  // namespace

std::vector<std::string> PrintableReports(const std::vector<std::string>& paths) {
  std::vector<std::string> printable;
  for (const std::string& path : paths) {
    if (reports::LayoutForReportFile(path) != nullptr) printable.push_back(path);
  }
  return printable;
}

std::optional<PrintedReport> ReadPrintedReport(const platform::FileSystem& files,
                                               const std::string& path) {
  const char* layout = reports::LayoutForReportFile(path);
  std::string bytes;
  if (layout == nullptr ||
      files.ReadFile(path, kMaxReportBytes, &bytes) != platform::FileResult::kOk) {
    return std::nullopt;
  }
  PrintedReport report;
  report.sheet = reports::SheetForReport(reports::LayoutGeometry(layout), bytes);
  report.pages = reports::ReportSheets(bytes, report.sheet);
  return report;
}

ReportsScreen::ReportsScreen(Application& app, Generate generate)
    : app_(app), generate_(std::move(generate)) {
  view_.ticks = app_.reportChoice;
  view_.checkCompareShown = app_.IsCheckScale();
  view_.printEnabled = !PrintableReports(app_.lastReports).empty();
}

void ReportsScreen::OnTick(bool ReportChoice::*tick, bool ticked) { view_.ticks.*tick = ticked; }

void ReportsScreen::OnGenerate() {
  app_.reportChoice = view_.ticks;
  generate_(app_.reportChoice);
  view_.printEnabled = !PrintableReports(app_.lastReports).empty();
}

PrintResult ReportsScreen::OnPrint(ReportPrinter& printer) {
  const std::vector<std::string> printable = PrintableReports(app_.lastReports);
  if (printable.empty()) return PrintResult::kNothingToPrint;
  if (!printer.Choose()) return PrintResult::kCancelled;
  for (const std::string& path : printable) {
    const std::optional<PrintedReport> report = ReadPrintedReport(app_.fs, path);
    if (!report) {
      ShowPrintFailure(path + kNotAReport);
      return PrintResult::kFailed;
    }
    if (!printer.Print(*report)) {
      ShowPrintFailure(kPrinterNotStarted);
      return PrintResult::kFailed;
    }
  }
  return PrintResult::kPrinted;
}

void ReportsScreen::ShowPrintFailure(const std::string& reason) {
  app_.ui.ShowMessage({reason, kPrintFailedCaption, platform::Icon::kStop});
}

}  // namespace app
