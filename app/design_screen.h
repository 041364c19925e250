// DesignScreen: the scale and sample design dialog ("Scale and Sample
// Setup") without a toolkit.
//
// The dialog chooses the load's scale system (SCALESYS: "Cubic", "Board",
// "Longlog") and sampling design (ST: "100", "3P"), and edits the 3P sampling
// frequencies of table KZ in a grid bound to the open file's KZ slot. It
// reads the two texts from row 0 of Load when it opens and hands the choice
// back on OK; the main screen writes them into the file. KZ is written back
// (every row replaced by the grid's rows) only on OK: Cancel leaves it as it
// was.
//
// Enabling rule, on opening and after every change of the sample list: the
// KZ grid and its two buttons are shown and enabled only for a "3P" sample
// (letter case ignored); then, on a file that has logs while the
// supervisor's Load Info Editable is off, the sample list, the KZ grid and
// its buttons are disabled. The scale type list stays enabled.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <optional>
#include <string>

#include "app/application.h"
#include "app/screens.h"
#include "grid/cell_grid.h"
#include "grid/grid_binding.h"

namespace app {

// The dialog's caption, labels and buttons.
inline constexpr const char* kDesignTitle = "Scale and Sample Setup";
inline constexpr const char* kDesignScaleTypeLabel = "Scale Type: ";
inline constexpr const char* kDesignScaleSampleLabel = "Scale Sample: ";
inline constexpr const char* kDesignAddRecord = "&Add Record";
inline constexpr const char* kDesignDeleteRecord = "&Delete Record";
// The two lists' entries, in order.
inline constexpr const char* kScaleTypes[] = {"Cubic", "Board", "Longlog"};
inline constexpr const char* kScaleSamples[] = {"100", "3P"};

// What the dialog shows: the list selections and which controls act.
struct DesignView {
  int scaleType = -1;    // index into kScaleTypes; -1: no entry selected
  int scaleSample = -1;  // index into kScaleSamples; -1: no entry selected
  bool scaleSampleEnabled = true;
  bool kzShown = false;    // the KZ grid, "&Add Record" and "&Delete Record"
  bool kzEnabled = false;  // the same three, enabled
};

class DesignScreen {
 public:
  // Opens the dialog on the open file of `app` (borrowed; must outlive the
  // screen): reads ST and SCALESYS of row 0 of Load, selects the entry of
  // each list that equals its text exactly (none for any other text, "cubic"
  // included), binds the KZ grid to the slot named "KZ" and applies the
  // enabling rule. Without a Load row the lists select nothing; without a KZ
  // table the grid has no columns and OK writes no KZ rows. REQUIRES: a file
  // is open in `app`.
  explicit DesignScreen(Application& app);
  DesignScreen(const DesignScreen&) = delete;
  DesignScreen& operator=(const DesignScreen&) = delete;

  // A new selection in the scale type list (index into kScaleTypes).
  void OnScaleTypeChanged(int index);
  // A new selection in the scale sample list (index into kScaleSamples): the
  // entry's text becomes the sample text and the enabling rule runs.
  void OnScaleSampleChanged(int index);
  // "&Add Record": appends a grid row with the binding's default rules and
  // makes its first cell current. Nothing while the grid is disabled.
  void OnAddRecord();
  // "&Delete Record": deletes the grid row of the current cell. Nothing
  // while the grid is disabled or without a current row.
  void OnDeleteRecord();
  // OK: writes the KZ grid back by replacing KZ's rows and commits, then
  // returns the chosen texts. A list with no selection hands back the text it
  // opened with, so a stored value outside the list is not erased by an OK
  // that never touched it. When KZ cannot be written, says so ("Error", stop
  // icon) and returns nullopt: the dialog stays open.
  [[nodiscard]] std::optional<DesignChoice> OnOk();

  // What the dialog shows now.
  const DesignView& view() const { return view_; }
  // The KZ grid (owned by the screen; lives as long as it).
  grid::CellGrid& kzGrid() { return kzGrid_; }

 private:
  void ReadLoadTexts();
  void BindKz();
  void ApplyEnablingRule();
  void ShowError(const std::string& text);

  Application& app_;
  grid::CellGrid kzGrid_;
  grid::GridBinding kzBinding_;
  DesignView view_;
  std::string scaleUnits_;   // the scale type text
  std::string scaleSample_;  // the scale sample text
};

// The DataDictionary order column of the log, segment and defect screens for
// a load's design ("100" or other) and units ("Cubic", "Board" or other):
// Order2, Order3, Order4 for "100", Order5, Order6, Order7 otherwise. Units
// compare without regard to letter case.
std::string DesignOrderColumn(const std::string& design, const std::string& units);

}  // namespace app
