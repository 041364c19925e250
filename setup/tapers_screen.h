// TapersScreen: the logic of the "Tapers for Butt Logs" window, where the
// taper table used to compute a butt log's large-end diameter is kept: one
// grid row per species, region, forest and district, with the taper in
// inches of diameter per foot.
//
// The grid is bound (GridBinding) to table Tapers, which is built from
// DataDictionary when the file lacks it. Nothing reaches the table before OK:
// OK checks every row and, when all pass, writes the grid back in step and
// commits; Cancel (the object simply goes away) leaves Tapers as it was.
// REGION, FOREST and DISTRICT are drop-down cells on every row (a value may
// also be typed).
//
// Lifetime: construct, Open(), commands, destroy. The screen holds the slot
// of Tapers from Open() until it is destroyed.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "grid/cell_grid.h"
#include "grid/grid_binding.h"

namespace app {
class Application;
}

namespace setup {

inline constexpr char kTapersCaption[] = "Tapers for Butt Logs";
inline constexpr char kAddRecordButton[] = "&Add Record";
inline constexpr char kDeleteRecordButton[] = "&Delete Record";
inline constexpr char kFailedAuditCaption[] = "Failed Data Audit";

// The smallest and largest taper accepted (inches per foot).
inline constexpr double kMinTaper = 0.001;
inline constexpr double kMaxTaper = 0.5;

// The findings of the OK check over a grid's data rows: the number of empty
// SP, REGION, FOREST and DISTRICT cells, and the 1-based numbers of the rows
// whose TAPER is not a number from kMinTaper to kMaxTaper.
struct TaperFindings {
  int blankFields = 0;
  std::vector<int> badTaperRows;
  bool ok() const { return blankFields == 0 && badTaperRows.empty(); }
};
[[nodiscard]] TaperFindings CheckTapers(const grid::CellGrid& grid);

// The "Failed Data Audit" text for `findings` ("" when they are ok): the
// blank count + " fields are blank.\n\n" (when any), the bad rows as
// "Record 2 has an invalid taper value.\n\n" or "Records 1, 2 and 3 have
// invalid taper values.\n\n", then "Please correct these errors.".
std::string TaperMessage(const TaperFindings& findings);

// How Open() went.
enum class TapersOpen {
  kOpened,      // the grid holds the table's rows
  kUnreadable,  // the table could not be built or read (a message said why)
};

class TapersScreen {
 public:
  // `app` is borrowed, has a file open and must outlive the screen.
  explicit TapersScreen(app::Application& app);
  // Releases the Tapers slot (nothing is written).
  ~TapersScreen();
  TapersScreen(const TapersScreen&) = delete;
  TapersScreen& operator=(const TapersScreen&) = delete;

  // Builds Tapers when missing, opens it and fills the grid (one empty row
  // when the table has none); the window must not be shown unless this
  // returns kOpened.
  [[nodiscard]] TapersOpen Open();

  grid::CellGrid& Grid() { return grid_; }

  // "&Add Record": appends a row with the default rules and the drop-down
  // lists, and makes it current.
  void OnAddRecord();
  // "&Delete Record": deletes the current row (nothing without one).
  void OnDeleteRecord();
  // OK: checks the rows. With problems shows the "Failed Data Audit" message
  // and returns false (the window stays open). Otherwise writes the rows back
  // and commits; returns true, or false with a message when writing failed.
  [[nodiscard]] bool OnOk();

 private:
  [[nodiscard]] int OpenTable();
  void SetUpRow(int row);
  void ShowError(const std::string& text);

  app::Application& app_;
  grid::CellGrid grid_;
  std::unique_ptr<grid::GridBinding> binding_;
  int slot_ = -1;
};

}  // namespace setup
