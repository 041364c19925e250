// The load actions that the main screen and varnolde-cli share: the list of
// loads, the header audit with its journal entry, finalize, the report run
// and closing the file with its journal entry. Each returns what it did as a
// value; the main screen turns that into buttons and message boxes, the
// command-line tool into lines of output. Neither adds a rule of its own.
//
// Journal entries go to the open file through TableStore::LogProgramMessage,
// which commits them with every change made before them: an action's changes
// and its entry reach the file in one commit, so a crash at any moment leaves
// both or neither. A journal entry that cannot be written means the file
// cannot be written: the user is told (message box with the engine's reason)
// and the result says so, so no caller reports success after it.
//
// Every reference argument is borrowed for the call only; the store must be
// open unless a function says otherwise.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <string>
#include <vector>

#include "app/file_type.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/ui.h"
#include "reports/report_run.h"
#include "sampling/header_audit.h"
#include "sampling/load_checks.h"
#include "sampling/store_rows.h"
#include "tablestore/table_store.h"

namespace app {

class ScaleFiles;
struct OpenFileState;

// ---- The list of loads --------------------------------------------------------

// SALE and LLR of every row of table Load, in row order (reports::ReadLoadKeys);
// empty when there is no Load table or no file is open.
std::vector<sampling::LoadKey> ListLoads(tablestore::TableStore& store);

// What the list of loads shows of one load.
struct LoadSummary {
  sampling::LoadKey key;
  std::string design;  // ST of its Load row
  std::string units;   // SCALESYS of its Load row
  int logs = 0;        // live logs (VOID 0)
  int measured = 0;    // on a "3P" load the sample logs (HIT 1), else every live log
  int counted = 0;     // on a "3P" load the logs counted only (HIT 0)
};

// A LoadSummary of every load (ListLoads), in row order.
std::vector<LoadSummary> SummarizeLoads(tablestore::TableStore& store);

// ---- Journal ----------------------------------------------------------------------

// The message shown when a journal entry (and so the file) could not be
// written: kJournalFailedText, a line break and the engine's reason.
using sampling::kJournalFailedCaption;
using sampling::kJournalFailedText;

// Appends `msg` to the journal of the open file (sampling::WriteJournal:
// LogProgramMessage, which commits every pending change). Returns true when
// written. Otherwise shows kJournalFailedText + "\n" + store.LastError()
// (kJournalFailedCaption, stop icon) and returns false; the file keeps its
// last committed state.
bool Journal(tablestore::TableStore& store, platform::Ui& ui, const std::string& msg);

// ---- Header audit -----------------------------------------------------------------

// The journal entries of the header audit; a failure's entry is followed by
// the audit's messages joined by ", " (HeaderAudit::JournalText).
inline constexpr char kPassedHeaderAudit[] = "Passed header audit";
inline constexpr char kFailedHeaderAudit[] = "Failed load information audit: ";
// The caption under which the main screen shows a failed audit's text (stop
// icon).
inline constexpr char kHeaderAuditFailedCaption[] = "Missing/Incorrect Load Information";

// What the header audit found and whether its journal entry was written.
struct HeaderAuditOutcome {
  sampling::HeaderAudit audit;  // problems (0: passed) and their text
  bool journaled = false;       // false: the entry could not be written (shown)
  bool passed() const { return audit.problems == 0; }
};

// The header audit run each time the load information screen closes: audits
// the first Load row against today's date from `clock`
// (sampling::AuditLoadHeader) and journals kPassedHeaderAudit or
// kFailedHeaderAudit + the findings (Journal). The findings themselves are
// not shown: the main screen shows them with ShowHeaderProblems, the
// command-line tool prints them.
[[nodiscard]] HeaderAuditOutcome RunHeaderAudit(tablestore::TableStore& store,
                                                const platform::Clock& clock, platform::Ui& ui);

// Shows a failed audit's text under kHeaderAuditFailedCaption (stop icon).
// Shows nothing when the audit passed.
void ShowHeaderProblems(platform::Ui& ui, const HeaderAuditOutcome& outcome);

// ---- What the reports need of the open file ------------------------------------

// The reports' view of the open file: `store`, the services, and the path,
// file type, scale units and scale sample of `state`. Every pointer in the
// result borrows its argument, which must outlive every use of the result
// (and of hooks made from it). setCullFactors is left empty for the caller.
reports::ReportContext MakeReportContext(tablestore::TableStore& store, const OpenFileState& state,
                                         platform::Ui& ui, platform::FileSystem& files,
                                         const platform::Clock& clock);

// ---- Finalize ---------------------------------------------------------------------

enum class FinalizeStatus {
  kFinalized,         // stored "YES", journaled "Load finalized"; data entry
                      // is now closed to the load
  kAlreadyFinalized,  // the stored Finalized setting is "YES": nothing
                      // finalized (a missing audit report is written, below)
  kNoLoad,            // the file has no Load row: nothing done
  kAuditErrors,       // a load audit found errors (shown, journaled)
  kCancelled,         // the scaler cancelled the warnings or the confirmation
  kNotStored,         // the Finalized setting could not be written (shown)
  kReportFolderNotWritable,  // the audit report could not be written beside
                             // the scale file (shown, with `reason`):
                             // nothing done
};

// The last line of the message that refuses a finalize whose audit report
// could not be written.
inline constexpr char kNotFinalizedText[] = "The load has not been finalized.";

struct FinalizeOutcome {
  FinalizeStatus status = FinalizeStatus::kNoLoad;
  int auditErrors = 0;  // the error count with kAuditErrors
  // The audit report written now; "" when none was written (a report that
  // could not be written is shown as "Error Creating File"; the load stays
  // finalized). With kAlreadyFinalized it is set only when the report was
  // missing and has been written now.
  std::string auditReportPath;
  // With kReportFolderNotWritable: the system's reason ("Permission denied").
  std::string reason;
};

// The "Finalize load" command of the open file. Refuses a file without
// loads. A file already finalized (stored setting) is not finalized again;
// when its audit report is missing (a finalize stopped between storing "YES"
// and writing the report) the report is written (CreateAuditReport). Else,
// when no new file can be made in the scale file's folder (a folder the user
// may not write, a full disk), the finalize is refused before anything is
// done: "Error Creating File" with the system's reason and
// kNotFinalizedText, kReportFolderNotWritable. Else every load after the
// first is audited (sampling::AuditLoad): errors are
// shown under "Errors Found - Finalize Cancelled" and stop it, and so do
// cancelled warnings; then the first load goes through
// sampling::FinalizeLoad (its audit, the confirmation "Confirm Finalize",
// storing "YES", "Load finalized") with the audit report of `context`
// (reports::CreateAuditReport, which shows "Audit report created" when
// written). The audits' journal entries, "YES" and "Load finalized" reach
// the file in one commit; a finalize that stops commits the audits' entries.
// kNotStored when the setting did not reach the file (a journal entry that
// could not be written is shown). REQUIRES: context as MakeReportContext
// makes it, store open.
[[nodiscard]] FinalizeOutcome FinalizeLoads(const reports::ReportContext& context);

// ---- The supervisor's actions ----------------------------------------------------

enum class UnfinalizeStatus {
  kUnfinalized,   // stored "NO", journaled "Load un-finalized", told
  kNotFinalized,  // the stored setting is not "YES": nothing done (the
                  // supervisor screen disables the button then)
  kNotStored,     // the setting could not be written (shown)
};

// "Un-Finalize this Load": sampling::UnfinalizeLoad (stores "NO", journals
// "Load un-finalized", shows "This load has been un-finalized...") on a
// finalized file.
[[nodiscard]] UnfinalizeStatus Unfinalize(tablestore::TableStore& store, platform::Ui& ui);

// "Create Audit Report": reports::CreateAuditReport of the open file (which
// shows "Audit report created" when written). Returns the report's path, or
// "" when it could not be written (shown as "Error Creating File").
std::string WriteAuditReportFile(const reports::ReportContext& context);

enum class FileTypeStatus {
  kStored,     // the file type is stored (Globals System/FileType)
  kLocked,     // the file has logs or more than one load: nothing stored
  kNotStored,  // the setting could not be written (shown)
};

// True while the file type may change: the Log table has no rows and the
// Load table at most one (the main screen enables its list only then).
bool FileTypeChangeable(tablestore::TableStore& store);

// Stores `fileType` (its text) as the open file's type when
// FileTypeChangeable allows, and commits.
[[nodiscard]] FileTypeStatus SetFileType(tablestore::TableStore& store, platform::Ui& ui,
                                         FileType fileType);

// ---- The report run ---------------------------------------------------------------
//
// The report run is reports::GenerateReports(context, choice, createdFor)
// with a context from MakeReportContext; its reports::ReportRunResult lists
// the files written and the failures.

// ---- Closing the file ----------------------------------------------------------

// Journal entry written when the open file is closed.
inline constexpr char kFileClosed[] = "File closed";

// Closes the open file of `files` as the main screen's "Done" does: journals
// kFileClosed (Journal) and closes the file (ScaleFiles::CloseScaleFile,
// which commits). Returns true when the entry and the final commit were
// written or no file was open; false after a failure (shown with the
// engine's reason). The file is closed in either case.
[[nodiscard]] bool CloseFile(ScaleFiles& files, platform::Ui& ui);

}  // namespace app
