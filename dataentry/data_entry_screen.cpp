// The data entry screen: opening and closing, the keys, and the commands
// that need more than one of its parts.
#include "dataentry/data_entry_screen.h"

#include "app/application.h"
#include "platform/ui.h"
#include "scaling/data_model.h"
#include "tablestore/table_store.h"

namespace dataentry {

using app::GridMode;
using grid::KeyResult;
namespace key = grid::key;

DataEntryScreen::DataEntryScreen(app::Application& app, DataEntryWindows* windows)
    : app_(app),
      windows_(windows),
      grids_(app, load_),
      rules_(grids_.LogGrid(), app.ui, load_,
             // The draw's failure to store has been shown; the row waits in
             // the grid for the next write.
             [this](int row) { static_cast<void>(grids_.StoreLogRow(row)); }),
      commands_(app, load_, grids_) {}

DataEntryOpen DataEntryScreen::Open() {
  tablestore::TableStore* store = app_.store();
  if (store == nullptr || !store->IsOpen()) return DataEntryOpen::kNoFile;
  load_ = ReadEntryLoad(app_, *store);
  if (!grids_.Bind(*store)) return DataEntryOpen::kUnreadable;
  StampScaleDate(app_, *store);
  ReadEntryOptions(*store, load_);
  keys_ = KeyTable(ReadKeyLetters(*store));
  rules_.Open(*store, app_.clock);
  grids_.Start([this](const grid::CellEdit& edit) { rules_.OnLogEdit(edit); });
  return DataEntryOpen::kOpened;
}

bool DataEntryScreen::Close() { return grids_.Close(); }

const DataEntryView& DataEntryScreen::view() const {
  view_.mode = grids_.mode();
  view_.bold = view_.mode == GridMode::kSegment  ? Button::kSeg
               : view_.mode == GridMode::kDefect ? Button::kDef
                                                 : Button::kLog;
  view_.status = grids_.status();
  view_.gridOwner = grids_.Owner();
  return view_;
}

// ---- Buttons and commands ---------------------------------------------------------

void DataEntryScreen::SwitchTo(GridMode target) {
  const GridMode from = grids_.mode();
  if (grids_.SwitchTo(target) && from == GridMode::kDefect && load_.appendAfterDefect) AppendLog();
}

// A log not appended has had its reason shown (a failed write or the audit's
// findings); the cursor stays where it was.
void DataEntryScreen::AppendLog() { static_cast<void>(commands_.AppendLog()); }

bool DataEntryScreen::OnAdd() {
  if (grids_.mode() == GridMode::kDefect) return commands_.AppendDefect();
  if (grids_.mode() == GridMode::kLog) return commands_.AppendLog();
  return false;
}

void DataEntryScreen::OnDelete() {
  grids_.EndEdits();
  switch (grids_.mode()) {
    case GridMode::kSegment:
      app_.ui.Beep(platform::BeepKind::kSimple);
      break;
    case GridMode::kDefect:
      grids_.DeleteDefectRow();
      break;
    case GridMode::kLog:
      commands_.DeleteLog();
      break;
  }
}

// The volume is computed from the stored rows: the Log grid is shown and
// written back first, and the grid the scaler came from is shown again.
void DataEntryScreen::OnVolume() {
  grids_.EndEdits();
  const int row = grids_.CurrentLogRow();
  scaling::CurrentLog log;
  scaling::LoadSettings settings;
  if (row < 1 || !commands_.VolumeAllowed(row, &log, &settings)) return;
  const GridMode before = grids_.mode();
  const std::string seg = grids_.CurrentSegment();
  SwitchTo(GridMode::kLog);
  if (grids_.mode() != GridMode::kLog || !grids_.Save()) return;
  commands_.ShowLogVolume(log, settings);
  if (before == GridMode::kSegment) SwitchTo(GridMode::kSegment);
  if (before == GridMode::kDefect) grids_.ReturnToDefects(seg);
}

void DataEntryScreen::OnVolumeOverride() {
  grids_.EndEdits();
  commands_.VolumeOverride();
}

void DataEntryScreen::OnTaper() {
  grids_.EndEdits();
  const int row = grids_.LogGrid().CurrentRow();
  if (row >= 1 && !grids_.LogIsVoid(row)) rules_.RunTaper(row);
}

// ---- Keys ---------------------------------------------------------------------------

KeyResult DataEntryScreen::OnKeyDown(int code, bool ctrl) {
  if (ctrl && grids_.mode() == GridMode::kLog) {
    const KeyCommand command = keys_.FindCtrl(code);
    if (command == KeyCommand::kNone) return KeyResult::Pass();
    RunKey(command);
    return KeyResult::Swallow();
  }
  const bool keypad = code >= key::kNumpad0 && code <= key::kNumpad0 + 9;
  if (keypad) code -= key::kNumpad0 - key::kDigit0;
  if (code == key::kEnter) return KeyResult::Replace(key::kTab);
  if (code == key::kEscape) return KeyResult::Pass();
  if (code == key::kF2) {
    OnSaveAndAudit();
    return KeyResult::Swallow();
  }
  if (code == key::kDown) return OnDown();
  const KeyResult result = OnPlainKey(code);
  return keypad && result.action == grid::KeyAction::kPass ? KeyResult::Replace(code) : result;
}

// A letter, digit or other key the cell would type: a command letter runs
// its command, another letter beeps outside text columns, and a digit typed
// into a defect's method opens and greys its cells.
KeyResult DataEntryScreen::OnPlainKey(int code) {
  grid::CellGrid& shown = grids_.Shown();
  const int column = shown.CurrentColumn();
  if (column >= 0 && shown.ColumnType(column) == 'S') return KeyResult::Pass();
  if (const KeyCommand command = keys_.FindPlain(code); command != KeyCommand::kNone) {
    RunKey(command);
    return KeyResult::Swallow();
  }
  if (code >= 0x40 && code <= 0x176 && code != key::kPeriod) {
    app_.ui.Beep(platform::BeepKind::kSimple);
    return KeyResult::Swallow();
  }
  const int row = shown.CurrentRow();
  if (grids_.mode() == GridMode::kDefect && row >= 1 &&
      column == shown.ColumnIndex(scaling::col::kM) && code >= key::kDigit0 &&
      code <= key::kDigit0 + 9) {
    grids_.SetDefectMethod(row, code - key::kDigit0);
  }
  return KeyResult::Pass();
}

// Down on the last row appends a row (a log, after its KPI is left with Tab;
// a defect); elsewhere it moves on.
KeyResult DataEntryScreen::OnDown() {
  grid::CellGrid& shown = grids_.Shown();
  const bool last = shown.CurrentRow() == shown.DataRowCount() || shown.DataRowCount() == 0;
  if (grids_.mode() == GridMode::kDefect && last) {
    // A defect not appended has had its failed commit shown.
    static_cast<void>(commands_.AppendDefect());
    return KeyResult::Swallow();
  }
  if (grids_.mode() != GridMode::kLog || !last) return KeyResult::Pass();
  if (shown.IsEditing() && shown.CurrentColumn() == shown.ColumnIndex(scaling::col::kKPI)) {
    return KeyResult::Replace(key::kTab);
  }
  AppendLog();
  return KeyResult::Swallow();
}

// Runs the command of a command key. A row not appended has had its reason
// shown already.
void DataEntryScreen::RunKey(KeyCommand command) {
  switch (command) {
    case KeyCommand::kNewLog:
      return static_cast<void>(OnNewLog());
    case KeyCommand::kSplit:
      return static_cast<void>(OnSplit());
    case KeyCommand::kAdd:
      return static_cast<void>(OnAdd());
    case KeyCommand::kVolumeOverride:
      return OnVolumeOverride();
    case KeyCommand::kLoadTotals:
      return OnLoadTotals();
    case KeyCommand::kQuickEstimate:
      if (windows_ != nullptr) windows_->ShowQuickEstimate();
      return;
    case KeyCommand::kTaper:
      return OnTaper();
    case KeyCommand::kLogGrid:
      return OnLogButton();
    case KeyCommand::kSegmentGrid:
      return OnSegButton();
    case KeyCommand::kDefectGrid:
      return OnDefButton();
    case KeyCommand::kVolume:
      return OnVolume();
    case KeyCommand::kNone:
      return;
  }
}

}  // namespace dataentry
