// LoadInfoScreen: the logic of "Varnolde -- Edit Load Information", the
// screen on which the scaler fills in the load header.
//
// The header is a row of the open file's `Load` table. The screen shows one
// row at a time, transposed: each grid row is one field of `Load` (those the
// DataDictionary marks as used, in its Order2 order), with the field's name in
// the "Header" column and its value in the "Value" column. The transposed
// rows live in the view slot "TransposedHeaderView" (TableStore::MakeRowView)
// made from the projection "DLoad" over `Load`; the row shown is written back
// (TableStore::StoreRowView) by every record button and by OnClose, never
// earlier.
//
// Read-only value cells (kReadOnlyColour): SDATE, STIME, STATUS, SCALESYS
// and ST unless the application's loadInfoEditable is on; SALE and LLR while
// logs are recorded for the header's sale and LLR. Field names are never
// editable.
//
// The record buttons ("&New", "&Delete", "<", ">", "<<", ">>", the label
// "Navigation" and the position label "%d of %d") serve every file type but
// "production".
//
// Opening runs the sales import (SalesImport); when it attached a sale list,
// a change of the SALE cell fills the header from the list. A value cell
// takes only what its field's column can hold (the grid refuses the rest with
// a message, see grid/cell_check.h); beyond that the header audit, which the
// main screen runs after the screen closes, reports problems.
//
// Lifetime: construct, Open(), the commands, OnClose() (also run by the
// destructor when the caller did not). The screen takes the slots "DLoad" and
// "TransposedHeaderView" for its lifetime and releases them on close.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "grid/cell_grid.h"
#include "grid/grid_binding.h"
#include "grid/keys.h"
#include "loadinfo/sales_import.h"

namespace app {
class Application;
}
namespace platform {
class Ui;
}

namespace loadinfo {

// The dialog's caption and the texts of its controls.
inline constexpr char kLoadInfoCaption[] = "Varnolde -- Edit Load Information";
inline constexpr char kNavigationLabel[] = "Navigation";
inline constexpr char kFirstButton[] = "<<";
inline constexpr char kPreviousButton[] = "<";
inline constexpr char kNextButton[] = ">";
inline constexpr char kLastButton[] = ">>";
inline constexpr char kNewButton[] = "&New";
inline constexpr char kDeleteButton[] = "&Delete";
// The record buttons' keys (their captions have no letter to underline), as
// Qt key sequences, and the tooltips that name them.
inline constexpr char kFirstKey[] = "Alt+Home";
inline constexpr char kPreviousKey[] = "Alt+PgUp";
inline constexpr char kNextKey[] = "Alt+PgDown";
inline constexpr char kLastKey[] = "Alt+End";
inline constexpr char kFirstTip[] = "First header (Alt+Home)";
inline constexpr char kPreviousTip[] = "Previous header (Alt+PgUp)";
inline constexpr char kNextTip[] = "Next header (Alt+PgDown)";
inline constexpr char kLastTip[] = "Last header (Alt+End)";

// The screen's messages (caption kErrorCaption, stop icon).
inline constexpr char kErrorCaption[] = "Error";
inline constexpr char kNoLoadTable[] = "The Load table is not open.";
inline constexpr char kHeaderNotShown[] = "The load header could not be shown.";
inline constexpr char kHeaderNotStored[] = "The load header could not be stored.";

// What Open() did.
enum class LoadInfoOpen {
  kOpened,       // the header is shown
  kNoLoadTable,  // no file, or its Load table is not open (shown)
  kNotShown,     // the header could not be given a row or shown (shown)
};

// What the dialog shows besides the grid.
struct LoadInfoView {
  // The record buttons, "Navigation" and the position label: every file
  // type but "production".
  bool recordButtons = false;
  // Enabling of the record buttons (false whenever they are not shown).
  bool newEnabled = false;
  bool deleteEnabled = false;
  bool previousEnabled = false;  // "<" and "<<"
  bool nextEnabled = false;      // ">" and ">>"
  // "%d of %d": the 1-based index of the row shown and the number of rows.
  std::string position;
  // The number of rows of `Load` and the 0-based index of the one shown.
  int rowCount = 0;
  int current = 0;
  // True while a sale list is attached to the SALE cell.
  bool saleListAttached = false;
  // True while logs are recorded for the sale and LLR shown.
  bool logsRecorded = false;
};

class LoadInfoScreen : public grid::CellGridListener {
 public:
  // `app` and `ui` are borrowed and must outlive the screen; `app` has a file
  // open. Every message goes to `ui`.
  LoadInfoScreen(app::Application& app, platform::Ui& ui);
  // Runs OnClose() when it has not run yet.
  ~LoadInfoScreen() override;
  LoadInfoScreen(const LoadInfoScreen&) = delete;
  LoadInfoScreen& operator=(const LoadInfoScreen&) = delete;

  // Opening: shows the last row of `Load` (a table without rows first gets
  // one, filled by its DataDictionary default rules), runs the sales import
  // (its messages go to the Ui) and, when SDATE and STIME are both empty,
  // fills them from the clock ("%d%02d%02d" and "%02d:%02d"). Anything but
  // kOpened comes with a message shown; the screen then shows an empty grid
  // and writes nothing, and the dialog closes.
  [[nodiscard]] LoadInfoOpen Open();

  // Closing (OK and Cancel alike): ends an edit in progress with its text,
  // writes the row shown back (blanks trimmed
  // from SALE and LLR), releases the views and turns loadInfoEditable off.
  // Shows "Error" when the store refused a value. Later calls do nothing.
  void OnClose();

  // The record buttons. Each ends an edit in progress and writes the row
  // shown back first (as OnClose
  // does, loadInfoEditable included) and then shows:
  //   OnNew: a new last row (default rules applied), SDATE/STIME filled;
  //   OnDelete: removes the row shown, then the previous row (or the first);
  //   OnPrevious, OnNext, OnFirst, OnLast: that row.
  // A command whose button is disabled does nothing.
  void OnNew();
  void OnDelete();
  void OnPrevious();
  void OnNext();
  void OnFirst();
  void OnLast();

  // ---- State for the view -----------------------------------------------------
  // The grid: columns "Header" and "Value", one data row per field.
  grid::CellGrid& grid() { return grid_; }
  const grid::CellGrid& grid() const { return grid_; }
  // Everything the dialog shows besides the grid, as it is now.
  const LoadInfoView& view() const { return view_; }
  // The grid's data row of a field (letter case ignored), or -1.
  int FieldRow(const std::string& field) const;

  // A key on the grid: Enter on a cell that is not being edited moves to the
  // next field (Down), so that the keypad's Enter walks down the header;
  // every other key passes on.
  grid::KeyResult OnKeyDown(int code, bool ctrl);

  // CellGridListener: a changed SALE cell with a sale list attached fills the
  // header from the list.
  void OnEditEnded(const grid::CellEdit& edit) override;

 private:
  // Open() but for the view.
  LoadInfoOpen OpenHeader();
  // Builds DLoad, the row view of row current_ and the grid; false when a
  // view cannot be made.
  [[nodiscard]] bool BuildViews();
  // view_ from the state below.
  void UpdateView();
  bool RecordButtonsShown() const;
  bool NewEnabled() const;
  bool DeleteEnabled() const;
  bool PreviousEnabled() const;
  bool NextEnabled() const;
  // Makes the row view of row current_, binds the grid to it and puts the
  // current cell on the first field's value.
  void FillGrid();
  // Marks the read-only value cells and gives SALE the sale list's choices.
  void MarkCells();
  // Sets SDATE and STIME from the clock when both are empty.
  void FillScaleDateTime();
  // Writes the row shown back (the row view is then released); false
  // (message shown) when the store refused a value.
  [[nodiscard]] bool WriteBack();
  // WriteBack for a record button; after a failure the row is shown again as
  // stored, so that the grid always has its row view.
  [[nodiscard]] bool LeaveRow();
  // Releases the row view (when still held) and DLoad.
  void ReleaseViews();
  // Releases one of this screen's slots (nothing for a negative slot).
  void ReleaseSlot(int slot);
  // "The load header could not be stored." / "Error".
  void ShowStoreError();
  // Writes back and shows row `index` (clamped to the rows of Load).
  void ShowRow(int index);
  // Gives each grid data row the rule of its field (type letter and
  // DataDictionary length), so that its value cell takes only what the
  // field's column can hold.
  void SetFieldRules();

  app::Application& app_;
  platform::Ui& ui_;
  SalesImport sales_;
  grid::CellGrid grid_;
  std::optional<grid::GridBinding> binding_;  // to the row view, once opened
  int loadSlot_ = -1;
  int dloadSlot_ = -1;
  int rowViewSlot_ = -1;
  int rowCount_ = 0;
  int current_ = 0;
  bool saleListAttached_ = false;
  bool logsRecorded_ = false;
  bool closed_ = false;
  LoadInfoView view_;
};

}  // namespace loadinfo
