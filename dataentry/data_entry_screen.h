// DataEntryScreen: the logic of the "Log Data Entry" screen, where the scaler
// records the logs of a load, one grid row per log (or split of a log), and
// for the current log its segments and defects.
//
// The screen coordinates its parts: DataEntryGrids (the three grids, the
// views behind them, switching and writing back; nothing finished waits for
// Save), LogEditRules (what an ended Log edit sets off), EntryCommands (the
// record commands and load windows) and KeyTable (the command keys). The
// computations are other layers': sample selection, the log and defect
// checks, the butt-log aids, segmentation, volumes, the load totals and the
// load audit. It speaks to the user only through the Application's Ui; the
// one window that is neither a message box nor a text window, the quick
// estimate, is opened through DataEntryWindows.
//
// Key handling: the view asks OnKeyDown(code, ctrl) before the focused cell
// sees a key, and does what the answer says. Cell edits and current-row
// changes reach the screen through the grids' listeners, so a view (or a
// test) only has to edit the grids. A key the screen "posts" (the Down arrow
// after a non-sample log, so that the cursor moves on) is kept until the view
// takes it with TakePostedDown() and delivers it as a Down key press.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <string>

#include "app/grid_mode.h"
#include "dataentry/data_entry_commands.h"
#include "dataentry/data_entry_grids.h"
#include "dataentry/entry_load.h"
#include "dataentry/key_table.h"
#include "dataentry/log_edit_rules.h"
#include "grid/keys.h"

namespace app {
class Application;
}

namespace dataentry {

// The dialog's caption until the screen is open, and once it is.
inline constexpr char kDataEntryOpeningCaption[] = "Varnolde Data Entry";
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

// The buttons' captions, in the order of Button, with their underlined
// letters (S, A and V belong to other buttons than Save).
inline constexpr const char* kButtonCaptions[] = {"&Log", "&Seg",  "&Def", "&Add",
                                                  "&X",   "Sav&e", "&Vol", "&OK"};
inline const char* ButtonCaption(Button button) {
  return kButtonCaptions[static_cast<int>(button)];
}

// What the dialog draws.
struct DataEntryView {
  app::GridMode mode = app::GridMode::kLog;  // the grid shown
  Button bold = Button::kLog;                // that grid's button, shown in bold
  // The one-line status text under the grids.
  std::string status;
  // Whose rows the shown grid holds, for the line above it: on the Defect
  // grid "Log 4: whole-log defects" (entered from the Log grid, segment 0) or
  // "Log 4, segment 2" (entered from that segment), on the Segment grid
  // "Log 4: segments"; a split other than the first is named too ("Log 6,
  // split 2: segments"). "" on the Log grid.
  std::string gridOwner;
};

// How Open() went.
enum class DataEntryOpen {
  kOpened,      // the screen may be shown
  kNoFile,      // no file is open
  kUnreadable,  // the logs could not be read (a message has said so)
};

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
  DataEntryScreen(const DataEntryScreen&) = delete;
  DataEntryScreen& operator=(const DataEntryScreen&) = delete;

  // The set-up: reads the options and keys, builds `LogEntry` and fills the
  // Log grid, reads the header rows' sales and LLRs, stamps SDATE and STIME
  // when both are empty, builds the sample selector of a 3P load, and shows
  // the Log grid. On anything but kOpened the screen must not be shown.
  [[nodiscard]] DataEntryOpen Open();
  // OK (and the window's close box): writes the shown Segment or Defect grid
  // and the Log grid back, releases the views and commits. Returns true when
  // everything was written; on a failure a message says so and the screen
  // stays open with its rows (returns false).
  [[nodiscard]] bool Close();

  // ---- State for the view ----------------------------------------------------
  const DataEntryView& view() const;
  grid::CellGrid& LogGrid() { return grids_.LogGrid(); }
  grid::CellGrid& SegmentGrid() { return grids_.Grid(app::GridMode::kSegment); }
  grid::CellGrid& DefectGrid() { return grids_.Grid(app::GridMode::kDefect); }
  // The grid of the current mode.
  grid::CellGrid& ShownGrid() { return grids_.Shown(); }
  // True once after the screen posted a Down key for the shown grid; the view
  // then delivers a Down key press (through OnKeyDown) to the grid.
  bool TakePostedDown() { return rules_.TakePostedDown(); }

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
  void OnLogButton() { SwitchTo(app::GridMode::kLog); }
  void OnSegButton() { SwitchTo(app::GridMode::kSegment); }
  void OnDefButton() { SwitchTo(app::GridMode::kDefect); }
  // Appends a record to the grid shown (none on the Segment grid). Returns
  // whether a row was appended.
  [[nodiscard]] bool OnAdd();
  // "&X": deletes the current defect row, or voids the current log.
  void OnDelete();
  // "Save": writes the grids back and commits. Returns false when that
  // failed (a message has said so).
  [[nodiscard]] bool OnSave() { return grids_.Save(); }
  // "&Vol": the current log's "Log Volume" window.
  void OnVolume();

  // ---- Keys --------------------------------------------------------------------
  // A key pressed while a grid has the focus, before the cell sees it.
  grid::KeyResult OnKeyDown(int code, bool ctrl);

  // ---- Commands also reachable by keys -----------------------------------------
  // Ctrl+A: a new log ("New Log"); Ctrl+S: a split of the log above ("Split").
  // Each returns whether a row was appended.
  [[nodiscard]] bool OnNewLog() { return commands_.NewLog(); }
  [[nodiscard]] bool OnSplit() { return commands_.Split(); }
  // Ctrl+O: turns the current log's volume override on or off.
  void OnVolumeOverride();
  // Ctrl+L: the load totals window.
  void OnLoadTotals() { commands_.LoadTotals(); }
  // Ctrl+B: LD of the current log from the taper table.
  void OnTaper();
  // F2: save, audit the load, and show the totals when it passed.
  void OnSaveAndAudit() { commands_.SaveAndAudit(); }

 private:
  void SwitchTo(app::GridMode target);
  void RunKey(KeyCommand command);
  grid::KeyResult OnDown();
  grid::KeyResult OnPlainKey(int code);
  void AppendLog();

  app::Application& app_;
  DataEntryWindows* windows_;
  EntryLoad load_;
  DataEntryGrids grids_;
  LogEditRules rules_;
  EntryCommands commands_;
  KeyTable keys_;
  mutable DataEntryView view_;  // assembled from the parts on each view()
};

}  // namespace dataentry
