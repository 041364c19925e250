// SetupScreen: the logic of "Varnolde -- Setup and Options", where a field
// office tailors the open file: which columns each data screen shows and in
// what order, their lengths, defaults and allowed values, the column where
// the cursor lands on a new row, the data entry options and tapers, and new
// setup files made from the open file.
//
// The screen customizes one of four tables at a time ("Table to
// Customize:"): "Header" (Load), "Logs" (Log), "Segments" (Seg) and
// "Defects" (DefC for "Cubic" units, else DefB). Each table's shown columns
// are the DataDictionary rows with a non-zero value in the table's order
// column (DesignOrderColumn; "Header" always Order2). Changing them stores a
// new order column (TableStore::StoreProjection): the stored table keeps all
// its columns and every value in them; only what the screens show changes.
//
// Landing fields live in the Application and in Globals (DefField Log, Seg
// and Def). The windows the screen opens (column selection, lengths, other
// options) are reached through SetupWindows, the supervisor dialogs through
// app::Screens, so tests can stand in for them.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <string>
#include <vector>

#include "app/grid_mode.h"
#include "setup/column_selection_screen.h"

namespace app {
class Application;
class Screens;
}  // namespace app

namespace setup {

// The screen's caption and the texts of its controls.
inline constexpr char kSetupCaption[] = "Varnolde -- Setup and Options";
inline constexpr char kScaleTypeLabel[] = "Scale Type: ";
inline constexpr char kScaleSampleLabel[] = "Scale Sample: ";
inline constexpr char kTableLabel[] = "Table to Customize:";
inline constexpr char kFieldsLabel[] = "Fields To Be Displayed:";
inline constexpr char kLandingLabel[] = "Landing field:";
inline constexpr char kChangeFieldsButton[] = "Change &Fields";
inline constexpr char kChangeLengthsButton[] = "Change &Lengths";
inline constexpr char kMakeSetupButton[] = "&Make Setup File";
inline constexpr char kOtherOptionsButton[] = "Other &Options";
inline constexpr char kSupervisorButton[] = "&Supervisor";
inline constexpr char kDoneButton[] = "&Done";
inline constexpr char kChangeColorsButton[] = "Change &Colors";

// The message after the column adjustment changed the user's list.
inline constexpr char kFieldsAdjusted[] = "Fields have been added/deleted from list";
inline constexpr char kFieldsAdjustedCaption[] = "Field Selection Status...";

// The tables of "Table to Customize:", in the order listed.
enum class SetupTable { kHeader = 0, kLogs = 1, kSegments = 2, kDefects = 3 };
inline constexpr const char* kTableChoices[] = {"Header", "Logs", "Segments", "Defects"};

// The adjustment of a column choice: the required columns that `columns`
// lacks go at the end, the columns that do not belong to the design or units
// (given by `orderColumn` and `units`) are taken out. Required columns are
// added only when `tableColumns` (the stored table's columns) has them, in
// its spelling. Names compare without regard to letter case.
struct AdjustedColumns {
  std::vector<std::string> columns;
  bool changed = false;  // something was added or taken out
};
AdjustedColumns AdjustColumns(SetupTable table, const std::string& orderColumn,
                              const std::string& units, std::vector<std::string> columns,
                              const std::vector<std::string>& tableColumns);

// What the screen shows.
struct SetupView {
  std::string scaleType;    // the load's scale units (read-only field)
  std::string scaleSample;  // its sample design (read-only field)
  SetupTable table = SetupTable::kLogs;
  std::string tableName;    // the stored table of `table`
  std::string orderColumn;  // and its order column
  // "Fields To Be Displayed:": the shown columns joined by ",".
  std::string fields;
  // "Landing field:": its entries (the shown columns; none for "Header"),
  // the entry shown (-1: none) and whether the list is enabled.
  std::vector<std::string> landingChoices;
  int landingIndex = -1;
  bool landingEnabled = false;
};

// How Open() went.
enum class SetupOpen {
  kOpened,  // "Logs" is shown
  kNoFile,  // no file is open: the window must not be shown
};

// The windows the setup screen opens besides message boxes.
class SetupWindows {
 public:
  virtual ~SetupWindows() = default;
  // The column selection window over `selection`; true when it closed with
  // OK (`selection` then holds the choice), false otherwise.
  virtual bool SelectColumns(ColumnSelectionScreen& selection) = 0;
  // "Varnolde - Change Lengths" for the used columns of `table`.
  virtual void ChangeLengths(const std::string& table) = 0;
  // "Other Options" (which leads to the taper window).
  virtual void OtherOptions() = 0;
};

class SetupScreen {
 public:
  // All references are borrowed and must outlive the screen. `app` has a file
  // open before Open().
  SetupScreen(app::Application& app, app::Screens& screens, SetupWindows& windows);

  // Shows "Logs".
  [[nodiscard]] SetupOpen Open();

  // Everything the window draws.
  const SetupView& view() const { return view_; }

  // ---- Commands ---------------------------------------------------------------
  // "Table to Customize:" changed to entry `index` (0..3; others ignored).
  void OnTableChanged(int index);
  // "Change &Fields": the column selection window; on OK the adjusted list is
  // stored (with "Fields have been added/deleted from list" when adjusted). A
  // list left without columns is refused with a message and nothing stored.
  void OnChangeFields();
  // "Change &Lengths".
  void OnChangeLengths();
  // "Landing field:" changed to entry `index`: kept in the Application and
  // written to Globals DefField (the row is added when missing).
  void OnLandingChanged(int index);
  // "&Make Setup File" (MakeSetupFile).
  void OnMakeSetupFile();
  // "Other &Options".
  void OnOtherOptions();
  // "&Supervisor": the sign-in and supervisor dialogs; the scale type and
  // sample are read again afterwards.
  void OnSupervisor();

 private:
  void ShowTable();
  const std::string& ScaleType() const;
  std::string TableName() const;
  std::string OrderColumn() const;
  std::vector<std::string> TableColumns() const;
  app::GridMode LandingMode() const;
  const char* LandingKey() const;
  [[nodiscard]] bool StoreLanding(const std::string& field);
  [[nodiscard]] bool StoreColumns(const std::vector<std::string>& columns);
  void ShowError(const std::string& text);

  app::Application& app_;
  app::Screens& screens_;
  SetupWindows& windows_;
  SetupTable table_ = SetupTable::kLogs;
  std::vector<std::string> shown_;
  SetupView view_;
};

}  // namespace setup
