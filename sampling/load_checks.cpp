#include "sampling/load_checks.h"

#include <vector>

#include "sampling/cell_text.h"
#include "scaling/data_model.h"
#include "tablestore/settings.h"

namespace sampling {

namespace col = scaling::col;
namespace table = scaling::table;

namespace {

// `text` split at "," with blanks trimmed, as the ColumnLists are read.
std::vector<std::string> SplitList(std::string text) {
  std::vector<std::string> names;
  std::string name;
  while (!text.empty()) {
    tablestore::TableStore::NextToken(text, name, ",");
    names.push_back(name);
  }
  return names;
}

TextRow ReadLoadRow(tablestore::TableStore& store, const LoadKey& key,
                    const std::vector<std::string>& columns) {
  std::vector<TextRow> rows = ReadRows(store, table::kLoad, key.Criteria(), "", columns);
  return rows.empty() ? TextRow() : rows.front();
}

// An empty value keeps the default. So does a maximum of 0: in a numeric
// column it is what a load without that limit holds, and taken literally it
// would put every log above the maximum.
void ReadLimit(const TextRow& load, const char* column, int& limit, bool isMaximum) {
  const std::string text = load.Get(column);
  if (text.empty()) return;
  const int value = CellInt(text);
  if (!isMaximum || value != 0) limit = value;
}

std::vector<AuditLogRow> ReadLiveLogs(tablestore::TableStore& store, const LoadKey& key) {
  // A setup without VOID cannot delete logs, so every row is live.
  const std::string criteria = TableHasColumn(store, table::kLog, col::kVoid)
                                   ? scaling::LiveLogsCriteria(key.sale, key.llr)
                                   : key.Criteria();
  std::vector<AuditLogRow> logs;
  for (const TextRow& row : ReadRows(
           store, table::kLog, criteria, "",
           {col::kLog, col::kS, col::kP, col::kLN, col::kSD, col::kLD, col::kKPI, col::kHIT})) {
    AuditLogRow log;
    log.log = row.GetInt(col::kLog);
    log.s = row.GetInt(col::kS);
    log.p = row.GetInt(col::kP);
    log.ln = row.GetInt(col::kLN);
    log.sd = row.GetInt(col::kSD);
    log.ld = row.GetInt(col::kLD);
    log.kpi = row.GetInt(col::kKPI);
    // Without a HIT column no log of the load was ever decided.
    log.hit = row.Has(col::kHIT) ? row.GetInt(col::kHIT) : -1;
    logs.push_back(log);
  }
  return logs;
}

// The journal of the open file; an entry that cannot be written is shown.
// With kWithAction the entry waits for the caller's commit.
Journal JournalOf(tablestore::TableStore& store, platform::Ui& ui, AuditJournal when) {
  if (when == AuditJournal::kWithAction) {
    return [&store](const std::string& message) { return AppendJournal(store, message); };
  }
  return [&store, &ui](const std::string& message) { return WriteJournal(store, ui, message); };
}

// The setting is only stored: the journal entry that follows it commits both.
FinalizeHooks StoreHooks(tablestore::TableStore& store, platform::Ui& ui) {
  FinalizeHooks hooks;
  hooks.journal = JournalOf(store, ui, AuditJournal::kNow);
  hooks.storeFinalized = [&store](const std::string& value) {
    return tablestore::StoreSetting(store, tablestore::kBlockSystem, tablestore::kKeyFinalized,
                                    value) == 0;
  };
  return hooks;
}

}  // namespace

bool WriteJournal(tablestore::TableStore& store, platform::Ui& ui, const std::string& msg) {
  if (store.LogProgramMessage(msg) == tablestore::kOk) return true;
  ui.ShowMessage({std::string(kJournalFailedText) + "\n" + store.LastError(), kJournalFailedCaption,
                  platform::Icon::kStop});
  return false;
}

bool AppendJournal(tablestore::TableStore& store, const std::string& msg) {
  return store.AppendProgramMessage(msg) == tablestore::kOk;
}

bool CommitChanges(tablestore::TableStore& store, platform::Ui& ui) {
  if (store.Commit() == tablestore::kOk) return true;
  ui.ShowMessage({std::string(kJournalFailedText) + "\n" + store.LastError(), kJournalFailedCaption,
                  platform::Icon::kStop});
  return false;
}

LoadLimits ReadLoadLimits(tablestore::TableStore& store, const LoadKey& key) {
  const TextRow load =
      ReadLoadRow(store, key, {col::kMinLen, col::kMaxLen, col::kMinDia, col::kMaxDia});
  LoadLimits limits;
  ReadLimit(load, col::kMinLen, limits.minLen, false);
  ReadLimit(load, col::kMaxLen, limits.maxLen, true);
  ReadLimit(load, col::kMinDia, limits.minDia, false);
  ReadLimit(load, col::kMaxDia, limits.maxDia, true);
  return limits;
}

LogCheckContext ReadLogCheckContext(tablestore::TableStore& store, const LoadKey& key) {
  const TextRow load = ReadLoadRow(store, key, {col::kST, col::kScaleSys});
  LogCheckContext context;
  context.saleType = load.Get(col::kST);
  context.scaleSystem = load.Get(col::kScaleSys);
  context.limits = ReadLoadLimits(store, key);
  std::string species;
  const std::string criteria = std::string("TableName=") + table::kLog + ",ColumnName=" + col::kSP;
  if (store.KeyRetrieve("DataDictionary", criteria, "Validate", species, false) == 0 &&
      !species.empty()) {
    for (char& c : species) {
      if (c == ' ') c = ',';
    }
    context.speciesList = "," + species + ",";
  }
  return context;
}

int AuditLoad(tablestore::TableStore& store, const LoadKey& key, platform::Ui& ui,
              std::string& errorText, AuditJournal when) {
  const TextRow load = ReadLoadRow(store, key, {col::kLLR, col::kST});
  const std::string llr = load.Has(col::kLLR) ? load.Get(col::kLLR) : key.llr;
  const Findings findings =
      CheckLoad(ReadLoadLimits(store, key), load.Get(col::kST) == "3P", ReadLiveLogs(store, key));
  return FinishLoadAudit(findings, llr, ui, JournalOf(store, ui, when), errorText);
}

int FinalizeLoad(tablestore::TableStore& store, const LoadKey& key, platform::Ui& ui,
                 const AuditReportWriter& writeAuditReport) {
  std::string errorText;
  // The audit's entry is committed with "YES" and "Load finalized", or on
  // its own when the finalize stops.
  const int audit = AuditLoad(store, key, ui, errorText, AuditJournal::kWithAction);
  FinalizeHooks hooks = StoreHooks(store, ui);
  hooks.writeAuditReport = writeAuditReport;
  const int rc = FinalizeAfterAudit(audit, errorText, ui, hooks);
  // A failed commit of the journal entry has shown its reason; the finalize's
  // own result is the one to return.
  if (rc != kFinalized && rc != kFinalizeNotStored) (void)CommitChanges(store, ui);
  return rc;
}

int UnfinalizeLoad(tablestore::TableStore& store, platform::Ui& ui) {
  return UnfinalizeLoad(ui, StoreHooks(store, ui));
}

HeaderAudit AuditLoadHeader(tablestore::TableStore& store, const platform::Clock& clock) {
  const std::vector<TextRow> rows =
      ReadRows(store, table::kLoad, "", "", SplitList(kHeaderAuditColumns));
  return AuditHeader(rows.empty() ? TextRow() : rows.front(), Today(clock));
}

}  // namespace sampling
