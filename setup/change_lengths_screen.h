// ChangeLengthsScreen: the logic of "Varnolde - Change Lengths", a grid of the
// used columns of one table (DataDictionary rows IsUsed=Y of the table) with
// their ColumnName, Description, Length, DefaultValue and Validate. The first
// two are read-only. Closing the window (OK or Cancel alike) writes Length,
// DefaultValue and Validate of every row back to DataDictionary and commits.
//
// DefaultValue and Validate are stored as typed. A Length must be a whole
// number from 0 to kMaxLength (0: the grids' default width); any other text
// is refused with a message and that row keeps its stored length, so a
// later grid is never sized from a negative or absurd number.
//
// Lifetime: construct, Open(), edits, OnClose(), destroy. The screen holds a
// DataDictionary selection from Open() until it is destroyed.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <memory>
#include <string>

#include "grid/cell_grid.h"

namespace app {
class Application;
}
namespace grid {
class GridBinding;
}

namespace setup {

inline constexpr char kChangeLengthsCaption[] = "Varnolde - Change Lengths";
// The longest field length accepted, in characters.
inline constexpr int kMaxLength = 255;

// True when `text` is a whole number from 0 to kMaxLength (blanks around it
// allowed).
[[nodiscard]] bool ValidLength(const std::string& text);

// How Open() went.
enum class ChangeLengthsOpen {
  kOpened,      // the grid holds the table's used columns
  kUnreadable,  // DataDictionary could not be read (a message said so)
};

class ChangeLengthsScreen {
 public:
  // `app` is borrowed, has a file open and must outlive the screen; `table`
  // is the stored table whose columns are listed.
  ChangeLengthsScreen(app::Application& app, std::string table);
  // Releases the selection (nothing is written).
  ~ChangeLengthsScreen();
  ChangeLengthsScreen(const ChangeLengthsScreen&) = delete;
  ChangeLengthsScreen& operator=(const ChangeLengthsScreen&) = delete;

  // Selects the table's used DataDictionary rows and fills the grid; the
  // window must not be shown unless this returns kOpened.
  [[nodiscard]] ChangeLengthsOpen Open();

  grid::CellGrid& Grid() { return grid_; }

  // OK or Cancel: writes the rows back and commits. Lengths that are not
  // valid are named in one message and not written. Returns true when
  // everything that was valid reached the file; false, with a message, when
  // writing failed.
  [[nodiscard]] bool OnClose();

 private:
  [[nodiscard]] int WriteRow(int row, std::string* refused);

  app::Application& app_;
  std::string table_;
  grid::CellGrid grid_;
  std::unique_ptr<grid::GridBinding> binding_;
  int slot_ = -1;
};

}  // namespace setup
