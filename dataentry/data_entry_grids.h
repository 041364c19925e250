// DataEntryGrids: the data entry screen's three grids and what lies behind
// them. The Log grid is bound to the view `LogEntry` over table Log for as
// long as the screen is open; the Segment grid (the current log's rows of
// Seg) and the Defect grid (the current log's or segment's rows of DefC, or
// DefB when the units are not "Cubic") are bound to derived views only while
// they are shown.
//
// It switches between the grids, writes them back to their tables (every
// ended edit stores its Log row, or the Segment or Defect grid, and commits;
// a Log row is stored again when the scaler leaves it), appends rows with
// their keys filled in, and keeps the status line under the grids.
//
// Invariants:
//  - A derived view's slot is held only while its grid is shown, and is
//    released before the Log grid's.
//  - Segment and defect rows are written back by replacing the current log's
//    (or segment's) rows, so their grids never need `_RowInView_`.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "app/grid_mode.h"
#include "dataentry/entry_load.h"
#include "grid/cell_grid.h"

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

// The column where entry starts in `grid`: the column named `field` (a
// DefField setting) when it is shown, else the first shown column.
int Landing(const grid::CellGrid& grid, const std::string& field);

class DataEntryGrids {
 public:
  // Called for every ended edit of the Log grid, before its row is stored.
  using LogEditHandler = std::function<void(const grid::CellEdit& edit)>;

  // `app` and `load` are borrowed and must outlive the grids.
  DataEntryGrids(app::Application& app, const EntryLoad& load);
  // Releases the views still held, without writing back.
  ~DataEntryGrids();
  DataEntryGrids(const DataEntryGrids&) = delete;
  DataEntryGrids& operator=(const DataEntryGrids&) = delete;

  // Binds the Log grid to `store` (which must outlive the grids) and shows
  // it. False when the logs could not be read (a message has said so).
  [[nodiscard]] bool Bind(tablestore::TableStore& store);
  // Starts storing edits and rows left, telling `onLogEdit` of Log edits
  // first, and puts the cursor on the last log.
  void Start(LogEditHandler onLogEdit);
  // Writes everything back, releases the views and commits. False when a
  // write failed (a message has said so; the grids keep their rows).
  [[nodiscard]] bool Close();

  app::GridMode mode() const;
  grid::CellGrid& Grid(app::GridMode mode);
  grid::CellGrid& Shown() { return Grid(mode()); }
  grid::CellGrid& LogGrid() { return logGrid_; }
  const grid::CellGrid& LogGrid() const { return logGrid_; }
  // The status line under the grids.
  const std::string& status() const { return status_; }
  void SetStatus(std::string text) { status_ = std::move(text); }
  // The line above the Segment and Defect grids: whose rows they hold (see
  // DataEntryView::gridOwner).
  std::string Owner() const;

  // ---- The current log -------------------------------------------------------
  // The Log grid row of the current log (the one the Segment and Defect
  // grids belong to while they are shown).
  int CurrentLogRow() const;
  // The segment whose defects are shown ("0": the whole log's).
  const std::string& CurrentSegment() const { return currentSeg_; }
  std::string LogCell(int row, std::string_view column) const;
  bool LogIsVoid(int row) const;

  // ---- Switching ---------------------------------------------------------------
  // Shows `target`, with the checks and messages of the screen's grid
  // buttons (see DataEntryScreen). Returns true when the Log grid was shown
  // again after another (the caller may then append a log).
  [[nodiscard]] bool SwitchTo(app::GridMode target);
  // Shows the defects of segment `seg` of the current log again after the
  // Log grid was shown for a moment.
  void ReturnToDefects(const std::string& seg);

  // ---- Writing back --------------------------------------------------------------
  // Commits a cell still being typed into (with the reactions to its edit).
  void EndEdits();
  // Writes the shown grid and the Log grid back and commits. False when
  // that failed (a message has said so).
  [[nodiscard]] bool Save();
  // Stores Log grid row `row` on its own and commits. A new row no edit
  // changed waits for Save. False when the write failed (message shown).
  [[nodiscard]] bool StoreLogRow(int row);
  // Commits the store; false (with the store's reason shown) on a failure.
  [[nodiscard]] bool Commit();
  // Re-reads the Log grid after the table changed behind it, keeping the
  // current cell.
  void RefillLogGrid();

  // ---- Rows ------------------------------------------------------------------------
  // Appends a log (a defect) row with its keys filled in and puts the cursor
  // on its landing field.
  void AppendLogRow();
  void AppendDefectRow();
  // Greys defect row `row` for method `method` and names it in the status.
  void SetDefectMethod(int row, int method);
  // Deletes the current defect row (stored at once).
  void DeleteDefectRow();
  // Makes Log grid row `row` read-only (a voided log).
  void LockLogRow(int row);

 private:
  class Listener;
  std::string ShownColumns(const std::string& table);
  std::string LogColumnList();
  void MarkLogRow(int row);
  void ShowCountedLog(int row);
  bool CanLeaveDefects();
  bool CurrentLogMeasured();
  bool CheckCurrentLog();
  bool LeaveShownGrid();
  bool ShowSegments();
  bool ShowDefects(const std::string& seg);
  void ShowLogAgain();
  bool BindDerived(grid::GridBinding& binding, int* slot, const std::string& table,
                   const std::string& criteria, const std::string& viewName);
  void ReleaseDerived();
  void ReleaseSlot(int* slot);
  bool WriteBackShown();
  bool WriteBackLog();
  void StoreEditedRow(grid::CellGrid& grid, int row);
  void OnEditEnded(grid::CellGrid& grid, const grid::CellEdit& edit);
  void OnRowChanged(grid::CellGrid& grid, int oldRow, int newRow);
  void FillNewKeys(grid::CellGrid& grid, int row);
  void SetMode(app::GridMode mode);

  app::Application& app_;
  const EntryLoad& load_;
  tablestore::TableStore* store_ = nullptr;
  grid::CellGrid logGrid_, segGrid_, defGrid_;
  std::unique_ptr<grid::GridBinding> logBinding_, segBinding_, defBinding_;
  std::unique_ptr<Listener> logListener_, segListener_, defListener_;
  int logSlot_ = -1, segSlot_ = -1, defSlot_ = -1;
  LogEditHandler onLogEdit_;
  // Where the Segment and Defect grids belong.
  int currentLogRow_ = -1;
  std::string currentSeg_ = "0";
  std::string status_;
  bool open_ = false;
};

}  // namespace dataentry
