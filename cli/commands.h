// The commands of varnolde-cli over one scale file each: create, import,
// list, audit, finalize, report, totals, the supervisor's unfinalize,
// audit-report, set-file-type and rename, and dump. Each calls the shared
// actions of app/ (load_actions.h, load_rename.h) and holds no rule of its
// own. main.cpp parses the command line and runs these, once per file named.
// The administrator's set-password is in cli/set_password.h.
//
// Each command opens the file the way the main screen does (in-use check,
// then the open sequence with its structure upgrade and journal entries),
// does its work, and closes the file again (committing it). The user hears
// of it through the Ui: message boxes become lines on the error stream
// (StderrUi). Results for the user (audit findings, totals, JSON, the paths of
// files written) go to the output stream.
//
// Thread safety: none; one command at a time.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/stderr_ui.h"
#include "platform/clock.h"
#include "platform/file_system.h"

namespace cli {

// What every command needs: where to write, the Ui, the file system, the
// clock and the program's folder (where the default setup file lies). All
// borrowed; they must outlive the commands run with them.
struct Context {
  std::ostream& out;
  StderrUi& ui;
  platform::FileSystem& fs;
  const platform::Clock& clock;
  std::string programFolder;      // ends in "/"
  bool csvHeaderWritten = false;  // a CSV header goes once to `out` per run
};

// The outcome of a command on one file: success, or the one-line reason of
// its failure (without the file name, which the caller adds). Results on the
// output stream name their file, so that the output of a batch stays clear.
struct [[nodiscard]] Outcome {
  bool ok = true;
  std::string reason;
  static Outcome Ok() { return {}; }
  static Outcome Fail(std::string why) { return {false, std::move(why)}; }
};

// Creates the scale file `scalePath` from the setup file `setupPath` (empty:
// the default setup file in the program folder): the create sequence without
// dialogs (backup of an existing file, copy, date prefix when the setup asks
// for it, the new file emptied of logs). Writes "Created <path>" with the
// path the file finally got.
Outcome Create(Context& ctx, const std::string& setupPath, const std::string& scalePath);

// Appends the rows of the load text file `textPath` (app::ImportLoadText) to the
// scale file, writes what was added and the check findings, and journals
// "Imported N logs from <textPath>" in the same commit as the rows, and
// writes what was added only once that commit succeeded. The findings of
// the checks go to the error stream, one line each with its line number.
// Refused on a finalized load, and (as ImportLoadText refuses) with nothing
// written. With `replace`, a load the file already holds is replaced by the
// text's.
Outcome Import(Context& ctx, const std::string& scalePath, const std::string& textPath,
               bool replace = false);

// Why `import FILE TEXTFILE` is a wrong command line (exit 2), or "": the
// same file given twice, or a scale or setup file (".scl", ".SetupScl",
// letter case ignored) given as the text, the two swapped.
std::string ImportUsageProblem(const std::string& scalePath, const std::string& textPath);

// The header audit of the first load and the load audit of every load of the
// file, journaled as the main screen journals them. Writes the findings.
// Fails when the header has problems or a load has errors; a warnings-only
// load passes (its question is answered by --yes or refused).
Outcome Audit(Context& ctx, const std::string& scalePath);

// The finalize command (app::FinalizeLoads): the audit of every load, the
// confirmation (which this command answers), the Finalized setting, the
// journal entry and the audit report, with its PDF copy when `pdf` is set.
// On a finalized file it only writes the audit report when that is missing.
// Fails on audit errors, on a warnings-only audit refused without --yes, and
// when the PDF copy asked for was not written.
Outcome Finalize(Context& ctx, const std::string& scalePath, bool pdf = false);

// Which reports a report run writes.
struct ReportChoice {
  bool comprehensive = true;
  bool log = true;
  bool brevanta = true;
  bool pdf = false;  // a PDF copy beside each printed report
};

// The report run over every load of the file, its files written beside the
// scale file. Writes the paths of the files made. Fails when the run
// produced nothing (audit errors, a refused warnings question), when a report
// file could not be created, or when the recomputed volumes could not be
// stored.
Outcome Report(Context& ctx, const std::string& scalePath, const ReportChoice& choice);

// How a command writes its results.
enum class Format { kText, kCsv, kJson };

// The load totals of every load of the file (which also recompute and store
// the logs' volumes): the caption and the totals text of each; as CSV (a
// header line, then one line per load and totals column); as JSON (one
// object per file with its loads).
Outcome Totals(Context& ctx, const std::string& scalePath, Format format = Format::kText);

// The loads of the file, one line each (app::SummarizeLoads with the file's
// Finalized setting and file type), or as JSON (kJson: one object per file).
// Reads only: no open sequence, no journal entry, nothing written.
Outcome List(Context& ctx, const std::string& scalePath, Format format = Format::kText);

// The supervisor's "Un-Finalize this Load" (app::Unfinalize). Fails on a
// file that is not finalized.
Outcome Unfinalize(Context& ctx, const std::string& scalePath);

// The supervisor's "Create Audit Report" (app::WriteAuditReportFile), with
// its PDF copy when `pdf` is set.
Outcome AuditReport(Context& ctx, const std::string& scalePath, bool pdf = false);

// The main screen's file type list (app::SetFileType): "production", "check
// scale" or "non-scale loads", only while the file has no logs and at most
// one load.
Outcome SetFileType(Context& ctx, const std::string& scalePath, const std::string& fileType);

// The supervisor's "Change SALE or LLR" (app::RenameSaleOrLlr); an empty new
// value leaves that column alone.
Outcome Rename(Context& ctx, const std::string& scalePath, const std::string& oldSale,
               const std::string& newSale, const std::string& oldLlr, const std::string& newLlr);

// Writes the file's tables (or the one named `table`) as JSON. Reads the file
// only: no open sequence, no journal entry, nothing written.
Outcome Dump(Context& ctx, const std::string& scalePath, const std::string& table);

}  // namespace cli
