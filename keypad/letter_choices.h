// The state of the "Field Keyboard" customization dialog, free of any
// toolkit: one drop-down list of the letters "A" to "Z" per letter key.
//
// List n (0-15) customizes key kLetterKeys[n]; item i (0-25) is the letter
// 'A' + i. Single-threaded.
#ifndef KEYPAD_LETTER_CHOICES_H_
#define KEYPAD_LETTER_CHOICES_H_

#include <array>
#include <string>

#include "keypad/keypad_window.h"
#include "keypad/registry.h"

namespace plinq {

inline constexpr int kLetterLists = static_cast<int>(kLetterKeys.size());
inline constexpr int kLetterItems = 26;

class LetterChoices {
 public:
  // Selects in each list the key's current letter: its default letter,
  // replaced by the first character of its `Array` value when that can be
  // read. A current letter outside "A"-"Z" leaves the list without a
  // selection. registry may be null (no store): the defaults are selected.
  // registry is borrowed for the call only.
  explicit LetterChoices(const Registry* registry);

  // The text of an item: "A" for 0 up to "Z" for 25.
  static std::string itemText(int item) { return std::string(1, static_cast<char>('A' + item)); }

  // The key index a list customizes. REQUIRES: 0 <= list < 16.
  static int keyIndex(int list) { return kLetterKeys[list]; }

  // The selected item of a list, or -1 for none. REQUIRES: 0 <= list < 16.
  int selection(int list) const { return selection_[list]; }

  // Selects an item (-1 clears the selection; other values outside 0-25 are
  // ignored). REQUIRES: 0 <= list < 16.
  void select(int list, int item);

  // "OK": for each list with a selection, creates or opens its `Array` key
  // and sets its value to the chosen letter. True when every write
  // succeeded; a failed write leaves that key as it was and the others are
  // still written.
  bool save(const Registry& registry) const;

 private:
  std::array<int, kLetterLists> selection_{};
};

}  // namespace plinq

#endif  // KEYPAD_LETTER_CHOICES_H_
