// The supervisor's "Change SALE or LLR": renames a sale or a load receipt
// throughout the open scale file. The dialog (setup) and varnolde-cli both
// call RenameSaleOrLlr, which holds the rule.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <string>
#include <vector>

#include "platform/ui.h"
#include "tablestore/table_store.h"

namespace app {

// The longest new SALE and LLR the dialog's edits take.
inline constexpr size_t kMaxSaleLength = 20;
inline constexpr size_t kMaxLlrLength = 7;

// The tables whose SALE and LLR columns a rename changes.
inline constexpr const char* kRenamedTables[] = {"Log", "Seg", "DefC", "DefB", "Load"};

// One rename asked for: the column's old value and its new one. An empty
// `newValue` leaves the column as it is.
struct ValueChange {
  std::string oldValue;
  std::string newValue;
};

// The values of `column` ("SALE" or "LLR") in table Log, sorted, each once:
// what the dialog's lists offer.
std::vector<std::string> RenameChoices(tablestore::TableStore& store, const std::string& column);

enum class RenameStatus {
  kRenamed,     // rows changed and journaled
  kNothing,     // both new values empty: nothing changed, nothing journaled
  kRefused,     // `reason` says why; nothing changed
  kNotWritten,  // the change could not be written (shown); the file keeps
                // its last committed state
};

struct RenameOutcome {
  RenameStatus status = RenameStatus::kNothing;
  std::string reason;       // with kRefused: one line
  bool wouldMerge = false;  // with kRefused: refused because two loads would merge
  int rows = 0;             // rows changed, over all tables and both columns
};

// On OK of "Change SALE or LLR": for SALE (`sale`) and then LLR (`llr`),
// when the new value is not empty and not the old one, every row of kRenamedTables whose column
// holds exactly the old value gets the new one, and "Changed " + column +
// " from " + old + " to " + new is journaled; both renames and their entries
// reach the file in one commit (kNotWritten, shown, when it fails: the
// caller then closes the file without committing). Refused, with
// nothing changed, when a new value has a comma (every selection of a load's
// rows splits its criteria at commas) or has more characters than the
// dialog takes,
// when no Load or Log row holds an old value, and when the rename would give
// two loads (SALE and LLR pairs of Load and Log, letter case ignored as the
// selections ignore it) the same SALE and LLR: their rows would merge.
[[nodiscard]] RenameOutcome RenameSaleOrLlr(tablestore::TableStore& store, platform::Ui& ui,
                                            const ValueChange& sale, const ValueChange& llr);

}  // namespace app
