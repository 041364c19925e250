#include "reports/report_names.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <vector>

#include "reports/report_pdf.h"
#include "reports/report_run.h"
#include "tablestore/settings.h"
#include "tablestore/slot_guard.h"

namespace reports {
namespace {

// Globals block of the reports' stamps; the key is SALE + "|" + LLR.
constexpr char kStampBlock[] = "Reports";

std::string StampKey(const std::string& sale, const std::string& llr) { return sale + "|" + llr; }

std::string LoadLabel(const LoadName& load) {
  return "SALE " + load.first + " LLR " + load.second;
}

// FNV-1a, 64 bits: enough to tell a changed load from an unchanged one.
void Mix(uint64_t& hash, std::string_view bytes) {
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
}

// Mixes every value of the rows of `table` that belong to the load.
void MixTable(tablestore::TableStore& store, const char* table, const std::string& sale,
              const std::string& llr, uint64_t& hash) {
  const tablestore::TableLease lease(store, table);
  const int slot = lease.slot();
  if (slot < 0) return;
  const int saleCol = store.ColumnIndex(slot, "SALE");
  const int llrCol = store.ColumnIndex(slot, "LLR");
  if (saleCol < 0 || llrCol < 0) return;
  // The volumes follow from the measurements, and every volume pass (the
  // reports, the totals) stores them again: they take no part.
  std::vector<int> measured;
  for (int col = 0; col < store.ColumnCount(slot); ++col) {
    const std::string name = store.ColumnName(slot, col);
    if (name != "GCV" && name != "NCV" && name != "GBV" && name != "NBV") measured.push_back(col);
  }
  std::string value;
  for (int row = 0; row < store.RowCount(slot); ++row) {
    store.GetText(slot, row, saleCol, value);
    if (value != sale) continue;
    store.GetText(slot, row, llrCol, value);
    if (value != llr) continue;
    Mix(hash, table);
    for (int col : measured) {
      store.GetText(slot, row, col, value);
      Mix(hash, value);
      Mix(hash, std::string_view("\x1f", 1));  // values "ab","c" differ from "a","bc"
    }
  }
}

}  // namespace

std::string ReportBaseName(std::string_view scaleFilePath, std::string_view fileType,
                           int loadCount, std::string_view llr) {
  std::string base = ScaleFileBase(scaleFilePath);
  if (loadCount >= 2 && fileType != kFileTypeNonScale) base += FileNamePart(llr);
  return base;
}

std::string ReportNameClash(std::string_view scaleFilePath, std::string_view fileType,
                            const std::vector<LoadName>& loads) {
  // A file of non-scale loads writes one summary of all its loads.
  if (fileType == kFileTypeNonScale) return "";
  const int count = static_cast<int>(loads.size());
  std::map<std::string, const LoadName*> owners;
  for (const LoadName& load : loads) {
    const std::string base = ReportBaseName(scaleFilePath, fileType, count, load.second);
    const auto [it, added] = owners.emplace(base, &load);
    if (added) continue;
    return "The loads " + LoadLabel(*it->second) + " and " + LoadLabel(load) +
           " would write their reports to the same files (" + base +
           ".cmp, ...).\nChange the SALE or LLR of one of them and try again.";
  }
  return "";
}

void RemoveStaleReportTemporaries(platform::FileSystem& files, std::string_view scaleFilePath,
                                  std::string_view fileType, const std::vector<LoadName>& loads) {
  const auto clear = [&files](const std::string& path) {
    files.RemoveStaleTemporaries(path);
    files.RemoveStaleTemporaries(PdfPath(path));
  };
  const std::string base = ScaleFileBase(scaleFilePath);
  clear(base + ".audit");
  files.RemoveStaleTemporaries(base + ".csv");
  const int count = static_cast<int>(loads.size());
  for (const LoadName& load : loads) {
    const std::string name = ReportBaseName(scaleFilePath, fileType, count, load.second);
    for (const char* ending : kLoadReportEndings) clear(name + ending);
  }
}

std::string LoadDataStamp(tablestore::TableStore& store, const std::string& sale,
                          const std::string& llr) {
  uint64_t hash = 14695981039346656037ull;
  for (const char* table : {"Load", "Log", "Seg", "DefC", "DefB"}) {
    MixTable(store, table, sale, llr, hash);
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

int StoreReportStamp(tablestore::TableStore& store, const std::string& sale,
                     const std::string& llr) {
  return tablestore::StoreSetting(store, kStampBlock, StampKey(sale, llr),
                                  LoadDataStamp(store, sale, llr));
}

ReportsState ReportsStateOf(tablestore::TableStore& store, const platform::FileSystem& files,
                            std::string_view scaleFilePath, std::string_view fileType,
                            const std::vector<LoadName>& loads, size_t index) {
  const LoadName& load = loads.at(index);
  const std::string base =
      ReportBaseName(scaleFilePath, fileType, static_cast<int>(loads.size()), load.second);
  bool any = false;
  for (const char* ending : kLoadReportEndings) any = any || files.Exists(base + ending);
  if (!any) return ReportsState::kNone;
  std::string stamp;
  // A stamp that cannot be read is empty: the reports then show as out of date.
  (void)tablestore::ReadSetting(store, kStampBlock, StampKey(load.first, load.second), stamp);
  return !stamp.empty() && stamp == LoadDataStamp(store, load.first, load.second)
             ? ReportsState::kCurrent
             : ReportsState::kOutOfDate;
}

}  // namespace reports
