#include "sampling/load_audit.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "sampling/cell_text.h"

namespace sampling {

namespace {

std::string Format(const char* format, int a) {
  char text[96];
  std::snprintf(text, sizeof text, format, a);
  return text;
}

std::string Format(const char* format, int a, int b) {
  char text[96];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

// Split codes are compared as numbers: sorting them as text would put "10"
// before "2" and fail every log with ten or more splits.
void CheckSplits(std::vector<AuditLogRow> rows, Findings& out) {
  std::stable_sort(rows.begin(), rows.end(), [](const AuditLogRow& a, const AuditLogRow& b) {
    return a.log != b.log ? a.log < b.log : a.s < b.s;
  });
  for (size_t i = 0; i < rows.size(); ++i) {
    const bool first = i == 0 || rows[i - 1].log != rows[i].log;
    const bool good = first ? rows[i].s < 2 : int64_t{rows[i].s} == int64_t{rows[i - 1].s} + 1;
    if (!good) out.Error(Format("Bad Split code on Log %d\n", rows[i].log));
  }
}

void CheckRanges(const LoadLimits& limits, const AuditLogRow& row, Findings& out) {
  if (row.ln > limits.maxLen)
    out.Warning(Format("Log %d: LN of %d above maximum\n", row.log, row.ln));
  if (row.ln < limits.minLen)
    out.Warning(Format("Log %d: LN of %d below minimum\n", row.log, row.ln));
  if (row.sd > limits.maxDia)
    out.Warning(Format("Log %d: SD of %d above maximum\n", row.log, row.sd));
  if (row.sd < limits.minDia)
    out.Warning(Format("Log %d: SD of %d below minimum\n", row.log, row.sd));
  if (row.ld > limits.maxDia)
    out.Warning(Format("Log %d: LD of %d above maximum\n", row.log, row.ld));
  if (row.ld < limits.minDia)
    out.Warning(Format("Log %d: LD of %d below minimum\n", row.log, row.ld));
}

void CheckSampleLog(const LoadLimits& limits, const AuditLogRow& row, Findings& out) {
  if (row.ln == 0) out.Error(Format("Log %d: missing LN\n", row.log));
  if (row.sd == 0) out.Error(Format("Log %d: missing SD\n", row.log));
  if (row.ld == 0) out.Error(Format("Log %d: missing LD\n", row.log));
  if (row.ln != 0 && row.sd != 0 && row.ld != 0) CheckRanges(limits, row, out);
}

// A later split of a log takes the sample decision of the split before it.
bool InheritsDecision(const std::vector<AuditLogRow>& logs, size_t i) {
  return i > 0 && logs[i].s >= 2 && logs[i - 1].log == logs[i].log && logs[i - 1].p == logs[i].p;
}

void CheckSampling(const LoadLimits& limits, const std::vector<AuditLogRow>& logs, Findings& out) {
  for (size_t i = 0; i < logs.size(); ++i) {
    const AuditLogRow& row = logs[i];
    if (row.hit == -1 && !InheritsDecision(logs, i)) {
      out.Error(Format("Log %d: sample not determined (HIT = -1)\n", row.log));
    } else if (row.hit == 1 || row.hit == -1) {
      CheckSampleLog(limits, row, out);
    } else if (row.hit != 0) {
      out.Error(Format("Log %d: invalid HIT value %d\n", row.log, row.hit));
    }
  }
}

}  // namespace

Findings CheckLoad(const LoadLimits& limits, bool threeP, const std::vector<AuditLogRow>& logs) {
  Findings out;
  CheckSplits(logs, out);
  if (logs.empty()) {
    out.Error("No logs in the load!\n");
    return out;
  }
  if (threeP) {
    CheckSampling(limits, logs, out);
  } else {
    for (const AuditLogRow& row : logs) CheckRanges(limits, row, out);
  }
  return out;
}

int FinishLoadAudit(const Findings& findings, const std::string& llr, platform::Ui& ui,
                    const Journal& journal, std::string& errorText) {
  errorText.clear();
  auto log = [&](const std::string& message) {
    if (journal) journal(message);
  };
  if (findings.errorCount > 0) {
    errorText = DropLastBreak(findings.errors);
    log("Failed load audit: " + ReplaceBreaks(errorText, ","));
    return findings.errorCount;
  }
  if (findings.warningCount == 0) {
    log("Passed load audit");
    return kAuditPassed;
  }
  platform::Message ask{
      "Load " + llr + " passed the audit with warning(s):\n" + findings.warnings + "\nContinue?",
      "Warning", platform::Icon::kExclamation, platform::Buttons::kOkCancel};
  const platform::Answer answer = ui.ShowMessage(ask);
  log("Passed load audit with warning(s): " + ReplaceBreaks(findings.warnings, ","));
  return answer == platform::Answer::kOk ? kAuditWarningsAccepted : kAuditWarningsCancelled;
}

int FinalizeAfterAudit(int auditResult, const std::string& errorText, platform::Ui& ui,
                       const FinalizeHooks& hooks) {
  if (auditResult > 0) {
    ui.ShowMessage(
        platform::Message{errorText, "Errors Found - Finalize Cancelled", platform::Icon::kStop});
    return auditResult;
  }
  if (auditResult == kAuditWarningsCancelled) return kFinalizeCancelled;
  platform::Message ask{
      "Once a load is finalized, you won't be able to edit the log data. Are you sure?",
      "Confirm Finalize", platform::Icon::kQuestion, platform::Buttons::kOkCancel};
  if (ui.ShowMessage(ask) != platform::Answer::kOk) return kFinalizeCancelled;
  if (!hooks.storeFinalized || !hooks.storeFinalized("YES")) {
    ui.ShowMessage(
        platform::Message{"The load could not be finalized.", "Error", platform::Icon::kStop});
    return kFinalizeNotStored;
  }
  if (hooks.journal && !hooks.journal("Load finalized")) return kFinalizeNotStored;
  if (hooks.writeAuditReport) hooks.writeAuditReport();
  return kFinalized;
}

int UnfinalizeLoad(platform::Ui& ui, const FinalizeHooks& hooks) {
  if (!hooks.storeFinalized || !hooks.storeFinalized("NO")) {
    ui.ShowMessage(
        platform::Message{"The load could not be un-finalized.", "Error", platform::Icon::kStop});
    return kFinalizeNotStored;
  }
  if (hooks.journal && !hooks.journal("Load un-finalized")) return kFinalizeNotStored;
  ui.ShowMessage(platform::Message{
      "This load has been un-finalized.\nThe Data Entry button has been enabled.\nPlease "
      "re-finalize this load when finished.",
      "Load un-finalized", platform::Icon::kInformation});
  return 0;
}

}  // namespace sampling
