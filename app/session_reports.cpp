#include "app/session_reports.h"

#include <algorithm>

#include "platform/text.h"
#include "platform/ui.h"
#include "reports/report_pdf.h"

namespace app {

std::string AddAuditReport(const reports::ReportContext& context, std::vector<std::string>* files) {
  const std::string path = reports::AuditReportPath(context);
  if (context.files == nullptr || !context.files->Exists(path)) return "";
  if (std::find(files->begin(), files->end(), path) == files->end()) files->push_back(path);
  if (!context.pdfCopies) return path;
  std::string bytes;
  if (context.files->ReadFile(path, kMaxAuditReportBytes, &bytes) != platform::FileResult::kOk) {
    if (context.ui != nullptr) {
      context.ui->ShowMessage(
          {path + " could not be read for its PDF copy.", "Error", platform::Icon::kStop});
    }
    return path;
  }
  // The file holds the report's 8-bit text; the PDF writer takes the text as
  // it was given to the report file.
  static_cast<void>(reports::WriteReportPdf(*context.files, path, platform::Cp1252ToUtf8(bytes),
                                            context.ui));
  return path;
}

}  // namespace app
