// varnolde-cli print: prints the PDF copies of a scale file's printed
// reports through the system's print service, CUPS's `lp` (Debian package
// cups-client). A copy that is missing, or older than the scale file, is
// written first (the report command, or the audit report command, with PDF
// copies), so that what comes out of the printer is the load as it stands.
//
// The report names are the report run's (ReportRun::reportBaseName,
// AuditReportPath); `lp` is started without a shell, each path one argument.
//
// Thread safety: none; one command at a time.
#pragma once

#include <string>
#include <vector>

#include "cli/commands.h"

namespace cli {

// Which reports to print and where. With none of the three chosen the
// comprehensive and the log report are printed.
struct PrintChoice {
  bool comprehensive = false;
  bool log = false;
  bool audit = false;
  std::string printer;  // "" for the default destination
};

// The program that prints: the first "lp" on `pathVariable` (the PATH, ":"
// separated) that can be run; "" when there is none.
std::string FindPrintCommand(const std::string& pathVariable);

// Prints the chosen reports of the scale file `scalePath` (see above). Fails,
// saying why, when no print service is installed, when the printer is
// unknown or refuses the job, or when a copy could not be written.
Outcome Print(Context& ctx, const std::string& scalePath, const PrintChoice& choice);

}  // namespace cli
