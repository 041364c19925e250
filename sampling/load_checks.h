// The load checks run on the open file: the load audit, finalize and
// un-finalize, and the header audit, reading the file's tables through
// TableStore and journaling through its LogProgramMessage.
//
// The rules themselves are in load_audit.h and header_audit.h; this file
// only gathers their inputs from the tables and stores their outcome.
//
// Thread safety: none; user-interface thread only.
#pragma once

#include <functional>
#include <string>

#include "platform/clock.h"
#include "platform/ui.h"
#include "sampling/findings.h"
#include "sampling/header_audit.h"
#include "sampling/load_audit.h"
#include "sampling/log_validation.h"
#include "sampling/store_rows.h"
#include "tablestore/table_store.h"

namespace sampling {

// The limits of load `key` (Load MINLEN, MAXLEN, MINDIA, MAXDIA). A missing
// Load row, a column the setup leaves out or an empty value keeps the
// default (0, 999, 0, 999), and so does a maximum of 0 (no limit set).
LoadLimits ReadLoadLimits(tablestore::TableStore& store, const LoadKey& key);

// What ValidateLog needs of load `key` and the setup: ST and SCALESYS of
// its Load row, its limits (ReadLoadLimits) and the species list made from
// the Validate text of Log.SP in DataDictionary (blanks made commas, a comma
// added at each end; "" when there is none, which disables the check).
LogCheckContext ReadLogCheckContext(tablestore::TableStore& store, const LoadKey& key);

// When an audit's journal entry is committed: at once (an audit on its own),
// or with the action the audit clears the way for (finalize, a report run),
// so that the entry and the action's changes reach the file in one commit.
enum class AuditJournal { kNow, kWithAction };

// Audits load `key`: its Load row (limits, ST, LLR) and its live logs
// ("VOID=0" when the Log table has that column), then FinishLoadAudit with
// the journal of the open file (committed as `when` says; with kWithAction
// the caller commits). Returns the error count (> 0, `errorText` then holds
// the errors), 0 passed, -1 passed with warnings and accepted, -2 passed
// with warnings and cancelled.
[[nodiscard]] int AuditLoad(tablestore::TableStore& store, const LoadKey& key, platform::Ui& ui,
                            std::string& errorText, AuditJournal when = AuditJournal::kNow);

// Caption and first line of the message shown when a journal entry (and so
// the file) could not be written; the engine's reason follows on the next
// line.
inline constexpr char kJournalFailedCaption[] = "Error";
inline constexpr char kJournalFailedText[] = "The file could not be written:";

// Appends `msg` to the journal of the open file (LogProgramMessage, which
// commits every pending change). Returns true when written. Otherwise shows
// kJournalFailedText + "\n" + store.LastError() (kJournalFailedCaption, stop
// icon) and returns false; the file keeps its last committed state.
[[nodiscard]] bool WriteJournal(tablestore::TableStore& store, platform::Ui& ui,
                                const std::string& msg);

// Appends `msg` to the journal of the open file without committing
// (AppendProgramMessage): it reaches the file with the next commit, together
// with the changes made before it. False when the entry could not be added.
[[nodiscard]] bool AppendJournal(tablestore::TableStore& store, const std::string& msg);

// Commits every pending change and journal entry of the open file in one
// commit. Returns true when written; otherwise shows kJournalFailedText +
// "\n" + store.LastError() (kJournalFailedCaption, stop icon) and returns
// false (the file keeps its last committed state).
[[nodiscard]] bool CommitChanges(tablestore::TableStore& store, platform::Ui& ui);

// Writes the audit report of the open file. The reports layer provides it;
// FinalizeLoad calls it once the load is finalized.
using AuditReportWriter = std::function<void()>;

// The main screen's finalize command for load `key`: AuditLoad, then
// FinalizeAfterAudit storing "YES" in Block=System,Key=Finalized; the
// audit's journal entry, "YES" and "Load finalized" reach the file in one
// commit (the entry alone when the finalize stops). Returns 0
// when finalized (the main screen disables data entry), the audit's error
// count, -1 when the scaler cancelled, -2 when the setting could not be
// stored. `writeAuditReport` may be empty.
[[nodiscard]] int FinalizeLoad(tablestore::TableStore& store, const LoadKey& key, platform::Ui& ui,
                               const AuditReportWriter& writeAuditReport);

// The supervisor's un-finalize command: stores "NO" in
// Block=System,Key=Finalized and journals and tells as UnfinalizeLoad(ui,
// hooks) does. Returns 0 (the main screen enables data entry) or -2.
[[nodiscard]] int UnfinalizeLoad(tablestore::TableStore& store, platform::Ui& ui);

// The header audit of the first row of table Load (columns
// kHeaderAuditColumns; a missing row or column reads as empty) against
// today's date from `clock`.
HeaderAudit AuditLoadHeader(tablestore::TableStore& store, const platform::Clock& clock);

}  // namespace sampling
