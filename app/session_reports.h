// The reports of one session at the main screen: what the Reports dialog's
// "&Print..." offers, and the audit report's place among them.
//
// The audit report is written when a load is finalized (or by the
// supervisor), not by the report run; once it exists it belongs with the
// load's other reports: it is printed with them and, when the Reports dialog
// asks for PDF copies, gets its PDF copy as they do.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <string>
#include <vector>

#include "reports/report_run.h"

namespace app {

// The largest audit report read back for its PDF copy; a bigger file is no
// audit report of this program.
inline constexpr size_t kMaxAuditReportBytes = 64u << 20;

// Adds the open file's audit report (reports::AuditReportPath) to `files`
// when it exists and is not listed yet. With `pdf` (context.pdfCopies) its
// PDF copy is written from the file as it stands (the report itself is not
// written again: it records the journal as it was when it was made); a file
// that cannot be read ("<path> could not be read for its PDF copy.", caption
// "Error", stop icon) or a copy that cannot be written is shown through
// context.ui, and the report stays listed. Returns the audit report's path,
// "" when there is none.
// REQUIRES: context.store is open.
std::string AddAuditReport(const reports::ReportContext& context, std::vector<std::string>* files);

}  // namespace app
