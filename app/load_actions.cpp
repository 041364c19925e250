#include "app/load_actions.h"

#include <algorithm>
#include <iterator>

#include "app/file_names.h"
#include "app/scale_files.h"
#include "reports/load_data.h"
#include "reports/report_file.h"
#include "sampling/load_checks.h"
#include "tablestore/settings.h"

namespace app {

std::vector<sampling::LoadKey> ListLoads(tablestore::TableStore& store) {
  std::vector<sampling::LoadKey> loads;
  for (auto& [sale, llr] : reports::ReadLoadKeys(store)) {
    loads.push_back({std::move(sale), std::move(llr)});
  }
  return loads;
}

std::vector<LoadSummary> SummarizeLoads(tablestore::TableStore& store) {
  std::vector<LoadSummary> loads;
  for (sampling::LoadKey& key : ListLoads(store)) {
    LoadSummary load;
    const std::vector<sampling::TextRow> header =
        sampling::ReadRows(store, "Load", key.Criteria(), "", {"ST", "SCALESYS"});
    if (!header.empty()) {
      load.design = header.front().Get("ST");
      load.units = header.front().Get("SCALESYS");
    }
    const bool threeP = load.design == "3P";
    for (const sampling::TextRow& log :
         sampling::ReadRows(store, "Log", key.Criteria(), "", {"VOID", "HIT"})) {
      if (log.GetInt("VOID") != 0) continue;
      ++load.logs;
      const int hit = log.GetInt("HIT");
      if (!threeP || hit == 1) ++load.measured;
      if (threeP && hit == 0) ++load.counted;
    }
    load.key = std::move(key);
    loads.push_back(std::move(load));
  }
  return loads;
}

bool Journal(tablestore::TableStore& store, platform::Ui& ui, const std::string& msg) {
  return sampling::WriteJournal(store, ui, msg);
}

HeaderAuditOutcome RunHeaderAudit(tablestore::TableStore& store, const platform::Clock& clock,
                                  platform::Ui& ui) {
  HeaderAuditOutcome outcome;
  outcome.audit = sampling::AuditLoadHeader(store, clock);
  const std::string entry = outcome.passed() ? std::string(kPassedHeaderAudit)
                                             : kFailedHeaderAudit + outcome.audit.JournalText();
  outcome.journaled = Journal(store, ui, entry);
  return outcome;
}

void ShowHeaderProblems(platform::Ui& ui, const HeaderAuditOutcome& outcome) {
  if (outcome.passed()) return;
  ui.ShowMessage({outcome.audit.text, kHeaderAuditFailedCaption, platform::Icon::kStop});
}

reports::ReportContext MakeReportContext(tablestore::TableStore& store, const OpenFileState& state,
                                         platform::Ui& ui, platform::FileSystem& files,
                                         const platform::Clock& clock) {
  reports::ReportContext context;
  context.store = &store;
  context.ui = &ui;
  context.files = &files;
  context.clock = &clock;
  context.scaleFilePath = state.path;
  context.fileType = state.fileType;
  context.unitSetting = state.scaleUnits;
  context.saleTypeSetting = state.scaleSample;
  return context;
}

namespace {

bool StoredAsFinalized(tablestore::TableStore& store) {
  std::string finalized;
  return tablestore::ReadSetting(store, tablestore::kBlockSystem, tablestore::kKeyFinalized,
                                 finalized) == tablestore::kOk &&
         finalized == tablestore::kYes;
}

FinalizeStatus StatusOf(int finalizeResult) {
  if (finalizeResult > 0) return FinalizeStatus::kAuditErrors;
  switch (finalizeResult) {
    case sampling::kFinalized:
      return FinalizeStatus::kFinalized;
    case sampling::kFinalizeCancelled:
      return FinalizeStatus::kCancelled;
    default:
      return FinalizeStatus::kNotStored;
  }
}

}  // namespace

namespace {

// Shows that the open file could not be written, with the engine's reason.
void ShowNotWritten(tablestore::TableStore& store, platform::Ui& ui) {
  ui.ShowMessage({std::string(kJournalFailedText) + "\n" + store.LastError(), kJournalFailedCaption,
                  platform::Icon::kStop});
}

// Audits every load after the first. kFinalized when none has errors and no
// warnings were cancelled.
FinalizeOutcome AuditLaterLoads(const std::vector<sampling::LoadKey>& loads, platform::Ui& ui,
                                tablestore::TableStore& store) {
  FinalizeOutcome outcome;
  outcome.status = FinalizeStatus::kFinalized;
  for (size_t i = 1; i < loads.size(); ++i) {
    std::string errors;
    const int rc =
        sampling::AuditLoad(store, loads[i], ui, errors, sampling::AuditJournal::kWithAction);
    if (rc > 0) {
      ui.ShowMessage({errors, "Errors Found - Finalize Cancelled", platform::Icon::kStop});
      outcome.status = FinalizeStatus::kAuditErrors;
      outcome.auditErrors = rc;
      return outcome;
    }
    if (rc == sampling::kAuditWarningsCancelled) {
      outcome.status = FinalizeStatus::kCancelled;
      return outcome;
    }
  }
  return outcome;
}

// The audit report's path when `written`; otherwise shows "Error Creating
// File" for it, with the system's reason, and gives "".
std::string AuditReportWritten(const reports::ReportContext& context, bool written) {
  const std::string path = reports::AuditReportPath(context);
  if (written) return path;
  reports::ShowErrorCreatingFile(
      *context.ui, reports::ErrorCreatingFileText(path, context.files->LastErrorText()));
  return "";
}

// Why the audit report could not be written beside the scale file now (the
// system's reason, shown); "" when it can.
std::string AuditReportFolderRefusal(const reports::ReportContext& context) {
  const std::string path = reports::AuditReportPath(context);
  if (context.files->CheckCanCreateIn(FolderOf(path)) == platform::FileResult::kOk) return "";
  std::string reason = context.files->LastErrorText();
  if (reason.empty()) reason = "the folder cannot be written";
  reports::ShowErrorCreatingFile(*context.ui, reports::ErrorCreatingFileText(path, reason) +
                                                  "\n" + kNotFinalizedText);
  return reason;
}

}  // namespace

std::string WriteAuditReportFile(const reports::ReportContext& context) {
  return AuditReportWritten(context, reports::CreateAuditReport(context));
}

FinalizeOutcome FinalizeLoads(const reports::ReportContext& context) {
  FinalizeOutcome outcome;
  tablestore::TableStore& store = *context.store;
  const std::vector<sampling::LoadKey> loads = ListLoads(store);
  if (loads.empty()) return outcome;
  // The main screen offers no Finalize for a finalized load: a second one
  // would only journal it again. Its audit report is all that can be
  // missing.
  if (StoredAsFinalized(store)) {
    outcome.status = FinalizeStatus::kAlreadyFinalized;
    if (!context.files->Exists(reports::AuditReportPath(context))) {
      outcome.auditReportPath = WriteAuditReportFile(context);
    }
    return outcome;
  }
  // A finalized load without its audit report would be a load whose
  // finalizing nobody can show: refused before anything is done.
  outcome.reason = AuditReportFolderRefusal(context);
  if (!outcome.reason.empty()) {
    outcome.status = FinalizeStatus::kReportFolderNotWritable;
    return outcome;
  }
  // Every audit's journal entry waits for the finalize's commit; a finalize
  // that stops commits the entries of the audits it ran.
  outcome = AuditLaterLoads(loads, *context.ui, store);
  if (outcome.status != FinalizeStatus::kFinalized) {
    (void)sampling::CommitChanges(store, *context.ui);
    return outcome;
  }
  bool reportWritten = false;
  const int rc = sampling::FinalizeLoad(store, loads.front(), *context.ui, [&] {
    reportWritten = reports::CreateAuditReport(context);
  });
  outcome.status = StatusOf(rc);
  if (rc > 0) outcome.auditErrors = rc;
  if (outcome.status != FinalizeStatus::kFinalized) return outcome;
  outcome.auditReportPath = AuditReportWritten(context, reportWritten);
  return outcome;
}

UnfinalizeStatus Unfinalize(tablestore::TableStore& store, platform::Ui& ui) {
  if (!StoredAsFinalized(store)) return UnfinalizeStatus::kNotFinalized;
  return sampling::UnfinalizeLoad(store, ui) == 0 ? UnfinalizeStatus::kUnfinalized
                                                  : UnfinalizeStatus::kNotStored;
}

bool FileTypeChangeable(tablestore::TableStore& store) {
  const tablestore::TableLease log(store, "Log");
  const tablestore::TableLease load(store, "Load");
  return store.RowCount(log.slot()) <= 0 && store.RowCount(load.slot()) <= 1;
}

FileTypeStatus SetFileType(tablestore::TableStore& store, platform::Ui& ui, FileType fileType) {
  if (!FileTypeChangeable(store)) return FileTypeStatus::kLocked;
  if (tablestore::StoreSetting(store, tablestore::kBlockSystem, tablestore::kKeyFileType,
                               FileTypeText(fileType)) != tablestore::kOk ||
      store.Commit() != tablestore::kOk) {
    ShowNotWritten(store, ui);
    return FileTypeStatus::kNotStored;
  }
  return FileTypeStatus::kStored;
}

bool CloseFile(ScaleFiles& files, platform::Ui& ui) {
  if (!files.IsOpen()) return true;
  tablestore::TableStore& store = *files.store();
  // The journal entry commits every pending change. When it fails the user
  // has been told that the file could not be written; the changes are still
  // committed if the file takes them, and the result stays false.
  const bool journaled = Journal(store, ui, kFileClosed);
  if (!journaled) (void)store.Commit();
  files.CloseScaleFile();
  return journaled;
}

}  // namespace app
