// The data entry screen's keys, cell edits and record commands: append,
// delete and void, the volume override, the volume and totals windows, the
// taper command and F2.
#include <cctype>
#include <functional>

#include "app/application.h"
#include "dataentry/data_entry_screen.h"
#include "dataentry/grid_row.h"
#include "grid/grid_binding.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "sampling/butt_log.h"
#include "sampling/cell_text.h"
#include "sampling/load_checks.h"
#include "sampling/log_tables.h"
#include "scaling/data_model.h"
#include "tablestore/table_store.h"

namespace dataentry {

using grid::KeyResult;
using platform::Answer;
using platform::Buttons;
using platform::EqualsIgnoringAsciiCase;
using platform::Icon;
using sampling::CellInt;
namespace col = scaling::col;
namespace key = grid::key;

namespace {

constexpr uint32_t kRed = 0x0000FF;  // 0x00BBGGRR
constexpr char kZeroVolume[] = "0 Vol ";

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

}  // namespace

// ---- Keys ----------------------------------------------------------------------

KeyResult DataEntryScreen::OnKeyDown(int code, bool ctrl) {
  if (ctrl && Mode() == 'L') {
    const int letter = code >= 'a' && code <= 'z' ? code - 32 : code;
    switch (letter) {
      case 'A':
        OnNewLog();
        return KeyResult::Swallow();
      case 'S':
        OnSplit();
        return KeyResult::Swallow();
      case 'O':
        OnVolumeOverride();
        return KeyResult::Swallow();
      case 'L':
        OnLoadTotals();
        return KeyResult::Swallow();
      case 'E':
        if (windows_ != nullptr) windows_->ShowQuickEstimate();
        return KeyResult::Swallow();
      case 'B':
        OnTaper();
        return KeyResult::Swallow();
      default:
        return KeyResult::Pass();
    }
  }
  const bool keypad = code >= key::kNumpad0 && code <= key::kNumpad0 + 9;
  if (keypad) code -= key::kNumpad0 - key::kDigit0;
  const KeyResult goOn = keypad ? KeyResult::Replace(code) : KeyResult::Pass();
  if (code == key::kEnter) return KeyResult::Replace(key::kTab);
  if (code == key::kEscape) return KeyResult::Pass();
  if (code == key::kF2) {
    OnSaveAndAudit();
    return KeyResult::Swallow();
  }
  if (code == key::kDown) return OnDown();
  grid::CellGrid& shown = ShownGrid();
  const int column = shown.CurrentColumn();
  if (column >= 0 && shown.ColumnType(column) == 'S') return goOn;
  const std::pair<int, void (DataEntryScreen::*)()> commands[] = {
      {keyLog_, &DataEntryScreen::OnLogButton},
      {keySeg_, &DataEntryScreen::OnSegButton},
      {keyDef_, &DataEntryScreen::OnDefButton},
      {keyVol_, &DataEntryScreen::OnVolume}};
  for (const auto& [letter, command] : commands) {
    if (letter != 0 && code == letter) {
      (this->*command)();
      return KeyResult::Swallow();
    }
  }
  if (keyAdd_ != 0 && code == keyAdd_) {
    OnAdd();
    return KeyResult::Swallow();
  }
  if (code >= 0x40 && code <= 0x176 && code != key::kPeriod) {
    app_.ui.Beep(platform::BeepKind::kSimple);
    return KeyResult::Swallow();
  }
  const int row = shown.CurrentRow();
  if (Mode() == 'D' && row >= 1 && column == defGrid_.ColumnIndex(col::kM) &&
      code >= key::kDigit0 && code <= key::kDigit0 + 9) {
    ApplyDefectMethod(row, code - key::kDigit0);
  }
  return goOn;
}

KeyResult DataEntryScreen::OnDown() {
  grid::CellGrid& shown = ShownGrid();
  const bool last = shown.CurrentRow() == shown.DataRowCount() || shown.DataRowCount() == 0;
  if (Mode() == 'D' && last) {
    AppendDefect();
    return KeyResult::Swallow();
  }
  if (Mode() != 'L' || !last) return KeyResult::Pass();
  if (shown.IsEditing() && shown.CurrentColumn() == shown.ColumnIndex(col::kKPI)) {
    return KeyResult::Replace(key::kTab);
  }
  AppendLog();
  return KeyResult::Swallow();
}

// ---- Cell edits ---------------------------------------------------------------------

void DataEntryScreen::OnLogEdit(const grid::CellEdit& edit) {
  const std::string name = logGrid_.ColumnName(edit.column);
  const int row = edit.row;
  const bool changed = edit.oldText != edit.newText;
  if (EqualsIgnoringAsciiCase(name, col::kLog) && changed)
    RenumberLog(row, edit.oldText, edit.newText);
  if (IsOneOf(name, {col::kSD, col::kLD})) OrderDiameters(row);
  if (threeP_ && EqualsIgnoringAsciiCase(name, col::kKPI)) RunSampleSelection(row);
  const bool measurement = IsOneOf(name, {col::kLN, col::kSD, col::kLD});
  if (measurement && changed && logGrid_.ColumnIndex(col::kSkipSeg) >= 0) {
    logGrid_.SetText(row, logGrid_.ColumnIndex(col::kSkipSeg), "0");
  }
  if (EqualsIgnoringAsciiCase(name, col::kB) && IsOneOf(edit.newText, {"b", "y"})) RunTaper(row);
  if (measurement) {
    GridRow cells(logGrid_, row);
    sampling::StoreSegmentRows segments(*store_, cells);
    // Every outcome has been shown to the scaler and written to the row.
    static_cast<void>(sampling::AskButtMidpoint(cells, segments, app_.ui));
  }
}

// SD never exceeds LD on a row.
void DataEntryScreen::OrderDiameters(int row) {
  const int sdCol = logGrid_.ColumnIndex(col::kSD), ldCol = logGrid_.ColumnIndex(col::kLD);
  const int sd = CellInt(logGrid_.Text(row, sdCol)), ld = CellInt(logGrid_.Text(row, ldCol));
  if (sd <= 0 || ld <= 0 || ld >= sd) return;
  const std::string sdText = logGrid_.Text(row, sdCol);
  logGrid_.SetText(row, sdCol, logGrid_.Text(row, ldCol));
  logGrid_.SetText(row, ldCol, sdText);
}

void DataEntryScreen::RunSampleSelection(int row) {
  DrawnRow cells(logGrid_, row, [this, row] { static_cast<void>(StoreLogRow(row)); });
  sampling::SampleResult result;
  if (selector_) {
    result = selector_->SelectSample(cells, col::kKPI, hitWindowMs_, app_.ui);
  } else {
    result.code = sampling::kSampleColumnsMissing;
  }
  if (sampling::ShowSelectionError(result.code, app_.ui)) cells.Set(col::kKPI, "");
  if (!result.drawn) return;
  for (const char* column : {col::kLN, col::kSD, col::kLD}) {
    const int c = logGrid_.ColumnIndex(column);
    if (c >= 0) logGrid_.SetCellReadOnly(row, c, result.lockMeasurements);
  }
  if (result.lockMeasurements) postedDown_ = true;
}

// A log's segments and defects follow it to its new number.
void DataEntryScreen::RenumberLog(int row, const std::string& oldLog, const std::string& newLog) {
  const sampling::LoadKey key = RowLoad(row);
  std::string criteria = key.Criteria() + ",LOG=" + std::to_string(CellInt(oldLog));
  if (logGrid_.ColumnIndex(col::kS) >= 0) criteria += ",S=" + LogCell(row, col::kS);
  bool moved = true;
  for (const std::string& table : {segTable_, defTable_}) {
    if (store_->TableExists(table) < 0) continue;
    const sampling::ScopedSelect rows(*store_, table, criteria);
    const int logCol = store_->ColumnIndex(rows.slot(), col::kLog);
    // From the last row up: a row that leaves the selection moves none of
    // those still to do.
    for (int r = rows.RowCount() - 1; r >= 0; --r) {
      moved = store_->SetText(rows.slot(), r, logCol, newLog) == 0 && moved;
    }
  }
  if (!moved) {
    app_.ui.ShowMessage({"The segments and defects of log " + oldLog +
                             " could not all be given the number " + newLog + ".",
                         "Error", Icon::kStop});
  }
}

void DataEntryScreen::RunTaper(int row) {
  GridRow cells(logGrid_, row);
  const sampling::StoreTaperTable tapers(*store_);
  const bool hasTable = store_->TableExists(scaling::table::kTapers) >= 0;
  const sampling::TaperPlace place =
      app_.checkScale ? sampling::ReadTaperPlace(*store_, RowLoad(row)) : taperPlace_;
  if (sampling::LdFromTaper(cells, place, hasTable ? &tapers : nullptr, app_.ui) != 0) return;
  for (const char* column : {col::kB, col::kLD, col::kRem}) {
    const int c = logGrid_.ColumnIndex(column);
    if (c >= 0) logGrid_.SetColour(row, c, kRed);
  }
}

void DataEntryScreen::OnTaper() {
  EndEdits();
  const int row = logGrid_.CurrentRow();
  if (row >= 1 && !LogIsVoid(row)) RunTaper(row);
}

void DataEntryScreen::OnCurrentRowChanged(grid::CellGrid& grid, int newRow) {
  if (&grid != &defGrid_ || newRow < 1) return;
  status_ = DefectMethodName(CellInt(defGrid_.Text(newRow, defGrid_.ColumnIndex(col::kM))));
}

// ---- Records ------------------------------------------------------------------------------

bool DataEntryScreen::OnAdd() {
  if (Mode() == 'D') return AppendDefect();
  if (Mode() == 'L') return AppendLog();
  return false;
}

bool DataEntryScreen::AppendLog() {
  EndEdits();
  if (!StoreLogRow(logGrid_.CurrentRow()) || !CommitStore()) return false;
  status_.clear();
  const int current = logGrid_.CurrentRow();
  if (auditBeforeAppend_ && current >= 1) {
    GridRow cells(logGrid_, current);
    // In a check-scale file each log is checked against its own load's limits.
    const sampling::LogCheckContext context =
        app_.checkScale ? sampling::ReadLogCheckContext(*store_, RowLoad(current)) : logCheck_;
    const int rc =
        sampling::ValidateLog(context, cells, sampling::LogSegmentSource(*store_, cells), app_.ui);
    if (rc > 0 || rc == sampling::kLogWarningsCancelled) return false;
  }
  const int row = logBinding_->AppendRow();
  FillNewKeys(logGrid_, row);
  MarkLogRow(row);
  logGrid_.SetCurrentCell(row, Landing(logGrid_, app_.LandingField('L')));
  return true;
}

bool DataEntryScreen::AppendDefect() {
  EndEdits();
  if (!CommitStore()) return false;
  status_.clear();
  const int row = defBinding_->AppendRow();
  FillNewKeys(defGrid_, row);
  defGrid_.SetCurrentCell(row, Landing(defGrid_, app_.LandingField('D')));
  status_ = DefectMethodName(CellInt(defGrid_.Text(row, defGrid_.ColumnIndex(col::kM))));
  defBinding_->MarkReadOnly(row, ",SALE,LLR,LOG,");
  return true;
}

// A new row belongs to its load (and a defect to its log and segment): keys
// the default rules left empty are filled in, so that the row is found again
// by the selections over SALE, LLR, LOG, S and Seg.
void DataEntryScreen::FillNewKeys(grid::CellGrid& grid, int row) {
  const bool defect = &grid == &defGrid_;
  const sampling::LoadKey key = defect ? RowLoad(currentLogRow_) : header_;
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

bool DataEntryScreen::OnNewLog() {
  if (!AppendLog()) return false;
  const int s = logGrid_.ColumnIndex(col::kS);
  if (s >= 0) logGrid_.SetText(logGrid_.DataRowCount(), s, "1");
  status_ = "New Log";
  return true;
}

bool DataEntryScreen::OnSplit() {
  if (!AppendLog()) return false;
  const int s = logGrid_.ColumnIndex(col::kS), log = logGrid_.ColumnIndex(col::kLog);
  const int row = logGrid_.DataRowCount();
  if (s < 0 || log < 0 || row < 2) return true;
  logGrid_.SetText(row, log, logGrid_.Text(row - 1, log));
  logGrid_.SetText(row, s, sampling::IntText(CellInt(logGrid_.Text(row - 1, s)) + 1));
  status_ = "Split";
  return true;
}

// Resets a defect row to editable and greys the measurements its method does
// not use.
void DataEntryScreen::ApplyDefectMethod(int row, int method) {
  for (int c = 0; c < defGrid_.ColumnCount(); ++c) defGrid_.SetCellReadOnly(row, c, false);
  const char* greyed = method == 1   ? ",M1,M2,M3,M4,PCT,SALE,LLR,LOG,"
                       : method == 2 ? ",M2,M3,M4,SALE,LLR,LOG,"
                       : method == 4 ? ",M1,M2,M3,M4,SALE,LLR,LOG,"
                                     : ",SALE,LLR,LOG,";
  defBinding_->MarkReadOnly(row, greyed);
  status_ = DefectMethodName(method);
}

void DataEntryScreen::OnDelete() {
  EndEdits();
  if (Mode() == 'S') {
    app_.ui.Beep(platform::BeepKind::kSimple);
  } else if (Mode() == 'D') {
    const int row = defGrid_.CurrentRow();
    if (row >= 1 && defGrid_.DeleteRow(row)) StoreEditedRow(defGrid_, row);
  } else {
    DeleteLog();
  }
}

void DataEntryScreen::DeleteLog() {
  const int row = logGrid_.CurrentRow();
  if (row < 1 || LogIsVoid(row)) return;
  int sum = 0;
  for (const char* column : {col::kLN, col::kSD, col::kLD, col::kKPI}) {
    sum += CellInt(LogCell(row, column));
  }
  if (sum == 0) {
    // A row already stored (it had more than its defaults) leaves the file too.
    const bool stored = !logGrid_.RowInView(row).empty();
    logGrid_.DeleteRow(row);
    if (row > 1) logGrid_.SetCurrentCell(row - 1, std::max(0, logGrid_.CurrentColumn()));
    if (stored) OnSave();
    return;
  }
  const int voidCol = logGrid_.ColumnIndex(col::kVoid);
  if (voidCol < 0) {
    Refuse("The 'VOID' column must be turned on for a log to be deleted.", "Warning!");
    return;
  }
  if (app_.ui.ShowMessage({"Delete this log?", "Confirm", Icon::kQuestion, Buttons::kOkCancel,
                           platform::DefaultButton::kSecond}) != Answer::kOk) {
    return;
  }
  const std::optional<std::string> remark = app_.ui.PromptText(
      {"Log Remark", "Please type a brief explanation of why you are deleting this log.", ""});
  if (remark) logGrid_.SetText(row, logGrid_.ColumnIndex(col::kRem), *remark);
  logGrid_.SetText(row, voidCol, "1");
  logBinding_->MarkReadOnly(row, "");
  if (row == logGrid_.DataRowCount()) {
    const std::string number = LogCell(row, col::kLog);
    if (AppendLog())
      logGrid_.SetText(logGrid_.DataRowCount(), logGrid_.ColumnIndex(col::kLog), number);
  }
  OnSave();
}

// ---- Volume override, windows, F2 --------------------------------------------------------

void DataEntryScreen::OnVolumeOverride() {
  EndEdits();
  const int row = logGrid_.CurrentRow();
  if (row < 1) return;
  if (LogIsVoid(row)) {
    Refuse(scaling::kLogDeletedMessage, scaling::kAccessDeniedCaption);
    return;
  }
  const std::string split = logGrid_.ColumnIndex(col::kS) >= 0 ? LogCell(row, col::kS) : "1";
  const std::string label = "Log " + LogCell(row, col::kLog) + ", S " + split;
  const std::string state = LogCell(row, col::kOverrideVolume);
  platform::Message ask;
  if (state == "0") {
    ask = {"Give " + label + " zero volume?", "Override Volume?", Icon::kQuestion, Buttons::kYesNo};
  } else if (state == "1") {
    ask = {label +
               " already has its volume overridden to zero.\nTurn this off?\n(Allow volume to "
               "be calculated)",
           "Turn off Volume Override?", Icon::kQuestion, Buttons::kYesNo};
  } else {
    return;
  }
  if (app_.ui.ShowMessage(ask) != Answer::kYes) return;
  const int remCol = logGrid_.ColumnIndex(col::kRem);
  std::string rem = logGrid_.Text(row, remCol);
  if (state == "0") {
    rem = kZeroVolume + rem;
  } else if (const size_t at = rem.find(kZeroVolume); at != std::string::npos) {
    rem.erase(at, sizeof kZeroVolume - 1);
  }
  logGrid_.SetText(row, remCol, rem);
  logGrid_.SetText(row, logGrid_.ColumnIndex(col::kOverrideVolume), state == "0" ? "1" : "0");
  OnSave();
}

void DataEntryScreen::OnVolume() {
  EndEdits();
  const int row = CurrentLogRow();
  if (row < 1) return;
  const scaling::CurrentLog log = CurrentLogOf(row);
  const scaling::LoadSettings settings = SettingsFor(row);
  switch (scaling::CheckLogVolume(log, settings)) {
    case scaling::LogVolumeCheck::kDeleted:
      return Refuse(scaling::kLogDeletedMessage, scaling::kAccessDeniedCaption);
    case scaling::LogVolumeCheck::kOverridden:
      app_.ui.ShowMessage({scaling::kVolumeOverriddenMessage,
                           scaling::LogLabelCaption(log.key.log, log.key.split),
                           Icon::kInformation});
      return;
    case scaling::LogVolumeCheck::kNotEnoughMeasurements:
      return Refuse(scaling::kNotEnoughMeasurementsMessage, "");
    case scaling::LogVolumeCheck::kOk:
      break;
  }
  const char before = Mode();
  const std::string seg = currentSeg_;
  SwitchTo('L');
  if (Mode() != 'L' || !WriteBackLog() || !CommitStore()) return;
  std::string text;
  bool culled = false;
  if (scaling::BuildLogVolumeText(*store_, settings, log, &text, &culled) == 0) {
    if (culled) app_.ui.Beep(platform::BeepKind::kSimple);
    app_.ui.ShowText(scaling::kLogVolumeCaption, text);
  }
  if (before == 'S') SwitchTo('S');
  if (before == 'D' && LeaveShownGrid() && ShowDefects(seg)) app_.screenMode = 'D';
}

void DataEntryScreen::OnLoadTotals() {
  if (!OnSave()) return;
  const sampling::LoadKey key = RowLoad(logGrid_.CurrentRow());
  scaling::LoadTotalsWindow window;
  const int rc = scaling::RefreshLoadTotals(*store_, key.sale, key.llr, &window);
  RefillLogGrid();
  if (rc != 0) {
    app_.ui.ShowMessage({"The load totals could not be computed.", "Error", Icon::kStop});
    return;
  }
  app_.ui.ShowText(window.caption, window.text);
}

void DataEntryScreen::OnSaveAndAudit() {
  if (!OnSave()) return;
  std::string errors;
  const int rc = sampling::AuditLoad(*store_, RowLoad(logGrid_.CurrentRow()), app_.ui, errors);
  if (rc >= 1) {
    app_.ui.ShowMessage({errors, "Errors Found - Load report cancelled ", Icon::kStop});
  } else if (rc != sampling::kAuditWarningsCancelled) {
    OnLoadTotals();
  }
}

}  // namespace dataentry
