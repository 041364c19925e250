// The load audit: the check of a whole load before it is finalized and
// before reports are made, and the finalize and un-finalize commands.
//
// The audit reports findings and never changes data. CheckLoad holds the
// rules over plain values; FinishLoadAudit shows and journals the outcome.
//
// Thread safety: none; user-interface thread only.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "sampling/findings.h"

namespace sampling {

// One live log row (VOID 0) of the load, as integers, in table order.
struct AuditLogRow {
  int log = 0;
  int s = 0;  // split code
  int p = 0;
  int ln = 0, sd = 0, ld = 0;
  int kpi = 0;
  int hit = 0;  // 1 sample, 0 not a sample, -1 not decided; anything else is an error
};

// The audit rules, in order: split codes (per log, ordered by S as a
// number: the first split below 2, each further one the previous plus 1;
// "Bad Split code on Log %d\n"); then, when `threeP`, the sample decisions
// and the measurements of sample logs, else the measurements of every log;
// "No logs in the load!\n" for a load without live logs; range warnings
// "Log %d: LN of %d above maximum\n" and the like against `limits`.
Findings CheckLoad(const LoadLimits& limits, bool threeP, const std::vector<AuditLogRow>& logs);

// Appends one entry to the journal of the open file and commits it with
// every change made before it (LogProgramMessage), so that a change and its
// entry reach the file together or not at all. False when the commit failed
// (shown).
using Journal = std::function<bool(const std::string& message)>;

// AuditLoad results besides the error count (> 0).
inline constexpr int kAuditPassed = 0;
inline constexpr int kAuditWarningsAccepted = -1;
inline constexpr int kAuditWarningsCancelled = -2;

// Ends an audit of load `llr` with `findings`. With errors: `errorText`
// gets the error text without its last line break, the journal "Failed load
// audit: " + that text with line breaks made ",", and the result is the
// error count (nothing is shown: the caller picks the caption). With
// warnings only: asks "Load LLR passed the audit with warning(s):\n" +
// warnings + "\nContinue?" ("Warning", OK/Cancel, exclamation icon), journals
// "Passed load audit with warning(s): " + the warnings with line breaks made
// ",", and returns -1 for OK, -2 for Cancel. Otherwise journals "Passed load
// audit" and returns 0. `errorText` is emptied unless there are errors.
[[nodiscard]] int FinishLoadAudit(const Findings& findings, const std::string& llr,
                                  platform::Ui& ui, const Journal& journal, std::string& errorText);

// What finalizing and un-finalizing need besides the audit.
struct FinalizeHooks {
  Journal journal;
  // Stores `value` ("YES" or "NO") in the Globals row Block=System,Key=Finalized,
  // adding the row when absent, without committing: the journal entry that
  // follows commits the setting with it. Returns false when it could not be
  // stored.
  std::function<bool(const std::string& value)> storeFinalized;
  // Writes the load's audit report (the reports layer connects it); may be empty.
  std::function<void()> writeAuditReport;
};

// FinalizeLoad results besides the audit's error count (> 0).
inline constexpr int kFinalized = 0;
inline constexpr int kFinalizeCancelled = -1;  // the scaler cancelled a prompt
inline constexpr int kFinalizeNotStored = -2;  // the Finalized setting could not be written

// The finalize command after the audit returned `auditResult` (with
// `errorText`). Errors: shows the error text ("Errors Found - Finalize
// Cancelled", stop icon) and returns the count. A cancelled warning prompt
// (-2) returns -1 without asking more. Otherwise asks "Once a load is
// finalized, you won't be able to edit the log data. Are you sure?"
// ("Confirm Finalize", OK/Cancel, question icon); on OK stores "YES" and
// journals "Load finalized" in one commit, writes the audit report and
// returns 0 (the main screen then disables data entry). When "YES" cannot be
// stored, shows "The load could not be finalized." ("Error", stop icon) and
// returns -2; so it does, without that message, when the commit failed (the
// journal has shown why).
[[nodiscard]] int FinalizeAfterAudit(int auditResult, const std::string& errorText,
                                     platform::Ui& ui, const FinalizeHooks& hooks);

// The supervisor's un-finalize command: stores "NO" and journals "Load
// un-finalized" in one commit, and shows "This load has been un-finalized.\nThe Data Entry
// button has been enabled.\nPlease re-finalize this load when finished."
// ("Load un-finalized", information icon); returns 0 (the main screen then
// enables data entry). When "NO" cannot be stored, shows "The load could not
// be un-finalized." ("Error", stop icon) and returns -2; -2 too, without
// that message, when the commit failed (the journal has shown why).
[[nodiscard]] int UnfinalizeLoad(platform::Ui& ui, const FinalizeHooks& hooks);

}  // namespace sampling
