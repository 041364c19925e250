#include "sampling/load_checks.h"

#include <vector>

#include "sampling/cell_text.h"
#include "tablestore/settings.h"

namespace sampling {

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
  std::vector<TextRow> rows = ReadRows(store, "Load", key.Criteria(), "", columns);
  return rows.empty() ? TextRow() : rows.front();
}

void ReadLimit(const TextRow& load, const char* column, int& limit) {
  const std::string text = load.Get(column);
  if (!text.empty()) limit = CellInt(text);
}

std::vector<AuditLogRow> ReadLiveLogs(tablestore::TableStore& store, const LoadKey& key) {
  std::string criteria = key.Criteria();
  // A setup without VOID cannot delete logs, so every row is live.
  if (TableHasColumn(store, "Log", "VOID")) criteria += ",VOID=0";
  std::vector<AuditLogRow> logs;
  for (const TextRow& row :
       ReadRows(store, "Log", criteria, "", {"LOG", "S", "P", "LN", "SD", "LD", "KPI", "HIT"})) {
    AuditLogRow log;
    log.log = row.GetInt("LOG");
    log.s = row.GetInt("S");
    log.p = row.GetInt("P");
    log.ln = row.GetInt("LN");
    log.sd = row.GetInt("SD");
    log.ld = row.GetInt("LD");
    log.kpi = row.GetInt("KPI");
    log.hit = row.GetInt("HIT");
    logs.push_back(log);
  }
  return logs;
}

FinalizeHooks StoreHooks(tablestore::TableStore& store) {
  FinalizeHooks hooks;
  hooks.journal = [&store](const std::string& message) { store.LogProgramMessage(message); };
  hooks.storeFinalized = [&store](const std::string& value) {
    return tablestore::StoreSetting(store, tablestore::kBlockSystem, tablestore::kKeyFinalized,
                                    value) == 0 &&
           store.Commit() == 0;
  };
  return hooks;
}

}  // namespace

LoadLimits ReadLoadLimits(tablestore::TableStore& store, const LoadKey& key) {
  const TextRow load = ReadLoadRow(store, key, {"MINLEN", "MAXLEN", "MINDIA", "MAXDIA"});
  LoadLimits limits;
  ReadLimit(load, "MINLEN", limits.minLen);
  ReadLimit(load, "MAXLEN", limits.maxLen);
  ReadLimit(load, "MINDIA", limits.minDia);
  ReadLimit(load, "MAXDIA", limits.maxDia);
  return limits;
}

int AuditLoad(tablestore::TableStore& store, const LoadKey& key, platform::Ui& ui,
              std::string& errorText) {
  const TextRow load = ReadLoadRow(store, key, {"LLR", "ST"});
  const std::string llr = load.Has("LLR") ? load.Get("LLR") : key.llr;
  const Findings findings =
      CheckLoad(ReadLoadLimits(store, key), load.Get("ST") == "3P", ReadLiveLogs(store, key));
  const Journal journal = [&store](const std::string& message) {
    store.LogProgramMessage(message);
  };
  return FinishLoadAudit(findings, llr, ui, journal, errorText);
}

int FinalizeLoad(tablestore::TableStore& store, const LoadKey& key, platform::Ui& ui,
                 const AuditReportWriter& writeAuditReport) {
  std::string errorText;
  const int audit = AuditLoad(store, key, ui, errorText);
  FinalizeHooks hooks = StoreHooks(store);
  hooks.writeAuditReport = writeAuditReport;
  return FinalizeAfterAudit(audit, errorText, ui, hooks);
}

int UnfinalizeLoad(tablestore::TableStore& store, platform::Ui& ui) {
  return UnfinalizeLoad(ui, StoreHooks(store));
}

HeaderAudit AuditLoadHeader(tablestore::TableStore& store, const platform::Clock& clock) {
  const std::vector<TextRow> rows =
      ReadRows(store, "Load", "", "", SplitList(kHeaderAuditColumns));
  return AuditHeader(rows.empty() ? TextRow() : rows.front(), Today(clock));
}

}  // namespace sampling
