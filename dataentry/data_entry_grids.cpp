#include "dataentry/data_entry_grids.h"

#include <algorithm>

#include "app/application.h"
#include "dataentry/grid_row.h"
#include "dataentry/log_edit_rules.h"
#include "grid/grid_binding.h"
#include "platform/ui.h"
#include "sampling/cell_text.h"
#include "sampling/load_checks.h"
#include "sampling/log_tables.h"
#include "scaling/data_model.h"
#include "scaling/defect_methods.h"
#include "tablestore/table_store.h"

namespace dataentry {

using app::GridMode;
using platform::Icon;
using sampling::CellInt;
namespace col = scaling::col;

namespace {

constexpr char kLogEntryView[] = "LogEntry";
constexpr char kSegEntryView[] = "DSegEntry";
constexpr char kDefEntryView[] = "DDefEntry";
constexpr char kSegReadOnly[] = ",SALE,LLR,LOG,SEG,LN,SD,LD,GCV,NCV,GBV,NBV,";
constexpr char kDefKeys[] = ",SALE,LLR,LOG,";
constexpr char kLogsUnwritten[] = "The logs could not be written to the file.";

void HideColumns(grid::CellGrid& grid, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    const int c = grid.ColumnIndex(name);
    if (c >= 0) grid.SetColumnWidth(c, 0);
  }
}

}  // namespace

int Landing(const grid::CellGrid& grid, const std::string& field) {
  const int named = grid.ColumnIndex(field);
  if (named >= 0 && !grid.IsColumnHidden(named)) return named;
  for (int c = 0; c < grid.ColumnCount(); ++c) {
    if (!grid.IsColumnHidden(c)) return c;
  }
  return 0;
}

// Forwards one grid's notifications.
class DataEntryGrids::Listener : public grid::CellGridListener {
 public:
  Listener(DataEntryGrids& grids, grid::CellGrid& grid) : grids_(grids), grid_(grid) {
    grid_.AddListener(this);
  }
  ~Listener() override { grid_.RemoveListener(this); }
  void OnEditEnded(const grid::CellEdit& edit) override { grids_.OnEditEnded(grid_, edit); }
  void OnCurrentRowChanged(int oldRow, int newRow) override {
    grids_.OnRowChanged(grid_, oldRow, newRow);
  }

 private:
  DataEntryGrids& grids_;
  grid::CellGrid& grid_;
};

DataEntryGrids::DataEntryGrids(app::Application& app, const EntryLoad& load)
    : app_(app), load_(load) {}

DataEntryGrids::~DataEntryGrids() {
  logListener_.reset();
  segListener_.reset();
  defListener_.reset();
  if (store_ == nullptr) return;
  for (int* slot : {&segSlot_, &defSlot_, &logSlot_}) ReleaseSlot(slot);
}

// ---- Opening and closing ---------------------------------------------------------

bool DataEntryGrids::Bind(tablestore::TableStore& store) {
  store_ = &store;
  SetMode(GridMode::kLog);
  logBinding_ = std::make_unique<grid::GridBinding>(store, logGrid_, &app_.ui);
  segBinding_ = std::make_unique<grid::GridBinding>(store, segGrid_, &app_.ui);
  defBinding_ = std::make_unique<grid::GridBinding>(store, defGrid_, &app_.ui);
  const std::string list = LogColumnList();
  logSlot_ = store.Select(scaling::table::kLog, list, "", "", kLogEntryView, "");
  // The column information carries the new-row default rules.
  if (logSlot_ < 0 || store.LoadColumnInfo(logSlot_) < 0 ||
      logBinding_->Bind(logSlot_, list) != 0) {
    app_.ui.ShowMessage({"The logs of this file could not be read.", "Error", Icon::kStop});
    return false;
  }
  for (int row = 1; row < logGrid_.RowCount(); ++row) MarkLogRow(row);
  if (logGrid_.ColumnIndex(col::kVoid) < 0) {
    app_.ui.ShowMessage({"The 'VOID' column must be turned on for log records to be deleted.",
                         "Warning!", Icon::kExclamation});
  }
  return true;
}

void DataEntryGrids::Start(LogEditHandler onLogEdit) {
  onLogEdit_ = std::move(onLogEdit);
  logListener_ = std::make_unique<Listener>(*this, logGrid_);
  segListener_ = std::make_unique<Listener>(*this, segGrid_);
  defListener_ = std::make_unique<Listener>(*this, defGrid_);
  if (logGrid_.DataRowCount() > 0) {
    logGrid_.SetCurrentCell(logGrid_.DataRowCount(),
                            Landing(logGrid_, app_.LandingField(GridMode::kLog)));
  }
  open_ = true;
}

bool DataEntryGrids::Close() {
  if (!open_) return true;
  if (!Save()) return false;
  ReleaseDerived();
  ReleaseSlot(&logSlot_);
  SetMode(GridMode::kLog);
  open_ = false;
  return Commit();
}

// The Log table's columns in the design's order, with the columns the screen
// relies on added when the table has them.
std::string DataEntryGrids::LogColumnList() {
  std::string list = ShownColumns(scaling::table::kLog);
  const auto missing = [&](const char* column) {
    return !ListHasColumn(list, column) &&
           sampling::TableHasColumn(*store_, scaling::table::kLog, column);
  };
  for (const char* back : {col::kVoid, col::kRem}) {
    if (missing(back)) list += std::string(list.empty() ? "" : ",") + back;
  }
  for (const char* front : {col::kSkipSeg, col::kOverrideVolume, col::kLLR, col::kSale}) {
    if (missing(front)) list = front + (list.empty() ? "" : "," + list);
  }
  return list;
}

// The columns of `table` the design's order column shows, without those the
// stored table lacks (a DataDictionary may describe more than a file holds).
std::string DataEntryGrids::ShownColumns(const std::string& table) {
  std::string ordered, shown, name;
  if (store_->MakeProjection(ordered, table, load_.orderColumn) < 0) return "";
  while (!ordered.empty()) {
    tablestore::TableStore::NextToken(ordered, name, ",");
    if (name.empty() || !sampling::TableHasColumn(*store_, table, name)) continue;
    shown += (shown.empty() ? "" : ",") + name;
  }
  return shown;
}

// Marks a Log grid row's computed columns read-only (the whole row for a
// deleted log) and gives it the sale and LLR choices of a check-scale file.
void DataEntryGrids::MarkLogRow(int row) {
  logBinding_->MarkReadOnly(row, LogIsVoid(row) ? "" : load_.logReadOnly);
  ShowCountedLog(row);
  if (!load_.checkScale) return;
  const int sale = logGrid_.ColumnIndex(col::kSale), llr = logGrid_.ColumnIndex(col::kLLR);
  if (sale >= 0) logGrid_.SetChoices(row, sale, load_.sales);
  if (llr >= 0) logGrid_.SetChoices(row, llr, load_.llrs);
}

// A counted log (HIT 0) of a 3P load is not measured: its LN, SD and LD stay
// read-only as the draw left them, and show empty where the file keeps the 0
// of a number never typed.
void DataEntryGrids::ShowCountedLog(int row) {
  if (!load_.threeP || LogCell(row, col::kHIT) != "0") return;
  for (const char* column : {col::kLN, col::kSD, col::kLD}) {
    const int c = logGrid_.ColumnIndex(column);
    if (c < 0) continue;
    if (logGrid_.Text(row, c) == "0") logGrid_.SetText(row, c, "");
    logGrid_.SetCellReadOnly(row, c, true);
  }
}

// ---- State ---------------------------------------------------------------------------

GridMode DataEntryGrids::mode() const { return app_.screenMode; }

void DataEntryGrids::SetMode(GridMode mode) { app_.screenMode = mode; }

grid::CellGrid& DataEntryGrids::Grid(GridMode mode) {
  switch (mode) {
    case GridMode::kSegment:
      return segGrid_;
    case GridMode::kDefect:
      return defGrid_;
    case GridMode::kLog:
      break;
  }
  return logGrid_;
}

int DataEntryGrids::CurrentLogRow() const {
  return mode() == GridMode::kLog ? logGrid_.CurrentRow() : currentLogRow_;
}

std::string DataEntryGrids::LogCell(int row, std::string_view column) const {
  return CellOf(logGrid_, row, column);
}

bool DataEntryGrids::LogIsVoid(int row) const { return CellInt(LogCell(row, col::kVoid)) == 1; }

// ---- Switching ---------------------------------------------------------------------------

bool DataEntryGrids::SwitchTo(GridMode target) {
  EndEdits();
  const GridMode from = mode();
  if (from == target) {
    app_.ui.Beep(platform::BeepKind::kSimple);
    return false;
  }
  if (from == GridMode::kDefect && !CanLeaveDefects()) return false;
  if (from == GridMode::kLog) currentLogRow_ = logGrid_.CurrentRow();
  if (target != GridMode::kLog && !CheckCurrentLog()) return false;
  std::string seg = "0";
  if (from == GridMode::kSegment && target == GridMode::kDefect) {
    seg = segGrid_.Text(segGrid_.CurrentRow(), segGrid_.ColumnIndex(col::kSeg));
    if (seg.empty()) seg = "0";
  }
  if (!LeaveShownGrid()) return false;
  bool shown = true;
  if (target == GridMode::kSegment) shown = ShowSegments();
  if (target == GridMode::kDefect) shown = ShowDefects(seg);
  if (!shown) target = GridMode::kLog;
  SetMode(target);
  if (target != GridMode::kLog) return false;
  ShowLogAgain();
  return true;
}

void DataEntryGrids::ReturnToDefects(const std::string& seg) {
  if (LeaveShownGrid() && ShowDefects(seg)) SetMode(GridMode::kDefect);
}

// Segments and defects need a live current log with LN and SD (and LD in
// cubic units).
bool DataEntryGrids::CheckCurrentLog() {
  const auto refuse = [&](const std::string& text, const std::string& caption) {
    app_.ui.ShowMessage({text, caption, Icon::kExclamation});
    return false;
  };
  if (LogIsVoid(currentLogRow_)) {
    return refuse(scaling::kLogDeletedMessage, scaling::kAccessDeniedCaption);
  }
  if (!CurrentLogMeasured()) return refuse("Missing length or diameter.", "Segmentation");
  return true;
}

// The defect grid is checked before it may be left.
bool DataEntryGrids::CanLeaveDefects() {
  std::vector<sampling::DefectValues> records;
  for (int row = 1; row < defGrid_.RowCount(); ++row) {
    records.push_back(sampling::DefectValues::FromRow(GridRow(defGrid_, row)));
  }
  const int logLength = CellInt(LogCell(currentLogRow_, col::kLN));
  return sampling::ValidateDefectGrid(records, logLength, app_.ui) == 0;
}

bool DataEntryGrids::CurrentLogMeasured() {
  if (currentLogRow_ < 1 || currentLogRow_ >= logGrid_.RowCount()) return false;
  const auto value = [&](const char* column) { return CellInt(LogCell(currentLogRow_, column)); };
  return value(col::kLN) >= 1 && value(col::kSD) >= 1 && (!load_.cubic || value(col::kLD) >= 1);
}

// Writes the grid being left back; the Segment and Defect grids are emptied
// and their views released.
bool DataEntryGrids::LeaveShownGrid() {
  if (!WriteBackShown()) return false;
  ReleaseDerived();
  return Commit();
}

bool DataEntryGrids::ShowSegments() {
  const int row = currentLogRow_;
  const sampling::LoadKey key = load_.RowLoad(logGrid_, row);
  const auto value = [&](const char* column) { return CellInt(LogCell(row, column)); };
  const scaling::LogKey logKey{key.sale, key.llr, value(col::kLog), SplitOf(logGrid_, row)};
  // Segments that cannot be written are found missing by the log's check.
  static_cast<void>(scaling::WriteSegmentRows(*store_, logKey, value(col::kP), value(col::kLN),
                                              value(col::kSD), value(col::kLD),
                                              value(col::kSkipSeg) != 0));
  if (!Commit()) return false;
  const std::string criteria = scaling::LogCriteria(key.sale, key.llr, logKey.log, logKey.split);
  if (!BindDerived(*segBinding_, &segSlot_, load_.segTable, criteria, kSegEntryView)) return false;
  for (int r = 1; r < segGrid_.RowCount(); ++r) segBinding_->MarkReadOnly(r, kSegReadOnly);
  HideColumns(segGrid_, {col::kSale, col::kLLR, col::kS});
  if (segGrid_.DataRowCount() > 0)
    segGrid_.SetCurrentCell(1, Landing(segGrid_, app_.LandingField(GridMode::kSegment)));
  return true;
}

bool DataEntryGrids::ShowDefects(const std::string& seg) {
  currentSeg_ = seg;
  const int row = currentLogRow_;
  const sampling::LoadKey key = load_.RowLoad(logGrid_, row);
  const std::string criteria = scaling::SegmentCriteria(
      key.sale, key.llr, CellInt(LogCell(row, col::kLog)), SplitOf(logGrid_, row), CellInt(seg));
  if (!BindDerived(*defBinding_, &defSlot_, load_.defTable, criteria, kDefEntryView)) return false;
  HideColumns(defGrid_, {col::kSale, col::kLLR});
  const int mCol = defGrid_.ColumnIndex(col::kM);
  for (int r = 1; r < defGrid_.RowCount(); ++r) SetDefectMethod(r, CellInt(defGrid_.Text(r, mCol)));
  if (defGrid_.DataRowCount() > 0) {
    defGrid_.SetCurrentCell(defGrid_.DataRowCount(),
                            Landing(defGrid_, app_.LandingField(GridMode::kDefect)));
  }
  return true;
}

// The current log's row is read again (segmentation may have changed it).
void DataEntryGrids::ShowLogAgain() {
  if (currentLogRow_ < 1 || currentLogRow_ >= logGrid_.RowCount()) return;
  // A row that cannot be read again keeps what the grid showed; the next
  // write-back stores it as shown.
  static_cast<void>(logBinding_->RefreshRow(currentLogRow_));
  MarkLogRow(currentLogRow_);
  logGrid_.SetCurrentCell(currentLogRow_, std::max(0, logGrid_.CurrentColumn()));
}

bool DataEntryGrids::BindDerived(grid::GridBinding& binding, int* slot, const std::string& table,
                                 const std::string& criteria, const std::string& viewName) {
  const std::string list = ShownColumns(table);
  *slot = store_->Select(table, "", criteria, "", viewName, "");
  if (*slot >= 0 && store_->LoadColumnInfo(*slot) >= 0 && binding.Bind(*slot, list) == 0) {
    return true;
  }
  ReleaseSlot(slot);
  app_.ui.ShowMessage({"The rows of table " + table + " could not be read.", "Error", Icon::kStop});
  return false;
}

// Empties the shown Segment or Defect grid and releases its view.
void DataEntryGrids::ReleaseDerived() {
  if (mode() == GridMode::kLog) return;
  ReleaseSlot(mode() == GridMode::kSegment ? &segSlot_ : &defSlot_);
  Shown().ClearRows();
}

// The grids' slots are derived views: releasing one writes nothing, so a
// failure (an already empty slot) leaves nothing to report.
void DataEntryGrids::ReleaseSlot(int* slot) {
  if (*slot >= 0) static_cast<void>(store_->ReleaseView(*slot));
  *slot = -1;
}

// ---- Writing back ---------------------------------------------------------------------------

bool DataEntryGrids::WriteBackShown() {
  if (mode() == GridMode::kLog) return WriteBackLog();
  grid::GridBinding& binding = mode() == GridMode::kSegment ? *segBinding_ : *defBinding_;
  const int row = currentLogRow_;
  if (binding.WriteBackReplace(LogCell(row, col::kLog), SplitOf(logGrid_, row)) >= 0) return true;
  const std::string& table = mode() == GridMode::kSegment ? load_.segTable : load_.defTable;
  app_.ui.ShowMessage(
      {"The rows of table " + table + " could not be written to the file.", "Error", Icon::kStop});
  return false;
}

bool DataEntryGrids::WriteBackLog() {
  if (logBinding_->WriteBackInStep() >= 0) return true;
  app_.ui.ShowMessage({kLogsUnwritten, "Error", Icon::kStop});
  return false;
}

bool DataEntryGrids::Save() {
  EndEdits();
  if (mode() != GridMode::kLog && !WriteBackShown()) return false;
  return WriteBackLog() && Commit();
}

// A finished log is on disk before the scaler goes on: its row is written
// back on its own and committed. A new row that no edit changed holds only
// its defaults and is no log yet: it is left for Save.
bool DataEntryGrids::StoreLogRow(int row) {
  if (!open_ || row < 1 || row >= logGrid_.RowCount()) return true;
  if (logGrid_.RowInView(row).empty() && !logGrid_.RowEdited(row)) return true;
  const int written = logBinding_->WriteBackRowInStep(row);
  if (written < 0) {
    app_.ui.ShowMessage({kLogsUnwritten, "Error", Icon::kStop});
    return false;
  }
  return written == 0 || Commit();
}

// An edit that changed a row is stored at once: a log row on its own, the
// Segment and Defect grids (a few rows of one log) whole. A failure has been
// shown; the rows stay in the grid for the next write.
void DataEntryGrids::StoreEditedRow(grid::CellGrid& grid, int row) {
  if (&grid != &Shown()) return;
  if (mode() == GridMode::kLog) {
    static_cast<void>(StoreLogRow(row));
  } else if (WriteBackShown()) {
    static_cast<void>(Commit());
  }
}

bool DataEntryGrids::Commit() {
  if (store_->Commit() == 0) return true;
  app_.ui.ShowMessage(
      {"The file could not be saved:\n" + store_->LastError(), "Error", Icon::kStop});
  return false;
}

void DataEntryGrids::RefillLogGrid() {
  const int row = logGrid_.CurrentRow(), column = logGrid_.CurrentColumn();
  // A Log table that cannot be read again leaves the rows as shown.
  static_cast<void>(logBinding_->Fill());
  for (int r = 1; r < logGrid_.RowCount(); ++r) MarkLogRow(r);
  if (row >= 1 && row < logGrid_.RowCount()) logGrid_.SetCurrentCell(row, std::max(0, column));
}

void DataEntryGrids::EndEdits() {
  for (grid::CellGrid* grid : {&logGrid_, &segGrid_, &defGrid_}) {
    if (grid->IsEditing()) grid->CommitEdit(grid->EditText());
  }
}

// ---- Notifications ----------------------------------------------------------------------------

void DataEntryGrids::OnEditEnded(grid::CellGrid& grid, const grid::CellEdit& edit) {
  const bool log = &grid == &logGrid_;
  if (log && onLogEdit_) onLogEdit_(edit);
  // A KPI entered again draws again: the log row is compared with the file
  // even when the edited text stayed as it was.
  if (log || edit.oldText != edit.newText) StoreEditedRow(grid, edit.row);
}

void DataEntryGrids::OnRowChanged(grid::CellGrid& grid, int oldRow, int newRow) {
  // The row left is stored before anything is done on the next one; a
  // failure has been shown and the row waits in the grid.
  if (&grid == &logGrid_) static_cast<void>(StoreLogRow(oldRow));
  if (&grid != &defGrid_ || newRow < 1) return;
  status_ =
      scaling::DefectMethodName(CellInt(defGrid_.Text(newRow, defGrid_.ColumnIndex(col::kM))));
}

// ---- Rows
// -----------------------------------------------------------------------------------------

void DataEntryGrids::AppendLogRow() {
  const int row = logBinding_->AppendRow();
  FillNewKeys(logGrid_, row);
  MarkLogRow(row);
  logGrid_.SetCurrentCell(row, Landing(logGrid_, app_.LandingField(GridMode::kLog)));
}

void DataEntryGrids::AppendDefectRow() {
  const int row = defBinding_->AppendRow();
  FillNewKeys(defGrid_, row);
  defGrid_.SetCurrentCell(row, Landing(defGrid_, app_.LandingField(GridMode::kDefect)));
  status_ = scaling::DefectMethodName(CellInt(defGrid_.Text(row, defGrid_.ColumnIndex(col::kM))));
  defBinding_->MarkReadOnly(row, kDefKeys);
}

// A new row belongs to its load (and a defect to its log and segment): keys
// the default rules left empty are filled in, so that the row is found again
// by the selections over SALE, LLR, LOG, S and Seg.
void DataEntryGrids::FillNewKeys(grid::CellGrid& grid, int row) {
  const bool defect = &grid == &defGrid_;
  const sampling::LoadKey key = defect ? load_.RowLoad(logGrid_, currentLogRow_) : load_.header;
  std::vector<std::pair<const char*, std::string>> keys = {{col::kSale, key.sale},
                                                           {col::kLLR, key.llr}};
  if (defect) {
    keys.push_back({col::kLog, LogCell(currentLogRow_, col::kLog)});
    keys.push_back({col::kS, LogCell(currentLogRow_, col::kS)});
    keys.push_back({col::kSeg, currentSeg_});
  }
  for (const auto& [name, value] : keys) {
    const int c = grid.ColumnIndex(name);
    if (c >= 0 && grid.Text(row, c).empty()) grid.SetText(row, c, value);
  }
}

void DataEntryGrids::SetDefectMethod(int row, int method) {
  ApplyDefectMethod(defGrid_, row, method);
  status_ = scaling::DefectMethodName(method);
}

void DataEntryGrids::DeleteDefectRow() {
  const int row = defGrid_.CurrentRow();
  if (row >= 1 && defGrid_.DeleteRow(row)) StoreEditedRow(defGrid_, row);
}

void DataEntryGrids::LockLogRow(int row) { logBinding_->MarkReadOnly(row, ""); }

// The line above the Segment and Defect grids: whose segments or defects they
// hold. The Defect grid entered from the Log grid lists the whole-log
// (segment 0) defects only, so a defect typed there for another segment
// leaves the list; the line says which list the scaler is looking at.
std::string DataEntryGrids::Owner() const {
  if (mode() == GridMode::kLog || currentLogRow_ < 1) return "";
  std::string log = "Log " + LogCell(currentLogRow_, col::kLog);
  const std::string split = LogCell(currentLogRow_, col::kS);
  if (!split.empty() && split != "1") log += ", split " + split;
  if (mode() == GridMode::kSegment) return log + ": segments";
  if (currentSeg_.empty() || currentSeg_ == "0") return log + ": whole-log defects";
  return log + ", segment " + currentSeg_;
}

}  // namespace dataentry
