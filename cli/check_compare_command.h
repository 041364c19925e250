// varnolde-cli check-compare: a check scaler's file compared with the
// production files, log by log and load by load (app::CompareCheckScaleFiles),
// printed as the report's text, as CSV, as JSON, or written as a PDF.
//
// Exit codes: 0 compared (and, with --tolerance, every load within it); 1 the
// comparison could not be made (a file missing, in use, of the wrong file
// type, a load held by two production files, a PDF not written); 2 a wrong
// command line; kExitOutsideTolerance when a load's net difference exceeds the
// tolerance.
//
// Thread safety: none; one command at a time.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace cli {

// The exit code of a comparison with a load outside the tolerance.
inline constexpr int kExitOutsideTolerance = 3;

// The command line of check-compare.
struct CheckCompareOptions {
  std::string checkFile;
  std::vector<std::string> productionFiles;
  std::optional<double> tolerance;  // per cent, >= 0
  bool csv = false;
  bool json = false;
  std::string pdfPath;  // "" : no PDF
};

// Declares the check-compare command on `app`, bound to `options` (which must
// outlive the parse). Returns the command, to ask whether it was chosen.
CLI::App* DeclareCheckCompare(CLI::App& app, CheckCompareOptions& options);

// Runs the comparison and writes it to ctx.out: the printed text (pages
// separated by form feeds), CSV (a header line, then one line per compared,
// check-only and not re-measured log), JSON (one object), or, with a PDF
// path, the PDF of the printed text and "Wrote <path>". A failure is one line
// on the error stream. Returns the exit code (see the top of this file).
[[nodiscard]] int CheckCompare(Context& ctx, const CheckCompareOptions& options);

}  // namespace cli
