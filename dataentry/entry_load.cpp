#include "dataentry/entry_load.h"

#include <algorithm>
#include <cstdio>

#include "app/application.h"
#include "app/design_screen.h"
#include "platform/clock.h"
#include "platform/text.h"
#include "sampling/cell_text.h"
#include "sampling/load_checks.h"
#include "sampling/log_tables.h"
#include "sampling/sample_selector.h"
#include "scaling/data_model.h"
#include "tablestore/settings.h"
#include "tablestore/table_store.h"

namespace dataentry {

namespace col = scaling::col;

namespace {

// Columns the Log grid never lets the scaler type into (upper case, as the
// read-only marker compares them).
constexpr char kLogComputed[] = ",HIT,RND,GCV,NCV,GBV,NBV,VOID,OVERRIDEVOLUME,SKIPSEG,";

// The distinct values of `column` over the Load rows of view `view`.
std::vector<std::string> HeaderValues(tablestore::TableStore& store, const char* column,
                                      const char* view) {
  std::vector<std::string> values;
  const sampling::ScopedSelect rows(store, scaling::table::kLoad, "", "", view);
  const std::vector<std::string> columns{column};
  for (int r = 0; r < rows.RowCount(); ++r) {
    std::string value = rows.ReadRow(r, columns).Get(column);
    if (std::find(values.begin(), values.end(), value) == values.end()) values.push_back(value);
  }
  return values;
}

}  // namespace

sampling::LoadKey EntryLoad::RowLoad(const grid::CellGrid& logGrid, int row) const {
  sampling::LoadKey key = header;
  const std::string sale = CellOf(logGrid, row, col::kSale);
  const std::string llr = CellOf(logGrid, row, col::kLLR);
  if (!sale.empty() || !llr.empty()) key = {sale, llr};
  return key;
}

EntryLoad ReadEntryLoad(const app::Application& app, tablestore::TableStore& store) {
  const app::OpenFileState& file = app.files.state();
  EntryLoad load;
  load.threeP = file.scaleSample != "100";
  load.cubic = platform::EqualsIgnoringAsciiCase(file.scaleUnits, "Cubic");
  load.checkScale = app.IsCheckScale();
  load.orderColumn = app::DesignOrderColumn(file.scaleSample, file.scaleUnits);
  load.segTable = scaling::table::kSeg;
  load.defTable = load.cubic ? scaling::table::kDefC : scaling::table::kDefB;
  load.logReadOnly = load.checkScale ? kLogComputed : std::string(kLogComputed) + "SALE,LLR,";
  load.sales = HeaderValues(store, col::kSale, "DHeaderSales");
  load.llrs = HeaderValues(store, col::kLLR, "DHeaderLLRs");
  if (!load.sales.empty()) load.header.sale = load.sales.front();
  if (!load.llrs.empty()) load.header.llr = load.llrs.front();
  load.settings.design = file.scaleSample;
  load.settings.scaleSystem = file.scaleUnits;
  // A load not (yet) in the file keeps the file's own design and units.
  static_cast<void>(
      scaling::ReadLoadSettings(store, load.header.sale, load.header.llr, &load.settings));
  return load;
}

void ReadEntryOptions(tablestore::TableStore& store, EntryLoad& load) {
  const auto option = [&](const char* key, const char* fallback) {
    std::string value = fallback;
    // An option that cannot be read keeps its fallback.
    static_cast<void>(tablestore::ReadSetting(store, tablestore::kBlockOption, key, value));
    return value;
  };
  load.auditBeforeAppend =
      option(tablestore::kKeyAuditEachLogBeforeAppend, "NO") == tablestore::kYes;
  load.appendAfterDefect = option(tablestore::kKeyAppendAfterDefect, "NO") == tablestore::kYes;
  load.hitWindowMs = sampling::HitWindowMs(option(tablestore::kKeyCloseHitWindow, "-1"));
  if (load.auditBeforeAppend) load.logCheck = sampling::ReadLogCheckContext(store, load.header);
  load.taperPlace = sampling::ReadTaperPlace(store, load.header);
}

void StampScaleDate(const app::Application& app, tablestore::TableStore& store) {
  const int slot = app.slots().load;
  if (slot < 0 || store.RowCount(slot) < 1) return;
  const int dateCol = store.ColumnIndex(slot, col::kSDate);
  const int timeCol = store.ColumnIndex(slot, col::kSTime);
  if (dateCol < 0 || timeCol < 0) return;
  std::string date, time;
  store.GetText(slot, 0, dateCol, date);
  store.GetText(slot, 0, timeCol, time);
  if (!date.empty() || !time.empty()) return;
  const platform::LocalDateTime now = app.clock.Now();
  char text[32];
  std::snprintf(text, sizeof text, "%d%02d%02d", now.year, now.month, now.day);
  // A Load row that cannot take the stamp keeps its empty scale date, which
  // the header audit reports; there is nothing more to tell here.
  static_cast<void>(store.SetText(slot, 0, dateCol, text));
  std::snprintf(text, sizeof text, "%02d:%02d", now.hour, now.minute);
  static_cast<void>(store.SetText(slot, 0, timeCol, text));
}

std::string CellOf(const grid::CellGrid& grid, int row, std::string_view column) {
  return grid.Text(row, grid.ColumnIndex(column));
}

std::string SplitOf(const grid::CellGrid& logGrid, int row) {
  return logGrid.ColumnIndex(col::kS) >= 0 ? CellOf(logGrid, row, col::kS) : "1";
}

bool ListHasColumn(std::string_view list, std::string_view name) {
  while (!list.empty()) {
    const size_t comma = list.find(',');
    if (platform::EqualsIgnoringAsciiCase(list.substr(0, comma), name)) return true;
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return false;
}

}  // namespace dataentry
