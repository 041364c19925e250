// The load actions that the main screen and varnolde-cli share: the list of
// loads, the header audit with its journal entry, finalize, the report run
// and closing the file with its journal entry. Each returns what it did as a
// value; the main screen turns that into buttons and message boxes, the
// command-line tool into lines of output. Neither adds a rule of its own.
//
// Journal entries go to the open file through TableStore::LogProgramMessage,
// which commits. A journal entry that cannot be written means the file
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
HeaderAuditOutcome RunHeaderAudit(tablestore::TableStore& store, const platform::Clock& clock,
                                  platform::Ui& ui);

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
  kAlreadyFinalized,  // the stored Finalized setting is "YES": nothing done
  kNoLoad,            // the file has no Load row: nothing done
  kAuditErrors,       // the load audit found errors (shown, journaled)
  kCancelled,         // the scaler cancelled the warnings or the confirmation
  kNotStored,         // the Finalized setting could not be written (shown)
};

struct FinalizeOutcome {
  FinalizeStatus status = FinalizeStatus::kNoLoad;
  int auditErrors = 0;  // the error count with kAuditErrors
  // The audit report written after finalizing; "" when none was written (a
  // report that could not be written is shown as "Error Creating File"; the
  // load stays finalized).
  std::string auditReportPath;
};

// The "Finalize load" command for the first load of the file: refuses a file
// without loads or one already finalized (stored setting), then
// sampling::FinalizeLoad (load audit, its messages and journal entries, the
// confirmation "Confirm Finalize", storing "YES", "Load finalized") with the
// audit report of `context` (reports::CreateAuditReport, which shows "Audit
// report created" when written). REQUIRES: context as MakeReportContext
// makes it, store open.
FinalizeOutcome FinalizeFirstLoad(const reports::ReportContext& context);

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
bool CloseFile(ScaleFiles& files, platform::Ui& ui);

}  // namespace app
