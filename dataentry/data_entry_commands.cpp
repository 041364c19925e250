#include "dataentry/data_entry_commands.h"

#include <algorithm>

#include "app/application.h"
#include "dataentry/grid_row.h"
#include "platform/ui.h"
#include "sampling/cell_text.h"
#include "sampling/load_checks.h"
#include "sampling/log_tables.h"
#include "scaling/data_model.h"
#include "scaling/volume_windows.h"
#include "tablestore/table_store.h"

namespace dataentry {

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using sampling::CellInt;
namespace col = scaling::col;

namespace {

constexpr char kZeroVolume[] = "0 Vol ";

}  // namespace

EntryCommands::EntryCommands(app::Application& app, const EntryLoad& load, DataEntryGrids& grids)
    : app_(app), load_(load), grids_(grids) {}

void EntryCommands::Refuse(const std::string& text, const std::string& caption) {
  app_.ui.ShowMessage({text, caption, Icon::kExclamation});
}

// ---- Appending ------------------------------------------------------------------

bool EntryCommands::AppendLog() {
  grids_.EndEdits();
  grid::CellGrid& logs = grids_.LogGrid();
  if (!grids_.StoreLogRow(logs.CurrentRow()) || !grids_.Commit()) return false;
  grids_.SetStatus("");
  const int current = logs.CurrentRow();
  if (load_.auditBeforeAppend && current >= 1 && !AuditCurrentLog(current)) return false;
  grids_.AppendLogRow();
  return true;
}

// True when the log passed (or the scaler let its warnings go).
bool EntryCommands::AuditCurrentLog(int row) {
  GridRow cells(grids_.LogGrid(), row);
  // In a check-scale file each log is checked against its own load's limits.
  tablestore::TableStore& store = *app_.store();
  const sampling::LogCheckContext context =
      load_.checkScale ? sampling::ReadLogCheckContext(store, load_.RowLoad(grids_.LogGrid(), row))
                       : load_.logCheck;
  const int rc =
      sampling::ValidateLog(context, cells, sampling::LogSegmentSource(store, cells), app_.ui);
  return rc <= 0 && rc != sampling::kLogWarningsCancelled;
}

bool EntryCommands::AppendDefect() {
  grids_.EndEdits();
  if (!grids_.Commit()) return false;
  grids_.SetStatus("");
  grids_.AppendDefectRow();
  return true;
}

bool EntryCommands::NewLog() {
  if (!AppendLog()) return false;
  grid::CellGrid& logs = grids_.LogGrid();
  const int s = logs.ColumnIndex(col::kS);
  if (s >= 0) logs.SetText(logs.DataRowCount(), s, "1");
  grids_.SetStatus("New Log");
  return true;
}

bool EntryCommands::Split() {
  if (!AppendLog()) return false;
  grid::CellGrid& logs = grids_.LogGrid();
  const int s = logs.ColumnIndex(col::kS), log = logs.ColumnIndex(col::kLog);
  const int row = logs.DataRowCount();
  if (s < 0 || log < 0 || row < 2) return true;
  logs.SetText(row, log, logs.Text(row - 1, log));
  logs.SetText(row, s, sampling::IntText(CellInt(logs.Text(row - 1, s)) + 1));
  grids_.SetStatus("Split");
  return true;
}

// ---- Deleting -----------------------------------------------------------------------

void EntryCommands::DeleteLog() {
  const int row = grids_.LogGrid().CurrentRow();
  if (row < 1 || grids_.LogIsVoid(row)) return;
  int sum = 0;
  for (const char* column : {col::kLN, col::kSD, col::kLD, col::kKPI}) {
    sum += CellInt(grids_.LogCell(row, column));
  }
  if (sum == 0) {
    DropLogRow(row);
  } else {
    VoidLogRow(row);
  }
}

// A row without measurements is no log: it leaves the grid, and the file
// too when it was stored already (it had more than its defaults).
void EntryCommands::DropLogRow(int row) {
  grid::CellGrid& logs = grids_.LogGrid();
  const bool stored = !logs.RowInView(row).empty();
  logs.DeleteRow(row);
  if (row > 1) logs.SetCurrentCell(row - 1, std::max(0, logs.CurrentColumn()));
  // A failed save has been shown; the row is gone from the grid either way
  // and the next save writes the grid again.
  if (stored) static_cast<void>(grids_.Save());
}

void EntryCommands::VoidLogRow(int row) {
  grid::CellGrid& logs = grids_.LogGrid();
  const int voidCol = logs.ColumnIndex(col::kVoid);
  if (voidCol < 0) {
    return Refuse("The 'VOID' column must be turned on for a log to be deleted.", "Warning!");
  }
  if (app_.ui.ShowMessage({"Delete this log?", "Confirm", Icon::kQuestion, Buttons::kOkCancel,
                           platform::DefaultButton::kSecond}) != Answer::kOk) {
    return;
  }
  const std::optional<std::string> remark = app_.ui.PromptText(
      {"Log Remark", "Please type a brief explanation of why you are deleting this log.", ""});
  if (remark) logs.SetText(row, logs.ColumnIndex(col::kRem), *remark);
  logs.SetText(row, voidCol, "1");
  grids_.LockLogRow(row);
  if (row == logs.DataRowCount()) {
    const std::string number = grids_.LogCell(row, col::kLog);
    if (AppendLog()) logs.SetText(logs.DataRowCount(), logs.ColumnIndex(col::kLog), number);
  }
  // A failed save has been shown; the voided row stays in the grid.
  static_cast<void>(grids_.Save());
}

// ---- Volume override ------------------------------------------------------------------

void EntryCommands::VolumeOverride() {
  grid::CellGrid& logs = grids_.LogGrid();
  const int row = logs.CurrentRow();
  if (row < 1) return;
  if (grids_.LogIsVoid(row))
    return Refuse(scaling::kLogDeletedMessage, scaling::kAccessDeniedCaption);
  const std::string label = "Log " + grids_.LogCell(row, col::kLog) + ", S " + SplitOf(logs, row);
  const std::string state = grids_.LogCell(row, col::kOverrideVolume);
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
  const int remCol = logs.ColumnIndex(col::kRem);
  std::string rem = logs.Text(row, remCol);
  if (state == "0") {
    rem = kZeroVolume + rem;
  } else if (const size_t at = rem.find(kZeroVolume); at != std::string::npos) {
    rem.erase(at, sizeof kZeroVolume - 1);
  }
  logs.SetText(row, remCol, rem);
  logs.SetText(row, logs.ColumnIndex(col::kOverrideVolume), state == "0" ? "1" : "0");
  // A failed save has been shown; the grid keeps the change for the next.
  static_cast<void>(grids_.Save());
}

// ---- Windows -------------------------------------------------------------------------------

bool EntryCommands::VolumeAllowed(int row, scaling::CurrentLog* log,
                                  scaling::LoadSettings* settings) {
  *log = CurrentLogOf(row);
  *settings = SettingsFor(row);
  switch (scaling::CheckLogVolume(*log, *settings)) {
    case scaling::LogVolumeCheck::kDeleted:
      Refuse(scaling::kLogDeletedMessage, scaling::kAccessDeniedCaption);
      return false;
    case scaling::LogVolumeCheck::kOverridden:
      app_.ui.ShowMessage({scaling::kVolumeOverriddenMessage,
                           scaling::LogLabelCaption(log->key.log, log->key.split),
                           Icon::kInformation});
      return false;
    case scaling::LogVolumeCheck::kNotEnoughMeasurements:
      Refuse(scaling::kNotEnoughMeasurementsMessage, "");
      return false;
    case scaling::LogVolumeCheck::kOk:
      break;
  }
  return true;
}

void EntryCommands::ShowLogVolume(const scaling::CurrentLog& log,
                                  const scaling::LoadSettings& settings) {
  std::string text;
  bool culled = false;
  if (scaling::BuildLogVolumeText(*app_.store(), settings, log, &text, &culled) != 0) return;
  if (culled) app_.ui.Beep(platform::BeepKind::kSimple);
  app_.ui.ShowText(scaling::kLogVolumeCaption, text);
}

void EntryCommands::LoadTotals() {
  if (!grids_.Save()) return;
  grid::CellGrid& logs = grids_.LogGrid();
  const sampling::LoadKey key = load_.RowLoad(logs, logs.CurrentRow());
  scaling::LoadTotalsWindow window;
  const int rc = scaling::RefreshLoadTotals(*app_.store(), key.sale, key.llr, &window);
  grids_.RefillLogGrid();
  if (rc != 0) {
    app_.ui.ShowMessage({"The load totals could not be computed.", "Error", Icon::kStop});
    return;
  }
  app_.ui.ShowText(window.caption, window.text);
}

void EntryCommands::SaveAndAudit() {
  if (!grids_.Save()) return;
  std::string errors;
  grid::CellGrid& logs = grids_.LogGrid();
  const int rc =
      sampling::AuditLoad(*app_.store(), load_.RowLoad(logs, logs.CurrentRow()), app_.ui, errors);
  if (rc >= 1) {
    app_.ui.ShowMessage({errors, "Errors Found - Load report cancelled ", Icon::kStop});
  } else if (rc != sampling::kAuditWarningsCancelled) {
    LoadTotals();
  }
}

// ---- The current log ------------------------------------------------------------------------

scaling::LoadSettings EntryCommands::SettingsFor(int row) const {
  scaling::LoadSettings settings = load_.settings;
  const sampling::LoadKey key = load_.RowLoad(grids_.LogGrid(), row);
  if (load_.checkScale && (key.sale != load_.header.sale || key.llr != load_.header.llr)) {
    // A row of a load not in the file is computed with the header's settings.
    static_cast<void>(scaling::ReadLoadSettings(*app_.store(), key.sale, key.llr, &settings));
  }
  return settings;
}

scaling::CurrentLog EntryCommands::CurrentLogOf(int row) const {
  const grid::CellGrid& logs = grids_.LogGrid();
  const sampling::LoadKey key = load_.RowLoad(logs, row);
  const auto value = [&](const char* column) { return CellInt(CellOf(logs, row, column)); };
  scaling::CurrentLog log;
  log.key = {key.sale, key.llr, value(col::kLog), SplitOf(logs, row)};
  log.ln = value(col::kLN);
  log.sd = value(col::kSD);
  log.ld = value(col::kLD);
  log.product = value(col::kP);
  log.isVoid = value(col::kVoid) == 1;
  log.overridden = value(col::kOverrideVolume) == 1;
  return log;
}

}  // namespace dataentry
