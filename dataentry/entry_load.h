// EntryLoad: what the data entry screen reads once when it opens: the load
// of the header row (its sale, LLR and settings), the design and units of
// the file, the header rows' sales and LLRs offered in a check-scale file,
// and the Option settings that steer the screen. The screen's parts share it
// read-only.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "grid/cell_grid.h"
#include "sampling/butt_log.h"
#include "sampling/log_validation.h"
#include "sampling/store_rows.h"
#include "scaling/load_volumes.h"

namespace app {
class Application;
}
namespace tablestore {
class TableStore;
}

namespace dataentry {

struct EntryLoad {
  // The load of the header row and its volume settings.
  sampling::LoadKey header;
  scaling::LoadSettings settings;
  bool threeP = false;      // a sampled (3P) design
  bool cubic = true;        // units "Cubic": defects in DefC, LD required
  bool checkScale = false;  // every log names its own sale and LLR
  // The Seg and defect tables, and the DataDictionary order column of the
  // design.
  std::string segTable, defTable, orderColumn;
  // The Log grid's read-only columns, as ",A,B,".
  std::string logReadOnly;
  // The distinct sales and LLRs of the header rows, in their order.
  std::vector<std::string> sales, llrs;

  // The Option settings.
  bool auditBeforeAppend = false;
  bool appendAfterDefect = false;
  int hitWindowMs = -1;
  sampling::LogCheckContext logCheck;  // read only with auditBeforeAppend
  sampling::TaperPlace taperPlace;

  // The load a Log grid row belongs to: its own SALE and LLR in a
  // check-scale file, else the header's.
  sampling::LoadKey RowLoad(const grid::CellGrid& logGrid, int row) const;
};

// Reads the file's design and units from `app`, the header rows' sales and
// LLRs and the header load's settings from `store`.
EntryLoad ReadEntryLoad(const app::Application& app, tablestore::TableStore& store);

// Reads the Option settings into `load` (the log check context of the header
// load when logs are audited before the next is appended).
void ReadEntryOptions(tablestore::TableStore& store, EntryLoad& load);

// Stamps the Load row's SDATE and STIME with `app`'s clock when both are
// empty (the first time the logs are entered).
void StampScaleDate(const app::Application& app, tablestore::TableStore& store);

// The text of `grid`'s cell in `row` under the column named `column` (letter
// case ignored); "" when there is no such column.
std::string CellOf(const grid::CellGrid& grid, int row, std::string_view column);

// The split (S) of a Log grid row; "1" when the grid has no S column.
std::string SplitOf(const grid::CellGrid& logGrid, int row);

// True when the comma-separated `list` names the column `name` (whole
// names, letter case ignored).
bool ListHasColumn(std::string_view list, std::string_view name);

}  // namespace dataentry
