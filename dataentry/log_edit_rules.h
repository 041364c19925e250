// The rules the data entry screen applies when the scaler finishes a cell:
// the diameters kept in order, a new number carried to the log's segments
// and defects, the 3P draw on KPI, SKIPSEG reset by a new measurement, LD
// from the taper table on a butt log, the butt-log midpoint question, and a
// defect row's cells opened or greyed by its method.
//
// The rules that only touch the grid are free functions working on a bare
// grid::CellGrid; LogEditRules adds those that read or write the file or ask
// the scaler.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "dataentry/entry_load.h"
#include "grid/cell_grid.h"
#include "sampling/sample_selector.h"

namespace platform {
class Clock;
class Ui;
}  // namespace platform
namespace tablestore {
class TableStore;
}

namespace dataentry {

// SD never exceeds LD on a row: when both are above 0 and LD is the smaller,
// the two cells of `row` trade their texts.
void OrderDiameters(grid::CellGrid& logGrid, int row);

// True for the measurement columns LN, SD and LD (letter case ignored).
bool IsMeasurement(std::string_view column);

// Makes defect row `row` editable again, then read-only in the key columns
// (SALE, LLR, LOG) and the measurements method `method` does not use.
void ApplyDefectMethod(grid::CellGrid& defGrid, int row, int method);

class LogEditRules {
 public:
  // `storeRow` stores a Log grid row at once (called when a draw was written
  // to it). `logGrid`, `ui` and `load` are borrowed and must outlive the
  // rules.
  LogEditRules(grid::CellGrid& logGrid, platform::Ui& ui, const EntryLoad& load,
               std::function<void(int row)> storeRow);

  // Binds the rules to the open file; builds the sample selector of a 3P
  // load. `store` must outlive the rules.
  void Open(tablestore::TableStore& store, const platform::Clock& clock);

  // Runs every rule that an ended edit of the Log grid calls for.
  void OnLogEdit(const grid::CellEdit& edit);

  // LD of Log grid row `row` from the taper table; the B, LD and REM cells
  // turn red when it was set.
  void RunTaper(int row);

  // True once after a draw locked the measurements: the cursor is to move
  // on with a Down key.
  bool TakePostedDown();

 private:
  void RunSampleSelection(int row);
  void RenumberLog(int row, const std::string& oldLog, const std::string& newLog);
  void AskMidpoint(int row);

  grid::CellGrid& grid_;
  platform::Ui& ui_;
  const EntryLoad& load_;
  std::function<void(int row)> storeRow_;
  tablestore::TableStore* store_ = nullptr;
  std::optional<sampling::SampleSelector> selector_;
  bool postedDown_ = false;
};

}  // namespace dataentry
