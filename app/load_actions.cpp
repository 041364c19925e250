#include "app/load_actions.h"

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

FinalizeOutcome FinalizeFirstLoad(const reports::ReportContext& context) {
  FinalizeOutcome outcome;
  tablestore::TableStore& store = *context.store;
  const std::vector<sampling::LoadKey> loads = ListLoads(store);
  if (loads.empty()) return outcome;
  // The main screen offers no Finalize for a finalized load: a second one
  // would only journal it again and rewrite its audit report.
  if (StoredAsFinalized(store)) {
    outcome.status = FinalizeStatus::kAlreadyFinalized;
    return outcome;
  }
  bool reportWritten = false;
  const int rc = sampling::FinalizeLoad(store, loads.front(), *context.ui, [&] {
    reportWritten = reports::CreateAuditReport(context);
  });
  outcome.status = StatusOf(rc);
  if (rc > 0) outcome.auditErrors = rc;
  if (outcome.status != FinalizeStatus::kFinalized) return outcome;
  const std::string path = reports::AuditReportPath(context);
  if (reportWritten) {
    outcome.auditReportPath = path;
  } else {
    context.ui->ShowMessage({reports::ErrorCreatingFileText(path),
                             std::string(reports::kErrorCreatingFileCaption),
                             platform::Icon::kStop});
  }
  return outcome;
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
