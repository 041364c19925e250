#include "dataentry/log_edit_rules.h"

#include <span>
#include <utility>

#include "dataentry/grid_row.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "sampling/butt_log.h"
#include "sampling/cell_text.h"
#include "sampling/log_tables.h"
#include "scaling/data_model.h"
#include "scaling/defect_methods.h"
#include "tablestore/table_store.h"

namespace dataentry {

using platform::EqualsIgnoringAsciiCase;
using sampling::CellInt;
namespace col = scaling::col;

namespace {

constexpr uint32_t kRed = 0x0000FF;  // 0x00BBGGRR

// A log row whose draw is stored the moment HIT is written: before the
// "SAMPLE LOG!" box waits for the scaler, so that a crash cannot redraw it.
class DrawnRow : public GridRow {
 public:
  DrawnRow(grid::CellGrid& grid, int row, std::function<void()> drawn)
      : GridRow(grid, row), drawn_(std::move(drawn)) {}
  void Set(std::string_view column, std::string_view text) override {
    GridRow::Set(column, text);
    if (EqualsIgnoringAsciiCase(column, col::kHIT)) drawn_();
  }

 private:
  std::function<void()> drawn_;
};

bool IsOneOf(std::string_view name, std::initializer_list<const char*> names) {
  for (const char* n : names) {
    if (EqualsIgnoringAsciiCase(name, n)) return true;
  }
  return false;
}

// The columns each defect method leaves read-only.
std::span<const char* const> LockedByMethod(int method) {
  static constexpr const char* kLengthCut[] = {"M1", "M2", "M3", "M4", "PCT", "SALE", "LLR", "LOG"};
  static constexpr const char* kDiameterCut[] = {"M2", "M3", "M4", "SALE", "LLR", "LOG"};
  static constexpr const char* kPercent[] = {"M1", "M2", "M3", "M4", "SALE", "LLR", "LOG"};
  static constexpr const char* kKeys[] = {"SALE", "LLR", "LOG"};
  switch (method) {
    case scaling::kLengthCut:
      return kLengthCut;
    case scaling::kDiameterCut:
      return kDiameterCut;
    case scaling::kPercentDeduction:
      return kPercent;
    default:
      return kKeys;
  }
}

}  // namespace

void OrderDiameters(grid::CellGrid& logGrid, int row) {
  const int sdCol = logGrid.ColumnIndex(col::kSD), ldCol = logGrid.ColumnIndex(col::kLD);
  const int sd = CellInt(logGrid.Text(row, sdCol)), ld = CellInt(logGrid.Text(row, ldCol));
  if (sd <= 0 || ld <= 0 || ld >= sd) return;
  const std::string sdText = logGrid.Text(row, sdCol);
  logGrid.SetText(row, sdCol, logGrid.Text(row, ldCol));
  logGrid.SetText(row, ldCol, sdText);
}

bool IsMeasurement(std::string_view column) {
  return IsOneOf(column, {col::kLN, col::kSD, col::kLD});
}

void ApplyDefectMethod(grid::CellGrid& defGrid, int row, int method) {
  if (row < 1) return;
  for (int c = 0; c < defGrid.ColumnCount(); ++c) defGrid.SetCellReadOnly(row, c, false);
  for (const char* name : LockedByMethod(method)) {
    const int c = defGrid.ColumnIndex(name);
    if (c >= 0) defGrid.SetCellReadOnly(row, c, true);
  }
}

LogEditRules::LogEditRules(grid::CellGrid& logGrid, platform::Ui& ui, const EntryLoad& load,
                           std::function<void(int row)> storeRow)
    : grid_(logGrid), ui_(ui), load_(load), storeRow_(std::move(storeRow)) {}

void LogEditRules::Open(tablestore::TableStore& store, const platform::Clock& clock) {
  store_ = &store;
  if (load_.threeP) selector_ = sampling::SampleSelector::LoadKZ(store, clock);
}

void LogEditRules::OnLogEdit(const grid::CellEdit& edit) {
  const std::string name = grid_.ColumnName(edit.column);
  const int row = edit.row;
  const bool changed = edit.oldText != edit.newText;
  if (EqualsIgnoringAsciiCase(name, col::kLog) && changed)
    RenumberLog(row, edit.oldText, edit.newText);
  if (IsOneOf(name, {col::kSD, col::kLD})) OrderDiameters(grid_, row);
  if (load_.threeP && EqualsIgnoringAsciiCase(name, col::kKPI)) RunSampleSelection(row);
  const bool measurement = IsMeasurement(name);
  if (measurement && changed && grid_.ColumnIndex(col::kSkipSeg) >= 0) {
    grid_.SetText(row, grid_.ColumnIndex(col::kSkipSeg), "0");
  }
  if (EqualsIgnoringAsciiCase(name, col::kB) && IsOneOf(edit.newText, {"b", "y"})) RunTaper(row);
  if (measurement) AskMidpoint(row);
}

bool LogEditRules::TakePostedDown() { return std::exchange(postedDown_, false); }

void LogEditRules::RunSampleSelection(int row) {
  DrawnRow cells(grid_, row, [this, row] { storeRow_(row); });
  sampling::SampleResult result;
  if (selector_) {
    result = selector_->SelectSample(cells, col::kKPI, load_.hitWindowMs, ui_);
  } else {
    result.code = sampling::kSampleColumnsMissing;
  }
  if (sampling::ShowSelectionError(result.code, ui_)) cells.Set(col::kKPI, "");
  if (!result.drawn) return;
  for (const char* column : {col::kLN, col::kSD, col::kLD}) {
    const int c = grid_.ColumnIndex(column);
    if (c >= 0) grid_.SetCellReadOnly(row, c, result.lockMeasurements);
  }
  if (result.lockMeasurements) postedDown_ = true;
}

// A log's segments and defects follow it to its new number.
void LogEditRules::RenumberLog(int row, const std::string& oldLog, const std::string& newLog) {
  const sampling::LoadKey key = load_.RowLoad(grid_, row);
  std::string criteria = key.Criteria() + ",LOG=" + std::to_string(CellInt(oldLog));
  if (grid_.ColumnIndex(col::kS) >= 0) criteria += ",S=" + CellOf(grid_, row, col::kS);
  bool moved = true;
  for (const std::string& table : {load_.segTable, load_.defTable}) {
    if (store_->TableExists(table) < 0) continue;
    const sampling::ScopedSelect rows(*store_, table, criteria);
    const int logCol = store_->ColumnIndex(rows.slot(), col::kLog);
    // From the last row up: a row that leaves the selection moves none of
    // those still to do.
    for (int r = rows.RowCount() - 1; r >= 0; --r) {
      moved = store_->SetText(rows.slot(), r, logCol, newLog) == 0 && moved;
    }
  }
  if (moved) return;
  ui_.ShowMessage({"The segments and defects of log " + oldLog +
                       " could not all be given the number " + newLog + ".",
                   "Error", platform::Icon::kStop});
}

void LogEditRules::RunTaper(int row) {
  GridRow cells(grid_, row);
  const sampling::StoreTaperTable tapers(*store_);
  const bool hasTable = store_->TableExists(scaling::table::kTapers) >= 0;
  const sampling::TaperPlace place =
      load_.checkScale ? sampling::ReadTaperPlace(*store_, load_.RowLoad(grid_, row))
                       : load_.taperPlace;
  if (sampling::LdFromTaper(cells, place, hasTable ? &tapers : nullptr, ui_) != 0) return;
  for (const char* column : {col::kB, col::kLD, col::kRem}) {
    const int c = grid_.ColumnIndex(column);
    if (c >= 0) grid_.SetColour(row, c, kRed);
  }
}

// The butt-log aids ask for the midpoint diameter once a log's
// measurements make it a butt log.
void LogEditRules::AskMidpoint(int row) {
  GridRow cells(grid_, row);
  sampling::StoreSegmentRows segments(*store_, cells);
  // The answer is in the row (REM) and the segment rows already; nothing
  // else depends on which way the scaler went.
  static_cast<void>(sampling::AskButtMidpoint(cells, segments, ui_));
}

}  // namespace dataentry
