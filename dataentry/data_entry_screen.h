// DataEntryScreen: the logic of the "Log Data Entry" screen, where the scaler
// records the logs of a load, one grid row per log (or split of a log), and
// for the current log its segments and defects.
//
// The screen holds three CellGrids of which one is shown at a time: the Log
// grid (bound to the view `LogEntry` over table Log), the Segment grid (the
// current log's rows of Seg) and the Defect grid (the current log's or
// segment's rows of DefC, or DefB when the units are not "Cubic"). It owns
// their GridBindings and the view slots behind them, and writes every grid
// back to its table on Save, on every switch, before the volume and totals
// windows and on close. Nothing finished waits for those: every ended edit
// stores its Log row (or the Segment or Defect grid) and commits, a drawn
// RND/HIT is committed before "SAMPLE LOG!" shows, and a Log row is stored
// again when the scaler leaves it or appends the next one. A new Log row
// that no edit changed holds only its defaults and waits for Save.
//
// The computations are other layers': sample selection (SampleSelector), the
// log and defect checks, the butt-log aids, segmentation, volumes, the load
// totals and the load audit. This class decides when each runs, what the
// screen shows (the grids' cells, colours and read-only state, the status
// line, the bold button) and what each button, key and cell edit does. It
// speaks to the user only through the Application's Ui; the one window that
// is neither a message box nor a text window, the quick estimate, is opened
// through DataEntryWindows.
//
// Key handling: the view asks OnKeyDown(code, ctrl) before the focused cell
// sees a key, and does what the answer says. Cell edits and current-row
// changes reach the screen through the grids' listeners, so a view (or a
// test) only has to edit the grids.
//
// A key the screen "posts" (the Down arrow after a non-sample log, so that
// the cursor moves on) is kept until the view takes it with TakePostedDown()
// and delivers it as a Down key press.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "grid/cell_grid.h"
#include "grid/keys.h"
#include "sampling/butt_log.h"
#include "sampling/log_validation.h"
#include "sampling/sample_selector.h"
#include "sampling/store_rows.h"
#include "scaling/load_volumes.h"

namespace app {
class Application;
}
namespace grid {
class GridBinding;
}
namespace tablestore {
class TableStore;
}

namespace dataentry {

// The dialog's caption once the screen is open.
inline constexpr char kDataEntryCaption[] = "Log Data Entry";

// The quick estimate window's texts.
inline constexpr char kQuickSdLabel[] = "SD:";
inline constexpr char kQuickLdLabel[] = "LD:";
inline constexpr char kQuickLnLabel[] = "LN:";
inline constexpr char kQuickCalculate[] = "&Calculate";

// The eight buttons beside the grids, in the order they are shown.
enum class Button { kLog, kSeg, kDef, kAdd, kDelete, kSave, kVol, kOk };
inline constexpr Button kButtons[] = {Button::kLog,    Button::kSeg,  Button::kDef, Button::kAdd,
                                      Button::kDelete, Button::kSave, Button::kVol, Button::kOk};

// The caption of a button ("&Log", "&Seg", "&Def", "&Add", "&X", "Sav&e", "&Vol",
// "&OK"), with its underlined letter.
const char* ButtonCaption(Button button);

// The status text naming defect method `method`: "Length Cut", "Diameter
// Cut", "Squared Area", "Percent Deduction", "Ring Deduction", or "Invalid
// Defect Method Code" for any other value.
const char* DefectMethodName(int method);

// The column where entry starts in `grid`: the column named `field` (a
// DefField setting) when it is shown, else the first shown column.
int Landing(const grid::CellGrid& grid, const std::string& field);

// The windows the screen opens that are not message boxes.
class DataEntryWindows {
 public:
  virtual ~DataEntryWindows() = default;
  // The modal "Quick Volume Estimage" window; returns when it is closed.
  virtual void ShowQuickEstimate() = 0;
};

class DataEntryScreen {
 public:
  // `app` must have a file open before Open() and outlive the screen;
  // `windows` (may be null: Ctrl+E then does nothing) likewise.
  DataEntryScreen(app::Application& app, DataEntryWindows* windows);
  // Releases the view slots the screen still holds (without writing back;
  // Close() is the way out that saves).
  ~DataEntryScreen();
  DataEntryScreen(const DataEntryScreen&) = delete;
  DataEntryScreen& operator=(const DataEntryScreen&) = delete;

  // The set-up: reads the options and keys, builds `LogEntry` and fills the
  // Log grid, reads the header rows' sales and LLRs, stamps SDATE and STIME
  // when both are empty, builds the sample selector of a 3P load, and shows
  // the Log grid. Returns 0; -2 when no file is open; -1 when the Log grid
  // could not be bound (a message has said why; the screen must not be shown).
  int Open();

  // OK (and the window's close box): writes the shown Segment or Defect grid
  // and the Log grid back, releases the views and commits. Returns true when
  // everything was written; on a failure a message says so and the screen
  // stays open with its rows (returns false).
  bool Close();

  // ---- State for the view ----------------------------------------------------
  // 'L', 'S' or 'D' (kept in the Application).
  char Mode() const;
  grid::CellGrid& LogGrid() { return logGrid_; }
  grid::CellGrid& SegmentGrid() { return segGrid_; }
  grid::CellGrid& DefectGrid() { return defGrid_; }
  // The grid of the current mode.
  grid::CellGrid& ShownGrid();
  // The one-line status text under the grids.
  const std::string& Status() const { return status_; }
  // Whose rows the shown grid holds, for the line above it: on the Defect
  // grid "Log 4: whole-log defects" (entered from the Log grid, segment 0) or
  // "Log 4, segment 2" (entered from that segment), on the Segment grid
  // "Log 4: segments"; a split other than the first is named too ("Log 6,
  // split 2: segments"). "" on the Log grid.
  std::string GridOwner() const;
  // The button shown in bold: that of the grid shown.
  Button BoldButton() const;
  // The milliseconds after which the "SAMPLE LOG!" box closes itself.
  int HitWindowMs() const { return hitWindowMs_; }
  // True once after the screen posted a Down key for the shown grid; the view
  // then delivers a Down key press (through OnKeyDown) to the grid.
  bool TakePostedDown();

  // ---- Buttons -------------------------------------------------------------
  // Every command first commits a cell still being typed into (with the
  // reactions to that edit), so that it acts on what the scaler sees.
  //
  // "&Log", "&Seg", "&Def" (and their key letters): show that grid. A beep
  // when it is shown already; the defect grid is checked before it is left
  // (errors keep it); segments and defects need a live current log with LN
  // and SD (and LD in cubic units), else "This log has been deleted" or
  // "Missing length or diameter." and nothing changes. The grid left is
  // written back; returning from defects appends a log when the
  // AppendAfterDefect option is on.
  void OnLogButton() { SwitchTo('L'); }
  void OnSegButton() { SwitchTo('S'); }
  void OnDefButton() { SwitchTo('D'); }
  // Appends a record to the grid shown (none on the Segment grid). Returns
  // whether a row was appended.
  bool OnAdd();
  // "&X": deletes the current defect row, or voids the current log.
  void OnDelete();
  // "Save": writes the grids back and commits. Returns false when that
  // failed (a message has said so).
  bool OnSave();
  // "&Vol": the current log's "Log Volume" window.
  void OnVolume();

  // ---- Keys --------------------------------------------------------------------
  // A key pressed while a grid has the focus, before the cell sees it.
  grid::KeyResult OnKeyDown(int code, bool ctrl);

  // ---- Commands also reachable by keys -----------------------------------------
  // Ctrl+A: a new log ("New Log"); Ctrl+S: a split of the log above ("Split").
  bool OnNewLog();
  bool OnSplit();
  // Ctrl+O: turns the current log's volume override on or off.
  void OnVolumeOverride();
  // Ctrl+L: the load totals window.
  void OnLoadTotals();
  // Ctrl+B: LD of the current log from the taper table.
  void OnTaper();
  // F2: save, audit the load, and show the totals when it passed.
  void OnSaveAndAudit();

 private:
  class GridListener;

  // Set-up steps.
  std::string ShownColumns(const std::string& table);
  std::string LogColumnList();
  int BindLogGrid();
  void ReadHeaderChoices();
  void StampScaleDate();
  void ReadOptions();
  void MarkLogRow(int row);
  void ShowCountedLog(int row);

  // Edits and current-row changes.
  void OnLogEdit(const grid::CellEdit& edit);
  void OnCurrentRowChanged(grid::CellGrid& grid, int newRow);
  void OrderDiameters(int row);
  void RunSampleSelection(int row);
  void RenumberLog(int row, const std::string& oldLog, const std::string& newLog);
  void RunTaper(int row);

  // Switching.
  void SwitchTo(char target);
  bool CanLeaveDefects();
  bool CurrentLogMeasured();
  bool LeaveShownGrid();
  bool ShowSegments();
  bool ShowDefects(const std::string& seg);
  bool BindDerived(grid::GridBinding& binding, int* slot, const std::string& table,
                   const std::string& criteria, const std::string& viewName);
  void ReleaseDerived(grid::CellGrid& grid, int* slot);
  void ReleaseSlot(int* slot);

  // Records.
  bool AppendLog();
  bool AppendDefect();
  void FillNewKeys(grid::CellGrid& grid, int row);
  void ApplyDefectMethod(int row, int method);
  void DeleteLog();
  grid::KeyResult OnDown();

  // Writing back and messages.
  void EndEdits();
  bool WriteBackShown();
  bool WriteBackLog();
  bool StoreLogRow(int row);
  void StoreEditedRow(grid::CellGrid& grid, int row);
  bool CommitStore();
  void RefillLogGrid();
  void Refuse(const std::string& text, const std::string& caption);

  // The current log.
  int CurrentLogRow() const;
  std::string LogCell(int row, std::string_view column) const;
  bool LogIsVoid(int row) const;
  sampling::LoadKey RowLoad(int row) const;
  scaling::LoadSettings SettingsFor(int row) const;
  scaling::CurrentLog CurrentLogOf(int row) const;

  app::Application& app_;
  tablestore::TableStore* store_ = nullptr;
  DataEntryWindows* windows_;

  grid::CellGrid logGrid_, segGrid_, defGrid_;
  std::unique_ptr<grid::GridBinding> logBinding_, segBinding_, defBinding_;
  std::unique_ptr<GridListener> logListener_, segListener_, defListener_;
  int logSlot_ = -1, segSlot_ = -1, defSlot_ = -1;

  // The load, as opened.
  sampling::LoadKey header_;
  scaling::LoadSettings load_;
  bool threeP_ = false;
  bool cubic_ = true;
  std::string segTable_, defTable_, orderColumn_;
  std::string logReadOnly_;
  std::vector<std::string> sales_, llrs_;

  // Options and keys.
  bool auditBeforeAppend_ = false;
  bool appendAfterDefect_ = false;
  int hitWindowMs_ = -1;
  sampling::LogCheckContext logCheck_;
  int keyLog_ = 'L', keySeg_ = 'S', keyDef_ = 'D', keyVol_ = 'V', keyAdd_ = 'A';
  std::optional<sampling::SampleSelector> selector_;
  sampling::TaperPlace taperPlace_;

  // Where the Segment and Defect grids belong.
  int currentLogRow_ = -1;
  std::string currentSeg_ = "0";

  std::string status_;
  bool postedDown_ = false;
  bool open_ = false;
};

}  // namespace dataentry
