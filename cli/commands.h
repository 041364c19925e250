// The commands of varnolde-cli over one scale file each: create, import,
// audit, finalize, report, totals and dump. main.cpp parses the command line
// and runs these, once per file named.
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
  std::string programFolder;  // ends in "/"
};

// The outcome of a command on one file: success, or the one-line reason of
// its failure (without the file name, which the caller adds).
struct Outcome {
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

// Appends the rows of the load text file `textPath` (ImportLoadText) to the
// scale file and writes what was added. Refused on a finalized load.
Outcome Import(Context& ctx, const std::string& scalePath, const std::string& textPath);

// The header audit of the first load and the load audit of every load of the
// file, journaled as the main screen journals them. Writes the findings.
// Fails when the header has problems or a load has errors; a warnings-only
// load passes (its question is answered by --yes or refused).
Outcome Audit(Context& ctx, const std::string& scalePath);

// The finalize command for the file's first load: the load audit, the
// confirmation (which this command answers), the Finalized setting, the
// journal entry and the audit report, with its PDF copy when `pdf` is set.
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

// The load totals of every load of the file (which also recompute and store
// the logs' volumes): the caption and the totals text of each.
Outcome Totals(Context& ctx, const std::string& scalePath);

// Writes the file's tables (or the one named `table`) as JSON. Reads the file
// only: no open sequence, no journal entry, nothing written.
Outcome Dump(Context& ctx, const std::string& scalePath, const std::string& table);

}  // namespace cli
