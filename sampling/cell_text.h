// Small text helpers shared by the checks of this layer.
//
// The checks work on the texts that the data entry and load information
// screens hold in their grids, so every number is read from text the way the
// handheld read it: leading blanks skipped, an optional sign, the digits that
// follow, anything after them ignored, and an empty or non-numeric cell read
// as 0.
//
// Thread safety: pure functions.
#pragma once

#include <string>
#include <string_view>

namespace sampling {

// The integer at the start of `text` (after blanks and an optional sign);
// 0 when there is none. Values beyond the 32-bit range saturate at its ends
// instead of wrapping, so a hostile cell cannot turn a huge length into a
// negative one.
int CellInt(std::string_view text);

// The decimal number at the start of `text` (after blanks and an optional
// "+"), read the same way whatever the process locale; 0 when there is none.
double CellDouble(std::string_view text);

// `text` without its final "\n", when it ends in one; otherwise unchanged.
std::string DropLastBreak(std::string text);

// `text` with every "\n" replaced by `with`; the journal keeps findings on
// one line this way.
std::string ReplaceBreaks(std::string_view text, std::string_view with);

// printf-style "%d" of `value`.
std::string IntText(long value);

}  // namespace sampling
