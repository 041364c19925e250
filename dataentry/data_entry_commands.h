// EntryCommands: the data entry screen's record commands and load windows:
// appending a log (audited first when the Option asks) or a defect, a new
// log or a split, voiding or dropping a log, the volume override, the
// "Log Volume" window's checks and text, the load totals and F2's audit.
//
// Every command acts on the grids as the scaler sees them (DataEntryGrids)
// and speaks only through the Application's Ui.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include "dataentry/data_entry_grids.h"
#include "dataentry/entry_load.h"
#include "scaling/load_volumes.h"

namespace app {
class Application;
}

namespace dataentry {

class EntryCommands {
 public:
  // All borrowed; they must outlive the commands. The grids must be bound.
  EntryCommands(app::Application& app, const EntryLoad& load, DataEntryGrids& grids);

  // Appends a log after storing the current one (and auditing it when
  // AuditEachLogBeforeAppend is on). False when nothing was appended (a
  // failed write or the audit's findings have been shown).
  [[nodiscard]] bool AppendLog();
  // Appends a defect to the shown Defect grid; false when the commit failed.
  [[nodiscard]] bool AppendDefect();
  // A new log ("New Log", split 1) or a split of the log above ("Split").
  [[nodiscard]] bool NewLog();
  [[nodiscard]] bool Split();
  // Deletes the current log: a row without measurements or KPI leaves the
  // grid (and the file); another is voided after the scaler confirms, with
  // the remark asked for.
  void DeleteLog();
  // Turns the current log's volume override on or off, as the scaler
  // confirms.
  void VolumeOverride();
  // True when Log grid row `row` may show its volume; `log` and `settings`
  // then hold what the window needs. Otherwise a message has said why.
  [[nodiscard]] bool VolumeAllowed(int row, scaling::CurrentLog* log,
                                   scaling::LoadSettings* settings);
  // The "Log Volume" window of `log` (a beep first when segments were
  // culled).
  void ShowLogVolume(const scaling::CurrentLog& log, const scaling::LoadSettings& settings);
  // Saves, then shows the current load's totals window.
  void LoadTotals();
  // Saves, audits the load, and shows the totals when it passed.
  void SaveAndAudit();

 private:
  bool AuditCurrentLog(int row);
  void DropLogRow(int row);
  void VoidLogRow(int row);
  scaling::LoadSettings SettingsFor(int row) const;
  scaling::CurrentLog CurrentLogOf(int row) const;
  void Refuse(const std::string& text, const std::string& caption);

  app::Application& app_;
  const EntryLoad& load_;
  DataEntryGrids& grids_;
};

}  // namespace dataentry
