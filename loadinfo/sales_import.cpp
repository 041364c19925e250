#include "loadinfo/sales_import.h"

#include <cstdio>
#include <optional>
#include <utility>

#include "app/application.h"
#include "grid/cell_grid.h"
#include "platform/file_system.h"
#include "platform/folders.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "sampling/store_rows.h"
#include "tablestore/import_reader.h"
#include "tablestore/slot_guard.h"
#include "tablestore/table_store.h"

namespace loadinfo {
namespace {

// The pre-check reads no more than the import itself accepts.
constexpr size_t kMaxSalesBytes = 32u << 20;

// The columns the auto-fill copies, and how each is shown.
enum class Shown { kText, kFactor, kLimit };
constexpr std::pair<const char*, Shown> kFillColumns[] = {
    {"CONTRACT", Shown::kText},     {"PURCH", Shown::kText},        {"LOCATION", Shown::kText},
    {"REGION", Shown::kText},       {"FOREST", Shown::kText},       {"DISTRICT", Shown::kText},
    {"BRAND", Shown::kText},        {"REM", Shown::kText},          {"SG", Shown::kText},
    {"ST", Shown::kText},           {"MEASSYS", Shown::kText},      {"SCALESYS", Shown::kText},
    {"CFSAWCU", Shown::kFactor},    {"CFNONSAWCU", Shown::kFactor}, {"CFSAWBD", Shown::kFactor},
    {"CFNONSAWBD", Shown::kFactor}, {"MINLEN", Shown::kLimit},      {"MAXLEN", Shown::kLimit},
    {"MINDIA", Shown::kLimit},      {"MAXDIA", Shown::kLimit},      {"STATUS", Shown::kText},
    {"BIAUNIT", Shown::kText},      {"DEST", Shown::kText},
};

std::string Formatted(const char* format, float value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, static_cast<double>(value));
  return buffer;
}

bool IsSixDigitName(std::string_view name) {
  if (name.size() != 6) return false;
  for (char c : name) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// What the description line of a sale list says about its SALE column.
enum class SaleColumn { kListed, kMissing, kUnknown };

// Reads the description line of the SaleData section, as the import will.
// kUnknown when the file cannot be read or has no such section: the import
// itself then refuses it with its own reason.
SaleColumn DescribedSaleColumn(const platform::FileSystem& fs, const std::string& path) {
  std::string bytes;
  if (fs.ReadFile(path, kMaxSalesBytes, &bytes) != platform::FileResult::kOk) {
    return SaleColumn::kUnknown;
  }
  tablestore::ImportLines lines(bytes);
  std::string line;
  bool found = false;
  while (!found && lines.Next(line)) {
    found = line.starts_with('[') && line.find(kSaleTable) != std::string::npos;
  }
  if (!found || !lines.Next(line)) return SaleColumn::kUnknown;
  std::string desc = tablestore::CutDescription(line);
  const size_t open = desc.find('[');
  if (open == std::string::npos || desc.back() != ']') return SaleColumn::kUnknown;
  std::string rest = desc.substr(open + 1, desc.size() - open - 2);
  std::string column;
  while (!rest.empty()) {
    tablestore::TableStore::NextToken(rest, column, ",");
    std::string name;
    tablestore::TableStore::NextToken(column, name, ":");
    if (platform::EqualsIgnoringAsciiCase(name, "SALE")) return SaleColumn::kListed;
  }
  return SaleColumn::kMissing;
}

// The text the auto-fill gives a field from `column` of `row`; nullopt when
// the sale list has no such column.
std::optional<std::string> SaleValue(const tablestore::TableStore& store, int slot, int row,
                                     const char* column, Shown shown) {
  const int col = store.ColumnIndex(slot, column);
  if (col < 0) return std::nullopt;
  std::string value;
  if (shown == Shown::kText) {
    store.GetText(slot, row, col, value);
    return value;
  }
  float number = 0;
  store.GetFloat(slot, row, col, number);
  return Formatted(shown == Shown::kFactor ? "%5.2f" : "%4.1f", number);
}

}  // namespace

std::string TrimBlanks(std::string text) {
  std::string token;
  tablestore::TableStore::NextToken(text, token, "");  // no separator: all of it, trimmed
  return token;
}

SalesImport::SalesImport(app::Application& app, platform::Ui& ui) : app_(app), ui_(ui) {}

bool SalesImport::LogsRecorded(const std::string& sale, const std::string& llr) const {
  tablestore::TableStore& store = *app_.store();
  sampling::ScopedSelect logs(store, "Log", sampling::LoadKey{sale, llr}.Criteria());
  if (logs.ok()) return logs.RowCount() > 0;
  return logs.TableSlot() >= 0 && store.RowCount(logs.TableSlot()) > 0;
}

void SalesImport::Show(const std::string& text, bool error) const {
  if (error) {
    ui_.ShowMessage({text, "Error", platform::Icon::kStop});
  } else {
    ui_.ShowMessage({text, "Warning", platform::Icon::kExclamation});
  }
}

int SalesImport::Import(grid::CellGrid& grid, int saleRow, const std::string& sale,
                        const std::string& llr) {
  if (app_.fileType() != app::FileType::kNonScale && LogsRecorded(sale, llr)) return kLogsRecorded;
  const std::vector<std::string> folders = app_.folders.SaleListFolders();
  const std::string path = platform::FindFile(app_.fs, folders, kSalesFileName);
  if (!app_.fs.Exists(path)) {
    Show("sales.csv not found in " + platform::FolderList(folders), false);
    return kNoSaleList;
  }
  if (saleRow < 0) {
    Show("There is a sales.csv in Varnolde's directory, but SALE is not turned on", false);
    return kNoSaleList;
  }
  if (ImportFile(path) != kSaleListAttached) return kNoSaleList;
  grid.SetChoices(saleRow, kValueColumn, names_);
  return kSaleListAttached;
}

int SalesImport::ImportFile(const std::string& path) {
  tablestore::TableStore& store = *app_.store();
  // A list without SALE would otherwise create SaleData with its columns,
  // and the import refuses every later, corrected list of another structure.
  if (DescribedSaleColumn(app_.fs, path) == SaleColumn::kMissing) {
    Show("There was a problem with the format of sales.csv", true);
    return kNoSaleList;
  }
  if (store.ImportView(1, path, kSaleTable, 2) != tablestore::kOk) {
    Show("There was a problem importing sales.csv", true);
    return kNoSaleList;
  }
  int slot = store.OpenAView(kSaleTable, false);
  if (slot < 0 && store.Commit() == tablestore::kOk) slot = store.OpenAView(kSaleTable, false);
  if (slot < 0) {
    Show("There was a problem opening the SaleData table", true);
    return kNoSaleList;
  }
  tablestore::SlotGuard table(store, slot);
  const int saleColumn = store.ColumnIndex(slot, "SALE");
  if (saleColumn < 0) {
    Show("There was a problem with the format of sales.csv", true);
    return kNoSaleList;
  }
  const int rows = store.RowCount(slot);
  if (rows <= 0) {
    Show("Your sales.csv file has no records", true);
    return kNoSaleList;
  }
  std::vector<std::string> names;
  for (int row = 0; row < rows; ++row) {
    std::string name;
    if (store.GetText(slot, row, saleColumn, name) == tablestore::kOk && !name.empty()) {
      names.push_back(std::move(name));
    }
  }
  if (names.empty()) {
    Show("Your sales.csv file contains no sale names", true);
    return kNoSaleList;
  }
  names_ = std::move(names);
  return kSaleListAttached;
}

int SalesImport::FindSale(int slot, std::string_view sale) const {
  tablestore::TableStore& store = *app_.store();
  const int saleColumn = store.ColumnIndex(slot, "SALE");
  const std::string wanted = TrimBlanks(std::string(sale));
  const int rows = store.RowCount(slot);
  for (int row = 0; saleColumn >= 0 && row < rows; ++row) {
    std::string name;
    store.GetText(slot, row, saleColumn, name);
    if (platform::EqualsIgnoringAsciiCase(TrimBlanks(name), wanted)) return row;
  }
  return -1;
}

// The sale is looked up row by row rather than through a criteria string: a
// sale name may hold a "," (written "^" in the file), which a criteria string
// cannot carry.
int SalesImport::Fill(grid::CellGrid& grid, const std::string& sale,
                      const std::string& scaleFileName) {
  tablestore::TableStore& store = *app_.store();
  tablestore::TableLease table(store, kSaleTable);
  const int row = table.slot() < 0 ? -1 : FindSale(table.slot(), sale);
  if (row < 0) return -1;
  for (int r = 1; r < grid.RowCount(); ++r) {
    const std::string& field = grid.Text(r, kFieldColumn);
    if (platform::EqualsIgnoringAsciiCase(field, "LLR")) {
      if (grid.Text(r, kValueColumn).empty() && IsSixDigitName(scaleFileName)) {
        grid.SetText(r, kValueColumn, scaleFileName);
      }
      continue;
    }
    for (const auto& [column, shown] : kFillColumns) {
      if (!platform::EqualsIgnoringAsciiCase(field, column)) continue;
      // A check scale samples every log, whatever the sale's sample type.
      std::optional<std::string> value = app_.IsCheckScale() && std::string_view(column) == "ST"
                                             ? std::optional<std::string>("100")
                                             : SaleValue(store, table.slot(), row, column, shown);
      if (value) grid.SetText(r, kValueColumn, std::move(*value));
      break;
    }
  }
  return 0;
}

}  // namespace loadinfo
