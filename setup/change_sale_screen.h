// ChangeSaleScreen: the supervisor's "Change SALE or LLR" dialog without a
// toolkit.
//
// The dialog renames a sale, a load receipt or both throughout the open
// file: it lists the SALE values and the LLR values of table Log (sorted,
// each once), takes a new value for each, and on OK renames with
// app::RenameSaleOrLlr, the rule varnolde-cli's rename shares: every row of
// Log, Seg, DefC, DefB and Load whose column holds the chosen old value
// (compared exactly) gets the new one, journaling "Changed SALE from A to B"
// once per column changed. A column whose new value is empty is left alone.
//
// A rename that would give two loads the same SALE and LLR is refused: it
// would merge their logs into one load, which no later rename could undo.
// So is a new value with a comma.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <string>
#include <vector>

#include "app/application.h"
#include "app/load_rename.h"

namespace setup {

// The caption and labels.
inline constexpr const char* kChangeSaleTitle = "Change SALE or LLR";
inline constexpr const char* kChangeSaleLabel = "Change SALE: ";
inline constexpr const char* kChangeLlrLabel = "Change LLR: ";
inline constexpr const char* kChangeToLabel = "to: ";
// The longest new values, in characters.
inline constexpr size_t kMaxSaleChars = app::kMaxSaleLength;
inline constexpr size_t kMaxLlrChars = app::kMaxLlrLength;

// What the dialog shows.
struct ChangeSaleView {
  std::vector<std::string> sales;  // SALE values of Log, sorted, each once
  std::vector<std::string> llrs;   // LLR values of Log, likewise
  int sale = -1;                   // the chosen entry of `sales`; -1: none
  int llr = -1;
  std::string newSale;
  std::string newLlr;
};

class ChangeSaleScreen {
 public:
  // Fills both lists from the open file of `app` (borrowed; must outlive
  // the screen) and chooses the first entry of each. REQUIRES: a file is
  // open.
  explicit ChangeSaleScreen(app::Application& app);

  // A new choice in a list (-1: none).
  void OnSaleChosen(int index);
  void OnLlrChosen(int index);
  // The new values as typed; only their first kMaxSaleChars / kMaxLlrChars
  // characters are kept.
  void OnNewSaleChanged(const std::string& text);
  void OnNewLlrChanged(const std::string& text);
  // OK: renames as described above and returns true (the dialog closes).
  // Returns false, with nothing changed, when the rename is refused (the
  // reason shown, "Error", stop icon); and false when a table could not be
  // written or the journal failed (shown).
  [[nodiscard]] bool OnOk();

  const ChangeSaleView& view() const { return view_; }

 private:
  void ShowError(const std::string& text);

  app::Application& app_;
  ChangeSaleView view_;
};

}  // namespace setup
