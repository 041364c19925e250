// ColumnSelectionScreen: the logic of the column selection window "Select Colums
// to view...", in which the user picks which columns of a table a screen
// shows and in what order.
//
// Two lists: the available columns (every column of the table that is not
// selected) and the selected columns in their order. One entry of each list
// may be chosen; the buttons move the chosen entry between the lists or
// within the selected list. Which buttons are enabled follows the list that
// has the focus: the available list enables "Include >" only, the selected
// list enables "< Exclude", "^ Up" and "V Down" only. "All >>", "<< All" and
// "OK" are always enabled. The result is the selected list in its order.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <string>
#include <vector>

namespace setup {

// The window's texts.
inline constexpr char kColumnSelectionCaption[] = "Select Colums to view...";
inline constexpr char kAvailableLabel[] = "Available:";
inline constexpr char kSelectedLabel[] = "Selected:";
inline constexpr char kAllInButton[] = "&All >>";
inline constexpr char kAllOutButton[] = "<< A&ll";
inline constexpr char kIncludeButton[] = "&Include >";
inline constexpr char kExcludeButton[] = "< &Exclude";
inline constexpr char kUpButton[] = "^ &Up";
inline constexpr char kDownButton[] = "V &Down";

// Which list has the focus.
enum class ListFocus { kNone, kAvailable, kSelected };

// What the window shows.
struct ColumnSelectionView {
  std::vector<std::string> available;  // "Available:"
  std::vector<std::string> selected;   // "Selected:", in their order
  int chosenAvailable = -1;            // the chosen entry of each list; -1: none
  int chosenSelected = -1;
  ListFocus focus = ListFocus::kNone;
  // The buttons that follow the focus (see above).
  bool includeEnabled = false;
  bool excludeEnabled = false;
  bool upEnabled = false;
  bool downEnabled = false;
};

class ColumnSelectionScreen {
 public:
  // `columns`: every column of the table, in table order; `selected`: the
  // columns shown now, in their order. Names of `selected` that `columns`
  // lacks are kept (they are the table's all the same); the available list is
  // `columns` without the selected ones. Nothing is chosen, no list focused.
  ColumnSelectionScreen(std::vector<std::string> columns, std::vector<std::string> selected);

  // Everything the window draws.
  const ColumnSelectionView& view() const { return view_; }

  // The focus moved into a list: sets the buttons' enabling (see above).
  void FocusAvailable() { SetFocus(ListFocus::kAvailable); }
  void FocusSelected() { SetFocus(ListFocus::kSelected); }
  // Chooses entry `index` of a list (-1 or out of range: none).
  void ChooseAvailable(int index);
  void ChooseSelected(int index);

  // "Include >": the chosen available column goes to the end of the selected
  // list and is chosen there; the available list chooses the entry now at
  // the same place. Nothing happens without a chosen entry.
  void Include();
  // "< Exclude": the chosen selected column goes back to the available list
  // (at the end) and is chosen there.
  void Exclude();
  // "All >>": every available column goes to the end of the selected list.
  void IncludeAll();
  // "<< All": every selected column goes back to the available list.
  void ExcludeAll();
  // "^ Up" / "V Down": the chosen selected column moves one place, staying
  // chosen; nothing happens at the top (bottom) or without a chosen entry.
  void Up();
  void Down();

  // The selected list joined by "," (the result on OK).
  std::string Result() const;

 private:
  static void Move(std::vector<std::string>& from, int& chosenFrom, std::vector<std::string>& to,
                   int& chosenTo);
  void Swap(int offset);
  void SetFocus(ListFocus focus);

  ColumnSelectionView view_;
};

// Splits a comma-separated column list into names (blanks trimmed, empty
// names dropped).
std::vector<std::string> SplitColumns(const std::string& list);
// Joins names with ",".
std::string JoinColumns(const std::vector<std::string>& names);

}  // namespace setup
