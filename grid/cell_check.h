// The check every value passes before it enters a grid cell, however it was
// entered (typed, pasted, tapped on the keypad or chosen from a drop-down):
// CellGrid::CommitEdit asks it, and refuses the edit when it answers.
//
// A cell takes what its column can store without changing it:
//  - 'I' and 'L' (whole numbers, stored in 32 bits): an optional sign and
//    digits, within -2147483648..2147483647; the store would otherwise keep
//    the digits before the first other character, or clamp the number;
//  - 'F' and 'D' (decimal numbers): an optional sign, digits with at most one
//    ".", an optional exponent, within the type's range; "4x5" would
//    otherwise be stored as 4;
//  - 'S' (text), and every other type letter: at most `maxLength` characters
//    when that is above 0 (the dictionary's Length, which reports and exports
//    lay out), except a text that the cell itself offers as a drop-down
//    choice.
// Blanks around a number are allowed, and an empty cell is always allowed
// (a number column stores it as 0).
//
// Pure functions. Thread safety: safe from any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace grid {

// The caption of the message that refuses a value.
inline constexpr char kRefusedCaption[] = "Invalid Entry";

// What a cell can hold: the name the message gives it (a column's name, or
// the field a row of a transposed grid stands for), its type letter and its
// longest text in characters (0: no limit).
struct ValueRule {
  std::string name;
  char type = 'S';
  int maxLength = 0;
};

// The message that refuses `text` for a cell under `rule` whose drop-down
// choices are `choices`; nullopt when the cell can hold it. The message
// names the rule's name and what it takes, and quotes the refused text (cut
// short when long), e.g.
//   LN takes whole numbers from -2147483648 to 2147483647.
//   "99999999999" was not entered.
[[nodiscard]] std::optional<std::string> CheckCellText(const ValueRule& rule, std::string_view text,
                                                       const std::vector<std::string>& choices);

// The number of characters of UTF-8 `text` (code points; a byte that starts
// no character counts as one).
size_t CharacterCount(std::string_view text);

}  // namespace grid
