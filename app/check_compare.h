// The check scale comparison as the office runs it: from varnolde-cli
// ("check-compare") over a check scaler's file and the production files, and
// from the main screen's Reports when a check scale file is open (written to
// NAME.chk beside the other reports). The comparison itself and its printed
// form are reports/check_comparison.h; this file finds and reads the files.
//
// Files are only read: each is opened without the open sequence (no structure
// upgrade, no journal entry) and closed without a commit, one at a time, so
// nothing in them changes and a file another program holds is refused as it
// is everywhere else.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "reports/check_comparison.h"
#include "reports/report_run.h"
#include "tablestore/table_store.h"

namespace app {

// The open dialog that asks for a production file ("%s": SALE and LLR of the
// first checked load no production file chosen so far holds).
inline constexpr char kProductionFileTitle[] = "Production file of SALE %s LLR %s";
// What the main screen says when the comparison has been written ("%s": the
// file), caption "Done", information icon.
inline constexpr char kCheckComparisonCreated[] = "Check scale comparison created:\n%s";
// Caption of the message naming a production file that could not be used.
inline constexpr char kProductionFileCaption[] = "Production File";

// A comparison, or why none could be made.
struct CheckCompareOutcome {
  std::string error;  // "" when compared; else "<file>: <reason>"
  reports::CheckComparison comparison;
  bool ok() const { return error.empty(); }
};

// A production file as read for a comparison, or why it cannot serve: not a
// file, in use by another program, not a scale file, a check scale or
// non-scale loads file ("<path>: <reason>"). Only the loads named in
// `checked` are read.
struct ProductionRead {
  std::string error;
  reports::ReadFile file;
};
ProductionRead ReadProductionFile(const platform::FileSystem& fs, const std::string& path,
                                  const std::vector<reports::ReadLoad>& checked);

// Compares the check file `checkPath` (file type "check scale") with the
// production files (file type "production") and `tolerance` (per cent, >= 0,
// or none). Fails, naming the file, when a file cannot be read as its role
// asks, and when two production files hold the same load.
[[nodiscard]] CheckCompareOutcome CompareCheckScaleFiles(
    const platform::FileSystem& fs, const std::string& checkPath,
    const std::vector<std::string>& productionPaths, std::optional<double> tolerance);

// The main screen's comparison of the open check scale file (context.store,
// context.scaleFilePath): asks for a production file (kProductionFileTitle,
// starting in the check file's folder) for each checked load that none of
// the files chosen so far holds, until every checked load has one or the
// user cancels; a file that cannot serve is named in a message box
// (kProductionFileCaption, stop icon) and the question comes again. With at
// least one production file, writes the printed comparison to the scale
// file's base + ".chk" (and its PDF copy when context.pdfCopies) and shows
// kCheckComparisonCreated. Returns the files written; none when the user
// chose no production file, or the report could not be written ("Error
// Creating File" shown).
std::vector<std::string> WriteCheckComparison(const reports::ReportContext& context);

}  // namespace app
