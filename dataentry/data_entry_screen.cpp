// The data entry screen: set-up, switching between the grids, writing the
// grids back and closing. Keys, edits and the record commands are in
// data_entry_commands.cpp.
//
// Invariants:
//  - logSlot_ is the derived view `LogEntry` for as long as the screen is
//    open; segSlot_ / defSlot_ are derived views of Seg and the defect table,
//    held only while their grid is shown, and released before the screen
//    lets go of anything else.
//  - Segment and defect rows are written back by replacing the current log's
//    (or segment's) rows, so their grids never need `_RowInView_`.
#include "dataentry/data_entry_screen.h"

#include "app/application.h"
#include "app/design_screen.h"
#include "dataentry/grid_row.h"
#include "grid/grid_binding.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "sampling/cell_text.h"
#include "sampling/load_checks.h"
#include "sampling/log_tables.h"
#include "scaling/data_model.h"
#include "tablestore/settings.h"
#include "tablestore/table_store.h"

namespace dataentry {

using platform::EqualsIgnoringAsciiCase;
using platform::Icon;
namespace col = scaling::col;

namespace {

constexpr char kLogEntryView[] = "LogEntry";
constexpr char kSegEntryView[] = "DSegEntry";
constexpr char kDefEntryView[] = "DDefEntry";

// Columns the Log grid never lets the scaler type into (upper case, as the
// read-only marker compares them).
constexpr char kLogComputed[] = ",HIT,RND,GCV,NCV,GBV,NBV,VOID,OVERRIDEVOLUME,SKIPSEG,";
constexpr char kSegReadOnly[] = ",SALE,LLR,LOG,SEG,LN,SD,LD,GCV,NCV,GBV,NBV,";
constexpr char kDefReadOnly[] = ",SALE,LLR,LOG,";

// The DataDictionary order column of the Log, Seg and defect grids.
bool Contains(const std::string& list, std::string_view name) {
  return list.find(name) != std::string::npos;
}

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

const char* ButtonCaption(Button button) {
  switch (button) {
    case Button::kLog:
      return "&Log";
    case Button::kSeg:
      return "&Seg";
    case Button::kDef:
      return "&Def";
    case Button::kAdd:
      return "&Add";
    case Button::kDelete:
      return "&X";
    case Button::kSave:
      return "Sav&e";  // S, A and V belong to other buttons
    case Button::kVol:
      return "&Vol";
    case Button::kOk:
      return "&OK";
  }
  return "";
}

const char* DefectMethodName(int method) {
  switch (method) {
    case 1:
      return "Length Cut";
    case 2:
      return "Diameter Cut";
    case 3:
      return "Squared Area";
    case 4:
      return "Percent Deduction";
    case 5:
      return "Ring Deduction";
    default:
      return "Invalid Defect Method Code";
  }
}

// Forwards one grid's notifications to the screen.
class DataEntryScreen::GridListener : public grid::CellGridListener {
 public:
  GridListener(DataEntryScreen& screen, grid::CellGrid& grid) : screen_(screen), grid_(grid) {
    grid_.AddListener(this);
  }
  ~GridListener() override { grid_.RemoveListener(this); }
  void OnEditEnded(const grid::CellEdit& edit) override {
    const bool log = &grid_ == &screen_.logGrid_;
    if (log) screen_.OnLogEdit(edit);
    // A KPI entered again draws again: the log row is compared with the file
    // even when the edited text stayed as it was.
    if (log || edit.oldText != edit.newText) screen_.StoreEditedRow(grid_, edit.row);
  }
  void OnCurrentRowChanged(int oldRow, int newRow) override {
    // The row left is stored before anything is done on the next one.
    if (&grid_ == &screen_.logGrid_) static_cast<void>(screen_.StoreLogRow(oldRow));
    screen_.OnCurrentRowChanged(grid_, newRow);
  }

 private:
  DataEntryScreen& screen_;
  grid::CellGrid& grid_;
};

DataEntryScreen::DataEntryScreen(app::Application& app, DataEntryWindows* windows)
    : app_(app), windows_(windows) {}

DataEntryScreen::~DataEntryScreen() {
  logListener_.reset();
  segListener_.reset();
  defListener_.reset();
  if (store_ == nullptr) return;
  for (int* slot : {&segSlot_, &defSlot_, &logSlot_}) ReleaseSlot(slot);
}

char DataEntryScreen::Mode() const { return app_.screenMode; }

grid::CellGrid& DataEntryScreen::ShownGrid() {
  return Mode() == 'S' ? segGrid_ : Mode() == 'D' ? defGrid_ : logGrid_;
}

Button DataEntryScreen::BoldButton() const {
  return Mode() == 'S' ? Button::kSeg : Mode() == 'D' ? Button::kDef : Button::kLog;
}

bool DataEntryScreen::TakePostedDown() { return std::exchange(postedDown_, false); }

// ---- Set-up -------------------------------------------------------------------

int DataEntryScreen::Open() {
  store_ = app_.store();
  if (store_ == nullptr || !store_->IsOpen()) return tablestore::kNoFile;
  const app::OpenFileState& file = app_.files.state();
  threeP_ = file.scaleSample != "100";
  cubic_ = EqualsIgnoringAsciiCase(file.scaleUnits, "Cubic");
  orderColumn_ = app::DesignOrderColumn(file.scaleSample, file.scaleUnits);
  segTable_ = scaling::table::kSeg;
  defTable_ = cubic_ ? scaling::table::kDefC : scaling::table::kDefB;
  logReadOnly_ = app_.checkScale ? kLogComputed : std::string(kLogComputed) + "SALE,LLR,";
  app_.screenMode = 'L';

  logBinding_ = std::make_unique<grid::GridBinding>(*store_, logGrid_, &app_.ui);
  segBinding_ = std::make_unique<grid::GridBinding>(*store_, segGrid_, &app_.ui);
  defBinding_ = std::make_unique<grid::GridBinding>(*store_, defGrid_, &app_.ui);
  ReadHeaderChoices();
  if (BindLogGrid() != 0) return -1;
  StampScaleDate();
  ReadOptions();
  logListener_ = std::make_unique<GridListener>(*this, logGrid_);
  segListener_ = std::make_unique<GridListener>(*this, segGrid_);
  defListener_ = std::make_unique<GridListener>(*this, defGrid_);
  if (logGrid_.DataRowCount() > 0) {
    logGrid_.SetCurrentCell(logGrid_.DataRowCount(),
                            Landing(logGrid_, app_.LandingField('L')));
  }
  open_ = true;
  return 0;
}

// The Log table's columns in the design's order, with the columns this
// screen relies on added when the table has them.
std::string DataEntryScreen::LogColumnList() {
  std::string list = ShownColumns(scaling::table::kLog);
  const auto has = [&](const char* column) {
    return sampling::TableHasColumn(*store_, scaling::table::kLog, column);
  };
  for (const char* back : {col::kVoid, col::kRem}) {
    if (!Contains(list, back) && has(back)) list += std::string(list.empty() ? "" : ",") + back;
  }
  for (const char* front : {col::kSkipSeg, col::kOverrideVolume, col::kLLR, col::kSale}) {
    if (!Contains(list, front) && has(front)) list = front + (list.empty() ? "" : "," + list);
  }
  return list;
}

int DataEntryScreen::BindLogGrid() {
  const std::string list = LogColumnList();
  logSlot_ = store_->Select(scaling::table::kLog, list, "", "", kLogEntryView, "");
  // The column information carries the new-row default rules.
  if (logSlot_ < 0 || store_->LoadColumnInfo(logSlot_) < 0 ||
      logBinding_->Bind(logSlot_, list) != 0) {
    app_.ui.ShowMessage({"The logs of this file could not be read.", "Error", Icon::kStop});
    return -1;
  }
  for (int row = 1; row < logGrid_.RowCount(); ++row) MarkLogRow(row);
  if (logGrid_.ColumnIndex(col::kVoid) < 0) {
    app_.ui.ShowMessage({"The 'VOID' column must be turned on for log records to be deleted.",
                         "Warning!", Icon::kExclamation});
  }
  return 0;
}

// Marks a Log grid row's computed columns read-only (the whole row for a
// deleted log) and gives it the sale and LLR choices of a check-scale file.
void DataEntryScreen::MarkLogRow(int row) {
  logBinding_->MarkReadOnly(row, LogIsVoid(row) ? "" : logReadOnly_);
  ShowCountedLog(row);
  if (!app_.checkScale) return;
  const int sale = logGrid_.ColumnIndex(col::kSale), llr = logGrid_.ColumnIndex(col::kLLR);
  if (sale >= 0) logGrid_.SetChoices(row, sale, sales_);
  if (llr >= 0) logGrid_.SetChoices(row, llr, llrs_);
}

// A counted log (HIT 0) of a 3P load is not measured: its LN, SD and LD stay
// read-only as the draw left them, and show empty where the file keeps the 0
// of a number never typed.
void DataEntryScreen::ShowCountedLog(int row) {
  if (!threeP_ || LogCell(row, col::kHIT) != "0") return;
  for (const char* column : {col::kLN, col::kSD, col::kLD}) {
    const int c = logGrid_.ColumnIndex(column);
    if (c < 0) continue;
    if (logGrid_.Text(row, c) == "0") logGrid_.SetText(row, c, "");
    logGrid_.SetCellReadOnly(row, c, true);
  }
}

void DataEntryScreen::ReadHeaderChoices() {
  const auto read = [&](const char* column, const char* view, std::vector<std::string>* into) {
    const sampling::ScopedSelect rows(*store_, scaling::table::kLoad, "", "", view);
    const std::vector<std::string> columns{column};
    for (int r = 0; r < rows.RowCount(); ++r) {
      std::string value = rows.ReadRow(r, columns).Get(column);
      if (std::find(into->begin(), into->end(), value) == into->end()) into->push_back(value);
    }
  };
  read(col::kSale, "DHeaderSales", &sales_);
  read(col::kLLR, "DHeaderLLRs", &llrs_);
  if (!sales_.empty()) header_.sale = sales_.front();
  if (!llrs_.empty()) header_.llr = llrs_.front();
  load_.design = app_.files.state().scaleSample;
  load_.scaleSystem = app_.files.state().scaleUnits;
  // A load not (yet) in the file keeps the file's own design and units.
  static_cast<void>(scaling::ReadLoadSettings(*store_, header_.sale, header_.llr, &load_));
}

void DataEntryScreen::StampScaleDate() {
  const int slot = app_.slots().load;
  if (slot < 0 || store_->RowCount(slot) < 1) return;
  const int dateCol = store_->ColumnIndex(slot, col::kSDate);
  const int timeCol = store_->ColumnIndex(slot, col::kSTime);
  if (dateCol < 0 || timeCol < 0) return;
  std::string date, time;
  store_->GetText(slot, 0, dateCol, date);
  store_->GetText(slot, 0, timeCol, time);
  if (!date.empty() || !time.empty()) return;
  const platform::LocalDateTime now = app_.clock.Now();
  char text[32];
  std::snprintf(text, sizeof text, "%d%02d%02d", now.year, now.month, now.day);
  // A Load row that cannot take the stamp keeps its empty scale date, which
  // the header audit reports; there is nothing more to tell here.
  static_cast<void>(store_->SetText(slot, 0, dateCol, text));
  std::snprintf(text, sizeof text, "%02d:%02d", now.hour, now.minute);
  static_cast<void>(store_->SetText(slot, 0, timeCol, text));
}

void DataEntryScreen::ReadOptions() {
  const auto option = [&](const char* key, const char* fallback) {
    std::string value = fallback;
    // An option that cannot be read keeps its fallback.
    static_cast<void>(tablestore::ReadSetting(*store_, tablestore::kBlockOption, key, value));
    return value;
  };
  auditBeforeAppend_ = option(tablestore::kKeyAuditEachLogBeforeAppend, "NO") == tablestore::kYes;
  appendAfterDefect_ = option(tablestore::kKeyAppendAfterDefect, "NO") == tablestore::kYes;
  hitWindowMs_ = sampling::HitWindowMs(option(tablestore::kKeyCloseHitWindow, "-1"));
  if (auditBeforeAppend_) logCheck_ = sampling::ReadLogCheckContext(*store_, header_);
  const auto letter = [&](const char* key) {
    const std::string text = tablestore::KeyLetter(*store_, key);
    return text.empty() ? 0 : std::toupper(static_cast<unsigned char>(text[0]));
  };
  keyLog_ = letter("LogScreen");
  keySeg_ = letter("SegmentScreen");
  keyDef_ = letter("DefectScreen");
  keyVol_ = letter("VolumeCalc");
  keyAdd_ = letter("AddRec");
  if (threeP_) selector_ = sampling::SampleSelector::LoadKZ(*store_, app_.clock);
  taperPlace_ = sampling::ReadTaperPlace(*store_, header_);
}

// ---- Switching ------------------------------------------------------------------

void DataEntryScreen::SwitchTo(char target) {
  EndEdits();
  const char from = Mode();
  if (from == target) {
    app_.ui.Beep(platform::BeepKind::kSimple);
    return;
  }
  if (from == 'D' && !CanLeaveDefects()) return;
  if (from == 'L') currentLogRow_ = logGrid_.CurrentRow();
  if (target != 'L') {
    if (LogIsVoid(currentLogRow_)) {
      Refuse(scaling::kLogDeletedMessage, scaling::kAccessDeniedCaption);
      return;
    }
    if (!CurrentLogMeasured()) {
      Refuse("Missing length or diameter.", "Segmentation");
      return;
    }
  }
  std::string seg = "0";
  if (from == 'S' && target == 'D') {
    seg = segGrid_.Text(segGrid_.CurrentRow(), segGrid_.ColumnIndex(col::kSeg));
    if (seg.empty()) seg = "0";
  }
  if (!LeaveShownGrid()) return;
  bool shown = true;
  if (target == 'S') shown = ShowSegments();
  if (target == 'D') shown = ShowDefects(seg);
  if (!shown) target = 'L';
  app_.screenMode = target;
  if (target != 'L') return;
  if (currentLogRow_ >= 1 && currentLogRow_ < logGrid_.RowCount()) {
    // A row that cannot be re-read keeps what the grid shows.
    static_cast<void>(logBinding_->RefreshRow(currentLogRow_));
    MarkLogRow(currentLogRow_);
    logGrid_.SetCurrentCell(currentLogRow_, std::max(0, logGrid_.CurrentColumn()));
  }
  if (from == 'D' && appendAfterDefect_) AppendLog();
}

// The defect grid is checked before it may be left.
bool DataEntryScreen::CanLeaveDefects() {
  std::vector<sampling::DefectValues> records;
  for (int row = 1; row < defGrid_.RowCount(); ++row) {
    records.push_back(sampling::DefectValues::FromRow(GridRow(defGrid_, row)));
  }
  const int logLength = sampling::CellInt(LogCell(currentLogRow_, col::kLN));
  return sampling::ValidateDefectGrid(records, logLength, app_.ui) == 0;
}

bool DataEntryScreen::CurrentLogMeasured() {
  if (currentLogRow_ < 1 || currentLogRow_ >= logGrid_.RowCount()) return false;
  const auto value = [&](const char* column) {
    return sampling::CellInt(LogCell(currentLogRow_, column));
  };
  return value(col::kLN) >= 1 && value(col::kSD) >= 1 && (!cubic_ || value(col::kLD) >= 1);
}

// Writes the grid being left back; the Segment and Defect grids are emptied
// and their views released.
bool DataEntryScreen::LeaveShownGrid() {
  if (!WriteBackShown()) return false;
  if (Mode() == 'S') ReleaseDerived(segGrid_, &segSlot_);
  if (Mode() == 'D') ReleaseDerived(defGrid_, &defSlot_);
  return CommitStore();
}

bool DataEntryScreen::ShowSegments() {
  const int row = currentLogRow_;
  const sampling::LoadKey key = RowLoad(row);
  scaling::LogKey logKey{key.sale, key.llr, sampling::CellInt(LogCell(row, col::kLog)),
                         logGrid_.ColumnIndex(col::kS) >= 0 ? LogCell(row, col::kS) : "1"};
  const auto value = [&](const char* column) { return sampling::CellInt(LogCell(row, column)); };
  // Segments that cannot be written are found missing by the log's check.
  static_cast<void>(scaling::WriteSegmentRows(*store_, logKey, value(col::kP), value(col::kLN),
                                              value(col::kSD), value(col::kLD),
                                              value(col::kSkipSeg) != 0));
  if (!CommitStore()) return false;
  const std::string criteria = scaling::LogCriteria(key.sale, key.llr, logKey.log, logKey.split);
  if (!BindDerived(*segBinding_, &segSlot_, segTable_, criteria, kSegEntryView)) return false;
  for (int r = 1; r < segGrid_.RowCount(); ++r) segBinding_->MarkReadOnly(r, kSegReadOnly);
  HideColumns(segGrid_, {col::kSale, col::kLLR, col::kS});
  if (segGrid_.DataRowCount() > 0)
    segGrid_.SetCurrentCell(1, Landing(segGrid_, app_.LandingField('S')));
  return true;
}

bool DataEntryScreen::ShowDefects(const std::string& seg) {
  currentSeg_ = seg;
  const int row = currentLogRow_;
  const sampling::LoadKey key = RowLoad(row);
  const std::string split = logGrid_.ColumnIndex(col::kS) >= 0 ? LogCell(row, col::kS) : "1";
  const std::string criteria = scaling::SegmentCriteria(
      key.sale, key.llr, sampling::CellInt(LogCell(row, col::kLog)), split, sampling::CellInt(seg));
  if (!BindDerived(*defBinding_, &defSlot_, defTable_, criteria, kDefEntryView)) return false;
  HideColumns(defGrid_, {col::kSale, col::kLLR});
  const int mCol = defGrid_.ColumnIndex(col::kM);
  for (int r = 1; r < defGrid_.RowCount(); ++r) {
    ApplyDefectMethod(r, sampling::CellInt(defGrid_.Text(r, mCol)));
  }
  if (defGrid_.DataRowCount() > 0) {
    defGrid_.SetCurrentCell(defGrid_.DataRowCount(),
                            Landing(defGrid_, app_.LandingField('D')));
  }
  return true;
}

// The columns of `table` the design's order column shows, without those the
// stored table lacks (a DataDictionary may describe more than a file holds).
std::string DataEntryScreen::ShownColumns(const std::string& table) {
  std::string ordered, shown, name;
  if (store_->MakeProjection(ordered, table, orderColumn_) < 0) return "";
  while (!ordered.empty()) {
    tablestore::TableStore::NextToken(ordered, name, ",");
    if (name.empty() || !sampling::TableHasColumn(*store_, table, name)) continue;
    shown += (shown.empty() ? "" : ",") + name;
  }
  return shown;
}

bool DataEntryScreen::BindDerived(grid::GridBinding& binding, int* slot, const std::string& table,
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

void DataEntryScreen::ReleaseDerived(grid::CellGrid& grid, int* slot) {
  ReleaseSlot(slot);
  grid.ClearRows();
}

// The screen's slots are derived views: releasing one writes nothing, so a
// failure (an already empty slot) leaves nothing to report.
void DataEntryScreen::ReleaseSlot(int* slot) {
  if (*slot >= 0) static_cast<void>(store_->ReleaseView(*slot));
  *slot = -1;
}

// ---- Writing back -----------------------------------------------------------------

bool DataEntryScreen::WriteBackShown() {
  if (Mode() == 'L') return WriteBackLog();
  grid::GridBinding& binding = Mode() == 'S' ? *segBinding_ : *defBinding_;
  const int row = currentLogRow_;
  const std::string split = logGrid_.ColumnIndex(col::kS) >= 0 ? LogCell(row, col::kS) : "1";
  if (binding.WriteBackReplace(LogCell(row, col::kLog), split) >= 0) return true;
  app_.ui.ShowMessage({"The rows of table " + (Mode() == 'S' ? segTable_ : defTable_) +
                           " could not be written to the file.",
                       "Error", Icon::kStop});
  return false;
}

bool DataEntryScreen::WriteBackLog() {
  if (logBinding_->WriteBackInStep() >= 0) return true;
  app_.ui.ShowMessage({"The logs could not be written to the file.", "Error", Icon::kStop});
  return false;
}

// A finished log is on disk before the scaler goes on: its row is written
// back on its own and committed. A new row that no edit changed holds only
// its defaults and is no log yet: it is left for Save.
bool DataEntryScreen::StoreLogRow(int row) {
  if (!open_ || row < 1 || row >= logGrid_.RowCount()) return true;
  if (logGrid_.RowInView(row).empty() && !logGrid_.RowEdited(row)) return true;
  const int written = logBinding_->WriteBackRowInStep(row);
  if (written < 0) {
    app_.ui.ShowMessage({"The logs could not be written to the file.", "Error", Icon::kStop});
    return false;
  }
  return written == 0 || CommitStore();
}

// An edit that changed a row is stored at once: a log row on its own, the
// Segment and Defect grids (a few rows of one log) whole.
void DataEntryScreen::StoreEditedRow(grid::CellGrid& grid, int row) {
  if (&grid != &ShownGrid()) return;
  if (Mode() == 'L') {
    static_cast<void>(StoreLogRow(row));
  } else if (WriteBackShown()) {
    static_cast<void>(CommitStore());
  }
}

bool DataEntryScreen::CommitStore() {
  if (store_->Commit() == 0) return true;
  app_.ui.ShowMessage(
      {"The file could not be saved:\n" + store_->LastError(), "Error", Icon::kStop});
  return false;
}

bool DataEntryScreen::OnSave() {
  EndEdits();
  if (Mode() != 'L' && !WriteBackShown()) return false;
  return WriteBackLog() && CommitStore();
}

bool DataEntryScreen::Close() {
  if (!open_) return true;
  EndEdits();
  if (Mode() != 'L' && !WriteBackShown()) return false;
  if (!WriteBackLog() || !CommitStore()) return false;
  if (Mode() == 'S') ReleaseDerived(segGrid_, &segSlot_);
  if (Mode() == 'D') ReleaseDerived(defGrid_, &defSlot_);
  ReleaseSlot(&logSlot_);
  app_.screenMode = 'L';
  open_ = false;
  return CommitStore();
}

// Re-reads the Log grid after the table changed behind it (the totals store
// volumes), keeping the current cell.
void DataEntryScreen::RefillLogGrid() {
  const int row = logGrid_.CurrentRow(), column = logGrid_.CurrentColumn();
  // A grid that cannot be re-read keeps its rows as they were.
  static_cast<void>(logBinding_->Fill());
  for (int r = 1; r < logGrid_.RowCount(); ++r) MarkLogRow(r);
  if (row >= 1 && row < logGrid_.RowCount()) logGrid_.SetCurrentCell(row, std::max(0, column));
}

// A command acts on what the scaler sees: a cell still being typed into is
// committed first (with the reactions to its edit).
void DataEntryScreen::EndEdits() {
  for (grid::CellGrid* grid : {&logGrid_, &segGrid_, &defGrid_}) {
    if (grid->IsEditing()) grid->CommitEdit(grid->EditText());
  }
}

void DataEntryScreen::Refuse(const std::string& text, const std::string& caption) {
  app_.ui.ShowMessage({text, caption, Icon::kExclamation});
}

// ---- The current log ------------------------------------------------------------------

int DataEntryScreen::CurrentLogRow() const {
  return Mode() == 'L' ? logGrid_.CurrentRow() : currentLogRow_;
}

std::string DataEntryScreen::LogCell(int row, std::string_view column) const {
  return logGrid_.Text(row, logGrid_.ColumnIndex(column));
}

bool DataEntryScreen::LogIsVoid(int row) const {
  return sampling::CellInt(LogCell(row, col::kVoid)) == 1;
}

// The load a Log grid row belongs to: its own SALE and LLR in a check-scale
// file, else the header's.
sampling::LoadKey DataEntryScreen::RowLoad(int row) const {
  sampling::LoadKey key = header_;
  const std::string sale = LogCell(row, col::kSale), llr = LogCell(row, col::kLLR);
  if (!sale.empty() || !llr.empty()) key = {sale, llr};
  return key;
}

scaling::LoadSettings DataEntryScreen::SettingsFor(int row) const {
  scaling::LoadSettings settings = load_;
  const sampling::LoadKey key = RowLoad(row);
  if (app_.checkScale && (key.sale != header_.sale || key.llr != header_.llr)) {
    // A row of a load not in the file is computed with the header's settings.
    static_cast<void>(scaling::ReadLoadSettings(*store_, key.sale, key.llr, &settings));
  }
  return settings;
}

scaling::CurrentLog DataEntryScreen::CurrentLogOf(int row) const {
  const sampling::LoadKey key = RowLoad(row);
  const auto value = [&](const char* column) { return sampling::CellInt(LogCell(row, column)); };
  scaling::CurrentLog log;
  log.key = {key.sale, key.llr, value(col::kLog),
             logGrid_.ColumnIndex(col::kS) >= 0 ? LogCell(row, col::kS) : "1"};
  log.ln = value(col::kLN);
  log.sd = value(col::kSD);
  log.ld = value(col::kLD);
  log.product = value(col::kP);
  log.isVoid = value(col::kVoid) == 1;
  log.overridden = value(col::kOverrideVolume) == 1;
  return log;
}

}  // namespace dataentry
